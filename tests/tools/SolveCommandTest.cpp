#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "SolveCommand.h"

namespace quorbelix {
namespace {

struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

Outcome run(std::vector<std::string_view> arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int exitCode = runSolveCommand(arguments, out, err);
    return {exitCode, out.str(), err.str()};
}

constexpr std::string_view kUsage = "usage: quorbelix-solve [--count] P1 P2 P3 P4 P5 P6 TARGET\n";

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
    const Outcome none = run({"1", "1", "1", "1", "1", "1", "999"});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out + none.err, "");
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
