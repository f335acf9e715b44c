// The mono curve on a QImage: which pixels of each column a known wave lights, by lines and by
// points, the opacity blend with its clamping, random spacing kept inside its column and off the
// program-wide generator, the columns left blank beyond the wave, and input that draws nothing.

#include "waveui/drawing/WaveCurve.h"

#include "waveui/drawing/CurveTestSupport.h"

#include "general/random/Random15.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace kelvorn {
namespace {

using namespace kelvorn::test;

// 64 rows: a value v lands on row trunc(32 - v / 1024).
constexpr PixelRect Area20{0, 0, 20, 64};
constexpr PixelRect Area40{0, 0, 40, 64};

TEST(WaveCurve, SquareWaveLightsOneRowPerHalfAndTheEdgeInBetween)
{
    auto sound = MonoOf(200, [](int i) { return i < 100 ? 16384 : -16384; });
    QtCanvas canvas(20, 64, White);
    Random15 spacing;
    DrawWave(canvas, Area20, Area20, 0, 200, *sound, PlainProps(10), PlainProps(10), false,
             spacing);
    for (int x = 0; x < 20; ++x) {
        std::map<int, uint32_t> expected;
        if (x < 9)
            expected = Rows(16, 16, Black);
        else if (x == 9)
            expected = Rows(16, 48, Black); // reads samples 95..105, across the edge
        else if (x < 19)
            expected = Rows(48, 48, Black);
        // column 19 would read past the last value: left blank
        EXPECT_EQ(LitRows(canvas, x, White), expected) << "column " << x;
    }
}

TEST(WaveCurve, SineLightsTheStrokeBetweenEachColumnsExtremes)
{
    // Period 40 samples, 10 samples per column: every 4 columns repeat. Column 0 reads samples
    // 5..15 around the crest (20000 -> row 12, 14142 -> row 18), column 2 the trough.
    auto sound = MonoOf(400, [](int i) {
        return std::trunc(20000.0 * std::sin(2.0 * std::numbers::pi * i / 40.0));
    });
    QtCanvas canvas(40, 64, White);
    Random15 spacing;
    DrawWave(canvas, Area40, Area40, 0, 400, *sound, PlainProps(10), PlainProps(10), false,
             spacing);
    const std::pair<int, int> strokes[4] = {{12, 18}, {18, 45}, {45, 51}, {18, 45}};
    for (int x = 0; x < 39; ++x)
        EXPECT_EQ(LitRows(canvas, x, White),
                  Rows(strokes[x % 4].first, strokes[x % 4].second, Black))
            << "column " << x;
    EXPECT_TRUE(LitRows(canvas, 39, White).empty());
}

TEST(WaveCurve, SelectedPartDrawsTheCurveInTheBackgroundColour)
{
    auto sound = MonoOf(200, [](int) { return 16384; });
    QtCanvas canvas(20, 64, Black); // the pane fills a selected span with the curve colour
    Random15 spacing;
    TWaveViewProps props = PlainProps(10);
    DrawWave(canvas, Area20, {5, 0, 8, 64}, 0, 200, *sound, props, props, true, spacing);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(LitRows(canvas, x, Black),
                  (x >= 5 && x < 8 ? Rows(16, 16, White) : std::map<int, uint32_t>{}))
            << "column " << x;
}

struct ClipCase
{
    double zoomBegin, zoomEnd;
    int firstColumn, endColumn; // lit columns [first, end)
};

class WaveCurveClipping : public ::testing::TestWithParam<ClipCase>
{
};

TEST_P(WaveCurveClipping, OnlyColumnsOverTheWaveAreDrawn)
{
    const ClipCase& c = GetParam();
    auto sound = MonoOf(200, [](int) { return 16384; });
    QtCanvas canvas(20, 64, White);
    Random15 spacing;
    DrawWave(canvas, Area20, Area20, c.zoomBegin, c.zoomEnd, *sound, PlainProps(10), PlainProps(10),
             false, spacing);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(LitRows(canvas, x, White),
                  (x >= c.firstColumn && x < c.endColumn ? Rows(16, 16, Black)
                                                         : std::map<int, uint32_t>{}))
            << "column " << x;
}

INSTANTIATE_TEST_SUITE_P(
    Views, WaveCurveClipping,
    ::testing::Values(ClipCase{0, 200, 0, 19},    // full view: the last column reads past
                      ClipCase{-100, 100, 9, 20}, // wave starts in column 9
                      ClipCase{100, 300, 0, 9},   // wave ends in column 9
                      ClipCase{-100, 300, 4, 14}, // both ends inside the view
                      ClipCase{300, 500, 0, 0},   // view wholly after the wave
                      ClipCase{-500, -300, 0, 0}, // view wholly before it
                      ClipCase{0, 1e300, 0, 0},   // absurd zoom: the first column is past it
                      ClipCase{150, 150, 0, 0},   // empty view
                      ClipCase{200, 0, 0, 0}));   // inverted view

struct StrengthCase
{
    double strength;
    uint32_t background, colour, expected;
};

class PointStrength : public ::testing::TestWithParam<StrengthCase>
{
};

TEST_P(PointStrength, EachPointBlendsWithThePixelBelowAndStaysWithinAByte)
{
    const StrengthCase& c = GetParam();
    // A rising ramp read once per column: every column sets one pixel once.
    auto sound = MonoOf(400, [](int i) { return (i - 200) * 100; });
    QtCanvas canvas(40, 64, c.background);
    Random15 spacing;
    TWaveViewProps props = PlainProps(1);
    props.DrawKind = drawKindPoints;
    props.SingleColor = static_cast<int32_t>(c.colour);
    props.Strength.SetValue(c.strength);
    DrawWave(canvas, Area40, Area40, 0, 400, *sound, props, props, false, spacing);
    int previousRow = 64;
    for (int x = 0; x < 39; ++x) {
        std::map<int, uint32_t> rows = LitRows(canvas, x, c.background);
        ASSERT_EQ(rows.size(), 1u) << "column " << x;
        EXPECT_EQ(rows.begin()->second, c.expected) << "column " << x;
        EXPECT_LE(rows.begin()->first, previousRow) << "column " << x;
        previousRow = rows.begin()->first;
    }
    // column 18 reads sample 195 (-500), column 19 sample 205 (500)
    EXPECT_EQ(LitRows(canvas, 18, c.background).begin()->first, 32);
    EXPECT_EQ(LitRows(canvas, 19, c.background).begin()->first, 31);
    EXPECT_TRUE(LitRows(canvas, 39, c.background).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Blends, PointStrength,
    ::testing::Values(StrengthCase{1.0, White, Red, Red},
                      StrengthCase{0.5, White, Red, 0x7F7FFF}, // bytes 255, 127, 127
                      StrengthCase{0.25, Black, Blue, 0x3F0000},
                      // 2 × colour - background: 357, 282 and -51 clamp to 255, 255, 0
                      StrengthCase{2.0, 0x336699, 0x00C0FF, 0x00FFFF},
                      StrengthCase{2.0, White, Red, Red},
                      StrengthCase{1e9, 0x808080, 0x7F8081, 0x0080FF}));

TEST(WaveCurve, PointsOnTheSamePixelBlendAgainWithWhatIsThere)
{
    auto sound = MonoOf(200, [](int) { return 0; });
    QtCanvas canvas(20, 64, White);
    Random15 spacing;
    TWaveViewProps props = PlainProps(2);
    props.DrawKind = drawKindPoints;
    props.SingleColor = static_cast<int32_t>(Red);
    props.Strength.SetValue(0.5);
    DrawWave(canvas, Area20, Area20, 0, 200, *sound, props, props, false, spacing);
    // white -> 255,127,127 -> 255,63,63
    EXPECT_EQ(LitRows(canvas, 3, White), Rows(32, 32, 0x3F3FFF));
}

TEST(WaveCurve, LinesAreOpaqueWhateverTheStrength)
{
    auto sound = MonoOf(200, [](int) { return 0; });
    QtCanvas canvas(20, 64, White);
    Random15 spacing;
    TWaveViewProps props = PlainProps(4);
    props.SingleColor = static_cast<int32_t>(Red);
    props.Strength.SetValue(0.5);
    DrawWave(canvas, Area20, Area20, 0, 200, *sound, props, props, false, spacing);
    EXPECT_EQ(LitRows(canvas, 3, White), Rows(32, 32, Red));
}

class RandomSpacing : public ::testing::TestWithParam<uint8_t>
{
};

TEST_P(RandomSpacing, ReadsStayInsideTheirOwnColumn)
{
    // Only sample 60 stands out; column 5 reads samples 55..65, its neighbours never reach it.
    auto sound = MonoOf(400, [](int i) { return i == 60 ? 30000 : 0; });
    QtCanvas canvas(40, 64, White);
    Random15 spacing(4321);
    TWaveViewProps props = PlainProps(200);
    props.DistKind = distKindRandom;
    props.DrawKind = GetParam();
    DrawWave(canvas, Area40, Area40, 0, 400, *sound, props, props, false, spacing);
    const int spikeRow = 2; // trunc(32 - 30000 / 1024)
    for (int x = 0; x < 39; ++x) {
        std::map<int, uint32_t> rows = LitRows(canvas, x, White);
        if (x == 5) {
            EXPECT_EQ(rows.count(spikeRow), 1u);
            EXPECT_EQ(rows.count(32), 1u);
        } else {
            EXPECT_EQ(rows, Rows(32, 32, Black)) << "column " << x;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, RandomSpacing, ::testing::Values(drawKindLines, drawKindPoints));

TEST(WaveCurve, RandomSpacingDrawsFromThePanesGeneratorOnly)
{
    auto sound = MonoOf(400, [](int i) { return (i * 7919) % 20000 - 10000; });
    TWaveViewProps props = PlainProps(15);
    props.DistKind = distKindRandom;
    SeedRandom15(77);
    Random15 spacing(5);
    QtCanvas first(40, 64, White);
    DrawWave(first, Area40, Area40, 0, 400, *sound, props, props, false, spacing);
    EXPECT_EQ(NextRandom15(), Random15(77).Next()); // the seeded noise sequence is untouched
    EXPECT_NE(spacing.Next(), Random15(5).Next());

    // The same seed gives the same picture.
    Random15 again(5);
    QtCanvas second(40, 64, White);
    DrawWave(second, Area40, Area40, 0, 400, *sound, props, props, false, again);
    EXPECT_EQ(first.Image(), second.Image());
}

TEST(WaveCurve, ConstantSpacingReadsTheLastValueOfAColumnAgainFirst)
{
    // Column 0 reads samples 5..15 and column 1 samples 15..25: the single high sample 15 shows
    // in both columns.
    auto sound = MonoOf(400, [](int i) { return i == 15 ? 16384 : 0; });
    QtCanvas canvas(40, 64, White);
    Random15 spacing;
    DrawWave(canvas, Area40, Area40, 0, 400, *sound, PlainProps(10), PlainProps(10), false,
             spacing);
    EXPECT_EQ(LitRows(canvas, 0, White), Rows(16, 32, Black));
    EXPECT_EQ(LitRows(canvas, 1, White), Rows(16, 32, Black));
    EXPECT_EQ(LitRows(canvas, 2, White), Rows(32, 32, Black));
}

struct NothingCase
{
    const char* name;
    int32_t values;
    PixelRect area;
    PixelRect span;
    double zoomBegin, zoomEnd;
};

class DrawsNothing : public ::testing::TestWithParam<NothingCase>
{
};

TEST_P(DrawsNothing, ImageStaysUntouched)
{
    const NothingCase& c = GetParam();
    auto sound = MonoOf(c.values, [](int) { return 12345; });
    QtCanvas canvas(20, 64, White);
    const QImage before = canvas.Image().copy();
    Random15 spacing;
    TWaveViewProps props = PlainProps(15);
    for (uint8_t kind : {drawKindLines, drawKindPoints}) {
        props.DrawKind = kind;
        DrawWave(canvas, c.area, c.span, c.zoomBegin, c.zoomEnd, *sound, props, props, false,
                 spacing);
    }
    EXPECT_EQ(canvas.Image(), before) << c.name;
}

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, DrawsNothing,
    ::testing::Values(NothingCase{"one value", 1, Area20, Area20, 0, 1},
                      NothingCase{"no values", 0, Area20, Area20, 0, 0},
                      NothingCase{"area without width", 200, {5, 0, 5, 64}, Area20, 0, 200},
                      NothingCase{"area without height", 200, {0, 9, 20, 9}, Area20, 0, 200},
                      NothingCase{"inverted area", 200, {20, 0, 0, 64}, Area20, 0, 200},
                      NothingCase{"span without width", 200, Area20, {7, 0, 7, 64}, 0, 200},
                      NothingCase{
                          "span below the area", 200, {0, 0, 20, 30}, {0, 30, 20, 64}, 0, 200},
                      NothingCase{"not a number", 200, Area20, Area20, NaN, 200},
                      NothingCase{"infinite", 200, Area20, Area20, 0, Inf}));

} // namespace
} // namespace kelvorn
