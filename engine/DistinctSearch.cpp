#include "DistinctSearch.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "SearchState.h"
#include "Step.h"

namespace quorbelix {

namespace {

constexpr int kMaxLeaves = 6;
constexpr std::uint64_t kHashMultiplier = 0x9E3779B97F4A7C15ULL;

using FormId = std::uint32_t;
// No form: a free slot of the table, a form not built yet.
constexpr FormId kFree = std::numeric_limits<FormId>::max();

enum Kind : std::uint8_t { kLeaf, kSum, kProduct };

// A normal form: a plate value, or a run of one level's operations as the multiset of
// its positive members (terms added, factors) and that of its negative ones (terms
// subtracted, divisors). No member of a sum is a sum, none of a product a product. Forms
// are kept unique, so that two members are the same when their ids are, and members are
// kept in one order of their ids, so that two forms are the same when their fields are.
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
void sortKeys(std::uint64_t* first, std::uint64_t* last) {
    for (std::uint64_t* next = first; next != last; ++next) {
        const std::uint64_t key = *next;
        std::uint64_t* hole = next;
        for (; hole != first && key < hole[-1]; --hole) {
            *hole = hole[-1];
        }
        *hole = key;
    }
}

// The table's slot index takes the low bits, which a product mixes least: the last
// steps bring the high bits down.
std::uint64_t hashOf(const Form& form) {
    std::uint64_t hash = static_cast<std::uint32_t>(form.value) ^ std::uint64_t{form.kind} << 32 ^
                         std::uint64_t{form.positives} << 40;
    for (int member = 0; member < form.positives + form.negatives; ++member) {
        hash = (hash ^ form.members[static_cast<std::size_t>(member)]) * kHashMultiplier;
    }
    hash ^= hash >> 32;
    hash *= kHashMultiplier;
    return hash ^ (hash >> 29);
}

// The distinct forms of every sub-multiset of the plates, built from the smaller ones, and
// those whose value is in the range.
class Builder {
public:
    Builder(const PlateSet& plates, Target first, Target last)
        : first_(first), last_(last), start_(solver::startStateOf(plates)) {
        std::sort(start_.values.begin(), start_.values.begin() + start_.count);
        // Room for the forms of most single targets: growing costs a pass over every form,
        // but a short process pays for every page it touches.
        slots_.resize(std::size_t{1} << 13);
        forms_.reserve(std::size_t{1} << 14);
    }

    void run() {
        const unsigned full = (1U << start_.count) - 1;
        for (int size = 1; size <= start_.count; ++size) {
            for (unsigned mask = 1; mask <= full; ++mask) {
                if (std::popcount(mask) != size || canonical(mask) != mask) {
                    continue;
                }
                if (size == 1) {
                    Form leaf;
                    leaf.value = start_.values[static_cast<std::size_t>(std::countr_zero(mask))];
                    insert(leaf, mask);
                } else if (mask == full) {
                    buildWhole(mask);
                } else if (size == start_.count - 1) {
                    buildOnePlateShort(mask);
                } else {
                    build(mask);
                }
            }
        }
    }

    const std::vector<FormId>& hits() const { return hits_; }
    const Form& form(FormId id) const { return forms_[id]; }

    // Writes the form at out and returns its end: members in their order, by decreasing
    // value, the positive ones first, so that each division is exact and a sum's terms
    // are added before any is subtracted.
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
        const auto& members = form.members;
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
    // The mask that takes, of each run of equal values, as many as mask takes, from the
    // run's start: sub-multisets are built once, whichever equal plates they take.
    unsigned canonical(unsigned mask) const {
        unsigned result = 0;
        for (int start = 0; start < start_.count;) {
            int end = start;
            int taken = 0;
            while (end < start_.count && start_.values[static_cast<std::size_t>(end)] ==
                                             start_.values[static_cast<std::size_t>(start)]) {
                taken += (mask >> end) & 1U;
                ++end;
            }
            result |= ((1U << taken) - 1) << start;
            start = end;
        }
        return result;
    }

    // Each split of mask into two sub-multisets once, as pairs of canonical masks.
    std::vector<std::pair<unsigned, unsigned>> splitsOf(unsigned mask) const {
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
        return splits;
    }

    // Calls visit(x, y) for each pair of forms of the two sides of each split of mask whose
    // sides are both built, once per unordered pair when the sides are the same.
    template <typename Visit>
    void forEachPair(unsigned mask, Visit visit) const {
        for (const auto& [a, b] : splitsOf(mask)) {
            if (isOnePlateShort(a) || isOnePlateShort(b)) {
                continue;
            }
            const std::vector<FormId>& left = lists_[a];
            const std::vector<FormId>& right = lists_[b];
            for (std::size_t i = 0; i < left.size(); ++i) {
                for (std::size_t j = a == b ? i : 0; j < right.size(); ++j) {
                    visit(left[i], right[j]);
                }
            }
        }
    }

