#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <stdexcept>

#include "About.h"
#include "FAbout.h"
#include "FakePlatform.h"
#include "ScreenCentring.h"

namespace {

using quorbelix::FakePlatform;
using quorbelix::ScopedPlatform;

QString labelText(const QWidget& dialog, const char* name) {
    return dialog.findChild<QLabel*>(name)->text();
}

// ShowDialog blocks in its modal loop: `action` runs on the dialog once it is showing.
void whenShown(std::function<void(TFAbout&)> action) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        if (auto* dialog = qobject_cast<TFAbout*>(QApplication::activeModalWidget())) {
            poll->deleteLater();
            poll->stop();
            action(*dialog);
        }
    });
    poll->start(10);
}

void clickOk(TFAbout& dialog) {
    QTest::mouseClick(dialog.findChild<QPushButton*>("Button1"), Qt::LeftButton);
}

// What the window system delivers when the title bar's close box is pressed.
void pressCloseBox(TFAbout& dialog) {
    QCloseEvent close;
    QCoreApplication::sendEvent(dialog.windowHandle(), &close);
}

TEST(AboutBox, PropertiesKeepTheirFirstHundredCharacters) {
    TAboutBox box;
    int changes = 0;
    QObject::connect(&box, &TAboutBox::productNameChanged, [&changes] { ++changes; });
    const QString digits = QStringLiteral("0123456789").repeated(15);
    box.setProperty("ProductName", digits);
    box.setVersion(digits);
    box.setCopyright(digits);
    EXPECT_EQ(box.productName(), digits.first(100));
    EXPECT_EQ(box.version(), digits.first(100));
    EXPECT_EQ(box.copyright(), digits.first(100));
    box.setProductName(digits.first(120));  // Same first hundred: no change.
    EXPECT_EQ(changes, 1);

    box.setProductName(QStringLiteral("é").repeated(150));
    EXPECT_EQ(box.productName(), QStringLiteral("é").repeated(100));
    // A character beyond 16 bits counts as one and is never split.
    const QString card = QStringLiteral("\U0001F0A1");
    box.setProductName(QString(99, u'a') + card + u'b');
    EXPECT_EQ(box.productName(), QString(99, u'a') + card);
}

// Two openings, closed by OK and by the close box: each shows the texts of the moment in a fresh
// dialog that is modal while open, gone afterwards, and leaves the window behind usable.
TEST(AboutBox, ShowDialogShowsTheTextsModallyUntilClosed) {
    FakePlatform fake;
    ScopedPlatform guard(fake);
    QWidget window;
    auto* play = new QPushButton(QStringLiteral("Jouer"), &window);
    int plays = 0;
    QObject::connect(play, &QPushButton::clicked, [&plays] { ++plays; });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // Through the window system, where a modal dialog blocks the windows behind it.
    const auto clickPlay = [&] {
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, play->geometry().center());
    };
    TAboutBox box(&window);
    const QString notice = box.copyright();
    EXPECT_FALSE(notice.isEmpty() || notice.contains(u'\n'));
    const QStringList expected[] = {
        {"", "", notice, "Mémoire physique totale : 1 048 576 Ko"},
        {"Quorbelix", "Version 1.00", notice, "Mémoire physique totale : 2 097 152 Ko"}};

    for (const auto& close : {clickOk, pressCloseBox}) {
        QStringList shown;
        whenShown([&](TFAbout& dialog) {
            shown = QStringList{labelText(dialog, "Label1"), labelText(dialog, "Label2"),
                                labelText(dialog, "Label3"), labelText(dialog, "lblPhysMem")};
            clickPlay();
            close(dialog);
        });
        box.ShowDialog();
        EXPECT_EQ(shown, expected[fake.beeps - 1]);
        EXPECT_EQ(plays, 0);
        EXPECT_EQ(QApplication::topLevelWidgets(), QWidgetList{&window});
        clickPlay();
        EXPECT_EQ(plays, 1);
        plays = 0;
        box.setProductName(QStringLiteral("Quorbelix"));
        box.setVersion(QStringLiteral("Version 1.00"));
        fake.memory.totalPhysicalBytes *= 2;
    }
    EXPECT_EQ(fake.beeps, 2);
    EXPECT_EQ(fake.memoryReadings, 2);
}

