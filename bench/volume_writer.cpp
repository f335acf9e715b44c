// The volume diagram's resonator bank against an FFT spectrogram that fills the same grid shape
// from the same samples: 60 s of 44.1 kHz stereo on the default 500 x 50 grid. Both are counted
// in band-samples (samples x bands) per second. The spectrogram is FFTW in single precision:
// 2048-point Hann window, 75 % overlap, bins gathered into the same 50 logarithmic bands.
// Also measured: the plain bank (one band after another, for orientation, on 6 s) and how long
// a stop of a running writer takes.

#include "SecondsReporter.h"

#include "document/views/VoldViewProps.h"
#include "document/views/VolumeArray.h"
#include "document/views/VolumeBands.h"
#include "document/views/VolumeWriter.h"
#include "general/random/Random15.h"
#include "sound/Sound.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using namespace kelvorn;

namespace {

constexpr int32_t rate = 44100;
constexpr int64_t seconds = 60;
constexpr int64_t count = rate * seconds;
constexpr int32_t width = 500;
constexpr int32_t bands = 50;
constexpr double bandSamples = 2.0 * double(count) * bands;

// Music-like test signal: a few tones that glide, over a little noise.
std::vector<int16_t> MakeChannel(uint32_t seed, double detune)
{
    Random15 random(seed);
    std::vector<int16_t> samples(static_cast<size_t>(count));
    for (int64_t i = 0; i < count; ++i) {
        const double t = double(i) / rate;
        const double glide = 1.0 + 0.5 * std::sin(0.1 * t);
        double v = 6000 * std::sin(2 * M_PI * 220 * detune * glide * t) +
                   4000 * std::sin(2 * M_PI * 1760 * detune * t) +
                   2000 * std::sin(2 * M_PI * 7040 * glide * t) + (random.Next() - 16384) / 8.0;
        samples[size_t(i)] = int16_t(v);
    }
    return samples;
}

struct Fixture
{
    Fixture()
    {
        left = MakeChannel(1, 1.0);
        right = MakeChannel(2, 1.01);
        AbortFlag flag = 0;
        WavePtr l = CreateWave(&flag, count), r = CreateWave(&flag, count);
        std::copy(left.begin(), left.end(), l->Data());
        std::copy(right.begin(), right.end(), r->Data());
        sound = std::make_shared<StereoSound>(std::move(l), std::move(r), rate, 2);
    }
    std::vector<int16_t> left, right;
    SoundPtr sound;
    TVoldViewProps props; // the defaults: 500 x 50, 20 Hz to 20 kHz, logarithmic
};

Fixture& TheFixture()
{
    static Fixture fixture;
    return fixture;
}

void SetRate(benchmark::State& state, double work)
{
    state.counters["band_samples/s"] =
        benchmark::Counter(work * double(state.iterations()), benchmark::Counter::kIsRate);
}

// One kernel of the bank; the other benchmarks run the best one.
void BM_ResonatorBankOneThread(benchmark::State& state, VolumeKernel kernel)
{
    Fixture& f = TheFixture();
    if (!UseVolumeKernel(kernel)) {
        state.SkipWithError("the processor lacks this kernel");
        return;
    }
    const std::vector<VolumeBand> bandList = ComputeVolumeBands(f.props, rate);
    std::atomic<bool> stop{false};
    for (auto _ : state) {
        for (const std::vector<int16_t>* channel : {&f.left, &f.right}) {
            auto grid = TVolumeArray::Create(width, bands);
            VolumeBank bank(bandList);
            bank.Run(channel->data(), count, *grid, stop, nullptr);
            benchmark::DoNotOptimize(grid->GetVolume(250, 25));
        }
    }
    UseBestVolumeKernel();
    SetRate(state, bandSamples);
}

// The writer as a pane group runs it: a thread, both channels side by side.
struct WaitingSink : VolumeWriterSink
{
    void ColumnsFilled(int, int32_t, int32_t) override {}
    void WriterEnded(bool) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        ended = true;
        changed.notify_all();
    }
    void Wait()
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return ended; });
    }
    std::mutex mutex;
    std::condition_variable changed;
    bool ended = false;
};

