#include "general/values/ValueText.h"

#include "general/Assert.h"
#include "general/values/ValueFormat.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace kelvorn {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Blanks and control characters, as trimmed around an integer.
bool IsTrimmed(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsTrimmed(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsTrimmed(text.back()))
        text.remove_suffix(1);
    return text;
}

bool CheckFinite(double value, std::string& message)
{
    if (std::isfinite(value))
        return true;
    message = OutOfRangeMessage;
    return false;
}

// The powers of ten that a double holds exactly.
constexpr double exactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Files hold numbers as digits with an optional point and more digits, and nothing after them:
// such a text of at most 15 digits is read at once, to the very double that ComposeNumber makes
// of it. Any other text is left to the general reading.
bool ReadShortDecimal(std::string_view& cursor, double sign, double& value)
{
    const size_t n = cursor.size();
    if (n == 0 || n > 16)
        return false;
    int64_t digits = 0;
    size_t point = n;
    for (size_t i = 0; i < n; ++i) {
        const char c = cursor[i];
        if (IsDigit(c))
            digits = 10 * digits + (c - '0');
        else if (c == '.' && point == n)
            point = i;
        else
            return false;
    }
    const size_t fraction = point == n ? 0 : n - 1 - point;
    const size_t count = point == n ? n : n - 1;
    if (count == 0 || count > 15)
        return false;
    const auto mantissa = static_cast<double>(digits);
    value = sign * (fraction > 0 ? mantissa / exactPowers[fraction] : mantissa);
    cursor.remove_prefix(n);
    return true;
}

// A short decimal with a minus sign at most and nothing after it, as files hold their numbers: read
// as ParseValueAndUnit reads it, a number without a unit.
bool ReadPlainNumber(std::string_view text, double& value)
{
    double sign = 1.0;
    if (!text.empty() && text.front() == '-') {
        sign = -1.0;
        text.remove_prefix(1);
    }
    return ReadShortDecimal(text, sign, value);
}

// A minus sign at most and up to nine digits, the whole text: the integers files hold.
bool ReadShortInteger(std::string_view text, int32_t& value)
{
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty() || text.size() > 9)
        return false;
    int32_t digits = 0;
    for (const char c : text) {
        if (!IsDigit(c))
            return false;
        digits = 10 * digits + (c - '0');
    }
    value = negative ? -digits : digits;
    return true;
}

// sign * whole.fraction * 10^exponent, correctly rounded. The digits are handed to from_chars as
// they were typed, so 0.3 reads as the double nearest 0.3 and a hundred-digit number does not
// overflow on the way.
bool ComposeNumber(double sign, std::string_view whole, std::string_view fraction, double exponent,
                   double& value, std::string& message)
{
    while (!whole.empty() && whole.front() == '0')
        whole.remove_prefix(1);
    // The decimal exponent of the leading digit, to tell an overflow from an underflow.
    int64_t lead = 0;
    if (!whole.empty()) {
        lead = static_cast<int64_t>(whole.size());
    } else {
        size_t zeros = 0;
        while (zeros < fraction.size() && fraction[zeros] == '0')
            ++zeros;
        if (zeros == fraction.size()) {
            value = sign * 0.0;
            return true;
        }
        lead = -static_cast<int64_t>(zeros);
    }
    // Beyond this the result is 0 or out of range whatever the digits say.
    constexpr double exponentLimit = 1e9;
    if (exponent > exponentLimit)
        exponent = exponentLimit;
    if (exponent < -exponentLimit)
        exponent = -exponentLimit;
    auto exp10 = static_cast<int64_t>(exponent);

    // Up to 15 digits make an integer that a double holds exactly, and so does a power of ten up
    // to 10^22: one multiplication or division of the two rounds once, to the same double the
    // general conversion below finds. Files hold such numbers nearly always.
    if (whole.size() + fraction.size() <= 15) {
        const int64_t scale = exp10 - static_cast<int64_t>(fraction.size());
        if (scale >= -22 && scale <= 22) {
            int64_t digits = 0;
            for (char c : whole)
                digits = 10 * digits + (c - '0');
            for (char c : fraction)
                digits = 10 * digits + (c - '0');
            const auto mantissa = static_cast<double>(digits);
            const double power = exactPowers[scale < 0 ? -scale : scale];
            value = sign * (scale < 0 ? mantissa / power : mantissa * power);
            return true;
        }
    }

    // Short numbers, nearly all of them, are composed on the stack.
    char local[96];
    std::string heap;
    size_t needed = whole.size() + fraction.size() + 24;
    char* begin = local;
    if (needed > sizeof(local)) {
        heap.resize(needed);
        begin = heap.data();
    }
    char* out = begin;
    if (whole.empty()) {
        *out++ = '0';
    } else {
        whole.copy(out, whole.size());
        out += whole.size();
    }
    if (!fraction.empty()) {
        *out++ = '.';
        fraction.copy(out, fraction.size());
        out += fraction.size();
    }
    *out++ = 'e';
    out = std::to_chars(out, begin + needed, exp10).ptr;

    double parsed = 0.0;
    auto result = std::from_chars(begin, out, parsed, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        if (lead + exp10 > 0) {
            message = OutOfRangeMessage;
            return false;
        }
        parsed = 0.0; // too small for a double: it reads as 0
    } else if (result.ec != std::errc() || result.ptr != out) {
        message = OutOfRangeMessage;
        return false;
    }
    value = sign * parsed;
    return CheckFinite(value, message);
}

