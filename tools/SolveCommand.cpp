#include "SolveCommand.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Conversion.h"
#include "DistinctSearch.h"
#include "Expression.h"
#include "NearestSearch.h"
#include "Solver.h"

namespace quorbelix {

namespace {

constexpr int kWriteFailed = 1;
constexpr int kBadArguments = 2;
constexpr std::string_view kUsage =
    "usage: quorbelix-solve [--count] [--distinct] [--nearest] [--format=FORMAT] P1 P2 P3 P4 P5 "
    "P6 TARGET|START..END\n";
constexpr std::string_view kHelp =
    "Lists every chain of + - * / on the six plates that reaches the target, in the\n"
    "game's search order, one per line. A plate of 0 is an empty slot. Numbers are\n"
    "decimal, or hexadecimal after \"$\", \"x\" or \"0x\".\n"
    "A target range START..END lists each target's solutions under a line\n"
    "\"# TARGET: N solutions\".\n"
    "  --count     print only the number of solutions; for a range, one line\n"
    "              \"TARGET COUNT\" per target\n"
    "  --distinct  list each distinct calculation once instead, as an expression:\n"
    "              a run of + and - counts as the multiset of its added terms and\n"
    "              that of its subtracted ones, a run of * and / as those of its\n"
    "              factors and divisors, so order and grouping do not matter; a step\n"
    "              by 1 (x*1, x/1) is left out. Every calculation, not only those the\n"
    "              game's search lists. Fewest steps first, then in the byte order of\n"
    "              the infix text. A range has \"# TARGET: N calculations\" headers.\n"
    "              1 2 3 4 5 6 -> 21: 17388 chains, 651 calculations;\n"
    "              100 75 50 25 10 1 -> 999: 1098 chains, 44 calculations\n"
    "  --nearest   when no chain reaches a single target, the results closest to it\n"
    "              (one below and one above when equally close), each under a line\n"
    "              \"# nearest: VALUE (off by DISTANCE)\"; with --count, lines\n"
    "              \"VALUE COUNT\"\n"
    "  --format=chain|infix|rpn\n"
    "              chain: the steps \"a+b=c\" separated by blanks (the default);\n"
    "              infix: one expression, (100+75+25)*50/10-1, with the fewest\n"
    "              parentheses under the usual precedence (the default of --distinct);\n"
    "              rpn: postfix, 100 75 + 25 + 50 * 10 / 1 -\n"
    "  --help      print this help\n";

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

struct Options {
    bool countOnly = false;
    bool distinct = false;
    bool nearest = false;
    Notation notation = Notation::Chain;
};

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

// The game's list in notation, one line per chain.
void writeList(const PlateSet& plates, const SolutionList& solutions, Notation notation,
               BufferedOutput& output) {
    if (notation == Notation::Chain) {
        solutions.forEachText([&](std::string_view text) { return writeSolution(text, output); },
                              ' ');
        return;
    }
    solutions.forEachChain([&](std::span<const Step> steps) {
        char* line = output.reserve(kMaxExpressionSize + 1);
        if (line == nullptr) {
            return false;
        }
        const Expression expression = expressionOfChain(plates, steps);
        char* end =
            notation == Notation::Rpn ? writeRpn(expression, line) : writeInfix(expression, line);
        *end++ = '\n';
        output.commit(end);
        return true;
    });
}

void writeHeader(std::int64_t target, std::size_t count, std::string_view noun,
                 BufferedOutput& output) {
    output.append("# ");
    output.appendNumber(target);
    output.append(": ");
    output.appendNumber(static_cast<std::int64_t>(count));
    output.append(" ");
    output.append(noun);
    output.append(count == 1 ? "\n" : "s\n");
}

void writeCountLine(std::int64_t target, std::size_t count, BufferedOutput& output) {
    output.appendNumber(target);
    output.append(" ");
    output.appendNumber(static_cast<std::int64_t>(count));
    output.append("\n");
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
            writeCountLine(target, counts[static_cast<std::size_t>(target - first)], output);
        }
    }
}

// One target's count, or its solutions under a header line for a range.
void writeSolutions(const PlateSet& plates, std::int64_t target, const SolutionList& solutions,
                    bool isRange, const Options& options, BufferedOutput& output) {
    if (options.countOnly) {
        output.appendNumber(static_cast<std::int64_t>(solutions.size()));
        output.append("\n");
        return;
    }
    if (isRange) {
        writeHeader(target, solutions.size(), "solution", output);
    }
    writeList(plates, solutions, options.notation, output);
}

// One search per target.
void writeSearches(const PlateSet& plates, TargetRange targets, const Options& options,
                   BufferedOutput& output) {
    SolutionList solutions;
    for (std::int64_t target = targets.first; target <= targets.last && !output.failed();
         ++target) {
        solutions.clear();
        Search(plates, static_cast<Target>(target), solutions);
        writeSolutions(plates, target, solutions, targets.isRange, options, output);
    }
}

