// The generators and the operations that may move values: each is framed by BeginWaveChange
// and EndWaveChange, so the panes keep their zoom and the range the result occupies is selected
// (or a lone cursor scaled) afterwards.

#include "document/wave/WaveDocumentOps.h"

#include "document/wave/UnitWave.h"
#include "document/wave/UnitWaveRecords.h"
#include "document/wave/WaveDocumentOpsDetail.h"
#include "general/numeric/NumericHelpers.h"
#include "sound/SoundOps.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kelvorn::waveops {

using namespace detail;

namespace {

/// A start phase in turns within [0, 1): the sine runs in whole turns, so a full turn is none
/// and -90 degrees is 270.
double StartTurn(double phase)
{
    const double turn = phase - std::floor(phase);
    return turn < 1.0 ? turn : 0.0;
}

/// The range most operations work on, or the part the generators replace.
struct Span
{
    int32_t begin;
    int32_t end;
};

Span RangeOf(const TUnitWave& unit)
{
    return {unit.GetRangeBegin(), unit.GetRangeEnd()};
}

Span PartOf(const TUnitWave& unit)
{
    return {unit.GetPartBegin(), unit.GetPartEnd()};
}

/// A position in seconds as a fraction of the range; 0 for a range without length.
double FractionOfRange(const TUnitWave& unit, double seconds)
{
    const long double rangeTime = unit.GetRangeTime();
    return rangeTime > 0 ? static_cast<double>(seconds / rangeTime) : 0.0;
}

/// What every engine call takes from the document besides its own settings.
struct Job
{
    const Sound& sound;
    AbortFlag* abort;
    int32_t* begin;
    int32_t* end;
    std::string* error;
};

/// Frames the engine call make(job) over s by BeginWaveChange and FinishChange.
template <typename Make> WaveOpResult Change(TUnitWave& unit, Span s, Make make)
{
    unit.BeginWaveChange(s.begin, s.end);
    std::string error;
    SoundUPtr result = make(Job{*unit.GetSound(), unit.GetAbortFlag(), &s.begin, &s.end, &error});
    return FinishChange(unit, std::move(result), error, s.begin, s.end);
}

WaveOpResult MakeBlockTriangle(TUnitWave& unit, const TBlockTriangleProps& props, bool triangle)
{
    WaveOpResult refused;
    SoundPtr middleEnvelope;
    const bool hasEnvelope = props.HasMiddleEnvelope();
    if (hasEnvelope && !TakeEnvelope(props.middleEnvelope, middleEnvelope, refused))
        return refused;
    const double length = props.GetLength();
    const double period = props.GetPeriod();
    return Change(unit, PartOf(unit), [&](const Job& job) {
        return hasEnvelope ? MakeBlockTriangleEnvelope(job.sound, job.abort, props.height1.value,
                                                       props.height2.value, period, *middleEnvelope,
                                                       length, props.startPosition.GetValue(),
                                                       triangle, job.begin, job.end, job.error)
                           : kelvorn::MakeBlockTriangle(
                                 job.sound, job.abort, props.height1.value, props.height2.value,
                                 period, props.GetMiddleFraction(), length,
                                 props.startPosition.GetValue(), triangle, job.begin, job.end);
    });
}

} // namespace

// ---- Generators ------------------------------------------------------------------------------

WaveOpResult MakeLine(TUnitWave& unit, const TLineProps& props)
{
    const TLineProps& own = Remember(unit, &TUnitWaveRecords::lineProps, props);
    return Change(unit, PartOf(unit), [&](const Job& job) {
        return kelvorn::MakeLine(job.sound, job.abort, own.beginValue.value, own.endValue.value,
                                 own.length.GetValue(), own.kind == TLineProps::kindExponential,
                                 job.begin, job.end);
    });
}

WaveOpResult MakeSilence(TUnitWave& unit, const TSilenceProps& props)
{
    const TSilenceProps& own = Remember(unit, &TUnitWaveRecords::silenceProps, props);
    return Change(unit, PartOf(unit), [&](const Job& job) {
        return kelvorn::MakeSilence(job.sound, job.abort, own.length.GetValue(), job.begin,
                                    job.end);
    });
}

