#include "general/Services.h"
#include "general/Assert.h"
#include "general/GuiMessages.h"
#include "general/HeldMessages.h"
#include "general/Messages.h"
#include "general/values/NoBoxes.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

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

// A save that fails holds its boxes back until it has removed what it made. What only informs
// comes afterwards exactly as it would have come, in its order; a question is asked at once,
// since the work waits for its answer.
TEST_F(GuiMessages, HeldBoxesComeLaterAsTheyWereAndQuestionsAtOnce)
{
    const auto shown = [&] {
        std::vector<std::string> texts;
        for (const ShownMessage& box : messages.Shown())
            texts.push_back(box.caption + ": " + box.text);
        return texts;
    };
    using Texts = std::vector<std::string>;
    HeldMessages held;
    {
        ScopedService<MessageSink> holding(&held);
        EXPECT_EQ(Messages().Show("Disk full.", "FileError", MsgIcon::Information, MsgButtons::Ok),
                  MsgAnswer::Ok);
        TGuiMessages::ShowFileError("Cannot delete \"a\".");
        EXPECT_EQ(shown(), Texts{});
        messages.Expect(MsgAnswer::No);
        EXPECT_EQ(
            Messages().Show("Save it?", "Question", MsgIcon::Question, MsgButtons::YesNoCancel),
            MsgAnswer::No);
        messages.Expect(MsgAnswer::Cancel);
        EXPECT_EQ(Messages().Show("Go on?", "Warning", MsgIcon::Warning, MsgButtons::OkCancel),
                  MsgAnswer::Cancel);
        EXPECT_EQ(shown(), (Texts{"Question: Save it?", "Warning: Go on?"}));
    }
    messages.Expect();
    messages.Expect();
    held.ShowHeld();
    EXPECT_EQ(shown(), (Texts{"Question: Save it?", "Warning: Go on?", "FileError: Disk full.",
                              "File Error: Cannot delete \"a\"."}));
    const ShownMessage& file = messages.Shown()[3];
    EXPECT_EQ(file.icon, MsgIcon::Stop);
    EXPECT_EQ(file.buttons, MsgButtons::Ok);
    EXPECT_EQ(messages.Shown()[2].icon, MsgIcon::Information);

    // Released, it holds nothing more: a box that still finds it passes on at once, and nothing
    // is shown twice.
    messages.Expect();
    held.Show("Late.", "Error", MsgIcon::Warning, MsgButtons::Ok);
    EXPECT_EQ(shown().back(), "Error: Late.");
    held.ShowHeld();
    EXPECT_EQ(shown().size(), 5u);
}

// A box that is never shown is work lost without a word: the sink shows what it holds when it
// goes, should nobody have asked.
TEST_F(GuiMessages, HeldBoxesAreShownWhenTheSinkGoes)
{
    {
        HeldMessages held;
        ScopedService<MessageSink> holding(&held);
        TGuiMessages::ShowMemoryError();
        EXPECT_TRUE(messages.Shown().empty());
        messages.Expect();
    }
    EXPECT_EQ(OnlyBox().text, "There is not enough memmory for this operation.");
}

} // namespace

// A soft assertion on a worker thread reaches the sink installed at the time, which may be one
// that holds: every box is kept, and shown once.
TEST(HeldMessagesThreads, BoxesOfEveryThreadAreHeldOnceEach)
{
    ScriptedMessages below;
    constexpr int threads = 4;
    constexpr int perThread = 200;
    HeldMessages held;
    {
        ScopedService<MessageSink> holding(&held);
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t)
            workers.emplace_back([t] {
                for (int i = 0; i < perThread; ++i)
                    Messages().Show(std::to_string(t * perThread + i), "Assertion failed",
                                    MsgIcon::Information, MsgButtons::Ok);
            });
        for (std::thread& worker : workers)
            worker.join();
    }
    EXPECT_TRUE(below.Shown().empty());
    for (int i = 0; i < threads * perThread; ++i)
        below.Expect();
    held.ShowHeld();
    // Each thread's boxes, every one, in the order that thread showed them.
    std::vector<int> next(threads, 0);
    for (const ShownMessage& box : below.Shown()) {
        const int n = std::stoi(box.text);
        EXPECT_EQ(n % perThread, next.at(n / perThread)++) << n;
    }
    EXPECT_EQ(next, std::vector<int>(threads, perThread));
    EXPECT_TRUE(below.Unexpected().empty());
}
