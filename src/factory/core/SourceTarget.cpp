#include "factory/core/SourceTarget.h"

#include "factory/core/Node.h"
#include "factory/core/UnitSountory.h"
#include "general/Assert.h"

namespace kelvorn {

namespace {

std::string Quoted(const std::string& label, const std::string& name)
{
    return label + " \"" + name + "\"";
}

} // namespace

std::string StopFlagReason(const SntStopFlag* stop)
{
    // Kept as the memory box writes it: "memmory".
    return stop && *stop == AbortByUser ? "Stopped by user."
                                        : "There is not enough memmory for this operation.";
}

int32_t FindTargetLine(const TSntList& list, const TSountoryOutputTarget& target)
{
    for (size_t i = 1; i < list.size(); ++i)
        if (list[i].target == &target)
            return static_cast<int32_t>(i);
    return -1;
}

bool SelectTargetLine(const TSntList& list, std::vector<bool>& selected,
                      const TSountoryOutputTarget& target, const TSountoryInputSource* source)
{
    if (target.GetSource() != source)
        return false;
    int32_t line = FindTargetLine(list, target);
    if (line >= 0 && static_cast<size_t>(line) < selected.size())
        selected[static_cast<size_t>(line)] = true;
    return true;
}

void ApplyTargetLine(const TSntList& list, const std::vector<bool>& selected,
                     TSountoryOutputTarget& target, TSountoryInputSource* source)
{
    int32_t line = FindTargetLine(list, target);
    bool chosen = line >= 0 && static_cast<size_t>(line) < selected.size() &&
                  selected[static_cast<size_t>(line)];
    if (target.GetSource() == source) {
        if (!chosen)
            target.SetSource(nullptr);
    } else if (chosen) {
        target.ConnectTo(source);
    }
}

// ---- source ----

TSountoryInputSource::~TSountoryInputSource()
{
    if (sourceFactory)
        sourceFactory->DisconnectSource(this);
}

void TSountoryInputSource::SetSound(SoundPtr sound)
{
    Sound = std::move(sound);
    waveKnown = Sound != nullptr;
    if (Sound) {
        SoundLength = Sound->GetValues();
        WaveProps = TWaveFileProps(Sound->GetMonoStereo(), Sound->GetSampleFreq(),
                                   Sound->GetBytesPSample());
    }
}

bool TSountoryInputSource::GetWave(TWaveFileProps& props, int32_t& length) const
{
    if (!waveKnown)
        return false;
    props = WaveProps;
    length = SoundLength;
    return true;
}

void TSountoryInputSource::DisconnectAll()
{
    sourceFactory->ForgetSource(this);
}

void TSountoryInputSource::ShowTargetsInList(const TSntList& list,
                                             std::vector<bool>& selected) const
{
    selected.assign(list.size(), false);
    if (sourceFactory->CheckTargetsOfSource(list, selected, this) == 0 && !selected.empty())
        selected[0] = true;
}

void TSountoryInputSource::SetTargetsFromList(const TSntList& list,
                                              const std::vector<bool>& selected)
{
    sourceFactory->ApplyTargetsOfSource(list, selected, this);
}

void TSountoryInputSource::CountTargets(int32_t& connected, int32_t& others) const
{
    sourceFactory->CountTargetsOfSource(this, IsWaveSource(), connected, others);
}

// ---- target ----

void TSountoryOutputTarget::SetSource(TSountoryInputSource* source)
{
    Source = source;
    HasConstant = false;
}

bool TSountoryOutputTarget::ConnectTo(TSountoryInputSource* source)
{
    int32_t match = CanMatch(source->GetSourceDomain(), source->GetSourceDomType(),
                             GetTargetDomain(), GetTargetDomType());
    if (match == MatchNever) {
        std::string caption =
            "Make Connection between \"" + source->GetSourceName() + "\" and \"" + GetTargetName();
        if (!targetFactory->GetHost().ConfirmWarning(NeverMatchWarning, caption))
            return false;
    }
    SetSource(source);
    return true;
}

void TSountoryOutputTarget::SetConstantValue(TSntValue value, MeasureUnitKind unitKind)
{
    HasConstant = true;
    Constant = value;
    ConstantUnitKind = unitKind;
    Source = nullptr;
}

void TSountoryOutputTarget::SetConstantSound(const std::string& name)
{
    HasConstant = true;
    ConstantSoundName = name;
    Source = nullptr;
}

bool TSountoryOutputTarget::GetSourceWave(TWaveFileProps& props, int32_t& length) const
{
    return Source != nullptr && Source->GetWave(props, length);
}

bool TSountoryOutputTarget::CanConnect(const TSountoryInputSource* source) const
{
    const TSountoryNode* node = source->GetSourceNode();
    if (node != nullptr && node == GetTargetNode())
        return false;
    return source->IsWaveSource() == IsWaveTarget();
}

SoundPtr TSountoryOutputTarget::GetSound() const
{
    if (HasConstant)
        return targetFactory->GetHost().FindWaveSound(ConstantSoundName);
    if (Source)
        return Source->GetSound();
    return nullptr;
}

TSntValue TSountoryOutputTarget::GetValue() const
{
    if (Source)
        return Source->GetValue();
    if (!KV_SOFT_ASSERT(HasConstant))
        return TSntValue();
    if (GetTargetDomType() != ValueDomType::PlaceInWindow)
        return Constant;
    // Without a reference sound the check refuses the constant before any consumer reads it.
    const TSountoryOutputTarget* reference = GetPlaceReference();
    SoundPtr sound = reference ? reference->GetSound() : nullptr;
    return sound ? Constant.Scale(sound->GetValues()) : Constant;
}

bool TSountoryOutputTarget::TryGetValue(TSntValue& value) const
{
    if (Source) {
        value = Source->GetValue();
        return true;
    }
    if (HasConstant) {
        value = Constant;
        return true;
    }
    return false;
}

TSntValue TSountoryOutputTarget::GetDefaultValue() const
{
    if (HasConstant)
        return Constant;
    int code = static_cast<int>(GetTargetDomType());
    return TSntValue(0, code >= 15 ? ValueType::Factor : static_cast<ValueType>(code));
}

TSntValue TSountoryOutputTarget::GetSourceValue() const
{
    TSntValue v = GetValue();
    if (v.valueType == ValueType::Time && GetTargetDomType() == ValueDomType::Frequency)
        return TSntValue(1.0 / v.value, ValueType::Frequency);
    if (v.valueType == ValueType::Frequency && GetTargetDomType() == ValueDomType::Time)
        return TSntValue(1.0 / v.value, ValueType::Time);
    return v;
}

int32_t TSountoryOutputTarget::ShowSourceInList(const TSntList& list) const
{
    for (size_t i = 1; i < list.size(); ++i)
        if (Source != nullptr && list[i].source == Source)
            return static_cast<int32_t>(i);
    return 0;
}

void TSountoryOutputTarget::SetSourceFromList(const TSntList& list, int32_t index)
{
    if (index >= 1 && static_cast<size_t>(index) < list.size())
        SetSource(list[static_cast<size_t>(index)].source);
    else
        ClearSource();
}

int32_t TSountoryOutputTarget::CountSources() const
{
    int32_t count = 0;
    targetFactory->CountCandidateSources(Source, IsWaveTarget(), count);
    return count;
}

void TSountoryOutputTarget::AddUseToSource()
{
    if (TSountoryNodeOutput* output = Source ? Source->AsNodeOutput() : nullptr)
        output->AddUse();
}

void TSountoryOutputTarget::ReleaseUnusedSource()
{
    if (TSountoryNodeOutput* output = Source ? Source->AsNodeOutput() : nullptr)
        output->ReleaseUnused();
}

bool TSountoryOutputTarget::CheckValue(SntStopFlag* stop, std::string& message, bool& reported)
{
    return CheckTargetValue(stop, message, reported);
}

bool TSountoryOutputTarget::CheckSound(const SoundPtr& sound, std::string& message) const
{
    std::string pin = Quoted(GetCheckLabel(), GetCheckName());
    if (!sound) {
        message = pin + " got no Sound.";
        return false;
    }
    if (GetTargetDomain() == ValueDomain::Mono && sound->GetMonoStereo() == 2) {
        message = pin + " must be Mono, but is Stereo.";
        return false;
    }
    if (GetTargetDomain() == ValueDomain::Stereo && sound->GetMonoStereo() == 1) {
        message = pin + " must be Stereo, but is Mono.";
        return false;
    }
    return true;
}

// A zero that 1 / x would turn into infinity on a pin of the other type.
bool TSountoryOutputTarget::CheckConversion(TSntValue v, std::string& message) const
{
    std::string pin = Quoted(GetCheckLabel(), GetCheckName());
    ValueDomType type = GetTargetDomType();
    if (v.valueType == ValueType::Time && v.value == 0 && type == ValueDomType::Frequency) {
        message =
            "Cannot convert " + pin + " from type Time to type Frequency, because time is 0 s.";
        return false;
    }
    if (v.valueType == ValueType::Frequency && v.value == 0 && type == ValueDomType::Time) {
        message = "Cannot convert " + pin +
                  " from type Frequency to type Time, because frequency is 0 hertz.";
        return false;
    }
    return true;
}

// A constant skips the type and domain tests (the values dialog admitted it), but whatever would
// reach the consumer broken is refused: a wave that is not open or of the wrong channel count, a
// place with nothing to place it in, and a zero that 1 / x would turn into infinity.
bool TSountoryOutputTarget::CheckConstant(std::string& message) const
{
    ValueDomType type = GetTargetDomType();
    if (type == ValueDomType::Wave)
        return CheckSound(GetSound(), message);
    if (type == ValueDomType::PlaceInWindow) {
        const TSountoryOutputTarget* reference = GetPlaceReference();
        if (!reference || !reference->GetSound()) {
            message = Quoted(GetCheckLabel(), GetCheckName()) +
                      " cannot place its constant in a Wave, because " + GetPlaceReferenceName() +
                      " got no Sound.";
            return false;
        }
    }
    return CheckConversion(Constant, message);
}

bool TSountoryOutputTarget::CheckArriving(std::string& message) const
{
    ValueDomType type = GetTargetDomType();
    ValueDomain domain = GetTargetDomain();
    if (type == ValueDomType::Wave)
        return CheckSound(GetSound(), message);
    TSntValue v = Source->GetValue();
    if (!CheckConversion(v, message))
        return false;
    std::string pin = Quoted(GetCheckLabel(), GetCheckName());
    if (!IsValueTypeCompatible(v.valueType, type)) {
        message = pin + " with Valuetype \"" + std::string(GetValueTypeName(v.valueType)) +
                  "\" does not fit in Valuetype Domain \"" +
                  std::string(GetValueDomTypeName(type)) + "\".";
        return false;
    }
    if (type == ValueDomType::PlaceInWindow)
        return true;
    if (!IsValueInDomain(v.value, domain)) {
        message = pin + " with Value \"" + unitFactor(v.value, EHNone).ToText() +
                  "\" does not fit in Domain \"" + std::string(GetValueDomainName(domain)) + "\".";
        return false;
    }
    return true;
}

bool TSountoryOutputTarget::CheckTargetValue(SntStopFlag* stop, std::string& message,
                                             bool& reported) const
{
    reported = false;
    if (TSountoryNodeOutput* output = Source ? Source->AsNodeOutput() : nullptr)
        if (!output->EvaluateSource(stop, message))
            return false;
    bool ok = Source ? CheckArriving(message) : (!HasConstant || CheckConstant(message));
    reported = !ok;
    return ok;
}

} // namespace kelvorn
