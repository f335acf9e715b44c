#include "general/numeric/NumericHelpers.h"

#include "general/values/NoBoxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace kelvorn;
using kelvorn::testing::IsAssertionBox;

namespace {

using NumericHelpers = kelvorn::testing::NoBoxes<>;

struct WrapCase
{
    double x, min, max, expected;
};

TEST_F(NumericHelpers, WrapRangeBringsEveryValueIntoTheHalfOpenRange)
{
    const WrapCase cases[] = {
        {-0.5, 0, 1, 0.5},   {1, 0, 1, 0},      {-1, 0, 1, 0},       {0, 0, 1, 0},
        {0.25, 0, 1, 0.25},  {2.5, 0, 1, 0.5},  {-2.25, 0, 1, 0.75}, {370, 0, 360, 10},
        {-370, 0, 360, 350}, {-720, 0, 360, 0}, {720, 0, 360, 0},    {5, -1, 1, -1},
        {-1, -1, 1, -1},     {1, -1, 1, -1},    {0.5, -1, 1, 0.5},   {-3.5, -1, 1, 0.5},
    };
    for (const WrapCase& c : cases)
        EXPECT_DOUBLE_EQ(WrapRange(c.x, c.min, c.max), c.expected)
            << c.x << " in [" << c.min << ", " << c.max << ")";
}

TEST_F(NumericHelpers, WrapRangeStaysInsideForHugeAndTinyValues)
{
    for (double x : {1e300, -1e300, 1e17 + 0.5, -1e-300, 1e-300, -0.0, 6.2830586 * 1e9}) {
        double r = WrapRange(x, 0, ProgramTwoPi);
        EXPECT_GE(r, 0.0) << x;
        EXPECT_LT(r, ProgramTwoPi) << x;
    }
}

TEST_F(NumericHelpers, WrapRangeWithAnEmptyRangeAssertsAndLeavesTheValue)
{
    messages.Expect();
    EXPECT_EQ(WrapRange(3.5, 1, 1), 3.5);
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), "NumericHelpers.cpp", "max > min"));
}

TEST_F(NumericHelpers, LinearMapMapsEndsAndMidpoints)
{
    EXPECT_DOUBLE_EQ(LinearMap(0, 0, 10, 100, 200), 100);
    EXPECT_DOUBLE_EQ(LinearMap(10, 0, 10, 100, 200), 200);
    EXPECT_DOUBLE_EQ(LinearMap(5, 0, 10, 100, 200), 150);
    EXPECT_DOUBLE_EQ(LinearMap(15, 0, 10, 100, 200), 250); // no clamping
    EXPECT_DOUBLE_EQ(LinearMap(2, 10, 0, 0, 1), 0.8);      // reversed source range
    EXPECT_DOUBLE_EQ(LinearMap(-32768, -32768, 32767, 0, 480), 0);
    EXPECT_DOUBLE_EQ(LinearMap(32767, -32768, 32767, 0, 480), 480);
    EXPECT_DOUBLE_EQ(LinearMap(1e16 + 2, 1e16, 1e16 + 4, 0, 1), 0.5);
}

TEST_F(NumericHelpers, ClampValueReturnsTheBoundItself)
{
    EXPECT_EQ(ClampValue(-1, 0, 1), 0);
    EXPECT_EQ(ClampValue(2, 0, 1), 1);
    EXPECT_EQ(ClampValue(0, 0, 1), 0);
    EXPECT_EQ(ClampValue(1, 0, 1), 1);
    EXPECT_EQ(ClampValue(0.3, 0, 1), 0.3);
}

struct IntersectCase
{
    double b1, e1, b2, e2;
    bool common;
    int32_t begin, end;
};

TEST_F(NumericHelpers, IntersectRangeGivesTheTruncatedCommonPart)
{
    const IntersectCase cases[] = {
        {0, 10, 5, 20, true, 5, 10},         {5, 20, 0, 10, true, 5, 10},
        {0, 10, 10, 20, true, 10, 10},       {0, 10, 10.5, 20, false, -7, -7},
        {10.5, 20, 0, 10, false, -7, -7},    {1.9, 8.9, 2.5, 7.5, true, 2, 7},
        {-5.5, -1.5, -3.7, 4, true, -3, -1}, {0, 1e12, -1e12, 5e11, true, 0, INT32_MAX},
    };
    for (const IntersectCase& c : cases) {
        int32_t begin = -7, end = -7;
        EXPECT_EQ(IntersectRange(begin, end, c.b1, c.e1, c.b2, c.e2), c.common) << c.b1;
        EXPECT_EQ(begin, c.begin) << c.b1 << " " << c.b2;
        EXPECT_EQ(end, c.end) << c.e1 << " " << c.e2;
    }
}