WaveOpResult MakeNoise(TUnitWave& unit, const TNoiseProps& props)
{
    const TNoiseProps& own = Remember(unit, &TUnitWaveRecords::noiseProps, props);
    return Change(unit, PartOf(unit), [&](const Job& job) {
        return kelvorn::MakeNoise(job.sound, job.abort, own.volume.value, own.length.GetValue(),
                                  job.begin, job.end);
    });
}

WaveOpResult MakeBlock(TUnitWave& unit, const TBlockTriangleProps& props)
{
    return MakeBlockTriangle(unit, Remember(unit, &TUnitWaveRecords::blockProps, props), false);
}

WaveOpResult MakeTriangle(TUnitWave& unit, const TBlockTriangleProps& props)
{
    return MakeBlockTriangle(unit, Remember(unit, &TUnitWaveRecords::triangleProps, props), true);
}

WaveOpResult MakeSinus(TUnitWave& unit, const TSinusProps& props)
{
    const TSinusProps& own = Remember(unit, &TUnitWaveRecords::sinusProps, props);
    const double period = own.period.GetValue();
    // The record gives seconds; the sine is made by its number of periods.
    const double periods = period > 0.0 ? own.GetLength() / period : 0.0;
    const int16_t amplitude = own.amplitude.value;
    return Change(unit, PartOf(unit), [&](const Job& job) {
        return kelvorn::MakeSinus(job.sound, job.abort, amplitude, static_cast<int16_t>(-amplitude),
                                  period, periods, StartTurn(own.startPhase.GetValue()), job.begin,
                                  job.end);
    });
}

WaveOpResult MakeMFreq(TUnitWave& unit, const TMFreqProps& props)
{
    const TMFreqProps& own = Remember(unit, &TUnitWaveRecords::mFreqProps, props);
    WaveOpResult refused;
    SoundPtr form;
    const bool useForm = own.use == TMFreqProps::useWaveForm;
    if (useForm && !TakeEnvelope(own.waveForm, form, refused))
        return refused;

    // Never more partials than the list counts, whatever the list holds.
    const std::vector<MFreqPartial> partials = own.partials.GetPartials();
    const size_t n = std::min<size_t>(
        partials.size(), static_cast<size_t>(std::max(0, own.partials.GetPartialCount())));
    std::vector<double> volumes(n), periods(n), times(n), factors(n), angles(n);
    for (size_t i = 0; i < n; ++i) {
        volumes[i] = partials[i].startVolume;
        periods[i] = partials[i].period;
        times[i] = partials[i].volumeFactorTime;
        factors[i] = partials[i].volumeFactor;
        angles[i] = partials[i].startAngle;
    }

    const auto count = static_cast<int32_t>(n);
    return Change(unit, PartOf(unit), [&](const Job& job) {
        return useForm ? MakeMFreqForm(job.sound, job.abort, own.length.GetValue(), *form, count,
                                       volumes.data(), periods.data(), times.data(), factors.data(),
                                       angles.data(), job.begin, job.end, job.error)
                       : kelvorn::MakeMFreq(job.sound, job.abort, own.length.GetValue(), count,
                                            volumes.data(), periods.data(), times.data(),
                                            factors.data(), angles.data(), job.begin, job.end);
    });
}

// ---- Changes that may move values --------------------------------------------------------------

WaveOpResult RollIn(TUnitWave& unit, const TRollInProps& props)
{
    const TRollInProps& own = Remember(unit, &TUnitWaveRecords::rollInProps, props);
    Span s = RangeOf(unit);
    const double freq = unit.GetSampleFreq();
    const double rollValues = std::trunc(freq * own.length.GetValue());
    double start = own.placement == TRollInProps::placeStart
                       ? std::trunc(freq * own.startAt.position)
                       : std::trunc(freq * own.endAt.position + s.begin - s.end);
    // A roll-in shorter than one value has nowhere to wrap to.
    start = rollValues > 0.0 ? std::trunc(WrapRange(start, 0.0, rollValues)) : 0.0;
    return Change(unit, s, [&](const Job& job) {
        return kelvorn::RollIn(job.sound, job.abort, own.length.GetValue(),
                               static_cast<int32_t>(start), job.begin, job.end);
    });
}

