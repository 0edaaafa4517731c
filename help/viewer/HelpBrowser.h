#pragma once

#include <QTextBrowser>

namespace htmlhelp {

class HelpBook;

// The page view of the help window: pages, style sheets and images come from the help file and
// from nowhere else. Links to web sites and mail addresses open in the desktop's programs once
// the player agrees; every other link out of the help file is refused.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT

public:
    // The images of a page decode to this many pixels at most, in about a quarter of a second.
    static constexpr qint64 MaxPagePixels = 16 * 1024 * 1024;

    HelpBrowser(const HelpBook& book, QWidget* parent = nullptr);

    QVariant loadResource(int type, const QUrl& name) override;

    // The size of the text, in steps of a tenth of the normal size (0); every page shown, and
    // every text on it, is drawn at that size.
    static constexpr int MinZoom = -5;
    static constexpr int MaxZoom = 10;
    int zoom() const { return zoom_; }
    void setZoom(int zoom);

signals:
    void zoomChanged(int zoom);

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Sizes the text of the page just laid out: the sizes its style sheets give are points,
    // which the widget's font alone would leave as they are.
    void applyZoom();
    // A name on the page shown, as an address in the help file (or outside it).
    QUrl resolve(const QUrl& name) const;
    void followLink(const QUrl& link);

    const HelpBook& book_;
    qint64 imagePixelsLeft_ = MaxPagePixels;  // for the images of the page shown
    int zoom_ = 0;
    QUrl zoomedPage_;  // the page whose text applyZoom last sized
};

}  // namespace htmlhelp