    // Such a set's forms are never kept: see buildOnePlateShort.
    bool isOnePlateShort(unsigned mask) const {
        return start_.count > 2 && std::popcount(mask) == start_.count - 1;
    }

    bool inRange(std::int64_t value) const { return value >= first_ && value <= last_; }

    void build(unsigned mask) {
        forEachPair(mask, [&](FormId x, FormId y) {
            combine(forms_[x].value, forms_[y].value,
                    [&](bool swapped, Kind kind, bool inverse, std::int64_t value) {
                        insert(formOf(swapped ? y : x, swapped ? x : y, kind, inverse, value),
                               mask);
                    });
        });
    }

    // The sets of one plate fewer than the draw serve only the whole draw's values, with
    // the plate left out, and the whole draw's hits are few: each step is combined with
    // that plate as it comes, duplicates and all, which costs much less than building and
    // keeping each form; a form is built for a hit only.
    void buildOnePlateShort(unsigned mask) {
        const FormId leaf = lists_[canonical(((1U << start_.count) - 1) ^ mask)].front();
        const std::int32_t plate = forms_[leaf].value;
        forEachPair(mask, [&](FormId x, FormId y) {
            combine(
                forms_[x].value, forms_[y].value,
                [&](bool swapped, Kind kind, bool inverse, std::int64_t value) {
                    const FormId left = swapped ? y : x;
                    const FormId right = swapped ? x : y;
                    FormId built = kFree;
                    const auto build = [&] {
                        if (built == kFree) {
                            built = insert(formOf(left, right, kind, inverse, value), 0);
                        }
                        return built;
                    };
                    if (inRange(value)) {
                        build();
                    }
                    combine(
                        value, plate,
                        [&](bool swappedLast, Kind lastKind, bool lastInverse, std::int64_t last) {
                            if (!inRange(last)) {
                                return;
                            }
                            const FormId step = build();
                            insert(formOf(swappedLast ? leaf : step, swappedLast ? step : leaf,
                                          lastKind, lastInverse, last),
                                   0);
                        });
                });
        });
    }

    // Only the hits: the whole draw's forms serve nothing else.
    void buildWhole(unsigned mask) {
        forEachPair(mask, [&](FormId x, FormId y) {
            combine(forms_[x].value, forms_[y].value,
                    [&](bool swapped, Kind kind, bool inverse, std::int64_t value) {
                        if (inRange(value)) {
                            insert(formOf(swapped ? y : x, swapped ? x : y, kind, inverse, value),
                                   0);
                        }
                    });
        });
    }

    // Calls emit(swapped, kind, inverse, value) for every step on a and b, either way
    // round, whose result may stand in a calculation: swapped when b is the left operand.
    template <typename Emit>
    static void combine(std::int64_t a, std::int64_t b, Emit emit) {
        const auto valid = [](std::int64_t value) {
            return value != 0 && value >= std::numeric_limits<std::int32_t>::min() &&
                   value <= std::numeric_limits<std::int32_t>::max();
        };
        const auto tryStep = [&](bool swapped, Kind kind, bool inverse, std::int64_t value) {
            if (valid(value)) {
                emit(swapped, kind, inverse, value);
            }
        };
        tryStep(false, kSum, false, a + b);
        if (a != 1 && b != 1) {
            tryStep(false, kProduct, false, a * b);
        }
        if (b < a) {
            tryStep(false, kSum, true, a - b);
        } else if (a < b) {
            tryStep(true, kSum, true, b - a);
        }
        if (b != 1 && divides(b, a)) {
            tryStep(false, kProduct, true, a / b);
        }
        if (a != 1 && divides(a, b)) {
            tryStep(true, kProduct, true, b / a);
        }
    }

    // The form of x op y, op of kind, inverse for - and /, whose value is value.
    Form formOf(FormId x, FormId y, Kind kind, bool inverse, std::int64_t value) const {
        Form form;
        form.value = static_cast<std::int32_t>(value);
        form.kind = kind;
        form.leaves = static_cast<std::uint8_t>(forms_[x].leaves + forms_[y].leaves);
        // Members in increasing order of keys that put decreasing values first, then
        // increasing ids: an order of the ids alone, so that equal forms have equal fields,
        // and the order they are written in.
        std::array<std::uint64_t, kMaxLeaves> positives;
        std::array<std::uint64_t, kMaxLeaves> negatives;
        const auto keyOf = [&](FormId id) {
            const auto rank = static_cast<std::uint64_t>(
                std::int64_t{std::numeric_limits<std::int32_t>::max()} - forms_[id].value);
            return rank << 32 | id;
        };
        const auto take = [&](FormId id, bool negative) {
            const Form& member = forms_[id];
            if (member.kind != kind) {
                if (negative) {
                    negatives[form.negatives++] = keyOf(id);
                } else {
                    positives[form.positives++] = keyOf(id);
                }
                return;
            }
            for (int index = 0; index < member.positives + member.negatives; ++index) {
                const FormId inner = member.members[static_cast<std::size_t>(index)];
                if ((index >= member.positives) != negative) {
                    negatives[form.negatives++] = keyOf(inner);
                } else {
                    positives[form.positives++] = keyOf(inner);
                }
            }
        };
        take(x, false);
        take(y, inverse);
        sortKeys(positives.data(), positives.data() + form.positives);
        sortKeys(negatives.data(), negatives.data() + form.negatives);
        for (int index = 0; index < form.positives; ++index) {
            form.members[static_cast<std::size_t>(index)] =
                static_cast<FormId>(positives[static_cast<std::size_t>(index)]);
        }
        for (int index = 0; index < form.negatives; ++index) {
            form.members[static_cast<std::size_t>(form.positives + index)] =
                static_cast<FormId>(negatives[static_cast<std::size_t>(index)]);
        }
        return form;
    }

