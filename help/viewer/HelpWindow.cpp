#include "HelpWindow.h"

#include "FindBar.h"
#include "HelpBook.h"
#include "HelpBrowser.h"
#include "HtmlHelp.h"
#include "SearchPane.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSet>
#include <QSettings>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <QWindow>

#include <utility>

namespace htmlhelp {

namespace {

constexpr int UrlRole = Qt::UserRole;
// The pages of an index keyword that leads to several: a list of {title, address} pairs.
constexpr int TopicsRole = Qt::UserRole + 1;

// The window's frame on a screen that has room for it.
constexpr QSize DefaultSize(860, 620);

const QString FrameKey = QStringLiteral("aide/cadre");
const QString PanesKey = QStringLiteral("aide/volets");
const QString TabKey = QStringLiteral("aide/onglet");
const QString ZoomKey = QStringLiteral("aide/zoom");

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
        item->setData(UrlRole, entry.local.isEmpty() ? QVariant()
                                                     : QVariant(HelpBook::topicUrl(entry.local)));
        if (entry.topics.size() > 1) {
            QVariantList topics;
            for (const SitemapTopic& topic : entry.topics) {
                topics.append(
                    QVariant(QVariantList{topic.title.isEmpty() ? entry.name : topic.title,
                                          HelpBook::topicUrl(topic.local)}));
            }
            item->setData(TopicsRole, topics);
        }
        addIndexItems(list, entry.children, depth + 1);
    }
}

// Asks which of a keyword's pages to show, as "Rubriques trouvées"; the chosen row, or -1.
int chooseTopic(QWidget* parent, const QStringList& titles) {
    QDialog dialog(parent);
    dialog.setWindowTitle(
        QCoreApplication::translate("htmlhelp::HelpWindow", "Rubriques trouvées"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(QCoreApplication::translate(
        "htmlhelp::HelpWindow", "&Cliquez sur une rubrique, puis sur Afficher\u00A0:"));
    auto* list = new QListWidget;
    list->setAccessibleName(
        QCoreApplication::translate("htmlhelp::HelpWindow", "Rubriques trouvées"));
    list->addItems(titles);
    list->setCurrentRow(0);
    label->setBuddy(list);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QCoreApplication::translate("htmlhelp::HelpWindow", "&Afficher"),
                       QDialogButtonBox::AcceptRole);
    buttons->addButton(QCoreApplication::translate("htmlhelp::HelpWindow", "Annuler"),
                       QDialogButtonBox::RejectRole);
    layout->addWidget(label);
    layout->addWidget(list);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    return dialog.exec() == QDialog::Accepted ? list->currentRow() : -1;
}

QAction* addToolAction(QToolBar* bar, const QString& icon, const QString& text,
                       const QString& toolTip) {
    QAction* action =
        bar->addAction(QIcon(QStringLiteral(":/htmlhelp/icons/%1.svg").arg(icon)), text);
    action->setToolTip(toolTip);
    return action;
}

}  // namespace

HelpWindow::HelpWindow(std::unique_ptr<HelpBook> book)
    : book_(std::move(book)), favourites_(htmlhelp::Favourites::load()) {
    // Help closes with the program; it must not keep the program running on its own.
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(book_->title());

    browser_ = new HelpBrowser(*book_);
    panes_ = new QTabWidget;
    panes_->addTab(createContentsPane(), tr("Sommaire"));
    panes_->addTab(createIndexPane(), tr("Index"));
    searchPane_ = new SearchPane(*book_);
    panes_->addTab(searchPane_, tr("Rechercher"));
    panes_->addTab(createFavouritesPane(), tr("Favoris"));

    splitter_ = new QSplitter;
    splitter_->addWidget(panes_);
    splitter_->addWidget(createPageView());
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({280, 580});
    setCentralWidget(splitter_);
    createToolBar();
    nameForAccessibility();
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::showInContents);

    resize(DefaultSize);
    restoreSettings();
    showHome();
}

HelpWindow::~HelpWindow() {
    // Closed with the program rather than by the player: still shown, and still worth keeping.
    if (isVisible()) {
        saveSettings();
    }
}

void HelpWindow::closeEvent(QCloseEvent* event) {
    saveSettings();
    QMainWindow::closeEvent(event);
}

void HelpWindow::saveSettings() const {
    QSettings settings;
    settings.setValue(FrameKey, frameGeometry());
    settings.setValue(PanesKey, splitter_->saveState());
    settings.setValue(TabKey, panes_->currentIndex());
    settings.setValue(ZoomKey, browser_->zoom());
}

