// The sound operations: how times become counts, which channel of an envelope or partner each
// channel reads, rates, levels, moves and balance by hand; and every operation at once: a
// stereo sound is its two channels worked alone, a stop or a memory failure at any point gives
// no result and leaves the range, an empty envelope is refused with its reason.

#include "sound/SoundOps.h"

#include "general/random/Random15.h"
#include "sound/SineTable.h"
#include "sound/WavePrimitives.h"
#include "support/Signals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using V = std::vector<int>;
using Channels = std::vector<V>;
const double R = OpsRate;
const double NaN = std::numeric_limits<double>::quiet_NaN();

bool SawMemoryBox(const RecordedBoxes& boxes)
{
    return std::count(boxes.texts.begin(), boxes.texts.end(), NoMemoryBox) > 0;
}

SoundUPtr Source(bool stereo, const V& left, const V& right, int32_t rate = OpsRate)
{
    return stereo ? SoundUPtr(StereoOf(left, right, rate)) : SoundUPtr(MonoOf(left, rate));
}

using SoundOpsWithSinus = WithSineTable;

using Insert = std::function<SoundUPtr(const Sound&, AbortFlag*, int32_t*, int32_t*)>;

} // namespace

// ---- Times as counts: count+1, count or rate, each by its rule -----------------------------

TEST_F(SoundOpsWithSinus, TimesBecomeCountsByTheirRule)
{
    const double amp = 100, per = 4 / R, t = 1, f = 1, ph = 0;
    // Each inserts at the cursor 2 of a 4-value sound; the values around it stay.
    // clang-format off
    const std::tuple<const char*, int32_t, Insert, int64_t> cases[] = {
        {"silence of no time is one value", OpsRate, [](auto& s, auto* a, auto* b, auto* e) { return MakeSilence(s, a, 0, b, e); }, 1},
        {"silence rounds down", OpsRate, [](auto& s, auto* a, auto* b, auto* e) { return MakeSilence(s, a, 10.75 / R, b, e); }, 11},
        {"silence of whole values", OpsRate, [](auto& s, auto* a, auto* b, auto* e) { return MakeSilence(s, a, 11 / R, b, e); }, 12},
        {"silence of half a second", 8000, [](auto& s, auto* a, auto* b, auto* e) { return MakeSilence(s, a, 0.5, b, e); }, 4001},
        {"a line of no time is two values", OpsRate, [](auto& s, auto* a, auto* b, auto* e) { return MakeLine(s, a, -5, 5, 0, false, b, e); }, 2},
        {"line rounds down", OpsRate, [](auto& s, auto* a, auto* b, auto* e) { return MakeLine(s, a, 5, 500, 10.75 / R, true, b, e); }, 11},
        {"noise of no time is nothing", OpsRate, [](auto& s, auto* a, auto* b, auto* e) { return MakeNoise(s, a, 100, 0, b, e); }, 0},
        {"noise rounds down", OpsRate, [](auto& s, auto* a, auto* b, auto* e) { return MakeNoise(s, a, 100, 10.75 / R, b, e); }, 10},
        {"noise of half a second", 8000, [](auto& s, auto* a, auto* b, auto* e) { return MakeNoise(s, a, 100, 0.5, b, e); }, 4000},
        {"triangle rounds down", OpsRate, [](auto& s, auto* a, auto* b, auto* e) { return MakeBlockTriangle(s, a, 100, -100, 4 / R, 0.5, 10.75 / R, 0, true, b, e); }, 10},
        {"partials round down", OpsRate, [&](auto& s, auto* a, auto* b, auto* e) { return MakeMFreq(s, a, 10.75 / R, 1, &amp, &per, &t, &f, &ph, b, e); }, 10},
        // A period of 4.5 values, two periods long, is 9 values (4 would give 8).
        {"a sine period keeps its fraction", OpsRate, [](auto& s, auto* a, auto* b, auto* e) { return MakeSinus(s, a, 100, -100, 4.5 / R, 2.0, 0, b, e); }, 9},
    };
    // clang-format on
    for (const auto& [name, rate, run, count] : cases)
        for (bool stereo : {false, true}) {
            SCOPED_TRACE(name);
            const SoundUPtr sound = Source(stereo, {1, 2, 3, 4}, {5, 6, 7, 8}, rate);
            AbortFlag abort = 0;
            int32_t begin = 2, end = 2;
            const SoundUPtr result = run(*sound, &abort, &begin, &end);
            ASSERT_NE(result, nullptr);
            EXPECT_EQ((V{result->GetValues(), begin, end}), (V{int(4 + count), 2, int(2 + count)}));
            ExpectFormat(*result, stereo ? 2 : 1, rate, OpsBytes);
            EXPECT_EQ((*result->GetLeftWave())[1], 2);
            EXPECT_EQ((*result->GetRightWave())[end], stereo ? 7 : 3);
        }
}

TEST_F(SoundOpsWithSinus, PartialsReachTheirFactorAfterTheirTime)
{
    // 0.25 after two values of time is 0.5 per value: half of the table's top (32766) from a
    // quarter period on, along a period of 8 values, halving after every value.
    const double amp = 0.5, per = 8 / R, t = 2 / R, f = 0.25, ph = 0.25;
    AbortFlag abort = 0;
    int32_t b = 0, e = 0;
    const SoundUPtr s =
        MakeMFreq(MonoSound(OpsRate, 1), &abort, 6 / R, 1, &amp, &per, &t, &f, &ph, &b, &e);
    EXPECT_EQ(ChannelsOf(*s), (Channels{{16383, 5792, 0, -1447, -1023, -362}}));
}

