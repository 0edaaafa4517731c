#include "Draw.h"

#include <chrono>
#include <random>

namespace quorbelix {

namespace {

// Text of the plate for each value drawn in 0..14: 1 comes up twice as often.
constexpr std::array<const char*, 15> kPlateTexts = {
    "1", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "25", "50", "75", "100",
};

std::string targetText(int target) {
    // Below 100 the target keeps one leading zero: 42 gives "042", 0 gives "00".
    std::string text = target < 100 ? "0" : "";
    text += std::to_string(target);
    return text;
}

}  // namespace

BoxTexts DrawNumbers(const BoxTexts& boxes, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int> targetDraw(0, 999);
    std::uniform_int_distribution<std::size_t> plateDraw(0, kPlateTexts.size() - 1);

    BoxTexts result = boxes;
    result[6] = targetText(targetDraw(random));
    for (std::size_t box = 0; box < 6; ++box) {
        // Every box draws, filled or not, so a box's plate does not depend on the others.
        const char* plate = kPlateTexts[plateDraw(random)];
        if (boxes[box] == "0") {
            result[box] = plate;
        }
    }
    return result;
}

BoxTexts DrawNumbers(const BoxTexts& boxes) {
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    return DrawNumbers(boxes, static_cast<std::uint64_t>(now));
}

}  // namespace quorbelix
