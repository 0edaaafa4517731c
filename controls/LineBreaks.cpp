#include "LineBreaks.h"

namespace quorbelix {

QString removeLineBreaks(QString text) {
    for (qsizetype at = text.indexOf(u'\r'); at >= 0; at = text.indexOf(u'\r', at)) {
        text.remove(at, 2);
    }
    return text;
}

QString toCrLf(const QString& documentText) {
    QString text = documentText;
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

QString fromLineBreaks(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(u'\r', u'\n');
    return lines;
}

QString fitLength(const QString& text, int length) {
    QString fitting = text.left(length);
    if (fitting.endsWith(u'\r') && text.size() > length && text[length] == u'\n') {
        fitting.chop(1);
    }
    return fitting;
}

}  // namespace quorbelix
