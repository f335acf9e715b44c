#include "sound/WaveSignal.h"

#include "sound/WavePrimitives.h"
#include "sound/WaveSampling.h"
#include "sound/WaveSignalCommon.h"

#include <cmath>

namespace kelvorn {

using namespace signal;
using wavedetail::ResolveRange;

namespace {

struct TempoArgs
{
    double speed;
    double start;
    double lengthFactor;
    double step;
    int32_t blockTime;
    const Wave* speedEnvelop; // null: the jumps follow speed alone
    const Wave* freqWave;     // null: the step is constant
};

/// The step after output value k of the new part.
class StepSource
{
public:
    StepSource(const Wave* freqWave, double step, int64_t length)
        : env(freqWave ? *freqWave : dummy, static_cast<double>(length) - 1.0), step(step),
          enveloped(freqWave != nullptr)
    {
    }
    double At(int64_t k) const
    {
        return enveloped ? env.At(static_cast<double>(k)) * step / 32767.0 : step;
    }

private:
    Wave dummy;
    EnvelopeReader env;
    double step;
    bool enveloped;
};

/// The speed envelope read block by block: each read advances by `advance` envelope positions.
class JumpSource
{
public:
    JumpSource(const Wave* speedEnvelop, int64_t length, double valuesPerRead)
        : env(speedEnvelop ? *speedEnvelop : dummy, static_cast<double>(length) - 1.0),
          advance(valuesPerRead * env.Scale())
    {
    }
    double Next()
    {
        const double e = env.AtPosition(position);
        position += advance;
        return e;
    }

private:
    Wave dummy;
    EnvelopeReader env;
    double advance;
    double position = 0.0;
};

/// The whole wave read by interpolation at p: 0 outside, fading out past the last value.
inline double ReadWave(const Wave& w, double p)
{
    return ReadInterpolated(w, p);
}

template <bool TwoHeads>
WavePtr TempoPitchKernel(const Wave& w, AbortFlag* abort, const TempoArgs& a, int32_t* begin,
                         int32_t* end)
{
    const int32_t b = *begin;
    int32_t e = *end;
    if (!ResolveRange(w, abort, b, e) || !KV_REQUIRE(a.blockTime > 0, "blockTime > 0", abort) ||
        !KV_REQUIRE(a.lengthFactor > 0, "lengthFactor > 0", abort))
        return nullptr;
    if (a.speedEnvelop ? !KV_REQUIRE(a.speed > 0, "speed > 0", abort)
                       : !KV_REQUIRE(a.speed != 0, "speed != 0", abort))
        return nullptr;
    const int64_t n = int64_t{e} - b;
    // The new length in 64 bits: a negative or too large one takes the memory-failure road.
    const int64_t length = wavedetail::TruncCount(static_cast<double>(n) * a.lengthFactor);
    const int32_t blockN = a.blockTime;
    const double s0 = b + static_cast<double>(n) * a.start;
    const bool wrapReads = a.speedEnvelop != nullptr;
    const double lo = b;
    const double hi = e;
    const StepSource steps(a.freqWave, a.step, length);
    // One head jumps once per block, two heads each once per block, half a block apart.
    JumpSource jumps(a.speedEnvelop, length, TwoHeads ? blockN * 0.5 : blockN);
    const auto read = [&](double p) { return ReadWave(w, wrapReads ? WrapInto(p, lo, hi) : p); };

    return wavedetail::Splice(w, abort, b, e, length, end, [&](int16_t* o) {
        int32_t c = 0;
        if (!TwoHeads) {
            double p = s0;
            double blockStart = s0;
            return ForBlocks(abort, length, [&](int64_t at, int64_t stop) {
                for (int64_t k = at; k < stop; ++k) {
                    o[k] = StoreSample(read(p));
                    p += steps.At(k);
                    if (++c == blockN) {
                        c = 0;
                        if (wrapReads) {
                            blockStart += jumps.Next() * blockN * a.speed / 32767.0;
                            p = blockStart;
                        } else {
                            p = WrapInto(s0 + static_cast<double>(k + 1) * a.speed, lo, hi);
                        }
                    }
                }
            });
        }
        const double offset = (1.0 - a.step) * 0.5 * blockN;
        const int32_t half = blockN / 2;
        double headA = s0;
        double headB = s0 + offset;
        // Kept: with a speed envelope the block start begins at the fraction of the whole
        // wave, not of the range; the reads wrap into the range all the same.
        double blockStart = (w.Values() - 1.0) * a.start;
        const auto jumpTo = [&](int64_t written) {
            if (wrapReads) {
                blockStart += jumps.Next() * blockN * 0.5 * a.speed / 32767.0;
                return blockStart;
            }
            return WrapInto(offset + static_cast<double>(written) * a.speed + b +
                                static_cast<double>(n) * a.start,
                            lo, hi);
        };
        return ForBlocks(abort, length, [&](int64_t at, int64_t stop) {
            for (int64_t k = at; k < stop; ++k) {
                // 1 at the block start, 0 in its middle.
                const double weight = std::fabs(static_cast<double>(c) / blockN * 2.0 - 1.0);
                o[k] = StoreSample(Trunc(read(headA) * weight) + read(headB) * (1.0 - weight));
                const double step = steps.At(k);
                headA += step;
                headB += step;
                ++c;
                if (c == half)
                    headA = jumpTo(k + 1);
                if (c == blockN) {
                    c = 0;
                    headB = jumpTo(k + 1);
                }
            }
        });
    });
}

WavePtr Run(bool twoHeads, const Wave& w, AbortFlag* abort, const TempoArgs& a, int32_t* begin,
            int32_t* end, std::string* error)
{
    if ((a.freqWave && !CheckNotEmpty(a.freqWave, "pitch envelope", error)) ||
        (a.speedEnvelop && !CheckNotEmpty(a.speedEnvelop, "speed envelope", error)))
        return nullptr;
    return twoHeads ? TempoPitchKernel<true>(w, abort, a, begin, end)
                    : TempoPitchKernel<false>(w, abort, a, begin, end);
}

} // namespace

WavePtr tempoPitch(const Wave& w, AbortFlag* abort, double speed, double start, double lengthFactor,
                   double step, int32_t blockTime, int32_t* begin, int32_t* end)
{
    return Run(false, w, abort, {speed, start, lengthFactor, step, blockTime, nullptr, nullptr},
               begin, end, nullptr);
}

WavePtr tempoPitch2(const Wave& w, AbortFlag* abort, double speed, double start,
                    double lengthFactor, double step, int32_t blockTime, int32_t* begin,
                    int32_t* end)
{
    return Run(true, w, abort, {speed, start, lengthFactor, step, blockTime, nullptr, nullptr},
               begin, end, nullptr);
}

WavePtr tempoPitchFreqEnv(const Wave& w, AbortFlag* abort, double speed, double start,
                          double lengthFactor, double step, const Wave* freqWave, int32_t blockTime,
                          int32_t* begin, int32_t* end, std::string* error)
{
    const Wave none;
    return Run(false, w, abort,
               {speed, start, lengthFactor, step, blockTime, nullptr, freqWave ? freqWave : &none},
               begin, end, error);
}

WavePtr tempoPitch2FreqEnv(const Wave& w, AbortFlag* abort, double speed, double start,
                           double lengthFactor, double step, const Wave* freqWave,
                           int32_t blockTime, int32_t* begin, int32_t* end, std::string* error)
{
    const Wave none;
    return Run(true, w, abort,
               {speed, start, lengthFactor, step, blockTime, nullptr, freqWave ? freqWave : &none},
               begin, end, error);
}

WavePtr tempoPitchSpeedEnv(const Wave& w, AbortFlag* abort, double speed, const Wave* speedEnvelop,
                           double start, double lengthFactor, double step, int32_t blockTime,
                           int32_t* begin, int32_t* end, std::string* error)
{
    const Wave none;
    return Run(
        false, w, abort,
        {speed, start, lengthFactor, step, blockTime, speedEnvelop ? speedEnvelop : &none, nullptr},
        begin, end, error);
}

WavePtr tempoPitch2SpeedEnv(const Wave& w, AbortFlag* abort, double speed, const Wave* speedEnvelop,
                            double start, double lengthFactor, double step, int32_t blockTime,
                            int32_t* begin, int32_t* end, std::string* error)
{
    const Wave none;
    return Run(
        true, w, abort,
        {speed, start, lengthFactor, step, blockTime, speedEnvelop ? speedEnvelop : &none, nullptr},
        begin, end, error);
}

WavePtr tempoPitchEnvs(const Wave& w, AbortFlag* abort, double speed, const Wave* speedEnvelop,
                       double start, double lengthFactor, double step, const Wave* freqWave,
                       int32_t blockTime, int32_t* begin, int32_t* end, std::string* error)
{
    const Wave none;
    return Run(false, w, abort,
               {speed, start, lengthFactor, step, blockTime, speedEnvelop ? speedEnvelop : &none,
                freqWave ? freqWave : &none},
               begin, end, error);
}

WavePtr tempoPitch2Envs(const Wave& w, AbortFlag* abort, double speed, const Wave* speedEnvelop,
                        double start, double lengthFactor, double step, const Wave* freqWave,
                        int32_t blockTime, int32_t* begin, int32_t* end, std::string* error)
{
    const Wave none;
    return Run(true, w, abort,
               {speed, start, lengthFactor, step, blockTime, speedEnvelop ? speedEnvelop : &none,
                freqWave ? freqWave : &none},
               begin, end, error);
}

} // namespace kelvorn
