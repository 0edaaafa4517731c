#include "ChmProbe.h"

#include "ChmArchive.h"

#include <chm_lib.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

int readObject(chmFile* file, chmUnitInfo* unit, void* buffer) {
    if (unit->length <= static_cast<LONGUINT64>(ChmArchive::MaxObjectSize)) {
        auto& bytes = *static_cast<std::vector<unsigned char>*>(buffer);
        bytes.resize(unit->length + 1);
        chm_retrieve_object(file, unit, bytes.data(), 0, static_cast<LONGINT64>(unit->length));
    }
    return CHM_ENUMERATOR_CONTINUE;
}

// Runs in the child: nothing but chmlib, then _exit, so that no handler of the parent's runs.
[[noreturn]] void readEverything(const char* path) {
    chmFile* file = chm_open(path);
    if (file == nullptr) {
        _exit(EXIT_FAILURE);
    }
    std::vector<unsigned char> buffer;
    chm_enumerate(file, CHM_ENUMERATE_ALL, readObject, &buffer);
    chm_close(file);
    _exit(EXIT_SUCCESS);
}

}  // namespace

ChmProbeResult probeChmFile(const QByteArray& localPath, std::chrono::milliseconds timeout) {
    const pid_t child = fork();
    if (child < 0) {
        return ChmProbeResult::NotProbed;
    }
    if (child == 0) {
        readEverything(localPath.constData());
    }
    constexpr auto pollInterval = std::chrono::milliseconds(2);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            break;
        }
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done < 0 || std::chrono::steady_clock::now() >= deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return ChmProbeResult::Damaged;
        }
        const timespec pause{0, std::chrono::nanoseconds(pollInterval).count()};
        nanosleep(&pause, nullptr);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == EXIT_SUCCESS ? ChmProbeResult::Readable
                                                                    : ChmProbeResult::Damaged;
}
