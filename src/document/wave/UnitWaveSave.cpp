// The save decisions of a wave document. The .wav is always written before the side file, so a
// failed side file never leaves a side file that describes an unsaved wave. None of these
// clears the change flags: the caller does, after a successful save.

#include "document/wave/UnitWave.h"

#include "document/wave/SideFile.h"
#include "sound/WavFile.h"

#include <filesystem>
#include <system_error>

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

bool TUnitWave::Revert(std::string& message, std::string& failedFile)
{
    const std::string file = GetFileName();
    failedFile = file;
    if (file.empty()) {
        message = "The wave has no file.";
        return false;
    }
    SoundUPtr read;
    lastReadCounts = {};
    if (!ReadWaveFile(file, read, message, &lastReadCounts))
        return false;
    SoundPtr sound = std::move(read);
    ExchangeSound(sound);
    // Positions beyond a shorter sound come back inside it before anything paints them.
    SetPos1(GetPos1());
    SetPos2(GetPos2());

    const std::string sideFile = SideFileName(file);
    std::error_code error;
    const bool sideFailed = std::filesystem::is_regular_file(sideFile, error) &&
                            LoadShadowFile(sideFile, message, true, sound) == 2;
    if (sound != GetSound())
        ExchangeSound(sound);
    if (sideFailed) {
        failedFile = sideFile;
        return false;
    }
    failedFile.clear();
    return true;
}

} // namespace kelvorn
