// Every wave primitive once, on short and long waves with short and long envelopes: results
// framed correctly, sources untouched, the abort flag looked at every block, allocation
// failures reported. The sanitizer build runs this catalogue under ASan and UBSan.

#include "sound/WavePrimitives.h"

#include "sound/SineTable.h"
#include "sound/WaveTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

enum class Kind { NewWave, InPlace, Query };

struct Context
{
    const Wave& wave;
    Wave& target; // a copy of wave for the operations in place
    const Wave& envelope;
    AbortFlag* abort;
    int32_t begin;
    int32_t end;
};

struct Entry
{
    const char* name;
    Kind kind;
    bool usesEnvelope;
    std::function<WavePtr(Context&)> run;
};

int32_t N(const Context& c)
{
    return c.wave.Values();
}

const Entry Catalogue[] = {
    {"peak", Kind::Query, false,
     [](Context& c) {
         peak(c.wave, c.abort, c.begin, c.end);
         return nullptr;
     }},
    {"minMax", Kind::Query, false,
     [](Context& c) {
         int16_t a, b;
         minMax(c.wave, c.abort, a, b, c.begin, c.end);
         return nullptr;
     }},
    {"makeSinePeriod", Kind::InPlace, false,
     [](Context& c) {
         makeSinePeriod(c.target);
         return nullptr;
     }},
    {"makeFrequencyCurve", Kind::InPlace, false,
     [](Context& c) {
         AbortFlag none = 0;
         WavePtr curve = CreateWave(&none, 150);
         if (curve)
             makeFrequencyCurve(*curve, c.abort, 7999);
         return nullptr;
     }},
    {"copyFrom", Kind::InPlace, false,
     [](Context& c) {
         copyFrom(c.target, c.abort, c.wave, c.begin, c.end, 0);
         return nullptr;
     }},
    {"addFrom", Kind::InPlace, false,
     [](Context& c) {
         addFrom(c.target, c.abort, c.target, c.begin, c.end, 0);
         return nullptr;
     }},
    {"clear", Kind::InPlace, false,
     [](Context& c) {
         clear(c.target, c.abort, c.begin, c.end);
         return nullptr;
     }},
    {"drawLine", Kind::InPlace, false,
     [](Context& c) {
         drawLine(c.target, c.abort, c.begin, -32768, c.end, 32767);
         return nullptr;
     }},
    {"mirror", Kind::InPlace, false,
     [](Context& c) {
         mirror(c.target, c.abort, c.begin, c.end);
         return nullptr;
     }},
    {"volumeInPlace", Kind::InPlace, false,
     [](Context& c) {
         volumeInPlace(c.target, c.abort, -1.7, c.begin, c.end);
         return nullptr;
     }},
    {"makeSilence", Kind::NewWave, false,
     [](Context& c) { return makeSilence(c.wave, c.abort, N(c), &c.begin, &c.end); }},
    {"makeLine", Kind::NewWave, false,
     [](Context& c) { return makeLine(c.wave, c.abort, -32768, 32767, N(c), &c.begin, &c.end); }},
    {"makeExpLine", Kind::NewWave, false,
     [](Context& c) { return makeExpLine(c.wave, c.abort, -3, -32000, N(c), &c.begin, &c.end); }},
    {"makeNoise", Kind::NewWave, false,
     [](Context& c) { return makeNoise(c.wave, c.abort, 32767, N(c), &c.begin, &c.end); }},
    {"makeBlock", Kind::NewWave, false,
     [](Context& c) {
         return makeBlockTriangle(c.wave, c.abort, -32768, 32767, 7.3, 0.3, N(c), 0.9, false,
                                  &c.begin, &c.end);
     }},
    {"makeTriangle", Kind::NewWave, false,
     [](Context& c) {
         return makeBlockTriangle(c.wave, c.abort, 32767, -32768, 7.3, 0.7, N(c), 0.2, true,
                                  &c.begin, &c.end);
     }},
    {"makeTriangleEnv", Kind::NewWave, true,
     [](Context& c) {
         return makeBlockTriangleEnv(c.wave, c.abort, -32768, 32767, 3.1, &c.envelope, N(c), 0.5,
                                     true, &c.begin, &c.end);
     }},
    {"makeSinus", Kind::NewWave, false,
     [](Context& c) {
         return makeSinus(c.wave, c.abort, 32767, -32768, 10.5, N(c) / 10.5, 0.99, &c.begin,
                          &c.end);
     }},
    {"repeatForm", Kind::NewWave, true,
     [](Context& c) {
         return repeatForm(c.wave, c.abort, &c.envelope, -3.7, N(c) / 3.7, 0.5, &c.begin, &c.end, 0,
                           -1);
     }},
    {"repeatFormSelf", Kind::NewWave, false,
     [](Context& c) {
         return repeatForm(c.wave, c.abort, &c.wave, 13.3, N(c) / 13.3, 0, &c.begin, &c.end,
                           c.begin, c.end);
     }},
    {"rollIn", Kind::NewWave, false,
     [](Context& c) {
         const int64_t length = N(c) / 3 + 1;
         return rollIn(c.wave, c.abort, length, length - 1, &c.begin, &c.end);
     }},
    {"rollOut", Kind::NewWave, true,
     [](Context& c) {
         return rollOut(c.wave, c.abort, &c.envelope, 1.5, 2.7, 0.9, &c.begin, &c.end);
     }},
    {"resampleToUp", Kind::NewWave, false,
     [](Context& c) { return resampleTo(c.wave, c.abort, 2 * N(c), false, &c.begin, &c.end); }},
    {"resampleToReversed", Kind::NewWave, false,
     [](Context& c) { return resampleTo(c.wave, c.abort, N(c) / 3, true, &c.begin, &c.end); }},
    {"reverse", Kind::NewWave, false,
     [](Context& c) { return reverse(c.wave, c.abort, c.begin, c.end); }},
    {"moveV", Kind::NewWave, false,
     [](Context& c) { return moveV(c.wave, c.abort, 12345, c.begin, c.end); }},
    {"normalizeV", Kind::NewWave, false,
     [](Context& c) { return normalizeV(c.wave, c.abort, c.begin, c.end); }},
    {"block", Kind::NewWave, false,
     [](Context& c) { return block(c.wave, c.abort, 2.6, 5, c.begin, c.end); }},
    {"distort", Kind::NewWave, true,
     [](Context& c) { return distort(c.wave, c.abort, &c.envelope, c.begin, c.end); }},
    {"volume", Kind::NewWave, false,
     [](Context& c) { return volume(c.wave, c.abort, 3.3, c.begin, c.end); }},
    {"volumeEnvelope", Kind::NewWave, true,
     [](Context& c) { return volumeEnvelope(c.wave, c.abort, &c.envelope, c.begin, c.end); }},
    {"rotate", Kind::NewWave, false,
     [](Context& c) {
         return rotate(c.wave, c.abort, (c.wave.ResolveEnd(c.end) - c.begin) / 3, c.begin, c.end);
     }},
    {"copyPart", Kind::NewWave, false,
     [](Context& c) { return copyPart(c.wave, c.abort, c.begin, c.end); }},
    {"deletePart", Kind::NewWave, false,
     [](Context& c) { return deletePart(c.wave, c.abort, c.begin, c.begin + 1); }},
    {"replace", Kind::NewWave, false,
     [](Context& c) { return replace(c.wave, c.abort, c.wave, c.begin, c.end); }},
    {"append", Kind::NewWave, false, [](Context& c) { return append(c.wave, c.abort, c.wave); }},
    {"resampleFactor", Kind::NewWave, false,
     [](Context& c) { return resampleFactor(c.wave, c.abort, -1.3); }},
    {"resampleRange", Kind::NewWave, false,
     [](Context& c) { return resampleRange(c.wave, c.abort, 0.7, &c.begin, &c.end); }},
    {"resample", Kind::NewWave, false,
     [](Context& c) { return resample(c.wave, c.abort, N(c) + 7, false); }},
    {"moveH", Kind::NewWave, false,
     [](Context& c) {
         const double shift = N(c) > 100 ? -700.3 : 1.5;
         int64_t before = 0;
         int64_t after = 0;
         moveHMargins(c.wave, shift, shift, c.begin, c.end, &before, &after);
         return moveH(c.wave, c.abort, shift, before, after, &c.begin, &c.end);
     }},
    {"moveHEnvelope", Kind::NewWave, true,
     [](Context& c) {
         const double shift = N(c) > 100 ? 300 : 2.5;
         int64_t before = 0;
         int64_t after = 0;
         moveHMargins(c.wave, shift, -shift, c.begin, c.end, &before, &after);
         return moveHEnvelope(c.wave, c.abort, shift, &c.envelope, before, after, &c.begin, &c.end);
     }},
};

