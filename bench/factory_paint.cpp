// A full paint of a factory of 500 nodes (two inputs and two outputs each, pictures and labels)
// with 1,000 connections into the backing image of its editor window, beside a plain copy of an
// image of the same size (the least a window does to show a frame) in the same run; the ratio is
// printed. A redraw of one node during a run is measured beside it.
#include "factory/ui/FactoryImage.h"

#include "FactoryGrid.h"
#include "NullFactoryHost.h"
#include "QtBench.h"
#include "SecondsReporter.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

using namespace kelvorn;

constexpr int Columns = bench::GridColumns;
constexpr int Rows = bench::GridRows;
constexpr int Width = bench::GridWidth;
constexpr int Height = bench::GridHeight;

bench::NullFactoryHost host;

TUnitSountory& Factory()
{
    static std::unique_ptr<TUnitSountory> factory = bench::MakeFactoryGrid(host);
    return *factory;
}

void PaintFactory(benchmark::State& state)
{
    TFactoryImage image(Width, Height, 0xF0F0F0);
    TUnitSountory& factory = Factory();
    for (auto _ : state) {
        image.Paint(factory);
        benchmark::DoNotOptimize(image.Image().constBits());
    }
    state.counters["nodes"] = double(factory.Nodes().size());
}

void RedrawNode(benchmark::State& state)
{
    TFactoryImage image(Width, Height, 0xF0F0F0);
    TUnitSountory& factory = Factory();
    image.Paint(factory);
    int repaints = 0;
    image.repaint = [&](const PixelRect&) { ++repaints; };
    const TSountoryNode& node = *factory.Nodes()[Columns * Rows / 2];
    for (auto _ : state)
        image.Redraw(node);
    benchmark::DoNotOptimize(repaints);
}

/// The peer: a copy of an image of the same size.
void CopyImage(benchmark::State& state)
{
    bench::RunImageCopy(state, QSize(Width, Height), QColor(0xF0F0F0));
}

} // namespace

int main(int argc, char** argv)
{
    kelvorn::bench::OffscreenApp<QGuiApplication> app(argv);
    if (!kelvorn::bench::StartBenchmarks(argc, argv))
        return 1;
    benchmark::RegisterBenchmark("CopyImage", CopyImage)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("PaintFactory", PaintFactory)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("RedrawNode", RedrawNode)->Unit(benchmark::kMicrosecond);
    kelvorn::bench::SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double peer = reporter.seconds["CopyImage"];
    const double paint = reporter.seconds["PaintFactory"];
    const double redraw = reporter.seconds["RedrawNode"];
    if (peer > 0 && paint > 0)
        std::printf("\n%d x %d image, %zu nodes, %d connections: full paint %.2f ms, image copy "
                    "(peer) %.3f ms, paint / copy %.1f; one node redrawn %.1f us (%.4f of a full "
                    "paint)\n",
                    Width, Height, Factory().Nodes().size(), 2 * Columns * Rows, paint * 1e3,
                    peer * 1e3, paint / peer, redraw * 1e6, redraw / paint);
    return 0;
}
