#include "general/values/ValueUnits.h"

#include "general/GuiMessages.h"

#include "general/Assert.h"
#include "general/Messages.h"
#include "general/values/ValueFormat.h"
#include "general/values/ValueText.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

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
bool FamilyReadsBack(FamilyParser<Value> parse, std::string_view text, uint8_t constraint,
                     Value value)
{
    Value parsed = 0;
    MeasureUnitKind kind = EHNone;
    std::string reason;
    return parse(text, constraint, parsed, kind, reason) && parsed == value;
}

// How many places in its last digit a value is moved, either way, in search of exact digits in
// a unit that converts it.
constexpr int exactSearch = 4;

double Moved(double x, int steps)
{
    double toward = steps < 0 ? -HUGE_VAL : HUGE_VAL;
    for (int i = 0; i < std::abs(steps); ++i)
        x = std::nextafter(x, toward);
    return x;
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
    MeasureUnitKind shown = unitKind == EHTime || unitKind == EHFreq ? BaseUnit() : unitKind;
    for (MeasureUnitKind kind : {shown, BaseUnit()}) {
        // The shown text where it reads back as this value: what files have always held.
        std::string text = TextOf(Number(), kind, false);
        if (ReadsBack(text))
            return text;
        // Cut digits would change the value at every save. A unit that converts rounds on the
        // way out and on the way in, so the exact digits of the neighbouring values are tried
        // too: one of them may read back as this value where its own do not.
        for (int i = 0; i <= 2 * exactSearch; ++i) {
            text = TextOf(Moved(Number(), i % 2 == 1 ? (i + 1) / 2 : -i / 2), kind, true);
            if (ReadsBack(text))
                return text;
        }
    }
    return TextOf(Number(), BaseUnit(), true);
}

// ---- factors ----------------------------------------------------------------------------------

