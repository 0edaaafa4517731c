#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QTreeWidget>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "HelpBook.h"
#include "HelpBrowser.h"
#include "HelpWindow.h"
#include "HtmlHelp.h"
#include "SearchPane.h"

namespace htmlhelp {
namespace {

const QByteArray helpFile = QUORBELIX_HELP_FILE;

// Collects the viewer's error messages and link questions instead of showing message boxes,
// and the addresses it would hand to the desktop instead of opening them.
class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The window keeps its settings in the player's configuration: here, in a folder of the
        // test's, empty at the start of each test.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QSettings().clear();
        htmlhelp::setErrorReporter([this](const QString& message) { errors.append(message); });
        htmlhelp::setLinkConfirmer([this](const QString& question) {
            questions.append(question);
            return agree;
        });
        htmlhelp::setUrlOpener([this](const QUrl& url) { opened.append(url); });
    }
    void TearDown() override {
        htmlhelp::run({}, HH_CLOSE_ALL);
        htmlhelp::setErrorReporter({});
        htmlhelp::setLinkConfirmer({});
        htmlhelp::setUrlOpener({});
    }

    QTemporaryDir settingsDir;
    QStringList errors;
    QStringList questions;
    QList<QUrl> opened;
    bool agree = false;
};

QString pageTitle(const HelpWindow& window) {
    return window.browser()->documentTitle();
}

// Clicks the first link to href on the page shown, as the player would.
void clickLink(HelpBrowser& browser, const QString& href) {
    for (QTextBlock block = browser.document()->begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            if (fragment.fragment().charFormat().anchorHref() == href) {
                QTextCursor cursor(browser.document());
                cursor.setPosition(fragment.fragment().position() + 1);
                browser.ensureCursorVisible();
                const QPoint at = browser.cursorRect(cursor).center();
                QTest::mouseClick(browser.viewport(), Qt::LeftButton, {}, at);
                return;
            }
        }
    }
    FAIL() << "no link to " << href.toStdString();
}

QAction* toolBarAction(const HelpWindow& window, const QString& text) {
    for (QAction* action : window.findChildren<QAction*>()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

TEST_F(ViewerTest, OpensTheHelpFileOnItsDefaultTopicWithItsContents) {
    const HelpWindowHandle handle = htmlhelp::run(helpFile, HH_DISPLAY_TOPIC);
    ASSERT_NE(handle, 0u);
    ASSERT_EQ(htmlhelp::windows().size(), 1);
    HelpWindow& window = *htmlhelp::windows().front();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.parentWidget(), nullptr);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Aide de Quorbelix"));
    EXPECT_EQ(window.browser()->source(), QUrl(QStringLiteral("chm:/index.htm")));
    EXPECT_EQ(pageTitle(window), QStringLiteral("Bienvenue dans Quorbelix"));

    const QTreeWidgetItem* home = window.contentsTree()->topLevelItem(0);
    ASSERT_NE(home, nullptr);
    EXPECT_EQ(home->text(0), QStringLiteral("Bienvenue dans Quorbelix"));
    QStringList chapters;
    for (int child = 0; child < home->childCount(); ++child) {
        chapters << home->child(child)->text(0);
    }
    EXPECT_EQ(chapters.size(), 7);
    EXPECT_TRUE(chapters.contains(QStringLiteral("Les règles du jeu")));
    EXPECT_TRUE(chapters.contains(QStringLiteral("Assistance : le rapport de diagnostic")));
    EXPECT_FALSE(window.indexList()
                     ->findItems(QStringLiteral("Pas de Quorbelix possible !"), Qt::MatchExactly)
                     .isEmpty());

    // Choosing a chapter shows it.
    window.contentsTree()->itemClicked(home->child(0), 0);
    EXPECT_EQ(pageTitle(window), QStringLiteral("Les règles du jeu"));
}

TEST_F(ViewerTest, FollowsLinksWithTheirImagesAndGoesBack) {
    htmlhelp::run(helpFile, HH_DISPLAY_TOPIC);
    ASSERT_EQ(htmlhelp::windows().size(), 1);
    HelpWindow& window = *htmlhelp::windows().front();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    clickLink(*window.browser(), QStringLiteral("commandes.htm"));
    EXPECT_EQ(window.browser()->source(), QUrl(QStringLiteral("chm:/commandes.htm")));
    EXPECT_EQ(pageTitle(window), QStringLiteral("Les commandes"));
    const QImage glyph =
        window.browser()
            ->document()
            ->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("images/6-help.svg")))
            .value<QImage>();
    EXPECT_FALSE(glyph.isNull());
    EXPECT_EQ(window.browser()->document()->resource(QTextDocument::StyleSheetResource,
                                                     QUrl(QStringLiteral("missing.css"))),
              QVariant(QString()));

    QAction* back = toolBarAction(window, QStringLiteral("Précédent"));
    ASSERT_NE(back, nullptr);
    ASSERT_TRUE(back->isEnabled());
    back->trigger();
    EXPECT_EQ(pageTitle(window), QStringLiteral("Bienvenue dans Quorbelix"));

    window.browser()->setSource(QUrl(QStringLiteral("chm:/absente.htm")));
    EXPECT_EQ(pageTitle(window), QStringLiteral("Rubrique introuvable"));
}

