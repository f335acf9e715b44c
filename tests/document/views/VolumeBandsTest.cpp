#include "VolumeTestSupport.h"

#include "document/views/VolumeBands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::volumetest;

namespace {

// Runs samples into a fresh grid of props' size with the vectorised bank.
std::unique_ptr<TVolumeArray> RunBank(const std::vector<int16_t>& samples,
                                      const TVoldViewProps& props, int32_t rate,
                                      std::vector<std::pair<int32_t, int32_t>>* reports = nullptr)
{
    std::unique_ptr<TVolumeArray> grid =
        TVolumeArray::Create(props.XResolution.GetValue(), props.YResolution.GetValue());
    VolumeBank bank(ComputeVolumeBands(props, rate));
    std::atomic<bool> stop{false};
    const bool completed = bank.Run(samples.data(), int64_t(samples.size()), *grid, stop,
                                    [reports](int32_t first, int32_t end) {
                                        if (reports)
                                            reports->emplace_back(first, end);
                                    });
    EXPECT_TRUE(completed);
    return grid;
}

TEST(VolumeColumns, TheColumnOfASampleComesFromItsIndex)
{
    struct Case
    {
        int64_t index, count;
        int32_t width;
        int64_t column;
    };
    for (Case c : {// Ten samples on 500 columns: positions 49.1, 99.2, ..., 500.
                   Case{0, 10, 500, 49}, Case{1, 10, 500, 99}, Case{4, 10, 500, 249},
                   Case{8, 10, 500, 449}, Case{9, 10, 500, 500},
                   // A position between -1 and 0 truncates to column 0.
                   Case{0, 1000000, 500, 0}, Case{3991, 1000000, 500, 0},
                   Case{3992, 1000000, 500, 1}, Case{999999, 1000000, 500, 500},
                   // Exactly on a boundary: (j + 1) (w + 1) = 2 count.
                   Case{1, 3, 2, 1}, Case{0, 3, 2, 0}, Case{2, 3, 2, 2},
                   // One sample, one column.
                   Case{0, 1, 1, 1}, Case{0, 1, 500, 500},
                   // Sizes whose products pass 2^63.
                   Case{2147483646, 2147483647, 16777216, 16777216},
                   Case{1073741823, 2147483647, 16777216, 8388607}}) {
        EXPECT_EQ(VolumeColumnOfSample(c.index, c.count, c.width), c.column)
            << c.index << " of " << c.count << " on " << c.width;
    }
}

TEST(VolumeColumns, TheNextWriteIsTheFirstSampleOfAGreaterColumn)
{
    for (int64_t count : {1, 2, 7, 10, 499, 500, 501, 502, 1999}) {
        for (int32_t width : {1, 2, 7, 500, 1000, 5000}) {
            for (int64_t i = 0; i < count; ++i) {
                int64_t expected = i + 1;
                while (expected < count && VolumeColumnOfSample(expected, count, width) <=
                                               VolumeColumnOfSample(i, count, width))
                    ++expected;
                ASSERT_EQ(NextVolumeColumnSample(i, count, width), expected)
                    << i << " of " << count << " on " << width;
            }
        }
    }
}

TEST(VolumeColumns, TheColumnsOfAVeryLongWaveAreEvenlySpaced)
{
    struct Case
    {
        int64_t count;
        int32_t width;
    };
    // One hour at 44.1 kHz, the longest wave, and a grid as wide as the limit allows.
    for (Case c : {Case{158760000, 500}, Case{2147483647, 500}, Case{2147483647, 16777215},
                   Case{158760000, 1}}) {
        const int64_t lower = c.count / (int64_t(c.width) + 1);
        const int64_t upper = lower + 1;
        int64_t index = 0;
        int64_t column = VolumeColumnOfSample(0, c.count, c.width);
        int64_t writes = 1;
        int64_t first = 0;
        while (true) {
            const int64_t next = NextVolumeColumnSample(index, c.count, c.width);
            if (next >= c.count)
                break;
            const int64_t nextColumn = VolumeColumnOfSample(next, c.count, c.width);
            ASSERT_EQ(nextColumn, column + 1) << "at sample " << next;
            // Column 0 holds the first sample only; every later column its share of samples.
            if (column > 0) {
                const int64_t span = next - first;
                ASSERT_TRUE(span == lower || span == upper)
                    << "column " << column << " spans " << span << " samples";
            }
            first = next;
            index = next;
            column = nextColumn;
            ++writes;
        }
        EXPECT_EQ(column, c.width) << "the last sample reaches the column past the end";
        EXPECT_EQ(writes, int64_t(c.width) + 1);
        EXPECT_EQ(VolumeColumnOfSample(c.count - 1, c.count, c.width), c.width);
    }
}

TEST(VolumeBank, TenSamplesWriteEveryFiftiethColumnAndFilledEndsPastTheWidth)
{
    const TVoldViewProps props = Props(500, 50);
    std::unique_ptr<TVolumeArray> grid = TVolumeArray::Create(500, 50);
    // A mark in every cell shows which ones the bank wrote.
    for (int32_t x = 0; x < 500; ++x)
        for (int32_t y = 0; y < 50; ++y)
            grid->SetVolume(x, y, 9.0f);
    const std::vector<int16_t> samples(10, 20000);
    VolumeBank bank(ComputeVolumeBands(props, 44100));
    std::atomic<bool> stop{false};
    std::vector<std::pair<int32_t, int32_t>> reports;
    ASSERT_TRUE(bank.Run(samples.data(), 10, *grid, stop,
                         [&](int32_t first, int32_t end) { reports.emplace_back(first, end); }));
    for (int32_t x = 0; x < 500; ++x) {
        const bool written = x % 50 == 49;
        EXPECT_EQ(grid->GetVolume(x, 10) != 9.0f, written) << "column " << x;
    }
    EXPECT_EQ(grid->GetFilled(), 501);
    // One block: one report from the start to the end.
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], std::make_pair(0, 501));
}

