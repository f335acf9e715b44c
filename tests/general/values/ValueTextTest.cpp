#include "general/values/ValueText.h"

#include "general/values/NoBoxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

using namespace kelvorn;
using kelvorn::testing::IsAssertionBox;

namespace {

using ValueText = kelvorn::testing::NoBoxes<>;

const std::string noValue = "Input has no value.";
const std::string outOfRange(OutOfRangeMessage);
const std::string noZero = "You cannot use 0 with '";
const std::string positive = "Value must be positive.";
const std::string more0 = "Value must be positive and more than 0.";
const std::string faseHigh = "Fase is too high. (maximum: less than 360' )";
const std::string high1 = "Value is too high. (maximum: less than 1 or 100 %)";
const std::string low1 = "Value is too low. (minimum: -1 or -100 %)";
const std::string sharp = "This note cannot have a \"#\".";
const double c5 = 523.26;
const double a5 = NoteFrequency(9, 5);

// ---- numbers, exponents, units and notes at the cursor ------------------------------------------

struct CursorCase
{
    std::string text;
    double value;       // the number read
    std::string result; // what the cursor has left, or the message of a refusal
    bool ok = true;
};

TEST_F(ValueText, ParseNumberReadsEveryForm)
{
    const std::string huge(400, '1');
    // clang-format off
    const CursorCase cases[] = {
        {"1,5", 1.5, ""}, {"1.5", 1.5, ""}, {"3/4", 0.75, ""}, {"-3/4", -0.75, ""},
        {"3 /4", 0.75, ""}, {"3/4e+2", 0.75, "e+2"}  /* no exponent after a fraction */,
        {"3/0", 0, "Broke is invalid.", false}, {"/4", 0, "Input has no value before '/'.", false},
        {"3/", 0, "Input has no value after '/'.", false},
        {"3/ 4", 0, "Input has no value after '/'.", false}, {"2e+3", 2000, ""},
        {"2E-3", 0.002, ""}, {"2 e - 3", 0.002, ""}, {"2e3", 2, "e3"}, {"2e+", 2, "e+"},
        {"1.5e+2", 150, ""}, {"1e-0", 1, ""}, {"1\te\t+\t7", 1e7, ""}, {"1 E - 2x", 0.01, "x"},
        {"1.5 e+2", 150, ""}, {"1.5e2", 1.5, "e2"}, {" -5", 0, noValue, false},
        {"- 5", -5, ""}, {"+5", 5, ""}, {"+ 5", 5, ""}, {"+-5", 0, noValue, false},
        {"", 0, noValue, false}, {"e+5", 0, noValue, false}, {"abc", 0, noValue, false},
        {".", 0, ""}, {".5", 0.5, ""}, {"5.", 5, ""}, {",25", 0.25, ""}, {"5 .5", 5.5, ""},
        {"5. 5", 5, " 5"}, {"12abc", 12, "abc"}, {"12 abc", 12, "abc"}, {"007", 7, ""},
        {"1e-400", 0, ""}, {"0e+99999999999999999999", 0, ""}, {"1e+400", 0, outOfRange, false},
        {"-1e+309", 0, outOfRange, false}, {"1e+99999999999999999999999", 0, outOfRange, false},
        // 400 digits are beyond a double, refused rather than infinite; behind the point fine
        {huge, 0, outOfRange, false}, {"0." + huge, 1.0 / 9, ""},
        {"1" + std::string(400, '0') + "/1" + std::string(400, '0'), 0, outOfRange, false},
        {std::string(500, '0') + "25e-1", 2.5, ""}};
    // clang-format on
    for (const CursorCase& c : cases) {
        std::string_view cursor = c.text;
        double value = -99;
        std::string message;
        EXPECT_EQ(ParseNumber(cursor, value, message), c.ok) << '"' << c.text << '"';
        EXPECT_EQ(c.ok ? std::string(cursor) : message, c.result) << c.text;
        EXPECT_DOUBLE_EQ(value, c.ok ? c.value : -99) << c.text;
    }
    // Correctly rounded, as the standard library reads them.
    for (const char* text :
         {"0.3", "0.1", "123456789.123456789", "2.675", "1e-7", "9007199254740993",
          "0.000000000000000000000000000001234", "1.7976931348623157e+308"}) {
        std::string_view cursor = text;
        double value = 0;
        std::string message;
        ASSERT_TRUE(ParseNumber(cursor, value, message)) << text;
        EXPECT_EQ(value, std::stod(text)) << text;
    }
    // The signed digits of an octave: '+' then '-', never the other way round.
    std::string_view cursor = "+-17x";
    double value = 0;
    int64_t count = 0;
    EXPECT_TRUE(ReadSignedDigits(cursor, value, count));
    EXPECT_EQ(std::tuple(value, count, cursor), std::tuple(-17.0, int64_t(2), "x"));
}

// Short numbers take a quicker way than long ones; both must give the double the standard
// library gives, at the edges of the quick way (15 digits, powers of ten up to 22) as well.
TEST_F(ValueText, ParseNumberRoundsShortAndLongNumbersAsTheLibraryDoes)
{
    std::vector<std::string> texts = {"999999999999999",
                                      "9999999999999999",
                                      "123456789012345e+22",
                                      "123456789012345e+23",
                                      "1.23456789012345e-8",
                                      "1e-22",
                                      "1e-23",
                                      "0.000000000000001",
                                      "1234567.89012345",
                                      "8.98846567431158e+307",
                                      "4.9e-324",
                                      "0.1e+1",
                                      "9007199254740993e-22"};
    uint32_t state = 40;
    auto next = [&state](uint32_t below) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % below;
    };
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        for (uint32_t n = next(10); n > 0; --n)
            text += static_cast<char>('0' + next(10));
        if (text.empty() || next(2)) {
            text += '.';
            for (uint32_t n = next(11); n > 0; --n)
                text += static_cast<char>('0' + next(10));
        }
        if (next(2))
            text += (next(2) ? "e+" : "e-") + std::to_string(next(31));
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        std::string_view cursor = text;
        double value = -1;
        std::string message;
        ASSERT_TRUE(ParseNumber(cursor, value, message)) << text << ": " << message;
        EXPECT_TRUE(cursor.empty()) << text;
        EXPECT_EQ(value, std::strtod(text.c_str(), nullptr)) << text;
    }
}

