#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <span>

#include "PlateSet.h"

namespace quorbelix::test {

// A draw for the tests: the first count slots taken at random from pool, the others empty.
inline PlateSet randomPlates(std::mt19937& random, std::span<const std::int32_t> pool, int count) {
    PlateSet plates{};
    for (int slot = 0; slot < count; ++slot) {
        plates[static_cast<std::size_t>(slot)] =
            pool[std::uniform_int_distribution<std::size_t>(0, pool.size() - 1)(random)];
    }
    return plates;
}

}  // namespace quorbelix::test
