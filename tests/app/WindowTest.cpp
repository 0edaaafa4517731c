#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <memory>
#include <stdexcept>
#include <vector>

#include "About.h"
#include "AlignEdit.h"
#include "AppTestSupport.h"

namespace quorbelix::test {
namespace {

// Where a control lies in the client area below the menu bar.
QRect inClientArea(const TForm1& form, const QWidget* widget) {
    return {widget->mapTo(&form, QPoint(0, -form.MainMenu1->height())), widget->size()};
}

TEST(MainWindow, HoldsEveryControlAtItsPlaceInAFixedCentredWindow) {
    TForm1 form;
    form.show();
    const std::vector<std::pair<QWidget*, QRect>> places{
        {form.centralwidget, {0, 0, 281, 378}}, {form.ControlBar1, {0, 0, 281, 26}},
        {form.ToolBar1, {11, 2, 200, 22}},      {form.Bevel1, {8, 40, 265, 113}},
        {form.Bevel3, {104, 56, 73, 41}},       {form.AlignEdit7, {112, 64, 57, 26}},
        {form.Bevel2, {8, 168, 265, 193}},      {form.Label2, {16, 176, 249, 25}},
        {form.Label1, {16, 200, 249, 153}},     {form.StatusBar1, {0, 378, 281, 19}}};
    for (const auto& [widget, place] : places) {
        EXPECT_EQ(inClientArea(form, widget), place) << widget->objectName().toStdString();
    }
    // The plate boxes take the height of their font (automatic size on).
    int left = 24;
    for (TAlignEdit* box : {form.AlignEdit1, form.AlignEdit2, form.AlignEdit3, form.AlignEdit4,
                            form.AlignEdit5, form.AlignEdit6}) {
        EXPECT_EQ(inClientArea(form, box).topLeft(), QPoint(left, 112));
        EXPECT_EQ(box->width(), 33);
        left += 40;
    }
    EXPECT_EQ(form.StatusPanel0->width(), 90);

    // The client area below the menu bar is 281 x 397, and no way of resizing changes it.
    const QSize own(281, form.MainMenu1->height() + 397);
    EXPECT_EQ(form.size(), own);
    EXPECT_EQ(form.minimumSize(), own);
    EXPECT_EQ(form.maximumSize(), own);
    form.resize(own * 2);
    EXPECT_EQ(form.size(), own);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    const QPoint screenCentre = form.screen()->availableGeometry().center();
    EXPECT_LE((form.frameGeometry().center() - screenCentre).manhattanLength(), 2);
}

TEST(MainWindow, StartsWithItsTitleColoursFontsAndFocus) {
    TForm1 form;
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Quorbelix 1.0"));
    EXPECT_EQ(form.windowIcon().pixmap(32, 32).size(), QSize(32, 32));
    EXPECT_EQ(form.backgroundRole(), QPalette::Button);
    EXPECT_EQ(form.font().pixelSize(), 11);
    // No box is highlighted at start.
    EXPECT_EQ(QApplication::focusWidget(), form.StatusBar1);
    EXPECT_EQ(form.StatusPanel0->text(), QStringLiteral("Temps : 60 sec"));
    EXPECT_FALSE(form.StatusPanel1->text().isEmpty());

    for (QLabel* label : {form.Label1, form.Label2}) {
        const QImage picture = label->grab().toImage();
        EXPECT_EQ(picture.pixelColor(picture.width() - 2, picture.height() - 2), QColor(0, 64, 64));
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
        EXPECT_TRUE(label->text().isEmpty());
    }
    EXPECT_EQ(form.Label1->font().pixelSize(), 13);
    EXPECT_TRUE(form.Label1->font().bold());
    EXPECT_EQ(form.Label2->font().pixelSize(), 11);
    EXPECT_FALSE(form.Label2->font().bold());

    // The seven boxes show black with white bold text from the start.
    ASSERT_EQ(form.findChildren<TAlignEdit*>().size(), 7);
    for (TAlignEdit* box : form.findChildren<TAlignEdit*>()) {
        EXPECT_EQ(box->text(), QStringLiteral("0"));
        EXPECT_EQ(box->alignment(), TAlignEdit::taCenter);
        EXPECT_EQ(box->colorOnFocus(), clBlack);
        EXPECT_EQ(box->fontOnFocus()->colour(), clWhite);
        EXPECT_EQ(box->font().pixelSize(), 13);
        EXPECT_TRUE(box->font().bold());
        EXPECT_EQ(box->grab().toImage().pixelColor(4, 4), QColor(Qt::black));
    }
    EXPECT_FALSE(form.AlignEdit7->autoSize());

    // Tab goes from the target through the plates.
    QWidget* box = form.AlignEdit7;
    for (QWidget* next : {form.AlignEdit1, form.AlignEdit2, form.AlignEdit3, form.AlignEdit4,
                          form.AlignEdit5, form.AlignEdit6}) {
        do {
            box = box->nextInFocusChain();
        } while (box->focusPolicy() == Qt::NoFocus);
        EXPECT_EQ(box, next);
    }
}

TEST(ToolBar, HasFlatButtonsInOrderWithTheirTooltipsAndGlyphs) {
    TForm1 form;
    form.show();
    QStringList buttons;
    for (QAction* action : form.ToolBar1->actions()) {
        auto* button = qobject_cast<QToolButton*>(form.ToolBar1->widgetForAction(action));
        if (action->isSeparator()) {
            buttons << QStringLiteral("-");
        } else if (button != nullptr && button->isVisible() && button->autoRaise() &&
                   button->toolButtonStyle() == Qt::ToolButtonIconOnly) {
            buttons << action->objectName() + QLatin1Char('|') + button->toolTip();
        }
    }
    const QStringList expected{QStringLiteral("tlbtnEffacer|Effacer le calcul"),
                               QStringLiteral("tlbtnNouveau|Nouveau tirage"),
                               QStringLiteral("tlbtnReflexion|Réflexion 1 minute"),
                               QStringLiteral("-"),
                               QStringLiteral("tlbtnSolutions|Solution(s) du tirage"),
                               QStringLiteral("tlbtnPrev|Solution précedente"),
                               QStringLiteral("tlbtnNext|Solution suivante"),
                               QStringLiteral("-"),
                               QStringLiteral("tlbtnAide|Aide application"),
                               QStringLiteral("tlbtnQuitter|Quitter application")};
    EXPECT_EQ(buttons, expected);
    // A separator is an 8-pixel gap.
    EXPECT_EQ(form.ToolBar1->widgetForAction(form.tlbtnSolutions)->x() -
                  form.ToolBar1->widgetForAction(form.tlbtnReflexion)->geometry().right(),
              9);

    // Each role has a glyph of its own, drawn afresh rather than blown up at a higher scale.
    const QImage previous = form.tlbtnPrev->icon().pixmap(16, 16).toImage();
    EXPECT_FALSE(previous.isNull());
    EXPECT_NE(previous, form.tlbtnNext->icon().pixmap(16, 16).toImage());
    EXPECT_EQ(form.tlbtnQuitter->icon().pixmap(QSize(16, 16), 2.0).size(), QSize(32, 32));
}

TEST(Menus, HoldTheItemsWithMnemonicsSeparatorsAndNoShortcuts) {
    TForm1 form;
    QStringList items;
    for (const QAction* menuAction : form.MainMenu1->actions()) {
        const QMenu* menu = menuAction->menu();
        items << menu->objectName() + QLatin1Char('|') + menu->title();
        for (const QAction* item : menu->actions()) {
            items << QStringLiteral("  ") + item->objectName() + QLatin1Char('|') +
                         (item->isSeparator() ? QStringLiteral("-") : item->text());
        }
    }
    const QStringList expected{QStringLiteral("Fichier1|&Fichier"),
                               QStringLiteral("  N2|&Effacer tirage"),
                               QStringLiteral("  N3|-"),
                               QStringLiteral("  Quitter1|&Quitter"),
                               QStringLiteral("Edition1|&Edition"),
                               QStringLiteral("  Nouveautirage1|&Nouveau tirage"),
                               QStringLiteral("  N4|-"),
                               QStringLiteral("  Moderflexion1|&Mode réflexion"),
                               QStringLiteral("  N5|-"),
                               QStringLiteral("  Solutionsdutirage1|&Solutions du tirage"),
                               QStringLiteral("  Solutionprcdente1|Solution &précédente"),
                               QStringLiteral("  Solutionsuivante1|Solution sui&vante"),
                               QStringLiteral("Aide1|&Aide"),
                               QStringLiteral("  Rubriquesdelaide1|&Rubriques de l'aide"),
                               QStringLiteral("  N1|-"),
                               QStringLiteral("  Aproposde1|A &propos de...")};
    EXPECT_EQ(items, expected);
    for (const QAction* action : form.findChildren<QAction*>()) {
        EXPECT_TRUE(action->shortcuts().isEmpty()) << action->objectName().toStdString();
    }
}

// Qt supplies the texts of standard buttons and of the boxes' context menus: French too.
TEST(MainWindow, ShowsQtsOwnTextsInFrench) {
    TForm1 form;
    const std::unique_ptr<QMenu> menu(form.AlignEdit1->createStandardContextMenu());
    QStringList actions;
    for (const QAction* action : menu->actions()) {
        actions << action->text();
    }
    EXPECT_TRUE(actions.contains(QStringLiteral("Cop&ier\tCtrl+C")))
        << actions.join(u'|').toStdString();
    const auto box = makeErrorBox(std::make_exception_ptr(std::runtime_error("x")));
    box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box->button(QMessageBox::Cancel)->text(), QStringLiteral("Annuler"));
}

TEST(AboutCommand, ShowsTheAboutBoxOfTheWindow) {
    FakePlatform machine;
    ScopedPlatform guard(machine);
    TForm1 form;
    form.show();
    EXPECT_EQ(form.AboutBox1->productName(), QStringLiteral("Quorbelix"));
    EXPECT_EQ(form.AboutBox1->version(), QStringLiteral("Version 1.00"));
    EXPECT_FALSE(form.AboutBox1->copyright().isEmpty());

    QStringList shown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            for (const QLabel* label : dialog->findChildren<QLabel*>()) {
                shown << label->text();
            }
            dialog->close();
        }
    });
    closer.start(10);
    form.Aproposde1->trigger();
    EXPECT_TRUE(shown.contains(QStringLiteral("Quorbelix")));
    EXPECT_TRUE(shown.contains(QStringLiteral("Version 1.00")));
    EXPECT_TRUE(shown.contains(form.AboutBox1->copyright()));
    EXPECT_EQ(machine.beeps, 1);  // one dialog made
}

}  // namespace
}  // namespace quorbelix::test
