// Queries, in-place primitives, range edits and linear resampling, on short hand-computed waves.

#include "sound/WavePrimitives.h"

#include "sound/WaveTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

using namespace kelvorn;
using namespace kelvorn::test;
using V = std::vector<int>;

// ---- peak and minMax ---------------------------------------------------------------------

struct PeakCase
{
    V values;
    int32_t begin, end;
    int32_t peak;
    int16_t max, negMin;
};

class PeakAndMinMax : public ::testing::TestWithParam<PeakCase>
{
};

TEST_P(PeakAndMinMax, ReportMagnitudes)
{
    const PeakCase& c = GetParam();
    WavePtr w = MakeWave(c.values);
    AbortFlag abort = 0;
    EXPECT_EQ(peak(*w, &abort, c.begin, c.end), c.peak);
    int16_t max = -1;
    int16_t negMin = -1;
    minMax(*w, &abort, max, negMin, c.begin, c.end);
    EXPECT_EQ(max, c.max);
    EXPECT_EQ(negMin, c.negMin);
    EXPECT_EQ(abort, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, PeakAndMinMax,
    ::testing::Values(PeakCase{{3, -5, 4, 2, 1}, 0, -1, 5, 4, 5},
                      PeakCase{{3, -5, 4, 2, 1}, 2, 4, 4, 4, 0},     // only positive values
                      PeakCase{{3, -5, 4, 2, 1}, 2, 2, 0, 0, 0},     // empty range
                      PeakCase{{-7, -5, -9, -2, -1}, 0, 5, 9, 0, 9}, // only negative values
                      PeakCase{{10, -32768, 32767, 0, 5}, 0, -1, 32768, 32767, 32767},
                      PeakCase{{0, 0, 0, 0, 0}, 0, -1, 0, 0, 0}));

TEST(PeakAndMinMaxAbort, AStoppedPeakIsZero)
{
    WavePtr w = MakeWaveOf(5000, [](int i) { return i % 2 ? 1000 : -20000; });
    AbortFlag abort = 1;
    EXPECT_EQ(peak(*w, &abort, 0, -1), 0);
    int16_t max = 0;
    int16_t negMin = 0;
    minMax(*w, &abort, max, negMin, 0, -1);
    EXPECT_EQ(max, 0);
    EXPECT_EQ(negMin, 0);
}

TEST(PeakAndMinMaxAbort, MinMaxKeepsWhatItFoundBeforeTheStop)
{
    HookReset reset;
    // The extremes of the first block are small; the big ones come later and are not seen.
    WavePtr w = MakeWaveOf(5000, [](int i) { return i < 1000 ? (i % 2 ? 7 : -3) : 30000; });
    AbortFlag abort = 0;
    AbortAfterPolls(1);
    int16_t max = 0;
    int16_t negMin = 0;
    minMax(*w, &abort, max, negMin, 0, -1);
    EXPECT_EQ(abort, 1);
    EXPECT_EQ(max, 7);
    EXPECT_EQ(negMin, 3);
}

TEST(PeakAndMinMaxAbort, ABrokenRangeIsAnAssertionAndSetsTheFlag)
{
    RecordedBoxes boxes;
    WavePtr w = MakeWave({1, 2, 3, 4, 5});
    AbortFlag abort = 0;
    EXPECT_EQ(peak(*w, &abort, 3, 2), 0);
    EXPECT_EQ(abort, 1);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Assertion failed");
    EXPECT_NE(boxes.boxes[0].text.find(": Condition \"begin <= end\"failed!"), std::string::npos);

    abort = 0;
    boxes.boxes.clear();
    EXPECT_EQ(peak(*w, &abort, 0, 6), 0);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find("\"end <= values\""), std::string::npos);
}

// ---- copyPart, deletePart, replace, append -----------------------------------------------

TEST(RangeEdits, CopyPart)
{
    WavePtr w = MakeWave({1, 2, 3, 4, 5, 6});
    AbortFlag abort = 0;
    EXPECT_EQ(ValuesOf(copyPart(*w, &abort, 1, 4)), (V{2, 3, 4}));
    EXPECT_EQ(ValuesOf(copyPart(*w, &abort, 4, -1)), (V{5, 6}));
    WavePtr none = copyPart(*w, &abort, 3, 3);
    ASSERT_NE(none, nullptr);
    EXPECT_TRUE(none->IsEmpty());
    EXPECT_EQ(abort, 0);
}

