#pragma once

#include "Solver.h"

namespace quorbelix::bench {

// One draw the benchmarks solve: six plates and a target.
struct Draw {
    PlateSet plates;
    Target target;
};

}  // namespace quorbelix::bench