TEST_F(ViewerTest, OnlyWebAndMailLinksLeaveTheHelpAndOnlyOnceConfirmed) {
    htmlhelp::run(helpFile, HH_DISPLAY_TOPIC);
    ASSERT_EQ(htmlhelp::windows().size(), 1);
    HelpWindow& window = *htmlhelp::windows().front();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    HelpBrowser& browser = *window.browser();

    const QStringList refused{QStringLiteral("file:///etc/passwd"),
                              QStringLiteral("smb://serveur/partage"),
                              QStringLiteral("ssh://serveur"),
                              QStringLiteral("apt:sl"),
                              QStringLiteral("javascript:alert(1)"),
                              QStringLiteral("VBScript:MsgBox(1)"),
                              QStringLiteral("data:text/html,<b>x</b>"),
                              QStringLiteral("ms-its:autre.chm::/page.htm"),
                              QStringLiteral("mk:@MSITStore:autre.chm::/page.htm"),
                              QStringLiteral("ftp://serveur/fichier"),
                              QStringLiteral("inconnu:x")};
    const QStringList outside{QStringLiteral("https://exemple.fr/page?a=1"),
                              QStringLiteral("http://exemple.fr/"),
                              QStringLiteral("mailto:aide@exemple.fr")};
    QString page;
    for (const QString& href : refused + outside + QStringList{QStringLiteral("regles.htm")}) {
        page += QStringLiteral("<p><a href=\"%1\">lien</a></p>").arg(href.toHtmlEscaped());
    }
    browser.setHtml(page);

    int refusals = 0;
    for (const QString& href : refused) {
        clickLink(browser, href);
        EXPECT_EQ(errors.size(), ++refusals) << href.toStdString();
    }
    EXPECT_TRUE(questions.isEmpty());
    EXPECT_TRUE(errors.last().startsWith(QStringLiteral("Ce lien ne peut pas être ouvert")));

    // Declined, nothing opens; agreed, the address goes to the desktop as written.
    for (const QString& href : outside) {
        clickLink(browser, href);
    }
    ASSERT_EQ(questions.size(), outside.size());
    EXPECT_EQ(questions.first(),
              QStringLiteral(
                  "Ouvrir «\u00A0https://exemple.fr/page?a=1\u00A0» dans le navigateur\u00A0?"));
    EXPECT_EQ(
        questions.last(),
        QStringLiteral("Écrire à «\u00A0mailto:aide@exemple.fr\u00A0» avec la messagerie\u00A0?"));
    agree = true;
    for (const QString& href : outside) {
        clickLink(browser, href);
    }
    QList<QUrl> expected;
    for (const QString& href : outside) {
        expected.append(QUrl(href));
    }
    EXPECT_EQ(opened, expected);
    EXPECT_EQ(errors.size(), refused.size());

    // A link inside the help file asks nothing, even written for another viewer.
    clickLink(browser, QStringLiteral("regles.htm"));
    EXPECT_EQ(browser.source(), QUrl(QStringLiteral("chm:/regles.htm")));
    browser.setHtml(
        QStringLiteral("<a href=\"mk:@MSITStore:C:\\Jeu\\QUORBELIX.CHM::/partie.htm\">"
                       "lien</a>"));
    clickLink(browser, QStringLiteral("mk:@MSITStore:C:\\Jeu\\QUORBELIX.CHM::/partie.htm"));
    EXPECT_EQ(browser.source(), QUrl(QStringLiteral("chm:/partie.htm")));
    EXPECT_EQ(questions.size(), 2 * outside.size());
    EXPECT_EQ(errors.size(), refused.size());
}