struct UnitText
{
    std::string_view text;
    MeasureUnitKind unit;
};

// The order matters: the first text that is a prefix of the rest wins, so "KM/H" must come
// before "KM", "MS" before "M" and "NMILE" before "MILE".
constexpr std::array<UnitText, 23> unitTexts = {{
    {"OCTAVE", EHOctave}, {"NMILE", EHNautMile}, {"KNOTS", EHKnots}, {"MILE", EHMile},
    {"FEET", EHFeet},     {"INCH", EHInch},      {"KM/H", EHKMpH},   {"MACH", EHMach},
    {"KHZ", EHKHZ},       {"M/S", EHMpS},        {"MPH", EHMpH},     {"MS", EHMS},
    {"HZ", EHHZ},         {"DB", EHDB},          {"DM", EHDM},       {"CM", EHCM},
    {"MM", EHMM},         {"KM", EHKM},          {"%", EHPerc},      {"$", EHValue},
    {"S", EHS},           {"'", EHAngle},        {"M", EHM},
}};

// The unit texts of "You cannot use 0 with ..." for a length typed into a frequency.
std::string_view LengthText(MeasureUnitKind unit)
{
    switch (unit) {
    case EHM:
        return "m";
    case EHDM:
        return "dm";
    case EHCM:
        return "cm";
    case EHMM:
        return "mm";
    case EHKM:
        return "km";
    case EHMile:
        return "mile";
    case EHNautMile:
        return "nmile";
    case EHFeet:
        return "feet";
    case EHInch:
        return "inch";
    default:
        return "";
    }
}

bool ZeroRefused(double x, std::string_view unitText, std::string& message)
{
    if (x != 0.0)
        return false;
    message = "You cannot use 0 with '";
    message += unitText;
    message += "'.";
    return true;
}

struct FamilyTexts
{
    std::string_view unknown;
    std::string_view wrong;
};

constexpr FamilyTexts factorTexts = {"This unit does not exist, use: '%' or no unit.",
                                     "Wrong unit used, use: '%' or no unit."};
// Kept as written: the second text lacks the blank before "or".
constexpr FamilyTexts angleFactorTexts = {"This unit does not exist, use: '%', ' ' ' or no unit.",
                                          "Wrong unit used, use: '%', ' ' 'or no unit."};
constexpr FamilyTexts balanceTexts = {"This unit does not exist, use: '%', ' ' ' or no unit.",
                                      "Wrong unit used, use: '%', ' ' ' or no unit."};
constexpr FamilyTexts lengthTexts = {
    "This unit does not exist, use: 'm', 'dm', 'cm', 'mm', 'km', 'mile', 'nmile'.",
    "Wrong unit used, use: 'm', 'dm', 'cm', 'mm', 'km', 'mile', 'nmile'."};
