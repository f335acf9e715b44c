#pragma once
// The two ends of a connection. A source (factory input, node output) holds the value or the
// sound that flows out of it during a run; a target (factory output, node input) is fed by one
// source or holds a constant, and checks every value that arrives before its consumer reads it.
// A target points at its source without owning it; a source that dies disconnects its targets.

#include "factory/core/SntValue.h"
#include "factory/core/Touchable.h"
#include "sound/Sound.h"

#include <string>
#include <vector>

namespace kelvorn {

class TUnitSountory;
class TSountoryNode;
class TSountoryNodeOutput;
class TSountoryNodeInput;

class TSountoryInputSource;
class TSountoryOutputTarget;

/// One line of a connection list of the pin dialog, with its source or target.
struct TSntListEntry
{
    std::string text;
    TSountoryInputSource* source = nullptr;
    TSountoryOutputTarget* target = nullptr;
};
using TSntList = std::vector<TSntListEntry>;

/// The flag a run's sound operations poll; set, it ends the run.
using SntStopFlag = AbortFlag;

/// What a run that its stop flag ended reports: "Stopped by user." for the user's stop
/// (AbortByUser), else "There is not enough memmory for this operation.", since the failure
/// flag is what sample memory that cannot be had sets (its box has been shown then). A null
/// flag carries no user's stop.
std::string StopFlagReason(const SntStopFlag* stop);

class TSountoryInputSource
{
public:
    explicit TSountoryInputSource(TUnitSountory* factory) : sourceFactory(factory) {}
    virtual ~TSountoryInputSource();
    TSountoryInputSource(const TSountoryInputSource&) = delete;
    TSountoryInputSource& operator=(const TSountoryInputSource&) = delete;

    virtual PixelPoint GetSourcePoint() const = 0;
    virtual uint8_t GetSntSountorySourceKind() const = 0;
    /// How connection texts name the source: the input's name, or node name "." pin name.
    virtual std::string GetSourceName() const = 0;
    virtual ValueDomType GetSourceDomType() const = 0;
    virtual ValueDomain GetSourceDomain() const = 0;
    /// The node output behind this source, or null for a factory input.
    virtual TSountoryNodeOutput* AsNodeOutput() { return nullptr; }
    /// The node that owns the source, or null for a factory input.
    virtual const TSountoryNode* GetSourceNode() const { return nullptr; }

    TSntValue GetValue() const { return Value; }
    void SetValue(TSntValue value) { Value = value; }
    /// Binds a sound and keeps its length and format.
    void SetSound(SoundPtr sound);
    const SoundPtr& GetSound() const { return Sound; }
    /// False without a bound sound; else its format and length, which stay when the run lets
    /// go of the sound at its end (DropSound).
    bool GetWave(TWaveFileProps& props, int32_t& length) const;
    /// Every target fed by this source forgets it.
    void DisconnectAll();
    /// Selects the line of every target this source feeds, or line 0 when it feeds none.
    void ShowTargetsInList(const TSntList& list, std::vector<bool>& selected) const;
    /// Joins the targets of the selected lines (asking where values never match) and parts
    /// the others.
    void SetTargetsFromList(const TSntList& list, const std::vector<bool>& selected);
    /// Counts the targets of the same wave-ness: fed by this source, and the others.
    void CountTargets(int32_t& connected, int32_t& others) const;

    TUnitSountory* GetSourceFactory() const { return sourceFactory; }
    bool IsWaveSource() const { return GetSourceDomType() == ValueDomType::Wave; }
    /// Lets go of the bound sound; its length and format stay for the hints.
    void DropSound() { Sound.reset(); }
    /// Lets go of the bound sound and forgets its format (an intermediate wave used up).
    void FreeSound() { SetSound(nullptr); }

private:
    TUnitSountory* sourceFactory;
    TSntValue Value;
    SoundPtr Sound;
    int32_t SoundLength = 0;
    bool waveKnown = false;
    TWaveFileProps WaveProps{1, 1, 1};
};

class TSountoryOutputTarget
{
public:
    explicit TSountoryOutputTarget(TUnitSountory* factory) : targetFactory(factory) {}
    virtual ~TSountoryOutputTarget() = default;
    TSountoryOutputTarget(const TSountoryOutputTarget&) = delete;
    TSountoryOutputTarget& operator=(const TSountoryOutputTarget&) = delete;

