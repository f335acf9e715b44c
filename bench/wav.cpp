// Reading and writing a 10-minute 44.1 kHz stereo 16-bit WAV file (about 106 MB), against `cp`
// of the same file and `sox -D in.wav out.wav` (no dither, like every sox peer) in the same run.
// The files live in memory-backed storage (/dev/shm) where there is some, or in KELVORN_BENCH_DIR,
// so that every contender reads from the page cache and no one waits for a disk.
#include "general/Messages.h"
#include "sound/Sound.h"
#include "sound/WavFile.h"

#include "SecondsReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>

using namespace kelvorn;
namespace fs = std::filesystem;

namespace {

constexpr int32_t Rate = 44100;
constexpr int32_t Frames = Rate * 600;

struct Files
{
    fs::path dir;
    fs::path in, outOurs, outCp, outSox;
    int64_t bytes = 0;
    SoundUPtr sound;

    Files()
    {
        const char* chosen = std::getenv("KELVORN_BENCH_DIR");
        fs::path base = chosen                   ? fs::path(chosen)
                        : fs::exists("/dev/shm") ? fs::path("/dev/shm")
                                                 : fs::temp_directory_path();
        dir = base / ("kv-bench-wav-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        in = dir / "in.wav";
        outOurs = dir / "ours.wav";
        outCp = dir / "cp.wav";
        outSox = dir / "sox.wav";
        AbortFlag flag = 0;
        WavePtr left = CreateWave(&flag, Frames), right = CreateWave(&flag, Frames);
        uint32_t s = 12345;
        for (int32_t i = 0; i < Frames; ++i) {
            s = s * 1664525u + 1013904223u;
            (*left)[i] = static_cast<int16_t>(s >> 16);
            (*right)[i] = static_cast<int16_t>(s);
        }
        sound = std::make_unique<StereoSound>(std::move(left), std::move(right), Rate, 2);
        std::string message;
        if (!WriteWaveFile(nullptr, in.string(), sound.get(), 0, -1, message))
            std::fprintf(stderr, "cannot write %s: %s\n", in.c_str(), message.c_str());
        bytes = static_cast<int64_t>(fs::file_size(in));
        std::printf("files in %s, %.1f MB each\n", dir.c_str(), bytes / 1e6);
    }
    ~Files() { fs::remove_all(dir); }
};

Files& TheFiles()
{
    static Files files;
    return files;
}

bool Shell(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

void BM_ReadWav(benchmark::State& state)
{
    Files& f = TheFiles();
    for (auto _ : state) {
        SoundUPtr sound;
        std::string message;
        if (!ReadWaveFile(f.in.string(), sound, message))
            state.SkipWithError(message.c_str());
        benchmark::DoNotOptimize(sound);
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

void BM_WriteWav(benchmark::State& state)
{
    Files& f = TheFiles();
    for (auto _ : state) {
        std::string message;
        if (!WriteWaveFile(nullptr, f.outOurs.string(), f.sound.get(), 0, -1, message))
            state.SkipWithError(message.c_str());
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

void BM_Cp(benchmark::State& state)
{
    Files& f = TheFiles();
    for (auto _ : state)
        if (!Shell("cp '" + f.in.string() + "' '" + f.outCp.string() + "'"))
            state.SkipWithError("cp failed");
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

void BM_Sox(benchmark::State& state)
{
    Files& f = TheFiles();
    if (!Shell("command -v sox")) {
        state.SkipWithError("sox is not on PATH");
        return;
    }
    for (auto _ : state)
        if (!Shell("sox -D '" + f.in.string() + "' '" + f.outSox.string() + "'"))
            state.SkipWithError("sox failed");
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

BENCHMARK(BM_ReadWav)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_WriteWav)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_Cp)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_Sox)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TheFiles();
    kelvorn::bench::SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& s = reporter.seconds;
    const double mb = TheFiles().bytes / 1e6;
    if (s.count("BM_ReadWav") && s.count("BM_WriteWav")) {
        const double ours = s["BM_ReadWav"] + s["BM_WriteWav"];
        std::printf("read %.0f MB/s, write %.0f MB/s, read + write %.1f ms\n", mb / s["BM_ReadWav"],
                    mb / s["BM_WriteWav"], ours * 1e3);
        if (s.count("BM_Cp"))
            std::printf("read + write / cp: %.2f (cp %.1f ms, %.0f MB/s)\n", ours / s["BM_Cp"],
                        s["BM_Cp"] * 1e3, mb / s["BM_Cp"]);
        if (s.count("BM_Sox"))
            std::printf("read + write / sox: %.2f (sox %.1f ms, %.0f MB/s)\n", ours / s["BM_Sox"],
                        s["BM_Sox"] * 1e3, mb / s["BM_Sox"]);
    }
    benchmark::Shutdown();
    return 0;
}
