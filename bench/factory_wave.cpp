// A factory of wave functions at work on a minute of 44.1 kHz stereo: ten stages in a chain
// (volume, low and high pass, a vertical move, the mix of the sides, a band filter, an echo,
// tempo, reverse, normalising), timed against sox running the same ten effects in one command
// on the same samples in the same run; and the most memory a run of 10, 20 and 40 stages holds
// at once, in sounds of the input's size (each stage's sound goes once the next has read it, so
// the peak should stay near three: the input, the sound being read and the one being made).
#include "factory/builtins/BuiltinNode.h"

#include "AllocationCounter.h"
#include "NullFactoryHost.h"
#include "SecondsReporter.h"
#include "SoxPeer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::bench;

namespace {

/// Knows one wave, the minute.
class BenchHost : public NullFactoryHost
{
public:
    SoundPtr FindWaveSound(const std::string& name) override
    {
        return name == "Minute" ? minute : nullptr;
    }

    SoundPtr minute;
};

struct Setting
{
    const char* input;
    double value;
};

struct Stage
{
    SntBuiltinAction kind;
    std::vector<Setting> settings;
    /// The sox effect that does the same.
    const char* sox;
};

// The one-pole filters are 3 dB down at their corner, as sox's single-pole ones.
const std::vector<Stage> stages{
    {BuiltinVolume, {{"Factor", 0.8}}, "vol 0.8"},
    {BuiltinLowFilter,
     {{"Frequency", 1 / 2000.0},
      {"Volume Factor", 0.70710678},
      {"Filter Count", 1},
      {"Normalize Volume", 0}},
     "lowpass -1 2000"},
    {BuiltinHighFilter,
     {{"Frequency", 1 / 100.0},
      {"Volume Factor", 0.70710678},
      {"Filter Count", 1},
      {"Normalize Volume", 0}},
     "highpass -1 100"},
    {BuiltinMoveVertically, {{"Add Value", 100}}, "dcshift 0.003"},
    {BuiltinMixLeftRight,
     {{"Volume Left to Left", 0.7},
      {"Volume Right to Left", 0.3},
      {"Volume Left to Right", 0.3},
      {"Volume Right to Right", 0.7}},
     "remix 1v0.7,2v0.3 1v0.3,2v0.7"},
    {BuiltinResonantFilter,
     {{"Frequency", 1 / 1000.0}, {"Frequency Width", 0.25}},
     "bandpass 1000 200h"},
    {BuiltinPeriodEcho,
     {{"Time", 0.1}, {"Volume", 0.5}, {"Echo Count", 2}},
     "echo 1 1 100 0.5 200 0.25"},
    {BuiltinTempoPitch,
     {{"Frequency Factor", 1},
      {"Speed Factor", 1.25},
      {"Length Factor", 0.8},
      {"Start Position", 0},
      {"High Quality", 1},
      {"Block Size", 0.03}},
     "tempo 1.25 30"},
    {BuiltinReverse, {}, "reverse"},
    {BuiltinMaxVolume, {}, "norm"},
};

/// The minute as stereo: the audio on the left, the same a little later on the right.
SoundPtr Minute()
{
    const Wave& audio = Audio();
    AbortFlag flag = 0;
    WavePtr left = CreateWaveCopy(&flag, &audio);
    WavePtr right = CreateWave(&flag, Samples);
    for (int64_t i = 0; i < Samples; ++i)
        (*right)[static_cast<int32_t>(i)] = audio[static_cast<int32_t>((i + 441) % Samples)];
    return std::make_shared<StereoSound>(std::move(left), std::move(right), Rate, 2);
}

int64_t BytesOf(const Sound& sound)
{
    return int64_t{sound.GetValues()} * sound.GetMonoStereo() * 2;
}

/// A factory that runs `count` stages, the ten in turn, on the minute.
struct StageFactory
{
    explicit StageFactory(int64_t count)
    {
        host.minute = Minute();
        TSountoryInput* wave = factory.CreateInput("Wave", unitFactorPosMax1(0.5, EHPerc), true,
                                                   ValueDomType::Wave, ValueDomain::AllValues);
        wave->Given = true;
        wave->GivenSoundName = "Minute";
        TSountoryInputSource* last = wave;
        for (int64_t i = 0; i < count; ++i) {
            const Stage& stage = stages[static_cast<size_t>(i) % stages.size()];
            auto* node = factory.CreateNode<TSountoryNodeBuiltin>(
                "S" + std::to_string(i), static_cast<uint8_t>(stage.kind),
                TSountoryRectangle{0, 0, 100, 100}, true);
            node->FindInputByName("Wave")->SetSource(last);
            for (const Setting& s : stage.settings) {
                TSountoryNodeInput* in = node->FindInputByName(s.input);
                in->SetConstantValue(
                    TSntValue(s.value, static_cast<ValueType>(in->GetValueDomType())), EHNone);
            }
            last = node->FindOutputByName("Result");
        }
        factory
            .CreateOutput("Result", unitFactorPosMax1(0.5, EHPerc), true, ValueDomType::Wave,
                          ValueDomain::AllValues)
            ->SetSource(last);
    }

