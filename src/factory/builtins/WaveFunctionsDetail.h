#pragma once
// What the wave functions share: one computation's working state (the sound at "Wave", the
// range, the result) and the readers that turn the node's inputs into an operation's
// parameters. Internal to the wave functions.
//
// A constant typed into a pin skips the pin's domain, so every reader checks what the
// operation it feeds needs: a double is finite, a count fits in 32 bits, and each kind refuses
// the values its operation cannot take, naming the input, before the operation runs.

#include "factory/builtins/BuiltinNode.h"
#include "sound/SoundOps.h"

#include <cstdint>
#include <string>

namespace kelvorn::wavefn {

/// One computation of a wave kind.
class TWaveCall
{
public:
    TWaveCall(TSountoryNodeBuiltin& node, SntStopFlag* stop, std::string& message)
        : node(node), stop(stop), message(message)
    {
    }

    // ---- the inputs ----
    /// The input exists and holds a value.
    bool Has(const char* name) const;
    /// The sound arriving at the input; null when it has none.
    SoundPtr SoundOf(const char* name) const;
    /// The sound of an envelope (or another wave parameter); none fails as the pin check does.
    bool Envelope(const char* name, SoundPtr& sound);
    /// The input's value as the consumer reads it; false (with the message) when not finite.
    bool Read(const char* name, double& value);
    /// Truncated toward zero; false when the value does not fit in 32 bits.
    bool ReadInt32(const char* name, int32_t& value);
    /// A sample value: a checked 32-bit number whose low 16 bits are kept.
    bool ReadInt16(const char* name, int16_t& value);
    /// Set when the value is not 0.
    bool ReadFlag(const char* name, bool& value);
    /// A place within a period or a length: 0 <= value < 1.
    bool ReadPlace(const char* name, double& value);
    /// The period in seconds of "Frequency" (which arrives as a time): above 0.
    bool ReadPeriod(double& period);
    /// The output exists and some target waits for its value.
    bool Needed(const char* output) const;

    // ---- the outcome ----
    bool Fail(const std::string& text)
    {
        message = text;
        return false;
    }
    /// "Input \"<name>\" " + rest, as a failure.
    bool FailInput(const char* name, const std::string& rest);
    /// Keeps the operation's sound as the result. None fails with the engine's reason, or as
    /// stopped: the engine gives none only for a refused envelope, a stop or a memory failure
    /// (which sets the stop flag too).
    bool Take(SoundUPtr made);
    /// The same for a step whose sound the next step reads.
    bool Step(SoundUPtr made, SoundUPtr& into);
    /// False as stopped when the stop flag is set (after an in-place step or a copy).
    bool NotStopped();
    /// False with what set the stop flag: the user's stop or a memory failure.
    bool Stopped();

    /// Seconds of the range: (end - begin) / the wave's sample frequency.
    double RangeSeconds() const;
    int32_t Rate() const { return wave->GetSampleFreq(); }

    TSountoryNodeBuiltin& node;
    SntStopFlag* stop;
    std::string& message;
    /// The sound at "Wave", or null when the kind has none.
    SoundPtr wave;
    /// Values per channel of wave; -1 without one.
    int32_t length = -1;
    int32_t begin = 0;
    int32_t end = 0;
    SoundPtr result;
    /// Filled by the operations that refuse an envelope.
    std::string error;
};

/// A kind's wave stage (false with the message) or output stage.
using TStage = bool (*)(TWaveCall& call);

// The stages, by the file they are in.
// WaveFunctionsManipulate.cpp
bool Volume(TWaveCall& c);
bool Balance(TWaveCall& c);
bool MaxVolume(TWaveCall& c);
bool RollIn(TWaveCall& c);
bool NormalizeVertically(TWaveCall& c);
bool Reverse(TWaveCall& c);
bool MoveVertically(TWaveCall& c);
bool MixLeftRight(TWaveCall& c);
bool Distort(TWaveCall& c);
bool ChangeLength(TWaveCall& c);
bool RollOut(TWaveCall& c);
bool MoveHorizontallyMono(TWaveCall& c);
bool MoveHorizontallyStereo(TWaveCall& c);
bool Block(TWaveCall& c);
bool TempoPitch(TWaveCall& c);
// WaveFunctionsFilter.cpp
bool LowFilter(TWaveCall& c);
bool HighFilter(TWaveCall& c);
bool ResonantFilter(TWaveCall& c);
bool NotchFilter(TWaveCall& c);
bool BlockFilter(TWaveCall& c);
bool PeriodEcho(TWaveCall& c);
// WaveFunctionsEdit.cpp
bool Delete(TWaveCall& c);
bool Trim(TWaveCall& c);
bool InsertReplace(TWaveCall& c);
bool MakeSilence(TWaveCall& c);
bool MakeLine(TWaveCall& c);
bool MakeBlock(TWaveCall& c);
bool MakeTriangle(TWaveCall& c);
bool MakeSinus(TWaveCall& c);
bool MakeNoise(TWaveCall& c);
bool Mix(TWaveCall& c);
bool SplitHorizontallyOutputs(TWaveCall& c);
bool SplitVerticallyOutputs(TWaveCall& c);
bool ExtractOutputs(TWaveCall& c);
// WaveFunctionsProperties.cpp
bool SetWaveProperties(TWaveCall& c);
bool MakeNewWave(TWaveCall& c);
bool MergeHorizontally(TWaveCall& c);
bool MergeVertically(TWaveCall& c);
bool GetWavePropertiesOutputs(TWaveCall& c);
bool WaveStatisticsOutputs(TWaveCall& c);

} // namespace kelvorn::wavefn
