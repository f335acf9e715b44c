#include "factory/builtins/BuiltinCompute.h"

#include "factory/builtins/BuiltinCatalogue.h"
#include "factory/builtins/ValueFunctions.h"
#include "factory/builtins/WaveFunctions.h"

#include <array>

namespace kelvorn {

namespace {

// Indexed by kind number. The wave functions (kinds 0 to 39) and the value functions (kinds 40
// to 76) put their computations at their kinds' numbers.
constexpr std::array<TBuiltinCompute, BuiltinKindCount> computations{};

} // namespace

TBuiltinCompute GetBuiltinCompute(int32_t kind)
{
    if (TBuiltinCompute wave = GetWaveCompute(kind))
        return wave;
    if (TBuiltinCompute value = GetValueCompute(kind))
        return value;
    return kind >= 0 && kind < BuiltinKindCount ? computations[static_cast<size_t>(kind)] : nullptr;
}

} // namespace kelvorn