TEST(VolumeBank, ManyBandsReportInShorterBlocks)
{
    struct Case
    {
        int32_t bands;
        int64_t block;
    };
    // 300 samples up to 64 bands (56 and 64 lanes), then 300 x 64 / lanes, at least 1.
    for (Case c : {Case{50, 300}, Case{64, 300}, Case{65, 266}, Case{640, 30}, Case{20000, 1}}) {
        const int64_t count = 601;
        TVoldViewProps props = Props(int32_t(count), c.bands);
        std::vector<std::pair<int32_t, int32_t>> reports;
        // As many columns as samples: every sample fills the next column, the last one lands
        // clamped in the last column and counts one past it.
        std::unique_ptr<TVolumeArray> grid = RunBank(Noise(count, 1), props, 44100, &reports);
        ASSERT_EQ(int64_t(reports.size()), (count + c.block - 1) / c.block) << c.bands;
        for (size_t i = 0; i < reports.size(); ++i) {
            EXPECT_EQ(reports[i].first, int64_t(i) * c.block) << c.bands;
            const int64_t end = int64_t(i + 1) * c.block;
            EXPECT_EQ(reports[i].second, end < count ? end : count + 1) << c.bands;
        }
        EXPECT_EQ(grid->GetFilled(), count + 1);
    }
}

TEST(VolumeBank, DigitalSilenceLeavesEveryCellAtZero)
{
    const TVoldViewProps props = Props(500, 50);
    std::unique_ptr<TVolumeArray> grid = RunBank(std::vector<int16_t>(100000, 0), props, 44100);
    for (int32_t x = 0; x < 500; ++x)
        for (int32_t y = 0; y < 50; ++y)
            ASSERT_EQ(grid->GetVolume(x, y), 0.0f) << x << "," << y;
    EXPECT_EQ(grid->GetFilled(), 501);
}

