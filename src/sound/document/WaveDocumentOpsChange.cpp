// The generators and the operations that may move values: each is framed by BeginWaveChange
// and EndWaveChange, so the panes keep their zoom and the range the result occupies is selected
// (or a lone cursor scaled) afterwards.

#include "sound/document/WaveDocumentOps.h"

#include "general/numeric/NumericHelpers.h"
#include "sound/SoundOps.h"
#include "sound/document/UnitWave.h"
#include "sound/document/UnitWaveRecords.h"
#include "sound/document/WaveDocumentOpsDetail.h"

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

WaveOpResult MakeBlockTriangle(TUnitWave& unit, const TBlockTriangleProps& props, bool triangle)
{
    WaveOpResult refused;
    SoundPtr middleEnvelope;
    const bool hasEnvelope = props.HasMiddleEnvelope();
    if (hasEnvelope && !TakeEnvelope(props.middleEnvelope, middleEnvelope, refused))
        return refused;
    const double length = props.GetLength();
    const double period = props.GetPeriod();
    Span s = PartOf(unit);
    unit.BeginWaveChange(s.begin, s.end);
    std::string error;
    SoundUPtr result =
        hasEnvelope
            ? MakeBlockTriangleEnvelope(*unit.GetSound(), unit.GetAbortFlag(), props.height1.value,
                                        props.height2.value, period, *middleEnvelope, length,
                                        props.startPosition.GetValue(), triangle, &s.begin, &s.end,
                                        &error)
            : kelvorn::MakeBlockTriangle(*unit.GetSound(), unit.GetAbortFlag(), props.height1.value,
                                         props.height2.value, period, props.GetMiddleFraction(),
                                         length, props.startPosition.GetValue(), triangle, &s.begin,
                                         &s.end);
    return FinishChange(unit, std::move(result), error, s.begin, s.end);
}

} // namespace

// ---- Generators ------------------------------------------------------------------------------

WaveOpResult MakeLine(TUnitWave& unit, const TLineProps& props)
{
    unit.BeginOperation();
    unit.Records().lineProps = props;
    const TLineProps& own = unit.Records().lineProps;
    Span s = PartOf(unit);
    unit.BeginWaveChange(s.begin, s.end);
    SoundUPtr result = kelvorn::MakeLine(
        *unit.GetSound(), unit.GetAbortFlag(), own.beginValue.value, own.endValue.value,
        own.length.GetValue(), own.kind == TLineProps::kindExponential, &s.begin, &s.end);
    return FinishChange(unit, std::move(result), {}, s.begin, s.end);
}

WaveOpResult MakeSilence(TUnitWave& unit, const TSilenceProps& props)
{
    unit.BeginOperation();
    unit.Records().silenceProps = props;
    Span s = PartOf(unit);
    unit.BeginWaveChange(s.begin, s.end);
    SoundUPtr result =
        kelvorn::MakeSilence(*unit.GetSound(), unit.GetAbortFlag(),
                             unit.Records().silenceProps.length.GetValue(), &s.begin, &s.end);
    return FinishChange(unit, std::move(result), {}, s.begin, s.end);
}

WaveOpResult MakeNoise(TUnitWave& unit, const TNoiseProps& props)
{
    unit.BeginOperation();
    unit.Records().noiseProps = props;
    const TNoiseProps& own = unit.Records().noiseProps;
    Span s = PartOf(unit);
    unit.BeginWaveChange(s.begin, s.end);
    SoundUPtr result = kelvorn::MakeNoise(*unit.GetSound(), unit.GetAbortFlag(), own.volume.value,
                                          own.length.GetValue(), &s.begin, &s.end);
    return FinishChange(unit, std::move(result), {}, s.begin, s.end);
}

WaveOpResult MakeBlock(TUnitWave& unit, const TBlockTriangleProps& props)
{
    unit.BeginOperation();
    unit.Records().blockProps = props;
    return MakeBlockTriangle(unit, unit.Records().blockProps, false);
}

WaveOpResult MakeTriangle(TUnitWave& unit, const TBlockTriangleProps& props)
{
    unit.BeginOperation();
    unit.Records().triangleProps = props;
    return MakeBlockTriangle(unit, unit.Records().triangleProps, true);
}

