#pragma once
// The arithmetic on factory values that the value functions share: the product and the sum of
// several values with their type rules, and the power operation behind Power, Root and the
// random values. The operations on one value are members of TSntValue (SntValue.h).

#include "factory/core/SntValue.h"

#include <span>
#include <string>

namespace kelvorn {

/// The product of the values, its type by the units multiplied: lengths and speeds count one
/// distance each and times and frequencies a power of time, so a distance times a frequency is
/// a speed. At most one value of another type (Wave Value, Boolean, ...) may take part, and it
/// then gives its type to a product of values without unit. False with a bare sentence that
/// names the operands as "Operator 1", "Operator 2", ...
bool MultiplyValues(TSntValue& result, std::span<const TSntValue> values, std::string& message);

/// The sum, of the first value's type when all have the same type, else a Factor.
TSntValue PlusValues(std::span<const TSntValue> values);

/// base to the power exponent. A whole exponent (of any type) is multiplied out, so a negative
/// base works; 0 to a negative power divides by zero; a negative base cannot take a power with
/// a fractional part. False with a bare sentence.
bool RaiseToPower(double base, double exponent, double& result, std::string& message);

} // namespace kelvorn
