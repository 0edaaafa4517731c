#include "AlignEdit.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <utility>

#include "AttributeSet.h"
#include "KeyCodes.h"
#include "LineBreaks.h"
#include "Platform.h"

using namespace quorbelix;

namespace {

// Margin between the border and the text: small, so that three digits fit a 33-pixel box.
constexpr qreal documentMargin = 1;

// Whether `text` is one character that goes into the text as it is (no control character).
bool isPrintable(const QString& text) {
    const QList<uint> points = text.toUcs4();
    return points.size() == 1 && QChar::isPrint(points.front());
}

// Whether a key with these modifiers gives a command rather than typing: Ctrl, but not the
// Ctrl+Alt that stands for AltGr.
bool isCommand(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier);
}

bool copiesOrCuts(const QKeyEvent& event) {
    return event.matches(QKeySequence::Copy) || event.matches(QKeySequence::Cut);
}

}  // namespace

TAlignEdit::TAlignEdit(QWidget* parent)
    : QPlainTextEdit(parent), fontOnFocus_(new TFont(this)), fontOnNoFocus_(new TFont(this)) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    document()->setDocumentMargin(documentMargin);
    // The space between border and viewport, used to centre the line, shows the box colour.
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    // The plain border is drawn in the foreground colour: a dark grey, whatever the text colour.
    setForegroundRole(QPalette::Dark);
    connect(fontOnNoFocus_, &TFont::changed, this, &TAlignEdit::FontOnNoFocusChanged);
    connect(this, &QPlainTextEdit::textChanged, this, &TAlignEdit::emitChangeIfTextChanged);
    connect(this, &QPlainTextEdit::blockCountChanged, this, &TAlignEdit::centreVertically);
    connect(document(), &QTextDocument::contentsChange, this, &TAlignEdit::followMaskedEdit);
    // The form's active control may change while the box has lent the keyboard to a menu or
    // another window (the user clicks another box while a menu is open): the box leaves then.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* /*old*/, QWidget* now) {
        if (HasFocus && now != nullptr && now != this && now->window() == window() &&
            qobject_cast<QMenuBar*>(now) == nullptr) {
            leave();
        }
    });
}