constexpr FamilyTexts speedTexts = {
    "This unit does not exist, use: 'm/s', 'km/h', 'mph', 'mach', 'knots'.",
    "Wrong unit used, use: 'm/s', 'km/h', 'mph', 'mach', 'knots'."};
constexpr FamilyTexts timeTexts = {
    "This unit does not exist, use: 's', 'ms', 'Hz', 'kHz', 'm', 'dm', 'cm', 'mm', 'km', "
    "'mile', 'nmile', 'feet', 'inch'.",
    "Wrong unit used, use: 's', 'ms', 'Hz', 'kHz', 'm', 'dm', 'cm', 'mm', 'km', 'mile', "
    "'nmile', 'feet', 'inch'."};
constexpr FamilyTexts positionTexts = {"This unit does not exist, use: 's', 'ms', 'Hz', 'kHz'.",
                                       "Wrong unit used, use: 's', 'ms', 'Hz', 'kHz'."};
constexpr FamilyTexts waveValueTexts = {"This unit does not exist, use: '%', '$' or no unit.",
                                        "Wrong unit used, use: '%', '$' or no unit."};

bool UnitRefused(MeasureUnitKind unit, const FamilyTexts& texts, std::string& message)
{
    message = unit == EHError ? texts.unknown : texts.wrong;
    return false;
}

std::string InvalidInteger(std::string_view text)
{
    std::string message = "Invalid value: \"";
    message += text;
    message += "\".";
    return message;
}

} // namespace

void SkipBlanks(std::string_view& cursor)
{
    while (!cursor.empty() && IsBlank(cursor.front()))
        cursor.remove_prefix(1);
}

bool ReadDigits(std::string_view& cursor, double& value, int64_t& count)
{
    value = 0.0;
    count = 0;
    while (!cursor.empty() && IsDigit(cursor.front())) {
        value = 10.0 * value + (cursor.front() - '0');
        cursor.remove_prefix(1);
        ++count;
    }
    return true;
}

bool ReadSignedDigits(std::string_view& cursor, double& value, int64_t& count)
{
    if (!cursor.empty() && cursor.front() == '+')
        cursor.remove_prefix(1);
    bool negative = false;
    if (!cursor.empty() && cursor.front() == '-') {
        negative = true;
        cursor.remove_prefix(1);
    }
    ReadDigits(cursor, value, count);
    if (negative)
        value = -value;
    return true;
}

bool ReadExponent(std::string_view& cursor, double& exponent)
{
    std::string_view probe = cursor;
    SkipBlanks(probe);
    if (probe.empty() || (probe.front() != 'e' && probe.front() != 'E'))
        return false;
    probe.remove_prefix(1);
    SkipBlanks(probe);
    if (probe.empty() || (probe.front() != '+' && probe.front() != '-'))
        return false;
    bool negative = probe.front() == '-';
    probe.remove_prefix(1);
    SkipBlanks(probe);
    double digits = 0.0;
    int64_t count = 0;
    ReadDigits(probe, digits, count);
    if (count < 1)
        return false;
    exponent = negative ? -digits : digits;
    cursor = probe;
    return true;
}

bool ParseNumber(std::string_view& cursor, double& value, std::string& message)
{
    double sign = 1.0;
    if (!cursor.empty() && cursor.front() == '-') {
        sign = -1.0;
        cursor.remove_prefix(1);
    } else if (!cursor.empty() && cursor.front() == '+') {
        cursor.remove_prefix(1);
    }
    SkipBlanks(cursor);
    if (ReadShortDecimal(cursor, sign, value))
        return true;
    const char* wholeBegin = cursor.data();
    double whole = 0.0;
    int64_t wholeCount = 0;
    ReadDigits(cursor, whole, wholeCount);
    std::string_view wholeDigits(wholeBegin, static_cast<size_t>(wholeCount));
    SkipBlanks(cursor);

    char separator = cursor.empty() ? '\0' : cursor.front();
    if (separator != '.' && separator != ',' && separator != '/') {
        double exponent = 0.0;
        ReadExponent(cursor, exponent);
        if (wholeCount < 1) {
            message = "Input has no value.";
            return false;
        }
        return ComposeNumber(sign, wholeDigits, {}, exponent, value, message);
    }

    cursor.remove_prefix(1);
    const char* fractionBegin = cursor.data();
    double second = 0.0;
    int64_t secondCount = 0;
    ReadDigits(cursor, second, secondCount);

    if (separator == '/') {
        if (wholeCount == 0) {
            message = "Input has no value before '/'.";
            return false;
        }
        if (secondCount == 0) {
            message = "Input has no value after '/'.";
            return false;
        }
        if (second == 0.0) {
            message = "Broke is invalid."; // kept as written
            return false;
        }
        double quotient = sign * whole / second;
        if (!CheckFinite(quotient, message))
            return false;
        value = quotient;
        return true;
    }

    // ',' is a decimal point as well; a lone point reads 0, ".5" 0.5 and "5." 5.
    double exponent = 0.0;
    ReadExponent(cursor, exponent);
    return ComposeNumber(sign, wholeDigits,
                         std::string_view(fractionBegin, static_cast<size_t>(secondCount)),
                         exponent, value, message);
}