WavePtr Scrambled(int64_t n, int salt)
{
    return MakeWaveOf(n, [salt](int i) { return (i * 7919 + salt * 104729) % 65536 - 32768; });
}

struct Outcome
{
    WavePtr result;
    AbortFlag abort = 0;
    int32_t begin = 0;
    int32_t end = 0;
};

class EveryPrimitive : public ::testing::TestWithParam<Entry>
{
protected:
    void SetUp() override
    {
        AbortFlag flag = 0;
        ASSERT_TRUE(CreateSinus(&flag));
    }
    void TearDown() override
    {
        FreeSinus();
        ResetAllocationFailure();
        ResetAbortHook();
    }

    static Outcome Once(const Entry& e, const Wave& wave, Wave& target, const Wave& envelope)
    {
        Outcome r;
        Context c{wave, target, envelope, &r.abort, 1, -1};
        r.result = e.run(c);
        r.begin = c.begin;
        r.end = c.end;
        return r;
    }
};

} // namespace

TEST_P(EveryPrimitive, RunsOnShortAndLongInputs)
{
    const Entry& e = GetParam();
    RecordedBoxes boxes;
    for (int64_t n : {5, 25000}) {
        const std::vector<int64_t> envelopeSizes =
            e.usesEnvelope ? std::vector<int64_t>{1, 2, 7, 3001} : std::vector<int64_t>{1};
        for (int64_t envelopeSize : envelopeSizes) {
            SCOPED_TRACE(std::to_string(n) + " values, envelope of " +
                         std::to_string(envelopeSize));
            WavePtr wave = Scrambled(n, 1);
            const std::vector<int> before = ValuesOf(wave);
            WavePtr target = CreateWaveCopy(nullptr, wave.get());
            WavePtr envelope = Scrambled(envelopeSize, 2);
            Outcome r = Once(e, *wave, *target, *envelope);
            EXPECT_EQ(r.abort, 0);
            EXPECT_EQ(ValuesOf(wave), before) << "the source stays as it was";
            if (e.kind == Kind::NewWave) {
                ASSERT_NE(r.result, nullptr);
                // Operations that take the range by value leave the end -1 as it was.
                const int32_t end = r.result->ResolveEnd(r.end);
                EXPECT_LE(0, r.begin);
                EXPECT_LE(r.begin, end);
                EXPECT_LE(end, r.result->Values());
            }
        }
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_P(EveryPrimitive, LooksAtTheFlagAtLeastOncePerBlockOfValues)
{
    const Entry& e = GetParam();
    constexpr int64_t n = 25000;
    WavePtr wave = Scrambled(n, 3);
    WavePtr envelope = Scrambled(3001, 4);
    // The fewest looks that let the operation finish: k looks pass, the next one stops it.
    const auto finishes = [&](int64_t k, int64_t* written) {
        WavePtr target = CreateWaveCopy(nullptr, wave.get());
        AbortAfterPolls(k);
        Outcome r = Once(e, *wave, *target, *envelope);
        ResetAbortHook();
        if (written)
            *written = r.result ? r.result->Values() : 0;
        return r.abort == 0;
    };
    int64_t lo = 0;
    int64_t hi = 1000;
    ASSERT_TRUE(finishes(hi, nullptr));
    while (lo < hi) {
        const int64_t mid = (lo + hi) / 2;
        if (finishes(mid, nullptr))
            hi = mid;
        else
            lo = mid + 1;
    }
    int64_t written = 0;
    finishes(lo, &written);
    if (e.kind == Kind::NewWave) {
        EXPECT_GE(lo * WaveBlock, written) << lo << " looks for " << written << " values";
        // Stopped on its last look, it gives no result.
        AbortFlag abort = 0;
        WavePtr target = CreateWaveCopy(nullptr, wave.get());
        AbortAfterPolls(lo - 1);
        Context c{*wave, *target, *envelope, &abort, 1, -1};
        EXPECT_EQ(e.run(c), nullptr);
        EXPECT_EQ(abort, 1);
    } else if (e.kind == Kind::Query || std::string(e.name) != "makeSinePeriod") {
        EXPECT_GE(lo, 1);
    }
}

TEST_P(EveryPrimitive, AnAllocationFailureGivesNoResultAndSetsTheFlag)
{
    const Entry& e = GetParam();
    RecordedBoxes boxes;
    WavePtr wave = Scrambled(3000, 5);
    WavePtr target = CreateWaveCopy(nullptr, wave.get());
    WavePtr envelope = Scrambled(9, 6);
    FailAllocationsAfter(0);
    Outcome r = Once(e, *wave, *target, *envelope);
    ResetAllocationFailure();
    EXPECT_EQ(r.result, nullptr);
    if (e.kind != Kind::NewWave && std::string(e.name) != "makeFrequencyCurve") {
        // Queries and changes in place allocate nothing: they work on.
        EXPECT_EQ(r.abort, 0);
        EXPECT_TRUE(boxes.boxes.empty());
        return;
    }
    if (e.kind != Kind::NewWave)
        return;
    EXPECT_EQ(r.abort, 1);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "There is not enough memmory for this operation.");
    EXPECT_EQ(boxes.boxes[0].caption, "System Error");
}

TEST_P(EveryPrimitive, AFlagSetBeforehandStopsAtOnce)
{
    const Entry& e = GetParam();
    RecordedBoxes boxes;
    WavePtr wave = Scrambled(3000, 7);
    WavePtr target = CreateWaveCopy(nullptr, wave.get());
    const std::vector<int> before = ValuesOf(target);
    WavePtr envelope = Scrambled(9, 8);
    Outcome r;
    r.abort = 1;
    Context c{*wave, *target, *envelope, &r.abort, 1, -1};
    EXPECT_EQ(e.run(c), nullptr);
    if (e.kind == Kind::InPlace && std::string(e.name) != "makeSinePeriod") {
        EXPECT_EQ(ValuesOf(target), before);
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryPrimitive, ::testing::ValuesIn(Catalogue),
                         [](const auto& info) { return std::string(info.param.name); });
