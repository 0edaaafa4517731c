// A fuzz driver for the registry file reader. With file arguments it feeds each file to it once
// (to replay a case); with --mutate ROUNDS [SEED-FILE...] it mutates its own seeds and the files
// given for a fixed number of rounds each, from a fixed start of its random numbers that
// --random=NUMBER changes for a longer run by hand.
//
// Beyond not crashing, every input is checked against what must hold whatever the file says:
// reading it twice gives the same answers, a key that exists has its keys above it and makes the
// registry not empty, names ignore letter case, and the same text in UTF-8, UTF-16LE or UTF-16BE
// reads the same. An input that breaks one is written to registry-fuzz-failure.reg and ends the
// run.

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <utility>

#include "FuzzDriver.h"
#include "RegistryFile.h"

using quorbelix::RegistryFile;
using quorbelix::RegistryValue;

namespace {

[[noreturn]] void fail(const QByteArray& input, const char* what, const QString& key) {
    QFile file(QStringLiteral("registry-fuzz-failure.reg"));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(input);
    }
    std::fprintf(stderr, "%s for key \"%s\"; input in registry-fuzz-failure.reg\n", what,
                 qPrintable(key));
    std::abort();
}

// The keys to ask about: the section names in the text with the keys above them, a few at most.
QStringList probes(const QString& text) {
    QStringList keys{QStringLiteral("HKEY_CLASSES_ROOT\\CLSID\\{adb880a6}\\InprocServer32")};
    for (QStringView line : QStringView(text).tokenize(u'\n')) {
        line = line.trimmed();
        if (!line.startsWith(u'[') || !line.endsWith(u']')) {
            continue;
        }
        QStringView key = line.sliced(1, line.size() - 2);
        if (key.startsWith(u'-')) {
            key = key.sliced(1);
        }
        for (qsizetype slash = 0; slash >= 0; slash = key.indexOf(u'\\', slash + 1)) {
            if (keys.size() == 64) {
                return keys;
            }
            keys.append((slash > 0 ? key.first(slash) : key).toString());
        }
    }
    return keys;
}

QByteArray utf16(const QString& text, bool bigEndian) {
    QByteArray bytes = bigEndian ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2);
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8);
        const char low = char(c.unicode() & 0xFF);
        bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return bytes;
}

void check(const QByteArray& input) {
    const RegistryFile registry = RegistryFile::parse(input);
    const RegistryFile again = RegistryFile::parse(input);
    if (registry.isEmpty() != again.isEmpty()) {
        fail(input, "two readings differ on being empty", {});
    }
    // UTF-8 input without a byte-order mark has the same text in UTF-16.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(input);
    const bool plain = !decoder.hasError() && !input.startsWith("\xEF\xBB\xBF") &&
                       !input.startsWith("\xFF\xFE") && !input.startsWith("\xFE\xFF");
    const RegistryFile little = RegistryFile::parse(plain ? utf16(text, false) : QByteArray());
    const RegistryFile big = RegistryFile::parse(plain ? utf16(text, true) : QByteArray());

    for (const QString& key : probes(text)) {
        const RegistryValue value = registry.defaultValue(key);
        if (again.defaultValue(key) != value) {
            fail(input, "two readings differ", key);
        }
        // Beyond ASCII, upper case may change a name's length (ß is SS).
        const bool ascii =
            std::all_of(key.cbegin(), key.cend(), [](QChar c) { return c.unicode() < 0x80; });
        if (registry.defaultValue(key.toCaseFolded()) != value ||
            (ascii && registry.defaultValue(key.toUpper()) != value)) {
            fail(input, "letter case changes the answer", key);
        }
        if (plain && (little.defaultValue(key) != value || big.defaultValue(key) != value)) {
            fail(input, "UTF-16 reads otherwise", key);
        }
        const qsizetype slash = key.lastIndexOf(u'\\');
        if (value.kind != RegistryValue::Kind::MissingKey && slash > 0 &&
            registry.defaultValue(key.first(slash)).kind == RegistryValue::Kind::MissingKey) {
            fail(input, "a key exists without the key above it", key);
        }
        if (value.kind != RegistryValue::Kind::MissingKey && registry.isEmpty()) {
            fail(input, "an empty registry has a key", key);
        }
    }
}

