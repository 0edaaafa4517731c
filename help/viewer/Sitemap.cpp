#include "Sitemap.h"

#include <QHash>

#include <algorithm>
#include <optional>

namespace htmlhelp {

namespace {

struct Tag {
    QStringView name;
    bool closing = false;
    QHash<QString, QString> attributes;  // names in lower case
};

bool isSpace(QChar c) {
    return c.isSpace();
}

// Reads the tag that starts at html[at] == '<' and moves at past its '>'.
Tag readTag(QStringView html, qsizetype& at) {
    Tag tag;
    ++at;
    if (at < html.size() && html[at] == u'/') {
        tag.closing = true;
        ++at;
    }
    const qsizetype nameStart = at;
    while (at < html.size() && (html[at].isLetterOrNumber() || html[at] == u'!')) {
        ++at;
    }
    tag.name = html.sliced(nameStart, at - nameStart);
    while (at < html.size() && html[at] != u'>') {
        if (isSpace(html[at]) || html[at] == u'/') {
            ++at;
            continue;
        }
        const qsizetype attributeStart = at;
        while (at < html.size() && !isSpace(html[at]) && html[at] != u'=' && html[at] != u'>') {
            ++at;
        }
        const QString attribute =
            html.sliced(attributeStart, at - attributeStart).toString().toLower();
        while (at < html.size() && isSpace(html[at])) {
            ++at;
        }
        QString value;
        if (at < html.size() && html[at] == u'=') {
            ++at;
            while (at < html.size() && isSpace(html[at])) {
                ++at;
            }
            if (at < html.size() && (html[at] == u'"' || html[at] == u'\'')) {
                const QChar quote = html[at++];
                const qsizetype valueStart = at;
                while (at < html.size() && html[at] != quote) {
                    ++at;
                }
                value = html.sliced(valueStart, at - valueStart).toString();
                if (at < html.size()) {
                    ++at;
                }
            } else {
                const qsizetype valueStart = at;
                while (at < html.size() && !isSpace(html[at]) && html[at] != u'>') {
                    ++at;
                }
                value = html.sliced(valueStart, at - valueStart).toString();
            }
        }
        if (!attribute.isEmpty()) {
            tag.attributes.insert(attribute, decodeHtmlEntities(value));
        }
    }
    if (at < html.size()) {
        ++at;  // the '>'
    }
    return tag;
}

std::optional<char32_t> namedEntity(QStringView name) {
    static const QHash<QString, char32_t> entities{
        {QStringLiteral("amp"), U'&'},    {QStringLiteral("lt"), U'<'},
        {QStringLiteral("gt"), U'>'},     {QStringLiteral("quot"), U'"'},
        {QStringLiteral("apos"), U'\''},  {QStringLiteral("nbsp"), U'\u00A0'},
        {QStringLiteral("eacute"), U'é'}, {QStringLiteral("egrave"), U'è'},
        {QStringLiteral("ecirc"), U'ê'},  {QStringLiteral("agrave"), U'à'},
        {QStringLiteral("acirc"), U'â'},  {QStringLiteral("ccedil"), U'ç'},
        {QStringLiteral("ocirc"), U'ô'},  {QStringLiteral("ucirc"), U'û'},
        {QStringLiteral("ugrave"), U'ù'}, {QStringLiteral("icirc"), U'î'},
        {QStringLiteral("iuml"), U'ï'},   {QStringLiteral("euml"), U'ë'},
        {QStringLiteral("Eacute"), U'É'}, {QStringLiteral("Agrave"), U'À'},
        {QStringLiteral("laquo"), U'«'},  {QStringLiteral("raquo"), U'»'},
        {QStringLiteral("oelig"), U'œ'},  {QStringLiteral("deg"), U'°'},
    };
    const auto found = entities.constFind(name.toString());
    if (found == entities.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

std::optional<char32_t> numericEntity(QStringView digits) {
    bool ok = false;
    const uint code = digits.startsWith(u'x', Qt::CaseInsensitive)
                          ? digits.sliced(1).toUInt(&ok, 16)
                          : digits.toUInt(&ok, 10);
    if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return std::nullopt;
    }
    return static_cast<char32_t>(code);
}

}  // namespace

QString decodeHtmlEntities(QStringView text) {
    QString decoded;
    decoded.reserve(text.size());
    qsizetype at = 0;
    while (at < text.size()) {
        // The ';' is looked for only as far as the longest known reference reaches, so that
        // text full of '&' is still read in linear time.
        const qsizetype semicolon =
            text[at] == u'&' ? text.first(std::min(text.size(), at + 11)).indexOf(u';', at + 1)
                             : -1;
        if (semicolon > at + 1) {
            const QStringView reference = text.sliced(at + 1, semicolon - at - 1);
            const std::optional<char32_t> character = reference.startsWith(u'#')
                                                          ? numericEntity(reference.sliced(1))
                                                          : namedEntity(reference);
            if (character) {
                decoded += QString::fromUcs4(&*character, 1);
                at = semicolon + 1;
                continue;
            }
        }
        decoded += text[at++];
    }
    return decoded;
}

std::vector<SitemapEntry> parseSitemap(QStringView html) {
    std::vector<SitemapEntry> top;
    // The lists being filled, innermost last. A <UL> opened where there is no entry to nest
    // under (or too deep) fills the same list again, so that its </UL> still balances.
    std::vector<std::vector<SitemapEntry>*> lists{&top};
    std::optional<SitemapEntry> pending;
    QString lastName;  // of the pending entry

    qsizetype at = 0;
    while (at < html.size()) {
        if (html[at] != u'<') {
            ++at;
            continue;
        }
        if (html.sliced(at).startsWith(u"<!--")) {
            const qsizetype end = html.indexOf(u"-->", at + 4);
            at = end < 0 ? html.size() : end + 3;
            continue;
        }
        const Tag tag = readTag(html, at);
        if (tag.name.compare(u"ul", Qt::CaseInsensitive) == 0) {
            if (tag.closing) {
                if (lists.size() > 1) {
                    lists.pop_back();
                }
            } else {
                std::vector<SitemapEntry>* current = lists.back();
                const bool canNest = !current->empty() && lists.size() < MaxSitemapDepth;
                lists.push_back(canNest ? &current->back().children : current);
            }
        } else if (tag.name.compare(u"object", Qt::CaseInsensitive) == 0) {
            if (tag.closing) {
                if (pending && !pending->name.isEmpty()) {
                    lists.back()->push_back(std::move(*pending));
                }
                pending.reset();
            } else if (tag.attributes.value(QStringLiteral("type"))
                           .compare(u"text/sitemap", Qt::CaseInsensitive) == 0) {
                pending.emplace();
                lastName.clear();
            }
        } else if (tag.name.compare(u"param", Qt::CaseInsensitive) == 0 && pending) {
            const QString name = tag.attributes.value(QStringLiteral("name"));
            const QString value = tag.attributes.value(QStringLiteral("value"));
            if (name.compare(u"Name", Qt::CaseInsensitive) == 0) {
                if (pending->name.isEmpty()) {
                    pending->name = value.trimmed();
                }
                lastName = value.trimmed();
            } else if (name.compare(u"Local", Qt::CaseInsensitive) == 0) {
                if (pending->local.isEmpty()) {
                    pending->local = value.trimmed();
                }
                pending->topics.push_back({lastName, value.trimmed()});
            }
        }
    }
    return top;
}

}  // namespace htmlhelp
