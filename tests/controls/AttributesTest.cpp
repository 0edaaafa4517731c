#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <stdexcept>

#include "Colour.h"
#include "TBrush.h"
#include "TFont.h"
#include "TPen.h"

namespace {

TEST(Colour, ReadsNamesAndResolvesSystemColoursWhenAsked) {
    EXPECT_EQ(Colour::fromName(u"clBlack"), clBlack);
    EXPECT_EQ(Colour::fromName(u" CLWHITE "), clWhite);
    EXPECT_EQ(Colour::fromName(u"clWindow"), clWindow);
    EXPECT_EQ(Colour::fromName(u"#1a2b3c").resolved(), QColor(0x1a, 0x2b, 0x3c));
    EXPECT_EQ(Colour(Qt::red), Colour::fromName(u"clRed"));
    EXPECT_THROW(Colour::fromName(u"clNoSuchColour"), std::invalid_argument);
    EXPECT_THROW(Colour::fromName(u"#12345g"), std::invalid_argument);
    EXPECT_EQ(clWindow.name(), QStringLiteral("clWindow"));
    EXPECT_EQ(Colour(QColor(1, 2, 3)).name(), QStringLiteral("#010203"));

    EXPECT_TRUE(clWindow.isSystem());
    EXPECT_FALSE(clWhite.isSystem());
    const QPalette original = QApplication::palette();
    QPalette changed = original;
    changed.setColor(QPalette::Base, Qt::darkRed);
    QApplication::setPalette(changed);
    EXPECT_EQ(clWindow.resolved(), QColor(Qt::darkRed));
    QApplication::setPalette(original);
    EXPECT_EQ(clWindow.resolved(), original.color(QPalette::Base));
}

TEST(Font, ReadsItsFormTextAsAWholeFont) {
    TFont font;
    EXPECT_EQ(font.colour(), clWindowText);
    EXPECT_GT(font.pixelHeight(), 0);
    QSignalSpy changes(&font, &TFont::changed);
    font.setFromText(QStringLiteral("MS Sans Serif, 13px, bold, clWhite"));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(font.family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(font.pixelHeight(), 13);
    EXPECT_TRUE(font.bold());
    EXPECT_FALSE(font.italic());
    EXPECT_EQ(font.colour(), clWhite);

    // Style words left out are off; height and colour left out stay.
    font.setFromText(QStringLiteral("Serif, italic, underline, strikeout"));
    EXPECT_FALSE(font.bold());
    EXPECT_TRUE(font.italic() && font.underline() && font.strikeOut());
    EXPECT_EQ(font.pixelHeight(), 13);
    EXPECT_EQ(font.colour(), clWhite);
    EXPECT_THROW(font.setFromText(QStringLiteral("Sans, 12px, wobbly")), std::invalid_argument);
    EXPECT_THROW(font.setFromText(QStringLiteral("Sans, -2px")), std::invalid_argument);
    EXPECT_EQ(font.family(), QStringLiteral("Serif"));

    // A family the system lacks still draws at the asked height.
    TFont missing;
    missing.setFromText(QStringLiteral("No Such Family Anywhere, 17px"));
    EXPECT_EQ(QFontInfo(missing.toQFont()).pixelSize(), 17);
}

TEST(Font, AssignCopiesAndNotifiesEveryChange) {
    TFont given;
    given.setFromText(QStringLiteral("Sans, 21px, bold, #102030"));
    TFont owned;
    QSignalSpy changes(&owned, &TFont::changed);
    owned.assign(given);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(owned.pixelHeight(), 21);
    EXPECT_EQ(owned.colour(), given.colour());
    given.setPixelHeight(30);  // copied, not shared
    EXPECT_EQ(owned.pixelHeight(), 21);
    owned.assign(owned);
    owned.setBold(true);  // no change, no notice
    EXPECT_EQ(changes.count(), 1);
    owned.setItalic(true);
    owned.setColour(clBlack);
    owned.setPixelHeight(0);  // ignored
    EXPECT_EQ(changes.count(), 3);
}

TEST(Pen, TextFieldsLeftOutKeepTheirValues) {
    TPen pen;
    EXPECT_EQ(pen.colour(), clBlack);
    EXPECT_EQ(pen.width(), 1);
    EXPECT_EQ(pen.style(), TPen::psSolid);
    EXPECT_EQ(pen.mode(), TPen::pmCopy);
    QSignalSpy changes(&pen, &TPen::changed);
    pen.setFromText(QStringLiteral("clWhite"));
    EXPECT_EQ(pen.colour(), clWhite);
    EXPECT_EQ(pen.width(), 1);
    pen.setFromText(QStringLiteral("3, dashdot, xor"));
    EXPECT_EQ(pen.colour(), clWhite);
    EXPECT_EQ(pen.width(), 3);
    EXPECT_EQ(pen.style(), TPen::psDashDot);
    EXPECT_EQ(pen.mode(), TPen::pmXor);
    EXPECT_EQ(pen.compositionMode(), QPainter::RasterOp_SourceXorDestination);
    EXPECT_EQ(changes.count(), 2);
    EXPECT_THROW(pen.setFromText(QStringLiteral("2, squiggly")), std::invalid_argument);
    EXPECT_EQ(pen.width(), 3);
    pen.setWidth(-1);
    EXPECT_EQ(pen.width(), 3);

    TPen copy;
    copy.assign(pen);
    EXPECT_EQ(copy.toQPen(), pen.toQPen());
    EXPECT_EQ(copy.toQPen().style(), Qt::DashDotLine);
    EXPECT_FALSE(copy.toQPen().isCosmetic());
}

TEST(Brush, ReadsColourAndStyle) {
    TBrush brush;
    EXPECT_EQ(brush.colour(), clWhite);
    EXPECT_EQ(brush.style(), TBrush::bsSolid);
    brush.setFromText(QStringLiteral("diagcross, #ff0000"));
    EXPECT_EQ(brush.style(), TBrush::bsDiagCross);
    EXPECT_EQ(brush.toQBrush(), QBrush(Qt::red, Qt::DiagCrossPattern));
    brush.setFromText(QStringLiteral("clear"));
    EXPECT_EQ(brush.colour(), Colour(Qt::red));
    EXPECT_THROW(brush.setFromText(QStringLiteral("plaid")), std::invalid_argument);
    TBrush copy;
    QSignalSpy changes(&copy, &TBrush::changed);
    copy.assign(brush);
    EXPECT_EQ(copy.style(), TBrush::bsClear);
    EXPECT_EQ(changes.count(), 1);
}

}  // namespace
