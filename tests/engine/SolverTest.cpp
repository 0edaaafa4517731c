#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "Solver.h"

namespace quorbelix {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Solution texts with '|' for each CR, so that expectations read like the game's steps.
std::vector<std::string> solve(const PlateSet& plates, Target target) {
    SolutionList list;
    Search(plates, target, list);
    std::vector<std::string> texts;
    for (std::size_t index = 0; index < list.size(); ++index) {
        std::string text = list.text(index);
        std::replace(text.begin(), text.end(), '\r', '|');
        texts.push_back(text);
    }
    return texts;
}

TEST(Solver, WorkedExamples) {
    EXPECT_THAT(solve({0, 0, 0, 0, 3, 4}, 7), ElementsAre("3+4=7|"));
    EXPECT_THAT(solve({0, 0, 0, 0, 3, 4}, 12), ElementsAre("3*4=12|"));
    EXPECT_THAT(solve({0, 0, 0, 0, 3, 4}, 1), ElementsAre("4-3=1|"));

    const auto sums = solve({1, 2, 3, 4, 5, 6}, 21);
    ASSERT_EQ(sums.size(), 17388u);
    EXPECT_EQ(sums[0], "1+2=3|3+3=6|6+4=10|10+5=15|15+6=21|");
    EXPECT_EQ(sums[1], "1+2=3|3+3=6|6+4=10|10+6=16|16+5=21|");
    EXPECT_EQ(sums[2], "1+2=3|3+3=6|6+4=10|5+6=11|10+11=21|");

    const auto six = solve({1, 2, 3, 4, 5, 6}, 6);
    ASSERT_EQ(six.size(), 163u);
    EXPECT_EQ(six[0], "1+2=3|3+3=6|");

    const auto twos = solve({2, 2, 2, 2, 2, 2}, 64);
    ASSERT_EQ(twos.size(), 11520u);
    EXPECT_EQ(twos[0], "2+2=4|4*2=8|8*2=16|16*2=32|32*2=64|");
    EXPECT_EQ(twos[1], twos[0]);
    EXPECT_TRUE(std::all_of(twos.begin(), twos.end(), [](const std::string& text) {
        return std::count(text.begin(), text.end(), '|') == 5;
    }));

    const auto classic = solve({100, 75, 50, 25, 10, 1}, 999);
    ASSERT_EQ(classic.size(), 1098u);
    EXPECT_EQ(classic[0], "100+75=175|175+25=200|200*50=10000|10000/10=1000|1000-1=999|");

    EXPECT_EQ(solve({1, 2, 3, 4, 5, 6}, 720).size(), 5131u);
}

TEST(Solver, NoCandidateNoSolution) {
    EXPECT_THAT(solve({0, 0, 0, 0, 0, 0}, 0), IsEmpty());
    // A plate equal to the target is no solution by itself.
    EXPECT_THAT(solve({5, 0, 0, 0, 0, 0}, 5), IsEmpty());
    // Equal values never subtract, so 0 is out of reach.
    EXPECT_THAT(solve({7, 0, 0, 0, 0, 7}, 0), IsEmpty());
    EXPECT_THAT(solve({1, 1, 1, 1, 1, 1}, 999), IsEmpty());
}

TEST(Solver, EarlyReturnEndsTheCallAtTheFirstHit) {
    // The top-level hit abandons every later candidate: fewer solutions than for 21.
    EXPECT_THAT(solve({1, 2, 3, 4, 5, 6}, 3), ElementsAre("1+2=3|"));
    // Division would hit too, but subtraction comes first and ends the search.
    EXPECT_THAT(solve({0, 4, 0, 0, 2, 0}, 2), ElementsAre("4-2=2|"));
    EXPECT_THAT(solve({7, 0, 0, 0, 0, 7}, 1), ElementsAre("7/7=1|"));
    EXPECT_THAT(solve({7, 0, 0, 0, 0, 7}, 14), ElementsAre("7+7=14|"));
    EXPECT_THAT(solve({2, 2, 0, 0, 0, 0}, 1), ElementsAre("2/2=1|"));
}

TEST(Solver, SlotOrderAndRepeatedCalculations) {
    // The result takes the left operand's slot and the others keep their order.
    EXPECT_THAT(solve({1, 6, 2, 0, 0, 0}, 9),
                ElementsAre("1+6=7|7+2=9|", "1+2=3|3+6=9|", "6+2=8|1+8=9|"));
    // The same calculation from other slots is listed again.
    EXPECT_THAT(solve({2, 0, 2, 0, 2, 0}, 8),
                ElementsAre("2+2=4|4*2=8|", "2*2=4|4*2=8|", "2+2=4|4*2=8|", "2*2=4|4*2=8|",
                            "2+2=4|2*4=8|", "2*2=4|2*4=8|"));
}

TEST(Solver, NegativeAndZeroResults) {
    EXPECT_THAT(solve({3, -5, 0, 0, 0, 0}, 8), ElementsAre("3--5=8|"));
    EXPECT_THAT(solve({3, -5, 0, 0, 0, 0}, -2), ElementsAre("3+-5=-2|"));
    // 3+-3=0 empties its slot: 5 is left alone, so "0+5=5" never comes up.
    EXPECT_THAT(solve({3, -3, 5, 0, 0, 0}, 5),
                ElementsAre("3+5=8|8+-3=5|", "-3+5=2|3+2=5|", "5-3=2|2--3=5|", "5--3=8|8-3=5|"));
}

// Every step of every text must be true arithmetic in 32 bits.
bool stepsAreExact(const std::string& text) {
    std::istringstream steps(text);
    std::string step;
    while (std::getline(steps, step, '|')) {
        std::int64_t left = 0;
        std::int64_t right = 0;
        std::int64_t result = 0;
        char op = 0;
        char equals = 0;
        std::istringstream parts(step);
        parts >> left >> op >> right >> equals >> result;
        const std::int64_t exact = op == '+'   ? left + right
                                   : op == '*' ? left * right
                                   : op == '-' ? left - right
                                               : left / right;
        if (!parts || equals != '=' || exact != result || result != std::int32_t(result) ||
            (op == '/' && left % right != 0)) {
            return false;
        }
    }
    return true;
}

TEST(Solver, OutOfRangeResultsAreNoCandidates) {
    // 100^5 would wrap to 1410065408 in 32 bits.
    EXPECT_THAT(solve({100, 100, 100, 100, 100, 2}, 1410065408), IsEmpty());
    const auto big = solve({100, 100, 100, 100, 100, 2}, 200000000);
    ASSERT_FALSE(big.empty());
    EXPECT_TRUE(std::all_of(big.begin(), big.end(), stepsAreExact));
    const auto small = solve({100, 100, 100, 100, 100, 2}, 9800);
    ASSERT_FALSE(small.empty());
    EXPECT_TRUE(std::all_of(small.begin(), small.end(), stepsAreExact));

    // -2147483648 * -1 and / -1 do not fit; only the subtraction does.
    EXPECT_THAT(solve({-2147483647 - 1, -1, 0, 0, 0, 0}, -2147483647 - 1), IsEmpty());
    EXPECT_THAT(solve({-2147483647 - 1, -1, 0, 0, 0, 0}, 2147483647),
                ElementsAre("-1--2147483648=2147483647|"));
    EXPECT_THAT(solve({2147483647, 1, 0, 0, 0, 0}, 2147483646),
                ElementsAre("2147483647-1=2147483646|"));
}

TEST(SolutionList, AppendsClearsAndChecksIndices) {
    SolutionList list;
    EXPECT_TRUE(list.empty());
    EXPECT_THROW(list.text(0), std::out_of_range);

    Search({0, 0, 0, 0, 3, 4}, 7, list);
    Search({0, 0, 0, 0, 3, 4}, 99, list);
    Search({0, 0, 0, 0, 3, 4}, 12, list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.text(0), "3+4=7\r");
    EXPECT_EQ(list.text(1), "3*4=12\r");
    EXPECT_THROW(list.text(2), std::out_of_range);

    const SolutionList copy = list;
    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(copy.text(1), "3*4=12\r");
}

}  // namespace
}  // namespace quorbelix
