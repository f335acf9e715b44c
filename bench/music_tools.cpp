// The refills of the two music tool windows, each against a peer in the same run:
// - "Music Parts" showing a tree of 500 parts (300 single parts, 100 repeats, 100 turns parts
//   of two turn items each: 700 nodes), against a bare tree widget filled with the same 700
//   nodes, texts and pictures;
// - "Music" showing a piece of 64 staves, against the same window showing a piece of one stave
//   (the ratio says how the refill grows with the staves).
// Each refill is what activating a music window costs the window.
#include "QtBench.h"
#include "SecondsReporter.h"
#include "music/core/MuzTree.h"
#include "music/core/PartMuz.h"
#include "music/core/Stave.h"
#include "music/core/UnitMuz.h"
#include "music/ui/MusicDialog.h"
#include "music/ui/MusicPartsDialog.h"
#include "music/ui/MusicWindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QPixmap>
#include <QTreeWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

using namespace kelvorn;

class BenchHost final : public MusicToolHost
{
public:
    QRect GetMainFormRect() const override { return {0, 0, 800, 600}; }
    TMDIChildMuz* GetActiveChildMuz() override { return nullptr; }
    void SetTextInputMode(bool) override {}
    std::vector<std::string> WaveNames() override { return {"Wave 1", "Wave 2"}; }
};

/// 300 single parts side by side; every third one wrapped in a repeat or in turns of two items.
std::unique_ptr<TUnitMuz> TreePiece()
{
    auto doc = std::make_unique<TUnitMuz>("Music 1", "");
    doc->NewMusic();
    TPartMuz* last = doc->GetRootPart()->FirstSinglePart();
    std::vector<TPartMuz*> singles{last};
    for (int i = 1; i < 300; ++i) {
        last = AsTreePart(InsertSinglePart(*doc, *last, true).select);
        singles.push_back(last);
    }
    for (int i = 0; i < 100; ++i) {
        WrapInLoop(*doc, *singles[size_t(3 * i)]);
        WrapInSelect(*doc, *singles[size_t(3 * i + 1)]);
        AddTurnItem(*static_cast<TSelectPartMuz*>(singles[size_t(3 * i + 1)]->GetParent()));
    }
    return doc;
}

std::unique_ptr<TUnitMuz> StavePiece(int staves)
{
    auto doc = std::make_unique<TUnitMuz>("Music 1", "");
    doc->NewMusic();
    for (int i = 1; i < staves; ++i)
        doc->AddStave(doc->GetFirstStave());
    return doc;
}

struct Shown
{
    QMdiArea area;
    TMDIChildMuz* window;
    explicit Shown(std::unique_ptr<TUnitMuz> doc)
    {
        area.resize(900, 700);
        window = new TMDIChildMuz(nullptr, std::move(doc));
        area.addSubWindow(window);
        window->resize(800, 600);
    }
};

void MusicPartsRefill(benchmark::State& state)
{
    BenchHost host;
    Shown shown(TreePiece());
    TDlgMusTree dialog(nullptr, host);
    dialog.show();
    for (auto _ : state) {
        dialog.SetUnitMuz(shown.window);
        benchmark::DoNotOptimize(dialog.tvMusParts->topLevelItemCount());
    }
    int nodes = 0;
    for (QTreeWidgetItemIterator it(dialog.tvMusParts); *it; ++it)
        ++nodes;
    if (nodes != 700)
        state.SkipWithError("the tree does not have 700 nodes");
}

void PlainTreeFill(benchmark::State& state)
{
    QTreeWidget tree;
    tree.setHeaderHidden(true);
    tree.show();
    QPixmap picture(16, 16);
    picture.fill(Qt::darkBlue);
    const QIcon icon(picture);
    for (auto _ : state) {
        tree.setUpdatesEnabled(false);
        tree.clear();
        // The same shape: 100 groups of a repeat over a part, turns over two items and a part,
        // and a part alone.
        for (int i = 0; i < 100; ++i) {
            auto* loop = new QTreeWidgetItem(&tree, QStringList{QStringLiteral("repeat 2")});
            loop->setIcon(0, icon);
            new QTreeWidgetItem(loop, QStringList{QStringLiteral("part")});
            auto* turns = new QTreeWidgetItem(&tree, QStringList{QStringLiteral("turns")});
            turns->setIcon(0, icon);
            for (const char* text : {"turn 1", "turn 2", "part"})
                new QTreeWidgetItem(turns, QStringList{QLatin1String(text)});
            loop->setExpanded(true);
            turns->setExpanded(true);
            new QTreeWidgetItem(&tree, QStringList{QStringLiteral("part")});
        }
        tree.setUpdatesEnabled(true);
        benchmark::DoNotOptimize(tree.topLevelItemCount());
    }
}

void Refill(benchmark::State& state, int staves)
{
    BenchHost host;
    Shown shown(StavePiece(staves));
    TDlgMusic dialog(nullptr, host);
    dialog.show();
    for (auto _ : state) {
        dialog.SetUnitMuz(shown.window);
        benchmark::DoNotOptimize(dialog.staves.count->text().size());
    }
    if (dialog.staves.count->text().toInt() != staves)
        state.SkipWithError("the window does not count the staves");
}

void MusicRefill64(benchmark::State& state)
{
    Refill(state, 64);
}

void MusicRefill1(benchmark::State& state)
{
    Refill(state, 1);
}

} // namespace

int main(int argc, char** argv)
{
    kelvorn::bench::OffscreenApp<QApplication> app(argv);
    if (!kelvorn::bench::StartBenchmarks(argc, argv))
        return 1;
    using Run = void (*)(benchmark::State&);
    const std::pair<const char*, Run> runs[] = {{"MusicPartsRefill", MusicPartsRefill},
                                                {"PlainTreeFill", PlainTreeFill},
                                                {"MusicRefill64", MusicRefill64},
                                                {"MusicRefill1", MusicRefill1}};
    for (const auto& [name, run] : runs)
        benchmark::RegisterBenchmark(name, run)->Unit(benchmark::kMillisecond);
    kelvorn::bench::SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto ms = [&reporter](const char* name) { return reporter.Of(name) * 1e3; };
    if (ms("PlainTreeFill") > 0 && ms("MusicRefill1") > 0)
        std::printf("\n\"Music Parts\", 500 parts (700 nodes): refill %.2f ms, bare tree fill %.2f "
                    "ms, ratio %.2f\n\"Music\", 64 staves: refill %.3f ms, one stave %.3f ms, "
                    "ratio %.2f\n",
                    ms("MusicPartsRefill"), ms("PlainTreeFill"),
                    ms("MusicPartsRefill") / ms("PlainTreeFill"), ms("MusicRefill64"),
                    ms("MusicRefill1"), ms("MusicRefill64") / ms("MusicRefill1"));
    return 0;
}
