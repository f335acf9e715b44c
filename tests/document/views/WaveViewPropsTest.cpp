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
using kelvorn::test::defaultViewWaveText;
using kelvorn::test::Replace;
using kelvorn::testing::IsAssertionBox;
using kelvorn::testing::NoBoxes;

namespace {

const std::string envelopeElement = "  <DrawEnvelope>\n"
                                    "    <EnvelopeName>drum loop</EnvelopeName>\n"
                                    "    <Strength>40 %</Strength>\n"
                                    "  </DrawEnvelope>\n";

std::string WithEnvelope(const std::string& envelope = envelopeElement)
{
    return Replace(defaultViewWaveText, "</ViewWave>", envelope + "</ViewWave>");
}

bool Read(TWaveViewProps& props, const std::string& body, std::string& message, int32_t& line,
          int32_t& column)
{
    Parsed parsed = Parse(*Grammars().viewWave, body);
    EXPECT_TRUE(parsed.ok) << parsed.error;
    if (!parsed.ok)
        return false;
    return props.ReadXml(parsed.Element(), message, line, column);
}

TWaveViewProps Unusual()
{
    TWaveViewProps p;
    p.DrawKind = drawKindPoints;
    p.DistKind = distKindRandom;
    p.ValuesPerPixel.SetValue(40);
    p.UseGrid = 0;
    p.GridColor = 0x010203;
    p.CursorColor = 0x040506;
    p.Strength.SetValue(0.5);
    p.BackgroundColor = 0x070809;
    p.SingleColor = 0x0A0B0C;
    p.DrawSingle = 0;
    p.LeftColor = 0x0D0E0F;
    p.RightColor = 0x101112;
    p.FrontKind = frontRight;
    p.DrawEnvelope = 1;
    p.EnvelopeStrength.SetValue(0.25);
    p.EnvelopeName = unitUnitWave("bass");
    return p;
}

class WaveViewPropsTest : public NoBoxes<>
{
};

TEST_F(WaveViewPropsTest, CopyAndAssignmentKeepEveryField)
{
    const TWaveViewProps original = Unusual();
    TWaveViewProps copy(original);
    EXPECT_TRUE(copy == original);
    TWaveViewProps assigned;
    EXPECT_TRUE(assigned != original);
    assigned = original;
    EXPECT_TRUE(assigned == original);
    EXPECT_EQ(assigned.EnvelopeName.GetCaption(), "bass");
    EXPECT_EQ(assigned.EnvelopeStrength.GetUnit(), EHPerc);
}

struct Change
{
    const char* name;
    std::function<void(TWaveViewProps&)> apply;
};

class WaveChangeTest : public NoBoxes<::testing::TestWithParam<Change>>
{
};

TEST_P(WaveChangeTest, EveryFieldTakesPartInEquality)
{
    const TWaveViewProps before;
    TWaveViewProps after;
    GetParam().apply(after);
    EXPECT_TRUE(after != before);
    EXPECT_FALSE(after == before);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, WaveChangeTest,
    ::testing::Values(
        Change{"DrawKind", [](TWaveViewProps& p) { p.DrawKind = drawKindPoints; }},
        Change{"DistKind", [](TWaveViewProps& p) { p.DistKind = distKindRandom; }},
        Change{"ValuesPerPixel", [](TWaveViewProps& p) { p.ValuesPerPixel.SetValue(16); }},
        Change{"UseGrid", [](TWaveViewProps& p) { p.UseGrid = 0; }},
        Change{"GridColor", [](TWaveViewProps& p) { p.GridColor = 0x808081; }},
        Change{"CursorColor", [](TWaveViewProps& p) { p.CursorColor = 0; }},
        Change{"Strength", [](TWaveViewProps& p) { p.Strength.SetValue(1.01); }},
        Change{"BackgroundColor", [](TWaveViewProps& p) { p.BackgroundColor = 0; }},
        Change{"SingleColor", [](TWaveViewProps& p) { p.SingleColor = 1; }},
        Change{"DrawSingle", [](TWaveViewProps& p) { p.DrawSingle = 0; }},
        Change{"LeftColor", [](TWaveViewProps& p) { p.LeftColor = 0; }},
        Change{"RightColor", [](TWaveViewProps& p) { p.RightColor = 0; }},
        Change{"FrontKind", [](TWaveViewProps& p) { p.FrontKind = frontLeft; }},
        Change{"DrawEnvelope", [](TWaveViewProps& p) { p.DrawEnvelope = 1; }},
        Change{"EnvelopeStrength", [](TWaveViewProps& p) { p.EnvelopeStrength.SetValue(0.5); }},
        Change{"EnvelopeName", [](TWaveViewProps& p) { p.EnvelopeName = unitUnitWave("a"); }}),
    [](const ::testing::TestParamInfo<Change>& info) { return std::string(info.param.name); });

TEST_F(WaveViewPropsTest, EqualityIgnoresUnitsAndThePickedDocument)
{
    TWaveViewProps a;
    TWaveViewProps b;
    b.Strength.SetUnit(EHPerc);
    b.EnvelopeStrength.SetUnit(EHNone);
    a.EnvelopeName = unitUnitWave("same");
    b.EnvelopeName.Set("same", reinterpret_cast<TUnitWave*>(&b));
    EXPECT_TRUE(a == b);
}

TEST_F(WaveViewPropsTest, BlendColorsBlendsTheSixColours)
{
    TWaveViewProps p = Unusual();
    p.BlendColors(0x000000, 0.5);
    // Toward black at half: each byte halved, truncated.
    EXPECT_EQ(p.GridColor, 0x000101);
    EXPECT_EQ(p.CursorColor, 0x020203);
    EXPECT_EQ(p.BackgroundColor, 0x030404);
    EXPECT_EQ(p.SingleColor, 0x050506);
    EXPECT_EQ(p.LeftColor, 0x060707);
    EXPECT_EQ(p.RightColor, 0x080809);
    TWaveViewProps q;
    q.BlendColors(0xFFFFFF, 0.0);
    EXPECT_EQ(q.SingleColor, 0xFFFFFF);
    EXPECT_EQ(q.GridColor, 0xFFFFFF);
    q = TWaveViewProps();
    q.BlendColors(0x123456, 1.0);
    EXPECT_TRUE(q == TWaveViewProps());
}

TEST_F(WaveViewPropsTest, WritesTheDefaultElement)
{
    EXPECT_EQ(Text(*TWaveViewProps().WriteXml()), defaultViewWaveText);
}

TEST_F(WaveViewPropsTest, WritesEveryKindAndTheEnvelope)
{
    TWaveViewProps p = Unusual();
    EXPECT_EQ(Text(*p.WriteXml()), "<ViewWave>\n"
                                   "  <DrawPixels />\n"
                                   "  <DistRandom />\n"
                                   "  <ValuesPerPixel>40</ValuesPerPixel>\n"
                                   "  <GridColor>010203</GridColor>\n"
                                   "  <CursorColor>040506</CursorColor>\n"
                                   "  <Strength>0.5</Strength>\n"
                                   "  <SingleColor>0A0B0C</SingleColor>\n"
                                   "  <BackgroundColor>070809</BackgroundColor>\n"
                                   "  <LeftColor>0D0E0F</LeftColor>\n"
                                   "  <RightColor>101112</RightColor>\n"
                                   "  <FrontRight />\n"
                                   "  <DrawJoined />\n"
                                   "  <DrawEnvelope>\n"
                                   "    <EnvelopeName>bass</EnvelopeName>\n"
                                   "    <Strength>25 %</Strength>\n"
                                   "  </DrawEnvelope>\n"
                                   "</ViewWave>\n");
    p.FrontKind = frontLeft;
    EXPECT_NE(Text(*p.WriteXml()).find("  <FrontLeft />\n"), std::string::npos);
}

TEST_F(WaveViewPropsTest, AnEnvelopeWithoutAWaveIsWrittenAsNone)
{
    // A file cannot hold an empty name; such an envelope draws nothing anyway.
    for (const char* caption : {"", " ", "\t"}) {
        TWaveViewProps p;
        p.DrawEnvelope = 1;
        p.EnvelopeName.SetCaption(caption);
        EXPECT_EQ(Text(*p.WriteXml()), defaultViewWaveText) << '"' << caption << '"';
    }
}

TEST_F(WaveViewPropsTest, RoundTrips)
{
    std::vector<TWaveViewProps> records(5);
    records[1] = Unusual();
    records[2].FrontKind = frontLeft;
    records[2].DrawKind = drawKindPoints;
    records[3].DrawEnvelope = 1;
    records[3].EnvelopeName = unitUnitWave("Wave 12");
    records[3].EnvelopeStrength.SetValue(1.0);
    records[4].Strength.SetUnit(EHPerc);
    records[4].Strength.SetValue(2.5);
    records[4].ValuesPerPixel.SetValue(2147483647);
    for (size_t i = 0; i < records.size(); ++i) {
        const std::string written = Text(*records[i].WriteXml());
        TWaveViewProps read = Unusual();
        std::string message;
        int32_t line = -1;
        int32_t column = -1;
        ASSERT_TRUE(Read(read, written, message, line, column)) << i << ": " << message;
        if (records[i].DrawEnvelope) {
            EXPECT_TRUE(read == records[i]) << i;
        } else {
            // Without an envelope the old name and strength stay.
            EXPECT_EQ(read.DrawEnvelope, 0) << i;
            read.EnvelopeName = records[i].EnvelopeName;
            read.EnvelopeStrength = records[i].EnvelopeStrength;
            EXPECT_TRUE(read == records[i]) << i;
        }
        EXPECT_EQ(Text(*read.WriteXml()), written) << i;
    }
}

TEST_F(WaveViewPropsTest, NoEnvelopeClearsTheFlagAndKeepsNameAndStrength)
{
    TWaveViewProps p = Unusual();
    std::string message;
    int32_t line = 0;
    int32_t column = 0;
    ASSERT_TRUE(Read(p, defaultViewWaveText, message, line, column)) << message;
    EXPECT_EQ(p.DrawEnvelope, 0);
    EXPECT_EQ(p.EnvelopeName.GetCaption(), "bass");
    EXPECT_EQ(p.EnvelopeStrength.GetValue(), 0.25);
    EXPECT_EQ(p.UseGrid, 1);
}

TEST_F(WaveViewPropsTest, ReadsAnEnvelopeNameWithoutItsOuterBlanks)
{
    TWaveViewProps p;
    std::string message;
    int32_t line = 0;
    int32_t column = 0;
    ASSERT_TRUE(
        Read(p,
             WithEnvelope("  <DrawEnvelope>\n    <EnvelopeName> two  words </EnvelopeName>\n"
                          "    <Strength>0.7</Strength>\n  </DrawEnvelope>\n"),
             message, line, column))
        << message;
    EXPECT_EQ(p.DrawEnvelope, 1);
    EXPECT_EQ(p.EnvelopeName.GetCaption(), "two  words");
    EXPECT_EQ(p.EnvelopeStrength.GetValue(), 0.7);
    EXPECT_EQ(p.EnvelopeStrength.GetUnit(), EHNone);
}

TEST_F(WaveViewPropsTest, ReadsColoursInEitherCase)
{
    TWaveViewProps p;
    std::string message;
    int32_t line = 0;
    int32_t column = 0;
    ASSERT_TRUE(Read(p, Replace(defaultViewWaveText, "<CursorColor>FF00FF", "<CursorColor>ff00fe"),
                     message, line, column))
        << message;
    EXPECT_EQ(p.CursorColor, 0xFF00FE);
}

struct ReadFailure
{
    const char* name;
    std::string body;
    std::string message;
    int32_t line;
    int32_t column;
};

class WaveReadFailureTest : public NoBoxes<::testing::TestWithParam<ReadFailure>>
{
};

TEST_P(WaveReadFailureTest, NamesTheFieldAndItsPlace)
{
    const ReadFailure& c = GetParam();
    TWaveViewProps p;
    std::string message;
    int32_t line = -1;
    int32_t column = -1;
    EXPECT_FALSE(Read(p, c.body, message, line, column));
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(line, c.line);
    EXPECT_EQ(column, c.column);
}

// The body starts at line 4; a value's place is where its begin tag ends.
INSTANTIATE_TEST_SUITE_P(
    Elements, WaveReadFailureTest,
    ::testing::Values(
        ReadFailure{"ValuesPerPixel",
                    Replace(defaultViewWaveText, "<ValuesPerPixel>15", "<ValuesPerPixel>0"),
                    "In ValuesPerPixel: Value must be positive and more than 0.", 7, 18},
        ReadFailure{"GridColor",
                    Replace(defaultViewWaveText, "<GridColor>808080", "<GridColor>grey"),
                    "In GridColor: Invalid Hexdecimal value: \"grey\".", 9, 13},
        ReadFailure{"GridColorWithoutUseGrid",
                    Replace(Replace(defaultViewWaveText, "  <UseGrid />\n", ""),
                            "<GridColor>808080", "<GridColor>grey"),
                    "In GridColor: Invalid Hexdecimal value: \"grey\".", 8, 13},
        ReadFailure{"Strength", Replace(defaultViewWaveText, "<Strength>1", "<Strength>-1"),
                    "In Strength: Value must be positive and more than 0.", 11, 12},
        ReadFailure{"EnvelopeStrength",
                    WithEnvelope("  <DrawEnvelope>\n    <EnvelopeName>a</EnvelopeName>\n"
                                 "    <Strength>150 %</Strength>\n  </DrawEnvelope>\n"),
                    "In Strength of DrawEnvelope: Value must be no more than 1.", 20, 14}),
    [](const ::testing::TestParamInfo<ReadFailure>& info) { return std::string(info.param.name); });

TEST_F(WaveViewPropsTest, AnUncheckedTreeStopsWithAnAssertion)
{
    TXMLComplexElement tree("ViewWave");
    tree.AddComplex("DrawLines");
    tree.AddComplex("DrawPixels");
    TWaveViewProps p;
    std::string message;
    int32_t line = -1;
    int32_t column = -1;
    messages.Expect();
    EXPECT_FALSE(p.ReadXml(&tree, message, line, column));
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), "WaveViewProps.cpp",
                               "IsElement(xml, name0) || IsElement(xml, name1)"));
    EXPECT_EQ(message, "In ViewWave: element \"DistPeriod\" expected.");
}

TEST_F(WaveViewPropsTest, GrammarRefusesWhatTheReaderCannotTake)
{
    const std::vector<std::string> bodies = {
        Replace(defaultViewWaveText, "  <DistPeriod />\n", ""),
        Replace(defaultViewWaveText, "  <FrontNone />\n", "  <FrontNone />\n  <FrontLeft />\n"),
        Replace(defaultViewWaveText, "  <UseGrid />\n", "  <UseGrid />\n  <UseGrid />\n"),
        WithEnvelope("  <DrawEnvelope>\n    <Strength>1</Strength>\n  </DrawEnvelope>\n"),
        WithEnvelope("  <DrawEnvelope>\n    <EnvelopeName> </EnvelopeName>\n"
                     "    <Strength>1</Strength>\n  </DrawEnvelope>\n"),
        WithEnvelope(envelopeElement + envelopeElement),
    };
    for (size_t i = 0; i < bodies.size(); ++i)
        EXPECT_FALSE(Parse(*Grammars().viewWave, bodies[i]).ok) << i;
    EXPECT_TRUE(Parse(*Grammars().viewWave, WithEnvelope()).ok);
}

} // namespace
