#include "sound/NoiseSource.h"

namespace kelvorn {

namespace {
// The ISO C reference generator: files made with a given seed depend on this exact sequence.
uint32_t noiseState = 1;
} // namespace

int NoiseRand()
{
    noiseState = noiseState * 1103515245u + 12345u;
    return static_cast<int>((noiseState / 65536u) % 32768u);
}

void NoiseSeed(uint32_t seed)
{
    noiseState = seed;
}

} // namespace kelvorn
