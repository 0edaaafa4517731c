#pragma once

#include <QString>

class QLabel;

// What assistive technologies (a screen reader through the desktop's accessibility bus) are told
// beyond what Qt tells them by itself.
namespace quorbelix {

// Widgets whose form marks them decorative (dynamic property "decorative"): bevels, lines, the
// banner picture. A screen reader meets them as separators, not as unnamed frames.
void installAccessibility();

// Shows `text` in `label` and names the label "`what` : text" for assistive technologies ("`what`"
// alone while it is empty): the name says what the label is, and its change event carries the
// new text to a screen reader without the player moving the focus there. The label's own lines
// become a list separated by commas.
void showAnnouncedText(QLabel& label, const QString& what, const QString& text);

}  // namespace quorbelix
