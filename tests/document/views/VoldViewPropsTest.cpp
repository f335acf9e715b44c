#include "ViewTestSupport.h"
#include "support/Documents.h"

#include "general/values/NoBoxes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::viewtest;
using kelvorn::test::defaultViewVolumeText;
using kelvorn::test::Replace;
using kelvorn::testing::IsAssertionBox;
using kelvorn::testing::NoBoxes;

namespace {

// Reads body into props; the parse must succeed.
bool Read(TVoldViewProps& props, const std::string& body, std::string& message, int32_t& line,
          int32_t& column)
{
    Parsed parsed = Parse(*Grammars().viewVolume, body);
    EXPECT_TRUE(parsed.ok) << parsed.error;
    if (!parsed.ok)
        return false;
    return props.ReadXml(parsed.Element(), message, line, column);
}

TVoldViewProps Unusual()
{
    TVoldViewProps p;
    p.XResolution.SetValue(4096);
    p.YResolution.SetValue(4096);
    p.TimeTop.SetValue(1.0 / 8000);
    p.TimeBottom.SetValue(1.0 / 40);
    p.YWidth.SetValue(2.5);
    p.FreqAxisKind = freqAxisLinTime;
    p.DrawSingle = 0;
    p.SensKind = sensVeryHigh;
    p.Strength.SetValue(0.75);
    p.BackgroundColor = 0x102030;
    p.SingleColor = 0x405060;
    p.LeftColor = 0x708090;
    p.RightColor = 0xA0B0C0;
    p.CursorColor = 0xD0E0F0;
    p.UseColorPalette1D = 1;
    TColorPalette1DItem* stop = p.ColorPalette1D.Insert(0.25, 0x0000FF);
    stop->SetUseColorAfter(true);
    stop->SetColorAfter(0x00FF00);
    p.ColorPalette1D.Insert(0.5, 0xFF0000);
    return p;
}

class VoldViewPropsTest : public NoBoxes<>
{
};

TEST_F(VoldViewPropsTest, CopiesOwnTheirPalette)
{
    TVoldViewProps original = Unusual();
    TVoldViewProps copy(original);
    EXPECT_TRUE(copy == original);
    EXPECT_NE(copy.ColorPalette1D.GetNext(), original.ColorPalette1D.GetNext());

    original.ColorPalette1D.Insert(0.75, 0x123456);
    EXPECT_TRUE(copy != original);
    EXPECT_EQ(copy.ColorPalette1D.GetNext()->GetNext()->GetNext()->GetDPosition(), 1.0);

    TVoldViewProps assigned;
    assigned = original;
    EXPECT_TRUE(assigned == original);
    original.ColorPalette1D.DeleteInner(original.ColorPalette1D.GetNext());
    EXPECT_TRUE(assigned != original);
    const TVoldViewProps& same = assigned;
    assigned = same;
    EXPECT_TRUE(assigned.ColorPalette1D.IsConsistent());
}

struct Change
{
    const char* name;
    std::function<void(TVoldViewProps&)> apply;
    bool recalculate;
};

class VoldChangeTest : public NoBoxes<::testing::TestWithParam<Change>>
{
};

TEST_P(VoldChangeTest, ChangesEqualityAndRecalculation)
{
    const Change& c = GetParam();
    const TVoldViewProps before;
    TVoldViewProps after;
    c.apply(after);
    EXPECT_TRUE(after != before) << c.name;
    EXPECT_FALSE(after == before) << c.name;
    EXPECT_EQ(after.NeedsRecalculation(before), c.recalculate) << c.name;
    EXPECT_EQ(before.NeedsRecalculation(after), c.recalculate) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Fields, VoldChangeTest,
    ::testing::Values(
        Change{"XResolution", [](TVoldViewProps& p) { p.XResolution.SetValue(501); }, true},
        Change{"YResolution", [](TVoldViewProps& p) { p.YResolution.SetValue(49); }, true},
        Change{"TimeTop", [](TVoldViewProps& p) { p.TimeTop.SetValue(1e-4); }, true},
        Change{"TimeBottom", [](TVoldViewProps& p) { p.TimeBottom.SetValue(0.04); }, true},
        Change{"YWidth", [](TVoldViewProps& p) { p.YWidth.SetValue(1.5); }, true},
        Change{"FreqAxisKind", [](TVoldViewProps& p) { p.FreqAxisKind = freqAxisLinFreq; }, true},
        Change{"SensKind", [](TVoldViewProps& p) { p.SensKind = sensHigh; }, false},
        Change{"Strength", [](TVoldViewProps& p) { p.Strength.SetValue(2.0); }, false},
        Change{"DrawSingle", [](TVoldViewProps& p) { p.DrawSingle = 0; }, false},
        Change{"BackgroundColor", [](TVoldViewProps& p) { p.BackgroundColor = 1; }, false},
        Change{"SingleColor", [](TVoldViewProps& p) { p.SingleColor = 1; }, false},
        Change{"LeftColor", [](TVoldViewProps& p) { p.LeftColor = 1; }, false},
        Change{"RightColor", [](TVoldViewProps& p) { p.RightColor = 1; }, false},
        Change{"CursorColor", [](TVoldViewProps& p) { p.CursorColor = 1; }, false},
        Change{"UseColorPalette1D", [](TVoldViewProps& p) { p.UseColorPalette1D = 1; }, false},
        Change{"PaletteStop", [](TVoldViewProps& p) { p.ColorPalette1D.Insert(0.5, 0x0000FF); },
               false},
        Change{"PaletteEnd",
               [](TVoldViewProps& p) { p.ColorPalette1D.GetLast()->SetColorBefore(1); }, false}),
    [](const ::testing::TestParamInfo<Change>& info) { return std::string(info.param.name); });

TEST_F(VoldViewPropsTest, DisplayUnitsAloneChangeNothing)
{
    TVoldViewProps a;
    TVoldViewProps b;
    b.TimeTop.SetUnit(EHS);
    b.TimeBottom.SetUnit(EHMS);
    b.Strength.SetUnit(EHPerc);
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a.NeedsRecalculation(b));
}

