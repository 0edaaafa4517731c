#include <gtest/gtest.h>

#include <limits>

#include "Lines.h"
#include "Rendering.h"

namespace {

constexpr QRgb black = 0xff000000u;
constexpr QRgb white = 0xffffffffu;
constexpr QRgb green = TestForm::background;

// The pixels of the form along a row or a column, inclusive: 'k' black, 'w' white, '.' the
// form's background, '?' anything else.
std::string pixels(const QImage& image, QPoint from, QPoint to) {
    std::string seen;
    const QPoint step(to.x() > from.x(), to.y() > from.y());
    for (QPoint at = from;; at += step) {
        const QRgb pixel = image.pixel(at);
        seen += pixel == black ? 'k' : pixel == white ? 'w' : pixel == green ? '.' : '?';
        if (at == to) {
            return seen;
        }
    }
}

std::array<int, 4> segment(const TLine* line) {
    return {line->fromX(), line->fromY(), line->toX(), line->toY()};
}

TEST(Line, NewLineIsACustomDiagonalWithoutItsEndPoint) {
    TestForm form;
    auto* line = new TLine(&form);
    line->move(10, 10);
    ASSERT_TRUE(form.showActive());
    EXPECT_EQ(line->size(), QSize(65, 65));
    EXPECT_EQ(segment(line), (std::array{0, 0, 35, 35}));
    const QImage image = form.shot();
    std::string diagonal;
    for (int i = 0; i < 40; ++i) {
        diagonal += pixels(image, {10 + i, 10 + i}, {10 + i, 10 + i});
    }
    EXPECT_EQ(diagonal, std::string(35, 'k') + ".....");
    EXPECT_EQ(image.pixel(10 + 40, 10 + 5), green);  // not opaque off the line
}

TEST(Line, CentredLinesTakeTenTimesThePenWidth) {
    // An etched separator: two horizontal lines one pixel apart, the lower one white and
    // painted over the upper one's rectangle, which shows through it.
    TestForm form;
    auto* dark = new TLine(&form);
    dark->setGeometry(86, 158, 196, 65);
    dark->setLine(TLine::ltHorizontal);
    auto* light = new TLine(&form);
    light->setGeometry(86, 159, 196, 65);
    light->setPen(QStringLiteral("clWhite"));
    light->setLine(TLine::ltHorizontal);
    auto* vertical = new TLine(&form);
    vertical->setGeometry(10, 10, 65, 50);
    vertical->setLine(TLine::ltVertical);
    ASSERT_TRUE(form.showActive());
    EXPECT_EQ(dark->size(), QSize(196, 10));
    EXPECT_EQ(segment(dark), (std::array{0, 4, 195, 4}));
    EXPECT_EQ(vertical->size(), QSize(10, 50));
    QImage image = form.shot();
    EXPECT_EQ(pixels(image, {150, 160}, {150, 165}), "..kw..");
    EXPECT_EQ(pixels(image, {85, 162}, {282, 162}), '.' + std::string(195, 'k') + "..");
    EXPECT_EQ(pixels(image, {85, 163}, {282, 163}), '.' + std::string(195, 'w') + "..");
    EXPECT_EQ(pixels(image, {14, 9}, {14, 60}), '.' + std::string(49, 'k') + "..");

    // Widening the pen in place thickens the control at the next paint.
    dark->pen()->setWidth(3);
    light->hide();
    TestForm::settle();
    EXPECT_EQ(dark->size(), QSize(196, 30));
    EXPECT_EQ(dark->fromY(), 14);
    image = form.shot();
    EXPECT_EQ(pixels(image, {150, 170}, {150, 174}), ".kkk.");
    EXPECT_EQ(pixels(image, {276, 172}, {282, 172}), "kkkkk..");
}

TEST(Line, CustomPointsGrowTheControlAndNegativeOnesAreRaised) {
    TestForm form;
    auto* line = new TLine(&form);
    line->move(10, 10);
    line->setFromX(-3);
    line->setFromY(-5);
    line->setToX(100);
    line->setToY(40);
    ASSERT_TRUE(form.showActive());
    EXPECT_EQ(line->size(), QSize(101, 65));  // widened, and never shrunk
    EXPECT_EQ(segment(line), (std::array{0, 0, 100, 40}));

    // Drawn whole once grown, all but the end point.
    line->setToY(100);
    TestForm::settle();
    EXPECT_EQ(line->size(), QSize(101, 101));
    const QImage image = form.shot();
    EXPECT_EQ(image.pixel(10 + 99, 10 + 99), black);
    EXPECT_EQ(image.pixel(10 + 100, 10 + 100), green);
}

TEST(Line, ExtremeValuesKeepTheControlUsable) {
    TestForm form;
    // A pen of width 0 draws one pixel wide: its centred line keeps a height to draw in.
    auto* thin = new TLine(&form);
    thin->setGeometry(10, 10, 50, 65);
    thin->pen()->setWidth(0);
    thin->setLine(TLine::ltHorizontal);
    // A point at the end of the integer range grows the control as far as a widget goes.
    auto* far = new TLine(&form);
    far->setToX(std::numeric_limits<int>::max());
    // A segment that ends where it starts draws nothing.
    auto* dot = new TLine(&form);
    dot->setGeometry(100, 10, 1, 20);
    dot->setLine(TLine::ltTop);
    ASSERT_TRUE(form.showActive());
    EXPECT_EQ(form.shot().pixel(100, 10), green);
    EXPECT_EQ(thin->height(), 10);
    EXPECT_EQ(form.shot().pixel(10, 14), black);
    EXPECT_EQ(far->width(), QWIDGETSIZE_MAX);
}

TEST(Line, CoordinatesOfFixedKindsAreOutputsOnly) {
    TestForm form;
    auto* line = new TLine(&form);
    line->setLine(TLine::ltTop);
    ASSERT_TRUE(form.showActive());
    PaintCounter counter(line);
    line->setFromX(7);
    TestForm::settle();
    EXPECT_EQ(line->fromX(), 0);
    EXPECT_EQ(counter.paints, 0);
    // A custom line takes them and repaints.
    line->setLine(TLine::ltCustom);
    line->setFromX(7);
    TestForm::settle();
    EXPECT_EQ(line->fromX(), 7);
    EXPECT_GT(counter.paints, 0);
}

TEST(Line, ChangingTheKindTurnsCentredLines) {
    struct Case {
        TLine::TLineType from;
        TLine::TLineType to;
        QSize before;
        QSize after;
    };
    const Case cases[] = {
        {TLine::ltHorizontal, TLine::ltVertical, {196, 10}, {10, 196}},
        {TLine::ltHorizontal, TLine::ltLeft, {196, 10}, {65, 196}},
        {TLine::ltHorizontal, TLine::ltDownDiagonal, {196, 10}, {196, 65}},
        {TLine::ltHorizontal, TLine::ltCustom, {196, 10}, {196, 10}},
        {TLine::ltVertical, TLine::ltHorizontal, {10, 196}, {196, 10}},
        {TLine::ltVertical, TLine::ltTop, {10, 196}, {196, 65}},
        {TLine::ltVertical, TLine::ltUpDiagonal, {10, 196}, {65, 196}},
        {TLine::ltTop, TLine::ltVertical, {120, 30}, {120, 30}},
        {TLine::ltDownDiagonal, TLine::ltHorizontal, {120, 30}, {120, 30}},
    };
    for (const Case& c : cases) {
        TLine line;
        line.setLine(c.from);
        line.resize(c.before);
        line.setLine(c.to);
        EXPECT_EQ(line.size(), c.after) << c.from << " to " << c.to;
    }
}

TEST(Line, SolidBrushFillsTheGapsOfADottedPen) {
    TestForm form;
    auto* filled = new TLine(&form);
    filled->setGeometry(10, 10, 100, 10);
    filled->setPen(QStringLiteral("dot"));
    filled->setLine(TLine::ltTop);
    auto* clear = new TLine(&form);
    clear->setGeometry(10, 30, 100, 10);
    clear->setPen(QStringLiteral("dot"));
    clear->setBrush(QStringLiteral("clear"));
    clear->setLine(TLine::ltTop);
    ASSERT_TRUE(form.showActive());
    const QImage image = form.shot();
    const std::string dotted = pixels(image, {10, 10}, {108, 10});
    EXPECT_EQ(dotted.find_first_not_of("kw"), std::string::npos) << dotted;
    EXPECT_NE(dotted.find('w'), std::string::npos) << dotted;
    const std::string open = pixels(image, {10, 30}, {108, 30});
    EXPECT_EQ(open.find_first_not_of("k."), std::string::npos) << open;
    EXPECT_NE(open.find('.'), std::string::npos) << open;
}

}  // namespace
