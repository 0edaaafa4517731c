#include "TBrush.h"

#include <array>
#include <stdexcept>

#include "AttributeEdit.h"

namespace {

constexpr std::array<quorbelix::AttributeWord<TBrush::TBrushStyle>, 8> styleWords{{
    {"solid", TBrush::bsSolid},
    {"clear", TBrush::bsClear},
    {"horizontal", TBrush::bsHorizontal},
    {"vertical", TBrush::bsVertical},
    {"fdiagonal", TBrush::bsFDiagonal},
    {"bdiagonal", TBrush::bsBDiagonal},
    {"cross", TBrush::bsCross},
    {"diagcross", TBrush::bsDiagCross},
}};

}  // namespace

TBrush::TBrush(QObject* parent) : QObject(parent) {}

void TBrush::apply(const Attributes& attributes) {
    if (attributes == attributes_) {
        return;
    }
    attributes_ = attributes;
    emit changed();
}

void TBrush::setColour(const Colour& colour) {
    apply(quorbelix::withAttribute(attributes_, &Attributes::colour, colour));
}

void TBrush::setStyle(TBrushStyle style) {
    apply(quorbelix::withAttribute(attributes_, &Attributes::style, style));
}

void TBrush::assign(const TBrush& other) {
    apply(other.attributes_);
}

void TBrush::setFromText(const QString& text) {
    Attributes read = attributes_;
    for (const QString& rawField : text.split(u',', Qt::SkipEmptyParts)) {
        const QString field = rawField.trimmed().toLower();
        if (const auto style = quorbelix::valueOfWord(styleWords, field)) {
            read.style = *style;
        } else {
            read.colour = Colour::fromName(field);
        }
    }
    apply(read);
}

QBrush TBrush::toQBrush() const {
    static constexpr std::array<Qt::BrushStyle, 8> qtStyles{
        Qt::SolidPattern, Qt::NoBrush,      Qt::HorPattern,   Qt::VerPattern,
        Qt::FDiagPattern, Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    return QBrush(attributes_.colour.resolved(), qtStyles[attributes_.style]);
}
