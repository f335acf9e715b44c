// The operations that keep the length of the range and the positions, the drawing branches of
// the vertical ones, and what every operation shares.

#include "document/wave/WaveDocumentOps.h"

#include "document/wave/DrawNode.h"
#include "document/wave/UnitWave.h"
#include "document/wave/UnitWaveRecords.h"
#include "document/wave/WaveDocumentOpsDetail.h"
#include "sound/Filters.h"
#include "sound/SoundOps.h"
#include "sound/WaveSampling.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace kelvorn::waveops {

namespace detail {

bool TakeEnvelope(const unitUnitWave& reference, SoundPtr& sound, WaveOpResult& result)
{
    sound = reference.GetUnitWave() ? reference.GetSound() : nullptr;
    if (sound)
        return true;
    result.outcome = WaveOpOutcome::Refused;
    result.message = "Cannot find window \"" + reference.GetCaption() + "\".";
    return false;
}

WaveOpResult Failure(const TUnitWave& unit, const std::string& error)
{
    if (unit.IsAborted())
        return {WaveOpOutcome::Stopped, {}};
    return {WaveOpOutcome::Refused, error};
}

bool Install(TUnitWave& unit, SoundUPtr result)
{
    if (!result || unit.IsAborted())
        return false;
    unit.ExchangeSound(SoundPtr(std::move(result)));
    return true;
}

void RefreshWave(TUnitWave& unit)
{
    if (WaveWindowLink* window = unit.GetChildWave())
        window->RefreshWave();
}

WaveOpResult FinishKeep(TUnitWave& unit, SoundUPtr result, const std::string& error)
{
    const bool installed = Install(unit, std::move(result));
    RefreshWave(unit);
    return installed ? WaveOpResult{} : Failure(unit, error);
}

WaveOpResult FinishChange(TUnitWave& unit, SoundUPtr result, const std::string& error,
                          int32_t begin, int32_t end)
{
    const bool installed = Install(unit, std::move(result));
    unit.EndWaveChange(begin, end);
    RefreshWave(unit);
    return installed ? WaveOpResult{} : Failure(unit, error);
}

} // namespace detail

using namespace detail;

namespace {

/// The drawing branch: every node's value replaced by valueOf(old value) (computed in double,
/// stored like a sample), then the drawing rendered anew. When the rendering fails the nodes
/// get their values back, so the drawing still matches the sound.
template <class ValueOf> WaveOpResult ChangeDrawNodes(TUnitWave& unit, ValueOf valueOf)
{
    std::vector<std::pair<TDrawNode*, int16_t>> before;
    for (TDrawNode* node = unit.GetDrawNodes(); node; node = node->GetNext())
        before.emplace_back(node, node->GetValue());
    for (auto& [node, value] : before)
        node->SetValue(StoreSample(valueOf(static_cast<double>(value))));
    if (unit.RenderUserDraw())
        return {};
    for (auto& [node, value] : before)
        node->SetValue(value);
    return {unit.IsAborted() ? WaveOpOutcome::Stopped : WaveOpOutcome::Unchanged, {}};
}

/// Mean of the drawn curve over its span: the trapezoids between consecutive nodes.
double DrawingMean(const TDrawNode* first)
{
    if (!first->GetNext())
        return first->GetValue();
    double area = 0.0;
    const TDrawNode* last = first;
    for (const TDrawNode* a = first; a->GetNext(); a = a->GetNext()) {
        const TDrawNode* b = a->GetNext();
        area += 0.5 * (a->GetValue() + b->GetValue()) * (b->GetPosition() - a->GetPosition());
        last = b;
    }
    const double span = last->GetPosition() - first->GetPosition();
    return span > 0.0 ? std::trunc(area / span) : 0.0;
}

WaveOpResult FilterHighLow(TUnitWave& unit, const THighLowProps& props, bool high)
{
    const OnePoleFilters& filters = high ? TheFilterTable.high : TheFilterTable.low;
    const bool constant = props.frequencyKind == filterConstant;
    WaveOpResult refused;
    SoundPtr envelope;
    if (!constant && !TakeEnvelope(props.frequencyEnvelope, envelope, refused))
        return refused;
    const int32_t begin = unit.GetRangeBegin();
    const int32_t end = unit.GetRangeEnd();
    const double period = props.frequency.GetValue();
    const double factor = props.factor.GetValue();
    const int32_t n = props.count.GetValue();
    AbortFlag* abort = unit.GetAbortFlag();
    std::string error;
    auto filter = [&](const Sound& s, int32_t passes) {
        return constant ? FilterConstant(s, abort, filters.constant, period, factor, n, passes,
                                         begin, end)
                        : FilterEnvelope(s, abort, filters.envelope, *envelope, factor, n, passes,
                                         begin, end, &error);
    };
    SoundUPtr result;
    if (!props.maximizeVolume) {
        result = filter(*unit.GetSound(), n);
    } else {
        // One pass at a time, each brought back to 70 % of full scale, so that many passes do
        // not wear the range down to silence.
        result = Volume07(*unit.GetSound(), abort, begin, end);
        for (int32_t i = 0; result && i < n; ++i) {
            SoundUPtr next = filter(*result, 1);
            if (next && !Volume07InPlace(*next, abort, begin, end))
                next.reset();
            result = std::move(next);
        }
    }
    return FinishKeep(unit, std::move(result), error);
}

WaveOpResult FilterResNotch(TUnitWave& unit, const TResNotchProps& props, bool resonant)
{
    const bool frequencyConstant = props.frequencyKind == filterConstant;
    const bool widthConstant = props.widthKind == filterConstant;
    WaveOpResult refused;
    SoundPtr frequencyEnvelope;
    SoundPtr widthEnvelope;
    if (!frequencyConstant && !TakeEnvelope(props.frequencyEnvelope, frequencyEnvelope, refused))
        return refused;
    if (!widthConstant && !TakeEnvelope(props.widthEnvelope, widthEnvelope, refused))
        return refused;
    std::string error;
    SoundUPtr result = FilterTwoParams(
        *unit.GetSound(), unit.GetAbortFlag(), frequencyConstant, widthConstant,
        props.frequency.GetValue(), props.width.GetValue(), frequencyEnvelope.get(),
        widthEnvelope.get(), resonant ? TheFilterTable.resonance : TheFilterTable.notch,
        unit.GetRangeBegin(), unit.GetRangeEnd(), &error);
    return FinishKeep(unit, std::move(result), error);
}

} // namespace