    /// One run, its sounds let go afterwards; false with the reason. seconds receives the
    /// result's length.
    bool Run(std::string& message, double& seconds)
    {
        stop = 0;
        bool ok = factory.ValidateFactory(++stamp, message) && factory.RunFactory(message, &stop);
        const SoundPtr result = ok ? factory.FindOutput("Result")->GetSound() : nullptr;
        seconds = result ? static_cast<double>(result->GetTime()) : 0.0;
        factory.ReleaseRunSounds();
        return ok && result;
    }

    BenchHost host;
    TUnitSountory factory{"Stages", "/tmp/stages.kvf", host};
    SntStopFlag stop = 0;
    uint32_t stamp = 0;
};

void BM_TenStages(benchmark::State& state)
{
    StageFactory stages(10);
    std::string message;
    double seconds = 0;
    for (auto _ : state)
        if (!stages.Run(message, seconds))
            state.SkipWithError(message.c_str());
    state.SetItemsProcessed(state.iterations() * Samples);
    // The echo adds 0.2 s, the tempo takes a fifth away: 48.16 s.
    state.counters["result_s"] = seconds;
}
BENCHMARK(BM_TenStages)->Unit(benchmark::kMillisecond)->Iterations(5);

/// The most bytes alive during a run, over the input's bytes, counting the input.
std::map<int64_t, double> peakSounds;

void BM_StagesPeak(benchmark::State& state)
{
    StageFactory stages(state.range(0));
    const double sound = static_cast<double>(BytesOf(*stages.host.minute));
    std::string message;
    double worst = 0, seconds = 0;
    for (auto _ : state) {
        const int64_t before = liveBytes.load();
        peakBytes.store(before);
        if (!stages.Run(message, seconds)) {
            state.SkipWithError(message.c_str());
            return;
        }
        worst = std::max(worst, static_cast<double>(peakBytes.load() - before) + sound);
    }
    peakSounds[state.range(0)] = worst / sound;
    state.counters["peak_sounds"] = worst / sound;
}
BENCHMARK(BM_StagesPeak)->Arg(10)->Arg(20)->Arg(40)->Unit(benchmark::kMillisecond)->Iterations(1);

/// sox on the same stereo samples with the ten effects in one command; seconds of the effects
/// alone (its read and write subtracted), or a negative number when sox cannot be run.
double SoxSeconds(double& total, double& copy)
{
    char pattern[] = "/tmp/kelvorn-bench-XXXXXX";
    if (std::system("sox --version > /dev/null 2>&1") != 0 || !mkdtemp(pattern))
        return -1;
    const std::filesystem::path dir = pattern;
    const std::string input = (dir / "in.raw").string();
    {
        const SoundPtr minute = Minute();
        std::vector<int16_t> frames(static_cast<size_t>(Samples) * 2);
        for (int32_t i = 0; i < Samples; ++i) {
            frames[2 * static_cast<size_t>(i)] = (*minute->GetLeftWave())[i];
            frames[2 * static_cast<size_t>(i) + 1] = (*minute->GetRightWave())[i];
        }
        std::ofstream(input, std::ios::binary)
            .write(reinterpret_cast<const char*>(frames.data()),
                   static_cast<std::streamsize>(frames.size() * sizeof(int16_t)));
    }
    const std::string format = " -t raw -r " + std::to_string(Rate) + " -e signed -b 16 -c 2 ";
    const std::string command =
        "sox -q -V1 -D" + format + input + format + (dir / "out.raw").string();
    std::string effects;
    for (const Stage& stage : stages)
        effects += std::string(" ") + stage.sox;
    copy = TimeCommand(command, 3);
    total = TimeCommand(command + effects, 3);
    std::filesystem::remove_all(dir);
    return copy < 0 || total < 0 ? -1 : total - copy;
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nTen stages on 60 s of 44.1 kHz stereo, one run:\n");
    const auto ours = reporter.seconds.find("BM_TenStages");
    double total = 0, copy = 0;
    const double sox = SoxSeconds(total, copy);
    if (ours != reporter.seconds.end()) {
        std::printf("  ours %.3f s\n", ours->second);
        if (sox > 0)
            std::printf("  sox  %.3f s for the effects (%.3f s in all, %.3f s reading and "
                        "writing)\n  ours/sox %.2f\n",
                        sox, total, copy, ours->second / sox);
        else
            std::printf("  sox could not be run: no peer figure\n");
    }
    std::printf("\nPeak memory of a run, in sounds of the input's size (input counted):\n");
    for (const auto& [count, sounds] : peakSounds)
        std::printf("  %3lld stages: %.2f\n", static_cast<long long>(count), sounds);
    return 0;
}
