// The wave curve on a QImage: which pixels of each column a known wave lights, mono and stereo,
// by lines and by points, the opacity blend, random spacing, the columns left blank beyond the
// wave, input that draws nothing, the time grid and the nodes of the user drawing.

#include "waveui/drawing/WaveCurve.h"

#include "general/random/Random15.h"
#include "support/WaveWindows.h"
#include "window_base/QtCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace kelvorn {
namespace {

using namespace kelvorn::test;
using Column = std::map<int, uint32_t>;

constexpr uint32_t White = 0xFFFFFF, Black = 0x000000, Red = 0x0000FF, Blue = 0xFF0000;
constexpr uint32_t Grey = 0x808080, Green = 0x00FF00, Yellow = 0x00FFFF;
// 64 rows: a value v lands on row trunc(32 - v / 1024).
constexpr PixelRect Area20{0, 0, 20, 64};
constexpr PixelRect Area40{0, 0, 40, 64};

/// The rows of column x whose colour is not background, with their colours.
Column LitRows(const QtCanvas& canvas, int x, uint32_t background = White)
{
    Column rows;
    for (int y = 0; y < canvas.Height(); ++y)
        if (canvas.Pixel(x, y) != background)
            rows[y] = canvas.Pixel(x, y);
    return rows;
}

/// Rows first..last (inclusive) in colour, over the rows of base.
Column Rows(int first, int last, uint32_t colour, Column base = {})
{
    for (int y = first; y <= last; ++y)
        base[y] = colour;
    return base;
}

/// Lines, constant spacing, no grid, black on white, left red and right blue.
TWaveViewProps Plain(int32_t valuesPerPixel, uint8_t kind = drawKindLines)
{
    TWaveViewProps props;
    props.UseGrid = 0;
    props.DrawKind = kind;
    props.ValuesPerPixel.SetValue(valuesPerPixel);
    props.BackgroundColor = static_cast<int32_t>(White);
    props.SingleColor = static_cast<int32_t>(Black);
    props.GridColor = static_cast<int32_t>(Grey);
    props.LeftColor = static_cast<int32_t>(Red);
    props.RightColor = static_cast<int32_t>(Blue);
    return props;
}

/// sound drawn on a canvas of area's size filled with fill, its view [zoomBegin, zoomEnd).
std::unique_ptr<QtCanvas> Draw(const Sound& sound, const TWaveViewProps& props, double zoomBegin,
                               double zoomEnd, PixelRect area = Area20, uint32_t fill = White,
                               bool inverted = false, PixelRect span = {})
{
    auto canvas = std::make_unique<QtCanvas>(area.right, area.bottom, fill);
    Random15 spacing;
    DrawWave(*canvas, area, span.right ? span : area, zoomBegin, zoomEnd, sound, props, props,
             inverted, spacing);
    return canvas;
}

/// Every column of canvas against expected(x).
void ExpectColumns(const QtCanvas& canvas, const std::function<Column(int)>& expected,
                   uint32_t background = White, const std::string& name = "")
{
    for (int x = 0; x < canvas.Width(); ++x)
        EXPECT_EQ(LitRows(canvas, x, background), expected(x)) << name << " column " << x;
}

// The curve tests count time in milliseconds: 1000 values per second.
SoundPtr M(WavePtr wave)
{
    return Mono(std::move(wave), 1000);
}
SoundPtr S(WavePtr left, WavePtr right)
{
    return Stereo(std::move(left), std::move(right), 1000);
}

auto Level(int v)
{
    return [v](int) { return v; };
}

TEST(WaveCurve, SquareWaveLightsOneRowPerHalfAndTheEdgeInBetween)
{
    auto sound = M(WaveOf(200, [](int i) { return i < 100 ? 16384 : -16384; }));
    // Column 9 reads samples 95..105, across the edge; column 19 would read past the last
    // value and is left blank.
    ExpectColumns(*Draw(*sound, Plain(10), 0, 200), [](int x) {
        return x < 9    ? Rows(16, 16, Black)
               : x == 9 ? Rows(16, 48, Black)
               : x < 19 ? Rows(48, 48, Black)
                        : Column{};
    });
}

TEST(WaveCurve, SineLightsTheStrokeBetweenEachColumnsExtremes)
{
    // Period 40 samples, 10 per column: column 0 reads samples 5..15 around the crest
    // (20000 -> row 12, 14142 -> row 18), column 2 the trough.
    auto sound = M(WaveOf(400, [](int i) {
        return std::trunc(20000.0 * std::sin(2.0 * std::numbers::pi * i / 40.0));
    }));
    const std::pair<int, int> strokes[4] = {{12, 18}, {18, 45}, {45, 51}, {18, 45}};
    ExpectColumns(*Draw(*sound, Plain(10), 0, 400, Area40), [&](int x) {
        return x < 39 ? Rows(strokes[x % 4].first, strokes[x % 4].second, Black) : Column{};
    });
}

TEST(WaveCurve, SelectedPartDrawsTheCurveInTheBackgroundColour)
{
    auto sound = M(WaveOf(200, Level(16384)));
    // The pane fills a selected span with the curve colour.
    ExpectColumns(
        *Draw(*sound, Plain(10), 0, 200, Area20, Black, true, {5, 0, 8, 64}),
        [](int x) { return x >= 5 && x < 8 ? Rows(16, 16, White) : Column{}; }, Black);
}

TEST(WaveCurve, OnlyColumnsOverTheWaveAreDrawn)
{
    struct Case
    {
        double zoomBegin, zoomEnd;
        int first, end; // lit columns [first, end)
    };
    auto sound = M(WaveOf(200, Level(16384)));
    for (const Case& c : {Case{0, 200, 0, 19}, // full view: the last column reads past
                          Case{-100, 100, 9, 20}, Case{100, 300, 0, 9}, Case{-100, 300, 4, 14},
                          Case{300, 500, 0, 0}, Case{-500, -300, 0, 0}, Case{0, 1e300, 0, 0},
                          Case{150, 150, 0, 0}, Case{200, 0, 0, 0}})
        for (uint8_t kind : {drawKindLines, drawKindPoints})
            ExpectColumns(
                *Draw(*sound, Plain(10, kind), c.zoomBegin, c.zoomEnd),
                [&](int x) { return x >= c.first && x < c.end ? Rows(16, 16, Black) : Column{}; },
                White, std::to_string(c.zoomBegin) + ".." + std::to_string(c.zoomEnd));
    // A span one column wide draws that column.
    ExpectColumns(*Draw(*sound, Plain(10), 0, 200, Area20, White, false, {7, 0, 8, 64}),
                  [](int x) { return x == 7 ? Rows(16, 16, Black) : Column{}; });
}

TEST(WaveCurve, EachPointBlendsWithThePixelBelowAndStaysWithinAByte)
{
    struct Case
    {
        double strength;
        uint32_t background, colour, expected;
    };
    // A rising ramp read once per column: every column sets one pixel once.
    auto sound = M(WaveOf(400, [](int i) { return (i - 200) * 100; }));
    for (const Case& c : {Case{1.0, White, Red, Red}, Case{0.5, White, Red, 0x7F7FFF},
                          Case{0.25, Black, Blue, 0x3F0000},
                          // 2 × colour - background: 357, 282 and -51 clamp to 255, 255, 0
                          Case{2.0, 0x336699, 0x00C0FF, 0x00FFFF}, Case{2.0, White, Red, Red},
                          Case{1e9, 0x808080, 0x7F8081, 0x0080FF}}) {
        TWaveViewProps props = Plain(1, drawKindPoints);
        props.SingleColor = static_cast<int32_t>(c.colour);
        props.Strength.SetValue(c.strength);
        const auto canvas = Draw(*sound, props, 0, 400, Area40, c.background);
        int previousRow = 64;
        for (int x = 0; x < 39; ++x) {
            const Column rows = LitRows(*canvas, x, c.background);
            ASSERT_EQ(rows.size(), 1u) << c.strength << " column " << x;
            EXPECT_EQ(rows.begin()->second, c.expected) << c.strength << " column " << x;
            EXPECT_LE(rows.begin()->first, previousRow) << "column " << x;
            previousRow = rows.begin()->first;
        }
        // column 18 reads sample 195 (-500), column 19 sample 205 (500)
        EXPECT_EQ(LitRows(*canvas, 18, c.background), Rows(32, 32, c.expected));
        EXPECT_EQ(LitRows(*canvas, 19, c.background), Rows(31, 31, c.expected));
        EXPECT_TRUE(LitRows(*canvas, 39, c.background).empty());
    }
}

TEST(WaveCurve, PointsBlendAgainOnTheSamePixelButLinesAreOpaque)
{
    auto sound = M(WaveOf(200, Level(0)));
    TWaveViewProps props = Plain(2, drawKindPoints);
    props.SingleColor = static_cast<int32_t>(Red);
    props.Strength.SetValue(0.5);
    // white -> 255,127,127 -> 255,63,63
    EXPECT_EQ(LitRows(*Draw(*sound, props, 0, 200), 3), Rows(32, 32, 0x3F3FFF));
    props.DrawKind = drawKindLines;
    EXPECT_EQ(LitRows(*Draw(*sound, props, 0, 200), 3), Rows(32, 32, Red));
}

TEST(WaveCurve, RandomReadsStayInsideTheirOwnColumn)
{
    // Only sample 60 stands out; column 5 reads samples 55..65, its neighbours never reach it.
    auto sound = M(WaveOf(400, [](int i) { return i == 60 ? 30000 : 0; }));
    for (uint8_t kind : {drawKindLines, drawKindPoints}) {
        TWaveViewProps props = Plain(200, kind);
        props.DistKind = distKindRandom;
        QtCanvas canvas(40, 64, White);
        Random15 spacing(4321);
        DrawWave(canvas, Area40, Area40, 0, 400, *sound, props, props, false, spacing);
        for (int x = 0; x < 39; ++x) {
            const Column rows = LitRows(canvas, x);
            if (x == 5) {
                EXPECT_TRUE(rows.count(2) && rows.count(32)) << int(kind); // trunc(32 - 30000/1024)
            } else {
                EXPECT_EQ(rows, Rows(32, 32, Black)) << int(kind) << " column " << x;
            }
        }
    }
}

TEST(WaveCurve, RandomSpacingDrawsFromThePanesGeneratorOnly)
{
    auto sound = M(WaveOf(400, [](int i) { return (i * 7919) % 20000 - 10000; }));
    TWaveViewProps props = Plain(15);
    props.DistKind = distKindRandom;
    SeedRandom15(77);
    Random15 spacing(5);
    QtCanvas first(40, 64, White);
    DrawWave(first, Area40, Area40, 0, 400, *sound, props, props, false, spacing);
    EXPECT_EQ(NextRandom15(), Random15(77).Next()); // the seeded noise sequence is untouched
    EXPECT_NE(spacing.Next(), Random15(5).Next());
    Random15 again(5);
    QtCanvas second(40, 64, White);
    DrawWave(second, Area40, Area40, 0, 400, *sound, props, props, false, again);
    EXPECT_EQ(first.Image(), second.Image());
}

TEST(WaveCurve, ConstantSpacingReadsTheLastValueOfAColumnAgainFirst)
{
    // Column 0 reads samples 5..15 and column 1 samples 15..25: sample 15 shows in both.
    auto sound = M(WaveOf(400, [](int i) { return i == 15 ? 16384 : 0; }));
    const auto canvas = Draw(*sound, Plain(10), 0, 400, Area40);
    EXPECT_EQ(LitRows(*canvas, 0), Rows(16, 32, Black));
    EXPECT_EQ(LitRows(*canvas, 1), Rows(16, 32, Black));
    EXPECT_EQ(LitRows(*canvas, 2), Rows(32, 32, Black));
}

TEST(WaveCurve, InputThatDrawsNothingLeavesTheImage)
{
    struct Case
    {
        const char* name;
        int32_t values;
        PixelRect area, span;
        double zoomBegin, zoomEnd;
    };
    const double NaN = std::numeric_limits<double>::quiet_NaN();
    const double Inf = std::numeric_limits<double>::infinity();
    // clang-format off
    for (const Case& c : {
             Case{"one value", 1, Area20, Area20, 0, 1}, Case{"no values", 0, Area20, Area20, 0, 0},
             Case{"area without width", 200, {5, 0, 5, 64}, Area20, 0, 200},
             Case{"area without height", 200, {0, 9, 20, 9}, Area20, 0, 200},
             Case{"inverted area", 200, {20, 0, 0, 64}, Area20, 0, 200},
             Case{"span without width", 200, Area20, {7, 0, 7, 64}, 0, 200},
             Case{"span below the area", 200, {0, 0, 20, 30}, {0, 30, 20, 64}, 0, 200},
             Case{"not a number", 200, Area20, Area20, NaN, 200},
             Case{"infinite", 200, Area20, Area20, 0, Inf}}) {
        // clang-format on
        auto sound = M(WaveOf(c.values, Level(12345)));
        for (uint8_t kind : {drawKindLines, drawKindPoints}) {
            QtCanvas canvas(20, 64, White);
            Random15 spacing;
            DrawWave(canvas, c.area, c.span, c.zoomBegin, c.zoomEnd, *sound, Plain(15, kind),
                     Plain(15, kind), false, spacing);
            EXPECT_EQ(canvas.Image(), QtCanvas(20, 64, White).Image()) << c.name;
        }
    }
}

// ---- Stereo --------------------------------------------------------------------------------

TEST(StereoCurve, SingleWavesShareTheHeightWithTheirMiddleLines)
{
    auto sound = S(WaveOf(200, Level(16384)), WaveOf(200, Level(-16384)));
    TWaveViewProps props = Plain(10);
    props.DrawSingle = 1;
    // Upper half rows 0..31 (16384 -> row 8), lower half 32..63 (-16384 -> row 56); the middle
    // line spans every column even without the grid.
    ExpectColumns(*Draw(*sound, props, 0, 200), [](int x) {
        return x < 19 ? Column{{8, Black}, {32, Grey}, {56, Black}} : Rows(32, 32, Grey);
    });
    // With the grid each half has its middle line too (a line every 0.2 s falls beyond).
    props.UseGrid = 1;
    EXPECT_EQ(LitRows(*Draw(*sound, props, 0, 200), 4),
              (Column{{8, Black}, {16, Grey}, {32, Grey}, {48, Grey}, {56, Black}}));
}

TEST(StereoCurve, LayoutAndGridComeFromTheGroupColoursFromTheCaller)
{
    // An envelope is drawn with blended colours but the drawing group's own layout.
    auto sound = S(WaveOf(200, Level(16384)), WaveOf(200, Level(-16384)));
    TWaveViewProps layout = Plain(10);
    layout.DrawSingle = 1;
    TWaveViewProps colours = Plain(10);
    colours.DrawSingle = 0;
    colours.UseGrid = 1;
    colours.SingleColor = static_cast<int32_t>(Green);
    colours.GridColor = static_cast<int32_t>(Yellow);
    QtCanvas canvas(20, 64, White);
    Random15 spacing;
    DrawWave(canvas, Area20, Area20, 0, 200, *sound, colours, layout, false, spacing);
    EXPECT_EQ(LitRows(canvas, 4), (Column{{8, Green}, {32, Yellow}, {56, Green}}));
}

TEST(StereoCurve, TheFrontRuleDecidesWhichStrokeCoversTheOther)
{
    struct Run
    {
        int first, last;
        uint32_t colour;
    };
    struct Case
    {
        const char* name;
        uint8_t front;
        bool inverted;
        std::vector<Run> runs; // painted in order
    };
    // Every column reads five values of each level: the left stroke covers rows 16..40
    // (16384, -8192), the right one rows 30..48 (2048, -16384); they overlap in rows 30..40.
    auto sound = S(WaveOf(200, [](int i) { return i % 10 < 5 ? 16384 : -8192; }),
                   WaveOf(200, [](int i) { return i % 10 < 5 ? 2048 : -16384; }));
    // clang-format off
    for (const Case& c : {
             Case{"mixed", frontMixed, false, {{16, 40, Red}, {30, 48, Blue}, {30, 40, Black}}},
             Case{"left", frontLeft, false, {{30, 48, Blue}, {16, 40, Red}}},
             Case{"right", frontRight, false, {{16, 40, Red}, {30, 48, Blue}}},
             // selected: the channels swap colours and the overlap takes the background colour
             Case{"mixed selected", frontMixed, true, {{16, 40, Blue}, {30, 48, Red}, {30, 40, White}}},
             Case{"left selected", frontLeft, true, {{30, 48, Red}, {16, 40, Blue}}},
             Case{"right selected", frontRight, true, {{16, 40, Blue}, {30, 48, Red}}}}) {
        // clang-format on
        TWaveViewProps props = Plain(10);
        props.DrawSingle = 0;
        props.FrontKind = c.front;
        const uint32_t fill = c.inverted ? Black : White;
        Column expected;
        for (const Run& run : c.runs)
            expected = Rows(run.first, run.last, run.colour, expected);
        ExpectColumns(
            *Draw(*sound, props, 0, 200, Area20, fill, c.inverted),
            [&](int x) { return x < 19 ? expected : Column{}; }, fill, c.name);
    }
}

TEST(StereoCurve, TheFrontPointIsDrawnLast)
{
    struct Case
    {
        uint8_t front;
        double strength;
        uint32_t expected;
    };
    auto sound = S(WaveOf(200, Level(16384)), WaveOf(200, Level(16384)));
    for (const Case& c :
         {Case{frontMixed, 1.0, Blue}, Case{frontLeft, 1.0, Red}, Case{frontRight, 1.0, Blue},
          // red at half over white (255,127,127), then blue at half: (127,63,191)
          Case{frontMixed, 0.5, 0xBF3F7F},
          // blue at half first (127,127,255), then red: (191,63,127)
          Case{frontLeft, 0.5, 0x7F3FBF}}) {
        TWaveViewProps props = Plain(1, drawKindPoints);
        props.DrawSingle = 0;
        props.FrontKind = c.front;
        props.Strength.SetValue(c.strength);
        ExpectColumns(*Draw(*sound, props, 0, 200),
                      [&](int x) { return x < 19 ? Rows(16, 16, c.expected) : Column{}; });
    }
    // Each channel's points at its own level, whichever is at front.
    auto apart = S(WaveOf(200, Level(16384)), WaveOf(200, Level(-16384)));
    for (uint8_t front : {frontLeft, frontRight}) {
        TWaveViewProps props = Plain(1, drawKindPoints);
        props.DrawSingle = 0;
        props.FrontKind = front;
        EXPECT_EQ(LitRows(*Draw(*apart, props, 0, 200), 5), (Column{{16, Red}, {48, Blue}}));
    }
}

TEST(StereoCurve, RandomPointsOfTheFrontWaveCoverTheBackWaveExactly)
{
    // Equal channels read at the same random places: not one pixel of the back wave shows.
    auto wave = [](int i) { return (i * 7919) % 30000 - 15000; };
    auto sound = S(WaveOf(400, wave), WaveOf(400, wave));
    for (uint8_t front : {frontLeft, frontRight}) {
        TWaveViewProps props = Plain(6, drawKindPoints);
        props.DrawSingle = 0;
        props.DistKind = distKindRandom;
        props.FrontKind = front;
        QtCanvas canvas(40, 64, White);
        Random15 spacing(99);
        DrawWave(canvas, Area40, Area40, 0, 400, *sound, props, props, false, spacing);
        int lit = 0;
        for (int x = 0; x < 40; ++x)
            for (const auto& [row, colour] : LitRows(canvas, x)) {
                EXPECT_EQ(colour, front == frontLeft ? Red : Blue) << x << "," << row;
                ++lit;
            }
        EXPECT_GT(lit, 39) << int(front);
    }
}

TEST(StereoCurve, JoinedChannelsOfDifferentLengthReadOnlyTheShorter)
{
    WavePtr left = WaveOf(200, Level(16384));
    WavePtr right = WaveOf(100, Level(-16384));
    QtCanvas canvas(20, 64, White);
    Random15 spacing;
    DrawCurveJoined(canvas, Area20, Area20, *left, *right, 5, 205, Black, Red, Blue, Plain(10),
                    spacing);
    // Sample 99 lies in column 9: columns 0..8 only.
    EXPECT_EQ(LitRows(canvas, 8), (Column{{16, Red}, {48, Blue}}));
    EXPECT_TRUE(LitRows(canvas, 9).empty());
}

// ---- The time grid -------------------------------------------------------------------------

TEST(TimeGrid, LinesFallOnTheStepBoundaries)
{
    struct Case
    {
        const char* name;
        int width;
        PixelRect area, span;
        double zoomEnd; // the view starts at 0.51 s
        std::vector<int> lines;
        int32_t rate = 1000; // the samples count in milliseconds unless rate says otherwise
    };
    const PixelRect all{0, 0, 200, 50};
    // clang-format off
    for (const Case& c : {
             // 10 s over 200 columns: 1 s per 20 columns gives a 2 s step
             Case{"2 s", 200, all, all, 10510, {30, 70, 110, 150, 190}},
             // 40 s: 4 s per 20 columns gives a 5 s step
             Case{"5 s", 200, all, all, 40510, {23, 48, 73, 98, 123, 148, 173, 198}},
             // a span repaints its own columns; the lines run over the span's rows only
             Case{"span", 200, all, {35, 10, 120, 40}, 10510, {70, 110}},
             Case{"offset area", 300, {100, 0, 300, 50}, {100, 0, 300, 50}, 10510, {130, 170, 210, 250, 290}},
             // the column right of the span is drawn too when a line falls there
             Case{"line right of the span", 200, all, {0, 0, 70, 50}, 10510, {30, 70}},
             Case{"span starting on a line", 200, all, {30, 0, 120, 50}, 10510, {30, 70, 110}},
             // one value a second: the same view in seconds
             Case{"1 Hz", 200, all, all, 10.51, {30, 70, 110, 150, 190}, 1},
             Case{"empty view", 200, all, all, 510, {}}}) {
        // clang-format on
        QtCanvas canvas(c.width, 50, White);
        PaintTimeGrid(canvas, 0.51 * c.rate, c.zoomEnd, c.span, c.area, c.rate, Grey);
        ExpectColumns(
            canvas,
            [&](int x) {
                Column expected;
                if (x >= c.span.left && x < c.span.right)
                    expected = Rows(25, 25, Grey);
                if (std::find(c.lines.begin(), c.lines.end(), x) != c.lines.end())
                    expected = Rows(c.span.top, c.span.bottom - 1, Grey, expected);
                return expected;
            },
            White, c.name);
    }
    // Without a sample frequency only the middle line.
    QtCanvas canvas(20, 50, White);
    PaintTimeGrid(canvas, 0, 1000, {0, 0, 20, 50}, {0, 0, 20, 50}, 0, Grey);
    ExpectColumns(canvas, [](int) { return Rows(25, 25, Grey); });
}

TEST(TimeGrid, IsDrawnOverTheCurve)
{
    auto sound = M(WaveOf(20000, Level(16384)));
    TWaveViewProps props = Plain(15);
    props.UseGrid = 1;
    const auto canvas = Draw(*sound, props, 510, 10510, {0, 0, 200, 50});
    // 50 rows: 16384 lands on row trunc(25 - 12.5) = 12
    EXPECT_EQ(LitRows(*canvas, 30), Rows(0, 49, Grey));
    EXPECT_EQ(LitRows(*canvas, 31), (Column{{12, Black}, {25, Grey}}));
}

// ---- Nodes of the user drawing -------------------------------------------------------------

TEST(DrawNode, AnEllipseAroundTheNodeWithItsCentreInThePenColour)
{
    // Value 0 at the middle of a 1000-value wave shown whole: pixel (50, 50).
    QtCanvas canvas(100, 100, White);
    DrawDrawNode(canvas, TDrawNode(0, 0.5), Red, Blue, {0, 0, 100, 100}, 0, 1000, 1000);
    // The centre in the pen, the brush inside, the outline three pixels out, nothing in the
    // corners of the 7 × 7 box from (47, 47) nor outside it.
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const int dx = std::abs(x - 50), dy = std::abs(y - 50);
            uint32_t expected = White;
            if (dx == 0 && dy == 0)
                expected = Red;
            else if (dx + dy == 1 || (x - 50 == y - 50 && dx == 1))
                expected = Blue;
            else if ((dx == 3 && dy == 0) || (dx == 0 && dy == 3))
                expected = Red;
            if (dx > 3 || dy > 3 || (dx == 3 && dy == 3) || expected != White) {
                ASSERT_EQ(canvas.Pixel(x, y), expected) << x << "," << y;
            }
        }
    // 32767 at the top row; position 0.25 of 1000 values in a view of [200, 400): column 25.
    QtCanvas zoomed(100, 100, White);
    DrawDrawNode(zoomed, TDrawNode(32767, 0.25), Red, Blue, {0, 0, 100, 100}, 200, 400, 1000);
    for (auto [y, colour] : {std::pair{0, Red}, {2, Blue}, {3, Red}, {4, White}})
        EXPECT_EQ(zoomed.Pixel(25, y), colour) << y;
}

TEST(DrawNode, HiddenOrOutsideNodesDrawNothing)
{
    struct Case
    {
        const char* name;
        double position, zoomBegin, zoomEnd;
        int32_t values;
        bool visible;
    };
    for (const Case& c : {Case{"hidden", 0.5, 0, 1000, 1000, false},
                          Case{"left of the view", 0.1, 500, 1000, 1000, true},
                          Case{"right of the view", 0.9, 0, 500, 1000, true},
                          Case{"far beyond the integer range", 1e12, 0, 1, 1000, true},
                          Case{"no values", 0.5, 0, 1000, 0, true},
                          Case{"empty view", 0.5, 300, 300, 1000, true}}) {
        TDrawNode node(0, c.position);
        node.SetVisible(c.visible);
        QtCanvas canvas(100, 100, White);
        DrawDrawNode(canvas, node, Red, Blue, {0, 0, 100, 100}, c.zoomBegin, c.zoomEnd, c.values);
        EXPECT_EQ(canvas.Image(), QtCanvas(100, 100, White).Image()) << c.name;
    }
}

} // namespace
} // namespace kelvorn
