// Writing music in the main window, against its peers in the same run:
// - the action update with a music window active (about 70 questions of the piece: every music
//   action's enabled and checked state, and the status panels), against the update with a wave
//   window active;
// - a click in insert mode that puts a note into the first bar of a 200-bar piece (two staves,
//   1,200 notes), timed to the window repainted (the layout from that bar on, the action update
//   that follows the click, the paint), against a repaint of the same window with nothing
//   changed.
#include "document/wave/UnitWave.h"
#include "music/core/PartMuz.h"
#include "music/core/Stave.h"
#include "music/core/UnitMuz.h"
#include "music/ui/MusicWindow.h"
#include "platform/qt/QtServices.h"
#include "platform/test/ScriptedMessages.h"
#include "shell/FileCommands.h"
#include "shell/MainForm.h"
#include "shell/MusicCommands.h"
#include "sound/Sound.h"
#include "waveui/WaveWindow.h"

#include "QtBench.h"
#include "SecondsReporter.h"

#include <QApplication>
#include <QMdiArea>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace kelvorn;

namespace {

constexpr int Bars = 200;

/// 200 bars of 4/4: four quarters above, two halves below.
std::unique_ptr<TUnitMuz> Piece()
{
    auto doc = std::make_unique<TUnitMuz>("Piece", "");
    doc->NewMusic();
    TNoteStave* upper = doc->GetFirstStave();
    TNoteStave* lower = doc->AddStave(upper);
    TSinglePartMuz* part = doc->GetRootPart()->FirstSinglePart();
    auto note = [&](TNoteStave* stave, double position, int32_t pitch, uint8_t length) {
        part->InsertSymbol(new TMuzNote(doc.get(), stave->GetFirstNoteGroup(), length, 0, position,
                                        pitch, stave, noteShiftNormal, sool, 0, noteArtNormal, part,
                                        drawStickAuto));
    };
    for (int bar = 0; bar < Bars; ++bar) {
        for (int i = 0; i < 4; ++i)
            note(upper, bar + i * 0.25, (bar + i) % 9, 4);
        for (int i = 0; i < 2; ++i)
            note(lower, bar + i * 0.5, -3 - (bar + i) % 5, 2);
    }
    // Nothing sounds while the benchmark edits: the audition is the player's cost, not the
    // editor's.
    doc->autoPlay = 0;
    return doc;
}

SoundPtr Wave()
{
    WavePtr wave = CreateWave(nullptr, 44100);
    return std::make_shared<MonoSound>(std::move(wave), 44100, int16_t{2});
}

struct Setup
{
    QtServices services;
    ScriptedMessages messages; // a box would stop the run: it is recorded and answered
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TFileCommands> files;
    std::unique_ptr<TMusicCommands> music;
    TMDIChildKelvorn* wave = nullptr;
    TMDIChildMuz* piece = nullptr;

