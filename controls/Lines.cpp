#include "Lines.h"

#include <QChildEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// The size that holds the pixel at `coordinate`; no widget grows beyond QWIDGETSIZE_MAX.
int sizeToHold(int coordinate) {
    return std::min(coordinate, QWIDGETSIZE_MAX - 1) + 1;
}

// n / d rounded up, for d > 0.
qint64 ceilDivide(qint64 n, qint64 d) {
    return n >= 0 ? (n + d - 1) / d : -(-n / d);
}

// The pixels the midpoint rule colours from `from` to `to`, the end point excluded, in order,
// as far as they lie within `clip`: calls see(step, pixel) with the pixel's index along the
// line. Half-way ties go toward the start point.
template <class See>
void midpointPixels(QPoint from, QPoint to, const QRect& clip, See see) {
    const qint64 dx = std::abs(qint64{to.x()} - from.x());
    const qint64 dy = std::abs(qint64{to.y()} - from.y());
    const int sx = to.x() < from.x() ? -1 : 1;
    const int sy = to.y() < from.y() ? -1 : 1;
    const bool alongX = dx >= dy;
    const qint64 major = alongX ? dx : dy;
    const qint64 minor = alongX ? dy : dx;
    const int majorStep = alongX ? sx : sy;
    const qint64 start = alongX ? from.x() : from.y();
    // The steps whose major coordinate falls within the clip; the rest are not drawn.
    const qint64 low = alongX ? clip.left() : clip.top();
    const qint64 high = alongX ? clip.right() : clip.bottom();
    qint64 first = majorStep > 0 ? low - start : start - high;
    qint64 last = majorStep > 0 ? high - start : start - low;
    first = std::max<qint64>(first, 0);
    last = std::min(last, major - 1);
    for (qint64 k = first; k <= last; ++k) {
        // The minor coordinate nearest to the true line, ties toward the start.
        const qint64 offset = ceilDivide(2 * minor * k - major, 2 * major);
        const qint64 along = start + majorStep * k;
        const qint64 across = (alongX ? from.y() : from.x()) + (alongX ? sy : sx) * offset;
        const QPoint pixel = alongX ? QPoint(static_cast<int>(along), static_cast<int>(across))
                                    : QPoint(static_cast<int>(across), static_cast<int>(along));
        if (clip.contains(pixel)) {
            see(k, pixel);
        }
    }
}

}  // namespace

TLine::TLine(QWidget* parent) : QWidget(parent), brush_(new TBrush(this)), pen_(new TPen(this)) {
    // Painted on the parent's surface, and only on the line's own pixels.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    connect(brush_, &TBrush::changed, this, [this] { StyleChanged(brush_); });
    connect(pen_, &TPen::changed, this, [this] { StyleChanged(pen_); });
    resize(65, 65);
    watchParent(parent);
    stayBelowWindowedSiblings();
}

void TLine::watchParent(QWidget* parent) {
    if (watchedParent_ != nullptr) {
        watchedParent_->removeEventFilter(this);
    }
    watchedParent_ = parent;
    if (parent != nullptr) {
        parent->installEventFilter(this);
    }
}

void TLine::stayBelowWindowedSiblings() {
    if (parentWidget() == nullptr) {
        return;
    }
    // A parent's children run from the bottom of the stack to the top.
    for (QObject* child : parentWidget()->children()) {
        if (child == this) {
            return;
        }
        auto* sibling = qobject_cast<QWidget*>(child);
        if (sibling != nullptr && !sibling->isWindow() &&
            qobject_cast<TLine*>(sibling) == nullptr) {
            stackUnder(sibling);
            return;
        }
    }
}

bool TLine::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    switch (event->type()) {
        case QEvent::ParentChange:
            watchParent(parentWidget());
            stayBelowWindowedSiblings();
            break;
        case QEvent::ZOrderChange:
            // Raised by someone: back below the windowed siblings.
            stayBelowWindowedSiblings();
            break;
        default:
            break;
    }
    return handled;
}

bool TLine::eventFilter(QObject* watched, QEvent* event) {
    if (watched == watchedParent_ && event->type() == QEvent::ChildAdded &&
        static_cast<QChildEvent*>(event)->child()->isWidgetType()) {
        stayBelowWindowedSiblings();
    }
    return QWidget::eventFilter(watched, event);
}

void TLine::setBrush(const TBrush* brush) {
    if (brush != nullptr) {
        brush_->assign(*brush);
    }
}

void TLine::setBrush(const QString& text) {
    brush_->setFromText(text);
}

void TLine::setPen(const TPen* pen) {
    if (pen != nullptr) {
        pen_->assign(*pen);
    }
}

void TLine::setPen(const QString& text) {
    pen_->setFromText(text);
}

void TLine::setCoordinate(int& coordinate, int value) {
    if (line_ != ltCustom) {
        return;
    }
    coordinate = value;
    update();
}

void TLine::setFromX(int x) {
    setCoordinate(fromX_, x);
}
void TLine::setToX(int x) {
    setCoordinate(toX_, x);
}
void TLine::setFromY(int y) {
    setCoordinate(fromY_, y);
}
void TLine::setToY(int y) {
    setCoordinate(toY_, y);
}

