#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>

#include "ReferenceSearch.h"
#include "Solver.h"

namespace quorbelix {
namespace {

constexpr std::array<std::int32_t, 14> kGamePlates = {1, 2, 3,  4,  5,  6,  7,
                                                      8, 9, 10, 25, 50, 75, 100};
// Values whose sums, products and quotients leave the 32-bit range.
constexpr std::array<std::int32_t, 5> kExtremes = {std::numeric_limits<std::int32_t>::min(),
                                                   std::numeric_limits<std::int32_t>::max(), -1,
                                                   65536, 46341};

// Draws of three to five values keep the plain search quick; one in a hundred is full.
// Targets are mostly small enough to be reached, some far out of reach.
TEST(CrossCheck, EngineListsExactlyWhatThePlainSearchLists) {
    std::mt19937 random(20240607);
    const auto chance = [&](int percent) {
        return std::uniform_int_distribution<int>(0, 99)(random) < percent;
    };
    const auto pick = [&](const auto& values) {
        return values[std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(random)];
    };
    constexpr int kDraws = 300;
    int withSolutions = 0;
    for (int draw = 0; draw < kDraws; ++draw) {
        std::array<std::size_t, 6> slots = {0, 1, 2, 3, 4, 5};
        std::shuffle(slots.begin(), slots.end(), random);
        PlateSet plates{};
        for (int n = 0; n < (draw % 100 == 0 ? 6 : 3 + draw % 3); ++n) {
            const std::int32_t plate = chance(15) ? -pick(kGamePlates) : pick(kGamePlates);
            plates[slots[static_cast<std::size_t>(n)]] = chance(5) ? pick(kExtremes) : plate;
        }
        const Target target = chance(5) ? pick(kExtremes)
                              : chance(50)
                                  ? std::uniform_int_distribution<Target>(-20, 120)(random)
                                  : std::uniform_int_distribution<Target>(100, 999)(random);

        SolutionList list;
        Search(plates, target, list);
        const auto expected = reference::search(plates, target);
        const auto where = ::testing::PrintToString(plates) + " -> " + std::to_string(target);
        ASSERT_EQ(list.size(), expected.size()) << where;
        for (std::size_t index = 0; index < expected.size(); ++index) {
            ASSERT_EQ(list.text(index), expected[index]) << where;
        }
        withSolutions += expected.empty() ? 0 : 1;
    }
    // Both kinds of draws must be well represented for the comparison to mean much.
    EXPECT_GT(withSolutions, kDraws / 4);
    EXPECT_LT(withSolutions, kDraws * 3 / 4);
}

// The whole listing as the command-line solver writes it, through the depth-first
// renderer, on draws of three to six values: few draws of five values, and six values only
// with small targets, which are hit early, keep the plain search quick.
TEST(CrossCheck, WholeListingMatchesThePlainSearch) {
    std::mt19937 random(20261208);
    const auto pick = [&](const auto& values) {
        return values[std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(random)];
    };
    const auto percent = [&] { return std::uniform_int_distribution<int>(0, 99)(random); };
    constexpr int kDraws = 300;
    std::size_t listed = 0;
    for (int draw = 0; draw < kDraws; ++draw) {
        const int count = draw % 50 == 0 ? 6 : draw % 5 == 0 ? 5 : 3 + draw % 2;
        PlateSet plates{};
        for (int slot = 0; slot < count; ++slot) {
            const int roll = percent();
            plates[static_cast<std::size_t>(slot)] = roll < 5    ? pick(kExtremes)
                                                     : roll < 20 ? -pick(kGamePlates)
                                                                 : pick(kGamePlates);
        }
        std::shuffle(plates.begin(), plates.end(), random);
        const int roll = percent();
        const Target target = count == 6  ? std::uniform_int_distribution<Target>(2, 6)(random)
                              : roll < 5  ? pick(kExtremes)
                              : roll < 15 ? std::uniform_int_distribution<Target>(-100, 0)(random)
                                          : std::uniform_int_distribution<Target>(1, 999)(random);

        SolutionList list;
        Search(plates, target, list);
        std::string rendered;
        list.forEachText([&](std::string_view text) {
            rendered.append(text).push_back('\n');
            return true;
        });
        std::string expected;
        for (const std::string& text : reference::search(plates, target)) {
            expected.append(text).push_back('\n');
        }
        ASSERT_EQ(rendered, expected) << ::testing::PrintToString(plates) << " -> " << target;
        listed += expected.size();
    }
    EXPECT_GT(listed, 10000u);
}

// Counting a range in one pass agrees with one search per target, hits on 0, on negative
// targets and at the ends of the 32-bit range included.
TEST(CrossCheck, RangeCountsMatchOneSearchPerTarget) {
    std::mt19937 random(4242);
    const auto pick = [&](const auto& values) {
        return values[std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(random)];
    };
    const auto percent = [&] { return std::uniform_int_distribution<int>(0, 99)(random); };
    const auto check = [](const PlateSet& plates, Target first, Target last) {
        const auto counts = CountSolutions(plates, first, last);
        ASSERT_EQ(counts.size(), static_cast<std::size_t>(std::int64_t{last} - first + 1));
        for (std::int64_t target = first; target <= last; ++target) {
            SolutionList list;
            Search(plates, static_cast<Target>(target), list);
            ASSERT_EQ(counts[static_cast<std::size_t>(target - first)], list.size())
                << ::testing::PrintToString(plates) << " -> " << target;
        }
    };
    check({100, 75, 50, 25, 10, 1}, 100, 149);
    check({1, 2, 3, 4, 5, 6}, -5, 40);
    for (int draw = 0; draw < 40; ++draw) {
        PlateSet plates{};
        for (int slot = 0; slot < 3 + draw % 4; ++slot) {
            const int roll = percent();
            plates[static_cast<std::size_t>(slot)] = roll < 10   ? pick(kExtremes)
                                                     : roll < 30 ? -pick(kGamePlates)
                                                                 : pick(kGamePlates);
        }
        std::shuffle(plates.begin(), plates.end(), random);
        const Target first = percent() < 10
                                 ? pick(kExtremes)
                                 : std::uniform_int_distribution<Target>(-100, 100)(random);
        const Target last = static_cast<Target>(
            std::min<std::int64_t>(std::int64_t{first} + 30, std::numeric_limits<Target>::max()));
        check(plates, first, last);
    }
}

}  // namespace
}  // namespace quorbelix
