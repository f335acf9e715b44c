// The pane's painting: the area to repaint is split at the selected part, each span gets its
// background, an envelope wave drawn faintly behind and then the curve (or the volume
// diagram), and last the cursor line.

#include "waveui/ViewWave.h"

#include "document/wave/UnitWave.h"
#include "general/Assert.h"
#include "general/Services.h"
#include "general/numeric/NumericHelpers.h"
#include "waveui/ViewWaveGroup.h"
#include "waveui/WaveWindow.h"
#include "waveui/WaveWindowHost.h"
#include "waveui/drawing/VolumeDiagram.h"
#include "waveui/drawing/WaveCurve.h"

#include <algorithm>
#include <limits>

namespace kelvorn {

void TViewWave::PaintClip(const PixelRect& rect)
{
    if (Unit().IsUserDrawing()) {
        PaintUserDraw();
        return;
    }
    const TWaveViewProps waveProps = group.GetWaveViewProps();
    const TVoldViewProps voldProps = group.GetVoldViewProps();
    PaintRect(rect, group.GetWaveWindKind(), waveProps, voldProps);
}

void TViewWave::PaintRect(const PixelRect& rect, uint8_t kind, const TWaveViewProps& waveProps,
                          const TVoldViewProps& voldProps)
{
    const TUnitWave& unit = Unit();
    const PixelRect client = ClientRect();
    if (unit.GetValues() == 0 || client.Width() <= 1) {
        FillBackground(rect, waveProps);
        return;
    }
    if (unit.IsCursor()) {
        PaintPart(rect, client, false, false, waveProps, voldProps, kind);
    } else {
        const int a = std::clamp(SampleToPixel(unit.GetPartBegin()), rect.left, rect.right);
        const int b = std::clamp(SampleToPixel(unit.GetPartEnd()), rect.left, rect.right);
        if (rect.left < a)
            PaintPart({rect.left, rect.top, a, rect.bottom}, client, false, false, waveProps,
                      voldProps, kind);
        if (a < b)
            PaintPart({a, rect.top, b, rect.bottom}, client, true, false, waveProps, voldProps,
                      kind);
        if (b < rect.right)
            PaintPart({b, rect.top, rect.right, rect.bottom}, client, false, false, waveProps,
                      voldProps, kind);
    }
    const int x = SampleToPixel(unit.GetPos1());
    if (rect.left <= x && x <= rect.right)
        DrawCursorLine(kind, waveProps, voldProps);
}

void TViewWave::PaintPart(const PixelRect& span, const PixelRect& client, bool inverted,
                          bool userDraw, const TWaveViewProps& waveProps,
                          const TVoldViewProps& voldProps, uint8_t kind)
{
    KV_SOFT_ASSERT(!userDraw || !inverted);
    if (fullRepaint)
        return;
    const TUnitWave& unit = Unit();
    const double zoomBegin = GetZoomBegin();
    const double zoomEnd = GetZoomEnd();
    if (kind != TViewWaveGroup::waveWindWave) {
        KV_SOFT_ASSERT(!userDraw);
        group.DrawVolume(canvas, client, span, zoomBegin, zoomEnd, voldProps, inverted);
        return;
    }
    // The selected part swaps the curve's and the background's colours.
    const uint32_t background =
        uint32_t(inverted ? waveProps.SingleColor : waveProps.BackgroundColor);
    TUnitWave* other = nullptr;
    WaveWindowHost* host = FindService<WaveWindowHost>();
    const double strength = waveProps.EnvelopeStrength.GetValue();
    if (waveProps.DrawEnvelope && strength != 0 && host)
        other = host->FindUnitWave(waveProps.EnvelopeName.GetCaption());
    auto* otherWindow = other ? dynamic_cast<TMDIChildWave*>(other->GetChildWave()) : nullptr;
    if (other)
        KV_SOFT_ASSERT(otherWindow != NULL);
    const int32_t rangeBegin = unit.GetRangeBegin();
    const int32_t rangeEnd = unit.GetRangeEnd();
    if (!otherWindow || rangeEnd == rangeBegin) {
        FillColumns(background, span.left, span.right);
    } else {
        // The envelope is stretched over the range this wave's operations work on.
        const TViewWaveGroup& otherGroup = otherWindow->GetViewWaveGroup();
        const double otherCount = other->GetValues();
        const double envelopeBegin = LinearMap(zoomBegin, rangeBegin, rangeEnd, 0.0, otherCount);
        const double envelopeEnd = LinearMap(zoomEnd, rangeBegin, rangeEnd, 0.0, otherCount);
        if (otherGroup.GetWaveWindKind() == TViewWaveGroup::waveWindWave) {
            TWaveViewProps faint = otherGroup.GetWaveViewProps();
            faint.BlendColors(waveProps.BackgroundColor, strength);
            FillColumns(uint32_t(inverted ? faint.SingleColor : faint.BackgroundColor), span.left,
                        span.right);
            if (other->GetValues() >= 2)
                DrawWave(canvas, client, span, envelopeBegin, envelopeEnd, *other->GetSound(),
                         faint, otherGroup.GetWaveViewProps(), inverted, spacing);
        } else {
            TVoldViewProps faint = otherGroup.GetVoldViewProps();
            faint.BlendColors(waveProps.BackgroundColor, strength);
            otherGroup.DrawVolume(canvas, client, span, envelopeBegin, envelopeEnd, faint,
                                  inverted);
        }
    }
    // Kept: a wave of a single value shows no curve.
    if (unit.GetValues() >= 2)
        DrawWave(canvas, client, span, zoomBegin, zoomEnd, *unit.GetSound(), waveProps, waveProps,
                 inverted, spacing);
}

void TViewWave::PaintUserDraw()
{
    const PixelRect client = ClientRect();
    if (client.Width() <= 1)
        return;
    const TUnitWave& unit = Unit();
    const TWaveViewProps waveProps = group.GetWaveViewProps();
    const TVoldViewProps voldProps = group.GetVoldViewProps();
    TDrawNode* nodes = unit.GetDrawNodes();
    if (nodes && nodes->GetNext())
        PaintPart(client, client, false, true, waveProps, voldProps, group.GetWaveWindKind());
    else
        FillBackground(client, waveProps);
    const int32_t count = unit.GetValues();
    if (count <= 0)
        return;
    for (const TDrawNode* node = nodes; node; node = node->GetNext())
        DrawDrawNode(canvas, *node, uint32_t(waveProps.SingleColor),
                     uint32_t(waveProps.CursorColor), client, GetZoomBegin(), GetZoomEnd(), count);
}

void TViewWave::PaintDirect(const PixelRect& rect)
{
    const PixelRect client = ClientRect();
    PixelRect area{std::max(rect.left, client.left), client.top, std::min(rect.right, client.right),
                   client.bottom};
    if (area.right <= area.left)
        return;
    PaintClip(area);
    update(QRect(area.left, area.top, area.Width(), area.Height()));
}

void TViewWave::PaintArea(const PixelRect& rect)
{
    const PixelRect client = ClientRect();
    const PixelRect area{std::max(rect.left, client.left), std::max(rect.top, client.top),
                         std::min(rect.right, client.right), std::min(rect.bottom, client.bottom)};
    if (area.right <= area.left || area.bottom <= area.top)
        return;
    PaintClip(area);
    update(QRect(area.left, area.top, area.Width(), area.Height()));
}

void TViewWave::RefreshVolumeColumns(int32_t first, int32_t end, int32_t gridWidth, double b,
                                     double e, double n, int channels, int side, bool drawSingle)
{
    // A full repaint on its way paints these columns anyway.
    if (fullRepaint)
        return;
    PixelRect rect;
    if (VolumeRefreshRect(first, end, gridWidth, b, e, n, Count(), GetZoomBegin(), GetZoomEnd(),
                          ClientRect(), channels, side, drawSingle, rect))
        PaintArea(rect);
}

void TViewWave::RefreshEnvelopeColumns(int32_t first, int32_t end, int32_t gridWidth,
                                       double rangeBegin, double rangeEnd)
{
    if (fullRepaint)
        return;
    // The envelope's whole grid spans this wave's range: as if the grid were computed over a
    // wave of rangeEnd - rangeBegin samples shown from zoomBegin - rangeBegin on.
    PixelRect rect;
    if (VolumeRefreshRect(first, end, gridWidth, 0.0, 1.0, 1.0, rangeEnd - rangeBegin,
                          GetZoomBegin() - rangeBegin, GetZoomEnd() - rangeBegin, ClientRect(), 1,
                          sideWhole, false, rect))
        PaintArea(rect);
}

void TViewWave::RepaintSamples(int32_t begin, int32_t end)
{
    if (ClientRect().Width() <= 1 || fullRepaint)
        return;
    const int left = SampleToPixel(begin);
    const int right = SampleToPixel(end);
    PaintDirect({left > std::numeric_limits<int>::min() ? left - 1 : left, 0,
                 right < std::numeric_limits<int>::max() - 1 ? right + 2 : right, 0});
}

void TViewWave::RepaintSample(int32_t p)
{
    if (ClientRect().Width() <= 1 || fullRepaint)
        return;
    const int x = SampleToPixel(p);
    PaintDirect({x > std::numeric_limits<int>::min() ? x - 1 : x, 0,
                 x < std::numeric_limits<int>::max() - 1 ? x + 2 : x, 0});
}

void TViewWave::DrawCursorLine(uint8_t kind, const TWaveViewProps& waveProps,
                               const TVoldViewProps& voldProps)
{
    const TUnitWave& unit = Unit();
    const PixelRect client = ClientRect();
    int32_t p = unit.GetPos1();
    // A cursor behind the last value stands on the last value's column.
    if (p == unit.GetValues() && p > 0)
        --p;
    const int x = SampleToPixel(p);
    canvas.SetPenWidth(1);
    canvas.SetPenColor(uint32_t(kind == TViewWaveGroup::waveWindWave ? waveProps.CursorColor
                                                                     : voldProps.CursorColor));
    canvas.MoveTo(x, client.top);
    canvas.LineTo(x, client.bottom);
    update(QRect(x, client.top, 1, client.Height()));
}

void TViewWave::DrawCursorChecked()
{
    if (ClientRect().Width() <= 1 || fullRepaint)
        return;
    DrawCursorLine(group.GetWaveWindKind(), group.GetWaveViewProps(), group.GetVoldViewProps());
}

void TViewWave::FillBackground(const PixelRect& rect, const TWaveViewProps& props)
{
    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.SetBrushColor(uint32_t(props.BackgroundColor));
    canvas.FillRect(rect);
}

void TViewWave::FillColumns(uint32_t colour, int left, int right)
{
    const PixelRect client = ClientRect();
    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.SetBrushColor(colour);
    canvas.FillRect({left, client.top, right, client.bottom});
}

} // namespace kelvorn
