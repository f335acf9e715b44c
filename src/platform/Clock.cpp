#include "platform/Clock.h"

namespace kelvorn {

namespace {
constexpr int64_t MillisecondsPerDay = 24 * 60 * 60 * 1000;
} // namespace

uint32_t UtcMillisecondOfDay(std::chrono::system_clock::time_point t)
{
    using namespace std::chrono;
    int64_t ms = duration_cast<milliseconds>(t.time_since_epoch()).count();
    // Floor, not truncation: a time before 1970 still lies in [0, one day).
    int64_t ofDay = ms % MillisecondsPerDay;
    if (ofDay < 0)
        ofDay += MillisecondsPerDay;
    return static_cast<uint32_t>(ofDay);
}

TimeOfDay UtcTimeOfDay(std::chrono::system_clock::time_point t)
{
    int ms = static_cast<int>(UtcMillisecondOfDay(t));
    TimeOfDay day;
    day.millisecond = ms % 1000;
    day.second = ms / 1000 % 60;
    day.minute = ms / 60000 % 60;
    day.hour = ms / 3600000;
    return day;
}

} // namespace kelvorn
