// Run Factory Create Wave of a 20-node factory that makes a minute of 44.1 kHz stereo (Make New
// Wave, Make Sinus, then nine pairs of Volume and Reverse), measured from the command to its
// new wave window shown, beside the same sound made with the wave commands in the same run:
// New wave, Make Sinus, then Volume and Reverse nine times each, every command through the main
// window's action with its dialog scripted to OK, to the same window shown. The two sounds are
// compared once, and the ratio is printed.
#include "document/wave/UnitWave.h"
#include "factory/builtins/BuiltinNode.h"
#include "general/Services.h"
#include "platform/qt/QtServices.h"
#include "platform/test/ScriptedDialogs.h"
#include "platform/test/ScriptedMessages.h"
#include "shell/FactoryCommands.h"
#include "shell/FileCommands.h"
#include "shell/MainForm.h"
#include "shell/WaveCommands.h"
#include "waveui/WaveWindow.h"

#include "QtBench.h"
#include "SecondsReporter.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

using namespace kelvorn;

constexpr double Seconds = 60;
constexpr double Period = 0.0025;
constexpr int16_t Height = 12000;
constexpr double Factor = 0.97;
constexpr int Pairs = 9;

struct Program
{
    Program()
    {
        form = std::make_unique<TMainForm>();
        files = std::make_unique<TFileCommands>(*form);
        files->Install();
        waves = std::make_unique<TWaveCommands>(*form);
        waves->Install();
        factories = std::make_unique<TFactoryCommands>(*form, *files);
        factories->Install();
        form->resize(1200, 800);
        form->show();
    }

    /// The values the wave commands' dialogs gave back (their fields show values as text, which
    /// may round them): the factory takes exactly these.
    struct Used
    {
        int16_t height = Height;
        double period = Period;
        double seconds = Seconds;
        double factor = Factor;
    };

    void MakeFactory(const Used& used)
    {
        factory = factories->NewFactory(2, nullptr);
        factory->SetName("Minute");
        factory->SetWidth(4000);
        factoryWindow = form->Frame()->activeSubWindow();
        auto constant = [](TSountoryNode& node, const char* input, double value) {
            TSountoryNodeInput* pin = node.FindInputByName(input);
            pin->SetConstantValue(TSntValue(value, static_cast<ValueType>(pin->GetValueDomType())),
                                  EHNone);
        };
        int left = 15;
        auto node = [&](uint8_t kind, const std::string& name) {
            auto* made = factory->CreateNode<TSountoryNodeBuiltin>(
                name, kind, TSountoryRectangle{left, 20, left + 150, 200}, true);
            left += 190;
            return made;
        };
        auto* made = node(BuiltinMakeNewWave, "New");
        constant(*made, "Sample Frequency", 44100);
        constant(*made, "Bytes Per Sample", 2);
        constant(*made, "Mono Stereo", 2);
        constant(*made, "Length", 0);
        TSountoryNode* last = node(BuiltinMakeSinus, "Sinus");
        last->FindInputByName("Wave")->SetSource(made->FindOutputByName("Result"));
        constant(*last, "Height 1", used.height);
        constant(*last, "Height 2", -used.height);
        constant(*last, "Frequency", used.period);
        constant(*last, "Length", used.seconds);
        constant(*last, "Start Position", 0);
        for (int i = 0; i < Pairs; ++i) {
            TSountoryNode* volume = node(BuiltinVolume, "Volume " + std::to_string(i));
            volume->FindInputByName("Wave")->SetSource(last->FindOutputByName("Result"));
            constant(*volume, "Factor", used.factor);
            last = node(BuiltinReverse, "Reverse " + std::to_string(i));
            last->FindInputByName("Wave")->SetSource(volume->FindOutputByName("Result"));
        }
        factory->FindOutput("Result")->SetSource(last->FindOutputByName("Result"));
    }

    void Trigger(const char* action)
    {
        form->ActionListUpdate();
        form->Action(action)->trigger();
    }

    /// The active wave window's sound; the window goes.
    SoundPtr CloseActiveWave()
    {
        auto* window = dynamic_cast<TMDIChildWave*>(form->Documents().GetActiveChildWave());
        if (!window)
            return nullptr;
        SoundPtr sound = window->GetUnitWave().GetSound();
        window->Release();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        return sound;
    }

    void RunFactory()
    {
        form->Frame()->setActiveSubWindow(factoryWindow);
        Trigger("SntRunCrWnd");
        QCoreApplication::processEvents();
    }

