// A fuzz driver for the help page readers (the complexity estimate and the search text). With
// file arguments it feeds each file to them once (to replay a case); with --mutate it mutates
// the given pages for a fixed number of rounds from a fixed seed, which the tests run.

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>

#include <cstdint>
#include <cstdio>

#include "HelpBook.h"
#include "PageScan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString page = HelpBook::decodePage(bytes);
    isTooComplexToShow(page);
    extractPageText(page);
    return 0;
}

namespace {

void run(const QByteArray& bytes) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                           static_cast<std::size_t>(bytes.size()));
}

// Flips, inserts, deletes or duplicates bytes or markup, or nests a run of markup many times.
QByteArray mutate(QByteArray bytes, QRandomGenerator& random) {
    static const QByteArray pieces[] = {
        "<table>", "</table>", "<tr>",     "<td>", "</td>",      "<ul>",     "<li>",
        "</ul>",   "<div>",    "</div>",   "<p>",  "<!--",       "-->",      "<!",
        "\"",      "'",        "\\'",      "<",    ">",          "/>",       "=",
        "< ",      "</ ",      "&#",       "&",    ";",          "<script>", "</script",
        "<style>", "<title>",  "</title>", "<br>", "<img src=x>"};
    for (int edit = 0; edit < 1 + int(random.bounded(8)); ++edit) {
        const qsizetype at = bytes.isEmpty() ? 0 : random.bounded(bytes.size());
        switch (random.bounded(5)) {
            case 0:
                if (!bytes.isEmpty()) {
                    bytes[at] = char(bytes[at] ^ (1 << random.bounded(8)));
                }
                break;
            case 1:
                bytes.insert(at, pieces[random.bounded(int(std::size(pieces)))]);
                break;
            case 2:
                bytes.remove(at, random.bounded(64));
                break;
            case 3:
                bytes.insert(at, bytes.mid(random.bounded(bytes.size() + 1), 128));
                break;
            default:
                bytes.insert(at, pieces[random.bounded(int(std::size(pieces)))].repeated(
                                     1 + int(random.bounded(300))));
                break;
        }
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && QByteArray(argv[1]) != "--mutate") {
        for (int arg = 1; arg < argc; ++arg) {
            QFile file(QFile::decodeName(argv[arg]));
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", argv[arg]);
                return 1;
            }
            run(file.readAll());
        }
        return 0;
    }
    // --mutate ROUNDS SEED-FILE...
    const int rounds = argc > 2 ? QByteArray(argv[2]).toInt() : 0;
    QRandomGenerator random(20261208);
    for (int arg = 3; arg < argc; ++arg) {
        QFile file(QFile::decodeName(argv[arg]));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", argv[arg]);
            return 1;
        }
        const QByteArray seed = file.readAll();
        QByteArray page;
        for (int round = 0; round < rounds; ++round) {
            // Mutations pile up for a few rounds, to reach deeper and larger pages.
            page = mutate(round % 8 == 0 ? seed : page, random);
            run(page);
        }
    }
    return 0;
}
