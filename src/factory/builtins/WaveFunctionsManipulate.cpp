// The wave stages of the functions that change a sound: volume, balance, roll in and out, the
// vertical and horizontal moves, direction, distortion, length, blocks, and tempo and pitch.

#include "factory/builtins/WaveFunctionsDetail.h"

#include "general/numeric/NumericHelpers.h"

#include <cmath>

namespace kelvorn::wavefn {

namespace {

/// The new length relative to the range: "Length Factor"; "Length" over the seconds of the
/// range; or "Count" over the speed's magnitude (a negative speed plays backwards as long as a
/// positive one). Whichever gives it must give a length above 0.
bool ReadLengthFactor(TWaveCall& c, double speed, double& factor)
{
    const char* from = "Length Factor";
    if (c.Has(from)) {
        if (!c.Read(from, factor))
            return false;
    } else if (c.Has("Length")) {
        from = "Length";
        double length = 0;
        if (!c.Read(from, length))
            return false;
        const double seconds = c.RangeSeconds();
        factor = seconds > 0 ? length / seconds : 0.0;
    } else {
        from = "Count";
        double count = 0;
        if (!c.Read(from, count))
            return false;
        factor = count / std::fabs(speed);
    }
    if (!(factor > 0))
        return c.FailInput(from, "must be above 0.");
    return true;
}

/// A speed that a roll or a tempo can divide by.
bool ReadSpeed(TWaveCall& c, const char* name, double& speed)
{
    if (!c.Read(name, speed))
        return false;
    if (speed == 0)
        return c.FailInput(name, "must not be 0.");
    return true;
}

const MonoSound* AsMono(const TWaveCall& c)
{
    return dynamic_cast<const MonoSound*>(c.wave.get());
}

const StereoSound* AsStereo(const TWaveCall& c)
{
    return dynamic_cast<const StereoSound*>(c.wave.get());
}

bool NotStereo(TWaveCall& c)
{
    return c.Fail("Node Input \"Wave\" must be Stereo, but is Mono.");
}

} // namespace

bool Volume(TWaveCall& c)
{
    if (c.Has("Factor")) {
        double factor = 0;
        return c.Read("Factor", factor) &&
               c.Take(kelvorn::Volume(*c.wave, c.stop, factor, c.begin, c.end));
    }
    SoundPtr envelope;
    return c.Envelope("Envelope", envelope) &&
           c.Take(VolumeEnvelope(*c.wave, c.stop, *envelope, c.begin, c.end, &c.error));
}

bool Balance(TWaveCall& c)
{
    bool delay = false, volume = false, filter = false;
    if (!c.ReadFlag("Time Difference", delay) || !c.ReadFlag("Volume Difference", volume) ||
        !c.ReadFlag("Filter Difference", filter))
        return false;
    if (volume && filter)
        return c.Fail("You cannot set both flags \"Volume Difference\" and \"Filter Difference\".");
    if (c.Has("Angle")) {
        double angle = 0;
        if (!c.Read("Angle", angle))
            return false;
        // From full left to full right: the delay and the filter know no angle beyond.
        if (!(angle >= -1 && angle <= 1))
            return c.FailInput("Angle", "must be at least -1 and at most 1.");
        return c.Take(BalanceConstant(*c.wave, c.stop, angle, delay, volume, filter));
    }
    SoundPtr envelope;
    return c.Envelope("Envelope", envelope) &&
           c.Take(BalanceEnvelope(*c.wave, c.stop, *envelope, delay, volume, filter, &c.error));
}

bool MaxVolume(TWaveCall& c)
{
    return c.Take(kelvorn::MaxVolume(*c.wave, c.stop, c.begin, c.end));
}

bool RollIn(TWaveCall& c)
{
    double seconds = 0;
    if (!c.Read("Length", seconds))
        return false;
    const double rollValues = std::trunc(c.Rate() * seconds);
    double target = 0;
    if (c.Has("Position Roll Begin")) {
        double place = 0;
        if (!c.Read("Position Roll Begin", place))
            return false;
        target = std::trunc(place * rollValues);
    } else {
        double place = 0;
        if (!c.Read("Position Roll End", place))
            return false;
        target = std::trunc(place * rollValues + c.begin - c.end);
    }
    // Below one value there is nothing to roll into and the engine leaves the range as it is;
    // beyond what a wave holds it refuses the length itself.
    if (rollValues >= 1 && rollValues <= static_cast<double>(MaxWaveValues)) {
        target = std::trunc(WrapRange(target, 0.0, rollValues));
        if (!(target >= 0 && target < rollValues))
            target = 0;
    } else {
        target = 0;
    }
    return c.Take(
        kelvorn::RollIn(*c.wave, c.stop, seconds, static_cast<int32_t>(target), &c.begin, &c.end));
}

bool NormalizeVertically(TWaveCall& c)
{
    return c.Take(NormalizeV(*c.wave, c.stop, c.begin, c.end));
}

bool Reverse(TWaveCall& c)
{
    return c.Take(kelvorn::Reverse(*c.wave, c.stop, c.begin, c.end));
}

bool MoveVertically(TWaveCall& c)
{
    int16_t add = 0;
    return c.ReadInt16("Add Value", add) && c.Take(MoveV(*c.wave, c.stop, add, c.begin, c.end));
}

bool MixLeftRight(TWaveCall& c)
{
    const StereoSound* stereo = AsStereo(c);
    if (!stereo)
        return NotStereo(c);
    // By name: the pins stand left-to-left, right-to-left, left-to-right, right-to-right.
    double ll = 0, lr = 0, rl = 0, rr = 0;
    return c.Read("Volume Left to Left", ll) && c.Read("Volume Left to Right", lr) &&
           c.Read("Volume Right to Left", rl) && c.Read("Volume Right to Right", rr) &&
           c.Take(kelvorn::MixLeftRight(*stereo, c.stop, ll, lr, rl, rr, c.begin, c.end));
}

bool Distort(TWaveCall& c)
{
    SoundPtr curve;
    return c.Envelope("Envelope", curve) &&
           c.Take(kelvorn::Distort(*c.wave, c.stop, *curve, c.begin, c.end, &c.error));
}

bool ChangeLength(TWaveCall& c)
{
    double factor = 0;
    if (c.Has("Length Factor")) {
        if (!c.Read("Length Factor", factor))
            return false;
    } else {
        double length = 0;
        if (!c.Read("Length", length))
            return false;
        const double seconds = c.RangeSeconds();
        if (seconds == 0.0)
            return c.Fail("No part of the Wave is selected.");
        factor = length / seconds;
    }
    return c.Take(Length(*c.wave, c.stop, factor, &c.begin, &c.end));
}

bool RollOut(TWaveCall& c)
{
    double speed = 0, start = 0, factor = 0;
    if (!ReadSpeed(c, "Speed Factor", speed) || !c.ReadPlace("Start Position", start) ||
        !ReadLengthFactor(c, speed, factor))
        return false;
    if (c.Has("Speed Envelope")) {
        SoundPtr envelope;
        return c.Envelope("Speed Envelope", envelope) &&
               c.Take(kelvorn::RollOut(*c.wave, c.stop, *envelope, factor, speed, start, &c.begin,
                                       &c.end, &c.error));
    }
    // The range repeated, each turn the range played at the speed.
    const double period = c.RangeSeconds() / speed;
    if (!(c.Rate() * period != 0))
        return c.FailInput("Speed Factor", "is too large for the range.");
    return c.Take(
        RepeatPart(*c.wave, c.stop, period, std::fabs(speed) * factor, start, &c.begin, &c.end));
}

bool MoveHorizontallyMono(TWaveCall& c)
{
    const MonoSound* mono = AsMono(c);
    if (!mono)
        return c.Fail("Node Input \"Wave\" must be Mono, but is Stereo.");
    double time = 0;
    if (!c.Read("Time Move", time))
        return false;
    if (c.Has("Envelope")) {
        SoundPtr envelope;
        return c.Envelope("Envelope", envelope) &&
               c.Take(MoveHEnvelope(*mono, c.stop, time, *envelope, &c.begin, &c.end, &c.error));
    }
    return c.Take(MoveHConstant(*mono, c.stop, time, &c.begin, &c.end));
}

bool MoveHorizontallyStereo(TWaveCall& c)
{
    const StereoSound* stereo = AsStereo(c);
    if (!stereo)
        return NotStereo(c);
    double left = 0, right = 0;
    if (!c.Read("Time Move Left", left) || !c.Read("Time Move Right", right))
        return false;
    if (c.Has("Envelope")) {
        SoundPtr envelope;
        return c.Envelope("Envelope", envelope) &&
               c.Take(MoveHEnvelope(*stereo, c.stop, left, right, *envelope, &c.begin, &c.end,
                                    &c.error));
    }
    return c.Take(MoveHConstant(*stereo, c.stop, left, right, &c.begin, &c.end));
}

bool Block(TWaveCall& c)
{
    double blockTime = 0;
    if (c.Has("Count Horizontal")) {
        double count = 0;
        if (!c.Read("Count Horizontal", count))
            return false;
        if (!(count > 0))
            return c.FailInput("Count Horizontal", "must be above 0.");
        blockTime = c.RangeSeconds() / count;
    } else if (c.Has("Time Horizontal") && !c.Read("Time Horizontal", blockTime)) {
        return false;
    }
    int32_t levels = 0;
    if (c.Has("Count Vertical")) {
        if (!c.ReadInt32("Count Vertical", levels))
            return false;
    } else if (c.Has("Height")) {
        int32_t height = 0;
        if (!c.ReadInt32("Height", height))
            return false;
        if (height < 1)
            return c.FailInput("Height", "must be at least 1.");
        // 65572, not 65536: the default height of 3277 has always given 20 levels.
        levels = 65572 / height;
    }
    return c.Take(kelvorn::Block(*c.wave, c.stop, blockTime, levels, c.begin, c.end));
}

bool TempoPitch(TWaveCall& c)
{
    double step = 0, speed = 0, start = 0, block = 0, factor = 0;
    bool high = false;
    if (!c.Read("Frequency Factor", step) || !ReadSpeed(c, "Speed Factor", speed) ||
        !c.ReadPlace("Start Position", start) || !c.ReadFlag("High Quality", high) ||
        !c.Read("Block Size", block))
        return false;
    if (!(block > 0))
        return c.FailInput("Block Size", "must be above 0.");
    const bool useSpeed = c.Has("Speed Factor Envelope");
    // The enveloped speed moves the block start forward only.
    if (useSpeed && speed < 0)
        return c.FailInput("Speed Factor",
                           "must be above 0 when \"Speed Factor Envelope\" is used.");
    if (!ReadLengthFactor(c, speed, factor))
        return false;
    const bool useFreq = c.Has("Frequency Factor Envelope");
    SoundPtr freqEnvelope, speedEnvelope;
    if ((useFreq && !c.Envelope("Frequency Factor Envelope", freqEnvelope)) ||
        (useSpeed && !c.Envelope("Speed Factor Envelope", speedEnvelope)))
        return false;
    const int32_t mode = high ? 1 : 0;
    const Sound& wave = *c.wave;
    if (!useFreq && !useSpeed)
        return c.Take(kelvorn::TempoPitch(wave, c.stop, speed, start, factor, step, block, mode,
                                          &c.begin, &c.end));
    if (!useSpeed)
        return c.Take(TempoPitchFreqEnvelope(wave, c.stop, speed, start, factor, step,
                                             *freqEnvelope, block, mode, &c.begin, &c.end,
                                             &c.error));
    if (!useFreq)
        return c.Take(TempoPitchSpeedEnvelope(wave, c.stop, speed, *speedEnvelope, start, factor,
                                              step, block, mode, &c.begin, &c.end, &c.error));
    return c.Take(TempoPitchEnvelopes(wave, c.stop, speed, *speedEnvelope, start, factor, step,
                                      *freqEnvelope, block, mode, &c.begin, &c.end, &c.error));
}

} // namespace kelvorn::wavefn
