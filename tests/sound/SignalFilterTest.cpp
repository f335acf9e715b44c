// Mixing, echo, tempo and pitch, partials, balance and filters: known outputs by hand, what a
// filter passes and damps, refusals by condition or reason, and every operation on all kinds of
// input, stopped, and without memory.

#include "sound/Filters.h"
#include "sound/SineTable.h"
#include "sound/WavePrimitives.h"
#include "sound/WaveSignal.h"
#include "sound/WaveSignalCommon.h"
#include "support/Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using V = std::vector<int>;
constexpr int32_t Rate = 44100;
const V X5 = {1, 2, 3, 4, 5}, Tens = {0, 10, 20, 30, 40, 50, 60, 70};

int Amplitude(const WavePtr& w, int32_t from, int32_t to = -1)
{
    int peak = 0;
    for (int32_t i = from; i < w->ResolveEnd(to); ++i)
        peak = std::max(peak, std::abs(int((*w)[i])));
    return peak;
}

/// The frequency envelope value for f Hz, and the period in values that a value stands for.
int FreqValue(double f)
{
    return int(std::log10(f / 20.0) * 21845.0 - 32768.0);
}

double PeriodOf(int v)
{
    return Rate / (20.0 * std::pow(10.0, (v + 32768) / 21845.0));
}

WavePtr Nyquist(int32_t n)
{
    return MakeWaveOf(n, [](int32_t i) { return i % 2 ? -10000 : 10000; });
}

struct Known
{
    const char* name;
    std::function<V()> run;
    V values;
};

} // namespace

// clang-format off
#define IN_PLACE(src, stmt) [] { AbortFlag abort = 0, *a = &abort; const WavePtr w = MakeWave(src); stmt; EXPECT_EQ(abort, 0); return ValuesOf(w); }
#define NEW(src, expr) [] { AbortFlag abort = 0, *a = &abort; const WavePtr w = MakeWave(src); int32_t b = 1, e = 4; (void)b, (void)e; const V out = ValuesOf(expr); EXPECT_EQ(abort, 0); return out; }
#define ENV(...) MakeWave({__VA_ARGS__}).get()

