// The rules the sound operations add to the wave operations, each with values worked out by
// hand: how times become counts, which channel of an envelope or partner each channel reads,
// pasting and mixing across sample rates, the stereo level and moves, balance, and the edge
// cases of empty sounds and broken preconditions.
#include "sound/SineTable.h"
#include "sound/SoundOps.h"
#include "sound/SoundOpsTestSupport.h"
#include "sound/WavePrimitives.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using Values = std::vector<int>;
using Channels = std::vector<Values>;

bool SawAssertion(const RecordedBoxes& boxes, const std::string& condition)
{
    for (const auto& box : boxes.boxes)
        if (box.caption == "Assertion failed" &&
            box.text.find("Condition \"" + condition + "\"failed!") != std::string::npos)
            return true;
    return false;
}

bool SawMemoryBox(const RecordedBoxes& boxes)
{
    for (const auto& box : boxes.boxes)
        if (box.text == "There is not enough memmory for this operation." &&
            box.caption == "System Error")
            return true;
    return false;
}

// ---- Times as counts -----------------------------------------------------------------------

struct CountCase
{
    const char* name;
    // Inserts at the cursor 2 of a 4-value sound.
    std::function<SoundUPtr(const Sound&, AbortFlag*, int32_t*, int32_t*)> run;
    int32_t rate;
    int64_t newValues;
};

class TimeToCount : public ::testing::TestWithParam<CountCase>
{
protected:
    void SetUp() override
    {
        AbortFlag flag = 0;
        ASSERT_TRUE(CreateSinus(&flag));
    }
    void TearDown() override { FreeSinus(); }
};

TEST_P(TimeToCount, TheNewPartHasTheCountOfItsRule)
{
    const CountCase c = GetParam();
    for (bool stereo : {false, true}) {
        std::unique_ptr<Sound> sound;
        if (stereo)
            sound = StereoOf({1, 2, 3, 4}, {5, 6, 7, 8}, c.rate);
        else
            sound = MonoOf({1, 2, 3, 4}, c.rate);
        AbortFlag abort = 0;
        int32_t begin = 2, end = 2;
        SoundUPtr result = c.run(*sound, &abort, &begin, &end);
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(result->GetValues(), 4 + c.newValues);
        EXPECT_EQ(begin, 2);
        EXPECT_EQ(end, 2 + c.newValues);
        ExpectFormat(*result, stereo ? 2 : 1, c.rate, OpsBytes);
        // The values around the new part stay where they were.
        EXPECT_EQ((*result->GetLeftWave())[1], 2);
        EXPECT_EQ((*result->GetRightWave())[end], stereo ? 7 : 3);
    }
}

const double R = OpsRate;