WaveOpResult MakeSinus(TUnitWave& unit, const TSinusProps& props)
{
    unit.BeginOperation();
    unit.Records().sinusProps = props;
    const TSinusProps& own = unit.Records().sinusProps;
    const double period = own.period.GetValue();
    // The record gives seconds; the sine is made by its number of periods.
    const double periods = period > 0.0 ? own.GetLength() / period : 0.0;
    const int16_t amplitude = own.amplitude.value;
    Span s = PartOf(unit);
    unit.BeginWaveChange(s.begin, s.end);
    SoundUPtr result = kelvorn::MakeSinus(*unit.GetSound(), unit.GetAbortFlag(), amplitude,
                                          static_cast<int16_t>(-amplitude), period, periods,
                                          StartTurn(own.startPhase.GetValue()), &s.begin, &s.end);
    return FinishChange(unit, std::move(result), {}, s.begin, s.end);
}

WaveOpResult MakeMFreq(TUnitWave& unit, const TMFreqProps& props)
{
    unit.BeginOperation();
    unit.Records().mFreqProps = props;
    const TMFreqProps& own = unit.Records().mFreqProps;
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

    Span s = PartOf(unit);
    unit.BeginWaveChange(s.begin, s.end);
    std::string error;
    const auto count = static_cast<int32_t>(n);
    SoundUPtr result =
        useForm ? MakeMFreqForm(*unit.GetSound(), unit.GetAbortFlag(), own.length.GetValue(), *form,
                                count, volumes.data(), periods.data(), times.data(), factors.data(),
                                angles.data(), &s.begin, &s.end, &error)
                : kelvorn::MakeMFreq(*unit.GetSound(), unit.GetAbortFlag(), own.length.GetValue(),
                                     count, volumes.data(), periods.data(), times.data(),
                                     factors.data(), angles.data(), &s.begin, &s.end);
    return FinishChange(unit, std::move(result), error, s.begin, s.end);
}

// ---- Changes that may move values --------------------------------------------------------------

WaveOpResult RollIn(TUnitWave& unit, const TRollInProps& props)
{
    unit.BeginOperation();
    unit.Records().rollInProps = props;
    const TRollInProps& own = unit.Records().rollInProps;
    Span s = RangeOf(unit);
    const double freq = unit.GetSampleFreq();
    const double rollValues = std::trunc(freq * own.length.GetValue());
    double start = own.placement == TRollInProps::placeStart
                       ? std::trunc(freq * own.startAt.position)
                       : std::trunc(freq * own.endAt.position + s.begin - s.end);
    // A roll-in shorter than one value has nowhere to wrap to.
    start = rollValues > 0.0 ? std::trunc(WrapRange(start, 0.0, rollValues)) : 0.0;
    unit.BeginWaveChange(s.begin, s.end);
    SoundUPtr result = kelvorn::RollIn(*unit.GetSound(), unit.GetAbortFlag(), own.length.GetValue(),
                                       static_cast<int32_t>(start), &s.begin, &s.end);
    return FinishChange(unit, std::move(result), {}, s.begin, s.end);
}

WaveOpResult RollOut(TUnitWave& unit, const TRollOutProps& props)
{
    unit.BeginOperation();
    unit.Records().rollOutProps = props;
    const TRollOutProps& own = unit.Records().rollOutProps;
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
    unit.BeginWaveChange(s.begin, s.end);
    std::string error;
    SoundUPtr result = useEnvelope
                           ? kelvorn::RollOut(*unit.GetSound(), unit.GetAbortFlag(), *speedEnvelope,
                                              lengthFactor, speed, start, &s.begin, &s.end, &error)
                           : RepeatPart(*unit.GetSound(), unit.GetAbortFlag(),
                                        static_cast<double>(unit.GetRangeTime()) / speed,
                                        std::fabs(speed) * lengthFactor, start, &s.begin, &s.end);
    return FinishChange(unit, std::move(result), error, s.begin, s.end);
}

WaveOpResult Length(TUnitWave& unit, const TLengthProps& props)
{
    unit.BeginOperation();
    unit.Records().lengthProps = props;
    const TLengthProps& own = unit.Records().lengthProps;
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
    unit.BeginWaveChange(s.begin, s.end);
    SoundUPtr result =
        kelvorn::Length(*unit.GetSound(), unit.GetAbortFlag(), factor, &s.begin, &s.end);
    return FinishChange(unit, std::move(result), {}, s.begin, s.end);
}

