#include "Expression.h"

#include <charconv>

namespace quorbelix {

namespace {

constexpr std::size_t kMaxNumberSize = 11;

int precedence(char op) {
    return op == '+' || op == '-' ? 1 : 2;
}

char* writeNumber(std::int32_t value, char* out) {
    return std::to_chars(out, out + kMaxNumberSize, value).ptr;
}

char* writeInfixNode(const Expression& expression, std::uint8_t index, char* out) {
    const Expression::Node& node = expression.nodes[index];
    if (node.op == '\0') {
        if (node.value >= 0) {
            return writeNumber(node.value, out);
        }
        *out++ = '(';
        out = writeNumber(node.value, out);
        *out++ = ')';
        return out;
    }
    const auto operand = [&](std::uint8_t child, bool parenthesized) {
        if (parenthesized) {
            *out++ = '(';
        }
        out = writeInfixNode(expression, child, out);
        if (parenthesized) {
            *out++ = ')';
        }
    };
    const char leftOp = expression.nodes[node.left].op;
    const char rightOp = expression.nodes[node.right].op;
    // Operators of one level are evaluated left to right: a right operand of the same
    // level as its parent is evaluated first only when parenthesized.
    operand(node.left, leftOp != '\0' && precedence(leftOp) < precedence(node.op));
    *out++ = node.op;
    operand(node.right, rightOp != '\0' && precedence(rightOp) <= precedence(node.op));
    return out;
}

char* writeRpnNode(const Expression& expression, std::uint8_t index, char* out) {
    const Expression::Node& node = expression.nodes[index];
    if (node.op == '\0') {
        return writeNumber(node.value, out);
    }
    out = writeRpnNode(expression, node.left, out);
    *out++ = ' ';
    out = writeRpnNode(expression, node.right, out);
    *out++ = ' ';
    *out++ = node.op;
    return out;
}

}  // namespace

Expression expressionOfChain(const PlateSet& plates, std::span<const Step> steps) {
    Expression expression;
    // Node indices in slot order; a slot count that shrinks as the search's does.
    std::array<std::uint8_t, 6> slots{};
    int used = 0;
    for (const std::int32_t plate : plates) {
        if (plate != 0) {
            expression.nodes[expression.size] = {plate, '\0', 0, 0};
            slots[static_cast<std::size_t>(used++)] = expression.size++;
        }
    }
    const auto slotOf = [&](std::int32_t value, int other) {
        int slot = 0;
        while (slot != used && (slot == other || expression.nodes[slots[slot]].value != value)) {
            ++slot;
        }
        return slot;
    };
    for (const Step& step : steps) {
        const int left = slotOf(step.left, -1);
        const int right = slotOf(step.right, left);
        if (left == used || right == used) {
            break;
        }
        const auto result = static_cast<std::int32_t>(exactResult(step));
        expression.nodes[expression.size] = {result, step.op, slots[left], slots[right]};
        expression.root = expression.size;
        slots[left] = expression.size++;
        const int emptied = result == 0 ? 2 : 1;
        int next = 0;
        for (int slot = 0; slot != used; ++slot) {
            if (slot != right && (slot != left || result != 0)) {
                slots[next++] = slots[slot];
            }
        }
        used -= emptied;
    }
    return expression;
}

char* writeInfix(const Expression& expression, char* out) {
    return writeInfixNode(expression, expression.root, out);
}

char* writeRpn(const Expression& expression, char* out) {
    return writeRpnNode(expression, expression.root, out);
}

}  // namespace quorbelix
