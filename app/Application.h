#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <utility>

namespace quorbelix {

// The application object, holding the program's default error handler: an exception that leaves
// an event handler is shown once in a message box and the program goes on.
class Application : public QApplication {
    Q_OBJECT

public:
    // Shows the error box; the default runs it modally. Tests put their own in place to see the
    // box without blocking on it.
    using ErrorBoxPresenter = std::function<void(QMessageBox& box)>;

    // Also gives the application its names, version, title, icon, look and translations, so that
    // the program and the widget tests run with the same set-up.
    Application(int& argc, char** argv);

    // The running application object, or null when there is none of this class.
    static Application* instance();

    // The default error handler: shows `error` to the user and returns.
    void handleException(std::exception_ptr error);

    // Returns the presenter that was in place.
    ErrorBoxPresenter setErrorBoxPresenter(ErrorBoxPresenter presenter);

    // Last line of defence for an exception thrown by one of our own event handlers; handlers
    // of commands are guarded by runHandler() before their exception reaches the toolkit.
    bool notify(QObject* receiver, QEvent* event) override;

private:
    void installTranslations();

    ErrorBoxPresenter presenter_;
};

// The program's title, "Quorbelix 1.0": its name and the major and minor parts of its version.
QString applicationTitle();

// The text the error box shows for `message`: a full stop is added when the last character sorts
// after ".", so that a sentence ends with one but a message ending in ")" or "." is left alone.
QString errorBoxText(const QString& message);

// The box that reports `error`: the application title as caption, an error icon, one OK button.
std::unique_ptr<QMessageBox> makeErrorBox(std::exception_ptr error, QWidget* parent = nullptr);

// Passes `error` to the application's default error handler, or shows the box itself when the
// application object is not ours.
void handleException(std::exception_ptr error);

// Runs a command's handler. Qt's widget libraries are built without exception support, so an
// exception must not unwind through them: it is stopped here, at the handler's edge, and handed
// to the default error handler.
template <typename Handler>
void runHandler(Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        handleException(std::current_exception());
    }
}

}  // namespace quorbelix
