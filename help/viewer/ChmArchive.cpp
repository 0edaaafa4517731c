#include "ChmArchive.h"

#include "ChmProbe.h"

#include <QFile>

#include <chm_lib.h>

std::unique_ptr<ChmArchive> ChmArchive::open(const QString& path) {
    const QByteArray localPath = QFile::encodeName(path);
    if (probeChmFile(localPath, ProbeTimeout) == ChmProbeResult::Damaged) {
        return nullptr;
    }
    chmFile* file = chm_open(localPath.constData());
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
