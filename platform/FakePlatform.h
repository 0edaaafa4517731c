#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Platform.h"

namespace quorbelix {

// A platform whose answers tests set and whose beeps they count.
class FakePlatform final : public Platform {
public:
    mutable std::uint32_t ticks = 0;
    // Added to `ticks` on every reading, so that waits on the counter make progress.
    std::uint32_t ticksPerReading = 0;
    mutable int tickReadings = 0;
    // Called with the index of each reading of the counter (from 0) before it is taken, so that
    // a test can act at a given moment of a wait.
    std::function<void(int reading)> onTickReading;
    int beeps = 0;
    mutable int memoryReadings = 0;
    MemoryStatus memory{1'073'741'824, 536'870'912};
    QString thousands = QStringLiteral(" ");
    QString decimal = QStringLiteral(",");
    std::filesystem::path executableDir = "/opt/quorbelix";
    std::filesystem::path temporaryDir = "/tmp";
    QString version = QStringLiteral("Linux 6.1.0");

    std::uint32_t tickCount() const override {
        const int reading = tickReadings++;
        if (onTickReading) {
            onTickReading(reading);
        }
        const std::uint32_t now = ticks;
        ticks += ticksPerReading;
        return now;
    }
    void beep() override { ++beeps; }
    MemoryStatus memoryStatus() const override {
        ++memoryReadings;
        return memory;
    }
    QString thousandsSeparator() const override { return thousands; }
    QString decimalSeparator() const override { return decimal; }
    std::filesystem::path executableDirectory() const override { return executableDir; }
    std::filesystem::path temporaryDirectory() const override { return temporaryDir; }
    QString systemVersion() const override { return version; }

    // --- The help control: registry, files, libraries and the desktop window ---
    // Default values by full key name, as written; a key not listed is missing.
    std::map<QString, RegistryValue> registry;
    std::set<QString> existingFiles;
    // The libraries that load, by path, with their exports. A loaded library's handle points at
    // its entry here.
    std::map<QString, std::map<std::string, LibraryFunction>> libraries;
    // "load PATH", "resolve NAME" and "release PATH", in the order asked.
    std::vector<std::string> libraryCalls;
    std::uintptr_t desktop = 0x1e3;

    RegistryValue registryDefaultValue(QStringView key) const override {
        const auto found = registry.find(key.toString());
        return found != registry.end() ? found->second : RegistryValue{};
    }
    bool fileExists(const QString& path) const override { return existingFiles.contains(path); }
    LibraryHandle loadLibrary(const QString& path) override {
        libraryCalls.push_back("load " + path.toStdString());
        const auto found = libraries.find(path);
        return found != libraries.end() ? &*found : nullptr;
    }
    LibraryFunction resolveSymbol(LibraryHandle library, const char* name) override {
        libraryCalls.push_back(std::string("resolve ") + name);
        const auto& exports = static_cast<Library*>(library)->second;
        const auto found = exports.find(name);
        return found != exports.end() ? found->second : nullptr;
    }
    void releaseLibrary(LibraryHandle library) override {
        libraryCalls.push_back("release " + static_cast<Library*>(library)->first.toStdString());
    }
    std::uintptr_t desktopWindow() const override { return desktop; }

private:
    using Library = decltype(libraries)::value_type;
};

}  // namespace quorbelix
