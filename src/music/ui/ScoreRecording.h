#pragma once
// The score's drawing calls kept for later paints: a canvas that stores every call with the pen,
// brush and font it draws in and the columns it covers, and replays any run of them on another
// canvas moved by an offset. A replayed call draws what the original call drew, moved by whole
// pixels, so a window shows the kept score exactly as a fresh drawing at its scroll position.

#include "platform/Canvas.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvorn {

class TScoreRecording final : public Canvas
{
public:
    /// Calls kept so far; Truncate(n) drops those after the first n.
    size_t Count() const { return ops.size(); }
    void Truncate(size_t count);
    void Clear();
    /// The columns calls [begin, end) cover: false when they draw nothing.
    bool Extent(size_t begin, size_t end, int64_t& left, int64_t& right) const;
    /// Replays calls [begin, end) that reach into columns [left, right) of the recording onto
    /// target, moved by (dx, dy).
    void Replay(Canvas& target, size_t begin, size_t end, int64_t left, int64_t right, int64_t dx,
                int64_t dy) const;

    void SetPenColor(uint32_t color) override { state.pen = color; }
    void SetPenWidth(int width) override { state.penWidth = width; }
    void SetBrushColor(uint32_t color) override { state.brush = color; }
    void SetBrushStyle(BrushStyle style) override { state.brushStyle = style; }
    void SetFont(const CanvasFont& font) override;
    void MoveTo(int x, int y) override { position = {x, y}; }
    void LineTo(int x, int y) override;
    void FillRect(const PixelRect& rect) override { AddBox(Kind::Fill, rect); }
    void FrameRect(const PixelRect& rect) override { AddBox(Kind::Frame, rect); }
    void Rectangle(const PixelRect& rect) override { AddBox(Kind::Rect, rect); }
    void Ellipse(const PixelRect& rect) override { AddBox(Kind::Ellipse, rect); }
    void Polygon(std::span<const PixelPoint> points) override;
    void Chord(const PixelRect& bounds, PixelPoint start, PixelPoint end) override;
    uint32_t Pixel(int, int) const override { return InvalidColor; }
    void SetPixel(int x, int y, uint32_t color) override;
    void TextOut(int x, int y, const std::string& text) override;
    void TextRect(const PixelRect& clip, int x, int y, const std::string& text) override;
    void DrawBitmap(int x, int y, const CanvasBitmap& bitmap) override;
    /// The score places its texts and never measures them; these answer a digit's box.
    int TextWidth(const std::string& text) const override;
    int TextHeight(const std::string&) const override { return font().pixelSize; }

private:
    enum class Kind : uint8_t {
        Line,
        Fill,
        Frame,
        Rect,
        Ellipse,
        Polygon,
        Chord,
        Pixel,
        Text,
        ClippedText,
        Bitmap
    };
    struct State
    {
        uint32_t pen = 0x000000;
        int penWidth = 1;
        uint32_t brush = 0xFFFFFF;
        BrushStyle brushStyle = BrushStyle::Solid;
        int32_t font = -1;
        bool operator==(const State&) const = default;
    };
    struct Op
    {
        Kind kind;
        State state;
        int32_t a = 0, b = 0, c = 0, d = 0, e = 0, f = 0;
        /// Where its corners or text start in points or texts.
        uint32_t at = 0, count = 0;
        /// The columns it covers.
        int32_t left = 0, right = 0;
    };
    const CanvasFont& font() const;
    void Add(Op op, int64_t left, int64_t right);
    /// An operation of kind drawn in box, which gives its columns.
    void AddBox(Kind kind, const PixelRect& box);
    Op Make(Kind kind) const;
    /// An operation of kind whose first four values are box's corners.
    Op Make(Kind kind, const PixelRect& box) const;

    State state;
    PixelPoint position;
    std::vector<Op> ops;
    std::vector<PixelPoint> points;
    std::vector<std::string> texts;
    std::vector<CanvasBitmap> bitmaps;
    std::vector<CanvasFont> fonts;
};

} // namespace kelvorn
