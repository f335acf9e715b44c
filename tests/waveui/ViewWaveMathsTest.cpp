#include "WaveUiTestSupport.h"

#include "general/random/Random15.h"

#include <cmath>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class PaneMathsTest : public WaveWindowTest
{
};

// ---- Pixels and samples, both ways ---------------------------------------------------------

struct MapCase
{
    int32_t values;
    int x;         // a column of the 1000-pixel pane
    double sample; // the sample at its centre
    double s;      // a sample
    int column;    // the column it falls on
};

class PixelSampleTest : public WaveWindowTest, public ::testing::WithParamInterface<MapCase>
{
};

TEST_P(PixelSampleTest, MapsTheFullViewBothWays)
{
    const MapCase& c = GetParam();
    TMDIChildWave* window = Open(Flat(1, c.values));
    TViewWave& pane = Pane(*window, 2);
    ASSERT_EQ(pane.ClientRect().Width(), 1000);
    EXPECT_DOUBLE_EQ(pane.PixelToSample(c.x), c.sample);
    EXPECT_EQ(pane.SampleToPixel(c.s), c.column);
}

INSTANTIATE_TEST_SUITE_P(
    KnownSizes, PixelSampleTest,
    ::testing::Values(MapCase{1000, 0, 0.5, 0.0, 0}, MapCase{1000, 999, 999.5, 999.9, 999},
                      MapCase{1000, 500, 500.5, 1000.0, 1000}, MapCase{4000, 0, 2.0, 3.99, 0},
                      MapCase{4000, 999, 3998.0, 3999.0, 999}, MapCase{4000, 250, 1002.0, 4.0, 1},
                      // Fewer samples than columns: 2.5 columns per sample.
                      MapCase{400, 2, 1.0, 1.0, 2}, MapCase{400, 999, 399.8, 399.9, 999}));

TEST_F(PaneMathsTest, PixelToTimeHasNoHalfPixelShift)
{
    TMDIChildWave* window = Open(Flat(1, 44100));
    TViewWave& pane = Pane(*window, 2);
    EXPECT_DOUBLE_EQ(pane.PixelToTime(0), 0.0);
    EXPECT_DOUBLE_EQ(pane.PixelToTime(500), 0.5);
    EXPECT_DOUBLE_EQ(pane.PixelToTime(1000), 1.0);
}

TEST_F(PaneMathsTest, TheSampleUnderTheMouseStaysInsideTheWave)
{
    TMDIChildWave* window = Open(Flat(1, 1000));
    TViewWave& pane = Pane(*window, 2);
    EXPECT_EQ(pane.SampleUnderMouse(-40), 0);
    EXPECT_EQ(pane.SampleUnderMouse(1200), 999);
    EXPECT_EQ(pane.SampleUnderMouse(437), 437);
}

// ---- ZoomTo and ZoomFull ---------------------------------------------------------------------

TEST_F(PaneMathsTest, ZoomToShowsTheRangeOnAWholePixel)
{
    TMDIChildWave* window = Open(Flat(1, 10000));
    TViewWave& pane = Pane(*window, 2);
    host.zooms.clear();
    pane.ZoomTo(2000, 3000, true);
    ASSERT_TRUE(pane.IsZoomed());
    // One pixel is one sample here; the left edge may move one pixel at random.
    EXPECT_GE(pane.GetZoomBegin(), 2000.0);
    EXPECT_LE(pane.GetZoomBegin(), 2001.0);
    EXPECT_DOUBLE_EQ(pane.GetZoomEnd() - pane.GetZoomBegin(), 1000.0);
    EXPECT_EQ(host.zooms, std::vector<int>{2});
    EXPECT_TRUE(window->GetUnitWave().IsStateModified());
    // The scroll bar follows in samples.
    ASSERT_TRUE(pane.ScrollBar()->isVisible());
    EXPECT_EQ(pane.ScrollBar()->maximum(), 9000);
    EXPECT_EQ(pane.ScrollBar()->value(), int(pane.GetZoomBegin()));
    EXPECT_EQ(pane.ScrollBar()->pageStep(), 1000);

    pane.ZoomFull();
    EXPECT_FALSE(pane.IsZoomed());
    EXPECT_FALSE(pane.ScrollBar()->isVisible());
    EXPECT_EQ(pane.GetZoomBegin(), 0.0);
    EXPECT_EQ(pane.GetZoomEnd(), 10000.0);
}

TEST_F(PaneMathsTest, TheRandomPixelComesFromThePanesOwnGenerator)
{
    TMDIChildWave* window = Open(Flat(1, 10000));
    TViewWave& pane = Pane(*window, 2);
    SeedRandom15(7);
    const int expected = NextRandom15();
    SeedRandom15(7);
    for (int i = 0; i < 20; ++i)
        pane.ZoomTo(1000 + i, 2000 + i, false);
    // The program-wide generator, which seeded noise draws from, did not move.
    EXPECT_EQ(NextRandom15(), expected);
}