TEST(SoundOps, KnownResults)
{
    // clang-format off
    const std::tuple<const char*, std::function<SoundUPtr(AbortFlag*)>, Channels> cases[] = {
        // Blocks of 2.5 values end at 2.5, 5, 7.5 and 10 truncated: a rate keeps its fraction.
        {"block length", [](AbortFlag* a) { return Block(*MonoOf(ValuesOf(Ramp(10, 10))), a, 2.5 / R, 0, 0, -1); }, {{5, 5, 30, 30, 30, 55, 55, 80, 80, 80}}},
        // 3.75 values of time rotate by 3.
        {"rotation", [](AbortFlag* a) { return Rotate(*StereoOf(ValuesOf(Ramp(7, 1)), ValuesOf(Ramp(7, 1, 10))), a, 3.75 / R, 1, 6); }, {{0, 4, 5, 1, 2, 3, 6}, {10, 14, 15, 11, 12, 13, 16}}},
        // (3 - 1) * 2.0009 + 1 = 5 values read 3/5 apart; one past the end reads silence.
        {"new rate truncated", [](AbortFlag* a) { return ChangeSampleFreq(*StereoOf({0, 100, 200}, {0, -100, -200}), a, 2048.9); }, {{0, 60, 120, 180, 120}, {0, -60, -120, -180, -120}}},
        {"a count of silence replaces the whole sound", [](AbortFlag* a) { return MakeSilenceCount(*StereoOf({1, 2, 3}, {4, 5, 6}), a, 2.9); }, {{0, 0}, {0, 0}}},
        {"delete the rest", [](AbortFlag* a) { return Delete(*StereoOf({1, 2, 3}, {4, 5, 6}), a, 1, -1); }, {{1}, {4}}},
        // Stereo: 0.5 * 32767 / 4000 for both channels, so their balance stays.
        {"level of the louder channel", [](AbortFlag* a) { return VolumeToLevel(*StereoOf({1000, -500, 0, 2000}, {-4000, 100, 3000, 0}), a, 0.5, 0, -1); }, {{4095, -2047, 0, 8191}, {-16383, 409, 12287, 0}}},
        {"level of mono", [](AbortFlag* a) { return VolumeToLevel(*MonoOf({1000, -500, 0, 2000}), a, 0.5, 0, -1); }, {{8191, -4095, 0, 16383}}},
        // Peak of [1, 3) over both channels is 300.
        {"max volume of the range", [](AbortFlag* a) { return MaxVolume(*StereoOf({30000, 100, -200, 30000}, {-30000, 300, 50, -30000}), a, 1, 3); }, {{30000, 10922, -21844, 30000}, {-30000, 32767, 5461, -30000}}},
        {"0.7 of the range", [](AbortFlag* a) { return Volume07(*StereoOf({30000, 100, -200, 30000}, {-30000, 300, 50, -30000}), a, 1, 3); }, {{30000, 7645, -15291, 30000}, {-30000, 22936, 3822, -30000}}},
        {"silent range", [](AbortFlag* a) { return MaxVolume(*StereoOf({5, 0, 0, 5}, {-5, 0, 0, -5}), a, 1, 3); }, {{5, 0, 0, 5}, {-5, 0, 0, -5}}},
        // The envelope at the start, middle and end of the range: 0, 16383.5, 32767.
        {"mono envelope drives both", [](AbortFlag* a) { return VolumeEnvelope(*StereoOf(V(3, 1000), V(3, -2000)), a, *MonoOf({0, 32767}), 0, 3); }, {{0, 500, 1000}, {0, -1000, -2000}}},
        {"stereo envelope side by side", [](AbortFlag* a) { return VolumeEnvelope(*StereoOf(V(3, 1000), V(3, -2000)), a, *StereoOf({32767, 32767}, {0, 32767}), 0, 3); }, {{1000, 1000, 1000}, {0, -1000, -2000}}},
        {"stereo envelope on mono: the mean", [](AbortFlag* a) { return VolumeEnvelope(*MonoOf(V(3, 1000)), a, *StereoOf({32767, 32767}, {0, 0}), 0, 3); }, {{499, 499, 499}}},
        {"envelope at its own rate", [](AbortFlag* a) { return VolumeEnvelope(*MonoOf(V(3, 1000)), a, *MonoOf({0, 32767}, 8), 0, 3); }, {{0, 500, 1000}}},
        {"mono partner into both", [](AbortFlag* a) { return Paste(*StereoOf({0, 0, 0}, {1, 1, 1}), a, *MonoOf({10, 20}), 1, 2); }, {{0, 10, 20, 0}, {1, 10, 20, 1}}},
        {"stereo partner into mono: the mean", [](AbortFlag* a) { return Paste(*MonoOf({0, 0, 0}), a, *StereoOf({10, 20}, {30, -21}), 0, 0); }, {{20, 0, 0, 0, 0}}},
        {"stereo partner side by side", [](AbortFlag* a) { return Paste(*StereoOf({0, 0, 0}, {1, 1, 1}), a, *StereoOf({10, 20}, {30, -21}), 3, 3); }, {{0, 0, 0, 10, 20}, {1, 1, 1, 30, -21}}},
        {"empty partner pastes nothing", [](AbortFlag* a) { return Paste(*StereoOf({1, 2, 3}, {4, 5, 6}), a, MonoSound(OpsRate / 2, 2), 1, 2); }, {{1, 3}, {4, 6}}},
        // The mean of a partner of twice the rate (0, 50, ... 400) at half its count: 5 values
        // read 9/5 apart.
        {"faster partner is shortened", [](AbortFlag* a) { return Paste(*MonoOf({7, 7}), a, *StereoOf(ValuesOf(Ramp(9, 100)), V(9, 0), 2 * OpsRate), 1, 1); }, {{7, 0, 90, 180, 270, 360, 7}}},
        // Stretched like an envelope: the partner's own two values, read at k * (2 - 1) / (3 - 0 + 1).
        {"stretched partner keeps its rate", [](AbortFlag* a) { return MixStretched(*MonoOf({0, 0, 0}), a, *MonoOf({100, 300}, 512), 0, 3); }, {{100, 150, 200}}},
        // Speed 0 stays where the loop starts: the range's end wraps to its start.
        {"roll-out start at the end", [](AbortFlag* a) { int32_t b = 1, e = 5; return RollOut(*MonoOf({1, 2, 3, 4, 5, 6}), a, *MonoOf({32767}), 0.5, 0.0, 1.0, &b, &e); }, {{1, 2, 2, 6}}},
        // new left = left * 0.5 + right * 2, new right = right * 0.25 + left * -1, over [1, 3).
        {"left and right shares", [](AbortFlag* a) { return MixLeftRight(*StereoOf(V(3, 1000), V(3, -200)), a, 0.5, -1.0, 2.0, 0.25, 1, 3); }, {{1000, 100, 100}, {-200, -1050, -1050}}},
        {"left and right swapped", [](AbortFlag* a) { return MixLeftRight(*StereoOf(V(3, 1000), V(3, -200)), a, 0.0, 1.0, 1.0, 0.0, 0, -1); }, {V(3, -200), V(3, 1000)}},
        // Each channel moved by its own time, 3 values left and right; what moves out of the range
        // adds to the values it lands on, the range's old place keeps only what moved in.
        {"stereo move apart", [](AbortFlag* a) { int32_t b = 8, e = 12; return MoveHConstant(StereoSound(Ramp(20, 1, 100), Ramp(20, 1, 200), OpsRate, 1), a, -3 / R, 3 / R, &b, &e); },
            {{100, 101, 102, 103, 104, 108 + 105, 109 + 106, 110 + 107, 111, 0, 0, 0, 112, 113, 114, 115, 116, 117, 118, 119},
             {200, 201, 202, 203, 204, 205, 206, 207, 0, 0, 0, 208, 209 + 212, 210 + 213, 211 + 214, 215, 216, 217, 218, 219}}},
        {"mono move", [](AbortFlag* a) { int32_t b = 3, e = 6; return MoveHConstant(MonoSound(Ramp(6, 1, 10), OpsRate, 1), a, 2 / R, &b, &e); }, {{10, 11, 12, 0, 0, 13, 14, 15}}},
    };
    // clang-format on
    for (const auto& [name, run, expected] : cases) {
        AbortFlag abort = 0;
        const SoundUPtr result = run(&abort);
        ASSERT_NE(result, nullptr) << name;
        EXPECT_EQ(ChannelsOf(*result), expected) << name;
        EXPECT_EQ(abort, 0) << name;
    }
}

