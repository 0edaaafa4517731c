#include "SolutionGraph.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>

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

struct SolutionGraph::StepText {
    std::array<char, kMaxStepSize> chars;
    std::uint8_t size;
};

struct SolutionGraph::Renderer {
    const SolutionGraph& graph;
    const std::function<bool(std::string_view)>& visit;
    std::vector<StepText> edgeTexts;
    std::vector<StepText> hitTexts;
    std::array<char, kMaxSteps * kMaxStepSize> text;

    // text holds the steps leading to node id, up to end.
    bool visitNode(NodeId id, char* end) const {
        const Node& node = graph.nodes_[id];
        for (std::uint32_t edge = node.firstEdge; edge != node.firstEdge + node.edgeCount; ++edge) {
            const StepText& step = edgeTexts[edge];
            if (!visitNode(graph.edges_[edge].child,
                           std::copy_n(step.chars.data(), step.size, end))) {
                return false;
            }
        }
        if (node.hit.op == '\0') {
            return true;
        }
        const StepText& step = hitTexts[id];
        const char* last = std::copy_n(step.chars.data(), step.size, end);
        return visit(std::string_view(text.data(), static_cast<std::size_t>(last - text.data())));
    }
};

bool SolutionGraph::forEachText(const std::function<bool(std::string_view)>& visit,
                                char stepEnd) const {
    const auto render = [stepEnd](const Step& step) {
        StepText text{};
        char* end = writeStep(text.chars.data(), step);
        end[-1] = stepEnd;
        text.size = static_cast<std::uint8_t>(end - text.chars.data());
        return text;
    };
    // Step texts first, each once: most of them recur in many entries.
    auto renderer = std::make_unique<Renderer>(*this, visit);
    renderer->edgeTexts.reserve(edges_.size());
    for (const Edge& edge : edges_) {
        renderer->edgeTexts.push_back(render(edge.step));
    }
    renderer->hitTexts.reserve(nodes_.size());
    for (const Node& node : nodes_) {
        renderer->hitTexts.push_back(node.hit.op == '\0' ? StepText{} : render(node.hit));
    }
    return renderer->visitNode(root_, renderer->text.data());
}

}  // namespace quorbelix
