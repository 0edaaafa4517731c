#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "PlateSet.h"
#include "SolutionList.h"
#include "ui__Quorbelix.h"

class QAction;

// The game's one window: the six plate boxes and the target box, the solution display, the tool
// bar, menus and status bar, and the handlers of the commands. Its controls are the named fields
// of its layout, _Quorbelix.ui.
class TForm1 : public QMainWindow, public Ui::TForm1 {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    quorbelix::Target target() const { return Target; }
    const quorbelix::SolutionList& solutionList() const { return *SolutionList; }
    std::int32_t currentSolution() const { return CurrentSolution; }

public slots:
    // Each command's handler, shared by its tool-bar button and its menu item.
    void tlbtnEffacerClick();
    void tlbtnNouveauClick();
    void tlbtnReflexionClick();
    void tlbtnSolutionsClick();
    void tlbtnPrevClick();
    void tlbtnNextClick();
    void tlbtnAideClick();
    void tlbtnQuitterClick();
    void Aproposde1Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class Countdown;

    void FormCreate();
    void FormDestroy();
    void connectCommand(std::initializer_list<QAction*> sources, void (TForm1::*handler)());
    // The six plate boxes in order, then the target box.
    std::array<TAlignEdit*, 7> numberBoxes() const;
    void showSecondsLeft(int seconds);
    // The solution label and the label above it, as shown and as a screen reader hears them.
    void showSolution(const QString& text);
    void showProgress(const QString& text);
    void showCurrentSolution();

    quorbelix::Target Target = 0;
    std::unique_ptr<quorbelix::SolutionList> SolutionList;
    std::int32_t CurrentSolution = 0;

    // Think countdowns running (they nest), and a close asked for meanwhile.
    int countdowns_ = 0;
    bool closeDeferred_ = false;
};