TEST(RangeEdits, DeletePartAndReplace)
{
    WavePtr w = MakeWave({1, 2, 3, 4, 5, 6});
    WavePtr other = MakeWave({-1, -2});
    AbortFlag abort = 0;
    EXPECT_EQ(ValuesOf(deletePart(*w, &abort, 1, 3)), (V{1, 4, 5, 6}));
    EXPECT_EQ(ValuesOf(deletePart(*w, &abort, 2, -1)), (V{1, 2}));
    WavePtr all = deletePart(*w, &abort, 0, -1);
    ASSERT_NE(all, nullptr);
    EXPECT_TRUE(all->IsEmpty());
    EXPECT_EQ(ValuesOf(replace(*w, &abort, *other, 1, 5)), (V{1, -1, -2, 6}));
    EXPECT_EQ(ValuesOf(replace(*w, &abort, *other, 6, -1)), (V{1, 2, 3, 4, 5, 6, -1, -2}));
    EXPECT_EQ(ValuesOf(replace(*w, &abort, *w, 2, 4)), (V{1, 2, 1, 2, 3, 4, 5, 6, 5, 6}));
    EXPECT_EQ(abort, 0);
}

TEST(RangeEdits, Append)
{
    WavePtr a = MakeWave({1, 2, 3, 4, 5});
    WavePtr b = MakeWave({9, 8});
    Wave empty;
    AbortFlag abort = 0;
    EXPECT_EQ(ValuesOf(append(*a, &abort, *b)), (V{1, 2, 3, 4, 5, 9, 8}));
    EXPECT_EQ(ValuesOf(append(*a, &abort, *a)), (V{1, 2, 3, 4, 5, 1, 2, 3, 4, 5}));
    EXPECT_EQ(ValuesOf(append(empty, &abort, *b)), (V{9, 8}));
    WavePtr none = append(empty, &abort, empty);
    ASSERT_NE(none, nullptr);
    EXPECT_TRUE(none->IsEmpty());
}

// ---- Resampling --------------------------------------------------------------------------

struct ResampleCase
{
    const char* name;
    V values;
    int32_t begin, end;
    int64_t count;
    bool reverse;
    V expected;
    int32_t newEnd;
};

class ResampleTo : public ::testing::TestWithParam<ResampleCase>
{
};

