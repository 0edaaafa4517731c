#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <set>

#include "AlignEdit.h"
#include "AppTestSupport.h"
#include "Solver.h"

namespace quorbelix::test {
namespace {

// Three solutions: 2*3=6 6*4=24, 2*4=8 8*3=24, 3*4=12 2*12=24.
constexpr std::array<const char*, 7> threeWays{"2", "3", "4", "0", "0", "0", "24"};
constexpr std::array<const char*, 7> noWay{"1", "1", "1", "1", "1", "1", "999"};

class Commands : public ::testing::Test {
protected:
    Commands() { form.show(); }

    struct State {
        bool think, solve, previous, next;
        bool operator==(const State&) const = default;
    };
    State state() const {
        return {commandEnabled(form.tlbtnReflexion, form.Moderflexion1),
                commandEnabled(form.tlbtnSolutions, form.Solutionsdutirage1),
                commandEnabled(form.tlbtnPrev, form.Solutionprcdente1),
                commandEnabled(form.tlbtnNext, form.Solutionsuivante1)};
    }
    void expectAlwaysEnabled() const {
        EXPECT_TRUE(commandEnabled(form.tlbtnEffacer, form.N2));
        EXPECT_TRUE(commandEnabled(form.tlbtnNouveau, form.Nouveautirage1));
        EXPECT_TRUE(commandEnabled(form.tlbtnAide, form.Rubriquesdelaide1));
        EXPECT_TRUE(commandEnabled(form.tlbtnQuitter, form.Quitter1));
        EXPECT_TRUE(form.Aproposde1->isEnabled());
    }
    // A draw, which enables solving, then the numbers the test needs.
    void enterDraw(const std::array<const char*, 7>& texts) {
        form.Nouveautirage1->trigger();
        setBoxes(form, texts);
    }
    QString position(int shown, std::size_t total) const {
        return QStringLiteral("Solution n°: %1 (Total : %2 solutions)").arg(shown).arg(total);
    }

