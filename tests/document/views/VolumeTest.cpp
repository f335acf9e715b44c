// The volume grid: its size limits and cells, the column each sample writes, the resonator bank
// (every vectorised kernel against a plain bank, cell for cell), and the writer's threads: stops
// at any moment, replaced and dropped grids and sounds, the sink calls. The suite
// VolumeWriterThreads also runs under ThreadSanitizer.

#include "document/views/VoldViewProps.h"
#include "document/views/VolumeArray.h"
#include "document/views/VolumeBands.h"
#include "document/views/VolumeWriter.h"
#include "general/random/Random15.h"
#include "general/values/NoBoxes.h"
#include "sound/Sound.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <limits>
#include <mutex>
#include <thread>

using namespace kelvorn;

namespace {

using Samples = std::vector<int16_t>;

Samples Noise(int64_t count, uint32_t seed)
{
    Random15 random(seed);
    Samples samples(static_cast<size_t>(count));
    for (int16_t& s : samples)
        s = int16_t((random.Next() << 1) - 32768 + (random.Next() & 1));
    return samples;
}

Samples Sine(int64_t count, double period, double amplitude)
{
    Samples samples(static_cast<size_t>(count));
    for (int64_t i = 0; i < count; ++i)
        samples[size_t(i)] = int16_t(amplitude * std::sin(6.283185307179586 * double(i) / period));
    return samples;
}

WavePtr WaveOf(const Samples& samples)
{
    WavePtr wave = CreateWave(nullptr, int64_t(samples.size()));
    std::copy(samples.begin(), samples.end(), wave->Data());
    return wave;
}

SoundPtr MonoOf(const Samples& s)
{
    return std::make_shared<MonoSound>(WaveOf(s), 44100, 2);
}
SoundPtr StereoOf(const Samples& l, const Samples& r)
{
    return std::make_shared<StereoSound>(WaveOf(l), WaveOf(r), 44100, 2);
}

TVoldViewProps Props(int32_t width, int32_t height)
{
    TVoldViewProps props;
    props.XResolution.SetValue(width);
    props.YResolution.SetValue(height);
    return props;
}

/// The cells of one channel, column by column, and the columns written.
struct ReferenceGrid
{
    int32_t width = 0, height = 0, filled = 0;
    std::vector<float> cells;
};

/// The bank the plain way (one band after another, the column recomputed for every sample) over
/// samples [0, limit) of a channel of count samples.
ReferenceGrid Reference(const std::vector<VolumeBand>& bands, const int16_t* samples, int64_t count,
                        int32_t width, int64_t limit = -1)
{
    const size_t n = bands.size();
    ReferenceGrid grid{width, int32_t(n), 0, std::vector<float>(size_t(width) * n, 0.0f)};
    std::vector<float> value(n, 0.0f), speed(n, 0.0f), volume(n, 0.0f);
    int64_t lastColumn = -1;
    for (int64_t j = 0; j < (limit < 0 ? count : limit); ++j) {
        for (size_t i = 0; i < n; ++i) {
            if (!bands[i].Stable)
                continue;
            for (int step = 0; step < 4; ++step) {
                value[i] = value[i] + speed[i] * bands[i].Tr;
                speed[i] = speed[i] - value[i];
                value[i] = (1 - bands[i].Free) * float(samples[j]) + bands[i].Free * value[i];
            }
            volume[i] = std::max(volume[i], std::fabs(std::trunc(value[i])));
        }
        const auto column =
            int64_t(-1.0L + (long double)(j + 1) * (long double)(width + 1) / (long double)count);
        if (column > lastColumn) {
            const int64_t x = std::min<int64_t>(column, width - 1);
            for (size_t i = 0; i < n; ++i) {
                const float v = volume[i] * (1.0f / 32768.0f);
                grid.cells[i + n * size_t(x)] = std::isfinite(v) ? v : 0.0f;
                volume[i] = 0.0f;
            }
            grid.filled = int32_t(column + 1);
            lastColumn = column;
        }
    }
    return grid;
}

ReferenceGrid ReferenceOf(const TVoldViewProps& props, const Samples& samples, int64_t limit = -1)
{
    return Reference(ComputeVolumeBands(props, 44100), samples.data(), int64_t(samples.size()),
                     props.XResolution.GetValue(), limit);
}

/// Where grid and expected first differ in the first `columns` columns (bit for bit: -0 and 0
/// differ too), or "".
std::string FirstDifference(const TVolumeArray& grid, const ReferenceGrid& expected,
                            int32_t columns)
{
    if (grid.GetWidth() != expected.width || grid.GetHeight() != expected.height)
        return "size differs";
    for (int32_t x = 0; x < std::min(columns, expected.width); ++x)
        for (int32_t y = 0; y < expected.height; ++y) {
            const float a = grid.GetVolume(x, y),
                        b = expected.cells[size_t(y + expected.height * x)];
            if (std::memcmp(&a, &b, sizeof a) != 0)
                return "column " + std::to_string(x) + " band " + std::to_string(y) + ": " +
                       std::to_string(a) + " != " + std::to_string(b);
        }
    return "";
}

bool EmptyFrom(const TVolumeArray& grid, int32_t from)
{
    for (int32_t x = from; x < grid.GetWidth(); ++x)
        for (int32_t y = 0; y < grid.GetHeight(); ++y)
            if (grid.GetVolume(x, y) != 0.0f)
                return false;
    return true;
}

using Reports = std::vector<std::pair<int32_t, int32_t>>;

std::unique_ptr<TVolumeArray> RunBank(const Samples& samples, const TVoldViewProps& props,
                                      int32_t rate = 44100, Reports* reports = nullptr)
{
    auto grid = TVolumeArray::Create(props.XResolution.GetValue(), props.YResolution.GetValue());
    std::atomic<bool> stop{false};
    EXPECT_TRUE(VolumeBank(ComputeVolumeBands(props, rate))
                    .Run(samples.data(), int64_t(samples.size()), *grid, stop,
                         [reports](int32_t first, int32_t end) {
                             if (reports)
                                 reports->emplace_back(first, end);
                         }));
    return grid;
}

// ---- the grid and its columns ---------------------------------------------------------------

TEST(VolumeArray, MoreThanTwoToTheTwentyFourCellsAreRefused)
{
    constexpr int64_t two24 = int64_t(1) << 24, max = std::numeric_limits<int64_t>::max();
    // Products that wrap in 32 or 64 bits must not slip through.
    // clang-format off
    for (auto [width, height, made] : std::vector<std::tuple<int64_t, int64_t, bool>>{
             {500, 50, true}, {1, 1, true}, {two24, 1, true}, {1, two24, true}, {4096, 4096, true},
             {two24 + 1, 1, false}, {4097, 4096, false}, {0, 50, false}, {500, 0, false},
             {-1, -1, false}, {65536, 65537, false}, {int64_t(1) << 32, int64_t(1) << 32, false},
             {max, 2, false}, {2, max, false}}) {
        // clang-format on
        std::unique_ptr<TVolumeArray> grid = TVolumeArray::Create(width, height);
        ASSERT_EQ(grid != nullptr, made) << width << " x " << height;
        if (grid) {
            EXPECT_EQ(grid->GetWidth(), width);
            EXPECT_EQ(grid->GetHeight(), height);
            EXPECT_EQ(grid->GetVolume(width - 1, height - 1), 0.0f);
        }
    }
}

class VolumeArrayCells : public kelvorn::testing::NoBoxes<>
{
};

TEST_F(VolumeArrayCells, IndicesAreClampedAndABadVolumeIsAnInternalErrorStoringZero)
{
    std::unique_ptr<TVolumeArray> grid = TVolumeArray::Create(5, 3);
    constexpr int64_t max = std::numeric_limits<int64_t>::max(), min = -max - 1;
    // clang-format off
    for (auto [x, y, cellX, cellY] : std::vector<std::array<int64_t, 4>>{{-1, -1, 0, 0},
             {-100000000000, 1, 0, 1}, {4, 2, 4, 2}, {5, 3, 4, 2}, {6, 1, 4, 1}, {2, 3, 2, 2},
             {max, min, 4, 0}}) {
        // clang-format on
        const float v = 0.25f + float(cellX * 10 + cellY);
        grid->SetVolume(x, y, v);
        EXPECT_EQ(grid->GetVolume(cellX, cellY), v) << x << "," << y;
        EXPECT_EQ(grid->GetVolume(x, y), v);
    }
    // Column by column: the neighbour of the last band of column 0 is band 0 of column 1.
    grid->SetVolume(0, 2, 3.5f);
    grid->SetVolume(1, 0, 7.0f);
    EXPECT_EQ(grid->GetVolume(0, 2), 3.5f);
    for (float bad : {-0.5f, -std::numeric_limits<float>::infinity(), std::nanf("")}) {
        grid->SetVolume(1, 1, 0.75f);
        messages.Clear();
        messages.Expect();
        grid->SetVolume(1, 1, bad);
        EXPECT_TRUE(kelvorn::testing::IsAssertionBox(OnlyBox(), "VolumeArray.cpp", "volume >= 0"));
        EXPECT_EQ(grid->GetVolume(1, 1), 0.0f);
    }
    messages.Clear();
    grid->SetVolume(0, 0, 0.0f);
    EXPECT_TRUE(messages.Shown().empty());
}

TEST(VolumeColumns, TheColumnOfASampleComesFromItsIndex)
{
    // clang-format off
    for (auto [index, count, width, column] : std::vector<std::array<int64_t, 4>>{
             // Ten samples on 500 columns: positions 49.1, 99.2, ..., 500.
             {0, 10, 500, 49}, {1, 10, 500, 99}, {9, 10, 500, 500},
             // A position between -1 and 0 truncates to column 0.
             {0, 1000000, 500, 0}, {3991, 1000000, 500, 0}, {3992, 1000000, 500, 1},
             {999999, 1000000, 500, 500},
             // Exactly on a boundary: (j + 1) (w + 1) = 2 count.
             {1, 3, 2, 1}, {0, 3, 2, 0}, {2, 3, 2, 2}, {0, 1, 1, 1},
             // Sizes whose products pass 2^63.
             {2147483646, 2147483647, 16777216, 16777216},
             {1073741823, 2147483647, 16777216, 8388607}})
        // clang-format on
        EXPECT_EQ(VolumeColumnOfSample(index, count, int32_t(width)), column)
            << index << " of " << count << " on " << width;
    // One hour at 44.1 kHz, the longest wave, and a grid as wide as the limit allows: every
    // column after 0 (the first sample only) gets its share of samples.
    const std::pair<int64_t, int32_t> sizes[] = {
        {158760000, 500}, {2147483647, 500}, {2147483647, 16777215}, {158760000, 1}};
    for (auto [count, width] : sizes) {
        const int64_t lower = count / (int64_t(width) + 1);
        int64_t index = 0, column = 0, writes = 1;
        for (int64_t next; (next = NextVolumeColumnSample(index, count, width)) < count;) {
            const int64_t nextColumn = VolumeColumnOfSample(next, count, width);
            ASSERT_EQ(nextColumn, column + 1) << "at sample " << next;
            ASSERT_TRUE(column == 0 || next - index == lower || next - index == lower + 1)
                << column;
            index = next;
            column = nextColumn;
            ++writes;
        }
        EXPECT_EQ(column, width) << "the last sample reaches the column past the end";
        EXPECT_EQ(writes, int64_t(width) + 1);
    }
}

// ---- the bank -------------------------------------------------------------------------------

TEST(VolumeBank, ManyBandsReportInShorterBlocks)
{
    Reports reports;
    // 300 samples up to 64 bands (56 and 64 lanes), then 300 x 64 / lanes, at least 1.
    for (auto [bands, block] :
         {std::pair<int32_t, int64_t>{50, 300}, {64, 300}, {65, 266}, {640, 30}, {20000, 1}}) {
        const int64_t count = 601;
        reports.clear();
        // As many columns as samples: the last one lands clamped and counts one past the end.
        auto many = RunBank(Noise(count, 1), Props(int32_t(count), bands), 44100, &reports);
        ASSERT_EQ(int64_t(reports.size()), (count + block - 1) / block) << bands;
        for (size_t i = 0; i < reports.size(); ++i) {
            EXPECT_EQ(reports[i].first, int64_t(i) * block) << bands;
            const int64_t end = (int64_t(i) + 1) * block;
            EXPECT_EQ(reports[i].second, end < count ? end : count + 1) << bands;
        }
        EXPECT_EQ(many->GetFilled(), count + 1);
    }
}

// Band counts cover every split into groups of vectors, with and without a half-width vector
// riding along, and a lone partial vector; every kernel the processor has.
TEST(VolumeBank, EveryKernelMatchesThePlainBankCellForCell)
{
    struct Case
    {
        const char* name;
        int64_t count;
        int32_t width, height, rate;
        uint8_t axis;
        double yWidth;
        int signal; // 0 noise, 1 sine, 2 full-scale square
    };
    const Case cases[] = {{"Default", 30000, 500, 50, 44100, freqAxisLog, 1.0, 0},
                          {"OneBand", 5000, 100, 1, 44100, freqAxisLog, 1.0, 0},
                          {"EightBands", 5000, 100, 8, 44100, freqAxisLog, 1.0, 1},
                          {"NineBands", 5000, 100, 9, 44100, freqAxisLog, 1.0, 0},
                          {"ThirtyThree", 8000, 64, 33, 22050, freqAxisLinFreq, 0.5, 0},
                          {"Seventy", 8000, 700, 70, 48000, freqAxisLinTime, 2.0, 2},
                          {"HundredTwenty", 3000, 50, 120, 44100, freqAxisLog, 1.5, 1},
                          {"VeryLowRate", 9000, 300, 40, 8000, freqAxisLinFreq, 1.0, 2},
                          {"FewSamples", 7, 500, 50, 44100, freqAxisLog, 1.0, 0},
                          {"OneColumn", 3000, 1, 50, 44100, freqAxisLog, 1.0, 0}};
    for (VolumeKernel kernel : {VolumeKernel::Baseline, VolumeKernel::Avx2, VolumeKernel::Avx512}) {
        if (!UseVolumeKernel(kernel))
            continue; // the processor lacks it
        for (const Case& c : cases) {
            TVoldViewProps props = Props(c.width, c.height);
            props.FreqAxisKind = c.axis;
            props.YWidth.SetValue(c.yWidth);
            Samples samples = c.signal == 0 ? Noise(c.count, 11) : Sine(c.count, 37.3, 30000);
            if (c.signal == 2)
                for (int64_t i = 0; i < c.count; ++i)
                    samples[size_t(i)] = i / 50 % 2 ? int16_t(-32768) : int16_t(32767);
            const std::vector<VolumeBand> bands = ComputeVolumeBands(props, c.rate);
            ASSERT_EQ(int32_t(bands.size()), c.height);
            auto grid = RunBank(samples, props, c.rate);
            const ReferenceGrid expected = Reference(bands, samples.data(), c.count, c.width);
            EXPECT_EQ(grid->GetFilled(), expected.filled) << c.name << int(kernel);
            EXPECT_EQ(FirstDifference(*grid, expected, c.width), "") << c.name << int(kernel);
        }
    }
    UseBestVolumeKernel();
}

TEST(VolumeBank, AToneAtABandsFrequencyPeaksInThatBandsRow)
{
    const double g = std::pow(0.05 / 5e-05, 1.0 / 50);
    for (int band : {3, 10, 20, 30, 40, 47}) {
        const double period = 44100 * 5e-05 * std::pow(g, band);
        auto grid = RunBank(Sine(44100, period, 12000), Props(100, 50));
        for (int32_t x = 40; x < 60; ++x) { // after the resonators have settled
            int32_t loudest = 0;
            for (int32_t y = 1; y < 50; ++y)
                if (grid->GetVolume(x, y) > grid->GetVolume(x, loudest))
                    loudest = y;
            ASSERT_EQ(loudest, band) << "column " << x << ", period " << period;
        }
    }
}

TEST(VolumeBands, AreDampedAtCommonRatesAndWhenTheyGoUpInFrequency)
{
    auto expectDamped = [](const std::vector<VolumeBand>& bands, const std::string& what) {
        for (const VolumeBand& band : bands)
            EXPECT_TRUE(band.Stable && band.Free > 0.0f && band.Free < 1.0f) << what;
    };
    for (int32_t rate : {22050, 44100, 48000, 96000})
        expectDamped(ComputeVolumeBands(TVoldViewProps(), rate), std::to_string(rate));
    // Bottom above top: g below 1, so G = 1 / g and the damping stays positive.
    for (uint8_t axis : {freqAxisLinFreq, freqAxisLog, freqAxisLinTime}) {
        TVoldViewProps props;
        props.TimeTop.SetValue(0.01);
        props.TimeBottom.SetValue(0.0005);
        props.FreqAxisKind = axis;
        const std::vector<VolumeBand> bands = ComputeVolumeBands(props, 44100);
        expectDamped(bands, "axis " + std::to_string(axis));
        EXPECT_LT(bands.front().Tr, bands.back().Tr) << int(axis);
    }
    // At 11 kHz the top bands cannot follow 20 kHz (the kernel table's 8 kHz row shows them
    // silent).
    const std::vector<VolumeBand> bands = ComputeVolumeBands(TVoldViewProps(), 11025);
    EXPECT_FALSE(bands[0].Stable);
    EXPECT_TRUE(bands[49].Stable);
}

// ---- the writer's threads -----------------------------------------------------------------

// Records the writer's calls; a test may hook into each report on the writer's thread. Its
// fields are read once the writer has been joined or has reported its end.
struct RecordingSink : VolumeWriterSink
{
    void ColumnsFilled(int channel, int32_t first, int32_t end) override
    {
        if (inside.fetch_add(1) != 0)
            overlapped = true;
        size_t count;
        {
            std::lock_guard<std::mutex> lock(mutex);
            reports.push_back({channel, first, end});
            count = reports.size();
        }
        changed.notify_all();
        if (hook)
            hook(count);
        inside.fetch_sub(1);
    }
    void WriterEnded(bool completed) override
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            ++ended;
            lastCompleted = completed;
        }
        changed.notify_all();
    }
    /// Waits for count reports (0: for the end) or the end.
    void Wait(size_t count = 0)
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return (count && reports.size() >= count) || ended > 0; });
    }
    /// Makes the report numbered at wait until writer is asked to stop, so a stop always meets
    /// a writer in the middle of its work.
    void HoldUntilStopped(std::atomic<TThreadVolumeWriter*>& writer, size_t at)
    {
        hook = [&writer, at](size_t count) {
            TThreadVolumeWriter* w = nullptr;
            while (count == at && !(w = writer.load()))
                std::this_thread::yield();
            while (w && !w->StopRequested())
                std::this_thread::yield();
        };
    }
    /// Asks writer to stop from inside report number at.
    void StopAt(TThreadVolumeWriter& writer, size_t at)
    {
        hook = [&writer, at](size_t count) {
            if (count == at)
                writer.RequestStop();
        };
    }

    std::function<void(size_t count)> hook; // after report count (from 1); set before the start
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::array<int32_t, 3>> reports; // channel, first, end
    int ended = 0;
    bool lastCompleted = false;
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false}; // two reports at once
};

