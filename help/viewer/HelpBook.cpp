#include "HelpBook.h"

#include "PageScan.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace htmlhelp {

namespace {

bool isPage(const QString& path) {
    return path.endsWith(u".htm", Qt::CaseInsensitive) ||
           path.endsWith(u".html", Qt::CaseInsensitive);
}

// Letters below this are folded from a table made once: they are most of a French page.
constexpr char16_t TabledLetters = 0x250;

QString foldLetter(QStringView letter) {
    switch (letter.front().unicode()) {
        case u'\u2018':
        case u'\u2019':
        case u'\u02BC':
            return QStringLiteral("'");
        case u'\u0152':
        case u'\u0153':
            return QStringLiteral("oe");
        case u'\u00C6':
        case u'\u00E6':
            return QStringLiteral("ae");
    }
    const QString decomposed = letter.toString().normalized(QString::NormalizationForm_D);
    QString folded;
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing) {
            folded += c;
        }
    }
    return folded.toCaseFolded();
}

const std::array<QString, TabledLetters>& tabledFolds() {
    static const std::array<QString, TabledLetters> table = [] {
        std::array<QString, TabledLetters> folds;
        for (char16_t c = 0; c < TabledLetters; ++c) {
            folds[c] = foldLetter(QStringView(&c, 1));
        }
        return folds;
    }();
    return table;
}

// Calls add with each folded character of text and the position of the letter it comes from.
// Letter by letter, which keeps that position and the time linear: Qt's normalization takes
// time quadratic in the length of what it is given.
template <typename Add>
void foldLetters(QStringView text, Add add) {
    const std::array<QString, TabledLetters>& table = tabledFolds();
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype from = at;
        const char16_t c = text[at].unicode();
        if (c < 0x80) {
            add(QChar(c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c), from);
            ++at;
            continue;
        }
        // Most other letters have no accent to drop: only their case changes.
        if (c >= TabledLetters && c != u'\u2018' && c != u'\u2019' && !QChar::isSurrogate(c) &&
            QChar::decompositionTag(c) == QChar::NoDecomposition) {
            if (QChar::category(c) != QChar::Mark_NonSpacing) {
                add(QChar(QChar::toCaseFolded(c)), from);
            }
            ++at;
            continue;
        }
        qsizetype length = 1;
        if (QChar::isHighSurrogate(c) && at + 1 < text.size() && text[at + 1].isLowSurrogate()) {
            length = 2;
        }
        at += length;
        const QString letter = c < TabledLetters ? table[c] : foldLetter(text.sliced(from, length));
        for (const QChar folded : letter) {
            add(folded, from);
        }
    }
}

// Where in text the folded words begin at position at of their folding, found by folding only
// as much of text as it takes.
qsizetype sourceOf(const QString& text, qsizetype at) {
    std::vector<qsizetype> sources;
    for (qsizetype length = at + 256;; length *= 2) {
        length = std::min(length, text.size());
        foldForSearchWords(QStringView(text).first(length), &sources);
        if (qsizetype(sources.size()) > at + 1 || length == text.size()) {
            return sources[std::size_t(std::min(at, qsizetype(sources.size()) - 1))];
        }
    }
}

// Search queries longer than this are cut, and only so many terms are kept: each term is one
// pass over the pages.
constexpr qsizetype MaxQueryLength = 256;
constexpr std::size_t MaxTerms = 16;
// Matches are counted up to this many per term and page, enough to rank.
constexpr qsizetype MaxCountedMatches = 1000;

// The text around position at, cut at words, with an ellipsis where it is cut.
QString extractAround(const QString& text, qsizetype at) {
    constexpr qsizetype Before = 40;
    constexpr qsizetype Length = 110;
    qsizetype start = std::max<qsizetype>(0, at - Before);
    if (start > 0) {
        const qsizetype space = text.indexOf(u' ', start);
        start = space >= 0 && space < at ? space + 1 : at;
    }
    qsizetype end = std::min(text.size(), start + Length);
    if (end < text.size()) {
        const qsizetype space = text.lastIndexOf(u' ', end);
        if (space > at) {
            end = space;
        } else if (text[end].isLowSurrogate()) {
            --end;
        }
    }
    QString extract = text.sliced(start, end - start).trimmed();
    if (start > 0) {
        extract.prepend(u'\u2026');
    }
    if (end < text.size()) {
        extract.append(u'\u2026');
    }
    return extract;
}

}  // namespace

QString foldForSearch(QStringView text, std::vector<qsizetype>* sources) {
    QString folded;
    folded.reserve(text.size());
    if (sources) {
        sources->clear();
        sources->reserve(std::size_t(text.size()));
    }
    foldLetters(text, [&](QChar c, qsizetype from) {
        folded += c;
        if (sources) {
            sources->push_back(from);
        }
    });
    return folded;
}

