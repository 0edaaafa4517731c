#include "Application.h"

#include <QGuiApplication>

namespace quorbelix {

namespace {

QString messageOf(std::exception_ptr error) {
    try {
        std::rethrow_exception(std::move(error));
    } catch (const std::exception& known) {
        return QString::fromUtf8(known.what());
    } catch (...) {
        return QObject::tr("Exception inconnue");
    }
}

}  // namespace

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv), presenter_([](QMessageBox& box) { box.exec(); }) {}

Application* Application::instance() {
    return qobject_cast<Application*>(QCoreApplication::instance());
}

void Application::handleException(std::exception_ptr error) {
    const auto box = makeErrorBox(std::move(error), activeWindow());
    presenter_(*box);
}

Application::ErrorBoxPresenter Application::setErrorBoxPresenter(ErrorBoxPresenter presenter) {
    return std::exchange(presenter_, std::move(presenter));
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        handleException(std::current_exception());
        return false;
    }
}

QString errorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) {
        return message + QLatin1Char('.');
    }
    return message;
}

std::unique_ptr<QMessageBox> makeErrorBox(std::exception_ptr error, QWidget* parent) {
    return std::make_unique<QMessageBox>(
        QMessageBox::Critical, QGuiApplication::applicationDisplayName(),
        errorBoxText(messageOf(std::move(error))), QMessageBox::Ok, parent);
}

void handleException(std::exception_ptr error) {
    if (Application* application = Application::instance()) {
        application->handleException(std::move(error));
    } else {
        makeErrorBox(std::move(error), QApplication::activeWindow())->exec();
    }
}

}  // namespace quorbelix
