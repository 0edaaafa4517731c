#pragma once

#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <optional>

#include "Colour.h"
#include "MouseSignals.h"
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
// Focus entry and exit (the colours and fonts, AutoSelect, OnEnter and OnExit) follow the box
// becoming and ceasing to be the active control of its form: Tab, Shift+Tab, a click, a
// mnemonic, setFocus() from code. A menu, a context menu, a switch to another window or a modal
// dialog takes the keyboard away for a while but leaves the box the form's active control: when
// the keyboard comes back, the caret and the selection are as they were and nothing runs.
//
// Of the ordinary edit box this offers AutoSelect, AutoSize, BorderStyle, CharCase,
// HideSelection, MaxLength, OEMConvert, PasswordChar, PopupMenu, ReadOnly, Text, Enabled, Visible,
// TabStop (the tab order itself is the form's, as in any Qt form), Hint and ShowHint and the
// events as signals. Drag-and-drop and 3-D border properties have no meaning for a Qt widget and
// are not offered; neither are Color and Font, which the box sets itself from the four focus
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
    Q_PROPERTY(
        TBorderStyle BorderStyle READ borderStyle WRITE setBorderStyle NOTIFY borderStyleChanged)
    Q_PROPERTY(TEditCharCase CharCase READ charCase WRITE setCharCase NOTIFY charCaseChanged)
    Q_PROPERTY(
        bool HideSelection READ hideSelection WRITE setHideSelection NOTIFY hideSelectionChanged)
    Q_PROPERTY(bool OEMConvert READ oemConvert WRITE setOemConvert NOTIFY oemConvertChanged)
    Q_PROPERTY(
        QChar PasswordChar READ passwordChar WRITE setPasswordChar NOTIFY passwordCharChanged)
    Q_PROPERTY(QMenu* PopupMenu READ popupMenu WRITE setPopupMenu NOTIFY popupMenuChanged)
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
    enum TBorderStyle { bsNone, bsSingle };
    Q_ENUM(TBorderStyle)
    enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
    Q_ENUM(TEditCharCase)

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
    TBorderStyle borderStyle() const { return borderStyle_; }
    TEditCharCase charCase() const { return charCase_; }
    bool hideSelection() const { return hideSelection_; }
    bool oemConvert() const { return oemConvert_; }
    // QChar() for none.
    QChar passwordChar() const { return passwordChar_; }
    QMenu* popupMenu() const { return popupMenu_; }
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
    // Keeps the line breaks of `text` (CR LF, or a lone CR or LF). The same text again changes
    // nothing: caret, selection and undo stay as they are.
    void setText(const QString& text);
    void setAutoSelect(bool on) { autoSelect_ = on; }
    // When on, a one-line box takes the height of its font plus its border.
    void setAutoSize(bool on);
    // Most characters the user may type or paste; 0 for no limit.
    void setMaxLength(int length);
    // A single border, or none.
    void setBorderStyle(TBorderStyle style);
    // Upper or lower case is applied to typed, pasted and assigned text, and to the text there
    // is when it is set.
    void setCharCase(TEditCharCase charCase);
    // When on, the selection is hidden while the box is not the active control.
    void setHideSelection(bool on);
    // Kept for forms that set it: there is no OEM code page to convert through, so it changes
    // nothing.
    void setOemConvert(bool on);
    // Shows every character as `mask` (QChar() shows the text again); Text keeps the real text.
    // While masked, copy and cut do nothing and there is no undo.
    void setPasswordChar(QChar mask);
    // Shown instead of the standard context menu; the box does not own it. nullptr for the
    // standard one.
    void setPopupMenu(QMenu* menu);
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
    void borderStyleChanged(TAlignEdit::TBorderStyle style);
    void charCaseChanged(TAlignEdit::TEditCharCase charCase);
    void hideSelectionChanged(bool on);
    void oemConvertChanged(bool on);
    void passwordCharChanged(QChar mask);
    void popupMenuChanged(QMenu* menu);

    void OnChange();
    void OnClick();
    void OnDblClick();
    void OnEnter();
    void OnExit();
    void OnKeyDown(quint16& key, Qt::KeyboardModifiers shift);
    void OnKeyPress(char& key);
    void OnKeyUp(quint16& key, Qt::KeyboardModifiers shift);
    QUORBELIX_MOUSE_SIGNALS

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
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

private slots:
    // Shows FontOnNoFocus again whenever one of its attributes changes, focused or not.
    void FontOnNoFocusChanged();

private:
    // Where a mouse event on the text area is, in the box's coordinates.
    QPoint atInBox(const QMouseEvent& event) const;
    void enter(Qt::FocusReason reason);
    void leave();
    void keyDown(quint16& key);
    void keyPress(char& key);
    // The character step of typing: the box's own rule and OnKeyPress for a Windows-1252
    // character, then CharCase and MaxLength. Returns the character, changed, that acts as typed,
    // or nothing when it was swallowed or had no room; a control character acts as its key.
    std::optional<QString> typeCharacter(const QString& character);
    // Puts `text`, already cased, where the selection is; masked when PasswordChar is set.
    void insertTyped(const QString& text);
    QString cased(const QString& text) const;
    bool masked() const { return !passwordChar_.isNull(); }
    QString masking(const QString& documentText) const;
    // Follows an edit of the document into the real text while it is masked.
    void followMaskedEdit(int position, int removed, int added);
    // Replaces the whole document keeping the caret and selection where they are.
    void showDocumentText(const QString& documentText);
    // The text in the document's form: one '\n' between lines.
    QString documentText() const;
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
    TBorderStyle borderStyle_ = bsSingle;
    TEditCharCase charCase_ = ecNormal;
    bool hideSelection_ = true;
    bool oemConvert_ = false;
    QChar passwordChar_;
    QPointer<QMenu> popupMenu_;
    // While masked: the real text, in the document's form, and whether an edit of ours is
    // already followed into it.
    QString plain_;
    bool editingMasked_ = false;
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
