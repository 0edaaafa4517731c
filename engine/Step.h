#pragma once

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>

#include "PlateSet.h"

namespace quorbelix {

// One operation "left op right" of a chain.
struct Step {
    std::int32_t left = 0;
    std::int32_t right = 0;
    char op = '\0';  // '+', '*', '-' or '/'; '\0' for no step
};

// The exact result; 64 bits hold any of them, -2147483648 / -1 included.
inline std::int64_t exactResult(const Step& step) {
    const std::int64_t left = step.left;
    const std::int64_t right = step.right;
    switch (step.op) {
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

// Whether divisor divides dividend, both non-zero and in 32 bits. A division costs as much as
// several other steps together: a dividend smaller in magnitude settles it without one, and
// the 32-bit division is much faster than the 64-bit one.
inline bool divides(std::int64_t divisor, std::int64_t dividend) {
    if (std::abs(dividend) < std::abs(divisor)) {
        return false;
    }
    // -2^31 % -1 would trap.
    return divisor == -1 ||
           static_cast<std::int32_t>(dividend) % static_cast<std::int32_t>(divisor) == 0;
}

// The result of a step that the search tries: subtraction only when right < left,
// division only when exact, and never a result outside the 32-bit range.
inline std::optional<std::int32_t> candidateResult(const Step& step) {
    if (step.op == '-' && !(step.right < step.left)) {
        return std::nullopt;
    }
    if (step.op == '/') {
        // x / -1 is -x, which only -2147483648 cannot give; any other quotient fits, and
        // the 32-bit division is then safe and faster than a 64-bit one.
        if (step.right == -1) {
            if (step.left == std::numeric_limits<std::int32_t>::min()) {
                return std::nullopt;
            }
            return -step.left;
        }
        if (step.left % step.right != 0) {
            return std::nullopt;
        }
        return step.left / step.right;
    }
    const std::int64_t value = exactResult(step);
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

// Whether the step is a candidate whose result is target; exact results that equal a
// 32-bit target fit by themselves, and a division hits when right * target == left.
inline bool hitsTarget(const Step& step, Target target) {
    const std::int64_t left = step.left;
    const std::int64_t right = step.right;
    switch (step.op) {
        case '+':
            return left + right == target;
        case '*':
            return left * right == target;
        case '-':
            return right < left && left - right == target;
        default:
            return right * target == left;
    }
}

}  // namespace quorbelix
