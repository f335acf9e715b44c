#include "sound/WaveSignal.h"

#include "SignalTestUtil.h"
#include "sound/SineTable.h"
#include "sound/WaveSampling.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kelvorn;
using namespace kelvorn::testing;
using V = std::vector<int32_t>;

// ---- Mixing in place ---------------------------------------------------------------------------

TEST(MixInPlace, CycleWrapsAroundMoreThanOnce)
{
    AbortFlag abort = 0;
    Wave w = MakeWave({1, 2, 3, 4, 5});
    Wave other = MakeWave({10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120});
    mixCycleAfterThis(w, &abort, other, 3);
    // other[0] lands on w[3]; w[0] gets other[2] and other[7], w[3] other[0], [5] and [10].
    EXPECT_EQ(Values(w), (V{111, 132, 153, 184, 215}));
    EXPECT_EQ(abort, 0);
}

TEST(MixInPlace, CycleWrapsAt16Bits)
{
    AbortFlag abort = 0;
    Wave w = MakeWave({32767, -32768});
    mixCycleAfterThis(w, &abort, MakeWave({1, -1}), 0);
    EXPECT_EQ(Values(w), (V{-32768, 32767}));
}

TEST(MixInPlace, CycleRefusesBadPlacesWithTheirCondition)
{
    struct Case
    {
        V values;
        int32_t after;
        const char* condition;
    };
    for (const Case& c : {Case{{}, 0, "values != 0"}, Case{{1, 2, 3}, 3, "after < values"},
                          Case{{1, 2, 3}, -1, "after >= 0"}}) {
        RecordingSink sink;
        AbortFlag abort = 0;
        Wave w = MakeWave(c.values);
        mixCycleAfterThis(w, &abort, MakeWave({5, 5}), c.after);
        EXPECT_TRUE(sink.Saw(c.condition)) << c.condition;
        EXPECT_EQ(Values(w), c.values);
        EXPECT_EQ(abort, 1);
    }
}

TEST(MixInPlace, AddAtStaysInsideBothWaves)
{
    struct Case
    {
        int32_t after;
        V expected;
    };
    for (const Case& c :
         {Case{3, {1, 2, 3, 14, 25}}, Case{-1, {21, 32, 3, 4, 5}}, Case{0, {11, 22, 33, 4, 5}},
          Case{5, {1, 2, 3, 4, 5}}, Case{-3, {1, 2, 3, 4, 5}}}) {
        AbortFlag abort = 0;
        Wave w = MakeWave({1, 2, 3, 4, 5});
        addAt(w, &abort, MakeWave({10, 20, 30}), c.after);
        EXPECT_EQ(Values(w), c.expected) << c.after;
    }
}

TEST(MixInPlace, AddScaledTruncatesTowardZero)
{
    AbortFlag abort = 0;
    Wave w = MakeWave({1, -2, 3, 4, 5});
    addScaledAt(w, &abort, MakeWave({3, -3, 7}), 1, 0.5);
    // -2 + 1.5 = -0.5 -> 0; 3 - 1.5 = 1.5 -> 1; 4 + 3.5 = 7.5 -> 7
    EXPECT_EQ(Values(w), (V{1, 0, 1, 7, 5}));
}

TEST(MixInPlace, AddShiftedPutsOtherBeginOnThisBegin)
{
    AbortFlag abort = 0;
    const Wave other = MakeWave({10, 20, 30, 40, 50, 60});
    Wave w = MakeWave({1, 2, 3, 4, 5});
    addShifted(w, &abort, other, 1, 3);
    EXPECT_EQ(Values(w), (V{31, 42, 53, 64, 5}));

    Wave s = MakeWave({1, 2, 3, 4, 5});
    addShiftedScaled(s, &abort, other, 1, 3, -1.0);
    EXPECT_EQ(Values(s), (V{-29, -38, -47, -56, 5}));

    Wave late = MakeWave({1, 2, 3, 4, 5});
    addShifted(late, &abort, other, 4, 0);
    EXPECT_EQ(Values(late), (V{1, 2, 3, 4, 15}));
}

TEST(MixInPlace, AbortStopsWithinOneBlock)
{
    // The flag byte lies inside the wave being changed: it turns nonzero when index 1500 is
    // written, so the block that starts at 2000 must not run.
    Wave w = Constant(5000, 0);
    auto* flag = reinterpret_cast<AbortFlag*>(&w[1500]);
    mixCycleAfterThis(w, flag, Constant(5000, 1), 0);
    EXPECT_EQ(w[1999], 1);
    EXPECT_EQ(w[2000], 0);
    EXPECT_EQ(w[4999], 0);

    Wave a = Constant(5000, 0);
    addScaledAt(a, reinterpret_cast<AbortFlag*>(&a[2500]), Constant(5000, 3), 0, 1.0);
    EXPECT_EQ(a[2999], 3);
    EXPECT_EQ(a[3000], 0);
}

// ---- Mixing into a new wave --------------------------------------------------------------------

struct AlignCase
{
    const char* name;
    bool alignEnd;
    int32_t at;
    int32_t otherEnd;
    bool fromEnd;
    V expected;
};

class MixAlign : public ::testing::TestWithParam<AlignCase>
{
};

