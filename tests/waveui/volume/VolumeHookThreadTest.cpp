// The volume writer of a wave window against everything that changes or ends the window's
// sound while it runs. Served through Qt's event loop, so these stay out of the
// ThreadSanitizer run (it reports Qt's own queue).
#include "document/wave/UndoUnit.h"
#include "support/WaveWindows.h"
#include "waveui/volume/QueuedVolumeSink.h"

#include <QPointer>

#include <thread>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {
// Long enough that a writer is still at work when the test acts: 2 million samples in 500
// bands.
constexpr int32_t LongCount = 2000000;

class VolumeThreadTest : public WaveWindowTest
{
protected:
    /// A window computing the diagram of a long noise; returns once its first columns came.
    TMDIChildWave* Running(const std::string& name = "Wave 1")
    {
        TMDIChildWave* window = OpenDiagram(Mono(NoiseWave(LongCount, 11)), 500, 500, true, name);
        window->RefreshWave();
        const TViewWaveGroup& group = window->GetViewWaveGroup();
        EXPECT_TRUE(ServeUntil([&group] {
            return group.GetVolumeArraySingle() && group.GetVolumeArraySingle()->GetDrawn() > 0;
        }));
        EXPECT_TRUE(group.IsVolumeWriterRunning());
        return window;
    }

    static float MaxCell(const TVolumeArray& grid)
    {
        float most = 0.0f;
        for (int x = 0; x < grid.GetWidth(); ++x)
            for (int y = 0; y < grid.GetHeight(); ++y)
                most = std::max(most, grid.GetVolume(x, y));
        return most;
    }
};

// ---- Sound changes while a writer runs ----------------------------------------------------------

struct SwapCase
{
    const char* name;
    // Changes the document's sound and tells the window, as the command would.
    std::function<void(TMDIChildWave&, std::unique_ptr<TUndoUnit>&)> change;
};

class SoundChangeTest : public VolumeThreadTest, public ::testing::WithParamInterface<SwapCase>
{
};

TEST_P(SoundChangeTest, TheWriterStartsAgainOnTheNewSound)
{
    TMDIChildWave* window = Running();
    std::unique_ptr<TUndoUnit> undo;
    GetParam().change(*window, undo);
    const TViewWaveGroup& group = window->GetViewWaveGroup();
    ASSERT_TRUE(ServeUntil([window] { return AllColumnsDrawn(*window); }));
    const TVolumeArray* grid = group.GetVolumeArraySingle();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetFilled(), 501);
    // Silence, as the document has it now: not the noise the first writer read.
    EXPECT_EQ(MaxCell(*grid), 0.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, SoundChangeTest,
    ::testing::Values(
        // The document lets its sound go at once: the writer's own reference keeps it alive.
        SwapCase{"Exchange",
                 [](TMDIChildWave& window, std::unique_ptr<TUndoUnit>&) {
                     window.GetUnitWave().ExchangeSound(Flat(1, 50000));
                     window.RefreshWave();
                 }},
        // An edit with its undo snapshot of silence, then Undo while the edit's writer runs.
        SwapCase{"Undo",
                 [](TMDIChildWave& window, std::unique_ptr<TUndoUnit>& undo) {
                     window.GetUnitWave().ExchangeSound(Flat(1, 50000));
                     undo = std::make_unique<TUndoUnit>(window.GetUnitWave());
                     window.GetUnitWave().ExchangeSound(Mono(NoiseWave(LongCount, 13)));
                     window.RefreshWave();
                     undo->Undo();
                 }}),
    CaseName);

