#pragma once
// Sounds: one or two waves with the format that belongs to them (channels, sample frequency and
// the bytes per sample a WAV file of them uses). Memory always holds 16-bit values, also for a
// sound whose BytesPSample is 1.
//
// Ownership: a sound owns its waves. A sound that more than one holder may keep (a document, the
// undo record, the clipboard, a factory run) is held by SoundPtr and never changed in place once
// shared. Functions that make a new sound return it as std::unique_ptr<Sound> (SoundUPtr), which
// the caller keeps alone or turns into a SoundPtr.

#include "sound/Wave.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace kelvorn {

class Sound;
using SoundPtr = std::shared_ptr<Sound>;
using SoundUPtr = std::unique_ptr<Sound>;

/// A wave handed out by a sound: either borrowed (the sound's own channel, valid while the sound
/// lives and is not changed) or owned (a new wave made for the caller, freed with the WaveRef).
/// IsCopy() tells which. An empty WaveRef means the making was stopped by the abort flag or ran
/// out of memory.
class WaveRef
{
public:
    WaveRef() = default;
    static WaveRef Borrow(const Wave& wave)
    {
        WaveRef r;
        r.view = &wave;
        return r;
    }
    static WaveRef Own(WavePtr wave)
    {
        WaveRef r;
        r.view = wave.get();
        r.owned = std::move(wave);
        return r;
    }

    WaveRef(WaveRef&& other) noexcept : view(other.view), owned(std::move(other.owned))
    {
        other.view = nullptr;
    }
    WaveRef& operator=(WaveRef&& other) noexcept
    {
        if (this != &other) {
            owned = std::move(other.owned);
            view = other.view;
            other.view = nullptr;
        }
        return *this;
    }
    WaveRef(const WaveRef&) = delete;
    WaveRef& operator=(const WaveRef&) = delete;

    const Wave* get() const { return view; }
    const Wave& operator*() const { return *view; }
    const Wave* operator->() const { return view; }
    explicit operator bool() const { return view != nullptr; }

    /// True when the wave was made for the caller (the copied flag).
    bool IsCopy() const { return owned != nullptr; }

    /// The wave as the caller's own: an owned wave is handed over, a borrowed one copied
    /// (nullptr when the copy fails or the abort flag is set). Leaves this WaveRef empty.
    WavePtr Take(AbortFlag* abort);

private:
    const Wave* view = nullptr;
    WavePtr owned;
};

/// Whatever plays a sound for the model (the main window's player); the shell installs it with
/// InstallService<SoundPlayer> (general/Services.h). Without one, Play does nothing.
class SoundPlayer
{
public:
    static constexpr const char* ServiceName = "SoundPlayer";
    virtual ~SoundPlayer() = default;
    /// Writes the sound to the play file and plays it; maximise asks for a copy scaled to full
    /// volume first. The sound is only read during the call.
    virtual void PlaySound(const Sound& sound, bool maximise) = 0;
};

class Sound
{
public:
    virtual ~Sound() = default;
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    int16_t GetMonoStereo() const { return MonoStereo; }
    int32_t GetSampleFreq() const { return SampleFreq; }
    int16_t GetBytesPSample() const { return BytesPSample; }

    /// Set by the factory's builtin functions on the sounds they create; no sound operation reads
    /// or changes it.
    bool GetRunResult() const { return runResult; }
    void SetRunResult(bool value) { runResult = value; }

    /// Values per channel.
    virtual int32_t GetValues() const = 0;
    /// Length in seconds; 0 for a sound without a valid sample frequency.
    long double GetTime() const;

    /// Over [begin, end) (end -1: the whole rest): the greatest value (at least 0), the magnitude
    /// of the smallest (at least 0, and 32767 for -32768) and the larger of the two; a stereo
    /// sound gives the larger of its channels' figures.
    virtual void GetMinMax(AbortFlag* abort, int32_t begin, int32_t end, int16_t& max,
                           int16_t& negMin, int16_t& peak) const = 0;

