#include "factory/core/SntValue.h"

#include "general/values/ValueUnits.h"

#include <array>
#include <cmath>
#include <limits>

namespace kelvorn {

const char* const NeverMatchWarning =
    "Values out from the Source of this connection will never match the Target.";

namespace {

int Code(ValueDomType type)
{
    return static_cast<int>(type);
}

bool IsSimple(ValueDomType type)
{
    return Code(type) < 15;
}

bool IsTimeOrFrequency(int code)
{
    return code == 6 || code == 7;
}

int32_t TypeScore(ValueDomType source, ValueDomType target)
{
    int s = Code(source);
    int t = Code(target);
    if (IsSimple(source) && IsSimple(target)) {
        if (s == t)
            return 2;
        return IsTimeOrFrequency(s) && IsTimeOrFrequency(t) ? 1 : 0;
    }
    if (IsSimple(source))
        return IsValueTypeCompatible(static_cast<ValueType>(s), target) ? 2 : 0;
    if (IsSimple(target))
        return IsValueTypeCompatible(static_cast<ValueType>(t), source) ? 1 : 0;
    return GetTypeBreadth(source) > GetTypeBreadth(target) ? 1 : 2;
}

int32_t DomainScore(ValueDomain source, ValueDomain target)
{
    uint32_t s = GetDomainMask(source);
    uint32_t t = GetDomainMask(target);
    if ((s & t) == 0)
        return 0;
    return (s & ~t) != 0 ? 1 : 2;
}

constexpr std::array<int32_t, ValueDomTypeCount> domainCounts = {11, 1, 11, 6, 6, 6, 6, 6,  6, 1,
                                                                 0,  0, 0,  0, 3, 6, 6, 11, 11};

constexpr std::array<uint32_t, ValueDomTypeCount> typeColors = {
    0x808080, 0x408878, 0x307090, 0x808080, 0xB00000, 0xA00070, 0x0000B0,
    0x800098, 0x009800, 0x888800, 0xA000A0, 0x809000, 0x00A000, 0x009080,
    0,        0x406090, 0x808080, 0x505050, 0x906040};

// Integers are shown truncated towards zero; a number outside the class's range would make the
// conversion undefined, so it is held at the range's ends first.
template <class Int> Int Truncated(double x)
{
    if (std::isnan(x))
        return 0;
    double lo = static_cast<double>(std::numeric_limits<Int>::min());
    double hi = static_cast<double>(std::numeric_limits<Int>::max());
    return static_cast<Int>(std::trunc(x < lo ? lo : (x > hi ? hi : x)));
}

std::string SampleFrequencyText(int32_t freq)
{
    switch (freq) {
    case 5512:
        return "5 kHz";
    case 11025:
        return "11 kHz";
    case 22050:
        return "22 kHz";
    case 44100:
        return "44 kHz";
    case 88200:
        return "88kHz";
    case 176128:
        return "176 kHz";
    default:
        return "";
    }
}

} // namespace

int32_t CanMatch(ValueDomain sourceDomain, ValueDomType sourceType, ValueDomain targetDomain,
                 ValueDomType targetType)
{
    int32_t type = TypeScore(sourceType, targetType);
    int32_t domain = DomainScore(sourceDomain, targetDomain);
    return type < domain ? type : domain;
}

int32_t GetTypeBreadth(ValueDomType type)
{
    switch (type) {
    case ValueDomType::FactorOrInteger:
        return 0;
    case ValueDomType::NoUnit:
        return 1;
    case ValueDomType::AllComputable:
        return 2;
    case ValueDomType::AllValue:
        return 3;
    default:
        return -1;
    }
}

uint8_t GetMatchHighlight(int32_t canMatchResult)
{
    switch (canMatchResult) {
    case 2:
        return 2;
    case 1:
        return 3;
    case 0:
        return 4;
    default:
        return 5;
    }
}

int32_t GetDomainCount(ValueDomType type)
{
    int code = Code(type);
    return code >= 0 && code < ValueDomTypeCount ? domainCounts[static_cast<size_t>(code)] : 0;
}

ValueDomain GetOfferedDomain(ValueDomType type, int32_t index)
{
    if (type == ValueDomType::BalanceAngle)
        return ValueDomain::NegOneInclPosOneIncl;
    if (type == ValueDomType::PlaceInWindow)
        return ValueDomain::ZeroInclOneExcl;
    if (type == ValueDomType::Wave) {
        constexpr std::array<ValueDomain, 3> waves = {ValueDomain::AllValues, ValueDomain::Mono,
                                                      ValueDomain::Stereo};
        return index >= 0 && index < 3 ? waves[static_cast<size_t>(index)] : ValueDomain::AllValues;
    }
    return index >= 0 && index < GetDomainCount(type) ? static_cast<ValueDomain>(index)
                                                      : ValueDomain::AllValues;
}

bool IsValueInDomain(double x, ValueDomain domain)
{
    return std::isfinite(x) && IsInDomain(x, domain);
}

std::string GetTypeDomainText(ValueDomType type, ValueDomain domain)
{
    std::string text(GetValueDomTypeName(type));
    if (GetDomainCount(type) > 0)
        text += ", " + std::string(GetValueDomainName(domain));
    return text;
}

uint32_t GetTypeDomainColor(ValueDomType type, ValueDomain domain)
{
    if (type == ValueDomType::Wave) {
        switch (domain) {
        case ValueDomain::AllValues:
            return 0x606060;
        case ValueDomain::Mono:
            return 0x0000C0;
        case ValueDomain::Stereo:
            return 0xC00000;
        default:
            return 0xC0C0C0;
        }
    }
    int code = Code(type);
    return code >= 0 && code < ValueDomTypeCount ? typeColors[static_cast<size_t>(code)] : 0;
}

int32_t GetWaveListMode(ValueDomain domain)
{
    if (domain == ValueDomain::Mono)
        return 2;
    if (domain == ValueDomain::Stereo)
        return 3;
    return 0;
}

std::string WavePropsToText(const TWaveFileProps& props, int32_t lengthInSamples)
{
    std::string text = props.MonoStereo == 1 ? "Mono" : "Stereo";
    text += props.BytesPSample == 1 ? "\n1 byte per sample" : "\n2 bytes per sample";
    text += "\nsample freq: " + std::to_string(props.SampleFreq) + " Hz";
    text += "\nlength: " + std::to_string(lengthInSamples) + " samples";
    return text;
}

std::string ValueToText(const TSntValue& value, MeasureUnitKind kind)
{
    double v = value.value;
    switch (value.valueType) {
    case ValueType::Factor:
        return unitFactor(v, kind).ToText();
    case ValueType::BalanceAngle:
        return unitBalAngleFactor(v, kind).ToText();
    case ValueType::Angle:
    case ValueType::PlaceInWindow:
        return unitAngleFactor(v, kind).ToText();
    case ValueType::Integer:
        return unitInteger(Truncated<int32_t>(v), kind).ToText();
    case ValueType::WaveValue:
        return unitWaveVal(Truncated<int16_t>(v), kind).ToText();
    case ValueType::FysicalLength:
        return unitFysDist(v, kind).ToText();
    case ValueType::FysicalSpeed:
        return unitFysSpeed(v, kind).ToText();
    case ValueType::Time:
        return unitTime(v, kind).ToText();
    case ValueType::Frequency:
        return unitFreq(v, kind).ToText();
    default:
        return "Oops! Unknown value!";
    }
}

std::string ValueToLabel(const TSntValue& value, MeasureUnitKind kind)
{
    int32_t whole = Truncated<int32_t>(value.value);
    std::string text;
    switch (value.valueType) {
    case ValueType::PlaceInWindow:
        text = ValueToText(value, kind) + " samples";
        break;
    case ValueType::Boolean:
        text = whole == 0 ? "False" : (whole == 1 ? "True" : "");
        break;
    case ValueType::WaveMonoStereo:
        text = whole == 1 ? "Mono" : (whole == 2 ? "Stereo" : "");
        break;
    case ValueType::WaveBytesPerSample:
        text = whole == 1 ? "1 Byte per Sample" : (whole == 2 ? "2 Bytes per Sample" : "");
        break;
    case ValueType::WaveSampleFrequency:
        text = SampleFrequencyText(whole);
        break;
    default:
        text = ValueToText(value, kind);
        break;
    }
    return "Type: " + std::string(GetValueTypeName(value.valueType)) + "\nValue: " + text;
}

std::string ValueToAutoLabel(const TSntValue& value)
{
    double a = std::fabs(value.value);
    MeasureUnitKind kind = EHNone;
    switch (value.valueType) {
    case ValueType::Factor:
    case ValueType::Angle:
        kind = a < 1 ? EHPerc : EHNone;
        break;
    case ValueType::BalanceAngle:
        kind = EHAngle;
        break;
    case ValueType::FysicalLength:
        kind = a < 0.01 ? EHMM : a < 0.1 ? EHCM : a < 1 ? EHDM : a < 1000 ? EHM : EHKM;
        break;
    case ValueType::FysicalSpeed:
        kind = EHMpS;
        break;
    case ValueType::Time:
        kind = a < 1 ? EHMS : EHS;
        break;
    case ValueType::Frequency:
        kind = a < 1000 ? EHHZ : EHKHZ;
        break;
    case ValueType::WaveValue:
        kind = EHPerc;
        break;
    default:
        break;
    }
    return ValueToLabel(value, kind);
}

} // namespace kelvorn
