#include <gtest/gtest.h>

#include <QClipboard>
#include <QFontInfo>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMetaProperty>
#include <QPainter>
#include <QSignalSpy>
#include <vector>

#include "AlignEdit.h"
#include "FakePlatform.h"
#include "LineBreaks.h"
#include "Rendering.h"

namespace {

// Three boxes in tab order, before, box and after, on a shown form; the keys that box reports.
class AlignEditTest : public ::testing::Test {
protected:
    AlignEditTest() {
        before->setGeometry(10, 10, 60, 24);
        box->setGeometry(80, 10, 60, 24);
        after->setGeometry(150, 10, 60, 24);
        on(&TAlignEdit::OnKeyDown,
           [this](quint16& key, Qt::KeyboardModifiers) { keysDown.push_back(key); });
        on(&TAlignEdit::OnKeyPress, [this](char& key) { keysPressed.push_back(key); });
    }

    void on(auto signal, auto slot) { QObject::connect(box, signal, box, slot); }

    // Moves the focus into box the way a user does, with the Tab key.
    void tabInto() {
        before->setFocus();
        QTest::keyClick(before, Qt::Key_Tab);
        ASSERT_TRUE(box->hasFocus());
    }

    // Selects the characters from `from` to `to` of box.
    void select(int from, int to) {
        QTextCursor cursor = box->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        box->setTextCursor(cursor);
    }

    QColor paper() const { return box->palette().color(QPalette::Base); }
    QColor ink() const { return box->palette().color(QPalette::Active, QPalette::Text); }
    int shownHeight() const { return QFontInfo(box->font()).pixelSize(); }

