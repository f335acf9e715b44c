// Sound operations on the signal: filters, periodic echo, tempo and pitch, horizontal moves and
// balance.
#include "sound/SoundOps.h"

#include "sound/SoundOpsDetail.h"
#include "sound/WavePrimitives.h"
#include "sound/WaveSignal.h"

#include <algorithm>
#include <cmath>

namespace kelvorn {

using soundops::EachChannel;
using soundops::EnvelopeFor;
using soundops::Flag;
using soundops::Rate;

// ---- Filters -------------------------------------------------------------------------------

SoundUPtr FilterConstant(const Sound& sound, AbortFlag* abort, OnePoleFilterFn filter, double time,
                         double factor, int32_t countBer, int32_t countCmd, int32_t begin,
                         int32_t end)
{
    const Flag flag(abort);
    if (!KV_SOFT_ASSERT(filter != nullptr)) {
        flag.Refuse();
        return nullptr;
    }
    const double per = Rate(sound, time);
    return EachChannel(sound, flag, begin, end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return filter(w, flag.get(), per, factor, countBer, countCmd, *b, *e);
    });
}

SoundUPtr FilterEnvelope(const Sound& sound, AbortFlag* abort, OnePoleFilterEnvFn filter,
                         const Sound& envelope, double factor, int32_t countBer, int32_t countCmd,
                         int32_t begin, int32_t end, std::string* error)
{
    const Flag flag(abort);
    if (!KV_SOFT_ASSERT(filter != nullptr)) {
        flag.Refuse();
        return nullptr;
    }
    const int32_t rate = sound.GetSampleFreq();
    return EachChannel(sound, flag, begin, end,
                       [&](int c, const Wave& w, int32_t* b, int32_t* e) -> WavePtr {
                           WaveRef env = EnvelopeFor(sound, envelope, flag.get(), c);
                           if (!env)
                               return nullptr;
                           return filter(w, flag.get(), env.get(), factor, countBer, countCmd, rate,
                                         *b, *e, error);
                       });
}

SoundUPtr FilterTwoParams(const Sound& sound, AbortFlag* abort, bool firstConstant,
                          bool secondConstant, double time, double second, const Sound* envelope1,
                          const Sound* envelope2, const ResFilters& filters, int32_t begin,
                          int32_t end, std::string* error)
{
    const Flag flag(abort);
    const bool chosenFilterGiven =
        firstConstant
            ? (secondConstant ? filters.constant != nullptr : filters.factorEnvelope != nullptr)
            : (secondConstant ? filters.freqEnvelope != nullptr : filters.bothEnvelopes != nullptr);
    if (!KV_SOFT_ASSERT(chosenFilterGiven)) {
        flag.Refuse();
        return nullptr;
    }
    const double per = Rate(sound, time);
    const int32_t rate = sound.GetSampleFreq();
    return EachChannel(
        sound, flag, begin, end, [&](int c, const Wave& w, int32_t* b, int32_t* e) -> WavePtr {
            if (firstConstant && secondConstant)
                return filters.constant(w, flag.get(), per, second, *b, *e);
            // A chosen envelope that is missing reaches the filter as null, which refuses it
            // as an empty one.
            WaveRef freq, fac;
            if (!firstConstant && envelope1 &&
                !(freq = EnvelopeFor(sound, *envelope1, flag.get(), c)))
                return nullptr;
            if (!secondConstant && envelope2 &&
                !(fac = EnvelopeFor(sound, *envelope2, flag.get(), c)))
                return nullptr;
            if (firstConstant)
                return filters.factorEnvelope(w, flag.get(), per, fac.get(), *b, *e, error);
            if (secondConstant)
                return filters.freqEnvelope(w, flag.get(), freq.get(), second, rate, *b, *e, error);
            return filters.bothEnvelopes(w, flag.get(), freq.get(), fac.get(), rate, *b, *e, error);
        });
}

