#include "general/Memory.h"

#include <atomic>
#include <new>

namespace kelvorn {

namespace {
// Atomic because the volume writer thread allocates too.
std::atomic<int64_t> allocationsLeft{-1};
} // namespace

int16_t* AllocSamples(int64_t count)
{
    if (count <= 0 || count > MaxWaveValues)
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

void FreeSamples(int16_t* samples)
{
    delete[] samples;
}

void FailAllocationsAfter(int64_t successes)
{
    allocationsLeft.store(successes < 0 ? -1 : successes);
}

void ResetAllocationFailure()
{
    allocationsLeft.store(-1);
}

} // namespace kelvorn
