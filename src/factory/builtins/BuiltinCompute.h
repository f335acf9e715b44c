#pragma once
// The one place where a builtin node finds the computation of its kind. The wave functions and
// the value functions each enter their kinds here; a kind without an entry cannot run, and its
// node fails the run saying so.

#include "factory/core/SourceTarget.h"

#include <cstdint>
#include <string>

namespace kelvorn {

class TSountoryNodeBuiltin;

/// Computes one builtin node: reads its inputs, fills its outputs; false with a bare sentence.
using TBuiltinCompute = bool (*)(TSountoryNodeBuiltin& node, SntStopFlag* stop,
                                 std::string& message);

/// The computation of kind 0..76, or null when the program has none for it.
TBuiltinCompute GetBuiltinCompute(int32_t kind);

} // namespace kelvorn
