#include "waveui/volume/QueuedVolumeSink.h"

#include "document/views/VolumeWriter.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

using namespace kelvorn;

namespace {

SoundPtr Noisy(int32_t count)
{
    AbortFlag flag = 0;
    WavePtr wave = CreateWave(&flag, count);
    uint32_t x = 1;
    for (int32_t i = 0; i < count; ++i) {
        x = x * 1103515245u + 12345u;
        (*wave)[i] = int16_t(x >> 16);
    }
    return std::make_shared<MonoSound>(std::move(wave), 44100, 2);
}

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
    ASSERT_TRUE(slot.StartVolumeWriter(Noisy(200000), TVoldViewProps(), &sink));
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
    ASSERT_TRUE(slot.StartVolumeWriter(Noisy(50000), TVoldViewProps(), sink.get()));
    // The writer finishes while the GUI thread serves nothing; its notices wait in the queue.
    while (!slot.GetWriter()->Ended())
        std::this_thread::yield();
    slot.StopVolumeWriter();
    sink.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 0);
}

} // namespace
