#pragma once

#include <QString>
#include <QStringView>

namespace htmlhelp {

// Linear readings of a help page's HTML, made before (or instead of) Qt's rich text engine, whose
// layout time grows much faster than the page: nested tables double it at each level, and deep
// nesting or long lists of any kind make it quadratic.

// Whether laying the page out could keep the game's thread busy for about a second or more.
// The estimate follows Qt's own reading of the markup (quoted attribute values, comments,
// elements that close themselves, stray end tags), so that it cannot be fooled into counting
// less than Qt lays out.
bool isTooComplexToShow(QStringView html);

// What a word search needs of a page: its title and its text without markup, scripts or styles,
// character references decoded.
struct PageText {
    QString title;
    QString text;
};
PageText extractPageText(QStringView html);

}  // namespace htmlhelp
