#include "TPen.h"

#include <array>
#include <stdexcept>

#include "AttributeEdit.h"

namespace {

constexpr std::array<quorbelix::AttributeWord<TPen::TPenStyle>, 6> styleWords{{
    {"solid", TPen::psSolid},
    {"dash", TPen::psDash},
    {"dot", TPen::psDot},
    {"dashdot", TPen::psDashDot},
    {"dashdotdot", TPen::psDashDotDot},
    {"clear", TPen::psClear},
}};

constexpr std::array<quorbelix::AttributeWord<TPen::TPenMode>, 16> modeWords{{
    {"black", TPen::pmBlack},
    {"white", TPen::pmWhite},
    {"nop", TPen::pmNop},
    {"not", TPen::pmNot},
    {"copy", TPen::pmCopy},
    {"notcopy", TPen::pmNotCopy},
    {"mergepennot", TPen::pmMergePenNot},
    {"maskpennot", TPen::pmMaskPenNot},
    {"mergenotpen", TPen::pmMergeNotPen},
    {"masknotpen", TPen::pmMaskNotPen},
    {"merge", TPen::pmMerge},
    {"notmerge", TPen::pmNotMerge},
    {"mask", TPen::pmMask},
    {"notmask", TPen::pmNotMask},
    {"xor", TPen::pmXor},
    {"notxor", TPen::pmNotXor},
}};

}  // namespace

TPen::TPen(QObject* parent) : QObject(parent) {}

void TPen::apply(const Attributes& attributes) {
    if (attributes == attributes_) {
        return;
    }
    attributes_ = attributes;
    emit changed();
}

void TPen::setColour(const Colour& colour) {
    apply(quorbelix::withAttribute(attributes_, &Attributes::colour, colour));
}

void TPen::setWidth(int width) {
    if (width < 0) {
        return;
    }
    apply(quorbelix::withAttribute(attributes_, &Attributes::width, width));
}

void TPen::setStyle(TPenStyle style) {
    apply(quorbelix::withAttribute(attributes_, &Attributes::style, style));
}

void TPen::setMode(TPenMode mode) {
    apply(quorbelix::withAttribute(attributes_, &Attributes::mode, mode));
}

void TPen::assign(const TPen& other) {
    apply(other.attributes_);
}

void TPen::setFromText(const QString& text) {
    Attributes read = attributes_;
    for (const QString& rawField : text.split(u',', Qt::SkipEmptyParts)) {
        const QString field = rawField.trimmed().toLower();
        bool isWidth = false;
        const int width = field.toInt(&isWidth);
        if (isWidth) {
            if (width < 0) {
                throw std::invalid_argument("bad pen width: " + field.toStdString());
            }
            read.width = width;
            continue;
        }
        if (const auto style = quorbelix::valueOfWord(styleWords, field)) {
            read.style = *style;
        } else if (const auto mode = quorbelix::valueOfWord(modeWords, field)) {
            read.mode = *mode;
        } else {
            read.colour = Colour::fromName(field);
        }
    }
    apply(read);
}

QPen TPen::toQPen() const {
    static constexpr std::array<Qt::PenStyle, 6> qtStyles{
        Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen};
    QPen pen(attributes_.colour.resolved(), attributes_.width, qtStyles[attributes_.style],
             Qt::FlatCap, Qt::MiterJoin);
    // The flat cap leaves a segment's end point undrawn, as the classic LineTo does. Width 0
    // and 1 both draw single pixels, whatever the painter's transformation.
    pen.setCosmetic(attributes_.width <= 1);
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
    return operations[attributes_.mode];
}
