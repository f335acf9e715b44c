// The random echo: count copies of the whole sound, each changed by one throw of the dice and
// mixed into a new sound at a random time.

#include "document/wave/WaveDocumentOps.h"

#include "document/wave/UnitWave.h"
#include "document/wave/UnitWaveRecords.h"
#include "document/wave/WaveDocumentOpsDetail.h"
#include "general/numeric/NumericHelpers.h"
#include "general/random/Dicer.h"
#include "sound/SoundOps.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace kelvorn::waveops {

using namespace detail;

namespace {

enum : uint8_t {
    volumeLinear = 1,
    volumeEnvelope = 2,
    balanceLinear = 1,
    balanceEnvelope = 2,
    manipEnvelope = 1, // length, pitch and tempo
};

/// The envelope of one manipulation when its kind uses one; an empty one is refused as the
/// engine refuses empty envelopes.
bool TakeEchoEnvelope(const TEchoManip& manip, bool used, const char* role, SoundPtr& sound,
                      WaveOpResult& result)
{
    if (!used)
        return true;
    if (!TakeEnvelope(manip.envelope, sound, result))
        return false;
    if (sound->GetValues() > 0)
        return true;
    result.outcome = WaveOpOutcome::Refused;
    result.message = std::string("The ") + role + " is empty.";
    return false;
}

/// One echo on its way: the document's sound until a step makes a new one, which it then owns.
class EchoSound
{
public:
    explicit EchoSound(const Sound& source) : current(&source) {}

    const Sound& operator*() const { return *current; }
    int64_t Values() const { return current->GetValues(); }
    /// Takes the next step's result; false when the step failed.
    bool Take(SoundUPtr next)
    {
        if (!next)
            return false;
        owned = std::move(next);
        current = owned.get();
        return true;
    }

private:
    const Sound* current;
    SoundUPtr owned;
};

} // namespace

