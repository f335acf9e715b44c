// Queries, in-place primitives, range edits and linear resampling.

#include "sound/WavePrimitives.h"

#include "sound/WavePrimitivesDetail.h"

#include <cmath>
#include <cstdlib>

namespace kelvorn {

using namespace wavedetail;

namespace wavedetail {

bool ResolveRange(const Wave& wave, AbortFlag* abort, int32_t begin, int32_t& end)
{
    const int32_t values = wave.Values();
    end = wave.ResolveEnd(end);
    if (KV_SOFT_ASSERT(begin >= 0) && KV_SOFT_ASSERT(end <= values) && KV_SOFT_ASSERT(begin <= end))
        return true;
    return Refused(abort);
}

void ScaleValues(int16_t* __restrict to, const int16_t* __restrict from, int64_t n, double factor)
{
    if (!(std::fabs(factor) < 65536.0)) {
        for (int64_t i = 0; i < n; ++i)
            to[i] = StoreSample(from[i] * factor);
        return;
    }
    // |value * factor| < 2^31 here, so a 32-bit truncation keeps the same low 16 bits; runs
    // of a fixed length let the compiler turn the loop into vector code.
    int64_t i = 0;
    for (; i + RunLength <= n; i += RunLength)
        for (int64_t u = 0; u < RunLength; ++u)
            to[i + u] = StoreSmall(from[i + u] * factor);
    for (; i < n; ++i)
        to[i] = StoreSmall(from[i] * factor);
}

void ScaleValuesInPlace(int16_t* values, int64_t n, double factor)
{
    if (!(std::fabs(factor) < 65536.0)) {
        for (int64_t i = 0; i < n; ++i)
            values[i] = StoreSample(values[i] * factor);
        return;
    }
    int64_t i = 0;
    for (; i + RunLength <= n; i += RunLength)
        for (int64_t u = 0; u < RunLength; ++u)
            values[i + u] = StoreSmall(values[i + u] * factor);
    for (; i < n; ++i)
        values[i] = StoreSmall(values[i] * factor);
}

} // namespace wavedetail

bool CheckNotEmpty(const Wave* wave, const char* role, std::string* error)
{
    if (wave && wave->Values() > 0)
        return true;
    if (error)
        *error = std::string("The ") + role + " is empty.";
    return false;
}

// ---- Queries ---------------------------------------------------------------------------

int32_t peak(const Wave& wave, AbortFlag* abort, int32_t begin, int32_t end)
{
    if (!ResolveRange(wave, abort, begin, end))
        return 0;
    const int16_t* d = wave.Data() + begin;
    int32_t best = 0;
    const bool done = ForBlocks(abort, end - begin, [&](int64_t a, int64_t b) {
        for (int64_t i = a; i < b; ++i)
            best = std::max(best, std::abs(int32_t{d[i]}));
    });
    return done ? best : 0;
}

void minMax(const Wave& wave, AbortFlag* abort, int16_t& max, int16_t& negMin, int32_t begin,
            int32_t end)
{
    max = 0;
    negMin = 0;
    if (!ResolveRange(wave, abort, begin, end))
        return;
    const int16_t* d = wave.Data() + begin;
    int32_t hi = 0;
    int32_t lo = 0;
    ForBlocks(abort, end - begin, [&](int64_t a, int64_t b) {
        for (int64_t i = a; i < b; ++i) {
            hi = std::max(hi, int32_t{d[i]});
            lo = std::min(lo, int32_t{d[i]});
        }
        max = static_cast<int16_t>(hi);
        // The magnitude of -32768 does not fit in 16 bits: report the largest that does.
        negMin = static_cast<int16_t>(std::min(-lo, 32767));
    });
}

void makeSinePeriod(Wave& wave)
{
    const int32_t n = wave.Values();
    for (int32_t i = 0; i < n; ++i)
        wave[i] = StoreSample(std::sin(2.0 * i * ProgramPi / n) * 32767.0);
}

void makeFrequencyCurve(Wave& wave, AbortFlag* abort, int32_t rate)
{
    const int32_t values = wave.Values();
    if (!KV_SOFT_ASSERT(values == 150)) {
        Refused(abort);
        return;
    }
    static constexpr int32_t Index[5] = {0, 59, 75, 90, 149};
    static constexpr int32_t Hertz[5] = {20000, 3500, 2500, 1000, 350};
    int16_t point[5];
    for (int p = 0; p < 5; ++p) {
        const int32_t period = rate / Hertz[p];
        if (period <= 0) {
            // No whole-value period reaches this frequency at this rate: the top of the curve.
            point[p] = 32767;
            continue;
        }
        const double hz = static_cast<double>(rate) / period;
        const double v = std::log10(hz * 0.05) * 21845.0 - 32768.0;
        point[p] = static_cast<int16_t>(std::clamp(v, -32768.0, 32767.0));
    }
    for (int p = 0; p < 4; ++p)
        drawLine(wave, abort, Index[p], point[p], Index[p + 1], point[p + 1]);
    if (!PollAbort(abort))
        wave[149] = point[4];
}

// ---- In-place primitives ---------------------------------------------------------------

namespace {

/// Checks the source range and the target of copyFrom / addFrom.
bool CheckCopy(const Wave& wave, AbortFlag* abort, const Wave& from, int32_t begin, int32_t& end,
               int32_t toIndex)
{
    if (!ResolveRange(from, abort, begin, end))
        return false;
    const int64_t to = toIndex;
    const int64_t values = wave.Values();
    if (KV_SOFT_ASSERT(to >= 0) && KV_SOFT_ASSERT(to + end - begin <= values))
        return true;
    return Refused(abort);
}

/// op(target, source, n, backwards) over n values in blocks; backwards when source and
/// target overlap with the target behind, so each source value is read before it is
/// overwritten. op walks its block in the same direction.
template <class Op>
void CopyLike(AbortFlag* abort, int16_t* target, const int16_t* source, int64_t n, Op op)
{
    const bool backwards = target > source && target < source + n;
    ForBlocks(abort, n, [&](int64_t a, int64_t b) {
        const int64_t from = backwards ? n - b : a;
        op(target + from, source + from, b - a, backwards);
    });
}

} // namespace

void copyFrom(Wave& wave, AbortFlag* abort, const Wave& from, int32_t begin, int32_t end,
              int32_t to)
{
    if (!CheckCopy(wave, abort, from, begin, end, to))
        return;
    CopyLike(abort, wave.Data() + to, from.Data() + begin, end - begin,
             [](int16_t* t, const int16_t* s, int64_t n, bool) {
                 std::memmove(t, s, sizeof(int16_t) * static_cast<size_t>(n));
             });
}

void addFrom(Wave& wave, AbortFlag* abort, const Wave& from, int32_t begin, int32_t end, int32_t to)
{
    if (!CheckCopy(wave, abort, from, begin, end, to))
        return;
    CopyLike(abort, wave.Data() + to, from.Data() + begin, end - begin,
             [](int16_t* t, const int16_t* s, int64_t n, bool backwards) {
                 if (backwards) {
                     for (int64_t i = n - 1; i >= 0; --i)
                         t[i] = WrapSample(int32_t{t[i]} + s[i]);
                 } else {
                     for (int64_t i = 0; i < n; ++i)
                         t[i] = WrapSample(int32_t{t[i]} + s[i]);
                 }
             });
}

void clear(Wave& wave, AbortFlag* abort, int32_t begin, int32_t end)
{
    if (!ResolveRange(wave, abort, begin, end))
        return;
    if (end > begin)
        ZeroValues(abort, wave.Data() + begin, end - begin);
}

void drawLine(Wave& wave, AbortFlag* abort, int32_t x0, int16_t y0, int32_t x1, int16_t y1)
{
    if (!ResolveRange(wave, abort, x0, x1) || x1 <= x0)
        return;
    int16_t* d = wave.Data() + x0;
    const int64_t n = int64_t{x1} - x0;
    if (n == 1) {
        if (!PollAbort(abort))
            d[0] = StoreSample((y0 + y1) * 0.5);
        return;
    }
    const double step = static_cast<double>(y1 - y0) / static_cast<double>(n - 1);
    double y = y0;
    ForBlocks(abort, n, [&](int64_t a, int64_t b) {
        for (int64_t i = a; i < b; ++i) {
            d[i] = StoreSample(y);
            y += step;
        }
    });
}

void mirror(Wave& wave, AbortFlag* abort, int32_t begin, int32_t end)
{
    if (!ResolveRange(wave, abort, begin, end))
        return;
    int16_t* d = wave.Data();
    // Kept: only the first half is overwritten, so the range becomes symmetric.
    const int64_t half = (int64_t{begin} + end) / 2 - begin;
    ForBlocks(abort, half, [&](int64_t a, int64_t b) {
        for (int64_t k = a; k < b; ++k)
            d[begin + k] = d[end - 1 - k];
    });
}

void volumeInPlace(Wave& wave, AbortFlag* abort, double factor, int32_t begin, int32_t end)
{
    if (!ResolveRange(wave, abort, begin, end) || begin == end)
        return;
    int16_t* d = wave.Data() + begin;
    ForBlocks(abort, end - begin,
              [&](int64_t a, int64_t b) { ScaleValuesInPlace(d + a, b - a, factor); });
}

// ---- Range edits -----------------------------------------------------------------------

WavePtr copyPart(const Wave& wave, AbortFlag* abort, int32_t begin, int32_t end)
{
    if (!ResolveRange(wave, abort, begin, end))
        return nullptr;
    WavePtr out = NewWave(abort, int64_t{end} - begin);
    if (!out || !CopyValues(abort, out->Data(), wave.Data() + begin, end - begin))
        return nullptr;
    return out;
}

WavePtr deletePart(const Wave& wave, AbortFlag* abort, int32_t begin, int32_t end)
{
    if (!ResolveRange(wave, abort, begin, end))
        return nullptr;
    return Splice(wave, abort, begin, end, 0, nullptr, [](int16_t*) { return true; });
}

WavePtr replace(const Wave& wave, AbortFlag* abort, const Wave& other, int32_t begin, int32_t end)
{
    if (!ResolveRange(wave, abort, begin, end))
        return nullptr;
    return Splice(wave, abort, begin, end, other.Values(), nullptr, [&](int16_t* part) {
        return CopyValues(abort, part, other.Data(), other.Values());
    });
}

WavePtr append(const Wave& wave, AbortFlag* abort, const Wave& other)
{
    const int64_t n = wave.Values();
    WavePtr out = NewWave(abort, n + other.Values());
    if (!out || out->IsEmpty())
        return out;
    if (!CopyValues(abort, out->Data(), wave.Data(), n) ||
        !CopyValues(abort, out->Data() + n, other.Data(), other.Values()))
        return nullptr;
    return out;
}

// ---- Linear resampling -----------------------------------------------------------------

WavePtr resampleTo(const Wave& wave, AbortFlag* abort, int64_t count, bool reverse, int32_t* begin,
                   int32_t* end)
{
    if (!ResolveRange(wave, abort, *begin, *end))
        return nullptr;
    const int32_t b = *begin;
    const int64_t n = int64_t{*end} - b;
    double step = static_cast<double>(n) / static_cast<double>(count);
    double pos = 0.0;
    if (reverse) {
        pos = static_cast<double>(n);
        step = -step;
    }
    const int16_t* source = wave.Data();
    const int64_t values = wave.Values();
    // Resampling to the same count forward reads every value at a whole position (the step is
    // exactly 1): the range as it is. Players ask for that whenever a sound's rate matches.
    if (!reverse && count == n)
        return Splice(wave, abort, b, *end, count, end,
                      [&](int16_t* part) { return CopyValues(abort, part, source + b, n); });
    return Splice(wave, abort, b, *end, count, end, [&](int16_t* part) {
        return ForBlocks(abort, count, [&](int64_t from, int64_t to) {
            for (int64_t k = from; k < to; ++k) {
                const auto i = static_cast<int64_t>(pos);
                const double f = pos - static_cast<double>(i);
                const int64_t at = b + i;
                // Between two values the blend stays within 16 bits: no range tests needed.
                if (at >= 0 && at + 1 < values)
                    part[k] = StoreSmall((1.0 - f) * source[at] + f * source[at + 1]);
                else
                    part[k] = StoreSample(ReadFrom(source, values, at, f));
                pos += step;
            }
        });
    });
}

WavePtr resampleRange(const Wave& wave, AbortFlag* abort, double factor, int32_t* begin,
                      int32_t* end)
{
    if (!ResolveRange(wave, abort, *begin, *end))
        return nullptr;
    const int64_t n = int64_t{*end} - *begin;
    // An empty range has no length to stretch: it stays empty rather than growing by the
    // formula's -|factor| + 1.
    const int64_t count =
        n == 0 ? 0 : TruncCount(static_cast<double>(n - 1) * std::fabs(factor) + 1.0);
    return resampleTo(wave, abort, count, factor < 0, begin, end);
}

WavePtr resampleFactor(const Wave& wave, AbortFlag* abort, double factor)
{
    int32_t begin = 0;
    int32_t end = wave.Values();
    return resampleRange(wave, abort, factor, &begin, &end);
}

WavePtr resample(const Wave& wave, AbortFlag* abort, int64_t count, bool reverse)
{
    int32_t begin = 0;
    int32_t end = wave.Values();
    return resampleTo(wave, abort, count, reverse, &begin, &end);
}

} // namespace kelvorn
