#pragma once
// Signal makers for the engine, document and window tests: waves from lists or functions,
// their values back as vectors, sounds of any format, and the guard that switches the
// allocation and abort hooks off again.

#include "general/Memory.h"
#include "platform/test/RecordingMessages.h"
#include "sound/Filters.h"
#include "sound/SineTable.h"
#include "sound/Sound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

namespace kelvorn::test {

using RecordedBoxes = RecordingMessages;

/// The box every failed allocation shows, as RecordingMessages::texts holds it.
inline const std::string NoMemoryBox =
    "System Error: There is not enough memmory for this operation.";

/// A command stopped by a broken precondition (an assertion box naming the condition) or, when
/// condition is empty, by a count no wave can hold (the one memory box, an information box):
/// the flag set either way.
inline void ExpectStopped(const RecordedBoxes& boxes, AbortFlag abort, const std::string& condition)
{
    EXPECT_EQ(abort, 1) << condition;
    if (!condition.empty()) {
        EXPECT_TRUE(boxes.Saw(condition)) << condition;
        for (const auto& box : boxes.boxes)
            EXPECT_EQ(box.caption, "Assertion failed") << condition;
    } else {
        EXPECT_EQ(boxes.texts, std::vector<std::string>{NoMemoryBox});
        EXPECT_TRUE(boxes.boxes.empty() || boxes.boxes[0].icon == MsgIcon::Information);
    }
}

/// A wave of n values, value i = f(i) (low 16 bits kept).
template <class F> WavePtr MakeWaveOf(int64_t n, F f)
{
    AbortFlag flag = 0;
    WavePtr wave = n > 0 ? CreateWave(&flag, n) : std::make_unique<Wave>();
    for (int32_t i = 0; i < n; ++i)
        (*wave)[i] = static_cast<int16_t>(f(i));
    return wave;
}

inline WavePtr MakeWave(const std::vector<int>& values)
{
    return MakeWaveOf(int64_t(values.size()), [&](int32_t i) { return values[size_t(i)]; });
}

inline WavePtr MakeWave(std::initializer_list<int> values)
{
    return MakeWave(std::vector<int>(values));
}

/// from, from + step, from + 2 step, ...: linear operations on it have known results.
inline WavePtr Ramp(int64_t n, int step, int from = 0)
{
    return MakeWaveOf(n, [=](int32_t i) { return from + i * step; });
}

inline WavePtr Constant(int64_t n, int value)
{
    return MakeWaveOf(n, [=](int32_t) { return value; });
}

/// amplitude * sin(2 pi i / period), truncated.
inline WavePtr Sine(int64_t n, double period, double amplitude = 10000.0)
{
    return MakeWaveOf(n,
                      [=](int32_t i) { return int(amplitude * std::sin(2 * M_PI * i / period)); });
}

/// Values spread over the whole 16-bit range, different for each salt.
inline WavePtr Scrambled(int64_t n, int salt)
{
    return MakeWaveOf(n, [=](int32_t i) { return (i * 7919 + salt * 104729) % 65536 - 32768; });
}

inline std::vector<int> ValuesOf(const Wave& wave)
{
    return std::vector<int>(wave.Data(), wave.Data() + wave.Values());
}

inline std::vector<int> ValuesOf(const WavePtr& wave)
{
    return wave ? ValuesOf(*wave) : std::vector<int>{};
}

// A binary fraction of a second per value, so that times like 3.5 / OpsRate hold exactly the
// value counts a test means; 1 byte per sample, so that a result that falls back to a default
// format is seen.
constexpr int32_t OpsRate = 1024;
constexpr int16_t OpsBytes = 1;

inline std::unique_ptr<MonoSound> MonoOf(const std::vector<int>& values, int32_t rate = OpsRate,
                                         int16_t bytes = OpsBytes)
{
    return std::make_unique<MonoSound>(MakeWave(values), rate, bytes);
}

inline std::unique_ptr<StereoSound> StereoOf(const std::vector<int>& left,
                                             const std::vector<int>& right, int32_t rate = OpsRate,
                                             int16_t bytes = OpsBytes)
{
    return std::make_unique<StereoSound>(MakeWave(left), MakeWave(right), rate, bytes);
}

/// A sound of the given format: mono of left, or stereo of left and right.
inline SoundUPtr SoundOf(int channels, int32_t rate, int16_t bytes, WavePtr left,
                         WavePtr right = nullptr)
{
    if (channels == 1)
        return std::make_unique<MonoSound>(std::move(left), rate, bytes);
    return std::make_unique<StereoSound>(std::move(left), std::move(right), rate, bytes);
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
    EXPECT_EQ((std::vector<int>{result.GetMonoStereo(), result.GetSampleFreq(),
                                result.GetBytesPSample(), result.GetRunResult()}),
              (std::vector<int>{monoStereo, rate, bytes, 0}));
    if (monoStereo == 2) {
        EXPECT_NE(dynamic_cast<const StereoSound*>(&result), nullptr);
        EXPECT_NE(result.GetLeftWave(), result.GetRightWave());
        EXPECT_EQ(result.GetLeftWave()->Values(), result.GetRightWave()->Values());
    } else {
        EXPECT_NE(dynamic_cast<const MonoSound*>(&result), nullptr);
    }
}

/// A test name from a table row's name: what is not a letter or digit becomes '_'.
template <class Info> std::string TableName(const Info& info)
{
    std::string n = info.param.name;
    for (char& ch : n)
        if (!isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return n;
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

/// The resonance kernels this processor runs (the best one chosen again afterwards).
inline std::vector<ResonanceKernel> ResonanceKernels()
{
    std::vector<ResonanceKernel> kernels;
    for (ResonanceKernel k : {ResonanceKernel::Baseline, ResonanceKernel::Avx2})
        if (UseResonanceKernel(k))
            kernels.push_back(k);
    UseBestResonanceKernel();
    return kernels;
}

/// Chooses the best resonance kernel again at the end of a test that switched kernels.
struct ResonanceKernelReset
{
    ~ResonanceKernelReset() { UseBestResonanceKernel(); }
};

/// A test with the program's sine table, and every hook off again at its end.
class WithSineTable : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AbortFlag flag = 0;
        ASSERT_TRUE(CreateSinus(&flag));
    }
    void TearDown() override
    {
        FreeSinus();
        ResetAllocationFailure();
        ResetAbortHook();
    }
};

template <class P>
class WithSineTableP : public WithSineTable, public ::testing::WithParamInterface<P>
{
};

} // namespace kelvorn::test
