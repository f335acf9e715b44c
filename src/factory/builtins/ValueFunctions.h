#pragma once
// What the builtin nodes of the value kinds compute (Mathematics, Boolean, the switches and the
// positions at a wave: kinds 40 to 76), and the lazy Calculate of the two switches, which pull
// only the branch they take. Each kind reads the pins its function has by name, whatever pins
// a loaded node happens to carry: a pin it reads that the node lacks fails the computation.

#include "factory/builtins/BuiltinCatalogue.h"
#include "factory/builtins/BuiltinCompute.h"
#include "factory/core/SntValue.h"

#include <optional>
#include <span>
#include <string>

namespace kelvorn {

/// The computation of a value kind, null for every other kind.
TBuiltinCompute GetValueCompute(int32_t kind);

/// Calculate of SwitchWave and SwitchValue: "Switch" first, then only the chosen input; the
/// other gives back its uses, so the branch behind it is not computed for this node.
bool CalculateSwitch(TSountoryNodeBuiltin& node, SntStopFlag* stop, std::string& message);

/// Every operand has the unit type of the first; false naming the first that has not.
bool CheckOperandsSameType(std::span<const TSntValue> operands, std::string& message);

/// And, Or, Nand, Nor, Xor and Imp chained from the first operand on: a Boolean 1 or 0.
TSntValue LogicValues(SntBuiltinAction kind, std::span<const TSntValue> operands);
/// Unequal (some neighbours differ), Equal, Greater (each at least the next) and GreaterEqual
/// (each above the next): a Boolean 1 or 0.
TSntValue CompareValues(SntBuiltinAction kind, std::span<const TSntValue> operands);
/// Minimum or Maximum, of the first operand's type.
TSntValue MinMaxValues(SntBuiltinAction kind, std::span<const TSntValue> operands);
/// MeanValue or LogMeanValue (the geometric mean, of a product above 0 only), of the first
/// operand's type.
bool MeanValues(TSntValue& result, SntBuiltinAction kind, std::span<const TSntValue> operands,
                std::string& message);

/// A fraction in [0, 1) of 30 bits: two draws of the program's 15-bit generator joined.
double DrawRandomFraction();
/// A value between rangeBegin and rangeEnd, uniform or (logarithmic) log-uniform; rangeBegin
/// takes it.
bool MakeRandomValue(TSntValue& rangeBegin, const TSntValue& rangeEnd, bool logarithmic,
                     std::string& message);
/// A normally distributed value about the mean, drawn from the runtime generator that the seed
/// command sets, and clamped to a Max Dev when one is given; mean takes it.
bool MakeGaussianRandomValue(TSntValue& mean, const TSntValue& stdDev,
                             const std::optional<TSntValue>& maxDev, std::string& message);

} // namespace kelvorn
