#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "NearestSearch.h"
#include "RandomPlates.h"
#include "Solver.h"

namespace quorbelix {
namespace {

// Every result of every step of every chain, the plain way: all orders, no shortcut.
void collectResults(const std::vector<std::int64_t>& values, std::set<std::int64_t>& results) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        for (std::size_t j = 0; j < values.size(); ++j) {
            if (i == j) {
                continue;
            }
            const std::int64_t a = values[i];
            const std::int64_t b = values[j];
            std::vector<std::int64_t> candidates = {a + b, a * b};
            if (b < a) {
                candidates.push_back(a - b);
            }
            if (a % b == 0) {
                candidates.push_back(a / b);
            }
            for (const std::int64_t result : candidates) {
                if (result < INT32_MIN || result > INT32_MAX) {
                    continue;
                }
                results.insert(result);
                std::vector<std::int64_t> rest;
                for (std::size_t k = 0; k < values.size(); ++k) {
                    if (k != i && k != j) {
                        rest.push_back(values[k]);
                    }
                }
                if (result != 0) {
                    rest.push_back(result);
                }
                collectResults(rest, results);
            }
        }
    }
}

TEST(NearestSearch, FindsTheClosestResultsOfAPlainEnumeration) {
    constexpr std::array<std::int32_t, 14> kPlates = {1,  1,  2,  3,   5,  7,  9,
                                                      10, 25, 50, 100, -4, -1, 0};
    std::mt19937 random(911);
    int ties = 0;
    for (int draw = 0; draw < 200; ++draw) {
        PlateSet plates = test::randomPlates(random, kPlates, 1 + draw % 5);
        std::shuffle(plates.begin(), plates.end(), random);
        std::vector<std::int64_t> values;
        for (const std::int32_t plate : plates) {
            if (plate != 0) {
                values.push_back(plate);
            }
        }
        std::set<std::int64_t> results;
        collectResults(values, results);
        Target target = std::uniform_int_distribution<Target>(-200, 2000)(random);
        // Every other draw aims at a result: the walk must then say it is reached, exactly
        // when the search lists something, or the command would print nearest values for a
        // reachable target.
        if (draw % 2 == 0 && !results.empty()) {
            target = static_cast<Target>(*std::next(
                results.begin(), std::uniform_int_distribution<std::ptrdiff_t>(
                                     0, static_cast<std::ptrdiff_t>(results.size()) - 1)(random)));
            SolutionList solutions;
            Search(plates, target, solutions);
            ASSERT_FALSE(solutions.empty()) << ::testing::PrintToString(plates) << " -> " << target;
            EXPECT_TRUE(FindNearest(plates, target).reached)
                << ::testing::PrintToString(plates) << " -> " << target;
            continue;
        }
        while (results.count(target) != 0) {
            ++target;
        }
        NearestValues expected;
        const auto above = results.upper_bound(target);
        if (above != results.begin()) {
            expected.below = static_cast<Target>(*std::prev(above));
        }
        if (above != results.end()) {
            expected.above = static_cast<Target>(*above);
        }
        if (expected.below && expected.above) {
            const std::int64_t under = std::int64_t{target} - *expected.below;
            const std::int64_t over = std::int64_t{*expected.above} - target;
            if (under < over) {
                expected.above.reset();
            } else if (over < under) {
                expected.below.reset();
            } else {
                ++ties;
            }
        }
        const NearestValues nearest = FindNearest(plates, target);
        ASSERT_FALSE(nearest.reached) << ::testing::PrintToString(plates) << " -> " << target;
        ASSERT_EQ(nearest.below, expected.below)
            << ::testing::PrintToString(plates) << " -> " << target;
        ASSERT_EQ(nearest.above, expected.above)
            << ::testing::PrintToString(plates) << " -> " << target;
    }
    EXPECT_GT(ties, 0);
    // No plate, or one: no step, so nothing is reached.
    const NearestValues none = FindNearest({0, 0, 0, 0, 0, 0}, 5);
    EXPECT_FALSE(none.below || none.above);
    const NearestValues alone = FindNearest({0, 0, 7, 0, 0, 0}, 5);
    EXPECT_FALSE(alone.below || alone.above);
}

// Six plates are too many for the plain enumeration: the search is the oracle. Nothing
// closer than the nearest values may be reachable, and they must be; six plates also make
// the walk's result lists grow while it reads the smaller ones.
TEST(NearestSearch, AgreesWithTheSearchOnSixPlates) {
    constexpr std::array<std::int32_t, 14> kPlates = {1, 2, 3,  4,  5,  6,  7,
                                                      8, 9, 10, 25, 50, 75, 100};
    std::mt19937 random(145);
    const auto reachable = [](const PlateSet& plates, std::int64_t value) {
        SolutionList solutions;
        Search(plates, static_cast<Target>(value), solutions);
        return !solutions.empty();
    };
    int unreachable = 0;
    for (int draw = 0; draw < 40; ++draw) {
        PlateSet plates = test::randomPlates(random, kPlates, 6);
        // Small plates miss more targets.
        if (draw % 2 == 0) {
            plates[4] = plates[5] = 1;
        }
        const Target target = std::uniform_int_distribution<Target>(100, 999)(random);
        const NearestValues nearest = FindNearest(plates, target);
        const auto where = ::testing::PrintToString(plates) + " -> " + std::to_string(target);
        ASSERT_EQ(nearest.reached, reachable(plates, target)) << where;
        if (nearest.reached) {
            continue;
        }
        ++unreachable;
        ASSERT_TRUE(nearest.below || nearest.above) << where;
        const std::int64_t distance =
            nearest.below ? target - std::int64_t{*nearest.below} : *nearest.above - target;
        for (std::int64_t closer = 1; closer < distance; ++closer) {
            ASSERT_FALSE(reachable(plates, target - closer)) << where;
            ASSERT_FALSE(reachable(plates, target + closer)) << where;
        }
        EXPECT_EQ(nearest.below.has_value(), reachable(plates, target - distance)) << where;
        EXPECT_EQ(nearest.above.has_value(), reachable(plates, target + distance)) << where;
    }
    EXPECT_GT(unreachable, 3);
}

}  // namespace
}  // namespace quorbelix
