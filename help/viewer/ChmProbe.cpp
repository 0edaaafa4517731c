#include "ChmProbe.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace htmlhelp {

namespace {

// Where the check program finds the file it is given.
constexpr int CheckedFd = 3;

class SpawnSetup {
public:
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup() {
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
};

}  // namespace

QByteArray chmCheckProgram() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&chmCheckProgram), &info) == 0 ||
        info.dli_fname == nullptr) {
        return {};
    }
    const QByteArray loadedFrom(info.dli_fname);
    const qsizetype slash = loadedFrom.lastIndexOf('/');
    if (slash < 0) {
        return {};
    }
    return loadedFrom.first(slash + 1) + "quorbelix-chmcheck";
}

ChmProbeResult probeChmFile(int fd, std::chrono::milliseconds timeout) {
    const QByteArray program = chmCheckProgram();
    if (program.isEmpty()) {
        return ChmProbeResult::NotProbed;
    }
    // posix_spawn, never a copy of the game's process: the game runs threads, and a copy could
    // deadlock on a lock that another thread held. The check program starts afresh, with
    // nothing of the game's but the file and /dev/null.
    if (fd == CheckedFd) {
        // dup2 onto itself would leave the file closed on exec.
        const int copy = fcntl(fd, F_DUPFD_CLOEXEC, CheckedFd + 1);
        if (copy < 0) {
            return ChmProbeResult::NotProbed;
        }
        const ChmProbeResult result = probeChmFile(copy, timeout);
        close(copy);
        return result;
    }
    SpawnSetup setup;
    posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&setup.actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&setup.actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&setup.actions, fd, CheckedFd);
    posix_spawn_file_actions_addclosefrom_np(&setup.actions, CheckedFd + 1);
    sigset_t signalSet;
    sigemptyset(&signalSet);
    posix_spawnattr_setsigmask(&setup.attributes, &signalSet);
    sigfillset(&signalSet);
    posix_spawnattr_setsigdefault(&setup.attributes, &signalSet);
    posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    char name[] = "quorbelix-chmcheck";
    char file[] = "/proc/self/fd/3";
    char* arguments[] = {name, file, nullptr};
    char path[] = "PATH=/usr/bin:/bin";
    char* environment[] = {path, nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, program.constData(), &setup.actions, &setup.attributes, arguments,
                    environment) != 0) {
        return ChmProbeResult::NotProbed;
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
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ChmProbeResult::Readable
                                                         : ChmProbeResult::Damaged;
}

}  // namespace htmlhelp
