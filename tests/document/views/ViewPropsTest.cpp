// The two view records: every field in equality (and, for the volume view, in the need to
// recompute), colour blending, the exact element each writes, round trips, and refused elements
// with their field and place. Element texts are parsed against the records' own grammars.

#include "support/Documents.h"

#include "document/views/VoldViewProps.h"
#include "document/views/WaveViewProps.h"
#include "general/values/NoBoxes.h"
#include "general/xml/XMLGrammar.h"
#include "general/xml/XMLToken.h"
#include "general/xml/XMLWriter.h"

#include <gtest/gtest.h>

#include <functional>

using namespace kelvorn;
using kelvorn::test::defaultViewVolumeText;
using kelvorn::test::defaultViewWaveText;
using kelvorn::test::Replace;
using kelvorn::testing::IsAssertionBox;

namespace {

struct ViewGrammars
{
    TDTDGrammar grammar;
    const TDTDCompound* wave = CreateViewWaveGrammar(grammar);
    const TDTDCompound* volume = CreateViewVolumeGrammar(grammar);
};

const ViewGrammars& Grammars()
{
    static const ViewGrammars grammars;
    return grammars;
}

/// body parsed under a root element after a file head of three lines: body's first line is 4.
bool Parses(const TDTDItem& grammar, const std::string& body, TXMLComplexElement& root,
            std::string& error)
{
    std::string version;
    auto tokens = TXMLToken::FromMemory(
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE Doc SYSTEM \"Doc.dtd\">\n\n" +
            body,
        version);
    if (tokens->GetTokenKind() == xmlTokenError) {
        error = tokens->GetError();
        return false;
    }
    const TXMLToken* cursor = tokens.get();
    bool fatal = false;
    return grammar.Parse(root, cursor, error, fatal);
}

bool Parses(const TDTDItem& grammar, const std::string& body)
{
    TXMLComplexElement root("Root");
    std::string error;
    return Parses(grammar, body, root, error);
}

struct ReadResult
{
    bool ok = false;
    std::string message;
    int32_t line = -1, column = -1;
};

/// Reads body, which the grammar must accept, into props.
template <class P> ReadResult Read(P& props, const std::string& body)
{
    const TDTDItem& grammar =
        std::is_same_v<P, TWaveViewProps> ? *Grammars().wave : *Grammars().volume;
    TXMLComplexElement root("Root");
    ReadResult r;
    std::string error;
    if (!Parses(grammar, body, root, error)) {
        ADD_FAILURE() << error;
        return r;
    }
    r.ok = props.ReadXml(root.GetFirstChild(), r.message, r.line, r.column);
    return r;
}

/// element as the file writer lays it out at the top level.
std::string Text(const TXMLItem& element)
{
    std::string out, error;
    return WriteXMLElement(element, 0, out, error) ? out : "refused: " + error;
}

struct Refusal
{
    const char* name;
    std::string body, message;
    int32_t line, column;
};

template <class P> void ExpectRefusals(const std::vector<Refusal>& cases)
{
    for (const Refusal& c : cases) {
        P p;
        const ReadResult r = Read(p, c.body);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(r.message, c.message) << c.name;
        EXPECT_EQ(r.line, c.line) << c.name;
        EXPECT_EQ(r.column, c.column) << c.name;
    }
}

using ViewPropsTest = kelvorn::testing::NoBoxes<>;

// ---- the wave view ------------------------------------------------------------------------------

const std::string envelopeElement = "  <DrawEnvelope>\n"
                                    "    <EnvelopeName>drum loop</EnvelopeName>\n"
                                    "    <Strength>40 %</Strength>\n  </DrawEnvelope>\n";

std::string WithEnvelope(const std::string& envelope = envelopeElement)
{
    return Replace(defaultViewWaveText, "</ViewWave>", envelope + "</ViewWave>");
}

TWaveViewProps UnusualWave()
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

#define F(...) [](auto& p) { p.__VA_ARGS__; }

TEST_F(ViewPropsTest, EveryWaveFieldTakesPartInEqualityButNotItsUnit)
{
    // clang-format off
    const std::function<void(TWaveViewProps&)> changes[] = {F(DrawKind = drawKindPoints),
        F(DistKind = distKindRandom), F(ValuesPerPixel.SetValue(16)), F(UseGrid = 0),
        F(GridColor = 0x808081), F(CursorColor = 0), F(Strength.SetValue(1.01)),
        F(BackgroundColor = 0), F(SingleColor = 1), F(DrawSingle = 0), F(LeftColor = 0),
        F(RightColor = 0), F(FrontKind = frontLeft), F(DrawEnvelope = 1),
        F(EnvelopeStrength.SetValue(0.5)), F(EnvelopeName = unitUnitWave("a"))};
    // clang-format on
    for (size_t i = 0; i < std::size(changes); ++i) {
        TWaveViewProps after;
        changes[i](after);
        EXPECT_TRUE(after != TWaveViewProps()) << i;
        EXPECT_FALSE(after == TWaveViewProps()) << i;
    }
    TWaveViewProps a, b;
    b.Strength.SetUnit(EHPerc);
    b.EnvelopeStrength.SetUnit(EHNone);
    a.EnvelopeName = unitUnitWave("same");
    b.EnvelopeName.Set("same", reinterpret_cast<TUnitWave*>(&b)); // nor the picked document
    EXPECT_TRUE(a == b);
}

TEST_F(ViewPropsTest, WaveWritesEveryKindAndTheEnvelopeAndRoundTrips)
{
    EXPECT_EQ(Text(*TWaveViewProps().WriteXml()), defaultViewWaveText);
    TWaveViewProps p = UnusualWave();
    const std::string expected =
        "<ViewWave>\n  <DrawPixels />\n  <DistRandom />\n  <ValuesPerPixel>40</ValuesPerPixel>\n"
        "  <GridColor>010203</GridColor>\n  <CursorColor>040506</CursorColor>\n"
        "  <Strength>0.5</Strength>\n  <SingleColor>0A0B0C</SingleColor>\n"
        "  <BackgroundColor>070809</BackgroundColor>\n  <LeftColor>0D0E0F</LeftColor>\n"
        "  <RightColor>101112</RightColor>\n  <FrontRight />\n  <DrawJoined />\n  <DrawEnvelope>\n"
        "    <EnvelopeName>bass</EnvelopeName>\n    <Strength>25 %</Strength>\n  </DrawEnvelope>\n"
        "</ViewWave>\n";
    EXPECT_EQ(Text(*p.WriteXml()), expected);
    p.FrontKind = frontLeft;
    EXPECT_NE(Text(*p.WriteXml()).find("  <FrontLeft />\n"), std::string::npos);
    // A file cannot hold an empty name; such an envelope draws nothing anyway.
    for (const char* caption : {"", " ", "\t"}) {
        TWaveViewProps q;
        q.DrawEnvelope = 1;
        q.EnvelopeName.SetCaption(caption);
        EXPECT_EQ(Text(*q.WriteXml()), defaultViewWaveText) << '"' << caption << '"';
    }

    // Round trips.
    std::vector<TWaveViewProps> records(5);
    records[1] = UnusualWave();
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
        TWaveViewProps read = UnusualWave();
        ASSERT_TRUE(Read(read, written).ok) << i;
        if (!records[i].DrawEnvelope) {
            // Without an envelope the old name and strength stay.
            EXPECT_EQ(read.DrawEnvelope, 0) << i;
            EXPECT_EQ(read.EnvelopeName.GetCaption(), "bass");
            read.EnvelopeName = records[i].EnvelopeName;
            read.EnvelopeStrength = records[i].EnvelopeStrength;
        }
        EXPECT_TRUE(read == records[i]) << i;
        EXPECT_EQ(Text(*read.WriteXml()), written) << i;
    }
    // Envelope names lose their outer blanks; colours read in either case.
    TWaveViewProps blank;
    ASSERT_TRUE(Read(blank, Replace(WithEnvelope("  <DrawEnvelope>\n    <EnvelopeName> two  words "
                                                 "</EnvelopeName>\n    <Strength>0.7</Strength>\n"
                                                 "  </DrawEnvelope>\n"),
                                    "<CursorColor>FF00FF", "<CursorColor>ff00fe"))
                    .ok);
    EXPECT_EQ(blank.EnvelopeName.GetCaption(), "two  words");
    EXPECT_EQ(blank.EnvelopeStrength.GetValue(), 0.7);
    EXPECT_EQ(blank.EnvelopeStrength.GetUnit(), EHNone);
    EXPECT_EQ(blank.CursorColor, 0xFF00FE);
}

