#pragma once
// What the engine benchmarks share: a minute of 44.1 kHz audio, a loop that runs an operation on
// it, and sox as the peer doing the same effect on the same samples in the same run. sox's cost
// of reading and writing alone (the same command without the effect) is subtracted, so the ratio
// compares the effects themselves.

#include "sound/Wave.h"

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

namespace kelvorn::bench {

inline constexpr int32_t Rate = 44100;
inline constexpr int64_t Samples = 60LL * Rate;

/// A minute of something like music: three partials and a little noise, never clipping.
inline const Wave& Audio()
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

/// Keeps the console output and remembers each benchmark's samples per second, by its full name
/// with arguments ("BM_PeriodEcho/4"), and the order the benchmarks ran in.
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
            if (it == run.counters.end())
                continue;
            const std::string name = run.run_name.str();
            if (!speed.count(name))
                order.push_back(name);
            speed[name] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> speed;
    /// The names in the order they ran.
    std::vector<std::string> order;
};

/// The fastest of a few runs of a shell command, in seconds; negative when it failed.
inline double TimeCommand(const std::string& command, int runs)
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

/// One of our benchmarks and the sox effect that does the same.
struct Peer
{
    const char* ours;
    const char* effect;
    /// The rate sox writes; null keeps the input's.
    const char* outputRate = nullptr;
};

/// How one benchmark binary asks sox and lays out its table.
struct SoxComparison
{
    /// Put before the formats, e.g. "-q -V1 -D" to keep sox from dithering.
    const char* soxOptions;
    std::vector<Peer> peers;
    /// Column widths: our name, the sox effect, each speed, the ratio.
    int nameWidth;
    int effectWidth;
    int speedWidth;
    int ratioWidth;
};

/// Times sox on the same samples for every peer that was measured, prints the table of speeds
/// and ratios, and lists every measured benchmark without a peer after it, in the order they ran.
inline void CompareWithSox(const Recorder& measured, const SoxComparison& c)
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
    const std::string rate = std::to_string(Rate);
    const auto command = [&](const char* outputRate, const std::string& effect) {
        const std::string format = " -e signed -b 16 -c 1 ";
        return std::string("sox ") + c.soxOptions + " -t raw -r " + rate + format + input +
               " -t raw -r " + (outputRate ? outputRate : rate) + format +
               (dir / "out.raw").string() + " " + effect;
    };
    constexpr int Runs = 7;
    const double copy = TimeCommand(command(nullptr, ""), Runs);
    std::printf("\nsox on the same %lld samples; its read and write alone take %.1f ms\n",
                static_cast<long long>(Samples), copy * 1e3);
    std::printf("%-*s %-*s %*s %*s %*s\n", c.nameWidth, "ours", c.effectWidth, "sox effect",
                c.speedWidth, "ours M/s", c.speedWidth, "sox M/s", c.ratioWidth, "ours/sox");
    // sox's speed is printed only when missing is null; otherwise missing stands in its column.
    const auto row = [&](const char* name, const char* effect, double ours, double sox,
                         const char* missing) {
        std::printf("%-*s %-*s %*.1f ", c.nameWidth, name, c.effectWidth, effect, c.speedWidth,
                    ours);
        if (missing)
            std::printf("%*s %*s\n", c.speedWidth, missing, c.ratioWidth, "-");
        else
            std::printf("%*.1f %*.2f\n", c.speedWidth, sox, c.ratioWidth, ours / sox);
    };
    const std::map<std::string, double>& speed = measured.speed;
    for (const Peer& p : c.peers) {
        const auto it = speed.find(p.ours);
        if (it == speed.end())
            continue;
        const double withEffect = TimeCommand(command(p.outputRate, p.effect), Runs);
        const double ours = it->second / 1e6;
        if (copy < 0 || withEffect < 0) {
            row(p.ours, p.effect, ours, 0, "failed");
            continue;
        }
        // Below a millisecond the difference is noise: count it as one millisecond, which
        // favours sox.
        const double effectOnly = std::max(withEffect - copy, 1e-3);
        row(p.ours, p.effect, ours, static_cast<double>(Samples) / effectOnly / 1e6, nullptr);
    }
    for (const std::string& name : measured.order) {
        bool compared = false;
        for (const Peer& p : c.peers)
            compared = compared || name == p.ours;
        if (!compared)
            row(name.c_str(), "(no sox peer)", speed.at(name) / 1e6, 0, "-");
    }
    std::filesystem::remove_all(dir);
}

/// The whole main of an engine benchmark: run the benchmarks, then compare with sox.
inline int RunAgainstSox(int argc, char** argv, const SoxComparison& comparison)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Recorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    CompareWithSox(recorder, comparison);
    benchmark::Shutdown();
    return 0;
}

} // namespace kelvorn::bench