// Resources named by a page come from the help file or nowhere: a real image on disk is not
// read, and a FIFO is not opened (a reader would block for ever; the writer side below would
// then unblock it and tell).
TEST_F(ViewerTest, PagesReadNothingOutsideTheHelpFile) {
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("image.png"));
    QImage pixels(4, 4, QImage::Format_RGB32);
    pixels.fill(Qt::red);
    ASSERT_TRUE(pixels.save(image));
    const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("fifo.png")));
    ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);

    std::atomic<bool> done = false;
    std::atomic<bool> fifoOpened = false;
    std::thread writer([&] {
        while (!done) {
            const int fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {  // only possible while someone has it open for reading
                fifoOpened = true;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });

    const std::unique_ptr<HelpBook> book = HelpBook::open(helpFile);
    ASSERT_TRUE(book);
    HelpBrowser browser(*book);
    const QString fifoName = QFile::decodeName(fifo);
    const QStringList outside{image, QUrl::fromLocalFile(image).toString(), fifoName,
                              QUrl::fromLocalFile(fifoName).toString()};
    QString page = QStringLiteral("<link rel=\"stylesheet\" href=\"%1\">").arg(fifoName);
    for (const QString& name : outside) {
        page += QStringLiteral("<img src=\"%1\">").arg(name);
    }
    page += QStringLiteral("<img src=\"/images/6-help.svg\">");
    browser.setHtml(page);
    browser.document()->documentLayout()->documentSize();  // lays the page out
    for (const QString& name : outside) {
        EXPECT_TRUE(browser.document()
                        ->resource(QTextDocument::ImageResource, QUrl(name))
                        .value<QImage>()
                        .isNull())
            << name.toStdString();
    }
    done = true;
    writer.join();
    EXPECT_FALSE(fifoOpened);

    // "/x" is the help file's own /x.
    EXPECT_FALSE(
        browser.document()
            ->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("/images/6-help.svg")))
            .value<QImage>()
            .isNull());
}

// Pages that would keep the game busy for many seconds (tables nested 20 deep, 20 000 nested
// lists, huge images) are refused before Qt lays them out, and search reads them without laying
// them out.
TEST_F(ViewerTest, PagesTooComplexToShowAreRefusedButStillSearched) {
    const std::unique_ptr<HelpBook> book = HelpBook::open(QUORBELIX_CRAFTED_HELP_FILE);
    ASSERT_TRUE(book);
    HelpBrowser browser(*book);
    browser.setSource(book->home());
    EXPECT_EQ(browser.documentTitle(), QStringLiteral("Accueil de l'essai"));
    for (const char* page : {"chm:/tables.htm", "chm:/listes.htm"}) {
        browser.setSource(QUrl(QString::fromLatin1(page)));
        EXPECT_EQ(browser.documentTitle(), QStringLiteral("Rubrique trop complexe")) << page;
    }

    const std::vector<HelpBook::Match> matches = book->search(QStringLiteral("profond"));
    ASSERT_EQ(matches.size(), 1u);
    EXPECT_EQ(matches.front().title, QStringLiteral("Listes"));

    // An image larger than a page may show is not decoded; the page is.
    browser.setSource(QUrl(QStringLiteral("chm:/grand.htm")));
    EXPECT_EQ(browser.documentTitle(), QStringLiteral("Grande image"));
    EXPECT_TRUE(browser.document()
                    ->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("grand.png")))
                    .value<QImage>()
                    .isNull());
}