TEST_F(ViewPropsTest, WaveRefusalsNameTheFieldAndItsPlaceOrComeFromTheGrammar)
{
    // The body starts at line 4; a value's place is where its begin tag ends.
    const std::string& d = defaultViewWaveText;
    ExpectRefusals<TWaveViewProps>({
        {"ValuesPerPixel", Replace(d, "<ValuesPerPixel>15", "<ValuesPerPixel>0"),
         "In ValuesPerPixel: Value must be positive and more than 0.", 7, 18},
        {"GridColor", Replace(d, "<GridColor>808080", "<GridColor>grey"),
         "In GridColor: Invalid Hexdecimal value: \"grey\".", 9, 13},
        {"GridColorWithoutUseGrid",
         Replace(Replace(d, "  <UseGrid />\n", ""), "<GridColor>808080", "<GridColor>grey"),
         "In GridColor: Invalid Hexdecimal value: \"grey\".", 8, 13},
        {"Strength", Replace(d, "<Strength>1", "<Strength>-1"),
         "In Strength: Value must be positive and more than 0.", 11, 12},
        {"EnvelopeStrength",
         WithEnvelope("  <DrawEnvelope>\n    <EnvelopeName>a</EnvelopeName>\n"
                      "    <Strength>150 %</Strength>\n  </DrawEnvelope>\n"),
         "In Strength of DrawEnvelope: Value must be no more than 1.", 20, 14},
    });

    // What the reader cannot take the grammar refuses; a tree it did not check, the reader asserts.
    for (const std::string& body :
         {Replace(d, "  <DistPeriod />\n", ""),
          Replace(d, "  <FrontNone />\n", "  <FrontNone />\n  <FrontLeft />\n"),
          Replace(d, "  <UseGrid />\n", "  <UseGrid />\n  <UseGrid />\n"),
          WithEnvelope("  <DrawEnvelope>\n    <Strength>1</Strength>\n  </DrawEnvelope>\n"),
          WithEnvelope("  <DrawEnvelope>\n    <EnvelopeName> </EnvelopeName>\n"
                       "    <Strength>1</Strength>\n  </DrawEnvelope>\n"),
          WithEnvelope(envelopeElement + envelopeElement)})
        EXPECT_FALSE(Parses(*Grammars().wave, body)) << body;
    EXPECT_TRUE(Parses(*Grammars().wave, WithEnvelope()));

    TXMLComplexElement tree("ViewWave");
    tree.AddComplex("DrawLines");
    tree.AddComplex("DrawPixels");
    TWaveViewProps p;
    ReadResult r;
    messages.Expect();
    EXPECT_FALSE(p.ReadXml(&tree, r.message, r.line, r.column));
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), "WaveViewProps.cpp",
                               "IsElement(xml, name0) || IsElement(xml, name1)"));
    EXPECT_EQ(r.message, "In ViewWave: element \"DistPeriod\" expected.");
}

