#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <sstream>
#include <stdexcept>
#include <thread>

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
        texts.push_back(list.text(index));
        std::replace(texts.back().begin(), texts.back().end(), '\r', '|');
    }
    return texts;
}

TEST(Solver, WorkedExamples) {
    EXPECT_THAT(solve({0, 0, 0, 0, 3, 4}, 7), ElementsAre("3+4=7|"));
    EXPECT_THAT(solve({0, 0, 0, 0, 3, 4}, 12), ElementsAre("3*4=12|"));
    EXPECT_THAT(solve({0, 0, 0, 0, 3, 4}, 1), ElementsAre("4-3=1|"));
    const auto sums = solve({1, 2, 3, 4, 5, 6}, 21);
    ASSERT_EQ(sums.size(), 17388u);
    EXPECT_THAT(
        std::vector(sums.begin(), sums.begin() + 3),
        ElementsAre("1+2=3|3+3=6|6+4=10|10+5=15|15+6=21|", "1+2=3|3+3=6|6+4=10|10+6=16|16+5=21|",
                    "1+2=3|3+3=6|6+4=10|5+6=11|10+11=21|"));
    const auto six = solve({1, 2, 3, 4, 5, 6}, 6);
    ASSERT_EQ(six.size(), 163u);
    EXPECT_EQ(six[0], "1+2=3|3+3=6|");
    // Two identical first entries, reached from different slots.
    const auto twos = solve({2, 2, 2, 2, 2, 2}, 64);
    ASSERT_EQ(twos.size(), 11520u);
    EXPECT_EQ(twos[0], "2+2=4|4*2=8|8*2=16|16*2=32|32*2=64|");
    EXPECT_EQ(twos[1], twos[0]);
    const auto classic = solve({100, 75, 50, 25, 10, 1}, 999);
    ASSERT_EQ(classic.size(), 1098u);
    EXPECT_EQ(classic[0], "100+75=175|175+25=200|200*50=10000|10000/10=1000|1000-1=999|");
    EXPECT_EQ(solve({1, 2, 3, 4, 5, 6}, 720).size(), 5131u);
}

TEST(Solver, EdgeCases) {
    EXPECT_THAT(solve({0, 0, 0, 0, 0, 0}, 0), IsEmpty());
    // A plate equal to the target is no solution by itself; equal values never subtract.
    EXPECT_THAT(solve({5, 0, 0, 0, 0, 0}, 5), IsEmpty());
    EXPECT_THAT(solve({7, 0, 0, 0, 0, 7}, 0), IsEmpty());
    EXPECT_THAT(solve({7, 0, 0, 0, 0, 7}, 1), ElementsAre("7/7=1|"));
    EXPECT_THAT(solve({7, 0, 0, 0, 0, 7}, 14), ElementsAre("7+7=14|"));
    // A hit ends its call: later candidates, here 4/2=2 or anything after 1+2, never run.
    EXPECT_THAT(solve({0, 4, 0, 0, 2, 0}, 2), ElementsAre("4-2=2|"));
    EXPECT_THAT(solve({1, 2, 3, 4, 5, 6}, 3), ElementsAre("1+2=3|"));
    // The result takes the left operand's slot and the other values keep their order.
    EXPECT_THAT(solve({1, 6, 2, 0, 0, 0}, 9),
                ElementsAre("1+6=7|7+2=9|", "1+2=3|3+6=9|", "6+2=8|1+8=9|"));
    // The same calculation from other slots is listed again.
    EXPECT_THAT(solve({2, 0, 2, 0, 2, 0}, 8),
                ElementsAre("2+2=4|4*2=8|", "2*2=4|4*2=8|", "2+2=4|4*2=8|", "2*2=4|4*2=8|",
                            "2+2=4|2*4=8|", "2*2=4|2*4=8|"));
    EXPECT_THAT(solve({3, -5, 0, 0, 0, 0}, 8), ElementsAre("3--5=8|"));
    // 3+-3=0 empties its slot: 5 is left alone, so "0+5=5" never comes up.
    EXPECT_THAT(solve({3, -3, 5, 0, 0, 0}, 5),
                ElementsAre("3+5=8|8+-3=5|", "-3+5=2|3+2=5|", "5-3=2|2--3=5|", "5--3=8|8-3=5|"));
}

// Whether every step of the text is true arithmetic with a 32-bit result.
bool stepsAreExact(const std::string& text) {
    std::istringstream steps(text);
    for (std::string step; std::getline(steps, step, '|');) {
        std::int64_t a = 0, b = 0, v = 0;
        char op = 0;
        if (std::sscanf(step.c_str(), "%" SCNd64 "%c%" SCNd64 "=%" SCNd64, &a, &op, &b, &v) != 4 ||
            v != std::int32_t(v) ||
            v != (op == '+'   ? a + b
                  : op == '*' ? a * b
                  : op == '-' ? a - b
                              : a / b) ||
            (op == '/' && a % b != 0)) {
            return false;
        }
    }
    return true;
}

TEST(Solver, ResultsOutside32BitsAreNoCandidates) {
    // 100^5 would wrap to 1410065408.
    EXPECT_THAT(solve({100, 100, 100, 100, 100, 2}, 1410065408), IsEmpty());
    for (const Target target : {200000000, 9800, 1}) {
        const auto texts = solve({100, 100, 100, 100, 100, 2}, target);
        EXPECT_FALSE(texts.empty());
        EXPECT_TRUE(std::all_of(texts.begin(), texts.end(), stepsAreExact)) << target;
    }
    // -2147483648 * -1 and / -1 do not fit; the subtraction does.
    EXPECT_THAT(solve({-2147483647 - 1, -1, 0, 0, 0, 0}, -2147483647 - 1), IsEmpty());
    EXPECT_THAT(solve({-2147483647 - 1, -1, 0, 0, 0, 0}, 2147483647),
                ElementsAre("-1--2147483648=2147483647|"));
}

// The search's tables keep their slots from one search to the next, marked with a 16-bit
// generation. A draw searched first in a thread and again 65 535 searches later, when the
// generation comes round, must not meet its own slots from the first time.
TEST(Solver, ManySearchesInOneThreadKeepTheirCounts) {
    const PlateSet rich = {100, 75, 50, 25, 10, 1};
    const PlateSet small = {0, 0, 0, 2, 5, 7};
    const std::size_t richCount = solve(rich, 999).size();
    const std::size_t smallCount = solve(small, 19).size();
    ASSERT_GT(smallCount, 0u);
    std::size_t wrong = 0;
    // A thread of its own starts with fresh tables, whatever the tests before did.
    std::thread([&] {
        SolutionList list;
        for (int search = 0; search < 70'000; ++search) {
            const bool isRich = search % 65'535 == 0;
            list.clear();
            Search(isRich ? rich : small, isRich ? 999 : 19, list);
            wrong += list.size() != (isRich ? richCount : smallCount);
        }
    }).join();
    EXPECT_EQ(wrong, 0u);
}

TEST(SolutionList, AppendsClearsAndChecksIndices) {
    SolutionList list;
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
