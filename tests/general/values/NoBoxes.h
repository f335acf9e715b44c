#pragma once
// A fixture that records every message box for the length of a test and fails the test on any
// box it did not announce with messages.Expect() or take with Asserted().

#include "platform/test/ScriptedMessages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvorn::testing {

/// "In <file> line <n>: Condition "<condition>"failed!" with any line number.
inline ::testing::AssertionResult IsAssertionBox(const ShownMessage& box, const std::string& file,
                                                 const std::string& condition)
{
    std::string head = "In " + file + " line ";
    std::string tail = ": Condition \"" + condition + "\"failed!";
    if (box.caption == "Assertion failed" && box.text.rfind(head, 0) == 0 &&
        box.text.size() > head.size() + tail.size() &&
        box.text.compare(box.text.size() - tail.size(), tail.size(), tail) == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "box [" << box.caption << "] \"" << box.text << "\" is not the assertion \""
           << condition << "\" of " << file;
}

template <class Base = ::testing::Test> class NoBoxes : public Base
{
protected:
    void TearDown() override
    {
        for (const ShownMessage& box : messages.Unexpected())
            ADD_FAILURE() << "unexpected box [" << box.caption << "] " << box.text;
        EXPECT_EQ(messages.Pending(), 0u) << "an announced box did not appear";
    }

    /// The one box shown since the last Clear(), or an empty record when not exactly one.
    ShownMessage OnlyBox() const
    {
        if (messages.Shown().size() != 1)
            return {};
        return messages.Shown().front();
    }

    /// Whether the boxes since the last Clear() are exactly the assertions of file with these
    /// conditions, in order; forgets them either way.
    ::testing::AssertionResult Asserted(const std::string& file,
                                        const std::vector<std::string>& conditions)
    {
        std::vector<ShownMessage> boxes = messages.Shown();
        messages.Clear();
        if (boxes.size() != conditions.size())
            return ::testing::AssertionFailure()
                   << boxes.size() << " boxes, expected " << conditions.size();
        for (size_t i = 0; i < boxes.size(); ++i)
            if (::testing::AssertionResult same = IsAssertionBox(boxes[i], file, conditions[i]);
                !same)
                return same;
        return ::testing::AssertionSuccess();
    }

    ScriptedMessages messages;
};

} // namespace kelvorn::testing