std::vector<std::shared_ptr<TVolumeArray>> GridsFor(int channels, int32_t width, int32_t height)
{
    std::vector<std::shared_ptr<TVolumeArray>> grids;
    for (int i = 0; i < channels; ++i)
        grids.push_back(TVolumeArray::Create(width, height));
    return grids;
}

/// A slot whose writer over a long sound holds its first report until it is asked to stop.
struct HeldSlot
{
    explicit HeldSlot(SoundPtr sound = MonoOf(Noise(100000, 3)))
    {
        sink.HoldUntilStopped(writer, 1);
        EXPECT_TRUE(slot->StartVolumeWriter(std::move(sound), Props(500, 50), &sink));
        writer = slot->GetWriter();
        sink.Wait(1);
    }
    RecordingSink sink; // outlives the slot, whose writer calls it until joined
    std::atomic<TThreadVolumeWriter*> writer{nullptr};
    std::unique_ptr<TVolumeWriterSlot> slot = std::make_unique<TVolumeWriterSlot>();
};

TEST(VolumeWriterThreads, AStopInTheMiddleOfAChannelLeavesFilledAtTheLastWrittenColumn)
{
    const Samples samples = Noise(100000, 5);
    auto grids = GridsFor(1, 500, 50);
    RecordingSink sink;
    TThreadVolumeWriter writer(MonoOf(samples), Props(500, 50), grids, &sink);
    sink.StopAt(writer, 3);
    ASSERT_TRUE(writer.Start());
    sink.Wait();
    writer.Stop();
    ASSERT_EQ(sink.reports.size(), 3u);
    EXPECT_FALSE(sink.lastCompleted);
    EXPECT_TRUE(writer.Ended());
    // Three blocks of 300 samples: sample 899 is at position 3.5, so four columns are filled.
    EXPECT_EQ(grids[0]->GetFilled(), 4);
    EXPECT_EQ(sink.reports.back()[2], 4);
    EXPECT_EQ(FirstDifference(*grids[0], ReferenceOf(Props(500, 50), samples, 900), 4), "");
    EXPECT_TRUE(EmptyFrom(*grids[0], 4));

    // One channel after the other: a stop during the left one leaves the right one empty.
    auto two = GridsFor(2, 200, 20);
    RecordingSink stereo;
    TThreadVolumeWriter second(StereoOf(Noise(50000, 1), Noise(50000, 2)), Props(200, 20), two,
                               &stereo);
    second.SetChannelsSideBySide(false);
    stereo.StopAt(second, 2);
    ASSERT_TRUE(second.Start());
    stereo.Wait();
    second.Stop();
    ASSERT_EQ(stereo.ended, 1);
    for (const auto& r : stereo.reports)
        EXPECT_EQ(r[0], 0);
    EXPECT_GT(two[0]->GetFilled(), 0);
    EXPECT_LT(two[0]->GetFilled(), 201);
    EXPECT_EQ(two[1]->GetFilled(), 0);
    EXPECT_TRUE(EmptyFrom(*two[1], 0));
}

