#include "HelpWindow.h"

#include "HelpBook.h"
#include "HelpBrowser.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int UrlRole = Qt::UserRole;

void addContentsItems(QTreeWidgetItem* parent, const std::vector<SitemapEntry>& entries) {
    for (const SitemapEntry& entry : entries) {
        auto* item = new QTreeWidgetItem(parent, {entry.name});
        if (!entry.local.isEmpty()) {
            item->setData(0, UrlRole, HelpBook::topicUrl(entry.local));
        }
        addContentsItems(item, entry.children);
    }
}

// Index keywords, sub-entries indented under their keyword.
void addIndexItems(QListWidget* list, const std::vector<SitemapEntry>& entries, int depth) {
    for (const SitemapEntry& entry : entries) {
        auto* item = new QListWidgetItem(QString(depth * 4, u' ') + entry.name, list);
        item->setData(Qt::UserRole, entry.local.isEmpty()
                                        ? QVariant()
                                        : QVariant(HelpBook::topicUrl(entry.local)));
        addIndexItems(list, entry.children, depth + 1);
    }
}

}  // namespace

HelpWindow::HelpWindow(std::unique_ptr<HelpBook> book) : book_(std::move(book)) {
    // Help closes with the program; it must not keep the program running on its own.
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(book_->title());

    browser_ = new HelpBrowser(*book_);
    panes_ = new QTabWidget;
    panes_->addTab(createContentsPane(), tr("Sommaire"));
    panes_->addTab(createIndexPane(), tr("Index"));
    panes_->addTab(createSearchPane(), tr("Rechercher"));

    auto* splitter = new QSplitter;
    splitter->addWidget(panes_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 560});
    setCentralWidget(splitter);
    createToolBar();

    const QSize size(820, 600);
    resize(size);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - QPoint(size.width() / 2, size.height() / 2));
    }
    showHome();
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::showHome() {
    browser_->setSource(book_->home());
}

QWidget* HelpWindow::createContentsPane() {
    contents_ = new QTreeWidget;
    contents_->setHeaderHidden(true);
    addContentsItems(contents_->invisibleRootItem(), book_->contents());
    contents_->expandToDepth(0);
    connect(contents_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { showEntryPage(item->data(0, UrlRole)); });
    connect(contents_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { showEntryPage(item->data(0, UrlRole)); });
    return contents_;
}

QWidget* HelpWindow::createIndexPane() {
    auto* pane = new QWidget;
    auto* layout = new QVBoxLayout(pane);
    auto* label = new QLabel(tr("&Tapez le mot clé à rechercher :"));
    indexEdit_ = new QLineEdit;
    label->setBuddy(indexEdit_);
    index_ = new QListWidget;
    addIndexItems(index_, book_->index(), 0);
    auto* show = new QPushButton(tr("&Afficher"));
    layout->addWidget(label);
    layout->addWidget(indexEdit_);
    layout->addWidget(index_);
    layout->addWidget(show, 0, Qt::AlignRight);

    connect(indexEdit_, &QLineEdit::textEdited, this, &HelpWindow::selectIndexEntry);
    auto showCurrent = [this] {
        if (const QListWidgetItem* item = index_->currentItem()) {
            showEntryPage(item->data(Qt::UserRole));
        }
    };
    connect(indexEdit_, &QLineEdit::returnPressed, this, showCurrent);
    connect(show, &QPushButton::clicked, this, showCurrent);
    connect(index_, &QListWidget::itemActivated, this, showCurrent);
    connect(index_, &QListWidget::itemClicked, this, showCurrent);
    return pane;
}

QWidget* HelpWindow::createSearchPane() {
    auto* pane = new QWidget;
    auto* layout = new QVBoxLayout(pane);
    auto* label = new QLabel(tr("&Mots à rechercher :"));
    searchEdit_ = new QLineEdit;
    label->setBuddy(searchEdit_);
    auto* run = new QPushButton(tr("&Lister les rubriques"));
    searchStatus_ = new QLabel;
    searchResults_ = new QListWidget;
    layout->addWidget(label);
    layout->addWidget(searchEdit_);
    layout->addWidget(run, 0, Qt::AlignRight);
    layout->addWidget(searchStatus_);
    layout->addWidget(searchResults_);

    connect(searchEdit_, &QLineEdit::returnPressed, this, &HelpWindow::runSearch);
    connect(run, &QPushButton::clicked, this, &HelpWindow::runSearch);
    auto showResult = [this](QListWidgetItem* item) { showEntryPage(item->data(Qt::UserRole)); };
    connect(searchResults_, &QListWidget::itemActivated, this, showResult);
    connect(searchResults_, &QListWidget::itemClicked, this, showResult);
    return pane;
}

void HelpWindow::createToolBar() {
    QToolBar* bar = addToolBar(tr("Navigation"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    QAction* back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("Précédent"));
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    connect(back, &QAction::triggered, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);

    QAction* forward =
        bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("Suivant"));
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    connect(forward, &QAction::triggered, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    QAction* home = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("Accueil"));
    home->setShortcut(Qt::ALT | Qt::Key_Home);
    connect(home, &QAction::triggered, this, &HelpWindow::showHome);

    QAction* print =
        bar->addAction(QIcon::fromTheme(QStringLiteral("document-print"),
                                        style()->standardIcon(QStyle::SP_FileDialogDetailedView)),
                       tr("Imprimer"));
    print->setShortcut(QKeySequence::Print);
    connect(print, &QAction::triggered, this, &HelpWindow::printPage);
}

void HelpWindow::selectIndexEntry(const QString& typed) {
    const QString wanted = foldForSearch(typed.trimmed());
    if (wanted.isEmpty()) {
        return;
    }
    for (int row = 0; row < index_->count(); ++row) {
        QListWidgetItem* item = index_->item(row);
        if (foldForSearch(item->text().trimmed()).startsWith(wanted)) {
            index_->setCurrentItem(item);
            index_->scrollToItem(item, QAbstractItemView::PositionAtTop);
            return;
        }
    }
}

void HelpWindow::runSearch() {
    searchResults_->clear();
    const std::vector<HelpBook::Match> matches = book_->search(searchEdit_->text());
    for (const HelpBook::Match& match : matches) {
        auto* item = new QListWidgetItem(match.title, searchResults_);
        item->setData(Qt::UserRole, match.url);
    }
    searchStatus_->setText(matches.empty() ? tr("Aucune rubrique trouvée.")
                           : matches.size() == 1
                               ? tr("1 rubrique trouvée.")
                               : tr("%1 rubriques trouvées.").arg(matches.size()));
}

void HelpWindow::showEntryPage(const QVariant& url) {
    if (url.isValid()) {
        browser_->setSource(url.toUrl());
    }
}

void HelpWindow::printPage() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(tr("Imprimer la rubrique"));
    if (dialog.exec() == QDialog::Accepted) {
        browser_->print(&printer);
    }
}
