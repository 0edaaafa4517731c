#include "SolutionGraph.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace quorbelix {

namespace {

std::int64_t exactResult(char op, std::int64_t left, std::int64_t right) {
    switch (op) {
        case '+':
            return left + right;
        case '*':
            return left * right;
        case '-':
            return left - right;
        default:
            return left / right;
    }
}

bool fits(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

void appendNumber(std::string& out, std::int64_t value) {
    char digits[24];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, end);
}

void appendStep(std::string& out, const Step& step) {
    appendNumber(out, step.left);
    out += step.op;
    appendNumber(out, step.right);
    out += '=';
    appendNumber(out, exactResult(step.op, step.left, step.right));
    out += '\r';
}

}  // namespace

std::optional<std::int32_t> candidateResult(char op, std::int32_t left, std::int32_t right) {
    if (op == '-' && !(right < left)) {
        return std::nullopt;
    }
    // In 64 bits the remainder is exact and -2147483648 / -1 cannot trap.
    if (op == '/' && std::int64_t{left} % right != 0) {
        return std::nullopt;
    }
    const std::int64_t value = exactResult(op, left, right);
    if (!fits(value)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

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

void SolutionGraph::render(std::size_t index, std::string& out) const {
    std::uint64_t rest = index;
    for (NodeId id = root_;;) {
        const Node& node = nodes_[id];
        const auto first = edges_.begin() + node.firstEdge;
        const auto last = first + node.edgeCount;
        const auto edge = std::upper_bound(
            first, last, rest, [](std::uint64_t value, const Edge& e) { return value < e.end; });
        if (edge == last) {
            appendStep(out, node.hit);
            return;
        }
        appendStep(out, edge->step);
        rest -= edge == first ? 0 : (edge - 1)->end;
        id = edge->child;
    }
}

}  // namespace quorbelix
