#include <gtest/gtest.h>

#include <sys/resource.h>
#include <QCoreApplication>
#include <QStringList>
#include <QTimer>
#include <vector>

#include "AppTestSupport.h"
#include "PumpDelay.h"

namespace quorbelix::test {
namespace {

QString seconds(int n) {
    return QStringLiteral("Temps : %1 sec").arg(n);
}

// The texts the panel went through, one entry per change.
std::vector<QString> changes(const std::vector<QString>& readings) {
    std::vector<QString> result;
    for (const QString& text : readings) {
        if (result.empty() || result.back() != text) {
            result.push_back(text);
        }
    }
    return result;
}

void append(std::vector<QString>& texts, int from, int downTo) {
    for (int n = from; n >= downTo; --n) {
        texts.push_back(seconds(n));
    }
}

class Countdown : public ::testing::Test {
protected:
    Countdown() : guard(clock) {
        form.show();
        // A draw enables the think command; the tests then write the numbers they need.
        form.Nouveautirage1->trigger();
        setBoxes(form, {"0", "0", "0", "0", "0", "0", "0"});
        clock.ticks = 5000;
        clock.ticksPerReading = 1000;
    }

    // Records what the window shows at each reading of the counter.
    void recordEachReading() {
        clock.onTickReading = [this, script = clock.onTickReading](int reading) {
            panel.push_back(form.StatusPanel0->text());
            label2.push_back(form.Label2->text());
            visible.push_back(form.isVisible());
            if (script) {
                script(reading);
            }
        };
    }