// Seeds of our own: the forms the reader knows, deletions, a deep key and a UTF-16 file.
QList<QByteArray> ownSeeds() {
    const QByteArray section = "[HKEY_CLASSES_ROOT\\CLSID\\{adb880a6}\\InprocServer32]\r\n";
    const QByteArray values =
        "\"ThreadingModel\"=\"Apartment\"\r\n"
        "@=\"C:\\\\Aide \\\"pr\xC3\xA9\x66\xC3\xA9r\xC3\xA9\\\"\\\\%SystemRoot%\"\r\n";
    QByteArray deep = "[HKEY_A";
    for (int level = 0; level < 200; ++level) {
        deep += "\\k";
    }
    deep += "]\n@=\"deep\"\n";
    const QString wide = QStringLiteral(
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_CLASSES_ROOT\\CLSID\\{adb880a6}\\InprocServer32]\r\n"
        "@=hex(2):2f,00,6f,00,3d,d8,00,de,00,00\r\n"
        "[-HKEY_CLASSES_ROOT\\CLSID\\{adb880a6}]\r\n"
        "@=\"/ailleurs\"\r\n"
        "[HKEY_CLASSES_ROOT\\CLSID\\{adb880a6}\\InprocServer32\\Sous]\r\n");
    return {
        "REGEDIT4\r\n\r\n; the help viewer\r\n" + section + values,
        "Windows Registry Editor Version 5.00\n" + section +
            "@=hex(2):25,00,57,00,\\\n  25,00,00,00\n\"n\"=dword:00000001\n@=hex:2f,00\n@=-\n",
        "REGEDIT4\n[HKEY_A\\B]\n@=\"b\"\n[HKEY_A\\B1]\n[-HKEY_A\\b]\n@=\"x\"\n[HKEY_A\\B\\C]\n"
        "[-HKEY_A]\n[HKEY_Z]\n" +
            deep,
        utf16(wide, false),
        utf16(wide, true),
    };
}

// Flips, inserts, deletes or duplicates a few bytes or a piece of the format, or adds a deep key.
QByteArray mutate(QByteArray bytes, QRandomGenerator& random) {
    static const QByteArray pieces[] = {
        "[",    "]",    "\\",       "-",       "@=",          "hex(2):", "hex:", "\"",
        "\n",   "\r\n", "HKEY_",    "[-HKEY_", "dword:",      ",",       "00,",  "\\\n  ",
        "\xD8", "\xDC", "\xED\xA0", ";",       "[HKEY_A\\B]", "\0",      "\xFE", "\xFF",
    };
    bytes = quorbelix::test::mutateBytes(std::move(bytes), random, pieces);
    if (random.bounded(6) == 0) {  // a deep key
        const qsizetype at = bytes.isEmpty() ? 0 : random.bounded(bytes.size());
        bytes.insert(at, QByteArray("\\k").repeated(1 + random.bounded(2000)));
    }
    return bytes.first(std::min(bytes.size(), RegistryFile::maximumFileSize));
}

// How long checking `input` takes, in nanoseconds.
double checkTime(const QByteArray& input) {
    QElapsedTimer timer;
    timer.start();
    check(input);
    return double(timer.nsecsElapsed());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    check(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    return 0;
}

int main(int argc, char** argv) {
    if (argc > 1 && QByteArray(argv[1]) != "--mutate") {
        for (int arg = 1; arg < argc; ++arg) {
            QByteArray contents;
            if (!quorbelix::test::readFuzzInput(argv[arg], contents)) {
                return 1;
            }
            check(contents);
        }
        return 0;
    }
    // --mutate ROUNDS [--random=NUMBER] SEED-FILE...
    const int rounds = argc > 2 ? QByteArray(argv[2]).toInt() : 0;
    quint32 start = 20261208;
    QList<QByteArray> seeds = ownSeeds();
    for (int arg = 3; arg < argc; ++arg) {
        const QByteArray argument(argv[arg]);
        if (argument.startsWith("--random=")) {
            start = argument.sliced(9).toUInt();
        } else if (!quorbelix::test::readFuzzInput(argv[arg], seeds.emplace_back())) {
            return 1;
        }
    }
    QRandomGenerator random(start);
    // The slowest check by the byte of an input of some size, to spot one that grows faster than
    // the file; timed again at the end, as a busy machine can slow down any one check.
    double slowest = 0;
    QByteArray slowestInput;
    long long inputs = 0;
    for (const QByteArray& seed : seeds) {
        QByteArray input = seed;
        for (int round = 0; round < rounds; ++round) {
            // Mutations pile up on a seed for a while, then start again from it.
            input = mutate(round % 16 == 0 ? seed : input, random);
            const double perByte = checkTime(input) / double(input.size());
            if (input.size() >= 4096 && perByte > slowest) {
                slowest = perByte;
                slowestInput = input;
            }
            ++inputs;
        }
    }
    double again = slowest;
    for (int run = 0; run < 5 && !slowestInput.isEmpty(); ++run) {
        again = std::min(again, checkTime(slowestInput) / double(slowestInput.size()));
    }
    std::printf("%lld inputs; slowest %.0f ns a byte (%lld bytes), %.0f timed again\n", inputs,
                slowest, static_cast<long long>(slowestInput.size()), again);
    return 0;
}
