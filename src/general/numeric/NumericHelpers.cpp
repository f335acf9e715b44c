#include "general/numeric/NumericHelpers.h"

#include "general/Assert.h"

#include <cmath>

namespace kelvorn {

int32_t TruncToInt32(double x)
{
    if (std::isnan(x))
        return 0;
    if (x >= 2147483647.0)
        return INT32_MAX;
    if (x <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(x);
}

double LinearMap(double x, double a, double b, double c, double d)
{
    long double lx = x, la = a, lb = b, lc = c, ld = d;
    return static_cast<double>((lx - la) / (lb - la) * (ld - lc) + lc);
}

double MapPixelCentre(const PixelRect& rect, double begin, double end, int x)
{
    return LinearMap(static_cast<double>(x) + 0.5, rect.left, rect.right, begin, end);
}

double MapPixelToTime(const PixelRect& rect, double begin, double end, int x, double rate)
{
    return LinearMap(x, rect.left, rect.right, begin / rate, end / rate);
}

double ClampValue(double x, double min, double max)
{
    if (x < min)
        return min;
    if (x > max)
        return max;
    return x;
}

double WrapRange(double x, double min, double max)
{
    if (!KV_SOFT_ASSERT(max > min))
        return x;
    double period = max - min;
    if (x < min)
        x += std::trunc((min - x) / period + 1.0) * period;
    double result = x - std::trunc((x - min) / period) * period;
    // Rounding of very large quotients can land a hair outside; the promise is [min, max).
    if (result >= max || result < min)
        result = min;
    return result;
}

bool IntersectRange(int32_t& begin, int32_t& end, double begin1, double end1, double begin2,
                    double end2)
{
    if (end1 < begin2 || end2 < begin1)
        return false;
    begin = TruncToInt32(begin1 > begin2 ? begin1 : begin2);
    end = TruncToInt32(end1 < end2 ? end1 : end2);
    return true;
}

double NiceStep(double x)
{
    if (!(x > 0.0) || !std::isfinite(x))
        return 1.0;
    double exponent = std::floor(std::log10(x));
    double power = std::pow(10.0, exponent);
    if (!(power > 0.0))
        return x; // below the smallest power of ten a double holds: the value itself is the step
    double leading = std::trunc(x / power);
    double factor = leading > 5.0 ? 10.0 : (leading >= 3.0 ? 5.0 : 2.0);
    return power * factor;
}

double RoundUpToStep(double x, double step)
{
    return (std::trunc(x / step) + 1.0) * step;
}

void SplitFraction(double x, int32_t& whole, int32_t& numerator, int32_t& denominator)
{
    int32_t den = 1;
    while (den <= 64) {
        double scaled = den * x;
        if (scaled == std::trunc(scaled))
            break;
        den *= 2;
    }
    whole = TruncToInt32(x);
    numerator = TruncToInt32((x - whole) * den);
    denominator = den;
}

int32_t BlendColor(int32_t colour1, int32_t colour2, double t)
{
    auto blend = [t](int32_t c1, int32_t c2) {
        int32_t v = TruncToInt32(c1 * (1.0 - t) + c2 * t);
        return v < 0 ? 0 : (v > 255 ? 255 : v);
    };
    uint32_t u1 = static_cast<uint32_t>(colour1);
    uint32_t u2 = static_cast<uint32_t>(colour2);
    int32_t red = blend(u1 & 0xFF, u2 & 0xFF);
    int32_t green = blend((u1 >> 8) & 0xFF, (u2 >> 8) & 0xFF);
    int32_t blue = blend((u1 >> 16) & 0xFF, (u2 >> 16) & 0xFF);
    return red + green * 256 + blue * 65536;
}

double PointAngle(IntPoint pointSource, IntPoint pointTarget)
{
    KV_SOFT_ASSERT(pointTarget.x != pointSource.x || pointTarget.y != pointSource.y);
    if (pointTarget.x != pointSource.x) {
        double dx = static_cast<double>(pointTarget.x) - pointSource.x;
        double dy = static_cast<double>(pointTarget.y) - pointSource.y;
        double angle = std::atan(dy / dx);
        if (pointTarget.x < pointSource.x)
            angle += ProgramPi;
        return angle;
    }
    // Half and three halves of the program's pi.
    return pointTarget.y > pointSource.y ? 1.57076465 : 4.71229395;
}

} // namespace kelvorn