TEST_P(ResampleTo, ReadsByInterpolationAndTruncates)
{
    const ResampleCase& c = GetParam();
    WavePtr w = MakeWave(c.values);
    AbortFlag abort = 0;
    int32_t begin = c.begin;
    int32_t end = c.end;
    WavePtr r = resampleTo(*w, &abort, c.count, c.reverse, &begin, &end);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(ValuesOf(r), c.expected);
    EXPECT_EQ(begin, c.begin);
    EXPECT_EQ(end, c.newEnd);
    EXPECT_EQ(ValuesOf(w), c.values) << "the source stays as it was";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResampleTo,
    ::testing::Values(
        // Up-sampling: the last position 3.5 reads halfway to the silence after the wave.
        ResampleCase{"Up",
                     {0, 100, 200, 300, 400},
                     0,
                     -1,
                     10,
                     false,
                     {0, 50, 100, 150, 200, 250, 300, 350, 400, 200},
                     10},
        // Inside a wave the value after the range is read there instead.
        ResampleCase{"UpInside",
                     {10, 0, 100, 200, 300, 40},
                     1,
                     5,
                     8,
                     false,
                     {10, 0, 50, 100, 150, 200, 250, 300, 170, 40},
                     9},
        ResampleCase{"Down", {0, 100, 200, 300, 400, 500}, 0, 6, 3, false, {0, 200, 400}, 3},
        ResampleCase{
            "ThreeQuarters", {0, 100, 200, 0, 0}, 0, 3, 4, false, {0, 75, 150, 150, 0, 0}, 4},
        ResampleCase{"TruncatesTowardZero",
                     {-100, -201, 7, 8, 9},
                     0,
                     2,
                     4,
                     false,
                     {-100, -150, -201, -97, 7, 8, 9},
                     4},
        // Reversed, the first position is the range's length: one past its last value.
        ResampleCase{
            "ReverseAtEnd", {5, 0, 100, 200, 300}, 1, -1, 4, true, {5, 0, 300, 200, 100}, 5},
        ResampleCase{
            "ReverseInside", {0, 100, 200, 300, 77}, 0, 4, 4, true, {77, 300, 200, 100, 77}, 4},
        ResampleCase{"ToNothing", {1, 2, 3, 4, 5}, 1, 4, 0, false, {1, 5}, 1},
        ResampleCase{"Identity", {1, 2, 3, 4, 5}, 0, -1, 5, false, {1, 2, 3, 4, 5}, 5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ResampleRange, CountFollowsTheFactor)
{
    WavePtr w = MakeWave({7, 0, 30, 61, 90, 121, 8});
    AbortFlag abort = 0;
    // 5 values: (5 - 1) * 0.5 + 1 = 3 values at positions 0, 5/3, 10/3.
    int32_t begin = 1;
    int32_t end = 6;
    EXPECT_EQ(ValuesOf(resampleRange(*w, &abort, 0.5, &begin, &end)), (V{7, 0, 50, 100, 8}));
    EXPECT_EQ(begin, 1);
    EXPECT_EQ(end, 4);

    // Factor 1 keeps the count and the values.
    begin = 0;
    end = -1;
    EXPECT_EQ(ValuesOf(resampleRange(*w, &abort, 1.0, &begin, &end)), ValuesOf(w));
    EXPECT_EQ(end, 7);

    // Factor -1 plays the range backwards from one past its end.
    begin = 1;
    end = 4;
    EXPECT_EQ(ValuesOf(resampleRange(*w, &abort, -1.0, &begin, &end)),
              (V{7, 90, 61, 30, 90, 121, 8}));
    EXPECT_EQ(end, 4);

    // Factor 0 leaves one value.
    begin = 1;
    end = 6;
    EXPECT_EQ(ValuesOf(resampleRange(*w, &abort, 0.0, &begin, &end)), (V{7, 0, 8}));
    EXPECT_EQ(end, 2);
    EXPECT_EQ(abort, 0);
}

TEST(ResampleRange, AnEmptyRangeStaysEmpty)
{
    WavePtr w = MakeWave({1, 2, 3, 4, 5});
    AbortFlag abort = 0;
    int32_t begin = 2;
    int32_t end = 2;
    EXPECT_EQ(ValuesOf(resampleRange(*w, &abort, 3.0, &begin, &end)), (V{1, 2, 3, 4, 5}));
    EXPECT_EQ(end, 2);

    Wave empty;
    WavePtr r = resampleFactor(empty, &abort, 2.0);
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(r->IsEmpty());
    EXPECT_EQ(abort, 0);
}

TEST(ResampleRange, WholeWaveForms)
{
    WavePtr w = MakeWave({0, 100, 200, 300, 400});
    AbortFlag abort = 0;
    // (5 - 1) * 2 + 1 = 9 values, step 5/9: interpolated, truncated.
    EXPECT_EQ(ValuesOf(resampleFactor(*w, &abort, 2.0)),
              (V{0, 55, 111, 166, 222, 277, 333, 388, 222}));
    EXPECT_EQ(ValuesOf(resample(*w, &abort, 5, true)), (V{0, 400, 300, 200, 100}));
    EXPECT_EQ(ValuesOf(resample(*w, &abort, 2, false)), (V{0, 250}));
}

TEST(ResampleRange, ImpossibleCountsTakeTheMemoryRoad)
{
    RecordedBoxes boxes;
    WavePtr w = MakeWave({1, 2, 3, 4, 5});
    const double factors[] = {1e12, std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN()};
    for (double factor : factors) {
        AbortFlag abort = 0;
        boxes.boxes.clear();
        EXPECT_EQ(resampleFactor(*w, &abort, factor), nullptr) << factor;
        EXPECT_EQ(abort, 1);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, "There is not enough memmory for this operation.");
        EXPECT_EQ(boxes.boxes[0].caption, "System Error");
        EXPECT_EQ(boxes.boxes[0].icon, MsgIcon::Information);
    }
    AbortFlag abort = 0;
    EXPECT_EQ(resample(*w, &abort, -1, false), nullptr);
    EXPECT_EQ(abort, 1);
    abort = 0;
    EXPECT_EQ(resample(*w, &abort, MaxWaveValues + 1, false), nullptr);
    EXPECT_EQ(abort, 1);
}

TEST(ResampleRange, LongUpSamplingStaysInsideTheWave)
{
    // Positions accumulate by repeated addition; the tail must still read inside the wave.
    WavePtr w = MakeWaveOf(3, [](int i) { return 1000 * (i + 1); });
    AbortFlag abort = 0;
    WavePtr r = resample(*w, &abort, 30001, false);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ((*r)[0], 1000);
    EXPECT_EQ((*r)[10000], 1999);
    EXPECT_EQ((*r)[30000], 0);
}

// ---- Allocation failure and abort ---------------------------------------------------------

TEST(RangeEditFailures, AllocationFailureGivesNoResultAndSetsTheFlag)
{
    HookReset reset;
    RecordedBoxes boxes;
    WavePtr w = MakeWave({1, 2, 3, 4, 5});
    WavePtr other = MakeWave({6});
    using Op = std::function<WavePtr(AbortFlag*)>;
    const Op ops[] = {
        [&](AbortFlag* a) { return copyPart(*w, a, 0, 3); },
        [&](AbortFlag* a) { return deletePart(*w, a, 0, 3); },
        [&](AbortFlag* a) { return replace(*w, a, *other, 0, 3); },
        [&](AbortFlag* a) { return append(*w, a, *other); },
        [&](AbortFlag* a) { return resampleFactor(*w, a, 2.0); },
        [&](AbortFlag* a) { return resample(*w, a, 3, true); },
        [&](AbortFlag* a) {
            int32_t b = 1, e = 3;
            return resampleTo(*w, a, 7, false, &b, &e);
        },
    };
    for (const Op& op : ops) {
        AbortFlag abort = 0;
        boxes.boxes.clear();
        FailAllocationsAfter(0);
        EXPECT_EQ(op(&abort), nullptr);
        EXPECT_EQ(abort, 1);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].caption, "System Error");
        // With the flag already set nothing is allocated and no second box appears.
        ResetAllocationFailure();
        boxes.boxes.clear();
        EXPECT_EQ(op(&abort), nullptr);
        EXPECT_TRUE(boxes.boxes.empty());
    }
}

