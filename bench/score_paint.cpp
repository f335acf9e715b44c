// Layout and full paint of generated pieces of 50, 200 and 800 bars on 4 staves into a
// 1600 x 1000 backing image: every bar holds beamed eighths, a dotted quarter, sharps, a chord
// of a second and a half note tied across the bar line. The peer paints only the same bands and
// lines on the same canvas, in the same run; the ratios and the cost per bar are printed at the
// end, so a cost that grows faster than the bars shows as a growing cost per bar.
#include "music/ui/ScorePainter.h"
#include "music/ui/StaveDrawing.h"

#include "SecondsReporter.h"
#include "window_base/QtCanvas.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace kelvorn;

constexpr int Width = 1600;
constexpr int Height = 1000;
constexpr int Bars[] = {50, 200, 800};

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

TUnitMuz& Piece(int bars)
{
    static std::unique_ptr<TUnitMuz> pieces[3];
    const int i = bars == 50 ? 0 : bars == 200 ? 1 : 2;
    if (!pieces[i])
        pieces[i] = MakePiece(bars);
    return *pieces[i];
}

void PaintScore(benchmark::State& state, int bars)
{
    TUnitMuz& doc = Piece(bars);
    TScorePainter painter(doc);
    QtCanvas canvas(Width, Height);
    for (auto _ : state) {
        painter.Paint(canvas, Width, Height, 0, 0);
        benchmark::DoNotOptimize(canvas.Image().constBits());
    }
}

/// The peer: only the bands and lines of the same staves.
void BandsAndLines(benchmark::State& state)
{
    TUnitMuz& doc = Piece(50);
    TScorePainter painter(doc);
    QtCanvas canvas(Width, Height);
    painter.Paint(canvas, Width, Height, 0, 0); // places the staves
    const PixelRect client{0, 0, Width, Height};
    for (auto _ : state) {
        for (TNoteStave* s = doc.GetFirstStave(); s; s = s->GetNext())
            DrawStaveBackground(canvas, *s, client);
        for (TNoteStave* s = doc.GetFirstStave(); s; s = s->GetNext())
            DrawStaveLines(canvas, *s, client);
        benchmark::DoNotOptimize(canvas.Image().constBits());
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
    benchmark::RegisterBenchmark("BandsAndLines", BandsAndLines)->Unit(benchmark::kMillisecond);
    for (int bars : Bars)
        benchmark::RegisterBenchmark(("Score/" + std::to_string(bars)).c_str(),
                                     [bars](benchmark::State& state) { PaintScore(state, bars); })
            ->Unit(benchmark::kMillisecond);
    kelvorn::bench::SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto peer = reporter.seconds.find("BandsAndLines");
    if (peer == reporter.seconds.end() || peer->second <= 0)
        return 0;
    std::printf("\nPeer: bands and lines of 4 staves on %d x %d: %.3f ms\n", Width, Height,
                peer->second * 1e3);
    std::printf("%-12s %12s %12s %14s\n", "case", "paint ms", "/ peer", "us per bar");
    for (int bars : Bars) {
        auto it = reporter.seconds.find("Score/" + std::to_string(bars));
        if (it == reporter.seconds.end())
            continue;
        std::printf("%-12s %12.2f %12.1f %14.1f\n", it->first.c_str(), it->second * 1e3,
                    it->second / peer->second, it->second * 1e6 / bars);
    }
    return 0;
}
