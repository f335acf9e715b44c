#include "sound/views/VolumeBands.h"

#include "sound/views/VoldViewProps.h"

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
        band.Stable = std::isfinite(band.Tr) && std::isfinite(band.Free) &&
                      band.Tr <= 2 * (1 + band.Free);
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

namespace {

// Eight lanes: one AVX register, or two SSE registers where AVX is missing.
constexpr int32_t vectorLanes = 8;
typedef float Floats __attribute__((vector_size(32)));
typedef int32_t Ints __attribute__((vector_size(32)));

struct BankArrays
{
    float* value;
    float* speed;
    float* peak;
    const float* tr;
    const float* free;
    const float* gain;
};

// K vectors of bands run together over the samples, their state held in registers: one band's
// four updates form a long dependency chain, so several independent chains keep the units busy.
template <int K>
[[gnu::always_inline]] inline void ResonateGroup(const BankArrays& a, int32_t lane,
                                                 const int16_t* samples, int64_t count)
{
    Floats v[K], sp[K], pk[K], tr[K], fr[K], gn[K];
#pragma GCC unroll 16
    for (int k = 0; k < K; ++k) {
        const int32_t at = lane + k * vectorLanes;
        std::memcpy(&v[k], a.value + at, sizeof(Floats));
        std::memcpy(&sp[k], a.speed + at, sizeof(Floats));
        std::memcpy(&pk[k], a.peak + at, sizeof(Floats));
        std::memcpy(&tr[k], a.tr + at, sizeof(Floats));
        std::memcpy(&fr[k], a.free + at, sizeof(Floats));
        std::memcpy(&gn[k], a.gain + at, sizeof(Floats));
    }
    const Ints absMask = Ints{} + 0x7FFFFFFF;
    for (int64_t j = 0; j < count; ++j) {
        const float s = samples[j];
#pragma GCC unroll 16
        for (int k = 0; k < K; ++k) {
            const Floats in = gn[k] * s;
            Floats x = v[k];
            Floats y = sp[k];
            // The same operations in the same order as one band at a time: the cells match.
#pragma GCC unroll 4
            for (int step = 0; step < 4; ++step) {
                x = x + y * tr[k];
                y = y - x;
                x = in + fr[k] * x;
            }
            v[k] = x;
            sp[k] = y;
            // The peak of |trunc(x)| is trunc of the peak of |x| (truncation is monotonic), so
            // truncation waits for the column write. A value that is not a number never wins.
            const Floats mag = (Floats)((Ints)x & absMask);
            const Ints greater = mag > pk[k];
            pk[k] = (Floats)(((Ints)mag & greater) | ((Ints)pk[k] & ~greater));
        }
    }
#pragma GCC unroll 16
    for (int k = 0; k < K; ++k) {
        const int32_t at = lane + k * vectorLanes;
        std::memcpy(a.value + at, &v[k], sizeof(Floats));
        std::memcpy(a.speed + at, &sp[k], sizeof(Floats));
        std::memcpy(a.peak + at, &pk[k], sizeof(Floats));
    }
}

// Vectors per group: enough chains to hide the latency, few enough to stay in registers.
constexpr int groupVectors = 4;

[[gnu::always_inline]] inline void ResonateAll(const BankArrays& a, int32_t lanes,
                                               const int16_t* samples, int64_t count)
{
    int32_t lane = 0;
    for (; lanes - lane >= groupVectors * vectorLanes; lane += groupVectors * vectorLanes)
        ResonateGroup<groupVectors>(a, lane, samples, count);
    switch ((lanes - lane) / vectorLanes) {
    case 3:
        ResonateGroup<3>(a, lane, samples, count);
        break;
    case 2:
        ResonateGroup<2>(a, lane, samples, count);
        break;
    case 1:
        ResonateGroup<1>(a, lane, samples, count);
        break;
    default:
        break;
    }
}

void ResonateBaseline(const BankArrays& a, int32_t lanes, const int16_t* samples, int64_t count)
{
    ResonateAll(a, lanes, samples, count);
}

#if defined(__x86_64__) || defined(__i386__)
// Only AVX2, never FMA: a fused multiply-add rounds once and would change the cells.
__attribute__((target("avx2"))) void ResonateAvx2(const BankArrays& a, int32_t lanes,
                                                  const int16_t* samples, int64_t count)
{
    ResonateAll(a, lanes, samples, count);
}

using ResonateFunction = void (*)(const BankArrays&, int32_t, const int16_t*, int64_t);

ResonateFunction ChooseResonate()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? ResonateAvx2 : ResonateBaseline;
}
#endif

void ResonateBands(const BankArrays& a, int32_t lanes, const int16_t* samples, int64_t count)
{
#if defined(__x86_64__) || defined(__i386__)
    static const ResonateFunction resonate = ChooseResonate();
    resonate(a, lanes, samples, count);
#else
    ResonateBaseline(a, lanes, samples, count);
#endif
}

} // namespace

VolumeBank::VolumeBank(const std::vector<VolumeBand>& bandList)
    : bands(int32_t(bandList.size())),
      lanes((int32_t(bandList.size()) + vectorLanes - 1) / vectorLanes * vectorLanes)
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
    if (grid.GetHeight() != bands)
        return false;
    const int32_t width = grid.GetWidth();
    const float scale = 1.0f / 32768.0f;
    int64_t position = 0;
    int64_t nextWrite = 0; // the first sample always writes a column
    int32_t filled = grid.GetFilled();
    while (position < count) {
        if (stop.load(std::memory_order_acquire))
            return false;
        const int64_t blockEnd = std::min(count, position + volumeBlock);
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
