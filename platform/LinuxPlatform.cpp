#include "LinuxPlatform.h"

#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QRegularExpression>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unicode/uloc.h>
#include <unistd.h>

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
    // The X server's bell is the desktop's alert sound; other display servers stay silent. It is
    // the bell QApplication::beep() rings through Qt's X11 plugin, but that call belongs to the
    // widgets library, and Qt Gui has no public equivalent.
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

QByteArray LinuxPlatform::executableDirectory() const {
    // No guess from the working folder: that may be anyone's, or gone.
    const QByteArray file = moduleFileName();
    if (file.isEmpty()) {
        return {};
    }
    const QByteArray directory = file.left(file.lastIndexOf('/'));
    return directory.isEmpty() ? QByteArrayLiteral("/") : directory;
}

QByteArray LinuxPlatform::temporaryDirectory() const {
    // $TMPDIR when it names a directory, else /tmp, whether or not that exists: callers that
    // need it check. A relative $TMPDIR is taken from the working folder now, at start-up, so
    // that the files placed there keep a full name; with that folder gone it is no use.
    const char* variable = std::getenv("TMPDIR");
    if (variable == nullptr || *variable == '\0') {
        return QByteArrayLiteral("/tmp");
    }
    std::error_code error;
    const std::filesystem::path directory = std::filesystem::absolute(variable, error);
    if (error || !std::filesystem::is_directory(directory, error)) {
        return QByteArrayLiteral("/tmp");
    }
    return QByteArray::fromStdString(directory.native());
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
    std::filesystem::path file = registryFile_;
    if (file.empty()) {
        const QByteArray directory = executableDirectory();
        if (directory.isEmpty()) {
            return {};
        }
        file = (directory + "/quorbelix.reg").toStdString();
    }
    return RegistryFile::read(file).defaultValue(key);
}

bool LinuxPlatform::fileExists(const QByteArray& path) const {
    struct stat status {};
    return !path.isEmpty() && stat(path.constData(), &status) == 0 && S_ISREG(status.st_mode);
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

// --- What the help diagnostics read and the files they write ---

namespace {

std::vector<std::string>& keptCommandLine() {
    static std::vector<std::string> arguments;
    return arguments;
}

// The open descriptor names a regular file of the user's own.
bool isOwnedRegularFile(int descriptor) {
    struct stat status {};
    return fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == geteuid();
}

// Writes all of `bytes`, going on after a partial write or a signal.
bool writeAll(int descriptor, const QByteArray& bytes) {
    const char* data = bytes.constData();
    auto remaining = static_cast<std::size_t>(bytes.size());
    while (remaining > 0) {
        const ssize_t written = write(descriptor, data, remaining);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        remaining -= static_cast<std::size_t>(written);
    }
    return true;
}

// Exclusive creation never follows a link and never opens what is already there. O_NONBLOCK
// keeps a planted FIFO from blocking the open; it changes nothing for a regular file.
constexpr int createFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
constexpr mode_t ownerOnly = S_IRUSR | S_IWUSR;
// What is already there is opened without following a link at the name, and a FIFO without
// waiting for a reader; the open file is then checked before anything is written.
constexpr int existingFlags = O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

// The file starts with the header of an ELF shared object, in either byte order.
bool isSharedObject(const std::filesystem::path& file) {
    const int descriptor = open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    struct stat status {};
    unsigned char header[EI_NIDENT + 2] = {};
    const bool complete =
        fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) &&
        read(descriptor, header, sizeof header) == static_cast<ssize_t>(sizeof header);
    close(descriptor);
    if (!complete || std::memcmp(header, ELFMAG, SELFMAG) != 0) {
        return false;
    }
    const unsigned type = header[EI_DATA] == ELFDATA2MSB
                              ? header[EI_NIDENT] << 8U | header[EI_NIDENT + 1]
                              : header[EI_NIDENT + 1] << 8U | header[EI_NIDENT];
    return type == ET_DYN;
}

// A POSIX locale name, language[_territory][.codeset][@modifier], as ICU names it: the codeset
// goes, and the modifiers that name a script become the script.
QByteArray icuLocaleName(const QByteArray& posix) {
    static constexpr std::pair<const char*, const char*> scripts[] = {
        {"latin", "Latn"}, {"cyrillic", "Cyrl"}, {"devanagari", "Deva"}};
    const qsizetype at = posix.indexOf('@');
    QByteArray name = at < 0 ? posix : posix.left(at);
    const QByteArray modifier = at < 0 ? QByteArray() : posix.mid(at + 1);
    name.truncate(name.indexOf('.') < 0 ? name.size() : name.indexOf('.'));
    for (const auto& [posixModifier, script] : scripts) {
        if (modifier == posixModifier) {
            const qsizetype underscore = name.indexOf('_');
            name.insert(underscore < 0 ? name.size() : underscore, QByteArray("_") + script);
        }
    }
    return name;
}

}  // namespace

void LinuxPlatform::keepCommandLine(int argc, const char* const* argv) {
    keptCommandLine().assign(argv, argv + argc);
}

