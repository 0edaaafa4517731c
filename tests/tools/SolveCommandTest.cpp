#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

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
    "usage: quorbelix-solve [--count] P1 P2 P3 P4 P5 P6 TARGET|START..END\n";

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
             {},
             {"1", "2", "3", "4", "5", "6"},
             {"1", "2", "3", "4", "5", "6", "7", "8"},
             {"--verbose", "1", "2", "3", "4", "5", "6", "21"}}) {
        const Outcome wrong = run(arguments);
        EXPECT_EQ(wrong.exitCode, 2);
        EXPECT_EQ(wrong.out, "");
        EXPECT_EQ(wrong.err, kUsage);
    }
    const Outcome help = run({"1", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.starts_with(kUsage));
    EXPECT_EQ(help.err, "");
}

}  // namespace
}  // namespace quorbelix
