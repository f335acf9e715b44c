// Peak memory and speed of sound operations on a 10-minute 44.1 kHz stereo sound (about 106 MB
// of samples). Every allocation of this program is counted, so the peak of one operation is
// measured directly and compared with the bound it must keep: the sound plus its result (any
// other sound it reads, an envelope or a partner, exists before and after and is not counted).
// The peer for speed is a plain copy of both channels, run in the same binary.
#include "general/Messages.h"
#include "sound/SoundOps.h"
#include "sound/WavePrimitives.h"

#include "AllocationCounter.h"
#include "SecondsReporter.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <string>

using namespace kelvorn;

namespace {

constexpr int32_t Rate = 44100;
constexpr int32_t Frames = Rate * 600;

WavePtr Noise(int32_t n, uint32_t seed)
{
    WavePtr w = CreateWave(nullptr, n);
    for (int32_t i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        (*w)[i] = static_cast<int16_t>(seed >> 16);
    }
    return w;
}

struct Sounds
{
    std::unique_ptr<StereoSound> sound =
        std::make_unique<StereoSound>(Noise(Frames, 1), Noise(Frames, 2), Rate, 2);
    std::unique_ptr<StereoSound> envelope =
        std::make_unique<StereoSound>(Noise(1000, 3), Noise(1000, 4), Rate, 2);
    // A minute of stereo at half the rate: read at this rate it is resampled channel by channel.
    std::unique_ptr<StereoSound> partner = std::make_unique<StereoSound>(
        Noise(Rate / 2 * 60, 5), Noise(Rate / 2 * 60, 6), Rate / 2, 2);
};

Sounds& TheSounds()
{
    static Sounds sounds;
    return sounds;
}

int64_t BytesOf(const Sound& s)
{
    return int64_t{s.GetValues()} * s.GetMonoStereo() * 2;
}

struct Peak
{
    double overSound = 0;          // peak of the operation / the sound
    double overSoundAndResult = 0; // peak / (sound + result): at most 1 is the bound
};
std::map<std::string, Peak> peaks;

/// Runs op as a benchmark, keeping its peak memory against the bound.
template <class Op> void MeasureOp(benchmark::State& state, const char* name, Op&& op)
{
    Sounds& s = TheSounds();
    const int64_t soundBytes = BytesOf(*s.sound);
    Peak worst;
    for (auto _ : state) {
        const int64_t base = liveBytes.load();
        peakBytes.store(base);
        AbortFlag abort = 0;
        SoundUPtr result = op(*s.sound, &abort);
        if (!result) {
            state.SkipWithError("the operation gave no result");
            return;
        }
        const int64_t extra = peakBytes.load() - base;
        const int64_t resultBytes = BytesOf(*result);
        worst.overSound = std::max(worst.overSound, double(soundBytes + extra) / soundBytes);
        worst.overSoundAndResult = std::max(
            worst.overSoundAndResult, double(soundBytes + extra) / (soundBytes + resultBytes));
        benchmark::DoNotOptimize(result);
    }
    state.counters["peak/sound"] = worst.overSound;
    state.counters["peak/(sound+result)"] = worst.overSoundAndResult;
    state.SetBytesProcessed(state.iterations() * soundBytes);
    peaks[name] = worst;
}

void BM_CopyBothChannels(benchmark::State& state)
{
    MeasureOp(state, "copy", [](const Sound& s, AbortFlag* a) -> SoundUPtr {
        return std::make_unique<StereoSound>(CreateWaveCopy(a, s.GetLeftWave()),
                                             CreateWaveCopy(a, s.GetRightWave()), Rate, 2);
    });
}

void BM_Volume(benchmark::State& state)
{
    MeasureOp(state, "Volume",
              [](const Sound& s, AbortFlag* a) { return Volume(s, a, 0.5, 0, -1); });
}

void BM_MaxVolume(benchmark::State& state)
{
    MeasureOp(state, "MaxVolume",
              [](const Sound& s, AbortFlag* a) { return MaxVolume(s, a, 0, -1); });
}

void BM_VolumeEnvelope(benchmark::State& state)
{
    MeasureOp(state, "VolumeEnvelope", [](const Sound& s, AbortFlag* a) {
        return VolumeEnvelope(s, a, *TheSounds().envelope, 0, -1);
    });
}

void BM_PasteAtAnotherRate(benchmark::State& state)
{
    MeasureOp(state, "Paste", [](const Sound& s, AbortFlag* a) {
        return Paste(s, a, *TheSounds().partner, Frames / 2, Frames / 2);
    });
}

void BM_ChangeSampleFreq(benchmark::State& state)
{
    MeasureOp(state, "ChangeSampleFreq",
              [](const Sound& s, AbortFlag* a) { return ChangeSampleFreq(s, a, 48000); });
}

void BM_MoveHConstant(benchmark::State& state)
{
    MeasureOp(state, "MoveHConstant", [](const Sound& s, AbortFlag* a) {
        int32_t begin = 0, end = -1;
        return MoveHConstant(static_cast<const StereoSound&>(s), a, -0.01, 0.01, &begin, &end);
    });
}

void BM_FilterLow(benchmark::State& state)
{
    MeasureOp(state, "FilterConstant", [](const Sound& s, AbortFlag* a) {
        return FilterConstant(s, a, TheFilterTable.low.constant, 0.001, 0.5, 1, 1, 0, -1);
    });
}

BENCHMARK(BM_CopyBothChannels)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);
BENCHMARK(BM_Volume)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);
BENCHMARK(BM_MaxVolume)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);
BENCHMARK(BM_VolumeEnvelope)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);
BENCHMARK(BM_PasteAtAnotherRate)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);
BENCHMARK(BM_ChangeSampleFreq)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);
BENCHMARK(BM_MoveHConstant)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);
BENCHMARK(BM_FilterLow)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const int64_t soundBytes = BytesOf(*TheSounds().sound);
    std::printf("stereo sound of %d values per channel, %.1f MB\n", Frames, soundBytes / 1e6);
    kelvorn::bench::SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-18s %12s %22s %16s\n", "operation", "peak/sound", "peak/(sound+result)",
                "time/copy");
    const double copy = reporter.seconds.count("BM_CopyBothChannels")
                            ? reporter.seconds["BM_CopyBothChannels"]
                            : 0.0;
    for (const auto& [name, seconds] : reporter.seconds) {
        const std::string op = name == "BM_CopyBothChannels"     ? "copy"
                               : name == "BM_PasteAtAnotherRate" ? "Paste"
                               : name == "BM_FilterLow"          ? "FilterConstant"
                                                                 : name.substr(3);
        if (!peaks.count(op))
            continue;
        std::printf("%-18s %12.3f %22.3f %16.2f\n", op.c_str(), peaks[op].overSound,
                    peaks[op].overSoundAndResult, copy > 0 ? seconds / copy : 0.0);
    }
    benchmark::Shutdown();
    return 0;
}