TEST(SoundOps, InPlaceKnownResults)
{
    // clang-format off
    struct Case
    {
        const char* name;
        SoundUPtr sound;
        std::function<bool(Sound&, AbortFlag*)> run;
        Channels expected;
    };
    Case cases[] = {
        {"a longer partner goes on at the start", StereoOf({0, 0, 0, 0}, V(4, 100)), [](Sound& s, AbortFlag* a) { return MixCycleAfterThis(s, a, *MonoOf({1, 2, 3, 4, 5}), 2); }, {{3, 4, 6, 2}, {103, 104, 106, 102}}},
        {"mixed into itself: the old values", MonoOf({1, 2, 3, 4}), [](Sound& s, AbortFlag* a) { return MixAfter(s, a, s, 1); }, {{1, 3, 5, 7}}},
        {"aligned into itself", StereoOf({1, 2, 3, 4}, {10, 20, 30, 40}), [](Sound& s, AbortFlag* a) { return MixAlignedFactor(s, a, s, 0.5, 0.0, 2.0); }, {{1, 2, 5, 8}, {10, 20, 50, 80}}},
        {"cycled into itself", MonoOf({1, 3, 5, 7}), [](Sound& s, AbortFlag* a) { return MixCycleAfterThis(s, a, s, 3); }, {{4, 8, 12, 8}}},
        // p = trunc(6 * 0.5) = 3, q = trunc(4 * 0.5) = 2: partner value 2 falls on value 3.
        {"aligned", MonoOf(V(6, 0)), [](Sound& s, AbortFlag* a) { return MixAligned(s, a, *MonoOf({1, 2, 3, 4}), 0.5, 0.5); }, {{0, 1, 2, 3, 4, 0}}},
        // q counts the partner at this rate: 4 values at half the rate are 7 here, q = 3 = p.
        {"aligned at this rate", MonoOf(V(6, 0)), [](Sound& s, AbortFlag* a) { return MixAligned(s, a, *MonoOf({0, 2, 4, 6}, OpsRate / 2), 0.5, 0.5); }, {{0, 1, 2, 3, 4, 5}}},
        // 2.99 values of time start at value 2; a time far past the end adds nothing.
        {"mix after a time", MonoOf(V(6, 0)), [](Sound& s, AbortFlag* a) { return MixAfterTime(s, a, *MonoOf({10, 20}), 2.99 / R, 1.5) && MixAfterTime(s, a, *MonoOf({10, 20}), 1e15, 1); }, {{0, 0, 15, 30, 0, 0}}},
        // Two values at half the rate are three here, read 2/3 apart.
        {"partner resampled to this rate", MonoOf(V(5, 0)), [](Sound& s, AbortFlag* a) { return MixAfter(s, a, *MonoOf({100, 300}, 512), 1); }, {{0, 100, 233, 200, 0}}},
        {"empty partner adds nothing", StereoOf({1, 2, 3}, {4, 5, 6}), [](Sound& s, AbortFlag* a) { return MixAfter(s, a, MonoSound(OpsRate / 2, 2), 0); }, {{1, 2, 3}, {4, 5, 6}}},
        {"a line of zeros", StereoOf(V(4, 5), V(4, -5)), [](Sound& s, AbortFlag* a) { return DrawLine(s, a, 1, 0, 3, 0); }, {{5, 0, 0, 5}, {-5, 0, 0, -5}}},
        {"level in place", StereoOf({1000, -500, 0, 2000}, {-4000, 100, 3000, 0}), [](Sound& s, AbortFlag* a) { return VolumeToLevelInPlace(s, a, 0.5, 0, -1); }, {{4095, -2047, 0, 8191}, {-16383, 409, 12287, 0}}},
        // Peak 32768: factor 32767 / 32768 keeps -32768 inside the range as -32767.
        {"the lowest value is full scale", StereoOf({-32768, 16384}, {0, 0}), [](Sound& s, AbortFlag* a) { return MaxVolumeInPlace(s, a, 0, 2); }, {{-32767, 16383}, {0, 0}}},
        {"silent range in place", StereoOf({5, 0, 0, 5}, {-5, 0, 0, -5}), [](Sound& s, AbortFlag* a) { return Volume07InPlace(s, a, 1, 3); }, {{5, 0, 0, 5}, {-5, 0, 0, -5}}},
    };
    // clang-format on
    for (const auto& [name, sound, run, expected] : cases) {
        AbortFlag abort = 0;
        ASSERT_TRUE(run(*sound, &abort)) << name;
        EXPECT_EQ(ChannelsOf(*sound), expected) << name;
        EXPECT_EQ(abort, 0) << name;
    }
}

