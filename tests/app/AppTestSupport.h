#pragma once

#include <QMessageBox>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <vector>

#include "Application.h"
#include "FakePlatform.h"
#include "_Quorbelix.h"

// Readable texts in the messages of failed checks.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace quorbelix::test {

// What an error box would have shown.
struct ShownError {
    QString caption;
    QString text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
};

// Takes the error boxes in place of the user, without blocking, for as long as it lives.
class ErrorBoxRecorder {
public:
    ErrorBoxRecorder();
    ~ErrorBoxRecorder();
    ErrorBoxRecorder(const ErrorBoxRecorder&) = delete;
    ErrorBoxRecorder& operator=(const ErrorBoxRecorder&) = delete;

    std::vector<ShownError> shown;

private:
    Application::ErrorBoxPresenter previous_;
};

// At reading `reading` of `clock`, queues `command` and holds the counter back half a step, so
// that the wait in progress goes to the event loop and runs the command inside the wait.
void runDuringWait(FakePlatform& clock, int reading, std::function<void()> command);

// The enabled state of a command, read from its button and its menu item, which must agree.
bool commandEnabled(const QAction* button, const QAction* item);

// Writes the six plates, then the target, into the boxes.
void setBoxes(TForm1& form, const std::array<const char*, 7>& texts);

// Clicks the tool-bar button of `action`, as the user would.
void clickButton(TForm1& form, QAction* action);

}  // namespace quorbelix::test
