#include "Solver.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <type_traits>
#include <vector>

#include "SolutionGraph.h"

namespace quorbelix {

namespace {

using NodeId = SolutionGraph::NodeId;
constexpr NodeId kNoSolution = std::numeric_limits<NodeId>::max();

constexpr int kSlots = 6;
// Per call: two commutative steps per unordered pair, two others per ordered pair.
constexpr int kMaxCandidates = 2 * (kSlots * (kSlots - 1) / 2) + 2 * kSlots * (kSlots - 1);

using Values = std::array<std::int32_t, kSlots>;
// Up to five values padded with zeros; a state's values are never 0, so the padding also
// tells how many values the key holds.
using Key = std::array<std::int32_t, kSlots - 1>;

template <int Count>
Key keyOf(const Values& values) {
    Key key{};
    std::copy_n(values.begin(), Count, key.begin());
    return key;
}

// The same values in increasing order: whether a state has solutions at all does not
// depend on the order of its values, only which solutions it lists and in what order.
// Sorted by odd-even transposition, whose compare-exchanges need no branch: the values
// come in no predictable order.
template <int Count>
Key sortedKeyOf(const Values& values) {
    Key key = keyOf<Count>(values);
    for (int pass = 0; pass < Count; ++pass) {
        for (int i = pass % 2; i + 1 < Count; i += 2) {
            const std::int32_t low = std::min(key[i], key[i + 1]);
            key[i + 1] = std::max(key[i], key[i + 1]);
            key[i] = low;
        }
    }
    return key;
}

// Calls tryStep(i, j, op) for each step on slots i and j in search order, until it
// returns true: for each left slot, the commutative steps with the slots after it, then
// the others with every other slot.
template <int Count, typename TryStep>
void forEachStep(TryStep tryStep) {
    for (int i = 0; i < Count; ++i) {
        for (int j = i + 1; j < Count; ++j) {
            if (tryStep(i, j, '+') || tryStep(i, j, '*')) {
                return;
            }
        }
        for (int j = 0; j < Count; ++j) {
            if (j != i && (tryStep(i, j, '-') || tryStep(i, j, '/'))) {
                return;
            }
        }
    }
}

// The values after the step on slots i and j gave result: the result takes the left
// operand's slot, the right one's slot empties, and a result of 0 empties its slot too.
template <int Count>
Values childOf(const Values& values, int i, int j, std::int32_t result) {
    Values child{};
    int next = 0;
    for (int slot = 0; slot < Count; ++slot) {
        if (slot != j && (slot != i || result != 0)) {
            child[next++] = slot == i ? result : values[slot];
        }
    }
    return child;
}

// search(std::integral_constant<int, N>{}) for count values, 2 to 6, so that the loops
// over slots unroll; none for any other count.
template <typename Result, typename Search>
Result searchByCount(int count, Result none, Search search) {
    switch (count) {
        case 6:
            return search(std::integral_constant<int, 6>{});
        case 5:
            return search(std::integral_constant<int, 5>{});
        case 4:
            return search(std::integral_constant<int, 4>{});
        case 3:
            return search(std::integral_constant<int, 3>{});
        case 2:
            return search(std::integral_constant<int, 2>{});
        default:
            return none;
    }
}

// Open-addressing hash table from keys to values. Its slots hold a tag from the key's
// hash and the index of the key's item, and the items lie end to end in the order they
// came: most misses are decided within the small slot array, and a search touches few
// pages, each of which costs a page fault the first time, dear in a short process. The
// entries belong to one search at a time: a new search moves to the next generation
// instead of clearing the slots, so the memory they have grown to stays allocated, and
// faulted in, from one search to the next.
template <typename Value>
class KeyTable {
public:
    KeyTable() : slots_(kInitialSlots) { items_.reserve(kInitialSlots / 2); }

    void startSearch() {
        items_.clear();
        if (++generation_ == 0) {
            std::fill(slots_.begin(), slots_.end(), Slot{});
            generation_ = 1;
        }
    }

