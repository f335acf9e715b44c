#include "sound/Filters.h"

#include "SignalTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace kelvorn;
using namespace kelvorn::testing;
using V = std::vector<int32_t>;

namespace {

constexpr int32_t Rate = 44100;

/// A sine of the given period in values and amplitude.
Wave Sine(int32_t n, double period, double amplitude = 10000.0)
{
    return MakeWaveOf(n, [=](int32_t i) {
        return static_cast<int32_t>(amplitude * std::sin(2.0 * M_PI * i / period));
    });
}

/// Alternating +a, -a: the highest frequency a wave can hold.
Wave Nyquist(int32_t n, int32_t a = 10000)
{
    return MakeWaveOf(n, [a](int32_t i) { return i % 2 ? -a : a; });
}

double Amplitude(const WavePtr& w, int32_t from, int32_t to)
{
    int32_t peak = 0;
    for (int32_t i = from; i < to; ++i)
        peak = std::max(peak, std::abs(int32_t{(*w)[i]}));
    return peak;
}

/// The frequency envelope value for f Hz (the inverse of 20 * 10^((v + 32768) / 21845)).
int32_t FreqValue(double f)
{
    return static_cast<int32_t>(std::log10(f / 20.0) * 21845.0 - 32768.0);
}

/// The period in values that a frequency envelope value stands for.
double PeriodOf(int32_t v)
{
    return Rate / (20.0 * std::pow(10.0, (v + 32768) / 21845.0));
}

} // namespace

// ---- Low and high pass -------------------------------------------------------------------------

TEST(OnePole, NegativeCoefficientPassesOrSilences)
{
    // A corner period of a tenth of a value makes the coefficient negative: it is taken as 0.
    AbortFlag abort = 0;
    const Wave w = MakeWave({100, -200, 300, 32767, -32768, 5});
    EXPECT_EQ(Values(lowFilter(w, &abort, 0.1, 0.5, 1, 1, 0, -1)), Values(w));
    EXPECT_EQ(Values(highFilter(w, &abort, 0.1, 0.5, 1, 3, 0, -1)), (V{0, 0, 0, 0, 0, 0}));
    // The same through an envelope at the top frequency and a low rate.
    const Wave top = MakeWave({32767});
    EXPECT_EQ(Values(lowFilterEnv(w, &abort, &top, 0.5, 1, 2, 1000, 0, -1)), Values(w));
    EXPECT_EQ(Values(highFilterEnv(w, &abort, &top, 0.5, 1, 1, 1000, 0, -1)),
              (V{0, 0, 0, 0, 0, 0}));
}

TEST(OnePole, FirstValuesByHand)
{
    // With factor 0.5 this corner period gives k = 0.5 (up to rounding, which the odd inputs
    // keep away from the truncation points).
    AbortFlag abort = 0;
    const double time = 6.2830586 * 0.5 / (std::sqrt(0.75) * 0.5);
    const Wave w = MakeWave({7, 1003, 1003, 1003, -1003, 9});
    // y: 501.5, 752.25, 877.625, -62.6875
    EXPECT_EQ(Values(lowFilter(w, &abort, time, 0.5, 1, 1, 1, 5)), (V{7, 501, 752, 877, -62, 9}));
    EXPECT_EQ(Values(highFilter(w, &abort, time, 0.5, 1, 1, 1, 5)), (V{7, 501, 250, 125, -940, 9}));
    // Two passes: the second filters the stored 501, 752, 877, -62 from y = 0 again.
    EXPECT_EQ(Values(lowFilter(w, &abort, time, 0.5, 1, 2, 1, 5)), (V{7, 250, 501, 689, 313, 9}));
}

