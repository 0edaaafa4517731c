#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "DistinctSearch.h"
#include "RandomPlates.h"

namespace quorbelix {
namespace {

struct Listed {
    Target value;
    int steps;
    std::string text;
};

std::vector<Listed> listAll(const PlateSet& plates, Target first, Target last,
                            Notation notation = Notation::Infix) {
    std::vector<Listed> calculations;
    SearchDistinct(plates, first, last, notation, [&](const DistinctCalculation& calculation) {
        calculations.push_back(
            {calculation.value, calculation.steps, std::string(calculation.text)});
        return true;
    });
    return calculations;
}

std::vector<std::string> listed(const PlateSet& plates, Target target,
                                Notation notation = Notation::Infix) {
    std::vector<std::string> texts;
    for (const Listed& calculation : listAll(plates, target, target, notation)) {
        texts.push_back(calculation.text);
    }
    return texts;
}

// Calculations that differ only in order, grouping or where a subtraction or division
// stands are one; a division is not a multiplication, and a step by 1 is not made.
TEST(DistinctSearch, ListsEachCalculationOnce) {
    // The six orders and two groupings of three added plates.
    EXPECT_EQ(listed({100, 75, 25, 0, 0, 0}, 200), (std::vector<std::string>{"100+75+25"}));
    // 10-4+3, 10+3-4, 10-(4-3), 3+10-4.
    EXPECT_EQ(listed({10, 4, 3, 0, 0, 0}, 9), (std::vector<std::string>{"10+3-4"}));
    // 24/3/2, 24/2/3 and 24/(3*2) are one; 24/(3/2) is 24*2/3, another.
    EXPECT_EQ(listed({24, 3, 2, 0, 0, 0}, 4), (std::vector<std::string>{"24/3/2"}));
    EXPECT_EQ(listed({24, 3, 2, 0, 0, 0}, 16), (std::vector<std::string>{"24*2/3"}));
    EXPECT_EQ(listed({24, 3, 2, 0, 0, 0}, 16, Notation::Rpn),
              (std::vector<std::string>{"24 2 * 3 /"}));
    // 6*1 and 6/1 are 6 with a step by 1, and (6+1)*(3-2) multiplies by a result of 1.
    // Fewest steps first, then in the infix text's order.
    EXPECT_EQ(listed({6, 1, 0, 0, 0, 0}, 6), std::vector<std::string>{});
    EXPECT_EQ(
        listed({6, 1, 3, 2, 0, 0}, 7),
        (std::vector<std::string>{"6+1", "3*2+1", "6+2-1", "6+3-2", "(6-1)*2-3", "(6-3)*2+1",
                                  "3+6/2+1", "6+(2+1)/3", "6+(3-1)/2", "6+2/(3-1)", "6+3/(2+1)"}));
}

// The plain way: every chain of steps, no early return, each result's normal form built as
// text, duplicates removed by a set.
class PlainEnumeration {
public:
    PlainEnumeration(Target first, Target last) : first_(first), last_(last) {}

    std::map<Target, std::set<std::string>> run(const PlateSet& plates) {
        std::vector<Term> terms;
        for (const std::int32_t plate : plates) {
            if (plate != 0) {
                terms.push_back({plate, 'L', {}, {}, std::to_string(plate)});
            }
        }
        search(terms);
        return found_;
    }

private:
    struct Term {
        std::int64_t value;
        char kind;  // 'L' for a plate, 'S' for a sum, 'P' for a product
        std::vector<std::string> positives;
        std::vector<std::string> negatives;
        std::string text;
    };

