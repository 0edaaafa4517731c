#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QTest>

#include "../controls/ui_StoredForm.h"
#include "FAbout.h"
#include "FakePlatform.h"
#include "_Quorbelix.h"

namespace {

// Every form file of the project, loaded through the code that sets it up in the program (or, for
// the tests' own form, in its test). A word a control does not know is reported with a warning
// and the program starts all the same, so these checks make any warning a failure: a typo in a
// form file fails here rather than going unnoticed in the player's terminal. They are Qt Test
// functions because QTest::failOnWarning works only inside those.
class FormFiles : public QObject {
    Q_OBJECT

private slots:
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral(".*"))); }

    void mainWindow() { TForm1 form; }

    void aboutDialog() {
        quorbelix::FakePlatform machine;
        quorbelix::ScopedPlatform guard(machine);
        TFAbout dialog;
    }

    void testForm() {
        QWidget form;
        Ui::StoredForm ui;
        ui.setupUi(&form);
    }

    // A form added to the project must be added above too.
    void everyFormIsLoadedAbove() {
        const QDir root(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../.."));
        QStringList found;
        QDirIterator files(root.path(), {QStringLiteral("*.ui")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = root.relativeFilePath(files.next());
            // Build trees inside the source tree are no part of it.
            if (!QFileInfo::exists(root.filePath(path.section(u'/', 0, 0) + "/CMakeCache.txt"))) {
                found << path;
            }
        }
        found.sort();
        QCOMPARE(found, QStringList({QStringLiteral("about/FAbout.ui"),
                                     QStringLiteral("app/_Quorbelix.ui"),
                                     QStringLiteral("tests/controls/StoredForm.ui")}));
    }
};

TEST(FormFiles, LoadWithoutAWarning) {
    FormFiles checks;
    EXPECT_EQ(QTest::qExec(&checks), 0);
}

}  // namespace

#include "FormFilesTest.moc"