QString foldForSearchWords(QStringView text, std::vector<qsizetype>* sources) {
    QString words;
    words.reserve(text.size());
    if (sources) {
        sources->clear();
        sources->reserve(std::size_t(text.size()));
    }
    bool afterSpace = true;
    foldLetters(text, [&](QChar c, qsizetype from) {
        const bool inWord = c.isLetterOrNumber() || c.isSurrogate();
        if (inWord || !afterSpace) {
            words += inWord ? c : QChar(u' ');
            if (sources) {
                sources->push_back(from);
            }
            afterSpace = !inWord;
        }
    });
    if (words.endsWith(u' ')) {
        words.chop(1);
        if (sources) {
            sources->pop_back();
        }
    }
    return words;
}

std::vector<WordMatch> findWords(const QString& folded, const QString& words,
                                 qsizetype maxMatches) {
    std::vector<WordMatch> matches;
    if (words.isEmpty()) {
        return matches;
    }
    qsizetype at = folded.indexOf(words);
    while (at >= 0 && (maxMatches < 0 || qsizetype(matches.size()) < maxMatches)) {
        const qsizetype end = at + words.size();
        qsizetype wordEnd = folded.indexOf(u' ', end);
        if (wordEnd < 0) {
            wordEnd = folded.size();
        }
        if (at == 0 || folded[at - 1] == u' ') {
            matches.push_back({at, wordEnd - at, wordEnd == end});
        }
        // The next match starts a later word: the words begin after a space.
        const qsizetype space = folded.indexOf(u' ', at);
        if (space < 0) {
            break;
        }
        at = folded.indexOf(words, space + 1);
    }
    return matches;
}

std::unique_ptr<HelpBook> HelpBook::open(const QByteArray& path) {
    std::unique_ptr<HelpBook> book(new HelpBook);
    book->archive_ = ChmArchive::open(path);
    if (!book->archive_) {
        return nullptr;
    }
    const std::optional<QByteArray> systemData = book->archive_->read(QStringLiteral("/#SYSTEM"));
    const std::optional<ChmSystem> system = systemData ? parseChmSystem(*systemData) : std::nullopt;
    if (!system) {
        return nullptr;
    }
    QString topic = system->defaultTopic;
    if (topic.isEmpty()) {
        const QStringList files = book->archive_->files();
        const auto firstPage = std::find_if(files.begin(), files.end(), isPage);
        if (firstPage == files.end()) {
            return nullptr;
        }
        topic = *firstPage;
    }
    book->home_ = topicUrl(topic);
    if (!book->read(book->home_)) {
        return nullptr;
    }
    book->fileName_ = QFileInfo(QFile::decodeName(path)).fileName();
    book->title_ = system->title.isEmpty() ? QFileInfo(QFile::decodeName(path)).completeBaseName()
                                           : system->title;
    book->contents_ = book->readSitemap(system->contentsFile);
    book->index_ = book->readSitemap(system->indexFile);
    return book;
}

QUrl HelpBook::topicUrl(const QString& topic) {
    QString path = topic.trimmed();
    path.replace(u'\\', u'/');
    QUrl root;
    root.setScheme(Scheme);
    root.setPath(QStringLiteral("/"));
    return root.resolved(QUrl(path));
}

QUrl HelpBook::ownAddress(const QUrl& url) const {
    QString address = url.path(QUrl::FullyDecoded);
    const QLatin1StringView store("@MSITStore:");
    if (url.scheme() == u"mk" && address.startsWith(store, Qt::CaseInsensitive)) {
        address.remove(0, store.size());
    } else if (url.scheme() != u"ms-its") {
        return url;
    }
    const qsizetype separator = address.indexOf(u"::");
    if (separator < 0) {
        return url;
    }
    const QString file = address.first(separator).replace(u'\\', u'/').section(u'/', -1);
    return file.compare(fileName_, Qt::CaseInsensitive) == 0
               ? topicUrl(address.sliced(separator + 2))
               : url;
}

std::optional<QByteArray> HelpBook::read(const QUrl& url) const {
    if (url.scheme() != Scheme || url.path().isEmpty()) {
        return std::nullopt;
    }
    return archive_->read(url.path());
}

QString HelpBook::decodePage(const QByteArray& bytes) {
    QStringDecoder declared = QStringDecoder::decoderForHtml(bytes);
    if (declared.isValid() && qstrcmp(declared.name(), "UTF-8") != 0) {
        return declared(bytes);
    }
    return decodeChmText(bytes);
}

std::vector<SitemapEntry> HelpBook::readSitemap(const QString& file) const {
    if (file.isEmpty()) {
        return {};
    }
    const std::optional<QByteArray> data = archive_->read(file);
    return data ? parseSitemap(decodePage(*data)) : std::vector<SitemapEntry>{};
}

