#include "general/values/ValueFormat.h"

#include "general/Assert.h"
#include "general/values/ValueText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace kelvorn {

namespace {

constexpr double smallPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr double smallNegativePowers[] = {1e0,   1e-1,  1e-2,  1e-3,  1e-4,  1e-5,  1e-6,  1e-7,
                                          1e-8,  1e-9,  1e-10, 1e-11, 1e-12, 1e-13, 1e-14, 1e-15,
                                          1e-16, 1e-17, 1e-18, 1e-19, 1e-20, 1e-21, 1e-22};

// 10^k as the double nearest to it.
double Pow10(int k)
{
    if (k >= 0 && k <= 22)
        return smallPowers[k];
    if (k < 0 && k >= -22)
        return smallNegativePowers[-k];
    return std::pow(10.0, k);
}

// floor(log10 a) for a > 0, exact also where log10 rounds across a power of ten.
int FloorLog10(double a)
{
    int k = static_cast<int>(std::floor(std::log10(a)));
    if (a < Pow10(k))
        --k;
    else if (a >= Pow10(k + 1))
        ++k;
    return k;
}

// trunc(log10 a) for a > 0: the power itself counts as exact, as the logarithm of a double
// power of ten is.
int TruncLog10(double a)
{
    int k = FloorLog10(a);
    if (a >= 1.0 || a == Pow10(k))
        return k;
    return k + 1;
}

constexpr uint64_t powersOfFive[] = {1ull,
                                     5ull,
                                     25ull,
                                     125ull,
                                     625ull,
                                     3125ull,
                                     15625ull,
                                     78125ull,
                                     390625ull,
                                     1953125ull,
                                     9765625ull,
                                     48828125ull,
                                     244140625ull,
                                     1220703125ull,
                                     6103515625ull,
                                     30517578125ull,
                                     152587890625ull,
                                     762939453125ull,
                                     3814697265625ull,
                                     19073486328125ull,
                                     95367431640625ull,
                                     476837158203125ull,
                                     2384185791015625ull,
                                     11920928955078125ull,
                                     59604644775390625ull,
                                     298023223876953125ull,
                                     1490116119384765625ull,
                                     7450580596923828125ull};

// The decimal digits of floor(a * 10^q) for a finite a >= 0, computed exactly (no leading zeros;
// "0" for zero). A double is m * 2^e with an integer m below 2^53, so for 0 <= q <= 27 the
// product m * 5^q fits in 128 bits and one shift finishes it; other scales go through the exact
// decimal expansion that to_chars writes.
std::string ScaledDigits(double a, int q)
{
    if (a == 0.0)
        return "0";
    int binaryExponent = 0;
    double mantissa = std::frexp(a, &binaryExponent);
    auto m = static_cast<uint64_t>(std::ldexp(mantissa, 53));
    int e = binaryExponent - 53;
    if (q >= 0 && q <= 27) {
        unsigned __int128 n = static_cast<unsigned __int128>(m) * powersOfFive[q];
        int shift = e + q;
        bool fits = true;
        if (shift >= 0) {
            if (shift >= 64 || (n >> (127 - shift)) != 0)
                fits = false;
            else
                n <<= shift;
        } else {
            n = -shift >= 128 ? 0 : n >> -shift;
        }
        if (fits && (n >> 64) == 0) {
            char buffer[24];
            auto end = std::to_chars(buffer, buffer + sizeof(buffer), static_cast<uint64_t>(n)).ptr;
            return std::string(buffer, end);
        }
    }
    // Exact: a double has at most -e binary places, so as many decimal places hold it whole.
    int places = e < 0 ? -e : 0;
    std::string text(static_cast<size_t>(places) + 330, '\0');
    auto result =
        std::to_chars(text.data(), text.data() + text.size(), a, std::chars_format::fixed, places);
    text.resize(static_cast<size_t>(result.ptr - text.data()));
    size_t point = text.find('.');
    std::string integer = point == std::string::npos ? text : text.substr(0, point);
    std::string fraction = point == std::string::npos ? std::string() : text.substr(point + 1);
    std::string digits;
    if (q >= 0) {
        fraction.resize(static_cast<size_t>(q), '0');
        digits = integer + fraction;
    } else {
        size_t drop = static_cast<size_t>(-q);
        digits = integer.size() > drop ? integer.substr(0, integer.size() - drop) : "0";
    }
    size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? "0" : digits.substr(first);
}

const char* LengthSuffix(MeasureUnitKind unit)
{
    switch (unit) {
    case EHM:
        return " m";
    case EHDM:
        return " dm";
    case EHCM:
        return " cm";
    case EHMM:
        return " mm";
    case EHKM:
        return " km";
    case EHMile:
        return " mile";
    case EHNautMile:
        return " nmile";
    case EHFeet:
        return " feet";
    case EHInch:
        return " inch";
    case EHMpS:
        return " m/s";
    case EHKMpH:
        return " km/h";
    case EHMpH:
        return " mph";
    case EHMach:
        return " mach";
    case EHKnots:
        return " knots";
    default:
        return "";
    }
}

constexpr std::array<const char*, 12> noteNames = {"C",  "C#", "D",  "D#", "E",  "F",
                                                   "F#", "G",  "G#", "A",  "A#", "B"};

} // namespace