    FakePlatform clock;
    ScopedPlatform guard;
    ErrorBoxRecorder errors;
    TForm1 form;
    std::vector<QString> panel;
    std::vector<QString> label2;
    std::vector<bool> visible;
};

TEST_F(Countdown, CountsSixtyOneSecondsThenSolvesAcrossAWrapOfTheCounter) {
    setBoxes(form, {"2", "3", "4", "0", "0", "0", "24"});
    form.StatusPanel0->setText(QStringLiteral("before"));
    // The 32-bit counter wraps about half-way through.
    clock.ticks = 0xFFFFFFFFU - 30'500U;
    const std::uint32_t start = clock.ticks;
    recordEachReading();

    clickButton(form, form.tlbtnReflexion);

    // Two readings a round (start and end of each one-second wait), 61 rounds.
    EXPECT_EQ(clock.tickReadings, 122);
    EXPECT_EQ(clock.ticks - start, 122'000U);
    std::vector<QString> expected{QStringLiteral("before")};
    append(expected, 60, 1);
    EXPECT_EQ(changes(panel), expected);
    EXPECT_EQ(form.StatusPanel0->text(), seconds(0));
    for (const QString& text : label2) {
        EXPECT_EQ(text, QStringLiteral("Réflexion..."));
    }
    // Then the solve.
    EXPECT_EQ(form.Label2->text(), QStringLiteral("Solution n°: 1 (Total : 3 solutions)"));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("2*3=6\n6*4=24"));
    EXPECT_TRUE(form.tlbtnNext->isEnabled());

    // The last count stays until a clear; a new draw leaves it.
    form.Nouveautirage1->trigger();
    EXPECT_EQ(form.StatusPanel0->text(), seconds(0));
    form.N2->trigger();
    EXPECT_EQ(form.StatusPanel0->text(), seconds(60));
}

TEST_F(Countdown, ACommandRunsInsideTheWaitAndChangesWhatTheSolveReads) {
    setBoxes(form, {"2", "3", "4", "0", "0", "0", "24"});
    runDuringWait(clock, 21, [this] { form.tlbtnEffacer->trigger(); });
    recordEachReading();

    form.Moderflexion1->trigger();

    // The clear ran during the eleventh second: the panel went back to 60 and the count went on.
    std::vector<QString> expected;
    append(expected, 60, 51);
    expected.push_back(seconds(60));
    append(expected, 50, 1);
    EXPECT_EQ(changes(panel), expected);
    EXPECT_EQ(clock.tickReadings, 123);  // the second held back took one reading more
    // The solve read the cleared boxes.
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Pas de Quorbelix possible !"));
    EXPECT_TRUE(form.Label2->text().isEmpty());
    EXPECT_FALSE(form.tlbtnPrev->isEnabled());
    EXPECT_TRUE(errors.shown.empty());
}

TEST_F(Countdown, ASecondThinkNestsAndTheFirstResumesAfterIt) {
    setBoxes(form, {"2", "3", "4", "0", "0", "0", "24"});
    form.StatusPanel0->setText(QStringLiteral("before"));
    // Reading 11 ends the sixth second of the first countdown.
    runDuringWait(clock, 11, [this] { clickButton(form, form.tlbtnReflexion); });
    recordEachReading();

    form.tlbtnReflexion->trigger();

    EXPECT_EQ(clock.tickReadings, 245);
    std::vector<QString> expected{QStringLiteral("before")};
    append(expected, 60, 56);
    append(expected, 60, 0);  // the inner countdown, whole
    append(expected, 55, 1);  // then the outer one goes on
    EXPECT_EQ(changes(panel), expected);
    EXPECT_EQ(form.StatusPanel0->text(), seconds(0));
    // The inner countdown solved before the outer one resumed, and the outer one solved again.
    EXPECT_EQ(label2[140], QStringLiteral("Solution n°: 1 (Total : 3 solutions)"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("Solution n°: 1 (Total : 3 solutions)"));
}

TEST_F(Countdown, ACloseDuringTheCountdownIsHonouredWhenItEnds) {
    runDuringWait(clock, 31, [this] { form.close(); });
    recordEachReading();

    form.tlbtnReflexion->trigger();

    // The window stayed visible and usable to the end, then closed.
    EXPECT_EQ(clock.tickReadings, 123);
    for (const bool shown : visible) {
        EXPECT_TRUE(shown);
    }
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Pas de Quorbelix possible !"));
    EXPECT_FALSE(form.isVisible());
}

TEST_F(Countdown, ACloseWaitsForTheErrorBoxOfAFailedFinalSolve) {
    form.AlignEdit7->setText(QStringLiteral("x"));
    runDuringWait(clock, 3, [this] { form.Quitter1->trigger(); });
    // The box runs an event loop of its own, as the real one does, until it is answered.
    QStringList shown;
    std::vector<bool> windowVisible;
    const auto recorder = Application::instance()->setErrorBoxPresenter([&](QMessageBox& box) {
        QTimer::singleShot(50, &box, [&] {
            shown << box.text();
            windowVisible.push_back(form.isVisible());
            box.accept();
        });
        box.exec();
        windowVisible.push_back(form.isVisible());
    });

    form.Moderflexion1->trigger();
    Application::instance()->setErrorBoxPresenter(recorder);

    EXPECT_EQ(shown, QStringList{QStringLiteral("'x' n'est pas une valeur entière correcte.")});
    EXPECT_EQ(windowVisible, (std::vector<bool>{true, true}));
    EXPECT_FALSE(form.isVisible());
}

TEST_F(Countdown, AFailedFinalSolveGivesBackWhatLabel2ShowedBefore) {
    setBoxes(form, {"2", "3", "4", "0", "0", "0", "24"});
    form.Solutionsdutirage1->trigger();
    form.Solutionsuivante1->trigger();
    const QString position = QStringLiteral("Solution n°: 2 (Total : 3 solutions)");
    ASSERT_EQ(form.Label2->text(), position);
    form.AlignEdit7->setText(QStringLiteral("x"));

    form.Moderflexion1->trigger();
    ASSERT_EQ(errors.shown.size(), 1U);
    EXPECT_EQ(form.Label2->text(), position);

    // A solve during the wait shows a list of its own, which the failed final solve leaves.
    clock.tickReadings = 0;
    runDuringWait(clock, 5, [this] {
        form.AlignEdit7->setText(QStringLiteral("24"));
        form.Solutionsdutirage1->trigger();
        form.AlignEdit7->setText(QStringLiteral("x"));
    });
    form.Moderflexion1->trigger();
    ASSERT_EQ(errors.shown.size(), 2U);
    EXPECT_EQ(form.Label2->text(), QStringLiteral("Solution n°: 1 (Total : 3 solutions)"));
}

TEST(PumpDelay, WaitsOnTheTickCounterWhateverItsValue) {
    FakePlatform clock;
    ScopedPlatform guard(clock);
    clock.ticksPerReading = 100;
    // Something to dispatch at every reading, so that the waits never sleep.
    QObject target;
    clock.onTickReading = [&target](int) {
        QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    };

    for (const std::uint32_t start : {0U, 0xFFFFFE70U, 0xFFFFFFFFU, 0x7FFFFFF0U}) {
        clock.ticks = start;
        clock.tickReadings = 0;
        PumpDelay(1000);
        // The start, then one reading every 100 ms until 1000 ms have passed.
        EXPECT_EQ(clock.tickReadings, 11) << start;
    }
    clock.tickReadings = 0;
    PumpDelay(0);
    EXPECT_EQ(clock.tickReadings, 2);
}

TEST(PumpDelay, DispatchesEventsAsTheyComeAndSleepsOtherwise) {
    // The machine's own counter: a real wait of two seconds.
    constexpr std::uint32_t wait = 2000;
    bool dispatchedDuringTheWait = false;
    QTimer::singleShot(50, [&] { dispatchedDuringTheWait = true; });

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const std::uint32_t start = platform().tickCount();
    PumpDelay(wait);
    const std::uint32_t elapsed = platform().tickCount() - start;
    rusage after{};
    getrusage(RUSAGE_SELF, &after);

    const auto microseconds = [](const timeval& time) {
        return static_cast<long long>(time.tv_sec) * 1'000'000 + time.tv_usec;
    };
    const long long processorMicroseconds =
        microseconds(after.ru_utime) - microseconds(before.ru_utime) +
        microseconds(after.ru_stime) - microseconds(before.ru_stime);
    EXPECT_TRUE(dispatchedDuringTheWait);
    EXPECT_GE(elapsed, wait);
    // Under 5 % of the wait: the thread sleeps between events instead of polling.
    EXPECT_LT(processorMicroseconds, static_cast<long long>(wait) * 1000 / 20);
}

}  // namespace
}  // namespace quorbelix::test
