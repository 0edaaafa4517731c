#include <gtest/gtest.h>

#include <QPushButton>
#include <QSignalSpy>
#include <limits>
#include <set>
#include <utility>

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
    // Every change away from a centred line; the sizes are uneven so that a swap shows.
    using enum TLine::TLineType;
    const auto expected = [](TLine::TLineType from, TLine::TLineType to) -> QSize {
        if (from == ltHorizontal) {  // from 196 x 12
            switch (to) {
                case ltVertical:
                    return {12, 196};
                case ltTop:
                case ltBottom:
                case ltUpDiagonal:
                case ltDownDiagonal:
                    return {196, 65};
                case ltLeft:
                case ltRight:
                    return {65, 196};
                default:
                    return {196, 12};
            }
        }
        switch (to) {  // from 12 x 196
            case ltHorizontal:
                return {196, 12};
            case ltTop:
            case ltBottom:
                return {196, 65};
            case ltLeft:
            case ltRight:
            case ltUpDiagonal:
            case ltDownDiagonal:
                return {65, 196};
            default:
                return {12, 196};
        }
    };
    for (const TLine::TLineType from : {ltHorizontal, ltVertical}) {
        for (int to = ltCustom; to <= ltDownDiagonal; ++to) {
            if (to == from) {
                continue;
            }
            TLine line;
            line.setLine(from);
            line.resize(from == ltHorizontal ? QSize(196, 12) : QSize(12, 196));
            line.setLine(TLine::TLineType(to));
            EXPECT_EQ(line.size(), expected(from, TLine::TLineType(to))) << from << " to " << to;
        }
    }
    // Any other kind keeps its size whatever it becomes.
    for (const TLine::TLineType from : {ltCustom, ltTop, ltRight, ltDownDiagonal}) {
        TLine line;
        line.setLine(from);
        line.resize(120, 30);
        line.setLine(from == ltCustom ? ltVertical : ltHorizontal);
        EXPECT_EQ(line.size(), QSize(120, 30)) << from;
    }
}

// The pixels of a one-pixel line by the textbook midpoint algorithm: integer steps along the
// longer axis, a step across when the decision value is positive, the end point left out.
std::set<std::pair<int, int>> midpointLine(int x0, int y0, int x1, int y1) {
    std::set<std::pair<int, int>> pixels;
    const int dx = std::abs(x1 - x0);
    const int dy = std::abs(y1 - y0);
    const int sx = x1 < x0 ? -1 : 1;
    const int sy = y1 < y0 ? -1 : 1;
    int x = x0;
    int y = y0;
    if (dx >= dy) {
        for (int d = 2 * dy - dx; x != x1; x += sx, d += 2 * dy) {
            pixels.emplace(x, y);
            if (d > 0) {
                y += sy;
                d -= 2 * dx;
            }
        }
    } else {
        for (int d = 2 * dx - dy; y != y1; y += sy, d += 2 * dx) {
            pixels.emplace(x, y);
            if (d > 0) {
                x += sx;
                d -= 2 * dy;
            }
        }
    }
    return pixels;
}

// The black pixels of `image` within `area`, relative to its top-left corner.
std::set<std::pair<int, int>> blackPixels(const QImage& image, const QRect& area) {
    std::set<std::pair<int, int>> pixels;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) == black) {
                pixels.emplace(x - area.left(), y - area.top());
            }
        }
    }
    return pixels;
}

