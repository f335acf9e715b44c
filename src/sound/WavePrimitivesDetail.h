#pragma once
// Shared machinery of the wave primitives: range checks, the memory-failure road, block loops
// and the frame of every operation that replaces a range. Internal to src/sound.

#include "general/Assert.h"
#include "general/numeric/NumericHelpers.h"
#include "sound/Wave.h"
#include "sound/WaveSampling.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace kelvorn::wavedetail {

inline void SetFlag(AbortFlag* abort)
{
    if (abort)
        *abort = 1;
}

/// A count that cannot be allocated (negative, too large): the memory box, the flag, nothing
/// allocated.
inline void MemoryFailure(AbortFlag* abort)
{
    CheckMemory(nullptr);
    SetFlag(abort);
}

/// A new wave of count values (contents undefined), or nullptr: silently when the flag is set
/// already, through MemoryFailure when count is impossible or the memory cannot be had.
inline WavePtr NewWave(AbortFlag* abort, int64_t count)
{
    if (abort && *abort)
        return nullptr;
    if (count < 0 || count > MaxWaveValues) {
        MemoryFailure(abort);
        return nullptr;
    }
    AbortFlag failed = 0;
    WavePtr wave = CreateWave(&failed, count);
    if (!CheckMemory(wave.get()) || failed) {
        SetFlag(abort);
        return nullptr;
    }
    return wave;
}

/// A real number as a count or index: truncated toward zero; NaN and anything beyond the
/// 64-bit range become INT64_MAX or INT64_MIN, which every caller refuses or clamps.
inline int64_t TruncCount(double x)
{
    if (x != x)
        return INT64_MAX;
    if (x >= 9.2e18)
        return INT64_MAX;
    if (x <= -9.2e18)
        return INT64_MIN;
    return static_cast<int64_t>(x);
}

inline int32_t ClampIndex(int64_t x, int64_t lo, int64_t hi)
{
    return static_cast<int32_t>(std::clamp(x, lo, hi));
}

using kelvorn::WrapRange;

/// Resolves an end of -1 and checks [begin, end) against the wave. A broken range shows the
/// assertion box, sets the flag and answers false.
bool ResolveRange(const Wave& wave, AbortFlag* abort, int32_t begin, int32_t& end);

/// A broken precondition: the box has been shown by the caller's KV_SOFT_ASSERT.
inline bool Refused(AbortFlag* abort)
{
    SetFlag(abort);
    return false;
}

/// body(from, to) over [0, count) in blocks of WaveBlock, the flag polled before each block.
/// False when stopped.
template <class Body> bool ForBlocks(AbortFlag* abort, int64_t count, Body&& body)
{
    for (int64_t at = 0; at < count; at += WaveBlock) {
        if (PollAbort(abort))
            return false;
        body(at, std::min<int64_t>(count, at + WaveBlock));
    }
    return true;
}

/// Copies n values in blocks; false when stopped.
inline bool CopyValues(AbortFlag* abort, int16_t* to, const int16_t* from, int64_t n)
{
    return ForBlocks(abort, n, [&](int64_t a, int64_t b) {
        std::memcpy(to + a, from + a, sizeof(int16_t) * static_cast<size_t>(b - a));
    });
}

inline bool ZeroValues(AbortFlag* abort, int16_t* to, int64_t n)
{
    return ForBlocks(abort, n, [&](int64_t a, int64_t b) {
        std::memset(to + a, 0, sizeof(int16_t) * static_cast<size_t>(b - a));
    });
}

/// The frame of every operation that replaces [begin, end) (already checked) by count new
/// values: a new wave of [0, begin), the new part, [end, Values()); fill(part) writes the part
/// and answers false when stopped. On success *newEnd (when given) is begin + count.
template <class Fill>
WavePtr Splice(const Wave& wave, AbortFlag* abort, int32_t begin, int32_t end, int64_t count,
               int32_t* newEnd, Fill&& fill)
{
    if (count < 0 || count > MaxWaveValues) {
        if (!(abort && *abort))
            MemoryFailure(abort);
        return nullptr;
    }
    const int64_t total = int64_t{begin} + count + (int64_t{wave.Values()} - end);
    WavePtr out = NewWave(abort, total);
    if (!out)
        return nullptr;
    if (total > 0) {
        int16_t* o = out->Data();
        if (!CopyValues(abort, o, wave.Data(), begin))
            return nullptr;
        if (count > 0 && !fill(o + begin))
            return nullptr;
        if (!CopyValues(abort, o + begin + count, wave.Data() + end, wave.Values() - end))
            return nullptr;
    }
    if (newEnd)
        *newEnd = static_cast<int32_t>(begin + count);
    return out;
}

/// A new wave equal to wave outside [begin, end) (already checked); transform(out) writes the
/// range of out and answers false when stopped.
template <class Transform>
WavePtr SameShape(const Wave& wave, AbortFlag* abort, int32_t begin, int32_t end,
                  Transform&& transform)
{
    return Splice(wave, abort, begin, end, end - begin, nullptr, transform);
}

/// StoreSample for a value known to lie well inside the 32-bit range (sums and products of a
/// few samples): the same result without the range tests.
inline int16_t StoreSmall(double x)
{
    return static_cast<int16_t>(static_cast<int32_t>(x));
}

/// Values per run of the hot loops: a run of fixed length is what the compiler turns into
/// vector code at the default optimisation level.
constexpr int64_t RunLength = 8;

/// Value times factor, truncated, low 16 bits kept, for n values; to and from do not overlap.
void ScaleValues(int16_t* __restrict to, const int16_t* __restrict from, int64_t n, double factor);
void ScaleValuesInPlace(int16_t* values, int64_t n, double factor);

/// The interpolated value between data[index] and data[index + 1] at fraction f; indices
/// outside [0, values) read 0.
inline double ReadFrom(const int16_t* data, int64_t values, int64_t index, double f)
{
    const double a = (index >= 0 && index < values) ? data[index] : 0.0;
    if (f == 0.0)
        return a;
    const double b = (index + 1 >= 0 && index + 1 < values) ? data[index + 1] : 0.0;
    return (1.0 - f) * a + f * b;
}

} // namespace kelvorn::wavedetail