// The distinct calculations of each target, or their counts, from one search of the
// whole range.
void writeDistinct(const PlateSet& plates, TargetRange targets, const Options& options,
                   BufferedOutput& output) {
    const auto first = static_cast<Target>(targets.first);
    const auto last = static_cast<Target>(targets.last);
    if (options.countOnly) {
        const auto counts = CountDistinct(plates, first, last);
        auto next = counts.begin();
        for (std::int64_t target = targets.first; target <= targets.last && !output.failed();
             ++target) {
            std::size_t count = 0;
            if (next != counts.end() && next->value == target) {
                count = (next++)->count;
            }
            if (targets.isRange) {
                writeCountLine(target, count, output);
            } else {
                output.appendNumber(static_cast<std::int64_t>(count));
                output.append("\n");
            }
        }
        return;
    }
    if (!targets.isRange) {
        SearchDistinct(plates, first, last, options.notation,
                       [&](const DistinctCalculation& calculation) {
                           output.append(calculation.text);
                           output.append("\n");
                           return !output.failed();
                       });
        return;
    }
    // A target's header gives its count: its lines wait until the next target's come.
    std::int64_t current = targets.first;
    std::size_t count = 0;
    std::string lines;
    const auto closeTargetsBefore = [&](std::int64_t value) {
        for (; current < value && !output.failed(); ++current) {
            writeHeader(current, count, "calculation", output);
            output.append(lines);
            lines.clear();
            count = 0;
        }
    };
    SearchDistinct(plates, first, last, options.notation,
                   [&](const DistinctCalculation& calculation) {
                       closeTargetsBefore(calculation.value);
                       lines.append(calculation.text).push_back('\n');
                       ++count;
                       return !output.failed();
                   });
    closeTargetsBefore(targets.last + 1);
}

// The listing or count of each value closest to a target that no chain reaches.
void writeNearest(const PlateSet& plates, Target target, const NearestValues& nearest,
                  const Options& options, BufferedOutput& output) {
    const std::array<std::optional<Target>, 2> values = {nearest.below, nearest.above};
    std::array<SolutionList, 2> lists;
    for (std::size_t side = 0; side < 2; ++side) {
        if (values[side] && !options.distinct) {
            Search(plates, *values[side], lists[side]);
        }
    }
    for (std::size_t side = 0; side < 2; ++side) {
        if (!values[side]) {
            continue;
        }
        const Target value = *values[side];
        if (options.countOnly) {
            output.appendNumber(value);
            output.append(" ");
        } else {
            output.append("# nearest: ");
            output.appendNumber(value);
            output.append(" (off by ");
            output.appendNumber(std::abs(std::int64_t{value} - target));
            output.append(")\n");
        }
        if (options.distinct) {
            writeDistinct(plates, {value, value, false}, options, output);
        } else {
            writeSolutions(plates, value, lists[side], false, options, output);
        }
    }
}

// Writes message as one line: an argument quoted in it may hold a line break or another
// control character, which would break the line or the terminal.
void writeMessage(std::string message, OutputSink& err) {
    for (char& character : message) {
        if (static_cast<unsigned char>(character) < 0x20 || character == '\x7f') {
            character = '?';
        }
    }
    err.write(message + '\n');
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

// The options among the arguments, the numbers left in numbers; an empty text, or the
// message that rejects the call.
std::string readOptions(std::span<const std::string_view> arguments, Options& options,
                        std::vector<std::string_view>& numbers) {
    std::string_view format;
    for (const std::string_view argument : arguments) {
        if (argument == "--count") {
            options.countOnly = true;
        } else if (argument == "--distinct") {
            options.distinct = true;
        } else if (argument == "--nearest") {
            options.nearest = true;
        } else if (argument.starts_with("--format=")) {
            const std::string_view value = argument.substr(9);
            if (value != "chain" && value != "infix" && value != "rpn") {
                return "quorbelix-solve: unknown format '" + std::string(value) +
                       "': chain, infix or rpn";
            }
            if (!format.empty() && format != value) {
                return "quorbelix-solve: --format=" + std::string(format) +
                       " and --format=" + std::string(value) + " contradict each other";
            }
            format = value;
        } else if (argument.starts_with("--")) {
            return "quorbelix-solve: unknown option '" + std::string(argument) + "' (see --help)";
        } else {
            numbers.push_back(argument);
        }
    }
    if (format == "chain" && options.distinct) {
        return "quorbelix-solve: --distinct lists calculations, not chains: use --format=infix "
               "or --format=rpn";
    }
    options.notation = format == "rpn"     ? Notation::Rpn
                       : format == "infix" ? Notation::Infix
                       : format == "chain" ? Notation::Chain
                       : options.distinct  ? Notation::Infix
                                           : Notation::Chain;
    return {};
}

}  // namespace

int runSolveCommand(std::span<const std::string_view> arguments, OutputSink& out, OutputSink& err) {
    if (std::find(arguments.begin(), arguments.end(), "--help") != arguments.end()) {
        std::string help(kUsage);
        help += kHelp;
        const int error = out.write(help);
        return error == 0 ? 0 : reportWriteFailure(error, err);
    }
    Options options;
    std::vector<std::string_view> numbers;
    if (const std::string message = readOptions(arguments, options, numbers); !message.empty()) {
        writeMessage(message, err);
        return kBadArguments;
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
        writeMessage(error.what(), err);
        return kBadArguments;
    }
    if (targets.first > targets.last) {
        writeMessage(
            "quorbelix-solve: the target range '" + std::string(numbers.back()) + "' is empty",
            err);
        return kBadArguments;
    }

    BufferedOutput output(out);
    if (options.nearest && !targets.isRange) {
        // The walk stops at the first step that reaches the target, and then costs little.
        const auto target = static_cast<Target>(targets.first);
        const NearestValues nearest = FindNearest(plates, target);
        if (!nearest.reached) {
            writeNearest(plates, target, nearest, options, output);
        } else if (options.distinct) {
            writeDistinct(plates, targets, options, output);
        } else {
            writeSearches(plates, targets, options, output);
        }
    } else if (options.distinct) {
        writeDistinct(plates, targets, options, output);
    } else if (options.countOnly && targets.isRange) {
        writeRangeCounts(plates, targets, output);
    } else {
        writeSearches(plates, targets, options, output);
    }
    if (!output.flush()) {
        return reportWriteFailure(output.error(), err);
    }
    return 0;
}

}  // namespace quorbelix