struct BadRange
{
    int32_t begin;
    int32_t end;
};

class GuardedZoomTest : public WaveWindowTest, public ::testing::WithParamInterface<BadRange>
{
};

TEST_P(GuardedZoomTest, AnyRangeOutsideTheWaveShowsTheWholeWave)
{
    TMDIChildWave* window = Open(Flat(1, 1000));
    TViewWave& pane = Pane(*window, 2);
    pane.ZoomTo(100, 200, false);
    ASSERT_TRUE(pane.IsZoomed());
    pane.ZoomTo(GetParam().begin, GetParam().end, true);
    EXPECT_FALSE(pane.IsZoomed());
    EXPECT_EQ(pane.GetZoomBegin(), 0.0);
    EXPECT_EQ(pane.GetZoomEnd(), 1000.0);
    EXPECT_TRUE(pane.IsFullRepaintPending());
}

INSTANTIATE_TEST_SUITE_P(Ranges, GuardedZoomTest,
                         ::testing::Values(BadRange{300, 200}, BadRange{200, 200},
                                           BadRange{-5, 100}, BadRange{900, 1001},
                                           BadRange{INT32_MIN, INT32_MAX}));

TEST_F(PaneMathsTest, AnEmptyWaveIsNeverZoomed)
{
    TMDIChildWave* window = Open(Flat(1, 0));
    TViewWave& pane = Pane(*window, 2);
    pane.ZoomTo(0, 1, false);
    EXPECT_FALSE(pane.IsZoomed());
    EXPECT_EQ(pane.SampleToPixel(5.0), 0);
    EXPECT_EQ(pane.PixelToSample(300), 0.0);
}

TEST_F(PaneMathsTest, AnHourLongWaveZoomsToItsLastTwoSamples)
{
    // One hour at 5512 Hz: at two samples over 1000 pixels the whole wave would be about
    // 9.9e9 pixels wide, far beyond a pixel-counted scroll bar.
    const int32_t count = 3600 * 5512;
    TMDIChildWave* window = Open(Flat(1, count, 0, 5512));
    TViewWave& pane = Pane(*window, 2);
    pane.ZoomTo(count - 2, count, true);
    ASSERT_TRUE(pane.IsZoomed());
    EXPECT_GE(pane.GetZoomBegin(), count - 2.0);
    EXPECT_LE(pane.GetZoomEnd(), double(count));
    EXPECT_DOUBLE_EQ(pane.GetZoomEnd() - pane.GetZoomBegin(), 2.0);
    EXPECT_EQ(pane.SampleToPixel(count - 1.0), 500);
    EXPECT_EQ(pane.SampleUnderMouse(999), count - 1);
    EXPECT_EQ(pane.ScrollBar()->maximum(), count - 2);
    EXPECT_GE(pane.ScrollBar()->value(), count - 2);
    EXPECT_NEAR(pane.GetZoomEndTime(), 3600.0, 1e-6);

    pane.ZoomTo(0, 2, true);
    EXPECT_LE(pane.GetZoomBegin(), 0.002);
    EXPECT_EQ(pane.SampleToPixel(1.0), 500);
}

TEST_F(PaneMathsTest, ScrollingMovesTheViewAndKeepsItsLength)
{
    TMDIChildWave* window = Open(Flat(1, 10000));
    TViewWave& pane = Pane(*window, 2);
    pane.ZoomTo(0, 500, false);
    host.zooms.clear();
    const_cast<QScrollBar*>(pane.ScrollBar())->setValue(7000);
    EXPECT_EQ(pane.GetZoomBegin(), 7000.0);
    EXPECT_EQ(pane.GetZoomEnd(), 7500.0);
    EXPECT_EQ(host.zooms, std::vector<int>{2});
}

// ---- Keeping the zoom across an edit ---------------------------------------------------------

TEST_F(PaneMathsTest, TheZoomFollowsAnEditRelativeToItsRange)
{
    TMDIChildWave* window = Open(Flat(1, 10000));
    TViewWave& pane = Pane(*window, 2);
    pane.ZoomTo(5000, 6000, false);
    const double begin = pane.GetZoomBegin();
    window->SaveZoom(4000, 4100);
    window->RestoreZoom(4000, 4600);
    // Both edges are kept relative to the edit: the begin to its start, the end to its end.
    EXPECT_NEAR(pane.GetZoomBegin(), begin, 2.0);
    EXPECT_NEAR(pane.GetZoomEnd(), 6500.0, 2.0);
    // The first pane was not zoomed and stays so.
    EXPECT_FALSE(Pane(*window, 1).IsZoomed());
}

TEST_F(PaneMathsTest, AnEditThatLeavesNoRangeGivesTheFullView)
{
    TMDIChildWave* window = Open(Flat(1, 10000));
    TViewWave& pane = Pane(*window, 2);
    pane.ZoomTo(9000, 9500, false);
    window->SaveZoom(0, 10000);
    window->RestoreZoom(0, 100);
    EXPECT_FALSE(pane.IsZoomed());
}

} // namespace
