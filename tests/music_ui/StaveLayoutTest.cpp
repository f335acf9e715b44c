// The glyphs' rectangles, colours and advances on a recording canvas; written values of cut
// durations, stave rows, steps under a row, beam lines and tie outlines; the stave layout's cases
// on a recording canvas: cuts and ties at bar lines, written values, beams against flags,
// seconds, stubs, tuplets, automatic stems and accidentals in force.

#include "ScoreKit.h"
#include "music/core/ScoreLayout.h"
#include "music/ui/Glyphs.h"

#include <gtest/gtest.h>
#include <tuple>

namespace kelvorn {
namespace {

const TStaveColors colors{0x000011, 0x00EEEE};

TEST(Glyphs, SelectedHalfNoteInThreeColours)
{
    RecordingCanvas c;
    const TNoteGlyph n{.XL = 100,
                       .XR = 110,
                       .MiddleY = 200,
                       .Height = 2,
                       .FlagLength = 2,
                       .Selected = true,
                       .NoteColor = 0x0000FF};
    DrawNoteGlyph(c, n, colors);
    EXPECT_EQ(c.Calls(), (std::vector<std::string>{
                             "FillRect 98 184 112 197 brush 0x00000011",
                             "Ellipse 100 186 110 195 pen 0x0000EEEE 1 brush 0x0000EEEE",
                             "Ellipse 102 187 108 194 pen 0x00000011 1 brush 0x00000011"}));
}

TEST(Glyphs, NoteTouchRangeWithAccidentalAndDots)
{
    RecordingCanvas c;
    const TNoteGlyph n{
        .XL = 100, .XR = 110, .Shift = noteShiftMol, .Dots = 2, .NoteColor = 0x123456};
    EXPECT_EQ(DrawNoteGlyph(c, n, colors), std::pair(88, 118));
    const auto dots = c.CallsOf("Ellipse 11");
    ASSERT_EQ(dots.size(), 2u);
    EXPECT_EQ(dots[1], "Ellipse 116 2 119 5 pen 0x00123456 1 brush 0x00123456");
}

TEST(Glyphs, RestAdvances)
{
    const std::tuple<int, int, int> cases[] = {{1, 0, 16},  {2, 1, 20},  {4, 0, 14}, {8, 0, 13},
                                               {16, 0, 16}, {32, 2, 27}, {64, 0, 22}};
    for (auto [value, dots, advance] : cases) {
        RecordingCanvas c;
        TLoopPartSymbol touch(nullptr, true);
        EXPECT_EQ(DrawSilenceGlyph(c, value, dots, 100, 200, false, colors, &touch), 100 + advance)
            << value;
        EXPECT_EQ(touch.XRight, 100 + advance);
    }
    EXPECT_EQ(SilenceWidth(32, 1), 30);
    RecordingCanvas c;
    DrawSilenceGlyph(c, 16, 0, 100, 200, true, colors);
    EXPECT_EQ(c.Calls()[0], "FillRect 97 189 117 223 brush 0x00000011");
}

TEST(Glyphs, OctaveMarksOfG)
{
    for (auto [octaves, top, bottom] : {std::tuple{2, 156, 166}, std::tuple{-1, 234, 244}}) {
        RecordingCanvas c;
        TKey key(nullptr, keyKindG, octaves, 0, nullptr, 0, nullptr);
        EXPECT_EQ(DrawKeyGlyph(c, key, 10, 200, false, colors), 40);
        const std::string mark = c.Calls().back();
        ASSERT_EQ(mark.rfind("Polygon", 0), 0u);
        std::istringstream in(mark.substr(8));
        int x, y;
        while (in >> x >> y) {
            EXPECT_GE(y, top) << octaves;
            EXPECT_LE(y, bottom) << octaves;
        }
        EXPECT_EQ(key.XLeft, 10);
        EXPECT_EQ(key.XRight, 38);
    }
}

TEST(Glyphs, SignatureFollowsTheClef)
{
    RecordingCanvas c;
    TKey key(nullptr, keyKindG, 0, 0, nullptr, 0, nullptr);
    key.SetKeyNoteShift(key.GetKeyShiftHeight(noteShiftKruis, 0), noteShiftKruis);
    key.SetKeyNoteShift(key.GetKeyShiftHeight(noteShiftKruis, 1), noteShiftKruis);
    // Two sharps from x + 31, unselected even in a selected clef.
    EXPECT_EQ(DrawKeyGlyph(c, key, 10, 200, true, colors), 10 + 31 + 26 + 2);
    EXPECT_EQ(key.XRight, 67);
    EXPECT_EQ(c.CallsOf("Line 43 ")[0].substr(0, 19), "Line 43 171 43 192 ");
}

TEST(Glyphs, TimeSignatureWidths)
{
    test::MusicDoc m;
    TMuzBar& bar = *m.part->GetMuzBar();
    for (auto [count, length, advance, right] :
         {std::tuple{3, 4, 21, 14}, std::tuple{12, 8, 39, 28}}) {
        bar.SetCount(count);
        bar.SetLength(static_cast<uint8_t>(length));
        RecordingCanvas c;
        EXPECT_EQ(DrawBarGlyph(c, bar, 100, 200, true, colors), 100 + advance);
        EXPECT_EQ(c.Calls()[0],
                  "FillRect 98 177 " + std::to_string(100 + right) + " 224 brush 0x00000011");
        EXPECT_EQ(c.Calls()[1], "TextOut 100 177 " + std::to_string(count) + " brush clear");
        EXPECT_EQ(std::tie(c.Font().families[0], c.Font().pixelSize, c.Font().bold, c.Font().color),
                  std::tuple("Times New Roman", 24, true, colors.Back));
        EXPECT_EQ(bar.XRight, 100 + advance + 2);
    }
}

TEST(Glyphs, LoopMarks)
{
    for (auto [count, isLeft, advance, text] :
         {std::tuple{2, true, 18, ""}, std::tuple{3, true, 31, "TextOut 116 187 3 brush clear"},
          std::tuple{12, false, 45, "TextOut 101 187 12 brush clear"}}) {
        RecordingCanvas c;
        TLoopPartSymbol mark(nullptr, isLeft);
        EXPECT_EQ(DrawLoopGlyph(c, mark, count, 100, 200, false, colors), 100 + advance);
        const auto texts = c.CallsOf("TextOut");
        EXPECT_EQ(texts.empty() ? "" : texts[0], text);
        EXPECT_EQ(mark.XLeft, 98);
    }
}

TEST(Glyphs, TupletBracketAndNumber)
{
    RecordingCanvas c;
    DrawTupletBracket(c, 100, 140, TBeamLine{100, -40, 140, -40}, 200, false, 3, colors);
    const auto lines = c.CallsOf("Line");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Line 97 154 97 149 pen 0x00000011 1");
    EXPECT_EQ(c.CallsOf("TextOut")[0], "TextOut 117 141 3 brush 0x0000EEEE");
    EXPECT_EQ(c.Font().pixelSize, 16);
}

struct StaveLayout : ::testing::Test, test::ScoreFixture
{
    size_t Ties() const { return Polygons(50).size(); }
    size_t Flags() const { return Polygons(14).size(); }
    size_t Beams() const { return Polygons(4).size(); }
};

TEST_F(StaveLayout, HalfNoteAcrossTheBarLineIsTwoTiedQuarters)
{
    Add(0.75, 6, 2);
    Paint();
    const auto heads = Heads();
    ASSERT_EQ(heads.size(), 2u);
    EXPECT_EQ(canvas.CallsOf("Ellipse").size(), 2u); // closed heads: quarters
    const auto bars = BarLines();
    ASSERT_GE(bars.size(), 1u);
    EXPECT_LT(heads[0].first, bars[0]);
    EXPECT_GT(heads[1].first, bars[0]);
    EXPECT_EQ(Ties(), 1u);
}

TEST_F(StaveLayout, BrokenLengthsAreWrittenAsThePieceSays)
{
    // A whole note from 3/8 is 5/8 (a half tied to an eighth), then 3/8 (a dotted quarter).
    Add(0.375, 6, 1);
    Paint();
    EXPECT_EQ(Heads().size(), 3u);
    EXPECT_EQ(Ties(), 2u);
    EXPECT_EQ(Flags(), 1u);                          // the eighth alone
    const auto ellipses = canvas.CallsOf("Ellipse"); // half's hole, quarter's dot
    EXPECT_EQ(ellipses.size(), 5u);
}

TEST_F(StaveLayout, BeamsAgainstFlags)
{
    Add(0, 6, 8);
    Add(0.125, 6, 8);
    Add(0.25, 6, 4);
    Add(0.5, 6, 8); // an eighth before a quarter: a flag
    Add(0.625, 6, 4);
    Paint();
    EXPECT_EQ(Beams(), 1u);
    EXPECT_EQ(Flags(), 1u);
    m.stave->drawFlagKind = 0;
    Paint();
    EXPECT_EQ(Beams(), 0u);
    EXPECT_EQ(Flags(), 3u);
}

TEST_F(StaveLayout, OnlyTheMiddleOfASecondClusterMoves)
{
    Add(0, 0, 4); // C, D, E: stems up (the group's default)
    Add(0, 1, 4);
    Add(0, 2, 4);
    Paint();
    std::map<int, int> xByRow;
    for (auto [x, top] : Heads())
        xByRow[top] = x;
    ASSERT_EQ(xByRow.size(), 3u);
    auto it = xByRow.begin();
    const int e = it->second, d = (++it)->second, c = (++it)->second;
    EXPECT_EQ(e, c);
    EXPECT_EQ(d, c + 10);
}

TEST_F(StaveLayout, SixteenthBeamedToEighthGetsOneStub)
{
    Add(0, 6, 16);
    Add(1.0 / 16, 6, 8);
    Add(3.0 / 16, 6, 16);
    Add(0.25, 6, 4);
    Paint();
    int full = 0, stubs = 0;
    for (const auto& p : Polygons(4))
        (p[2] - p[0] == 8 ? stubs : full)++;
    EXPECT_EQ(full, 2);
    EXPECT_EQ(stubs, 2); // one to the right of the first, one to the left of the last
}

TEST_F(StaveLayout, TripletBracketWithItsNumber)
{
    for (int i = 0; i < 3; ++i)
        Add(0, 6, 4, 0, noteShiftNormal, triool, i);
    Add(0.25, 6, 4);
    Paint();
    EXPECT_EQ(Texts("3"), 1u);
    EXPECT_EQ(Beams(), 2u);
    EXPECT_EQ(Flags(), 0u);
}

TEST_F(StaveLayout, AutomaticStemsDownWhenTheStepsCancel)
{
    m.Group()->SetDefaultStem(drawStickAuto);
    for (auto [low, high, down] : {std::tuple{5, 7, true}, std::tuple{4, 7, false}}) {
        for (TStaveSymbol* s = m.part->FirstSymbol(); s;) {
            TStaveSymbol* next = s->GetNext();
            if (s->AsNote())
                m.part->DeleteSymbol(s);
            s = next;
        }
        Add(0, low, 4);
        Add(0, high, 4);
        Paint();
        // Steps low - 6 and high - 6 under the G clef; the stem leaves the far head.
        const int mid = m.stave->GetMiddleY();
        const int farY = down ? mid - 5 * (high - 6) : mid - 5 * (low - 6);
        bool found = false;
        for (const std::string& l : canvas.CallsOf("Line")) {
            const auto v = Numbers(l);
            if (v[0] == v[2] && v[1] == farY)
                found = found || (down ? v[3] > farY : v[3] < farY);
        }
        EXPECT_TRUE(found) << low << " " << high;
    }
}

TEST_F(StaveLayout, AccidentalsHoldForTheBar)
{
    Add(0, 3, 4, 0, noteShiftKruis);     // F sharp: shown
    Add(0.25, 10, 4, 0, noteShiftKruis); // F sharp an octave up: in force
    Add(0.5, 3, 4, 0, noteShiftNormal);  // F natural: shown
    Add(1.0, 3, 4, 0, noteShiftKruis);   // next bar: shown again
    Paint();
    size_t sharps = 0, naturals = 0;
    for (const std::string& l : canvas.CallsOf("Line")) {
        const auto v = Numbers(l);
        sharps += v[0] == v[2] && v[3] - v[1] == 21 && l.ends_with(" 2");
        naturals += v[0] == v[2] && v[3] - v[1] == 18 && l.ends_with(" 2");
    }
    EXPECT_EQ(sharps, 2u * 2); // two verticals each
    EXPECT_EQ(naturals, 1u * 2);
}

TEST_F(StaveLayout, DottedSixtyFourthCutNearABarLineEnds)
{
    Add(1.0 - 1.0 / 128, 6, 64, 1);
    Paint();
    EXPECT_EQ(Heads().size(), 2u);
    EXPECT_EQ(Ties(), 1u);
}

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
