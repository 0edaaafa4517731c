#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "Draw.h"

namespace quorbelix {
namespace {

using ::testing::AnyOf;
using ::testing::MatchesRegex;

const BoxTexts kCleared = {"0", "0", "0", "0", "0", "0", "0"};
const auto kPlateText =
    AnyOf("1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "25", "50", "75", "100");

TEST(Draw, FillsOnlyBoxesHoldingExactlyZero) {
    const BoxTexts typed = {"0", "00", " 0", "7", "0", "-3", "123"};
    for (std::uint64_t seed = 0; seed < 50; ++seed) {
        const BoxTexts drawn = DrawNumbers(typed, seed);
        EXPECT_THAT(drawn[0], kPlateText);
        EXPECT_EQ(drawn[1], "00");
        EXPECT_EQ(drawn[2], " 0");
        EXPECT_EQ(drawn[3], "7");
        EXPECT_THAT(drawn[4], kPlateText);
        EXPECT_EQ(drawn[5], "-3");

        // A second draw without a clear only changes the target.
        const BoxTexts again = DrawNumbers(drawn, seed + 1000);
        EXPECT_TRUE(std::equal(drawn.begin(), drawn.begin() + 6, again.begin()));
    }
    const BoxTexts fromClock = DrawNumbers(kCleared);
    for (std::size_t box = 0; box < 6; ++box) {
        EXPECT_THAT(fromClock[box], kPlateText);
    }
}

TEST(Draw, EveryBoxDrawsWhetherFilledOrNot) {
    // If filled boxes skipped their draw, the last plate and the target would change.
    const BoxTexts typed = {"5", "5", "5", "5", "5", "0", "999"};
    for (std::uint64_t seed = 0; seed < 50; ++seed) {
        const BoxTexts all = DrawNumbers(kCleared, seed);
        const BoxTexts last = DrawNumbers(typed, seed);
        EXPECT_EQ(last[5], all[5]);
        EXPECT_EQ(last[6], all[6]);
    }
}

TEST(Draw, TargetsAndPlatesAreUniform) {
    constexpr int kDraws = 30000;
    std::map<std::string, int> targets;
    std::map<std::string, int> plates;
    for (std::uint64_t seed = 0; seed < kDraws; ++seed) {
        const BoxTexts drawn = DrawNumbers(kCleared, seed);
        for (std::size_t box = 0; box < 6; ++box) {
            ++plates[drawn[box]];
        }
        ++targets[drawn[6]];
    }

    // 0..999, one leading zero below 100: "00", "07", "042", "100", "999".
    ASSERT_EQ(targets.size(), 1000u);
    EXPECT_EQ(targets.count("00"), 1u);
    EXPECT_EQ(targets.count("07"), 1u);
    EXPECT_EQ(targets.count("042"), 1u);
    for (const auto& [text, count] : targets) {
        EXPECT_THAT(text, MatchesRegex("0[0-9]|0[1-9][0-9]|[1-9][0-9][0-9]"));
        EXPECT_GT(count, 8) << text;  // 30 expected
        EXPECT_LT(count, 60) << text;
    }

    // 1 comes up for two of the fifteen values, every other plate for one.
    ASSERT_EQ(plates.size(), 14u);
    const int expectedOne = 6 * kDraws / 15;
    for (const auto& [text, count] : plates) {
        EXPECT_THAT(text, kPlateText);
        const int expected = text == "1" ? 2 * expectedOne : expectedOne;
        EXPECT_NEAR(count, expected, expected / 20) << text;
    }
}

}  // namespace
}  // namespace quorbelix
