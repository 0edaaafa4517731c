#include "hh.h"

#include <QFile>

#include "Platform.h"

namespace hh {

void* HelpControlHandle = nullptr;
HtmlHelpAFunction HtmlHelpA = nullptr;
HtmlHelpWFunction HtmlHelpW = nullptr;
HtmlHelpAFunction HtmlHelp = nullptr;
bool BindHelpAtStartup = true;

namespace {

template <typename Function>
Function resolve(quorbelix::LibraryHandle library, const char* name) {
    return reinterpret_cast<Function>(quorbelix::platform().resolveSymbol(library, name));
}

}  // namespace

QString LocateHelpControl() {
    auto& machine = quorbelix::platform();
    const quorbelix::RegistryValue value = machine.registryDefaultValue(HelpControlKey);
    // A missing key or default value reads as empty text. A value that is not text has no path
    // to give: it counts as not found rather than stopping the program.
    if (value.kind != quorbelix::RegistryValue::Kind::Text) {
        return {};
    }
    // Taken literally: "%SystemRoot%\..." names no file here, and is not found.
    if (!value.text.isEmpty() && !machine.fileExists(QFile::encodeName(value.text))) {
        return {};
    }
    return value.text;
}

void BindHelpControl() {
    if (HelpControlHandle != nullptr) {
        return;
    }
    auto& machine = quorbelix::platform();
    const QString path = LocateHelpControl();
    if (path.isEmpty() || !machine.fileExists(QFile::encodeName(path))) {
        return;
    }
    HelpControlHandle = machine.loadLibrary(path);
    if (HelpControlHandle == nullptr) {
        return;
    }
    HtmlHelpA = resolve<HtmlHelpAFunction>(HelpControlHandle, "HtmlHelpA");
    HtmlHelpW = resolve<HtmlHelpWFunction>(HelpControlHandle, "HtmlHelpW");
    HtmlHelp = resolve<HtmlHelpAFunction>(HelpControlHandle, "HtmlHelpA");
}

void UnbindHelpControl() {
    if (HelpControlHandle == nullptr) {
        return;
    }
    quorbelix::platform().releaseLibrary(HelpControlHandle);
    HtmlHelpA = nullptr;
    HtmlHelpW = nullptr;
    HtmlHelp = nullptr;
    HelpControlHandle = nullptr;
}

void startUp() {
    if (BindHelpAtStartup) {
        BindHelpControl();
    }
}

void shutDown() {
    UnbindHelpControl();
}

}  // namespace hh
