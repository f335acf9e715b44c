// The switches pull only the branch they choose: the other gives back its uses, and a failure
// on the way carries the switch's name once.
#include "factory_builtins/ComputeKit.h"

namespace kelvorn::test {
namespace {

// A factory whose output "Result" takes a SwitchWave's "Chosen"; "Flag" holds the switch.
struct Switches : FileFixture
{
    LiveSounds live;
    TSountoryInput* flag = In("Flag", ValueDomType::Boolean);
    TSountoryNodeBuiltin* sw = Builtin(BuiltinSwitchWave, "SW");
    TSountoryOutput* result = Out("Result", ValueDomType::Wave);

    Switches()
    {
        sw->FindInputByName("Switch")->SetSource(flag);
        result->SetSource(sw->FindOutputByName("Chosen"));
    }
    /// A node making a sound on its output "Out", fed by the output of from when given.
    TTestNode* Maker(const std::string& name, TTestNode* from = nullptr)
    {
        TTestNode* node = Node(name);
        if (from)
            NodeIn(node, "In", ValueDomType::Wave)->SetSource(from->Outputs()[0].get());
        NodeOut(node, "Out", ValueDomType::Wave);
        MakesSound(node, live);
        return node;
    }
    void Branch(const char* input, TTestNode* node)
    {
        sw->FindInputByName(input)->SetSource(node->Outputs()[0].get());
    }
    bool Run(double condition)
    {
        flag->SetValue(TSntValue(condition, ValueType::Boolean));
        stop = 0;
        return factory.RunFactory(message, &stop);
    }
    SntStopFlag stop = 0;
};

TEST_F(Switches, TheBranchNotTakenIsNotComputedAndGivesBackItsUses)
{
    TTestNode* up = Maker("Up");
    TTestNode* whenTrue = Maker("T", up);
    TTestNode* whenFalse = Maker("F");
    Branch("When True", whenTrue);
    Branch("When False", whenFalse);
    // A second consumer pulls the switch again: it answers without computing twice.
    Out("Again", ValueDomType::Wave)->SetSource(sw->FindOutputByName("Chosen"));
    ASSERT_TRUE(Run(0)) << message;
    EXPECT_EQ(std::count(host.progress.begin(), host.progress.end(), "SW:1"), 1);
    EXPECT_EQ(whenTrue->computeCalls, 0);
    EXPECT_EQ(up->computeCalls, 0);
    EXPECT_EQ(whenFalse->computeCalls, 1);
    EXPECT_EQ(whenTrue->Outputs()[0]->GetUseCount(), 0);
    EXPECT_EQ(up->Outputs()[0]->GetUseCount(), 0);
    EXPECT_EQ(whenTrue->GetRunState(), sntRunIdle);
    // The chosen sound is handed on as it is, kept by its maker.
    EXPECT_EQ(result->GetSound(), whenFalse->Outputs()[0]->GetSound());
    EXPECT_NE(result->GetSound(), nullptr);
    EXPECT_EQ(sw->GetRunState(), sntRunDone);
    EXPECT_TRUE(sw->IsCalculated());

    ASSERT_TRUE(Run(-0.5)) << message;
    EXPECT_EQ(whenTrue->computeCalls, 1);
    EXPECT_EQ(up->computeCalls, 1);
    EXPECT_EQ(whenFalse->computeCalls, 1);
    EXPECT_EQ(result->GetSound(), whenTrue->Outputs()[0]->GetSound());
    // Up's sound went once T had computed; T's stays for the result.
    EXPECT_EQ(up->Outputs()[0]->GetSound(), nullptr);
}

TEST_F(Switches, SoundsSharedWithAnotherConsumerSurvive)
{
    TTestNode* chosen = Maker("F");
    TTestNode* notTaken = Maker("T");
    Branch("When False", chosen);
    Branch("When True", notTaken);
    // Both branches feed a second consumer too, computed after the switch.
    std::vector<bool> seen;
    for (TTestNode* shared : {chosen, notTaken}) {
        TTestNode* consumer = Node("C" + shared->Name);
        NodeIn(consumer, "In", ValueDomType::Wave)->SetSource(shared->Outputs()[0].get());
        NodeOut(consumer, "Out", ValueDomType::Factor);
        consumer->compute = [&seen](TTestNode& n, std::string&) {
            seen.push_back(n.Inputs()[0]->GetSound() != nullptr);
            return true;
        };
        Out("Out " + shared->Name, ValueDomType::Factor)->SetSource(consumer->Outputs()[0].get());
    }
    ASSERT_TRUE(Run(0)) << message;
    EXPECT_EQ(seen, (std::vector<bool>{true, true}));
    EXPECT_EQ(chosen->computeCalls, 1);
    EXPECT_EQ(notTaken->computeCalls, 1);
    EXPECT_NE(result->GetSound(), nullptr);
    // The branch not taken was freed by its last consumer; the chosen one is kept.
    EXPECT_EQ(notTaken->Outputs()[0]->GetSound(), nullptr);
    EXPECT_EQ(live.alive, 1);
}

TEST_F(Switches, FailuresCarryTheSwitchsNameOnce)
{
    TTestNode* whenTrue = Maker("T");
    TTestNode* whenFalse = Maker("F");
    Branch("When True", whenTrue);
    Branch("When False", whenFalse);
    // A "Switch" of the wrong type fails at the switch, before either branch.
    TTestNode* condition = Node("Cond");
    NodeOut(condition, "Out", ValueDomType::AllValue)->SetValue(TSntValue(1, ValueType::Factor));
    sw->FindInputByName("Switch")->SetSource(condition->Outputs()[0].get());
    EXPECT_FALSE(Run(0));
    EXPECT_EQ(message, "At Node \"SW\": Node Input \"Switch\" with Valuetype \"Factor\" does not "
                       "fit in Valuetype Domain \"Boolean\".");
    EXPECT_EQ(sw->GetRunState(), sntRunFailed);
    EXPECT_EQ(whenTrue->computeCalls + whenFalse->computeCalls, 0);

    // The chosen input's own failure gets the prefix; the branch not taken is still released.
    sw->FindInputByName("Switch")->SetSource(flag);
    whenFalse->compute = [](TTestNode&, std::string&) { return true; };
    EXPECT_FALSE(Run(0));
    EXPECT_EQ(message, "At Node \"SW\": Node Input \"When False\" got no Sound.");
    EXPECT_EQ(whenTrue->Outputs()[0]->GetUseCount(), 0);
    EXPECT_FALSE(sw->IsCalculated());

    // A failure upstream already names its node.
    whenFalse->compute = [](TTestNode&, std::string& m) { return m = "Broken.", false; };
    EXPECT_FALSE(Run(0));
    EXPECT_EQ(message, "At Node \"F\" of Factory \"Fact\": Broken.");
    EXPECT_EQ(sw->GetRunState(), sntRunIdle);

    // A node loaded without one of the kind's pins fails as a computation does.
    const int computed = whenFalse->computeCalls;
    sw->DeleteInput(sw->FindInputByName("When True"));
    EXPECT_FALSE(Run(0));
    EXPECT_EQ(message, "At Node \"SW\" of Factory \"Fact\": Input \"When True\" does not exists.");
    EXPECT_EQ(sw->GetRunState(), sntRunFailed);
    EXPECT_EQ(whenFalse->computeCalls, computed);
}

} // namespace
} // namespace kelvorn::test
