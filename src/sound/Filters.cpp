#include "sound/Filters.h"
#include "general/numeric/NumericHelpers.h"

#include "sound/WavePrimitives.h"
#include "sound/WaveSampling.h"
#include "sound/WaveSignalCommon.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace kelvorn {

using namespace signal;
using wavedetail::ResolveRange;
using wavedetail::SameShape;

namespace {

// ---- One-pole -----------------------------------------------------------------------------------

/// The pass-design attenuation for one pass.
double OnePoleA(double factor, int32_t countBer)
{
    return std::pow(factor, 1.0 / countBer);
}

/// The feedback coefficient for the corner period time. The constant is the program's 2 pi,
/// not the exact one (kept: it sets every corner the program has ever made).
double OnePoleK(double a, double time)
{
    const double k = 1.0 - ProgramTwoPi * a / (std::sqrt(1.0 - a * a) * time);
    return k < 0.0 ? 0.0 : k;
}

/// Runs countCmd passes over the n values of a range, the first reading src, every later one
/// the stores of the one before. The passes go block by block: a later pass needs only the
/// earlier pass's stores at the same index, so the result is that of pass after pass while
/// the block stays in cache. coefficients(at, count, k) fills k[] with the coefficients of
/// count values from range index at on and answers true when one value k[0] holds for all.
/// False when stopped.
template <bool High, class Coefficients>
bool OnePolePasses(AbortFlag* abort, const int16_t* src, int16_t* out, int64_t n, int32_t countCmd,
                   Coefficients&& coefficients)
{
    if (countCmd < 1)
        return wavedetail::CopyValues(abort, out, src, n);
    constexpr int32_t MaxPassesInState = 64;
    std::array<double, MaxPassesInState> state{};
    std::array<double, WaveBlock> k{};
    // Rare: more passes than states kept; the rounds then follow one another.
    const int32_t fused = std::min(countCmd, MaxPassesInState);
    for (int32_t round = 0; round < countCmd; round += fused) {
        const int32_t passes = std::min(fused, countCmd - round);
        state.fill(0.0);
        const bool done = ForBlocks(abort, n, [&](int64_t at, int64_t stop) {
            const auto count = static_cast<int32_t>(stop - at);
            const bool constant = coefficients(at, count, k.data());
            for (int32_t pass = 0; pass < passes; ++pass) {
                const int16_t* in = (round == 0 && pass == 0 ? src : out) + at;
                int16_t* o = out + at;
                double y = state[static_cast<size_t>(pass)];
                if (constant) {
                    const double kk = k[0];
                    const double b = 1.0 - kk;
                    for (int32_t i = 0; i < count; ++i) {
                        const double x = in[i];
                        y = b * x + kk * y;
                        o[i] = StoreSample(High ? x - y : y);
                    }
                } else {
                    for (int32_t i = 0; i < count; ++i) {
                        const double x = in[i];
                        const double kk = k[static_cast<size_t>(i)];
                        y = (1.0 - kk) * x + kk * y;
                        o[i] = StoreSample(High ? x - y : y);
                    }
                }
                state[static_cast<size_t>(pass)] = y;
            }
        });
        if (!done)
            return false;
    }
    return true;
}

template <bool High>
WavePtr OnePole(const Wave& w, AbortFlag* abort, double time, double factor, int32_t countBer,
                int32_t countCmd, int32_t begin, int32_t end)
{
    if (!ResolveRange(w, abort, begin, end))
        return nullptr;
    const double k = OnePoleK(OnePoleA(factor, countBer), time);
    const int16_t* src = w.Data() + begin;
    return SameShape(w, abort, begin, end, [&](int16_t* o) {
        return OnePolePasses<High>(abort, src, o, end - begin, countCmd,
                                   [k](int64_t, int32_t, double* ks) {
                                       ks[0] = k;
                                       return true;
                                   });
    });
}

/// Envelope values turned into coefficients, remembering the last value: envelopes move slowly,
/// and the power behind each frequency is the costly part.
template <class FromValue> class CachedCoefficient
{
public:
    using Result = decltype(std::declval<FromValue>()(0));
    explicit CachedCoefficient(FromValue f) : fromValue(f) {}
    Result operator()(double envelopeValue)
    {
        const int32_t v = EnvelopeInt(envelopeValue);
        if (v != last) {
            last = v;
            value = fromValue(v);
        }
        return value;
    }

private:
    FromValue fromValue;
    int32_t last = INT32_MIN;
    Result value{};
};

template <bool High>
WavePtr OnePoleEnv(const Wave& w, AbortFlag* abort, const Wave* freqEnvelope, double factor,
                   int32_t countBer, int32_t countCmd, int32_t rate, int32_t begin, int32_t end,
                   std::string* error)
{
    if (!CheckNotEmpty(freqEnvelope, "frequency envelope", error) ||
        !ResolveRange(w, abort, begin, end))
        return nullptr;
    const double a = OnePoleA(factor, countBer);
    const EnvelopeReader env(*freqEnvelope, static_cast<double>(end) - begin - 1.0);
    CachedCoefficient coefficient(
        [a, rate](int32_t v) { return OnePoleK(a, rate / EnvelopeFrequency(v)); });
    const int16_t* src = w.Data() + begin;
    return SameShape(w, abort, begin, end, [&](int16_t* o) {
        return OnePolePasses<High>(abort, src, o, end - begin, countCmd,
                                   [&](int64_t at, int32_t count, double* ks) {
                                       for (int32_t i = 0; i < count; ++i)
                                           ks[i] = coefficient(env.At(static_cast<double>(at + i)));
                                       return false;
                                   });
    });
}

// ---- Resonance and notch ------------------------------------------------------------------------

/// One pass of the damped oscillator over the n values of a range; coefficients(i) gives d and
/// c for the range index i. False when stopped.
template <bool Notch, int Steps, class Coefficients>
bool Resonate(AbortFlag* abort, const int16_t* src, int16_t* out, int64_t n,
              Coefficients&& coefficients)
{
    double p = 0.0;
    double v = 0.0;
    return ForBlocks(abort, n, [&](int64_t at, int64_t stop) {
        for (int64_t i = at; i < stop; ++i) {
            const ResCoefficients rc = coefficients(i);
            const double x = src[i];
            const double feed = (1.0 - rc.d) * x;
            for (int s = 0; s < Steps; ++s) {
                p = p + v * rc.c;
                v = v - p;
                p = feed + rc.d * p;
            }
            out[i] = StoreSample(Notch ? x - p : p);
        }
    });
}

template <bool Notch, int Steps, class Coefficients>
WavePtr ResonateRange(const Wave& w, AbortFlag* abort, int32_t begin, int32_t end,
                      Coefficients&& coefficients)
{
    const int16_t* src = w.Data() + begin;
    return SameShape(w, abort, begin, end, [&](int16_t* o) {
        return Resonate<Notch, Steps>(abort, src, o, end - begin, coefficients);
    });
}

template <bool Notch>
WavePtr ResConst(const Wave& w, AbortFlag* abort, double per, double factor, int32_t begin,
                 int32_t end)
{
    if (!KV_REQUIRE(per >= 1 && factor >= 0 && factor <= 1,
                    "per >= 1 && factor >= 0 && factor <= 1", abort) ||
        !ResolveRange(w, abort, begin, end))
        return nullptr;
    const ResCoefficients rc = ResConstants(per, factor, Turn4);
    return ResonateRange<Notch, 4>(w, abort, begin, end, [rc](int64_t) { return rc; });
}

template <bool Notch>
WavePtr ResFreqEnv(const Wave& w, AbortFlag* abort, const Wave* freqEnvelope, double factor,
                   int32_t rate, int32_t begin, int32_t end, std::string* error)
{
    if (!CheckNotEmpty(freqEnvelope, "frequency envelope", error) ||
        !KV_REQUIRE(factor >= 0 && factor <= 1, "factor >= 0 && factor <= 1", abort) ||
        !ResolveRange(w, abort, begin, end))
        return nullptr;
    const EnvelopeReader env(*freqEnvelope, static_cast<double>(end) - begin - 1.0);
    CachedCoefficient freq([factor, rate](int32_t v) {
        return ResConstants(rate / EnvelopeFrequency(v), factor, Turn20);
    });
    // Kept: this variant alone runs 20 finer steps per value.
    return ResonateRange<Notch, 20>(
        w, abort, begin, end, [&](int64_t i) { return freq(env.At(static_cast<double>(i))); });
}

template <bool Notch>
WavePtr ResFactorEnv(const Wave& w, AbortFlag* abort, double per, const Wave* factorEnvelope,
                     int32_t begin, int32_t end, std::string* error)
{
    if (!CheckNotEmpty(factorEnvelope, "factor envelope", error) ||
        !ResolveRange(w, abort, begin, end))
        return nullptr;
    const EnvelopeReader env(*factorEnvelope, static_cast<double>(end) - begin - 1.0);
    CachedCoefficient fac([per](int32_t v) { return ResConstants(per, EnvelopeFactor(v), Turn4); });
    return ResonateRange<Notch, 4>(w, abort, begin, end,
                                   [&](int64_t i) { return fac(env.At(static_cast<double>(i))); });
}

template <bool Notch>
WavePtr ResEnvs(const Wave& w, AbortFlag* abort, const Wave* freqEnvelope,
                const Wave* factorEnvelope, int32_t rate, int32_t begin, int32_t end,
                std::string* error)
{
    if (!CheckNotEmpty(freqEnvelope, "frequency envelope", error) ||
        !CheckNotEmpty(factorEnvelope, "factor envelope", error) ||
        !ResolveRange(w, abort, begin, end))
        return nullptr;
    const double d = static_cast<double>(end) - begin - 1.0;
    const EnvelopeReader freqEnv(*freqEnvelope, d);
    const EnvelopeReader facEnv(*factorEnvelope, d);
    CachedCoefficient per([rate](int32_t v) { return rate / EnvelopeFrequency(v); });
    int32_t lastF = INT32_MIN;
    double lastPer = 0.0;
    ResCoefficients rc{};
    return ResonateRange<Notch, 4>(w, abort, begin, end, [&](int64_t i) {
        const double pr = per(freqEnv.At(static_cast<double>(i)));
        const int32_t f = EnvelopeInt(facEnv.At(static_cast<double>(i)));
        if (f != lastF || pr != lastPer) {
            lastF = f;
            lastPer = pr;
            rc = ResConstants(pr, EnvelopeFactor(f), Turn4);
        }
        return rc;
    });
}

} // namespace

