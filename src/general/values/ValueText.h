#pragma once
// Reading values from text: a number with an optional measure unit, converted to the value's
// base unit (seconds, hertz, metres, metres per second, a factor or a raw sample value) and
// checked against the value's range rule. Every number typed into a dialog and every number
// stored as text in a file comes through here.
//
// Texts are 8-bit. The low-level readers work on a cursor: a string_view whose front they
// consume. The family parsers take a whole text and report a failure as false plus the bare
// reason in `message`; they write their out parameters only on success. The value classes put
// "In <label>: " in front of the reason.
//
// Every value a parser hands back is finite: a number or a conversion that overflows is refused
// with OutOfRangeMessage, so no formatter ever sees an infinity or not-a-number.

#include "general/numeric/ValueTypes.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvorn {

/// Speed of sound in m/s: a length L is the time L / 343 and the frequency 343 / L.
inline constexpr double SpeedOfSound = 343.0;

/// The reason given for a number (or its conversion to the base unit) beyond what a double holds.
inline constexpr std::string_view OutOfRangeMessage = "Input value is out of range.";

// ---- the cursor readers -------------------------------------------------------------------

/// Advances over spaces and tabs.
void SkipBlanks(std::string_view& cursor);

/// Reads decimal digits (value = 10 * value + digit, starting from 0); count is how many.
/// Always true.
bool ReadDigits(std::string_view& cursor, double& value, int64_t& count);

/// An optional '+', then an optional '-', then ReadDigits; the value is negated after a '-'.
bool ReadSignedDigits(std::string_view& cursor, double& value, int64_t& count);

/// Blanks, 'e' or 'E', blanks, a mandatory '+' or '-', blanks, at least one digit. True and the
/// cursor behind it when all is there; otherwise false and the cursor where it was (so 1e5 has
/// no exponent: its "e5" is left for the unit reader).
bool ReadExponent(std::string_view& cursor, double& exponent);

/// Reads a number: a '-' or '+' (blanks may follow it, none may precede it), whole digits, then
/// either an exponent, or '.' or ',' with fraction digits and an exponent, or '/' and the digits
/// of a divisor. Messages: "Input has no value.", "Input has no value before '/'.",
/// "Input has no value after '/'.", "Broke is invalid." and OutOfRangeMessage.
bool ParseNumber(std::string_view& cursor, double& value, std::string& message);

/// The unit at the cursor, matched as a prefix of the upper-cased rest in a fixed order (so
/// "minutes" reads as metres); the cursor moves over the matched unit text only. An empty rest
/// is EHNone, an unknown one EHError.
MeasureUnitKind ReadUnitSuffix(std::string_view& cursor);

/// ParseNumber, SkipBlanks, ReadUnitSuffix. False only when ParseNumber fails.
bool ParseValueAndUnit(std::string_view text, double& value, MeasureUnitKind& unit,
                       std::string& message);

/// The frequency of a note of the semitone (0 = C ... 11 = B) in the octave: C5 is 523.26 Hz.
double NoteFrequency(int semitone, int octave);

/// Reads a note name: a letter 'A' to 'G' (either case), an optional '#' (not after 'B' or 'E'),
/// an optional signed octave from -2 to 12 (5 when absent). Nothing after it is checked.
bool ParseNoteFrequency(std::string_view& cursor, double& frequency, std::string& message);

/// Whether the time, frequency and wave-position parsers read the text as a note: it begins,
/// without a leading blank, with a letter 'a' to 'g' or 'A' to 'G'.
bool StartsWithNote(std::string_view text);

// ---- range rules --------------------------------------------------------------------------

/// The range rule of constraint code 0 to 10 (codes above 10 always pass); unit is the display
/// unit just typed, which picks the wording of codes 8 and 10.
bool CheckConstraint(uint8_t constraint, double x, std::string& message, MeasureUnitKind unit);

/// Relation 1 to 5 of x to an integer bound (!=, <=, >=, <, >). Any other relation fails a soft
/// assertion and passes.
bool CheckUserBound(uint8_t relation, double x, int32_t bound, std::string& message);

// ---- the family parsers -------------------------------------------------------------------
// Each returns the value in its base unit and the typed unit, which becomes the display unit.

/// Factor: none, '%', dB, octave.
bool ParseFactor(std::string_view text, uint8_t constraint, double& value, MeasureUnitKind& unit,
                 std::string& message);
/// Angle factor: none, '%', degrees ('); a negative value is raised by whole periods to [0, 1).
bool ParseAngleFactor(std::string_view text, uint8_t constraint, double& value,
                      MeasureUnitKind& unit, std::string& message);
/// Balance: none, '%', degrees (' , x / 90 within -90..90), a result within -1..1.
bool ParseBalance(std::string_view text, uint8_t constraint, double& value, MeasureUnitKind& unit,
                  std::string& message);
/// Length in metres: the lengths, and s, ms, Hz, kHz through the speed of sound.
bool ParseLength(std::string_view text, uint8_t constraint, double& value, MeasureUnitKind& unit,
                 std::string& message);
/// Speed in m/s: m/s, km/h, mph, mach, knots.
bool ParseSpeed(std::string_view text, uint8_t constraint, double& value, MeasureUnitKind& unit,
                std::string& message);
/// Time in seconds: s, ms, Hz, kHz, the lengths, or a note (display unit EHNote).
bool ParseTime(std::string_view text, uint8_t constraint, double& value, MeasureUnitKind& unit,
               std::string& message);
/// Frequency in hertz: Hz, kHz, s, ms, the lengths, or a note (display unit EHNote).
bool ParseFrequency(std::string_view text, uint8_t constraint, double& value,
                    MeasureUnitKind& unit, std::string& message);
/// A position in seconds within a wave of `length` seconds: none and '%' relative to the length,
/// degrees of the length, s, ms, Hz, kHz, the lengths, or a note. A position must lie before the
/// end of the wave and not before the start of the previous one; a negative position counts from
/// the end: it is returned as length + value with fromEnd set.
bool ParseWavePosition(std::string_view text, uint8_t constraint, double length, double& position,
                       MeasureUnitKind& unit, bool& fromEnd, std::string& message);
/// A 16-bit sample value: none (-1..1), '%' (-100..100), '$' (the raw value).
bool ParseWaveValue(std::string_view text, uint8_t constraint, int16_t& value,
                    MeasureUnitKind& unit, std::string& message);
/// A signed 32-bit integer without unit; blanks may follow but not precede the digits. A text
/// beyond 32 bits is refused like any other bad text: "Invalid value: \"<text>\"."
bool ParseInteger(std::string_view text, uint8_t constraint, int32_t& value, std::string& message);
/// Digits alone (blanks and control characters around them are trimmed, no sign), then
/// CheckUserBound(relation, bound).
bool ParseIntegerBound(std::string_view text, uint8_t relation, int32_t bound, int32_t& value,
                       std::string& message);

} // namespace kelvorn
