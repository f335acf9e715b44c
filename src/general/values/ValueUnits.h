#pragma once
// Value objects: a number, the display unit in which it was last typed or is to be shown, and a
// range rule (constraint code) fixed by the class. Every parameter of a wave operation, every
// view property and every music and factory value a user can type is one of these. They are
// plain members of their owners, copied by value and used on the GUI thread only.
//
// A value formats itself (ToText), takes a typed text (FromText; SetText and SetTextMsg pass one
// ok flag through all fields of a dialog so that only the first bad field reports) and writes
// itself to, or reads itself from, one XML text element. A failed FromText leaves the object as
// it was and gives "In <label>: <reason>".
//
// A value's text is never empty: a display unit the class cannot show, or a note that is no
// longer a note's value, is shown in the class's base unit. The text written to a file reads
// back as the very same value: the shown text where it does, else exact digits (see StoredText).

#include "general/numeric/ValueTypes.h"
#include "general/xml/XMLElement.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvorn {

class unit
{
public:
    virtual ~unit() = default;

    /// The value as text in its display unit.
    virtual std::string ToText() const = 0;
    /// Nothing when ok is already false; otherwise FromText, and on failure the message under
    /// "Input Error" and ok set to false.
    virtual void SetTextMsg(bool& ok, const std::string& text, const std::string& label);
    /// As SetTextMsg without the box.
    virtual void SetText(bool& ok, const std::string& text, const std::string& label);
    /// Parses a typed text; on failure false, "In " + label + ": " + the reason, and the object
    /// unchanged.
    virtual bool FromText(const std::string& text, const std::string& label,
                          std::string& message) = 0;
    /// Appends a text element `name` holding StoredText().
    virtual void AddToXML(TXMLComplexElement& parent, const std::string& name) const;
    /// Reads the value from a text element: its line and column go to the out parameters, its
    /// name is the label of the message. A complex element reads as an empty text.
    virtual bool ReadXML(const TXMLItem* xmlElement, std::string& message, int32_t& line,
                         int32_t& column);

    /// The text a file stores, which FromText reads as this very value (and which that value
    /// writes again): ToText where it reads back so, else exact digits in the display unit, else
    /// the base unit's text, cut or exact. The clock and the frequency display, which are only
    /// shown, are stored in the base unit. Only a value its owner set outside the class's range
    /// gets a text that does not read back: its exact digits in the base unit.
    std::string StoredText() const;

    MeasureUnitKind GetUnit() const { return unitKind; }
    void SetUnit(MeasureUnitKind kind) { unitKind = kind; }
    uint8_t GetConstraint() const { return constraint; }

protected:
    unit(MeasureUnitKind kind, uint8_t constraintCode) : unitKind(kind), constraint(constraintCode)
    {
    }
    unit(const unit&) = default;
    unit& operator=(const unit&) = default;

    /// Whether FromText would take the text as this very value; the object is left alone.
    virtual bool ReadsBack(std::string_view text) const = 0;
    /// The value as a number, for TextOf.
    virtual double Number() const = 0;
    /// The unit in which the class holds its value, which shows every value it can hold.
    virtual MeasureUnitKind BaseUnit() const = 0;
    /// x shown in `kind` as ToText would show it, or (exact) with ExactDigits.
    virtual std::string TextOf(double x, MeasureUnitKind kind, bool exact) const = 0;

    MeasureUnitKind unitKind;
    uint8_t constraint;
};

// ---- factors --------------------------------------------------------------------------------

/// A plain number (none, %, dB, octave, degrees when shown). Constraint 0.
class unitFactor : public unit
{
public:
    unitFactor() : unitFactor(0.0, EHNone) {}
    unitFactor(double factor, MeasureUnitKind kind) : unitFactor(factor, kind, 0) {}

    std::string ToText() const override;
    bool FromText(const std::string& text, const std::string& label, std::string& message) override;
    virtual double GetValue() const { return value; }
    /// Stores the value; the constraint classes then run CheckLogUnit.
    virtual void SetValue(double factor) { value = factor; }
    /// FormatDigits of the value, whatever the display unit.
    virtual std::string ToTextDigits(int minDigBefore, int minDigAfter, int maxDigAfter) const;
    /// A dB or octave display unit falls back to none for a value that has no logarithm (0,
    /// negative or not a number).
    void CheckLogUnit();

protected:
    unitFactor(double factor, MeasureUnitKind kind, uint8_t constraintCode)
        : unit(kind, constraintCode), value(factor)
    {
    }
    void SetValueChecked(double factor)
    {
        value = factor;
        CheckLogUnit();
    }
    virtual bool Parse(std::string_view text, double& parsed, MeasureUnitKind& kind,
                       std::string& reason) const;
    virtual ValueType Type() const { return ValueType::Factor; }
    bool ReadsBack(std::string_view text) const override;
    double Number() const override { return value; }
    MeasureUnitKind BaseUnit() const override { return EHNone; }
    std::string TextOf(double x, MeasureUnitKind kind, bool exact) const override;