std::string FormatDigits(double x, int minDigBefore, int minDigAfter, int maxDigAfter)
{
    // A wrong call is reported and then made sane, so the text is still well formed.
    if (!KV_SOFT_ASSERT(minDigAfter <= maxDigAfter))
        maxDigAfter = minDigAfter;
    if (!KV_SOFT_ASSERT(minDigBefore >= 1))
        minDigBefore = 1;
    if (!KV_SOFT_ASSERT(minDigAfter >= 0)) {
        minDigAfter = 0;
        maxDigAfter = std::max(maxDigAfter, 0);
    }
    if (!std::isfinite(x))
        return "***";

    double a = std::fabs(x);
    int before = 1;
    if (a != 0.0)
        before = a >= 1.0 ? TruncLog10(a) + 1 : TruncLog10(a);
    int maxAfter = std::min(maxDigAfter, 15 - before); // at most 15 significant digits
    // Below the smallest normal double fewer digits are real: nothing under 1e-323 is resolved,
    // and digits past that would drift each time the text is read and written again.
    maxAfter = std::min(maxAfter, 323);
    int leading = std::max(before, minDigBefore);

    // Digits are cut, not rounded (kept on purpose); the tenth of a last digit added first
    // makes a number read from its own text come out with the same digits. At the fifteenth
    // digit a tenth can be less than a double resolves, so at least one unit in the last place.
    double step = Pow10(-(maxAfter + 1));
    double resolution = std::nextafter(a, std::numeric_limits<double>::infinity()) - a;
    double raised = a + std::max(step, resolution);
    std::string digits = ScaledDigits(raised, maxAfter);

    std::string integer;
    std::string fraction;
    if (maxAfter >= 0) {
        if (digits.size() <= static_cast<size_t>(maxAfter))
            digits.insert(0, static_cast<size_t>(maxAfter) + 1 - digits.size(), '0');
        integer = digits.substr(0, digits.size() - static_cast<size_t>(maxAfter));
        fraction = digits.substr(digits.size() - static_cast<size_t>(maxAfter));
    } else {
        // Numbers of 16 digits and more: zeros stand for the cut digits up to the units place,
        // so 1e16 stays 10000000000000000 and does not shrink through a file.
        integer =
            digits == "0" ? digits : digits + std::string(static_cast<size_t>(-maxAfter), '0');
    }
    size_t firstDigit = integer.find_first_not_of('0');
    integer = firstDigit == std::string::npos ? std::string() : integer.substr(firstDigit);
    if (integer.size() < static_cast<size_t>(leading))
        integer.insert(0, static_cast<size_t>(leading) - integer.size(), '0');

    size_t keep = std::min(fraction.size(), static_cast<size_t>(minDigAfter));
    size_t last = fraction.find_last_not_of('0');
    if (last != std::string::npos && last + 1 > keep)
        keep = last + 1;
    fraction.resize(keep);

    std::string text;
    text.reserve(integer.size() + fraction.size() + 2);
    // A number cut down to zero shows no sign: "-0" would read back as a 0 that shows as "0".
    bool allZero = integer.find_first_not_of('0') == std::string::npos &&
                   fraction.find_first_not_of('0') == std::string::npos;
    if (x < 0.0 && !allZero)
        text += '-';
    text += integer;
    if (!fraction.empty()) {
        text += '.';
        text += fraction;
    }
    return text;
}