WavePtr lowFilter(const Wave& w, AbortFlag* abort, double time, double factor, int32_t countBer,
                  int32_t countCmd, int32_t begin, int32_t end)
{
    // Each broken condition gets its own box.
    bool ok = KV_SOFT_ASSERT(time > 0);
    ok = KV_SOFT_ASSERT(factor > 0) && ok;
    ok = KV_SOFT_ASSERT(factor < 1) && ok;
    ok = KV_SOFT_ASSERT(countBer > 0) && ok;
    ok = KV_SOFT_ASSERT(countCmd > 0) && ok;
    if (!ok) {
        wavedetail::Refused(abort);
        return nullptr;
    }
    return OnePole<false>(w, abort, time, factor, countBer, countCmd, begin, end);
}

WavePtr highFilter(const Wave& w, AbortFlag* abort, double time, double factor, int32_t countBer,
                   int32_t countCmd, int32_t begin, int32_t end)
{
    if (!KV_SOFT_ASSERT(factor > 0 && factor < 1)) {
        wavedetail::Refused(abort);
        return nullptr;
    }
    return OnePole<true>(w, abort, time, factor, countBer, countCmd, begin, end);
}

WavePtr lowFilterEnv(const Wave& w, AbortFlag* abort, const Wave* freqEnvelope, double factor,
                     int32_t countBer, int32_t countCmd, int32_t rate, int32_t begin, int32_t end,
                     std::string* error)
{
    return OnePoleEnv<false>(w, abort, freqEnvelope, factor, countBer, countCmd, rate, begin, end,
                             error);
}

