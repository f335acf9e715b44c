#include "general/values/ValueFormat.h"

#include "general/values/NoBoxes.h"
#include "general/values/ValueText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

using namespace kelvorn;
using kelvorn::testing::IsAssertionBox;

namespace {

using ValueFormat = kelvorn::testing::NoBoxes<>;

TEST_F(ValueFormat, FormatDigitsCutsAfterATenthOfTheLastDigit)
{
    // clang-format off
    const std::tuple<double, int, int, int, std::string> cases[] = {
        {0, 1, 0, 4, "0"}, {0, 1, 2, 4, "0.00"}, {0, 3, 0, 0, "000"}, {5, 1, 0, 6, "5"},
        {5, 2, 5, 5, "05.00000"}, {50, 2, 5, 5, "50.00000"}, {-5, 2, 1, 3, "-05.0"},
        {0.5, 1, 0, 4, "0.5"}, {0.05, 1, 0, 4, "0.05"}, {0.00004, 1, 0, 4, "0"},
        {-0.00004, 1, 0, 4, "0"}  /* cut to zero: no sign */, {-0.00004, 1, 2, 4, "0.00"},
        {-0.0, 1, 0, 4, "0"}, {1.25, 1, 0, 1, "1.2"}, {2.996, 1, 0, 2, "2.99"},
        {2.9999, 1, 0, 2, "3"}  /* the added tenth carries */, {0.1, 1, 0, 20, "0.1"},
        {1.0 / 3, 1, 0, 99, "0.333333333333333"}  /* at most 15 significant digits */,
        {123.456, 1, 0, 99, "123.456"}, {123.456, 1, 5, 5, "123.45600"},
        {12345.6789, 1, 0, 0, "12345"}, {999.9999999999999, 1, 0, 99, "1000"},
        {1e15, 1, 0, 0, "1000000000000000"}, {1e16, 1, 0, 0, "10000000000000000"},
        {1e16, 1, 3, 3, "10000000000000000"}, {-2e17, 1, 0, 5, "-200000000000000000"},
        {1234567890123456789.0, 1, 0, 0, "1234567890123450000"},
        {1e300, 1, 0, 0, "1" + std::string(300, '0')}, {1.5e-10, 1, 0, 99, "0.00000000015"},
        {123456789012.5, 1, 4, 4, "123456789012.500"}};
    // clang-format on
    for (const auto& [x, minBefore, minAfter, maxAfter, text] : cases)
        EXPECT_EQ(FormatDigits(x, minBefore, minAfter, maxAfter), text)
            << x << " " << minBefore << " " << minAfter << " " << maxAfter;
    for (double x : {INFINITY, -INFINITY, NAN})
        EXPECT_EQ(FormatDigits(x, 1, 0, 5), "***");

    const std::tuple<int, int, int, std::string, std::string> wrongCalls[] = {
        {1, 3, 2, "minDigAfter <= maxDigAfter", "2.500"},
        {0, 0, 2, "minDigBefore >= 1", "2.5"},
        {1, -1, 2, "minDigAfter >= 0", "2.5"}};
    for (const auto& [minBefore, minAfter, maxAfter, condition, text] : wrongCalls) {
        messages.Clear();
        messages.Expect();
        EXPECT_EQ(FormatDigits(2.5, minBefore, minAfter, maxAfter), text);
        EXPECT_TRUE(IsAssertionBox(OnlyBox(), "ValueFormat.cpp", condition));
    }
}

// The digits must be those of the exact decimal expansion of |x| plus a tenth of the last digit,
// cut after the last digit. printf writes that expansion exactly.
std::string Reference(double x, int maxAfter)
{
    double raised = std::fabs(x) + std::stod("1e-" + std::to_string(maxAfter + 1));
    char buffer[2048];
    std::snprintf(buffer, sizeof(buffer), "%.1100f", raised);
    std::string text = buffer;
    std::string cut = text.substr(0, text.find('.') + 1 + static_cast<size_t>(maxAfter));
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
    for (int i = 0; i < 22000; ++i) {
        // Up to 15 significant digits: values below 1000 with up to ten places; then tiny
        // numbers, which take the long road of more than 27 places.
        const bool tiny = i >= 20000;
        double x = mantissa(random) * (tiny ? 1e-20 : std::pow(10.0, int(random() % 3)));
        x = random() % 2 ? -x : x;
        int maxAfter = tiny ? 30 : static_cast<int>(random() % 11);
        ASSERT_EQ(FormatDigits(x, 1, 0, maxAfter), Reference(x, maxAfter)) << x << " " << maxAfter;
    }
}

bool ReadsBack(const std::string& text, double& back)
{
    std::string_view cursor = text;
    std::string message;
    return ParseNumber(cursor, back, message) && cursor.empty();
}

TEST_F(ValueFormat, NumbersReadFromTheirOwnDigitsShowTheSameDigits)
{
    std::mt19937_64 random(99);
    std::uniform_real_distribution<double> unitInterval(0.0, 1.0);
    double back = 0;
    for (int i = 0; i < 20000; ++i) {
        double x =
            (unitInterval(random) - 0.5) * std::pow(10.0, static_cast<int>(random() % 40) - 20);
        std::string first = FormatPrecision(x, 99, true);
        ASSERT_TRUE(ReadsBack(first, back)) << first;
        ASSERT_EQ(FormatPrecision(back, 99, true), first) << x;
        ASSERT_NEAR(back, x, std::fabs(x) * 1e-14) << first;
        // Exact digits read back as the very same double, whatever its bits.
        uint64_t bits = random();
        std::memcpy(&x, &bits, sizeof(x));
        if (std::isfinite(x)) {
            ASSERT_TRUE(ReadsBack(FormatExact(x), back)) << FormatExact(x);
            ASSERT_EQ(back, x) << FormatExact(x);
        }
    }
    // Found by fuzzing: digits beyond what a subnormal double holds drifted each time a text was
    // read and written again, and a negative number cut to zero showed as "-0".
    for (double x : {5e-310, 4.9999999999999847e-310, 7.4e-323, 2.2250738585072e-308, 1e-320}) {
        std::string first = FormatPrecision(x, 99, true);
        ASSERT_TRUE(ReadsBack(first, back)) << first;
        EXPECT_EQ(FormatPrecision(back, 99, true), first) << x;
        EXPECT_NEAR(back, x, std::fabs(x) * 1e-13 + 1e-323) << first;
        EXPECT_LE(first.size(), 325u) << "no digit below 1e-323";
    }
    EXPECT_EQ(FormatPrecision(-4.9406564584124654e-324, 99, true), "0");
}

TEST_F(ValueFormat, FormatPrecisionCountsSignificantDigits)
{
    // clang-format off
    const std::tuple<double, int, bool, std::string> cases[] = {
        {5, 7, true, "5"}, {5, 7, false, "5.000000"}, {0.05, 7, false, "0.0500000"},
        {0.05, 7, true, "0.05"}, {0, 7, false, "0.00000"}, {0, 7, true, "0"},
        {123456789, 7, true, "123456789"}, {1234.56789, 7, true, "1234.567"},
        {1234.56789, 7, false, "1234.567"}, {-0.000123456789, 3, true, "-0.00012"},
        {1e16, 7, true, "10000000000000000"}, {2.5, 1, true, "2"}, {0.1 + 0.2, 99, true, "0.3"},
        {1e-300, 2147483647, true, "0." + std::string(299, '0') + "1"}, {NAN, 7, true, "***"}};
    // clang-format on
    for (const auto& [x, precision, drop, text] : cases)
        EXPECT_EQ(FormatPrecision(x, precision, drop), text) << x;
    messages.Expect();
    EXPECT_EQ(FormatPrecision(2.5, 0, true), "2");
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), "ValueFormat.cpp", "precisie >= 1"));
    messages.Clear();
    messages.Expect();
    EXPECT_EQ(FormatValue(50, ValueType::Frequency, EHFreq, 2, true), "50.0 Hz");
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), "ValueFormat.cpp", "precisie >= 3"));
}