TEST_F(NumericHelpers, NiceStepPicksTwoFiveOrTenTimesAPowerOfTen)
{
    const std::pair<double, double> cases[] = {
        {1.5, 2},   {0.004, 0.005}, {700, 1000},  {3, 5},      {6, 10},    {2.99, 2},
        {1, 2},     {5, 5},         {5.99, 5},    {10, 20},    {0.1, 0.2}, {0.35, 0.5},
        {9e6, 1e7}, {4.5e-7, 5e-7}, {1234, 2000}, {0.09, 0.1},
    };
    for (auto [x, step] : cases)
        EXPECT_NEAR(NiceStep(x), step, step * 1e-12) << x;
}

TEST_F(NumericHelpers, NiceStepOfNoPositiveNumberStillAdvances)
{
    for (double x : {0.0, -3.0, std::nan(""), std::numeric_limits<double>::infinity()})
        EXPECT_EQ(NiceStep(x), 1.0) << x;
    EXPECT_GT(NiceStep(5e-324), 0.0);
}

TEST_F(NumericHelpers, RoundUpToStepAlwaysMovesUp)
{
    EXPECT_EQ(RoundUpToStep(10, 5), 15);
    EXPECT_EQ(RoundUpToStep(11, 5), 15);
    EXPECT_EQ(RoundUpToStep(14.9, 5), 15);
    EXPECT_EQ(RoundUpToStep(0, 5), 5);
    EXPECT_EQ(RoundUpToStep(-7, 5), 0); // truncation toward zero
    EXPECT_EQ(RoundUpToStep(2.5, 0.5), 3);
}

struct FractionCase
{
    double x;
    int32_t whole, numerator, denominator;
};

TEST_F(NumericHelpers, SplitFractionFindsPowerOfTwoDenominators)
{
    const FractionCase cases[] = {
        {2.375, 2, 3, 8},    {0.1, 0, 12, 128},    {3, 3, 0, 1},           {0.5, 0, 1, 2},
        {0.25, 0, 1, 4},     {1.0 / 64, 0, 1, 64}, {1.0 / 128, 0, 1, 128}, {1.0 / 256, 0, 0, 128},
        {-2.375, -2, -3, 8}, {7.96875, 7, 31, 32}, {1.0 / 3, 0, 42, 128},  {0, 0, 0, 1},
    };
    for (const FractionCase& c : cases) {
        int32_t whole = -9, numerator = -9, denominator = -9;
        SplitFraction(c.x, whole, numerator, denominator);
        EXPECT_EQ(whole, c.whole) << c.x;
        EXPECT_EQ(numerator, c.numerator) << c.x;
        EXPECT_EQ(denominator, c.denominator) << c.x;
    }
}

TEST_F(NumericHelpers, SplitFractionOfHugeOrUndefinedValuesSaturates)
{
    int32_t whole = 0, numerator = 0, denominator = 0;
    SplitFraction(1e20, whole, numerator, denominator);
    EXPECT_EQ(whole, INT32_MAX);
    EXPECT_EQ(denominator, 1);
    SplitFraction(std::nan(""), whole, numerator, denominator);
    EXPECT_EQ(whole, 0);
    EXPECT_EQ(numerator, 0);
    EXPECT_EQ(denominator, 128);
}

TEST_F(NumericHelpers, BlendColorBlendsEachByteAndTruncates)
{
    const int32_t red = 0x0000FF, blue = 0xFF0000, grey = 0x808080;
    EXPECT_EQ(BlendColor(red, blue, 0.0), red);
    EXPECT_EQ(BlendColor(red, blue, 1.0), blue);
    EXPECT_EQ(BlendColor(red, blue, 0.5), 0x7F007F); // 127.5 truncates to 127
    EXPECT_EQ(BlendColor(0x000000, grey, 0.5), 0x404040);
    EXPECT_EQ(BlendColor(0x102030, 0x302010, 0.25), 0x182028);
    // The top byte of an input never leaks into the result.
    EXPECT_EQ(BlendColor(static_cast<int32_t>(0xFF123456), 0x123456, 0.5), 0x123456);
}