INSTANTIATE_TEST_SUITE_P(
    Rules, TimeToCount,
    ::testing::Values(
        // count+1: both ends of the time are values.
        CountCase{"SilenceOfNoTimeIsOneValue",
                  [](auto& s, auto* a, auto* b, auto* e) { return MakeSilence(s, a, 0, b, e); },
                  OpsRate, 1},
        CountCase{
            "SilenceRoundsDown",
            [](auto& s, auto* a, auto* b, auto* e) { return MakeSilence(s, a, 10.75 / R, b, e); },
            OpsRate, 11},
        CountCase{
            "SilenceOfWholeValues",
            [](auto& s, auto* a, auto* b, auto* e) { return MakeSilence(s, a, 11 / R, b, e); },
            OpsRate, 12},
        CountCase{"SilenceOfHalfASecond",
                  [](auto& s, auto* a, auto* b, auto* e) { return MakeSilence(s, a, 0.5, b, e); },
                  8000, 4001},
        // A line of one value is drawn with two.
        CountCase{"LineOfNoTimeIsTwoValues",
                  [](auto& s, auto* a, auto* b, auto* e) {
                      return MakeLine(s, a, -5, 5, 0, false, b, e);
                  },
                  OpsRate, 2},
        CountCase{"LineRoundsDown",
                  [](auto& s, auto* a, auto* b, auto* e) {
                      return MakeLine(s, a, 5, 500, 10.75 / R, true, b, e);
                  },
                  OpsRate, 11},
        // count: the time alone.
        CountCase{"NoiseOfNoTimeIsNothing",
                  [](auto& s, auto* a, auto* b, auto* e) { return MakeNoise(s, a, 100, 0, b, e); },
                  OpsRate, 0},
        CountCase{"NoiseRoundsDown",
                  [](auto& s, auto* a, auto* b, auto* e) {
                      return MakeNoise(s, a, 100, 10.75 / R, b, e);
                  },
                  OpsRate, 10},
        CountCase{
            "NoiseOfHalfASecond",
            [](auto& s, auto* a, auto* b, auto* e) { return MakeNoise(s, a, 100, 0.5, b, e); },
            8000, 4000},
        CountCase{"TriangleRoundsDown",
                  [](auto& s, auto* a, auto* b, auto* e) {
                      return MakeBlockTriangle(s, a, 100, -100, 4 / R, 0.5, 10.75 / R, 0, true, b,
                                               e);
                  },
                  OpsRate, 10},
        CountCase{"MultiFrequencyRoundsDown",
                  [](auto& s, auto* a, auto* b, auto* e) {
                      const double amp = 100, per = 4 / R, t = 1, f = 1, ph = 0;
                      return MakeMFreq(s, a, 10.75 / R, 1, &amp, &per, &t, &f, &ph, b, e);
                  },
                  OpsRate, 10},
        // rate: a period of 4.5 values, two periods long, is 9 values (4 would give 8).
        CountCase{"SinePeriodKeepsItsFraction",
                  [](auto& s, auto* a, auto* b, auto* e) {
                      return MakeSinus(s, a, 100, -100, 4.5 / R, 2.0, 0, b, e);
                  },
                  OpsRate, 9}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TimeToCountRules, BlockLengthIsARateWithItsFraction)
{
    // Blocks of 2.5 values end at 2.5, 5, 7.5 and 10 truncated: [0, 2), [2, 5), [5, 7), [7, 10).
    auto sound = MonoOf({0, 10, 20, 30, 40, 50, 60, 70, 80, 90});
    AbortFlag abort = 0;
    SoundUPtr result = Block(*sound, &abort, 2.5 / R, 0, 0, -1);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(ChannelsOf(*result), (Channels{{5, 5, 30, 30, 30, 55, 55, 80, 80, 80}}));
}

TEST(TimeToCountRules, RotationIsACount)
{
    // 3.75 values of time shift by 3.
    auto sound = StereoOf({0, 1, 2, 3, 4, 5, 6}, {10, 11, 12, 13, 14, 15, 16});
    AbortFlag abort = 0;
    SoundUPtr result = Rotate(*sound, &abort, 3.75 / R, 1, 6);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(ChannelsOf(*result), (Channels{{0, 4, 5, 1, 2, 3, 6}, {10, 14, 15, 11, 12, 13, 16}}));
}

TEST(TimeToCountRules, MixAfterTimeIsACount)
{
    auto sound = MonoOf({0, 0, 0, 0, 0, 0});
    auto partner = MonoOf({10, 20});
    AbortFlag abort = 0;
    ASSERT_TRUE(MixAfterTime(*sound, &abort, *partner, 2.99 / R, 1.5));
    EXPECT_EQ(ChannelsOf(*sound), (Channels{{0, 0, 15, 30, 0, 0}}));
    // A time far past the end adds nothing and is no failure.
    ASSERT_TRUE(MixAfterTime(*sound, &abort, *partner, 1e15, 1.0));
    EXPECT_EQ(ChannelsOf(*sound), (Channels{{0, 0, 15, 30, 0, 0}}));
    EXPECT_EQ(abort, 0);
}

TEST(TimeToCountRules, ACountNoWaveCanHoldTakesTheMemoryRoad)
{
    struct Case
    {
        const char* name;
        std::function<SoundUPtr(const Sound&, AbortFlag*, int32_t*, int32_t*)> run;
    };
    const Case cases[] = {
        {"silence of 10^12 seconds",
         [](auto& s, auto* a, auto* b, auto* e) { return MakeSilence(s, a, 1e12, b, e); }},
        {"silence past 2^31 values",
         [](auto& s, auto* a, auto* b, auto* e) {
             return MakeSilence(s, a, 2147483647.0 / R, b, e);
         }},
        {"noise of an undefined time",
         [](auto& s, auto* a, auto* b, auto* e) {
             return MakeNoise(s, a, 100, std::numeric_limits<double>::quiet_NaN(), b, e);
         }},
        {"line of an infinite time",
         [](auto& s, auto* a, auto* b, auto* e) {
             return MakeLine(s, a, 1, 2, std::numeric_limits<double>::infinity(), false, b, e);
         }},
    };
    for (const Case& c : cases) {
        for (bool stereo : {false, true}) {
            RecordedBoxes boxes;
            std::unique_ptr<Sound> sound;
            if (stereo)
                sound = StereoOf({1, 2, 3}, {4, 5, 6});
            else
                sound = MonoOf({1, 2, 3});
            AbortFlag abort = 0;
            int32_t begin = 1, end = 2;
            EXPECT_EQ(c.run(*sound, &abort, &begin, &end), nullptr) << c.name;
            EXPECT_EQ(abort, 1) << c.name;
            EXPECT_EQ(begin, 1);
            EXPECT_EQ(end, 2);
            EXPECT_TRUE(SawMemoryBox(boxes)) << c.name;
        }
    }
}

// ---- Format, empty sounds, preconditions -------------------------------------------------------

TEST(SoundOpsFormat, ChangeSampleFreqGivesTheNewRateTruncated)
{
    auto sound = StereoOf({0, 100, 200}, {0, -100, -200}, 1000, 1);
    AbortFlag abort = 0;
    SoundUPtr result = ChangeSampleFreq(*sound, &abort, 2000.9);
    ASSERT_NE(result, nullptr);
    ExpectFormat(*result, 2, 2000, 1);
    EXPECT_EQ(result->GetValues(), 5);
    // An empty sound stays empty, at the new rate.
    StereoSound empty(1000, 2);
    result = ChangeSampleFreq(empty, &abort, 44100);
    ASSERT_NE(result, nullptr);
    ExpectFormat(*result, 2, 44100, 2);
    EXPECT_EQ(result->GetValues(), 0);
    MonoSound emptyMono(8000, 1);
    result = ChangeSampleFreq(emptyMono, &abort, 22050);
    ASSERT_NE(result, nullptr);
    ExpectFormat(*result, 1, 22050, 1);
    EXPECT_EQ(result->GetValues(), 0);
    EXPECT_EQ(abort, 0);
}

TEST(SoundOpsFormat, ARateThatCannotBeIsAnAssertion)
{
    auto sound = MonoOf({1, 2, 3});
    for (double freq : {0.0, 0.5, -44100.0, 3e9, std::numeric_limits<double>::quiet_NaN()}) {
        RecordedBoxes boxes;
        AbortFlag abort = 0;
        EXPECT_EQ(ChangeSampleFreq(*sound, &abort, freq), nullptr) << freq;
        EXPECT_EQ(abort, 1);
        EXPECT_TRUE(SawAssertion(boxes, "newFreq >= 1 && newFreq <= INT32_MAX")) << freq;
    }
    RecordedBoxes boxes;
    MonoSound noRate(MakeWave({1, 2}), 0, 2);
    AbortFlag abort = 0;
    EXPECT_EQ(ChangeSampleFreq(noRate, &abort, 8000), nullptr);
    EXPECT_EQ(abort, 1);
    EXPECT_TRUE(SawAssertion(boxes, "sound.GetSampleFreq() > 0"));
}

TEST(SoundOpsFormat, WholeDeletesAndEmptyCopiesGiveEmptySoundsOfTheSameKind)
{
    for (bool stereo : {false, true}) {
        std::unique_ptr<Sound> sound;
        if (stereo)
            sound = StereoOf({1, 2, 3}, {4, 5, 6}, 11025, 1);
        else
            sound = MonoOf({1, 2, 3}, 11025, 1);
        AbortFlag abort = 0;
        std::vector<SoundUPtr> results;
        results.push_back(Delete(*sound, &abort, 0, 3));
        results.push_back(Delete(*sound, &abort, 0, -1));
        results.push_back(CopyPart(*sound, &abort, 2, 2));
        results.push_back(CreateEmpty(*sound, &abort));
        for (const SoundUPtr& result : results) {
            ASSERT_NE(result, nullptr);
            ExpectFormat(*result, stereo ? 2 : 1, 11025, 1);
            EXPECT_EQ(result->GetValues(), 0);
        }
        SoundUPtr rest = Delete(*sound, &abort, 1, -1);
        ASSERT_NE(rest, nullptr);
        EXPECT_EQ(ChannelsOf(*rest), (stereo ? Channels{{1}, {4}} : Channels{{1}}));
        EXPECT_EQ(abort, 0);
    }
}

TEST(SoundOpsFormat, BrokenPreconditionsAreNamedAndStopTheCommand)
{
    auto sound = MonoOf({1, 2, 3, 4});
    auto envelope = MonoOf({32767});
    struct Case
    {
        const char* condition;
        std::function<SoundUPtr(AbortFlag*)> run;
    };
    const Case cases[] = {
        {"lengthfactor > 0",
         [&](AbortFlag* a) {
             int32_t b = 0, e = 4;
             return RollOut(*sound, a, *envelope, 0.0, 1.0, 0.0, &b, &e);
         }},
        {"startpos >= 0",
         [&](AbortFlag* a) {
             int32_t b = 0, e = 4;
             return RollOut(*sound, a, *envelope, 1.0, 1.0, -0.25, &b, &e);
         }},
        {"startpos < length",
         [&](AbortFlag* a) {
             int32_t b = 2, e = 2;
             return RollOut(*sound, a, *envelope, 1.0, 1.0, 0.0, &b, &e);
         }},
        {"filter != nullptr",
         [&](AbortFlag* a) { return FilterConstant(*sound, a, nullptr, 0.01, 0.5, 1, 1, 0, 4); }},
        {"filter != nullptr",
         [&](AbortFlag* a) {
             return FilterEnvelope(*sound, a, nullptr, *envelope, 0.5, 1, 1, 0, 4);
         }},
        {"chosenFilterGiven",
         [&](AbortFlag* a) {
             const ResFilters none{nullptr, nullptr, nullptr, nullptr};
             return FilterTwoParams(*sound, a, true, true, 0.01, 0.5, nullptr, nullptr, none, 0, 4);
         }},
        // A range outside the sound is the wave operation's assertion.
        {"end <= values", [&](AbortFlag* a) { return Volume(*sound, a, 2.0, 0, 5); }},
    };
    for (const Case& c : cases) {
        RecordedBoxes boxes;
        AbortFlag abort = 0;
        EXPECT_EQ(c.run(&abort), nullptr) << c.condition;
        EXPECT_EQ(abort, 1) << c.condition;
        EXPECT_TRUE(SawAssertion(boxes, c.condition)) << c.condition;
    }
}

TEST(SoundOpsFormat, ARollOutStartAtTheRangesEndWrapsToItsStart)
{
    auto sound = MonoOf({1, 2, 3, 4, 5, 6});
    auto envelope = MonoOf({32767});
    AbortFlag abort = 0;
    int32_t b = 1, e = 5;
    // Speed 0: the loop stays where it starts, which is the range's start again.
    SoundUPtr atEnd = RollOut(*sound, &abort, *envelope, 0.5, 0.0, 1.0, &b, &e);
    ASSERT_NE(atEnd, nullptr);
    EXPECT_EQ(ChannelsOf(*atEnd), (Channels{{1, 2, 2, 6}}));
    EXPECT_EQ(b, 1);
    EXPECT_EQ(e, 3);
    EXPECT_EQ(abort, 0);
}

// ---- Volume to a level -----------------------------------------------------------------------

TEST(VolumeToLevel, StereoScalesBothChannelsByTheLouderOnesPeak)
{
    auto sound = StereoOf({1000, -500, 0, 2000}, {-4000, 100, 3000, 0});
    // factor 0.5 * 32767 / 4000 = 4.095875 for both channels, so their balance stays.
    const Channels expected{{4095, -2047, 0, 8191}, {-16383, 409, 12287, 0}};
    AbortFlag abort = 0;
    SoundUPtr result = VolumeToLevel(*sound, &abort, 0.5, 0, -1);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(ChannelsOf(*result), expected);
    ASSERT_TRUE(VolumeToLevelInPlace(*sound, &abort, 0.5, 0, -1));
    EXPECT_EQ(ChannelsOf(*sound), expected);
    EXPECT_EQ(abort, 0);

    // Alone, the left channel would have gone to its own peak.
    auto left = MonoOf({1000, -500, 0, 2000});
    result = VolumeToLevel(*left, &abort, 0.5, 0, -1);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(ChannelsOf(*result), (Channels{{8191, -4095, 0, 16383}}));
}

TEST(VolumeToLevel, OnlyTheRangeCountsAndChanges)
{
    // Peak of [1, 3) over both channels is 300: factor 32767 / 300.
    auto sound = StereoOf({30000, 100, -200, 30000}, {-30000, 300, 50, -30000});
    AbortFlag abort = 0;
    SoundUPtr result = MaxVolume(*sound, &abort, 1, 3);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(ChannelsOf(*result),
              (Channels{{30000, 10922, -21844, 30000}, {-30000, 32767, 5461, -30000}}));
    result = Volume07(*sound, &abort, 1, 3);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(ChannelsOf(*result),
              (Channels{{30000, 7645, -15291, 30000}, {-30000, 22936, 3822, -30000}}));
}

TEST(VolumeToLevel, ASilentRangeStaysSilent)
{
    auto sound = StereoOf({5, 0, 0, 5}, {-5, 0, 0, -5});
    AbortFlag abort = 0;
    SoundUPtr result = MaxVolume(*sound, &abort, 1, 3);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(ChannelsOf(*result), (Channels{{5, 0, 0, 5}, {-5, 0, 0, -5}}));
    ASSERT_TRUE(Volume07InPlace(*sound, &abort, 1, 3));
    EXPECT_EQ(ChannelsOf(*sound), (Channels{{5, 0, 0, 5}, {-5, 0, 0, -5}}));
    EXPECT_EQ(abort, 0);
}

TEST(VolumeToLevel, TheLowestValueCountsAsItsFullMagnitude)
{
    // Peak 32768: factor 32767 / 32768 keeps -32768 inside the range as -32767.
    auto sound = StereoOf({-32768, 16384}, {0, 0});
    AbortFlag abort = 0;
    ASSERT_TRUE(MaxVolumeInPlace(*sound, &abort, 0, 2));
    EXPECT_EQ(ChannelsOf(*sound), (Channels{{-32767, 16383}, {0, 0}}));
}

// ---- Which channel of an envelope or partner ---------------------------------------------------

TEST(EnvelopeChannels, AMonoEnvelopeDrivesBothStereoChannelsAlike)
{
    auto sound = StereoOf({1000, 1000, 1000}, {-2000, -2000, -2000});
    auto envelope = MonoOf({0, 32767});
    AbortFlag abort = 0;
    SoundUPtr result = VolumeEnvelope(*sound, &abort, *envelope, 0, 3);
    ASSERT_NE(result, nullptr);
    // The envelope at 0, the middle and the end of the range: 0, 16383.5, 32767.
    EXPECT_EQ(ChannelsOf(*result), (Channels{{0, 500, 1000}, {0, -1000, -2000}}));
}

TEST(EnvelopeChannels, AStereoEnvelopeGivesEachChannelItsOwnSide)
{
    auto sound = StereoOf({1000, 1000, 1000}, {-2000, -2000, -2000});
    auto envelope = StereoOf({32767, 32767}, {0, 32767});
    AbortFlag abort = 0;
    SoundUPtr result = VolumeEnvelope(*sound, &abort, *envelope, 0, 3);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(ChannelsOf(*result), (Channels{{1000, 1000, 1000}, {0, -1000, -2000}}));
}

TEST(EnvelopeChannels, AStereoEnvelopeActsOnMonoByTheMeanOfItsChannels)
{
    auto sound = MonoOf({1000, 1000, 1000});
    // Mean 16383 throughout.
    auto envelope = StereoOf({32767, 32767}, {0, 0});
    AbortFlag abort = 0;
    SoundUPtr result = VolumeEnvelope(*sound, &abort, *envelope, 0, 3);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(ChannelsOf(*result), (Channels{{499, 499, 499}}));
}

TEST(EnvelopeChannels, AnEnvelopeIsReadAtItsOwnRate)
{
    // Envelopes are stretched over the range whatever their rate: the same values at 8 Hz or
    // at the sound's 1024 give the same result.
    auto sound = MonoOf({1000, 1000, 1000});
    auto slow = MonoOf({0, 32767}, 8);
    auto same = MonoOf({0, 32767});
    AbortFlag abort = 0;
    SoundUPtr a = VolumeEnvelope(*sound, &abort, *slow, 0, 3);
    SoundUPtr b = VolumeEnvelope(*sound, &abort, *same, 0, 3);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(ChannelsOf(*a), ChannelsOf(*b));
}

TEST(PartnerChannels, AMonoPartnerGoesIntoBothChannelsAndAStereoOneIntoMonoAsItsMean)
{
    auto stereo = StereoOf({0, 0, 0}, {1, 1, 1});
    auto mono = MonoOf({0, 0, 0});
    auto monoPartner = MonoOf({10, 20});
    auto stereoPartner = StereoOf({10, 20}, {30, -21});
    AbortFlag abort = 0;
    SoundUPtr a = Paste(*stereo, &abort, *monoPartner, 1, 2);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(ChannelsOf(*a), (Channels{{0, 10, 20, 0}, {1, 10, 20, 1}}));
    SoundUPtr b = Paste(*mono, &abort, *stereoPartner, 0, 0);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(ChannelsOf(*b), (Channels{{20, 0, 0, 0, 0}}));
    SoundUPtr c = Paste(*stereo, &abort, *stereoPartner, 3, 3);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(ChannelsOf(*c), (Channels{{0, 0, 0, 10, 20}, {1, 1, 1, 30, -21}}));
}

TEST(PartnerChannels, AnEmptyPartnerPastesOrAddsNothing)
{
    auto sound = StereoOf({1, 2, 3}, {4, 5, 6});
    MonoSound empty(OpsRate / 2, 2);
    AbortFlag abort = 0;
    SoundUPtr pasted = Paste(*sound, &abort, empty, 1, 2);
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(ChannelsOf(*pasted), (Channels{{1, 3}, {4, 6}}));
    ASSERT_TRUE(MixAfter(*sound, &abort, empty, 0));
    EXPECT_EQ(ChannelsOf(*sound), (Channels{{1, 2, 3}, {4, 5, 6}}));
    EXPECT_EQ(abort, 0);
}

// ---- Across sample rates ---------------------------------------------------------------------

TEST(AcrossRates, PasteResamplesThePartnerToThisRate)
{
    // 11 values at half this rate last as long as 21 values here.
    WavePtr ramp = MakeWaveOf(11, [](int32_t i) { return i * 100; });
    for (bool stereo : {false, true}) {
        std::unique_ptr<Sound> sound;
        if (stereo)
            sound = StereoOf({1, 2, 3, 4}, {5, 6, 7, 8}, 1024, 1);
        else
            sound = MonoOf({1, 2, 3, 4}, 1024, 1);
        MonoSound partner(CreateWaveCopy(nullptr, ramp.get()), 512, 2);
        AbortFlag abort = 0;
        SoundUPtr result = Paste(*sound, &abort, partner, 2, 3);
        ASSERT_NE(result, nullptr);
        ExpectFormat(*result, stereo ? 2 : 1, 1024, 1);
        EXPECT_EQ(result->GetValues(), 3 + 21);
        WavePtr atThisRate = resampleFactor(*ramp, nullptr, 2.0);
        for (int c = 0; c < (stereo ? 2 : 1); ++c) {
            const Wave& w = c == 0 ? *result->GetLeftWave() : *result->GetRightWave();
            EXPECT_EQ(w[1], c == 0 ? 2 : 6);
            // Linear resampling reads the ramp at 11 / 21 steps: 0, 52.38, 104.76 ...
            EXPECT_EQ(w[2], 0);
            EXPECT_EQ(w[3], 52);
            EXPECT_EQ(w[4], 104);
            for (int32_t k = 0; k < 21; ++k)
                EXPECT_EQ(w[2 + k], (*atThisRate)[k]) << k;
            EXPECT_EQ(w[23], c == 0 ? 4 : 8);
        }
    }
}

TEST(AcrossRates, PasteOfAFasterPartnerShortensIt)
{
    auto sound = MonoOf({7, 7}, 1024);
    auto partner =
        StereoOf({0, 100, 200, 300, 400, 500, 600, 700, 800}, {0, 0, 0, 0, 0, 0, 0, 0, 0}, 2048);
    AbortFlag abort = 0;
    SoundUPtr result = Paste(*sound, &abort, *partner, 1, 1);
    ASSERT_NE(result, nullptr);
    // The mean of the partner (0, 50, ... 400) at half the count: (9 - 1) * 0.5 + 1 = 5 values.
    EXPECT_EQ(result->GetValues(), 2 + 5);
    EXPECT_EQ((*result->GetLeftWave())[0], 7);
    EXPECT_EQ((*result->GetLeftWave())[1], 0);
    EXPECT_EQ((*result->GetLeftWave())[6], 7);
}

TEST(AcrossRates, MixedPartnersAreReadAtThisRateAndEnvelopesAreNot)
{
    auto sound = MonoOf({0, 0, 0, 0, 0});
    auto partner = MonoOf({100, 300}, 512);
    AbortFlag abort = 0;
    // At this rate the partner has 3 values: 0, 100 * 2/3 ... read at 2/3 steps.
    WaveRef resampled = partner->GetMonoWaveAt(&abort, 1024);
    ASSERT_EQ(resampled->Values(), 3);
    ASSERT_TRUE(MixAfter(*sound, &abort, *partner, 1));
    EXPECT_EQ(ChannelsOf(*sound),
              (Channels{{0, (*resampled)[0], (*resampled)[1], (*resampled)[2], 0}}));
    SoundUPtr placed = EditMixAfter(*MonoOf({0, 0}), &abort, *partner, 1, -1, false);
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->GetValues(), 4);
    // Stretched like an envelope: the partner's own two values, not three.
    SoundUPtr stretched = MixStretched(*MonoOf({0, 0, 0}), &abort, *partner, 0, 3);
    ASSERT_NE(stretched, nullptr);
    // Positions k * (2 - 1) / (3 - 0 + 1): 0, 0.25, 0.5.
    EXPECT_EQ(ChannelsOf(*stretched), (Channels{{100, 150, 200}}));
}

