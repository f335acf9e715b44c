#pragma once
// The 15-bit generator behind the noise generators. It stands for the C runtime's rand():
// the same sequence for the same seed, shared with whatever else seeds it, RAND_MAX 32767.

#include <cstdint>

namespace kelvorn {

constexpr int NoiseRandMax = 32767;

/// The next draw, 0..NoiseRandMax.
int NoiseRand();

/// Restarts the sequence, as srand does.
void NoiseSeed(uint32_t seed);

} // namespace kelvorn
