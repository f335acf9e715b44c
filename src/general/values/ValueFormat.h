#pragma once
// Writing values as text: a stored value in its display unit, and the digit rules beneath. Shown
// digits are cut, not rounded (kept: the texts in dialogs and files have always looked this way);
// a tenth of the last digit is added first so that a value read from such a text shows the same
// digits again. At most 15 significant digits are shown; bigger numbers are padded with zeros to
// the units place. A file stores exact digits where cut ones would not read back as the value.

#include "general/numeric/ValueTypes.h"

#include <string>

namespace kelvorn {

/// x with at least minDigBefore digits before the point (leading zeros), at least minDigAfter
/// and at most maxDigAfter after it (trailing zeros beyond minDigAfter are dropped, and no point
/// is written without a digit behind it). Not a finite x gives "***".
std::string FormatDigits(double x, int minDigBefore, int minDigAfter, int maxDigAfter);

/// x with `precisie` significant digits; with drop set trailing zeros are dropped (5 -> "5"),
/// otherwise kept (5 -> "5.000000" with precision 7).
std::string FormatPrecision(double x, int precisie, bool drop);

/// The precision that asks FormatValue for exact digits instead of cut ones: the number shown in
/// the unit is written as FormatExact writes it. Not for the clock and the frequency display.
inline constexpr int ExactDigits = 0;

/// The text of a value stored in the base unit of `type`, shown in `unit` with a blank and the
/// unit's suffix (" s", " hz", " %", ...). EHTime gives the clock text; a zero that the unit would
/// have to invert gives " * hz" and the like; EHNote, EHError and unknown units give "***".
/// dB and octave of a value that has no logarithm show the plain number instead.
std::string FormatValue(double x, ValueType type, MeasureUnitKind unit, int precisie, bool drop);

/// A time in seconds as a clock: "h:mm:ss.sssss", "m:ss.sssss" or "s.sssss s".
std::string FormatClock(double seconds);

/// The note name (such as "A5" or "C#-1") whose frequency (or, with period set, whose period
/// 1 / frequency) is exactly `value`, as reading that name gives it; an empty text when there is
/// no such note.
std::string NoteName(double value, bool period = false);

/// The shortest text that reads back as exactly x (such as "0.1" or "1e-20").
std::string FormatExact(double x);

} // namespace kelvorn
