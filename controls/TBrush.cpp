#include "TBrush.h"

#include <array>

TBrush::TBrush(QObject* parent) : QObject(parent) {}

void TBrush::setFromText(const QString& text) {
    attributes_.read(text, &TBrush::readField);
}

bool TBrush::readField(Attributes& read, const QString& field, qsizetype) {
    if (const auto style = quorbelix::enumOfWord<TBrushStyle>(field)) {
        read.style = *style;
        return true;
    }
    return quorbelix::readColour(read.colour, field);
}

QBrush TBrush::toQBrush() const {
    static constexpr std::array<Qt::BrushStyle, 8> qtStyles{
        Qt::SolidPattern, Qt::NoBrush,      Qt::HorPattern,   Qt::VerPattern,
        Qt::FDiagPattern, Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    return QBrush(colour().resolved(), qtStyles[style()]);
}
