#pragma once

#include "HtmlHelpEntry.h"

#include <QList>
#include <QString>

#include <functional>

class HelpWindow;

// The commands of the help viewer's entry point, behind the exported functions. Every help
// file shown has one window; the caller's window is not its owner.
namespace htmlhelp {

// Runs a command for the help file at path: HH_DISPLAY_TOPIC opens (or raises) the file's window
// on its default topic and returns the window's handle; HH_CLOSE_ALL closes every help window.
// Other commands, a call without a QApplication or off its thread, do nothing and return 0.
HelpWindowHandle run(const QString& path, std::uint32_t command);

// The open help windows, oldest first.
QList<HelpWindow*> windows();

// Tells the player that a help file cannot be opened; a message box unless replaced (tests
// replace it so as not to block). An empty function restores the message box.
using ErrorReporter = std::function<void(const QString& message)>;
void setErrorReporter(ErrorReporter reporter);

}  // namespace htmlhelp
