// The main window's Play against the private PulseAudio server, with paplay as the peer in the
// same run: the latency from the Play command (the part written to the play file, opened and
// started) to the first sample at the pipe sink, and the processor time the whole process uses
// while a 60-second 44.1 kHz stereo wave plays (process time over wall time, the sink reader's
// own thread left out; for paplay the child's time). Run it inside the server:
//   scripts/pulse-test-server.sh run build/bench/bench_play_latency
// KELVORN_AUDIO_BENCH_SECONDS shortens the long play. A run that cannot measure (no server, Play
// disabled, no sound at the sink) says why on standard error and exits non-zero.
#include "document/wave/UnitWave.h"
#include "platform/qt/audio/QtAudioDevice.h"
#include "shell/MainForm.h"
#include "shell/PlayRecord.h"
#include "shell/WaveKind.h"
#include "sound/WavFile.h"
#include "waveui/WaveWindow.h"
#include "window_base/ChildKelvorn.h"

#include "PlayBench.h"
#include "PulseBench.h"
#include "QtBench.h"
#include "SecondsReporter.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QMdiArea>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::bench;
namespace fs = std::filesystem;

namespace {

/// The main window with play and record on the pipe sink, one wave window per length.
struct Setup : PlayingForm
{
    int longSeconds = LongPlaySeconds();
    std::unique_ptr<TPlayRecord> player;
    TMDIChildKelvorn* shortWave = nullptr;
    TMDIChildKelvorn* longWave = nullptr;
    fs::path dir;

    Setup()
    {
        // The action update asks the wave kind whether Play may run; without it Play stays
        // disabled and nothing is measured.
        form->Kinds().Register(std::make_unique<TWaveKind>(*form, nullptr));
        form->show();
        player = std::make_unique<TPlayRecord>(*form, *audio);
        shortWave = Open("Short", StereoNoise(PulseRate / 2));
        longWave = Open("Long", StereoNoise(PulseRate * longSeconds));
        sink = std::make_unique<FirstSound>(std::getenv("KELVORN_PULSE_SINK_PIPE"));

        // The same sounds as files for the peer.
        dir = RunDirectory("kv-bench-play-");
        std::string message;
        WriteWaveFile(nullptr, (dir / "short.wav").string(),
                      kelvorn::UnitWaveOf(shortWave)->GetSound().get(), 0, -1, message);
        WriteWaveFile(nullptr, (dir / "long.wav").string(),
                      kelvorn::UnitWaveOf(longWave)->GetSound().get(), 0, -1, message);
    }
    ~Setup()
    {
        player.reset();
        form.reset();
        fs::remove_all(dir);
    }

