#include "AppTestSupport.h"

#include <gtest/gtest.h>
#include <QTest>
#include <QToolBar>

#include "AlignEdit.h"

namespace quorbelix::test {

ErrorBoxRecorder::ErrorBoxRecorder()
    : previous_(Application::instance()->setErrorBoxPresenter([this](QMessageBox& box) {
          shown.push_back({box.windowTitle(), box.text(), box.icon(), box.standardButtons()});
      })) {}

ErrorBoxRecorder::~ErrorBoxRecorder() {
    Application::instance()->setErrorBoxPresenter(previous_);
}

void runDuringWait(FakePlatform& clock, int reading, std::function<void()> command) {
    clock.onTickReading = [&clock, reading, command = std::move(command)](int index) {
        if (index == reading) {
            QMetaObject::invokeMethod(QCoreApplication::instance(), command, Qt::QueuedConnection);
            clock.ticks -= clock.ticksPerReading / 2;
        }
    };
}

bool commandEnabled(const QAction* button, const QAction* item) {
    EXPECT_EQ(button->isEnabled(), item->isEnabled())
        << button->objectName().toStdString() << " and " << item->objectName().toStdString();
    return button->isEnabled();
}

void setBoxes(TForm1& form, const std::array<const char*, 7>& texts) {
    const std::array<TAlignEdit*, 7> boxes{form.AlignEdit1, form.AlignEdit2, form.AlignEdit3,
                                           form.AlignEdit4, form.AlignEdit5, form.AlignEdit6,
                                           form.AlignEdit7};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        boxes[i]->setText(QString::fromUtf8(texts[i]));
    }
}

void clickButton(TForm1& form, QAction* action) {
    QWidget* button = form.ToolBar1->widgetForAction(action);
    ASSERT_NE(button, nullptr) << action->objectName().toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace quorbelix::test
