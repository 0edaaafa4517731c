#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>
#include <optional>

struct chmFile;

namespace htmlhelp {

// A compiled HTML help file opened for reading. chmlib does the decoding; this class owns the
// handle and guards the sizes that a damaged file could claim.
class ChmArchive {
public:
    // Objects larger than this are treated as damaged rather than read into memory.
    static constexpr qint64 MaxObjectSize = 64 * 1024 * 1024;

    // How long checking a file may take before it is taken for damaged (see ChmProbe.h).
    static constexpr std::chrono::milliseconds ProbeTimeout{10000};

    // Opens the regular file at localPath (the bytes of a local file name); nothing when
    // chmlib cannot read it, or when the check program crashes or stalls on it, or cannot run.
    static std::unique_ptr<ChmArchive> open(const QByteArray& localPath);
    ~ChmArchive();
    ChmArchive(const ChmArchive&) = delete;
    ChmArchive& operator=(const ChmArchive&) = delete;

    // The contents of the object at path ("/index.htm", "#SYSTEM"; a leading "/" is added when
    // missing), or nothing when it is absent, too large or cannot be read in full.
    std::optional<QByteArray> read(const QString& path) const;
    // The paths of the ordinary files in the archive, in the archive's order.
    QStringList files() const;

private:
    explicit ChmArchive(chmFile* file) : file_(file) {}
    chmFile* file_;
};

}  // namespace htmlhelp