TEST(SoundOps, MovesGrowBothChannelsAlike)
{
    AbortFlag abort = 0;
    // [0, 4) moved left by 3 on one side and right by 2.5 (3 rounded out) on the other: 3
    // zeros in front of both channels and none behind.
    int32_t b = 0, e = 4;
    SoundUPtr r = MoveHConstant(StereoSound(Ramp(10, 1, 100), Ramp(10, 1, 200), OpsRate, 2), &abort,
                                -3 / R, 2.5 / R, &b, &e);
    EXPECT_EQ((V{r->GetLeftWave()->Values(), r->GetRightWave()->Values(), b, e}),
              (V{13, 13, 0, 9}));
    EXPECT_EQ((V{(*r->GetLeftWave())[0], (*r->GetRightWave())[6]}), (V{100, 200}));
    // Margins for shifts up to 3 either way; each side moves by e * maxShift / 32768 of its own:
    // left a hair under 2 values, right 3.
    const auto envelope = StereoOf({32767, 32767}, {-32768, -32768});
    b = 0, e = 12;
    r = MoveHEnvelope(StereoSound(Ramp(12, 1, 100), Ramp(12, 1, 200), OpsRate, 1), &abort, 2 / R,
                      -3 / R, *envelope, &b, &e);
    const Channels c = ChannelsOf(*r);
    EXPECT_EQ((V{int(c[0].size()), int(c[1].size()), b, e}), (V{18, 18, 0, 18}));
    EXPECT_EQ((V{c[0][4], c[0][5], c[1][5], c[1][6]}), (V{0, 100, 0, 200}));
    EXPECT_EQ(abort, 0);
}

TEST(SoundOps, BalanceMakesAStereoPairOfTheFirstChannel)
{
    const WavePtr source = MakeWaveOf(100, [](int32_t i) { return (i % 7) * 1000 - 3000; });
    MonoSound mono(CreateWaveCopy(nullptr, source.get()), 44100, 1);
    StereoSound stereo(CreateWaveCopy(nullptr, source.get()), Constant(100, 12345), 44100, 1);
    AbortFlag abort = 0;
    // A delay of sin(0.5 pi / 2) * 44100 * 2 / 3400 = 18.34 values: 100 + 1 + 18 on each side.
    // The left side is delayed and scaled; the right one, leaning away, keeps its level.
    for (const Sound* sound :
         {static_cast<const Sound*>(&mono), static_cast<const Sound*>(&stereo)}) {
        const SoundUPtr r = BalanceConstant(*sound, &abort, 0.5, true, true, false);
        ExpectFormat(*r, 2, 44100, 1);
        const Channels c = ChannelsOf(*r);
        EXPECT_EQ((V{int(c[1].size()), c[1][0], c[1][99], c[1][118], c[0][0]}),
                  (V{119, -3000, -2000, 0, 0}));
    }
    EXPECT_EQ(ChannelsOf(*BalanceConstant(mono, &abort, -0.25, false, false, true)),
              ChannelsOf(*BalanceConstant(stereo, &abort, -0.25, false, false, true)));
    // An angle envelope is read through the mono mix: mean -16384 leans left all the way.
    MonoSound level(Constant(50, 2000), 44100, 2);
    const SoundUPtr a =
        BalanceEnvelope(level, &abort, *StereoOf({-32768, -32768}, {0, 0}), true, true, false);
    EXPECT_EQ(a->GetLeftWave()->Values(), 50 + 2 * 13);
    EXPECT_EQ(ChannelsOf(*a), ChannelsOf(*BalanceEnvelope(level, &abort, *MonoOf({-16384, -16384}),
                                                          true, true, false)));
    EXPECT_EQ(abort, 0);
}

