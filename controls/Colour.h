#pragma once

#include <QColor>
#include <QPalette>
#include <QRgb>
#include <QString>
#include <QStringView>
#include <optional>

// A colour as the controls store it: either a fixed RGB value or a reference to one of the
// system's colours (a role of the application palette). A system colour is looked up when it
// is shown, so a control painted in clWindow follows a change of the palette.
class Colour {
public:
    constexpr Colour() = default;
    // A fixed colour; implicit so that a QColor can be given wherever a Colour is expected.
    Colour(const QColor& rgb) : rgb_(rgb.rgb()) {}
    Colour(Qt::GlobalColor rgb) : Colour(QColor(rgb)) {}

    static constexpr Colour fromRgb(QRgb rgb) { return Colour(rgb, noRole); }
    static constexpr Colour system(QPalette::ColorRole role) {
        return Colour(0xff000000u, static_cast<int>(role));
    }
    // "clBlack", "clWhite", "clWindow", the other names listed in Colour.cpp (letter case
    // ignored) or "#rrggbb"; nothing for anything else.
    static std::optional<Colour> fromName(QStringView name);

    constexpr bool isSystem() const { return role_ != noRole; }
    // Meaningful only for a system colour.
    constexpr QPalette::ColorRole role() const { return static_cast<QPalette::ColorRole>(role_); }
    // The colour to paint with now: the value itself, or the application palette's colour
    // for the referenced role.
    QColor resolved() const;
    // The name fromName() reads back ("clWindow", "#1a2b3c").
    QString name() const;

    friend constexpr bool operator==(const Colour&, const Colour&) = default;

private:
    static constexpr int noRole = -1;
    constexpr Colour(QRgb rgb, int role) : rgb_(rgb), role_(role) {}

    QRgb rgb_ = 0xff000000u;
    int role_ = noRole;
};

inline constexpr Colour clBlack = Colour::fromRgb(0xff000000u);
inline constexpr Colour clWhite = Colour::fromRgb(0xffffffffu);
// The system's window background: the colour behind the text of entry boxes.
inline constexpr Colour clWindow = Colour::system(QPalette::Base);
// The system's text colour on that background.
inline constexpr Colour clWindowText = Colour::system(QPalette::Text);
