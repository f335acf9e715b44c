#include "factory/core/UserNodes.h"

#include "sound/SoundOps.h"

#include <algorithm>
#include <cmath>

namespace kelvorn {

namespace {

bool IsOwnLoopInput(const std::string& name)
{
    return name == "Wave" || name == "Count";
}

// A pin of the node's current pins (not one marked old while the pins are made again).
TSountoryNodeInput* FindCurrentInput(const TSountoryNode& node, const std::string& name)
{
    for (const auto& in : node.Inputs())
        if (!in->Old && in->Name == name)
            return in.get();
    return nullptr;
}

unitFactorPosMax1 Along(double height)
{
    return unitFactorPosMax1(height, EHPerc);
}

} // namespace

// ---- both kinds ----

TSountoryNodeReference::TSountoryNodeReference(TUnitSountory* factory, std::string name,
                                               std::string nameFactory,
                                               const TSountoryRectangle& rect)
    : TSountoryNode(std::move(name), factory, rect), NameFactory(std::move(nameFactory))
{
}

void TSountoryNodeReference::ForgetLinks()
{
    for (const auto& in : Inputs())
        in->DefinitionInput = nullptr;
    for (const auto& out : Outputs())
        out->DefinitionOutput = nullptr;
}

bool TSountoryNodeReference::Fail(std::string& message, const std::string& text)
{
    message = text;
    SountoryDef = nullptr;
    ForgetLinks();
    return false;
}

bool TSountoryNodeReference::FindDefinition(std::string& message)
{
    ForgetLinks();
    SountoryDef = GetFactory()->GetHost().FindFactory(NameFactory);
    if (!SountoryDef)
        return Fail(message, "Factory \"" + NameFactory + "\" not found.");
    return true;
}

bool TSountoryNodeReference::LinkInputs(std::string& message)
{
    bool loop = GetSntNodeKind() == sntNodeLoop;
    for (const auto& definitionInput : SountoryDef->Inputs()) {
        const std::string& name = definitionInput->Name;
        if (loop && name == "Counter")
            continue;
        TSountoryNodeInput* in = FindInputByName(name);
        if (!in)
            return Fail(message, "Input \"" + name + "\" not found, needed by Factory \"" +
                                     NameFactory + "\".");
        if (in->GetValueDomType() != definitionInput->GetValueDomType())
            return Fail(message, "Input \"" + name +
                                     "\" has an other typedomain than the Input of Factory \"" +
                                     NameFactory + "\".");
        in->DefinitionInput = definitionInput.get();
    }
    // A node input nothing links could not be handed in.
    for (const auto& in : Inputs())
        if (!in->DefinitionInput && !(loop && IsOwnLoopInput(in->Name)))
            return Fail(message,
                        "Input \"" + in->Name + "\" not found at Factory \"" + NameFactory + "\".");
    return true;
}

void TSountoryNodeReference::InputsFromDefinition(const TUnitSountory& definition)
{
    for (const auto& in : definition.Inputs())
        if (GetSntNodeKind() != sntNodeLoop || in->Name != "Counter")
            AddInput(in->Name, in->Height, false, in->GetValueDomType(), in->GetValueDomain());
}

bool TSountoryNodeReference::CheckInputs(std::string& message)
{
    for (const auto& in : Inputs())
        if (!in->HasValue()) {
            message = "Input \"" + in->Name + "\" is mandatory.";
            return false;
        }
    return true;
}

bool TSountoryNodeReference::CheckRecursion(uint32_t stamp, std::string& message)
{
    // Already validating that factory through this node: the factories form a circle.
    if (recursionDepth >= 1) {
        message = "Recurse found!";
        return false;
    }
    ++recursionDepth;
    std::string nested;
    bool ok = SountoryDef->ValidateFactory(stamp, nested);
    --recursionDepth;
    if (!ok)
        message = "at Factory \"" + NameFactory + "\": " + nested;
    return ok;
}

bool TSountoryNodeReference::CheckDefinitionWith(bool ok, std::string& message)
{
    if (!ok)
        message = "at Factory \"" + NameFactory + "\": " + message;
    return ok;
}

void TSountoryNodeReference::HandIn()
{
    for (const auto& in : Inputs()) {
        TSountoryInput* target = in->DefinitionInput;
        if (!target)
            continue;
        if (in->GetValueDomType() == ValueDomType::Wave)
            target->SetSound(in->GetSound());
        else
            target->SetValue(in->GetSourceValue());
    }
}

// ---- user node ----

TSountoryNodeUser::TSountoryNodeUser(TUnitSountory* factory, std::string name,
                                     std::string nameFactory, const TSountoryRectangle& rect)
    : TSountoryNodeReference(factory, std::move(name), std::move(nameFactory), rect)
{
}

std::unique_ptr<TXMLComplexElement> TSountoryNodeUser::KindToXml() const
{
    auto element = std::make_unique<TXMLComplexElement>("UserNode");
    element->AddText("NameFactory", NameFactory);
    return element;
}

void TSountoryNodeUser::PinsFromDefinition(const TUnitSountory& definition)
{
    MarkOldPins();
    InputsFromDefinition(definition);
    for (const auto& out : definition.Outputs())
        AddOutput(out->Name, out->Height, false, out->GetValueDomType(), out->GetValueDomain());
    MergeOldPins();
}

bool TSountoryNodeUser::SyncWithDefinition(std::string& message)
{
    if (!FindDefinition(message) || !LinkInputs(message))
        return false;
    for (const auto& out : Outputs()) {
        TSountoryOutput* definitionOutput = SountoryDef->FindOutput(out->Name);
        if (!definitionOutput)
            return Fail(message, "Output \"" + out->Name + "\" not found at Factory \"" +
                                     NameFactory + "\".");
        if (definitionOutput->GetValueDomType() != out->GetValueDomType())
            return Fail(message, "Output \"" + out->Name +
                                     "\" has an other typedomain than the Output of Factory \"" +
                                     NameFactory + "\".");
        out->DefinitionOutput = definitionOutput;
    }
    return true;
}

bool TSountoryNodeUser::CheckDefinition(std::string& message)
{
    return CheckDefinitionWith(SountoryDef->CheckOutputsMandatory(message), message);
}

bool TSountoryNodeReference::CheckLinked(std::string& message) const
{
    // Runs follow a validation of the same command; without one nothing is linked.
    if (!SountoryDef)
        message = "Factory \"" + NameFactory + "\" not found.";
    return SountoryDef != nullptr;
}

bool TSountoryNodeUser::Compute(SntStopFlag* stop, std::string& message)
{
    if (!CheckLinked(message))
        return false;
    SountoryDef->SetRunState(sntRunIdle);
    HandIn();
    bool ok = SountoryDef->RunFactory(message, stop);
    if (stop && *stop) {
        message = StopFlagReason(stop);
        ok = false;
    }
    if (ok)
        for (const auto& out : Outputs()) {
            const TSountoryOutput* from = out->DefinitionOutput;
            if (out->GetValueDomType() == ValueDomType::Wave)
                out->SetSound(from->GetSound());
            else
                out->SetValue(from->GetSourceValue());
        }
    // What the outputs took is shared; the rest of the nested run goes now.
    SountoryDef->ReleaseRunSounds();
    return ok;
}

// ---- repeat node ----

TSountoryNodeLoop::TSountoryNodeLoop(TUnitSountory* factory, std::string name,
                                     std::string nameFactory, const TSountoryRectangle& rect,
                                     bool createPins)
    : TSountoryNodeReference(factory, std::move(name), std::move(nameFactory), rect)
{
    if (createPins)
        CreateLoopPorts();
}

std::unique_ptr<TXMLComplexElement> TSountoryNodeLoop::KindToXml() const
{
    auto element = std::make_unique<TXMLComplexElement>("RepeatNode");
    element->AddText("NameFactory", NameFactory);
    return element;
}

void TSountoryNodeLoop::CreateLoopPorts()
{
    if (!FindCurrentInput(*this, "Wave"))
        AddInput("Wave", Along(0.2), true, ValueDomType::Wave, ValueDomain::AllValues);
    if (!FindCurrentInput(*this, "Count"))
        AddInput("Count", Along(0.7), true, ValueDomType::Integer, ValueDomain::Positive);
    AddOutput("Result", Along(0.5), true, ValueDomType::Wave, ValueDomain::AllValues);
}

void TSountoryNodeLoop::PinsFromDefinition(const TUnitSountory& definition)
{
    MarkOldPins();
    InputsFromDefinition(definition);
    CreateLoopPorts();
    MergeOldPins();
}

bool TSountoryNodeLoop::SyncWithDefinition(std::string& message)
{
    // Compute reads these three; a file may lack them.
    for (const char* name : {"Wave", "Count"})
        if (!FindInputByName(name))
            return Fail(message, "Input \"" + std::string(name) + "\" does not exists.");
    if (!FindOutputByName("Result"))
        return Fail(message, "Output \"Result\" does not exists.");
    if (!FindDefinition(message) || !LinkInputs(message))
        return false;
    const std::pair<const char*, ValueDomType> needed[] = {
        {"Sample", ValueDomType::Wave},
        {"Position in Sample", ValueDomType::Factor},
        {"Position in Result", ValueDomType::Factor},
    };
    for (const auto& [name, type] : needed) {
        const TSountoryOutput* out = SountoryDef->FindOutput(name);
        if (!out)
            return Fail(message, "Output \"" + std::string(name) + "\" not found at Factory \"" +
                                     NameFactory + "\".");
        if (out->GetValueDomType() != type)
            return Fail(message, "Output \"" + std::string(name) + "\" is not typedomain \"" +
                                     std::string(GetValueDomTypeName(type)) + "\".");
    }
    return true;
}

bool TSountoryNodeLoop::CheckDefinition(std::string& message)
{
    return CheckDefinitionWith(SountoryDef->CheckLoopOutputs(message), message);
}

bool TSountoryNodeLoop::Compute(SntStopFlag* stop, std::string& message)
{
    if (!CheckLinked(message))
        return false;
    SountoryDef->SetRunState(sntRunIdle);
    HandIn();
    // Clamped as a double first: a huge or broken count must not wrap.
    double count = FindInputByName("Count")->GetSourceValue().value;
    count = std::isnan(count) ? 0 : std::clamp(std::trunc(count), 0.0, 2147483647.0);
    SoundPtr wave = FindInputByName("Wave")->GetSound();
    if (!wave || wave->GetValues() < 1) {
        message = "Input Wave must not be empty.";
        return false;
    }
    std::unique_ptr<Sound> result;
    if (wave->GetMonoStereo() == 1)
        result = std::make_unique<MonoSound>(*wave, stop);
    else
        result = std::make_unique<StereoSound>(*wave, stop);
    bool ok = RunTurns(stop, message, *result, static_cast<int64_t>(count));
    // Only the mix is kept; the last turn's sample goes now.
    SountoryDef->ReleaseRunSounds();
    if (ok)
        FindOutputByName("Result")->SetSound(SoundPtr(std::move(result)));
    return ok;
}

bool TSountoryNodeLoop::RunTurns(SntStopFlag* stop, std::string& message, Sound& result,
                                 int64_t count)
{
    if (stop && *stop) {
        message = StopFlagReason(stop);
        return false;
    }
    TSountoryInput* counter = SountoryDef->FindInput("Counter");
    const TSountoryOutput* sampleOut = SountoryDef->FindOutput("Sample");
    const TSountoryOutput* inSample = SountoryDef->FindOutput("Position in Sample");
    const TSountoryOutput* inResult = SountoryDef->FindOutput("Position in Result");
    const TSountoryOutput* volume = SountoryDef->FindOutput("Volume");
    for (int64_t turn = 1; turn <= count; ++turn) {
        GetFactory()->GetHost().ShowRunProgress(*this, static_cast<int32_t>(turn), stop);
        if (counter)
            counter->SetValue(TSntValue(static_cast<double>(turn), ValueType::Integer));
        bool ok = SountoryDef->RunFactory(message, stop);
        if (stop && *stop) {
            message = StopFlagReason(stop);
            return false;
        }
        if (!ok)
            return false;
        SoundPtr sample = sampleOut->GetSound();
        double posSample = inSample->GetSourceValue().value;
        double posResult = inResult->GetSourceValue().value;
        bool mixed = volume && volume->HasValue()
                         ? MixAlignedFactor(result, stop, *sample, posResult, posSample,
                                            volume->GetSourceValue().value)
                         : MixAligned(result, stop, *sample, posResult, posSample);
        // A mix fails only when stopped or out of memory, which sets the stop flag too.
        if (!mixed) {
            message = StopFlagReason(stop);
            return false;
        }
    }
    return true;
}

} // namespace kelvorn
