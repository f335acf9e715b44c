// The vector paths of the bank give the cells of the plain bank.
#include "general/numeric/NoContraction.h"

#include "document/views/VolumeBands.h"

#include "document/views/VoldViewProps.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kelvorn {

std::vector<VolumeBand> ComputeVolumeBands(const TVoldViewProps& props, int32_t rate)
{
    const int32_t n = props.YResolution.GetValue();
    if (n < 1)
        return {};
    const double tTop = props.TimeTop.GetValue();
    const double tBottom = props.TimeBottom.GetValue();
    const double width = props.YWidth.GetValue();

    // Each quantity is held in single precision, as the diagrams users know were computed.
    float x = rate * tTop; // samples per period of the band
    const float g = std::pow(tBottom / tTop, 1.0 / n);
    const float dT = rate * (tBottom - tTop) / n;
    float f = 1 / tTop;
    const float dF = (1 / tTop - 1 / tBottom) / n;

    std::vector<VolumeBand> bands(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        VolumeBand& band = bands[size_t(i)];
        // (pi / 2)^2: four updates per sample make a full turn in x samples.
        band.Tr = 2.466 / x / x;
        float q;
        switch (props.FreqAxisKind) {
        case freqAxisLinTime:
            x = x + dT;
            q = 1 / ((i + 1) * 3.0 / n);
            break;
        case freqAxisLinFreq:
            f = f - dF;
            x = rate / f;
            q = 1 / ((n - i + 1) * 3.0 / n);
            break;
        default:
            x = x * g;
            q = 1.0;
            break;
        }
        const float s = width * q;
        const float bigG = g > 1.0 ? g : 1.0 / g;
        const float k = 1 - 1 / std::pow(bigG, s);
        // x is already the next band's period here; the diagrams were always made so.
        band.Free = std::pow(1 - k, 1 / x);
        // Past 2 (1 + Free) the update has an eigenvalue beyond -1 and the band grows without
        // bound; the comparison also refuses a coefficient that is not a number.
        band.Stable =
            std::isfinite(band.Tr) && std::isfinite(band.Free) && band.Tr <= 2 * (1 + band.Free);
    }
    return bands;
}

int64_t VolumeColumnOfSample(int64_t index, int64_t count, int32_t width)
{
    if (count <= 0 || index < 0)
        return 0;
    // 128 bits: the product of a 2^31 index and a 2^24 width must not wrap.
    const __int128 q = __int128(index + 1) * (int64_t(width) + 1);
    // Positions between -1 and 0 truncate to column 0, so the first sample writes column 0.
    return q < count ? 0 : int64_t(q / count) - 1;
}

int64_t NextVolumeColumnSample(int64_t index, int64_t count, int32_t width)
{
    if (count <= 0 || index + 1 >= count)
        return count;
    const int64_t column = VolumeColumnOfSample(index, count, width);
    // The first j with (j + 1) (width + 1) >= (column + 2) count.
    const __int128 need = __int128(column + 2) * count;
    const int64_t w1 = int64_t(width) + 1;
    const int64_t j = int64_t((need + w1 - 1) / w1) - 1;
    return std::min(count, std::max(index + 1, j));
}

// Vectors per group, measured: enough independent chains to hide the latency of the updates,
// few enough for the registers (16 for SSE and AVX2, where seven spill a little but still win,
// 32 for AVX-512).
constexpr int baseGroup = 4;
constexpr int avx2Group = 8;
constexpr int avx512Group = 4;