TEST(RangeEditFailures, TheFlagIsPolledAtLeastEveryThousandValues)
{
    HookReset reset;
    constexpr int64_t N = 10 * WaveBlock;
    WavePtr w = MakeWaveOf(N, [](int i) { return i; });
    Wave empty;
    using Op = std::function<WavePtr(AbortFlag*)>;
    const Op ops[] = {
        [&](AbortFlag* a) { return copyPart(*w, a, 0, -1); },
        [&](AbortFlag* a) { return append(*w, a, empty); },
        [&](AbortFlag* a) { return resampleFactor(*w, a, 1.0); },
        [&](AbortFlag* a) { return resample(*w, a, N, true); },
    };
    for (const Op& op : ops) {
        // The tenth look at the flag finds it set: an operation that looked less often than
        // once per block would finish.
        AbortFlag abort = 0;
        AbortAfterPolls(N / WaveBlock - 1);
        EXPECT_EQ(op(&abort), nullptr);
        EXPECT_EQ(abort, 1);
        ResetAbortHook();
        abort = 0;
        EXPECT_NE(op(&abort), nullptr);
    }
}

// ---- In-place primitives -----------------------------------------------------------------

TEST(InPlace, CopyFrom)
{
    WavePtr from = MakeWave({10, 20, 30, 40, 50});
    AbortFlag abort = 0;
    WavePtr w = MakeWave({1, 2, 3, 4, 5, 6});
    copyFrom(*w, &abort, *from, 1, 3, 2);
    EXPECT_EQ(ValuesOf(w), (V{1, 2, 20, 30, 5, 6}));
    copyFrom(*w, &abort, *from, 3, -1, 0);
    EXPECT_EQ(ValuesOf(w), (V{40, 50, 20, 30, 5, 6}));
    copyFrom(*w, &abort, *from, 0, -1, 1);
    EXPECT_EQ(ValuesOf(w), (V{40, 10, 20, 30, 40, 50}));
    EXPECT_EQ(abort, 0);
}

