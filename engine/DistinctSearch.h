#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

#include "Expression.h"
#include "PlateSet.h"

namespace quorbelix {

// One calculation that SearchDistinct lists.
struct DistinctCalculation {
    Target value = 0;
    int steps = 0;
    std::string_view text;
};

// Every calculation of the non-zero plates with the search's step rules (subtraction only
// of a smaller value, exact division, no result outside 32 bits or of 0), but without
// stopping at a hit, whose value is from first to last (first <= last). Each is listed
// once: two are the same when their normal forms are, where a run of additions and
// subtractions is the multiset of its added terms and that of its subtracted terms, a run
// of multiplications and divisions the multisets of its factors and of its divisors, and
// the leaves are plate values. A step that multiplies or divides by 1 is never made: the
// calculation without it is listed instead. Sorted by value, then fewest steps, then by
// infix text in byte order; written in notation, Infix or Rpn. Calls visit with each in
// order, until visit returns false; false then. A text lasts until visit returns.
bool SearchDistinct(const PlateSet& plates, Target first, Target last, Notation notation,
                    const std::function<bool(const DistinctCalculation&)>& visit);

struct DistinctCount {
    Target value = 0;
    std::size_t count = 0;
};

// The number of calculations SearchDistinct lists for each target from first to last that
// has any, in increasing order of target: as many entries as values reached, however long
// the range.
std::vector<DistinctCount> CountDistinct(const PlateSet& plates, Target first, Target last);

}  // namespace quorbelix
