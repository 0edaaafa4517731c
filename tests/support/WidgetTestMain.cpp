#include <gtest/gtest.h>

#include <memory>

#include "Application.h"

namespace {

// Every widget test runs in the program's own application object, set up as main() sets it up.
// The object exists while the tests run, not while ctest lists them, so that listing needs no
// display.
class ApplicationEnvironment : public ::testing::Environment {
public:
    ApplicationEnvironment(int& argc, char** argv) : argc_(argc), argv_(argv) {}

    void SetUp() override {
        application_ = std::make_unique<quorbelix::Application>(argc_, argv_);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override { application_.reset(); }

private:
    int& argc_;
    char** argv_;
    std::unique_ptr<quorbelix::Application> application_;
};

}  // namespace

int main(int argc, char** argv) {
    // Run by hand, the tests open no windows on the desktop either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment(argc, argv));
    return RUN_ALL_TESTS();
}
