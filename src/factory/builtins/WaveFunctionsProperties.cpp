// The wave functions of a sound's format: set and get its properties, make a new empty or silent
// sound, merge two sounds one after the other or side by side, and the statistics of a range.

#include "factory/builtins/WaveFunctionsDetail.h"

#include "sound/WavePrimitives.h"

#include <algorithm>
#include <cmath>

namespace kelvorn::wavefn {

namespace {

/// A sound's format as a kind asks for it: each input's truncated value where it has one, the
/// default otherwise, and every part of it one a WAV file can hold.
struct TFormat
{
    int32_t rate = 0;
    int32_t bytes = 0;
    int32_t channels = 0;
};

/// Every part of the format one a WAV file can hold ("Mono Stereo" only when withChannels).
bool CheckFormat(TWaveCall& c, const TFormat& format, bool withChannels)
{
    if (format.bytes != 1 && format.bytes != 2)
        return c.FailInput("Bytes Per Sample", "must be 1 or 2.");
    if (withChannels && format.channels != 1 && format.channels != 2)
        return c.FailInput("Mono Stereo", "must be 1 or 2.");
    if (format.rate <= 0)
        return c.FailInput("Sample Frequency", "must be above 0.");
    return true;
}

/// Reads the inputs of the format that hold a value over the defaults in format, and checks
/// the outcome.
bool ReadFormat(TWaveCall& c, TFormat& format, bool withChannels)
{
    if ((c.Has("Sample Frequency") && !c.ReadInt32("Sample Frequency", format.rate)) ||
        (c.Has("Bytes Per Sample") && !c.ReadInt32("Bytes Per Sample", format.bytes)) ||
        (withChannels && c.Has("Mono Stereo") && !c.ReadInt32("Mono Stereo", format.channels)))
        return false;
    return CheckFormat(c, format, withChannels);
}

/// The larger of the two sounds' figures, for a merge without its own.
TFormat LargerFormat(const Sound& a, const Sound& b)
{
    return {std::max(a.GetSampleFreq(), b.GetSampleFreq()),
            std::max<int32_t>(a.GetBytesPSample(), b.GetBytesPSample()),
            std::max<int32_t>(a.GetMonoStereo(), b.GetMonoStereo())};
}

/// A sound on its way through a chain of conversions: the input, until a step makes a new one,
/// which it then holds alone and frees when the next step replaces it.
class TConverted
{
public:
    explicit TConverted(const Sound& input) : current(&input) {}

