#include "document/views/VolumeArray.h"

#include "document/views/VoldViewProps.h"
#include "general/Assert.h"

#include <new>

namespace kelvorn {

std::unique_ptr<TVolumeArray> TVolumeArray::Create(int64_t width, int64_t height)
{
    std::string message;
    if (!CheckVolumeResolution(width, height, message))
        return nullptr;
    const int64_t cells = width * height;
    std::unique_ptr<std::atomic<float>[]> volumes(new (std::nothrow) std::atomic<float>[cells]);
    if (!volumes)
        return nullptr;
    // Value-initialised since C++20, but the zero start is what a half-computed diagram shows,
    // so it is not left to the library's reading of the standard.
    for (int64_t i = 0; i < cells; ++i)
        volumes[i].store(0.0f, std::memory_order_relaxed);
    return std::unique_ptr<TVolumeArray>(
        new TVolumeArray(int32_t(width), int32_t(height), std::move(volumes)));
}

TVolumeArray::TVolumeArray(int32_t width, int32_t height,
                           std::unique_ptr<std::atomic<float>[]> cells)
    : Width(width), Height(height), Volumes(std::move(cells))
{
}

int64_t TVolumeArray::Index(int64_t x, int64_t y) const
{
    x = x < 0 ? 0 : (x >= Width ? Width - 1 : x);
    y = y < 0 ? 0 : (y >= Height ? Height - 1 : y);
    return y + int64_t(Height) * x;
}

void TVolumeArray::SetVolume(int64_t x, int64_t y, float volume)
{
    if (!KV_SOFT_ASSERT(volume >= 0))
        volume = 0.0f;
    Volumes[Index(x, y)].store(volume, std::memory_order_relaxed);
}

float TVolumeArray::GetVolume(int64_t x, int64_t y) const
{
    return Volumes[Index(x, y)].load(std::memory_order_relaxed);
}

bool TVolumeArray::TakeNewColumns(int32_t& first, int32_t& end)
{
    first = Drawn;
    end = GetFilled();
    if (end <= first)
        return false;
    Drawn = end;
    return true;
}

} // namespace kelvorn
