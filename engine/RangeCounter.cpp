#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "KeyTable.h"
#include "Reachability.h"
#include "SearchState.h"
#include "Solver.h"

namespace quorbelix {

namespace {

using namespace solver;

// The solution counts of a range of targets at once. For one target, a state lists the
// entries of its candidates' children up to the first candidate whose result is the
// target, then that hit; so a state's counts over the range follow from its children's
// counts, merged in search order while each target's first hit closes it. Counts are
// kept sparse, as (target, count) pairs for the targets a state reaches.
class RangeCounter {
public:
    RangeCounter(Target first, Target last)
        : first_(first),
          last_(last),
          size_(static_cast<std::size_t>(std::int64_t{last} - first + 1)),
          sums_(size_),
          summed_(size_),
          closed_(size_) {}

    std::vector<std::size_t> count(const StartState& start) {
        const Span root = searchByCount(start.count, Span{}, [&](auto size) {
            return search<decltype(size)::value>(start.values);
        });
        std::vector<std::size_t> counts(size_);
        for (std::uint32_t index = root.begin; index != root.begin + root.size; ++index) {
            counts[counts_[index].target] = counts_[index].count;
        }
        return counts;
    }

private:
    struct TargetCount {
        std::uint32_t target;  // from first_
        std::uint32_t count;   // at most about 3.5 million entries for six values
    };
    // A state's counts in counts_.
    struct Span {
        std::uint32_t begin = 0;
        std::uint32_t size = 0;
    };

    template <int Count>
    Span search(const Values& values) {
        if constexpr (Count < 2) {
            return {};
        } else {
            if (outOfReach<Count>(values, first_, last_)) {
                return {};
            }
            if constexpr (Count == 2 || Count == kSlots) {
                return explore<Count>(values);
            } else {
                const Key key = keyOf<Count>(values);
                if (const Span* span = states_.find(key)) {
                    return *span;
                }
                const Span span = explore<Count>(values);
                states_.insert(key, span);
                return span;
            }
        }
    }

    template <int Count>
    Span explore(const Values& values) {
        // Children of two values are not searched: the merge takes their hits directly.
        struct Candidate {
            std::int32_t result;
            Span child;
            bool isPair;
            std::array<std::int32_t, 2> pair;
        };
        std::array<Candidate, kMaxCandidates> candidates;
        std::size_t found = 0;
        forEachStep<Count>([&](int i, int j, char op) {
            const auto value = candidateResult({values[i], values[j], op});
            if (!value) {
                return false;
            }
            const Values child = childOf<Count>(values, i, j, *value);
            if (Count == 3 && *value != 0) {
                candidates[found++] = {*value, {}, true, {child[0], child[1]}};
            } else {
                candidates[found++] = {
                    *value,
                    *value == 0 ? search<Count - 2>(child) : search<Count - 1>(child),
                    false,
                    {}};
            }
            return false;
        });
        // Every child is counted by now: merge, with no search under way.
        ++stamp_;
        touched_.clear();
        const auto add = [&](std::uint32_t target, std::uint32_t count) {
            if (summed_[target] != stamp_) {
                summed_[target] = stamp_;
                sums_[target] = 0;
                touched_.push_back(target);
            }
            sums_[target] += count;
        };
        for (std::size_t index = 0; index < found; ++index) {
            const Candidate& candidate = candidates[index];
            const std::int64_t offset = std::int64_t{candidate.result} - first_;
            const bool hits = offset >= 0 && offset < static_cast<std::int64_t>(size_);
            const auto hitTarget = static_cast<std::uint32_t>(offset);
            if (candidate.isPair) {
                std::array<std::uint32_t, 6> targets;
                const std::size_t reached =
                    pairTargets(candidate.pair[0], candidate.pair[1], targets);
                for (std::size_t pairTarget = 0; pairTarget < reached; ++pairTarget) {
                    const std::uint32_t target = targets[pairTarget];
                    if (closed_[target] != stamp_ && !(hits && target == hitTarget)) {
                        add(target, 1);
                    }
                }
            }
            for (std::uint32_t entry = candidate.child.begin;
                 entry != candidate.child.begin + candidate.child.size; ++entry) {
                const TargetCount counted = counts_[entry];
                // The candidate's own result is a hit, which ends that target's search
                // before the child is explored.
                if (closed_[counted.target] != stamp_ && !(hits && counted.target == hitTarget)) {
                    add(counted.target, counted.count);
                }
            }
            if (hits && closed_[hitTarget] != stamp_) {
                add(hitTarget, 1);
                closed_[hitTarget] = stamp_;
            }
        }
        const Span span{static_cast<std::uint32_t>(counts_.size()),
                        static_cast<std::uint32_t>(touched_.size())};
        for (const std::uint32_t target : touched_) {
            counts_.push_back({target, sums_[target]});
        }
        return span;
    }

    // The targets of the range that one step on a and b hits, each once: a pair's search
    // ends at its first hit of a target.
    std::size_t pairTargets(std::int32_t a, std::int32_t b,
                            std::array<std::uint32_t, 6>& targets) const {
        std::size_t reached = 0;
        for (const Step& step : pairSteps(a, b)) {
            const auto value = candidateResult(step);
            const std::int64_t offset = value ? std::int64_t{*value} - first_ : -1;
            if (offset < 0 || offset >= static_cast<std::int64_t>(size_)) {
                continue;
            }
            const auto target = static_cast<std::uint32_t>(offset);
            if (std::find(targets.begin(), targets.begin() + reached, target) ==
                targets.begin() + reached) {
                targets[reached++] = target;
            }
        }
        return reached;
    }

    Target first_;
    Target last_;
    std::size_t size_;
    std::vector<TargetCount> counts_;
    KeyTable<Span> states_;
    // The merge's sums by target, valid where summed_ holds the current stamp; closed_
    // holds it for the targets hit so far.
    std::vector<std::uint32_t> sums_;
    std::vector<std::uint32_t> summed_;
    std::vector<std::uint32_t> closed_;
    std::uint32_t stamp_ = 0;
    std::vector<std::uint32_t> touched_;
};

}  // namespace

std::vector<std::size_t> CountSolutions(const PlateSet& plates, Target first, Target last) {
    return RangeCounter(first, last).count(startStateOf(plates));
}

}  // namespace quorbelix
