// Validation and the runs of a factory: the loop, reference, input and definition passes, the
// demand-driven pull from the outputs, the dialog step before a top-level run and the run that
// makes a new wave.

#include "factory/core/UnitSountory.h"
#include "factory/core/WaveWindowRun.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace kelvorn {

namespace {

std::string InNode(const TSountoryNode& node, const std::string& reason)
{
    return "In Node \"" + node.Name + "\": " + reason;
}

const char* const stoppedByUser = "Stopped by user.";

bool IsReferenceNode(const TSountoryNode& node)
{
    return node.GetSntNodeKind() == sntNodeUser || node.GetSntNodeKind() == sntNodeLoop;
}

} // namespace

bool TUnitSountory::ValidateFactory(uint32_t stamp, std::string& message)
{
    if (ValidationStamp == stamp)
        return true;
    for (const auto& node : nodes)
        node->ClearLoopMarks();
    for (const auto& node : nodes)
        if (!node->CheckLoops(message))
            return false;
    for (const auto& node : nodes) {
        if (!IsReferenceNode(*node))
            continue;
        std::string reason;
        if (!node->SyncWithDefinition(reason) || !node->CheckRecursion(stamp, reason)) {
            message = InNode(*node, reason);
            return false;
        }
    }
    if (!CheckChainDepth(message))
        return false;
    for (const auto& node : nodes) {
        std::string reason;
        if (!node->CheckInputs(reason)) {
            message = InNode(*node, reason);
            return false;
        }
    }
    for (const auto& node : nodes) {
        std::string reason;
        if (!node->CheckDefinition(reason)) {
            message = InNode(*node, reason);
            return false;
        }
    }
    ValidationStamp = stamp;
    return true;
}

// The pull, the preparation and the release recurse once per node of a chain (and once more per
// nested factory), so the longest chain is bounded here, where it can still be said.
bool TUnitSountory::CheckChainDepth(std::string& message)
{
    std::unordered_map<const TSountoryNode*, int32_t> depth;
    int32_t deepest = 0;
    for (const auto& start : nodes) {
        std::vector<std::pair<TSountoryNode*, size_t>> path{{start.get(), 0}};
        while (!path.empty()) {
            auto& [node, next] = path.back();
            if (depth.count(node)) {
                path.pop_back();
                continue;
            }
            if (next < node->Inputs().size()) {
                TSountoryInputSource* source = node->Inputs()[next++]->GetSource();
                TSountoryNodeOutput* output = source ? source->AsNodeOutput() : nullptr;
                if (output && !depth.count(output->GetNode()))
                    path.push_back({output->GetNode(), 0});
                continue;
            }
            int32_t upstream = 0;
            for (const auto& in : node->Inputs()) {
                TSountoryInputSource* source = in->GetSource();
                if (TSountoryNodeOutput* output = source ? source->AsNodeOutput() : nullptr)
                    upstream = std::max(upstream, depth[output->GetNode()]);
            }
            TUnitSountory* definition = node->GetDefinition();
            int32_t own = 1 + (definition ? definition->GetChainDepth() : 0);
            depth[node] = std::min(upstream + own, MaxChainDepth + 1);
            deepest = std::max(deepest, depth[node]);
            path.pop_back();
        }
    }
    chainDepth = deepest;
    if (deepest > MaxChainDepth) {
        message = "Factory \"" + GetName() + "\" has a chain of more than " +
                  std::to_string(MaxChainDepth) + " nodes.";
        return false;
    }
    return true;
}

bool TUnitSountory::CheckOutputsMandatory(std::string& message) const
{
    for (const auto& output : outputs)
        if (!output->HasValue()) {
            message = "Output \"" + output->Name + "\" is mandatory.";
            return false;
        }
    return true;
}

bool TUnitSountory::CheckLoopOutputs(std::string& message) const
{
    for (const auto& output : outputs)
        if ((output->Name == "Sample" || output->Name == "Position in Sample" ||
             output->Name == "Position in Result") &&
            !output->HasValue()) {
            message = "Output \"" + output->Name + "\" is mandatory.";
            return false;
        }
    return true;
}

bool TUnitSountory::RunFactory(std::string& message, SntStopFlag* stop)
{
    runState = sntRunBusy;
    for (const auto& input : inputs) {
        if (!input->Given || input->GetValueDomType() != ValueDomType::Wave)
            continue;
        SoundPtr sound = host.FindWaveSound(input->GivenSoundName);
        if (!sound) {
            message = "Cannot find Sound \"" + input->GivenSoundName + "\" at Input \"" +
                      input->Name + "\".";
            runState = sntRunFailed;
            return false;
        }
        input->SetSound(std::move(sound));
    }
    for (const auto& node : nodes) {
        node->ClearCalculated();
        node->ClearUseCounts();
    }
    for (const auto& output : outputs)
        output->AddUseToSource();
    for (const auto& node : nodes)
        node->ClearCalculated();
    for (const auto& output : outputs) {
        bool reported = false;
        if (!output->CheckValue(stop, message, reported)) {
            runState = sntRunFailed;
            return false;
        }
    }
    runState = sntRunDone;
    return true;
}