void BM_Writer(benchmark::State& state)
{
    Fixture& f = TheFixture();
    for (auto _ : state) {
        WaitingSink sink;
        TVolumeWriterSlot slot;
        slot.StartVolumeWriter(f.sound, f.props, &sink);
        sink.Wait();
        slot.StopVolumeWriter();
    }
    SetRate(state, bandSamples);
}

// The bank written the plain way: one band after another, as a first version would.
void BM_PlainBank(benchmark::State& state)
{
    Fixture& f = TheFixture();
    const std::vector<VolumeBand> bandList = ComputeVolumeBands(f.props, rate);
    const int64_t part = count / 10;
    for (auto _ : state) {
        std::vector<float> value(bands), speed(bands), volume(bands), cells(width * bands);
        int64_t lastColumn = -1;
        for (int64_t j = 0; j < part; ++j) {
            const float s = f.left[size_t(j)];
            for (int i = 0; i < bands; ++i) {
                const VolumeBand& b = bandList[size_t(i)];
                for (int step = 0; step < 4; ++step) {
                    value[i] = value[i] + speed[i] * b.Tr;
                    speed[i] = speed[i] - value[i];
                    value[i] = (1 - b.Free) * s + b.Free * value[i];
                }
                const float a = std::fabs(std::trunc(value[i]));
                if (a > volume[i])
                    volume[i] = a;
            }
            const int64_t column = VolumeColumnOfSample(j, part, width);
            if (column > lastColumn) {
                for (int i = 0; i < bands; ++i) {
                    cells[size_t(std::min<int64_t>(column, width - 1) * bands + i)] =
                        volume[i] / 32768;
                    volume[i] = 0;
                }
                lastColumn = column;
            }
        }
        benchmark::DoNotOptimize(cells.data());
    }
    SetRate(state, double(part) * bands);
}

// The peer: a short-time Fourier transform whose bins are gathered into the bands.
class Spectrogram
{
public:
    static constexpr int size = 2048;
    static constexpr int hop = size / 4;

    explicit Spectrogram(const TVoldViewProps& props)
    {
        in = fftwf_alloc_real(size);
        out = fftwf_alloc_complex(size / 2 + 1);
        plan = fftwf_plan_dft_r2c_1d(size, in, out, FFTW_MEASURE);
        window.resize(size);
        for (int i = 0; i < size; ++i)
            window[size_t(i)] = float(0.5 - 0.5 * std::cos(2 * M_PI * i / size));
        // Band i spans the frequencies between the periods TimeTop g^i and TimeTop g^(i+1),
        // as the resonators are spread; band 0 is the highest.
        const double top = props.TimeTop.GetValue();
        const double g = std::pow(props.TimeBottom.GetValue() / top, 1.0 / bands);
        bandOfBin.assign(size / 2 + 1, -1);
        for (int k = 1; k <= size / 2; ++k) {
            const double period = double(size) / (k * double(rate));
            const double position = std::log(period / top) / std::log(g);
            if (position >= 0 && position < bands)
                bandOfBin[size_t(k)] = int(position);
        }
    }
    ~Spectrogram()
    {
        fftwf_destroy_plan(plan);
        fftwf_free(in);
        fftwf_free(out);
    }

    void Run(const std::vector<int16_t>& samples, TVolumeArray& grid)
    {
        std::vector<float> power(bands), peak(bands);
        int64_t column = 0;
        for (int64_t start = 0; start + size <= count; start += hop) {
            for (int i = 0; i < size; ++i)
                in[i] = samples[size_t(start + i)] * window[size_t(i)];
            fftwf_execute(plan);
            std::fill(power.begin(), power.end(), 0.0f);
            for (int k = 1; k <= size / 2; ++k)
                if (bandOfBin[size_t(k)] >= 0)
                    power[size_t(bandOfBin[size_t(k)])] +=
                        out[k][0] * out[k][0] + out[k][1] * out[k][1];
            const int64_t frameColumn = (start + size / 2) * width / count;
            if (frameColumn != column) {
                Write(grid, column, peak);
                column = frameColumn;
            }
            for (int b = 0; b < bands; ++b)
                peak[size_t(b)] = std::max(peak[size_t(b)], std::sqrt(power[size_t(b)]));
        }
        Write(grid, column, peak);
    }

private:
    static void Write(TVolumeArray& grid, int64_t column, std::vector<float>& peak)
    {
        for (int b = 0; b < bands; ++b) {
            grid.SetVolume(column, b, peak[size_t(b)] / (size * 32768.0f));
            peak[size_t(b)] = 0;
        }
        grid.SetFilled(int32_t(column + 1));
    }

