#include "window_base/QtCanvas.h"

#include <QRect>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <vector>

using namespace kelvorn;

namespace {

constexpr uint32_t White = 0xFFFFFF, Red = 0x0000FF, Blue = 0xFF0000;

int CountOf(const QtCanvas& canvas, uint32_t color)
{
    int count = 0;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            count += canvas.Pixel(x, y) == color;
    return count;
}

/// Texts in a red font of 20 pixels on a blue brush.
void WriteRedOnBlue(QtCanvas& canvas)
{
    CanvasFont font;
    font.pixelSize = 20;
    font.color = Red;
    canvas.SetFont(font);
    canvas.SetBrushColor(Blue);
}

TEST(QtCanvas, PixelsUseRedInTheLowByte)
{
    QtCanvas canvas(8, 6);
    canvas.SetPixel(1, 2, 0x00123456);
    EXPECT_EQ(canvas.Image().pixel(1, 2) & 0xFFFFFF, 0x563412u);
    EXPECT_EQ(canvas.Pixel(1, 2), 0x00123456u);
    EXPECT_EQ(canvas.Pixel(0, 0), White);
    // The top byte of a colour is no part of it.
    canvas.SetPixel(2, 2, 0xAB000001);
    EXPECT_EQ(canvas.Pixel(2, 2), 0x000001u);
}

TEST(QtCanvas, OutsideTheImageNothingIsReadOrWritten)
{
    QtCanvas canvas(8, 6, 0x00000000);
    for (auto [x, y] : std::array<std::pair<int, int>, 5>{
             {{-1, 0}, {0, -1}, {8, 0}, {0, 6}, {100000, -100000}}}) {
        canvas.SetPixel(x, y, Red);
        EXPECT_EQ(canvas.Pixel(x, y), Canvas::InvalidColor) << x << "," << y;
    }
    EXPECT_EQ(CountOf(canvas, 0), 48);
}

TEST(QtCanvas, LinesLeaveOutTheirEndPoint)
{
    struct Case
    {
        int x0, y0, x1, y1;
        int pixels;
    };
    for (Case c :
         {Case{2, 3, 9, 3, 7}, Case{9, 3, 2, 3, 7}, Case{4, 1, 4, 9, 8}, Case{1, 1, 6, 6, 5},
          Case{2, 0, 4, 9, 9}, Case{12, 2, 1, 5, 11}, Case{5, 5, 5, 5, 0}}) {
        QtCanvas canvas(16, 12);
        canvas.SetPenColor(Red);
        canvas.MoveTo(c.x0, c.y0);
        canvas.LineTo(c.x1, c.y1);
        EXPECT_EQ(CountOf(canvas, Red), c.pixels)
            << c.x0 << "," << c.y0 << "-" << c.x1 << "," << c.y1;
        EXPECT_EQ(canvas.Pixel(c.x1, c.y1), White);
        if (c.pixels > 0) {
            EXPECT_EQ(canvas.Pixel(c.x0, c.y0), Red);
        }
    }
}

TEST(QtCanvas, FarAwayLinesAreCutToTheImage)
{
    QtCanvas canvas(16, 12);
    canvas.SetPenColor(Red);
    canvas.MoveTo(-2000000000, 5);
    canvas.LineTo(2000000000, 5);
    EXPECT_EQ(CountOf(canvas, Red), 16);
    canvas.SetPenColor(Blue);
    canvas.MoveTo(0, 0);
    canvas.LineTo(1000000000, 1000000000);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(canvas.Pixel(i, i), Blue) << i;
    EXPECT_EQ(CountOf(canvas, Blue), 12);
    // Wholly outside: nothing.
    canvas.SetPenColor(0x00FF00);
    canvas.MoveTo(-500, -3);
    canvas.LineTo(500, -3);
    canvas.MoveTo(20, -1000000);
    canvas.LineTo(20, 1000000);
    EXPECT_EQ(CountOf(canvas, 0x00FF00), 0);
}

TEST(QtCanvas, RectanglesAreHalfOpen)
{
    QtCanvas canvas(20, 20);
    canvas.SetBrushColor(Red);
    canvas.FillRect({2, 3, 7, 5});
    EXPECT_EQ(CountOf(canvas, Red), 10);
    EXPECT_EQ(canvas.Pixel(2, 3), Red);
    EXPECT_EQ(canvas.Pixel(6, 4), Red);
    EXPECT_EQ(canvas.Pixel(7, 4), White);
    EXPECT_EQ(canvas.Pixel(6, 5), White);

    canvas.SetBrushColor(Blue);
    canvas.FrameRect({10, 10, 15, 14});
    EXPECT_EQ(CountOf(canvas, Blue), 14);
    EXPECT_EQ(canvas.Pixel(14, 13), Blue);
    EXPECT_EQ(canvas.Pixel(12, 12), White);

    // Empty and inverted rectangles draw nothing.
    canvas.FillRect({5, 5, 5, 9});
    canvas.FrameRect({9, 9, 4, 4});
    EXPECT_EQ(CountOf(canvas, Blue), 14);
}

TEST(QtCanvas, RectangleOutlinesInsideWithThePenAndFillsWithTheBrush)
{
    QtCanvas canvas(12, 12);
    canvas.SetPenColor(Red);
    canvas.SetBrushColor(Blue);
    canvas.Rectangle({1, 2, 7, 6});
    EXPECT_EQ(CountOf(canvas, Red), 16);
    EXPECT_EQ(CountOf(canvas, Blue), 8);
    EXPECT_EQ(canvas.Pixel(6, 5), Red);
    EXPECT_EQ(canvas.Pixel(7, 5), White);
    EXPECT_EQ(canvas.Pixel(3, 3), Blue);
}

TEST(QtCanvas, ClearBrushFillsNothing)
{
    QtCanvas canvas(30, 30);
    canvas.SetPenColor(Red);
    canvas.SetBrushColor(Blue);
    canvas.SetBrushStyle(BrushStyle::Clear);
    canvas.FillRect({0, 0, 30, 30});
    canvas.FrameRect({0, 0, 30, 30});
    canvas.Rectangle({2, 2, 10, 10});
    canvas.Ellipse({12, 12, 28, 28});
    std::array<PixelPoint, 3> triangle{{{2, 20}, {10, 20}, {6, 28}}};
    canvas.Polygon(triangle);
    EXPECT_EQ(CountOf(canvas, Blue), 0);
    EXPECT_GT(CountOf(canvas, Red), 0);
    EXPECT_EQ(canvas.Pixel(20, 20), White);
    EXPECT_EQ(canvas.Pixel(6, 6), White);
}

TEST(QtCanvas, ChordRunsCounterClockwiseAndEqualRaysGiveTheWholeEllipse)
{
    QtCanvas whole(30, 30), upper(30, 30);
    for (QtCanvas* canvas : {&whole, &upper}) {
        canvas->SetPenColor(Red);
        canvas->SetBrushColor(Blue);
    }
    whole.Chord({5, 5, 25, 25}, {15, 5}, {15, 5});
    for (auto [x, y] : {std::pair{8, 15}, {21, 15}, {15, 8}, {15, 21}})
        EXPECT_EQ(whole.Pixel(x, y), Blue) << x << "," << y;
    // From the right to the left through the top: the upper half.
    upper.Chord({5, 5, 26, 26}, {25, 15}, {5, 15});
    EXPECT_EQ(upper.Pixel(15, 9), Blue);
    EXPECT_EQ(upper.Pixel(15, 21), White);
}

TEST(QtCanvas, TextIsWrittenInItsBoxOnTheBrush)
{
    QtCanvas canvas(200, 60, White);
    WriteRedOnBlue(canvas);
    std::string text = "Kelvorn \xE9";
    int width = canvas.TextWidth(text);
    int height = canvas.TextHeight(text);
    ASSERT_GT(width, 40);
    ASSERT_GE(height, 20);
    canvas.TextOut(10, 20, text);
    int inkInBox = 0;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            bool inBox = x >= 10 && x < 10 + width && y >= 20 && y < 20 + height;
            uint32_t pixel = canvas.Pixel(x, y);
            if (!inBox)
                ASSERT_EQ(pixel, White) << x << "," << y;
            else if (pixel != Blue)
                ++inkInBox;
        }
    }
    EXPECT_GT(inkInBox, 30);
    EXPECT_EQ(canvas.Pixel(10, 20), Blue);

    canvas.SetFont(CanvasFont{{"Liberation Sans"}, 10, false, false, Red});
    EXPECT_LT(canvas.TextHeight(text), height);
    // A new canvas writes in the default font.
    QtCanvas plain(10, 10);
    canvas.SetFont(CanvasFont{});
    EXPECT_EQ(plain.TextHeight(text), canvas.TextHeight(text));
    EXPECT_EQ(plain.TextWidth(text), canvas.TextWidth(text));
}

