#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "PlateSet.h"
#include "Step.h"

namespace quorbelix {

// How a calculation is written: the game's chain of steps, one expression under the
// usual precedence, or postfix.
enum class Notation { Chain, Infix, Rpn };

// A calculation as a tree: plate values at the leaves, one node per step.
struct Expression {
    struct Node {
        std::int32_t value = 0;
        char op = '\0';  // '\0' for a plate
        std::uint8_t left = 0;
        std::uint8_t right = 0;
    };

    // Six plates and five steps.
    std::array<Node, 11> nodes{};
    std::uint8_t size = 0;
    std::uint8_t root = 0;
};

// The longest text that writeInfix or writeRpn writes: eleven numbers of eleven
// characters, blanks or operators between them, and parentheses.
constexpr std::size_t kMaxExpressionSize = 160;

// The tree of a chain of the plates: each step takes the first slot holding its left
// value and the first other slot holding its right value, in slot order, as the search
// keeps its values. A result of 0 leaves the calculation, as it leaves the slots.
Expression expressionOfChain(const PlateSet& plates, std::span<const Step> steps);

// Writes the expression at out, which has room for kMaxExpressionSize characters, and
// returns its end. Infix keeps only the parentheses that the usual precedence and left
// to right evaluation need, and those around a negative plate.
char* writeInfix(const Expression& expression, char* out);
char* writeRpn(const Expression& expression, char* out);

}  // namespace quorbelix