WaveOpResult Volume(TUnitWave& unit, const TVolumeProps& props)
{
    const TVolumeProps& own = Remember(unit, &TUnitWaveRecords::volumeProps, props);
    if (unit.IsUserDrawing()) {
        if (!unit.GetDrawNodes())
            return {WaveOpOutcome::Unchanged, {}};
        const double factor = own.factor.GetValue();
        WaveOpResult result = ChangeDrawNodes(unit, [&](double v) { return v * factor; });
        RefreshWave(unit);
        return result;
    }
    const int32_t begin = unit.GetRangeBegin();
    const int32_t end = unit.GetRangeEnd();
    if (own.kind == TVolumeProps::kindConstant) {
        return FinishKeep(unit,
                          kelvorn::Volume(*unit.GetSound(), unit.GetAbortFlag(),
                                          own.factor.GetValue(), begin, end),
                          {});
    }
    WaveOpResult refused;
    SoundPtr envelope;
    if (!TakeEnvelope(own.envelope, envelope, refused))
        return refused;
    std::string error;
    SoundUPtr result =
        VolumeEnvelope(*unit.GetSound(), unit.GetAbortFlag(), *envelope, begin, end, &error);
    return FinishKeep(unit, std::move(result), error);
}

WaveOpResult MaxVolume(TUnitWave& unit)
{
    unit.BeginOperation();
    if (unit.IsUserDrawing()) {
        const TDrawNode* first = unit.GetDrawNodes();
        if (!first)
            return {WaveOpOutcome::Unchanged, {}};
        int peak = 0;
        for (const TDrawNode* node = first; node; node = node->GetNext())
            peak = std::max(peak, std::abs(static_cast<int>(node->GetValue())));
        WaveOpResult result{WaveOpOutcome::Unchanged, {}};
        if (peak > 0) {
            const double factor = 32767.0 / peak;
            result = ChangeDrawNodes(unit, [&](double v) { return v * factor; });
        }
        RefreshWave(unit);
        return result;
    }
    return FinishKeep(unit,
                      kelvorn::MaxVolume(*unit.GetSound(), unit.GetAbortFlag(),
                                         unit.GetRangeBegin(), unit.GetRangeEnd()),
                      {});
}

WaveOpResult MoveV(TUnitWave& unit, const TUpProps& props)
{
    const int16_t add = Remember(unit, &TUnitWaveRecords::upProps, props).add.value;
    if (unit.IsUserDrawing()) {
        if (!unit.GetDrawNodes())
            return {WaveOpOutcome::Unchanged, {}};
        WaveOpResult result = ChangeDrawNodes(unit, [&](double v) { return v + add; });
        RefreshWave(unit);
        return result;
    }
    return FinishKeep(unit,
                      kelvorn::MoveV(*unit.GetSound(), unit.GetAbortFlag(), add,
                                     unit.GetRangeBegin(), unit.GetRangeEnd()),
                      {});
}

WaveOpResult NormalizeVertically(TUnitWave& unit)
{
    unit.BeginOperation();
    if (unit.IsUserDrawing()) {
        const TDrawNode* first = unit.GetDrawNodes();
        if (!first)
            return {WaveOpOutcome::Unchanged, {}};
        const double mean = DrawingMean(first);
        WaveOpResult result = ChangeDrawNodes(unit, [&](double v) { return v - mean; });
        RefreshWave(unit);
        return result;
    }
    const int32_t begin = unit.GetRangeBegin();
    const int32_t end = unit.GetRangeEnd();
    // An empty range has no mean to take away.
    if (begin >= end)
        return {WaveOpOutcome::Unchanged, {}};
    return FinishKeep(unit, NormalizeV(*unit.GetSound(), unit.GetAbortFlag(), begin, end), {});
}