// ---- Mixing in place ---------------------------------------------------------------------------

TEST(MixInPlace, ALongerPartnerGoesOnAtTheStart)
{
    auto sound = StereoOf({0, 0, 0, 0}, {100, 100, 100, 100});
    auto partner = MonoOf({1, 2, 3, 4, 5});
    AbortFlag abort = 0;
    ASSERT_TRUE(MixCycleAfterThis(*sound, &abort, *partner, 2));
    EXPECT_EQ(ChannelsOf(*sound), (Channels{{3, 4, 6, 2}, {103, 104, 106, 102}}));
}

TEST(MixInPlace, ASoundMixedIntoItselfAddsItsOldValues)
{
    auto mono = MonoOf({1, 2, 3, 4});
    AbortFlag abort = 0;
    ASSERT_TRUE(MixAfter(*mono, &abort, *mono, 1));
    EXPECT_EQ(ChannelsOf(*mono), (Channels{{1, 3, 5, 7}}));
    auto stereo = StereoOf({1, 2, 3, 4}, {10, 20, 30, 40});
    ASSERT_TRUE(MixAlignedFactor(*stereo, &abort, *stereo, 0.5, 0.0, 2.0));
    EXPECT_EQ(ChannelsOf(*stereo), (Channels{{1, 2, 5, 8}, {10, 20, 50, 80}}));
    ASSERT_TRUE(MixCycleAfterThis(*mono, &abort, *mono, 3));
    EXPECT_EQ(ChannelsOf(*mono), (Channels{{4, 8, 12, 8}}));
}

