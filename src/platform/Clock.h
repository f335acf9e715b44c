#pragma once
// The system time, behind an interface so that tests can set it.

#include <chrono>
#include <cstdint>

namespace kelvorn {

class Clock
{
public:
    static constexpr const char* ServiceName = "Clock";
    virtual ~Clock() = default;

    /// The current system time.
    virtual std::chrono::system_clock::time_point Now() const = 0;
};

struct TimeOfDay
{
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

/// The UTC time of day of t, to the millisecond (times before 1970 too).
TimeOfDay UtcTimeOfDay(std::chrono::system_clock::time_point t);

/// ((hour * 60 + minute) * 60 + second) * 1000 + millisecond of the UTC time of day of t:
/// the seed that "Seed Timer" gives.
uint32_t UtcMillisecondOfDay(std::chrono::system_clock::time_point t);

} // namespace kelvorn
