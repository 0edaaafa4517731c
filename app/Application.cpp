#include "Application.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "Accessibility.h"
#include "QuorbelixVersion.h"

namespace quorbelix {

namespace {

QString messageOf(std::exception_ptr error) {
    try {
        std::rethrow_exception(std::move(error));
    } catch (const std::exception& known) {
        return QString::fromUtf8(known.what());
    } catch (...) {
        return QCoreApplication::translate("Application", "Exception inconnue");
    }
}

// The classic look of the program's platform of origin. It is chosen before the application
// object exists, so that the user's -style still wins.
int& withClassicStyle(int& argc) {
    QApplication::setStyle(QStringLiteral("Windows"));
    return argc;
}

void configureApplication() {
    QCoreApplication::setOrganizationName(QStringLiteral("Quorbelix"));
    QCoreApplication::setApplicationName(QStringLiteral("quorbelix"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(version::text));
    // The display name stays unset: Qt adds one to every caption that does not end with it, and
    // the about dialog's "A propos de..." would read "A propos de... — Quorbelix 1.0".
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quorbelix.Quorbelix"));
    // The program's icon, also shown by its dialogs and message boxes.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/Quorbelix.svg")));
}

}  // namespace

QString applicationTitle() {
    return QStringLiteral("Quorbelix %1.%2").arg(version::major).arg(version::minor);
}

Application::Application(int& argc, char** argv)
    : QApplication(withClassicStyle(argc), argv), presenter_([](QMessageBox& box) { box.exec(); }) {
    configureApplication();
    installTranslations();
    installAccessibility();
}

void Application::installTranslations() {
    // The program speaks French, and so do the texts Qt supplies (standard buttons, context
    // menus, the print dialog). A translation of the program's own for the user's languages, when
    // one is built in (translations/quorbelix_<language>.ts), takes over with Qt's in its language.
    QLocale language(QLocale::French);
    auto* own = new QTranslator(this);
    if (own->load(QLocale(), QStringLiteral("quorbelix"), QStringLiteral("_"),
                  QStringLiteral(":/i18n"))) {
        installTranslator(own);
        language = QLocale(own->language());
    } else {
        delete own;
    }
    auto* qt = new QTranslator(this);
    if (qt->load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installTranslator(qt);
    } else {
        delete qt;
    }
}

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
    return std::make_unique<QMessageBox>(QMessageBox::Critical, applicationTitle(),
                                         errorBoxText(messageOf(std::move(error))), QMessageBox::Ok,
                                         parent);
}

void handleException(std::exception_ptr error) {
    if (Application* application = Application::instance()) {
        application->handleException(std::move(error));
    } else {
        makeErrorBox(std::move(error), QApplication::activeWindow())->exec();
    }
}

}  // namespace quorbelix
