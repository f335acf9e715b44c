#include "platform/Canvas.h"

namespace kelvorn {

int FontPixelsFromPoints(int points)
{
    // Rounded half away from zero, as the system's font height does.
    int scaled = points * 96;
    return scaled >= 0 ? (scaled + 36) / 72 : -((-scaled + 36) / 72);
}

} // namespace kelvorn
