// A fuzz driver for quorbelix-solve's arguments: options, numbers and target ranges. With file
// arguments it runs each file once, one argument per line (to replay a case); without, it
// runs a fixed number of calls built from a fixed seed out of valid, extreme and malformed
// pieces, which the tests run. Every call must end with exit status 0, 1 (the output sink
// stops taking bytes, as an early reader does) or 2 with a message of one line.

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "SolveCommand.h"

namespace {

// Takes the first bytes, then fails as a pipe whose reader has gone: a call with a long
// listing ends after its first block instead of writing all of it.
class LimitedSink : public quorbelix::OutputSink {
public:
    int write(std::string_view bytes) override {
        if (taken_ > kLimit) {
            return EPIPE;
        }
        taken_ += bytes.size();
        return 0;
    }

private:
    static constexpr std::size_t kLimit = 1 << 16;
    std::size_t taken_ = 0;
};

class TextSink : public quorbelix::OutputSink {
public:
    int write(std::string_view bytes) override {
        text.append(bytes);
        return 0;
    }
    std::string text;
};

// Calls by exit status.
std::array<long, 3> outcomes{};

void check(const std::vector<std::string>& arguments) {
    const std::vector<std::string_view> views(arguments.begin(), arguments.end());
    LimitedSink out;
    TextSink err;
    const int code = quorbelix::runSolveCommand(views, out, err);
    const bool oneLine = !err.text.empty() && err.text.find('\n') == err.text.size() - 1;
    if (code == 0 || code == 1 || (code == 2 && oneLine)) {
        ++outcomes[static_cast<std::size_t>(code)];
        return;
    }
    std::fprintf(stderr, "exit status %d, standard error '%s', for:\n", code, err.text.c_str());
    for (const std::string& argument : arguments) {
        std::fprintf(stderr, "%s\n", argument.c_str());
    }
    std::abort();
}

std::vector<std::string> split(std::string_view text) {
    std::vector<std::string> arguments;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        arguments.emplace_back(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return arguments;
}

std::vector<std::string> randomCall(std::mt19937& random) {
    // Valid pieces, then malformed ones, picked one time in ten.
    static const std::vector<std::string> kOptions = {
        "--count", "--distinct", "--nearest", "--format=chain", "--format=infix", "--format=rpn"};
    static const std::vector<std::string> kBadOptions = {
        "--format=", "--format=RPN", "--format",  "--format=rpn=", "--",
        "-",         "--help",       "--count=1", "--distinctx",   "--format=infix\n"};
    static const std::vector<std::string> kNumbers = {
        "1",           "1",     "2",     "3",  "7",     "10",         "25",        "50",
        "75",          "100",   "-1",    "-3", "-100",  "0x7FFFFFFF", "$80000000", "2147483647",
        "-2147483648", "46341", "65536", " 5", "00012", "999"};
    static const std::vector<std::string> kBadNumbers = {"5 ", "", "x", "0x", "1e3", "++1"};
    static const std::vector<std::string> kTargets = {"21",
                                                      "999",
                                                      "0",
                                                      "-5",
                                                      "2147483647",
                                                      "-2147483648",
                                                      "1..3",
                                                      "100..140",
                                                      "-3..3",
                                                      "0x10..$20",
                                                      "2147483640..2147483647",
                                                      "-2147483648..-2147483640",
                                                      "1..1",
                                                      "7..7",
                                                      "12"};
    static const std::vector<std::string> kBadTargets = {"5..4", "..",    "1..",
                                                         "..5",  "1...3", "x..y"};
    const auto percent = [&] { return std::uniform_int_distribution<int>(0, 99)(random); };
    const auto pick = [&](const std::vector<std::string>& valid,
                          const std::vector<std::string>& bad) {
        const auto& pieces = percent() < 90 ? valid : bad;
        return pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
    };
    std::vector<std::string> arguments;
    // Mostly seven numbers with few plates, whose searches are quick; sometimes another
    // count.
    const int numbers = percent() < 95 ? 7 : std::uniform_int_distribution<int>(0, 9)(random);
    const int plates = percent() < 10 ? 6 : std::uniform_int_distribution<int>(0, 4)(random);
    for (int index = 0; index < numbers; ++index) {
        if (index == numbers - 1) {
            arguments.push_back(percent() < 80 ? pick(kTargets, kBadTargets)
                                               : pick(kNumbers, kBadNumbers));
        } else {
            arguments.push_back(index < plates ? pick(kNumbers, kBadNumbers) : "0");
        }
    }
    std::shuffle(arguments.begin(), arguments.begin() + std::max(numbers - 1, 0), random);
    const int options = std::uniform_int_distribution<int>(0, 4)(random);
    for (int index = 0; index < options; ++index) {
        const auto where = std::uniform_int_distribution<std::size_t>(0, arguments.size())(random);
        arguments.insert(arguments.begin() + static_cast<std::ptrdiff_t>(where),
                         pick(kOptions, kBadOptions));
    }
    if (!arguments.empty() && percent() < 5) {
        // A byte flipped somewhere.
        std::string& argument =
            arguments[std::uniform_int_distribution<std::size_t>(0, arguments.size() - 1)(random)];
        if (!argument.empty()) {
            argument[std::uniform_int_distribution<std::size_t>(0, argument.size() - 1)(random)] =
                static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random));
        }
    }
    return arguments;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    check(split(std::string_view(reinterpret_cast<const char*>(data), size)));
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 3 && std::string_view(argv[1]) == "--rounds") {
        std::mt19937 random(20261208);
        const long rounds = std::strtol(argv[2], nullptr, 10);
        for (long round = 0; round < rounds; ++round) {
            check(randomCall(random));
        }
        std::printf("%ld calls: %ld exit 0, %ld exit 1, %ld exit 2\n", rounds, outcomes[0],
                    outcomes[1], outcomes[2]);
        return 0;
    }
    for (int index = 1; index < argc; ++index) {
        std::ifstream file(argv[index], std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
        check(split(text));
    }
    return 0;
}