// ---- the volume view ----------------------------------------------------------------------------

TVoldViewProps UnusualVolume()
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

TEST_F(ViewPropsTest, VolumeCopiesOwnTheirPaletteAndEveryFieldTakesPartInEquality)
{
    TVoldViewProps original = UnusualVolume();
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

    struct Change
    {
        std::function<void(TVoldViewProps&)> apply;
        bool recalculate;
    };
    // clang-format off
    const Change changes[] = {{F(XResolution.SetValue(501)), true}, {F(YResolution.SetValue(49)),
        true},
        {F(TimeTop.SetValue(1e-4)), true}, {F(TimeBottom.SetValue(0.04)), true},
        {F(YWidth.SetValue(1.5)), true}, {F(FreqAxisKind = freqAxisLinFreq), true},
        {F(SensKind = sensHigh), false}, {F(Strength.SetValue(2.0)), false}, {F(DrawSingle = 0),
             false},
        {F(BackgroundColor = 1), false}, {F(SingleColor = 1), false}, {F(LeftColor = 1), false},
        {F(RightColor = 1), false}, {F(CursorColor = 1), false}, {F(UseColorPalette1D = 1), false},
        {F(ColorPalette1D.Insert(0.5, 0x0000FF)), false},
        {F(ColorPalette1D.GetLast()->SetColorBefore(1)), false}};
    // clang-format on
    const TVoldViewProps before;
    for (size_t i = 0; i < std::size(changes); ++i) {
        TVoldViewProps after;
        changes[i].apply(after);
        EXPECT_TRUE(after != before) << i;
        EXPECT_FALSE(after == before) << i;
        EXPECT_EQ(after.NeedsRecalculation(before), changes[i].recalculate) << i;
        EXPECT_EQ(before.NeedsRecalculation(after), changes[i].recalculate) << i;
    }
    TVoldViewProps units;
    units.TimeTop.SetUnit(EHS);
    units.TimeBottom.SetUnit(EHMS);
    units.Strength.SetUnit(EHPerc);
    EXPECT_TRUE(units == before);
    EXPECT_FALSE(units.NeedsRecalculation(before));
}

