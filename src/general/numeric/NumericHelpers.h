#pragma once
// Small pure functions on doubles and integers that the whole program shares. Conversions of a
// double to an integer truncate toward zero; a result beyond the 32-bit range saturates (and
// not a number gives 0) rather than being undefined.

#include "general/view/PixelRect.h"

#include <cstdint>

namespace kelvorn {

/// The program's pi. Kept: it is not 3.14159265, and drawings and computed values depend on it.
inline constexpr double ProgramPi = 3.1415293;
inline constexpr double ProgramTwoPi = 6.2830586;

struct IntPoint
{
    int32_t x = 0;
    int32_t y = 0;
};

/// (x - a) / (b - a) * (d - c) + c, in extended precision. The caller ensures a != b.
double LinearMap(double x, double a, double b, double c, double d);

/// min if x < min, else max if x > max, else x.
double ClampValue(double x, double min, double max);

/// x brought into [min, max) by whole periods of max - min, so max itself yields min.
/// Requires max > min (soft assertion; otherwise x is returned unchanged).
double WrapRange(double x, double min, double max);

/// The common part of [begin1, end1] and [begin2, end2], truncated to integers, and true; false
/// (and nothing written) when they are disjoint. Ranges that only touch share one point.
bool IntersectRange(int32_t& begin, int32_t& end, double begin1, double end1, double begin2,
                    double end2);

/// A grid step near x: 2, 5 or 10 times a power of ten (1.5 -> 2, 0.004 -> 0.005, 700 -> 1000).
/// x must be positive and finite; any other x gives 1, so that a grid loop always advances.
double NiceStep(double x);

/// The next multiple of step above x; an exact multiple gives the one after it (10, 5 -> 15).
double RoundUpToStep(double x, double step);

/// x as whole + numerator / denominator with a denominator of 1, 2, 4, ..., 64 when x is an
/// exact multiple of its reciprocal, else 128 (2.375 -> 2, 3, 8; 0.1 -> 0, 12, 128).
void SplitFraction(double x, int32_t& whole, int32_t& numerator, int32_t& denominator);

/// Blends two colours (0x00BBGGRR) byte by byte: t = 0 gives colour1, t = 1 colour2. Each byte
/// is truncated and kept within 0..255, so the top byte of the result is always 0.
int32_t BlendColor(int32_t colour1, int32_t colour2, double t);

/// The direction from source to target in radians, with the program's pi: in (-pi/2, pi/2) to
/// the right, plus pi to the left, pi/2 straight down (y grows) and 3 pi/2 straight up.
/// Requires two different points (soft assertion).
double PointAngle(IntPoint pointSource, IntPoint pointTarget);

/// The centre (x + 0.5) of pixel column x mapped from [rect.left, rect.right] onto [begin, end]:
/// the sample position a column of a pane showing [begin, end) in rect stands for. The caller
/// ensures rect has a width.
double MapPixelCentre(const PixelRect& rect, double begin, double end, int x);

/// Pixel column x (its left edge) mapped from [rect.left, rect.right] onto
/// [begin / rate, end / rate] seconds. The caller ensures rect has a width and rate is not 0.
double MapPixelToTime(const PixelRect& rect, double begin, double end, int x, double rate);

/// Truncates toward zero into the 32-bit range: beyond it saturates, not a number gives 0.
int32_t TruncToInt32(double x);

} // namespace kelvorn