    /// One channel for the whole sound: a mono sound's own wave, a stereo sound's mix
    /// (left × 0.5 + right × 0.5), made anew each time.
    virtual WaveRef GetMonoWave(AbortFlag* abort) const = 0;
    /// The channels themselves (a mono sound's one wave for both); never null.
    virtual const Wave* GetLeftWave() const = 0;
    virtual const Wave* GetRightWave() const = 0;

    /// The same channels at the sample frequency freq: borrowed where nothing needs to change
    /// (a mono or single channel at the sound's own frequency), else made anew by linear
    /// resampling with the factor freq / SampleFreq.
    virtual WaveRef GetMonoWaveAt(AbortFlag* abort, int32_t freq) const = 0;
    virtual WaveRef GetLeftWaveAt(AbortFlag* abort, int32_t freq) const = 0;
    virtual WaveRef GetRightWaveAt(AbortFlag* abort, int32_t freq) const = 0;
    WaveRef GetMonoWaveAtFreq(AbortFlag* abort, int32_t freq) const
    {
        return GetMonoWaveAt(abort, freq);
    }

    /// Channels the caller always owns: freq 0 keeps the sound's own frequency. nullptr only
    /// when the abort flag is set or memory runs out.
    WavePtr CloneMonoWave(AbortFlag* abort, int32_t freq) const;
    WavePtr CloneLeftWave(AbortFlag* abort, int32_t freq) const;
    WavePtr CloneRightWave(AbortFlag* abort, int32_t freq) const;

    /// The value at the fractional index x, interpolated linearly between the neighbouring
    /// values; a whole x reads one value, so the last index is valid. Outside [0, GetValues() - 1]
    /// the value is 0. A mono sound gives its value in all three; a stereo sound its channels
    /// and their mean.
    virtual void GetValueAt(double x, double& left, double& right, double& mean) const = 0;

    /// The (mean) value at relPos of the length ((GetValues() - 1) × relPos), mapped linearly from
    /// [-32768, 32767] onto [yAtMin, yAtMax].
    virtual double GetMappedValueAt(AbortFlag* abort, double relPos, double yAtMax,
                                    double yAtMin) const = 0;

    /// Writes the values [begin, end) as a WAV file with WriteWaveFile, which shows a failure
    /// itself under "FileError". False on failure, the old file then untouched.
    bool SaveToWavFile(AbortFlag* abort, const std::string& fileName, int32_t begin,
                       int32_t end) const;

    /// Hands the sound to the installed player; nothing happens without one.
    void Play(bool maximise) const;

protected:
    Sound(int16_t monoStereo, int32_t sampleFreq, int16_t bytesPSample)
        : MonoStereo(monoStereo), SampleFreq(sampleFreq), BytesPSample(bytesPSample)
    {
    }

    /// Whether reading at freq needs resampling (and can be done).
    bool NeedsResampling(int32_t freq) const;
    /// wave resampled from SampleFreq to freq.
    WaveRef ResampledTo(AbortFlag* abort, const Wave& wave, int32_t freq) const;

    int16_t MonoStereo;
    int32_t SampleFreq;
    int16_t BytesPSample;
    bool runResult = false;
};

class MonoSound final : public Sound
{
public:
    /// An empty sound.
    MonoSound(int32_t sampleFreq, int16_t bytesPSample);
    /// Adopts wave; a null wave (a making that was stopped) becomes an empty one.
    MonoSound(WavePtr wave, int32_t sampleFreq, int16_t bytesPSample);
    /// A mono copy of other with its format: a mono sound copied, a stereo sound mixed. An
    /// empty other gives an empty sound without reading it.
    MonoSound(const Sound& other, AbortFlag* abort);
    /// Shares channel, a channel of owner, without copying it: the sound keeps owner alive as
    /// long as it lives itself and never changes the channel. Asked for its channel to change
    /// or to take, it makes a copy of its own first.
    MonoSound(std::shared_ptr<const Sound> owner, const Wave& channel);
    ~MonoSound() override;