QString TAlignEdit::documentText() const {
    if (masked()) {
        return plain_;
    }
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

QString TAlignEdit::text() const {
    return toCrLf(documentText());
}

void TAlignEdit::setText(const QString& text) {
    const QString wanted = fromLineBreaks(cased(text));
    if (wanted == documentText()) {
        return;
    }
    if (masked()) {
        plain_ = wanted;
        editingMasked_ = true;
        setPlainText(masking(wanted));
        editingMasked_ = false;
    } else {
        setPlainText(wanted);
    }
}

QString TAlignEdit::cased(const QString& text) const {
    if (charCase_ == ecNormal) {
        return text;
    }
    // Character by character, so that the length stays what MaxLength counted.
    QString changed = text;
    for (QChar& character : changed) {
        character = charCase_ == ecUpperCase ? character.toUpper() : character.toLower();
    }
    return changed;
}

QString TAlignEdit::masking(const QString& documentText) const {
    QString shown = documentText;
    for (QChar& character : shown) {
        if (character != u'\n') {
            character = passwordChar_;
        }
    }
    return shown;
}

void TAlignEdit::followMaskedEdit(int position, int removed, int added) {
    if (!masked() || editingMasked_) {
        return;
    }
    // Deleting keys and the Enter of a multi-line box edit the document directly.
    QString inserted = document()->toRawText().mid(position, added);
    inserted.replace(QChar::ParagraphSeparator, u'\n');
    plain_ = plain_.left(position) + inserted + plain_.mid(position + removed);
}

void TAlignEdit::showDocumentText(const QString& documentText) {
    QTextCursor caret = textCursor();
    const int anchor = caret.anchor();
    const int position = caret.position();
    QTextCursor all(document());
    all.select(QTextCursor::Document);
    editingMasked_ = true;
    all.insertText(documentText);
    editingMasked_ = false;
    const int end = document()->characterCount() - 1;
    caret.setPosition(std::min(anchor, end));
    caret.setPosition(std::min(position, end), QTextCursor::KeepAnchor);
    setTextCursor(caret);
}

void TAlignEdit::insertTyped(const QString& text) {
    if (isReadOnly()) {
        return;
    }
    QTextCursor cursor = textCursor();
    if (masked()) {
        const int from = cursor.selectionStart();
        plain_.replace(from, cursor.selectionEnd() - from, text);
        editingMasked_ = true;
        cursor.insertText(masking(text));
        editingMasked_ = false;
    } else {
        cursor.insertText(text);
    }
    setTextCursor(cursor);
    ensureCursorVisible();
}

void TAlignEdit::emitChangeIfTextChanged() {
    const QString now = text();
    if (now != lastText_) {
        lastText_ = now;
        emit OnChange();
    }
}

bool TAlignEdit::tabStop() const {
    return focusPolicy() == Qt::StrongFocus;
}

void TAlignEdit::setTabStop(bool on) {
    setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

void TAlignEdit::setAlignment(TAlignment alignment) {
    if (alignment == alignment_) {
        return;
    }
    alignment_ = alignment;
    recreateWindow();
    emit alignmentChanged(alignment_);
}

void TAlignEdit::setColorOnFocus(const Colour& colour) {
    if (!designing_ && HasFocus) {
        showColour(colour);
    }
    colorOnFocus_ = colour;
    emit colorOnFocusChanged(colour);
}

void TAlignEdit::setColorOnFocus(const QString& name) {
    if (const auto colour = colourOfFormText(*this, "ColorOnFocus", name)) {
        setColorOnFocus(*colour);
    }
}

void TAlignEdit::setColorOnNoFocus(const Colour& colour) {
    showColour(colour);
    colorOnNoFocus_ = colour;
    emit colorOnNoFocusChanged(colour);
}

void TAlignEdit::setColorOnNoFocus(const QString& name) {
    if (const auto colour = colourOfFormText(*this, "ColorOnNoFocus", name)) {
        setColorOnNoFocus(*colour);
    }
}

void TAlignEdit::setFontOnFocus(const TFont* font) {
    if (font == nullptr) {
        return;
    }
    if (!designing_ && HasFocus) {
        showFont(*font);
    }
    fontOnFocus_->assign(*font);
}

void TAlignEdit::setFontOnFocus(const QString& text) {
    // Read into the owned font itself, so that a typo's warning names this box and property.
    fontOnFocus_->setFromText(text);
    setFontOnFocus(fontOnFocus_);
}

void TAlignEdit::setFontOnNoFocus(const TFont* font) {
    if (font == nullptr) {
        return;
    }
    showFont(*font);
    fontOnNoFocus_->assign(*font);
}

void TAlignEdit::setFontOnNoFocus(const QString& text) {
    fontOnNoFocus_->setFromText(text);
    setFontOnNoFocus(fontOnNoFocus_);
}

void TAlignEdit::FontOnNoFocusChanged() {
    showFont(*fontOnNoFocus_);
}

void TAlignEdit::setExitOnReturn(bool on) {
    if (on == exitOnReturn_) {
        return;
    }
    if (on) {
        if (multiLine_) {
            recreateWindow();
            // Directly: the text keeps its line breaks and WordWrap its value.
            multiLine_ = false;
            centreVertically();
            emit multiLineChanged(false);
        }
    } else if (!multiLine_) {
        recreateWindow();
    }
    exitOnReturn_ = on;
    emit exitOnReturnChanged(on);
}

void TAlignEdit::setMultiLine(bool on) {
    if (on == multiLine_) {
        return;
    }
    if (on) {
        setExitOnReturn(false);
    } else {
        setText(removeLineBreaks(text()));
        if (wordWrap_) {
            wordWrap_ = false;
            emit wordWrapChanged(false);
        }
    }
    multiLine_ = on;
    recreateWindow();
    emit multiLineChanged(on);
}

void TAlignEdit::setWordWrap(bool on) {
    if (on == wordWrap_) {
        return;
    }
    wordWrap_ = on;
    setMultiLine(true);
    recreateWindow();
    emit wordWrapChanged(on);
}

void TAlignEdit::setAutoSize(bool on) {
    autoSize_ = on;
    adjustHeight();
}

void TAlignEdit::setMaxLength(int length) {
    maxLength_ = std::max(length, 0);
}

void TAlignEdit::setBorderStyle(TBorderStyle style) {
    if (style == borderStyle_) {
        return;
    }
    borderStyle_ = style;
    setFrameStyle(style == bsSingle ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
    adjustHeight();
    centreVertically();
    emit borderStyleChanged(style);
}

void TAlignEdit::setCharCase(TEditCharCase charCase) {
    if (charCase == charCase_) {
        return;
    }
    charCase_ = charCase;
    setText(text());
    emit charCaseChanged(charCase);
}

void TAlignEdit::setHideSelection(bool on) {
    if (on == hideSelection_) {
        return;
    }
    hideSelection_ = on;
    applyShownColours();
    emit hideSelectionChanged(on);
}

void TAlignEdit::setOemConvert(bool on) {
    if (on == oemConvert_) {
        return;
    }
    oemConvert_ = on;
    emit oemConvertChanged(on);
}

void TAlignEdit::setPasswordChar(QChar mask) {
    if (mask == passwordChar_) {
        return;
    }
    const QString real = documentText();
    passwordChar_ = mask;
    if (masked()) {
        // Undo would bring back the characters that the mask replaced.
        setUndoRedoEnabled(false);
        plain_ = real;
        showDocumentText(masking(real));
    } else {
        plain_.clear();
        showDocumentText(real);
        setUndoRedoEnabled(true);
    }
    emit passwordCharChanged(mask);
}

void TAlignEdit::setPopupMenu(QMenu* menu) {
    if (menu == popupMenu_) {
        return;
    }
    popupMenu_ = menu;
    emit popupMenuChanged(menu);
}

void TAlignEdit::recreateWindow() {
    if (windowCreated_) {
        applyWindowOptions();
    }
}

void TAlignEdit::applyWindowOptions() {
    static constexpr std::array<Qt::Alignment, 3> alignments{Qt::AlignLeft, Qt::AlignRight,
                                                             Qt::AlignHCenter};
    setLineWrapMode(wordWrap_ ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(alignments[alignment_]);
    option.setWrapMode(wordWrap_ ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    document()->setDefaultTextOption(option);
    centreVertically();
    viewport()->update();
}

void TAlignEdit::centreVertically() {
    const int free = contentsRect().height() - fontMetrics().lineSpacing() * blockCount() -
                     2 * static_cast<int>(documentMargin);
    const int top = multiLine_ ? 0 : std::max(free / 2, 0);
    setViewportMargins(0, top, 0, 0);
}

void TAlignEdit::adjustHeight() {
    if (autoSize_ && !multiLine_) {
        resize(width(), sizeHint().height());
    }
}

QSize TAlignEdit::sizeHint() const {
    const QSize standard = QPlainTextEdit::sizeHint();
    if (multiLine_) {
        return standard;
    }
    // One line of text, its border and some air: 24 pixels for a bold 13-pixel font.
    return {standard.width(), fontMetrics().height() + 2 * frameWidth() + 7};
}

void TAlignEdit::showColour(const Colour& colour) {
    shownPaper_ = colour;
    applyShownColours();
}

void TAlignEdit::showFont(const TFont& font) {
    setFont(font.toQFont());
    shownInk_ = font.colour();
    applyShownColours();
    adjustHeight();
    centreVertically();
}

void TAlignEdit::applyShownColours() {
    QPalette shown = palette();
    if (shownPaper_) {
        shown.setColor(QPalette::Base, shownPaper_->resolved());
    }
    if (shownInk_) {
        // The disabled text keeps the system's grey.
        const QColor ink = shownInk_->resolved();
        shown.setColor(QPalette::Active, QPalette::Text, ink);
        shown.setColor(QPalette::Inactive, QPalette::Text, ink);
    }
    // Without the keyboard the selection is drawn with the inactive colours: the box's own
    // colours hide it when the box is not the active control and HideSelection is on.
    const bool hidden = hideSelection_ && !HasFocus;
    const QPalette standard = QApplication::palette(this);
    shown.setColor(QPalette::Inactive, QPalette::Highlight,
                   hidden ? shown.color(QPalette::Inactive, QPalette::Base)
                          : standard.color(QPalette::Inactive, QPalette::Highlight));
    shown.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   hidden ? shown.color(QPalette::Inactive, QPalette::Text)
                          : standard.color(QPalette::Inactive, QPalette::HighlightedText));
    setPalette(shown);
}

bool TAlignEdit::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && !showHint_) {
        return true;
    }
    return QPlainTextEdit::event(event);
}

void TAlignEdit::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        // A new application palette reaches the box this way: system colours follow it. Our
        // own setPalette() comes back here once and then changes nothing more.
        applyShownColours();
    }
}

