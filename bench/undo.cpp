// Undo and redo of a 10-minute 44.1 kHz stereo sound (about 106 MB of samples) swap sounds and
// positions and copy no sample: their time and the sample memory they allocate are measured
// beside one Volume of the same sound, which must make a whole new sound. The ratio is printed
// at the end.
#include "document/wave/UndoUnit.h"
#include "document/wave/UnitWave.h"
#include "sound/SoundOps.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>

// ---- Counting sample memory (AllocSamples uses the nothrow array form) -------------------------

namespace {
std::atomic<int64_t> sampleBytes{0};
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    sampleBytes.fetch_add(static_cast<int64_t>(size));
    return std::malloc(size ? size : 1);
}

void operator delete[](void* p) noexcept
{
    std::free(p);
}

void operator delete[](void* p, size_t) noexcept
{
    std::free(p);
}

namespace {

using namespace kelvorn;
using Clock = std::chrono::steady_clock;

constexpr int32_t TenMinutes = 600 * 44100;

SoundPtr MakeStereo(int32_t values, int seed)
{
    WavePtr left = CreateWave(nullptr, values);
    WavePtr right = CreateWave(nullptr, values);
    for (int32_t i = 0; i < values; ++i) {
        (*left)[i] = static_cast<int16_t>(i * seed);
        (*right)[i] = static_cast<int16_t>(-i * seed);
    }
    return std::make_shared<StereoSound>(std::move(left), std::move(right), 44100, 2);
}

/// A document after a command: its new sound in place, the old one in the undo record.
struct AfterCommand
{
    AfterCommand() : unit("Bench", "", MakeStereo(TenMinutes, 3))
    {
        unit.SetPos1(44100);
        unit.SetPos2(88200);
        record = std::make_unique<TUndoUnit>(unit);
        unit.ExchangeSound(MakeStereo(TenMinutes, 5));
        unit.SetCursor(1000);
    }
    TUnitWave unit;
    std::unique_ptr<TUndoUnit> record;
};

AfterCommand& Document()
{
    static AfterCommand doc;
    return doc;
}

double undoSeconds = 0, redoSeconds = 0, volumeSeconds = 0;

/// Times `timed` alone; `untimed` brings the document back to the state `timed` starts from.
template <typename Timed, typename Untimed>
double RunSwap(benchmark::State& state, Timed timed, Untimed untimed)
{
    int64_t bytesBefore = sampleBytes.load();
    double total = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        timed();
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        total += seconds;
        untimed();
    }
    state.counters["sampleBytes"] = static_cast<double>(sampleBytes.load() - bytesBefore) /
                                    static_cast<double>(state.iterations());
    return total / static_cast<double>(state.iterations());
}

void BM_Undo(benchmark::State& state)
{
    AfterCommand& doc = Document();
    undoSeconds = RunSwap(
        state, [&] { doc.record->Undo(); }, [&] { doc.record->Undo(); });
}
BENCHMARK(BM_Undo)->UseManualTime()->Unit(benchmark::kNanosecond);

void BM_Redo(benchmark::State& state)
{
    AfterCommand& doc = Document();
    doc.record->Undo();
    redoSeconds = RunSwap(
        state, [&] { doc.record->Undo(); }, [&] { doc.record->Undo(); });
    doc.record->Undo();
}
BENCHMARK(BM_Redo)->UseManualTime()->Unit(benchmark::kNanosecond);

void BM_Volume(benchmark::State& state)
{
    AfterCommand& doc = Document();
    AbortFlag abort = 0;
    int64_t bytesBefore = sampleBytes.load();
    double total = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        SoundUPtr result = Volume(*doc.unit.GetSound(), &abort, 0.5, 0, -1);
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        benchmark::DoNotOptimize(result.get());
        state.SetIterationTime(seconds);
        total += seconds;
    }
    state.counters["sampleBytes"] = static_cast<double>(sampleBytes.load() - bytesBefore) /
                                    static_cast<double>(state.iterations());
    volumeSeconds = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Volume)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (undoSeconds > 0 && redoSeconds > 0 && volumeSeconds > 0)
        std::printf("10-minute stereo: undo %.1f ns, redo %.1f ns, one Volume %.1f ms; "
                    "Volume / undo = %.3g, Volume / redo = %.3g\n",
                    undoSeconds * 1e9, redoSeconds * 1e9, volumeSeconds * 1e3,
                    volumeSeconds / undoSeconds, volumeSeconds / redoSeconds);
    return 0;
}
