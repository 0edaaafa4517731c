#pragma once

#include <array>
#include <cstdint>

namespace quorbelix {

// Six plate values in slot order; 0 marks an empty slot.
using PlateSet = std::array<std::int32_t, 6>;
using Target = std::int32_t;

}  // namespace quorbelix
