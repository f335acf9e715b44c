// Transforms of a range into a new wave of the same count, and the horizontal moves.

#include "sound/WavePrimitives.h"

#include "sound/WavePrimitivesDetail.h"

#include <cmath>

namespace kelvorn {

using namespace wavedetail;

namespace {

/// body(to, from, a, b) over the range in blocks, to and from pointing at the range's first
/// value in the new and the old wave.
template <class Body>
WavePtr Transform(const Wave& wave, AbortFlag* abort, int32_t begin, int32_t end, Body&& body)
{
    const int16_t* from = wave.Data() + begin;
    return SameShape(wave, abort, begin, end, [&](int16_t* to) {
        return ForBlocks(abort, end - begin, [&](int64_t a, int64_t b) { body(to, from, a, b); });
    });
}

/// A shift rounded away from zero, as a count.
int64_t AwayFromZero(double shift)
{
    return TruncCount(shift >= 0 ? std::ceil(shift) : std::floor(shift));
}

} // namespace

WavePtr reverse(const Wave& wave, AbortFlag* abort, int32_t begin, int32_t end)
{
    if (!ResolveRange(wave, abort, begin, end))
        return nullptr;
    const int64_t n = int64_t{end} - begin;
    return Transform(wave, abort, begin, end,
                     [n](int16_t* to, const int16_t* from, int64_t a, int64_t b) {
                         const int16_t* src = from + n - 1;
                         for (int64_t k = a; k < b; ++k)
                             to[k] = src[-k];
                     });
}

WavePtr moveV(const Wave& wave, AbortFlag* abort, int16_t shift, int32_t begin, int32_t end)
{
    if (!ResolveRange(wave, abort, begin, end))
        return nullptr;
    const auto s = static_cast<uint16_t>(shift);
    return Transform(
        wave, abort, begin, end, [s](int16_t* to, const int16_t* from, int64_t a, int64_t b) {
            for (int64_t k = a; k < b; ++k)
                to[k] =
                    static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint16_t>(from[k]) + s));
        });
}

WavePtr normalizeV(const Wave& wave, AbortFlag* abort, int32_t begin, int32_t end)
{
    if (!ResolveRange(wave, abort, begin, end))
        return nullptr;
    if (!KV_SOFT_ASSERT(begin < end)) {
        Refused(abort);
        return nullptr;
    }
    const int16_t* d = wave.Data() + begin;
    int64_t sum = 0;
    if (!ForBlocks(abort, end - begin, [&](int64_t a, int64_t b) {
            for (int64_t k = a; k < b; ++k)
                sum += d[k];
        }))
        return nullptr;
    const int64_t mean = sum / (int64_t{end} - begin);
    return moveV(wave, abort, WrapSample(-mean), begin, end);
}

WavePtr block(const Wave& wave, AbortFlag* abort, double blockTime, int32_t levels, int32_t begin,
              int32_t end)
{
    if (!ResolveRange(wave, abort, begin, end))
        return nullptr;
    if (!(blockTime >= 1.0))
        blockTime = 1.0;
    return SameShape(wave, abort, begin, end, [&](int16_t* out) {
        const int16_t* from = wave.Data();
        if (levels == 1)
            return ZeroValues(abort, out, end - begin);
        const double step = 65535.0 / (static_cast<double>(levels) - 1.0);
        double q = begin;
        int64_t at = begin;
        int64_t sinceLook = WaveBlock;
        while (at < end) {
            q = std::min(q + blockTime, static_cast<double>(end));
            const auto stop = static_cast<int64_t>(q);
            int64_t sum = 0;
            for (int64_t i = at; i < stop; ++i) {
                if (++sinceLook > WaveBlock) {
                    if (PollAbort(abort))
                        return false;
                    sinceLook = 1;
                }
                sum += from[i];
            }
            int64_t mean = sum / (stop - at);
            if (levels != 0) {
                const double g = std::trunc((mean + 32768) * static_cast<double>(levels) / 65536.0);
                mean = TruncCount(step * g - 32768.0);
            }
            const int16_t value = WrapSample(mean);
            std::fill(out + (at - begin), out + (stop - begin), value);
            at = stop;
        }
        return true;
    });
}