TEST(OnePole, PassesEqualRepeatedSinglePasses)
{
    AbortFlag abort = 0;
    const Wave w = MakeWaveOf(3500, [](int32_t i) { return (i * 7919) % 20001 - 10000; });
    for (int32_t passes : {2, 3, 70}) {
        for (bool high : {false, true}) {
            auto filter = high ? highFilter : lowFilter;
            WavePtr once = filter(w, &abort, 30.0, 0.5, 2, passes, 100, 3400);
            WavePtr step = CreateWaveCopy(&abort, &w);
            for (int32_t p = 0; p < passes; ++p)
                step = filter(*step, &abort, 30.0, 0.5, 2, 1, 100, 3400);
            EXPECT_EQ(Values(once), Values(step)) << passes << (high ? " high" : " low");
        }
    }
}

TEST(OnePole, LowPassPassesDcAndDampsNyquist)
{
    AbortFlag abort = 0;
    WavePtr dc = lowFilter(Constant(5000, 10000), &abort, 20.0, 0.5, 1, 1, 0, -1);
    EXPECT_NEAR((*dc)[4999], 10000, 1);
    WavePtr top = lowFilter(Nyquist(5000), &abort, 20.0, 0.5, 1, 1, 0, -1);
    EXPECT_LT(Amplitude(top, 1000, 5000), 1500);
}

TEST(OnePole, HighPassRemovesDcAndPassesNyquist)
{
    AbortFlag abort = 0;
    WavePtr dc = highFilter(Constant(5000, 10000), &abort, 20.0, 0.5, 1, 1, 0, -1);
    EXPECT_NEAR((*dc)[4999], 0, 1);
    WavePtr top = highFilter(Nyquist(5000), &abort, 20.0, 0.5, 1, 1, 0, -1);
    EXPECT_GT(Amplitude(top, 1000, 5000), 8500);
}

TEST(OnePole, FactorIsTheAttenuationAtTheCorner)
{
    AbortFlag abort = 0;
    const Wave corner = Sine(20000, 40.0);
    for (int32_t passes : {1, 2}) {
        WavePtr low = lowFilter(corner, &abort, 40.0, 0.5, passes, passes, 0, -1);
        EXPECT_NEAR(Amplitude(low, 10000, 20000) / 10000.0, 0.5, 0.06) << passes;
    }
}

TEST(OnePole, ConstantEnvelopeEqualsConstantCorner)
{
    AbortFlag abort = 0;
    const Wave w = MakeWaveOf(2500, [](int32_t i) { return (i * 104729) % 30001 - 15000; });
    const int32_t v = FreqValue(1000.0);
    // One value: an interpolation between equal values may land a rounding error below them,
    // which the truncation to an integer then keeps.
    const Wave env = MakeWave({v});
    EXPECT_EQ(Values(lowFilterEnv(w, &abort, &env, 0.3, 1, 2, Rate, 10, 2400)),
              Values(lowFilter(w, &abort, PeriodOf(v), 0.3, 1, 2, 10, 2400)));
    EXPECT_EQ(Values(highFilterEnv(w, &abort, &env, 0.3, 2, 1, Rate, 0, -1)),
              Values(highFilter(w, &abort, PeriodOf(v), 0.3, 2, 1, 0, -1)));
}

TEST(OnePole, EnvelopeSweepsTheCorner)
{
    // The envelope runs from 20 Hz to 20 kHz: a 5 kHz tone is damped at the start and
    // passes at the end.
    AbortFlag abort = 0;
    const Wave tone = Sine(40000, Rate / 5000.0);
    const Wave sweep = MakeWave({-32768, 32767});
    WavePtr out = lowFilterEnv(tone, &abort, &sweep, 0.5, 1, 1, Rate, 0, -1);
    EXPECT_LT(Amplitude(out, 1000, 3000), 500);
    EXPECT_GT(Amplitude(out, 37000, 40000), 9000);
}

TEST(OnePole, OneValueRangeReadsTheEnvelopeStart)
{
    // D = 0: the only value reads the envelope's first value (the top frequency, so the
    // value passes), not its last (20 Hz, which would nearly silence it).
    AbortFlag abort = 0;
    const Wave w = MakeWave({1, 2, 3000, 4});
    const Wave env = MakeWave({32767, -32768});
    EXPECT_EQ(Values(lowFilterEnv(w, &abort, &env, 0.5, 1, 1, 1000, 2, 3)), (V{1, 2, 3000, 4}));
}

