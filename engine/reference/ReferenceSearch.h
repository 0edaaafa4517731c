#pragma once

#include <string>
#include <vector>

#include "PlateSet.h"

namespace quorbelix::reference {

// The search written the plain way: every level copies its plates, every candidate
// builds its whole text before the target test. Slow, and the yardstick of the engine.
// Like the engine, it skips an operation whose exact result does not fit in 32 bits.
std::vector<std::string> search(const PlateSet& plates, Target target);

}  // namespace quorbelix::reference
