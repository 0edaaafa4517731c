#include "_Quorbelix.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QStyle>
#include <array>
#include <string>

#include "About.h"
#include "AlignEdit.h"
#include "Application.h"
#include "Conversion.h"
#include "Draw.h"
#include "PumpDelay.h"
#include "QuorbelixVersion.h"
#include "Solver.h"
#include "TFont.h"

namespace {

// A font given as a form-file text ("MS Sans Serif, 13px, bold"): the form was drawn at 96 dots
// per inch in pixel heights, which a .ui file cannot hold.
QFont fontFromText(const QString& text) {
    TFont font;
    font.setFromText(text);
    return font.toQFont();
}

void enableCommand(QAction* button, QAction* item, bool enabled) {
    button->setEnabled(enabled);
    item->setEnabled(enabled);
}

// The hourglass for as long as it lives, whatever ends the work.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

// One think countdown in progress. A close asked for meanwhile waits for the last one to end,
// however it ends, and then runs once the handler has returned.
class TForm1::Countdown {
public:
    explicit Countdown(TForm1& form) : form_(form) { ++form_.countdowns_; }
    ~Countdown() {
        if (--form_.countdowns_ == 0 && form_.closeDeferred_) {
            form_.closeDeferred_ = false;
            QMetaObject::invokeMethod(&form_, &QWidget::close, Qt::QueuedConnection);
        }
    }
    Countdown(const Countdown&) = delete;
    Countdown& operator=(const Countdown&) = delete;

private:
    TForm1& form_;
};

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint) {
    setupUi(this);
    setWindowTitle(quorbelix::applicationTitle());
    AboutBox1->setVersion(tr("Version %1.%2")
                              .arg(quorbelix::version::major)
                              .arg(quorbelix::version::minor, 2, 10, QLatin1Char('0')));

    // The window takes the colour of the menu bar, which Qt styles paint on the Button role;
    // the two result labels keep their own dark background, held as the Window role of theirs.
    setBackgroundRole(QPalette::Button);
    Label1->setBackgroundRole(QPalette::Window);
    Label2->setBackgroundRole(QPalette::Window);
    setFont(fontFromText(QStringLiteral("MS Sans Serif, 11px")));
    Label2->setFont(fontFromText(QStringLiteral("MS Sans Serif, 11px")));
    Label1->setFont(fontFromText(QStringLiteral("MS Sans Serif, 13px, bold")));

    // The tool bar is as wide as its buttons, so that none moves to an overflow menu.
    ToolBar1->resize(ToolBar1->sizeHint());
    StatusBar1->addWidget(StatusPanel0);
    StatusBar1->addWidget(StatusPanel1, 1);  // the last panel reaches the right edge

    // Neither maximised nor resized by any means: the minimum and maximum are its own size.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connectCommand({tlbtnEffacer, N2}, &TForm1::tlbtnEffacerClick);
    connectCommand({tlbtnNouveau, Nouveautirage1}, &TForm1::tlbtnNouveauClick);
    connectCommand({tlbtnReflexion, Moderflexion1}, &TForm1::tlbtnReflexionClick);
    connectCommand({tlbtnSolutions, Solutionsdutirage1}, &TForm1::tlbtnSolutionsClick);
    connectCommand({tlbtnPrev, Solutionprcdente1}, &TForm1::tlbtnPrevClick);
    connectCommand({tlbtnNext, Solutionsuivante1}, &TForm1::tlbtnNextClick);
    connectCommand({tlbtnAide, Rubriquesdelaide1}, &TForm1::tlbtnAideClick);
    connectCommand({tlbtnQuitter, Quitter1}, &TForm1::tlbtnQuitterClick);
    connectCommand({Aproposde1}, &TForm1::Aproposde1Click);

    FormCreate();
}

TForm1::~TForm1() {
    FormDestroy();
}

void TForm1::FormCreate() {
    SolutionList = std::make_unique<quorbelix::SolutionList>();
    // No box is highlighted at start.
    StatusBar1->setFocus();
}

void TForm1::FormDestroy() {
    // The help binding's close-all request is sent here, while the help control is still loaded.
}

void TForm1::connectCommand(std::initializer_list<QAction*> sources, void (TForm1::*handler)()) {
    for (QAction* source : sources) {
        connect(source, &QAction::triggered, this, [this, handler] {
            quorbelix::runHandler([this, handler] { (this->*handler)(); });
        });
    }
}

