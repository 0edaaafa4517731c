#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

#include "RegistryFile.h"

namespace quorbelix {

// A library loaded at run time; null for none.
using LibraryHandle = void*;
// Any function of a loaded library, to be converted to its real type by the caller.
using LibraryFunction = void (*)();

// What the machine says of its memory.
struct MemoryStatus {
    std::uint64_t totalPhysicalBytes = 0;
    std::uint64_t availablePhysicalBytes = 0;

    // Share of physical memory in use, 0 to 100.
    int memoryLoadPercent() const;
};

// A file's version: major, minor, release and build.
using FileVersion = std::array<std::uint16_t, 4>;

// The program's one door to the operating system. Everything that depends on the machine
// (time, sound, memory, locale, paths, versions) goes through here so that tests can replace it.
class Platform {
public:
    virtual ~Platform() = default;

    // Milliseconds since an arbitrary start, on 32 bits: it wraps after about 49.7 days.
    virtual std::uint32_t tickCount() const = 0;
    // The default alert sound.
    virtual void beep() = 0;
    virtual MemoryStatus memoryStatus() const = 0;
    virtual QString thousandsSeparator() const = 0;
    virtual QString decimalSeparator() const = 0;
    // Paths are the bytes the system calls take: on Linux a file name need not be valid text.
    // The directory of the running program's file, empty when it cannot be known, and the one
    // for temporary files.
    virtual QByteArray executableDirectory() const = 0;
    virtual QByteArray temporaryDirectory() const = 0;
    // Name and release of the operating system, for instance "Linux 6.1.0".
    virtual QString systemVersion() const = 0;

    // --- The help control: registry, files, libraries and the desktop window ---
    // The default value of a registry key, named in full ("HKEY_CLASSES_ROOT\CLSID\...").
    virtual RegistryValue registryDefaultValue(QStringView key) const = 0;
    // Whether a file (not a directory) exists at `path`.
    virtual bool fileExists(const QByteArray& path) const = 0;
    // Loads the library at `path`; null when it cannot be loaded.
    virtual LibraryHandle loadLibrary(const QString& path) = 0;
    // The library's export `name`; null when it has none.
    virtual LibraryFunction resolveSymbol(LibraryHandle library, const char* name) = 0;
    virtual void releaseLibrary(LibraryHandle library) = 0;
    // The native handle of the desktop's root window; 0 where the display server has none.
    virtual std::uintptr_t desktopWindow() const = 0;

    // --- What the help diagnostics read and the files they write ---
    // The running program's own file, full length; empty when it cannot be known.
    virtual QByteArray moduleFileName() const = 0;
    // The program's arguments as it was started, argument 0 first, the toolkit's options included.
    virtual QStringList commandLineArguments() const = 0;
    // The directory of the system's C library.
    virtual QByteArray systemDirectory() const = 0;
    // The version a file carries, or none.
    virtual std::optional<FileVersion> fileVersion(const QByteArray& file) const = 0;
    // The Windows locale identifier of the user's locale, 0 when it has none.
    virtual std::uint32_t localeIdentifier() const = 0;
    // The user's formats, in QLocale's notation, and the local time now.
    virtual QString shortDateFormat() const = 0;
    virtual QString longTimeFormat() const = 0;
    virtual QDateTime currentDateTime() const = 0;
    virtual bool directoryExists(const QByteArray& directory) const = 0;
    // The files below may lie in a directory shared with other users, who could plant a link or
    // a file of their own there: none of them follows a link at the path, and none touches a
    // file the user does not own.
    // Deletes a regular file the user owns; anything else is left alone. Whether it deleted one.
    virtual bool removeOwnedFile(const QByteArray& file) = 0;
    // Creates an empty file readable by the user only; fails when anything exists there.
    virtual bool createNewFile(const QByteArray& file) = 0;
    // Empties a regular file the user owns, for a folder that does not let it be removed.
    // Whether it emptied one.
    virtual bool emptyOwnedFile(const QByteArray& file) = 0;
    // Appends `bytes` to a regular file the user owns, creating it as createNewFile does when
    // nothing exists there. Whether all of them were written.
    virtual bool appendToFile(const QByteArray& file, const QByteArray& bytes) = 0;
};

// The platform in use: the machine's own unless a test installed another.
Platform& platform();

// Makes `replacement` the platform in use until the returned guard goes; guards nest.
class ScopedPlatform {
public:
    explicit ScopedPlatform(Platform& replacement);
    ~ScopedPlatform();
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;

private:
    Platform* previous_;
};

}  // namespace quorbelix
