#include "factory/core/SntValueMath.h"

#include "general/numeric/NumericHelpers.h"

#include <cmath>

namespace kelvorn {

namespace {

// Turns from radians: the reciprocal of the program's pi, halved.
constexpr double turnsPerRadian = 0.31831630537394634 * 0.5;

// Whole exponents up to this size are multiplied out, which keeps the small powers the program
// always gave; beyond it the library's power gives the same value without a loop of up to 2^63
// turns.
constexpr double multipliedExponentLimit = 64;

const char* const divideByZero = "Cannot divide by zero.";

std::string TypeName(ValueType type)
{
    return std::string(GetValueTypeName(type));
}

std::string OperatorText(ValueType type, size_t index)
{
    return TypeName(type) + " (Input \"Operator " + std::to_string(index + 1) + "\")";
}

// The Factor multiplies the result, which has no unit yet, and so lends it its unit.
bool ApplyFactor(TSntValue& value, const std::optional<TSntValue>& factor, std::string& message)
{
    return !factor || value.MultiplyBy(*factor, message);
}

bool AngleArgument(const TSntValue& angle, std::string& message)
{
    if (angle.valueType == ValueType::Angle)
        return true;
    message = "Type of Angle must be a Angle (Place in Wave).";
    return false;
}

// The Expression of an arc function made a plain number: divided by a Factor Repricoke of its
// own type, or a Factor already.
bool ArcArgument(TSntValue& expression, const std::optional<TSntValue>& factorRepricoke,
                 std::string& message)
{
    if (factorRepricoke) {
        if (factorRepricoke->valueType != expression.valueType) {
            message = "Expression and Factor Repricoke must be of the same type.";
            return false;
        }
        if (!expression.DivideBy(*factorRepricoke, message))
            return false;
    }
    if (expression.valueType == ValueType::Factor)
        return true;
    message = "Type of Expression must be a Factor, if Factor Repricoke is not used.";
    return false;
}

bool ArcDomain(double value, const char* name, std::string& message)
{
    if (value > 1) {
        message = std::string("Cannot take an ") + name + " of a value greater than 1.";
        return false;
    }
    if (value < -1) {
        message = std::string("Cannot take an ") + name + " of a value less than -1.";
        return false;
    }
    return true;
}

// Min or Max of a Tangent: of the Factor's type when a Factor is given, else a Factor.
bool TangentBoundType(const std::optional<TSntValue>& bound, const char* name,
                      const std::optional<TSntValue>& factor, std::string& message)
{
    if (!bound)
        return true;
    if (factor) {
        if (bound->valueType == factor->valueType)
            return true;
        message = std::string("Inputs Factor and ") + name + " must be of the same type.";
        return false;
    }
    if (bound->valueType == ValueType::Factor)
        return true;
    message = std::string("Type of ") + name + " must be type Factor, if Input Factor is not used.";
    return false;
}

} // namespace

bool MultiplyValues(TSntValue& result, std::span<const TSntValue> values, std::string& message)
{
    double product = 1;
    bool allInteger = true;
    bool angleSeen = false;
    int32_t lengthCount = 0;
    int32_t timePower = 0;
    const TSntValue* other = nullptr;
    size_t otherIndex = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        const TSntValue& v = values[i];
        product *= v.value;
        switch (v.valueType) {
        case ValueType::Integer:
            continue;
        case ValueType::Factor:
            break;
        case ValueType::Angle:
            angleSeen = true;
            break;
        case ValueType::FysicalLength:
            ++lengthCount;
            break;
        case ValueType::FysicalSpeed:
            ++lengthCount;
            --timePower;
            break;
        case ValueType::Time:
            ++timePower;
            break;
        case ValueType::Frequency:
            --timePower;
            break;
        default:
            if (other) {
                message = "Cannot multiply Types of " + OperatorText(other->valueType, otherIndex) +
                          " and " + OperatorText(v.valueType, i);
                return false;
            }
            other = &v;
            otherIndex = i;
            break;
        }
        allInteger = false;
    }
    result.value = product;
    if (allInteger) {
        result.valueType = ValueType::Integer;
        return true;
    }
    if (other) {
        std::string head = "Cannot multiply Types of " + OperatorText(other->valueType, otherIndex);
        if (lengthCount != 0) {
            message = head + " and Fysical Distance or Fysical Speed.";
            return false;
        }
        if (timePower != 0) {
            message = head + " and Frequency or Time.";
            return false;
        }
        result.valueType = other->valueType;
        return true;
    }
    if (lengthCount >= 2) {
        message =
            "At most one Type of Fysical Distance or Fysical Speed is allowed for multiplying.";
        return false;
    }
    if (lengthCount == 1) {
        if (timePower == 0 || timePower == -1) {
            result.valueType = timePower == 0 ? ValueType::FysicalLength : ValueType::FysicalSpeed;
            return true;
        }
        message = "Wrong combination of types Time, Frequency and Fysical Speed are used when "
                  "multiplying.";
        return false;
    }
    if (timePower == 1 || timePower == -1) {
        result.valueType = timePower == 1 ? ValueType::Time : ValueType::Frequency;
        return true;
    }
    if (timePower == 0) {
        result.valueType = angleSeen ? ValueType::Angle : ValueType::Factor;
        return true;
    }
    message = "Wrong combination of types Time, Frequency are used when multiplying.";
    return false;
}