    static Term combine(const Term& x, const Term& y, char op, std::int64_t value) {
        Term term{value, op == '+' || op == '-' ? 'S' : 'P', {}, {}, {}};
        const auto take = [&](const Term& part, bool negative) {
            auto& same = negative ? term.negatives : term.positives;
            auto& other = negative ? term.positives : term.negatives;
            if (part.kind != term.kind) {
                same.push_back(part.text);
                return;
            }
            same.insert(same.end(), part.positives.begin(), part.positives.end());
            other.insert(other.end(), part.negatives.begin(), part.negatives.end());
        };
        take(x, false);
        take(y, op == '-' || op == '/');
        std::sort(term.positives.begin(), term.positives.end());
        std::sort(term.negatives.begin(), term.negatives.end());
        term.text = std::string(1, term.kind) + "(";
        for (const auto& text : term.positives) {
            term.text += "+" + text;
        }
        for (const auto& text : term.negatives) {
            term.text += "-" + text;
        }
        term.text += ")";
        return term;
    }

    void search(const std::vector<Term>& terms) {
        for (std::size_t i = 0; i < terms.size(); ++i) {
            for (std::size_t j = 0; j < terms.size(); ++j) {
                if (i == j) {
                    continue;
                }
                const std::int64_t a = terms[i].value;
                const std::int64_t b = terms[j].value;
                const auto step = [&](char op, std::int64_t value) {
                    if (value < INT32_MIN || value > INT32_MAX) {
                        return;
                    }
                    std::vector<Term> rest;
                    for (std::size_t k = 0; k < terms.size(); ++k) {
                        if (k != i && k != j) {
                            rest.push_back(terms[k]);
                        }
                    }
                    if (value != 0) {
                        const Term term = combine(terms[i], terms[j], op, value);
                        if (value >= first_ && value <= last_) {
                            found_[static_cast<Target>(value)].insert(term.text);
                        }
                        rest.push_back(term);
                    }
                    search(rest);
                };
                step('+', a + b);
                if (a != 1 && b != 1) {
                    step('*', a * b);
                }
                if (b < a) {
                    step('-', a - b);
                }
                if (b != 1 && a % b == 0) {
                    step('/', a / b);
                }
            }
        }
    }

    Target first_;
    Target last_;
    std::map<Target, std::set<std::string>> found_;
};

TEST(DistinctSearch, CountsMatchAPlainEnumerationWithoutDuplicates) {
    EXPECT_EQ(listAll({1, 2, 3, 4, 5, 6}, 21, 21).size(), 651u);
    EXPECT_EQ(listAll({100, 75, 50, 25, 10, 1}, 999, 999).size(), 44u);
    constexpr std::array<std::int32_t, 12> kPlates = {1, 1, 2, 3, 4, 5, 7, 10, 25, 75, -3, -1};
    std::mt19937 random(20261208);
    for (int draw = 0; draw < 30; ++draw) {
        PlateSet plates = test::randomPlates(random, kPlates, 3 + draw % 3);
        std::shuffle(plates.begin(), plates.end(), random);
        const Target first = std::uniform_int_distribution<Target>(-30, 60)(random);
        const Target last = first + 40;
        const auto expected = PlainEnumeration(first, last).run(plates);
        const auto calculations = listAll(plates, first, last);
        const auto counts = CountDistinct(plates, first, last);
        std::map<Target, std::size_t> listedCounts;
        for (const Listed& calculation : calculations) {
            ++listedCounts[calculation.value];
        }
        std::map<Target, std::size_t> expectedCounts;
        for (const auto& [value, forms] : expected) {
            expectedCounts[value] = forms.size();
        }
        std::map<Target, std::size_t> countedCounts;
        for (const DistinctCount& count : counts) {
            countedCounts[count.value] = count.count;
        }
        const auto where = ::testing::PrintToString(plates) + " -> " + std::to_string(first);
        ASSERT_EQ(listedCounts, expectedCounts) << where;
        ASSERT_EQ(countedCounts, expectedCounts) << where;
        // No text twice, and in the documented order.
        for (std::size_t index = 1; index < calculations.size(); ++index) {
            const auto& before = calculations[index - 1];
            const auto& after = calculations[index];
            ASSERT_TRUE(std::tie(before.value, before.steps, before.text) <
                        std::tie(after.value, after.steps, after.text))
                << where;
        }
    }
}

}  // namespace
}  // namespace quorbelix
