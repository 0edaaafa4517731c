#include "Colour.h"

#include <QGuiApplication>
#include <algorithm>
#include <array>

namespace {

struct NamedColour {
    const char* name;
    Colour colour;
};

// The classic named colours of form files.
constexpr std::array namedColours{
    NamedColour{"clBlack", clBlack},
    NamedColour{"clMaroon", Colour::fromRgb(0xff800000u)},
    NamedColour{"clGreen", Colour::fromRgb(0xff008000u)},
    NamedColour{"clOlive", Colour::fromRgb(0xff808000u)},
    NamedColour{"clNavy", Colour::fromRgb(0xff000080u)},
    NamedColour{"clPurple", Colour::fromRgb(0xff800080u)},
    NamedColour{"clTeal", Colour::fromRgb(0xff008080u)},
    NamedColour{"clGray", Colour::fromRgb(0xff808080u)},
    NamedColour{"clSilver", Colour::fromRgb(0xffc0c0c0u)},
    NamedColour{"clRed", Colour::fromRgb(0xffff0000u)},
    NamedColour{"clLime", Colour::fromRgb(0xff00ff00u)},
    NamedColour{"clYellow", Colour::fromRgb(0xffffff00u)},
    NamedColour{"clBlue", Colour::fromRgb(0xff0000ffu)},
    NamedColour{"clFuchsia", Colour::fromRgb(0xffff00ffu)},
    NamedColour{"clAqua", Colour::fromRgb(0xff00ffffu)},
    NamedColour{"clWhite", clWhite},
    NamedColour{"clWindow", clWindow},
    NamedColour{"clWindowText", clWindowText},
    NamedColour{"clBtnFace", Colour::system(QPalette::Button)},
    NamedColour{"clBtnText", Colour::system(QPalette::ButtonText)},
    NamedColour{"clHighlight", Colour::system(QPalette::Highlight)},
    NamedColour{"clHighlightText", Colour::system(QPalette::HighlightedText)},
};

}  // namespace

std::optional<Colour> Colour::fromName(QStringView name) {
    const QStringView trimmed = name.trimmed();
    for (const NamedColour& named : namedColours) {
        if (trimmed.compare(QLatin1StringView(named.name), Qt::CaseInsensitive) == 0) {
            return named.colour;
        }
    }
    // Exactly six hexadecimal digits: no sign, blank or prefix slips through.
    const auto isHexDigit = [](QChar c) {
        const char16_t lower = QChar::toLower(c.unicode());
        return (lower >= u'0' && lower <= u'9') || (lower >= u'a' && lower <= u'f');
    };
    if (trimmed.size() == 7 && trimmed.startsWith(u'#') &&
        std::all_of(trimmed.begin() + 1, trimmed.end(), isHexDigit)) {
        return fromRgb(0xff000000u | trimmed.sliced(1).toUInt(nullptr, 16));
    }
    return std::nullopt;
}

QColor Colour::resolved() const {
    if (isSystem()) {
        return QGuiApplication::palette().color(role());
    }
    return QColor::fromRgb(rgb_);
}

QString Colour::name() const {
    for (const NamedColour& named : namedColours) {
        if (named.colour == *this) {
            return QString::fromLatin1(named.name);
        }
    }
    return QColor::fromRgb(rgb_).name();
}
