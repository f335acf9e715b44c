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