// The report in progress waits for the stop: the stopper must ask first and join afterwards.
TEST(VolumeWriterThreads, AStopFromTheGuiThreadEndsTheRunAndKeepsWhatWasWritten)
{
    const Samples samples = Noise(600000, 9);
    auto grids = GridsFor(1, 500, 50);
    RecordingSink sink;
    TThreadVolumeWriter writer(MonoOf(samples), Props(500, 50), grids, &sink);
    std::atomic<TThreadVolumeWriter*> running{&writer};
    sink.HoldUntilStopped(running, 5);
    ASSERT_TRUE(writer.Start());
    sink.Wait(5);
    writer.Stop();
    EXPECT_TRUE(writer.Ended());
    EXPECT_EQ(sink.ended, 1);
    ASSERT_EQ(sink.reports.size(), 5u);
    const int32_t filled = grids[0]->GetFilled();
    EXPECT_EQ(sink.reports.back()[2], filled);
    ASSERT_GE(filled, 5);
    ASSERT_LT(filled, 501);
    // One past the sample whose write filled columns [0, filled).
    int64_t index = 0;
    while (VolumeColumnOfSample(index, 600000, 500) + 1 < filled)
        index = NextVolumeColumnSample(index, 600000, 500);
    const ReferenceGrid expected = ReferenceOf(Props(500, 50), samples, index + 1);
    EXPECT_EQ(expected.filled, filled);
    EXPECT_EQ(FirstDifference(*grids[0], expected, filled), "");
    EXPECT_TRUE(EmptyFrom(*grids[0], filled));

    // A stop from inside the sink only asks.
    auto two = GridsFor(2, 100, 10);
    RecordingSink inner;
    TThreadVolumeWriter self(StereoOf(Noise(100000, 4), Noise(100000, 6)), Props(100, 10), two,
                             &inner);
    inner.hook = [&](size_t) { self.Stop(); };
    ASSERT_TRUE(self.Start());
    inner.Wait();
    self.Stop();
    EXPECT_FALSE(inner.lastCompleted);
    EXPECT_LE(inner.reports.size(), 2u) << "one report per channel at most";
}

