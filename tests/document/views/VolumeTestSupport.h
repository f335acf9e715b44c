#pragma once
// What the volume grid tests share: signals, sounds, and the resonator bank written the plain
// way (one band after another, the column position recomputed for every sample) as the
// reference the vectorised bank must match cell for cell.

#include "general/random/Random15.h"
#include "sound/Sound.h"
#include "document/views/VoldViewProps.h"
#include "document/views/VolumeArray.h"
#include "document/views/VolumeBands.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace kelvorn::volumetest {

inline std::vector<int16_t> Noise(int64_t count, uint32_t seed)
{
    Random15 random(seed);
    std::vector<int16_t> samples(static_cast<size_t>(count));
    for (int16_t& s : samples)
        s = int16_t((random.Next() << 1) - 32768 + (random.Next() & 1));
    return samples;
}

inline std::vector<int16_t> Sine(int64_t count, double period, double amplitude)
{
    std::vector<int16_t> samples(static_cast<size_t>(count));
    for (int64_t i = 0; i < count; ++i)
        samples[size_t(i)] = int16_t(amplitude * std::sin(6.283185307179586 * double(i) / period));
    return samples;
}

inline WavePtr MakeWave(const std::vector<int16_t>& samples)
{
    AbortFlag flag = 0;
    WavePtr wave = CreateWave(&flag, int64_t(samples.size()));
    for (size_t i = 0; i < samples.size(); ++i)
        (*wave)[int32_t(i)] = samples[i];
    return wave;
}

inline SoundPtr MonoOf(const std::vector<int16_t>& samples, int32_t rate = 44100)
{
    return std::make_shared<MonoSound>(MakeWave(samples), rate, 2);
}

inline SoundPtr StereoOf(const std::vector<int16_t>& left, const std::vector<int16_t>& right,
                         int32_t rate = 44100)
{
    return std::make_shared<StereoSound>(MakeWave(left), MakeWave(right), rate, 2);
}

inline TVoldViewProps Props(int32_t width, int32_t height)
{
    TVoldViewProps props;
    props.XResolution.SetValue(width);
    props.YResolution.SetValue(height);
    return props;
}

/// The cells of one channel, column by column, and the columns written.
struct ReferenceGrid
{
    int32_t width = 0;
    int32_t height = 0;
    std::vector<float> cells;
    int32_t filled = 0;
    float At(int32_t x, int32_t y) const { return cells[size_t(y + height * x)]; }
};

/// The bank run the plain way over samples [0, limit) of a channel of count samples.
inline ReferenceGrid Reference(const std::vector<VolumeBand>& bands, const int16_t* samples,
                               int64_t count, int32_t width, int64_t limit = -1)
{
    ReferenceGrid grid;
    grid.width = width;
    grid.height = int32_t(bands.size());
    grid.cells.assign(size_t(width) * bands.size(), 0.0f);
    const size_t n = bands.size();
    std::vector<float> value(n, 0.0f), speed(n, 0.0f), volume(n, 0.0f);
    int64_t lastColumn = -1;
    if (limit < 0)
        limit = count;
    for (int64_t j = 0; j < limit; ++j) {
        const float s = samples[j];
        for (size_t i = 0; i < n; ++i) {
            if (!bands[i].Stable)
                continue;
            for (int step = 0; step < 4; ++step) {
                value[i] = value[i] + speed[i] * bands[i].Tr;
                speed[i] = speed[i] - value[i];
                value[i] = (1 - bands[i].Free) * s + bands[i].Free * value[i];
            }
            const float a = std::fabs(std::trunc(value[i]));
            if (a > volume[i])
                volume[i] = a;
        }
        // The column position of the sample, from its index.
        const long double position =
            -1.0L + (long double)(j + 1) * (long double)(width + 1) / (long double)count;
        const int64_t column = int64_t(position);
        if (column > lastColumn) {
            const int64_t x = column < width ? column : width - 1;
            for (size_t i = 0; i < n; ++i) {
                const float v = volume[i] * (1.0f / 32768.0f);
                grid.cells[i + n * size_t(x)] = std::isfinite(v) ? v : 0.0f;
                volume[i] = 0.0f;
            }
            grid.filled = int32_t(column + 1);
            lastColumn = column;
        }
    }
    return grid;
}

/// Where grid and expected differ first, as "column x band y: a != b", or "" when every cell of
/// the first `columns` columns is equal (bit for bit: -0 and 0 differ too).
inline std::string FirstDifference(const TVolumeArray& grid, const ReferenceGrid& expected,
                                   int32_t columns)
{
    if (grid.GetWidth() != expected.width || grid.GetHeight() != expected.height)
        return "size differs";
    for (int32_t x = 0; x < columns && x < expected.width; ++x)
        for (int32_t y = 0; y < expected.height; ++y) {
            const float a = grid.GetVolume(x, y);
            const float b = expected.At(x, y);
            if (std::memcmp(&a, &b, sizeof a) != 0)
                return "column " + std::to_string(x) + " band " + std::to_string(y) + ": " +
                       std::to_string(a) + " != " + std::to_string(b);
        }
    return "";
}

} // namespace kelvorn::volumetest
