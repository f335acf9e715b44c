// The matching score, the domain classes and the texts and colours of values and pins.

#include "factory/core/SntValue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kelvorn {
namespace {

ValueDomType DT(int code)
{
    return static_cast<ValueDomType>(code);
}
ValueDomain DM(int code)
{
    return static_cast<ValueDomain>(code);
}

// Row: source domain type, column: target domain type, both with the domain All Values, so
// the result is the type score alone.
const char* const typeScores[ValueDomTypeCount] = {
    "2000000000000002222", "0200000000000002200", "0020000000000002202", "0002000000000002222",
    "0000200000000002200", "0000020000000002200", "0000002100000002200", "0000001200000002200",
    "0000000020000002200", "0000000002000002200", "0000000000200000200", "0000000000020000200",
    "0000000000002000200", "0000000000000200200", "0000000000000020000", "1111111111000002211",
    "1111111111111101211", "1001000000000002222", "1011000000000002212"};

TEST(SntValue, CanMatchOverAllDomainTypes)
{
    for (int s = 0; s < ValueDomTypeCount; ++s)
        for (int t = 0; t < ValueDomTypeCount; ++t)
            EXPECT_EQ(CanMatch(ValueDomain::AllValues, DT(s), ValueDomain::AllValues, DT(t)),
                      typeScores[s][t] - '0')
                << "source " << s << " target " << t;
}

TEST(SntValue, CanMatchWithDomains)
{
    struct Case
    {
        int sourceDomain, sourceType, targetDomain, targetType, expected;
    };
    // clang-format off
    const Case cases[] = {
        {3, 6, 3, 7, 1}, {0, 0, 0, 15, 2}, {0, 15, 0, 0, 1}, {0, 16, 0, 15, 1}, {0, 15, 0, 16, 2},
        {0, 14, 11, 14, 1}, {11, 14, 12, 14, 0}, {11, 14, 0, 14, 2}, // a wave of either kind
        {3, 0, 5, 0, 1}, {8, 0, 3, 0, 2}, {2, 0, 3, 0, 1}, {4, 0, 3, 0, 0}, // 0 may arrive
        {5, 2, 0, 10, 0}, {9, 16, 7, 15, 0}, // the smaller of type and domain score
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(
            CanMatch(DM(c.sourceDomain), DT(c.sourceType), DM(c.targetDomain), DT(c.targetType)),
            c.expected)
            << c.sourceDomain << "/" << c.sourceType << " -> " << c.targetDomain << "/"
            << c.targetType;
    for (int score : {2, 1, 0, -1})
        EXPECT_EQ(GetMatchHighlight(score), 4 - score) << score;
}

TEST(SntValue, DomainClassesAndNonFiniteValues)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double xs[] = {-2, -1, -0.5, 0, 0.5, 1, 2, inf, -inf, std::nan("")};
    // One row per domain, one column per value above.
    const char* const inDomain[ValueDomainCount] = {
        "1111111000", "1110111000", "1111000000", "0001111000", "1110000000",
        "0000111000", "0001110000", "0000100000", "0001100000", "0000001000",
        "0111110000", "0000100000", "0000010000"};
    for (int d = 0; d < ValueDomainCount; ++d)
        for (size_t i = 0; i < std::size(xs); ++i)
            EXPECT_EQ(IsValueInDomain(xs[i], DM(d)), inDomain[d][i] == '1')
                << "domain " << d << " value " << xs[i];
}

TEST(SntValue, TypeDomainTextsAndColours)
{
    struct Case
    {
        int type, domain;
        const char* text;
        uint32_t color;
    };
    // clang-format off
    const Case cases[] = {
        {6, 3, "Time, Positive", 0x0000B0}, {10, 3, "Boolean", 0xA000A0},
        {11, 0, "Mono/Stereo", 0x809000}, {12, 0, "Bytes per Sample", 0x00A000},
        {13, 0, "Sample Frequency", 0x009080}, {1, 10, "Balance Angle, [-1,1]", 0x408878},
        {2, 8, "Place in Wave, [0,1>", 0x307090}, {9, 8, "Place in Window, [0,1>", 0x888800},
        {14, 0, "Wave, All Values", 0x606060}, {14, 11, "Wave, Mono", 0x0000C0},
        {14, 12, "Wave, Stereo", 0xC00000}, {14, 3, "Wave, Positive", 0xC0C0C0},
        {15, 5, "All Computable Values, Positive Not Zero", 0x406090},
        {18, 9, "Value without Unit, Positive More Than 1", 0x906040},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(GetTypeDomainText(DT(c.type), DM(c.domain)), c.text);
        EXPECT_EQ(GetTypeDomainColor(DT(c.type), DM(c.domain)), c.color) << c.text;
    }
    EXPECT_EQ(GetWaveListMode(ValueDomain::Stereo), 3);
    EXPECT_EQ(GetWaveListMode(ValueDomain::Positive), 0);
}

TEST(SntValue, LabelsAndWaveTexts)
{
    struct Case
    {
        TSntValue value;
        const char* label;
    };
    using V = ValueType;
    // clang-format off
    const Case cases[] = {
        {{88200, V::WaveSampleFrequency}, "Sample Frequency\nValue: 88kHz"},
        {{176128, V::WaveSampleFrequency}, "Sample Frequency\nValue: 176 kHz"},
        {{176400, V::WaveSampleFrequency}, "Sample Frequency\nValue: "},
        {{1, V::Boolean}, "Boolean\nValue: True"}, {{2, V::Boolean}, "Boolean\nValue: "},
        {{2, V::WaveMonoStereo}, "Mono/Stereo\nValue: Stereo"},
        {{1.7, V::WaveBytesPerSample}, "Bytes per Sample\nValue: 1 Byte per Sample"},
        {{0.5, V::Time}, "Time\nValue: 500 ms"}, {{2, V::Time}, "Time\nValue: 2 s"},
        {{1500, V::Frequency}, "Frequency\nValue: 1.5 khz"},
        {{999, V::Frequency}, "Frequency\nValue: 999 hz"},
        {{0.005, V::FysicalLength}, "Fysical Length\nValue: 5 mm"},
        {{0.05, V::FysicalLength}, "Fysical Length\nValue: 5 cm"},
        {{0.5, V::FysicalLength}, "Fysical Length\nValue: 5 dm"},
        {{1000, V::FysicalLength}, "Fysical Length\nValue: 1 km"},
        {{0.25, V::Factor}, "Factor\nValue: 25 %"}, {{-3, V::Angle}, "Angle\nValue: -3"},
        {{0.5, V::BalanceAngle}, "Balance Angle\nValue: 45 '"},
        {{-7.9, V::Integer}, "Integer\nValue: -7"},
        {{0.5, V::WaveValue}, "Wave Value\nValue: 0 %"},
        {{250.6, V::PlaceInWindow}, "Place in Window\nValue: 250.6 samples"},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(ValueToAutoLabel(c.value), "Type: " + std::string(c.label));
    EXPECT_EQ(ValueToText({1, ValueType::Boolean}, EHNone), "Oops! Unknown value!");
    EXPECT_EQ(WavePropsToText(TWaveFileProps(1, 22050, 1), 100),
              "Mono\n1 byte per sample\nsample freq: 22050 Hz\nlength: 100 samples");
    EXPECT_EQ(WavePropsToText(TWaveFileProps(2, 176128, 2), 0),
              "Stereo\n2 bytes per sample\nsample freq: 176128 Hz\nlength: 0 samples");
}

} // namespace
} // namespace kelvorn