    /// Connects without asking; a constant is dropped.
    virtual void SetSource(TSountoryInputSource* source);
    /// Connects after the matching test: a source whose values never match asks the user first.
    /// True when connected.
    virtual bool ConnectTo(TSountoryInputSource* source);
    virtual PixelPoint GetTargetPoint() const = 0;
    virtual uint8_t GetSntSountoryTargetKind() const = 0;
    /// Pulls the arriving value (a node output calculates first) and checks it. reported tells
    /// whether the message is this target's own, to which the caller puts its location.
    virtual bool CheckValue(SntStopFlag* stop, std::string& message, bool& reported);
    /// The sound arriving: a constant's open wave, or the source's bound sound; else null.
    virtual SoundPtr GetSound() const;
    virtual bool HasValue() const { return Source != nullptr || HasConstant; }
    /// The arriving value; a constant on a place pin is scaled to samples of its reference.
    virtual TSntValue GetValue() const;

    /// The name the checks and connection texts use ("Output", pin name; "Node Input", ...).
    virtual std::string GetTargetName() const = 0;
    virtual std::string GetCheckName() const = 0;
    virtual const char* GetCheckLabel() const = 0;
    virtual ValueDomType GetTargetDomType() const = 0;
    virtual ValueDomain GetTargetDomain() const = 0;
    virtual const TSountoryNode* GetTargetNode() const { return nullptr; }
    /// The node input behind this target, or null for a factory output.
    virtual TSountoryNodeInput* AsNodeInput() { return nullptr; }
    /// The pin whose sound a place constant is a fraction of ("Result" or the node's "Wave").
    virtual const TSountoryOutputTarget* GetPlaceReference() const = 0;
    virtual std::string GetPlaceReferenceName() const = 0;

    TSountoryInputSource* GetSource() const { return Source; }
    void ClearSource() { Source = nullptr; }
    void SetConstantValue(TSntValue value, MeasureUnitKind unitKind);
    void SetConstantSound(const std::string& name);
    void ClearConstant() { HasConstant = false; }
    bool GetHasConstant() const { return HasConstant; }
    TSntValue GetConstant() const { return Constant; }
    MeasureUnitKind GetConstantUnitKind() const { return ConstantUnitKind; }
    const std::string& GetConstantSoundName() const { return ConstantSoundName; }
    /// False without a source or when the source has no bound sound.
    bool GetSourceWave(TWaveFileProps& props, int32_t& length) const;
    /// Whether the editor may join the source to this target: not a node to itself, and both
    /// ends Wave or neither.
    bool CanConnect(const TSountoryInputSource* source) const;
    /// The source's value or the constant, unscaled; false when there is neither.
    bool TryGetValue(TSntValue& value) const;
    /// The constant, or a zero of the pin's type (Factor for a group type).
    TSntValue GetDefaultValue() const;
    /// GetValue as the consumer reads it: a Time at a Frequency pin as 1 / v, and back.
    TSntValue GetSourceValue() const;
    /// The line of the list whose source is this target's source; 0 when there is none.
    int32_t ShowSourceInList(const TSntList& list) const;
    /// The source of the chosen line; line 0, or none chosen (-1), means no source.
    void SetSourceFromList(const TSntList& list, int32_t index);
    /// Counts the sources of the same wave-ness that could feed this target.
    int32_t CountSources() const;

    // ---- use counting of a run ----
    /// A node-output source gets one more use, and its node is prepared.
    void AddUseToSource();
    /// A node-output source that will not be read releases one use and its node's inputs.
    void ReleaseUnusedSource();

    bool IsWaveTarget() const { return GetTargetDomType() == ValueDomType::Wave; }
    TUnitSountory* GetTargetFactory() const { return targetFactory; }

protected:
    /// The checks of a value arriving at a pin of type T and domain D.
    bool CheckTargetValue(SntStopFlag* stop, std::string& message, bool& reported) const;

private:
    bool CheckConstant(std::string& message) const;
    bool CheckArriving(std::string& message) const;
    bool CheckConversion(TSntValue v, std::string& message) const;
    bool CheckSound(const SoundPtr& sound, std::string& message) const;

    TUnitSountory* targetFactory;
    TSountoryInputSource* Source = nullptr;
    bool HasConstant = false;
    TSntValue Constant;
    MeasureUnitKind ConstantUnitKind = EHNone;
    std::string ConstantSoundName;
};

/// The line of the list at index 1 or more whose target is the given one; -1 when none.
int32_t FindTargetLine(const TSntList& list, const TSountoryOutputTarget& target);
/// When the target is fed by the source, selects its line; true when it is fed by it.
bool SelectTargetLine(const TSntList& list, std::vector<bool>& selected,
                      const TSountoryOutputTarget& target, const TSountoryInputSource* source);
/// Parts a target fed by the source whose line is missing or unselected, and joins one whose
/// line is selected (with the question where values never match).
void ApplyTargetLine(const TSntList& list, const std::vector<bool>& selected,
                     TSountoryOutputTarget& target, TSountoryInputSource* source);

} // namespace kelvorn
