#pragma once

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <span>
#include <variant>

// The help diagnostics: at start-up, what the help environment looks like (where the program
// lives and may write, which help viewer and which browser control it would use, in which
// versions), and, when a debug switch is on, the report HHDebug.txt that a support person reads.
// The switches are a file "debug.debug" beside the program and the parameters /debug and -debug.
namespace hh_funcs {

// Filled once by GatherHelpEnvironment and left alone until ClearHelpEnvironment; public for
// diagnostic use, read by nothing else in the program. Paths of files are kept as the system's
// bytes, which need not be valid text; the report shows them as text.
extern QByteArray _ModuleFileName;  // empty when the system does not tell
extern QByteArray _ModuleDir;
extern QByteArray _ModuleName;
extern QString _RunDir;  // from the command line, which the program has as text
extern QByteArray _DebugDir;
extern QByteArray _DebugFileName;  // "/HHDebug.txt", appended to _DebugDir
extern bool _DebugMode;
extern QString _hhVerStr;
extern bool _hhInstalled;
extern std::uint16_t _hhMajor;
extern std::uint16_t _hhMinor;
extern std::uint16_t _hhRelease;
extern std::uint16_t _hhBuild;
extern QString _hhFriendlyVerStr;
extern QString _ieVerStr;
extern bool _ieInstalled;
extern QString _ieFriendlyVerStr;

// Major, minor, release and build.
using Version = std::array<std::uint16_t, 4>;

// An argument of a report line: a text for %s, a number for %d.
using ReportArgument = std::variant<QString, int>;

// Removes every trailing `character` from `text`.
void StripTrailingChars(QString& text, QChar character);
void StripTrailingChars(QByteArray& text, char character);
// `character` `count` times; empty for a count of 0 or less.
QString RepeatChar(QChar character, int count);
QString BoolToYesNo(bool flag);

// The directory of the system's libraries, without trailing slashes.
QByteArray SystemDirectory();
// The temporary directory without trailing slashes; empty (the root) when it does not exist.
QByteArray TempDirectory();

// The version of the file at `path`; all zeros and an empty text when it has none.
void ReadFileVersion(const QByteArray& path, Version& version, QString& text);
// 1 if `a` is higher, 0 if equal, -1 if lower; field by field from major to build.
int CompareVersions(const Version& a, const Version& b);
// The version of the browser control the help viewer renders with, old numbering adjusted.
void ReadBrowserVersion(Version& version, QString& text);

// A row of a friendly-name table: the name of every version from `from` up to the next row's.
struct FriendlyName {
    Version from;
    const char* name;
};
// The tables, from the highest version down.
std::span<const FriendlyName> HelpFriendlyNames();
std::span<const FriendlyName> BrowserFriendlyNames();

// Friendly names of a version; empty for an empty version text.
QString HelpFriendlyName(const Version& version, const QString& text);
QString BrowserFriendlyName(const Version& version, const QString& text);
QString HelpFriendlyVersion();
QString BrowserFriendlyVersion();

// Whether a file can be created in `directory`.
bool DirectoryWritable(const QByteArray& directory);

// Formats one line from `format` (%s takes a text, %d a number) and appends it to the report.
// "-" and "=" become separators; a leading "!", "-" or "=" is dropped, any other line gets the
// time in front. Control characters in the texts are written escaped ("\n", "\x1B"), so that
// no value can end a line or start one of its own.
void WriteReportLine(const QString& format, const QList<ReportArgument>& arguments = {});
// Removes the report of an earlier run and, in debug mode, writes a new one. An old report
// that stays (its folder forbids removing it) is replaced when it is the user's own file;
// anything else there sends the new report to the temporary directory.
void WriteHelpReport();

// The module's start-up, after the help binding's and before the window.
void GatherHelpEnvironment();
// The module's shutdown, before the help binding's: empties the texts.
void ClearHelpEnvironment();

}  // namespace hh_funcs
