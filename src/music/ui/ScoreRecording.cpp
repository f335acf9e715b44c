#include "music/ui/ScoreRecording.h"

#include "music/core/ScoreLayout.h"

#include <algorithm>
#include <climits>

namespace kelvorn {

namespace {

bool SameFont(const CanvasFont& a, const CanvasFont& b)
{
    return a.families == b.families && a.pixelSize == b.pixelSize && a.bold == b.bold &&
           a.italic == b.italic && a.color == b.color;
}

int Moved(int64_t v, int64_t by)
{
    return ClampPixel(v + by);
}

} // namespace

void TScoreRecording::Truncate(size_t count)
{
    if (count >= ops.size())
        return;
    // Corners and texts are appended in call order: those of the first dropped call start
    // where the kept ones end.
    size_t keepPoints = points.size(), keepTexts = texts.size(), keepBitmaps = bitmaps.size();
    for (size_t i = count; i < ops.size(); ++i) {
        const Op& op = ops[i];
        if (op.kind == Kind::Polygon || op.kind == Kind::Chord)
            keepPoints = std::min<size_t>(keepPoints, op.at);
        if (op.kind == Kind::Text || op.kind == Kind::ClippedText)
            keepTexts = std::min<size_t>(keepTexts, op.at);
        if (op.kind == Kind::Bitmap)
            keepBitmaps = std::min<size_t>(keepBitmaps, op.at);
    }
    ops.resize(count);
    points.resize(keepPoints);
    texts.resize(keepTexts);
    bitmaps.resize(keepBitmaps);
}

void TScoreRecording::Clear()
{
    ops.clear();
    points.clear();
    texts.clear();
    bitmaps.clear();
    fonts.clear();
    state = State{};
    position = {};
}

const CanvasFont& TScoreRecording::font() const
{
    static const CanvasFont none;
    return state.font >= 0 ? fonts[static_cast<size_t>(state.font)] : none;
}

void TScoreRecording::SetFont(const CanvasFont& newFont)
{
    for (size_t i = fonts.size(); i-- > 0;)
        if (SameFont(fonts[i], newFont)) {
            state.font = static_cast<int32_t>(i);
            return;
        }
    fonts.push_back(newFont);
    state.font = static_cast<int32_t>(fonts.size() - 1);
}

TScoreRecording::Op TScoreRecording::Make(Kind kind) const
{
    Op op{};
    op.kind = kind;
    op.state = state;
    return op;
}

TScoreRecording::Op TScoreRecording::Make(Kind kind, const PixelRect& box) const
{
    Op op = Make(kind);
    op.a = box.left, op.b = box.top, op.c = box.right, op.d = box.bottom;
    return op;
}

void TScoreRecording::Add(Op op, int64_t left, int64_t right)
{
    // A wide pen reaches past the geometry; a little more is harmless.
    const int64_t margin = std::max(1, state.penWidth) + 2;
    op.left = ClampPixel(left - margin);
    op.right = ClampPixel(right + margin);
    ops.push_back(op);
}

void TScoreRecording::LineTo(int x, int y)
{
    Op op = Make(Kind::Line);
    op.a = position.x;
    op.b = position.y;
    op.c = x;
    op.d = y;
    Add(op, std::min(position.x, x), std::max(position.x, x));
    position = {x, y};
}

void TScoreRecording::AddBox(Kind kind, const PixelRect& box)
{
    Add(Make(kind, box), box.left, box.right);
}

void TScoreRecording::Polygon(std::span<const PixelPoint> corners)
{
    Op op = Make(Kind::Polygon);
    op.at = static_cast<uint32_t>(points.size());
    op.count = static_cast<uint32_t>(corners.size());
    int64_t left = INT64_MAX, right = INT64_MIN;
    for (const PixelPoint& p : corners) {
        points.push_back(p);
        left = std::min<int64_t>(left, p.x);
        right = std::max<int64_t>(right, p.x);
    }
    if (corners.empty())
        left = right = 0;
    Add(op, left, right);
}

void TScoreRecording::Chord(const PixelRect& bounds, PixelPoint start, PixelPoint end)
{
    Op op = Make(Kind::Chord, bounds);
    op.e = start.x, op.f = start.y;
    op.at = static_cast<uint32_t>(points.size());
    points.push_back(end);
    op.count = 1;
    Add(op, bounds.left, bounds.right);
}

void TScoreRecording::SetPixel(int x, int y, uint32_t color)
{
    Op op = Make(Kind::Pixel);
    op.a = x, op.b = y;
    op.at = color;
    Add(op, x, x);
}

int TScoreRecording::TextWidth(const std::string& text) const
{
    return static_cast<int>(text.size()) * font().pixelSize;
}

void TScoreRecording::TextOut(int x, int y, const std::string& text)
{
    Op op = Make(Kind::Text);
    op.a = x, op.b = y;
    op.at = static_cast<uint32_t>(texts.size());
    texts.push_back(text);
    // No font draws a character wider than its height: the box holds the text.
    Add(op, x, int64_t{x} + int64_t{TextWidth(text)} + font().pixelSize);
}

void TScoreRecording::TextRect(const PixelRect& clip, int x, int y, const std::string& text)
{
    Op op = Make(Kind::ClippedText, clip);
    op.e = x, op.f = y;
    op.at = static_cast<uint32_t>(texts.size());
    texts.push_back(text);
    Add(op, clip.left, clip.right);
}

void TScoreRecording::DrawBitmap(int x, int y, const CanvasBitmap& bitmap)
{
    if (bitmap.Empty())
        return;
    Op op = Make(Kind::Bitmap);
    op.a = x, op.b = y;
    op.at = static_cast<uint32_t>(bitmaps.size());
    bitmaps.push_back(bitmap);
    Add(op, x, int64_t{x} + bitmap.width);
}

bool TScoreRecording::Extent(size_t begin, size_t end, int64_t& left, int64_t& right) const
{
    left = INT64_MAX;
    right = INT64_MIN;
    for (size_t i = begin; i < end && i < ops.size(); ++i) {
        left = std::min<int64_t>(left, ops[i].left);
        right = std::max<int64_t>(right, ops[i].right);
    }
    return left <= right;
}

void TScoreRecording::Replay(Canvas& target, size_t begin, size_t end, int64_t left, int64_t right,
                             int64_t dx, int64_t dy) const
{
    bool known = false;
    State now;
    for (size_t i = begin; i < end && i < ops.size(); ++i) {
        const Op& op = ops[i];
        if (op.right < left || op.left >= right)
            continue;
        // Each call carries its own pen, brush and font, so any run of calls draws alike.
        const State& s = op.state;
        if (!known || s.pen != now.pen)
            target.SetPenColor(s.pen);
        if (!known || s.penWidth != now.penWidth)
            target.SetPenWidth(s.penWidth);
        if (!known || s.brush != now.brush)
            target.SetBrushColor(s.brush);
        if (!known || s.brushStyle != now.brushStyle)
            target.SetBrushStyle(s.brushStyle);
        if (s.font >= 0 && (!known || s.font != now.font))
            target.SetFont(fonts[static_cast<size_t>(s.font)]);
        now = s;
        known = true;
        const PixelRect r{Moved(op.a, dx), Moved(op.b, dy), Moved(op.c, dx), Moved(op.d, dy)};
        switch (op.kind) {
        case Kind::Line:
            target.MoveTo(r.left, r.top);
            target.LineTo(r.right, r.bottom);
            break;
        case Kind::Fill:
            target.FillRect(r);
            break;
        case Kind::Frame:
            target.FrameRect(r);
            break;
        case Kind::Rect:
            target.Rectangle(r);
            break;
        case Kind::Ellipse:
            target.Ellipse(r);
            break;
        case Kind::Polygon: {
            std::vector<PixelPoint> moved(points.begin() + op.at,
                                          points.begin() + op.at + op.count);
            for (PixelPoint& p : moved)
                p = {Moved(p.x, dx), Moved(p.y, dy)};
            target.Polygon(moved);
            break;
        }
        case Kind::Chord: {
            const PixelPoint start{Moved(op.e, dx), Moved(op.f, dy)};
            const PixelPoint end{Moved(points[op.at].x, dx), Moved(points[op.at].y, dy)};
            target.Chord(r, start, end);
            break;
        }
        case Kind::Pixel:
            target.SetPixel(r.left, r.top, op.at);
            break;
        case Kind::Text:
            target.TextOut(r.left, r.top, texts[op.at]);
            break;
        case Kind::ClippedText:
            target.TextRect(r, Moved(op.e, dx), Moved(op.f, dy), texts[op.at]);
            break;
        case Kind::Bitmap:
            target.DrawBitmap(r.left, r.top, bitmaps[op.at]);
            break;
        }
    }
}

} // namespace kelvorn
