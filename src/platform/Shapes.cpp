#include "platform/Shapes.h"

#include "general/numeric/NumericHelpers.h"

#include <array>

namespace kelvorn {

namespace {

constexpr int32_t Black = 0x000000;

uint32_t Shade75(uint32_t color)
{
    return static_cast<uint32_t>(BlendColor(Black, static_cast<int32_t>(color), 0.75));
}

uint32_t Shade50(uint32_t color)
{
    return static_cast<uint32_t>(BlendColor(Black, static_cast<int32_t>(color), 0.5));
}

void SetOutlined(Canvas& canvas, uint32_t color)
{
    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.SetBrushColor(color);
    canvas.SetPenColor(Shade75(color));
    canvas.SetPenWidth(1);
}

void Triangle(Canvas& canvas, int tipX, int baseX, int y, int halfHeight)
{
    std::array<PixelPoint, 3> points{{{tipX, y}, {baseX, y - halfHeight}, {baseX, y + halfHeight}}};
    canvas.Polygon(points);
}

void HalfDisc(Canvas& canvas, int cx, int cy, int radius, bool leftHalf)
{
    PixelRect bounds{cx - radius, cy - radius, cx + radius, cy + radius};
    PixelPoint top{cx, cy - radius};
    PixelPoint bottom{cx, cy + radius};
    // Counter-clockwise from the top is the left half; from the bottom the right half.
    if (leftHalf)
        canvas.Chord(bounds, top, bottom);
    else
        canvas.Chord(bounds, bottom, top);
}

} // namespace

void Draw3DRect(Canvas& canvas, const PixelRect& rect, uint32_t color)
{
    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.SetBrushColor(Shade75(color));
    canvas.FillRect(rect);
    canvas.SetPenWidth(1);
    canvas.SetPenColor(color);
    canvas.MoveTo(rect.left, rect.bottom);
    canvas.LineTo(rect.left, rect.top);
    canvas.LineTo(rect.right, rect.top);
    canvas.SetPenColor(Shade50(color));
    canvas.LineTo(rect.right, rect.bottom);
    canvas.LineTo(rect.left, rect.bottom);
}

void DrawEllipse(Canvas& canvas, const PixelRect& rect, uint32_t color, bool selected)
{
    SetOutlined(canvas, color);
    if (selected)
        canvas.Ellipse(rect.Grown(2));
    canvas.Ellipse(rect);
}

void DrawFramedRect(Canvas& canvas, const PixelRect& rect, uint32_t color, bool selected)
{
    canvas.SetBrushStyle(BrushStyle::Solid);
    if (selected) {
        PixelRect grown = rect.Grown(2);
        canvas.SetBrushColor(color);
        canvas.FillRect(grown);
        canvas.SetBrushColor(Shade75(color));
        canvas.FrameRect(grown);
    } else {
        canvas.SetBrushColor(color);
        canvas.FillRect(rect);
    }
    canvas.SetBrushColor(Shade75(color));
    canvas.FrameRect(rect);
}

void DrawTriangle(Canvas& canvas, int x, int y, int size, uint32_t color, bool selected,
                  int direction)
{
    SetOutlined(canvas, color);
    int sign = direction == 1 ? 1 : -1;
    if (selected)
        Triangle(canvas, x - sign * (size + 4), x + sign * (size + 2), y, size + 3);
    Triangle(canvas, x - sign * size, x + sign * size, y, size);
}

void DrawChord(Canvas& canvas, int x, int y, int size, uint32_t color, bool selected, int direction)
{
    SetOutlined(canvas, color);
    bool leftHalf = direction == 1;
    int cx = leftHalf ? x + 2 : x;
    if (selected)
        HalfDisc(canvas, cx, y, size + 3, leftHalf);
    HalfDisc(canvas, cx, y, size, leftHalf);
}

} // namespace kelvorn
