// The save decisions of a wave document. The .wav is always written before the side file, so a
// failed side file never leaves a side file that describes an unsaved wave. None of these
// clears the change flags: the caller does, after a successful save.

#include "document/wave/UnitWave.h"

namespace kelvorn {

bool TUnitWave::SaveToFile(const std::string& waveFileName)
{
    bool result = true;
    if (NeedsWaveSave()) {
        result = SaveWaveFile(waveFileName);
        if (!result)
            return false;
    }
    if (IsModified())
        result = SaveShadowFile(waveFileName);
    return result;
}

bool TUnitWave::Save()
{
    return SaveToFile(GetFileName());
}

bool TUnitWave::SaveProjectCopy(const std::string& waveFileName)
{
    if (NeedsWaveSave() && !SaveWaveFile(waveFileName))
        return false;
    return SaveShadowFile(waveFileName);
}

bool TUnitWave::SaveAs(const std::string& waveFileName)
{
    return SaveWaveFile(waveFileName) && SaveShadowFile(waveFileName);
}

} // namespace kelvorn
