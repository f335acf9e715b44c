// Every document operation once, on the known ten-value sound, mono and stereo: the range it
// hands the engine, the result it installs, the positions and length afterwards, and that a
// stopped engine or a failed allocation leaves the document as it was.

#include "document/wave/WaveDocumentOpsTestSupport.h"

#include "general/random/Random15.h"
#include "sound/Filters.h"
#include "sound/SoundOps.h"
#include "document/wave/UnitWaveRecords.h"

#include <functional>
#include <string>
#include <tuple>

namespace kelvorn::test {
namespace {

using RunFn = std::function<WaveOpResult(TUnitWave&, const unitUnitWave& env)>;
using OracleFn =
    std::function<SoundUPtr(const Sound& sound, const Sound& env, int32_t* b, int32_t* e)>;

constexpr int32_t FromOracle = -1;
constexpr double V = 1.0 / OpsRate; // one value in seconds

struct OpRow
{
    const char* name;
    int32_t pos1, pos2; // before
    RunFn run;
    int32_t begin, end;       // the range the engine must be handed
    OracleFn oracle;          // the engine call with that range; b and e in/out
    int32_t expPos1, expPos2; // after; FromOracle: the engine's range, ordered as SetPart does
    bool framed;              // BeginWaveChange/EndWaveChange around the engine call
    int channels = 0;         // 0 both, 1 mono only, 2 stereo only
    int resultChannels = 0;   // 0: as before
};

// ---- The rows --------------------------------------------------------------------------------

TVolumeProps VolumeConst(double f)
{
    TVolumeProps p;
    p.factor.SetValue(f);
    return p;
}

THighLowProps HighLow(bool envelope, bool maximize, const unitUnitWave& env)
{
    THighLowProps p;
    p.frequencyKind = envelope ? filterEnvelope : filterConstant;
    p.frequencyEnvelope = env;
    p.frequency.SetValue(8 * V);
    p.factor.SetValue(0.5);
    p.count.SetValue(2);
    p.maximizeVolume = maximize;
    return p;
}

TResNotchProps ResNotch(bool freqEnvelope, bool widthEnvelope, const unitUnitWave& env)
{
    TResNotchProps p;
    p.frequencyKind = freqEnvelope ? filterEnvelope : filterConstant;
    p.frequencyEnvelope = env;
    p.frequency.SetValue(4 * V);
    p.widthKind = widthEnvelope ? filterEnvelope : filterConstant;
    p.widthEnvelope = env;
    p.width.SetValue(0.25);
    return p;
}

TMFreqProps MFreq(bool form, const unitUnitWave& env)
{
    TMFreqProps p;
    p.length.SetValue(8 * V);
    p.use = form ? TMFreqProps::useWaveForm : TMFreqProps::useSinus;
    p.waveForm = env;
    return p;
}

SoundUPtr MFreqOracle(const Sound& s, const Sound* form, int32_t* b, int32_t* e)
{
    const TMFreqBrowseRecord partial; // the one default partial of a new record
    const double volume = partial.startVolume.GetValue();
    const double period = partial.frequency.GetValue();
    const double time = partial.volumeFactorAtTime.GetValue();
    const double factor = partial.volumeFactor.GetValue();
    const double angle = partial.startAngle.GetValue();
    if (form)
        return MakeMFreqForm(s, nullptr, 8 * V, *form, 1, &volume, &period, &time, &factor, &angle,
                             b, e);
    return MakeMFreq(s, nullptr, 8 * V, 1, &volume, &period, &time, &factor, &angle, b, e);
}

std::vector<OpRow> Rows()
{
    std::vector<OpRow> rows;
    auto add = [&](OpRow row) { rows.push_back(std::move(row)); };

    // Generators: the part, or the empty range at a lone cursor.
    add({"MakeLinePart", 2, 6,
         [](TUnitWave& u, const unitUnitWave&) {
             TLineProps p;
             p.beginValue.value = 1000;
             p.endValue.value = 4000;
             p.length.SetValue(3 * V);
             return waveops::MakeLine(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return MakeLine(s, nullptr, 1000, 4000, 3 * V, false, b, e);
         },
         2, 6, true});
    add({"MakeLineExponentialAtCursor", 3, 3,
         [](TUnitWave& u, const unitUnitWave&) {
             TLineProps p;
             p.kind = TLineProps::kindExponential;
             p.beginValue.value = 1000;
             p.endValue.value = 4000;
             p.length.SetValue(3 * V);
             return waveops::MakeLine(u, p);
         },
         3, 3,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return MakeLine(s, nullptr, 1000, 4000, 3 * V, true, b, e);
         },
         7, 3, true});
    add({"MakeSilencePart", 6, 2,
         [](TUnitWave& u, const unitUnitWave&) {
             TSilenceProps p;
             p.length.SetValue(1 * V);
             return waveops::MakeSilence(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return MakeSilence(s, nullptr, 1 * V, b, e);
         },
         4, 2, true});
    add({"MakeNoiseAtCursor", 0, 0,
         [](TUnitWave& u, const unitUnitWave&) {
             TNoiseProps p;
             p.volume.value = 500;
             p.length.SetValue(5 * V);
             SeedRandom15(7);
             return waveops::MakeNoise(u, p);
         },
         0, 0,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             SeedRandom15(7);
             return MakeNoise(s, nullptr, 500, 5 * V, b, e);
         },
         5, 0, true});
    add({"MakeBlockPart", 2, 6,
         [](TUnitWave& u, const unitUnitWave&) {
             TBlockTriangleProps p;
             p.period.SetValue(4 * V);
             p.newLength.SetValue(8 * V);
             return waveops::MakeBlock(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return MakeBlockTriangle(s, nullptr, 16383, -16383, 4 * V, 0.5, 8 * V, 0.0, false, b,
                                      e);
         },
         2, 10, true});
    add({"MakeTriangleTimeKind", 2, 6,
         [](TUnitWave& u, const unitUnitWave&) {
             TBlockTriangleProps p;
             p.BloTriHorKind = bloTriTime;
             p.time1.SetValue(1 * V);
             p.time2.SetValue(3 * V);
             p.lengthKind = TBlockTriangleProps::lengthCount;
             p.count.SetValue(2.0);
             return waveops::MakeTriangle(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return MakeBlockTriangle(s, nullptr, 16383, -16383, 4 * V, 0.25, 8 * V, 0.0, true, b,
                                      e);
         },
         2, 10, true});
    add({"MakeBlockMiddleEnvelope", 2, 6,
         [](TUnitWave& u, const unitUnitWave& env) {
             TBlockTriangleProps p;
             p.period.SetValue(4 * V);
             p.middleKind = TBlockTriangleProps::middleKindEnvelope;
             p.middleEnvelope = env;
             p.newLength.SetValue(8 * V);
             return waveops::MakeBlock(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound& env, int32_t* b, int32_t* e) {
             return MakeBlockTriangleEnvelope(s, nullptr, 16383, -16383, 4 * V, env, 8 * V, 0.0,
                                              false, b, e);
         },
         2, 10, true});
    add({"MakeSinusCountAtCursor", 10, 10,
         [](TUnitWave& u, const unitUnitWave&) {
             TSinusProps p;
             p.lengthKind = TSinusProps::lengthCount;
             p.period.SetValue(4 * V);
             p.count.SetValue(3.0);
             return waveops::MakeSinus(u, p);
         },
         10, 10,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return MakeSinus(s, nullptr, 16383, -16383, 4 * V, 3.0, 0.0, b, e);
         },
         22, 10, true});
    add({"MakeSinusLengthPart", 2, 6,
         [](TUnitWave& u, const unitUnitWave&) {
             TSinusProps p;
             p.period.SetValue(4 * V);
             p.length.SetValue(6 * V);
             return waveops::MakeSinus(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return MakeSinus(s, nullptr, 16383, -16383, 4 * V, 1.5, 0.0, b, e);
         },
         2, 8, true});
    add({"MakeMFreqSinus", 2, 6,
         [](TUnitWave& u, const unitUnitWave& env) {
             return waveops::MakeMFreq(u, MFreq(false, env));
         },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return MFreqOracle(s, nullptr, b, e);
         },
         2, 10, true});
    add({"MakeMFreqWaveForm", 2, 6,
         [](TUnitWave& u, const unitUnitWave& env) {
             return waveops::MakeMFreq(u, MFreq(true, env));
         },
         2, 6,
         [](const Sound& s, const Sound& env, int32_t* b, int32_t* e) {
             return MFreqOracle(s, &env, b, e);
         },
         2, 10, true});

    // Same length, positions kept: the part, or the whole wave at a lone cursor.
    add({"VolumeConstantPart", 2, 6,
         [](TUnitWave& u, const unitUnitWave&) { return waveops::Volume(u, VolumeConst(0.5)); }, 2,
         6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return Volume(s, nullptr, 0.5, *b, *e);
         },
         2, 6, false});
    add({"VolumeConstantCursorIsWholeWave", 3, 3,
         [](TUnitWave& u, const unitUnitWave&) { return waveops::Volume(u, VolumeConst(2.0)); }, 0,
         10,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return Volume(s, nullptr, 2.0, *b, *e);
         },
         3, 3, false});
    add({"VolumeEnvelope", 6, 2,
         [](TUnitWave& u, const unitUnitWave& env) {
             TVolumeProps p = VolumeConst(0.5);
             p.kind = TVolumeProps::kindEnvelope;
             p.envelope = env;
             return waveops::Volume(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound& env, int32_t* b, int32_t* e) {
             return VolumeEnvelope(s, nullptr, env, *b, *e);
         },
         6, 2, false});
    add({"MaxVolume", 2, 6, [](TUnitWave& u, const unitUnitWave&) { return waveops::MaxVolume(u); },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return MaxVolume(s, nullptr, *b, *e);
         },
         2, 6, false});
    add({"MoveV", 2, 6,
         [](TUnitWave& u, const unitUnitWave&) {
             TUpProps p;
             p.add.value = 123;
             return waveops::MoveV(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return MoveV(s, nullptr, 123, *b, *e);
         },
         2, 6, false});
    add({"NormalizeVertically", 5, 5,
         [](TUnitWave& u, const unitUnitWave&) { return waveops::NormalizeVertically(u); }, 0, 10,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return NormalizeV(s, nullptr, *b, *e);
         },
         5, 5, false});
    add({"RotateRightByFactor", 2, 6,
         [](TUnitWave& u, const unitUnitWave&) {
             TRotateProps p;
             p.direction = TRotateProps::directionRight;
             p.factor.SetValue(0.25);
             return waveops::Rotate(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return Rotate(s, nullptr, 3 * V, *b, *e);
         },
         2, 6, false});
    add({"BlockCountAndLevels", 2, 6,
         [](TUnitWave& u, const unitUnitWave&) {
             TBlockProps p;
             p.horKind = TBlockProps::horKindCount;
             p.horCount.SetValue(2);
             p.vertKind = TBlockProps::vertKindHeight;
             return waveops::Block(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return Block(s, nullptr, 2 * V, 20, *b, *e);
         },
         2, 6, false});
    add({"Distort", 2, 6,
         [](TUnitWave& u, const unitUnitWave& env) {
             TDistortProps p;
             p.envelope = env;
             return waveops::Distort(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound& env, int32_t* b, int32_t* e) {
             return Distort(s, nullptr, env, *b, *e);
         },
         2, 6, false});
    add({"Reverse", 3, 3, [](TUnitWave& u, const unitUnitWave&) { return waveops::Reverse(u); }, 0,
         10,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return Reverse(s, nullptr, *b, *e);
         },
         3, 3, false});
    add({"BalanceConstant", 2, 6,
         [](TUnitWave& u, const unitUnitWave&) {
             TBalanceProps p;
             p.direction.SetValue(0.5);
             return waveops::Balance(u, p);
         },
         0, 10,
         [](const Sound& s, const Sound&, int32_t*, int32_t*) {
             return BalanceConstant(s, nullptr, 0.5, true, true, false);
         },
         2, 6, false, 1, 2});
    add({"BalanceEnvelopeFilter", 2, 6,
         [](TUnitWave& u, const unitUnitWave& env) {
             TBalanceProps p;
             p.directionKind = TBalanceProps::directionKindEnvelope;
             p.directionEnvelope = env;
             p.timeDifference = 0;
             p.volumeDifference = volumeDifferenceFilter;
             return waveops::Balance(u, p);
         },
         0, 10,
         [](const Sound& s, const Sound& env, int32_t*, int32_t*) {
             return BalanceEnvelope(s, nullptr, env, false, false, true);
         },
         2, 6, false, 1, 2});
    add({"MixLeftRightSwapped", 2, 6,
         [](TUnitWave& u, const unitUnitWave&) {
             TLeftRightProps p;
             p.SetExample(1);
             return waveops::MixLeftRight(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return MixLeftRight(dynamic_cast<const StereoSound&>(s), nullptr, 0, 1, 1, 0, *b, *e);
         },
         2, 6, false, 2});
    add({"FilterHighConstant", 2, 6,
         [](TUnitWave& u, const unitUnitWave& env) {
             return waveops::FilterHigh(u, HighLow(false, false, env));
         },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return FilterConstant(s, nullptr, TheFilterTable.high.constant, 8 * V, 0.5, 2, 2, *b,
                                   *e);
         },
         2, 6, false});
    add({"FilterLowEnvelope", 2, 6,
         [](TUnitWave& u, const unitUnitWave& env) {
             return waveops::FilterLow(u, HighLow(true, false, env));
         },
         2, 6,
         [](const Sound& s, const Sound& env, int32_t* b, int32_t* e) {
             return FilterEnvelope(s, nullptr, TheFilterTable.low.envelope, env, 0.5, 2, 2, *b, *e);
         },
         2, 6, false});
    add({"FilterLowMaximized", 0, 10,
         [](TUnitWave& u, const unitUnitWave& env) {
             return waveops::FilterLow(u, HighLow(false, true, env));
         },
         0, 10,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             SoundUPtr r = Volume07(s, nullptr, *b, *e);
             for (int i = 0; i < 2; ++i) {
                 r = FilterConstant(*r, nullptr, TheFilterTable.low.constant, 8 * V, 0.5, 2, 1, *b,
                                    *e);
                 Volume07InPlace(*r, nullptr, *b, *e);
             }
             return r;
         },
         0, 10, false});
    add({"FilterResConstant", 2, 6,
         [](TUnitWave& u, const unitUnitWave& env) {
             return waveops::FilterRes(u, ResNotch(false, false, env));
         },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return FilterTwoParams(s, nullptr, true, true, 4 * V, 0.25, nullptr, nullptr,
                                    TheFilterTable.resonance, *b, *e);
         },
         2, 6, false});
    add({"FilterNotchEnvelopes", 2, 6,
         [](TUnitWave& u, const unitUnitWave& env) {
             return waveops::FilterNotch(u, ResNotch(true, true, env));
         },
         2, 6,
         [](const Sound& s, const Sound& env, int32_t* b, int32_t* e) {
             return FilterTwoParams(s, nullptr, false, false, 4 * V, 0.25, &env, &env,
                                    TheFilterTable.notch, *b, *e);
         },
         2, 6, false});
    add({"MixStretched", 2, 6,
         [](TUnitWave& u, const unitUnitWave&) {
             TMixProps p;
             p.placement = TMixProps::stretch;
             return waveops::Mix(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             auto clip = MonoSoundOf({11, 22, 33});
             return MixStretched(s, nullptr, *clip, *b, *e);
         },
         2, 6, false});

    // Operations that may move values: the result's range is selected.
    add({"RollInEndAt", 2, 6,
         [](TUnitWave& u, const unitUnitWave&) {
             TRollInProps p;
             p.placement = TRollInProps::placeEnd;
             p.length.SetValue(3 * V);
             p.endAt.position = 1 * V;
             return waveops::RollIn(u, p);
         },
         2, 6,
         // start = 1 + 2 - 6 = -3, wrapped into [0, 3): 0.
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return RollIn(s, nullptr, 3 * V, 0, b, e);
         },
         FromOracle, FromOracle, true});
    add({"RollOutRepeat", 2, 6,
         [](TUnitWave& u, const unitUnitWave&) {
             TRollOutProps p;
             p.speedFactor.SetValue(-2.0);
             p.lengthFactor.SetValue(1.5);
             p.startPosition.position = 1 * V;
             return waveops::RollOut(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return RepeatPart(s, nullptr, 4 * V / -2.0, 3.0, 0.25, b, e);
         },
         FromOracle, FromOracle, true});
    add({"RollOutSpeedEnvelope", 2, 6,
         [](TUnitWave& u, const unitUnitWave& env) {
             TRollOutProps p;
             p.speedEnvelopeFlag = 1;
             p.speedEnvelope = env;
             p.lengthFactor.SetValue(2.0);
             return waveops::RollOut(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound& env, int32_t* b, int32_t* e) {
             return RollOut(s, nullptr, env, 2.0, 1.0, 0.0, b, e);
         },
         FromOracle, FromOracle, true});
    add({"LengthNewLengthCursorScaled", 5, 5,
         [](TUnitWave& u, const unitUnitWave&) {
             TLengthProps p;
             p.lengthKind = lengthKindNew;
             p.newLength.SetValue(20 * V);
             return waveops::Length(u, p);
         },
         0, 10,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return Length(s, nullptr, 2.0, b, e);
         },
         9, 9, true});
    add({"TempoPitchBothEnvelopes", 0, 10,
         [](TUnitWave& u, const unitUnitWave& env) {
             TTempoPitchProps p;
             p.frequencyEnvelopeFlag = 1;
             p.frequencyEnvelope = env;
             p.speedEnvelopeFlag = 1;
             p.speedEnvelope = env;
             p.quality = TTempoPitchProps::qualityHigh;
             p.blockSize.SetValue(4 * V);
             return waveops::TempoPitch(u, p);
         },
         0, 10,
         [](const Sound& s, const Sound& env, int32_t* b, int32_t* e) {
             return TempoPitchEnvelopes(s, nullptr, 1.0, env, 0.0, 1.0, 1.0, env, 4 * V, 1, b, e);
         },
         FromOracle, FromOracle, true});
    add({"TempoPitchConstant", 2, 6,
         [](TUnitWave& u, const unitUnitWave&) {
             TTempoPitchProps p;
             p.frequencyFactor.SetValue(0.5);
             p.speedFactor.SetValue(2.0);
             p.lengthFactor.SetValue(0.5);
             p.startPosition.position = 2 * V;
             p.blockSize.SetValue(2 * V);
             return waveops::TempoPitch(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return TempoPitch(s, nullptr, 2.0, 0.5, 0.5, 0.5, 2 * V, 0, b, e);
         },
         FromOracle, FromOracle, true});
    add({"MoveHMonoMiddle", 2, 6,
         [](TUnitWave& u, const unitUnitWave&) {
             TShiftProps p;
             p.middle.SetValue(-3 * V);
             p.left.SetValue(9 * V); // not read for a mono wave
             return waveops::MoveH(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return MoveHConstant(dynamic_cast<const MonoSound&>(s), nullptr, -3 * V, b, e);
         },
         FromOracle, FromOracle, true, 1});
    add({"MoveHStereoEnvelope", 2, 6,
         [](TUnitWave& u, const unitUnitWave& env) {
             TShiftProps p;
             p.left.SetValue(2 * V);
             p.right.SetValue(-1 * V);
             p.envelopeFlag = 1;
             p.envelope = env;
             return waveops::MoveH(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound& env, int32_t* b, int32_t* e) {
             return MoveHEnvelope(dynamic_cast<const StereoSound&>(s), nullptr, 2 * V, -1 * V, env,
                                  b, e);
         },
         FromOracle, FromOracle, true, 2});
    add({"PerEchoConstant", 2, 6,
         [](TUnitWave& u, const unitUnitWave&) {
             TPerEchoProps p;
             p.time.SetValue(2 * V);
             p.volume.SetValue(0.5);
             p.count.SetValue(2);
             return waveops::PerEcho(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return PerEcho(s, nullptr, 2 * V, 0.5, 2, b, e);
         },
         FromOracle, FromOracle, true});
    add({"PerEchoTimeEnvelope", 2, 6,
         [](TUnitWave& u, const unitUnitWave& env) {
             TPerEchoProps p;
             p.time.SetValue(2 * V);
             p.timeEnvelopeFlag = 1;
             p.timeEnvelope = env;
             p.volume.SetValue(0.5);
             return waveops::PerEcho(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound& env, int32_t* b, int32_t* e) {
             return PerEchoDelayEnvelope(s, nullptr, 2 * V, env, 0.5, 1, b, e);
         },
         FromOracle, FromOracle, true});
    add({"PerEchoVolumeEnvelope", 2, 6,
         [](TUnitWave& u, const unitUnitWave& env) {
             TPerEchoProps p;
             p.time.SetValue(2 * V);
             p.volumeKind = TPerEchoProps::volumeKindEnvelope;
             p.volumeEnvelope = env;
             p.count.SetValue(3);
             return waveops::PerEcho(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound& env, int32_t* b, int32_t* e) {
             return PerEchoFactorEnvelope(s, nullptr, 2 * V, env, 3, b, e);
         },
         FromOracle, FromOracle, true});
    add({"PerEchoBothEnvelopes", 2, 6,
         [](TUnitWave& u, const unitUnitWave& env) {
             TPerEchoProps p;
             p.time.SetValue(2 * V);
             p.timeEnvelopeFlag = 1;
             p.timeEnvelope = env;
             p.volumeKind = TPerEchoProps::volumeKindEnvelope;
             p.volumeEnvelope = env;
             return waveops::PerEcho(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound& env, int32_t* b, int32_t* e) {
             return PerEchoEnvelopes(s, nullptr, 2 * V, env, env, 1, b, e);
         },
         FromOracle, FromOracle, true});
    add({"FilterBlockConstant", 2, 6,
         [](TUnitWave& u, const unitUnitWave&) {
             TBlockFilterProps p;
             p.blockTime.SetValue(2 * V);
             return waveops::FilterBlock(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return FilterBlock(s, nullptr, 2 * V, b, e);
         },
         FromOracle, FromOracle, true});
    add({"FilterBlockEnvelope", 2, 6,
         [](TUnitWave& u, const unitUnitWave& env) {
             TBlockFilterProps p;
             p.blockTime.SetValue(2 * V);
             p.envelopeFlag = 1;
             p.envelope = env;
             return waveops::FilterBlock(u, p);
         },
         2, 6,
         [](const Sound& s, const Sound& env, int32_t* b, int32_t* e) {
             return FilterBlockEnvelope(s, nullptr, env, 2 * V, b, e);
         },
         FromOracle, FromOracle, true});

    // The range edits.
    add({"DeletePart", 2, 6, [](TUnitWave& u, const unitUnitWave&) { return waveops::Delete(u); },
         2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return Delete(s, nullptr, *b, *e);
         },
         2, 2, true});
    add({"TrimPart", 6, 2, [](TUnitWave& u, const unitUnitWave&) { return waveops::Trim(u); }, 2, 6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return CopyPart(s, nullptr, *b, *e);
         },
         4, 0, true});
    add({"PastePart", 2, 6, [](TUnitWave& u, const unitUnitWave&) { return waveops::Paste(u); }, 2,
         6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             return Paste(s, nullptr, *MonoSoundOf({11, 22, 33}), *b, *e);
         },
         2, 5, true});
    add({"Extract", 2, 6, [](TUnitWave& u, const unitUnitWave&) { return waveops::Extract(u); }, 2,
         6,
         [](const Sound& s, const Sound&, int32_t* b, int32_t* e) {
             SoundUPtr copy = CopyPart(s, nullptr, 0, -1);
             DrawLine(*copy, nullptr, *b, 0, *e, 0);
             return copy;
         },
         2, 6, false});
    return rows;
}

class OpTableTest : public DocOpsTest, public ::testing::WithParamInterface<std::tuple<OpRow, bool>>
{
};

bool Applies(const OpRow& row, bool stereo)
{
    return row.channels == 0 || row.channels == (stereo ? 2 : 1);
}

TEST_P(OpTableTest, HandsTheEngineItsRangeAndInstallsTheResult)
{
    const auto& [row, stereo] = GetParam();
    if (!Applies(row, stereo))
        GTEST_SKIP() << "not offered for this channel count";
    RecordedBoxes boxes;
    auto doc = MakeDoc(KnownSound(stereo), row.pos1, row.pos2);
    const SoundPtr before = doc->GetSound();
    const auto originalValues = ChannelsOf(*before);

    int32_t b = row.begin, e = row.end;
    SoundUPtr expected = row.oracle(*before, *env->GetSound(), &b, &e);
    ASSERT_TRUE(expected);
    boxes.boxes.clear();

    const WaveOpResult result = row.run(*doc, EnvRef());
    ASSERT_EQ(result.outcome, WaveOpOutcome::Done) << result.message;
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes[0].text;
    EXPECT_NE(doc->GetSound(), before);
    EXPECT_EQ(ChannelsOf(*before), originalValues) << "the previous sound is never changed";
    EXPECT_EQ(ChannelsOf(*doc->GetSound()), ChannelsOf(*expected));
    const int channels = row.resultChannels ? row.resultChannels : (stereo ? 2 : 1);
    ExpectFormat(*doc->GetSound(), static_cast<int16_t>(channels), OpsRate, OpsBytes);

    if (row.expPos1 == FromOracle) {
        // SetPart keeps which of the two positions was the later one.
        const bool firstLater = !(row.pos1 < row.pos2);
        EXPECT_EQ(doc->GetPos1(), firstLater ? e : b);
        EXPECT_EQ(doc->GetPos2(), firstLater ? b : e);
    } else {
        EXPECT_EQ(doc->GetPos1(), row.expPos1);
        EXPECT_EQ(doc->GetPos2(), row.expPos2);
    }
    EXPECT_EQ(window.refreshes, 1);
    ASSERT_EQ(window.zoomSaved.size(), row.framed ? 1u : 0u);
    if (row.framed) {
        EXPECT_EQ(window.zoomSaved[0].begin, row.begin);
        EXPECT_EQ(window.zoomSaved[0].end, row.end);
        ASSERT_EQ(window.zoomRestored.size(), 1u);
    }
}

TEST_P(OpTableTest, AFailedAllocationLeavesTheDocumentAsItWas)
{
    const auto& [row, stereo] = GetParam();
    if (!Applies(row, stereo))
        GTEST_SKIP() << "not offered for this channel count";
    RecordedBoxes boxes;
    auto doc = MakeDoc(KnownSound(stereo), row.pos1, row.pos2);
    const SoundPtr before = doc->GetSound();
    const SoundPtr clipboard = main.clipboard;
    const int sets = main.clipboardSets;

    FailAllocationsAfter(0);
    const WaveOpResult result = row.run(*doc, EnvRef());
    ResetAllocationFailure();

    EXPECT_EQ(result.outcome, WaveOpOutcome::Stopped);
    EXPECT_EQ(doc->GetSound(), before);
    EXPECT_EQ(doc->GetPos1(), row.pos1);
    EXPECT_EQ(doc->GetPos2(), row.pos2);
    EXPECT_EQ(main.clipboard, clipboard);
    EXPECT_EQ(main.clipboardSets, sets);
    ASSERT_FALSE(boxes.boxes.empty());
    for (const ShownMessage& box : boxes.boxes) {
        EXPECT_EQ(box.text, "There is not enough memmory for this operation.");
        EXPECT_EQ(box.caption, "System Error");
    }

    // The next command starts with a clear flag.
    boxes.boxes.clear();
    EXPECT_EQ(row.run(*doc, EnvRef()).outcome, WaveOpOutcome::Done);
    EXPECT_NE(doc->GetSound(), before);
}

TEST_P(OpTableTest, AStopLeavesTheDocumentAsItWas)
{
    const auto& [row, stereo] = GetParam();
    if (!Applies(row, stereo))
        GTEST_SKIP() << "not offered for this channel count";
    RecordedBoxes boxes;
    auto doc = MakeDoc(KnownSound(stereo), row.pos1, row.pos2);
    const SoundPtr before = doc->GetSound();
    const SoundPtr clipboard = main.clipboard;

    AbortAfterPolls(0);
    const WaveOpResult result = row.run(*doc, EnvRef());
    ResetAbortHook();

    EXPECT_EQ(result.outcome, WaveOpOutcome::Stopped);
    EXPECT_EQ(doc->GetSound(), before);
    EXPECT_EQ(doc->GetPos1(), row.pos1);
    EXPECT_EQ(doc->GetPos2(), row.pos2);
    EXPECT_EQ(main.clipboard, clipboard);
    EXPECT_TRUE(boxes.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, OpTableTest,
                         ::testing::Combine(::testing::ValuesIn(Rows()), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "Stereo" : "Mono");
                         });

} // namespace
} // namespace kelvorn::test
