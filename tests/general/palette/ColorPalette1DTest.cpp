#include "PaletteTestSupport.h"

#include "../values/NoBoxes.h"
#include "general/numeric/NumericHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::palettetest;
using kelvorn::testing::IsAssertionBox;
using kelvorn::testing::NoBoxes;

namespace {

constexpr const char* unitFile = "ColorPalette1D.cpp";

// ---- colour at a position ----------------------------------------------------------------------

struct ColorCase
{
    const char* name;
    double position;
    int32_t expected;
};

// Black to white, and an inner stop at 0.5 that arrives red and leaves blue.
TColorPalette1DItem JumpPalette()
{
    return Palette(black, {{0.5, red, true, blue}}, white);
}

class GetColorTest : public NoBoxes<::testing::TestWithParam<ColorCase>>
{
};

TEST_P(GetColorTest, ExactColour)
{
    const ColorCase& c = GetParam();
    TColorPalette1DItem plain(black, white);
    TColorPalette1DItem jump = JumpPalette();
    const TColorPalette1DItem& palette = std::string(c.name).rfind("jump", 0) == 0 ? jump : plain;
    EXPECT_EQ(palette.GetColor(c.position), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Palettes, GetColorTest,
    ::testing::Values(
        ColorCase{"plainAtHead", 0.0, black}, ColorCase{"plainBelowHead", -0.3, black},
        ColorCase{"plainFarBelow", -1e300, black}, ColorCase{"plainHalf", 0.5, 0x7F7F7F},
        ColorCase{"plainQuarter", 0.25, 0x3F3F3F}, ColorCase{"plainAtEnd", 1.0, white},
        ColorCase{"plainNotANumber", std::numeric_limits<double>::quiet_NaN(), black},
        // At a stop the colour arriving from the left holds; just past it the leaving one.
        ColorCase{"jumpAtStop", 0.5, red}, ColorCase{"jumpJustBelow", 0.5 - 1.0 / 1024, 0x0000FE},
        ColorCase{"jumpJustAbove", 0.5 + 1.0 / 1024, 0xFF0000},
        ColorCase{"jumpQuarter", 0.25, 0x00007F}, ColorCase{"jumpThreeQuarters", 0.75, 0xFF7F7F},
        ColorCase{"jumpAtEnd", 1.0, white}),
    [](const ::testing::TestParamInfo<ColorCase>& info) { return std::string(info.param.name); });

class PaletteTest : public NoBoxes<>
{
};

TEST_F(PaletteTest, PositionAboveOneGivesTheEndColourAfterAnAssertion)
{
    TColorPalette1DItem palette(black, white);
    messages.Expect();
    EXPECT_EQ(palette.GetColor(1.5), white);
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), unitFile, "NextColorPalette1DItem != NULL"));
}

TEST_F(PaletteTest, StopsAtTheSamePositionNeverBlendByZero)
{
    // An inner stop moved onto the head's position without re-linking: the segment from the
    // head to it has no width.
    TColorPalette1DItem palette = Palette(blue, {{0.5, red}}, white);
    palette.GetNext()->GetPosition().SetValue(0.0);
    EXPECT_EQ(palette.GetColor(0.0), red);
    EXPECT_EQ(palette.GetColor(-2.0), red);
    EXPECT_EQ(palette.GetColor(0.5), BlendColor(red, white, 0.5));

    // Two inner stops at one position: the colour there comes from the left segment, and past
    // it from the right one's leaving colour.
    TColorPalette1DItem twins = Palette(black, {{0.5, red}, {0.5, green, true, blue}}, white);
    EXPECT_EQ(Render(twins), (std::vector<std::string>{"0:000000", "0.5:0000FF",
                                                       "0.5:00FF00/FF0000", "1:FFFFFF"}));
    EXPECT_EQ(twins.GetColor(0.5), red);
    EXPECT_EQ(twins.GetColor(0.75), BlendColor(blue, white, 0.5));
    EXPECT_FALSE(twins.IsConsistent());
}

// ---- insertion, moving, deletion --------------------------------------------------------------

TEST_F(PaletteTest, InsertKeepsPositionOrderWhateverTheOrderOfInsertion)
{
    const std::vector<std::vector<double>> orders = {
        {0.2, 0.4, 0.6, 0.8}, {0.8, 0.6, 0.4, 0.2}, {0.6, 0.2, 0.8, 0.4}, {0.4, 0.8, 0.2, 0.6}};
    for (const auto& order : orders) {
        TColorPalette1DItem palette(black, white);
        for (double p : order) {
            TColorPalette1DItem* item = palette.Insert(p, static_cast<int32_t>(p * 10));
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item->GetDPosition(), p);
            EXPECT_EQ(item->GetPosition().GetUnit(), EHPerc);
        }
        EXPECT_EQ(Render(palette),
                  (std::vector<std::string>{"0:000000", "0.2:000002", "0.4:000004", "0.6:000006",
                                            "0.8:000008", "1:FFFFFF"}));
        EXPECT_TRUE(palette.IsConsistent());
    }
}