TEST_F(ViewerTest, ASecondCallRaisesTheSameWindowOnTheDefaultTopic) {
    const HelpWindowHandle first = htmlhelp::run(helpFile, HH_DISPLAY_TOPIC);
    HelpWindow& window = *htmlhelp::windows().front();
    window.browser()->setSource(QUrl(QStringLiteral("chm:/regles.htm")));

    EXPECT_EQ(htmlhelp::run(helpFile, HH_DISPLAY_TOPIC), first);
    EXPECT_EQ(htmlhelp::windows().size(), 1);
    EXPECT_EQ(pageTitle(window), QStringLiteral("Bienvenue dans Quorbelix"));

    // Closed by the player, it opens again at the next call.
    window.close();
    EXPECT_NE(htmlhelp::run(helpFile, HH_DISPLAY_TOPIC), 0u);
    ASSERT_EQ(htmlhelp::windows().size(), 1);
    EXPECT_TRUE(htmlhelp::windows().front()->isVisible());

    EXPECT_EQ(htmlhelp::run(helpFile, 1), 0u);  // other commands do nothing
    htmlhelp::run({}, HH_CLOSE_ALL);
    EXPECT_TRUE(htmlhelp::windows().isEmpty());
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

TEST_F(ViewerTest, SearchFindsWordsWhateverTheirCaseAndAccents) {
    htmlhelp::run(helpFile, HH_DISPLAY_TOPIC);
    HelpWindow& window = *htmlhelp::windows().front();
    SearchPane& search = *window.searchPane();
    search.queryEdit()->setText(QStringLiteral("HHDEBUG"));
    search.runSearch();
    ASSERT_EQ(search.results()->count(), 1);
    EXPECT_TRUE(search.results()->item(0)->text().startsWith(
        QStringLiteral("Assistance : le rapport de diagnostic")));

    search.queryEdit()->setText(QStringLiteral("reflexion compte"));
    search.runSearch();
    EXPECT_GE(search.results()->count(), 1);
    search.queryEdit()->setText(QStringLiteral("xylophone"));
    search.runSearch();
    EXPECT_EQ(search.results()->count(), 0);
}

TEST_F(ViewerTest, AFileThatCannotBeOpenedIsReportedByNameUnderTheGamesCaption) {
    const QByteArray missing = "/nonexistent/Quorbelix.chm";
    EXPECT_EQ(htmlhelp::run(missing, HH_DISPLAY_TOPIC), 0u);
    // Non-breaking spaces inside the guillemets.
    EXPECT_EQ(errors, QStringList{QStringLiteral("Impossible d'ouvrir le fichier d'aide "
                                                 "«\u00A0/nonexistent/Quorbelix.chm\u00A0».")});

    // The message box shows the game window's caption, as the game's own messages do.
    {
        QMainWindow game;
        game.setWindowTitle(QStringLiteral("Quorbelix 1.0"));
        game.show();
        htmlhelp::setErrorReporter({});
        QString caption;
        QTimer::singleShot(0, [&caption] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                caption = box->windowTitle();
                box->accept();
            }
        });
        htmlhelp::run(missing, HH_DISPLAY_TOPIC);
        EXPECT_EQ(caption, QStringLiteral("Quorbelix 1.0"));
        htmlhelp::setErrorReporter([this](const QString& message) { errors.append(message); });
    }

    QTemporaryDir dir;
    EXPECT_EQ(htmlhelp::run(QFile::encodeName(dir.path()), HH_DISPLAY_TOPIC), 0u);  // a folder
    EXPECT_EQ(errors.size(), 2);
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

// The laid-out height of the page shown, at a fixed width.
qreal pageHeight(HelpBrowser& browser) {
    browser.document()->setTextWidth(500);
    return browser.document()->size().height();
}

