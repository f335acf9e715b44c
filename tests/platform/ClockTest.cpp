#include "platform/Clock.h"
#include "general/Services.h"
#include "platform/test/FakeClock.h"

#include <gtest/gtest.h>

using namespace kelvorn;
using namespace std::chrono;

namespace {

struct DayCase
{
    int year, month, day, hour, minute, second, millisecond;
    uint32_t ofDay;
};

class UtcDayCases : public ::testing::TestWithParam<DayCase>
{
};

} // namespace

TEST_P(UtcDayCases, SplitsTheTimeOfDay)
{
    const DayCase& c = GetParam();
    FakeClock clock;
    clock.SetUtc(c.year, c.month, c.day, c.hour, c.minute, c.second, c.millisecond);
    system_clock::time_point now = GetService<Clock>().Now();
    EXPECT_EQ(UtcMillisecondOfDay(now), c.ofDay);
    TimeOfDay day = UtcTimeOfDay(now);
    EXPECT_EQ(day.hour, c.hour);
    EXPECT_EQ(day.minute, c.minute);
    EXPECT_EQ(day.second, c.second);
    EXPECT_EQ(day.millisecond, c.millisecond);
}

INSTANTIATE_TEST_SUITE_P(Times, UtcDayCases,
                         ::testing::Values(DayCase{1970, 1, 1, 0, 0, 0, 0, 0},
                                           DayCase{1970, 1, 1, 23, 59, 59, 999, 86399999},
                                           DayCase{2024, 2, 29, 13, 45, 30, 250, 49530250},
                                           DayCase{2038, 1, 19, 3, 14, 8, 1, 11648001},
                                           // Before 1970 the day still begins at midnight.
                                           DayCase{1969, 12, 31, 23, 59, 59, 999, 86399999},
                                           DayCase{1900, 3, 1, 6, 0, 0, 5, 21600005}));

TEST(FakeClock, StandsStillUntilAdvanced)
{
    FakeClock clock;
    clock.SetUtc(2023, 12, 31, 23, 59, 59, 900);
    EXPECT_EQ(clock.Now(), clock.Now());
    clock.Advance(milliseconds(150));
    TimeOfDay day = UtcTimeOfDay(clock.Now());
    EXPECT_EQ(day.hour, 0);
    EXPECT_EQ(day.second, 0);
    EXPECT_EQ(day.millisecond, 50);
    EXPECT_EQ(clock.Now(), system_clock::time_point(sys_days(2024y / 1 / 1)) + milliseconds(50));
}

TEST(FakeClock, InstallsItselfAndPutsThePreviousBack)
{
    FakeClock outer;
    {
        FakeClock inner(system_clock::time_point(hours(5)));
        EXPECT_EQ(&GetService<Clock>(), &inner);
        EXPECT_EQ(UtcTimeOfDay(GetService<Clock>().Now()).hour, 5);
    }
    EXPECT_EQ(&GetService<Clock>(), &outer);
}
