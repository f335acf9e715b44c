#pragma once
// The GUI side of the volume writer's news: the writer's calls become queued calls on the
// thread of a QObject (the pane group's window), so the writer never waits for the GUI thread
// and a stop never waits for a notice to be served. Column notices are merged: while one is
// pending, further ones add nothing, since the GUI takes every new column (Drawn to Filled)
// when it runs.

#include "document/views/VolumeWriter.h"

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

namespace kelvorn {

class QueuedVolumeSink final : public VolumeWriterSink
{
public:
    /// onColumns runs on context's thread after new columns were filled; onEnded, if given,
    /// after the writer's run is over. Neither runs once this sink or context is gone. The
    /// writer reporting here must be stopped before context is deleted.
    QueuedVolumeSink(QObject* context, std::function<void()> onColumns,
                     std::function<void(bool completed)> onEnded = {});
    /// On context's thread, after the writer that reports here has been stopped.
    ~QueuedVolumeSink() override;
    QueuedVolumeSink(const QueuedVolumeSink&) = delete;
    QueuedVolumeSink& operator=(const QueuedVolumeSink&) = delete;

    void ColumnsFilled(int channel, int32_t first, int32_t end) override;
    void WriterEnded(bool completed) override;

private:
    // Shared with the queued calls, which may still be waiting when the sink goes.
    struct State
    {
        std::function<void()> onColumns;
        std::function<void(bool)> onEnded;
        std::atomic<bool> columnsPending{false};
        bool alive = true; // GUI thread only
    };
    QObject* context;
    std::shared_ptr<State> state;
};

} // namespace kelvorn
