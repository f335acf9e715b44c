#include "waveui/ViewWaveGroup.h"

#include "document/wave/UnitWave.h"
#include "general/Assert.h"
#include "general/Services.h"
#include "platform/Canvas.h"
#include "waveui/ViewWave.h"
#include "waveui/WaveWindow.h"
#include "waveui/WaveWindowHost.h"
#include "waveui/volume/QueuedVolumeSink.h"
#include "window_base/CursorTable.h"

#include <QSplitter>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <span>

namespace kelvorn {

TViewWaveGroup::TViewWaveGroup(TMDIChildWave* window, const TWaveViewProps& waveViewProps,
                               const TVoldViewProps& voldViewProps)
    : window(window), waveViewProps(waveViewProps), voldViewProps(voldViewProps)
{
    // The notices are served on the window's thread and dropped once the sink is gone, so a
    // notice still queued when the group goes reaches nothing.
    if (window)
        volumeSink = std::make_unique<QueuedVolumeSink>(
            window, [this] { DrawNewVolumeColumns(); }, [this](bool) { DrawNewVolumeColumns(); });
}

TViewWaveGroup::~TViewWaveGroup()
{
    KV_SOFT_ASSERT(!volumeWriter.HasWriter());
    volumeWriter.StopVolumeWriter();
    // Taken out of the fields first: a pane going away must not be reached through the group.
    TViewWave* first = ViewFirst;
    TViewWave* second = ViewSecond;
    ViewFirst = ViewSecond = nullptr;
    delete first;
    delete second;
}

TUnitWave& TViewWaveGroup::GetUnitWave() const
{
    return window->GetUnitWave();
}

// ---- Panes ------------------------------------------------------------------------------------

void TViewWaveGroup::RegisterView(TViewWave* view)
{
    if (!ViewFirst) {
        ViewFirst = view;
    } else if (KV_SOFT_ASSERT(!ViewSecond)) {
        ViewSecond = view;
    } else {
        return;
    }
    view->UpdateDoubleBuffered();
}

TViewWave* TViewWaveGroup::GetView(int n) const
{
    if (!KV_SOFT_ASSERT(n <= 2 && n >= 1))
        return nullptr;
    return n == 1 ? ViewFirst : ViewSecond;
}

int TViewWaveGroup::ViewNumber(const TViewWave* view) const
{
    if (view && view == ViewFirst)
        return 1;
    if (view && view == ViewSecond)
        return 2;
    return 0;
}

int TViewWaveGroup::GetWidth() const
{
    if (!KV_SOFT_ASSERT(ViewFirst) || !KV_SOFT_ASSERT(ViewSecond))
        return 0;
    return ViewFirst->width() + ViewSecond->width();
}

int TViewWaveGroup::GetHeight() const
{
    if (!KV_SOFT_ASSERT(ViewFirst) || !KV_SOFT_ASSERT(ViewSecond))
        return 0;
    // The panes stand side by side at one height; a zoomed pane gives the bottom of it to its
    // scroll bar, so the height the volume diagram fills in both is the smaller drawing area.
    KV_SOFT_ASSERT(ViewFirst->height() == ViewSecond->height());
    return std::min(ViewFirst->ClientRect().Height(), ViewSecond->ClientRect().Height());
}

// ---- Records and diagram kind -----------------------------------------------------------------

void TViewWaveGroup::SetWaveViewProps(const TWaveViewProps& props)
{
    waveViewProps = props;
    SetWaveWindKind(waveWindWave);
}

void TViewWaveGroup::SetVoldViewProps(const TVoldViewProps& props)
{
    voldViewProps = props;
    SetWaveWindKind(waveWindVolume);
}

void TViewWaveGroup::SetWaveWindKind(uint8_t kind)
{
    waveWindKind = kind;
    if (kind == waveWindWave)
        StopVolumeWriter();
    if (window)
        window->UpdateIcon(kind);
    UpdateDoubleBuffered();
}

void TViewWaveGroup::UpdateDoubleBuffered()
{
    for (TViewWave* view : {ViewFirst, ViewSecond})
        if (view)
            view->UpdateDoubleBuffered();
}

// ---- Fan-out ----------------------------------------------------------------------------------

void TViewWaveGroup::SaveZoom(int32_t begin, int32_t end)
{
    for (TViewWave* view : {ViewFirst, ViewSecond})
        if (view)
            view->SaveZoom(begin, end);
}

void TViewWaveGroup::RestoreZoom(int32_t begin, int32_t end)
{
    for (TViewWave* view : {ViewFirst, ViewSecond})
        if (view)
            view->RestoreZoom(begin, end);
}

void TViewWaveGroup::InvalidateViews()
{
    for (TViewWave* view : {ViewFirst, ViewSecond})
        if (KV_SOFT_ASSERT(view))
            view->InvalidateAll();
}

void TViewWaveGroup::SetMouseCursor(int cursor)
{
    for (TViewWave* view : {ViewFirst, ViewSecond})
        if (view)
            view->setCursor(ProgramCursor(cursor));
}

void TViewWaveGroup::RepaintRange(int32_t begin, int32_t end)
{
    for (TViewWave* view : {ViewFirst, ViewSecond})
        if (KV_SOFT_ASSERT(view))
            view->RepaintSamples(begin, end);
}

void TViewWaveGroup::RepaintPosition(int32_t position)
{
    for (TViewWave* view : {ViewFirst, ViewSecond})
        if (KV_SOFT_ASSERT(view))
            view->RepaintSample(position);
}

void TViewWaveGroup::DrawCursor(int32_t /*position*/)
{
    // The pane draws the document's own first position, which the caller has just set.
    for (TViewWave* view : {ViewFirst, ViewSecond})
        if (KV_SOFT_ASSERT(view))
            view->DrawCursorChecked();
}

void TViewWaveGroup::ZoomChanged(TViewWave* view)
{
    if (!window)
        return;
    if (WaveWindowHost* host = FindService<WaveWindowHost>())
        host->WaveZoomChanged(*window, ViewNumber(view));
    GetUnitWave().SetViewModified();
}

uint8_t TViewWaveGroup::GetZoomMode() const
{
    return window ? window->GetZoomMode() : 0;
}

void TViewWaveGroup::SetZoomMode(uint8_t mode)
{
    if (window)
        window->SetZoomMode(mode);
}

// ---- Volume diagram ---------------------------------------------------------------------------

void TViewWaveGroup::StartVolumeWriter()
{
    if (!KV_SOFT_ASSERT(window != NULL))
        return;
    // Stopped before anything else: an empty wave gets no writer, and the one running must
    // not go on reading a sound the document has let go.
    StopVolumeWriter();
    KV_SOFT_ASSERT(!volumeWriter.HasWriter());
    const bool started =
        volumeWriter.StartVolumeWriter(GetUnitWave().GetSound(), voldViewProps, volumeSink.get());
    // New grids show silence until their columns come; an empty wave shows its background.
    InvalidateViews();
    if (!started)
        if (WaveWindowHost* host = FindService<WaveWindowHost>())
            host->WaveChanged(*window);
}

void TViewWaveGroup::StopVolumeWriter()
{
    volumeWriter.StopVolumeWriter();
}

bool TViewWaveGroup::IsVolumeWriterRunning() const
{
    const TThreadVolumeWriter* writer = volumeWriter.GetWriter();
    return writer && !writer->Ended();
}

VolumeGrids TViewWaveGroup::GetVolumeGrids() const
{
    return {GetVolumeArraySingle(), GetVolumeArrayLeft(), GetVolumeArrayRight()};
}

void TViewWaveGroup::DrawNewVolumeColumns()
{
    // A notice queued before the curve was shown: the diagram is on no screen.
    if (!window || !ViewFirst || !ViewSecond || waveWindKind != waveWindVolume)
        return;
    const TUnitWave& unit = GetUnitWave();
    const double count = unit.GetValues();
    const int channels = unit.GetMonoStereo();
    const bool drawSingle = voldViewProps.DrawSingle != 0;
    struct Source
    {
        TVolumeArray* grid;
        int side;
    };
    // Only the grids of the document's kind: the other kind's grids are left from an earlier
    // run and never grow.
    const Source mono[] = {{volumeWriter.GetVolumeArraySingle(), sideWhole}};
    const Source stereo[] = {{volumeWriter.GetVolumeArrayLeft(), sideLeft},
                             {volumeWriter.GetVolumeArrayRight(), sideRight}};
    for (const Source& source :
         channels == 1 ? std::span<const Source>(mono) : std::span<const Source>(stereo)) {
        int32_t first = 0, end = 0;
        if (!source.grid || !source.grid->TakeNewColumns(first, end))
            continue;
        const int32_t width = source.grid->GetWidth();
        // The writer's last column lands, clamped, in the grid's last one, which may have been
        // painted already: it is painted again.
        if (end > width) {
            first = std::min(first, width - 1);
            end = width;
        }
        RefreshVolumeColumns(first, end, width, 0.0, count, count, channels, source.side,
                             drawSingle);
        if (WaveWindowHost* host = FindService<WaveWindowHost>())
            host->VolumeColumnsDrawn(*window, first, end);
    }
}

void TViewWaveGroup::RefreshVolumeColumns(int32_t first, int32_t end, int32_t gridWidth, double b,
                                          double e, double n, int channels, int side,
                                          bool drawSingle)
{
    for (TViewWave* view : {ViewFirst, ViewSecond})
        if (KV_SOFT_ASSERT(view))
            view->RefreshVolumeColumns(first, end, gridWidth, b, e, n, channels, side, drawSingle);
}

void TViewWaveGroup::DrawVolume(Canvas& canvas, const PixelRect& area, const PixelRect& span,
                                double zoomBegin, double zoomEnd, const TVoldViewProps& props,
                                bool inverted) const
{
    if (!window)
        return;
    const TUnitWave& unit = GetUnitWave();
    const int channels = unit.GetMonoStereo();
    // Columns not computed yet show what silence would: the cells paint over this.
    const uint32_t silence = channels == 2 && !props.DrawSingle
                                 ? VolumeJoinedColor(0.0, 0.0, props, inverted)
                                 : VolumeSingleColor(0.0, props, inverted);
    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.SetBrushColor(silence);
    canvas.FillRect(span);
    kelvorn::DrawVolume(canvas, area, span, zoomBegin, zoomEnd, unit.GetValues(), channels,
                        GetVolumeGrids(), props, inverted);
}

// ---- Split position ---------------------------------------------------------------------------

double TViewWaveGroup::GetSplitPosition() const
{
    if (splitWaiting)
        return waitingSplitPosition;
    if (!ViewFirst || !ViewSecond)
        return 0.5;
    const int total = ViewFirst->width() + ViewSecond->width();
    if (total <= 0)
        return 0.5;
    return double(ViewFirst->width()) / total;
}

void TViewWaveGroup::SetSplitPosition(double ratio)
{
    if (!KV_SOFT_ASSERT(ViewFirst) || !KV_SOFT_ASSERT(ViewSecond) || !window)
        return;
    const int total = ViewFirst->width() + ViewSecond->width();
    // With fewer than 2 pixels each pane cannot keep one, and before the window is shown the
    // panes' widths are not yet the window's: the ratio waits until the panes are laid out.
    if (total < 2 || !window->Splitter().isVisible()) {
        waitingSplitPosition = ratio;
        splitWaiting = true;
        return;
    }
    splitWaiting = false;
    // A ratio from outside 0..1 (or not a number) would push a pane out of the window.
    if (!(ratio >= 0.0))
        ratio = 0.0;
    ratio = std::min(ratio, 1.0);
    const double wanted = std::trunc(total * ratio + 0.5);
    const int first = int(std::clamp(wanted, 1.0, double(total - 1)));
    window->Splitter().setSizes({first, total - first});
}

void TViewWaveGroup::PaneResized()
{
    if (!splitWaiting || !window)
        return;
    // Not from inside the splitter's own layout pass, which is what resized the pane.
    QTimer::singleShot(0, window, [this] {
        if (splitWaiting)
            SetSplitPosition(waitingSplitPosition);
    });
}

void TViewWaveGroup::SetPendingSplitPosition(double ratio)
{
    pendingSplitPosition = ratio;
    splitPending = true;
}

void TViewWaveGroup::ApplyPendingSplitPosition()
{
    if (splitPending)
        SetSplitPosition(pendingSplitPosition);
}

void TViewWaveGroup::ApplyPendingZoom()
{
    if (!KV_SOFT_ASSERT(ViewFirst) || !KV_SOFT_ASSERT(ViewSecond))
        return;
    ViewFirst->ApplyPendingZoom();
    ViewSecond->ApplyPendingZoom();
}

// ---- Side file --------------------------------------------------------------------------------

TWaveDisplayPart TViewWaveGroup::GetDisplayPart() const
{
    TWaveDisplayPart part;
    part.SplitPosition = GetSplitPosition();
    const TViewWave* views[2] = {ViewFirst, ViewSecond};
    for (int i = 0; i < 2; ++i) {
        const TViewWave* view = views[i];
        if (view && view->IsZoomed()) {
            part.View[i].zoomed = true;
            part.View[i].begin = int32_t(view->GetZoomBegin());
            part.View[i].end = int32_t(view->GetZoomEnd());
        }
    }
    KV_SOFT_ASSERT(waveWindKind <= waveWindVolume);
    part.WaveWindKind = waveWindKind;
    part.WaveViewProps = waveViewProps;
    part.VoldViewProps = voldViewProps;
    return part;
}

const TDTDItem* TViewWaveGroup::CreateGrammar(TDTDGrammar& grammar)
{
    return CreateViewGroupGrammar(grammar);
}

void TViewWaveGroup::WriteXml(TXMLComplexElement& parent) const
{
    GetDisplayPart().WriteXml(parent);
}

bool TViewWaveGroup::ReadXml(const TXMLItem* first, std::string& message, int32_t& line,
                             int32_t& column, bool deferred)
{
    // Read whole before anything is applied, so that a refused file leaves the window as it was.
    TWaveDisplayPart part;
    part.WaveViewProps = waveViewProps;
    part.VoldViewProps = voldViewProps;
    if (!part.ReadXml(first, message, line, column))
        return false;
    if (deferred)
        SetPendingSplitPosition(part.SplitPosition);
    else
        SetSplitPosition(part.SplitPosition);
    TViewWave* views[2] = {ViewFirst, ViewSecond};
    for (int i = 0; i < 2; ++i) {
        TViewWave* view = views[i];
        if (!KV_SOFT_ASSERT(view))
            continue;
        const TPaneZoom& zoom = part.View[i];
        if (deferred) {
            if (zoom.zoomed)
                view->SetPendingZoom(zoom.begin, zoom.end);
            else
                view->SetPendingFull();
        } else if (zoom.zoomed) {
            view->ZoomTo(zoom.begin, zoom.end, true);
        } else {
            view->ZoomFull();
            view->InvalidateAll();
        }
    }
    waveViewProps = part.WaveViewProps;
    voldViewProps = part.VoldViewProps;
    SetWaveWindKind(part.WaveWindKind);
    return true;
}

} // namespace kelvorn
