#pragma once
// The system clock.

#include "platform/Clock.h"

namespace kelvorn {

class QtClock final : public Clock
{
public:
    std::chrono::system_clock::time_point Now() const override;
};

} // namespace kelvorn