TEST(Line, OnePixelPensDrawTheMidpointPixels) {
    using enum TLine::TLineType;
    for (int kind = ltHorizontal; kind <= ltDownDiagonal; ++kind) {
        TestForm form;
        auto* line = new TLine(&form);
        line->setGeometry(10, 10, 50, kind == ltHorizontal ? 10 : 30);
        line->setLine(TLine::TLineType(kind));
        ASSERT_TRUE(form.showActive());
        EXPECT_EQ(blackPixels(form.shot(), line->geometry()),
                  midpointLine(line->fromX(), line->fromY(), line->toX(), line->toY()))
            << "kind " << kind;
    }
    // Custom lines run either way and grow to show both ends, FromX and FromY included.
    const std::array<std::array<int, 4>, 3> customs{
        {{70, 5, 3, 20}, {2, 80, 9, 1}, {0, 0, 40, 17}}};
    for (const auto& [fromX, fromY, toX, toY] : customs) {
        TestForm form;
        auto* line = new TLine(&form);
        line->move(10, 10);
        line->setFromX(fromX);
        line->setFromY(fromY);
        line->setToX(toX);
        line->setToY(toY);
        ASSERT_TRUE(form.showActive());
        EXPECT_EQ(line->size(),
                  QSize(std::max({fromX + 1, toX + 1, 65}), std::max({fromY + 1, toY + 1, 65})));
        EXPECT_EQ(blackPixels(form.shot(), line->geometry()), midpointLine(fromX, fromY, toX, toY))
            << fromX << "," << fromY << " to " << toX << "," << toY;
    }
}

TEST(Line, StaysBelowControlsWithAWindowOfTheirOwn) {
    TestForm form;
    auto* button = new QPushButton(QStringLiteral("OK"), &form);
    button->setGeometry(20, 20, 80, 30);
    auto* line = new TLine(&form);  // created after the button, over it
    line->setGeometry(0, 0, 200, 100);
    line->setLine(TLine::ltDownDiagonal);
    line->raise();
    QSignalSpy clicked(button, &QPushButton::clicked);
    std::vector<QPoint> downs;
    QObject::connect(
        line, &TLine::OnMouseDown,
        [&](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) { downs.emplace_back(x, y); });
    ASSERT_TRUE(form.showActive());
    // Beside the line, inside the button: the button's click.
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, QPoint(90, 25));
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_TRUE(downs.empty());
    // Where no control is, the line hears the mouse, in its own coordinates.
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, QPoint(150, 80));
    EXPECT_EQ(downs, std::vector<QPoint>{QPoint(150, 80)});
    // The button paints over the line.
    EXPECT_NE(form.shot().pixel(40, 20), black);
}

TEST(Brush, EachHatchRunsItsOwnWay) {
    // The directions in which the hatch has a run of eight pixels: right, down, down-right and
    // up-right.
    const auto runs = [](TBrush::TBrushStyle style) {
        TBrush brush;
        brush.setColour(clBlack);
        brush.setStyle(style);
        QImage image(48, 48, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter(&image).fillRect(image.rect(), brush.toQBrush());
        const auto runsFrom = [&](QPoint start, QPoint step) {
            for (int i = 0; i < 8; ++i) {
                if (image.pixel(start + i * step) != black) {
                    return false;
                }
            }
            return true;
        };
        std::string seen;
        for (const QPoint step : {QPoint(1, 0), QPoint(0, 1), QPoint(1, 1), QPoint(1, -1)}) {
            bool found = false;
            for (int y = 16; y < 32 && !found; ++y) {
                for (int x = 16; x < 32 && !found; ++x) {
                    found = runsFrom({x, y}, step);
                }
            }
            seen += found ? '+' : '.';
        }
        return seen;
    };
    EXPECT_EQ(runs(TBrush::bsSolid), "++++");
    EXPECT_EQ(runs(TBrush::bsClear), "....");
    EXPECT_EQ(runs(TBrush::bsHorizontal), "+...");
    EXPECT_EQ(runs(TBrush::bsVertical), ".+..");
    EXPECT_EQ(runs(TBrush::bsFDiagonal), "..+.");  // top-left to bottom-right
    EXPECT_EQ(runs(TBrush::bsBDiagonal), "...+");  // bottom-left to top-right
    EXPECT_EQ(runs(TBrush::bsCross), "++..");
    EXPECT_EQ(runs(TBrush::bsDiagCross), "..++");
}

}  // namespace
