// Paint time of a full-width wave pane (1200 × 300 pixels: background, both channels as single
// waves with the grid, the program's default view properties) for a 1-hour and a 10-second
// 44.1 kHz stereo sound, at each zoom level from the full view down by factors of ten to about
// one sample per pixel. A column reads at most ValuesPerPixel + 1 values, so the time must follow
// the pane's width and not the wave's length or the zoom. The peer is a copy of a QImage of the
// same size (a plain memory copy of its pixels), measured in the same run; the ratios are
// printed at the end.
#include "waveui/drawing/WaveCurve.h"

#include "QtBench.h"
#include "SecondsReporter.h"
#include "window_base/QtCanvas.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace kelvorn;

constexpr int Width = 1200;
constexpr int Height = 300;
constexpr int32_t Rate = 44100;

std::shared_ptr<Sound> MakeStereo(int32_t values)
{
    WavePtr left = CreateWave(nullptr, values);
    WavePtr right = CreateWave(nullptr, values);
    // A chirp-like signal with an envelope, so strokes have every height.
    for (int32_t i = 0; i < values; ++i) {
        double t = static_cast<double>(i) / Rate;
        double level = 0.5 + 0.5 * std::sin(t * 0.7);
        (*left)[i] = static_cast<int16_t>(30000.0 * level * std::sin(t * (200.0 + (i % 44100))));
        (*right)[i] = static_cast<int16_t>(20000.0 * std::sin(t * 440.0 * 6.2831853));
    }
    return std::make_shared<StereoSound>(std::move(left), std::move(right), Rate, 2);
}

const Sound& HourSound()
{
    static std::shared_ptr<Sound> sound = MakeStereo(3600 * Rate);
    return *sound;
}

const Sound& TenSecondSound()
{
    static std::shared_ptr<Sound> sound = MakeStereo(10 * Rate);
    return *sound;
}

void PaintPane(benchmark::State& state, const Sound& sound, int level)
{
    QtCanvas canvas(Width, Height);
    const TWaveViewProps props; // a new window's view
    const PixelRect area{0, 0, Width, Height};
    const double length = sound.GetValues() / std::pow(10.0, level);
    const double middle = sound.GetValues() * 0.5;
    const double zoomBegin = middle - length * 0.5;
    const double zoomEnd = middle + length * 0.5;
    Random15 spacing;
    for (auto _ : state) {
        canvas.SetBrushColor(static_cast<uint32_t>(props.BackgroundColor));
        canvas.SetBrushStyle(BrushStyle::Solid);
        canvas.FillRect(area);
        DrawWave(canvas, area, area, zoomBegin, zoomEnd, sound, props, props, false, spacing);
        benchmark::DoNotOptimize(canvas.Image().constBits());
    }
    state.counters["samplesPerPixel"] = length / Width;
}

void CopyImage(benchmark::State& state)
{
    bench::RunImageCopy(state, QSize(Width, Height), Qt::white);
}

struct Case
{
    std::string name;
    bool hour;
    int level;
    double samplesPerPixel;
};

std::vector<Case> Cases()
{
    std::vector<Case> cases;
    for (bool hour : {true, false}) {
        const double values = hour ? 3600.0 * Rate : 10.0 * Rate;
        for (int level = 0;; ++level) {
            double perPixel = values / std::pow(10.0, level) / Width;
            if (perPixel < 0.5)
                break;
            char name[64];
            std::snprintf(name, sizeof name, "Paint/%s/zoom1e-%d", hour ? "1h" : "10s", level);
            cases.push_back({name, hour, level, perPixel});
        }
    }
    return cases;
}

} // namespace

int main(int argc, char** argv)
{
    kelvorn::bench::OffscreenApp<QGuiApplication> app(argv);
    if (!kelvorn::bench::StartBenchmarks(argc, argv))
        return 1;
    const std::vector<Case> cases = Cases();
    benchmark::RegisterBenchmark("CopyImage", CopyImage)->Unit(benchmark::kMillisecond);
    for (const Case& c : cases) {
        benchmark::RegisterBenchmark(c.name.c_str(), [c](benchmark::State& state) {
            PaintPane(state, c.hour ? HourSound() : TenSecondSound(), c.level);
        })->Unit(benchmark::kMillisecond);
    }
    kelvorn::bench::SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto peer = reporter.seconds.find("CopyImage");
    if (peer == reporter.seconds.end() || peer->second <= 0)
        return 0;
    std::printf("\nPeer: copy of a %d x %d QImage %.1f us\n", Width, Height, peer->second * 1e6);
    std::printf("%-22s %14s %12s %12s %14s\n", "case", "samples/px", "paint us", "/ copy",
                "/ full view");
    double full = 0;
    for (const Case& c : cases) {
        auto it = reporter.seconds.find(c.name);
        if (it == reporter.seconds.end())
            continue;
        if (c.level == 0)
            full = it->second;
        std::printf("%-22s %14.2f %12.1f %12.2f %14.2f\n", c.name.c_str(), c.samplesPerPixel,
                    it->second * 1e6, it->second / peer->second, full > 0 ? it->second / full : 0);
    }
    return 0;
}
