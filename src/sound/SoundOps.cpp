// Sound operations: format and length, transforms of a range, volume, generators and range
// edits. The mixing operations are in SoundOpsMix.cpp, filters, echo, tempo, moves and balance
// in SoundOpsSignal.cpp.
#include "sound/SoundOps.h"

#include "sound/SoundOpsDetail.h"
#include "sound/WavePrimitives.h"
#include "sound/WaveSignal.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kelvorn {

namespace soundops {

SoundUPtr MakeLike(const Sound& sound, int32_t freq, WavePtr left, WavePtr right)
{
    if (sound.GetMonoStereo() == 1)
        return std::make_unique<MonoSound>(std::move(left), freq, sound.GetBytesPSample());
    return std::make_unique<StereoSound>(std::move(left), std::move(right), freq,
                                         sound.GetBytesPSample());
}

int MutableChannels(Sound& sound, Wave* channels[2])
{
    if (auto* mono = dynamic_cast<MonoSound*>(&sound)) {
        channels[0] = mono->GetWave();
        return 1;
    }
    if (auto* stereo = dynamic_cast<StereoSound*>(&sound)) {
        channels[0] = stereo->GetWaveLeft();
        channels[1] = stereo->GetWaveRight();
        return 2;
    }
    return 0;
}

} // namespace soundops

using soundops::Count;
using soundops::CountPlusOne;
using soundops::EachChannel;
using soundops::EachChannelAt;
using soundops::EachChannelInPlace;
using soundops::EnvelopeFor;
using soundops::Flag;
using soundops::Rate;

namespace {

/// An operation that makes only empty channels (nothing to read, nothing to allocate).
SoundUPtr EmptyLike(const Sound& sound, const Flag& flag)
{
    if (flag.IsSet())
        return nullptr;
    return soundops::MakeLike(sound, sound.GetSampleFreq(), std::make_unique<Wave>(),
                              std::make_unique<Wave>());
}

/// The largest magnitude of [begin, end) over all channels.
int32_t PeakOf(const Sound& sound, const Flag& flag, int32_t begin, int32_t end)
{
    int32_t result = peak(*sound.GetLeftWave(), flag.get(), begin, end);
    if (sound.GetMonoStereo() == 2)
        result = std::max(result, peak(*sound.GetRightWave(), flag.get(), begin, end));
    return result;
}

double LevelFactor(int32_t peakValue, double level)
{
    return peakValue == 0 ? 0.0 : level * 32767.0 / peakValue;
}

} // namespace

// ---- Format and length ---------------------------------------------------------------------

SoundUPtr ChangeSampleFreq(const Sound& sound, AbortFlag* abort, double newFreq)
{
    const Flag flag(abort);
    if (!KV_SOFT_ASSERT(newFreq >= 1 && newFreq <= INT32_MAX) ||
        !KV_SOFT_ASSERT(sound.GetSampleFreq() > 0)) {
        flag.Refuse();
        return nullptr;
    }
    const auto freq = static_cast<int32_t>(newFreq);
    const double factor = newFreq / sound.GetSampleFreq();
    int32_t begin = 0, end = -1;
    return EachChannelAt(sound, flag, freq, begin, end,
                         [&](int, const Wave& w, int32_t*, int32_t*) -> WavePtr {
                             if (w.IsEmpty())
                                 return CreateWaveCopy(flag.get(), &w);
                             return resampleFactor(w, flag.get(), factor);
                         });
}

SoundUPtr Length(const Sound& sound, AbortFlag* abort, double factor, int32_t* begin, int32_t* end)
{
    const Flag flag(abort);
    return EachChannel(sound, flag, *begin, *end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return resampleRange(w, flag.get(), factor, b, e);
    });
}

SoundUPtr Resample(const Sound& sound, AbortFlag* abort, double factor)
{
    const Flag flag(abort);
    int32_t begin = 0, end = -1;
    return EachChannel(sound, flag, begin, end, [&](int, const Wave& w, int32_t*, int32_t*) {
        return resampleFactor(w, flag.get(), factor);
    });
}

// ---- Transforms of a range -----------------------------------------------------------------

SoundUPtr MoveV(const Sound& sound, AbortFlag* abort, int16_t delta, int32_t begin, int32_t end)
{
    const Flag flag(abort);
    return EachChannel(sound, flag, begin, end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return moveV(w, flag.get(), delta, *b, *e);
    });
}

SoundUPtr NormalizeV(const Sound& sound, AbortFlag* abort, int32_t begin, int32_t end)
{
    const Flag flag(abort);
    return EachChannel(sound, flag, begin, end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return normalizeV(w, flag.get(), *b, *e);
    });
}