    TMDIChildKelvorn* Open(const std::string& name, SoundPtr sound)
    {
        auto* window = new TMDIChildKelvorn;
        window->SetUnit(std::make_unique<TUnitWave>(name, std::string(), std::move(sound)));
        form->Documents().AddDocumentWindow(window);
        return window;
    }
};

// Made on first use and dropped before the application goes: the windows and the device need it.
std::unique_ptr<Setup> setup;

Setup& TheSetup()
{
    if (!setup)
        setup = std::make_unique<Setup>();
    return *setup;
}

/// Presses Play on window and waits until the play has ended.
PlayTimes PlayOurs(TMDIChildKelvorn* window, std::string& error)
{
    Setup& s = TheSetup();
    QAction* play = s.PlayOf(window, error);
    if (!play)
        return {};
    // An event loop that sleeps until Play shows the end: no polling of our own is counted.
    QEventLoop loop;
    const auto ended = QObject::connect(play, &QAction::toggled, &loop, [&](bool on) {
        if (!on)
            loop.quit();
    });
    QTimer::singleShot((s.longSeconds + 30) * 1000, &loop, &QEventLoop::quit);
    s.sink->Arm();
    const double cpu0 = CpuSeconds(RUSAGE_SELF) - s.sink->CpuSeconds();
    const auto start = SteadyClock::now();
    play->trigger();
    if (play->isChecked())
        loop.exec();
    QObject::disconnect(ended);
    PlayTimes times;
    times.cpu = CpuSeconds(RUSAGE_SELF) - s.sink->CpuSeconds() - cpu0;
    times.wall = SecondsBetween(start, SteadyClock::now());
    times.latency = s.sink->LatencySince(start);
    s.TakeBoxText(error);
    return times;
}

PlayTimes Play(bool ours, bool longOne, std::string& error)
{
    Setup& s = TheSetup();
    if (ours)
        return PlayOurs(longOne ? s.longWave : s.shortWave, error);
    return PlayWithPaplay(*s.sink, s.dir / (longOne ? "long.wav" : "short.wav"), error);
}

std::map<std::string, double> cpuShare;
std::map<std::string, double> longLatency;
/// Why a benchmark measured nothing, by benchmark.
std::vector<std::string> failures;

bool Failed(benchmark::State& state, bool ours, const PlayTimes& times, const std::string& error)
{
    if (!SkippedSilent(state, times.latency, error))
        return false;
    failures.push_back(std::string(ours ? "the Play command" : "paplay") + ": " +
                       (error.empty() ? "no sound reached the sink" : error));
    return true;
}

template <bool Ours> void BM_Latency(benchmark::State& state)
{
    for (auto _ : state) {
        std::string error;
        const PlayTimes times = Play(Ours, false, error);
        if (Failed(state, Ours, times, error))
            return;
        state.SetIterationTime(times.latency);
    }
}

template <bool Ours> void BM_PlayCpu(benchmark::State& state)
{
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        std::string error;
        const PlayTimes times = Play(Ours, true, error);
        if (Failed(state, Ours, times, error))
            return;
        cpu += times.cpu;
        wall += times.wall;
        longLatency[Ours ? "ours" : "peer"] = times.latency;
        state.SetIterationTime(times.wall);
    }
    state.counters["cpu_percent"] = cpu / wall * 100;
    cpuShare[Ours ? "ours" : "peer"] = cpu / wall;
}

BENCHMARK(BM_Latency<true>)
    ->Name("BM_PlayCommandLatency")
    ->UseManualTime()
    ->Iterations(8)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Latency<false>)
    ->Name("BM_PaplayLatency")
    ->UseManualTime()
    ->Iterations(8)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayCpu<true>)
    ->Name("BM_PlayCommandCpu")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayCpu<false>)
    ->Name("BM_PaplayCpu")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!InsidePulseServer(argv[0]))
        return 1;
    PreferOffscreen();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (QtAudioDevice::FindOutput(SinkName).isNull()) {
        std::fprintf(stderr, "the private PulseAudio server offers no %s\n", SinkName);
        return 1;
    }
    kelvorn::bench::SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& s = reporter.seconds;
    if (s.count("BM_PlayCommandLatency") && s.count("BM_PaplayLatency"))
        std::printf("Play command to the first sample: %.1f ms, paplay %.1f ms, ratio %.2f\n",
                    s["BM_PlayCommandLatency"] * 1e3, s["BM_PaplayLatency"] * 1e3,
                    s["BM_PlayCommandLatency"] / s["BM_PaplayLatency"]);
    auto& l = longLatency;
    if (l.count("ours") && l.count("peer"))
        std::printf("the same for the %d s wave (its play file written first): %.1f ms, paplay "
                    "%.1f ms, ratio %.2f\n",
                    TheSetup().longSeconds, l["ours"] * 1e3, l["peer"] * 1e3,
                    l["ours"] / l["peer"]);
    auto& c = cpuShare;
    if (c.count("ours") && c.count("peer"))
        std::printf("processor time while playing %d s stereo: %.3f%% of one core, paplay "
                    "%.3f%%, ratio %.2f\n",
                    TheSetup().longSeconds, c["ours"] * 100, c["peer"] * 100,
                    c["ours"] / c["peer"]);
    std::fflush(stdout);
    setup.reset();
    benchmark::Shutdown();
    for (const std::string& failure : failures)
        std::fprintf(stderr, "bench_play_latency measured nothing: %s\n", failure.c_str());
    return failures.empty() ? 0 : 1;
}