    const Value* find(const Key& key) const {
        const std::uint64_t hash = hashOf(key);
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t index = hash & mask;; index = (index + 1) & mask) {
            const Slot slot = slots_[index];
            if (slot.generation != generation_) {
                return nullptr;
            }
            if (slot.tag == tagOf(hash) && sameKey(items_[slot.item].key, key)) {
                return &items_[slot.item].value;
            }
        }
    }

    // key must not be in the table yet.
    void insert(const Key& key, Value value) {
        if (2 * (items_.size() + 1) > slots_.size()) {
            slots_.assign(2 * slots_.size(), Slot{});
            for (std::size_t item = 0; item < items_.size(); ++item) {
                place(hashOf(items_[item].key), item);
            }
        }
        items_.push_back({key, value});
        place(hashOf(key), items_.size() - 1);
    }

private:
    static constexpr std::size_t kInitialSlots = 512;

    struct Slot {
        std::uint16_t generation = 0;
        std::uint16_t tag = 0;
        std::uint32_t item = 0;
    };

    struct Item {
        Key key;
        Value value;
    };

    static std::uint64_t hashOf(const Key& key) {
        std::uint64_t hash = 0;
        for (const std::int32_t value : key) {
            hash = (hash ^ static_cast<std::uint32_t>(value)) * 0x9E3779B97F4A7C15ULL;
        }
        return hash ^ (hash >> 32);
    }

    // Bits of the hash that the slot index does not use.
    static std::uint16_t tagOf(std::uint64_t hash) {
        return static_cast<std::uint16_t>(hash >> 48);
    }

    // Element by element: std::array's operator== calls memcmp on this hot path.
    static bool sameKey(const Key& a, const Key& b) {
        bool same = true;
        for (std::size_t index = 0; index < a.size(); ++index) {
            same &= a[index] == b[index];
        }
        return same;
    }

    void place(std::uint64_t hash, std::size_t item) {
        const std::size_t mask = slots_.size() - 1;
        std::size_t index = hash & mask;
        while (slots_[index].generation == generation_) {
            index = (index + 1) & mask;
        }
        slots_[index] = {generation_, tagOf(hash), static_cast<std::uint32_t>(item)};
    }

    std::vector<Slot> slots_;
    std::vector<Item> items_;
    std::uint16_t generation_ = 1;
};

// With positive values only, every result is positive and at most the product of
// max(v, 2) over the values: no target outside 1 to that bound can be reached.
template <int Count>
bool outOfReach(const Values& values, Target first, Target last) {
    constexpr std::int64_t kCap = std::int64_t{1} << 31;
    bool positive = true;
    std::int64_t bound = 1;
    for (int slot = 0; slot < Count; ++slot) {
        positive &= values[slot] > 0;
        bound = std::min(bound * std::max(values[slot], 2), kCap);
    }
    return positive && (last <= 0 || bound < first);
}

// Whether sorted triples of positive values below 2^20 reach the target, remembered in a
// direct-mapped cache of the triples packed into 64 bits: a colliding triple replaces the
// one before it, which is cheaper than probing, and computing an answer again costs
// little. Other triples, rare, are computed each time.
class TripleCache {
public:
    using Triple = std::array<std::int32_t, 3>;

    void startSearch() {
        if (used_) {
            std::fill(entries_.begin(), entries_.end(), 0);
            used_ = false;
        }
    }

    template <typename Compute>
    bool reaches(const Triple& triple, Compute compute) {
        if (triple[0] <= 0 || triple[2] >= kLimit) {
            return compute(triple);
        }
        used_ = true;
        const std::uint64_t key = static_cast<std::uint64_t>(triple[0]) << 40 |
                                  static_cast<std::uint64_t>(triple[1]) << 20 |
                                  static_cast<std::uint64_t>(triple[2]);
        // A zero entry is free: no key is 0.
        std::uint64_t& entry = entries_[(key * 0x9E3779B97F4A7C15ULL) >> (64 - kBits)];
        if ((entry >> 1) != key) {
            entry = key << 1 | static_cast<std::uint64_t>(compute(triple));
        }
        return (entry & 1) != 0;
    }

private:
    static constexpr int kBits = 13;
    static constexpr std::int32_t kLimit = 1 << 20;

