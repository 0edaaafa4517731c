#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "SearchState.h"

namespace quorbelix::solver {

// Open-addressing hash table from keys to values. Its slots hold a tag from the key's
// hash and the index of the key's item, and the items lie end to end in the order they
// came: most misses are decided within the small slot array, and a search touches few
// pages, each of which costs a page fault the first time, dear in a short process. The
// entries belong to one search at a time: a new search moves to the next generation
// instead of clearing the slots, so the memory they have grown to stays allocated, and
// faulted in, from one search to the next.
template <typename Value>
class KeyTable {
public:
    static constexpr std::size_t kInitialSlots = 512;

    KeyTable() : slots_(kInitialSlots) { items_.reserve(kInitialSlots / 2); }

    // Empties the table for a new search. Slots of older generations count as free; when
    // the 16-bit generation comes round, every slot is cleared, so that none left from
    // 65 535 searches earlier passes for a current one.
    void startSearch() {
        items_.clear();
        if (++generation_ == 0) {
            std::fill(slots_.begin(), slots_.end(), Slot{});
            generation_ = 1;
        }
    }

    const Value* find(const Key& key) const {
        const std::uint64_t hash = hashOf(key);
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t index = hash & mask;; index = (index + 1) & mask) {
            const Slot slot = slots_[index];
            if (slot.generation != generation_) {
                return nullptr;
            }
            if (slot.tag == tagOf(hash) && sameKey(items_[slot.item].key, key)) {
                return &items_[slot.item].value;
            }
        }
    }

    // key must not be in the table yet. The slots stay at most half full.
    void insert(const Key& key, Value value) {
        if (2 * (items_.size() + 1) > slots_.size()) {
            slots_.assign(2 * slots_.size(), Slot{});
            for (std::size_t item = 0; item < items_.size(); ++item) {
                place(hashOf(items_[item].key), item);
            }
        }
        items_.push_back({key, value});
        place(hashOf(key), items_.size() - 1);
    }

private:
    struct Slot {
        std::uint16_t generation = 0;
        std::uint16_t tag = 0;
        std::uint32_t item = 0;
    };

    struct Item {
        Key key;
        Value value;
    };

    static std::uint64_t hashOf(const Key& key) {
        std::uint64_t hash = 0;
        for (const std::int32_t value : key) {
            hash = (hash ^ static_cast<std::uint32_t>(value)) * kHashMultiplier;
        }
        return hash ^ (hash >> 32);
    }

    // Bits of the hash that the slot index does not use.
    static std::uint16_t tagOf(std::uint64_t hash) {
        return static_cast<std::uint16_t>(hash >> 48);
    }

    // Element by element: std::array's operator== calls memcmp on this hot path.
    static bool sameKey(const Key& a, const Key& b) {
        bool same = true;
        for (std::size_t index = 0; index < a.size(); ++index) {
            same &= a[index] == b[index];
        }
        return same;
    }

    void place(std::uint64_t hash, std::size_t item) {
        const std::size_t mask = slots_.size() - 1;
        std::size_t index = hash & mask;
        while (slots_[index].generation == generation_) {
            index = (index + 1) & mask;
        }
        slots_[index] = {generation_, tagOf(hash), static_cast<std::uint32_t>(item)};
    }

    std::vector<Slot> slots_;
    std::vector<Item> items_;
    std::uint16_t generation_ = 1;
};

}  // namespace quorbelix::solver
