#include "general/values/ValueText.h"

#include "general/values/NoBoxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace kelvorn;
using kelvorn::testing::IsAssertionBox;

namespace {

using ValueText = kelvorn::testing::NoBoxes<>;

const std::string noValue = "Input has no value.";
const std::string outOfRange(OutOfRangeMessage);

// ---- numbers ----------------------------------------------------------------------------------

struct NumberCase
{
    std::string text;
    bool ok;
    double value;
    std::string message;
    std::string rest; // what the cursor has left on success
};

TEST_F(ValueText, ParseNumberReadsEveryForm)
{
    const NumberCase cases[] = {
        {"1,5", true, 1.5, "", ""},
        {"1.5", true, 1.5, "", ""},
        {"3/4", true, 0.75, "", ""},
        {"-3/4", true, -0.75, "", ""},
        {"3 /4", true, 0.75, "", ""},
        {"3/4e+2", true, 0.75, "", "e+2"}, // no exponent after a fraction
        {"3/0", false, 0, "Broke is invalid.", ""},
        {"/4", false, 0, "Input has no value before '/'.", ""},
        {"3/", false, 0, "Input has no value after '/'.", ""},
        {"3/ 4", false, 0, "Input has no value after '/'.", ""},
        {"2e+3", true, 2000, "", ""},
        {"2E-3", true, 0.002, "", ""},
        {"2 e - 3", true, 0.002, "", ""},
        {"2e3", true, 2, "", "e3"},
        {"2e+", true, 2, "", "e+"},
        {"1.5e+2", true, 150, "", ""},
        {"1.5 e+2", true, 150, "", ""},
        {"1.5e2", true, 1.5, "", "e2"},
        {" -5", false, 0, noValue, ""},
        {"- 5", true, -5, "", ""},
        {"+5", true, 5, "", ""},
        {"+ 5", true, 5, "", ""},
        {"+-5", false, 0, noValue, ""},
        {"", false, 0, noValue, ""},
        {"e+5", false, 0, noValue, ""},
        {"abc", false, 0, noValue, ""},
        {".", true, 0, "", ""},
        {".5", true, 0.5, "", ""},
        {"5.", true, 5, "", ""},
        {",25", true, 0.25, "", ""},
        {"5 .5", true, 5.5, "", ""},
        {"5. 5", true, 5, "", " 5"},
        {"12abc", true, 12, "", "abc"},
        {"12 abc", true, 12, "", "abc"},
        {"007", true, 7, "", ""},
        {"1e-400", true, 0, "", ""},
        {"0e+99999999999999999999", true, 0, "", ""},
        {"1e+400", false, 0, outOfRange, ""},
        {"-1e+309", false, 0, outOfRange, ""},
        {"1e+99999999999999999999999", false, 0, outOfRange, ""},
    };
    for (const NumberCase& c : cases) {
        std::string_view cursor = c.text;
        double value = -99;
        std::string message;
        EXPECT_EQ(ParseNumber(cursor, value, message), c.ok) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_DOUBLE_EQ(value, c.value) << c.text;
            EXPECT_EQ(cursor, c.rest) << c.text;
        } else {
            EXPECT_EQ(message, c.message) << c.text;
        }
    }
}

TEST_F(ValueText, ParseNumberIsCorrectlyRounded)
{
    for (const char* text :
         {"0.3", "0.1", "123456789.123456789", "2.675", "1e-7", "9007199254740993",
          "0.000000000000000000000000000001234", "1.7976931348623157e+308"}) {
        std::string_view cursor = text;
        double value = 0;
        std::string message;
        ASSERT_TRUE(ParseNumber(cursor, value, message)) << text;
        EXPECT_EQ(value, std::stod(text)) << text;
    }
}

TEST_F(ValueText, LongDigitStringsReadOrFailButNeverGiveInfinity)
{
    std::string message;
    double value = 0;
    // 400 digits: beyond a double, refused rather than infinite.
    std::string huge(400, '1');
    std::string_view cursor = huge;
    EXPECT_FALSE(ParseNumber(cursor, value, message));
    EXPECT_EQ(message, outOfRange);
    // The same digits behind the point are an ordinary number.
    std::string ninth = "0." + huge;
    cursor = ninth;
    ASSERT_TRUE(ParseNumber(cursor, value, message));
    EXPECT_DOUBLE_EQ(value, 1.0 / 9.0);
    // A fraction of two overflowing integers would be inf / inf.
    // Appended: "text" + std::string&& draws a false g++ 12 warning at -O2.
    std::string fraction = std::string("1").append(400, '0').append("/1").append(400, '0');
    cursor = fraction;
    EXPECT_FALSE(ParseNumber(cursor, value, message));
    EXPECT_EQ(message, outOfRange);
    // Many leading zeros before a normal exponent.
    std::string zeros = std::string(500, '0').append("25e-1");
    cursor = zeros;
    ASSERT_TRUE(ParseNumber(cursor, value, message));
    EXPECT_DOUBLE_EQ(value, 2.5);
}

struct ExponentCase
{
    std::string text;
    bool ok;
    double exponent;
    std::string rest;
};

