#pragma once
// Helpers for the wave engine tests: short waves from literals, their values back as vectors,
// and the sink that records the boxes an operation shows.

#include "general/Messages.h"
#include "platform/test/RecordingMessages.h"
#include "sound/Wave.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace kelvorn::test {

using RecordedBoxes = RecordingMessages;


inline WavePtr MakeWave(std::initializer_list<int> values)
{
    AbortFlag flag = 0;
    WavePtr wave = CreateWave(&flag, static_cast<int64_t>(values.size()));
    int32_t i = 0;
    for (int v : values)
        (*wave)[i++] = static_cast<int16_t>(v);
    return wave;
}

inline WavePtr MakeWave(const std::vector<int>& values)
{
    AbortFlag flag = 0;
    WavePtr wave = CreateWave(&flag, static_cast<int64_t>(values.size()));
    for (size_t i = 0; i < values.size(); ++i)
        (*wave)[static_cast<int32_t>(i)] = static_cast<int16_t>(values[i]);
    return wave;
}

/// A wave of n values, value i = f(i).
template <class F> WavePtr MakeWaveOf(int64_t n, F f)
{
    AbortFlag flag = 0;
    WavePtr wave = CreateWave(&flag, n);
    for (int32_t i = 0; i < n; ++i)
        (*wave)[i] = static_cast<int16_t>(f(i));
    return wave;
}

inline std::vector<int> ValuesOf(const Wave& wave)
{
    std::vector<int> out;
    out.reserve(static_cast<size_t>(wave.Values()));
    for (int32_t i = 0; i < wave.Values(); ++i)
        out.push_back(wave[i]);
    return out;
}

inline std::vector<int> ValuesOf(const WavePtr& wave)
{
    return wave ? ValuesOf(*wave) : std::vector<int>{};
}

/// Switches the allocation and abort hooks off again at the end of a test.
struct HookReset
{
    ~HookReset()
    {
        ResetAllocationFailure();
        ResetAbortHook();
    }
};

} // namespace kelvorn::test