SoundUPtr Block(const Sound& sound, AbortFlag* abort, double blockTime, int32_t levels,
                int32_t begin, int32_t end)
{
    const Flag flag(abort);
    const double values = Rate(sound, blockTime);
    return EachChannel(sound, flag, begin, end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return block(w, flag.get(), values, levels, *b, *e);
    });
}

SoundUPtr Rotate(const Sound& sound, AbortFlag* abort, double time, int32_t begin, int32_t end)
{
    const Flag flag(abort);
    const int64_t shift = Count(sound, time);
    return EachChannel(sound, flag, begin, end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return rotate(w, flag.get(), shift, *b, *e);
    });
}

SoundUPtr Reverse(const Sound& sound, AbortFlag* abort, int32_t begin, int32_t end)
{
    const Flag flag(abort);
    return EachChannel(sound, flag, begin, end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return reverse(w, flag.get(), *b, *e);
    });
}

SoundUPtr Distort(const Sound& sound, AbortFlag* abort, const Sound& curve, int32_t begin,
                  int32_t end, std::string* error)
{
    const Flag flag(abort);
    return EachChannel(sound, flag, begin, end,
                       [&](int c, const Wave& w, int32_t* b, int32_t* e) -> WavePtr {
                           WaveRef shape = EnvelopeFor(sound, curve, flag.get(), c);
                           if (!shape)
                               return nullptr;
                           return distort(w, flag.get(), shape.get(), *b, *e, error);
                       });
}

// ---- Volume --------------------------------------------------------------------------------

SoundUPtr Volume(const Sound& sound, AbortFlag* abort, double factor, int32_t begin, int32_t end)
{
    const Flag flag(abort);
    return EachChannel(sound, flag, begin, end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return volume(w, flag.get(), factor, *b, *e);
    });
}

SoundUPtr VolumeEnvelope(const Sound& sound, AbortFlag* abort, const Sound& envelope, int32_t begin,
                         int32_t end, std::string* error)
{
    const Flag flag(abort);
    return EachChannel(sound, flag, begin, end,
                       [&](int c, const Wave& w, int32_t* b, int32_t* e) -> WavePtr {
                           WaveRef env = EnvelopeFor(sound, envelope, flag.get(), c);
                           if (!env)
                               return nullptr;
                           return volumeEnvelope(w, flag.get(), env.get(), *b, *e, error);
                       });
}

SoundUPtr VolumeToLevel(const Sound& sound, AbortFlag* abort, double level, int32_t begin,
                        int32_t end)
{
    const Flag flag(abort);
    if (flag.IsSet())
        return nullptr;
    const double factor = LevelFactor(PeakOf(sound, flag, begin, end), level);
    return Volume(sound, flag.get(), factor, begin, end);
}

SoundUPtr MaxVolume(const Sound& sound, AbortFlag* abort, int32_t begin, int32_t end)
{
    return VolumeToLevel(sound, abort, 1.0, begin, end);
}

SoundUPtr Volume07(const Sound& sound, AbortFlag* abort, int32_t begin, int32_t end)
{
    return VolumeToLevel(sound, abort, 0.7, begin, end);
}

bool VolumeInPlace(Sound& sound, AbortFlag* abort, double factor, int32_t begin, int32_t end)
{
    const Flag flag(abort);
    return EachChannelInPlace(sound, flag, [&](int, Wave& w) {
        volumeInPlace(w, flag.get(), factor, begin, end);
        return true;
    });
}

bool VolumeToLevelInPlace(Sound& sound, AbortFlag* abort, double level, int32_t begin, int32_t end)
{
    const Flag flag(abort);
    if (flag.IsSet())
        return false;
    const double factor = LevelFactor(PeakOf(sound, flag, begin, end), level);
    return VolumeInPlace(sound, flag.get(), factor, begin, end);
}

bool MaxVolumeInPlace(Sound& sound, AbortFlag* abort, int32_t begin, int32_t end)
{
    return VolumeToLevelInPlace(sound, abort, 1.0, begin, end);
}

bool Volume07InPlace(Sound& sound, AbortFlag* abort, int32_t begin, int32_t end)
{
    return VolumeToLevelInPlace(sound, abort, 0.7, begin, end);
}

// ---- Generators ----------------------------------------------------------------------------

SoundUPtr MakeSilence(const Sound& sound, AbortFlag* abort, double time, int32_t* begin,
                      int32_t* end)
{
    const Flag flag(abort);
    const int64_t length = CountPlusOne(sound, time);
    return EachChannel(sound, flag, *begin, *end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return makeSilence(w, flag.get(), length, b, e);
    });
}

