#include <gtest/gtest.h>

#include "WindowPlacement.h"

namespace htmlhelp {
namespace {

using htmlhelp::MinReadableWidth;
using htmlhelp::placeHelpWindow;

// The game's frame, centred on a screen whose free area is `available`.
QRect centredGame(const QRect& available) {
    QRect game(0, 0, 460, 400);
    game.moveCenter(available.center());
    return game;
}

TEST(WindowPlacement, BesideTheGameOnTheRoomierSideWhenAReadableWindowFits) {
    const QRect available(0, 0, 1920, 1050);
    const QSize wanted(870, 660);
    const QRect centred = centredGame(available);
    const QRect right = placeHelpWindow(available, centred, wanted);
    EXPECT_FALSE(right.intersects(centred));
    EXPECT_EQ(right.left(), centred.right() + 1);
    EXPECT_TRUE(available.contains(right));
    EXPECT_GE(right.width(), MinReadableWidth);

    // Moved right, the game leaves more room on its left.
    const QRect moved = centred.translated(200, 0);
    const QRect left = placeHelpWindow(available, moved, wanted);
    EXPECT_FALSE(left.intersects(moved));
    EXPECT_EQ(left.right(), moved.left() - 1);
    EXPECT_TRUE(available.contains(left));

    // Low on the screen, the window rises to stay on it.
    const QRect low = centred.translated(0, 600);
    EXPECT_TRUE(available.contains(placeHelpWindow(available, low, wanted)));
}

TEST(WindowPlacement, AgainstTheScreenEdgeLeavingTheGamesOtherSideFreeOnSmallScreens) {
    for (const QRect& available : {QRect(0, 0, 1024, 740), QRect(0, 30, 800, 570)}) {
        const QRect game = centredGame(available);
        const QRect help = placeHelpWindow(available, game, QSize(870, 660));
        EXPECT_TRUE(available.contains(help)) << available.width();
        EXPECT_EQ(help.right(), available.right()) << available.width();
        // The game's left half is still there to be clicked.
        EXPECT_GT(help.left(), game.left() + game.width() / 4) << available.width();
        EXPECT_GE(help.width(), available.width() / 2);
    }
    // No game window known: centred, shrunk to the screen.
    const QRect tiny(0, 0, 640, 480);
    EXPECT_EQ(placeHelpWindow(tiny, QRect(), QSize(870, 660)), tiny);
}

TEST(WindowPlacement, ASavedFrameIsRestoredOnlyWhereItFits) {
    const QRect savedOnWideScreen(1200, 300, 700, 600);
    EXPECT_TRUE(htmlhelp::fitsOnScreen(savedOnWideScreen, QRect(0, 0, 1920, 1050)));
    EXPECT_FALSE(htmlhelp::fitsOnScreen(savedOnWideScreen, QRect(0, 0, 800, 570)));
    EXPECT_FALSE(htmlhelp::fitsOnScreen(QRect(), QRect(0, 0, 1920, 1050)));
}

}  // namespace
}  // namespace htmlhelp
