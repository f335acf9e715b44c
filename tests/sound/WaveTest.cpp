#include "sound/Wave.h"

#include <gtest/gtest.h>

using namespace kelvorn;

TEST(WaveCore, CreateWaveRespectsAndSetsTheFailureFlag)
{
    AbortFlag flag = 1;
    EXPECT_EQ(CreateWave(&flag, 10), nullptr);

    flag = 0;
    FailAllocationsAfter(0);
    EXPECT_EQ(CreateWave(&flag, 10), nullptr);
    EXPECT_EQ(flag, 1);
    ResetAllocationFailure();

    flag = 0;
    EXPECT_EQ(CreateWave(&flag, MaxWaveValues + 1), nullptr);
    EXPECT_EQ(flag, 1);
}

TEST(WaveCore, CopyIsIndependent)
{
    AbortFlag flag = 0;
    WavePtr a = CreateWave(&flag, 2500);
    ASSERT_TRUE(a);
    for (int32_t i = 0; i < a->Values(); ++i)
        (*a)[i] = static_cast<int16_t>(i - 1000);
    WavePtr b = CreateWaveCopy(&flag, a.get());
    ASSERT_TRUE(b);
    (*a)[2499] = 0;
    EXPECT_EQ((*b)[2499], 1499);
    EXPECT_EQ(b->Values(), 2500);
}

#include "support/Signals.h"

TEST(WaveCore, CheckMemoryShowsTheMemoryBox)
{
    kelvorn::test::RecordedBoxes boxes;
    int x = 0;
    EXPECT_TRUE(CheckMemory(&x));
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_FALSE(CheckMemory(nullptr));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "There is not enough memmory for this operation.");
    EXPECT_EQ(boxes.boxes[0].caption, "System Error");
    EXPECT_EQ(boxes.boxes[0].icon, MsgIcon::Information);
}

TEST(WaveCore, AbortHookSetsTheFlagOnTheRightPoll)
{
    kelvorn::test::HookReset reset;
    AbortFlag flag = 0;
    AbortAfterPolls(2);
    EXPECT_FALSE(PollAbort(&flag));
    EXPECT_FALSE(PollAbort(&flag));
    EXPECT_TRUE(PollAbort(&flag));
    EXPECT_EQ(flag, 1);
    ResetAbortHook();
    flag = 0;
    EXPECT_FALSE(PollAbort(&flag));
    EXPECT_FALSE(PollAbort(nullptr));
}

TEST(WaveCore, CopyConstructorStopsOnTheFlag)
{
    kelvorn::test::HookReset reset;
    WavePtr a = kelvorn::test::MakeWaveOf(3000, [](int) { return 5; });
    AbortFlag flag = 0;
    AbortAfterPolls(1);
    Wave b(&flag, *a);
    EXPECT_EQ(flag, 1);
    ASSERT_EQ(b.Values(), 3000);
    EXPECT_EQ(b[999], 5);
    EXPECT_EQ(b[1000], 0);
}
