#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quorbelix {

// Texts of the six plate boxes in order, then of the target box.
using BoxTexts = std::array<std::string, 7>;

// New target text, and a plate for every box holding exactly "0"; seeded from the clock.
BoxTexts DrawNumbers(const BoxTexts& boxes);

// Same draw from a fixed seed, so that a draw can be repeated.
BoxTexts DrawNumbers(const BoxTexts& boxes, std::uint64_t seed);

}  // namespace quorbelix
