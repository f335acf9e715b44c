#include "platform/Clock.h"
#include "platform/TempDir.h"
#include "platform/test/FakeClock.h"
#include "platform/test/ScriptedMessages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

using namespace kelvorn;
using namespace std::chrono;
namespace fs = std::filesystem;

namespace {

TEST(Clock, SplitsTheUtcTimeOfDay)
{
    const struct
    {
        int year, month, day, hour, minute, second, millisecond;
        uint32_t ofDay;
    } rows[] = {{1970, 1, 1, 0, 0, 0, 0, 0},
                {1970, 1, 1, 23, 59, 59, 999, 86399999},
                {2024, 2, 29, 13, 45, 30, 250, 49530250},
                {2038, 1, 19, 3, 14, 8, 1, 11648001},
                // Before 1970 the day still begins at midnight.
                {1969, 12, 31, 23, 59, 59, 999, 86399999},
                {1900, 3, 1, 6, 0, 0, 5, 21600005}};
    FakeClock clock;
    for (const auto& r : rows) {
        clock.SetUtc(r.year, r.month, r.day, r.hour, r.minute, r.second, r.millisecond);
        const system_clock::time_point now = GetService<Clock>().Now();
        const TimeOfDay d = UtcTimeOfDay(now);
        EXPECT_EQ(UtcMillisecondOfDay(now), r.ofDay) << r.year;
        EXPECT_EQ(std::tie(d.hour, d.minute, d.second, d.millisecond),
                  std::tie(r.hour, r.minute, r.second, r.millisecond));
    }
    // The fake stands still until advanced, across midnight into a new year.
    clock.SetUtc(2023, 12, 31, 23, 59, 59, 900);
    clock.Advance(milliseconds(150));
    EXPECT_EQ(clock.Now(), system_clock::time_point(sys_days(2024y / 1 / 1)) + milliseconds(50));
}

TEST(ScriptedMessages, AnswersInOrderListsTheUnannouncedAndPutsThePreviousSinkBack)
{
    ScriptedMessages outer;
    {
        ScriptedMessages messages;
        EXPECT_EQ(&Messages(), &messages);
        messages.Expect(MsgAnswer::Yes);
        messages.Expect(MsgAnswer::No);
        EXPECT_EQ(Messages().Show("Save?", "Kelvorn", MsgIcon::Question, MsgButtons::YesNoCancel),
                  MsgAnswer::Yes);
        EXPECT_EQ(messages.Pending(), 1u);
        EXPECT_EQ(Messages().Show("Sure?", "Kelvorn", MsgIcon::Warning, MsgButtons::YesNo),
                  MsgAnswer::No);
        EXPECT_TRUE(messages.Unexpected().empty());
        // A box nobody announced is cancelled.
        EXPECT_EQ(Messages().Show("surprise", "Error", MsgIcon::Stop, MsgButtons::OkCancel),
                  MsgAnswer::Cancel);
        ASSERT_EQ(messages.Unexpected().size(), 1u);
        EXPECT_EQ(messages.Unexpected()[0].caption, "Error");
        ASSERT_EQ(messages.Shown().size(), 3u);
        const ShownMessage& second = messages.Shown()[1];
        EXPECT_TRUE(second.text == "Sure?" && second.icon == MsgIcon::Warning &&
                    second.buttons == MsgButtons::YesNo);

        messages.Expect(MsgAnswer::Yes);
        messages.Clear();
        EXPECT_TRUE(messages.Shown().empty());
        EXPECT_TRUE(messages.Unexpected().empty());
        EXPECT_EQ(messages.Pending(), 0u);
    }
    EXPECT_EQ(&Messages(), &outer);
    Messages().Show("late", "Error", MsgIcon::Stop, MsgButtons::Ok);
    EXPECT_EQ(outer.Unexpected().size(), 1u);
}

TEST(PrivateDirectory, IsPrivateOnceAndGoesWithItsFiles)
{
    std::string path;
    {
        PrivateDirectory dir((fs::temp_directory_path() / "kv-private-XXXXXX").string());
        PrivateDirectory other(dir.Path());
        EXPECT_FALSE(dir.Exists());
        ASSERT_TRUE(dir.Create() && other.Create());
        path = dir.Path();
        EXPECT_NE(path, other.Path());
        EXPECT_EQ(fs::path(path).parent_path(), fs::temp_directory_path());
        EXPECT_EQ(fs::path(path).filename().string().substr(0, 11), "kv-private-");
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_all);
        fs::create_directory(path + "/sub");
        std::ofstream(path + "/sub/record.wav") << "RIFF";
        ASSERT_TRUE(dir.Create());
        EXPECT_EQ(dir.Path(), path);
    }
    EXPECT_FALSE(fs::exists(path));
    PrivateDirectory missing("/no/such/place/kv-XXXXXX");
    EXPECT_FALSE(missing.Create());
    EXPECT_FALSE(missing.Exists());
    EXPECT_EQ(missing.Path(), "/no/such/place/kv-XXXXXX");
}

} // namespace