TEST(QtCanvas, ResizeGivesAFreshImageAndKeepsDrawing)
{
    QtCanvas canvas(10, 10);
    canvas.SetBrushColor(Red);
    canvas.FillRect({0, 0, 10, 10});
    canvas.Resize(30, 20, Blue);
    EXPECT_EQ(canvas.Width(), 30);
    EXPECT_EQ(canvas.Height(), 20);
    EXPECT_EQ(CountOf(canvas, Blue), 600);
    canvas.FillRect({25, 15, 30, 20});
    EXPECT_EQ(canvas.Pixel(29, 19), Red);

    canvas.Resize(0, 0);
    canvas.FillRect({0, 0, 10, 10});
    canvas.MoveTo(0, 0);
    canvas.LineTo(5, 5);
    canvas.TextOut(0, 0, "x");
    EXPECT_EQ(canvas.Pixel(0, 0), Canvas::InvalidColor);
}

/// The smallest rectangle holding every pixel of colour.
QRect Bounds(const QtCanvas& canvas, uint32_t color)
{
    QRect bounds;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (canvas.Pixel(x, y) == color)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

TEST(QtCanvas, ShapesCoverExactlyTheirRectangle)
{
    struct Case
    {
        const char* name;
        std::function<void(QtCanvas&)> draw;
        QRect drawn; // pen and brush in one colour, as Qt strokes them; empty: nothing
    };
    // clang-format off
    for (const Case& c : std::vector<Case>{
             {"pixel", [](QtCanvas& c) { c.SetPixel(4, 4, Red); }, {4, 4, 1, 1}},
             {"ellipse", [](QtCanvas& c) { c.Ellipse({12, 12, 28, 28}); }, {12, 12, 16, 16}},
             {"flat ellipse", [](QtCanvas& c) { c.Ellipse({2, 2, 12, 3}); }, {2, 2, 9, 1}},
             {"thin rectangle", [](QtCanvas& c) { c.Rectangle({3, 3, 4, 8}); }, {3, 3, 1, 5}},
             {"chord", [](QtCanvas& c) { c.Chord({5, 5, 25, 25}, {15, 5}, {15, 5}); }, {5, 5, 19, 19}},
             {"chord without height", [](QtCanvas& c) { c.Chord({5, 5, 25, 5}, {15, 5}, {15, 5}); }, {}},
             {"frame", [](QtCanvas& c) { c.FrameRect({10, 10, 15, 14}); }, {10, 10, 5, 4}},
             // Lines: thin ones stepped, wide ones around their centre line.
             {"no width is one", [](QtCanvas& c) { c.SetPenWidth(0); c.MoveTo(2, 3); c.LineTo(9, 3); }, {2, 3, 7, 1}},
             {"wide", [](QtCanvas& c) { c.SetPenWidth(3); c.MoveTo(5, 10); c.LineTo(20, 10); }, {4, 9, 17, 3}},
             {"far diagonal", [](QtCanvas& c) { c.MoveTo(-1000000000, -1000000000); c.LineTo(1000000000, 1000000000); }, {0, 0, 30, 30}},
             {"up", [](QtCanvas& c) { c.MoveTo(1, 9); c.LineTo(6, 4); }, {1, 5, 5, 5}}}) {
        // clang-format on
        QtCanvas canvas(30, 30);
        canvas.SetPenColor(Red);
        canvas.SetBrushColor(Red);
        c.draw(canvas);
        EXPECT_EQ(Bounds(canvas, Red), c.drawn) << c.name;
    }
}

TEST(QtCanvas, ThinLinesStepAlongTheNearestRow)
{
    // 3 rows over 7 columns: column x lights row round(3x / 7) only.
    QtCanvas canvas(10, 10);
    canvas.SetPenColor(Red);
    canvas.MoveTo(0, 0);
    canvas.LineTo(7, 3);
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 10; ++y)
            EXPECT_EQ(canvas.Pixel(x, y) == Red, y == (3 * x * 2 + 7) / 14) << x << "," << y;
}

} // namespace

