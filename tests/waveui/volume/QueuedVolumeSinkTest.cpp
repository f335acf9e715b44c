#include "waveui/volume/QueuedVolumeSink.h"

#include "document/views/VolumeWriter.h"
#include "support/WaveWindows.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

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
