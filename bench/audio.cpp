// The audio device against the private PulseAudio server, with paplay as the peer in the same
// run: the latency from the play command (open and play) to the first sample at the pipe sink,
// and the processor time used while a 60-second 44.1 kHz stereo wave plays (the client's own
// time: the server's share is the same for both and not counted). Run it inside the server:
//   scripts/pulse-test-server.sh run build/bench/bench_audio
// KELVORN_AUDIO_BENCH_SECONDS shortens the long play.
#include "platform/qt/audio/QtAudioDevice.h"
#include "sound/WavFile.h"

#include "PulseBench.h"
#include "SecondsReporter.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <map>
#include <string>

using namespace kelvorn;
using namespace kelvorn::bench;
namespace fs = std::filesystem;

namespace {

struct Setup
{
    fs::path dir;
    fs::path shortFile, longFile;
    int longSeconds = LongPlaySeconds();
    QAudioDevice output;
    std::unique_ptr<FirstSound> sink;

    Setup()
    {
        dir = RunDirectory("kv-bench-audio-");
        shortFile = dir / "short.wav";
        longFile = dir / "long.wav";
        WriteNoise(shortFile, PulseRate / 2);
        WriteNoise(longFile, PulseRate * longSeconds);
        output = QtAudioDevice::FindOutput(SinkName);
        sink = std::make_unique<FirstSound>(std::getenv("KELVORN_PULSE_SINK_PIPE"));
    }
    ~Setup() { fs::remove_all(dir); }

    static void WriteNoise(const fs::path& file, int32_t frames)
    {
        std::string message;
        if (!WriteWaveFile(nullptr, file.string(), StereoNoise(frames).get(), 0, -1, message))
            std::fprintf(stderr, "cannot write %s: %s\n", file.c_str(), message.c_str());
    }
};

Setup& TheSetup()
{
    static Setup setup;
    return setup;
}

/// Plays file with the device; answers the seconds from the command to the first sound, and
/// adds the processor seconds of the whole play to cpu.
double PlayOurs(const fs::path& file, double& cpu, std::string& error)
{
    Setup& s = TheSetup();
    QtAudioDevice audio(s.output, QAudioDevice());
    // An event loop that sleeps until the completion comes: no polling of our own is counted.
    QEventLoop loop;
    audio.SetCompletionHandler([&](AudioCompletion) { loop.quit(); });
    QTimer::singleShot((s.longSeconds + 30) * 1000, &loop, &QEventLoop::quit);
    audio.SetNotify(true);
    audio.SetFileName(file.string());
    s.sink->Arm();
    const double cpu0 = CpuSeconds(RUSAGE_SELF) - s.sink->CpuSeconds();
    const auto start = SteadyClock::now();
    if (!audio.Open(error) || !audio.Play(error))
        return 0;
    loop.exec();
    cpu += CpuSeconds(RUSAGE_SELF) - s.sink->CpuSeconds() - cpu0;
    return s.sink->LatencySince(start);
}

/// The same with paplay; its processor seconds are those of the child.
double PlayPeer(const fs::path& file, double& cpu, std::string& error)
{
    const PlayTimes times = PlayWithPaplay(*TheSetup().sink, file, error);
    cpu += times.cpu;
    return times.latency;
}

std::map<std::string, double> cpuPerAudioSecond;

template <bool Ours> void BM_Latency(benchmark::State& state)
{
    for (auto _ : state) {
        double cpu = 0;
        std::string error;
        const double latency = Ours ? PlayOurs(TheSetup().shortFile, cpu, error)
                                    : PlayPeer(TheSetup().shortFile, cpu, error);
        if (SkippedSilent(state, latency, error))
            return;
        state.SetIterationTime(latency);
    }
}

template <bool Ours> void BM_PlayCpu(benchmark::State& state)
{
    double cpu = 0;
    for (auto _ : state) {
        std::string error;
        const auto start = SteadyClock::now();
        const double latency = Ours ? PlayOurs(TheSetup().longFile, cpu, error)
                                    : PlayPeer(TheSetup().longFile, cpu, error);
        if (SkippedSilent(state, latency, error))
            return;
        state.SetIterationTime(SecondsBetween(start, SteadyClock::now()));
    }
    const double perSecond = cpu / state.iterations() / TheSetup().longSeconds;
    state.counters["cpu_percent"] = perSecond * 100;
    cpuPerAudioSecond[Ours ? "ours" : "peer"] = perSecond;
}

BENCHMARK(BM_Latency<true>)
    ->Name("BM_LatencyOurs")
    ->UseManualTime()
    ->Iterations(8)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Latency<false>)
    ->Name("BM_LatencyPaplay")
    ->UseManualTime()
    ->Iterations(8)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayCpu<true>)
    ->Name("BM_PlayCpuOurs")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayCpu<false>)
    ->Name("BM_PlayCpuPaplay")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!InsidePulseServer(argv[0]))
        return 0;
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (TheSetup().output.isNull()) {
        std::printf("the private PulseAudio server offers no %s\n", SinkName);
        return 1;
    }
    kelvorn::bench::SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& s = reporter.seconds;
    if (s.count("BM_LatencyOurs") && s.count("BM_LatencyPaplay"))
        std::printf("latency to the first sample: %.1f ms, paplay %.1f ms, ratio %.2f\n",
                    s["BM_LatencyOurs"] * 1e3, s["BM_LatencyPaplay"] * 1e3,
                    s["BM_LatencyOurs"] / s["BM_LatencyPaplay"]);
    auto& c = cpuPerAudioSecond;
    if (c.count("ours") && c.count("peer"))
        std::printf("processor time while playing %d s stereo: %.3f%% of one core, paplay "
                    "%.3f%%, ratio %.2f\n",
                    TheSetup().longSeconds, c["ours"] * 100, c["peer"] * 100,
                    c["ours"] / c["peer"]);
    benchmark::Shutdown();
    return 0;
}
