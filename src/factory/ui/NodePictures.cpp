#include "factory/ui/NodePictures.h"

#include "window_base/QtCanvas.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <map>
#include <span>

namespace kelvorn {

namespace {

constexpr uint32_t Paper = 0xFFFFFF;
constexpr uint32_t WaveBlue = 0xB04010;  // sounds
constexpr uint32_t WaveGreen = 0x208020; // a second sound
constexpr uint32_t Mark = 0x1010D0;      // what an operation does to a sound
constexpr uint32_t Maths = 0x803060;     // numbers and logic
constexpr uint32_t Frame = 0x707070;     // boxes and bars
constexpr double TwoPi = 6.283185307179586;

// A pen on a 16 by 16 picture: polylines, filled shapes and plotted curves in one colour.
class IconPen
{
public:
    explicit IconPen(QtCanvas& canvas) : canvas(canvas) {}

    IconPen& Color(uint32_t c)
    {
        color = c;
        return *this;
    }
    // A polyline through the points, each corner drawn once, the last point included.
    IconPen& Line(std::initializer_list<PixelPoint> points)
    {
        canvas.SetPenColor(color);
        canvas.SetPenWidth(1);
        const PixelPoint* p = points.begin();
        canvas.MoveTo(p->x, p->y);
        for (++p; p != points.end(); ++p)
            canvas.LineTo(p->x, p->y);
        const PixelPoint last = *(points.end() - 1);
        canvas.SetPixel(last.x, last.y, color);
        return *this;
    }
    IconPen& Fill(std::initializer_list<PixelPoint> points)
    {
        canvas.SetPenColor(color);
        canvas.SetPenWidth(1);
        canvas.SetBrushStyle(BrushStyle::Solid);
        canvas.SetBrushColor(color);
        canvas.Polygon(std::span<const PixelPoint>(points.begin(), points.size()));
        return *this;
    }
    IconPen& Box(const PixelRect& rect, bool filled)
    {
        canvas.SetPenColor(color);
        canvas.SetPenWidth(1);
        canvas.SetBrushStyle(filled ? BrushStyle::Solid : BrushStyle::Clear);
        canvas.SetBrushColor(color);
        canvas.Rectangle(rect);
        return *this;
    }
    IconPen& Ring(const PixelRect& rect, bool filled)
    {
        canvas.SetPenColor(color);
        canvas.SetPenWidth(1);
        canvas.SetBrushStyle(filled ? BrushStyle::Solid : BrushStyle::Clear);
        canvas.SetBrushColor(color);
        canvas.Ellipse(rect);
        return *this;
    }
    // y = f(t) for t from 0 to 1 across columns x0 to x1, as a joined line.
    IconPen& Plot(int x0, int x1, const std::function<double(double)>& f)
    {
        canvas.SetPenColor(color);
        canvas.SetPenWidth(1);
        auto yAt = [&](int x) {
            return static_cast<int>(std::lround(f(double(x - x0) / double(x1 - x0))));
        };
        canvas.MoveTo(x0, yAt(x0));
        for (int x = x0 + 1; x <= x1; ++x)
            canvas.LineTo(x, yAt(x));
        canvas.SetPixel(x1, yAt(x1), color);
        return *this;
    }
    // A sine of the given cycles and amplitude (as a function of t) around row mid.
    IconPen& Sine(int x0, int x1, double mid, double cycles,
                  const std::function<double(double)>& amp)
    {
        return Plot(x0, x1, [&](double t) { return mid - amp(t) * std::sin(TwoPi * cycles * t); });
    }
    IconPen& Sine(int x0, int x1, double mid, double cycles, double amp)
    {
        return Sine(x0, x1, mid, cycles, [amp](double) { return amp; });
    }
    // A line with a filled head of three pixels at its end.
    IconPen& Arrow(PixelPoint from, PixelPoint to)
    {
        Line({from, to});
        const int dx = (to.x > from.x) - (to.x < from.x);
        const int dy = (to.y > from.y) - (to.y < from.y);
        return Fill({to,
                     {to.x - 3 * dx - 2 * dy, to.y - 3 * dy - 2 * dx},
                     {to.x - 3 * dx + 2 * dy, to.y - 3 * dy + 2 * dx}});
    }

private:
    QtCanvas& canvas;
    uint32_t color = 0;
};

using Painter = std::function<void(IconPen&)>;

void Bars(IconPen& pen, std::initializer_list<int> tops)
{
    int x = 2;
    for (int top : tops) {
        pen.Color(Frame).Box({x, top, x + 3, 14}, true);
        x += 3;
    }
}

// Every picture, by its index in the list.
const std::map<int32_t, Painter>& Painters()
{
    static const std::map<int32_t, Painter> painters{
        // ---- making and measuring sounds ----
        {1,
         [](IconPen& p) {
             p.Color(Frame).Line({{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}, {3, 1}});
             p.Color(WaveBlue).Sine(4, 12, 9, 1, 3);
         }},
        {7,
         [](IconPen& p) {
             p.Color(WaveBlue).Sine(1, 14, 4, 1.5, 3);
             p.Color(Frame)
                 .Line({{2, 10}, {13, 10}})
                 .Line({{2, 12}, {10, 12}})
                 .Line({{2, 14}, {12, 14}});
         }},
        {15,
         [](IconPen& p) {
             Bars(p, {9, 4, 7, 11});
         }},
        {20,
         [](IconPen& p) {
             p.Color(WaveBlue).Box({1, 4, 8, 12}, false);
             p.Color(WaveGreen).Box({8, 4, 15, 12}, false);
         }},
        {21,
         [](IconPen& p) {
             p.Color(WaveBlue).Box({2, 1, 14, 8}, false);
             p.Color(WaveGreen).Box({2, 8, 14, 15}, false);
         }},
        {22,
         [](IconPen& p) {
             p.Color(WaveBlue).Sine(1, 14, 8, 1.5, 5);
             p.Color(Mark).Line({{8, 1}, {8, 14}});
         }},
        {23,
         [](IconPen& p) {
             p.Color(WaveBlue).Sine(1, 14, 4, 2, 2.5);
             p.Color(Mark).Line({{1, 8}, {14, 8}});
             p.Color(WaveGreen).Sine(1, 14, 12, 2, 2.5);
         }},
        {30,
         [](IconPen& p) {
             p.Color(WaveBlue).Line(
                 {{1, 12}, {1, 3}, {5, 3}, {5, 12}, {9, 12}, {9, 3}, {13, 3}, {13, 12}, {14, 12}});
         }},
        {32,
         [](IconPen& p) {
             p.Color(WaveBlue).Line({{1, 13}, {14, 2}});
         }},
        {33,
         [](IconPen& p) {
             p.Color(WaveBlue).Line({{1, 8},
                                     {2, 3},
                                     {3, 11},
                                     {4, 6},
                                     {5, 13},
                                     {6, 4},
                                     {7, 9},
                                     {8, 2},
                                     {9, 12},
                                     {10, 7},
                                     {11, 10},
                                     {12, 3},
                                     {13, 11},
                                     {14, 6}});
         }},
        {34,
         [](IconPen& p) {
             p.Color(WaveBlue).Line({{1, 8}, {14, 8}});
         }},
        {35, [](IconPen& p) { p.Color(WaveBlue).Sine(1, 14, 8, 1, 5); }},
        {36,
         [](IconPen& p) {
             p.Color(WaveBlue).Line({{1, 8}, {4, 3}, {10, 13}, {14, 6}});
         }},
        {38,
         [](IconPen& p) {
             p.Color(WaveBlue).Sine(1, 14, 8, 1.5, 4);
             p.Color(Mark)
                 .Line({{4, 2}, {2, 2}, {2, 14}, {4, 14}})
                 .Line({{11, 2}, {13, 2}, {13, 14}, {11, 14}});
         }},
        {41,
         [](IconPen& p) {
             p.Color(WaveBlue).Sine(1, 14, 8, 1.5, 5);
             p.Color(Mark).Line({{4, 4}, {11, 11}}).Line({{11, 4}, {4, 11}});
         }},
        {42,
         [](IconPen& p) {
             p.Color(WaveBlue).Sine(1, 14, 8, 1.5, 5);
             p.Color(Mark).Box({4, 1, 11, 15}, false);
         }},
        {43,
         [](IconPen& p) {
             p.Color(WaveBlue).Sine(1, 14, 8, 1, 5);
             p.Color(WaveGreen).Sine(1, 14, 8, 2, 3);
         }},
        {44,
         [](IconPen& p) {
             p.Color(WaveBlue).Sine(1, 5, 11, 0.5, 3).Sine(10, 14, 11, 0.5, 3);
             p.Color(Mark).Arrow({7, 1}, {7, 10});
         }},
        {46,
         [](IconPen& p) {
             p.Color(WaveBlue).Sine(1, 10, 8, 1, 5);
             p.Color(Mark).Arrow({13, 8}, {13, 1}).Arrow({13, 8}, {13, 14});
         }},
        {47,
         [](IconPen& p) {
             p.Color(WaveBlue).Box({2, 3, 7, 14}, true);
             p.Color(WaveGreen).Box({9, 8, 14, 14}, true);
         }},
        {48,
         [](IconPen& p) {
             p.Color(WaveBlue).Line({{1, 13},
                                     {4, 13},
                                     {4, 10},
                                     {7, 10},
                                     {7, 7},
                                     {10, 7},
                                     {10, 4},
                                     {13, 4},
                                     {13, 2},
                                     {14, 2}});
         }},
        {49,
         [](IconPen& p) {
             p.Color(WaveBlue).Plot(1, 14, [](double t) {
                 return 8 - std::clamp(7 * std::sin(TwoPi * 1.5 * t), -4.0, 4.0);
             });
         }},
        {50,
         [](IconPen& p) {
             p.Color(WaveBlue).Sine(1, 14, 6, 1.5, 4);
             p.Color(Mark).Arrow({7, 13}, {14, 13}).Arrow({7, 13}, {1, 13});
         }},
        {51,
         [](IconPen& p) {
             p.Color(WaveBlue).Line({{1, 2}, {8, 8}});
             p.Color(WaveGreen).Line({{1, 14}, {8, 8}});
             p.Color(Frame).Line({{8, 8}, {14, 8}});
         }},
        {52,
         [](IconPen& p) {
             p.Color(Mark).Line({{1, 1}, {14, 1}}).Line({{1, 14}, {14, 14}});
             p.Color(WaveBlue).Sine(1, 14, 7.5, 1, 6.5);
         }},
        {53,
         [](IconPen& p) {
             p.Color(WaveBlue).Sine(1, 14, 6, 1, 4);
             p.Color(Mark).Arrow({14, 13}, {1, 13});
         }},
        {54,
         [](IconPen& p) {
             p.Color(WaveBlue).Sine(1, 14, 8, 1.75, [](double t) { return 6.5 * t; });
         }},
        {55,
         [](IconPen& p) {
             p.Color(WaveBlue).Sine(1, 14, 8, 1.75, [](double t) { return 6.5 * (1 - t); });
         }},
        {57,
         [](IconPen& p) {
             p.Color(WaveBlue).Sine(1, 10, 5, 1, 3);
             p.Color(Mark).Arrow({13, 13}, {13, 2});
         }},
        {58,
         [](IconPen& p) {
             p.Color(WaveBlue).Line({{1, 13}, {5, 13}, {5, 3}, {10, 3}, {10, 13}, {14, 13}});
         }},
        {59, [](IconPen& p) { p.Color(WaveBlue).Sine(1, 14, 8, 2, 5); }},
        {60,
         [](IconPen& p) {
             p.Color(WaveBlue).Plot(1, 14, [](double t) { return t < 0.5 ? 14 - 22 * t : 3; });
         }},
        {61,
         [](IconPen& p) {
             p.Color(WaveBlue).Plot(1, 14,
                                    [](double t) { return t < 0.5 ? 3 : 3 + 22 * (t - 0.5); });
         }},
        {62,
         [](IconPen& p) {
             p.Color(WaveBlue).Plot(
                 1, 14, [](double t) { return 4 + 9 * std::exp(-std::pow((t - 0.5) * 8, 2)); });
         }},
        {63,
         [](IconPen& p) {
             p.Color(WaveBlue)
                 .Line({{2, 14}, {2, 2}})
                 .Line({{6, 14}, {6, 6}})
                 .Line({{10, 14}, {10, 9}})
                 .Line({{14, 14}, {14, 12}});
         }},
        {64,
         [](IconPen& p) {
             p.Color(WaveBlue).Plot(
                 1, 14, [](double t) { return 12 - 10 * std::exp(-std::pow((t - 0.5) * 8, 2)); });
         }},
        {127,
         [](IconPen& p) {
             p.Color(Mark).Line({{1, 8}, {14, 8}});
             p.Color(WaveBlue).Sine(1, 14, 8, 1.5, 6);
             p.Color(Mark).Arrow({14, 5}, {14, 1});
         }},
        {133,
         [](IconPen& p) {
             p.Color(WaveBlue).Sine(1, 14, 6, 1, 4);
             p.Color(Mark).Arrow({1, 13}, {14, 13});
         }},
        // ---- nodes that run factories ----
        {141,
         [](IconPen& p) {
             p.Color(Frame).Line({{5, 3}, {10, 3}}).Line({{5, 3}, {10, 12}});
             p.Color(WaveBlue).Box({1, 1, 6, 6}, true);
             p.Color(WaveGreen).Box({10, 1, 15, 6}, true).Box({10, 10, 15, 15}, true);
         }},
        {142,
         [](IconPen& p) {
             p.Color(WaveBlue).Ring({2, 2, 14, 14}, false);
             p.Color(Paper).Box({1, 6, 5, 10}, true);
             p.Color(WaveBlue).Fill({{0, 6}, {6, 6}, {3, 10}});
         }},
        // ---- numbers and logic ----
        {143,
         [](IconPen& p) {
             p.Color(Maths)
                 .Box({1, 1, 15, 15}, false)
                 .Box({3, 3, 6, 6}, true)
                 .Box({7, 7, 10, 10}, true)
                 .Box({11, 11, 14, 14}, true);
         }},
        {144,
         [](IconPen& p) {
             p.Color(Maths).Line({{3, 3}, {12, 12}}).Line({{12, 3}, {3, 12}});
         }},
        {145,
         [](IconPen& p) {
             p.Color(Maths).Line({{2, 8}, {13, 8}}).Line({{8, 2}, {8, 13}});
         }},
        {146,
         [](IconPen& p) {
             p.Color(Maths)
                 .Line({{2, 8}, {13, 8}})
                 .Box({7, 3, 10, 6}, true)
                 .Box({7, 10, 10, 13}, true);
         }},
        {147,
         [](IconPen& p) {
             p.Color(Maths).Line({{2, 8}, {13, 8}});
         }},
        {148,
         [](IconPen& p) {
             p.Color(Maths).Line({{2, 3}, {8, 13}, {14, 3}});
         }},
        {149,
         [](IconPen& p) {
             p.Color(Maths).Line({{2, 13}, {8, 3}, {14, 13}});
         }},
        {150,
         [](IconPen& p) {
             p.Color(Maths).Line({{2, 14}, {8, 5}, {14, 14}}).Line({{2, 1}, {14, 1}});
         }},
        {151,
         [](IconPen& p) {
             p.Color(Maths).Line({{2, 5}, {8, 14}, {14, 5}}).Line({{2, 1}, {14, 1}});
         }},
        {152,
         [](IconPen& p) {
             p.Color(Maths).Line({{2, 6}, {13, 6}, {13, 11}});
         }},
        {153,
         [](IconPen& p) {
             p.Color(Maths).Arrow({1, 8}, {14, 8});
         }},
        {154,
         [](IconPen& p) {
             p.Color(Maths)
                 .Ring({1, 1, 16, 16}, false)
                 .Line({{3, 8}, {13, 8}})
                 .Line({{8, 3}, {8, 13}});
         }},
        {157,
         [](IconPen& p) {
             p.Color(Maths).Plot(1, 7, [](double t) { return 8 - 3 * std::tan((t - 0.5) * 2.4); });
             p.Color(Maths).Plot(9, 15, [](double t) { return 8 - 3 * std::tan((t - 0.5) * 2.4); });
         }},
        {158,
         [](IconPen& p) {
             p.Color(Maths).Plot(1, 14, [](double t) { return 8 - 5 * std::cos(TwoPi * t); });
         }},
        {159, [](IconPen& p) { p.Color(Maths).Sine(1, 14, 8, 1, 5); }},
        {160,
         [](IconPen& p) { p.Color(Maths).Plot(1, 14, [](double t) { return 14 - 12 * t * t; }); }},
        {161,
         [](IconPen& p) {
             p.Color(Maths).Line({{1, 9}, {3, 8}, {6, 14}, {9, 2}, {15, 2}});
         }},
        {162,
         [](IconPen& p) {
             p.Color(Maths).Plot(1, 14, [](double t) { return 8 - 3 * std::log(t * 20 + 0.1); });
         }},
        {163,
         [](IconPen& p) {
             p.Color(Maths).Plot(
                 1, 14, [](double t) { return 14 - 11 * std::exp(-std::pow((t - 0.5) * 5, 2)); });
         }},
        {164,
         [](IconPen& p) {
             p.Color(Maths)
                 .Line({{2, 6}, {13, 6}})
                 .Line({{2, 10}, {13, 10}})
                 .Line({{10, 2}, {5, 14}});
         }},
        {165,
         [](IconPen& p) {
             p.Color(Maths).Line({{2, 6}, {13, 6}}).Line({{2, 10}, {13, 10}});
         }},
        {166,
         [](IconPen& p) {
             p.Color(Maths).Line({{3, 3}, {12, 8}, {3, 13}});
         }},
        {167,
         [](IconPen& p) {
             p.Color(Maths).Line({{3, 2}, {12, 6}, {3, 10}}).Line({{3, 13}, {12, 13}});
         }},
        {168,
         [](IconPen& p) {
             Bars(p, {4, 10, 6, 8});
             p.Color(Mark).Line({{1, 10}, {14, 10}});
         }},
        {169,
         [](IconPen& p) {
             Bars(p, {9, 3, 7, 11});
             p.Color(Mark).Line({{1, 3}, {14, 3}});
         }},
        {170,
         [](IconPen& p) {
             p.Color(Maths)
                 .Line({{1, 4}, {4, 4}})
                 .Line({{1, 12}, {4, 12}})
                 .Line({{5, 4}, {11, 8}, {14, 8}});
             p.Color(Frame).Box({4, 3, 6, 6}, true).Box({4, 11, 6, 14}, true);
         }},
        {172,
         [](IconPen& p) {
             p.Color(Maths).Plot(1, 14, [](double t) { return 13 - 3 * std::log(t * 20 + 1); });
             p.Color(Mark).Line({{1, 7}, {14, 7}});
         }},
        {173,
         [](IconPen& p) {
             p.Color(Maths).Line({{1, 10}, {4, 4}, {7, 12}, {10, 5}, {14, 9}});
             p.Color(Mark).Line({{1, 8}, {14, 8}});
         }},
        {175,
         [](IconPen& p) {
             p.Color(Maths).Ring({1, 1, 16, 16}, false).Line({{8, 3}, {8, 8}, {12, 10}});
         }},
        {176,
         [](IconPen& p) {
             p.Color(WaveBlue).Sine(1, 14, 8, 1, 5);
             p.Color(Mark).Ring({9, 9, 14, 14}, true);
         }},
        {177,
         [](IconPen& p) {
             p.Color(Maths).Line({{1, 13}, {5, 3}, {5, 13}, {10, 3}, {10, 13}, {14, 4}});
         }},
        {178,
         [](IconPen& p) {
             p.Color(Maths).Line({{2, 2}, {2, 14}}).Line({{13, 5}, {13, 11}});
             p.Color(Mark).Line({{2, 2}, {13, 5}}).Line({{2, 14}, {13, 11}});
         }},
    };
    return painters;
}

std::map<int32_t, CanvasBitmap> DrawAll()
{
    std::map<int32_t, CanvasBitmap> pictures;
    for (const auto& [index, paint] : Painters()) {
        QtCanvas canvas(NodePictureSize, NodePictureSize, Paper);
        IconPen pen(canvas);
        paint(pen);
        CanvasBitmap& bitmap = pictures[index];
        bitmap.width = bitmap.height = NodePictureSize;
        bitmap.pixels.reserve(NodePictureSize * NodePictureSize);
        for (int y = 0; y < NodePictureSize; ++y)
            for (int x = 0; x < NodePictureSize; ++x)
                bitmap.pixels.push_back(canvas.Pixel(x, y));
    }
    return pictures;
}

const std::map<int32_t, CanvasBitmap>& Pictures()
{
    static const std::map<int32_t, CanvasBitmap> pictures = DrawAll();
    return pictures;
}

} // namespace

const CanvasBitmap& GetNodePicture(int32_t index)
{
    static const CanvasBitmap none;
    auto it = Pictures().find(index);
    return it == Pictures().end() ? none : it->second;
}

const std::vector<int32_t>& NodePictureIndices()
{
    static const std::vector<int32_t> indices = [] {
        std::vector<int32_t> all;
        for (const auto& entry : Painters())
            all.push_back(entry.first);
        return all;
    }();
    return indices;
}

} // namespace kelvorn