TEST_F(PaletteTest, InsertRefusesPositionsThatWouldBreakTheChain)
{
    struct Case
    {
        double position;
        const char* condition;
    };
    const Case cases[] = {{0.0, "position > Position.GetValue()"},
                          {-0.5, "position > Position.GetValue()"},
                          {std::nan(""), "position > Position.GetValue()"},
                          {1.0, "position < 1"},
                          {7.0, "position < 1"}};
    for (const Case& c : cases) {
        TColorPalette1DItem palette(black, white);
        messages.Clear();
        messages.Expect();
        EXPECT_EQ(palette.Insert(c.position, red), nullptr) << c.position;
        EXPECT_TRUE(IsAssertionBox(OnlyBox(), unitFile, c.condition)) << c.position;
        EXPECT_EQ(Render(palette), (std::vector<std::string>{"0:000000", "1:FFFFFF"}));
    }
}

struct MoveCase
{
    const char* name;
    int index; // of the moved stop, from the head
    double newPosition;
    std::vector<std::string> expected;
};

class MoveToPlaceTest : public NoBoxes<::testing::TestWithParam<MoveCase>>
{
};

// Stops at 0.2, 0.4, 0.6 and 0.8 coloured 2, 4, 6 and 8.
TEST_P(MoveToPlaceTest, RelinksInPositionOrder)
{
    const MoveCase& c = GetParam();
    TColorPalette1DItem palette = Palette(black, {{0.2, 2}, {0.4, 4}, {0.6, 6}, {0.8, 8}}, white);
    TColorPalette1DItem* previous = &palette;
    for (int i = 1; i < c.index; ++i)
        previous = previous->GetNext();
    TColorPalette1DItem* moved = previous->GetNext();
    moved->GetPosition().SetValue(c.newPosition);
    palette.MoveToPlace(moved, previous);
    EXPECT_EQ(Render(palette), c.expected);
    EXPECT_TRUE(palette.IsConsistent());
    EXPECT_EQ(palette.GetPrevious(moved)->GetNext(), moved);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, MoveToPlaceTest,
    ::testing::Values(
        MoveCase{"StaysInPlace",
                 2,
                 0.45,
                 {"0:000000", "0.2:000002", "0.45:000004", "0.6:000006", "0.8:000008", "1:FFFFFF"}},
        MoveCase{"BackOne",
                 3,
                 0.3,
                 {"0:000000", "0.2:000002", "0.3:000006", "0.4:000004", "0.8:000008", "1:FFFFFF"}},
        MoveCase{"BackToTheFront",
                 4,
                 0.1,
                 {"0:000000", "0.1:000008", "0.2:000002", "0.4:000004", "0.6:000006", "1:FFFFFF"}},
        MoveCase{"BeyondItsFollower",
                 1,
                 0.5,
                 {"0:000000", "0.4:000004", "0.5:000002", "0.6:000006", "0.8:000008", "1:FFFFFF"}},
        MoveCase{"BeyondAllOthers",
                 1,
                 0.9,
                 {"0:000000", "0.4:000004", "0.6:000006", "0.8:000008", "0.9:000002", "1:FFFFFF"}},
        MoveCase{
            "LastToFirst",
            4,
            0.01,
            {"0:000000", "0.01:000008", "0.2:000002", "0.4:000004", "0.6:000006", "1:FFFFFF"}}),
    [](const ::testing::TestParamInfo<MoveCase>& info) { return std::string(info.param.name); });

TEST_F(PaletteTest, MoveToPlaceLeavesTheEndsAndAsksForTheRightPrevious)
{
    TColorPalette1DItem palette = Palette(black, {{0.2, 2}, {0.4, 4}}, white);
    const std::vector<std::string> before = Render(palette);

    messages.Expect();
    palette.MoveToPlace(&palette, nullptr);
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), unitFile,
                               "item != NULL && item != this && item->GetNext() != NULL"));
    messages.Clear();
    messages.Expect();
    palette.MoveToPlace(palette.GetLast(), palette.GetPrevious(palette.GetLast()));
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), unitFile,
                               "item != NULL && item != this && item->GetNext() != NULL"));
    EXPECT_EQ(Render(palette), before);

    // An inner stop given a position outside the palette is not moved beyond an end.
    TColorPalette1DItem* inner = palette.GetNext();
    inner->GetPosition().SetValue(1.5);
    messages.Clear();
    messages.Expect();
    palette.MoveToPlace(inner, &palette);
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), unitFile,
                               "item->GetDPosition() > 0 && item->GetDPosition() < 1"));
    EXPECT_EQ(palette.GetNext(), inner);
    inner->GetPosition().SetValue(0.2);

    // A wrong previous stop is reported and the true one found.
    TColorPalette1DItem* second = inner->GetNext();
    second->GetPosition().SetValue(0.1);
    messages.Clear();
    messages.Expect();
    palette.MoveToPlace(second, &palette);
    EXPECT_TRUE(
        IsAssertionBox(OnlyBox(), unitFile, "previous != NULL && previous->next.get() == item"));
    EXPECT_EQ(Render(palette),
              (std::vector<std::string>{"0:000000", "0.1:000004", "0.2:000002", "1:FFFFFF"}));
}