WavePtr distort(const Wave& wave, AbortFlag* abort, const Wave* curve, int32_t begin, int32_t end,
                std::string* error)
{
    if (!CheckNotEmpty(curve, "distortion curve", error))
        return nullptr;
    if (!ResolveRange(wave, abort, begin, end))
        return nullptr;
    // The curve is read like an envelope: -32768 lands a hair before its first value.
    const EnvelopeReader reader(*curve, 0.0);
    const double last = curve->Values() - 1;
    return Transform(
        wave, abort, begin, end, [&](int16_t* to, const int16_t* from, int64_t a, int64_t b) {
            for (int64_t k = a; k < b; ++k)
                to[k] = StoreSample(reader.AtPosition((from[k] / 65535.0 + 0.5) * last));
        });
}

WavePtr volume(const Wave& wave, AbortFlag* abort, double factor, int32_t begin, int32_t end)
{
    if (!ResolveRange(wave, abort, begin, end))
        return nullptr;
    return Transform(wave, abort, begin, end,
                     [factor](int16_t* to, const int16_t* from, int64_t a, int64_t b) {
                         ScaleValues(to + a, from + a, b - a, factor);
                     });
}

WavePtr volumeEnvelope(const Wave& wave, AbortFlag* abort, const Wave* envelope, int32_t begin,
                       int32_t end, std::string* error)
{
    if (!CheckNotEmpty(envelope, "volume envelope", error))
        return nullptr;
    if (!ResolveRange(wave, abort, begin, end))
        return nullptr;
    const EnvelopeReader reader(*envelope, static_cast<double>(end) - begin - 1.0);
    const int16_t* e = envelope->Data();
    const double scale = reader.Scale();
    const double lastPosition = envelope->Values() - 1;
    return Transform(wave, abort, begin, end,
                     [&](int16_t* to, const int16_t* from, int64_t a, int64_t b) {
                         for (int64_t k = a; k < b; ++k) {
                             const double p = static_cast<double>(k) * scale;
                             double v;
                             if (p > 0.0 && p < lastPosition) {
                                 const auto i = static_cast<int32_t>(p);
                                 const double f = p - i;
                                 v = (1.0 - f) * e[i] + f * e[i + 1];
                             } else {
                                 v = reader.AtPosition(p);
                             }
                             // |value * e| / 32767 stays below 32770: no range test needed.
                             to[k] = StoreSmall(from[k] * v / 32767.0);
                         }
                     });
}

WavePtr rotate(const Wave& wave, AbortFlag* abort, int64_t leftShift, int32_t begin, int32_t end)
{
    if (!ResolveRange(wave, abort, begin, end))
        return nullptr;
    const int64_t length = int64_t{end} - begin;
    if (!KV_SOFT_ASSERT(leftShift >= 0) || !KV_SOFT_ASSERT(leftShift <= length)) {
        Refused(abort);
        return nullptr;
    }
    const int16_t* from = wave.Data() + begin;
    return SameShape(wave, abort, begin, end, [&](int16_t* to) {
        return CopyValues(abort, to, from + leftShift, length - leftShift) &&
               CopyValues(abort, to + length - leftShift, from, leftShift);
    });
}

// ---- Horizontal moves ----------------------------------------------------------------

void moveHMargins(const Wave& wave, double maxShift, double minShift, int32_t begin, int32_t end,
                  int64_t* before, int64_t* after)
{
    if (before)
        *before = 0;
    if (after)
        *after = 0;
    AbortFlag unused = 0;
    if (!ResolveRange(wave, &unused, begin, end))
        return;
    const int64_t a = AwayFromZero(maxShift);
    const int64_t b = AwayFromZero(minShift);
    const int64_t hi = std::max(a, b);
    const int64_t lo = std::min(a, b);
    // Saturated shifts stay saturated rather than overflow; moveH then refuses the count.
    const auto add = [](int64_t x, int64_t y) {
        int64_t r;
        return __builtin_add_overflow(x, y, &r) ? (y > 0 ? INT64_MAX : INT64_MIN) : r;
    };
    if (after)
        *after = std::max<int64_t>(0, add(int64_t{end} - wave.Values(), hi));
    if (before)
        *before = std::max<int64_t>(0, add(-int64_t{begin}, lo == INT64_MIN ? INT64_MAX : -lo));
}

