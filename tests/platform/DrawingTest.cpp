#include "platform/Shapes.h"
#include "platform/test/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kelvorn;

namespace {

// Each shade truncates each byte: 0xFF, 0x80, 0x01 times 0.75 and 0.5.
constexpr uint32_t Colour = 0x00FF8001;
const std::string C = "0x00FF8001";
const std::string C75 = "0x00BF6000";
const std::string C50 = "0x007F4000";
const std::string O = " pen " + C75 + " 1 brush " + C;

TEST(Shapes, DrawTheGeometryInTheShadesWhateverThePenAndBrushWere)
{
    RecordingCanvas c;
    auto dirty = [&c] {
        c.SetPenWidth(5);
        c.SetPenColor(0x123456);
        c.SetBrushColor(0x654321);
        c.SetBrushStyle(BrushStyle::Clear);
    };
    for (bool selected : {false, true}) {
        dirty();
        DrawEllipse(c, {10, 10, 30, 20}, Colour, selected);
        dirty();
        DrawFramedRect(c, {10, 10, 30, 20}, Colour, selected);
        for (int direction : {1, 2}) {
            dirty();
            DrawTriangle(c, 30, 20, 8, Colour, selected, direction);
            dirty();
            DrawChord(c, 30, 20, 10, Colour, selected, direction);
        }
    }
    dirty();
    Draw3DRect(c, {10, 20, 50, 40}, Colour);
    EXPECT_EQ(
        c.Calls(),
        (std::vector<std::string>{
            "Ellipse 10 10 30 20" + O, "FillRect 10 10 30 20 brush " + C,
            "FrameRect 10 10 30 20 brush " + C75, "Polygon 22 20 38 12 38 28" + O,
            "Chord 22 10 42 30 32 10 32 30" + O, "Polygon 38 20 22 12 22 28" + O,
            "Chord 20 10 40 30 30 30 30 10" + O,
            // Selected: a grown outline under the shape.
            "Ellipse 8 8 32 22" + O, "Ellipse 10 10 30 20" + O, "FillRect 8 8 32 22 brush " + C,
            "FrameRect 8 8 32 22 brush " + C75, "FrameRect 10 10 30 20 brush " + C75,
            "Polygon 18 20 40 9 40 31" + O, "Polygon 22 20 38 12 38 28" + O,
            "Chord 19 7 45 33 32 7 32 33" + O, "Chord 22 10 42 30 32 10 32 30" + O,
            "Polygon 42 20 20 9 20 31" + O, "Polygon 38 20 22 12 22 28" + O,
            "Chord 17 7 43 33 30 33 30 7" + O, "Chord 20 10 40 30 30 30 30 10" + O,
            // Raised: lit top and left, shaded bottom and right.
            "FillRect 10 20 50 40 brush " + C75, "Line 10 40 10 20 pen " + C + " 1",
            "Line 10 20 50 20 pen " + C + " 1", "Line 50 20 50 40 pen " + C50 + " 1",
            "Line 50 40 10 40 pen " + C50 + " 1"}));
}

TEST(Canvas, FontPointsToPixelsRounded)
{
    const int rows[][2] = {{0, 0},   {7, 9},   {8, 11},   {9, 12},   {10, 13},
                           {12, 16}, {72, 96}, {-8, -11}, {-10, -13}};
    for (const auto& row : rows)
        EXPECT_EQ(FontPixelsFromPoints(row[0]), row[1]) << row[0];
}

} // namespace