TEST(VolumeBank, ColumnZeroHoldsThePeakOfTheFirstSampleOnly)
{
    const TVoldViewProps props = Props(500, 50);
    std::vector<int16_t> samples = Noise(1000000, 7);
    std::unique_ptr<TVolumeArray> grid = RunBank(samples, props, 44100);
    // The bank run over the first sample alone.
    std::unique_ptr<TVolumeArray> one = RunBank({samples[0]}, props, 44100);
    // With a single sample the write lands clamped in the last column.
    for (int32_t y = 0; y < 50; ++y)
        EXPECT_EQ(grid->GetVolume(0, y), one->GetVolume(499, y)) << "band " << y;
    // Column 1 covers the samples up to 3992 (position 1.0016): the same as a run that stops
    // there, its last write landing in column 1 as well.
    const ReferenceGrid upTo = Reference(ComputeVolumeBands(props, 44100), samples.data(),
                                         int64_t(samples.size()), 500, 3993);
    EXPECT_EQ(upTo.filled, 2);
    EXPECT_EQ(FirstDifference(*grid, upTo, 2), "");
}

struct MatchCase
{
    const char* name;
    int64_t count;
    int32_t width;
    int32_t height;
    int32_t rate;
    uint8_t axis;
    double yWidth;
    int signal; // 0 noise, 1 sine, 2 full-scale square
};

void PrintTo(const MatchCase& c, std::ostream* os)
{
    *os << c.name;
}

using MatchParam = std::tuple<MatchCase, VolumeKernel>;

std::string MatchName(const ::testing::TestParamInfo<MatchParam>& info)
{
    static const char* const kernels[] = {"Baseline", "Avx2", "Avx512"};
    return std::string(std::get<0>(info.param).name) + kernels[int(std::get<1>(info.param))];
}

class VolumeBankMatchesThePlainBank
    : public ::testing::TestWithParam<std::tuple<MatchCase, VolumeKernel>>
{
protected:
    void TearDown() override { UseBestVolumeKernel(); }
};

TEST_P(VolumeBankMatchesThePlainBank, CellForCell)
{
    const MatchCase c = std::get<0>(GetParam());
    if (!UseVolumeKernel(std::get<1>(GetParam())))
        GTEST_SKIP() << "the processor lacks this kernel";
    TVoldViewProps props = Props(c.width, c.height);
    props.FreqAxisKind = c.axis;
    props.YWidth.SetValue(c.yWidth);
    std::vector<int16_t> samples;
    if (c.signal == 0)
        samples = Noise(c.count, 11);
    else if (c.signal == 1)
        samples = Sine(c.count, 37.3, 30000);
    else
        for (int64_t i = 0; i < c.count; ++i)
            samples.push_back(i / 50 % 2 ? int16_t(-32768) : int16_t(32767));
    const std::vector<VolumeBand> bands = ComputeVolumeBands(props, c.rate);
    ASSERT_EQ(int32_t(bands.size()), c.height);
    std::unique_ptr<TVolumeArray> grid = RunBank(samples, props, c.rate);
    const ReferenceGrid expected = Reference(bands, samples.data(), c.count, c.width);
    EXPECT_EQ(grid->GetFilled(), expected.filled);
    EXPECT_EQ(FirstDifference(*grid, expected, c.width), "");
}

// Band counts cover every split into groups of vectors, with and without a half-width vector
// riding along, and a lone partial vector.
INSTANTIATE_TEST_SUITE_P(
    Cases, VolumeBankMatchesThePlainBank,
    ::testing::Combine(
        ::testing::Values(MatchCase{"Default", 30000, 500, 50, 44100, freqAxisLog, 1.0, 0},
                          MatchCase{"OneBand", 5000, 100, 1, 44100, freqAxisLog, 1.0, 0},
                          MatchCase{"EightBands", 5000, 100, 8, 44100, freqAxisLog, 1.0, 1},
                          MatchCase{"NineBands", 5000, 100, 9, 44100, freqAxisLog, 1.0, 0},
                          MatchCase{"ThirtyThree", 8000, 64, 33, 22050, freqAxisLinFreq, 0.5, 0},
                          MatchCase{"Seventy", 8000, 700, 70, 48000, freqAxisLinTime, 2.0, 2},
                          MatchCase{"Ninety", 4000, 50, 90, 44100, freqAxisLog, 1.0, 0},
                          MatchCase{"HundredTwenty", 3000, 50, 120, 44100, freqAxisLog, 1.5, 1},
                          MatchCase{"Square", 20000, 500, 50, 44100, freqAxisLog, 1.0, 2},
                          MatchCase{"LowRate", 20000, 500, 50, 11025, freqAxisLog, 1.0, 0},
                          MatchCase{"VeryLowRate", 9000, 300, 40, 8000, freqAxisLinFreq, 1.0, 2},
                          MatchCase{"FewSamples", 7, 500, 50, 44100, freqAxisLog, 1.0, 0},
                          MatchCase{"OneColumn", 3000, 1, 50, 44100, freqAxisLog, 1.0, 0}),
        ::testing::Values(VolumeKernel::Baseline, VolumeKernel::Avx2, VolumeKernel::Avx512)),
    MatchName);

