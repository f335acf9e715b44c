// Samples per second of the wave primitives on 60 s of 44.1 kHz audio, with sox doing the same
// effect on the same samples in the same run. sox's cost of reading and writing alone (the same
// command without the effect) is subtracted, so the ratio compares the effects themselves.

#include "sound/WavePrimitives.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

using namespace kelvorn;

namespace {

constexpr int32_t Rate = 44100;
constexpr int64_t Samples = 60LL * Rate;

/// A minute of something like music: three partials and a little noise, never clipping.
const Wave& Audio()
{
    static WavePtr audio = [] {
        AbortFlag flag = 0;
        WavePtr w = CreateWave(&flag, Samples);
        uint32_t state = 12345;
        for (int64_t i = 0; i < Samples; ++i) {
            state = state * 1103515245u + 12345u;
            const double t = static_cast<double>(i) / Rate;
            const double v = 9000 * std::sin(2 * M_PI * 220 * t) +
                             6000 * std::sin(2 * M_PI * 331 * t) +
                             3000 * std::sin(2 * M_PI * 1210 * t) +
                             static_cast<double>((state >> 16) % 2001) - 1000;
            (*w)[static_cast<int32_t>(i)] = static_cast<int16_t>(v);
        }
        return w;
    }();
    return *audio;
}

const Wave& Envelope()
{
    static WavePtr envelope = [] {
        AbortFlag flag = 0;
        WavePtr w = CreateWave(&flag, 1000);
        for (int32_t i = 0; i < 1000; ++i)
            (*w)[i] = static_cast<int16_t>(32767 * std::sin(M_PI * i / 999.0));
        return w;
    }();
    return *envelope;
}

template <class Op> void Measure(benchmark::State& state, Op op)
{
    const Wave& audio = Audio();
    for (auto _ : state) {
        AbortFlag abort = 0;
        WavePtr out = op(audio, &abort);
        benchmark::DoNotOptimize(out);
        if (!out || abort)
            state.SkipWithError("the operation failed");
    }
    state.SetItemsProcessed(state.iterations() * Samples);
}

void BM_Volume(benchmark::State& state)
{
    Measure(state, [](const Wave& w, AbortFlag* a) { return volume(w, a, 0.5, 0, -1); });
}

void BM_VolumeInPlace(benchmark::State& state)
{
    AbortFlag flag = 0;
    WavePtr w = CreateWaveCopy(&flag, &Audio());
    for (auto _ : state) {
        AbortFlag abort = 0;
        // Alternating factors keep the values from dying out.
        volumeInPlace(*w, &abort, (state.iterations() & 1) ? 0.5 : 1.99, 0, -1);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * Samples);
}

void BM_VolumeEnvelope(benchmark::State& state)
{
    Measure(state,
            [](const Wave& w, AbortFlag* a) { return volumeEnvelope(w, a, &Envelope(), 0, -1); });
}

void BM_Reverse(benchmark::State& state)
{
    Measure(state, [](const Wave& w, AbortFlag* a) { return reverse(w, a, 0, -1); });
}

void BM_MoveV(benchmark::State& state)
{
    Measure(state, [](const Wave& w, AbortFlag* a) { return moveV(w, a, 1234, 0, -1); });
}

void BM_MoveH(benchmark::State& state)
{
    // A third of a second to the right, a fraction of a value included.
    const double shift = 0.3337 * Rate;
    Measure(state, [shift](const Wave& w, AbortFlag* a) {
        int64_t before = 0;
        int64_t after = 0;
        int32_t begin = Rate;
        int32_t end = w.Values() - Rate;
        moveHMargins(w, shift, shift, begin, end, &before, &after);
        return moveH(w, a, shift, before, after, &begin, &end);
    });
}

void BM_Resample(benchmark::State& state)
{
    Measure(state,
            [](const Wave& w, AbortFlag* a) { return resampleFactor(w, a, 48000.0 / Rate); });
}

BENCHMARK(BM_Volume)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VolumeInPlace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VolumeEnvelope)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reverse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveV)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveH)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Resample)->Unit(benchmark::kMillisecond);

/// Keeps the console output and remembers each benchmark's samples per second.
class Recorder : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            // With repetitions the median stands for the benchmark.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            auto it = run.counters.find("items_per_second");
            if (it != run.counters.end())
                speed[run.run_name.function_name] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> speed;
};

/// The fastest of a few runs of a shell command, in seconds; negative when it failed.
double TimeCommand(const std::string& command, int runs)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0)
            return -1;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

struct Peer
{
    const char* ours;
    const char* effect;
    const char* outputRate;
};

void CompareWithSox(const std::map<std::string, double>& speed)
{
    if (std::system("sox --version > /dev/null 2>&1") != 0) {
        std::printf("\nsox not found: no peer figures.\n");
        return;
    }
    char pattern[] = "/tmp/kelvorn-bench-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::printf("\nno temporary directory: no peer figures.\n");
        return;
    }
    const std::filesystem::path dir = pattern;
    const std::string input = (dir / "in.raw").string();
    {
        std::ofstream out(input, std::ios::binary);
        out.write(reinterpret_cast<const char*>(Audio().Data()),
                  static_cast<std::streamsize>(Samples * sizeof(int16_t)));
    }
    const std::string format = "-t raw -r 44100 -e signed -b 16 -c 1 ";
    const auto command = [&](const char* rate, const std::string& effect) {
        return "sox -q " + format + input + " -t raw" + (rate ? std::string(" -r ") + rate : "") +
               " -e signed -b 16 -c 1 " + (dir / "out.raw").string() + " " + effect;
    };
    constexpr int Runs = 7;
    const double copy = TimeCommand(command(nullptr, ""), Runs);
    const Peer peers[] = {
        {"BM_Volume", "vol 0.5", nullptr},      {"BM_VolumeInPlace", "vol 0.5", nullptr},
        {"BM_Reverse", "reverse", nullptr},     {"BM_Resample", "rate -q 48000", "48000"},
        {"BM_Resample", "rate 48000", "48000"},
    };
    std::printf("\nsox on the same %lld samples; its read and write alone take %.1f ms\n",
                static_cast<long long>(Samples), copy * 1e3);
    std::printf("%-18s %-16s %12s %12s %10s\n", "ours", "sox effect", "ours M/s", "sox M/s",
                "ours/sox");
    for (const Peer& p : peers) {
        const auto it = speed.find(p.ours);
        if (it == speed.end())
            continue;
        const double withEffect = TimeCommand(command(p.outputRate, p.effect), Runs);
        const double ours = it->second / 1e6;
        if (copy < 0 || withEffect < 0) {
            std::printf("%-18s %-16s %12.1f %12s %10s\n", p.ours, p.effect, ours, "failed", "-");
            continue;
        }
        // Below a millisecond the difference is noise: count it as one millisecond, which
        // favours sox.
        const double effectOnly = std::max(withEffect - copy, 1e-3);
        const double sox = static_cast<double>(Samples) / effectOnly / 1e6;
        std::printf("%-18s %-16s %12.1f %12.1f %10.2f\n", p.ours, p.effect, ours, sox, ours / sox);
    }
    for (const char* alone : {"BM_VolumeEnvelope", "BM_MoveV", "BM_MoveH"}) {
        const auto it = speed.find(alone);
        if (it != speed.end())
            std::printf("%-18s %-16s %12.1f %12s %10s\n", alone, "(no sox peer)", it->second / 1e6,
                        "-", "-");
    }
    std::filesystem::remove_all(dir);
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Recorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    CompareWithSox(recorder.speed);
    benchmark::Shutdown();
    return 0;
}