// Digits with an optional point, up to 15 of them and nothing after them, are read at once: the
// same double as by the general way, the sign of a zero included, and the general way beyond.
TEST_F(ValueText, ShortDecimalsReadAsTheGeneralWayReadsThem)
{
    // clang-format off
    const std::tuple<std::string, double, std::string> cases[] = {
        {"0.25", 0.25, ""}, {"-0", -0.0, ""}, {"-0.000", -0.0, ""}, {"0", 0.0, ""}, {"+0.0", 0.0, ""},
        {"999999999999999", 999999999999999.0, ""}, {"99999999999999.9", 99999999999999.9, ""},
        {".999999999999999", 0.999999999999999, ""}, {"9999999999999999", 9999999999999999.0, ""},
        {"000000000000000025", 25.0, ""}, {"1.2.3", 1.2, ".3"}, {"5.", 5.0, ""}, {"5.x", 5, "x"},
        {"0.1", 0.1, ""}, {"-12.5", -12.5, ""}, {"- 12.5", -12.5, ""}, {"12.5 ", 12.5, " "}};
    // clang-format on
    for (const auto& [text, expected, rest] : cases) {
        std::string_view cursor = text;
        double value = 99;
        std::string message;
        ASSERT_TRUE(ParseNumber(cursor, value, message)) << text;
        EXPECT_EQ(std::tuple(value, std::signbit(value), std::string(cursor)),
                  std::tuple(expected, std::signbit(expected), rest))
            << text;
    }
}