    float* in;
    fftwf_complex* out;
    fftwf_plan plan;
    std::vector<float> window;
    std::vector<int> bandOfBin;
};

void BM_FftSpectrogram(benchmark::State& state)
{
    Fixture& f = TheFixture();
    Spectrogram spectrogram(f.props);
    for (auto _ : state) {
        for (const std::vector<int16_t>* channel : {&f.left, &f.right}) {
            auto grid = TVolumeArray::Create(width, bands);
            spectrogram.Run(*channel, *grid);
            benchmark::DoNotOptimize(grid->GetVolume(250, 25));
        }
    }
    SetRate(state, bandSamples);
}

// From the stop request of a writer in full flow to the end of its threads.
void BM_StopLatency(benchmark::State& state)
{
    Fixture& f = TheFixture();
    struct FirstReport : VolumeWriterSink
    {
        void ColumnsFilled(int, int32_t, int32_t) override
        {
            std::lock_guard<std::mutex> lock(mutex);
            reported = true;
            changed.notify_all();
        }
        std::mutex mutex;
        std::condition_variable changed;
        bool reported = false;
    };
    for (auto _ : state) {
        FirstReport sink;
        TVolumeWriterSlot slot;
        slot.StartVolumeWriter(f.sound, f.props, &sink);
        {
            std::unique_lock<std::mutex> lock(sink.mutex);
            sink.changed.wait(lock, [&] { return sink.reported; });
        }
        const auto begin = std::chrono::steady_clock::now();
        slot.StopVolumeWriter();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    }
}

BENCHMARK_CAPTURE(BM_ResonatorBankOneThread, avx512, VolumeKernel::Avx512)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);
BENCHMARK_CAPTURE(BM_ResonatorBankOneThread, avx2, VolumeKernel::Avx2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);
BENCHMARK_CAPTURE(BM_ResonatorBankOneThread, baseline, VolumeKernel::Baseline)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);
BENCHMARK(BM_Writer)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_FftSpectrogram)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_PlainBank)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_StopLatency)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(50);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TheFixture();
    kelvorn::bench::SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& s = reporter.seconds;
    auto rate = [&](const char* name, double work) { return work / s[name] / 1e6; };
    if (s.count("BM_FftSpectrogram")) {
        const double fft = rate("BM_FftSpectrogram", bandSamples);
        std::printf("FFT spectrogram: %.0f M band-samples/s\n", fft);
        for (const char* kernel : {"avx512", "avx2", "baseline"}) {
            const std::string name = std::string("BM_ResonatorBankOneThread/") + kernel;
            if (s.count(name))
                std::printf("resonator bank, one thread, kernel %s: %.0f M band-samples/s, "
                            "%.2f x the FFT\n",
                            kernel, rate(name.c_str(), bandSamples),
                            rate(name.c_str(), bandSamples) / fft);
        }
        if (s.count("BM_Writer"))
            std::printf("writer, channels side by side: %.0f M band-samples/s, %.2f x the FFT\n",
                        rate("BM_Writer", bandSamples), rate("BM_Writer", bandSamples) / fft);
        if (s.count("BM_PlainBank")) {
            const double plain = rate("BM_PlainBank", double(count / 10) * bands);
            std::printf("plain bank: %.0f M band-samples/s, %.2f x the FFT\n", plain, plain / fft);
        }
    }
    if (s.count("BM_StopLatency"))
        std::printf("stop of a running writer: %.3f ms on average\n", s["BM_StopLatency"] * 1e3);
    benchmark::Shutdown();
    return 0;
}
