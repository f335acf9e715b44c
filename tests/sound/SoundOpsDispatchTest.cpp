// Every sound operation once on a mono and once on a stereo sound: the result keeps the class
// and format, each channel is the wave operation on the matching source channel (with the
// envelope or partner channel that channel must read and the times turned into the right
// counts), the stereo channels stay equally long and the source is left as it was.
#include "sound/SineTable.h"
#include "sound/SoundOpsCatalogue.h"

#include <gtest/gtest.h>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

struct WithSineTable : ::testing::Test
{
    void SetUp() override
    {
        AbortFlag flag = 0;
        ASSERT_TRUE(CreateSinus(&flag));
    }
    void TearDown() override { FreeSinus(); }
};

std::unique_ptr<Sound> Source(bool stereo)
{
    if (stereo)
        return OpsStereo();
    return OpsMono();
}

std::string Name(const std::string& op, bool stereo)
{
    return op + (stereo ? "_Stereo" : "_Mono");
}

// ---- Operations that make a new sound ------------------------------------------------------

class NewSoundDispatch : public WithSineTable,
                         public ::testing::WithParamInterface<std::tuple<size_t, bool>>
{
};

TEST_P(NewSoundDispatch, EachChannelIsItsWaveOperation)
{
    const auto [index, stereo] = GetParam();
    const NewOp op = NewOps()[index];
    RecordedBoxes boxes;
    const OpsWorld world;
    const std::unique_ptr<Sound> source = Source(stereo);
    const auto before = ChannelsOf(*source);

    AbortFlag abort = 0;
    int32_t begin = OpsBegin, end = OpsEnd;
    SeedRandom15(77);
    SoundUPtr result = op.run(*source, &abort, world, &begin, &end);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(abort, 0);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes[0].text;

    ExpectFormat(*result, source->GetMonoStereo(), op.rate ? op.rate : OpsRate, OpsBytes);
    EXPECT_EQ(result->GetValues(), op.length);

    // The channels in order, so that the noise draws fall as they did.
    SeedRandom15(77);
    const int channels = stereo ? 2 : 1;
    for (int c = 0; c < channels; ++c) {
        int32_t b = OpsBegin, e = OpsEnd;
        const Wave& channel = c == 0 ? *source->GetLeftWave() : *source->GetRightWave();
        WavePtr expected = op.expect(channel, ViewOf(world, stereo, c), &b, &e);
        ASSERT_NE(expected, nullptr);
        const Wave& got = c == 0 ? *result->GetLeftWave() : *result->GetRightWave();
        EXPECT_EQ(ValuesOf(got), ValuesOf(*expected)) << "channel " << c;
        if (c == 0) {
            EXPECT_EQ(begin, b);
            EXPECT_EQ(end, e);
        }
    }
    // A source is never changed by an operation that makes a new sound.
    EXPECT_EQ(ChannelsOf(*source), before);
}

TEST_P(NewSoundDispatch, WorksWithoutAFlag)
{
    const auto [index, stereo] = GetParam();
    const NewOp op = NewOps()[index];
    const OpsWorld world;
    const std::unique_ptr<Sound> source = Source(stereo);
    int32_t begin = OpsBegin, end = OpsEnd;
    SeedRandom15(5);
    AbortFlag abort = 0;
    SoundUPtr withFlag = op.run(*source, &abort, world, &begin, &end);
    begin = OpsBegin;
    end = OpsEnd;
    SeedRandom15(5);
    SoundUPtr without = op.run(*source, nullptr, world, &begin, &end);
    ASSERT_NE(withFlag, nullptr);
    ASSERT_NE(without, nullptr);
    EXPECT_EQ(ChannelsOf(*without), ChannelsOf(*withFlag));
}

std::vector<size_t> NewOpIndices()
{
    std::vector<size_t> v(NewOps().size());
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = i;
    return v;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, NewSoundDispatch,
                         ::testing::Combine(::testing::ValuesIn(NewOpIndices()), ::testing::Bool()),
                         [](const auto& info) {
                             return Name(NewOps()[std::get<0>(info.param)].name,
                                         std::get<1>(info.param));
                         });

// ---- Operations in place -----------------------------------------------------------------------

class InPlaceDispatch : public ::testing::TestWithParam<std::tuple<size_t, bool>>
{
};

TEST_P(InPlaceDispatch, EachChannelIsChangedByItsWaveOperation)
{
    const auto [index, stereo] = GetParam();
    const InPlaceOp op = InPlaceOps()[index];
    RecordedBoxes boxes;
    const OpsWorld world;
    std::unique_ptr<Sound> sound = Source(stereo);
    const std::unique_ptr<Sound> original = Source(stereo);

    AbortFlag abort = 0;
    ASSERT_TRUE(op.run(*sound, &abort, world));
    EXPECT_EQ(abort, 0);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes[0].text;
    ExpectFormat(*sound, stereo ? 2 : 1, OpsRate, OpsBytes);
    EXPECT_EQ(sound->GetValues(), 12);

    const int channels = stereo ? 2 : 1;
    for (int c = 0; c < channels; ++c) {
        const Wave& from = c == 0 ? *original->GetLeftWave() : *original->GetRightWave();
        WavePtr expected = CreateWaveCopy(nullptr, &from);
        op.expect(*expected, ViewOf(world, stereo, c));
        const Wave& got = c == 0 ? *sound->GetLeftWave() : *sound->GetRightWave();
        EXPECT_EQ(ValuesOf(got), ValuesOf(*expected)) << "channel " << c;
        EXPECT_NE(ValuesOf(got), ValuesOf(from)) << "channel " << c << " did not change";
    }
}

std::vector<size_t> InPlaceIndices()
{
    std::vector<size_t> v(InPlaceOps().size());
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = i;
    return v;
}

INSTANTIATE_TEST_SUITE_P(Catalogue, InPlaceDispatch,
                         ::testing::Combine(::testing::ValuesIn(InPlaceIndices()),
                                            ::testing::Bool()),
                         [](const auto& info) {
                             return Name(InPlaceOps()[std::get<0>(info.param)].name,
                                         std::get<1>(info.param));
                         });

} // namespace
