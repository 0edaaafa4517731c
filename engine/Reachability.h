#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

#include "PlateSet.h"
#include "SearchState.h"

// Cheap tests of whether a state of the search can reach the target, run before the state
// is explored. They all keep one rule: a test may call a state live that has no solution,
// which costs the search an exploration that finds nothing, but it never calls a state
// dead that has one, which would lose solutions. A test called exact also never calls a
// dead state live.
namespace quorbelix::solver {

// With positive values only, every result is positive and at most the product of
// max(v, 2) over the values: no target outside 1 to that bound can be reached. True when
// no target from first to last can be.
template <int Count>
bool outOfReach(const Values& values, Target first, Target last) {
    constexpr std::int64_t kCap = std::int64_t{1} << 31;
    bool positive = true;
    std::int64_t bound = 1;
    for (int slot = 0; slot < Count; ++slot) {
        positive &= values[slot] > 0;
        bound = std::min(bound * std::max(values[slot], 2), kCap);
    }
    return positive && (last <= 0 || bound < first);
}

// Whether one step on x and y hits the target, without branches: exact, and cheaper than
// finding which step hits first.
inline bool anyPairHit(std::int32_t x, std::int32_t y, Target target) {
    const std::int64_t a = x;
    const std::int64_t b = y;
    const std::int64_t t = target;
    return (a + b == t) | (a * b == t) | ((b < a) & (a - b == t)) | ((a < b) & (b - a == t)) |
           (b * t == a) | (a * t == b);
}

// Whether a step on 0 < a <= b gives the target, or a result r that one step with c takes
// to it: r is t - c, t + c, c - t or c * t, or r * c is t, or r * t is c. A result beyond
// 32 bits is no candidate and becomes 0, which leaves c alone; the tests may pass where the
// order rules would refuse the step, or for a result of 0, a false alarm only. Without a
// branch. Kept out of line: inlined three times into each caller, it makes the search's
// hot loops larger and slower.
[[gnu::noinline]] inline bool positivePairReaches(std::int64_t a, std::int64_t b, std::int64_t c,
                                                  Target target) {
    const std::int64_t t = target;
    const std::int64_t tMinusC = t - c;
    const std::int64_t tPlusC = t + c;
    const std::int64_t cMinusT = c - t;
    const std::int64_t cTimesT = c * t;
    bool found = false;
    for (const std::int64_t result : {a + b, a * b, b - a, b % a == 0 ? b / a : 0}) {
        const std::int64_t r = result <= std::numeric_limits<Target>::max() ? result : 0;
        found |= (r == t) | (r == tMinusC) | (r == tPlusC) | (r == cMinusT) | (r == cTimesT) |
                 (r * c == t) | (r * t == c);
    }
    return found;
}

// Whether one or two steps on 0 < x <= y <= z can hit the target: the smaller operand of
// each pair is known, and so is the only quotient to try.
inline bool positiveTripleReaches(std::int64_t x, std::int64_t y, std::int64_t z, Target target) {
    return positivePairReaches(x, y, z, target) | positivePairReaches(x, z, y, target) |
           positivePairReaches(y, z, x, target);
}

// Whether a step on a and b gives the target, or a result that one step with c takes to
// it, for any non-zero values. Results in 64 bits, tested without the search's order
// rules, which can only add false alarms. Out of line, as positivePairReaches.
[[gnu::noinline]] inline bool pairReaches(std::int32_t a, std::int32_t b, std::int32_t c,
                                          Target target) {
    constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::min();
    const auto magnitude = [](std::int32_t value) {
        return value < 0 ? 0U - static_cast<std::uint32_t>(value)
                         : static_cast<std::uint32_t>(value);
    };
    // a / b when exact, tried only when |a| >= |b|; 32-bit division is much faster.
    const auto quotient = [&](std::int32_t dividend, std::int32_t divisor) {
        if (divisor == -1) {
            return -std::int64_t{dividend};
        }
        return magnitude(dividend) >= magnitude(divisor) && dividend % divisor == 0
                   ? std::int64_t{dividend / divisor}
                   : kNone;
    };
    const std::int64_t left = a;
    const std::int64_t right = b;
    const std::array<std::int64_t, 5> results = {
        left + right,   left * right,   a > b ? left - right : a < b ? right - left : kNone,
        quotient(a, b), quotient(b, a),
    };
    bool found = false;
    for (const std::int64_t result : results) {
        // A result outside 32 bits is no candidate; a result of 0 leaves c alone.
        const bool usable = result != 0 && result >= std::numeric_limits<Target>::min() &&
                            result <= std::numeric_limits<Target>::max();
        found |= (result == target) |
                 (usable & anyPairHit(usable ? static_cast<std::int32_t>(result) : 1, c, target));
    }
    return found;
}

// Whether one or two steps on any three non-zero values can hit the target.
inline bool tripleReaches(std::int32_t x, std::int32_t y, std::int32_t z, Target target) {
    return pairReaches(x, y, z, target) || pairReaches(x, z, y, target) ||
           pairReaches(y, z, x, target);
}

// Whether four positive values in increasing order have a step that hits the target or
// leaves three values that may reach it, by sortedTripleTest(triple in increasing order):
// the step's children in any order, each step on a pair once, which costs much less than
// exploring the state; most such states have no solution, and a state that has one is
// usually found out after a few steps. Equal values never subtract, so no step of
// positive values gives 0. Exact when the triple test is.
template <typename SortedTripleTest>
bool positiveQuadReaches(const Key& sorted, Target target, SortedTripleTest sortedTripleTest) {
    constexpr std::array<std::array<int, 4>, 6> kSplits = {
        {{0, 1, 2, 3}, {0, 2, 1, 3}, {0, 3, 1, 2}, {1, 2, 0, 3}, {1, 3, 0, 2}, {2, 3, 0, 1}}};
    for (const auto& split : kSplits) {
        const std::int64_t a = sorted[split[0]];
        const std::int64_t b = sorted[split[1]];
        const std::int32_t low = sorted[split[2]];
        const std::int32_t high = sorted[split[3]];
        for (const std::int64_t result : {a + b, a * b, b - a, b % a == 0 ? b / a : 0}) {
            if (result <= 0 || result > std::numeric_limits<Target>::max()) {
                continue;
            }
            const auto r = static_cast<std::int32_t>(result);
            if (r == target ||
                sortedTripleTest(std::array<std::int32_t, 3>{
                    std::min(r, low), std::max(std::min(r, high), low), std::max(r, high)})) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace quorbelix::solver