TEST(InPlace, CopyFromItselfOverlapping)
{
    AbortFlag abort = 0;
    WavePtr w = MakeWave({1, 2, 3, 4, 5, 6});
    copyFrom(*w, &abort, *w, 0, 4, 2);
    EXPECT_EQ(ValuesOf(w), (V{1, 2, 1, 2, 3, 4}));
    w = MakeWave({1, 2, 3, 4, 5, 6});
    copyFrom(*w, &abort, *w, 2, -1, 0);
    EXPECT_EQ(ValuesOf(w), (V{3, 4, 5, 6, 5, 6}));
    // Longer than a block, overlapping by one value.
    WavePtr big = MakeWaveOf(2500, [](int i) { return i; });
    copyFrom(*big, &abort, *big, 0, 2499, 1);
    EXPECT_EQ((*big)[0], 0);
    EXPECT_EQ((*big)[1], 0);
    EXPECT_EQ((*big)[1500], 1499);
    EXPECT_EQ((*big)[2499], 2498);
}

TEST(InPlace, AddFromWrapsAndMayOverlap)
{
    AbortFlag abort = 0;
    WavePtr w = MakeWave({1, 2, 3, 4, 5});
    WavePtr from = MakeWave({10, 20});
    addFrom(*w, &abort, *from, 0, -1, 3);
    EXPECT_EQ(ValuesOf(w), (V{1, 2, 3, 14, 25}));
    WavePtr top = MakeWave({32767, -32768});
    WavePtr one = MakeWave({1, -1});
    addFrom(*top, &abort, *one, 0, 2, 0);
    EXPECT_EQ(ValuesOf(top), (V{-32768, 32767}));

    // Each value added is the source's value before this call changed it.
    w = MakeWave({1, 2, 3, 4, 5});
    addFrom(*w, &abort, *w, 0, 3, 1);
    EXPECT_EQ(ValuesOf(w), (V{1, 3, 5, 7, 5}));
    w = MakeWave({1, 2, 3, 4, 5});
    addFrom(*w, &abort, *w, 1, 4, 0);
    EXPECT_EQ(ValuesOf(w), (V{3, 5, 7, 4, 5}));
}

TEST(InPlace, CopyTargetsOutsideTheWaveAreAssertions)
{
    RecordedBoxes boxes;
    WavePtr w = MakeWave({1, 2, 3, 4, 5});
    WavePtr from = MakeWave({10, 20, 30});
    AbortFlag abort = 0;
    copyFrom(*w, &abort, *from, 0, 3, 3);
    addFrom(*w, &abort, *from, 0, 3, -1);
    copyFrom(*w, &abort, *from, 0, 4, 0);
    EXPECT_EQ(ValuesOf(w), (V{1, 2, 3, 4, 5}));
    EXPECT_EQ(abort, 1);
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_NE(boxes.boxes[0].text.find("\"to + end - begin <= values\""), std::string::npos);
    EXPECT_NE(boxes.boxes[1].text.find("\"to >= 0\""), std::string::npos);
    EXPECT_NE(boxes.boxes[2].text.find("\"end <= values\""), std::string::npos);
}

TEST(InPlace, ClearAndMirror)
{
    AbortFlag abort = 0;
    WavePtr w = MakeWave({1, 2, 3, 4, 5});
    clear(*w, &abort, 1, 3);
    EXPECT_EQ(ValuesOf(w), (V{1, 0, 0, 4, 5}));
    clear(*w, &abort, 3, -1);
    EXPECT_EQ(ValuesOf(w), (V{1, 0, 0, 0, 0}));

    w = MakeWave({1, 2, 3, 4, 5});
    mirror(*w, &abort, 0, -1);
    EXPECT_EQ(ValuesOf(w), (V{5, 4, 3, 4, 5}));
    w = MakeWave({1, 2, 3, 4, 5});
    mirror(*w, &abort, 1, 5);
    EXPECT_EQ(ValuesOf(w), (V{1, 5, 4, 4, 5}));
    w = MakeWave({1, 2, 3, 4, 5});
    mirror(*w, &abort, 2, 3);
    EXPECT_EQ(ValuesOf(w), (V{1, 2, 3, 4, 5}));
}

