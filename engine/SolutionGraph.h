#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Step.h"

namespace quorbelix {

// Solutions of one search, shared between every search state that reaches the same
// ordered values. A node lists, in search order, the steps leading to states that have
// solutions, then possibly the step that hit the target and ended the state's search.
// Entry i of a node is found by walking the cumulative counts of its steps.
class SolutionGraph {
public:
    using NodeId = std::uint32_t;

    struct Branch {
        Step step;
        NodeId child;
    };

    // Adds a node from its branches in order and its final hit (op '\0' for none).
    NodeId addNode(std::span<const Branch> branches, Step hit);

    // Makes root the entry point, once the search has added every node.
    void setRoot(NodeId root);
    std::size_t size() const noexcept { return size_; }

    // The text of entry index, which must be < size().
    std::string text(std::size_t index) const;

    // Calls visit with each entry's text in order, until visit returns false; false then.
    // Each step is ended by stepEnd instead of '\r'. Depth first, from step texts written
    // once each.
    bool forEachText(const std::function<bool(std::string_view)>& visit, char stepEnd = '\r') const;

    // Calls visit with each entry's steps in order, until visit returns false; false then.
    bool forEachChain(const std::function<bool(std::span<const Step>)>& visit) const;

private:
    struct Edge {
        Step step;
        NodeId child;
        std::uint64_t end;  // entries of the node up to and including this edge
    };
    struct Node {
        std::uint64_t count;
        std::uint32_t firstEdge;
        std::uint32_t edgeCount;
        Step hit;
    };

    struct Renderer;

    bool visitChains(NodeId id, std::span<Step> steps, std::size_t depth,
                     const std::function<bool(std::span<const Step>)>& visit) const;

    std::vector<Node> nodes_;
    std::vector<Edge> edges_;
    NodeId root_ = 0;
    std::size_t size_ = 0;
};

}  // namespace quorbelix
