#include "document/records/WaveReference.h"
#include "document/wave/UnitWave.h"
#include "general/Assert.h"

namespace kelvorn {

// Apart from the rest of the reference: only this needs the wave document itself.
SoundPtr unitUnitWave::GetSound() const
{
    if (!KV_SOFT_ASSERT(unitWave != NULL))
        return nullptr;
    return unitWave->GetSound();
}

} // namespace kelvorn