TEST_F(VoldViewPropsTest, BlendColorsBlendsTheFiveColoursAndThePalette)
{
    TVoldViewProps p = Unusual();
    p.BlendColors(0xFFFFFF, 0.25);
    // Each byte: 255 * 0.75 + own * 0.25, truncated.
    EXPECT_EQ(p.BackgroundColor, 0xC3C7CB); // 16, 32, 48 give 195, 199, 203
    EXPECT_EQ(p.SingleColor, 0xCFD3D7);
    EXPECT_EQ(p.LeftColor, 0xDBDFE3);
    EXPECT_EQ(p.RightColor, 0xE7EBEF);
    EXPECT_EQ(p.CursorColor, 0xF3F7FB);
    EXPECT_EQ(p.ColorPalette1D.GetColorBefore(), 0xBFBFBF);
    EXPECT_EQ(p.ColorPalette1D.GetNext()->GetColorBefore(), 0xBFBFFF);
    EXPECT_EQ(p.ColorPalette1D.GetNext()->GetColorAfter(), 0xBFFFBF);
    EXPECT_EQ(p.ColorPalette1D.GetLast()->GetColorBefore(), 0xFFFFFF);
    // Nothing else moves.
    EXPECT_EQ(p.XResolution.GetValue(), 4096);
    EXPECT_EQ(p.SensKind, sensVeryHigh);
}

TEST_F(VoldViewPropsTest, WritesTheDefaultElement)
{
    TVoldViewProps p;
    EXPECT_EQ(Text(*p.WriteXml()), defaultViewVolumeText);
}

TEST_F(VoldViewPropsTest, WritesEveryKindAndThePalette)
{
    TVoldViewProps p = Unusual();
    const std::string expected = "<ViewVolume>\n"
                                 "  <TimeTop>8 khz</TimeTop>\n"
                                 "  <TimeBottom>40 hz</TimeBottom>\n"
                                 "  <XResolution>4096</XResolution>\n"
                                 "  <YResolution>4096</YResolution>\n"
                                 "  <YWidth>2.5</YWidth>\n"
                                 "  <YLinTime />\n"
                                 "  <SensVeryHigh />\n"
                                 "  <Strength>0.75</Strength>\n"
                                 "  <SingleColor>405060</SingleColor>\n"
                                 "  <BackgroundColor>102030</BackgroundColor>\n"
                                 "  <LeftColor>708090</LeftColor>\n"
                                 "  <RightColor>A0B0C0</RightColor>\n"
                                 "  <CursorColor>D0E0F0</CursorColor>\n"
                                 "  <UseColorPalette1D />\n"
                                 "  <ColorPalette1D>\n"
                                 "    <BeginColor>000000</BeginColor>\n"
                                 "    <ColorPalette1DItem>\n"
                                 "      <Position>25 %</Position>\n"
                                 "      <ColorBefore>0000FF</ColorBefore>\n"
                                 "      <UseColorAfter />\n"
                                 "      <ColorAfter>00FF00</ColorAfter>\n"
                                 "    </ColorPalette1DItem>\n"
                                 "    <ColorPalette1DItem>\n"
                                 "      <Position>50 %</Position>\n"
                                 "      <ColorBefore>FF0000</ColorBefore>\n"
                                 "      <ColorAfter>FF0000</ColorAfter>\n"
                                 "    </ColorPalette1DItem>\n"
                                 "    <EndColor>FFFFFF</EndColor>\n"
                                 "  </ColorPalette1D>\n"
                                 "  <DrawJoined />\n"
                                 "</ViewVolume>\n";
    EXPECT_EQ(Text(*p.WriteXml()), expected);
}