void TForm1::tlbtnEffacerClick() {
    for (TAlignEdit* box : findChildren<TAlignEdit*>()) {
        box->setText(QStringLiteral("0"));
    }
    Label1->clear();
    Label2->clear();
    StatusBar1->setFocus();
    enableCommand(tlbtnReflexion, Moderflexion1, false);
    enableCommand(tlbtnSolutions, Solutionsdutirage1, false);
    enableCommand(tlbtnPrev, Solutionprcdente1, false);
    enableCommand(tlbtnNext, Solutionsuivante1, false);
    StatusPanel0->setText(tr("Temps : 60 sec"));
}

void TForm1::tlbtnNouveauClick() {
    const std::array<TAlignEdit*, 7> boxes{AlignEdit1, AlignEdit2, AlignEdit3, AlignEdit4,
                                           AlignEdit5, AlignEdit6, AlignEdit7};
    quorbelix::BoxTexts texts;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        texts[i] = boxes[i]->text().toStdString();
    }
    texts = quorbelix::DrawNumbers(texts);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        boxes[i]->setText(QString::fromStdString(texts[i]));
    }
    enableCommand(tlbtnReflexion, Moderflexion1, true);
    enableCommand(tlbtnSolutions, Solutionsdutirage1, true);
}

void TForm1::tlbtnReflexionClick() {
    const Countdown countdown(*this);
    Label2->setText(tr("Réflexion..."));
    for (int n = 60; n >= 0; --n) {
        quorbelix::PumpDelay(1000);
        StatusPanel0->setText(tr("Temps : %1 sec").arg(n));
    }
    tlbtnSolutionsClick();
}

void TForm1::tlbtnSolutionsClick() {
    // Every text is converted before anything changes: a box that is not a number leaves the
    // list, the labels and the commands as they were, so browsing keeps matching the display.
    const std::array<TAlignEdit*, 6> plateBoxes{AlignEdit1, AlignEdit2, AlignEdit3,
                                                AlignEdit4, AlignEdit5, AlignEdit6};
    quorbelix::PlateSet plates{};
    for (std::size_t i = 0; i < plateBoxes.size(); ++i) {
        plates[i] = quorbelix::textToInteger(plateBoxes[i]->text().toStdString());
    }
    const quorbelix::Target target = quorbelix::textToInteger(AlignEdit7->text().toStdString());

    SolutionList->clear();
    Target = target;
    {
        const WaitCursor hourglass;
        quorbelix::Search(plates, Target, *SolutionList);
    }
    CurrentSolution = 0;
    const bool found = !SolutionList->empty();
    if (found) {
        showCurrentSolution();
    } else {
        Label1->setText(tr("Pas de Quorbelix possible !"));
        // The position text of an earlier draw would give a total that is not this one's.
        Label2->clear();
    }
    enableCommand(tlbtnPrev, Solutionprcdente1, found);
    enableCommand(tlbtnNext, Solutionsuivante1, found);
}

void TForm1::tlbtnPrevClick() {
    if (CurrentSolution <= 0) {
        return;
    }
    --CurrentSolution;
    showCurrentSolution();
}

void TForm1::tlbtnNextClick() {
    if (static_cast<std::size_t>(CurrentSolution) + 1 >= SolutionList->size()) {
        return;
    }
    ++CurrentSolution;
    showCurrentSolution();
}

void TForm1::tlbtnAideClick() {
    // Opens the help file once the help binding exists; until then the command does nothing.
}

void TForm1::tlbtnQuitterClick() {
    close();
}

void TForm1::Aproposde1Click() {
    AboutBox1->ShowDialog();
}

void TForm1::showCurrentSolution() {
    // One step per line: each step ends with a carriage return.
    QString steps = QString::fromStdString(SolutionList->text(CurrentSolution));
    if (steps.endsWith(QLatin1Char('\r'))) {
        steps.chop(1);
    }
    steps.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Label1->setText(steps);
    Label2->setText(tr("Solution n°: %1 (Total : %2 solutions)")
                        .arg(CurrentSolution + 1)
                        .arg(SolutionList->size()));
}

void TForm1::showEvent(QShowEvent* event) {
    if (!shownOnce_) {
        shownOnce_ = true;
        const QRect screenArea = screen()->availableGeometry();
        move(QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, frameGeometry().size(),
                                 screenArea)
                 .topLeft());
    }
    QMainWindow::showEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A close during a countdown is honoured when the countdown's handler returns; the window
    // stays usable until then.
    if (countdowns_ > 0) {
        closeDeferred_ = true;
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