namespace {

/// The new wave of a horizontal move: before zeros, the old values, after zeros, with the
/// old range's place left zero. nullptr when the count is impossible or the memory is short.
WavePtr MoveFrame(const Wave& wave, AbortFlag* abort, int64_t before, int64_t after, int32_t begin,
                  int32_t end)
{
    if (before < 0 || after < 0 || before > MaxWaveValues || after > MaxWaveValues) {
        if (!(abort && *abort))
            MemoryFailure(abort);
        return nullptr;
    }
    WavePtr out = NewWave(abort, wave.Values() + before + after);
    if (!out || out->IsEmpty())
        return out;
    int16_t* o = out->Data();
    const int16_t* d = wave.Data();
    if (!ZeroValues(abort, o, before) || !CopyValues(abort, o + before, d, begin) ||
        !ZeroValues(abort, o + before + begin, int64_t{end} - begin) ||
        !CopyValues(abort, o + before + end, d + end, int64_t{wave.Values()} - end) ||
        !ZeroValues(abort, o + before + wave.Values(), after))
        return nullptr;
    return out;
}

/// The source read at q (begin <= q <= end - 1) by interpolation.
inline double ReadMoved(const int16_t* d, double q, int32_t end)
{
    const auto i = static_cast<int64_t>(q);
    const double f = q - static_cast<double>(i);
    const int64_t j = i + 1 < end ? i + 1 : i;
    return (1.0 - f) * d[i] + f * d[j];
}

/// Adds the moved values for up to `most` consecutive new indices, the first reading the
/// source at q0 (>= 0, and q0 + most - 1 below the range's last index), and answers how many
/// it did. q = (j - before) - shift is rounded to the grid of its binade; while q stays in one
/// binade it grows by exactly 1 per value, so its whole part steps by one and its fraction
/// stays the same: the same numbers as computing q anew for each value, at a fraction of the
/// cost.
int64_t MoveRun(int16_t* __restrict o, const int16_t* __restrict d, double q0, int64_t most)
{
    if (q0 < 1.0) {
        const auto i = static_cast<int64_t>(q0);
        const double f = q0 - static_cast<double>(i);
        o[0] = StoreSmall((1.0 - f) * d[i] + f * d[i + 1] + o[0]);
        return 1;
    }
    int exponent = 0;
    std::frexp(q0, &exponent);
    // Values left before q reaches the next power of two (upper - q0 is exact).
    const double room = std::ldexp(1.0, exponent) - q0;
    const int64_t count = std::min(most, static_cast<int64_t>(std::ceil(room)));
    const auto i0 = static_cast<int64_t>(q0);
    const double f = q0 - static_cast<double>(i0);
    const double g = 1.0 - f;
    const int16_t* src = d + i0;
    int64_t t = 0;
    for (; t + RunLength <= count; t += RunLength)
        for (int64_t u = 0; u < RunLength; ++u)
            o[t + u] = StoreSmall(g * src[t + u] + f * src[t + u + 1] + o[t + u]);
    for (; t < count; ++t)
        o[t] = StoreSmall(g * src[t] + f * src[t + 1] + o[t]);
    return count;
}

/// A computed position as a selection index inside the new wave.
int32_t NewPosition(double x, int64_t total)
{
    return ClampIndex(TruncCount(x), 0, total);
}

} // namespace

