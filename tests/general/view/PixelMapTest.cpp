#include "general/view/PixelMap.h"

#include <gtest/gtest.h>

using namespace kelvorn;

namespace {

struct MapCase
{
    PixelRect rect;
    double begin;
    double end;
    int x;
    double centre;
};

class MapPixelCentreCases : public ::testing::TestWithParam<MapCase>
{
};

struct TimeCase
{
    PixelRect rect;
    double begin;
    double end;
    int x;
    double frequency;
    double seconds;
};

class MapPixelToTimeCases : public ::testing::TestWithParam<TimeCase>
{
};

} // namespace

TEST_P(MapPixelCentreCases, MapsTheMiddleOfTheColumn)
{
    const MapCase& c = GetParam();
    EXPECT_DOUBLE_EQ(MapPixelCentre(c.rect, c.begin, c.end, c.x), c.centre);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, MapPixelCentreCases,
    ::testing::Values(
        // 100 columns showing 1000 samples: 10 samples a column, the centre 5 in.
        MapCase{{10, 0, 110, 50}, 0, 1000, 10, 5}, MapCase{{10, 0, 110, 50}, 0, 1000, 109, 995},
        MapCase{{10, 0, 110, 50}, 0, 1000, 110, 1005},
        // Left of the view extrapolates.
        MapCase{{10, 0, 110, 50}, 0, 1000, 0, -95},
        // Zoomed in: 4 columns per sample.
        MapCase{{0, 0, 400, 10}, 100, 200, 0, 100.125},
        // A reversed range maps backwards.
        MapCase{{0, 0, 10, 10}, 10, 0, 0, 9.5}));

TEST_P(MapPixelToTimeCases, MapsTheLeftEdgeOfTheColumn)
{
    const TimeCase& c = GetParam();
    EXPECT_DOUBLE_EQ(MapPixelToTime(c.rect, c.begin, c.end, c.x, c.frequency), c.seconds);
}

INSTANTIATE_TEST_SUITE_P(Columns, MapPixelToTimeCases,
                         ::testing::Values(TimeCase{{10, 0, 110, 50}, 44100, 88200, 10, 44100, 1.0},
                                           TimeCase{{10, 0, 110, 50}, 44100, 88200, 60, 44100, 1.5},
                                           TimeCase{
                                               {10, 0, 110, 50}, 44100, 88200, 110, 44100, 2.0},
                                           TimeCase{{0, 0, 200, 1}, 0, 11025, 100, 22050, 0.25}));

TEST(PixelMap, TimeHasNoHalfColumnShift)
{
    PixelRect rect{0, 0, 100, 20};
    double frequency = 1000;
    for (int x : {0, 1, 37, 99}) {
        double sample = MapPixelCentre(rect, 0, 1000, x);
        double seconds = MapPixelToTime(rect, 0, 1000, x, frequency);
        EXPECT_NEAR(sample / frequency - seconds, 0.005, 1e-12) << x;
    }
}
