#include "general/Memory.h"

#include <algorithm>
#include <atomic>
#include <new>

namespace kelvorn {

namespace {
// Atomic because the volume writer thread allocates too.
std::atomic<int64_t> allocationsLeft{-1};
std::atomic<int64_t> sampleLimit{MaxWaveValues};
} // namespace

int16_t* AllocSamples(int64_t count)
{
    if (count <= 0 || count > sampleLimit.load())
        return nullptr;
    int64_t left = allocationsLeft.load();
    while (left >= 0) {
        if (left == 0)
            return nullptr;
        if (allocationsLeft.compare_exchange_weak(left, left - 1))
            break;
    }
    return new (std::nothrow) int16_t[static_cast<size_t>(count)];
}

int64_t SampleLimit()
{
    return sampleLimit.load();
}

void FreeSamples(int16_t* samples)
{
    delete[] samples;
}

void FailAllocationsAfter(int64_t successes)
{
    allocationsLeft.store(successes < 0 ? -1 : successes);
}

void LimitSamples(int64_t values)
{
    sampleLimit.store(std::clamp<int64_t>(values, 0, MaxWaveValues));
}

void ResetAllocationFailure()
{
    allocationsLeft.store(-1);
    sampleLimit.store(MaxWaveValues);
}

} // namespace kelvorn
