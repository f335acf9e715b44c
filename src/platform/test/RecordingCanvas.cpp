#include "platform/test/RecordingCanvas.h"

#include <cstdio>

namespace kelvorn {

namespace {

std::string RectText(const PixelRect& r)
{
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) +
           " " + std::to_string(r.bottom);
}

std::string PointText(PixelPoint p)
{
    return std::to_string(p.x) + " " + std::to_string(p.y);
}

} // namespace

std::string RecordingCanvas::ColorText(uint32_t color)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(color));
    return text;
}

std::vector<std::string> RecordingCanvas::CallsOf(const std::string& prefix) const
{
    std::vector<std::string> found;
    for (const std::string& call : calls)
        if (call.compare(0, prefix.size(), prefix) == 0)
            found.push_back(call);
    return found;
}

std::string RecordingCanvas::Pen() const
{
    return "pen " + ColorText(penColor) + " " + std::to_string(penWidth);
}

std::string RecordingCanvas::Brush() const
{
    return brushStyle == BrushStyle::Solid ? "brush " + ColorText(brushColor) : "brush clear";
}

void RecordingCanvas::LineTo(int x, int y)
{
    Record("Line " + PointText(position) + " " + PointText({x, y}) + " " + Pen());
    position = {x, y};
}

void RecordingCanvas::FillRect(const PixelRect& rect)
{
    Record("FillRect " + RectText(rect) + " " + Brush());
}

void RecordingCanvas::FrameRect(const PixelRect& rect)
{
    Record("FrameRect " + RectText(rect) + " " + Brush());
}

void RecordingCanvas::Rectangle(const PixelRect& rect)
{
    Record("Rectangle " + RectText(rect) + " " + Pen() + " " + Brush());
}

void RecordingCanvas::Ellipse(const PixelRect& rect)
{
    Record("Ellipse " + RectText(rect) + " " + Pen() + " " + Brush());
}

void RecordingCanvas::Polygon(std::span<const PixelPoint> points)
{
    std::string call = "Polygon";
    // Appended in steps: "text" + std::string&& draws a false g++ 12 warning at -O2.
    for (PixelPoint p : points) {
        call += " ";
        call += PointText(p);
    }
    Record(call + " " + Pen() + " " + Brush());
}

void RecordingCanvas::Chord(const PixelRect& bounds, PixelPoint start, PixelPoint end)
{
    Record("Chord " + RectText(bounds) + " " + PointText(start) + " " + PointText(end) + " " +
           Pen() + " " + Brush());
}

void RecordingCanvas::SetPixel(int x, int y, uint32_t color)
{
    Record("SetPixel " + PointText({x, y}) + " " + ColorText(color));
}

void RecordingCanvas::SetFont(const CanvasFont& newFont)
{
    font = newFont;
    if (!recordFonts)
        return;
    std::string call = "Font ";
    call += font.families.empty() ? std::string("-") : font.families.front();
    call += " " + std::to_string(font.pixelSize);
    if (font.bold)
        call += " bold";
    if (font.italic)
        call += " italic";
    Record(call + " " + ColorText(font.color));
}

void RecordingCanvas::TextOut(int x, int y, const std::string& text)
{
    Record("TextOut " + PointText({x, y}) + " " + text + " " + Brush());
}

void RecordingCanvas::TextRect(const PixelRect& clip, int x, int y, const std::string& text)
{
    Record("TextRect " + RectText(clip) + " " + PointText({x, y}) + " " + text + " " + Brush());
}

void RecordingCanvas::DrawBitmap(int x, int y, const CanvasBitmap& bitmap)
{
    Record("Bitmap " + PointText({x, y}) + " " + std::to_string(bitmap.width) + "x" +
           std::to_string(bitmap.height));
}

int RecordingCanvas::TextWidth(const std::string& text) const
{
    return 8 * static_cast<int>(text.size());
}

} // namespace kelvorn
