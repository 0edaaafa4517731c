#include "NearestSearch.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <span>
#include <vector>

#include "SearchState.h"
#include "Step.h"

namespace quorbelix {

namespace {

using namespace solver;

// A step's result is the value of a calculation over some of the plates, and every such
// calculation is the first steps of some chain. So the results of every chain are the
// results over every subset of the plates, built up from smaller subsets: far fewer than
// the chains, since a subset's results are kept once each, whatever calculation gave them.
class NearestFinder {
public:
    NearestValues find(const StartState& start, Target target) {
        target_ = target;
        reached_ = false;
        below_ = kNoneBelow;
        above_ = kNoneAbove;
        values_.clear();
        const int count = start.count;
        const unsigned all = (1U << count) - 1;
        for (unsigned subset = 1; subset < all && !reached_; ++subset) {
            if ((subset & (subset - 1)) == 0) {
                // One plate: no step yet.
                keep(subset, start.values[static_cast<std::size_t>(std::countr_zero(subset))]);
            } else {
                build(subset);
            }
        }
        // Nothing is built on the whole set's results: they are only compared.
        if (count > 1 && !reached_) {
            forEachCloseResult(all, [&](std::int64_t result) { note(result); });
        }
        NearestValues nearest;
        if (reached_) {
            nearest.reached = true;
            return nearest;
        }
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
    static constexpr std::size_t kSubsets = std::size_t{1} << kSlots;
    // A sum, a product, a difference and one quotient.
    static constexpr std::size_t kMostPairResults = 4;
    // Beyond every target: bounds are cut there so that their products stay in 64 bits.
    static constexpr std::int64_t kBoundCap = std::int64_t{1} << 31;

    struct Results {
        std::uint32_t begin = 0;
        std::uint32_t end = 0;
        std::int64_t bound = 2;  // max(|v|, 2) over the results v
    };

    struct Slot {
        std::int32_t value = 0;
        std::uint32_t stamp = 0;
    };

    // No result of a step on a and b is larger in magnitude than
    // max(|a|, 2) * max(|b|, 2), nor is a step on a result and b.
    static std::int64_t magnitudeBound(std::int64_t value) {
        return std::min(std::max<std::int64_t>(std::abs(value), 2), kBoundCap);
    }

    void note(std::int64_t result) {
        if (result < target_) {
            below_ = std::max(below_, result);
        } else if (result > target_) {
            above_ = std::min(above_, result);
        } else {
            reached_ = true;
        }
    }

    // Results below the lowest or above the highest useful one are farther from the target
    // than the closest found so far.
    std::int64_t closest() const { return std::min(target_ - below_, above_ - target_); }
    std::int64_t lowestUseful() const { return target_ - closest(); }
    std::int64_t highestUseful() const { return target_ + closest(); }

    std::span<const std::int32_t> valuesOf(unsigned subset) const {
        const Results& results = results_[subset];
        return {values_.data() + results.begin, values_.data() + results.end};
    }

    void keep(unsigned subset, std::int32_t plate) {
        const auto begin = static_cast<std::uint32_t>(values_.size());
        values_.push_back(plate);
        results_[subset] = {begin, begin + 1, magnitudeBound(plate)};
    }

    // Keeps the subset's results, each once. A result of 0 is noted but not kept: the
    // search drops a step's 0 with its operands, so nothing is built on it.
    void build(unsigned subset) {
        startDistinct();
        // The loops below read the smaller subsets' results in place while this one's are
        // added after them: the room for its most results is made first.
        std::size_t most = 0;
        forEachSplit(subset, [&](unsigned part, unsigned rest) {
            most += valuesOf(part).size() * valuesOf(rest).size() * kMostPairResults;
        });
        if (values_.size() + most > values_.capacity()) {
            values_.reserve(std::max(2 * values_.capacity(), values_.size() + most));
        }
        Results& results = results_[subset];
        results = {static_cast<std::uint32_t>(values_.size()), 0, 2};
        forEachSplit(subset, [&](unsigned part, unsigned rest) {
            for (const std::int32_t a : valuesOf(part)) {
                for (const std::int32_t b : valuesOf(rest)) {
                    forEachPairResult<false>(a, b, [&](std::int64_t result) {
                        if (isNew(static_cast<std::int32_t>(result), results.begin)) {
                            note(result);
                            if (result != 0) {
                                values_.push_back(static_cast<std::int32_t>(result));
                                results.bound = std::max(results.bound, magnitudeBound(result));
                            }
                        }
                    });
                }
            }
        });
        results.end = static_cast<std::uint32_t>(values_.size());
    }

    // Calls visit with each split of subset into two non-empty parts, each split once.
    template <typename Visit>
    static void forEachSplit(unsigned subset, Visit visit) {
        const unsigned lowest = subset & (0U - subset);
        for (unsigned part = (subset - 1) & subset; part != 0; part = (part - 1) & subset) {
            // The part that holds the lowest plate names the split.
            if ((part & lowest) != 0) {
                visit(part, subset ^ part);
            }
        }
    }

    // Calls visit with the results of the steps on the two parts of each split of subset,
    // except those too small to come closer to the target than the closest so far: far
    // targets leave most steps out.
    template <typename Visit>
    void forEachCloseResult(unsigned subset, Visit visit) {
        forEachSplit(subset, [&](unsigned part, unsigned rest) {
            const std::int64_t restBound = results_[rest].bound;
            for (const std::int32_t a : valuesOf(part)) {
                if (magnitudeBound(a) * restBound < lowestUseful()) {
                    continue;
                }
                for (const std::int32_t b : valuesOf(rest)) {
                    forEachPairResult<true>(a, b, visit);
                }
            }
        });
    }

    // Calls visit with the result of each step on a and b, neither 0, that the search
    // makes: those that fit in 32 bits. When the results are only compared, a quotient
    // that cannot come closer than the closest so far is not worked out: a division costs
    // as much as the rest together.
    template <bool OnlyCompared, typename Visit>
    void forEachPairResult(std::int32_t a, std::int32_t b, Visit&& visit) const {
        const auto fitting = [&](std::int64_t result) {
            if (result >= std::numeric_limits<Target>::min() &&
                result <= std::numeric_limits<Target>::max()) {
                visit(result);
            }
        };
        const std::int64_t x = a;
        const std::int64_t y = b;
        fitting(x + y);
        fitting(x * y);
        if (x != y) {
            fitting(x > y ? x - y : y - x);
        }
        // Only the larger in magnitude can be a multiple of the other (of equal magnitudes,
        // both quotients are the same).
        const bool xLarger = std::abs(x) >= std::abs(y);
        const std::int64_t larger = xLarger ? x : y;
        const std::int64_t smaller = xLarger ? y : x;
        if constexpr (OnlyCompared) {
            if (!quotientMayBeClose(larger, smaller)) {
                return;
            }
        }
        if (divides(smaller, larger)) {
            fitting(larger / smaller);
        }
    }

    // Whether dividend / divisor may come as close to the target as the closest so far,
    // were it exact: with a positive divisor, an exact quotient lies in [low, high] exactly
    // when the dividend lies in [low * divisor, high * divisor].
    bool quotientMayBeClose(std::int64_t dividend, std::int64_t divisor) const {
        if (divisor < 0) {
            dividend = -dividend;
            divisor = -divisor;
        }
        const std::int64_t low = std::max(lowestUseful(), -kBoundCap);
        const std::int64_t high = std::min(highestUseful(), kBoundCap);
        return dividend >= low * divisor && dividend <= high * divisor;
    }

    // A hash set of the current subset's results, at most half full: a slot is taken when
    // it holds the current stamp, so starting a subset costs nothing. It starts small, for
    // a short process pays for every page it touches.
    void startDistinct() {
        if (slots_.empty() || ++stamp_ == 0) {
            slots_.assign(std::max<std::size_t>(slots_.size(), 1024), Slot{});
            stamp_ = 1;
        }
        used_ = 0;
    }

    // Whether value is not yet among the results of the subset whose kept values start at
    // begin; adds it if not.
    bool isNew(std::int32_t value, std::uint32_t begin) {
        if (2 * (used_ + 1) > slots_.size()) {
            // Twice as large, with the subset's kept values again (a 0 may come twice: it
            // is only noted).
            slots_.assign(2 * slots_.size(), Slot{});
            stamp_ = 1;
            used_ = 0;
            for (std::size_t index = begin; index < values_.size(); ++index) {
                insert(values_[index]);
            }
        }
        return insert(value);
    }

    bool insert(std::int32_t value) {
        const std::size_t mask = slots_.size() - 1;
        const std::uint64_t hash = static_cast<std::uint32_t>(value) * kHashMultiplier;
        std::size_t index = static_cast<std::size_t>(hash >> 32) & mask;
        while (slots_[index].stamp == stamp_) {
            if (slots_[index].value == value) {
                return false;
            }
            index = (index + 1) & mask;
        }
        slots_[index] = {value, stamp_};
        ++used_;
        return true;
    }

    std::int64_t target_ = 0;
    bool reached_ = false;
    std::int64_t below_ = kNoneBelow;
    std::int64_t above_ = kNoneAbove;
    std::vector<std::int32_t> values_;  // every kept subset's results, end to end
    std::array<Results, kSubsets> results_{};
    std::vector<Slot> slots_;
    std::size_t used_ = 0;
    std::uint32_t stamp_ = 0;
};

}  // namespace

NearestValues FindNearest(const PlateSet& plates, Target target) {
    thread_local const auto finder = std::make_unique<NearestFinder>();
    return finder->find(startStateOf(plates), target);
}

}  // namespace quorbelix
