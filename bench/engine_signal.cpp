// Samples per second of the signal operations and filters on 60 s of 44.1 kHz audio, with sox
// doing the same effect on the same samples in the same run where it has one (SoxPeer.h): first
// as whole jobs from a WAV file, then the effects alone.

#include "SoxPeer.h"
#include "sound/Filters.h"
#include "sound/SineTable.h"
#include "sound/WaveSignal.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace kelvorn;
using namespace kelvorn::bench;

namespace {

// A one-pole corner at 1 kHz, 3 dB down there (what sox's single-pole filters do).
constexpr double Corner = Rate / 1000.0;
constexpr double HalfPower = 0.70710678;

WavePtr LowFilter(const Wave& w, AbortFlag* a)
{
    return lowFilter(w, a, Corner, HalfPower, 1, 1, 0, -1);
}

WavePtr HighFilter(const Wave& w, AbortFlag* a)
{
    return highFilter(w, a, Corner, HalfPower, 1, 1, 0, -1);
}

/// Echoes 100 ms apart, each half as loud as the one before.
template <int32_t Count> WavePtr Echo(const Wave& w, AbortFlag* a)
{
    int32_t begin = 0;
    int32_t end = -1;
    return periodEcho(w, a, 0.1 * Rate, 0.5, Count, &begin, &end);
}

/// 25 % faster in blocks of 30 ms, pitch kept: one read head, or two that cross-fade.
template <bool TwoHeads> WavePtr Tempo(const Wave& w, AbortFlag* a)
{
    int32_t begin = 0;
    int32_t end = -1;
    return (TwoHeads ? tempoPitch2 : tempoPitch)(w, a, 1.25, 0.0, 0.8, 1.0, 1323, &begin, &end);
}

void BM_LowFilter(benchmark::State& state)
{
    Measure(state, LowFilter);
}

void BM_HighFilter(benchmark::State& state)
{
    Measure(state, HighFilter);
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

void BM_PeriodEcho(benchmark::State& state)
{
    Measure(state, state.range(0) == 1 ? Echo<1> : Echo<4>);
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

} // namespace

int main(int argc, char** argv)
{
    return RunAgainstSox(
        argc, argv,
        {.peers =
             {
                 {"BM_LowFilter", "lowpass -1 1000", nullptr, LowFilter},
                 {"BM_HighFilter", "highpass -1 1000", nullptr, HighFilter},
                 {"BM_PeriodEcho/1", "echo 1 1 100 0.5", nullptr, Echo<1>},
                 {"BM_PeriodEcho/4", "echo 1 1 100 0.5 200 0.25 300 0.125 400 0.0625", nullptr,
                  Echo<4>},
                 {"BM_TempoPitch/heads:1/pitch:0", "tempo 1.25 30", nullptr, Tempo<false>},
                 {"BM_TempoPitch/heads:2/pitch:0", "tempo 1.25 30", nullptr, Tempo<true>},
                 {"BM_MFreq/1", "synth sine 220"},
             },
         .nameWidth = 32,
         .effectWidth = 48,
         .speedWidth = 10,
         .ratioWidth = 9});
}
