#include "RegistryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QScopeGuard>
#include <QSet>
#include <QStringDecoder>
#include <cerrno>
#include <optional>
#include <vector>

namespace quorbelix {

// The sections of the file in their order, each with the last default value given in it. A key
// is looked up by going through them all: the file is read for one or two keys, and this keeps
// both the reading and a lookup in proportion to the file, however deep its keys or many its
// deletions.
struct RegistryFile::Sections {
    struct Section {
        QStringView key;  // case-folded, in `names`
        bool deletion = false;
        std::optional<RegistryValue> defaultValue;
    };

    void add(QStringView key, bool deletion) {
        names += key;
        names += u'\n';
        list.push_back({{}, deletion, std::nullopt});
    }

    // Folds the names in one go rather than with one allocation a section.
    void finish() {
        names = std::move(names).toCaseFolded();
        qsizetype start = 0;
        for (Section& section : list) {
            const qsizetype end = names.indexOf(u'\n', start);
            section.key = QStringView(names).sliced(start, end - start);
            start = end + 1;
        }
    }

    // Whether a key is left at the end: a top-level key is left when a section at or below it
    // comes after its last deletion.
    bool anyKeyLeft() const {
        QSet<QStringView> deletedTops;
        for (auto section = list.crbegin(); section != list.crend(); ++section) {
            const qsizetype slash = section->key.indexOf(u'\\');
            if (!section->deletion) {
                if (!deletedTops.contains(slash < 0 ? section->key : section->key.first(slash))) {
                    return true;
                }
            } else if (slash < 0) {
                deletedTops.insert(section->key);
            }
        }
        return false;
    }

    std::vector<Section> list;
    // The section names one a line, case-folded by finish().
    QString names;
};

namespace {

constexpr QStringView regedit4Header = u"REGEDIT4";
constexpr QStringView regedit5Header = u"Windows Registry Editor Version 5.00";

// Reads the file's lines one at a time, the carriage return of Windows line ends removed.
class Lines {
public:
    explicit Lines(QStringView text) : rest_(text) {}

    std::optional<QStringView> next() {
        if (rest_.isEmpty()) {
            return std::nullopt;
        }
        const qsizetype end = rest_.indexOf(u'\n');
        QStringView line = end < 0 ? rest_ : rest_.first(end);
        rest_ = end < 0 ? QStringView() : rest_.sliced(end + 1);
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        return line;
    }

private:
    QStringView rest_;
};

// The text between double quotes at the start of `input`, with its \\ and \" escapes undone;
// `input` is left after the closing quote. Nothing for a missing quote or an unknown escape.
std::optional<QString> takeQuoted(QStringView& input) {
    if (!input.startsWith(u'"')) {
        return std::nullopt;
    }
    QString text;
    for (qsizetype i = 1; i < input.size(); ++i) {
        const QChar c = input[i];
        if (c == u'"') {
            input = input.sliced(i + 1);
            return text;
        }
        if (c == u'\\') {
            if (++i == input.size() || (input[i] != u'\\' && input[i] != u'"')) {
                return std::nullopt;
            }
        }
        text += input[i];
    }
    return std::nullopt;
}

std::optional<QByteArray> hexBytes(QStringView digits) {
    QByteArray bytes;
    for (QStringView byte : digits.split(u',')) {
        byte = byte.trimmed();
        if (byte.isEmpty() && digits.trimmed().isEmpty()) {
            break;  // "hex:" with no bytes at all
        }
        bool ok = false;
        const uint value = byte.toUInt(&ok, 16);
        if (!ok || byte.size() > 2) {
            return std::nullopt;
        }
        bytes.append(static_cast<char>(value));
    }
    return bytes;
}

// The text of bytes in `encoding`, or nothing when they are not valid text.
std::optional<QString> decodeText(QByteArrayView bytes, QStringConverter::Encoding encoding) {
    // Stateless: a character cut at the end is an error rather than dropped.
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    // The UTF-16 decoders pass lone surrogates and an odd last byte without an error.
    const bool wide = encoding != QStringConverter::Utf8;
    if (decoder.hasError() || (wide && bytes.size() % 2 != 0) || !text.isValidUtf16()) {
        return std::nullopt;
    }
    return text;
}

// The file's text: UTF-16 with its byte-order mark (as regedit writes version 5 files) or UTF-8.
// Nothing when the bytes are not valid text or hold a null character.
std::optional<QString> decode(QByteArrayView contents) {
    auto encoding = QStringConverter::Utf8;
    if (contents.startsWith("\xFF\xFE")) {
        encoding = QStringConverter::Utf16LE;
    } else if (contents.startsWith("\xFE\xFF")) {
        encoding = QStringConverter::Utf16BE;
    }
    auto text = decodeText(contents, encoding);
    if (!text || text->contains(QChar(u'\0'))) {
        return std::nullopt;
    }
    return text;
}

}  // namespace

class RegistryFile::Parser {
public:
    Parser(QStringView text, Sections& sections) : lines_(text), sections_(sections) {}