TEST_F(PaletteTest, DeleteInnerReturnsTheStopBefore)
{
    TColorPalette1DItem palette = Palette(black, {{0.2, 2}, {0.4, 4}, {0.6, 6}}, white);
    TColorPalette1DItem* second = palette.GetNext()->GetNext();
    EXPECT_EQ(palette.DeleteInner(second), palette.GetNext());
    EXPECT_EQ(Render(palette),
              (std::vector<std::string>{"0:000000", "0.2:000002", "0.6:000006", "1:FFFFFF"}));
    EXPECT_EQ(palette.DeleteInner(palette.GetNext()), &palette);
    EXPECT_EQ(palette.DeleteInner(palette.GetNext()), &palette);
    EXPECT_EQ(Render(palette), (std::vector<std::string>{"0:000000", "1:FFFFFF"}));
    EXPECT_TRUE(palette.IsConsistent());
}

TEST_F(PaletteTest, DeleteInnerRefusesTheEndsAndForeignStops)
{
    TColorPalette1DItem palette = Palette(black, {{0.5, red}}, white);
    TColorPalette1DItem other = Palette(black, {{0.5, red}}, white);
    const std::vector<std::string> before = Render(palette);
    struct Case
    {
        TColorPalette1DItem* stop;
        const char* condition;
    };
    const Case cases[] = {
        {&palette, "current->GetDPosition() > 0 && current->GetDPosition() < 1"},
        {palette.GetLast(), "current->GetDPosition() > 0 && current->GetDPosition() < 1"},
        {other.GetNext(), "prevItem"},
        {nullptr, "current != NULL"}};
    for (const Case& c : cases) {
        messages.Clear();
        messages.Expect();
        EXPECT_EQ(palette.DeleteInner(c.stop), c.stop);
        EXPECT_TRUE(IsAssertionBox(OnlyBox(), unitFile, c.condition)) << c.condition;
    }
    // An inner position on the end stop of a broken chain: it must not lose its end.
    palette.GetLast()->GetPosition().SetValue(0.9);
    messages.Clear();
    messages.Expect();
    EXPECT_EQ(palette.DeleteInner(palette.GetLast()), palette.GetLast());
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), unitFile, "nextItem"));
    palette.GetLast()->GetPosition().SetValue(1.0);
    EXPECT_EQ(Render(palette), before);
    EXPECT_EQ(Render(other), before);
}

// ---- queries, copies, comparison --------------------------------------------------------------

TEST_F(PaletteTest, Queries)
{
    TColorPalette1DItem palette = Palette(black, {{0.25, red}, {0.75, green}}, white);
    TColorPalette1DItem* first = palette.GetNext();
    TColorPalette1DItem* second = first->GetNext();
    EXPECT_EQ(palette.GetLast()->GetDPosition(), 1.0);
    EXPECT_EQ(second->GetLast(), palette.GetLast());
    EXPECT_EQ(palette.GetPrevious(&palette), nullptr);
    EXPECT_EQ(palette.GetPrevious(second), first);
    EXPECT_EQ(palette.GetPrevious(palette.GetLast()), second);
    EXPECT_EQ(first->GetPrevious(first), nullptr);
    EXPECT_TRUE(palette.FindPosition(0.25, nullptr));
    EXPECT_FALSE(palette.FindPosition(0.25, first));
    EXPECT_TRUE(palette.FindPosition(0.0, first));
    EXPECT_TRUE(palette.FindPosition(1.0, nullptr));
    EXPECT_FALSE(palette.FindPosition(0.5, nullptr));
    EXPECT_EQ(first->GetLeavingColor(), red);
    first->SetUseColorAfter(true);
    first->SetColorAfter(blue);
    EXPECT_EQ(first->GetLeavingColor(), blue);
}

TEST_F(PaletteTest, SetColorAfterWithoutTheFlagIsReportedAndStillSet)
{
    TColorPalette1DItem palette(black, white);
    messages.Expect();
    palette.SetColorAfter(red);
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), unitFile, "UseColorAfter"));
    EXPECT_EQ(palette.GetColorAfter(), red);
    EXPECT_EQ(palette.GetLeavingColor(), black);
}

