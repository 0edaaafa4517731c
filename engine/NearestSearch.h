#pragma once

#include <optional>

#include "PlateSet.h"

namespace quorbelix {

// Whether some step of the search reaches a target and, when none does, the results closest
// to it: the one below and the one above when they are as close, otherwise only the closer
// one; neither when the plates allow no step.
struct NearestValues {
    bool reached = false;
    std::optional<Target> below;
    std::optional<Target> above;
};

// Over every step of every chain of the non-zero plates, as the search makes them when it
// never hits the target; stops early when a step reaches the target.
NearestValues FindNearest(const PlateSet& plates, Target target);

}  // namespace quorbelix
