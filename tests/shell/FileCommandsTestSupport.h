#pragma once
// The main window with the file commands installed, scripted file dialogs, and WAV files in a
// private directory that the fixture removes.

#include "MainFormTestSupport.h"

#include "shell/base/QtModalDialog.h"
#include "platform/test/ScriptedFileDialogs.h"
#include "shell/FileCommands.h"
#include "sound/WavFile.h"
#include "waveui/WaveWindow.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace kelvorn::test {

/// A stereo sound of values whose left value i is (i × step) % 2000 and right value its negative.
inline SoundPtr Pattern(int32_t values, int32_t step, int32_t freq = 44100)
{
    WavePtr left = CreateWave(nullptr, values);
    WavePtr right = CreateWave(nullptr, values);
    for (int32_t i = 0; i < values; ++i) {
        (*left)[i] = static_cast<int16_t>((i * step) % 2000);
        (*right)[i] = static_cast<int16_t>(-((i * step) % 2000));
    }
    return std::make_shared<StereoSound>(std::move(left), std::move(right), freq, int16_t{2});
}

/// Whether both sounds have the same format and values.
inline ::testing::AssertionResult SameSound(const Sound& a, const Sound& b)
{
    if (a.GetMonoStereo() != b.GetMonoStereo() || a.GetSampleFreq() != b.GetSampleFreq() ||
        a.GetValues() != b.GetValues())
        return ::testing::AssertionFailure()
               << "format " << a.GetMonoStereo() << "/" << a.GetSampleFreq() << "/" << a.GetValues()
               << " against " << b.GetMonoStereo() << "/" << b.GetSampleFreq() << "/"
               << b.GetValues();
    for (int32_t i = 0; i < a.GetValues(); ++i)
        if ((*a.GetLeftWave())[i] != (*b.GetLeftWave())[i] ||
            (*a.GetRightWave())[i] != (*b.GetRightWave())[i])
            return ::testing::AssertionFailure() << "value " << i << " differs";
    return ::testing::AssertionSuccess();
}

class FileCommandsTest : public MainFormTest
{
protected:
    FileCommandsTest()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kv-filecommands-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            dir = pattern;
        Start();
        commands = std::make_unique<TFileCommands>(*form);
        commands->Install();
    }

    ~FileCommandsTest() override
    {
        // The windows go before the commands and the scripts they call.
        for (QMdiSubWindow* window : form->Frame()->subWindowList())
            delete window;
        Flush();
        commands.reset();
        if (!dir.empty())
            std::filesystem::remove_all(dir);
    }

    void TearDown() override
    {
        EXPECT_TRUE(fileDialogs.Unexpected().empty()) << fileDialogs.Unexpected().front();
        EXPECT_EQ(fileDialogs.Pending(), 0u);
        EXPECT_TRUE(dialogs.Unexpected().empty());
        EXPECT_EQ(dialogs.Pending(), 0u);
        EXPECT_TRUE(messages.Unexpected().empty())
            << messages.Unexpected().front().caption << ": " << messages.Unexpected().front().text;
        EXPECT_EQ(messages.Pending(), 0u);
        EXPECT_FALSE(form->Documents().IsWaiting());
    }

    std::string Path(const std::string& name) const { return (dir / name).string(); }

    /// Writes sound as the WAV file name in the directory and answers its path.
    std::string WriteWav(const std::string& name, const SoundPtr& sound)
    {
        const std::string path = Path(name);
        std::string message;
        EXPECT_TRUE(WriteWaveFile(nullptr, path, sound.get(), 0, -1, message)) << message;
        return path;
    }

    static void WriteText(const std::string& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }

    /// Runs the action's command as the menu would, after the update that enables it.
    void Trigger(const char* action)
    {
        form->ActionListUpdate();
        ASSERT_TRUE(A(action)->isEnabled()) << action;
        A(action)->trigger();
    }

    TMDIChildWave* ActiveWave() const
    {
        return dynamic_cast<TMDIChildWave*>(form->Documents().GetActiveChildWave());
    }

    std::filesystem::path dir;
    ScriptedFileDialogs fileDialogs;
    std::unique_ptr<TFileCommands> commands;
};

} // namespace kelvorn::test
