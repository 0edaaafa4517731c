#include <iostream>
#include <string_view>
#include <vector>

#include "SolveCommand.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    return quorbelix::runSolveCommand(arguments, std::cout, std::cerr);
}
