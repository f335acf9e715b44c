// The wave itself, the hooks that stand in for a full memory and a user's stop, and the sine
// table.

#include "sound/Wave.h"
#include "sound/SineTable.h"
#include "support/Signals.h"

#include <gtest/gtest.h>

using namespace kelvorn;
using namespace kelvorn::test;

TEST(Wave, CreationCopiesAndTheFailureFlag)
{
    HookReset reset;
    RecordedBoxes boxes;
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

    flag = 0;
    const WavePtr a = Ramp(2500, 1, -1000);
    const WavePtr b = CreateWaveCopy(&flag, a.get());
    (*a)[2499] = 0;
    EXPECT_EQ((std::vector<int>{b->Values(), (*b)[2499]}), (std::vector<int>{2500, 1499}));
    // A copy stopped after its first block keeps the rest silent.
    AbortAfterPolls(1);
    Wave c(&flag, *Constant(3000, 5));
    EXPECT_EQ((std::vector<int>{flag, c.Values(), c[999], c[1000]}),
              (std::vector<int>{1, 3000, 5, 0}));

    int x = 0;
    EXPECT_TRUE(CheckMemory(&x));
    EXPECT_FALSE(CheckMemory(nullptr));
    EXPECT_EQ(boxes.texts, std::vector<std::string>{NoMemoryBox});
    EXPECT_EQ(boxes.boxes[0].icon, MsgIcon::Information);
}

TEST(Wave, TheAbortHookSetsTheFlagOnTheRightPoll)
{
    HookReset reset;
    AbortFlag flag = 0;
    AbortAfterPolls(2);
    EXPECT_EQ((std::vector<bool>{PollAbort(&flag), PollAbort(&flag), PollAbort(&flag)}),
              (std::vector<bool>{false, false, true}));
    EXPECT_EQ(flag, 1);
    ResetAbortHook();
    flag = 0;
    EXPECT_FALSE(PollAbort(&flag));
    EXPECT_FALSE(PollAbort(nullptr));
}

TEST(SineTable, HoldsOnePeriodInNineThousandValues)
{
    HookReset reset;
    RecordedBoxes boxes;
    AbortFlag flag = 0;
    ASSERT_TRUE(CreateSinus(&flag));
    const Wave& t = *Sinus();
    // With pi taken as 3.1415293 the half period stops short of the zero crossing.
    EXPECT_EQ((std::vector<int>{t.Values(), t[0], t[1], t[2250], t[4500], t[6750], t[8999]}),
              (std::vector<int>{9000, 0, 22, 32766, 2, -32766, -27}));
    ASSERT_TRUE(CreateSinus(&flag)); // a second creation replaces the table
    FreeSinus();
    EXPECT_EQ(Sinus(), nullptr);
    FreeSinus();
    // A failed creation says so and leaves no table; so does a flag set already.
    FailAllocationsAfter(0);
    EXPECT_FALSE(CreateSinus(&flag));
    ResetAllocationFailure();
    flag = 1;
    EXPECT_FALSE(CreateSinus(&flag));
    EXPECT_EQ(Sinus(), nullptr);
    EXPECT_EQ(boxes.texts, std::vector<std::string>(2, "System Error: Could not create sinus."));
    EXPECT_EQ(boxes.boxes[0].icon, MsgIcon::Stop);
}
