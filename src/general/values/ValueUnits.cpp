#include "general/values/ValueUnits.h"

#include "general/GuiMessages.h"

#include "general/Assert.h"
#include "general/Messages.h"
#include "general/values/ValueFormat.h"
#include "general/values/ValueText.h"

#include <cmath>
#include <cstddef>
#include <cstdio>

namespace kelvorn {

namespace {

std::string InLabel(const std::string& label, const std::string& reason)
{
    return "In " + label + ": " + reason;
}

// The families whose value has a display unit share one way to take a text: parse into
// temporaries, and store both only when the whole text was accepted.
template <typename Value>
using FamilyParser = bool (*)(std::string_view, uint8_t, Value&, MeasureUnitKind&, std::string&);

template <typename Value, typename Parse>
bool TakeText(Parse parse, std::string_view text, const std::string& label, Value& value,
              MeasureUnitKind& unitKind, std::string& message)
{
    Value parsed = 0;
    MeasureUnitKind kind = unitKind;
    std::string reason;
    if (!parse(text, parsed, kind, reason)) {
        message = InLabel(label, reason);
        return false;
    }
    value = parsed;
    unitKind = kind;
    return true;
}

template <typename Value>
bool TakeFamilyText(FamilyParser<Value> parse, std::string_view text, uint8_t constraint,
                    const std::string& label, Value& value, MeasureUnitKind& unitKind,
                    std::string& message)
{
    auto parseFamily = [&](std::string_view typed, Value& parsed, MeasureUnitKind& kind,
                           std::string& reason) {
        return parse(typed, constraint, parsed, kind, reason);
    };
    return TakeText(parseFamily, text, label, value, unitKind, message);
}

template <typename Value>
bool AcceptsFamilyText(FamilyParser<Value> parse, std::string_view text, uint8_t constraint,
                       MeasureUnitKind unitKind)
{
    Value parsed = 0;
    std::string reason;
    return parse(text, constraint, parsed, unitKind, reason);
}

constexpr int factorPrecision = 99; // as many digits as FormatDigits allows
constexpr int timePrecision = 7;

bool IsTimeUnit(MeasureUnitKind kind)
{
    return kind == EHS || kind == EHMS || kind == EHHZ || kind == EHKHZ;
}

bool IsRelativeUnit(MeasureUnitKind kind)
{
    return kind == EHNone || kind == EHPerc || kind == EHAngle;
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// One to eight hexadecimal digits and nothing else.
bool ParseHex(std::string_view text, int32_t& colour)
{
    if (text.empty() || text.size() > 8)
        return false;
    uint32_t result = 0;
    for (char c : text) {
        if (!IsHexDigit(c))
            return false;
        uint32_t digit = c <= '9' ? static_cast<uint32_t>(c - '0')
                                  : static_cast<uint32_t>((c | 0x20) - 'a' + 10);
        result = result * 16 + digit;
    }
    colour = static_cast<int32_t>(result);
    return true;
}

} // namespace

// ---- unit -------------------------------------------------------------------------------------

void unit::SetTextMsg(bool& ok, const std::string& text, const std::string& label)
{
    if (!ok)
        return;
    std::string message;
    if (!FromText(text, label, message)) {
        TGuiMessages::ShowInputError(message);
        ok = false;
    }
}

void unit::SetText(bool& ok, const std::string& text, const std::string& label)
{
    if (!ok)
        return;
    std::string message;
    if (!FromText(text, label, message))
        ok = false;
}

void unit::AddToXML(TXMLComplexElement& parent, const std::string& name) const
{
    parent.AddText(name, StoredText());
}

bool unit::ReadXML(const TXMLItem* xmlElement, std::string& message, int32_t& line, int32_t& column)
{
    if (!KV_SOFT_ASSERT(xmlElement != NULL))
        return false;
    line = xmlElement->GetLine();
    column = xmlElement->GetColumn();
    static const std::string noText;
    const std::string& text = xmlElement->IsText() ? xmlElement->GetText() : noText;
    return FromText(text, xmlElement->GetElement(), message);
}

std::string unit::StoredText() const
{
    // The clock and the frequency display are shown, never typed: their fixed places would
    // lose a small value, so a file holds the base unit instead.
    if (unitKind == EHTime || unitKind == EHFreq) {
        std::string text = BaseText(false);
        if (Accepts(text))
            return text;
        return BaseText(true);
    }
    // A writer never writes what its own reader refuses.
    std::string text = ToText();
    if (Accepts(text))
        return text;
    text = BaseText(false);
    if (Accepts(text))
        return text;
    return BaseText(true);
}

// ---- factors ----------------------------------------------------------------------------------

std::string unitFactor::ToText() const
{
    switch (unitKind) {
    case EHNone:
    case EHPerc:
    case EHDB:
    case EHOctave:
    case EHAngle:
        return FormatValue(value, Type(), unitKind, factorPrecision, true);
    default:
        return BaseText(false);
    }
}

bool unitFactor::FromText(const std::string& text, const std::string& label, std::string& message)
{
    auto parse = [this](std::string_view typed, double& parsed, MeasureUnitKind& kind,
                        std::string& reason) { return Parse(typed, parsed, kind, reason); };
    return TakeText(parse, text, label, value, unitKind, message);
}

std::string unitFactor::ToTextDigits(int minDigBefore, int minDigAfter, int maxDigAfter) const
{
    return FormatDigits(value, minDigBefore, minDigAfter, maxDigAfter);
}

void unitFactor::CheckLogUnit()
{
    if ((unitKind == EHDB || unitKind == EHOctave) && !(value > 0.0))
        unitKind = EHNone;
}

bool unitFactor::Parse(std::string_view text, double& parsed, MeasureUnitKind& kind,
                       std::string& reason) const
{
    return ParseFactor(text, constraint, parsed, kind, reason);
}

bool unitFactor::Accepts(std::string_view text) const
{
    double parsed = 0.0;
    MeasureUnitKind kind = EHNone;
    std::string reason;
    return Parse(text, parsed, kind, reason);
}

std::string unitFactor::BaseText(bool exact) const
{
    return exact ? FormatExact(value) : FormatValue(value, Type(), EHNone, factorPrecision, true);
}

bool unitAngleFactor::Parse(std::string_view text, double& parsed, MeasureUnitKind& kind,
                            std::string& reason) const
{
    return ParseAngleFactor(text, constraint, parsed, kind, reason);
}

bool unitBalAngleFactor::Parse(std::string_view text, double& parsed, MeasureUnitKind& kind,
                               std::string& reason) const
{
    return ParseBalance(text, constraint, parsed, kind, reason);
}

// ---- integers ---------------------------------------------------------------------------------

std::string unitInteger::ToText() const
{
    return BaseText(false);
}

bool unitInteger::FromText(const std::string& text, const std::string& label, std::string& message)
{
    int32_t parsed = 0;
    std::string reason;
    if (!Parse(text, parsed, reason)) {
        message = InLabel(label, reason);
        return false;
    }
    value = parsed;
    unitKind = EHNone;
    return true;
}

bool unitInteger::Parse(std::string_view text, int32_t& parsed, std::string& reason) const
{
    return ParseInteger(text, constraint, parsed, reason);
}

bool unitInteger::Accepts(std::string_view text) const
{
    int32_t parsed = 0;
    std::string reason;
    return Parse(text, parsed, reason);
}

std::string unitInteger::BaseText(bool) const
{
    return FormatValue(value, ValueType::Integer, EHNone, 7, true);
}

bool unitIntegerMoreUser::Parse(std::string_view text, int32_t& parsed, std::string& reason) const
{
    return ParseIntegerBound(text, 5, bound, parsed, reason);
}

// ---- lengths and speeds -----------------------------------------------------------------------

std::string unitFysDist::ToText() const
{
    if (IsLengthUnit(unitKind) || IsTimeUnit(unitKind))
        return FormatValue(value, ValueType::FysicalLength, unitKind, factorPrecision, true);
    return BaseText(false);
}

bool unitFysDist::FromText(const std::string& text, const std::string& label, std::string& message)
{
    return TakeFamilyText(ParseLength, text, constraint, label, value, unitKind, message);
}

bool unitFysDist::Accepts(std::string_view text) const
{
    return AcceptsFamilyText(ParseLength, text, constraint, unitKind);
}

std::string unitFysDist::BaseText(bool exact) const
{
    return exact ? FormatExact(value) + " m"
                 : FormatValue(value, ValueType::FysicalLength, EHM, factorPrecision, true);
}

std::string unitFysSpeed::ToText() const
{
    if (IsSpeedUnit(unitKind))
        return FormatValue(value, ValueType::FysicalSpeed, unitKind, factorPrecision, true);
    return BaseText(false);
}

bool unitFysSpeed::FromText(const std::string& text, const std::string& label, std::string& message)
{
    return TakeFamilyText(ParseSpeed, text, constraint, label, value, unitKind, message);
}

bool unitFysSpeed::Accepts(std::string_view text) const
{
    return AcceptsFamilyText(ParseSpeed, text, constraint, unitKind);
}

std::string unitFysSpeed::BaseText(bool exact) const
{
    return exact ? FormatExact(value) + " m/s"
                 : FormatValue(value, ValueType::FysicalSpeed, EHMpS, factorPrecision, true);
}

// ---- time and frequency -----------------------------------------------------------------------

std::string unitTime::ToText() const
{
    if (IsTimeUnit(unitKind) || unitKind == EHTime || IsLengthUnit(unitKind))
        return FormatValue(value, ValueType::Time, unitKind, timePrecision, true);
    if (unitKind == EHNote) {
        std::string name = NoteName(value, true);
        if (!name.empty())
            return name;
    }
    return BaseText(false);
}

bool unitTime::FromText(const std::string& text, const std::string& label, std::string& message)
{
    return TakeFamilyText(ParseTime, text, constraint, label, value, unitKind, message);
}

bool unitTime::Accepts(std::string_view text) const
{
    return AcceptsFamilyText(ParseTime, text, constraint, unitKind);
}

std::string unitTime::BaseText(bool exact) const
{
    return exact ? FormatExact(value) + " s"
                 : FormatValue(value, ValueType::Time, EHS, timePrecision, true);
}

std::string unitFreq::ToText() const
{
    return ToTextPrecision(timePrecision);
}

std::string unitFreq::ToTextPrecision(int precision) const
{
    if (IsTimeUnit(unitKind) || unitKind == EHFreq || IsLengthUnit(unitKind))
        return FormatValue(value, ValueType::Frequency, unitKind, precision, true);
    if (unitKind == EHNote) {
        std::string name = NoteName(value);
        if (!name.empty())
            return name;
    }
    return FormatValue(value, ValueType::Frequency, EHHZ, precision, true);
}

bool unitFreq::FromText(const std::string& text, const std::string& label, std::string& message)
{
    return TakeFamilyText(ParseFrequency, text, constraint, label, value, unitKind, message);
}

bool unitFreq::Accepts(std::string_view text) const
{
    return AcceptsFamilyText(ParseFrequency, text, constraint, unitKind);
}

std::string unitFreq::BaseText(bool exact) const
{
    return exact ? FormatExact(value) + " hz"
                 : FormatValue(value, ValueType::Frequency, EHHZ, timePrecision, true);
}

// ---- wave values and positions ----------------------------------------------------------------

std::string unitWaveVal::ToText() const
{
    if (unitKind == EHNone || unitKind == EHPerc || unitKind == EHValue)
        return FormatValue(value, ValueType::WaveValue, unitKind, timePrecision, true);
    return BaseText(false);
}

bool unitWaveVal::FromText(const std::string& text, const std::string& label, std::string& message)
{
    return TakeFamilyText(ParseWaveValue, text, constraint, label, value, unitKind, message);
}

bool unitWaveVal::Accepts(std::string_view text) const
{
    return AcceptsFamilyText(ParseWaveValue, text, constraint, unitKind);
}

std::string unitWaveVal::BaseText(bool) const
{
    // The raw value: the one display unit that holds every sample exactly.
    return FormatValue(value, ValueType::WaveValue, EHValue, timePrecision, true);
}

std::string unitWavePosition::ToText() const
{
    double fromStart = fromEnd ? position - length : position;
    if (IsTimeUnit(unitKind) || IsLengthUnit(unitKind))
        return FormatValue(fromStart, ValueType::Time, unitKind, timePrecision, true);
    if (IsRelativeUnit(unitKind) && length > 0.0)
        return FormatValue(position / length, ValueType::PlaceInWindow, unitKind, timePrecision,
                           true);
    if (unitKind == EHNote && !fromEnd) {
        std::string name = NoteName(position, true);
        if (!name.empty())
            return name;
    }
    return BaseText(false);
}

bool unitWavePosition::FromText(const std::string& text, const std::string& label,
                                std::string& message)
{
    double parsed = 0.0;
    MeasureUnitKind kind = EHS;
    bool countFromEnd = false;
    std::string reason;
    if (!ParseWavePosition(text, constraint, length, parsed, kind, countFromEnd, reason)) {
        message = InLabel(label, reason);
        return false;
    }
    position = parsed;
    unitKind = kind;
    fromEnd = countFromEnd;
    return true;
}

void unitWavePosition::SetLength(double length)
{
    KV_SOFT_ASSERT(length > 0);
    if (IsRelativeUnit(unitKind) && this->length != 0.0)
        position = position * (length / this->length);
    this->length = length;
}

bool unitWavePosition::Accepts(std::string_view text) const
{
    double parsed = 0.0;
    MeasureUnitKind kind = EHS;
    bool countFromEnd = false;
    std::string reason;
    return ParseWavePosition(text, constraint, length, parsed, kind, countFromEnd, reason);
}

std::string unitWavePosition::BaseText(bool exact) const
{
    double fromStart = fromEnd ? position - length : position;
    return exact ? FormatExact(fromStart) + " s"
                 : FormatValue(fromStart, ValueType::Time, EHS, timePrecision, true);
}

// ---- colours ----------------------------------------------------------------------------------

std::string unitColor::ToText() const
{
    char buffer[16];
    std::snprintf(buffer, sizeof(buffer), "%06X", static_cast<unsigned>(color));
    return buffer;
}

bool unitColor::FromText(const std::string&, const std::string&, std::string&)
{
    KV_SOFT_ASSERT(false); // colours come from files and the colour dialog, never from typing
    return false;
}

bool unitColor::ReadXML(const TXMLItem* xmlElement, std::string& message, int32_t& line,
                        int32_t& column)
{
    if (!KV_SOFT_ASSERT(xmlElement != NULL))
        return false;
    line = xmlElement->GetLine();
    column = xmlElement->GetColumn();
    static const std::string noText;
    const std::string& text = xmlElement->IsText() ? xmlElement->GetText() : noText;
    int32_t colour = 0;
    if (!ParseHex(text, colour)) {
        // "Hexdecimal" kept as written.
        message = InLabel(xmlElement->GetElement(), "Invalid Hexdecimal value: \"" + text + "\".");
        return false;
    }
    color = colour;
    return true;
}

bool unitColor::Accepts(std::string_view text) const
{
    int32_t colour = 0;
    return ParseHex(text, colour);
}

std::string unitColor::BaseText(bool) const
{
    return ToText();
}

} // namespace kelvorn
