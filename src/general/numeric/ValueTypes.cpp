#include "general/numeric/ValueTypes.h"

#include "general/Assert.h"

#include <array>
#include <cmath>

namespace kelvorn {

namespace {

using namespace std::string_view_literals;

constexpr std::array<std::string_view, MeasureUnitCount> measureNames = {
    "EHNone"sv, "EHPerc"sv,  "EHDB"sv,   "EHOctave"sv, "EHS"sv,   "EHMS"sv,       "EHHZ"sv,
    "EHKHZ"sv,  "EHTime"sv,  "EHFreq"sv, "EHValue"sv,  "EHAngle"sv, "EHNote"sv,   "EHError"sv,
    "EHM"sv,    "EHDM"sv,    "EHCM"sv,   "EHMM"sv,     "EHKM"sv,  "EHMile"sv,     "EHNautMile"sv,
    "EHFeet"sv, "EHInch"sv,  "EHMpS"sv,  "EHKMpH"sv,   "EHMpH"sv, "EHMach"sv,     "EHKnots"sv,
};

constexpr std::array<std::string_view, ValueTypeCount> valueTypeNames = {
    "Factor"sv,           "Balance Angle"sv,   "Angle"sv,          "Integer"sv,
    "Fysical Length"sv,   "Fysical Speed"sv,   "Time"sv,           "Frequency"sv,
    "Wave Value"sv,       "Place in Window"sv, "Boolean"sv,        "Mono/Stereo"sv,
    "Bytes per Sample"sv, "Sample Frequency"sv, "Wave"sv,
};

constexpr std::array<std::string_view, ValueTypeCount> valueTypeKeys = {
    "Factor"sv,        "BalanceAngle"sv,  "Angle"sv,          "Integer"sv,
    "FysicalLength"sv, "FysicalSpeed"sv,  "Time"sv,           "Frequency"sv,
    "WaveValue"sv,     "PlaceInWindow"sv, "Boolean"sv,        "WaveMonoStereo"sv,
    "WaveBytesPerSample"sv, "WaveSampleFrequency"sv, "Wave"sv,
};

constexpr std::array<std::string_view, ValueDomTypeCount> domTypeNames = {
    "Factor"sv,           "Balance Angle"sv,         "Place in Wave"sv,  "Integer"sv,
    "Fysical Length"sv,   "Fysical Speed"sv,         "Time"sv,           "Frequency"sv,
    "Wave Value"sv,       "Place in Window"sv,       "Boolean"sv,        "Mono/Stereo"sv,
    "Bytes per Sample"sv, "Sample Frequency"sv,      "Wave"sv,           "All Computable Values"sv,
    "All Values"sv,       "Factor or Integer"sv,     "Value without Unit"sv,
};

constexpr std::array<std::string_view, ValueDomTypeCount> domTypeKeys = {
    "Factor"sv,        "BalanceAngle"sv,  "PlaceWave"sv,      "Integer"sv,
    "FysicalLength"sv, "FysicalSpeed"sv,  "Time"sv,           "Frequency"sv,
    "WaveValue"sv,     "PlaceInWindow"sv, "Boolean"sv,        "WaveMonoStereo"sv,
    "WaveBytesPerSample"sv, "WaveSampleFrequency"sv, "Wave"sv, "AllComputable"sv,
    "AllValue"sv,      "FactorOrInteger"sv, "NoUnit"sv,
};

constexpr std::array<std::string_view, ValueDomainCount> domainNames = {
    "All Values"sv,        "Not Zero"sv, "Negative"sv, "Positive"sv, "Negative Not Zero"sv,
    "Positive Not Zero"sv, "[0,1]"sv,    "<0,1>"sv,    "[0,1>"sv,    "Positive More Than 1"sv,
    "[-1,1]"sv,            "Mono"sv,     "Stereo"sv,
};

constexpr std::array<std::string_view, ValueDomainCount> domainKeys = {
    "AllValues"sv,       "NotZero"sv,         "Negative"sv,        "Positive"sv,
    "NegativeNotZero"sv, "PositiveNotZero"sv, "ZeroInclOneIncl"sv, "ZeroExclOneExcl"sv,
    "ZeroInclOneExcl"sv, "OneMore"sv,         "NegOneInclPosOneIncl"sv, "Mono"sv,
    "Stereo"sv,
};

constexpr std::array<uint32_t, ValueDomainCount> domainMasks = {
    0x1CF, 0x1C7, 0x1C8, 0x00F, 0x1C0, 0x007, 0x00B, 0x001, 0x009, 0x004, 0x0CB, 0x001, 0x002,
};

template <size_t N>
std::string_view Entry(const std::array<std::string_view, N>& list, int index)
{
    if (index < 0 || index >= static_cast<int>(N))
        return {};
    return list[static_cast<size_t>(index)];
}

template <size_t N>
int Find(const std::array<std::string_view, N>& list, std::string_view text)
{
    for (size_t i = 0; i < N; ++i) {
        if (list[i] == text)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

std::span<const std::string_view> MeasureUnitNames()
{
    return measureNames;
}
std::span<const std::string_view> ValueTypeNames()
{
    return valueTypeNames;
}
std::span<const std::string_view> ValueTypeKeys()
{
    return valueTypeKeys;
}
std::span<const std::string_view> ValueDomTypeNames()
{
    return domTypeNames;
}
std::span<const std::string_view> ValueDomTypeKeys()
{
    return domTypeKeys;
}
std::span<const std::string_view> ValueDomainNames()
{
    return domainNames;
}
std::span<const std::string_view> ValueDomainKeys()
{
    return domainKeys;
}

std::string_view GetMeasureName(MeasureUnitKind kind)
{
    return Entry(measureNames, kind);
}
std::string_view GetValueTypeName(ValueType type)
{
    return Entry(valueTypeNames, static_cast<int>(type));
}
std::string_view GetValueTypeKey(ValueType type)
{
    return Entry(valueTypeKeys, static_cast<int>(type));
}
std::string_view GetValueDomTypeName(ValueDomType type)
{
    return Entry(domTypeNames, static_cast<int>(type));
}
std::string_view GetValueDomTypeKey(ValueDomType type)
{
    return Entry(domTypeKeys, static_cast<int>(type));
}
std::string_view GetValueDomainName(ValueDomain domain)
{
    return Entry(domainNames, static_cast<int>(domain));
}
std::string_view GetValueDomainKey(ValueDomain domain)
{
    return Entry(domainKeys, static_cast<int>(domain));
}

int FindMeasureName(std::string_view name)
{
    return Find(measureNames, name);
}
int FindValueType(std::string_view key)
{
    return Find(valueTypeKeys, key);
}
int FindValueDomType(std::string_view key)
{
    return Find(domTypeKeys, key);
}
int FindValueDomain(std::string_view key)
{
    return Find(domainKeys, key);
}

double GetMeasureFactor(MeasureUnitKind kind)
{
    switch (kind) {
    case EHM:
        return 1.0;
    case EHDM:
        return 0.1;
    case EHCM:
        return 0.01;
    case EHMM:
        return 0.001;
    case EHKM:
        return 1000.0;
    case EHMile:
        return 1609.0; // kept: not 1609.344; stored lengths were computed with it
    case EHNautMile:
        return 1852.0;
    case EHFeet:
        return 0.3048;
    case EHInch:
        return 0.0254;
    case EHMpS:
        return 1.0;
    case EHKMpH:
        return 0.27778;
    case EHMpH:
        return 0.44694; // kept: not 0.44704; stored speeds were computed with it
    case EHMach:
        return 343.0;
    case EHKnots:
        return 1852.0 / 3600.0;
    default:
        return 0.0;
    }
}

uint32_t GetDomainMask(ValueDomain domain)
{
    int index = static_cast<int>(domain);
    if (index < 0 || index >= ValueDomainCount)
        return 0;
    return domainMasks[static_cast<size_t>(index)];
}

bool IsInDomain(double x, ValueDomain domain)
{
    if (std::isnan(x))
        return false; // every comparison below fails for it, which would class it "above 1"
    uint32_t bit;
    if (x < -1.0)
        bit = 0x100;
    else if (x == -1.0)
        bit = 0x080;
    else if (x < 0.0)
        bit = 0x040;
    else if (x == 0.0)
        bit = 0x008;
    else if (x < 1.0)
        bit = 0x001;
    else if (x == 1.0)
        bit = 0x002;
    else
        bit = 0x004;
    return (GetDomainMask(domain) & bit) != 0;
}

bool IsValueTypeCompatible(ValueType type, ValueDomType required)
{
    int req = static_cast<int>(required);
    if (required == ValueDomType::Time || required == ValueDomType::Frequency)
        return type == ValueType::Time || type == ValueType::Frequency;
    if (req < 15)
        return static_cast<int>(type) == req;
    switch (required) {
    case ValueDomType::AllComputable:
        return !(static_cast<int>(type) >= static_cast<int>(ValueType::Boolean) &&
                 static_cast<int>(type) <= static_cast<int>(ValueType::Wave));
    case ValueDomType::AllValue:
        return type != ValueType::Wave;
    case ValueDomType::FactorOrInteger:
        return type == ValueType::Factor || type == ValueType::Integer;
    case ValueDomType::NoUnit:
        return type == ValueType::Factor || type == ValueType::Integer ||
               type == ValueType::Angle;
    default:
        KV_SOFT_ASSERT(false);
        return false;
    }
}

} // namespace kelvorn
