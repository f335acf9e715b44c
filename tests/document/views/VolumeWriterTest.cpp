// The writer's threads: stopping at any moment, replacing and dropping what it reads, and the
// sink calls. The suite VolumeWriterThreads also runs under ThreadSanitizer.
#include "VolumeTestSupport.h"

#include "document/views/VolumeWriter.h"

#include <gtest/gtest.h>

#if defined(__linux__)
#include <pthread.h>
#endif

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::volumetest;

namespace {

struct Report
{
    int channel;
    int32_t first;
    int32_t end;
};

// Records the writer's calls; a test may hook into each report on the writer's thread.
class RecordingSink : public VolumeWriterSink
{
public:
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
            hook(count, channel);
        inside.fetch_sub(1);
    }
    void WriterEnded(bool completed) override
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            ++endedCalls;
            lastCompleted = completed;
        }
        changed.notify_all();
    }

    void WaitForReports(size_t count)
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return reports.size() >= count || endedCalls > 0; });
    }
    void WaitForEnd()
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return endedCalls > 0; });
    }
    std::vector<Report> Reports()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return reports;
    }
    int EndedCalls()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return endedCalls;
    }
    bool LastCompleted()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return lastCompleted;
    }

    // Called after the report numbered count (from 1) was recorded; set before the start.
    std::function<void(size_t count, int channel)> hook;
    std::atomic<bool> overlapped{false};

private:
    std::atomic<int> inside{0};
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Report> reports;
    int endedCalls = 0;
    bool lastCompleted = false;
};

std::vector<std::shared_ptr<TVolumeArray>> GridsFor(int channels, int32_t width, int32_t height)
{
    std::vector<std::shared_ptr<TVolumeArray>> grids;
    for (int i = 0; i < channels; ++i)
        grids.push_back(TVolumeArray::Create(width, height));
    return grids;
}

// Makes the report numbered atReport wait until the writer is asked to stop, so a test's stop
// always meets a writer in the middle of its work.
void HoldUntilStopped(RecordingSink& sink, std::atomic<TThreadVolumeWriter*>& writer,
                      size_t atReport)
{
    sink.hook = [&writer, atReport](size_t count, int) {
        if (count != atReport)
            return;
        TThreadVolumeWriter* w;
        while (!(w = writer.load()))
            std::this_thread::yield();
        while (!w->StopRequested())
            std::this_thread::yield();
    };
}

// One past the sample whose write filled columns [0, filled).
int64_t SamplesBehind(int32_t filled, int64_t count, int32_t width)
{
    int64_t index = 0;
    while (VolumeColumnOfSample(index, count, width) + 1 < filled)
        index = NextVolumeColumnSample(index, count, width);
    return index + 1;
}

// Every cell of the columns at and after from is still 0.
bool EmptyFrom(const TVolumeArray& grid, int32_t from)
{
    for (int32_t x = from; x < grid.GetWidth(); ++x)
        for (int32_t y = 0; y < grid.GetHeight(); ++y)
            if (grid.GetVolume(x, y) != 0.0f)
                return false;
    return true;
}

TEST(VolumeWriterThreads, StopInTheMiddleOfAChannelLeavesFilledAtTheLastWrittenColumn)
{
    const std::vector<int16_t> samples = Noise(100000, 5);
    const TVoldViewProps props = Props(500, 50);
    auto grids = GridsFor(1, 500, 50);
    std::shared_ptr<TVolumeArray> grid = grids[0];
    RecordingSink sink;
    TThreadVolumeWriter writer(MonoOf(samples), props, grids, &sink);
    sink.hook = [&](size_t count, int) {
        if (count == 3)
            writer.RequestStop();
    };
    ASSERT_TRUE(writer.Start());
    sink.WaitForEnd();
    writer.Stop();
    const std::vector<Report> reports = sink.Reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_FALSE(sink.LastCompleted());
    EXPECT_TRUE(writer.Ended());
    // Three blocks of 300 samples: sample 899 is at position 3.5, so four columns are filled.
    EXPECT_EQ(grid->GetFilled(), 4);
    EXPECT_EQ(reports.back().end, 4);
    const ReferenceGrid expected =
        Reference(ComputeVolumeBands(props, 44100), samples.data(), 100000, 500, 900);
    EXPECT_EQ(expected.filled, 4);
    EXPECT_EQ(FirstDifference(*grid, expected, 4), "");
    EXPECT_TRUE(EmptyFrom(*grid, 4));
}

