#include "sound/Wave.h"

#include "general/Messages.h"

#include <algorithm>
#include <cstring>

namespace kelvorn {

namespace detail {

std::atomic<int64_t> abortPollsLeft{-1};
std::atomic<AbortFlag> abortPollsMark{1};

bool CountAbortPoll(AbortFlag* abort)
{
    int64_t left = abortPollsLeft.load();
    while (left >= 0) {
        if (left == 0) {
            if (abort)
                *abort = abortPollsMark.load();
            return abort != nullptr;
        }
        if (abortPollsLeft.compare_exchange_weak(left, left - 1))
            return false;
    }
    return false;
}

} // namespace detail

void AbortAfterPolls(int64_t polls, AbortFlag mark)
{
    detail::abortPollsMark.store(mark);
    detail::abortPollsLeft.store(polls < 0 ? -1 : polls);
}

void ResetAbortHook()
{
    detail::abortPollsLeft.store(-1);
}

bool CheckMemory(const void* memory)
{
    if (memory)
        return true;
    // "memmory" is the box's text as users know it.
    Messages().Show("There is not enough memmory for this operation.", "System Error",
                    MsgIcon::Information, MsgButtons::Ok);
    return false;
}

Wave::Wave(AbortFlag* failed, int64_t count)
{
    if (count <= 0)
        return;
    data = AllocSamples(count);
    if (!data) {
        if (failed)
            *failed = 1;
        return;
    }
    values = static_cast<int32_t>(count);
}

Wave::Wave(AbortFlag* abort, const Wave& other)
{
    if (other.values < 1)
        return;
    data = AllocSamples(other.values);
    if (!data) {
        if (abort)
            *abort = 1;
        return;
    }
    values = other.values;
    for (int32_t at = 0; at < values; at += WaveBlock) {
        int32_t n = std::min(WaveBlock, values - at);
        if (PollAbort(abort)) {
            std::memset(data + at, 0, sizeof(int16_t) * static_cast<size_t>(values - at));
            return;
        }
        std::memcpy(data + at, other.data + at, sizeof(int16_t) * static_cast<size_t>(n));
    }
}

Wave& Wave::operator=(Wave&& other) noexcept
{
    if (this != &other) {
        FreeSamples(data);
        data = other.data;
        values = other.values;
        other.data = nullptr;
        other.values = 0;
    }
    return *this;
}

WavePtr CreateWave(AbortFlag* flag, int64_t count)
{
    if (flag && *flag)
        return nullptr;
    AbortFlag failed = 0;
    auto wave = std::make_unique<Wave>(&failed, count);
    if (failed) {
        if (flag)
            *flag = 1;
        return nullptr;
    }
    return wave;
}

WavePtr CreateWaveCopy(AbortFlag* flag, const Wave* source)
{
    if (!source || (flag && *flag))
        return nullptr;
    AbortFlag failed = 0;
    auto wave = std::make_unique<Wave>(&failed, *source);
    if (failed) {
        // The copy polls its own flag: what ended it (the memory, or a stop) goes on as it was.
        if (flag)
            *flag = failed;
        return nullptr;
    }
    return wave;
}

} // namespace kelvorn
