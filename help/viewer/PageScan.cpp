#include "PageScan.h"

#include "Sitemap.h"

#include <QList>

#include <algorithm>
#include <array>

namespace htmlhelp {

namespace {

// The limits, measured with Qt 6.4 on the development machine (two cores, busy): a page at the
// weight budget takes about 0.6 s to show, whatever makes it heavy.
constexpr qint64 MaxWeight = 1'000'000;
constexpr int MaxDepth = 100;        // elements open at once; deeper, parsing is quadratic
constexpr int MaxElements = 20'000;  // start tags
constexpr int MaxListItems = 3'000;  // list items are numbered in quadratic time
constexpr int ElementWeight = 10;    // relative to one character of text
constexpr int CellWeight = 25;       // a table cell
constexpr int MaxWeighedTableDepth = 20;

// A table nested in another is laid out again for each layout of its cell: text and cells
// inside n tables cost about 2^(n+1) times what they cost outside any table.
qint64 layoutFactor(int tableDepth) {
    return tableDepth == 0 ? 1 : qint64(1) << (std::min(tableDepth, MaxWeighedTableDepth) + 1);
}

bool is(QStringView name, QStringView wanted) {
    return name.compare(wanted, Qt::CaseInsensitive) == 0;
}

template <std::size_t Size>
bool isOneOf(QStringView name, const std::array<QStringView, Size>& names) {
    return std::any_of(names.begin(), names.end(),
                       [name](QStringView wanted) { return is(name, wanted); });
}

// Elements that have no content and no end tag.
bool isVoid(QStringView name) {
    static constexpr std::array<QStringView, 17> names{
        u"area",  u"base",    u"basefont", u"br",   u"col",   u"embed",  u"frame", u"hr", u"img",
        u"input", u"isindex", u"link",     u"meta", u"param", u"source", u"track", u"wbr"};
    return isOneOf(name, names);
}

// Elements inside a line of text, which do not part the words around them.
bool isInline(QStringView name) {
    static constexpr std::array<QStringView, 22> names{
        u"a",      u"abbr",   u"acronym", u"b",   u"big", u"cite", u"code",  u"em",
        u"font",   u"i",      u"kbd",     u"q",   u"s",   u"samp", u"small", u"span",
        u"strike", u"strong", u"sub",     u"sup", u"tt",  u"u"};
    return isOneOf(name, names);
}

bool isCell(QStringView name) {
    return is(name, u"td") || is(name, u"th");
}

// Reads HTML the way Qt's rich text parser splits it into text, comments and tags.
class Tokenizer {
public:
    explicit Tokenizer(QStringView html) : html_(html) {}

    enum class Kind { End, Text, StartTag, EndTag };
    struct Token {
        Kind kind = Kind::End;
        QStringView text;  // the text, or the tag's name
        bool selfClosing = false;
    };

    Token next() {
        while (at_ < html_.size()) {
            if (html_[at_] != u'<') {
                qsizetype end = html_.indexOf(u'<', at_);
                if (end < 0) {
                    end = html_.size();
                }
                const QStringView text = html_.sliced(at_, end - at_);
                at_ = end;
                return {Kind::Text, text};
            }
            // Like Qt, every '<' starts a tag, even one that names nothing.
            ++at_;
            if (html_.sliced(at_).startsWith(u"!--")) {
                const qsizetype end = html_.indexOf(u"-->", at_ + 3);
                at_ = end < 0 ? html_.size() : end + 3;
            } else if (html_.sliced(at_).startsWith(u'!')) {
                skipPast(u'>');
            } else if (html_.sliced(at_).startsWith(u'/')) {
                ++at_;
                const QStringView name = readWord();
                skipPast(u'>');
                return {Kind::EndTag, name};
            } else {
                while (at_ < html_.size() && html_[at_].isSpace()) {
                    ++at_;
                }
                const QStringView name = readWord();
                const bool selfClosing = skipAttributes();
                return {Kind::StartTag, name, selfClosing};
            }
        }
        return {};
    }

    // The raw text from here to the end tag of name (of a script or style), which is skipped.
    QStringView skipRawText(QStringView name) {
        const qsizetype start = at_;
        qsizetype end = at_;
        for (;;) {
            end = html_.indexOf(u"</", end);
            if (end < 0 || html_.sliced(end + 2).startsWith(name, Qt::CaseInsensitive)) {
                break;
            }
            end += 2;
        }
        at_ = end < 0 ? html_.size() : end;
        return html_.sliced(start, at_ - start);
    }

private:
    // A word as Qt's parser reads an unquoted one.
    QStringView readWord() {
        const qsizetype start = at_;
        while (at_ < html_.size() && !endsWord()) {
            ++at_;
        }
        return html_.sliced(start, at_ - start);
    }

    bool endsWord() const {
        const QChar c = html_[at_];
        return c.isSpace() || c == u'>' || c == u'<' || c == u'=' ||
               (c == u'/' && at_ + 1 < html_.size() && html_[at_ + 1] == u'>');
    }

    void skipPast(QChar c) {
        const qsizetype end = html_.indexOf(c, at_);
        at_ = end < 0 ? html_.size() : end + 1;
    }

