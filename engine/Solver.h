#pragma once

#include "PlateSet.h"
#include "SolutionList.h"

namespace quorbelix {

// Exhaustive search over + * - / of the non-zero plates; appends one text per chain of
// steps whose last result equals target, in search order (the caller clears the list).
// An operation whose exact result does not fit in 32 bits is never a candidate.
void Search(const PlateSet& plates, Target target, SolutionList& solutions);

}  // namespace quorbelix
