#pragma once
// The second program-wide generator, with a 32-bit state: it serves the sound factory's
// normally distributed values, and the seed command ("Reset die") sets its state. Dicer and the
// noise operations do not use it.

#include <cstdint>

namespace kelvorn {

/// The current state (GUI thread only).
uint32_t RuntimeRandomState();

/// Sets the state: the seed command's value, or the UTC millisecond of the day.
void SetRuntimeRandomState(uint32_t state);

/// One uniform draw in [0, 1): state := state * 134775813 + 1 (mod 2^32), value state / 2^32.
double NextRuntimeRandom();

} // namespace kelvorn