TEST_F(ViewerTest, TheKeyboardZoomsAllTheTextAndTheSizeIsRemembered) {
    htmlhelp::run(helpFile, HH_DISPLAY_TOPIC);
    HelpWindow* window = htmlhelp::windows().front();
    window->browser()->setSource(QUrl(QStringLiteral("chm:/regles.htm")));
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    const qreal normal = pageHeight(*window->browser());

    QTest::keyClick(window, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_Plus, Qt::ControlModifier);
    // Body text is sized in points by the style sheet: it must grow, not only the headings.
    EXPECT_GT(pageHeight(*window->browser()), normal * 1.1);
    // Another page is shown at the same size.
    window->contentsTree()->itemClicked(window->contentsTree()->topLevelItem(0), 0);
    window->browser()->setSource(QUrl(QStringLiteral("chm:/regles.htm")));
    EXPECT_GT(pageHeight(*window->browser()), normal * 1.1);
    QTest::keyClick(window, Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(window, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(pageHeight(*window->browser()), normal);

    QTest::keyClick(window, Qt::Key_Plus, Qt::ControlModifier);
    htmlhelp::run({}, HH_CLOSE_ALL);
    htmlhelp::run(helpFile, HH_DISPLAY_TOPIC);
    EXPECT_EQ(htmlhelp::windows().front()->browser()->zoom(), 1);
}

TEST_F(ViewerTest, RemembersItsTabPanesAndFavouritesBetweenRuns) {
    htmlhelp::run(helpFile, HH_DISPLAY_TOPIC);
    HelpWindow* window = htmlhelp::windows().front();
    window->browser()->setSource(QUrl(QStringLiteral("chm:/regles.htm")));
    window->addFavourite();
    window->addFavourite();  // once only
    window->browser()->setSource(QUrl(QStringLiteral("chm:/partie.htm")));
    window->addFavourite();
    window->panes()->setCurrentIndex(3);
    auto* splitter = window->findChild<QSplitter*>();
    splitter->setSizes({350, 510});
    const QList<int> sizes = splitter->sizes();
    window->close();

    htmlhelp::run(helpFile, HH_DISPLAY_TOPIC);
    window = htmlhelp::windows().front();
    EXPECT_EQ(window->panes()->currentIndex(), 3);
    EXPECT_EQ(window->findChild<QSplitter*>()->sizes(), sizes);
    QListWidget* favourites = window->favouritesList();
    ASSERT_EQ(favourites->count(), 2);
    EXPECT_EQ(favourites->item(0)->text(), QStringLiteral("Les règles du jeu"));

    // Opened by double-click, removed by the button.
    favourites->setCurrentRow(0);
    emit favourites->itemActivated(favourites->item(0));
    EXPECT_EQ(pageTitle(*window), QStringLiteral("Les règles du jeu"));
    for (QPushButton* button : favourites->parentWidget()->findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("&Supprimer")) {
            button->click();
        }
    }
    htmlhelp::run({}, HH_CLOSE_ALL);
    htmlhelp::run(helpFile, HH_DISPLAY_TOPIC);
    ASSERT_EQ(htmlhelp::windows().front()->favouritesList()->count(), 1);
    EXPECT_NE(htmlhelp::windows().front()->favouritesList()->item(0)->text(),
              QStringLiteral("Les règles du jeu"));
}

TEST_F(ViewerTest, TheIndexSelectsOnlyAKeywordThatStartsWithTheTextAndOffersSeveralTopics) {
    htmlhelp::run(QUORBELIX_CRAFTED_HELP_FILE, HH_DISPLAY_TOPIC);
    HelpWindow* window = htmlhelp::windows().front();
    QTest::keyClicks(window->indexEdit(), QStringLiteral("TAB"));
    ASSERT_NE(window->indexList()->currentItem(), nullptr);
    EXPECT_EQ(window->indexList()->currentItem()->text(), QStringLiteral("Tables"));

    // No keyword starts with it: nothing selected, and Enter opens nothing.
    window->browser()->setSource(QUrl(QStringLiteral("chm:/grand.htm")));
    window->indexEdit()->clear();
    QTest::keyClicks(window->indexEdit(), QStringLiteral("tabx"));
    EXPECT_EQ(window->indexList()->currentItem(), nullptr);
    EXPECT_TRUE(window->indexList()->selectedItems().isEmpty());
    QTest::keyClick(window->indexEdit(), Qt::Key_Return);
    EXPECT_EQ(window->browser()->source(), QUrl(QStringLiteral("chm:/grand.htm")));

    // "Essai" leads to two pages: the player chooses the second.
    QStringList offered;
    QTimer::singleShot(0, [&offered] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        offered << dialog->windowTitle();
        auto* list = dialog->findChild<QListWidget*>();
        for (int row = 0; row < list->count(); ++row) {
            offered << list->item(row)->text();
        }
        list->setCurrentRow(1);
        emit list->itemActivated(list->item(1));
    });
    window->indexEdit()->clear();
    QTest::keyClicks(window->indexEdit(), QStringLiteral("essai"));
    QTest::keyClick(window->indexEdit(), Qt::Key_Return);
    EXPECT_EQ(offered,
              (QStringList{QStringLiteral("Rubriques trouvées"),
                           QStringLiteral("Accueil de l'essai"), QStringLiteral("Grande image")}));
    EXPECT_EQ(window->browser()->source(), QUrl(QStringLiteral("chm:/grand.htm")));
}

