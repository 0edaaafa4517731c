#pragma once

#include <QRect>
#include <QSize>

namespace htmlhelp {

// Narrower, a help page wraps too often to be read comfortably.
inline constexpr int MinReadableWidth = 560;

// Where the help window's frame goes on a screen whose free area is `available`, beside the
// game's frame `game` on the side with more room when a readable window fits there, otherwise
// against that side's screen edge, narrowed so that the other half of the game stays visible. The
// result is never larger than `wanted` and lies wholly inside `available`. A null `game` centres
// it.
QRect placeHelpWindow(const QRect& available, const QRect& game, const QSize& wanted);

// Whether a frame saved in an earlier run can be restored on a screen whose free area is
// `available`: wholly inside it.
bool fitsOnScreen(const QRect& frame, const QRect& available);

}  // namespace htmlhelp
