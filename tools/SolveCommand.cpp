#include "SolveCommand.h"

#include <algorithm>
#include <string>
#include <vector>

#include "Conversion.h"
#include "Solver.h"

namespace quorbelix {

namespace {

constexpr int kBadArguments = 2;
constexpr std::string_view kUsage = "usage: quorbelix-solve [--count] P1 P2 P3 P4 P5 P6 TARGET\n";
constexpr std::string_view kHelp =
    "Lists every chain of + - * / on the six plates that reaches the target, in the\n"
    "game's search order, one per line. A plate of 0 is an empty slot. Numbers are\n"
    "decimal, or hexadecimal after \"$\", \"x\" or \"0x\".\n"
    "  --count  print only the number of solutions\n"
    "  --help   print this help\n";

// "1+2=3\r3+3=6\r" is printed as "1+2=3 3+3=6".
void printSolution(std::string text, std::ostream& out) {
    text.pop_back();
    std::replace(text.begin(), text.end(), '\r', ' ');
    out << text << '\n';
}

}  // namespace

int runSolveCommand(std::span<const std::string_view> arguments, std::ostream& out,
                    std::ostream& err) {
    bool countOnly = false;
    std::vector<std::string_view> numbers;
    for (const std::string_view argument : arguments) {
        if (argument == "--help") {
            out << kUsage << kHelp;
            return 0;
        }
        if (argument == "--count") {
            countOnly = true;
        } else if (argument.starts_with("--")) {
            err << kUsage;
            return kBadArguments;
        } else {
            numbers.push_back(argument);
        }
    }
    PlateSet plates{};
    if (numbers.size() != plates.size() + 1) {
        err << kUsage;
        return kBadArguments;
    }

    Target target = 0;
    try {
        for (std::size_t slot = 0; slot < plates.size(); ++slot) {
            plates[slot] = textToInteger(numbers[slot]);
        }
        target = textToInteger(numbers.back());
    } catch (const ConversionError& error) {
        err << error.what() << '\n';
        return kBadArguments;
    }

    SolutionList solutions;
    Search(plates, target, solutions);
    if (countOnly) {
        out << solutions.size() << '\n';
        return 0;
    }
    for (std::size_t index = 0; index < solutions.size(); ++index) {
        printSolution(solutions.text(index), out);
    }
    return 0;
}

}  // namespace quorbelix