    // Whether the text is a registry file, its sections read into `sections`.
    bool run() {
        if (!readHeader()) {
            return false;
        }
        while (const auto line = lines_.next()) {
            const QStringView trimmed = line->trimmed();
            const bool ok = trimmed.isEmpty() || trimmed.startsWith(u';') ||
                            (trimmed.startsWith(u'[') ? readSection(trimmed) : readValue(trimmed));
            if (!ok) {
                return false;
            }
        }
        return true;
    }

private:
    bool readHeader() {
        while (const auto line = lines_.next()) {
            const QStringView trimmed = line->trimmed();
            if (trimmed.isEmpty()) {
                continue;
            }
            wideText_ = trimmed == regedit5Header;
            return wideText_ || trimmed == regedit4Header;
        }
        return false;
    }

    bool readSection(QStringView line) {
        if (!line.endsWith(u']')) {
            return false;
        }
        QStringView name = line.sliced(1, line.size() - 2);
        const bool deletion = name.startsWith(u'-');
        if (deletion) {
            name = name.sliced(1);
        }
        if (!name.startsWith(u"HKEY_", Qt::CaseInsensitive) || name.endsWith(u'\\') ||
            name.contains(u"\\\\")) {
            return false;
        }
        sections_.add(name, deletion);
        return true;
    }

    bool readValue(QStringView line) {
        if (sections_.list.empty()) {
            return false;
        }
        bool isDefault = false;
        if (line.startsWith(u'@')) {
            isDefault = true;
            line = line.sliced(1);
        } else if (!takeQuoted(line)) {
            return false;
        }
        line = line.trimmed();
        if (!line.startsWith(u'=')) {
            return false;
        }
        line = line.sliced(1).trimmed();
        const auto value = readData(line);
        if (!value) {
            return false;
        }
        // Inside a deletion section, values go nowhere.
        auto& section = sections_.list.back();
        if (isDefault && !section.deletion) {
            section.defaultValue = *value;
        }
        return true;
    }

    // The data after "=", reading on over the continuation lines of hex data.
    std::optional<RegistryValue> readData(QStringView data) {
        using Kind = RegistryValue::Kind;
        if (data.startsWith(u'"')) {
            auto text = takeQuoted(data);
            if (!text || !data.trimmed().isEmpty()) {
                return std::nullopt;
            }
            return RegistryValue{Kind::Text, *text};
        }
        if (data == u"-") {
            return RegistryValue{Kind::MissingValue, {}};
        }
        if (data.startsWith(u"dword:", Qt::CaseInsensitive)) {
            const QStringView digits = data.sliced(6);
            bool ok = false;
            static_cast<void>(digits.toUInt(&ok, 16));
            return ok && digits.size() == 8 ? std::optional(RegistryValue{Kind::NotText, {}})
                                            : std::nullopt;
        }
        return readHex(data);
    }