TEST_F(VoldViewPropsTest, RoundTrips)
{
    std::vector<TVoldViewProps> records(6);
    records[1] = Unusual();
    records[2].FreqAxisKind = freqAxisLinFreq;
    records[2].SensKind = sensLow;
    records[3].SensKind = sensHigh;
    records[3].TimeTop.SetUnit(EHMS);
    records[3].TimeBottom.SetUnit(EHS);
    records[4].XResolution.SetValue(1);
    records[4].YResolution.SetValue(maxVolumeCells);
    records[5].XResolution.SetValue(maxVolumeCells / 4);
    records[5].YResolution.SetValue(4);
    records[5].YWidth.SetValue(0.125);
    for (size_t i = 0; i < records.size(); ++i) {
        const std::string written = Text(*records[i].WriteXml());
        TVoldViewProps read = Unusual();
        read.ColorPalette1D.Insert(0.875, 0x777777);
        std::string message;
        int32_t line = -1;
        int32_t column = -1;
        ASSERT_TRUE(Read(read, written, message, line, column)) << i << ": " << message;
        EXPECT_TRUE(read == records[i]) << i;
        EXPECT_EQ(read.TimeTop.GetUnit(), records[i].TimeTop.GetUnit()) << i;
        EXPECT_EQ(Text(*read.WriteXml()), written) << i;
    }
}

TEST_F(VoldViewPropsTest, ShownDigitsAreWhatAFileKeeps)
{
    // A value is stored as its text form: a third keeps the digits it shows, and reading those
    // back writes the very same text.
    TVoldViewProps third;
    third.YWidth.SetValue(1.0 / 3);
    const std::string written = Text(*third.WriteXml());
    TVoldViewProps read;
    std::string message;
    int32_t line = 0;
    int32_t column = 0;
    ASSERT_TRUE(Read(read, written, message, line, column)) << message;
    EXPECT_NEAR(read.YWidth.GetValue(), 1.0 / 3, 1e-5);
    EXPECT_EQ(Text(*read.WriteXml()), written);
}

TEST_F(VoldViewPropsTest, ReadPaletteReplacesTheOldStops)
{
    TVoldViewProps p;
    p.ColorPalette1D.Insert(0.2, 1);
    p.ColorPalette1D.Insert(0.4, 2);
    p.ColorPalette1D.Insert(0.6, 3);
    const std::string body = Replace(defaultViewVolumeText, "    <EndColor>",
                                     "    <ColorPalette1DItem>\n"
                                     "      <Position>0.3</Position>\n"
                                     "      <ColorBefore>00ff00</ColorBefore>\n"
                                     "      <ColorAfter>00FF00</ColorAfter>\n"
                                     "    </ColorPalette1DItem>\n"
                                     "    <EndColor>");
    std::string message;
    int32_t line = 0;
    int32_t column = 0;
    ASSERT_TRUE(Read(p, body, message, line, column)) << message;
    const TColorPalette1DItem* stop = p.ColorPalette1D.GetNext();
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->GetDPosition(), 0.3);
    EXPECT_EQ(stop->GetColorBefore(), 0x00FF00);
    ASSERT_NE(stop->GetNext(), nullptr);
    EXPECT_EQ(stop->GetNext()->GetDPosition(), 1.0);
    EXPECT_EQ(stop->GetNext()->GetNext(), nullptr);
}

TEST_F(VoldViewPropsTest, UseColorPalette1DAbsentClearsTheFlag)
{
    TVoldViewProps p;
    p.UseColorPalette1D = 1;
    std::string message;
    int32_t line = 0;
    int32_t column = 0;
    ASSERT_TRUE(Read(p, defaultViewVolumeText, message, line, column)) << message;
    EXPECT_EQ(p.UseColorPalette1D, 0);
    EXPECT_TRUE(p == TVoldViewProps());
}

struct ReadFailure
{
    const char* name;
    std::string from;
    std::string to;
    std::string message;
    int32_t line;
    int32_t column;
};

class VoldReadFailureTest : public NoBoxes<::testing::TestWithParam<ReadFailure>>
{
};

