#pragma once
// The four pins of a factory graph. Each joins a placement half (its place along a side of the
// factory area or of a node, its declared type and domain) to one connection half: a factory
// input and a node output are sources, a factory output and a node input are targets. The
// owner (factory or node) creates and deletes its pins and keeps them in creation order.

#include "factory/core/SourceTarget.h"
#include "general/values/ValueUnits.h"

#include <string>

namespace kelvorn {

class TUnitSountory;
class TSountoryNode;

/// The declared type and domain and the place along a side, shared by all four pins.
class TSntPinPlace : public TSountoryTouchable
{
public:
    TSntPinPlace(const unitFactorPosMax1& height, bool fixed, ValueDomType type, ValueDomain domain)
        : Height(height), Fixed(fixed), valueDomType(type), valueDomain(domain)
    {
    }

    ValueDomType GetValueDomType() const { return valueDomType; }
    ValueDomain GetValueDomain() const { return valueDomain; }
    void SetValueDomain(ValueDomain domain) { valueDomain = domain; }
    /// A new declared type; the pin's dialog keeps constants and connections fitting it.
    void SetValueDomType(ValueDomType type) { valueDomType = type; }
    bool SameDomain(const TSntPinPlace& other) const
    {
        return valueDomType == other.valueDomType && valueDomain == other.valueDomain;
    }
    void CopyPlacement(const TSntPinPlace& other)
    {
        Fixed = other.Fixed;
        Height = other.Height;
    }
    bool IsComposite() const { return static_cast<int>(valueDomType) >= 15; }
    bool IsWave() const { return valueDomType == ValueDomType::Wave; }
    uint32_t GetColor() const { return GetTypeDomainColor(valueDomType, valueDomain); }
    std::string GetTypeText() const { return GetTypeDomainText(valueDomType, valueDomain); }
    double GetHeightValue() const { return Height.GetValue(); }
    void SetHeight(const unitFactorPosMax1& height) { Height = height; }

    /// The x of the pin's side, where it is drawn and meets its connections.
    int32_t GetX() const
    {
        TSountoryRectangle r = GetSideRect();
        return OnLeftSide() ? r.left : r.right;
    }
    /// The drawn centre's y and the y where connection lines meet the pin.
    int32_t GetY() const;
    int32_t GetConnectionY() const;
    /// Moves the pin to y on its side; above or below the side it stays at the end.
    void SetHeightFromY(int32_t y);
    bool IsTouched(PixelPoint point, double& distance) const override;

    unitFactorPosMax1 Height;
    bool Fixed;
    bool Old = false;

protected:
    /// The side the pin sits on: the factory area, or a node's drawing rectangle.
    virtual TSountoryRectangle GetSideRect() const = 0;
    /// The top and bottom of the side: a node pin keeps clear of the node's corners.
    virtual int32_t SideTop() const = 0;
    virtual int32_t SideBottom() const = 0;
    /// Inputs sit on the left side, outputs on the right.
    virtual bool OnLeftSide() const = 0;
    /// A hit within this many pixels of the symbol's edge counts.
    virtual double HitRadius() const = 0;
    virtual double HitLimit() const = 0;

private:
    ValueDomType valueDomType;
    ValueDomain valueDomain;
};

/// The common part of a factory input or output.
class TSountoryInputOutput : public TSntPinPlace
{
public:
    TSountoryInputOutput(TUnitSountory* owner, const unitFactorPosMax1& height, bool fixed,
                         ValueDomType type, ValueDomain domain)
        : TSntPinPlace(height, fixed, type, domain), owner(owner)
    {
    }
    TUnitSountory* GetOwner() const { return owner; }

    bool CanChangeWaveSubtype = false;

protected:
    TSountoryRectangle GetSideRect() const override;
    int32_t SideTop() const override { return GetSideRect().top; }
    int32_t SideBottom() const override { return GetSideRect().bottom; }
    double HitRadius() const override { return 10; }
    double HitLimit() const override { return 7; }

private:
    TUnitSountory* owner;
};

/// The common part of a node input or output.
class TSountoryNodeInputOutput : public TSntPinPlace
{
public:
    TSountoryNodeInputOutput(TSountoryNode* node, const unitFactorPosMax1& height, bool fixed,
                             ValueDomType type, ValueDomain domain)
        : TSntPinPlace(height, fixed, type, domain), node(node)
    {
    }
    TSountoryNode* GetNode() const { return node; }

protected:
    TSountoryRectangle GetSideRect() const override;
    int32_t SideTop() const override { return GetSideRect().top + 8; }
    int32_t SideBottom() const override { return GetSideRect().bottom - 7; }
    double HitRadius() const override { return 8; }
    double HitLimit() const override { return 6; }

private:
    TSountoryNode* node;
};

class TSountoryInput : public TSountoryInputSource, public TSountoryInputOutput
{
public:
    TSountoryInput(std::string name, TUnitSountory* factory, const unitFactorPosMax1& height,
                   bool fixed, ValueDomType type, ValueDomain domain);

    PixelPoint GetSourcePoint() const override { return {GetX(), GetConnectionY()}; }
    uint8_t GetSntSountorySourceKind() const override { return sntSountoryObjectInput; }
    std::string GetSourceName() const override { return Name; }
    ValueDomType GetSourceDomType() const override { return GetValueDomType(); }
    ValueDomain GetSourceDomain() const override { return GetValueDomain(); }
    uint8_t GetSntSountoryObject() const override { return sntSountoryObjectInput; }
    std::string GetHintText() const override;

