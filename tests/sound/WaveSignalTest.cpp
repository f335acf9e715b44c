#include "sound/WaveSignal.h"

#include "SignalTestUtil.h"

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
