#include "sound/SineTable.h"

#include "support/Signals.h"

#include <gtest/gtest.h>

using namespace kelvorn;
using namespace kelvorn::test;

TEST(SineTable, HoldsOnePeriodInNineThousandValues)
{
    AbortFlag flag = 0;
    ASSERT_TRUE(CreateSinus(&flag));
    const Wave* t = Sinus();
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->Values(), 9000);
    EXPECT_EQ((*t)[0], 0);
    EXPECT_EQ((*t)[1], 22);
    EXPECT_EQ((*t)[2250], 32766);
    // With pi taken as 3.1415293 the half period stops short of the zero crossing.
    EXPECT_EQ((*t)[4500], 2);
    EXPECT_EQ((*t)[6750], -32766);
    EXPECT_EQ((*t)[8999], -27);
    // A second creation replaces the table.
    ASSERT_TRUE(CreateSinus(&flag));
    EXPECT_NE(Sinus(), nullptr);
    FreeSinus();
    EXPECT_EQ(Sinus(), nullptr);
    FreeSinus();
}

TEST(SineTable, AFailedCreationSaysSoAndLeavesNoTable)
{
    HookReset reset;
    RecordedBoxes boxes;
    AbortFlag flag = 0;
    FailAllocationsAfter(0);
    EXPECT_FALSE(CreateSinus(&flag));
    EXPECT_EQ(Sinus(), nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Could not create sinus.");
    EXPECT_EQ(boxes.boxes[0].caption, "System Error");
    EXPECT_EQ(boxes.boxes[0].icon, MsgIcon::Stop);

    // A flag set already: nothing is allocated and the box still tells the user.
    ResetAllocationFailure();
    boxes.boxes.clear();
    flag = 1;
    EXPECT_FALSE(CreateSinus(&flag));
    EXPECT_EQ(boxes.boxes.size(), 1u);
}