TEST(VolumeWriterThreads, AStopDuringTheLeftChannelLeavesTheRightOneEmpty)
{
    const TVoldViewProps props = Props(200, 20);
    auto grids = GridsFor(2, 200, 20);
    RecordingSink sink;
    TThreadVolumeWriter writer(StereoOf(Noise(50000, 1), Noise(50000, 2)), props, grids, &sink);
    writer.SetChannelsSideBySide(false);
    sink.hook = [&](size_t count, int) {
        if (count == 2)
            writer.RequestStop();
    };
    ASSERT_TRUE(writer.Start());
    sink.WaitForEnd();
    writer.Stop();
    EXPECT_EQ(sink.EndedCalls(), 1);
    for (const Report& r : sink.Reports())
        EXPECT_EQ(r.channel, 0);
    EXPECT_GT(grids[0]->GetFilled(), 0);
    EXPECT_LT(grids[0]->GetFilled(), 201);
    EXPECT_EQ(grids[1]->GetFilled(), 0);
    EXPECT_TRUE(EmptyFrom(*grids[1], 0));
}

TEST(VolumeWriterThreads, AStopFromTheGuiThreadEndsTheRunAndKeepsWhatWasWritten)
{
    const int64_t count = 600000;
    const std::vector<int16_t> samples = Noise(count, 9);
    const TVoldViewProps props = Props(500, 50);
    auto grids = GridsFor(1, 500, 50);
    RecordingSink sink;
    TThreadVolumeWriter writer(MonoOf(samples), props, grids, &sink);
    std::atomic<TThreadVolumeWriter*> running{&writer};
    HoldUntilStopped(sink, running, 5);
    ASSERT_TRUE(writer.Start());
    sink.WaitForReports(5);
    writer.Stop();
    EXPECT_TRUE(writer.Ended());
    EXPECT_EQ(sink.EndedCalls(), 1);
    ASSERT_EQ(sink.Reports().size(), 5u);
    const int32_t filled = grids[0]->GetFilled();
    EXPECT_EQ(sink.Reports().back().end, filled);
    ASSERT_GE(filled, 5);
    ASSERT_LT(filled, 501);
    const ReferenceGrid expected = Reference(ComputeVolumeBands(props, 44100), samples.data(),
                                             count, 500, SamplesBehind(filled, count, 500));
    EXPECT_EQ(expected.filled, filled);
    EXPECT_EQ(FirstDifference(*grids[0], expected, filled), "");
    EXPECT_TRUE(EmptyFrom(*grids[0], filled));
}

TEST(VolumeWriterThreads, NoDeadlockWhenTheGuiStopsAWriterThatIsReporting)
{
    auto grids = GridsFor(1, 500, 50);
    RecordingSink sink;
    TThreadVolumeWriter writer(MonoOf(Noise(400000, 4)), Props(500, 50), grids, &sink);
    // The first report does not return before the stop has been asked for: the stopper must
    // ask first and join afterwards, and must not wait for the report itself.
    sink.hook = [&](size_t, int) {
        while (!writer.StopRequested())
            std::this_thread::yield();
    };
    ASSERT_TRUE(writer.Start());
    sink.WaitForReports(1);
    writer.Stop();
    EXPECT_EQ(sink.Reports().size(), 1u);
    EXPECT_EQ(sink.EndedCalls(), 1);
    EXPECT_FALSE(sink.LastCompleted());
}

