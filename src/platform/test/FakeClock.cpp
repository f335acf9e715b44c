#include "platform/test/FakeClock.h"

namespace kelvorn {

void FakeClock::SetUtc(int year, int month, int day, int hour, int minute, int second,
                       int millisecond)
{
    using namespace std::chrono;
    sys_days date =
        year_month_day{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                       std::chrono::day{static_cast<unsigned>(day)}};
    now = TimePoint(date) + hours(hour) + minutes(minute) + seconds(second) +
          milliseconds(millisecond);
}

} // namespace kelvorn
