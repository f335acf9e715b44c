// The wave primitives: known outputs worked out by hand, refusals by their condition, the memory
// road for impossible counts, and every primitive under a stop, an allocation failure and a
// flag set beforehand.

#include "sound/WavePrimitives.h"

#include "general/random/Random15.h"
#include "sound/SineTable.h"
#include "sound/WavePrimitivesDetail.h"
#include "sound/WaveSampling.h"
#include "support/Signals.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using V = std::vector<int>;
constexpr int32_t Unchecked = -99;
const double Inf = std::numeric_limits<double>::infinity();
const double NaN = std::numeric_limits<double>::quiet_NaN();

struct Out
{
    V values;
    int32_t end = Unchecked, begin = Unchecked; ///< the new frame of a replaced range
};

struct Known
{
    const char* name;
    std::function<Out(AbortFlag*)> run;
    V values;
    int32_t end = Unchecked, begin = Unchecked; ///< begin: checked where it moves
};

using WithSinus = WithSineTable;
template <class P> using WithSinusP = WithSineTableP<P>;

const V X5 = {1, 2, 3, 4, 5}, X6 = {1, 2, 3, 4, 5, 6}, R5 = {0, 100, 200, 300, 400};
const V X10 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, Loop = {9, 0, 100, 200, 300, 8};

} // namespace

// A new wave made from the source s, which must stay as it was.
// clang-format off
#define NEW(src, expr) [](AbortFlag* a) { const WavePtr s = MakeWave(src); Out out{ValuesOf(expr)}; EXPECT_EQ(ValuesOf(s), src); return out; }
// A new wave in which [b, e) of s is replaced; the row checks the new end too.
#define FRAMED(src, b0, e0, expr) [](AbortFlag* a) { const WavePtr s = MakeWave(src); int32_t b = b0, e = e0; const WavePtr w = expr; return Out{ValuesOf(w), e, b}; }
// s changed in place.
#define IN_PLACE(src, stmt) [](AbortFlag* a) { const WavePtr s = MakeWave(src); stmt; return Out{ValuesOf(s)}; }
#define VALUES(expr) [](AbortFlag* a) { return Out{expr}; }
// clang-format on

int16_t Max, NegMin;

