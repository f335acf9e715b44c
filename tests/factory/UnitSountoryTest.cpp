// The factory document: a new one, the templates, kind changes and fitting to a node, which make
// the predefined pins again and keep the user's wiring where it still fits.

#include "factory/FactoryKit.h"
#include "platform/test/RecordingMessages.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kelvorn::test {
namespace {

/// "name height type/domain", then " fixed" and " subtype" where set.
template <class List> std::vector<std::string> Describe(const List& pins)
{
    std::vector<std::string> out;
    for (const auto& p : pins) {
        std::ostringstream s;
        s << p->Name << " " << p->GetHeightValue() << " " << int(p->GetValueDomType()) << "/"
          << int(p->GetValueDomain()) << (p->Fixed ? " fixed" : "")
          << (p->CanChangeWaveSubtype ? " subtype" : "");
        out.push_back(s.str());
    }
    return out;
}

using Texts = std::vector<std::string>;

const Texts changeInputs = {"Wave 0.1 14/0 fixed subtype", "Select Begin 0.4 9/8 fixed",
                            "Select End 0.5 9/8 fixed", "Replace Begin 0.8 9/8 fixed",
                            "Replace End 0.9 9/8 fixed"};
const Texts windowOutputs = {"Result 0.5 14/0 fixed subtype", "Position Begin 0.7 9/8 fixed",
                             "Position End 0.8 9/8 fixed"};
const Texts loopOutputs = {"Sample 0.1 14/0 fixed", "Volume 0.3 0/0 fixed",
                           "Position in Sample 0.5 0/6 fixed", "Position in Result 0.7 0/6 fixed"};

class Factory : public ::testing::Test, public FactoryFixture
{
protected:
    /// A node of another factory to fit to: inputs "Wave" and "Gain", output "Out".
    TTestNode* NodeToFit(uint8_t kind)
    {
        TTestNode* n = other.CreateNode<TTestNode>("Body", kind);
        n->AddInput("Wave", At(0.25), true, ValueDomType::Wave, ValueDomain::Mono);
        n->AddInput("Gain", At(0.5), true, ValueDomType::Factor, ValueDomain::Positive);
        n->AddOutput("Out", At(0.6), true, ValueDomType::Wave, ValueDomain::AllValues);
        return n;
    }
    /// A node input of this factory fed by the source, to see wiring survive.
    TSountoryNodeInput* Feed(TSountoryInputSource* source)
    {
        TSountoryNodeInput* x = Node("User")->AddInput(
            "x", At(0.5), false, source->GetSourceDomType(), source->GetSourceDomain());
        x->SetSource(source);
        return x;
    }

