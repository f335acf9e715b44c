#pragma once
// Nodes that run another open factory: the user node runs it once like a subroutine, its pins
// mirroring that factory's inputs and outputs; the repeat node runs a loop-and-mix factory Count
// times and mixes each turn's sample into a copy of its wave. Each validation finds the factory
// by name again and links the node's pins to its pins; a link never outlives that validation's
// success, so a pin deleted from the other factory is never written through.

#include "factory/core/UnitSountory.h"

namespace kelvorn {

/// What both kinds share: the name of the factory they run, the lookup, the links of the inputs
/// and the recursion check.
class TSountoryNodeReference : public TSountoryNode
{
public:
    TSountoryNodeReference(TUnitSountory* factory, std::string name, std::string nameFactory,
                           const TSountoryRectangle& rect);

    bool CanAddOperand() const override { return false; }
    std::string GetDisplayName() const override { return NameFactory; }
    bool CheckInputs(std::string& message) override;
    bool CheckRecursion(uint32_t stamp, std::string& message) override;
    TUnitSountory* GetDefinition() const override { return SountoryDef; }

    std::string NameFactory;

protected:
    /// Forgets every link, then looks the factory up; on failure SountoryDef stays null.
    bool FindDefinition(std::string& message);
    /// Links each input of the factory (but "Counter" for a repeat node) to the node input of
    /// its name and refuses a node input nothing links.
    bool LinkInputs(std::string& message);
    /// The node's pins made again from the factory's inputs, but "Counter" for a repeat node.
    void InputsFromDefinition(const TUnitSountory& definition);
    /// Each linked node input's value or sound goes to its factory input.
    void HandIn();
    /// The definition check with its prefix.
    bool CheckDefinitionWith(bool ok, std::string& message);
    /// Fails the synchronisation: no link and no factory stay behind.
    bool Fail(std::string& message, const std::string& text);
    void ForgetLinks();
    /// False, saying so, when no validation has found the factory.
    bool CheckLinked(std::string& message) const;

    TUnitSountory* SountoryDef = nullptr;
    int32_t recursionDepth = 0;
};

class TSountoryNodeUser : public TSountoryNodeReference
{
public:
    TSountoryNodeUser(TUnitSountory* factory, std::string name, std::string nameFactory,
                      const TSountoryRectangle& rect);

    uint8_t GetSntNodeKind() const override { return sntNodeUser; }
    int32_t GetPictureIndex() const override { return 141; }
    std::unique_ptr<TXMLComplexElement> KindToXml() const override;
    bool CheckDefinition(std::string& message) override;
    bool Compute(SntStopFlag* stop, std::string& message) override;
    bool SyncWithDefinition(std::string& message) override;
    void PinsFromDefinition(const TUnitSountory& definition);
};

class TSountoryNodeLoop : public TSountoryNodeReference
{
public:
    TSountoryNodeLoop(TUnitSountory* factory, std::string name, std::string nameFactory,
                      const TSountoryRectangle& rect, bool createPins);

    uint8_t GetSntNodeKind() const override { return sntNodeLoop; }
    int32_t GetPictureIndex() const override { return 142; }
    std::unique_ptr<TXMLComplexElement> KindToXml() const override;
    bool CheckDefinition(std::string& message) override;
    bool Compute(SntStopFlag* stop, std::string& message) override;
    bool SyncWithDefinition(std::string& message) override;
    void PinsFromDefinition(const TUnitSountory& definition);
    /// The fixed pins "Wave", "Count" (when missing) and "Result".
    void CreateLoopPorts();

private:
    bool RunTurns(SntStopFlag* stop, std::string& message, Sound& result, int64_t count);
};

} // namespace kelvorn
