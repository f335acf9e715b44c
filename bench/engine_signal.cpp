// Samples per second of the signal operations and filters on 60 s of 44.1 kHz audio, with sox
// doing the same effect on the same samples in the same run where it has one. sox's cost of
// reading and writing alone (the same command without the effect) is subtracted, so the ratio
// compares the effects themselves.

#include "sound/Filters.h"
#include "sound/SineTable.h"
#include "sound/WaveSignal.h"

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
#include <vector>

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

/// Runs op on the minute of audio; counts `produced` samples per run (the input's by default).
template <class Op> void Measure(benchmark::State& state, Op op, int64_t produced = Samples)
{
    const Wave& audio = Audio();
    for (auto _ : state) {
        AbortFlag abort = 0;
        WavePtr out = op(audio, &abort);
        benchmark::DoNotOptimize(out);
        if (!out || abort)
            state.SkipWithError("the operation failed");
    }
    state.SetItemsProcessed(state.iterations() * produced);
}

// A one-pole corner at 1 kHz, 3 dB down there (what sox's single-pole filters do).
constexpr double Corner = Rate / 1000.0;
constexpr double HalfPower = 0.70710678;

void BM_LowFilter(benchmark::State& state)
{
    Measure(state, [](const Wave& w, AbortFlag* a) {
        return lowFilter(w, a, Corner, HalfPower, 1, 1, 0, -1);
    });
}

void BM_HighFilter(benchmark::State& state)
{
    Measure(state, [](const Wave& w, AbortFlag* a) {
        return highFilter(w, a, Corner, HalfPower, 1, 1, 0, -1);
    });
}

void BM_LowFilterEnvelope(benchmark::State& state)
{
    static const Wave sweep = [] {
        AbortFlag flag = 0;
        Wave w(&flag, 1000);
        for (int32_t i = 0; i < 1000; ++i)
            w[i] = static_cast<int16_t>(-20000 + 40 * i);
        return w;
    }();
    Measure(state, [](const Wave& w, AbortFlag* a) {
        return lowFilterEnv(w, a, &sweep, HalfPower, 1, 1, Rate, 0, -1);
    });
}

void BM_Resonance(benchmark::State& state)
{
    Measure(state,
            [](const Wave& w, AbortFlag* a) { return resFilter(w, a, Corner, 0.05, 0, -1); });
}

void BM_Notch(benchmark::State& state)
{
    Measure(state,
            [](const Wave& w, AbortFlag* a) { return notchFilter(w, a, Corner, 0.05, 0, -1); });
}

void BM_BlockFilter(benchmark::State& state)
{
    Measure(state, [](const Wave& w, AbortFlag* a) {
        int32_t begin = 0;
        int32_t end = -1;
        return blockFilter(w, a, 20.0, &begin, &end);
    });
}

/// Echoes 100 ms apart, each half as loud as the one before.
void BM_PeriodEcho(benchmark::State& state)
{
    const auto count = static_cast<int32_t>(state.range(0));
    Measure(state, [count](const Wave& w, AbortFlag* a) {
        int32_t begin = 0;
        int32_t end = -1;
        return periodEcho(w, a, 0.1 * Rate, 0.5, count, &begin, &end);
    });
}

/// 25 % faster in blocks of 30 ms, pitch kept; or an octave up at the same tempo.
void BM_TempoPitch(benchmark::State& state)
{
    const bool two = state.range(0) == 2;
    const bool pitch = state.range(1) == 1;
    Measure(state, [two, pitch](const Wave& w, AbortFlag* a) {
        int32_t begin = 0;
        int32_t end = -1;
        const double speed = pitch ? 1.0 : 1.25;
        const double length = pitch ? 1.0 : 0.8;
        const double step = pitch ? 2.0 : 1.0;
        return (two ? tempoPitch2 : tempoPitch)(w, a, speed, 0.0, length, step, 1323, &begin, &end);
    });
}

