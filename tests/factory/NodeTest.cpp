// A node's pins: lookup by name, counts, and the merge that keeps wiring when pins are made
// again.

#include "factory/FactoryKit.h"

#include <gtest/gtest.h>

namespace kelvorn::test {
namespace {

class Nodes : public ::testing::Test, public FactoryFixture
{
};

TEST_F(Nodes, MergeKeepsMatchingPinsAndDropsTheRest)
{
    TSountoryInput* src = In("Src", ValueDomType::Factor);
    TTestNode* n = Node("N");
    auto add = [&](const char* name, ValueDomType type, ValueDomain domain, double h) {
        return n->AddInput(name, At(h), false, type, domain);
    };
    TSountoryNodeInput* a = add("A", ValueDomType::Factor, ValueDomain::AllValues, 0.1);
    TSountoryNodeInput* b = add("B", ValueDomType::Time, ValueDomain::AllValues, 0.2);
    add("C", ValueDomType::Wave, ValueDomain::AllValues, 0.3);
    add("D", ValueDomType::Factor, ValueDomain::AllValues, 0.4);
    TSountoryNodeInput* f = add("F", ValueDomType::Factor, ValueDomain::Positive, 0.5);
    TSountoryNodeInput* k = add("K", ValueDomType::Time, ValueDomain::Positive, 0.5);
    TSountoryNodeOutput* r = NodeOut(n, "R", ValueDomType::Factor);
    Out("Out", ValueDomType::Factor)->SetSource(r);
    a->SetSource(src);
    b->SetConstantValue({3, ValueType::Time}, EHS);
    f->SetSource(src);
    k->SetConstantValue({2, ValueType::Time}, EHMS);

    n->MarkOldPins();
    add("F", ValueDomType::Factor, ValueDomain::AllValues, 0.6); // other domain: replaced
    add("A", ValueDomType::Factor, ValueDomain::AllValues, 0.9)->Fixed = true;
    add("B", ValueDomType::Frequency, ValueDomain::AllValues, 0.2); // other type: replaced
    add("E", ValueDomType::Factor, ValueDomain::AllValues, 0.7);
    add("K", ValueDomType::Time, ValueDomain::Positive, 0.8);
    n->AddOutput("R", At(0.3), true, ValueDomType::Factor, ValueDomain::AllValues);
    n->MergeOldPins();

    EXPECT_EQ(NamesOf(n->Inputs()), (std::vector<std::string>{"A", "K", "F", "B", "E"}));
    EXPECT_EQ(n->Inputs()[0].get(), a); // kept in place with its wiring, placed anew
    EXPECT_EQ(a->GetSource(), src);
    EXPECT_TRUE(a->Fixed);
    EXPECT_EQ(a->GetHeightValue(), 0.9);
    EXPECT_FALSE(a->Old);
    EXPECT_EQ(n->Inputs()[1].get(), k); // its constant kept
    EXPECT_TRUE(k->GetHasConstant() && k->GetConstant().value == 2);
    EXPECT_EQ(n->Inputs()[2]->GetSource(), nullptr);
    EXPECT_FALSE(n->Inputs()[3]->GetHasConstant());
    ASSERT_EQ(n->CountOutputs(), 1);
    EXPECT_EQ(n->Outputs()[0].get(), r);
    EXPECT_EQ(factory.FindOutput("Out")->GetSource(), r);
    EXPECT_EQ(r->GetHeightValue(), 0.3);
}

TEST_F(Nodes, LookupIsExactAndTakesTheFirst)
{
    TTestNode* n = Node("N");
    TSountoryNodeInput* first = NodeIn(n, "Wave", ValueDomType::Wave);
    TSountoryNodeInput* second = NodeIn(n, "Wave", ValueDomType::AllComputable);
    EXPECT_EQ(n->FindInputByName("Wave"), first);
    EXPECT_EQ(n->FindInputByName("Wave", first), second);
    EXPECT_EQ(n->FindInputByName("wave"), nullptr);
    EXPECT_EQ(n->CountTypeChoiceInputs(), 1);
}

} // namespace
} // namespace kelvorn::test
