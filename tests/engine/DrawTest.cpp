#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "Draw.h"

namespace quorbelix {
namespace {

using ::testing::AnyOf;

const BoxTexts kCleared = {"0", "0", "0", "0", "0", "0", "0"};
const auto kPlateText =
    AnyOf("1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "25", "50", "75", "100");

TEST(Draw, FillsOnlyBoxesHoldingExactlyZeroAndDrawsForEveryBox) {
    const BoxTexts typed = {"0", "00", " 0", "7", "-3", "0", "123"};
    for (std::uint64_t seed = 0; seed < 50; ++seed) {
        const BoxTexts drawn = DrawNumbers(typed, seed);
        EXPECT_THAT(drawn[0], kPlateText);
        EXPECT_TRUE(std::equal(typed.begin() + 1, typed.begin() + 5, drawn.begin() + 1));
        // Had the typed boxes skipped their draw, plate 6 would differ from a full draw.
        EXPECT_EQ(drawn[5], DrawNumbers(kCleared, seed)[5]);
        // A second draw without a clear changes only the target.
        const BoxTexts again = DrawNumbers(drawn, seed + 1000);
        EXPECT_TRUE(std::equal(drawn.begin(), drawn.begin() + 6, again.begin()));
    }
    const BoxTexts fromClock = DrawNumbers(kCleared);
    EXPECT_THAT(fromClock[3], kPlateText);
}

TEST(Draw, TargetsAndPlatesAreUniform) {
    constexpr int kDraws = 30000;
    std::map<std::string, int> targets;
    std::map<std::string, int> plates;
    for (std::uint64_t seed = 0; seed < kDraws; ++seed) {
        const BoxTexts drawn = DrawNumbers(kCleared, seed);
        std::for_each(drawn.begin(), drawn.begin() + 6, [&](const auto& text) { ++plates[text]; });
        ++targets[drawn[6]];
    }
    // 0..999 with one leading zero below 100: "00", "07", "042", "100".
    ASSERT_EQ(targets.size(), 1000u);
    for (const auto& [text, count] : targets) {
        const int value = std::stoi(text);
        std::string expected = value < 100 ? "0" : "";
        expected += std::to_string(value);
        EXPECT_EQ(text, expected);
        EXPECT_TRUE(count > 8 && count < 60) << text << ": " << count;  // 30 expected
    }
    // 1 comes up for two of the fifteen values drawn, every other plate for one.
    ASSERT_EQ(plates.size(), 14u);
    for (const auto& [text, count] : plates) {
        EXPECT_THAT(text, kPlateText);
        const int expected = (text == "1" ? 2 : 1) * 6 * kDraws / 15;
        EXPECT_NEAR(count, expected, expected / 20) << text;
    }
}

}  // namespace
}  // namespace quorbelix
