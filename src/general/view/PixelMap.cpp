#include "general/view/PixelMap.h"

#include "general/numeric/NumericHelpers.h"

namespace kelvorn {

double MapPixelCentre(const PixelRect& rect, double begin, double end, int x)
{
    return LinearMap(x + 0.5, rect.left, rect.right, begin, end);
}

double MapPixelToTime(const PixelRect& rect, double begin, double end, int x, double frequency)
{
    return LinearMap(x, rect.left, rect.right, begin / frequency, end / frequency);
}

} // namespace kelvorn
