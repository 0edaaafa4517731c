#pragma once

#include <QString>
#include <QWidget>

#include "MouseSignals.h"
#include "TBrush.h"
#include "TPen.h"

// A line drawn with a pen on its parent's surface: the control has no window of its own and
// shows its parent everywhere but on the line's pixels. Line chooses the kind: a centred
// horizontal or vertical line (the control then sets its own thickness to ten times the pen
// width), one of the four edges, one of the two diagonals, or a custom segment between
// (FromX, FromY) and (ToX, ToY) that grows the control to contain both points.
//
// For every kind but ltCustom the coordinates are outputs: each paint writes the segment it
// draws into them, and setting them does nothing. As with the classic MoveTo/LineTo, the end
// point of the segment is not drawn, and a pen one pixel wide colours exactly the pixels of the
// midpoint rule, integer coordinates being pixel centres. With a solid brush the gaps of a
// dashed or dotted pen take the brush colour; with any other brush they stay transparent. The
// brush fills nothing else.
//
// Having no window of its own, a line stays below its sibling controls, which all have one: they
// paint over it and take the clicks where they are. Lines keep their order among themselves.
// OnMouseDown, OnMouseMove and OnMouseUp report the mouse where no sibling covers the line; the
// control does nothing with it.
class TLine : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TBrush* Brush READ brush WRITE setBrush)
    Q_PROPERTY(TPen* Pen READ pen WRITE setPen)
    Q_PROPERTY(int FromX READ fromX WRITE setFromX)
    Q_PROPERTY(int ToX READ toX WRITE setToX)
    Q_PROPERTY(int FromY READ fromY WRITE setFromY)
    Q_PROPERTY(int ToY READ toY WRITE setToY)
    Q_PROPERTY(TLineType Line READ line WRITE setLine NOTIFY lineChanged)

public:
    enum TLineType {
        ltCustom,
        ltHorizontal,
        ltVertical,
        ltTop,
        ltBottom,
        ltLeft,
        ltRight,
        ltUpDiagonal,
        ltDownDiagonal
    };
    Q_ENUM(TLineType)

    // 65 x 65, custom, from (0, 0) to (35, 35), black pen of width 1, white solid brush.
    explicit TLine(QWidget* parent = nullptr);

    TBrush* brush() const { return brush_; }
    TPen* pen() const { return pen_; }
    int fromX() const { return fromX_; }
    int toX() const { return toX_; }
    int fromY() const { return fromY_; }
    int toY() const { return toY_; }
    TLineType line() const { return line_; }

    // Copy the attributes of the given object into the owned one; the caller keeps its object.
    void setBrush(const TBrush* brush);
    // The form-file text of TBrush::setFromText.
    void setBrush(const QString& text);
    void setPen(const TPen* pen);
    // The form-file text of TPen::setFromText.
    void setPen(const QString& text);
    // Taken only by an ltCustom line; for any other kind these do nothing.
    void setFromX(int x);
    void setToX(int x);
    void setFromY(int y);
    void setToY(int y);
    // Changing the kind may resize a centred line so that its thickness runs the right way.
    void setLine(TLineType line);

public slots:
    // Repaints after a change of the pen or brush.
    void StyleChanged(QObject* sender);

signals:
    void lineChanged(TLine::TLineType line);
    QUORBELIX_MOUSE_SIGNALS

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setCoordinate(int& coordinate, int value);
    int thickness() const;
    // Writes the segment a fixed kind of line draws into the coordinates.
    void setSegment(int fromX, int fromY, int toX, int toY);
    void drawSegment(QPainter& painter, const QRect& clip) const;
    // Moves the line under the lowest sibling that has a window of its own, if it is above it.
    void stayBelowWindowedSiblings();
    void watchParent(QWidget* parent);

    TBrush* brush_;
    TPen* pen_;
    int fromX_ = 0;
    int toX_ = 35;
    int fromY_ = 0;
    int toY_ = 35;
    TLineType line_ = ltCustom;
    QWidget* watchedParent_ = nullptr;
};
