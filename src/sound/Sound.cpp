#include "sound/Sound.h"

#include "general/numeric/NumericHelpers.h"

#include "general/Assert.h"
#include "general/Services.h"
#include "sound/WavFile.h"
#include "sound/WavePrimitives.h"
#include "sound/WaveSignal.h"

#include <algorithm>

namespace kelvorn {

namespace {

// The value at the fractional index x: one value at a whole index (so the last index is valid),
// else the two neighbours blended; 0 outside the wave.
double ValueAt(const Wave& wave, double x)
{
    const int32_t n = wave.Values();
    if (!(x >= 0.0) || !(x <= static_cast<double>(n - 1)))
        return 0.0;
    const auto i = static_cast<int32_t>(x);
    const double f = x - i;
    if (f == 0.0 || i + 1 >= n)
        return wave[i];
    return (1.0 - f) * wave[i] + f * wave[i + 1];
}

// A sample value mapped from [-32768, 32767] onto [yAtMin, yAtMax].
double MapValue(double value, double yAtMax, double yAtMin)
{
    return LinearMap(value, -32768.0, 32767.0, yAtMin, yAtMax);
}

WavePtr EmptyIfNull(WavePtr wave)
{
    return wave ? std::move(wave) : std::make_unique<Wave>();
}

} // namespace

WavePtr WaveRef::Take(AbortFlag* abort)
{
    WavePtr result = owned ? std::move(owned) : CreateWaveCopy(abort, view);
    view = nullptr;
    return result;
}

// ---------------------------------------------------------------------------------------------
// Sound

long double Sound::GetTime() const
{
    if (SampleFreq <= 0)
        return 0.0L;
    return static_cast<long double>(GetValues()) / SampleFreq;
}

bool Sound::NeedsResampling(int32_t freq) const
{
    return freq != SampleFreq && freq > 0 && SampleFreq > 0;
}

WaveRef Sound::ResampledTo(AbortFlag* abort, const Wave& wave, int32_t freq) const
{
    return WaveRef::Own(resampleFactor(wave, abort, static_cast<double>(freq) / SampleFreq));
}

WavePtr Sound::CloneMonoWave(AbortFlag* abort, int32_t freq) const
{
    return (freq != 0 ? GetMonoWaveAt(abort, freq) : GetMonoWave(abort)).Take(abort);
}

WavePtr Sound::CloneLeftWave(AbortFlag* abort, int32_t freq) const
{
    if (freq != 0)
        return GetLeftWaveAt(abort, freq).Take(abort);
    return CreateWaveCopy(abort, GetLeftWave());
}

WavePtr Sound::CloneRightWave(AbortFlag* abort, int32_t freq) const
{
    if (freq != 0)
        return GetRightWaveAt(abort, freq).Take(abort);
    return CreateWaveCopy(abort, GetRightWave());
}

bool Sound::SaveToWavFile(AbortFlag* abort, const std::string& fileName, int32_t begin,
                          int32_t end) const
{
    std::string message;
    return WriteWaveFile(abort, fileName, this, begin, end, message);
}

void Sound::Play(bool maximise) const
{
    if (SoundPlayer* player = FindService<SoundPlayer>())
        player->PlaySound(*this, maximise);
}

// ---------------------------------------------------------------------------------------------
// MonoSound

MonoSound::MonoSound(int32_t sampleFreq, int16_t bytesPSample)
    : Sound(1, sampleFreq, bytesPSample), wave(std::make_unique<Wave>())
{
}

MonoSound::MonoSound(WavePtr wave, int32_t sampleFreq, int16_t bytesPSample)
    : Sound(1, sampleFreq, bytesPSample), wave(EmptyIfNull(std::move(wave)))
{
}

MonoSound::MonoSound(const Sound& other, AbortFlag* abort)
    : Sound(1, other.GetSampleFreq(), other.GetBytesPSample()),
      wave(other.GetValues() == 0 ? std::make_unique<Wave>()
                                  : EmptyIfNull(other.CloneMonoWave(abort, 0)))
{
}

MonoSound::MonoSound(std::shared_ptr<const Sound> owner, const Wave& channel)
    : Sound(1, owner->GetSampleFreq(), owner->GetBytesPSample()),
      // Held as the other sounds hold their channels, and released unfreed in the destructor.
      wave(const_cast<Wave*>(&channel)), owner(std::move(owner))
{
}

MonoSound::~MonoSound()
{
    if (owner)
        (void)wave.release();
}

void MonoSound::Unshare()
{
    if (!owner)
        return;
    AbortFlag failed = 0;
    WavePtr own = EmptyIfNull(CreateWaveCopy(&failed, wave.get()));
    (void)wave.release();
    wave = std::move(own);
    owner.reset();
}

Wave* MonoSound::GetWave()
{
    Unshare();
    return wave.get();
}

void MonoSound::GetMinMax(AbortFlag* abort, int32_t begin, int32_t end, int16_t& max,
                          int16_t& negMin, int16_t& peak) const
{
    max = 0;
    negMin = 0;
    minMax(*wave, abort, max, negMin, begin, end);
    peak = std::max(max, negMin);
}

WaveRef MonoSound::GetMonoWaveAt(AbortFlag* abort, int32_t freq) const
{
    return GetLeftWaveAt(abort, freq);
}

WaveRef MonoSound::GetLeftWaveAt(AbortFlag* abort, int32_t freq) const
{
    if (!NeedsResampling(freq))
        return WaveRef::Borrow(*wave);
    return ResampledTo(abort, *wave, freq);
}

WaveRef MonoSound::GetRightWaveAt(AbortFlag* abort, int32_t freq) const
{
    return GetLeftWaveAt(abort, freq);
}

void MonoSound::GetValueAt(double x, double& left, double& right, double& mean) const
{
    left = right = mean = ValueAt(*wave, x);
}

double MonoSound::GetMappedValueAt(AbortFlag* abort, double relPos, double yAtMax,
                                   double yAtMin) const
{
    return MapValue(ValueAt(*wave, (GetValues() - 1) * relPos), yAtMax, yAtMin);
}

WavePtr MonoSound::TakeWave()
{
    Unshare();
    return std::exchange(wave, std::make_unique<Wave>());
}

// ---------------------------------------------------------------------------------------------
// StereoSound

StereoSound::StereoSound(int32_t sampleFreq, int16_t bytesPSample)
    : Sound(2, sampleFreq, bytesPSample), waveLeft(std::make_unique<Wave>()),
      waveRight(std::make_unique<Wave>())
{
}

StereoSound::StereoSound(WavePtr left, WavePtr right, int32_t sampleFreq, int16_t bytesPSample)
    : Sound(2, sampleFreq, bytesPSample), waveLeft(EmptyIfNull(std::move(left))),
      waveRight(EmptyIfNull(std::move(right)))
{
    if (waveLeft->Values() == waveRight->Values())
        return;
    // The condition is named as callers have always seen it.
    ReportAssertFailed("waveLeft->getValues() == waveRight->getValues()", __FILE__, __LINE__);
    // Everything else relies on equal channels: keep the part both have.
    WavePtr& longer = waveLeft->Values() > waveRight->Values() ? waveLeft : waveRight;
    const int32_t shorter = std::min(waveLeft->Values(), waveRight->Values());
    AbortFlag failed = 0;
    WavePtr cut = CreateWave(&failed, shorter);
    if (cut) {
        std::copy_n(longer->Data(), shorter, cut->Data());
        longer = std::move(cut);
    } else {
        waveLeft = std::make_unique<Wave>();
        waveRight = std::make_unique<Wave>();
    }
}

StereoSound::StereoSound(const Sound& other, AbortFlag* abort)
    : Sound(2, other.GetSampleFreq(), other.GetBytesPSample())
{
    if (other.GetValues() == 0) {
        waveLeft = std::make_unique<Wave>();
        waveRight = std::make_unique<Wave>();
        return;
    }
    waveLeft = EmptyIfNull(other.CloneLeftWave(abort, 0));
    waveRight = EmptyIfNull(other.CloneRightWave(abort, 0));
    // A copy stopped half way leaves one channel short: both are then dropped.
    if (waveLeft->Values() != waveRight->Values()) {
        waveLeft = std::make_unique<Wave>();
        waveRight = std::make_unique<Wave>();
    }
}

void StereoSound::GetMinMax(AbortFlag* abort, int32_t begin, int32_t end, int16_t& max,
                            int16_t& negMin, int16_t& peak) const
{
    int16_t max2 = 0, negMin2 = 0;
    max = 0;
    negMin = 0;
    minMax(*waveLeft, abort, max, negMin, begin, end);
    minMax(*waveRight, abort, max2, negMin2, begin, end);
    max = std::max(max, max2);
    negMin = std::max(negMin, negMin2);
    peak = std::max(max, negMin);
}

WaveRef StereoSound::GetMonoWave(AbortFlag* abort) const
{
    return WaveRef::Own(mixHalf(*waveLeft, abort, *waveRight));
}

WaveRef StereoSound::GetMonoWaveAt(AbortFlag* abort, int32_t freq) const
{
    WaveRef mix = GetMonoWave(abort);
    if (!mix || !NeedsResampling(freq))
        return mix;
    return ResampledTo(abort, *mix, freq);
}

WaveRef StereoSound::GetLeftWaveAt(AbortFlag* abort, int32_t freq) const
{
    if (!NeedsResampling(freq))
        return WaveRef::Borrow(*waveLeft);
    return ResampledTo(abort, *waveLeft, freq);
}

WaveRef StereoSound::GetRightWaveAt(AbortFlag* abort, int32_t freq) const
{
    if (!NeedsResampling(freq))
        return WaveRef::Borrow(*waveRight);
    return ResampledTo(abort, *waveRight, freq);
}

void StereoSound::GetValueAt(double x, double& left, double& right, double& mean) const
{
    left = ValueAt(*waveLeft, x);
    right = ValueAt(*waveRight, x);
    mean = (left + right) * 0.5;
}

double StereoSound::GetMappedValueAt(AbortFlag* abort, double relPos, double yAtMax,
                                     double yAtMin) const
{
    double left, right, mean;
    GetValueAt((GetValues() - 1) * relPos, left, right, mean);
    return MapValue(mean, yAtMax, yAtMin);
}

std::pair<WavePtr, WavePtr> StereoSound::TakeWaves()
{
    return {std::exchange(waveLeft, std::make_unique<Wave>()),
            std::exchange(waveRight, std::make_unique<Wave>())};
}

// ---------------------------------------------------------------------------------------------

SoundUPtr WithBytesPSample(SoundUPtr sound, int16_t bytesPSample)
{
    const int32_t freq = sound->GetSampleFreq();
    if (auto* mono = dynamic_cast<MonoSound*>(sound.get()))
        return std::make_unique<MonoSound>(mono->TakeWave(), freq, bytesPSample);
    auto [left, right] = static_cast<StereoSound&>(*sound).TakeWaves();
    return std::make_unique<StereoSound>(std::move(left), std::move(right), freq, bytesPSample);
}

} // namespace kelvorn
