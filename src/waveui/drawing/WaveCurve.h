#pragma once
// The wave curve of a pane group: a mono curve, a stereo sound as two single waves in the upper
// and lower half or joined in the full height, drawn by lines or by points, and the time grid.
// A pixel column reads at most ValuesPerPixel + 1 values however far the view is zoomed out, so
// a repaint costs what the pane's width costs, not what the wave's length does.
//
// Rectangles are half-open (PixelRect). area is the rectangle that shows the samples
// [zoomBegin, zoomEnd); span is the part of it to draw now (a clip or a piece of the selection).

#include "document/views/WaveViewProps.h"
#include "document/wave/DrawNode.h"
#include "general/random/Random15.h"
#include "general/view/PixelRect.h"
#include "platform/Canvas.h"
#include "sound/Sound.h"
#include "sound/Wave.h"

#include <cstdint>

namespace kelvorn {

/// Draws sound's curve for the columns of span inside area, where area shows the samples
/// [zoomBegin, zoomEnd). colours gives the colours (an envelope passes a blended copy), layout
/// the stereo layout, the grid switch, the drawing kind, the spacing, ValuesPerPixel and
/// Strength (the drawing group's own record). spacing is the pane's own generator for random
/// spacing. inverted draws the selected part: curve and background colours swap, and so do the
/// left and right colours of a joined stereo curve. The background is not filled here; the
/// canvas's pen and brush are left in the last colours used.
void DrawWave(Canvas& canvas, const PixelRect& area, const PixelRect& span, double zoomBegin,
              double zoomEnd, const Sound& sound, const TWaveViewProps& colours,
              const TWaveViewProps& layout, bool inverted, Random15& spacing);

/// One channel in colour for the columns of span; sampleBegin and sampleEnd are the (fractional)
/// sample positions of the centres of span's left and right columns. style gives DrawKind,
/// DistKind, ValuesPerPixel and Strength. Nothing is drawn for an empty wave, an empty span or
/// area, or a span beside the area.
void DrawWaveChannel(Canvas& canvas, const PixelRect& span, const PixelRect& area, const Wave& wave,
                     double sampleBegin, double sampleEnd, uint32_t colour,
                     const TWaveViewProps& style, Random15& spacing);

/// Both channels in the full height of area, read at the same positions. FrontKind of style
/// picks which is drawn over the other: left at front draws the right channel in colourB first
/// and the left one in colourA over it; mixed and right at front draw left in colourA first and
/// right in colourB over it, and mixed lines draw the overlap of the two strokes in single.
void DrawCurveJoined(Canvas& canvas, const PixelRect& span, const PixelRect& area, const Wave& left,
                     const Wave& right, double sampleBegin, double sampleEnd, uint32_t single,
                     uint32_t colourA, uint32_t colourB, const TWaveViewProps& style,
                     Random15& spacing);

/// The middle line of area across span and a vertical line over span's height at each column
/// where the time crosses a multiple of a step of about 20 pixels (NiceStep); gridColor is the
/// pen. A zero-length view draws only the middle line.
void PaintTimeGrid(Canvas& canvas, double zoomBegin, double zoomEnd, const PixelRect& span,
                   const PixelRect& area, int32_t sampleFreq, uint32_t gridColor);

/// A node of the user drawing as a small ellipse (brush inside, pen outline) with its centre
/// pixel in the pen colour; a hidden node draws nothing. rect, zoomBegin, zoomEnd and values
/// place it as TDrawNode's pixel mapping does.
void DrawDrawNode(Canvas& canvas, const TDrawNode& node, uint32_t pen, uint32_t brush,
                  const PixelRect& rect, double zoomBegin, double zoomEnd, int32_t values);

} // namespace kelvorn
