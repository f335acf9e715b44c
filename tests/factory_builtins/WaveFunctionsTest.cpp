// The wave functions' own rules: the range checks, what each refuses before its operation could
// (every refusal names the input and shows no box), the range each writes out, and the cases
// their operations leave to them: merges, splits, properties, statistics.

#include "factory_builtins/WaveKit.h"

#include "sound/SoundOps.h"

#include <cmath>
#include <limits>

namespace kelvorn::test {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

struct Refusal
{
    const char* message;
    uint8_t kind;
    Settings settings; // over the valid ones
    double begin = 2, end = 12;
};

void PrintTo(const Refusal& row, std::ostream* os)
{
    *os << row.message;
}

// clang-format off
const std::vector<Refusal> refusals{
    // Positions are compared before they are truncated.
    {"Position Begin must be at least 0.", BuiltinVolume, {}, -0.5, 12},
    {"Position Begin must be before the end of the wave.", BuiltinVolume, {}, 16.5, 16.5},
    {"Position End must be at least 0.", BuiltinVolume, {}, 0, -1},
    {"Position End must be before the end of the wave.", BuiltinReverse, {}, 2, 17},
    {"Position End must be greater than Position Begin.", BuiltinTrim, {}, 12, 2},
    {"Position End must be greater or equal than Position Begin.", BuiltinMakeSilence, {}, 12, 2},
    {"Input \"Position Begin\" is not a finite number.", BuiltinVolume, {}, NaN, 12},
    {"You cannot set both flags \"Volume Difference\" and \"Filter Difference\".", BuiltinBalance,
     {{"Filter Difference", 1}}},
    {"Input \"Angle\" must be at least -1 and at most 1.", BuiltinBalance, {{"Angle", -1.5}}},
    {"You cannot set both flags \"Linear\" and \"Exponential\".", BuiltinMakeLine, {{"Linear", 1}}},
    {"You must set one of the flags \"Linear\" or \"Exponential\".", BuiltinMakeLine,
     {{"Exponential"}}},
    {"A exponential line cannot cross the x-axis.", BuiltinMakeLine, {{"Height End", -4000}}},
    {"A exponential line cannot cross the x-axis.", BuiltinMakeLine, {{"Height Begin", 0.9}}},
    {"You must set exactly one of the flags \"Align Begin\", \"Align End\" or \"Stretch\".",
     BuiltinMix, {{"Align Begin"}}},
    {"You must set exactly one of the flags \"Align Begin\", \"Align End\" or \"Stretch\".",
     BuiltinMix, {{"Stretch", 1}}},
    {"You must set exactly one of the flags \"Align Begin\", \"Align End\", \"Stretch Shortest "
     "Wave\" or \"Stretch Longest Wave\".", BuiltinMergeVertically, {{"Align End", 1}}},
    {"Input \"Bytes Per Sample\" must be 1 or 2.", BuiltinSetWaveProperties,
     {{"Bytes Per Sample", 3}}},
    {"Input \"Mono Stereo\" must be 1 or 2.", BuiltinSetWaveProperties, {{"Mono Stereo", 0}}},
    {"Input \"Sample Frequency\" must be above 0.", BuiltinSetWaveProperties,
     {{"Sample Frequency", 0.5}}},
    {"Input \"Bytes Per Sample\" must be 1 or 2.", BuiltinMakeNewWave, {{"Bytes Per Sample", 7}}},
    {"Input \"Mono Stereo\" must be 1 or 2.", BuiltinMakeNewWave, {{"Mono Stereo", 3}}},
    {"Input \"Sample Frequency\" must be above 0.", BuiltinMakeNewWave, {{"Sample Frequency", -5}}},
    {"Input \"Bytes Per Sample\" must be 1 or 2.", BuiltinMergeHorizontally,
     {{"Bytes Per Sample", 4}}},
    {"Input \"Sample Frequency\" must be above 0.", BuiltinMergeVertically,
     {{"Sample Frequency", 0}}},
    {"Input \"Filter Count\" must be at least 1.", BuiltinLowFilter,
     {{"Filter Count", 0.9}, {"Normalize Volume"}}},
    {"Input \"Filter Count\" must be at least 0.", BuiltinHighFilter,
     {{"Filter Count", -1}, {"Normalize Volume", 1}}},
    {"Input \"Volume Factor\" must be above 0 and below 1.", BuiltinLowFilter,
     {{"Volume Factor", 1}}},
    {"Input \"Volume Factor\" must be above 0 and below 1.", BuiltinHighFilter,
     {{"Volume Factor", 0}}},
    {"Input \"Frequency\" must be above 0.", BuiltinLowFilter, {{"Frequency", 0}}},
    {"Input \"Frequency\" must not be above the sample frequency of the Wave.",
     BuiltinResonantFilter, {{"Frequency", 0.5 * V}}},
    {"Input \"Frequency Width\" must be at least 0 and at most 1.", BuiltinNotchFilter,
     {{"Frequency Width", 1.5}}},
    {"Position End must be at least two values after Position Begin.", BuiltinPeriodEcho, {}, 2, 3},
    {"Input \"Time\" must be at least 0 when \"Time Envelope\" is used.", BuiltinPeriodEcho,
     {{"Time", -2 * V}, {"Time Envelope"}}},
    {"Input \"Speed Factor\" must not be 0.", BuiltinRollOut, {{"Speed Factor", 0}}},
    {"Input \"Length Factor\" must be above 0.", BuiltinRollOut,
     {{"Count", Unused}, {"Length Factor", 0}}},
    {"Input \"Count\" must be above 0.", BuiltinTempoPitch,
     {{"Length Factor", Unused}, {"Count", -1}}},
    {"Input \"Start Position\" must be at least 0 and below 1.", BuiltinRollOut,
     {{"Start Position", 1}}},
    {"Input \"Middle\" must be at least 0 and below 1.", BuiltinMakeBlock, {{"Middle", -0.25}}},
    {"Input \"Block Size\" must be above 0.", BuiltinTempoPitch, {{"Block Size", 0}}},
    {"Input \"Speed Factor\" must be above 0 when \"Speed Factor Envelope\" is used.",
     BuiltinTempoPitch, {{"Speed Factor", -1}, {"Speed Factor Envelope"}}},
    {"Input \"Height\" must be at least 1.", BuiltinBlock, {{"Height", 0.5}}},
    {"Input \"Count Horizontal\" must be above 0.", BuiltinBlock, {{"Count Horizontal", 0}}},
    {"Input \"Length\" must give at least one value.", BuiltinMakeSilence, {{"Length", -V}}},
    {"Input \"Length\" must give at least one value.", BuiltinMakeNoise, {{"Length", 0.5 * V}}},
    {"Input \"Count\" must give at least one value.", BuiltinMakeTriangle, {{"Count", 0.1}}},
    {"Input \"Count\" must give at least one value.", BuiltinMakeSinus, {{"Count", 0.2}}},
    {"Input \"Add Value\" must lie between -2147483648 and 2147483647.", BuiltinMoveVertically,
     {{"Add Value", 2147483648.0}}},
    {"Input \"Factor\" is not a finite number.", BuiltinVolume, {{"Factor", Inf}}},
    {"Input \"Echo Count\" is not a finite number.", BuiltinPeriodEcho, {{"Echo Count", NaN}}},
    {"Input \"Normalize Volume\" is not a finite number.", BuiltinLowFilter,
     {{"Normalize Volume", NaN}}},
    {"Input \"Length\" is not a finite number.", BuiltinRollOut,
     {{"Count", Unused}, {"Length", NaN}}},
    {"Input \"Count\" is not a finite number.", BuiltinRollOut, {{"Count", NaN}}},
    {"Input \"Frequency Width\" is not a finite number.", BuiltinNotchFilter,
     {{"Frequency Width", NaN}}},
    // "Position" is a fraction of the wave's 16 values.
    {"Position must be at least 0.", BuiltinSplitHorizontally, {{"Position", -0.1}}},
    {"Position must be before the end of the wave.", BuiltinSplitHorizontally, {{"Position", 1.5}}},
};
// clang-format on

class WaveRefusals : public WaveNodeFixture, public WithSineTableP<Refusal>
{
};

TEST_P(WaveRefusals, NameTheInputAndBindNothing)
{
    const Refusal& row = GetParam();
    RecordingMessages boxes;
    MakeValid(row.kind);
    if (node->FindInputByName("Position Begin"))
        Range(row.begin, row.end);
    Set(row.settings);
    EXPECT_FALSE(Compute());
    EXPECT_EQ(message, row.message);
    EXPECT_TRUE(boxes.texts.empty()) << boxes.texts[0];
    for (const auto& output : node->Outputs())
        EXPECT_FALSE(output->GetSound()) << output->Name;
}

INSTANTIATE_TEST_SUITE_P(Table, WaveRefusals, ::testing::ValuesIn(refusals));

// ---- ranges and outputs ------------------------------------------------------------------------

struct WaveFunctions : WaveNodeFixture, WithSineTable
{
};

/// Channels, rate, bytes per sample and whether the run made it.
std::vector<int> FormatOf(const Sound& sound)
{
    return {sound.GetMonoStereo(), sound.GetSampleFreq(), sound.GetBytesPSample(),
            sound.GetRunResult()};
}

TEST_F(WaveFunctions, RangeOutputs)
{
    // Delete leaves a cursor where the range began, Trim keeps the range alone.
    for (auto [kind, end] : {std::pair{BuiltinDelete, 100}, {BuiltinTrim, 200}}) {
        MakeValid(kind);
        Open("Wave", MonoOf(std::vector<int>(400, 7)));
        Range(100, 300);
        ASSERT_TRUE(Compute()) << message;
        EXPECT_EQ(ValueOut("Position Begin"), kind == BuiltinDelete ? 100 : 0);
        EXPECT_EQ(ValueOut("Position End"), end);
    }
    // Without positions the range is the whole wave; a constant is a fraction of its length.
    MakeValid(BuiltinVolume);
    Open("Wave", MonoOf(std::vector<int>(1001, 7)));
    Set({{"Position Begin", Unused}, {"Position End", Unused}});
    ASSERT_TRUE(Compute()) << message;
    EXPECT_EQ(ValueOut("Position End"), 1001);
    Set({"Position Begin", 0.5});
    ASSERT_TRUE(Compute()) << message;
    EXPECT_EQ(ValueOut("Position Begin"), 500);
    // The range outputs alone run the stage, and the sound nobody takes is not kept.
    MakeValid(BuiltinChangeLength, {"Position End"});
    ASSERT_TRUE(Compute()) << message;
    EXPECT_EQ(ValueOut("Position End"), 2 + 14); // (10 - 1) x 1.5 + 1 values from 2
    EXPECT_FALSE(SoundOut("Result"));
}

TEST_F(WaveFunctions, BlockHeightAndNormalisingWithoutPasses)
{
    // 65572 div 1000 = 65 levels (65572, not 65573: 2851 gives 22); without a horizontal input
    // blocks of one value; one block over the whole range; the lowest height.
    struct Case
    {
        double height, count, blockTime;
        int32_t levels;
    };
    for (Case c :
         {Case{1000, Unused, 0.0, 65}, Case{2851, 1, 16 * V, 22}, Case{1.5, Unused, 0.0, 65572}}) {
        MakeValid(BuiltinBlock);
        Range(0, 16);
        Set({{"Count Horizontal", c.count}, {"Height", c.height}});
        ASSERT_TRUE(Compute()) << message;
        EXPECT_EQ(ChannelsOf(*SoundOut("Result")),
                  ChannelsOf(*kelvorn::Block(*Known(true), nullptr, c.blockTime, c.levels, 0, 16)))
            << c.height;
    }
    // Normalising with no passes only scales the range to 0.7 of full scale.
    MakeValid(BuiltinLowFilter);
    Set({{"Filter Count", 0}});
    ASSERT_TRUE(Compute()) << message;
    EXPECT_EQ(ChannelsOf(*SoundOut("Result")),
              ChannelsOf(*Volume07(*Known(false), nullptr, 2, 12)));
}

TEST_F(WaveFunctions, StretchIntoAnEmptyWaveIsRefused)
{
    MakeValid(BuiltinMix);
    Open("Wave", MonoOf({}));
    Range(0, 0);
    Set({{"Align Begin"}, {"Stretch", 1}});
    EXPECT_FALSE(Compute());
    EXPECT_EQ(message, "Cannot Stretch into an empty Wave.");
}

TEST_F(WaveFunctions, InsertEndsWithinTheResult)
{
    // 1000 values at half the rate last 2000 values here, of which the resampling makes 1999.
    for (int32_t at : {10, 100}) {
        Make(BuiltinInsertReplace);
        Open("Wave", MonoOf(std::vector<int>(100, 1), 44100));
        Open("Insert Wave", MonoOf(std::vector<int>(1000, 2), 22050));
        Range(at, at);
        ASSERT_TRUE(Compute()) << message;
        EXPECT_EQ(SoundOut("Result")->GetValues(), 2099);
        EXPECT_EQ(ValueOut("Position End"), at == 10 ? 2010 : 2099);
    }
}

TEST_F(WaveFunctions, StatisticsAndPropertiesWriteEveryOutput)
{
    Make(BuiltinWaveStatistics, {"Peak Low"});
    Open("Wave", MonoOf({5, -300, 200, -32768, 9}));
    Range(0, 3);
    ASSERT_TRUE(Compute()) << message;
    EXPECT_EQ(ValueOut("Peak High"), 200);
    EXPECT_EQ(ValueOut("Peak Low"), -300);
    EXPECT_EQ(ValueOut("Peak Absolute"), 300);
    Make(BuiltinGetWaveProperties, {"Length"});
    Open("Wave", Known(true));
    ASSERT_TRUE(Compute()) << message;
    EXPECT_EQ((std::vector<double>{ValueOut("Sample Frequency"), ValueOut("Bytes Per Sample"),
                                   ValueOut("Mono Stereo"), ValueOut("Length"),
                                   ValueOut("Position End")}),
              (std::vector<double>{OpsRate, OpsBytes, 2, 16 * V, 16}));
    EXPECT_EQ(node->FindOutputByName("Length")->GetValue().valueType, ValueType::Time);
}

TEST_F(WaveFunctions, NewWaveOfTheAskedFormat)
{
    struct Case
    {
        double channels, length;
        int monoStereo, values;
    };
    for (Case c : {Case{1, 0, 1, 0}, Case{2, 0, 2, 0}, Case{2.9, 4 * V, 2, 9}}) {
        MakeValid(BuiltinMakeNewWave);
        Set({{"Mono Stereo", c.channels}, {"Length", c.length}});
        ASSERT_TRUE(Compute()) << message;
        EXPECT_EQ(FormatOf(*SoundOut("Result")),
                  (std::vector<int>{c.monoStereo, 2 * OpsRate, 2, 1}));
        EXPECT_EQ(SoundOut("Result")->GetValues(), c.values);
        EXPECT_EQ(ValueOut("Position End"), c.values);
    }
}

TEST_F(WaveFunctions, SetWavePropertiesPassesOrClampsTheRange)
{
    // Nothing to change: the input itself, kept by its source.
    MakeValid(BuiltinSetWaveProperties);
    Set({{"Sample Frequency", Unused}, {"Bytes Per Sample", Unused}, {"Mono Stereo", Unused}});
    ASSERT_TRUE(Compute()) << message;
    EXPECT_EQ(SoundOut("Result"), host.waves["Wave"]);
    EXPECT_FALSE(SoundOut("Result")->GetRunResult());
    // 1000 values at twice the rate are 1999: the end scaled to 2000 stays within them.
    Make(BuiltinSetWaveProperties);
    Open("Wave", MonoOf(std::vector<int>(1000, 3)));
    Range(500, 1000);
    Set({"Sample Frequency", 2 * OpsRate});
    ASSERT_TRUE(Compute()) << message;
    EXPECT_EQ(SoundOut("Result")->GetValues(), 1999);
    EXPECT_EQ(ValueOut("Position Begin"), 1000);
    EXPECT_EQ(ValueOut("Position End"), 1999);
}

TEST_F(WaveFunctions, MergeHorizontallyConvertsAnEmptyWaveToo)
{
    Make(BuiltinMergeHorizontally);
    Open("Wave Before", MonoOf({}, 22050));
    Open("Wave After", StereoOf({1, 2, 3}, {4, 5, 6}, 44100));
    ASSERT_TRUE(Compute()) << message;
    EXPECT_EQ(FormatOf(*SoundOut("Result")), (std::vector<int>{2, 44100, OpsBytes, 1}));
    EXPECT_EQ(ChannelsOf(*SoundOut("Result")),
              (std::vector<std::vector<int>>{{1, 2, 3}, {4, 5, 6}}));
    // Mono before stereo at the higher rate, one byte asked for.
    Open("Wave Before", MonoOf({100, 200}, 22050, 2));
    Set({"Bytes Per Sample", 1});
    ASSERT_TRUE(Compute()) << message;
    EXPECT_EQ(FormatOf(*SoundOut("Result")), (std::vector<int>{2, 44100, 1, 1}));
    EXPECT_EQ(ChannelsOf(*SoundOut("Result")),
              (std::vector<std::vector<int>>{{100, 166, 133, 1, 2, 3}, {100, 166, 133, 4, 5, 6}}));
    // Stereo before mono, one channel asked for: mixed down before it is resampled.
    Open("Wave Before", StereoOf({100, 200}, {300, 400}, 22050));
    Set({"Mono Stereo", 1});
    ASSERT_TRUE(Compute()) << message;
    EXPECT_EQ(FormatOf(*SoundOut("Result")), (std::vector<int>{1, 44100, 1, 1}));
    EXPECT_EQ(ChannelsOf(*SoundOut("Result")),
              (std::vector<std::vector<int>>{{200, 266, 200, 2, 3, 4}}));
}

TEST_F(WaveFunctions, MergeVerticallyByTheCountsAfterResampling)
{
    // 500 values at 22050 Hz become 999 at 44100 Hz, beside 1000: silence after or before the
    // left one, or one of them stretched to the other's count.
    struct Case
    {
        const char* flag;
        size_t count;
        int leftFirst, leftLast;
    };
    for (Case c :
         {Case{"Align Begin", 1000, 7, 0}, Case{"Align End", 1000, 0, 3},
          Case{"Stretch Shortest Wave", 1000, 7, 2}, Case{"Stretch Longest Wave", 999, 7, 3}}) {
        MakeValid(BuiltinMergeVertically);
        Open("Wave Left", MonoOf(std::vector<int>(500, 7), 22050));
        Open("Wave Right", StereoOf(std::vector<int>(1000, 2), std::vector<int>(1000, 4), 44100));
        Set({{"Align Begin"}, {c.flag, 1}});
        ASSERT_TRUE(Compute()) << message;
        const auto channels = ChannelsOf(*SoundOut("Result"));
        EXPECT_EQ(channels[0].size(), c.count) << c.flag;
        EXPECT_EQ(channels[1], std::vector<int>(c.count, 3)) << c.flag;
        // The last resampled value blends with what lies past the wave.
        EXPECT_EQ(channels[0].front(), c.leftFirst) << c.flag;
        EXPECT_EQ(channels[0].back(), c.leftLast) << c.flag;
    }
    // Beside an empty wave: silence of the other's length, or nothing at all.
    for (bool shortest : {true, false}) {
        MakeValid(BuiltinMergeVertically);
        Open("Wave Left", MonoOf({}, 44100));
        Open("Wave Right", MonoOf({1, 2, 3}, 44100));
        Set({{"Align Begin"}, {shortest ? "Stretch Shortest Wave" : "Stretch Longest Wave", 1}});
        ASSERT_TRUE(Compute()) << message;
        EXPECT_EQ(ChannelsOf(*SoundOut("Result")),
                  shortest ? (std::vector<std::vector<int>>{{0, 0, 0}, {1, 2, 3}})
                           : (std::vector<std::vector<int>>{{}, {}}));
    }
}

TEST_F(WaveFunctions, SplitsShareOrCopyAsTheyShould)
{
    // The channels of a sound made upstream outlive its node's output: they are shared.
    TSountoryNodeBuiltin* volume = factory.CreateNode<TSountoryNodeBuiltin>(
        "V", uint8_t(BuiltinVolume), TSountoryRectangle{200, 20, 300, 100}, true);
    host.waves["S"] = Known(true);
    volume->FindInputByName("Wave")->SetConstantSound("S");
    volume->FindInputByName("Factor")->SetConstantValue(TSntValue(2, ValueType::Factor), EHNone);
    Make(BuiltinSplitVertically);
    Input("Wave")->SetSource(volume->FindOutputByName("Result"));
    ASSERT_TRUE(Compute()) << message;
    EXPECT_FALSE(volume->FindOutputByName("Result")->GetSound());
    const SoundPtr left = SoundOut("Result Left"), right = SoundOut("Result Right");
    const auto expected = ChannelsOf(*kelvorn::Volume(*Known(true), nullptr, 2, 0, -1));
    EXPECT_EQ(ChannelsOf(*left)[0], expected[0]);
    EXPECT_EQ(ChannelsOf(*right)[0], expected[1]);
    EXPECT_FALSE(left->GetRunResult());
    EXPECT_TRUE(dynamic_cast<const MonoSound&>(*left).SharesChannel());
    factory.ReleaseRunSounds();
    EXPECT_EQ(ValuesOf(*left->GetLeftWave()), expected[0]);
    // The split horizontally copies only the side some target needs, from 0 on too.
    MakeValid(BuiltinSplitHorizontally, {"Result After"});
    ASSERT_TRUE(Compute()) << message;
    EXPECT_FALSE(SoundOut("Result Before"));
    EXPECT_EQ(ChannelsOf(*SoundOut("Result After")),
              ChannelsOf(*CopyPart(*Known(false), nullptr, 8, 16)));
    EXPECT_TRUE(SoundOut("Result After")->GetRunResult());
    Set({"Position", 0});
    ASSERT_TRUE(Compute()) << message;
    EXPECT_EQ(ChannelsOf(*SoundOut("Result After")), ChannelsOf(*Known(false)));
}

} // namespace
} // namespace kelvorn::test