    // The id of form, added when new: to the list of mask unless mask is 0, and to the hits
    // when its value is in the range.
    FormId insert(const Form& form, unsigned mask) {
        if (2 * (forms_.size() + 1) > slots_.size()) {
            slots_.assign(2 * slots_.size(), Slot{});
            for (FormId id = 0; id < forms_.size(); ++id) {
                const std::uint64_t hash = hashOf(forms_[id]);
                slots_[find(forms_[id], hash)] = {static_cast<std::uint32_t>(hash >> 32), id};
            }
        }
        const std::uint64_t hash = hashOf(form);
        const std::size_t slot = find(form, hash);
        if (slots_[slot].id != kFree) {
            return slots_[slot].id;
        }
        const auto id = static_cast<FormId>(forms_.size());
        slots_[slot] = {static_cast<std::uint32_t>(hash >> 32), id};
        forms_.push_back(form);
        if (mask != 0) {
            lists_[mask].push_back(id);
        }
        // A plate alone is no calculation: it takes no step.
        if (form.kind != kLeaf && inRange(form.value)) {
            hits_.push_back(id);
        }
        return id;
    }

    // The slot that holds form, or the free slot where it belongs. A slot keeps high bits
    // of its form's hash, which settle most mismatches without reading the form.
    std::size_t find(const Form& form, std::uint64_t hash) const {
        const std::size_t mask = slots_.size() - 1;
        const auto tag = static_cast<std::uint32_t>(hash >> 32);
        for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
            const Slot entry = slots_[slot];
            if (entry.id == kFree || (entry.tag == tag && forms_[entry.id] == form)) {
                return slot;
            }
        }
    }

    Target first_;
    Target last_;
    // The non-zero plates, sorted by the constructor.
    solver::StartState start_;
    std::vector<Form> forms_;
    struct Slot {
        std::uint32_t tag = 0;
        FormId id = kFree;
    };
    std::vector<Slot> slots_;
    std::array<std::vector<FormId>, 1U << kMaxLeaves> lists_;
    std::vector<FormId> hits_;
};

}  // namespace

bool SearchDistinct(const PlateSet& plates, Target first, Target last, Notation notation,
                    const std::function<bool(const DistinctCalculation&)>& visit) {
    Builder builder(plates, first, last);
    builder.run();
    // The infix texts end to end, and keys that sort them: the value, the steps and the
    // first three characters in one number settle most comparisons without the texts.
    struct Sorted {
        std::uint64_t key;
        std::uint32_t begin;
        std::uint32_t size;
        FormId id;
    };
    std::vector<Sorted> sorted;
    sorted.reserve(builder.hits().size());
    std::string texts;
    std::array<char, kMaxExpressionSize> buffer;
    for (const FormId id : builder.hits()) {
        const Form& form = builder.form(id);
        const char* end = builder.write(id, Notation::Infix, buffer.data());
        const auto size = static_cast<std::size_t>(end - buffer.data());
        std::uint64_t key = static_cast<std::uint64_t>(std::int64_t{form.value} - first) << 3 |
                            static_cast<std::uint64_t>(form.leaves - 1);
        for (std::size_t index = 0; index < 3; ++index) {
            key = key << 8 | (index < size ? static_cast<unsigned char>(buffer[index]) : 0U);
        }
        sorted.push_back(
            {key, static_cast<std::uint32_t>(texts.size()), static_cast<std::uint32_t>(size), id});
        texts.append(buffer.data(), size);
    }
    const auto textOf = [&](const Sorted& entry) {
        return std::string_view(texts).substr(entry.begin, entry.size);
    };
    std::sort(sorted.begin(), sorted.end(), [&](const Sorted& a, const Sorted& b) {
        return a.key != b.key ? a.key < b.key : textOf(a) < textOf(b);
    });
    for (const Sorted& entry : sorted) {
        std::string_view text = textOf(entry);
        if (notation == Notation::Rpn) {
            const char* end = builder.write(entry.id, Notation::Rpn, buffer.data());
            text = std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
        }
        const Form& form = builder.form(entry.id);
        if (!visit({form.value, form.leaves - 1, text})) {
            return false;
        }
    }
    return true;
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
