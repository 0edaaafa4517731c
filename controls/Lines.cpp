#include "Lines.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

// The size that holds the pixel at `coordinate`; no widget grows beyond QWIDGETSIZE_MAX.
int sizeToHold(int coordinate) {
    return std::min(coordinate, QWIDGETSIZE_MAX - 1) + 1;
}

}  // namespace

TLine::TLine(QWidget* parent) : QWidget(parent), brush_(new TBrush(this)), pen_(new TPen(this)) {
    // Painted on the parent's surface, and only on the line's own pixels.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    connect(brush_, &TBrush::changed, this, [this] { StyleChanged(brush_); });
    connect(pen_, &TPen::changed, this, [this] { StyleChanged(pen_); });
    resize(65, 65);
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

void TLine::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
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
    drawSegment(painter);
}

void TLine::setSegment(int fromX, int fromY, int toX, int toY) {
    fromX_ = fromX;
    fromY_ = fromY;
    toX_ = toX;
    toY_ = toY;
}

void TLine::drawSegment(QPainter& painter) const {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(pen_->compositionMode());
    painter.setPen(pen_->toQPen());
    if (brush_->style() == TBrush::bsSolid) {
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(brush_->toQBrush());
    } else {
        painter.setBackgroundMode(Qt::TransparentMode);
    }
    // A flat cap leaves the end point undrawn, as LineTo does; an empty segment draws nothing.
    painter.drawLine(fromX_, fromY_, toX_, toY_);
}

void TLine::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    emit OnMouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

void TLine::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    emit OnMouseMove(event->modifiers(), at.x(), at.y());
}

void TLine::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    emit OnMouseUp(event->button(), event->modifiers(), at.x(), at.y());
}
