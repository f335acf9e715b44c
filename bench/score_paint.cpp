// Repaints of generated pieces of 50, 200, 800 and 2,000 bars on 4 staves in a 1600 x 1000
// window, at the start, a quarter, the middle, three quarters and the end of the score: every
// bar holds beamed eighths, a dotted quarter, sharps, a chord of a second and a half note tied
// across the bar line. The figure a user feels is the repaint while scrolling, so each piece is
// painted once before the timing starts; the peer is the 50-bar piece's repaint at its start in
// the same run, and each case prints its ratio to it. Two more figures: the paint after an
// edit of the first bar's first note (the piece laid out again from there) and, as the floor,
// the bands and lines of the same staves alone.
#include "music/ui/ScorePainter.h"
#include "music/ui/StaveDrawing.h"

#include "QtBench.h"
#include "SecondsReporter.h"
#include "window_base/QtCanvas.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace kelvorn;

constexpr int Width = 1600;
constexpr int Height = 1000;
constexpr int Bars[] = {50, 200, 800, 2000};
/// Scroll positions in quarters of the scrollable width.
constexpr int Quarters[] = {0, 1, 2, 3, 4};

std::unique_ptr<TUnitMuz> MakePiece(int bars)
{
    auto doc = std::make_unique<TUnitMuz>("bench", "");
    doc->NewMusic();
    TNoteStave* stave = doc->GetFirstStave();
    for (int i = 0; i < 3; ++i)
        stave = doc->AddStave(stave);
    TSinglePartMuz* part = doc->GetRootPart()->FirstSinglePart();
    int s = 0;
    for (TNoteStave* st = doc->GetFirstStave(); st; st = st->GetNext(), ++s) {
        st->RoomUp.SetValue(60);
        st->RoomDown.SetValue(50);
        auto note = [&](double at, int32_t pitch, uint8_t length, int32_t dots,
                        NoteShiftKind shift) {
            auto* n = new TMuzNote(doc.get(), st->GetFirstNoteGroup(), length, dots, at, pitch, st,
                                   shift, sool, 0, noteArtNormal, part, drawStickAuto);
            part->InsertSymbol(n);
        };
        for (int b = 0; b < bars; ++b) {
            const double t = b;
            note(t, 4 + s, 8, 0, noteShiftKruis);
            note(t + 0.125, 6 + s, 8, 0, noteShiftNormal);
            note(t + 0.25, 5, 4, 1, noteShiftMol);
            note(t + 0.25, 6, 4, 1, noteShiftNormal);
            note(t + 0.625, 8 - s, 16, 0, noteShiftNormal);
            note(t + 0.6875, 7, 16, 0, noteShiftNormal);
            // A half note from the last quarter: tied across the bar line (the last one too).
            note(t + 0.75, 3 + s, 2, 0, noteShiftNormal);
        }
    }
    return doc;
}

struct Piece
{
    std::unique_ptr<TUnitMuz> doc;
    std::unique_ptr<TScorePainter> painter;
    int64_t scrollWidth = 0;
};

/// Each piece with its painter, painted once so that the scrollable width is known.
Piece& PieceOf(int bars)
{
    static std::map<int, Piece> pieces;
    Piece& p = pieces[bars];
    if (!p.doc) {
        p.doc = MakePiece(bars);
        p.painter = std::make_unique<TScorePainter>(*p.doc);
        QtCanvas canvas(Width, Height);
        p.painter->Paint(canvas, Width, Height, 0, 0);
        p.scrollWidth = std::max<int64_t>(0, p.painter->XExtent() - Width);
    }
    return p;
}

void Repaint(benchmark::State& state, int bars, int quarter)
{
    Piece& p = PieceOf(bars);
    const auto xScroll = static_cast<int32_t>(p.scrollWidth * quarter / 4);
    QtCanvas canvas(Width, Height);
    p.painter->Paint(canvas, Width, Height, xScroll, 0);
    for (auto _ : state) {
        p.painter->Paint(canvas, Width, Height, xScroll, 0);
        benchmark::DoNotOptimize(canvas.Image().constBits());
    }
}