TEST_F(ValueText, ReadExponentNeedsTheSignAndADigit)
{
    const ExponentCase cases[] = {
        {"e+5", true, 5, ""},   {" E - 12x", true, -12, "x"}, {"e5", false, 0, "e5"},
        {"e+", false, 0, "e+"}, {"e +", false, 0, "e +"},     {"x", false, 0, "x"},
        {"", false, 0, ""},     {"e-0", true, 0, ""},         {"\te\t+\t7", true, 7, ""},
    };
    for (const ExponentCase& c : cases) {
        std::string_view cursor = c.text;
        double exponent = -99;
        EXPECT_EQ(ReadExponent(cursor, exponent), c.ok) << c.text;
        EXPECT_EQ(cursor, c.rest) << c.text;
        if (c.ok) {
            EXPECT_EQ(exponent, c.exponent) << c.text;
        }
    }
}

TEST_F(ValueText, DigitReadersCountWhatTheyRead)
{
    std::string_view cursor = "0123x";
    double value = 0;
    int64_t count = 0;
    EXPECT_TRUE(ReadDigits(cursor, value, count));
    EXPECT_EQ(value, 123);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(cursor, "x");
    cursor = "+-17";
    ReadSignedDigits(cursor, value, count);
    EXPECT_EQ(value, -17);
    EXPECT_EQ(count, 2);
    cursor = "-+17";
    ReadSignedDigits(cursor, value, count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(cursor, "+17");
    cursor = " \t 5";
    SkipBlanks(cursor);
    EXPECT_EQ(cursor, "5");
}

// ---- units ------------------------------------------------------------------------------------

struct UnitCase
{
    std::string text;
    MeasureUnitKind unit;
    std::string rest;
};

TEST_F(ValueText, ReadUnitSuffixMatchesPrefixesInItsOrder)
{
    const UnitCase cases[] = {
        {"", EHNone, ""},         {"octave", EHOctave, ""},
        {"oct", EHError, "oct"},  {"nmile", EHNautMile, ""},
        {"knots", EHKnots, ""},   {"kn", EHError, "kn"},
        {"miles", EHMile, "s"},   {"feet", EHFeet, ""},
        {"Inch", EHInch, ""},     {"km/h", EHKMpH, ""},
        {"KM", EHKM, ""},         {"mach", EHMach, ""},
        {"kHz", EHKHZ, ""},       {"m/s", EHMpS, ""},
        {"mph", EHMpH, ""},       {"ms", EHMS, ""},
        {"hz", EHHZ, ""},         {"HZ", EHHZ, ""},
        {"db", EHDB, ""},         {"dm", EHDM, ""},
        {"cm", EHCM, ""},         {"mm", EHMM, ""},
        {"%", EHPerc, ""},        {"$", EHValue, ""},
        {"s", EHS, ""},           {"seconds", EHS, "econds"},
        {"'", EHAngle, ""},       {"m", EHM, ""},
        {"meters", EHM, "eters"}, {"minutes", EHM, "inutes"},
        {"x", EHError, "x"},      {" m", EHError, " m"},
        {"e3", EHError, "e3"},    {"\xe9", EHError, "\xe9"},
    };
    for (const UnitCase& c : cases) {
        std::string_view cursor = c.text;
        EXPECT_EQ(ReadUnitSuffix(cursor), c.unit) << c.text;
        EXPECT_EQ(cursor, c.rest) << c.text;
    }
}

TEST_F(ValueText, ParseValueAndUnitFailsOnlyOnTheNumber)
{
    double value = 0;
    MeasureUnitKind unit = EHError;
    std::string message;
    ASSERT_TRUE(ParseValueAndUnit("440 hz", value, unit, message));
    EXPECT_EQ(value, 440);
    EXPECT_EQ(unit, EHHZ);
    ASSERT_TRUE(ParseValueAndUnit("440HZ", value, unit, message));
    EXPECT_EQ(unit, EHHZ);
    ASSERT_TRUE(ParseValueAndUnit("5 ", value, unit, message));
    EXPECT_EQ(unit, EHNone);
    ASSERT_TRUE(ParseValueAndUnit("2e3", value, unit, message));
    EXPECT_EQ(value, 2);
    EXPECT_EQ(unit, EHError);
    EXPECT_FALSE(ParseValueAndUnit("hz", value, unit, message));
    EXPECT_EQ(message, noValue);
}

// ---- notes ------------------------------------------------------------------------------------

struct NoteCase
{
    std::string text;
    bool ok;
    double frequency;
    std::string message;
    std::string rest;
};

TEST_F(ValueText, ParseNoteFrequencyReadsLetterSharpAndOctave)
{
    const double c5 = 523.26;
    const NoteCase cases[] = {
        {"C5", true, c5, "", ""},
        {"c", true, c5, "", ""},
        {"A5", true, c5 * std::pow(2.0, 9.0 / 12), "", ""},
        {"a#5", true, c5 * std::pow(2.0, 10.0 / 12), "", ""},
        {"C#5", true, c5 * std::pow(2.0, 1.0 / 12), "", ""},
        {"C+4", true, c5 / 2, "", ""},
        {"c-2", true, c5 / 128, "", ""},
        {"c12", true, c5 * 128, "", ""},
        {"c-", true, c5, "", ""},
        {"G4xyz", true, c5 * std::pow(2.0, 7.0 / 12 - 1), "", "xyz"},
        {"c5.5", true, c5, "", ".5"},
        {"e#", false, 0, "This note cannot have a \"#\".", "e#"},
        {"B#3", false, 0, "This note cannot have a \"#\".", "B#3"},
        {"c13", false, 0, "The maximum Octave number is 12.", ""},
        {"c99999999999999999999", false, 0, "The maximum Octave number is 12.", ""},
        {"c-3", false, 0, "The minimum Octave number is -2.", ""},
        {"h", false, 0, "wrong digit 'H ' used, it must between 'A' and 'G'.", ""},
        {"x5", false, 0, "wrong digit 'X ' used, it must between 'A' and 'G'.", ""},
        {"#", false, 0, "wrong digit '# ' used, it must between 'A' and 'G'.", ""},
        {"1", false, 0, "wrong digit '1 ' used, it must between 'A' and 'G'.", ""},
        {"", false, 0, "wrong digit ' ' used, it must between 'A' and 'G'.", ""},
    };
    for (const NoteCase& c : cases) {
        std::string_view cursor = c.text;
        double frequency = 0;
        std::string message;
        EXPECT_EQ(ParseNoteFrequency(cursor, frequency, message), c.ok) << c.text;
        if (c.ok) {
            EXPECT_NEAR(frequency, c.frequency, c.frequency * 1e-12) << c.text;
            EXPECT_EQ(cursor, c.rest) << c.text;
        } else {
            EXPECT_EQ(message, c.message) << c.text;
            if (!c.rest.empty()) {
                EXPECT_EQ(cursor, c.rest) << c.text;
            }
        }
    }
    EXPECT_NEAR(NoteFrequency(9, 5), 880.0, 0.02); // A5 is 880 Hz to within the C5 of 523.26
}

// ---- range rules ------------------------------------------------------------------------------

struct ConstraintCase
{
    int code;
    double x;
    MeasureUnitKind unit;
    bool ok;
    std::string message; // "previous" where the message is left as it was
};

TEST_F(ValueText, CheckConstraintCodesZeroToTen)
{
    const std::string low1 = "Value is too low. (minimum: -1 or -100 %)";
    const std::string high1 = "Value is too high. (maximum: less than 1 or 100 %)";
    const std::string faseLow = "Fase is too low. (minimum: -360' )";
    const std::string faseHigh = "Fase is too high. (maximum: less than 360' )";
    const ConstraintCase cases[] = {
        {0, -1e300, EHNone, true, ""},
        {1, 0, EHNone, false, "Value must be not 0."},
        {1, -1e-300, EHNone, true, ""},
        {2, 0, EHNone, true, ""},
        {2, 1e-300, EHNone, false, "Value must be negative."},
        {3, 0, EHNone, true, ""},
        {3, -1e-300, EHNone, false, "Value must be positive."},
        {4, -1e-300, EHNone, true, ""},
        {4, 0, EHNone, false, "Value must be negative and less than 0."},
        {5, 1e-300, EHNone, true, ""},
        {5, 0, EHNone, false, "Value must be positive and more than 0."},
        {6, 0, EHNone, true, ""},
        {6, 1, EHNone, true, ""},
        {6, -0.1, EHNone, false, "Value must be positive."},
        {6, 1.0000001, EHPerc, false, "Value must be no more than 1."},
        {7, 0.5, EHNone, true, ""},
        {7, 0, EHNone, false, "Value must be positive and more than 0."},
        {7, 1, EHNone, false, "Value must be less than 1."},
        {8, 0, EHNone, true, ""},
        {8, 0.9999999, EHAngle, true, ""},
        {8, -0.1, EHAngle, false, "Value must be positive."},
        {8, 1, EHNone, false, high1},
        {8, 1, EHPerc, false, high1},
        {8, 1, EHAngle, false, faseHigh},
        {8, 1, EHS, false, "previous"},
        {9, 1.0000001, EHNone, true, ""},
        {9, 1, EHNone, false, "Value must be more than 1."},
        {10, -1, EHNone, true, ""},
        {10, 1, EHAngle, true, ""},
        {10, -1.5, EHNone, false, low1},
        {10, -1.5, EHPerc, false, low1},
        {10, -1.5, EHAngle, false, faseLow},
        {10, 1.5, EHNone, false, high1},
        {10, 1.5, EHAngle, false, faseHigh},
        {10, 1.5, EHDB, false, "previous"},
        {10, -1.5, EHHZ, false, "previous"},
        {11, -5, EHNone, true, ""},
        {255, 0, EHNone, true, ""},
    };
    for (const ConstraintCase& c : cases) {
        std::string message = "previous";
        EXPECT_EQ(CheckConstraint(static_cast<uint8_t>(c.code), c.x, message, c.unit), c.ok)
            << "code " << c.code << " x " << c.x;
        if (!c.ok) {
            EXPECT_EQ(message, c.message) << "code " << c.code << " x " << c.x;
        }
    }
}

struct BoundCase
{
    int relation;
    double x;
    int32_t bound;
    bool ok;
    std::string message;
};

TEST_F(ValueText, CheckUserBoundRelationsOneToFive)
{
    const BoundCase cases[] = {
        {1, 4, 5, true, ""},
        {1, 5, 5, false, "Value must be unequal of 5."},
        {2, 5, 5, true, ""},
        {2, 6, 5, false, "Value must be less or equal of 5."},
        {3, 5, 5, true, ""},
        {3, 4, 5, false, "Value must be more or equal of 5."},
        {4, 4, 5, true, ""},
        {4, 5, 5, false, "Value must be less than 5."},
        {5, 6, 5, true, ""},
        {5, 5, 5, false, "Value must be more than 5."},
        {5, -7, -5, false, "Value must be more than -5."},
        {5, 0, 2147483647, false, "Value must be more than 2147483647."},
        {4, 0, -2147483647 - 1, false, "Value must be less than -2147483648."},
        {3, 0, 12345678, false, "Value must be more or equal of 12345678."},
    };
    for (const BoundCase& c : cases) {
        std::string message;
        EXPECT_EQ(CheckUserBound(static_cast<uint8_t>(c.relation), c.x, c.bound, message), c.ok)
            << c.relation << " " << c.x;
        EXPECT_EQ(message, c.message) << c.relation << " " << c.x;
    }
}

TEST_F(ValueText, AnUnknownRelationAssertsAndPasses)
{
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
    Family family;
    int code;
    std::string text;
    bool ok;
    double value;
    MeasureUnitKind unit;
    std::string message;
};

void PrintTo(const FamilyCase& c, std::ostream* out)
{
    static const char* names[] = {"factor", "angle factor", "balance",  "length",
                                  "speed",  "time",         "frequency"};
    *out << names[static_cast<int>(c.family)] << " code " << c.code << " \"" << c.text << '"';
}

bool RunFamily(Family family, std::string_view text, uint8_t code, double& value,
               MeasureUnitKind& unit, std::string& message)
{
    switch (family) {
    case Family::Factor:
        return ParseFactor(text, code, value, unit, message);
    case Family::AngleFactor:
        return ParseAngleFactor(text, code, value, unit, message);
    case Family::Balance:
        return ParseBalance(text, code, value, unit, message);
    case Family::Length:
        return ParseLength(text, code, value, unit, message);
    case Family::Speed:
        return ParseSpeed(text, code, value, unit, message);
    case Family::Time:
        return ParseTime(text, code, value, unit, message);
    case Family::Frequency:
        return ParseFrequency(text, code, value, unit, message);
    }
    return false;
}

const std::string factorUnknown = "This unit does not exist, use: '%' or no unit.";
const std::string factorWrong = "Wrong unit used, use: '%' or no unit.";
const std::string angleUnknown = "This unit does not exist, use: '%', ' ' ' or no unit.";
const std::string angleWrong = "Wrong unit used, use: '%', ' ' 'or no unit.";
const std::string balanceWrong = "Wrong unit used, use: '%', ' ' ' or no unit.";
const std::string lengthUnknown =
    "This unit does not exist, use: 'm', 'dm', 'cm', 'mm', 'km', 'mile', 'nmile'.";
const std::string lengthWrong =
    "Wrong unit used, use: 'm', 'dm', 'cm', 'mm', 'km', 'mile', 'nmile'.";
const std::string speedUnknown =
    "This unit does not exist, use: 'm/s', 'km/h', 'mph', 'mach', 'knots'.";
const std::string speedWrong = "Wrong unit used, use: 'm/s', 'km/h', 'mph', 'mach', 'knots'.";
const std::string timeUnknown = "This unit does not exist, use: 's', 'ms', 'Hz', 'kHz', 'm', "
                                "'dm', 'cm', 'mm', 'km', 'mile', 'nmile', 'feet', 'inch'.";
const std::string timeWrong = "Wrong unit used, use: 's', 'ms', 'Hz', 'kHz', 'm', 'dm', 'cm', "
                              "'mm', 'km', 'mile', 'nmile', 'feet', 'inch'.";

const double a5 = NoteFrequency(9, 5);

class FamilyParsers : public kelvorn::testing::NoBoxes<::testing::TestWithParam<FamilyCase>>
{
};

TEST_P(FamilyParsers, ReadConvertCheck)
{
    const FamilyCase& c = GetParam();
    double value = -12345;
    MeasureUnitKind unit = EHError;
    std::string message;
    bool ok = RunFamily(c.family, c.text, static_cast<uint8_t>(c.code), value, unit, message);
    EXPECT_EQ(ok, c.ok) << message;
    if (c.ok) {
        EXPECT_NEAR(value, c.value, std::fabs(c.value) * 1e-12);
        EXPECT_EQ(unit, c.unit);
    } else {
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(value, -12345) << "a failed parse leaves its outputs alone";
        EXPECT_EQ(unit, EHError);
    }
}

const FamilyCase familyCases[] = {
    // factor
    {Family::Factor, 0, "0.5", true, 0.5, EHNone, ""},
    {Family::Factor, 0, "50 %", true, 0.5, EHPerc, ""},
    {Family::Factor, 0, "50%", true, 0.5, EHPerc, ""},
    {Family::Factor, 0, "6 dB", true, std::pow(10.0, 0.3), EHDB, ""},
    {Family::Factor, 0, "-6 db", true, std::pow(10.0, -0.3), EHDB, ""},
    {Family::Factor, 0, "1 octave", true, 2, EHOctave, ""},
    {Family::Factor, 0, "-2 octaves", true, 0.25, EHOctave, ""},
    {Family::Factor, 0, "1 oct", false, 0, EHNone, factorUnknown},
    {Family::Factor, 0, "1 x", false, 0, EHNone, factorUnknown},
    {Family::Factor, 0, "1 s", false, 0, EHNone, factorWrong},
    {Family::Factor, 0, "1 '", false, 0, EHNone, factorWrong},
    {Family::Factor, 0, "5 minutes", false, 0, EHNone, factorWrong},
    {Family::Factor, 0, "", false, 0, EHNone, noValue},
    {Family::Factor, 0, "1e+10 dB", false, 0, EHNone, outOfRange},
    {Family::Factor, 3, "-1", false, 0, EHNone, "Value must be positive."},
    {Family::Factor, 6, "150 %", false, 0, EHNone, "Value must be no more than 1."},
    {Family::Factor, 7, "100 %", false, 0, EHNone, "Value must be less than 1."},
    {Family::Factor, 1, "0 %", false, 0, EHNone, "Value must be not 0."},
    // angle factor: a negative value is raised by whole periods
    {Family::AngleFactor, 0, "0.25", true, 0.25, EHNone, ""},
    {Family::AngleFactor, 0, "25 %", true, 0.25, EHPerc, ""},
    {Family::AngleFactor, 0, "90 '", true, 0.25, EHAngle, ""},
    {Family::AngleFactor, 0, "-90 '", true, 0.75, EHAngle, ""},
    {Family::AngleFactor, 0, "-0.25", true, 0.75, EHNone, ""},
    {Family::AngleFactor, 0, "-1.25", true, 0.75, EHNone, ""},
    {Family::AngleFactor, 0, "-1", true, 0, EHNone, ""},
    {Family::AngleFactor, 0, "1.5", true, 1.5, EHNone, ""},
    {Family::AngleFactor, 0, "1 dB", false, 0, EHNone, angleWrong},
    {Family::AngleFactor, 0, "1 y", false, 0, EHNone, angleUnknown},
    {Family::AngleFactor, 8, "360 '", false, 0, EHNone,
     "Fase is too high. (maximum: less than 360' )"},
    {Family::AngleFactor, 8, "1", false, 0, EHNone,
     "Value is too high. (maximum: less than 1 or 100 %)"},
    {Family::AngleFactor, 8, "-0.5", false, 0, EHNone, "Value must be positive."},
    {Family::AngleFactor, 8, "359 '", true, 359.0 / 360, EHAngle, ""},
    {Family::AngleFactor, 10, "-400 '", false, 0, EHNone, "Fase is too low. (minimum: -360' )"},
    {Family::AngleFactor, 10, "400 '", false, 0, EHNone,
     "Fase is too high. (maximum: less than 360' )"},
    {Family::AngleFactor, 10, "-1.5", false, 0, EHNone,
     "Value is too low. (minimum: -1 or -100 %)"},
    {Family::AngleFactor, 10, "150 %", false, 0, EHNone,
     "Value is too high. (maximum: less than 1 or 100 %)"},
    {Family::AngleFactor, 10, "-0.5", true, 0.5, EHNone, ""},
    // balance
    {Family::Balance, 10, "45 '", true, 0.5, EHAngle, ""},
    {Family::Balance, 10, "100 %", true, 1, EHPerc, ""},
    {Family::Balance, 10, "-0.5", true, -0.5, EHNone, ""},
    {Family::Balance, 10, "-90 '", true, -1, EHAngle, ""},
    {Family::Balance, 10, "-100 '", false, 0, EHNone, "Balance Angle is too low. (minimum: -90' )"},
    {Family::Balance, 10, "91 '", false, 0, EHNone, "Balance Angle is too high. (maximum: 90' )"},
    {Family::Balance, 10, "1.5", false, 0, EHNone,
     "Value is too high. (maximum: less than 1 or 100 %)"},
    {Family::Balance, 0, "1.5", false, 0, EHNone,
     "Balance Factor is too high. (maximum: 1 or 100 %)"},
    {Family::Balance, 0, "-150 %", false, 0, EHNone,
     "Balance Factor is too low. (minimum: -1 or -100 %)"},
    {Family::Balance, 10, "1 dB", false, 0, EHNone, balanceWrong},
    {Family::Balance, 10, "1 q", false, 0, EHNone, angleUnknown},
    // length
    {Family::Length, 0, "1 m", true, 1, EHM, ""},
    {Family::Length, 0, "3 meters", true, 3, EHM, ""},
    {Family::Length, 0, "5 minutes", true, 5, EHM, ""}, // prefix matching, kept
    {Family::Length, 0, "2 km", true, 2000, EHKM, ""},
    {Family::Length, 0, "5 dm", true, 0.5, EHDM, ""},
    {Family::Length, 0, "5 cm", true, 0.05, EHCM, ""},
    {Family::Length, 0, "5 mm", true, 0.005, EHMM, ""},
    {Family::Length, 0, "1 mile", true, 1609, EHMile, ""},
    {Family::Length, 0, "1 nmile", true, 1852, EHNautMile, ""},
    {Family::Length, 0, "1 feet", true, 0.3048, EHFeet, ""},
    {Family::Length, 0, "10 inch", true, 0.254, EHInch, ""},
    {Family::Length, 0, "1 s", true, 343, EHS, ""},
    {Family::Length, 0, "1 ms", true, 0.343, EHMS, ""},
    {Family::Length, 0, "343 Hz", true, 1, EHHZ, ""},
    {Family::Length, 0, "0.343 kHz", true, 1, EHKHZ, ""},
    {Family::Length, 0, "0 Hz", false, 0, EHNone, "You cannot use 0 with 'Hz'."},
    {Family::Length, 0, "0 kHz", false, 0, EHNone, "You cannot use 0 with 'kHz'."},
    {Family::Length, 0, "-0 Hz", false, 0, EHNone, "You cannot use 0 with 'Hz'."},
    {Family::Length, 0, "1", false, 0, EHNone, lengthWrong},
    {Family::Length, 0, "1 %", false, 0, EHNone, lengthWrong},
    {Family::Length, 0, "1 m/s", false, 0, EHNone, lengthWrong},
    {Family::Length, 0, "1 x", false, 0, EHNone, lengthUnknown},
    {Family::Length, 0, "1e-320 Hz", false, 0, EHNone, outOfRange},
    {Family::Length, 0, "1e+306 mile", false, 0, EHNone, outOfRange},
    {Family::Length, 5, "-1 m", false, 0, EHNone, "Value must be positive and more than 0."},
    // speed
    {Family::Speed, 0, "1 m/s", true, 1, EHMpS, ""},
    {Family::Speed, 0, "1 km/h", true, 0.27778, EHKMpH, ""},
    {Family::Speed, 0, "1 mph", true, 0.44694, EHMpH, ""},
    {Family::Speed, 0, "1 mach", true, 343, EHMach, ""},
    {Family::Speed, 0, "3600 knots", true, 1852, EHKnots, ""},
    {Family::Speed, 0, "1 m", false, 0, EHNone, speedWrong},
    {Family::Speed, 0, "1", false, 0, EHNone, speedWrong},
    {Family::Speed, 0, "1 z", false, 0, EHNone, speedUnknown},
    {Family::Speed, 0, "1e+308 mach", false, 0, EHNone, outOfRange},
    // time
    {Family::Time, 0, "1 s", true, 1, EHS, ""},
    {Family::Time, 0, "500 ms", true, 0.5, EHMS, ""},
    {Family::Time, 0, "2 Hz", true, 0.5, EHHZ, ""},
    {Family::Time, 0, "2 kHz", true, 0.0005, EHKHZ, ""},
    {Family::Time, 0, "343 m", true, 1, EHM, ""},
    {Family::Time, 0, "1 feet", true, 0.3048 / 343, EHFeet, ""},
    {Family::Time, 0, "A5", true, 1 / a5, EHNote, ""},
    {Family::Time, 0, "a", true, 1 / a5, EHNote, ""},
    {Family::Time, 5, "c", true, 1 / 523.26, EHNote, ""},
    {Family::Time, 0, " A5", false, 0, EHNone, noValue},
    {Family::Time, 0, "h5", false, 0, EHNone, noValue}, // only 'a' to 'g' start a note
    {Family::Time, 0, "E#", false, 0, EHNone, "This note cannot have a \"#\"."},
    {Family::Time, 0, "0 Hz", false, 0, EHNone, "You cannot use 0 with 'Hz'."},
    {Family::Time, 0, "0 kHz", false, 0, EHNone, "You cannot use 0 with 'kHz'."},
    {Family::Time, 0, "1", false, 0, EHNone, timeWrong},
    {Family::Time, 0, "1 %", false, 0, EHNone, timeWrong},
    {Family::Time, 0, "1 q", false, 0, EHNone, timeUnknown},
    {Family::Time, 0, "1e-320 Hz", false, 0, EHNone, outOfRange},
    {Family::Time, 5, "0 s", false, 0, EHNone, "Value must be positive and more than 0."},
    {Family::Time, 3, "-1 s", false, 0, EHNone, "Value must be positive."},
    // frequency
    {Family::Frequency, 0, "440 hz", true, 440, EHHZ, ""},
    {Family::Frequency, 0, "440HZ", true, 440, EHHZ, ""},
    {Family::Frequency, 0, "1 kHz", true, 1000, EHKHZ, ""},
    {Family::Frequency, 0, "0.5 s", true, 2, EHS, ""},
    {Family::Frequency, 0, "10 ms", true, 100, EHMS, ""},
    {Family::Frequency, 0, "1 m", true, 343, EHM, ""},
    {Family::Frequency, 0, "1 km", true, 0.343, EHKM, ""},
    {Family::Frequency, 0, "A5", true, a5, EHNote, ""},
    {Family::Frequency, 0, "0 s", false, 0, EHNone, "You cannot use 0 with 's'."},
    {Family::Frequency, 0, "0 ms", false, 0, EHNone, "You cannot use 0 with 'ms'."},
    {Family::Frequency, 0, "0 m", false, 0, EHNone, "You cannot use 0 with 'm'."},
    {Family::Frequency, 0, "0 mile", false, 0, EHNone, "You cannot use 0 with 'mile'."},
    {Family::Frequency, 0, "0 nmile", false, 0, EHNone, "You cannot use 0 with 'nmile'."},
    {Family::Frequency, 0, "0 inch", false, 0, EHNone, "You cannot use 0 with 'inch'."},
    {Family::Frequency, 0, "0 feet", false, 0, EHNone, "You cannot use 0 with 'feet'."},
    {Family::Frequency, 0, "0 dm", false, 0, EHNone, "You cannot use 0 with 'dm'."},
    {Family::Frequency, 0, "440", false, 0, EHNone, timeWrong},
    {Family::Frequency, 0, "440 '", false, 0, EHNone, timeWrong},
    {Family::Frequency, 0, "440 w", false, 0, EHNone, timeUnknown},
    {Family::Frequency, 0, "c13", false, 0, EHNone, "The maximum Octave number is 12."},
    {Family::Frequency, 0, "1e-320 s", false, 0, EHNone, outOfRange},
};

INSTANTIATE_TEST_SUITE_P(Families, FamilyParsers, ::testing::ValuesIn(familyCases));

struct PositionCase
{
    std::string text;
    double length;
    bool ok;
    double position;
    MeasureUnitKind unit;
    bool fromEnd;
    std::string message;
};

TEST_F(ValueText, ParseWavePositionTable)
{
    const std::string endMessage = "Position must be before the end of the wave";
    const std::string previousMessage =
        "Position must be not before the start of the previous wave";
    const PositionCase cases[] = {
        {"0.5", 2, true, 1, EHNone, false, ""},
        {"25 %", 2, true, 0.5, EHPerc, false, ""},
        {"0.5 s", 2, true, 0.5, EHS, false, ""},
        {"500 ms", 2, true, 0.5, EHMS, false, ""},
        {"2 Hz", 2, true, 0.5, EHHZ, false, ""},
        {"0.002 kHz", 2, true, 0.5, EHKHZ, false, ""},
        {"90 '", 2, true, 0.5, EHAngle, false, ""},
        {"-90 '", 2, true, 1.5, EHAngle, false, ""},
        {"-360 '", 2, true, 0, EHAngle, false, ""},
        {"343 m", 2, true, 1, EHM, false, ""},
        {"A5", 2, true, 1 / a5, EHNote, false, ""},
        {"-0.5 s", 2, true, 1.5, EHS, true, ""},
        {"-2 s", 2, true, 0, EHS, true, ""},
        {"-0.25", 2, true, 1.5, EHNone, true, ""},
        {"-361 '", 2, false, 0, EHNone, false, "Fase is too low. (minimum: -360' )"},
        {"360 '", 2, false, 0, EHNone, false, "Fase is too high. (maximum: less than 360' )"},
        {"-2.5 s", 2, false, 0, EHNone, false, previousMessage},
        {"2 s", 2, false, 0, EHNone, false, endMessage},
        {"1", 2, false, 0, EHNone, false, endMessage},
        // counted from the end, a hair before it rounds onto the end itself
        {"-1e-20 s", 2, false, 0, EHNone, false, endMessage},
        {"100 %", 2, false, 0, EHNone, false, endMessage},
        {"0 s", 0, false, 0, EHNone, false, endMessage},
        {"0 Hz", 2, false, 0, EHNone, false, "You cannot use 0 with 'Hz'."},
        {"0 kHz", 2, false, 0, EHNone, false, "You cannot use 0 with 'kHz'."},
        {"1 dB", 2, false, 0, EHNone, false, "Wrong unit used, use: 's', 'ms', 'Hz', 'kHz'."},
        {"1 $", 2, false, 0, EHNone, false, "Wrong unit used, use: 's', 'ms', 'Hz', 'kHz'."},
        {"1 q", 2, false, 0, EHNone, false,
         "This unit does not exist, use: 's', 'ms', 'Hz', 'kHz'."},
        {"e#", 2, false, 0, EHNone, false, "This note cannot have a \"#\"."},
        // A note is a time like any other: it must lie within the wave.
        {"A1", 0.001, false, 0, EHNone, false, endMessage},
        {"1e-320 Hz", 2, false, 0, EHNone, false, outOfRange},
    };
    for (const PositionCase& c : cases) {
        double position = -7;
        MeasureUnitKind unit = EHError;
        bool fromEnd = !c.fromEnd;
        std::string message;
        EXPECT_EQ(ParseWavePosition(c.text, 0, c.length, position, unit, fromEnd, message), c.ok)
            << c.text;
        if (c.ok) {
            EXPECT_NEAR(position, c.position, 1e-12) << c.text;
            EXPECT_EQ(unit, c.unit) << c.text;
            EXPECT_EQ(fromEnd, c.fromEnd) << c.text;
        } else {
            EXPECT_EQ(message, c.message) << c.text;
            EXPECT_EQ(position, -7) << c.text;
        }
    }
}

struct WaveValueCase
{
    std::string text;
    int code;
    bool ok;
    int value;
    MeasureUnitKind unit;
    std::string message;
};

TEST_F(ValueText, ParseWaveValueTable)
{
    const std::string wrong = "Wrong unit used, use: '%', '$' or no unit.";
    const WaveValueCase cases[] = {
        {"1", 0, true, 32767, EHNone, ""},
        {"-1", 0, true, -32767, EHNone, ""},
        {"0.5", 0, true, 16383, EHNone, ""},
        {"50 %", 0, true, 16383, EHPerc, ""}, // trunc(50 * 327.67)
        {"100 %", 0, true, 32767, EHPerc, ""},
        {"-100 %", 0, true, -32767, EHPerc, ""},
        {"32767 $", 0, true, 32767, EHValue, ""},
        {"-32768 $", 0, true, -32768, EHValue, ""},
        {"12.9 $", 0, true, 12, EHValue, ""},
        {"-12.9 $", 0, true, -12, EHValue, ""},
        {"1.5", 0, false, 0, EHNone, "Wave Value is too high. (maximum: 1)"},
        {"-1.5", 0, false, 0, EHNone, "Wave Value is too low. (minimum: -1)"},
        {"101 %", 0, false, 0, EHNone, "Wave Value is too high. (maximum: 100 %)"},
        {"-101 %", 0, false, 0, EHNone, "Wave Value is too low. (minimum: -100 %)"},
        {"32768 $", 0, false, 0, EHNone, "Wave Value is too high. (maximum: 32767 $)"},
        {"-32769 $", 0, false, 0, EHNone, "Wave Value is too low. (minimum: -32768 $)"},
        {"1 s", 0, false, 0, EHNone, wrong},
        {"1 q", 0, false, 0, EHNone, "This unit does not exist, use: '%', '$' or no unit."},
        {"0", 5, false, 0, EHNone, "Value must be positive and more than 0."},
        {"0.00001", 5, false, 0, EHNone, "Value must be positive and more than 0."},
        {"1 $", 5, true, 1, EHValue, ""},
    };
    for (const WaveValueCase& c : cases) {
        int16_t value = -7;
        MeasureUnitKind unit = EHError;
        std::string message;
        EXPECT_EQ(ParseWaveValue(c.text, static_cast<uint8_t>(c.code), value, unit, message), c.ok)
            << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
            EXPECT_EQ(unit, c.unit) << c.text;
        } else {
            EXPECT_EQ(message, c.message) << c.text;
            EXPECT_EQ(value, -7) << c.text;
        }
    }
}