void TLine::setLine(TLineType line) {
    if (line == line_) {
        return;
    }
    // A centred line's thickness runs across it; when the line turns, so does its size.
    const int oldWidth = width();
    const int oldHeight = height();
    if (line_ == ltHorizontal) {
        switch (line) {
            case ltVertical:
                resize(oldHeight, oldWidth);
                break;
            case ltTop:
            case ltBottom:
            case ltUpDiagonal:
            case ltDownDiagonal:
                resize(oldWidth, 65);
                break;
            case ltLeft:
            case ltRight:
                resize(65, oldWidth);
                break;
            default:
                break;
        }
    } else if (line_ == ltVertical) {
        switch (line) {
            case ltHorizontal:
                resize(oldHeight, oldWidth);
                break;
            case ltTop:
            case ltBottom:
                resize(oldHeight, 65);
                break;
            case ltLeft:
            case ltRight:
            case ltUpDiagonal:
            case ltDownDiagonal:
                resize(65, oldHeight);
                break;
            default:
                break;
        }
    }
    line_ = line;
    update();
    emit lineChanged(line_);
}

void TLine::StyleChanged(QObject* /*sender*/) {
    update();
}

int TLine::thickness() const {
    // Ten times the pen width; a pen of width 0 draws one pixel wide, so it counts as 1 here
    // rather than leaving a line of no height at all.
    const qint64 wanted = 10 * static_cast<qint64>(std::max(pen_->width(), 1));
    return static_cast<int>(std::min<qint64>(wanted, QWIDGETSIZE_MAX));
}

void TLine::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // What this paint may draw: the damaged part of the control as it is now.
    const QRect clip = event->rect() & rect();
    const int a = width() - 1;
    const int b = height() - 1;
    switch (line_) {
        case ltCustom:
            toX_ = std::max(toX_, 0);
            fromX_ = std::max(fromX_, 0);
            if (a < toX_ || a < fromX_) {
                resize(sizeToHold(std::max(toX_, fromX_)), height());
            }
            toY_ = std::max(toY_, 0);
            fromY_ = std::max(fromY_, 0);
            if (b < toY_ || b < fromY_) {
                resize(width(), sizeToHold(std::max(toY_, fromY_)));
            }
            break;
        case ltHorizontal:
            setSegment(0, b / 2, a, b / 2);
            resize(width(), thickness());
            break;
        case ltVertical:
            setSegment(a / 2, 0, a / 2, b);
            resize(thickness(), height());
            break;
        case ltTop:
            setSegment(0, 0, a, 0);
            break;
        case ltBottom:
            setSegment(0, b, a, b);
            break;
        case ltLeft:
            setSegment(0, 0, 0, b);
            break;
        case ltRight:
            setSegment(a, 0, a, b);
            break;
        case ltUpDiagonal:
            setSegment(0, b, a, 0);
            break;
        case ltDownDiagonal:
            setSegment(0, 0, a, b);
            break;
    }
    drawSegment(painter, clip);
}

void TLine::setSegment(int fromX, int fromY, int toX, int toY) {
    fromX_ = fromX;
    fromY_ = fromY;
    toX_ = toX;
    toY_ = toY;
}

void TLine::drawSegment(QPainter& painter, const QRect& clip) const {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(pen_->compositionMode());
    const QPen pen = pen_->toQPen();
    const bool opaque = brush_->style() == TBrush::bsSolid;
    if (pen_->width() > 1) {
        painter.setPen(pen);
        painter.setBackgroundMode(opaque ? Qt::OpaqueMode : Qt::TransparentMode);
        painter.setBackground(brush_->toQBrush());
        // A flat cap leaves the end point undrawn, as LineTo does; an empty segment draws nothing.
        painter.drawLine(fromX_, fromY_, toX_, toY_);
        return;
    }
    if (pen.style() == Qt::NoPen) {
        return;
    }
    // One pixel wide: the pixels of the midpoint rule, each on or off by the pen's dash pattern
    // counted in pixels along the line; the gaps take the brush colour when it is solid.
    std::vector<int> pattern;
    if (pen.style() != Qt::SolidLine) {
        for (const qreal length : pen.dashPattern()) {
            pattern.push_back(std::max(qRound(length), 1));
        }
    }
    qint64 period = 0;
    for (const int length : pattern) {
        period += length;
    }
    const auto drawn = [&](qint64 step) {
        if (period == 0) {
            return true;
        }
        qint64 at = step % period;
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            if (at < pattern[i]) {
                return i % 2 == 0;
            }
            at -= pattern[i];
        }
        return true;
    };
    QPolygon ink;
    QPolygon gaps;
    midpointPixels({fromX_, fromY_}, {toX_, toY_}, clip,
                   [&](qint64 step, QPoint pixel) { (drawn(step) ? ink : gaps) << pixel; });
    painter.setPen(QPen(pen.color(), 1, Qt::SolidLine, Qt::SquareCap));
    painter.drawPoints(ink);
    if (opaque && !gaps.isEmpty()) {
        painter.setPen(QPen(brush_->toQBrush().color(), 1, Qt::SolidLine, Qt::SquareCap));
        painter.drawPoints(gaps);
    }
}

void TLine::mousePressEvent(QMouseEvent* event) {
    quorbelix::reportMouse(*this, *event, event->position().toPoint());
}

void TLine::mouseMoveEvent(QMouseEvent* event) {
    quorbelix::reportMouse(*this, *event, event->position().toPoint());
}

void TLine::mouseReleaseEvent(QMouseEvent* event) {
    quorbelix::reportMouse(*this, *event, event->position().toPoint());
}
