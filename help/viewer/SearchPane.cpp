#include "SearchPane.h"

#include "HelpBook.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace htmlhelp {

namespace {

constexpr int UrlRole = Qt::UserRole;
constexpr int TermsRole = Qt::UserRole + 1;
// Long enough to let a word be typed, short enough to feel immediate.
constexpr int SearchDelayMs = 250;

}  // namespace

SearchPane::SearchPane(const HelpBook& book, QWidget* parent)
    : QWidget(parent),
      book_(book),
      query_(new QLineEdit),
      results_(new QListWidget),
      status_(new QLabel),
      delay_(new QTimer(this)) {
    auto* label = new QLabel(tr("&Mots à rechercher :"));
    label->setBuddy(query_);
    query_->setAccessibleName(tr("Mots à rechercher"));
    query_->setPlaceholderText(tr("mot, « expression exacte », début*"));
    query_->setClearButtonEnabled(true);
    results_->setAccessibleName(tr("Rubriques trouvées"));
    results_->setWordWrap(true);
    results_->setTextElideMode(Qt::ElideNone);
    status_->setAccessibleName(tr("Résultat de la recherche"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(query_);
    layout->addWidget(status_);
    layout->addWidget(results_);

    delay_->setSingleShot(true);
    delay_->setInterval(SearchDelayMs);
    connect(delay_, &QTimer::timeout, this, &SearchPane::runSearch);
    connect(query_, &QLineEdit::textChanged, delay_, qOverload<>(&QTimer::start));
    // Enter searches at once, or opens the first result when they are up to date.
    connect(query_, &QLineEdit::returnPressed, this, [this] {
        if (delay_->isActive()) {
            runSearch();
        }
        choose(results_->item(0));
    });
    connect(results_, &QListWidget::itemActivated, this, &SearchPane::choose);
    connect(results_, &QListWidget::itemClicked, this, &SearchPane::choose);
}

void SearchPane::runSearch() {
    // The search runs on what the field holds now, so a result never belongs to older words.
    delay_->stop();
    results_->clear();
    const QString query = query_->text();
    if (query.trimmed().isEmpty()) {
        status_->clear();
        return;
    }
    const std::vector<HelpBook::Match> matches = book_.search(query);
    for (const HelpBook::Match& match : matches) {
        auto* item = new QListWidgetItem(match.title + u'\n' + match.extract, results_);
        item->setData(UrlRole, match.url);
        item->setData(TermsRole, match.terms);
        item->setToolTip(match.extract);
    }
    status_->setText(matches.empty()       ? tr("Aucune rubrique trouvée.")
                     : matches.size() == 1 ? tr("1 rubrique trouvée.")
                                           : tr("%1 rubriques trouvées.").arg(matches.size()));
}

void SearchPane::choose(const QListWidgetItem* item) {
    if (item) {
        emit topicChosen(item->data(UrlRole).toUrl(), item->data(TermsRole).toStringList());
    }
}

}  // namespace htmlhelp
