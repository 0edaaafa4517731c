#pragma once

#include <QObject>
#include <QPainter>
#include <QString>

#include "AttributeSet.h"
#include "Colour.h"

// A pen owned by a control; changed() tells the owner of every change of one attribute.
// Assigning copies the attributes; the giver keeps its object.
class TPen : public QObject {
    Q_OBJECT
    Q_PROPERTY(Colour colour READ colour WRITE setColour NOTIFY changed)
    Q_PROPERTY(int width READ width WRITE setWidth NOTIFY changed)
    Q_PROPERTY(TPenStyle style READ style WRITE setStyle NOTIFY changed)
    Q_PROPERTY(TPenMode mode READ mode WRITE setMode NOTIFY changed)

public:
    enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
    Q_ENUM(TPenStyle)
    // How the pen's colour combines with the pixels under it (the classic raster operations).
    enum TPenMode {
        pmBlack,
        pmWhite,
        pmNop,
        pmNot,
        pmCopy,
        pmNotCopy,
        pmMergePenNot,
        pmMaskPenNot,
        pmMergeNotPen,
        pmMaskNotPen,
        pmMerge,
        pmNotMerge,
        pmMask,
        pmNotMask,
        pmXor,
        pmNotXor
    };
    Q_ENUM(TPenMode)

    // Black, width 1, solid, copy.
    explicit TPen(QObject* parent = nullptr);

    Colour colour() const { return attributes_.values().colour; }
    int width() const { return attributes_.values().width; }
    TPenStyle style() const { return attributes_.values().style; }
    TPenMode mode() const { return attributes_.values().mode; }

    void setColour(const Colour& colour) { attributes_.set(&Attributes::colour, colour); }
    // Negative widths are ignored; width 0 draws one pixel wide, like width 1.
    void setWidth(int width);
    void setStyle(TPenStyle style) { attributes_.set(&Attributes::style, style); }
    void setMode(TPenMode mode) { attributes_.set(&Attributes::mode, mode); }

    // Copies every attribute of `other`; one changed() if anything differs.
    void assign(const TPen& other) { attributes_.apply(other.attributes_.values()); }
    // Reads the form-file text "clWhite, 1, solid, copy": comma-separated fields in any order,
    // a colour name, an integer width, a style word (solid, dash, dot, dashdot, dashdotdot,
    // clear) and a mode word (copy, notcopy, xor, notxor, merge, notmerge, mask, notmask,
    // mergepennot, maskpennot, mergenotpen, masknotpen, black, white, nop, not). Fields left out
    // keep their value. A field it does not know leaves the pen unchanged and is reported with
    // a warning of the category quorbelix.forms, naming the control and property.
    void setFromText(const QString& text);

    // The painter settings for drawing with this pen.
    QPen toQPen() const;
    QPainter::CompositionMode compositionMode() const;

signals:
    void changed();

private:
    struct Attributes {
        Colour colour = clBlack;
        int width = 1;
        TPenStyle style = psSolid;
        TPenMode mode = pmCopy;
        bool operator==(const Attributes&) const = default;
    };
    static bool readField(Attributes& read, const QString& field, qsizetype index);

    quorbelix::AttributeSet<TPen, Attributes> attributes_{*this};
};
