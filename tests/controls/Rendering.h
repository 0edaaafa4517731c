#pragma once

#include <QApplication>
#include <QImage>
#include <QRect>
#include <QTest>
#include <QWidget>

// A top-level form with a plain known background, shown and active, to render controls on.
class TestForm : public QWidget {
public:
    static constexpr QRgb background = 0xff00ff00u;

    TestForm() {
        resize(320, 240);
        QPalette green = palette();
        green.setColor(QPalette::Window, QColor::fromRgb(background));
        setPalette(green);
        setAutoFillBackground(true);
    }

    // Shows the form, makes it the active window and lets pending paints and resizes settle.
    bool showActive() {
        show();
        activateWindow();
        if (!QTest::qWaitForWindowActive(this)) {
            return false;
        }
        settle();
        return true;
    }

    static void settle() {
        for (int round = 0; round < 5; ++round) {
            QCoreApplication::processEvents();
        }
    }

    QImage shot() { return grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

// Counts the paints a widget receives while this counter lives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* watched) { watched->installEventFilter(this); }
    int paints = 0;
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// The smallest rectangle of `image` (within `area`) holding pixels of `ink`'s colour family:
// pixels nearer to `ink` than to `paper` in grey level.
inline QRect inkBounds(const QImage& image, const QRect& area, QRgb ink, QRgb paper) {
    QRect bounds;
    const int inkGrey = qGray(ink);
    const int paperGrey = qGray(paper);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            if (std::abs(grey - inkGrey) < std::abs(grey - paperGrey)) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}
