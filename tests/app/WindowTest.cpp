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
#include <vector>

#include "About.h"
#include "AlignEdit.h"
#include "AppTestSupport.h"

namespace quorbelix::test {
namespace {

struct Place {
    const char* name;
    QRect geometry;
};

// Positions are those of the client area below the menu bar, at 96 dots per inch.
QRect inClientArea(const TForm1& form, const QWidget* widget) {
    return QRect(widget->mapTo(&form, QPoint(0, 0)) - QPoint(0, form.MainMenu1->height()),
                 widget->size());
}

TEST(MainWindow, HoldsEveryControlAtItsPlace) {
    TForm1 form;
    form.show();
    const std::vector<Place> places{
        {"ControlBar1", {0, 0, 281, 26}},   {"Bevel1", {8, 40, 265, 113}},
        {"Bevel3", {104, 56, 73, 41}},      {"AlignEdit7", {112, 64, 57, 26}},
        {"Bevel2", {8, 168, 265, 193}},     {"Label2", {16, 176, 249, 25}},
        {"Label1", {16, 200, 249, 153}},    {"StatusBar1", {0, 378, 281, 19}},
        {"centralwidget", {0, 0, 281, 378}}};
    for (const Place& place : places) {
        const auto* widget = form.findChild<QWidget*>(QString::fromLatin1(place.name));
        ASSERT_NE(widget, nullptr) << place.name;
        EXPECT_EQ(inClientArea(form, widget), place.geometry) << place.name;
    }
    // The plate boxes take the height of their font (automatic size); the rest is fixed.
    const std::array<TAlignEdit*, 6> plates{form.AlignEdit1, form.AlignEdit2, form.AlignEdit3,
                                            form.AlignEdit4, form.AlignEdit5, form.AlignEdit6};
    for (std::size_t i = 0; i < plates.size(); ++i) {
        const QRect box = inClientArea(form, plates[i]);
        EXPECT_EQ(box.topLeft(), QPoint(24 + 40 * static_cast<int>(i), 112)) << i;
        EXPECT_EQ(box.width(), 33) << i;
        EXPECT_TRUE(plates[i]->autoSize());
    }
    EXPECT_FALSE(form.AlignEdit7->autoSize());
    EXPECT_EQ(form.ToolBar1->pos(), QPoint(11, 2));
    EXPECT_EQ(form.StatusPanel0->width(), 90);
    // The client area below the menu bar is 281 x 397.
    EXPECT_EQ(form.size(), QSize(281, form.MainMenu1->height() + 397));
}

TEST(MainWindow, HasAFixedSizeAndNoMaximiseButton) {
    TForm1 form;
    form.show();
    const QSize own = form.size();
    EXPECT_EQ(form.minimumSize(), own);
    EXPECT_EQ(form.maximumSize(), own);
    form.resize(own + QSize(100, 100));
    EXPECT_EQ(form.size(), own);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowSystemMenuHint);
    // Centred on the screen when first shown.
    const QPoint screenCentre = form.screen()->availableGeometry().center();
    EXPECT_LE((form.frameGeometry().center() - screenCentre).manhattanLength(), 2);
}

TEST(MainWindow, ShowsTitleIconColoursAndFonts) {
    TForm1 form;
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Quorbelix 1.0"));
    EXPECT_EQ(form.windowIcon().pixmap(32, 32).size(), QSize(32, 32));
    EXPECT_EQ(form.backgroundRole(), QPalette::Button);

    for (QLabel* label : {form.Label1, form.Label2}) {
        EXPECT_TRUE(label->autoFillBackground());
        EXPECT_EQ(label->palette().color(label->backgroundRole()), QColor(0, 64, 64));
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
    }
    EXPECT_EQ(form.Label1->font().pixelSize(), 13);
    EXPECT_TRUE(form.Label1->font().bold());
    EXPECT_EQ(form.Label2->font().pixelSize(), 11);
    EXPECT_FALSE(form.Label2->font().bold());
    EXPECT_EQ(form.font().pixelSize(), 11);

    // The boxes show black with white bold text from the start, centred, holding "0".
    for (TAlignEdit* box : form.findChildren<TAlignEdit*>()) {
        EXPECT_EQ(box->text(), QStringLiteral("0"));
        EXPECT_EQ(box->alignment(), TAlignEdit::taCenter);
        EXPECT_EQ(box->colorOnNoFocus(), clBlack);
        EXPECT_EQ(box->colorOnFocus(), clBlack);
        EXPECT_EQ(box->font().pixelSize(), 13);
        EXPECT_TRUE(box->font().bold());
        const QImage picture = box->grab().toImage();
        EXPECT_EQ(picture.pixelColor(4, 4), QColor(Qt::black));
    }
    EXPECT_EQ(form.findChildren<TAlignEdit*>().size(), 7);
}

TEST(MainWindow, TabsFromTheTargetThroughThePlates) {
    TForm1 form;
    const std::vector<QWidget*> order{form.AlignEdit7, form.AlignEdit1, form.AlignEdit2,
                                      form.AlignEdit3, form.AlignEdit4, form.AlignEdit5,
                                      form.AlignEdit6};
    for (std::size_t i = 0; i + 1 < order.size(); ++i) {
        QWidget* next = order[i]->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus) {
            next = next->nextInFocusChain();
        }
        EXPECT_EQ(next, order[i + 1]) << i;
    }
}