    ErrorBoxRecorder errors;
    TForm1 form;
};

TEST_F(Commands, FollowTheCommandStateTableOnButtonsAndMenuItems) {
    EXPECT_EQ(state(), (State{false, false, false, false}));  // start-up
    expectAlwaysEnabled();

    clickButton(form, form.tlbtnNouveau);
    EXPECT_EQ(state(), (State{true, true, false, false}));  // new draw

    setBoxes(form, threeWays);
    form.Solutionsdutirage1->trigger();
    EXPECT_EQ(state(), (State{true, true, true, true}));  // solve with solutions

    form.Nouveautirage1->trigger();
    EXPECT_EQ(state(), (State{true, true, true, true}));  // new draw leaves browsing alone

    setBoxes(form, noWay);
    clickButton(form, form.tlbtnSolutions);
    EXPECT_EQ(state(), (State{true, true, false, false}));  // solve with no solution

    clickButton(form, form.tlbtnEffacer);
    EXPECT_EQ(state(), (State{false, false, false, false}));  // clear
    expectAlwaysEnabled();

    // A disabled command does nothing, from its button or its menu item.
    setBoxes(form, threeWays);
    clickButton(form, form.tlbtnSolutions);
    form.Solutionsdutirage1->trigger();
    EXPECT_TRUE(form.Label1->text().isEmpty());
    EXPECT_TRUE(errors.shown.empty());
}

TEST_F(Commands, SolveShowsTheFirstSolutionAndBrowsingMovesWithinTheList) {
    enterDraw(threeWays);
    clickButton(form, form.tlbtnSolutions);
    ASSERT_EQ(form.solutionList().size(), 3U);
    EXPECT_EQ(form.target(), 24);
    EXPECT_EQ(form.currentSolution(), 0);
    EXPECT_EQ(form.Label1->text(), QStringLiteral("2*3=6\n6*4=24"));
    EXPECT_EQ(form.Label2->text(), position(1, 3));

    clickButton(form, form.tlbtnPrev);  // at the start: nothing
    EXPECT_EQ(form.currentSolution(), 0);
    EXPECT_EQ(form.Label2->text(), position(1, 3));

    clickButton(form, form.tlbtnNext);
    EXPECT_EQ(form.Label1->text(), QStringLiteral("2*4=8\n8*3=24"));
    EXPECT_EQ(form.Label2->text(), position(2, 3));
    form.Solutionsuivante1->trigger();
    EXPECT_EQ(form.Label1->text(), QStringLiteral("3*4=12\n2*12=24"));
    EXPECT_EQ(form.Label2->text(), position(3, 3));
    clickButton(form, form.tlbtnNext);  // at the end: nothing, no wrap-around
    EXPECT_EQ(form.currentSolution(), 2);
    EXPECT_EQ(form.Label2->text(), position(3, 3));

    form.Solutionprcdente1->trigger();
    EXPECT_EQ(form.currentSolution(), 1);
    EXPECT_EQ(form.Label1->text(), QStringLiteral("2*4=8\n8*3=24"));

    // Solving again gives the same list and starts over at the first entry.
    clickButton(form, form.tlbtnSolutions);
    EXPECT_EQ(form.solutionList().size(), 3U);
    EXPECT_EQ(form.currentSolution(), 0);
    EXPECT_EQ(form.Label2->text(), position(1, 3));
    EXPECT_TRUE(errors.shown.empty());
}

TEST_F(Commands, SolveReadsAnyIntegerTheBoxesHold) {
    // A negative plate takes part in the search.
    enterDraw({"-5", "10", "0", "0", "0", "0", "5"});
    form.Solutionsdutirage1->trigger();
    ASSERT_EQ(form.solutionList().size(), 1U);
    EXPECT_EQ(form.Label1->text(), QStringLiteral("-5+10=5"));

    // The list is the engine's own for the same numbers, hexadecimal and blanks included.
    setBoxes(form, {" 100", "75", "50", "$19", "0xA", "1", "999"});
    form.Solutionsdutirage1->trigger();
    SolutionList expected;
    Search({100, 75, 50, 25, 10, 1}, 999, expected);
    ASSERT_EQ(form.solutionList().size(), expected.size());
    EXPECT_EQ(form.solutionList().text(0), expected.text(0));
    EXPECT_EQ(form.Label2->text(), position(1, expected.size()));

    // Every box at "0": no solution.
    setBoxes(form, {"0", "0", "0", "0", "0", "0", "0"});
    form.Solutionsdutirage1->trigger();
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Pas de Quorbelix possible !"));
    EXPECT_EQ(form.target(), 0);
    EXPECT_TRUE(errors.shown.empty());
}

TEST_F(Commands, SolveWithNoSolutionEmptiesThePositionTextOfAnEarlierDraw) {
    enterDraw(threeWays);
    clickButton(form, form.tlbtnSolutions);
    clickButton(form, form.tlbtnNext);
    ASSERT_EQ(form.Label2->text(), position(2, 3));

    setBoxes(form, noWay);
    clickButton(form, form.tlbtnSolutions);
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Pas de Quorbelix possible !"));
    EXPECT_TRUE(form.Label2->text().isEmpty());
    EXPECT_TRUE(form.solutionList().empty());
    EXPECT_EQ(form.currentSolution(), 0);
    EXPECT_EQ(form.target(), 999);
}

TEST_F(Commands, ABoxThatIsNoNumberIsReportedAndChangesNothing) {
    enterDraw(threeWays);
    form.Solutionsdutirage1->trigger();
    form.Solutionsuivante1->trigger();
    const QString shownSteps = form.Label1->text();
    const QString shownPosition = form.Label2->text();

    form.AlignEdit3->setText(QStringLiteral("abc"));
    clickButton(form, form.tlbtnSolutions);
    ASSERT_EQ(errors.shown.size(), 1U);
    EXPECT_EQ(errors.shown[0].caption, QStringLiteral("Quorbelix 1.0"));
    EXPECT_EQ(errors.shown[0].text, QStringLiteral("'abc' n'est pas une valeur entière correcte."));
    EXPECT_EQ(errors.shown[0].icon, QMessageBox::Critical);
    EXPECT_EQ(errors.shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    // The list, the display, the index, the target and the commands are as they were...
    EXPECT_EQ(form.solutionList().size(), 3U);
    EXPECT_EQ(form.currentSolution(), 1);
    EXPECT_EQ(form.target(), 24);
    EXPECT_EQ(form.Label1->text(), shownSteps);
    EXPECT_EQ(form.Label2->text(), shownPosition);
    EXPECT_EQ(state(), (State{true, true, true, true}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // ...so browsing goes on over the list the labels show.
    clickButton(form, form.tlbtnPrev);
    EXPECT_EQ(form.Label2->text(), position(1, 3));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("2*3=6\n6*4=24"));
    EXPECT_EQ(errors.shown.size(), 1U);

    // A bad target is reported in the same way and leaves the stored target alone.
    form.AlignEdit3->setText(QStringLiteral("4"));
    form.AlignEdit7->setText(QString());
    form.Solutionsdutirage1->trigger();
    ASSERT_EQ(errors.shown.size(), 2U);
    EXPECT_EQ(errors.shown[1].text, QStringLiteral("'' n'est pas une valeur entière correcte."));
    EXPECT_EQ(form.target(), 24);
    EXPECT_EQ(form.solutionList().size(), 3U);

    // The plates are read first, from plate 1, and the target last.
    setBoxes(form, {"a", "3", "c", "0", "0", "0", "b"});
    form.Solutionsdutirage1->trigger();
    ASSERT_EQ(errors.shown.size(), 3U);
    EXPECT_EQ(errors.shown[2].text, QStringLiteral("'a' n'est pas une valeur entière correcte."));

    // The whole text is named, a NUL included, shown as a replacement character.
    form.AlignEdit1->setText(QStringLiteral("5") + QChar(0) + QStringLiteral("5"));
    form.Solutionsdutirage1->trigger();
    ASSERT_EQ(errors.shown.size(), 4U);
    EXPECT_EQ(errors.shown[3].text,
              QStringLiteral("'5\uFFFD5' n'est pas une valeur entière correcte."));
}

TEST_F(Commands, ClearResetsTheBoardButKeepsTheLastSolve) {
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    enterDraw(threeWays);
    clickButton(form, form.tlbtnSolutions);
    clickButton(form, form.tlbtnNext);
    form.StatusPanel0->setText(QStringLiteral("Temps : 0 sec"));
    form.AlignEdit2->setFocus();

    form.N2->trigger();
    for (TAlignEdit* box : form.findChildren<TAlignEdit*>()) {
        EXPECT_EQ(box->text(), QStringLiteral("0"));
    }
    EXPECT_TRUE(form.Label1->text().isEmpty());
    EXPECT_TRUE(form.Label2->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), form.StatusBar1);
    EXPECT_EQ(form.StatusPanel0->text(), QStringLiteral("Temps : 60 sec"));
    EXPECT_EQ(form.solutionList().size(), 3U);
    EXPECT_EQ(form.currentSolution(), 1);
    EXPECT_EQ(form.target(), 24);

    // A new draw does not bring browsing back: only a solve does.
    form.Nouveautirage1->trigger();
    EXPECT_EQ(state(), (State{true, true, false, false}));
}

TEST_F(Commands, NewDrawFillsTheEmptyPlatesAndANewTargetOnly) {
    setBoxes(form, {"7", "0", "0", "0", "0", "0", "x"});
    form.Label1->setText(QStringLiteral("kept"));
    clickButton(form, form.tlbtnNouveau);

    EXPECT_EQ(form.AlignEdit1->text(), QStringLiteral("7"));
    for (TAlignEdit* box :
         {form.AlignEdit2, form.AlignEdit3, form.AlignEdit4, form.AlignEdit5, form.AlignEdit6}) {
        EXPECT_GT(box->text().toInt(), 0) << box->text().toStdString();
    }
    bool number = false;
    form.AlignEdit7->text().toInt(&number);
    EXPECT_TRUE(number);
    EXPECT_EQ(form.Label1->text(), QStringLiteral("kept"));
    EXPECT_EQ(form.StatusPanel0->text(), QStringLiteral("Temps : 60 sec"));
}

TEST_F(Commands, NewDrawLeavesTheCaretAndUndoOfABoxItDoesNotFill) {
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    TAlignEdit* box = form.AlignEdit1;
    box->setFocus();
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, QStringLiteral("57"));

    form.Nouveautirage1->trigger();
    EXPECT_TRUE(box->document()->isUndoAvailable());
    QTest::keyClick(box, Qt::Key_8);
    EXPECT_EQ(box->text(), QStringLiteral("578"));
}

TEST_F(Commands, DrawsSeededFromTheClockDiffer) {
    std::set<QString> draws;
    for (int i = 0; i < 5; ++i) {
        form.N2->trigger();
        form.Nouveautirage1->trigger();
        QString draw;
        for (const TAlignEdit* box : form.findChildren<TAlignEdit*>()) {
            draw += box->text() + QLatin1Char('|');
        }
        draws.insert(draw);
    }
    EXPECT_GT(draws.size(), 1U);
}

TEST_F(Commands, QuitClosesTheWindow) {
    form.show();
    ASSERT_TRUE(form.isVisible());
    clickButton(form, form.tlbtnQuitter);
    EXPECT_FALSE(form.isVisible());
    form.show();
    form.Quitter1->trigger();
    EXPECT_FALSE(form.isVisible());
}

}  // namespace
}  // namespace quorbelix::test
