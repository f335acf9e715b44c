#pragma once
// Small helpers for the signal and filter tests: waves from lists, waves as vectors, a message
// sink that records assertion boxes, and guards for the test hooks.

#include "general/Memory.h"
#include "general/Messages.h"
#include "platform/test/RecordingMessages.h"
#include "sound/Wave.h"
#include "sound/WaveSignalCommon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace kelvorn::testing {

using RecordingSink = RecordingMessages;

inline Wave MakeWave(const std::vector<int32_t>& values)
{
    AbortFlag flag = 0;
    Wave w(&flag, static_cast<int64_t>(values.size()));
    for (size_t i = 0; i < values.size(); ++i)
        w[static_cast<int32_t>(i)] = static_cast<int16_t>(values[i]);
    return w;
}

inline Wave MakeWave(std::initializer_list<int32_t> values)
{
    return MakeWave(std::vector<int32_t>(values));
}

/// n values given by f(i).
inline Wave MakeWaveOf(int32_t n, const std::function<int32_t(int32_t)>& f)
{
    AbortFlag flag = 0;
    Wave w(&flag, n);
    for (int32_t i = 0; i < n; ++i)
        w[i] = static_cast<int16_t>(f(i));
    return w;
}

inline Wave Constant(int32_t n, int32_t value)
{
    return MakeWaveOf(n, [value](int32_t) { return value; });
}

inline std::vector<int32_t> Values(const Wave& w)
{
    std::vector<int32_t> v(static_cast<size_t>(w.Values()));
    for (int32_t i = 0; i < w.Values(); ++i)
        v[static_cast<size_t>(i)] = w[i];
    return v;
}

inline std::vector<int32_t> Values(const WavePtr& w)
{
    return w ? Values(*w) : std::vector<int32_t>{};
}


/// Makes the allocations after the first `successes` fail for its lifetime.
struct FailAllocations
{
    explicit FailAllocations(int64_t successes) { FailAllocationsAfter(successes); }
    ~FailAllocations() { ResetAllocationFailure(); }
};

/// For its lifetime the poll after the first `polls` sets the flag, as a user's stop would,
/// and the polls of the signal operations are counted.
struct StopAfterPolls
{
    explicit StopAfterPolls(int64_t polls)
    {
        AbortAfterPolls(polls);
        signal::CountPolls(true);
    }
    ~StopAfterPolls()
    {
        ResetAbortHook();
        signal::CountPolls(false);
    }
};

/// Counts the polls of the signal operations for its lifetime.
struct CountingPolls
{
    CountingPolls() { signal::CountPolls(true); }
    ~CountingPolls() { signal::CountPolls(false); }
    int64_t Count() const { return signal::PollsCounted(); }
};

} // namespace kelvorn::testing
