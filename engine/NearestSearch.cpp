#include "NearestSearch.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "KeyTable.h"
#include "SearchState.h"

namespace quorbelix {

namespace {

using namespace solver;

// Every state once, by its values in increasing order: which results a state's steps reach
// does not depend on the order of its values. A state of positive values whose results
// all lie at or below the best result found under the target so far has nothing to add.
class NearestFinder {
public:
    NearestValues find(const StartState& start, Target target) {
        target_ = target;
        below_ = std::nullopt;
        above_ = std::nullopt;
        seen_.startSearch();
        searchByCount(start.count, 0, [&](auto size) {
            explore<decltype(size)::value>(start.values);
            return 0;
        });
        if (below_ && above_) {
            const std::int64_t under = std::int64_t{target_} - *below_;
            const std::int64_t over = std::int64_t{*above_} - target_;
            if (under < over) {
                above_ = std::nullopt;
            } else if (over < under) {
                below_ = std::nullopt;
            }
        }
        return {below_, above_};
    }

private:
    void note(std::int32_t result) {
        if (result < target_ && (!below_ || result > *below_)) {
            below_ = result;
        } else if (result > target_ && (!above_ || result < *above_)) {
            above_ = result;
        }
    }

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

    template <int Count>
    void search(const Values& values) {
        if constexpr (Count >= 2) {
            if (below_ && positiveBound<Count>(values) <= *below_) {
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

    template <int Count>
    void explore(const Values& values) {
        if constexpr (Count == 2) {
            for (const Step& step : pairSteps(values[0], values[1])) {
                if (const auto value = candidateResult(step)) {
                    note(*value);
                }
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
                return false;
            });
        }
    }

    Target target_ = 0;
    std::optional<Target> below_;
    std::optional<Target> above_;
    KeyTable<bool> seen_;
};

}  // namespace

NearestValues FindNearest(const PlateSet& plates, Target target) {
    thread_local const auto finder = std::make_unique<NearestFinder>();
    return finder->find(startStateOf(plates), target);
}

}  // namespace quorbelix
