#pragma once
// What the engine benchmarks share: a minute of 44.1 kHz audio, a loop that runs an operation on
// it, and sox as the peer doing the same effect on the same samples in the same run, always with
// -D (no dither: sox's dither would be most of its time for the cheap effects).
//
// Two figures per effect. First the one a user feels: a whole job, from the WAV file on disk to
// the effect's result in fresh memory, against `sox -D in.wav -n <effect>`, each side a process
// started afresh and timed by its processor time (the machine may be shared). Then the effects
// alone: ours in a warm loop, sox's cost of reading and writing alone (the same command without
// the effect) subtracted from its run.

#include "ChildProcess.h"
#include "sound/Sound.h"
#include "sound/WavFile.h"
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
#include <sstream>
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

/// An operation of ours on a whole wave, making its result in fresh memory.
using WaveOperation = WavePtr (*)(const Wave&, AbortFlag*);

/// One of our benchmarks and the sox effect that does the same.
struct Peer
{
    const char* ours;
    const char* effect;
    /// The rate sox writes; null keeps the input's.
    const char* outputRate = nullptr;
    /// The operation the benchmark runs, for the whole job; null leaves the peer out of it.
    WaveOperation operation = nullptr;
};

/// Options every sox peer runs with: quiet, and -D so that sox does no dither.
inline constexpr const char* SoxOptions = "-q -V1 -D";

/// How one benchmark binary lays out its table.
struct SoxComparison
{
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
        return std::string("sox ") + SoxOptions + " -t raw -r " + rate + format + input +
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
    // A mark follows a ratio whose sox speed is only a floor.
    bool floors = false;
    const auto row = [&](const char* name, const char* effect, double ours, double sox,
                         const char* missing, const char* mark = "") {
        std::printf("%-*s %-*s %*.1f ", c.nameWidth, name, c.effectWidth, effect, c.speedWidth,
                    ours);
        if (missing)
            std::printf("%*s %*s\n", c.speedWidth, missing, c.ratioWidth, "-");
        else
            std::printf("%*.1f %*.2f%s\n", c.speedWidth, sox, c.ratioWidth, ours / sox, mark);
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
        // Below a millisecond the difference is noise: it counts as one millisecond. That
        // lowers sox's speed, so for such an effect the ratio flatters ours: it is marked.
        const bool floored = withEffect - copy < 1e-3;
        floors = floors || floored;
        row(p.ours, p.effect, ours,
            static_cast<double>(Samples) / std::max(withEffect - copy, 1e-3) / 1e6, nullptr,
            floored ? " *" : "");
    }
    for (const std::string& name : measured.order) {
        bool compared = false;
        for (const Peer& p : c.peers)
            compared = compared || name == p.ours;
        if (!compared)
            row(name.c_str(), "(no sox peer)", speed.at(name) / 1e6, 0, "-");
    }
    if (floors)
        std::printf("* sox's effect took under 1 ms beyond its read and write and counts as 1 ms: "
                    "sox is at least this fast, the ratio at most what it says\n");
    std::filesystem::remove_all(dir);
}

/// The option by which a benchmark binary runs one whole job of ours as a process of its own:
/// `<binary> --whole-job <peer index> <file.wav>`.
inline constexpr const char* WholeJobOption = "--whole-job";

/// The job's side of the whole-job figure, in the child: the WAV file read into a new sound
/// through the program's own reader and the peer's operation run on it, its result in fresh
/// memory. Answers the process's exit code.
inline int RunWholeJob(const SoxComparison& c, const char* index, const char* file)
{
    const long peer = std::strtol(index, nullptr, 10);
    if (peer < 0 || peer >= static_cast<long>(c.peers.size()) ||
        !c.peers[static_cast<size_t>(peer)].operation)
        return 2;
    SoundUPtr sound;
    std::string message;
    if (!ReadWaveFile(file, sound, message) || !sound->GetLeftWave())
        return 1;
    AbortFlag abort = 0;
    WavePtr result = c.peers[static_cast<size_t>(peer)].operation(*sound->GetLeftWave(), &abort);
    return result && !abort ? 0 : 1;
}

