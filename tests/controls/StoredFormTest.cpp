#include <gtest/gtest.h>

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

}  // namespace