TEST_F(ViewerTest, PrintsAChapterWithEveryTopicUnderItAsOneDocument) {
    htmlhelp::run(helpFile, HH_DISPLAY_TOPIC);
    HelpWindow* window = htmlhelp::windows().front();
    QTreeWidgetItem* home = window->contentsTree()->topLevelItem(0);
    window->contentsTree()->setCurrentItem(home);
    const std::unique_ptr<QTextDocument> printed = window->subtopicsDocument();
    const QString text = printed->toPlainText();
    int previous = int(text.indexOf(QStringLiteral("Bienvenue dans Quorbelix")));
    EXPECT_GE(previous, 0) << text.left(200).toStdString();
    for (int child = 0; child < home->childCount(); ++child) {
        // Each chapter's page, in the order of the contents.
        const QString title = home->child(child)->text(0);
        const int at = int(text.indexOf(title, previous));
        EXPECT_GT(at, previous) << title.toStdString();
        previous = std::max(previous, at);
    }
    // Its images come from the help file.
    bool image = false;
    for (QTextBlock block = printed->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextImageFormat format = it.fragment().charFormat().toImageFormat();
            if (format.isValid()) {
                image = true;
                EXPECT_FALSE(printed->resource(QTextDocument::ImageResource, QUrl(format.name()))
                                 .value<QImage>()
                                 .isNull())
                    << format.name().toStdString();
            }
        }
    }
    EXPECT_TRUE(image);
}

// Damaged copies of the help file: opening them, showing every chapter and searching every
// page must either work or report the file, never crash (run under the sanitizers too).
TEST_F(ViewerTest, DamagedFilesNeverCrashTheViewer) {
    QFile file(QFile::decodeName(helpFile));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();
    QTemporaryDir dir;
    const QString damagedPath = dir.filePath(QStringLiteral("damaged.chm"));

    std::vector<QByteArray> damaged;
    for (const qsizetype length : {qsizetype(0), qsizetype(3), qsizetype(90), qsizetype(512),
                                   original.size() / 2, original.size() - 1}) {
        damaged.push_back(original.left(length));
    }
    QRandomGenerator random(20261208);
    for (int copy = 0; copy < 150; ++copy) {
        QByteArray flipped = original;
        // Early copies hit the headers and directory, later ones anywhere.
        const qsizetype span =
            copy < 75 ? std::min<qsizetype>(original.size(), 4096) : original.size();
        for (int flip = 0; flip < 1 + copy % 4; ++flip) {
            flipped[random.bounded(span)] ^= char(1 << random.bounded(8));
        }
        damaged.push_back(flipped);
    }

    const auto write = [&damagedPath](const QByteArray& bytes) {
        QFile out(damagedPath);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
    };

    // A compression header that chmlib accepts but then decompresses with a null state.
    QByteArray badCompression = original;
    const qsizetype compressionHeader = original.indexOf("LZXC");
    ASSERT_GE(compressionHeader, 0);
    badCompression[compressionHeader + 7] ^= 0x08;
    write(badCompression);
    EXPECT_EQ(htmlhelp::run(QFile::encodeName(damagedPath), HH_DISPLAY_TOPIC), 0u);
    EXPECT_EQ(errors.size(), 1);

    int opened = 0;
    for (const QByteArray& bytes : damaged) {
        write(bytes);
        errors.clear();
        if (htmlhelp::run(QFile::encodeName(damagedPath), HH_DISPLAY_TOPIC) != 0) {
            ++opened;
            HelpWindow& window = *htmlhelp::windows().front();
            for (int row = 0; row < window.indexList()->count(); ++row) {
                window.indexList()->itemClicked(window.indexList()->item(row));
            }
            window.searchPane()->queryEdit()->setText(QStringLiteral("plaque"));
            window.searchPane()->runSearch();
        } else {
            EXPECT_EQ(errors.size(), 1);
        }
        htmlhelp::run({}, HH_CLOSE_ALL);
    }
    EXPECT_GT(opened, 0);  // damage to page data alone still shows the rest
}

