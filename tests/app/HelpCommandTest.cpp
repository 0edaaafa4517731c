#include <gtest/gtest.h>

#include <dlfcn.h>
#include <QCoreApplication>

#include "AppTestSupport.h"
#include "HelpTestSupport.h"
#include "hh.h"

namespace quorbelix::test {
namespace {

HelpWindowHandle recordHtmlHelpA(HelpWindowHandle caller, const char* file, std::uint32_t command,
                                 std::uintptr_t data) {
    recordHelpCall("HtmlHelpA", caller, file, command, data);
    return 0;
}

class HelpCommand : public ::testing::Test {
protected:
    void TearDown() override {
        hh::UnbindHelpControl();
        helpCalls.clear();
    }
};

TEST_F(HelpCommand, OpensTheHelpFileBesideTheProgramOnTheDesktop) {
    FakePlatform fake;
    ScopedPlatform guard(fake);
    const QString path = QStringLiteral("/opt/quorbelix/libquorbelix-htmlhelp.so.1");
    installHelpControl(fake, path,
                       {{"HtmlHelpA", reinterpret_cast<LibraryFunction>(&recordHtmlHelpA)}});
    hh::startUp();

    ErrorBoxRecorder errors;
    {
        TForm1 form;
        clickButton(form, form.tlbtnAide);
        form.Rubriquesdelaide1->trigger();
    }
    // The fake's library is released by the fake.
    hh::shutDown();
    const std::string call = "HtmlHelpA 483 /opt/quorbelix/Quorbelix.chm 0 0";  // 483 = 0x1e3
    EXPECT_EQ(helpCalls, (std::vector<std::string>{call, call, "HtmlHelpA 0 null 18 0"}));
    EXPECT_TRUE(errors.shown.empty());
}

// The help windows close with the game, before the help control leaves the process.
TEST_F(HelpCommand, ClosesTheHelpWindowsBeforeTheControlIsReleased) {
    RegistryFilePlatform registry(registering(HELP_CONTROL_DOUBLE));
    hh::startUp();
    ASSERT_NE(hh::HelpControlHandle, nullptr);
    using Recorder = void (*)(decltype(&recordHelpCall));
    reinterpret_cast<Recorder>(dlsym(hh::HelpControlHandle, "SetHelpCallRecorder"))(
        &recordHelpCall);
    {
        TForm1 form;
        form.Rubriquesdelaide1->trigger();
    }
    hh::shutDown();
    const std::string helpFile =
        QCoreApplication::applicationDirPath().toStdString() + "/Quorbelix.chm";
    EXPECT_EQ(helpCalls, (std::vector<std::string>{"HtmlHelpA 0 " + helpFile + " 0 0",
                                                   "HtmlHelpA 0 null 18 0", "unloaded"}));
}

TEST_F(HelpCommand, WithoutAControlTellsWhyAndCallsNothing) {
    FakePlatform fake;
    ScopedPlatform guard(fake);
    hh::startUp();
    ErrorBoxRecorder errors;
    {
        TForm1 form;
        form.Rubriquesdelaide1->trigger();
        ASSERT_EQ(errors.shown.size(), 1U);
        EXPECT_TRUE(errors.shown[0].text.startsWith(QStringLiteral("L'aide n'est pas disponible")))
            << errors.shown[0].text.toStdString();
    }
    hh::shutDown();
    EXPECT_TRUE(fake.libraryCalls.empty());
}

}  // namespace
}  // namespace quorbelix::test