/// A minute of partials at harmonic periods of a 220 Hz tone, made from nothing.
void BM_MFreq(benchmark::State& state)
{
    AbortFlag flag = 0;
    if (!Sinus())
        CreateSinus(&flag);
    const auto count = static_cast<int32_t>(state.range(0));
    std::vector<double> amplitudes, periods, phases, decays;
    for (int32_t j = 0; j < count; ++j) {
        amplitudes.push_back(0.9 / count);
        periods.push_back(Rate / (220.0 * (j + 1)));
        phases.push_back(0.1 * (j % 10));
        decays.push_back(0.9999999);
    }
    const Wave empty;
    for (auto _ : state) {
        AbortFlag abort = 0;
        int32_t begin = 0;
        int32_t end = 0;
        WavePtr out = makeMFreq(empty, &abort, Samples, count, amplitudes.data(), periods.data(),
                                phases.data(), decays.data(), &begin, &end);
        benchmark::DoNotOptimize(out);
        if (!out || abort)
            state.SkipWithError("the operation failed");
    }
    state.SetItemsProcessed(state.iterations() * Samples);
}

BENCHMARK(BM_LowFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HighFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LowFilterEnvelope)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Resonance)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Notch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlockFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeriodEcho)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TempoPitch)
    ->ArgNames({"heads", "pitch"})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({1, 1})
    ->Args({2, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MFreq)->Arg(1)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);

/// Keeps the console output and remembers each benchmark's samples per second.
class Recorder : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            auto it = run.counters.find("items_per_second");
            if (it != run.counters.end())
                speed[run.benchmark_name()] = it->second.value;
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
    const auto command = [&](const std::string& effect) {
        return "sox -q -V1 -D " + format + input + " " + format + (dir / "out.raw").string() + " " +
               effect;
    };
    constexpr int Runs = 7;
    const double copy = TimeCommand(command(""), Runs);
    const Peer peers[] = {
        {"BM_LowFilter", "lowpass -1 1000"},
        {"BM_HighFilter", "highpass -1 1000"},
        {"BM_PeriodEcho/1", "echo 1 1 100 0.5"},
        {"BM_PeriodEcho/4", "echo 1 1 100 0.5 200 0.25 300 0.125 400 0.0625"},
        {"BM_TempoPitch/heads:1/pitch:0", "tempo 1.25 30"},
        {"BM_TempoPitch/heads:2/pitch:0", "tempo 1.25 30"},
        {"BM_MFreq/1", "synth sine 220"},
    };
    std::printf("\nsox on the same %lld samples; its read and write alone take %.1f ms\n",
                static_cast<long long>(Samples), copy * 1e3);
    std::printf("%-32s %-48s %10s %10s %9s\n", "ours", "sox effect", "ours M/s", "sox M/s",
                "ours/sox");
    for (const Peer& p : peers) {
        const auto it = speed.find(p.ours);
        if (it == speed.end())
            continue;
        const double withEffect = TimeCommand(command(p.effect), Runs);
        const double ours = it->second / 1e6;
        if (copy < 0 || withEffect < 0) {
            std::printf("%-32s %-48s %10.1f %10s %9s\n", p.ours, p.effect, ours, "failed", "-");
            continue;
        }
        // Below a millisecond the difference is noise: count it as one millisecond, which
        // favours sox.
        const double effectOnly = std::max(withEffect - copy, 1e-3);
        const double sox = static_cast<double>(Samples) / effectOnly / 1e6;
        std::printf("%-32s %-48s %10.1f %10.1f %9.2f\n", p.ours, p.effect, ours, sox, ours / sox);
    }
    for (const auto& [name, value] : speed) {
        bool compared = false;
        for (const Peer& p : peers)
            compared = compared || name == p.ours;
        if (!compared)
            std::printf("%-32s %-48s %10.1f %10s %9s\n", name.c_str(), "(no sox peer)", value / 1e6,
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