WaveOpResult RollOut(TUnitWave& unit, const TRollOutProps& props)
{
    const TRollOutProps& own = Remember(unit, &TUnitWaveRecords::rollOutProps, props);
    WaveOpResult refused;
    SoundPtr speedEnvelope;
    const bool useEnvelope = own.speedEnvelopeFlag != 0;
    if (useEnvelope && !TakeEnvelope(own.speedEnvelope, speedEnvelope, refused))
        return refused;
    Span s = RangeOf(unit);
    // The loop needs values to play.
    if (s.begin >= s.end)
        return {WaveOpOutcome::Unchanged, {}};
    const double start = FractionOfRange(unit, own.startPosition.position);
    const double lengthFactor = own.GetLengthFactor();
    const double speed = own.speedFactor.GetValue();
    return Change(unit, s, [&](const Job& job) {
        return useEnvelope ? kelvorn::RollOut(job.sound, job.abort, *speedEnvelope, lengthFactor,
                                              speed, start, job.begin, job.end, job.error)
                           : RepeatPart(job.sound, job.abort,
                                        static_cast<double>(unit.GetRangeTime()) / speed,
                                        std::fabs(speed) * lengthFactor, start, job.begin, job.end);
    });
}

WaveOpResult Length(TUnitWave& unit, const TLengthProps& props)
{
    const TLengthProps& own = Remember(unit, &TUnitWaveRecords::lengthProps, props);
    if (unit.IsUserDrawing()) {
        if (!unit.GetDrawNodes())
            return {WaveOpOutcome::Unchanged, {}};
        const double before = unit.GetDrawLength();
        const double factor = own.GetLengthFactor(before);
        // A drawing cannot be played backwards, and one of no length never grows again.
        if (!(factor > 0.0)) {
            const char* field = own.lengthKind == lengthKindNew      ? "New Length"
                                : own.lengthKind == lengthKindSameAs ? "Same Length as"
                                                                     : "Length Factor";
            return {WaveOpOutcome::Refused,
                    std::string("In ") + field + ": The length of a drawing must stay above 0."};
        }
        unit.SetDrawLength(before * factor);
        if (unit.RenderUserDraw())
            return {};
        unit.SetDrawLength(before);
        return {unit.IsAborted() ? WaveOpOutcome::Stopped : WaveOpOutcome::Unchanged, {}};
    }
    Span s = RangeOf(unit);
    const double factor = own.GetLengthFactor(static_cast<double>(unit.GetRangeTime()));
    return Change(unit, s, [&](const Job& job) {
        return kelvorn::Length(job.sound, job.abort, factor, job.begin, job.end);
    });
}

WaveOpResult TempoPitch(TUnitWave& unit, const TTempoPitchProps& props)
{
    const TTempoPitchProps& own = Remember(unit, &TUnitWaveRecords::tempoPitchProps, props);
    WaveOpResult refused;
    SoundPtr freqEnvelope;
    SoundPtr speedEnvelope;
    const bool useFreq = own.frequencyEnvelopeFlag != 0;
    const bool useSpeed = own.speedEnvelopeFlag != 0;
    if (useFreq && !TakeEnvelope(own.frequencyEnvelope, freqEnvelope, refused))
        return refused;
    if (useSpeed && !TakeEnvelope(own.speedEnvelope, speedEnvelope, refused))
        return refused;
    Span s = RangeOf(unit);
    const double start = FractionOfRange(unit, own.startPosition.position);
    const double factor = own.GetLengthFactor();
    const int32_t mode = own.quality == TTempoPitchProps::qualityHigh ? 1 : 0;
    const double speed = own.speedFactor.GetValue();
    const double step = own.frequencyFactor.GetValue();
    const double block = own.blockSize.GetValue();
    return Change(unit, s, [&](const Job& job) {
        if (!useFreq && !useSpeed)
            return kelvorn::TempoPitch(job.sound, job.abort, speed, start, factor, step, block,
                                       mode, job.begin, job.end);
        if (useFreq && !useSpeed)
            return TempoPitchFreqEnvelope(job.sound, job.abort, speed, start, factor, step,
                                          *freqEnvelope, block, mode, job.begin, job.end,
                                          job.error);
        if (!useFreq)
            return TempoPitchSpeedEnvelope(job.sound, job.abort, speed, *speedEnvelope, start,
                                           factor, step, block, mode, job.begin, job.end,
                                           job.error);
        return TempoPitchEnvelopes(job.sound, job.abort, speed, *speedEnvelope, start, factor, step,
                                   *freqEnvelope, block, mode, job.begin, job.end, job.error);
    });
}

