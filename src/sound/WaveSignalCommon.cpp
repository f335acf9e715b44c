#include "sound/WaveSignalCommon.h"

namespace kelvorn::signal {

namespace detail {
std::atomic<bool> abortHookArmed{false};
}

namespace {
std::atomic<int64_t> abortPoll{-1};
std::atomic<int64_t> pollsCounted{0};
} // namespace

void AbortAtPoll(int64_t poll)
{
    pollsCounted = 0;
    abortPoll = poll;
    detail::abortHookArmed = poll >= 0;
}

int64_t AbortPollsCounted()
{
    return pollsCounted;
}

bool detail::AbortedHooked(AbortFlag* abort)
{
    const int64_t count = ++pollsCounted;
    if (abort && count >= abortPoll)
        *abort = 1;
    return abort && *abort;
}

} // namespace kelvorn::signal
