#pragma once

#include <QFont>
#include <QObject>
#include <QString>

#include "AttributeSet.h"
#include "Colour.h"

// A font owned by a control: the control shows it, and learns of every change of one of its
// attributes through changed(). Assigning copies the attributes; the giver keeps its object.
class TFont : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString family READ family WRITE setFamily NOTIFY changed)
    Q_PROPERTY(int pixelHeight READ pixelHeight WRITE setPixelHeight NOTIFY changed)
    Q_PROPERTY(bool bold READ bold WRITE setBold NOTIFY changed)
    Q_PROPERTY(bool italic READ italic WRITE setItalic NOTIFY changed)
    Q_PROPERTY(bool underline READ underline WRITE setUnderline NOTIFY changed)
    Q_PROPERTY(bool strikeOut READ strikeOut WRITE setStrikeOut NOTIFY changed)
    Q_PROPERTY(Colour colour READ colour WRITE setColour NOTIFY changed)

public:
    // The application's default font, in the system's text colour.
    explicit TFont(QObject* parent = nullptr);

    QString family() const { return attributes_.values().family; }
    int pixelHeight() const { return attributes_.values().pixelHeight; }
    bool bold() const { return attributes_.values().bold; }
    bool italic() const { return attributes_.values().italic; }
    bool underline() const { return attributes_.values().underline; }
    bool strikeOut() const { return attributes_.values().strikeOut; }
    Colour colour() const { return attributes_.values().colour; }

    void setFamily(const QString& family) { attributes_.set(&Attributes::family, family); }
    // Heights below 1 pixel are ignored.
    void setPixelHeight(int pixels);
    void setBold(bool on) { attributes_.set(&Attributes::bold, on); }
    void setItalic(bool on) { attributes_.set(&Attributes::italic, on); }
    void setUnderline(bool on) { attributes_.set(&Attributes::underline, on); }
    void setStrikeOut(bool on) { attributes_.set(&Attributes::strikeOut, on); }
    void setColour(const Colour& colour) { attributes_.set(&Attributes::colour, colour); }

    // Copies every attribute of `other`; one changed() if anything differs.
    void assign(const TFont& other) { attributes_.apply(other.attributes_.values()); }
    // Reads the form-file text "MS Sans Serif, 13px, bold, clWhite": the family first, then in
    // any order a height ending in "px", the words bold, italic, underline and strikeout, and a
    // colour name. The text describes the whole font: a style word left out means that style is
    // off; a height or colour left out keeps the current one. A field it does not know leaves
    // the font unchanged and is reported as a warning of the category quorbelix.forms, naming the
    // control and property.
    void setFromText(const QString& text);

    // The font to draw with; a family the system lacks falls back to a face of the same narrow
    // metrics (Arial, Liberation Sans, Nimbus Sans), then to the system's sans-serif.
    QFont toQFont() const;
    // `font` with those fallbacks after its own families.
    static QFont withFallbacks(QFont font);

signals:
    void changed();

private:
    struct Attributes {
        QString family;
        int pixelHeight = 0;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strikeOut = false;
        Colour colour;
        bool operator==(const Attributes&) const = default;
    };
    static bool readField(Attributes& read, const QString& field, qsizetype index);

    quorbelix::AttributeSet<TFont, Attributes> attributes_;
};