TEST_P(MixAlign, PlacesTheUsedPart)
{
    const AlignCase& c = GetParam();
    AbortFlag abort = 0;
    const Wave w = MakeWave({1, 2, 3, 4, 5});
    const Wave other = MakeWave({10, 20, 30});
    WavePtr out = c.alignEnd ? mixAlignEnd(w, &abort, other, c.at, c.otherEnd, c.fromEnd)
                             : mixAlignBegin(w, &abort, other, c.at, c.otherEnd, c.fromEnd);
    ASSERT_TRUE(out);
    EXPECT_EQ(Values(out), c.expected);
    EXPECT_EQ(Values(w), (V{1, 2, 3, 4, 5}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MixAlign,
    ::testing::Values(AlignCase{"inside", false, 1, -1, false, {1, 12, 23, 34, 5}},
                      AlignCase{"zerosInFront", false, -2, -1, false, {10, 20, 31, 2, 3, 4, 5}},
                      AlignCase{"growsAtEnd", false, 4, -1, false, {1, 2, 3, 4, 15, 20, 30}},
                      AlignCase{"firstTwo", false, 0, 2, false, {11, 22, 3, 4, 5}},
                      AlignCase{"lastTwo", false, 0, 2, true, {21, 32, 3, 4, 5}},
                      AlignCase{"fromEndAll", false, 0, -1, true, {11, 22, 33, 4, 5}},
                      AlignCase{"otherEndBeyond", false, 0, 7, true, {11, 22, 33, 4, 5}},
                      AlignCase{"beyondBothEnds", false, -1, -1, false, {10, 21, 32, 3, 4, 5}},
                      AlignCase{"farOut", false, 7, 1, false, {1, 2, 3, 4, 5, 0, 0, 10}},
                      AlignCase{"endAtEnd", true, 5, -1, false, {1, 2, 13, 24, 35}},
                      AlignCase{"endBeforeStart", true, 1, -1, false, {10, 20, 31, 2, 3, 4, 5}},
                      AlignCase{"endLastTwo", true, 5, 2, true, {1, 2, 3, 24, 35}},
                      AlignCase{"endPastEnd", true, 6, 1, false, {1, 2, 3, 4, 5, 10}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MixStretch, StretchesOtherWithoutReachingItsEnd)
{
    AbortFlag abort = 0;
    const Wave w = Constant(6, 7);
    WavePtr out = mixStretch(w, &abort, MakeWave({0, 1000, 2000, 3000, 4000, 5000}), 1, 5);
    // D = 4 + 1, so value k reads other at k: 5000 is never reached.
    EXPECT_EQ(Values(out), (V{7, 7, 1007, 2007, 3007, 7}));
}

TEST(MixStretch, InterpolatesAndTruncatesTowardZero)
{
    AbortFlag abort = 0;
    // Three values, D = 4: other is read at 0, 1/4 and 1/2.
    EXPECT_EQ(Values(mixStretch(MakeWave({1, -1, -1}), &abort, MakeWave({0, 100}), 0, -1)),
              (V{1, 24, 49}));
    EXPECT_EQ(Values(mixStretch(MakeWave({0, 0, 0}), &abort, MakeWave({0, -10}), 0, -1)),
              (V{0, -2, -5}));
}

TEST(MixStretch, OneValueRangeAndOneValueOther)
{
    AbortFlag abort = 0;
    EXPECT_EQ(Values(mixStretch(MakeWave({1, 2, 3, 4}), &abort, MakeWave({-5, 9}), 2, 3)),
              (V{1, 2, -2, 4}));
    EXPECT_EQ(Values(mixStretch(MakeWave({1, 2, 3, 4}), &abort, MakeWave({32767}), 0, -1)),
              (V{-32768, -32767, -32766, -32765}));
}

TEST(MixStretch, RefusesAnEmptyPartner)
{
    AbortFlag abort = 0;
    std::string error;
    EXPECT_EQ(mixStretch(MakeWave({1, 2}), &abort, Wave(), 0, -1, &error), nullptr);
    EXPECT_EQ(error, "The wave to mix is empty.");
    EXPECT_EQ(abort, 0);
}

TEST(MixWeighted, WeighsTheRangeAndWraps)
{
    AbortFlag abort = 0;
    const Wave w = MakeWave({10, 20000, -3, 7, 5});
    WavePtr out = mixWeighted(w, &abort, 2.0, MakeWave({1, 2, 3, 4, 5}), -1.0, 1, 4);
    // 40000 - 2 = 39998 keeps its low 16 bits: -25538.
    EXPECT_EQ(Values(out), (V{10, -25538, -9, 10, 5}));
}

TEST(MixWeighted, TruncatesTowardZeroAndTakesEndMinusOne)
{
    AbortFlag abort = 0;
    WavePtr out =
        mixWeighted(MakeWave({-7, 7, 1, 2}), &abort, 0.3, MakeWave({0, 0, 3, 1}), 0.3, 1, -1);
    // 7 * 0.3 = 2.1 -> 2; 0.3 + 0.9 = 1.2 -> 1; 0.6 + 0.3 = 0.9 -> 0; index 0 stays.
    EXPECT_EQ(Values(out), (V{-7, 2, 1, 0}));
}

TEST(MixHalf, MeansTowardZero)
{
    AbortFlag abort = 0;
    WavePtr out = mixHalf(MakeWave({3, -3, 32767, -32768, 1, -1}), &abort,
                          MakeWave({4, -4, 32767, -32768, 0, -32768}));
    EXPECT_EQ(Values(out), (V{3, -3, 32767, -32768, 0, -16384}));

    WavePtr empty = mixHalf(Wave(), &abort, Wave());
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->Values(), 0);
}

TEST(MixHalf, HalvesLikeTheGeneralWeights)
{
    AbortFlag abort = 0;
    const Wave a = MakeWaveOf(3000, [](int32_t i) { return (i * 7919) % 65536 - 32768; });
    const Wave b = MakeWaveOf(3000, [](int32_t i) { return (i * 104729) % 65536 - 32768; });
    WavePtr half = mixHalf(a, &abort, b);
    ASSERT_TRUE(half);
    for (int32_t i = 0; i < 3000; ++i)
        ASSERT_EQ((*half)[i], static_cast<int16_t>(std::trunc(a[i] * 0.5 + b[i] * 0.5))) << i;
}

TEST(MixWeighted, RefusesWavesOfDifferentLengths)
{
    RecordingSink sink;
    AbortFlag abort = 0;
    EXPECT_EQ(mixWeighted(MakeWave({1, 2}), &abort, 1, MakeWave({1}), 1, 0, -1), nullptr);
    EXPECT_TRUE(sink.Saw("values == daar->values"));
    EXPECT_EQ(abort, 1);
    abort = 0;
    EXPECT_EQ(mixHalf(MakeWave({1, 2}), &abort, MakeWave({1})), nullptr);
    EXPECT_TRUE(sink.Saw("values == other->values"));
    abort = 0;
    EXPECT_EQ(mixWeighted(MakeWave({1, 2}), &abort, 1, MakeWave({1, 2}), 1, 0, 3), nullptr);
    EXPECT_TRUE(sink.Saw("end <= values"));
}

TEST(MixWeighted, AllocationFailureGivesNoResultAndSetsTheFlag)
{
    RecordingSink sink;
    const Wave a = Constant(10, 1);
    AbortFlag abort = 0;
    {
        FailAllocations fail(0);
        EXPECT_EQ(mixHalf(a, &abort, a), nullptr);
    }
    EXPECT_EQ(abort, 1);
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_EQ(sink.texts[0], "System Error: There is not enough memmory for this operation.");
    // A flag already set gives no result either.
    EXPECT_EQ(mixWeighted(a, &abort, 1, a, 1, 0, -1), nullptr);
}

TEST(MixWeighted, AbortStopsAtTheNextBlock)
{
    const Wave a = Constant(20000, 100);
    AbortFlag abort = 0;
    StopAfterPolls stop(2);
    EXPECT_EQ(mixHalf(a, &abort, a), nullptr);
    EXPECT_EQ(abort, 1);
    EXPECT_EQ(signal::PollsCounted(), 3);
}

// ---- Periodic echo -----------------------------------------------------------------------------

struct EchoCase
{
    const char* name;
    V source;
    int32_t begin, end;
    double diffTime, factor;
    int32_t count;
    V expected;
    int32_t newBegin, newEnd;
};

class PeriodEchoByHand : public ::testing::TestWithParam<EchoCase>
{
};

TEST_P(PeriodEchoByHand, EchoesAndFramesTheResult)
{
    const EchoCase& c = GetParam();
    AbortFlag abort = 0;
    int32_t begin = c.begin;
    int32_t end = c.end;
    WavePtr out =
        periodEcho(MakeWave(c.source), &abort, c.diffTime, c.factor, c.count, &begin, &end);
    EXPECT_EQ(Values(out), c.expected);
    EXPECT_EQ(begin, c.newBegin);
    EXPECT_EQ(end, c.newEnd);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PeriodEchoByHand,
    ::testing::Values(
        // Echo 1 adds half the range two values on, echo 2 a quarter four values on; the wave
        // grows by one value at the end.
        EchoCase{"later",
                 {0, 10, 20, 30, 0, 0, 0, 0, 0},
                 1,
                 4,
                 2.0,
                 0.5,
                 2,
                 {0, 10, 20, 35, 10, 17, 5, 7, 0, 0},
                 1,
                 10},
        EchoCase{
            "ahead", {0, 0, 0, 10, 20, 30}, 3, -1, -2.0, -1.0, 1, {0, -10, -20, -20, 20, 30}, 0, 6},
        EchoCase{"aheadGrowsInFront",
                 {0, 0, 0, 10, 20, 30},
                 3,
                 -1,
                 -2.0,
                 -1.0,
                 2,
                 {0, 0, 10, 20, 20, -20, -20, 20, 30},
                 0,
                 9},
        EchoCase{"fractional", {0, 100, 200, 0, 0}, 1, 3, 0.5, 1.0, 1, {0, 100, 350, 0, 0}, 1, 4},
        EchoCase{"zeroDelayAddsOntoItself", {1, 2, 3}, 0, -1, 0.0, 1.0, 3, {4, 8, 12}, 0, 3},
        EchoCase{"wraps", {30000, 0}, 0, -1, 0.0, 1.0, 1, {-5536, 0}, 0, 2},
        EchoCase{"noEchoes", {1, 2, 3}, 0, 2, 5.0, 1.0, 0, {1, 2, 3}, 0, 2},
        EchoCase{"negativeCountExtendsNothing", {1, 2, 3}, 0, 2, 5.0, 1.0, -2, {1, 2, 3}, 0, 2}),
    [](const auto& info) { return std::string(info.param.name); });

struct EchoEnvCase
{
    const char* name;
    V delay;  // empty: constant delay
    V factor; // empty: constant factor 0.5
    V expected;
};

class PeriodEchoEnvByHand : public ::testing::TestWithParam<EchoEnvCase>
{
};

TEST_P(PeriodEchoEnvByHand, EnvelopesSpanTheExtendedRange)
{
    const EchoEnvCase& c = GetParam();
    AbortFlag abort = 0;
    int32_t begin = 1;
    int32_t end = 4;
    const Wave w = MakeWave({0, 10, 20, 30, 0, 0, 0, 0, 0});
    const Wave delay = MakeWave(c.delay);
    const Wave factor = MakeWave(c.factor);
    WavePtr out;
    if (c.factor.empty())
        out = periodEchoEnv(w, &abort, &delay, 2.0, 0.5, 2, &begin, &end);
    else if (c.delay.empty())
        out = periodEchoEnv(w, &abort, 2.0, &factor, 2, &begin, &end);
    else
        out = periodEchoEnv(w, &abort, &delay, 2.0, &factor, 2, &begin, &end);
    EXPECT_EQ(Values(out), c.expected);
    EXPECT_EQ(begin, 1);
    EXPECT_EQ(end, 10);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PeriodEchoEnvByHand,
    ::testing::Values(
        EchoEnvCase{"fullDelayIsTheConstantEcho", {32767}, {}, {0, 10, 20, 35, 10, 17, 5, 7, 0, 0}},
        // A negative delay value echoes ahead, into the range's own start.
        EchoEnvCase{"negativeDelay", {-32767}, {}, {0, 25, 20, 30, 0, 0, 0, 0, 0, 0}},
        // Delay e(k) * i * 2 / 32767 = (k / 4) * i with k counted from the range start.
        EchoEnvCase{"growingDelay", {0, 32767}, {}, {0, 17, 31, 47, 6, 7, 0, 0, 0, 0}},
        EchoEnvCase{"fullFactor", {}, {32767}, {0, 10, 20, 40, 20, 40, 20, 30, 0, 0}},
        EchoEnvCase{"alternatingFactor", {}, {-32767}, {0, 10, 20, 20, -20, -20, 20, 30, 0, 0}},
        // Factor e(k) / 32767 = 1 - k / 4, raised to the echo number.
        EchoEnvCase{"fallingFactor", {}, {32767, -32767}, {0, 10, 20, 35, 5, 0, 1, 7, 0, 0}},
        EchoEnvCase{"both", {32767}, {-32767}, {0, 10, 20, 20, -20, -20, 20, 30, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PeriodEcho, RefusalsAndFailures)
{
    RecordingSink sink;
    const Wave w = MakeWave({1, 2, 3, 4});
    const Wave none;
    const Wave env = MakeWave({1});
    std::string error;
    AbortFlag abort = 0;
    int32_t begin = 1;
    int32_t end = 2;
    EXPECT_EQ(periodEcho(w, &abort, 1.0, 0.5, 1, &begin, &end), nullptr);
    EXPECT_TRUE(sink.Saw("begin < end - 1"));
    EXPECT_EQ(abort, 1);
    EXPECT_EQ(end, 2);

    abort = 0;
    begin = 0;
    end = -1;
    EXPECT_EQ(periodEchoEnv(w, &abort, &env, -1.0, 0.5, 1, &begin, &end), nullptr);
    EXPECT_TRUE(sink.Saw("diffTime >= 0"));
    EXPECT_EQ(abort, 1);

    abort = 0;
    EXPECT_EQ(periodEchoEnv(w, &abort, 1.0, &none, 1, &begin, &end, &error), nullptr);
    EXPECT_EQ(error, "The factor envelope is empty.");
    EXPECT_EQ(periodEchoEnv(w, &abort, nullptr, 1.0, &env, 1, &begin, &end, &error), nullptr);
    EXPECT_EQ(error, "The delay envelope is empty.");
    EXPECT_EQ(abort, 0);
    EXPECT_EQ(end, -1);

    // Echoes far beyond what a wave can hold take the memory-failure road.
    sink.texts.clear();
    EXPECT_EQ(periodEcho(w, &abort, 1.0e6, 0.5, 100000, &begin, &end), nullptr);
    EXPECT_EQ(abort, 1);
    abort = 0;
    EXPECT_EQ(periodEcho(w, &abort, -3.0e9, 0.5, 2, &begin, &end), nullptr);
    EXPECT_EQ(abort, 1);
    ASSERT_EQ(sink.texts.size(), 2u);
    EXPECT_EQ(sink.texts[0], "System Error: There is not enough memmory for this operation.");
}

TEST(PeriodEcho, WholeValueDelaysAgreeWithTheInterpolatingRoad)
{
    // A whole-value delay takes a road without interpolation; a full delay envelope takes the
    // general one with the same read positions. Both must give the same values.
    const Wave w = MakeWaveOf(6000, [](int32_t i) { return (i * 7919) % 65536 - 32768; });
    const Wave full = MakeWave({32767});
    for (double factor : {0.7, -1.3, 40000.0}) {
        for (double delay : {3.0, 1234.0}) {
            AbortFlag abort = 0;
            int32_t b1 = 500, e1 = 5000, b2 = 500, e2 = 5000;
            WavePtr fast = periodEcho(w, &abort, delay, factor, 3, &b1, &e1);
            WavePtr general = periodEchoEnv(w, &abort, &full, delay, factor, 3, &b2, &e2);
            ASSERT_TRUE(fast && general);
            EXPECT_EQ(Values(fast), Values(general)) << factor << " " << delay;
            EXPECT_EQ(b1, b2);
            EXPECT_EQ(e1, e2);
        }
    }
}

// ---- Tempo and pitch ---------------------------------------------------------------------------

TEST(TempoPitch, OneToOneReproducesTheRange)
{
    AbortFlag abort = 0;
    const Wave w = MakeWaveOf(3000, [](int32_t i) { return (i * 37) % 2001 - 1000; });
    int32_t begin = 100;
    int32_t end = 2900;
    EXPECT_EQ(Values(tempoPitch(w, &abort, 1.0, 0.0, 1.0, 1.0, 64, &begin, &end)), Values(w));
    EXPECT_EQ(end, 2900);
    // Two heads read the same values, but the cross-fade truncates twice: at most one off.
    WavePtr two = tempoPitch2(w, &abort, 1.0, 0.0, 1.0, 1.0, 64, &begin, &end);
    ASSERT_TRUE(two);
    EXPECT_EQ(end, 2900);
    int32_t differ = 0;
    for (int32_t i = 0; i < 3000; ++i) {
        ASSERT_LE(std::abs((*two)[i] - w[i]), 1) << i;
        differ += (*two)[i] != w[i];
    }
    EXPECT_GT(differ, 0);
}

struct TempoCase
{
    const char* name;
    bool twoHeads;
    int32_t begin, end;
    double speed, start, lengthFactor, step;
    int32_t blockTime;
    V expected; // the new part
};

class TempoPitchByHand : public ::testing::TestWithParam<TempoCase>
{
};

TEST_P(TempoPitchByHand, ReadsInBlocks)
{
    const TempoCase& c = GetParam();
    AbortFlag abort = 0;
    const Wave w = MakeWaveOf(8, [](int32_t i) { return 10 * i; });
    int32_t begin = c.begin;
    int32_t end = c.end;
    WavePtr out = (c.twoHeads ? tempoPitch2 : tempoPitch)(
        w, &abort, c.speed, c.start, c.lengthFactor, c.step, c.blockTime, &begin, &end);
    ASSERT_TRUE(out);
    const int32_t resolved = c.end == -1 ? 8 : c.end;
    EXPECT_EQ(end, begin + static_cast<int32_t>(c.expected.size()));
    const V all = Values(out);
    const V src = Values(w);
    EXPECT_EQ(V(all.begin() + begin, all.begin() + end), c.expected);
    EXPECT_EQ(V(all.begin(), all.begin() + begin), V(src.begin(), src.begin() + begin));
    EXPECT_EQ(V(all.begin() + end, all.end()), V(src.begin() + resolved, src.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TempoPitchByHand,
    ::testing::Values(
        // Half tempo, twice as long: every block of 2 starts half a block further on.
        TempoCase{
            "halfTempo", false, 2, 6, 0.5, 0.0, 2.0, 1.0, 2, {20, 30, 30, 40, 40, 50, 50, 60}},
        // An octave up at the same tempo: blocks of 4 read every second value.
        TempoCase{"octaveUp", false, 0, -1, 1.0, 0.0, 1.0, 2.0, 4, {0, 20, 40, 60, 40, 60, 0, 0}},
        TempoCase{
            "octaveDown", false, 0, -1, 1.0, 0.0, 1.0, 0.5, 4, {0, 5, 10, 15, 40, 45, 50, 55}},
        TempoCase{
            "startHalfWay", false, 0, -1, 1.0, 0.5, 1.0, 1.0, 4, {40, 50, 60, 70, 0, 10, 20, 30}},
        TempoCase{"shorter", false, 0, -1, 1.0, 0.0, 0.5, 1.0, 4, {0, 10, 20, 30}},
        // Two heads an octave up: head B starts half a block behind and the two cross-fade.
        TempoCase{"twoHeadsOctaveUp",
                  true,
                  0,
                  -1,
                  1.0,
                  0.0,
                  1.0,
                  2.0,
                  4,
                  {0, 10, 20, 30, 40, 50, 60, 30}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TempoPitch, PitchEnvelopeScalesTheStep)
{
    // Steps 1, 0.75, 0.5, 0.25: the envelope falls from 32767 to 0 over the five new values.
    AbortFlag abort = 0;
    const Wave w = MakeWaveOf(8, [](int32_t i) { return 10 * i; });
    const Wave env = MakeWave({32767, 0});
    int32_t begin = 0;
    int32_t end = 5;
    WavePtr out = tempoPitchFreqEnv(w, &abort, 1.0, 0.0, 1.0, 1.0, &env, 100, &begin, &end);
    EXPECT_EQ(Values(out), (V{0, 10, 17, 22, 25, 50, 60, 70}));
    EXPECT_EQ(end, 5);

    const Wave full = MakeWave({32767});
    begin = 0;
    end = -1;
    EXPECT_EQ(Values(tempoPitch2FreqEnv(w, &abort, 1.0, 0.0, 1.0, 1.0, &full, 4, &begin, &end)),
              Values(w));
}

TEST(TempoPitch, SpeedEnvelopeMovesTheBlockStart)
{
    AbortFlag abort = 0;
    const Wave w = MakeWaveOf(8, [](int32_t i) { return 10 * i; });
    struct Case
    {
        V envelope;
        double lengthFactor;
        V expected;
    };
    for (const Case& c : {
             // Speed 0 repeats the first block.
             Case{{0}, 1.0, {0, 10, 20, 30, 0, 10, 20, 30}},
             // Backwards by a block: reads wrap into the range.
             Case{{-32767}, 1.0, {0, 10, 20, 30, 40, 50, 60, 70}},
             // The jump after block 2 reads the envelope 4/11 of the way: 2.5454 values.
             Case{{32767, 0}, 1.5, {0, 10, 20, 30, 40, 50, 60, 70, 65, 31, 5, 15}},
         }) {
        const Wave env = MakeWave(c.envelope);
        int32_t begin = 0;
        int32_t end = -1;
        WavePtr out =
            tempoPitchSpeedEnv(w, &abort, 1.0, &env, 0.0, c.lengthFactor, 1.0, 4, &begin, &end);
        EXPECT_EQ(Values(out), c.expected);
        EXPECT_EQ(end, static_cast<int32_t>(c.expected.size()));
    }
}

TEST(TempoPitch, RefusalsAndFailures)
{
    RecordingSink sink;
    const Wave w = MakeWaveOf(100, [](int32_t i) { return i; });
    const Wave none;
    const Wave env = MakeWave({5});
    std::string error;
    struct Case
    {
        double speed, lengthFactor;
        int32_t blockTime;
        bool speedEnvelope;
        const char* condition;
    };
    for (const Case& c :
         {Case{0.0, 1.0, 10, false, "speed != 0"}, Case{-1.0, 1.0, 10, true, "speed > 0"},
          Case{1.0, 0.0, 10, false, "lengthFactor > 0"},
          Case{1.0, 1.0, 0, false, "blockTime > 0"}}) {
        AbortFlag abort = 0;
        int32_t begin = 0;
        int32_t end = -1;
        WavePtr out =
            c.speedEnvelope
                ? tempoPitch2SpeedEnv(w, &abort, c.speed, &env, 0, c.lengthFactor, 1, c.blockTime,
                                      &begin, &end)
                : tempoPitch(w, &abort, c.speed, 0, c.lengthFactor, 1, c.blockTime, &begin, &end);
        EXPECT_EQ(out, nullptr);
        EXPECT_TRUE(sink.Saw(c.condition)) << c.condition;
        EXPECT_EQ(abort, 1);
        EXPECT_EQ(end, -1);
    }
    AbortFlag abort = 0;
    int32_t begin = 0;
    int32_t end = -1;
    EXPECT_EQ(tempoPitchEnvs(w, &abort, 1, &env, 0, 1, 1, &none, 10, &begin, &end, &error),
              nullptr);
    EXPECT_EQ(error, "The pitch envelope is empty.");
    EXPECT_EQ(tempoPitch2Envs(w, &abort, 1, nullptr, 0, 1, 1, &env, 10, &begin, &end, &error),
              nullptr);
    EXPECT_EQ(error, "The speed envelope is empty.");
    EXPECT_EQ(abort, 0);
    // A new length beyond what a wave can count: the memory-failure road, nothing allocated.
    sink.texts.clear();
    EXPECT_EQ(tempoPitch(w, &abort, 1, 0, 1.0e9, 1, 10, &begin, &end), nullptr);
    EXPECT_EQ(abort, 1);
    EXPECT_EQ(end, -1);
    EXPECT_EQ(sink.texts, (std::vector<std::string>{
                              "System Error: There is not enough memmory for this operation."}));
}

// ---- Multi-frequency ---------------------------------------------------------------------------

struct Partials
{
    std::vector<double> amplitudes, periods, phases, decays;
};

WavePtr MFreqOf(const Wave& w, AbortFlag* abort, int64_t length, const Wave* form,
                const Partials& p, int32_t* begin, int32_t* end, std::string* error = nullptr)
{
    return makeMFreqForm(w, abort, length, form, static_cast<int32_t>(p.amplitudes.size()),
                         p.amplitudes.data(), p.periods.data(), p.phases.data(), p.decays.data(),
                         begin, end, error);
}

TEST(MFreq, PartialsByHand)
{
    AbortFlag abort = 0;
    const Wave form = MakeWave({0, 100, 200, 300, 400});
    int32_t begin = 0;
    int32_t end = 0;
    // Steps of 5/4 wrap over [0, 4): 0, 1.25, 2.5, 3.75, then 1 and 2.25.
    WavePtr one = MFreqOf(Wave(), &abort, 6, &form, {{1.0}, {4.0}, {0.0}, {1.0}}, &begin, &end);
    EXPECT_EQ(Values(one), (V{0, 125, 250, 375, 100, 225}));
    EXPECT_EQ(end, 6);
    // A second partial at half amplitude, starting half way, halving after every value.
    begin = 0;
    end = 0;
    WavePtr two = MFreqOf(Wave(), &abort, 6, &form,
                          {{1.0, -0.5}, {4.0, 2.0}, {0.0, 0.5}, {1.0, 0.5}}, &begin, &end);
    EXPECT_EQ(Values(two), (V{-125, 100, 206, 362, 98, 220}));
}

TEST(MFreq, AgreesWithTheRuleValueByValue)
{
    // The generator runs partial by partial over blocks and skips the checks for steady
    // partials; the rule runs value by value. Partials with negative periods, steps beyond the
    // form and phases outside it take the checked road.
    const Wave form = MakeWaveOf(37, [](int32_t i) { return (i * 9973) % 60001 - 30000; });
    const Partials p{{0.5, -0.3, 0.25, 0.1, 0.7, 0.05},
                     {10.0, -7.5, 3.3, 0.8, 1000.0, 36.0},
                     {0.0, 0.25, -0.6, 1.7, 0.999, 0.5},
                     {1.0, 0.9999, 1.0001, 0.999, 1.0, 0.99995}};
    const int64_t length = 5000;
    AbortFlag abort = 0;
    int32_t begin = 0;
    int32_t end = 0;
    WavePtr out = MFreqOf(Wave(), &abort, length, &form, p, &begin, &end);
    ASSERT_TRUE(out);
    const double f = form.Values();
    auto wrap = [](double x, double lo, double hi) {
        const double period = hi - lo;
        if (x < lo)
            x += std::trunc((lo - x) / period + 1.0) * period;
        return x - std::trunc((x - lo) / period) * period;
    };
    auto read = [&](double q) {
        if (!(q >= 0.0 && q <= f - 1.0))
            return 0.0;
        const auto i = static_cast<int32_t>(q);
        const double t = q - i;
        return t == 0.0 ? form[i] : (1.0 - t) * form[i] + t * form[i + 1];
    };
    std::vector<double> a = p.amplitudes, pos, step;
    for (size_t j = 0; j < a.size(); ++j) {
        pos.push_back(p.phases[j] * f);
        step.push_back(f / p.periods[j]);
    }
    for (int64_t k = 0; k < length; ++k) {
        double value = 0.0;
        for (size_t j = 0; j < a.size(); ++j) {
            value = std::trunc(read(pos[j]) * a[j] + value);
            a[j] *= p.decays[j];
            pos[j] = wrap(pos[j] + step[j], 0.0, f - 1.0);
        }
        ASSERT_EQ((*out)[static_cast<int32_t>(k)], WrapSample(static_cast<int64_t>(value))) << k;
    }
}

TEST(MFreq, TruncatesAfterEveryPartial)
{
    AbortFlag abort = 0;
    const Wave flat = MakeWave({100, 100});
    int32_t begin = 0;
    int32_t end = 0;
    // Two partials of 0.6 each make 0, not 1; one of 1.2 makes 1.
    EXPECT_EQ(Values(MFreqOf(Wave(), &abort, 3, &flat,
                             {{0.006, 0.006}, {1.0, 1.0}, {0.0, 0.0}, {1.0, 1.0}}, &begin, &end)),
              (V{0, 0, 0}));
    begin = end = 0;
    EXPECT_EQ(
        Values(MFreqOf(Wave(), &abort, 3, &flat, {{0.012}, {1.0}, {0.0}, {1.0}}, &begin, &end)),
        (V{1, 1, 1}));
    begin = end = 0;
    EXPECT_EQ(Values(MFreqOf(Wave(), &abort, 5, &flat, {{1.0}, {1.0}, {0.0}, {0.5}}, &begin, &end)),
              (V{100, 50, 25, 12, 6}));
}

TEST(MFreq, ReplacesTheRange)
{
    AbortFlag abort = 0;
    const Wave flat = MakeWave({100, 100});
    int32_t begin = 1;
    int32_t end = 2;
    WavePtr out =
        MFreqOf(MakeWave({7, 8, 9}), &abort, 3, &flat, {{1.0}, {1.0}, {0.0}, {1.0}}, &begin, &end);
    EXPECT_EQ(Values(out), (V{7, 100, 100, 100, 9}));
    EXPECT_EQ(begin, 1);
    EXPECT_EQ(end, 4);
}

TEST(MFreq, SineTablePartials)
{
    RecordingSink sink;
    AbortFlag abort = 0;
    FreeSinus();
    const double one = 1.0, period = 9000.0, phase = 0.25, keep = 1.0, zero = 0.0;
    int32_t begin = 0;
    int32_t end = 0;
    EXPECT_EQ(makeMFreq(Wave(), &abort, 10, 1, &one, &period, &zero, &keep, &begin, &end), nullptr);
    EXPECT_TRUE(sink.Saw("sinus != NULL"));
    EXPECT_EQ(abort, 1);

    abort = 0;
    ASSERT_TRUE(CreateSinus(&abort));
    const Wave& table = *Sinus();
    WavePtr out = makeMFreq(Wave(), &abort, 100, 1, &one, &period, &zero, &keep, &begin, &end);
    ASSERT_TRUE(out);
    for (int32_t k = 0; k < 100; ++k)
        ASSERT_EQ((*out)[k], table[k]) << k;
    // A quarter period on: the table's top.
    begin = end = 0;
    out = makeMFreq(Wave(), &abort, 1, 1, &one, &period, &phase, &keep, &begin, &end);
    EXPECT_EQ(Values(out), (V{table[2250]}));
    FreeSinus();
}

TEST(MFreq, RefusalsAndFailures)
{
    RecordingSink sink;
    const Wave form = MakeWave({1, 2, 3});
    const Wave single = MakeWave({5});
    const Wave none;
    const Partials p{{1.0}, {10.0}, {0.0}, {1.0}};
    std::string error;
    AbortFlag abort = 0;
    int32_t begin = 0;
    int32_t end = -1;
    EXPECT_EQ(MFreqOf(form, &abort, 10, &none, p, &begin, &end, &error), nullptr);
    EXPECT_EQ(error, "The form is empty.");
    EXPECT_EQ(MFreqOf(form, &abort, 10, nullptr, p, &begin, &end, &error), nullptr);
    EXPECT_EQ(error, "The form is empty.");
    EXPECT_EQ(MFreqOf(form, &abort, 10, &single, p, &begin, &end, &error), nullptr);
    EXPECT_EQ(error, "The form needs at least two values.");
    EXPECT_EQ(abort, 0);
    EXPECT_TRUE(sink.texts.empty());

    EXPECT_EQ(MFreqOf(form, &abort, 10, &form, Partials{}, &begin, &end), nullptr);
    EXPECT_TRUE(sink.Saw("freqCount > 0"));
    EXPECT_EQ(abort, 1);

    abort = 0;
    sink.texts.clear();
    EXPECT_EQ(MFreqOf(form, &abort, -5, &form, p, &begin, &end), nullptr);
    EXPECT_EQ(abort, 1);
    EXPECT_EQ(end, -1);
    EXPECT_EQ(sink.texts, (std::vector<std::string>{
                              "System Error: There is not enough memmory for this operation."}));
}

// ---- Balance -----------------------------------------------------------------------------------

namespace {

Wave Tone(int32_t n, double period)
{
    return MakeWaveOf(n, [=](int32_t i) {
        return static_cast<int32_t>(10000.0 * std::sin(2.0 * M_PI * i / period));
    });
}

int32_t PeakFrom(const WavePtr& w, int32_t from)
{
    int32_t peak = 0;
    for (int32_t i = from; i < w->Values(); ++i)
        peak = std::max(peak, std::abs(int32_t{(*w)[i]}));
    return peak;
}

} // namespace

TEST(Balance, VolumeOnly)
{
    AbortFlag abort = 0;
    const Wave w = MakeWave({100, -101, 32767});
    // Angle 0 halves both sides; angle 1 silences the left and keeps the right.
    EXPECT_EQ(Values(balance(w, &abort, 0.0, 0, false, true, false, 44100)), (V{50, -50, 16383}));
    EXPECT_EQ(Values(balance(w, &abort, 0.0, 1, false, true, false, 44100)), (V{50, -50, 16383}));
    EXPECT_EQ(Values(balance(w, &abort, 1.0, 0, false, true, false, 44100)), (V{0, 0, 0}));
    EXPECT_EQ(Values(balance(w, &abort, 1.0, 1, false, true, false, 44100)), Values(w));
    // Without the delay the volume flag wins over the filter flag.
    EXPECT_EQ(Values(balance(w, &abort, 0.0, 0, false, true, true, 44100)), (V{50, -50, 16383}));
    EXPECT_EQ(Values(balance(w, &abort, 0.7, 1, false, false, false, 44100)), Values(w));
}

TEST(Balance, DelayOrTrailingZeros)
{
    AbortFlag abort = 0;
    const Wave w = MakeWave({100, 200, 300});
    // Far side: delayed by sin(pi / 2) * 2550 * 2 / 3400 = 1.5 values (a hair less with the
    // program's pi), one more value for the fade-out.
    EXPECT_EQ(Values(balance(w, &abort, 1.0, 0, true, false, false, 2550)),
              (V{0, 0, 150, 250, 149}));
    // Near side: not delayed, level kept although the volume flag is set, padded with
    // (|d| + 1) truncated zeros, here d = -1.414.
    EXPECT_EQ(Values(balance(w, &abort, -0.5, 0, true, true, false, 3400)),
              (V{100, 200, 300, 0, 0}));
    EXPECT_EQ(Values(balance(w, &abort, 0.5, 1, true, true, false, 3400)),
              (V{100, 200, 300, 0, 0}));
}

TEST(Balance, FilterFollowsTheAngle)
{
    AbortFlag abort = 0;
    const Wave tone = Tone(8000, 44100.0 / 5000.0);
    // Angle -1 leaves the near side almost unfiltered; angle 1 filters it at about 350 Hz.
    EXPECT_GT(PeakFrom(balance(tone, &abort, -1.0, 0, false, false, true, 44100), 1000), 9000);
    EXPECT_LT(PeakFrom(balance(tone, &abort, 1.0, 0, false, false, true, 44100), 1000), 1500);
    EXPECT_LT(PeakFrom(balance(tone, &abort, -1.0, 1, false, false, true, 44100), 1000), 1500);
    // With the delay the filtered wave is delayed too.
    WavePtr both = balance(tone, &abort, 1.0, 0, true, false, true, 44100);
    EXPECT_EQ(both->Values(), 8000 + 26);
    EXPECT_LT(PeakFrom(both, 1000), 1500);
}

TEST(BalanceEnvelope, VolumeFadesAcrossTheWave)
{
    AbortFlag abort = 0;
    const Wave w = Constant(5, 10000);
    const Wave env = MakeWave({-32768, 32767});
    EXPECT_EQ(Values(balanceEnvelope(w, &abort, &env, 0, false, true, false, 44100)),
              (V{10000, 7500, 5000, 2500, 0}));
    EXPECT_EQ(Values(balanceEnvelope(w, &abort, &env, 1, false, true, false, 44100)),
              (V{0, 2499, 4999, 7499, 9999}));
    EXPECT_EQ(Values(balanceEnvelope(w, &abort, &env, 1, false, false, false, 44100)), Values(w));
}

TEST(BalanceEnvelope, DelayFollowsTheAngle)
{
    AbortFlag abort = 0;
    const Wave w = MakeWave({100, 200, 300});
    const Wave centre = MakeWave({0});
    const Wave right = MakeWave({32767});
    // rate 3400: n = 2 values of margin on both sides.
    EXPECT_EQ(Values(balanceEnvelope(w, &abort, &centre, 0, true, false, false, 3400)),
              (V{0, 0, 100, 200, 300, 0, 0}));
    EXPECT_EQ(Values(balanceEnvelope(w, &abort, &right, 0, true, false, false, 3400)),
              (V{0, 0, 0, 100, 200, 300, 0}));
    EXPECT_EQ(Values(balanceEnvelope(w, &abort, &right, 1, true, false, false, 3400)),
              (V{0, 100, 200, 300, 0, 0, 0}));
}

TEST(BalanceEnvelope, FilterFollowsTheAngleOnBothSides)
{
    AbortFlag abort = 0;
    const Wave tone = Tone(8000, 44100.0 / 5000.0);
    const Wave left = MakeWave({-32767});
    const Wave fullLeft = MakeWave({-32768});
    EXPECT_GT(PeakFrom(balanceEnvelope(tone, &abort, &left, 0, false, false, true, 44100), 1000),
              9000);
    EXPECT_LT(PeakFrom(balanceEnvelope(tone, &abort, &left, 1, false, false, true, 44100), 1000),
              1500);
    // -32768 negated is the full angle on the other side, not -32768 again.
    EXPECT_LT(
        PeakFrom(balanceEnvelope(tone, &abort, &fullLeft, 1, false, false, true, 44100), 1000),
        1500);
}

TEST(BalanceEnvelope, RefusesAnEmptyEnvelope)
{
    AbortFlag abort = 0;
    std::string error;
    const Wave none;
    EXPECT_EQ(balanceEnvelope(MakeWave({1}), &abort, &none, 0, true, true, true, 44100, &error),
              nullptr);
    EXPECT_EQ(error, "The angle envelope is empty.");
    EXPECT_EQ(abort, 0);
}
