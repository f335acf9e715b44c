#include "general/values/ValueFormat.h"

#include "general/values/NoBoxes.h"
#include "general/values/ValueText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

using namespace kelvorn;
using kelvorn::testing::IsAssertionBox;

namespace {

using ValueFormat = kelvorn::testing::NoBoxes<>;

struct DigitsCase
{
    double x;
    int minBefore, minAfter, maxAfter;
    std::string text;
};

TEST_F(ValueFormat, FormatDigitsTable)
{
    const DigitsCase cases[] = {
        {0, 1, 0, 4, "0"},
        {0, 1, 2, 4, "0.00"},
        {0, 3, 0, 0, "000"},
        {5, 1, 0, 6, "5"},
        {5, 2, 5, 5, "05.00000"},
        {50, 2, 5, 5, "50.00000"},
        {-5, 2, 1, 3, "-05.0"},
        {0.5, 1, 0, 4, "0.5"},
        {0.05, 1, 0, 4, "0.05"},
        {0.00004, 1, 0, 4, "0"},
        {-0.00004, 1, 0, 4, "0"}, // cut to zero: no sign
        {-0.00004, 1, 2, 4, "0.00"},
        {-0.0, 1, 0, 4, "0"},
        {1.25, 1, 0, 1, "1.2"},   // cut, not rounded
        {2.996, 1, 0, 2, "2.99"}, // cut, not rounded
        {2.9999, 1, 0, 2, "3"},   // the added tenth of a digit carries
        {0.1, 1, 0, 20, "0.1"},
        {1.0 / 3, 1, 0, 99, "0.333333333333333"}, // at most 15 significant digits
        {123.456, 1, 0, 99, "123.456"},
        {123.456, 1, 5, 5, "123.45600"},
        {12345.6789, 1, 0, 0, "12345"},
        {999.9999999999999, 1, 0, 99, "1000"},
        {1e15, 1, 0, 0, "1000000000000000"},
        {1e16, 1, 0, 0, "10000000000000000"}, // padded to the units place
        {1e16, 1, 3, 3, "10000000000000000"},
        {-2e17, 1, 0, 5, "-200000000000000000"},
        {1234567890123456789.0, 1, 0, 0, "1234567890123450000"},
        // Appended: "text" + std::string&& draws a false g++ 12 warning at -O2.
        {1e300, 1, 0, 0, std::string("1").append(300, '0')},
        {1.5e-10, 1, 0, 99, "0.00000000015"},
        {123456789012.5, 1, 4, 4, "123456789012.500"},
    };
    for (const DigitsCase& c : cases)
        EXPECT_EQ(FormatDigits(c.x, c.minBefore, c.minAfter, c.maxAfter), c.text)
            << c.x << " " << c.minBefore << " " << c.minAfter << " " << c.maxAfter;
}

TEST_F(ValueFormat, FormatDigitsNeverShowsInfinityOrNotANumber)
{
    EXPECT_EQ(FormatDigits(std::numeric_limits<double>::infinity(), 1, 0, 5), "***");
    EXPECT_EQ(FormatDigits(-std::numeric_limits<double>::infinity(), 1, 0, 5), "***");
    EXPECT_EQ(FormatDigits(std::nan(""), 1, 0, 5), "***");
    EXPECT_EQ(FormatPrecision(std::nan(""), 7, true), "***");
}

struct WrongCallCase
{
    int minBefore, minAfter, maxAfter;
    std::string condition;
    std::string text;
};

TEST_F(ValueFormat, FormatDigitsReportsWrongCallsAndStillWritesANumber)
{
    const WrongCallCase cases[] = {
        {1, 3, 2, "minDigAfter <= maxDigAfter", "2.500"},
        {0, 0, 2, "minDigBefore >= 1", "2.5"},
        {1, -1, 2, "minDigAfter >= 0", "2.5"},
    };
    for (const WrongCallCase& c : cases) {
        messages.Clear();
        messages.Expect();
        EXPECT_EQ(FormatDigits(2.5, c.minBefore, c.minAfter, c.maxAfter), c.text);
        EXPECT_TRUE(IsAssertionBox(OnlyBox(), "ValueFormat.cpp", c.condition));
    }
    messages.Clear();
    messages.Expect();
    EXPECT_EQ(FormatPrecision(2.5, 0, true), "2");
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), "ValueFormat.cpp", "precisie >= 1"));
    messages.Clear();
    messages.Expect();
    EXPECT_EQ(FormatValue(50, ValueType::Frequency, EHFreq, 2, true), "50.0 Hz");
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), "ValueFormat.cpp", "precisie >= 3"));
}

