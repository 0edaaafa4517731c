#include "RegistryFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QScopeGuard>
#include <QStringDecoder>
#include <cerrno>
#include <optional>

namespace quorbelix {

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

class Parser {
public:
    explicit Parser(QStringView text) : lines_(text) {}

    // The default values by case-folded key, or nothing when the text is not a registry file.
    std::optional<QHash<QString, RegistryValue>> run() {
        if (!readHeader()) {
            return std::nullopt;
        }
        while (const auto line = lines_.next()) {
            const QStringView trimmed = line->trimmed();
            const bool ok = trimmed.isEmpty() || trimmed.startsWith(u';') ||
                            (trimmed.startsWith(u'[') ? readSection(trimmed) : readValue(trimmed));
            if (!ok) {
                return std::nullopt;
            }
        }
        return std::move(keys_);
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
        const QString key = name.toString().toCaseFolded();
        if (deletion) {
            // Removes the key and everything below it; the values that follow go nowhere.
            for (auto entry = keys_.begin(); entry != keys_.end();) {
                const bool below = entry.key() == key || entry.key().startsWith(key + u'\\');
                entry = below ? keys_.erase(entry) : std::next(entry);
            }
            section_.reset();
            inSection_ = true;
            return true;
        }
        addKey(key);
        // The keys above it exist too.
        for (qsizetype slash = key.lastIndexOf(u'\\'); slash > 0;
             slash = key.lastIndexOf(u'\\', slash - 1)) {
            addKey(key.first(slash));
        }
        section_ = key;
        inSection_ = true;
        return true;
    }

    void addKey(const QString& key) {
        if (!keys_.contains(key)) {
            keys_.insert(key, RegistryValue{RegistryValue::Kind::MissingValue, {}});
        }
    }

    bool readValue(QStringView line) {
        if (!inSection_) {
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
        if (isDefault && section_) {
            keys_[*section_] = *value;
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
    bool inSection_ = false;
    // The key whose values are being read; none inside a deletion section.
    std::optional<QString> section_;
    QHash<QString, RegistryValue> keys_;
};

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

RegistryFile RegistryFile::parse(QByteArrayView contents) {
    RegistryFile registry;
    if (const auto text = decode(contents)) {
        if (auto keys = Parser(*text).run()) {
            registry.keys_ = std::move(*keys);
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

RegistryValue RegistryFile::defaultValue(QStringView key) const {
    const auto found = keys_.constFind(key.toString().toCaseFolded());
    return found != keys_.cend() ? *found : RegistryValue{};
}

}  // namespace quorbelix
