#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FakePlatform.h"
#include "HtmlHelpEntry.h"
#include "LinuxPlatform.h"
#include "hh.h"

namespace quorbelix::test {

// The calls the help control received, one line each: "entry caller file command data", and
// "unloaded" when the library left the process.
inline std::vector<std::string> helpCalls;

inline void recordHelpCall(const char* entry, HelpWindowHandle caller, const char* file,
                           std::uint32_t command, std::uintptr_t data) {
    helpCalls.push_back(std::string(entry) +
                        (std::string(entry) == "unloaded"
                             ? ""
                             : ' ' + std::to_string(caller) + ' ' + (file ? file : "null") + ' ' +
                                   std::to_string(command) + ' ' + std::to_string(data)));
}

// The machine's own platform, reading its registry from a .reg file of the test's.
class RegistryFilePlatform {
public:
    // Writes `contents` as the registry file and puts the platform in place.
    explicit RegistryFilePlatform(const QByteArray& contents)
        : machine_(dir_.filePath(QStringLiteral("quorbelix.reg")).toStdString()), guard_(machine_) {
        QFile file(registryFile());
        if (file.open(QIODevice::WriteOnly)) {
            file.write(contents);
        }
    }

    QString registryFile() const { return dir_.filePath(QStringLiteral("quorbelix.reg")); }
    QString directory() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    LinuxPlatform machine_;
    ScopedPlatform guard_;
};

// The help control as the fake platform offers it: registered, present and loadable from `path`,
// with `exports`.
inline void installHelpControl(FakePlatform& fake, const QString& path,
                               std::map<std::string, LibraryFunction> exports = {}) {
    fake.registry[QString::fromUtf16(hh::HelpControlKey)] = {RegistryValue::Kind::Text, path};
    fake.existingFiles.insert(path.toUtf8());
    fake.libraries[path] = std::move(exports);
}

// A registry file registering `path` as the help control.
inline QByteArray registering(const QByteArray& path) {
    return "REGEDIT4\n\n"
           "[HKEY_CLASSES_ROOT\\CLSID\\{adb880a6-d8ff-11cf-9377-00aa003b7a11}\\InprocServer32]\n"
           "@=\"" +
           path + "\"\n";
}

}  // namespace quorbelix::test