struct DrawCase
{
    const char* name;
    int32_t x0;
    int16_t y0;
    int32_t x1;
    int16_t y1;
    V expected;
};

class DrawLine : public ::testing::TestWithParam<DrawCase>
{
};

TEST_P(DrawLine, WritesFromX0ToBeforeX1)
{
    const DrawCase& c = GetParam();
    WavePtr w = MakeWave({9, 9, 9, 9, 9, 9});
    AbortFlag abort = 0;
    drawLine(*w, &abort, c.x0, c.y0, c.x1, c.y1);
    EXPECT_EQ(ValuesOf(w), c.expected);
    EXPECT_EQ(abort, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DrawLine,
    ::testing::Values(DrawCase{"Rising", 1, 0, 5, 300, {9, 0, 100, 200, 300, 9}},
                      DrawCase{"ToTheEnd", 2, -5, -1, 1, {9, 9, -5, -3, -1, 1}},
                      DrawCase{"OneValueTakesTheMean", 3, 3, 4, -6, {9, 9, 9, -1, 9, 9}},
                      DrawCase{"TowardZero", 0, 0, 3, -5, {0, -2, -5, 9, 9, 9}},
                      DrawCase{"Nothing", 4, 1, 4, 2, {9, 9, 9, 9, 9, 9}},
                      DrawCase{"Silence", 0, 0, 6, 0, {0, 0, 0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ScaleCase
{
    const char* name;
    double factor;
    V values;
    V expected;
};

class VolumeInPlace : public ::testing::TestWithParam<ScaleCase>
{
};

TEST_P(VolumeInPlace, TruncatesAndWraps)
{
    const ScaleCase& c = GetParam();
    WavePtr w = MakeWave(c.values);
    AbortFlag abort = 0;
    volumeInPlace(*w, &abort, c.factor, 0, -1);
    EXPECT_EQ(ValuesOf(w), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VolumeInPlace,
    ::testing::Values(
        ScaleCase{"Double", 2, {100, -100, 20000, 3, 5}, {200, -200, -25536, 6, 10}},
        ScaleCase{"Half", 0.5, {3, -3, 1, -1, 32767}, {1, -1, 0, 0, 16383}},
        ScaleCase{"Huge", 1e6, {3, 0, -1, 1, 2}, {-14656, 0, -16960, 16960, -31616}},
        ScaleCase{"BoundaryFactor", -65536, {1, -32768, 32767, 0, 2}, {0, 0, 0, 0, 0}},
        ScaleCase{"JustBelowBoundary", 65535.5, {1, -1, 2, 0, 32767}, {-1, 1, -1, 0, -16384}},
        ScaleCase{"NotANumber",
                  std::numeric_limits<double>::quiet_NaN(),
                  {1, 2, 3, 4, 5},
                  {0, 0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InPlace, VolumeOfAnEmptyRangeChangesNothing)
{
    WavePtr w = MakeWave({1, 2, 3, 4, 5});
    AbortFlag abort = 0;
    volumeInPlace(*w, &abort, 0, 2, 2);
    EXPECT_EQ(ValuesOf(w), (V{1, 2, 3, 4, 5}));
}

TEST(InPlace, TheFlagStopsWithinOneBlock)
{
    HookReset reset;
    // The third look at the flag finds it set: two blocks are done, the rest is untouched.
    const auto check = [](const char* name, auto op) {
        WavePtr w = MakeWaveOf(5500, [](int) { return 100; });
        AbortFlag abort = 0;
        AbortAfterPolls(2);
        op(*w, &abort);
        ResetAbortHook();
        EXPECT_EQ(abort, 1) << name;
        EXPECT_NE((*w)[1999], 100) << name;
        EXPECT_EQ((*w)[2000], 100) << name;
        EXPECT_EQ((*w)[5499], 100) << name;
    };
    WavePtr src = MakeWaveOf(5500, [](int) { return 7; });
    check("volumeInPlace", [](Wave& w, AbortFlag* a) { volumeInPlace(w, a, 2.0, 0, -1); });
    check("clear", [](Wave& w, AbortFlag* a) { clear(w, a, 0, -1); });
    check("copyFrom", [&](Wave& w, AbortFlag* a) { copyFrom(w, a, *src, 0, -1, 0); });
    check("addFrom", [&](Wave& w, AbortFlag* a) { addFrom(w, a, *src, 0, -1, 0); });
    check("drawLine", [](Wave& w, AbortFlag* a) { drawLine(w, a, 0, 0, -1, 0); });
}

TEST(InPlace, MirrorStopsWithinOneBlock)
{
    HookReset reset;
    WavePtr w = MakeWaveOf(5500, [](int i) { return i < 3000 ? 100 : 1; });
    AbortFlag abort = 0;
    AbortAfterPolls(2);
    mirror(*w, &abort, 0, -1);
    EXPECT_EQ(abort, 1);
    EXPECT_EQ((*w)[1999], 1);
    EXPECT_EQ((*w)[2000], 100);
    EXPECT_EQ((*w)[2749], 100);
}

// ---- Sine period and frequency curve -----------------------------------------------------

TEST(MakeSinePeriod, UsesTheProgramsPi)
{
    AbortFlag abort = 0;
    WavePtr w = CreateWave(&abort, 8);
    makeSinePeriod(*w);
    // sin(2 i 3.1415293 / 8) * 32767: the half period lands a hair short of pi (value 2).
    EXPECT_EQ(ValuesOf(w), (V{0, 23169, 32766, 23170, 2, -23167, -32766, -23172}));
}

struct CurveCase
{
    int32_t rate;
    // Values at the indices 0, 1, 58, 59, 75, 90, 148, 149.
    V expected;
};

class FrequencyCurve : public ::testing::TestWithParam<CurveCase>
{
};

TEST_P(FrequencyCurve, JoinsTheFivePoints)
{
    const CurveCase& c = GetParam();
    AbortFlag abort = 0;
    WavePtr w = MakeWaveOf(150, [](int) { return 1; });
    makeFrequencyCurve(*w, &abort, c.rate);
    const int32_t at[] = {0, 1, 58, 59, 75, 90, 148, 149};
    V got;
    for (int32_t i : at)
        got.push_back((*w)[i]);
    EXPECT_EQ(got, c.expected);
    EXPECT_EQ(abort, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rates, FrequencyCurve,
    ::testing::Values(
        // 22050 Hz at the top clamps to 32767; 3675 Hz gives 16694.
        CurveCase{44100, {32767, 32489, 16693, 16694, 13389, 4367, -5612, -5613}},
        CurveCase{48000, {32767, 32490, 16737, 16738, 13138, 4345, -5602, -5603}},
        // Below 20000 Hz no whole-value period reaches the top point: it takes 32767.
        CurveCase{11025, {32767, 32489, 16693, 16694, 13964, 4367, -5462, -5462}},
        CurveCase{5512, {32767, 32556, 20539, 20539, 13963, 5270, -5150, -5151}},
        CurveCase{1000, {32767, 32767, 32767, 32767, 32767, 4345, -2229, -2230}},
        CurveCase{0, {32767, 32767, 32767, 32767, 32767, 32767, 32767, 32767}},
        CurveCase{-44100, {32767, 32767, 32767, 32767, 32767, 32767, 32767, 32767}}));

TEST(FrequencyCurveSize, OnlyOnAHundredAndFiftyValues)
{
    RecordedBoxes boxes;
    AbortFlag abort = 0;
    WavePtr w = MakeWaveOf(149, [](int) { return 1; });
    makeFrequencyCurve(*w, &abort, 44100);
    EXPECT_EQ(abort, 1);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find("\"values == 150\""), std::string::npos);
    EXPECT_EQ((*w)[0], 1);
}
