// The wave stages of the filters (low and high pass, resonance and notch, the block filter) and
// of the periodic echo.

#include "factory/builtins/WaveFunctionsDetail.h"

#include "sound/Filters.h"

namespace kelvorn::wavefn {

namespace {

bool OnePole(TWaveCall& c, const OnePoleFilters& filters)
{
    const bool constant = c.Has("Frequency");
    double period = 0;
    SoundPtr envelope;
    if (constant ? !c.ReadPeriod(period) : !c.Envelope("Envelope", envelope))
        return false;
    double factor = 0;
    if (!c.Read("Volume Factor", factor))
        return false;
    if (!(factor > 0 && factor < 1))
        return c.FailInput("Volume Factor", "must be above 0 and below 1.");
    int32_t count = 0;
    bool normalize = false;
    if (!c.ReadInt32("Filter Count", count) || !c.ReadFlag("Normalize Volume", normalize))
        return false;
    // Normalising runs the passes one by one, so none at all leaves the range only scaled.
    if (count < (normalize ? 0 : 1))
        return c.FailInput("Filter Count",
                           normalize ? "must be at least 0." : "must be at least 1.");
    auto filter = [&](const Sound& s, int32_t passes) {
        return constant ? FilterConstant(s, c.stop, filters.constant, period, factor, count, passes,
                                         c.begin, c.end)
                        : FilterEnvelope(s, c.stop, filters.envelope, *envelope, factor, count,
                                         passes, c.begin, c.end, &c.error);
    };
    if (!normalize)
        return c.Take(filter(*c.wave, count));
    // One pass at a time, each brought back to 70 % of full scale, so that many passes do not
    // wear the range down to silence.
    SoundUPtr current;
    if (!c.Step(Volume07(*c.wave, c.stop, c.begin, c.end), current))
        return false;
    for (int32_t i = 0; i < count; ++i) {
        SoundUPtr next;
        if (!c.Step(filter(*current, 1), next))
            return false;
        if (!Volume07InPlace(*next, c.stop, c.begin, c.end))
            return c.Stopped();
        current = std::move(next);
    }
    return c.Take(std::move(current));
}

bool ResonanceOrNotch(TWaveCall& c, const ResFilters& filters)
{
    const bool frequencyConstant = c.Has("Frequency");
    const bool widthConstant = c.Has("Frequency Width");
    double period = 0, width = 0;
    SoundPtr frequencyEnvelope, widthEnvelope;
    if (frequencyConstant) {
        if (!c.ReadPeriod(period))
            return false;
        // The oscillator turns once per period: it needs at least one value to turn in.
        if (!(c.Rate() * period >= 1))
            return c.FailInput("Frequency", "must not be above the sample frequency of the Wave.");
    } else if (!c.Envelope("Frequency Envelope", frequencyEnvelope)) {
        return false;
    }
    if (widthConstant) {
        if (!c.Read("Frequency Width", width))
            return false;
        if (!(width >= 0 && width <= 1))
            return c.FailInput("Frequency Width", "must be at least 0 and at most 1.");
    } else if (!c.Envelope("Frequency Width Envelope", widthEnvelope)) {
        return false;
    }
    return c.Take(FilterTwoParams(*c.wave, c.stop, frequencyConstant, widthConstant, period, width,
                                  frequencyEnvelope.get(), widthEnvelope.get(), filters, c.begin,
                                  c.end, &c.error));
}

} // namespace

bool LowFilter(TWaveCall& c)
{
    return OnePole(c, TheFilterTable.low);
}

bool HighFilter(TWaveCall& c)
{
    return OnePole(c, TheFilterTable.high);
}

bool ResonantFilter(TWaveCall& c)
{
    return ResonanceOrNotch(c, TheFilterTable.resonance);
}

bool NotchFilter(TWaveCall& c)
{
    return ResonanceOrNotch(c, TheFilterTable.notch);
}

bool BlockFilter(TWaveCall& c)
{
    double time = 0;
    if (!c.Read("Block Time", time))
        return false;
    if (c.Has("Envelope")) {
        SoundPtr envelope;
        return c.Envelope("Envelope", envelope) &&
               c.Take(FilterBlockEnvelope(*c.wave, c.stop, *envelope, time, &c.begin, &c.end,
                                          &c.error));
    }
    return c.Take(FilterBlock(*c.wave, c.stop, time, &c.begin, &c.end));
}

bool PeriodEcho(TWaveCall& c)
{
    double time = 0;
    int32_t count = 0;
    if (!c.Read("Time", time) || !c.ReadInt32("Echo Count", count))
        return false;
    // The echoes read the range between its values: one value has nothing in between.
    if (static_cast<int64_t>(c.end) - c.begin < 2)
        return c.Fail("Position End must be at least two values after Position Begin.");
    const bool useTime = c.Has("Time Envelope");
    // The enveloped delay scales the time: it cannot turn a negative one around.
    if (useTime && time < 0)
        return c.FailInput("Time", "must be at least 0 when \"Time Envelope\" is used.");
    const bool useVolume = !c.Has("Volume");
    double volume = 0;
    SoundPtr timeEnvelope, volumeEnvelope;
    if ((useTime && !c.Envelope("Time Envelope", timeEnvelope)) ||
        (useVolume ? !c.Envelope("Volume Envelope", volumeEnvelope) : !c.Read("Volume", volume)))
        return false;
    const Sound& wave = *c.wave;
    if (!useTime && !useVolume)
        return c.Take(PerEcho(wave, c.stop, time, volume, count, &c.begin, &c.end));
    if (!useTime)
        return c.Take(PerEchoFactorEnvelope(wave, c.stop, time, *volumeEnvelope, count, &c.begin,
                                            &c.end, &c.error));
    if (!useVolume)
        return c.Take(PerEchoDelayEnvelope(wave, c.stop, time, *timeEnvelope, volume, count,
                                           &c.begin, &c.end, &c.error));
    return c.Take(PerEchoEnvelopes(wave, c.stop, time, *timeEnvelope, *volumeEnvelope, count,
                                   &c.begin, &c.end, &c.error));
}

} // namespace kelvorn::wavefn
