// Every sound operation stopped at every point: a flag already set, each allocation failing in
// turn, the user's stop at each poll. A stopped operation hands out no result (never a partial
// one), leaves the flag set and the caller's range as it was; once nothing stops it the result
// is the one an undisturbed run gives. An empty envelope or partner is refused with its reason
// and without the flag.
#include "sound/SineTable.h"
#include "sound/SoundOpsCatalogue.h"

#include <gtest/gtest.h>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

constexpr int MaxSteps = 400;

struct WithSineTable : ::testing::Test
{
    void SetUp() override
    {
        AbortFlag flag = 0;
        ASSERT_TRUE(CreateSinus(&flag));
    }
    void TearDown() override
    {
        ResetAllocationFailure();
        ResetAbortHook();
        FreeSinus();
    }
};

std::unique_ptr<Sound> Source(bool stereo)
{
    if (stereo)
        return OpsStereo();
    return OpsMono();
}

bool SawMemoryBox(const RecordedBoxes& boxes)
{
    for (const auto& box : boxes.boxes)
        if (box.text == "There is not enough memmory for this operation." &&
            box.caption == "System Error")
            return true;
    return false;
}

// Operations that need no sample memory at all: they cannot run out of it.
bool AllocatesNothing(const std::string& name)
{
    return name == "DeleteAll" || name == "CreateEmpty" || name == "CopyPartEmpty";
}

enum class Stop { Allocation, Poll };

void Arm(Stop how, int64_t k)
{
    if (how == Stop::Allocation)
        FailAllocationsAfter(k);
    else
        AbortAfterPolls(k);
}

void Disarm()
{
    ResetAllocationFailure();
    ResetAbortHook();
}

// ---- New sounds ------------------------------------------------------------------------------

class NewSoundFailure : public WithSineTable,
                        public ::testing::WithParamInterface<std::tuple<size_t, bool>>
{
protected:
    NewOp op = NewOps()[std::get<0>(GetParam())];
    bool stereo = std::get<1>(GetParam());
    OpsWorld world;
    std::unique_ptr<Sound> source = Source(stereo);

    SoundUPtr Run(AbortFlag* abort, int32_t& begin, int32_t& end)
    {
        begin = OpsBegin;
        end = OpsEnd;
        SeedRandom15(3);
        return op.run(*source, abort, world, &begin, &end);
    }

    void Sweep(Stop how)
    {
        int32_t begin, end;
        AbortFlag abort = 0;
        SoundUPtr reference = Run(&abort, begin, end);
        ASSERT_NE(reference, nullptr);
        const int32_t refBegin = begin, refEnd = end;
        const auto before = ChannelsOf(*source);
        int stopped = 0;
        for (int k = 0; k <= MaxSteps; ++k) {
            RecordedBoxes boxes;
            abort = 0;
            Arm(how, k);
            SoundUPtr result = Run(&abort, begin, end);
            Disarm();
            if (result) {
                EXPECT_EQ(abort, 0) << "step " << k;
                EXPECT_EQ(ChannelsOf(*result), ChannelsOf(*reference)) << "step " << k;
                EXPECT_EQ(begin, refBegin);
                EXPECT_EQ(end, refEnd);
                if (how == Stop::Allocation && !AllocatesNothing(op.name)) {
                    EXPECT_GT(stopped, 0) << "no allocation was ever refused";
                }
                EXPECT_EQ(ChannelsOf(*source), before);
                return;
            }
            ++stopped;
            EXPECT_EQ(abort, 1) << "step " << k;
            EXPECT_EQ(begin, OpsBegin) << "step " << k;
            EXPECT_EQ(end, OpsEnd) << "step " << k;
            if (how == Stop::Allocation) {
                EXPECT_TRUE(SawMemoryBox(boxes)) << "step " << k;
            } else {
                EXPECT_TRUE(boxes.boxes.empty()) << "step " << k << ": " << boxes.boxes[0].text;
            }
        }
        ADD_FAILURE() << "still stopped after " << MaxSteps << " steps";
    }
};

