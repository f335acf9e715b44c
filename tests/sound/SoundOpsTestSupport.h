#pragma once
// Sounds for the sound-operation tests: a mono and a stereo sound whose channels all differ, an
// envelope and a partner, and checks that a result keeps the format rules.

#include "sound/Sound.h"
#include "sound/WaveTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

namespace kelvorn::test {

// A binary fraction of a second per value, so that times like 3.5 / OpsRate hold exactly the
// value counts the tests mean.
constexpr int32_t OpsRate = 1024;
// 1 byte per sample, so that a result that falls back to a default format is seen.
constexpr int16_t OpsBytes = 1;

inline std::unique_ptr<MonoSound> MonoOf(std::initializer_list<int> values, int32_t rate = OpsRate,
                                         int16_t bytes = OpsBytes)
{
    return std::make_unique<MonoSound>(MakeWave(values), rate, bytes);
}

inline std::unique_ptr<StereoSound> StereoOf(std::initializer_list<int> left,
                                             std::initializer_list<int> right,
                                             int32_t rate = OpsRate, int16_t bytes = OpsBytes)
{
    return std::make_unique<StereoSound>(MakeWave(left), MakeWave(right), rate, bytes);
}

/// The channel values of a sound: one list for mono, two for stereo.
inline std::vector<std::vector<int>> ChannelsOf(const Sound& sound)
{
    std::vector<std::vector<int>> out{ValuesOf(*sound.GetLeftWave())};
    if (sound.GetMonoStereo() == 2)
        out.push_back(ValuesOf(*sound.GetRightWave()));
    return out;
}

/// The rules every new sound keeps: its class, rate and bytes per sample as expected, two
/// distinct and equally long channels when stereo.
inline void ExpectFormat(const Sound& result, int16_t monoStereo, int32_t rate, int16_t bytes)
{
    EXPECT_EQ(result.GetMonoStereo(), monoStereo);
    EXPECT_EQ(result.GetSampleFreq(), rate);
    EXPECT_EQ(result.GetBytesPSample(), bytes);
    EXPECT_FALSE(result.GetRunResult());
    if (monoStereo == 2) {
        EXPECT_NE(dynamic_cast<const StereoSound*>(&result), nullptr);
        EXPECT_NE(result.GetLeftWave(), result.GetRightWave());
        EXPECT_EQ(result.GetLeftWave()->Values(), result.GetRightWave()->Values());
    } else {
        EXPECT_NE(dynamic_cast<const MonoSound*>(&result), nullptr);
    }
}

} // namespace kelvorn::test
