#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <stdexcept>

#include "AppTestSupport.h"

namespace quorbelix::test {
namespace {

TEST(ErrorBoxText, AddsAFullStopAfterACharacterThatSortsAfterIt) {
    EXPECT_EQ(errorBoxText(QStringLiteral("valeur incorrecte")),
              QStringLiteral("valeur incorrecte."));
    EXPECT_EQ(errorBoxText(QStringLiteral("entière")), QStringLiteral("entière."));
    EXPECT_EQ(errorBoxText(QStringLiteral("chemin /")), QStringLiteral("chemin /."));
    EXPECT_EQ(errorBoxText(QStringLiteral("Indice hors limites (3)")),
              QStringLiteral("Indice hors limites (3)"));
    EXPECT_EQ(errorBoxText(QStringLiteral("Fin.")), QStringLiteral("Fin."));
    EXPECT_EQ(errorBoxText(QStringLiteral("moins -")), QStringLiteral("moins -"));
    EXPECT_EQ(errorBoxText(QString()), QString());
}

TEST(DefaultErrorHandler, ShowsOneModalBoxAndGoesOn) {
    std::vector<QString> seen;
    // The box runs modally: close it as soon as it is up, as the user would with OK.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen.push_back(box->windowTitle() + QLatin1Char('|') + box->text());
            EXPECT_EQ(box->icon(), QMessageBox::Critical);
            EXPECT_EQ(box->buttons().size(), 1);
            box->button(QMessageBox::Ok)->click();
        }
    });
    closer.start(10);

    handleException(std::make_exception_ptr(std::runtime_error("boum")));
    ASSERT_EQ(seen.size(), 1U);
    EXPECT_EQ(seen[0], QStringLiteral("Quorbelix 1.0|boum."));

    // An exception that is no standard one still gets its box.
    handleException(std::make_exception_ptr(42));
    ASSERT_EQ(seen.size(), 2U);
    EXPECT_EQ(seen[1], QStringLiteral("Quorbelix 1.0|Exception inconnue."));
}

TEST(DefaultErrorHandler, CatchesWhatLeavesAnEventHandlerOnce) {
    ErrorBoxRecorder errors;
    runHandler([] { throw std::out_of_range("Indice de liste hors limites (2)"); });
    ASSERT_EQ(errors.shown.size(), 1U);
    EXPECT_EQ(errors.shown[0].text, QStringLiteral("Indice de liste hors limites (2)"));

    // An event handler of our own that throws is stopped at the application object.
    class Throwing : public QObject {
    protected:
        void customEvent(QEvent*) override { throw std::runtime_error("dans un événement"); }
    } throwing;
    QCoreApplication::postEvent(&throwing, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    ASSERT_EQ(errors.shown.size(), 2U);
    EXPECT_EQ(errors.shown[1].text, QStringLiteral("dans un événement."));
    EXPECT_EQ(errors.shown[1].caption, QStringLiteral("Quorbelix 1.0"));
}

}  // namespace
}  // namespace quorbelix::test
