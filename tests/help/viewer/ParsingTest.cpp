#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include "ChmSystem.h"
#include "HelpBook.h"
#include "PageScan.h"
#include "Sitemap.h"

namespace htmlhelp {
namespace {

int depthOf(const std::vector<SitemapEntry>& entries) {
    int deepest = 0;
    for (const SitemapEntry& entry : entries) {
        deepest = std::max(deepest, depthOf(entry.children));
    }
    return entries.empty() ? 0 : deepest + 1;
}

TEST(Sitemap, ReadsNestedEntriesAsHelpAuthorsWriteThem) {
    const QString html = QStringLiteral(R"(
        <!-- <object type="text/sitemap"><param name="Name" value="commented out"></object> -->
        <OBJECT type="text/site properties"><param name="ImageType" value="Folder"></OBJECT>
        <UL>
          <LI><OBJECT type="text/sitemap"><PARAM name="Name" value="Règles &amp; jeu">
              <PARAM name="Local" value="regles.htm"></OBJECT>
          <UL>
            <li><object type='text/sitemap'><param name=Name value=Plaques>
                <param name="Local" value="plaques.htm#haut"></object>
            <ul><li><object type="text/sitemap"><param name="Name" value="&#233;t&#xE9;"></object></ul>
            <li><object type="text/sitemap"><param name="Local" value="sans-nom.htm"></object>
          </UL>
          <LI><OBJECT type="text/sitemap"><param name="Name" value="Fin">
              <param name="Local" value="fin.htm"><param name="Local" value="autre.htm"></OBJECT>
        </UL>)");
    const std::vector<SitemapEntry> entries = parseSitemap(html);

    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, QStringLiteral("Règles & jeu"));
    EXPECT_EQ(entries[0].local, QStringLiteral("regles.htm"));
    ASSERT_EQ(entries[0].children.size(), 1u);  // the entry without a name is dropped
    EXPECT_EQ(entries[0].children[0].name, QStringLiteral("Plaques"));
    EXPECT_EQ(entries[0].children[0].local, QStringLiteral("plaques.htm#haut"));
    ASSERT_EQ(entries[0].children[0].children.size(), 1u);
    EXPECT_EQ(entries[0].children[0].children[0].name, QStringLiteral("été"));
    EXPECT_TRUE(entries[0].children[0].children[0].local.isEmpty());
    EXPECT_EQ(entries[1].name, QStringLiteral("Fin"));
    EXPECT_EQ(entries[1].local, QStringLiteral("fin.htm"));

