// Opening a 10-minute 44.1 kHz stereo WAV into a wave window and painting the window once in
// full (1200 x 600, the second pane filling it), against reading the same file alone, in the
// same run. The difference is what the window adds to a read: the document, the panes and the
// first paint, whose cost follows the pane width rather than the wave's length.
#include "OpenBench.h"
#include "document/wave/UnitWave.h"
#include "sound/Sound.h"
#include "sound/WavFile.h"
#include "sound/Wave.h"
#include "waveui/ViewWave.h"
#include "waveui/ViewWaveGroup.h"
#include "waveui/WaveWindow.h"

#include <QDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

namespace {

using namespace kelvorn;

constexpr int32_t Rate = 44100;
constexpr int32_t Seconds = 600;

std::string WaveFile()
{
    static const std::string path = [] {
        const std::string file = QDir::tempPath().toStdString() + "/kelvorn_bench_open.wav";
        const int32_t values = Seconds * Rate;
        WavePtr left = CreateWave(nullptr, values);
        WavePtr right = CreateWave(nullptr, values);
        for (int32_t i = 0; i < values; ++i) {
            const double t = static_cast<double>(i) / Rate;
            (*left)[i] = static_cast<int16_t>(20000.0 * std::sin(t * 2764.6));
            (*right)[i] = static_cast<int16_t>(12000.0 * std::sin(t * 1382.3 + 0.3));
        }
        StereoSound sound(std::move(left), std::move(right), Rate, 2);
        AbortFlag abort = 0;
        std::string message;
        if (!WriteWaveFile(&abort, file, &sound, 0, values, message))
            std::fprintf(stderr, "%s\n", message.c_str());
        return file;
    }();
    return path;
}

SoundUPtr Read(benchmark::State& state)
{
    SoundUPtr sound;
    std::string message;
    if (!ReadWaveFile(WaveFile(), sound, message))
        state.SkipWithError(message.c_str());
    return sound;
}

void ReadAlone(benchmark::State& state)
{
    for (auto _ : state) {
        SoundUPtr sound = Read(state);
        benchmark::DoNotOptimize(sound.get());
    }
}

void OpenAndPaint(benchmark::State& state)
{
    bench::OpenFrame frame;
    for (auto _ : state) {
        SoundUPtr sound = Read(state);
        if (!sound)
            break;
        auto unit = std::make_unique<TUnitWave>("Wave 1", WaveFile(), SoundPtr(std::move(sound)));
        auto* window =
            new TMDIChildWave(nullptr, std::move(unit), TWaveViewProps(), TVoldViewProps());
        frame.Show(window);
        const QImage& image = window->GetViewWaveGroup().GetView(2)->BackingImage();
        benchmark::DoNotOptimize(image.constBits());
        window->Release();
        delete window;
    }
}

} // namespace

int main(int argc, char** argv)
{
    return kelvorn::bench::RunOpenAgainstRead(argc, argv, WaveFile, ReadAlone, OpenAndPaint,
                                              "10-minute stereo WAV");
}
