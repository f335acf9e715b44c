#include "general/GuiMessages.h"
#include "general/Assert.h"
#include "platform/test/ScriptedMessages.h"

#include <gtest/gtest.h>

#include <functional>

using namespace kelvorn;

namespace {

struct BoxCase
{
    const char* name;
    std::function<void()> show;
    const char* text;
    const char* caption;
    MsgIcon icon;
};

void PrintTo(const BoxCase& c, std::ostream* os)
{
    *os << c.name;
}

class GuiMessagesBoxes : public ::testing::TestWithParam<BoxCase>
{
};

} // namespace

TEST_P(GuiMessagesBoxes, ShowsExactlyOneOkBox)
{
    const BoxCase& c = GetParam();
    ScriptedMessages messages;
    messages.Expect();
    c.show();
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_TRUE(messages.Unexpected().empty());
    const ShownMessage& box = messages.Shown()[0];
    EXPECT_EQ(box.text, c.text);
    EXPECT_EQ(box.caption, c.caption);
    EXPECT_EQ(box.icon, c.icon);
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
}

INSTANTIATE_TEST_SUITE_P(
    AllBoxes, GuiMessagesBoxes,
    ::testing::Values(
        BoxCase{"Memory", [] { TGuiMessages::ShowMemoryError(); },
                "There is not enough memmory for this operation.", "System Error",
                MsgIcon::Information},
        BoxCase{"Sinus", [] { TGuiMessages::ShowSinusError(); }, "Could not create sinus.",
                "System Error", MsgIcon::Stop},
        BoxCase{"CreateDir", [] { TGuiMessages::ShowCreateDirError("/tmp/kelvorn-XXXXXX"); },
                "Could not create directory \"/tmp/kelvorn-XXXXXX\". Play and Record disabled",
                "Error", MsgIcon::Warning},
        BoxCase{"WindowExists", [] { TGuiMessages::ShowWindowExistsError("Wave 1"); },
                "A window with name \"Wave 1\" already exists.", "Error", MsgIcon::Information},
        BoxCase{"WindowExistsEmptyName", [] { TGuiMessages::ShowWindowExistsError(""); },
                "A window with name \"\" already exists.", "Error", MsgIcon::Information},
        BoxCase{"ProjectWindowExists",
                [] { TGuiMessages::ShowProjectWindowExistsError("/home/a/b.wav", "b"); },
                "When opening file \"/home/a/b.wav\" from project, a window with name \"b\" "
                "already exists",
                "Error", MsgIcon::Information},
        BoxCase{"File", [] { TGuiMessages::ShowFileError("Cannot read \"x.wav\"."); },
                "Cannot read \"x.wav\".", "File Error", MsgIcon::Stop},
        BoxCase{"FieldInput",
                [] { TGuiMessages::ShowFieldInputError("Frequency", "Invalid value"); },
                "In Frequency: Invalid value", "Input Error", MsgIcon::Information},
        BoxCase{"Input", [] { TGuiMessages::ShowInputError("Invalid value"); }, "Invalid value",
                "Input Error", MsgIcon::Information},
        BoxCase{"FieldEmpty", [] { TGuiMessages::ShowFieldEmptyError("Name"); },
                "In Name: Field should not be empty.", "Input Error", MsgIcon::Information},
        BoxCase{"AssertFailed", [] { TGuiMessages::ShowAssertFailed("Count > 0", "Unit.cpp", 42); },
                "In Unit.cpp line 42: Condition \"Count > 0\"failed!", "Assertion failed",
                MsgIcon::Information},
        BoxCase{"Latin1TextPassesUnchanged",
                [] {
                    TGuiMessages::ShowInputError("Gr\xF6\xDF"
                                                 "e");
                },
                "Gr\xF6\xDF"
                "e",
                "Input Error", MsgIcon::Information}),
    [](const ::testing::TestParamInfo<BoxCase>& info) { return std::string(info.param.name); });

TEST(GuiMessages, SoftAssertionTakesTheSameBox)
{
    ScriptedMessages messages;
    messages.Expect();
    int count = 0;
    KV_SOFT_ASSERT(count > 0);
    ASSERT_EQ(messages.Shown().size(), 1u);
    const ShownMessage& box = messages.Shown()[0];
    EXPECT_EQ(box.caption, "Assertion failed");
    EXPECT_EQ(box.text, "In GuiMessagesTest.cpp line " + std::to_string(__LINE__ - 4) +
                            ": Condition \"count > 0\"failed!");
}