TEST_F(VolumeThreadTest, UserDrawingReplacesTheSoundUnderARunningWriter)
{
    TMDIChildWave* window = Running();
    TUnitWave& unit = window->GetUnitWave();
    // Rendering lets the noise go without telling the window; the writer still reads it.
    unit.StartUserDrawing(TUnitWave::DrawLinear);
    unit.StopUserDrawing();
    ASSERT_EQ(unit.GetValues(), 44101);
    ASSERT_TRUE(ServeUntil([window] { return AllColumnsDrawn(*window); }));
    const TVolumeArray* noise = window->GetViewWaveGroup().GetVolumeArraySingle();
    EXPECT_EQ(noise->GetFilled(), 501);
    EXPECT_GT(noise->GetVolume(499, 250), 0.0f);
    // The window's refresh then computes the drawn (silent) wave.
    ASSERT_TRUE(Compute(*window));
    EXPECT_EQ(MaxCell(*window->GetViewWaveGroup().GetVolumeArraySingle()), 0.0f);
}

// ---- No writer where nothing shows it ---------------------------------------------------------

struct StopCase
{
    const char* name;
    std::function<void(TMDIChildWave&)> act;
    size_t envelopeNotices; // WaveChanged notices the act gives
};

class WriterStopTest : public VolumeThreadTest, public ::testing::WithParamInterface<StopCase>
{
};

TEST_P(WriterStopTest, LeavesNoWriter)
{
    TMDIChildWave* window = Running();
    host.changed.clear();
    GetParam().act(*window);
    EXPECT_FALSE(window->GetViewWaveGroup().HasVolumeWriter());
    EXPECT_EQ(VolumeWriterThreads(), 0);
    EXPECT_EQ(host.changed.size(), GetParam().envelopeNotices);
    // Notices the stopped writer left in the queue start nothing; with the curve shown they
    // paint nothing either.
    const size_t notices = host.columns.size();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->GetViewWaveGroup().HasVolumeWriter());
    if (window->GetWaveWindKind() == TViewWaveGroup::waveWindWave) {
        EXPECT_EQ(host.columns.size(), notices);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Acts, WriterStopTest,
    ::testing::Values(
        // The wave became empty: no writer for it, and the running one does not go on.
        StopCase{"EmptiedWave",
                 [](TMDIChildWave& window) {
                     window.GetUnitWave().ExchangeSound(Flat(1, 0));
                     window.RefreshWave();
                 },
                 1},
        // The curve is shown: nothing would show the columns.
        StopCase{"CurveShown",
                 [](TMDIChildWave& window) { window.SetWaveViewProps(TWaveViewProps()); }, 0},
        // A sound change while the curve is shown, with a writer started behind its back.
        StopCase{"ChangeUnderTheCurve",
                 [](TMDIChildWave& window) {
                     window.GetViewWaveGroup().SetWaveWindKind(TViewWaveGroup::waveWindWave);
                     window.GetViewWaveGroup().StartVolumeWriter();
                     window.GetUnitWave().ExchangeSound(Flat(1, 1000));
                     window.RefreshWave();
                 },
                 1},
        // A grid the writer may not have: nothing runs, the old grid stays.
        StopCase{"RefusedGrid",
                 [](TMDIChildWave& window) {
                     TVoldViewProps huge = window.GetVoldViewProps();
                     huge.XResolution.SetValue(1 << 20);
                     huge.YResolution.SetValue(1 << 10);
                     window.GetViewWaveGroup().SetVoldViewProps(huge);
                     window.GetViewWaveGroup().StartVolumeWriter();
                     EXPECT_EQ(window.GetViewWaveGroup().GetVolumeArraySingle()->GetWidth(), 500);
                 },
                 1}),
    CaseName);

TEST_F(VolumeThreadTest, AnEmptyWaveNeverGetsAWriter)
{
    TMDIChildWave* window = OpenDiagram(Flat(1, 0));
    window->RefreshWave();
    window->GetViewWaveGroup().StartVolumeWriter();
    EXPECT_FALSE(window->GetViewWaveGroup().HasVolumeWriter());
    EXPECT_EQ(window->GetViewWaveGroup().GetVolumeArraySingle(), nullptr);
    EXPECT_EQ(host.changed.size(), 2u);
    EXPECT_TRUE(Pane(*window, 2).IsFullRepaintPending());
}

