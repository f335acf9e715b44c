#include "waveui/drawing/WaveCurve.h"

#include "general/numeric/NumericHelpers.h"

#include <algorithm>
#include <cmath>

namespace kelvorn {

namespace {

uint32_t ToColour(int32_t colour)
{
    return static_cast<uint32_t>(colour) & 0xFFFFFF;
}

// Value to row: 32767 lands on the top row, -32768 on the row below the area, as the stored
// drawings of the program expect.
struct ValueScale
{
    double k;
    double c;

    explicit ValueScale(const PixelRect& area)
        : k(-static_cast<double>(area.bottom - area.top) / 65536.0),
          c((static_cast<double>(area.top) + area.bottom) * 0.5)
    {
    }
    int Row(int16_t value) const { return static_cast<int>(value * k + c); }
};

// The column walk shared by both curves: which columns lie over the wave, where the first one
// starts reading and how far apart the values of a column are.
struct ColumnWalk
{
    int x0 = 0;
    int x1 = 0;
    double s = 0.0;
    double step = 0.0;
    int32_t perPixel = 1;
    int32_t last = 0;

    // Rounding of the running position may reach a hair past either end; every read is kept
    // inside the wave whatever the spacing adds.
    int32_t Index(double position) const
    {
        if (!(position > 0.0))
            return 0;
        if (position >= last)
            return last;
        return static_cast<int32_t>(position);
    }
};

bool StartWalk(const PixelRect& span, const PixelRect& area, int32_t count, double sampleBegin,
               double sampleEnd, const TWaveViewProps& style, ColumnWalk& walk)
{
    if (count <= 0 || span.Width() <= 0 || span.Height() <= 0 || area.Width() <= 0 ||
        area.Height() <= 0)
        return false;
    if (span.bottom <= area.top || area.bottom <= span.top)
        return false;
    if (!std::isfinite(sampleBegin) || !std::isfinite(sampleEnd) || !(sampleEnd > sampleBegin))
        return false;
    walk.perPixel = std::max<int32_t>(style.ValuesPerPixel.GetValue(), 1);
    walk.step = (sampleEnd - sampleBegin) / walk.perPixel / span.Width();
    walk.last = count - 1;
    walk.x0 = span.left;
    walk.x1 = span.right;
    // Both ends are mapped with the range as given, so a span over both ends of a short wave
    // keeps its columns where they belong.
    if (sampleBegin < 0.0)
        walk.x0 = TruncToInt32(LinearMap(0.0, sampleBegin, sampleEnd, span.left, span.right));
    if (sampleEnd > walk.last)
        walk.x1 = TruncToInt32(LinearMap(walk.last, sampleBegin, sampleEnd, span.left, span.right));
    walk.x0 = std::clamp(walk.x0, span.left, span.right);
    walk.x1 = std::clamp(walk.x1, span.left, span.right);
    walk.s = std::max(sampleBegin, 0.0);
    return walk.x0 < walk.x1;
}

// The random offset inside a column: the 15-bit generator keeps it within the column, whatever
// generator the rest of the program uses.
double RandomOffset(Random15& spacing, const ColumnWalk& walk)
{
    return spacing.Next() * static_cast<double>(walk.perPixel) * walk.step / Random15::Max;
}

void PutPoint(Canvas& canvas, int x, int y, uint32_t colour, double strength)
{
    if (strength == 1.0) {
        canvas.SetPixel(x, y, colour);
        return;
    }
    uint32_t present = canvas.Pixel(x, y);
    if (present == Canvas::InvalidColor)
        return;
    // BlendColor keeps every byte within 0..255, so a strength above 1 or below 0 saturates
    // instead of running into the neighbouring byte.
    canvas.SetPixel(x, y,
                    ToColour(BlendColor(static_cast<int32_t>(present), static_cast<int32_t>(colour),
                                        strength)));
}

// A stroke is a one-pixel-wide solid fill: the same pixels as a pen line from lo to hi + 1, at
// a fraction of the cost of stepping a line, which makes up most of a pane's paint. The brush
// is left in the stroke's colour.
void VerticalStroke(Canvas& canvas, int x, int lo, int hi, uint32_t colour)
{
    canvas.SetBrushColor(colour);
    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.FillRect({x, lo, x + 1, hi + 1});
}

struct Stroke
{
    int lo;
    int hi;
    void Add(int y)
    {
        lo = std::min(lo, y);
        hi = std::max(hi, y);
    }
};

} // namespace

void DrawWaveChannel(Canvas& canvas, const PixelRect& span, const PixelRect& area, const Wave& wave,
                     double sampleBegin, double sampleEnd, uint32_t colour,
                     const TWaveViewProps& style, Random15& spacing)
{
    ColumnWalk walk;
    if (!StartWalk(span, area, wave.Values(), sampleBegin, sampleEnd, style, walk))
        return;
    const ValueScale scale(area);
    const int16_t* data = wave.Data();
    const double columnLength = walk.perPixel * walk.step;
    const double strength = style.Strength.GetValue();
    const bool random = style.DistKind == distKindRandom;

    if (style.DrawKind == drawKindPoints) {
        for (int x = walk.x0; x < walk.x1; ++x) {
            double s = walk.s;
            for (int32_t n = 0; n < walk.perPixel; ++n) {
                double at;
                if (random) {
                    at = s + RandomOffset(spacing, walk);
                } else {
                    walk.s += walk.step;
                    at = walk.s;
                }
                PutPoint(canvas, x, scale.Row(data[walk.Index(at)]), colour, strength);
            }
            if (random)
                walk.s = s + columnLength;
        }
        return;
    }

    for (int x = walk.x0; x < walk.x1; ++x) {
        Stroke stroke;
        if (random) {
            int y = scale.Row(data[walk.Index(walk.s + RandomOffset(spacing, walk))]);
            stroke = {y, y};
            for (int32_t n = 0; n < walk.perPixel; ++n)
                stroke.Add(scale.Row(data[walk.Index(walk.s + RandomOffset(spacing, walk))]));
            walk.s += columnLength;
        } else {
            int y = scale.Row(data[walk.Index(walk.s)]);
            stroke = {y, y};
            for (int32_t n = 0; n < walk.perPixel; ++n) {
                walk.s += walk.step;
                stroke.Add(scale.Row(data[walk.Index(walk.s)]));
            }
        }
        VerticalStroke(canvas, x, stroke.lo, stroke.hi, colour);
    }
}

void DrawCurveJoined(Canvas& canvas, const PixelRect& span, const PixelRect& area, const Wave& left,
                     const Wave& right, double sampleBegin, double sampleEnd, uint32_t single,
                     uint32_t colourA, uint32_t colourB, const TWaveViewProps& style,
                     Random15& spacing)
{
    if (left.IsEmpty() || right.IsEmpty())
        return;
    // A stereo sound keeps its channels equal in length; the shorter one bounds the reads anyway.
    int32_t count = std::min(left.Values(), right.Values());
    ColumnWalk walk;
    if (!StartWalk(span, area, count, sampleBegin, sampleEnd, style, walk))
        return;
    const ValueScale scale(area);
    const bool leftAtFront = style.FrontKind == frontLeft;
    const int16_t* back = leftAtFront ? right.Data() : left.Data();
    const int16_t* front = leftAtFront ? left.Data() : right.Data();
    const uint32_t backColour = leftAtFront ? colourB : colourA;
    const uint32_t frontColour = leftAtFront ? colourA : colourB;
    const double columnLength = walk.perPixel * walk.step;
    const double strength = style.Strength.GetValue();
    const bool random = style.DistKind == distKindRandom;
    const bool mixed = style.FrontKind == frontMixed;

    if (style.DrawKind == drawKindPoints) {
        for (int x = walk.x0; x < walk.x1; ++x) {
            const double s = walk.s;
            if (mixed) {
                for (int32_t n = 0; n < walk.perPixel; ++n) {
                    double at;
                    if (random) {
                        at = s + RandomOffset(spacing, walk);
                    } else {
                        walk.s += walk.step;
                        at = walk.s;
                    }
                    int32_t i = walk.Index(at);
                    PutPoint(canvas, x, scale.Row(back[i]), backColour, strength);
                    PutPoint(canvas, x, scale.Row(front[i]), frontColour, strength);
                }
            } else {
                // The front wave replays the back wave's positions, so both channels are read
                // at the same places as in the other layouts.
                Random15 replay = spacing;
                for (int pass = 0; pass < 2; ++pass) {
                    const int16_t* data = pass == 0 ? back : front;
                    const uint32_t colour = pass == 0 ? backColour : frontColour;
                    Random15& generator = pass == 0 ? spacing : replay;
                    double at = s;
                    for (int32_t n = 0; n < walk.perPixel; ++n) {
                        double read;
                        if (random) {
                            read = s + RandomOffset(generator, walk);
                        } else {
                            at += walk.step;
                            read = at;
                        }
                        PutPoint(canvas, x, scale.Row(data[walk.Index(read)]), colour, strength);
                    }
                    if (!random)
                        walk.s = at;
                }
            }
            if (random)
                walk.s = s + columnLength;
        }
        return;
    }

    for (int x = walk.x0; x < walk.x1; ++x) {
        int32_t i;
        if (random)
            i = walk.Index(walk.s + RandomOffset(spacing, walk));
        else
            i = walk.Index(walk.s);
        int yBack = scale.Row(back[i]);
        int yFront = scale.Row(front[i]);
        Stroke backStroke{yBack, yBack};
        Stroke frontStroke{yFront, yFront};
        for (int32_t n = 0; n < walk.perPixel; ++n) {
            if (random) {
                i = walk.Index(walk.s + RandomOffset(spacing, walk));
            } else {
                walk.s += walk.step;
                i = walk.Index(walk.s);
            }
            backStroke.Add(scale.Row(back[i]));
            frontStroke.Add(scale.Row(front[i]));
        }
        if (random)
            walk.s += columnLength;
        VerticalStroke(canvas, x, backStroke.lo, backStroke.hi, backColour);
        VerticalStroke(canvas, x, frontStroke.lo, frontStroke.hi, frontColour);
        if (mixed) {
            int lo = std::max(backStroke.lo, frontStroke.lo);
            int hi = std::min(backStroke.hi, frontStroke.hi);
            if (lo <= hi)
                VerticalStroke(canvas, x, lo, hi, single);
        }
    }
}

void PaintTimeGrid(Canvas& canvas, double zoomBegin, double zoomEnd, const PixelRect& span,
                   const PixelRect& area, int32_t sampleFreq, uint32_t gridColor)
{
    canvas.SetPenColor(gridColor);
    int middle = TruncToInt32((static_cast<double>(area.top) + area.bottom) * 0.5);
    canvas.MoveTo(span.left, middle);
    canvas.LineTo(span.right, middle);
    if (zoomEnd == zoomBegin || area.Width() <= 0 || sampleFreq <= 0 || span.Width() < 0)
        return;
    const double rate = sampleFreq;
    double seconds = (zoomEnd - zoomBegin) / rate;
    // About one line every 20 pixels, on a round time.
    double step = NiceStep(seconds / (0.05 * area.Width()));
    double previous =
        std::trunc(MapPixelToTime(area, zoomBegin, zoomEnd, span.left - 1, rate) / step);
    // The column right of the span is included, kept: a full paint draws the line there too.
    for (int x = span.left; x <= span.right; ++x) {
        double index = std::trunc(MapPixelToTime(area, zoomBegin, zoomEnd, x, rate) / step);
        if (index > previous) {
            canvas.MoveTo(x, span.top);
            canvas.LineTo(x, span.bottom);
        }
        previous = index;
    }
}

void DrawWave(Canvas& canvas, const PixelRect& area, const PixelRect& span, double zoomBegin,
              double zoomEnd, const Sound& sound, const TWaveViewProps& colours,
              const TWaveViewProps& layout, bool inverted, Random15& spacing)
{
    if (area.Width() <= 0 || area.Height() <= 0 || span.Width() <= 0 || span.Height() <= 0)
        return;
    // The selected part swaps curve and background, and in a joined stereo curve the channels'
    // colours too, so the selection reads as a negative.
    const uint32_t colourA = ToColour(inverted ? colours.RightColor : colours.LeftColor);
    const uint32_t colourB = ToColour(inverted ? colours.LeftColor : colours.RightColor);
    const uint32_t single = ToColour(inverted ? colours.BackgroundColor : colours.SingleColor);
    const uint32_t grid = ToColour(colours.GridColor);
    const int32_t rate = sound.GetSampleFreq();
    const double sampleBegin = MapPixelCentre(area, zoomBegin, zoomEnd, span.left);
    const double sampleEnd = MapPixelCentre(area, zoomBegin, zoomEnd, span.right);

    if (sound.GetMonoStereo() == 2) {
        const Wave* left = sound.GetLeftWave();
        const Wave* right = sound.GetRightWave();
        if (left == nullptr || right == nullptr)
            return;
        if (!layout.DrawSingle) {
            DrawCurveJoined(canvas, span, area, *left, *right, sampleBegin, sampleEnd, single,
                            colourA, colourB, layout, spacing);
            if (layout.UseGrid)
                PaintTimeGrid(canvas, zoomBegin, zoomEnd, span, area, rate, grid);
            return;
        }
        const int middle = (area.top + area.bottom) / 2;
        const PixelRect upper{area.left, area.top, area.right, middle};
        const PixelRect lower{area.left, middle, area.right, area.bottom};
        DrawWaveChannel(canvas, span, upper, *left, sampleBegin, sampleEnd, single, layout,
                        spacing);
        if (layout.UseGrid)
            PaintTimeGrid(canvas, zoomBegin, zoomEnd, span, upper, rate, grid);
        DrawWaveChannel(canvas, span, lower, *right, sampleBegin, sampleEnd, single, layout,
                        spacing);
        if (layout.UseGrid)
            PaintTimeGrid(canvas, zoomBegin, zoomEnd, span, lower, rate, grid);
        // The line between the halves belongs to the layout, not to the grid.
        canvas.SetPenColor(grid);
        canvas.MoveTo(span.left, middle);
        canvas.LineTo(span.right, middle);
        return;
    }

    WaveRef mono = sound.GetMonoWave(nullptr);
    if (mono.get() != nullptr)
        DrawWaveChannel(canvas, span, area, *mono, sampleBegin, sampleEnd, single, layout, spacing);
    if (layout.UseGrid)
        PaintTimeGrid(canvas, zoomBegin, zoomEnd, span, area, rate, grid);
}

void DrawDrawNode(Canvas& canvas, const TDrawNode& node, uint32_t pen, uint32_t brush,
                  const PixelRect& rect, double zoomBegin, double zoomEnd, int32_t values)
{
    if (!node.IsVisible() || values <= 0 || zoomEnd == zoomBegin)
        return;
    double px = node.GetPixelX(rect, zoomBegin, zoomEnd, values);
    double py = node.GetPixelY(rect);
    // A node far outside the pane (zoomed in elsewhere) shows nothing; skipping it also keeps
    // the ellipse's corners inside the integer range.
    constexpr int reach = 8;
    if (!(px > rect.left - reach && px < rect.right + reach && py > rect.top - reach &&
          py < rect.bottom + reach))
        return;
    int x = static_cast<int>(px);
    int y = static_cast<int>(py);
    canvas.SetBrushColor(brush);
    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.SetPenColor(pen);
    canvas.Ellipse({x - 3, y - 3, x + 4, y + 4});
    canvas.SetPixel(x, y, pen);
}

} // namespace kelvorn