    quorbelix::FakePlatform fake;
    quorbelix::ScopedPlatform guard{fake};
    TestForm form;
    TAlignEdit* before = new TAlignEdit(&form);
    TAlignEdit* box = new TAlignEdit(&form);
    TAlignEdit* after = new TAlignEdit(&form);
    std::vector<quint16> keysDown;
    std::vector<char> keysPressed;
};

TEST_F(AlignEditTest, FocusEntryAndExitShowTheirColourAndFont) {
    box->setColorOnFocus(clWhite);
    box->setColorOnNoFocus(clBlack);
    box->setFontOnFocus(QStringLiteral("Sans, 20px, clBlack"));
    box->setFontOnNoFocus(QStringLiteral("Sans, 13px, bold, clWhite"));
    // The no-focus pair shows from the start.
    EXPECT_EQ(paper(), Qt::black);
    EXPECT_EQ(ink(), Qt::white);
    EXPECT_EQ(shownHeight(), 13);

    QColor paperOnEnter;
    int exits = 0;
    on(&TAlignEdit::OnEnter, [&] { paperOnEnter = paper(); });
    on(&TAlignEdit::OnExit, [&] { ++exits; });
    ASSERT_TRUE(form.showActive());
    tabInto();
    EXPECT_EQ(paper(), Qt::white);
    EXPECT_EQ(ink(), Qt::black);
    EXPECT_EQ(shownHeight(), 20);
    EXPECT_FALSE(box->font().bold());
    EXPECT_EQ(paperOnEnter, Qt::white);  // the box's own handling comes first

    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_TRUE(after->hasFocus());
    EXPECT_EQ(paper(), Qt::black);
    EXPECT_EQ(ink(), Qt::white);
    EXPECT_EQ(shownHeight(), 13);
    EXPECT_EQ(exits, 1);
}

TEST_F(AlignEditTest, SettersAndInPlaceChangesShowOnlyForTheCurrentState) {
    ASSERT_TRUE(form.showActive());
    after->setFocus();
    box->setColorOnFocus(Qt::blue);  // not focused: nothing to see yet
    EXPECT_NE(paper(), Qt::blue);
    tabInto();
    EXPECT_EQ(paper(), Qt::blue);
    box->setColorOnNoFocus(Qt::red);  // shown at once, focus or not
    EXPECT_EQ(paper(), Qt::red);
    TFont big;
    big.setPixelHeight(25);
    box->setFontOnFocus(&big);
    EXPECT_EQ(shownHeight(), 25);

    // The no-focus font shows every change in place at once, even while the box has the focus;
    // the focus font shows its changes at the next entry only.
    box->fontOnNoFocus()->setPixelHeight(31);
    EXPECT_EQ(shownHeight(), 31);
    box->fontOnFocus()->setPixelHeight(17);
    after->setFocus();
    EXPECT_EQ(shownHeight(), 31);
    tabInto();
    EXPECT_EQ(shownHeight(), 17);

    // In a form designer the focus pair never shows.
    box->setDesigning(true);
    box->setColorOnFocus(Qt::cyan);
    EXPECT_EQ(paper(), Qt::blue);
    after->setFocus();
    tabInto();
    EXPECT_EQ(paper(), Qt::red);
}

TEST_F(AlignEditTest, SystemColoursFollowThePalette) {
    box->setFontOnNoFocus(QStringLiteral("Sans, 12px, clWindowText"));
    box->setColorOnNoFocus(clWindow);
    ASSERT_TRUE(form.showActive());
    after->setFocus();
    const QPalette original = QApplication::palette();
    QPalette changed = original;
    changed.setColor(QPalette::Base, Qt::darkBlue);
    changed.setColor(QPalette::Text, Qt::yellow);
    QApplication::setPalette(changed);
    TestForm::settle();
    EXPECT_EQ(paper(), Qt::darkBlue);
    EXPECT_EQ(ink(), Qt::yellow);
    QApplication::setPalette(original);
    TestForm::settle();
    EXPECT_EQ(paper(), original.color(QPalette::Base));
}

TEST_F(AlignEditTest, ModesChangeOneAnother) {
    box->setText(QStringLiteral("one\r\ntwo"));
    box->setWordWrap(true);
    EXPECT_TRUE(box->multiLine());
    box->setWordWrap(false);
    EXPECT_TRUE(box->multiLine());  // turning wrap off leaves the lines alone

    box->setWordWrap(true);
    box->setExitOnReturn(true);
    EXPECT_FALSE(box->multiLine());
    EXPECT_TRUE(box->wordWrap());
    EXPECT_EQ(box->text(), QStringLiteral("one\r\ntwo"));

    box->setMultiLine(true);
    EXPECT_FALSE(box->exitOnReturn());
    box->setMultiLine(false);
    EXPECT_FALSE(box->wordWrap());
    EXPECT_EQ(box->text(), QStringLiteral("onetwo"));

    // Program-assigned text keeps its line breaks in a one-line box.
    box->setText(QStringLiteral("1\r\n2\n3"));
    EXPECT_EQ(box->text(), QStringLiteral("1\r\n2\r\n3"));
}

TEST(LineBreaks, RemovingTakesEachCrWithTheCharacterAfterIt) {
    using quorbelix::removeLineBreaks;
    EXPECT_EQ(removeLineBreaks(QStringLiteral("ab\rcd")), QStringLiteral("abd"));
    EXPECT_EQ(removeLineBreaks(QStringLiteral("a\nb")), QStringLiteral("a\nb"));
    EXPECT_EQ(removeLineBreaks(QStringLiteral("\r\r\nx\r\n\r\n\r")), QStringLiteral("\nx"));
    EXPECT_EQ(quorbelix::fitLength(QStringLiteral("ab\r\ncd"), 3), QStringLiteral("ab"));
}

TEST_F(AlignEditTest, OneLineBoxRefusesEnterAndTurnsUpAndDownSideways) {
    ASSERT_TRUE(form.showActive());
    box->setText(QStringLiteral("12"));
    tabInto();
    QTest::keyClick(box, Qt::Key_End);
    keysDown.clear();
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(keysDown, std::vector<quint16>{0});
    EXPECT_EQ(keysPressed, std::vector<char>{'\0'});
    EXPECT_EQ(fake.beeps, 1);
    EXPECT_EQ(box->text(), QStringLiteral("12"));

    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(box->textCursor().position(), 1);
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(box->textCursor().position(), 2);
    EXPECT_EQ(keysDown, (std::vector<quint16>{0, 37, 39}));
}

TEST_F(AlignEditTest, MultiLineBoxBreaksLinesAndMovesBetweenThem) {
    ASSERT_TRUE(form.showActive());
    box->setMultiLine(true);
    box->setText(QStringLiteral("abc"));
    tabInto();
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClicks(box, QStringLiteral("de"));
    EXPECT_EQ(box->text(), QStringLiteral("abc\r\nde"));
    EXPECT_EQ(keysPressed, (std::vector<char>{'\r', 'd', 'e'}));
    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(box->textCursor().blockNumber(), 0);
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(box->textCursor().blockNumber(), 1);
    EXPECT_EQ(keysDown.back(), 40);
    EXPECT_EQ(fake.beeps, 0);
}

TEST_F(AlignEditTest, ExitOnReturnMovesTheFocusAfterTheKey) {
    ASSERT_TRUE(form.showActive());
    box->setExitOnReturn(true);
    box->setText(QStringLiteral("7"));
    tabInto();
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(keysDown, std::vector<quint16>{13});
    EXPECT_EQ(keysPressed, std::vector<char>{'\t'});
    EXPECT_TRUE(box->hasFocus());  // the Tab is posted, handled after this key
    TestForm::settle();
    EXPECT_TRUE(after->hasFocus());
    EXPECT_EQ(box->text(), QStringLiteral("7"));
    EXPECT_EQ(fake.beeps, 0);
}

TEST_F(AlignEditTest, UserKeyEventsMayChangeOrSwallowTheKey) {
    ASSERT_TRUE(form.showActive());
    tabInto();
    on(&TAlignEdit::OnKeyPress, [](char& key) {
        if (key == 'a') {
            key = 'b';
        } else if (key == 'x') {
            key = '\0';
        }
    });
    on(&TAlignEdit::OnKeyDown, [](quint16& key, Qt::KeyboardModifiers) {
        if (key == 37) {
            key = 0;
        }
    });
    QTest::keyClicks(box, QStringLiteral("ax"));
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_Eacute, QStringLiteral("é"), Qt::NoModifier);
    EXPECT_EQ(box->text(), QStringLiteral("bé"));
    EXPECT_EQ(keysPressed, (std::vector<char>{'a', 'x', '\xe9'}));
    QTest::keyClick(box, Qt::Key_Left);
    EXPECT_EQ(box->textCursor().position(), 2);
}

