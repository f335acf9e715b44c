#include "general/random/Dicer.h"

#include "general/Assert.h"
#include "general/random/Random15.h"

namespace kelvorn {

Dicer::Dicer(uint32_t seed)
{
    SeedRandom15(seed);
}

void Dicer::Throw()
{
    for (uint32_t& die : dices) {
        // Two separate statements: the high half is drawn first, whatever the compiler's order
        // of evaluation, so recorded echoes stay the same.
        uint32_t high = static_cast<uint32_t>(NextRandom15());
        uint32_t low = static_cast<uint32_t>(NextRandom15());
        die = (high << 15) + low;
    }
}

double Dicer::Value(int dice, double high, double low) const
{
    bool inRange = KV_SOFT_ASSERT(dice >= 0);
    inRange = KV_SOFT_ASSERT(dice < DICES) && inRange;
    if (!inRange)
        return low;
    // Kept: the divisor is not 2^30 - 1; random echoes saved earlier depend on it.
    return dices[dice] / 1073676288.0 * (high - low) + low;
}

} // namespace kelvorn