namespace {

// Lanes are padded to whole 8-float vectors; a 16-wide path takes a last 8-wide one along.
constexpr int32_t laneBlock = 8;
typedef float Floats4 __attribute__((vector_size(16)));
typedef int32_t Ints4 __attribute__((vector_size(16)));
typedef float Floats8 __attribute__((vector_size(32)));
typedef int32_t Ints8 __attribute__((vector_size(32)));
typedef float Floats16 __attribute__((vector_size(64)));
typedef int32_t Ints16 __attribute__((vector_size(64)));

struct BankArrays
{
    float* value;
    float* speed;
    float* peak;
    const float* tr;
    const float* free;
    const float* gain;
};

// The state of one vector of bands, held in registers while a run of samples goes through.
template <class F, class I> struct Lanes
{
    static constexpr int32_t width = int32_t(sizeof(F) / sizeof(float));
    F v, sp, pk, tr, fr, gn;

    [[gnu::always_inline]] void Load(const BankArrays& a, int32_t at)
    {
        std::memcpy(&v, a.value + at, sizeof(F));
        std::memcpy(&sp, a.speed + at, sizeof(F));
        std::memcpy(&pk, a.peak + at, sizeof(F));
        std::memcpy(&tr, a.tr + at, sizeof(F));
        std::memcpy(&fr, a.free + at, sizeof(F));
        std::memcpy(&gn, a.gain + at, sizeof(F));
    }
    [[gnu::always_inline]] void Store(const BankArrays& a, int32_t at) const
    {
        std::memcpy(a.value + at, &v, sizeof(F));
        std::memcpy(a.speed + at, &sp, sizeof(F));
        std::memcpy(a.peak + at, &pk, sizeof(F));
    }
    [[gnu::always_inline]] void Sample(float s)
    {
        const F in = gn * s;
        F x = v;
        F y = sp;
        // The same operations in the same order as one band at a time, never fused into a
        // multiply-add (which rounds once): the cells match the plain bank's.
#pragma GCC unroll 4
        for (int step = 0; step < 4; ++step) {
            x = x + y * tr;
            y = y - x;
            x = in + fr * x;
        }
        v = x;
        sp = y;
        // The peak of |trunc(x)| is trunc of the peak of |x| (truncation is monotonic), so
        // truncation waits for the column write. A value that is not a number never wins.
        const I absMask = I{} + 0x7FFFFFFF;
        const F mag = (F)((I)x & absMask);
        const I greater = mag > pk;
        pk = (F)(((I)mag & greater) | ((I)pk & ~greater));
    }
};

// K vectors of bands (plus T half-width ones after them) run together over the samples: one
// band's four updates form a long dependency chain, so several independent chains keep the
// units busy.
template <class F, class I, int K, int T = 0>
[[gnu::always_inline]] inline void ResonateGroup(const BankArrays& a, int32_t lane,
                                                 const int16_t* samples, int64_t count)
{
    using Half = Lanes<Floats8, Ints8>;
    Lanes<F, I> group[K];
    Half tail[T > 0 ? T : 1];
    constexpr int32_t width = Lanes<F, I>::width;
#pragma GCC unroll 16
    for (int k = 0; k < K; ++k)
        group[k].Load(a, lane + k * width);
    // Left out, not just skipped, when T is 0: g++ -O0 keeps the dead loop and warns it overruns.
    if constexpr (T > 0) {
#pragma GCC unroll 2
        for (int t = 0; t < T; ++t)
            tail[t].Load(a, lane + K * width + t * Half::width);
    }
    for (int64_t j = 0; j < count; ++j) {
        const float s = samples[j];
#pragma GCC unroll 16
        for (int k = 0; k < K; ++k)
            group[k].Sample(s);
        if constexpr (T > 0) {
#pragma GCC unroll 2
            for (int t = 0; t < T; ++t)
                tail[t].Sample(s);
        }
    }
#pragma GCC unroll 16
    for (int k = 0; k < K; ++k)
        group[k].Store(a, lane + k * width);
    if constexpr (T > 0) {
#pragma GCC unroll 2
        for (int t = 0; t < T; ++t)
            tail[t].Store(a, lane + K * width + t * Half::width);
    }
}

// A group of K or fewer vectors (plus T half-width ones): the instantiation for vectors.
template <class F, class I, int K, int T>
[[gnu::always_inline]] inline void ResonateGroupOf(int vectors, const BankArrays& a, int32_t lane,
                                                   const int16_t* samples, int64_t count)
{
    if constexpr (K >= 1) {
        if (vectors == K)
            ResonateGroup<F, I, K, T>(a, lane, samples, count);
        else
            ResonateGroupOf<F, I, K - 1, T>(vectors, a, lane, samples, count);
    }
}

// Every vector of the bank, in groups of at most maxGroup vectors; lanes left over after the
// whole vectors (8 of a 16-wide vector) ride with the last group.
template <class F, class I, int maxGroup>
[[gnu::always_inline]] inline void ResonateAll(const BankArrays& a, int32_t lanes,
                                               const int16_t* samples, int64_t count)
{
    constexpr int32_t width = Lanes<F, I>::width;
    int32_t lane = 0;
    for (; lanes - lane > maxGroup * width; lane += maxGroup * width)
        ResonateGroup<F, I, maxGroup>(a, lane, samples, count);
    const int vectors = (lanes - lane) / width;
    if (lanes % width == 0)
        ResonateGroupOf<F, I, maxGroup, 0>(vectors, a, lane, samples, count);
    else if (vectors == 0)
        ResonateGroup<Floats8, Ints8, 1>(a, lane, samples, count);
    else
        ResonateGroupOf<F, I, maxGroup - 1, 1>(vectors, a, lane, samples, count);
}

void ResonateBaseline(const BankArrays& a, int32_t lanes, const int16_t* samples, int64_t count)
{
    ResonateAll<Floats4, Ints4, baseGroup>(a, lanes, samples, count);
}

#if defined(__x86_64__) || defined(__i386__)
// Only AVX2, which has no fused multiply-add.
__attribute__((target("avx2"))) void ResonateAvx2(const BankArrays& a, int32_t lanes,
                                                  const int16_t* samples, int64_t count)
{
    ResonateAll<Floats8, Ints8, avx2Group>(a, lanes, samples, count);
}

// 32 registers hold four 16-float groups whole. Contraction is off for this file.
__attribute__((target("avx512f"))) void ResonateAvx512(const BankArrays& a, int32_t lanes,
                                                       const int16_t* samples, int64_t count)
{
    ResonateAll<Floats16, Ints16, avx512Group>(a, lanes, samples, count);
}

#endif

using ResonateFunction = void (*)(const BankArrays&, int32_t, const int16_t*, int64_t);

ResonateFunction KernelFunction(VolumeKernel kernel)
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    if (kernel == VolumeKernel::Avx512)
        return __builtin_cpu_supports("avx512f") ? ResonateAvx512 : nullptr;
    if (kernel == VolumeKernel::Avx2)
        return __builtin_cpu_supports("avx2") ? ResonateAvx2 : nullptr;
#else
    if (kernel != VolumeKernel::Baseline)
        return nullptr;
#endif
    return ResonateBaseline;
}

