// Transforms and horizontal moves on short hand-computed waves.

#include "sound/WavePrimitives.h"

#include "sound/WaveTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace kelvorn;
using namespace kelvorn::test;
using V = std::vector<int>;

namespace {

struct TransformCase
{
    const char* name;
    V values;
    int32_t begin, end;
    std::function<WavePtr(const Wave&, AbortFlag*, int32_t, int32_t)> op;
    V expected;
};

class Transforms : public ::testing::TestWithParam<TransformCase>
{
};

} // namespace

TEST_P(Transforms, ChangeOnlyTheRange)
{
    const TransformCase& c = GetParam();
    WavePtr w = MakeWave(c.values);
    AbortFlag abort = 0;
    WavePtr out = c.op(*w, &abort, c.begin, c.end);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(ValuesOf(out), c.expected);
    EXPECT_EQ(ValuesOf(w), c.values) << "the source stays as it was";
    EXPECT_EQ(abort, 0);
}

const auto Reverse = [](const Wave& w, AbortFlag* a, int32_t b, int32_t e) {
    return reverse(w, a, b, e);
};
const auto MoveVBy = [](int16_t s) {
    return [s](const Wave& w, AbortFlag* a, int32_t b, int32_t e) { return moveV(w, a, s, b, e); };
};
const auto Normalize = [](const Wave& w, AbortFlag* a, int32_t b, int32_t e) {
    return normalizeV(w, a, b, e);
};
const auto BlockOf = [](double time, int32_t levels) {
    return [=](const Wave& w, AbortFlag* a, int32_t b, int32_t e) {
        return block(w, a, time, levels, b, e);
    };
};
const auto DistortBy = [](V curve) {
    return [curve](const Wave& w, AbortFlag* a, int32_t b, int32_t e) {
        WavePtr c = MakeWave(curve);
        return distort(w, a, c.get(), b, e);
    };
};
const auto VolumeBy = [](double f) {
    return [f](const Wave& w, AbortFlag* a, int32_t b, int32_t e) { return volume(w, a, f, b, e); };
};
const auto EnvelopeBy = [](V env) {
    return [env](const Wave& w, AbortFlag* a, int32_t b, int32_t e) {
        WavePtr c = MakeWave(env);
        return volumeEnvelope(w, a, c.get(), b, e);
    };
};
const auto RotateBy = [](int64_t s) {
    return [s](const Wave& w, AbortFlag* a, int32_t b, int32_t e) { return rotate(w, a, s, b, e); };
};