struct IntegerCase
{
    std::string text;
    int code;
    bool ok;
    int32_t value;
    std::string message; // empty: the "Invalid value" message of the text
};

TEST_F(ValueText, ParseIntegerTable)
{
    const IntegerCase cases[] = {
        {"42", 0, true, 42, ""},
        {"-42", 0, true, -42, ""},
        {"+42", 0, true, 42, ""},
        {"+-42", 0, true, -42, ""},
        {"42  ", 0, true, 42, ""},
        {"42\t\r\n", 0, true, 42, ""},
        {"2147483647", 0, true, 2147483647, ""},
        {"-2147483648", 0, true, -2147483647 - 1, ""},
        {" 42", 0, false, 0, ""},
        {"4 2", 0, false, 0, ""},
        {"42x", 0, false, 0, ""},
        {"4.2", 0, false, 0, ""},
        {"", 0, false, 0, ""},
        {"-", 0, false, 0, ""},
        {"2147483648", 0, false, 0, ""},
        {"-2147483649", 0, false, 0, ""},
        {"99999999999999999999", 0, false, 0, ""},
        {"0", 5, false, 0, "Value must be positive and more than 0."},
        {"-1", 3, false, 0, "Value must be positive."},
        {"0", 3, true, 0, ""},
    };
    for (const IntegerCase& c : cases) {
        int32_t value = -7;
        std::string message;
        EXPECT_EQ(ParseInteger(c.text, static_cast<uint8_t>(c.code), value, message), c.ok)
            << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        } else {
            EXPECT_EQ(message, c.message.empty() ? "Invalid value: \"" + c.text + "\"." : c.message)
                << c.text;
            EXPECT_EQ(value, -7);
        }
    }
}

struct BoundIntegerCase
{
    std::string text;
    int32_t bound;
    bool ok;
    int32_t value;
    std::string message;
};

TEST_F(ValueText, ParseIntegerBoundTakesDigitsAloneAboveTheBound)
{
    const BoundIntegerCase cases[] = {
        {"11", 10, true, 11, ""},
        {" 11 ", 10, true, 11, ""},
        {"\t11\n", 10, true, 11, ""},
        {"0", -1, true, 0, ""},
        {"10", 10, false, 0, "Value must be more than 10."},
        {"3", 2147483647, false, 0, "Value must be more than 2147483647."},
        {"+11", 10, false, 0, ""},
        {"-3", -5, false, 0, ""},
        {"1 1", 0, false, 0, ""},
        {"", 0, false, 0, ""},
        {"2147483648", 0, false, 0, ""},
    };
    for (const BoundIntegerCase& c : cases) {
        int32_t value = -7;
        std::string message;
        EXPECT_EQ(ParseIntegerBound(c.text, 5, c.bound, value, message), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        } else {
            EXPECT_EQ(message, c.message.empty() ? "Invalid value: \"" + c.text + "\"." : c.message)
                << c.text;
        }
    }
}

} // namespace
