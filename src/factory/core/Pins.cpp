#include "factory/core/Pins.h"

#include "factory/core/Node.h"
#include "factory/core/UnitSountory.h"

#include <cmath>

namespace kelvorn {

namespace {

// A target shows its constant in the unit it was typed in and a computed value in a unit that
// fits its size; valueShown says whether a value is known (after a run, or a constant).
std::string TargetHint(const TSountoryOutputTarget& target, bool valueShown)
{
    std::string text = "Undefined";
    if (target.IsWaveTarget()) {
        if (target.GetHasConstant())
            text = "Wave: \"" + target.GetConstantSoundName() + "\"";
        TWaveFileProps props(1, 1, 1);
        int32_t length = 0;
        if (target.GetSourceWave(props, length))
            text = WavePropsToText(props, length);
        return text;
    }
    TSntValue value;
    if ((valueShown || target.GetHasConstant()) && target.TryGetValue(value))
        text = target.GetHasConstant() ? ValueToLabel(value, target.GetConstantUnitKind())
                                       : ValueToAutoLabel(value);
    return text;
}

} // namespace

// ---- placement ----

int32_t TSntPinPlace::GetY() const
{
    double h = Height.GetValue();
    return static_cast<int32_t>(std::trunc(h * SideBottom() + 0.5 + (1 - h) * SideTop()));
}

int32_t TSntPinPlace::GetConnectionY() const
{
    double h = Height.GetValue();
    return static_cast<int32_t>(std::trunc(h * SideBottom() + (1 - h) * SideTop()));
}

void TSntPinPlace::SetHeightFromY(int32_t y)
{
    int32_t top = SideTop();
    int32_t bottom = SideBottom();
    double h = bottom != top ? static_cast<double>(y - top) / (bottom - top) : 0.0;
    h = h < 0 ? 0 : (h > 1 ? 1 : h);
    Height.SetValue(h);
}

bool TSntPinPlace::IsTouched(PixelPoint point, double& distance) const
{
    double dx = point.x - GetX();
    double dy = point.y - GetY();
    double d = std::sqrt(dx * dx + dy * dy) - HitRadius();
    distance = d < 0 ? 0 : d;
    return distance < HitLimit();
}

TSountoryRectangle TSountoryInputOutput::GetSideRect() const
{
    return owner->FactoryRect;
}

TSountoryRectangle TSountoryNodeInputOutput::GetSideRect() const
{
    return node->GetDrawRect();
}

// ---- factory input ----

TSountoryInput::TSountoryInput(std::string name, TUnitSountory* factory,
                               const unitFactorPosMax1& height, bool fixed, ValueDomType type,
                               ValueDomain domain)
    : TSountoryInputSource(factory), TSountoryInputOutput(factory, height, fixed, type, domain),
      Name(std::move(name))
{
}

std::string TSountoryInput::GetHintText() const
{
    std::string text = "Undefined";
    if (GetOwner()->GetRunState() == sntRunIdle)
        return text;
    if (!IsWave())
        return ValueToAutoLabel(TSountoryInputSource::GetValue());
    if (Given)
        text = "Wave: \"" + GivenSoundName + "\"";
    TWaveFileProps props(1, 1, 1);
    int32_t length = 0;
    if (GetWave(props, length))
        text = (Given ? text + "\n" : std::string()) + WavePropsToText(props, length);
    return text;
}

bool TSountoryInput::IsWaveWindowInput() const
{
    return Name == "Wave" || Name == "Select Begin" || Name == "Select End" ||
           Name == "Replace Begin" || Name == "Replace End";
}

void TSountoryInput::SetGivenValue(TSntValue value, MeasureUnitKind unitKind)
{
    Given = true;
    SetValue(value);
    GivenUnitKind = unitKind;
}

void TSountoryInput::SetGivenSound(const std::string& name)
{
    Given = true;
    GivenSoundName = name;
}

TSntValue TSountoryInput::GetGivenValue() const
{
    if (Given)
        return TSountoryInputSource::GetValue();
    return TSntValue(0,
                     IsComposite() ? ValueType::Factor : static_cast<ValueType>(GetValueDomType()));
}

bool TSountoryInput::CheckWavePosition(std::string& message) const
{
    if (GetValueDomType() == ValueDomType::PlaceInWindow)
        return true;
    message = "Input \"" + Name + "\" is not a valuetype domain of \"wave position\".";
    return false;
}

void TSountoryInput::AddAllToList(TSntList& list, bool wave)
{
    if (IsWave() == wave)
        list.push_back({Name + " <Input>", this, nullptr});
}

// ---- factory output ----

TSountoryOutput::TSountoryOutput(std::string name, TUnitSountory* factory,
                                 const unitFactorPosMax1& height, bool fixed, ValueDomType type,
                                 ValueDomain domain)
    : TSountoryOutputTarget(factory), TSountoryInputOutput(factory, height, fixed, type, domain),
      Name(std::move(name))
{
}

const TSountoryOutputTarget* TSountoryOutput::GetPlaceReference() const
{
    return GetOwner()->FindOutput("Result");
}

std::string TSountoryOutput::GetHintText() const
{
    return TargetHint(*this, GetOwner()->GetRunState() == sntRunDone);
}

bool TSountoryOutput::CheckWavePosition(std::string& message) const
{
    if (GetValueDomType() == ValueDomType::PlaceInWindow)
        return true;
    message = "Output \"" + Name + "\" is not a valuetype domain of \"wave position\".";
    return false;
}

void TSountoryOutput::AddAllToList(TSntList& list, bool wave)
{
    if (IsWave() == wave)
        list.push_back({Name + " <Output>", nullptr, this});
}

// ---- node input ----

TSountoryNodeInput::TSountoryNodeInput(std::string name, TSountoryNode* node,
                                       const unitFactorPosMax1& height, bool fixed,
                                       ValueDomType type, ValueDomain domain)
    : TSountoryNodeInputOutput(node, height, fixed, type, domain),
      TSountoryOutputTarget(node->GetFactory()), Name(std::move(name))
{
}

const TSountoryOutputTarget* TSountoryNodeInput::GetPlaceReference() const
{
    return GetNode()->FindInputByName("Wave");
}

std::string TSountoryNodeInput::GetHintText() const
{
    return TargetHint(*this, GetNode()->GetRunState() != sntRunIdle);
}

std::string TSountoryNodeInput::GetFullName() const
{
    return GetNode()->Name + "." + Name;
}

void TSountoryNodeInput::ReleaseSource()
{
    if (TSountoryNodeOutput* output = GetSource() ? GetSource()->AsNodeOutput() : nullptr)
        output->Release();
}

void TSountoryNodeInput::KeepSourceSound()
{
    if (TSountoryNodeOutput* output = GetSource() ? GetSource()->AsNodeOutput() : nullptr)
        output->KeepSound();
}

void TSountoryNodeInput::AddAllToList(TSntList& list, bool wave)
{
    if (IsWave() == wave)
        list.push_back({GetFullName() + " <Node Input>", nullptr, this});
}

// ---- node output ----

TSountoryNodeOutput::TSountoryNodeOutput(std::string name, TSountoryNode* node,
                                         const unitFactorPosMax1& height, bool fixed,
                                         ValueDomType type, ValueDomain domain)
    : TSountoryNodeInputOutput(node, height, fixed, type, domain),
      TSountoryInputSource(node->GetFactory()), Name(std::move(name))
{
}

std::string TSountoryNodeOutput::GetHintText() const
{
    if (GetNode()->GetRunState() != sntRunDone)
        return "Undefined";
    if (!IsWave())
        return ValueToAutoLabel(GetValue());
    TWaveFileProps props(1, 1, 1);
    int32_t length = 0;
    return GetWave(props, length) ? WavePropsToText(props, length) : "Undefined";
}

std::string TSountoryNodeOutput::GetFullName() const
{
    return GetNode()->Name + "." + Name;
}

void TSountoryNodeOutput::AddUse()
{
    ++UseCount;
    GetNode()->PrepareUses();
}

void TSountoryNodeOutput::Release()
{
    --UseCount;
    if (UseCount == 0)
        FreeSound();
}

void TSountoryNodeOutput::ReleaseUnused()
{
    Release();
    // Only a branch nobody else needs is released further up: an upstream output shared with
    // another consumer must keep its sound until that one computes.
    if (UseCount == 0 && !GetNode()->IsCalculated())
        GetNode()->ReleaseInputs();
}

bool TSountoryNodeOutput::EvaluateSource(SntStopFlag* stop, std::string& message)
{
    return GetNode()->Calculate(stop, message);
}

void TSountoryNodeOutput::AddAllToList(TSntList& list, bool wave)
{
    if (IsWave() == wave)
        list.push_back({GetFullName() + " <Node Output>", this, nullptr});
}

} // namespace kelvorn