std::string FormatPrecision(double x, int precisie, bool drop)
{
    if (!KV_SOFT_ASSERT(precisie >= 1))
        precisie = 1;
    precisie = std::min(precisie, 1000); // far beyond any double; keeps the counts in range
    if (!std::isfinite(x))
        return "***";
    int e = x == 0.0 ? 1 : TruncLog10(std::fabs(x));
    int before = std::max(e, 1);
    int after = std::max(precisie - 1 - e, 0);
    return drop ? FormatDigits(x, before, 0, after) : FormatDigits(x, before, after, after);
}

std::string FormatClock(double seconds)
{
    if (!std::isfinite(seconds))
        return "***";
    // A negative time shows as its size with a sign: splitting it would lose a minute.
    double a = std::fabs(seconds);
    double wholeMinutes = std::trunc(a / 60.0);
    double secs = a - 60.0 * wholeMinutes;
    double hours = std::trunc(wholeMinutes / 60.0);
    double minutes = wholeMinutes - 60.0 * hours;
    std::string text = seconds < 0.0 ? "-" : "";
    if (hours > 0.0)
        text += FormatDigits(hours, 1, 0, 0) + ":";
    // With hours the minutes are always written, so 1:00:05 does not read as a minute and five.
    if (minutes > 0.0 || hours > 0.0)
        text += FormatDigits(minutes, hours > 0.0 ? 2 : 1, 0, 0) + ":";
    bool plainSeconds = hours == 0.0 && minutes == 0.0;
    text += FormatDigits(secs, plainSeconds ? 1 : 2, 5, 5);
    if (plainSeconds)
        text += " s";
    return text;
}

std::string NoteName(double value, bool period)
{
    if (!(value > 0.0) || !std::isfinite(value))
        return {};
    double frequency = period ? 1.0 / value : value;
    double steps = std::round(12.0 * (std::log2(frequency / 523.26) + 5.0));
    if (!(steps > -40.0 && steps < 170.0))
        return {};
    for (int delta : {0, -1, 1}) {
        int total = static_cast<int>(steps) + delta;
        int octave = total >= 0 ? total / 12 : -((-total + 11) / 12);
        int semitone = total - 12 * octave;
        if (octave < -2 || octave > 12)
            continue;
        double candidate = NoteFrequency(semitone, octave);
        if ((period ? 1.0 / candidate : candidate) == value)
            return std::string(noteNames[static_cast<size_t>(semitone)]) + std::to_string(octave);
    }
    return {};
}

std::string FormatExact(double x)
{
    if (!std::isfinite(x))
        return "***";
    char buffer[40];
    auto end = std::to_chars(buffer, buffer + sizeof(buffer), x).ptr;
    return std::string(buffer, end);
}

