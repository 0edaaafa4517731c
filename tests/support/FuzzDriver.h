#pragma once

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>

// The driver's check of one input, as libFuzzer calls it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// What the fuzz drivers share: byte-level mutations from a fixed seed, and the main() that
// replays files or mutates seeds for a fixed number of rounds, which the tests run.
namespace quorbelix::test {

// One to eight edits: a bit flipped, one of `pieces` inserted, a run deleted or duplicated, and,
// when `nest`, a piece inserted up to 300 times in a row, to reach deep nesting.
inline QByteArray mutateBytes(QByteArray bytes, QRandomGenerator& random,
                              std::span<const QByteArray> pieces, bool nest = false) {
    const auto piece = [&] { return pieces[random.bounded(int(pieces.size()))]; };
    for (int edit = 0; edit < 1 + int(random.bounded(8)); ++edit) {
        const qsizetype at = bytes.isEmpty() ? 0 : random.bounded(bytes.size());
        switch (random.bounded(nest ? 5 : 4)) {
            case 0:
                if (!bytes.isEmpty()) {
                    bytes[at] = char(bytes[at] ^ (1 << random.bounded(8)));
                }
                break;
            case 1:
                bytes.insert(at, piece());
                break;
            case 2:
                bytes.remove(at, random.bounded(64));
                break;
            case 3:
                bytes.insert(at, bytes.mid(random.bounded(bytes.size() + 1), 128));
                break;
            default:
                bytes.insert(at, piece().repeated(1 + int(random.bounded(300))));
                break;
        }
    }
    return bytes;
}

// Reads the file `name` into `contents`; says so and gives false when it cannot.
inline bool readFuzzInput(const char* name, QByteArray& contents) {
    QFile file(QFile::decodeName(name));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", name);
        return false;
    }
    contents = file.readAll();
    return true;
}

inline void checkFuzzInput(const QByteArray& bytes) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                           static_cast<std::size_t>(bytes.size()));
}

// main() of a fuzz driver. With file arguments it checks each file once (to replay a case); with
// "--mutate ROUNDS SEED-FILE..." it checks ROUNDS mutations of each seed, from a fixed random
// seed. Mutations pile up for `pileUp` rounds in a row, to reach larger inputs.
inline int fuzzMain(int argc, char** argv,
                    const std::function<QByteArray(QByteArray, QRandomGenerator&)>& mutate,
                    int pileUp = 1) {
    QByteArray contents;
    if (argc > 1 && QByteArray(argv[1]) != "--mutate") {
        for (int arg = 1; arg < argc; ++arg) {
            if (!readFuzzInput(argv[arg], contents)) {
                return 1;
            }
            checkFuzzInput(contents);
        }
        return 0;
    }
    const int rounds = argc > 2 ? QByteArray(argv[2]).toInt() : 0;
    QRandomGenerator random(20261208);
    for (int arg = 3; arg < argc; ++arg) {
        if (!readFuzzInput(argv[arg], contents)) {
            return 1;
        }
        QByteArray input;
        for (int round = 0; round < rounds; ++round) {
            input = mutate(round % pileUp == 0 ? contents : input, random);
            checkFuzzInput(input);
        }
    }
    return 0;
}

}  // namespace quorbelix::test