    std::vector<std::uint64_t> entries_ = std::vector<std::uint64_t>(std::size_t{1} << kBits);
    bool used_ = false;
};

// Depth-first search that explores each distinct state that has solutions once, and
// records in the graph only those states. States that cannot reach the target are cut
// off as early and as cheaply as possible. The number of values is a template argument
// so that the loops over slots unroll.
class Searcher {
public:
    NodeId search(const Values& values, int count, Target target, SolutionGraph& graph) {
        target_ = target;
        graph_ = &graph;
        states_.startSearch();
        liveTriples_.startSearch();
        deadSets_.startSearch();
        return searchByCount(count, kNoSolution,
                             [&](auto size) { return search<decltype(size)::value>(values); });
    }

private:
    template <int Count>
    NodeId search(const Values& values) {
        if constexpr (Count < 2) {
            return kNoSolution;
        } else if constexpr (Count == 2) {
            return anyPairHit(values[0], values[1]) ? searchPair(values[0], values[1])
                                                    : kNoSolution;
        } else {
            // The triple test is exact, and cached: the bound would only cost it time.
            if constexpr (Count == 3) {
                if (!tripleReaches(values)) {
                    return kNoSolution;
                }
            } else if (outOfReach<Count>(values, target_, target_)) {
                return kNoSolution;
            }
            if constexpr (Count == kSlots) {
                return explore<Count>(values);
            } else {
                // Most states of four or five values have no solution: the test on their
                // values in any order comes first. Three values are known to reach the
                // target by now.
                Key sorted{};
                if constexpr (Count > 3) {
                    sorted = sortedKeyOf<Count>(values);
                    if (deadSets_.find(sorted)) {
                        return kNoSolution;
                    }
                }
                const Key key = keyOf<Count>(values);
                if (const NodeId* node = states_.find(key)) {
                    return *node;
                }
                if constexpr (Count == 4) {
                    if (sorted[0] > 0 && !positiveQuadReaches(sorted)) {
                        deadSets_.insert(sorted, true);
                        return kNoSolution;
                    }
                }
                const NodeId node = explore<Count>(values);
                if (node != kNoSolution) {
                    states_.insert(key, node);
                } else if constexpr (Count > 3) {
                    deadSets_.insert(sorted, true);
                }
                return node;
            }
        }
    }

    // Whether four positive values in increasing order have a step that hits the target or
    // leaves three values that may reach it: the step's children in any order, each step on
    // a pair once, which costs much less than exploring the state; most such states have
    // no solution, and a state that has one is usually found out after a few steps. Equal
    // values never subtract, so no step of positive values gives 0.
    bool positiveQuadReaches(const Key& sorted) {
        constexpr std::array<std::array<int, 4>, 6> kSplits = {
            {{0, 1, 2, 3}, {0, 2, 1, 3}, {0, 3, 1, 2}, {1, 2, 0, 3}, {1, 3, 0, 2}, {2, 3, 0, 1}}};
        for (const auto& split : kSplits) {
            const std::int64_t a = sorted[split[0]];
            const std::int64_t b = sorted[split[1]];
            const std::int32_t low = sorted[split[2]];
            const std::int32_t high = sorted[split[3]];
            for (const std::int64_t result : {a + b, a * b, b - a, b % a == 0 ? b / a : 0}) {
                if (result <= 0 || result > std::numeric_limits<Target>::max()) {
                    continue;
                }
                const auto r = static_cast<std::int32_t>(result);
                if (r == target_ ||
                    sortedTripleReaches(
                        {std::min(r, low), std::max(std::min(r, high), low), std::max(r, high)})) {
                    return true;
                }
            }
        }
        return false;
    }

