// Opening a 2,000-bar piece (two staves, 12,000 notes) into a music window and painting the
// window once (1200 x 600), against reading the same file alone, in the same run. The paint
// lays out the whole score, not only what shows, since the scroll range needs its end.
#include "OpenBench.h"
#include "music/core/PartMuz.h"
#include "music/core/Stave.h"
#include "music/core/UnitMuz.h"
#include "music/ui/MusicWindow.h"

#include <QDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

using namespace kelvorn;

constexpr int Bars = 2000;

void AddNote(TUnitMuz& doc, TSinglePartMuz* part, TNoteStave* stave, double position, int32_t pitch,
             uint8_t length)
{
    part->InsertSymbol(new TMuzNote(&doc, stave->GetFirstNoteGroup(), length, 0, position, pitch,
                                    stave, noteShiftNormal, sool, 0, noteArtNormal, part,
                                    drawStickAuto));
}

std::string PieceFile()
{
    static const std::string path = [] {
        const std::string file = QDir::tempPath().toStdString() + "/kelvorn_bench_piece.kvm";
        TUnitMuz doc("piece", "");
        doc.NewMusic();
        TNoteStave* upper = doc.GetFirstStave();
        TNoteStave* lower = doc.AddStave(upper);
        TSinglePartMuz* part = doc.GetRootPart()->FirstSinglePart();
        // A 4/4 bar: four quarters above, two halves below.
        for (int bar = 0; bar < Bars; ++bar) {
            for (int i = 0; i < 4; ++i)
                AddNote(doc, part, upper, bar + i * 0.25, (bar + i) % 9, 4);
            for (int i = 0; i < 2; ++i)
                AddNote(doc, part, lower, bar + i * 0.5, -3 - (bar + i) % 5, 2);
        }
        if (!doc.SaveAs(file))
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
        return file;
    }();
    return path;
}

std::unique_ptr<TUnitMuz> Read(benchmark::State& state)
{
    auto doc = std::make_unique<TUnitMuz>("Music 1", PieceFile());
    std::string message;
    if (!doc->OpenFile(message)) {
        state.SkipWithError(message.c_str());
        return nullptr;
    }
    return doc;
}

void ReadAlone(benchmark::State& state)
{
    for (auto _ : state) {
        std::unique_ptr<TUnitMuz> doc = Read(state);
        benchmark::DoNotOptimize(doc.get());
    }
}

void OpenAndPaint(benchmark::State& state)
{
    bench::OpenFrame frame;
    for (auto _ : state) {
        std::unique_ptr<TUnitMuz> doc = Read(state);
        if (!doc)
            break;
        auto* window = new TMDIChildMuz(nullptr, std::move(doc));
        frame.Show(window);
        // The paint lays the score out to its end: the scroll range shows it did.
        if (window->GetHorzRange() < Bars * 20) {
            state.SkipWithError("the window did not paint the whole score");
            break;
        }
        benchmark::DoNotOptimize(window->Image().constBits());
        window->Release();
        delete window;
    }
}

} // namespace

int main(int argc, char** argv)
{
    return kelvorn::bench::RunOpenAgainstRead(argc, argv, PieceFile, ReadAlone, OpenAndPaint,
                                              std::to_string(Bars) + "-bar piece");
}