// The digits must be those of the exact decimal expansion of |x| plus a tenth of the last digit,
// cut after the last digit. printf writes that expansion exactly.
std::string Reference(double x, int maxAfter)
{
    double raised = std::fabs(x) + std::stod("1e-" + std::to_string(maxAfter + 1));
    char buffer[2048];
    std::snprintf(buffer, sizeof(buffer), "%.1100f", raised);
    std::string text = buffer;
    size_t point = text.find('.');
    std::string cut = text.substr(0, point + 1 + static_cast<size_t>(maxAfter));
    while (cut.back() == '0')
        cut.pop_back();
    if (cut.back() == '.')
        cut.pop_back();
    return (x < 0 ? "-" : "") + cut;
}

TEST_F(ValueFormat, FormatDigitsMatchesTheExactExpansionAcrossScales)
{
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> places(0, 10);
    for (int i = 0; i < 20000; ++i) {
        // Up to 15 significant digits: values below 1000 with up to ten places.
        double x = mantissa(random) * std::pow(10.0, static_cast<int>(random() % 3));
        if (random() % 2)
            x = -x;
        int maxAfter = places(random);
        ASSERT_EQ(FormatDigits(x, 1, 0, maxAfter), Reference(x, maxAfter)) << x << " " << maxAfter;
    }
    // Tiny numbers take the long road: more than 27 places.
    for (int i = 0; i < 2000; ++i) {
        double x = mantissa(random) * 1e-20;
        ASSERT_EQ(FormatDigits(x, 1, 0, 30), Reference(x, 30)) << x;
    }
}

TEST_F(ValueFormat, FormatDigitsOfBigNumbersKeepsFifteenDigitsAndPadsWithZeros)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    for (int i = 0; i < 2000; ++i) {
        double x = mantissa(random) * 1e17; // 18 digits: three are cut
        char buffer[64];
        std::snprintf(buffer, sizeof(buffer), "%.0f", std::floor(x + 100.0));
        std::string expected = buffer;
        expected.replace(expected.size() - 3, 3, "000");
        ASSERT_EQ(FormatDigits(x, 1, 0, 0), expected) << buffer;
    }
}

TEST_F(ValueFormat, ANumberReadFromItsOwnDigitsShowsTheSameDigits)
{
    std::mt19937_64 random(99);
    std::uniform_real_distribution<double> unitInterval(0.0, 1.0);
    for (int i = 0; i < 20000; ++i) {
        double x =
            (unitInterval(random) - 0.5) * std::pow(10.0, static_cast<int>(random() % 40) - 20);
        std::string first = FormatPrecision(x, 99, true);
        std::string_view cursor = first;
        double back = 0;
        std::string message;
        ASSERT_TRUE(ParseNumber(cursor, back, message)) << first;
        ASSERT_EQ(FormatPrecision(back, 99, true), first) << x;
        ASSERT_NEAR(back, x, std::fabs(x) * 1e-14) << first;
    }
}

// Found by fuzzing: digits beyond what a subnormal double holds drifted each time a text was
// read and written again, and a negative number cut to zero showed as "-0".
TEST_F(ValueFormat, SubnormalNumbersShowOnlyTheDigitsTheyHold)
{
    for (double x : {5e-310, 4.9999999999999847e-310, 7.4e-323, 2.2250738585072e-308, 1e-320}) {
        std::string first = FormatPrecision(x, 99, true);
        std::string_view cursor = first;
        double back = 0;
        std::string message;
        ASSERT_TRUE(ParseNumber(cursor, back, message)) << first;
        EXPECT_EQ(FormatPrecision(back, 99, true), first) << x;
        EXPECT_NEAR(back, x, std::fabs(x) * 1e-13 + 1e-323) << first;
        EXPECT_LE(first.size(), 325u) << "no digit below 1e-323";
    }
    EXPECT_EQ(FormatPrecision(-4.9406564584124654e-324, 99, true), "0");
}

struct PrecisionCase
{
    double x;
    int precision;
    bool drop;
    std::string text;
};