    /// One of the inputs a change-wave-window run fills from its window.
    bool IsWaveWindowInput() const;
    void SetGivenValue(TSntValue value, MeasureUnitKind unitKind);
    void SetGivenSound(const std::string& name);
    /// The given value, or a zero of the pin's type (Factor for a group type).
    TSntValue GetGivenValue() const;
    bool CheckWavePosition(std::string& message) const;
    void AddAllToList(TSntList& list, bool wave);

    std::string Name;
    bool Given = false;
    MeasureUnitKind GivenUnitKind = EHNone;
    std::string GivenSoundName;

protected:
    bool OnLeftSide() const override { return true; }
};

class TSountoryOutput : public TSountoryOutputTarget, public TSountoryInputOutput
{
public:
    TSountoryOutput(std::string name, TUnitSountory* factory, const unitFactorPosMax1& height,
                    bool fixed, ValueDomType type, ValueDomain domain);

    PixelPoint GetTargetPoint() const override { return {GetX(), GetConnectionY()}; }
    uint8_t GetSntSountoryTargetKind() const override { return sntSountoryObjectOutput; }
    std::string GetTargetName() const override { return Name; }
    std::string GetCheckName() const override { return Name; }
    const char* GetCheckLabel() const override { return "Output"; }
    ValueDomType GetTargetDomType() const override { return GetValueDomType(); }
    ValueDomain GetTargetDomain() const override { return GetValueDomain(); }
    const TSountoryOutputTarget* GetPlaceReference() const override;
    std::string GetPlaceReferenceName() const override { return "Output \"Result\""; }
    uint8_t GetSntSountoryObject() const override { return sntSountoryObjectOutput; }
    std::string GetHintText() const override;

    bool CheckWavePosition(std::string& message) const;
    void AddAllToList(TSntList& list, bool wave);

    std::string Name;

protected:
    bool OnLeftSide() const override { return false; }
};

class TSountoryNodeInput : public TSountoryNodeInputOutput, public TSountoryOutputTarget
{
public:
    TSountoryNodeInput(std::string name, TSountoryNode* node, const unitFactorPosMax1& height,
                       bool fixed, ValueDomType type, ValueDomain domain);

    PixelPoint GetTargetPoint() const override { return {GetX(), GetConnectionY()}; }
    uint8_t GetSntSountoryTargetKind() const override { return sntSountoryObjectNodeInput; }
    std::string GetTargetName() const override { return GetFullName(); }
    std::string GetCheckName() const override { return Name; }
    const char* GetCheckLabel() const override { return "Node Input"; }
    ValueDomType GetTargetDomType() const override { return GetValueDomType(); }
    ValueDomain GetTargetDomain() const override { return GetValueDomain(); }
    const TSountoryNode* GetTargetNode() const override { return GetNode(); }
    TSountoryNodeInput* AsNodeInput() override { return this; }
    const TSountoryOutputTarget* GetPlaceReference() const override;
    std::string GetPlaceReferenceName() const override { return "Node Input \"Wave\""; }
    uint8_t GetSntSountoryObject() const override { return sntSountoryObjectNodeInput; }
    std::string GetHintText() const override;

    std::string GetFullName() const;
    void SetName(const std::string& name) { Name = name; }
    /// A node-output source loses one use (its sound goes with the last).
    void ReleaseSource();
    /// A node-output source keeps its sound whatever is released later.
    void KeepSourceSound();
    void AddAllToList(TSntList& list, bool wave);

    /// The input of the sub-factory this input feeds (user and repeat nodes).
    TSountoryInput* DefinitionInput = nullptr;
    std::string Name;
    int32_t LoopVisits = 0;

protected:
    bool OnLeftSide() const override { return true; }
};

class TSountoryNodeOutput : public TSountoryNodeInputOutput, public TSountoryInputSource
{
public:
    TSountoryNodeOutput(std::string name, TSountoryNode* node, const unitFactorPosMax1& height,
                        bool fixed, ValueDomType type, ValueDomain domain);

    PixelPoint GetSourcePoint() const override { return {GetX(), GetConnectionY()}; }
    uint8_t GetSntSountorySourceKind() const override { return sntSountoryObjectNodeOutput; }
    std::string GetSourceName() const override { return GetFullName(); }
    ValueDomType GetSourceDomType() const override { return GetValueDomType(); }
    ValueDomain GetSourceDomain() const override { return GetValueDomain(); }
    TSountoryNodeOutput* AsNodeOutput() override { return this; }
    const TSountoryNode* GetSourceNode() const override { return GetNode(); }
    uint8_t GetSntSountoryObject() const override { return sntSountoryObjectNodeOutput; }
    std::string GetHintText() const override;

    std::string GetFullName() const;

    void ClearUseCount() { UseCount = 0; }
    void AddUse();
    void Release();
    void KeepSound() { UseCount = -1; }
    void ReleaseUnused();
    bool EvaluateSource(SntStopFlag* stop, std::string& message);
    int32_t GetUseCount() const { return UseCount; }
    void AddAllToList(TSntList& list, bool wave);

    /// The output of the sub-factory this output takes its value from.
    TSountoryOutput* DefinitionOutput = nullptr;
    std::string Name;

protected:
    bool OnLeftSide() const override { return false; }

private:
    int32_t UseCount = 0;
};

} // namespace kelvorn
