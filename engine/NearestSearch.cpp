#include "NearestSearch.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <memory>

#include "KeyTable.h"
#include "SearchState.h"

namespace quorbelix {

namespace {

using namespace solver;

// Every state once, by its values in increasing order: which results a state's steps reach
// does not depend on the order of its values. A state of positive values whose results
// all lie below the closest one found so far, less its distance, has nothing to add.
class NearestFinder {
public:
    NearestValues find(const StartState& start, Target target) {
        target_ = target;
        below_ = kNoneBelow;
        above_ = kNoneAbove;
        seen_.startSearch();
        searchByCount(start.count, 0, [&](auto size) {
            explore<decltype(size)::value>(start.values);
            return 0;
        });
        NearestValues nearest;
        const std::int64_t under = target_ - below_;
        const std::int64_t over = above_ - target_;
        if (below_ != kNoneBelow && under <= over) {
            nearest.below = static_cast<Target>(below_);
        }
        if (above_ != kNoneAbove && over <= under) {
            nearest.above = static_cast<Target>(above_);
        }
        return nearest;
    }

private:
    static constexpr std::int64_t kNoneBelow = std::int64_t{-1} << 40;
    static constexpr std::int64_t kNoneAbove = std::int64_t{1} << 40;

    void note(std::int64_t result) {
        if (result < target_) {
            below_ = std::max(below_, result);
        } else if (result > target_) {
            above_ = std::min(above_, result);
        }
    }

    // Nothing is closer than a neighbour on each side: the walk can stop.
    bool done() const { return below_ == target_ - 1 && above_ == target_ + 1; }

    // No result of a state of positive values exceeds the product of max(v, 2) over its
    // values; 2^31, beyond every result, when some value is not positive.
    template <int Count>
    static std::int64_t positiveBound(const Values& values) {
        constexpr std::int64_t kCap = std::int64_t{1} << 31;
        std::int64_t bound = 1;
        for (int slot = 0; slot < Count; ++slot) {
            if (values[slot] <= 0) {
                return kCap;
            }
            bound = std::min(bound * std::max(values[slot], 2), kCap);
        }
        return bound;
    }

    // Pairs are not remembered: their six steps cost less than a look-up.
    template <int Count>
    void search(const Values& values) {
        if constexpr (Count == 2) {
            explore<2>(values);
        } else if constexpr (Count > 2) {
            // Nothing closer than the best so far, nor as close, can come of it.
            const std::int64_t distance = std::min(target_ - below_, above_ - target_);
            if (done() || positiveBound<Count>(values) < target_ - distance) {
                return;
            }
            const Key key = sortedKeyOf<Count>(values);
            if (seen_.find(key)) {
                return;
            }
            seen_.insert(key, true);
            explore<Count>(values);
        }
    }

    // Calls visit with the result of each step on a and b, which fit in 32 bits, that the
    // search makes.
    template <typename Visit>
    static void forEachPairResult(std::int64_t a, std::int64_t b, Visit visit) {
        const auto fitting = [&](std::int64_t result) {
            if (result >= std::numeric_limits<Target>::min() &&
                result <= std::numeric_limits<Target>::max()) {
                visit(result);
            }
        };
        fitting(a + b);
        fitting(a * b);
        if (a != b) {
            fitting(a > b ? a - b : b - a);
        }
        // Both fit in 32 bits, whose division is much faster; x / -1 is -x, which the
        // 32-bit division cannot give for -2^31.
        const auto x = static_cast<std::int32_t>(a);
        const auto y = static_cast<std::int32_t>(b);
        if (y == -1) {
            fitting(-a);
        } else if (x % y == 0) {
            visit(x / y);
        }
        if (x == -1) {
            fitting(-b);
        } else if (y % x == 0) {
            visit(y / x);
        }
    }

    template <int Count>
    void explore(const Values& values) {
        if constexpr (Count == 2) {
            forEachPairResult(values[0], values[1], [&](std::int64_t result) { note(result); });
        } else if constexpr (Count == 3) {
            // Written out: each pair's results, and each with the third value.
            constexpr std::array<std::array<int, 3>, 3> kSplits = {
                {{0, 1, 2}, {0, 2, 1}, {1, 2, 0}}};
            for (const auto& split : kSplits) {
                const std::int64_t third = values[split[2]];
                forEachPairResult(values[split[0]], values[split[1]], [&](std::int64_t result) {
                    note(result);
                    if (result != 0) {
                        forEachPairResult(result, third, [&](std::int64_t last) { note(last); });
                    }
                });
            }
        } else {
            forEachStep<Count>([&](int i, int j, char op) {
                const auto value = candidateResult({values[i], values[j], op});
                if (value) {
                    note(*value);
                    const Values child = childOf<Count>(values, i, j, *value);
                    if (*value == 0) {
                        search<Count - 2>(child);
                    } else {
                        search<Count - 1>(child);
                    }
                }
                return done();
            });
        }
    }

    std::int64_t target_ = 0;
    std::int64_t below_ = kNoneBelow;
    std::int64_t above_ = kNoneAbove;
    KeyTable<bool> seen_;
};

}  // namespace

NearestValues FindNearest(const PlateSet& plates, Target target) {
    thread_local const auto finder = std::make_unique<NearestFinder>();
    return finder->find(startStateOf(plates), target);
}

}  // namespace quorbelix
