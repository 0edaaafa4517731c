#pragma once

#include "ChmArchive.h"
#include "ChmSystem.h"
#include "Sitemap.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QUrl>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

namespace htmlhelp {

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

    // A word, a run of words ("Pas de Quorbelix") or a word start ("plaq*") to look for, folded
    // as foldForSearchWords folds text.
    struct Term {
        QString words;
        bool prefix = false;
    };
    // The terms of a search query: quoted phrases, words with a star for word starts, and other
    // words; a word joined by an apostrophe or a hyphen ("l'addition") is a phrase.
    static std::vector<Term> parseQuery(const QString& query);

    struct Match {
        QString title;
        QUrl url;
        QString extract;    // the text around the first match, cut at words
        QStringList terms;  // what to highlight in the page
    };
    // Search reads the pages in the archive's order up to this many bytes in all.
    static constexpr qint64 MaxSearchedBytes = 8 * 1024 * 1024;
    // The pages whose title or text holds every term of query, ignoring case, accents,
    // ligatures and the kind of apostrophe: the most relevant first (terms in the title, then
    // whole words, then word starts, then how many times).
    std::vector<Match> search(const QString& query) const;

private:
    HelpBook() = default;
    struct Page {
        QString title;
        QUrl url;
        QString text;
        QString foldedTitle;
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

// Text folded for searching: lower case, without accents, ligatures spelled out ("œ" as "oe"),
// typographic apostrophes as plain ones. With sources, also the position in text of the
// character each folded character comes from.
QString foldForSearch(QStringView text, std::vector<qsizetype>* sources = nullptr);
// The same with every run of characters other than letters and digits made a single space, so
// that words and phrases match whatever separates them.
QString foldForSearchWords(QStringView text, std::vector<qsizetype>* sources = nullptr);
// Where the folded words occur in the text folded by foldForSearchWords, each time at the start
// of a word: their start, and their length extended to the end of the last word.
struct WordMatch {
    qsizetype start;
    qsizetype length;
    bool wholeWord;
};
std::vector<WordMatch> findWords(const QString& folded, const QString& words,
                                 qsizetype maxMatches = -1);

}  // namespace htmlhelp
