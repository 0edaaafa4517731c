#include "TFont.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <array>

TFont::TFont(QObject* parent)
    : QObject(parent), attributes_(*this, [] {
          const QFont standard = QGuiApplication::font();
          return Attributes{standard.family(),    QFontInfo(standard).pixelSize(),
                            standard.bold(),      standard.italic(),
                            standard.underline(), standard.strikeOut(),
                            clWindowText};
      }()) {}

void TFont::setPixelHeight(int pixels) {
    if (pixels >= 1) {
        attributes_.set(&Attributes::pixelHeight, pixels);
    }
}

void TFont::setFromText(const QString& text) {
    attributes_.read(text, &TFont::readField);
}

bool TFont::readField(Attributes& read, const QString& field, qsizetype index) {
    if (index == 0) {
        read.family = field;
        read.bold = read.italic = read.underline = read.strikeOut = false;
        return true;
    }
    // Each style word turns one style on.
    static constexpr std::array<quorbelix::AttributeWord<bool Attributes::*>, 4> styleWords{{
        {"bold", &Attributes::bold},
        {"italic", &Attributes::italic},
        {"underline", &Attributes::underline},
        {"strikeout", &Attributes::strikeOut},
    }};
    if (const auto style = quorbelix::valueOfWord(styleWords, field)) {
        read.** style = true;
        return true;
    }
    if (field.endsWith(u"px", Qt::CaseInsensitive)) {
        bool ok = false;
        const int pixels = field.chopped(2).trimmed().toInt(&ok);
        if (!ok || pixels < 1) {
            return false;
        }
        read.pixelHeight = pixels;
        return true;
    }
    return quorbelix::readColour(read.colour, field);
}

QFont TFont::withFallbacks(QFont font) {
    // The classic faces seldom exist here. Faces drawn to their narrow metrics come next, so that
    // texts keep the width the forms were laid out for, then whatever sans-serif there is.
    font.setFamilies(font.families() + QStringList{QStringLiteral("Arial"),
                                                   QStringLiteral("Liberation Sans"),
                                                   QStringLiteral("Nimbus Sans")});
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont TFont::toQFont() const {
    QFont font = withFallbacks(QFont(family()));
    font.setPixelSize(pixelHeight());
    font.setBold(bold());
    font.setItalic(italic());
    font.setUnderline(underline());
    font.setStrikeOut(strikeOut());
    return font;
}
