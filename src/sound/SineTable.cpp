#include "sound/SineTable.h"

#include "general/Messages.h"
#include "sound/WavePrimitives.h"

namespace kelvorn {

namespace {
WavePtr sinusTable;
} // namespace

bool CreateSinus(AbortFlag* flag)
{
    sinusTable = CreateWave(flag, SinusValues);
    if (!sinusTable) {
        Messages().Show("Could not create sinus.", "System Error", MsgIcon::Stop, MsgButtons::Ok);
        return false;
    }
    makeSinePeriod(*sinusTable);
    return true;
}

void FreeSinus()
{
    sinusTable.reset();
}

const Wave* Sinus()
{
    return sinusTable.get();
}

} // namespace kelvorn