std::string FormatValue(double x, ValueType type, MeasureUnitKind unit, int precisie, bool drop)
{
    bool exact = precisie == ExactDigits;
    // The number as a file stores it (exact), or as the user sees it: cut to its digits.
    auto shown = [&](double y) {
        return exact ? FormatExact(y) : FormatPrecision(y, precisie, drop);
    };
    auto places = [&](double y, int minDigBefore, int digitsAfter) {
        return exact ? FormatExact(y) : FormatDigits(y, minDigBefore, 0, digitsAfter);
    };
    bool lengthOrTime = type == ValueType::FysicalLength || type == ValueType::Time;
    if (x == 0.0) {
        // Zero in a unit that inverts it has no number to show.
        if (lengthOrTime && unit == EHHZ)
            return " * hz";
        if (lengthOrTime && unit == EHKHZ)
            return " * khz";
        if (type == ValueType::Frequency) {
            if (unit == EHS)
                return " * s";
            if (unit == EHMS)
                return " * ms";
            if (IsLengthUnit(unit))
                return std::string(" *") + LengthSuffix(unit);
        }
    }

    switch (unit) {
    case EHNone:
        if (type == ValueType::WaveValue) {
            // Moved away from zero by half a last digit: the digits are cut.
            double y = x / 32767.0;
            if (!exact)
                y += y < 0.0 ? -0.00005 : 0.00005;
            return places(y, 1, 4);
        }
        return shown(x);
    case EHPerc:
        if (type == ValueType::WaveValue) {
            double y = x * 100.0 / 32767.0;
            if (!exact)
                y += y < 0.0 ? -0.005 : 0.005;
            return places(y, 1, 2) + " %";
        }
        return shown(100.0 * x) + " %";
    case EHDB:
        // A value without a logarithm shows as the plain number rather than as infinity.
        if (!(x > 0.0))
            return FormatValue(x, type, EHNone, precisie, drop);
        return places(20.0 * std::log10(x), 1, 3) + " dB";
    case EHOctave:
        if (!(x > 0.0))
            return FormatValue(x, type, EHNone, precisie, drop);
        return places(std::log2(x), 1, 3) + " octave";
    case EHS:
    case EHMS: {
        double seconds = x;
        if (type == ValueType::FysicalLength)
            seconds = x / SpeedOfSound;
        else if (type == ValueType::Frequency)
            seconds = 1.0 / x;
        return unit == EHS ? shown(seconds) + " s" : shown(1000.0 * seconds) + " ms";
    }
    case EHHZ:
    case EHKHZ: {
        double hertz = x;
        if (type == ValueType::FysicalLength)
            hertz = SpeedOfSound / x;
        else if (type == ValueType::Time)
            hertz = 1.0 / x;
        return unit == EHHZ ? shown(hertz) + " hz" : shown(0.001 * hertz) + " khz";
    }
    case EHTime:
        return FormatClock(x);
    case EHFreq:
        if (!KV_SOFT_ASSERT(precisie >= 3))
            precisie = 3;
        if (x < 100.0)
            return FormatDigits(x, 2, precisie - 2, precisie - 2) + " Hz";
        if (x < 1000.0)
            return FormatDigits(x, 3, precisie - 3, precisie - 3) + " Hz";
        if (x < 10000.0)
            return FormatDigits(x / 1000.0, 1, precisie - 1, precisie - 1) + " kHz";
        return FormatDigits(x / 1000.0, 2, precisie - 2, precisie - 2) + " kHz";
    case EHValue:
        return places(x, 1, 0) + " $";
    case EHAngle:
        switch (type) {
        case ValueType::Factor:
        case ValueType::Angle:
        case ValueType::PlaceInWindow: // a position in degrees of its wave
            return shown(360.0 * x) + " '";
        case ValueType::BalanceAngle:
            return shown(90.0 * x) + " '";
        default:
            return {};
        }
    default:
        break;
    }
    if (IsLengthUnit(unit)) {
        double metres = x;
        if (type == ValueType::Time)
            metres = SpeedOfSound * x;
        else if (type == ValueType::Frequency)
            metres = SpeedOfSound / x;
        return shown(metres / GetMeasureFactor(unit)) + LengthSuffix(unit);
    }
    if (IsSpeedUnit(unit))
        return shown(x / GetMeasureFactor(unit)) + LengthSuffix(unit);
    return "***"; // EHNote, EHError and numbers beyond the list have no number text
}

} // namespace kelvorn