void HelpWindow::restoreSettings() {
    const QSettings settings;
    splitter_->restoreState(settings.value(PanesKey).toByteArray());
    const int tab = settings.value(TabKey, 0).toInt();
    panes_->setCurrentIndex(tab >= 0 && tab < panes_->count() ? tab : 0);
    browser_->setZoom(settings.value(ZoomKey, 0).toInt());
}

void HelpWindow::placeOnScreen() {
    const QWidget* game = htmlhelp::gameWindow();
    const QScreen* screen = game != nullptr ? game->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect available = screen->availableGeometry();
    // The window manager frames this window as it framed the game's: its margins tell the
    // frame's size before this window has one.
    QMargins margins;
    if (game != nullptr) {
        const QRect inner = game->geometry();
        const QRect outer = game->frameGeometry();
        margins = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                           outer.right() - inner.right(), outer.bottom() - inner.bottom());
    }
    const QRect saved = QSettings().value(FrameKey).toRect();
    const QRect frame =
        htmlhelp::fitsOnScreen(saved, available)
            ? saved
            : htmlhelp::placeHelpWindow(available, game ? game->frameGeometry() : QRect(),
                                        DefaultSize.grownBy(margins));
    // A window's position is its frame's; its size is its inside's, the frame's less margins
    // that only the window manager knows for sure: corrected once it has framed the window.
    resize(frame.marginsRemoved(margins).size());
    move(frame.topLeft());
    placedFrame_ = frame;
}

bool HelpWindow::event(QEvent* event) {
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
        placedFrame_.isValid() && windowHandle() != nullptr) {
        const QMargins margins = windowHandle()->frameMargins();
        if (!margins.isNull()) {
            const QRect frame = std::exchange(placedFrame_, QRect());
            if (frameGeometry() != frame) {
                resize(frame.marginsRemoved(margins).size());
                move(frame.topLeft());
            }
        }
    }
    return QMainWindow::event(event);
}

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
    connect(indexEdit_, &QLineEdit::returnPressed, this, &HelpWindow::showIndexEntry);
    connect(show, &QPushButton::clicked, this, &HelpWindow::showIndexEntry);
    connect(index_, &QListWidget::itemActivated, this, &HelpWindow::showIndexEntry);
    connect(index_, &QListWidget::itemClicked, this, &HelpWindow::showIndexEntry);
    return pane;
}

// The page, with the find bar under it (Ctrl+F).
QWidget* HelpWindow::createPageView() {
    findBar_ = new FindBar(browser_);
    auto* view = new QWidget;
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(browser_);
    layout->addWidget(findBar_);
    auto* find = new QAction(tr("Rechercher dans la page"), this);
    find->setShortcut(QKeySequence::Find);
    addAction(find);
    connect(find, &QAction::triggered, findBar_, &FindBar::open);
    // A search result opens on its page with the words found highlighted.
    connect(searchPane_, &SearchPane::topicChosen, this,
            [this](const QUrl& url, const QStringList& terms) {
                browser_->setSource(url);
                findBar_->highlightTerms(terms);
            });
    return view;
}