TEST_F(AlignEditTest, TabEntrySelectsAllButAClickDoesNot) {
    box->setText(QStringLiteral("123"));
    ASSERT_TRUE(form.showActive());
    tabInto();
    EXPECT_EQ(box->textCursor().selectedText(), QStringLiteral("123"));

    // The click's own press places the caret; nothing is selected even for a moment.
    after->setFocus();
    box->moveCursor(QTextCursor::End);
    QString selectedOnEnter = QStringLiteral("unset");
    on(&TAlignEdit::OnEnter, [&] { selectedOnEnter = box->textCursor().selectedText(); });
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, box->geometry().center());
    ASSERT_TRUE(box->hasFocus());
    EXPECT_TRUE(selectedOnEnter.isEmpty());

    after->setFocus();
    box->setAutoSelect(false);
    tabInto();
    EXPECT_TRUE(box->textCursor().selectedText().isEmpty());
}

TEST_F(AlignEditTest, MaxLengthLimitsTypingAndPasting) {
    ASSERT_TRUE(form.showActive());
    box->setMaxLength(3);
    tabInto();
    QTest::keyClicks(box, QStringLiteral("12345"));
    QTest::keyClick(box, Qt::Key_Backspace);  // a full box still lets the user edit
    QTest::keyClick(box, Qt::Key_4);
    EXPECT_EQ(box->text(), QStringLiteral("124"));
    box->selectAll();
    QGuiApplication::clipboard()->setText(QStringLiteral("98765"));
    box->paste();
    EXPECT_EQ(box->text(), QStringLiteral("987"));
}

TEST_F(AlignEditTest, AutoSizeFitsAOneLineBoxToItsFont) {
    box->setFontOnNoFocus(QStringLiteral("Sans, 30px"));
    const int tall = box->height();
    EXPECT_EQ(tall, box->fontMetrics().height() + 2 + 7);
    box->setAutoSize(false);
    box->setFontOnNoFocus(QStringLiteral("Sans, 10px"));
    EXPECT_EQ(box->height(), tall);
    box->setAutoSize(true);
    EXPECT_LT(box->height(), tall);
}

// Where the box's white text lies on its black background.
QRect whiteInk(TestForm& form, const TAlignEdit* box) {
    return inkBounds(form.shot(), box->geometry().adjusted(1, 1, -1, -1), 0xffffffffu, 0xff000000u);
}

