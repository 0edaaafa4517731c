#pragma once

#include <algorithm>
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
    QByteArray executableDir = "/opt/quorbelix";
    QByteArray temporaryDir = "/tmp";
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
    QByteArray executableDirectory() const override { return executableDir; }
    QByteArray temporaryDirectory() const override { return temporaryDir; }
    QString systemVersion() const override { return version; }

    // --- The help control: registry, files, libraries and the desktop window ---
    // Default values by full key name, as written; a key not listed is missing.
    std::map<QString, RegistryValue> registry;
    std::set<QByteArray> existingFiles;
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
    bool fileExists(const QByteArray& path) const override { return existingFiles.contains(path); }
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

public:
    // --- What the help diagnostics read and the files they write ---
    // Files the program writes live in memory, in `fileContents`, and are listed in
    // `existingFiles` too; `directories` are the folders that exist, `readOnlyDirectories` those
    // in which nothing can be created or removed, `foreignFiles` what lies there without being
    // the user's own regular file (another user's file, a link, a pipe).
    QByteArray moduleFile = "/opt/quorbelix/quorbelix";
    QStringList arguments{QStringLiteral("/opt/quorbelix/quorbelix")};
    QByteArray systemDir = "/usr/lib/x86_64-linux-gnu";
    std::map<QByteArray, FileVersion> fileVersions;
    std::uint32_t locale = 0x040C;
    QString shortDate = QStringLiteral("dd/MM/yyyy");
    QString longTime = QStringLiteral("HH:mm:ss");
    QDateTime now{QDate(2024, 3, 9), QTime(14, 5, 7)};
    std::map<QByteArray, QByteArray> fileContents;
    std::set<QByteArray> directories{"/", "/opt/quorbelix", "/tmp"};
    std::set<QByteArray> readOnlyDirectories;
    std::set<QByteArray> foreignFiles;

    QByteArray moduleFileName() const override { return moduleFile; }
    QStringList commandLineArguments() const override { return arguments; }
    QByteArray systemDirectory() const override { return systemDir; }
    std::optional<FileVersion> fileVersion(const QByteArray& file) const override {
        const auto found = fileVersions.find(file);
        return found == fileVersions.end() ? std::nullopt : std::optional(found->second);
    }
    std::uint32_t localeIdentifier() const override { return locale; }
    QString shortDateFormat() const override { return shortDate; }
    QString longTimeFormat() const override { return longTime; }
    QDateTime currentDateTime() const override { return now; }
    bool directoryExists(const QByteArray& directory) const override {
        return directories.contains(directory);
    }
    bool removeOwnedFile(const QByteArray& file) override {
        if (foreignFiles.contains(file) || readOnlyDirectories.contains(directoryOf(file))) {
            return false;
        }
        fileContents.erase(file);
        return existingFiles.erase(file) > 0;
    }
    bool createNewFile(const QByteArray& file) override {
        const QByteArray directory = directoryOf(file);
        if (existingFiles.contains(file) || foreignFiles.contains(file) ||
            !directories.contains(directory) || readOnlyDirectories.contains(directory)) {
            return false;
        }
        existingFiles.insert(file);
        fileContents[file];
        return true;
    }
    bool emptyOwnedFile(const QByteArray& file) override {
        if (!existingFiles.contains(file) || foreignFiles.contains(file)) {
            return false;
        }
        fileContents[file].clear();
        return true;
    }
    bool appendToFile(const QByteArray& file, const QByteArray& bytes) override {
        if (foreignFiles.contains(file) ||
            (!existingFiles.contains(file) && !createNewFile(file))) {
            return false;
        }
        fileContents[file] += bytes;
        return true;
    }

private:
    static QByteArray directoryOf(const QByteArray& file) {
        return file.left(std::max<qsizetype>(file.lastIndexOf('/'), 1));
    }
};

}  // namespace quorbelix
