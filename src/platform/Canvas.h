#pragma once
// The drawing surface of the views and editors. It keeps a pen (lines and outlines), a brush
// (fills) and a font, as the drawing code of the documents expects.
//
// Conventions:
// - colours are 24-bit RGB in 32 bits, 0x00BBGGRR (red in the low byte);
// - a rectangle is half-open: it covers columns left to right - 1 and rows top to bottom - 1;
// - LineTo draws from the current position up to, but not including, the end point, and makes
//   the end point the current position; a path of joined lines thus draws each corner once;
// - with BrushStyle::Clear nothing is filled and text is written without its background.

#include "general/view/PixelRect.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kelvorn {

enum class BrushStyle { Solid, Clear };

struct CanvasFont
{
    /// Families in order of preference: the first one installed is used.
    std::vector<std::string> families{"Arial", "Liberation Sans"};
    /// Height in pixels (layout depends on it, so never points).
    int pixelSize = 13;
    bool bold = false;
    bool italic = false;
    uint32_t color = 0x000000;
};

/// An image for DrawBitmap: width × height colours (0x00BBGGRR), row by row from the top.
struct CanvasBitmap
{
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    /// No size, or fewer colours than the size asks for: nothing to draw.
    bool Empty() const
    {
        return width <= 0 || height <= 0 ||
               pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height);
    }
};

/// Pixels of a font size given in points, at 96 dots per inch, rounded to the nearest (10 pt
/// is 13 px).
int FontPixelsFromPoints(int points);

class Canvas
{
public:
    /// What Pixel answers outside the surface.
    static constexpr uint32_t InvalidColor = 0xFFFFFFFF;

    virtual ~Canvas() = default;

    virtual void SetPenColor(uint32_t color) = 0;
    /// Width in pixels; 0 and 1 both draw one pixel wide.
    virtual void SetPenWidth(int width) = 0;
    virtual void SetBrushColor(uint32_t color) = 0;
    virtual void SetBrushStyle(BrushStyle style) = 0;
    virtual void SetFont(const CanvasFont& font) = 0;

    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;

    /// Fills rect with the brush.
    virtual void FillRect(const PixelRect& rect) = 0;
    /// A frame one pixel wide along the inside of rect, in the brush colour.
    virtual void FrameRect(const PixelRect& rect) = 0;
    /// rect filled with the brush and outlined with the pen.
    virtual void Rectangle(const PixelRect& rect) = 0;
    /// The ellipse inscribed in rect, filled with the brush and outlined with the pen.
    virtual void Ellipse(const PixelRect& rect) = 0;
    /// The closed polygon through points, filled with the brush and outlined with the pen.
    virtual void Polygon(std::span<const PixelPoint> points) = 0;
    /// The part of the ellipse inscribed in bounds that the arc cuts off: the arc runs
    /// counter-clockwise from the ray through start to the ray through end (rays from the
    /// centre of bounds) and the chord closes it; filled with the brush, outlined with the pen.
    /// Equal rays give the whole ellipse.
    virtual void Chord(const PixelRect& bounds, PixelPoint start, PixelPoint end) = 0;

    /// The colour at (x, y), or InvalidColor outside the surface.
    virtual uint32_t Pixel(int x, int y) const = 0;
    /// Sets one pixel; outside the surface nothing happens.
    virtual void SetPixel(int x, int y, uint32_t color) = 0;

    /// Writes text (8-bit, Latin-1) in the font with its top-left corner at (x, y); with a solid
    /// brush its background box is filled with the brush colour first.
    virtual void TextOut(int x, int y, const std::string& text) = 0;
    /// TextOut, with nothing drawn outside clip (neither text nor background).
    virtual void TextRect(const PixelRect& clip, int x, int y, const std::string& text) = 0;
    virtual int TextWidth(const std::string& text) const = 0;
    virtual int TextHeight(const std::string& text) const = 0;

    /// Copies the bitmap with its top-left corner at (x, y); an empty one draws nothing.
    virtual void DrawBitmap(int x, int y, const CanvasBitmap& bitmap) = 0;
};

} // namespace kelvorn