TEST_F(ValueText, ReadUnitSuffixMatchesPrefixesInItsOrder)
{
    // clang-format off
    const std::tuple<std::string, MeasureUnitKind, std::string> cases[] = {
        {"", EHNone, ""}, {"octave", EHOctave, ""}, {"oct", EHError, "oct"}, {"kn", EHError, "kn"},
        {"nmile", EHNautMile, ""}, {"knots", EHKnots, ""}, {"miles", EHMile, "s"},
        {"feet", EHFeet, ""}, {"Inch", EHInch, ""}, {"km/h", EHKMpH, ""}, {"KM", EHKM, ""},
        {"mach", EHMach, ""}, {"kHz", EHKHZ, ""}, {"m/s", EHMpS, ""}, {"mph", EHMpH, ""},
        {"ms", EHMS, ""}, {"hz", EHHZ, ""}, {"HZ", EHHZ, ""}, {"db", EHDB, ""}, {"dm", EHDM, ""},
        {"cm", EHCM, ""}, {"mm", EHMM, ""}, {"%", EHPerc, ""}, {"$", EHValue, ""}, {"s", EHS, ""},
        {"seconds", EHS, "econds"}, {"'", EHAngle, ""}, {"m", EHM, ""}, {"meters", EHM, "eters"},
        {"minutes", EHM, "inutes"}, {"x", EHError, "x"}, {" m", EHError, " m"},
        {"e3", EHError, "e3"}, {"\xe9", EHError, "\xe9"}};
    // clang-format on
    for (const auto& [text, unit, rest] : cases) {
        std::string_view cursor = text;
        EXPECT_EQ(ReadUnitSuffix(cursor), unit) << text;
        EXPECT_EQ(cursor, rest) << text;
    }
    const std::tuple<std::string, double, MeasureUnitKind> values[] = {
        {"440 hz", 440, EHHZ}, {"440HZ", 440, EHHZ}, {"5 ", 5, EHNone}, {"2e3", 2, EHError}};
    double value = 0;
    MeasureUnitKind unit = EHError;
    std::string message;
    for (const auto& [text, number, kind] : values) {
        ASSERT_TRUE(ParseValueAndUnit(text, value, unit, message)) << text;
        EXPECT_EQ(value, number) << text;
        EXPECT_EQ(unit, kind) << text;
    }
    EXPECT_FALSE(ParseValueAndUnit("hz", value, unit, message));
    EXPECT_EQ(message, noValue);
}

TEST_F(ValueText, ParseNoteFrequencyReadsLetterSharpAndOctave)
{
    const std::string most = "The maximum Octave number is 12.";
    auto wrong = [](const std::string& digit) {
        return "wrong digit '" + digit + " ' used, it must between 'A' and 'G'.";
    };
    auto up = [](double semitones) { return c5 * std::pow(2.0, semitones / 12); };
    // clang-format off
    const CursorCase cases[] = {
        {"C5", c5, ""}, {"c", c5, ""}, {"A5", up(9), ""}, {"a#5", up(10), ""}, {"C#5", up(1), ""},
        {"C+4", c5 / 2, ""}, {"c-2", c5 / 128, ""}, {"c12", c5 * 128, ""}, {"c-", c5, ""},
        {"G4xyz", up(7 - 12), "xyz"}, {"c5.5", c5, ".5"}, {"e#", 0, sharp, false},
        {"B#3", 0, sharp, false}, {"c13", 0, most, false},
        {"c99999999999999999999", 0, most, false},
        {"c-3", 0, "The minimum Octave number is -2.", false}, {"h", 0, wrong("H"), false},
        {"x5", 0, wrong("X"), false}, {"#", 0, wrong("#"), false}, {"1", 0, wrong("1"), false},
        {"", 0, wrong(""), false}};
    // clang-format on
    for (const CursorCase& c : cases) {
        std::string_view cursor = c.text;
        double frequency = 0;
        std::string message;
        EXPECT_EQ(ParseNoteFrequency(cursor, frequency, message), c.ok) << c.text;
        EXPECT_EQ(c.ok ? std::string(cursor) : message, c.result) << c.text;
        EXPECT_NEAR(frequency, c.value, c.value * 1e-12) << c.text;
        if (c.result == sharp) {
            EXPECT_EQ(cursor, c.text) << "a refused sharp leaves the cursor";
        }
    }
    EXPECT_NEAR(NoteFrequency(9, 5), 880.0, 0.02); // A5 is 880 Hz to within the C5 of 523.26
}

// ---- range rules ------------------------------------------------------------------------------