TEST_F(NumericHelpers, BlendColorOutsideZeroToOneStaysAColour)
{
    EXPECT_EQ(BlendColor(0x000000, 0x80FF40, 2.0), 0xFFFF80);
    EXPECT_EQ(BlendColor(0x000000, 0x80FF40, -1.0), 0x000000);
}

TEST_F(NumericHelpers, PointAngleUsesTheProgramsPi)
{
    EXPECT_DOUBLE_EQ(PointAngle({0, 0}, {10, 0}), 0.0);
    EXPECT_DOUBLE_EQ(PointAngle({0, 0}, {-10, 0}), 3.1415293);
    EXPECT_DOUBLE_EQ(PointAngle({0, 0}, {0, 10}), 1.57076465);
    EXPECT_DOUBLE_EQ(PointAngle({0, 0}, {0, -10}), 4.71229395);
    EXPECT_DOUBLE_EQ(PointAngle({5, 5}, {6, 6}), std::atan(1.0));
    EXPECT_DOUBLE_EQ(PointAngle({5, 5}, {4, 4}), std::atan(1.0) + 3.1415293);
    EXPECT_DOUBLE_EQ(PointAngle({0, 0}, {1, -1}), -std::atan(1.0));
    // Coordinates at the ends of the 32-bit range do not overflow the differences.
    EXPECT_DOUBLE_EQ(PointAngle({INT32_MIN, 0}, {INT32_MAX, 0}), 0.0);
}

TEST_F(NumericHelpers, PointAngleOfOnePointAssertsAndGoesOn)
{
    messages.Expect();
    EXPECT_DOUBLE_EQ(PointAngle({3, 4}, {3, 4}), 4.71229395);
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), "NumericHelpers.cpp",
                               "pointTarget.x != pointSource.x || pointTarget.y != pointSource.y"));
}

TEST_F(NumericHelpers, TruncToInt32TruncatesAndSaturates)
{
    EXPECT_EQ(TruncToInt32(2.9), 2);
    EXPECT_EQ(TruncToInt32(-2.9), -2);
    EXPECT_EQ(TruncToInt32(2147483647.5), INT32_MAX);
    EXPECT_EQ(TruncToInt32(-2147483648.9), INT32_MIN);
    EXPECT_EQ(TruncToInt32(1e300), INT32_MAX);
    EXPECT_EQ(TruncToInt32(-std::numeric_limits<double>::infinity()), INT32_MIN);
    EXPECT_EQ(TruncToInt32(std::nan("")), 0);
}

struct PixelMapCase
{
    PixelRect rect;
    double begin, end;
    int x;
    double expected;
};

TEST_F(NumericHelpers, MapPixelCentreGivesTheSamplePositionOfAColumnsMiddle)
{
    const PixelMapCase cases[] = {
        {{10, 0, 110, 50}, 0, 1000, 10, 5},              // first column: half a column in
        {{10, 0, 110, 50}, 0, 1000, 109, 995},           // last column of the half-open rect
        {{10, 0, 110, 50}, 0, 1000, 110, 1005},          // one past the end lies outside the range
        {{10, 0, 110, 50}, 0, 1000, 9, -5},              // one before the start
        {{0, 0, 4, 1}, 100, 102, 1, 100.75},             // zoomed in: half a sample per column
        {{-20, 0, 20, 9}, -40, 40, 0, 1},                // negative rectangle and range
        {{0, 0, 1000, 1}, 0, 158760000, 999, 158680620}, // a one-hour stereo wave at full view
    };
    for (const PixelMapCase& c : cases)
        EXPECT_DOUBLE_EQ(MapPixelCentre(c.rect, c.begin, c.end, c.x), c.expected) << c.x;
}

TEST_F(NumericHelpers, MapPixelToTimeMapsTheColumnsLeftEdgeIntoSeconds)
{
    const PixelMapCase cases[] = {
        {{0, 0, 200, 10}, 44100, 88200, 0, 1.0},   {{0, 0, 200, 10}, 44100, 88200, 200, 2.0},
        {{0, 0, 200, 10}, 44100, 88200, 100, 1.5}, {{0, 0, 200, 10}, 44100, 88200, -1, 0.995},
        {{50, 0, 150, 10}, 0, 22050, 75, 0.125},
    };
    for (const PixelMapCase& c : cases)
        EXPECT_DOUBLE_EQ(MapPixelToTime(c.rect, c.begin, c.end, c.x, 44100), c.expected) << c.x;
    EXPECT_DOUBLE_EQ(MapPixelToTime({0, 0, 10, 1}, 0, 8000, 5, 8000), 0.5);
}

} // namespace
