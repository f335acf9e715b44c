#pragma once
// A clock that stands still until the test sets or advances it. Installs itself for its
// lifetime and puts the previous clock back afterwards.

#include "general/Services.h"
#include "platform/Clock.h"

namespace kelvorn {

class FakeClock final : public Clock
{
public:
    using TimePoint = std::chrono::system_clock::time_point;

    /// Starts at now (the epoch by default).
    explicit FakeClock(TimePoint start = TimePoint{}) : now(start), install(this) {}

    TimePoint Now() const override { return now; }

    void Set(TimePoint time) { now = time; }
    /// Sets the time to the given UTC date and time (proleptic Gregorian calendar).
    void SetUtc(int year, int month, int day, int hour, int minute, int second,
                int millisecond = 0);
    void Advance(std::chrono::milliseconds step) { now += step; }

private:
    TimePoint now;
    ScopedService<Clock> install;
};

} // namespace kelvorn