TSntValue PlusValues(std::span<const TSntValue> values)
{
    TSntValue sum(0, values.empty() ? ValueType::Factor : values.front().valueType);
    for (const TSntValue& v : values) {
        sum.value += v.value;
        if (v.valueType != sum.valueType)
            sum.valueType = ValueType::Factor;
    }
    return sum;
}

bool RaiseToPower(double base, double exponent, double& result, std::string& message)
{
    if (exponent == 0) {
        result = 1;
        return true;
    }
    if (base == 0) {
        if (exponent > 0) {
            result = 0;
            return true;
        }
        message = divideByZero;
        return false;
    }
    if (std::trunc(exponent) == exponent) {
        double magnitude = std::fabs(exponent);
        if (magnitude > multipliedExponentLimit) {
            result = std::pow(base, exponent);
            return true;
        }
        double product = 1;
        for (int turn = static_cast<int>(magnitude); turn > 0; --turn)
            product *= base;
        result = exponent < 0 ? 1 / product : product;
        return true;
    }
    if (base < 0) {
        message = "Cannot raise a negative value to a power with a fractional part.";
        return false;
    }
    result = std::exp(exponent * std::log(base));
    return true;
}

// ---- members of TSntValue ----

bool TSntValue::MultiplyBy(const TSntValue& other, std::string& message)
{
    const TSntValue operands[] = {*this, other};
    return MultiplyValues(*this, operands, message);
}

bool TSntValue::DivideBy(const TSntValue& divisor, std::string& message)
{
    if (divisor.value == 0) {
        message = divideByZero;
        return false;
    }
    const ValueType by = divisor.valueType;
    if (IsWithoutUnit() && by == ValueType::Time) {
        *this = TSntValue(value / divisor.value, ValueType::Frequency);
    } else if ((IsWithoutUnit() && by == ValueType::Frequency) ||
               (valueType == ValueType::FysicalLength && by == ValueType::FysicalSpeed)) {
        *this = TSntValue(value / divisor.value, ValueType::Time);
    } else if (valueType == ValueType::FysicalLength && by == ValueType::Time) {
        *this = TSntValue(value / divisor.value, ValueType::FysicalSpeed);
    } else if (valueType == ValueType::FysicalLength && by == ValueType::Frequency) {
        // A frequency divides as its period would: a distance per period is a speed.
        *this = TSntValue(value * divisor.value, ValueType::FysicalSpeed);
    } else if (valueType == by) {
        *this = TSntValue(value / divisor.value, ValueType::Factor);
    } else if (divisor.IsWithoutUnit()) {
        value /= divisor.value;
    } else {
        message = "Second operator must be a type which can be used as a Factor.";
        return false;
    }
    return true;
}

void TSntValue::Subtract(const TSntValue& other)
{
    value -= other.value;
    if (IsWithoutUnit() && other.IsWithoutUnit() && valueType != other.valueType)
        valueType = ValueType::Factor;
}