TEST_F(ValueText, CheckConstraintCodesZeroToTen)
{
    const std::string faseLow = "Fase is too low. (minimum: -360' )";
    const std::string kept = "previous"; // the message is left as it was
    // clang-format off
    const std::tuple<int, double, MeasureUnitKind, std::string> cases[] = {
        {0, -1e300, EHNone, ""}, {1, 0, EHNone, "Value must be not 0."}, {1, -1e-300, EHNone, ""},
        {2, 0, EHNone, ""}, {2, 1e-300, EHNone, "Value must be negative."}, {3, 0, EHNone, ""},
        {3, -1e-300, EHNone, positive}, {4, -1e-300, EHNone, ""},
        {4, 0, EHNone, "Value must be negative and less than 0."}, {5, 1e-300, EHNone, ""},
        {5, 0, EHNone, more0}, {6, 0, EHNone, ""}, {6, 1, EHNone, ""}, {6, -0.1, EHNone, positive},
        {6, 1.0000001, EHPerc, "Value must be no more than 1."}, {7, 0.5, EHNone, ""},
        {7, 0, EHNone, more0}, {7, 1, EHNone, "Value must be less than 1."}, {8, 0, EHNone, ""},
        {8, 0.9999999, EHAngle, ""}, {8, -0.1, EHAngle, positive}, {8, 1, EHNone, high1},
        {8, 1, EHPerc, high1}, {8, 1, EHAngle, faseHigh}, {8, 1, EHS, kept},
        {9, 1.0000001, EHNone, ""}, {9, 1, EHNone, "Value must be more than 1."},
        {10, -1, EHNone, ""}, {10, 1, EHAngle, ""}, {10, -1.5, EHNone, low1},
        {10, -1.5, EHPerc, low1}, {10, -1.5, EHAngle, faseLow}, {10, 1.5, EHNone, high1},
        {10, 1.5, EHAngle, faseHigh}, {10, 1.5, EHDB, kept}, {10, -1.5, EHHZ, kept},
        {11, -5, EHNone, ""}, {255, 0, EHNone, ""}};
    // clang-format on
    for (const auto& [code, x, unit, expected] : cases) {
        std::string message = kept;
        EXPECT_EQ(CheckConstraint(static_cast<uint8_t>(code), x, message, unit), expected.empty())
            << "code " << code << " x " << x;
        EXPECT_EQ(message, expected.empty() ? kept : expected) << "code " << code << " x " << x;
    }
}

TEST_F(ValueText, CheckUserBoundRelationsOneToFive)
{
    // clang-format off
    const std::tuple<int, double, int32_t, std::string> cases[] = {
        {1, 4, 5, ""}, {1, 5, 5, "unequal of 5."}, {2, 5, 5, ""}, {2, 6, 5, "less or equal of 5."},
        {3, 5, 5, ""}, {3, 4, 5, "more or equal of 5."}, {4, 4, 5, ""}, {4, 5, 5, "less than 5."},
        {5, 6, 5, ""}, {5, 5, 5, "more than 5."}, {5, -7, -5, "more than -5."},
        {5, 0, 2147483647, "more than 2147483647."},
        {4, 0, -2147483647 - 1, "less than -2147483648."},
        {3, 0, 12345678, "more or equal of 12345678."}};
    // clang-format on
    for (const auto& [relation, x, bound, expected] : cases) {
        std::string message;
        EXPECT_EQ(CheckUserBound(static_cast<uint8_t>(relation), x, bound, message),
                  expected.empty())
            << relation << " " << x;
        EXPECT_EQ(message, expected.empty() ? "" : "Value must be " + expected) << relation;
    }
    for (int relation : {0, 6}) {
        messages.Clear();
        messages.Expect();
        std::string message;
        EXPECT_TRUE(CheckUserBound(static_cast<uint8_t>(relation), 1, 2, message));
        EXPECT_TRUE(IsAssertionBox(OnlyBox(), "ValueText.cpp", "false"));
    }
}

// ---- the family parsers -----------------------------------------------------------------------

enum class Family { Factor, AngleFactor, Balance, Length, Speed, Time, Frequency };

struct FamilyCase
{
    FamilyCase(Family f, int c, std::string t, double v, MeasureUnitKind u)
        : family(f), code(c), text(std::move(t)), value(v), unit(u)
    {
    }
    FamilyCase(Family f, int c, std::string t, std::string m)
        : family(f), code(c), text(std::move(t)), message(std::move(m))
    {
    }
    Family family;
    int code;
    std::string text;
    double value = 0;
    MeasureUnitKind unit = EHError;
    std::string message; // empty: accepted
};

