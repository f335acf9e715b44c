// Nodes of the user drawing on the pane: the small ellipse around the node's pixel, its centre
// in the pen colour, hidden nodes and nodes far outside the pane.

#include "waveui/drawing/WaveCurve.h"

#include "waveui/drawing/CurveTestSupport.h"

#include <gtest/gtest.h>

namespace kelvorn {
namespace {

using namespace kelvorn::test;

constexpr PixelRect Pane{0, 0, 100, 100};

TEST(DrawNodeDrawing, EllipseAroundTheNodeWithItsCentreInThePenColour)
{
    // Value 0 at the middle of a 1000-value wave shown whole: pixel (50, 50).
    TDrawNode node(0, 0.5);
    QtCanvas canvas(100, 100, White);
    DrawDrawNode(canvas, node, Red, Blue, Pane, 0, 1000, 1000);
    EXPECT_EQ(canvas.Pixel(50, 50), Red);
    // Inside the outline: the brush.
    for (auto [x, y] : {std::pair{49, 50}, {51, 50}, {50, 49}, {50, 51}, {49, 49}, {51, 51}})
        EXPECT_EQ(canvas.Pixel(x, y), Blue) << x << "," << y;
    // The outline three pixels from the centre.
    for (auto [x, y] : {std::pair{47, 50}, {53, 50}, {50, 47}, {50, 53}})
        EXPECT_EQ(canvas.Pixel(x, y), Red) << x << "," << y;
    // Nothing outside the 7 × 7 box from (47, 47) to (53, 53), nor in its corners.
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (x < 47 || x > 53 || y < 47 || y > 53) {
                ASSERT_EQ(canvas.Pixel(x, y), White) << x << "," << y;
            }
        }
    }
    for (auto [x, y] : {std::pair{47, 47}, {53, 47}, {47, 53}, {53, 53}})
        EXPECT_EQ(canvas.Pixel(x, y), White) << x << "," << y;
}

TEST(DrawNodeDrawing, NodePixelFollowsTheZoomAndTheValue)
{
    // 32767 at the top row; position 0.25 of 1000 values in a view of [200, 400): column 25.
    TDrawNode node(32767, 0.25);
    QtCanvas canvas(100, 100, White);
    DrawDrawNode(canvas, node, Red, Blue, Pane, 200, 400, 1000);
    EXPECT_EQ(canvas.Pixel(25, 0), Red);
    EXPECT_EQ(canvas.Pixel(25, 2), Blue);
    EXPECT_EQ(canvas.Pixel(25, 3), Red);
    EXPECT_EQ(canvas.Pixel(25, 4), White);
}

struct HiddenCase
{
    const char* name;
    double position;
    double zoomBegin, zoomEnd;
    int32_t values;
    bool visible;
};

class NodeDrawsNothing : public ::testing::TestWithParam<HiddenCase>
{
};

TEST_P(NodeDrawsNothing, CanvasStaysUntouched)
{
    const HiddenCase& c = GetParam();
    TDrawNode node(0, c.position);
    node.SetVisible(c.visible);
    QtCanvas canvas(100, 100, White);
    const QImage before = canvas.Image().copy();
    DrawDrawNode(canvas, node, Red, Blue, Pane, c.zoomBegin, c.zoomEnd, c.values);
    EXPECT_EQ(canvas.Image(), before) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NodeDrawsNothing,
    ::testing::Values(HiddenCase{"hidden", 0.5, 0, 1000, 1000, false},
                      HiddenCase{"left of the view", 0.1, 500, 1000, 1000, true},
                      HiddenCase{"right of the view", 0.9, 0, 500, 1000, true},
                      HiddenCase{"far beyond the integer range", 1e12, 0, 1, 1000, true},
                      HiddenCase{"no values", 0.5, 0, 1000, 0, true},
                      HiddenCase{"empty view", 0.5, 300, 300, 1000, true}));

} // namespace
} // namespace kelvorn
