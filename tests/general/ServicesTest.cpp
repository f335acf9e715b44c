#include "general/Services.h"
#include "general/Assert.h"
#include "general/GuiMessages.h"
#include "general/Messages.h"
#include "general/values/NoBoxes.h"

#include <gtest/gtest.h>

#include <functional>

using namespace kelvorn;

namespace {

struct Greeter
{
    static constexpr const char* ServiceName = "Greeter";
    virtual ~Greeter() = default;
    virtual std::string Greet() const = 0;
};

struct Counter
{
    virtual ~Counter() = default;
};

struct FixedGreeter final : Greeter
{
    explicit FixedGreeter(std::string greeting) : greeting(std::move(greeting)) {}
    std::string Greet() const override { return greeting; }
    std::string greeting;
};

TEST(Services, InstallFindAndPutBackEachInterfaceInItsOwnSlot)
{
    ScopedService<Greeter> none(nullptr);
    ScopedService<Counter> noCounter(nullptr);
    EXPECT_EQ(FindService<Greeter>(), nullptr);
    FixedGreeter outer("outer");
    ScopedService<Greeter> installOuter(&outer);
    EXPECT_EQ(FindService<Greeter>(), &outer);
    EXPECT_EQ(FindService<Counter>(), nullptr);
    {
        FixedGreeter inner("inner");
        ScopedService<Greeter> installInner(&inner);
        EXPECT_EQ(GetService<Greeter>().Greet(), "inner");
    }
    EXPECT_EQ(&GetService<Greeter>(), &outer);
    EXPECT_EQ(InstallService<Greeter>(nullptr), &outer);
    EXPECT_EQ(FindService<Greeter>(), nullptr);
    InstallService<Greeter>(&outer);
}

TEST(ServicesDeathTest, AMissingServiceStopsWithItsName)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            ScopedService<Greeter> none(nullptr);
            GetService<Greeter>().Greet();
        },
        "no Greeter service is installed");
}

// Without an installed sink a box still reaches someone: standard error, answered with its
// first button so that a question asked there goes ahead as the user's default would.
TEST(Services, MessagesWithoutASinkGoToStandardErrorAndAnswerTheFirstButton)
{
    ScopedService<MessageSink> none(nullptr);
    for (auto [buttons, answer] :
         {std::pair(MsgButtons::Ok, MsgAnswer::Ok), std::pair(MsgButtons::OkCancel, MsgAnswer::Ok),
          std::pair(MsgButtons::YesNo, MsgAnswer::Yes),
          std::pair(MsgButtons::YesNoCancel, MsgAnswer::Yes)}) {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(Messages().Show("Disk full.", "File Error", MsgIcon::Stop, buttons), answer);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "[File Error] Disk full.\n");
    }
}

using GuiMessages = kelvorn::testing::NoBoxes<>;

TEST_F(GuiMessages, EachShowsExactlyItsOkBox)
{
    using G = TGuiMessages;
    const std::tuple<std::function<void()>, std::string, std::string, MsgIcon> cases[] = {
        {G::ShowMemoryError, "There is not enough memmory for this operation.", "System Error",
         MsgIcon::Information},
        {G::ShowSinusError, "Could not create sinus.", "System Error", MsgIcon::Stop},
        {[] { G::ShowCreateDirError("/tmp/kelvorn-X"); },
         "Could not create directory \"/tmp/kelvorn-X\". Play and Record disabled", "Error",
         MsgIcon::Warning},
        {[] { G::ShowWindowExistsError(""); }, "A window with name \"\" already exists.", "Error",
         MsgIcon::Information},
        {[] { G::ShowProjectWindowExistsError("/home/a/b.wav", "b"); },
         "When opening file \"/home/a/b.wav\" from project, a window with name \"b\" already "
         "exists",
         "Error", MsgIcon::Information},
        {[] { G::ShowFileError("Cannot read \"x.wav\"."); }, "Cannot read \"x.wav\".", "File Error",
         MsgIcon::Stop},
        {[] { G::ShowFieldInputError("Frequency", "Invalid value"); },
         "In Frequency: Invalid value", "Input Error", MsgIcon::Information},
        {[] { G::ShowInputError("Gr\xF6\xDF"); }, "Gr\xF6\xDF", "Input Error",
         MsgIcon::Information},
        {[] { G::ShowFieldEmptyError("Name"); }, "In Name: Field should not be empty.",
         "Input Error", MsgIcon::Information},
        {[] { G::ShowAssertFailed("Count > 0", "Unit.cpp", 42); },
         "In Unit.cpp line 42: Condition \"Count > 0\"failed!", "Assertion failed",
         MsgIcon::Information},
    };
    for (const auto& [show, text, caption, icon] : cases) {
        messages.Clear();
        messages.Expect();
        show();
        ShownMessage box = OnlyBox();
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, caption) << text;
        EXPECT_EQ(box.icon, icon) << text;
        EXPECT_EQ(box.buttons, MsgButtons::Ok) << text;
    }
    messages.Clear();
    messages.Expect();
    int count = 0;
    KV_SOFT_ASSERT(count > 0);
    EXPECT_EQ(OnlyBox().text, "In ServicesTest.cpp line " + std::to_string(__LINE__ - 1) +
                                  ": Condition \"count > 0\"failed!");
}

} // namespace
