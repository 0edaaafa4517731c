#include "DistinctSearch.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <limits>
#include <tuple>
#include <utility>

namespace quorbelix {

namespace {

constexpr int kMaxLeaves = 6;
constexpr std::uint64_t kHashMultiplier = 0x9E3779B97F4A7C15ULL;

using FormId = std::uint32_t;

enum Kind : std::uint8_t { kLeaf, kSum, kProduct };

// A normal form: a plate value, or a run of one level's operations as the multiset of
// its positive members (terms added, factors) and that of its negative ones (terms
// subtracted, divisors). No member of a sum is a sum, none of a product a product. Forms
// are kept unique, so that two members are the same when their ids are, and members are
// kept in increasing id order, so that two forms are the same when their fields are.
struct Form {
    std::int32_t value = 0;
    Kind kind = kLeaf;
    std::uint8_t positives = 0;
    std::uint8_t negatives = 0;
    std::uint8_t leaves = 1;
    std::array<FormId, kMaxLeaves> members{};

    bool operator==(const Form&) const = default;
};

// Insertion sort: a form has at most six members, too few for std::sort to pay.
template <typename Less>
void sortMembers(FormId* first, FormId* last, Less less) {
    for (FormId* next = first; next != last; ++next) {
        const FormId member = *next;
        FormId* hole = next;
        for (; hole != first && less(member, hole[-1]); --hole) {
            *hole = hole[-1];
        }
        *hole = member;
    }
}

std::uint64_t hashOf(const Form& form) {
    std::uint64_t hash = static_cast<std::uint32_t>(form.value) ^ std::uint64_t{form.kind} << 32 ^
                         std::uint64_t{form.positives} << 40;
    for (int member = 0; member < form.positives + form.negatives; ++member) {
        hash = (hash ^ form.members[static_cast<std::size_t>(member)]) * kHashMultiplier;
    }
    return hash ^ (hash >> 29);
}

// The distinct forms of every sub-multiset of the plates, built from the smaller ones, and
// those whose value is in the range.
class Builder {
public:
    Builder(const PlateSet& plates, Target first, Target last) : first_(first), last_(last) {
        for (const std::int32_t plate : plates) {
            if (plate != 0) {
                values_[static_cast<std::size_t>(count_++)] = plate;
            }
        }
        std::sort(values_.begin(), values_.begin() + count_);
        slots_.assign(1024, kFree);
    }

    void run() {
        if (count_ == 0) {
            return;
        }
        const unsigned full = (1U << count_) - 1;
        for (int size = 1; size <= count_; ++size) {
            for (unsigned mask = 1; mask <= full; ++mask) {
                if (std::popcount(mask) == size && canonical(mask) == mask) {
                    build(mask, mask == full);
                }
            }
        }
    }

    const std::vector<FormId>& hits() const { return hits_; }
    const Form& form(FormId id) const { return forms_[id]; }

    // Writes the form at out and returns its end: members by decreasing value (ties in
    // the order they were found), the positive ones first, so that each operation is
    // exact and a sum's terms are added before any is subtracted.
    char* write(FormId id, Notation notation, char* out) const {
        const Form& form = forms_[id];
        if (form.kind == kLeaf) {
            const bool parenthesized = notation == Notation::Infix && form.value < 0;
            if (parenthesized) {
                *out++ = '(';
            }
            out = std::to_chars(out, out + 11, form.value).ptr;
            if (parenthesized) {
                *out++ = ')';
            }
            return out;
        }
        std::array<FormId, kMaxLeaves> members = form.members;
        const auto byValue = [&](FormId a, FormId b) {
            return std::pair(forms_[b].value, a) < std::pair(forms_[a].value, b);
        };
        FormId* middle = members.data() + form.positives;
        sortMembers(members.data(), middle, byValue);
        sortMembers(middle, middle + form.negatives, byValue);
        const char positive = form.kind == kSum ? '+' : '*';
        const char negative = form.kind == kSum ? '-' : '/';
        for (int index = 0; index < form.positives + form.negatives; ++index) {
            const FormId member = members[static_cast<std::size_t>(index)];
            const char op = index < form.positives ? positive : negative;
            if (notation == Notation::Rpn) {
                if (index > 0) {
                    *out++ = ' ';
                }
                out = write(member, notation, out);
                if (index > 0) {
                    *out++ = ' ';
                    *out++ = op;
                }
            } else {
                if (index > 0) {
                    *out++ = op;
                }
                const bool parenthesized = form.kind == kProduct && forms_[member].kind == kSum;
                if (parenthesized) {
                    *out++ = '(';
                }
                out = write(member, notation, out);
                if (parenthesized) {
                    *out++ = ')';
                }
            }
        }
        return out;
    }

private:
    static constexpr FormId kFree = std::numeric_limits<FormId>::max();