TEST(SoundOps, BrokenPreconditionsAndImpossibleCountsStopTheCommand)
{
    const auto sound = MonoOf({1, 2, 3, 4});
    const auto envelope = MonoOf({32767});
    int32_t b = 0, e = 4;
    const ResFilters none{nullptr, nullptr, nullptr, nullptr};
    // clang-format off
    const std::pair<const char*, std::function<SoundUPtr(AbortFlag*)>> cases[] = {
        {"newFreq >= 1 && newFreq <= INT32_MAX", [&](AbortFlag* a) { return ChangeSampleFreq(*sound, a, 0.5); }},
        {"newFreq >= 1 && newFreq <= INT32_MAX", [&](AbortFlag* a) { return ChangeSampleFreq(*sound, a, 3e9); }},
        {"newFreq >= 1 && newFreq <= INT32_MAX", [&](AbortFlag* a) { return ChangeSampleFreq(*sound, a, NaN); }},
        {"sound.GetSampleFreq() > 0", [&](AbortFlag* a) { return ChangeSampleFreq(*MonoOf({1, 2}, 0), a, 8000); }},
        {"lengthfactor > 0", [&](AbortFlag* a) { return RollOut(*sound, a, *envelope, 0.0, 1.0, 0.0, &b, &e); }},
        {"startpos >= 0", [&](AbortFlag* a) { return RollOut(*sound, a, *envelope, 1.0, 1.0, -0.25, &b, &e); }},
        {"startpos < length", [&](AbortFlag* a) { int32_t x = 2, y = 2; return RollOut(*sound, a, *envelope, 1.0, 1.0, 0.0, &x, &y); }},
        {"filter != nullptr", [&](AbortFlag* a) { return FilterConstant(*sound, a, nullptr, 0.01, 0.5, 1, 1, 0, 4); }},
        {"filter != nullptr", [&](AbortFlag* a) { return FilterEnvelope(*sound, a, nullptr, *envelope, 0.5, 1, 1, 0, 4); }},
        {"chosenFilterGiven", [&](AbortFlag* a) { return FilterTwoParams(*sound, a, true, true, 0.01, 0.5, nullptr, nullptr, none, 0, 4); }},
        {"GetValues() != 0", [&](AbortFlag* a) { return MixLeftRight(StereoSound(8000, 2), a, 1, 0, 0, 1, 0, -1); }},
        {"end <= values", [&](AbortFlag* a) { return Volume(*sound, a, 2.0, 0, 5); }},
        {"", [&](AbortFlag* a) { return MakeSilence(*sound, a, 1e12, &b, &e); }},
        {"", [&](AbortFlag* a) { return MakeSilence(*StereoOf({1, 2, 3, 4}, {5, 6, 7, 8}), a, 2147483647.0 / R, &b, &e); }},
        {"", [&](AbortFlag* a) { return MakeNoise(*sound, a, 100, NaN, &b, &e); }},
        {"", [&](AbortFlag* a) { return MakeLine(*StereoOf({1, 2, 3, 4}, {5, 6, 7, 8}), a, 1, 2, 1.0 / 0.0, false, &b, &e); }},
    };
    // clang-format on
    for (const auto& [condition, run] : cases) {
        RecordedBoxes boxes;
        AbortFlag abort = 0;
        EXPECT_EQ(run(&abort), nullptr) << condition;
        ExpectStopped(boxes, abort, condition);
        EXPECT_EQ((V{b, e}), (V{0, 4}));
    }
}

// ---- Every operation -----------------------------------------------------------------------