void TUnitSountory::ReleaseRunSounds()
{
    std::vector<const TUnitSountory*> done;
    ReleaseRunSounds(done);
}

void TUnitSountory::ReleaseRunSounds(std::vector<const TUnitSountory*>& done)
{
    if (std::find(done.begin(), done.end(), this) != done.end())
        return;
    done.push_back(this);
    for (const auto& input : inputs)
        input->DropSound();
    for (const auto& node : nodes) {
        for (const auto& output : node->Outputs())
            output->DropSound();
        if (TUnitSountory* definition = node->GetDefinition())
            definition->ReleaseRunSounds(done);
    }
}

bool TUnitSountory::AskInputTypesAndValues(std::string& message, SntValuesAsker& asker)
{
    std::vector<TSountoryInput*> typed;
    std::vector<TSountoryInput*> asked;
    for (const auto& input : inputs) {
        if (input->IsWaveWindowInput())
            continue;
        asked.push_back(input.get());
        if (input->IsComposite())
            typed.push_back(input.get());
    }
    if (!typed.empty() && !asker.AskTypes(typed)) {
        message = stoppedByUser;
        return false;
    }
    for (TSountoryInput* input : asked) {
        TSntValue given = input->GetGivenValue();
        ValueDomType type = input->GetValueDomType();
        if (!IsValueTypeCompatible(given.valueType, type))
            given = TSntValue(0, input->IsComposite() ? ValueType::Factor
                                                      : static_cast<ValueType>(type));
        input->SetValue(given);
    }
    if (!asked.empty() && !asker.AskValues(asked)) {
        message = stoppedByUser;
        return false;
    }
    return true;
}

// A position the graph made may be anything a double holds: it is clamped before it becomes a
// sample index, and one that is not a number leaves the caller's.
void TUnitSountory::ReadPosition(const std::string& name, int32_t& position) const
{
    const TSountoryOutput* output = FindOutput(name);
    if (!output || !output->HasValue())
        return;
    double value = output->GetSourceValue().value;
    if (!std::isfinite(value))
        return;
    value = std::clamp(value, double(std::numeric_limits<int32_t>::min()),
                       double(std::numeric_limits<int32_t>::max()));
    position = static_cast<int32_t>(value);
}

bool TUnitSountory::RunCreateWaveWindow(std::string& message, SoundPtr& sound, int32_t& begin,
                                        int32_t& end, SntValuesAsker& asker)
{
    runState = sntRunIdle;
    sound.reset();
    const TSountoryOutput* result = FindOutput("Result");
    if (!result) {
        message = "Cannot find Output \"Result\".";
        return false;
    }
    if (result->GetValueDomType() != ValueDomType::Wave) {
        message = "Output \"Result\" is not a valuetype domain of \"Wave\".";
        return false;
    }
    if (!result->HasValue()) {
        message = "Output \"Result\" is mandatory.";
        return false;
    }
    for (const char* name : {"Position Begin", "Position End"})
        if (const TSountoryOutput* position = FindOutput(name))
            if (!position->CheckWavePosition(message))
                return false;
    if (!AskInputTypesAndValues(message, asker))
        return false;
    // A stop or a failed allocation of an earlier run must not end this one at once.
    Stopped = 0;
    bool ok = RunFactory(message, &Stopped);
    SoundPtr made = ok ? result->GetSound() : nullptr;
    int32_t newBegin = begin;
    int32_t newEnd = end;
    if (ok && made) {
        ReadPosition("Position Begin", newBegin);
        ReadPosition("Position End", newEnd);
    }
    // The run's sounds go now; only what the new window takes stays.
    ReleaseRunSounds();
    if (!ok)
        return false;
    if (!made) {
        message = "No Wave is generated.";
        return false;
    }
    if (Stopped) {
        message = StopFlagReason(&Stopped);
        return false;
    }
    sound = AdoptRunResult(std::move(made), &Stopped);
    if (!sound) {
        message = StopFlagReason(&Stopped);
        return false;
    }
    end = std::clamp(newEnd, 0, sound->GetValues());
    begin = std::clamp(newBegin, 0, end);
    return true;
}

} // namespace kelvorn