    // The mask that takes, of each run of equal values, as many as mask takes, from the
    // run's start: sub-multisets are built once, whichever equal plates they take.
    unsigned canonical(unsigned mask) const {
        unsigned result = 0;
        for (int start = 0; start < count_;) {
            int end = start;
            int taken = 0;
            while (end < count_ && values_[static_cast<std::size_t>(end)] ==
                                       values_[static_cast<std::size_t>(start)]) {
                taken += (mask >> end) & 1U;
                ++end;
            }
            result |= ((1U << taken) - 1) << start;
            start = end;
        }
        return result;
    }

    void build(unsigned mask, bool top) {
        if (std::popcount(mask) == 1) {
            Form leaf;
            leaf.value = values_[static_cast<std::size_t>(std::countr_zero(mask))];
            add(leaf, mask, top);
            return;
        }
        // Each split into two sub-multisets once.
        std::vector<std::pair<unsigned, unsigned>> splits;
        for (unsigned part = (mask - 1) & mask; part != 0; part = (part - 1) & mask) {
            unsigned a = canonical(part);
            unsigned b = canonical(mask ^ part);
            if (b < a) {
                std::swap(a, b);
            }
            if (std::find(splits.begin(), splits.end(), std::pair(a, b)) == splits.end()) {
                splits.emplace_back(a, b);
            }
        }
        for (const auto& [a, b] : splits) {
            const std::vector<FormId>& left = lists_[a];
            const std::vector<FormId>& right = lists_[b];
            for (std::size_t i = 0; i < left.size(); ++i) {
                for (std::size_t j = a == b ? i : 0; j < right.size(); ++j) {
                    combine(left[i], right[j], mask, top);
                }
            }
        }
    }

    // Every step on x and y, either way round.
    void combine(FormId x, FormId y, unsigned mask, bool top) {
        const std::int64_t a = forms_[x].value;
        const std::int64_t b = forms_[y].value;
        step(x, y, kSum, false, a + b, mask, top);
        if (a != 1 && b != 1) {
            step(x, y, kProduct, false, a * b, mask, top);
        }
        if (b < a) {
            step(x, y, kSum, true, a - b, mask, top);
        } else if (a < b) {
            step(y, x, kSum, true, b - a, mask, top);
        }
        if (b != 1 && a % b == 0) {
            step(x, y, kProduct, true, a / b, mask, top);
        }
        if (a != 1 && b % a == 0) {
            step(y, x, kProduct, true, b / a, mask, top);
        }
    }

    // The form of x op y, op of kind, inverse for - and /, whose value is value.
    void step(FormId x, FormId y, Kind kind, bool inverse, std::int64_t value, unsigned mask,
              bool top) {
        if (value == 0 || value < std::numeric_limits<std::int32_t>::min() ||
            value > std::numeric_limits<std::int32_t>::max()) {
            return;
        }
        if (top && (value < first_ || value > last_)) {
            return;
        }
        Form form;
        form.value = static_cast<std::int32_t>(value);
        form.kind = kind;
        form.leaves = static_cast<std::uint8_t>(forms_[x].leaves + forms_[y].leaves);
        std::array<FormId, kMaxLeaves> negatives{};
        const auto take = [&](FormId id, bool negative) {
            const Form& member = forms_[id];
            if (member.kind != kind) {
                if (negative) {
                    negatives[form.negatives++] = id;
                } else {
                    form.members[form.positives++] = id;
                }
                return;
            }
            for (int index = 0; index < member.positives + member.negatives; ++index) {
                const FormId inner = member.members[static_cast<std::size_t>(index)];
                if ((index >= member.positives) != negative) {
                    negatives[form.negatives++] = inner;
                } else {
                    form.members[form.positives++] = inner;
                }
            }
        };
        take(x, false);
        take(y, inverse);
        const auto increasing = [](FormId a, FormId b) { return a < b; };
        FormId* middle = form.members.data() + form.positives;
        sortMembers(form.members.data(), middle, increasing);
        sortMembers(negatives.data(), negatives.data() + form.negatives, increasing);
        std::copy_n(negatives.begin(), form.negatives, middle);
        add(form, mask, top);
    }