ResonateFunction BestKernel()
{
    for (VolumeKernel kernel : {VolumeKernel::Avx512, VolumeKernel::Avx2})
        if (ResonateFunction f = KernelFunction(kernel))
            return f;
    return ResonateBaseline;
}

std::atomic<ResonateFunction>& ChosenKernel()
{
    static std::atomic<ResonateFunction> chosen{BestKernel()};
    return chosen;
}

void ResonateBands(const BankArrays& a, int32_t lanes, const int16_t* samples, int64_t count)
{
    ChosenKernel().load(std::memory_order_relaxed)(a, lanes, samples, count);
}

} // namespace

bool UseVolumeKernel(VolumeKernel kernel)
{
    ResonateFunction f = KernelFunction(kernel);
    if (!f)
        return false;
    ChosenKernel().store(f, std::memory_order_relaxed);
    return true;
}

void UseBestVolumeKernel()
{
    ChosenKernel().store(BestKernel(), std::memory_order_relaxed);
}

VolumeBank::VolumeBank(const std::vector<VolumeBand>& bandList)
    : bands(int32_t(bandList.size())),
      lanes((int32_t(bandList.size()) + laneBlock - 1) / laneBlock * laneBlock)
{
    storage.assign(size_t(lanes) * 6, 0.0f);
    value = storage.data();
    speed = value + lanes;
    peak = speed + lanes;
    tr = peak + lanes;
    free = tr + lanes;
    gain = free + lanes;
    stable.assign(size_t(lanes), 0);
    for (int32_t i = 0; i < bands; ++i) {
        const VolumeBand& band = bandList[size_t(i)];
        stable[size_t(i)] = band.Stable ? 1 : 0;
        // An unstable band runs as a neutral one (it follows the input) and writes 0, so no
        // infinity or not-a-number ever enters the loop. The extra lanes do the same.
        if (band.Stable) {
            tr[i] = band.Tr;
            free[i] = band.Free;
        }
    }
    for (int32_t i = 0; i < lanes; ++i)
        gain[i] = 1 - free[i];
}

void VolumeBank::Resonate(const int16_t* samples, int64_t count)
{
    if (count <= 0 || lanes == 0)
        return;
    ResonateBands(BankArrays{value, speed, peak, tr, free, gain}, lanes, samples, count);
}

float VolumeBank::TakePeak(int32_t i)
{
    const float p = peak[i];
    peak[i] = 0.0f;
    if (!stable[size_t(i)] || !std::isfinite(p))
        return 0.0f;
    return std::trunc(p);
}

bool VolumeBank::Run(const int16_t* samples, int64_t count, TVolumeArray& grid,
                     const std::atomic<bool>& stop,
                     const std::function<void(int32_t first, int32_t end)>& report)
{
    if (grid.GetHeight() != bands || lanes == 0)
        return false;
    const int32_t width = grid.GetWidth();
    const float scale = 1.0f / 32768.0f;
    int64_t position = 0;
    int64_t nextWrite = 0; // the first sample always writes a column
    int32_t filled = grid.GetFilled();
    // A bank of many bands (a grid may have millions) takes shorter blocks, so that a stop
    // still comes within about the time of 300 samples of 64 bands.
    const int64_t block = std::clamp<int64_t>(int64_t(volumeBlock) * 64 / lanes, 1, volumeBlock);
    while (position < count) {
        if (stop.load(std::memory_order_acquire))
            return false;
        const int64_t blockEnd = std::min(count, position + block);
        const int32_t before = filled;
        while (position < blockEnd) {
            const int64_t segmentEnd = std::min(blockEnd, nextWrite + 1);
            Resonate(samples + position, segmentEnd - position);
            position = segmentEnd;
            if (position != nextWrite + 1)
                continue;
            const int64_t column = VolumeColumnOfSample(nextWrite, count, width);
            for (int32_t i = 0; i < bands; ++i)
                grid.SetVolume(column, i, TakePeak(i) * scale);
            filled = int32_t(column + 1);
            grid.SetFilled(filled);
            nextWrite = NextVolumeColumnSample(nextWrite, count, width);
        }
        if (filled > before && report)
            report(before, filled);
    }
    return true;
}

} // namespace kelvorn