    // Skips the attributes and the closing '>' of a start tag; true for "/>". A quote opens a
    // value only at the start of a word, as in Qt's parser.
    bool skipAttributes() {
        while (at_ < html_.size()) {
            const QChar c = html_[at_];
            if (c == u'>') {
                ++at_;
                return false;
            }
            if (c == u'/' && at_ + 1 < html_.size() && html_[at_ + 1] == u'>') {
                at_ += 2;
                return true;
            }
            if (c == u'<') {
                return false;  // a new tag starts: this one ends here
            }
            if (c.isSpace() || c == u'=') {
                ++at_;
            } else if (c == u'"') {
                skipQuoted(u'"');
            } else if (c == u'\'') {
                skipQuoted(u'\'');
            } else {
                readWord();
            }
        }
        return false;
    }

    void skipQuoted(QChar quote) {
        ++at_;
        while (at_ < html_.size()) {
            // Qt takes \' for a quote inside a single-quoted value.
            const bool escaped = quote == u'\'' && html_[at_ - 1] == u'\\';
            if (html_[at_++] == quote && !escaped) {
                return;
            }
        }
    }

    QStringView html_;
    qsizetype at_ = 0;
};

// The elements open while the page is read, innermost last, as Qt's parser nests them.
class OpenElements {
public:
    int depth() const { return int(names_.size()); }
    int tableDepth() const { return tables_; }

    void open(QStringView name) {
        // An element of these kinds closes one of its kind that is still open right before it.
        const QStringView top = names_.isEmpty() ? QStringView() : names_.back();
        if (is(name, u"tr")) {
            while (!names_.isEmpty() && isCell(names_.back())) {
                pop();
            }
            popIf(u"tr");
        } else if (isCell(name)) {
            if (isCell(top)) {
                pop();
            }
        } else if (is(name, u"dt") || is(name, u"dd")) {
            if (is(top, u"dt") || is(top, u"dd")) {
                pop();
            }
        } else if (is(name, u"p") || is(name, u"li") || is(name, u"option")) {
            popIf(name);
        }
        names_.append(name);
        if (is(name, u"table")) {
            ++tables_;
        }
    }

    // An end tag closes its element and those opened in it; one without an open element is
    // ignored. The search is bounded by the depth limit.
    void close(QStringView name) {
        for (qsizetype at = names_.size() - 1; at >= 0; --at) {
            if (is(names_[at], name)) {
                while (names_.size() > at) {
                    pop();
                }
                return;
            }
        }
    }

private:
    void popIf(QStringView name) {
        if (!names_.isEmpty() && is(names_.back(), name)) {
            pop();
        }
    }
    void pop() {
        if (is(names_.back(), u"table")) {
            --tables_;
        }
        names_.removeLast();
    }

    QList<QStringView> names_;
    int tables_ = 0;
};

}  // namespace

bool isTooComplexToShow(QStringView html) {
    Tokenizer tokenizer(html);
    OpenElements open;
    qint64 weight = 0;
    int elements = 0;
    int listItems = 0;
    for (Tokenizer::Token token = tokenizer.next(); token.kind != Tokenizer::Kind::End;
         token = tokenizer.next()) {
        const qint64 factor = layoutFactor(open.tableDepth());
        switch (token.kind) {
            case Tokenizer::Kind::Text:
                weight += token.text.size() * factor;
                break;
            case Tokenizer::Kind::StartTag:
                weight += ElementWeight * factor;
                ++elements;
                if (is(token.text, u"li")) {
                    ++listItems;
                }
                if (isVoid(token.text) || token.selfClosing) {
                    break;
                }
                open.open(token.text);
                if (isCell(token.text)) {
                    weight += CellWeight * layoutFactor(open.tableDepth());
                }
                if (is(token.text, u"script") || is(token.text, u"style")) {
                    tokenizer.skipRawText(token.text);
                }
                break;
            case Tokenizer::Kind::EndTag:
                open.close(token.text);
                break;
            case Tokenizer::Kind::End:
                break;
        }
        if (weight > MaxWeight || open.depth() > MaxDepth || elements > MaxElements ||
            listItems > MaxListItems) {
            return true;
        }
    }
    return false;
}

PageText extractPageText(QStringView html) {
    PageText page;
    Tokenizer tokenizer(html);
    bool inTitle = false;
    bool titleDone = false;
    for (Tokenizer::Token token = tokenizer.next(); token.kind != Tokenizer::Kind::End;
         token = tokenizer.next()) {
        switch (token.kind) {
            case Tokenizer::Kind::Text:
                (inTitle ? page.title : page.text) += decodeHtmlEntities(token.text);
                break;
            case Tokenizer::Kind::StartTag:
                if (is(token.text, u"script") || is(token.text, u"style")) {
                    tokenizer.skipRawText(token.text);
                } else if (is(token.text, u"title") && !titleDone) {
                    inTitle = true;
                } else if (!isInline(token.text)) {
                    page.text += u' ';
                }
                break;
            case Tokenizer::Kind::EndTag:
                if (inTitle && is(token.text, u"title")) {
                    inTitle = false;
                    titleDone = true;
                }
                if (!isInline(token.text)) {
                    page.text += u' ';
                }
                break;
            case Tokenizer::Kind::End:
                break;
        }
    }
    page.title = page.title.simplified();
    return page;
}

}  // namespace htmlhelp
