#include <gtest/gtest.h>

#include <limits>

#include "Lines.h"
#include "Rendering.h"

namespace {

constexpr QRgb black = 0xff000000u;
constexpr QRgb white = 0xffffffffu;
constexpr QRgb green = TestForm::background;

// Counts the paints a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// The pixels of row y (or column x) of the form from `from` to `to` inclusive, as a string:
// 'k' black, 'w' white, '.' the form's background, '?' anything else.
std::string row(const QImage& image, int y, int from, int to) {
    std::string pixels;
    for (int x = from; x <= to; ++x) {
        const QRgb pixel = image.pixel(x, y);
        pixels += pixel == black ? 'k' : pixel == white ? 'w' : pixel == green ? '.' : '?';
    }
    return pixels;
}

std::string column(const QImage& image, int x, int from, int to) {
    std::string pixels;
    for (int y = from; y <= to; ++y) {
        pixels += row(image, y, x, x);
    }
    return pixels;
}

TEST(Line, NewLineIsACustomDiagonalWithoutItsEndPoint) {
    TestForm form;
    auto* line = new TLine(&form);
    line->move(10, 10);
    EXPECT_EQ(line->size(), QSize(65, 65));
    EXPECT_EQ(line->line(), TLine::ltCustom);
    EXPECT_EQ(line->pen()->colour(), clBlack);
    EXPECT_EQ(line->pen()->width(), 1);
    EXPECT_EQ(line->brush()->colour(), clWhite);
    EXPECT_EQ(line->brush()->style(), TBrush::bsSolid);
    ASSERT_TRUE(form.showActive());
    const QImage image = form.shot();
    int drawn = 0;
    for (int i = 0; i < 65; ++i) {
        drawn += image.pixel(10 + i, 10 + i) == black ? 1 : 0;
    }
    EXPECT_EQ(drawn, 35);  // (0,0) to (34,34); (35,35) is the end point
    EXPECT_EQ(image.pixel(10 + 34, 10 + 34), black);
    EXPECT_EQ(image.pixel(10 + 35, 10 + 35), green);
    // Not opaque: the form shows through off the line.
    EXPECT_EQ(image.pixel(10 + 40, 10 + 5), green);
    EXPECT_EQ((std::array{line->fromX(), line->fromY(), line->toX(), line->toY()}),
              (std::array{0, 0, 35, 35}));
}

TEST(Line, HorizontalLineTakesTenTimesThePenWidthAndCentresItself) {
    TestForm form;
    auto* line = new TLine(&form);
    line->setGeometry(10, 20, 196, 65);
    line->setLine(TLine::ltHorizontal);
    ASSERT_TRUE(form.showActive());
    EXPECT_EQ(line->size(), QSize(196, 10));
    EXPECT_EQ((std::array{line->fromX(), line->fromY(), line->toX(), line->toY()}),
              (std::array{0, 4, 195, 4}));
    QImage image = form.shot();
    EXPECT_EQ(row(image, 24, 9, 206), '.' + std::string(195, 'k') + "..");
    EXPECT_EQ(column(image, 100, 18, 31), "......k.......");

    // Widening the pen in place thickens the control at the next paint.
    line->pen()->setWidth(3);
    TestForm::settle();
    EXPECT_EQ(line->size(), QSize(196, 30));
    EXPECT_EQ(line->fromY(), 14);
    image = form.shot();
    EXPECT_EQ(column(image, 100, 32, 36), ".kkk.");
    EXPECT_EQ(row(image, 34, 200, 206), "kkkkk..");
}

TEST(Line, VerticalAndEdgeKindsDrawWhereTheirSizeSays) {
    TestForm form;
    auto* vertical = new TLine(&form);
    vertical->setGeometry(10, 10, 65, 50);
    vertical->setLine(TLine::ltVertical);
    auto* bottom = new TLine(&form);
    bottom->setGeometry(100, 10, 40, 20);
    bottom->setLine(TLine::ltBottom);
    auto* up = new TLine(&form);
    up->setGeometry(200, 10, 10, 10);
    up->setLine(TLine::ltUpDiagonal);
    ASSERT_TRUE(form.showActive());
    EXPECT_EQ(vertical->size(), QSize(10, 50));
    EXPECT_EQ(bottom->size(), QSize(40, 20));
    const QImage image = form.shot();
    EXPECT_EQ(column(image, 14, 9, 60), '.' + std::string(49, 'k') + "..");
    EXPECT_EQ(row(image, 29, 99, 140), '.' + std::string(39, 'k') + "..");
    EXPECT_EQ((std::array{up->fromX(), up->fromY(), up->toX(), up->toY()}),
              (std::array{0, 9, 9, 0}));
    EXPECT_EQ(image.pixel(200, 19), black);
    EXPECT_EQ(image.pixel(208, 11), black);
    EXPECT_EQ(image.pixel(209, 10), green);
}

TEST(Line, EtchedSeparatorShowsBothLines) {
    // Two horizontal lines one pixel apart, the lower in white over the upper's rectangle.
    TestForm form;
    auto* dark = new TLine(&form);
    dark->setGeometry(86, 158, 196, 65);
    dark->setLine(TLine::ltHorizontal);
    auto* light = new TLine(&form);
    light->setGeometry(86, 159, 196, 65);
    light->setPen(QStringLiteral("clWhite"));
    light->setLine(TLine::ltHorizontal);
    ASSERT_TRUE(form.showActive());
    EXPECT_EQ(dark->height(), 10);
    EXPECT_EQ(light->height(), 10);
    const QImage image = form.shot();
    EXPECT_EQ(column(image, 150, 160, 165), "..kw..");
    EXPECT_EQ(row(image, 162, 85, 282), '.' + std::string(195, 'k') + "..");
    EXPECT_EQ(row(image, 163, 85, 282), '.' + std::string(195, 'w') + "..");
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
    EXPECT_EQ((std::array{line->fromX(), line->fromY(), line->toX(), line->toY()}),
              (std::array{0, 0, 100, 40}));

    // Drawn whole once grown: the last pixel before the end point is there.
    line->setToY(100);
    TestForm::settle();
    EXPECT_EQ(line->size(), QSize(101, 101));
    const QImage image = form.shot();
    EXPECT_EQ(image.pixel(10, 10), black);
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
    // A custom point at the end of the integer range grows the control as far as it can go.
    auto* far = new TLine(&form);
    far->setToX(std::numeric_limits<int>::max());
    far->setToY(0);
    far->move(0, 100);
    ASSERT_TRUE(form.showActive());
    EXPECT_EQ(thin->height(), 10);
    EXPECT_EQ(form.shot().pixel(10, 14), black);
    EXPECT_EQ(far->width(), QWIDGETSIZE_MAX);
    EXPECT_EQ(far->toX(), std::numeric_limits<int>::max());
}

TEST(Line, CoordinatesOfFixedKindsAreOutputsOnly) {
    TestForm form;
    auto* line = new TLine(&form);
    line->setLine(TLine::ltTop);
    ASSERT_TRUE(form.showActive());
    PaintCounter counter;
    line->installEventFilter(&counter);
    line->setFromX(7);
    line->setToY(9);
    TestForm::settle();
    EXPECT_EQ(line->fromX(), 0);
    EXPECT_EQ(line->toY(), 0);
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
        EXPECT_EQ(line.line(), c.to);
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
    const std::string dotted = row(image, 10, 10, 108);
    EXPECT_NE(dotted.find('k'), std::string::npos);
    EXPECT_EQ(dotted.find_first_not_of("kw"), std::string::npos) << dotted;
    EXPECT_NE(dotted.find('w'), std::string::npos) << dotted;
    const std::string open = row(image, 30, 10, 108);
    EXPECT_EQ(open.find_first_not_of("k."), std::string::npos) << open;
    EXPECT_NE(open.find('.'), std::string::npos) << open;
}

}  // namespace
