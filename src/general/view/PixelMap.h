#pragma once
// From a pixel column of a wave view to the sample position or the time it shows.

#include "general/view/PixelRect.h"

namespace kelvorn {

/// The sample position at the centre of column x of a view that shows [begin, end) across
/// rect: x + 0.5 mapped from [left, right] onto [begin, end]. rect must not be empty.
double MapPixelCentre(const PixelRect& rect, double begin, double end, int x);

/// The time in seconds at the left edge of column x (no half-pixel shift, unlike
/// MapPixelCentre): x mapped from [left, right] onto [begin / frequency, end / frequency].
/// rect must not be empty and frequency not 0.
double MapPixelToTime(const PixelRect& rect, double begin, double end, int x, double frequency);

} // namespace kelvorn
