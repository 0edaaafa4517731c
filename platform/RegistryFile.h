#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <filesystem>
#include <memory>

namespace quorbelix {

// What a registry read finds at a key's default (unnamed) value.
struct RegistryValue {
    enum class Kind {
        MissingKey,    // the key does not exist
        MissingValue,  // the key exists without a default value
        Text,          // a text value (REG_SZ or REG_EXPAND_SZ), in `text`
        NotText,       // a value of another type (a number or binary data)
    };
    Kind kind = Kind::MissingKey;
    QString text;

    friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

// A registry export in the .reg text format, read-only: a "REGEDIT4" or "Windows Registry Editor
// Version 5.00" header, then [HKEY_...\...] sections holding @=... (default) and "name"=...
// values. Texts are kept as written: environment references are not expanded.
//
// The file comes from outside the program, so anything it cannot make sense of (no header, a
// truncated line, a bad escape, binary garbage) makes the whole file read as empty rather than
// half-read.
class RegistryFile {
public:
    // An empty registry: every key is missing.
    RegistryFile() = default;

    // Parsing takes time and memory in proportion to the size of `contents`.
    static RegistryFile parse(QByteArrayView contents);
    // A missing, unreadable or oversized file reads as an empty registry, and so does anything at
    // the path but a regular file: a link, a FIFO or a device is not read.
    static RegistryFile read(const std::filesystem::path& file);

    bool isEmpty() const;

    // The default value of `key`, a full key name such as "HKEY_CLASSES_ROOT\CLSID\{...}"; key
    // names compare ignoring letter case. A key exists when it has a section of its own or a
    // section below it. The lookup goes through the file's sections, in proportion to its size.
    RegistryValue defaultValue(QStringView key) const;

    // Files larger than this are not registry exports of ours and are not read.
    static constexpr qsizetype maximumFileSize = 1 << 20;

private:
    struct Sections;
    class Parser;

    // Shared by the copies: never changed once read. None when nothing could be read.
    std::shared_ptr<const Sections> sections_;
};

}  // namespace quorbelix
