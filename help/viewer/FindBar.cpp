#include "FindBar.h"

#include "HelpBook.h"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>

#include <algorithm>

namespace htmlhelp {

namespace {

// Dark text on light colours, readable whatever the palette.
QTextCharFormat matchFormat(bool current) {
    QTextCharFormat format;
    format.setBackground(current ? QColor(255, 150, 50) : QColor(255, 236, 139));
    format.setForeground(Qt::black);
    return format;
}

// The end in text of a match whose last folded character comes from position from: past the
// whole letter, its accents written apart included.
int matchEnd(const QString& text, qsizetype from) {
    qsizetype end = from + 1;
    while (end < text.size() &&
           (text[end].isLowSurrogate() || text[end].category() == QChar::Mark_NonSpacing)) {
        ++end;
    }
    return int(end);
}

// The document's text, one character per position.
QString documentText(const QTextBrowser* browser) {
    return browser->document()->toRawText();
}

}  // namespace

FindBar::FindBar(QTextBrowser* browser, QWidget* parent)
    : QWidget(parent), browser_(browser), field_(new QLineEdit), count_(new QLabel) {
    auto* label = new QLabel(tr("&Rechercher dans la page :"));
    label->setBuddy(field_);
    field_->setAccessibleName(tr("Texte à rechercher dans la page"));
    count_->setAccessibleName(tr("Correspondances"));
    auto* previous = new QToolButton;
    previous->setText(tr("Précédent"));
    previous->setToolTip(tr("Précédent (Maj+F3)"));
    previous->setAccessibleName(tr("Précédent"));
    auto* next = new QToolButton;
    next->setText(tr("Suivant"));
    next->setToolTip(tr("Suivant (F3)"));
    next->setAccessibleName(tr("Suivant"));
    auto* closer = new QToolButton;
    closer->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    closer->setToolTip(tr("Fermer (Échap)"));
    closer->setAccessibleName(tr("Fermer la recherche dans la page"));
    closer->setAutoRaise(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(field_, 1);
    layout->addWidget(previous);
    layout->addWidget(next);
    layout->addWidget(count_);
    layout->addWidget(closer);

    connect(field_, &QLineEdit::textChanged, this, &FindBar::find);
    connect(previous, &QToolButton::clicked, this, &FindBar::findPrevious);
    connect(next, &QToolButton::clicked, this, &FindBar::findNext);
    connect(closer, &QToolButton::clicked, this, &QWidget::hide);
    field_->installEventFilter(this);
    // F3 works from anywhere in the window while the bar is open.
    auto* nextKey = new QShortcut(QKeySequence(Qt::Key_F3), this);
    auto* previousKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this);
    connect(nextKey, &QShortcut::activated, this, &FindBar::findNext);
    connect(previousKey, &QShortcut::activated, this, &FindBar::findPrevious);
    // Matches belong to the page they were found in.
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        if (isVisible()) {
            find();
        } else {
            clearMatches();
        }
    });
    hide();
}

void FindBar::open() {
    show();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
    find();
}

void FindBar::hideEvent(QHideEvent* event) {
    // Not when the window is only minimized.
    if (!event->spontaneous()) {
        clearMatches();
        if (field_->hasFocus()) {
            browser_->setFocus(Qt::OtherFocusReason);
        }
    }
    QWidget::hideEvent(event);
}

void FindBar::findNext() {
    if (!matches_.empty()) {
        current_ = (current_ + 1) % qsizetype(matches_.size());
        showCurrent();
    }
}

void FindBar::findPrevious() {
    if (!matches_.empty()) {
        current_ = (current_ + qsizetype(matches_.size()) - 1) % qsizetype(matches_.size());
        showCurrent();
    }
}

void FindBar::find() {
    matches_.clear();
    current_ = -1;
    std::vector<qsizetype> sources;
    const QString wanted = foldForSearch(field_->text());
    if (!wanted.isEmpty()) {
        const QString text = documentText(browser_);
        const QString folded = foldForSearch(text, &sources);
        for (qsizetype at = folded.indexOf(wanted); at >= 0;
             at = folded.indexOf(wanted, at + wanted.size())) {
            matches_.emplace_back(int(sources[at]),
                                  matchEnd(text, sources[at + wanted.size() - 1]));
        }
    }
    // The first match from where the page is read.
    const int from = browser_->textCursor().selectionStart();
    for (std::size_t i = 0; i < matches_.size() && current_ < 0; ++i) {
        if (matches_[i].first >= from) {
            current_ = qsizetype(i);
        }
    }
    if (current_ < 0 && !matches_.empty()) {
        current_ = 0;
    }
    showCurrent();
}

void FindBar::highlightTerms(const QStringList& terms) {
    matches_.clear();
    current_ = -1;
    const QString text = documentText(browser_);
    std::vector<qsizetype> sources;
    const QString folded = foldForSearchWords(text, &sources);
    for (const QString& term : terms) {
        for (const WordMatch& match : findWords(folded, foldForSearchWords(term))) {
            matches_.emplace_back(int(sources[match.start]),
                                  matchEnd(text, sources[match.start + match.length - 1]));
        }
    }
    std::sort(matches_.begin(), matches_.end());
    if (!matches_.empty()) {
        current_ = 0;
    }
    showCurrent();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    // Esc belongs to the bar before any shortcut of the window.
    if (watched == field_ && event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        event->accept();
        return true;
    }
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            hide();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ShiftModifier) {
                findPrevious();
            } else {
                findNext();
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FindBar::showCurrent() {
    if (field_->text().isEmpty() || !isVisible()) {
        count_->clear();
    } else {
        count_->setText(tr("%1 sur %2").arg(current_ + 1).arg(matches_.size()));
    }
    paint();
    if (current_ >= 0) {
        QTextCursor cursor(browser_->document());
        cursor.setPosition(matches_[std::size_t(current_)].first);
        browser_->setTextCursor(cursor);
        browser_->ensureCursorVisible();
    }
}

void FindBar::paint() {
    QList<QTextEdit::ExtraSelection> selections;
    selections.reserve(qsizetype(matches_.size()));
    QTextCursor cursor(browser_->document());
    for (std::size_t i = 0; i < matches_.size(); ++i) {
        cursor.setPosition(matches_[i].first);
        cursor.setPosition(matches_[i].second, QTextCursor::KeepAnchor);
        selections.append({cursor, matchFormat(qsizetype(i) == current_)});
    }
    browser_->setExtraSelections(selections);
}

void FindBar::clearMatches() {
    matches_.clear();
    current_ = -1;
    count_->clear();
    browser_->setExtraSelections({});
}

}  // namespace htmlhelp
