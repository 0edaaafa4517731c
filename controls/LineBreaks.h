#pragma once

#include <QString>

// Line breaks between the entry box's Text (CR LF) and Qt's text document (one block a line).
namespace quorbelix {

// Joins the lines of `text`: each CR goes together with the character after it (normally its
// LF); a CR at the very end goes alone, and a LF after no CR stays.
QString removeLineBreaks(QString text);
// Text read from a document (blocks separated by U+2029 or '\n') with CR LF between lines.
QString toCrLf(const QString& documentText);
// Text for a document: CR LF, a lone CR and a lone LF each become '\n'.
QString fromLineBreaks(const QString& text);
// At most `length` characters of `text`, without cutting a CR LF in two.
QString fitLength(const QString& text, int length);

}  // namespace quorbelix