    TUnitSountory other{"Other", "", host};
};

TEST_F(Factory, NewDocument)
{
    TUnitSountory f("New", "", host);
    EXPECT_TRUE(f.Inputs().empty() && f.Outputs().empty() && f.Nodes().empty());
    EXPECT_EQ(f.GetFactoryKind(), FactoryFree);
    EXPECT_EQ(f.GetNodesCombination(), NodesShift);
    EXPECT_EQ(std::pair(f.GetWidth(), f.GetHeight()), std::pair(435, 240));
    EXPECT_TRUE(f.ShowNameIO && f.ShowNameNIO && !f.ShowTypeIO && !f.ShowTypeNIO);
    EXPECT_TRUE(f.IsModified()); // untitled
    EXPECT_EQ(f.GetKind(), DocumentKind::Factory);
    f.ShowFactoryKind();
    EXPECT_EQ(host.status, Texts{"User defined Factory"});
}

TEST_F(Factory, Templates)
{
    struct Case
    {
        int number;
        int nodeKind; // -1 no node
        Texts inputs, outputs;
        uint8_t kind;
    };
    const Case cases[] = {
        {0, -1, {}, {}, FactoryFree},
        {1, -1, changeInputs, windowOutputs, FactoryChangeWW},
        {2, -1, {}, windowOutputs, FactoryCreateWW},
        {3, sntNodeUser, {"Wave 0.25 14/11", "Gain 0.5 0/3"}, {"Out 0.6 14/0"}, FactoryFree},
        {4, -1, {"Wave 0.2 14/0 fixed", "Count 0.7 3/3 fixed"}, {}, FactoryLoopMix},
        {5,
         sntNodeLoop,
         {"Wave 0.25 14/11", "Gain 0.5 0/3", "Counter 0.9 3/5 fixed"},
         loopOutputs,
         FactoryLoopMix},
        {6, -1, {}, {}, FactoryFree},
    };
    for (const Case& c : cases) {
        TUnitSountory f("T", "t.kvf", host);
        f.SetModified();
        f.InitFromTemplate(c.number, c.nodeKind < 0 ? nullptr : NodeToFit(c.nodeKind));
        EXPECT_EQ(Describe(f.Inputs()), c.inputs) << c.number;
        EXPECT_EQ(Describe(f.Outputs()), c.outputs) << c.number;
        EXPECT_EQ(f.GetFactoryKind(), c.kind) << c.number;
        EXPECT_FALSE(f.IsModified()) << c.number;
    }
}

TEST_F(Factory, ChangeWindowKindKeepsAFittingPinAndReplacesTheOther)
{
    RecordingMessages boxes;
    TSountoryInput* select =
        In("Select Begin", ValueDomType::PlaceInWindow, ValueDomain::ZeroInclOneExcl, 0.66);
    TSountoryInput* replace = In("Replace End", ValueDomType::Factor);
    TSountoryInput* wave = In("Wave", ValueDomType::Factor);
    TSountoryNodeInput* fedBySelect = Feed(select);
    TSountoryNodeInput* fedByReplace = Feed(replace);
    Feed(wave);
    factory.SetFactoryKind(FactoryChangeWW);
    EXPECT_EQ(Describe(factory.Inputs()),
              (Texts{"Select Begin 0.4 9/8 fixed", "Wave 0.1 14/0 fixed subtype",
                     "Select End 0.5 9/8 fixed", "Replace Begin 0.8 9/8 fixed",
                     "Replace End 0.9 9/8 fixed"}));
    EXPECT_EQ(factory.Inputs()[0].get(), select);
    EXPECT_EQ(fedBySelect->GetSource(), select);
    EXPECT_EQ(fedByReplace->GetSource(), nullptr);
    EXPECT_EQ(Describe(factory.Outputs()), windowOutputs);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_TRUE(host.warnings.empty());

    factory.SetFactoryKind(FactoryFree); // everything stays, nothing is fixed
    Texts unfixed = {"Select Begin 0.4 9/8", "Wave 0.1 14/0 subtype", "Select End 0.5 9/8",
                     "Replace Begin 0.8 9/8", "Replace End 0.9 9/8"};
    EXPECT_EQ(Describe(factory.Inputs()), unfixed);
    EXPECT_EQ(factory.GetFactoryKind(), FactoryFree);

    factory.SetFactoryKind(FactoryChangeWW);
    factory.SetFactoryKind(FactoryCreateWW);
    EXPECT_TRUE(factory.Inputs().empty());
    EXPECT_EQ(fedBySelect->GetSource(), nullptr);
    EXPECT_EQ(Describe(factory.Outputs()), windowOutputs);
}

TEST_F(Factory, KindChangesDeleteUserPinsOfPredefinedNames)
{
    In("Extra", ValueDomType::Factor);
    In("Count", ValueDomType::Time);
    In("Counter", ValueDomType::Integer, ValueDomain::PositiveNotZero);
    Out("Result", ValueDomType::Wave);
    Out("Volume", ValueDomType::Factor, ValueDomain::AllValues, 0.9);
    factory.SetFactoryKind(FactoryLoopMix);
    // "Count" of another type is replaced, the loop outputs are not created, only fixed.
    EXPECT_EQ(Describe(factory.Inputs()), (Texts{"Extra 0.5 0/0", "Counter 0.5 3/5 fixed",
                                                 "Wave 0.2 14/0 fixed", "Count 0.7 3/3 fixed"}));
    EXPECT_EQ(Describe(factory.Outputs()), (Texts{"Volume 0.9 0/0 fixed"}));

    factory.SetFactoryKind(FactoryCreateWW);
    EXPECT_EQ(Describe(factory.Inputs()), (Texts{"Extra 0.5 0/0"}));
    EXPECT_EQ(Describe(factory.Outputs()), windowOutputs);
}

TEST_F(Factory, FitWithNode)
{
    TSountoryInput* gain = In("Gain", ValueDomType::Factor, ValueDomain::Positive, 0.8);
    gain->Fixed = true;
    In("C", ValueDomType::Factor);
    In("D", ValueDomType::Factor);
    TSountoryOutput* out = Out("Out", ValueDomType::Wave, ValueDomain::Stereo);
    TSountoryNodeInput* fed = Feed(gain);
    factory.FitWithNode(*NodeToFit(sntNodeUser));
    EXPECT_EQ(Describe(factory.Inputs()), (Texts{"Gain 0.5 0/3", "Wave 0.25 14/11"}));
    EXPECT_EQ(factory.Inputs()[0].get(), gain);
    EXPECT_EQ(fed->GetSource(), gain);
    EXPECT_NE(factory.Outputs()[0].get(), out); // other domain: replaced
    EXPECT_EQ(Describe(factory.Outputs()), (Texts{"Out 0.6 14/0"}));
    EXPECT_EQ(factory.GetFactoryKind(), FactoryFree);

    factory.FitWithNode(*NodeToFit(sntNodeLoop));
    EXPECT_EQ(Describe(factory.Inputs()),
              (Texts{"Gain 0.5 0/3", "Wave 0.25 14/11", "Counter 0.9 3/5 fixed"}));
    EXPECT_EQ(Describe(factory.Outputs()), loopOutputs);
    EXPECT_EQ(factory.GetFactoryKind(), FactoryFree);
}

TEST_F(Factory, NodesFrontMostFirst)
{
    TTestNode* back = Node("N");
    TTestNode* front = Node("N");
    Node("M");
    EXPECT_EQ(NamesOf(factory.Nodes()), (Texts{"M", "N", "N"}));
    EXPECT_EQ(factory.FindNode("N"), front);
    EXPECT_EQ(factory.FindNode("N", front), back);
    factory.ClearModified();
    factory.BringNodeToFront(back);
    EXPECT_EQ(factory.Nodes()[0].get(), back);
    EXPECT_EQ(factory.FindNode("N"), back);
    EXPECT_TRUE(factory.IsModified());
}

TEST_F(Factory, FilesAreNotWrittenYet)
{
    RecordingMessages boxes;
    EXPECT_FALSE(factory.Save());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Factory files cannot be read or written yet.");
    std::string message, failed;
    EXPECT_FALSE(factory.Revert(message, failed));
    EXPECT_EQ(message, "Factory files cannot be read or written yet.");
    EXPECT_EQ(failed, "/tmp/fact.kvf");
}

} // namespace
} // namespace kelvorn::test