TEST_P(NewSoundFailure, AFlagSetBeforehandStopsEverything)
{
    RecordedBoxes boxes;
    AbortFlag abort = 1;
    int32_t begin, end;
    EXPECT_EQ(Run(&abort, begin, end), nullptr);
    EXPECT_EQ(abort, 1);
    EXPECT_EQ(begin, OpsBegin);
    EXPECT_EQ(end, OpsEnd);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_P(NewSoundFailure, EachAllocationFailingGivesNoResult)
{
    Sweep(Stop::Allocation);
}

TEST_P(NewSoundFailure, AStopAtEachPollGivesNoResult)
{
    Sweep(Stop::Poll);
}

TEST_P(NewSoundFailure, AFailureIsSeenWithoutACallersFlag)
{
    RecordedBoxes boxes;
    int32_t begin, end;
    FailAllocationsAfter(0);
    SoundUPtr result = Run(nullptr, begin, end);
    Disarm();
    if (AllocatesNothing(op.name)) {
        // Empty results need no memory: nothing can fail.
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(result->GetValues(), 0);
        EXPECT_TRUE(boxes.boxes.empty());
        return;
    }
    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(begin, OpsBegin);
    EXPECT_TRUE(SawMemoryBox(boxes));
}

std::vector<size_t> NewOpIndices()
{
    std::vector<size_t> v(NewOps().size());
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = i;
    return v;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, NewSoundFailure,
                         ::testing::Combine(::testing::ValuesIn(NewOpIndices()), ::testing::Bool()),
                         [](const auto& info) {
                             return NewOps()[std::get<0>(info.param)].name +
                                    (std::get<1>(info.param) ? "_Stereo" : "_Mono");
                         });

// ---- In place ----------------------------------------------------------------------------------

class InPlaceFailure : public ::testing::TestWithParam<std::tuple<size_t, bool>>
{
protected:
    void TearDown() override { Disarm(); }

    InPlaceOp op = InPlaceOps()[std::get<0>(GetParam())];
    bool stereo = std::get<1>(GetParam());
    OpsWorld world;
};

TEST_P(InPlaceFailure, AFlagSetBeforehandChangesNothing)
{
    RecordedBoxes boxes;
    std::unique_ptr<Sound> sound = Source(stereo);
    const auto before = ChannelsOf(*sound);
    AbortFlag abort = 1;
    EXPECT_FALSE(op.run(*sound, &abort, world));
    EXPECT_EQ(abort, 1);
    EXPECT_EQ(ChannelsOf(*sound), before);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_P(InPlaceFailure, AStopAtEachPollIsReported)
{
    std::unique_ptr<Sound> reference = Source(stereo);
    AbortFlag abort = 0;
    ASSERT_TRUE(op.run(*reference, &abort, world));
    for (int k = 0; k <= MaxSteps; ++k) {
        RecordedBoxes boxes;
        std::unique_ptr<Sound> sound = Source(stereo);
        abort = 0;
        AbortAfterPolls(k);
        const bool done = op.run(*sound, &abort, world);
        Disarm();
        EXPECT_TRUE(boxes.boxes.empty());
        if (done) {
            EXPECT_EQ(abort, 0);
            EXPECT_EQ(ChannelsOf(*sound), ChannelsOf(*reference));
            return;
        }
        EXPECT_EQ(abort, 1) << "step " << k;
        // Whatever was changed stays within the sound's own values: same lengths.
        EXPECT_EQ(sound->GetValues(), 12);
    }
    ADD_FAILURE() << "still stopped after " << MaxSteps << " steps";
}

std::vector<size_t> InPlaceIndices()
{
    std::vector<size_t> v(InPlaceOps().size());
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = i;
    return v;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, InPlaceFailure,
                         ::testing::Combine(::testing::ValuesIn(InPlaceIndices()),
                                            ::testing::Bool()),
                         [](const auto& info) {
                             return InPlaceOps()[std::get<0>(info.param)].name +
                                    (std::get<1>(info.param) ? "_Stereo" : "_Mono");
                         });

// A partner at another rate is resampled per channel: that copy can run out of memory too.
TEST(InPlaceFailure, APartnerThatCannotBeResampledStopsTheMix)
{
    for (bool stereo : {false, true}) {
        RecordedBoxes boxes;
        std::unique_ptr<Sound> sound = Source(stereo);
        const auto before = ChannelsOf(*sound);
        auto partner = MonoOf({1, 2, 3, 4}, OpsRate / 2);
        AbortFlag abort = 0;
        FailAllocationsAfter(0);
        const bool done = MixAfter(*sound, &abort, *partner, 0);
        ResetAllocationFailure();
        EXPECT_FALSE(done);
        EXPECT_EQ(abort, 1);
        EXPECT_EQ(ChannelsOf(*sound), before);
        EXPECT_TRUE(SawMemoryBox(boxes));
    }
}

// ---- Refusals ----------------------------------------------------------------------------------

struct Refusal
{
    const char* name;
    std::function<SoundUPtr(const Sound&, AbortFlag*, const Sound& empty, std::string*)> run;
    const char* message;
};

std::vector<Refusal> Refusals()
{
    const double r = OpsRate;
    const double amps[] = {1000}, pers[] = {4.0 / r}, times[] = {1.0}, facs[] = {1.0},
                 phases[] = {0.0};
    return {
        {"Distort",
         [](auto& s, auto* a, auto& x, auto* err) { return Distort(s, a, x, 2, 9, err); },
         "The distortion curve is empty."},
        {"VolumeEnvelope",
         [](auto& s, auto* a, auto& x, auto* err) { return VolumeEnvelope(s, a, x, 2, 9, err); },
         "The volume envelope is empty."},
        {"MakeBlockTriangleEnvelope",
         [r](auto& s, auto* a, auto& x, auto* err) {
             int32_t b = 2, e = 9;
             return MakeBlockTriangleEnvelope(s, a, 1, 2, 4 / r, x, 8 / r, 0, true, &b, &e, err);
         },
         "The middle envelope is empty."},
        {"MakeMFreqForm",
         [=](auto& s, auto* a, auto& x, auto* err) {
             int32_t b = 2, e = 9;
             return MakeMFreqForm(s, a, 8 / r, x, 1, amps, pers, times, facs, phases, &b, &e, err);
         },
         "The form is empty."},
        {"RollOut",
         [](auto& s, auto* a, auto& x, auto* err) {
             int32_t b = 2, e = 9;
             return RollOut(s, a, x, 1.0, 1.0, 0.0, &b, &e, err);
         },
         "The speed envelope is empty."},
        {"MixStretched",
         [](auto& s, auto* a, auto& x, auto* err) { return MixStretched(s, a, x, 2, 9, err); },
         "The wave to mix is empty."},
        {"FilterEnvelope",
         [](auto& s, auto* a, auto& x, auto* err) {
             return FilterEnvelope(s, a, TheFilterTable.low.envelope, x, 0.5, 1, 1, 2, 9, err);
         },
         "The frequency envelope is empty."},
        {"FilterTwoParamsFactor",
         [r](auto& s, auto* a, auto& x, auto* err) {
             return FilterTwoParams(s, a, true, false, 4 / r, 0.5, nullptr, &x,
                                    TheFilterTable.notch, 2, 9, err);
         },
         "The factor envelope is empty."},
        {"FilterTwoParamsMissing",
         [r](auto& s, auto* a, auto&, auto* err) {
             return FilterTwoParams(s, a, false, true, 4 / r, 0.5, nullptr, nullptr,
                                    TheFilterTable.resonance, 2, 9, err);
         },
         "The frequency envelope is empty."},
        {"FilterBlockEnvelope",
         [r](auto& s, auto* a, auto& x, auto* err) {
             int32_t b = 2, e = 9;
             return FilterBlockEnvelope(s, a, x, 2 / r, &b, &e, err);
         },
         "The width envelope is empty."},
        {"PerEchoDelayEnvelope",
         [r](auto& s, auto* a, auto& x, auto* err) {
             int32_t b = 2, e = 9;
             return PerEchoDelayEnvelope(s, a, 2 / r, x, 0.5, 2, &b, &e, err);
         },
         "The delay envelope is empty."},
        {"PerEchoFactorEnvelope",
         [r](auto& s, auto* a, auto& x, auto* err) {
             int32_t b = 2, e = 9;
             return PerEchoFactorEnvelope(s, a, 2 / r, x, 2, &b, &e, err);
         },
         "The factor envelope is empty."},
        {"TempoPitchFreqEnvelope",
         [r](auto& s, auto* a, auto& x, auto* err) {
             int32_t b = 2, e = 9;
             return TempoPitchFreqEnvelope(s, a, 1, 0, 1, 1, x, 4 / r, 0, &b, &e, err);
         },
         "The pitch envelope is empty."},
        {"TempoPitchSpeedEnvelope",
         [r](auto& s, auto* a, auto& x, auto* err) {
             int32_t b = 2, e = 9;
             return TempoPitchSpeedEnvelope(s, a, 1, x, 0, 1, 1, 4 / r, 1, &b, &e, err);
         },
         "The speed envelope is empty."},
        {"BalanceEnvelope",
         [](auto& s, auto* a, auto& x, auto* err) {
             return BalanceEnvelope(s, a, x, true, true, true, err);
         },
         "The angle envelope is empty."},
    };
}

class RefusedEnvelope : public ::testing::TestWithParam<std::tuple<size_t, bool>>
{
};

TEST_P(RefusedEnvelope, AnEmptyOneIsRefusedWithItsReason)
{
    const Refusal refusal = Refusals()[std::get<0>(GetParam())];
    const bool stereo = std::get<1>(GetParam());
    RecordedBoxes boxes;
    std::unique_ptr<Sound> source = Source(stereo);
    // An empty envelope of either class.
    for (bool stereoEnvelope : {false, true}) {
        std::unique_ptr<Sound> empty;
        if (stereoEnvelope)
            empty = std::make_unique<StereoSound>(OpsRate, 2);
        else
            empty = std::make_unique<MonoSound>(OpsRate, 2);
        AbortFlag abort = 0;
        std::string error;
        EXPECT_EQ(refusal.run(*source, &abort, *empty, &error), nullptr);
        EXPECT_EQ(abort, 0);
        EXPECT_EQ(error, refusal.message);
        EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes[0].text;
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, RefusedEnvelope,
                         ::testing::Combine(::testing::Range<size_t>(0, Refusals().size()),
                                            ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(Refusals()[std::get<0>(info.param)].name) +
                                    (std::get<1>(info.param) ? "_Stereo" : "_Mono");
                         });

TEST(RefusedEnvelope, AMoveWithAnEmptyEnvelopeIsRefused)
{
    RecordedBoxes boxes;
    auto mono = OpsMono();
    auto stereo = OpsStereo();
    MonoSound empty(OpsRate, 2);
    AbortFlag abort = 0;
    std::string error;
    int32_t b = 2, e = 9;
    EXPECT_EQ(MoveHEnvelope(*mono, &abort, 0.01, empty, &b, &e, &error), nullptr);
    EXPECT_EQ(error, "The shift envelope is empty.");
    error.clear();
    EXPECT_EQ(MoveHEnvelope(*stereo, &abort, 0.01, -0.01, empty, &b, &e, &error), nullptr);
    EXPECT_EQ(error, "The shift envelope is empty.");
    EXPECT_EQ(abort, 0);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(e, 9);
    EXPECT_TRUE(boxes.boxes.empty());
}

} // namespace
