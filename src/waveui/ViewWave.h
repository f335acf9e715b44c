#pragma once
// One of the two panes of a wave window. It shows the samples [GetZoomBegin, GetZoomEnd) of
// the window's wave across its client rectangle, as the wave curve or the volume diagram of
// its group; turns mouse actions into selections, zooms and edits of the user drawing; and
// offers the keyboard moves of the cursor and the part to the window.
//
// The zoom is a pair of doubles, the visible sample range; the horizontal scroll bar is
// derived from it and counts in samples, so a long wave zoomed down to a few samples cannot
// overflow it. Not zoomed, the pane shows the whole wave, whatever its length is now.
//
// Painting goes into the pane's own backing image through a canvas; paintEvent only copies
// the image. Direct paints (a cursor, a changed range) draw into the image at once and
// update that rectangle; they are skipped while a full repaint is pending.

#include "general/random/Random15.h"
#include "general/view/PixelRect.h"
#include "general/xml/XMLElement.h"
#include "general/xml/XMLGrammar.h"
#include "platform/Canvas.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

class QScrollBar;

namespace kelvorn {

class QtCanvas;
class TDrawNode;
class TUnitWave;
class TVolumeArray;
class TViewWaveGroup;
class TVoldViewProps;
class TWaveViewProps;

class TViewWave : public QWidget
{
    Q_OBJECT

public:
    /// The most a right-button drag may scale the view by in one move, either way.
    static constexpr double MaxDragZoomFactor = 1e6;
    /// The widths of the main window's mouse status panel over a wave pane and over a volume
    /// diagram, in the status bar's font: the wave pane's texts all fit, the diagram's up to a
    /// wave of ten hours at the usual rates (the host widens the panel for longer ones).
    static constexpr int WaveStatusWidth = 170;
    static constexpr int VolumeStatusWidth = 270;

    /// A pane of group inside parent; registers itself with the group (pane 1, then 2).
    TViewWave(TViewWaveGroup& group, QWidget* parent);
    ~TViewWave() override;

    TViewWaveGroup& GetGroup() const { return group; }

    /// The rectangle the wave is drawn in: the pane without its scroll bar.
    PixelRect ClientRect() const;
    /// The backing image, with a pending full repaint painted first.
    const QImage& BackingImage();
    /// Marks the whole pane for repainting.
    void InvalidateAll();
    bool IsFullRepaintPending() const { return fullRepaint; }
    /// Turns the double buffering on or off by what the pane draws; kept for the group's
    /// calls, the backing image buffers every paint anyway.
    void UpdateDoubleBuffered();
    bool IsDoubleBuffered() const { return doubleBuffered; }

    // ---- Zoom ----------------------------------------------------------------------------

    bool IsZoomed() const { return zoomed; }
    /// The visible samples [begin, end); the whole wave when not zoomed.
    double GetZoomBegin() const;
    double GetZoomEnd() const;
    /// The same in seconds.
    double GetZoomBeginTime() const;
    double GetZoomEndTime() const;
    /// Shows the samples [begin, end), the left edge moved one pixel at random (the pane's own
    /// generator). An inverted, empty or out-of-wave range shows the whole wave instead.
    void ZoomTo(int32_t begin, int32_t end, bool invalidate);
    /// Shows the whole wave.
    void ZoomFull();
    /// Around an edit of [begin, end): the zoom is kept relative to the edited range.
    void SaveZoom(int32_t begin, int32_t end);
    void RestoreZoom(int32_t begin, int32_t end);
    /// The zoom read from a side file, applied once the pane has its size.
    void SetPendingZoom(int32_t begin, int32_t end);
    void SetPendingFull();
    void ApplyPendingZoom();
    /// The scroll bar derived from the zoom (tests read its range and position).
    const QScrollBar* ScrollBar() const { return scrollBar; }

    // ---- Side file -------------------------------------------------------------------------

    /// Appends "View", holding "Zoom" with two "WavePos" while zoomed.
    void WriteXml(TXMLComplexElement& parent) const;

    // ---- Pixels and samples ----------------------------------------------------------------

    /// The sample at the centre of column x.
    double PixelToSample(int x) const;
    /// The column of sample s, truncated toward zero.
    int SampleToPixel(double s) const;
    /// The time at the left edge of column x, in seconds.
    double PixelToTime(int x) const;
    /// clamp(trunc(PixelToSample(x)), 0, count - 1): the sample the mouse points at.
    int32_t SampleUnderMouse(int x) const;