TEST(VolumeWriterThreads, AStopFromInsideTheSinkOnlyAsks)
{
    auto grids = GridsFor(2, 100, 10);
    RecordingSink sink;
    TThreadVolumeWriter writer(StereoOf(Noise(100000, 4), Noise(100000, 6)), Props(100, 10), grids,
                               &sink);
    sink.hook = [&](size_t, int) { writer.Stop(); };
    ASSERT_TRUE(writer.Start());
    sink.WaitForEnd();
    writer.Stop();
    EXPECT_FALSE(sink.LastCompleted());
    EXPECT_LE(sink.Reports().size(), 2u) << "one report per channel at most";
}

// The GUI side as the pane group builds it: the sink only queues a notice, the GUI thread
// serves the queue, takes the new columns and reads their cells while the writer goes on.
TEST(VolumeWriterThreads, AGuiThreadServingQueuedNoticesReadsTheGridsWhileTheyFill)
{
    const std::vector<int16_t> left = Noise(60000, 21);
    const std::vector<int16_t> right = Sine(60000, 31.0, 20000);
    const TVoldViewProps props = Props(500, 50);
    auto grids = GridsFor(2, 500, 50);

    struct QueueSink : VolumeWriterSink
    {
        void ColumnsFilled(int channel, int32_t first, int32_t end) override
        {
            // The channels run side by side, yet their reports come one at a time and each
            // channel's follow on from each other.
            if (inside.fetch_add(1) != 0)
                overlapped = true;
            if (first != lastEnd[channel])
                outOfOrder = true;
            lastEnd[channel] = end;
            std::this_thread::yield();
            Post(channel);
            inside.fetch_sub(1);
        }
        void WriterEnded(bool) override { Post(-1); }
        void Post(int notice)
        {
            {
                std::lock_guard<std::mutex> lock(mutex);
                queue.push_back(notice);
            }
            posted.notify_one();
        }
        int Take()
        {
            std::unique_lock<std::mutex> lock(mutex);
            posted.wait(lock, [&] { return !queue.empty(); });
            const int notice = queue.front();
            queue.pop_front();
            return notice;
        }
        std::mutex mutex;
        std::condition_variable posted;
        std::deque<int> queue;
        std::atomic<int> inside{0};
        std::atomic<bool> overlapped{false};
        bool outOfOrder = false; // written under the writer's one-at-a-time rule
        int32_t lastEnd[2] = {0, 0};
    } sink;

    TThreadVolumeWriter writer(StereoOf(left, right), props, grids, &sink);
    writer.SetChannelsSideBySide(true);
    ASSERT_TRUE(writer.Start());
    double sum = 0;
    int notices = 0;
    for (int notice = sink.Take(); notice != -1; notice = sink.Take()) {
        ++notices;
        int32_t first, end;
        TVolumeArray& grid = *grids[size_t(notice)];
        if (!grid.TakeNewColumns(first, end))
            continue;
        for (int32_t x = first; x < end; ++x)
            for (int32_t y = 0; y < 50; ++y)
                sum += grid.GetVolume(x, y);
    }
    writer.Stop();
    EXPECT_FALSE(sink.overlapped);
    EXPECT_FALSE(sink.outOfOrder);
    EXPECT_EQ(sink.lastEnd[0], 501);
    EXPECT_EQ(sink.lastEnd[1], 501);
    EXPECT_GT(notices, 2);
    EXPECT_GT(sum, 0.0);
    const std::vector<VolumeBand> bands = ComputeVolumeBands(props, 44100);
    const ReferenceGrid expectedLeft = Reference(bands, left.data(), 60000, 500);
    const ReferenceGrid expectedRight = Reference(bands, right.data(), 60000, 500);
    EXPECT_EQ(grids[0]->GetDrawn(), 501);
    EXPECT_EQ(grids[1]->GetDrawn(), 501);
    EXPECT_EQ(FirstDifference(*grids[0], expectedLeft, 500), "");
    EXPECT_EQ(FirstDifference(*grids[1], expectedRight, 500), "");
}