namespace {

struct World
{
    const Sound& envelope;
    const Sound& partner;
};

using RunNew = std::function<SoundUPtr(const Sound&, AbortFlag*, const World&, int32_t*, int32_t*)>;
using RunInPlace = std::function<bool(Sound&, AbortFlag*, const World&)>;

struct Op
{
    const char* name;
    RunNew make; ///< or
    RunInPlace change;
    bool perChannel = true; ///< a stereo result is its channels worked alone
};

const double Amps[] = {1000, 500}, Pers[] = {4 / R, 2.5 / R}, Times[] = {8 / R, 4 / R},
             Facs[] = {0.5, 0.25}, Phases[] = {0, 0.5};

// clang-format off
#define MAKE(expr) [](const Sound& s, AbortFlag* a, const World& o, int32_t* b, int32_t* e) { (void)o; (void)b; (void)e; return expr; }, RunInPlace()
#define CHANGE(expr) RunNew(), [](Sound& s, AbortFlag* a, const World& o) { (void)o; return expr; }

const Op Ops[] = {
    {"ChangeSampleFreq", MAKE(ChangeSampleFreq(s, a, 2048.0))},
    {"Length", MAKE(Length(s, a, 0.5, b, e))},
    {"Resample", MAKE(Resample(s, a, -2.0))},
    {"MoveV", MAKE(MoveV(s, a, 30000, *b, *e))},
    {"NormalizeV", MAKE(NormalizeV(s, a, *b, *e))},
    {"Block", MAKE(Block(s, a, 2.5 / R, 3, *b, *e))},
    {"Rotate", MAKE(Rotate(s, a, 3.75 / R, *b, *e))},
    {"Reverse", MAKE(Reverse(s, a, *b, *e))},
    {"Distort", MAKE(Distort(s, a, o.envelope, *b, *e))},
    {"Volume", MAKE(Volume(s, a, 1.5, *b, *e))},
    {"VolumeEnvelope", MAKE(VolumeEnvelope(s, a, o.envelope, *b, *e))},
    {"VolumeToLevel", MAKE(VolumeToLevel(s, a, 0.5, *b, *e)), false},
    {"MaxVolume", MAKE(MaxVolume(s, a, *b, *e)), false},
    {"Volume07", MAKE(Volume07(s, a, *b, *e)), false},
    {"MakeSilence", MAKE(MakeSilence(s, a, 10.5 / R, b, e))},
    {"MakeSilenceCount", MAKE(MakeSilenceCount(s, a, 5.9))},
    {"MakeLine", MAKE(MakeLine(s, a, 100, 1000, 10.5 / R, false, b, e))},
    {"MakeLineGeometric", MAKE(MakeLine(s, a, 100, 1000, 10.5 / R, true, b, e))},
    {"MakeBlockTriangle", MAKE(MakeBlockTriangle(s, a, 1000, -3000, 4.5 / R, 0.25, 10.5 / R, 0.1, true, b, e))},
    {"MakeBlockTriangleEnvelope", MAKE(MakeBlockTriangleEnvelope(s, a, 1000, -3000, 4.5 / R, o.envelope, 10.5 / R, 0.1, false, b, e))},
    {"MakeSinus", MAKE(MakeSinus(s, a, 1000, -3000, 4.5 / R, 2.0, 0.25, b, e))},
    {"MakeNoise", MAKE(MakeNoise(s, a, 1000, 10.5 / R, b, e)), false},
    {"MakeMFreq", MAKE(MakeMFreq(s, a, 10.5 / R, 2, Amps, Pers, Times, Facs, Phases, b, e))},
    {"MakeMFreqForm", MAKE(MakeMFreqForm(s, a, 10.5 / R, o.envelope, 2, Amps, Pers, Times, Facs, Phases, b, e))},
    {"RepeatPart", MAKE(RepeatPart(s, a, 3.5 / R, 3.0, 0.25, b, e))},
    {"RollIn", MAKE(RollIn(s, a, 5.5 / R, 1, b, e))},
    {"RollOut", MAKE(RollOut(s, a, o.envelope, 1.5, 1.25, 0.25, b, e))},
    {"Delete", MAKE(Delete(s, a, *b, *e))},
    {"DeleteAll", MAKE(Delete(s, a, 0, 12))},
    {"CreateEmpty", MAKE(CreateEmpty(s, a))},
    {"CopyPart", MAKE(CopyPart(s, a, *b, *e))},
    {"CopyPartEmpty", MAKE(CopyPart(s, a, *b, *b))},
    {"Paste", MAKE(Paste(s, a, o.partner, *b, *e))},
    {"EditMixBefore", MAKE(EditMixBefore(s, a, o.partner, 3, -1, false))},
    {"EditMixAfter", MAKE(EditMixAfter(s, a, o.partner, 10, 3, true))},
    {"MixStretched", MAKE(MixStretched(s, a, o.partner, *b, *e))},
    {"FilterConstantLow", MAKE(FilterConstant(s, a, TheFilterTable.low.constant, 4.5 / R, 0.5, 2, 3, *b, *e))},
    {"FilterEnvelopeHigh", MAKE(FilterEnvelope(s, a, TheFilterTable.high.envelope, o.envelope, 0.5, 1, 2, *b, *e))},
    {"FilterTwoParamsConstant", MAKE(FilterTwoParams(s, a, true, true, 4.5 / R, 0.25, nullptr, nullptr, TheFilterTable.resonance, *b, *e))},
    {"FilterTwoParamsFrequency", MAKE(FilterTwoParams(s, a, false, true, 4.5 / R, 0.25, &o.envelope, nullptr, TheFilterTable.notch, *b, *e))},
    {"FilterTwoParamsFactor", MAKE(FilterTwoParams(s, a, true, false, 4.5 / R, 0.25, nullptr, &o.envelope, TheFilterTable.resonance, *b, *e))},
    {"FilterTwoParamsEnvelopes", MAKE(FilterTwoParams(s, a, false, false, 4.5 / R, 0.25, &o.envelope, &o.partner, TheFilterTable.notch, *b, *e))},
    {"FilterBlock", MAKE(FilterBlock(s, a, 2.5 / R, b, e))},
    {"FilterBlockEnvelope", MAKE(FilterBlockEnvelope(s, a, o.envelope, 2.5 / R, b, e))},
    {"PerEcho", MAKE(PerEcho(s, a, 2.5 / R, 0.5, 2, b, e))},
    {"PerEchoFactorEnvelope", MAKE(PerEchoFactorEnvelope(s, a, -2.5 / R, o.envelope, 2, b, e))},
    {"PerEchoDelayEnvelope", MAKE(PerEchoDelayEnvelope(s, a, 3.5 / R, o.envelope, 0.5, 3, b, e))},
    {"PerEchoEnvelopes", MAKE(PerEchoEnvelopes(s, a, 3.5 / R, o.envelope, o.partner, 3, b, e))},
    {"TempoPitchWhole", MAKE(TempoPitchWhole(s, a, 1.0, 0.25, 1.5, 1.25, 4.75 / R, 0))},
    {"TempoPitchWholeTwoHeads", MAKE(TempoPitchWhole(s, a, 1.0, 0.25, 1.5, 1.25, 4.75 / R, 1))},
    {"TempoPitch", MAKE(TempoPitch(s, a, 0.5, 0.0, 2.0, 0.75, 4.75 / R, 2, b, e))},
    {"TempoPitchFreqEnvelope", MAKE(TempoPitchFreqEnvelope(s, a, 0.5, 0.0, 2.0, 0.75, o.envelope, 4.75 / R, 1, b, e))},
    {"TempoPitchSpeedEnvelope", MAKE(TempoPitchSpeedEnvelope(s, a, 0.5, o.partner, 0.0, 2.0, 0.75, 4.75 / R, 0, b, e))},
    {"TempoPitchEnvelopes", MAKE(TempoPitchEnvelopes(s, a, 0.5, o.partner, 0.0, 2.0, 0.75, o.envelope, 4.75 / R, 1, b, e))},
    {"VolumeInPlace", CHANGE(VolumeInPlace(s, a, -0.75, 2, 9))},
    {"VolumeToLevelInPlace", CHANGE(VolumeToLevelInPlace(s, a, 0.25, 2, 9)), false},
    {"MaxVolumeInPlace", CHANGE(MaxVolumeInPlace(s, a, 2, 9)), false},
    {"Volume07InPlace", CHANGE(Volume07InPlace(s, a, 2, 9)), false},
    {"DrawLine", CHANGE(DrawLine(s, a, 2, -700, 9, 1400))},
    {"MixAfterTime", CHANGE(MixAfterTime(s, a, o.partner, 9.75 / R, 2.5))},
    {"MixAfterFactor", CHANGE(MixAfterFactor(s, a, o.partner, -2, 0.5))},
    {"MixAfter", CHANGE(MixAfter(s, a, o.partner, 4))},
    {"MixAligned", CHANGE(MixAligned(s, a, o.partner, 0.5, 0.8))},
    {"MixAlignedFactor", CHANGE(MixAlignedFactor(s, a, o.partner, 0.99, 0.0, -1.5))},
    {"MixCycleAfterThis", CHANGE(MixCycleAfterThis(s, a, o.partner, 10))},
};
// clang-format on

const V Left = {1000, -2000, 3000, 4000, -5000, 6000, 700, -800, 900, 1000, -1100, 1200};
const V Right = {-300, 2500, -3500, 1500, 8000, -6000, 250, 4000, -7000, 100, 2200, -900};
const V EnvLeft = {0, 16000, 32767, 8000, -4000}, EnvRight = {32767, -32768, 1000, 20000, 5};
// The partner at half this rate, so that it is resampled when mixed or pasted.
const V PartLeft = {100, 200, 300, 400, 500}, PartRight = {-10, -20, -30, -40, -50};

struct Outcome
{
    SoundUPtr sound; ///< the result, or the sound changed in place
    bool done;
    int32_t begin = 2, end = 9;
};

Outcome RunOp(const Op& op, SoundUPtr source, const Sound& envelope, const Sound& partner,
              AbortFlag* abort)
{
    const World world{envelope, partner};
    Outcome out{nullptr, false};
    if (op.make) {
        out.sound = op.make(*source, abort, world, &out.begin, &out.end);
        out.done = out.sound != nullptr;
    } else {
        out.done = op.change(*source, abort, world);
        out.sound = std::move(source);
    }
    return out;
}

// The stereo sound, envelope and partner, made before any hook is armed.
Outcome RunStereo(
    const Op& op, AbortFlag* abort, const std::function<void()>& arm = [] {})
{
    SoundUPtr sound = StereoOf(Left, Right), envelope = StereoOf(EnvLeft, EnvRight),
              partner = StereoOf(PartLeft, PartRight, OpsRate / 2);
    arm();
    return RunOp(op, std::move(sound), *envelope, *partner, abort);
}

using EveryOperation = WithSineTableP<Op>;

} // namespace

