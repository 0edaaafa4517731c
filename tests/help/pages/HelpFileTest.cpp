#include <gtest/gtest.h>

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ChmArchive.h"
#include "ChmSystem.h"
#include "Sitemap.h"

namespace htmlhelp {
namespace {

struct Page {
    QStringList references;  // every href and src, as written
    QSet<QString> anchors;   // the places the viewer can scroll to
};

// The compiled help file as the viewer sees it: chmlib finds objects whatever their case, so the
// pages are keyed by their lower-case path.
struct HelpFile {
    std::unique_ptr<ChmArchive> archive;
    QHash<QString, Page> pages;
    std::vector<SitemapEntry> contents;
    std::vector<SitemapEntry> index;
};

QString keyOf(const QString& path) {
    return path.toLower();
}

Page readPage(const QString& html) {
    Page page;
    static const QRegularExpression reference(
        QStringLiteral(R"re(\b(?:href|src)\s*=\s*"([^"]*)")re"),
        QRegularExpression::CaseInsensitiveOption);
    for (const QRegularExpressionMatch& match : reference.globalMatch(html)) {
        page.references << decodeHtmlEntities(match.captured(1));
    }
    // The anchors the rich-text engine keeps, not those the markup merely writes.
    QTextDocument document;
    document.setHtml(html);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            for (const QString& name : fragment.fragment().charFormat().anchorNames()) {
                page.anchors.insert(name);
            }
        }
    }
    return page;
}

std::vector<SitemapEntry> readSitemap(const ChmArchive& archive, const QString& file) {
    const std::optional<QByteArray> data = archive.read(file);
    return data ? parseSitemap(decodeChmText(*data)) : std::vector<SitemapEntry>{};
}

const HelpFile& helpFile() {
    static const std::unique_ptr<HelpFile> file = [] {
        auto read = std::make_unique<HelpFile>();
        read->archive = ChmArchive::open(QByteArrayLiteral(QUORBELIX_HELP_FILE));
        if (!read->archive) {
            return read;
        }
        for (const QString& path : read->archive->files()) {
            if (path.endsWith(u".htm", Qt::CaseInsensitive) ||
                path.endsWith(u".html", Qt::CaseInsensitive)) {
                read->pages.insert(keyOf(path),
                                   readPage(decodeChmText(read->archive->read(path).value())));
            }
        }
        const std::optional<QByteArray> system = read->archive->read(QStringLiteral("#SYSTEM"));
        if (const std::optional<ChmSystem> parsed = parseChmSystem(system.value_or(QByteArray()))) {
            read->contents = readSitemap(*read->archive, parsed->contentsFile);
            read->index = readSitemap(*read->archive, parsed->indexFile);
        }
        return read;
    }();
    return *file;
}

struct Target {
    QString path;
    QString anchor;
};

// Where a reference made from the object at `from` leads; an address outside the file has no
// path.
Target resolve(const QString& from, const QString& reference) {
    const QUrl url = QUrl(QStringLiteral("chm:") + from).resolved(QUrl(reference));
    return {url.scheme() == QStringLiteral("chm") ? url.path() : QString(), url.fragment()};
}

// Empty when the target is in the file, anchor included; otherwise what is missing.
std::string missingPart(const HelpFile& file, const Target& target) {
    if (target.path.isEmpty() || !file.archive->read(target.path)) {
        return "no such object";
    }
    if (target.anchor.isEmpty()) {
        return {};
    }
    const auto page = file.pages.constFind(keyOf(target.path));
    if (page == file.pages.constEnd() || !page->anchors.contains(target.anchor)) {
        return "no anchor " + target.anchor.toStdString();
    }
    return {};
}

void flatten(const std::vector<SitemapEntry>& entries, std::vector<const SitemapEntry*>& into) {
    for (const SitemapEntry& entry : entries) {
        into.push_back(&entry);
        flatten(entry.children, into);
    }
}

std::vector<const SitemapEntry*> entriesOf(const std::vector<SitemapEntry>& sitemap) {
    std::vector<const SitemapEntry*> entries;
    flatten(sitemap, entries);
    return entries;
}

class HelpFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(file.archive) << QUORBELIX_HELP_FILE; }

    const HelpFile& file = helpFile();
};

TEST_F(HelpFileTest, EveryLinkAndImageOfEveryPageIsInTheFile) {
    ASSERT_FALSE(file.pages.isEmpty());
    for (auto page = file.pages.cbegin(); page != file.pages.cend(); ++page) {
        for (const QString& reference : page->references) {
            EXPECT_EQ(missingPart(file, resolve(page.key(), reference)), "")
                << page.key().toStdString() << " -> " << reference.toStdString();
        }
    }
}

TEST_F(HelpFileTest, EveryContentsAndIndexEntryOpensItsPageAndAnchor) {
    for (const std::vector<SitemapEntry>* sitemap : {&file.contents, &file.index}) {
        const std::vector<const SitemapEntry*> entries = entriesOf(*sitemap);
        ASSERT_FALSE(entries.empty());
        for (const SitemapEntry* entry : entries) {
            EXPECT_EQ(missingPart(file, resolve(QStringLiteral("/"), entry->local)), "")
                << entry->name.toStdString() << " -> " << entry->local.toStdString();
        }
    }
}

TEST_F(HelpFileTest, EveryPageIsReachableFromTheContents) {
    QSet<QString> reached;
    QStringList toVisit;
    for (const SitemapEntry* entry : entriesOf(file.contents)) {
        toVisit << keyOf(resolve(QStringLiteral("/"), entry->local).path);
    }
    while (!toVisit.isEmpty()) {
        const QString path = toVisit.takeLast();
        const auto page = file.pages.constFind(path);
        if (page == file.pages.constEnd() || reached.contains(path)) {
            continue;
        }
        reached.insert(path);
        for (const QString& reference : page->references) {
            toVisit << keyOf(resolve(path, reference).path);
        }
    }
    for (auto page = file.pages.cbegin(); page != file.pages.cend(); ++page) {
        EXPECT_TRUE(reached.contains(page.key())) << page.key().toStdString();
    }
}

}  // namespace
}  // namespace htmlhelp