// ---- Resonance and notch -----------------------------------------------------------------------

TEST(Resonance, FactorOnePassesAndFactorZeroSilences)
{
    AbortFlag abort = 0;
    const Wave w = MakeWave({5, -7000, 12000, 32767, -32768, 0, 44});
    const V silence(7, 0);
    const Wave freq = MakeWave({FreqValue(500.0)});
    EXPECT_EQ(Values(resFilter(w, &abort, 30.0, 1.0, 0, -1)), Values(w));
    EXPECT_EQ(Values(notchFilter(w, &abort, 30.0, 1.0, 0, -1)), silence);
    EXPECT_EQ(Values(resFilter(w, &abort, &freq, 1.0, Rate, 0, -1)), Values(w));
    EXPECT_EQ(Values(notchFilter(w, &abort, &freq, 1.0, Rate, 0, -1)), silence);

    EXPECT_EQ(Values(resFilter(w, &abort, 30.0, 0.0, 0, -1)), silence);
    EXPECT_EQ(Values(notchFilter(w, &abort, 30.0, 0.0, 0, -1)), Values(w));
    EXPECT_EQ(Values(resFilter(w, &abort, &freq, 0.0, Rate, 0, -1)), silence);
    EXPECT_EQ(Values(notchFilter(w, &abort, &freq, 0.0, Rate, 0, -1)), Values(w));
    // A factor envelope at its bottom stands for factor 0.
    const Wave zero = MakeWave({-32768, -32768});
    EXPECT_EQ(Values(resFilter(w, &abort, 30.0, &zero, 0, -1)), silence);
    EXPECT_EQ(Values(notchFilter(w, &abort, 30.0, &zero, 0, -1)), Values(w));
    EXPECT_EQ(Values(resFilter(w, &abort, &freq, &zero, Rate, 0, -1)), silence);
    EXPECT_EQ(Values(notchFilter(w, &abort, &freq, &zero, Rate, 0, -1)), Values(w));
}

struct ResCase
{
    const char* name;
    int variant; // 0 constant, 1 frequency envelope (20 steps), 2 factor envelope, 3 both
};

class ResonanceAtItsPeriod : public ::testing::TestWithParam<ResCase>
{
protected:
    WavePtr Run(bool notch, const Wave& in, int32_t freqValue)
    {
        AbortFlag abort = 0;
        const double per = PeriodOf(freqValue);
        const Wave freq = MakeWave({freqValue, freqValue});
        // Factor 0.05 as a factor envelope: (v + 32768) / 65536.
        const Wave factor = MakeWave({static_cast<int32_t>(0.05 * 65536 - 32768)});
        const double f = (factor[0] + 32768) / 65536.0;
        switch (GetParam().variant) {
        case 0:
            return notch ? notchFilter(in, &abort, per, f, 0, -1)
                         : resFilter(in, &abort, per, f, 0, -1);
        case 1:
            return notch ? notchFilter(in, &abort, &freq, f, Rate, 0, -1)
                         : resFilter(in, &abort, &freq, f, Rate, 0, -1);
        case 2:
            return notch ? notchFilter(in, &abort, per, &factor, 0, -1)
                         : resFilter(in, &abort, per, &factor, 0, -1);
        default:
            return notch ? notchFilter(in, &abort, &freq, &factor, Rate, 0, -1)
                         : resFilter(in, &abort, &freq, &factor, Rate, 0, -1);
        }
    }
};

