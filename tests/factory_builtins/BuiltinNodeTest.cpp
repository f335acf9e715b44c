// A builtin node's operands and a change of its function.
#include "factory_builtins/BuiltinKit.h"

namespace kelvorn::test {
namespace {

using Heights = std::vector<double>;

Heights HeightsOf(const TSountoryNode& node)
{
    Heights heights;
    for (const auto& in : node.Inputs())
        heights.push_back(in->GetHeightValue());
    return heights;
}

void ExpectHeights(const TSountoryNode& node, const Heights& expected)
{
    Heights heights = HeightsOf(node);
    ASSERT_EQ(heights.size(), expected.size());
    for (size_t i = 0; i < heights.size(); ++i)
        EXPECT_NEAR(heights[i], expected[i], 1e-15) << i;
}

struct Operands : FileFixture
{
};

TEST_F(Operands, AddedOperandsStandEvenlyAndTakeTheFirstOperandsType)
{
    TSountoryNodeBuiltin* plus = Builtin(BuiltinPlus, "P");
    TSountoryNodeInput* third = plus->AddOperand();
    ExpectHeights(*plus, {1.0 / 6, 0.5, 5.0 / 6});
    EXPECT_EQ(third->Name, "Operand 3");
    EXPECT_TRUE(third->Fixed);
    EXPECT_EQ(third->Height.GetUnit(), EHPerc);
    EXPECT_EQ(third->GetValueDomType(), ValueDomType::AllComputable);
    EXPECT_EQ(third->GetValueDomain(), ValueDomain::AllValues);
    EXPECT_EQ(plus->AddOperand()->Name, "Operand 4");
    ExpectHeights(*plus, {0.125, 0.375, 0.625, 0.875});

    struct Case
    {
        SntBuiltinAction kind;
        ValueDomType type;
        ValueDomain domain;
    };
    for (Case c :
         {Case{BuiltinMinimum, ValueDomType::AllValue, ValueDomain::AllValues},
          Case{BuiltinLogMeanValue, ValueDomType::AllComputable, ValueDomain::PositiveNotZero},
          Case{BuiltinAnd, ValueDomType::Boolean, ValueDomain::AllValues}}) {
        TSountoryNodeInput* added = Builtin(c.kind, "K")->AddOperand();
        EXPECT_EQ(added->GetValueDomType(), c.type) << int(c.kind);
        EXPECT_EQ(added->GetValueDomain(), c.domain) << int(c.kind);
    }
    // "Operand 1" changed by the pin dialog is what a new operand copies.
    TSountoryNodeBuiltin* mean = Builtin(BuiltinMeanValue, "M");
    mean->DeleteInput(mean->FindInputByName("Operand 1"));
    NodeIn(mean, "Operand 1", ValueDomType::Time, ValueDomain::Positive);
    EXPECT_EQ(mean->AddOperand()->GetValueDomType(), ValueDomType::Time);
}

TEST_F(Operands, WithoutOperandOneTheKindsOwnOperandsGiveTheType)
{
    // As a file may leave it: no "Operand 1". A divisor is not zero, a dividend may be.
    auto* node = factory.CreateNode<TSountoryNodeBuiltin>("D", uint8_t(BuiltinDivide),
                                                          TSountoryRectangle{0, 0, 50, 50}, false);
    NodeIn(node, "Operand 2", ValueDomType::Factor, ValueDomain::NotZero);
    TSountoryNodeInput* added = node->AddOperand();
    EXPECT_EQ(added->Name, "Operand 2");
    EXPECT_EQ(added->GetValueDomType(), ValueDomType::AllComputable);
    EXPECT_EQ(added->GetValueDomain(), ValueDomain::AllValues);
    ExpectHeights(*node, {0.25, 0.75});
}

TEST_F(Operands, RenumberingKeepsPlacesAndWiring)
{
    TSountoryNodeBuiltin* plus = Builtin(BuiltinPlus, "P");
    plus->AddOperand();
    TSountoryInput* source = In("X", ValueDomType::Factor);
    plus->FindInputByName("Operand 3")->SetSource(source);
    plus->DeleteInput(plus->FindInputByName("Operand 1"));
    plus->RenumberOperands();
    EXPECT_EQ(NamesOf(plus->Inputs()), (std::vector<std::string>{"Operand 1", "Operand 2"}));
    ExpectHeights(*plus, {0.5, 5.0 / 6});
    EXPECT_EQ(plus->FindInputByName("Operand 2")->GetSource(), source);
}

TEST_F(Operands, ChangingTheFunctionKeepsThePinsThatStillFit)
{
    for (SntBuiltinAction to : {BuiltinMinus, BuiltinMultiply}) {
        TSountoryNodeBuiltin* plus = Builtin(BuiltinPlus, "P");
        TSountoryNodeBuiltin* consumer = Builtin(BuiltinSine, "S");
        plus->AddOperand();
        TSountoryInput* a = In("A", ValueDomType::Factor);
        TSountoryNodeInput* first = plus->FindInputByName("Operand 1");
        TSountoryNodeInput* second = plus->FindInputByName("Operand 2");
        TSountoryNodeOutput* expression = plus->FindOutputByName("Expression");
        first->SetSource(a);
        second->SetConstantValue(TSntValue(2, ValueType::Integer), EHNone);
        plus->FindInputByName("Operand 3")->SetSource(a);
        consumer->FindInputByName("Factor")->SetSource(expression);

        plus->SetBuiltinAction(to);
        EXPECT_EQ(plus->GetDisplayName(), to == BuiltinMinus ? "Minus" : "Multiply");
        EXPECT_EQ(NamesOf(plus->Inputs()), (std::vector<std::string>{"Operand 1", "Operand 2"}));
        EXPECT_EQ(plus->Inputs()[0].get(), first);
        EXPECT_EQ(plus->Inputs()[1].get(), second);
        EXPECT_EQ(first->GetSource(), a);
        EXPECT_TRUE(second->GetHasConstant());
        EXPECT_EQ(second->GetConstant().value, 2);
        ExpectHeights(*plus, {0.25, 0.75});
        EXPECT_EQ(plus->FindOutputByName("Expression"), expression);
        EXPECT_EQ(consumer->FindInputByName("Factor")->GetSource(), expression);
        EXPECT_EQ(plus->CanAddOperand(), to == BuiltinMultiply);
        EXPECT_EQ(plus->GetPictureIndex(), GetBuiltinKind(to)->icon);
    }
    // Nothing fits between a wave function and a value function: every pin is new.
    TSountoryNodeBuiltin* volume = Builtin(BuiltinVolume, "V");
    TSountoryNodeOutput* result = volume->FindOutputByName("Result");
    TSountoryOutput* out = Out("Out", ValueDomType::Wave);
    out->SetSource(result);
    volume->SetBuiltinAction(BuiltinPlus);
    EXPECT_EQ(NamesOf(volume->Outputs()), (std::vector<std::string>{"Expression"}));
    EXPECT_EQ(out->GetSource(), nullptr);
}

} // namespace
} // namespace kelvorn::test
