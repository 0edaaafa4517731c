#include "ReferenceSearch.h"

#include <cstdint>
#include <limits>
#include <optional>

namespace quorbelix::reference {

namespace {

std::optional<std::int32_t> fitting(std::int64_t value) {
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::string stepLine(std::int32_t a, char op, std::int32_t b, std::int32_t v) {
    return std::to_string(a) + op + std::to_string(b) + "=" + std::to_string(v) + "\r";
}

class Searcher {
public:
    Searcher(Target target, std::vector<std::string>& solutions)
        : target_(target), solutions_(solutions) {}

    // Returns at once after a hit, abandoning the rest of this level.
    void search(PlateSet plates, const std::string& path) {
        PlateSet child;
        for (int i = 0; i < 6; ++i) {
            if (plates[i] == 0) {
                continue;
            }
            const std::int32_t a = plates[i];
            for (int j = i + 1; j < 6; ++j) {
                if (plates[j] == 0) {
                    continue;
                }
                const std::int32_t b = plates[j];
                child = plates;
                child[j] = 0;
                if (step(child, i, path, a, '+', b, fitting(std::int64_t{b} + a))) {
                    return;
                }
                if (step(child, i, path, a, '*', b, fitting(std::int64_t{b} * a))) {
                    return;
                }
            }
            for (int j = 0; j < 6; ++j) {
                if (j == i || plates[j] == 0) {
                    continue;
                }
                const std::int32_t b = plates[j];
                child = plates;
                child[j] = 0;
                if (b < a && step(child, i, path, a, '-', b, fitting(std::int64_t{a} - b))) {
                    return;
                }
                if (std::int64_t{a} % b == 0 &&
                    step(child, i, path, a, '/', b, fitting(std::int64_t{a} / b))) {
                    return;
                }
            }
        }
    }

private:
    // True on a hit.
    bool step(PlateSet& child, int i, const std::string& path, std::int32_t a, char op,
              std::int32_t b, std::optional<std::int32_t> v) {
        if (!v) {
            return false;
        }
        const std::string line = path + stepLine(a, op, b, *v);
        if (*v == target_) {
            solutions_.push_back(line);
            return true;
        }
        child[i] = *v;
        search(child, line);
        return false;
    }

    Target target_;
    std::vector<std::string>& solutions_;
};

}  // namespace

std::vector<std::string> search(const PlateSet& plates, Target target) {
    std::vector<std::string> solutions;
    Searcher(target, solutions).search(plates, "");
    return solutions;
}

}  // namespace quorbelix::reference
