#include "ScreenCentring.h"

#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace quorbelix {

namespace {

// Watches the window for its first show, then its native window for its first exposure; it goes
// with the window, or once its work is done.
class ScreenCentring : public QObject {
public:
    explicit ScreenCentring(QWidget& window) : QObject(&window), window_(window) {
        window_.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Show) {
            window_.removeEventFilter(this);
            native_ = window_.windowHandle();
            centre();
            if (native_ != nullptr) {
                native_->installEventFilter(this);
            }
        } else if (native_ != nullptr && watched == native_ && event->type() == QEvent::Expose &&
                   native_->isExposed()) {
            native_->removeEventFilter(this);
            centre();
            deleteLater();
        }
        return false;
    }

private:
    // The frame's margins come from the native window: they are known once the window manager
    // has framed it, and are zero before.
    void centre() {
        const QMargins frame = native_ != nullptr ? native_->frameMargins() : QMargins();
        const QSize client = window_.size();
        const QPoint frameTopLeft =
            centredTopLeft(client.grownBy(frame), window_.screen()->availableGeometry());
        window_.setGeometry(QRect(frameTopLeft + QPoint(frame.left(), frame.top()), client));
    }

    QWidget& window_;
    QPointer<QWindow> native_;
};

}  // namespace

QPoint centredTopLeft(QSize frame, const QRect& area) {
    return {std::max(area.left(), area.left() + (area.width() - frame.width()) / 2),
            std::max(area.top(), area.top() + (area.height() - frame.height()) / 2)};
}

void centreOnScreenWhenShown(QWidget& window) {
    new ScreenCentring(window);
}

}  // namespace quorbelix