TEST_F(AlignEditTest, CentredTextStaysCentred) {
    for (TAlignEdit* each : {before, box, after}) {
        each->setColorOnNoFocus(clBlack);
        each->setColorOnFocus(clBlack);
        each->setFontOnNoFocus(QStringLiteral("Sans, 13px, bold, clWhite"));
        each->setFontOnFocus(QStringLiteral("Sans, 13px, bold, clWhite"));
    }
    box->setAlignment(TAlignEdit::taCenter);
    box->setText(QStringLiteral("7"));
    ASSERT_TRUE(form.showActive());
    const int middle = box->geometry().center().x();
    EXPECT_NEAR(whiteInk(form, box).center().x(), middle, 2);

    tabInto();
    QTest::keyClicks(box, QStringLiteral("1000"));
    after->setFocus();
    EXPECT_NEAR(whiteInk(form, box).center().x(), middle, 2);
    EXPECT_GT(whiteInk(form, box).width(), 25);
    box->setText(QStringLiteral("25"));
    EXPECT_NEAR(whiteInk(form, box).center().x(), middle, 2);

    box->setAlignment(TAlignEdit::taRightJustify);
    EXPECT_EQ(box->text(), QStringLiteral("25"));
    EXPECT_GT(whiteInk(form, box).right(), box->geometry().right() - 5);
}

TEST_F(AlignEditTest, SmallBoxShowsALineOfBoldThirteenPixelTextWhole) {
    box->setAutoSize(false);
    box->setGeometry(80, 10, 33, 24);
    box->setAlignment(TAlignEdit::taCenter);
    box->setColorOnNoFocus(clBlack);
    box->setFontOnNoFocus(QStringLiteral("MS Sans Serif, 13px, bold, clWhite"));
    box->setText(QStringLiteral("100"));
    ASSERT_TRUE(form.showActive());
    after->setFocus();
    const QRect ink = whiteInk(form, box);

    // The same text drawn with room to spare.
    QImage free(100, 60, QImage::Format_RGB32);
    free.fill(Qt::black);
    QPainter painter(&free);
    painter.setFont(box->font());
    painter.setPen(Qt::white);
    painter.drawText(free.rect(), Qt::AlignCenter, QStringLiteral("100"));
    painter.end();
    // A glyph edge that falls between pixels may smear one column: clipping would take more.
    const QSize whole = inkBounds(free, free.rect(), 0xffffffffu, 0xff000000u).size();
    EXPECT_EQ(ink.height(), whole.height());
    EXPECT_NEAR(ink.width(), whole.width(), 1);
    // Centred up and down too, near enough.
    const QRect frame = box->geometry();
    EXPECT_NEAR((ink.top() + ink.bottom()) / 2.0, (frame.top() + frame.bottom()) / 2.0, 1.0);
}

// The reasons of the focus events a widget receives.
class FocusReasons : public QObject {
public:
    explicit FocusReasons(QWidget* watched) { watched->installEventFilter(this); }
    std::vector<Qt::FocusReason> out;
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) {
            out.push_back(static_cast<QFocusEvent*>(event)->reason());
        }
        return false;
    }
};

TEST_F(AlignEditTest, MenusAndOtherWindowsLeaveTheBoxTheActiveControl) {
    box->setColorOnFocus(clWhite);
    box->setColorOnNoFocus(clBlack);
    box->setText(QStringLiteral("1234"));
    ASSERT_TRUE(form.showActive());
    tabInto();
    select(1, 3);
    int enters = 0;
    int exits = 0;
    on(&TAlignEdit::OnEnter, [&] { ++enters; });
    on(&TAlignEdit::OnExit, [&] { ++exits; });
    const auto unchanged = [&](const char* after) {
        EXPECT_TRUE(box->hasFocus()) << after;
        EXPECT_EQ(box->textCursor().selectedText(), QStringLiteral("23")) << after;
        EXPECT_EQ(box->textCursor().position(), 3) << after;
        EXPECT_EQ(paper(), Qt::white) << after;
        EXPECT_EQ(enters + exits, 0) << after;
    };
    FocusReasons reasons(box);

    QMenu menu;
    menu.addAction(QStringLiteral("Nouveau tirage"));
    menu.popup(form.mapToGlobal(QPoint(20, 60)));
    TestForm::settle();
    EXPECT_EQ(paper(), Qt::white);  // the focus colours while the menu is open
    menu.close();
    TestForm::settle();
    unchanged("a menu");

    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    TestForm::settle();
    unchanged("another window");

    // The menu bar's keyboard mode (Alt, then Esc) takes the focus with a reason of its own.
    QFocusEvent out(QEvent::FocusOut, Qt::MenuBarFocusReason);
    QApplication::sendEvent(box, &out);
    QFocusEvent in(QEvent::FocusIn, Qt::MenuBarFocusReason);
    QApplication::sendEvent(box, &in);
    unchanged("the menu bar");
    EXPECT_EQ(reasons.out, (std::vector{Qt::PopupFocusReason, Qt::ActiveWindowFocusReason,
                                        Qt::MenuBarFocusReason}));

    // The form's active control changing while another window has the keyboard: the box
    // leaves when the form comes back.
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    after->setFocus();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    TestForm::settle();
    EXPECT_TRUE(after->hasFocus());
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(paper(), Qt::black);
}

