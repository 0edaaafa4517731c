#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <chrono>
#include <future>
#include <ostream>

#include "RegistryFile.h"

namespace quorbelix {

// Failures show the value rather than its bytes.
void PrintTo(const RegistryValue& value, std::ostream* out) {
    *out << int(value.kind) << " \"" << value.text.toStdString() << '"';
}

namespace {

using Kind = RegistryValue::Kind;

constexpr QStringView key = u"HKEY_CLASSES_ROOT\\CLSID\\{ADB880A6}\\InprocServer32";

RegistryValue defaultValue(QByteArrayView file, QStringView name = key) {
    return RegistryFile::parse(file).defaultValue(name);
}

RegistryValue text(const char16_t* value) {
    return {Kind::Text, QString::fromUtf16(value)};
}

const RegistryValue noValue{Kind::MissingValue, {}};

// A version 5 file as regedit writes it: UTF-16 with its byte-order mark.
QByteArray wide(QStringView text) {
    QByteArray file("\xFF\xFE", 2);
    file.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return file;
}

TEST(RegistryFile, ReadsTheDefaultValueAsWritten) {
    const QByteArray file =
        "REGEDIT4\r\n\r\n"
        "; the help viewer\r\n"
        "[HKEY_CLASSES_ROOT\\CLSID\\{adb880a6}\\InprocServer32]\r\n"
        "\"ThreadingModel\"=\"Apartment\"\r\n"
        "@=\"C:\\\\Aide \\\"pr\xC3\xA9\x66\xC3\xA9r\xC3\xA9\\\"\\\\%SystemRoot%\"\r\n";
    // Key names ignore letter case; escapes are undone, environment references left alone.
    EXPECT_EQ(defaultValue(file), text(u"C:\\Aide \"préféré\"\\%SystemRoot%"));
    EXPECT_EQ(defaultValue(file, u"hkey_classes_root\\clsid\\{adb880a6}"),
              (RegistryValue{Kind::MissingValue, {}}));
    EXPECT_EQ(defaultValue(file, u"HKEY_CLASSES_ROOT\\CLSID\\{adb880a6}\\Other"), RegistryValue{});

    const QByteArray withoutDefault =
        "REGEDIT4\n[HKEY_CLASSES_ROOT\\CLSID\\{adb880a6}\\"
        "InprocServer32]\n\"ThreadingModel\"=\"Apartment\"\n";
    EXPECT_EQ(defaultValue(withoutDefault), (RegistryValue{Kind::MissingValue, {}}));
}

TEST(RegistryFile, TellsTextFromOtherTypes) {
    const QByteArray header =
        "Windows Registry Editor Version 5.00\n"
        "[HKEY_CLASSES_ROOT\\CLSID\\{adb880a6}\\InprocServer32]\n";
    EXPECT_EQ(defaultValue(header + "@=dword:00000001\n").kind, Kind::NotText);
    EXPECT_EQ(defaultValue(header + "@=hex:2f,00,\\\n  2f,00\n").kind, Kind::NotText);
    // hex(2) is text with environment references, UTF-16 in version 5 files.
    EXPECT_EQ(defaultValue(header + "@=hex(2):25,00,57,00,\\\n  25,00,00,00\n"), text(u"%W%"));
    EXPECT_EQ(defaultValue("REGEDIT4\n[HKEY_CLASSES_ROOT\\CLSID\\{adb880a6}\\InprocServer32]\n"
                           "@=hex(2):2f,78,00\n"),
              text(u"/x"));

    // Regedit writes version 5 files in UTF-16.
    EXPECT_EQ(defaultValue(wide(QString::fromLatin1(header + "@=\"/opt/aide\"\r\n"))),
              text(u"/opt/aide"));
}

// The UTF-16 decoder lets a lone surrogate through, in the file or in a value's bytes.
TEST(RegistryFile, RefusesLoneSurrogates) {
    const QString header = QStringLiteral(
        "Windows Registry Editor Version 5.00\n"
        "[HKEY_CLASSES_ROOT\\CLSID\\{adb880a6}\\InprocServer32]\n");
    EXPECT_EQ(defaultValue(wide(header + QStringLiteral("@=\"/opt/\U0001F600\"\n"))),
              text(u"/opt/\U0001F600"));
    EXPECT_EQ(defaultValue(header.toUtf8() + "@=hex(2):3d,d8,00,de,00,00\n"), text(u"\U0001F600"));

    for (const char16_t surrogate : {u'\xD83D', u'\xDE00'}) {
        EXPECT_EQ(defaultValue(wide(header + QStringLiteral("@=\"/opt/") + QChar(surrogate) +
                                    QStringLiteral("x\"\n"))),
                  RegistryValue{});
        EXPECT_EQ(
            defaultValue(wide(header + QStringLiteral("@=\"/opt/aide\"\n;") + QChar(surrogate))),
            RegistryValue{});
        const QByteArray bytes =
            QByteArray::number(surrogate & 0xFF, 16) + ',' + QByteArray::number(surrogate >> 8, 16);
        EXPECT_EQ(defaultValue(header.toUtf8() + "@=hex(2):" + bytes + ",41,00,00,00\n"),
                  RegistryValue{});
    }
}

TEST(RegistryFile, ADeletionRemovesTheKeyWithEverythingBelowIt) {
    const QByteArray file =
        "REGEDIT4\n"
        "[HKEY_CLASSES_ROOT\\A\\B]\n@=\"b\"\n"
        "[HKEY_CLASSES_ROOT\\A\\B\\C]\n@=\"c\"\n"
        "[HKEY_CLASSES_ROOT\\A\\B1]\n@=\"b1\"\n"
        "[HKEY_CLASSES_ROOT\\Z]\n@=\"z\"\n"
        "[-hkey_classes_root\\a\\b]\n"
        "@=\"nowhere\"\n";
    EXPECT_EQ(defaultValue(file, u"HKEY_CLASSES_ROOT\\A\\B"), RegistryValue{});
    EXPECT_EQ(defaultValue(file, u"HKEY_CLASSES_ROOT\\A\\B\\C"), RegistryValue{});
    // A sibling whose name starts with the deleted one, the key above and the section before the
    // deletion stay; the value after it sets nothing.
    EXPECT_EQ(defaultValue(file, u"HKEY_CLASSES_ROOT\\A\\B1"), text(u"b1"));
    EXPECT_EQ(defaultValue(file, u"HKEY_CLASSES_ROOT\\A"), noValue);
    EXPECT_EQ(defaultValue(file, u"HKEY_CLASSES_ROOT\\Z"), text(u"z"));

    // Written again, the key comes back without its old value.
    EXPECT_EQ(defaultValue(file + "[HKEY_CLASSES_ROOT\\A\\B\\C\\D]\n", u"HKEY_CLASSES_ROOT\\A\\B"),
              noValue);
    EXPECT_TRUE(RegistryFile::parse(file + "[-HKEY_CLASSES_ROOT]\n").isEmpty());

    // Many deletions, every other key of a thousand.
    QByteArray many = "REGEDIT4\n";
    for (int number = 0; number < 1000; ++number) {
        many += "[HKEY_A\\K" + QByteArray::number(number) + "]\n@=\"" + QByteArray::number(number) +
                "\"\n";
    }
    for (int number = 0; number < 1000; number += 2) {
        many += "[-HKEY_A\\k" + QByteArray::number(number) + "]\n";
    }
    const RegistryFile registry = RegistryFile::parse(many);
    for (int number = 0; number < 1000; ++number) {
        const QString name = QStringLiteral("HKEY_A\\K") + QString::number(number);
        const RegistryValue expected =
            number % 2 != 0 ? RegistryValue{Kind::Text, QString::number(number)} : RegistryValue{};
        EXPECT_EQ(registry.defaultValue(name), expected) << number;
    }
}

// A key thousands of levels deep, as a hostile file could hold, exists at every level.
TEST(RegistryFile, ReadsADeepKey) {
    QByteArray name = "HKEY_A";
    QByteArray halfway;
    for (int level = 0; level < 20000; ++level) {
        halfway = level == 10000 ? name : halfway;
        name += "\\k" + QByteArray::number(level % 10);
    }
    const RegistryFile registry = RegistryFile::parse("REGEDIT4\n[" + name + "]\n@=\"deep\"\n");
    EXPECT_EQ(registry.defaultValue(QString::fromLatin1(name.toUpper())), text(u"deep"));
    EXPECT_EQ(registry.defaultValue(QString::fromLatin1(halfway)), noValue);
    EXPECT_EQ(registry.defaultValue(QString::fromLatin1(name + "\\k0")), RegistryValue{});
}

// Whatever is wrong in the file, nothing is read from it, and nothing crashes.
TEST(RegistryFile, FindsNothingInAMalformedFile) {
    const QByteArray section = "[HKEY_CLASSES_ROOT\\CLSID\\{adb880a6}\\InprocServer32]\n";
    const QByteArray good = "REGEDIT4\n" + section + "@=\"/opt/aide.so\"\n";
    ASSERT_EQ(defaultValue(good).kind, Kind::Text);

    const QByteArray malformed[] = {
        section + "@=\"/opt/aide.so\"\n",                             // no header
        "REGEDIT4\n" + section + "@=\"/opt/aide.so\n",                // truncated line
        "REGEDIT4\n" + section + "@=\"/opt\\aide.so\"\n",             // bad escape
        "REGEDIT4\n" + section + "@=\"/opt/aide.so\" x\n",            // trailing text
        "REGEDIT4\n" + section + "@=hex:2f,\\\n",                     // file ends in a value
        "REGEDIT4\n" + section + "@=dword:1\n",                       // short number
        "REGEDIT4\n@=\"/opt/aide.so\"\n" + section,                   // value outside a key
        "REGEDIT4\n[HKEY_CLASSES_ROOT\\CLSID\n@=\"/opt/aide.so\"\n",  // unclosed section
        good + QByteArray("\0\x01\x02", 3),                           // binary garbage
        good.first(good.size() - 5) + QByteArray("\0.so\"\n", 6),     // null in a value
        good + "\xC3\x28\n",                                          // not UTF-8
        good + ";\xC3",                                               // cut UTF-8 character
    };
    for (const QByteArray& file : malformed) {
        EXPECT_EQ(defaultValue(file), RegistryValue{}) << file.toStdString();
    }

    // Every prefix of a good file, and random damage to it.
    for (qsizetype size = 0; size < good.size(); ++size) {
        static_cast<void>(defaultValue(good.first(size)));
    }
    QRandomGenerator random(8);
    for (int round = 0; round < 2000; ++round) {
        QByteArray damaged = good;
        for (int flip = 0; flip < 3; ++flip) {
            damaged[random.bounded(damaged.size())] = static_cast<char>(random.bounded(256));
        }
        static_cast<void>(defaultValue(damaged));
    }
}

TEST(RegistryFile, ReadsOnlyARegularFileWithinTheSizeLimit) {
    QTemporaryDir dir;
    const auto path = [&dir](const char* name) {
        return std::filesystem::path(
            QFile::encodeName(dir.filePath(QString::fromLatin1(name))).toStdString());
    };
    EXPECT_TRUE(RegistryFile::read(path("absent.reg")).isEmpty());

    // A file of exactly the size limit is read; one byte more and it is not.
    const QByteArray start = "REGEDIT4\n[HKEY_CLASSES_ROOT\\A]\n@=\"a\"\n;";
    const QByteArray full =
        start + QByteArray(RegistryFile::maximumFileSize - start.size() - 1, 'x') + '\n';
    QFile limit(QString::fromStdString(path("limit.reg")));
    ASSERT_TRUE(limit.open(QIODevice::WriteOnly));
    limit.write(full);
    limit.close();
    EXPECT_EQ(RegistryFile::read(path("limit.reg")).defaultValue(u"HKEY_CLASSES_ROOT\\A"),
              text(u"a"));
    ASSERT_TRUE(limit.open(QIODevice::Append));
    limit.write("\n");
    limit.close();
    EXPECT_TRUE(RegistryFile::read(path("limit.reg")).isEmpty());

    // A link planted at the path is not followed, even to a file that reads.
    ASSERT_TRUE(QFile::link(QString::fromStdString(path("limit.reg")),
                            QString::fromStdString(path("link.reg"))));
    ASSERT_TRUE(limit.resize(RegistryFile::maximumFileSize));
    EXPECT_TRUE(RegistryFile::read(path("link.reg")).isEmpty());

    // A FIFO would block a reader until someone writes into it; on failure the test writes to let
    // it go rather than hang.
    ASSERT_EQ(mkfifo(path("fifo.reg").c_str(), 0600), 0);
    auto reading =
        std::async(std::launch::async, [&] { return RegistryFile::read(path("fifo.reg")); });
    const bool prompt = reading.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    if (!prompt) {
        QFile writer(QString::fromStdString(path("fifo.reg")));
        EXPECT_TRUE(writer.open(QIODevice::WriteOnly));
        writer.write(start + "\n");
    }
    EXPECT_TRUE(prompt);
    EXPECT_TRUE(reading.get().isEmpty());
}

}  // namespace
}  // namespace quorbelix
