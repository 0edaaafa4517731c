#include "SolutionGraph.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
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

// Every step's text once, end to end: the edges' steps, then the nodes' hits, an empty
// text for a node without one. Most steps recur in many entries; texts packed this
// tightly also keep the pages that a listing touches few.
struct SolutionGraph::Renderer {
    const SolutionGraph& graph;
    const std::function<bool(std::string_view)>& visit;
    std::vector<char> chars;
    std::vector<std::uint32_t> starts;  // text i is chars[starts[i], starts[i + 1])
    static constexpr std::size_t kShortText = 16;
    std::array<char, kMaxSteps * kMaxStepSize + kShortText> text;

    Renderer(const SolutionGraph& graph, const std::function<bool(std::string_view)>& visit,
             char stepEnd)
        : graph(graph), visit(visit) {
        const std::size_t count = graph.edges_.size() + graph.nodes_.size();
        // Reserved at the longest, but only the pages written to are ever faulted in.
        chars.reserve(count * kMaxStepSize + kShortText);
        starts.reserve(count + 1);
        const auto add = [&](const Step& step) {
            starts.push_back(static_cast<std::uint32_t>(chars.size()));
            if (step.op != '\0') {
                std::array<char, kMaxStepSize> buffer;
                char* end = writeStep(buffer.data(), step);
                end[-1] = stepEnd;
                chars.insert(chars.end(), buffer.data(), end);
            }
        };
        for (const Edge& edge : graph.edges_) {
            add(edge.step);
        }
        for (const Node& node : graph.nodes_) {
            add(node.hit);
        }
        starts.push_back(static_cast<std::uint32_t>(chars.size()));
        chars.resize(chars.size() + kShortText);
    }

    // Appends text i at out and returns its end. Most texts are short: they are copied
    // as one fixed block, which both ends have room for, without a call.
    char* append(std::size_t index, char* out) const {
        const char* begin = chars.data() + starts[index];
        const std::size_t size = starts[index + 1] - starts[index];
        if (size <= kShortText) {
            std::memcpy(out, begin, kShortText);
            return out + size;
        }
        return std::copy(begin, begin + size, out);
    }

    // text holds the steps leading to node id, up to end.
    bool visitNode(NodeId id, char* end) const {
        const Node& node = graph.nodes_[id];
        for (std::uint32_t edge = node.firstEdge; edge != node.firstEdge + node.edgeCount; ++edge) {
            if (!visitNode(graph.edges_[edge].child, append(edge, end))) {
                return false;
            }
        }
        if (node.hit.op == '\0') {
            return true;
        }
        const char* last = append(graph.edges_.size() + id, end);
        return visit(std::string_view(text.data(), static_cast<std::size_t>(last - text.data())));
    }
};

bool SolutionGraph::forEachText(const std::function<bool(std::string_view)>& visit,
                                char stepEnd) const {
    const auto renderer = std::make_unique<Renderer>(*this, visit, stepEnd);
    return renderer->visitNode(root_, renderer->text.data());
}

bool SolutionGraph::forEachChain(const std::function<bool(std::span<const Step>)>& visit) const {
    std::array<Step, kMaxSteps> steps;
    return visitChains(root_, steps, 0, visit);
}

// steps holds the depth steps leading to node id.
bool SolutionGraph::visitChains(NodeId id, std::span<Step> steps, std::size_t depth,
                                const std::function<bool(std::span<const Step>)>& visit) const {
    const Node& node = nodes_[id];
    for (std::uint32_t edge = node.firstEdge; edge != node.firstEdge + node.edgeCount; ++edge) {
        steps[depth] = edges_[edge].step;
        if (!visitChains(edges_[edge].child, steps, depth + 1, visit)) {
            return false;
        }
    }
    if (node.hit.op == '\0') {
        return true;
    }
    steps[depth] = node.hit;
    return visit(steps.first(depth + 1));
}

}  // namespace quorbelix
