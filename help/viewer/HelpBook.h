#pragma once

#include "ChmArchive.h"
#include "ChmSystem.h"
#include "Sitemap.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

// The contents of one help file as the help window shows it: its title and default topic, its
// table of contents and index, its pages, style sheets and images, and a word search over its
// pages. Addresses of the file's own objects use the "chm" scheme ("chm:/index.htm").
class HelpBook {
public:
    static inline const QString Scheme = QStringLiteral("chm");

    // Opens the help file at path (the bytes of a local file name); nothing when it is
    // missing, not a regular file, unreadable or damaged (no "#SYSTEM" object, or a default
    // topic that cannot be read).
    static std::unique_ptr<HelpBook> open(const QByteArray& path);

    QString title() const { return title_; }
    QUrl home() const { return home_; }
    const std::vector<SitemapEntry>& contents() const { return contents_; }
    const std::vector<SitemapEntry>& index() const { return index_; }

    // The address of a topic named by the file ("page.htm#part", "/dir/page.htm").
    static QUrl topicUrl(const QString& topic);
    // The "chm" address of an object of this same file written as other help viewers reach it
    // ("ms-its:Aide.chm::/page.htm", "mk:@MSITStore:C:\Aide\Aide.chm::/page.htm", the file
    // named as this one); any other address as it is.
    QUrl ownAddress(const QUrl& url) const;
    // The object at a "chm" address, or nothing.
    std::optional<QByteArray> read(const QUrl& url) const;
    // An HTML page decoded to text, by its declared character set or else as help files are.
    static QString decodePage(const QByteArray& bytes);

    struct Match {
        QString title;
        QUrl url;
    };
    // Search reads the pages in the archive's order up to this many bytes in all.
    static constexpr qint64 MaxSearchedBytes = 8 * 1024 * 1024;
    // The pages whose text holds every word of query, ignoring case and accents, by title.
    std::vector<Match> search(const QString& query) const;

private:
    HelpBook() = default;
    struct Page {
        QString title;
        QUrl url;
        QString foldedText;
    };
    const std::vector<Page>& pages() const;
    std::vector<SitemapEntry> readSitemap(const QString& file) const;

    std::unique_ptr<ChmArchive> archive_;
    QString title_;
    QString fileName_;
    QUrl home_;
    std::vector<SitemapEntry> contents_;
    std::vector<SitemapEntry> index_;
    mutable std::optional<std::vector<Page>> pages_;  // read on the first search
};

// Text folded for searching: lower case, without accents.
QString foldForSearch(const QString& text);
