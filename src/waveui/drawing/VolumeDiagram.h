#pragma once
// The volume diagram's pixels: the cells of the grids the background writer fills, drawn into
// a rectangle of a pane, and the pixel columns of a pane that newly filled grid columns cover.
// A mono wave has one grid; a stereo wave a left and a right grid, drawn as two single diagrams
// (left above, right below) or joined into one whose colour tells which channel dominates.
//
// Coordinates: grid column x covers samples x N / W .. (x + 1) N / W of a wave of N samples;
// band y covers rows y h / H .. (y + 1) h / H of an area h pixels high, band 0 at the top. The
// pane shows samples [zoomBegin, zoomEnd) across its width. An empty wave, an empty pane or an
// empty zoom draws nothing.

#include "document/views/VoldViewProps.h"
#include "document/views/VolumeArray.h"
#include "general/view/PixelRect.h"
#include "platform/Canvas.h"

#include <cstdint>

namespace kelvorn {

/// The grids of one wave window; any of them may be missing.
struct VolumeGrids
{
    const TVolumeArray* single = nullptr;
    const TVolumeArray* left = nullptr;
    const TVolumeArray* right = nullptr;
};

/// Which part of a pane a refresh repaints: the left grid's upper half, the right grid's lower
/// half, or the whole pane (mono, or a joined stereo diagram).
enum VolumeSide : int { sideLeft = 0, sideRight = 1, sideWhole = 2 };

/// A cell's intensity: the sensitivity curve (0 square, 1 linear, 2 square root, 3 fourth
/// root), times strength, at most 1.
double VolumeIntensity(double volume, uint8_t sensKind, double strength);

/// The colour of a single-diagram cell of intensity s: the palette's colour at s (1 - s when
/// inverted) when the record uses it, else the blend from BackgroundColor (s = 0) to
/// SingleColor (s = 1), the two swapped when inverted.
uint32_t VolumeSingleColor(double s, const TVoldViewProps& props, bool inverted);

/// The colour of a joined cell of intensities sLeft and sRight: the dominant channel's colour
/// mixed toward SingleColor by how close the other comes, then toward BackgroundColor by the
/// dominant intensity. Inverted, background and single colour swap, and so do left and right.
uint32_t VolumeJoinedColor(double sLeft, double sRight, const TVoldViewProps& props, bool inverted);

/// Draws the grids of a wave of sampleCount samples and channels channels into paneArea,
/// painting only updateArea: a stereo wave with props.DrawSingle as two single diagrams, else
/// joined; a mono wave its single grid. Only cells in filled columns are drawn.
void DrawVolume(Canvas& canvas, const PixelRect& paneArea, const PixelRect& updateArea,
                double zoomBegin, double zoomEnd, int64_t sampleCount, int channels,
                const VolumeGrids& grids, const TVoldViewProps& props, bool inverted);

/// One grid as a single diagram.
void DrawVolumeSingle(Canvas& canvas, const PixelRect& paneArea, const PixelRect& updateArea,
                      double zoomBegin, double zoomEnd, int64_t sampleCount,
                      const TVolumeArray* grid, const TVoldViewProps& props, bool inverted);

/// Two grids of one size joined into one diagram; a missing grid draws nothing, grids of
/// different sizes are an internal error.
void DrawVolumeJoined(Canvas& canvas, const PixelRect& paneArea, const PixelRect& updateArea,
                      double zoomBegin, double zoomEnd, int64_t sampleCount,
                      const TVolumeArray* left, const TVolumeArray* right,
                      const TVoldViewProps& props, bool inverted);

/// The part of a pane's client rectangle that columns [first, end) of a grid of gridWidth
/// columns cover, for a grid computed over samples [b, e) of n and a pane that shows
/// [zoomBegin, zoomEnd) of a wave of currentCount samples: stereo single diagrams keep the
/// half of side, anything else the whole height. False when nothing of the pane is covered.
bool VolumeRefreshRect(int32_t first, int32_t end, int32_t gridWidth, double b, double e, double n,
                       double currentCount, double zoomBegin, double zoomEnd,
                       const PixelRect& client, int channels, int refreshSide, bool drawSingle,
                       PixelRect& rect);

} // namespace kelvorn
