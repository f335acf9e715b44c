// The shapes drawn for real, pixels read back: each shape is checked against its geometry,
// away from its outline (where the rasteriser decides), and its outline is found where the
// geometry puts it.
#include "platform/Shapes.h"
#include "shell/base/QtCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

using namespace kelvorn;

namespace {

constexpr uint32_t White = 0xFFFFFF;
constexpr uint32_t Colour = 0x00C08040;
// Byte by byte, truncated: 0x40 * 0.75 = 0x30, 0x80 * 0.75 = 0x60, 0xC0 * 0.75 = 0x90.
constexpr uint32_t Shade75 = 0x00906030;
constexpr uint32_t Shade50 = 0x00604020;

// Signed distance of a pixel centre from a shape's edge: positive inside.
using Region = std::function<double(double x, double y)>;

// The ellipse a half-open rectangle holds: through the centres of its outer pixels.
Region EllipseIn(const PixelRect& r)
{
    double cx = (r.left + r.right - 1) / 2.0;
    double cy = (r.top + r.bottom - 1) / 2.0;
    double rx = (r.right - r.left - 1) / 2.0;
    double ry = (r.bottom - r.top - 1) / 2.0;
    return [=](double x, double y) {
        double nx = (x - cx) / rx;
        double ny = (y - cy) / ry;
        return (1 - std::sqrt(nx * nx + ny * ny)) * std::min(rx, ry);
    };
}

Region TriangleOf(double tipX, double baseX, double y0, double half)
{
    return [=](double x, double y) {
        // Inside the base, and inside both slanted sides.
        double dir = baseX > tipX ? 1 : -1;
        double toBase = (baseX - x) * dir;
        double length = std::hypot(baseX - tipX, half);
        double side =
            ((x - tipX) * dir * half - std::abs(y - y0) * std::abs(baseX - tipX)) / length;
        return std::min(toBase, side);
    };
}

Region HalfDisc(double cx, double cy, double r, bool left)
{
    return [=](double x, double y) {
        double toChord = left ? cx - x : x - cx;
        return std::min(r - std::hypot(x - cx, y - cy), toChord);
    };
}

struct Layer
{
    Region region;
    uint32_t fill;
};

// Checks every pixel that lies more than margin away from every layer's edge: it has the fill
// of the last layer that holds it, or the background outside them all.
void ExpectFills(const QtCanvas& canvas, const std::vector<Layer>& layers, double margin = 1.5)
{
    int checked = 0;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            uint32_t expected = White;
            bool nearEdge = false;
            for (const Layer& layer : layers) {
                double d = layer.region(x, y);
                if (std::abs(d) <= margin)
                    nearEdge = true;
                else if (d > 0)
                    expected = layer.fill;
            }
            if (nearEdge)
                continue;
            ++checked;
            ASSERT_EQ(canvas.Pixel(x, y), expected) << "pixel " << x << "," << y;
        }
    }
    EXPECT_GT(checked, canvas.Width() * canvas.Height() / 2);
}

// Pixels in the outline shade within one pixel of (x, y).
bool OutlineNear(const QtCanvas& canvas, int x, int y)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (canvas.Pixel(x + dx, y + dy) == Shade75)
                return true;
    return false;
}

} // namespace

TEST(QtShapes, RaisedRectangleHasLightTopLeftAndDarkBottomRightEdges)
{
    QtCanvas canvas(40, 30);
    PixelRect r{5, 5, 25, 20};
    Draw3DRect(canvas, r, Colour);
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            uint32_t expected = White;
            if (x >= r.left + 1 && x < r.right && y >= r.top + 1 && y < r.bottom)
                expected = Shade75;
            // The lines run along right and bottom themselves, one past the filled area.
            if ((x == r.right && y >= r.top && y <= r.bottom) ||
                (y == r.bottom && x > r.left && x <= r.right))
                expected = Shade50;
            if ((x == r.left && y >= r.top && y <= r.bottom) ||
                (y == r.top && x >= r.left && x < r.right))
                expected = Colour;
            ASSERT_EQ(canvas.Pixel(x, y), expected) << "pixel " << x << "," << y;
        }
    }
}

TEST(QtShapes, FramedRectangle)
{
    for (bool selected : {false, true}) {
        QtCanvas canvas(40, 30);
        PixelRect r{10, 10, 30, 20};
        DrawFramedRect(canvas, r, Colour, selected);
        PixelRect outer = selected ? r.Grown(2) : r;
        for (int y = 0; y < canvas.Height(); ++y) {
            for (int x = 0; x < canvas.Width(); ++x) {
                auto onFrame = [&](const PixelRect& f) {
                    bool inside = x >= f.left && x < f.right && y >= f.top && y < f.bottom;
                    return inside &&
                           (x == f.left || x == f.right - 1 || y == f.top || y == f.bottom - 1);
                };
                bool inOuter =
                    x >= outer.left && x < outer.right && y >= outer.top && y < outer.bottom;
                uint32_t expected = inOuter ? Colour : White;
                if (onFrame(outer) || onFrame(r))
                    expected = Shade75;
                ASSERT_EQ(canvas.Pixel(x, y), expected)
                    << (selected ? "selected " : "") << "pixel " << x << "," << y;
            }
        }
    }
}

