#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <climits>
#include <cstdlib>
#include <functional>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "LinuxPlatform.h"
#include "hh_funcs.h"

// The help diagnostics on the machine's own files, in a directory that others could share.
namespace {

using quorbelix::FileVersion;
using quorbelix::LinuxPlatform;

constexpr uid_t nobody = 65534;

QByteArray contents(const QByteArray& path) {
    QFile file(QFile::decodeName(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

mode_t fileType(const QByteArray& path) {
    struct stat status {};
    return lstat(path.constData(), &status) == 0 ? status.st_mode & S_IFMT : 0;
}

// Sets an environment variable for the life of the guard.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const QByteArray& value) : name_(name), saved_(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedVariable() {
        if (saved_.isNull()) {
            qunsetenv(name_);
        } else {
            qputenv(name_, saved_);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    QByteArray saved_;
};

// Runs `action` as the user nobody, in a child process that ends with it; false where this
// process cannot become another user, or runs threads that a child would lose half-way.
bool runAsNobody(const std::function<void()>& action) {
    const QDir threads(QStringLiteral("/proc/self/task"), {}, QDir::NoSort,
                       QDir::Dirs | QDir::NoDotAndDotDot);
    if (geteuid() != 0 || threads.count() != 1) {
        return false;
    }
    const pid_t child = fork();
    if (child == 0) {
        const bool dropped =
            setgroups(0, nullptr) == 0 && setgid(nobody) == 0 && setuid(nobody) == 0;
        if (dropped) {
            action();
        }
        _exit(dropped ? 0 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

class LinuxFiles : public ::testing::Test {
protected:
    LinuxFiles() {
        hh_funcs::_DebugFileName = "/HHDebug.txt";
        hh_funcs::_DebugDir = shared;
        hh_funcs::_DebugMode = true;
        QFile file(QFile::decodeName(victim));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("someone else's data\n");
        // A temporary folder like /tmp, shared by all and sticky, that others can reach.
        EXPECT_TRUE(QDir().mkdir(QFile::decodeName(temporary)));
        chmod(temporary.constData(), 01777);
        chmod(shared.constData(), 0755);
    }

    void plantLink(const QByteArray& at, const QByteArray& target) {
        ASSERT_EQ(symlink(target.constData(), at.constData()), 0);
    }

    QTemporaryDir folder;
    QByteArray shared = QFile::encodeName(folder.path());
    QByteArray victim = shared + "/victim";
    QByteArray probe = shared + "/$_Temp_$.$$$";
    QByteArray report = shared + "/HHDebug.txt";
    QByteArray temporary = shared + "/tmp";
    QByteArray temporaryReport = temporary + "/HHDebug.txt";
    ScopedVariable temporaryVariable{"TMPDIR", temporary};
    LinuxPlatform machine;
};

TEST_F(LinuxFiles, TheProbeLeavesNothingBehindAndFollowsNoLink) {
    // A probe left by an interrupted run is the user's own: it goes, and does not make the
    // folder look unwritable.
    ASSERT_TRUE(machine.createNewFile(probe));
    EXPECT_TRUE(hh_funcs::DirectoryWritable(shared + '/'));
    EXPECT_EQ(fileType(probe), 0);

    plantLink(probe, victim);
    EXPECT_FALSE(hh_funcs::DirectoryWritable(shared));
    EXPECT_EQ(contents(victim), "someone else's data\n");
    EXPECT_EQ(fileType(probe), S_IFLNK);

    // A link to nowhere must not make the program create its target.
    const QByteArray nowhere = shared + "/created-through-the-link";
    unlink(probe.constData());
    plantLink(probe, nowhere);
    EXPECT_FALSE(hh_funcs::DirectoryWritable(shared));
    EXPECT_EQ(fileType(nowhere), 0);
}

TEST_F(LinuxFiles, NoReportIsWrittenThroughALinkAndItGoesToTheTemporaryFolder) {
    plantLink(report, victim);
    hh_funcs::WriteHelpReport();
    EXPECT_EQ(contents(victim), "someone else's data\n");
    EXPECT_EQ(fileType(report), S_IFLNK);
    EXPECT_TRUE(contents(temporaryReport).startsWith("Filename:             \t" + temporaryReport));

    const QByteArray nowhere = shared + "/created-through-the-link";
    unlink(report.constData());
    plantLink(report, nowhere);
    hh_funcs::_DebugDir = shared;
    hh_funcs::WriteHelpReport();
    EXPECT_EQ(fileType(nowhere), 0);
}

TEST_F(LinuxFiles, NoReportGoesIntoAPipeOrAnotherUsersFile) {
    // Opening a pipe for writing would wait for a reader for ever.
    ASSERT_EQ(mkfifo(report.constData(), 0600), 0);
    hh_funcs::WriteHelpReport();
    EXPECT_EQ(fileType(report), S_IFIFO);
    EXPECT_FALSE(machine.removeOwnedFile(report));
    EXPECT_EQ(fileType(temporaryReport), S_IFREG);
    unlink(report.constData());
    unlink(temporaryReport.constData());

    // Another user's file stays as it is, even one that anybody may write: in a shared folder
    // (sticky, like /tmp) as root with nobody's file, and as nobody with root's file.
    if (geteuid() != 0) {
        GTEST_SKIP() << "only root can give a file to another user or run as one";
    }
    chmod(shared.constData(), 01777);
    QFile::copy(QFile::decodeName(victim), QFile::decodeName(report));
    chmod(report.constData(), 0666);
    ASSERT_EQ(chown(report.constData(), nobody, nobody), 0);
    hh_funcs::WriteHelpReport();
    EXPECT_EQ(contents(report), "someone else's data\n");

    ASSERT_EQ(chown(report.constData(), 0, 0), 0);
    hh_funcs::_DebugDir = shared;
    ASSERT_TRUE(runAsNobody([] { hh_funcs::WriteHelpReport(); }));
    EXPECT_EQ(contents(report), "someone else's data\n");
}

TEST_F(LinuxFiles, AnOldReportThatCannotBeRemovedIsReplacedWhenItIsTheUsersOwn) {
    // The folder forbids removing the report: root may remove anything, so root's part is played
    // by nobody.
    QFile::copy(QFile::decodeName(victim), QFile::decodeName(report));
    chmod(shared.constData(), 0555);
    const bool asNobody = geteuid() == 0;
    if (asNobody) {
        ASSERT_EQ(chown(report.constData(), nobody, nobody), 0);
        ASSERT_TRUE(runAsNobody([] { hh_funcs::WriteHelpReport(); }));
    } else {
        hh_funcs::WriteHelpReport();
    }
    chmod(shared.constData(), 0755);
    const QByteArray written = contents(report);
    EXPECT_TRUE(written.startsWith("Filename:             \t" + report)) << written.constData();
    EXPECT_EQ(written.count("\r\n"), 22);
    EXPECT_EQ(fileType(temporaryReport), 0);
}

TEST_F(LinuxFiles, AReportIsOwnerOnlyAndReplacesTheOldOne) {
    QFile::copy(QFile::decodeName(victim), QFile::decodeName(report));
    hh_funcs::WriteHelpReport();
    const QByteArray written = contents(report);
    EXPECT_TRUE(written.startsWith("Filename:             \t" + report));
    EXPECT_TRUE(written.endsWith(QByteArray(79, '=') + "\r\n"));
    EXPECT_EQ(QFile::permissions(QFile::decodeName(report)) &
                  ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
              QFile::Permissions());
}

TEST_F(LinuxFiles, DeepFoldersAreUsedWholeUpToTheSystemsLimit) {
    QByteArray deep = shared;
    while (deep.size() <= 400) {
        deep += "/a-folder-name-of-some-length";
    }
    ASSERT_TRUE(QDir().mkpath(QFile::decodeName(deep)));
    ASSERT_TRUE(hh_funcs::DirectoryWritable(deep));
    hh_funcs::_DebugDir = deep;
    hh_funcs::WriteHelpReport();
    EXPECT_TRUE(contents(deep + "/HHDebug.txt")
                    .startsWith("Filename:             \t" + deep + "/HHDebug.txt\r\n"));

    // A folder the system still takes, but not with the report's name after it.
    while (deep.size() + 30 < PATH_MAX - 4) {
        deep += "/a-folder-name-of-some-length";
    }
    deep += '/' + QByteArray(PATH_MAX - 4 - deep.size(), 'x');
    ASSERT_TRUE(QDir().mkpath(QFile::decodeName(deep)));
    hh_funcs::_DebugDir = deep;
    hh_funcs::WriteHelpReport();
    EXPECT_EQ(hh_funcs::_DebugDir, temporary);
    EXPECT_EQ(contents(temporaryReport).count("\r\n"), 22);
}

TEST_F(LinuxFiles, VersionsComeFromTheRealNameOfAnElfSharedObject) {
    // An ELF header of type `type` (3 a shared object, 2 an executable).
    const auto elf = [this](const char* name, char type) {
        const QByteArray path = shared + '/' + name;
        QFile file(QFile::decodeName(path));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        // Magic, 64 bits, little-endian, version 1, padding to 16 bytes, then e_type.
        file.write(QByteArray::fromHex("7f454c46020101") + QByteArray(9, '\0') + type +
                   QByteArray(47, '\0'));
        return path;
    };
    const QByteArray library = elf("libquorbelix-htmlhelp.so.1.0.0", 3);
    plantLink(shared + "/libquorbelix-htmlhelp.so.1", library);
    EXPECT_EQ(machine.fileVersion(shared + "/libquorbelix-htmlhelp.so.1"),
              (FileVersion{1, 0, 0, 0}));
    EXPECT_EQ(machine.fileVersion(elf("libQt6Widgets.so.6.4.2", 3)), (FileVersion{6, 4, 2, 0}));
    EXPECT_EQ(machine.fileVersion(elf("libx.so.12.34", 3)), (FileVersion{12, 34, 0, 0}));
    for (const char* unversioned : {"libx.so", "libx.so.6", "notes.txt", "libx.so.70000.1"}) {
        EXPECT_EQ(machine.fileVersion(elf(unversioned, 3)), std::nullopt) << unversioned;
    }
    EXPECT_EQ(machine.fileVersion(shared + "/libgone.so.1.2.3"), std::nullopt);

    // Only a shared object: not an executable, not a text, not a pipe (which must not block).
    EXPECT_EQ(machine.fileVersion(elf("libexe.so.1.2.3", 2)), std::nullopt);
    const QByteArray text = shared + "/libx.so.4.74.9273";
    QFile::copy(QFile::decodeName(victim), QFile::decodeName(text));
    EXPECT_EQ(machine.fileVersion(text), std::nullopt);
    const QByteArray pipe = shared + "/libpipe.so.1.2.3";
    ASSERT_EQ(mkfifo(pipe.constData(), 0600), 0);
    EXPECT_EQ(machine.fileVersion(pipe), std::nullopt);
}

TEST(LinuxFacts, TheMachineAnswers) {
    LinuxPlatform machine;
    EXPECT_TRUE(QFile::exists(QFile::decodeName(machine.systemDirectory() + "/libc.so.6")));
    EXPECT_TRUE(machine.moduleFileName().endsWith("/help_diagnostics_tests"));
    EXPECT_TRUE(
        machine.commandLineArguments().value(0).endsWith(QStringLiteral("help_diagnostics_tests")));

    QTemporaryDir folder;
    const QByteArray path = QFile::encodeName(folder.path());
    {
        ScopedVariable variable("TMPDIR", path);
        EXPECT_EQ(machine.temporaryDirectory(), path);
    }
    {
        ScopedVariable variable("TMPDIR", path + "/missing");
        EXPECT_EQ(machine.temporaryDirectory(), "/tmp");
    }

    // A relative folder is taken from the working folder; with that gone, it is no folder, and
    // nothing else minds.
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir().mkpath(folder.filePath(QStringLiteral("work/relative"))));
    ASSERT_TRUE(QDir::setCurrent(folder.filePath(QStringLiteral("work"))));
    {
        ScopedVariable variable("TMPDIR", "relative");
        EXPECT_EQ(machine.temporaryDirectory(), path + "/work/relative");
        QDir(folder.filePath(QStringLiteral("work"))).removeRecursively();
        EXPECT_EQ(machine.temporaryDirectory(), "/tmp");
        EXPECT_TRUE(machine.executableDirectory().endsWith("/bin"));
    }
    QDir::setCurrent(saved);
}

}  // namespace
