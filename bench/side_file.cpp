// Saving and loading the side file of a wave being drawn with 10,000 drawing points (about
// 1.2 MB of XML), against a plain safe copy of the same bytes in the same run: read the file
// whole, write it to a temporary file and rename it over the target, as every save does. The
// files live in memory-backed storage (/dev/shm) where there is some, or in KELVORN_BENCH_DIR.
#include "document/wave/SideFile.h"
#include "document/wave/UnitWave.h"
#include "general/files/SafeFile.h"

#include "SecondsReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

using namespace kelvorn;
namespace fs = std::filesystem;

namespace {

constexpr int Points = 10000;

struct Fixture
{
    fs::path dir;
    std::string waveFile;
    std::string sideFile;
    std::string copyFile;
    int64_t bytes = 0;
    std::unique_ptr<TUnitWave> wave;

    Fixture()
    {
        const char* chosen = std::getenv("KELVORN_BENCH_DIR");
        fs::path base = chosen                   ? fs::path(chosen)
                        : fs::exists("/dev/shm") ? fs::path("/dev/shm")
                                                 : fs::temp_directory_path();
        dir = base / ("kv-bench-side-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        waveFile = (dir / "drawn.wav").string();
        sideFile = SideFileName(waveFile);
        copyFile = (dir / "copy.kvw").string();

        // A drawing as a user makes it: nodes at irregular places with any value.
        wave = std::make_unique<TUnitWave>("drawn", "", std::make_shared<MonoSound>(44100, 2));
        wave->StartUserDrawing(TUnitWave::DrawLinear);
        uint32_t state = 12345;
        for (int i = 1; i < Points - 1; ++i) {
            state = state * 1103515245u + 12345u;
            double position = (i + (state >> 16) / 65536.0 * 0.5) / (Points - 1);
            int16_t value = static_cast<int16_t>(static_cast<int32_t>(state >> 8) % 65535 - 32767);
            wave->InsertDrawNode(std::make_unique<TDrawNode>(value, position));
        }
        wave->SetDrawLength(2.5);
        if (!wave->SaveShadowFile(waveFile))
            std::abort();
        bytes = static_cast<int64_t>(fs::file_size(sideFile));
    }
    ~Fixture()
    {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
};

Fixture& TheFixture()
{
    static Fixture fixture;
    return fixture;
}

void BM_SaveSideFile(benchmark::State& state)
{
    Fixture& f = TheFixture();
    for (auto _ : state)
        if (!f.wave->SaveShadowFile(f.waveFile))
            state.SkipWithError("save failed");
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

void BM_LoadSideFile(benchmark::State& state)
{
    Fixture& f = TheFixture();
    TUnitWave wave("loaded", "", std::make_shared<MonoSound>(44100, 2));
    for (auto _ : state) {
        SoundPtr sound;
        std::string message;
        if (wave.LoadShadowFile(f.sideFile, message, false, sound) != 1)
            state.SkipWithError(message.c_str());
    }
    if (wave.GetDrawNodeCount() != Points)
        state.SkipWithError("wrong node count");
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

void BM_SafeCopy(benchmark::State& state)
{
    Fixture& f = TheFixture();
    for (auto _ : state) {
        std::ifstream in(f.sideFile, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        std::string reason;
        if (!WriteFileSafely(f.copyFile, text.str(), reason))
            state.SkipWithError(reason.c_str());
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

BENCHMARK(BM_SaveSideFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_LoadSideFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_SafeCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TheFixture();
    kelvorn::bench::SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& s = reporter.seconds;
    std::printf("side file of %d drawing points: %.0f kB\n", Points, TheFixture().bytes / 1e3);
    if (s.count("BM_SafeCopy")) {
        if (s.count("BM_SaveSideFile"))
            std::printf("save %.2f ms, save / safe copy: %.1f\n", s["BM_SaveSideFile"] * 1e3,
                        s["BM_SaveSideFile"] / s["BM_SafeCopy"]);
        if (s.count("BM_LoadSideFile"))
            std::printf("load %.2f ms, load / safe copy: %.1f\n", s["BM_LoadSideFile"] * 1e3,
                        s["BM_LoadSideFile"] / s["BM_SafeCopy"]);
        std::printf("safe copy %.3f ms\n", s["BM_SafeCopy"] * 1e3);
    }
    benchmark::Shutdown();
    return 0;
}
