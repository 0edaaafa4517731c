#pragma once

#include <optional>

#include "PlateSet.h"

namespace quorbelix {

// The results of the search's steps closest to a target that none reaches: the one below
// and the one above when they are as close, otherwise only the closer one; neither when
// the plates allow no step.
struct NearestValues {
    std::optional<Target> below;
    std::optional<Target> above;
};

// Over every step of every chain of the non-zero plates, as the search makes them when it
// never hits the target; the walk stops early when it finds both neighbours of the target.
// target must be reached by no step.
NearestValues FindNearest(const PlateSet& plates, Target target);

}  // namespace quorbelix