std::string unitFactor::ToText() const
{
    return TextOf(value, unitKind, false);
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

bool unitFactor::ReadsBack(std::string_view text) const
{
    double parsed = 0.0;
    MeasureUnitKind kind = EHNone;
    std::string reason;
    return Parse(text, parsed, kind, reason) && parsed == value;
}

std::string unitFactor::TextOf(double x, MeasureUnitKind kind, bool exact) const
{
    switch (kind) {
    case EHNone:
    case EHPerc:
    case EHDB:
    case EHOctave:
    case EHAngle:
        break;
    default:
        kind = EHNone;
    }
    return FormatValue(x, Type(), kind, exact ? ExactDigits : factorPrecision, true);
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
    return TextOf(value, unitKind, false);
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

bool unitInteger::ReadsBack(std::string_view text) const
{
    int32_t parsed = 0;
    std::string reason;
    return Parse(text, parsed, reason) && parsed == value;
}

std::string unitInteger::TextOf(double x, MeasureUnitKind, bool) const
{
    // Every 32-bit integer shows all its digits.
    return FormatValue(x, ValueType::Integer, EHNone, 7, true);
}

bool unitIntegerMoreUser::Parse(std::string_view text, int32_t& parsed, std::string& reason) const
{
    return ParseIntegerBound(text, 5, bound, parsed, reason);
}

// ---- lengths and speeds -----------------------------------------------------------------------

std::string unitFysDist::ToText() const
{
    return TextOf(value, unitKind, false);
}

bool unitFysDist::FromText(const std::string& text, const std::string& label, std::string& message)
{
    return TakeFamilyText(ParseLength, text, constraint, label, value, unitKind, message);
}

bool unitFysDist::ReadsBack(std::string_view text) const
{
    return FamilyReadsBack(ParseLength, text, constraint, value);
}

std::string unitFysDist::TextOf(double x, MeasureUnitKind kind, bool exact) const
{
    if (!IsLengthUnit(kind) && !IsTimeUnit(kind))
        kind = EHM;
    return FormatValue(x, ValueType::FysicalLength, kind, exact ? ExactDigits : factorPrecision,
                       true);
}

std::string unitFysSpeed::ToText() const
{
    return TextOf(value, unitKind, false);
}

bool unitFysSpeed::FromText(const std::string& text, const std::string& label, std::string& message)
{
    return TakeFamilyText(ParseSpeed, text, constraint, label, value, unitKind, message);
}

bool unitFysSpeed::ReadsBack(std::string_view text) const
{
    return FamilyReadsBack(ParseSpeed, text, constraint, value);
}

std::string unitFysSpeed::TextOf(double x, MeasureUnitKind kind, bool exact) const
{
    if (!IsSpeedUnit(kind))
        kind = EHMpS;
    return FormatValue(x, ValueType::FysicalSpeed, kind, exact ? ExactDigits : factorPrecision,
                       true);
}

// ---- time and frequency -----------------------------------------------------------------------

std::string unitTime::ToText() const
{
    return TextOf(value, unitKind, false);
}

bool unitTime::FromText(const std::string& text, const std::string& label, std::string& message)
{
    return TakeFamilyText(ParseTime, text, constraint, label, value, unitKind, message);
}

bool unitTime::ReadsBack(std::string_view text) const
{
    return FamilyReadsBack(ParseTime, text, constraint, value);
}

std::string unitTime::TextOf(double x, MeasureUnitKind kind, bool exact) const
{
    int precision = exact ? ExactDigits : timePrecision;
    if (IsTimeUnit(kind) || (kind == EHTime && !exact) || IsLengthUnit(kind))
        return FormatValue(x, ValueType::Time, kind, precision, true);
    if (kind == EHNote) {
        std::string name = NoteName(x, true);
        if (!name.empty())
            return name;
    }
    return FormatValue(x, ValueType::Time, EHS, precision, true);
}

std::string unitFreq::ToText() const
{
    return ToTextPrecision(timePrecision);
}

std::string unitFreq::ToTextPrecision(int precision) const
{
    return Text(value, unitKind, precision);
}

std::string unitFreq::Text(double x, MeasureUnitKind kind, int precision) const
{
    if (IsTimeUnit(kind) || (kind == EHFreq && precision != ExactDigits) || IsLengthUnit(kind))
        return FormatValue(x, ValueType::Frequency, kind, precision, true);
    if (kind == EHNote) {
        std::string name = NoteName(x);
        if (!name.empty())
            return name;
    }
    return FormatValue(x, ValueType::Frequency, EHHZ, precision, true);
}

bool unitFreq::FromText(const std::string& text, const std::string& label, std::string& message)
{
    return TakeFamilyText(ParseFrequency, text, constraint, label, value, unitKind, message);
}

bool unitFreq::ReadsBack(std::string_view text) const
{
    return FamilyReadsBack(ParseFrequency, text, constraint, value);
}

std::string unitFreq::TextOf(double x, MeasureUnitKind kind, bool exact) const
{
    return Text(x, kind, exact ? ExactDigits : timePrecision);
}

// ---- wave values and positions ----------------------------------------------------------------

std::string unitWaveVal::ToText() const
{
    return TextOf(value, unitKind, false);
}

bool unitWaveVal::FromText(const std::string& text, const std::string& label, std::string& message)
{
    return TakeFamilyText(ParseWaveValue, text, constraint, label, value, unitKind, message);
}

bool unitWaveVal::ReadsBack(std::string_view text) const
{
    return FamilyReadsBack(ParseWaveValue, text, constraint, value);
}

std::string unitWaveVal::TextOf(double x, MeasureUnitKind kind, bool exact) const
{
    // The raw value is the one display unit that holds every sample exactly.
    if (kind != EHNone && kind != EHPerc)
        kind = EHValue;
    return FormatValue(x, ValueType::WaveValue, kind, exact ? ExactDigits : timePrecision, true);
}

std::string unitWavePosition::ToText() const
{
    return TextOf(position, unitKind, false);
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

bool unitWavePosition::ReadsBack(std::string_view text) const
{
    double parsed = 0.0;
    MeasureUnitKind kind = EHS;
    bool countFromEnd = false;
    std::string reason;
    // The place is the value; a relative unit keeps it without the counting from the end.
    return ParseWavePosition(text, constraint, length, parsed, kind, countFromEnd, reason) &&
           parsed == position;
}

std::string unitWavePosition::TextOf(double x, MeasureUnitKind kind, bool exact) const
{
    int precision = exact ? ExactDigits : timePrecision;
    double fromStart = fromEnd ? x - length : x;
    if (IsTimeUnit(kind) || IsLengthUnit(kind))
        return FormatValue(fromStart, ValueType::Time, kind, precision, true);
    if (IsRelativeUnit(kind) && length > 0.0)
        return FormatValue(x / length, ValueType::PlaceInWindow, kind, precision, true);
    if (kind == EHNote && !fromEnd) {
        std::string name = NoteName(x, true);
        if (!name.empty())
            return name;
    }
    return FormatValue(fromStart, ValueType::Time, EHS, precision, true);
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

bool unitColor::ReadsBack(std::string_view text) const
{
    int32_t colour = 0;
    return ParseHex(text, colour) && colour == color;
}

std::string unitColor::TextOf(double, MeasureUnitKind, bool) const
{
    return ToText();
}

} // namespace kelvorn