    double value;
};

/// x >= 0.
class unitFactorPos : public unitFactor
{
public:
    unitFactorPos(double factor, MeasureUnitKind kind) : unitFactor(factor, kind, 3) {}
    void SetValue(double factor) override { SetValueChecked(factor); }
};

/// x != 0.
class unitFactorNotNul : public unitFactor
{
public:
    unitFactorNotNul(double factor, MeasureUnitKind kind) : unitFactor(factor, kind, 1) {}
    void SetValue(double factor) override { SetValueChecked(factor); }
};

/// x > 0.
class unitFactorPosMore : public unitFactor
{
public:
    unitFactorPosMore(double factor, MeasureUnitKind kind) : unitFactor(factor, kind, 5) {}
    void SetValue(double factor) override { SetValueChecked(factor); }
};

/// 0 < x < 1.
class unitFactorPosMoreLess1 : public unitFactor
{
public:
    unitFactorPosMoreLess1() : unitFactorPosMoreLess1(0.0, EHNone) {}
    unitFactorPosMoreLess1(double factor, MeasureUnitKind kind) : unitFactor(factor, kind, 7) {}
    void SetValue(double factor) override { SetValueChecked(factor); }
};

/// 0 <= x <= 1.
class unitFactorPosMax1 : public unitFactor
{
public:
    unitFactorPosMax1() : unitFactorPosMax1(0.0, EHNone) {}
    unitFactorPosMax1(double factor, MeasureUnitKind kind) : unitFactor(factor, kind, 6) {}
    void SetValue(double factor) override { SetValueChecked(factor); }
};

/// A fraction of a period, typed as a number, a percentage or degrees; a negative one is
/// raised by whole periods. Constraint 0.
class unitAngleFactor : public unitFactor
{
public:
    unitAngleFactor() : unitAngleFactor(0.0, EHNone) {}
    unitAngleFactor(double factor, MeasureUnitKind kind) : unitAngleFactor(factor, kind, 0) {}
    void SetValue(double factor) override { SetValueChecked(factor); }

protected:
    unitAngleFactor(double factor, MeasureUnitKind kind, uint8_t constraintCode)
        : unitFactor(factor, kind, constraintCode)
    {
    }
    bool Parse(std::string_view text, double& parsed, MeasureUnitKind& kind,
               std::string& reason) const override;
};

/// -1 <= x <= 1.
class unitAngleFactorMin1Pos1 : public unitAngleFactor
{
public:
    unitAngleFactorMin1Pos1(double factor, MeasureUnitKind kind) : unitAngleFactor(factor, kind, 10)
    {
    }
};

/// 0 <= x < 1.
class unitAngleFactorPosLess1 : public unitAngleFactor
{
public:
    unitAngleFactorPosLess1() : unitAngleFactorPosLess1(0.0, EHNone) {}
    unitAngleFactorPosLess1(double factor, MeasureUnitKind kind) : unitAngleFactor(factor, kind, 8)
    {
    }
};

/// A balance from -1 (left) to 1 (right), typed as a number, a percentage or degrees (-90..90).
class unitBalAngleFactor : public unitFactor
{
public:
    unitBalAngleFactor() : unitBalAngleFactor(0.0, EHNone) {}
    unitBalAngleFactor(double factor, MeasureUnitKind kind) : unitFactor(factor, kind, 10) {}
    void SetValue(double factor) override { SetValueChecked(factor); }

protected:
    bool Parse(std::string_view text, double& parsed, MeasureUnitKind& kind,
               std::string& reason) const override;
    ValueType Type() const override { return ValueType::BalanceAngle; }
};

// ---- integers -------------------------------------------------------------------------------

/// A signed 32-bit integer without unit. Constraint 0.
class unitInteger : public unit
{
public:
    unitInteger() : unitInteger(0, EHNone) {}
    unitInteger(int32_t integer, MeasureUnitKind kind) : unitInteger(integer, kind, 0) {}

