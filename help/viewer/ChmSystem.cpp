#include "ChmSystem.h"

#include <QStringDecoder>

namespace htmlhelp {

namespace {

quint16 readLittle16(QByteArrayView data, qsizetype at) {
    return static_cast<quint16>(static_cast<quint8>(data[at]) | static_cast<quint8>(data[at + 1])
                                                                    << 8);
}

// A record's text ends at its first NUL byte, if any.
QString recordText(QByteArrayView record) {
    const qsizetype end = record.indexOf('\0');
    return decodeChmText(end < 0 ? record : record.first(end));
}

}  // namespace

QString decodeChmText(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    QStringDecoder windows1252("windows-1252");
    return windows1252.isValid() ? windows1252(bytes) : QString::fromLatin1(bytes);
}

std::optional<ChmSystem> parseChmSystem(QByteArrayView data) {
    constexpr qsizetype versionSize = 4;
    constexpr qsizetype headerSize = 4;
    if (data.size() < versionSize) {
        return std::nullopt;
    }
    ChmSystem system;
    qsizetype at = versionSize;
    while (data.size() - at >= headerSize) {
        const quint16 code = readLittle16(data, at);
        const quint16 length = readLittle16(data, at + 2);
        at += headerSize;
        if (data.size() - at < length) {
            break;
        }
        const QByteArrayView record = data.sliced(at, length);
        at += length;
        switch (code) {
            case 0:
                system.contentsFile = recordText(record);
                break;
            case 1:
                system.indexFile = recordText(record);
                break;
            case 2:
                system.defaultTopic = recordText(record);
                break;
            case 3:
                system.title = recordText(record);
                break;
            default:
                break;
        }
    }
    return system;
}

}  // namespace htmlhelp