TEST(AboutBox, ADialogThatCannotBeMadeOnlyBeeps) {
    class Failing : public TAboutBox {
    protected:
        std::unique_ptr<TFAbout> createDialog() const override {
            throw std::runtime_error("no dialog");
        }
    };
    FakePlatform fake;
    ScopedPlatform guard(fake);
    Failing box;
    EXPECT_NO_THROW(box.ShowDialog());
    EXPECT_EQ(fake.beeps, 1);
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

TEST(AboutDialog, ShowsTheTextsAsWrittenMarkupIncluded) {
    FakePlatform fake;
    ScopedPlatform guard(fake);
    TFAbout dialog;
    const QString marked = QStringLiteral("<i>Quorbelix</i> &amp; <b>1</b>");
    dialog.showTexts(marked, marked, marked);
    for (const char* name : {"Label1", "Label2", "Label3"}) {
        const auto* label = dialog.findChild<QLabel*>(name);
        EXPECT_EQ(label->text(), marked) << name;
        // Markup taken as such would leave a narrower label.
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(marked)) << name;
    }
}

TEST(ScreenCentring, CentresTheFrameAndKeepsItsTopLeftCornerInTheArea) {
    using quorbelix::centredTopLeft;
    EXPECT_EQ(centredTopLeft({283, 436}, {0, 0, 1024, 768}), QPoint(370, 166));
    // An area that does not start at the origin, as beside a panel.
    EXPECT_EQ(centredTopLeft({283, 436}, {0, 30, 1024, 738}), QPoint(370, 181));
    // Larger than the area (a high scale factor on a small screen): the corner stays inside.
    EXPECT_EQ(centredTopLeft({283, 436}, {0, 0, 512, 384}), QPoint(114, 0));
    EXPECT_EQ(centredTopLeft({600, 100}, {40, 20, 512, 384}), QPoint(40, 162));
}

// The two memory lines of a dialog opened on a machine with this memory and separator.
QStringList memoryLines(std::uint64_t total, std::uint64_t available, const QString& separator) {
    FakePlatform fake;
    fake.memory = {total, available};
    fake.thousands = separator;
    ScopedPlatform guard(fake);
    const TFAbout dialog;
    return {labelText(dialog, "lblPhysMem"), labelText(dialog, "lblPhysRes")};
}

TEST(AboutDialog, MemoryLinesGiveTheTotalInKoAndTheFreeShare) {
    EXPECT_EQ(memoryLines(1'073'741'824, 536'870'912, " "),
              (QStringList{"Mémoire physique totale : 1 048 576 Ko",
                           "Ressources système      : 50% libre."}));
    // 24 GiB, a quarter of it available.
    EXPECT_EQ(memoryLines(25'769'803'776, 6'442'450'944, "\u202f"),
              (QStringList{"Mémoire physique totale : 25\u202f165\u202f824 Ko",
                           "Ressources système      : 25% libre."}));
    EXPECT_EQ(memoryLines(1536, 0, " ").join('|'),
              "Mémoire physique totale : 2 Ko|Ressources système      : 0% libre.");
    EXPECT_EQ(memoryLines(1535, 1535, " ").first(), "Mémoire physique totale : 1 Ko");
}

TEST(AboutDialog, LayoutAndEtchedSeparator) {
    FakePlatform fake;
    fake.memory.totalPhysicalBytes = 25'769'803'776;
    ScopedPlatform guard(fake);
    TFAbout dialog;
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(QApplication::focusWidget(), dialog.findChild<QPushButton*>("Button1"));
    const QImage banner = dialog.findChild<QLabel*>("Image1")->pixmap().toImage();
    EXPECT_EQ(banner.size(), QSize(298, 81));
    EXPECT_FALSE(banner.hasAlphaChannel());
    // The longest memory line stays inside the dialog.
    EXPECT_LE(dialog.findChild<QLabel*>("lblPhysMem")->geometry().right(), 293);

    // The lines settle their height on their first paint; the second image shows them in place.
    dialog.grab();
    QCoreApplication::processEvents();
    const QImage shot = dialog.grab().toImage();
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    for (int x = 86; x <= 280; ++x) {
        ASSERT_EQ(shot.pixelColor(x, 162), black) << x;
        ASSERT_EQ(shot.pixelColor(x, 163), white) << x;
    }
    const QColor face = shot.pixelColor(150, 161);
    EXPECT_EQ(face, dialog.palette().color(QPalette::Button));
    for (const QPoint& beside :
         {QPoint(85, 162), QPoint(281, 162), QPoint(85, 163), QPoint(281, 163), QPoint(150, 164)}) {
        EXPECT_EQ(shot.pixelColor(beside), face) << beside.x() << ',' << beside.y();
    }
}

}  // namespace