// clang-format off
const Known KnownOutputs[] = {
    // -32768 counts as 32768 for the peak; minMax's negMin stops at 32767.
    {"peak minMax", VALUES((V{peak(*MakeWave({3, -5, 4, 2, 1}), a, 0, -1), (minMax(*MakeWave({3, -5, 4, 2, 1}), a, Max, NegMin, 0, -1), Max), NegMin})), {5, 4, 5}},
    {"peak minMax positive", VALUES((V{peak(*MakeWave({3, -5, 4, 2, 1}), a, 2, 4), (minMax(*MakeWave({3, -5, 4, 2, 1}), a, Max, NegMin, 2, 4), Max), NegMin})), {4, 4, 0}},
    {"peak minMax empty", VALUES((V{peak(*MakeWave({3, -5}), a, 1, 1), (minMax(*MakeWave({3, -5}), a, Max, NegMin, 1, 1), Max), NegMin})), {0, 0, 0}},
    {"peak minMax negative", VALUES((V{peak(*MakeWave({-7, -9, -2}), a, 0, 3), (minMax(*MakeWave({-7, -9, -2}), a, Max, NegMin, 0, 3), Max), NegMin})), {9, 0, 9}},
    {"peak minMax extremes", VALUES((V{peak(*MakeWave({10, -32768, 32767}), a, 0, -1), (minMax(*MakeWave({10, -32768, 32767}), a, Max, NegMin, 0, -1), Max), NegMin})), {32768, 32767, 32767}},
    {"copyPart", NEW(X6, copyPart(*s, a, 1, 4)), {2, 3, 4}},
    {"copyPart to the end", NEW(X6, copyPart(*s, a, 4, -1)), {5, 6}},
    {"copyPart nothing", NEW(X6, copyPart(*s, a, 3, 3)), {}},
    {"deletePart", NEW(X6, deletePart(*s, a, 1, 3)), {1, 4, 5, 6}},
    {"deletePart the rest", NEW(X6, deletePart(*s, a, 2, -1)), {1, 2}},
    {"deletePart all", NEW(X6, deletePart(*s, a, 0, -1)), {}},
    {"replace", NEW(X6, replace(*s, a, *MakeWave({-1, -2}), 1, 5)), {1, -1, -2, 6}},
    {"replace at the end", NEW(X6, replace(*s, a, *MakeWave({-1, -2}), 6, -1)), {1, 2, 3, 4, 5, 6, -1, -2}},
    {"replace by itself", NEW(X6, replace(*s, a, *s, 2, 4)), {1, 2, 1, 2, 3, 4, 5, 6, 5, 6}},
    {"append", NEW(X5, append(*s, a, *MakeWave({9, 8}))), {1, 2, 3, 4, 5, 9, 8}},
    {"append itself", NEW(X5, append(*s, a, *s)), {1, 2, 3, 4, 5, 1, 2, 3, 4, 5}},
    {"append to nothing", NEW(V{}, append(*s, a, *MakeWave({9, 8}))), {9, 8}},
    {"append nothing", NEW(V{}, append(*s, a, *s)), {}},
    // Up-sampling: the last position 3.5 reads halfway to the silence after the wave.
    {"resampleTo up", FRAMED(R5, 0, -1, resampleTo(*s, a, 10, false, &b, &e)), {0, 50, 100, 150, 200, 250, 300, 350, 400, 200}, 10},
    // Inside a wave the value after the range is read there instead.
    {"resampleTo up inside", FRAMED((V{10, 0, 100, 200, 300, 40}), 1, 5, resampleTo(*s, a, 8, false, &b, &e)), {10, 0, 50, 100, 150, 200, 250, 300, 170, 40}, 9},
    {"resampleTo down", FRAMED((V{0, 100, 200, 300, 400, 500}), 0, 6, resampleTo(*s, a, 3, false, &b, &e)), {0, 200, 400}, 3},
    {"resampleTo 3/4", FRAMED((V{0, 100, 200, 0, 0}), 0, 3, resampleTo(*s, a, 4, false, &b, &e)), {0, 75, 150, 150, 0, 0}, 4},
    {"resampleTo truncates", FRAMED((V{-100, -201, 7, 8, 9}), 0, 2, resampleTo(*s, a, 4, false, &b, &e)), {-100, -150, -201, -97, 7, 8, 9}, 4},
    // Reversed, the first position is the range's length: one past its last value.
    {"resampleTo reversed at the end", FRAMED((V{5, 0, 100, 200, 300}), 1, -1, resampleTo(*s, a, 4, true, &b, &e)), {5, 0, 300, 200, 100}, 5},
    {"resampleTo reversed inside", FRAMED((V{0, 100, 200, 300, 77}), 0, 4, resampleTo(*s, a, 4, true, &b, &e)), {77, 300, 200, 100, 77}, 4},
    {"resampleTo nothing", FRAMED(X5, 1, 4, resampleTo(*s, a, 0, false, &b, &e)), {1, 5}, 1},
    {"resampleTo same", FRAMED(X5, 0, -1, resampleTo(*s, a, 5, false, &b, &e)), X5, 5},
    // (5 - 1) * 0.5 + 1 = 3 values at positions 0, 5/3, 10/3.
    {"resampleRange half", FRAMED((V{7, 0, 30, 61, 90, 121, 8}), 1, 6, resampleRange(*s, a, 0.5, &b, &e)), {7, 0, 50, 100, 8}, 4},
    {"resampleRange backwards", FRAMED((V{7, 0, 30, 61, 90, 121, 8}), 1, 4, resampleRange(*s, a, -1, &b, &e)), {7, 90, 61, 30, 90, 121, 8}, 4},
    {"resampleRange factor 0", FRAMED((V{7, 0, 30, 61, 90, 121, 8}), 1, 6, resampleRange(*s, a, 0, &b, &e)), {7, 0, 8}, 2},
    {"resampleRange empty range", FRAMED(X5, 2, 2, resampleRange(*s, a, 3, &b, &e)), X5, 2},
    // (5 - 1) * 2 + 1 = 9 values, step 5/9: interpolated, truncated.
    {"resampleFactor", NEW(R5, resampleFactor(*s, a, 2)), {0, 55, 111, 166, 222, 277, 333, 388, 222}},
    {"resampleFactor of nothing", NEW(V{}, resampleFactor(*s, a, 2)), {}},
    {"resample reversed", NEW(R5, resample(*s, a, 5, true)), {0, 400, 300, 200, 100}},
    {"resample down", NEW(R5, resample(*s, a, 2, false)), {0, 250}},
    {"copyFrom", IN_PLACE(X6, copyFrom(*s, a, *MakeWave({10, 20, 30, 40, 50}), 1, 3, 2)), {1, 2, 20, 30, 5, 6}},
    {"copyFrom to the end", IN_PLACE(X6, copyFrom(*s, a, *MakeWave({10, 20, 30, 40, 50}), 3, -1, 0)), {40, 50, 3, 4, 5, 6}},
    {"copyFrom itself forwards", IN_PLACE(X6, copyFrom(*s, a, *s, 0, 4, 2)), {1, 2, 1, 2, 3, 4}},
    {"copyFrom itself backwards", IN_PLACE(X6, copyFrom(*s, a, *s, 2, -1, 0)), {3, 4, 5, 6, 5, 6}},
    {"addFrom", IN_PLACE(X5, addFrom(*s, a, *MakeWave({10, 20}), 0, -1, 3)), {1, 2, 3, 14, 25}},
    {"addFrom wraps", IN_PLACE((V{32767, -32768}), addFrom(*s, a, *MakeWave({1, -1}), 0, 2, 0)), {-32768, 32767}},
    // Each value added is the source's value before this call changed it.
    {"addFrom itself forwards", IN_PLACE(X5, addFrom(*s, a, *s, 0, 3, 1)), {1, 3, 5, 7, 5}},
    {"addFrom itself backwards", IN_PLACE(X5, addFrom(*s, a, *s, 1, 4, 0)), {3, 5, 7, 4, 5}},
    {"clear", IN_PLACE(X5, clear(*s, a, 1, 3)), {1, 0, 0, 4, 5}},
    {"clear to the end", IN_PLACE(X5, clear(*s, a, 3, -1)), {1, 2, 3, 0, 0}},
    {"mirror", IN_PLACE(X5, mirror(*s, a, 0, -1)), {5, 4, 3, 4, 5}},
    {"mirror even", IN_PLACE(X5, mirror(*s, a, 1, 5)), {1, 5, 4, 4, 5}},
    {"mirror one", IN_PLACE(X5, mirror(*s, a, 2, 3)), X5},
    {"drawLine", IN_PLACE((V{9, 9, 9, 9, 9, 9}), drawLine(*s, a, 1, 0, 5, 300)), {9, 0, 100, 200, 300, 9}},
    {"drawLine to the end", IN_PLACE((V{9, 9, 9, 9, 9, 9}), drawLine(*s, a, 2, -5, -1, 1)), {9, 9, -5, -3, -1, 1}},
    {"drawLine one value: the mean", IN_PLACE((V{9, 9, 9, 9, 9, 9}), drawLine(*s, a, 3, 3, 4, -6)), {9, 9, 9, -1, 9, 9}},
    {"drawLine toward zero", IN_PLACE((V{9, 9, 9, 9, 9, 9}), drawLine(*s, a, 0, 0, 3, -5)), {0, -2, -5, 9, 9, 9}},
    {"drawLine nothing", IN_PLACE((V{9, 9, 9, 9, 9, 9}), drawLine(*s, a, 4, 1, 4, 2)), {9, 9, 9, 9, 9, 9}},
    {"volumeInPlace wraps", IN_PLACE((V{100, -100, 20000, 3, 5}), volumeInPlace(*s, a, 2, 0, -1)), {200, -200, -25536, 6, 10}},
    {"volumeInPlace truncates", IN_PLACE((V{3, -3, 1, -1, 32767}), volumeInPlace(*s, a, 0.5, 0, -1)), {1, -1, 0, 0, 16383}},
    {"volumeInPlace below 65536", IN_PLACE((V{1, -1, 2, 0, 32767}), volumeInPlace(*s, a, 65535.5, 0, -1)), {-1, 1, -1, 0, -16384}},
    // From |factor| 65536 on, and for NaN, products leave 32 bits: another loop, same rule.
    {"volumeInPlace -65536", IN_PLACE((V{1, -32768, 32767, 0, 2}), volumeInPlace(*s, a, -65536, 0, -1)), {0, 0, 0, 0, 0}},
    {"volumeInPlace 1e6 inside", IN_PLACE((V{3, 0, -1, 1, 2, 7}), volumeInPlace(*s, a, 1e6, 0, 5)), {-14656, 0, -16960, 16960, -31616, 7}},
    {"volumeInPlace NaN inside", IN_PLACE(X5, volumeInPlace(*s, a, NaN, 1, 3)), {1, 0, 0, 4, 5}},
    {"volumeInPlace empty range", IN_PLACE(X5, volumeInPlace(*s, a, 0, 2, 2)), X5},
    {"volume 1e6 inside", NEW((V{3, 0, -1, 1, 2, 7}), volume(*s, a, 1e6, 1, 4)), {3, 0, -16960, 16960, 2, 7}},
    {"volume -65536 to the end", NEW(X5, volume(*s, a, -65536, 2, -1)), {1, 2, 0, 0, 0}},
    {"volume NaN", NEW(X5, volume(*s, a, NaN, 0, 3)), {0, 0, 0, 4, 5}},
    {"volume wraps", NEW((V{100, 20000, -3, 1, 1}), volume(*s, a, 2, 0, 3)), {200, -25536, -6, 1, 1}},
    {"volume truncates", NEW((V{3, -3, 7, 1, 1}), volume(*s, a, 0.5, 0, 3)), {1, -1, 3, 1, 1}},
    // sin(2 i 3.1415293 / 8) * 32767: the half period lands a hair short of pi (value 2).
    {"makeSinePeriod", IN_PLACE((V(8, 0)), makeSinePeriod(*s)), {0, 23169, 32766, 23170, 2, -23167, -32766, -23172}},
    {"makeSilence", FRAMED(X5, 1, 3, makeSilence(*s, a, 4, &b, &e)), {1, 0, 0, 0, 0, 4, 5}, 5},
    {"makeSilence of nothing", FRAMED(X5, 1, 3, makeSilence(*s, a, 0, &b, &e)), {1, 4, 5}, 1},
    {"makeSilence to the end", FRAMED(X5, 2, -1, makeSilence(*s, a, 2, &b, &e)), {1, 2, 0, 0}, 4},
    {"makeLine", FRAMED(X5, 1, 3, makeLine(*s, a, 0, 300, 4, &b, &e)), {1, 0, 100, 200, 300, 4, 5}, 5},
    {"makeLine of 1 is 2", FRAMED(X5, 1, 3, makeLine(*s, a, 10, -20, 1, &b, &e)), {1, 10, -20, 4, 5}, 3},
    {"makeLine toward zero", FRAMED(X5, 1, 3, makeLine(*s, a, 0, -5, 3, &b, &e)), {1, 0, -2, -5, 4, 5}, 4},
    {"makeLine of none", FRAMED(X5, 1, 3, makeLine(*s, a, 7, 9, 0, &b, &e)), {1, 4, 5}, 1},
    // Geometric lines end one factor short of `to`.
    {"makeExpLine", FRAMED(X5, 1, 3, makeExpLine(*s, a, 100, 1600, 4, &b, &e)), {1, 100, 200, 400, 800, 4, 5}, 5},
    {"makeExpLine of 1 is 2", FRAMED(X5, 1, 3, makeExpLine(*s, a, 100, 400, 1, &b, &e)), {1, 100, 200, 4, 5}, 3},
    {"makeExpLine halving", FRAMED(X5, 1, 3, makeExpLine(*s, a, 1600, 100, 4, &b, &e)), {1, 1600, 800, 400, 200, 4, 5}, 5},
    // The reference generator's first draws for seed 1: 16838 5758 10113 17515 31051 5627.
    {"makeNoise", FRAMED(V{}, 0, 0, (SeedRandom15(1), makeNoise(*s, a, 16384, 6, &b, &e))), {454, -10626, -6271, 1131, 14667, -10757}, 6},
    {"makeNoise negative", FRAMED(V{}, 0, 0, (SeedRandom15(42), makeNoise(*s, a, -300, 6, &b, &e))), {-49, -11, 20, -166, 46, 279}, 6},
    {"makeNoise of none", FRAMED(V{}, 0, 0, makeNoise(*s, a, 100, 0, &b, &e)), {}, 0},
    {"block", FRAMED(X5, 2, -1, makeBlockTriangle(*s, a, 100, -100, 4, 0.5, 8, 0, false, &b, &e)), {1, 2, 100, 100, -100, -100, 100, 100, -100, -100}, 10},
    {"block middle 0", FRAMED(X5, 2, -1, makeBlockTriangle(*s, a, 100, -100, 4, 0, 4, 0, false, &b, &e)), {1, 2, -100, -100, -100, -100}, 6},
    {"triangle", FRAMED(X5, 2, -1, makeBlockTriangle(*s, a, 0, 1000, 4, 0.5, 8, 0, true, &b, &e)), {1, 2, 0, 500, 1000, 500, 0, 500, 1000, 500}, 10},
    {"triangle middle 0", FRAMED(X5, 2, -1, makeBlockTriangle(*s, a, 0, 1000, 4, 0, 4, 0, true, &b, &e)), {1, 2, 1000, 750, 500, 250}, 6},
    {"triangle middle 1", FRAMED(X5, 2, -1, makeBlockTriangle(*s, a, 0, 1000, 4, 1, 5, 0, true, &b, &e)), {1, 2, 0, 250, 500, 750, 0}, 7},
    // The middle e / 65535 + 0.5 rises from just below 0 to just below 1 over 8 values.
    {"block envelope", FRAMED(V{}, 0, 0, makeBlockTriangleEnv(*s, a, 1, 2, 8, MakeWave({-32768, 32767}).get(), 8, 0, false, &b, &e)), {2, 1, 1, 1, 1, 1, 1, 1}, 8},
    {"triangle envelope 0", FRAMED(V{}, 0, 0, makeBlockTriangleEnv(*s, a, 0, 1000, 4, MakeWave({0, 0, 0}).get(), 5, 0, true, &b, &e)), {0, 500, 1000, 500, 0}, 5},
    {"block envelope one value high", FRAMED(V{}, 0, 0, makeBlockTriangleEnv(*s, a, 1, 2, 4, MakeWave({32767, -32768}).get(), 1, 0, false, &b, &e)), {1}, 1},
    {"block envelope one value low", FRAMED(V{}, 0, 0, makeBlockTriangleEnv(*s, a, 1, 2, 4, MakeWave({-32768, 32767}).get(), 1, 0, false, &b, &e)), {2}, 1},
    {"repeatForm twice", FRAMED((V{1, 2, 3}), 1, 2, repeatForm(*s, a, MakeWave(R5).get(), 4, 2, 0, &b, &e, 0, -1)), {1, 0, 100, 200, 300, 0, 100, 200, 300, 3}, 9},
    {"repeatForm backwards", FRAMED((V{1, 2, 3}), 1, 2, repeatForm(*s, a, MakeWave(R5).get(), -4, 2, 0, &b, &e, 0, 5)), {1, 0, 300, 200, 100, 0, 300, 200, 100, 3}, 9},
    {"repeatForm stretched", FRAMED((V{1, 2, 3}), 1, 2, repeatForm(*s, a, MakeWave(R5).get(), 8, 1, 0, &b, &e, 0, 5)), {1, 0, 50, 100, 150, 200, 250, 300, 350, 3}, 9},
    {"repeatForm part", FRAMED((V{1, 2, 3}), 1, 2, repeatForm(*s, a, MakeWave(R5).get(), 2, 2, 0, &b, &e, 1, 3)), {1, 100, 150, 100, 150, 3}, 5},
    {"repeatForm one value", FRAMED((V{1, 2, 3}), 1, 2, repeatForm(*s, a, MakeWave(R5).get(), 2, 1.5, 0, &b, &e, 2, 3)), {1, 200, 200, 200, 3}, 4},
    {"repeatForm itself", FRAMED((V{0, 100, 200, 300}), 0, -1, repeatForm(*s, a, s.get(), 2, 1, 0, &b, &e, 1, 3)), {100, 150}, 2},
    // 3 4 5 6 7 folded from offset 1 into 3 values: [5, 3 + 6, 4 + 7].
    {"rollIn", FRAMED(X10, 2, 7, rollIn(*s, a, 3, 1, &b, &e)), {1, 2, 5, 9, 11, 8, 9, 10}, 5},
    {"rollIn shorter than the length", FRAMED(X10, 0, 2, rollIn(*s, a, 5, 3, &b, &e)), {0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 5},
    {"rollIn wraps", FRAMED((V{30000, 30000, 1, 2, 3}), 0, 2, rollIn(*s, a, 1, 0, &b, &e)), {-5536, 1, 2, 3}, 1},
    {"rollIn length 0 keeps all", FRAMED(X5, 1, 3, rollIn(*s, a, 0, 0, &b, &e)), X5, 3},
    {"rollIn length -3 keeps all", FRAMED(X5, 1, 3, rollIn(*s, a, -3, 0, &b, &e)), X5, 3},
    // The first step comes before the first read; a read between the last and the first value
    // loops round.
    {"rollOut", FRAMED(Loop, 1, 5, rollOut(*s, a, MakeWave({32767}).get(), 1, 1, 0, &b, &e)), {9, 100, 200, 300, 0, 8}, 5},
    {"rollOut faster longer", FRAMED(Loop, 1, 5, rollOut(*s, a, MakeWave({32767}).get(), 2, 1.5, 0, &b, &e)), {9, 150, 300, 50, 200, 150, 100, 250, 0, 8}, 9},
    {"rollOut backwards", FRAMED(Loop, 1, 5, rollOut(*s, a, MakeWave({32767}).get(), 1, -1, 0, &b, &e)), {9, 300, 200, 100, 0, 8}, 5},
    {"rollOut from the middle", FRAMED(Loop, 1, 5, rollOut(*s, a, MakeWave({32767}).get(), 1, 1, 0.5, &b, &e)), {9, 300, 0, 100, 200, 8}, 5},
    {"rollOut enveloped", FRAMED(Loop, 1, 5, rollOut(*s, a, MakeWave({0, 32767}).get(), 1, 1, 0, &b, &e)), {9, 0, 25, 75, 150, 8}, 5},
    {"rollOut shorter", FRAMED(Loop, 1, 5, rollOut(*s, a, MakeWave({32767, 0}).get(), 0.5, 1, 0, &b, &e)), {9, 100, 150, 8}, 3},
    {"rollOut one value", FRAMED((V{5, 6, 7}), 1, 2, rollOut(*s, a, MakeWave({32767, 0, -32768}).get(), 3, 1.5, 0, &b, &e)), {5, 6, 6, 6, 7}, 4},
    {"rollOut empty range", FRAMED((V{5, 6, 7}), 1, 1, rollOut(*s, a, MakeWave({32767}).get(), 3, 1, 0, &b, &e)), {5, 6, 7}, 1},
    {"reverse", NEW(X5, reverse(*s, a, 1, 4)), {1, 4, 3, 2, 5}},
    {"reverse all", NEW(X5, reverse(*s, a, 0, -1)), {5, 4, 3, 2, 1}},
    {"moveV wraps", NEW((V{32767, 0, -32768, 5, 6}), moveV(*s, a, 1, 0, 3)), {-32768, 1, -32767, 5, 6}},
    // Mean 101 / 4 truncated to 25.
    {"normalizeV", NEW((V{10, 20, 30, 41, 99}), normalizeV(*s, a, 0, 4)), {-15, -5, 5, 16, 99}},
    {"normalizeV bottom", NEW((V{-32768, -32768, 1, 2, 3}), normalizeV(*s, a, 0, 2)), {0, 0, 1, 2, 3}},
    {"block averages", NEW((V{1, 2, 3, 4, 5, 6, 7}), block(*s, a, 2, 0, 0, -1)), {1, 1, 3, 3, 5, 5, 7}},
    {"block fractional", NEW((V{1, 2, 3, 4, 5, 6, 7}), block(*s, a, 2.5, 0, 0, -1)), {1, 1, 4, 4, 4, 6, 6}},
    {"block 1 level silences", NEW((V{1, 2, 3, 4, 5, 6, 7}), block(*s, a, 2, 1, 1, 5)), {1, 0, 0, 0, 0, 6, 7}},
    {"block 2 levels", NEW((V{1, 0, -3, -4, 9}), block(*s, a, 1, 2, 0, 4)), {32767, 32767, -32768, -32768, 9}},
    {"block 3 levels", NEW((V{0, -32768, 32767, -1, 5}), block(*s, a, 1, 3, 0, 4)), {0, -32768, 32767, 0, 5}},
    {"block negative mean", NEW((V{-1, -2, 8, 8, 8}), block(*s, a, 2, 0, 0, 2)), {-1, -1, 8, 8, 8}},
    // The curve from -32768 to 32767 gives x - 0.5, truncated.
    {"distort straight", NEW((V{100, 0, -100, -32768, 32767}), distort(*s, a, MakeWave({-32768, 32767}).get(), 0, -1)), {99, 0, -100, -32768, 32766}},
    {"distort peak", NEW((V{0, -32768, 32767, 16384, 5}), distort(*s, a, MakeWave({0, 1000, 0}).get(), 0, 4)), {1000, 0, 0, 499, 5}},
    {"distort one value", NEW(X5, distort(*s, a, MakeWave({123}).get(), 1, 3)), {1, 123, 123, 4, 5}},
    {"volumeEnvelope", NEW((V(5, 1000)), volumeEnvelope(*s, a, MakeWave({0, 32767}).get(), 0, -1)), {0, 250, 500, 750, 1000}},
    {"volumeEnvelope one value", NEW((V(5, 1000)), volumeEnvelope(*s, a, MakeWave({16384, 0}).get(), 2, 3)), {1000, 1000, 500, 1000, 1000}},
    {"volumeEnvelope negative", NEW((V{1000, -1000, 7}), volumeEnvelope(*s, a, MakeWave({-32768}).get(), 0, 2)), {-1000, 1000, 7}},
    {"rotate 1", NEW(X6, rotate(*s, a, 1, 1, 5)), {1, 3, 4, 5, 2, 6}},
    {"rotate 3", NEW(X6, rotate(*s, a, 3, 1, -1)), {1, 5, 6, 2, 3, 4}},
    {"rotate all", NEW(X6, rotate(*s, a, 4, 1, 5)), X6},
    // 2 and 3 move two values right and add to 4 and 5; their old place is left silent.
    {"moveH right", FRAMED(X6, 1, 3, moveH(*s, a, 2, 0, 0, &b, &e)), {1, 0, 0, 6, 8, 6}, 5, 3},
    {"moveH left", FRAMED(X6, 1, 3, moveH(*s, a, -2, 1, 0, &b, &e)), {2, 4, 0, 0, 4, 5, 6}, 2, 0},
    {"moveH half", FRAMED(X6, 1, 3, moveH(*s, a, 0.5, 0, 0, &b, &e)), {1, 0, 2, 4, 5, 6}, 3, 1},
    {"moveH none", FRAMED(X6, 1, 3, moveH(*s, a, 0, 0, 0, &b, &e)), X6, 3, 1},
    {"moveH past the end", FRAMED(X6, 1, 3, moveH(*s, a, 6, 0, 3, &b, &e)), {1, 0, 0, 4, 5, 6, 0, 2, 3}, 9, 7},
    {"moveH wraps", FRAMED((V{30000, 30000, 1, 2, 3}), 0, 1, moveH(*s, a, 1, 0, 0, &b, &e)), {0, -5536, 1, 2, 3}, 2, 1},
    // e = -32768 shifts every read by +1: the range moves one value left, onto the 2.
    {"moveHEnvelope", FRAMED(X6, 2, 4, moveHEnvelope(*s, a, 1, MakeWave({-32768}).get(), 0, 0, &b, &e)), {1, 5, 4, 0, 5, 6}, 5, 1},
    {"moveHEnvelope still", FRAMED(X6, 2, 4, moveHEnvelope(*s, a, 1, MakeWave({0, 0, 0}).get(), 0, 0, &b, &e)), X6, 5, 1},
    // Positions k * (E - 1) / (1 + 2 + 1): shifts 1, 0.50001, 0.00002; only the first read
    // lands on the range's one value.
    {"moveHEnvelope one value", FRAMED(X5, 2, 3, moveHEnvelope(*s, a, 1, MakeWave({-32768, 32767}).get(), 0, 0, &b, &e)), {1, 5, 0, 4, 5}, 4, 1},
    // At the start the widened range reaches before the wave: a margin makes room. The shift
    // of -0.99997 reads the second value just past the range's last index: it is lost.
    {"moveHEnvelope with margins", FRAMED(X5, 0, 2, moveHEnvelope(*s, a, 1, MakeWave({32767}).get(), 1, 1, &b, &e)), {0, 0, 1, 3, 4, 5, 0}, 4, 0},
};
// clang-format on

class KnownOutput : public WithSinusP<Known>
{
};

TEST_P(KnownOutput, IsExact)
{
    const Known& k = GetParam();
    RecordedBoxes boxes;
    AbortFlag abort = 0;
    const Out out = k.run(&abort);
    EXPECT_EQ(out.values, k.values);
    EXPECT_EQ(out.end, k.end == Unchecked ? out.end : k.end);
    EXPECT_EQ(out.begin, k.begin == Unchecked ? out.begin : k.begin);
    EXPECT_EQ(abort, 0);
    EXPECT_TRUE(boxes.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Primitives, KnownOutput, ::testing::ValuesIn(KnownOutputs),
                         [](const auto& info) { return TableName(info); });

// The loop for factors of 65536 and more (and NaN) writes nothing past its values.
TEST(ScaleValues, LargeFactorsStayInsideTheirValues)
{
    for (double factor : {65536.0, -1e6, 1e300, NaN, 3.0}) {
        std::vector<int16_t> from = {3, -1, 2, 7, 9}, to(6, 77), same = from;
        wavedetail::ScaleValues(to.data(), from.data(), 4, factor);
        wavedetail::ScaleValuesInPlace(same.data(), 4, factor);
        EXPECT_EQ(to[4], 77) << factor;
        EXPECT_EQ(same[4], 9) << factor;
        EXPECT_EQ(std::vector<int16_t>(to.begin(), to.begin() + 4),
                  std::vector<int16_t>(same.begin(), same.begin() + 4));
        EXPECT_EQ(to[3], StoreSample(7 * factor)) << factor;
    }
}

// ---- Refusals: a broken precondition names its condition, sets the flag, changes nothing --

struct Broken
{
    const char* condition;
    std::function<bool(AbortFlag*)> run; ///< true when nothing was made or changed
};

// clang-format off
const Broken BrokenCalls[] = {
    {"begin <= end", [](AbortFlag* a) { return peak(*MakeWave(X5), a, 3, 2) == 0; }},
    {"end <= values", [](AbortFlag* a) { return peak(*MakeWave(X5), a, 0, 6) == 0; }},
    {"begin >= 0", [](AbortFlag* a) { return !copyPart(*MakeWave(X5), a, -1, 2); }},
    {"to + end - begin <= values", [](AbortFlag* a) { WavePtr w = MakeWave(X5); copyFrom(*w, a, *MakeWave({10, 20, 30}), 0, 3, 3); return ValuesOf(w) == X5; }},
    {"to >= 0", [](AbortFlag* a) { WavePtr w = MakeWave(X5); addFrom(*w, a, *MakeWave({10, 20, 30}), 0, 3, -1); return ValuesOf(w) == X5; }},
    {"end <= values", [](AbortFlag* a) { WavePtr w = MakeWave(X5); copyFrom(*w, a, *MakeWave({10, 20, 30}), 0, 4, 0); return ValuesOf(w) == X5; }},
    // Without a flag to stop it, a refused range must still change nothing.
    {"begin >= 0", [](AbortFlag* a) { WavePtr w = MakeWave(X5); volumeInPlace(*w, nullptr, 2, -1, 3); volumeInPlace(*w, a, 2, -1, 3); return ValuesOf(w) == X5; }},
    {"leftShift <= length", [](AbortFlag* a) { return !rotate(*MakeWave(X5), a, 4, 1, 4); }},
    {"leftShift >= 0", [](AbortFlag* a) { return !rotate(*MakeWave(X5), a, -1, 1, 4); }},
    {"begin < end", [](AbortFlag* a) { return !normalizeV(*MakeWave(X5), a, 2, 2); }},
    {"values == 150", [](AbortFlag* a) { WavePtr w = Constant(149, 1); makeFrequencyCurve(*w, a, 44100); return (*w)[0] == 1; }},
    {"double(from) * to > 0", [](AbortFlag* a) { int32_t b = 0, e = 0; return !makeExpLine(*MakeWave(X5), a, 0, 100, 5, &b, &e) && e == 0; }},
    {"double(from) * to > 0", [](AbortFlag* a) { int32_t b = 0, e = 0; return !makeExpLine(*MakeWave(X5), a, -5, 5, 5, &b, &e); }},
    {"period > 0", [](AbortFlag* a) { int32_t b = 0, e = 0; return !makeBlockTriangle(*MakeWave(X5), a, 1, 2, 0, 0.5, 4, 0, true, &b, &e); }},
    {"middle >= 0", [](AbortFlag* a) { int32_t b = 0, e = 0; return !makeBlockTriangle(*MakeWave(X5), a, 1, 2, 4, -0.1, 4, 0, true, &b, &e); }},
    {"middle <= 1", [](AbortFlag* a) { int32_t b = 0, e = 0; return !makeBlockTriangle(*MakeWave(X5), a, 1, 2, 4, 1.5, 4, 0, false, &b, &e); }},
    {"sinus != NULL", [](AbortFlag* a) { FreeSinus(); int32_t b = 0, e = 0; return !makeSinus(*MakeWave(X5), a, 1000, -1000, 4, 1, 0, &b, &e); }},
    {"target < length", [](AbortFlag* a) { int32_t b = 1, e = 3; return !rollIn(*MakeWave(X5), a, 3, 3, &b, &e) && e == 3; }},
    // Counts no wave can hold take the memory road; the range stays.
    {"", [](AbortFlag* a) { return !resampleFactor(*MakeWave(X5), a, 1e12); }},
    {"", [](AbortFlag* a) { return !resampleFactor(*MakeWave(X5), a, Inf); }},
    {"", [](AbortFlag* a) { return !resampleFactor(*MakeWave(X5), a, NaN); }},
    {"", [](AbortFlag* a) { return !resample(*MakeWave(X5), a, -1, false); }},
    {"", [](AbortFlag* a) { return !resample(*MakeWave(X5), a, MaxWaveValues + 1, false); }},
    {"", [](AbortFlag* a) { int32_t b = 1, e = 3; return !moveH(*MakeWave(X5), a, 1, -1, 0, &b, &e) && b == 1 && e == 3; }},
    {"", [](AbortFlag* a) { int32_t b = 1, e = 3; return !moveH(*MakeWave(X5), a, 1, 0, -1, &b, &e) && b == 1 && e == 3; }},
    {"", [](AbortFlag* a) { int32_t b = 1, e = 3; return !moveH(*MakeWave(X5), a, 1, INT64_MAX, 0, &b, &e) && b == 1 && e == 3; }},
    {"", [](AbortFlag* a) { int32_t b = 1, e = 3; return !moveH(*MakeWave(X5), a, 1, MaxWaveValues, 1, &b, &e) && b == 1 && e == 3; }},
    {"", [](AbortFlag* a) { int32_t b = 1, e = 3; int64_t x, y; moveHMargins(*MakeWave(X5), Inf, -Inf, 1, 3, &x, &y); return !moveH(*MakeWave(X5), a, Inf, x, y, &b, &e) && b == 1 && e == 3; }},
};
// clang-format on

class BrokenCall : public WithSinusP<Broken>
{
};

TEST_P(BrokenCall, IsAnAssertionAndStopsTheCommand)
{
    RecordedBoxes boxes;
    AbortFlag abort = 0;
    EXPECT_TRUE(GetParam().run(&abort));
    ExpectStopped(boxes, abort, GetParam().condition);
}

INSTANTIATE_TEST_SUITE_P(Primitives, BrokenCall, ::testing::ValuesIn(BrokenCalls));

using Generator = std::function<WavePtr(const Wave&, AbortFlag*, int64_t, int32_t*, int32_t*)>;

// clang-format off
const std::pair<const char*, Generator> Generators[] = {
    {"makeSilence", [](auto& w, auto* a, int64_t n, auto* b, auto* e) { return makeSilence(w, a, n, b, e); }},
    {"makeLine", [](auto& w, auto* a, int64_t n, auto* b, auto* e) { return makeLine(w, a, -300, 900, n, b, e); }},
    {"makeExpLine", [](auto& w, auto* a, int64_t n, auto* b, auto* e) { return makeExpLine(w, a, 30, 900, n, b, e); }},
    {"makeNoise", [](auto& w, auto* a, int64_t n, auto* b, auto* e) { SeedRandom15(5); return makeNoise(w, a, 1000, n, b, e); }},
    {"makeBlockTriangle", [](auto& w, auto* a, int64_t n, auto* b, auto* e) { return makeBlockTriangle(w, a, 9, -9, 3, 0.4, n, 0.1, true, b, e); }},
    {"makeBlockTriangleEnv", [](auto& w, auto* a, int64_t n, auto* b, auto* e) { return makeBlockTriangleEnv(w, a, 9, -9, 3, MakeWave({-30000, 0, 30000}).get(), n, 0.1, false, b, e); }},
    {"makeSinus", [](auto& w, auto* a, int64_t n, auto* b, auto* e) { return makeSinus(w, a, 800, -800, 4, n / 4.0, 0.3, b, e); }},
    {"repeatForm", [](auto& w, auto* a, int64_t n, auto* b, auto* e) { return repeatForm(w, a, MakeWave({0, 100, -100, 50}).get(), 2.5, n / 2.5, 0.2, b, e, 0, -1); }},
    {"rollIn", [](auto& w, auto* a, int64_t n, auto* b, auto* e) { return rollIn(w, a, n, n > 1 ? 1 : 0, b, e); }},
    {"rollOut", [](auto& w, auto* a, int64_t n, auto* b, auto* e) { return rollOut(w, a, MakeWave({32767, 10000}).get(), double(n) / (w.ResolveEnd(*e) - *b), 0.7, 0.25, b, e); }},
    {"resampleTo", [](auto& w, auto* a, int64_t n, auto* b, auto* e) { return resampleTo(w, a, n, false, b, e); }},
};
// clang-format on

class EveryGenerator : public WithSinusP<std::pair<const char*, Generator>>
{
};

TEST_P(EveryGenerator, EndMinusOneIsTheWholeRestAndImpossibleLengthsFail)
{
    const auto& [name, make] = GetParam();
    const WavePtr w = MakeWave({1, -2, 3, -4, 5, -6, 7, -8});
    AbortFlag abort = 0;
    int32_t b1 = 3, e1 = -1, b2 = 3, e2 = 8;
    const WavePtr byMarker = make(*w, &abort, 6, &b1, &e1);
    ASSERT_NE(byMarker, nullptr);
    EXPECT_EQ(ValuesOf(byMarker), ValuesOf(make(*w, &abort, 6, &b2, &e2)));
    EXPECT_EQ((V{b1, e1, e2}), (V{3, byMarker->Values(), byMarker->Values()}));
    const V head = ValuesOf(byMarker);
    EXPECT_EQ(V(head.begin(), head.begin() + 3), (V{1, -2, 3}));

    // Below one value a sine still makes one, a roll keeps the wave and a roll-out length
    // factor below 0 is the caller's fault: for them only the too-large count applies.
    const std::string n = name;
    std::vector<int64_t> lengths{MaxWaveValues + 1, INT64_MAX};
    if (n != "makeSinus" && n != "rollIn" && n != "rollOut")
        lengths.insert(lengths.end(), {int64_t{-1}, INT64_MIN + 1});
    for (int64_t length : lengths) {
        RecordedBoxes boxes;
        abort = 0;
        int32_t b = 1, e = 2;
        EXPECT_EQ(make(*w, &abort, length, &b, &e), nullptr) << length;
        EXPECT_EQ(abort, 1);
        ASSERT_EQ(boxes.boxes.size(), 1u) << length;
        EXPECT_EQ(boxes.boxes[0].text, "There is not enough memmory for this operation.");
        EXPECT_EQ(e, 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Primitives, EveryGenerator, ::testing::ValuesIn(Generators),
                         [](const auto& info) { return std::string(info.param.first); });

// ---- Tables over a parameter ------------------------------------------------------------

TEST(FrequencyCurve, JoinsTheFivePoints)
{
    // Values at the indices 0, 1, 58, 59, 75, 90, 148, 149 for each rate: 22050 Hz at the
    // top clamps to 32767; below 20000 Hz no whole-value period reaches the top point.
    // clang-format off
    const std::pair<int32_t, V> rates[] = {
        {44100, {32767, 32489, 16693, 16694, 13389, 4367, -5612, -5613}},
        {48000, {32767, 32490, 16737, 16738, 13138, 4345, -5602, -5603}},
        {11025, {32767, 32489, 16693, 16694, 13964, 4367, -5462, -5462}},
        {5512, {32767, 32556, 20539, 20539, 13963, 5270, -5150, -5151}},
        {1000, {32767, 32767, 32767, 32767, 32767, 4345, -2229, -2230}},
        {0, V(8, 32767)},
        {-44100, V(8, 32767)},
    };
    // clang-format on
    for (const auto& [rate, expected] : rates) {
        AbortFlag abort = 0;
        const WavePtr w = Constant(150, 1);
        makeFrequencyCurve(*w, &abort, rate);
        V got;
        for (int32_t i : {0, 1, 58, 59, 75, 90, 148, 149})
            got.push_back((*w)[i]);
        EXPECT_EQ(got, expected) << rate;
        EXPECT_EQ(abort, 0);
    }
}

TEST_F(WithSinus, MakeSinusReadsTheSineTable)
{
    // Top at a quarter period, bottom at three quarters (the table's peak is 32766).
    // clang-format off
    const std::tuple<int, int, double, double, double, V> cases[] = {
        {1000, -1000, 4, 2, 0, {0, 999, 0, -999, 0, 999, 0, -999}},
        {32767, -32768, 4, 1, 0, {0, 32766, 13, -32766}},
        {300, 100, 4, 1, 0.25, {299, 200, 100, 200}},
        {1000, -1000, 8, 1, 0, {0, 707, 999, 707, 0, -706, -999, -707}},
        {1000, -1000, 4, 0.1, 0, {0}}, // fewer than one value still makes one
    };
    // clang-format on
    for (const auto& [top, bottom, per, periods, start, expected] : cases) {
        AbortFlag abort = 0;
        int32_t b = 1, e = 4;
        const WavePtr w = makeSinus(*MakeWave({3, 3, 3, 3, 3}), &abort, int16_t(top),
                                    int16_t(bottom), per, periods, start, &b, &e);
        V framed = {3};
        framed.insert(framed.end(), expected.begin(), expected.end());
        framed.push_back(3);
        EXPECT_EQ(ValuesOf(w), framed);
        EXPECT_EQ(e, 1 + int32_t(expected.size()));
    }
}

TEST(MoveHMargins, RoundAwayFromZero)
{
    // clang-format off
    const std::tuple<double, double, int64_t, int64_t> cases[] = {
        {3.5, -1.2, 0, 0}, {4, -2, 0, 0}, {4.1, -2.1, 1, 1}, {-2.1, 4.1, 1, 1}, {0, 0, 0, 0},
        {-5, -7, 5, 0}, {12, 9, 0, 8}};
    // clang-format on
    const WavePtr w = Ramp(10, 1);
    for (const auto& [maxShift, minShift, before, after] : cases) {
        int64_t b = -1, a = -1;
        moveHMargins(*w, maxShift, minShift, 2, 6, &b, &a);
        EXPECT_EQ(b, before) << maxShift << " " << minShift;
        EXPECT_EQ(a, after) << maxShift << " " << minShift;
    }
}

TEST(Ranges, ExtremeParametersStayInside)
{
    AbortFlag abort = 0;
    // Positions accumulate by repeated addition; the tail must still read inside the wave.
    const WavePtr up = resample(*Ramp(3, 1000, 1000), &abort, 30001, false);
    EXPECT_EQ((V{(*up)[0], (*up)[10000], (*up)[30000]}), (V{1000, 1999, 0}));
    // Noise keeps within [-amplitude, amplitude * 16383 / 16384].
    int32_t b = 0, e = 0;
    SeedRandom15(7);
    const V noise = ValuesOf(makeNoise(Wave(), &abort, 32767, 200000, &b, &e));
    EXPECT_EQ(*std::min_element(noise.begin(), noise.end()), -32767);
    EXPECT_EQ(*std::max_element(noise.begin(), noise.end()), 32765);
    // Any speed of a roll-out reads inside the loop.
    for (double speed : {1e300, -1e300, Inf, NaN, 1e-300, 3.999999999999}) {
        b = 1, e = 4;
        const V out =
            ValuesOf(rollOut(*MakeWave({5, 6, 7, 8, 9}), &abort,
                             MakeWave({32767, -32768, 100}).get(), 2, speed, 0.3, &b, &e));
        ASSERT_FALSE(out.empty());
        for (int v : out)
            EXPECT_TRUE(v >= 5 && v <= 9) << speed;
    }
    // Without margins a moved envelope range writes nothing outside the wave.
    b = 0, e = -1;
    const WavePtr kept =
        moveHEnvelope(*MakeWave(X5), &abort, 3, MakeWave({32767, -32768}).get(), 0, 0, &b, &e);
    EXPECT_EQ((V{kept->Values(), b, e}), (V{5, 0, 5}));
    // A shift too far (or not a number) leaves the range's place empty and nothing moved in.
    for (double shift : {1e300, NaN}) {
        b = 1, e = 3;
        EXPECT_EQ(ValuesOf(moveH(*MakeWave(X6), &abort, shift, 0, 0, &b, &e)),
                  (V{1, 0, 0, 4, 5, 6}));
        EXPECT_EQ(b, 6);
        EXPECT_EQ(e, 6);
    }
    EXPECT_EQ(abort, 0);
}

// Every primitive on long and short waves and envelopes, stopped at each poll, with the memory
// failing, and with the flag set beforehand.
enum class Kind { NewWave, InPlace, Query };

struct Context
{
    const Wave& wave;
    Wave& target; // a copy of wave for the operations in place
    const Wave& envelope;
    AbortFlag* abort;
    int32_t begin = 1, end = -1;
    int32_t N() const { return wave.Values(); }
};

struct Entry
{
    const char* name;
    Kind kind;
    std::function<WavePtr(Context&)> run;
};

WavePtr None()
{
    return nullptr;
}

// clang-format off
const Entry Catalogue[] = {
    {"peak", Kind::Query, [](Context& c) { peak(c.wave, c.abort, c.begin, c.end); return None(); }},
    {"minMax", Kind::Query, [](Context& c) { minMax(c.wave, c.abort, Max, NegMin, c.begin, c.end); return None(); }},
    {"copyFrom", Kind::InPlace, [](Context& c) { copyFrom(c.target, c.abort, c.wave, c.begin, c.end, 0); return None(); }},
    {"addFrom", Kind::InPlace, [](Context& c) { addFrom(c.target, c.abort, c.target, c.begin, c.end, 0); return None(); }},
    {"clear", Kind::InPlace, [](Context& c) { clear(c.target, c.abort, c.begin, c.end); return None(); }},
    {"drawLine", Kind::InPlace, [](Context& c) { drawLine(c.target, c.abort, c.begin, -32768, c.end, 32767); return None(); }},
    {"mirror", Kind::InPlace, [](Context& c) { mirror(c.target, c.abort, c.begin, c.end); return None(); }},
    {"volumeInPlace", Kind::InPlace, [](Context& c) { volumeInPlace(c.target, c.abort, -1.7, c.begin, c.end); return None(); }},
    {"makeSilence", Kind::NewWave, [](Context& c) { return makeSilence(c.wave, c.abort, c.N(), &c.begin, &c.end); }},
    {"makeLine", Kind::NewWave, [](Context& c) { return makeLine(c.wave, c.abort, -32768, 32767, c.N(), &c.begin, &c.end); }},
    {"makeExpLine", Kind::NewWave, [](Context& c) { return makeExpLine(c.wave, c.abort, -3, -32000, c.N(), &c.begin, &c.end); }},
    {"makeNoise", Kind::NewWave, [](Context& c) { return makeNoise(c.wave, c.abort, 32767, c.N(), &c.begin, &c.end); }},
    {"makeBlock", Kind::NewWave, [](Context& c) { return makeBlockTriangle(c.wave, c.abort, -32768, 32767, 7.3, 0.3, c.N(), 0.9, false, &c.begin, &c.end); }},
    {"makeTriangleEnv", Kind::NewWave, [](Context& c) { return makeBlockTriangleEnv(c.wave, c.abort, -32768, 32767, 3.1, &c.envelope, c.N(), 0.5, true, &c.begin, &c.end); }},
    {"makeSinus", Kind::NewWave, [](Context& c) { return makeSinus(c.wave, c.abort, 32767, -32768, 10.5, c.N() / 10.5, 0.99, &c.begin, &c.end); }},
    {"repeatForm", Kind::NewWave, [](Context& c) { return repeatForm(c.wave, c.abort, &c.envelope, -3.7, c.N() / 3.7, 0.5, &c.begin, &c.end, 0, -1); }},
    {"repeatFormSelf", Kind::NewWave, [](Context& c) { return repeatForm(c.wave, c.abort, &c.wave, 13.3, c.N() / 13.3, 0, &c.begin, &c.end, c.begin, c.end); }},
    {"rollIn", Kind::NewWave, [](Context& c) { return rollIn(c.wave, c.abort, c.N() / 3 + 1, c.N() / 3, &c.begin, &c.end); }},
    {"rollOut", Kind::NewWave, [](Context& c) { return rollOut(c.wave, c.abort, &c.envelope, 1.5, 2.7, 0.9, &c.begin, &c.end); }},
    {"resampleToUp", Kind::NewWave, [](Context& c) { return resampleTo(c.wave, c.abort, 2 * c.N(), false, &c.begin, &c.end); }},
    {"resampleToReversed", Kind::NewWave, [](Context& c) { return resampleTo(c.wave, c.abort, c.N() / 3, true, &c.begin, &c.end); }},
    {"reverse", Kind::NewWave, [](Context& c) { return reverse(c.wave, c.abort, c.begin, c.end); }},
    {"moveV", Kind::NewWave, [](Context& c) { return moveV(c.wave, c.abort, 12345, c.begin, c.end); }},
    {"normalizeV", Kind::NewWave, [](Context& c) { return normalizeV(c.wave, c.abort, c.begin, c.end); }},
    {"block", Kind::NewWave, [](Context& c) { return block(c.wave, c.abort, 2.6, 5, c.begin, c.end); }},
    {"distort", Kind::NewWave, [](Context& c) { return distort(c.wave, c.abort, &c.envelope, c.begin, c.end); }},
    {"volume", Kind::NewWave, [](Context& c) { return volume(c.wave, c.abort, 3.3, c.begin, c.end); }},
    {"volumeLarge", Kind::NewWave, [](Context& c) { return volume(c.wave, c.abort, -70000, c.begin, c.end); }},
    {"volumeEnvelope", Kind::NewWave, [](Context& c) { return volumeEnvelope(c.wave, c.abort, &c.envelope, c.begin, c.end); }},
    {"rotate", Kind::NewWave, [](Context& c) { return rotate(c.wave, c.abort, (c.N() - 1) / 3, c.begin, c.end); }},
    {"copyPart", Kind::NewWave, [](Context& c) { return copyPart(c.wave, c.abort, c.begin, c.end); }},
    {"deletePart", Kind::NewWave, [](Context& c) { return deletePart(c.wave, c.abort, c.begin, c.begin + 1); }},
    {"replace", Kind::NewWave, [](Context& c) { return replace(c.wave, c.abort, c.wave, c.begin, c.end); }},
    {"append", Kind::NewWave, [](Context& c) { return append(c.wave, c.abort, c.wave); }},
    {"resampleFactor", Kind::NewWave, [](Context& c) { return resampleFactor(c.wave, c.abort, -1.3); }},
    {"resampleRange", Kind::NewWave, [](Context& c) { return resampleRange(c.wave, c.abort, 0.7, &c.begin, &c.end); }},
    {"resample", Kind::NewWave, [](Context& c) { return resample(c.wave, c.abort, c.N() + 7, false); }},
    {"moveH", Kind::NewWave, [](Context& c) { const double s = c.N() > 100 ? -700.3 : 1.5; int64_t x, y; moveHMargins(c.wave, s, s, c.begin, c.end, &x, &y); return moveH(c.wave, c.abort, s, x, y, &c.begin, &c.end); }},
    {"moveHEnvelope", Kind::NewWave, [](Context& c) { const double s = c.N() > 100 ? 300 : 2.5; int64_t x, y; moveHMargins(c.wave, s, -s, c.begin, c.end, &x, &y); return moveHEnvelope(c.wave, c.abort, s, &c.envelope, x, y, &c.begin, &c.end); }},
};
// clang-format on

class EveryPrimitive : public WithSinusP<Entry>
{
protected:
    static WavePtr Once(const Entry& e, const Wave& wave, const Wave& envelope, AbortFlag* abort,
                        int32_t* begin = nullptr, int32_t* end = nullptr)
    {
        WavePtr target = CreateWaveCopy(nullptr, &wave);
        Context c{wave, *target, envelope, abort};
        WavePtr out = e.run(c);
        if (begin)
            *begin = c.begin, *end = c.end;
        return out;
    }
};

TEST_P(EveryPrimitive, RunsOnShortAndLongInputsAndFramesItsResult)
{
    const Entry& e = GetParam();
    RecordedBoxes boxes;
    for (int64_t n : {5, 25000})
        for (int64_t envelopeSize : {1, 2, 7, 3001}) {
            SCOPED_TRACE(std::to_string(n) + " values, envelope of " +
                         std::to_string(envelopeSize));
            const WavePtr wave = Scrambled(n, 1);
            AbortFlag abort = 0;
            int32_t begin, end;
            const WavePtr r = Once(e, *wave, *Scrambled(envelopeSize, 2), &abort, &begin, &end);
            EXPECT_EQ(abort, 0);
            EXPECT_EQ(ValuesOf(wave), ValuesOf(Scrambled(n, 1))) << "the source stays as it was";
            if (e.kind == Kind::NewWave) {
                ASSERT_NE(r, nullptr);
                EXPECT_LE(0, begin);
                EXPECT_LE(begin, r->ResolveEnd(end));
                EXPECT_LE(r->ResolveEnd(end), r->Values());
            }
        }
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_P(EveryPrimitive, LooksAtTheFlagAtLeastOncePerBlockOfValues)
{
    const Entry& e = GetParam();
    const WavePtr wave = Scrambled(25000, 3), envelope = Scrambled(3001, 4);
    // The fewest looks that let the operation finish: k looks pass, the next one stops it.
    const auto finishes = [&](int64_t k, int64_t* written = nullptr) {
        AbortFlag abort = 0;
        AbortAfterPolls(k);
        const WavePtr r = Once(e, *wave, *envelope, &abort);
        ResetAbortHook();
        if (written)
            *written = r ? r->Values() : 0;
        return abort == 0;
    };
    int64_t lo = 0, hi = 1000;
    ASSERT_TRUE(finishes(hi));
    while (lo < hi) {
        const int64_t mid = (lo + hi) / 2;
        if (finishes(mid))
            hi = mid;
        else
            lo = mid + 1;
    }
    int64_t written = 0;
    finishes(lo, &written);
    EXPECT_GE(lo, 1);
    if (e.kind == Kind::NewWave) {
        EXPECT_GE(lo * WaveBlock, written) << lo << " looks for " << written << " values";
        // Stopped on its last look, it gives no result.
        AbortFlag abort = 0;
        AbortAfterPolls(lo - 1);
        EXPECT_EQ(Once(e, *wave, *envelope, &abort), nullptr);
        EXPECT_EQ(abort, 1);
    }
}

TEST_P(EveryPrimitive, FailsCleanlyWithoutMemoryOrWithTheFlagSet)
{
    const Entry& e = GetParam();
    const WavePtr wave = Scrambled(3000, 5), envelope = Scrambled(9, 6);
    {
        RecordedBoxes boxes;
        AbortFlag abort = 0;
        const WavePtr target = CreateWaveCopy(nullptr, wave.get());
        Context c{*wave, *target, *envelope, &abort};
        FailAllocationsAfter(0);
        EXPECT_EQ(e.run(c), nullptr);
        ResetAllocationFailure();
        // Queries and changes in place allocate nothing: they work on.
        EXPECT_EQ(abort, e.kind == Kind::NewWave);
        EXPECT_EQ(boxes.texts, e.kind == Kind::NewWave ? std::vector<std::string>{NoMemoryBox}
                                                       : std::vector<std::string>{});
    }
    RecordedBoxes boxes;
    AbortFlag abort = 1;
    WavePtr target = CreateWaveCopy(nullptr, wave.get());
    Context c{*wave, *target, *envelope, &abort};
    EXPECT_EQ(e.run(c), nullptr);
    EXPECT_EQ(ValuesOf(target), ValuesOf(wave));
    EXPECT_TRUE(boxes.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryPrimitive, ::testing::ValuesIn(Catalogue),
                         [](const auto& info) { return std::string(info.param.name); });