    Setup()
    {
        form = std::make_unique<TMainForm>();
        form->resize(1400, 900);
        form->show();
        files = std::make_unique<TFileCommands>(*form);
        files->Install();
        music = std::make_unique<TMusicCommands>(*form, *files);
        music->Install();
        wave = files->NewChildWave(std::make_unique<TUnitWave>("Wave", std::string(), Wave()),
                                   form->DefaultWaveViewProps(), form->DefaultVoldViewProps());
        piece = music->NewChildMuz(Piece());
        piece->showNormal();
        piece->resize(1200, 600);
        Activate(piece);
    }
    ~Setup()
    {
        for (QMdiSubWindow* window : form->Frame()->subWindowList())
            delete window;
        music.reset();
        files.reset();
        form.reset();
    }
    void Activate(TMDIChildKelvorn* window)
    {
        form->Frame()->setActiveSubWindow(window);
        QApplication::processEvents();
        form->ActionListUpdate();
    }
    TUnitMuz& Doc() const { return piece->GetUnitMuz(); }
    void Mouse(QEvent::Type type, Qt::MouseButtons held, int x, int y)
    {
        QWidget* viewport = piece->ScoreViewport();
        const QPointF at(x, y);
        QMouseEvent event(type, at, viewport->mapToGlobal(at),
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::LeftButton, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &event);
    }
};

std::unique_ptr<Setup> setup;

Setup& TheSetup()
{
    if (!setup)
        setup = std::make_unique<Setup>();
    return *setup;
}

/// The update with the music window active, a note selected in select mode, so that the
/// questions about notes, lengths and neighbours all look at it.
void ActionUpdateMusic(benchmark::State& state)
{
    Setup& s = TheSetup();
    s.Activate(s.piece);
    s.Doc().mode = unitMuzSel;
    TSinglePartMuz* part = s.Doc().GetRootPart()->FirstSinglePart();
    s.Doc().SetSelectedSymbol(part->FirstSymbol()->FirstNote());
    for (auto _ : state)
        s.form->ActionListUpdate();
    if (!s.form->Action("MusicTriplet")->isEnabled())
        state.SkipWithError("the update did not ask the piece");
}

void ActionUpdateWave(benchmark::State& state)
{
    Setup& s = TheSetup();
    s.Activate(s.wave);
    for (auto _ : state)
        s.form->ActionListUpdate();
    s.Activate(s.piece);
}

/// Where a click puts a note two steps above the middle line, right of the first note.
QPoint InsertPoint(Setup& s)
{
    s.piece->LayOutNow();
    TSinglePartMuz* part = s.Doc().GetRootPart()->FirstSinglePart();
    TMuzNote* first = part->FirstSymbol()->FirstNote();
    TNoteStave* stave = first->GetNoteStave();
    return {first->XRight + s.piece->GetXOrigin() + 3, stave->GetMiddleY() - 10};
}

void ClickInsert(benchmark::State& state)
{
    Setup& s = TheSetup();
    s.Activate(s.piece);
    s.Doc().ModeEditExecute();
    s.Doc().SetSelectedSymbol(nullptr);
    s.Doc().ModeAddExecute();
    const QPoint at = InsertPoint(s);
    const int32_t symbols = s.Doc().GetRootPart()->FirstSinglePart()->CountSymbols();
    for (auto _ : state) {
        s.Mouse(QEvent::MouseButtonPress, Qt::LeftButton, at.x(), at.y());
        s.Mouse(QEvent::MouseButtonRelease, Qt::NoButton, at.x(), at.y());
        s.piece->ScoreViewport()->repaint();
        state.PauseTiming();
        // The note goes again, so that every click meets the same piece.
        if (s.Doc().GetRootPart()->FirstSinglePart()->CountSymbols() != symbols + 1) {
            state.SkipWithError("the click inserted no note");
            break;
        }
        s.Doc().DeleteExecute();
        s.piece->ScoreViewport()->repaint();
        state.ResumeTiming();
    }
}

void RepaintOnly(benchmark::State& state)
{
    Setup& s = TheSetup();
    s.Activate(s.piece);
    s.piece->ScoreViewport()->repaint();
    for (auto _ : state)
        s.piece->ScoreViewport()->repaint();
}

} // namespace

int main(int argc, char** argv)
{
    kelvorn::bench::OffscreenApp<QApplication> app(argv);
    if (!kelvorn::bench::StartBenchmarks(argc, argv))
        return 1;
    benchmark::RegisterBenchmark("ActionUpdateMusic", ActionUpdateMusic)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("ActionUpdateWave", ActionUpdateWave)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("ClickInsert", ClickInsert)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("RepaintOnly", RepaintOnly)->Unit(benchmark::kMillisecond);
    kelvorn::bench::SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // The windows go while the application they live in still exists.
    setup.reset();

    if (const double music = reporter.Of("ActionUpdateMusic"),
        wave = reporter.Of("ActionUpdateWave");
        music > 0 && wave > 0)
        std::printf("\naction update: music window %.1f us, wave window %.1f us, ratio %.2f\n",
                    music * 1e6, wave * 1e6, music / wave);
    if (const double click = reporter.Of("ClickInsert"), repaint = reporter.Of("RepaintOnly");
        click > 0 && repaint > 0)
        std::printf("%d-bar piece: click inserting a note to the repainted window %.2f ms, "
                    "repaint alone %.2f ms, ratio %.2f\n",
                    Bars, click * 1e3, repaint * 1e3, click / repaint);
    return 0;
}
