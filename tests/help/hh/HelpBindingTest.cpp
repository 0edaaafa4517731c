#include <gtest/gtest.h>

#include <dlfcn.h>
#include <QFileInfo>

#include "FakePlatform.h"
#include "HelpTestSupport.h"
#include "hh.h"

namespace quorbelix::test {
namespace {

using Recorder = void (*)(void (*)(const char*, HelpWindowHandle, const char*, std::uint32_t,
                                   std::uintptr_t));

// Every test leaves the binding empty, as the program starts.
class HelpBinding : public ::testing::Test {
protected:
    void TearDown() override {
        hh::UnbindHelpControl();
        helpCalls.clear();
    }

    // Binds, and has the bound library record its calls.
    static void bindRecording() {
        hh::BindHelpControl();
        ASSERT_NE(hh::HelpControlHandle, nullptr);
        auto setRecorder =
            reinterpret_cast<Recorder>(dlsym(hh::HelpControlHandle, "SetHelpCallRecorder"));
        ASSERT_NE(setRecorder, nullptr);
        setRecorder(&recordHelpCall);
    }

    static void expectUnbound() {
        EXPECT_EQ(hh::HelpControlHandle, nullptr);
        EXPECT_EQ(hh::HtmlHelpA, nullptr);
        EXPECT_EQ(hh::HtmlHelpW, nullptr);
        EXPECT_EQ(hh::HtmlHelp, nullptr);
    }
};

TEST_F(HelpBinding, LocatesTheControlNamedByAnExistingFile) {
    {
        RegistryFilePlatform registry(registering(HELP_CONTROL_DOUBLE));
        EXPECT_EQ(hh::LocateHelpControl(), QStringLiteral(HELP_CONTROL_DOUBLE));
    }
    const QByteArray notFound[] = {
        "",                                                                // an empty registry file
        "REGEDIT4\n[HKEY_CLASSES_ROOT\\CLSID\\{other}\\InprocServer32]\n"  // another key
        "@=\"" HELP_CONTROL_DOUBLE "\"\n",
        registering(HELP_CONTROL_DOUBLE ".absent"),  // no such file
        registering("%HELP_DIR%/" + QFileInfo(HELP_CONTROL_DOUBLE).fileName().toUtf8()),
        registering(HELP_CONTROL_DOUBLE).chopped(2),  // truncated line
    };
    qputenv("HELP_DIR", QFileInfo(HELP_CONTROL_DOUBLE).path().toUtf8());
    for (const QByteArray& contents : notFound) {
        RegistryFilePlatform registry(contents);
        EXPECT_EQ(hh::LocateHelpControl(), QString()) << contents.toStdString();
        hh::BindHelpControl();
        expectUnbound();
    }
    qunsetenv("HELP_DIR");
}

// A default value of another type than text once ended the program at start-up.
TEST_F(HelpBinding, ANonTextValueCountsAsNotFound) {
    RegistryFilePlatform registry(
        "REGEDIT4\n"
        "[HKEY_CLASSES_ROOT\\CLSID\\{adb880a6-d8ff-11cf-9377-00aa003b7a11}\\InprocServer32]\n"
        "@=dword:00000001\n");
    EXPECT_EQ(hh::LocateHelpControl(), QString());
    hh::startUp();
    expectUnbound();
}

TEST_F(HelpBinding, LoadsOnceAndReleasesOnce) {
    RegistryFilePlatform registry(registering(HELP_CONTROL_DOUBLE));
    bindRecording();
    void* const handle = hh::HelpControlHandle;
    hh::BindHelpControl();
    EXPECT_EQ(hh::HelpControlHandle, handle);
    // Each slot holds its own export.
    ASSERT_NE(hh::HtmlHelpW, nullptr);
    EXPECT_EQ(hh::HtmlHelp(1, "a", 2, 3), 0x51U);
    EXPECT_EQ(hh::HtmlHelpA(1, "a", 2, 3), 0x51U);
    EXPECT_EQ(hh::HtmlHelpW(1, u"a", 2, 3), 0x57U);

    // One release unloads it: it was loaded only once.
    hh::UnbindHelpControl();
    expectUnbound();
    EXPECT_EQ(helpCalls.back(), "unloaded");
    EXPECT_EQ(dlopen(HELP_CONTROL_DOUBLE, RTLD_NOW | RTLD_NOLOAD), nullptr);
}

TEST_F(HelpBinding, ALibraryWithoutTheWideEntryLeavesThatSlotEmpty) {
    RegistryFilePlatform registry(registering(HELP_CONTROL_DOUBLE_NARROW));
    hh::BindHelpControl();
    EXPECT_NE(hh::HelpControlHandle, nullptr);
    EXPECT_NE(hh::HtmlHelpA, nullptr);
    EXPECT_EQ(hh::HtmlHelpW, nullptr);
    EXPECT_EQ(hh::HtmlHelp, hh::HtmlHelpA);
}

TEST_F(HelpBinding, AFileThatDoesNotLoadLeavesEverythingEmpty) {
    // The registry file itself exists but is no library.
    RegistryFilePlatform registry("");
    QFile file(registry.registryFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(registering(QFile::encodeName(registry.registryFile())));
    file.close();
    ASSERT_FALSE(hh::LocateHelpControl().isEmpty());
    hh::BindHelpControl();
    expectUnbound();
}

// The steps in the platform's terms: one load, the three resolutions in order, one release, and
// nothing at all when there is nothing to release.
TEST_F(HelpBinding, AsksThePlatformInOrder) {
    FakePlatform fake;
    ScopedPlatform guard(fake);
    const QString path = QStringLiteral("/opt/quorbelix/libquorbelix-htmlhelp.so.1");
    installHelpControl(fake, path);

    hh::UnbindHelpControl();
    hh::BindHelpControl();
    hh::BindHelpControl();
    hh::UnbindHelpControl();
    hh::UnbindHelpControl();
    const std::vector<std::string> expected{"load " + path.toStdString(), "resolve HtmlHelpA",
                                            "resolve HtmlHelpW", "resolve HtmlHelpA",
                                            "release " + path.toStdString()};
    EXPECT_EQ(fake.libraryCalls, expected);
    expectUnbound();
}

}  // namespace
}  // namespace quorbelix::test