const Known KnownOutputs[] = {
    // other[0] lands on w[3]; w[0] gets other[2] and other[7], w[3] other[0], [5] and [10].
    {"cycle wraps more than once", IN_PLACE(X5, mixCycleAfterThis(*w, a, *Ramp(12, 10, 10), 3)), {111, 132, 153, 184, 215}},
    {"cycle wraps 16 bits", IN_PLACE((V{32767, -32768}), mixCycleAfterThis(*w, a, *MakeWave({1, -1}), 0)), {-32768, 32767}},
    {"addAt", IN_PLACE(X5, addAt(*w, a, *MakeWave({10, 20, 30}), 3)), {1, 2, 3, 14, 25}},
    {"addAt before the start", IN_PLACE(X5, addAt(*w, a, *MakeWave({10, 20, 30}), -1)), {21, 32, 3, 4, 5}},
    {"addAt past the end", IN_PLACE(X5, addAt(*w, a, *MakeWave({10, 20, 30}), 5)), X5},
    // -2 + 1.5 = -0.5 -> 0; 3 - 1.5 = 1.5 -> 1; 4 + 3.5 = 7.5 -> 7.
    {"addScaledAt truncates", IN_PLACE((V{1, -2, 3, 4, 5}), addScaledAt(*w, a, *MakeWave({3, -3, 7}), 1, 0.5)), {1, 0, 1, 7, 5}},
    {"addShifted", IN_PLACE(X5, addShifted(*w, a, *Ramp(6, 10, 10), 1, 3)), {31, 42, 53, 64, 5}},
    {"addShiftedScaled", IN_PLACE(X5, addShiftedScaled(*w, a, *Ramp(6, 10, 10), 1, 3, -1.0)), {-29, -38, -47, -56, 5}},
    {"align begin inside", NEW(X5, mixAlignBegin(*w, a, *MakeWave({10, 20, 30}), 1, -1, false)), {1, 12, 23, 34, 5}},
    {"align begin: zeros in front", NEW(X5, mixAlignBegin(*w, a, *MakeWave({10, 20, 30}), -2, -1, false)), {10, 20, 31, 2, 3, 4, 5}},
    {"align begin grows at the end", NEW(X5, mixAlignBegin(*w, a, *MakeWave({10, 20, 30}), 4, -1, false)), {1, 2, 3, 4, 15, 20, 30}},
    {"align begin first two", NEW(X5, mixAlignBegin(*w, a, *MakeWave({10, 20, 30}), 0, 2, false)), {11, 22, 3, 4, 5}},
    {"align begin last two", NEW(X5, mixAlignBegin(*w, a, *MakeWave({10, 20, 30}), 0, 2, true)), {21, 32, 3, 4, 5}},
    {"align begin beyond both ends", NEW(X5, mixAlignBegin(*w, a, *MakeWave({10, 20, 30}), -1, -1, false)), {10, 21, 32, 3, 4, 5}},
    {"align begin far out", NEW(X5, mixAlignBegin(*w, a, *MakeWave({10, 20, 30}), 7, 1, false)), {1, 2, 3, 4, 5, 0, 0, 10}},
    {"align end at the end", NEW(X5, mixAlignEnd(*w, a, *MakeWave({10, 20, 30}), 5, -1, false)), {1, 2, 13, 24, 35}},
    {"align end before the start", NEW(X5, mixAlignEnd(*w, a, *MakeWave({10, 20, 30}), 1, -1, false)), {10, 20, 31, 2, 3, 4, 5}},
    {"align end last two", NEW(X5, mixAlignEnd(*w, a, *MakeWave({10, 20, 30}), 5, 2, true)), {1, 2, 3, 24, 35}},
    {"align end past the end", NEW(X5, mixAlignEnd(*w, a, *MakeWave({10, 20, 30}), 6, 1, false)), {1, 2, 3, 4, 5, 10}},
    // D = 4 + 1, so value k reads other at k: 5000 is never reached.
    {"stretch", NEW((V(6, 7)), mixStretch(*w, a, *Ramp(6, 1000), 1, 5)), {7, 7, 1007, 2007, 3007, 7}},
    {"stretch interpolates", NEW((V{1, -1, -1}), mixStretch(*w, a, *MakeWave({0, 100}), 0, -1)), {1, 24, 49}},
    {"stretch one value", NEW((V{1, 2, 3, 4}), mixStretch(*w, a, *MakeWave({-5, 9}), 2, 3)), {1, 2, -2, 4}},
    {"stretch wraps", NEW((V{1, 2, 3, 4}), mixStretch(*w, a, *MakeWave({32767}), 0, -1)), {-32768, -32767, -32766, -32765}},
    // 40000 - 2 = 39998 keeps its low 16 bits.
    {"weighted wraps", NEW((V{10, 20000, -3, 7, 5}), mixWeighted(*w, a, 2.0, *Ramp(5, 1, 1), -1.0, 1, 4)), {10, -25538, -9, 10, 5}},
    {"weighted truncates", NEW((V{-7, 7, 1, 2}), mixWeighted(*w, a, 0.3, *MakeWave({0, 0, 3, 1}), 0.3, 1, -1)), {-7, 2, 1, 0}},
    {"half", NEW((V{3, -3, 32767, -32768, 1, -1}), mixHalf(*w, a, *MakeWave({4, -4, 32767, -32768, 0, -32768}))), {3, -3, 32767, -32768, 0, -16384}},
    // Echo 1 adds half the range two values on, echo 2 a quarter four on; one more value.
    {"echo later", NEW((V{0, 10, 20, 30, 0, 0, 0, 0, 0}), periodEcho(*w, a, 2.0, 0.5, 2, &b, &e)), {0, 10, 20, 35, 10, 17, 5, 7, 0, 0}},
    {"echo ahead", NEW((V{0, 0, 0, 10, 20, 30}), periodEcho(*w, a, -2.0, -1.0, 1, &(b = 3), &(e = -1))), {0, -10, -20, -20, 20, 30}},
    {"echo ahead grows in front", NEW((V{0, 0, 0, 10, 20, 30}), periodEcho(*w, a, -2.0, -1.0, 2, &(b = 3), &(e = -1))), {0, 0, 10, 20, 20, -20, -20, 20, 30}},
    {"echo fractional", NEW((V{0, 100, 200, 0, 0}), periodEcho(*w, a, 0.5, 1.0, 1, &b, &(e = 3))), {0, 100, 350, 0, 0}},
    // Fractional delays take the general road: 2.5 on reads 1.5 (150); 1.5 ahead reads 4.5.
    {"echo fractional later", NEW((V{0, 100, 200, 0, 0, 0, 0}), periodEcho(*w, a, 2.5, 1.0, 1, &b, &(e = 3))), {0, 100, 200, 0, 150, 0, 0}},
    {"echo fractional ahead", NEW((V{0, 0, 0, 0, 100, 200, 0}), periodEcho(*w, a, -1.5, 1.0, 1, &(b = 4), &(e = 6))), {0, 0, 0, 150, 100, 200, 0}},
    {"echo onto itself", NEW((V{1, 2, 3}), periodEcho(*w, a, 0.0, 1.0, 3, &(b = 0), &(e = -1))), {4, 8, 12}},
    {"echo wraps", NEW((V{30000, 0}), periodEcho(*w, a, 0.0, 1.0, 1, &(b = 0), &(e = -1))), {-5536, 0}},
    {"delay envelope negative", NEW((V{0, 10, 20, 30, 0, 0, 0, 0, 0}), periodEchoEnv(*w, a, ENV(-32767), 2.0, 0.5, 2, &b, &e)), {0, 25, 20, 30, 0, 0, 0, 0, 0, 0}},
    // Delay e(k) * i * 2 / 32767 = (k / 4) * i, k counted from the range start.
    {"delay envelope growing", NEW((V{0, 10, 20, 30, 0, 0, 0, 0, 0}), periodEchoEnv(*w, a, ENV(0, 32767), 2.0, 0.5, 2, &b, &e)), {0, 17, 31, 47, 6, 7, 0, 0, 0, 0}},
    {"factor envelope full", NEW((V{0, 10, 20, 30, 0, 0, 0, 0, 0}), periodEchoEnv(*w, a, 2.0, ENV(32767), 2, &b, &e)), {0, 10, 20, 40, 20, 40, 20, 30, 0, 0}},
    // Factor e(k) / 32767 = 1 - k / 4, raised to the echo number.
    {"factor envelope falling", NEW((V{0, 10, 20, 30, 0, 0, 0, 0, 0}), periodEchoEnv(*w, a, 2.0, ENV(32767, -32767), 2, &b, &e)), {0, 10, 20, 35, 5, 0, 1, 7, 0, 0}},
    {"both envelopes", NEW((V{0, 10, 20, 30, 0, 0, 0, 0, 0}), periodEchoEnv(*w, a, ENV(32767), 2.0, ENV(-32767), 2, &b, &e)), {0, 10, 20, 20, -20, -20, 20, 30, 0, 0}},
    // Half tempo, twice as long: every block of 2 starts half a block further on.
    {"half tempo", NEW(Tens, tempoPitch(*w, a, 0.5, 0.0, 2.0, 1.0, 2, &(b = 2), &(e = 6))), {0, 10, 20, 30, 30, 40, 40, 50, 50, 60, 60, 70}},
    // An octave up at the same tempo: blocks of 4 read every second value.
    {"octave up", NEW(Tens, tempoPitch(*w, a, 1.0, 0.0, 1.0, 2.0, 4, &(b = 0), &(e = -1))), {0, 20, 40, 60, 40, 60, 0, 0}},
    {"octave down", NEW(Tens, tempoPitch(*w, a, 1.0, 0.0, 1.0, 0.5, 4, &(b = 0), &(e = -1))), {0, 5, 10, 15, 40, 45, 50, 55}},
    {"start half way", NEW(Tens, tempoPitch(*w, a, 1.0, 0.5, 1.0, 1.0, 4, &(b = 0), &(e = -1))), {40, 50, 60, 70, 0, 10, 20, 30}},
    {"shorter", NEW(Tens, tempoPitch(*w, a, 1.0, 0.0, 0.5, 1.0, 4, &(b = 0), &(e = -1))), {0, 10, 20, 30}},
    // Two heads an octave up: head B starts half a block behind and the two cross-fade.
    {"two heads octave up", NEW(Tens, tempoPitch2(*w, a, 1.0, 0.0, 1.0, 2.0, 4, &(b = 0), &(e = -1))), {0, 10, 20, 30, 40, 50, 60, 30}},
    // Steps 1, 0.75, 0.5, 0.25: the envelope falls from 32767 to 0 over the five new values.
    {"pitch envelope", NEW(Tens, tempoPitchFreqEnv(*w, a, 1.0, 0.0, 1.0, 1.0, ENV(32767, 0), 100, &(b = 0), &(e = 5))), {0, 10, 17, 22, 25, 50, 60, 70}},
    {"two heads full pitch envelope", NEW(Tens, tempoPitch2FreqEnv(*w, a, 1.0, 0.0, 1.0, 1.0, ENV(32767), 4, &(b = 0), &(e = -1))), Tens},
    {"speed 0 repeats the first block", NEW(Tens, tempoPitchSpeedEnv(*w, a, 1.0, ENV(0), 0.0, 1.0, 1.0, 4, &(b = 0), &(e = -1))), {0, 10, 20, 30, 0, 10, 20, 30}},
    {"backwards by a block wraps", NEW(Tens, tempoPitchSpeedEnv(*w, a, 1.0, ENV(-32767), 0.0, 1.0, 1.0, 4, &(b = 0), &(e = -1))), Tens},
    // The jump after block 2 reads the envelope 4/11 of the way: 2.5454 values.
    {"speed envelope", NEW(Tens, tempoPitchSpeedEnv(*w, a, 1.0, ENV(32767, 0), 0.0, 1.5, 1.0, 4, &(b = 0), &(e = -1))), {0, 10, 20, 30, 40, 50, 60, 70, 65, 31, 5, 15}},
    // Angle 0 halves both sides; angle 1 silences the left and keeps the right; without the
    // delay the volume flag wins over the filter flag.
    {"balance centre", NEW((V{100, -101, 32767}), balance(*w, a, 0.0, 0, false, true, false, Rate)), {50, -50, 16383}},
    {"balance centre right", NEW((V{100, -101, 32767}), balance(*w, a, 0.0, 1, false, true, true, Rate)), {50, -50, 16383}},
    {"balance far left", NEW((V{100, -101, 32767}), balance(*w, a, 1.0, 0, false, true, false, Rate)), {0, 0, 0}},
    {"balance near right", NEW((V{100, -101, 32767}), balance(*w, a, 1.0, 1, false, true, false, Rate)), {100, -101, 32767}},
    // Far side delayed by 1.5 values (a hair less with the program's pi), one more to fade out.
    {"balance delay", NEW((V{100, 200, 300}), balance(*w, a, 1.0, 0, true, false, false, 2550)), {0, 0, 150, 250, 149}},
    // Near side: not delayed, level kept with the volume flag set, (|d| + 1) zeros behind.
    {"balance near pad", NEW((V{100, 200, 300}), balance(*w, a, -0.5, 0, true, true, false, 3400)), {100, 200, 300, 0, 0}},
    {"balance envelope fades left", NEW((V(5, 10000)), balanceEnvelope(*w, a, ENV(-32768, 32767), 0, false, true, false, Rate)), {10000, 7500, 5000, 2500, 0}},
    {"balance envelope fades right", NEW((V(5, 10000)), balanceEnvelope(*w, a, ENV(-32768, 32767), 1, false, true, false, Rate)), {0, 2499, 4999, 7499, 9999}},
    {"balance envelope centre delay", NEW((V{100, 200, 300}), balanceEnvelope(*w, a, ENV(0), 0, true, false, false, 3400)), {0, 0, 100, 200, 300, 0, 0}},
    {"balance envelope right delay", NEW((V{100, 200, 300}), balanceEnvelope(*w, a, ENV(32767), 0, true, false, false, 3400)), {0, 0, 0, 100, 200, 300, 0}},
    // A corner period of a tenth of a value makes the coefficient negative: taken as 0.
    {"low pass negative coefficient", NEW((V{100, -200, 300, 32767, -32768, 5}), lowFilter(*w, a, 0.1, 0.5, 1, 1, 0, -1)), {100, -200, 300, 32767, -32768, 5}},
    {"high pass negative coefficient", NEW((V{100, -200, 300, 32767, -32768, 5}), highFilter(*w, a, 0.1, 0.5, 1, 3, 0, -1)), V(6, 0)},
    {"high pass envelope at the top", NEW((V{100, -200, 300, 32767, -32768, 5}), highFilterEnv(*w, a, ENV(32767), 0.5, 1, 1, 1000, 0, -1)), V(6, 0)},
    // With factor 0.5 this corner period gives k = 0.5: y = 501.5, 752.25, 877.625, -62.6875.
    {"low pass by hand", NEW((V{7, 1003, 1003, 1003, -1003, 9}), lowFilter(*w, a, 6.2830586 / std::sqrt(0.75), 0.5, 1, 1, 1, 5)), {7, 501, 752, 877, -62, 9}},
    {"high pass by hand", NEW((V{7, 1003, 1003, 1003, -1003, 9}), highFilter(*w, a, 6.2830586 / std::sqrt(0.75), 0.5, 1, 1, 1, 5)), {7, 501, 250, 125, -940, 9}},
    {"low pass twice by hand", NEW((V{7, 1003, 1003, 1003, -1003, 9}), lowFilter(*w, a, 6.2830586 / std::sqrt(0.75), 0.5, 1, 2, 1, 5)), {7, 250, 501, 689, 313, 9}},
    // One value reads the envelope's first value (the top: it passes), not its last.
    {"one value reads the envelope start", NEW((V{1, 2, 3000, 4}), lowFilterEnv(*w, a, ENV(32767, -32768), 0.5, 1, 1, 1000, 2, 3)), {1, 2, 3000, 4}},
    {"resonance factor 1 passes", NEW((V{5, -7000, 32767, -32768, 44}), resFilter(*w, a, 30.0, 1.0, 0, -1)), {5, -7000, 32767, -32768, 44}},
    {"notch factor 1 silences", NEW((V{5, -7000, 32767, -32768, 44}), notchFilter(*w, a, ENV(FreqValue(500)), 1.0, Rate, 0, -1)), V(5, 0)},
    {"resonance factor 0 silences", NEW((V{5, -7000, 32767, -32768, 44}), resFilter(*w, a, ENV(FreqValue(500)), 0.0, Rate, 0, -1)), V(5, 0)},
    {"notch factor 0 passes", NEW((V{5, -7000, 32767, -32768, 44}), notchFilter(*w, a, 30.0, 0.0, 0, -1)), {5, -7000, 32767, -32768, 44}},
    // A factor envelope at its bottom stands for factor 0.
    {"resonance factor envelope 0", NEW((V{5, -7000, 32767, -32768, 44}), resFilter(*w, a, 30.0, ENV(-32768, -32768), 0, -1)), V(5, 0)},
    {"notch both envelopes factor 0", NEW((V{5, -7000, 32767, -32768, 44}), notchFilter(*w, a, ENV(FreqValue(500)), ENV(-32768), Rate, 0, -1)), {5, -7000, 32767, -32768, 44}},
    {"block filter 2", NEW((V{9, 0, 4, 8, 4, 0, 7}), blockFilter(*w, a, 2.0, &b, &(e = 6))), {9, 0, 0, 1, 3, 3, 1, 0, 0, 7}},
    {"block filter -2", NEW((V{9, 0, 4, 8, 4, 0, 7}), blockFilter(*w, a, -2.0, &b, &(e = 6))), {9, 0, 1, 3, 3, 1, 0, 0, 0, 7}},
    {"block filter 0", NEW((V{9, 0, 4, 8, 4, 0, 7}), blockFilter(*w, a, 0.0, &b, &(e = 6))), {9, 0, 4, 8, 4, 0, 7}},
    {"block envelope 2", NEW(ValuesOf(Ramp(10, 100)), blockFilterEnv(*w, a, 2.0, ENV(32767, 32767), &(b = 0), &(e = -1))), {0, 0, 25, 75, 125, 175, 225, 275, 325, 375, 425, 225, 0, 0, 0, 0}},
    {"block envelope -2", NEW(ValuesOf(Ramp(10, 100)), blockFilterEnv(*w, a, -2.0, ENV(32767), &(b = 0), &(e = -1))), {0, 0, 0, 0, 25, 75, 125, 175, 225, 275, 325, 375, 425, 225, 0, 0}},
    // Widths within [-1, 1] take the source value itself (halved).
    {"block envelope narrow", NEW(ValuesOf(Ramp(10, 100)), blockFilterEnv(*w, a, 0.5, ENV(32767), &(b = 0), &(e = -1))), {0, 0, 50, 100, 150, 200, 250, 300, 350, 400, 450, 0, 0}},
    {"block envelope 0", NEW(ValuesOf(Ramp(10, 100)), blockFilterEnv(*w, a, 5.0, ENV(0), &(b = 0), &(e = -1))), {0, 0, 0, 0, 0, 0, 0, 50, 100, 150, 200, 250, 300, 350, 400, 450, 0, 0, 0, 0, 0, 0}},
    {"block envelope one value", NEW((V{9, 800, 7}), blockFilterEnv(*w, a, 0.0, ENV(32767, 0), &b, &(e = 2))), {9, 0, 400, 0, 7}},
};
// clang-format on