// The GUI side as the pane group builds it: the sink only queues a notice, the GUI thread
// serves the queue, takes the new columns and reads their cells while the writer goes on.
TEST(VolumeWriterThreads, AGuiThreadServingTheNoticesReadsTheGridsWhileTheyFill)
{
    const Samples left = Noise(60000, 21), right = Sine(60000, 31.0, 20000);
    const TVoldViewProps props = Props(500, 50);
    auto grids = GridsFor(2, 500, 50);
    RecordingSink sink;
    sink.hook = [](size_t) { std::this_thread::yield(); }; // a slow report invites an overlap
    TThreadVolumeWriter writer(StereoOf(left, right), props, grids, &sink);
    writer.SetChannelsSideBySide(true);
    ASSERT_TRUE(writer.Start());
    double sum = 0;
    for (size_t served = 0;;) {
        std::unique_lock<std::mutex> lock(sink.mutex);
        sink.changed.wait(lock, [&] { return sink.reports.size() > served || sink.ended; });
        if (sink.reports.size() == served)
            break;
        TVolumeArray& grid = *grids[size_t(sink.reports[served++][0])];
        lock.unlock();
        int32_t first, end;
        if (grid.TakeNewColumns(first, end))
            for (int32_t x = first; x < end; ++x)
                for (int32_t y = 0; y < 50; ++y)
                    sum += grid.GetVolume(x, y);
    }
    writer.Stop();
    // The channels run side by side, yet their reports come one at a time and each channel's
    // follow on from each other.
    EXPECT_FALSE(sink.overlapped);
    int32_t lastEnd[2] = {0, 0};
    for (const auto& [channel, first, end] : sink.reports) {
        EXPECT_EQ(first, lastEnd[channel]);
        lastEnd[channel] = end;
    }
    EXPECT_EQ(lastEnd[0], 501);
    EXPECT_EQ(lastEnd[1], 501);
    EXPECT_GT(sink.reports.size(), 2u);
    EXPECT_GT(sum, 0.0);
    EXPECT_EQ(grids[0]->GetDrawn(), 501);
    EXPECT_EQ(grids[1]->GetDrawn(), 501);
    EXPECT_EQ(FirstDifference(*grids[0], ReferenceOf(props, left), 500), "");
    EXPECT_EQ(FirstDifference(*grids[1], ReferenceOf(props, right), 500), "");
}