    // hex:.. (binary), hex(1):.. (text), hex(2):.. (text with environment references, kept as
    // written), hex(7):.. (text list) and the other typed forms.
    std::optional<RegistryValue> readHex(QStringView data) {
        using Kind = RegistryValue::Kind;
        if (!data.startsWith(u"hex", Qt::CaseInsensitive)) {
            return std::nullopt;
        }
        const qsizetype colon = data.indexOf(u':');
        if (colon < 0) {
            return std::nullopt;
        }
        const QStringView type = data.first(colon).sliced(3);
        uint valueType = 3;  // REG_BINARY
        if (!type.isEmpty()) {
            bool ok = false;
            valueType = type.startsWith(u'(') && type.endsWith(u')')
                            ? type.sliced(1, type.size() - 2).toUInt(&ok, 16)
                            : 0;
            if (!ok) {
                return std::nullopt;
            }
        }
        QString digits = data.sliced(colon + 1).toString();
        while (digits.endsWith(u'\\')) {
            digits.chop(1);
            const auto more = lines_.next();
            if (!more) {
                return std::nullopt;  // the file ends inside the value
            }
            digits += more->trimmed();
        }
        const auto bytes = hexBytes(digits);
        if (!bytes) {
            return std::nullopt;
        }
        if (valueType != 1 && valueType != 2) {
            return RegistryValue{Kind::NotText, {}};
        }
        return textOf(*bytes);
    }

    // A text stored as bytes, up to its terminating null: UTF-16 in version 5 files, the 8-bit
    // encoding (here UTF-8) in REGEDIT4 files.
    std::optional<RegistryValue> textOf(const QByteArray& bytes) {
        auto text =
            decodeText(bytes, wideText_ ? QStringConverter::Utf16LE : QStringConverter::Utf8);
        if (!text) {
            return std::nullopt;
        }
        const qsizetype end = text->indexOf(QChar(u'\0'));
        if (end >= 0) {
            text->truncate(end);
        }
        return RegistryValue{RegistryValue::Kind::Text, *text};
    }

    Lines lines_;
    bool wideText_ = false;
    Sections& sections_;
};

RegistryFile RegistryFile::parse(QByteArrayView contents) {
    RegistryFile registry;
    if (const auto text = decode(contents)) {
        auto sections = std::make_shared<Sections>();
        if (Parser(*text, *sections).run()) {
            sections->finish();
            registry.sections_ = std::move(sections);
        }
    }
    return registry;
}

RegistryFile RegistryFile::read(const std::filesystem::path& file) {
    // The file is ours, installed beside the program: a link at its place was planted, and a
    // FIFO or a device would block or never end, so only a regular file is read.
    const int input =
        ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW);
    if (input < 0) {
        return {};
    }
    const auto closeInput = qScopeGuard([input] { ::close(input); });
    struct stat status {};
    if (::fstat(input, &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_size > maximumFileSize) {
        return {};
    }
    // One byte more than allowed tells a file that grew past the limit since fstat.
    QByteArray contents(maximumFileSize + 1, Qt::Uninitialized);
    qsizetype size = 0;
    while (size < contents.size()) {
        const ssize_t count = ::read(input, contents.data() + size, size_t(contents.size() - size));
        if (count > 0) {
            size += count;
        } else if (count == 0) {
            break;
        } else if (errno != EINTR) {
            return {};
        }
    }
    if (size > maximumFileSize) {
        return {};
    }
    contents.truncate(size);
    return parse(contents);
}

bool RegistryFile::isEmpty() const {
    return !sections_ || !sections_->anyKeyLeft();
}

RegistryValue RegistryFile::defaultValue(QStringView key) const {
    using Kind = RegistryValue::Kind;
    if (!sections_) {
        return {};
    }
    const QString name = key.toString().toCaseFolded();
    // Whether `prefix` names a key above `full`.
    const auto isAbove = [](QStringView prefix, QStringView full) {
        return full.size() > prefix.size() && full[prefix.size()] == u'\\' &&
               full.startsWith(prefix);
    };
    RegistryValue value;
    for (const Sections::Section& section : sections_->list) {
        if (section.deletion) {
            if (section.key == name || isAbove(section.key, name)) {
                value = {};
            }
        } else if (section.key == name) {
            value = section.defaultValue.value_or(
                value.kind == Kind::MissingKey ? RegistryValue{Kind::MissingValue, {}} : value);
        } else if (value.kind == Kind::MissingKey && isAbove(name, section.key)) {
            value.kind = Kind::MissingValue;
        }
    }
    return value;
}

}  // namespace quorbelix