TEST(VolumeWriterThreads, TheWriterKeepsItsOwnReferenceToTheSound)
{
    const std::vector<int16_t> samples = Noise(30000, 13);
    const TVoldViewProps props = Props(500, 50);
    SoundPtr document = MonoOf(samples);
    std::weak_ptr<Sound> watched = document;
    RecordingSink sink;
    TVolumeWriterSlot slot;
    // The document swaps its sound (an edit, an Undo) while the writer runs; nobody else
    // holds the old one.
    std::atomic<bool> swapped{false};
    sink.hook = [&](size_t count, int) {
        if (count == 1)
            while (!swapped)
                std::this_thread::yield();
    };
    ASSERT_TRUE(slot.StartVolumeWriter(document, props, &sink));
    sink.WaitForReports(1);
    document = MonoOf(Noise(100, 1));
    EXPECT_FALSE(watched.expired());
    swapped = true;
    sink.WaitForEnd();
    EXPECT_TRUE(sink.LastCompleted());
    const ReferenceGrid expected =
        Reference(ComputeVolumeBands(props, 44100), samples.data(), 30000, 500);
    EXPECT_EQ(FirstDifference(*slot.GetVolumeArraySingle(), expected, 500), "");
    slot.StopVolumeWriter();
    EXPECT_TRUE(watched.expired()) << "the stopped writer lets go of the sound";
}

TEST(VolumeWriterThreads, ASecondStartStopsTheFirstBeforeItsGridsAreReplaced)
{
    // The sinks outlive the slot, whose writers call them until they are joined.
    RecordingSink first, second;
    TVolumeWriterSlot slot;
    const TVoldViewProps props = Props(500, 50);
    std::atomic<TThreadVolumeWriter*> running{nullptr};
    HoldUntilStopped(first, running, 1);
    ASSERT_TRUE(slot.StartVolumeWriter(MonoOf(Noise(100000, 3)), props, &first));
    running = slot.GetWriter();
    first.WaitForReports(1);
    const TVolumeArray* firstGrid = slot.GetVolumeArraySingle();
    const std::vector<int16_t> samples = Noise(20000, 8);
    ASSERT_TRUE(slot.StartVolumeWriter(MonoOf(samples), props, &second));
    // The first writer had ended before the second start returned.
    EXPECT_EQ(first.EndedCalls(), 1);
    EXPECT_FALSE(first.LastCompleted());
    EXPECT_NE(slot.GetVolumeArraySingle(), firstGrid);
    second.WaitForEnd();
    EXPECT_TRUE(second.LastCompleted());
    EXPECT_EQ(slot.GetVolumeArraySingle()->GetFilled(), 501);
    const ReferenceGrid expected =
        Reference(ComputeVolumeBands(props, 44100), samples.data(), 20000, 500);
    EXPECT_EQ(FirstDifference(*slot.GetVolumeArraySingle(), expected, 500), "");
}

TEST(VolumeWriterThreads, EachStartReplacesOnlyTheGridsOfItsKind)
{
    TVolumeWriterSlot slot;
    const TVoldViewProps props = Props(40, 8);
    ASSERT_TRUE(slot.StartVolumeWriter(MonoOf(Noise(2000, 1)), props, nullptr));
    TVolumeArray* single = slot.GetVolumeArraySingle();
    EXPECT_EQ(slot.GetVolumeArrayLeft(), nullptr);
    ASSERT_TRUE(slot.StartVolumeWriter(StereoOf(Noise(2000, 2), Noise(2000, 3)), props, nullptr));
    EXPECT_EQ(slot.GetVolumeArraySingle(), single);
    TVolumeArray* left = slot.GetVolumeArrayLeft();
    TVolumeArray* right = slot.GetVolumeArrayRight();
    ASSERT_NE(left, nullptr);
    ASSERT_NE(right, nullptr);
    ASSERT_TRUE(slot.StartVolumeWriter(MonoOf(Noise(2000, 4)), props, nullptr));
    EXPECT_NE(slot.GetVolumeArraySingle(), single);
    EXPECT_EQ(slot.GetVolumeArrayLeft(), left);
    EXPECT_EQ(slot.GetVolumeArrayRight(), right);
}

