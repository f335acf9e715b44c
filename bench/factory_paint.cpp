// A full paint of a factory of 500 nodes (two inputs and two outputs each, pictures and labels)
// with 1,000 connections into the backing image of its editor window, beside a plain copy of an
// image of the same size (the least a window does to show a frame) in the same run; the ratio is
// printed. A redraw of one node during a run is measured beside it.
#include "factory/core/UserNodes.h"
#include "factory/ui/FactoryImage.h"

#include "NullFactoryHost.h"
#include "SecondsReporter.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

using namespace kelvorn;

constexpr int Columns = 25;
constexpr int Rows = 20;
constexpr int NodeWidth = 60;
constexpr int NodeHeight = 44;
constexpr int Width = 25 + 15 + Columns * (NodeWidth + 20) + 15;
constexpr int Height = 15 + 5 + Rows * (NodeHeight + 10) + 5;

bench::NullFactoryHost host;

/// 500 user nodes in a grid; each input is fed by an output of a node two columns to its left
/// (or by a factory input in the first columns), so every connection crosses other nodes.
std::unique_ptr<TUnitSountory> MakeFactory()
{
    using T = ValueDomType;
    auto factory = std::make_unique<TUnitSountory>("Paint", "/tmp/paint.kvf", host);
    factory->SetWidth(Width - 25 - 5);
    factory->SetHeight(Height - 15 - 5);
    factory->ShowTypeNIO = true;
    auto at = [](double h) { return unitFactorPosMax1(h, EHPerc); };
    TSountoryInput* wave = factory->CreateInput("Wave", at(0.3), false, T::Wave, ValueDomain::Mono);
    TSountoryInput* value =
        factory->CreateInput("Value", at(0.6), false, T::Time, ValueDomain::Positive);
    std::vector<TSountoryNode*> grid;
    for (int c = 0; c < Columns; ++c)
        for (int r = 0; r < Rows; ++r) {
            const int x = 15 + c * (NodeWidth + 20);
            const int y = 5 + r * (NodeHeight + 10);
            auto* node = factory->CreateNode<TSountoryNodeUser>(
                "Node " + std::to_string(grid.size()), "Inner",
                TSountoryRectangle{x, y, x + NodeWidth, y + NodeHeight});
            node->AddInput("Wave", at(0.2), false, T::Wave, ValueDomain::AllValues);
            node->AddInput("Time", at(0.8), false, T::Time, ValueDomain::AllValues);
            node->AddOutput("Result", at(0.2), false, T::Wave, ValueDomain::Mono);
            node->AddOutput("Length", at(0.8), false, T::Time, ValueDomain::Positive);
            const size_t from = grid.size() - std::min<size_t>(grid.size(), 2 * Rows - 1);
            TSountoryInputSource* waveSource =
                c < 2 ? static_cast<TSountoryInputSource*>(wave) : grid[from]->Outputs()[0].get();
            TSountoryInputSource* valueSource =
                c < 2 ? static_cast<TSountoryInputSource*>(value) : grid[from]->Outputs()[1].get();
            node->Inputs()[0]->SetSource(waveSource);
            node->Inputs()[1]->SetSource(valueSource);
            grid.push_back(node);
        }
    return factory;
}

TUnitSountory& Factory()
{
    static std::unique_ptr<TUnitSountory> factory = MakeFactory();
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
    QImage image(Width, Height, QImage::Format_RGB32);
    image.fill(0xF0F0F0);
    for (auto _ : state) {
        QImage copy = image.copy();
        benchmark::DoNotOptimize(copy.constBits());
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
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