TEST(VolumeWriterThreads, TheWriterKeepsItsOwnReferenceToTheSound)
{
    const Samples samples = Noise(30000, 13);
    SoundPtr document = MonoOf(samples);
    std::weak_ptr<Sound> watched = document;
    RecordingSink sink;
    TVolumeWriterSlot slot;
    // The document swaps its sound (an edit, an Undo) while the writer runs; nobody else
    // holds the old one.
    std::atomic<bool> swapped{false};
    sink.hook = [&](size_t count) {
        while (count == 1 && !swapped)
            std::this_thread::yield();
    };
    ASSERT_TRUE(slot.StartVolumeWriter(document, Props(500, 50), &sink));
    sink.Wait(1);
    document = MonoOf(Noise(100, 1));
    EXPECT_FALSE(watched.expired());
    swapped = true;
    sink.Wait();
    EXPECT_TRUE(sink.lastCompleted);
    EXPECT_EQ(
        FirstDifference(*slot.GetVolumeArraySingle(), ReferenceOf(Props(500, 50), samples), 500),
        "");
    slot.StopVolumeWriter();
    EXPECT_TRUE(watched.expired()) << "the stopped writer lets go of the sound";
}

TEST(VolumeWriterThreads, ASecondStartStopsTheFirstBeforeItsGridsAreReplaced)
{
    HeldSlot held;
    const TVolumeArray* firstGrid = held.slot->GetVolumeArraySingle();
    const Samples samples = Noise(20000, 8);
    RecordingSink second;
    ASSERT_TRUE(held.slot->StartVolumeWriter(MonoOf(samples), Props(500, 50), &second));
    EXPECT_EQ(held.sink.ended, 1) << "the first writer ended before the second start returned";
    EXPECT_FALSE(held.sink.lastCompleted);
    EXPECT_NE(held.slot->GetVolumeArraySingle(), firstGrid);
    second.Wait();
    EXPECT_TRUE(second.lastCompleted);
    EXPECT_EQ(held.slot->GetVolumeArraySingle()->GetFilled(), 501);
    EXPECT_EQ(FirstDifference(*held.slot->GetVolumeArraySingle(),
                              ReferenceOf(Props(500, 50), samples), 500),
              "");
    held.slot.reset();

    // Each start replaces only the grids of its kind.
    TVolumeWriterSlot slot;
    ASSERT_TRUE(slot.StartVolumeWriter(MonoOf(Noise(2000, 1)), Props(40, 8), nullptr));
    TVolumeArray* single = slot.GetVolumeArraySingle();
    EXPECT_EQ(slot.GetVolumeArrayLeft(), nullptr);
    ASSERT_TRUE(
        slot.StartVolumeWriter(StereoOf(Noise(2000, 2), Noise(2000, 3)), Props(40, 8), nullptr));
    EXPECT_EQ(slot.GetVolumeArraySingle(), single);
    TVolumeArray *left = slot.GetVolumeArrayLeft(), *right = slot.GetVolumeArrayRight();
    ASSERT_NE(left, nullptr);
    ASSERT_NE(right, nullptr);
    ASSERT_TRUE(slot.StartVolumeWriter(MonoOf(Noise(2000, 4)), Props(40, 8), nullptr));
    EXPECT_NE(slot.GetVolumeArraySingle(), single);
    EXPECT_EQ(slot.GetVolumeArrayLeft(), left);
    EXPECT_EQ(slot.GetVolumeArrayRight(), right);
}

