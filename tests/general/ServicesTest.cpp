#include "general/Services.h"

#include "general/Messages.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

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

TEST(Services, InstallFindAndPutBack)
{
    ScopedService<Greeter> none(nullptr);
    EXPECT_EQ(FindService<Greeter>(), nullptr);
    FixedGreeter outer("outer");
    ScopedService<Greeter> installOuter(&outer);
    EXPECT_EQ(FindService<Greeter>(), &outer);
    {
        FixedGreeter inner("inner");
        ScopedService<Greeter> installInner(&inner);
        EXPECT_EQ(GetService<Greeter>().Greet(), "inner");
    }
    EXPECT_EQ(&GetService<Greeter>(), &outer);
    Greeter* previous = InstallService<Greeter>(nullptr);
    EXPECT_EQ(previous, &outer);
    EXPECT_EQ(FindService<Greeter>(), nullptr);
    InstallService<Greeter>(previous);
}

TEST(Services, EachInterfaceHasItsOwnSlot)
{
    FixedGreeter greeter("hello");
    ScopedService<Greeter> install(&greeter);
    ScopedService<Counter> noCounter(nullptr);
    EXPECT_EQ(FindService<Greeter>(), &greeter);
    EXPECT_EQ(FindService<Counter>(), nullptr);
}

TEST(ServicesDeathTest, MissingServiceStopsWithItsName)
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
    const struct
    {
        MsgButtons buttons;
        MsgAnswer answer;
    } rows[] = {
        {MsgButtons::Ok, MsgAnswer::Ok},
        {MsgButtons::OkCancel, MsgAnswer::Ok},
        {MsgButtons::YesNo, MsgAnswer::Yes},
        {MsgButtons::YesNoCancel, MsgAnswer::Yes},
    };
    ScopedService<MessageSink> none(nullptr);
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.buttons));
        testing::internal::CaptureStderr();
        const MsgAnswer answer =
            Messages().Show("Disk full.", "File Error", MsgIcon::Stop, row.buttons);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "[File Error] Disk full.\n");
        EXPECT_EQ(answer, row.answer);
    }
}

} // namespace