TEST_P(ResonanceAtItsPeriod, ResonancePassesItAndNotchRemovesIt)
{
    const int32_t v = FreqValue(Rate / 50.0);
    const double per = PeriodOf(v);
    const Wave at = Sine(20000, per);
    const Wave away = Sine(20000, per * 4);
    const Wave near = Sine(20000, per / 2);
    EXPECT_GT(Amplitude(Run(false, at, v), 10000, 20000), 9000);
    EXPECT_LT(Amplitude(Run(true, at, v), 10000, 20000), 1000);
    EXPECT_LT(Amplitude(Run(false, away, v), 10000, 20000), 1500);
    EXPECT_GT(Amplitude(Run(true, away, v), 10000, 20000), 9000);
    EXPECT_LT(Amplitude(Run(false, near, v), 10000, 20000), 1500);
    EXPECT_GT(Amplitude(Run(true, near, v), 10000, 20000), 9000);
}

INSTANTIATE_TEST_SUITE_P(Variants, ResonanceAtItsPeriod,
                         ::testing::Values(ResCase{"constant", 0}, ResCase{"freqEnvelope", 1},
                                           ResCase{"factorEnvelope", 2},
                                           ResCase{"bothEnvelopes", 3}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Block filter ------------------------------------------------------------------------------

struct BlockCase
{
    const char* name;
    double width;
    V expected;
    int32_t end;
};

class BlockFilterByHand : public ::testing::TestWithParam<BlockCase>
{
};

TEST_P(BlockFilterByHand, AveragesHalvesAndGrows)
{
    const BlockCase& c = GetParam();
    AbortFlag abort = 0;
    int32_t begin = 1;
    int32_t end = 6;
    WavePtr out = blockFilter(MakeWave({9, 0, 4, 8, 4, 0, 7}), &abort, c.width, &begin, &end);
    EXPECT_EQ(Values(out), c.expected);
    EXPECT_EQ(begin, 1);
    EXPECT_EQ(end, c.end);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, BlockFilterByHand,
    ::testing::Values(BlockCase{"two", 2.0, {9, 0, 0, 1, 3, 3, 1, 0, 0, 7}, 9},
                      BlockCase{"minusTwo", -2.0, {9, 0, 1, 3, 3, 1, 0, 0, 0, 7}, 9},
                      BlockCase{"half", 0.5, {9, 0, 2, 4, 2, 0, 0, 7}, 7},
                      BlockCase{"zeroKeepsTheRange", 0.0, {9, 0, 4, 8, 4, 0, 7}, 6}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BlockFilter, ConstantComesOutHalved)
{
    AbortFlag abort = 0;
    int32_t begin = 0;
    int32_t end = -1;
    WavePtr out = blockFilter(Constant(200, 10000), &abort, 10.0, &begin, &end);
    EXPECT_EQ(end, 211);
    for (int32_t i = 20; i < 190; ++i)
        ASSERT_NEAR((*out)[i], 5000, 1) << i;
}

TEST(BlockFilter, WidthZeroCopiesWithTheEndResolved)
{
    AbortFlag abort = 0;
    int32_t begin = 2;
    int32_t end = -1;
    WavePtr out = blockFilter(MakeWave({1, 2, 3, 4}), &abort, 0.0, &begin, &end);
    EXPECT_EQ(Values(out), (V{1, 2, 3, 4}));
    EXPECT_EQ(begin, 2);
    EXPECT_EQ(end, 4);
}

TEST(BlockFilter, HugeOrUndefinedWidthTakesTheMemoryFailureRoad)
{
    RecordingSink sink;
    for (double width : {3.0e9, -1.0e300, std::nan("")}) {
        AbortFlag abort = 0;
        int32_t begin = 0;
        int32_t end = -1;
        EXPECT_EQ(blockFilter(Constant(10, 1), &abort, width, &begin, &end), nullptr) << width;
        EXPECT_EQ(abort, 1);
        EXPECT_EQ(end, -1);
        abort = 0;
        const Wave one = MakeWave({1});
        EXPECT_EQ(blockFilterEnv(Constant(10, 1), &abort, width, &one, &begin, &end), nullptr);
        EXPECT_EQ(abort, 1);
    }
    EXPECT_EQ(sink.texts.size(), 6u);
}

struct BlockEnvCase
{
    const char* name;
    double width;
    V envelope;
    V expected;
};

class BlockFilterEnvByHand : public ::testing::TestWithParam<BlockEnvCase>
{
};

TEST_P(BlockFilterEnvByHand, CentresTheAverageInTheGrownRange)
{
    const BlockEnvCase& c = GetParam();
    AbortFlag abort = 0;
    int32_t begin = 0;
    int32_t end = -1;
    const Wave ramp = MakeWaveOf(10, [](int32_t i) { return 100 * i; });
    const Wave env = MakeWave(c.envelope);
    WavePtr out = blockFilterEnv(ramp, &abort, c.width, &env, &begin, &end);
    EXPECT_EQ(Values(out), c.expected);
    EXPECT_EQ(begin, 0);
    EXPECT_EQ(end, static_cast<int32_t>(c.expected.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Widths, BlockFilterEnvByHand,
    ::testing::Values(
        BlockEnvCase{"two",
                     2.0,
                     {32767, 32767},
                     {0, 0, 25, 75, 125, 175, 225, 275, 325, 375, 425, 225, 0, 0, 0, 0}},
        BlockEnvCase{"minusTwo",
                     -2.0,
                     {32767},
                     {0, 0, 0, 0, 25, 75, 125, 175, 225, 275, 325, 375, 425, 225, 0, 0}},
        // Widths within [-1, 1] take the source value itself (halved).
        BlockEnvCase{
            "narrow", 0.5, {32767}, {0, 0, 50, 100, 150, 200, 250, 300, 350, 400, 450, 0, 0}},
        BlockEnvCase{"envelopeZero", 5.0, {0}, {0,   0,   0,   0,   0,   0, 0, 50, 100, 150, 200,
                                                250, 300, 350, 400, 450, 0, 0, 0,  0,   0,   0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BlockFilterEnv, OneValueRangeAndOutsideCopied)
{
    AbortFlag abort = 0;
    int32_t begin = 1;
    int32_t end = 2;
    const Wave env = MakeWave({32767, 0});
    // D = 0: every output reads the envelope's first value, so the width stays 0.
    WavePtr out = blockFilterEnv(MakeWave({9, 800, 7}), &abort, 0.0, &env, &begin, &end);
    EXPECT_EQ(Values(out), (V{9, 0, 400, 0, 7}));
    EXPECT_EQ(end, 4);
}

// ---- Refusals, failures, aborts ----------------------------------------------------------------

TEST(Filters, RefuseEmptyEnvelopesBeforeAnythingRuns)
{
    AbortFlag abort = 0;
    const Wave w = Constant(20, 3);
    const Wave env = MakeWave({1, 2});
    const Wave none;
    std::string error;
    int32_t begin = 0;
    int32_t end = -1;
    EXPECT_EQ(lowFilterEnv(w, &abort, &none, 0.5, 1, 1, Rate, 0, -1, &error), nullptr);
    EXPECT_EQ(error, "The frequency envelope is empty.");
    error.clear();
    EXPECT_EQ(highFilterEnv(w, &abort, nullptr, 0.5, 1, 1, Rate, 0, -1, &error), nullptr);
    EXPECT_EQ(error, "The frequency envelope is empty.");
    error.clear();
    EXPECT_EQ(resFilter(w, &abort, 10.0, &none, 0, -1, &error), nullptr);
    EXPECT_EQ(error, "The factor envelope is empty.");
    error.clear();
    EXPECT_EQ(notchFilter(w, &abort, &none, 0.5, Rate, 0, -1, &error), nullptr);
    EXPECT_EQ(error, "The frequency envelope is empty.");
    error.clear();
    EXPECT_EQ(notchFilter(w, &abort, &env, &none, Rate, 0, -1, &error), nullptr);
    EXPECT_EQ(error, "The factor envelope is empty.");
    error.clear();
    EXPECT_EQ(blockFilterEnv(w, &abort, 3.0, &none, &begin, &end, &error), nullptr);
    EXPECT_EQ(error, "The width envelope is empty.");
    EXPECT_EQ(end, -1);
    // Without an error text the refusal is the same; the flag stays clear (nothing to discard).
    EXPECT_EQ(resFilter(w, &abort, &none, &env, Rate, 0, -1), nullptr);
    EXPECT_EQ(abort, 0);
}

TEST(Filters, RangeOutsideTheWaveIsReportedAndRefused)
{
    RecordingSink sink;
    const Wave w = Constant(10, 3);
    struct Case
    {
        int32_t begin, end;
        const char* condition;
    };
    for (const Case& c :
         {Case{0, 11, "end <= values"}, Case{-1, 5, "begin >= 0"}, Case{6, 5, "begin <= end"}}) {
        AbortFlag abort = 0;
        EXPECT_EQ(lowFilter(w, &abort, 10.0, 0.5, 1, 1, c.begin, c.end), nullptr);
        EXPECT_TRUE(sink.Saw(c.condition)) << c.condition;
        EXPECT_EQ(abort, 1);
        abort = 0;
        int32_t b = c.begin;
        int32_t e = c.end;
        EXPECT_EQ(blockFilter(w, &abort, 2.0, &b, &e), nullptr);
        EXPECT_EQ(e, c.end);
        EXPECT_EQ(abort, 1);
    }
}

TEST(Filters, BrokenPreconditionsAreReportedByNameAndRefused)
{
    RecordingSink sink;
    const Wave w = Constant(10, 3);
    const Wave env = MakeWave({0});
    AbortFlag abort = 0;
    EXPECT_EQ(lowFilter(w, &abort, 0.0, 1.0, 0, 0, 0, -1), nullptr);
    for (const char* c : {"time > 0", "factor < 1", "countBer > 0", "countCmd > 0"})
        EXPECT_TRUE(sink.Saw(c)) << c;
    EXPECT_FALSE(sink.Saw("factor > 0"));
    EXPECT_EQ(abort, 1);
    abort = 0;
    EXPECT_EQ(highFilter(w, &abort, 10.0, 1.0, 1, 1, 0, -1), nullptr);
    EXPECT_TRUE(sink.Saw("factor > 0 && factor < 1"));
    EXPECT_EQ(abort, 1);
    abort = 0;
    EXPECT_EQ(resFilter(w, &abort, 0.5, 0.5, 0, -1), nullptr);
    EXPECT_TRUE(sink.Saw("per >= 1 && factor >= 0 && factor <= 1"));
    EXPECT_EQ(abort, 1);
    abort = 0;
    EXPECT_EQ(notchFilter(w, &abort, &env, 1.5, Rate, 0, -1), nullptr);
    EXPECT_TRUE(sink.Saw("factor >= 0 && factor <= 1"));
    EXPECT_EQ(abort, 1);
}

TEST(Filters, AllocationFailureGivesNoResultAndSetsTheFlag)
{
    RecordingSink sink;
    const Wave w = Constant(100, 3);
    const Wave env = MakeWave({0, 100});
    FailAllocations fail(0);
    AbortFlag abort = 0;
    EXPECT_EQ(highFilter(w, &abort, 10.0, 0.5, 1, 1, 0, -1), nullptr);
    EXPECT_EQ(abort, 1);
    abort = 0;
    EXPECT_EQ(notchFilter(w, &abort, &env, &env, Rate, 0, -1), nullptr);
    EXPECT_EQ(abort, 1);
    abort = 0;
    int32_t begin = 0;
    int32_t end = -1;
    EXPECT_EQ(blockFilterEnv(w, &abort, 4.0, &env, &begin, &end), nullptr);
    EXPECT_EQ(abort, 1);
    EXPECT_EQ(end, -1);
    EXPECT_EQ(sink.texts.size(), 3u);
}
