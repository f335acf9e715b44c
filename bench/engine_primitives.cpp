// Samples per second of the wave primitives on 60 s of 44.1 kHz audio, with sox doing the same
// effect on the same samples in the same run (SoxPeer.h): first as whole jobs from a WAV file,
// then the effects alone.

#include "SoxPeer.h"
#include "sound/WavePrimitives.h"

#include <benchmark/benchmark.h>

#include <cmath>

using namespace kelvorn;
using namespace kelvorn::bench;

namespace {

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

WavePtr Volume(const Wave& w, AbortFlag* a)
{
    return volume(w, a, 0.5, 0, -1);
}

WavePtr Reverse(const Wave& w, AbortFlag* a)
{
    return reverse(w, a, 0, -1);
}

WavePtr Resample(const Wave& w, AbortFlag* a)
{
    return resampleFactor(w, a, 48000.0 / Rate);
}

void BM_Volume(benchmark::State& state)
{
    Measure(state, Volume);
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
    Measure(state, Reverse);
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
    Measure(state, Resample);
}

BENCHMARK(BM_Volume)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VolumeInPlace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VolumeEnvelope)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reverse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveV)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveH)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Resample)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunAgainstSox(argc, argv,
                         {.peers =
                              {
                                  {"BM_Volume", "vol 0.5", nullptr, Volume},
                                  {"BM_VolumeInPlace", "vol 0.5"},
                                  {"BM_Reverse", "reverse", nullptr, Reverse},
                                  {"BM_Resample", "rate -q 48000", "48000", Resample},
                                  {"BM_Resample", "rate 48000", "48000", Resample},
                              },
                          .nameWidth = 18,
                          .effectWidth = 16,
                          .speedWidth = 12,
                          .ratioWidth = 10});
}
