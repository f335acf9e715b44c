// The placement of factory nodes as layouts grow:
// - CanShiftHor of the rightmost node of a row of 10 to 60 nodes pushed across the area to the
//   left, beside the pairwise overlap test of the same row (AnyNodesOverlap, n^2 / 2 tests) as
//   its peer; the ratios and the fitted growth exponent are printed;
// - FindFreePlace on 100,000 random dense layouts (overlapping and packed ones): the longest
//   search (the slowest hundred timed again, so that a preempted run does not count) against
//   the mean, in microseconds, beside one overlap-and-border test of the starting rectangle (the
//   search's first step) as its peer.
#include "factory/core/Placement.h"
#include "factory/core/UserNodes.h"

#include "NullFactoryHost.h"
#include "SecondsReporter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <random>

namespace {

using namespace kelvorn;
using Clock = std::chrono::steady_clock;

bench::NullFactoryHost host;

TSountoryNode* AddNode(TUnitSountory& factory, const TSountoryRectangle& rect)
{
    return factory.CreateNode<TSountoryNodeUser>("N", "F", rect);
}

/// A row of n nodes 35 wide, 10 apart, ending at the right border of an area just wide enough;
/// every node has all the others of the row on its left.
std::unique_ptr<TUnitSountory> Row(int n)
{
    auto factory = std::make_unique<TUnitSountory>("Row", "/tmp/row.kvf", host);
    factory->SetNodesCombination(NodesFixed);
    factory->SetWidth(15 + 45 * n + 15);
    for (int i = 0; i < n; ++i)
        AddNode(*factory, {15 + 45 * i + 10, 100, 15 + 45 * i + 45, 123});
    return factory;
}

constexpr int RowSizes[] = {10, 20, 30, 40, 50, 60};

void CanShiftRow(benchmark::State& state)
{
    const int n = int(state.range(0));
    auto factory = Row(n);
    TRectanglePool pool = MakeNodePool(*factory);
    // The front node is the last made: the rightmost.
    const TSountoryRectangle& rightmost = factory->Nodes().front()->GetRect();
    int32_t moved = 0;
    for (auto _ : state) {
        moved = pool.CanShiftHor(rightmost, -100000);
        benchmark::DoNotOptimize(moved);
    }
    // Every node moves left to close its gap of 10 to 0 plus the 10 left of the first.
    if (moved != -10)
        state.SkipWithError("the row did not move as far as it can");
}

void OverlapRow(benchmark::State& state)
{
    auto factory = Row(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(AnyNodesOverlap(*factory));
}

/// A dense random layout of 6 to 65 small nodes in a small area: a third overlap freely, the
/// others are packed by placing each node only where it overlaps none.
std::unique_ptr<TUnitSountory> Layout(std::mt19937& random, PixelPoint& click)
{
    auto draw = [&](int n) { return int32_t(random() % uint32_t(n)); };
    auto factory = std::make_unique<TUnitSountory>("Dense", "/tmp/dense.kvf", host);
    factory->SetNodesCombination(draw(4) == 0 ? NodesFixed : NodesShift);
    factory->SetWidth(120 + draw(200));
    factory->SetHeight(80 + draw(120));
    const bool packed = draw(3) != 0;
    const int n = 6 + draw(60);
    for (int i = 0, tries = 0; i < n && tries < 600; ++tries) {
        const int32_t x = 15 + draw(factory->GetWidth() - 30);
        const int32_t y = 5 + draw(factory->GetHeight() - 10);
        const TSountoryRectangle r{x, y, x + 35 + draw(30), y + 23 + draw(20)};
        if (packed && OverlapsNode(*factory, r))
            continue;
        AddNode(*factory, r);
        ++i;
    }
    click = {draw(factory->GetWidth()), draw(factory->GetHeight())};
    return factory;
}

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

/// The least of repeated timings of one search, so that a preempted run does not count.
double SearchSeconds(const TUnitSountory& factory, PixelPoint click, int repeats)
{
    double least = 1e9;
    for (int i = 0; i < repeats; ++i) {
        TSountoryRectangle rect;
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(FindNewNodePlace(factory, click, rect));
        least = std::min(least, Seconds(Clock::now() - t0));
    }
    return least;
}

constexpr int Layouts = 100000;
constexpr int Candidates = 100;
struct SearchFigures
{
    double longest = 0;
    double mean = 0;
    double firstStep = 0;
    int found = 0;
} search;

/// Times every search once, then the slowest hundred again twenty times each: the longest is
/// the largest of their least times.
void FindFreePlaceSweep(benchmark::State& state)
{
    for (auto _ : state) {
        std::mt19937 random(2024);
        std::vector<std::pair<double, int>> times;
        times.reserve(Layouts);
        double firstSteps = 0;
        int found = 0;
        for (int i = 0; i < Layouts; ++i) {
            PixelPoint click;
            auto factory = Layout(random, click);
            TSountoryRectangle rect;
            const auto t0 = Clock::now();
            found += FindNewNodePlace(*factory, click, rect);
            const auto t1 = Clock::now();
            const TSountoryRectangle start = NewNodeRect(click);
            benchmark::DoNotOptimize(!OverlapsNode(*factory, start) &&
                                     FitsInFactory(*factory, start));
            firstSteps += Seconds(Clock::now() - t1);
            times.emplace_back(Seconds(t1 - t0), i);
        }
        std::partial_sort(times.begin(), times.begin() + Candidates, times.end(),
                          [](const auto& a, const auto& b) { return a.first > b.first; });
        std::vector<int> slowest;
        for (int k = 0; k < Candidates; ++k)
            slowest.push_back(times[k].second);
        std::sort(slowest.begin(), slowest.end());
        random.seed(2024);
        double longest = 0;
        for (int i = 0, next = 0; next < Candidates; ++i) {
            PixelPoint click;
            auto factory = Layout(random, click);
            if (i != slowest[next])
                continue;
            ++next;
            longest = std::max(longest, SearchSeconds(*factory, click, 20));
        }
        double total = 0;
        for (const auto& t : times)
            total += t.first;
        search = {longest, total / Layouts, firstSteps / Layouts, found};
    }
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    for (int n : RowSizes) {
        benchmark::RegisterBenchmark("CanShiftRow", CanShiftRow)
            ->Arg(n)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("OverlapRow", OverlapRow)
            ->Arg(n)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("FindFreePlaceSweep", FindFreePlaceSweep)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    kelvorn::bench::SecondsReporter reporter(kelvorn::bench::SecondsReporter::Time::Cpu,
                                             kelvorn::bench::SecondsReporter::Key::FullName);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto seconds = [&](const char* name, int n) {
        auto it = reporter.seconds.find(std::string(name) + "/" + std::to_string(n));
        return it == reporter.seconds.end() ? 0.0 : it->second;
    };
    std::printf("\nCanShiftHor of the rightmost node of a row pushed to the left:\n");
    std::printf("%6s %12s %14s %10s %12s\n", "nodes", "us", "peer us", "/ peer", "growth");
    for (size_t i = 0; i < std::size(RowSizes); ++i) {
        const int n = RowSizes[i];
        const double t = seconds("CanShiftRow", n);
        const double peer = seconds("OverlapRow", n);
        if (t <= 0 || peer <= 0)
            continue;
        std::printf("%6d %12.2f %14.2f %10.2f", n, t * 1e6, peer * 1e6, t / peer);
        if (i > 0 && seconds("CanShiftRow", RowSizes[i - 1]) > 0)
            std::printf(" %12.2f", std::log(t / seconds("CanShiftRow", RowSizes[i - 1])) /
                                       std::log(double(n) / RowSizes[i - 1]));
        std::printf("\n");
    }
    const double t10 = seconds("CanShiftRow", 10);
    const double t60 = seconds("CanShiftRow", 60);
    if (t10 > 0 && t60 > 0)
        std::printf("growth exponent from 10 to 60 nodes: %.2f (2 is quadratic)\n",
                    std::log(t60 / t10) / std::log(6.0));
    if (search.mean > 0)
        std::printf("\nFindFreePlace over %d random dense layouts: %d places found, mean %.2f us, "
                    "longest %.2f us (%.1f x the mean); one first step (peer) %.3f us, "
                    "mean / peer %.1f\n",
                    Layouts, search.found, search.mean * 1e6, search.longest * 1e6,
                    search.longest / search.mean, search.firstStep * 1e6,
                    search.mean / search.firstStep);
    return 0;
}