TEST(VolumeWriterThreads, NoWriterForAnEmptySoundOrAnOversizedGridButTheRunningOneStops)
{
    for (auto [name, sound, width, height] :
         std::vector<std::tuple<const char*, SoundPtr, int, int>>{
             {"empty", std::make_shared<MonoSound>(44100, 2), 500, 50},
             {"none", nullptr, 500, 50},
             {"oversized", MonoOf(Noise(1000, 1)), (1 << 24) + 1, 1},
             {"oversized product", MonoOf(Noise(1000, 1)), 65536, 65536}}) {
        HeldSlot held;
        TVolumeArray* grid = held.slot->GetVolumeArraySingle();
        EXPECT_FALSE(held.slot->StartVolumeWriter(sound, Props(width, height), nullptr)) << name;
        EXPECT_FALSE(held.slot->HasWriter()) << name;
        EXPECT_EQ(held.sink.ended, 1) << name << ": the running writer was stopped";
        EXPECT_EQ(held.slot->GetVolumeArraySingle(), grid) << name << ": the grid stays";
    }
    // A window closed while its writer runs stops it.
    HeldSlot closed(StereoOf(Noise(100000, 1), Noise(100000, 2)));
    closed.slot.reset();
    EXPECT_EQ(closed.sink.ended, 1);
    EXPECT_FALSE(closed.sink.lastCompleted);
}

TEST(VolumeWriterThreads, TheThreadCarriesItsNameCutForTheSystem)
{
    auto grids = GridsFor(1, 10, 2);
    RecordingSink sink;
    std::string seen;
    sink.hook = [&](size_t count) {
        char name[64] = {};
        if (count == 1 && pthread_getname_np(pthread_self(), name, sizeof name) == 0)
            seen = name;
    };
    TThreadVolumeWriter writer(MonoOf(Noise(1000, 1)), Props(10, 2), grids, &sink);
    ASSERT_TRUE(writer.Start());
    sink.Wait();
    writer.Stop();
    EXPECT_EQ(seen, "TreadVolumeWrit");
    for (auto [name, cut] : {std::pair<std::string, std::string>{"", ""},
                             {"123456789012345", "123456789012345"},
                             {"1234567890123456", "123456789012345"}})
        EXPECT_EQ(SystemThreadName(name), cut) << name;
}

} // namespace
