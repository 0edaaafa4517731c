#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

// Widgets need an application; it is made only when tests run, not when they are listed.
class Application : public ::testing::Environment {
public:
    Application(int& argc, char** argv) : argc_(argc), argv_(argv) {}
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int& argc_;
    char** argv_;
    std::unique_ptr<QApplication> app_;
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new Application(argc, argv));
    return RUN_ALL_TESTS();
}
