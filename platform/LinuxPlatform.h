#pragma once

#include "Platform.h"

namespace quorbelix {

// The machine's own platform on Linux.
class LinuxPlatform final : public Platform {
public:
    std::uint32_t tickCount() const override;
    void beep() override;
    MemoryStatus memoryStatus() const override;
    QString thousandsSeparator() const override;
    QString decimalSeparator() const override;
    std::filesystem::path executableDirectory() const override;
    std::filesystem::path temporaryDirectory() const override;
    QString systemVersion() const override;
};

}  // namespace quorbelix
