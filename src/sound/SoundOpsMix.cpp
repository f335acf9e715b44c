// Sound operations that mix another sound in: into a new sound, or in place into a sound no one
// else holds.
#include "sound/SoundOps.h"

#include "sound/SoundOpsDetail.h"
#include "sound/WaveSignal.h"

namespace kelvorn {

using soundops::EachChannel;
using soundops::EachChannelInPlace;
using soundops::EnvelopeFor;
using soundops::Flag;
using soundops::PartnerFor;

namespace {

/// The partner channel to add into target in place. When it is target itself (a sound mixed
/// into itself) it is copied first: the adding would otherwise read values it has already
/// changed.
WaveRef Unaliased(WaveRef other, const Wave& target, AbortFlag* abort)
{
    if (other && other.get() == &target)
        return WaveRef::Own(CreateWaveCopy(abort, &target));
    return other;
}

/// Runs add(wave, partnerChannel) on every channel of sound, the partner read at sound's rate
/// one channel at a time.
template <class Add>
bool AddPartner(Sound& sound, const Flag& flag, const Sound& partner, Add&& add)
{
    // A mono partner gives both channels of a stereo sound the same wave, and resampling it is
    // most of a mix: it is made once. (Being mono, it is no channel of the stereo sound.)
    const bool once = sound.GetMonoStereo() == 2 && partner.GetMonoStereo() == 1;
    WaveRef kept;
    return EachChannelInPlace(sound, flag, [&](int c, Wave& w) {
        WaveRef other = once && c == 1
                            ? std::move(kept)
                            : Unaliased(PartnerFor(sound, partner, flag.get(), c), w, flag.get());
        if (!other)
            return false;
        add(w, *other);
        if (once && c == 0)
            kept = std::move(other);
        return true;
    });
}

/// trunc(count * rel) as a 32-bit index.
int32_t RelativeIndex(int32_t count, double rel)
{
    return soundops::Saturate32(wavedetail::TruncCount(static_cast<double>(count) * rel));
}

} // namespace

SoundUPtr EditMixBefore(const Sound& sound, AbortFlag* abort, const Sound& partner, int32_t at,
                        int32_t otherEnd, bool fromEnd)
{
    const Flag flag(abort);
    int32_t begin = 0, end = -1;
    return EachChannel(sound, flag, begin, end,
                       [&](int c, const Wave& w, int32_t*, int32_t*) -> WavePtr {
                           WaveRef other = PartnerFor(sound, partner, flag.get(), c);
                           if (!other)
                               return nullptr;
                           return mixAlignEnd(w, flag.get(), *other, at, otherEnd, fromEnd);
                       });
}

SoundUPtr EditMixAfter(const Sound& sound, AbortFlag* abort, const Sound& partner, int32_t at,
                       int32_t otherEnd, bool fromEnd)
{
    const Flag flag(abort);
    int32_t begin = 0, end = -1;
    return EachChannel(sound, flag, begin, end,
                       [&](int c, const Wave& w, int32_t*, int32_t*) -> WavePtr {
                           WaveRef other = PartnerFor(sound, partner, flag.get(), c);
                           if (!other)
                               return nullptr;
                           return mixAlignBegin(w, flag.get(), *other, at, otherEnd, fromEnd);
                       });
}

SoundUPtr MixStretched(const Sound& sound, AbortFlag* abort, const Sound& partner, int32_t begin,
                       int32_t end, std::string* error)
{
    const Flag flag(abort);
    return EachChannel(sound, flag, begin, end,
                       [&](int c, const Wave& w, int32_t* b, int32_t* e) -> WavePtr {
                           WaveRef other = EnvelopeFor(sound, partner, flag.get(), c);
                           if (!other)
                               return nullptr;
                           return mixStretch(w, flag.get(), *other, *b, *e, error);
                       });
}

bool MixAfterTime(Sound& sound, AbortFlag* abort, const Sound& partner, double time, double factor)
{
    const int32_t after = soundops::Saturate32(soundops::Count(sound, time));
    return MixAfterFactor(sound, abort, partner, after, factor);
}

bool MixAfterFactor(Sound& sound, AbortFlag* abort, const Sound& partner, int32_t after,
                    double factor)
{
    const Flag flag(abort);
    return AddPartner(sound, flag, partner, [&](Wave& w, const Wave& other) {
        addScaledAt(w, flag.get(), other, after, factor);
    });
}

bool MixAfter(Sound& sound, AbortFlag* abort, const Sound& partner, int32_t after)
{
    const Flag flag(abort);
    return AddPartner(sound, flag, partner,
                      [&](Wave& w, const Wave& other) { addAt(w, flag.get(), other, after); });
}

bool MixAligned(Sound& sound, AbortFlag* abort, const Sound& partner, double relThis,
                double relPartner)
{
    const Flag flag(abort);
    const int32_t p = RelativeIndex(sound.GetValues(), relThis);
    return AddPartner(sound, flag, partner, [&](Wave& w, const Wave& other) {
        addShifted(w, flag.get(), other, p, RelativeIndex(other.Values(), relPartner));
    });
}

bool MixAlignedFactor(Sound& sound, AbortFlag* abort, const Sound& partner, double relThis,
                      double relPartner, double factor)
{
    const Flag flag(abort);
    const int32_t p = RelativeIndex(sound.GetValues(), relThis);
    return AddPartner(sound, flag, partner, [&](Wave& w, const Wave& other) {
        addShiftedScaled(w, flag.get(), other, p, RelativeIndex(other.Values(), relPartner),
                         factor);
    });
}

bool MixCycleAfterThis(Sound& sound, AbortFlag* abort, const Sound& partner, int32_t after)
{
    const Flag flag(abort);
    return AddPartner(sound, flag, partner, [&](Wave& w, const Wave& other) {
        mixCycleAfterThis(w, flag.get(), other, after);
    });
}

SoundUPtr MixLeftRight(const StereoSound& sound, AbortFlag* abort, double ll, double lr, double rl,
                       double rr, int32_t begin, int32_t end)
{
    const Flag flag(abort);
    if (sound.GetValues() == 0) {
        // The condition is named as callers have always seen it.
        ReportAssertFailed("GetValues() != 0", __FILE__, __LINE__);
        flag.Refuse();
        return nullptr;
    }
    const Wave& left = *sound.GetWaveLeft();
    const Wave& right = *sound.GetWaveRight();
    return EachChannel(sound, flag, begin, end,
                       [&](int c, const Wave&, int32_t* b, int32_t* e) -> WavePtr {
                           if (c == 0)
                               return mixWeighted(left, flag.get(), ll, right, rl, *b, *e);
                           return mixWeighted(right, flag.get(), rr, left, lr, *b, *e);
                       });
}

} // namespace kelvorn