TEST(VolumeBank, AToneAtABandsFrequencyPeaksInThatBandsRow)
{
    const TVoldViewProps props = Props(100, 50);
    const double rate = 44100;
    const double g = std::pow(0.05 / 5e-05, 1.0 / 50);
    for (int band : {3, 10, 20, 30, 40, 47}) {
        const double period = rate * 5e-05 * std::pow(g, band);
        std::unique_ptr<TVolumeArray> grid =
            RunBank(Sine(44100, period, 12000), props, int32_t(rate));
        // The middle columns, after the resonators have settled.
        for (int32_t x = 40; x < 60; ++x) {
            int32_t loudest = 0;
            for (int32_t y = 1; y < 50; ++y)
                if (grid->GetVolume(x, y) > grid->GetVolume(x, loudest))
                    loudest = y;
            ASSERT_EQ(loudest, band) << "column " << x << ", period " << period;
        }
    }
}

TEST(VolumeBank, AtElevenKilohertzTheDefaultViewGivesFiniteCells)
{
    const TVoldViewProps props;
    const std::vector<VolumeBand> bands = ComputeVolumeBands(props, 11025);
    ASSERT_EQ(bands.size(), 50u);
    // The top bands cannot follow 20 kHz at this rate; the others stay as they were.
    int unstable = 0;
    for (const VolumeBand& band : bands)
        unstable += !band.Stable;
    EXPECT_GT(unstable, 0);
    EXPECT_FALSE(bands[0].Stable);
    EXPECT_TRUE(bands[49].Stable);
    std::unique_ptr<TVolumeArray> grid = RunBank(Noise(20000, 3), props, 11025);
    int loud = 0;
    for (int32_t x = 0; x < 500; ++x)
        for (int32_t y = 0; y < 50; ++y) {
            const float v = grid->GetVolume(x, y);
            ASSERT_TRUE(std::isfinite(v) && v >= 0) << x << "," << y << ": " << v;
            if (!bands[size_t(y)].Stable) {
                ASSERT_EQ(v, 0.0f) << "unstable band " << y;
            }
            loud += v > 0.01f;
        }
    EXPECT_GT(loud, 1000);
}

TEST(VolumeBands, EveryDefaultBandIsStableAtCommonRates)
{
    for (int32_t rate : {22050, 44100, 48000, 96000}) {
        for (const VolumeBand& band : ComputeVolumeBands(TVoldViewProps(), rate)) {
            EXPECT_TRUE(band.Stable) << rate;
            EXPECT_GT(band.Free, 0.0f);
            EXPECT_LT(band.Free, 1.0f);
        }
    }
}

TEST(VolumeBands, BandsGoingUpInFrequencyStillDamp)
{
    // Bottom above top: g below 1, so G = 1 / g and the damping stays positive.
    for (uint8_t axis : {freqAxisLinFreq, freqAxisLog, freqAxisLinTime}) {
        TVoldViewProps props;
        props.TimeTop.SetValue(0.01);
        props.TimeBottom.SetValue(0.0005);
        props.FreqAxisKind = axis;
        const std::vector<VolumeBand> bands = ComputeVolumeBands(props, 44100);
        ASSERT_EQ(bands.size(), 50u);
        for (size_t i = 0; i < bands.size(); ++i) {
            EXPECT_TRUE(bands[i].Stable) << int(axis) << " band " << i;
            EXPECT_GT(bands[i].Free, 0.0f) << int(axis) << " band " << i;
            EXPECT_LT(bands[i].Free, 1.0f) << int(axis) << " band " << i;
        }
        // The period grows from band to band the other way round: Tr rises.
        EXPECT_LT(bands.front().Tr, bands.back().Tr) << int(axis);
    }
}

} // namespace