TEST(QtCanvas, TextRectDrawsNothingOutsideItsClip)
{
    QtCanvas canvas(120, 40, White);
    WriteRedOnBlue(canvas);
    ASSERT_GE(canvas.TextHeight("Kelvorn"), 18);
    canvas.TextRect({20, 8, 50, 18}, 10, 0, "Kelvorn");
    EXPECT_EQ(Bounds(canvas, Blue) | Bounds(canvas, Red), QRect(20, 8, 30, 10));
    EXPECT_GT(CountOf(canvas, Red), 0);
    // An empty clip draws nothing, and the clip does not stay for later drawing.
    canvas.TextRect({60, 5, 60, 30}, 60, 5, "Kelvorn");
    canvas.FillRect({100, 0, 110, 10});
    EXPECT_EQ(Bounds(canvas, Blue) | Bounds(canvas, Red), QRect(20, 0, 90, 18));
}

TEST(QtCanvas, BitmapsAreCopiedPixelForPixelAndClippedToTheImage)
{
    CanvasBitmap bitmap{3, 2, {Red, Blue, 0x00123456, White, Red, Blue}};
    QtCanvas canvas(8, 6, 0);
    canvas.DrawBitmap(2, 1, bitmap);
    EXPECT_EQ(canvas.Pixel(2, 1), Red);
    EXPECT_EQ(canvas.Pixel(3, 1), Blue);
    EXPECT_EQ(canvas.Pixel(4, 1), 0x00123456u);
    EXPECT_EQ(canvas.Pixel(2, 2), White);
    EXPECT_EQ(canvas.Pixel(4, 2), Blue);
    EXPECT_EQ(CountOf(canvas, 0), 48 - 6);
    canvas.DrawBitmap(6, 5, bitmap);
    EXPECT_EQ(canvas.Pixel(7, 5), Blue);
    // Short of colours for its size: nothing is drawn.
    QtCanvas other(8, 6, 0);
    other.DrawBitmap(0, 0, CanvasBitmap{3, 2, {Red, Red, Red, Red, Red}});
    other.DrawBitmap(0, 0, CanvasBitmap{});
    EXPECT_EQ(CountOf(other, 0), 48);
}
