// Seconds of music rendered per CPU second, per player kind, against timidity playing the same
// notes from a MIDI file written here, in the same run: 4 staves of 128 bars of eighths, every
// other one a three-note chord, 2 s per whole note (256 s of music); 22050 Hz mono and 44100 Hz
// stereo. Each kind gets the sample a user would give it: the samplers a recorded note (half a
// second of a decaying A4 at 22050 Hz), the two wave-form players one period of a wave form (50
// values of 441 Hz). timidity plays the free patch set's grand piano (scripts/install-deps.sh
// bench installs both), as it comes and doing only what the players do (TimidityPeer.h). For
// that comparison both sides run as processes of their own, timed by the processor time of each:
// timidity reading its MIDI file, this binary again (RenderOption) opening the piece's file.
//
// The engine alone stays as a second peer: the same per-note calls of its primitives (resample,
// roll out, resonance, periodic echo, mix in) into a canvas of the same size, without the model
// around them (the render makes resonant notes together, so it may beat its primitives there),
// and the resonances of many notes side by side run against the same resonances one by one. The
// program also prints the time per note at 1, 4 and 16 times the notes, and the peak memory of a
// 10-minute render against its canvas.

#include "document/records/WaveFileProps.h"
#include "document/wave/UnitWave.h"
#include "music/core/NotePlayer.h"
#include "music/core/Stave.h"
#include "music/core/UnitMuz.h"
#include "sound/Filters.h"
#include "sound/SoundOps.h"

#include "AllocationCounter.h"
#include "ChildProcess.h"
#include "MidiFile.h"
#include "SecondsReporter.h"
#include "TimidityPeer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <new>
#include <string>
#include <vector>

using namespace kelvorn;