/// The words of a command line (no quoting: the bench's paths and effects have no spaces).
inline std::vector<std::string> Words(const std::string& command)
{
    std::vector<std::string> words;
    std::istringstream in(command);
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

/// The figure a user feels, printed before any other: for every peer with an operation, the
/// minute of audio as a WAV file read into a new sound and the operation run on it, its result
/// left in fresh memory, against `sox -D in.wav -n <effect>`. Both sides are whole processes
/// started afresh (ours is this binary again, with WholeJobOption), timed by the processor time
/// of each child, a run of ours and one of sox in turns so that a change in the machine's load
/// falls on both; the median of each side counts.
inline void CompareWholeJobs(const SoxComparison& c)
{
    std::vector<size_t> jobs;
    for (size_t i = 0; i < c.peers.size(); ++i)
        if (c.peers[i].operation)
            jobs.push_back(i);
    if (jobs.empty())
        return;
    char pattern[] = "/tmp/kelvorn-bench-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::printf("no temporary directory: no whole-job figures.\n");
        return;
    }
    const std::filesystem::path dir = pattern;
    const std::string input = (dir / "in.wav").string();
    {
        AbortFlag flag = 0;
        MonoSound sound(CreateWaveCopy(&flag, &Audio()), Rate, 2);
        std::string message;
        if (!WriteWaveFile(nullptr, input, &sound, 0, -1, message)) {
            std::printf("cannot write %s: %s: no whole-job figures.\n", input.c_str(),
                        message.c_str());
            std::filesystem::remove_all(dir);
            return;
        }
    }
    const bool haveSox = std::system("sox --version > /dev/null 2>&1") == 0;
    constexpr int Runs = 11;
    std::printf(
        "\nWhole jobs, each a process of its own as a user runs it: the %lld-sample mono WAV file "
        "read and the effect run\ninto fresh memory, against sox %s in.wav -n <effect>; "
        "processor time of each process, median of %d runs\neach, ours and sox's in turns "
        "(\"pairs\": the lowest and highest sox/ours of one turn)\n",
        static_cast<long long>(Samples), SoxOptions, Runs);
    std::printf("%-*s %-*s %10s %10s %10s %13s\n", c.nameWidth, "ours", c.effectWidth, "sox effect",
                "ours ms", "sox ms", "sox/ours", "pairs");
    for (const size_t job : jobs) {
        const Peer& p = c.peers[job];
        std::vector<double> ours, sox, ratios;
        bool oursFailed = false;
        bool soxFailed = !haveSox;
        for (int i = 0; i < Runs && !oursFailed; ++i) {
            const double mine =
                ChildCpuSeconds({"/proc/self/exe", WholeJobOption, std::to_string(job), input});
            oursFailed = mine < 0;
            ours.push_back(mine);
            if (soxFailed)
                continue;
            const double theirs = ChildCpuSeconds(
                Words(std::string("sox ") + SoxOptions + " " + input + " -n " + p.effect));
            soxFailed = theirs < 0;
            sox.push_back(theirs);
            if (!oursFailed && !soxFailed && mine > 0)
                ratios.push_back(theirs / mine);
        }
        std::printf("%-*s %-*s ", c.nameWidth, p.ours, c.effectWidth, p.effect);
        if (oursFailed)
            std::printf("%10s ", "failed");
        else
            std::printf("%10.1f ", Median(ours) * 1e3);
        if (soxFailed)
            std::printf("%10s %10s %13s\n", haveSox ? "failed" : "no sox", "-", "-");
        else if (oursFailed || ratios.empty())
            std::printf("%10.1f %10s %13s\n", Median(sox) * 1e3, "-", "-");
        else {
            char pairs[32];
            std::snprintf(pairs, sizeof pairs, "%.2f-%.2f",
                          *std::min_element(ratios.begin(), ratios.end()),
                          *std::max_element(ratios.begin(), ratios.end()));
            std::printf("%10.1f %10.2f %13s\n", Median(sox) * 1e3, Median(sox) / Median(ours),
                        pairs);
        }
    }
    std::printf("\n");
    std::fflush(stdout);
    std::filesystem::remove_all(dir);
}

/// The whole main of an engine benchmark: the whole jobs first, then the benchmarks, then the
/// effects alone against sox; or, called with WholeJobOption, one whole job of ours.
inline int RunAgainstSox(int argc, char** argv, const SoxComparison& comparison)
{
    if (argc == 4 && std::string(argv[1]) == WholeJobOption)
        return RunWholeJob(comparison, argv[2], argv[3]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CompareWholeJobs(comparison);
    Recorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    CompareWithSox(recorder, comparison);
    benchmark::Shutdown();
    return 0;
}

} // namespace kelvorn::bench
