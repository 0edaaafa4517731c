#pragma once

#include <span>
#include <string_view>

namespace quorbelix {

// Where the command writes its output or its messages.
class OutputSink {
public:
    virtual ~OutputSink() = default;

    // Writes all of bytes; returns 0, or the errno value of the failure.
    virtual int write(std::string_view bytes) = 0;
};

// The command-line solver: "quorbelix-solve [--count] P1 P2 P3 P4 P5 P6 TARGET", where
// TARGET may be a range START..END. Prints one solution per line (steps separated by a
// blank), or with --count only the number of solutions; for a range, each target's
// solutions under a header line, or with --count one "target count" line per target.
// Returns the process exit code: 0; 1 when the output cannot be written, which stops
// the command at the first failed write (quietly when the reader has gone, EPIPE); 2 for
// bad arguments.
int runSolveCommand(std::span<const std::string_view> arguments, OutputSink& out, OutputSink& err);

}  // namespace quorbelix
