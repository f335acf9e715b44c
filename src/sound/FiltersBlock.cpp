#include "sound/Filters.h"

#include "sound/WavePrimitives.h"
#include "sound/WaveSampling.h"
#include "sound/WaveSignalCommon.h"

#include <cmath>

namespace kelvorn {

using namespace signal;
using wavedetail::ResolveRange;
using wavedetail::Splice;
using wavedetail::TruncCount;

WavePtr blockFilter(const Wave& w, AbortFlag* abort, double width, int32_t* begin, int32_t* end)
{
    const int32_t b = *begin;
    int32_t e = *end;
    if (!ResolveRange(w, abort, b, e))
        return nullptr;
    // A width of 0 would divide by zero: the range stays as it is.
    if (width == 0.0) {
        WavePtr copy = Splice(w, abort, b, e, e - b, end, [&](int16_t* o) {
            return wavedetail::CopyValues(abort, o, w.Data() + b, e - b);
        });
        return copy;
    }
    // NaN and huge widths give an impossible count, which Splice refuses.
    const int64_t whole = TruncCount(std::fabs(width));
    const bool possible = whole >= 0 && whole < MaxWaveValues;
    const int64_t n = possible ? whole + 1 : 0;
    const int64_t length = possible ? int64_t{e} - b + n : -1;
    const int16_t* src = w.Data();
    return Splice(w, abort, b, e, length, end, [&](int16_t* o) {
        double j = width > 0 ? static_cast<double>(b - n) : b;
        double s = 0.0;
        return ForBlocks(abort, length, [&](int64_t at, int64_t stop) {
            for (int64_t k = at; k < stop; ++k) {
                s = s + ReadRange(src, j + width, b, e) / width;
                s = s - ReadRange(src, j, b, e) / width;
                // Kept: the average is halved; waves made earlier depend on the level.
                o[k] = StoreSample(s * 0.5);
                j += 1.0;
            }
        });
    });
}

WavePtr blockFilterEnv(const Wave& w, AbortFlag* abort, double width, const Wave* envelope,
                       int32_t* begin, int32_t* end, std::string* error)
{
    const int32_t b = *begin;
    int32_t e = *end;
    if (!CheckNotEmpty(envelope, "width envelope", error) || !ResolveRange(w, abort, b, e))
        return nullptr;
    // The growth uses the width's magnitude: a negative width must not shrink the new wave
    // below what is written into it.
    const int64_t m = TruncCount(2.0 * (std::fabs(width) + 1.0));
    const int64_t length = m < 0 || m > MaxWaveValues ? -1 : int64_t{e} - b + m;
    const int16_t* src = w.Data();
    const EnvelopeReader env(*envelope, static_cast<double>(e) - b - 1.0);
    return Splice(w, abort, b, e, length, end, [&](int16_t* o) {
        // The reading starts |width| + 1 values before the range, so that the grown values
        // frame the smeared range on both sides. Started that far after the range start, the
        // first values would be lost and the window subtracted at the start would stay behind
        // as a constant offset.
        double j = b - Trunc(std::fabs(width) + 1.0);
        double s = 0.0;
        return ForBlocks(abort, length, [&](int64_t at, int64_t stop) {
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
        });
    });
}

} // namespace kelvorn
