#pragma once
// The machinery every sound operation shares: the flag it works with, the conversion of times
// into counts, the channels of the other sounds it reads, and the two dispatchers that run a
// wave operation once per channel. Internal to src/sound.

#include "general/Assert.h"
#include "sound/Sound.h"
#include "sound/WavePrimitivesDetail.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>

namespace kelvorn::soundops {

/// The caller's flag, or one of the operation's own when the caller gave none, so that a stop
/// or a memory failure inside a wave operation is still seen.
class Flag
{
public:
    explicit Flag(AbortFlag* abort) : flag(abort ? abort : &local) {}
    Flag(const Flag&) = delete;
    Flag& operator=(const Flag&) = delete;

    AbortFlag* get() const { return flag; }
    bool IsSet() const { return *flag != 0; }
    /// A broken precondition: the box has been shown by the caller's assertion.
    void Refuse() const { *flag = 1; }

private:
    AbortFlag local = 0;
    AbortFlag* flag;
};

// ---- Times as numbers of values ---------------------------------------------------------------

/// trunc(rate * t + 1): a length that includes both ends.
inline int64_t CountPlusOne(const Sound& sound, double t)
{
    return wavedetail::TruncCount(static_cast<double>(sound.GetSampleFreq()) * t + 1.0);
}

/// trunc(rate * t).
inline int64_t Count(const Sound& sound, double t)
{
    return wavedetail::TruncCount(static_cast<double>(sound.GetSampleFreq()) * t);
}

/// rate * t, not truncated.
inline double Rate(const Sound& sound, double t)
{
    return static_cast<double>(sound.GetSampleFreq()) * t;
}

/// A 64-bit count passed where a wave operation takes a 32-bit one: saturated, so that a
/// count no wave can reach stays out of reach instead of wrapping into one that can.
inline int32_t Saturate32(int64_t x)
{
    return static_cast<int32_t>(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX));
}

// ---- The channels of other sounds ---------------------------------------------------------------

/// The envelope (curve, form) channel that drives channel `channel` of sound: the mono wave
/// for a mono sound, the same side for a stereo one; at the envelope's own rate.
inline WaveRef EnvelopeFor(const Sound& sound, const Sound& envelope, AbortFlag* abort, int channel)
{
    if (sound.GetMonoStereo() == 1)
        return envelope.GetMonoWave(abort);
    return WaveRef::Borrow(channel == 0 ? *envelope.GetLeftWave() : *envelope.GetRightWave());
}

/// The partner channel mixed into or pasted over channel `channel` of sound, at sound's rate.
inline WaveRef PartnerFor(const Sound& sound, const Sound& partner, AbortFlag* abort, int channel)
{
    const int32_t freq = sound.GetSampleFreq();
    if (sound.GetMonoStereo() == 1)
        return partner.GetMonoWaveAt(abort, freq);
    return channel == 0 ? partner.GetLeftWaveAt(abort, freq) : partner.GetRightWaveAt(abort, freq);
}

// ---- Dispatch ---------------------------------------------------------------------------------

/// The new sound for new channels: of sound's class and BytesPSample, at freq.
SoundUPtr MakeLike(const Sound& sound, int32_t freq, WavePtr left, WavePtr right);

/// Runs op(channel, wave, &begin, &end) -> WavePtr once per channel of sound, each time on
/// copies of begin and end as they came, and wraps the new channels in a new sound at freq.
/// begin and end receive the left channel's range only when everything succeeded; nullptr when
/// a channel gave none or the flag was found set (a partial wave is dropped here).
template <class Op>
SoundUPtr EachChannelAt(const Sound& sound, const Flag& flag, int32_t freq, int32_t& begin,
                        int32_t& end, Op&& op)
{
    if (flag.IsSet())
        return nullptr;
    int32_t b1 = begin, e1 = end;
    WavePtr left = op(0, *sound.GetLeftWave(), &b1, &e1);
    if (!left || flag.IsSet())
        return nullptr;
    WavePtr right;
    if (sound.GetMonoStereo() == 2) {
        int32_t b2 = begin, e2 = end;
        right = op(1, *sound.GetRightWave(), &b2, &e2);
        if (!right || flag.IsSet())
            return nullptr;
        // Both channels ran the same operation on equally long waves: the ranges must agree.
        // The names are the ones the assertion has always shown.
        const int32_t begin = b1, end = e1, begin2 = b2, end2 = e2;
        KV_SOFT_ASSERT(begin == begin2);
        KV_SOFT_ASSERT(end == end2);
    }
    SoundUPtr result = MakeLike(sound, freq, std::move(left), std::move(right));
    begin = b1;
    end = e1;
    return result;
}

template <class Op>
SoundUPtr EachChannel(const Sound& sound, const Flag& flag, int32_t& begin, int32_t& end, Op&& op)
{
    return EachChannelAt(sound, flag, sound.GetSampleFreq(), begin, end, std::forward<Op>(op));
}

/// The channels of a sound that is changed in place: one for mono, two for stereo; the count.
int MutableChannels(Sound& sound, Wave* channels[2]);

/// Runs op(channel, wave) -> bool once per channel of sound, changing it in place. False when
/// op refused or the flag was found set; channels done by then stay changed.
template <class Op> bool EachChannelInPlace(Sound& sound, const Flag& flag, Op&& op)
{
    if (flag.IsSet())
        return false;
    Wave* channels[2] = {nullptr, nullptr};
    const int n = MutableChannels(sound, channels);
    for (int c = 0; c < n; ++c)
        if (!op(c, *channels[c]) || flag.IsSet())
            return false;
    return n > 0;
}

} // namespace kelvorn::soundops
