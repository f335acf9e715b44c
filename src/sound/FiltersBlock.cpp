#include "sound/Filters.h"

#include "sound/WaveSampling.h"
#include "sound/WaveSignalCommon.h"

#include <algorithm>
#include <cmath>

namespace kelvorn {

using namespace signal;

namespace {

/// A new wave with room for `grow` more values after the range: w's [0, begin), then `length`
/// values for the caller to fill, then w's [end, values).
WavePtr WithRangeOf(const Wave& w, AbortFlag* abort, int32_t begin, int32_t end, int64_t length)
{
    if (length < 0) {
        if (abort)
            *abort = 1;
        return nullptr;
    }
    WavePtr out = NewWave(abort, int64_t{w.Values()} - (end - begin) + length);
    if (!out)
        return nullptr;
    if (CopyValues(abort, out->Data(), w.Data(), begin))
        CopyValues(abort, out->Data() + begin + length, w.Data() + end, w.Values() - end);
    return out;
}

} // namespace

WavePtr blockFilter(const Wave& w, AbortFlag* abort, double width, int32_t* begin, int32_t* end)
{
    int32_t b = *begin;
    int32_t e = *end;
    if (!ResolveRange(w, b, e))
        return nullptr;
    // A width of 0 would divide by zero: the range stays as it is.
    if (width == 0.0) {
        *end = e;
        return CreateWaveCopy(abort, &w);
    }
    const int64_t whole = TruncCount(std::fabs(width));
    const int64_t n = whole + 1;
    const int64_t length = int64_t{e} - b + n;
    WavePtr out = WithRangeOf(w, abort, b, e, whole < 0 || whole >= MaxWaveValues ? -1 : length);
    if (!out)
        return nullptr;
    const int16_t* src = w.Data();
    int16_t* o = out->Data() + b;
    double j = width > 0 ? static_cast<double>(b - n) : b;
    double s = 0.0;
    for (int64_t at = 0; at < length; at += WaveBlock) {
        if (Aborted(abort))
            break;
        const int64_t stop = std::min<int64_t>(length, at + WaveBlock);
        for (int64_t k = at; k < stop; ++k) {
            s = s + ReadRange(src, j + width, b, e) / width;
            s = s - ReadRange(src, j, b, e) / width;
            // Kept: the average is halved; waves made earlier depend on the level.
            o[k] = StoreSample(s * 0.5);
            j += 1.0;
        }
    }
    *begin = b;
    *end = static_cast<int32_t>(b + length);
    return out;
}

WavePtr blockFilterEnv(const Wave& w, AbortFlag* abort, double width, const Wave& envelope,
                       int32_t* begin, int32_t* end, std::string* error)
{
    int32_t b = *begin;
    int32_t e = *end;
    if (RefuseEmpty(envelope, "width envelope", error) || !ResolveRange(w, b, e))
        return nullptr;
    // The growth uses the width's magnitude: a negative width must not shrink the new wave
    // below what is written into it.
    const int64_t m = TruncCount(2.0 * (std::fabs(width) + 1.0));
    const int64_t length = int64_t{e} - b + m;
    WavePtr out = WithRangeOf(w, abort, b, e, m < 0 || m > MaxWaveValues ? -1 : length);
    if (!out)
        return nullptr;
    const int16_t* src = w.Data();
    int16_t* o = out->Data() + b;
    const EnvelopeReader env(envelope, static_cast<double>(e) - b - 1.0);
    // The reading starts |width| + 1 values before the range, so that the grown values frame
    // the smeared range on both sides. Started that far after the range start, the first
    // values would be lost and the subtracted window would leave a constant offset behind.
    double j = b - Trunc(std::fabs(width) + 1.0);
    double s = 0.0;
    for (int64_t at = 0; at < length; at += WaveBlock) {
        if (Aborted(abort))
            break;
        const int64_t stop = std::min<int64_t>(length, at + WaveBlock);
        for (int64_t k = at; k < stop; ++k) {
            const double wk = env.At(static_cast<double>(k)) * width / 32767.0;
            if (wk >= -1.0 && wk <= 1.0) {
                s = ReadRange(src, j, b, e);
            } else {
                s = s + ReadRange(src, j + wk, b, e) / wk;
                s = s - ReadRange(src, j, b, e) / wk;
            }
            o[k] = StoreSample(s * 0.5);
            j += 1.0;
        }
    }
    *begin = b;
    *end = static_cast<int32_t>(b + length);
    return out;
}

} // namespace kelvorn
