#pragma once
// The background writer of the volume diagram and the holder that keeps at most one writer and
// the grids it fills. The GUI thread starts a writer with its own copy of the volume record and
// its own reference to the sound, so no edit, Undo or drawing can change or free what it reads;
// the writer hands news back through a sink that only posts (it never waits for the GUI
// thread), so stopping a writer is a request plus a join that ends within one block of samples.

#include "document/views/VoldViewProps.h"
#include "document/views/VolumeArray.h"
#include "sound/Sound.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kelvorn {

/// What the writer tells the GUI side. The calls come from the writer's threads (one at a time,
/// never two at once) and must not wait for the GUI thread: an implementation posts a queued
/// notification and returns. A sink must outlive the writer's thread (until Stop returns).
class VolumeWriterSink
{
public:
    virtual ~VolumeWriterSink() = default;
    /// Columns [first, end) of a grid have been written since the last call for it: channel 0
    /// is the single grid of a mono sound or the left grid of a stereo one, channel 1 the
    /// right grid.
    virtual void ColumnsFilled(int channel, int32_t first, int32_t end) = 0;
    /// The run is over: every sample computed (completed) or stopped. The last call.
    virtual void WriterEnded(bool completed) {}
};

/// The name debuggers show for the writer.
inline constexpr const char* volumeWriterName = "TreadVolumeWriter";
/// name cut to what the system keeps for a thread (15 bytes).
std::string SystemThreadName(const std::string& name);

class TThreadVolumeWriter
{
public:
    /// A writer for sound (1 channel: one grid; 2 channels: left and right grids) with its own
    /// copy of props. Not started yet. sink may be nullptr.
    TThreadVolumeWriter(SoundPtr sound, const TVoldViewProps& props,
                        std::vector<std::shared_ptr<TVolumeArray>> grids, VolumeWriterSink* sink);
    /// Stops and joins the thread.
    ~TThreadVolumeWriter();
    TThreadVolumeWriter(const TThreadVolumeWriter&) = delete;
    TThreadVolumeWriter& operator=(const TThreadVolumeWriter&) = delete;

    /// Whether a stereo sound's channels run on two threads at once (the default where the
    /// machine has more than one core) or left first, then right. Before Start only.
    void SetChannelsSideBySide(bool sideBySide) { channelsSideBySide = sideBySide; }

    /// Starts the thread. False (and nothing runs) when the grids do not fit the sound and the
    /// record: one grid per channel, each XResolution × YResolution. Once only.
    bool Start();

    /// Asks the thread to end before its next block; any thread may call it.
    void RequestStop() { stopFlag.store(true, std::memory_order_release); }
    bool StopRequested() const { return stopFlag.load(std::memory_order_acquire); }

    /// Asks the thread to end and waits for it, then lets go of the sound and the grids.
    /// Returns within one block of samples, as the sink never waits for the caller. From the
    /// writer's own thread (inside a sink call) it only asks.
    void Stop();

    /// True once the run is over (finished or stopped), before or after the join.
    bool Ended() const { return ended.load(std::memory_order_acquire); }

private:
    void Execute();
    bool RunChannel(int channel);
    void Report(int channel, int32_t first, int32_t end);

    SoundPtr sound;
    TVoldViewProps props;
    std::vector<std::shared_ptr<TVolumeArray>> grids;
    VolumeWriterSink* sink;
    bool channelsSideBySide;
    std::atomic<bool> stopFlag{false};
    std::atomic<bool> ended{false};
    std::mutex sinkMutex; // one sink call at a time, also when channels run side by side
    std::thread thread;
};

/// What a wave window's pane group keeps of its volume diagram: the grids (the single grid and
/// the left and right grids, each replaced only by a start of its own kind) and at most one
/// running writer. GUI thread only.
class TVolumeWriterSlot
{
public:
    ~TVolumeWriterSlot() { StopVolumeWriter(); }

    /// Stops a running writer first. Then, for a sound with samples: new grids of props'
    /// resolution replace those of the sound's kind and a writer starts on them. False when
    /// no writer was started: the sound is empty (or missing), or the grids were refused (more
    /// than maxVolumeCells cells, or no memory); the grids then stay as they were.
    bool StartVolumeWriter(const SoundPtr& sound, const TVoldViewProps& props,
                           VolumeWriterSink* sink);
    /// Stops and deletes the running writer, if any.
    void StopVolumeWriter();

    bool HasWriter() const { return writer != nullptr; }
    TThreadVolumeWriter* GetWriter() const { return writer.get(); }

    TVolumeArray* GetVolumeArraySingle() const { return single.get(); }
    TVolumeArray* GetVolumeArrayLeft() const { return left.get(); }
    TVolumeArray* GetVolumeArrayRight() const { return right.get(); }

private:
    std::unique_ptr<TThreadVolumeWriter> writer;
    std::shared_ptr<TVolumeArray> single;
    std::shared_ptr<TVolumeArray> left;
    std::shared_ptr<TVolumeArray> right;
};

} // namespace kelvorn
