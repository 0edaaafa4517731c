#include "TBrush.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

namespace {

constexpr std::array<std::pair<const char*, TBrush::TBrushStyle>, 8> styleWords{{
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
    Attributes changed = attributes_;
    changed.colour = colour;
    apply(changed);
}

void TBrush::setStyle(TBrushStyle style) {
    Attributes changed = attributes_;
    changed.style = style;
    apply(changed);
}

void TBrush::assign(const TBrush& other) {
    apply(other.attributes_);
}

void TBrush::setFromText(const QString& text) {
    Attributes read = attributes_;
    for (const QString& rawField : text.split(u',', Qt::SkipEmptyParts)) {
        const QString field = rawField.trimmed().toLower();
        const auto style = std::find_if(styleWords.begin(), styleWords.end(),
                                        [&](const auto& word) { return field == word.first; });
        if (style != styleWords.end()) {
            read.style = style->second;
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