    std::string ToText() const override;
    bool FromText(const std::string& text, const std::string& label, std::string& message) override;
    int32_t GetValue() const { return value; }
    virtual void SetValue(int32_t integer) { value = integer; }

protected:
    unitInteger(int32_t integer, MeasureUnitKind kind, uint8_t constraintCode)
        : unit(kind, constraintCode), value(integer)
    {
    }
    virtual bool Parse(std::string_view text, int32_t& parsed, std::string& reason) const;
    bool ReadsBack(std::string_view text) const override;
    double Number() const override { return value; }
    MeasureUnitKind BaseUnit() const override { return EHNone; }
    std::string TextOf(double x, MeasureUnitKind kind, bool exact) const override;

    int32_t value;
};

/// x >= 0.
class unitIntegerPos : public unitInteger
{
public:
    unitIntegerPos() : unitIntegerPos(0, EHNone) {}
    unitIntegerPos(int32_t integer, MeasureUnitKind kind) : unitInteger(integer, kind, 3) {}
};

/// x > 0.
class unitIntegerPosMore : public unitInteger
{
public:
    unitIntegerPosMore(int32_t integer, MeasureUnitKind kind) : unitInteger(integer, kind, 5) {}
};

/// Digits alone (no sign), more than a bound the owner sets after construction (0 at first).
class unitIntegerMoreUser : public unitInteger
{
public:
    unitIntegerMoreUser(int32_t integer, MeasureUnitKind kind) : unitInteger(integer, kind, 0) {}
    int32_t GetBound() const { return bound; }
    void SetBound(int32_t newBound) { bound = newBound; }

protected:
    bool Parse(std::string_view text, int32_t& parsed, std::string& reason) const override;

private:
    int32_t bound = 0;
};

// ---- physical quantities --------------------------------------------------------------------

/// A length in metres, shown in any length unit or, through the speed of sound, in s, ms, Hz
/// and kHz.
class unitFysDist : public unit
{
public:
    unitFysDist() : unitFysDist(0.0, EHM) {}
    unitFysDist(double metres, MeasureUnitKind kind) : unit(kind, 0), value(metres) {}

    std::string ToText() const override;
    bool FromText(const std::string& text, const std::string& label, std::string& message) override;
    double GetValue() const { return value; }
    virtual void SetValue(double metres) { value = metres; }

protected:
    bool ReadsBack(std::string_view text) const override;
    double Number() const override { return value; }
    MeasureUnitKind BaseUnit() const override { return EHM; }
    std::string TextOf(double x, MeasureUnitKind kind, bool exact) const override;

    double value;
};

/// A speed in metres per second: m/s, km/h, mph, mach, knots.
class unitFysSpeed : public unit
{
public:
    unitFysSpeed() : unitFysSpeed(0.0, EHMpS) {}
    unitFysSpeed(double metresPerSecond, MeasureUnitKind kind)
        : unit(kind, 0), value(metresPerSecond)
    {
    }

    std::string ToText() const override;
    bool FromText(const std::string& text, const std::string& label, std::string& message) override;
    double GetValue() const { return value; }
    virtual void SetValue(double metresPerSecond) { value = metresPerSecond; }

protected:
    bool ReadsBack(std::string_view text) const override;
    double Number() const override { return value; }
    MeasureUnitKind BaseUnit() const override { return EHMpS; }
    std::string TextOf(double x, MeasureUnitKind kind, bool exact) const override;

    double value;
};

/// A time in seconds: s, ms, Hz, kHz, a clock (EHTime, shown only), a length or a note.
/// Constraint 0.
class unitTime : public unit
{
public:
    unitTime() : unitTime(0.0, EHS) {}
    unitTime(double seconds, MeasureUnitKind kind) : unitTime(seconds, kind, 0) {}

    std::string ToText() const override;
    bool FromText(const std::string& text, const std::string& label, std::string& message) override;
    double GetValue() const { return value; }
    virtual void SetValue(double seconds) { value = seconds; }

protected:
    unitTime(double seconds, MeasureUnitKind kind, uint8_t constraintCode)
        : unit(kind, constraintCode), value(seconds)
    {
    }
    bool ReadsBack(std::string_view text) const override;
    double Number() const override { return value; }
    MeasureUnitKind BaseUnit() const override { return EHS; }
    std::string TextOf(double x, MeasureUnitKind kind, bool exact) const override;

    double value;
};

/// x >= 0.
class unitTimePos : public unitTime
{
public:
    unitTimePos() : unitTimePos(0.0, EHS) {}
    unitTimePos(double seconds, MeasureUnitKind kind) : unitTime(seconds, kind, 3) {}
};

