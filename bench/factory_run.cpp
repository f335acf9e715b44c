// The factory run's costs as graphs grow: the run's overhead per node for a chain and for a
// fan-out of trivial nodes (flat per node), the loop check of a diamond chain (its growth
// exponent fitted over the depths), the peak of live sample bytes along a chain of nodes that
// each make a new 10 s stereo sound (flat in the chain's length), and a repeat node's peak over
// its turns (flat in Count). The ratios of the largest to the smallest case are printed at the end.
#include "factory/core/UserNodes.h"

#include "NullFactoryHost.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <new>
#include <string>
#include <vector>

// ---- Live sample memory ------------------------------------------------------------------------
// Samples come from the nothrow array form (AllocSamples); every array allocation carries its
// counted size in front, so that the one delete[] knows what leaves.

namespace {

constexpr size_t header = 16;
std::atomic<int64_t> liveBytes{0};
std::atomic<int64_t> peakBytes{0};

void* AllocCounted(size_t size, bool counted)
{
    void* raw = std::malloc(size + header);
    if (!raw)
        return nullptr;
    int64_t bytes = counted ? static_cast<int64_t>(size) : 0;
    *static_cast<int64_t*>(raw) = bytes;
    if (bytes) {
        int64_t now = liveBytes.fetch_add(bytes) + bytes;
        int64_t peak = peakBytes.load();
        while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
        }
    }
    return static_cast<char*>(raw) + header;
}

void FreeCounted(void* p)
{
    if (!p)
        return;
    void* raw = static_cast<char*>(p) - header;
    liveBytes.fetch_sub(*static_cast<int64_t*>(raw));
    std::free(raw);
}

/// Starts a new peak from what is alive now.
void ResetPeak()
{
    peakBytes.store(liveBytes.load());
}

} // namespace

void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return AllocCounted(size, true);
}

void* operator new[](size_t size)
{
    if (void* p = AllocCounted(size, false))
        return p;
    throw std::bad_alloc();
}

void operator delete[](void* p) noexcept
{
    FreeCounted(p);
}

