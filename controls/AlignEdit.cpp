#include "AlignEdit.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <utility>

#include "AttributeEdit.h"
#include "KeyCodes.h"
#include "LineBreaks.h"
#include "Platform.h"

using namespace quorbelix;

namespace {

// Margin between the border and the text: small, so that three digits fit a 33-pixel box.
constexpr qreal documentMargin = 1;

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
}

QString TAlignEdit::text() const {
    return toCrLf(document()->toRawText());
}

void TAlignEdit::setText(const QString& text) {
    setPlainText(fromLineBreaks(text));
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
        const QColor paper = shownPaper_->resolved();
        shown.setColor(QPalette::Base, paper);
        // A box without the focus hides its selection.
        shown.setColor(QPalette::Inactive, QPalette::Highlight, paper);
    }
    if (shownInk_) {
        // The disabled text keeps the system's grey.
        const QColor ink = shownInk_->resolved();
        shown.setColor(QPalette::Active, QPalette::Text, ink);
        shown.setColor(QPalette::Inactive, QPalette::Text, ink);
        shown.setColor(QPalette::Inactive, QPalette::HighlightedText, ink);
    }
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
    const bool had = std::exchange(HasFocus, true);
    if (!had && alignment_ != taLeftJustify) {
        update();
        viewport()->update();
    }
    const bool byLeftClick = event->reason() == Qt::MouseFocusReason &&
                             (QGuiApplication::mouseButtons() & Qt::LeftButton);
    if (autoSelect_ && !byLeftClick) {
        selectAll();
    }
    if (!designing_) {
        showColour(colorOnFocus_);
        showFont(*fontOnFocus_);
    }
    emit OnEnter();
}

void TAlignEdit::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    const bool had = std::exchange(HasFocus, false);
    if (had && alignment_ != taLeftJustify) {
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

void TAlignEdit::keyPressEvent(QKeyEvent* event) {
    const std::optional<quint16> pressed = virtualKey(*event);
    quint16 key = pressed.value_or(0);
    if (pressed) {
        keyDown(key);
        emit OnKeyDown(key, event->modifiers());
    }
    const std::optional<char> typed = windowsCharacter(event->text());
    char character = typed.value_or('\0');
    if (typed) {
        keyPress(character);
        emit OnKeyPress(character);
    }

    event->accept();
    if (typed) {
        // A key that types a character acts through that character.
        if (character == '\0' || character == '\t') {
            return;  // swallowed; a Tab never goes into the text, it moves the focus
        }
        const bool inserts = static_cast<unsigned char>(character) >= ' ' || character == '\r';
        if (inserts && roomLeft() < (character == '\r' ? 2 : 1)) {
            return;
        }
        if (character == *typed) {
            QPlainTextEdit::keyPressEvent(event);
        } else {
            QKeyEvent changed(QEvent::KeyPress, keyTyping(character), event->modifiers(),
                              QString(fromWindowsCharacter(character)));
            QPlainTextEdit::keyPressEvent(&changed);
            event->setAccepted(changed.isAccepted());
        }
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
    if (maxLength_ == 0 || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    const QString fitting = fitLength(source->text(), std::max(roomLeft(), 0));
    textCursor().insertText(fromLineBreaks(fitting));
    ensureCursorVisible();
}

void TAlignEdit::mousePressEvent(QMouseEvent* event) {
    QPlainTextEdit::mousePressEvent(event);
    const QPoint at = viewport()->mapTo(this, event->position().toPoint());
    emit OnMouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

void TAlignEdit::mouseMoveEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseMoveEvent(event);
    const QPoint at = viewport()->mapTo(this, event->position().toPoint());
    emit OnMouseMove(event->modifiers(), at.x(), at.y());
}

void TAlignEdit::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
    const QPoint at = viewport()->mapTo(this, event->position().toPoint());
    if (event->button() == Qt::LeftButton &&
        viewport()->rect().contains(event->position().toPoint())) {
        emit OnClick();
    }
    emit OnMouseUp(event->button(), event->modifiers(), at.x(), at.y());
}

void TAlignEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    emit OnDblClick();
}
