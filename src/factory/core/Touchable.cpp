#include "factory/core/Touchable.h"

#include "general/Assert.h"

namespace kelvorn {

uint32_t TSountoryTouchable::GetHighlightColor(uint8_t state)
{
    switch (state) {
    case 1:
        return 0xC0E0F0;
    case 2:
        return 0x00FFC0;
    case 3:
        return 0x00E0FF;
    case 4:
        return 0x0080FF;
    case 5:
        return 0x000000;
    default:
        KV_SOFT_ASSERT(false);
        return 0;
    }
}

} // namespace kelvorn