TEST(QtShapes, Ellipse)
{
    PixelRect r{10, 10, 30, 26};
    {
        QtCanvas canvas(40, 36);
        DrawEllipse(canvas, r, Colour, false);
        ExpectFills(canvas, {{EllipseIn(r), Colour}});
        EXPECT_TRUE(OutlineNear(canvas, 10, 17));
        EXPECT_TRUE(OutlineNear(canvas, 29, 17));
        EXPECT_TRUE(OutlineNear(canvas, 19, 10));
        EXPECT_TRUE(OutlineNear(canvas, 19, 25));
        EXPECT_EQ(canvas.Pixel(10, 10), White);
    }
    {
        QtCanvas canvas(40, 36);
        DrawEllipse(canvas, r, Colour, true);
        ExpectFills(canvas, {{EllipseIn(r.Grown(2)), Colour}, {EllipseIn(r), Colour}});
        // Two outlines across the middle row, with the colour between them.
        int row = 17;
        EXPECT_EQ(canvas.Pixel(7, row), White);
        EXPECT_EQ(canvas.Pixel(8, row), Shade75);
        EXPECT_EQ(canvas.Pixel(9, row), Colour);
        EXPECT_EQ(canvas.Pixel(10, row), Shade75);
        EXPECT_EQ(canvas.Pixel(11, row), Colour);
        EXPECT_EQ(canvas.Pixel(31, row), Shade75);
        EXPECT_EQ(canvas.Pixel(32, row), White);
    }
}

TEST(QtShapes, TrianglePointsLeftForDirectionOneAndRightOtherwise)
{
    const int x = 30;
    const int y = 20;
    const int s = 8;
    for (int direction : {1, 2}) {
        for (bool selected : {false, true}) {
            SCOPED_TRACE("direction " + std::to_string(direction) + (selected ? " selected" : ""));
            QtCanvas canvas(60, 40);
            DrawTriangle(canvas, x, y, s, Colour, selected, direction);
            int d = direction == 1 ? 1 : -1;
            std::vector<Layer> layers;
            if (selected)
                layers.push_back({TriangleOf(x - d * (s + 4), x + d * (s + 2), y, s + 3), Colour});
            layers.push_back({TriangleOf(x - d * s, x + d * s, y, s), Colour});
            ExpectFills(canvas, layers);
            EXPECT_TRUE(OutlineNear(canvas, x - d * s, y)); // tip
            EXPECT_TRUE(OutlineNear(canvas, x + d * s, y)); // middle of the base
            if (selected) {
                EXPECT_TRUE(OutlineNear(canvas, x - d * (s + 4), y));
                EXPECT_TRUE(OutlineNear(canvas, x + d * (s + 2), y));
                EXPECT_EQ(canvas.Pixel(x - d * (s + 6), y), White);
            } else {
                EXPECT_EQ(canvas.Pixel(x - d * (s + 2), y), White);
                EXPECT_EQ(canvas.Pixel(x + d * (s + 2), y), White);
            }
        }
    }
}

TEST(QtShapes, ChordIsTheLeftHalfDiscForDirectionOneAndTheRightOtherwise)
{
    const int x = 30;
    const int y = 20;
    const int s = 10;
    for (int direction : {1, 2}) {
        for (bool selected : {false, true}) {
            SCOPED_TRACE("direction " + std::to_string(direction) + (selected ? " selected" : ""));
            QtCanvas canvas(60, 40);
            DrawChord(canvas, x, y, s, Colour, selected, direction);
            bool left = direction == 1;
            int c = left ? x + 2 : x;
            // The disc of radius r around c fills the pixels of [c - r, c + r).
            double centre = c - 0.5;
            std::vector<Layer> layers;
            if (selected)
                layers.push_back({HalfDisc(centre, y - 0.5, s + 3 - 0.5, left), Colour});
            layers.push_back({HalfDisc(centre, y - 0.5, s - 0.5, left), Colour});
            ExpectFills(canvas, layers);
            int outward = left ? -1 : 1;
            // The outermost pixel column of the disc is c - s on the left, c + s - 1 on the right.
            EXPECT_TRUE(OutlineNear(canvas, left ? c - s : c + s - 1, y));
            EXPECT_TRUE(OutlineNear(canvas, c, y)); // the cut
            EXPECT_EQ(canvas.Pixel(c - outward * 3, y), White);
            EXPECT_EQ(canvas.Pixel(c + outward * (s / 2), y), Colour);
        }
    }
}
