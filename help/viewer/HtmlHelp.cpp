#include "HtmlHelp.h"

#include "HelpBook.h"
#include "HelpWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QThread>

#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

namespace htmlhelp {
namespace {

struct OpenWindow {
    QByteArray file;  // the help file's absolute, canonical path
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

LinkConfirmer& linkConfirmer() {
    static LinkConfirmer confirmer;
    return confirmer;
}

UrlOpener& urlOpener() {
    static UrlOpener opener;
    return opener;
}

// The help file's canonical path, as bytes like every path here: a name that is not valid
// UTF-8 stays itself.
QByteArray fileKey(const QByteArray& path) {
    std::unique_ptr<char, decltype(&std::free)> canonical(realpath(path.constData(), nullptr),
                                                          &std::free);
    return canonical ? QByteArray(canonical.get()) : path;
}

HelpWindowHandle handleOf(HelpWindow* window) {
    return static_cast<HelpWindowHandle>(window->winId());
}

HelpWindowHandle displayTopic(const QByteArray& path) {
    if (path.isEmpty()) {
        return 0;
    }
    const QByteArray key = fileKey(path);
    for (const OpenWindow& open : openWindows()) {
        if (open.file != key) {
            continue;
        }
        HelpWindow* window = open.window;
        if (!window->isVisible()) {
            delete window;  // closed by the player and waiting for its deletion: start afresh
            break;
        }
        window->showHome();
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->raise();
        window->activateWindow();
        return handleOf(window);
    }
    std::unique_ptr<HelpBook> book = HelpBook::open(path);
    if (!book) {
        // Non-breaking spaces: a name is never cut from its guillemets at the end of a line.
        reportError(QCoreApplication::translate(
                        "htmlhelp", "Impossible d'ouvrir le fichier d'aide «\u00A0%1\u00A0».")
                        .arg(QDir::toNativeSeparators(QFile::decodeName(path))));
        return 0;
    }
    auto* window = new HelpWindow(std::move(book));
    window->placeOnScreen();
    std::erase_if(openWindows(), [&key](const OpenWindow& open) { return open.file == key; });
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

HelpWindowHandle run(const QByteArray& path, std::uint32_t command) {
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

QWidget* gameWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowType() == Qt::Window &&
            qobject_cast<HelpWindow*>(widget) == nullptr) {
            return widget;
        }
    }
    return nullptr;
}

namespace {

// The caption of the game's messages, which is its window's title.
QString caption() {
    const QWidget* game = gameWindow();
    return game != nullptr && !game->windowTitle().isEmpty()
               ? game->windowTitle()
               : QGuiApplication::applicationDisplayName();
}

}  // namespace

void setErrorReporter(ErrorReporter reporter) {
    errorReporter() = std::move(reporter);
}

void setLinkConfirmer(LinkConfirmer confirmer) {
    linkConfirmer() = std::move(confirmer);
}

void setUrlOpener(UrlOpener opener) {
    urlOpener() = std::move(opener);
}

void reportError(const QString& message) {
    if (errorReporter()) {
        errorReporter()(message);
        return;
    }
    // Captioned like the program's own messages; plain text, as a message may quote what a help
    // file wrote.
    QMessageBox box(QMessageBox::Warning, caption(), message, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool confirmLink(const QString& question) {
    if (linkConfirmer()) {
        return linkConfirmer()(question);
    }
    QMessageBox box(QMessageBox::Question, caption(), question, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void openOutside(const QUrl& url) {
    if (urlOpener()) {
        urlOpener()(url);
    } else {
        QDesktopServices::openUrl(url);
    }
}

}  // namespace htmlhelp