TEST_P(EveryOperation, StereoIsItsChannelsWorkedAlone)
{
    const Op& op = GetParam();
    AbortFlag abort = 0;
    const Outcome stereo = RunStereo(op, &abort);
    ASSERT_TRUE(stereo.done);
    ExpectFormat(*stereo.sound, 2, op.name == std::string("ChangeSampleFreq") ? 2048 : OpsRate,
                 OpsBytes);
    if (!op.perChannel)
        return;
    const Outcome left =
        RunOp(op, MonoOf(Left), *MonoOf(EnvLeft), *MonoOf(PartLeft, OpsRate / 2), &abort);
    const Outcome right =
        RunOp(op, MonoOf(Right), *MonoOf(EnvRight), *MonoOf(PartRight, OpsRate / 2), &abort);
    ASSERT_TRUE(left.done && right.done);
    EXPECT_EQ(ChannelsOf(*stereo.sound),
              (Channels{ChannelsOf(*left.sound)[0], ChannelsOf(*right.sound)[0]}));
    EXPECT_EQ((V{stereo.begin, stereo.end}), (V{left.begin, left.end}));
    EXPECT_EQ(abort, 0);
}

TEST_P(EveryOperation, AStopOrAMemoryFailureAnywhereGivesNoResult)
{
    const Op& op = GetParam();
    AbortFlag abort = 1;
    RecordedBoxes quiet;
    const Outcome before = RunStereo(op, &abort);
    EXPECT_FALSE(before.done);
    EXPECT_EQ(ChannelsOf(*StereoOf(Left, Right)),
              op.make ? ChannelsOf(*StereoOf(Left, Right)) : ChannelsOf(*before.sound));
    EXPECT_TRUE(quiet.boxes.empty());
    abort = 0;
    SeedRandom15(3);
    const Outcome reference = RunStereo(op, &abort);
    for (bool memory : {true, false})
        for (int k = 0;; ++k) {
            ASSERT_LT(k, 400) << "still stopped";
            RecordedBoxes boxes;
            abort = 0;
            SeedRandom15(3);
            const Outcome r = RunStereo(
                op, &abort, [&] { memory ? FailAllocationsAfter(k) : AbortAfterPolls(k); });
            ResetAllocationFailure();
            ResetAbortHook();
            if (r.done) {
                EXPECT_EQ(abort, 0);
                EXPECT_EQ(ChannelsOf(*r.sound), ChannelsOf(*reference.sound));
                break;
            }
            EXPECT_EQ(abort, 1) << k;
            EXPECT_EQ((V{r.begin, r.end}), (V{2, 9})) << k;
            EXPECT_EQ(SawMemoryBox(boxes), memory) << k;
        }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryOperation, ::testing::ValuesIn(Ops),
                         [](const auto& info) { return std::string(info.param.name); });

