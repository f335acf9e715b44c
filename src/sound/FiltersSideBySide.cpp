// Several resonances side by side in vector lanes, each lane rounding exactly as the resonance
// of one run does.
#include "general/numeric/NoContraction.h"

#include "sound/Filters.h"

#include "sound/WaveSampling.h"
#include "sound/WaveSignalCommon.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace kelvorn {

using namespace signal;

namespace {

// Lanes at most: a whole number of groups of every kernel below.
constexpr int MaxLanes = 48;

/// Each lane holds one run: the oscillator, its coefficients and where it reads and writes.
struct Lanes
{
    alignas(64) double p[MaxLanes];
    alignas(64) double v[MaxLanes];
    alignas(64) double d[MaxLanes];
    alignas(64) double keep[MaxLanes];
    alignas(64) double c[MaxLanes];
    const int16_t* in[MaxLanes];
    int16_t* out[MaxLanes];
};

typedef double Doubles2 __attribute__((vector_size(16)));
typedef double Doubles4 __attribute__((vector_size(32)));

/// The comparison masks and 32-bit integers of a vector of doubles.
template <class V> struct Companions;
template <> struct Companions<Doubles2>
{
    typedef int64_t Mask __attribute__((vector_size(16)));
    typedef int32_t Ints __attribute__((vector_size(8)));
};
template <> struct Companions<Doubles4>
{
    typedef int64_t Mask __attribute__((vector_size(32)));
    typedef int32_t Ints __attribute__((vector_size(16)));
};

// K vectors of lanes run together over n values: one lane's twelve dependent operations per
// step leave the units idle, K independent vectors keep them busy. Each lane does what the
// resonance of one run does, in the same order.
template <class V, int K> [[gnu::always_inline]] inline void RunGroup(Lanes& s, int lane, int64_t n)
{
    constexpr int W = int(sizeof(V) / sizeof(double));
    using Mask = typename Companions<V>::Mask;
    using Ints = typename Companions<V>::Ints;
    V p[K], v[K], d[K], keep[K], c[K];
#pragma GCC unroll 8
    for (int k = 0; k < K; ++k) {
        const int at = lane + k * W;
        std::memcpy(&p[k], s.p + at, sizeof(V));
        std::memcpy(&v[k], s.v + at, sizeof(V));
        std::memcpy(&d[k], s.d + at, sizeof(V));
        std::memcpy(&keep[k], s.keep + at, sizeof(V));
        std::memcpy(&c[k], s.c + at, sizeof(V));
    }
    const int16_t* const* in = s.in + lane;
    int16_t* const* out = s.out + lane;
    for (int64_t i = 0; i < n; ++i) {
        V feed[K];
#pragma GCC unroll 8
        for (int k = 0; k < K; ++k) {
            Ints xi = {};
#pragma GCC unroll 8
            for (int w = 0; w < W; ++w)
                xi[w] = in[k * W + w][i];
            feed[k] = keep[k] * __builtin_convertvector(xi, V);
        }
#pragma GCC unroll 4
        for (int step = 0; step < 4; ++step) {
#pragma GCC unroll 8
            for (int k = 0; k < K; ++k) {
                p[k] = p[k] + v[k] * c[k];
                v[k] = v[k] - p[k];
                p[k] = feed[k] + d[k] * p[k];
            }
        }
        // Stored values nearly always lie within 32 bits, where one vector conversion gives what
        // StoreSample gives; any lane outside (or not a number) sends the whole step the
        // long way.
        Mask outside = {};
#pragma GCC unroll 8
        for (int k = 0; k < K; ++k)
            outside |= ~((p[k] > -0x1p31) & (p[k] < 0x1p31));
        bool any = false;
#pragma GCC unroll 8
        for (int w = 0; w < W; ++w)
            any = any || outside[w] != 0;
        if (!any) [[likely]] {
#pragma GCC unroll 8
            for (int k = 0; k < K; ++k) {
                const Ints q = __builtin_convertvector(p[k], Ints);
#pragma GCC unroll 8
                for (int w = 0; w < W; ++w)
                    out[k * W + w][i] = static_cast<int16_t>(q[w]);
            }
        } else {
            for (int k = 0; k < K; ++k)
                for (int w = 0; w < W; ++w)
                    out[k * W + w][i] = StoreSample(p[k][w]);
        }
    }
#pragma GCC unroll 8
    for (int k = 0; k < K; ++k) {
        std::memcpy(s.p + lane + k * W, &p[k], sizeof(V));
        std::memcpy(s.v + lane + k * W, &v[k], sizeof(V));
    }
}

/// The first `lanes` lanes (a whole number of groups) over n values.
template <class V, int K>
[[gnu::always_inline]] inline void RunLanes(Lanes& s, int lanes, int64_t n)
{
    constexpr int group = K * int(sizeof(V) / sizeof(double));
    static_assert(MaxLanes % group == 0);
    for (int lane = 0; lane < lanes; lane += group)
        RunGroup<V, K>(s, lane, n);
}

// Vectors per group, measured: enough independent chains to hide the latency of the steps, few
// enough for the 16 registers of SSE and AVX2. AVX-512 ran slower than AVX2 where it was
// measured, and is left out.
constexpr int baseGroup = 6;
constexpr int avx2Group = 6;

struct Kernel
{
    void (*run)(Lanes&, int, int64_t);
    int group;
};

void RunBaseline(Lanes& s, int lanes, int64_t n)
{
    RunLanes<Doubles2, baseGroup>(s, lanes, n);
}

#if defined(__x86_64__) || defined(__i386__)
// Only AVX2, which has no fused multiply-add.
__attribute__((target("avx2"))) void RunAvx2(Lanes& s, int lanes, int64_t n)
{
    RunLanes<Doubles4, avx2Group>(s, lanes, n);
}
#endif

Kernel KernelOf(ResonanceKernel kernel)
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    if (kernel == ResonanceKernel::Avx2)
        return __builtin_cpu_supports("avx2") ? Kernel{RunAvx2, 4 * avx2Group} : Kernel{nullptr, 0};
#else
    if (kernel != ResonanceKernel::Baseline)
        return {nullptr, 0};
#endif
    return {RunBaseline, 2 * baseGroup};
}

