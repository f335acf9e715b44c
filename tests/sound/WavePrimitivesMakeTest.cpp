// Generators: hand-computed values, the new begin and end, refusals and failures.

#include "sound/WavePrimitives.h"

#include "sound/NoiseSource.h"
#include "sound/SineTable.h"
#include "sound/WaveTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>

using namespace kelvorn;
using namespace kelvorn::test;
using V = std::vector<int>;

namespace {

struct Range
{
    int32_t begin;
    int32_t end;
};

/// The sine table for the tests that read it.
class WithSinus : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AbortFlag flag = 0;
        ASSERT_TRUE(CreateSinus(&flag));
    }
    void TearDown() override { FreeSinus(); }
};

} // namespace

// ---- Silence and lines -------------------------------------------------------------------

TEST(MakeSilence, ReplacesTheRangeAndFramesTheNewPart)
{
    WavePtr w = MakeWave({1, 2, 3, 4, 5});
    AbortFlag abort = 0;
    Range r{1, 3};
    EXPECT_EQ(ValuesOf(makeSilence(*w, &abort, 4, &r.begin, &r.end)), (V{1, 0, 0, 0, 0, 4, 5}));
    EXPECT_EQ(r.begin, 1);
    EXPECT_EQ(r.end, 5);

    r = {1, 3};
    EXPECT_EQ(ValuesOf(makeSilence(*w, &abort, 0, &r.begin, &r.end)), (V{1, 4, 5}));
    EXPECT_EQ(r.end, 1) << "length 0 deletes the range and leaves begin = end";

    r = {2, -1};
    EXPECT_EQ(ValuesOf(makeSilence(*w, &abort, 2, &r.begin, &r.end)), (V{1, 2, 0, 0}));
    EXPECT_EQ(r.end, 4);
    EXPECT_EQ(abort, 0);
}

struct LineCase
{
    const char* name;
    int16_t from, to;
    int64_t length;
    bool geometric;
    V expected;
};

class MakeLines : public ::testing::TestWithParam<LineCase>
{
};

