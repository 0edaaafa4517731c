#include "HtmlHelp.h"

#include "HelpBook.h"
#include "HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QThread>

#include <utility>
#include <vector>

namespace htmlhelp {
namespace {

struct OpenWindow {
    QString file;  // the help file's absolute, canonical path
    QPointer<HelpWindow> window;
};

std::vector<OpenWindow>& openWindows() {
    static std::vector<OpenWindow> windows;
    std::erase_if(windows, [](const OpenWindow& open) { return open.window.isNull(); });
    return windows;
}

ErrorReporter& errorReporter() {
    static ErrorReporter reporter;
    return reporter;
}

void reportError(const QString& message) {
    if (errorReporter()) {
        errorReporter()(message);
    } else {
        QMessageBox::warning(nullptr, QObject::tr("Aide"), message);
    }
}

QString fileKey(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

HelpWindowHandle handleOf(HelpWindow* window) {
    return static_cast<HelpWindowHandle>(window->winId());
}

HelpWindowHandle displayTopic(const QString& path) {
    if (path.isEmpty()) {
        return 0;
    }
    const QString key = fileKey(path);
    for (const OpenWindow& open : openWindows()) {
        if (open.file == key) {
            HelpWindow* window = open.window;
            window->showHome();
            window->showNormal();
            window->raise();
            window->activateWindow();
            return handleOf(window);
        }
    }
    std::unique_ptr<HelpBook> book = HelpBook::open(path);
    if (!book) {
        reportError(QObject::tr("Impossible d'ouvrir le fichier d'aide « %1 ».")
                        .arg(QDir::toNativeSeparators(path)));
        return 0;
    }
    auto* window = new HelpWindow(std::move(book));
    openWindows().push_back({key, window});
    window->show();
    window->raise();
    window->activateWindow();
    return handleOf(window);
}

void closeAll() {
    // Deleted at once rather than later: the program may unload this library right after.
    for (const OpenWindow& open : std::exchange(openWindows(), {})) {
        delete open.window.data();
    }
}

}  // namespace

HelpWindowHandle run(const QString& path, std::uint32_t command) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr ||
        QThread::currentThread() != QCoreApplication::instance()->thread()) {
        return 0;
    }
    switch (command) {
        case HH_DISPLAY_TOPIC:
            return displayTopic(path);
        case HH_CLOSE_ALL:
            closeAll();
            return 0;
        default:
            return 0;
    }
}

QList<HelpWindow*> windows() {
    QList<HelpWindow*> list;
    for (const OpenWindow& open : openWindows()) {
        list.append(open.window);
    }
    return list;
}

void setErrorReporter(ErrorReporter reporter) {
    errorReporter() = std::move(reporter);
}

}  // namespace htmlhelp