TEST(MixInPlace, AlignedMixPlacesTheRelativePositionsOnEachOther)
{
    // p = trunc(6 * 0.5) = 3, q = trunc(4 * 0.5) = 2: partner value 2 falls on value 3.
    auto sound = MonoOf({0, 0, 0, 0, 0, 0});
    auto partner = MonoOf({1, 2, 3, 4});
    AbortFlag abort = 0;
    ASSERT_TRUE(MixAligned(*sound, &abort, *partner, 0.5, 0.5));
    EXPECT_EQ(ChannelsOf(*sound), (Channels{{0, 1, 2, 3, 4, 0}}));
    // q counts the partner at this rate: 4 values at half the rate are 7 here, so q =
    // trunc(7 * 0.5) = 3 = p and the resampled partner (0, 1, 2, 3, ...) lands unshifted.
    // Counted at its own rate (q = 2) it would land one value later.
    auto slow = MonoOf({0, 2, 4, 6}, OpsRate / 2);
    auto target = MonoOf({0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(MixAligned(*target, &abort, *slow, 0.5, 0.5));
    EXPECT_EQ(ChannelsOf(*target), (Channels{{0, 1, 2, 3, 4, 5}}));
}

TEST(MixInPlace, DrawLineSilencesEveryChannel)
{
    auto sound = StereoOf({5, 5, 5, 5}, {-5, -5, -5, -5});
    AbortFlag abort = 0;
    ASSERT_TRUE(DrawLine(*sound, &abort, 1, 0, 3, 0));
    EXPECT_EQ(ChannelsOf(*sound), (Channels{{5, 0, 0, 5}, {-5, 0, 0, -5}}));
}

// ---- Left and right ----------------------------------------------------------------------------

TEST(MixLeftRight, EachSideTakesItsShareOfBoth)
{
    auto sound = StereoOf({1000, 1000, 1000}, {-200, -200, -200}, 8000, 1);
    AbortFlag abort = 0;
    // new left = left * 0.5 + right * 2, new right = right * 0.25 + left * -1, over [1, 3).
    SoundUPtr result = MixLeftRight(*sound, &abort, 0.5, -1.0, 2.0, 0.25, 1, 3);
    ASSERT_NE(result, nullptr);
    ExpectFormat(*result, 2, 8000, 1);
    EXPECT_EQ(ChannelsOf(*result), (Channels{{1000, 100, 100}, {-200, -1050, -1050}}));
    // Swapping the sides.
    result = MixLeftRight(*sound, &abort, 0.0, 1.0, 1.0, 0.0, 0, -1);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(ChannelsOf(*result), (Channels{{-200, -200, -200}, {1000, 1000, 1000}}));
}

TEST(MixLeftRight, AnEmptySoundIsAnAssertion)
{
    RecordedBoxes boxes;
    StereoSound empty(8000, 2);
    AbortFlag abort = 0;
    EXPECT_EQ(MixLeftRight(empty, &abort, 1, 0, 0, 1, 0, -1), nullptr);
    EXPECT_EQ(abort, 1);
    EXPECT_TRUE(SawAssertion(boxes, "GetValues() != 0"));
}

// ---- Horizontal moves --------------------------------------------------------------------------

WavePtr Ramp(int32_t n, int32_t from)
{
    return MakeWaveOf(n, [from](int32_t i) { return from + i; });
}

TEST(MoveH, OppositeStereoTimesWidenTheRangeToCoverBoth)
{
    StereoSound sound(Ramp(20, 100), Ramp(20, 200), OpsRate, 1);
    AbortFlag abort = 0;
    int32_t begin = 8, end = 12;
    SoundUPtr result = MoveHConstant(sound, &abort, -3 / R, 3 / R, &begin, &end);
    ASSERT_NE(result, nullptr);
    ExpectFormat(*result, 2, OpsRate, 1);
    EXPECT_EQ(result->GetValues(), 20);
    // Left moved to [5, 9), right to [11, 15).
    EXPECT_EQ(begin, 5);
    EXPECT_EQ(end, 15);
    // What moves out of the range adds to the values it lands on; the range's old place
    // keeps only what moved in.
    EXPECT_EQ(ValuesOf(*result->GetLeftWave()),
              (Values{100, 101, 102, 103, 104, 108 + 105, 109 + 106, 110 + 107, 111, 0,
                      0,   0,   112, 113, 114, 115,       116,       117,       118, 119}));
    EXPECT_EQ(ValuesOf(*result->GetRightWave()),
              (Values{200, 201, 202,       203,       204,       205, 206, 207, 0,   0,
                      0,   208, 209 + 212, 210 + 213, 211 + 214, 215, 216, 217, 218, 219}));
}

TEST(MoveH, BothChannelsGrowByTheSameMargins)
{
    // The range [0, 4) moved left by 3 on one side and right by 2.5 (3 rounded out) on the
    // other: 3 zeros in front of both channels, and none behind.
    StereoSound sound(Ramp(10, 100), Ramp(10, 200), OpsRate, 2);
    AbortFlag abort = 0;
    int32_t begin = 0, end = 4;
    SoundUPtr result = MoveHConstant(sound, &abort, -3 / R, 2.5 / R, &begin, &end);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->GetLeftWave()->Values(), 13);
    EXPECT_EQ(result->GetRightWave()->Values(), 13);
    EXPECT_EQ(begin, 0);
    EXPECT_EQ(end, 9);
    EXPECT_EQ((*result->GetLeftWave())[0], 100);
    // Half way between values: 200.5 and so on, truncated.
    EXPECT_EQ((*result->GetRightWave())[6], 200);
}

TEST(MoveH, MonoMovesByTheRateOfItsTime)
{
    MonoSound sound(Ramp(6, 10), OpsRate, 1);
    AbortFlag abort = 0;
    int32_t begin = 3, end = 6;
    SoundUPtr result = MoveHConstant(sound, &abort, 2 / R, &begin, &end);
    ASSERT_NE(result, nullptr);
    ExpectFormat(*result, 1, OpsRate, 1);
    EXPECT_EQ(ChannelsOf(*result), (Channels{{10, 11, 12, 0, 0, 13, 14, 15}}));
    EXPECT_EQ(begin, 5);
    EXPECT_EQ(end, 8);
}

TEST(MoveH, EnvelopeMovesGrowByTheLargerTimeAndGiveEachChannelItsOwn)
{
    StereoSound sound(Ramp(12, 100), Ramp(12, 200), OpsRate, 1);
    auto envelope = StereoOf({32767, 32767}, {-32768, -32768});
    AbortFlag abort = 0;
    int32_t begin = 0, end = 12;
    SoundUPtr result = MoveHEnvelope(sound, &abort, 2 / R, -3 / R, *envelope, &begin, &end);
    ASSERT_NE(result, nullptr);
    // Margins for shifts up to 3 either way: 3 + 12 + 3.
    EXPECT_EQ(result->GetLeftWave()->Values(), 18);
    EXPECT_EQ(result->GetRightWave()->Values(), 18);
    EXPECT_EQ(begin, 0);
    EXPECT_EQ(end, 18);
    // Each side moves by e * maxShift / 32768 of its own: left 32767 * 2 / 32768 (a hair
    // under 2 values), right -32768 * -3 / 32768 = 3 values; the first value lands at
    // 3 + 2 and 3 + 3.
    const auto& left = *result->GetLeftWave();
    const auto& right = *result->GetRightWave();
    EXPECT_EQ(left[4], 0);
    EXPECT_EQ(left[5], 100);
    EXPECT_EQ(right[5], 0);
    EXPECT_EQ(right[6], 200);

    MonoSound mono(Ramp(12, 100), OpsRate, 1);
    begin = 0;
    end = 12;
    result = MoveHEnvelope(mono, &abort, 2 / R, *envelope, &begin, &end);
    ASSERT_NE(result, nullptr);
    // The envelope's mean is (32767 - 32768) / 2 = 0 here: no move, but room for 2 either
    // way.
    EXPECT_EQ(result->GetValues(), 16);
    EXPECT_EQ(ChannelsOf(*result)[0][2], 100);
}

// ---- Balance -------------------------------------------------------------------------------

TEST(Balance, ConstantMakesEqualChannelsFromTheFirstChannel)
{
    const int32_t rate = 44100;
    WavePtr source = MakeWaveOf(100, [](int32_t i) { return (i % 7) * 1000 - 3000; });
    MonoSound mono(CreateWaveCopy(nullptr, source.get()), rate, 1);
    StereoSound stereo(CreateWaveCopy(nullptr, source.get()),
                       MakeWaveOf(100, [](int32_t) { return 12345; }), rate, 1);
    // Delay of sin(0.5 * pi / 2) * 44100 * 2 / 3400 = 18.34 values: 100 + 1 + 18 each side.
    for (const Sound* sound :
         {static_cast<const Sound*>(&mono), static_cast<const Sound*>(&stereo)}) {
        AbortFlag abort = 0;
        SoundUPtr result = BalanceConstant(*sound, &abort, 0.5, true, true, false);
        ASSERT_NE(result, nullptr);
        ExpectFormat(*result, 2, rate, 1);
        EXPECT_EQ(result->GetValues(), 119);
        // The left side is delayed (and scaled by (1 - 0.5) * 0.5); the right side, leaning
        // the other way, is not delayed and keeps its level, padded with zeros at its end.
        EXPECT_EQ((*result->GetRightWave())[0], -3000);
        EXPECT_EQ((*result->GetRightWave())[99], -2000);
        EXPECT_EQ((*result->GetRightWave())[118], 0);
        EXPECT_EQ((*result->GetLeftWave())[0], 0);
    }
    AbortFlag abort = 0;
    SoundUPtr a = BalanceConstant(mono, &abort, -0.25, false, false, true);
    SoundUPtr b = BalanceConstant(stereo, &abort, -0.25, false, false, true);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->GetValues(), 100);
    EXPECT_EQ(ChannelsOf(*a), ChannelsOf(*b));
}

TEST(Balance, EnvelopeReadsTheAngleThroughTheMonoMix)
{
    const int32_t rate = 44100;
    MonoSound mono(MakeWaveOf(50, [](int32_t) { return 2000; }), rate, 2);
    // Mean -16384: the angle leans left all the way.
    auto stereoEnvelope = StereoOf({-32768, -32768}, {0, 0});
    auto monoEnvelope = MonoOf({-16384, -16384});
    AbortFlag abort = 0;
    SoundUPtr a = BalanceEnvelope(mono, &abort, *stereoEnvelope, true, true, false);
    SoundUPtr b = BalanceEnvelope(mono, &abort, *monoEnvelope, true, true, false);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    // 50 + 2 * trunc(44100 / 3400 + 1) values on both sides.
    EXPECT_EQ(a->GetLeftWave()->Values(), 76);
    EXPECT_EQ(a->GetRightWave()->Values(), 76);
    ExpectFormat(*a, 2, rate, 2);
    EXPECT_EQ(ChannelsOf(*a), ChannelsOf(*b));
}

} // namespace