TEST(MainWindow, StartsWithTheStatusBarFocusedAndItsPanels) {
    TForm1 form;
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(QApplication::focusWidget(), form.StatusBar1);
    EXPECT_EQ(form.StatusPanel0->text(), QStringLiteral("Temps : 60 sec"));
    EXPECT_FALSE(form.StatusPanel1->text().isEmpty());
    EXPECT_TRUE(form.Label1->text().isEmpty());
    EXPECT_TRUE(form.Label2->text().isEmpty());
    EXPECT_EQ(form.solutionList().size(), 0U);
}

TEST(ToolBar, HasTheButtonsInOrderWithTheirTooltipsAndGlyphs) {
    TForm1 form;
    form.show();
    const std::vector<std::pair<const char*, const char*>> expected{
        {"tlbtnEffacer", "Effacer le calcul"},       {"tlbtnNouveau", "Nouveau tirage"},
        {"tlbtnReflexion", "Réflexion 1 minute"},    {nullptr, nullptr},
        {"tlbtnSolutions", "Solution(s) du tirage"}, {"tlbtnPrev", "Solution précedente"},
        {"tlbtnNext", "Solution suivante"},          {nullptr, nullptr},
        {"tlbtnAide", "Aide application"},           {"tlbtnQuitter", "Quitter application"}};
    const QList<QAction*> actions = form.ToolBar1->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(expected.size()));
    std::vector<QImage> glyphs;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QAction* action = actions[static_cast<qsizetype>(i)];
        const auto [name, tip] = expected[i];
        if (name == nullptr) {
            EXPECT_TRUE(action->isSeparator()) << i;
            continue;
        }
        EXPECT_EQ(action->objectName(), QString::fromLatin1(name));
        auto* button = qobject_cast<QToolButton*>(form.ToolBar1->widgetForAction(action));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_TRUE(button->isVisible()) << name << " is not in an overflow menu";
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(tip));
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
        EXPECT_TRUE(button->autoRaise()) << "flat";
        const QPixmap glyph = action->icon().pixmap(16, 16);
        ASSERT_FALSE(glyph.isNull()) << name;
        glyphs.push_back(glyph.toImage());
    }
    EXPECT_EQ(form.ToolBar1->iconSize(), QSize(16, 16));
    // Every role has a glyph of its own, previous and next included.
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        for (std::size_t j = i + 1; j < glyphs.size(); ++j) {
            EXPECT_NE(glyphs[i], glyphs[j]) << i << " " << j;
        }
    }
    // Scalable: drawn afresh at a higher screen scale rather than blown up.
    EXPECT_EQ(form.tlbtnQuitter->icon().pixmap(QSize(16, 16), 2.0).deviceIndependentSize(),
              QSizeF(16, 16));
    EXPECT_EQ(form.tlbtnQuitter->icon().pixmap(QSize(16, 16), 2.0).size(), QSize(32, 32));
}

TEST(Menus, HoldTheItemsWithMnemonicsSeparatorsAndNoShortcuts) {
    TForm1 form;
    using Item = std::pair<const char*, const char*>;
    const std::vector<std::pair<Item, std::vector<Item>>> expected{
        {{"Fichier1", "&Fichier"},
         {{"N2", "&Effacer tirage"}, {"N3", "-"}, {"Quitter1", "&Quitter"}}},
        {{"Edition1", "&Edition"},
         {{"Nouveautirage1", "&Nouveau tirage"},
          {"N4", "-"},
          {"Moderflexion1", "&Mode réflexion"},
          {"N5", "-"},
          {"Solutionsdutirage1", "&Solutions du tirage"},
          {"Solutionprcdente1", "Solution &précédente"},
          {"Solutionsuivante1", "Solution sui&vante"}}},
        {{"Aide1", "&Aide"},
         {{"Rubriquesdelaide1", "&Rubriques de l'aide"},
          {"N1", "-"},
          {"Aproposde1", "A &propos de..."}}}};
    const QList<QAction*> menus = form.MainMenu1->actions();
    ASSERT_EQ(menus.size(), 3);
    for (std::size_t m = 0; m < expected.size(); ++m) {
        QMenu* menu = menus[static_cast<qsizetype>(m)]->menu();
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->objectName(), QString::fromLatin1(expected[m].first.first));
        EXPECT_EQ(menu->title(), QString::fromUtf8(expected[m].first.second));
        const QList<QAction*> items = menu->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(expected[m].second.size()));
        for (std::size_t i = 0; i < expected[m].second.size(); ++i) {
            const auto [name, caption] = expected[m].second[i];
            const QAction* item = items[static_cast<qsizetype>(i)];
            EXPECT_EQ(item->objectName(), QString::fromLatin1(name));
            if (QString::fromLatin1(caption) == QStringLiteral("-")) {
                EXPECT_TRUE(item->isSeparator()) << name;
            } else {
                EXPECT_EQ(item->text(), QString::fromUtf8(caption));
            }
            EXPECT_TRUE(item->shortcut().isEmpty()) << name;
        }
    }
    for (const QAction* action : form.findChildren<QAction*>()) {
        EXPECT_TRUE(action->shortcuts().isEmpty()) << action->objectName().toStdString();
    }
}

TEST(AboutCommand, ShowsTheAboutBoxOfTheWindow) {
    FakePlatform machine;
    ScopedPlatform guard(machine);
    TForm1 form;
    form.show();
    EXPECT_EQ(form.AboutBox1->objectName(), QStringLiteral("AboutBox1"));
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
    EXPECT_EQ(machine.beeps, 1);  // the dialog's greeting: it was made once
    EXPECT_TRUE(form.isVisible());
}

}  // namespace
}  // namespace quorbelix::test
