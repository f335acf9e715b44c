#pragma once
// Helpers for the curve drawing tests: sounds from value functions, and the rows of one pixel
// column read back from a QtCanvas, so a test states the exact pixels a column must show.

#include "document/views/WaveViewProps.h"
#include "shell/base/QtCanvas.h"
#include "sound/Sound.h"
#include "sound/Wave.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace kelvorn::test {

constexpr uint32_t White = 0xFFFFFF;
constexpr uint32_t Black = 0x000000;
constexpr uint32_t Red = 0x0000FF;
constexpr uint32_t Green = 0x00FF00;
constexpr uint32_t Blue = 0xFF0000;
constexpr uint32_t Grey = 0x808080;
constexpr uint32_t Yellow = 0x00FFFF;

template <class F> WavePtr WaveOf(int32_t count, F value)
{
    AbortFlag flag = 0;
    WavePtr wave = CreateWave(&flag, count);
    for (int32_t i = 0; i < count; ++i)
        (*wave)[i] = static_cast<int16_t>(value(i));
    return wave;
}

template <class F> std::shared_ptr<Sound> MonoOf(int32_t count, F value, int32_t freq = 1000)
{
    return std::make_shared<MonoSound>(WaveOf(count, value), freq, 2);
}

template <class L, class R>
std::shared_ptr<Sound> StereoOf(int32_t count, L left, R right, int32_t freq = 1000)
{
    return std::make_shared<StereoSound>(WaveOf(count, left), WaveOf(count, right), freq, 2);
}

/// The rows of column x whose colour is not background, with their colours.
inline std::map<int, uint32_t> LitRows(const QtCanvas& canvas, int x, uint32_t background)
{
    std::map<int, uint32_t> rows;
    for (int y = 0; y < canvas.Height(); ++y) {
        uint32_t colour = canvas.Pixel(x, y);
        if (colour != background)
            rows[y] = colour;
    }
    return rows;
}

/// Rows first..last (inclusive) in colour.
inline std::map<int, uint32_t> Rows(int first, int last, uint32_t colour)
{
    std::map<int, uint32_t> rows;
    for (int y = first; y <= last; ++y)
        rows[y] = colour;
    return rows;
}

/// a with b's rows added over it.
inline std::map<int, uint32_t> Over(std::map<int, uint32_t> a, const std::map<int, uint32_t>& b)
{
    for (const auto& [row, colour] : b)
        a[row] = colour;
    return a;
}

/// Plain props for pixel tests: lines, constant spacing, no grid, opaque, black on white.
inline TWaveViewProps PlainProps(int32_t valuesPerPixel)
{
    TWaveViewProps props;
    props.UseGrid = 0;
    props.ValuesPerPixel.SetValue(valuesPerPixel);
    props.BackgroundColor = static_cast<int32_t>(White);
    props.SingleColor = static_cast<int32_t>(Black);
    props.GridColor = static_cast<int32_t>(Grey);
    props.LeftColor = static_cast<int32_t>(Red);
    props.RightColor = static_cast<int32_t>(Blue);
    return props;
}

} // namespace kelvorn::test