SoundUPtr MakeSilenceCount(const Sound& sound, AbortFlag* abort, double count)
{
    const Flag flag(abort);
    const int64_t length = wavedetail::TruncCount(count);
    int32_t begin = 0, end = sound.GetValues();
    return EachChannel(sound, flag, begin, end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return makeSilence(w, flag.get(), length, b, e);
    });
}

SoundUPtr MakeLine(const Sound& sound, AbortFlag* abort, int16_t from, int16_t to, double time,
                   bool geometric, int32_t* begin, int32_t* end)
{
    const Flag flag(abort);
    const int64_t length = CountPlusOne(sound, time);
    return EachChannel(sound, flag, *begin, *end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return geometric ? makeExpLine(w, flag.get(), from, to, length, b, e)
                         : makeLine(w, flag.get(), from, to, length, b, e);
    });
}

SoundUPtr MakeBlockTriangle(const Sound& sound, AbortFlag* abort, int16_t levelB, int16_t levelA,
                            double period, double middle, double time, double startPhase,
                            bool triangle, int32_t* begin, int32_t* end)
{
    const Flag flag(abort);
    const double per = Rate(sound, period);
    const int64_t length = Count(sound, time);
    return EachChannel(sound, flag, *begin, *end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return makeBlockTriangle(w, flag.get(), levelA, levelB, per, middle, length, startPhase,
                                 triangle, b, e);
    });
}

SoundUPtr MakeBlockTriangleEnvelope(const Sound& sound, AbortFlag* abort, int16_t levelB,
                                    int16_t levelA, double period, const Sound& middleEnvelope,
                                    double time, double startPhase, bool triangle, int32_t* begin,
                                    int32_t* end, std::string* error)
{
    const Flag flag(abort);
    const double per = Rate(sound, period);
    const int64_t length = Count(sound, time);
    return EachChannel(
        sound, flag, *begin, *end, [&](int c, const Wave& w, int32_t* b, int32_t* e) -> WavePtr {
            WaveRef env = EnvelopeFor(sound, middleEnvelope, flag.get(), c);
            if (!env)
                return nullptr;
            return makeBlockTriangleEnv(w, flag.get(), levelA, levelB, per, env.get(), length,
                                        startPhase, triangle, b, e, error);
        });
}

SoundUPtr MakeSinus(const Sound& sound, AbortFlag* abort, int16_t top, int16_t bottom,
                    double period, double periods, double startAngle, int32_t* begin, int32_t* end)
{
    const Flag flag(abort);
    const double per = Rate(sound, period);
    return EachChannel(sound, flag, *begin, *end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return makeSinus(w, flag.get(), top, bottom, per, periods, startAngle, b, e);
    });
}

SoundUPtr MakeNoise(const Sound& sound, AbortFlag* abort, int16_t amplitude, double time,
                    int32_t* begin, int32_t* end)
{
    const Flag flag(abort);
    const int64_t length = Count(sound, time);
    return EachChannel(sound, flag, *begin, *end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return makeNoise(w, flag.get(), amplitude, length, b, e);
    });
}

namespace {

/// The partials of the multi-frequency generator in values: periods times the rate, and the
/// per-value factor that brings a partial's volume to factors[i] after factorTimes[i] seconds.
struct PartialsInValues
{
    std::vector<double> periods;
    std::vector<double> decays;

    PartialsInValues(const Sound& sound, int32_t n, const double* periodTimes,
                     const double* factorTimes, const double* factors)
    {
        if (n <= 0 || !periodTimes || !factorTimes || !factors)
            return;
        periods.resize(static_cast<size_t>(n));
        decays.resize(static_cast<size_t>(n));
        for (int32_t i = 0; i < n; ++i) {
            periods[i] = Rate(sound, periodTimes[i]);
            decays[i] = std::pow(factors[i], 1.0 / Rate(sound, factorTimes[i]));
        }
    }
    const double* Periods() const { return periods.empty() ? nullptr : periods.data(); }
    const double* Decays() const { return decays.empty() ? nullptr : decays.data(); }
};

} // namespace

SoundUPtr MakeMFreq(const Sound& sound, AbortFlag* abort, double time, int32_t n,
                    const double* amplitudes, const double* periods, const double* factorTimes,
                    const double* factors, const double* phases, int32_t* begin, int32_t* end)
{
    const Flag flag(abort);
    const int64_t length = Count(sound, time);
    const PartialsInValues partials(sound, n, periods, factorTimes, factors);
    return EachChannel(sound, flag, *begin, *end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return makeMFreq(w, flag.get(), length, n, amplitudes, partials.Periods(), phases,
                         partials.Decays(), b, e);
    });
}