void TAlignEdit::showEvent(QShowEvent* event) {
    QPlainTextEdit::showEvent(event);
    if (!windowCreated_) {
        windowCreated_ = true;
        applyWindowOptions();
    }
}

void TAlignEdit::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    centreVertically();
}

void TAlignEdit::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    // Back from a menu or another window, the box never stopped being the active control.
    if (!HasFocus) {
        enter(event->reason());
    }
}

void TAlignEdit::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    // A menu, a context menu, another window or a modal dialog takes the keyboard for a while;
    // the box stays the active control of its form.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
        reason != Qt::MenuBarFocusReason) {
        leave();
    }
}

void TAlignEdit::enter(Qt::FocusReason reason) {
    HasFocus = true;
    if (alignment_ != taLeftJustify) {
        update();
        viewport()->update();
    }
    const bool byLeftClick =
        reason == Qt::MouseFocusReason && (QGuiApplication::mouseButtons() & Qt::LeftButton);
    if (autoSelect_ && !byLeftClick) {
        selectAll();
    }
    if (designing_) {
        applyShownColours();
    } else {
        showColour(colorOnFocus_);
        showFont(*fontOnFocus_);
    }
    emit OnEnter();
}

void TAlignEdit::leave() {
    HasFocus = false;
    if (alignment_ != taLeftJustify) {
        update();
        viewport()->update();
    }
    showColour(colorOnNoFocus_);
    showFont(*fontOnNoFocus_);
    emit OnExit();
}