int ResonanceBatch::Add(SoundPtr sound, AbortFlag* abort, double time, double factor)
{
    const double per = Rate(*sound, time);
    // The checks of the resonance alone, without its box: the caller's call shows it.
    if ((abort && *abort) || !(per >= 1 && factor >= 0 && factor <= 1))
        return -1;
    Item item;
    const int32_t n = sound->GetValues();
    item.left = wavedetail::NewWave(abort, n);
    if (item.left && sound->GetMonoStereo() == 2)
        item.right = wavedetail::NewWave(abort, n);
    if (!item.left || (sound->GetMonoStereo() == 2 && !item.right))
        return -1;
    item.source = std::move(sound);
    item.per = per;
    item.factor = factor;
    waitingRuns += item.right ? 2 : 1;
    waitingValues += int64_t{n} * (item.right ? 2 : 1);
    items.push_back(std::move(item));
    return static_cast<int>(items.size() - 1);
}

bool ResonanceBatch::Run(AbortFlag* abort)
{
    std::vector<ResonanceRun> runs;
    runs.reserve(static_cast<size_t>(waitingRuns));
    for (Item& item : items) {
        if (!item.waiting)
            continue;
        const int32_t n = item.source->GetValues();
        runs.push_back(
            {item.source->GetLeftWave()->Data(), item.left->Data(), n, item.per, item.factor});
        if (item.right)
            runs.push_back({item.source->GetRightWave()->Data(), item.right->Data(), n, item.per,
                            item.factor});
    }
    const bool done = resonateSideBySide(abort, runs.data(), runs.size());
    for (Item& item : items) {
        item.made = item.made || (item.waiting && done);
        item.waiting = false;
    }
    waitingRuns = 0;
    waitingValues = 0;
    return done;
}

SoundUPtr ResonanceBatch::Take(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= items.size())
        return nullptr;
    Item& item = items[static_cast<size_t>(index)];
    if (!item.made)
        return nullptr;
    item.made = false;
    const Sound& source = *item.source;
    return soundops::MakeLike(source, source.GetSampleFreq(), std::move(item.left),
                              std::move(item.right));
}

void ResonanceBatch::Clear()
{
    items.clear();
    waitingRuns = 0;
    waitingValues = 0;
}

SoundUPtr FilterBlock(const Sound& sound, AbortFlag* abort, double time, int32_t* begin,
                      int32_t* end)
{
    const Flag flag(abort);
    const double width = Rate(sound, time);
    return EachChannel(sound, flag, *begin, *end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return blockFilter(w, flag.get(), width, b, e);
    });
}

SoundUPtr FilterBlockEnvelope(const Sound& sound, AbortFlag* abort, const Sound& envelope,
                              double time, int32_t* begin, int32_t* end, std::string* error)
{
    const Flag flag(abort);
    const double width = Rate(sound, time);
    return EachChannel(sound, flag, *begin, *end,
                       [&](int c, const Wave& w, int32_t* b, int32_t* e) -> WavePtr {
                           WaveRef env = EnvelopeFor(sound, envelope, flag.get(), c);
                           if (!env)
                               return nullptr;
                           return blockFilterEnv(w, flag.get(), width, env.get(), b, e, error);
                       });
}

// ---- Periodic echo ---------------------------------------------------------------------------

SoundUPtr PerEcho(const Sound& sound, AbortFlag* abort, double time, double factor, int32_t count,
                  int32_t* begin, int32_t* end)
{
    const Flag flag(abort);
    const double diff = Rate(sound, time);
    return EachChannel(sound, flag, *begin, *end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return periodEcho(w, flag.get(), diff, factor, count, b, e);
    });
}

SoundUPtr PerEchoFactorEnvelope(const Sound& sound, AbortFlag* abort, double time,
                                const Sound& factorEnvelope, int32_t count, int32_t* begin,
                                int32_t* end, std::string* error)
{
    const Flag flag(abort);
    const double diff = Rate(sound, time);
    return EachChannel(sound, flag, *begin, *end,
                       [&](int c, const Wave& w, int32_t* b, int32_t* e) -> WavePtr {
                           WaveRef fac = EnvelopeFor(sound, factorEnvelope, flag.get(), c);
                           if (!fac)
                               return nullptr;
                           return periodEchoEnv(w, flag.get(), diff, fac.get(), count, b, e, error);
                       });
}