TEST(VolumeWriterThreads, NoWriterForAnEmptySoundOrAnOversizedGridButTheRunningOneStops)
{
    struct Case
    {
        const char* name;
        SoundPtr sound;
        int32_t width;
        int32_t height;
    };
    for (const Case& c : {Case{"empty", std::make_shared<MonoSound>(44100, 2), 500, 50},
                          Case{"none", nullptr, 500, 50},
                          Case{"oversized", MonoOf(Noise(1000, 1)), (1 << 24) + 1, 1},
                          Case{"oversized product", MonoOf(Noise(1000, 1)), 65536, 65536}}) {
        RecordingSink running;
        TVolumeWriterSlot slot;
        std::atomic<TThreadVolumeWriter*> writer{nullptr};
        HoldUntilStopped(running, writer, 1);
        ASSERT_TRUE(slot.StartVolumeWriter(MonoOf(Noise(100000, 3)), Props(500, 50), &running));
        writer = slot.GetWriter();
        running.WaitForReports(1);
        TVolumeArray* grid = slot.GetVolumeArraySingle();
        EXPECT_FALSE(slot.StartVolumeWriter(c.sound, Props(c.width, c.height), nullptr)) << c.name;
        EXPECT_FALSE(slot.HasWriter()) << c.name;
        EXPECT_EQ(running.EndedCalls(), 1) << c.name << ": the running writer was stopped";
        EXPECT_EQ(slot.GetVolumeArraySingle(), grid) << c.name << ": the grid stays";
    }
}

TEST(VolumeWriterThreads, AWindowClosedWhileItsWriterRunsStopsIt)
{
    auto slot = std::make_unique<TVolumeWriterSlot>();
    RecordingSink sink;
    std::atomic<TThreadVolumeWriter*> writer{nullptr};
    HoldUntilStopped(sink, writer, 1);
    ASSERT_TRUE(slot->StartVolumeWriter(StereoOf(Noise(100000, 1), Noise(100000, 2)),
                                        Props(500, 50), &sink));
    writer = slot->GetWriter();
    sink.WaitForReports(1);
    slot.reset();
    EXPECT_EQ(sink.EndedCalls(), 1);
    EXPECT_FALSE(sink.LastCompleted());
}

#if defined(__linux__)
TEST(VolumeWriterThreads, TheThreadCarriesItsNameCutForTheSystem)
{
    auto grids = GridsFor(1, 10, 2);
    RecordingSink sink;
    std::string seen;
    sink.hook = [&](size_t count, int) {
        char name[64] = {};
        if (count == 1 && pthread_getname_np(pthread_self(), name, sizeof name) == 0)
            seen = name;
    };
    TThreadVolumeWriter writer(MonoOf(Noise(1000, 1)), Props(10, 2), grids, &sink);
    ASSERT_TRUE(writer.Start());
    sink.WaitForEnd();
    writer.Stop();
    EXPECT_EQ(seen, "TreadVolumeWrit");
}
#endif

TEST(VolumeWriterName, CutToFifteenBytes)
{
    struct Case
    {
        std::string name, cut;
    };
    for (const Case& c :
         {Case{"TreadVolumeWriter", "TreadVolumeWrit"}, Case{"", ""},
          Case{"123456789012345", "123456789012345"}, Case{"1234567890123456", "123456789012345"}})
        EXPECT_EQ(SystemThreadName(c.name), c.cut) << c.name;
    EXPECT_EQ(std::string(volumeWriterName), "TreadVolumeWriter");
}

} // namespace
