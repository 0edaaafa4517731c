#include "ChmArchive.h"

#include "ChmProbe.h"

#include <chm_lib.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace htmlhelp {

std::unique_ptr<ChmArchive> ChmArchive::open(const QByteArray& localPath) {
    // Opened once, without blocking (a FIFO would), and checked and read through that one
    // opening: the file checked is the file read, whatever happens to its name meanwhile.
    const int fd = ::open(localPath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return nullptr;
    }
    struct stat status {};
    chmFile* file = nullptr;
    // A file that could not be checked is not read either: chmlib could crash the game on it.
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
        probeChmFile(fd, ProbeTimeout) == ChmProbeResult::Readable) {
        file = chm_open(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData());
    }
    ::close(fd);
    if (file == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<ChmArchive>(new ChmArchive(file));
}

ChmArchive::~ChmArchive() {
    chm_close(file_);
}

std::optional<QByteArray> ChmArchive::read(const QString& path) const {
    QByteArray name = path.toUtf8();
    if (!name.startsWith('/')) {
        name.prepend('/');
    }
    if (name.size() > CHM_MAX_PATHLEN) {
        return std::nullopt;
    }
    chmUnitInfo unit{};
    if (chm_resolve_object(file_, name.constData(), &unit) != CHM_RESOLVE_SUCCESS) {
        return std::nullopt;
    }
    if (unit.length > static_cast<LONGUINT64>(MaxObjectSize)) {
        return std::nullopt;
    }
    QByteArray data(static_cast<qsizetype>(unit.length), Qt::Uninitialized);
    if (unit.length == 0) {
        return data;
    }
    const LONGINT64 got =
        chm_retrieve_object(file_, &unit, reinterpret_cast<unsigned char*>(data.data()), 0,
                            static_cast<LONGINT64>(unit.length));
    if (got != static_cast<LONGINT64>(unit.length)) {
        return std::nullopt;
    }
    return data;
}

QStringList ChmArchive::files() const {
    QStringList paths;
    auto collect = [](chmFile*, chmUnitInfo* unit, void* context) -> int {
        const QByteArray path(unit->path,
                              static_cast<qsizetype>(qstrnlen(unit->path, sizeof unit->path)));
        static_cast<QStringList*>(context)->append(QString::fromUtf8(path));
        return CHM_ENUMERATOR_CONTINUE;
    };
    chm_enumerate(file_, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, collect, &paths);
    return paths;
}

}  // namespace htmlhelp