TEST_F(AlignEditTest, AssigningTheSameTextKeepsCaretSelectionAndUndo) {
    ASSERT_TRUE(form.showActive());
    tabInto();
    QTest::keyClicks(box, QStringLiteral("57"));
    QTest::keyClick(box, Qt::Key_Left);
    QSignalSpy changes(box, &TAlignEdit::OnChange);
    box->setText(QStringLiteral("57"));
    EXPECT_EQ(box->textCursor().position(), 1);
    EXPECT_TRUE(box->document()->isUndoAvailable());
    select(0, 1);
    box->setText(QStringLiteral("57"));
    EXPECT_EQ(box->textCursor().selectedText(), QStringLiteral("5"));
    EXPECT_EQ(changes.count(), 0);
    box->setText(QStringLiteral("58"));
    EXPECT_EQ(box->text(), QStringLiteral("58"));
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(AlignEditTest, ComposedCharactersGoThroughTheCharacterStep) {
    ASSERT_TRUE(form.showActive());
    tabInto();
    box->setMaxLength(3);
    on(&TAlignEdit::OnKeyPress, [](char& key) {
        if (key == 'a') {
            key = 'b';
        }
    });
    QTest::keyClick(box, Qt::Key_1);
    keysPressed.clear();
    // A dead key and e, then an input method committing three characters at once.
    QInputMethodEvent deadKey;
    deadKey.setCommitString(QStringLiteral("ê"));
    QApplication::sendEvent(box, &deadKey);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("az\u0175"));
    QApplication::sendEvent(box, &commit);
    EXPECT_EQ(keysPressed, (std::vector<char>{'\xea', 'a', 'z'}));  // U+0175 is not reported
    EXPECT_EQ(box->text(), QStringLiteral("1êb"));                  // and nothing fits after b
    // A read-only box reports the characters and takes none.
    box->setReadOnly(true);
    QApplication::sendEvent(box, &deadKey);
    QTest::keyClick(box, Qt::Key_1);
    EXPECT_EQ(keysPressed.size(), 5u);
    EXPECT_EQ(box->text(), QStringLiteral("1êb"));
}

TEST_F(AlignEditTest, MouseEventsAndClicks) {
    ASSERT_TRUE(form.showActive());
    std::vector<std::string> seen;
    on(&TAlignEdit::OnMouseDown, [&](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
        seen.push_back("down " + std::to_string(button) + " " + std::to_string(x) + "," +
                       std::to_string(y));
    });
    on(&TAlignEdit::OnMouseUp, [&](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
        seen.push_back("up " + std::to_string(button) + " " + std::to_string(x) + "," +
                       std::to_string(y));
    });
    on(&TAlignEdit::OnClick, [&] { seen.emplace_back("click"); });
    on(&TAlignEdit::OnDblClick, [&] { seen.emplace_back("double"); });
    const QPoint at = box->pos() + QPoint(20, 12);
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, at);
    QTest::mouseClick(form.windowHandle(), Qt::MiddleButton, {}, at);
    EXPECT_EQ(seen, (std::vector<std::string>{"down 1 20,12", "click", "up 1 20,12", "down 4 20,12",
                                              "up 4 20,12"}));
    seen.clear();
    QTest::mouseDClick(form.windowHandle(), Qt::LeftButton, {}, at);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "double"), 1);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "down 1 20,12"),
              std::count(seen.begin(), seen.end(), "up 1 20,12"));
}