WaveOpResult RndEcho(TUnitWave& unit, const TRandomEchoProps& props)
{
    const TRandomEchoProps& own = Remember(unit, &TUnitWaveRecords::randomEchoProps, props);
    AbortFlag* abort = unit.GetAbortFlag();

    WaveOpResult refused;
    SoundPtr timeEnv, volumeEnv, lengthEnv, balanceEnv, pitchEnv, tempoEnv;
    const bool pitchOrTempo = own.pitch.kind == manipEnvelope || own.tempo.kind == manipEnvelope;
    if (!TakeEchoEnvelope(own.time, own.time.kind == TRandomEchoProps::timeEnvelope,
                          "time envelope", timeEnv, refused) ||
        !TakeEchoEnvelope(own.volume, own.volume.kind == volumeEnvelope, "volume envelope",
                          volumeEnv, refused) ||
        !TakeEchoEnvelope(own.length, own.length.kind == manipEnvelope, "length envelope",
                          lengthEnv, refused) ||
        !TakeEchoEnvelope(own.balance, own.balance.kind == balanceEnvelope, "balance envelope",
                          balanceEnv, refused) ||
        !TakeEchoEnvelope(own.pitch, own.pitch.kind == manipEnvelope, "pitch envelope", pitchEnv,
                          refused) ||
        !TakeEchoEnvelope(own.tempo, own.tempo.kind == manipEnvelope, "tempo envelope", tempoEnv,
                          refused))
        return refused;

    const SoundPtr source = unit.GetSound();
    const int32_t freq = unit.GetSampleFreq();
    const double maxShift = freq * own.timeDifference.GetValue();
    const bool cyclable = own.cyclable != 0;
    const bool balanced = own.balance.kind != TRandomEchoProps::manipNoChange;
    Dicer dicer(static_cast<uint32_t>(own.randomSeed.GetValue()));

    // The result, filled with silence. The fixed margin of 1/3400 second is room for the delay
    // the balance puts between the channels.
    SoundUPtr empty;
    if (unit.GetMonoStereo() == 1 && !balanced)
        empty = std::make_unique<MonoSound>(freq, unit.GetBytesPSample());
    else
        empty = std::make_unique<StereoSound>(freq, unit.GetBytesPSample());
    const double n = std::trunc(cyclable ? maxShift + 1.0
                                         : source->GetValues() + maxShift + 1.0 +
                                               empty->GetSampleFreq() / 3400.0);
    int32_t zero = 0;
    int32_t zeroEnd = 0;
    SoundUPtr result =
        freq > 0 ? MakeSilence(*empty, abort, (n + 1.0) / freq, &zero, &zeroEnd) : nullptr;
    empty.reset();
    const int32_t resultValues = result ? result->GetValues() : 0;

    for (int32_t echo = 0; result && !unit.IsAborted() && echo < own.count.GetValue(); ++echo) {
        EchoSound s(*source);
        int64_t latest = static_cast<int64_t>(maxShift);
        dicer.Throw();
        bool ok = true;

        if (own.volume.kind == volumeLinear || own.volume.kind == volumeEnvelope) {
            double v = dicer.Value(own.volume.source, 1.0, 0.0);
            if (own.volume.kind == volumeEnvelope)
                v = volumeEnv->GetMappedValueAt(abort, v, 1.0, -1.0);
            ok = s.Take(kelvorn::Volume(*s, abort, v, 0, -1));
        }
        if (ok && own.length.kind == manipEnvelope) {
            const double r = dicer.Value(own.length.source, 1.0, 0.0);
            const double f = lengthEnv->GetMappedValueAt(abort, r, 1.0, -1.0);
            latest += s.Values();
            ok = s.Take(Resample(*s, abort, f));
            latest -= s.Values();
        }
        if (ok && pitchOrTempo) {
            double t = 1.0;
            double p = 1.0;
            if (own.tempo.kind == manipEnvelope)
                t = tempoEnv->GetMappedValueAt(abort, dicer.Value(own.tempo.source, 1.0, 0.0), 1.0,
                                               -1.0);
            if (own.pitch.kind == manipEnvelope)
                p = pitchEnv->GetMappedValueAt(abort, dicer.Value(own.pitch.source, 1.0, 0.0), 1.0,
                                               -1.0) *
                    own.frequencyFactor.GetValue();
            latest += s.Values();
            ok = s.Take(
                t == 0.0 ? CreateEmpty(*s, abort)
                         : TempoPitchWhole(*s, abort, 1.0 / t, 0.0, std::fabs(t), p,
                                           own.blockSize.GetValue(),
                                           own.quality == TRandomEchoProps::qualityHigh ? 1 : 0));
            latest -= s.Values();
        }
        if (ok && balanced) {
            double angle = 0.0;
            if (own.balance.kind == balanceLinear)
                angle = dicer.Value(own.balance.source, 1.0, -1.0);
            else
                angle = balanceEnv->GetMappedValueAt(
                    abort, dicer.Value(own.balance.source, 1.0, 0.0), 1.0, -1.0);
            ok = s.Take(BalanceConstant(*s, abort, angle, own.balanceTimeDifference != 0,
                                        own.balanceVolumeDifference == volumeDifferenceVolume,
                                        own.balanceVolumeDifference == volumeDifferenceFilter));
            if (ok)
                latest = static_cast<int64_t>(latest - (*s).GetSampleFreq() * (1.0 / 3400));
        }
        if (!ok)
            break;

        const double high = cyclable ? maxShift : static_cast<double>(latest);
        double at = dicer.Value(own.time.source, high, 0.0);
        if (own.time.kind == TRandomEchoProps::timeEnvelope)
            at =
                timeEnv->GetMappedValueAt(abort, dicer.Value(own.time.source, 1.0, 0.0), high, 0.0);
        double place = std::trunc(at);
        if (cyclable) {
            // The dice reach a little past their high end, and the result may be shorter than
            // the time difference: wrap, as a cycle does.
            place = resultValues > 0 ? std::trunc(WrapRange(place, 0.0, resultValues)) : 0.0;
            MixCycleAfterThis(*result, abort, *s, static_cast<int32_t>(place));
        } else {
            // A lengthened echo pushes its latest start below 0: it starts at the beginning.
            place = std::clamp(place, 0.0, static_cast<double>(resultValues));
            MixAfter(*result, abort, *s, static_cast<int32_t>(place));
        }
    }

    const bool installed = Install(unit, std::move(result));
    // Kept: the cursor goes to the start also when the echo was stopped.
    unit.ChangeCursor(0);
    RefreshWave(unit);
    return installed ? WaveOpResult{} : Failure(unit, {});
}

} // namespace kelvorn::waveops