TEST_F(ValueFormat, FormatPrecisionTable)
{
    const PrecisionCase cases[] = {
        {5, 7, true, "5"},
        {5, 7, false, "5.000000"},
        {0.05, 7, false, "0.0500000"},
        {0.05, 7, true, "0.05"},
        {0, 7, false, "0.00000"},
        {0, 7, true, "0"},
        {123456789, 7, true, "123456789"},
        {1234.56789, 7, true, "1234.567"},
        {1234.56789, 7, false, "1234.567"},
        {-0.000123456789, 3, true, "-0.00012"},
        {1e16, 7, true, "10000000000000000"},
        {2.5, 1, true, "2"},
        {0.1 + 0.2, 99, true, "0.3"},
        // Appended: "text" + std::string&& draws a false g++ 12 warning at -O2.
        {1e-300, 2147483647, true, std::string("0.").append(299, '0').append("1")},
    };
    for (const PrecisionCase& c : cases)
        EXPECT_EQ(FormatPrecision(c.x, c.precision, c.drop), c.text) << c.x;
}

struct ValueCase
{
    double x;
    ValueType type;
    MeasureUnitKind unit;
    int precision;
    std::string text;
};

TEST_F(ValueFormat, FormatValueInEveryUnit)
{
    using VT = ValueType;
    const ValueCase cases[] = {
        // zero where the unit would invert it
        {0, VT::Time, EHHZ, 7, " * hz"},
        {0, VT::FysicalLength, EHKHZ, 7, " * khz"},
        {0, VT::Frequency, EHS, 7, " * s"},
        {0, VT::Frequency, EHMS, 7, " * ms"},
        {0, VT::Frequency, EHM, 7, " * m"},
        {0, VT::Frequency, EHMile, 7, " * mile"},
        {0, VT::Frequency, EHNautMile, 7, " * nmile"},
        {0, VT::Frequency, EHFeet, 7, " * feet"},
        {0, VT::Frequency, EHInch, 7, " * inch"},
        {0, VT::Frequency, EHHZ, 7, "0 hz"},
        // none and percent
        {0.25, VT::Factor, EHNone, 99, "0.25"},
        {16383, VT::WaveValue, EHNone, 7, "0.5"},
        {32767, VT::WaveValue, EHNone, 7, "1"},
        {-32768, VT::WaveValue, EHNone, 7, "-1"},
        {1, VT::WaveValue, EHNone, 7, "0"},
        {0, VT::WaveValue, EHNone, 7, "0"},
        {0.25, VT::Factor, EHPerc, 99, "25 %"},
        {16383, VT::WaveValue, EHPerc, 7, "50 %"},
        {0, VT::WaveValue, EHPerc, 7, "0 %"},
        {-100, VT::WaveValue, EHPerc, 7, "-0.31 %"},
        // logarithmic
        {10, VT::Factor, EHDB, 99, "20 dB"},
        {0.5, VT::Factor, EHDB, 99, "-6.02 dB"},
        {0, VT::Factor, EHDB, 99, "0"},
        {-2, VT::Factor, EHDB, 99, "-2"},
        {8, VT::Factor, EHOctave, 99, "3 octave"},
        {0.5, VT::Factor, EHOctave, 99, "-1 octave"},
        {0, VT::Factor, EHOctave, 99, "0"},
        // time units of each base
        {0.5, VT::Time, EHS, 7, "0.5 s"},
        {0.5, VT::Time, EHMS, 7, "500 ms"},
        {343, VT::FysicalLength, EHS, 7, "1 s"},
        {4, VT::Frequency, EHS, 7, "0.25 s"},
        {4, VT::Frequency, EHMS, 7, "250 ms"},
        {0.5, VT::Time, EHHZ, 7, "2 hz"},
        {0.5, VT::Time, EHKHZ, 7, "0.002 khz"},
        {1, VT::FysicalLength, EHHZ, 7, "343 hz"},
        {440, VT::Frequency, EHHZ, 7, "440 hz"},
        {44100, VT::Frequency, EHKHZ, 7, "44.1 khz"},
        {1.0 / 3, VT::Time, EHS, 7, "0.333333 s"},
        // clock and frequency display
        {75.5, VT::Time, EHTime, 7, "1:15.50000"},
        {3, VT::Time, EHTime, 7, "3.00000 s"},
        {50, VT::Frequency, EHFreq, 7, "50.00000 Hz"},
        {5, VT::Frequency, EHFreq, 7, "05.00000 Hz"},
        {440, VT::Frequency, EHFreq, 7, "440.0000 Hz"},
        {4400, VT::Frequency, EHFreq, 7, "4.400000 kHz"},
        {44100, VT::Frequency, EHFreq, 7, "44.10000 kHz"},
        {150000, VT::Frequency, EHFreq, 5, "150.000 kHz"},
        // raw sample value, angles
        {-1234, VT::WaveValue, EHValue, 7, "-1234 $"},
        {0.25, VT::Factor, EHAngle, 99, "90 '"},
        {0.25, VT::Angle, EHAngle, 99, "90 '"},
        {0.5, VT::BalanceAngle, EHAngle, 99, "45 '"},
        {0.25, VT::PlaceInWindow, EHAngle, 7, "90 '"},
        {0.25, VT::Integer, EHAngle, 7, ""},
        // lengths and speeds
        {1609, VT::FysicalLength, EHMile, 99, "1 mile"},
        {1852, VT::FysicalLength, EHNautMile, 99, "1 nmile"},
        {0.3048, VT::FysicalLength, EHFeet, 99, "1 feet"},
        {0.0254, VT::FysicalLength, EHInch, 99, "1 inch"},
        {1500, VT::FysicalLength, EHKM, 99, "1.5 km"},
        {0.05, VT::FysicalLength, EHCM, 99, "5 cm"},
        {1, VT::Time, EHM, 7, "343 m"},
        {343, VT::Frequency, EHM, 7, "1 m"},
        {343, VT::Frequency, EHDM, 7, "10 dm"},
        {0.44694, VT::FysicalSpeed, EHMpH, 99, "1 mph"},
        {0.27778, VT::FysicalSpeed, EHKMpH, 99, "1 km/h"},
        {686, VT::FysicalSpeed, EHMach, 99, "2 mach"},
        {1852.0 / 3600, VT::FysicalSpeed, EHKnots, 99, "1 knots"},
        {3, VT::FysicalSpeed, EHMpS, 99, "3 m/s"},
        // no number text
        {1, VT::Time, EHNote, 7, "***"},
        {1, VT::Time, EHError, 7, "***"},
        {1, VT::Time, static_cast<MeasureUnitKind>(28), 7, "***"},
    };
    for (const ValueCase& c : cases)
        EXPECT_EQ(FormatValue(c.x, c.type, c.unit, c.precision, true), c.text)
            << c.x << " in " << GetMeasureName(c.unit) << " as " << GetValueTypeName(c.type);
}