    const Sound& operator*() const { return *current; }
    const Sound* operator->() const { return current; }
    bool Made() const { return made != nullptr; }
    /// Takes the next step's sound; false (with the message) when the step gave none.
    bool Replace(TWaveCall& c, SoundUPtr next)
    {
        SoundUPtr kept;
        if (!c.Step(std::move(next), kept))
            return false;
        made = std::move(kept);
        current = made.get();
        return true;
    }
    SoundUPtr Release() { return std::move(made); }

private:
    const Sound* current;
    SoundUPtr made;
};

/// A copy of the sound with one channel (a stereo sound mixed down) or two (a mono channel on
/// both sides); false when stopped during the copy.
bool ToChannels(TWaveCall& c, TConverted& sound, int32_t channels)
{
    SoundUPtr copy;
    if (channels == 1)
        copy = std::make_unique<MonoSound>(*sound, c.stop);
    else
        copy = std::make_unique<StereoSound>(*sound, c.stop);
    return c.NotStopped() && sound.Replace(c, std::move(copy));
}

/// The sound resampled to rate; name is the input it came from.
bool ToRate(TWaveCall& c, TConverted& sound, int32_t rate, const char* name)
{
    if (sound->GetSampleFreq() <= 0)
        return c.FailInput(name, "has no sample frequency.");
    return sound.Replace(c, ChangeSampleFreq(*sound, c.stop, rate));
}

/// A position scaled by the change of rate, within the new length.
int32_t Rescaled(int32_t position, double ratio, int32_t length)
{
    return static_cast<int32_t>(
        std::clamp(std::trunc(position * ratio), 0.0, static_cast<double>(length)));
}

SoundUPtr EmptySound(int32_t channels, int32_t rate, int32_t bytes)
{
    if (channels == 1)
        return std::make_unique<MonoSound>(rate, static_cast<int16_t>(bytes));
    return std::make_unique<StereoSound>(rate, static_cast<int16_t>(bytes));
}

/// The two channels of a vertical merge made equally long by the chosen rule.
bool EqualLengths(TWaveCall& c, WaveRef& left, WaveRef& right, bool alignBegin, bool alignEnd,
                  bool stretchShortest)
{
    const int32_t nL = left->Values();
    const int32_t nR = right->Values();
    if (nL == nR)
        return true;
    WaveRef& shorter = nL < nR ? left : right;
    WaveRef& longer = nL < nR ? right : left;
    const int32_t difference = std::abs(nL - nR);
    WavePtr replacement;
    WaveRef* replaced = &shorter;
    if (alignBegin || alignEnd || (stretchShortest && shorter->IsEmpty())) {
        // Silence after the shorter one, or before it.
        int32_t at = alignEnd ? 0 : shorter->Values();
        int32_t atEnd = at;
        replacement = makeSilence(*shorter, c.stop, difference, &at, &atEnd);
    } else if (stretchShortest) {
        replacement = resample(*shorter, c.stop, longer->Values(), false);
    } else {
        replaced = &longer;
        replacement = shorter->IsEmpty() ? std::make_unique<Wave>()
                                         : resample(*longer, c.stop, shorter->Values(), false);
    }
    if (!replacement || !c.NotStopped())
        return c.Stopped();
    *replaced = WaveRef::Own(std::move(replacement));
    return true;
}

} // namespace

bool SetWaveProperties(TWaveCall& c)
{
    const Sound& wave = *c.wave;
    TFormat format{wave.GetSampleFreq(), wave.GetBytesPSample(), wave.GetMonoStereo()};
    if (!ReadFormat(c, format, true))
        return false;
    TConverted sound(wave);
    if (sound->GetMonoStereo() == 2 && format.channels == 1 && !ToChannels(c, sound, 1))
        return false;
    if (format.rate != sound->GetSampleFreq()) {
        const double ratio = static_cast<double>(format.rate) / sound->GetSampleFreq();
        if (!ToRate(c, sound, format.rate, "Wave"))
            return false;
        // The resampled wave has (n - 1) x ratio + 1 values: an end scaled alone may pass it.
        c.begin = Rescaled(c.begin, ratio, sound->GetValues());
        c.end = Rescaled(c.end, ratio, sound->GetValues());
    }
    if (sound->GetMonoStereo() == 1 && format.channels == 2 && !ToChannels(c, sound, 2))
        return false;
    if (format.bytes != sound->GetBytesPSample()) {
        if (!sound.Made() && !ToChannels(c, sound, sound->GetMonoStereo()))
            return false;
        c.result = WithBytesPSample(sound.Release(), static_cast<int16_t>(format.bytes));
        return true;
    }
    // Nothing to change: the input itself goes on.
    c.result = sound.Made() ? SoundPtr(sound.Release()) : c.wave;
    return true;
}

bool MakeNewWave(TWaveCall& c)
{
    TFormat format;
    double length = 0;
    if (!c.ReadInt32("Sample Frequency", format.rate) ||
        !c.ReadInt32("Bytes Per Sample", format.bytes) ||
        !c.ReadInt32("Mono Stereo", format.channels) || !c.Read("Length", length) ||
        !CheckFormat(c, format, true))
        return false;
    c.begin = c.end = 0;
    SoundUPtr empty = EmptySound(format.channels, format.rate, format.bytes);
    if (!(length > 0)) {
        c.result = std::move(empty);
        return true;
    }
    return c.Take(MakeSilence(*empty, c.stop, length, &c.begin, &c.end));
}

bool MergeHorizontally(TWaveCall& c)
{
    SoundPtr before, after;
    if (!c.Envelope("Wave Before", before) || !c.Envelope("Wave After", after))
        return false;
    TFormat format = LargerFormat(*before, *after);
    if (!ReadFormat(c, format, true))
        return false;
    // The one before takes the asked format, empty or not; the paste reads the one after at
    // its rate and channels.
    SoundUPtr empty;
    if (before->GetValues() == 0)
        empty = EmptySound(format.channels, format.rate, before->GetBytesPSample());
    TConverted first(empty ? *empty : *before);
    if (first->GetMonoStereo() == 2 && format.channels == 1 && !ToChannels(c, first, 1))
        return false;
    if (first->GetSampleFreq() != format.rate && !ToRate(c, first, format.rate, "Wave Before"))
        return false;
    if (first->GetMonoStereo() == 1 && format.channels == 2 && !ToChannels(c, first, 2))
        return false;
    const int32_t at = first->GetValues();
    SoundUPtr merged;
    if (!c.Step(Paste(*first, c.stop, *after, at, at), merged))
        return false;
    if (merged->GetBytesPSample() != format.bytes)
        merged = WithBytesPSample(std::move(merged), static_cast<int16_t>(format.bytes));
    c.result = std::move(merged);
    return true;
}

bool MergeVertically(TWaveCall& c)
{
    SoundPtr left, right;
    if (!c.Envelope("Wave Left", left) || !c.Envelope("Wave Right", right))
        return false;
    TFormat format = LargerFormat(*left, *right);
    if (!ReadFormat(c, format, false))
        return false;
    bool alignBegin = false, alignEnd = false, stretchShortest = false, stretchLongest = false;
    if (!c.ReadFlag("Align Begin", alignBegin) || !c.ReadFlag("Align End", alignEnd) ||
        !c.ReadFlag("Stretch Shortest Wave", stretchShortest) ||
        !c.ReadFlag("Stretch Longest Wave", stretchLongest))
        return false;
    if (alignBegin + alignEnd + stretchShortest + stretchLongest != 1)
        return c.Fail("You must set exactly one of the flags \"Align Begin\", \"Align End\", "
                      "\"Stretch Shortest Wave\" or \"Stretch Longest Wave\".");
    // One channel each, at the asked rate; the counts decide, since two waves of one duration
    // may still differ by a value once resampled.
    WaveRef l = left->GetMonoWaveAt(c.stop, format.rate);
    WaveRef r = l ? right->GetMonoWaveAt(c.stop, format.rate) : WaveRef();
    if (!l || !r || !c.NotStopped())
        return c.Stopped();
    if (!EqualLengths(c, l, r, alignBegin, alignEnd, stretchShortest))
        return false;
    WavePtr leftWave = l.Take(c.stop);
    WavePtr rightWave = leftWave ? r.Take(c.stop) : nullptr;
    if (!leftWave || !rightWave || !c.NotStopped())
        return c.Stopped();
    c.result = std::make_shared<StereoSound>(std::move(leftWave), std::move(rightWave), format.rate,
                                             static_cast<int16_t>(format.bytes));
    return true;
}

// ---- output stages ----

bool GetWavePropertiesOutputs(TWaveCall& c)
{
    const Sound& wave = *c.wave;
    const auto set = [&](const char* name, double value, ValueType type) {
        if (TSountoryNodeOutput* output = c.node.FindOutputByName(name))
            output->SetValue(TSntValue(value, type));
    };
    set("Sample Frequency", wave.GetSampleFreq(), ValueType::WaveSampleFrequency);
    set("Bytes Per Sample", wave.GetBytesPSample(), ValueType::WaveBytesPerSample);
    set("Mono Stereo", wave.GetMonoStereo(), ValueType::WaveMonoStereo);
    set("Length", static_cast<double>(wave.GetTime()), ValueType::Time);
    set("Position End", c.length, ValueType::PlaceInWindow);
    return true;
}

bool WaveStatisticsOutputs(TWaveCall& c)
{
    // The engine gives the low peak as a magnitude, and the absolute one as the larger of the
    // two magnitudes.
    int16_t high = 0, negLow = 0, peak = 0;
    c.wave->GetMinMax(c.stop, c.begin, c.end, high, negLow, peak);
    const auto set = [&](const char* name, double value) {
        if (TSountoryNodeOutput* output = c.node.FindOutputByName(name))
            output->SetValue(TSntValue(value, ValueType::WaveValue));
    };
    set("Peak High", high);
    set("Peak Low", -negLow);
    set("Peak Absolute", peak);
    return true;
}

} // namespace kelvorn::wavefn
