// The glyphs' rectangles, colours and advances on a recording canvas.

#include "music/ui/Glyphs.h"
#include "platform/test/RecordingCanvas.h"
#include "support/MusicKit.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace kelvorn
