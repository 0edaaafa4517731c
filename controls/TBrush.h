#pragma once

#include <QBrush>
#include <QObject>
#include <QString>

#include "AttributeSet.h"
#include "Colour.h"

// A brush owned by a control; changed() tells the owner of every change of one attribute.
// Assigning copies the attributes; the giver keeps its object.
class TBrush : public QObject {
    Q_OBJECT
    Q_PROPERTY(Colour colour READ colour WRITE setColour NOTIFY changed)
    Q_PROPERTY(TBrushStyle style READ style WRITE setStyle NOTIFY changed)

public:
    enum TBrushStyle {
        bsSolid,
        bsClear,
        bsHorizontal,
        bsVertical,
        bsFDiagonal,
        bsBDiagonal,
        bsCross,
        bsDiagCross
    };
    Q_ENUM(TBrushStyle)

    // White, solid.
    explicit TBrush(QObject* parent = nullptr);

    Colour colour() const { return attributes_.values().colour; }
    TBrushStyle style() const { return attributes_.values().style; }

    void setColour(const Colour& colour) { attributes_.set(&Attributes::colour, colour); }
    void setStyle(TBrushStyle style) { attributes_.set(&Attributes::style, style); }

    // Copies every attribute of `other`; one changed() if anything differs.
    void assign(const TBrush& other) { attributes_.apply(other.attributes_.values()); }
    // Reads the form-file text "clWhite, solid": a colour name and a style word (solid, clear,
    // horizontal, vertical, fdiagonal, bdiagonal, cross, diagcross), in any order. Fields left
    // out keep their value. A field it does not know leaves the brush unchanged and is reported
    // as a warning of the category quorbelix.forms, naming the control and property.
    void setFromText(const QString& text);

    QBrush toQBrush() const;

signals:
    void changed();

private:
    struct Attributes {
        Colour colour = clWhite;
        TBrushStyle style = bsSolid;
        bool operator==(const Attributes&) const = default;
    };
    static bool readField(Attributes& read, const QString& field, qsizetype index);

    quorbelix::AttributeSet<TBrush, Attributes> attributes_{*this};
};
