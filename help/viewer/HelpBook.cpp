#include "HelpBook.h"

#include "PageScan.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

namespace {

bool isPage(const QString& path) {
    return path.endsWith(u".htm", Qt::CaseInsensitive) ||
           path.endsWith(u".html", Qt::CaseInsensitive);
}

}  // namespace

QString foldForSearch(const QString& text) {
    // Decomposed piece by piece: Qt's normalization takes time quadratic in the length of what
    // it is given (8 million accented letters took minutes), and no decomposition reaches
    // across a character that starts a new letter.
    constexpr qsizetype Piece = 256;
    constexpr qsizetype MaxPiece = 4096;
    QString folded;
    folded.reserve(text.size());
    qsizetype start = 0;
    const auto fold = [&](qsizetype end) {
        const QString decomposed =
            text.sliced(start, end - start).normalized(QString::NormalizationForm_D);
        for (const QChar c : decomposed) {
            if (c.category() != QChar::Mark_NonSpacing) {
                folded += c;
            }
        }
        start = end;
    };
    for (qsizetype at = 0; at < text.size(); ++at) {
        const qsizetype length = at - start;
        if (!text[at].isLowSurrogate() &&
            (length >= MaxPiece || (length >= Piece && text[at].combiningClass() == 0))) {
            fold(at);
        }
    }
    fold(text.size());
    return folded.toCaseFolded();
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
            pages_->push_back({text.title.isEmpty() ? path.section(u'/', -1) : text.title,
                               topicUrl(path), foldForSearch(text.text)});
        }
    }
    return *pages_;
}

std::vector<HelpBook::Match> HelpBook::search(const QString& query) const {
    const QStringList words = foldForSearch(query).split(u' ', Qt::SkipEmptyParts);
    std::vector<Match> matches;
    if (words.isEmpty()) {
        return matches;
    }
    for (const Page& page : pages()) {
        const bool all = std::all_of(words.begin(), words.end(), [&](const QString& word) {
            return page.foldedText.contains(word);
        });
        if (all) {
            matches.push_back({page.title, page.url});
        }
    }
    std::sort(matches.begin(), matches.end(), [](const Match& a, const Match& b) {
        return QString::localeAwareCompare(a.title, b.title) < 0;
    });
    return matches;
}
