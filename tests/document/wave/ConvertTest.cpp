// Conversion of a wave document to new file properties: format, positions, window notices, and
// that a failure at any allocation leaves everything as it was.

#include "support/Documents.h"

#include "platform/test/ScriptedMessages.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kelvorn::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

struct Fixture
{
    explicit Fixture(SoundPtr sound) : unit("A", "/w/a.wav", std::move(sound))
    {
        unit.SetChildWave(&window);
    }
    RecordingWaveWindow window;
    TUnitWave unit;
};

TEST(SetWaveFileProps, StereoToMonoAtHalfTheRateScalesThePart)
{
    SoundPtr original = RampStereo(4000, 44100, 2);
    Fixture s(original);
    s.unit.SetPos1(1000);
    s.unit.SetPos2(3000);
    ASSERT_TRUE(s.unit.SetWaveFileProps(TWaveFileProps(2, 44100, 2), TWaveFileProps(1, 22050, 2)));
    EXPECT_EQ(s.unit.GetMonoStereo(), 1);
    EXPECT_EQ(s.unit.GetSampleFreq(), 22050);
    EXPECT_EQ(s.unit.GetBytesPSample(), 2);
    EXPECT_EQ(s.unit.GetValues(), 2000);
    EXPECT_EQ(s.unit.GetPos1(), 500);
    EXPECT_EQ(s.unit.GetPos2(), 1500);
    EXPECT_THAT(s.window.calls, ElementsAre("SetIconByChannels 1", "RefreshWave"));
    // The sound an undo record or a volume writer may hold is untouched.
    EXPECT_EQ(ChannelsOf(*original), ChannelsOf(*RampStereo(4000, 44100, 2)));
}

TEST(SetWaveFileProps, BytesAloneMakeACopyAndLeaveTheSharedSoundAlone)
{
    SoundPtr original = RampMono(300, 11025, 1, 2);
    Fixture s(original);
    s.unit.SetPos1(10);
    s.unit.SetPos2(20);
    ASSERT_TRUE(s.unit.SetWaveFileProps(TWaveFileProps(1, 11025, 2), TWaveFileProps(1, 11025, 1)));
    EXPECT_NE(s.unit.GetSound(), original);
    EXPECT_EQ(s.unit.GetBytesPSample(), 1);
    EXPECT_EQ(original->GetBytesPSample(), 2);
    EXPECT_EQ(ChannelsOf(*s.unit.GetSound()), ChannelsOf(*original));
    EXPECT_EQ(s.unit.GetPos1(), 10);
    EXPECT_EQ(s.unit.GetPos2(), 20);
    EXPECT_THAT(s.window.calls, ElementsAre("RefreshWave"));
}

TEST(SetWaveFileProps, MonoToStereoWithFewerBytesEvenAfterAFailure)
{
    Fixture s(RampMono(100, 8000, 1, 2));
    *s.unit.GetAbortFlag() = 1;
    ASSERT_TRUE(s.unit.SetWaveFileProps(TWaveFileProps(1, 8000, 2), TWaveFileProps(2, 8000, 1)));
    EXPECT_EQ(s.unit.GetMonoStereo(), 2);
    EXPECT_EQ(s.unit.GetBytesPSample(), 1);
    ASSERT_EQ(s.unit.GetValues(), 100);
    EXPECT_EQ((*s.unit.GetSound()->GetLeftWave())[77], 77);
    EXPECT_EQ((*s.unit.GetSound()->GetRightWave())[77], 77);
    EXPECT_THAT(s.window.calls, ElementsAre("SetIconByChannels 2", "RefreshWave"));
    EXPECT_FALSE(s.unit.IsAborted());
    // Nothing to do keeps the sound.
    const SoundPtr converted = s.unit.GetSound();
    ASSERT_TRUE(s.unit.SetWaveFileProps(TWaveFileProps(2, 8000, 1), TWaveFileProps(2, 8000, 1)));
    EXPECT_EQ(s.unit.GetSound(), converted);
    EXPECT_EQ(s.window.calls.size(), 2u);
}

