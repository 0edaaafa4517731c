#include <gtest/gtest.h>

#include <vector>

#include "KeyTable.h"
#include "Reachability.h"
#include "ReferenceSearch.h"
#include "TripleCache.h"

// The search's parts on their own: each can break in a way that whole searches show only
// by chance.
namespace quorbelix::solver {
namespace {

bool hasSolution(const PlateSet& plates, Target target) {
    return !reference::search(plates, target).empty();
}

TEST(KeyTable, FindsWhatItHoldsThroughGrowthAndForgetsItAtTheNextSearch) {
    KeyTable<int> table;
    table.startSearch();
    // Far past the first size, and keys that differ only in order or sign.
    std::vector<Key> keys;
    for (std::int32_t first = -40; first <= 40; ++first) {
        for (std::int32_t second = 1; second <= 60; ++second) {
            keys.push_back({first, second, 7});
        }
    }
    for (std::size_t index = 0; index < keys.size(); ++index) {
        ASSERT_EQ(table.find(keys[index]), nullptr);
        table.insert(keys[index], static_cast<int>(index));
    }
    std::size_t wrong = 0;
    for (std::size_t index = 0; index < keys.size(); ++index) {
        const int* value = table.find(keys[index]);
        wrong += value == nullptr || *value != static_cast<int>(index);
    }
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(table.find({7, 1, 8}), nullptr);

    table.startSearch();
    EXPECT_EQ(table.find(keys.front()), nullptr);
    EXPECT_EQ(table.find(keys.back()), nullptr);
}

TEST(KeyTable, AGenerationComingRoundFindsNoSlotOfItsFormerSearch) {
    KeyTable<int> table;
    table.startSearch();
    table.insert({1, 2, 3}, 1);
    for (int search = 0; search < 65'536; ++search) {
        table.startSearch();
        EXPECT_EQ(table.find({1, 2, 3}), nullptr) << "after " << search + 1 << " searches";
    }
}

TEST(TripleCache, RemembersAnswersWithinASearchOnly) {
    TripleCache cache;
    int computed = 0;
    const auto compute = [&](const TripleCache::Triple& triple) {
        ++computed;
        return triple[0] == 2;
    };
    cache.startSearch();
    EXPECT_TRUE(cache.reaches({2, 3, 4}, compute));
    EXPECT_TRUE(cache.reaches({2, 3, 4}, compute));
    EXPECT_FALSE(cache.reaches({3, 3, 4}, compute));
    EXPECT_EQ(computed, 2);
    // Another target's search asks again.
    cache.startSearch();
    EXPECT_TRUE(cache.reaches({2, 3, 4}, compute));
    EXPECT_EQ(computed, 3);
    // Triples it cannot pack are answered every time, never from another triple's entry.
    EXPECT_FALSE(cache.reaches({-2, 3, 4}, compute));
    EXPECT_TRUE(cache.reaches({2, 3, TripleCache::kLimit}, compute));
    EXPECT_FALSE(cache.reaches({3, 3, TripleCache::kLimit}, compute));
    EXPECT_EQ(computed, 6);
}

// Every test against the plain search, on every small state: none may call dead a state that
// has a solution, and the exact ones agree both ways.
TEST(Reachability, NeverCallsDeadAStateThatHasASolution) {
    for (std::int32_t x = -9; x <= 9; ++x) {
        for (std::int32_t y = -9; y <= 9; ++y) {
            for (Target target = -90; target <= 90 && x != 0 && y != 0; ++target) {
                ASSERT_EQ(anyPairHit(x, y, target), hasSolution({x, y, 0, 0, 0, 0}, target))
                    << x << ' ' << y << " -> " << target;
            }
        }
    }
    for (std::int32_t x = -5; x <= 8; ++x) {
        for (std::int32_t y = x; y <= 8; ++y) {
            for (std::int32_t z = y; z <= 8; ++z) {
                if (x == 0 || y == 0 || z == 0) {
                    continue;
                }
                for (Target target = -30; target <= 130; ++target) {
                    if (!hasSolution({x, y, z, 0, 0, 0}, target)) {
                        continue;
                    }
                    ASSERT_TRUE(tripleReaches(x, y, z, target)) << x << ' ' << y << ' ' << z;
                    if (x > 0) {
                        ASSERT_TRUE(positiveTripleReaches(x, y, z, target))
                            << x << ' ' << y << ' ' << z << " -> " << target;
                        ASSERT_FALSE(outOfReach<3>({x, y, z}, target, target));
                    }
                }
            }
        }
    }
}

TEST(Reachability, FourPositiveValuesAgreeWithThePlainSearchGivenAnExactTripleTest) {
    const auto exactTriple = [](Target target) {
        return [target](const std::array<std::int32_t, 3>& triple) {
            return hasSolution({triple[0], triple[1], triple[2], 0, 0, 0}, target);
        };
    };
    for (std::int32_t a = 1; a <= 6; ++a) {
        for (std::int32_t b = a; b <= 7; ++b) {
            for (std::int32_t c = b; c <= 8; ++c) {
                for (std::int32_t d = c; d <= 10; d += 3) {
                    for (Target target = 1; target <= 80; target += 3) {
                        const bool live = hasSolution({a, b, c, d, 0, 0}, target);
                        ASSERT_EQ(positiveQuadReaches({a, b, c, d}, target, exactTriple(target)),
                                  live)
                            << a << ' ' << b << ' ' << c << ' ' << d << " -> " << target;
                        ASSERT_TRUE(!live || positiveQuadReaches({a, b, c, d}, target,
                                                                 [target](const auto& triple) {
                                                                     return positiveTripleReaches(
                                                                         triple[0], triple[1],
                                                                         triple[2], target);
                                                                 }));
                        ASSERT_TRUE(!live || !outOfReach<4>({a, b, c, d}, target, target));
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace quorbelix::solver
