#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <optional>

#include "Colour.h"
#include "TFont.h"

class QMimeData;

// The program's entry box: text aligned left, right or centred, one colour and font while it
// holds the focus and another while it does not.
//
// It is always a multi-line text edit underneath; a one-line box (MultiLine false, the default)
// gets its one-line behaviour from key filtering: Enter is refused with a beep or, with
// ExitOnReturn, moves the focus on, and Up and Down move the caret left and right. Text the
// program assigns keeps its line breaks. Text() writes line breaks as CR LF.
//
// The box's own handling of a focus change, key or character runs first; the matching signal
// (OnEnter, OnExit, OnKeyDown, OnKeyPress) follows and sees the value as the box left it. The key
// signals pass the key by reference: a slot connected directly may change it, or swallow it with 0.
// Keys are the classic virtual-key codes (13 Enter, 9 Tab, 37 to 40 the arrows, 65 to 90 the
// letters...); keys without such a code are not reported. Characters are 8-bit Windows-1252
// characters; a character outside that set goes to the box without being reported.
//
// Of the ordinary edit box this offers AutoSelect, AutoSize, MaxLength, ReadOnly, Text, Enabled,
// Visible, TabStop (the tab order itself is the form's, as in any Qt form), Hint and ShowHint and
// the events as signals. Drag-and-drop and 3-D border properties have no meaning for a Qt widget
// and are not offered; neither are Color and Font, which the box sets itself from the four focus
// properties.
class TAlignEdit : public QPlainTextEdit {
    Q_OBJECT
    Q_PROPERTY(TAlignment Alignment READ alignment WRITE setAlignment NOTIFY alignmentChanged)
    Q_PROPERTY(
        Colour ColorOnFocus READ colorOnFocus WRITE setColorOnFocus NOTIFY colorOnFocusChanged)
    Q_PROPERTY(Colour ColorOnNoFocus READ colorOnNoFocus WRITE setColorOnNoFocus NOTIFY
                   colorOnNoFocusChanged)
    Q_PROPERTY(bool ExitOnReturn READ exitOnReturn WRITE setExitOnReturn NOTIFY exitOnReturnChanged)
    Q_PROPERTY(TFont* FontOnFocus READ fontOnFocus WRITE setFontOnFocus)
    Q_PROPERTY(TFont* FontOnNoFocus READ fontOnNoFocus WRITE setFontOnNoFocus)
    Q_PROPERTY(bool MultiLine READ multiLine WRITE setMultiLine NOTIFY multiLineChanged)
    Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap NOTIFY wordWrapChanged)
    Q_PROPERTY(QString Text READ text WRITE setText NOTIFY OnChange)
    Q_PROPERTY(bool AutoSelect READ autoSelect WRITE setAutoSelect)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)
    Q_PROPERTY(int MaxLength READ maxLength WRITE setMaxLength)
    Q_PROPERTY(bool ReadOnly READ isReadOnly WRITE setReadOnly)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)
    Q_PROPERTY(bool Visible READ visible WRITE setVisible)
    Q_PROPERTY(bool TabStop READ tabStop WRITE setTabStop)
    Q_PROPERTY(QString Hint READ hint WRITE setHint)
    Q_PROPERTY(bool ShowHint READ showHint WRITE setShowHint)

public:
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)

    explicit TAlignEdit(QWidget* parent = nullptr);

    TAlignment alignment() const { return alignment_; }
    Colour colorOnFocus() const { return colorOnFocus_; }
    Colour colorOnNoFocus() const { return colorOnNoFocus_; }
    bool exitOnReturn() const { return exitOnReturn_; }
    TFont* fontOnFocus() const { return fontOnFocus_; }
    TFont* fontOnNoFocus() const { return fontOnNoFocus_; }
    bool multiLine() const { return multiLine_; }
    bool wordWrap() const { return wordWrap_; }
    QString text() const;
    bool autoSelect() const { return autoSelect_; }
    bool autoSize() const { return autoSize_; }
    int maxLength() const { return maxLength_; }
    // Whether the box itself is meant to show, whatever its parent does.
    bool visible() const { return !isHidden(); }
    bool tabStop() const;
    QString hint() const { return toolTip(); }
    bool showHint() const { return showHint_; }
    // Set only by a form designer editing the box: the focus colour and font are then not shown.
    bool designing() const { return designing_; }

    void setAlignment(TAlignment alignment);
    void setColorOnFocus(const Colour& colour);
    void setColorOnFocus(const QString& name);
    void setColorOnNoFocus(const Colour& colour);
    void setColorOnNoFocus(const QString& name);
    void setExitOnReturn(bool on);
    // Copies the attributes of `font` into the owned font; the caller keeps `font`.
    void setFontOnFocus(const TFont* font);
    // The form-file text of TFont::setFromText.
    void setFontOnFocus(const QString& text);
    void setFontOnNoFocus(const TFont* font);
    void setFontOnNoFocus(const QString& text);
    void setMultiLine(bool on);
    void setWordWrap(bool on);
    // Keeps the line breaks of `text` (CR LF, or a lone CR or LF).
    void setText(const QString& text);
    void setAutoSelect(bool on) { autoSelect_ = on; }
    // When on, a one-line box takes the height of its font plus its border.
    void setAutoSize(bool on);
    // Most characters the user may type or paste; 0 for no limit.
    void setMaxLength(int length);
    void setTabStop(bool on);
    void setHint(const QString& hint) { setToolTip(hint); }
    void setShowHint(bool on) { showHint_ = on; }
    void setDesigning(bool on) { designing_ = on; }

    QSize sizeHint() const override;

signals:
    void alignmentChanged(TAlignEdit::TAlignment alignment);
    void colorOnFocusChanged(const Colour& colour);
    void colorOnNoFocusChanged(const Colour& colour);
    void exitOnReturnChanged(bool on);
    void multiLineChanged(bool on);
    void wordWrapChanged(bool on);

    void OnChange();
    void OnClick();
    void OnDblClick();
    void OnEnter();
    void OnExit();
    void OnKeyDown(quint16& key, Qt::KeyboardModifiers shift);
    void OnKeyPress(char& key);
    void OnKeyUp(quint16& key, Qt::KeyboardModifiers shift);
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private slots:
    // Shows FontOnNoFocus again whenever one of its attributes changes, focused or not.
    void FontOnNoFocusChanged();

private:
    void keyDown(quint16& key);
    void keyPress(char& key);
    void recreateWindow();
    void applyWindowOptions();
    void centreVertically();
    void adjustHeight();
    void showColour(const Colour& colour);
    void showFont(const TFont& font);
    void applyShownColours();
    void emitChangeIfTextChanged();
    int roomLeft() const;

    TAlignment alignment_ = taLeftJustify;
    Colour colorOnFocus_ = clWindow;
    Colour colorOnNoFocus_ = clWindow;
    bool exitOnReturn_ = false;
    TFont* fontOnFocus_;
    TFont* fontOnNoFocus_;
    bool multiLine_ = false;
    bool wordWrap_ = false;
    bool HasFocus = false;
    bool autoSelect_ = true;
    bool autoSize_ = true;
    int maxLength_ = 0;
    bool showHint_ = true;
    bool designing_ = false;
    // The window options (alignment, wrapping) are first applied when the box is first shown.
    bool windowCreated_ = false;
    // The colours shown, kept to follow a palette change when they are system colours; none
    // until the box first shows a colour or font of its own.
    std::optional<Colour> shownPaper_;
    std::optional<Colour> shownInk_;
    QString lastText_;
};
