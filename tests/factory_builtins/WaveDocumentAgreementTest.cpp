// A wave function and the wave document's operation of the same name, given the same parameters
// on the same sound and range, make the same sound and leave the same range.

#include "factory_builtins/WaveKit.h"

#include "document/wave/UnitWaveRecords.h"
#include "document/wave/WaveDocumentOps.h"
#include "general/random/Random15.h"
#include "support/Documents.h"

#include <algorithm>
#include <functional>
#include <type_traits>

namespace kelvorn::test {
namespace {

using E = const unitUnitWave;
using DocRun = std::function<WaveOpResult(TUnitWave&, E&)>;

template <class P>
DocRun Op(WaveOpResult (*fn)(TUnitWave&, const P&), std::type_identity_t<void (*)(P&, E&)> set)
{
    return [fn, set](TUnitWave& u, E& env) {
        P p;
        set(p, env);
        return fn(u, p);
    };
}
DocRun Op(WaveOpResult (*fn)(TUnitWave&))
{
    return [fn](TUnitWave& u, E&) { return fn(u); };
}

struct DocRow
{
    const char* name;
    uint8_t kind;
    bool stereo;
    int32_t begin, end;
    Settings node; // besides "Wave" and the range
    DocRun doc;
    /// The node writes the whole wave as its range where the document keeps its cursor.
    bool whole = false;
};

void PrintTo(const DocRow& row, std::ostream* os)
{
    *os << row.name;
}

// A record set by the statements given: p the record, env the envelope's reference.
#define SET(P, ...) [](P& p, [[maybe_unused]] E& env) { __VA_ARGS__; }

// clang-format off
const std::vector<DocRow> rows{
    {"Volume", BuiltinVolume, false, 2, 12, {{"Factor", 0.5}},
     Op(waveops::Volume, SET(TVolumeProps, p.factor.SetValue(0.5)))},
    {"VolumeEnvelope", BuiltinVolume, true, 2, 12, {{"Envelope"}}, Op(waveops::Volume,
     SET(TVolumeProps, p.kind = TVolumeProps::kindEnvelope; p.envelope = env))},
    {"BalanceVolume", BuiltinBalance, false, 0, 16, ValidSettings(BuiltinBalance),
     Op(waveops::Balance, SET(TBalanceProps, p.direction.SetValue(0.5)))},
    {"BalanceFilterEnvelope", BuiltinBalance, false, 0, 16, {{"Envelope"}, {"Time Difference"},
     {"Volume Difference"}, {"Filter Difference", 1}}, Op(waveops::Balance,
     SET(TBalanceProps, p.directionKind = TBalanceProps::directionKindEnvelope;
         p.directionEnvelope = env; p.timeDifference = 0;
         p.volumeDifference = volumeDifferenceFilter))},
    {"MaxVolume", BuiltinMaxVolume, true, 2, 12, {}, Op(waveops::MaxVolume)},
    {"RollInFromBegin", BuiltinRollIn, false, 2, 12, ValidSettings(BuiltinRollIn),
     Op(waveops::RollIn, SET(TRollInProps, p.length.SetValue(8 * V); p.startAt.position = 2 * V))},
    {"RollInToEnd", BuiltinRollIn, true, 2, 12, {{"Length", 8 * V}, {"Position Roll End", 0.5}},
     Op(waveops::RollIn, SET(TRollInProps, p.length.SetValue(8 * V);
        p.placement = TRollInProps::placeEnd; p.endAt.position = 4 * V))},
    // Shorter than a value: nothing to roll into, the range as it was.
    {"RollInNothing", BuiltinRollIn, false, 2, 12,
     {{"Length", 0.5 * V}, {"Position Roll Begin", 0.25}},
     Op(waveops::RollIn, SET(TRollInProps, p.length.SetValue(0.5 * V)))},
    {"Normalize", BuiltinNormalizeVertically, false, 2, 12, {}, Op(waveops::NormalizeVertically)},
    {"Reverse", BuiltinReverse, true, 2, 12, {}, Op(waveops::Reverse)},
    // 70000 = 65536 + 4464: a sample value keeps its low 16 bits.
    {"MoveVertically", BuiltinMoveVertically, false, 2, 12, {{"Add Value", 70000.9}},
     Op(waveops::MoveV, SET(TUpProps, p.add.value = 4464))},
    {"MixLeftRightByName", BuiltinMixLeftRight, true, 2, 12, ValidSettings(BuiltinMixLeftRight),
     Op(waveops::MixLeftRight, SET(TLeftRightProps, p.leftToLeft.SetValue(0.5);
        p.rightToLeft.SetValue(-1); p.leftToRight.SetValue(0.25); p.rightToRight.SetValue(2)))},
    {"Distort", BuiltinDistort, false, 2, 12, {{"Envelope"}},
     Op(waveops::Distort, SET(TDistortProps, p.envelope = env))},
    {"ChangeLengthFactor", BuiltinChangeLength, true, 2, 12, {{"Length Factor", 1.5}},
     Op(waveops::Length, SET(TLengthProps, p.lengthFactor.SetValue(1.5)))},
    {"ChangeLengthTo", BuiltinChangeLength, false, 2, 12, {{"Length", 12 * V}},
     Op(waveops::Length, SET(TLengthProps, p.lengthKind = lengthKindNew;
        p.newLength.SetValue(12 * V)))},
    // Count over a negative speed: as long as over a positive one.
    {"RollOutByCountBackwards", BuiltinRollOut, false, 2, 12, ValidSettings(BuiltinRollOut),
     Op(waveops::RollOut, SET(TRollOutProps, p.speedFactor.SetValue(-2);
        p.lengthKind = lengthKindCount; p.count.SetValue(3); p.startPosition.position = 2.5 * V))},
    {"RollOutEnvelope", BuiltinRollOut, true, 2, 12, {{"Speed Factor", 1.5},
     {"Speed Envelope"}, {"Length", 15 * V}, {"Start Position", 0.5}}, Op(waveops::RollOut,
     SET(TRollOutProps, p.speedFactor.SetValue(1.5); p.speedEnvelopeFlag = 1;
         p.speedEnvelope = env; p.lengthKind = lengthKindNew; p.newLength.SetValue(15 * V);
         p.currentLength = 10 * V; p.startPosition.position = 5 * V))},
    {"MoveHMono", BuiltinMoveHorizontallyMono, false, 2, 12, {{"Time Move", -3 * V}},
     Op(waveops::MoveH, SET(TShiftProps, p.middle.SetValue(-3 * V)))},
    {"MoveHStereoEnvelope", BuiltinMoveHorizontallyStereo, true, 2, 12,
     ValidSettings(BuiltinMoveHorizontallyStereo), Op(waveops::MoveH, SET(TShiftProps,
     p.left.SetValue(2 * V); p.right.SetValue(-V); p.envelopeFlag = 1; p.envelope = env))},
    {"BlockCountHeight", BuiltinBlock, true, 2, 12, ValidSettings(BuiltinBlock),
     Op(waveops::Block, SET(TBlockProps, p.horKind = TBlockProps::horKindCount;
        p.horCount.SetValue(4); p.vertKind = TBlockProps::vertKindHeight; p.height.value = 3277))},
    {"LowFilterNormalized", BuiltinLowFilter, true, 0, 16, ValidSettings(BuiltinLowFilter),
     Op(waveops::FilterLow, SET(THighLowProps, p.frequency.SetValue(40 * V); p.count.SetValue(2);
        p.maximizeVolume = 1))},
    {"HighFilterEnvelope", BuiltinHighFilter, false, 2, 12, ValidSettings(BuiltinHighFilter),
     Op(waveops::FilterHigh, SET(THighLowProps, p.frequencyKind = filterEnvelope;
        p.frequencyEnvelope = env))},
    {"Resonant", BuiltinResonantFilter, false, 2, 12, ValidSettings(BuiltinResonantFilter),
     Op(waveops::FilterRes, SET(TResNotchProps, p.frequency.SetValue(4 * V)))},
    // The notch's own kernels, not the resonance's.
    {"NotchFrequencyEnvelope", BuiltinNotchFilter, true, 2, 12,
     ValidSettings(BuiltinNotchFilter), Op(waveops::FilterNotch, SET(TResNotchProps,
     p.frequencyKind = filterEnvelope; p.frequencyEnvelope = env))},
    {"NotchWidthEnvelope", BuiltinNotchFilter, false, 2, 12, {{"Frequency", 4 * V},
     {"Frequency Width Envelope"}}, Op(waveops::FilterNotch, SET(TResNotchProps,
     p.frequency.SetValue(4 * V); p.widthKind = filterEnvelope; p.widthEnvelope = env))},
    {"ResonantClosed", BuiltinResonantFilter, true, 2, 12, {{"Frequency", 4 * V},
     {"Frequency Width", 0}}, Op(waveops::FilterRes, SET(TResNotchProps,
     p.frequency.SetValue(4 * V); p.width.SetValue(0)))},
    {"NotchOpen", BuiltinNotchFilter, false, 2, 12, {{"Frequency", 4 * V},
     {"Frequency Width", 1}}, Op(waveops::FilterNotch, SET(TResNotchProps,
     p.frequency.SetValue(4 * V); p.width.SetValue(1)))},
    {"BlockFilterEnvelope", BuiltinBlockFilter, false, 2, 12, ValidSettings(BuiltinBlockFilter),
     Op(waveops::FilterBlock, SET(TBlockFilterProps, p.blockTime.SetValue(2 * V);
        p.envelopeFlag = 1; p.envelope = env))},
    {"PeriodEcho", BuiltinPeriodEcho, true, 2, 12, ValidSettings(BuiltinPeriodEcho),
     Op(waveops::PerEcho, SET(TPerEchoProps, p.time.SetValue(2 * V); p.volume.SetValue(0.5);
        p.count.SetValue(2)))},
    {"PeriodEchoVolumeEnvelope", BuiltinPeriodEcho, false, 2, 12, {{"Time", 2 * V},
     {"Volume Envelope"}, {"Echo Count", 2}}, Op(waveops::PerEcho, SET(TPerEchoProps,
     p.time.SetValue(2 * V); p.volumeKind = TPerEchoProps::volumeKindEnvelope;
     p.volumeEnvelope = env; p.count.SetValue(2)))},
    {"PeriodEchoEnvelopesOverTwoValues", BuiltinPeriodEcho, false, 5, 7, {{"Time", 2 * V},
     {"Time Envelope"}, {"Volume Envelope"}, {"Echo Count", 2}}, Op(waveops::PerEcho,
     SET(TPerEchoProps, p.time.SetValue(2 * V); p.timeEnvelopeFlag = 1; p.timeEnvelope = env;
         p.volumeKind = TPerEchoProps::volumeKindEnvelope; p.volumeEnvelope = env;
         p.count.SetValue(2)))},
    {"Delete", BuiltinDelete, true, 2, 12, {}, Op(waveops::Delete)},
    {"Trim", BuiltinTrim, false, 2, 12, {}, Op(waveops::Trim)},
    {"InsertReplace", BuiltinInsertReplace, true, 2, 12, {{"Insert Wave"}}, Op(waveops::Paste)},
    {"InsertAtTheEnd", BuiltinInsertReplace, false, 16, 16, {{"Insert Wave"}}, Op(waveops::Paste)},
    {"TempoPitchTwoHeads", BuiltinTempoPitch, false, 2, 12, ValidSettings(BuiltinTempoPitch),
     Op(waveops::TempoPitch, SET(TTempoPitchProps, p.frequencyFactor.SetValue(1.5);
        p.speedFactor.SetValue(2); p.blockSize.SetValue(2 * V);
        p.quality = TTempoPitchProps::qualityHigh))},
    {"TempoPitchFrequencyEnvelope", BuiltinTempoPitch, false, 2, 12, {{"Frequency Factor", 2},
     {"Frequency Factor Envelope"}, {"Speed Factor", -1}, {"Length Factor", 1},
     {"Start Position"}, {"High Quality"}, {"Block Size", 3 * V}}, Op(waveops::TempoPitch,
     SET(TTempoPitchProps, p.frequencyFactor.SetValue(2); p.frequencyEnvelopeFlag = 1;
         p.frequencyEnvelope = env; p.speedFactor.SetValue(-1); p.blockSize.SetValue(3 * V)))},
    {"TempoPitchEnvelopes", BuiltinTempoPitch, true, 2, 12, {{"Frequency Factor", 0.5},
     {"Frequency Factor Envelope"}, {"Speed Factor", 0.5}, {"Speed Factor Envelope"},
     {"Count", 2}, {"Start Position", 0.25}, {"High Quality"}, {"Block Size", 3 * V}},
     Op(waveops::TempoPitch, SET(TTempoPitchProps, p.frequencyFactor.SetValue(0.5);
        p.frequencyEnvelopeFlag = 1; p.frequencyEnvelope = env; p.speedFactor.SetValue(0.5);
        p.speedEnvelopeFlag = 1; p.speedEnvelope = env; p.lengthKind = lengthKindCount;
        p.count.SetValue(2); p.startPosition.position = 2.5 * V; p.blockSize.SetValue(3 * V)))},
    {"MakeOneValueOfSilenceAtTheEnd", BuiltinMakeSilence, true, 16, 16, {{"Length", 0}},
     Op(waveops::MakeSilence, SET(TSilenceProps, p.length.SetValue(0)))},
    {"MakeLineExponential", BuiltinMakeLine, false, 2, 12, ValidSettings(BuiltinMakeLine),
     Op(waveops::MakeLine, SET(TLineProps, p.kind = TLineProps::kindExponential;
        p.beginValue.value = 1000; p.endValue.value = 4000; p.length.SetValue(3 * V)))},
    // Half a value: the one value count+1 gives, which the line draws as two.
    {"MakeShortestLine", BuiltinMakeLine, true, 4, 4, {{"Length", 0.5 * V}, {"Height Begin", -5},
     {"Height End", 5}, {"Linear", 1}, {"Exponential"}}, Op(waveops::MakeLine, SET(TLineProps,
     p.beginValue.value = -5; p.endValue.value = 5; p.length.SetValue(0.5 * V)))},
    {"MakeBlockAtCursor", BuiltinMakeBlock, false, 5, 5, ValidSettings(BuiltinMakeBlock),
     Op(waveops::MakeBlock, SET(TBlockTriangleProps, p.height1.value = 1000;
        p.height2.value = -2000; p.period.SetValue(4 * V); p.middle.SetValue(0.25);
        p.newLength.SetValue(8 * V)))},
    {"MakeTriangleEnvelopeByCount", BuiltinMakeTriangle, true, 2, 12,
     ValidSettings(BuiltinMakeTriangle), Op(waveops::MakeTriangle, SET(TBlockTriangleProps,
     p.height1.value = 1000; p.height2.value = -2000; p.period.SetValue(4 * V);
     p.middleKind = TBlockTriangleProps::middleKindEnvelope; p.middleEnvelope = env;
     p.lengthKind = TBlockTriangleProps::lengthCount; p.count.SetValue(2);
     p.startPosition.SetValue(0.5)))},
    {"MakeSinus", BuiltinMakeSinus, false, 2, 12, ValidSettings(BuiltinMakeSinus),
     Op(waveops::MakeSinus, SET(TSinusProps, p.amplitude.value = 8000;
        p.lengthKind = TSinusProps::lengthCount; p.period.SetValue(4 * V); p.count.SetValue(3)))},
    {"MakeNoise", BuiltinMakeNoise, true, 2, 12, ValidSettings(BuiltinMakeNoise),
     Op(waveops::MakeNoise, SET(TNoiseProps, p.volume.value = 8000; p.length.SetValue(5 * V)))},
    {"MixAlignBeginShorterThanTheMix", BuiltinMix, false, 2, 5, ValidSettings(BuiltinMix),
     Op(waveops::Mix, SET(TMixProps, p.placement = TMixProps::alignBegin))},
    {"MixAlignEndAtCursor", BuiltinMix, true, 1, 1, {{"Mix Wave"}, {"Align Begin"},
     {"Align End", 1}, {"Stretch"}}, Op(waveops::Mix,
     SET(TMixProps, p.placement = TMixProps::alignEnd))},
    {"MixStretch", BuiltinMix, false, 2, 12, {{"Mix Wave"}, {"Align Begin"}, {"Align End"},
     {"Stretch", 1}}, Op(waveops::Mix, SET(TMixProps, p.placement = TMixProps::stretch))},
    {"MixStretchOverAll", BuiltinMix, true, 3, 3, {{"Mix Wave"}, {"Align Begin"}, {"Align End"},
     {"Stretch", 1}}, Op(waveops::Mix, SET(TMixProps, p.placement = TMixProps::stretch)), true},
};
// clang-format on

class WaveDocumentAgreement : public WaveNodeFixture, public WithSineTableP<DocRow>
{
protected:
    RecordingMainForm main;
    TUnitWave envelope{"Env", "", KnownEnvelope()};
};

TEST_P(WaveDocumentAgreement, SameSoundAndRange)
{
    const DocRow& row = GetParam();
    main.clipboard = KnownPartner();
    WaveDoc doc(Known(row.stereo));
    doc.wave.SetPos1(row.begin);
    doc.wave.SetPos2(row.end);
    unitUnitWave reference;
    reference.Set("Env", &envelope);
    SeedRandom15(7);
    const WaveOpResult done = row.doc(doc.wave, reference);
    ASSERT_EQ(done.outcome, WaveOpOutcome::Done) << done.message;

    Make(row.kind);
    Open("Wave", Known(row.stereo));
    if (node->FindInputByName("Position Begin"))
        Range(row.begin, row.end);
    Set(row.node);
    SeedRandom15(7);
    ASSERT_TRUE(Compute()) << message;
    const SoundPtr result = SoundOut("Result");
    ASSERT_TRUE(result);
    EXPECT_EQ(ChannelsOf(*result), ChannelsOf(*doc.wave.GetSound()));
    EXPECT_EQ(result->GetSampleFreq(), OpsRate);
    EXPECT_EQ(result->GetBytesPSample(), OpsBytes);
    // The document selects the same range; from a lone cursor its first position is the later.
    if (row.whole) {
        EXPECT_EQ(ValueOut("Position Begin"), 0);
        EXPECT_EQ(ValueOut("Position End"), result->GetValues());
    } else if (node->FindOutputByName("Position Begin")) {
        const int32_t pos1 = doc.wave.GetPos1(), pos2 = doc.wave.GetPos2();
        EXPECT_EQ(ValueOut("Position Begin"), std::min(pos1, pos2));
        EXPECT_EQ(ValueOut("Position End"), std::max(pos1, pos2));
    }
}

INSTANTIATE_TEST_SUITE_P(EachDocumentOperation, WaveDocumentAgreement, ::testing::ValuesIn(rows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WaveDocumentAgreement, ExtractGivesTheRestAndTheClip)
{
    WaveDoc doc(Known(true));
    doc.wave.SetPos1(2);
    doc.wave.SetPos2(12);
    ASSERT_EQ(waveops::Extract(doc.wave).outcome, WaveOpOutcome::Done);
    MakeValid(BuiltinExtract);
    Open("Wave", Known(true));
    ASSERT_TRUE(Compute()) << message;
    EXPECT_EQ(ChannelsOf(*SoundOut("Result Rest")), ChannelsOf(*doc.wave.GetSound()));
    EXPECT_EQ(ChannelsOf(*SoundOut("Result Extract")), ChannelsOf(*main.clipboard));
}

TEST_F(WaveDocumentAgreement, SetWavePropertiesConvertsAsTheFilePropertiesDo)
{
    // Stereo to mono, the rate doubled and two bytes: every step of the conversion.
    WaveDoc doc(Known(true));
    ASSERT_TRUE(doc.wave.SetWaveFileProps(TWaveFileProps(2, OpsRate, OpsBytes),
                                          TWaveFileProps(1, 2 * OpsRate, 2)));
    Make(BuiltinSetWaveProperties);
    Open("Wave", Known(true));
    Set({{"Sample Frequency", 2 * OpsRate}, {"Bytes Per Sample", 2}, {"Mono Stereo", 1}});
    ASSERT_TRUE(Compute()) << message;
    const Sound& result = *SoundOut("Result");
    EXPECT_EQ(ChannelsOf(result), ChannelsOf(*doc.wave.GetSound()));
    ExpectFormat(*doc.wave.GetSound(), 1, 2 * OpsRate, 2);
    EXPECT_EQ((std::vector<int>{result.GetMonoStereo(), result.GetSampleFreq(),
                                result.GetBytesPSample(), result.GetRunResult()}),
              (std::vector<int>{1, 2 * OpsRate, 2, 1}));
}

} // namespace
} // namespace kelvorn::test
