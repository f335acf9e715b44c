#pragma once
// The four enumerations that describe values: the display unit of every value object
// (MeasureUnitKind), and the typing of Soundfactory values (ValueType, ValueDomType,
// ValueDomain). Each has a list of display names and a list of file keys; the lists are constant
// and never change while the program runs.

#include <cstdint>
#include <span>
#include <string_view>

namespace kelvorn {

/// The unit in which a value was last typed or is to be shown. Stored in one byte of every value
/// object; its numbers are written to files, so they never change.
enum MeasureUnitKind : uint8_t
{
    EHNone = 0,
    EHPerc = 1,
    EHDB = 2,
    EHOctave = 3,
    EHS = 4,
    EHMS = 5,
    EHHZ = 6,
    EHKHZ = 7,
    EHTime = 8,
    EHFreq = 9,
    EHValue = 10,
    EHAngle = 11,
    EHNote = 12,
    EHError = 13,
    EHM = 14,
    EHDM = 15,
    EHCM = 16,
    EHMM = 17,
    EHKM = 18,
    EHMile = 19,
    EHNautMile = 20,
    EHFeet = 21,
    EHInch = 22,
    EHMpS = 23,
    EHKMpH = 24,
    EHMpH = 25,
    EHMach = 26,
    EHKnots = 27,
};

constexpr int MeasureUnitCount = 28;

/// Lengths run from EHM to EHInch, speeds from EHMpS to EHKnots.
constexpr bool IsLengthUnit(MeasureUnitKind kind)
{
    return kind >= EHM && kind <= EHInch;
}
constexpr bool IsSpeedUnit(MeasureUnitKind kind)
{
    return kind >= EHMpS && kind <= EHKnots;
}

/// In which base unit a value is stored, and what a Soundfactory value is.
enum class ValueType : uint8_t
{
    Factor = 0,
    BalanceAngle = 1,
    Angle = 2,
    Integer = 3,
    FysicalLength = 4,
    FysicalSpeed = 5,
    Time = 6,
    Frequency = 7,
    WaveValue = 8,
    PlaceInWindow = 9,
    Boolean = 10,
    WaveMonoStereo = 11,
    WaveBytesPerSample = 12,
    WaveSampleFrequency = 13,
    Wave = 14,
};

constexpr int ValueTypeCount = 15;

/// What a pin or input requires: 0 to 14 one value type each, 15 to 18 groups of types.
enum class ValueDomType : uint8_t
{
    Factor = 0,
    BalanceAngle = 1,
    PlaceWave = 2,
    Integer = 3,
    FysicalLength = 4,
    FysicalSpeed = 5,
    Time = 6,
    Frequency = 7,
    WaveValue = 8,
    PlaceInWindow = 9,
    Boolean = 10,
    WaveMonoStereo = 11,
    WaveBytesPerSample = 12,
    WaveSampleFrequency = 13,
    Wave = 14,
    AllComputable = 15,
    AllValue = 16,
    FactorOrInteger = 17,
    NoUnit = 18,
};

constexpr int ValueDomTypeCount = 19;

/// The range a numeric value must lie in; Mono and Stereo qualify waves instead.
enum class ValueDomain : uint8_t
{
    AllValues = 0,
    NotZero = 1,
    Negative = 2, // includes 0
    Positive = 3, // includes 0
    NegativeNotZero = 4,
    PositiveNotZero = 5,
    ZeroInclOneIncl = 6,
    ZeroExclOneExcl = 7,
    ZeroInclOneExcl = 8,
    OneMore = 9,
    NegOneInclPosOneIncl = 10,
    Mono = 11,
    Stereo = 12,
};

constexpr int ValueDomainCount = 13;

/// The name lists, in enumeration order ("EHNone" ... "EHKnots"; "Factor" ...; "Factor" ...).
std::span<const std::string_view> MeasureUnitNames();
std::span<const std::string_view> ValueTypeNames();
std::span<const std::string_view> ValueTypeKeys();
std::span<const std::string_view> ValueDomTypeNames();
std::span<const std::string_view> ValueDomTypeKeys();
std::span<const std::string_view> ValueDomainNames();
std::span<const std::string_view> ValueDomainKeys();

/// One entry of the lists above; an out-of-range number gives an empty text.
std::string_view GetMeasureName(MeasureUnitKind kind);
std::string_view GetValueTypeName(ValueType type);
std::string_view GetValueTypeKey(ValueType type);
std::string_view GetValueDomTypeName(ValueDomType type);
std::string_view GetValueDomTypeKey(ValueDomType type);
std::string_view GetValueDomainName(ValueDomain domain);
std::string_view GetValueDomainKey(ValueDomain domain);

/// The index of the first entry equal to the text (case-sensitive), or -1.
int FindMeasureName(std::string_view name);
int FindValueType(std::string_view key);
int FindValueDomType(std::string_view key);
int FindValueDomain(std::string_view key);

/// Metres (or metres per second) per one of that unit; 0 for units that are no length or speed.
double GetMeasureFactor(MeasureUnitKind kind);

/// The classes of number a domain accepts, one bit each: 0x100 below -1, 0x080 exactly -1,
/// 0x040 between -1 and 0, 0x008 exactly 0, 0x001 between 0 and 1, 0x002 exactly 1, 0x004 above
/// 1. Mono and Stereo have the single bits 0x001 and 0x002; any other number has the mask 0.
uint32_t GetDomainMask(ValueDomain domain);

/// Whether the class of x is in the domain's mask. Not a number lies in no domain.
bool IsInDomain(double x, ValueDomain domain);

/// Whether a value of the type may stand where the required type is asked for (Time and
/// Frequency stand for each other).
bool IsValueTypeCompatible(ValueType type, ValueDomType required);

} // namespace kelvorn