void TAlignEdit::keyDown(quint16& key) {
    if (exitOnReturn_) {
        if (key == vkReturn) {
            // Handled after this key, like a Tab typed by the user: the focus moves on.
            QCoreApplication::postEvent(
                this, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
        }
    } else if (key == vkReturn && !multiLine_) {
        key = 0;
        quorbelix::platform().beep();
    } else if (!multiLine_) {
        if (key == vkUp) {
            key = vkLeft;
        } else if (key == vkDown) {
            key = vkRight;
        }
    }
}

void TAlignEdit::keyPress(char& key) {
    if (exitOnReturn_ && key == '\r') {
        key = '\t';
    } else if (!multiLine_ && key == '\r') {
        key = '\0';
    }
}

std::optional<QString> TAlignEdit::typeCharacter(const QString& character) {
    QString typed = character;
    if (const std::optional<char> reported = windowsCharacter(character)) {
        char key = *reported;
        keyPress(key);
        emit OnKeyPress(key);
        if (key == '\0' || key == '\t') {
            return std::nullopt;  // swallowed; a Tab never goes into the text, it moves the focus
        }
        typed = QString(fromWindowsCharacter(key));
    }
    typed = cased(typed);
    const bool breaksLine = typed == u"\r";
    if ((breaksLine || isPrintable(typed)) && roomLeft() < (breaksLine ? 2 : typed.size())) {
        return std::nullopt;
    }
    return typed;
}

void TAlignEdit::keyPressEvent(QKeyEvent* event) {
    const std::optional<quint16> pressed = virtualKey(*event);
    quint16 key = pressed.value_or(0);
    if (pressed) {
        keyDown(key);
        emit OnKeyDown(key, event->modifiers());
    }
    event->accept();

    const QString text = event->text();
    if (windowsCharacter(text) || isPrintable(text)) {
        // A key that types a character acts through that character.
        const std::optional<QString> typed = typeCharacter(text);
        if (!typed) {
            return;
        }
        if (isPrintable(*typed) && !isCommand(event->modifiers())) {
            insertTyped(*typed);
            return;
        }
        // A control character (CR, BS, Ctrl+letter...) acts as the key that types it.
        if (masked() && copiesOrCuts(*event)) {
            return;
        }
        if (*typed == text) {
            QPlainTextEdit::keyPressEvent(event);
        } else if (const std::optional<char> changed = windowsCharacter(*typed)) {
            QKeyEvent asTyped(QEvent::KeyPress, keyTyping(*changed), event->modifiers(), *typed);
            QPlainTextEdit::keyPressEvent(&asTyped);
            event->setAccepted(asTyped.isAccepted());
        }
        return;
    }
    if (masked() && copiesOrCuts(*event)) {
        return;
    }
    if (!pressed || key == *pressed) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    if (const std::optional<Qt::Key> qtKey = qtKeyFor(key)) {
        QKeyEvent changed(QEvent::KeyPress, *qtKey, event->modifiers());
        QPlainTextEdit::keyPressEvent(&changed);
        event->setAccepted(changed.isAccepted());
    }
}

void TAlignEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().isEmpty()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    // What an input method or a dead key composes is typed one character at a time, through
    // the same step as a key's character; the text it replaces goes first, the preedit after.
    if (event->replacementLength() != 0) {
        QInputMethodEvent replacing;
        replacing.setCommitString(QString(), event->replacementStart(), event->replacementLength());
        QPlainTextEdit::inputMethodEvent(&replacing);
    }
    const QList<uint> points = event->commitString().toUcs4();
    for (const uint point : points) {
        const char32_t unit = point;
        const std::optional<QString> typed = typeCharacter(QString::fromUcs4(&unit, 1));
        if (!typed) {
            continue;
        }
        if (isPrintable(*typed)) {
            insertTyped(*typed);
        } else if (const std::optional<char> control = windowsCharacter(*typed)) {
            QKeyEvent asTyped(QEvent::KeyPress, keyTyping(*control), Qt::NoModifier, *typed);
            QPlainTextEdit::keyPressEvent(&asTyped);
        }
    }
    QInputMethodEvent preedit(event->preeditString(), event->attributes());
    QPlainTextEdit::inputMethodEvent(&preedit);
    event->accept();
}