TEST_F(VolumeThreadTest, ASecondStartStopsTheFirst)
{
    TMDIChildWave* window = Running();
    TViewWaveGroup& group = window->GetViewWaveGroup();
    const TVolumeArray* first = group.GetVolumeArraySingle();
    group.StartVolumeWriter();
    const TVolumeArray* second = group.GetVolumeArraySingle();
    EXPECT_NE(second, first);
    // The first writer's thread had named itself; once the second has too, only one is left.
    ASSERT_TRUE(ServeUntil([second] { return second->GetDrawn() > 0; }));
    // The second writer may finish at any moment: its thread is counted only when it still runs
    // after the count, and never is the first one counted beside it.
    const int threads = VolumeWriterThreads();
    const bool running = group.IsVolumeWriterRunning();
    EXPECT_LE(threads, 1);
    if (running) {
        EXPECT_EQ(threads, 1);
    }
    group.StopVolumeWriter();
    EXPECT_EQ(VolumeWriterThreads(), 0);
}

// ---- The window goes while its writer runs -----------------------------------------------------

struct EndCase
{
    const char* name;
    bool close; // closed by the user (else destroyed, as split and merge do)
};

class WindowEndTest : public VolumeThreadTest, public ::testing::WithParamInterface<EndCase>
{
};

TEST_P(WindowEndTest, TheWriterStopsWithTheWindow)
{
    TMDIChildWave* window = Running();
    QPointer<TMDIChildWave> alive(window);
    const size_t notices = host.columns.size();
    if (GetParam().close) {
        window->GetUnitWave().SetFileName("/tmp/volume-writer-window.wav");
        window->GetUnitWave().ClearModified();
        EXPECT_TRUE(window->close());
        EXPECT_FALSE(window->GetViewWaveGroup().HasVolumeWriter());
        EXPECT_EQ(VolumeWriterThreads(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    } else {
        delete window;
    }
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(VolumeWriterThreads(), 0);
    // Whatever the writer queued before it stopped reaches nothing.
    QCoreApplication::processEvents();
    EXPECT_EQ(host.columns.size(), notices);
}

INSTANTIATE_TEST_SUITE_P(Ends, WindowEndTest,
                         ::testing::Values(EndCase{"Closed", true}, EndCase{"Destroyed", false}),
                         CaseName);

TEST(QueuedVolumeSink, NoticesRunOnTheGuiThreadAndTheDiagramCatchesUp)
{
    QObject context;
    TVolumeWriterSlot slot;
    int calls = 0;
    bool ended = false, completed = false, onGuiThread = true;
    QueuedVolumeSink sink(
        &context,
        [&] {
            ++calls;
            onGuiThread = onGuiThread && QThread::currentThread() == context.thread();
            int32_t first, end;
            slot.GetVolumeArraySingle()->TakeNewColumns(first, end);
        },
        [&](bool c) {
            ended = true;
            completed = c;
        });
    ASSERT_TRUE(slot.StartVolumeWriter(Mono(NoiseWave(200000, 1)), TVoldViewProps(), &sink));
    while (!ended)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    slot.StopVolumeWriter();
    QCoreApplication::processEvents();
    EXPECT_TRUE(completed);
    EXPECT_TRUE(onGuiThread);
    EXPECT_GE(calls, 1);
    // However the notices were merged, the last one saw every column.
    EXPECT_EQ(slot.GetVolumeArraySingle()->GetDrawn(), 501);
}

TEST(QueuedVolumeSink, NoticesForASinkThatIsGoneAreDropped)
{
    QObject context;
    TVolumeWriterSlot slot;
    int calls = 0;
    auto sink = std::make_unique<QueuedVolumeSink>(
        &context, [&] { ++calls; }, [&](bool) { ++calls; });
    ASSERT_TRUE(slot.StartVolumeWriter(Mono(NoiseWave(50000, 1)), TVoldViewProps(), sink.get()));
    // The writer finishes while the GUI thread serves nothing; its notices wait in the queue.
    while (!slot.GetWriter()->Ended())
        std::this_thread::yield();
    slot.StopVolumeWriter();
    sink.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 0);
}

} // namespace
