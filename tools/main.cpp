#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string_view>
#include <vector>

#include "SolveCommand.h"

namespace {

// Writes straight to a file descriptor: no stream library to set up for a short run.
class DescriptorSink : public quorbelix::OutputSink {
public:
    explicit DescriptorSink(int descriptor) : descriptor_(descriptor) {}

    int write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t written = ::write(descriptor_, bytes.data(), bytes.size());
            if (written < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return errno;
            }
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return 0;
    }

private:
    int descriptor_;
};

}  // namespace

int main(int argc, char** argv) {
    // A reader that stops early (| head -1) ends the command as it ends any filter, even when
    // whoever started it ignores SIGPIPE.
    std::signal(SIGPIPE, SIG_DFL);
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    DescriptorSink out(STDOUT_FILENO);
    DescriptorSink err(STDERR_FILENO);
    return quorbelix::runSolveCommand(arguments, out, err);
}
