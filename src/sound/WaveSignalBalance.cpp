#include "general/numeric/NumericHelpers.h"
#include "sound/WaveSignal.h"

#include "sound/Filters.h"
#include "sound/WavePrimitives.h"
#include "sound/WaveSampling.h"
#include "sound/WaveSignalCommon.h"

#include <cmath>

namespace kelvorn {

using namespace signal;

namespace {

constexpr int32_t CurveValues = 150;

/// The frequency curve of the rate, or nullptr (flag set) when its memory cannot be had.
WavePtr FrequencyCurve(AbortFlag* abort, int32_t rate)
{
    WavePtr curve = wavedetail::NewWave(abort, CurveValues);
    if (curve)
        makeFrequencyCurve(*curve, abort, rate);
    return curve;
}

/// The whole wave read by interpolation at p: 0 outside, fading out past the last value (the
/// delayed wave is one value longer for that fade).
inline double ReadWave(const Wave& w, double p)
{
    return ReadInterpolated(w, p);
}

} // namespace

WavePtr balFilter(const Wave& w, AbortFlag* abort, double angle, int32_t rate)
{
    WavePtr curve = FrequencyCurve(abort, rate);
    if (!curve)
        return nullptr;
    const int32_t v = EnvelopeInt(ReadInterpolated(*curve, 149.0 * (angle * 0.5 + 0.5)));
    return lowFilter(w, abort, rate / EnvelopeFrequency(v), 0.4, 1, 1, 0, -1);
}

WavePtr balanceDelay(const Wave& w, AbortFlag* abort, double angle, int32_t rate, double gain)
{
    const double d = std::sin(angle * ProgramPi * 0.5) * rate * 2.0 / 3400.0;
    if (d < 0) {
        // The near channel is not delayed; it only gets as long as the far one.
        int32_t begin = w.Values();
        int32_t end = w.Values();
        return makeSilence(w, abort, wavedetail::TruncCount(std::fabs(d) + 1.0), &begin, &end);
    }
    const int64_t count = wavedetail::TruncCount(1.0 + d + w.Values());
    WavePtr out = wavedetail::NewWave(abort, count);
    if (!out)
        return nullptr;
    int16_t* o = out->Data();
    const bool done = ForBlocks(abort, count, [&](int64_t at, int64_t stop) {
        for (int64_t k = at; k < stop; ++k)
            o[k] = StoreSample(ReadWave(w, static_cast<double>(k) - d) * gain);
    });
    return done ? std::move(out) : nullptr;
}

WavePtr balance(const Wave& w, AbortFlag* abort, double angle, int32_t side, bool delay,
                bool volume, bool filter, int32_t rate)
{
    if (side == 1)
        angle = -angle;
    const double gain = volume ? (1.0 - angle) * 0.5 : 1.0;
    if (!delay) {
        if (volume)
            return kelvorn::volume(w, abort, gain, 0, -1);
        if (filter)
            return balFilter(w, abort, angle, rate);
        return CopyWave(w, abort);
    }
    if (!filter)
        return balanceDelay(w, abort, angle, rate, gain);
    WavePtr filtered = balFilter(w, abort, angle, rate);
    return filtered ? balanceDelay(*filtered, abort, angle, rate, gain) : nullptr;
}

WavePtr balanceEnvelope(const Wave& w, AbortFlag* abort, const Wave* angleEnvelope, int32_t side,
                        bool delay, bool volume, bool filter, int32_t rate, std::string* error)
{
    if (!CheckNotEmpty(angleEnvelope, "angle envelope", error))
        return nullptr;
    const Wave& env = *angleEnvelope;
    const int32_t e = env.Values();
    WavePtr result;
    const Wave* current = &w;
    if (volume) {
        // Full volume (32767) at the near end of the angle.
        const double s = side == 0 ? -0.5 : 0.5;
        WavePtr volumeEnv = wavedetail::NewWave(abort, e);
        if (!volumeEnv)
            return nullptr;
        for (int32_t i = 0; i < e; ++i)
            (*volumeEnv)[i] = StoreSample(env[i] * s + 16383.0);
        result = volumeEnvelope(*current, abort, volumeEnv.get(), 0, -1, error);
        if (!result)
            return nullptr;
        current = result.get();
    }
    if (filter) {
        WavePtr curve = FrequencyCurve(abort, rate);
        WavePtr angles = wavedetail::NewWave(abort, e);
        if (!curve || !angles)
            return nullptr;
        for (int32_t i = 0; i < e; ++i) {
            // Negated for the right side; -32768 becomes 32767, the full angle on the other
            // side, rather than wrapping back onto itself.
            const int32_t a = side == 1 ? -int32_t{env[i]} : env[i];
            (*angles)[i] = static_cast<int16_t>(a > 32767 ? 32767 : a);
        }
        WavePtr freqEnv = distort(*angles, abort, curve.get(), 0, -1, error);
        if (!freqEnv)
            return nullptr;
        WavePtr filtered =
            lowFilterEnv(*current, abort, freqEnv.get(), 0.4, 1, 1, rate, 0, -1, error);
        if (!filtered)
            return nullptr;
        result = std::move(filtered);
        current = result.get();
    }
    if (delay) {
        const double perAngle = rate / 3400.0;
        const int64_t n = wavedetail::TruncCount(perAngle + 1.0);
        const int64_t values = current->Values();
        const int64_t count = n > MaxWaveValues ? -1 : values + 2 * n;
        WavePtr out = wavedetail::NewWave(abort, count);
        if (!out)
            return nullptr;
        const double t = side == 0 ? 1.0 : -1.0;
        const EnvelopeReader reader(env, static_cast<double>(count) - 1.0);
        int16_t* o = out->Data();
        const Wave& src = *current;
        const bool done = ForBlocks(abort, count, [&](int64_t at, int64_t stop) {
            for (int64_t k = at; k < stop; ++k) {
                const double q = static_cast<double>(k - n) -
                                 reader.At(static_cast<double>(k)) * perAngle * t / 32767.0;
                o[k] = StoreSample(ReadWave(src, q));
            }
        });
        return done ? std::move(out) : nullptr;
    }
    return result ? std::move(result) : CopyWave(w, abort);
}

} // namespace kelvorn