    int32_t GetValues() const override { return wave->Values(); }
    void GetMinMax(AbortFlag* abort, int32_t begin, int32_t end, int16_t& max, int16_t& negMin,
                   int16_t& peak) const override;
    WaveRef GetMonoWave(AbortFlag* abort) const override { return WaveRef::Borrow(*wave); }
    const Wave* GetLeftWave() const override { return wave.get(); }
    const Wave* GetRightWave() const override { return wave.get(); }
    WaveRef GetMonoWaveAt(AbortFlag* abort, int32_t freq) const override;
    WaveRef GetLeftWaveAt(AbortFlag* abort, int32_t freq) const override;
    WaveRef GetRightWaveAt(AbortFlag* abort, int32_t freq) const override;
    void GetValueAt(double x, double& left, double& right, double& mean) const override;
    double GetMappedValueAt(AbortFlag* abort, double relPos, double yAtMax,
                            double yAtMin) const override;

    const Wave* GetWave() const { return wave.get(); }
    /// The channel to change in place; only for a sound that no one else holds.
    Wave* GetWave();
    /// Hands the channel to a new owner and leaves this sound empty (in place of marking the
    /// sound as a copy before deleting it).
    WavePtr TakeWave();
    /// Whether the channel is another sound's (the sharing constructor).
    bool SharesChannel() const { return owner != nullptr; }

private:
    /// A shared channel becomes a copy of its own; empty when the memory cannot be had.
    void Unshare();

    WavePtr wave;
    /// The sound whose channel wave is; wave is then released, never freed, by this sound.
    std::shared_ptr<const Sound> owner;
};

class StereoSound final : public Sound
{
public:
    /// An empty sound.
    StereoSound(int32_t sampleFreq, int16_t bytesPSample);
    /// Adopts both channels (null ones become empty). Channels of different lengths fail the
    /// soft assertion "waveLeft->getValues() == waveRight->getValues()" and are then cut to the
    /// shorter one, so the two stay equal in length.
    StereoSound(WavePtr waveLeft, WavePtr waveRight, int32_t sampleFreq, int16_t bytesPSample);
    /// A stereo copy of other with its format: a mono source gives two copies of its channel.
    /// An empty other gives an empty sound without reading it.
    StereoSound(const Sound& other, AbortFlag* abort);

    int32_t GetValues() const override { return waveLeft->Values(); }
    void GetMinMax(AbortFlag* abort, int32_t begin, int32_t end, int16_t& max, int16_t& negMin,
                   int16_t& peak) const override;
    WaveRef GetMonoWave(AbortFlag* abort) const override;
    const Wave* GetLeftWave() const override { return waveLeft.get(); }
    const Wave* GetRightWave() const override { return waveRight.get(); }
    WaveRef GetMonoWaveAt(AbortFlag* abort, int32_t freq) const override;
    WaveRef GetLeftWaveAt(AbortFlag* abort, int32_t freq) const override;
    WaveRef GetRightWaveAt(AbortFlag* abort, int32_t freq) const override;
    void GetValueAt(double x, double& left, double& right, double& mean) const override;
    double GetMappedValueAt(AbortFlag* abort, double relPos, double yAtMax,
                            double yAtMin) const override;

    const Wave* GetWaveLeft() const { return waveLeft.get(); }
    const Wave* GetWaveRight() const { return waveRight.get(); }
    /// The channels to change in place; only for a sound that no one else holds, and both by
    /// the same count.
    Wave* GetWaveLeft() { return waveLeft.get(); }
    Wave* GetWaveRight() { return waveRight.get(); }
    /// Hands both channels to a new owner and leaves this sound empty.
    std::pair<WavePtr, WavePtr> TakeWaves();

private:
    WavePtr waveLeft;
    WavePtr waveRight;
};

/// sound, which the caller holds alone, with another number of bytes per sample: its channels
/// move into a new sound of the same class and rate, and sound is left empty.
SoundUPtr WithBytesPSample(SoundUPtr sound, int16_t bytesPSample);

} // namespace kelvorn
