#include "_Quorbelix.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLayout>
#include <stdexcept>
#include <string>

#include "About.h"
#include "Accessibility.h"
#include "AlignEdit.h"
#include "Application.h"
#include "Conversion.h"
#include "Draw.h"
#include "Platform.h"
#include "PumpDelay.h"
#include "QuorbelixVersion.h"
#include "ScreenCentring.h"
#include "Solver.h"
#include "TFont.h"
#include "hh.h"

namespace {

// Length of the think countdown, in seconds; a clear shows it in the status bar.
constexpr int kThinkSeconds = 60;

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

// One think countdown in progress, however it ends.
class TForm1::Countdown {
public:
    explicit Countdown(TForm1& form) : form_(form) { ++form_.countdowns_; }
    ~Countdown() { --form_.countdowns_; }
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

    // What a screen reader says of the labels that change, from the start; the tool bar's
    // overflow button, hidden while every button fits, still needs a name.
    showSolution({});
    showProgress({});
    showSecondsLeft(kThinkSeconds);
    if (auto* overflow = ToolBar1->findChild<QWidget*>(QStringLiteral("qt_toolbar_ext_button"))) {
        overflow->setAccessibleName(tr("Autres commandes"));
    }

    // Neither maximised nor resized by any means: the minimum and maximum are its own size.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    quorbelix::centreOnScreenWhenShown(*this);

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
    // The help windows close with the game, while the help control is still loaded.
    if (hh::HtmlHelp != nullptr) {
        hh::HtmlHelp(0, nullptr, HH_CLOSE_ALL, 0);
    }
}

void TForm1::connectCommand(std::initializer_list<QAction*> sources, void (TForm1::*handler)()) {
    for (QAction* source : sources) {
        connect(source, &QAction::triggered, this, [this, handler] {
            quorbelix::runHandler([this, handler] { (this->*handler)(); });
            // A close asked for during a countdown waits until the outermost think command has
            // returned, the error box of a failed final solve included.
            if (countdowns_ == 0 && closeDeferred_) {
                closeDeferred_ = false;
                close();
            }
        });
    }
}

void TForm1::tlbtnEffacerClick() {
    for (TAlignEdit* box : findChildren<TAlignEdit*>()) {
        box->setText(QStringLiteral("0"));
    }
    showSolution({});
    showProgress({});
    StatusBar1->setFocus();
    enableCommand(tlbtnReflexion, Moderflexion1, false);
    enableCommand(tlbtnSolutions, Solutionsdutirage1, false);
    enableCommand(tlbtnPrev, Solutionprcdente1, false);
    enableCommand(tlbtnNext, Solutionsuivante1, false);
    showSecondsLeft(kThinkSeconds);
}

void TForm1::tlbtnNouveauClick() {
    const auto boxes = numberBoxes();
    quorbelix::BoxTexts texts;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        texts[i] = boxes[i]->text().toStdString();
    }
    const quorbelix::BoxTexts drawn = quorbelix::DrawNumbers(texts);
    // Only what the draw changes is written: a box the player is typing in keeps its caret,
    // selection and undo.
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (drawn[i] != texts[i]) {
            boxes[i]->setText(QString::fromStdString(drawn[i]));
        }
    }
    enableCommand(tlbtnReflexion, Moderflexion1, true);
    enableCommand(tlbtnSolutions, Solutionsdutirage1, true);
}

void TForm1::tlbtnReflexionClick() {
    const Countdown countdown(*this);
    const QString shownBefore = Label2->text();
    const QString thinking = tr("Réflexion...");
    showProgress(thinking);
    for (int n = kThinkSeconds; n >= 0; --n) {
        quorbelix::PumpDelay(1000);
        showSecondsLeft(n);
    }
    try {
        tlbtnSolutionsClick();
    } catch (...) {
        // A failed solve changes nothing on show, so the wait's own text goes as well, unless a
        // command during the wait has replaced it already.
        if (Label2->text() == thinking) {
            showProgress(shownBefore);
        }
        throw;
    }
}

void TForm1::tlbtnSolutionsClick() {
    // Every text is converted before anything changes: a box that is not a number leaves the
    // list, the labels and the commands as they were, so browsing keeps matching the display.
    const auto boxes = numberBoxes();
    quorbelix::PlateSet plates{};
    for (std::size_t i = 0; i < plates.size(); ++i) {
        plates[i] = quorbelix::textToInteger(boxes[i]->text().toStdString());
    }
    const quorbelix::Target target = quorbelix::textToInteger(boxes.back()->text().toStdString());

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
        showSolution(tr("Pas de Quorbelix possible !"));
        // The position text of an earlier draw would give a total that is not this one's.
        showProgress({});
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
    if (hh::HtmlHelp == nullptr) {
        throw std::runtime_error(
            tr("L'aide n'est pas disponible : le visualiseur d'aide de Quorbelix est introuvable. "
               "Réinstaller le programme devrait la rétablir")
                .toStdString());
    }
    // The viewer itself tells the player about a missing help file.
    const QByteArray helpFile = quorbelix::platform().executableDirectory() + "/Quorbelix.chm";
    // Owned by the desktop rather than by the game window, the help window can stay open beside
    // it.
    hh::HtmlHelp(quorbelix::platform().desktopWindow(), helpFile.constData(), HH_DISPLAY_TOPIC, 0);
}

void TForm1::tlbtnQuitterClick() {
    close();
}

void TForm1::Aproposde1Click() {
    AboutBox1->ShowDialog();
}

std::array<TAlignEdit*, 7> TForm1::numberBoxes() const {
    return {AlignEdit1, AlignEdit2, AlignEdit3, AlignEdit4, AlignEdit5, AlignEdit6, AlignEdit7};
}

void TForm1::showSecondsLeft(int seconds) {
    StatusPanel0->setText(tr("Temps : %1 sec").arg(seconds));
    // A screen reader hears the time left every ten seconds and at the end, as a speaking clock
    // would say it, rather than every second.
    if (seconds % 10 == 0) {
        StatusPanel0->setAccessibleName(tr("Temps restant : %1 secondes").arg(seconds));
    }
}

void TForm1::showSolution(const QString& text) {
    quorbelix::showAnnouncedText(*Label1, tr("Solution"), text);
}

void TForm1::showProgress(const QString& text) {
    quorbelix::showAnnouncedText(*Label2, tr("Avancement"), text);
}

void TForm1::showCurrentSolution() {
    // One step per line: each step ends with a carriage return.
    QString steps = QString::fromStdString(SolutionList->text(CurrentSolution));
    if (steps.endsWith(QLatin1Char('\r'))) {
        steps.chop(1);
    }
    steps.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    showSolution(steps);
    showProgress(tr("Solution n°: %1 (Total : %2 solutions)")
                     .arg(CurrentSolution + 1)
                     .arg(SolutionList->size()));
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
