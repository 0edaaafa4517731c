#include "Solver.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <span>

#include "KeyTable.h"
#include "Reachability.h"
#include "SearchState.h"
#include "SolutionGraph.h"
#include "TripleCache.h"

namespace quorbelix {

namespace {

using namespace solver;
using NodeId = SolutionGraph::NodeId;
constexpr NodeId kNoSolution = std::numeric_limits<NodeId>::max();

// Depth-first search that explores each distinct state that has solutions once, and
// records in the graph only those states. States that cannot reach the target are cut
// off as early and as cheaply as possible. The number of values is a template argument
// so that the loops over slots unroll.
class Searcher {
public:
    NodeId search(const StartState& start, Target target, SolutionGraph& graph) {
        target_ = target;
        graph_ = &graph;
        states_.startSearch();
        liveTriples_.startSearch();
        deadSets_.startSearch();
        return searchByCount(start.count, kNoSolution, [&](auto size) {
            return search<decltype(size)::value>(start.values);
        });
    }

private:
    template <int Count>
    NodeId search(const Values& values) {
        if constexpr (Count < 2) {
            return kNoSolution;
        } else if constexpr (Count == 2) {
            return anyPairHit(values[0], values[1], target_) ? searchPair(values[0], values[1])
                                                             : kNoSolution;
        } else {
            // The triple test is exact, and cached: the bound would only cost it time.
            if constexpr (Count == 3) {
                if (!stateTripleReaches(values)) {
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
                    if (sorted[0] > 0 &&
                        !positiveQuadReaches(sorted, target_, [this](const auto& triple) {
                            return sortedTripleReaches(triple);
                        })) {
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

    // Two values leave children of one value, which have no step: at most the first hit.
    NodeId searchPair(std::int32_t x, std::int32_t y) {
        for (const Step& step : pairSteps(x, y)) {
            if (hitsTarget(step, target_)) {
                return graph_->addNode({}, step);
            }
        }
        return kNoSolution;
    }

    // Whether one or two steps on three values can hit the target, remembered by the
    // values in increasing order.
    bool stateTripleReaches(const Values& values) {
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
            return triple[0] > 0 ? positiveTripleReaches(triple[0], triple[1], triple[2], target_)
                                 : tripleReaches(triple[0], triple[1], triple[2], target_);
        });
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

}  // namespace

void Search(const PlateSet& plates, Target target, SolutionList& solutions) {
    const StartState start = startStateOf(plates);
    // Kept for the thread's next searches, tables and all.
    thread_local const auto searcher = std::make_unique<Searcher>();
    auto graph = std::make_shared<SolutionGraph>();
    const NodeId root = searcher->search(start, target, *graph);
    if (root != kNoSolution) {
        graph->setRoot(root);
        solutions.append(std::move(graph));
    }
}

}  // namespace quorbelix
