// The time grid: the middle line, and vertical lines at the columns where the time crosses a
// multiple of the NiceStep step of about 20 pixels; drawn over the curve when the grid is on.

#include "waveui/drawing/WaveCurve.h"

#include "waveui/drawing/CurveTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace kelvorn {
namespace {

using namespace kelvorn::test;

struct GridCase
{
    const char* name;
    int canvasWidth;
    PixelRect area;
    PixelRect span;
    double zoomBegin, zoomEnd;
    std::vector<int> lines;
};

class TimeGrid : public ::testing::TestWithParam<GridCase>
{
};

TEST_P(TimeGrid, LinesFallOnTheStepBoundaries)
{
    const GridCase& c = GetParam();
    QtCanvas canvas(c.canvasWidth, 50, White);
    PaintTimeGrid(canvas, c.zoomBegin, c.zoomEnd, c.span, c.area, 1000, Grey);
    for (int x = 0; x < c.canvasWidth; ++x) {
        std::map<int, uint32_t> expected;
        if (x >= c.span.left && x < c.span.right)
            expected = Rows(25, 25, Grey);
        if (std::find(c.lines.begin(), c.lines.end(), x) != c.lines.end())
            expected = Over(expected, Rows(c.span.top, c.span.bottom - 1, Grey));
        EXPECT_EQ(LitRows(canvas, x, White), expected) << c.name << ", column " << x;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Views, TimeGrid,
    ::testing::Values(
        // 10 s over 200 columns: 1 s per 20 columns gives a 2 s step; the view starts at 0.51 s
        GridCase{"2 s", 200, {0, 0, 200, 50}, {0, 0, 200, 50}, 510, 10510, {30, 70, 110, 150, 190}},
        // 40 s: 4 s per 20 columns gives a 5 s step
        GridCase{"5 s",
                 200,
                 {0, 0, 200, 50},
                 {0, 0, 200, 50},
                 510,
                 40510,
                 {23, 48, 73, 98, 123, 148, 173, 198}},
        // a span repaints its own columns; the lines run over the span's rows only
        GridCase{"span", 200, {0, 0, 200, 50}, {35, 10, 120, 40}, 510, 10510, {70, 110}},
        // the area need not start at column 0
        GridCase{"offset area",
                 300,
                 {100, 0, 300, 50},
                 {100, 0, 300, 50},
                 510,
                 10510,
                 {130, 170, 210, 250, 290}},
        // the column right of the span is drawn too when a line falls there
        GridCase{
            "line right of the span", 200, {0, 0, 200, 50}, {0, 0, 70, 50}, 510, 10510, {30, 70}},
        GridCase{"empty view", 200, {0, 0, 200, 50}, {0, 0, 200, 50}, 510, 510, {}}));

TEST(TimeGridOnCurve, GridIsDrawnOverTheCurve)
{
    auto sound = MonoOf(20000, [](int) { return 16384; });
    QtCanvas canvas(200, 50, White);
    Random15 spacing;
    TWaveViewProps props = PlainProps(15);
    props.UseGrid = 1;
    const PixelRect area{0, 0, 200, 50};
    DrawWave(canvas, area, area, 510, 10510, *sound, props, props, false, spacing);
    // 50 rows: 16384 lands on row trunc(25 - 12.5) = 12
    EXPECT_EQ(LitRows(canvas, 30, White), Rows(0, 49, Grey));
    EXPECT_EQ(LitRows(canvas, 31, White), (std::map<int, uint32_t>{{12, Black}, {25, Grey}}));
}

TEST(TimeGridOnCurve, ZeroSampleFrequencyDrawsOnlyTheMiddleLine)
{
    QtCanvas canvas(20, 50, White);
    PaintTimeGrid(canvas, 0, 1000, {0, 0, 20, 50}, {0, 0, 20, 50}, 0, Grey);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(LitRows(canvas, x, White), Rows(25, 25, Grey)) << x;
}

} // namespace
} // namespace kelvorn
