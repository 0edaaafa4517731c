#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace htmlhelp {

// What a help file's "#SYSTEM" object says about it.
struct ChmSystem {
    QString contentsFile;  // the .hhc sitemap of the table of contents
    QString indexFile;     // the .hhk sitemap of the keyword index
    QString defaultTopic;  // the page shown first
    QString title;         // the help window's title
};

// Reads the records of a "#SYSTEM" object: a 32-bit version, then records of a 16-bit code, a
// 16-bit length and that many bytes. A record cut short ends the reading; nothing when even the
// version is missing.
std::optional<ChmSystem> parseChmSystem(QByteArrayView data);

// Text stored by a help compiler: UTF-8 when it is valid UTF-8, Windows-1252 otherwise (the
// encoding of the Western-European help files).
QString decodeChmText(QByteArrayView bytes);

}  // namespace htmlhelp
