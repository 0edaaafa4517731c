#include "TPen.h"

#include <array>

TPen::TPen(QObject* parent) : QObject(parent) {}

void TPen::setWidth(int width) {
    if (width >= 0) {
        attributes_.set(&Attributes::width, width);
    }
}

void TPen::setFromText(const QString& text) {
    attributes_.read(text, &TPen::readField);
}

bool TPen::readField(Attributes& read, const QString& field, qsizetype) {
    bool isWidth = false;
    const int width = field.toInt(&isWidth);
    if (isWidth) {
        read.width = width;
        return width >= 0;
    }
    if (const auto style = quorbelix::enumOfWord<TPenStyle>(field)) {
        read.style = *style;
    } else if (const auto mode = quorbelix::enumOfWord<TPenMode>(field)) {
        read.mode = *mode;
    } else {
        return quorbelix::readColour(read.colour, field);
    }
    return true;
}

QPen TPen::toQPen() const {
    static constexpr std::array<Qt::PenStyle, 6> qtStyles{
        Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen};
    QPen pen(colour().resolved(), width(), qtStyles[style()], Qt::FlatCap, Qt::MiterJoin);
    // The flat cap leaves a segment's end point undrawn, as the classic LineTo does. Width 0
    // and 1 both draw single pixels, whatever the painter's transformation.
    pen.setCosmetic(width() <= 1);
    return pen;
}

QPainter::CompositionMode TPen::compositionMode() const {
    static constexpr std::array<QPainter::CompositionMode, 16> operations{
        QPainter::RasterOp_ClearDestination,       QPainter::RasterOp_SetDestination,
        QPainter::CompositionMode_Destination,     QPainter::RasterOp_NotDestination,
        QPainter::CompositionMode_SourceOver,      QPainter::RasterOp_NotSource,
        QPainter::RasterOp_SourceOrNotDestination, QPainter::RasterOp_SourceAndNotDestination,
        QPainter::RasterOp_NotSourceOrDestination, QPainter::RasterOp_NotSourceAndDestination,
        QPainter::RasterOp_SourceOrDestination,    QPainter::RasterOp_NotSourceAndNotDestination,
        QPainter::RasterOp_SourceAndDestination,   QPainter::RasterOp_NotSourceOrNotDestination,
        QPainter::RasterOp_SourceXorDestination,   QPainter::RasterOp_NotSourceXorDestination,
    };
    return operations[mode()];
}
