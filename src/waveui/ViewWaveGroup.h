#pragma once
// What the two panes of a wave window share: which diagram they show (wave curve or volume
// diagram), the two view records, the split between them, and the background volume writer.
// The window forwards every view request of the document, the main window and the side file
// here, and the group fans it out to both panes.
//
// The group owns its panes: each registers itself while it is constructed, and the group
// deletes both when it goes. The volume writer must be stopped before that (the window does it
// in its close handler and again in its destructor).

#include "general/xml/XMLElement.h"
#include "general/xml/XMLGrammar.h"
#include "sound/views/VoldViewProps.h"
#include "sound/views/WaveDisplayPart.h"
#include "sound/views/WaveViewProps.h"

#include <cstdint>
#include <string>

namespace kelvorn {

class Canvas;
class TMDIChildWave;
class TUnitWave;
class TViewWave;
struct PixelRect;

class TViewWaveGroup
{
public:
    enum : uint8_t { waveWindWave = 0, waveWindVolume = 1 };

    /// Copies both records; shows the wave curve; no panes yet, no writer, no pending split.
    TViewWaveGroup(TMDIChildWave* window, const TWaveViewProps& waveViewProps,
                   const TVoldViewProps& voldViewProps);
    /// Deletes both panes (the writer must have been stopped).
    ~TViewWaveGroup();
    TViewWaveGroup(const TViewWaveGroup&) = delete;
    TViewWaveGroup& operator=(const TViewWaveGroup&) = delete;

    TMDIChildWave* GetWindow() const { return window; }
    /// The window's document.
    TUnitWave& GetUnitWave() const;

    // ---- Panes ---------------------------------------------------------------------------

    /// Called by each pane's constructor: the first becomes pane 1, the second pane 2; a third
    /// is an internal error and is not taken.
    void RegisterView(TViewWave* view);
    /// Pane 1 or 2; any other number asserts and answers null.
    TViewWave* GetView(int n) const;
    /// 1 or 2 for one of this group's panes, else 0.
    int ViewNumber(const TViewWave* view) const;
    /// Both panes' widths added; the common pane height.
    int GetWidth() const;
    int GetHeight() const;

    // ---- Records and diagram kind --------------------------------------------------------

    const TWaveViewProps& GetWaveViewProps() const { return waveViewProps; }
    const TVoldViewProps& GetVoldViewProps() const { return voldViewProps; }
    /// Takes the record and shows the wave curve.
    void SetWaveViewProps(const TWaveViewProps& props);
    /// Takes the record and shows the volume diagram (the caller decides whether the writer
    /// must run again).
    void SetVoldViewProps(const TVoldViewProps& props);
    uint8_t GetWaveWindKind() const { return waveWindKind; }
    /// Stores the kind, lets the window follow with its icon and both panes with their
    /// buffering.
    void SetWaveWindKind(uint8_t kind);
    void UpdateDoubleBuffered();

    // ---- Fan-out to both panes -----------------------------------------------------------

    /// Around an edit of [begin, end): each pane keeps its zoom relative to the edit.
    void SaveZoom(int32_t begin, int32_t end);
    void RestoreZoom(int32_t begin, int32_t end);
    /// Full repaint of both panes.
    void InvalidateViews();
    void SetMouseCursor(int cursor);
    void RepaintRange(int32_t begin, int32_t end);
    void RepaintPosition(int32_t position);
    void DrawCursor(int32_t position);
    /// A pane changed its zoom: the main window hears of it and the view counts as modified.
    void ZoomChanged(TViewWave* view);
    /// The window's zoom mode (0 none, 1 zoom in, 2 zoom out).
    uint8_t GetZoomMode() const;
    void SetZoomMode(uint8_t mode);

    // ---- Volume diagram ------------------------------------------------------------------

    /// Computes the volume diagram again in the background; an empty wave only repaints.
    void StartVolumeWriter();
    /// Stops a running writer and waits for it.
    void StopVolumeWriter();
    /// Whether a writer runs (none until the volume writer is hooked in).
    bool IsVolumeWriterRunning() const { return volumeWriterRunning; }
    /// Draws the volume diagram of [zoomBegin, zoomEnd) into span of area with props.
    void DrawVolume(Canvas& canvas, const PixelRect& area, const PixelRect& span, double zoomBegin,
                    double zoomEnd, const TVoldViewProps& props, bool inverted) const;

    // ---- Split position ------------------------------------------------------------------

    /// The first pane's share of both widths, 0 to 1 (0.5 while the panes have no width).
    double GetSplitPosition() const;
    /// The first pane gets trunc(total × ratio + 0.5) pixels, kept within 1 .. total - 1.
    /// While the window is hidden or the two panes have fewer than 2 pixels together the ratio
    /// waits, and is applied once a pane has been resized.
    void SetSplitPosition(double ratio);
    /// A pane got a new size: a waiting ratio is applied (from the event loop).
    void PaneResized();
    void SetPendingSplitPosition(double ratio);
    /// The split read from a side file while the window had no size yet, if any.
    void ApplyPendingSplitPosition();
    bool HasPendingSplitPosition() const { return splitPending; }
    /// Each pane applies the zoom it remembered while reading.
    void ApplyPendingZoom();

    // ---- Side file -----------------------------------------------------------------------

    /// The display part as it stands now.
    TWaveDisplayPart GetDisplayPart() const;
    /// The grammar of the display part's six elements.
    static const TDTDItem* CreateGrammar(TDTDGrammar& grammar);
    /// Appends "SplitPosition", two "View", "ShowWave" or "ShowVolume", "ViewWave" and
    /// "ViewVolume" to parent.
    void WriteXml(TXMLComplexElement& parent) const;
    /// Reads those elements from first on and applies them; with deferred the split and the
    /// zooms wait for ApplyPendingSplitPosition and ApplyPendingZoom. False with the message,
    /// line and column of the first value that does not parse; nothing is applied then.
    bool ReadXml(const TXMLItem* first, std::string& message, int32_t& line, int32_t& column,
                 bool deferred);

private:
    TMDIChildWave* window;
    TViewWave* ViewFirst = nullptr;
    TViewWave* ViewSecond = nullptr;
    uint8_t waveWindKind = waveWindWave;
    TWaveViewProps waveViewProps;
    TVoldViewProps voldViewProps;
    double pendingSplitPosition = 0.5;
    bool splitPending = false;
    double waitingSplitPosition = 0.5;
    bool splitWaiting = false;
    bool volumeWriterRunning = false;
};

} // namespace kelvorn
