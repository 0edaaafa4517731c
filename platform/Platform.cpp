#include "Platform.h"

#include "LinuxPlatform.h"

namespace quorbelix {

namespace {

Platform*& installedPlatform() {
    static Platform* installed = nullptr;
    return installed;
}

}  // namespace

int MemoryStatus::memoryLoadPercent() const {
    if (totalPhysicalBytes == 0) {
        return 0;
    }
    const auto available = std::min(availablePhysicalBytes, totalPhysicalBytes);
    const auto used = totalPhysicalBytes - available;
    // Rounded to the nearest whole percent without overflowing for any 64-bit figure.
    const long double share =
        static_cast<long double>(used) * 100.0L / static_cast<long double>(totalPhysicalBytes);
    return static_cast<int>(share + 0.5L);
}

Platform& platform() {
    static LinuxPlatform machine;
    Platform* installed = installedPlatform();
    return installed != nullptr ? *installed : machine;
}

ScopedPlatform::ScopedPlatform(Platform& replacement) : previous_(installedPlatform()) {
    installedPlatform() = &replacement;
}

ScopedPlatform::~ScopedPlatform() {
    installedPlatform() = previous_;
}

}  // namespace quorbelix