QWidget* HelpWindow::createFavouritesPane() {
    auto* pane = new QWidget;
    auto* layout = new QVBoxLayout(pane);
    auto* label = new QLabel(tr("&Rubriques favorites :"));
    favouritesList_ = new QListWidget;
    label->setBuddy(favouritesList_);
    auto* add = new QPushButton(tr("A&jouter"));
    add->setToolTip(tr("Ajoute la rubrique affichée aux favoris"));
    auto* show = new QPushButton(tr("A&fficher"));
    auto* remove = new QPushButton(tr("&Supprimer"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addStretch();
    buttons->addWidget(show);
    buttons->addWidget(remove);
    layout->addWidget(label);
    layout->addWidget(favouritesList_);
    layout->addLayout(buttons);
    showFavourites();

    connect(add, &QPushButton::clicked, this, &HelpWindow::addFavourite);
    auto showCurrent = [this] {
        const int row = favouritesList_->currentRow();
        if (row >= 0 && row < favourites_.topics().size()) {
            browser_->setSource(favourites_.topics()[row].url);
        }
    };
    connect(show, &QPushButton::clicked, this, showCurrent);
    connect(favouritesList_, &QListWidget::itemActivated, this, showCurrent);
    connect(remove, &QPushButton::clicked, this, [this] {
        const int row = favouritesList_->currentRow();
        favourites_.remove(row);
        favourites_.save();
        showFavourites();
        favouritesList_->setCurrentRow(std::min(row, favouritesList_->count() - 1));
    });
    return pane;
}

void HelpWindow::showFavourites() {
    favouritesList_->clear();
    for (const htmlhelp::Favourites::Topic& topic : favourites_.topics()) {
        favouritesList_->addItem(topic.title);
    }
}

void HelpWindow::addFavourite() {
    const QUrl url = browser_->source();
    if (url.isEmpty()) {
        return;
    }
    const QString title = browser_->documentTitle().trimmed();
    if (favourites_.add({title.isEmpty() ? url.path() : title, url})) {
        favourites_.save();
        showFavourites();
    }
    favouritesList_->setCurrentRow(int(favourites_.topics().size()) - 1);
}

void HelpWindow::createToolBar() {
    // Its title is also its name for a screen reader.
    QToolBar* bar = addToolBar(tr("Barre d'outils de l'aide"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    QAction* back =
        addToolAction(bar, QStringLiteral("back"), tr("Précédent"), tr("Précédent (Alt+Gauche)"));
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    connect(back, &QAction::triggered, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);

    QAction* forward =
        addToolAction(bar, QStringLiteral("forward"), tr("Suivant"), tr("Suivant (Alt+Droite)"));
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    connect(forward, &QAction::triggered, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    QAction* home =
        addToolAction(bar, QStringLiteral("home"), tr("Accueil"), tr("Accueil (Alt+Origine)"));
    home->setShortcut(Qt::ALT | Qt::Key_Home);
    connect(home, &QAction::triggered, this, &HelpWindow::showHome);

    QAction* print =
        addToolAction(bar, QStringLiteral("print"), tr("Imprimer"), tr("Imprimer (Ctrl+P)"));
    print->setShortcut(QKeySequence::Print);
    connect(print, &QAction::triggered, this, &HelpWindow::printPage);

    QAction* favourite = addToolAction(bar, QStringLiteral("favourite"), tr("Favori"),
                                       tr("Ajouter aux favoris (Ctrl+D)"));
    favourite->setShortcut(Qt::CTRL | Qt::Key_D);
    connect(favourite, &QAction::triggered, this, [this] {
        addFavourite();
        panes_->setCurrentWidget(favouritesList_->parentWidget());
    });

    // Text size, and closing, from the keyboard: actions of the window, not of the tool bar.
    auto* zoomIn = new QAction(tr("Agrandir le texte"), this);
    zoomIn->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    connect(zoomIn, &QAction::triggered, this, [this] { browser_->setZoom(browser_->zoom() + 1); });
    auto* zoomOut = new QAction(tr("Réduire le texte"), this);
    zoomOut->setShortcut(QKeySequence::ZoomOut);
    connect(zoomOut, &QAction::triggered, this,
            [this] { browser_->setZoom(browser_->zoom() - 1); });
    auto* zoomReset = new QAction(tr("Taille normale du texte"), this);
    zoomReset->setShortcut(Qt::CTRL | Qt::Key_0);
    connect(zoomReset, &QAction::triggered, this, [this] { browser_->setZoom(0); });
    auto* close = new QAction(tr("Fermer l'aide"), this);
    close->setShortcut(QKeySequence::Close);
    connect(close, &QAction::triggered, this, &QWidget::close);
    addActions({zoomIn, zoomOut, zoomReset, close});
    // Escape closes the window from the page only: in the fields it clears or cancels.
    auto* escape =
        new QShortcut(QKeySequence(Qt::Key_Escape), browser_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void HelpWindow::nameForAccessibility() {
    panes_->setAccessibleName(tr("Volets de navigation"));
    contents_->setAccessibleName(tr("Sommaire"));
    indexEdit_->setAccessibleName(tr("Mot clé à rechercher"));
    index_->setAccessibleName(tr("Mots clés de l'index"));
    favouritesList_->setAccessibleName(tr("Rubriques favorites"));
    browser_->setAccessibleName(tr("Rubrique affichée"));
    splitter_->setAccessibleName(tr("Séparateur des volets"));
}

void HelpWindow::selectIndexEntry(const QString& typed) {
    // Nothing typed, or no keyword that starts with it: nothing selected, and Enter opens nothing.
    index_->setCurrentItem(nullptr);
    index_->clearSelection();
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

void HelpWindow::showIndexEntry() {
    const QListWidgetItem* item = index_->currentItem();
    if (item == nullptr) {
        return;
    }
    const QVariantList topics = item->data(TopicsRole).toList();
    if (topics.size() < 2) {
        showEntryPage(item->data(UrlRole));
        return;
    }
    QStringList titles;
    for (const QVariant& topic : topics) {
        titles.append(topic.toList().value(0).toString());
    }
    const int chosen = chooseTopic(this, titles);
    if (chosen >= 0) {
        showEntryPage(topics[chosen].toList().value(1));
    }
}

void HelpWindow::showEntryPage(const QVariant& url) {
    if (url.isValid()) {
        browser_->setSource(url.toUrl());
    }
}

void HelpWindow::showInContents(const QUrl& url) {
    const QUrl page = url.adjusted(QUrl::RemoveFragment);
    for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
        if ((*it)->data(0, UrlRole).toUrl().adjusted(QUrl::RemoveFragment) == page) {
            contents_->setCurrentItem(*it);
            return;
        }
    }
    contents_->setCurrentItem(nullptr);
}

void HelpWindow::printPage() {
    // As the classic viewer asks: the topic alone, or the topic and every topic under it.
    QDialog choice(this);
    choice.setWindowTitle(tr("Imprimer des rubriques"));
    auto* layout = new QVBoxLayout(&choice);
    auto* alone = new QRadioButton(tr("Imprimer la &rubrique sélectionnée"));
    auto* all =
        new QRadioButton(tr("Imprimer l'en-tête sélectionné et &toutes ses sous-rubriques"));
    alone->setChecked(true);
    const QTreeWidgetItem* current = contents_->currentItem();
    all->setEnabled(current != nullptr && current->childCount() > 0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(alone);
    layout->addWidget(all);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &choice, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &choice, &QDialog::reject);
    if (choice.exec() == QDialog::Accepted) {
        print(all->isChecked());
    }
}

void HelpWindow::print(bool withSubtopics) {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(withSubtopics ? tr("Imprimer les rubriques")
                                        : tr("Imprimer la rubrique"));
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    if (!withSubtopics) {
        browser_->print(&printer);
        return;
    }
    const std::unique_ptr<QTextDocument> topics = subtopicsDocument();
    topics->print(&printer);
}

std::unique_ptr<QTextDocument> HelpWindow::subtopicsDocument() const {
    // The pages under the chapter shown, each once, in the order of the contents.
    QList<QUrl> pages;
    QSet<QUrl> seen;
    std::vector<const QTreeWidgetItem*> pending;
    if (const QTreeWidgetItem* chapter = contents_->currentItem()) {
        pending.push_back(chapter);
    }
    while (!pending.empty()) {
        const QTreeWidgetItem* item = pending.back();
        pending.pop_back();
        const QUrl page = item->data(0, UrlRole).toUrl().adjusted(QUrl::RemoveFragment);
        if (!page.isEmpty() && !seen.contains(page)) {
            seen.insert(page);
            pages.append(page);
        }
        for (int child = item->childCount() - 1; child >= 0; --child) {
            pending.push_back(item->child(child));
        }
    }

    // Each page is laid out by a page view of its own, which reads its style sheets and images
    // from the help file; its images then go into the joined document under their full address.
    auto joined = std::make_unique<QTextDocument>();
    // Nothing but the images added below: a name no page view read is an empty image, never a
    // file of the machine.
    joined->setResourceProvider([](const QUrl&) { return QVariant(QImage()); });
    QTextCursor end(joined.get());
    for (const QUrl& page : pages) {
        HelpBrowser reader(*book_);
        reader.setSource(page);
        QTextDocument* document = reader.document();
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextImageFormat image = it.fragment().charFormat().toImageFormat();
                if (!image.isValid()) {
                    continue;
                }
                const QUrl address = page.resolved(book_->ownAddress(QUrl(image.name())));
                joined->addResource(
                    QTextDocument::ImageResource, address,
                    document->resource(QTextDocument::ImageResource, QUrl(image.name())));
                QTextCursor cursor(document);
                cursor.setPosition(it.fragment().position());
                cursor.setPosition(it.fragment().position() + it.fragment().length(),
                                   QTextCursor::KeepAnchor);
                QTextImageFormat renamed;
                renamed.setName(address.toString());
                cursor.mergeCharFormat(renamed);
            }
        }
        if (!joined->isEmpty()) {
            QTextBlockFormat newPage;
            newPage.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            end.movePosition(QTextCursor::End);
            end.insertBlock(newPage);
        }
        end.movePosition(QTextCursor::End);
        end.insertFragment(QTextDocumentFragment(document));
    }
    return joined;
}

}  // namespace htmlhelp
