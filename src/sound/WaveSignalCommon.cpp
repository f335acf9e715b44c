#include "sound/WaveSignalCommon.h"

namespace kelvorn::signal {

namespace detail {
std::atomic<bool> countingPolls{false};
}

namespace {
std::atomic<int64_t> polls{0};
}

void CountPolls(bool on)
{
    polls = 0;
    detail::countingPolls = on;
}

int64_t PollsCounted()
{
    return polls;
}

void detail::CountPoll()
{
    ++polls;
}

} // namespace kelvorn::signal
