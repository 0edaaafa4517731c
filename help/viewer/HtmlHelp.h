#pragma once

#include "HtmlHelpEntry.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

// The commands of the help viewer's entry point, behind the exported functions. Every help
// file shown has one window; the caller's window is not its owner.
namespace htmlhelp {

class HelpWindow;

// Runs a command for the help file at path (the bytes of a local file name, as the system
// has them): HH_DISPLAY_TOPIC opens (or raises) the file's window on its default topic and
// returns the window's handle; HH_CLOSE_ALL closes every help window. Other commands, a call
// without a QApplication or off its thread, do nothing and return 0.
HelpWindowHandle run(const QByteArray& path, std::uint32_t command);

// The open help windows, oldest first.
QList<HelpWindow*> windows();

// The game's window: the program's shown top-level window that is not a help window (the game
// names the desktop, not its window, when it asks for help). Null when there is none.
QWidget* gameWindow();

// Tells the player that a help file cannot be opened; a message box unless replaced (tests
// replace it so as not to block). An empty function restores the message box.
using ErrorReporter = std::function<void(const QString& message)>;
void setErrorReporter(ErrorReporter reporter);

// Asks the player whether to leave the help for an outside address (a question box unless
// replaced); true when the player agrees. An empty function restores the question box.
using LinkConfirmer = std::function<bool(const QString& question)>;
void setLinkConfirmer(LinkConfirmer confirmer);

// Hands an address the player agreed to open to the desktop's browser or mail program
// (QDesktopServices unless replaced). An empty function restores QDesktopServices.
using UrlOpener = std::function<void(const QUrl& url)>;
void setUrlOpener(UrlOpener opener);

// What the help windows use to reach the player and the desktop, through the functions above.
void reportError(const QString& message);
bool confirmLink(const QString& question);
void openOutside(const QUrl& url);

}  // namespace htmlhelp
