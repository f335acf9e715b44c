#include "general/random/RuntimeRandom.h"

namespace kelvorn {

namespace {
uint32_t runtimeRandomState = 0;
} // namespace

uint32_t RuntimeRandomState()
{
    return runtimeRandomState;
}

void SetRuntimeRandomState(uint32_t state)
{
    runtimeRandomState = state;
}

double NextRuntimeRandom()
{
    runtimeRandomState = runtimeRandomState * 134775813u + 1u;
    return runtimeRandomState / 4294967296.0;
}

} // namespace kelvorn
