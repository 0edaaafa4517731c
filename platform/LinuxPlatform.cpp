#include "LinuxPlatform.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <ctime>
#include <fstream>
#include <string>

// Xlib defines macros (Bool, Status) that clash with Qt's headers: it comes last.
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <sys/utsname.h>

namespace quorbelix {

namespace {

// Reads one "Name: value kB" line of /proc/meminfo; 0 when absent.
std::uint64_t meminfoBytes(const std::string& name) {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t kilobytes = 0;
    std::string unit;
    while (meminfo >> key >> kilobytes >> unit) {
        if (key == name + ":") {
            return kilobytes * 1024;
        }
    }
    return 0;
}

}  // namespace

LinuxPlatform::LinuxPlatform(std::filesystem::path registryFile)
    : registryFile_(std::move(registryFile)) {}

std::uint32_t LinuxPlatform::tickCount() const {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const auto milliseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000U +
                              static_cast<std::uint64_t>(now.tv_nsec) / 1'000'000U;
    return static_cast<std::uint32_t>(milliseconds);
}

void LinuxPlatform::beep() {
    // The X server's bell is the desktop's alert sound; other display servers stay silent.
    auto* guiApp = qGuiApp;
    if (guiApp == nullptr) {
        return;
    }
    if (auto* x11 = guiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        if (Display* display = x11->display()) {
            XBell(display, 0);
            XFlush(display);
        }
    }
}

MemoryStatus LinuxPlatform::memoryStatus() const {
    return MemoryStatus{meminfoBytes("MemTotal"), meminfoBytes("MemAvailable")};
}

QString LinuxPlatform::thousandsSeparator() const {
    return QLocale::system().groupSeparator();
}

QString LinuxPlatform::decimalSeparator() const {
    return QLocale::system().decimalPoint();
}

std::filesystem::path LinuxPlatform::executableDirectory() const {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : executable.parent_path();
}

std::filesystem::path LinuxPlatform::temporaryDirectory() const {
    std::error_code error;
    const auto directory = std::filesystem::temp_directory_path(error);
    return error ? std::filesystem::path("/tmp") : directory;
}

QString LinuxPlatform::systemVersion() const {
    utsname name{};
    if (uname(&name) != 0) {
        return QStringLiteral("Linux");
    }
    return QString::fromLocal8Bit(name.sysname) + u' ' + QString::fromLocal8Bit(name.release);
}

// --- The help control: registry, files, libraries and the desktop window ---

RegistryValue LinuxPlatform::registryDefaultValue(QStringView key) const {
    // Read afresh each time: the file is small and read once or twice in a run.
    const auto file =
        registryFile_.empty() ? executableDirectory() / "quorbelix.reg" : registryFile_;
    return RegistryFile::read(file).defaultValue(key);
}

bool LinuxPlatform::fileExists(const QString& path) const {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

LibraryHandle LinuxPlatform::loadLibrary(const QString& path) {
    return dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
}

LibraryFunction LinuxPlatform::resolveSymbol(LibraryHandle library, const char* name) {
    // POSIX guarantees that a function's address survives the trip through void*.
    return reinterpret_cast<LibraryFunction>(dlsym(library, name));
}

void LinuxPlatform::releaseLibrary(LibraryHandle library) {
    dlclose(library);
}

std::uintptr_t LinuxPlatform::desktopWindow() const {
    auto* guiApp = qGuiApp;
    if (guiApp == nullptr) {
        return 0;
    }
    if (auto* x11 = guiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        if (Display* display = x11->display()) {
            return DefaultRootWindow(display);
        }
    }
    return 0;
}

}  // namespace quorbelix
