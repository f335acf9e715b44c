// Written values of cut durations, stave rows, steps under a row, beam lines and tie outlines.

#include "music/core/ScoreLayout.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kelvorn {
namespace {

TEST(LayoutArithmetic, LargestWrittenValue)
{
    struct Case
    {
        double length;
        int kind, dots;
        double remainder;
    };
    const Case cases[] = {
        {3.0 / 8, 4, 1, 0.0},         // dotted quarter
        {5.0 / 8, 2, 0, 1.0 / 8},     // half, tied to an eighth
        {7.0 / 16, 4, 2, 0.0},        // double-dotted quarter
        {15.0 / 32, 4, 2, 1.0 / 32},  // double-dotted quarter, tied to a 32nd
        {1.0 / 4, 4, 0, 0.0},         //
        {1.0 / 4 - 1e-12, 4, 0, 0.0}, // rounding is no remainder
        {1.75, 1, 2, 0.0},            // below two whole notes
        {3.0 / 128, 64, 1, 0.0},      // dotted 64th
        {1.0 / 128, 64, 0, 0.0},      // under a 64th: a 64th, not split further
        {1.0 / 1000, 64, 0, 0.0},     //
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const TWrittenValue w = LargestWrittenValue(c.length);
        EXPECT_EQ(w.NoteLengthKind, c.kind);
        EXPECT_EQ(w.Points, c.dots);
        EXPECT_DOUBLE_EQ(w.Remainder, c.remainder);
    }
}

TEST(LayoutArithmetic, CutsOfAnyLengthEnd)
{
    // A Position read from a file needs no multiple of 1/64: splitting still ends.
    for (double length : {0.3, 1.0 / 3, 0.0101, 1.999}) {
        double left = length;
        int pieces = 0;
        while (left > 0 && pieces < 20) {
            left = LargestWrittenValue(left).Remainder;
            ++pieces;
        }
        EXPECT_LT(pieces, 20) << length;
    }
}

TEST(LayoutArithmetic, StepFromY)
{
    const std::pair<int, int> cases[] = {{100, 0}, {98, 0},   {97, 1},   {93, 1},  {92, 2},
                                         {102, 0}, {103, -1}, {107, -1}, {108, -2}};
    for (auto [y, step] : cases)
        EXPECT_EQ(StepFromY(y, 100), step) << y;
}

TEST(LayoutArithmetic, StackStaves)
{
    const TStaveRooms rooms[] = {{30, 30}, {50, 35}, {30, 30}};
    const TStaveRows rows = StackStaves(-10, rooms);
    EXPECT_EQ(rows.Middles, (std::vector<int64_t>{60, 140, 205}));
    EXPECT_EQ(rows.End, 275);
    EXPECT_EQ(StackStaves(7, {}).End, 47);
    const TStaveRooms huge[] = {{2000000000, 2000000000}, {2000000000, 2000000000}};
    EXPECT_EQ(StackStaves(0, huge).End, 8000000080LL);
    EXPECT_EQ(ClampPixel(8000000080LL), INT_MAX / 4);
}

TEST(LayoutArithmetic, BeamLines)
{
    struct Case
    {
        std::vector<TBeamTip> tips;
        bool down;
        TBeamLine line;
    };
    const Case cases[] = {
        // Outermost tips in the middle: horizontal.
        {{{10, -40}, {30, -50}, {50, -40}}, false, {30, -50, 31, -50}},
        // Rising to the right (stems up): pivots from the right, equal slopes take the right one.
        {{{10, -40}, {30, -45}, {50, -50}}, false, {50, -50, 30, -45}},
        // Falling to the right (stems down), pivot walks right.
        {{{10, 50}, {30, 44}, {50, 40}}, true, {10, 50, 50, 40}},
    };
    for (const Case& c : cases) {
        const TBeamLine l = FindBeamLine(c.tips, c.down);
        EXPECT_EQ(std::tie(l.X1, l.Y1, l.X2, l.Y2),
                  std::tie(c.line.X1, c.line.Y1, c.line.X2, c.line.Y2));
        // No tip lies beyond the line.
        for (const TBeamTip& t : c.tips)
            EXPECT_LE((t.Y - l.YAt(t.X)) * (c.down ? 1 : -1), 1e-9);
    }
}

TEST(LayoutArithmetic, TieOutline)
{
    const auto tie = TieOutline(10, 50, 60, 50, 13);
    ASSERT_EQ(tie.size(), 50u);
    EXPECT_EQ(std::pair(tie[0].x, tie[0].y), std::pair(11, 50));
    EXPECT_EQ(tie[49].x, 13); // inner curve at t = 0.04
    int top = 50;
    for (const PixelPoint& p : tie)
        top = std::min(top, p.y);
    EXPECT_EQ(top, 37); // 13 above the ends
    EXPECT_EQ(TieOutline(60, 50, 10, 50, 13)[0].x, 59);
    // Heights that leave the square root or the division undefined draw nothing.
    // The last: the inner curve alone undefined.
    for (auto [y2, height] : {std::pair{80, 13}, {50, 0}, {50, 4}, {40, -13}})
        EXPECT_TRUE(TieOutline(10, 50, 60, y2, height).empty()) << y2 << " " << height;
    EXPECT_EQ(TieOutline(10, 50, 60, 40, 13).size(), 50u);
}

} // namespace
} // namespace kelvorn
