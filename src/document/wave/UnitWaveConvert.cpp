// Conversion of a wave document to new file properties. The conversion works on copies: the
// document's sound, positions and format change only once the whole conversion has succeeded,
// so a memory failure halfway leaves the document exactly as it was.

#include "document/records/WaveFileProps.h"
#include "document/wave/UnitWave.h"
#include "general/Assert.h"
#include "sound/SoundOps.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kelvorn {

namespace {

/// A copy of sound with `channels` channels (a mono sound's one channel copied to both sides) and
/// another number of bytes per sample; nullptr (abort set, the box shown) when the memory cannot
/// be had.
SoundUPtr CopyChannels(const Sound& sound, AbortFlag* abort, int16_t channels, int16_t bytesPSample)
{
    int32_t freq = sound.GetSampleFreq();
    WavePtr left = CreateWaveCopy(abort, sound.GetLeftWave());
    if (!CheckMemory(left.get()))
        return nullptr;
    if (channels == 1)
        return std::make_unique<MonoSound>(std::move(left), freq, bytesPSample);
    WavePtr right = CreateWaveCopy(abort, sound.GetRightWave());
    if (!CheckMemory(right.get()))
        return nullptr;
    return std::make_unique<StereoSound>(std::move(left), std::move(right), freq, bytesPSample);
}

int32_t ScalePosition(int32_t position, double ratio)
{
    double scaled = std::trunc(position * ratio);
    return static_cast<int32_t>(std::clamp(scaled, 0.0, static_cast<double>(INT32_MAX)));
}

} // namespace

bool TUnitWave::SetWaveFileProps(const TWaveFileProps& oldProps, const TWaveFileProps& newProps)
{
    BeginOperation();
    if (!KV_SOFT_ASSERT(newProps.MonoStereo == 1 || newProps.MonoStereo == 2) ||
        !KV_SOFT_ASSERT(newProps.BytesPSample == 1 || newProps.BytesPSample == 2) ||
        !KV_SOFT_ASSERT(newProps.SampleFreq > 0))
        return false;

    // `converted` is the newest sound made here; while it is null the document's own sound is
    // the current stage and must not be touched.
    SoundUPtr converted;
    auto current = [&]() -> const Sound& { return converted ? *converted : *TheSound; };

    if (oldProps.MonoStereo == 2 && newProps.MonoStereo == 1) {
        converted = std::make_unique<MonoSound>(current(), &abortFlag);
        if (abortFlag)
            return false;
    }
    bool freqChanged = oldProps.SampleFreq != newProps.SampleFreq;
    if (freqChanged) {
        SoundUPtr resampled = ChangeSampleFreq(current(), &abortFlag, newProps.SampleFreq);
        if (!resampled || abortFlag)
            return false;
        converted = std::move(resampled);
    }
    if (oldProps.MonoStereo == 1 && newProps.MonoStereo == 2) {
        SoundUPtr stereo = CopyChannels(current(), &abortFlag, 2, newProps.BytesPSample);
        if (!stereo || abortFlag)
            return false;
        converted = std::move(stereo);
    }
    if (oldProps.BytesPSample != newProps.BytesPSample &&
        current().GetBytesPSample() != newProps.BytesPSample) {
        // A sound made above is ours and keeps its channels; the document's shared sound is
        // copied, never changed in place.
        if (converted) {
            converted = WithBytesPSample(std::move(converted), newProps.BytesPSample);
        } else {
            converted = CopyChannels(*TheSound, &abortFlag, TheSound->GetMonoStereo(),
                                     newProps.BytesPSample);
            if (!converted || abortFlag)
                return false;
        }
    }
    if (!converted)
        return true;

    TheSound = std::move(converted);
    if (freqChanged && oldProps.SampleFreq > 0) {
        double ratio = static_cast<double>(newProps.SampleFreq) / oldProps.SampleFreq;
        wavePos1 = ScalePosition(wavePos1, ratio);
        wavePos2 = ScalePosition(wavePos2, ratio);
    }
    SetPos1(wavePos1);
    SetPos2(wavePos2);
    if (childWave) {
        if (oldProps.MonoStereo != newProps.MonoStereo)
            childWave->SetIconByChannels(newProps.MonoStereo);
        childWave->RefreshWave();
    }
    return true;
}

} // namespace kelvorn