TEST_F(AlignEditTest, PublishedPropertiesActAtOnceAndSaySo) {
    const std::pair<const char*, QVariant> changes[] = {
        {"BorderStyle", QVariant::fromValue(TAlignEdit::bsNone)},
        {"CharCase", QVariant::fromValue(TAlignEdit::ecUpperCase)},
        {"HideSelection", false},
        {"OEMConvert", true},
        {"PasswordChar", QChar(u'*')},
        {"PopupMenu", QVariant::fromValue(static_cast<QMenu*>(nullptr))},
    };
    for (const auto& [name, value] : changes) {
        const QMetaProperty property =
            box->metaObject()->property(box->metaObject()->indexOfProperty(name));
        ASSERT_TRUE(property.hasNotifySignal()) << name;
        QSignalSpy notified(box, property.notifySignal());
        const QVariant before = property.read(box);
        ASSERT_TRUE(property.write(box, value)) << name;
        EXPECT_EQ(notified.count(), before == value ? 0 : 1) << name;
    }
    auto* menu = new QMenu(box);
    box->setPopupMenu(menu);
    QContextMenuEvent request(QContextMenuEvent::Mouse, {5, 5}, box->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(box->viewport(), &request);
    EXPECT_TRUE(menu->isVisible());
    menu->close();
    // Without a border a one-line box is two pixels lower.
    EXPECT_EQ(box->frameWidth(), 0);
    EXPECT_EQ(box->height(), box->fontMetrics().height() + 7);
}

TEST_F(AlignEditTest, CharCaseAppliesToTypedPastedAndAssignedText) {
    ASSERT_TRUE(form.showActive());
    box->setText(QStringLiteral("Ab"));
    box->setCharCase(TAlignEdit::ecUpperCase);
    EXPECT_EQ(box->text(), QStringLiteral("AB"));
    tabInto();
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClick(box, Qt::Key_C);
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_Eacute, QStringLiteral("é"), Qt::NoModifier);
    QGuiApplication::clipboard()->setText(QStringLiteral("d"));
    box->paste();
    EXPECT_EQ(box->text(), QStringLiteral("ABCÉD"));
    EXPECT_EQ(keysPressed.front(), 'c');  // OnKeyPress sees the key as typed
    box->setCharCase(TAlignEdit::ecLowerCase);
    box->setText(QStringLiteral("XyZ"));
    EXPECT_EQ(box->text(), QStringLiteral("xyz"));
}

TEST_F(AlignEditTest, PasswordCharMasksTheShownTextOnly) {
    box->setText(QStringLiteral("code"));
    ASSERT_TRUE(form.showActive());
    box->setPasswordChar(u'*');
    EXPECT_EQ(box->toPlainText(), QStringLiteral("****"));
    EXPECT_EQ(box->text(), QStringLiteral("code"));
    tabInto();
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, QStringLiteral("4*2"));
    QTest::keyClick(box, Qt::Key_Left);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(box->text(), QStringLiteral("ode42"));
    EXPECT_EQ(box->toPlainText(), QStringLiteral("*****"));

    // Nothing leaves by the clipboard, and cutting leaves the text alone; pasting works.
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    box->selectAll();
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    EXPECT_EQ(box->text(), QStringLiteral("ode42"));
    QTest::keyClick(box, Qt::Key_End);
    box->paste();
    EXPECT_EQ(box->text(), QStringLiteral("ode42before"));
    EXPECT_FALSE(box->document()->isUndoAvailable());

    box->setText(QStringLiteral("xy"));
    EXPECT_EQ(box->toPlainText(), QStringLiteral("**"));
    box->setPasswordChar(QChar());
    EXPECT_EQ(box->toPlainText(), QStringLiteral("xy"));
    EXPECT_EQ(box->text(), QStringLiteral("xy"));
}

TEST_F(AlignEditTest, HideSelectionHidesItOnlyWhenTheBoxIsLeft) {
    box->setColorOnNoFocus(clBlack);
    box->setText(QStringLiteral("123"));
    ASSERT_TRUE(form.showActive());
    tabInto();
    const QColor highlight = QApplication::palette().color(QPalette::Inactive, QPalette::Highlight);
    EXPECT_EQ(box->palette().color(QPalette::Inactive, QPalette::Highlight), highlight);
    after->setFocus();
    EXPECT_EQ(box->palette().color(QPalette::Inactive, QPalette::Highlight), Qt::black);
    box->setHideSelection(false);
    EXPECT_EQ(box->palette().color(QPalette::Inactive, QPalette::Highlight), highlight);
}

}  // namespace