QByteArray LinuxPlatform::moduleFileName() const {
    // Read whole, however long the path. Without /proc, or for a path longer than the system
    // takes (which names no file that could be opened beside the program), the kernel says
    // nothing.
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? QByteArray() : QByteArray::fromStdString(executable.native());
}

QStringList LinuxPlatform::commandLineArguments() const {
    QStringList arguments;
    if (!keptCommandLine().empty()) {
        for (const std::string& argument : keptCommandLine()) {
            arguments.append(QString::fromLocal8Bit(argument));
        }
        return arguments;
    }
    // The kernel's copy: the arguments separated by NUL characters.
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    std::string argument;
    while (std::getline(file, argument, '\0')) {
        arguments.append(QString::fromLocal8Bit(argument));
    }
    return arguments;
}

QByteArray LinuxPlatform::systemDirectory() const {
    // Where the dynamic linker found the C library; gnu_get_libc_version is one of its symbols
    // that no sanitizer or preloaded library replaces.
    Dl_info info{};
    void* symbol = dlsym(RTLD_DEFAULT, "gnu_get_libc_version");
    if (symbol == nullptr || dladdr(symbol, &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    const QByteArray library(info.dli_fname);
    return library.left(library.lastIndexOf('/'));
}

std::optional<FileVersion> LinuxPlatform::fileVersion(const QByteArray& file) const {
    // A shared library's version lives in its real name, the one its links lead to:
    // libX.so.6 -> libX.so.6.4.2 reads as 6.4.2.0, libX.so.1.2 as 1.2.0.0.
    std::error_code error;
    const auto real = std::filesystem::canonical(file.toStdString(), error);
    if (error || !isSharedObject(real)) {
        return std::nullopt;
    }
    static const QRegularExpression versioned(QStringLiteral(R"(\.so\.(\d+)\.(\d+)(?:\.(\d+))?$)"));
    const QRegularExpressionMatch match =
        versioned.match(QFile::decodeName(real.filename().c_str()));
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    FileVersion version{};
    for (int part = 0; part < 3; ++part) {
        const QString digits = match.captured(part + 1);
        if (digits.isEmpty()) {
            continue;
        }
        bool ok = false;
        const uint number = digits.toUInt(&ok);
        if (!ok || number > 0xFFFF) {
            return std::nullopt;
        }
        version[static_cast<std::size_t>(part)] = static_cast<std::uint16_t>(number);
    }
    return version;
}

std::uint32_t LinuxPlatform::localeIdentifier() const {
    // The locale QLocale::system() is named after: LC_ALL, then LC_MESSAGES, then LANG. Its name
    // drops the script that a modifier gives ("sr_RS@latin" is Serbian in Latin letters), so the
    // identifier is made from the variable itself.
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray name = qgetenv(variable);
        if (!name.isEmpty()) {
            return uloc_getLCID(icuLocaleName(name).constData());
        }
    }
    return 0;
}

QString LinuxPlatform::shortDateFormat() const {
    return QLocale::system().dateFormat(QLocale::ShortFormat);
}

QString LinuxPlatform::longTimeFormat() const {
    return QLocale::system().timeFormat(QLocale::LongFormat);
}

QDateTime LinuxPlatform::currentDateTime() const {
    return QDateTime::currentDateTime();
}

bool LinuxPlatform::directoryExists(const QByteArray& directory) const {
    struct stat status {};
    return stat(directory.constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool LinuxPlatform::removeOwnedFile(const QByteArray& file) {
    // lstat looks at the name itself: a link is not a regular file, whatever it points to.
    struct stat status {};
    if (lstat(file.constData(), &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_uid != geteuid()) {
        return false;
    }
    return unlink(file.constData()) == 0;
}

bool LinuxPlatform::createNewFile(const QByteArray& file) {
    const int descriptor = open(file.constData(), createFlags, ownerOnly);
    if (descriptor < 0) {
        return false;
    }
    close(descriptor);
    return true;
}

bool LinuxPlatform::emptyOwnedFile(const QByteArray& file) {
    // Opened without O_TRUNC: the file is emptied only once it is known to be the user's own.
    const int descriptor = open(file.constData(), existingFlags);
    if (descriptor < 0) {
        return false;
    }
    const bool emptied = isOwnedRegularFile(descriptor) && ftruncate(descriptor, 0) == 0;
    const bool closed = close(descriptor) == 0;
    return emptied && closed;
}

bool LinuxPlatform::appendToFile(const QByteArray& file, const QByteArray& bytes) {
    int descriptor = open(file.constData(), existingFlags | O_APPEND);
    if (descriptor < 0 && errno == ENOENT) {
        descriptor = open(file.constData(), createFlags | O_APPEND, ownerOnly);
    }
    if (descriptor < 0) {
        return false;
    }
    // Checked on the open file, so that nothing can be swapped in between check and write.
    const bool written = isOwnedRegularFile(descriptor) && writeAll(descriptor, bytes);
    const bool closed = close(descriptor) == 0;
    return written && closed;
}

}  // namespace quorbelix
