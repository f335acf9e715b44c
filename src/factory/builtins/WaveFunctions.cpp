// The frame every wave function runs in: the sound at "Wave" and the range, checked; the kind's
// wave stage, run only when one of its outputs is needed; the new sound and the range handed to
// the outputs; then the output stage of the kinds whose outputs are not "Result".

#include "factory/builtins/WaveFunctions.h"

#include "factory/builtins/WaveFunctionsDetail.h"

#include <array>
#include <cmath>

namespace kelvorn {

namespace wavefn {

namespace {

std::string Quoted(const char* name)
{
    return std::string("\"") + name + "\"";
}

} // namespace

// ---- reading the inputs ----

bool TWaveCall::Has(const char* name) const
{
    const TSountoryNodeInput* input = node.FindInputByName(name);
    return input && input->HasValue();
}

SoundPtr TWaveCall::SoundOf(const char* name) const
{
    const TSountoryNodeInput* input = node.FindInputByName(name);
    return input && input->HasValue() ? input->GetSound() : nullptr;
}

bool TWaveCall::Envelope(const char* name, SoundPtr& sound)
{
    if (!Has(name))
        return FailInput(name, "is mandatory.");
    sound = SoundOf(name);
    if (!sound)
        return Fail("Node Input " + Quoted(name) + " got no Sound.");
    return true;
}

bool TWaveCall::FailInput(const char* name, const std::string& rest)
{
    return Fail("Input " + Quoted(name) + " " + rest);
}

bool TWaveCall::Read(const char* name, double& value)
{
    const TSountoryNodeInput* input = node.FindInputByName(name);
    if (!input || !input->HasValue())
        return FailInput(name, "is mandatory.");
    value = input->GetSourceValue().value;
    if (!std::isfinite(value))
        return FailInput(name, "is not a finite number.");
    return true;
}

bool TWaveCall::ReadInt32(const char* name, int32_t& value)
{
    double v = 0;
    if (!Read(name, v))
        return false;
    // What truncates into the 32-bit range.
    if (!(v > -2147483649.0 && v < 2147483648.0))
        return FailInput(name, "must lie between -2147483648 and 2147483647.");
    value = static_cast<int32_t>(v);
    return true;
}

bool TWaveCall::ReadInt16(const char* name, int16_t& value)
{
    int32_t v = 0;
    if (!ReadInt32(name, v))
        return false;
    value = static_cast<int16_t>(v);
    return true;
}

bool TWaveCall::ReadFlag(const char* name, bool& value)
{
    double v = 0;
    if (!Read(name, v))
        return false;
    value = v != 0.0;
    return true;
}

bool TWaveCall::ReadPlace(const char* name, double& value)
{
    if (!Read(name, value))
        return false;
    if (!(value >= 0.0 && value < 1.0))
        return FailInput(name, "must be at least 0 and below 1.");
    return true;
}

bool TWaveCall::ReadPeriod(double& period)
{
    if (!Read("Frequency", period))
        return false;
    if (!(period > 0))
        return FailInput("Frequency", "must be above 0.");
    return true;
}

bool TWaveCall::Needed(const char* output) const
{
    const TSountoryNodeOutput* pin = node.FindOutputByName(output);
    return pin && pin->GetUseCount() != 0;
}

// ---- the outcome ----

bool TWaveCall::Stopped()
{
    return Fail(StopFlagReason(stop));
}

bool TWaveCall::NotStopped()
{
    if (stop && *stop)
        return Stopped();
    return true;
}

bool TWaveCall::Step(SoundUPtr made, SoundUPtr& into)
{
    if (!made || (stop && *stop)) {
        if (!error.empty())
            return Fail(error);
        return Stopped();
    }
    into = std::move(made);
    return true;
}

bool TWaveCall::Take(SoundUPtr made)
{
    SoundUPtr kept;
    if (!Step(std::move(made), kept))
        return false;
    result = SoundPtr(std::move(kept));
    return true;
}

double TWaveCall::RangeSeconds() const
{
    const int32_t rate = wave->GetSampleFreq();
    return rate > 0 ? (static_cast<double>(end) - begin) / rate : 0.0;
}

namespace {

struct TWaveKind
{
    /// Makes the sound of "Result"; null for the kinds without that output.
    TStage stage;
    /// Fills the outputs that are not "Result"; null for the kinds with "Result".
    TStage outputs;
    /// begin = end is an insertion point, not an empty range.
    bool insertion;
};

constexpr std::array<TWaveKind, WaveKindCount> waveKinds{{
    {Volume, nullptr, false},
    {Balance, nullptr, false},
    {MaxVolume, nullptr, false},
    {RollIn, nullptr, false},
    {NormalizeVertically, nullptr, false},
    {Reverse, nullptr, false},
    {MoveVertically, nullptr, false},
    {MixLeftRight, nullptr, false},
    {Distort, nullptr, false},
    {ChangeLength, nullptr, false},
    {RollOut, nullptr, false},
    {nullptr, SplitHorizontallyOutputs, false},
    {nullptr, SplitVerticallyOutputs, false},
    {MoveHorizontallyMono, nullptr, false},
    {MoveHorizontallyStereo, nullptr, false},
    {Block, nullptr, false},
    {LowFilter, nullptr, false},
    {HighFilter, nullptr, false},
    {ResonantFilter, nullptr, false},
    {NotchFilter, nullptr, false},
    {BlockFilter, nullptr, false},
    {PeriodEcho, nullptr, false},
    {Delete, nullptr, false},
    {Trim, nullptr, false},
    {InsertReplace, nullptr, true},
    {TempoPitch, nullptr, false},
    {MakeSilence, nullptr, true},
    {MakeLine, nullptr, true},
    {MakeBlock, nullptr, true},
    {MakeTriangle, nullptr, true},
    {MakeSinus, nullptr, true},
    {MakeNoise, nullptr, true},
    {Mix, nullptr, true},
    {nullptr, ExtractOutputs, false},
    {SetWaveProperties, nullptr, false},
    {nullptr, GetWavePropertiesOutputs, false},
    {MakeNewWave, nullptr, false},
    {nullptr, WaveStatisticsOutputs, false},
    {MergeHorizontally, nullptr, false},
    {MergeVertically, nullptr, false},
}};

/// Every pin of the kind is on the node: a node read from a file may lack some, and what the
/// kind reads or writes is then named rather than left out.
bool HasKindPins(TWaveCall& c)
{
    const TBuiltinKind& kind = *GetBuiltinKind(c.node.GetBuiltinAction());
    for (const TBuiltinPin& pin : kind.inputs)
        if (!c.node.FindInputByName(pin.name))
            return c.FailInput(pin.name, "does not exists.");
    for (const TBuiltinPin& pin : kind.outputs)
        if (!c.node.FindOutputByName(pin.name))
            return c.Fail("Output " + Quoted(pin.name) + " does not exists.");
    return true;
}

/// Reads a position input when the kind has it and it holds a value. It is compared with 0 and
/// the length before it is truncated, so that no value outside the wave becomes an index.
bool ReadPosition(TWaveCall& c, const char* name, int32_t& position)
{
    if (!c.Has(name))
        return true;
    double value = 0;
    if (!c.Read(name, value))
        return false;
    if (value < 0)
        return c.Fail(std::string(name) + " must be at least 0.");
    if (value > c.length)
        return c.Fail(std::string(name) + " must be before the end of the wave.");
    position = static_cast<int32_t>(value);
    return true;
}

/// The sound at "Wave" and the range, checked.
bool Prologue(TWaveCall& c, bool insertion)
{
    const TSountoryNodeInput* wave = c.node.FindInputByName("Wave");
    if (wave) {
        c.wave = wave->HasValue() ? wave->GetSound() : nullptr;
        if (!c.wave)
            return c.FailInput("Wave", "is mandatory.");
        c.length = c.wave->GetValues();
        c.end = c.length;
    }
    if (!ReadPosition(c, "Position Begin", c.begin) || !ReadPosition(c, "Position End", c.end))
        return false;
    if (!c.node.FindInputByName("Position Begin"))
        return true;
    if (insertion ? c.end < c.begin : c.end <= c.begin)
        return c.Fail(insertion ? "Position End must be greater or equal than Position Begin."
                                : "Position End must be greater than Position Begin.");
    return true;
}

/// The result and the range to the outputs. A result that is the input wave itself stays with
/// its source for the rest of the run; a new one is marked as the run's own.
void EndOfStage(TWaveCall& c)
{
    TSountoryNodeOutput* result = c.node.FindOutputByName("Result");
    // The range outputs alone may have run the stage: a result nobody takes is not kept.
    if (result->GetUseCount() != 0) {
        if (c.result == c.wave) {
            if (TSountoryNodeInput* wave = c.node.FindInputByName("Wave"))
                wave->KeepSourceSound();
        } else {
            c.result->SetRunResult(true);
        }
        result->SetSound(c.result);
    }
    if (TSountoryNodeOutput* begin = c.node.FindOutputByName("Position Begin"))
        begin->SetValue(TSntValue(c.begin, ValueType::PlaceInWindow));
    if (TSountoryNodeOutput* end = c.node.FindOutputByName("Position End"))
        end->SetValue(TSntValue(c.end, ValueType::PlaceInWindow));
}

bool ComputeWave(TSountoryNodeBuiltin& node, SntStopFlag* stop, std::string& message)
{
    const TWaveKind& kind = waveKinds[node.GetBuiltinAction()];
    TWaveCall c(node, stop, message);
    if (!HasKindPins(c) || !Prologue(c, kind.insertion))
        return false;
    // Nothing is made that no target waits for; the range outputs count as much as the sound.
    if (kind.stage &&
        (c.Needed("Result") || c.Needed("Position Begin") || c.Needed("Position End"))) {
        if (!kind.stage(c))
            return false;
        EndOfStage(c);
    }
    return !kind.outputs || kind.outputs(c);
}

} // namespace

} // namespace wavefn

TBuiltinCompute GetWaveCompute(int32_t kind)
{
    return kind >= 0 && kind < WaveKindCount ? wavefn::ComputeWave : nullptr;
}

} // namespace kelvorn
