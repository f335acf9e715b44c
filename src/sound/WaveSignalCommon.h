#pragma once
// Helpers shared by the signal operations and the filters: range checks that name the failed
// condition, counts computed in 64 bits, blockwise copies that watch the abort flag, reads that
// stay inside a range, and the refusal of empty envelopes. Internal to the wave engine.

#include "general/Assert.h"
#include "sound/Wave.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace kelvorn::signal {

/// Reports a failed precondition with its own text under "Assertion failed"; the caller decides
/// whether it can go on. Yields the condition.
#define KV_REQUIRE(cond, text)                                                                     \
    ((cond) ? true : (::kelvorn::ReportAssertFailed(text, __FILE__, __LINE__), false))

/// Test hook behind Aborted: when armed, the poll numbered `poll` (from 1 after arming) finds
/// the abort flag set, as if the user had stopped the operation there. A negative value disarms
/// it. Polls are counted while armed, so a test can see that an operation stopped promptly.
void AbortAtPoll(int64_t poll);
int64_t AbortPollsCounted();

namespace detail {
extern std::atomic<bool> abortHookArmed;
bool AbortedHooked(AbortFlag* abort);
} // namespace detail

/// Looked at before every block of at most WaveBlock values.
inline bool Aborted(AbortFlag* abort)
{
    if (detail::abortHookArmed.load(std::memory_order_relaxed)) [[unlikely]]
        return detail::AbortedHooked(abort);
    return abort && *abort;
}

/// Resolves end -1 and checks the range against the wave. A range outside the wave or reversed
/// is reported and refused; an empty range is allowed.
inline bool ResolveRange(const Wave& w, int32_t begin, int32_t& end)
{
    end = w.ResolveEnd(end);
    bool ok = KV_REQUIRE(begin >= 0, "begin >= 0");
    ok = KV_REQUIRE(end <= w.Values(), "end <= values") && ok;
    ok = KV_REQUIRE(end >= 0, "end >= 0") && ok;
    ok = KV_REQUIRE(begin <= end, "begin <= end") && ok;
    return ok;
}

/// A real count truncated toward zero into 64 bits. Counts that are not finite or beyond what
/// a wave can hold come out as -1 or MaxWaveValues + 1, which NewWave refuses.
inline int64_t TruncCount(double x)
{
    if (std::isnan(x))
        return -1;
    if (x >= static_cast<double>(MaxWaveValues) + 1.0)
        return MaxWaveValues + 1;
    if (x <= -1.0)
        return x > -9.0e18 ? static_cast<int64_t>(x) : -1;
    return static_cast<int64_t>(x);
}

/// A new wave of count values. A negative or too large count takes the road of a failed
/// allocation: *abort is set and nothing is allocated.
inline WavePtr NewWave(AbortFlag* abort, int64_t count)
{
    if (count < 0 || count > MaxWaveValues) {
        if (abort)
            *abort = 1;
        return nullptr;
    }
    return CreateWave(abort, count);
}

/// Copies n values in blocks, looking at the abort flag before each; false when it stopped.
inline bool CopyValues(AbortFlag* abort, int16_t* to, const int16_t* from, int64_t n)
{
    for (int64_t at = 0; at < n; at += WaveBlock) {
        if (Aborted(abort))
            return false;
        const int64_t len = n - at < WaveBlock ? n - at : WaveBlock;
        std::memcpy(to + at, from + at, sizeof(int16_t) * static_cast<size_t>(len));
    }
    return true;
}

/// Sets n values to 0 in blocks, looking at the abort flag before each.
inline bool ClearValues(AbortFlag* abort, int16_t* to, int64_t n)
{
    for (int64_t at = 0; at < n; at += WaveBlock) {
        if (Aborted(abort))
            return false;
        const int64_t len = n - at < WaveBlock ? n - at : WaveBlock;
        std::memset(to + at, 0, sizeof(int16_t) * static_cast<size_t>(len));
    }
    return true;
}

/// A new wave of w's length holding w outside [begin, end); the range itself is left for the
/// caller to fill. nullptr when the memory cannot be had.
inline WavePtr CopyOutside(const Wave& w, AbortFlag* abort, int32_t begin, int32_t end)
{
    WavePtr out = NewWave(abort, w.Values());
    if (!out)
        return nullptr;
    if (CopyValues(abort, out->Data(), w.Data(), begin))
        CopyValues(abort, out->Data() + end, w.Data() + end, w.Values() - end);
    return out;
}

/// The source read by interpolation at q, 0 unless begin <= q <= end - 1. The partner of the
/// interpolation never lies past end - 1.
inline double ReadRange(const int16_t* src, double q, int32_t begin, int32_t end)
{
    if (!(q >= static_cast<double>(begin) && q <= static_cast<double>(end - 1)))
        return 0.0;
    const auto i = static_cast<int32_t>(q);
    const double f = q - i;
    if (f == 0.0)
        return src[i];
    return (1.0 - f) * src[i] + f * src[i + 1];
}

/// Truncation toward zero that stays defined for any double and needs no library call.
inline double Trunc(double x)
{
    if (x > -4.0e15 && x < 4.0e15)
        return static_cast<double>(static_cast<int64_t>(x));
    return x;
}

/// x brought into [lo, hi) by whole periods of hi - lo; hi must lie above lo. Positions already
/// inside come back unchanged without a division.
inline double WrapInto(double x, double lo, double hi)
{
    const double p = hi - lo;
    if (x >= lo && x - lo < p * (1.0 - 0x1p-50))
        return x;
    if (x < lo)
        x = x + Trunc((lo - x) / p + 1.0) * p;
    return x - Trunc((x - lo) / p) * p;
}

/// A frequency envelope value (truncated to 16 bits first) as a frequency in Hz, from 20 Hz up
/// to about 20 kHz.
inline double EnvelopeFrequency(double v)
{
    const int32_t vi =
        static_cast<int16_t>(static_cast<uint16_t>(static_cast<int64_t>(v) & 0xFFFF));
    return 20.0 * std::pow(10.0, (vi + 32768) / 21845.0);
}

/// A factor envelope value (truncated to 16 bits first) as a factor in [0, 1).
inline double EnvelopeFactor(double v)
{
    const int32_t vi =
        static_cast<int16_t>(static_cast<uint16_t>(static_cast<int64_t>(v) & 0xFFFF));
    return (vi + 32768) / 65536.0;
}

/// Refuses a wave without values that an operation would read as an envelope, form or
/// partner; the message names it ("The <what> has no values.").
inline bool RefuseEmpty(const Wave& w, const char* what, std::string* error)
{
    if (w.Values() > 0)
        return false;
    if (error)
        *error = std::string("The ") + what + " has no values.";
    return true;
}

} // namespace kelvorn::signal