WaveOpResult MoveH(TUnitWave& unit, const TShiftProps& props)
{
    const TShiftProps& own = Remember(unit, &TUnitWaveRecords::shiftProps, props);
    WaveOpResult refused;
    SoundPtr envelope;
    const bool useEnvelope = own.envelopeFlag != 0;
    if (useEnvelope && !TakeEnvelope(own.envelope, envelope, refused))
        return refused;
    return Change(unit, RangeOf(unit), [&](const Job& job) -> SoundUPtr {
        if (const auto* mono = dynamic_cast<const MonoSound*>(&job.sound)) {
            return useEnvelope
                       ? MoveHEnvelope(*mono, job.abort, own.middle.GetValue(), *envelope,
                                       job.begin, job.end, job.error)
                       : MoveHConstant(*mono, job.abort, own.middle.GetValue(), job.begin, job.end);
        }
        if (const auto* stereo = dynamic_cast<const StereoSound*>(&job.sound)) {
            return useEnvelope ? MoveHEnvelope(*stereo, job.abort, own.left.GetValue(),
                                               own.right.GetValue(), *envelope, job.begin, job.end,
                                               job.error)
                               : MoveHConstant(*stereo, job.abort, own.left.GetValue(),
                                               own.right.GetValue(), job.begin, job.end);
        }
        return nullptr;
    });
}

WaveOpResult PerEcho(TUnitWave& unit, const TPerEchoProps& props)
{
    const TPerEchoProps& own = Remember(unit, &TUnitWaveRecords::perEchoProps, props);
    WaveOpResult refused;
    SoundPtr timeEnvelope;
    SoundPtr volumeEnvelope;
    const bool useTime = own.timeEnvelopeFlag != 0;
    const bool useVolume = own.volumeKind == TPerEchoProps::volumeKindEnvelope;
    if (useTime && !TakeEnvelope(own.timeEnvelope, timeEnvelope, refused))
        return refused;
    if (useVolume && !TakeEnvelope(own.volumeEnvelope, volumeEnvelope, refused))
        return refused;
    Span s = RangeOf(unit);
    // The echo engine takes a range of two values at least: one value (a one-value wave, or a
    // part of one value) would only trip its precondition box.
    if (s.end - s.begin < 2)
        return {WaveOpOutcome::Refused, "The range to echo must hold at least 2 values."};
    const double time = own.time.GetValue();
    const double volume = own.volume.GetValue();
    const int32_t count = own.count.GetValue();
    return Change(unit, s, [&](const Job& job) {
        if (!useTime && !useVolume)
            return kelvorn::PerEcho(job.sound, job.abort, time, volume, count, job.begin, job.end);
        if (useTime && !useVolume)
            return PerEchoDelayEnvelope(job.sound, job.abort, time, *timeEnvelope, volume, count,
                                        job.begin, job.end, job.error);
        if (!useTime)
            return PerEchoFactorEnvelope(job.sound, job.abort, time, *volumeEnvelope, count,
                                         job.begin, job.end, job.error);
        return PerEchoEnvelopes(job.sound, job.abort, time, *timeEnvelope, *volumeEnvelope, count,
                                job.begin, job.end, job.error);
    });
}

WaveOpResult FilterBlock(TUnitWave& unit, const TBlockFilterProps& props)
{
    const TBlockFilterProps& own = Remember(unit, &TUnitWaveRecords::blockFilterProps, props);
    WaveOpResult refused;
    SoundPtr envelope;
    const bool useEnvelope = own.envelopeFlag != 0;
    if (useEnvelope && !TakeEnvelope(own.envelope, envelope, refused))
        return refused;
    return Change(unit, RangeOf(unit), [&](const Job& job) {
        return useEnvelope
                   ? FilterBlockEnvelope(job.sound, job.abort, *envelope, own.blockTime.GetValue(),
                                         job.begin, job.end, job.error)
                   : kelvorn::FilterBlock(job.sound, job.abort, own.blockTime.GetValue(), job.begin,
                                          job.end);
    });
}

} // namespace kelvorn::waveops