void PrintTo(const FamilyCase& c, std::ostream* out)
{
    *out << "family " << static_cast<int>(c.family) << " code " << c.code << " \"" << c.text << '"';
}

const std::string factorUnknown = "This unit does not exist, use: '%' or no unit.";
const std::string factorWrong = "Wrong unit used, use: '%' or no unit.";
const std::string angleUnknown = "This unit does not exist, use: '%', ' ' ' or no unit.";
const std::string angleWrong = "Wrong unit used, use: '%', ' ' 'or no unit.";
const std::string balanceWrong = "Wrong unit used, use: '%', ' ' ' or no unit.";
const std::string lengths = "'m', 'dm', 'cm', 'mm', 'km', 'mile', 'nmile'.";
const std::string speeds = "'m/s', 'km/h', 'mph', 'mach', 'knots'.";
const std::string times = "'s', 'ms', 'Hz', 'kHz', 'm', 'dm', 'cm', 'mm', 'km', 'mile', 'nmile', "
                          "'feet', 'inch'.";
const std::string unknown = "This unit does not exist, use: ";
const std::string wrongUnit = "Wrong unit used, use: ";

using enum Family;
// clang-format off
const FamilyCase familyCases[] = {
    {Factor, 0, "0.5", 0.5, EHNone}, {Factor, 0, "50 %", 0.5, EHPerc},
    {Factor, 0, "50%", 0.5, EHPerc}, {Factor, 0, "6 dB", std::pow(10.0, 0.3), EHDB},
    {Factor, 0, "-6 db", std::pow(10.0, -0.3), EHDB}, {Factor, 0, "1 octave", 2, EHOctave},
    {Factor, 0, "-2 octaves", 0.25, EHOctave}, {Factor, 0, "1 oct", factorUnknown},
    {Factor, 0, "1 x", factorUnknown}, {Factor, 0, "1 s", factorWrong},
    {Factor, 0, "1 '", factorWrong}, {Factor, 0, "5 minutes", factorWrong},
    {Factor, 0, "", noValue}, {Factor, 0, "1e+10 dB", outOfRange}, {Factor, 3, "-1", positive},
    {Factor, 6, "150 %", "Value must be no more than 1."},
    {Factor, 7, "100 %", "Value must be less than 1."}, {Factor, 1, "0 %", "Value must be not 0."},
    // an angle factor below 0 is raised by whole periods
    {AngleFactor, 0, "0.25", 0.25, EHNone}, {AngleFactor, 0, "25 %", 0.25, EHPerc},
    {AngleFactor, 0, "90 '", 0.25, EHAngle}, {AngleFactor, 0, "-90 '", 0.75, EHAngle},
    {AngleFactor, 0, "-0.25", 0.75, EHNone}, {AngleFactor, 0, "-1.25", 0.75, EHNone},
    {AngleFactor, 0, "-1", 0, EHNone}, {AngleFactor, 0, "1.5", 1.5, EHNone},
    {AngleFactor, 0, "1 dB", angleWrong}, {AngleFactor, 0, "1 y", angleUnknown},
    {AngleFactor, 8, "360 '", faseHigh}, {AngleFactor, 8, "1", high1},
    {AngleFactor, 8, "-0.5", positive}, {AngleFactor, 8, "359 '", 359.0 / 360, EHAngle},
    {AngleFactor, 10, "-400 '", "Fase is too low. (minimum: -360' )"},
    {AngleFactor, 10, "400 '", faseHigh}, {AngleFactor, 10, "-1.5", low1},
    {AngleFactor, 10, "150 %", high1}, {AngleFactor, 10, "-0.5", 0.5, EHNone},
    {Balance, 10, "45 '", 0.5, EHAngle}, {Balance, 10, "100 %", 1, EHPerc},
    {Balance, 10, "-0.5", -0.5, EHNone}, {Balance, 10, "-90 '", -1, EHAngle},
    {Balance, 10, "-100 '", "Balance Angle is too low. (minimum: -90' )"},
    {Balance, 10, "91 '", "Balance Angle is too high. (maximum: 90' )"},
    {Balance, 10, "1.5", high1},
    {Balance, 0, "1.5", "Balance Factor is too high. (maximum: 1 or 100 %)"},
    {Balance, 0, "-150 %", "Balance Factor is too low. (minimum: -1 or -100 %)"},
    {Balance, 10, "1 dB", balanceWrong}, {Balance, 10, "1 q", angleUnknown},
    // the factors of the units are those of the round trips of ValueUnits ("minutes" is metres)
    {Length, 0, "1 m", 1, EHM}, {Length, 0, "3 meters", 3, EHM}, {Length, 0, "5 minutes", 5, EHM},
    {Length, 0, "10 inch", 0.254, EHInch}, {Length, 0, "0.343 kHz", 1, EHKHZ},
    {Length, 0, "0 Hz", noZero + "Hz'."}, {Length, 0, "0 kHz", noZero + "kHz'."},
    {Length, 0, "-0 Hz", noZero + "Hz'."}, {Length, 0, "1", wrongUnit + lengths},
    {Length, 0, "1 %", wrongUnit + lengths}, {Length, 0, "1 m/s", wrongUnit + lengths},
    {Length, 0, "1 x", unknown + lengths}, {Length, 0, "1e-320 Hz", outOfRange},
    {Length, 0, "1e+306 mile", outOfRange}, {Length, 5, "-1 m", more0},
    {Speed, 0, "3600 knots", 1852, EHKnots}, {Speed, 0, "1 m", wrongUnit + speeds},
    {Speed, 0, "1", wrongUnit + speeds}, {Speed, 0, "1 z", unknown + speeds},
    {Speed, 0, "1e+308 mach", outOfRange},
    // only 'a' to 'g' without a blank before start a note
    {Time, 0, "2 kHz", 0.0005, EHKHZ}, {Time, 0, "1 feet", 0.3048 / 343, EHFeet},
    {Time, 0, "A5", 1 / a5, EHNote}, {Time, 0, "a", 1 / a5, EHNote}, {Time, 5, "c", 1 / c5, EHNote},
    {Time, 0, " A5", noValue}, {Time, 0, "h5", noValue}, {Time, 0, "E#", sharp},
    {Time, 0, "0 Hz", noZero + "Hz'."}, {Time, 0, "0 kHz", noZero + "kHz'."},
    {Time, 0, "1", wrongUnit + times}, {Time, 0, "1 %", wrongUnit + times},
    {Time, 0, "1 q", unknown + times}, {Time, 0, "1e-320 Hz", outOfRange}, {Time, 5, "0 s", more0},
    {Time, 3, "-1 s", positive}, {Frequency, 0, "440HZ", 440, EHHZ},
    {Frequency, 0, "1 km", 0.343, EHKM}, {Frequency, 0, "0 s", noZero + "s'."},
    {Frequency, 0, "0 ms", noZero + "ms'."}, {Frequency, 0, "0 m", noZero + "m'."},
    {Frequency, 0, "0 mile", noZero + "mile'."}, {Frequency, 0, "0 nmile", noZero + "nmile'."},
    {Frequency, 0, "0 inch", noZero + "inch'."}, {Frequency, 0, "0 feet", noZero + "feet'."},
    {Frequency, 0, "0 dm", noZero + "dm'."}, {Frequency, 0, "440", wrongUnit + times},
    {Frequency, 0, "440 '", wrongUnit + times}, {Frequency, 0, "440 w", unknown + times},
    {Frequency, 0, "c13", "The maximum Octave number is 12."},
    {Frequency, 0, "1e-320 s", outOfRange}};
