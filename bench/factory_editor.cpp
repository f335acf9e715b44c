// The factory window's handling of a mouse move over a factory of 500 nodes and 1,000
// connections (the window showing all of it): the hit test, the highlight of the pin under the
// mouse with its hint, and the repaint that follows, as the event loop runs it (it paints only
// what a move invalidated). The mouse
// goes back and forth between a pin and an empty spot, so every move changes the picture; moves
// over empty spots alone show the hit test's share. The peer in the same run is a plain copy of
// an image of the window's size (the least a window does to show a frame); the ratio is printed.
#include "factory/ui/FactoryWindow.h"

#include "FactoryGrid.h"
#include "NullFactoryHost.h"
#include "QtBench.h"
#include "SecondsReporter.h"

#include <QApplication>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

using namespace kelvorn;

bench::NullFactoryHost host;

struct Window
{
    Window()
    {
        window = std::make_unique<TMDIChildFact>(nullptr, bench::MakeFactoryGrid(host));
        window->resize(bench::GridWidth + 40, bench::GridHeight + 60);
        window->show();
        QCoreApplication::processEvents();
        window->PaintFactory();
        const TUnitSountory& factory = window->GetUnitSountory();
        // A node input in the middle of the grid, and the gap between two nodes beside it.
        const TSountoryNode& node = *factory.Nodes()[bench::GridColumns * bench::GridRows / 2];
        const TSountoryNodeInput& pin = *node.Inputs()[1];
        pinPoint = QPoint(node.GetDrawRect().left, pin.GetY());
        emptyPoint = QPoint(node.GetDrawRect().left - 10, node.GetDrawRect().top - 5);
    }
    void Move(QPoint at)
    {
        QWidget* client = window->FactoryViewport();
        QMouseEvent move(QEvent::MouseMove, QPointF(at), client->mapToGlobal(QPointF(at)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(client, &move);
        // What the event loop does next: the paint of what the move invalidated, if anything.
        QCoreApplication::processEvents();
        if (window->Editor().GetHighlighted())
            ++highlights;
    }
    QSize ClientSize() const { return window->FactoryViewport()->size(); }

    std::unique_ptr<TMDIChildFact> window;
    int highlights = 0;
    QPoint pinPoint;
    QPoint emptyPoint;
};

Window& TheWindow()
{
    static Window window;
    return window;
}

void MoveOnAndOffAPin(benchmark::State& state)
{
    Window& w = TheWindow();
    bool onPin = false;
    w.highlights = 0;
    for (auto _ : state) {
        onPin = !onPin;
        w.Move(onPin ? w.pinPoint : w.emptyPoint);
    }
    // Every second move lands on the pin and highlights it.
    state.counters["highlighted"] = double(w.highlights) / double(state.iterations());
}

void MoveOverEmptySpots(benchmark::State& state)
{
    Window& w = TheWindow();
    w.Move(w.emptyPoint);
    int dx = 0;
    for (auto _ : state) {
        dx = (dx + 1) % 4;
        w.Move(w.emptyPoint + QPoint(dx, 0));
    }
}

/// The peer: a copy of an image of the window's client size.
void CopyImage(benchmark::State& state)
{
    bench::RunImageCopy(state, TheWindow().ClientSize(), QColor(0xF0F0F0));
}

} // namespace

int main(int argc, char** argv)
{
    kelvorn::bench::OffscreenApp<QApplication> app(argv);
    if (!kelvorn::bench::StartBenchmarks(argc, argv))
        return 1;
    benchmark::RegisterBenchmark("CopyImage", CopyImage)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("MoveOnAndOffAPin", MoveOnAndOffAPin)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("MoveOverEmptySpots", MoveOverEmptySpots)
        ->Unit(benchmark::kMicrosecond);
    kelvorn::bench::SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double peer = reporter.seconds["CopyImage"];
    const double changing = reporter.seconds["MoveOnAndOffAPin"];
    const double empty = reporter.seconds["MoveOverEmptySpots"];
    const QSize size = TheWindow().ClientSize();
    if (peer > 0 && changing > 0)
        std::printf("\n%d x %d client, %zu nodes: a move that changes the highlight %.2f ms "
                    "(hit test and full repaint), image copy (peer) %.3f ms, move / copy %.1f; a "
                    "move over empty spots %.1f us (%.4f of a changing move)\n",
                    size.width(), size.height(),
                    TheWindow().window->GetUnitSountory().Nodes().size(), changing * 1e3,
                    peer * 1e3, changing / peer, empty * 1e6, empty / changing);
    TheWindow().window.reset();
    return 0;
}
