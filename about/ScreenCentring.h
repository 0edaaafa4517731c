#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace quorbelix {

// Top-left corner of a frame of size `frame` centred in `area`. A frame larger than the area
// keeps its top-left corner inside it, so that the title bar and the menus stay reachable.
QPoint centredTopLeft(QSize frame, const QRect& area);

// Centres the top-level `window`, frame included, on the available area of its screen when it is
// first shown. The window manager gives a window its frame only when it maps it, so the window is
// placed once as it is shown and again, with the frame's real size, as soon as it is on screen.
// Used by the about dialog and by the main window, which links this module.
void centreOnScreenWhenShown(QWidget& window);

}  // namespace quorbelix