MeasureUnitKind ReadUnitSuffix(std::string_view& cursor)
{
    if (cursor.empty())
        return EHNone;
    for (const UnitText& candidate : unitTexts) {
        if (cursor.size() < candidate.text.size())
            continue;
        bool match = true;
        for (size_t i = 0; i < candidate.text.size() && match; ++i)
            match = AsciiUpper(cursor[i]) == candidate.text[i];
        if (match) {
            // Kept: whatever follows is ignored, so "5 minutes" reads as 5 metres.
            cursor.remove_prefix(candidate.text.size());
            return candidate.unit;
        }
    }
    return EHError;
}

bool ParseValueAndUnit(std::string_view text, double& value, MeasureUnitKind& unit,
                       std::string& message)
{
    double number = 0.0;
    if (!ParseNumber(text, number, message))
        return false;
    SkipBlanks(text);
    unit = ReadUnitSuffix(text);
    value = number;
    return true;
}

double NoteFrequency(int semitone, int octave)
{
    return 523.26 * std::pow(2.0, octave + semitone / 12.0 - 5.0);
}

bool StartsWithNote(std::string_view text)
{
    if (text.empty())
        return false;
    char c = text.front();
    return (c >= 'a' && c <= 'g') || (c >= 'A' && c <= 'G');
}

