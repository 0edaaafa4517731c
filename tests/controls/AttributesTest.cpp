#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QSignalSpy>

#include "Colour.h"
#include "TBrush.h"
#include "TFont.h"
#include "TPen.h"
#include "WarningLog.h"

namespace {

TEST(Colour, ReadsNames) {
    EXPECT_EQ(Colour::fromName(u" CLWHITE "), clWhite);
    EXPECT_EQ(Colour::fromName(u"clWindow"), clWindow);
    EXPECT_EQ(Colour::fromName(u"#1a2b3c")->resolved(), QColor(0x1a, 0x2b, 0x3c));
    EXPECT_EQ(Colour(Qt::red), Colour::fromName(u"clRed"));
    for (const char16_t* unknown : {u"clNoSuchColour", u"#12345g", u"#+12345", u"#12345", u""}) {
        EXPECT_FALSE(Colour::fromName(unknown).has_value());
    }
    EXPECT_EQ(Colour::fromName(clWindow.name()), clWindow);
    EXPECT_EQ(clWindow.resolved(), QApplication::palette().color(QPalette::Base));
}

TEST(Font, FormTextDescribesTheWholeFont) {
    TFont font;
    QSignalSpy changes(&font, &TFont::changed);
    font.setFromText(QStringLiteral("MS Sans Serif, 13px, bold, clWhite"));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(font.family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(font.pixelHeight(), 13);
    EXPECT_TRUE(font.bold());
    EXPECT_EQ(font.colour(), clWhite);
    // A family the system lacks still draws at the asked height.
    EXPECT_EQ(QFontInfo(font.toQFont()).pixelSize(), 13);

    // Style words left out are off; height and colour left out stay.
    font.setFromText(QStringLiteral("Serif, italic, underline, strikeout"));
    EXPECT_FALSE(font.bold());
    EXPECT_TRUE(font.italic() && font.underline() && font.strikeOut());
    EXPECT_EQ(font.pixelHeight(), 13);
    EXPECT_EQ(font.colour(), clWhite);
    {
        // A field it does not know costs the whole text, fields before it included.
        WarningLog log;
        font.setFromText(QStringLiteral("Sans, 12px, wobbly"));
        font.setFromText(QStringLiteral("Sans, -2px"));
        EXPECT_EQ(log.warnings,
                  QStringList({QStringLiteral("TFont: unknown word \"wobbly\" in \"Sans, 12px, "
                                              "wobbly\"; the value is kept"),
                               QStringLiteral("TFont: unknown word \"-2px\" in \"Sans, -2px\"; the "
                                              "value is kept")}));
    }
    EXPECT_EQ(font.family(), QStringLiteral("Serif"));
    EXPECT_EQ(font.pixelHeight(), 13);
    EXPECT_TRUE(font.italic());

    // Assigning copies; the giver keeps its own font.
    TFont owned;
    QSignalSpy ownedChanges(&owned, &TFont::changed);
    owned.assign(font);
    font.setPixelHeight(30);
    EXPECT_EQ(owned.pixelHeight(), 13);
    owned.setItalic(true);  // no change, no notice
    EXPECT_EQ(ownedChanges.count(), 1);
}

TEST(PenAndBrush, FormTextFieldsLeftOutKeepTheirValues) {
    TPen pen;
    QSignalSpy changes(&pen, &TPen::changed);
    pen.setFromText(QStringLiteral("clWhite"));
    pen.setFromText(QStringLiteral("3, dashdot, xor"));
    EXPECT_EQ(pen.colour(), clWhite);
    EXPECT_EQ(pen.width(), 3);
    EXPECT_EQ(pen.toQPen().style(), Qt::DashDotLine);
    EXPECT_EQ(pen.compositionMode(), QPainter::RasterOp_SourceXorDestination);
    EXPECT_EQ(changes.count(), 2);
    // The words are the names of the values without their prefix, letter case ignored.
    pen.setFromText(QStringLiteral("MergePenNot, dashdotdot"));
    EXPECT_EQ(pen.mode(), TPen::pmMergePenNot);
    EXPECT_EQ(pen.style(), TPen::psDashDotDot);
    WarningLog log;
    pen.setFromText(QStringLiteral("2, squiggly"));
    pen.setFromText(QStringLiteral("-1"));
    EXPECT_EQ(pen.width(), 3);
    EXPECT_EQ(changes.count(), 3);
    TPen copy;
    copy.assign(pen);
    EXPECT_EQ(copy.toQPen(), pen.toQPen());

    TBrush brush;
    brush.setFromText(QStringLiteral("diagcross, #ff0000"));
    EXPECT_EQ(brush.toQBrush(), QBrush(Qt::red, Qt::DiagCrossPattern));
    brush.setFromText(QStringLiteral("clear"));
    EXPECT_EQ(brush.colour(), Colour(Qt::red));
    brush.setFromText(QStringLiteral("plaid"));
    EXPECT_EQ(brush.toQBrush(), QBrush(Qt::red, Qt::NoBrush));
    EXPECT_EQ(log.warnings.size(), 3);
}

}  // namespace
