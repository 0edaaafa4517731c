#include "Solver.h"

#include <algorithm>
#include <limits>
#include <memory>
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

// Search states already explored, keyed by their ordered non-zero values padded with
// zeros (a state's values are never 0, so the padding also tells its size).
class StateTable {
public:
    using Key = std::array<std::int32_t, kSlots - 1>;

    StateTable() : entries_(1024) {}

    // The node recorded for key when known; otherwise key gets a new slot to fill.
    NodeId* find(const Key& key, bool& known) {
        Entry* entry = probe(entries_, key);
        known = entry->key[0] != 0;
        if (!known) {
            if (2 * (used_ + 1) > entries_.size()) {
                grow();
                entry = probe(entries_, key);
            }
            entry->key = key;
            ++used_;
        }
        return &entry->node;
    }

private:
    struct Entry {
        Key key{};
        NodeId node = kNoSolution;
    };

    // Element by element: std::array's operator== calls memcmp on this hot path.
    static bool sameKey(const Key& a, const Key& b) {
        bool same = true;
        for (std::size_t index = 0; index < a.size(); ++index) {
            same &= a[index] == b[index];
        }
        return same;
    }

    static Entry* probe(std::vector<Entry>& entries, const Key& key) {
        std::uint64_t hash = 0;
        for (const std::int32_t value : key) {
            hash = (hash ^ static_cast<std::uint32_t>(value)) * 0x9E3779B97F4A7C15ULL;
        }
        const std::size_t mask = entries.size() - 1;
        for (std::size_t index = (hash ^ (hash >> 32)) & mask;; index = (index + 1) & mask) {
            Entry& entry = entries[index];
            if (entry.key[0] == 0 || sameKey(entry.key, key)) {
                return &entry;
            }
        }
    }

    void grow() {
        std::vector<Entry> larger(2 * entries_.size());
        for (const Entry& entry : entries_) {
            if (entry.key[0] != 0) {
                *probe(larger, entry.key) = entry;
            }
        }
        entries_ = std::move(larger);
    }

    std::vector<Entry> entries_;
    std::size_t used_ = 0;
};

// Depth-first search that explores each distinct state once and records in the graph
// only the states that have solutions. The number of values is a template argument so
// that the loops over slots unroll.
class Searcher {
public:
    Searcher(Target target, SolutionGraph& graph) : target_(target), graph_(graph) {}

    NodeId search(const Values& values, int count) {
        switch (count) {
            case 6:
                return explore<6>(values);
            case 5:
                return search<5>(values);
            case 4:
                return search<4>(values);
            case 3:
                return search<3>(values);
            case 2:
                return search<2>(values);
            default:
                return kNoSolution;
        }
    }

private:
    template <int Count>
    NodeId search(const Values& values) {
        if constexpr (Count < 2) {
            return kNoSolution;
        } else if constexpr (Count == 2) {
            return searchPair(values[0], values[1]);
        } else {
            StateTable::Key key{};
            std::copy_n(values.begin(), Count, key.begin());
            bool known = false;
            if (const NodeId* node = states_.find(key, known); known) {
                return *node;
            }
            const NodeId node = explore<Count>(values);
            // The table may have grown while exploring: look the slot up again.
            *states_.find(key, known) = node;
            return node;
        }
    }

    // Two values leave children of one value, which have no step: at most the first hit.
    NodeId searchPair(std::int32_t x, std::int32_t y) {
        const Step steps[] = {{x, y, '+'}, {x, y, '*'}, {x, y, '-'},
                              {x, y, '/'}, {y, x, '-'}, {y, x, '/'}};
        for (const Step& step : steps) {
            if (hitsTarget(step, target_)) {
                return graph_.addNode({}, step);
            }
        }
        return kNoSolution;
    }

    template <int Count>
    NodeId explore(const Values& values) {
        Branches& branches = scratch_[Count];
        std::size_t found = 0;
        Step hit;
        // True when the step hits the target, which ends this state's search.
        const auto tryStep = [&](int i, int j, char op) {
            const Step step{values[i], values[j], op};
            const auto value = candidateResult(step);
            if (!value) {
                return false;
            }
            if (*value == target_) {
                hit = step;
                return true;
            }
            // The result takes the left operand's slot, the right one's slot empties,
            // and a result of 0 empties its slot too.
            Values child{};
            int next = 0;
            for (int slot = 0; slot < Count; ++slot) {
                if (slot != j && (slot != i || *value != 0)) {
                    child[next++] = slot == i ? *value : values[slot];
                }
            }
            const NodeId node = *value == 0 ? search<Count - 2>(child) : search<Count - 1>(child);
            if (node != kNoSolution) {
                branches[found++] = {step, node};
            }
            return false;
        };
        const auto explorePairs = [&] {
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
        };
        explorePairs();
        if (found == 0 && hit.op == '\0') {
            return kNoSolution;
        }
        return graph_.addNode(std::span(branches.data(), found), hit);
    }

    using Branches = std::array<SolutionGraph::Branch, kMaxCandidates>;

    Target target_;
    SolutionGraph& graph_;
    StateTable states_;
    // One buffer per state size: a child state always has fewer values than its parent.
    std::array<Branches, kSlots + 1> scratch_{};
};

}  // namespace

void Search(const PlateSet& plates, Target target, SolutionList& solutions) {
    Values values{};
    int count = 0;
    for (const std::int32_t plate : plates) {
        if (plate != 0) {
            values[count++] = plate;
        }
    }
    auto graph = std::make_shared<SolutionGraph>();
    const auto searcher = std::make_unique<Searcher>(target, *graph);
    const NodeId root = searcher->search(values, count);
    if (root != kNoSolution) {
        graph->setRoot(root);
        solutions.append(std::move(graph));
    }
}

}  // namespace quorbelix