TEST_P(VoldReadFailureTest, NamesTheFieldAndItsPlace)
{
    const ReadFailure& c = GetParam();
    TVoldViewProps p = Unusual();
    std::string message;
    int32_t line = -1;
    int32_t column = -1;
    EXPECT_FALSE(Read(p, Replace(defaultViewVolumeText, c.from, c.to), message, line, column));
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(line, c.line);
    EXPECT_EQ(column, c.column);
}

// The body starts at line 4; a value's place is where its begin tag ends.
INSTANTIATE_TEST_SUITE_P(
    Elements, VoldReadFailureTest,
    ::testing::Values(
        ReadFailure{"TimeTop", "20 khz", "x1", "In TimeTop: Input has no value.", 5, 11},
        ReadFailure{"TimeTopZero", "20 khz", "0 s",
                    "In TimeTop: Value must be positive and more than 0.", 5, 11},
        // Kept: this label has always been spelt so.
        ReadFailure{"TimeBottom", "20 hz", "-20 hz",
                    "In Timebottom: Value must be positive and more than 0.", 6, 14},
        ReadFailure{"XResolution", "500", "0",
                    "In XResolution: Value must be positive and more than 0.", 7, 15},
        ReadFailure{"YResolution", "<YResolution>50", "<YResolution>-3",
                    "In YResolution: Value must be positive and more than 0.", 8, 15},
        ReadFailure{"YWidth", "<YWidth>1", "<YWidth>0",
                    "In YWidth: Value must be positive and more than 0.", 9, 10},
        ReadFailure{"Strength", "1.3", "strong", "In Strength: Input has no value.", 12, 12},
        ReadFailure{"EndColor", "<EndColor>FFFFFF", "<EndColor>FFFFFFZ",
                    "In EndColor: Invalid Hexdecimal value: \"FFFFFFZ\".", 20, 14},
        ReadFailure{"PalettePosition", "    <EndColor>",
                    "    <ColorPalette1DItem>\n      <Position>1</Position>\n"
                    "      <ColorBefore>0</ColorBefore>\n      <ColorAfter>0</ColorAfter>\n"
                    "    </ColorPalette1DItem>\n    <EndColor>",
                    "In Position: Value must be less than 1.", 21, 16},
        ReadFailure{"PaletteColorBefore", "    <EndColor>",
                    "    <ColorPalette1DItem>\n      <Position>0.5</Position>\n"
                    "      <ColorBefore>x</ColorBefore>\n      <ColorAfter>0</ColorAfter>\n"
                    "    </ColorPalette1DItem>\n    <EndColor>",
                    "In ColorBefore: Invalid Hexdecimal value: \"x\".", 22, 19},
        ReadFailure{"PaletteColorAfter", "    <EndColor>",
                    "    <ColorPalette1DItem>\n      <Position>0.5</Position>\n"
                    "      <ColorBefore>0</ColorBefore>\n      <ColorAfter>y</ColorAfter>\n"
                    "    </ColorPalette1DItem>\n    <EndColor>",
                    "In ColorAfter: Invalid Hexdecimal value: \"y\".", 23, 18},
        // The cell count is refused at YResolution, computed in 64 bits: 65536 x 65537 would
        // wrap to 65536 cells in 32 bits.
        ReadFailure{"TooManyCells", "<YResolution>50", "<YResolution>33555",
                    "In Resolution: Horizontal times Vertical must not be more than 16777216 "
                    "cells.",
                    8, 15},
        ReadFailure{"CellCountWrapsIn32Bits", "<XResolution>500</XResolution>\n  <YResolution>50",
                    "<XResolution>65536</XResolution>\n  <YResolution>65537",
                    "In Resolution: Horizontal times Vertical must not be more than 16777216 "
                    "cells.",
                    8, 15}),
    [](const ::testing::TestParamInfo<ReadFailure>& info) { return std::string(info.param.name); });

TEST_F(VoldViewPropsTest, TooManyCellsWithTheWideDefaultGrid)
{
    // 500 columns allow 33554 bands; the next is refused.
    TVoldViewProps p;
    std::string message;
    int32_t line = 0;
    int32_t column = 0;
    EXPECT_TRUE(Read(p, Replace(defaultViewVolumeText, "<YResolution>50", "<YResolution>33554"),
                     message, line, column))
        << message;
    EXPECT_EQ(p.YResolution.GetValue(), 33554);
    TVoldViewProps q;
    EXPECT_FALSE(Read(q, Replace(defaultViewVolumeText, "<YResolution>50", "<YResolution>33555"),
                      message, line, column));
    EXPECT_EQ(q.YResolution.GetValue(), 50);
}

