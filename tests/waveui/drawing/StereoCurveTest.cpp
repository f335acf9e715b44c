// Stereo curves: two single waves in the halves with the grid-colour line between them, and
// both channels joined in the full height under each front rule, plain and selected.

#include "waveui/drawing/WaveCurve.h"

#include "waveui/drawing/CurveTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelvorn {
namespace {

using namespace kelvorn::test;

constexpr PixelRect Area{0, 0, 20, 64};

TEST(StereoCurve, SingleWavesShareTheHeightWithTheMiddleLineEvenWithoutGrid)
{
    auto sound = StereoOf(
        200, [](int) { return 16384; }, [](int) { return -16384; });
    QtCanvas canvas(20, 64, White);
    Random15 spacing;
    TWaveViewProps props = PlainProps(10);
    props.DrawSingle = 1;
    DrawWave(canvas, Area, Area, 0, 200, *sound, props, props, false, spacing);
    // Upper half rows 0..31 (16384 -> row 8), lower half rows 32..63 (-16384 -> row 56).
    for (int x = 0; x < 19; ++x)
        EXPECT_EQ(LitRows(canvas, x, White),
                  (std::map<int, uint32_t>{{8, Black}, {32, Grey}, {56, Black}}))
            << "column " << x;
    // The last column holds no curve, but the middle line spans the whole span.
    EXPECT_EQ(LitRows(canvas, 19, White), Rows(32, 32, Grey));
}

TEST(StereoCurve, SingleWavesWithGridGetAMiddleLineInEachHalf)
{
    auto sound = StereoOf(
        200, [](int) { return 16384; }, [](int) { return -16384; });
    QtCanvas canvas(20, 64, White);
    Random15 spacing;
    TWaveViewProps props = PlainProps(10);
    props.DrawSingle = 1;
    props.UseGrid = 1;
    // 0.2 s over 20 columns: a line every 0.2 s falls beyond the last column.
    DrawWave(canvas, Area, Area, 0, 200, *sound, props, props, false, spacing);
    EXPECT_EQ(
        LitRows(canvas, 4, White),
        (std::map<int, uint32_t>{{8, Black}, {16, Grey}, {32, Grey}, {48, Grey}, {56, Black}}));
}

TEST(StereoCurve, LayoutAndGridComeFromTheGroupColoursFromTheCaller)
{
    // An envelope is drawn with blended colours but the drawing group's own layout.
    auto sound = StereoOf(
        200, [](int) { return 16384; }, [](int) { return -16384; });
    QtCanvas canvas(20, 64, White);
    Random15 spacing;
    TWaveViewProps layout = PlainProps(10);
    layout.DrawSingle = 1;
    TWaveViewProps colours = PlainProps(10);
    colours.DrawSingle = 0;
    colours.UseGrid = 1;
    colours.SingleColor = static_cast<int32_t>(Green);
    colours.GridColor = static_cast<int32_t>(Yellow);
    DrawWave(canvas, Area, Area, 0, 200, *sound, colours, layout, false, spacing);
    EXPECT_EQ(LitRows(canvas, 4, White),
              (std::map<int, uint32_t>{{8, Green}, {32, Yellow}, {56, Green}}));
}

struct RunSpec
{
    int first, last;
    uint32_t colour;
};

struct JoinedCase
{
    const char* name;
    uint8_t frontKind;
    bool inverted;
    std::vector<RunSpec> runs; // painted in order over the prefilled canvas
};

class JoinedLines : public ::testing::TestWithParam<JoinedCase>
{
};

TEST_P(JoinedLines, FrontRuleDecidesWhichStrokeCoversTheOther)
{
    const JoinedCase& c = GetParam();
    // Every column reads five values of each level: the left stroke covers rows 16..40
    // (16384, -8192), the right one rows 30..48 (2048, -16384); they overlap in rows 30..40.
    auto sound = StereoOf(
        200, [](int i) { return i % 10 < 5 ? 16384 : -8192; },
        [](int i) { return i % 10 < 5 ? 2048 : -16384; });
    // The pane fills a selected span with the curve colour before drawing.
    const uint32_t fill = c.inverted ? Black : White;
    QtCanvas canvas(20, 64, fill);
    Random15 spacing;
    TWaveViewProps props = PlainProps(10);
    props.DrawSingle = 0;
    props.FrontKind = c.frontKind;
    DrawWave(canvas, Area, Area, 0, 200, *sound, props, props, c.inverted, spacing);
    std::map<int, uint32_t> expected;
    for (const RunSpec& run : c.runs)
        expected = Over(expected, Rows(run.first, run.last, run.colour));
    for (int x = 0; x < 19; ++x)
        EXPECT_EQ(LitRows(canvas, x, fill), expected) << c.name << ", column " << x;
    EXPECT_TRUE(LitRows(canvas, 19, fill).empty()) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, JoinedLines,
    ::testing::Values(
        // left Red, right Blue, overlap in the curve colour
        JoinedCase{"mixed", frontMixed, false, {{16, 40, Red}, {30, 48, Blue}, {30, 40, Black}}},
        JoinedCase{"left at front", frontLeft, false, {{30, 48, Blue}, {16, 40, Red}}},
        JoinedCase{"right at front", frontRight, false, {{16, 40, Red}, {30, 48, Blue}}},
        // selected: the channels swap colours and the overlap takes the background colour
        JoinedCase{
            "mixed selected", frontMixed, true, {{16, 40, Blue}, {30, 48, Red}, {30, 40, White}}},
        JoinedCase{"left at front selected", frontLeft, true, {{30, 48, Red}, {16, 40, Blue}}},
        JoinedCase{"right at front selected", frontRight, true, {{16, 40, Blue}, {30, 48, Red}}}));

struct JoinedPointCase
{
    uint8_t frontKind;
    double strength;
    uint32_t expected;
};

class JoinedPoints : public ::testing::TestWithParam<JoinedPointCase>
{
};

TEST_P(JoinedPoints, FrontPixelIsDrawnLast)
{
    const JoinedPointCase& c = GetParam();
    auto sound = StereoOf(
        200, [](int) { return 16384; }, [](int) { return 16384; });
    QtCanvas canvas(20, 64, White);
    Random15 spacing;
    TWaveViewProps props = PlainProps(1);
    props.DrawSingle = 0;
    props.DrawKind = drawKindPoints;
    props.FrontKind = c.frontKind;
    props.Strength.SetValue(c.strength);
    DrawWave(canvas, Area, Area, 0, 200, *sound, props, props, false, spacing);
    for (int x = 0; x < 19; ++x)
        EXPECT_EQ(LitRows(canvas, x, White), Rows(16, 16, c.expected)) << "column " << x;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, JoinedPoints,
    ::testing::Values(JoinedPointCase{frontMixed, 1.0, Blue}, JoinedPointCase{frontLeft, 1.0, Red},
                      JoinedPointCase{frontRight, 1.0, Blue},
                      // red at half over white (255,127,127), then blue at half: (127,63,191)
                      JoinedPointCase{frontMixed, 0.5, 0xBF3F7F},
                      // blue at half first (127,127,255), then red: (191,63,127)
                      JoinedPointCase{frontLeft, 0.5, 0x7F3FBF}));

TEST(StereoCurve, RandomPointsOfTheFrontWaveCoverTheBackWaveExactly)
{
    // Equal channels read at the same random places: not one pixel of the back wave shows.
    auto wave = [](int i) { return (i * 7919) % 30000 - 15000; };
    auto sound = StereoOf(400, wave, wave);
    QtCanvas canvas(40, 64, White);
    Random15 spacing(99);
    TWaveViewProps props = PlainProps(6);
    props.DrawSingle = 0;
    props.DrawKind = drawKindPoints;
    props.DistKind = distKindRandom;
    for (uint8_t front : {frontLeft, frontRight}) {
        props.FrontKind = front;
        canvas.Resize(40, 64, White);
        DrawWave(canvas, {0, 0, 40, 64}, {0, 0, 40, 64}, 0, 400, *sound, props, props, false,
                 spacing);
        const uint32_t frontColour = front == frontLeft ? Red : Blue;
        int lit = 0;
        for (int x = 0; x < 40; ++x)
            for (const auto& [row, colour] : LitRows(canvas, x, White)) {
                EXPECT_EQ(colour, frontColour) << "column " << x << ", row " << row;
                ++lit;
            }
        EXPECT_GT(lit, 39) << static_cast<int>(front);
    }
}

TEST(StereoCurve, JoinedChannelsOfDifferentLengthReadOnlyTheShorter)
{
    WavePtr left = WaveOf(200, [](int) { return 16384; });
    WavePtr right = WaveOf(100, [](int) { return -16384; });
    QtCanvas canvas(20, 64, White);
    Random15 spacing;
    DrawCurveJoined(canvas, Area, Area, *left, *right, 5, 205, Black, Red, Blue, PlainProps(10),
                    spacing);
    // Sample 99 lies in column 9: columns 0..8 only.
    EXPECT_EQ(LitRows(canvas, 8, White), (std::map<int, uint32_t>{{16, Red}, {48, Blue}}));
    EXPECT_TRUE(LitRows(canvas, 9, White).empty());
}

} // namespace
} // namespace kelvorn
