#pragma once

#include <QString>

#include "HtmlHelpEntry.h"

// The binding to the HTML help viewer (the "help control"): a library found through its class
// registration in the registry, loaded once at start-up and released once at the end. The rest of
// the program calls the viewer through the slot `HtmlHelp`, which stays empty while no viewer is
// bound and must then not be called.
namespace hh {

// The registry key holding, as its default value, the full path of the help control.
inline constexpr char16_t HelpControlKey[] =
    u"HKEY_CLASSES_ROOT\\CLSID\\{adb880a6-d8ff-11cf-9377-00aa003b7a11}\\InprocServer32";

// The loaded help control; non-null exactly while it is bound.
extern void* HelpControlHandle;
// The control's exports "HtmlHelpA" and "HtmlHelpW"; null when absent.
extern HtmlHelpAFunction HtmlHelpA;
extern HtmlHelpWFunction HtmlHelpW;
// What callers use: the export "HtmlHelpA".
extern HtmlHelpAFunction HtmlHelp;
// Whether the start-up binds the control; always on.
extern bool BindHelpAtStartup;

// The help control's full path, from its registry entry, or empty text when there is no entry,
// the entry is not text, or it names no existing file.
QString LocateHelpControl();

// Loads the help control and fills the slots, unless it is bound already. Fails silently.
void BindHelpControl();

// Releases the help control and empties the slots, if it is bound.
void UnbindHelpControl();

// The module's start-up, run once by main before the main window exists.
void startUp();
// The module's shutdown, run once by main after the main window is gone.
void shutDown();

}  // namespace hh
