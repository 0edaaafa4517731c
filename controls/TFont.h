#pragma once

#include <QFont>
#include <QObject>
#include <QString>

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

    QString family() const { return attributes_.family; }
    int pixelHeight() const { return attributes_.pixelHeight; }
    bool bold() const { return attributes_.bold; }
    bool italic() const { return attributes_.italic; }
    bool underline() const { return attributes_.underline; }
    bool strikeOut() const { return attributes_.strikeOut; }
    Colour colour() const { return attributes_.colour; }

    void setFamily(const QString& family);
    // Heights below 1 pixel are ignored.
    void setPixelHeight(int pixels);
    void setBold(bool on);
    void setItalic(bool on);
    void setUnderline(bool on);
    void setStrikeOut(bool on);
    void setColour(const Colour& colour);

    // Copies every attribute of `other`; one changed() if anything differs.
    void assign(const TFont& other);
    // Reads the form-file text "MS Sans Serif, 13px, bold, clWhite": the family first, then in
    // any order a height ending in "px", the words bold, italic, underline and strikeout, and a
    // colour name. The text describes the whole font: a style word left out means that style is
    // off; a height or colour left out keeps the current one. Throws std::invalid_argument on a
    // field it does not know; the font is then unchanged.
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
    void apply(const Attributes& attributes);

    Attributes attributes_;
};