TEST_P(MakeLines, InsertAtTheRange)
{
    const LineCase& c = GetParam();
    WavePtr w = MakeWave({9, 8, 7, 6, 5});
    AbortFlag abort = 0;
    Range r{1, 3};
    WavePtr out = c.geometric ? makeExpLine(*w, &abort, c.from, c.to, c.length, &r.begin, &r.end)
                              : makeLine(*w, &abort, c.from, c.to, c.length, &r.begin, &r.end);
    V expected{9};
    expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    expected.insert(expected.end(), {6, 5});
    EXPECT_EQ(ValuesOf(out), expected);
    EXPECT_EQ(r.begin, 1);
    EXPECT_EQ(r.end, 1 + static_cast<int32_t>(c.expected.size()));
    EXPECT_EQ(abort, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MakeLines,
    ::testing::Values(LineCase{"Rising", 0, 300, 4, false, {0, 100, 200, 300}},
                      LineCase{"Falling", 10, -20, 1, false, {10, -20}}, // length 1 gives 2
                      LineCase{"TowardZero", 0, -5, 3, false, {0, -2, -5}},
                      LineCase{"Negative", -10, 0, 3, false, {-10, -5, 0}},
                      LineCase{"Flat", 7, 7, 5, false, {7, 7, 7, 7, 7}},
                      LineCase{"None", 7, 9, 0, false, {}},
                      // Geometric lines end one factor short of `to`.
                      LineCase{"Doubling", 100, 1600, 4, true, {100, 200, 400, 800}},
                      LineCase{"DoublingDown", -100, -1600, 4, true, {-100, -200, -400, -800}},
                      LineCase{"GeometricOne", 100, 400, 1, true, {100, 200}},
                      LineCase{"Halving", 1600, 100, 4, true, {1600, 800, 400, 200}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MakeExpLine, SignsMustAgree)
{
    RecordedBoxes boxes;
    WavePtr w = MakeWave({1, 2, 3, 4, 5});
    const int16_t pairs[][2] = {{0, 100}, {100, 0}, {-5, 5}};
    for (const auto& p : pairs) {
        AbortFlag abort = 0;
        Range r{0, 0};
        boxes.boxes.clear();
        EXPECT_EQ(makeExpLine(*w, &abort, p[0], p[1], 5, &r.begin, &r.end), nullptr);
        EXPECT_EQ(abort, 1);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].caption, "Assertion failed");
        EXPECT_NE(boxes.boxes[0].text.find("\"double(from) * to > 0\"failed!"), std::string::npos);
        EXPECT_EQ(r.end, 0);
    }
}

// ---- Noise -------------------------------------------------------------------------------

TEST(MakeNoise, DrawsFromTheFifteenBitGenerator)
{
    Wave empty;
    AbortFlag abort = 0;
    Range r{0, 0};
    NoiseSeed(1);
    // The reference generator's first draws for seed 1: 16838 5758 10113 17515 31051 5627.
    EXPECT_EQ(ValuesOf(makeNoise(empty, &abort, 16384, 6, &r.begin, &r.end)),
              (V{454, -10626, -6271, 1131, 14667, -10757}));
    EXPECT_EQ(r.end, 6);
    NoiseSeed(1);
    r = {0, 0};
    EXPECT_EQ(ValuesOf(makeNoise(empty, &abort, 100, 6, &r.begin, &r.end)),
              (V{2, -64, -38, 6, 89, -65}));
    NoiseSeed(42);
    r = {0, 0};
    EXPECT_EQ(ValuesOf(makeNoise(empty, &abort, -300, 6, &r.begin, &r.end)),
              (V{-49, -11, 20, -166, 46, 279}));
    r = {0, 0};
    WavePtr none = makeNoise(empty, &abort, 100, 0, &r.begin, &r.end);
    ASSERT_NE(none, nullptr);
    EXPECT_TRUE(none->IsEmpty());
}

TEST(MakeNoise, NeverReachesThePositiveAmplitude)
{
    Wave empty;
    AbortFlag abort = 0;
    Range r{0, 0};
    NoiseSeed(7);
    WavePtr w = makeNoise(empty, &abort, 32767, 200000, &r.begin, &r.end);
    ASSERT_NE(w, nullptr);
    V v = ValuesOf(w);
    EXPECT_EQ(*std::min_element(v.begin(), v.end()), -32767);
    EXPECT_EQ(*std::max_element(v.begin(), v.end()), 32765); // 32767 * 16383 / 16384
}

// ---- Block and triangle ------------------------------------------------------------------

struct ShapeCase
{
    const char* name;
    int16_t level1, level2;
    double period, middle;
    int64_t length;
    double startPhase;
    bool triangle;
    V expected;
};

class MakeBlockTriangle : public ::testing::TestWithParam<ShapeCase>
{
};

TEST_P(MakeBlockTriangle, FollowsThePhase)
{
    const ShapeCase& c = GetParam();
    WavePtr w = MakeWave({5, 5, 5, 5, 5});
    AbortFlag abort = 0;
    Range r{2, -1};
    WavePtr out = makeBlockTriangle(*w, &abort, c.level1, c.level2, c.period, c.middle, c.length,
                                    c.startPhase, c.triangle, &r.begin, &r.end);
    V expected{5, 5};
    expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    EXPECT_EQ(ValuesOf(out), expected);
    EXPECT_EQ(r.end, 2 + static_cast<int32_t>(c.length));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MakeBlockTriangle,
    ::testing::Values(
        ShapeCase{
            "Block", 100, -100, 4, 0.5, 8, 0, false, {100, 100, -100, -100, 100, 100, -100, -100}},
        ShapeCase{
            "BlockLateStart", 100, -100, 4, 0.5, 6, 0.5, false, {-100, -100, 100, 100, -100, -100}},
        ShapeCase{"BlockMiddleZero", 100, -100, 4, 0, 4, 0, false, {-100, -100, -100, -100}},
        ShapeCase{"Triangle", 0, 1000, 4, 0.5, 8, 0, true, {0, 500, 1000, 500, 0, 500, 1000, 500}},
        ShapeCase{"TriangleMiddleZero", 0, 1000, 4, 0, 4, 0, true, {1000, 750, 500, 250}},
        ShapeCase{"TriangleMiddleOne", 0, 1000, 4, 1, 5, 0, true, {0, 250, 500, 750, 0}},
        ShapeCase{"TriangleTruncates", 0, -999, 8, 0.5, 4, 0, true, {0, -249, -499, -749}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MakeBlockTriangle, BadShapesAreAssertions)
{
    RecordedBoxes boxes;
    WavePtr w = MakeWave({1, 2, 3, 4, 5});
    const double shapes[][2] = {{0, 0.5}, {-4, 0.5}, {4, 1.5}, {4, -0.1}};
    for (const auto& s : shapes) {
        AbortFlag abort = 0;
        Range r{0, 0};
        EXPECT_EQ(makeBlockTriangle(*w, &abort, 1, 2, s[0], s[1], 4, 0, true, &r.begin, &r.end),
                  nullptr);
        EXPECT_EQ(abort, 1);
    }
    EXPECT_EQ(boxes.boxes.size(), 4u);
}

TEST(MakeBlockTriangleEnv, TheMiddleFollowsTheEnvelope)
{
    Wave empty;
    AbortFlag abort = 0;
    // middle(k) = e(k) / 65535 + 0.5 rises from just below 0 to just below 1 over 8 values.
    WavePtr env = MakeWave({-32768, 32767});
    Range r{0, 0};
    EXPECT_EQ(ValuesOf(makeBlockTriangleEnv(empty, &abort, 1, 2, 8, env.get(), 8, 0, false,
                                            &r.begin, &r.end)),
              (V{2, 1, 1, 1, 1, 1, 1, 1}));
    // A constant envelope of 0 is the middle 0.5.
    WavePtr zero = MakeWave({0, 0, 0});
    r = {0, 0};
    EXPECT_EQ(ValuesOf(makeBlockTriangleEnv(empty, &abort, 0, 1000, 4, zero.get(), 5, 0, true,
                                            &r.begin, &r.end)),
              (V{0, 500, 1000, 500, 0}));
    EXPECT_EQ(abort, 0);
}

TEST(MakeBlockTriangleEnv, OneValueReadsTheEnvelopeStart)
{
    Wave empty;
    AbortFlag abort = 0;
    WavePtr high = MakeWave({32767, -32768, -32768});
    WavePtr low = MakeWave({-32768, 32767, 32767});
    Range r{0, 0};
    EXPECT_EQ(ValuesOf(makeBlockTriangleEnv(empty, &abort, 1, 2, 4, high.get(), 1, 0, false,
                                            &r.begin, &r.end)),
              (V{1}));
    r = {0, 0};
    EXPECT_EQ(ValuesOf(makeBlockTriangleEnv(empty, &abort, 1, 2, 4, low.get(), 1, 0, false,
                                            &r.begin, &r.end)),
              (V{2}));
}

// ---- Envelope, form and curve refusals (all generators and transforms that take one) ------

TEST(EmptyInputs, AreRefusedBeforeAnythingRuns)
{
    RecordedBoxes boxes;
    WavePtr w = MakeWave({1, 2, 3, 4, 5});
    Wave empty;
    struct Refusal
    {
        const char* message;
        std::function<WavePtr(const Wave*, AbortFlag*, std::string*)> op;
    };
    const Refusal refusals[] = {
        {"The middle envelope is empty.",
         [&](const Wave* e, AbortFlag* a, std::string* err) {
             int32_t b = 0, en = 2;
             return makeBlockTriangleEnv(*w, a, 1, 2, 4, e, 4, 0, true, &b, &en, err);
         }},
        {"The form is empty.",
         [&](const Wave* e, AbortFlag* a, std::string* err) {
             int32_t b = 0, en = 2;
             return repeatForm(*w, a, e, 4, 2, 0, &b, &en, 0, -1, err);
         }},
        {"The speed envelope is empty.",
         [&](const Wave* e, AbortFlag* a, std::string* err) {
             int32_t b = 0, en = 2;
             return rollOut(*w, a, e, 1, 1, 0, &b, &en, err);
         }},
        {"The distortion curve is empty.",
         [&](const Wave* e, AbortFlag* a, std::string* err) {
             return distort(*w, a, e, 0, -1, err);
         }},
        {"The volume envelope is empty.",
         [&](const Wave* e, AbortFlag* a, std::string* err) {
             return volumeEnvelope(*w, a, e, 0, -1, err);
         }},
        {"The shift envelope is empty.",
         [&](const Wave* e, AbortFlag* a, std::string* err) {
             int32_t b = 1, en = 3;
             return moveHEnvelope(*w, a, 2, e, 2, 2, &b, &en, err);
         }},
    };
    for (const Refusal& r : refusals) {
        for (const Wave* e :
             {static_cast<const Wave*>(nullptr), static_cast<const Wave*>(&empty)}) {
            AbortFlag abort = 0;
            std::string error;
            EXPECT_EQ(r.op(e, &abort, &error), nullptr);
            EXPECT_EQ(error, r.message);
            EXPECT_EQ(abort, 0) << "a refusal is not an abort";
            // Without an error text the refusal still gives no result.
            EXPECT_EQ(r.op(e, &abort, nullptr), nullptr);
        }
    }
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(ValuesOf(w), (V{1, 2, 3, 4, 5}));
}

// ---- Sine --------------------------------------------------------------------------------

using MakeSinus = WithSinus;

TEST_F(MakeSinus, ReadsTheSineTable)
{
    WavePtr w = MakeWave({3, 3, 3, 3, 3});
    AbortFlag abort = 0;
    Range r{1, 4};
    EXPECT_EQ(ValuesOf(makeSinus(*w, &abort, 1000, -1000, 4, 2, 0, &r.begin, &r.end)),
              (V{3, 0, 999, 0, -999, 0, 999, 0, -999, 3}));
    EXPECT_EQ(r.end, 9);

    Wave empty;
    r = {0, 0};
    // Top at a quarter period, bottom at three quarters (the table's peak is 32766).
    EXPECT_EQ(ValuesOf(makeSinus(empty, &abort, 32767, -32768, 4, 1, 0, &r.begin, &r.end)),
              (V{0, 32766, 13, -32766}));
    r = {0, 0};
    EXPECT_EQ(ValuesOf(makeSinus(empty, &abort, 300, 100, 4, 1, 0.25, &r.begin, &r.end)),
              (V{299, 200, 100, 200}));
    r = {0, 0};
    EXPECT_EQ(ValuesOf(makeSinus(empty, &abort, 1000, -1000, 8, 1, 0, &r.begin, &r.end)),
              (V{0, 707, 999, 707, 0, -706, -999, -707}));
    // Fewer than one value still makes one.
    r = {0, 0};
    EXPECT_EQ(ValuesOf(makeSinus(empty, &abort, 1000, -1000, 4, 0.1, 0, &r.begin, &r.end)), (V{0}));
    EXPECT_EQ(r.end, 1);
    EXPECT_EQ(abort, 0);
}

TEST(MakeSinusWithoutTable, IsAnAssertion)
{
    RecordedBoxes boxes;
    FreeSinus();
    Wave empty;
    AbortFlag abort = 0;
    Range r{0, 0};
    EXPECT_EQ(makeSinus(empty, &abort, 1000, -1000, 4, 1, 0, &r.begin, &r.end), nullptr);
    EXPECT_EQ(abort, 1);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find("\"sinus != NULL\""), std::string::npos);
}

// ---- Repeated form -----------------------------------------------------------------------

struct FormCase
{
    const char* name;
    double per, count, startAngle;
    int32_t beginf, endf;
    V expected;
};

class RepeatForm : public ::testing::TestWithParam<FormCase>
{
};

TEST_P(RepeatForm, ResamplesEachRepetition)
{
    const FormCase& c = GetParam();
    WavePtr form = MakeWave({0, 100, 200, 300, 400});
    WavePtr w = MakeWave({1, 2, 3});
    AbortFlag abort = 0;
    Range r{1, 2};
    WavePtr out = repeatForm(*w, &abort, form.get(), c.per, c.count, c.startAngle, &r.begin, &r.end,
                             c.beginf, c.endf);
    V expected{1};
    expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    expected.push_back(3);
    EXPECT_EQ(ValuesOf(out), expected);
    EXPECT_EQ(r.end, 1 + static_cast<int32_t>(c.expected.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RepeatForm,
    ::testing::Values(FormCase{"Twice", 4, 2, 0, 0, -1, {0, 100, 200, 300, 0, 100, 200, 300}},
                      FormCase{"Backwards", -4, 2, 0, 0, 5, {0, 300, 200, 100, 0, 300, 200, 100}},
                      FormCase{"Stretched", 8, 1, 0, 0, 5, {0, 50, 100, 150, 200, 250, 300, 350}},
                      FormCase{"PartOfForm", 2, 2, 0, 1, 3, {100, 150, 100, 150}},
                      FormCase{"LateStart", 4, 1, 0.5, 0, 5, {200, 300, 0, 100}},
                      FormCase{"OneValueForm", 2, 1.5, 0, 2, 3, {200, 200, 200}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RepeatFormOwnWave, MayReadTheWaveItChanges)
{
    WavePtr w = MakeWave({0, 100, 200, 300});
    AbortFlag abort = 0;
    Range r{0, -1};
    EXPECT_EQ(ValuesOf(repeatForm(*w, &abort, w.get(), 2, 1, 0, &r.begin, &r.end, 1, 3)),
              (V{100, 150}));
    EXPECT_EQ(r.end, 2);
}

TEST(RepeatFormOwnWave, AnEmptyFormRangeIsRefused)
{
    WavePtr w = MakeWave({0, 100, 200, 300});
    AbortFlag abort = 0;
    Range r{0, -1};
    std::string error;
    EXPECT_EQ(repeatForm(*w, &abort, w.get(), 2, 1, 0, &r.begin, &r.end, 2, 2, &error), nullptr);
    EXPECT_EQ(error, "The form is empty.");
    EXPECT_EQ(abort, 0);
}

// ---- Roll in and roll out ----------------------------------------------------------------

TEST(RollIn, FoldsTheRangeIntoTheNewLength)
{
    WavePtr w = MakeWave({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    AbortFlag abort = 0;
    // 3 4 5 6 7 from offset 1 of 3 values: [5, 3 + 6, 4 + 7].
    Range r{2, 7};
    EXPECT_EQ(ValuesOf(rollIn(*w, &abort, 3, 1, &r.begin, &r.end)), (V{1, 2, 5, 9, 11, 8, 9, 10}));
    EXPECT_EQ(r.begin, 2);
    EXPECT_EQ(r.end, 5);
    // Shorter than the length: the rest of the new part is silent.
    r = {0, 2};
    EXPECT_EQ(ValuesOf(rollIn(*w, &abort, 5, 3, &r.begin, &r.end)),
              (V{0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(r.end, 5);
    r = {7, -1};
    EXPECT_EQ(ValuesOf(rollIn(*w, &abort, 1, 0, &r.begin, &r.end)), (V{1, 2, 3, 4, 5, 6, 7, 27}));
    EXPECT_EQ(r.end, 8);
    EXPECT_EQ(abort, 0);
}

TEST(RollIn, WrapsSixteenBits)
{
    WavePtr w = MakeWave({30000, 30000, 1, 2, 3});
    AbortFlag abort = 0;
    Range r{0, 2};
    EXPECT_EQ(ValuesOf(rollIn(*w, &abort, 1, 0, &r.begin, &r.end)), (V{-5536, 1, 2, 3}));
}

TEST(RollIn, ALengthBelowOneLeavesTheWave)
{
    RecordedBoxes boxes;
    WavePtr w = MakeWave({1, 2, 3, 4, 5});
    for (int64_t length : {int64_t{0}, int64_t{-3}}) {
        AbortFlag abort = 0;
        Range r{1, 3};
        WavePtr out = rollIn(*w, &abort, length, 0, &r.begin, &r.end);
        ASSERT_NE(out, nullptr);
        EXPECT_NE(out.get(), w.get());
        EXPECT_EQ(ValuesOf(out), ValuesOf(w));
        EXPECT_EQ(r.begin, 1);
        EXPECT_EQ(r.end, 3);
        EXPECT_EQ(abort, 0);
    }
    EXPECT_TRUE(boxes.boxes.empty());
    AbortFlag abort = 0;
    Range r{1, 3};
    EXPECT_EQ(rollIn(*w, &abort, 3, 3, &r.begin, &r.end), nullptr);
    EXPECT_EQ(abort, 1);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find("\"target < length\""), std::string::npos);
}

struct RollOutCase
{
    const char* name;
    V envelope;
    double lengthfactor, speed, startpos;
    V expected;
};

class RollOut : public ::testing::TestWithParam<RollOutCase>
{
};

TEST_P(RollOut, PlaysTheRangeAsALoop)
{
    const RollOutCase& c = GetParam();
    WavePtr w = MakeWave({9, 0, 100, 200, 300, 8});
    WavePtr env = MakeWave(c.envelope);
    AbortFlag abort = 0;
    Range r{1, 5};
    WavePtr out =
        rollOut(*w, &abort, env.get(), c.lengthfactor, c.speed, c.startpos, &r.begin, &r.end);
    V expected{9};
    expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    expected.push_back(8);
    EXPECT_EQ(ValuesOf(out), expected);
    EXPECT_EQ(r.begin, 1);
    EXPECT_EQ(r.end, 1 + static_cast<int32_t>(c.expected.size()));
    EXPECT_EQ(abort, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RollOut,
    ::testing::Values(
        // The first step comes before the first read.
        RollOutCase{"Forward", {32767}, 1, 1, 0, {100, 200, 300, 0}},
        RollOutCase{"Half", {32767}, 1, 0.5, 0, {50, 100, 150, 200}},
        // The read between the last and the first value loops round.
        RollOutCase{"FasterLonger", {32767}, 2, 1.5, 0, {150, 300, 50, 200, 150, 100, 250, 0}},
        RollOutCase{"Backward", {32767}, 1, -1, 0, {300, 200, 100, 0}},
        RollOutCase{"MidStart", {32767}, 1, 1, 0.5, {300, 0, 100, 200}},
        RollOutCase{"Enveloped", {0, 32767}, 1, 1, 0, {0, 25, 75, 150}},
        RollOutCase{"Shorter", {32767, 0}, 0.5, 1, 0, {100, 150}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RollOutEdges, OneValueRangeAndEmptyRange)
{
    WavePtr w = MakeWave({5, 6, 7});
    WavePtr env = MakeWave({32767, 0, -32768});
    AbortFlag abort = 0;
    Range r{1, 2};
    EXPECT_EQ(ValuesOf(rollOut(*w, &abort, env.get(), 3, 1.5, 0, &r.begin, &r.end)),
              (V{5, 6, 6, 6, 7}));
    EXPECT_EQ(r.end, 4);
    r = {1, 1};
    EXPECT_EQ(ValuesOf(rollOut(*w, &abort, env.get(), 3, 1, 0, &r.begin, &r.end)), (V{5, 6, 7}));
    EXPECT_EQ(r.end, 1);
    EXPECT_EQ(abort, 0);
}

TEST(RollOutEdges, WildSpeedsStayInsideTheLoop)
{
    WavePtr w = MakeWave({5, 6, 7, 8, 9});
    WavePtr env = MakeWave({32767, -32768, 100});
    const double speeds[] = {1e300,
                             -1e300,
                             std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(),
                             1e-300,
                             3.999999999999};
    for (double speed : speeds) {
        AbortFlag abort = 0;
        Range r{1, 4};
        WavePtr out = rollOut(*w, &abort, env.get(), 2, speed, 0.3, &r.begin, &r.end);
        ASSERT_NE(out, nullptr) << speed;
        for (int v : ValuesOf(out))
            EXPECT_TRUE(v >= 5 && v <= 9) << speed;
    }
}

// ---- End -1 and impossible lengths, for every generator ----------------------------------

namespace {

using Generator = std::function<WavePtr(const Wave&, AbortFlag*, int64_t, int32_t*, int32_t*)>;

struct GeneratorCase
{
    const char* name;
    Generator make;
};

const GeneratorCase Generators[] = {
    {"makeSilence", [](const Wave& w, AbortFlag* a, int64_t n, int32_t* b,
                       int32_t* e) { return makeSilence(w, a, n, b, e); }},
    {"makeLine", [](const Wave& w, AbortFlag* a, int64_t n, int32_t* b,
                    int32_t* e) { return makeLine(w, a, -300, 900, n, b, e); }},
    {"makeExpLine", [](const Wave& w, AbortFlag* a, int64_t n, int32_t* b,
                       int32_t* e) { return makeExpLine(w, a, 30, 900, n, b, e); }},
    {"makeNoise",
     [](const Wave& w, AbortFlag* a, int64_t n, int32_t* b, int32_t* e) {
         NoiseSeed(5);
         return makeNoise(w, a, 1000, n, b, e);
     }},
    {"makeBlockTriangle",
     [](const Wave& w, AbortFlag* a, int64_t n, int32_t* b, int32_t* e) {
         return makeBlockTriangle(w, a, 9, -9, 3, 0.4, n, 0.1, true, b, e);
     }},
    {"makeBlockTriangleEnv",
     [](const Wave& w, AbortFlag* a, int64_t n, int32_t* b, int32_t* e) {
         WavePtr env = MakeWave({-30000, 0, 30000});
         return makeBlockTriangleEnv(w, a, 9, -9, 3, env.get(), n, 0.1, false, b, e);
     }},
    {"makeSinus",
     [](const Wave& w, AbortFlag* a, int64_t n, int32_t* b, int32_t* e) {
         return makeSinus(w, a, 800, -800, 4, static_cast<double>(n) / 4, 0.3, b, e);
     }},
    {"repeatForm",
     [](const Wave& w, AbortFlag* a, int64_t n, int32_t* b, int32_t* e) {
         WavePtr form = MakeWave({0, 100, -100, 50});
         return repeatForm(w, a, form.get(), 2.5, static_cast<double>(n) / 2.5, 0.2, b, e, 0, -1);
     }},
    {"rollIn", [](const Wave& w, AbortFlag* a, int64_t n, int32_t* b,
                  int32_t* e) { return rollIn(w, a, n, n > 1 ? 1 : 0, b, e); }},
    {"rollOut",
     [](const Wave& w, AbortFlag* a, int64_t n, int32_t* b, int32_t* e) {
         WavePtr env = MakeWave({32767, 10000});
         const double range = static_cast<double>(w.ResolveEnd(*e) - *b);
         return rollOut(w, a, env.get(), static_cast<double>(n) / range, 0.7, 0.25, b, e);
     }},
    {"resampleTo", [](const Wave& w, AbortFlag* a, int64_t n, int32_t* b,
                      int32_t* e) { return resampleTo(w, a, n, false, b, e); }},
};

class EveryGenerator : public WithSinus, public ::testing::WithParamInterface<GeneratorCase>
{
};

} // namespace

TEST_P(EveryGenerator, EndMinusOneIsTheWholeRest)
{
    const GeneratorCase& g = GetParam();
    WavePtr w = MakeWave({1, -2, 3, -4, 5, -6, 7, -8});
    AbortFlag abort = 0;
    Range byMarker{3, -1};
    Range byCount{3, 8};
    WavePtr a = g.make(*w, &abort, 6, &byMarker.begin, &byMarker.end);
    WavePtr b = g.make(*w, &abort, 6, &byCount.begin, &byCount.end);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(ValuesOf(a), ValuesOf(b));
    EXPECT_EQ(byMarker.begin, 3);
    EXPECT_EQ(byMarker.end, byCount.end);
    EXPECT_EQ(byMarker.end, a->Values());
    EXPECT_EQ((V{(*a)[0], (*a)[1], (*a)[2]}), (V{1, -2, 3}));
    EXPECT_EQ(abort, 0);
}

TEST_P(EveryGenerator, ImpossibleLengthsTakeTheMemoryRoad)
{
    const GeneratorCase& g = GetParam();
    // Below one value a sine still makes one, a roll keeps the wave and a roll-out length
    // factor below 0 is the caller's fault: for them only the too-large count applies.
    const std::string name = g.name;
    const bool negativeIsAFailure = name != "makeSinus" && name != "rollIn" && name != "rollOut";
    RecordedBoxes boxes;
    WavePtr w = MakeWave({1, 2, 3, 4, 5});
    std::vector<int64_t> lengths{MaxWaveValues + 1, INT64_MAX};
    if (negativeIsAFailure)
        lengths.insert(lengths.end(), {int64_t{-1}, INT64_MIN + 1});
    for (int64_t length : lengths) {
        AbortFlag abort = 0;
        Range r{1, 2};
        boxes.boxes.clear();
        EXPECT_EQ(g.make(*w, &abort, length, &r.begin, &r.end), nullptr) << length;
        EXPECT_EQ(abort, 1) << length;
        ASSERT_EQ(boxes.boxes.size(), 1u) << length;
        EXPECT_EQ(boxes.boxes[0].text, "There is not enough memmory for this operation.");
        EXPECT_EQ(r.end, 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryGenerator, ::testing::ValuesIn(Generators),
                         [](const auto& info) { return std::string(info.param.name); });
