#pragma once
// The builtin node: a factory node that runs one of the 77 builtin functions, chosen by its kind.
// Its pins and input rules come from the catalogue (BuiltinCatalogue.h); its computation is
// looked up by kind (BuiltinCompute.h). A node read from a file has exactly the pins the file
// lists, which may differ from the ones its kind would make.

#include "factory/builtins/BuiltinCatalogue.h"
#include "factory/core/BuiltinNodeMaker.h"
#include "factory/core/UnitSountory.h"

#include <string>

namespace kelvorn {

class TSountoryNodeBuiltin : public TSountoryNode
{
public:
    /// Made through TUnitSountory::CreateNode; the editor asks for the kind's pins, the file
    /// reader makes them from the file.
    TSountoryNodeBuiltin(TUnitSountory* factory, std::string name, uint8_t kind,
                         const TSountoryRectangle& rect, bool createPins);

    uint8_t GetSntNodeKind() const override { return sntNodeBuiltin; }
    std::unique_ptr<TXMLComplexElement> KindToXml() const override;
    bool CanAddOperand() const override;
    std::string GetDisplayName() const override;
    /// The kind's icon in the catalogue, or -1 outside it.
    int32_t GetPictureIndex() const override;
    /// A used "Wave" input (but for kinds 72 and 73, whose rules say), then the kind's rules in
    /// order; the first that fails gives the message.
    bool CheckInputs(std::string& message) override;
    bool CheckDefinition(std::string&) override { return true; }
    /// The node base's, but for the switches, which pull only the branch they take.
    bool Calculate(SntStopFlag* stop, std::string& message) override;
    bool Compute(SntStopFlag* stop, std::string& message) override;

    uint8_t GetBuiltinAction() const { return SntBuiltinAction; }
    /// Runs another function: the pins the new kind shares by name, type and domain stay with
    /// their wiring and constants (taking the new place); every other old pin goes.
    void SetBuiltinAction(uint8_t kind);
    /// Appends the kind's pins in table order; a kind outside the catalogue gets none.
    void CreatePorts() override;
    /// Moves the n inputs up to make room and appends "Operand " n+1 at the bottom, typed like
    /// "Operand 1" (or, without one, like the kind's own operands).
    TSountoryNodeInput* AddOperand() override;
    /// Names the inputs "Operand 1", "Operand 2", ... in list order.
    void RenumberOperands() override;
    /// The page of the kind's function; none for a kind outside the catalogue.
    int32_t GetHelpContext() const override;

    // The rules of the input check; each is true when it holds and otherwise says why.
    bool CheckMandatory(const std::string& name, std::string& message) const;
    bool CheckExactlyOneOf2(const std::string& a, const std::string& b, std::string& message) const;
    bool CheckAtMostOneOf2(const std::string& a, const std::string& b, std::string& message) const;
    bool CheckExactlyOneOf3(const std::string& a, const std::string& b, const std::string& c,
                            std::string& message) const;
    /// The inputs whose names begin with "Operand" are exactly "Operand 1" ... "Operand n" with
    /// n at least 2, and each is used.
    bool CheckOperandsMandatory(std::string& message) const;

private:
    bool CheckRule(const TBuiltinRule& rule, std::string& message) const;

    uint8_t SntBuiltinAction;
};

/// What the factory file makes builtin nodes with; the program installs it as the
/// TBuiltinNodeMaker service.
TBuiltinNodeMaker& GetBuiltinNodeMaker();

} // namespace kelvorn