TEST_F(ValueFormat, ClockText)
{
    const std::pair<double, std::string> cases[] = {
        {75.5, "1:15.50000"},       {3, "3.00000 s"},          {0, "0.00000 s"},
        {59.5, "59.50000 s"},       {60, "1:00.00000"},        {3600, "1:00:00.00000"},
        {3605, "1:00:05.00000"}, // the minutes stay with the hours
        {3725.25, "1:02:05.25000"}, {90061, "25:01:01.00000"}, {-75.5, "-1:15.50000"},
        {-3, "-3.00000 s"},         {0.000001, "0.00000 s"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(FormatClock(seconds), text) << seconds;
    EXPECT_EQ(FormatClock(std::nan("")), "***");
}

TEST_F(ValueFormat, EveryNoteNameReadsBackAsItsNote)
{
    int names = 0;
    for (int octave = -2; octave <= 12; ++octave) {
        for (int semitone = 0; semitone < 12; ++semitone) {
            double frequency = NoteFrequency(semitone, octave);
            for (bool period : {false, true}) {
                double value = period ? 1.0 / frequency : frequency;
                std::string name = NoteName(value, period);
                ASSERT_FALSE(name.empty()) << semitone << " " << octave;
                std::string_view cursor = name;
                double back = 0;
                std::string message;
                ASSERT_TRUE(ParseNoteFrequency(cursor, back, message)) << name;
                EXPECT_EQ(back, frequency) << name;
                EXPECT_TRUE(cursor.empty()) << name;
                ++names;
            }
        }
    }
    EXPECT_EQ(names, 15 * 12 * 2);
    EXPECT_EQ(NoteName(NoteFrequency(9, 5)), "A5");
    EXPECT_EQ(NoteName(NoteFrequency(1, -1)), "C#-1");
    EXPECT_EQ(NoteName(440.0), "");
    EXPECT_EQ(NoteName(NoteFrequency(0, 13)), ""); // beyond the octaves a text can name
    EXPECT_EQ(NoteName(0.0), "");
    EXPECT_EQ(NoteName(-523.26), "");
}

TEST_F(ValueFormat, FormatExactReadsBackExactly)
{
    std::mt19937_64 random(3);
    for (int i = 0; i < 5000; ++i) {
        uint64_t bits = random();
        double x;
        std::memcpy(&x, &bits, sizeof(x));
        if (!std::isfinite(x))
            continue;
        std::string text = FormatExact(x);
        std::string_view cursor = text;
        double back = 0;
        std::string message;
        ASSERT_TRUE(ParseNumber(cursor, back, message)) << text;
        ASSERT_TRUE(cursor.empty()) << text;
        ASSERT_EQ(back, x) << text;
    }
}

} // namespace
