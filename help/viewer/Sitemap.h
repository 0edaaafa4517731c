#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace htmlhelp {

// A page an index keyword leads to, with the title the index gives it.
struct SitemapTopic {
    QString title;
    QString local;
};

// One entry of a sitemap (a help file's table of contents or keyword index): its text, the page
// it leads to (may be empty for a heading) and the entries nested under it. An index keyword may
// lead to several pages (Name and Local pairs after its own Name): all are in topics, each titled
// by the Name before its Local.
struct SitemapEntry {
    QString name;
    QString local;
    std::vector<SitemapEntry> children;
    std::vector<SitemapTopic> topics;
};

// Sitemaps nest no deeper than this; deeper lists are kept at this depth.
inline constexpr int MaxSitemapDepth = 32;

// Reads a sitemap: HTML in which <UL> lists nest <OBJECT type="text/sitemap"> entries whose
// <PARAM> elements give "Name" and "Local". Tolerant of what help authors and broken files
// write: unknown markup is skipped, unbalanced lists are closed, entries without a name dropped.
std::vector<SitemapEntry> parseSitemap(QStringView html);

// Replaces the character references of HTML attribute text (&amp;, &#233;, &#xE9; and the
// common named ones) by their characters; unknown references are left as written.
QString decodeHtmlEntities(QStringView text);

}  // namespace htmlhelp
