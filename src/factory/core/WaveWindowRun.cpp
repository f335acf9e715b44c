#include "factory/core/WaveWindowRun.h"

#include "document/wave/UnitWave.h"
#include "document/wave/WaveDocumentLinks.h"

#include <algorithm>

namespace kelvorn {

namespace {

const char* const positionInputs[] = {"Select Begin", "Select End", "Replace Begin", "Replace End"};
const char* const positionOutputs[] = {"Position Begin", "Position End"};

/// The checks before anything runs; false with the first failure's reason.
bool CheckWavePins(const TUnitSountory& factory, const TUnitWave& wave, std::string& message)
{
    const TSountoryInput* in = factory.FindInput("Wave");
    if (!in) {
        message = "Cannot find Input \"Wave\".";
        return false;
    }
    const TSountoryOutput* out = factory.FindOutput("Result");
    if (!out) {
        message = "Cannot find Output \"Result\".";
        return false;
    }
    const bool stereo = wave.GetMonoStereo() == 2;
    if (in->GetValueDomType() != ValueDomType::Wave)
        message = "Input \"Wave\" is not a valuetype domain of \"Wave\".";
    else if (in->GetValueDomain() == ValueDomain::Mono && stereo)
        message = "Input \"Wave\" is type of \"Mono\", but the Wave is Stereo.";
    else if (in->GetValueDomain() == ValueDomain::Stereo && !stereo)
        message = "Input \"Wave\" is type of \"Stereo\", but the Wave is Mono.";
    else if (out->GetValueDomType() != ValueDomType::Wave)
        message = "Output \"Result\" is not a valuetype domain of \"Wave\".";
    else if (!out->HasValue())
        message = "Output \"Result\" is mandatory.";
    else
        message.clear();
    if (!message.empty())
        return false;
    for (const char* name : positionInputs)
        if (const TSountoryInput* position = factory.FindInput(name))
            if (!position->CheckWavePosition(message))
                return false;
    for (const char* name : positionOutputs)
        if (const TSountoryOutput* position = factory.FindOutput(name))
            if (!position->CheckWavePosition(message))
                return false;
    return true;
}

void RefreshWave(TUnitWave& wave)
{
    if (WaveWindowLink* window = wave.GetChildWave())
        window->RefreshWave();
}

} // namespace

SoundPtr AdoptRunResult(SoundPtr made, AbortFlag* stop)
{
    if (!made)
        return nullptr;
    if (made->GetRunResult() && made.use_count() == 1) {
        made->SetRunResult(false);
        return made;
    }
    SoundPtr copy;
    if (made->GetMonoStereo() == 2)
        copy = std::make_shared<StereoSound>(*made, stop);
    else
        copy = std::make_shared<MonoSound>(*made, stop);
    return stop && *stop ? nullptr : copy;
}

bool RunFactoryAtWave(TUnitSountory& factory, TUnitWave& wave, SntValuesAsker& asker,
                      std::string& message)
{
    factory.SetRunState(sntRunIdle);
    if (!CheckWavePins(factory, wave, message) || !factory.AskInputTypesAndValues(message, asker))
        return false;
    // A stop or a failed allocation of an earlier command must not end this run at once.
    wave.BeginOperation();
    factory.FindInput("Wave")->SetSound(wave.GetSound());
    const int32_t positions[] = {wave.GetRangeBegin(), wave.GetRangeEnd(), wave.GetPartBegin(),
                                 wave.GetPartEnd()};
    for (size_t i = 0; i < std::size(positionInputs); ++i)
        if (TSountoryInput* input = factory.FindInput(positionInputs[i]))
            input->SetValue(TSntValue(positions[i], ValueType::PlaceInWindow));
    int32_t begin = wave.GetRangeBegin();
    int32_t end = wave.GetRangeEnd();
    wave.BeginWaveChange(begin, end);

    AbortFlag* stop = wave.GetAbortFlag();
    bool ok = factory.RunFactory(message, stop);
    SoundPtr made = ok ? factory.FindOutput("Result")->GetSound() : nullptr;
    int32_t newBegin = begin;
    int32_t newEnd = end;
    if (made) {
        factory.ReadPosition("Position Begin", newBegin);
        factory.ReadPosition("Position End", newEnd);
    }
    // The run's sounds go now; only what the wave takes stays.
    factory.ReleaseRunSounds();
    if (ok && !made) {
        message = "No Wave is generated, keeping old Wave.";
        ok = false;
    }
    if (ok && !wave.IsAborted())
        made = AdoptRunResult(std::move(made), stop);
    if (ok && (wave.IsAborted() || !made)) {
        made.reset();
        RefreshWave(wave);
        message = StopFlagReason(stop);
        ok = false;
    }
    if (ok) {
        wave.ExchangeSound(std::move(made));
        end = std::clamp(newEnd, 0, wave.GetValues());
        begin = std::clamp(newBegin, 0, end);
    }
    wave.EndWaveChange(begin, end);
    RefreshWave(wave);
    return ok;
}

} // namespace kelvorn
