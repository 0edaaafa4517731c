#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace quorbelix {

// The command-line solver: "quorbelix-solve [--count] P1 P2 P3 P4 P5 P6 TARGET".
// Prints one solution per line (steps separated by a blank), or with --count only the
// number of solutions. Returns the process exit code: 0, or 2 for bad arguments.
int runSolveCommand(std::span<const std::string_view> arguments, std::ostream& out,
                    std::ostream& err);

}  // namespace quorbelix