SoundUPtr PerEchoDelayEnvelope(const Sound& sound, AbortFlag* abort, double time,
                               const Sound& delayEnvelope, double factor, int32_t count,
                               int32_t* begin, int32_t* end, std::string* error)
{
    const Flag flag(abort);
    const double diff = Rate(sound, time);
    return EachChannel(
        sound, flag, *begin, *end, [&](int c, const Wave& w, int32_t* b, int32_t* e) -> WavePtr {
            WaveRef delay = EnvelopeFor(sound, delayEnvelope, flag.get(), c);
            if (!delay)
                return nullptr;
            return periodEchoEnv(w, flag.get(), delay.get(), diff, factor, count, b, e, error);
        });
}

SoundUPtr PerEchoEnvelopes(const Sound& sound, AbortFlag* abort, double time,
                           const Sound& delayEnvelope, const Sound& factorEnvelope, int32_t count,
                           int32_t* begin, int32_t* end, std::string* error)
{
    const Flag flag(abort);
    const double diff = Rate(sound, time);
    return EachChannel(
        sound, flag, *begin, *end, [&](int c, const Wave& w, int32_t* b, int32_t* e) -> WavePtr {
            WaveRef delay = EnvelopeFor(sound, delayEnvelope, flag.get(), c);
            if (!delay)
                return nullptr;
            WaveRef fac = EnvelopeFor(sound, factorEnvelope, flag.get(), c);
            if (!fac)
                return nullptr;
            return periodEchoEnv(w, flag.get(), delay.get(), diff, fac.get(), count, b, e, error);
        });
}

// ---- Tempo and pitch -------------------------------------------------------------------------

namespace {

// A block shorter than one value is one value long, as the Block effect takes it.
int32_t BlockValues(const Sound& sound, double blockTime)
{
    return std::max(1, soundops::Saturate32(soundops::Count(sound, blockTime)));
}

} // namespace

SoundUPtr TempoPitchWhole(const Sound& sound, AbortFlag* abort, double speed, double start,
                          double lengthFactor, double step, double blockTime, int32_t mode)
{
    int32_t begin = 0, end = sound.GetValues();
    return TempoPitch(sound, abort, speed, start, lengthFactor, step, blockTime, mode, &begin,
                      &end);
}

SoundUPtr TempoPitch(const Sound& sound, AbortFlag* abort, double speed, double start,
                     double lengthFactor, double step, double blockTime, int32_t mode,
                     int32_t* begin, int32_t* end)
{
    const Flag flag(abort);
    const int32_t block = BlockValues(sound, blockTime);
    const auto kernel = mode == 1 ? tempoPitch2 : tempoPitch;
    return EachChannel(sound, flag, *begin, *end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        return kernel(w, flag.get(), speed, start, lengthFactor, step, block, b, e);
    });
}

SoundUPtr TempoPitchFreqEnvelope(const Sound& sound, AbortFlag* abort, double speed, double start,
                                 double lengthFactor, double step, const Sound& freqEnvelope,
                                 double blockTime, int32_t mode, int32_t* begin, int32_t* end,
                                 std::string* error)
{
    const Flag flag(abort);
    const int32_t block = BlockValues(sound, blockTime);
    const auto kernel = mode == 1 ? tempoPitch2FreqEnv : tempoPitchFreqEnv;
    return EachChannel(sound, flag, *begin, *end,
                       [&](int c, const Wave& w, int32_t* b, int32_t* e) -> WavePtr {
                           WaveRef freq = EnvelopeFor(sound, freqEnvelope, flag.get(), c);
                           if (!freq)
                               return nullptr;
                           return kernel(w, flag.get(), speed, start, lengthFactor, step,
                                         freq.get(), block, b, e, error);
                       });
}

