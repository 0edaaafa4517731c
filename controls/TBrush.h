#pragma once

#include <QBrush>
#include <QObject>
#include <QString>

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

    Colour colour() const { return attributes_.colour; }
    TBrushStyle style() const { return attributes_.style; }

    void setColour(const Colour& colour);
    void setStyle(TBrushStyle style);

    // Copies every attribute of `other`; one changed() if anything differs.
    void assign(const TBrush& other);
    // Reads the form-file text "clWhite, solid": a colour name and a style word (solid, clear,
    // horizontal, vertical, fdiagonal, bdiagonal, cross, diagcross), in any order. Fields left
    // out keep their value. Throws std::invalid_argument on a field it does not know.
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
    void apply(const Attributes& attributes);

    Attributes attributes_;
};
