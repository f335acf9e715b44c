#include "factory/builtins/BuiltinNode.h"

#include "factory/builtins/BuiltinCompute.h"
#include "factory/builtins/ValueFunctions.h"

#include <algorithm>
#include <vector>

namespace kelvorn {

namespace {

constexpr std::string_view operandPrefix = "Operand";

std::string Quoted(const std::string& name)
{
    return "\"" + name + "\"";
}

bool NotExists(const std::string& name, std::string& message)
{
    message = "Input " + Quoted(name) + " does not exists.";
    return false;
}

std::string OperandName(int32_t number)
{
    return "Operand " + std::to_string(number);
}

// The k of a name written exactly "Operand k" (k from 1, no leading zero); 0 for any other.
int64_t OperandNumber(const std::string& name)
{
    constexpr std::string_view head = "Operand ";
    if (name.size() <= head.size() || name.compare(0, head.size(), head) != 0 ||
        name[head.size()] == '0' || name.size() - head.size() > 9)
        return 0;
    int64_t number = 0;
    for (size_t i = head.size(); i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9')
            return 0;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

bool IsOperand(const std::string& name)
{
    return name.compare(0, operandPrefix.size(), operandPrefix) == 0;
}

class TBuiltinNodes final : public TBuiltinNodeMaker
{
public:
    int32_t FindKind(std::string_view identifier) const override
    {
        return FindBuiltinActionName(identifier);
    }
    std::unique_ptr<TSountoryNode> Make(TUnitSountory* factory, std::string name, int32_t kind,
                                        const TSountoryRectangle& rect) const override
    {
        return std::make_unique<TSountoryNodeBuiltin>(factory, std::move(name),
                                                      static_cast<uint8_t>(kind), rect, false);
    }
};

} // namespace

TBuiltinNodeMaker& GetBuiltinNodeMaker()
{
    static TBuiltinNodes maker;
    return maker;
}

TSountoryNodeBuiltin::TSountoryNodeBuiltin(TUnitSountory* factory, std::string name, uint8_t kind,
                                           const TSountoryRectangle& rect, bool createPins)
    : TSountoryNode(std::move(name), factory, rect), SntBuiltinAction(kind)
{
    if (createPins)
        CreatePorts();
}

std::unique_ptr<TXMLComplexElement> TSountoryNodeBuiltin::KindToXml() const
{
    const TBuiltinKind* kind = GetBuiltinKind(SntBuiltinAction);
    auto element = std::make_unique<TXMLComplexElement>("BuiltinNode");
    element->AddText("NameBuiltinAction", kind ? kind->identifier : "");
    return element;
}

bool TSountoryNodeBuiltin::CanAddOperand() const
{
    const TBuiltinKind* kind = GetBuiltinKind(SntBuiltinAction);
    return kind && kind->operands;
}

int32_t TSountoryNodeBuiltin::GetPictureIndex() const
{
    const TBuiltinKind* kind = GetBuiltinKind(SntBuiltinAction);
    return kind ? kind->icon : -1;
}

std::string TSountoryNodeBuiltin::GetDisplayName() const
{
    const TBuiltinKind* kind = GetBuiltinKind(SntBuiltinAction);
    return kind ? kind->displayName : "";
}

int32_t TSountoryNodeBuiltin::GetHelpContext() const
{
    return GetBuiltinKind(SntBuiltinAction) ? GetBuiltinHelpContext(SntBuiltinAction) : -1;
}

bool TSountoryNodeBuiltin::Calculate(SntStopFlag* stop, std::string& message)
{
    if (SntBuiltinAction == BuiltinSwitchWave || SntBuiltinAction == BuiltinSwitchValue)
        return CalculateSwitch(*this, stop, message);
    return TSountoryNode::Calculate(stop, message);
}

bool TSountoryNodeBuiltin::Compute(SntStopFlag* stop, std::string& message)
{
    if (TBuiltinCompute compute = GetBuiltinCompute(SntBuiltinAction))
        return compute(*this, stop, message);
    message =
        "Builtin function " + Quoted(GetDisplayName()) + " cannot be computed by this version.";
    return false;
}

// ---- pins ----

void TSountoryNodeBuiltin::SetBuiltinAction(uint8_t kind)
{
    MarkOldPins();
    SntBuiltinAction = kind;
    CreatePorts();
    MergeOldPins();
}

void TSountoryNodeBuiltin::CreatePorts()
{
    const TBuiltinKind* kind = GetBuiltinKind(SntBuiltinAction);
    if (!kind)
        return;
    for (const TBuiltinPin& pin : kind->inputs)
        AddInput(pin.name, unitFactorPosMax1(pin.height, EHPerc), true, pin.type, pin.domain);
    for (const TBuiltinPin& pin : kind->outputs)
        AddOutput(pin.name, unitFactorPosMax1(pin.height, EHPerc), true, pin.type, pin.domain);
}

TSountoryNodeInput* TSountoryNodeBuiltin::AddOperand()
{
    const int32_t n = CountInputs();
    // The n inputs stood at (k - 0.5) / n; squeezed by n / (n + 1) they stand at (k - 0.5) /
    // (n + 1), and the new one takes the last of those places.
    for (const auto& in : Inputs()) {
        unitFactorPosMax1 height = in->Height;
        height.SetValue(height.GetValue() * (1.0 / (n + 1)) / (1.0 / n));
        in->SetHeight(height);
    }
    // A file may have left the node without "Operand 1": the kind's own operands give the type.
    ValueDomType type = ValueDomType::AllComputable;
    ValueDomain domain = ValueDomain::AllValues;
    if (const TSountoryNodeInput* first = FindInputByName(OperandName(1))) {
        type = first->GetValueDomType();
        domain = first->GetValueDomain();
    } else if (const TBuiltinKind* kind = GetBuiltinKind(SntBuiltinAction)) {
        for (const TBuiltinPin& pin : kind->inputs)
            if (pin.name == OperandName(1)) {
                type = pin.type;
                domain = pin.domain;
                break;
            }
    }
    return AddInput(OperandName(n + 1), unitFactorPosMax1(1 - 0.5 / (n + 1), EHPerc), true, type,
                    domain);
}

void TSountoryNodeBuiltin::RenumberOperands()
{
    int32_t counter = 1;
    for (const auto& in : Inputs())
        in->SetName(OperandName(counter++));
}

// ---- the input check ----

bool TSountoryNodeBuiltin::CheckInputs(std::string& message)
{
    // Kinds 72 and 73 take the sample frequency from "Wave" or from "Sample Freq": their own
    // rule asks for one of the two.
    bool waveOptional =
        SntBuiltinAction == BuiltinPosToTimeAtWave || SntBuiltinAction == BuiltinTimeToPosAtWave;
    if (!waveOptional && FindInputByName("Wave") && !CheckMandatory("Wave", message))
        return false;
    const TBuiltinKind* kind = GetBuiltinKind(SntBuiltinAction);
    if (!kind)
        return true;
    for (const TBuiltinRule& rule : kind->rules)
        if (!CheckRule(rule, message))
            return false;
    return true;
}

bool TSountoryNodeBuiltin::CheckRule(const TBuiltinRule& rule, std::string& message) const
{
    switch (rule.kind) {
    case TBuiltinRuleKind::Mandatory:
        return CheckMandatory(rule.a, message);
    case TBuiltinRuleKind::ExactlyOneOf2:
        return CheckExactlyOneOf2(rule.a, rule.b, message);
    case TBuiltinRuleKind::AtMostOneOf2:
        return CheckAtMostOneOf2(rule.a, rule.b, message);
    case TBuiltinRuleKind::ExactlyOneOf3:
        return CheckExactlyOneOf3(rule.a, rule.b, rule.c, message);
    case TBuiltinRuleKind::OperandsMandatory:
        return CheckOperandsMandatory(message);
    }
    return true;
}

bool TSountoryNodeBuiltin::CheckMandatory(const std::string& name, std::string& message) const
{
    const TSountoryNodeInput* input = FindInputByName(name);
    if (!input)
        return NotExists(name, message);
    if (input->HasValue())
        return true;
    message = "Input " + Quoted(name) + " is mandatory.";
    return false;
}

namespace {

// How many of the named inputs are used; false naming the first that does not exist.
bool CountUsed(const TSountoryNode& node, std::initializer_list<const std::string*> names,
               int32_t& used, std::string& message)
{
    std::vector<const TSountoryNodeInput*> inputs;
    for (const std::string* name : names) {
        const TSountoryNodeInput* input = node.FindInputByName(*name);
        if (!input)
            return NotExists(*name, message);
        inputs.push_back(input);
    }
    used = static_cast<int32_t>(
        std::count_if(inputs.begin(), inputs.end(), [](const auto* in) { return in->HasValue(); }));
    return true;
}

} // namespace

bool TSountoryNodeBuiltin::CheckExactlyOneOf2(const std::string& a, const std::string& b,
                                              std::string& message) const
{
    int32_t used = 0;
    if (!CountUsed(*this, {&a, &b}, used, message))
        return false;
    if (used == 1)
        return true;
    message = "You must use exacly one of the Inputs " + Quoted(a) + " or " + Quoted(b) + ".";
    return false;
}

bool TSountoryNodeBuiltin::CheckAtMostOneOf2(const std::string& a, const std::string& b,
                                             std::string& message) const
{
    int32_t used = 0;
    if (!CountUsed(*this, {&a, &b}, used, message))
        return false;
    if (used <= 1)
        return true;
    message = "You must use at most one of the Inputs " + Quoted(a) + " or " + Quoted(b) + ".";
    return false;
}

bool TSountoryNodeBuiltin::CheckExactlyOneOf3(const std::string& a, const std::string& b,
                                              const std::string& c, std::string& message) const
{
    int32_t used = 0;
    if (!CountUsed(*this, {&a, &b, &c}, used, message))
        return false;
    if (used == 1)
        return true;
    message = "You must use exacly one of the Inputs " + Quoted(a) + ", " + Quoted(b) + " or " +
              Quoted(c) + ".";
    return false;
}

// The computations gather the operands by their numbers, so a gap, a number beyond the count or
// a single operand would leave them reading what is not there.
bool TSountoryNodeBuiltin::CheckOperandsMandatory(std::string& message) const
{
    int64_t count = 0;
    for (const auto& in : Inputs())
        count += IsOperand(in->Name) ? 1 : 0;
    const int64_t needed = std::max<int64_t>(count, 2);
    std::vector<bool> present(static_cast<size_t>(needed) + 1, false);
    for (const auto& in : Inputs()) {
        int64_t number = OperandNumber(in->Name);
        if (number >= 1 && number <= needed)
            present[static_cast<size_t>(number)] = true;
    }
    for (int64_t number = 1; number <= needed; ++number)
        if (!present[static_cast<size_t>(number)])
            return NotExists(OperandName(static_cast<int32_t>(number)), message);
    for (const auto& in : Inputs())
        if (IsOperand(in->Name) && !in->HasValue()) {
            message = "Input " + Quoted(in->Name) + " is mandatory.";
            return false;
        }
    return true;
}

} // namespace kelvorn
