#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "RandomPlates.h"
#include "SolveCommand.h"
#include "Solver.h"

namespace quorbelix {
namespace {

struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

class StringSink : public OutputSink {
public:
    int write(std::string_view bytes) override {
        text.append(bytes);
        return 0;
    }
    std::string text;
};

// A full disk, or with EPIPE a reader that has gone: every write fails.
class FailingSink : public OutputSink {
public:
    explicit FailingSink(int error = ENOSPC) : error_(error) {}
    int write(std::string_view) override {
        ++writes;
        return error_;
    }
    int writes = 0;

private:
    int error_;
};

Outcome run(std::vector<std::string_view> arguments) {
    StringSink out;
    StringSink err;
    const int exitCode = runSolveCommand(arguments, out, err);
    return {exitCode, out.text, err.text};
}

constexpr std::string_view kUsage =
    "usage: quorbelix-solve [--count] [--distinct] [--nearest] [--format=FORMAT] P1 P2 P3 P4 P5 "
    "P6 TARGET|START..END\n";

TEST(SolveCommand, PrintsOneSolutionPerLineOrTheCount) {
    const Outcome six = run({"1", "2", "3", "4", "5", "6", "6"});
    EXPECT_EQ(six.exitCode, 0);
    EXPECT_TRUE(six.out.starts_with("1+2=3 3+3=6\n1*2=2 2+3=5 5+5=10 10-4=6\n"));
    EXPECT_EQ(std::count(six.out.begin(), six.out.end(), '\n'), 163);
    EXPECT_EQ(six.out.find('\r'), std::string::npos);
    EXPECT_EQ(run({"3", "-5", "0", "0", "0", "0", "8"}).out, "3--5=8\n");
    // Numbers read like the game's boxes: blanks before, hexadecimal, leading zeros.
    EXPECT_EQ(run({"0x1F", " 7", "0", "0", "0", "0", "038"}).out, "31+7=38\n");
    EXPECT_EQ(run({"--count", "1", "2", "3", "4", "5", "6", "21"}).out, "17388\n");
    EXPECT_EQ(run({"1", "2", "3", "4", "5", "6", "21", "--count"}).out, "17388\n");
    EXPECT_EQ(run({"--count", "1", "1", "1", "1", "1", "1", "999"}).out, "0\n");
    // A listing of many output blocks loses and repeats nothing where they meet.
    SolutionList sums;
    Search({1, 2, 3, 4, 5, 6}, 21, sums);
    std::string lines;
    sums.forEachText(
        [&](std::string_view text) {
            lines.append(text);
            lines.back() = '\n';
            return true;
        },
        ' ');
    EXPECT_GT(lines.size(), 500'000u);
    EXPECT_EQ(run({"1", "2", "3", "4", "5", "6", "21"}).out, lines);
    const Outcome none = run({"1", "1", "1", "1", "1", "1", "999"});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out + none.err, "");
}

TEST(SolveCommand, ListsEachTargetOfARange) {
    EXPECT_EQ(run({"--count", "1", "2", "3", "4", "5", "6", "20..22"}).out,
              "20 10288\n21 17388\n22 11806\n");
    EXPECT_EQ(run({"--count", "0", "0", "0", "0", "3", "4", "-2..-1"}).out, "-2 0\n-1 0\n");
    EXPECT_EQ(run({"0", "0", "0", "0", "3", "4", "6..8"}).out,
              "# 6: 0 solutions\n# 7: 1 solution\n3+4=7\n# 8: 0 solutions\n");
    // A range of one target still has its header; the ends are read like any number.
    EXPECT_EQ(run({"0", "0", "0", "0", "3", "4", "$C..0xC"}).out, "# 12: 1 solution\n3*4=12\n");
    // The last target is included even at the top of the 32-bit range.
    EXPECT_EQ(run({"--count", "1", "0", "0", "0", "0", "0", "2147483646..2147483647"}).out,
              "2147483646 0\n2147483647 0\n");
    const Outcome empty = run({"1", "2", "3", "4", "5", "6", "9..8"});
    EXPECT_EQ(empty.exitCode, 2);
    EXPECT_EQ(empty.out, "");
    // A malformed range is quoted whole.
    for (const std::string_view range : {"9..x", "1..", "..5", "1...3"}) {
        const Outcome bad = run({"1", "2", "3", "4", "5", "6", range});
        EXPECT_EQ(bad.exitCode, 2);
        EXPECT_EQ(bad.err, std::string(1, '\'').append(range).append(
                               "' n'est pas une valeur entière correcte\n"));
    }
    // Counts over a range longer than one counting pass: every target once, in order.
    const std::string counts = run({"--count", "0", "0", "0", "0", "3", "4", "1..65537"}).out;
    std::size_t lines = 0;
    bool inOrder = true;
    for (std::size_t start = 0; start < counts.size(); ++lines) {
        const std::size_t end = counts.find('\n', start);
        const std::string expected =
            std::to_string(lines + 1) +
            (lines + 1 == 1 || lines + 1 == 7 || lines + 1 == 12 ? " 1" : " 0");
        inOrder &= counts.compare(start, end - start, expected) == 0;
        start = end + 1;
    }
    EXPECT_EQ(lines, 65537u);
    EXPECT_TRUE(inOrder);
}

TEST(SolveCommand, StopsAtTheFirstFailedWriteWithExitCode1) {
    for (const std::string_view count : {"--count", "1"}) {
        // A listing much larger than the output buffer, as a range, stops after one write.
        std::vector<std::string_view> arguments = {"1", "2", "3", "4", "5", "6", "1..999"};
        if (count == "--count") {
            arguments.push_back(count);
        }
        FailingSink out;
        StringSink err;
        EXPECT_EQ(runSolveCommand(arguments, out, err), 1);
        EXPECT_EQ(out.writes, 1);
        EXPECT_EQ(err.text, "quorbelix-solve: cannot write the output: No space left on device\n");
    }
    // A reader that stopped early gets no complaint.
    FailingSink gone(EPIPE);
    StringSink quiet;
    const std::vector<std::string_view> listing = {"1", "2", "3", "4", "5", "6", "21"};
    EXPECT_EQ(runSolveCommand(listing, gone, quiet), 1);
    EXPECT_EQ(gone.writes, 1);
    EXPECT_EQ(quiet.text, "");
    FailingSink out;
    StringSink err;
    const std::vector<std::string_view> help = {"--help"};
    EXPECT_EQ(runSolveCommand(help, out, err), 1);
    EXPECT_TRUE(err.text.starts_with("quorbelix-solve: cannot write the output"));
}

TEST(SolveCommand, RejectsBadArgumentsWithExitCode2) {
    const Outcome badNumber = run({"1", "2", "3", "4", "5", "abc", "21"});
    EXPECT_EQ(badNumber.exitCode, 2);
    EXPECT_EQ(badNumber.out, "");
    EXPECT_EQ(badNumber.err, "'abc' n'est pas une valeur entière correcte\n");
    for (const auto& arguments : std::vector<std::vector<std::string_view>>{
             {}, {"1", "2", "3", "4", "5", "6"}, {"1", "2", "3", "4", "5", "6", "7", "8"}}) {
        const Outcome wrong = run(arguments);
        EXPECT_EQ(wrong.exitCode, 2);
        EXPECT_EQ(wrong.out, "");
        EXPECT_EQ(wrong.err, kUsage);
    }
    const std::vector<std::pair<std::vector<std::string_view>, std::string_view>> badOptions = {
        {{"--verbose"}, "quorbelix-solve: unknown option '--verbose' (see --help)\n"},
        {{"--format"}, "quorbelix-solve: unknown option '--format' (see --help)\n"},
        {{"--format=xml"}, "quorbelix-solve: unknown format 'xml': chain, infix or rpn\n"},
        {{"--format="}, "quorbelix-solve: unknown format '': chain, infix or rpn\n"},
        {{"--format=rpn", "--count", "--format=infix"},
         "quorbelix-solve: --format=rpn and --format=infix contradict each other\n"},
        {{"--distinct", "--format=chain"},
         "quorbelix-solve: --distinct lists calculations, not chains: use --format=infix or "
         "--format=rpn\n"},
    };
    for (const auto& [options, message] : badOptions) {
        std::vector<std::string_view> arguments = {"1", "2", "3", "4", "5", "6", "21"};
        arguments.insert(arguments.begin() + 3, options.begin(), options.end());
        const Outcome bad = run(arguments);
        EXPECT_EQ(bad.exitCode, 2);
        EXPECT_EQ(bad.out, "");
        EXPECT_EQ(bad.err, message);
    }
    // The same value twice is no contradiction.
    EXPECT_EQ(run({"--format=rpn", "0", "0", "0", "0", "3", "4", "7", "--format=rpn"}).out,
              "3 4 +\n");
    const Outcome help = run({"1", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.starts_with(kUsage));
    EXPECT_EQ(help.err, "");
}

TEST(SolveCommand, ListsDistinctCalculationsAndTheNearestResults) {
    EXPECT_EQ(run({"--distinct", "--count", "1", "2", "3", "4", "5", "6", "21"}).out, "651\n");
    EXPECT_EQ(run({"1", "2", "3", "4", "5", "6", "20..22", "--count", "--distinct"}).out,
              "20 787\n21 651\n22 502\n");
    EXPECT_EQ(run({"--distinct", "0", "0", "0", "0", "3", "4", "6..8"}).out,
              "# 6: 0 calculations\n# 7: 1 calculation\n4+3\n# 8: 0 calculations\n");
    // Nothing reaches 999: 9 is closest, listed as the game lists it.
    const Outcome ones = run({"--nearest", "1", "1", "1", "1", "1", "1", "999"});
    EXPECT_EQ(ones.exitCode, 0);
    const std::string nines = run({"1", "1", "1", "1", "1", "1", "9"}).out;
    EXPECT_EQ(ones.out, "# nearest: 9 (off by 990)\n" + nines);
    EXPECT_EQ(run({"--count", "--nearest", "1", "1", "1", "1", "1", "1", "999"}).out,
              "9 " + std::to_string(std::count(nines.begin(), nines.end(), '\n')) + "\n");
    // Equally close below and above: both, below first; with --distinct, calculations.
    EXPECT_EQ(run({"--nearest", "--distinct", "0", "0", "0", "0", "3", "4", "4"}).out,
              "# nearest: 1 (off by 3)\n4-3\n# nearest: 7 (off by 3)\n4+3\n");
    EXPECT_EQ(run({"--nearest", "--count", "0", "0", "0", "0", "3", "4", "4"}).out, "1 1\n7 1\n");
    // Next to the target on one side only; on both.
    EXPECT_EQ(run({"--nearest", "--count", "0", "0", "0", "0", "3", "4", "2"}).out, "1 1\n");
    EXPECT_EQ(run({"--nearest", "--count", "1", "3", "5", "7", "9", "10", "911"}).out,
              "910 92\n912 84\n");
    // A reachable target is listed as without the option; no step reaches nothing.
    EXPECT_EQ(run({"--nearest", "1", "2", "3", "4", "5", "6", "21"}).out,
              run({"1", "2", "3", "4", "5", "6", "21"}).out);
    EXPECT_EQ(run({"--nearest", "0", "0", "0", "0", "0", "0", "21"}).out, "");
}

// The value of an expression under the usual precedence, in exact integers, and the
// numbers it holds; written apart from the engine's writers, to check what they print.
class Evaluator {
public:
    // Infix: + - * / and parentheses, a minus sign only before a number in parentheses.
    std::optional<std::int64_t> infix(std::string_view text) {
        text_ = text;
        position_ = 0;
        numbers.clear();
        const auto value = sum();
        return position_ == text_.size() ? value : std::nullopt;
    }

    std::optional<std::int64_t> rpn(std::string_view text) {
        numbers.clear();
        std::vector<std::int64_t> stack;
        while (!text.empty()) {
            const std::size_t blank = std::min(text.find(' '), text.size());
            const std::string_view token = text.substr(0, blank);
            text.remove_prefix(std::min(blank + 1, text.size()));
            if (token.size() == 1 &&
                std::string_view("+-*/").find(token[0]) != std::string_view::npos) {
                if (stack.size() < 2) {
                    return std::nullopt;
                }
                const std::int64_t right = stack.back();
                stack.pop_back();
                const auto value = apply(stack.back(), token[0], right);
                if (!value) {
                    return std::nullopt;
                }
                stack.back() = *value;
            } else {
                std::int64_t number = 0;
                if (std::from_chars(token.begin(), token.end(), number).ptr != token.end()) {
                    return std::nullopt;
                }
                numbers.push_back(number);
                stack.push_back(number);
            }
        }
        return stack.size() == 1 ? std::optional(stack.back()) : std::nullopt;
    }

    std::vector<std::int64_t> numbers;

private:
    static std::optional<std::int64_t> apply(std::int64_t left, char op, std::int64_t right) {
        switch (op) {
            case '+':
                return left + right;
            case '-':
                return left - right;
            case '*':
                return left * right;
            default:
                if (right == 0 || left % right != 0) {
                    return std::nullopt;
                }
                return left / right;
        }
    }

    char peek() const { return position_ < text_.size() ? text_[position_] : '\0'; }

    std::optional<std::int64_t> sum() {
        auto value = product();
        while (value && (peek() == '+' || peek() == '-')) {
            const char op = text_[position_++];
            const auto right = product();
            value = right ? apply(*value, op, *right) : std::nullopt;
        }
        return value;
    }

    std::optional<std::int64_t> product() {
        auto value = primary();
        while (value && (peek() == '*' || peek() == '/')) {
            const char op = text_[position_++];
            const auto right = primary();
            value = right ? apply(*value, op, *right) : std::nullopt;
        }
        return value;
    }

    std::optional<std::int64_t> primary() {
        if (peek() == '(') {
            ++position_;
            const bool negative = peek() == '-';
            const auto value = negative ? (++position_, number()) : sum();
            if (!value || peek() != ')') {
                return std::nullopt;
            }
            ++position_;
            if (negative) {
                numbers.back() = -*value;
                return -*value;
            }
            return value;
        }
        return number();
    }

    std::optional<std::int64_t> number() {
        std::int64_t value = 0;
        const char* start = text_.data() + position_;
        const auto [end, error] = std::from_chars(start, text_.data() + text_.size(), value);
        if (error != std::errc() || value < 0) {
            return std::nullopt;
        }
        position_ += static_cast<std::size_t>(end - start);
        numbers.push_back(value);
        return value;
    }

    std::string_view text_;
    std::size_t position_ = 0;
};

// Every line printed in infix or postfix, of the game's list or of the distinct
// calculations, on random draws: it must be well formed, use only the draw's plates, each
// at most once, and evaluate to its target.
TEST(SolveCommand, EveryPrintedExpressionEvaluatesToItsTarget) {
    constexpr std::array<std::int32_t, 16> kPlates = {1, 1, 2,  3,  4,  5,  6,   7,
                                                      8, 9, 10, 25, 50, 75, 100, -3};
    std::mt19937 random(20261209);
    std::size_t checked = 0;
    for (int draw = 0; draw < 60; ++draw) {
        PlateSet plates = test::randomPlates(random, kPlates, 4 + draw % 3);
        const Target first =
            std::uniform_int_distribution<Target>(draw % 3 == 0 ? 100 : 1, 999)(random);
        std::vector<std::string> numbers;
        for (const std::int32_t plate : plates) {
            numbers.push_back(std::to_string(plate));
        }
        numbers.push_back(draw % 4 == 0 ? std::to_string(first) + ".." + std::to_string(first + 2)
                                        : std::to_string(first));
        for (const std::string_view options :
             {"--format=infix", "--format=rpn", "--distinct", "--distinct --format=rpn"}) {
            std::vector<std::string_view> arguments(numbers.begin(), numbers.end());
            arguments.push_back("--nearest");
            for (std::size_t start = 0; start < options.size();) {
                const std::size_t end = std::min(options.find(' ', start), options.size());
                arguments.push_back(options.substr(start, end - start));
                start = end + 1;
            }
            const Outcome outcome = run(arguments);
            ASSERT_EQ(outcome.exitCode, 0);
            std::int64_t target = first;
            std::istringstream lines(outcome.out);
            for (std::string line; std::getline(lines, line);) {
                if (line.starts_with("# nearest: ")) {
                    target = std::stoll(line.substr(11));
                    continue;
                }
                if (line.starts_with("# ")) {
                    target = std::stoll(line.substr(2));
                    continue;
                }
                Evaluator evaluator;
                const auto value =
                    options.ends_with("rpn") ? evaluator.rpn(line) : evaluator.infix(line);
                std::vector<std::int64_t> unused(plates.begin(), plates.end());
                bool fromPlates = true;
                for (const std::int64_t number : evaluator.numbers) {
                    const auto plate = std::find(unused.begin(), unused.end(), number);
                    fromPlates &= number != 0 && plate != unused.end();
                    if (plate != unused.end()) {
                        *plate = 0;
                    }
                }
                ASSERT_EQ(value, target) << options << ": " << line;
                ASSERT_TRUE(fromPlates) << options << ": " << line;
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 10000u);
}

}  // namespace
}  // namespace quorbelix