ResonanceKernel BestKernel()
{
    return KernelOf(ResonanceKernel::Avx2).run ? ResonanceKernel::Avx2 : ResonanceKernel::Baseline;
}

std::atomic<ResonanceKernel>& ChosenKernel()
{
    static std::atomic<ResonanceKernel> chosen{BestKernel()};
    return chosen;
}

// What an idle lane reads: silence keeps its oscillator at rest.
const int16_t Silence[WaveBlock] = {};

} // namespace

bool UseResonanceKernel(ResonanceKernel kernel)
{
    if (!KernelOf(kernel).run)
        return false;
    ChosenKernel().store(kernel);
    return true;
}

void UseBestResonanceKernel()
{
    ChosenKernel().store(BestKernel());
}

bool resonateSideBySide(AbortFlag* abort, const ResonanceRun* runs, size_t count)
{
    const Kernel kernel = KernelOf(ChosenKernel().load(std::memory_order_relaxed));
    Lanes s;
    int64_t left[MaxLanes];
    int16_t discard[WaveBlock];
    size_t next = 0;
    // Puts the next run that has values into lane; false when none is left.
    auto start = [&](int lane) {
        while (next < count && runs[next].count <= 0)
            ++next;
        if (next == count)
            return false;
        const ResonanceRun& r = runs[next++];
        const ResCoefficients rc = ResConstants(r.per, r.factor, Turn4);
        s.p[lane] = s.v[lane] = 0.0;
        s.d[lane] = rc.d;
        s.keep[lane] = 1.0 - rc.d;
        s.c[lane] = rc.c;
        s.in[lane] = r.in;
        s.out[lane] = r.out;
        left[lane] = r.count;
        return true;
    };
    int active = 0;
    while (active < MaxLanes && start(active))
        ++active;
    while (active > 0) {
        if (Poll(abort))
            return false;
        int64_t n = WaveBlock;
        for (int l = 0; l < active; ++l)
            n = std::min(n, left[l]);
        // The last group is filled up with idle lanes.
        const int lanes = (active + kernel.group - 1) / kernel.group * kernel.group;
        for (int l = active; l < lanes; ++l) {
            s.p[l] = s.v[l] = s.d[l] = s.keep[l] = s.c[l] = 0.0;
            s.in[l] = Silence;
            s.out[l] = discard;
        }
        kernel.run(s, lanes, n);
        for (int l = 0; l < active; ++l) {
            s.in[l] += n;
            s.out[l] += n;
            left[l] -= n;
        }
        // A finished lane takes the next run; once none is left, the last busy lane moves into
        // it, so that idle lanes gather at the end and whole idle groups are not run.
        for (int l = 0; l < active;) {
            if (left[l] > 0 || start(l)) {
                ++l;
                continue;
            }
            --active;
            s.p[l] = s.p[active];
            s.v[l] = s.v[active];
            s.d[l] = s.d[active];
            s.keep[l] = s.keep[active];
            s.c[l] = s.c[active];
            s.in[l] = s.in[active];
            s.out[l] = s.out[active];
            left[l] = left[active];
        }
    }
    return true;
}

} // namespace kelvorn