WaveOpResult TempoPitch(TUnitWave& unit, const TTempoPitchProps& props)
{
    unit.BeginOperation();
    unit.Records().tempoPitchProps = props;
    const TTempoPitchProps& own = unit.Records().tempoPitchProps;
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
    const Sound& sound = *unit.GetSound();
    AbortFlag* abort = unit.GetAbortFlag();
    unit.BeginWaveChange(s.begin, s.end);
    std::string error;
    SoundUPtr result;
    if (!useFreq && !useSpeed)
        result = kelvorn::TempoPitch(sound, abort, speed, start, factor, step, block, mode,
                                     &s.begin, &s.end);
    else if (useFreq && !useSpeed)
        result = TempoPitchFreqEnvelope(sound, abort, speed, start, factor, step, *freqEnvelope,
                                        block, mode, &s.begin, &s.end, &error);
    else if (!useFreq)
        result = TempoPitchSpeedEnvelope(sound, abort, speed, *speedEnvelope, start, factor, step,
                                         block, mode, &s.begin, &s.end, &error);
    else
        result = TempoPitchEnvelopes(sound, abort, speed, *speedEnvelope, start, factor, step,
                                     *freqEnvelope, block, mode, &s.begin, &s.end, &error);
    return FinishChange(unit, std::move(result), error, s.begin, s.end);
}

WaveOpResult MoveH(TUnitWave& unit, const TShiftProps& props)
{
    unit.BeginOperation();
    unit.Records().shiftProps = props;
    const TShiftProps& own = unit.Records().shiftProps;
    WaveOpResult refused;
    SoundPtr envelope;
    const bool useEnvelope = own.envelopeFlag != 0;
    if (useEnvelope && !TakeEnvelope(own.envelope, envelope, refused))
        return refused;
    Span s = RangeOf(unit);
    AbortFlag* abort = unit.GetAbortFlag();
    const Sound& sound = *unit.GetSound();
    unit.BeginWaveChange(s.begin, s.end);
    std::string error;
    SoundUPtr result;
    if (const auto* mono = dynamic_cast<const MonoSound*>(&sound)) {
        result = useEnvelope ? MoveHEnvelope(*mono, abort, own.middle.GetValue(), *envelope,
                                             &s.begin, &s.end, &error)
                             : MoveHConstant(*mono, abort, own.middle.GetValue(), &s.begin, &s.end);
    } else if (const auto* stereo = dynamic_cast<const StereoSound*>(&sound)) {
        result = useEnvelope
                     ? MoveHEnvelope(*stereo, abort, own.left.GetValue(), own.right.GetValue(),
                                     *envelope, &s.begin, &s.end, &error)
                     : MoveHConstant(*stereo, abort, own.left.GetValue(), own.right.GetValue(),
                                     &s.begin, &s.end);
    }
    return FinishChange(unit, std::move(result), error, s.begin, s.end);
}

WaveOpResult PerEcho(TUnitWave& unit, const TPerEchoProps& props)
{
    unit.BeginOperation();
    unit.Records().perEchoProps = props;
    const TPerEchoProps& own = unit.Records().perEchoProps;
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
    const double time = own.time.GetValue();
    const double volume = own.volume.GetValue();
    const int32_t count = own.count.GetValue();
    const Sound& sound = *unit.GetSound();
    AbortFlag* abort = unit.GetAbortFlag();
    unit.BeginWaveChange(s.begin, s.end);
    std::string error;
    SoundUPtr result;
    if (!useTime && !useVolume)
        result = kelvorn::PerEcho(sound, abort, time, volume, count, &s.begin, &s.end);
    else if (useTime && !useVolume)
        result = PerEchoDelayEnvelope(sound, abort, time, *timeEnvelope, volume, count, &s.begin,
                                      &s.end, &error);
    else if (!useTime)
        result = PerEchoFactorEnvelope(sound, abort, time, *volumeEnvelope, count, &s.begin, &s.end,
                                       &error);
    else
        result = PerEchoEnvelopes(sound, abort, time, *timeEnvelope, *volumeEnvelope, count,
                                  &s.begin, &s.end, &error);
    return FinishChange(unit, std::move(result), error, s.begin, s.end);
}

WaveOpResult FilterBlock(TUnitWave& unit, const TBlockFilterProps& props)
{
    unit.BeginOperation();
    unit.Records().blockFilterProps = props;
    const TBlockFilterProps& own = unit.Records().blockFilterProps;
    WaveOpResult refused;
    SoundPtr envelope;
    const bool useEnvelope = own.envelopeFlag != 0;
    if (useEnvelope && !TakeEnvelope(own.envelope, envelope, refused))
        return refused;
    Span s = RangeOf(unit);
    unit.BeginWaveChange(s.begin, s.end);
    std::string error;
    SoundUPtr result = useEnvelope
                           ? FilterBlockEnvelope(*unit.GetSound(), unit.GetAbortFlag(), *envelope,
                                                 own.blockTime.GetValue(), &s.begin, &s.end, &error)
                           : kelvorn::FilterBlock(*unit.GetSound(), unit.GetAbortFlag(),
                                                  own.blockTime.GetValue(), &s.begin, &s.end);
    return FinishChange(unit, std::move(result), error, s.begin, s.end);
}

} // namespace kelvorn::waveops