WavePtr moveH(const Wave& wave, AbortFlag* abort, double shift, int64_t before, int64_t after,
              int32_t* begin, int32_t* end)
{
    if (!ResolveRange(wave, abort, *begin, *end))
        return nullptr;
    const int32_t b = *begin;
    const int32_t e = *end;
    WavePtr out = MoveFrame(wave, abort, before, after, b, e);
    if (!out)
        return nullptr;
    const int64_t total = out->Values();
    const auto q = [&](int64_t j) { return static_cast<double>(j - before) - shift; };
    // The new indices that read from the moved range: q rises with j, so find its ends near
    // their estimates.
    int64_t j0 = std::clamp<int64_t>(TruncCount(std::ceil(b + shift) + before), 0, total);
    while (j0 > 0 && q(j0 - 1) >= b)
        --j0;
    while (j0 < total && q(j0) < b)
        ++j0;
    int64_t j1 =
        std::clamp<int64_t>(TruncCount(std::floor(e - 1 + shift) + before + 1.0), j0, total);
    while (j1 > j0 && q(j1 - 1) > e - 1)
        --j1;
    while (j1 < total && q(j1) <= e - 1)
        ++j1;
    if (j1 > j0) {
        int16_t* o = out->Data();
        const int16_t* d = wave.Data();
        // Every read but the last one's right neighbour lies inside the range, so the loops
        // need no bounds test; the last read is done apart.
        const int64_t last = j1 - 1;
        // The old values outside the range are already in place; what moves in adds to them.
        if (!ForBlocks(abort, j1 - j0, [&](int64_t a, int64_t z) {
                const int64_t stop = std::min(j0 + z, last);
                for (int64_t j = j0 + a; j < stop;)
                    j += MoveRun(o + j, d, q(j), stop - j);
                if (j0 + z > last)
                    o[last] = StoreSmall(ReadMoved(d, q(last), e) + o[last]);
            }))
            return nullptr;
    }
    *begin = NewPosition(static_cast<double>(before) + shift + b, total);
    *end = NewPosition(static_cast<double>(before) + shift + e, total);
    return out;
}

WavePtr moveHEnvelope(const Wave& wave, AbortFlag* abort, double maxShift, const Wave* envelope,
                      int64_t before, int64_t after, int32_t* begin, int32_t* end,
                      std::string* error)
{
    if (!CheckNotEmpty(envelope, "shift envelope", error))
        return nullptr;
    if (!ResolveRange(wave, abort, *begin, *end))
        return nullptr;
    const int32_t b = *begin;
    const int32_t e = *end;
    WavePtr out = MoveFrame(wave, abort, before, after, b, e);
    if (!out)
        return nullptr;
    const int64_t total = out->Values();
    const int64_t reach =
        std::min<int64_t>(TruncCount(std::ceil(std::fabs(maxShift))), MaxWaveValues);
    const int64_t count = reach + (e - b) + reach;
    const int64_t start = before + b - reach;
    // Only what lands inside the new wave is written.
    const int64_t k0 = std::max<int64_t>(0, -start);
    const int64_t k1 = std::min<int64_t>(count, total - start);
    const double denominator = static_cast<double>(e - b) + 2.0 * reach + 1.0;
    const double envelopeLast = envelope->Values() - 1;
    const EnvelopeReader reader(*envelope, 0.0);
    const int16_t* d = wave.Data();
    if (k1 > k0) {
        int16_t* o = out->Data();
        if (!ForBlocks(abort, k1 - k0, [&](int64_t a, int64_t z) {
                for (int64_t k = k0 + a; k < k0 + z; ++k) {
                    const double ev =
                        reader.AtPosition(static_cast<double>(k) * envelopeLast / denominator);
                    const double shift = -ev * maxShift / 32768.0;
                    const double q = static_cast<double>(b - reach + k) + shift;
                    const double m = (q >= b && q <= e - 1) ? ReadMoved(d, q, e) : 0.0;
                    // As in moveH, what moves in adds to the values outside the range instead
                    // of wiping the |maxShift| values next to it.
                    o[start + k] = StoreSample(m + o[start + k]);
                }
            }))
            return nullptr;
    }
    const double magnitude = std::fabs(maxShift);
    *begin = NewPosition(static_cast<double>(before) + b - magnitude, total);
    *end = NewPosition(magnitude + static_cast<double>(before) + e, total);
    return out;
}

} // namespace kelvorn
