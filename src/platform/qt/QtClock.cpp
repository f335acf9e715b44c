#include "platform/qt/QtClock.h"

#include <QDateTime>

namespace kelvorn {

std::chrono::system_clock::time_point QtClock::Now() const
{
    return std::chrono::system_clock::time_point(
        std::chrono::milliseconds(QDateTime::currentMSecsSinceEpoch()));
}

} // namespace kelvorn