INSTANTIATE_TEST_SUITE_P(
    Cases, Transforms,
    ::testing::Values(
        TransformCase{"ReverseInside", {1, 2, 3, 4, 5}, 1, 4, Reverse, {1, 4, 3, 2, 5}},
        TransformCase{"ReverseAll", {1, 2, 3, 4, 5}, 0, -1, Reverse, {5, 4, 3, 2, 1}},
        TransformCase{"ReverseNothing", {1, 2, 3, 4, 5}, 2, 2, Reverse, {1, 2, 3, 4, 5}},
        TransformCase{
            "MoveVWraps", {32767, 0, -32768, 5, 6}, 0, 3, MoveVBy(1), {-32768, 1, -32767, 5, 6}},
        TransformCase{"MoveVDown", {1, 2, 3, 4, -32768}, 2, -1, MoveVBy(-2), {1, 2, 1, 2, 32766}},
        // Mean 101 / 4 truncated to 25.
        TransformCase{"NormalizeV", {10, 20, 30, 41, 99}, 0, 4, Normalize, {-15, -5, 5, 16, 99}},
        TransformCase{"NormalizeVNegative", {7, -10, -21, 7, 7}, 1, 3, Normalize, {7, 5, -6, 7, 7}},
        TransformCase{
            "NormalizeVBottom", {-32768, -32768, 1, 2, 3}, 0, 2, Normalize, {0, 0, 1, 2, 3}},
        TransformCase{
            "BlockAverages", {1, 2, 3, 4, 5, 6, 7}, 0, -1, BlockOf(2, 0), {1, 1, 3, 3, 5, 5, 7}},
        TransformCase{"BlockFractional",
                      {1, 2, 3, 4, 5, 6, 7},
                      0,
                      -1,
                      BlockOf(2.5, 0),
                      {1, 1, 4, 4, 4, 6, 6}},
        TransformCase{
            "BlockBelowOne", {1, 2, 3, 4, 5, 6, 7}, 0, -1, BlockOf(0.2, 0), {1, 2, 3, 4, 5, 6, 7}},
        TransformCase{
            "BlockSilences", {1, 2, 3, 4, 5, 6, 7}, 1, 5, BlockOf(2, 1), {1, 0, 0, 0, 0, 6, 7}},
        TransformCase{"BlockTwoLevels",
                      {1, 0, -3, -4, 9},
                      0,
                      4,
                      BlockOf(1, 2),
                      {32767, 32767, -32768, -32768, 9}},
        TransformCase{"BlockThreeLevels",
                      {0, -32768, 32767, -1, 5},
                      0,
                      4,
                      BlockOf(1, 3),
                      {0, -32768, 32767, 0, 5}},
        TransformCase{
            "BlockNegativeMean", {-1, -2, 8, 8, 8}, 0, 2, BlockOf(2, 0), {-1, -1, 8, 8, 8}},
        // The curve from -32768 to 32767 gives x - 0.5, truncated.
        TransformCase{"DistortStraight",
                      {100, 0, -100, -32768, 32767},
                      0,
                      -1,
                      DistortBy({-32768, 32767}),
                      {99, 0, -100, -32768, 32766}},
        TransformCase{"DistortPeak",
                      {0, -32768, 32767, 16384, 5},
                      0,
                      4,
                      DistortBy({0, 1000, 0}),
                      {1000, 0, 0, 499, 5}},
        TransformCase{
            "DistortOneValue", {1, 2, 3, 4, 5}, 1, 3, DistortBy({123}), {1, 123, 123, 4, 5}},
        TransformCase{
            "VolumeWraps", {100, 20000, -3, 1, 1}, 0, 3, VolumeBy(2), {200, -25536, -6, 1, 1}},
        TransformCase{"VolumeTruncates", {3, -3, 7, 1, 1}, 0, 3, VolumeBy(0.5), {1, -1, 3, 1, 1}},
        TransformCase{"VolumeEnvelope",
                      {1000, 1000, 1000, 1000, 1000},
                      0,
                      -1,
                      EnvelopeBy({0, 32767}),
                      {0, 250, 500, 750, 1000}},
        TransformCase{"VolumeEnvelopeOneValue",
                      {1000, 1000, 1000, 1000, 1000},
                      2,
                      3,
                      EnvelopeBy({16384, 0}),
                      {1000, 1000, 500, 1000, 1000}},
        TransformCase{"VolumeEnvelopeNegative",
                      {1000, -1000, 7, 7, 7},
                      0,
                      2,
                      EnvelopeBy({-32768}),
                      {-1000, 1000, 7, 7, 7}},
        TransformCase{"RotateOne", {1, 2, 3, 4, 5, 6}, 1, 5, RotateBy(1), {1, 3, 4, 5, 2, 6}},
        TransformCase{"RotateThree", {1, 2, 3, 4, 5, 6}, 1, -1, RotateBy(3), {1, 5, 6, 2, 3, 4}},
        TransformCase{"RotateNone", {1, 2, 3, 4, 5, 6}, 1, 5, RotateBy(0), {1, 2, 3, 4, 5, 6}},
        TransformCase{"RotateWhole", {1, 2, 3, 4, 5, 6}, 1, 5, RotateBy(4), {1, 2, 3, 4, 5, 6}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TransformRefusals, BrokenArgumentsAreAssertions)
{
    RecordedBoxes boxes;
    WavePtr w = MakeWave({1, 2, 3, 4, 5});
    AbortFlag abort = 0;
    EXPECT_EQ(rotate(*w, &abort, 5, 1, 4), nullptr);
    EXPECT_EQ(abort, 1);
    abort = 0;
    EXPECT_EQ(rotate(*w, &abort, -1, 1, 4), nullptr);
    abort = 0;
    EXPECT_EQ(normalizeV(*w, &abort, 2, 2), nullptr);
    EXPECT_EQ(abort, 1);
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_NE(boxes.boxes[0].text.find("\"leftShift <= length\""), std::string::npos);
    EXPECT_NE(boxes.boxes[1].text.find("\"leftShift >= 0\""), std::string::npos);
    EXPECT_NE(boxes.boxes[2].text.find("\"begin < end\""), std::string::npos);
}

TEST(TransformRefusals, NormalizeStoppedWhileSummingGivesNothing)
{
    HookReset reset;
    WavePtr w = MakeWaveOf(3000, [](int i) { return i; });
    AbortFlag abort = 0;
    AbortAfterPolls(1);
    EXPECT_EQ(normalizeV(*w, &abort, 0, -1), nullptr);
    EXPECT_EQ(abort, 1);
}

TEST(TransformRefusals, BlockLongerThanAThousandValuesStillPolls)
{
    HookReset reset;
    WavePtr w = MakeWaveOf(10000, [](int i) { return i; });
    AbortFlag abort = 0;
    AbortAfterPolls(3);
    EXPECT_EQ(block(*w, &abort, 1e9, 0, 0, -1), nullptr);
    EXPECT_EQ(abort, 1);
}

// ---- Horizontal moves ----------------------------------------------------------------

struct MarginCase
{
    double maxShift, minShift;
    int64_t before, after;
};

class MoveHMargins : public ::testing::TestWithParam<MarginCase>
{
};

TEST_P(MoveHMargins, RoundAwayFromZero)
{
    const MarginCase& c = GetParam();
    WavePtr w = MakeWaveOf(10, [](int i) { return i; });
    int64_t before = -1;
    int64_t after = -1;
    moveHMargins(*w, c.maxShift, c.minShift, 2, 6, &before, &after);
    EXPECT_EQ(before, c.before);
    EXPECT_EQ(after, c.after);
}

INSTANTIATE_TEST_SUITE_P(Shifts, MoveHMargins,
                         ::testing::Values(MarginCase{3.5, -1.2, 0, 0}, MarginCase{4, -2, 0, 0},
                                           MarginCase{4.1, -2.1, 1, 1}, MarginCase{-2.1, 4.1, 1, 1},
                                           MarginCase{0, 0, 0, 0}, MarginCase{-5, -7, 5, 0},
                                           MarginCase{12, 9, 0, 8}));

TEST(MoveHMarginsUnbounded, InfiniteShiftsGiveMarginsNoWaveCanHold)
{
    RecordedBoxes boxes;
    WavePtr w = MakeWaveOf(10, [](int i) { return i; });
    int64_t before = 0;
    int64_t after = 0;
    const double inf = std::numeric_limits<double>::infinity();
    moveHMargins(*w, inf, -inf, 2, 6, &before, &after);
    EXPECT_GT(before, MaxWaveValues);
    EXPECT_GT(after, MaxWaveValues);
    AbortFlag abort = 0;
    int32_t begin = 2;
    int32_t end = 6;
    EXPECT_EQ(moveH(*w, &abort, inf, before, after, &begin, &end), nullptr);
    EXPECT_EQ(abort, 1);
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

struct MoveCase
{
    const char* name;
    double shift;
    int64_t before, after;
    V expected;
    int32_t newBegin, newEnd;
};

class MoveH : public ::testing::TestWithParam<MoveCase>
{
};

TEST_P(MoveH, MovesTheRangeOverTheRest)
{
    const MoveCase& c = GetParam();
    WavePtr w = MakeWave({1, 2, 3, 4, 5, 6});
    AbortFlag abort = 0;
    int32_t begin = 1;
    int32_t end = 3;
    WavePtr out = moveH(*w, &abort, c.shift, c.before, c.after, &begin, &end);
    EXPECT_EQ(ValuesOf(out), c.expected);
    EXPECT_EQ(begin, c.newBegin);
    EXPECT_EQ(end, c.newEnd);
    EXPECT_EQ(abort, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MoveH,
    ::testing::Values(
        // 2 and 3 move two values right and add to 4 and 5; their old place is left silent.
        MoveCase{"Right", 2, 0, 0, {1, 0, 0, 6, 8, 6}, 3, 5},
        MoveCase{"Left", -2, 1, 0, {2, 4, 0, 0, 4, 5, 6}, 0, 2},
        MoveCase{"Half", 0.5, 0, 0, {1, 0, 2, 4, 5, 6}, 1, 3},
        MoveCase{"None", 0, 0, 0, {1, 2, 3, 4, 5, 6}, 1, 3},
        MoveCase{"PastTheEnd", 6, 0, 3, {1, 0, 0, 4, 5, 6, 0, 2, 3}, 7, 9},
        MoveCase{"FarAway", 1e300, 0, 0, {1, 0, 0, 4, 5, 6}, 6, 6},
        MoveCase{"NotANumber",
                 std::numeric_limits<double>::quiet_NaN(),
                 0,
                 0,
                 {1, 0, 0, 4, 5, 6},
                 6,
                 6}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MoveHWrap, AddsWithSixteenBitWrap)
{
    WavePtr w = MakeWave({30000, 30000, 1, 2, 3});
    AbortFlag abort = 0;
    int32_t begin = 0;
    int32_t end = 1;
    EXPECT_EQ(ValuesOf(moveH(*w, &abort, 1, 0, 0, &begin, &end)), (V{0, -5536, 1, 2, 3}));
}

TEST(MoveHWrap, ImpossibleMarginsTakeTheMemoryRoad)
{
    RecordedBoxes boxes;
    WavePtr w = MakeWave({1, 2, 3, 4, 5});
    const int64_t margins[][2] = {{-1, 0}, {0, -1}, {INT64_MAX, 0}, {MaxWaveValues, 1}};
    for (const auto& m : margins) {
        AbortFlag abort = 0;
        int32_t begin = 1;
        int32_t end = 3;
        boxes.boxes.clear();
        EXPECT_EQ(moveH(*w, &abort, 1, m[0], m[1], &begin, &end), nullptr);
        EXPECT_EQ(abort, 1);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].caption, "System Error");
        EXPECT_EQ(begin, 1);
        EXPECT_EQ(end, 3);
    }
}

TEST(MoveHEnvelope, ShiftsByTheEnvelope)
{
    WavePtr w = MakeWave({1, 2, 3, 4, 5, 6});
    AbortFlag abort = 0;
    // e = -32768 shifts every read by +1: the range moves one value left, onto the 2.
    WavePtr env = MakeWave({-32768});
    int32_t begin = 2;
    int32_t end = 4;
    EXPECT_EQ(ValuesOf(moveHEnvelope(*w, &abort, 1, env.get(), 0, 0, &begin, &end)),
              (V{1, 5, 4, 0, 5, 6}));
    EXPECT_EQ(begin, 1);
    EXPECT_EQ(end, 5);
    // The same as the constant move by -1.
    begin = 2;
    end = 4;
    EXPECT_EQ(ValuesOf(moveH(*w, &abort, -1, 0, 0, &begin, &end)), (V{1, 5, 4, 0, 5, 6}));

    // An envelope of 0 moves nothing.
    WavePtr still = MakeWave({0, 0, 0});
    begin = 2;
    end = 4;
    EXPECT_EQ(ValuesOf(moveHEnvelope(*w, &abort, 1, still.get(), 0, 0, &begin, &end)),
              (V{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(abort, 0);
}

TEST(MoveHEnvelope, OneValueRangeWithMargins)
{
    WavePtr w = MakeWave({1, 2, 3, 4, 5});
    AbortFlag abort = 0;
    // Positions k * (E - 1) / (1 + 2 + 1): e = -32768, -16384.25, -0.5: shifts 1, 0.50001,
    // 0.00002; only the first read lands on the range's one value.
    WavePtr env = MakeWave({-32768, 32767});
    int32_t begin = 2;
    int32_t end = 3;
    EXPECT_EQ(ValuesOf(moveHEnvelope(*w, &abort, 1, env.get(), 0, 0, &begin, &end)),
              (V{1, 5, 0, 4, 5}));
    EXPECT_EQ(begin, 1);
    EXPECT_EQ(end, 4);

    // At the wave's start the widened range reaches before it: with a margin it fits. The
    // shift of -0.99997 reads the second value just past the range's last index: it is lost.
    WavePtr right = MakeWave({32767});
    begin = 0;
    end = 2;
    EXPECT_EQ(ValuesOf(moveHEnvelope(*w, &abort, 1, right.get(), 1, 1, &begin, &end)),
              (V{0, 0, 1, 3, 4, 5, 0}));
    EXPECT_EQ(begin, 0);
    EXPECT_EQ(end, 4);
    EXPECT_EQ(abort, 0);
}

TEST(MoveHEnvelope, WithoutMarginsNothingIsWrittenOutsideTheWave)
{
    WavePtr w = MakeWave({1, 2, 3, 4, 5});
    WavePtr env = MakeWave({32767, -32768});
    AbortFlag abort = 0;
    int32_t begin = 0;
    int32_t end = -1;
    WavePtr out = moveHEnvelope(*w, &abort, 3, env.get(), 0, 0, &begin, &end);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->Values(), 5);
    EXPECT_EQ(begin, 0);
    EXPECT_EQ(end, 5);
}

// ---- The fast loops against the plain definitions -----------------------------------------

#include "sound/WaveSampling.h"

#include <random>

TEST(FastLoops, MoveHMatchesItsDefinition)
{
    std::mt19937 rng(1234);
    WavePtr w = MakeWaveOf(5000, [&](int) { return static_cast<int>(rng() % 65536) - 32768; });
    std::uniform_real_distribution<double> shifts(-1500.0, 1500.0);
    for (int round = 0; round < 40; ++round) {
        const int32_t b = static_cast<int32_t>(rng() % 2500);
        const int32_t e = b + static_cast<int32_t>(rng() % 2500);
        const double shift = round == 0 ? 0.0 : round == 1 ? 1e-9 : shifts(rng);
        int64_t before = 0;
        int64_t after = 0;
        moveHMargins(*w, shift, shift, b, e, &before, &after);
        AbortFlag abort = 0;
        int32_t begin = b;
        int32_t end = e;
        WavePtr out = moveH(*w, &abort, shift, before, after, &begin, &end);
        ASSERT_NE(out, nullptr);
        ASSERT_EQ(out->Values(), w->Values() + before + after);
        for (int64_t j = 0; j < out->Values(); ++j) {
            const int64_t o = j - before;
            const double q = static_cast<double>(j - before) - shift;
            const double m = (q >= b && q <= e - 1) ? ReadInterpolated(*w, q) : 0.0;
            const bool outside = (o >= 0 && o < b) || (o >= e && o < w->Values());
            const int expected = StoreSample(m + (outside ? (*w)[static_cast<int32_t>(o)] : 0));
            ASSERT_EQ((*out)[static_cast<int32_t>(j)], expected)
                << "shift " << shift << " range " << b << ".." << e << " at " << j;
        }
    }
}

TEST(FastLoops, MoveHMatchesItsDefinitionAcrossManyBinades)
{
    // Positions up to 2^19: the read position's fraction changes from one power of two to
    // the next, and the moved values must follow it exactly.
    std::mt19937 rng(77);
    WavePtr w = MakeWaveOf(600000, [&](int) { return static_cast<int>(rng() % 65536) - 32768; });
    std::uniform_real_distribution<double> shifts(-3.0, 3.0);
    for (int round = 0; round < 4; ++round) {
        const double shift = shifts(rng) + (round % 2 ? 1e-7 : 0.1);
        int32_t begin = 3;
        int32_t end = 599990;
        AbortFlag abort = 0;
        WavePtr out = moveH(*w, &abort, shift, 5, 5, &begin, &end);
        ASSERT_NE(out, nullptr);
        for (int64_t j = 0; j < out->Values(); ++j) {
            const int64_t o = j - 5;
            const double q = static_cast<double>(j - 5) - shift;
            const double m = (q >= 3 && q <= 599989) ? ReadInterpolated(*w, q) : 0.0;
            const bool outside = (o >= 0 && o < 3) || (o >= 599990 && o < w->Values());
            const int expected = StoreSample(m + (outside ? (*w)[static_cast<int32_t>(o)] : 0));
            ASSERT_EQ((*out)[static_cast<int32_t>(j)], expected)
                << "shift " << shift << " at " << j;
        }
    }
}

TEST(FastLoops, VolumeEnvelopeMatchesItsDefinition)
{
    std::mt19937 rng(99);
    WavePtr w = MakeWaveOf(3000, [&](int) { return static_cast<int>(rng() % 65536) - 32768; });
    for (int32_t envelopeSize : {1, 2, 3, 17, 999, 3000, 7001}) {
        WavePtr env =
            MakeWaveOf(envelopeSize, [&](int) { return static_cast<int>(rng() % 65536) - 32768; });
        for (int round = 0; round < 5; ++round) {
            const int32_t b = static_cast<int32_t>(rng() % 1500);
            const int32_t e = b + static_cast<int32_t>(rng() % 1500);
            AbortFlag abort = 0;
            WavePtr out = volumeEnvelope(*w, &abort, env.get(), b, e);
            ASSERT_NE(out, nullptr);
            const EnvelopeReader reader(*env, static_cast<double>(e - b - 1));
            for (int32_t k = 0; k < e - b; ++k)
                ASSERT_EQ((*out)[b + k], StoreSample((*w)[b + k] * reader.At(k) / 32767.0))
                    << envelopeSize << " at " << k;
        }
    }
}
