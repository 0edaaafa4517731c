#pragma once

#include <functional>

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
};

}  // namespace quorbelix