const std::vector<HelpBook::Page>& HelpBook::pages() const {
    if (!pages_) {
        pages_.emplace();
        // The text is read without Qt's rich text engine, whose time grows faster than the
        // pages, and only so much of it: searching stays within about a second.
        qint64 budget = MaxSearchedBytes;
        for (const QString& path : archive_->files()) {
            if (!isPage(path)) {
                continue;
            }
            const std::optional<QByteArray> data = archive_->read(path);
            if (!data) {
                continue;
            }
            budget -= data->size();
            if (budget < 0) {
                break;
            }
            const PageText text = extractPageText(decodePage(*data));
            Page page;
            page.title = text.title.isEmpty() ? path.section(u'/', -1) : text.title.simplified();
            page.url = topicUrl(path);
            page.text = text.text.simplified();
            page.foldedTitle = foldForSearchWords(page.title);
            page.foldedText = foldForSearchWords(page.text);
            pages_->push_back(std::move(page));
        }
    }
    return *pages_;
}

std::vector<HelpBook::Term> HelpBook::parseQuery(const QString& query) {
    const QStringView text = QStringView(query).first(std::min(query.size(), MaxQueryLength));
    const auto isQuote = [](QChar c) {
        return c == u'"' || c == u'\u00AB' || c == u'\u00BB' || c == u'\u201C' || c == u'\u201D' ||
               c == u'\u201E';
    };
    std::vector<Term> terms;
    qsizetype at = 0;
    while (at < text.size() && terms.size() < MaxTerms) {
        if (text[at].isSpace()) {
            ++at;
            continue;
        }
        qsizetype end = at;
        QStringView token;
        if (isQuote(text[at])) {
            end = at + 1;
            while (end < text.size() && !isQuote(text[end])) {
                ++end;
            }
            token = text.sliced(at + 1, end - at - 1);
            ++end;
        } else {
            while (end < text.size() && !text[end].isSpace() && !isQuote(text[end])) {
                ++end;
            }
            token = text.sliced(at, end - at);
        }
        at = end;
        Term term{foldForSearchWords(token), token.trimmed().endsWith(u'*')};
        if (!term.words.isEmpty()) {
            terms.push_back(std::move(term));
        }
    }
    return terms;
}

std::vector<HelpBook::Match> HelpBook::search(const QString& query) const {
    const std::vector<Term> terms = parseQuery(query);
    if (terms.empty()) {
        return {};
    }
    QStringList termWords;
    for (const Term& term : terms) {
        termWords.append(term.words);
    }
    struct Ranked {
        const Page* page;
        qsizetype firstMatch;
        std::array<qsizetype, 4> rank;  // terms whole in title, in title, whole words, starts
    };
    std::vector<Ranked> found;
    for (const Page& page : pages()) {
        Ranked ranked{&page, -1, {}};
        const bool all = std::all_of(terms.begin(), terms.end(), [&](const Term& term) {
            const std::vector<WordMatch> inTitle = findWords(page.foldedTitle, term.words);
            const std::vector<WordMatch> inText =
                findWords(page.foldedText, term.words, MaxCountedMatches);
            if (inTitle.empty() && inText.empty()) {
                return false;
            }
            const auto whole = [](const WordMatch& match) { return match.wholeWord; };
            if (std::any_of(inTitle.begin(), inTitle.end(), whole)) {
                ++ranked.rank[0];
            } else if (!inTitle.empty()) {
                ++ranked.rank[1];
            }
            const qsizetype wholeWords = std::count_if(inText.begin(), inText.end(), whole);
            ranked.rank[2] += wholeWords;
            ranked.rank[3] += qsizetype(inText.size()) - wholeWords;
            if (!inText.empty() &&
                (ranked.firstMatch < 0 || inText.front().start < ranked.firstMatch)) {
                ranked.firstMatch = inText.front().start;
            }
            return true;
        });
        if (all) {
            found.push_back(ranked);
        }
    }
    std::sort(found.begin(), found.end(), [](const Ranked& a, const Ranked& b) {
        if (a.rank != b.rank) {
            return a.rank > b.rank;
        }
        return QString::localeAwareCompare(a.page->title, b.page->title) < 0;
    });
    std::vector<Match> matches;
    matches.reserve(found.size());
    for (const Ranked& ranked : found) {
        const qsizetype at =
            ranked.firstMatch >= 0 ? sourceOf(ranked.page->text, ranked.firstMatch) : 0;
        matches.push_back({ranked.page->title, ranked.page->url,
                           extractAround(ranked.page->text, at), termWords});
    }
    return matches;
}

}  // namespace htmlhelp
