#pragma once

#include <cstdint>

// The entry point of the HTML help viewer, a library that the program loads at run time and
// never links against. Both the program's help binding and the viewer build on these types, so
// the two sides of the call cannot disagree.

// A native window handle (an X11 window id on Linux); 0 for none.
using HelpWindowHandle = std::uintptr_t;

// Commands of the entry point.
inline constexpr std::uint32_t HH_DISPLAY_TOPIC = 0;  // show the help file's default topic
inline constexpr std::uint32_t HH_CLOSE_ALL = 18;     // close every help window of the process

extern "C" {
// The 8-bit variant: the file's path in the locale's 8-bit encoding. Returns the help window's
// handle, or 0.
using HtmlHelpAFunction = HelpWindowHandle (*)(HelpWindowHandle caller, const char* file,
                                               std::uint32_t command, std::uintptr_t data);
// The wide variant: the file's path in UTF-16.
using HtmlHelpWFunction = HelpWindowHandle (*)(HelpWindowHandle caller, const char16_t* file,
                                               std::uint32_t command, std::uintptr_t data);
}