    // ---- Keyboard moves (each clamped into the wave) -------------------------------------

    void MoveCursorToLimit(bool toEnd);
    void MoveCursorBy(int n);
    void MoveMarksBy(int n, bool first, bool second);
    void MoveMarksToLimit(bool toEnd, bool first, bool second);
    void MovePartByLength(bool forward);

    // ---- Painting --------------------------------------------------------------------------

    /// Paints rect now: the user drawing, or the wave with its selection and cursor.
    void PaintClip(const PixelRect& rect);
    void PaintRect(const PixelRect& rect, uint8_t kind, const TWaveViewProps& waveProps,
                   const TVoldViewProps& voldProps);
    void PaintPart(const PixelRect& span, const PixelRect& client, bool inverted, bool userDraw,
                   const TWaveViewProps& waveProps, const TVoldViewProps& voldProps, uint8_t kind);
    void PaintUserDraw();
    /// Repaints the columns from one left of begin to one right of end.
    void RepaintSamples(int32_t begin, int32_t end);
    /// Repaints the columns around sample p.
    void RepaintSample(int32_t p);
    void DrawCursorLine(uint8_t kind, const TWaveViewProps& waveProps,
                        const TVoldViewProps& voldProps);
    /// DrawCursorLine unless the pane is at most one pixel wide or a full repaint is pending.
    void DrawCursorChecked();
    /// Paints at once the pixels that columns [first, end) of this pane's own volume grid
    /// cover (a grid of gridWidth columns over samples [b, e) of n); a stereo pane of single
    /// diagrams only the half of side.
    void RefreshVolumeColumns(int32_t first, int32_t end, int32_t gridWidth, double b, double e,
                              double n, int channels, int side, bool drawSingle);
    /// The same for the volume grid of the envelope wave, which this pane stretches over the
    /// samples [rangeBegin, rangeEnd) of its own wave; the whole height.
    void RefreshEnvelopeColumns(int32_t first, int32_t end, int32_t gridWidth, double rangeBegin,
                                double rangeEnd);
    void FillBackground(const PixelRect& rect, const TWaveViewProps& props);
    void FillColumns(uint32_t colour, int left, int right);

    // ---- Status ----------------------------------------------------------------------------

    /// "(time, level %)" for the mouse at (x, y).
    std::string WaveStatusText(int x, int y) const;
    /// "(time, frequency )" and the volume cell for the mouse at (x, y).
    std::string VolumeStatusText(int x, int y) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TUnitWave& Unit() const;
    int32_t Count() const;
    /// The backing image and the scroll bar follow the pane's size.
    void Relayout();
    void SyncScrollBar();
    void ScrollTo(int value);
    void PaintPending();
    void PaintDirect(const PixelRect& rect);
    /// Paints rect (within the pane) into the image now and shows it.
    void PaintArea(const PixelRect& rect);

    void SelectMouseDown(int x, Qt::KeyboardModifiers modifiers);
    void NodeMouseDown(int x, int y);
    void SelectMouseMove(int x, Qt::MouseButtons buttons);
    void DragZoom(int x, int y);
    void NodeMouseMove(int x, int y);
    void ZoomMouseUp();
    void NodeMouseUp(int y);
    void NodesChanged();

    TViewWaveGroup& group;
    QScrollBar* scrollBar = nullptr;
    // The backing image's canvas; every drawing goes through the interface.
    std::unique_ptr<QtCanvas> backing;
    Canvas& canvas;
    Random15 spacing;
    bool syncing = false;
    bool doubleBuffered = true;

    bool fullRepaint = true;
    double oldZoomBegin = 0.0;
    double oldZoomEnd = 0.0;
    int oldZoomDepth = 0;
    bool zoomed = false;
    double zoomBegin = 0.0;
    double zoomEnd = 0.0;
    bool savedPartValid = false;
    double savedPartBegin = 0.0;
    double savedPartEnd = 0.0;
    int zoomDragY = 0;
    TDrawNode* heldNode = nullptr;
    int heldNodeDX = 0;
    int heldNodeDY = 0;
    bool pendingZoomed = false;
    int32_t pendingZoomBegin = 0;
    int32_t pendingZoomEnd = 0;
    bool pendingZoomSet = false;
    int32_t lastZoomBegin = -1;
    int32_t lastZoomEnd = -1;
    int lastMouseX = -1;
    int lastMouseY = -1;
};

} // namespace kelvorn
