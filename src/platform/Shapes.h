#pragma once
// The shapes of the sound factory editor: node bodies, pins and their markers. Each is drawn
// in a colour with its outline in darker shades of it; a selected shape gets a larger one
// behind it. Pens are one pixel wide. The shapes leave the pen and brush as they set them.

#include "platform/Canvas.h"

namespace kelvorn {

/// A raised box: filled with the 75 % shade; left and top edges in the colour, right and
/// bottom edges (the lines to right and bottom themselves) in the 50 % shade.
void Draw3DRect(Canvas& canvas, const PixelRect& rect, uint32_t color);

/// An ellipse in the colour outlined in the 75 % shade; selected: one 2 pixels larger on every
/// side behind it.
void DrawEllipse(Canvas& canvas, const PixelRect& rect, uint32_t color, bool selected);

/// A rectangle in the colour framed in the 75 % shade; selected: one 2 pixels larger on every
/// side behind it.
void DrawFramedRect(Canvas& canvas, const PixelRect& rect, uint32_t color, bool selected);

/// A triangle of half-height size with its tip at x - size and its base at x + size, centred
/// on row y: pointing left for direction 1, mirrored to point right for any other direction.
/// Selected: a larger one behind it, tip at x - (size + 4), base at x + (size + 2), half-height
/// size + 3 (mirrored likewise).
void DrawTriangle(Canvas& canvas, int x, int y, int size, uint32_t color, bool selected,
                  int direction);

/// A half disc of radius size cut along the vertical through its centre: the left half around
/// (x + 2, y) for direction 1, the right half around (x, y) for any other direction. Selected:
/// the same with radius size + 3 behind it.
void DrawChord(Canvas& canvas, int x, int y, int size, uint32_t color, bool selected,
               int direction);

} // namespace kelvorn
