#pragma once
// The main window with the file, wave, edit, split and merge commands installed, and real wave
// windows around sounds of known values.

#include "FileCommandsTestSupport.h"

#include "shell/EditCommands.h"
#include "shell/SplitMergeCommands.h"
#include "shell/WaveCommands.h"
#include "document/wave/UnitWave.h"
#include "waveui/WaveWindow.h"

#include <memory>
#include <string>
#include <vector>

namespace kelvorn::test {

/// A sound whose channels hold values (the right channel, of a stereo sound, their negatives).
inline SoundPtr Values(const std::vector<int16_t>& values, int16_t channels = 1,
                       int32_t freq = 44100, int16_t bytes = 2)
{
    auto make = [&](int sign) {
        WavePtr wave = CreateWave(nullptr, static_cast<int32_t>(values.size()));
        for (size_t i = 0; i < values.size(); ++i)
            (*wave)[static_cast<int32_t>(i)] = static_cast<int16_t>(sign * values[i]);
        return wave;
    };
    if (channels == 1)
        return std::make_shared<MonoSound>(make(1), freq, bytes);
    return std::make_shared<StereoSound>(make(1), make(-1), freq, bytes);
}

/// The left channel's values.
inline std::vector<int16_t> LeftOf(const Sound& sound)
{
    std::vector<int16_t> values;
    for (int32_t i = 0; i < sound.GetValues(); ++i)
        values.push_back((*sound.GetLeftWave())[i]);
    return values;
}

/// 0, step, 2 step, ... count values.
inline std::vector<int16_t> Steps(int32_t count, int16_t step = 1)
{
    std::vector<int16_t> values;
    for (int32_t i = 0; i < count; ++i)
        values.push_back(static_cast<int16_t>(i * step));
    return values;
}

class EditCommandsTest : public FileCommandsTest
{
protected:
    EditCommandsTest()
    {
        road = std::make_unique<TWaveCommands>(*form);
        road->Install();
        edit = std::make_unique<TEditCommands>(*form, *road);
        edit->Install();
        splitMerge = std::make_unique<TSplitMergeCommands>(*form, *commands);
        splitMerge->Install();
    }

    ~EditCommandsTest() override
    {
        for (QMdiSubWindow* window : form->Frame()->subWindowList())
            delete window;
        Flush();
    }

    /// A wave window named name around sound, made active, its change flags clear.
    TMDIChildWave* OpenSound(const std::string& name, SoundPtr sound)
    {
        TMDIChildWave* window =
            commands->NewChildWave(std::make_unique<TUnitWave>(name, std::string(), sound),
                                   form->DefaultWaveViewProps(), form->DefaultVoldViewProps());
        window->GetUnitWave().ClearModified();
        form->ActionListUpdate();
        return window;
    }

    TDocumentServices& Documents() { return form->Documents(); }

    std::unique_ptr<TWaveCommands> road;
    std::unique_ptr<TEditCommands> edit;
    std::unique_ptr<TSplitMergeCommands> splitMerge;
};

} // namespace kelvorn::test
