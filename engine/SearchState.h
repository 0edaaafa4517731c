#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <type_traits>

#include "PlateSet.h"
#include "Step.h"

// The state of the search: the values left, the keys that name a state in the search's
// tables, the order in which a state's steps are tried, and the state a step leads to.
// Shared by the search and by the range counter, which must walk the same states in the
// same order.
namespace quorbelix::solver {

constexpr int kSlots = 6;
// Per call: two commutative steps per unordered pair, two others per ordered pair.
constexpr int kMaxCandidates = 2 * (kSlots * (kSlots - 1) / 2) + 2 * kSlots * (kSlots - 1);

using Values = std::array<std::int32_t, kSlots>;
// Up to five values padded with zeros; a state's values are never 0, so the padding also
// tells how many values the key holds.
using Key = std::array<std::int32_t, kSlots - 1>;

// 2^64 divided by the golden ratio: multiplying by it spreads keys over a table's slots
// (Fibonacci hashing).
constexpr std::uint64_t kHashMultiplier = 0x9E3779B97F4A7C15ULL;

// The non-zero plates in slot order, and how many there are.
struct StartState {
    Values values{};
    int count = 0;
};

inline StartState startStateOf(const PlateSet& plates) {
    StartState state;
    for (const std::int32_t plate : plates) {
        if (plate != 0) {
            state.values[state.count++] = plate;
        }
    }
    return state;
}

template <int Count>
Key keyOf(const Values& values) {
    Key key{};
    std::copy_n(values.begin(), Count, key.begin());
    return key;
}

// The same values in increasing order: whether a state has solutions at all does not
// depend on the order of its values, only which solutions it lists and in what order.
// Sorted by odd-even transposition, whose compare-exchanges need no branch: the values
// come in no predictable order.
template <int Count>
Key sortedKeyOf(const Values& values) {
    Key key = keyOf<Count>(values);
    for (int pass = 0; pass < Count; ++pass) {
        for (int i = pass % 2; i + 1 < Count; i += 2) {
            const std::int32_t low = std::min(key[i], key[i + 1]);
            key[i + 1] = std::max(key[i], key[i + 1]);
            key[i] = low;
        }
    }
    return key;
}

// Calls tryStep(i, j, op) for each step on slots i and j in search order, until it
// returns true: for each left slot, the commutative steps with the slots after it, then
// the others with every other slot.
template <int Count, typename TryStep>
void forEachStep(TryStep tryStep) {
    for (int i = 0; i < Count; ++i) {
        for (int j = i + 1; j < Count; ++j) {
            if (tryStep(i, j, '+') || tryStep(i, j, '*')) {
                return;
            }
        }
        for (int j = 0; j < Count; ++j) {
            if (j != i && (tryStep(i, j, '-') || tryStep(i, j, '/'))) {
                return;
            }
        }
    }
}

// The steps on the last two values x and y, in search order: forEachStep<2> written out.
inline std::array<Step, 6> pairSteps(std::int32_t x, std::int32_t y) {
    return {{{x, y, '+'}, {x, y, '*'}, {x, y, '-'}, {x, y, '/'}, {y, x, '-'}, {y, x, '/'}}};
}

// The values after the step on slots i and j gave result: the result takes the left
// operand's slot, the right one's slot empties, and a result of 0 empties its slot too.
template <int Count>
Values childOf(const Values& values, int i, int j, std::int32_t result) {
    Values child{};
    int next = 0;
    for (int slot = 0; slot < Count; ++slot) {
        if (slot != j && (slot != i || result != 0)) {
            child[next++] = slot == i ? result : values[slot];
        }
    }
    return child;
}

// search(std::integral_constant<int, N>{}) for count values, 2 to 6, so that the loops
// over slots unroll; none for any other count.
template <typename Result, typename Search>
Result searchByCount(int count, Result none, Search search) {
    switch (count) {
        case 6:
            return search(std::integral_constant<int, 6>{});
        case 5:
            return search(std::integral_constant<int, 5>{});
        case 4:
            return search(std::integral_constant<int, 4>{});
        case 3:
            return search(std::integral_constant<int, 3>{});
        case 2:
            return search(std::integral_constant<int, 2>{});
        default:
            return none;
    }
}

}  // namespace quorbelix::solver
