#include "general/numeric/ValueTypes.h"

#include "general/values/NoBoxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
#include <string>

using namespace kelvorn;
using kelvorn::testing::IsAssertionBox;

namespace {

using ValueTypes = kelvorn::testing::NoBoxes<>;

TEST_F(ValueTypes, ListsHaveTheirSizesAndNoDuplicateKeys)
{
    EXPECT_EQ(MeasureUnitNames().size(), 28u);
    EXPECT_EQ(ValueTypeNames().size(), 15u);
    EXPECT_EQ(ValueTypeKeys().size(), 15u);
    EXPECT_EQ(ValueDomTypeNames().size(), 19u);
    EXPECT_EQ(ValueDomTypeKeys().size(), 19u);
    EXPECT_EQ(ValueDomainNames().size(), 13u);
    EXPECT_EQ(ValueDomainKeys().size(), 13u);
    for (auto list : {MeasureUnitNames(), ValueTypeKeys(), ValueDomTypeKeys(), ValueDomainKeys(),
                      ValueTypeNames(), ValueDomTypeNames(), ValueDomainNames()}) {
        std::set<std::string_view> seen(list.begin(), list.end());
        EXPECT_EQ(seen.size(), list.size());
        for (std::string_view entry : list)
            EXPECT_FALSE(entry.empty());
    }
}

TEST_F(ValueTypes, EveryKeyIsFoundAtItsOwnIndex)
{
    for (int i = 0; i < MeasureUnitCount; ++i)
        EXPECT_EQ(FindMeasureName(GetMeasureName(static_cast<MeasureUnitKind>(i))), i);
    for (int i = 0; i < ValueTypeCount; ++i)
        EXPECT_EQ(FindValueType(GetValueTypeKey(static_cast<ValueType>(i))), i);
    for (int i = 0; i < ValueDomTypeCount; ++i)
        EXPECT_EQ(FindValueDomType(GetValueDomTypeKey(static_cast<ValueDomType>(i))), i);
    for (int i = 0; i < ValueDomainCount; ++i)
        EXPECT_EQ(FindValueDomain(GetValueDomainKey(static_cast<ValueDomain>(i))), i);
}

struct NameCase
{
    int index;
    std::string_view name;
};

TEST_F(ValueTypes, MeasureNamesAreTheEnumeratorNames)
{
    const NameCase cases[] = {{0, "EHNone"},  {3, "EHOctave"},   {6, "EHHZ"},    {7, "EHKHZ"},
                              {8, "EHTime"},  {12, "EHNote"},    {13, "EHError"}, {14, "EHM"},
                              {20, "EHNautMile"}, {23, "EHMpS"}, {24, "EHKMpH"}, {27, "EHKnots"}};
    for (const NameCase& c : cases)
        EXPECT_EQ(GetMeasureName(static_cast<MeasureUnitKind>(c.index)), c.name);
    EXPECT_EQ(GetMeasureName(static_cast<MeasureUnitKind>(28)), "");
}

TEST_F(ValueTypes, DisplayNamesDifferFromKeysWhereTheListsSaySo)
{
    EXPECT_EQ(GetValueTypeName(ValueType::BalanceAngle), "Balance Angle");
    EXPECT_EQ(GetValueTypeKey(ValueType::BalanceAngle), "BalanceAngle");
    EXPECT_EQ(GetValueTypeName(ValueType::WaveMonoStereo), "Mono/Stereo");
    EXPECT_EQ(GetValueTypeKey(ValueType::WaveMonoStereo), "WaveMonoStereo");
    EXPECT_EQ(GetValueTypeName(ValueType::PlaceInWindow), "Place in Window");
    EXPECT_EQ(GetValueDomTypeName(ValueDomType::PlaceWave), "Place in Wave");
    EXPECT_EQ(GetValueDomTypeKey(ValueDomType::PlaceWave), "PlaceWave");
    EXPECT_EQ(GetValueDomTypeName(ValueDomType::AllComputable), "All Computable Values");
    EXPECT_EQ(GetValueDomTypeKey(ValueDomType::NoUnit), "NoUnit");
    EXPECT_EQ(GetValueDomainName(ValueDomain::ZeroExclOneExcl), "<0,1>");
    EXPECT_EQ(GetValueDomainKey(ValueDomain::ZeroExclOneExcl), "ZeroExclOneExcl");
    EXPECT_EQ(GetValueDomainName(ValueDomain::OneMore), "Positive More Than 1");
    EXPECT_EQ(GetValueDomainKey(ValueDomain::NegOneInclPosOneIncl), "NegOneInclPosOneIncl");
    // Apart from index 2 the domain types repeat the value types.
    for (int i = 0; i < ValueTypeCount; ++i) {
        if (i == 2)
            continue;
        EXPECT_EQ(ValueDomTypeNames()[i], ValueTypeNames()[i]) << i;
        EXPECT_EQ(ValueDomTypeKeys()[i], ValueTypeKeys()[i]) << i;
    }
}

TEST_F(ValueTypes, FindComparesWholeTextsCaseSensitively)
{
    EXPECT_EQ(FindValueDomType("Angle"), -1); // its key at 2 is "PlaceWave"
    EXPECT_EQ(FindValueType("Angle"), 2);
    EXPECT_EQ(FindValueDomType("PlaceWave"), 2);
    EXPECT_EQ(FindValueType("PlaceWave"), -1);
    EXPECT_EQ(FindMeasureName("ehnone"), -1);
    EXPECT_EQ(FindMeasureName("EHM"), 14);
    EXPECT_EQ(FindMeasureName("EHM "), -1);
    EXPECT_EQ(FindValueType("Balance Angle"), -1); // a display name is no key
    EXPECT_EQ(FindValueDomain("Mono"), 11);
    EXPECT_EQ(FindValueDomain(""), -1);
}

TEST_F(ValueTypes, MeasureFactorsTurnUnitsIntoMetresAndMetresPerSecond)
{
    const std::pair<MeasureUnitKind, double> factors[] = {
        {EHM, 1},          {EHDM, 0.1},       {EHCM, 0.01},   {EHMM, 0.001},
        {EHKM, 1000},      {EHMile, 1609},    {EHNautMile, 1852}, {EHFeet, 0.3048},
        {EHInch, 0.0254},  {EHMpS, 1},        {EHKMpH, 0.27778}, {EHMpH, 0.44694},
        {EHMach, 343},     {EHKnots, 1852.0 / 3600.0},
    };
    for (auto [kind, factor] : factors)
        EXPECT_DOUBLE_EQ(GetMeasureFactor(kind), factor) << GetMeasureName(kind);
    for (int k = 0; k < EHM; ++k)
        EXPECT_EQ(GetMeasureFactor(static_cast<MeasureUnitKind>(k)), 0.0) << k;
    EXPECT_EQ(GetMeasureFactor(static_cast<MeasureUnitKind>(28)), 0.0);
}

TEST_F(ValueTypes, DomainMasksMatchTheirTable)
{
    const uint32_t masks[] = {0x1CF, 0x1C7, 0x1C8, 0x00F, 0x1C0, 0x007, 0x00B,
                              0x001, 0x009, 0x004, 0x0CB, 0x001, 0x002};
    for (int d = 0; d < ValueDomainCount; ++d)
        EXPECT_EQ(GetDomainMask(static_cast<ValueDomain>(d)), masks[d]) << d;
    EXPECT_EQ(GetDomainMask(static_cast<ValueDomain>(13)), 0u);
    EXPECT_EQ(GetDomainMask(static_cast<ValueDomain>(255)), 0u);
}

// Each numeric domain must accept exactly the numbers its name promises.
TEST_F(ValueTypes, IsInDomainAgreesWithWhatEachDomainAccepts)
{
    const std::function<bool(double)> accepts[] = {
        [](double) { return true; },
        [](double x) { return x != 0; },
        [](double x) { return x <= 0; },
        [](double x) { return x >= 0; },
        [](double x) { return x < 0; },
        [](double x) { return x > 0; },
        [](double x) { return 0 <= x && x <= 1; },
        [](double x) { return 0 < x && x < 1; },
        [](double x) { return 0 <= x && x < 1; },
        [](double x) { return x > 1; },
        [](double x) { return -1 <= x && x <= 1; },
    };
    const double samples[] = {-1e300, -2, -1.0000001, -1, -0.999, -0.5, -1e-300, -0.0, 0,
                              1e-300, 0.5, 0.9999999, 1, 1.0000001, 2, 1e300};
    for (int d = 0; d <= 10; ++d) {
        for (double x : samples)
            EXPECT_EQ(IsInDomain(x, static_cast<ValueDomain>(d)), accepts[d](x))
                << GetValueDomainKey(static_cast<ValueDomain>(d)) << " " << x;
    }
}

TEST_F(ValueTypes, IsInDomainEdgeCases)
{
    EXPECT_TRUE(IsInDomain(0, ValueDomain::Positive));
    EXPECT_TRUE(IsInDomain(0, ValueDomain::Negative));
    EXPECT_FALSE(IsInDomain(1, ValueDomain::ZeroInclOneExcl));
    EXPECT_FALSE(IsInDomain(std::nan(""), ValueDomain::AllValues));
    EXPECT_FALSE(IsInDomain(std::nan(""), ValueDomain::OneMore));
    EXPECT_FALSE(IsInDomain(0.5, static_cast<ValueDomain>(40)));
    // The wave domains use the bits of "between 0 and 1" and "exactly 1".
    EXPECT_TRUE(IsInDomain(0.5, ValueDomain::Mono));
    EXPECT_TRUE(IsInDomain(1, ValueDomain::Stereo));
}

TEST_F(ValueTypes, ValueTypeCompatibility)
{
    auto ok = [](ValueType t, ValueDomType r) { return IsValueTypeCompatible(t, r); };
    EXPECT_TRUE(ok(ValueType::Frequency, ValueDomType::Time));
    EXPECT_TRUE(ok(ValueType::Time, ValueDomType::Frequency));
    EXPECT_TRUE(ok(ValueType::Angle, ValueDomType::NoUnit));
    EXPECT_FALSE(ok(ValueType::BalanceAngle, ValueDomType::FactorOrInteger));
    EXPECT_TRUE(ok(ValueType::Integer, ValueDomType::FactorOrInteger));
    EXPECT_FALSE(ok(ValueType::Time, ValueDomType::NoUnit));
    EXPECT_TRUE(ok(ValueType::Angle, ValueDomType::PlaceWave)); // 2 stands for value type 2
    EXPECT_FALSE(ok(ValueType::PlaceInWindow, ValueDomType::PlaceWave));

    for (int t = 0; t < ValueTypeCount; ++t) {
        auto type = static_cast<ValueType>(t);
        EXPECT_EQ(ok(type, ValueDomType::AllComputable), t < 10) << t;
        EXPECT_EQ(ok(type, ValueDomType::AllValue), t != 14) << t;
        for (int r = 0; r < 15; ++r) {
            bool timeOrFrequency = (r == 6 || r == 7) && (t == 6 || t == 7);
            EXPECT_EQ(ok(type, static_cast<ValueDomType>(r)), t == r || timeOrFrequency)
                << t << " for " << r;
        }
    }
}

TEST_F(ValueTypes, AnUnknownRequiredTypeAssertsAndIsIncompatible)
{
    messages.Expect();
    EXPECT_FALSE(IsValueTypeCompatible(ValueType::Factor, static_cast<ValueDomType>(19)));
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), "ValueTypes.cpp", "false"));
}

} // namespace
