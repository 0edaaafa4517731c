#include <gtest/gtest.h>

#include "WarningLog.h"
#include "ui_StoredForm.h"

namespace {

TEST(StoredForm, SetsTheControlsFromTheirStoredText) {
    QWidget form;
    Ui::StoredForm ui;
    ui.setupUi(&form);
    EXPECT_EQ(ui.Edit1->alignment(), TAlignEdit::taCenter);
    EXPECT_EQ(ui.Edit1->colorOnNoFocus(), clBlack);
    EXPECT_EQ(ui.Edit1->fontOnNoFocus()->pixelHeight(), 13);
    EXPECT_EQ(ui.Line1->pen()->colour(), clWhite);
    EXPECT_EQ(ui.Line1->line(), TLine::ltHorizontal);
}

// A typo in a form file reaches the control as the text uic passes to its setter.
TEST(StoredForm, ATypoWarnsWhereItIsAndKeepsTheValue) {
    QWidget form;
    Ui::StoredForm ui;
    ui.setupUi(&form);
    WarningLog log;
    ui.Edit1->setColorOnNoFocus(QStringLiteral("clBlakc"));
    ui.Edit1->setFontOnFocus(QStringLiteral("MS Sans Serif, 20px, bodl, clBlack"));
    ui.Line1->setPen(QStringLiteral("clWhtie, 2"));
    ui.Line1->setBrush(QStringLiteral("clBlack, claer"));

    EXPECT_EQ(log.warnings,
              QStringList({
                  QStringLiteral("TAlignEdit \"Edit1\" in \"StoredForm\", property ColorOnNoFocus: "
                                 "unknown word \"clBlakc\" in \"clBlakc\"; the value is kept"),
                  QStringLiteral("TAlignEdit \"Edit1\" in \"StoredForm\", property FontOnFocus: "
                                 "unknown word \"bodl\" in \"MS Sans Serif, 20px, bodl, clBlack\"; "
                                 "the value is kept"),
                  QStringLiteral("TLine \"Line1\" in \"StoredForm\", property Pen: unknown word "
                                 "\"clWhtie\" in \"clWhtie, 2\"; the value is kept"),
                  QStringLiteral("TLine \"Line1\" in \"StoredForm\", property Brush: unknown word "
                                 "\"claer\" in \"clBlack, claer\"; the value is kept"),
              }));
    EXPECT_EQ(ui.Edit1->colorOnNoFocus(), clBlack);
    EXPECT_EQ(ui.Edit1->fontOnFocus()->pixelHeight(), 13);
    EXPECT_EQ(ui.Line1->pen()->colour(), clWhite);
    EXPECT_EQ(ui.Line1->pen()->width(), 1);
    EXPECT_EQ(ui.Line1->brush()->style(), TBrush::bsClear);
}

}  // namespace
