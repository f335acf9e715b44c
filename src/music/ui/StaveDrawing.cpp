#include "music/ui/StaveDrawing.h"

#include "general/numeric/NumericHelpers.h"
#include "music/core/ScoreLayout.h"

#include <algorithm>

namespace kelvorn {

namespace {

int64_t Middle(const TNoteStave& stave)
{
    return stave.GetMiddleY();
}

} // namespace

void DrawStaveBackground(Canvas& canvas, const TNoteStave& stave, const PixelRect& clip)
{
    const int64_t top = std::max<int64_t>(Middle(stave) - stave.RoomUp.GetValue(), clip.top);
    const int64_t bottom =
        std::min<int64_t>(Middle(stave) + stave.RoomDown.GetValue(), clip.bottom);
    if (top >= bottom)
        return;
    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.SetBrushColor(stave.BackgroundColor);
    canvas.FillRect({clip.left, ClampPixel(top), clip.right, ClampPixel(bottom)});
}

uint32_t FaintLineColor(const TNoteStave& stave)
{
    return static_cast<uint32_t>(BlendColor(static_cast<int32_t>(stave.BackgroundColor),
                                            static_cast<int32_t>(stave.ForegroundColor), 0.25));
}

void DrawStaveLines(Canvas& canvas, const TNoteStave& stave, const PixelRect& clip)
{
    int32_t from = -2, to = 2;
    if (stave.ExtraLines) {
        from = -stave.RoomUp.GetValue() / 10;
        to = stave.RoomDown.GetValue() / 10;
    }
    canvas.SetPenWidth(1);
    const uint32_t faint = FaintLineColor(stave);
    for (int64_t i = from; i <= to; ++i) {
        const int64_t y = Middle(stave) + 10 * i;
        if (y < clip.top || y >= clip.bottom)
            continue; // a clipped line draws nothing, and a tall room costs no calls
        canvas.SetPenColor(i >= -2 && i <= 2 ? stave.ForegroundColor : faint);
        canvas.MoveTo(clip.left, ClampPixel(y));
        canvas.LineTo(clip.right, ClampPixel(y));
    }
}

void DrawStaveBarLine(Canvas& canvas, const TNoteStave& stave, int32_t x)
{
    canvas.SetPenColor(stave.ForegroundColor);
    canvas.SetPenWidth(1);
    canvas.MoveTo(x, ClampPixel(Middle(stave) - 20));
    canvas.LineTo(x, ClampPixel(Middle(stave) + 20));
}

void DrawStaveEndBar(Canvas& canvas, const TNoteStave& stave, int32_t x)
{
    const int top = ClampPixel(Middle(stave) - 20), bottom = ClampPixel(Middle(stave) + 20);
    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.SetBrushColor(stave.ForegroundColor);
    canvas.FillRect({x, top, x + 1, bottom});
    canvas.FillRect({x + 3, top, x + 7, bottom});
}

void DrawStaveTie(Canvas& canvas, const TNoteStave& stave, int32_t x1, int32_t y1, int32_t x2,
                  int32_t y2, int32_t height)
{
    const auto outline = TieOutline(x1, y1, x2, y2, height);
    if (outline.empty())
        return;
    canvas.SetPenColor(stave.ForegroundColor);
    canvas.SetPenWidth(1);
    canvas.SetBrushColor(stave.ForegroundColor);
    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.Polygon(outline);
}

} // namespace kelvorn
