#include "document/views/VolumeWriter.h"

#include "document/views/VolumeBands.h"
#include "general/Assert.h"

#if defined(__linux__)
#include <pthread.h>
#endif

#include <utility>

namespace kelvorn {

namespace {

// The writer whose thread this is, so that a stop from inside a sink call only asks: joining
// from a thread the join waits for would never return.
thread_local const TThreadVolumeWriter* currentWriter = nullptr;

void NameThisThread()
{
#if defined(__linux__)
    pthread_setname_np(pthread_self(), SystemThreadName(volumeWriterName).c_str());
#endif
}

} // namespace

std::string SystemThreadName(const std::string& name)
{
    // Linux refuses a longer name outright (and the thread keeps its parent's).
    constexpr size_t systemLimit = 15;
    return name.substr(0, systemLimit);
}

TThreadVolumeWriter::TThreadVolumeWriter(SoundPtr sound, const TVoldViewProps& props,
                                         std::vector<std::shared_ptr<TVolumeArray>> grids,
                                         VolumeWriterSink* sink)
    : sound(std::move(sound)), props(props), grids(std::move(grids)), sink(sink),
      channelsSideBySide(std::thread::hardware_concurrency() > 1)
{
}

TThreadVolumeWriter::~TThreadVolumeWriter()
{
    Stop();
}

bool TThreadVolumeWriter::Start()
{
    if (!KV_SOFT_ASSERT(!thread.joinable() && !ended.load()))
        return false;
    if (!KV_SOFT_ASSERT(sound != nullptr))
        return false;
    const size_t channels = sound->GetMonoStereo() == 2 ? 2 : 1;
    if (!KV_SOFT_ASSERT(grids.size() == channels))
        return false;
    for (const std::shared_ptr<TVolumeArray>& grid : grids) {
        if (!KV_SOFT_ASSERT(grid != nullptr))
            return false;
        if (!KV_SOFT_ASSERT(grid->GetWidth() == props.XResolution.GetValue() &&
                            grid->GetHeight() == props.YResolution.GetValue()))
            return false;
    }
    try {
        thread = std::thread([this] { Execute(); });
    } catch (const std::system_error&) {
        // No thread to be had: the diagram stays empty, as after a stop at once.
        ended.store(true, std::memory_order_release);
        return false;
    }
    return true;
}

void TThreadVolumeWriter::Stop()
{
    RequestStop();
    if (currentWriter == this)
        return;
    if (thread.joinable())
        thread.join();
    sound.reset();
    grids.clear();
}

void TThreadVolumeWriter::Report(int channel, int32_t first, int32_t end)
{
    if (!sink)
        return;
    std::lock_guard<std::mutex> lock(sinkMutex);
    sink->ColumnsFilled(channel, first, end);
}

bool TThreadVolumeWriter::RunChannel(int channel)
{
    currentWriter = this;
    try {
        const Wave& wave = channel == 0 ? *sound->GetLeftWave() : *sound->GetRightWave();
        VolumeBank bank(ComputeVolumeBands(props, sound->GetSampleFreq()));
        TVolumeArray& grid = *grids[size_t(channel)];
        if (bank.Bands() != grid.GetHeight())
            return false;
        return bank.Run(
            wave.Data(), wave.Values(), grid, stopFlag,
            [this, channel](int32_t first, int32_t end) { Report(channel, first, end); });
    } catch (...) {
        // A run that fails (no memory for the bands) ends quietly; the grid keeps its columns.
        return false;
    }
}

void TThreadVolumeWriter::Execute()
{
    currentWriter = this;
    NameThisThread();
    bool completed = false;
    if (grids.size() == 2 && channelsSideBySide) {
        bool rightCompleted = false;
        std::thread right;
        try {
            right = std::thread([this, &rightCompleted] {
                NameThisThread();
                rightCompleted = RunChannel(1);
            });
        } catch (const std::system_error&) {
            // One thread is enough: the right channel runs after the left one.
        }
        const bool leftCompleted = RunChannel(0);
        if (right.joinable())
            right.join();
        else
            rightCompleted = RunChannel(1);
        completed = leftCompleted && rightCompleted;
    } else {
        completed = RunChannel(0);
        if (grids.size() == 2)
            completed = RunChannel(1) && completed;
    }
    ended.store(true, std::memory_order_release);
    if (sink) {
        std::lock_guard<std::mutex> lock(sinkMutex);
        sink->WriterEnded(completed);
    }
}

bool TVolumeWriterSlot::StartVolumeWriter(const SoundPtr& sound, const TVoldViewProps& props,
                                          VolumeWriterSink* sink)
{
    StopVolumeWriter();
    if (!sound || sound->GetValues() == 0)
        return false;
    const int64_t width = props.XResolution.GetValue();
    const int64_t height = props.YResolution.GetValue();
    std::string message;
    if (!CheckVolumeResolution(width, height, message))
        return false;
    const bool stereo = sound->GetMonoStereo() == 2;
    std::vector<std::shared_ptr<TVolumeArray>> grids;
    for (int channel = 0; channel < (stereo ? 2 : 1); ++channel) {
        std::shared_ptr<TVolumeArray> grid = TVolumeArray::Create(width, height);
        if (!CheckMemory(grid.get()))
            return false;
        grids.push_back(std::move(grid));
    }
    if (stereo) {
        left = grids[0];
        right = grids[1];
    } else {
        single = grids[0];
    }
    writer = std::make_unique<TThreadVolumeWriter>(sound, props, std::move(grids), sink);
    if (!writer->Start()) {
        writer.reset();
        return false;
    }
    return true;
}

void TVolumeWriterSlot::StopVolumeWriter()
{
    if (!writer)
        return;
    writer->Stop();
    writer.reset();
}

} // namespace kelvorn
