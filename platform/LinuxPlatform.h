#pragma once

#include <filesystem>

#include "Platform.h"

namespace quorbelix {

// The machine's own platform on Linux.
class LinuxPlatform final : public Platform {
public:
    // The registry is read from the file "quorbelix.reg" beside the executable; it is empty
    // when the executable's folder is unknown.
    LinuxPlatform() = default;
    // The registry is read from `registryFile`.
    explicit LinuxPlatform(std::filesystem::path registryFile);

    std::uint32_t tickCount() const override;
    void beep() override;
    MemoryStatus memoryStatus() const override;
    QString thousandsSeparator() const override;
    QString decimalSeparator() const override;
    QByteArray executableDirectory() const override;
    QByteArray temporaryDirectory() const override;
    QString systemVersion() const override;

    // --- The help control: registry, files, libraries and the desktop window ---
    RegistryValue registryDefaultValue(QStringView key) const override;
    bool fileExists(const QByteArray& path) const override;
    LibraryHandle loadLibrary(const QString& path) override;
    LibraryFunction resolveSymbol(LibraryHandle library, const char* name) override;
    void releaseLibrary(LibraryHandle library) override;
    std::uintptr_t desktopWindow() const override;

private:
    // Empty for the file beside the executable.
    std::filesystem::path registryFile_;

public:
    // --- What the help diagnostics read and the files they write ---
    // Keeps the program's arguments as started; main() calls it before the application object
    // takes the toolkit's options out of argv. Without it the arguments are read from /proc.
    static void keepCommandLine(int argc, const char* const* argv);
    QByteArray moduleFileName() const override;
    QStringList commandLineArguments() const override;
    QByteArray systemDirectory() const override;
    std::optional<FileVersion> fileVersion(const QByteArray& file) const override;
    std::uint32_t localeIdentifier() const override;
    QString shortDateFormat() const override;
    QString longTimeFormat() const override;
    QDateTime currentDateTime() const override;
    bool directoryExists(const QByteArray& directory) const override;
    bool removeOwnedFile(const QByteArray& file) override;
    bool createNewFile(const QByteArray& file) override;
    bool emptyOwnedFile(const QByteArray& file) override;
    bool appendToFile(const QByteArray& file, const QByteArray& bytes) override;
};

}  // namespace quorbelix
