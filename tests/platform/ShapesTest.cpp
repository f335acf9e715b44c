#include "platform/Shapes.h"
#include "platform/test/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace kelvorn;

namespace {

// 0x00C08040 and its darker shades, byte by byte truncated: 0x40, 0x80, 0xC0 times 0.75 and 0.5.
constexpr uint32_t Colour = 0x00C08040;
const std::string C = "0x00C08040";
const std::string C75 = "0x00906030";
const std::string C50 = "0x00604020";
const std::string Outlined = " pen " + C75 + " 1 brush " + C;

struct ShapeCase
{
    const char* name;
    std::function<void(Canvas&)> draw;
    std::vector<std::string> calls;
};

void PrintTo(const ShapeCase& c, std::ostream* os)
{
    *os << c.name;
}

class ShapeCases : public ::testing::TestWithParam<ShapeCase>
{
};

} // namespace

TEST_P(ShapeCases, DrawsTheGeometryInTheShades)
{
    RecordingCanvas canvas;
    GetParam().draw(canvas);
    EXPECT_EQ(canvas.Calls(), GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ShapeCases,
    ::testing::Values(
        ShapeCase{"Raised",
                  [](Canvas& c) {
                      Draw3DRect(c, {10, 20, 50, 40}, Colour);
                  },
                  {"FillRect 10 20 50 40 brush " + C75, "Line 10 40 10 20 pen " + C + " 1",
                   "Line 10 20 50 20 pen " + C + " 1", "Line 50 20 50 40 pen " + C50 + " 1",
                   "Line 50 40 10 40 pen " + C50 + " 1"}},
        ShapeCase{"Ellipse",
                  [](Canvas& c) {
                      DrawEllipse(c, {10, 10, 30, 20}, Colour, false);
                  },
                  {"Ellipse 10 10 30 20" + Outlined}},
        ShapeCase{"EllipseSelected",
                  [](Canvas& c) {
                      DrawEllipse(c, {10, 10, 30, 20}, Colour, true);
                  },
                  {"Ellipse 8 8 32 22" + Outlined, "Ellipse 10 10 30 20" + Outlined}},
        ShapeCase{"FramedRect",
                  [](Canvas& c) {
                      DrawFramedRect(c, {10, 10, 30, 20}, Colour, false);
                  },
                  {"FillRect 10 10 30 20 brush " + C, "FrameRect 10 10 30 20 brush " + C75}},
        ShapeCase{"FramedRectSelected",
                  [](Canvas& c) {
                      DrawFramedRect(c, {10, 10, 30, 20}, Colour, true);
                  },
                  {"FillRect 8 8 32 22 brush " + C, "FrameRect 8 8 32 22 brush " + C75,
                   "FrameRect 10 10 30 20 brush " + C75}},
        ShapeCase{"TriangleLeft",
                  [](Canvas& c) { DrawTriangle(c, 30, 20, 8, Colour, false, 1); },
                  {"Polygon 22 20 38 12 38 28" + Outlined}},
        ShapeCase{"TriangleRight",
                  [](Canvas& c) { DrawTriangle(c, 30, 20, 8, Colour, false, 2); },
                  {"Polygon 38 20 22 12 22 28" + Outlined}},
        ShapeCase{"TriangleLeftSelected",
                  [](Canvas& c) { DrawTriangle(c, 30, 20, 8, Colour, true, 1); },
                  {"Polygon 18 20 40 9 40 31" + Outlined, "Polygon 22 20 38 12 38 28" + Outlined}},
        ShapeCase{"TriangleRightSelected",
                  [](Canvas& c) { DrawTriangle(c, 30, 20, 8, Colour, true, 2); },
                  {"Polygon 42 20 20 9 20 31" + Outlined, "Polygon 38 20 22 12 22 28" + Outlined}},
        ShapeCase{"ChordLeft",
                  [](Canvas& c) { DrawChord(c, 30, 20, 10, Colour, false, 1); },
                  {"Chord 22 10 42 30 32 10 32 30" + Outlined}},
        ShapeCase{"ChordRight",
                  [](Canvas& c) { DrawChord(c, 30, 20, 10, Colour, false, 2); },
                  {"Chord 20 10 40 30 30 30 30 10" + Outlined}},
        ShapeCase{
            "ChordLeftSelected",
            [](Canvas& c) { DrawChord(c, 30, 20, 10, Colour, true, 1); },
            {"Chord 19 7 45 33 32 7 32 33" + Outlined, "Chord 22 10 42 30 32 10 32 30" + Outlined}},
        ShapeCase{"ChordRightSelected",
                  [](Canvas& c) { DrawChord(c, 30, 20, 10, Colour, true, 2); },
                  {"Chord 17 7 43 33 30 33 30 7" + Outlined,
                   "Chord 20 10 40 30 30 30 30 10" + Outlined}}),
    [](const ::testing::TestParamInfo<ShapeCase>& info) { return std::string(info.param.name); });

TEST(Shapes, ShadesTruncateEachByte)
{
    // 255 * 0.75 = 191.25 and 255 * 0.5 = 127.5; 1 * 0.75 and 1 * 0.5 truncate to 0.
    RecordingCanvas canvas;
    Draw3DRect(canvas, {0, 0, 4, 4}, 0x00FF01FF);
    ASSERT_EQ(canvas.Calls().size(), 5u);
    EXPECT_EQ(canvas.Calls()[0], "FillRect 0 0 4 4 brush 0x00BF00BF");
    EXPECT_EQ(canvas.Calls()[3], "Line 4 0 4 4 pen 0x007F007F 1");
}

TEST(Shapes, OutlinesAreOnePixelWideWhateverThePenWas)
{
    RecordingCanvas canvas;
    canvas.SetPenWidth(5);
    canvas.SetBrushStyle(BrushStyle::Clear);
    DrawEllipse(canvas, {0, 0, 10, 10}, 0xFFFFFF, false);
    DrawFramedRect(canvas, {0, 0, 10, 10}, 0xFFFFFF, false);
    canvas.SetPenWidth(5);
    Draw3DRect(canvas, {0, 0, 10, 10}, 0xFFFFFF);
    for (const std::string& call : canvas.Calls())
        EXPECT_EQ(call.find("clear"), std::string::npos) << call;
    EXPECT_EQ(canvas.Calls()[0], "Ellipse 0 0 10 10 pen 0x00BFBFBF 1 brush 0x00FFFFFF");
    EXPECT_EQ(canvas.CallsOf("Line")[0], "Line 0 10 0 0 pen 0x00FFFFFF 1");
}

TEST(Canvas, FontPointsToPixels)
{
    struct Case
    {
        int points;
        int pixels;
    };
    for (Case c : {Case{0, 0}, Case{7, 9}, Case{8, 11}, Case{9, 12}, Case{10, 13}, Case{12, 16},
                   Case{72, 96}, Case{-10, -13}})
        EXPECT_EQ(FontPixelsFromPoints(c.points), c.pixels) << c.points;
}
