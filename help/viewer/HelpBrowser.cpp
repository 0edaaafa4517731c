#include "HelpBrowser.h"

#include "HelpBook.h"
#include "HtmlHelp.h"
#include "PageScan.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QWheelEvent>

#include <algorithm>
#include <vector>

namespace htmlhelp {

namespace {

// Small vector images (the tool-bar glyphs) are drawn larger than their nominal size so that
// pages can show them enlarged without blur.
constexpr int VectorScale = 4;

// Larger pages are not even decoded: at this size, text alone reaches the layout time limit.
constexpr qsizetype MaxPageSize = 2 * 1024 * 1024;

// Longer addresses are cut in the question that names them.
constexpr qsizetype MaxShownAddress = 200;

// Decodes an image if its pixels fit in what the page has left, which it then takes; decoding
// is what takes time, so an image whose size its header does not give is not decoded.
QImage decodeImage(QByteArray bytes, const QString& path, qint64& pixelsLeft) {
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, QFileInfo(path).suffix().toLower().toLatin1());
    reader.setDecideFormatFromContent(true);
    QSize size = reader.size();
    if (reader.format() == "svg" && size.isValid()) {
        size *= VectorScale;
        reader.setScaledSize(size);
    }
    const qint64 pixels = qint64(size.width()) * size.height();
    if (!size.isValid() || pixels > pixelsLeft) {
        return {};
    }
    pixelsLeft -= pixels;
    return reader.read();
}

}  // namespace

HelpBrowser::HelpBrowser(const HelpBook& book, QWidget* parent)
    : QTextBrowser(parent), book_(book) {
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
}

QUrl HelpBrowser::resolve(const QUrl& name) const {
    // A page given as text has no address: its names are the help file's, from its root.
    const QUrl base = source().isEmpty() ? HelpBook::topicUrl(QStringLiteral("/")) : source();
    return base.resolved(book_.ownAddress(name));
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    // Never a null answer: QTextDocument would then read the name as a local file itself (and
    // block for ever on a FIFO). What the help file lacks is an empty resource.
    const QUrl url = resolve(name);
    const std::optional<QByteArray> data = book_.read(url);
    if (!data) {
        switch (type) {
            case QTextDocument::HtmlResource:
                return tr("<html><head><title>Rubrique introuvable</title></head><body>"
                          "<h1>Rubrique introuvable</h1><p>La rubrique « %1 » n'existe pas "
                          "dans ce fichier d'aide, ou elle est illisible.</p></body></html>")
                    .arg(url.path().toHtmlEscaped());
            case QTextDocument::StyleSheetResource:
                return QString();
            case QTextDocument::ImageResource:
                return QImage();
            default:
                return QByteArray();
        }
    }
    switch (type) {
        case QTextDocument::HtmlResource: {
            imagePixelsLeft_ = MaxPagePixels;
            // Qt lays pages out on the game's thread: one that would take too long is not shown.
            QString page = data->size() <= MaxPageSize ? HelpBook::decodePage(*data) : QString();
            if (page.isNull() || isTooComplexToShow(page)) {
                return tr("<html><head><title>Rubrique trop complexe</title></head><body>"
                          "<h1>Rubrique trop complexe</h1><p>La rubrique « %1 » est trop "
                          "longue ou trop imbriquée pour être affichée.</p></body></html>")
                    .arg(url.path().toHtmlEscaped());
            }
            return page;
        }
        case QTextDocument::StyleSheetResource:
            return decodeChmText(*data);
        case QTextDocument::ImageResource:
            return decodeImage(*data, url.path(), imagePixelsLeft_);
        default:
            return *data;
    }
}

void HelpBrowser::followLink(const QUrl& link) {
    const QUrl url = resolve(link);
    const QString scheme = url.scheme();  // QUrl keeps schemes in lower case
    if (scheme == HelpBook::Scheme) {
        setSource(url);
        return;
    }
    // Encoded, the address shows no look-alike letters, no text direction marks and no markup.
    QString address = url.toString(QUrl::FullyEncoded);
    if (address.size() > MaxShownAddress) {
        address = address.left(MaxShownAddress) + u'…';
    }
    if (scheme == u"http" || scheme == u"https") {
        if (htmlhelp::confirmLink(
                tr("Ouvrir «\u00A0%1\u00A0» dans le navigateur\u00A0?").arg(address))) {
            htmlhelp::openOutside(url);
        }
    } else if (scheme == u"mailto") {
        if (htmlhelp::confirmLink(
                tr("Écrire à «\u00A0%1\u00A0» avec la messagerie\u00A0?").arg(address))) {
            htmlhelp::openOutside(url);
        }
    } else {
        // Local files, shares, other help files, scripts, package installers: none is opened
        // from a page the player cannot vouch for.
        htmlhelp::reportError(
            tr("Ce lien ne peut pas être ouvert depuis l'aide\u00A0: «\u00A0%1\u00A0».")
                .arg(address));
    }
}

void HelpBrowser::setZoom(int zoom) {
    zoom = std::clamp(zoom, MinZoom, MaxZoom);
    if (zoom == zoom_) {
        return;
    }
    zoom_ = zoom;
    // Sizes are scaled from those the page gives, so the page is read again rather than the
    // sizes shown scaled once more; the reader keeps the same place in it.
    QScrollBar* bar = verticalScrollBar();
    const double place = bar->maximum() > 0 ? double(bar->value()) / bar->maximum() : 0.0;
    if (source().isEmpty()) {
        applyZoom();
    } else {
        zoomedPage_.clear();
        reload();
    }
    bar->setValue(int(place * bar->maximum()));
    emit zoomChanged(zoom_);
}

void HelpBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
    // An anchor on the page shown moves in it without reading it again.
    const QUrl page = name.adjusted(QUrl::RemoveFragment);
    QTextBrowser::doSetSource(name, type);
    if (page != zoomedPage_) {
        applyZoom();
        zoomedPage_ = page;
    }
}

void HelpBrowser::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const int delta = event->angleDelta().y();
        if (delta != 0) {
            setZoom(zoom_ + (delta > 0 ? 1 : -1));
        }
        event->accept();
        return;
    }
    QTextBrowser::wheelEvent(event);
}

void HelpBrowser::applyZoom() {
    const qreal factor = 1.0 + zoom_ / 10.0;
    QFont normal = font();
    normal.setPointSizeF(normal.pointSizeF() * factor);
    document()->setDefaultFont(normal);
    if (zoom_ == 0) {
        return;
    }
    struct Sized {
        int position;
        int length;
        qreal points;
        int pixels;
    };
    std::vector<Sized> sized;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.hasProperty(QTextFormat::FontPointSize) ||
                format.hasProperty(QTextFormat::FontPixelSize)) {
                sized.push_back({fragment.position(), fragment.length(), format.fontPointSize(),
                                 format.intProperty(QTextFormat::FontPixelSize)});
            }
        }
    }
    // One edit: the page is laid out again once, not once per run of text.
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (const Sized& text : sized) {
        cursor.setPosition(text.position);
        cursor.setPosition(text.position + text.length, QTextCursor::KeepAnchor);
        QTextCharFormat scaled;
        if (text.points > 0) {
            scaled.setFontPointSize(text.points * factor);
        }
        if (text.pixels > 0) {
            scaled.setProperty(QTextFormat::FontPixelSize, qRound(text.pixels * factor));
        }
        cursor.mergeCharFormat(scaled);
    }
    cursor.endEditBlock();
}

}  // namespace htmlhelp