class SignalKnown : public ::testing::TestWithParam<Known>
{
};

TEST_P(SignalKnown, IsExact)
{
    RecordedBoxes boxes;
    EXPECT_EQ(GetParam().run(), GetParam().values);
    EXPECT_TRUE(boxes.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalKnown, ::testing::ValuesIn(KnownOutputs),
                         [](const auto& info) { return TableName(info); });

// ---- What filters pass and damp ------------------------------------------------------------

TEST(Filters, PassAndDampWhatTheyMust)
{
    AbortFlag abort = 0;
    EXPECT_NEAR((*lowFilter(*Constant(5000, 10000), &abort, 20, 0.5, 1, 1, 0, -1))[4999], 10000, 1);
    EXPECT_LT(Amplitude(lowFilter(*Nyquist(5000), &abort, 20, 0.5, 1, 1, 0, -1), 1000), 1500);
    EXPECT_NEAR((*highFilter(*Constant(5000, 10000), &abort, 20, 0.5, 1, 1, 0, -1))[4999], 0, 1);
    EXPECT_GT(Amplitude(highFilter(*Nyquist(5000), &abort, 20, 0.5, 1, 1, 0, -1), 1000), 8500);
    // The factor is the attenuation at the corner, for any number of poles.
    for (int32_t passes : {1, 2})
        EXPECT_NEAR(
            Amplitude(lowFilter(*Sine(20000, 40), &abort, 40, 0.5, passes, passes, 0, -1), 10000) /
                10000.0,
            0.5, 0.06);
    // Several passes are the single pass repeated.
    const WavePtr w = Scrambled(3500, 1);
    for (bool high : {false, true}) {
        const auto filter = high ? highFilter : lowFilter;
        WavePtr step = CreateWaveCopy(&abort, w.get());
        for (int p = 0; p < 3; ++p)
            step = filter(*step, &abort, 30, 0.5, 2, 1, 100, 3400);
        EXPECT_EQ(ValuesOf(filter(*w, &abort, 30, 0.5, 2, 3, 100, 3400)), ValuesOf(step));
    }
    // A constant frequency envelope is its constant corner; a sweep from 20 Hz to 20 kHz damps
    // a 5 kHz tone at the start and passes it at the end.
    const int v = FreqValue(1000);
    EXPECT_EQ(ValuesOf(highFilterEnv(*w, &abort, MakeWave({v}).get(), 0.3, 2, 1, Rate, 10, 2400)),
              ValuesOf(highFilter(*w, &abort, PeriodOf(v), 0.3, 2, 1, 10, 2400)));
    const WavePtr swept = lowFilterEnv(*Sine(40000, Rate / 5000.0), &abort,
                                       MakeWave({-32768, 32767}).get(), 0.5, 1, 1, Rate, 0, -1);
    EXPECT_LT(Amplitude(swept, 1000, 3000), 500);
    EXPECT_GT(Amplitude(swept, 37000), 9000);
    // Resonance passes its period and notch removes it, in all four variants.
    const int at = FreqValue(Rate / 50.0);
    const double per = PeriodOf(at), f = (int(0.05 * 65536 - 32768) + 32768) / 65536.0;
    const WavePtr freqWave = MakeWave({at, at}), factorWave = MakeWave({int(0.05 * 65536 - 32768)});
    const Wave *freq = freqWave.get(), *factor = factorWave.get();
    // clang-format off
    const std::function<WavePtr(bool, const Wave&)> variants[] = {
        [&](bool n, const Wave& in) { return n ? notchFilter(in, &abort, per, f, 0, -1) : resFilter(in, &abort, per, f, 0, -1); },
        [&](bool n, const Wave& in) { return n ? notchFilter(in, &abort, freq, f, Rate, 0, -1) : resFilter(in, &abort, freq, f, Rate, 0, -1); },
        [&](bool n, const Wave& in) { return n ? notchFilter(in, &abort, per, factor, 0, -1) : resFilter(in, &abort, per, factor, 0, -1); },
        [&](bool n, const Wave& in) { return n ? notchFilter(in, &abort, freq, factor, Rate, 0, -1) : resFilter(in, &abort, freq, factor, Rate, 0, -1); },
    };
    // clang-format on
    for (const auto& run : variants)
        for (double p : {per, per * 4, per / 2}) {
            const WavePtr tone = Sine(20000, p);
            const int res = Amplitude(run(false, *tone), 10000);
            const int notch = Amplitude(run(true, *tone), 10000);
            EXPECT_TRUE(p == per ? res > 9000 && notch < 1000 : res < 1500 && notch > 9000) << p;
        }
    // Balance filters the near side little and the far side at about 350 Hz.
    const WavePtr tone = Sine(8000, Rate / 5000.0);
    EXPECT_GT(Amplitude(balance(*tone, &abort, -1.0, 0, false, false, true, Rate), 1000), 9000);
    EXPECT_LT(Amplitude(balance(*tone, &abort, 1.0, 0, false, false, true, Rate), 1000), 1500);
    EXPECT_LT(Amplitude(balance(*tone, &abort, -1.0, 1, false, false, true, Rate), 1000), 1500);
    EXPECT_EQ(balance(*tone, &abort, 1.0, 0, true, false, true, Rate)->Values(), 8000 + 26);
    // -32768 negated is the full angle on the other side, not -32768 again.
    EXPECT_LT(Amplitude(balanceEnvelope(*tone, &abort, MakeWave({-32768}).get(), 1, false, false,
                                        true, Rate),
                        1000),
              1500);
    EXPECT_EQ(abort, 0);
}

TEST(Signals, FastRoadsAgreeWithGeneralOnes)
{
    AbortFlag abort = 0;
    const WavePtr w = Scrambled(6000, 2);
    // A whole-value delay skips the interpolation that a full delay envelope takes.
    for (double factor : {0.7, -1.3, 40000.0})
        for (double delay : {3.0, 1234.0}) {
            int32_t b1 = 500, e1 = 5000, b2 = 500, e2 = 5000;
            EXPECT_EQ(ValuesOf(periodEcho(*w, &abort, delay, factor, 3, &b1, &e1)),
                      ValuesOf(periodEchoEnv(*w, &abort, MakeWave({32767}).get(), delay, factor, 3,
                                             &b2, &e2)));
            EXPECT_EQ((V{b1, e1}), (V{b2, e2}));
        }
    // The mean of two waves is their weights of a half.
    EXPECT_EQ(ValuesOf(mixHalf(*w, &abort, *Scrambled(6000, 5))),
              ValuesOf(mixWeighted(*w, &abort, 0.5, *Scrambled(6000, 5), 0.5, 0, -1)));
    // One to one reproduces the range.
    int32_t b = 100, e = 5900;
    EXPECT_EQ(ValuesOf(tempoPitch(*w, &abort, 1.0, 0.0, 1.0, 1.0, 64, &b, &e)), ValuesOf(w));
    EXPECT_EQ(abort, 0);
}

TEST(Signals, PartialsByHand)
{
    AbortFlag flag = 0;
    const auto mfreq = [&](int64_t n, const Wave* form, std::vector<std::vector<double>> p) {
        int32_t b = 0, e = 0;
        return ValuesOf(makeMFreqForm(Wave(), &flag, n, form, int32_t(p[0].size()), p[0].data(),
                                      p[1].data(), p[2].data(), p[3].data(), &b, &e));
    };
    const WavePtr form = Ramp(5, 100), flat = Constant(2, 100);
    // Steps of 5/4 wrap over [0, 4): 0, 1.25, 2.5, 3.75, then 1 and 2.25.
    EXPECT_EQ(mfreq(6, form.get(), {{1}, {4}, {0}, {1}}), (V{0, 125, 250, 375, 100, 225}));
    // A second partial at half amplitude, starting half way, halving after every value.
    EXPECT_EQ(mfreq(6, form.get(), {{1, -0.5}, {4, 2}, {0, 0.5}, {1, 0.5}}),
              (V{-125, 100, 206, 362, 98, 220}));
    // Truncated after every partial: two of 0.6 make 0, one of 1.2 makes 1.
    EXPECT_EQ(mfreq(3, flat.get(), {{0.006, 0.006}, {1, 1}, {0, 0}, {1, 1}}), (V{0, 0, 0}));
    EXPECT_EQ(mfreq(3, flat.get(), {{0.012}, {1}, {0}, {1}}), (V{1, 1, 1}));
    EXPECT_EQ(mfreq(5, flat.get(), {{1}, {1}, {0}, {0.5}}), (V{100, 50, 25, 12, 6}));
    int32_t b = 1, e = 2;
    const double one = 1, zero = 0, period = 9000, quarter = 0.25;
    EXPECT_EQ(ValuesOf(makeMFreqForm(*MakeWave({7, 8, 9}), &flag, 3, flat.get(), 1, &one, &one,
                                     &zero, &one, &b, &e)),
              (V{7, 100, 100, 100, 9}));
    EXPECT_EQ((V{b, e}), (V{1, 4}));
    // From the sine table: its own values, and its top a quarter period on.
    ASSERT_TRUE(CreateSinus(&flag));
    const V table = ValuesOf(*Sinus());
    EXPECT_EQ(
        ValuesOf(makeMFreq(Wave(), &flag, 100, 1, &one, &period, &zero, &one, &(b = 0), &(e = 0))),
        V(table.begin(), table.begin() + 100));
    EXPECT_EQ(
        ValuesOf(makeMFreq(Wave(), &flag, 1, 1, &one, &period, &quarter, &one, &(b = 0), &(e = 0))),
        V{table[2250]});
    FreeSinus();
    EXPECT_EQ(flag, 0);
}

// ---- Refusals -------------------------------------------------------------------------------

TEST(Signals, BrokenCallsNameTheirConditionAndImpossibleCountsTakeTheMemoryRoad)
{
    const WavePtr w = Ramp(100, 1), env = MakeWave({5}), form = MakeWave({1, 2, 3});
    const double one = 1, ten = 10, zero = 0;
    int32_t b = 0, e = -1;
    // clang-format off
    const std::pair<const char*, std::function<bool(AbortFlag*)>> cases[] = {
        {"values != 0", [&](AbortFlag* a) { WavePtr x = MakeWave({}); mixCycleAfterThis(*x, a, *env, 0); return true; }},
        {"after < values", [&](AbortFlag* a) { WavePtr x = MakeWave({1, 2, 3}); mixCycleAfterThis(*x, a, *env, 3); return ValuesOf(x) == V{1, 2, 3}; }},
        {"after >= 0", [&](AbortFlag* a) { WavePtr x = MakeWave({1, 2, 3}); mixCycleAfterThis(*x, a, *env, -1); return ValuesOf(x) == V{1, 2, 3}; }},
        {"values == daar->values", [&](AbortFlag* a) { return !mixWeighted(*MakeWave({1, 2}), a, 1, *env, 1, 0, -1); }},
        {"values == other->values", [&](AbortFlag* a) { return !mixHalf(*MakeWave({1, 2}), a, *env); }},
        {"end <= values", [&](AbortFlag* a) { return !mixWeighted(*MakeWave({1, 2}), a, 1, *MakeWave({1, 2}), 1, 0, 3); }},
        {"begin < end - 1", [&](AbortFlag* a) { int32_t x = 1, y = 2; return !periodEcho(*w, a, 1.0, 0.5, 1, &x, &y) && y == 2; }},
        {"diffTime >= 0", [&](AbortFlag* a) { return !periodEchoEnv(*w, a, env.get(), -1.0, 0.5, 1, &b, &e); }},
        {"speed != 0", [&](AbortFlag* a) { return !tempoPitch(*w, a, 0.0, 0, 1, 1, 10, &b, &e); }},
        {"speed > 0", [&](AbortFlag* a) { return !tempoPitch2SpeedEnv(*w, a, -1.0, env.get(), 0, 1, 1, 10, &b, &e); }},
        {"lengthFactor > 0", [&](AbortFlag* a) { return !tempoPitch(*w, a, 1.0, 0, 0.0, 1, 10, &b, &e); }},
        {"blockTime > 0", [&](AbortFlag* a) { return !tempoPitch(*w, a, 1.0, 0, 1, 1, 0, &b, &e); }},
        {"freqCount > 0", [&](AbortFlag* a) { return !makeMFreqForm(*w, a, 10, form.get(), 0, &one, &ten, &zero, &one, &b, &e); }},
        {"sinus != NULL", [&](AbortFlag* a) { FreeSinus(); return !makeMFreq(*w, a, 10, 1, &one, &ten, &zero, &one, &b, &e); }},
        {"time > 0", [&](AbortFlag* a) { return !lowFilter(*w, a, 0.0, 1.0, 0, 0, 0, -1); }},
        {"countCmd > 0", [&](AbortFlag* a) { return !lowFilter(*w, a, 10, 0.5, 1, 0, 0, -1); }},
        {"factor > 0 && factor < 1", [&](AbortFlag* a) { return !highFilter(*w, a, 10.0, 1.0, 1, 1, 0, -1); }},
        {"per >= 1 && factor >= 0 && factor <= 1", [&](AbortFlag* a) { return !resFilter(*w, a, 0.5, 0.5, 0, -1); }},
        {"factor >= 0 && factor <= 1", [&](AbortFlag* a) { return !notchFilter(*w, a, env.get(), 1.5, Rate, 0, -1); }},
        {"begin >= 0", [&](AbortFlag* a) { int32_t x = -1, y = 5; return !blockFilter(*w, a, 2.0, &x, &y) && y == 5; }},
        {"begin <= end", [&](AbortFlag* a) { return !lowFilter(*w, a, 10.0, 0.5, 1, 1, 6, 5); }},
        {"", [&](AbortFlag* a) { return !periodEcho(*w, a, 1.0e6, 0.5, 100000, &b, &e); }},
        {"", [&](AbortFlag* a) { return !periodEcho(*w, a, -3.0e9, 0.5, 2, &b, &e); }},
        {"", [&](AbortFlag* a) { return !tempoPitch(*w, a, 1, 0, 1.0e9, 1, 10, &b, &e); }},
        {"", [&](AbortFlag* a) { return !makeMFreqForm(*w, a, -5, form.get(), 1, &one, &ten, &zero, &one, &b, &e); }},
        {"", [&](AbortFlag* a) { return !blockFilter(*w, a, 3.0e9, &b, &e); }},
    };
    // clang-format on
    for (const auto& [condition, run] : cases) {
        RecordedBoxes boxes;
        AbortFlag abort = 0;
        EXPECT_TRUE(run(&abort)) << condition;
        ExpectStopped(boxes, abort, condition);
        EXPECT_EQ((V{b, e}), (V{0, -1}));
    }
}

// An empty envelope, form or curve is the user's choice: refused with its reason, no flag.
TEST(Signals, EmptyEnvelopesAreRefusedWithTheirReason)
{
    const WavePtr w = Ramp(20, 1), env = MakeWave({1, 2}), single = MakeWave({5});
    const Wave none;
    const double one = 1, ten = 10, zero = 0;
    int32_t b = 0, e = -1, pb = 0, pe = 2;
    using Refuse = std::function<WavePtr(const Wave*, AbortFlag*, std::string*)>;
    // clang-format off
    const std::pair<const char*, Refuse> cases[] = {
        {"The wave to mix is empty.", [&](auto* x, auto* a, auto* err) { return mixStretch(*w, a, x ? *x : none, 0, -1, err); }},
        {"The middle envelope is empty.", [&](auto* x, auto* a, auto* err) { return makeBlockTriangleEnv(*w, a, 1, 2, 4, x, 4, 0, true, &pb, &pe, err); }},
        {"The form is empty.", [&](auto* x, auto* a, auto* err) { return repeatForm(*w, a, x, 4, 2, 0, &pb, &pe, 0, -1, err); }},
        {"The form is empty.", [&](auto*, auto* a, auto* err) { return repeatForm(*w, a, w.get(), 4, 2, 0, &pb, &pe, 2, 2, err); }},
        {"The speed envelope is empty.", [&](auto* x, auto* a, auto* err) { return rollOut(*w, a, x, 1, 1, 0, &pb, &pe, err); }},
        {"The distortion curve is empty.", [&](auto* x, auto* a, auto* err) { return distort(*w, a, x, 0, -1, err); }},
        {"The volume envelope is empty.", [&](auto* x, auto* a, auto* err) { return volumeEnvelope(*w, a, x, 0, -1, err); }},
        {"The shift envelope is empty.", [&](auto* x, auto* a, auto* err) { return moveHEnvelope(*w, a, 2, x, 2, 2, &pb, &pe, err); }},
        {"The factor envelope is empty.", [&](auto* x, auto* a, auto* err) { return periodEchoEnv(*w, a, 1.0, x, 1, &b, &e, err); }},
        {"The delay envelope is empty.", [&](auto* x, auto* a, auto* err) { return periodEchoEnv(*w, a, x, 1.0, env.get(), 1, &b, &e, err); }},
        {"The pitch envelope is empty.", [&](auto* x, auto* a, auto* err) { return tempoPitchEnvs(*w, a, 1, env.get(), 0, 1, 1, x, 10, &b, &e, err); }},
        {"The speed envelope is empty.", [&](auto* x, auto* a, auto* err) { return tempoPitch2Envs(*w, a, 1, x, 0, 1, 1, env.get(), 10, &b, &e, err); }},
        {"The form is empty.", [&](auto* x, auto* a, auto* err) { return makeMFreqForm(*w, a, 10, x, 1, &one, &ten, &zero, &one, &b, &e, err); }},
        {"The form needs at least two values.", [&](auto*, auto* a, auto* err) { return makeMFreqForm(*w, a, 10, single.get(), 1, &one, &ten, &zero, &one, &b, &e, err); }},
        {"The angle envelope is empty.", [&](auto* x, auto* a, auto* err) { return balanceEnvelope(*w, a, x, 0, true, true, true, Rate, err); }},
        {"The frequency envelope is empty.", [&](auto* x, auto* a, auto* err) { return lowFilterEnv(*w, a, x, 0.5, 1, 1, Rate, 0, -1, err); }},
        {"The frequency envelope is empty.", [&](auto* x, auto* a, auto* err) { return highFilterEnv(*w, a, x, 0.5, 1, 1, Rate, 0, -1, err); }},
        {"The factor envelope is empty.", [&](auto* x, auto* a, auto* err) { return resFilter(*w, a, 10.0, x, 0, -1, err); }},
        {"The frequency envelope is empty.", [&](auto* x, auto* a, auto* err) { return notchFilter(*w, a, x, 0.5, Rate, 0, -1, err); }},
        {"The factor envelope is empty.", [&](auto* x, auto* a, auto* err) { return notchFilter(*w, a, env.get(), x, Rate, 0, -1, err); }},
        {"The width envelope is empty.", [&](auto* x, auto* a, auto* err) { return blockFilterEnv(*w, a, 3.0, x, &b, &e, err); }},
    };
    // clang-format on
    RecordedBoxes boxes;
    for (const auto& [message, run] : cases)
        for (const Wave* x : {static_cast<const Wave*>(nullptr), &none}) {
            AbortFlag abort = 0;
            std::string error;
            EXPECT_EQ(run(x, &abort, &error), nullptr);
            EXPECT_EQ(error, message);
            EXPECT_EQ(run(x, &abort, nullptr), nullptr);
            EXPECT_EQ(abort, 0);
            EXPECT_EQ((V{b, e, pb, pe}), (V{0, -1, 0, 2}));
        }
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(ValuesOf(w), ValuesOf(Ramp(20, 1)));
}

// ---- Every operation: all kinds of input, stopped at once, without memory ------------------

namespace {

using MakeFn = std::function<WavePtr(const Wave&, AbortFlag*, const Wave*, int32_t*, int32_t*)>;
using ChangeFn = std::function<void(Wave&, AbortFlag*, const Wave*)>;

struct Entry
{
    std::string name;
    MakeFn make;
    ChangeFn change;
    bool polls = true;    ///< false where a primitive alone does the work (its polls not counted)
    int32_t minRange = 0; ///< the shortest range the operation accepts
};

void PrintTo(const Entry& entry, std::ostream* os)
{
    *os << entry.name;
}

const double Amplitudes[4] = {0.5, 0.25, 0.1, 0.01}, Periods[4] = {100, 33.3, 8.3, 6.25};
const double Phases[4] = {0, 0.3, 0.5, 0.9}, Decays[4] = {1, 0.9999, 1, 0.99};

// clang-format off
#define MAKE(expr) [=](const Wave& w, AbortFlag* a, const Wave* env, int32_t* b, int32_t* e) { (void)env, (void)b, (void)e; return expr; }, ChangeFn()
#define CHANGE(stmt) nullptr, [=](Wave& w, AbortFlag* a, const Wave* env) { stmt; }
// clang-format on

std::vector<Entry> AllOperations()
{
    // clang-format off
    std::vector<Entry> c = {
        {"mixCycleAfterThis", CHANGE(if (w.Values() > 0) mixCycleAfterThis(w, a, *env, w.Values() / 3))},
        {"addAt", CHANGE(addAt(w, a, *env, 3))},
        {"addScaledAt", CHANGE(addScaledAt(w, a, *env, -2, 0.7))},
        {"addShifted", CHANGE(addShifted(w, a, *env, 1, 4))},
        {"addShiftedScaled", CHANGE(addShiftedScaled(w, a, *env, 5, 0, -1.5))},
        {"mixAlignBegin", MAKE(mixAlignBegin(w, a, *env, -3, -1, false))},
        {"mixAlignEndFromEnd", MAKE(mixAlignEnd(w, a, *env, w.Values() + 2, 2, true)), false},
        {"mixStretch", MAKE(mixStretch(w, a, *env, *b, *e))},
        {"mixWeighted", MAKE(mixWeighted(w, a, 0.3, w, -1.2, *b, *e))},
        {"mixHalf", MAKE(mixHalf(w, a, w))},
        {"periodEcho", MAKE(periodEcho(w, a, 3.5, 0.6, 3, b, e)), true, 2},
        {"periodEchoAhead", MAKE(periodEcho(w, a, -2.25, -0.5, 2, b, e)), true, 2},
        {"periodEchoDelayEnv", MAKE(periodEchoEnv(w, a, env, 3.5, 0.6, 3, b, e)), true, 2},
        {"periodEchoFactorEnv", MAKE(periodEchoEnv(w, a, -1.5, env, 2, b, e)), true, 2},
        {"periodEchoEnvs", MAKE(periodEchoEnv(w, a, env, 2.5, env, 2, b, e)), true, 2},
        {"makeMFreq", MAKE(makeMFreq(w, a, w.Values(), 4, Amplitudes, Periods, Phases, Decays, b, e))},
        {"makeMFreqForm", MAKE(makeMFreqForm(w, a, w.Values(), env->Values() >= 2 ? env : MakeWave({-5, 7}).get(), 4, Amplitudes, Periods, Phases, Decays, b, e))},
        {"blockFilter", MAKE(blockFilter(w, a, 6.5, b, e))},
        {"blockFilterNegative", MAKE(blockFilter(w, a, -3.0, b, e))},
        {"blockFilterEnv", MAKE(blockFilterEnv(w, a, 8.0, env, b, e))},
        {"blockFilterEnvNegative", MAKE(blockFilterEnv(w, a, -4.5, env, b, e))},
    };
    for (bool two : {false, true}) {
        const std::string h = two ? "2" : "";
        c.push_back({"tempoPitch" + h, MAKE((two ? tempoPitch2 : tempoPitch)(w, a, 0.8, 0.25, 1.3, 1.5, 7, b, e))});
        c.push_back({"tempoPitchFreqEnv" + h, MAKE((two ? tempoPitch2FreqEnv : tempoPitchFreqEnv)(w, a, 1.2, 0.5, 1.0, 0.8, env, 5, b, e, nullptr))});
        c.push_back({"tempoPitchSpeedEnv" + h, MAKE((two ? tempoPitch2SpeedEnv : tempoPitchSpeedEnv)(w, a, 1.1, env, 0.1, 2.0, 1.25, 6, b, e, nullptr))});
        c.push_back({"tempoPitchEnvs" + h, MAKE((two ? tempoPitch2Envs : tempoPitchEnvs)(w, a, 0.9, env, 0.9, 1.0, 2.0, env, 3, b, e, nullptr))});
        const std::string n = two ? "high" : "low";
        c.push_back({n + "Filter", MAKE((two ? highFilter : lowFilter)(w, a, 12.5, 0.3, 2, 3, *b, *e))});
        c.push_back({n + "FilterEnv", MAKE((two ? highFilterEnv : lowFilterEnv)(w, a, env, 0.7, 1, 2, Rate, *b, *e, nullptr))});
        const ResFilters& r = two ? TheFilterTable.notch : TheFilterTable.resonance;
        const std::string f = two ? "notch" : "res";
        c.push_back({f, MAKE(r.constant(w, a, 20.0, 0.05, *b, *e))});
        c.push_back({f + "FreqEnv", MAKE(r.freqEnvelope(w, a, env, 0.1, Rate, *b, *e, nullptr))});
        c.push_back({f + "FactorEnv", MAKE(r.factorEnvelope(w, a, 30.0, env, *b, *e, nullptr))});
        c.push_back({f + "Envs", MAKE(r.bothEnvelopes(w, a, env, env, Rate, *b, *e, nullptr))});
    }
    // Balance: every combination of the three flags on both sides, far (delayed) and near.
    for (int flags = 0; flags < 8; ++flags)
        for (int side = 0; side < 2; ++side)
            for (bool far : {true, false}) {
                const bool delay = flags & 1, volume = flags & 2, filter = flags & 4;
                const double angle = (side == 0) == far ? 0.7 : -0.4;
                const std::string n = std::to_string(flags) + "side" + std::to_string(side) + (far ? "far" : "near");
                c.push_back({"balance" + n, MAKE(balance(w, a, angle, side, delay, volume, filter, Rate)), delay ? filter || far : filter && !volume});
                if (far)
                    c.push_back({"balanceEnvelope" + n, MAKE(balanceEnvelope(w, a, env, side, delay, volume, filter, Rate)), filter || delay});
            }
    // clang-format on
    return c;
}

WavePtr Varying(int32_t n)
{
    uint32_t state = 12345;
    return MakeWaveOf(
        n, [&](int32_t) { return int((state = state * 1103515245u + 12345u) >> 16) - 32768; });
}

class SignalCatalogue : public ::testing::TestWithParam<Entry>
{
protected:
    static void SetUpTestSuite()
    {
        AbortFlag flag = 0;
        ASSERT_TRUE(CreateSinus(&flag));
    }
    static void TearDownTestSuite() { FreeSinus(); }

    // A new wave, or (for the operations in place) a changed copy of src.
    static WavePtr Once(
        const Entry& entry, const Wave& src, const Wave& env, AbortFlag* abort, int32_t& begin,
        int32_t& end, const std::function<void()>& arm = [] {})
    {
        WavePtr w = entry.make ? nullptr : CreateWaveCopy(nullptr, &src);
        arm();
        if (entry.make)
            return entry.make(src, abort, &env, &begin, &end);
        entry.change(*w, abort, &env);
        return w;
    }
};

} // namespace

TEST_P(SignalCatalogue, RunsOnEveryKindOfInput)
{
    const Entry& entry = GetParam();
    RecordedBoxes boxes;
    for (const WavePtr& src :
         {Constant(7, 1234), Varying(7), Constant(25000, -20000), Varying(25000)})
        for (const WavePtr& env : {MakeWave({-9000}), MakeWave({-32768, 32767}), Varying(30001)}) {
            const int32_t n = src->Values();
            for (const auto& [b0, e0] : {std::pair{0, -1}, {2, n - 2}, {n / 2, n / 2 + 1}}) {
                if (src->ResolveEnd(e0) - b0 < entry.minRange)
                    continue;
                SCOPED_TRACE(std::to_string(n) + " values, envelope of " +
                             std::to_string(env->Values()) + ", from " + std::to_string(b0));
                AbortFlag abort = 0;
                int32_t begin = b0, end = e0;
                const WavePtr out = Once(entry, *src, *env, &abort, begin, end);
                ASSERT_TRUE(out);
                EXPECT_LE(0, begin);
                EXPECT_LE(begin, out->ResolveEnd(end));
                EXPECT_LE(out->ResolveEnd(end), out->Values());
                EXPECT_EQ(abort, 0);
            }
        }
    EXPECT_EQ(boxes.texts, std::vector<std::string>{});
}

TEST_P(SignalCatalogue, LooksAtTheFlagEveryBlockStopsAtOnceAndFailsWithoutMemory)
{
    const Entry& entry = GetParam();
    const WavePtr src = Varying(25000), env = Varying(30001);
    RecordedBoxes boxes;
    for (int64_t after : {-1, 0, 3}) {
        AbortFlag abort = 0;
        int32_t begin = 0, end = -1;
        const WavePtr out = Once(entry, *src, *env, &abort, begin, end, [&] {
            signal::CountPolls(true);
            if (after >= 0)
                AbortAfterPolls(after);
        });
        ResetAbortHook();
        const int64_t polls = signal::PollsCounted();
        signal::CountPolls(false);
        if (after < 0) {
            // A full run looks at the flag at least once per thousand values.
            EXPECT_TRUE(out);
            EXPECT_GE(polls, entry.polls ? 25 : 0);
            continue;
        }
        EXPECT_EQ(abort, 1);
        EXPECT_EQ(entry.make ? out == nullptr : true, true);
        EXPECT_EQ((V{begin, end}), (V{0, -1}));
        // Stopped at once: no more than one further look per loop it was in.
        EXPECT_LE(polls, after + 2);
    }
    EXPECT_TRUE(boxes.texts.empty());
    if (!entry.make)
        return;
    // The first allocation fails, and then, for operations that allocate more, a later one.
    const WavePtr small = Varying(3000), smallEnv = Varying(301);
    for (int64_t successes : {0, 1, 2}) {
        RecordedBoxes memory;
        AbortFlag abort = 0;
        int32_t begin = 0, end = -1;
        FailAllocationsAfter(successes);
        const WavePtr out = entry.make(*small, &abort, smallEnv.get(), &begin, &end);
        ResetAllocationFailure();
        if (out) {
            EXPECT_GT(successes, 0);
            continue;
        }
        EXPECT_EQ((V{abort, begin, end}), (V{1, 0, -1})) << successes;
        EXPECT_EQ(memory.texts, std::vector<std::string>{NoMemoryBox});
    }
}

INSTANTIATE_TEST_SUITE_P(Every, SignalCatalogue, ::testing::ValuesIn(AllOperations()),
                         [](const auto& info) { return info.param.name; });
