#include "sound/WaveSignal.h"

#include "sound/WavePrimitives.h"
#include "sound/WaveSampling.h"
#include "sound/WaveSignalCommon.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kelvorn {

using namespace signal;
using wavedetail::ResolveRange;

namespace {

/// The echo kernel. readAt(j, k, i) gives the read position of old position j (k = j minus the
/// first position, i the echo number); gain(k, i, running) the factor of that value, running
/// being factor^i. Positions outside [begin, end - 1] read nothing. constantDelay says that
/// readAt is j - diffTime * i and gain the running factor, so that echo i need only visit the
/// positions that read the range, and a whole-value delay needs no interpolation at all.
template <class ReadAt, class Gain>
WavePtr Echo(const Wave& w, AbortFlag* abort, double diffTime, double factor, int32_t count,
             int32_t* begin, int32_t* end, bool needsDelayAtLeastZero, const Wave* envelope1,
             const Wave* envelope2, ReadAt&& readAt, Gain&& gain, bool constantDelay)
{
    const int32_t b = *begin;
    int32_t e = *end;
    if (!ResolveRange(w, abort, b, e) || !KV_REQUIRE(b < e - 1, "begin < end - 1", abort))
        return nullptr;
    if (needsDelayAtLeastZero && !KV_SOFT_ASSERT(diffTime >= 0)) {
        wavedetail::Refused(abort);
        return nullptr;
    }
    // A negative count would shrink the extension below the range itself.
    const int32_t echoes = std::max(count, 0);
    const double grow = diffTime > 0 ? Trunc(diffTime + 1.0) * echoes : 0.0;
    const double shrink = diffTime < 0 ? Trunc(diffTime - 1.0) * echoes : 0.0;
    if (!(grow < 4.0 * MaxWaveValues && shrink > -4.0 * MaxWaveValues)) {
        wavedetail::MemoryFailure(abort);
        return nullptr;
    }
    const int64_t lastEnd = e + static_cast<int64_t>(grow);
    const int64_t firstBegin = b + static_cast<int64_t>(shrink);
    const int64_t values = w.Values();
    const int64_t before = firstBegin < 0 ? -firstBegin : 0;
    const int64_t after = lastEnd > values ? lastEnd - values : 0;
    WavePtr out = wavedetail::NewWave(abort, before + values + after);
    if (!out)
        return nullptr;
    int16_t* o = out->Data() + before; // indexed by old positions
    if (!wavedetail::ZeroValues(abort, out->Data(), before) ||
        !wavedetail::CopyValues(abort, o, w.Data(), values) ||
        !wavedetail::ZeroValues(abort, o + values, after))
        return nullptr;

    // The envelopes span the extended range.
    const double d = static_cast<double>(lastEnd - firstBegin - 1);
    const EnvelopeReader env1(envelope1 ? *envelope1 : w, d);
    const EnvelopeReader env2(envelope2 ? *envelope2 : w, d);
    const int16_t* src = w.Data();
    double running = 1.0;
    for (int32_t i = 1; i <= echoes; ++i) {
        running *= factor;
        int64_t from = firstBegin;
        int64_t to = lastEnd;
        bool done = false;
        if (constantDelay) {
            // Echo i reads the range from about begin + delay to end - 1 + delay on.
            const double delay = diffTime * i;
            from = std::clamp(wavedetail::TruncCount(std::floor(b + delay) - 1.0), firstBegin,
                              lastEnd);
            to = std::clamp(wavedetail::TruncCount(std::ceil(e - 1 + delay) + 2.0), from, lastEnd);
            if (delay == std::floor(delay) && std::fabs(delay) < 0x1p52) {
                // A whole number of values: j - delay is exact, every read hits a value.
                const auto shift = static_cast<int64_t>(delay);
                from = std::clamp<int64_t>(b + shift, firstBegin, lastEnd);
                to = std::clamp<int64_t>(e + shift, from, lastEnd);
                const int16_t* moved = src - shift;
                const bool small = std::fabs(running) <= 32768.0;
                done = ForBlocks(abort, to - from, [&](int64_t at, int64_t stop) {
                    if (small) {
                        // |sum| < 2^31: a 32-bit truncation keeps the same low 16 bits.
                        for (int64_t j = from + at; j < from + stop; ++j)
                            o[j] = static_cast<int16_t>(
                                static_cast<int32_t>(o[j] + moved[j] * running));
                    } else {
                        for (int64_t j = from + at; j < from + stop; ++j)
                            o[j] = StoreSample(o[j] + moved[j] * running);
                    }
                });
                if (!done)
                    return nullptr;
                continue;
            }
        }
        done = ForBlocks(abort, to - from, [&](int64_t at, int64_t stop) {
            for (int64_t j = from + at; j < from + stop; ++j) {
                const double q = readAt(j, j - firstBegin, i, env1);
                if (!(q >= b && q <= e - 1))
                    continue;
                const double g = gain(j - firstBegin, i, running, env1, env2);
                o[j] = StoreSample(o[j] + ReadRange(src, q, b, e) * g);
            }
        });
        if (!done)
            return nullptr;
    }
    *begin = static_cast<int32_t>(firstBegin + before);
    *end = static_cast<int32_t>(lastEnd + before);
    return out;
}

} // namespace