namespace {

constexpr double A4 = 1.0 / 440.0;
constexpr double Tempo = 2.0;

class Waves final : public WaveDocumentFinder
{
public:
    Waves()
    {
        AbortFlag flag = 0;
        // A recorded note: A4 with two overtones, dying away over half a second.
        WavePtr w = CreateWave(&flag, 11025);
        for (int32_t i = 0; i < 11025; ++i) {
            const double t = i / 22050.0;
            const double v = std::sin(2 * M_PI * 440.0 * t) + 0.4 * std::sin(4 * M_PI * 440.0 * t) +
                             0.2 * std::sin(6 * M_PI * 440.0 * t);
            (*w)[i] = static_cast<int16_t>(9000 * std::exp(-4.0 * t) * v);
        }
        note = std::make_unique<TUnitWave>("note", "",
                                           std::make_shared<MonoSound>(std::move(w), 22050, 2));
        // One period of a wave form: 50 values, 441 Hz at 22050 Hz.
        WavePtr p = CreateWave(&flag, 50);
        for (int32_t i = 0; i < 50; ++i)
            (*p)[i] = static_cast<int16_t>(12000 * std::sin(2 * M_PI * i / 50.0) +
                                           4000 * std::sin(6 * M_PI * i / 50.0));
        period = std::make_unique<TUnitWave>("period", "",
                                             std::make_shared<MonoSound>(std::move(p), 22050, 2));
    }
    TUnitWave* FindUnitWave(const std::string& name) override
    {
        return name == "note" ? note.get() : name == "period" ? period.get() : nullptr;
    }
    std::unique_ptr<TUnitWave> note;
    std::unique_ptr<TUnitWave> period;
};

Waves& TheWaves()
{
    static Waves waves;
    return waves;
}

bool PlaysWaveForm(NotePlayerKind kind)
{
    return kind == notePlayerRepeatWaveForm || kind == notePlayerRollOutWaveForm;
}

/// The sample the kind gets.
const Sound& SampleOf(NotePlayerKind kind)
{
    return PlaysWaveForm(kind) ? *TheWaves().period->GetSound() : *TheWaves().note->GetSound();
}

TOnePlayerProps PropsOf(NotePlayerKind kind)
{
    TOnePlayerProps props(unitFactor(0.3, EHNone), unitFreq(0.0, EHHZ));
    const unitUnitWave note("note"), period("period");
    switch (kind) {
    case notePlayerSimpleSampler: {
        TSimpleSamplerProps p;
        p.SampleWave = note;
        p.BasicFreq = unitTimePosMore(A4, EHHZ);
        props.SetSimpleSamplerProps(p);
        break;
    }
    case notePlayerRollOutSampler: {
        TRollOutSamplerProps p;
        p.SampleWave = note;
        p.BasicFreq = unitTimePosMore(A4, EHHZ);
        props.SetRollOutSamplerProps(p);
        break;
    }
    case notePlayerResonantSampler: {
        TResonantSamplerProps p;
        p.SampleWave = note;
        props.SetResonantSamplerProps(p);
        break;
    }
    case notePlayerRepeatWaveForm: {
        TRepeatWaveFormProps p;
        p.SampleWave = period;
        props.SetRepeatWaveFormProps(p);
        break;
    }
    default: {
        TRollOutWaveFormProps p;
        p.SampleWave = period;
        props.SetRollOutWaveFormProps(p);
        break;
    }
    }
    return props;
}

/// The generated piece with every group playing kind.
std::unique_ptr<TUnitMuz> MakePiece(int32_t bars, NotePlayerKind kind, int32_t freq,
                                    int16_t channels)
{
    auto doc = std::make_unique<TUnitMuz>("bench", "");
    doc->SetWaveFinder(&TheWaves());
    doc->NewMusic();
    doc->tempo.SetValue(Tempo);
    doc->SetWaveFileProps(TWaveFileProps(1, 22050, 2), TWaveFileProps(channels, freq, 2));
    TNoteStave* stave = doc->GetFirstStave();
    for (int32_t i = 0; i < 3; ++i)
        stave = doc->AddStave(stave);
    TSinglePartMuz* part = doc->GetRootPart()->FirstSinglePart();
    int32_t staveIndex = 0;
    for (TNoteStave* st = doc->GetFirstStave(); st; st = st->GetNext(), ++staveIndex) {
        TNoteGroup* group = st->GetFirstNoteGroup();
        group->GetPlayer()->GetFirstOnePlayer()->OnePlayerProps = PropsOf(kind);
        for (int32_t bar = 0; bar < bars; ++bar)
            for (int32_t k = 0; k < 8; ++k) {
                const int32_t base = staveIndex * 2 - 3 + k % 5;
                for (int32_t c = 0; c < (k % 2 ? 3 : 1); ++c)
                    part->InsertSymbol(new TMuzNote(doc.get(), group, 8, 0, bar + k / 8.0,
                                                    base + 2 * c, st, noteShiftNormal, sool, 0,
                                                    noteArtNormal, part, drawStickAuto));
            }
    }
    return doc;
}

double PieceSeconds(int32_t bars)
{
    return bars * Tempo;
}

/// The players' engine calls for one note, as the players make them.
SoundUPtr Primitives(NotePlayerKind kind, const Sound& sample, AbortFlag* abort, double P, double D,
                     double& mix)
{
    const double F = sample.GetSampleFreq();
    const int32_t N = sample.GetValues();
    int32_t b = 0, e = N;
    mix = 0.3;
    switch (kind) {
    case notePlayerSimpleSampler:
        return Resample(sample, abort, static_cast<float>(P / A4));
    case notePlayerRollOutSampler: {
        const float r = static_cast<float>(P / A4);
        const double n = std::trunc(D / (N * r / F) + 0.5);
        SoundUPtr rolled = RepeatPart(sample, abort, N / F, n, 0.0, &b, &e);
        return rolled->GetValues() ? Resample(*rolled, abort, r) : std::move(rolled);
    }
    case notePlayerResonantSampler: {
        const double n = std::trunc(D / (N / F) + 0.5);
        SoundUPtr rolled = RepeatPart(sample, abort, N / F, n, 0.0, &b, &e);
        return rolled->GetValues() ? FilterTwoParams(*rolled, abort, true, true, P, 0.05, nullptr,
                                                     nullptr, TheFilterTable.resonance, 0, -1)
                                   : std::move(rolled);
    }
    case notePlayerRepeatWaveForm: {
        SoundUPtr copy = Volume(sample, abort, 0.3, 0, -1);
        b = 0;
        e = -1;
        mix = 1.0;
        return PerEcho(*copy, abort, P, 1.0, static_cast<int32_t>(std::trunc(D / P + 1.5)), &b, &e);
    }
    default:
        return RepeatPart(sample, abort, P, std::trunc(D / P), 0.0, &b, &e);
    }
}

const NotePlayerKind Kinds[] = {notePlayerSimpleSampler, notePlayerRollOutSampler,
                                notePlayerResonantSampler, notePlayerRepeatWaveForm,
                                notePlayerRollOutWaveForm};
const char* const KindNames[] = {"simple", "rolloutsampler", "resonant", "repeatform",
                                 "rolloutform"};

void BM_Render(benchmark::State& state)
{
    const NotePlayerKind kind = Kinds[state.range(0)];
    const bool stereo = state.range(1) != 0;
    const int32_t bars = static_cast<int32_t>(state.range(2));
    std::unique_ptr<TUnitMuz> doc = MakePiece(bars, kind, stereo ? 44100 : 22050, stereo ? 2 : 1);
    int64_t notes = 0;
    for (TStaveSymbol* s = doc->GetRootPart()->FirstSymbol(); s; s = s->GetNext())
        notes += s->AsNote() ? 1 : 0;
    for (auto _ : state) {
        TMusicRender r = doc->CreateSound();
        if (!r.ok) {
            state.SkipWithError(r.message.c_str());
            return;
        }
        benchmark::DoNotOptimize(r.sound->GetValues());
    }
    state.counters["music_s_per_cpu_s"] =
        benchmark::Counter(PieceSeconds(bars), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["notes"] = static_cast<double>(notes);
}

void BM_Primitives(benchmark::State& state)
{
    const NotePlayerKind kind = Kinds[state.range(0)];
    const bool stereo = state.range(1) != 0;
    const int32_t bars = static_cast<int32_t>(state.range(2));
    std::unique_ptr<TUnitMuz> doc = MakePiece(bars, kind, stereo ? 44100 : 22050, stereo ? 2 : 1);
    const Sound& sample = SampleOf(kind);
    // The canvas length and each note's time are those of the render.
    const TMusicRender probe = doc->CreateSound();
    const double seconds = (probe.sound->GetValues() - 1) / double(probe.sound->GetSampleFreq());
    for (auto _ : state) {
        AbortFlag abort = 0;
        std::unique_ptr<Sound> empty;
        if (stereo)
            empty = std::make_unique<StereoSound>(44100, 2);
        else
            empty = std::make_unique<MonoSound>(22050, 2);
        int32_t b = 0, e = 0;
        SoundUPtr canvas = MakeSilence(*empty, &abort, seconds, &b, &e);
        for (TStaveSymbol* s = doc->GetRootPart()->FirstSymbol(); s; s = s->GetNext()) {
            const TMuzNote* note = s->AsNote();
            if (!note)
                continue;
            double mix = 1.0;
            SoundUPtr sound = Primitives(kind, sample, &abort, note->GetPeriod(),
                                         note->GetSoundLength() * Tempo, mix);
            MixAfterTime(*canvas, &abort, *sound, note->GetSymbolTime() * Tempo, mix);
        }
        benchmark::DoNotOptimize(canvas->GetValues());
    }
}

/// The resonant sampler's filter over the recorded note for 96 notes of different pitches, one
/// after another (argument 0: resFilter per note, the engine's own road) or side by side
/// (1: plain vectors, 2: AVX2).
void BM_Resonances(benchmark::State& state)
{
    const auto road = static_cast<int>(state.range(0));
    if (road > 0 &&
        !UseResonanceKernel(road == 1 ? ResonanceKernel::Baseline : ResonanceKernel::Avx2)) {
        state.SkipWithError("the processor lacks this kernel");
        return;
    }
    const Wave& note = *TheWaves().note->GetSound()->GetLeftWave();
    std::vector<WavePtr> outputs;
    std::vector<ResonanceRun> runs;
    AbortFlag abort = 0;
    for (int k = 0; k < 96; ++k) {
        outputs.push_back(CreateWave(&abort, note.Values()));
        runs.push_back({note.Data(), outputs.back()->Data(), note.Values(),
                        22050.0 * A4 * std::pow(0.5, (k % 24 - 12) / 12.0), 0.05});
    }
    for (auto _ : state) {
        if (road > 0) {
            resonateSideBySide(&abort, runs.data(), runs.size());
        } else {
            for (const ResonanceRun& r : runs)
                benchmark::DoNotOptimize(resFilter(note, &abort, r.per, r.factor, 0, -1));
        }
        benchmark::ClobberMemory();
    }
    UseBestResonanceKernel();
}

/// The MIDI file of the piece's notes: one channel per stave, each note at its time for as long
/// as it sounds.
std::string WritePieceMidi(TUnitMuz& doc)
{
    std::vector<bench::MidiNote> notes;
    int channel = 0;
    for (TNoteStave* st = doc.GetFirstStave(); st; st = st->GetNext(), ++channel)
        for (TStaveSymbol* s = doc.GetRootPart()->FirstSymbol(); s; s = s->GetNext())
            if (const TMuzNote* note = s->AsNote(); note && note->GetNoteStave() == st)
                notes.push_back({note->GetSymbolTime() * Tempo, note->GetSoundLength() * Tempo,
                                 bench::MidiKeyOfPeriod(note->GetPeriod()), channel, 100});
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("kelvorn_bench_music_" + std::to_string(getpid()) + ".mid"))
                                 .string();
    return bench::WriteMidiFile(path, notes) ? path : std::string();
}

/// The bars of the piece both sides play against each other.
constexpr int32_t PeerBars = 128;

/// The option by which this binary renders a saved piece as a process of its own, as timidity
/// plays its file: `<binary> --render <file.kvm> <0 mono, 1 stereo>`.
constexpr const char* RenderOption = "--render";

/// The piece of file, opened as a user opens it, its samples found among the bench's waves, at
/// rate Hz mono or stereo (which the file does not hold); null when it cannot be read.
std::unique_ptr<TUnitMuz> OpenPiece(const std::string& file, bool stereo)
{
    auto doc = std::make_unique<TUnitMuz>("bench", file);
    doc->SetWaveFinder(&TheWaves());
    std::string message;
    if (!doc->OpenFile(message))
        return nullptr;
    doc->SetWaveFileProps(TWaveFileProps(1, 22050, 2),
                          stereo ? TWaveFileProps(2, 44100, 2) : TWaveFileProps(1, 22050, 2));
    return doc;
}

/// The child's side of the comparison with timidity: the piece file opened and rendered.
/// Answers the process's exit code.
int RenderAlone(const char* file, const char* stereoFlag)
{
    std::unique_ptr<TUnitMuz> doc = OpenPiece(file, std::strtol(stereoFlag, nullptr, 10) != 0);
    return doc && doc->CreateSound().ok ? 0 : 1;
}

/// Whether two renders hold the same values.
bool SameSound(const TMusicRender& a, const TMusicRender& b)
{
    if (!a.ok || !b.ok || a.sound->GetValues() != b.sound->GetValues())
        return false;
    const auto same = [](const Wave* x, const Wave* y) {
        return x && y && std::equal(x->Data(), x->Data() + x->Values(), y->Data());
    };
    return same(a.sound->GetLeftWave(), b.sound->GetLeftWave()) &&
           (a.sound->GetMonoStereo() == 1 ||
            same(a.sound->GetRightWave(), b.sound->GetRightWave()));
}

/// The render of every kind against timidity playing the same notes, each side a process of its
/// own started afresh: the piece file opened and rendered against timidity reading the MIDI file
/// and its patch and playing them. Processor time of each process, the runs of both sides in
/// turns so that a change in the machine's load falls on all; the median counts. timidity plays
/// both as it comes and doing only what the players do.
void CompareWithTimidity()
{
    constexpr int Runs = 5;
    constexpr bench::TimidityWork Works[] = {bench::TimidityWork::Defaults,
                                             bench::TimidityWork::AsThePlayers};
    std::printf(
        "\nMusic seconds per CPU second against timidity on the same notes, each side a process "
        "of its own: the piece\nfile opened and rendered, timidity reading the MIDI file and its "
        "patch and playing them; processor time,\nmedian of %d runs each, in turns. timidity as "
        "it comes (Gauss-like interpolation, reverb, chorus, noise\nshaping; goal: every kind at "
        "least 1 x) and doing only what the players do (linear interpolation, none of those):\n",
        Runs);
    char pattern[] = "/tmp/kelvorn-bench-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::printf("  no temporary directory: no comparison.\n");
        return;
    }
    const std::filesystem::path dir = pattern;
    // Each kind's piece saved, and checked to render from its file as the piece it was made as:
    // a file that lost its players would render fast and flatter the figure.
    std::string pieces[std::size(Kinds)];
    for (size_t kind = 0; kind < std::size(Kinds); ++kind) {
        std::unique_ptr<TUnitMuz> made = MakePiece(PeerBars, Kinds[kind], 22050, 1);
        const std::string file = (dir / (std::string(KindNames[kind]) + ".kvm")).string();
        std::unique_ptr<TUnitMuz> opened;
        if (made->SaveAs(file))
            opened = OpenPiece(file, false);
        if (opened && SameSound(made->CreateSound(), opened->CreateSound()))
            pieces[kind] = file;
        else
            std::printf("  %s: the saved piece does not render as the piece made\n",
                        KindNames[kind]);
    }
    const std::string missing = bench::TimidityMissing();
    if (!missing.empty())
        std::printf("  NO PEER: %s\n", missing.c_str());
    std::string midi;
    if (missing.empty()) {
        midi = WritePieceMidi(*MakePiece(PeerBars, notePlayerSimpleSampler, 22050, 1));
        if (midi.empty())
            std::printf("  NO PEER: the MIDI file could not be written\n");
    }
    std::printf("  %-15s %-10s %12s %12s %8s %12s %8s\n", "kind", "format", "music s/CPU",
                "timidity", "ratio", "like players", "ratio");
    // A side that failed once runs no more and counts as failed: its median would mean nothing.
    const auto failed = [](const std::vector<double>& series) {
        return series.empty() ||
               std::any_of(series.begin(), series.end(), [](double s) { return s < 0; });
    };
    const auto speed = [&](const std::vector<double>& series) {
        return failed(series) ? 0.0 : PieceSeconds(PeerBars) / bench::Median(series);
    };
    for (int stereo = 0; stereo < 2; ++stereo) {
        std::vector<double> ours[std::size(Kinds)];
        std::vector<double> theirs[std::size(Works)];
        for (int run = 0; run < Runs; ++run) {
            for (size_t kind = 0; kind < std::size(Kinds); ++kind)
                if (!pieces[kind].empty() && (run == 0 || !failed(ours[kind])))
                    ours[kind].push_back(bench::ChildCpuSeconds(
                        {"/proc/self/exe", RenderOption, pieces[kind], std::to_string(stereo)}));
            for (size_t work = 0; work < std::size(Works) && !midi.empty(); ++work)
                if (run == 0 || !failed(theirs[work]))
                    theirs[work].push_back(
                        bench::RunTimidity(midi, stereo ? 44100 : 22050, stereo, Works[work]));
        }
        for (size_t kind = 0; kind < std::size(Kinds); ++kind) {
            const double mine = speed(ours[kind]);
            std::printf("  %-15s %-10s ", KindNames[kind], stereo ? "44k stereo" : "22k mono");
            if (mine > 0)
                std::printf("%12.1f", mine);
            else
                std::printf("%12s", "failed");
            for (const std::vector<double>& series : theirs) {
                const double other = speed(series);
                if (other > 0 && mine > 0)
                    std::printf(" %12.1f %8.2f", other, mine / other);
                else if (other > 0)
                    std::printf(" %12.1f %8s", other, "-");
                else
                    std::printf(" %12s %8s", midi.empty() ? "-" : "failed", "-");
            }
            std::printf("\n");
        }
    }
    if (!midi.empty())
        std::filesystem::remove(midi);
    std::filesystem::remove_all(dir);
}

