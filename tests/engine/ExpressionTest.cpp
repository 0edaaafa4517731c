#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "Expression.h"

namespace quorbelix {
namespace {

std::string written(const PlateSet& plates, const std::vector<Step>& steps, Notation notation) {
    std::array<char, kMaxExpressionSize> buffer;
    const Expression expression = expressionOfChain(plates, steps);
    char* end = notation == Notation::Rpn ? writeRpn(expression, buffer.data())
                                          : writeInfix(expression, buffer.data());
    return std::string(buffer.data(), end);
}

std::string infix(const PlateSet& plates, const std::vector<Step>& steps) {
    return written(plates, steps, Notation::Infix);
}

// Parentheses where the usual precedence or left-to-right evaluation needs them, and
// nowhere else; each step's operands found in the slots the search keeps.
TEST(Expression, KeepsOnlyTheParenthesesThatPrecedenceNeeds) {
    EXPECT_EQ(infix({7, 2, 3}, {{7, 2, '-'}, {5, 3, '*'}}), "(7-2)*3");
    EXPECT_EQ(infix({9, 5, 2}, {{5, 2, '-'}, {9, 3, '-'}}), "9-(5-2)");
    EXPECT_EQ(infix({36, 2, 3}, {{2, 3, '*'}, {36, 6, '/'}}), "36/(2*3)");
    EXPECT_EQ(infix({3, 8, 2}, {{8, 2, '/'}, {3, 4, '*'}}), "3*(8/2)");
    EXPECT_EQ(infix({9, 5, 2}, {{9, 5, '+'}, {14, 2, '+'}}), "9+5+2");
    EXPECT_EQ(infix({9, 5, 2}, {{9, 5, '-'}, {4, 2, '-'}}), "9-5-2");
    EXPECT_EQ(infix({8, 2, 3}, {{8, 2, '/'}, {4, 3, '*'}}), "8/2*3");
    EXPECT_EQ(infix({7, 2, 3}, {{7, 2, '*'}, {14, 3, '+'}}), "7*2+3");
    EXPECT_EQ(infix({30, 7, 2}, {{7, 2, '*'}, {30, 14, '-'}}), "30-7*2");
    const PlateSet game = {100, 75, 50, 25, 10, 1};
    const std::vector<Step> chain = {
        {100, 75, '+'}, {175, 25, '+'}, {200, 50, '*'}, {10000, 10, '/'}, {1000, 1, '-'}};
    EXPECT_EQ(infix(game, chain), "(100+75+25)*50/10-1");
    EXPECT_EQ(written(game, chain, Notation::Rpn), "100 75 + 25 + 50 * 10 / 1 -");
    // A negative plate is parenthesized, a step's result of 0 leaves the calculation, and of
    // two equal values the first slot's is taken.
    EXPECT_EQ(infix({3, -5, 0, 0, 0, 0}, {{3, -5, '-'}}), "3-(-5)");
    EXPECT_EQ(written({3, -5, 0, 0, 0, 0}, {{3, -5, '-'}}, Notation::Rpn), "3 -5 -");
    EXPECT_EQ(infix({5, -5, 3, 4}, {{5, -5, '+'}, {3, 4, '+'}}), "3+4");
    EXPECT_EQ(infix({3, 1, 2}, {{1, 2, '+'}, {3, 3, '*'}}), "3*(1+2)");
}

}  // namespace
}  // namespace quorbelix
