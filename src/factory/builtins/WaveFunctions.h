#pragma once
// The computations of the wave functions, kinds 0 to 39: the builtin functions that make, edit,
// change, filter and measure sounds. Each takes the sound at its "Wave" input and the range
// between its "Position Begin" and "Position End" inputs (the whole wave without them), calls
// one sound operation with its other inputs as parameters, and hands the new sound to "Result"
// and the range the result occupies to its own "Position Begin" and "Position End"; the kinds
// whose outputs are other sounds or values fill those instead.

#include "factory/builtins/BuiltinCompute.h"

#include <cstdint>

namespace kelvorn {

/// The kinds 0 .. WaveKindCount - 1 are the wave functions.
inline constexpr int32_t WaveKindCount = 40;

/// The computation of wave kind 0..39; null for every other number.
TBuiltinCompute GetWaveCompute(int32_t kind);

} // namespace kelvorn