    // Whether one step on x and y hits the target, without branches: a cheap test before
    // searchPair, which finds which step hits first.
    bool anyPairHit(std::int32_t x, std::int32_t y) const {
        const std::int64_t a = x;
        const std::int64_t b = y;
        const std::int64_t t = target_;
        return (a + b == t) | (a * b == t) | ((b < a) & (a - b == t)) | ((a < b) & (b - a == t)) |
               (b * t == a) | (a * t == b);
    }

    // Two values leave children of one value, which have no step: at most the first hit.
    NodeId searchPair(std::int32_t x, std::int32_t y) {
        const Step steps[] = {{x, y, '+'}, {x, y, '*'}, {x, y, '-'},
                              {x, y, '/'}, {y, x, '-'}, {y, x, '/'}};
        for (const Step& step : steps) {
            if (hitsTarget(step, target_)) {
                return graph_->addNode({}, step);
            }
        }
        return kNoSolution;
    }

    // Whether one or two steps on three values can hit the target, remembered by the
    // values in increasing order.
    bool tripleReaches(const Values& values) {
        // Three compare-exchanges put the triple in increasing order.
        std::int32_t x = std::min(values[0], values[1]);
        std::int32_t y = std::max(values[0], values[1]);
        const std::int32_t z = std::max(y, values[2]);
        y = std::min(y, values[2]);
        const std::int32_t low = std::min(x, y);
        y = std::max(x, y);
        x = low;
        return sortedTripleReaches({x, y, z});
    }

    bool sortedTripleReaches(const TripleCache::Triple& sorted) {
        return liveTriples_.reaches(sorted, [&](const TripleCache::Triple& triple) {
            return triple[0] > 0 ? positiveTripleReaches(triple[0], triple[1], triple[2])
                                 : computeTripleReaches(triple[0], triple[1], triple[2]);
        });
    }

    // computeTripleReaches for 0 < x <= y <= z, the game's own case, without a branch:
    // the smaller operand of each pair is known, and so is the only quotient to try.
    bool positiveTripleReaches(std::int64_t x, std::int64_t y, std::int64_t z) const {
        const std::int64_t t = target_;
        // Whether a step on a and b, a <= b, gives the target, or a result r that one step
        // with c takes to it: r is t - c, t + c, c - t or c * t, or r * c is t, or r * t is
        // c. A result beyond 32 bits is no candidate and becomes 0, which leaves c alone;
        // the tests may pass where the order rules would refuse the step, or for a result
        // of 0, a false alarm only.
        const auto reaches = [t](std::int64_t a, std::int64_t b, std::int64_t c) {
            const std::int64_t tMinusC = t - c;
            const std::int64_t tPlusC = t + c;
            const std::int64_t cMinusT = c - t;
            const std::int64_t cTimesT = c * t;
            bool found = false;
            for (const std::int64_t result : {a + b, a * b, b - a, b % a == 0 ? b / a : 0}) {
                const std::int64_t r = result <= std::numeric_limits<Target>::max() ? result : 0;
                found |= (r == t) | (r == tMinusC) | (r == tPlusC) | (r == cMinusT) |
                         (r == cTimesT) | (r * c == t) | (r * t == c);
            }
            return found;
        };
        return reaches(x, y, z) | reaches(x, z, y) | reaches(y, z, x);
    }

