#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

#include "FindBar.h"
#include "HelpBook.h"
#include "SearchPane.h"

namespace htmlhelp {
namespace {

using htmlhelp::FindBar;
using htmlhelp::SearchPane;

std::unique_ptr<HelpBook> openSearchBook() {
    return HelpBook::open(QUORBELIX_SEARCH_HELP_FILE);
}

QStringList titles(const std::vector<HelpBook::Match>& matches) {
    QStringList found;
    for (const HelpBook::Match& match : matches) {
        found.append(match.title);
    }
    return found;
}

TEST(Search, RanksTitlesThenWholeWordsThenWordStartsThenCounts) {
    const std::unique_ptr<HelpBook> book = openSearchBook();
    ASSERT_TRUE(book);
    const QStringList reflexion{QStringLiteral("La minute de réflexion"),
                                QStringLiteral("Le chronomètre"), QStringLiteral("Accueil")};
    EXPECT_EQ(titles(book->search(QStringLiteral("réflexion"))), reflexion);
    EXPECT_EQ(titles(book->search(QStringLiteral("REFLEXION"))), reflexion);
    // One whole word ranks above many word starts; a word start inside a word is no match.
    const QStringList plaque{QStringLiteral("Le tirage"), QStringLiteral("Le calcul"),
                             QStringLiteral("Accueil")};
    EXPECT_EQ(titles(book->search(QStringLiteral("plaque"))), plaque);
    EXPECT_EQ(titles(book->search(QStringLiteral("plaq*"))).size(), 3);
    EXPECT_TRUE(book->search(QStringLiteral("laq*")).empty());
}

TEST(Search, FindsPhrasesApostrophesAndLigatures) {
    const std::unique_ptr<HelpBook> book = openSearchBook();
    ASSERT_TRUE(book);
    EXPECT_EQ(titles(book->search(QStringLiteral("\"Pas de Quorbelix\""))),
              QStringList{QStringLiteral("Le tirage")});
    EXPECT_EQ(titles(book->search(QStringLiteral("pas de Quorbelix"))).size(), 2);
    const QStringList addition{QStringLiteral("Le calcul"), QStringLiteral("Le tirage")};
    EXPECT_EQ(titles(book->search(QStringLiteral("l\u2019addition"))), addition);
    EXPECT_EQ(titles(book->search(QStringLiteral("L'ADDITION"))), addition);
    EXPECT_EQ(titles(book->search(QStringLiteral("coeur"))),
              QStringList{QStringLiteral("Le tirage")});
    EXPECT_EQ(titles(book->search(QStringLiteral("\u0152UVRE"))),
              QStringList{QStringLiteral("Le calcul")});
}

TEST(Search, GivesAnExtractCutAtWordsAndTheTermsToHighlight) {
    const std::unique_ptr<HelpBook> book = openSearchBook();
    ASSERT_TRUE(book);
    const std::vector<HelpBook::Match> matches = book->search(QStringLiteral("enfin"));
    ASSERT_EQ(matches.size(), 1u);
    const QString extract = matches[0].extract;
    EXPECT_TRUE(extract.startsWith(u'\u2026') && extract.endsWith(u'\u2026'))
        << qPrintable(extract);
    EXPECT_LE(extract.size(), 122);
    EXPECT_TRUE(extract.contains(QStringLiteral("enfin")));
    const QString text = QStringLiteral(
        " Le chronomètre RÉFLEXION, Réflexion et reflexion : trois fois le même mot, ce qui fait "
        "beaucoup de réflexions à lire avant de trouver enfin la suite du texte que l'on cherche "
        "ici pour voir comment l'extrait se coupe entre deux mots sans en couper aucun. ");
    EXPECT_TRUE(text.contains(u' ' + extract.sliced(1).chopped(1) + u' ')) << qPrintable(extract);

    const std::vector<HelpBook::Match> both =
        book->search(QStringLiteral("plaq* \u201CPas de Quorbelix\u201D"));
    ASSERT_EQ(both.size(), 1u);
    EXPECT_EQ(both[0].terms,
              (QStringList{QStringLiteral("plaq"), QStringLiteral("pas de quorbelix")}));
    EXPECT_EQ(both[0].url, HelpBook::topicUrl(QStringLiteral("plaques.htm")));
}

TEST(Search, RealHelpFileListsTheReflectionMinuteFirst) {
    const std::unique_ptr<HelpBook> book = HelpBook::open(QUORBELIX_HELP_FILE);
    ASSERT_TRUE(book);
    const std::vector<HelpBook::Match> matches = book->search(QStringLiteral("réflexion"));
    ASSERT_FALSE(matches.empty());
    EXPECT_EQ(matches[0].title, QStringLiteral("La minute de réflexion"));
}

bool waitFor(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, 5000);
}

TEST(SearchPane, ShowsTheResultsOfTheLatestWordsAndOpensThem) {
    const std::unique_ptr<HelpBook> book = openSearchBook();
    ASSERT_TRUE(book);
    SearchPane pane(*book);
    pane.queryEdit()->setText(QStringLiteral("réflexion"));
    ASSERT_TRUE(waitFor([&] { return pane.results()->count() == 3; }));
    EXPECT_EQ(pane.status()->text(), QStringLiteral("3 rubriques trouvées."));
    EXPECT_TRUE(pane.results()->item(0)->text().startsWith(QStringLiteral("La minute de")));

    // Words typed before the results came are never what the list shows.
    pane.queryEdit()->setText(QStringLiteral("plaque"));
    pane.queryEdit()->setText(QStringLiteral("coeur"));
    ASSERT_TRUE(waitFor([&] { return pane.results()->count() == 1; }));
    QTest::qWait(600);
    ASSERT_EQ(pane.results()->count(), 1);
    EXPECT_EQ(pane.status()->text(), QStringLiteral("1 rubrique trouvée."));

    QSignalSpy chosen(&pane, &SearchPane::topicChosen);
    QTest::keyClick(pane.queryEdit(), Qt::Key_Return);
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen[0][0].toUrl(), HelpBook::topicUrl(QStringLiteral("plaques.htm")));
    EXPECT_EQ(chosen[0][1].toStringList(), QStringList{QStringLiteral("coeur")});