#undef F

TEST_F(ViewPropsTest, VolumeBlendColorsBlendsTheFiveColoursAndThePalette)
{
    TVoldViewProps p = UnusualVolume();
    p.BlendColors(0xFFFFFF, 0.25); // each byte: 255 * 0.75 + own * 0.25, truncated
    EXPECT_EQ(std::vector<int32_t>(
                  {p.BackgroundColor, p.SingleColor, p.LeftColor, p.RightColor, p.CursorColor}),
              std::vector<int32_t>({0xC3C7CB, 0xCFD3D7, 0xDBDFE3, 0xE7EBEF, 0xF3F7FB}));
    EXPECT_EQ(p.ColorPalette1D.GetColorBefore(), 0xBFBFBF);
    EXPECT_EQ(p.ColorPalette1D.GetNext()->GetColorBefore(), 0xBFBFFF);
    EXPECT_EQ(p.ColorPalette1D.GetNext()->GetColorAfter(), 0xBFFFBF);
    EXPECT_EQ(p.ColorPalette1D.GetLast()->GetColorBefore(), 0xFFFFFF);
    EXPECT_EQ(p.XResolution.GetValue(), 4096);
}

TEST_F(ViewPropsTest, VolumeWritesEveryKindAndThePaletteAndRoundTrips)
{
    EXPECT_EQ(Text(*TVoldViewProps().WriteXml()), defaultViewVolumeText);
    const std::string expected =
        "<ViewVolume>\n  <TimeTop>8 khz</TimeTop>\n  <TimeBottom>40 hz</TimeBottom>\n"
        "  <XResolution>4096</XResolution>\n  <YResolution>4096</YResolution>\n"
        "  <YWidth>2.5</YWidth>\n  <YLinTime />\n  <SensVeryHigh />\n  <Strength>0.75</Strength>\n"
        "  <SingleColor>405060</SingleColor>\n  <BackgroundColor>102030</BackgroundColor>\n"
        "  <LeftColor>708090</LeftColor>\n  <RightColor>A0B0C0</RightColor>\n"
        "  <CursorColor>D0E0F0</CursorColor>\n  <UseColorPalette1D />\n  <ColorPalette1D>\n"
        "    <BeginColor>000000</BeginColor>\n    <ColorPalette1DItem>\n"
        "      <Position>25 %</Position>\n      <ColorBefore>0000FF</ColorBefore>\n"
        "      <UseColorAfter />\n      <ColorAfter>00FF00</ColorAfter>\n"
        "    </ColorPalette1DItem>\n    <ColorPalette1DItem>\n      <Position>50 %</Position>\n"
        "      <ColorBefore>FF0000</ColorBefore>\n      <ColorAfter>FF0000</ColorAfter>\n"
        "    </ColorPalette1DItem>\n    <EndColor>FFFFFF</EndColor>\n  </ColorPalette1D>\n"
        "  <DrawJoined />\n</ViewVolume>\n";
    EXPECT_EQ(Text(*UnusualVolume().WriteXml()), expected);

    std::vector<TVoldViewProps> records(7);
    records[1] = UnusualVolume();
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
    records[6].YResolution.SetValue(33554); // 500 columns allow 33554 bands
    for (size_t i = 0; i < records.size(); ++i) {
        const std::string written = Text(*records[i].WriteXml());
        // The stops read replace the old ones; an absent UseColorPalette1D clears the flag.
        TVoldViewProps read = UnusualVolume();
        read.ColorPalette1D.Insert(0.875, 0x777777);
        ASSERT_TRUE(Read(read, written).ok) << i;
        EXPECT_TRUE(read == records[i]) << i;
        EXPECT_EQ(read.TimeTop.GetUnit(), records[i].TimeTop.GetUnit()) << i;
        EXPECT_EQ(Text(*read.WriteXml()), written) << i;
    }
    // A value is stored as its text form: a third keeps the digits it shows, and reading those
    // back writes the very same text.
    TVoldViewProps third, read;
    third.YWidth.SetValue(1.0 / 3);
    const std::string written = Text(*third.WriteXml());
    ASSERT_TRUE(Read(read, written).ok);
    EXPECT_NEAR(read.YWidth.GetValue(), 1.0 / 3, 1e-5);
    EXPECT_EQ(Text(*read.WriteXml()), written);
}

