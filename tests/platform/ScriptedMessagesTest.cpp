#include "general/Assert.h"
#include "platform/test/ScriptedMessages.h"

#include <gtest/gtest.h>

using namespace kelvorn;

TEST(ScriptedMessages, RecordsExpectedAndUnexpectedBoxes)
{
    ScriptedMessages messages;
    messages.Expect(MsgAnswer::No);
    EXPECT_EQ(Messages().Show("Save?", "Kelvorn", MsgIcon::Question, MsgButtons::YesNo),
              MsgAnswer::No);
    EXPECT_TRUE(messages.Unexpected().empty());
    Messages().Show("surprise", "Error", MsgIcon::Information, MsgButtons::Ok);
    ASSERT_EQ(messages.Unexpected().size(), 1u);
    EXPECT_EQ(messages.Unexpected()[0].text, "surprise");
}

TEST(ScriptedMessages, SoftAssertionShowsItsBoxAndGoesOn)
{
    ScriptedMessages messages;
    messages.Expect();
    int x = 1;
    EXPECT_FALSE(KV_SOFT_ASSERT(x == 2));
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].caption, "Assertion failed");
    EXPECT_EQ(messages.Shown()[0].text.rfind("In ScriptedMessagesTest.cpp line ", 0), 0u);
    EXPECT_NE(messages.Shown()[0].text.find(": Condition \"x == 2\"failed!"), std::string::npos);
}
