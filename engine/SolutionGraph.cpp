#include "SolutionGraph.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace quorbelix {

namespace {

// Six plates give at most five steps, and every number of a step fits in 32 bits.
constexpr std::size_t kMaxSteps = 5;
constexpr std::size_t kMaxNumberSize = 11;
constexpr std::size_t kMaxStepSize = 3 * kMaxNumberSize + 3;

// Writes "left op right=result\r" at out and returns its end.
char* writeStep(char* out, const Step& step) {
    out = std::to_chars(out, out + kMaxNumberSize, step.left).ptr;
    *out++ = step.op;
    out = std::to_chars(out, out + kMaxNumberSize, step.right).ptr;
    *out++ = '=';
    out = std::to_chars(out, out + kMaxNumberSize, exactResult(step)).ptr;
    *out++ = '\r';
    return out;
}

}  // namespace

SolutionGraph::NodeId SolutionGraph::addNode(std::span<const Branch> branches, Step hit) {
    Node node{0, static_cast<std::uint32_t>(edges_.size()),
              static_cast<std::uint32_t>(branches.size()), hit};
    for (const Branch& branch : branches) {
        node.count += nodes_[branch.child].count;
        edges_.push_back({branch.step, branch.child, node.count});
    }
    if (hit.op != '\0') {
        ++node.count;
    }
    nodes_.push_back(node);
    return static_cast<NodeId>(nodes_.size() - 1);
}

void SolutionGraph::setRoot(NodeId root) {
    root_ = root;
    size_ = nodes_[root].count;
    nodes_.shrink_to_fit();
    edges_.shrink_to_fit();
}

std::string SolutionGraph::text(std::size_t index) const {
    std::array<char, kMaxSteps * kMaxStepSize> buffer;
    char* out = buffer.data();
    std::uint64_t rest = index;
    for (NodeId id = root_;;) {
        const Node& node = nodes_[id];
        const auto first = edges_.begin() + node.firstEdge;
        const auto last = first + node.edgeCount;
        const auto edge = std::upper_bound(
            first, last, rest, [](std::uint64_t value, const Edge& e) { return value < e.end; });
        if (edge == last) {
            out = writeStep(out, node.hit);
            return std::string(buffer.data(), out);
        }
        out = writeStep(out, edge->step);
        rest -= edge == first ? 0 : (edge - 1)->end;
        id = edge->child;
    }
}

bool SolutionGraph::forEachText(const std::function<bool(std::string_view)>& visit) const {
    std::array<char, kMaxSteps * kMaxStepSize> buffer;
    return visitNode(root_, buffer.data(), buffer.data(), visit);
}

// text holds the steps leading to node id, up to end.
bool SolutionGraph::visitNode(NodeId id, char* text, char* end,
                              const std::function<bool(std::string_view)>& visit) const {
    const Node& node = nodes_[id];
    const auto first = edges_.begin() + node.firstEdge;
    for (auto edge = first; edge != first + node.edgeCount; ++edge) {
        if (!visitNode(edge->child, text, writeStep(end, edge->step), visit)) {
            return false;
        }
    }
    if (node.hit.op == '\0') {
        return true;
    }
    const char* last = writeStep(end, node.hit);
    return visit(std::string_view(text, static_cast<std::size_t>(last - text)));
}

}  // namespace quorbelix
