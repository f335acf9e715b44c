#include "general/numeric/NumericHelpers.h"

#include "general/values/NoBoxes.h"
#include "general/view/PixelMap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace kelvorn;

namespace {

using NumericHelpers = kelvorn::testing::NoBoxes<>;
const char* const unitFile = "NumericHelpers.cpp";

TEST_F(NumericHelpers, WrapRangeBringsEveryValueIntoTheHalfOpenRange)
{
    // clang-format off
    const std::tuple<double, double, double, double> cases[] = {
        {-0.5, 0, 1, 0.5}, {1, 0, 1, 0}, {-1, 0, 1, 0}, {0, 0, 1, 0}, {0.25, 0, 1, 0.25},
        {2.5, 0, 1, 0.5}, {-2.25, 0, 1, 0.75}, {370, 0, 360, 10}, {-370, 0, 360, 350},
        {-720, 0, 360, 0}, {720, 0, 360, 0}, {5, -1, 1, -1}, {-1, -1, 1, -1}, {1, -1, 1, -1},
        {0.5, -1, 1, 0.5}, {-3.5, -1, 1, 0.5}};
    // clang-format on
    for (const auto& [x, min, max, expected] : cases)
        EXPECT_DOUBLE_EQ(WrapRange(x, min, max), expected) << x << " in [" << min << ", " << max;
    for (double x : {1e300, -1e300, 1e17 + 0.5, -1e-300, 1e-300, -0.0, 6.2830586 * 1e9}) {
        double r = WrapRange(x, 0, ProgramTwoPi);
        EXPECT_TRUE(r >= 0.0 && r < ProgramTwoPi) << x << " gives " << r;
    }
    EXPECT_EQ(WrapRange(3.5, 1, 1), 3.5);
    EXPECT_TRUE(Asserted(unitFile, {"max > min"}));
}

TEST_F(NumericHelpers, MapsClampsAndIntersects)
{
    EXPECT_DOUBLE_EQ(LinearMap(0, 0, 10, 100, 200), 100);
    EXPECT_DOUBLE_EQ(LinearMap(10, 0, 10, 100, 200), 200);
    EXPECT_DOUBLE_EQ(LinearMap(15, 0, 10, 100, 200), 250); // no clamping
    EXPECT_DOUBLE_EQ(LinearMap(2, 10, 0, 0, 1), 0.8);      // reversed source range
    EXPECT_DOUBLE_EQ(LinearMap(32767, -32768, 32767, 0, 480), 480);
    EXPECT_DOUBLE_EQ(LinearMap(1e16 + 2, 1e16, 1e16 + 4, 0, 1), 0.5);
    for (auto [x, clamped] : {std::pair(-1.0, 0.0), std::pair(2.0, 1.0), std::pair(0.3, 0.3)})
        EXPECT_EQ(ClampValue(x, 0, 1), clamped) << x;
    // clang-format off
    const std::tuple<double, double, double, double, bool, int32_t, int32_t> cases[] = {
        {0, 10, 5, 20, true, 5, 10}, {5, 20, 0, 10, true, 5, 10}, {0, 10, 10, 20, true, 10, 10},
        {0, 10, 10.5, 20, false, -7, -7}, {10.5, 20, 0, 10, false, -7, -7},
        {1.9, 8.9, 2.5, 7.5, true, 2, 7}, {-5.5, -1.5, -3.7, 4, true, -3, -1},
        {0, 1e12, -1e12, 5e11, true, 0, INT32_MAX}};
    // clang-format on
    for (const auto& [b1, e1, b2, e2, common, begin, end] : cases) {
        int32_t gotBegin = -7, gotEnd = -7;
        EXPECT_EQ(IntersectRange(gotBegin, gotEnd, b1, e1, b2, e2), common) << b1 << " " << b2;
        EXPECT_EQ(std::pair(gotBegin, gotEnd), std::pair(begin, end)) << b1 << " " << b2;
    }
}

TEST_F(NumericHelpers, StepsFractionsAndTruncation)
{
    // clang-format off
    const std::pair<double, double> steps[] = {
        {1.5, 2}, {0.004, 0.005}, {700, 1000}, {3, 5}, {6, 10}, {2.99, 2}, {1, 2}, {5, 5},
        {5.99, 5}, {10, 20}, {0.1, 0.2}, {0.35, 0.5}, {9e6, 1e7}, {4.5e-7, 5e-7}, {1234, 2000},
        {0.09, 0.1}, {0, 1}, {-3, 1}, {NAN, 1}, {INFINITY, 1}};
    // clang-format on
    for (auto [x, step] : steps)
        EXPECT_NEAR(NiceStep(x), step, step * 1e-12) << x;
    EXPECT_GT(NiceStep(5e-324), 0.0);
    for (auto [x, step, up] :
         {std::tuple(10.0, 5.0, 15.0), std::tuple(14.9, 5.0, 15.0), std::tuple(0.0, 5.0, 5.0),
          std::tuple(-7.0, 5.0, 0.0), std::tuple(2.5, 0.5, 3.0)})
        EXPECT_EQ(RoundUpToStep(x, step), up) << x; // -7 truncates toward zero

    // clang-format off
    const std::tuple<double, int32_t, int32_t, int32_t> fractions[] = {
        {2.375, 2, 3, 8}, {0.1, 0, 12, 128}, {3, 3, 0, 1}, {0.5, 0, 1, 2}, {0.25, 0, 1, 4},
        {1.0 / 64, 0, 1, 64}, {1.0 / 128, 0, 1, 128}, {1.0 / 256, 0, 0, 128}, {-2.375, -2, -3, 8},
        {7.96875, 7, 31, 32}, {1.0 / 3, 0, 42, 128}, {0, 0, 0, 1}, {NAN, 0, 0, 128}};
    // clang-format on
    for (const auto& [x, whole, numerator, denominator] : fractions) {
        int32_t w = -9, n = -9, d = -9;
        SplitFraction(x, w, n, d);
        EXPECT_EQ(std::tuple(w, n, d), std::tuple(whole, numerator, denominator)) << x;
    }
    int32_t whole = 0, numerator = 0, denominator = 0;
    SplitFraction(1e20, whole, numerator, denominator);
    EXPECT_EQ(std::pair(whole, denominator), std::pair(INT32_MAX, 1));
    for (auto [x, expected] :
         {std::pair(2.9, 2), std::pair(-2.9, -2), std::pair(2147483647.5, INT32_MAX),
          std::pair(-2147483648.9, INT32_MIN), std::pair(1e300, INT32_MAX),
          std::pair(-double(INFINITY), INT32_MIN), std::pair(double(NAN), 0)})
        EXPECT_EQ(TruncToInt32(x), expected) << x;
}

TEST_F(NumericHelpers, BlendColorBlendsEachByteAndTruncates)
{
    const int32_t red = 0x0000FF, blue = 0xFF0000;
    EXPECT_EQ(BlendColor(red, blue, 0.0), red);
    EXPECT_EQ(BlendColor(red, blue, 1.0), blue);
    EXPECT_EQ(BlendColor(red, blue, 0.5), 0x7F007F); // 127.5 truncates to 127
    EXPECT_EQ(BlendColor(0x000000, 0x808080, 0.5), 0x404040);
    EXPECT_EQ(BlendColor(0x102030, 0x302010, 0.25), 0x182028);
    // The top byte of an input never leaks into the result, nor does a factor outside 0 to 1.
    EXPECT_EQ(BlendColor(static_cast<int32_t>(0xFF123456), 0x123456, 0.5), 0x123456);
    EXPECT_EQ(BlendColor(0x000000, 0x80FF40, 2.0), 0xFFFF80);
    EXPECT_EQ(BlendColor(0x000000, 0x80FF40, -1.0), 0x000000);
}

TEST_F(NumericHelpers, PointAngleUsesTheProgramsPi)
{
    EXPECT_DOUBLE_EQ(PointAngle({0, 0}, {10, 0}), 0.0);
    EXPECT_DOUBLE_EQ(PointAngle({0, 0}, {-10, 0}), 3.1415293);
    EXPECT_DOUBLE_EQ(PointAngle({0, 0}, {0, 10}), 1.57076465);
    EXPECT_DOUBLE_EQ(PointAngle({0, 0}, {0, -10}), 4.71229395);
    EXPECT_DOUBLE_EQ(PointAngle({5, 5}, {4, 4}), std::atan(1.0) + 3.1415293);
    EXPECT_DOUBLE_EQ(PointAngle({0, 0}, {1, -1}), -std::atan(1.0));
    // Coordinates at the ends of the 32-bit range do not overflow the differences.
    EXPECT_DOUBLE_EQ(PointAngle({INT32_MIN, 0}, {INT32_MAX, 0}), 0.0);
    EXPECT_DOUBLE_EQ(PointAngle({3, 4}, {3, 4}), 4.71229395);
    EXPECT_TRUE(
        Asserted(unitFile, {"pointTarget.x != pointSource.x || pointTarget.y != pointSource.y"}));
}

TEST_F(NumericHelpers, PixelColumnsMapToSamplesAtTheirMiddleAndToTimeAtTheirLeftEdge)
{
    // clang-format off
    const std::tuple<PixelRect, double, double, int, double> centres[] = {
        {{10, 0, 110, 50}, 0, 1000, 10, 5}  /* first column: half a column in */,
        {{10, 0, 110, 50}, 0, 1000, 109, 995}, {{10, 0, 110, 50}, 0, 1000, 110, 1005},
        {{10, 0, 110, 50}, 0, 1000, 9, -5}, {{10, 0, 110, 50}, 0, 1000, 0, -95},
        {{0, 0, 4, 1}, 100, 102, 1, 100.75}  /* zoomed in */, {{-20, 0, 20, 9}, -40, 40, 0, 1},
        {{0, 0, 10, 10}, 10, 0, 0, 9.5}  /* a reversed range maps backwards */,
        {{0, 0, 1000, 1}, 0, 158760000, 999, 158680620}  /* one hour of stereo at full view */};
    // clang-format on
    for (const auto& [rect, begin, end, x, sample] : centres)
        EXPECT_DOUBLE_EQ(MapPixelCentre(rect, begin, end, x), sample) << x;
    // clang-format off
    const std::tuple<PixelRect, double, double, int, double> times[] = {
        {{0, 0, 200, 10}, 44100, 88200, 0, 1.0}, {{0, 0, 200, 10}, 44100, 88200, 200, 2.0},
        {{0, 0, 200, 10}, 44100, 88200, 100, 1.5}, {{0, 0, 200, 10}, 44100, 88200, -1, 0.995},
        {{50, 0, 150, 10}, 0, 22050, 75, 0.125}};
    // clang-format on
    for (const auto& [rect, begin, end, x, seconds] : times)
        EXPECT_DOUBLE_EQ(MapPixelToTime(rect, begin, end, x, 44100), seconds) << x;
    EXPECT_DOUBLE_EQ(MapPixelToTime({0, 0, 10, 1}, 0, 8000, 5, 8000), 0.5);
}

} // namespace