// clang-format on

class FamilyParsers : public kelvorn::testing::NoBoxes<::testing::TestWithParam<FamilyCase>>
{
};

TEST_P(FamilyParsers, ReadConvertCheck)
{
    const FamilyCase& c = GetParam();
    const auto parsers = {ParseFactor, ParseAngleFactor, ParseBalance,  ParseLength,
                          ParseSpeed,  ParseTime,        ParseFrequency};
    double value = -12345;
    MeasureUnitKind unit = EHError;
    std::string message;
    EXPECT_EQ(parsers.begin()[static_cast<int>(c.family)](c.text, static_cast<uint8_t>(c.code),
                                                          value, unit, message),
              c.message.empty());
    EXPECT_EQ(message, c.message);
    // A failed parse leaves its outputs alone.
    EXPECT_NEAR(value, c.message.empty() ? c.value : -12345, std::fabs(c.value) * 1e-12);
    EXPECT_EQ(unit, c.unit);
}

INSTANTIATE_TEST_SUITE_P(Families, FamilyParsers, ::testing::ValuesIn(familyCases));

TEST_F(ValueText, ParseWavePositionTable)
{
    const std::string end = "Position must be before the end of the wave";
    const std::string wrong = "Wrong unit used, use: 's', 'ms', 'Hz', 'kHz'.";
    const std::string fromEnd = "counted from the end";
    // the text, the wave's length, the position and unit read, and empty, fromEnd or the refusal
    // clang-format off
    const std::tuple<std::string, double, double, MeasureUnitKind, std::string> cases[] = {
        {"0.5", 2, 1, EHNone, ""}, {"25 %", 2, 0.5, EHPerc, ""}, {"0.5 s", 2, 0.5, EHS, ""},
        {"500 ms", 2, 0.5, EHMS, ""}, {"2 Hz", 2, 0.5, EHHZ, ""}, {"0.002 kHz", 2, 0.5, EHKHZ, ""},
        {"90 '", 2, 0.5, EHAngle, ""}, {"-90 '", 2, 1.5, EHAngle, ""},
        {"-360 '", 2, 0, EHAngle, ""}, {"343 m", 2, 1, EHM, ""}, {"A5", 2, 1 / a5, EHNote, ""},
        {"-0.5 s", 2, 1.5, EHS, fromEnd}, {"-2 s", 2, 0, EHS, fromEnd},
        {"-0.25", 2, 1.5, EHNone, fromEnd},
        {"-361 '", 2, 0, EHError, "Fase is too low. (minimum: -360' )"},
        {"360 '", 2, 0, EHError, faseHigh},
        {"-2.5 s", 2, 0, EHError, "Position must be not before the start of the previous wave"},
        {"2 s", 2, 0, EHError, end}, {"1", 2, 0, EHError, end}, {"100 %", 2, 0, EHError, end},
        {"-1e-20 s", 2, 0, EHError, end}  /* a hair before the end rounds onto the end */,
        {"0 s", 0, 0, EHError, end}, {"A1", 0.001, 0, EHError, end}  /* a note must lie within */,
        {"0 Hz", 2, 0, EHError, noZero + "Hz'."}, {"0 kHz", 2, 0, EHError, noZero + "kHz'."},
        {"1 dB", 2, 0, EHError, wrong}, {"1 $", 2, 0, EHError, wrong},
        {"1 q", 2, 0, EHError, "This unit does not exist, use: 's', 'ms', 'Hz', 'kHz'."},
        {"e#", 2, 0, EHError, sharp}, {"", 2, 0, EHError, noValue},
        {"1e-320 Hz", 2, 0, EHError, outOfRange}};
    // clang-format on
    for (const auto& [text, length, expected, kind, result] : cases) {
        const bool ok = result.empty() || result == fromEnd;
        double position = -7;
        MeasureUnitKind unit = EHError;
        bool counted = result != fromEnd;
        std::string message;
        EXPECT_EQ(std::tuple(ParseWavePosition(text, 0, length, position, unit, counted, message),
                             unit, counted, message),
                  std::tuple(ok, kind, result == fromEnd || !ok, ok ? "" : result));
        EXPECT_NEAR(position, ok ? expected : -7, 1e-12) << text;
    }
}