bool ParseNoteFrequency(std::string_view& cursor, double& frequency, std::string& message)
{
    char letter = cursor.empty() ? '\0' : cursor.front();
    if (static_cast<unsigned char>(letter) >= 'H')
        letter = AsciiUpper(letter);
    static constexpr int semitones[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (letter < 'A' || letter > 'G') {
        message = "wrong digit '"; // kept as written, blank before the quote included
        if (letter != '\0')
            message += letter;
        message += " ' used, it must between 'A' and 'G'.";
        return false;
    }
    std::string_view atLetter = cursor;
    cursor.remove_prefix(1);
    int semitone = semitones[letter - 'A'];
    if (!cursor.empty() && cursor.front() == '#') {
        if (letter == 'B' || letter == 'E') {
            message = "This note cannot have a \"#\".";
            cursor = atLetter;
            return false;
        }
        ++semitone;
        cursor.remove_prefix(1);
    }
    double octaveValue = 0.0;
    int64_t count = 0;
    ReadSignedDigits(cursor, octaveValue, count);
    int octave = 5;
    if (count > 0) {
        if (octaveValue < -2.0) {
            message = "The minimum Octave number is -2.";
            return false;
        }
        if (octaveValue > 12.0) {
            message = "The maximum Octave number is 12.";
            return false;
        }
        octave = static_cast<int>(octaveValue);
    }
    frequency = NoteFrequency(semitone, octave);
    return true;
}

bool CheckConstraint(uint8_t constraint, double x, std::string& message, MeasureUnitKind unit)
{
    bool plainOrPercent = unit == EHNone || unit == EHPerc;
    switch (constraint) {
    case 0:
        return true;
    case 1:
        if (x != 0.0)
            return true;
        message = "Value must be not 0.";
        return false;
    case 2:
        if (x <= 0.0)
            return true;
        message = "Value must be negative.";
        return false;
    case 3:
        if (x >= 0.0)
            return true;
        message = "Value must be positive.";
        return false;
    case 4:
        if (x < 0.0)
            return true;
        message = "Value must be negative and less than 0.";
        return false;
    case 5:
        if (x > 0.0)
            return true;
        message = "Value must be positive and more than 0.";
        return false;
    case 6:
        if (x < 0.0) {
            message = "Value must be positive.";
            return false;
        }
        if (x > 1.0) {
            message = "Value must be no more than 1.";
            return false;
        }
        return true;
    case 7:
        if (x <= 0.0) {
            message = "Value must be positive and more than 0.";
            return false;
        }
        if (x >= 1.0) {
            message = "Value must be less than 1.";
            return false;
        }
        return true;
    case 8:
        if (x < 0.0) {
            message = "Value must be positive.";
            return false;
        }
        if (x >= 1.0) {
            // Any other unit fails with the message as it was.
            if (plainOrPercent)
                message = "Value is too high. (maximum: less than 1 or 100 %)";
            else if (unit == EHAngle)
                message = "Fase is too high. (maximum: less than 360' )";
            return false;
        }
        return true;
    case 9:
        if (x > 1.0)
            return true;
        message = "Value must be more than 1.";
        return false;
    case 10:
        if (x < -1.0) {
            if (plainOrPercent)
                message = "Value is too low. (minimum: -1 or -100 %)";
            else if (unit == EHAngle)
                message = "Fase is too low. (minimum: -360' )";
            return false;
        }
        if (x > 1.0) {
            if (plainOrPercent)
                message = "Value is too high. (maximum: less than 1 or 100 %)";
            else if (unit == EHAngle)
                message = "Fase is too high. (maximum: less than 360' )";
            return false;
        }
        return true;
    default:
        return true;
    }
}

bool CheckUserBound(uint8_t relation, double x, int32_t bound, std::string& message)
{
    std::string boundText = FormatValue(bound, ValueType::Integer, EHNone, 7, true);
    switch (relation) {
    case 1:
        if (x != bound)
            return true;
        message = "Value must be unequal of " + boundText + ".";
        return false;
    case 2:
        if (x <= bound)
            return true;
        message = "Value must be less or equal of " + boundText + ".";
        return false;
    case 3:
        if (x >= bound)
            return true;
        message = "Value must be more or equal of " + boundText + ".";
        return false;
    case 4:
        if (x < bound)
            return true;
        message = "Value must be less than " + boundText + ".";
        return false;
    case 5:
        if (x > bound)
            return true;
        message = "Value must be more than " + boundText + ".";
        return false;
    default:
        KV_SOFT_ASSERT(false);
        return true;
    }
}

namespace {

// How a family reads a number typed in one unit: converted, refused with the converter's own
// message, or a unit the family does not take (the family's texts say which ones it does).
enum class Conversion { Ok, Refused, NotInFamily };

// The shared front of every family parser: the converted value must be finite and pass the range
// rule before the family applies its own last rules.
template <typename Converter>
bool ReadInFamily(std::string_view text, uint8_t constraint, const FamilyTexts& texts,
                  Converter convert, double& converted, MeasureUnitKind& typed,
                  std::string& message)
{
    double x = 0.0;
    typed = EHNone;
    if (!ReadPlainNumber(text, x) && !ParseValueAndUnit(text, x, typed, message))
        return false;
    switch (convert(x, typed, converted, message)) {
    case Conversion::Refused:
        return false;
    case Conversion::NotInFamily:
        return UnitRefused(typed, texts, message);
    case Conversion::Ok:
        break;
    }
    return CheckFinite(converted, message) &&
           CheckConstraint(constraint, converted, message, typed);
}

template <typename Converter>
bool ParseInFamily(std::string_view text, uint8_t constraint, const FamilyTexts& texts,
                   Converter convert, double& value, MeasureUnitKind& unit, std::string& message)
{
    double converted = 0.0;
    MeasureUnitKind typed = EHNone;
    if (!ReadInFamily(text, constraint, texts, convert, converted, typed, message))
        return false;
    value = converted;
    unit = typed;
    return true;
}

// A plain number and a percentage, which every factor family takes alike.
bool PlainFactor(double x, MeasureUnitKind typed, double& factor)
{
    if (typed == EHNone)
        factor = x;
    else if (typed == EHPerc)
        factor = 0.01 * x;
    else
        return false;
    return true;
}

Conversion FactorOf(double x, MeasureUnitKind typed, double& factor, std::string&)
{
    if (PlainFactor(x, typed, factor))
        return Conversion::Ok;
    switch (typed) {
    case EHDB:
        factor = std::pow(10.0, 0.05 * x);
        return Conversion::Ok;
    case EHOctave:
        factor = std::pow(2.0, x);
        return Conversion::Ok;
    default:
        return Conversion::NotInFamily;
    }
}

Conversion AngleFactorOf(double x, MeasureUnitKind typed, double& factor, std::string&)
{
    if (PlainFactor(x, typed, factor))
        return Conversion::Ok;
    if (typed != EHAngle)
        return Conversion::NotInFamily;
    factor = x / 360.0;
    return Conversion::Ok;
}

Conversion BalanceOf(double x, MeasureUnitKind typed, double& factor, std::string& message)
{
    if (PlainFactor(x, typed, factor))
        return Conversion::Ok;
    if (typed != EHAngle)
        return Conversion::NotInFamily;
    if (x < -90.0) {
        message = "Balance Angle is too low. (minimum: -90' )";
        return Conversion::Refused;
    }
    if (x > 90.0) {
        message = "Balance Angle is too high. (maximum: 90' )";
        return Conversion::Refused;
    }
    factor = x / 90.0;
    return Conversion::Ok;
}

// A time, a frequency or a length read as the time sound takes or as the way it travels. The
// factors stand apart, not derived one from another, so 0.343 * x is never 343 * (0.001 * x).
struct Travel
{
    double second; // per second, and per Hz inverted
    double milli;  // per millisecond, and per kHz inverted
    double metre;  // metres per result unit
};

constexpr Travel inSeconds = {1.0, 0.001, SpeedOfSound};
constexpr Travel inMetres = {SpeedOfSound, 0.343, 1.0};

Conversion TravelOf(double x, MeasureUnitKind typed, const Travel& travel, double& result,
                    std::string& message)
{
    if (IsLengthUnit(typed)) {
        result = x * GetMeasureFactor(typed) / travel.metre;
        return Conversion::Ok;
    }
    switch (typed) {
    case EHS:
        result = travel.second * x;
        return Conversion::Ok;
    case EHMS:
        result = travel.milli * x;
        return Conversion::Ok;
    case EHHZ:
        if (ZeroRefused(x, "Hz", message))
            return Conversion::Refused;
        result = travel.second / x;
        return Conversion::Ok;
    case EHKHZ:
        if (ZeroRefused(x, "kHz", message))
            return Conversion::Refused;
        result = travel.milli / x;
        return Conversion::Ok;
    default:
        return Conversion::NotInFamily;
    }
}

Conversion MetresOf(double x, MeasureUnitKind typed, double& metres, std::string& message)
{
    return TravelOf(x, typed, inMetres, metres, message);
}

Conversion SecondsOf(double x, MeasureUnitKind typed, double& seconds, std::string& message)
{
    return TravelOf(x, typed, inSeconds, seconds, message);
}

Conversion SpeedOf(double x, MeasureUnitKind typed, double& speed, std::string&)
{
    if (!IsSpeedUnit(typed))
        return Conversion::NotInFamily;
    speed = x * GetMeasureFactor(typed);
    return Conversion::Ok;
}

Conversion HertzOf(double x, MeasureUnitKind typed, double& hertz, std::string& message)
{
    if (IsLengthUnit(typed)) {
        // A wavelength of 0 has no frequency, as 0 s and 0 ms have none.
        if (ZeroRefused(x, LengthText(typed), message))
            return Conversion::Refused;
        hertz = SpeedOfSound / (x * GetMeasureFactor(typed));
        return Conversion::Ok;
    }
    switch (typed) {
    case EHHZ:
        hertz = x;
        return Conversion::Ok;
    case EHKHZ:
        hertz = 1000.0 * x;
        return Conversion::Ok;
    case EHS:
        if (ZeroRefused(x, "s", message))
            return Conversion::Refused;
        hertz = 1.0 / x;
        return Conversion::Ok;
    case EHMS:
        if (ZeroRefused(x, "ms", message))
            return Conversion::Refused;
        hertz = 1000.0 / x;
        return Conversion::Ok;
    default:
        return Conversion::NotInFamily;
    }
}

// A note is stored without the range rule: it is always a positive time or frequency.
template <typename Converter>
bool ParseNoteOrInFamily(std::string_view text, uint8_t constraint, bool asTime, Converter convert,
                         double& value, MeasureUnitKind& unit, std::string& message)
{
    if (!StartsWithNote(text))
        return ParseInFamily(text, constraint, timeTexts, convert, value, unit, message);
    double frequency = 0.0;
    if (!ParseNoteFrequency(text, frequency, message))
        return false;
    value = asTime ? 1.0 / frequency : frequency;
    unit = EHNote;
    return true;
}

} // namespace

bool ParseFactor(std::string_view text, uint8_t constraint, double& value, MeasureUnitKind& unit,
                 std::string& message)
{
    return ParseInFamily(text, constraint, factorTexts, FactorOf, value, unit, message);
}

bool ParseAngleFactor(std::string_view text, uint8_t constraint, double& value,
                      MeasureUnitKind& unit, std::string& message)
{
    double converted = 0.0;
    MeasureUnitKind typed = EHNone;
    if (!ReadInFamily(text, constraint, angleFactorTexts, AngleFactorOf, converted, typed, message))
        return false;
    // An angle is a fraction of a period: a negative one is raised by whole periods. (Raising
    // once only would leave -1.5 at -0.5, which a second reading turns into 0.5.)
    if (converted < 0.0)
        converted -= std::floor(converted);
    value = converted;
    unit = typed;
    return true;
}

bool ParseBalance(std::string_view text, uint8_t constraint, double& value, MeasureUnitKind& unit,
                  std::string& message)
{
    double converted = 0.0;
    MeasureUnitKind typed = EHNone;
    if (!ReadInFamily(text, constraint, balanceTexts, BalanceOf, converted, typed, message))
        return false;
    if (converted < -1.0) {
        message = "Balance Factor is too low. (minimum: -1 or -100 %)";
        return false;
    }
    if (converted > 1.0) {
        message = "Balance Factor is too high. (maximum: 1 or 100 %)";
        return false;
    }
    value = converted;
    unit = typed;
    return true;
}

bool ParseLength(std::string_view text, uint8_t constraint, double& value, MeasureUnitKind& unit,
                 std::string& message)
{
    return ParseInFamily(text, constraint, lengthTexts, MetresOf, value, unit, message);
}

bool ParseSpeed(std::string_view text, uint8_t constraint, double& value, MeasureUnitKind& unit,
                std::string& message)
{
    return ParseInFamily(text, constraint, speedTexts, SpeedOf, value, unit, message);
}

bool ParseTime(std::string_view text, uint8_t constraint, double& value, MeasureUnitKind& unit,
               std::string& message)
{
    return ParseNoteOrInFamily(text, constraint, true, SecondsOf, value, unit, message);
}

bool ParseFrequency(std::string_view text, uint8_t constraint, double& value, MeasureUnitKind& unit,
                    std::string& message)
{
    return ParseNoteOrInFamily(text, constraint, false, HertzOf, value, unit, message);
}

bool ParseWavePosition(std::string_view text, uint8_t constraint, double length, double& position,
                       MeasureUnitKind& unit, bool& fromEnd, std::string& message)
{
    double seconds = 0.0;
    MeasureUnitKind typed = EHNone;
    if (StartsWithNote(text)) {
        double frequency = 0.0;
        if (!ParseNoteFrequency(text, frequency, message))
            return false;
        seconds = 1.0 / frequency;
        typed = EHNote;
    } else {
        auto secondsOf = [length](double x, MeasureUnitKind typed, double& seconds,
                                  std::string& message) {
            switch (typed) {
            case EHNone:
                seconds = x * length;
                return Conversion::Ok;
            case EHPerc:
                seconds = 0.01 * x * length;
                return Conversion::Ok;
            case EHAngle:
                if (x < -360.0) {
                    message = "Fase is too low. (minimum: -360' )"; // kept as written
                    return Conversion::Refused;
                }
                if (x >= 360.0) {
                    message = "Fase is too high. (maximum: less than 360' )";
                    return Conversion::Refused;
                }
                if (x < 0.0)
                    x += 360.0;
                seconds = x / 360.0 * length;
                return Conversion::Ok;
            default:
                return SecondsOf(x, typed, seconds, message);
            }
        };
        if (!ReadInFamily(text, constraint, positionTexts, secondsOf, seconds, typed, message))
            return false;
    }
    // A note gets the end-of-wave checks as well: it is a time like any other.
    if (seconds >= length) {
        message = "Position must be before the end of the wave";
        return false;
    }
    if (seconds < -length) {
        message = "Position must be not before the start of the previous wave";
        return false;
    }
    bool negative = seconds < 0.0;
    double place = negative ? length + seconds : seconds;
    // A time a hair before the end counted from it rounds onto the end itself.
    if (place >= length) {
        message = "Position must be before the end of the wave";
        return false;
    }
    position = place;
    fromEnd = negative;
    unit = typed;
    return true;
}

bool ParseWaveValue(std::string_view text, uint8_t constraint, int16_t& value,
                    MeasureUnitKind& unit, std::string& message)
{
    double x = 0.0;
    MeasureUnitKind typed = EHNone;
    if (!ParseValueAndUnit(text, x, typed, message))
        return false;
    // The three ways to type a sample: a factor of full scale, a percentage, or the raw value.
    struct WaveValueUnit
    {
        MeasureUnitKind unit;
        double min, max, scale;
        const char* tooHigh;
        const char* tooLow;
    };
    static const WaveValueUnit units[] = {
        {EHNone, -1.0, 1.0, 32767.0, "Wave Value is too high. (maximum: 1)",
         "Wave Value is too low. (minimum: -1)"},
        {EHPerc, -100.0, 100.0, 327.67, "Wave Value is too high. (maximum: 100 %)",
         "Wave Value is too low. (minimum: -100 %)"},
        {EHValue, -32768.0, 32767.0, 1.0, "Wave Value is too high. (maximum: 32767 $)",
         "Wave Value is too low. (minimum: -32768 $)"},
    };
    const WaveValueUnit* rule = nullptr;
    for (const WaveValueUnit& candidate : units) {
        if (candidate.unit == typed)
            rule = &candidate;
    }
    if (!rule)
        return UnitRefused(typed, waveValueTexts, message);
    if (x > rule->max) {
        message = rule->tooHigh;
        return false;
    }
    if (x < rule->min) {
        message = rule->tooLow;
        return false;
    }
    double sample = std::trunc(x * rule->scale);
    if (!CheckConstraint(constraint, sample, message, typed))
        return false;
    value = static_cast<int16_t>(sample);
    unit = typed;
    return true;
}

bool ParseInteger(std::string_view text, uint8_t constraint, int32_t& value, std::string& message)
{
    int32_t integer = 0;
    if (!ReadShortInteger(text, integer)) {
        std::string_view cursor = text;
        double number = 0.0;
        int64_t count = 0;
        ReadSignedDigits(cursor, number, count);
        // Beyond 32 bits a text is as invalid as one with letters in it.
        if (count < 1 || !Trim(cursor).empty() || number < -2147483648.0 || number > 2147483647.0) {
            message = InvalidInteger(text);
            return false;
        }
        integer = static_cast<int32_t>(number);
    }
    if (!CheckConstraint(constraint, integer, message, EHNone))
        return false;
    value = integer;
    return true;
}

bool ParseIntegerBound(std::string_view text, uint8_t relation, int32_t bound, int32_t& value,
                       std::string& message)
{
    std::string_view digits = Trim(text);
    bool valid = !digits.empty();
    for (char c : digits)
        valid = valid && IsDigit(c);
    double number = 0.0;
    int64_t count = 0;
    if (valid) {
        ReadDigits(digits, number, count);
        valid = number <= 2147483647.0;
    }
    if (!valid) {
        message = InvalidInteger(text);
        return false;
    }
    if (!CheckUserBound(relation, number, bound, message))
        return false;
    value = static_cast<int32_t>(number);
    return true;
}

} // namespace kelvorn
