#include "WindowPlacement.h"

#include <algorithm>

namespace htmlhelp {

QRect placeHelpWindow(const QRect& available, const QRect& game, const QSize& wanted) {
    const QSize size = wanted.boundedTo(available.size());
    if (game.isNull()) {
        QRect frame(QPoint(), size);
        frame.moveCenter(available.center());
        return frame;
    }
    const int roomLeft = std::max(0, game.left() - available.left());
    const int roomRight = std::max(0, available.right() - game.right());
    const bool onRight = roomRight >= roomLeft;
    const int room = onRight ? roomRight : roomLeft;

    int width = size.width();
    int left = 0;
    if (room >= MinReadableWidth) {
        width = std::min(width, room);
        left = onRight ? game.right() + 1 : game.left() - width;
    } else {
        // Covering at most the near half of the game (or of the screen) leaves its other half
        // to be clicked.
        width = std::min(width, std::max(room + game.width() / 2, available.width() / 2));
        left = onRight ? available.right() + 1 - width : available.left();
    }
    const int top = std::clamp(game.top(), available.top(),
                               std::max(available.top(), available.bottom() + 1 - size.height()));
    return QRect(left, top, width, size.height());
}

bool fitsOnScreen(const QRect& frame, const QRect& available) {
    return frame.isValid() && available.contains(frame);
}

}  // namespace htmlhelp