TEST(SetWaveFileProps, PositionsStayInsideTheNewLengthAndInvalidPropertiesAreRefused)
{
    Fixture s(RampMono(4001, 11025, 2));
    s.unit.SetCursor(4001);
    ASSERT_TRUE(s.unit.SetWaveFileProps(TWaveFileProps(1, 11025, 2), TWaveFileProps(1, 5512, 2)));
    EXPECT_LE(s.unit.GetPos1(), s.unit.GetValues());
    EXPECT_EQ(s.unit.GetPos1(), s.unit.GetPos2());
    EXPECT_EQ(s.unit.GetPos1(), std::min<int32_t>(s.unit.GetValues(), 4001 * 5512 / 11025));

    // Invalid properties are refused.
    ScriptedMessages messages;
    messages.Expect();
    SoundPtr original = RampMono(10);
    Fixture bad(original);
    EXPECT_FALSE(
        bad.unit.SetWaveFileProps(TWaveFileProps(1, 44100, 2), TWaveFileProps(3, 44100, 2)));
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_THAT(messages.Shown()[0].text, HasSubstr("newProps.MonoStereo == 1"));
    EXPECT_EQ(bad.unit.GetSound(), original);
    EXPECT_THAT(bad.window.calls, IsEmpty());
}

struct FailCase
{
    const char* name;
    bool stereo;
    TWaveFileProps from, to;
};

class SetWaveFilePropsFailure : public ::testing::TestWithParam<FailCase>
{
};

// Every allocation in turn fails; each failure must leave sound, positions, format and window
// as they were, and the first run without a failure must convert.
TEST_P(SetWaveFilePropsFailure, LeavesEverythingAsItWas)
{
    const FailCase& c = GetParam();
    int failures = 0;
    for (int64_t allowed = 0; allowed < 20; ++allowed) {
        ScriptedMessages messages;
        for (int i = 0; i < 8; ++i)
            messages.Expect();
        SoundPtr original = c.stereo ? RampStereo(3000, c.from.SampleFreq, c.from.BytesPSample)
                                     : RampMono(3000, c.from.SampleFreq, 1, c.from.BytesPSample);
        Fixture s(original);
        s.unit.SetPos1(2900);
        s.unit.SetPos2(100);
        FailAllocationsAfter(allowed);
        bool converted = s.unit.SetWaveFileProps(c.from, c.to);
        ResetAllocationFailure();
        EXPECT_THAT(messages.Unexpected(), IsEmpty());
        if (converted) {
            EXPECT_GT(failures, 0);
            EXPECT_EQ(s.unit.GetMonoStereo(), c.to.MonoStereo);
            EXPECT_EQ(s.unit.GetSampleFreq(), c.to.SampleFreq);
            EXPECT_EQ(s.unit.GetBytesPSample(), c.to.BytesPSample);
            return;
        }
        ++failures;
        SCOPED_TRACE(allowed);
        EXPECT_EQ(s.unit.GetSound(), original);
        EXPECT_EQ(s.unit.GetMonoStereo(), c.from.MonoStereo);
        EXPECT_EQ(s.unit.GetSampleFreq(), c.from.SampleFreq);
        EXPECT_EQ(s.unit.GetBytesPSample(), c.from.BytesPSample);
        EXPECT_EQ(original->GetBytesPSample(), c.from.BytesPSample);
        EXPECT_EQ(s.unit.GetPos1(), 2900);
        EXPECT_EQ(s.unit.GetPos2(), 100);
        EXPECT_THAT(s.window.calls, IsEmpty());
        ASSERT_GE(messages.Shown().size(), 1u);
        EXPECT_EQ(messages.Shown()[0].text, "There is not enough memmory for this operation.");
        // One failed conversion does not stop the next command.
        s.unit.BeginOperation();
        EXPECT_FALSE(s.unit.IsAborted());
    }
    FAIL() << "never converted";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetWaveFilePropsFailure,
    ::testing::Values(
        FailCase{"StereoToMonoHalfRate", true, TWaveFileProps(2, 44100, 2),
                 TWaveFileProps(1, 22050, 2)},
        FailCase{"MonoToStereoDoubleRate8Bit", false, TWaveFileProps(1, 11025, 2),
                 TWaveFileProps(2, 22050, 1)},
        FailCase{"BytesOnlyStereo", true, TWaveFileProps(2, 44100, 1), TWaveFileProps(2, 44100, 2)},
        FailCase{"StereoToMono", true, TWaveFileProps(2, 8000, 2), TWaveFileProps(1, 8000, 2)}),
    [](const ::testing::TestParamInfo<FailCase>& info) { return info.param.name; });

} // namespace
} // namespace kelvorn::test
