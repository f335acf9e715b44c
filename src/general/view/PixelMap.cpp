#include "general/view/PixelMap.h"

namespace kelvorn {

namespace {

// In extended precision and in this order, so pixel positions match those of the grids.
double LinearMap(long double x, long double a, long double b, long double c, long double d)
{
    return static_cast<double>((x - a) / (b - a) * (d - c) + c);
}

} // namespace

double MapPixelCentre(const PixelRect& rect, double begin, double end, int x)
{
    return LinearMap(x + 0.5L, rect.left, rect.right, begin, end);
}

double MapPixelToTime(const PixelRect& rect, double begin, double end, int x, double frequency)
{
    return LinearMap(x, rect.left, rect.right, begin / frequency, end / frequency);
}

} // namespace kelvorn