TEST_F(ValueText, ParseWaveValueTable)
{
    const std::string wrong = "Wrong unit used, use: '%', '$' or no unit.";
    const std::string high = "Wave Value is too high. (maximum: ";
    const std::string low = "Wave Value is too low. (minimum: ";
    // clang-format off
    const std::tuple<std::string, int, int, MeasureUnitKind, std::string> cases[] = {
        {"1", 0, 32767, EHNone, ""}, {"-1", 0, -32767, EHNone, ""}, {"0.5", 0, 16383, EHNone, ""},
        {"50 %", 0, 16383, EHPerc, ""}  /* trunc(50 * 327.67) */, {"100 %", 0, 32767, EHPerc, ""},
        {"-100 %", 0, -32767, EHPerc, ""}, {"32767 $", 0, 32767, EHValue, ""},
        {"-32768 $", 0, -32768, EHValue, ""}, {"12.9 $", 0, 12, EHValue, ""},
        {"-12.9 $", 0, -12, EHValue, ""}, {"1.5", 0, 0, EHError, high + "1)"},
        {"-1.5", 0, 0, EHError, low + "-1)"}, {"101 %", 0, 0, EHError, high + "100 %)"},
        {"-101 %", 0, 0, EHError, low + "-100 %)"}, {"32768 $", 0, 0, EHError, high + "32767 $)"},
        {"-32769 $", 0, 0, EHError, low + "-32768 $)"}, {"1 s", 0, 0, EHError, wrong},
        {"1 q", 0, 0, EHError, "This unit does not exist, use: '%', '$' or no unit."},
        {"x", 0, 0, EHError, noValue}, {"0", 5, 0, EHError, more0},
        {"0.00001", 5, 0, EHError, more0}, {"1 $", 5, 1, EHValue, ""}};
    // clang-format on
    for (const auto& [text, code, expected, kind, failure] : cases) {
        int16_t value = -7;
        MeasureUnitKind unit = EHError;
        std::string message;
        EXPECT_EQ(
            std::tuple(ParseWaveValue(text, uint8_t(code), value, unit, message), value, unit,
                       message),
            std::tuple(failure.empty(), int16_t(failure.empty() ? expected : -7), kind, failure));
    }
}

