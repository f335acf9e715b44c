#include "PaletteTestSupport.h"

#include "../values/NoBoxes.h"
#include "../xml/XMLTestSupport.h"
#include "general/files/SafeFile.h"
#include "general/xml/XMLGrammar.h"
#include "general/xml/XMLWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::palettetest;
using kelvorn::testing::IsAssertionBox;
using kelvorn::testing::NoBoxes;
using kelvorn::xmltest::ReadAll;
using kelvorn::xmltest::TempDir;
using kelvorn::xmltest::WriteAll;

namespace {

const std::string fileHead = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                             "<!DOCTYPE UnitColorPalette1D SYSTEM \"UnitColorPalette1D.dtd\">\n"
                             "\n";

// Lines 4 to 6; a case's palette lines start at line 7.
const std::string bodyHead = "<UnitColorPalette1D>\n"
                             "  <Version>1.0</Version>\n"
                             "  <ColorPalette1D>\n";
const std::string bodyTail = "  </ColorPalette1D>\n"
                             "</UnitColorPalette1D>\n";

std::string Item(const std::string& position, const std::string& before = "0000FF",
                 const std::string& after = "0000FF", bool useAfter = false)
{
    return "    <ColorPalette1DItem>\n"
           "      <Position>" +
           position +
           "</Position>\n"
           "      <ColorBefore>" +
           before + "</ColorBefore>\n" + (useAfter ? "      <UseColorAfter />\n" : "") +
           "      <ColorAfter>" + after +
           "</ColorAfter>\n"
           "    </ColorPalette1DItem>\n";
}

std::string Palette(const std::string& inner, const std::string& begin = "000000",
                    const std::string& end = "FFFFFF")
{
    return fileHead + bodyHead + "    <BeginColor>" + begin + "</BeginColor>\n" + inner +
           "    <EndColor>" + end + "</EndColor>\n" + bodyTail;
}

class PaletteFileTest : public NoBoxes<>
{
protected:
    TempDir dir{"palette"};
    std::string Path(const std::string& name) const { return (dir.path / name).string(); }
};

TEST_F(PaletteFileTest, WritesTheFileByteForByte)
{
    TColorPalette1DItem palette =
        palettetest::Palette(black, {{0.25, red, true, blue}, {0.625, green}}, white);
    ASSERT_TRUE(WritePaletteFile(palette, Path("a.cp1")));
    EXPECT_EQ(ReadAll(dir.path / "a.cp1"), fileHead + bodyHead +
                                               "    <BeginColor>000000</BeginColor>\n"
                                               "    <ColorPalette1DItem>\n"
                                               "      <Position>25 %</Position>\n"
                                               "      <ColorBefore>0000FF</ColorBefore>\n"
                                               "      <UseColorAfter />\n"
                                               "      <ColorAfter>FF0000</ColorAfter>\n"
                                               "    </ColorPalette1DItem>\n"
                                               "    <ColorPalette1DItem>\n"
                                               "      <Position>62.5 %</Position>\n"
                                               "      <ColorBefore>00FF00</ColorBefore>\n"
                                               "      <ColorAfter>00FF00</ColorAfter>\n"
                                               "    </ColorPalette1DItem>\n"
                                               "    <EndColor>FFFFFF</EndColor>\n" +
                                               bodyTail);
    EXPECT_EQ(dir.Count(), 1u);
}

TEST_F(PaletteFileTest, RoundTrips)
{
    const std::vector<TColorPalette1DItem> palettes = {
        TColorPalette1DItem(black, white),
        palettetest::Palette(0x123456, {{0.5, red, true, blue}}, 0xABCDEF),
        palettetest::Palette(black, {{0.125, 1}, {0.25, 2, true, 3}, {0.3, 4}, {0.875, 5}}, white),
        // Shown digits that read back a hair off (99.9 / 100 is not the double nearest 0.999),
        // and positions whose shown digits would read back equal: the writer keeps them apart.
        palettetest::Palette(
            black, {{0.123456789012345, red}, {0.1234567890123451, green}, {0.999, blue}}, white),
    };
    for (size_t i = 0; i < palettes.size(); ++i) {
        const TColorPalette1DItem& original = palettes[i];
        ASSERT_TRUE(WritePaletteFile(original, Path("r.cp1"))) << i;
        const std::string written = ReadAll(dir.path / "r.cp1");
        TColorPalette1DItem read(white, black);
        std::string message;
        ASSERT_TRUE(ReadPaletteFile(read, Path("r.cp1"), message)) << i << ": " << message;
        EXPECT_TRUE(read.IsConsistent()) << i;
        if (i < 3) {
            EXPECT_TRUE(read == original) << i;
        } else {
            const TColorPalette1DItem* a = &read;
            const TColorPalette1DItem* b = &original;
            for (; a && b; a = a->GetNext(), b = b->GetNext()) {
                EXPECT_NEAR(a->GetDPosition(), b->GetDPosition(), 1e-15);
                EXPECT_EQ(a->GetColorBefore(), b->GetColorBefore());
            }
            EXPECT_EQ(a, b);
        }
        // What was read writes the very same bytes again.
        ASSERT_TRUE(WritePaletteFile(read, Path("r2.cp1")));
        EXPECT_EQ(ReadAll(dir.path / "r2.cp1"), written) << i;
    }
}

TEST_F(PaletteFileTest, ReadStopsKeepTheUnitOfTheirText)
{
    WriteAll(dir.path / "u.cp1", Palette(Item("0.25") + Item("50 %")));
    TColorPalette1DItem palette(black, white);
    std::string message;
    ASSERT_TRUE(ReadPaletteFile(palette, Path("u.cp1"), message)) << message;
    EXPECT_EQ(palette.GetNext()->GetPosition().GetUnit(), EHNone);
    EXPECT_EQ(palette.GetNext()->GetNext()->GetPosition().GetUnit(), EHPerc);
    EXPECT_EQ(palette.GetLast()->GetPosition().GetUnit(), EHNone);
    EXPECT_EQ(Render(palette),
              (std::vector<std::string>{"0:000000", "0.25:0000FF", "0.5:0000FF", "1:FFFFFF"}));
}

TEST_F(PaletteFileTest, ReadsCrLfFiles)
{
    std::string text = Palette(Item("50 %", "0000FF", "FF0000", true));
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    WriteAll(dir.path / "w.cp1", crlf);
    TColorPalette1DItem palette(black, white);
    std::string message;
    ASSERT_TRUE(ReadPaletteFile(palette, Path("w.cp1"), message)) << message;
    EXPECT_EQ(Render(palette),
              (std::vector<std::string>{"0:000000", "0.5:0000FF/FF0000", "1:FFFFFF"}));
}

struct ReadFailure
{
    const char* name;
    std::string text; // the whole file; empty: no file at all
    std::string message;
    bool versionBox = false; // a file without "Version" 1.0 is reported before it is parsed
};

class PaletteReadFailureTest : public NoBoxes<::testing::TestWithParam<ReadFailure>>
{
};

TEST_P(PaletteReadFailureTest, FailsWithTheMessageAndKeepsTheOldPalette)
{
    const ReadFailure& c = GetParam();
    TempDir dir("palette-fail");
    std::string path = (dir.path / "f.cp1").string();
    if (!c.text.empty())
        WriteAll(path, c.text);
    TColorPalette1DItem palette =
        palettetest::Palette(0x010203, {{0.3, red, true, blue}}, 0x040506);
    const TColorPalette1DItem before(palette);
    const TColorPalette1DItem* firstStop = palette.GetNext();
    std::string message;
    if (c.versionBox)
        messages.Expect();
    EXPECT_FALSE(ReadPaletteFile(palette, path, message));
    EXPECT_EQ(message, c.message);
    if (c.versionBox) {
        EXPECT_TRUE(IsAssertionBox(OnlyBox(), "ColorPalette1D.cpp", "version == \"1.0\""));
    }
    EXPECT_TRUE(palette == before);
    EXPECT_EQ(palette.GetNext(), firstStop);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PaletteReadFailureTest,
    ::testing::Values(
        ReadFailure{"NoFile", "", "cannot open file."},
        ReadFailure{"GreaterThanInText", Palette("", "00>000"),
                    "unexpected '>' found in line 7, column 18."},
        ReadFailure{"BadBeginColor", Palette("", "00G000"),
                    "In BeginColor: Invalid Hexdecimal value: \"00G000\". At line 7, column 16."},
        ReadFailure{"BadEndColor", Palette(Item("50 %"), "000000", "white"),
                    "In EndColor: Invalid Hexdecimal value: \"white\". At line 13, column 14."},
        ReadFailure{"PositionZero", Palette(Item("0 %")),
                    "In Position: Value must be positive and more than 0. At line 9, column 16."},
        ReadFailure{"PositionOne", Palette(Item("100 %")),
                    "In Position: Value must be less than 1. At line 9, column 16."},
        ReadFailure{"PositionNoNumber", Palette(Item("half")),
                    "In Position: Input has no value. At line 9, column 16."},
        ReadFailure{"BadColorBefore", Palette(Item("50 %", "XYZ")),
                    "In ColorBefore: Invalid Hexdecimal value: \"XYZ\". At line 10, column 19."},
        ReadFailure{"BadColorAfter", Palette(Item("50 %", "0000FF", "12345G", true)),
                    "In ColorAfter: Invalid Hexdecimal value: \"12345G\". At line 12, column 18."},
        ReadFailure{"SamePositionTwice", Palette(Item("50 %") + Item("0.5")),
                    "In Position: This Position already exists in the pallette. At line 14, "
                    "column 16."},
        ReadFailure{"PositionsFalling", Palette(Item("60 %") + Item("0.4")),
                    "In Position: Positions should increase from stop to stop. At line 14, "
                    "column 16."},
        ReadFailure{"BadColourAfterGoodStops",
                    Palette(Item("20 %") + Item("40 %") + Item("60 %", "0000FF", "nope")),
                    "In ColorAfter: Invalid Hexdecimal value: \"nope\". At line 21, column 18."},
        ReadFailure{"NoEndColor",
                    fileHead + bodyHead + "    <BeginColor>000000</BeginColor>\n" + bodyTail,
                    "unexpected end of element \"ColorPalette1D\", expect begin of element "
                    "\"EndColor\". at line 8, column 19."},
        ReadFailure{"StopAfterEnd",
                    fileHead + bodyHead + "    <BeginColor>000000</BeginColor>\n" +
                        "    <EndColor>FFFFFF</EndColor>\n" + Item("50 %") + bodyTail,
                    "unexpected begin of element \"ColorPalette1DItem\", expect end of element "
                    "\"ColorPalette1D\", at line 9, column 24."},
        ReadFailure{"UseColorAfterWithText",
                    Palette("    <ColorPalette1DItem>\n      <Position>50 %</Position>\n"
                            "      <ColorBefore>0000FF</ColorBefore>\n"
                            "      <UseColorAfter>yes</UseColorAfter>\n"
                            "      <ColorAfter>0000FF</ColorAfter>\n    </ColorPalette1DItem>\n"),
                    "unexpected text \"yes\", expect end of element \"UseColorAfter\", at line "
                    "11, column 24."},
        ReadFailure{"WrongRoot",
                    fileHead + "<ColorPalette1D>\n  <BeginColor>0</BeginColor>\n"
                               "  <EndColor>0</EndColor>\n</ColorPalette1D>\n",
                    "unexpected begin of element \"ColorPalette1D\", expect begin of element "
                    "\"UnitColorPalette1D\", at line 4, column 16.",
                    true}),
    [](const ::testing::TestParamInfo<ReadFailure>& info) { return std::string(info.param.name); });

TEST_F(PaletteFileTest, OtherVersionIsReportedAndRead)
{
    std::string text = Palette(Item("50 %"));
    text.replace(text.find("1.0</Version>"), 3, "2.0");
    WriteAll(dir.path / "v.cp1", text);
    TColorPalette1DItem palette(white, black);
    std::string message;
    messages.Expect();
    messages.Expect();
    EXPECT_TRUE(ReadPaletteFile(palette, Path("v.cp1"), message));
    ASSERT_EQ(messages.Shown().size(), 2u);
    EXPECT_TRUE(IsAssertionBox(messages.Shown()[0], "ColorPalette1D.cpp", "version == \"1.0\""));
    EXPECT_TRUE(IsAssertionBox(messages.Shown()[1], "ColorPalette1D.cpp",
                               "xmlVersion->IsText() && xmlVersion->GetText() == \"1.0\""));
    EXPECT_EQ(Render(palette), (std::vector<std::string>{"0:000000", "0.5:0000FF", "1:FFFFFF"}));
}

TEST_F(PaletteFileTest, FailedSaveKeepsTheOldFile)
{
    const TColorPalette1DItem first = palettetest::Palette(black, {{0.5, red}}, white);
    ASSERT_TRUE(WritePaletteFile(first, Path("s.cp1")));
    const std::string old = ReadAll(dir.path / "s.cp1");
    const TColorPalette1DItem second =
        palettetest::Palette(white, {{0.25, green}, {0.75, blue}}, black);
    for (int64_t failAt : {int64_t{0}, int64_t{1}, int64_t{100}, int64_t{300}}) {
        SafeFileWriter::FailAfterBytes(failAt);
        messages.Clear();
        messages.Expect();
        bool ok = WritePaletteFile(second, Path("s.cp1"));
        SafeFileWriter::FailAfterBytes(-1);
        EXPECT_FALSE(ok) << failAt;
        ShownMessage box = OnlyBox();
        EXPECT_EQ(box.caption, "FileError");
        EXPECT_EQ(box.icon, MsgIcon::Information);
        EXPECT_EQ(box.text.rfind("Cannot save Color Palette File: ", 0), 0u) << box.text;
        EXPECT_EQ(box.text.back(), '.');
        EXPECT_EQ(ReadAll(dir.path / "s.cp1"), old) << failAt;
        EXPECT_EQ(dir.Count(), 1u) << failAt;
    }
    TColorPalette1DItem read(white, black);
    std::string message;
    ASSERT_TRUE(ReadPaletteFile(read, Path("s.cp1"), message)) << message;
    EXPECT_TRUE(read == first);
}

TEST_F(PaletteFileTest, UnwritableTargetIsReported)
{
    messages.Expect();
    EXPECT_FALSE(WritePaletteFile(TColorPalette1DItem(black, white), Path("no/such/dir/x.cp1")));
    EXPECT_EQ(OnlyBox().caption, "FileError");
    EXPECT_EQ(OnlyBox().text.rfind("Cannot save Color Palette File: ", 0), 0u);
}

TEST_F(PaletteFileTest, ChainOutOfOrderIsNotWritten)
{
    TColorPalette1DItem palette = palettetest::Palette(black, {{0.25, red}, {0.75, green}}, white);
    palette.GetNext()->GetPosition().SetValue(0.9); // changed without MoveToPlace
    messages.Expect();
    EXPECT_FALSE(WritePaletteFile(palette, Path("o.cp1")));
    EXPECT_EQ(OnlyBox().text, "Cannot save Color Palette File: the stops of the palette are not "
                              "in order from 0 to 1.");
    EXPECT_EQ(dir.Count(), 0u);
}

// The element embedded in another format's grammar, as the wave side file embeds it.
TEST_F(PaletteFileTest, ElementEmbedsInOtherGrammars)
{
    TDTDGrammar grammar;
    const TDTDCompound* view = grammar.Make<TDTDCompound>(
        "ViewVolume", grammar.Make<TDTDConcat>(grammar.Make<TDTDContentText>("Name"),
                                               CreateColorPalette1DGrammar(grammar)));
    TXMLComplexElement tree("ViewVolume");
    tree.AddText("Name", "cells");
    palettetest::Palette(black, {{0.5, red, true, blue}}, white)
        .AddToXML(*tree.AddComplex("ColorPalette1D"));
    std::string text;
    std::string error;
    ASSERT_TRUE(FormatXMLFile(tree, "", text, error)) << error;

    std::string version;
    auto tokens = TXMLToken::FromMemory(text, version);
    TXMLComplexElement root("Root");
    const TXMLToken* cursor = tokens.get();
    bool fatal = false;
    ASSERT_TRUE(view->Parse(root, cursor, error, fatal)) << error;
    TColorPalette1DItem read(white, black);
    int32_t line = 0;
    int32_t column = 0;
    const TXMLItem* element = root.GetFirstChild()->GetChild("ColorPalette1D");
    ASSERT_TRUE(ReadColorPalette1D(read, element, error, line, column)) << error;
    EXPECT_TRUE(read == palettetest::Palette(black, {{0.5, red, true, blue}}, white));
    EXPECT_EQ(&ColorPalette1DGrammar(), &ColorPalette1DGrammar());
    EXPECT_EQ(ColorPalette1DGrammar().GetName(), "ColorPalette1D");
    EXPECT_EQ(PaletteFileGrammar().GetName(), "UnitColorPalette1D");
}

// Trees that no grammar checked: the reader reports instead of trusting them.
TEST_F(PaletteFileTest, UncheckedTreesAreRefused)
{
    struct Case
    {
        const char* name;
        void (*build)(TXMLComplexElement&);
        std::string message;
        const char* condition;
    };
    const Case cases[] = {
        {"Empty", [](TXMLComplexElement&) {}, "In ColorPalette1D: element \"BeginColor\" expected.",
         "xmlBeginColor != NULL"},
        {"NoEnd", [](TXMLComplexElement& p) { p.AddText("BeginColor", "000000"); },
         "In ColorPalette1D: element \"EndColor\" expected.", nullptr},
        {"ItemWithoutColorAfter",
         [](TXMLComplexElement& p) {
             p.AddText("BeginColor", "000000");
             TXMLComplexElement* item = p.AddComplex("ColorPalette1DItem");
             item->AddText("Position", "0.5");
             item->AddText("ColorBefore", "000000");
             p.AddText("EndColor", "000000");
         },
         "In ColorPalette1D: element \"ColorAfter\" expected.", "IsElement(child, \"ColorAfter\")"},
    };
    for (const Case& c : cases) {
        TXMLComplexElement element("ColorPalette1D");
        c.build(element);
        TColorPalette1DItem palette = palettetest::Palette(black, {{0.5, red}}, white);
        const TColorPalette1DItem before(palette);
        messages.Clear();
        if (c.condition)
            messages.Expect();
        std::string message;
        int32_t line = -1;
        int32_t column = -1;
        EXPECT_FALSE(ReadColorPalette1D(palette, &element, message, line, column)) << c.name;
        EXPECT_EQ(message, c.message) << c.name;
        if (c.condition) {
            EXPECT_TRUE(IsAssertionBox(OnlyBox(), "ColorPalette1D.cpp", c.condition)) << c.name;
        }
        EXPECT_TRUE(palette == before) << c.name;
    }
}

} // namespace
