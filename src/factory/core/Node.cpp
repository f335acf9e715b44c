#include "factory/core/Node.h"

#include "factory/core/OwnedList.h"
#include "factory/core/UnitSountory.h"

namespace kelvorn {

TSountoryNode::TSountoryNode(std::string name, TUnitSountory* factory,
                             const TSountoryRectangle& rect)
    : Name(std::move(name)), factory(factory), rect(rect)
{
}

TSountoryNode::~TSountoryNode()
{
    ClearOwned(inputs);
    ClearOwned(outputs);
}

bool TSountoryNode::IsTouched(PixelPoint point, double& distance) const
{
    uint8_t part = 0;
    return IsTouched(point, distance, part);
}

TSountoryRectangle TSountoryNode::GetDrawRect() const
{
    const TSountoryRectangle& area = factory->FactoryRect;
    return {rect.left + area.left, rect.top + area.top, rect.right + area.left,
            rect.bottom + area.top};
}

TSountoryNodeInput* TSountoryNode::AddInput(const std::string& name,
                                            const unitFactorPosMax1& height, bool fixed,
                                            ValueDomType type, ValueDomain domain)
{
    inputs.push_back(std::make_unique<TSountoryNodeInput>(name, this, height, fixed, type, domain));
    return inputs.back().get();
}

TSountoryNodeOutput* TSountoryNode::AddOutput(const std::string& name,
                                              const unitFactorPosMax1& height, bool fixed,
                                              ValueDomType type, ValueDomain domain)
{
    outputs.push_back(
        std::make_unique<TSountoryNodeOutput>(name, this, height, fixed, type, domain));
    return outputs.back().get();
}

void TSountoryNode::DeleteInput(TSountoryNodeInput* pin)
{
    EraseOwned(inputs, pin);
}

void TSountoryNode::DeleteOutput(TSountoryNodeOutput* pin)
{
    EraseOwned(outputs, pin);
}

TSountoryNodeInput* TSountoryNode::FindInputByName(const std::string& name,
                                                   const TSountoryNodeInput* skip) const
{
    return FindOwnedByName(inputs, name, skip);
}

TSountoryNodeOutput* TSountoryNode::FindOutputByName(const std::string& name,
                                                     const TSountoryNodeOutput* skip) const
{
    return FindOwnedByName(outputs, name, skip);
}

int32_t TSountoryNode::CountTypeChoiceInputs() const
{
    int32_t count = 0;
    for (const auto& in : inputs)
        count += in->IsComposite() ? 1 : 0;
    return count;
}

int32_t TSountoryNode::CountConnections() const
{
    int32_t count = 0;
    for (const auto& in : inputs)
        count += in->GetSource() != nullptr ? 1 : 0;
    for (const auto& out : outputs) {
        int32_t connected = 0;
        int32_t others = 0;
        out->CountTargets(connected, others);
        count += connected;
    }
    return count;
}

void TSountoryNode::DisconnectAll()
{
    for (const auto& in : inputs)
        in->SetSource(nullptr);
    for (const auto& out : outputs)
        factory->DisconnectSource(out.get());
}

void TSountoryNode::DisconnectInputsFrom(const TSountoryInputSource* source)
{
    for (const auto& in : inputs)
        if (in->GetSource() == source)
            in->SetSource(nullptr);
}

void TSountoryNode::AddOutputsToList(TSntList& list, bool wave) const
{
    for (const auto& out : outputs)
        out->AddAllToList(list, wave);
}

void TSountoryNode::AddInputsToList(TSntList& list, bool wave) const
{
    for (const auto& in : inputs)
        in->AddAllToList(list, wave);
}

int32_t TSountoryNode::CheckTargetsOfSource(const TSntList& list, std::vector<bool>& selected,
                                            const TSountoryInputSource* source) const
{
    int32_t count = 0;
    for (const auto& in : inputs)
        count += SelectTargetLine(list, selected, *in, source) ? 1 : 0;
    return count;
}

void TSountoryNode::ApplyTargetsOfSource(const TSntList& list, const std::vector<bool>& selected,
                                         TSountoryInputSource* source)
{
    for (const auto& in : inputs)
        ApplyTargetLine(list, selected, *in, source);
}

void TSountoryNode::CountTargetsOfSource(int32_t& others, int32_t& connected,
                                         const TSountoryInputSource* source, bool wave) const
{
    for (const auto& in : inputs)
        if (in->IsWave() == wave)
            ++(in->GetSource() == source ? connected : others);
}

void TSountoryNode::CountCandidateSources(int32_t& count, const TSountoryInputSource* except,
                                          bool wave) const
{
    for (const auto& out : outputs)
        if (out->IsWave() == wave && out.get() != except)
            ++count;
}

void TSountoryNode::MarkOldPins()
{
    for (const auto& in : inputs)
        in->Old = true;
    for (const auto& out : outputs)
        out->Old = true;
}

void TSountoryNode::MergeOldPins()
{
    MergeOldPinList(inputs, true);
    MergeOldPinList(outputs, true);
}

void TSountoryNode::ClearUseCounts()
{
    for (const auto& out : outputs)
        out->ClearUseCount();
}

void TSountoryNode::PrepareUses()
{
    if (calculated)
        return;
    // Marked first: a loop back to this node must not prepare it twice.
    calculated = true;
    SetRunState(sntRunIdle);
    for (const auto& in : inputs)
        in->AddUseToSource();
}

void TSountoryNode::ReleaseInputs()
{
    for (const auto& in : inputs)
        in->ReleaseUnusedSource();
}

void TSountoryNode::SetRunState(uint8_t state, SntStopFlag* stop)
{
    runState = state;
    factory->GetHost().ShowRunProgress(*this, 0, stop);
}

namespace {

TSountoryNode* SourceNodeOf(const TSountoryNodeInput& input)
{
    TSountoryNodeOutput* output = input.GetSource() ? input.GetSource()->AsNodeOutput() : nullptr;
    return output ? output->GetNode() : nullptr;
}

} // namespace

// A depth-first walk on an explicit stack, so that no file decides how deep this recurses. An
// input stays marked while the walk is upstream of it; meeting a marked input closes a loop. A
// node whose inputs all passed is marked and never walked again, which keeps shared upstream
// parts (a diamond chain) linear.
bool TSountoryNode::CheckLoops(std::string& message)
{
    struct Frame
    {
        TSountoryNode* node;
        size_t next;
    };
    if (loopChecked)
        return true;
    std::vector<Frame> path{{this, 0}};
    while (!path.empty()) {
        Frame& top = path.back();
        if (top.next == top.node->inputs.size()) {
            top.node->loopChecked = true;
            path.pop_back();
            if (!path.empty())
                --path.back().node->inputs[path.back().next - 1]->LoopVisits;
            continue;
        }
        TSountoryNodeInput& input = *top.node->inputs[top.next++];
        if (input.LoopVisits > 0) {
            message =
                "Loop found at Input \"" + input.Name + "\" at Node \"" + top.node->Name + ".";
            path.pop_back();
            for (const Frame& frame : path)
                --frame.node->inputs[frame.next - 1]->LoopVisits;
            return false;
        }
        TSountoryNode* source = SourceNodeOf(input);
        if (!source || source->loopChecked)
            continue;
        ++input.LoopVisits;
        path.push_back({source, 0});
    }
    return true;
}

bool TSountoryNode::CalculateInput(TSountoryNodeInput& input, SntStopFlag* stop,
                                   std::string& message)
{
    bool reported = false;
    if (input.CheckValue(stop, message, reported))
        return true;
    // A failure further up carries its own node already.
    if (reported) {
        message = "At Node \"" + Name + "\": " + message;
        SetRunState(sntRunFailed, stop);
    }
    return false;
}

bool TSountoryNode::FailComputation(SntStopFlag* stop, std::string& message)
{
    SetRunState(sntRunFailed, stop);
    message = "At Node \"" + Name + "\" of Factory \"" + factory->GetName() + "\": " + message;
    return false;
}

bool TSountoryNode::ComputeInRun(SntStopFlag* stop, std::string& message)
{
    SetRunState(sntRunBusy, stop);
    if (!Compute(stop, message))
        return FailComputation(stop, message);
    SetRunState(sntRunDone, stop);
    return true;
}

bool TSountoryNode::Calculate(SntStopFlag* stop, std::string& message)
{
    if (calculated)
        return true;
    for (const auto& in : inputs)
        if (!CalculateInput(*in, stop, message))
            return false;
    if (!ComputeInRun(stop, message))
        return false;
    for (const auto& in : inputs)
        in->ReleaseSource();
    calculated = true;
    return true;
}

} // namespace kelvorn
