#pragma once
// What travels along a factory connection besides a sound: a number tagged with its value type,
// and the rules and texts every pin and connection shares (how well a source can feed a
// target, the type labels, the pin colours, the wave-format and value texts of the hints).

#include "document/records/WaveFileProps.h"
#include "general/numeric/ValueTypes.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kelvorn {

/// A number with its value type, passed and stored by value.
struct TSntValue
{
    TSntValue() = default;
    TSntValue(double v, ValueType type) : valueType(type), value(v) {}

    /// The value multiplied by the factor, type kept (a time becomes a sample position).
    TSntValue Scale(double factor) const { return TSntValue(value * factor, valueType); }
    /// Factor, Angle and Integer count as one type in "same type" tests: Factor.
    ValueType GetUnitType() const { return IsWithoutUnit() ? ValueType::Factor : valueType; }
    bool IsWithoutUnit() const
    {
        return valueType == ValueType::Factor || valueType == ValueType::Angle ||
               valueType == ValueType::Integer;
    }

    // The arithmetic of the value functions (SntValueMath.cpp). This value is the argument and
    // takes the result; a false answer comes with a bare sentence and leaves the value unusable.
    /// This times other, with the type rules of MultiplyValues (this is "Operator 1").
    bool MultiplyBy(const TSntValue& other, std::string& message);
    bool DivideBy(const TSntValue& divisor, std::string& message);
    /// This minus other: two values without unit keep their type when it is the same (else
    /// Factor); a value with a unit keeps its own.
    void Subtract(const TSntValue& other);
    /// 1 for 0, 0 for anything else; the type stays.
    void Not();
    /// Of an Angle in turns; a Factor given multiplies the result (and lends it its unit).
    bool Sine(const std::optional<TSntValue>& factor, std::string& message);
    bool Cosine(const std::optional<TSntValue>& factor, std::string& message);
    bool Tangent(const std::optional<TSntValue>& factor, const std::optional<TSntValue>& min,
                 const std::optional<TSntValue>& max, std::string& message);
    /// Of a Factor (or of a value divided by a Factor Repricoke of its type), in turns.
    bool ArcSine(const std::optional<TSntValue>& factorRepricoke, std::string& message);
    bool ArcCosine(const std::optional<TSntValue>& factorRepricoke, std::string& message);
    bool ArcTangent(const std::optional<TSntValue>& factorRepricoke, std::string& message);
    /// This is the base; the result is a Factor, multiplied by the Factor when one is given.
    bool Power(const TSntValue& exponent, const std::optional<TSntValue>& factor,
               std::string& message);
    bool Root(const TSntValue& root, const std::optional<TSntValue>& factor, std::string& message);
    /// The logarithm of x to this base.
    bool Log(const TSntValue& x, const std::optional<TSntValue>& factor, std::string& message);

    ValueType valueType = ValueType::Factor;
    double value = 0.0;
};

/// How certainly values leaving a source so declared are taken by a target so declared.
enum SntMatch : int32_t { MatchNever = 0, MatchSometimes = 1, MatchAlways = 2 };

int32_t CanMatch(ValueDomain sourceDomain, ValueDomType sourceType, ValueDomain targetDomain,
                 ValueDomType targetType);
/// FactorOrInteger 0 < NoUnit 1 < AllComputable 2 < AllValue 3; -1 for every single type.
int32_t GetTypeBreadth(ValueDomType type);
/// The highlight state that shows a CanMatch result under the mouse.
uint8_t GetMatchHighlight(int32_t canMatchResult);
/// The warning shown before a connection whose CanMatch is never.
extern const char* const NeverMatchWarning;

/// How many domains a pin of the type may choose from, and the index-th of them.
int32_t GetDomainCount(ValueDomType type);
ValueDomain GetOfferedDomain(ValueDomType type, int32_t index);

/// IsInDomain for a value that has a class at all: a value that is not finite lies in none.
bool IsValueInDomain(double x, ValueDomain domain);

/// The type's display name, with ", " and the domain's name when the type offers domains.
std::string GetTypeDomainText(ValueDomType type, ValueDomain domain);
/// The pin colour as 0x00BBGGRR; a Wave pin takes its colour from its domain.
uint32_t GetTypeDomainColor(ValueDomType type, ValueDomain domain);
/// Which open waves the values dialog offers: 0 all, 2 mono ones, 3 stereo ones.
int32_t GetWaveListMode(ValueDomain domain);

/// Four lines: channels, bytes per sample, sample frequency and length.
std::string WavePropsToText(const TWaveFileProps& props, int32_t lengthInSamples);
/// The number in the display unit of the value class of its type.
std::string ValueToText(const TSntValue& value, MeasureUnitKind kind);
/// "Type: <type name>\nValue: <value>".
std::string ValueToLabel(const TSntValue& value, MeasureUnitKind kind);
/// ValueToLabel in a display unit chosen from the type and the magnitude.
std::string ValueToAutoLabel(const TSntValue& value);

} // namespace kelvorn
