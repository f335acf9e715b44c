#include "general/numeric/ValueTypes.h"

#include "general/values/NoBoxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace kelvorn;

namespace {

using ValueTypes = kelvorn::testing::NoBoxes<>;

TEST_F(ValueTypes, KeysAreFoundAtTheirOwnIndexAndComparedWhole)
{
    for (auto list : {MeasureUnitNames(), ValueTypeKeys(), ValueDomTypeKeys(), ValueDomainKeys()})
        EXPECT_EQ(std::set<std::string_view>(list.begin(), list.end()).size(), list.size());
    for (int i = 0; i < MeasureUnitCount; ++i)
        EXPECT_EQ(FindMeasureName(GetMeasureName(static_cast<MeasureUnitKind>(i))), i);
    for (int i = 0; i < ValueTypeCount; ++i)
        EXPECT_EQ(FindValueType(GetValueTypeKey(static_cast<ValueType>(i))), i);
    for (int i = 0; i < ValueDomTypeCount; ++i)
        EXPECT_EQ(FindValueDomType(GetValueDomTypeKey(static_cast<ValueDomType>(i))), i);
    for (int i = 0; i < ValueDomainCount; ++i)
        EXPECT_EQ(FindValueDomain(GetValueDomainKey(static_cast<ValueDomain>(i))), i);
    EXPECT_EQ(GetMeasureName(static_cast<MeasureUnitKind>(28)), "");
    EXPECT_EQ(GetMeasureName(EHKnots), "EHKnots");
    EXPECT_EQ(FindValueDomType("Angle"), -1); // its key at 2 is "PlaceWave"
    EXPECT_EQ(FindValueType("Angle"), 2);
    EXPECT_EQ(FindValueType("PlaceWave"), -1);
    EXPECT_EQ(FindMeasureName("ehnone"), -1);
    EXPECT_EQ(FindMeasureName("EHM "), -1);
    EXPECT_EQ(FindValueType("Balance Angle"), -1); // a display name is no key
    EXPECT_EQ(FindValueDomain(""), -1);
    // The display names that differ from their keys.
    EXPECT_EQ(GetValueTypeName(ValueType::BalanceAngle), "Balance Angle");
    EXPECT_EQ(GetValueTypeName(ValueType::WaveMonoStereo), "Mono/Stereo");
    EXPECT_EQ(GetValueTypeName(ValueType::PlaceInWindow), "Place in Window");
    EXPECT_EQ(GetValueDomTypeName(ValueDomType::PlaceWave), "Place in Wave");
    EXPECT_EQ(GetValueDomTypeName(ValueDomType::AllComputable), "All Computable Values");
    EXPECT_EQ(GetValueDomainName(ValueDomain::ZeroExclOneExcl), "<0,1>");
    EXPECT_EQ(GetValueDomainName(ValueDomain::OneMore), "Positive More Than 1");
}

TEST_F(ValueTypes, EachDomainAcceptsWhatItsNamePromises)
{
    using enum ValueDomain;
    // clang-format off
    const std::tuple<ValueDomain, double, bool> cases[] = {
        {AllValues, -1e300, true}, {AllValues, NAN, false}, {NotZero, -1e-300, true},
        {NotZero, -0.0, false}, {Negative, 0, true}, {Negative, 1e-300, false}, {Positive, 0, true},
        {Positive, -1e-300, false}, {NegativeNotZero, -1e-300, true}, {NegativeNotZero, 0, false},
        {PositiveNotZero, 1e-300, true}, {PositiveNotZero, 0, false}, {ZeroInclOneIncl, 0, true},
        {ZeroInclOneIncl, 1, true}, {ZeroInclOneIncl, 1.0000001, false},
        {ZeroInclOneIncl, -1e-300, false}, {ZeroExclOneExcl, 0.5, true},
        {ZeroExclOneExcl, 0, false}, {ZeroExclOneExcl, 1, false}, {ZeroInclOneExcl, 0, true},
        {ZeroInclOneExcl, 0.9999999, true}, {ZeroInclOneExcl, 1, false}, {OneMore, 1.0000001, true},
        {OneMore, 1, false}, {OneMore, NAN, false}, {NegOneInclPosOneIncl, -1, true},
        {NegOneInclPosOneIncl, 1, true}, {NegOneInclPosOneIncl, -1.0000001, false},
        {NegOneInclPosOneIncl, 1.0000001, false}, {Mono, 0.5, true}, {Stereo, 1, true},
        {static_cast<ValueDomain>(40), 0.5, false}};
    // clang-format on
    for (const auto& [domain, x, accepted] : cases)
        EXPECT_EQ(IsInDomain(x, domain), accepted) << GetValueDomainKey(domain) << " " << x;
}

TEST_F(ValueTypes, ValueTypeCompatibility)
{
    auto ok = [](ValueType t, ValueDomType r) { return IsValueTypeCompatible(t, r); };
    EXPECT_TRUE(ok(ValueType::Frequency, ValueDomType::Time));
    EXPECT_TRUE(ok(ValueType::Time, ValueDomType::Frequency));
    EXPECT_TRUE(ok(ValueType::Angle, ValueDomType::NoUnit));
    EXPECT_FALSE(ok(ValueType::Time, ValueDomType::NoUnit));
    EXPECT_TRUE(ok(ValueType::Integer, ValueDomType::FactorOrInteger));
    EXPECT_FALSE(ok(ValueType::BalanceAngle, ValueDomType::FactorOrInteger));
    EXPECT_TRUE(ok(ValueType::Angle, ValueDomType::PlaceWave)); // 2 stands for value type 2
    EXPECT_FALSE(ok(ValueType::PlaceInWindow, ValueDomType::PlaceWave));
    EXPECT_TRUE(ok(static_cast<ValueType>(9), ValueDomType::AllComputable));
    EXPECT_FALSE(ok(static_cast<ValueType>(10), ValueDomType::AllComputable));
    EXPECT_TRUE(ok(static_cast<ValueType>(13), ValueDomType::AllValue));
    EXPECT_FALSE(ok(static_cast<ValueType>(14), ValueDomType::AllValue));
    EXPECT_FALSE(ok(ValueType::Factor, static_cast<ValueDomType>(19)));
    EXPECT_TRUE(Asserted("ValueTypes.cpp", {"false"}));
}

} // namespace
