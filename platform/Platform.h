#pragma once

#include <QString>
#include <cstdint>
#include <filesystem>

#include "RegistryFile.h"

namespace quorbelix {

// What the machine says of its memory.
// A library loaded at run time; null for none.
using LibraryHandle = void*;
// Any function of a loaded library, to be converted to its real type by the caller.
using LibraryFunction = void (*)();

struct MemoryStatus {
    std::uint64_t totalPhysicalBytes = 0;
    std::uint64_t availablePhysicalBytes = 0;

    // Share of physical memory in use, 0 to 100.
    int memoryLoadPercent() const;
};

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
    virtual std::filesystem::path executableDirectory() const = 0;
    virtual std::filesystem::path temporaryDirectory() const = 0;
    // Name and release of the operating system, for instance "Linux 6.1.0".
    virtual QString systemVersion() const = 0;

    // --- The help control: registry, files, libraries and the desktop window ---
    // The default value of a registry key, named in full ("HKEY_CLASSES_ROOT\CLSID\...").
    virtual RegistryValue registryDefaultValue(QStringView key) const = 0;
    // Whether a file (not a directory) exists at `path`.
    virtual bool fileExists(const QString& path) const = 0;
    // Loads the library at `path`; null when it cannot be loaded.
    virtual LibraryHandle loadLibrary(const QString& path) = 0;
    // The library's export `name`; null when it has none.
    virtual LibraryFunction resolveSymbol(LibraryHandle library, const char* name) = 0;
    virtual void releaseLibrary(LibraryHandle library) = 0;
    // The native handle of the desktop's root window; 0 where the display server has none.
    virtual std::uintptr_t desktopWindow() const = 0;
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
