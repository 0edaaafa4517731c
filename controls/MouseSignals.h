#pragma once

#include <QMouseEvent>
#include <QPoint>

// The mouse signals that the program's controls publish, declared in a control's signals
// section:
//
//     signals:
//         QUORBELIX_MOUSE_SIGNALS
//
// x and y are in the control's own coordinates.
#define QUORBELIX_MOUSE_SIGNALS                                                          \
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y); \
    void OnMouseMove(Qt::KeyboardModifiers shift, int x, int y);                         \
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

namespace quorbelix {

// Reports a press, move or release through the control's mouse signals, at `at` in the
// control's coordinates.
template <class Control>
void reportMouse(Control& control, const QMouseEvent& event, QPoint at) {
    switch (event.type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            emit control.OnMouseDown(event.button(), event.modifiers(), at.x(), at.y());
            break;
        case QEvent::MouseMove:
            emit control.OnMouseMove(event.modifiers(), at.x(), at.y());
            break;
        case QEvent::MouseButtonRelease:
            emit control.OnMouseUp(event.button(), event.modifiers(), at.x(), at.y());
            break;
        default:
            break;
    }
}

}  // namespace quorbelix