WavePtr highFilterEnv(const Wave& w, AbortFlag* abort, const Wave* freqEnvelope, double factor,
                      int32_t countBer, int32_t countCmd, int32_t rate, int32_t begin, int32_t end,
                      std::string* error)
{
    return OnePoleEnv<true>(w, abort, freqEnvelope, factor, countBer, countCmd, rate, begin, end,
                            error);
}

WavePtr resFilter(const Wave& w, AbortFlag* abort, double per, double factor, int32_t begin,
                  int32_t end)
{
    return ResConst<false>(w, abort, per, factor, begin, end);
}

WavePtr resFilter(const Wave& w, AbortFlag* abort, const Wave* freqEnvelope, double factor,
                  int32_t rate, int32_t begin, int32_t end, std::string* error)
{
    return ResFreqEnv<false>(w, abort, freqEnvelope, factor, rate, begin, end, error);
}

WavePtr resFilter(const Wave& w, AbortFlag* abort, double per, const Wave* factorEnvelope,
                  int32_t begin, int32_t end, std::string* error)
{
    return ResFactorEnv<false>(w, abort, per, factorEnvelope, begin, end, error);
}

WavePtr resFilter(const Wave& w, AbortFlag* abort, const Wave* freqEnvelope,
                  const Wave* factorEnvelope, int32_t rate, int32_t begin, int32_t end,
                  std::string* error)
{
    return ResEnvs<false>(w, abort, freqEnvelope, factorEnvelope, rate, begin, end, error);
}