    // Results in 64 bits, tested without the search's order rules, which can only add
    // false alarms: a triple that does not reach is then explored and found dead.
    bool computeTripleReaches(std::int32_t x, std::int32_t y, std::int32_t z) const {
        constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::min();
        // a / b when exact, tried only when |a| >= |b|; 32-bit division is much faster.
        const auto quotient = [](std::int32_t a, std::int32_t b) {
            if (b == -1) {
                return -std::int64_t{a};
            }
            return magnitude(a) >= magnitude(b) && a % b == 0 ? std::int64_t{a / b} : kNone;
        };
        // Whether a step on a and b gives the target, or a result that one step with c
        // takes to it.
        const auto reaches = [&](std::int32_t a, std::int32_t b, std::int32_t c) {
            const std::int64_t left = a;
            const std::int64_t right = b;
            const std::array<std::int64_t, 5> results = {
                left + right,   left * right,   a > b ? left - right : a < b ? right - left : kNone,
                quotient(a, b), quotient(b, a),
            };
            bool found = false;
            for (const std::int64_t result : results) {
                // A result outside 32 bits is no candidate; a result of 0 leaves c alone.
                const bool usable = result != 0 && result >= std::numeric_limits<Target>::min() &&
                                    result <= std::numeric_limits<Target>::max();
                found |= (result == target_) |
                         (usable & anyPairHit(usable ? static_cast<std::int32_t>(result) : 1, c));
            }
            return found;
        };
        return reaches(x, y, z) || reaches(x, z, y) || reaches(y, z, x);
    }

    static std::uint32_t magnitude(std::int32_t value) {
        return value < 0 ? 0U - static_cast<std::uint32_t>(value)
                         : static_cast<std::uint32_t>(value);
    }

    template <int Count>
    NodeId explore(const Values& values) {
        Branches& branches = scratch_[Count];
        std::size_t found = 0;
        Step hit;
        // True when the step hits the target, which ends this state's search.
        forEachStep<Count>([&](int i, int j, char op) {
            const Step step{values[i], values[j], op};
            const auto value = candidateResult(step);
            if (!value) {
                return false;
            }
            if (*value == target_) {
                hit = step;
                return true;
            }
            const Values child = childOf<Count>(values, i, j, *value);
            const NodeId node = *value == 0 ? search<Count - 2>(child) : search<Count - 1>(child);
            if (node != kNoSolution) {
                branches[found++] = {step, node};
            }
            return false;
        });
        if (found == 0 && hit.op == '\0') {
            return kNoSolution;
        }
        return graph_->addNode(std::span(branches.data(), found), hit);
    }

    using Branches = std::array<SolutionGraph::Branch, kMaxCandidates>;

    Target target_ = 0;
    SolutionGraph* graph_ = nullptr;
    // States of three to five values that have solutions, by their values in order.
    KeyTable<NodeId> states_;
    // Sorted triples, and whether they reach the target.
    TripleCache liveTriples_;
    // Sorted four and five values known to have no solution, in whatever order.
    KeyTable<bool> deadSets_;
    // One buffer per state size: a child state always has fewer values than its parent.
    std::array<Branches, kSlots + 1> scratch_{};
};

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

    std::vector<std::size_t> count(const Values& values, int count) {
        const Span root = searchByCount(
            count, Span{}, [&](auto size) { return search<decltype(size)::value>(values); });
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
        const Step steps[] = {{a, b, '+'}, {a, b, '*'}, {a, b, '-'},
                              {a, b, '/'}, {b, a, '-'}, {b, a, '/'}};
        std::size_t reached = 0;
        for (const Step& step : steps) {
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
    Values values{};
    int count = 0;
    for (const std::int32_t plate : plates) {
        if (plate != 0) {
            values[count++] = plate;
        }
    }
    return RangeCounter(first, last).count(values, count);
}

void Search(const PlateSet& plates, Target target, SolutionList& solutions) {
    Values values{};
    int count = 0;
    for (const std::int32_t plate : plates) {
        if (plate != 0) {
            values[count++] = plate;
        }
    }
    // Kept for the thread's next searches, tables and all.
    thread_local const auto searcher = std::make_unique<Searcher>();
    auto graph = std::make_shared<SolutionGraph>();
    const NodeId root = searcher->search(values, count, target, *graph);
    if (root != kNoSolution) {
        graph->setRoot(root);
        solutions.append(std::move(graph));
    }
}

}  // namespace quorbelix
