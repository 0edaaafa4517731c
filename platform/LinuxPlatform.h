#pragma once

#include "Platform.h"

namespace quorbelix {

// The machine's own platform on Linux.
class LinuxPlatform final : public Platform {
public:
    // The registry is read from the file "quorbelix.reg" beside the executable.
    LinuxPlatform() = default;
    // The registry is read from `registryFile`.
    explicit LinuxPlatform(std::filesystem::path registryFile);

    std::uint32_t tickCount() const override;
    void beep() override;
    MemoryStatus memoryStatus() const override;
    QString thousandsSeparator() const override;
    QString decimalSeparator() const override;
    std::filesystem::path executableDirectory() const override;
    std::filesystem::path temporaryDirectory() const override;
    QString systemVersion() const override;

    // --- The help control: registry, files, libraries and the desktop window ---
    RegistryValue registryDefaultValue(QStringView key) const override;
    bool fileExists(const QString& path) const override;
    LibraryHandle loadLibrary(const QString& path) override;
    LibraryFunction resolveSymbol(LibraryHandle library, const char* name) override;
    void releaseLibrary(LibraryHandle library) override;
    std::uintptr_t desktopWindow() const override;

private:
    // Empty for the file beside the executable.
    std::filesystem::path registryFile_;
};

}  // namespace quorbelix
