#include "TFont.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <stdexcept>

#include "AttributeEdit.h"

TFont::TFont(QObject* parent) : QObject(parent) {
    const QFont standard = QGuiApplication::font();
    attributes_.family = standard.family();
    attributes_.pixelHeight = QFontInfo(standard).pixelSize();
    attributes_.bold = standard.bold();
    attributes_.italic = standard.italic();
    attributes_.underline = standard.underline();
    attributes_.strikeOut = standard.strikeOut();
    attributes_.colour = clWindowText;
}

void TFont::apply(const Attributes& attributes) {
    if (attributes == attributes_) {
        return;
    }
    attributes_ = attributes;
    emit changed();
}

void TFont::setFamily(const QString& family) {
    apply(quorbelix::withAttribute(attributes_, &Attributes::family, family));
}

void TFont::setPixelHeight(int pixels) {
    if (pixels < 1) {
        return;
    }
    apply(quorbelix::withAttribute(attributes_, &Attributes::pixelHeight, pixels));
}

void TFont::setBold(bool on) {
    apply(quorbelix::withAttribute(attributes_, &Attributes::bold, on));
}

void TFont::setItalic(bool on) {
    apply(quorbelix::withAttribute(attributes_, &Attributes::italic, on));
}

void TFont::setUnderline(bool on) {
    apply(quorbelix::withAttribute(attributes_, &Attributes::underline, on));
}

void TFont::setStrikeOut(bool on) {
    apply(quorbelix::withAttribute(attributes_, &Attributes::strikeOut, on));
}

void TFont::setColour(const Colour& colour) {
    apply(quorbelix::withAttribute(attributes_, &Attributes::colour, colour));
}

void TFont::assign(const TFont& other) {
    apply(other.attributes_);
}

void TFont::setFromText(const QString& text) {
    const QStringList fields = text.split(u',');
    Attributes read = attributes_;
    read.family = fields.first().trimmed();
    read.bold = read.italic = read.underline = read.strikeOut = false;
    for (qsizetype i = 1; i < fields.size(); ++i) {
        const QString field = fields[i].trimmed().toLower();
        if (field == u"bold") {
            read.bold = true;
        } else if (field == u"italic") {
            read.italic = true;
        } else if (field == u"underline") {
            read.underline = true;
        } else if (field == u"strikeout") {
            read.strikeOut = true;
        } else if (field.endsWith(u"px")) {
            bool ok = false;
            const int pixels = field.chopped(2).trimmed().toInt(&ok);
            if (!ok || pixels < 1) {
                throw std::invalid_argument("bad font height: " + field.toStdString());
            }
            read.pixelHeight = pixels;
        } else {
            read.colour = Colour::fromName(field);
        }
    }
    apply(read);
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
    QFont font = withFallbacks(QFont(attributes_.family));
    font.setPixelSize(attributes_.pixelHeight);
    font.setBold(attributes_.bold);
    font.setItalic(attributes_.italic);
    font.setUnderline(attributes_.underline);
    font.setStrikeOut(attributes_.strikeOut);
    return font;
}
