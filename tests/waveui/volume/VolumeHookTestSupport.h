#pragma once
// Wave windows that show their volume diagram, the sounds they compute it from, and a bounded
// wait for the writer's columns to reach the panes through the event loop.

#include "../WaveUiTestSupport.h"

#include "document/views/VolumeWriter.h"
#include "waveui/drawing/VolumeDiagram.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace kelvorn::test {

/// count values of a sine of freq Hz at rate, scaled by amplitude.
inline WavePtr ToneWave(double freq, int32_t count, double amplitude, int32_t rate = 44100)
{
    WavePtr wave = CreateWave(nullptr, count);
    for (int32_t i = 0; i < count; ++i)
        (*wave)[i] = int16_t(amplitude * std::sin(2.0 * 3.141592653589793 * freq * i / rate));
    return wave;
}

/// count values of a fixed pseudo-random noise.
inline WavePtr NoiseWave(int32_t count, uint32_t seed)
{
    WavePtr wave = CreateWave(nullptr, count);
    uint32_t x = seed;
    for (int32_t i = 0; i < count; ++i) {
        x = x * 1103515245u + 12345u;
        (*wave)[i] = int16_t(x >> 16);
    }
    return wave;
}

inline SoundPtr Mono(WavePtr wave)
{
    return std::make_shared<MonoSound>(std::move(wave), 44100, int16_t{2});
}

inline SoundPtr Stereo(WavePtr left, WavePtr right)
{
    return std::make_shared<StereoSound>(std::move(left), std::move(right), 44100, int16_t{2});
}

/// How many threads of this process carry the volume writer's name.
inline int VolumeWriterThreads()
{
    const std::string name = SystemThreadName(volumeWriterName);
    int found = 0;
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::ifstream comm(task.path() / "comm");
        std::string text;
        std::getline(comm, text);
        found += text == name;
    }
    return found;
}

/// Serves the event loop until done() holds, in a bounded number of rounds; false when it
/// never did. A repeating timer wakes each round, so a round ends even when no notice comes.
inline bool ServeUntil(const std::function<bool()>& done)
{
    QTimer wake;
    wake.start(5);
    for (int round = 0; round < 6000; ++round) {
        if (done())
            return true;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return done();
}

/// The writer of window has ended and every column it filled has been handed to the panes.
inline bool AllColumnsDrawn(TMDIChildWave& window)
{
    const TViewWaveGroup& group = window.GetViewWaveGroup();
    if (!group.HasVolumeWriter() || group.IsVolumeWriterRunning())
        return false;
    for (const TVolumeArray* grid :
         window.GetUnitWave().GetMonoStereo() == 1
             ? std::vector<const TVolumeArray*>{group.GetVolumeArraySingle()}
             : std::vector<const TVolumeArray*>{group.GetVolumeArrayLeft(),
                                                group.GetVolumeArrayRight()})
        if (!grid || grid->GetDrawn() != grid->GetFilled())
            return false;
    return true;
}

class VolumeWindowTest : public WaveWindowTest
{
protected:
    /// A linear record of width × height cells with plain colours.
    static TVoldViewProps Props(int width = 100, int height = 10, bool drawSingle = true)
    {
        TVoldViewProps props;
        props.XResolution.SetValue(width);
        props.YResolution.SetValue(height);
        props.Strength.SetValue(1.0);
        props.SensKind = sensNormal;
        props.UseColorPalette1D = 0;
        props.BackgroundColor = 0x000000;
        props.SingleColor = 0xFFFFFF;
        props.LeftColor = 0x0000FF;
        props.RightColor = 0xFF0000;
        props.CursorColor = 0x00FF00;
        props.DrawSingle = drawSingle ? 1 : 0;
        return props;
    }

    /// A window on sound that shows its volume diagram, the second pane 1000 × 200 pixels;
    /// no writer started yet.
    TMDIChildWave* OpenDiagram(SoundPtr sound, const TVoldViewProps& props,
                               const std::string& name = "Wave 1")
    {
        TMDIChildWave* window = Open(std::move(sound), 1, 1000, 200, name);
        window->SetVoldViewProps(props);
        return window;
    }

    /// Runs window's writer to its end with the event loop served.
    static bool Compute(TMDIChildWave& window)
    {
        window.RefreshWave();
        return ServeUntil([&window] { return AllColumnsDrawn(window); });
    }

    /// The colour a single diagram gives cell (x, y) of grid.
    static uint32_t CellColour(const TVolumeArray& grid, int x, int y, const TVoldViewProps& props,
                               bool inverted)
    {
        return VolumeSingleColor(
            VolumeIntensity(grid.GetVolume(x, y), props.SensKind, props.Strength.GetValue()), props,
            inverted);
    }
};

} // namespace kelvorn::test
