#include <unistd.h>

#include <cerrno>
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
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    DescriptorSink out(STDOUT_FILENO);
    DescriptorSink err(STDERR_FILENO);
    return quorbelix::runSolveCommand(arguments, out, err);
}
