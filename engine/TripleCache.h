#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "SearchState.h"

namespace quorbelix::solver {

// Whether sorted triples of positive values below 2^20 reach the target, remembered in a
// direct-mapped cache of the triples packed into 64 bits: a colliding triple replaces the
// one before it, which is cheaper than probing, and computing an answer again costs
// little. Other triples, rare, are computed each time.
class TripleCache {
public:
    using Triple = std::array<std::int32_t, 3>;

    // Forgets every answer, for a search of another target; free after a search that
    // cached nothing.
    void startSearch() {
        if (used_) {
            std::fill(entries_.begin(), entries_.end(), 0);
            used_ = false;
        }
    }

    // compute(triple)'s answer, from the cache when the triple is there.
    template <typename Compute>
    bool reaches(const Triple& triple, Compute compute) {
        if (triple[0] <= 0 || triple[2] >= kLimit) {
            return compute(triple);
        }
        used_ = true;
        const std::uint64_t key = static_cast<std::uint64_t>(triple[0]) << 40 |
                                  static_cast<std::uint64_t>(triple[1]) << 20 |
                                  static_cast<std::uint64_t>(triple[2]);
        // A zero entry is free: no key is 0.
        std::uint64_t& entry = entries_[(key * kHashMultiplier) >> (64 - kBits)];
        if ((entry >> 1) != key) {
            entry = key << 1 | static_cast<std::uint64_t>(compute(triple));
        }
        return (entry & 1) != 0;
    }

    // Triples whose largest value is this or more are never cached.
    static constexpr std::int32_t kLimit = 1 << 20;

private:
    static constexpr int kBits = 13;

    std::vector<std::uint64_t> entries_ = std::vector<std::uint64_t>(std::size_t{1} << kBits);
    bool used_ = false;
};

}  // namespace quorbelix::solver
