#pragma once
// A canvas that draws nothing and records every drawing call as one line of text with the
// colours it draws in, such as "FillRect 1 2 3 4 brush 0x00C08040" or
// "Line 10 40 10 20 pen 0x00C08040 1", so a test compares what was drawn, and in which
// colours, with the geometry it expects. Setting the pen, brush or font draws nothing and is
// not recorded (fonts are when recordFonts is set). Pixel answers InvalidColor.

#include "platform/Canvas.h"

#include <string>
#include <vector>

namespace kelvorn {

class RecordingCanvas final : public Canvas
{
public:
    const std::vector<std::string>& Calls() const { return calls; }
    void Clear() { calls.clear(); }

    /// The recorded calls whose line starts with prefix (e.g. "Polygon").
    std::vector<std::string> CallsOf(const std::string& prefix) const;

    const CanvasFont& Font() const { return font; }
    /// Whether SetFont is recorded too (off: most drawing tests care for shapes and texts only).
    bool recordFonts = false;

    void SetPenColor(uint32_t color) override { penColor = color; }
    void SetPenWidth(int width) override { penWidth = width; }
    void SetBrushColor(uint32_t color) override { brushColor = color; }
    void SetBrushStyle(BrushStyle style) override { brushStyle = style; }
    /// Recorded as "Font <first family> <pixels>[ bold][ italic] <colour>" when recordFonts is set.
    void SetFont(const CanvasFont& newFont) override;

    void MoveTo(int x, int y) override { position = {x, y}; }
    void LineTo(int x, int y) override;

    void FillRect(const PixelRect& rect) override;
    void FrameRect(const PixelRect& rect) override;
    void Rectangle(const PixelRect& rect) override;
    void Ellipse(const PixelRect& rect) override;
    void Polygon(std::span<const PixelPoint> points) override;
    void Chord(const PixelRect& bounds, PixelPoint start, PixelPoint end) override;

    uint32_t Pixel(int x, int y) const override { return InvalidColor; }
    void SetPixel(int x, int y, uint32_t color) override;

    void TextOut(int x, int y, const std::string& text) override;
    /// "TextRect <clip left top right bottom> <x> <y> <text> <brush>".
    void TextRect(const PixelRect& clip, int x, int y, const std::string& text) override;
    /// Eight pixels a character and 16 a line, so layout code has numbers to work with.
    int TextWidth(const std::string& text) const override;
    int TextHeight(const std::string& text) const override { return 16; }

    /// "Bitmap <x> <y> <width>x<height>".
    void DrawBitmap(int x, int y, const CanvasBitmap& bitmap) override;

    /// "0x00BBGGRR" as the calls write colours.
    static std::string ColorText(uint32_t color);

private:
    void Record(std::string call) { calls.push_back(std::move(call)); }
    std::string Pen() const;
    std::string Brush() const;

    std::vector<std::string> calls;
    uint32_t penColor = 0x000000;
    int penWidth = 1;
    uint32_t brushColor = 0xFFFFFF;
    BrushStyle brushStyle = BrushStyle::Solid;
    CanvasFont font;
    PixelPoint position;
};

} // namespace kelvorn