SoundUPtr MakeMFreqForm(const Sound& sound, AbortFlag* abort, double time, const Sound& form,
                        int32_t n, const double* amplitudes, const double* periods,
                        const double* factorTimes, const double* factors, const double* phases,
                        int32_t* begin, int32_t* end, std::string* error)
{
    const Flag flag(abort);
    const int64_t length = Count(sound, time);
    const PartialsInValues partials(sound, n, periods, factorTimes, factors);
    return EachChannel(
        sound, flag, *begin, *end, [&](int c, const Wave& w, int32_t* b, int32_t* e) -> WavePtr {
            WaveRef shape = EnvelopeFor(sound, form, flag.get(), c);
            if (!shape)
                return nullptr;
            return makeMFreqForm(w, flag.get(), length, shape.get(), n, amplitudes,
                                 partials.Periods(), phases, partials.Decays(), b, e, error);
        });
}

SoundUPtr RepeatPart(const Sound& sound, AbortFlag* abort, double period, double count,
                     double startAngle, int32_t* begin, int32_t* end)
{
    const Flag flag(abort);
    const double per = Rate(sound, period);
    return EachChannel(sound, flag, *begin, *end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        // The channel is its own form: the range as it was before the call.
        const int32_t formBegin = *b, formEnd = *e;
        return repeatForm(w, flag.get(), &w, per, count, startAngle, b, e, formBegin, formEnd);
    });
}

SoundUPtr RollIn(const Sound& sound, AbortFlag* abort, double time, int32_t target, int32_t* begin,
                 int32_t* end)
{
    const Flag flag(abort);
    const int64_t length = Count(sound, time);
    return EachChannel(sound, flag, *begin, *end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return rollIn(w, flag.get(), length, target, b, e);
    });
}

SoundUPtr RollOut(const Sound& sound, AbortFlag* abort, const Sound& speedEnvelope,
                  double lengthfactor, double speed, double startpos, int32_t* begin, int32_t* end,
                  std::string* error)
{
    const Flag flag(abort);
    // The range in values: a start past the range's end wraps into it, only an empty range has
    // nowhere to start.
    const int64_t length = int64_t{*end == -1 ? sound.GetValues() : *end} - *begin;
    if (!KV_SOFT_ASSERT(lengthfactor > 0) || !KV_SOFT_ASSERT(startpos >= 0) ||
        !KV_SOFT_ASSERT(startpos < length)) {
        flag.Refuse();
        return nullptr;
    }
    return EachChannel(
        sound, flag, *begin, *end, [&](int c, const Wave& w, int32_t* b, int32_t* e) -> WavePtr {
            WaveRef env = EnvelopeFor(sound, speedEnvelope, flag.get(), c);
            if (!env)
                return nullptr;
            return rollOut(w, flag.get(), env.get(), lengthfactor, speed, startpos, b, e, error);
        });
}

bool DrawLine(Sound& sound, AbortFlag* abort, int32_t begin, int16_t a, int32_t end, int16_t b)
{
    const Flag flag(abort);
    return EachChannelInPlace(sound, flag, [&](int, Wave& w) {
        drawLine(w, flag.get(), begin, a, end, b);
        return true;
    });
}

// ---- Range edits ---------------------------------------------------------------------------

SoundUPtr Delete(const Sound& sound, AbortFlag* abort, int32_t begin, int32_t end)
{
    const Flag flag(abort);
    if (begin == 0 && (end == sound.GetValues() || end == -1))
        return EmptyLike(sound, flag);
    return EachChannel(sound, flag, begin, end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return deletePart(w, flag.get(), *b, *e);
    });
}

SoundUPtr CreateEmpty(const Sound& sound, AbortFlag* abort)
{
    const Flag flag(abort);
    return EmptyLike(sound, flag);
}

SoundUPtr CopyPart(const Sound& sound, AbortFlag* abort, int32_t begin, int32_t end)
{
    const Flag flag(abort);
    if (begin == end)
        return EmptyLike(sound, flag);
    return EachChannel(sound, flag, begin, end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return copyPart(w, flag.get(), *b, *e);
    });
}

SoundUPtr Paste(const Sound& sound, AbortFlag* abort, const Sound& partner, int32_t begin,
                int32_t end)
{
    const Flag flag(abort);
    return EachChannel(sound, flag, begin, end,
                       [&](int c, const Wave& w, int32_t* b, int32_t* e) -> WavePtr {
                           WaveRef other = soundops::PartnerFor(sound, partner, flag.get(), c);
                           if (!other)
                               return nullptr;
                           return replace(w, flag.get(), *other, *b, *e);
                       });
}

} // namespace kelvorn
