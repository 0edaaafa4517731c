#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <random>

#include "FakePlatform.h"
#include "hh.h"
#include "hh_funcs.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

using quorbelix::FakePlatform;
using quorbelix::RegistryValue;

const QByteArray helpControl = "/opt/quorbelix/libquorbelix-htmlhelp.so.1";
const QByteArray browserControl = "/usr/lib/x86_64-linux-gnu/libQt6Widgets.so.6";
const QByteArray programReport = "/opt/quorbelix/HHDebug.txt";
const QByteArray temporaryReport = "/tmp/HHDebug.txt";
const QByteArray debugMarker = "/opt/quorbelix/debug.debug";

// The program as installed, with the facts of one machine; a fresh start of the module.
class HelpDiagnostics : public ::testing::Test {
protected:
    HelpDiagnostics() {
        fake.version = QStringLiteral("Linux 6.1.0-27-amd64");
        fake.registry[QString::fromUtf16(hh::HelpControlKey)] =
            RegistryValue{RegistryValue::Kind::Text, QString::fromUtf8(helpControl)};
        installFile(helpControl, quorbelix::FileVersion{1, 0, 0, 0});
        installFile(browserControl, quorbelix::FileVersion{6, 4, 2, 0});
        hh_funcs::_DebugFileName = "/HHDebug.txt";
        hh_funcs::_DebugMode = false;
    }

    void installFile(const QByteArray& path, std::optional<quorbelix::FileVersion> version) {
        fake.existingFiles.insert(path);
        if (version) {
            fake.fileVersions[path] = *version;
        } else {
            fake.fileVersions.erase(path);
        }
    }

    void startWith(const QStringList& parameters) {
        fake.arguments = QStringList{QStringLiteral("/usr/bin/quorbelix")} + parameters;
        hh_funcs::GatherHelpEnvironment();
    }

    // The report's lines, each without its CR LF.
    QStringList reportLines(const QByteArray& path = programReport) const {
        const auto found = fake.fileContents.find(path);
        if (found == fake.fileContents.end()) {
            return {};
        }
        QStringList lines = QString::fromLocal8Bit(found->second).split(QStringLiteral("\r\n"));
        EXPECT_EQ(lines.takeLast(), QString()) << "the last line ends with CR LF";
        return lines;
    }

    QString reportLine(const QString& label, const QByteArray& path = programReport) const {
        for (const QString& line : reportLines(path)) {
            if (line.startsWith(label)) {
                return line.mid(label.size());
            }
        }
        return QStringLiteral("<no line ") + label + u'>';
    }

    FakePlatform fake;
    quorbelix::ScopedPlatform guard{fake};
};

TEST_F(HelpDiagnostics, DebugModeComesFromTheMarkerOrASwitchInAnyLetterCase) {
    for (const char* on : {"/DEBUG", "-Debug", "/debug", "-debug"}) {
        startWith({QStringLiteral("x"), QString::fromLatin1(on)});
        EXPECT_TRUE(hh_funcs::_DebugMode) << on;
    }
    for (const char* off : {"--debug", "debug", "/debug2", "-debu", "/débug"}) {
        startWith({QString::fromUtf8(off)});
        EXPECT_FALSE(hh_funcs::_DebugMode) << off;
    }
    // The program's own name is no parameter.
    fake.arguments = QStringList{QStringLiteral("-debug")};
    hh_funcs::GatherHelpEnvironment();
    EXPECT_FALSE(hh_funcs::_DebugMode);

    fake.existingFiles.insert(debugMarker);
    startWith({});
    EXPECT_TRUE(hh_funcs::_DebugMode);
}

TEST_F(HelpDiagnostics, TheWholeReportMatchesTheExpectedFile) {
    startWith({QStringLiteral("-DEBUG"), QStringLiteral("deux mots")});
    EXPECT_FALSE(fake.existingFiles.contains("/opt/quorbelix/$_Temp_$.$$$"));

    QFile expected(QStringLiteral(EXPECTED_REPORT));
    ASSERT_TRUE(expected.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLocal8Bit(fake.fileContents[programReport]),
              QString::fromLocal8Bit(expected.readAll()));
    // Said twice, because a checkout could have changed the expected file's line ends.
    for (const QString& line : reportLines()) {
        EXPECT_FALSE(line.contains(u'\r') || line.contains(u'\n'));
        if (line.startsWith(u'-') || line.startsWith(u'=')) {
            EXPECT_EQ(line.size(), 79);
        }
    }
}

