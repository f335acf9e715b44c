#include "sound/Wave.h"

#include <algorithm>
#include <cstring>

namespace kelvorn {

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
        if (abort && *abort) {
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
        if (flag)
            *flag = 1;
        return nullptr;
    }
    return wave;
}

} // namespace kelvorn
