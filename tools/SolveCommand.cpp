#include "SolveCommand.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Conversion.h"
#include "Solver.h"

namespace quorbelix {

namespace {

constexpr int kWriteFailed = 1;
constexpr int kBadArguments = 2;
constexpr std::string_view kUsage =
    "usage: quorbelix-solve [--count] P1 P2 P3 P4 P5 P6 TARGET|START..END\n";
constexpr std::string_view kHelp =
    "Lists every chain of + - * / on the six plates that reaches the target, in the\n"
    "game's search order, one per line. A plate of 0 is an empty slot. Numbers are\n"
    "decimal, or hexadecimal after \"$\", \"x\" or \"0x\".\n"
    "A target range START..END lists each target's solutions under a line\n"
    "\"# TARGET: N solutions\".\n"
    "  --count  print only the number of solutions; for a range, one line\n"
    "           \"TARGET COUNT\" per target\n"
    "  --help   print this help\n";

// Collects output in a block the size of a pipe's buffer and hands it to the sink when
// full: few writes, and few fresh pages, each of which costs a page fault. After the
// first failed write it drops everything and keeps the failure's errno value.
class BufferedOutput {
public:
    explicit BufferedOutput(OutputSink& sink)
        : sink_(sink), buffer_(std::make_unique_for_overwrite<char[]>(kCapacity)) {}

    bool failed() const noexcept { return error_ != 0; }
    int error() const noexcept { return error_; }

    // Room for at least size more bytes at the end of the buffer; null after a failure.
    char* reserve(std::size_t size) {
        if (used_ + size > kCapacity) {
            flush();
        }
        return failed() ? nullptr : buffer_.get() + used_;
    }

    // Keeps what was written from the last reserve() up to end.
    void commit(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.get()); }

    void append(std::string_view text) {
        if (char* out = reserve(text.size())) {
            commit(std::copy(text.begin(), text.end(), out));
        }
    }

    void appendNumber(std::int64_t number) {
        constexpr std::size_t kMaxDigits = 20;
        if (char* out = reserve(kMaxDigits)) {
            commit(std::to_chars(out, out + kMaxDigits, number).ptr);
        }
    }

    // Returns whether everything so far has been written.
    bool flush() {
        if (!failed() && used_ != 0) {
            error_ = sink_.write(std::string_view(buffer_.get(), used_));
        }
        used_ = 0;
        return !failed();
    }

private:
    static constexpr std::size_t kCapacity = std::size_t{1} << 16;

    OutputSink& sink_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    int error_ = 0;
};

struct TargetRange {
    std::int64_t first;
    std::int64_t last;
    bool isRange;
};

// "N" or "START..END", numbers as the game reads its boxes. A malformed range is named
// whole in the message: "'1..'" says more than the empty end it lacks.
TargetRange readTargets(std::string_view text) {
    const std::size_t dots = text.find("..");
    if (dots == std::string_view::npos) {
        const std::int64_t target = textToInteger(text);
        return {target, target, false};
    }
    try {
        return {textToInteger(text.substr(0, dots)), textToInteger(text.substr(dots + 2)), true};
    } catch (const ConversionError&) {
        throw ConversionError(text);
    }
}

// "1+2=3 3+3=6 ", rendered with blanks after the steps, is written as "1+2=3 3+3=6\n".
bool writeSolution(std::string_view text, BufferedOutput& out) {
    char* line = out.reserve(text.size());
    if (line == nullptr) {
        return false;
    }
    char* end = std::copy(text.begin(), text.end(), line);
    end[-1] = '\n';
    out.commit(end);
    return true;
}

// "target count" lines, from one counting pass per slice of the range, so that the
// counting's memory stays small whatever the range.
void writeRangeCounts(const PlateSet& plates, TargetRange targets, BufferedOutput& output) {
    constexpr std::int64_t kSlice = 1 << 16;
    for (std::int64_t first = targets.first; first <= targets.last && !output.failed();
         first += kSlice) {
        const std::int64_t last = std::min(first + kSlice - 1, targets.last);
        const auto counts =
            CountSolutions(plates, static_cast<Target>(first), static_cast<Target>(last));
        for (std::int64_t target = first; target <= last; ++target) {
            output.appendNumber(target);
            output.append(" ");
            output.appendNumber(
                static_cast<std::int64_t>(counts[static_cast<std::size_t>(target - first)]));
            output.append("\n");
        }
    }
}

// One search per target: its count, or its solutions, under a header line for a range.
void writeSearches(const PlateSet& plates, TargetRange targets, bool countOnly,
                   BufferedOutput& output) {
    SolutionList solutions;
    for (std::int64_t target = targets.first; target <= targets.last && !output.failed();
         ++target) {
        solutions.clear();
        Search(plates, static_cast<Target>(target), solutions);
        if (countOnly) {
            output.appendNumber(static_cast<std::int64_t>(solutions.size()));
            output.append("\n");
            continue;
        }
        if (targets.isRange) {
            output.append("# ");
            output.appendNumber(target);
            output.append(": ");
            output.appendNumber(static_cast<std::int64_t>(solutions.size()));
            output.append(solutions.size() == 1 ? " solution\n" : " solutions\n");
        }
        solutions.forEachText([&](std::string_view text) { return writeSolution(text, output); },
                              ' ');
    }
}

int reportWriteFailure(int error, OutputSink& err) {
    // A reader that stopped reading (| head -1) wants no more output and no complaint.
    if (error == EPIPE) {
        return kWriteFailed;
    }
    err.write("quorbelix-solve: cannot write the output: " + std::string(std::strerror(error)) +
              '\n');
    return kWriteFailed;
}

}  // namespace

int runSolveCommand(std::span<const std::string_view> arguments, OutputSink& out, OutputSink& err) {
    bool countOnly = false;
    std::vector<std::string_view> numbers;
    for (const std::string_view argument : arguments) {
        if (argument == "--help") {
            std::string help(kUsage);
            help += kHelp;
            const int error = out.write(help);
            return error == 0 ? 0 : reportWriteFailure(error, err);
        }
        if (argument == "--count") {
            countOnly = true;
        } else if (argument.starts_with("--")) {
            err.write(kUsage);
            return kBadArguments;
        } else {
            numbers.push_back(argument);
        }
    }
    PlateSet plates{};
    if (numbers.size() != plates.size() + 1) {
        err.write(kUsage);
        return kBadArguments;
    }

    TargetRange targets{};
    try {
        for (std::size_t slot = 0; slot < plates.size(); ++slot) {
            plates[slot] = textToInteger(numbers[slot]);
        }
        targets = readTargets(numbers.back());
    } catch (const ConversionError& error) {
        err.write(std::string(error.what()) + '\n');
        return kBadArguments;
    }
    if (targets.first > targets.last) {
        err.write("quorbelix-solve: the target range '" + std::string(numbers.back()) +
                  "' is empty\n");
        return kBadArguments;
    }

    BufferedOutput output(out);
    if (countOnly && targets.isRange) {
        writeRangeCounts(plates, targets, output);
    } else {
        writeSearches(plates, targets, countOnly, output);
    }
    if (!output.flush()) {
        return reportWriteFailure(output.error(), err);
    }
    return 0;
}

}  // namespace quorbelix