/// An edit of the first bar before every paint: the whole piece is laid out again.
void PaintAfterEdit(benchmark::State& state, int bars)
{
    Piece& p = PieceOf(bars);
    TMuzNote* first = p.doc->GetRootPart()->FirstSymbol()->FirstNote();
    QtCanvas canvas(Width, Height);
    for (auto _ : state) {
        first->SetPitch(first->GetPitch() == 4 ? 3 : 4);
        p.painter->Paint(canvas, Width, Height, 0, 0);
        benchmark::DoNotOptimize(canvas.Image().constBits());
    }
    first->SetPitch(4);
}

/// The floor: only the bands and lines of the same staves.
void BandsAndLines(benchmark::State& state)
{
    Piece& p = PieceOf(50);
    QtCanvas canvas(Width, Height);
    p.painter->Paint(canvas, Width, Height, 0, 0); // places the staves
    const PixelRect client{0, 0, Width, Height};
    for (auto _ : state) {
        for (TNoteStave* s = p.doc->GetFirstStave(); s; s = s->GetNext())
            DrawStaveBackground(canvas, *s, client);
        for (TNoteStave* s = p.doc->GetFirstStave(); s; s = s->GetNext())
            DrawStaveLines(canvas, *s, client);
        benchmark::DoNotOptimize(canvas.Image().constBits());
    }
}

std::string RepaintName(int bars, int quarter)
{
    return "Repaint/" + std::to_string(bars) + "/" + std::to_string(quarter * 25) + "%";
}

} // namespace

int main(int argc, char** argv)
{
    kelvorn::bench::OffscreenApp<QGuiApplication> app(argv);
    if (!kelvorn::bench::StartBenchmarks(argc, argv))
        return 1;
    benchmark::RegisterBenchmark("BandsAndLines", BandsAndLines)->Unit(benchmark::kMillisecond);
    for (int bars : Bars)
        for (int quarter : Quarters)
            benchmark::RegisterBenchmark(
                RepaintName(bars, quarter).c_str(),
                [bars, quarter](benchmark::State& state) { Repaint(state, bars, quarter); })
                ->Unit(benchmark::kMillisecond);
    for (int bars : Bars)
        benchmark::RegisterBenchmark(
            ("AfterEdit/" + std::to_string(bars)).c_str(),
            [bars](benchmark::State& state) { PaintAfterEdit(state, bars); })
            ->Unit(benchmark::kMillisecond);
    kelvorn::bench::SecondsReporter reporter(kelvorn::bench::SecondsReporter::Time::Real,
                                             kelvorn::bench::SecondsReporter::Key::FullName);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double peer = reporter.Of(RepaintName(50, 0));
    if (peer <= 0)
        return 0;
    std::printf("\nRepaint at %d x %d; the peer is the 50-bar piece at its start: %.3f ms "
                "(goal: every case at most 1.5 x)\n",
                Width, Height, peer * 1e3);
    std::printf("%-8s %8s %12s %12s\n", "bars", "scroll", "repaint ms", "/ 50 bars");
    double worst = 0;
    for (int bars : Bars)
        for (int quarter : Quarters) {
            const double s = reporter.Of(RepaintName(bars, quarter));
            if (s <= 0)
                continue;
            worst = std::max(worst, s / peer);
            std::printf("%-8d %7d%% %12.3f %12.2f\n", bars, quarter * 25, s * 1e3, s / peer);
        }
    std::printf("worst ratio %.2f\n", worst);
    std::printf("\nPaint after an edit of the first bar (laid out again from there):\n");
    std::printf("%-8s %12s %12s %14s\n", "bars", "paint ms", "/ 50 bars", "us per bar");
    for (int bars : Bars) {
        const double s = reporter.Of("AfterEdit/" + std::to_string(bars));
        if (s > 0)
            std::printf("%-8d %12.3f %12.2f %14.1f\n", bars, s * 1e3, s / peer, s * 1e6 / bars);
    }
    if (const double floor = reporter.Of("BandsAndLines"); floor > 0)
        std::printf("\nBands and lines alone (the floor of any repaint): %.3f ms\n", floor * 1e3);
    return 0;
}
