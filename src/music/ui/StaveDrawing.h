#pragma once
// What a stave draws of itself: its band, its lines, bar lines, the end bar and ties. Rows are
// summed in 64 bits from the stave's middle line and clamped where they reach the canvas.

#include "music/core/Stave.h"
#include "platform/Canvas.h"

#include <cstdint>

namespace kelvorn {

/// Fills the band from the middle line - RoomUp to + RoomDown, within clip's rows, across clip.
void DrawStaveBackground(Canvas& canvas, const TNoteStave& stave, const PixelRect& clip);
/// The five lines, or with ExtraLines every tenth row over both rooms (the outer ones faint).
void DrawStaveLines(Canvas& canvas, const TNoteStave& stave, const PixelRect& clip);
void DrawStaveBarLine(Canvas& canvas, const TNoteStave& stave, int32_t x);
void DrawStaveEndBar(Canvas& canvas, const TNoteStave& stave, int32_t x);
/// A tie from (x1, y1) to (x2, y2) bulging height pixels from y1; nothing where the height
/// leaves its curves undefined.
void DrawStaveTie(Canvas& canvas, const TNoteStave& stave, int32_t x1, int32_t y1, int32_t x2,
                  int32_t y2, int32_t height);
/// The colour of the lines beyond the five.
uint32_t FaintLineColor(const TNoteStave& stave);

} // namespace kelvorn
