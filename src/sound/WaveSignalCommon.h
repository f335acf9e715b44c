#pragma once
// Helpers shared by the signal operations and the filters, on top of the primitives' machinery
// (WavePrimitivesDetail.h): preconditions with their own texts, reads that stay inside a range,
// a cheap wrap for positions that are usually inside already, and the envelope mappings.
// Internal to the wave engine.

#include "general/Assert.h"
#include "sound/Wave.h"
#include "sound/WavePrimitivesDetail.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>

namespace kelvorn::signal {

/// A broken precondition named by its own text: the "Assertion failed" box, the flag set (the
/// caller discards the command as it discards an aborted one); yields the condition.
#define KV_REQUIRE(cond, text, abort)                                                              \
    ((cond) ? true                                                                                 \
            : (::kelvorn::ReportAssertFailed(text, __FILE__, __LINE__),                            \
               ::kelvorn::wavedetail::Refused(abort)))

/// Test hook: while on, every Poll is counted, so a test can see how often an operation looks
/// at the flag and that it stops at once when the flag is set.
void CountPolls(bool on);
int64_t PollsCounted();

namespace detail {
extern std::atomic<bool> countingPolls;
void CountPoll();
} // namespace detail

/// Asked before every block of at most WaveBlock values: true when the operation must stop.
inline bool Poll(AbortFlag* abort)
{
    if (detail::countingPolls.load(std::memory_order_relaxed)) [[unlikely]]
        detail::CountPoll();
    return PollAbort(abort);
}

/// body(from, to) over [0, count) in blocks, polling before each; false when stopped.
template <class Body> bool ForBlocks(AbortFlag* abort, int64_t count, Body&& body)
{
    for (int64_t at = 0; at < count; at += WaveBlock) {
        if (Poll(abort))
            return false;
        body(at, count - at < WaveBlock ? count : at + WaveBlock);
    }
    return true;
}

/// A copy of the whole wave, made in blocks; nullptr when stopped or out of memory (the memory
/// box shown, the flag set).
inline WavePtr CopyWave(const Wave& w, AbortFlag* abort)
{
    WavePtr out = wavedetail::NewWave(abort, w.Values());
    if (!out || !ForBlocks(abort, w.Values(), [&](int64_t a, int64_t b) {
            std::copy(w.Data() + a, w.Data() + b, out->Data() + a);
        }))
        return nullptr;
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

/// wavedetail::WrapRange, with positions that are inside already (the common case of a read
/// head that moved by less than a period) coming back without a division. Inside means the
/// quotient (x - lo) / (hi - lo) stays below 1 after rounding, so both give the same result.
inline double WrapInto(double x, double lo, double hi)
{
    if (x >= lo && x - lo < (hi - lo) * (1.0 - 0x1p-50))
        return x;
    return wavedetail::WrapRange(x, lo, hi);
}

/// An envelope value truncated to a 16-bit integer.
inline int32_t EnvelopeInt(double v)
{
    return static_cast<int16_t>(static_cast<uint16_t>(wavedetail::TruncCount(v) & 0xFFFF));
}

/// A frequency envelope value (truncated to 16 bits first) in Hz, from 20 Hz to about 20 kHz.
inline double EnvelopeFrequency(int32_t v16)
{
    return 20.0 * std::pow(10.0, (v16 + 32768) / 21845.0);
}

/// A factor envelope value (truncated to 16 bits first) as a factor in [0, 1).
inline double EnvelopeFactor(int32_t v16)
{
    return (v16 + 32768) / 65536.0;
}

// ---- The resonator ------------------------------------------------------------------------------

/// The damped oscillator's coefficients: d the damping per value, c the turn per step.
struct ResCoefficients
{
    double d;
    double c;
};

inline ResCoefficients ResConstants(double per, double factor, double turn)
{
    return {std::pow(1.0 - factor, 1.0 / per), turn / (per * per)};
}

// (pi/2)^2 and (pi/10)^2, near enough: the oscillator turns once per period with 4 or 20 steps.
constexpr double Turn4 = 2.466;
constexpr double Turn20 = 0.09864;

} // namespace kelvorn::signal
