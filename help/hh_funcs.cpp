#include "hh_funcs.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <optional>

#include "Platform.h"
#include "hh.h"

namespace hh_funcs {

QByteArray _ModuleFileName;
QByteArray _ModuleDir;
QByteArray _ModuleName;
QString _RunDir;
QByteArray _DebugDir;
QByteArray _DebugFileName = "/HHDebug.txt";
bool _DebugMode = false;
QString _hhVerStr;
bool _hhInstalled = false;
std::uint16_t _hhMajor = 0;
std::uint16_t _hhMinor = 0;
std::uint16_t _hhRelease = 0;
std::uint16_t _hhBuild = 0;
QString _hhFriendlyVerStr;
QString _ieVerStr;
bool _ieInstalled = false;
QString _ieFriendlyVerStr;

namespace {

using quorbelix::platform;

constexpr char pathSeparator = '/';
constexpr char probeFileName[] = "/$_Temp_$.$$$";
constexpr char markerFileName[] = "/debug.debug";
// The help viewer draws its pages with Qt's widgets: their library stands for the browser control.
constexpr char browserControlName[] = "/libQt6Widgets.so.6";
constexpr int separatorLength = 80;

// The separator as a character of a QString or of a QByteArray.
QChar separatorIn(const QString&) {
    return QLatin1Char(pathSeparator);
}
char separatorIn(const QByteArray&) {
    return pathSeparator;
}

// The part before the last separator, trailing separators removed; for a QString or a QByteArray.
template <typename Path>
Path directoryPart(const Path& path) {
    Path directory = path.left(path.lastIndexOf(separatorIn(path)) + 1);
    StripTrailingChars(directory, separatorIn(path));
    return directory;
}

QByteArray fileNamePart(const QByteArray& path) {
    return path.mid(path.lastIndexOf(pathSeparator) + 1);
}

// A path as the report shows it.
QString displayed(const QByteArray& path) {
    return QFile::decodeName(path);
}

QString versionText(const Version& version) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(version[0])
        .arg(version[1])
        .arg(version[2])
        .arg(version[3]);
}

// From the highest version down; a row names every version from its own up to the next row's.
constexpr FriendlyName helpNames[] = {
    {{4, 74, 9273, 0}, "1.33"}, {{4, 74, 8857, 0}, "1.32"}, {{4, 74, 8793, 0}, "1.31"},
    {{4, 74, 8702, 0}, "1.3"},  {{4, 73, 8561, 0}, "1.22"}, {{4, 73, 8474, 0}, "1.21a"},
    {{4, 73, 8412, 0}, "1.21"}, {{4, 73, 8252, 0}, "1.2"},  {{4, 72, 8164, 0}, "1.1b"},
    {{4, 72, 7325, 0}, "1.1a"}, {{4, 72, 7323, 0}, "1.1"},  {{4, 72, 7290, 0}, "1.0"},
};
constexpr const char* helpAboveAll = "> 1.33";
constexpr const char* helpBelowAll = "< 1.0";

constexpr FriendlyName browserNames[] = {
    {{6, 0, 2600, 0}, "Internet Explorer 6 (Windows XP)"},
    {{6, 0, 2479, 6}, "Internet Explorer 6 Public Preview (Beta) Refresh"},
    {{6, 0, 2462, 0}, "Internet Explorer 6 Public Preview (Beta)"},
    {{5, 50, 4807, 2300}, "Internet Explorer 5.5 Service Pack 2"},
    {{5, 50, 4522, 1800}, "Internet Explorer 5.5 Service Pack 1"},
    {{5, 50, 4308, 2900}, "Internet Explorer 5.5 Advanced Security Privacy Beta"},
    {{5, 50, 4134, 600}, "Internet Explorer 5.5"},
    {{5, 50, 4134, 100}, "Internet Explorer 5.5 for Windows Me (4.90.3000)"},
    {{5, 50, 4030, 2400}, "Internet Explorer 5.5 & Internet Tools Beta"},
    {{5, 50, 3825, 1300}, "Internet Explorer 5.5 Developer Preview"},
    {{5, 0, 2919, 6307}, "Internet Explorer 5.01"},
    {{5, 0, 2919, 3800}, "Internet Explorer 5.01 (Windows 2000 RC2, build 5.00.2128)"},
    {{5, 0, 2919, 800}, "Internet Explorer 5.01 (Windows 2000 RC1, build 5.00.2072)"},
    {{5, 0, 2721, 1400}, "Internet Explorer 5.0 updated"},
    {{5, 0, 2614, 0}, "Internet Explorer 5.0b"},
    {{5, 0, 2314, 0}, "Internet Explorer 5.0a"},
    {{5, 0, 2014, 0}, "Internet Explorer 5.0"},
    {{5, 0, 910, 0}, "Internet Explorer 5 Beta (Beta 2)"},
    {{5, 0, 518, 0}, "Internet Explorer 5 Developer Preview (Beta 1)"},
    {{4, 72, 3612, 0}, "Internet Explorer 4.01 Service Pack 2 (SP2)"},
    {{4, 72, 3110, 0}, "Internet Explorer 4.01 Service Pack 1 (SP1)"},
    {{4, 72, 2106, 0}, "Internet Explorer 4.01"},
    {{4, 71, 1712, 0}, "Internet Explorer 4.0"},
    {{4, 71, 1008, 0}, "Internet Explorer 4.0 Platform Preview 2.0 (PP2)"},
    {{4, 71, 544, 0}, "Internet Explorer 4.0 Platform Preview 1.0 (PP1)"},
    {{4, 70, 1300, 0}, "Internet Explorer 3.02"},
    {{4, 70, 1215, 0}, "Internet Explorer 3.01"},
    {{4, 70, 1158, 0}, "Internet Explorer 3.0 (OSR2)"},
    {{4, 70, 1155, 0}, "Internet Explorer 3.0"},
    {{4, 40, 520, 0}, "Internet Explorer 2.0"},
    {{4, 40, 308, 0}, "Internet Explorer 1.0 (Plus!)"},
};
constexpr const char* browserAboveAll = "> Internet Explorer 6";
constexpr const char* browserBelowAll = "< Internet Explorer 1.0 (Plus!)";

// Above the top row gets its own name; otherwise the first row not above the version.
QString friendlyName(const Version& version, const QString& text,
                     std::span<const FriendlyName> table, const char* aboveAll,
                     const char* belowAll) {
    if (text.isEmpty()) {
        return {};
    }
    if (CompareVersions(version, table[0].from) > 0) {
        return QString::fromLatin1(aboveAll);
    }
    for (const FriendlyName& row : table) {
        if (CompareVersions(version, row.from) >= 0) {
            return QString::fromLatin1(row.name);
        }
    }
    return QString::fromLatin1(belowAll);
}

QByteArray reportPath() {
    return _DebugDir + _DebugFileName;
}

// "0x" and at least four upper-case hexadecimal digits.
QString hexadecimal(std::uint32_t value) {
    return QStringLiteral("0x") +
           QString::number(value, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

struct SystemRelease {
    QString name;
    int major = 0;
    int minor = 0;
    int patch = 0;
};

// "Linux 6.1.0-27-amd64" gives Linux and 6, 1, 0; missing numbers read as 0.
SystemRelease systemRelease() {
    const QString version = platform().systemVersion();
    const qsizetype blank = version.indexOf(u' ');
    SystemRelease release;
    release.name = blank < 0 ? version : version.left(blank);
    static const QRegularExpression numbers(QStringLiteral(R"(^(\d+)(?:\.(\d+))?(?:\.(\d+))?)"));
    const QRegularExpressionMatch match =
        numbers.match(blank < 0 ? QString() : version.mid(blank + 1));
    release.major = match.captured(1).toInt();
    release.minor = match.captured(2).toInt();
    release.patch = match.captured(3).toInt();
    return release;
}

bool isDebugSwitch(const QString& parameter) {
    return parameter.compare(QLatin1String("/debug"), Qt::CaseInsensitive) == 0 ||
           parameter.compare(QLatin1String("-debug"), Qt::CaseInsensitive) == 0;
}

// `text` with its control characters (C0, DEL and C1) written as escapes, so that it stays on
// its line. A backslash stays as it is: the report is read by people, to whom a path must look
// like itself, and nothing parses it back.
QString escaped(const QString& text) {
    QString result;
    result.reserve(text.size());
    for (const QChar character : text) {
        const char16_t code = character.unicode();
        if (code == u'\r') {
            result += QStringLiteral("\\r");
        } else if (code == u'\n') {
            result += QStringLiteral("\\n");
        } else if (code == u'\t') {
            result += QStringLiteral("\\t");
        } else if (code < 0x20 || (code >= 0x7F && code <= 0x9F)) {
            result += QStringLiteral("\\x") +
                      QString::number(code, 16).toUpper().rightJustified(2, QLatin1Char('0'));
        } else {
            result += character;
        }
    }
    return result;
}

// Fills in %s and %d from `arguments` in order, texts escaped; %% is a percent sign.
QString formatLine(const QString& format, const QList<ReportArgument>& arguments) {
    QString line;
    qsizetype next = 0;
    for (qsizetype index = 0; index < format.size(); ++index) {
        const QChar character = format[index];
        if (character != u'%' || index + 1 == format.size()) {
            line += character;
            continue;
        }
        const QChar conversion = format[++index];
        if (conversion == u'%') {
            line += u'%';
        } else if (next < arguments.size()) {
            const ReportArgument& argument = arguments[next++];
            if (const QString* text = std::get_if<QString>(&argument)) {
                line += escaped(*text);
            } else {
                line += QString::number(std::get<int>(argument));
            }
        }
    }
    return line;
}

// The user's long time format without its time zone ("t" to "tttt"), and without the blank or
// the parentheses around it: the report's times are local. Quoted text stays.
QString withoutTimeZone(const QString& format) {
    QString result;
    bool quoted = false;
    for (qsizetype index = 0; index < format.size(); ++index) {
        const QChar character = format[index];
        if (character == u'\'') {
            quoted = !quoted;
        }
        if (quoted || character != u't') {
            result += character;
            continue;
        }
        qsizetype end = index + 1;
        while (end < format.size() && format[end] == u't') {
            ++end;
        }
        if (result.endsWith(u'(') && end < format.size() && format[end] == u')') {
            result.chop(1);
            ++end;
        }
        while (!result.isEmpty() && result.back().isSpace()) {
            result.chop(1);
        }
        if (result.isEmpty()) {
            while (end < format.size() && format[end].isSpace()) {
                ++end;
            }
        }
        index = end - 1;
    }
    return result;
}

// Removes an old report at `report` where it can and makes room there for the new one: a new
// empty file, or, where the folder keeps the old one, the old one emptied if it is the user's own.
bool claimReport(const QByteArray& report) {
    quorbelix::Platform& machine = platform();
    machine.removeOwnedFile(report);
    return machine.createNewFile(report) || machine.emptyOwnedFile(report);
}

}  // namespace

void StripTrailingChars(QString& text, QChar character) {
    while (!text.isEmpty() && text.back() == character) {
        text.chop(1);
    }
}

QString RepeatChar(QChar character, int count) {
    return count > 0 ? QString(count, character) : QString();
}

QString BoolToYesNo(bool flag) {
    return flag ? QStringLiteral("YES") : QStringLiteral("NO");
}

void StripTrailingChars(QByteArray& text, char character) {
    while (text.endsWith(character)) {
        text.chop(1);
    }
}

QByteArray SystemDirectory() {
    QByteArray directory = platform().systemDirectory();
    StripTrailingChars(directory, pathSeparator);
    return directory;
}

QByteArray TempDirectory() {
    QByteArray directory = platform().temporaryDirectory();
    if (directory.isEmpty() || !platform().directoryExists(directory)) {
        directory.clear();
    }
    StripTrailingChars(directory, pathSeparator);
    return directory;
}

void ReadFileVersion(const QByteArray& path, Version& version, QString& text) {
    version = {};
    text.clear();
    if (path.isEmpty() || !platform().fileExists(path)) {
        return;
    }
    if (const std::optional<quorbelix::FileVersion> read = platform().fileVersion(path)) {
        version = *read;
        text = versionText(version);
    }
}

int CompareVersions(const Version& a, const Version& b) {
    for (std::size_t field = 0; field < a.size(); ++field) {
        if (a[field] != b[field]) {
            return a[field] > b[field] ? 1 : -1;
        }
    }
    return 0;
}

void ReadBrowserVersion(Version& version, QString& text) {
    ReadFileVersion(SystemDirectory() + browserControlName, version, text);
    // Old releases kept their build number in the release field's place: 4.70.0.1155 is
    // 4.70.1155.0.
    if (version[0] == 4 && version[1] <= 70 && version[2] == 0) {
        version[2] = version[3];
        version[3] = 0;
        text = versionText(version);
    }
}

std::span<const FriendlyName> HelpFriendlyNames() {
    return helpNames;
}

std::span<const FriendlyName> BrowserFriendlyNames() {
    return browserNames;
}

QString HelpFriendlyName(const Version& version, const QString& text) {
    return friendlyName(version, text, helpNames, helpAboveAll, helpBelowAll);
}

QString BrowserFriendlyName(const Version& version, const QString& text) {
    return friendlyName(version, text, browserNames, browserAboveAll, browserBelowAll);
}

QString HelpFriendlyVersion() {
    Version version;
    QString text;
    ReadFileVersion(QFile::encodeName(hh::LocateHelpControl()), version, text);
    return HelpFriendlyName(version, text);
}

QString BrowserFriendlyVersion() {
    Version version;
    QString text;
    ReadBrowserVersion(version, text);
    return BrowserFriendlyName(version, text);
}

bool DirectoryWritable(const QByteArray& directory) {
    QByteArray probe = directory;
    StripTrailingChars(probe, pathSeparator);
    probe += probeFileName;
    // A probe left by an interrupted run would make the exclusive creation fail.
    platform().removeOwnedFile(probe);
    if (!platform().createNewFile(probe)) {
        return false;
    }
    platform().removeOwnedFile(probe);
    return true;
}

void WriteReportLine(const QString& format, const QList<ReportArgument>& arguments) {
    QString line = formatLine(format, arguments);
    if (line == QLatin1String("-") || line == QLatin1String("=")) {
        line = RepeatChar(line[0], separatorLength);
    }
    if (!line.isEmpty() && (line[0] == u'!' || line[0] == u'-' || line[0] == u'=')) {
        line.remove(0, 1);
    } else {
        const QString time = QLocale::system().toString(
            platform().currentDateTime(), withoutTimeZone(platform().longTimeFormat()));
        line.prepend(escaped(time) + QStringLiteral("   "));
    }
    // A line that cannot be written is lost; the next one tries again.
    platform().appendToFile(reportPath(), (line + QStringLiteral("\r\n")).toLocal8Bit());
}

void WriteHelpReport() {
    if (!_DebugMode) {
        platform().removeOwnedFile(reportPath());
        return;
    }
    // What stays at the report's place and is not the user's own file, or a place whose name is
    // longer than the system takes, counts as an unwritable folder.
    if (!claimReport(reportPath())) {
        const QByteArray temporary = TempDirectory();
        if (_DebugDir == temporary) {
            return;
        }
        _DebugDir = temporary;
        if (!claimReport(reportPath())) {
            return;
        }
    }

    const QStringList arguments = platform().commandLineArguments();
    const quorbelix::Platform& machine = platform();
    std::uint32_t locale = machine.localeIdentifier();
    if (locale == 0) {
        locale = 0x0409;
    }
    const SystemRelease release = systemRelease();
    const QString now = QLocale::system().toString(
        machine.currentDateTime(),
        machine.shortDateFormat() + u' ' + withoutTimeZone(machine.longTimeFormat()));

    WriteReportLine(QStringLiteral("!Filename:             \t%s"), {displayed(reportPath())});
    WriteReportLine(QStringLiteral("!Date:                 \t%s"), {now});
    WriteReportLine(QStringLiteral("!Operating System:      \t%s %d.%d.%d"),
                    {release.name, release.major, release.minor, release.patch});
    WriteReportLine(QStringLiteral("!SysLocale.DefaultLCID: \t%s"), {hexadecimal(locale)});
    WriteReportLine(QStringLiteral("!SysLocale.PriLangID:   \t%s"), {hexadecimal(locale & 0x3FFU)});
    WriteReportLine(QStringLiteral("!SysLocale.SubLangID:   \t%s"),
                    {hexadecimal((locale >> 10) & 0x3FU)});
    WriteReportLine(QStringLiteral("!DecimalSeparator:      \t%s"), {machine.decimalSeparator()});
    WriteReportLine(QStringLiteral("-"));
    WriteReportLine(QStringLiteral("!EXE Path =          \t%s"), {arguments.value(0)});
    WriteReportLine(QStringLiteral("!Cmdline Param(s) =  \t%s"),
                    {arguments.mid(1).join(QStringLiteral(" | "))});
    WriteReportLine(QStringLiteral("!_RunDir =           \t%s"), {_RunDir});
    WriteReportLine(QStringLiteral("!_ModuleName =       \t%s"), {displayed(_ModuleName)});
    WriteReportLine(QStringLiteral("!_ModuleDir =        \t%s"), {displayed(_ModuleDir)});
    WriteReportLine(QStringLiteral("-"));
    WriteReportLine(QStringLiteral("!_hhInstalled =      \t%s"), {BoolToYesNo(_hhInstalled)});
    WriteReportLine(QStringLiteral("!_hhVerStr =         \t%s"), {_hhVerStr});
    WriteReportLine(QStringLiteral("!_hhFriendlyVerStr = \t%s"), {_hhFriendlyVerStr});
    WriteReportLine(QStringLiteral("-"));
    WriteReportLine(QStringLiteral("!_ieInstalled =      \t%s"), {BoolToYesNo(_ieInstalled)});
    WriteReportLine(QStringLiteral("!_ieVerStr =         \t%s"), {_ieVerStr});
    WriteReportLine(QStringLiteral("!_ieFriendlyVerStr = \t%s"), {_ieFriendlyVerStr});
    WriteReportLine(QStringLiteral("="));
}

void GatherHelpEnvironment() {
    quorbelix::Platform& machine = platform();
    const QStringList arguments = machine.commandLineArguments();

    _ModuleFileName = machine.moduleFileName();
    _ModuleDir = directoryPart(_ModuleFileName);
    _ModuleName = fileNamePart(_ModuleFileName);

    _RunDir = directoryPart(arguments.value(0));

    // An unknown program's folder is no folder at all, though its empty name looks like the root.
    const bool moduleKnown = !_ModuleFileName.isEmpty();
    _DebugDir = moduleKnown && DirectoryWritable(_ModuleDir) ? _ModuleDir : TempDirectory();

    _DebugMode = moduleKnown && machine.fileExists(_ModuleDir + markerFileName);
    if (!_DebugMode) {
        for (qsizetype index = 1; index < arguments.size() && !_DebugMode; ++index) {
            _DebugMode = isDebugSwitch(arguments[index]);
        }
    }

    Version help;
    ReadFileVersion(QFile::encodeName(hh::LocateHelpControl()), help, _hhVerStr);
    _hhMajor = help[0];
    _hhMinor = help[1];
    _hhRelease = help[2];
    _hhBuild = help[3];
    _hhInstalled = !_hhVerStr.isEmpty();

    _hhFriendlyVerStr = HelpFriendlyVersion();

    Version browser;
    ReadBrowserVersion(browser, _ieVerStr);
    _ieInstalled = !_ieVerStr.isEmpty();

    _ieFriendlyVerStr = BrowserFriendlyVersion();

    WriteHelpReport();
}

void ClearHelpEnvironment() {
    for (QByteArray* path :
         {&_ModuleFileName, &_ModuleDir, &_ModuleName, &_DebugDir, &_DebugFileName}) {
        path->clear();
    }
    for (QString* text :
         {&_RunDir, &_hhVerStr, &_hhFriendlyVerStr, &_ieVerStr, &_ieFriendlyVerStr}) {
        text->clear();
    }
}

}  // namespace hh_funcs