TEST_F(ValueFormat, FormatValueInEveryKindOfUnit)
{
    using enum ValueType;
    // clang-format off
    const std::tuple<double, ValueType, MeasureUnitKind, int, std::string> cases[] = {
        // zero where the unit would invert it
        {0, Time, EHHZ, 7, " * hz"}, {0, FysicalLength, EHKHZ, 7, " * khz"},
        {0, Frequency, EHS, 7, " * s"}, {0, Frequency, EHMS, 7, " * ms"},
        {0, Frequency, EHM, 7, " * m"}, {0, Frequency, EHMile, 7, " * mile"},
        {0, Frequency, EHNautMile, 7, " * nmile"}, {0, Frequency, EHFeet, 7, " * feet"},
        {0, Frequency, EHInch, 7, " * inch"}, {0, Frequency, EHHZ, 7, "0 hz"},
        // none and percent
        {0.25, Factor, EHNone, 99, "0.25"}, {16383, WaveValue, EHNone, 7, "0.5"},
        {32767, WaveValue, EHNone, 7, "1"}, {-32768, WaveValue, EHNone, 7, "-1"},
        {1, WaveValue, EHNone, 7, "0"}, {0, WaveValue, EHNone, 7, "0"},
        {0.25, Factor, EHPerc, 99, "25 %"}, {16383, WaveValue, EHPerc, 7, "50 %"},
        {0, WaveValue, EHPerc, 7, "0 %"}, {-100, WaveValue, EHPerc, 7, "-0.31 %"},
        // logarithmic, with no logarithm of 0 or below
        {10, Factor, EHDB, 99, "20 dB"}, {0.5, Factor, EHDB, 99, "-6.02 dB"},
        {0, Factor, EHDB, 99, "0"}, {-2, Factor, EHDB, 99, "-2"},
        {8, Factor, EHOctave, 99, "3 octave"}, {0.5, Factor, EHOctave, 99, "-1 octave"},
        {0, Factor, EHOctave, 99, "0"},
        // a time shown through its inverse or the speed of sound
        {4, Frequency, EHMS, 7, "250 ms"}, {0.5, Time, EHKHZ, 7, "0.002 khz"},
        {1.0 / 3, Time, EHS, 7, "0.333333 s"}, {1, Time, EHM, 7, "343 m"},
        // clock and frequency display
        {75.5, Time, EHTime, 7, "1:15.50000"}, {3, Time, EHTime, 7, "3.00000 s"},
        {50, Frequency, EHFreq, 7, "50.00000 Hz"}, {5, Frequency, EHFreq, 7, "05.00000 Hz"},
        {440, Frequency, EHFreq, 7, "440.0000 Hz"}, {4400, Frequency, EHFreq, 7, "4.400000 kHz"},
        {44100, Frequency, EHFreq, 7, "44.10000 kHz"},
        {150000, Frequency, EHFreq, 5, "150.000 kHz"},
        // raw sample value, angles, lengths and speeds
        {-1234, WaveValue, EHValue, 7, "-1234 $"}, {0.25, Factor, EHAngle, 99, "90 '"},
        {0.25, Angle, EHAngle, 99, "90 '"}, {0.5, BalanceAngle, EHAngle, 99, "45 '"},
        {0.25, PlaceInWindow, EHAngle, 7, "90 '"}, {0.25, Integer, EHAngle, 7, ""},
        {686, FysicalSpeed, EHMach, 99, "2 mach"},
        {1852.0 / 3600, FysicalSpeed, EHKnots, 99, "1 knots"},
        // no number text
        {1, Time, EHNote, 7, "***"}, {1, Time, EHError, 7, "***"},
        {1, Time, static_cast<MeasureUnitKind>(28), 7, "***"}};
    // clang-format on
    for (const auto& [x, type, unit, precision, text] : cases)
        EXPECT_EQ(FormatValue(x, type, unit, precision, true), text)
            << x << " in " << GetMeasureName(unit) << " as " << GetValueTypeName(type);

    // clang-format off
    const std::pair<double, std::string> clock[] = {
        {75.5, "1:15.50000"}, {3, "3.00000 s"}, {0, "0.00000 s"}, {59.5, "59.50000 s"},
        {60, "1:00.00000"}, {3600, "1:00:00.00000"}, {3605, "1:00:05.00000"},
        {3725.25, "1:02:05.25000"}, {90061, "25:01:01.00000"}, {-75.5, "-1:15.50000"},
        {-3, "-3.00000 s"}, {0.000001, "0.00000 s"}, {NAN, "***"}};
    // clang-format on
    for (const auto& [seconds, text] : clock)
        EXPECT_EQ(FormatClock(seconds), text) << seconds;
}

TEST_F(ValueFormat, EveryNoteNameReadsBackAsItsNote)
{
    for (int octave = -2; octave <= 12; ++octave) {
        for (int semitone = 0; semitone < 12; ++semitone) {
            double frequency = NoteFrequency(semitone, octave);
            for (bool period : {false, true}) {
                std::string name = NoteName(period ? 1.0 / frequency : frequency, period);
                std::string_view cursor = name;
                double back = 0;
                std::string message;
                ASSERT_TRUE(ParseNoteFrequency(cursor, back, message)) << name;
                EXPECT_EQ(back, frequency) << name;
                EXPECT_TRUE(cursor.empty()) << name;
            }
        }
    }
    // clang-format off
    const std::pair<double, std::string> names[] = {
        {NoteFrequency(9, 5), "A5"}, {NoteFrequency(1, -1), "C#-1"}, {440.0, ""},
        {NoteFrequency(0, 13), ""}  /* beyond the octaves a text can name */, {0.0, ""},
        {-523.26, ""}};
    // clang-format on
    for (const auto& [frequency, name] : names)
        EXPECT_EQ(NoteName(frequency), name) << frequency;
}

} // namespace