SoundUPtr TempoPitchSpeedEnvelope(const Sound& sound, AbortFlag* abort, double speed,
                                  const Sound& speedEnvelope, double start, double lengthFactor,
                                  double step, double blockTime, int32_t mode, int32_t* begin,
                                  int32_t* end, std::string* error)
{
    const Flag flag(abort);
    const int32_t block = BlockValues(sound, blockTime);
    const auto kernel = mode == 1 ? tempoPitch2SpeedEnv : tempoPitchSpeedEnv;
    return EachChannel(sound, flag, *begin, *end,
                       [&](int c, const Wave& w, int32_t* b, int32_t* e) -> WavePtr {
                           WaveRef sp = EnvelopeFor(sound, speedEnvelope, flag.get(), c);
                           if (!sp)
                               return nullptr;
                           return kernel(w, flag.get(), speed, sp.get(), start, lengthFactor, step,
                                         block, b, e, error);
                       });
}

SoundUPtr TempoPitchEnvelopes(const Sound& sound, AbortFlag* abort, double speed,
                              const Sound& speedEnvelope, double start, double lengthFactor,
                              double step, const Sound& freqEnvelope, double blockTime,
                              int32_t mode, int32_t* begin, int32_t* end, std::string* error)
{
    const Flag flag(abort);
    const int32_t block = BlockValues(sound, blockTime);
    const auto kernel = mode == 1 ? tempoPitch2Envs : tempoPitchEnvs;
    return EachChannel(sound, flag, *begin, *end,
                       [&](int c, const Wave& w, int32_t* b, int32_t* e) -> WavePtr {
                           WaveRef sp = EnvelopeFor(sound, speedEnvelope, flag.get(), c);
                           if (!sp)
                               return nullptr;
                           WaveRef freq = EnvelopeFor(sound, freqEnvelope, flag.get(), c);
                           if (!freq)
                               return nullptr;
                           return kernel(w, flag.get(), speed, sp.get(), start, lengthFactor, step,
                                         freq.get(), block, b, e, error);
                       });
}

// ---- Horizontal moves ------------------------------------------------------------------------

namespace {

struct Margins
{
    int64_t before = 0;
    int64_t after = 0;
};

Margins MarginsFor(const Wave& wave, double maxShift, double minShift, int32_t begin, int32_t end)
{
    Margins m;
    moveHMargins(wave, maxShift, minShift, begin, end, &m.before, &m.after);
    return m;
}

/// The stereo moves: each channel moved by its own shift inside the same margins (so both stay
/// equally long); the range comes back from the smaller begin to the larger end.
template <class Move>
SoundUPtr MoveStereo(const StereoSound& sound, const Flag& flag, int32_t* begin, int32_t* end,
                     Move&& move)
{
    if (flag.IsSet())
        return nullptr;
    int32_t b1 = *begin, e1 = *end;
    WavePtr left = move(0, *sound.GetWaveLeft(), &b1, &e1);
    if (!left || flag.IsSet())
        return nullptr;
    int32_t b2 = *begin, e2 = *end;
    WavePtr right = move(1, *sound.GetWaveRight(), &b2, &e2);
    if (!right || flag.IsSet())
        return nullptr;
    SoundUPtr result =
        soundops::MakeLike(sound, sound.GetSampleFreq(), std::move(left), std::move(right));
    *begin = std::min(b1, b2);
    *end = std::max(e1, e2);
    return result;
}

} // namespace

SoundUPtr MoveHConstant(const MonoSound& sound, AbortFlag* abort, double time, int32_t* begin,
                        int32_t* end)
{
    const Flag flag(abort);
    const double shift = Rate(sound, time);
    return EachChannel(sound, flag, *begin, *end, [&](int, const Wave& w, int32_t* b, int32_t* e) {
        const Margins m = MarginsFor(w, shift, shift, *b, *e);
        return moveH(w, flag.get(), shift, m.before, m.after, b, e);
    });
}

