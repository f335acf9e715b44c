#include "general/palette/ColorPalette1D.h"

#include "general/files/SafeFile.h"
#include "general/numeric/NumericHelpers.h"
#include "general/values/NoBoxes.h"
#include "general/xml/XMLGrammar.h"
#include "general/xml/XMLWriter.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

using namespace kelvorn;
using kelvorn::test::ReadAll;
using kelvorn::test::WriteAll;

namespace {

constexpr int32_t black = 0x000000, white = 0xFFFFFF, red = 0x0000FF, green = 0x00FF00,
                  blue = 0xFF0000;
const char* const unitFile = "ColorPalette1D.cpp";

struct Stop
{
    double position;
    int32_t before;
    bool useAfter = false;
    int32_t after = 0;
};

/// A palette from begin to end with the given inner stops, inserted in the order given.
TColorPalette1DItem Palette(int32_t begin, const std::vector<Stop>& inner, int32_t end)
{
    TColorPalette1DItem head(begin, end);
    for (const Stop& s : inner) {
        TColorPalette1DItem* item = head.Insert(s.position, s.before);
        if (item && s.useAfter) {
            item->SetUseColorAfter(true);
            item->SetColorAfter(s.after);
        }
    }
    return head;
}

/// Each stop as "position:BBGGRR", with "/BBGGRR" for a colour after it in use.
std::string Render(const TColorPalette1DItem& head)
{
    std::string out;
    char buffer[64];
    for (const TColorPalette1DItem* s = &head; s; s = s->GetNext()) {
        std::snprintf(buffer, sizeof(buffer), " %g:%06X", s->GetDPosition(),
                      static_cast<unsigned>(s->GetColorBefore()));
        out += buffer;
        if (s->GetUseColorAfter()) {
            std::snprintf(buffer, sizeof(buffer), "/%06X",
                          static_cast<unsigned>(s->GetColorAfter()));
            out += buffer;
        }
    }
    return out.substr(1);
}

using PaletteTest = kelvorn::testing::NoBoxes<>;

TEST_F(PaletteTest, GetColorBlendsBetweenStopsAndTakesTheArrivingColourAtAStop)
{
    // Black to white, and one with a stop at 0.5 that arrives red and leaves blue.
    TColorPalette1DItem plain(black, white);
    TColorPalette1DItem jump = Palette(black, {{0.5, red, true, blue}}, white);
    // clang-format off
    const std::tuple<const TColorPalette1DItem*, double, int32_t> cases[] = {
        {&plain, 0.0, black}, {&plain, -0.3, black}, {&plain, -1e300, black},
        {&plain, 0.5, 0x7F7F7F}, {&plain, 0.25, 0x3F3F3F}, {&plain, 1.0, white},
        {&plain, NAN, black}, {&jump, 0.5, red}, {&jump, 0.5 - 1.0 / 1024, 0x0000FE},
        {&jump, 0.5 + 1.0 / 1024, blue}, {&jump, 0.25, 0x00007F}, {&jump, 0.75, 0xFF7F7F},
        {&jump, 1.0, white}};
    // clang-format on
    for (const auto& [palette, position, colour] : cases)
        EXPECT_EQ(palette->GetColor(position), colour) << position;
    EXPECT_EQ(plain.GetColor(1.5), white);
    EXPECT_TRUE(Asserted(unitFile, {"NextColorPalette1DItem != NULL"}));

    // Stops at one position never blend by zero: an inner stop moved onto the head's position
    // without re-linking, and two inner stops at 0.5.
    TColorPalette1DItem moved = Palette(blue, {{0.5, red}}, white);
    moved.GetNext()->GetPosition().SetValue(0.0);
    EXPECT_EQ(moved.GetColor(0.0), red);
    EXPECT_EQ(moved.GetColor(-2.0), red);
    EXPECT_EQ(moved.GetColor(0.5), BlendColor(red, white, 0.5));
    TColorPalette1DItem twins = Palette(black, {{0.5, red}, {0.5, green, true, blue}}, white);
    EXPECT_EQ(Render(twins), "0:000000 0.5:0000FF 0.5:00FF00/FF0000 1:FFFFFF");
    EXPECT_EQ(twins.GetColor(0.5), red);
    EXPECT_EQ(twins.GetColor(0.75), BlendColor(blue, white, 0.5));
    EXPECT_FALSE(twins.IsConsistent());
}

TEST_F(PaletteTest, InsertKeepsPositionOrderAndRefusesTheEnds)
{
    // Falling positions are the million-stop test's; here they come in mixed order.
    TColorPalette1DItem palette(black, white);
    for (double p : {0.6, 0.2, 0.8, 0.4}) {
        TColorPalette1DItem* item = palette.Insert(p, static_cast<int32_t>(p * 10));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(std::pair(item->GetDPosition(), item->GetPosition().GetUnit()),
                  std::pair(p, EHPerc));
    }
    EXPECT_EQ(Render(palette), "0:000000 0.2:000002 0.4:000004 0.6:000006 0.8:000008 1:FFFFFF");
    EXPECT_TRUE(palette.IsConsistent());
    TColorPalette1DItem ends(black, white);
    for (double position : {0.0, static_cast<double>(NAN), 1.0})
        EXPECT_EQ(ends.Insert(position, red), nullptr) << position;
    EXPECT_TRUE(Asserted(unitFile, {"position > Position.GetValue()",
                                    "position > Position.GetValue()", "position < 1"}));
    EXPECT_EQ(Render(ends), "0:000000 1:FFFFFF");
}

TEST_F(PaletteTest, MoveToPlaceRelinksInPositionOrder)
{
    // Stops at 0.2, 0.4, 0.6 and 0.8 coloured 2, 4, 6 and 8; the stop at index is moved.
    // clang-format off
    const std::tuple<int, double, std::string> cases[] = {
        {2, 0.45, "0:000000 0.2:000002 0.45:000004 0.6:000006 0.8:000008 1:FFFFFF"},
        {3, 0.3, "0:000000 0.2:000002 0.3:000006 0.4:000004 0.8:000008 1:FFFFFF"},
        {4, 0.1, "0:000000 0.1:000008 0.2:000002 0.4:000004 0.6:000006 1:FFFFFF"},
        {1, 0.5, "0:000000 0.4:000004 0.5:000002 0.6:000006 0.8:000008 1:FFFFFF"},
        {1, 0.9, "0:000000 0.4:000004 0.6:000006 0.8:000008 0.9:000002 1:FFFFFF"}};
    // clang-format on
    for (const auto& [index, position, expected] : cases) {
        TColorPalette1DItem palette =
            Palette(black, {{0.2, 2}, {0.4, 4}, {0.6, 6}, {0.8, 8}}, white);
        TColorPalette1DItem* previous = &palette;
        for (int i = 1; i < index; ++i)
            previous = previous->GetNext();
        TColorPalette1DItem* moved = previous->GetNext();
        moved->GetPosition().SetValue(position);
        palette.MoveToPlace(moved, previous);
        EXPECT_EQ(Render(palette), expected);
        EXPECT_TRUE(palette.IsConsistent());
        EXPECT_EQ(palette.GetPrevious(moved)->GetNext(), moved);
    }

    // The ends stay; a stop given a position outside the palette is not moved beyond an end; a
    // wrong previous stop is reported and the true one found.
    TColorPalette1DItem palette = Palette(black, {{0.2, 2}, {0.4, 4}}, white);
    const std::string ends = "item != NULL && item != this && item->GetNext() != NULL";
    palette.MoveToPlace(&palette, nullptr);
    palette.MoveToPlace(palette.GetLast(), palette.GetPrevious(palette.GetLast()));
    EXPECT_TRUE(Asserted(unitFile, {ends, ends}));
    TColorPalette1DItem* inner = palette.GetNext();
    inner->GetPosition().SetValue(1.5);
    palette.MoveToPlace(inner, &palette);
    EXPECT_TRUE(Asserted(unitFile, {"item->GetDPosition() > 0 && item->GetDPosition() < 1"}));
    EXPECT_EQ(palette.GetNext(), inner);
    inner->GetPosition().SetValue(0.2);
    inner->GetNext()->GetPosition().SetValue(0.1);
    palette.MoveToPlace(inner->GetNext(), &palette);
    EXPECT_TRUE(Asserted(unitFile, {"previous != NULL && previous->next.get() == item"}));
    EXPECT_EQ(Render(palette), "0:000000 0.1:000004 0.2:000002 1:FFFFFF");
}

TEST_F(PaletteTest, DeleteInnerReturnsTheStopBeforeAndRefusesTheEnds)
{
    TColorPalette1DItem palette = Palette(black, {{0.2, 2}, {0.4, 4}, {0.6, 6}}, white);
    EXPECT_EQ(palette.DeleteInner(palette.GetNext()->GetNext()), palette.GetNext());
    EXPECT_EQ(Render(palette), "0:000000 0.2:000002 0.6:000006 1:FFFFFF");
    EXPECT_EQ(palette.DeleteInner(palette.GetNext()), &palette);
    TColorPalette1DItem other = Palette(black, {{0.5, red}}, white);
    const std::string ends = "current->GetDPosition() > 0 && current->GetDPosition() < 1";
    for (auto [stop, condition] : {std::pair<TColorPalette1DItem*, std::string>{&palette, ends},
                                   {palette.GetLast(), ends},
                                   {other.GetNext(), "prevItem"},
                                   {nullptr, "current != NULL"}}) {
        EXPECT_EQ(palette.DeleteInner(stop), stop);
        EXPECT_TRUE(Asserted(unitFile, {condition}));
    }
    // An inner position on the end stop of a broken chain: it must not lose its end.
    palette.GetLast()->GetPosition().SetValue(0.9);
    EXPECT_EQ(palette.DeleteInner(palette.GetLast()), palette.GetLast());
    EXPECT_TRUE(Asserted(unitFile, {"nextItem"}));
    palette.GetLast()->GetPosition().SetValue(1.0);
    EXPECT_EQ(Render(palette), "0:000000 0.6:000006 1:FFFFFF");
    EXPECT_EQ(Render(other), "0:000000 0.5:0000FF 1:FFFFFF");
}

TEST_F(PaletteTest, QueriesCopiesAndComparison)
{
    TColorPalette1DItem palette = Palette(black, {{0.25, red}, {0.75, green}}, white);
    TColorPalette1DItem* first = palette.GetNext();
    EXPECT_EQ(first->GetLeavingColor(), red);
    palette.SetColorAfter(red); // without the flag: reported and still set
    EXPECT_TRUE(Asserted(unitFile, {"UseColorAfter"}));
    EXPECT_EQ(palette.GetColorAfter(), red);
    EXPECT_EQ(palette.GetLeavingColor(), black);

    const TColorPalette1DItem base = Palette(black, {{0.5, red, true, blue}}, white);
    using Change = void (*)(TColorPalette1DItem&);
    for (Change change : std::vector<Change>{
             [](TColorPalette1DItem& p) { p.GetNext()->SetColorBefore(green); },
             [](TColorPalette1DItem& p) { p.GetNext()->SetColorAfter(green); },
             [](TColorPalette1DItem& p) { p.GetNext()->SetUseColorAfter(false); },
             [](TColorPalette1DItem& p) { p.GetNext()->GetPosition().SetValue(0.4); },
             [](TColorPalette1DItem& p) { p.GetLast()->SetColorBefore(green); },
             [](TColorPalette1DItem& p) { p.Insert(0.7, red); },
             [](TColorPalette1DItem& p) { p.DeleteInner(p.GetNext()); }}) {
        TColorPalette1DItem changed(base);
        EXPECT_TRUE(changed == base);
        EXPECT_NE(changed.GetNext(), base.GetNext());
        change(changed);
        EXPECT_FALSE(changed == base) << Render(changed);
        EXPECT_FALSE(base == changed) << Render(changed);
    }
    TColorPalette1DItem shown(base); // the unit a position is shown in is not compared
    shown.GetNext()->GetPosition().SetUnit(EHNone);
    EXPECT_TRUE(shown == base);

    // Assigning to an inner stop takes colours and following stops, not the position.
    TColorPalette1DItem target = Palette(white, {{0.3, green}}, black);
    *target.GetNext() = base;
    EXPECT_EQ(Render(target), "0:FFFFFF 0.3:000000 0.5:0000FF/FF0000 1:FFFFFF");
    TColorPalette1DItem chain = Palette(black, {{0.5, red}}, white);
    chain = *chain.GetNext(); // from a stop of its own chain, then onto itself
    TColorPalette1DItem& alias = chain;
    chain = alias;
    EXPECT_EQ(Render(chain), "0:0000FF 1:FFFFFF");

    TColorPalette1DItem colours = Palette(0x102030, {{0.5, 0x405060, true, 0x708090}}, 0xA0B0C0);
    colours.BlendColors(red, 1.0);
    EXPECT_EQ(Render(colours), "0:102030 0.5:405060/708090 1:A0B0C0");
    colours.BlendColors(0x000000, 0.5);
    EXPECT_EQ(Render(colours), "0:081018 0.5:202830/384048 1:505860");
    colours.BlendColors(red, 0.0);
    EXPECT_EQ(Render(colours), "0:0000FF 0.5:0000FF/0000FF 1:0000FF");
    EXPECT_EQ(colours.GetColorAfter(), red);
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
    EXPECT_EQ(copy.GetPrevious(copy.GetLast())->GetColorBefore(), count & 0xFFFFFF);
    TColorPalette1DItem assigned(black, white);
    assigned = palette;
    EXPECT_TRUE(assigned == palette);
}

// ---- the palette file ---------------------------------------------------------------------------

const std::string fileHead = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                             "<!DOCTYPE UnitColorPalette1D SYSTEM \"UnitColorPalette1D.dtd\">\n\n"
                             "<UnitColorPalette1D>\n  <Version>1.0</Version>\n"
                             "  <ColorPalette1D>\n"; // a case's lines start at line 7
const std::string fileTail = "  </ColorPalette1D>\n</UnitColorPalette1D>\n";

std::string Item(const std::string& position, const std::string& before = "0000FF",
                 const std::string& after = "0000FF", bool useAfter = false)
{
    return "    <ColorPalette1DItem>\n      <Position>" + position +
           "</Position>\n      <ColorBefore>" + before + "</ColorBefore>\n" +
           (useAfter ? "      <UseColorAfter />\n" : "") + "      <ColorAfter>" + after +
           "</ColorAfter>\n    </ColorPalette1DItem>\n";
}

std::string File(const std::string& inner, const std::string& begin = "000000",
                 const std::string& end = "FFFFFF")
{
    return fileHead + "    <BeginColor>" + begin + "</BeginColor>\n" + inner + "    <EndColor>" +
           end + "</EndColor>\n" + fileTail;
}

class PaletteFile : public PaletteTest
{
protected:
    void TearDown() override
    {
        SafeFileWriter::FailAfterBytes(-1);
        PaletteTest::TearDown();
    }
    test::TempDir dir{"palette"};
    std::string path = (dir / "a.cp1").string();
    std::string message;
};

TEST_F(PaletteFile, WritesByteForByteAndReadsBack)
{
    ASSERT_TRUE(
        WritePaletteFile(Palette(black, {{0.25, red, true, blue}, {0.625, green}}, white), path));
    EXPECT_EQ(ReadAll(path),
              File(Item("25 %", "0000FF", "FF0000", true) + Item("62.5 %", "00FF00", "00FF00")));
    EXPECT_EQ(dir.Count(), 1u);

    // clang-format off
    const TColorPalette1DItem palettes[] = {
        TColorPalette1DItem(black, white), Palette(0x123456, {{0.5, red, true, blue}}, 0xABCDEF),
        Palette(black, {{0.125, 1}, {0.25, 2, true, 3}, {0.3, 4}, {0.875, 5}}, white),
        // Shown digits that read back a hair off (99.9 / 100 is not the double nearest 0.999),
        // and positions whose shown digits would read back equal: the writer keeps them apart.
        Palette(black, {{0.123456789012345, red}, {0.1234567890123451, green}, {0.999, blue}},
                white)};
    // clang-format on
    for (const TColorPalette1DItem& original : palettes) {
        ASSERT_TRUE(WritePaletteFile(original, path));
        const std::string written = ReadAll(path);
        TColorPalette1DItem read(white, black);
        ASSERT_TRUE(ReadPaletteFile(read, path, message)) << message;
        EXPECT_TRUE(read.IsConsistent());
        EXPECT_TRUE(read == original) << Render(read);
        ASSERT_TRUE(WritePaletteFile(read, path));
        EXPECT_EQ(ReadAll(path), written);
    }

    // Stops keep the unit of their text; CR LF files read like LF files.
    WriteAll(path, test::WithCrLf(File(Item("0.25") + Item("50 %", "0000FF", "FF0000", true))));
    TColorPalette1DItem read(white, black);
    ASSERT_TRUE(ReadPaletteFile(read, path, message)) << message;
    EXPECT_EQ(Render(read), "0:000000 0.25:0000FF 0.5:0000FF/FF0000 1:FFFFFF");
    EXPECT_EQ(read.GetNext()->GetPosition().GetUnit(), EHNone);
    EXPECT_EQ(read.GetNext()->GetNext()->GetPosition().GetUnit(), EHPerc);
}

TEST_F(PaletteFile, AFailedReadGivesThePlaceAndKeepsTheOldPalette)
{
    auto hex = [](std::string field, std::string text, int line, int column) {
        return "In " + field + ": Invalid Hexdecimal value: \"" + text + "\". At line " +
               std::to_string(line) + ", column " + std::to_string(column) + ".";
    };
    const std::string position = "In Position: ", at9 = " At line 9, column 16.",
                      at14 = " At line 14, column 16.";
    // clang-format off
    const std::tuple<std::string, std::string> cases[] = {
        {"", "cannot open file."},
        {File("", "00>000"), "unexpected '>' found in line 7, column 18."},
        {File("", "00G000"), hex("BeginColor", "00G000", 7, 16)},
        {File(Item("50 %"), "000000", "white"), hex("EndColor", "white", 13, 14)},
        {File(Item("0 %")), position + "Value must be positive and more than 0." + at9},
        {File(Item("100 %")), position + "Value must be less than 1." + at9},
        {File(Item("half")), position + "Input has no value." + at9},
        {File(Item("50 %", "XYZ")), hex("ColorBefore", "XYZ", 10, 19)},
        {File(Item("50 %", "0000FF", "12345G", true)), hex("ColorAfter", "12345G", 12, 18)},
        {File(Item("50 %") + Item("0.5")),
         position + "This Position already exists in the pallette." + at14},
        {File(Item("60 %") + Item("0.4")),
         position + "Positions should increase from stop to stop." + at14},
        {File(Item("20 %") + Item("40 %") + Item("60 %", "0000FF", "nope")),
         hex("ColorAfter", "nope", 21, 18)},
        {fileHead + "    <BeginColor>000000</BeginColor>\n" + fileTail,
         "unexpected end of element \"ColorPalette1D\", expect begin of element \"EndColor\". at "
         "line 8, column 19."},
        {File("", "000000", "FFFFFF</EndColor>\n" + Item("50 %") + "<EndColor>0"),
         "unexpected begin of element \"ColorPalette1DItem\", expect end of element "
         "\"ColorPalette1D\", at line 9, column 24."},
        {File("    <ColorPalette1DItem>\n      <Position>50 %</Position>\n"
              "      <ColorBefore>0000FF</ColorBefore>\n"
              "      <UseColorAfter>yes</UseColorAfter>\n"),
         "unexpected text \"yes\", expect end of element \"UseColorAfter\", at line 11, column "
         "24."}};
    // clang-format on
    for (const auto& [text, expected] : cases) {
        std::filesystem::remove(path);
        if (!text.empty())
            WriteAll(path, text);
        TColorPalette1DItem palette = Palette(0x010203, {{0.3, red, true, blue}}, 0x040506);
        const TColorPalette1DItem before(palette);
        const TColorPalette1DItem* firstStop = palette.GetNext();
        EXPECT_FALSE(ReadPaletteFile(palette, path, message));
        EXPECT_EQ(message, expected);
        EXPECT_TRUE(palette == before);
        EXPECT_EQ(palette.GetNext(), firstStop);
    }

    // Another version is reported before it is parsed, and read.
    std::string other = File(Item("50 %"));
    WriteAll(path, other.replace(other.find("1.0</Version>"), 3, "2.0"));
    TColorPalette1DItem palette(white, black);
    EXPECT_TRUE(ReadPaletteFile(palette, path, message));
    EXPECT_TRUE(Asserted(unitFile, {"version == \"1.0\"",
                                    "xmlVersion->IsText() && xmlVersion->GetText() == \"1.0\""}));
    EXPECT_EQ(Render(palette), "0:000000 0.5:0000FF 1:FFFFFF");
    WriteAll(path, fileHead.substr(0, fileHead.find("<Unit")) +
                       "<ColorPalette1D>\n  <BeginColor>0</BeginColor>\n"
                       "  <EndColor>0</EndColor>\n</ColorPalette1D>\n");
    EXPECT_FALSE(ReadPaletteFile(palette, path, message));
    EXPECT_TRUE(Asserted(unitFile, {"version == \"1.0\""}));
    EXPECT_EQ(message, "unexpected begin of element \"ColorPalette1D\", expect begin of element "
                       "\"UnitColorPalette1D\", at line 4, column 16.");
}

TEST_F(PaletteFile, AFailedSaveKeepsTheOldFileAndSaysSo)
{
    const TColorPalette1DItem first = Palette(black, {{0.5, red}}, white);
    ASSERT_TRUE(WritePaletteFile(first, path));
    const std::string old = ReadAll(path), cannot = "Cannot save Color Palette File: ";
    auto failedSave = [&](const TColorPalette1DItem& palette, const std::string& target) {
        messages.Clear();
        messages.Expect();
        EXPECT_FALSE(WritePaletteFile(palette, target));
        EXPECT_EQ(std::tuple(OnlyBox().caption, OnlyBox().icon, ReadAll(path), dir.Count()),
                  std::tuple("FileError", MsgIcon::Information, old, 1u));
        return OnlyBox().text;
    };
    const TColorPalette1DItem second = Palette(white, {{0.25, green}, {0.75, blue}}, black);
    for (int64_t failAt : {0, 1, 300}) {
        SafeFileWriter::FailAfterBytes(failAt);
        EXPECT_EQ(failedSave(second, path), // both full stops
                  cannot + "Operating System cannot write file, maybe the disk is full (No space "
                           "left on device)..")
            << failAt;
    }
    SafeFileWriter::FailAfterBytes(-1);
    EXPECT_EQ(failedSave(first, (dir / "no" / "x.cp1").string()).rfind(cannot + "Operating", 0),
              0u);
    TColorPalette1DItem unordered = Palette(black, {{0.25, red}, {0.75, green}}, white);
    unordered.GetNext()->GetPosition().SetValue(0.9); // changed without MoveToPlace
    EXPECT_EQ(failedSave(unordered, path),
              cannot + "the stops of the palette are not in order from 0 to 1.");
}

// Trees that no grammar checked: the reader reports instead of trusting them.
TEST_F(PaletteFile, UncheckedTreesAreRefused)
{
    EXPECT_EQ(ColorPalette1DGrammar().GetName(), "ColorPalette1D");
    EXPECT_EQ(PaletteFileGrammar().GetName(), "UnitColorPalette1D");
    const TColorPalette1DItem original = Palette(black, {{0.5, red, true, blue}}, white);
    TColorPalette1DItem read(original);
    int32_t line = 0;
    int32_t column = 0;
    // clang-format off
    const std::tuple<void (*)(TXMLComplexElement&), std::string, const char*> cases[] = {
        {[](TXMLComplexElement&) {}, "BeginColor", "xmlBeginColor != NULL"},
        {[](TXMLComplexElement& p) { p.AddText("BeginColor", "000000"); }, "EndColor", nullptr},
        {[](TXMLComplexElement& p) {
             p.AddText("BeginColor", "000000");
             TXMLComplexElement* item = p.AddComplex("ColorPalette1DItem");
             item->AddText("Position", "0.5");
             item->AddText("ColorBefore", "000000");
             p.AddText("EndColor", "000000");
         },
         "ColorAfter", "IsElement(child, \"ColorAfter\")"}};
    // clang-format on
    for (const auto& [build, missing, condition] : cases) {
        TXMLComplexElement unchecked("ColorPalette1D");
        build(unchecked);
        EXPECT_FALSE(ReadColorPalette1D(read, &unchecked, message, line, column));
        EXPECT_EQ(message, "In ColorPalette1D: element \"" + missing + "\" expected.");
        EXPECT_TRUE(Asserted(unitFile, condition ? std::vector<std::string>{condition}
                                                 : std::vector<std::string>{}));
        EXPECT_TRUE(read == original);
    }
}

} // namespace