TEST_F(ValueText, ParseIntegerAndParseIntegerBound)
{
    // Code 0 to 5 of ParseInteger, or the bound of ParseIntegerBound (relation 5, "more than").
    // An empty message stands for the "Invalid value" message of the text.
    // clang-format off
    const std::tuple<bool, std::string, int, bool, int32_t, std::string> cases[] = {
        {false, "42", 0, true, 42, ""}, {false, "-42", 0, true, -42, ""},
        {false, "+42", 0, true, 42, ""}, {false, "+-42", 0, true, -42, ""},
        {false, "42  ", 0, true, 42, ""}, {false, "42\t\r\n", 0, true, 42, ""},
        {false, "2147483647", 0, true, 2147483647, ""},
        {false, "-2147483648", 0, true, -2147483647 - 1, ""}, {false, " 42", 0, false, 0, ""},
        {false, "4 2", 0, false, 0, ""}, {false, "42x", 0, false, 0, ""},
        {false, "4.2", 0, false, 0, ""}, {false, "", 0, false, 0, ""},
        {false, "-", 0, false, 0, ""}, {false, "2147483648", 0, false, 0, ""},
        {false, "-2147483649", 0, false, 0, ""}, {false, "99999999999999999999", 0, false, 0, ""},
        {false, "0", 5, false, 0, more0}, {false, "-1", 3, false, 0, positive},
        {false, "0", 3, true, 0, ""}, {true, "11", 10, true, 11, ""},
        {true, " 11 ", 10, true, 11, ""}, {true, "\t11\n", 10, true, 11, ""},
        {true, "0", -1, true, 0, ""}, {true, "10", 10, false, 0, "Value must be more than 10."},
        {true, "3", 2147483647, false, 0, "Value must be more than 2147483647."},
        {true, "+11", 10, false, 0, ""}, {true, "-3", -5, false, 0, ""},
        {true, "1 1", 0, false, 0, ""}, {true, "", 0, false, 0, ""},
        {true, "2147483648", 0, false, 0, ""},
        // nine digits read at once, ten by the longer way; the same rules either way
        {false, "999999999", 0, true, 999999999, ""}, {false, "-999999999", 0, true, -999999999, ""},
        {false, "1000000000", 0, true, 1000000000, ""}, {false, "000000007", 0, true, 7, ""},
        {false, "-0", 3, true, 0, ""}, {false, "-1", 3, false, 0, positive},
        {false, "--1", 0, false, 0, ""}, {false, "1-", 0, false, 0, ""}};
    // clang-format on
    for (const auto& [bounded, text, code, ok, expected, failure] : cases) {
        int32_t value = -7;
        std::string message;
        bool read = bounded ? ParseIntegerBound(text, 5, code, value, message)
                            : ParseInteger(text, static_cast<uint8_t>(code), value, message);
        std::string refusal = failure.empty() ? "Invalid value: \"" + text + "\"." : failure;
        EXPECT_EQ(std::tuple(read, value, message),
                  std::tuple(ok, ok ? expected : -7, ok ? "" : refusal));
    }
}

} // namespace