TEST_F(HelpDiagnostics, ParametersAreJoinedWithBars) {
    fake.existingFiles.insert(debugMarker);
    startWith({QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_EQ(reportLine(QStringLiteral("Cmdline Param(s) =  ")), QStringLiteral("\ta | b"));
    startWith({});
    EXPECT_EQ(reportLine(QStringLiteral("Cmdline Param(s) =  ")), QStringLiteral("\t"));
}

TEST_F(HelpDiagnostics, HelpControlVersionsGetTheirFriendlyNames) {
    const struct {
        quorbelix::FileVersion version;
        const char* name;
    } cases[] = {
        {{4, 74, 9273, 0}, "1.33"},  {{4, 74, 9274, 0}, "> 1.33"}, {{4, 74, 9273, 1}, "> 1.33"},
        {{4, 72, 7289, 0}, "< 1.0"}, {{4, 72, 7290, 0}, "1.0"},    {{4, 73, 8474, 5}, "1.21a"},
        {{1, 0, 0, 0}, "< 1.0"},
    };
    for (const auto& [version, name] : cases) {
        installFile(helpControl, version);
        startWith({});
        EXPECT_EQ(hh_funcs::_hhFriendlyVerStr, QString::fromLatin1(name))
            << hh_funcs::_hhVerStr.toStdString();
        EXPECT_TRUE(hh_funcs::_hhInstalled);
    }
    EXPECT_EQ(hh_funcs::_hhVerStr, QStringLiteral("1.0.0.0"));
    EXPECT_EQ(hh_funcs::_hhMajor, 1);
}

TEST_F(HelpDiagnostics, BrowserVersionsAreAdjustedAndNamed) {
    const struct {
        quorbelix::FileVersion version;
        const char* text;
        const char* name;
    } cases[] = {
        {{4, 70, 0, 1158}, "4.70.1158.0", "Internet Explorer 3.0 (OSR2)"},
        {{4, 70, 0, 1155}, "4.70.1155.0", "Internet Explorer 3.0"},
        {{4, 70, 1155, 0}, "4.70.1155.0", "Internet Explorer 3.0"},
        {{4, 40, 0, 308}, "4.40.308.0", "Internet Explorer 1.0 (Plus!)"},
        {{4, 40, 0, 307}, "4.40.307.0", "< Internet Explorer 1.0 (Plus!)"},
        // Only releases up to 4.70 with an empty release field were numbered the old way.
        {{4, 71, 0, 1712}, "4.71.0.1712", "Internet Explorer 3.02"},
        {{6, 0, 2600, 0}, "6.0.2600.0", "Internet Explorer 6 (Windows XP)"},
        {{6, 0, 2800, 1106}, "6.0.2800.1106", "> Internet Explorer 6"},
        {{5, 50, 4134, 600}, "5.50.4134.600", "Internet Explorer 5.5"},
    };
    for (const auto& [version, text, name] : cases) {
        installFile(browserControl, version);
        startWith({});
        EXPECT_EQ(hh_funcs::_ieVerStr, QString::fromLatin1(text));
        EXPECT_EQ(hh_funcs::_ieFriendlyVerStr, QString::fromLatin1(name)) << text;
        EXPECT_TRUE(hh_funcs::_ieInstalled);
    }
}

TEST_F(HelpDiagnostics, AControlWithoutVersionOrFileCountsAsNotInstalled) {
    fake.existingFiles.insert(debugMarker);
    installFile(helpControl, std::nullopt);
    fake.existingFiles.erase(browserControl);  // its version alone is left
    startWith({});
    EXPECT_FALSE(hh_funcs::_hhInstalled);
    EXPECT_EQ(hh_funcs::_hhVerStr, QString());
    EXPECT_EQ(hh_funcs::_hhFriendlyVerStr, QString());
    EXPECT_FALSE(hh_funcs::_ieInstalled);
    EXPECT_EQ(hh_funcs::_ieFriendlyVerStr, QString());
    EXPECT_EQ(reportLine(QStringLiteral("_hhInstalled =      ")), QStringLiteral("\tNO"));
    EXPECT_EQ(reportLine(QStringLiteral("_ieInstalled =      ")), QStringLiteral("\tNO"));
}

TEST_F(HelpDiagnostics, AnOldReportGoesAtEveryStartAndANewOneOnlyInDebugMode) {
    fake.appendToFile(programReport, "old report\r\n");
    startWith({});
    EXPECT_FALSE(fake.existingFiles.contains(programReport));

    fake.appendToFile(programReport, "old report\r\n");
    startWith({QStringLiteral("-debug")});
    EXPECT_EQ(reportLines().size(), 22);
    EXPECT_EQ(reportLines().first(),
              QStringLiteral("Filename:             \t") + QString::fromUtf8(programReport));
}

TEST_F(HelpDiagnostics, AnUnwritableProgramFolderSendsTheReportToTheTemporaryFolder) {
    fake.readOnlyDirectories.insert("/opt/quorbelix");
    startWith({QStringLiteral("-debug")});
    EXPECT_EQ(hh_funcs::_DebugDir, "/tmp");
    EXPECT_FALSE(fake.existingFiles.contains(programReport));
    EXPECT_EQ(reportLines(temporaryReport).size(), 22);

    // Without a temporary folder either, the root's slash is stripped like a drive's backslash.
    fake.directories.erase("/tmp");
    startWith({QStringLiteral("-debug")});
    EXPECT_EQ(hh_funcs::_DebugDir, "");
    EXPECT_EQ(reportLines("/HHDebug.txt").size(), 22);
}

TEST_F(HelpDiagnostics, AnOldReportThatStaysIsReplacedWhenOwnedElseTheReportMoves) {
    // Where the folder keeps the user's old report, the new one replaces it.
    fake.readOnlyDirectories = {"/opt/quorbelix", "/tmp"};
    fake.existingFiles.insert(temporaryReport);
    fake.fileContents[temporaryReport] = "old report\r\n";
    startWith({QStringLiteral("-debug")});
    EXPECT_EQ(reportLines(temporaryReport).size(), 22);
    EXPECT_FALSE(reportLines(temporaryReport).contains(QStringLiteral("old report")));

    // Anything else stays, and the report goes where an unwritable folder sends it.
    fake.readOnlyDirectories.clear();
    fake.existingFiles.insert(programReport);
    fake.foreignFiles.insert(programReport);
    fake.fileContents[programReport] = "someone else's\r\n";
    startWith({QStringLiteral("-debug")});
    EXPECT_EQ(fake.fileContents[programReport], "someone else's\r\n");
    EXPECT_EQ(hh_funcs::_DebugDir, "/tmp");
    EXPECT_EQ(reportLine(QStringLiteral("Filename:             "), temporaryReport),
              QStringLiteral("\t/tmp/HHDebug.txt"));
}

TEST_F(HelpDiagnostics, AnUnknownProgramPathPutsNothingInTheRoot) {
    fake.moduleFile.clear();
    fake.existingFiles.insert("/debug.debug");
    startWith({});
    EXPECT_FALSE(hh_funcs::_DebugMode);

    startWith({QStringLiteral("-debug")});
    EXPECT_EQ(hh_funcs::_DebugDir, "/tmp");
    EXPECT_FALSE(fake.existingFiles.contains("/HHDebug.txt"));
    EXPECT_EQ(reportLine(QStringLiteral("_ModuleDir =        "), temporaryReport),
              QStringLiteral("\t"));
}

TEST_F(HelpDiagnostics, TimesAreLocalWithoutZoneAndTheLocaleHasADefault) {
    fake.locale = 0;
    fake.longTime = QStringLiteral("HH:mm:ss t");
    startWith({QStringLiteral("-debug")});
    EXPECT_EQ(reportLine(QStringLiteral("SysLocale.DefaultLCID: ")), QStringLiteral("\t0x0409"));
    EXPECT_EQ(reportLine(QStringLiteral("Date:                 ")),
              QStringLiteral("\t09/03/2024 14:05:07"));

    const struct {
        const char* format;
        const char* time;
    } cases[] = {{"t HH:mm:ss", "14:05:07"},
                 {"HH:mm:ss (tttt)", "14:05:07"},
                 {"HH:mm 'at' ss t", "14:05 at 07"}};
    for (const auto& [format, time] : cases) {
        fake.longTime = QString::fromLatin1(format);
        hh_funcs::WriteReportLine(QStringLiteral("x"));
        EXPECT_EQ(reportLines().last(), QString::fromLatin1(time) + QStringLiteral("   x"))
            << format;
    }
}

TEST_F(HelpDiagnostics, ValuesNeverForgeLines) {
    fake.moduleFile = "/opt/quor\nbelix/quorbelix";
    fake.directories.insert("/opt/quor\nbelix");
    startWith({QStringLiteral("-debug"), QString::fromUtf8("a\r\nb\tc\x1b\x7f\u0085\\")});
    const QByteArray report = "/opt/quor\nbelix/HHDebug.txt";
    EXPECT_EQ(reportLines(report).size(), 22);
    EXPECT_EQ(reportLine(QStringLiteral("Cmdline Param(s) =  "), report),
              QStringLiteral("\t-debug | a\\r\\nb\\tc\\x1B\\x7F\\x85\\"));
    EXPECT_EQ(reportLine(QStringLiteral("_ModuleDir =        "), report),
              QStringLiteral("\t/opt/quor\\nbelix"));

    // Random bytes wherever the machine or the user gives a text, the formats included.
    std::mt19937 random(20261208);
    const auto bytes = [&random] {
        QByteArray result(static_cast<qsizetype>(random() % 24), '\0');
        for (char& byte : result) {
            byte = static_cast<char>(random());
        }
        return result;
    };
    const auto text = [&random, &bytes] {
        QString result = QString::fromLocal8Bit(bytes());
        for (int unit = static_cast<int>(random() % 4); unit > 0; --unit) {
            result += QChar(static_cast<char16_t>(random()));
        }
        return result;
    };
    for (int run = 0; run < 3000; ++run) {
        const QByteArray folder = "/opt/" + bytes();
        fake.moduleFile = folder + '/' + bytes();
        if (run % 2 == 0) {
            fake.directories.insert(folder);
        }
        fake.version = text();
        fake.decimal = text();
        fake.shortDate = text();
        fake.longTime = text();
        fake.arguments = QStringList{text(), QStringLiteral("-debug"), text(), text()};
        hh_funcs::GatherHelpEnvironment();
        const QStringList lines = reportLines(hh_funcs::_DebugDir + hh_funcs::_DebugFileName);
        ASSERT_EQ(lines.size(), 22) << "run " << run;
        for (const QString& line : lines) {
            ASSERT_FALSE(line.contains(u'\r') || line.contains(u'\n')) << "run " << run;
        }
    }
}

TEST_F(HelpDiagnostics, UnmarkedLinesGetTheTimeInFront) {
    hh_funcs::_DebugDir = "/opt/quorbelix";
    hh_funcs::WriteReportLine(QStringLiteral("%d%% de %s"), {42, QStringLiteral("tout")});
    hh_funcs::WriteReportLine(QString());
    hh_funcs::WriteReportLine(QStringLiteral("!-"));
    EXPECT_EQ(reportLines(), (QStringList{QStringLiteral("14:05:07   42% de tout"),
                                          QStringLiteral("14:05:07   "), QStringLiteral("-")}));
}

TEST(HelpDiagnosticsTexts, TrailingSlashesGoAndVersionsCompareUnsigned) {
    QString root = QStringLiteral("/");
    hh_funcs::StripTrailingChars(root, u'/');
    EXPECT_EQ(root, QString());
    QString folder = QStringLiteral("/a/b//");
    hh_funcs::StripTrailingChars(folder, u'/');
    EXPECT_EQ(folder, QStringLiteral("/a/b"));

    EXPECT_EQ(hh_funcs::CompareVersions({1, 0, 0, 65535}, {1, 0, 1, 0}), -1);
    EXPECT_EQ(hh_funcs::CompareVersions({2, 0, 0, 0}, {1, 65535, 65535, 65535}), 1);
    EXPECT_EQ(hh_funcs::CompareVersions({0, 0, 0, 40000}, {0, 0, 0, 1}), 1);
    EXPECT_EQ(hh_funcs::CompareVersions({4, 74, 9273, 0}, {4, 74, 9273, 0}), 0);

    for (const auto table : {hh_funcs::HelpFriendlyNames(), hh_funcs::BrowserFriendlyNames()}) {
        for (std::size_t row = 1; row < table.size(); ++row) {
            EXPECT_EQ(hh_funcs::CompareVersions(table[row - 1].from, table[row].from), 1)
                << table[row].name;
        }
    }
}

}  // namespace