void KindArgs(benchmark::internal::Benchmark* b)
{
    for (int64_t stereo : {0, 1})
        for (int64_t kind = 0; kind < 5; ++kind)
            b->Args({kind, stereo, 128});
    b->MinTime(0.5)->Unit(benchmark::kMillisecond);
}

void LinearArgs(benchmark::internal::Benchmark* b)
{
    for (int64_t bars : {8, 32, 128})
        b->Args({0, 0, bars});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Render)->Apply(KindArgs);
BENCHMARK(BM_Primitives)->Apply(KindArgs);
BENCHMARK(BM_Render)->Name("BM_RenderNotes")->Apply(LinearArgs);
BENCHMARK(BM_Resonances)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

/// Peak memory of one render of a 10-minute piece (300 bars at 2 s), stereo at 44100 Hz.
void PrintPeakOfTenMinutes()
{
    std::unique_ptr<TUnitMuz> doc = MakePiece(300, notePlayerSimpleSampler, 44100, 2);
    const int64_t base = liveBytes.load();
    peakBytes.store(base);
    TMusicRender r = doc->CreateSound();
    if (!r.ok) {
        std::printf("10-minute render failed: %s\n", r.message.c_str());
        return;
    }
    const int64_t canvas = int64_t{r.sound->GetValues()} * 2 * 2;
    const int64_t peak = peakBytes.load() - base;
    std::printf("10-minute render (%.0f s, 44100 Hz stereo): peak %.1f MB, canvas %.1f MB, "
                "peak / canvas %.3f\n",
                r.sound->GetValues() / 44100.0, peak / 1e6, canvas / 1e6, double(peak) / canvas);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == RenderOption)
        return RenderAlone(argv[2], argv[3]);
    // A run of chosen benchmarks (a profile of one kind, say) leaves the comparison with timidity
    // and the 10-minute render out.
    bool chosen = false;
    for (int i = 1; i < argc; ++i)
        chosen = chosen || std::string(argv[i]).rfind("--benchmark_filter", 0) == 0;
    benchmark::Initialize(&argc, argv);
    // The figure a user feels comes first.
    if (!chosen)
        CompareWithTimidity();
    // The render is measured per CPU second (the machine may be shared), each run under its full
    // name, arguments included.
    kelvorn::bench::SecondsReporter reporter(kelvorn::bench::SecondsReporter::Time::Cpu,
                                             kelvorn::bench::SecondsReporter::Key::FullName);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto kindArgs = [](int kind, int stereo) {
        char args[64];
        std::snprintf(args, sizeof args, "/%d/%d/128/min_time:0.500", kind, stereo);
        return std::string(args);
    };
    std::printf("\nRender time over the primitives' time:\n");
    for (int stereo = 0; stereo < 2; ++stereo)
        for (int kind = 0; kind < 5; ++kind) {
            const double r = reporter.Of("BM_Render" + kindArgs(kind, stereo));
            const double p = reporter.Of("BM_Primitives" + kindArgs(kind, stereo));
            if (r > 0 && p > 0)
                std::printf("  %-15s %-10s %.3f\n", KindNames[kind],
                            stereo ? "44k stereo" : "22k mono", r / p);
        }
    std::printf("Time per note (simple sampler, 22k mono):\n");
    for (int bars : {8, 32, 128}) {
        std::string name = "BM_RenderNotes/0/0/";
        name += std::to_string(bars);
        const auto r = reporter.seconds.find(name);
        if (r != reporter.seconds.end())
            std::printf("  x%-3d %.3f us CPU\n", bars / 8, r->second / (bars * 4 * 8 * 2) * 1e6);
    }
    const double alone = reporter.Of("BM_Resonances/0");
    std::printf("Resonances of 96 notes side by side, times faster than one after another:\n");
    for (int road : {1, 2}) {
        const double r = reporter.Of("BM_Resonances/" + std::to_string(road));
        if (alone > 0 && r > 0)
            std::printf("  %-14s %.2f\n", road == 1 ? "plain vectors" : "AVX2", alone / r);
    }
    if (!chosen)
        PrintPeakOfTenMinutes();
    benchmark::Shutdown();
    return 0;
}