    // An index keyword that leads to two topics keeps the keyword, not a topic, as its name.
    const std::vector<SitemapEntry> keyword = parseSitemap(QStringLiteral(R"(
        <ul><li><object type="text/sitemap"><param name="Name" value="Plaque">
          <param name="Name" value="Les règles"><param name="Local" value="regles.htm">
          <param name="Name" value="La partie"><param name="Local" value="partie.htm">
        </object></ul>)"));
    ASSERT_EQ(keyword.size(), 1u);
    EXPECT_EQ(keyword[0].name, QStringLiteral("Plaque"));
    EXPECT_EQ(keyword[0].local, QStringLiteral("regles.htm"));
}

TEST(Sitemap, SurvivesBrokenMarkup) {
    const auto entry = [](const char* name) {
        return QStringLiteral(
                   R"(<li><object type="text/sitemap"><param name="Name" value="%1"></object>)")
            .arg(QLatin1String(name));
    };
    // Lists closed too often, or never, still give every entry at a sensible depth.
    const std::vector<SitemapEntry> unbalanced = parseSitemap(
        QStringLiteral("</ul></ul>") + entry("a") + QStringLiteral("<ul>") + entry("b") +
        QStringLiteral("</ul></ul></ul>") + entry("c") + QStringLiteral("<ul><ul>") + entry("d"));
    ASSERT_EQ(unbalanced.size(), 2u);
    EXPECT_EQ(unbalanced[0].children.at(0).name, QStringLiteral("b"));
    EXPECT_EQ(unbalanced[1].name, QStringLiteral("c"));
    EXPECT_EQ(unbalanced[1].children.at(0).name, QStringLiteral("d"));

    // Nesting without end is kept at a bounded depth, so showing it cannot exhaust the stack.
    QString deep;
    for (int level = 0; level < 5000; ++level) {
        deep += entry("x") + QStringLiteral("<ul>");
    }
    EXPECT_EQ(depthOf(parseSitemap(deep)), MaxSitemapDepth);

    // Text cut anywhere, even inside a tag or a quoted value, ends the reading cleanly.
    const QString whole = QStringLiteral("<ul>") + entry("a") + QStringLiteral("<!-- x -->") +
                          QStringLiteral("<param name='Local' value='&#x110000;&#0;&bogus;'>");
    for (qsizetype length = 0; length <= whole.size(); ++length) {
        parseSitemap(QStringView(whole).first(length));
    }
    EXPECT_EQ(decodeHtmlEntities(u"&#x110000;&#0;&bogus;&amp"),
              QStringLiteral("&#x110000;&#0;&bogus;&amp"));
}

QString repeated(const QString& piece, int times) {
    QString text;
    for (int time = 0; time < times; ++time) {
        text += piece;
    }
    return text;
}

QString nested(const QString& open, const QString& close, int depth) {
    return repeated(open, depth) + QStringLiteral("x") + repeated(close, depth);
}

TEST(PageScan, RefusesOnlyPagesTooComplexToLayOutQuickly) {
    const QDir pages(QStringLiteral(QUORBELIX_HELP_PAGES));
    const QStringList names = pages.entryList({QStringLiteral("*.htm")});
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        QFile file(pages.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_FALSE(isTooComplexToShow(HelpBook::decodePage(file.readAll())))
            << name.toStdString();
    }

    const QString table = QStringLiteral("<table border=1><tr><td>a");
    const QString tableEnd = QStringLiteral("</td></tr></table>");
    // What authors write stays: a few nested tables, a long table, long lists, paragraphs
    // and list items left open.
    EXPECT_FALSE(isTooComplexToShow(nested(table, tableEnd, 6)));
    EXPECT_FALSE(isTooComplexToShow(QStringLiteral("<table>") +
                                    repeated(QStringLiteral("<tr><td>1</td><td>2</td>"), 1000)));
    EXPECT_FALSE(isTooComplexToShow(nested(QStringLiteral("<ul><li>"), {}, 30)));
    EXPECT_FALSE(isTooComplexToShow(repeated(QStringLiteral("<p>texte<br>"), 5000)));
    EXPECT_FALSE(
        isTooComplexToShow(QStringLiteral("<dl>") + repeated(QStringLiteral("<dt>a<dd>b"), 1000) +
                           QStringLiteral("<ol>") + repeated(QStringLiteral("<li>c"), 2000)));

    // What takes Qt seconds to minutes goes: deep tables, deep nesting of any kind, thousands of
    // rows or list items, megabytes of text.
    EXPECT_TRUE(isTooComplexToShow(nested(table, tableEnd, 20)));
    EXPECT_TRUE(isTooComplexToShow(nested(QStringLiteral("<ul><li>"), {}, 20000)));
    EXPECT_TRUE(isTooComplexToShow(nested(QStringLiteral("<div>"), QStringLiteral("</div>"), 500)));
    EXPECT_TRUE(isTooComplexToShow(nested(QStringLiteral("<p>a<div>"), {}, 500)));
    EXPECT_TRUE(isTooComplexToShow(nested(QStringLiteral("<span>"), {}, 5000)));
    EXPECT_TRUE(isTooComplexToShow(
        QStringLiteral("<table>") +
        repeated(QStringLiteral("<tr><td>1</td><td>2</td><td>3</td></tr>"), 5000)));
    EXPECT_TRUE(isTooComplexToShow(repeated(QStringLiteral("<li>a</li>"), 5000)));
    EXPECT_TRUE(isTooComplexToShow(nested(table, tableEnd, 4) +
                                   nested(table, tableEnd, 4).replace(u'x', QString(50000, u'x'))));
    EXPECT_TRUE(isTooComplexToShow(QString(3'000'000, u'x')));

    // End tags that Qt does not see do not hide the nesting from the count.
    for (const QString& hidden :
         {QStringLiteral("<table><tr><td><!-- </td></tr></table> -->"),
          QStringLiteral("<table title=\"</table>\"><tr><td title='</td></tr></table>'>"),
          QStringLiteral("< TABLE><tr><td></ table></table.x>")}) {
        EXPECT_TRUE(isTooComplexToShow(repeated(hidden, 20))) << hidden.toStdString();
    }
}

TEST(PageScan, ExtractsTheTextOfAPageForSearching) {
    const PageText page = extractPageText(QStringLiteral(
        "<html><head><title> Les  r&egrave;gles </title><style>p { color: red }</style>"
        "<script>var cach\u00e9 = '</p>';</script></head><body><!-- commentaire -->"
        "<h1>Quor<b>belix</b></h1><p>plaques<br>cible&nbsp;&amp; <i>compte</i></p>"
        "<table><tr><td>un</td><td>deux</td></tr></table>"));
    EXPECT_EQ(page.title, QStringLiteral("Les règles"));
    EXPECT_EQ(page.text.simplified(), QStringLiteral("Quorbelix plaques cible & compte un deux"));
}

QByteArray systemRecord(quint16 code, const QByteArray& data) {
    QByteArray record;
    record.append(char(code & 0xFF)).append(char(code >> 8));
    record.append(char(data.size() & 0xFF)).append(char(data.size() >> 8));
    return record + data;
}

TEST(ChmSystemData, ReadsTheRecordsAndStopsAtOneCutShort) {
    const QByteArray version("\3\0\0\0", 4);
    const QByteArray data = version + systemRecord(4, QByteArray(28, '\xFF')) +
                            systemRecord(3, QByteArray("Aide \xE9t\xE9\0", 10)) +
                            systemRecord(2, QByteArray("index.htm\0", 10)) +
                            systemRecord(0, QByteArray("Sommaire.hhc\0junk", 17)) +
                            systemRecord(1, "Index.hhk").left(8);
    const std::optional<ChmSystem> system = parseChmSystem(data);
    ASSERT_TRUE(system);
    EXPECT_EQ(system->title, QStringLiteral("Aide été"));  // Windows-1252, not UTF-8
    EXPECT_EQ(system->defaultTopic, QStringLiteral("index.htm"));
    EXPECT_EQ(system->contentsFile, QStringLiteral("Sommaire.hhc"));
    EXPECT_TRUE(system->indexFile.isEmpty());

    EXPECT_EQ(parseChmSystem(version + systemRecord(3, "Aide été"))->title,
              QStringLiteral("Aide été"));
    EXPECT_FALSE(parseChmSystem(QByteArray("\3\0\0", 3)));
}

}  // namespace
}  // namespace htmlhelp
