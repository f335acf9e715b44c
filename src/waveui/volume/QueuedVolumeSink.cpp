#include "waveui/volume/QueuedVolumeSink.h"

#include <QMetaObject>

#include <utility>

namespace kelvorn {

QueuedVolumeSink::QueuedVolumeSink(QObject* context, std::function<void()> onColumns,
                                   std::function<void(bool completed)> onEnded)
    : context(context), state(std::make_shared<State>())
{
    state->onColumns = std::move(onColumns);
    state->onEnded = std::move(onEnded);
}

QueuedVolumeSink::~QueuedVolumeSink()
{
    state->alive = false;
}

void QueuedVolumeSink::ColumnsFilled(int, int32_t, int32_t)
{
    if (state->columnsPending.exchange(true, std::memory_order_acq_rel))
        return;
    std::shared_ptr<State> shared = state;
    QMetaObject::invokeMethod(
        context,
        [shared] {
            // Cleared first: columns filled while the call runs get a notice of their own.
            shared->columnsPending.store(false, std::memory_order_release);
            if (shared->alive && shared->onColumns)
                shared->onColumns();
        },
        Qt::QueuedConnection);
}

void QueuedVolumeSink::WriterEnded(bool completed)
{
    std::shared_ptr<State> shared = state;
    QMetaObject::invokeMethod(
        context,
        [shared, completed] {
            if (shared->alive && shared->onEnded)
                shared->onEnded(completed);
        },
        Qt::QueuedConnection);
}

} // namespace kelvorn
