#pragma once
// What the two panes of a wave window share: which diagram they show (wave curve or volume
// diagram), the two view records, the split between them, and the background volume writer.
// The window forwards every view request of the document, the main window and the side file
// here, and the group fans it out to both panes.
//
// The group owns its panes: each registers itself while it is constructed, and the group
// deletes both when it goes. The volume writer must be stopped before that (the window does it
// in its close handler and again in its destructor).

#include "document/views/VoldViewProps.h"
#include "document/views/VolumeWriter.h"
#include "document/views/WaveDisplayPart.h"
#include "document/views/WaveViewProps.h"
#include "general/xml/XMLElement.h"
#include "general/xml/XMLGrammar.h"
#include "waveui/drawing/VolumeDiagram.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kelvorn {

class Canvas;
class QueuedVolumeSink;
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
    /// buffering. Showing the curve stops the volume writer: nothing would show its columns,
    /// and the next sound change would not restart it.
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

    /// Stops the running writer, then computes the volume diagram of the document's sound
    /// again in the background, on new grids, while the panes show the columns as they come.
    /// An empty wave (or a grid that cannot be had) gets no writer: the panes and the windows
    /// that draw this wave as their envelope only repaint.
    void StartVolumeWriter();
    /// Stops a running writer and waits for it (within one block of samples).
    void StopVolumeWriter();
    /// Whether a writer is held (running, or finished and not yet stopped).
    bool HasVolumeWriter() const { return volumeWriter.HasWriter(); }
    /// Whether a writer is still computing.
    bool IsVolumeWriterRunning() const;
    /// The grids; each may be missing. The writer may be filling them.
    const TVolumeArray* GetVolumeArraySingle() const { return volumeWriter.GetVolumeArraySingle(); }
    const TVolumeArray* GetVolumeArrayLeft() const { return volumeWriter.GetVolumeArrayLeft(); }
    const TVolumeArray* GetVolumeArrayRight() const { return volumeWriter.GetVolumeArrayRight(); }
    VolumeGrids GetVolumeGrids() const;
    /// The columns the writer filled since the last call are painted on both panes, and the
    /// windows that draw this wave as their envelope hear of them. Runs on the GUI thread
    /// after the writer's notice.
    void DrawNewVolumeColumns();
    /// Paints at once the pixels of columns [first, end) of a grid gridWidth columns wide,
    /// computed over samples [b, e) of n, on both panes; side is the grid's half.
    void RefreshVolumeColumns(int32_t first, int32_t end, int32_t gridWidth, double b, double e,
                              double n, int channels, int side, bool drawSingle);
    /// Draws the volume diagram of [zoomBegin, zoomEnd) of this group's wave into span of area
    /// with props: the colour of silence first, then every filled column's cells.
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
    // The writer's notices arrive through the sink; the slot is declared after it, so a
    // writer still held when the group goes is joined before its sink is destroyed.
    std::unique_ptr<QueuedVolumeSink> volumeSink;
    TVolumeWriterSlot volumeWriter;
};

} // namespace kelvorn
