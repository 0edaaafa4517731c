#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "FakePlatform.h"
#include "LinuxPlatform.h"

namespace quorbelix {
namespace {

TEST(MemoryStatus, LoadIsTheRoundedShareInUse) {
    EXPECT_EQ((MemoryStatus{1000, 1000}.memoryLoadPercent()), 0);
    EXPECT_EQ((MemoryStatus{1000, 0}.memoryLoadPercent()), 100);
    EXPECT_EQ((MemoryStatus{1000, 625}.memoryLoadPercent()), 38);
    EXPECT_EQ((MemoryStatus{0, 0}.memoryLoadPercent()), 0);
    // More available than total (a racy reading) is no negative load.
    EXPECT_EQ((MemoryStatus{1000, 2000}.memoryLoadPercent()), 0);
    constexpr std::uint64_t huge = UINT64_MAX;
    EXPECT_EQ((MemoryStatus{huge, huge / 2}.memoryLoadPercent()), 50);
}

TEST(ScopedPlatform, InstallsAndRestoresNestedReplacements) {
    Platform& machine = platform();
    FakePlatform outer;
    {
        ScopedPlatform outerGuard(outer);
        EXPECT_EQ(&platform(), &outer);
        FakePlatform inner;
        {
            ScopedPlatform innerGuard(inner);
            EXPECT_EQ(&platform(), &inner);
        }
        EXPECT_EQ(&platform(), &outer);
    }
    EXPECT_EQ(&platform(), &machine);
}

TEST(LinuxPlatform, ReadsTheMachine) {
    LinuxPlatform linux;
    const MemoryStatus memory = linux.memoryStatus();
    EXPECT_GT(memory.totalPhysicalBytes, 0U);
    EXPECT_LE(memory.availablePhysicalBytes, memory.totalPhysicalBytes);
    EXPECT_TRUE(
        QFileInfo(QFile::decodeName(linux.executableDirectory() + "/platform_tests")).isFile());
    EXPECT_TRUE(linux.systemVersion().startsWith(QStringLiteral("Linux ")));
    // The counter moves forward (unsigned difference, so a wrap in between is harmless).
    const std::uint32_t before = linux.tickCount();
    timespec pause{0, 20'000'000};
    nanosleep(&pause, nullptr);
    const std::uint32_t elapsed = linux.tickCount() - before;
    EXPECT_GE(elapsed, 19U);
    EXPECT_LT(elapsed, 60'000U);
    linux.beep();  // Without a GUI application there is nothing to ring: no crash.
}

TEST(LinuxPlatform, TheLocaleIdentifierKeepsTheScriptOfTheLocaleQtNames) {
    // Qt names the system locale after LC_ALL, then LC_MESSAGES, then LANG.
    const char* variables[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    QByteArray saved[3];
    for (int index = 0; index < 3; ++index) {
        saved[index] = qgetenv(variables[index]);
    }
    const auto set = [&variables](const char* all, const char* messages, const char* lang) {
        const char* values[] = {all, messages, lang};
        for (int index = 0; index < 3; ++index) {
            qputenv(variables[index], values[index]);
        }
    };
    const LinuxPlatform linux;
    set("sr_RS@latin", "de_DE", "fr_FR");
    EXPECT_EQ(linux.localeIdentifier(), 0x241AU);
    set("sr_RS.UTF-8@cyrillic", "", "");
    EXPECT_EQ(linux.localeIdentifier(), 0x281AU);
    set("", "de_DE.UTF-8", "fr_FR");
    EXPECT_EQ(linux.localeIdentifier(), 0x0407U);
    set("", "", "fr_FR.UTF-8");
    EXPECT_EQ(linux.localeIdentifier(), 0x040CU);
    set("", "", "");
    EXPECT_EQ(linux.localeIdentifier(), 0U);
    for (int index = 0; index < 3; ++index) {
        if (saved[index].isNull()) {
            qunsetenv(variables[index]);
        } else {
            qputenv(variables[index], saved[index]);
        }
    }
}

}  // namespace
}  // namespace quorbelix