TEST_F(ViewPropsTest, VolumeRefusalsNameTheFieldAndItsPlaceOrComeFromTheGrammar)
{
    const std::string& d = defaultViewVolumeText;
    const std::string cells =
        "In Resolution: Horizontal times Vertical must not be more than 16777216 cells.";
    auto stop = [](const char* position, const char* before, const char* after) {
        return Replace(defaultViewVolumeText, "    <EndColor>",
                       std::string("    <ColorPalette1DItem>\n      <Position>") + position +
                           "</Position>\n      <ColorBefore>" + before +
                           "</ColorBefore>\n      <ColorAfter>" + after +
                           "</ColorAfter>\n    </ColorPalette1DItem>\n    <EndColor>");
    };
    ExpectRefusals<TVoldViewProps>({
        {"TimeTop", Replace(d, "20 khz", "x1"), "In TimeTop: Input has no value.", 5, 11},
        {"TimeTopZero", Replace(d, "20 khz", "0 s"),
         "In TimeTop: Value must be positive and more than 0.", 5, 11},
        // Kept: this label has always been spelt so.
        {"TimeBottom", Replace(d, "20 hz", "-20 hz"),
         "In Timebottom: Value must be positive and more than 0.", 6, 14},
        {"XResolution", Replace(d, "500", "0"),
         "In XResolution: Value must be positive and more than 0.", 7, 15},
        {"YResolution", Replace(d, "<YResolution>50", "<YResolution>-3"),
         "In YResolution: Value must be positive and more than 0.", 8, 15},
        {"YWidth", Replace(d, "<YWidth>1", "<YWidth>0"),
         "In YWidth: Value must be positive and more than 0.", 9, 10},
        {"Strength", Replace(d, "1.3", "strong"), "In Strength: Input has no value.", 12, 12},
        {"EndColor", Replace(d, "<EndColor>FFFFFF", "<EndColor>FFFFFFZ"),
         "In EndColor: Invalid Hexdecimal value: \"FFFFFFZ\".", 20, 14},
        {"PalettePosition", stop("1", "0", "0"), "In Position: Value must be less than 1.", 21, 16},
        {"PaletteColorBefore", stop("0.5", "x", "0"),
         "In ColorBefore: Invalid Hexdecimal value: \"x\".", 22, 19},
        {"PaletteColorAfter", stop("0.5", "0", "y"),
         "In ColorAfter: Invalid Hexdecimal value: \"y\".", 23, 18},
        // Refused at YResolution, counted in 64 bits: 65536 x 65537 wraps to 65536 in 32.
        {"TooManyCells", Replace(d, "<YResolution>50", "<YResolution>33555"), cells, 8, 15},
        {"CellCountWrapsIn32Bits",
         Replace(d, "<XResolution>500</XResolution>\n  <YResolution>50",
                 "<XResolution>65536</XResolution>\n  <YResolution>65537"),
         cells, 8, 15},
    });

    // A failure keeps the record's own values from the faulty field on.
    TVoldViewProps p = UnusualVolume();
    ASSERT_FALSE(Read(p, Replace(d, "<LeftColor>0000FF", "<LeftColor>red")).ok);
    EXPECT_EQ(p.XResolution.GetValue(), 500);
    EXPECT_EQ(p.FreqAxisKind, freqAxisLog);
    EXPECT_EQ(p.BackgroundColor, 0x000000);
    EXPECT_EQ(p.LeftColor, 0x708090);
    EXPECT_EQ(p.RightColor, 0xA0B0C0);
    EXPECT_EQ(p.UseColorPalette1D, 1);
    EXPECT_EQ(p.DrawSingle, 0);
    EXPECT_NE(p.ColorPalette1D.GetNext()->GetDPosition(), 1.0);

    // What the reader cannot take the grammar refuses; a tree it did not check, the reader asserts.
    for (const std::string& body :
         {Replace(d, "  <YLog />\n", ""),
          Replace(d, "  <YLog />\n  <SensNormal />\n", "  <SensNormal />\n  <YLog />\n"),
          Replace(d, "  <DrawSingle />\n", "  <DrawSingle />\n  <DrawJoined />\n"),
          Replace(d, "    <EndColor>FFFFFF</EndColor>\n", ""),
          Replace(d, "  <CursorColor>", "  <UseColorPalette1D />\n  <CursorColor>"),
          Replace(d, "<Strength>1.3</Strength>", "<Strength> </Strength>")})
        EXPECT_FALSE(Parses(*Grammars().volume, body)) << body;
    EXPECT_TRUE(Parses(*Grammars().volume, Replace(d, "  <ColorPalette1D>",
                                                   "  <UseColorPalette1D />\n  <ColorPalette1D>")));

    // A "ViewVolume" that no grammar checked: its first child is not "TimeTop".
    TXMLComplexElement tree("ViewVolume");
    tree.AddText("TimeBottom", "20 hz");
    TVoldViewProps q;
    ReadResult r;
    messages.Expect();
    EXPECT_FALSE(q.ReadXml(&tree, r.message, r.line, r.column));
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), "VoldViewProps.cpp", "IsElement(xml, expected)"));
    EXPECT_EQ(r.message, "In ViewVolume: element \"TimeTop\" expected.");
    EXPECT_TRUE(q == TVoldViewProps());
}

} // namespace