WavePtr periodEcho(const Wave& w, AbortFlag* abort, double diffTime, double factor, int32_t count,
                   int32_t* begin, int32_t* end)
{
    return Echo(
        w, abort, diffTime, factor, count, begin, end, false, nullptr, nullptr,
        [diffTime](int64_t j, int64_t, int32_t i, const EnvelopeReader&) {
            return static_cast<double>(j) - diffTime * i;
        },
        [](int64_t, int32_t, double running, const EnvelopeReader&, const EnvelopeReader&) {
            return running;
        },
        true);
}

WavePtr periodEchoEnv(const Wave& w, AbortFlag* abort, const Wave* delayEnvelope, double diffTime,
                      double factor, int32_t count, int32_t* begin, int32_t* end,
                      std::string* error)
{
    if (!CheckNotEmpty(delayEnvelope, "delay envelope", error))
        return nullptr;
    return Echo(
        w, abort, diffTime, factor, count, begin, end, true, delayEnvelope, nullptr,
        [diffTime](int64_t j, int64_t k, int32_t i, const EnvelopeReader& delay) {
            return static_cast<double>(j) -
                   delay.At(static_cast<double>(k)) * i * diffTime / 32767.0;
        },
        [](int64_t, int32_t, double running, const EnvelopeReader&, const EnvelopeReader&) {
            return running;
        },
        false);
}

WavePtr periodEchoEnv(const Wave& w, AbortFlag* abort, double diffTime, const Wave* factorEnvelope,
                      int32_t count, int32_t* begin, int32_t* end, std::string* error)
{
    if (!CheckNotEmpty(factorEnvelope, "factor envelope", error))
        return nullptr;
    return Echo(
        w, abort, diffTime, 1.0, count, begin, end, false, nullptr, factorEnvelope,
        [diffTime](int64_t j, int64_t, int32_t i, const EnvelopeReader&) {
            return static_cast<double>(j) - diffTime * i;
        },
        [](int64_t k, int32_t i, double, const EnvelopeReader&, const EnvelopeReader& fac) {
            return std::pow(fac.At(static_cast<double>(k)) / 32767.0, i);
        },
        false);
}

WavePtr periodEchoEnv(const Wave& w, AbortFlag* abort, const Wave* delayEnvelope, double diffTime,
                      const Wave* factorEnvelope, int32_t count, int32_t* begin, int32_t* end,
                      std::string* error)
{
    if (!CheckNotEmpty(delayEnvelope, "delay envelope", error) ||
        !CheckNotEmpty(factorEnvelope, "factor envelope", error))
        return nullptr;
    return Echo(
        w, abort, diffTime, 1.0, count, begin, end, true, delayEnvelope, factorEnvelope,
        [diffTime](int64_t j, int64_t k, int32_t i, const EnvelopeReader& delay) {
            return static_cast<double>(j) -
                   delay.At(static_cast<double>(k)) * i * diffTime / 32767.0;
        },
        [](int64_t k, int32_t i, double, const EnvelopeReader&, const EnvelopeReader& fac) {
            return std::pow(fac.At(static_cast<double>(k)) / 32767.0, i);
        },
        false);
}

} // namespace kelvorn
