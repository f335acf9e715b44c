#include "waveui/ViewWaveGroup.h"

#include "general/Assert.h"
#include "platform/Canvas.h"
#include "platform/Services.h"
#include "platform/qt/CursorTable.h"
#include "sound/document/UnitWave.h"
#include "waveui/ViewWave.h"
#include "waveui/WaveWindow.h"
#include "waveui/WaveWindowHost.h"

#include <QSplitter>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace kelvorn {

TViewWaveGroup::TViewWaveGroup(TMDIChildWave* window, const TWaveViewProps& waveViewProps,
                               const TVoldViewProps& voldViewProps)
    : window(window), waveViewProps(waveViewProps), voldViewProps(voldViewProps)
{
}

TViewWaveGroup::~TViewWaveGroup()
{
    KV_SOFT_ASSERT(!volumeWriterRunning);
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
    int height = ViewFirst->ClientRect().Height();
    KV_SOFT_ASSERT(height == ViewSecond->ClientRect().Height());
    return height;
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
        if (view) {
            if (CursorTable* table = FindService<CursorTable>())
                view->setCursor(table->At(cursor));
            else
                view->setCursor(Qt::ArrowCursor);
        }
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
    if (WaveWindowHost* host = GetWaveWindowHost())
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
    if (GetUnitWave().GetValues() == 0) {
        InvalidateViews();
        if (WaveWindowHost* host = GetWaveWindowHost())
            host->WaveChanged(*window);
        return;
    }
    StopVolumeWriter();
    // The writer thread comes with the volume diagram; until then the panes show the
    // diagram's background.
    InvalidateViews();
}

void TViewWaveGroup::StopVolumeWriter()
{
    volumeWriterRunning = false;
}

void TViewWaveGroup::DrawVolume(Canvas& canvas, const PixelRect& /*area*/, const PixelRect& span,
                                double /*zoomBegin*/, double /*zoomEnd*/,
                                const TVoldViewProps& props, bool inverted) const
{
    canvas.SetBrushStyle(BrushStyle::Solid);
    canvas.SetBrushColor(uint32_t(inverted ? props.SingleColor : props.BackgroundColor));
    canvas.FillRect(span);
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
