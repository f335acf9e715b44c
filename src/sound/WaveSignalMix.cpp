#include "sound/WaveSignal.h"

#include "sound/WavePrimitives.h"
#include "sound/WaveSampling.h"
#include "sound/WaveSignalCommon.h"

#include <algorithm>
#include <cmath>

namespace kelvorn {

using namespace signal;
using wavedetail::NewWave;
using wavedetail::ResolveRange;
using wavedetail::SameShape;

namespace {

/// to[i] += from[i] for n values, 16-bit wrap, in blocks; false when stopped.
bool AddValues(AbortFlag* abort, int16_t* to, const int16_t* from, int64_t n)
{
    return ForBlocks(abort, n, [&](int64_t a, int64_t b) {
        for (int64_t i = a; i < b; ++i)
            to[i] = WrapSample(int32_t{to[i]} + from[i]);
    });
}

/// to[i] = (to[i] + from[i] * factor) truncated for n values, in blocks.
void AddScaledValues(AbortFlag* abort, int16_t* to, const int16_t* from, int64_t n, double factor)
{
    // Below 65535 in size every sum lies inside 32 bits, where truncating through 32 bits keeps
    // the same low 16 bits as StoreSample: a loop the compiler turns into vector code. Mixing
    // notes into a piece runs here for every value of every note.
    if (std::fabs(factor) < 65535.0) {
        using wavedetail::RunLength;
        using wavedetail::StoreSmall;
        ForBlocks(abort, n, [&](int64_t a, int64_t b) {
            int64_t i = a;
            for (; i + RunLength <= b; i += RunLength)
                for (int64_t u = 0; u < RunLength; ++u)
                    to[i + u] = StoreSmall(to[i + u] + from[i + u] * factor);
            for (; i < b; ++i)
                to[i] = StoreSmall(to[i] + from[i] * factor);
        });
        return;
    }
    ForBlocks(abort, n, [&](int64_t a, int64_t b) {
        for (int64_t i = a; i < b; ++i)
            to[i] = StoreSample(to[i] + from[i] * factor);
    });
}

WavePtr MixPlaced(const Wave& w, AbortFlag* abort, const Wave& other, int64_t offset,
                  int32_t otherEnd, bool fromEnd)
{
    const int64_t n = w.Values();
    const int64_t mAll = other.Values();
    const int64_t m = otherEnd == -1 ? mAll : std::clamp<int64_t>(otherEnd, 0, mAll);
    const int64_t s = fromEnd && otherEnd != -1 ? mAll - m : 0;
    const int64_t before = std::max<int64_t>(0, -offset);
    const int64_t after = std::max<int64_t>(0, offset + m - n);
    WavePtr out = NewWave(abort, before + n + after);
    if (!out)
        return nullptr;
    int16_t* o = out->Data();
    if (wavedetail::ZeroValues(abort, o, before) &&
        wavedetail::CopyValues(abort, o + before, w.Data(), n) &&
        wavedetail::ZeroValues(abort, o + before + n, after) &&
        AddValues(abort, o + std::max<int64_t>(offset, 0), other.Data() + s, m))
        return out;
    return nullptr;
}

} // namespace

void mixCycleAfterThis(Wave& w, AbortFlag* abort, const Wave& other, int32_t after)
{
    const int32_t values = w.Values();
    if (!KV_SOFT_ASSERT(values != 0) || !KV_SOFT_ASSERT(after < values) ||
        !KV_SOFT_ASSERT(after >= 0)) {
        wavedetail::Refused(abort);
        return;
    }
    int64_t done = 0;
    int32_t at = after;
    while (done < other.Values()) {
        const int64_t len = std::min<int64_t>(values - at, other.Values() - done);
        if (!AddValues(abort, w.Data() + at, other.Data() + done, len))
            return;
        done += len;
        at += static_cast<int32_t>(len);
        if (at == values)
            at = 0;
    }
}

void addAt(Wave& w, AbortFlag* abort, const Wave& other, int32_t after)
{
    const int64_t first = std::max<int64_t>(0, -int64_t{after});
    const int64_t stop = std::min<int64_t>(other.Values(), int64_t{w.Values()} - after);
    if (stop > first)
        AddValues(abort, w.Data() + (after + first), other.Data() + first, stop - first);
}

void addScaledAt(Wave& w, AbortFlag* abort, const Wave& other, int32_t after, double factor)
{
    const int64_t first = std::max<int64_t>(0, -int64_t{after});
    const int64_t stop = std::min<int64_t>(other.Values(), int64_t{w.Values()} - after);
    if (stop > first)
        AddScaledValues(abort, w.Data() + (after + first), other.Data() + first, stop - first,
                        factor);
}

void addShifted(Wave& w, AbortFlag* abort, const Wave& other, int32_t thisBegin, int32_t otherBegin)
{
    const int64_t offset = int64_t{thisBegin} - otherBegin;
    const int64_t first = std::max<int64_t>(offset, 0);
    const int64_t stop = std::min<int64_t>(offset + other.Values(), w.Values());
    if (stop > first)
        AddValues(abort, w.Data() + first, other.Data() + (first - offset), stop - first);
}

void addShiftedScaled(Wave& w, AbortFlag* abort, const Wave& other, int32_t thisBegin,
                      int32_t otherBegin, double factor)
{
    const int64_t offset = int64_t{thisBegin} - otherBegin;
    const int64_t first = std::max<int64_t>(offset, 0);
    const int64_t stop = std::min<int64_t>(offset + other.Values(), w.Values());
    if (stop > first)
        AddScaledValues(abort, w.Data() + first, other.Data() + (first - offset), stop - first,
                        factor);
}

WavePtr mixAlignBegin(const Wave& w, AbortFlag* abort, const Wave& other, int32_t offset,
                      int32_t otherEnd, bool fromEnd)
{
    return MixPlaced(w, abort, other, offset, otherEnd, fromEnd);
}

WavePtr mixAlignEnd(const Wave& w, AbortFlag* abort, const Wave& other, int32_t position,
                    int32_t otherEnd, bool fromEnd)
{
    const int64_t m =
        otherEnd == -1 ? other.Values() : std::clamp<int64_t>(otherEnd, 0, other.Values());
    return MixPlaced(w, abort, other, int64_t{position} - m, otherEnd, fromEnd);
}

WavePtr mixStretch(const Wave& w, AbortFlag* abort, const Wave& other, int32_t begin, int32_t end,
                   std::string* error)
{
    if (!CheckNotEmpty(&other, "wave to mix", error) || !ResolveRange(w, abort, begin, end))
        return nullptr;
    // Kept: the stretch divides by the range length plus one.
    const EnvelopeReader env(other, static_cast<double>(end) - begin + 1.0);
    const int16_t* src = w.Data() + begin;
    return SameShape(w, abort, begin, end, [&](int16_t* o) {
        return ForBlocks(abort, end - begin, [&](int64_t a, int64_t b) {
            for (int64_t i = a; i < b; ++i)
                o[i] = StoreSample(src[i] + env.At(static_cast<double>(i)));
        });
    });
}

WavePtr mixWeighted(const Wave& w, AbortFlag* abort, double a, const Wave& other, double b,
                    int32_t begin, int32_t end)
{
    if (!KV_REQUIRE(w.Values() == other.Values(), "values == daar->values", abort) ||
        !ResolveRange(w, abort, begin, end))
        return nullptr;
    const int16_t* x = w.Data() + begin;
    const int16_t* y = other.Data() + begin;
    // Halves of two 16-bit values are exact in double, so the integer halving gives the same
    // truncated result without leaving the integer unit.
    const bool halves = a == 0.5 && b == 0.5;
    return SameShape(w, abort, begin, end, [&](int16_t* o) {
        return ForBlocks(abort, end - begin, [&](int64_t from, int64_t to) {
            if (halves) {
                for (int64_t i = from; i < to; ++i)
                    o[i] = static_cast<int16_t>((int32_t{x[i]} + y[i]) / 2);
            } else {
                for (int64_t i = from; i < to; ++i)
                    o[i] = StoreSample(x[i] * a + y[i] * b);
            }
        });
    });
}

WavePtr mixHalf(const Wave& w, AbortFlag* abort, const Wave& other)
{
    if (!KV_REQUIRE(w.Values() == other.Values(), "values == other->values", abort))
        return nullptr;
    return mixWeighted(w, abort, 0.5, other, 0.5, 0, -1);
}

} // namespace kelvorn