TEST_F(VoldViewPropsTest, AFailureKeepsTheFieldsAfterIt)
{
    TVoldViewProps p = Unusual();
    std::string message;
    int32_t line = 0;
    int32_t column = 0;
    ASSERT_FALSE(Read(p, Replace(defaultViewVolumeText, "<LeftColor>0000FF", "<LeftColor>red"),
                      message, line, column));
    // Read before the fault: the file's values.
    EXPECT_EQ(p.XResolution.GetValue(), 500);
    EXPECT_EQ(p.FreqAxisKind, freqAxisLog);
    EXPECT_EQ(p.SingleColor, 0xFFFFFF);
    EXPECT_EQ(p.BackgroundColor, 0x000000);
    // At and after the fault: the record's own.
    EXPECT_EQ(p.LeftColor, 0x708090);
    EXPECT_EQ(p.RightColor, 0xA0B0C0);
    EXPECT_EQ(p.UseColorPalette1D, 1);
    EXPECT_EQ(p.DrawSingle, 0);
    EXPECT_NE(p.ColorPalette1D.GetNext()->GetDPosition(), 1.0);
}

struct ResolutionCase
{
    int64_t x;
    int64_t y;
    bool ok;
};

class VolumeResolutionTest : public NoBoxes<::testing::TestWithParam<ResolutionCase>>
{
};

TEST_P(VolumeResolutionTest, LimitsTheCellCount)
{
    const ResolutionCase& c = GetParam();
    std::string message = "untouched";
    EXPECT_EQ(CheckVolumeResolution(c.x, c.y, message), c.ok) << c.x << " x " << c.y;
    if (c.ok)
        EXPECT_EQ(message, "untouched");
    else
        EXPECT_EQ(message,
                  "In Resolution: Horizontal times Vertical must not be more than 16777216 cells.");
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, VolumeResolutionTest,
    ::testing::Values(ResolutionCase{500, 50, true}, ResolutionCase{1, 1, true},
                      ResolutionCase{4096, 4096, true}, ResolutionCase{4096, 4097, false},
                      ResolutionCase{1, 16777216, true}, ResolutionCase{16777216, 1, true},
                      ResolutionCase{16777217, 1, false}, ResolutionCase{1, 16777217, false},
                      ResolutionCase{65536, 65537, false}, ResolutionCase{2147483647, 2, false},
                      ResolutionCase{2147483647, 2147483647, false},
                      ResolutionCase{INT64_MAX, INT64_MAX, false}, ResolutionCase{0, 50, false},
                      ResolutionCase{500, 0, false}, ResolutionCase{-1, -1, false}));

TEST_F(VoldViewPropsTest, AnUncheckedTreeStopsWithAnAssertion)
{
    // A "ViewVolume" that no grammar checked: its first child is not "TimeTop".
    TXMLComplexElement tree("ViewVolume");
    tree.AddText("TimeBottom", "20 hz");
    TVoldViewProps p;
    std::string message;
    int32_t line = -1;
    int32_t column = -1;
    messages.Expect();
    EXPECT_FALSE(p.ReadXml(&tree, message, line, column));
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), "VoldViewProps.cpp", "IsElement(xml, expected)"));
    EXPECT_EQ(message, "In ViewVolume: element \"TimeTop\" expected.");
    EXPECT_TRUE(p == TVoldViewProps());
}

TEST_F(VoldViewPropsTest, GrammarRefusesWhatTheReaderCannotTake)
{
    // Misplaced or missing children never reach the reader.
    const std::vector<std::string> bodies = {
        Replace(defaultViewVolumeText, "  <YLog />\n", ""),
        Replace(defaultViewVolumeText, "  <YLog />\n  <SensNormal />\n",
                "  <SensNormal />\n  <YLog />\n"),
        Replace(defaultViewVolumeText, "  <DrawSingle />\n",
                "  <DrawSingle />\n  <DrawJoined />\n"),
        Replace(defaultViewVolumeText, "    <EndColor>FFFFFF</EndColor>\n", ""),
        Replace(defaultViewVolumeText, "  <CursorColor>",
                "  <UseColorPalette1D />\n  <CursorColor>"),
        Replace(defaultViewVolumeText, "<Strength>1.3</Strength>", "<Strength> </Strength>"),
    };
    for (size_t i = 0; i < bodies.size(); ++i)
        EXPECT_FALSE(Parse(*Grammars().viewVolume, bodies[i]).ok) << i;
    EXPECT_TRUE(
        Parse(*Grammars().viewVolume, Replace(defaultViewVolumeText, "  <ColorPalette1D>",
                                              "  <UseColorPalette1D />\n  <ColorPalette1D>"))
            .ok);
}

} // namespace
