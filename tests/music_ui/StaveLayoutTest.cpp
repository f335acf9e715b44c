// The stave layout's cases on a recording canvas: cuts and ties at bar lines, written values,
// beams against flags, seconds, stubs, tuplets, automatic stems and accidentals in force.

#include "ScoreKit.h"

#include <gtest/gtest.h>

namespace kelvorn {
namespace {

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

} // namespace
} // namespace kelvorn