    pane.queryEdit()->setText(QStringLiteral("xylophone"));
    ASSERT_TRUE(waitFor([&] { return pane.results()->count() == 0; }));
    EXPECT_EQ(pane.status()->text(), QStringLiteral("Aucune rubrique trouvée."));
}

QStringList highlighted(const QTextBrowser& browser) {
    QStringList texts;
    for (const QTextEdit::ExtraSelection& selection : browser.extraSelections()) {
        texts.append(selection.cursor.selectedText());
    }
    return texts;
}

TEST(FindBar, CountsStepsAroundAndClosesMatchesIgnoringCaseAndAccents) {
    QWidget window;
    auto* browser = new QTextBrowser(&window);
    auto* bar = new FindBar(browser, &window);
    browser->setHtml(
        QStringLiteral("<p>Une Plaque, une plaque\u0301 <b>PLAQUÉE</b>.</p>"
                       "<p>Le c\u0153ur d\u2019une plaque.</p>"));
    window.show();
    bar->open();
    bar->field()->setText(QStringLiteral("plaqu\u00e9"));
    EXPECT_EQ(bar->count()->text(), QStringLiteral("1 sur 4"));
    EXPECT_EQ(highlighted(*browser),
              (QStringList{QStringLiteral("Plaque"), QStringLiteral("plaque\u0301"),
                           QStringLiteral("PLAQU\u00c9"), QStringLiteral("plaque")}));
    const auto current = [&] {
        const QList<QTextEdit::ExtraSelection> selections = browser->extraSelections();
        qsizetype distinct = -1;
        for (qsizetype i = 0; i < selections.size(); ++i) {
            if (selections[i].format != selections[(i + 1) % selections.size()].format &&
                selections[i].format != selections[(i + 2) % selections.size()].format) {
                distinct = i;
            }
        }
        return distinct;
    };
    EXPECT_EQ(current(), 0);
    QTest::keyClick(bar->field(), Qt::Key_Return);
    EXPECT_EQ(bar->count()->text(), QStringLiteral("2 sur 4"));
    EXPECT_EQ(current(), 1);
    bar->findNext();
    bar->findNext();
    EXPECT_EQ(bar->count()->text(), QStringLiteral("4 sur 4"));
    QTest::keyClick(bar->field(), Qt::Key_Return);
    EXPECT_EQ(bar->count()->text(), QStringLiteral("1 sur 4"));
    QTest::keyClick(bar->field(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(bar->count()->text(), QStringLiteral("4 sur 4"));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(browser, Qt::Key_F3);
    EXPECT_EQ(bar->count()->text(), QStringLiteral("1 sur 4"));
    QTest::keyClick(browser, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(bar->count()->text(), QStringLiteral("4 sur 4"));

    bar->field()->setText(QStringLiteral("COEUR D'UNE"));
    EXPECT_EQ(highlighted(*browser), QStringList{QStringLiteral("c\u0153ur d\u2019une")});

    QTest::keyClick(bar->field(), Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(browser->extraSelections().isEmpty());
}

TEST(FindBar, HighlightsTheWordsOfASearchAndScrollsToTheFirst) {
    QWidget window;
    window.resize(300, 200);
    auto* browser = new QTextBrowser(&window);
    browser->resize(300, 200);
    FindBar bar(browser);
    QString page;
    for (int i = 0; i < 100; ++i) {
        page += QStringLiteral("<p>Une ligne sans rien.</p>");
    }
    browser->setHtml(page + QStringLiteral("<p>Ici, Pas de Quorbelix et des plaquettes.</p>"));
    window.show();
    bar.highlightTerms({QStringLiteral("pas de quorbelix"), QStringLiteral("plaq")});
    EXPECT_EQ(highlighted(*browser),
              (QStringList{QStringLiteral("Pas de Quorbelix"), QStringLiteral("plaquettes")}));
    EXPECT_GT(browser->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(browser->viewport()->rect().contains(browser->cursorRect().center()));
}

}  // namespace
}  // namespace htmlhelp