WavePtr notchFilter(const Wave& w, AbortFlag* abort, double per, double factor, int32_t begin,
                    int32_t end)
{
    return ResConst<true>(w, abort, per, factor, begin, end);
}

WavePtr notchFilter(const Wave& w, AbortFlag* abort, const Wave* freqEnvelope, double factor,
                    int32_t rate, int32_t begin, int32_t end, std::string* error)
{
    return ResFreqEnv<true>(w, abort, freqEnvelope, factor, rate, begin, end, error);
}

WavePtr notchFilter(const Wave& w, AbortFlag* abort, double per, const Wave* factorEnvelope,
                    int32_t begin, int32_t end, std::string* error)
{
    return ResFactorEnv<true>(w, abort, per, factorEnvelope, begin, end, error);
}

WavePtr notchFilter(const Wave& w, AbortFlag* abort, const Wave* freqEnvelope,
                    const Wave* factorEnvelope, int32_t rate, int32_t begin, int32_t end,
                    std::string* error)
{
    return ResEnvs<true>(w, abort, freqEnvelope, factorEnvelope, rate, begin, end, error);
}

const FilterTable TheFilterTable = {
    {highFilter, highFilterEnv},
    {lowFilter, lowFilterEnv},
    {static_cast<ResFilterFn>(resFilter), static_cast<ResFilterFreqEnvFn>(resFilter),
     static_cast<ResFilterFactorEnvFn>(resFilter), static_cast<ResFilterEnvsFn>(resFilter)},
    {static_cast<ResFilterFn>(notchFilter), static_cast<ResFilterFreqEnvFn>(notchFilter),
     static_cast<ResFilterFactorEnvFn>(notchFilter), static_cast<ResFilterEnvsFn>(notchFilter)},
};

} // namespace kelvorn
