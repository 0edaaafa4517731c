#include "HelpBrowser.h"

#include "HelpBook.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QTextDocument>

namespace {

// Small vector images (the tool-bar glyphs) are drawn larger than their nominal size so that
// pages can show them enlarged without blur.
constexpr int VectorScale = 4;

QImage decodeImage(QByteArray bytes, const QString& path) {
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, QFileInfo(path).suffix().toLower().toLatin1());
    reader.setDecideFormatFromContent(true);
    if (reader.format() == "svg" && reader.size().isValid()) {
        reader.setScaledSize(reader.size() * VectorScale);
    }
    return reader.read();
}

}  // namespace

HelpBrowser::HelpBrowser(const HelpBook& book, QWidget* parent)
    : QTextBrowser(parent), book_(book) {
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpBrowser::followLink);
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    const QUrl url = name.isRelative() ? source().resolved(name) : name;
    const std::optional<QByteArray> data = book_.read(url);
    if (!data) {
        return {};
    }
    switch (type) {
        case QTextDocument::HtmlResource:
            return HelpBook::decodePage(*data);
        case QTextDocument::StyleSheetResource:
            return decodeChmText(*data);
        case QTextDocument::ImageResource: {
            const QImage image = decodeImage(*data, url.path());
            return image.isNull() ? QVariant() : QVariant(image);
        }
        default:
            return *data;
    }
}

void HelpBrowser::followLink(const QUrl& url) {
    if (url.scheme() == HelpBook::Scheme) {
        setSource(url);
    } else if (!url.isRelative()) {
        QDesktopServices::openUrl(url);
    }
}