TEST_F(PaletteTest, CopyIsDeepAndAssignmentKeepsThePosition)
{
    TColorPalette1DItem original = Palette(black, {{0.5, red, true, blue}}, white);
    TColorPalette1DItem copy(original);
    EXPECT_TRUE(copy == original);
    EXPECT_NE(copy.GetNext(), original.GetNext());
    copy.GetNext()->SetColorBefore(green);
    EXPECT_FALSE(copy == original);
    EXPECT_EQ(original.GetNext()->GetColorBefore(), red);

    // Assigning to an inner stop takes colours and following stops, not the position.
    TColorPalette1DItem target = Palette(white, {{0.3, green}}, black);
    TColorPalette1DItem* inner = target.GetNext();
    *inner = original;
    EXPECT_EQ(Render(target), (std::vector<std::string>{"0:FFFFFF", "0.3:000000",
                                                        "0.5:0000FF/FF0000", "1:FFFFFF"}));

    // From a stop of its own chain, and onto itself.
    TColorPalette1DItem chain = Palette(black, {{0.5, red}}, white);
    chain = *chain.GetNext();
    EXPECT_EQ(Render(chain), (std::vector<std::string>{"0:0000FF", "1:FFFFFF"}));
    TColorPalette1DItem& alias = chain;
    chain = alias;
    EXPECT_EQ(Render(chain), (std::vector<std::string>{"0:0000FF", "1:FFFFFF"}));
}

TEST_F(PaletteTest, ComparisonCoversTheWholeChain)
{
    const TColorPalette1DItem base = Palette(black, {{0.5, red, true, blue}}, white);
    struct Change
    {
        const char* name;
        void (*apply)(TColorPalette1DItem&);
    };
    const Change changes[] = {
        {"ColorBefore", [](TColorPalette1DItem& p) { p.GetNext()->SetColorBefore(green); }},
        {"ColorAfter", [](TColorPalette1DItem& p) { p.GetNext()->SetColorAfter(green); }},
        {"UseColorAfter", [](TColorPalette1DItem& p) { p.GetNext()->SetUseColorAfter(false); }},
        {"Position", [](TColorPalette1DItem& p) { p.GetNext()->GetPosition().SetValue(0.4); }},
        {"EndColor", [](TColorPalette1DItem& p) { p.GetLast()->SetColorBefore(green); }},
        {"Longer", [](TColorPalette1DItem& p) { p.Insert(0.7, red); }},
        {"Shorter", [](TColorPalette1DItem& p) { p.DeleteInner(p.GetNext()); }},
    };
    for (const Change& c : changes) {
        TColorPalette1DItem changed(base);
        EXPECT_TRUE(changed == base);
        c.apply(changed);
        EXPECT_FALSE(changed == base) << c.name;
        EXPECT_FALSE(base == changed) << c.name;
    }
    // The unit a position is shown in is not part of the palette.
    TColorPalette1DItem shown(base);
    shown.GetNext()->GetPosition().SetUnit(EHNone);
    EXPECT_TRUE(shown == base);
}

TEST_F(PaletteTest, BlendColors)
{
    const TColorPalette1DItem base = Palette(0x102030, {{0.5, 0x405060, true, 0x708090}}, 0xA0B0C0);
    TColorPalette1DItem kept(base);
    kept.BlendColors(red, 1.0);
    EXPECT_TRUE(kept == base);

    TColorPalette1DItem painted(base);
    painted.BlendColors(red, 0.0);
    for (const TColorPalette1DItem* s = &painted; s; s = s->GetNext()) {
        EXPECT_EQ(s->GetColorBefore(), red);
        EXPECT_EQ(s->GetColorAfter(), red);
    }

    TColorPalette1DItem half(base);
    half.BlendColors(0x000000, 0.5);
    EXPECT_EQ(Render(half),
              (std::vector<std::string>{"0:081018", "0.5:202830/384048", "1:505860"}));
}

TEST_F(PaletteTest, MillionStopsAreCopiedComparedAndFreedWithoutRecursion)
{
    constexpr int count = 1000000;
    TColorPalette1DItem palette(black, white);
    // Falling positions: each new stop goes right behind the head, so building is linear.
    for (int i = count; i >= 1; --i)
        ASSERT_NE(palette.Insert(static_cast<double>(i) / (count + 1), i & 0xFFFFFF), nullptr);
    EXPECT_TRUE(palette.IsConsistent());
    TColorPalette1DItem copy(palette);
    EXPECT_TRUE(copy == palette);
    EXPECT_EQ(copy.GetColor(1.0), white);
    EXPECT_EQ(copy.GetPrevious(copy.GetLast())->GetColorBefore(), count & 0xFFFFFF);
    TColorPalette1DItem assigned(black, white);
    assigned = palette;
    EXPECT_TRUE(assigned == palette);
}

} // namespace