SoundUPtr MoveHConstant(const StereoSound& sound, AbortFlag* abort, double timeLeft,
                        double timeRight, int32_t* begin, int32_t* end)
{
    const Flag flag(abort);
    const double shift[2] = {Rate(sound, timeLeft), Rate(sound, timeRight)};
    const Margins m = MarginsFor(*sound.GetWaveLeft(), std::max(shift[0], shift[1]),
                                 std::min(shift[0], shift[1]), *begin, *end);
    return MoveStereo(sound, flag, begin, end, [&](int c, const Wave& w, int32_t* b, int32_t* e) {
        return moveH(w, flag.get(), shift[c], m.before, m.after, b, e);
    });
}

SoundUPtr MoveHEnvelope(const MonoSound& sound, AbortFlag* abort, double maxTime,
                        const Sound& envelope, int32_t* begin, int32_t* end, std::string* error)
{
    const Flag flag(abort);
    const double maxShift = Rate(sound, maxTime);
    const double reach = std::fabs(maxShift);
    return EachChannel(sound, flag, *begin, *end,
                       [&](int c, const Wave& w, int32_t* b, int32_t* e) -> WavePtr {
                           WaveRef env = EnvelopeFor(sound, envelope, flag.get(), c);
                           if (!env)
                               return nullptr;
                           const Margins m = MarginsFor(w, reach, -reach, *b, *e);
                           return moveHEnvelope(w, flag.get(), maxShift, env.get(), m.before,
                                                m.after, b, e, error);
                       });
}

SoundUPtr MoveHEnvelope(const StereoSound& sound, AbortFlag* abort, double maxTimeLeft,
                        double maxTimeRight, const Sound& envelope, int32_t* begin, int32_t* end,
                        std::string* error)
{
    const Flag flag(abort);
    const double maxShift[2] = {Rate(sound, maxTimeLeft), Rate(sound, maxTimeRight)};
    const double reach = std::max(std::fabs(maxShift[0]), std::fabs(maxShift[1]));
    const Margins m = MarginsFor(*sound.GetWaveLeft(), reach, -reach, *begin, *end);
    return MoveStereo(sound, flag, begin, end,
                      [&](int c, const Wave& w, int32_t* b, int32_t* e) -> WavePtr {
                          WaveRef env = EnvelopeFor(sound, envelope, flag.get(), c);
                          if (!env)
                              return nullptr;
                          return moveHEnvelope(w, flag.get(), maxShift[c], env.get(), m.before,
                                               m.after, b, e, error);
                      });
}

// ---- Balance ---------------------------------------------------------------------------------

namespace {

/// The two sides made from one source channel by side(sideIndex) into a new stereo sound.
template <class Side> SoundUPtr BothSides(const Sound& sound, const Flag& flag, Side&& side)
{
    if (flag.IsSet())
        return nullptr;
    WavePtr left = side(0);
    if (!left || flag.IsSet())
        return nullptr;
    WavePtr right = side(1);
    if (!right || flag.IsSet())
        return nullptr;
    return std::make_unique<StereoSound>(std::move(left), std::move(right), sound.GetSampleFreq(),
                                         sound.GetBytesPSample());
}

} // namespace

SoundUPtr BalanceConstant(const Sound& sound, AbortFlag* abort, double angle, bool delay,
                          bool volume, bool filter)
{
    const Flag flag(abort);
    const Wave& source = *sound.GetLeftWave();
    const int32_t rate = sound.GetSampleFreq();
    return BothSides(sound, flag, [&](int32_t side) {
        return balance(source, flag.get(), angle, side, delay, volume, filter, rate);
    });
}

SoundUPtr BalanceEnvelope(const Sound& sound, AbortFlag* abort, const Sound& angleEnvelope,
                          bool delay, bool volume, bool filter, std::string* error)
{
    const Flag flag(abort);
    if (flag.IsSet())
        return nullptr;
    const Wave& source = *sound.GetLeftWave();
    const int32_t rate = sound.GetSampleFreq();
    const WaveRef env = angleEnvelope.GetMonoWave(flag.get());
    if (!env)
        return nullptr;
    return BothSides(sound, flag, [&](int32_t side) {
        return balanceEnvelope(source, flag.get(), env.get(), side, delay, volume, filter, rate,
                               error);
    });
}

} // namespace kelvorn
