#include <gtest/gtest.h>

#include "HelpBook.h"

namespace {

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

}  // namespace