void operator delete[](void* p, size_t) noexcept
{
    FreeCounted(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    FreeCounted(p);
}

namespace {

using namespace kelvorn;
using Clock = std::chrono::steady_clock;
using T = ValueDomType;

constexpr int32_t Rate = 44100;
constexpr int32_t TenSeconds = 10 * Rate;

/// Finds the waves and factories the benchmark gives it.
class BenchHost : public bench::NullFactoryHost
{
public:
    SoundPtr FindWaveSound(const std::string& name) override
    {
        auto it = waves.find(name);
        return it == waves.end() ? nullptr : it->second;
    }
    TUnitSountory* FindFactory(const std::string& name) override
    {
        auto it = factories.find(name);
        return it == factories.end() ? nullptr : it->second;
    }

    std::map<std::string, SoundPtr> waves;
    std::map<std::string, TUnitSountory*> factories;
};

/// A builtin node whose computation the benchmark gives.
class TBenchNode : public TSountoryNode
{
public:
    TBenchNode(TUnitSountory* factory, const std::string& name)
        : TSountoryNode(name, factory, {10, 20, 110, 120})
    {
    }
    uint8_t GetSntNodeKind() const override { return sntNodeBuiltin; }
    // Never saved: the benchmark only runs its factories.
    std::unique_ptr<TXMLComplexElement> KindToXml() const override { return nullptr; }
    bool CanAddOperand() const override { return true; }
    std::string GetDisplayName() const override { return "Bench"; }
    bool CheckInputs(std::string&) override { return true; }
    bool CheckDefinition(std::string&) override { return true; }
    bool Compute(SntStopFlag*, std::string& message) override
    {
        return compute ? compute(*this, message) : true;
    }

    std::function<bool(TBenchNode&, std::string&)> compute;
};

/// Counts the sounds the nodes make that are still alive, and their most at once.
struct LiveSounds
{
    SoundPtr Make(SoundUPtr sound)
    {
        peak = std::max(peak, ++alive);
        return SoundPtr(sound.release(), [this](Sound* s) {
            --alive;
            delete s;
        });
    }
    int alive = 0;
    int peak = 0;
};

unitFactorPosMax1 At(double height)
{
    return unitFactorPosMax1(height, EHPerc);
}

SoundUPtr Stereo(int32_t values)
{
    WavePtr left = CreateWave(nullptr, values);
    WavePtr right = CreateWave(nullptr, values);
    for (int32_t i = 0; i < values; ++i) {
        (*left)[i] = static_cast<int16_t>(i);
        (*right)[i] = static_cast<int16_t>(-i);
    }
    return std::make_unique<StereoSound>(std::move(left), std::move(right), Rate, 2);
}

/// A prefix and a number (appended, not added: GCC 12 warns falsely on the operator).
std::string Named(const char* prefix, int64_t number)
{
    std::string name = prefix;
    name.append(std::to_string(number));
    return name;
}

/// A trivial node: its Factor output is its first input's value plus one (or one).
TBenchNode* Trivial(TUnitSountory& factory, const std::string& name,
                    const std::vector<TSountoryInputSource*>& sources)
{
    TBenchNode* node = factory.CreateNode<TBenchNode>(name);
    node->AddOutput("r", At(0.5), false, T::Factor, ValueDomain::AllValues);
    for (size_t i = 0; i < sources.size(); ++i)
        node->AddInput(Named("i", int64_t(i)), At(0.5), false, T::Factor, ValueDomain::AllValues)
            ->SetSource(sources[i]);
    node->compute = [](TBenchNode& n, std::string&) {
        double v = n.Inputs().empty() ? 0 : n.Inputs()[0]->GetSourceValue().value;
        n.Outputs()[0]->SetValue(TSntValue(v + 1, ValueType::Factor));
        return true;
    };
    return node;
}

TSountoryNodeOutput* R(TSountoryNode* node)
{
    return node->Outputs()[0].get();
}

// Results kept for the closing note, by benchmark and size.
std::map<std::string, std::map<int64_t, double>> figures;

/// Times the runs of a factory; the nanoseconds per node of one run become the counter.
void TimeRuns(benchmark::State& state, TUnitSountory& factory, int64_t nodes, const char* key)
{
    std::string message;
    if (!factory.ValidateFactory(1, message)) {
        state.SkipWithError(message.c_str());
        return;
    }
    int64_t runs = 0;
    auto start = Clock::now();
    for (auto _ : state) {
        bool ok = factory.RunFactory(message, nullptr);
        benchmark::DoNotOptimize(ok);
        ++runs;
    }
    double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    double perNode = ns / double(runs * nodes);
    state.counters["ns_per_node"] = perNode;
    figures[key][nodes] = perNode;
}

void BM_RunChain(benchmark::State& state)
{
    BenchHost host;
    TUnitSountory factory("Chain", "/tmp/chain.kvf", host);
    int64_t n = state.range(0);
    TBenchNode* last = Trivial(factory, "C1", {});
    for (int64_t i = 2; i <= n; ++i)
        last = Trivial(factory, Named("C", i), {R(last)});
    factory.CreateOutput("Out", At(0.5), false, T::Factor, ValueDomain::AllValues)
        ->SetSource(R(last));
    TimeRuns(state, factory, n, "chain");
}
BENCHMARK(BM_RunChain)->RangeMultiplier(10)->Range(10, 1000)->Arg(2000);

void BM_RunFanOut(benchmark::State& state)
{
    BenchHost host;
    TUnitSountory factory("Fan", "/tmp/fan.kvf", host);
    int64_t n = state.range(0);
    TBenchNode* source = Trivial(factory, "S", {});
    std::vector<TSountoryInputSource*> middle;
    for (int64_t i = 1; i <= n; ++i)
        middle.push_back(R(Trivial(factory, Named("M", i), {R(source)})));
    TBenchNode* sink = Trivial(factory, "J", middle);
    factory.CreateOutput("Out", At(0.5), false, T::Factor, ValueDomain::AllValues)
        ->SetSource(R(sink));
    TimeRuns(state, factory, n, "fan-out");
}
BENCHMARK(BM_RunFanOut)->RangeMultiplier(10)->Range(10, 1000)->Arg(2000);

/// The loop check a validation makes: every node's mark cleared, then every node walked.
void BM_LoopCheckDiamond(benchmark::State& state)
{
    BenchHost host;
    TUnitSountory factory("Diamond", "/tmp/diamond.kvf", host);
    int64_t depth = state.range(0);
    TBenchNode* last = Trivial(factory, "D0", {});
    for (int64_t i = 1; i < depth; ++i)
        last = Trivial(factory, Named("D", i), {R(last), R(last)});
    std::string message;
    int64_t checks = 0;
    auto start = Clock::now();
    for (auto _ : state) {
        for (const auto& node : factory.Nodes())
            node->ClearLoopMarks();
        bool ok = true;
        for (const auto& node : factory.Nodes())
            ok = node->CheckLoops(message) && ok;
        benchmark::DoNotOptimize(ok);
        if (!ok) {
            state.SkipWithError(message.c_str());
            return;
        }
        ++checks;
    }
    double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    figures["diamond"][depth] = ns / double(checks);
    state.counters["ns_per_node"] = ns / double(checks * depth);
}
BENCHMARK(BM_LoopCheckDiamond)->RangeMultiplier(10)->Range(10, 1000);

/// Validates factory once, then runs it for every iteration and answers the most sample bytes
/// alive at once during a run beyond those alive before it; -1 when it could not run (the
/// benchmark then carries the reason).
int64_t RunForPeak(benchmark::State& state, TUnitSountory& factory)
{
    std::string message;
    if (!factory.ValidateFactory(1, message)) {
        state.SkipWithError(message.c_str());
        return -1;
    }
    int64_t peak = 0;
    for (auto _ : state) {
        ResetPeak();
        const int64_t before = liveBytes.load();
        if (!factory.RunFactory(message, nullptr)) {
            state.SkipWithError(message.c_str());
            return -1;
        }
        factory.ReleaseRunSounds();
        peak = std::max(peak, peakBytes.load() - before);
    }
    return peak;
}

/// A chain of N nodes, each making a new 10 s stereo sound: the first from nothing, the others
/// a copy of their input's. Only an input and its output need be alive at once.
void BM_SoundChainPeak(benchmark::State& state)
{
    BenchHost host;
    LiveSounds live;
    TUnitSountory factory("Sounds", "/tmp/sounds.kvf", host);
    int64_t n = state.range(0);
    TBenchNode* last = nullptr;
    for (int64_t i = 1; i <= n; ++i) {
        TBenchNode* node = factory.CreateNode<TBenchNode>(Named("W", i));
        node->AddOutput("r", At(0.5), false, T::Wave, ValueDomain::AllValues);
        if (last)
            node->AddInput("i", At(0.5), false, T::Wave, ValueDomain::AllValues)
                ->SetSource(R(last));
        node->compute = [&live](TBenchNode& node, std::string&) {
            SoundPtr made = node.Inputs().empty() ? live.Make(Stereo(TenSeconds))
                                                  : live.Make(std::make_unique<StereoSound>(
                                                        *node.Inputs()[0]->GetSound(), nullptr));
            made->SetRunResult(true);
            node.Outputs()[0]->SetSound(made);
            return true;
        };
        last = node;
    }
    factory.CreateOutput("Result", At(0.5), false, T::Wave, ValueDomain::AllValues)
        ->SetSource(R(last));
    const int64_t peak = RunForPeak(state, factory);
    if (peak < 0)
        return;
    state.counters["peak_bytes"] = double(peak);
    state.counters["peak_sounds"] = live.peak;
    figures["sound chain"][n] = double(peak);
}
BENCHMARK(BM_SoundChainPeak)->RangeMultiplier(4)->Range(2, 64)->Unit(benchmark::kMillisecond);

/// A repeat node over 10 s of stereo: each turn's loop factory makes a 0.1 s stereo sample that
/// is mixed at the start of the result. The mix and one sample are all a turn needs.
void BM_RepeatPeak(benchmark::State& state)
{
    BenchHost host;
    LiveSounds samples;
    TUnitSountory factory("Fact", "/tmp/fact.kvf", host);
    TUnitSountory loop("Loop", "/tmp/loop.kvf", host);
    host.factories = {{"Loop", &loop}};
    loop.CreateInput("Counter", At(0.1), false, T::Integer, ValueDomain::AllValues);
    TBenchNode* maker = loop.CreateNode<TBenchNode>("Make");
    maker->AddOutput("s", At(0.5), false, T::Wave, ValueDomain::AllValues);
    maker->compute = [&samples](TBenchNode& n, std::string&) {
        n.Outputs()[0]->SetSound(samples.Make(Stereo(Rate / 10)));
        return true;
    };
    loop.CreateOutput("Sample", At(0.2), false, T::Wave, ValueDomain::AllValues)
        ->SetSource(R(maker));
    for (const char* name : {"Position in Sample", "Position in Result"})
        loop.CreateOutput(name, At(0.5), false, T::Factor, ValueDomain::AllValues)
            ->SetConstantValue({0, ValueType::Factor}, EHNone);
    auto* node = factory.CreateNode<TSountoryNodeLoop>("R", "Loop", TSountoryRectangle{}, true);
    node->PinsFromDefinition(loop);
    host.waves["Doc"] = samples.Make(Stereo(TenSeconds));
    TSountoryInput* doc = factory.CreateInput("D", At(0.5), false, T::Wave, ValueDomain::AllValues);
    doc->SetGivenSound("Doc");
    node->FindInputByName("Wave")->SetSource(doc);
    int64_t count = state.range(0);
    node->FindInputByName("Count")->SetConstantValue({double(count), ValueType::Integer}, EHNone);
    factory.CreateOutput("Result", At(0.5), false, T::Wave, ValueDomain::AllValues)
        ->SetSource(node->FindOutputByName("Result"));
    const int64_t peak = RunForPeak(state, factory);
    if (peak < 0)
        return;
    state.counters["peak_bytes"] = double(peak);
    state.counters["peak_sounds"] = samples.peak;
    figures["repeat"][count] = double(peak);
}
BENCHMARK(BM_RepeatPeak)->RangeMultiplier(10)->Range(1, 1000)->Unit(benchmark::kMillisecond);

/// The figure of the largest case over the smallest's; 0 when either is missing.
double Ratio(const std::string& key)
{
    const auto& byN = figures[key];
    if (byN.size() < 2 || byN.begin()->second <= 0)
        return 0;
    return byN.rbegin()->second / byN.begin()->second;
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    for (const char* key : {"chain", "fan-out"})
        if (figures[key].size() >= 2)
            std::printf("run %s: %.1f ns per node at %lld nodes, %.1f at %lld (ratio %.2f)\n", key,
                        figures[key].begin()->second,
                        static_cast<long long>(figures[key].begin()->first),
                        figures[key].rbegin()->second,
                        static_cast<long long>(figures[key].rbegin()->first), Ratio(key));
    const auto& diamond = figures["diamond"];
    if (diamond.size() >= 2) {
        auto [d0, t0] = *diamond.begin();
        auto [d1, t1] = *diamond.rbegin();
        std::printf("loop check of the diamond chain: %.0f ns at depth %lld, %.0f ns at %lld; "
                    "fitted growth exponent %.2f\n",
                    t0, static_cast<long long>(d0), t1, static_cast<long long>(d1),
                    std::log(t1 / t0) / std::log(double(d1) / double(d0)));
    }
    for (const char* key : {"sound chain", "repeat"})
        if (figures[key].size() >= 2)
            std::printf("peak live sample bytes, %s: %.0f at %lld, %.0f at %lld (ratio %.2f)\n",
                        key, figures[key].begin()->second,
                        static_cast<long long>(figures[key].begin()->first),
                        figures[key].rbegin()->second,
                        static_cast<long long>(figures[key].rbegin()->first), Ratio(key));
    return 0;
}
