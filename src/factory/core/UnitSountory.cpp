#include "factory/core/UnitSountory.h"

#include "factory/core/OwnedList.h"

#include <algorithm>

namespace kelvorn {

namespace {

unitFactorPosMax1 Percent(double height)
{
    return unitFactorPosMax1(height, EHPerc);
}

} // namespace

std::string GetFactoryKindName(uint8_t kind)
{
    switch (kind) {
    case FactoryFree:
        return "User defined Factory";
    case FactoryLoopMix:
        return "Loop and Mix Factory";
    case FactoryCreateWW:
        return "Create Wave Window Factory";
    case FactoryChangeWW:
        return "Change Wave Window Factory";
    default:
        return "";
    }
}

TUnitSountory::TUnitSountory(const std::string& name, const std::string& fileName,
                             FactoryHost& host)
    : TFileUnit(DocumentKind::Factory), host(host)
{
    SetNodesCombination(NodesShift);
    SetName(name);
    SetFileName(fileName);
}

TUnitSountory::~TUnitSountory()
{
    ClearContents();
}

// All three lists are emptied before anything in them dies: a dying source then finds no target
// to walk to, and the targets it fed die with it. Freeing one element at a time, each source
// searched the whole factory for its targets, which made a large factory's end quadratic.
void TUnitSountory::ClearContents()
{
    std::vector<std::unique_ptr<TSountoryInput>> doomedInputs = std::move(inputs);
    std::vector<std::unique_ptr<TSountoryOutput>> doomedOutputs = std::move(outputs);
    std::vector<std::unique_ptr<TSountoryNode>> doomedNodes = std::move(nodes);
    inputs.clear();
    outputs.clear();
    nodes.clear();
    doomedInputs.clear();
    doomedOutputs.clear();
    doomedNodes.clear();
}

void TUnitSountory::Clear()
{
    ClearContents();
    FactoryRect = TSountoryRectangle{25, 15, 460, 255};
    FactoryKind = FactoryFree;
    SetNodesCombination(NodesShift);
    ShowNameIO = true;
    ShowTypeIO = false;
    ShowNameNIO = true;
    ShowTypeNIO = false;
    View = TFactoryView();
    runState = sntRunIdle;
    ValidationStamp = 0;
}

bool TUnitSountory::IsTouched(PixelPoint point, double& distance) const
{
    uint8_t part = 0;
    return IsTouched(point, distance, part);
}

void TUnitSountory::ShowFactoryKind() const
{
    host.ShowStatusText(GetFactoryKindName(FactoryKind));
}

// ---- lists ----

TSountoryInput* TUnitSountory::CreateInput(const std::string& name, const unitFactorPosMax1& height,
                                           bool fixed, ValueDomType type, ValueDomain domain)
{
    inputs.push_back(std::make_unique<TSountoryInput>(name, this, height, fixed, type, domain));
    return inputs.back().get();
}

TSountoryOutput* TUnitSountory::CreateOutput(const std::string& name,
                                             const unitFactorPosMax1& height, bool fixed,
                                             ValueDomType type, ValueDomain domain)
{
    outputs.push_back(std::make_unique<TSountoryOutput>(name, this, height, fixed, type, domain));
    return outputs.back().get();
}

TSountoryNode* TUnitSountory::AdoptNode(std::unique_ptr<TSountoryNode> node)
{
    if (!KV_SOFT_ASSERT(node && node->GetFactory() == this))
        return nullptr;
    nodes.insert(nodes.begin(), std::move(node));
    return nodes.front().get();
}

void TUnitSountory::RemoveInput(TSountoryInput* input)
{
    EraseOwned(inputs, input);
}

void TUnitSountory::RemoveOutput(TSountoryOutput* output)
{
    EraseOwned(outputs, output);
}

void TUnitSountory::RemoveNode(TSountoryNode* node)
{
    EraseOwned(nodes, node);
}

void TUnitSountory::BringNodeToFront(TSountoryNode* node)
{
    auto it =
        std::find_if(nodes.begin(), nodes.end(),
                     [&](const std::unique_ptr<TSountoryNode>& p) { return p.get() == node; });
    if (!KV_SOFT_ASSERT(it != nodes.end()) || it == nodes.begin())
        return;
    std::rotate(nodes.begin(), it, it + 1);
    SetModified();
}

TSountoryInput* TUnitSountory::FindInput(const std::string& name,
                                         const TSountoryInput* except) const
{
    return FindOwnedByName(inputs, name, except);
}

TSountoryOutput* TUnitSountory::FindOutput(const std::string& name,
                                           const TSountoryOutput* except) const
{
    return FindOwnedByName(outputs, name, except);
}

TSountoryNode* TUnitSountory::FindNode(const std::string& name, const TSountoryNode* except) const
{
    return FindOwnedByName(nodes, name, except);
}

void TUnitSountory::DeleteInputByName(const std::string& name)
{
    if (TSountoryInput* input = FindInput(name))
        RemoveInput(input);
}

void TUnitSountory::DeleteOutputByName(const std::string& name)
{
    if (TSountoryOutput* output = FindOutput(name))
        RemoveOutput(output);
}

void TUnitSountory::FixInputByName(const std::string& name)
{
    if (TSountoryInput* input = FindInput(name))
        input->Fixed = true;
}

void TUnitSountory::FixOutputByName(const std::string& name)
{
    if (TSountoryOutput* output = FindOutput(name))
        output->Fixed = true;
}

void TUnitSountory::AllowWaveSubtypeInputByName(const std::string& name)
{
    if (TSountoryInput* input = FindInput(name))
        input->CanChangeWaveSubtype = true;
}

void TUnitSountory::AllowWaveSubtypeOutputByName(const std::string& name)
{
    if (TSountoryOutput* output = FindOutput(name))
        output->CanChangeWaveSubtype = true;
}

int32_t TUnitSountory::CountAskedInputs() const
{
    return static_cast<int32_t>(std::count_if(
        inputs.begin(), inputs.end(), [](const auto& in) { return !in->IsWaveWindowInput(); }));
}

int32_t TUnitSountory::CountTypeChoiceInputs() const
{
    return static_cast<int32_t>(std::count_if(inputs.begin(), inputs.end(), [](const auto& in) {
        return in->IsComposite() && !in->IsWaveWindowInput();
    }));
}

int32_t TUnitSountory::CountTypeChoiceOutputs() const
{
    return static_cast<int32_t>(std::count_if(outputs.begin(), outputs.end(),
                                              [](const auto& out) { return out->IsComposite(); }));
}

// ---- everything one source feeds ----

void TUnitSountory::DisconnectSource(const TSountoryInputSource* source)
{
    for (const auto& out : outputs)
        if (out->GetSource() == source)
            out->SetSource(nullptr);
    for (const auto& node : nodes)
        node->DisconnectInputsFrom(source);
}

void TUnitSountory::ForgetSource(const TSountoryInputSource* source)
{
    for (const auto& out : outputs)
        if (out->GetSource() == source)
            out->ClearSource();
    for (const auto& node : nodes)
        for (const auto& in : node->Inputs())
            if (in->GetSource() == source)
                in->ClearSource();
}

void TUnitSountory::FillSourceList(TSntList& list, ValueDomType type,
                                   const TSountoryNode* exceptNode) const
{
    bool wave = type == ValueDomType::Wave;
    list.clear();
    list.push_back({"<none>", nullptr, nullptr});
    for (const auto& in : inputs)
        in->AddAllToList(list, wave);
    for (const auto& node : nodes)
        if (node.get() != exceptNode)
            node->AddOutputsToList(list, wave);
}

void TUnitSountory::FillTargetList(TSntList& list, ValueDomType type,
                                   const TSountoryNode* exceptNode) const
{
    bool wave = type == ValueDomType::Wave;
    list.clear();
    list.push_back({"<none>", nullptr, nullptr});
    for (const auto& out : outputs)
        out->AddAllToList(list, wave);
    for (const auto& node : nodes)
        if (node.get() != exceptNode)
            node->AddInputsToList(list, wave);
}

int32_t TUnitSountory::CheckTargetsOfSource(const TSntList& list, std::vector<bool>& selected,
                                            const TSountoryInputSource* source) const
{
    int32_t count = 0;
    for (const auto& out : outputs)
        count += SelectTargetLine(list, selected, *out, source) ? 1 : 0;
    for (const auto& node : nodes)
        count += node->CheckTargetsOfSource(list, selected, source);
    return count;
}

void TUnitSountory::ApplyTargetsOfSource(const TSntList& list, const std::vector<bool>& selected,
                                         TSountoryInputSource* source)
{
    for (const auto& out : outputs)
        ApplyTargetLine(list, selected, *out, source);
    for (const auto& node : nodes)
        node->ApplyTargetsOfSource(list, selected, source);
}

void TUnitSountory::CountTargetsOfSource(const TSountoryInputSource* source, bool wave,
                                         int32_t& connected, int32_t& others) const
{
    for (const auto& out : outputs)
        if (out->IsWave() == wave)
            ++(out->GetSource() == source ? connected : others);
    for (const auto& node : nodes)
        node->CountTargetsOfSource(others, connected, source, wave);
}

void TUnitSountory::CountCandidateSources(const TSountoryInputSource* current, bool wave,
                                          int32_t& count) const
{
    for (const auto& in : inputs)
        if (in->IsWave() == wave && in.get() != current)
            ++count;
    for (const auto& node : nodes)
        node->CountCandidateSources(count, current, wave);
}

// ---- the predefined pins ----

void TUnitSountory::CreateChangeWindowInputs()
{
    CreateInput("Wave", Percent(0.1), true, ValueDomType::Wave, ValueDomain::AllValues)
        ->CanChangeWaveSubtype = true;
    CreateInput("Select Begin", Percent(0.4), true, ValueDomType::PlaceInWindow,
                ValueDomain::ZeroInclOneExcl);
    CreateInput("Select End", Percent(0.5), true, ValueDomType::PlaceInWindow,
                ValueDomain::ZeroInclOneExcl);
    CreateInput("Replace Begin", Percent(0.8), true, ValueDomType::PlaceInWindow,
                ValueDomain::ZeroInclOneExcl);
    CreateInput("Replace End", Percent(0.9), true, ValueDomType::PlaceInWindow,
                ValueDomain::ZeroInclOneExcl);
}

void TUnitSountory::CreateWindowOutputs()
{
    CreateOutput("Result", Percent(0.5), true, ValueDomType::Wave, ValueDomain::AllValues)
        ->CanChangeWaveSubtype = true;
    CreateOutput("Position Begin", Percent(0.7), true, ValueDomType::PlaceInWindow,
                 ValueDomain::ZeroInclOneExcl);
    CreateOutput("Position End", Percent(0.8), true, ValueDomType::PlaceInWindow,
                 ValueDomain::ZeroInclOneExcl);
}

void TUnitSountory::CreateLoopInputs()
{
    CreateInput("Wave", Percent(0.2), true, ValueDomType::Wave, ValueDomain::AllValues);
    CreateInput("Count", Percent(0.7), true, ValueDomType::Integer, ValueDomain::Positive);
}

void TUnitSountory::CreateLoopOutputs()
{
    CreateOutput("Sample", Percent(0.1), true, ValueDomType::Wave, ValueDomain::AllValues);
    CreateOutput("Volume", Percent(0.3), true, ValueDomType::Factor, ValueDomain::AllValues);
    CreateOutput("Position in Sample", Percent(0.5), true, ValueDomType::Factor,
                 ValueDomain::ZeroInclOneIncl);
    CreateOutput("Position in Result", Percent(0.7), true, ValueDomType::Factor,
                 ValueDomain::ZeroInclOneIncl);
}

void TUnitSountory::CreateCounterInput()
{
    CreateInput("Counter", Percent(0.9), true, ValueDomType::Integer, ValueDomain::PositiveNotZero);
}

void TUnitSountory::MergePins(bool removeUnmatched)
{
    MergeOldPinList(inputs, removeUnmatched);
    MergeOldPinList(outputs, removeUnmatched);
}

void TUnitSountory::MarkOldPins()
{
    for (const auto& in : inputs)
        in->Old = true;
    for (const auto& out : outputs)
        out->Old = true;
}

void TUnitSountory::SetFactoryKind(uint8_t kind)
{
    static const char* const windowInputs[] = {"Select Begin", "Select End", "Replace Begin",
                                               "Replace End"};
    static const char* const windowOutputs[] = {"Result", "Position Begin", "Position End"};
    static const char* const loopInputs[] = {"Count", "Counter"};
    static const char* const loopOutputs[] = {"Sample", "Volume", "Position in Sample",
                                              "Position in Result"};
    MarkOldPins();
    switch (kind) {
    case FactoryFree:
        for (const auto& in : inputs)
            in->Fixed = false;
        for (const auto& out : outputs)
            out->Fixed = false;
        break;
    case FactoryLoopMix:
        CreateLoopInputs();
        MergePins(false);
        FixInputByName("Wave");
        for (const char* name : loopInputs)
            FixInputByName(name);
        for (const char* name : loopOutputs)
            FixOutputByName(name);
        for (const char* name : windowInputs)
            DeleteInputByName(name);
        for (const char* name : windowOutputs)
            DeleteOutputByName(name);
        break;
    case FactoryCreateWW:
        CreateWindowOutputs();
        MergePins(false);
        for (const char* name : windowOutputs)
            FixOutputByName(name);
        AllowWaveSubtypeOutputByName("Result");
        DeleteInputByName("Wave");
        for (const char* name : windowInputs)
            DeleteInputByName(name);
        for (const char* name : loopInputs)
            DeleteInputByName(name);
        for (const char* name : loopOutputs)
            DeleteOutputByName(name);
        break;
    case FactoryChangeWW:
        CreateChangeWindowInputs();
        CreateWindowOutputs();
        MergePins(false);
        FixInputByName("Wave");
        for (const char* name : windowInputs)
            FixInputByName(name);
        AllowWaveSubtypeInputByName("Wave");
        for (const char* name : windowOutputs)
            FixOutputByName(name);
        AllowWaveSubtypeOutputByName("Result");
        for (const char* name : loopInputs)
            DeleteInputByName(name);
        for (const char* name : loopOutputs)
            DeleteOutputByName(name);
        break;
    default:
        break;
    }
    FactoryKind = kind;
}

void TUnitSountory::FitWithNode(const TSountoryNode& node)
{
    bool loop = node.GetSntNodeKind() == sntNodeLoop;
    MarkOldPins();
    for (const auto& in : node.Inputs())
        CreateInput(in->Name, in->Height, false, in->GetValueDomType(), in->GetValueDomain());
    if (loop) {
        CreateCounterInput();
        CreateLoopOutputs();
    } else {
        for (const auto& out : node.Outputs())
            CreateOutput(out->Name, out->Height, false, out->GetValueDomType(),
                         out->GetValueDomain());
    }
    MergePins(true);
}

void TUnitSountory::InitFromTemplate(int32_t templateNumber, const TSountoryNode* node)
{
    switch (templateNumber) {
    case 1:
        CreateChangeWindowInputs();
        CreateWindowOutputs();
        FactoryKind = FactoryChangeWW;
        break;
    case 2:
        CreateWindowOutputs();
        FactoryKind = FactoryCreateWW;
        break;
    case 3:
        if (node)
            FitWithNode(*node);
        FactoryKind = FactoryFree;
        break;
    case 4:
        CreateLoopInputs();
        FactoryKind = FactoryLoopMix;
        break;
    case 5:
        if (node)
            FitWithNode(*node);
        FactoryKind = FactoryLoopMix;
        break;
    default:
        FactoryKind = FactoryFree;
        break;
    }
    Modified = false;
}

} // namespace kelvorn
