// The main window's Play on a music window against Play on a wave window of the same length,
// both against the private PulseAudio server in the same run: the time from the Play command to
// the first sample at the pipe sink. For the piece that time holds the render of all of it (a
// minute of quarter notes sampling an open wave, 44.1 kHz stereo) before its play file is
// written; the wave's play file is written straight from its sound. Run it inside the server:
//   scripts/pulse-test-server.sh run build/bench/bench_music_play
// KELVORN_AUDIO_BENCH_SECONDS shortens both.
#include "document/records/WaveFileProps.h"
#include "document/wave/UnitWave.h"
#include "music/core/NotePlayer.h"
#include "music/core/PartMuz.h"
#include "music/core/Stave.h"
#include "music/core/UnitMuz.h"
#include "music/ui/MusicWindow.h"
#include "platform/qt/audio/QtAudioDevice.h"
#include "shell/FileCommands.h"
#include "shell/MainForm.h"
#include "shell/MusicCommands.h"
#include "shell/PlayRecord.h"
#include "waveui/WaveWindow.h"

#include "PlayBench.h"
#include "PulseBench.h"
#include "QtBench.h"
#include "SecondsReporter.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QMdiArea>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>

using namespace kelvorn;
using namespace kelvorn::bench;

namespace {

/// Half a second of a 440 Hz sine, the sample every note plays.
SoundPtr Sample()
{
    const int32_t values = PulseRate / 2;
    WavePtr wave = CreateWave(nullptr, values);
    for (int32_t i = 0; i < values; ++i)
        (*wave)[i] = static_cast<int16_t>(12000 * std::sin(2 * M_PI * 440.0 * i / PulseRate));
    return std::make_shared<MonoSound>(std::move(wave), PulseRate, int16_t{2});
}

/// seconds of quarter notes (a whole note a second) rising through an octave, rendered at
/// 44.1 kHz stereo from the wave called "Sample".
std::unique_ptr<TUnitMuz> Piece(int seconds)
{
    auto doc = std::make_unique<TUnitMuz>("Piece", "");
    doc->NewMusic();
    doc->SetWaveFileProps(TWaveFileProps(1, 22050, 2), TWaveFileProps(2, PulseRate, 2));
    TNoteStave* stave = doc->GetFirstStave();
    TSinglePartMuz* part = doc->GetRootPart()->FirstSinglePart();
    for (int i = 0; i < seconds * 4; ++i)
        part->InsertSymbol(new TMuzNote(doc.get(), stave->GetFirstNoteGroup(), 4, 0, i * 0.25,
                                        i % 8, stave, noteShiftNormal, sool, 0, noteArtNormal, part,
                                        drawStickAuto));
    TOnePlayerProps props(unitFactor(0.4, EHNone), unitFreq(0.0, EHHZ));
    TSimpleSamplerProps simple;
    simple.SampleWave = unitUnitWave("Sample");
    // The sample's own period: it sounds unchanged as an A4.
    simple.BasicFreq = unitTimePosMore(1.0 / 440.0, EHHZ);
    props.SetSimpleSamplerProps(simple);
    stave->GetFirstNoteGroup()->GetPlayer()->GetFirstOnePlayer()->OnePlayerProps = props;
    return doc;
}

/// The main window with the file, music and play commands on the pipe sink, the sample, a
/// wave window and a music window of the same length.
struct Setup : PlayingForm
{
    int seconds = LongPlaySeconds();
    std::unique_ptr<TFileCommands> files;
    std::unique_ptr<TMusicCommands> music;
    std::unique_ptr<TPlayRecord> player;
    TMDIChildKelvorn* wave = nullptr;
    TMDIChildKelvorn* piece = nullptr;
    int32_t renderedValues = 0;

    Setup()
    {
        form->show();
        files = std::make_unique<TFileCommands>(*form);
        files->Install();
        music = std::make_unique<TMusicCommands>(*form, *files);
        music->Install();
        player = std::make_unique<TPlayRecord>(*form, *audio);
        files->NewChildWave(std::make_unique<TUnitWave>("Sample", std::string(), Sample()),
                            form->DefaultWaveViewProps(), form->DefaultVoldViewProps());
        wave = files->NewChildWave(
            std::make_unique<TUnitWave>("Wave", std::string(), StereoNoise(PulseRate * seconds)),
            form->DefaultWaveViewProps(), form->DefaultVoldViewProps());
        piece = music->NewChildMuz(Piece(seconds));
        if (auto render = UnitMuzOf(piece)->CreateSound(); render.sound)
            renderedValues = render.sound->GetValues();
        sink = std::make_unique<FirstSound>(std::getenv("KELVORN_PULSE_SINK_PIPE"));
    }
    ~Setup()
    {
        for (QMdiSubWindow* window : form->Frame()->subWindowList())
            delete window;
        player.reset();
        music.reset();
        files.reset();
        form.reset();
    }
};

std::unique_ptr<Setup> setup;

Setup& TheSetup()
{
    if (!setup)
        setup = std::make_unique<Setup>();
    return *setup;
}

/// Presses Play on window, waits for the first sample at the sink, then presses Stop.
double PlayUntilHeard(TMDIChildKelvorn* window, std::string& error)
{
    Setup& s = TheSetup();
    QAction* play = s.PlayOf(window, error);
    if (!play)
        return 0;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (s.sink->Heard())
            loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    s.sink->Arm();
    const auto start = SteadyClock::now();
    play->trigger();
    if (play->isChecked()) {
        poll.start();
        loop.exec();
    }
    const double latency = s.sink->LatencySince(start);
    s.TakeBoxText(error);
    s.form->Action("FileStop")->trigger();
    // The device settles before the next play.
    QEventLoop settle;
    QTimer::singleShot(200, &settle, &QEventLoop::quit);
    settle.exec();
    return latency;
}

template <bool Music> void BM_PlayToFirstSample(benchmark::State& state)
{
    Setup& s = TheSetup();
    for (auto _ : state) {
        std::string error;
        const double latency = PlayUntilHeard(Music ? s.piece : s.wave, error);
        if (SkippedSilent(state, latency, error))
            return;
        state.SetIterationTime(latency);
    }
}

BENCHMARK(BM_PlayToFirstSample<true>)
    ->Name("BM_MusicPlayToFirstSample")
    ->UseManualTime()
    ->Iterations(6)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayToFirstSample<false>)
    ->Name("BM_WavePlayToFirstSample")
    ->UseManualTime()
    ->Iterations(6)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (!InsidePulseServer(argv[0]))
        return 0;
    PreferOffscreen();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (QtAudioDevice::FindOutput(SinkName).isNull()) {
        std::printf("the private PulseAudio server offers no %s\n", SinkName);
        return 1;
    }
    std::printf("the piece renders to %d values a channel, the wave holds %d\n",
                TheSetup().renderedValues, TheSetup().seconds * PulseRate);
    kelvorn::bench::SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& s = reporter.seconds;
    if (s.count("BM_MusicPlayToFirstSample") && s.count("BM_WavePlayToFirstSample"))
        std::printf("Play to the first sample, %d s: piece (render included) %.1f ms, wave %.1f "
                    "ms, ratio %.2f\n",
                    TheSetup().seconds, s["BM_MusicPlayToFirstSample"] * 1e3,
                    s["BM_WavePlayToFirstSample"] * 1e3,
                    s["BM_MusicPlayToFirstSample"] / s["BM_WavePlayToFirstSample"]);
    std::fflush(stdout);
    setup.reset();
    benchmark::Shutdown();
    return 0;
}
