// The viewer's exported entry points, the only symbols the library shows.

#include "HtmlHelp.h"

#include <QFile>
#include <QString>

#include <type_traits>

#define HTMLHELP_EXPORT extern "C" __attribute__((visibility("default")))

HTMLHELP_EXPORT HelpWindowHandle HtmlHelpA(HelpWindowHandle, const char* file,
                                           std::uint32_t command, std::uintptr_t) {
    try {
        // A path is bytes: kept as they are, a name that is not valid UTF-8 still works.
        return htmlhelp::run(file == nullptr ? QByteArray() : QByteArray(file), command);
    } catch (...) {
        return 0;  // nothing may unwind into the caller, which is not ours
    }
}

HTMLHELP_EXPORT HelpWindowHandle HtmlHelpW(HelpWindowHandle, const char16_t* file,
                                           std::uint32_t command, std::uintptr_t) {
    try {
        return htmlhelp::run(
            file == nullptr ? QByteArray() : QFile::encodeName(QString::fromUtf16(file)), command);
    } catch (...) {
        return 0;
    }
}

static_assert(std::is_same_v<decltype(&HtmlHelpA), HtmlHelpAFunction>);
static_assert(std::is_same_v<decltype(&HtmlHelpW), HtmlHelpWFunction>);
