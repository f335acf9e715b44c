// Seconds of music rendered per CPU second, per player kind, on a generated piece: 4 staves of
// 128 bars of eighths, every other one a three-note chord, 2 s per whole note, a 0.5 s sample;
// 22050 Hz mono and 44100 Hz stereo. The peer in the same run is the engine alone: the same
// per-note calls of its primitives (resample, roll out, resonance, periodic echo, mix in) into a
// canvas of the same size, without the model around them. The program prints render time over
// the primitives' time, the time per note at 1, 4 and 16 times the notes, and the peak memory
// of a 10-minute render against its canvas.

#include "document/records/WaveFileProps.h"
#include "document/wave/UnitWave.h"
#include "music/core/NotePlayer.h"
#include "music/core/Stave.h"
#include "music/core/UnitMuz.h"
#include "sound/SoundOps.h"

#include "AllocationCounter.h"
#include "SecondsReporter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
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
        WavePtr w = CreateWave(&flag, 11025);
        for (int32_t i = 0; i < 11025; ++i)
            (*w)[i] = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440.0 * i / 22050));
        sample = std::make_unique<TUnitWave>("sample", "",
                                             std::make_shared<MonoSound>(std::move(w), 22050, 2));
    }
    TUnitWave* FindUnitWave(const std::string& name) override
    {
        return name == "sample" ? sample.get() : nullptr;
    }
    std::unique_ptr<TUnitWave> sample;
};

Waves& TheWaves()
{
    static Waves waves;
    return waves;
}

TOnePlayerProps PropsOf(NotePlayerKind kind)
{
    TOnePlayerProps props(unitFactor(0.3, EHNone), unitFreq(0.0, EHHZ));
    switch (kind) {
    case notePlayerSimpleSampler: {
        TSimpleSamplerProps p;
        p.BasicFreq = unitTimePosMore(A4, EHHZ);
        props.SetSimpleSamplerProps(p);
        break;
    }
    case notePlayerRollOutSampler: {
        TRollOutSamplerProps p;
        p.BasicFreq = unitTimePosMore(A4, EHHZ);
        props.SetRollOutSamplerProps(p);
        break;
    }
    case notePlayerResonantSampler:
        props.SetResonantSamplerProps(TResonantSamplerProps{});
        break;
    case notePlayerRepeatWaveForm:
        props.SetRepeatWaveFormProps(TRepeatWaveFormProps{});
        break;
    default:
        props.SetRollOutWaveFormProps(TRollOutWaveFormProps{});
        break;
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
    const Sound& sample = *TheWaves().sample->GetSound();
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

void KindArgs(benchmark::internal::Benchmark* b)
{
    for (int64_t stereo : {0, 1})
        for (int64_t kind = 0; kind < 5; ++kind)
            b->Args({kind, stereo, 128});
    b->Iterations(1)->Unit(benchmark::kMillisecond);
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
    benchmark::Initialize(&argc, argv);
    // The render is measured per CPU second (the machine may be shared), each run under its full
    // name, arguments included.
    kelvorn::bench::SecondsReporter reporter(kelvorn::bench::SecondsReporter::Time::Cpu,
                                             kelvorn::bench::SecondsReporter::Key::FullName);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRender time over the primitives' time (goal at most 1.2):\n");
    for (int stereo = 0; stereo < 2; ++stereo)
        for (int kind = 0; kind < 5; ++kind) {
            std::string args = "/";
            args += std::to_string(kind);
            args += "/";
            args += std::to_string(stereo);
            args += "/128/iterations:1";
            const auto r = reporter.seconds.find("BM_Render" + args);
            const auto p = reporter.seconds.find("BM_Primitives" + args);
            if (r != reporter.seconds.end() && p != reporter.seconds.end())
                std::printf("  %-15s %-10s %.3f\n", KindNames[kind],
                            stereo ? "44k stereo" : "22k mono", r->second / p->second);
        }
    std::printf("Time per note (simple sampler, 22k mono):\n");
    for (int bars : {8, 32, 128}) {
        std::string name = "BM_RenderNotes/0/0/";
        name += std::to_string(bars);
        const auto r = reporter.seconds.find(name);
        if (r != reporter.seconds.end())
            std::printf("  x%-3d %.3f us CPU\n", bars / 8, r->second / (bars * 4 * 8 * 2) * 1e6);
    }
    PrintPeakOfTenMinutes();
    benchmark::Shutdown();
    return 0;
}