/// x > 0.
class unitTimePosMore : public unitTime
{
public:
    unitTimePosMore(double seconds, MeasureUnitKind kind) : unitTime(seconds, kind, 5) {}
};

/// A frequency in hertz: Hz, kHz, s, ms, the frequency display (EHFreq, shown only), a length
/// or a note. Its owner reads and writes the fields directly.
class unitFreq : public unit
{
public:
    unitFreq() : unitFreq(0.0, EHHZ) {}
    unitFreq(double hertz, MeasureUnitKind kind) : unit(kind, 0), value(hertz) {}

    std::string ToText() const override;
    bool FromText(const std::string& text, const std::string& label, std::string& message) override;
    /// As ToText with the given number of significant digits (at least 3 for EHFreq).
    std::string ToTextPrecision(int precision) const;

    double value;
    uint8_t flag = 0; // the owner's one-byte mark; cleared by the constructors

protected:
    bool ReadsBack(std::string_view text) const override;
    double Number() const override { return value; }
    MeasureUnitKind BaseUnit() const override { return EHHZ; }
    std::string TextOf(double x, MeasureUnitKind kind, bool exact) const override;

private:
    std::string Text(double x, MeasureUnitKind kind, int precision) const;
};

/// A 16-bit sample value: none (-1..1), % (-100..100) or $ (the raw value). Its owner reads and
/// writes the value directly. Constraint 0.
class unitWaveVal : public unit
{
public:
    unitWaveVal() : unitWaveVal(0, EHNone) {}
    unitWaveVal(int16_t sample, MeasureUnitKind kind) : unitWaveVal(sample, kind, 0) {}

    std::string ToText() const override;
    bool FromText(const std::string& text, const std::string& label, std::string& message) override;

    int16_t value;

protected:
    unitWaveVal(int16_t sample, MeasureUnitKind kind, uint8_t constraintCode)
        : unit(kind, constraintCode), value(sample)
    {
    }
    bool ReadsBack(std::string_view text) const override;
    double Number() const override { return value; }
    MeasureUnitKind BaseUnit() const override { return EHValue; }
    std::string TextOf(double x, MeasureUnitKind kind, bool exact) const override;
};

/// x > 0.
class unitWaveValPosMore : public unitWaveVal
{
public:
    unitWaveValPosMore(int16_t sample, MeasureUnitKind kind) : unitWaveVal(sample, kind, 5) {}
};

/// A position in seconds within a wave of known length, typed in time units, relative to the
/// length (none, %, degrees) or as a negative time counted from the end (fromEnd set; the
/// position is then length + the typed time). Its owner reads and writes the fields directly
/// and must give it a length before it can parse or show a relative position.
class unitWavePosition : public unit
{
public:
    unitWavePosition(double seconds, MeasureUnitKind kind, bool countFromEnd)
        : unit(kind, 0), position(seconds), fromEnd(countFromEnd)
    {
    }

    std::string ToText() const override;
    bool FromText(const std::string& text, const std::string& label, std::string& message) override;
    /// Requires length > 0 (soft assertion). A position shown relative to the wave (none, %,
    /// degrees) keeps its place relative to it: it is scaled by the new length over the old.
    void SetLength(double length);

    double position;
    double length = 0.0;
    bool fromEnd;

protected:
    bool ReadsBack(std::string_view text) const override;
    double Number() const override { return position; }
    MeasureUnitKind BaseUnit() const override { return EHS; }
    std::string TextOf(double x, MeasureUnitKind kind, bool exact) const override;
};

/// A colour 0x00BBGGRR, written as six upper-case hexadecimal digits. It is never typed:
/// FromText fails a soft assertion.
class unitColor : public unit
{
public:
    unitColor(int32_t colour, MeasureUnitKind kind) : unit(kind, 0), color(colour) {}

    std::string ToText() const override;
    bool FromText(const std::string& text, const std::string& label, std::string& message) override;
    /// The element text as a hexadecimal number (up to eight digits); otherwise false and
    /// "In <name>: Invalid Hexdecimal value: \"<text>\"."
    bool ReadXML(const TXMLItem* xmlElement, std::string& message, int32_t& line,
                 int32_t& column) override;

    int32_t color;

protected:
    bool ReadsBack(std::string_view text) const override;
    double Number() const override { return color; }
    MeasureUnitKind BaseUnit() const override { return EHNone; }
    std::string TextOf(double x, MeasureUnitKind kind, bool exact) const override;
};

} // namespace kelvorn
