#pragma once

#include <cstddef>
#include <vector>

#include "PlateSet.h"
#include "SolutionList.h"

namespace quorbelix {

// Exhaustive search over + * - / of the non-zero plates; appends one text per chain of
// steps whose last result equals target, in search order (the caller clears the list).
// An operation whose exact result does not fit in 32 bits is never a candidate.
void Search(const PlateSet& plates, Target target, SolutionList& solutions);

// The number of solutions Search lists for each target from first to last (first <= last),
// found in one pass over the search's states (RangeCounter.cpp): much faster than a search
// per target. Its memory grows with the length of the range.
std::vector<std::size_t> CountSolutions(const PlateSet& plates, Target first, Target last);

}  // namespace quorbelix