WaveOpResult Balance(TUnitWave& unit, const TBalanceProps& props)
{
    const TBalanceProps& own = Remember(unit, &TUnitWaveRecords::balanceProps, props);
    if (unit.GetValues() == 0 || unit.GetMonoStereo() != 1)
        return {WaveOpOutcome::Unchanged, {}};
    const bool delay = own.timeDifference != 0;
    const bool volume = own.volumeDifference == volumeDifferenceVolume;
    const bool filter = own.volumeDifference == volumeDifferenceFilter;
    if (own.directionKind == TBalanceProps::directionKindConstant) {
        return FinishKeep(unit,
                          BalanceConstant(*unit.GetSound(), unit.GetAbortFlag(),
                                          own.direction.GetValue(), delay, volume, filter),
                          {});
    }
    WaveOpResult refused;
    SoundPtr envelope;
    if (!TakeEnvelope(own.directionEnvelope, envelope, refused))
        return refused;
    std::string error;
    SoundUPtr result = BalanceEnvelope(*unit.GetSound(), unit.GetAbortFlag(), *envelope, delay,
                                       volume, filter, &error);
    return FinishKeep(unit, std::move(result), error);
}

WaveOpResult Rotate(TUnitWave& unit, const TRotateProps& props)
{
    const double shift = Remember(unit, &TUnitWaveRecords::rotateProps, props)
                             .GetShiftTime(static_cast<double>(unit.GetRangeTime()));
    return FinishKeep(unit,
                      kelvorn::Rotate(*unit.GetSound(), unit.GetAbortFlag(), shift,
                                      unit.GetRangeBegin(), unit.GetRangeEnd()),
                      {});
}

WaveOpResult Block(TUnitWave& unit, const TBlockProps& props)
{
    const TBlockProps& own = Remember(unit, &TUnitWaveRecords::blockOpProps, props);
    const double blockTime = own.horKind == TBlockProps::horKindNoChange
                                 ? 0.0
                                 : own.GetHorBlockTime(static_cast<double>(unit.GetRangeTime()));
    const int32_t levels =
        own.vertKind == TBlockProps::vertKindNoChange ? 0 : own.GetVertBlockCount();
    return FinishKeep(unit,
                      kelvorn::Block(*unit.GetSound(), unit.GetAbortFlag(), blockTime, levels,
                                     unit.GetRangeBegin(), unit.GetRangeEnd()),
                      {});
}

WaveOpResult Distort(TUnitWave& unit, const TDistortProps& props)
{
    const TDistortProps& own = Remember(unit, &TUnitWaveRecords::distortProps, props);
    WaveOpResult refused;
    SoundPtr curve;
    if (!TakeEnvelope(own.envelope, curve, refused))
        return refused;
    std::string error;
    SoundUPtr result = kelvorn::Distort(*unit.GetSound(), unit.GetAbortFlag(), *curve,
                                        unit.GetRangeBegin(), unit.GetRangeEnd(), &error);
    return FinishKeep(unit, std::move(result), error);
}

WaveOpResult MixLeftRight(TUnitWave& unit, const TLeftRightProps& props)
{
    const TLeftRightProps& own = Remember(unit, &TUnitWaveRecords::leftRightProps, props);
    const auto* stereo = dynamic_cast<const StereoSound*>(unit.GetSound().get());
    if (!stereo || stereo->GetValues() == 0)
        return {WaveOpOutcome::Unchanged, {}};
    return FinishKeep(unit,
                      kelvorn::MixLeftRight(*stereo, unit.GetAbortFlag(), own.leftToLeft.GetValue(),
                                            own.leftToRight.GetValue(), own.rightToLeft.GetValue(),
                                            own.rightToRight.GetValue(), unit.GetRangeBegin(),
                                            unit.GetRangeEnd()),
                      {});
}

WaveOpResult Reverse(TUnitWave& unit)
{
    unit.BeginOperation();
    return FinishKeep(unit,
                      kelvorn::Reverse(*unit.GetSound(), unit.GetAbortFlag(), unit.GetRangeBegin(),
                                       unit.GetRangeEnd()),
                      {});
}

WaveOpResult FilterHigh(TUnitWave& unit, const THighLowProps& props)
{
    return FilterHighLow(unit, Remember(unit, &TUnitWaveRecords::highProps, props), true);
}

WaveOpResult FilterLow(TUnitWave& unit, const THighLowProps& props)
{
    return FilterHighLow(unit, Remember(unit, &TUnitWaveRecords::lowProps, props), false);
}

WaveOpResult FilterRes(TUnitWave& unit, const TResNotchProps& props)
{
    return FilterResNotch(unit, Remember(unit, &TUnitWaveRecords::resProps, props), true);
}

WaveOpResult FilterNotch(TUnitWave& unit, const TResNotchProps& props)
{
    return FilterResNotch(unit, Remember(unit, &TUnitWaveRecords::notchProps, props), false);
}

} // namespace kelvorn::waveops