void TSntValue::Not()
{
    value = value == 0 ? 1 : 0;
}

bool TSntValue::Sine(const std::optional<TSntValue>& factor, std::string& message)
{
    if (!AngleArgument(*this, message))
        return false;
    *this = TSntValue(std::sin(value * ProgramTwoPi), ValueType::Factor);
    return ApplyFactor(*this, factor, message);
}

bool TSntValue::Cosine(const std::optional<TSntValue>& factor, std::string& message)
{
    if (!AngleArgument(*this, message))
        return false;
    *this = TSntValue(std::cos(value * ProgramTwoPi), ValueType::Factor);
    return ApplyFactor(*this, factor, message);
}

bool TSntValue::Tangent(const std::optional<TSntValue>& factor, const std::optional<TSntValue>& min,
                        const std::optional<TSntValue>& max, std::string& message)
{
    if (!AngleArgument(*this, message) || !TangentBoundType(min, "Min", factor, message) ||
        !TangentBoundType(max, "Max", factor, message))
        return false;
    // At an odd number of quarter turns the tangent has a pole; the function gives 0 there.
    const bool pole = WrapRange(value, 0.25, 0.75) == 0.25;
    if (factor && factor->value == 0) {
        *this = *factor;
        return true;
    }
    *this = TSntValue(pole ? 0.0 : std::tan(value * ProgramTwoPi), ValueType::Factor);
    if (!ApplyFactor(*this, factor, message))
        return false;
    if (max && value > max->value)
        value = max->value;
    if (min && value < min->value)
        value = min->value;
    return true;
}

bool TSntValue::ArcSine(const std::optional<TSntValue>& factorRepricoke, std::string& message)
{
    if (!ArcArgument(*this, factorRepricoke, message) || !ArcDomain(value, "Arc Sine", message))
        return false;
    *this = TSntValue(std::asin(value) * turnsPerRadian, ValueType::Angle);
    return true;
}

bool TSntValue::ArcCosine(const std::optional<TSntValue>& factorRepricoke, std::string& message)
{
    if (!ArcArgument(*this, factorRepricoke, message) || !ArcDomain(value, "Arc Cosine", message))
        return false;
    *this = TSntValue(std::acos(value) * turnsPerRadian, ValueType::Angle);
    return true;
}

bool TSntValue::ArcTangent(const std::optional<TSntValue>& factorRepricoke, std::string& message)
{
    if (!ArcArgument(*this, factorRepricoke, message))
        return false;
    *this = TSntValue(std::atan(value) * turnsPerRadian, ValueType::Angle);
    return true;
}

bool TSntValue::Power(const TSntValue& exponent, const std::optional<TSntValue>& factor,
                      std::string& message)
{
    if (exponent.valueType != ValueType::Integer && !(value > 0)) {
        message = "Value of Input Base must be greater than 0, when Input Exponent is not an "
                  "Integer.";
        return false;
    }
    double result = 0;
    if (!RaiseToPower(value, exponent.value, result, message))
        return false;
    *this = TSntValue(result, ValueType::Factor);
    return ApplyFactor(*this, factor, message);
}

bool TSntValue::Root(const TSntValue& root, const std::optional<TSntValue>& factor,
                     std::string& message)
{
    if (root.value == 0) {
        message = "Value of Input \"Root\" must not be 0.";
        return false;
    }
    double result = 0;
    if (!RaiseToPower(value, 1 / root.value, result, message))
        return false;
    *this = TSntValue(result, ValueType::Factor);
    return ApplyFactor(*this, factor, message);
}

bool TSntValue::Log(const TSntValue& x, const std::optional<TSntValue>& factor,
                    std::string& message)
{
    if (!(value > 0) || value == 1) {
        message = "Value of Input \"Base\" must be greater than 0 and other than 1.";
        return false;
    }
    if (!(x.value > 0)) {
        message = "Value of Input \"X\" must be greater than 0.";
        return false;
    }
    *this = TSntValue(std::log(x.value) / std::log(value), ValueType::Factor);
    return ApplyFactor(*this, factor, message);
}

} // namespace kelvorn