// An empty envelope or partner stretched like one is refused with its reason, not stopped.
TEST(SoundOps, EmptyEnvelopesAreRefusedWithTheirReason)
{
    const auto s = StereoOf(Left, Right);
    int32_t b = 2, e = 9;
    using Refuse = std::function<SoundUPtr(const Sound&, AbortFlag*, std::string*)>;
    // clang-format off
    const std::pair<const char*, Refuse> cases[] = {
        {"The distortion curve is empty.", [&](auto& x, auto* a, auto* err) { return Distort(*s, a, x, 2, 9, err); }},
        {"The volume envelope is empty.", [&](auto& x, auto* a, auto* err) { return VolumeEnvelope(*s, a, x, 2, 9, err); }},
        {"The middle envelope is empty.", [&](auto& x, auto* a, auto* err) { return MakeBlockTriangleEnvelope(*s, a, 1, 2, 4 / R, x, 8 / R, 0, true, &b, &e, err); }},
        {"The form is empty.", [&](auto& x, auto* a, auto* err) { return MakeMFreqForm(*s, a, 8 / R, x, 1, Amps, Pers, Times, Facs, Phases, &b, &e, err); }},
        {"The speed envelope is empty.", [&](auto& x, auto* a, auto* err) { return RollOut(*s, a, x, 1.0, 1.0, 0.0, &b, &e, err); }},
        {"The wave to mix is empty.", [&](auto& x, auto* a, auto* err) { return MixStretched(*s, a, x, 2, 9, err); }},
        {"The frequency envelope is empty.", [&](auto& x, auto* a, auto* err) { return FilterEnvelope(*s, a, TheFilterTable.low.envelope, x, 0.5, 1, 1, 2, 9, err); }},
        {"The factor envelope is empty.", [&](auto& x, auto* a, auto* err) { return FilterTwoParams(*s, a, true, false, 4 / R, 0.5, nullptr, &x, TheFilterTable.notch, 2, 9, err); }},
        {"The frequency envelope is empty.", [&](auto&, auto* a, auto* err) { return FilterTwoParams(*s, a, false, true, 4 / R, 0.5, nullptr, nullptr, TheFilterTable.resonance, 2, 9, err); }},
        {"The width envelope is empty.", [&](auto& x, auto* a, auto* err) { return FilterBlockEnvelope(*s, a, x, 2 / R, &b, &e, err); }},
        {"The delay envelope is empty.", [&](auto& x, auto* a, auto* err) { return PerEchoDelayEnvelope(*s, a, 2 / R, x, 0.5, 2, &b, &e, err); }},
        {"The factor envelope is empty.", [&](auto& x, auto* a, auto* err) { return PerEchoFactorEnvelope(*s, a, 2 / R, x, 2, &b, &e, err); }},
        {"The pitch envelope is empty.", [&](auto& x, auto* a, auto* err) { return TempoPitchFreqEnvelope(*s, a, 1, 0, 1, 1, x, 4 / R, 0, &b, &e, err); }},
        {"The speed envelope is empty.", [&](auto& x, auto* a, auto* err) { return TempoPitchSpeedEnvelope(*s, a, 1, x, 0, 1, 1, 4 / R, 1, &b, &e, err); }},
        {"The angle envelope is empty.", [&](auto& x, auto* a, auto* err) { return BalanceEnvelope(*s, a, x, true, true, true, err); }},
        {"The shift envelope is empty.", [&](auto& x, auto* a, auto* err) { return MoveHEnvelope(*s, a, 0.01, -0.01, x, &b, &e, err); }},
        {"The shift envelope is empty.", [&](auto& x, auto* a, auto* err) { return MoveHEnvelope(*MonoOf(Left), a, 0.01, x, &b, &e, err); }},
    };
    // clang-format on
    RecordedBoxes boxes;
    for (const auto& [message, run] : cases)
        for (bool stereoEnvelope : {false, true}) {
            AbortFlag abort = 0;
            std::string error;
            EXPECT_EQ(run(*Source(stereoEnvelope, {}, {}), &abort, &error), nullptr);
            EXPECT_EQ(error, message);
            EXPECT_EQ(abort, 0);
            EXPECT_EQ((V{b, e}), (V{2, 9}));
        }
    EXPECT_TRUE(boxes.boxes.empty());
}