// The library as the program uses it: loaded at run time, the path given in either encoding,
// the error shown in a real message box, and unloaded once its windows are closed.
TEST(ViewerLibrary, WorksLoadedAtRunTime) {
    const QTemporaryDir settingsDir;  // never the player's settings
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    void* library = dlopen(QUORBELIX_HTMLHELP_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    const auto htmlHelpA = reinterpret_cast<HtmlHelpAFunction>(dlsym(library, "HtmlHelpA"));
    const auto htmlHelpW = reinterpret_cast<HtmlHelpWFunction>(dlsym(library, "HtmlHelpW"));
    ASSERT_NE(htmlHelpA, nullptr);
    ASSERT_NE(htmlHelpW, nullptr);
    EXPECT_EQ(dlsym(library, "_ZN8htmlhelp3runERK10QByteArrayj"), nullptr);  // nothing else shown

    QString message;
    QTimer::singleShot(0, [&message] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            message = box->text();
            box->close();
        }
    });
    EXPECT_EQ(htmlHelpW(0, u"/nonexistent/Aide.chm", HH_DISPLAY_TOPIC, 0), 0u);
    EXPECT_EQ(message, QStringLiteral("Impossible d'ouvrir le fichier d'aide "
                                      "«\u00A0/nonexistent/Aide.chm\u00A0»."));

    const HelpWindowHandle handle = htmlHelpA(0, helpFile.constData(), HH_DISPLAY_TOPIC, 0);
    EXPECT_NE(handle, 0u);
    const QWidgetList windows = QApplication::topLevelWidgets();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_EQ(windows.front()->windowTitle(), QStringLiteral("Aide de Quorbelix"));
    const QString widePath = QFile::decodeName(helpFile);
    EXPECT_EQ(
        htmlHelpW(0, reinterpret_cast<const char16_t*>(widePath.utf16()), HH_DISPLAY_TOPIC, 0),
        handle);

    // A path is bytes: a folder whose name is not UTF-8 holds a help file like any other.
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + "/\xff\xfe";
    ASSERT_EQ(mkdir(folder.constData(), 0700), 0);
    QFile original(widePath);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray contents = original.readAll();
    const QByteArray copy = folder + "/Aide.chm";
    const int fd = ::open(copy.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, contents.constData(), size_t(contents.size())), contents.size());
    ::close(fd);
    const HelpWindowHandle copyHandle = htmlHelpA(0, copy.constData(), HH_DISPLAY_TOPIC, 0);
    EXPECT_NE(copyHandle, 0u);
    EXPECT_NE(copyHandle, handle);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), 2);

    htmlHelpA(0, nullptr, HH_CLOSE_ALL, 0);
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    EXPECT_EQ(dlclose(library), 0);
    QApplication::processEvents();  // nothing left behind that runs unloaded code
}

}  // namespace
}  // namespace htmlhelp