    void RunWaveCommands()
    {
        dialogs.When("TDlgWaveFileProp", DialogResult::Accepted);
        Trigger("FileNewWave");
        TUnitWave* unit = form->Documents().GetActiveUnitWave();
        TSinusProps& sinus = unit->Records().sinusProps;
        sinus.lengthKind = TSinusProps::lengthTime;
        sinus.amplitude.value = Height;
        sinus.period.SetValue(Period);
        sinus.length.SetValue(Seconds);
        sinus.startPhase.SetValue(0);
        dialogs.When("TDlgSinusProps", DialogResult::Accepted);
        Trigger("MakeSinus");
        unit->Records().volumeProps.factor.SetValue(Factor);
        for (int i = 0; i < Pairs; ++i) {
            dialogs.When("TDlgVolumeProps", DialogResult::Accepted);
            Trigger("Volume");
            Trigger("Reverse");
        }
        QCoreApplication::processEvents();
        used = {unit->Records().sinusProps.amplitude.value, sinus.period.GetValue(),
                sinus.length.GetValue(), unit->Records().volumeProps.factor.GetValue()};
    }

    QtServices services;
    ScriptedMessages messages; // a box would stop the run: it is recorded and answered
    ScriptedDialogs dialogs;
    ScopedService<TBuiltinNodeMaker> builtins{&GetBuiltinNodeMaker()};
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TFileCommands> files;
    std::unique_ptr<TWaveCommands> waves;
    std::unique_ptr<TFactoryCommands> factories;
    TUnitSountory* factory = nullptr;
    QMdiSubWindow* factoryWindow = nullptr;
    Used used;
};

Program* program = nullptr;

void RunFactoryCreateWave(benchmark::State& state)
{
    for (auto _ : state) {
        program->RunFactory();
        state.PauseTiming();
        if (!program->CloseActiveWave())
            state.SkipWithError("no wave window was made");
        state.ResumeTiming();
    }
    state.counters["nodes"] = double(program->factory->Nodes().size());
}

void WaveCommands(benchmark::State& state)
{
    for (auto _ : state) {
        program->RunWaveCommands();
        state.PauseTiming();
        if (!program->CloseActiveWave())
            state.SkipWithError("no wave window was made");
        state.ResumeTiming();
    }
}

bool SameSound(const Sound& a, const Sound& b)
{
    if (a.GetValues() != b.GetValues() || a.GetMonoStereo() != b.GetMonoStereo() ||
        a.GetSampleFreq() != b.GetSampleFreq())
        return false;
    for (int32_t i = 0; i < a.GetValues(); ++i)
        if ((*a.GetLeftWave())[i] != (*b.GetLeftWave())[i] ||
            (*a.GetRightWave())[i] != (*b.GetRightWave())[i])
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    kelvorn::bench::OffscreenApp<QApplication> app(argv);
    Program made;
    program = &made;

    // Both roads make the same minute of sound.
    made.RunWaveCommands();
    SoundPtr fromCommands = made.CloseActiveWave();
    made.MakeFactory(made.used);
    made.RunFactory();
    SoundPtr fromFactory = made.CloseActiveWave();
    const bool same = fromFactory && fromCommands && SameSound(*fromFactory, *fromCommands);
    std::printf("factory and wave commands make %s: %d values of %d channels\n",
                same ? "the same sound" : "DIFFERENT SOUNDS",
                fromFactory ? fromFactory->GetValues() : 0,
                fromFactory ? fromFactory->GetMonoStereo() : 0);
    fromFactory.reset();
    fromCommands.reset();

    if (!kelvorn::bench::StartBenchmarks(argc, argv))
        return 1;
    benchmark::RegisterBenchmark("WaveCommands", WaveCommands)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("RunFactoryCreateWave", RunFactoryCreateWave)
        ->Unit(benchmark::kMillisecond);
    kelvorn::bench::SecondsReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double peer = reporter.seconds["WaveCommands"];
    const double factory = reporter.seconds["RunFactoryCreateWave"];
    if (peer > 0 && factory > 0)
        std::printf("\n%zu nodes, %.0f s of 44.1 kHz stereo: Run Factory Create Wave to its window "
                    "%.0f ms, the wave commands (peer) %.0f ms, factory / commands %.2f\n",
                    made.factory->Nodes().size(), Seconds, factory * 1e3, peer * 1e3,
                    factory / peer);
    // The windows go while the commands they report to still exist.
    for (QMdiSubWindow* window : made.form->Frame()->subWindowList())
        delete window;
    return same ? 0 : 1;
}