void TAlignEdit::keyReleaseEvent(QKeyEvent* event) {
    const std::optional<quint16> released = virtualKey(*event);
    if (!released) {
        QPlainTextEdit::keyReleaseEvent(event);
        return;
    }
    quint16 key = *released;
    emit OnKeyUp(key, event->modifiers());
    if (key != 0) {
        QPlainTextEdit::keyReleaseEvent(event);
    }
}

int TAlignEdit::roomLeft() const {
    if (maxLength_ == 0) {
        return std::numeric_limits<int>::max();
    }
    const int selected = static_cast<int>(toCrLf(textCursor().selectedText()).size());
    return maxLength_ - static_cast<int>(text().size()) + selected;
}

void TAlignEdit::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText()) {
        return;
    }
    QString pasted = cased(source->text());
    if (maxLength_ != 0) {
        pasted = fitLength(pasted, std::max(roomLeft(), 0));
    }
    insertTyped(fromLineBreaks(pasted));
}

QMimeData* TAlignEdit::createMimeDataFromSelection() const {
    // A masked text does not leave the box, by the clipboard or by dragging.
    return masked() ? new QMimeData : QPlainTextEdit::createMimeDataFromSelection();
}

void TAlignEdit::contextMenuEvent(QContextMenuEvent* event) {
    if (popupMenu_ != nullptr) {
        popupMenu_->popup(event->globalPos());
        return;
    }
    QMenu* menu = createStandardContextMenu(event->pos());
    if (masked()) {
        for (QAction* action : menu->actions()) {
            if (action->objectName() == u"edit-copy" || action->objectName() == u"edit-cut") {
                action->setEnabled(false);
            }
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

QPoint TAlignEdit::atInBox(const QMouseEvent& event) const {
    // From the screen: a click's focus entry may have moved the text area (to centre a new
    // font) after the event's own position was taken.
    return mapFromGlobal(event.globalPosition().toPoint());
}

void TAlignEdit::mousePressEvent(QMouseEvent* event) {
    const QPoint at = atInBox(*event);
    QPlainTextEdit::mousePressEvent(event);
    reportMouse(*this, *event, at);
}

void TAlignEdit::mouseMoveEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseMoveEvent(event);
    reportMouse(*this, *event, atInBox(*event));
}

void TAlignEdit::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton &&
        viewport()->rect().contains(event->position().toPoint())) {
        emit OnClick();
    }
    reportMouse(*this, *event, atInBox(*event));
}

void TAlignEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint at = atInBox(*event);
    QPlainTextEdit::mouseDoubleClickEvent(event);
    emit OnDblClick();
    // The second press of a double click is a press too.
    reportMouse(*this, *event, at);
}