    void add(const Form& form, unsigned mask, bool top) {
        if (2 * (forms_.size() + 1) > slots_.size()) {
            slots_.assign(2 * slots_.size(), kFree);
            for (FormId id = 0; id < forms_.size(); ++id) {
                slots_[freeSlot(forms_[id])] = id;
            }
        }
        const std::size_t slot = freeSlot(form);
        if (slots_[slot] != kFree) {
            return;
        }
        const auto id = static_cast<FormId>(forms_.size());
        slots_[slot] = id;
        forms_.push_back(form);
        if (!top) {
            lists_[mask].push_back(id);
        }
        // A plate alone is no calculation: it takes no step.
        if (form.kind != kLeaf && form.value >= first_ && form.value <= last_) {
            hits_.push_back(id);
        }
    }

    // The slot that holds form, or the free slot where it belongs.
    std::size_t freeSlot(const Form& form) const {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t slot = hashOf(form) & mask;; slot = (slot + 1) & mask) {
            if (slots_[slot] == kFree || forms_[slots_[slot]] == form) {
                return slot;
            }
        }
    }

    Target first_;
    Target last_;
    std::array<std::int32_t, kMaxLeaves> values_{};
    int count_ = 0;
    std::vector<Form> forms_;
    std::vector<FormId> slots_;
    std::array<std::vector<FormId>, 1U << kMaxLeaves> lists_;
    std::vector<FormId> hits_;
};

}  // namespace

std::vector<DistinctCalculation> SearchDistinct(const PlateSet& plates, Target first, Target last,
                                                Notation notation) {
    Builder builder(plates, first, last);
    builder.run();
    struct Sorted {
        Target value;
        int steps;
        std::string infix;
        FormId id;
    };
    std::vector<Sorted> sorted;
    sorted.reserve(builder.hits().size());
    std::array<char, kMaxExpressionSize> buffer;
    for (const FormId id : builder.hits()) {
        const Form& form = builder.form(id);
        char* end = builder.write(id, Notation::Infix, buffer.data());
        sorted.push_back({form.value, form.leaves - 1, std::string(buffer.data(), end), id});
    }
    std::sort(sorted.begin(), sorted.end(), [](const Sorted& a, const Sorted& b) {
        return std::tie(a.value, a.steps, a.infix) < std::tie(b.value, b.steps, b.infix);
    });
    std::vector<DistinctCalculation> calculations;
    calculations.reserve(sorted.size());
    for (Sorted& entry : sorted) {
        if (notation == Notation::Rpn) {
            char* end = builder.write(entry.id, Notation::Rpn, buffer.data());
            entry.infix.assign(buffer.data(), end);
        }
        calculations.push_back({entry.value, entry.steps, std::move(entry.infix)});
    }
    return calculations;
}

std::vector<DistinctCount> CountDistinct(const PlateSet& plates, Target first, Target last) {
    Builder builder(plates, first, last);
    builder.run();
    std::vector<Target> values;
    values.reserve(builder.hits().size());
    for (const FormId id : builder.hits()) {
        values.push_back(builder.form(id).value);
    }
    std::sort(values.begin(), values.end());
    std::vector<DistinctCount> counts;
    for (const Target value : values) {
        if (counts.empty() || counts.back().value != value) {
            counts.push_back({value, 0});
        }
        ++counts.back().count;
    }
    return counts;
}

}  // namespace quorbelix
