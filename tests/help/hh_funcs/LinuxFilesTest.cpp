#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

#include "LinuxPlatform.h"
#include "hh_funcs.h"

// The help diagnostics on the machine's own files, in a directory that others could share.
namespace {

using quorbelix::FileVersion;
using quorbelix::LinuxPlatform;

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool isLink(const QString& path) {
    struct stat status {};
    return lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISLNK(status.st_mode);
}

class LinuxFiles : public ::testing::Test {
protected:
    LinuxFiles() {
        hh_funcs::_DebugFileName = QStringLiteral("/HHDebug.txt");
        hh_funcs::_DebugDir = shared;
        hh_funcs::_DebugMode = true;
        QFile file(victim);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("someone else's data\n");
    }

    void plantLink(const QString& at, const QString& target) {
        ASSERT_TRUE(QFile::link(target, at));
    }

    QTemporaryDir folder;
    QString shared = folder.path();
    QString victim = folder.filePath(QStringLiteral("victim"));
    QString probe = shared + QStringLiteral("/$_Temp_$.$$$");
    QString report = shared + QStringLiteral("/HHDebug.txt");
    LinuxPlatform machine;
};

TEST_F(LinuxFiles, TheProbeLeavesNothingBehindAndFollowsNoLink) {
    EXPECT_TRUE(hh_funcs::DirectoryWritable(shared + u'/'));
    EXPECT_FALSE(QFile::exists(probe));

    plantLink(probe, victim);
    EXPECT_FALSE(hh_funcs::DirectoryWritable(shared));
    EXPECT_EQ(contents(victim), "someone else's data\n");
    EXPECT_TRUE(isLink(probe));

    // A link to nowhere must not make the program create its target.
    const QString nowhere = folder.filePath(QStringLiteral("created-through-the-link"));
    QFile::remove(probe);
    plantLink(probe, nowhere);
    EXPECT_FALSE(hh_funcs::DirectoryWritable(shared));
    EXPECT_FALSE(QFile::exists(nowhere));
}

TEST_F(LinuxFiles, NoReportIsWrittenThroughALink) {
    plantLink(report, victim);
    hh_funcs::WriteHelpReport();
    EXPECT_EQ(contents(victim), "someone else's data\n");
    EXPECT_TRUE(isLink(report));

    const QString nowhere = folder.filePath(QStringLiteral("created-through-the-link"));
    QFile::remove(report);
    plantLink(report, nowhere);
    hh_funcs::WriteHelpReport();
    EXPECT_FALSE(QFile::exists(nowhere));
}

TEST_F(LinuxFiles, NoReportGoesIntoAPipeOrAnotherUsersFile) {
    // Opening a pipe for writing would wait for a reader for ever.
    ASSERT_EQ(mkfifo(QFile::encodeName(report).constData(), 0600), 0);
    hh_funcs::WriteHelpReport();
    EXPECT_FALSE(machine.removeOwnedFile(report));
    QFile::remove(report);

    if (geteuid() != 0) {
        GTEST_SKIP() << "only root can give a file to another user";
    }
    QFile::copy(victim, report);
    ASSERT_EQ(chown(QFile::encodeName(report).constData(), 65534, 65534), 0);
    hh_funcs::WriteHelpReport();
    EXPECT_EQ(contents(report), "someone else's data\n");
}

TEST_F(LinuxFiles, AReportIsOwnerOnlyAndReplacesTheOldOne) {
    QFile::copy(victim, report);
    hh_funcs::WriteHelpReport();
    const QByteArray written = contents(report);
    EXPECT_TRUE(written.startsWith("Filename:             \t" + QFile::encodeName(report)));
    EXPECT_TRUE(written.endsWith(QByteArray(79, '=') + "\r\n"));
    EXPECT_EQ(QFile::permissions(report) &
                  ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
              QFile::Permissions());
}

TEST_F(LinuxFiles, DeepFoldersAreUsedWhole) {
    QString deep = shared;
    while (deep.size() <= 400) {
        deep += QStringLiteral("/a-folder-name-of-some-length");
    }
    ASSERT_TRUE(QDir().mkpath(deep));
    ASSERT_TRUE(hh_funcs::DirectoryWritable(deep));
    hh_funcs::_DebugDir = deep;
    hh_funcs::WriteHelpReport();
    EXPECT_TRUE(
        contents(deep + QStringLiteral("/HHDebug.txt"))
            .startsWith("Filename:             \t" + QFile::encodeName(deep) + "/HHDebug.txt\r\n"));
}

TEST_F(LinuxFiles, VersionsComeFromTheRealNameOfALibrary) {
    const auto touch = [this](const char* name) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return file.fileName();
    };
    const QString library = touch("libquorbelix-htmlhelp.so.1.0.0");
    plantLink(folder.filePath(QStringLiteral("libquorbelix-htmlhelp.so.1")), library);
    EXPECT_EQ(machine.fileVersion(folder.filePath(QStringLiteral("libquorbelix-htmlhelp.so.1"))),
              (FileVersion{1, 0, 0, 0}));
    EXPECT_EQ(machine.fileVersion(touch("libQt6Widgets.so.6.4.2")), (FileVersion{6, 4, 2, 0}));
    EXPECT_EQ(machine.fileVersion(touch("libx.so.12.34")), (FileVersion{12, 34, 0, 0}));
    for (const char* unversioned : {"libx.so", "libx.so.6", "notes.txt", "libx.so.70000.1"}) {
        EXPECT_EQ(machine.fileVersion(touch(unversioned)), std::nullopt) << unversioned;
    }
    EXPECT_EQ(machine.fileVersion(folder.filePath(QStringLiteral("libgone.so.1.2.3"))),
              std::nullopt);
}

TEST(LinuxFacts, TheMachineAnswers) {
    LinuxPlatform machine;
    EXPECT_TRUE(QFile::exists(machine.systemDirectory() + QStringLiteral("/libc.so.6")));
    EXPECT_TRUE(machine.moduleFileName().endsWith(QStringLiteral("/help_diagnostics_tests")));
    EXPECT_TRUE(
        machine.commandLineArguments().value(0).endsWith(QStringLiteral("help_diagnostics_tests")));

    QTemporaryDir folder;
    const QByteArray saved = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(folder.path()));
    EXPECT_EQ(machine.temporaryDirectory(), folder.path());
    qputenv("TMPDIR", QFile::encodeName(folder.filePath(QStringLiteral("missing"))));
    EXPECT_EQ(machine.temporaryDirectory(), QStringLiteral("/tmp"));
    if (saved.isNull()) {
        qunsetenv("TMPDIR");
    } else {
        qputenv("TMPDIR", saved);
    }
}

}  // namespace
