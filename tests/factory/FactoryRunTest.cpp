// The factory document: a new one, the templates, kind changes and fitting to a node, which make
// the predefined pins again and keep the user's wiring where it still fits. Validation and runs:
// each needed node computes once, intermediate sounds die after their last consumer, loops and
// over-long chains are refused, and a create run hands back its wave.

#include "factory/FactoryKit.h"
#include "platform/test/RecordingMessages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

namespace kelvorn::test {
namespace {

using T = ValueDomType;

class Runs : public ::testing::Test, public FactoryFixture
{
protected:
    /// A node with a wave output "r" and a wave input per source given (null: unconnected).
    TTestNode* WaveNode(const std::string& name, std::vector<TSountoryInputSource*> sources)
    {
        TTestNode* node = Node(name);
        NodeOut(node, "r", T::Wave);
        for (size_t i = 0; i < sources.size(); ++i)
            NodeIn(node, "i" + std::to_string(i), T::Wave)->SetSource(sources[i]);
        return node;
    }
    static TSountoryNodeOutput* R(TTestNode* node) { return node->Outputs()[0].get(); }
    TSountoryOutput* Result(TTestNode* node)
    {
        TSountoryOutput* out = Out("Result", T::Wave);
        out->SetSource(R(node));
        return out;
    }

    LiveSounds live;
};

// A switch: the first input is taken, the second released unread.
class TSwitchNode : public TTestNode
{
public:
    using TTestNode::TTestNode;
    bool Calculate(SntStopFlag* stop, std::string& message) override
    {
        if (IsCalculated())
            return true;
        bool reported = false;
        if (!Inputs()[0]->CheckValue(stop, message, reported))
            return false;
        Inputs()[1]->ReleaseUnusedSource();
        Outputs()[0]->SetSound(Inputs()[0]->GetSound());
        Inputs()[0]->ReleaseSource();
        SetCalculated();
        return true;
    }
};

TEST_F(Runs, EachNeededNodeComputesOnceAndOthersNever)
{
    TTestNode* a = WaveNode("A", {});
    TTestNode* b = WaveNode("B", {R(a), R(a)});
    TTestNode* unused = WaveNode("U", {R(a)});
    unused->SetRunState(sntRunDone);
    host.progress.clear();
    MakesSound(a, live);
    MakesSound(b, live);
    Result(b);
    Out("Also", T::Wave)->SetSource(R(a));
    EXPECT_TRUE(factory.RunFactory(message, nullptr)) << message;
    EXPECT_EQ(a->computeCalls, 1);
    EXPECT_EQ(unused->computeCalls, 0);
    EXPECT_EQ(unused->GetRunState(), sntRunDone); // not even prepared
    EXPECT_EQ(factory.GetRunState(), sntRunDone);
    EXPECT_EQ(host.progress, (std::vector<std::string>{"B:0", "A:0", "A:1", "A:2", "B:1", "B:2"}));
}

TEST_F(Runs, SoundsDieAfterTheirLastConsumer)
{
    // Live sounds seen as each node computes: a chain, then a fan-out joined again.
    std::vector<int> seen;
    TTestNode* a = WaveNode("A", {});
    TTestNode* b = WaveNode("B", {R(a)});
    TTestNode* c = WaveNode("C", {R(b)});
    for (TTestNode* n : {a, b, c})
        MakesSound(n, live, &seen);
    Result(c);
    ASSERT_TRUE(factory.RunFactory(message, nullptr)) << message;
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 1}));
    EXPECT_EQ(live.alive, 1); // held by the output until the run lets go
    factory.ReleaseRunSounds();
    EXPECT_EQ(live.alive, 0);
    TWaveFileProps props(1, 1, 1);
    int32_t length = 0;
    EXPECT_TRUE(factory.Outputs()[0]->GetSourceWave(props, length)); // the hints still know it
    EXPECT_EQ(length, 4);
    EXPECT_FALSE(R(b)->GetWave(props, length)); // used up during the run

    factory.RemoveNode(c);
    factory.RemoveOutput(factory.Outputs()[0].get());
    seen.clear();
    TTestNode* c2 = WaveNode("C2", {R(a)});
    TTestNode* d = WaveNode("D", {R(b), R(c2)});
    for (TTestNode* n : {c2, d})
        MakesSound(n, live, &seen);
    Result(d);
    ASSERT_TRUE(factory.RunFactory(message, nullptr)) << message;
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 2}));
    factory.ReleaseRunSounds();
    EXPECT_EQ(live.alive, 0);
}

TEST_F(Runs, AnUntakenBranchKeepsWhatAnotherConsumerNeeds)
{
    TTestNode* a = WaveNode("A", {});
    TTestNode* u = WaveNode("U", {R(a)});
    TTestNode* s = factory.CreateNode<TSwitchNode>("S");
    NodeOut(s, "r", T::Wave);
    NodeIn(s, "t", T::Wave)->SetSource(R(a));
    NodeIn(s, "u", T::Wave)->SetSource(R(u));
    MakesSound(a, live);
    PassesSound(u);
    Result(s);
    Out("Other", T::Wave)->SetSource(R(u));
    EXPECT_TRUE(factory.RunFactory(message, nullptr)) << message;
    EXPECT_EQ(message, "");
    EXPECT_EQ(u->computeCalls, 1);
    factory.ReleaseRunSounds();
    EXPECT_EQ(live.alive, 0);
}

TEST_F(Runs, EveryRunEndsWithNoSoundHeld)
{
    // 0 adopted, 1 a node fails, 2 stopped through the progress hook, 3 a cancelled dialog, 4
    // the failure flag set as memory that cannot be had sets it.
    for (int how = 0; how < 5; ++how) {
        SCOPED_TRACE(how);
        FactoryFixture f;
        LiveSounds sounds;
        TTestNode* a = f.Node("A");
        NodeOut(a, "r", T::Wave);
        TTestNode* b = f.Node("B");
        NodeOut(b, "r", T::Wave);
        NodeIn(b, "x", T::Wave)->SetSource(a->Outputs()[0].get());
        MakesSound(a, sounds);
        MakesSound(b, sounds);
        f.Out("Result", T::Wave)->SetSource(b->Outputs()[0].get());
        f.In("Asked", T::Factor);
        if (how == 1)
            b->compute = [](TTestNode&, std::string& m) { return (m = "no.", false); };
        f.host.stopAt = how == 2 || how == 4 ? 5 : 0;
        f.host.stopMark = how == 4 ? 1 : AbortByUser;
        asker.valuesOk = how != 3;
        f.factory.Stopped = 1; // left over from an earlier run
        SoundPtr sound;
        int32_t begin = 0, end = 100;
        bool ok = f.factory.RunCreateWaveWindow(message, sound, begin, end, asker);
        EXPECT_EQ(ok, how == 0);
        EXPECT_EQ(message,
                  (std::vector<std::string>{
                      "", "At Node \"B\" of Factory \"Fact\": no.", "Stopped by user.",
                      "Stopped by user.", "There is not enough memmory for this operation."}[how]));
        EXPECT_EQ(sounds.alive, how == 0 ? 1 : 0);
        if (how == 0) {
            EXPECT_FALSE(sound->GetRunResult()); // adopted, no copy
            EXPECT_EQ(end, 4);
        }
        sound.reset();
        EXPECT_EQ(sounds.alive, 0);
        message.clear();
    }
}

// A wave the run did not make (a document's, handed straight to "Result") comes out as a copy
// with its channels, and the run holds on to no document's wave afterwards.
TEST_F(Runs, AWavePassedThroughComesOutAsACopyWithItsChannels)
{
    for (int channels : {1, 2}) {
        FactoryFixture f;
        LiveSounds sounds;
        SoundPtr doc = channels == 2 ? sounds.Make(StereoOf({1, 2, 3}, {4, 5, 6}))
                                     : sounds.Make(MonoOf({1, 2, 3}));
        f.host.waves["Doc"] = doc;
        TSountoryInput* w = f.In("W", T::Wave);
        w->SetGivenSound("Doc");
        f.Out("Result", T::Wave)->SetSource(w);
        SoundPtr sound;
        int32_t begin = 0, end = 10;
        ASSERT_TRUE(f.factory.RunCreateWaveWindow(message, sound, begin, end, asker)) << message;
        EXPECT_NE(sound, doc);
        EXPECT_EQ(sound->GetMonoStereo(), channels);
        EXPECT_EQ(ChannelsOf(*sound), ChannelsOf(*doc));
        EXPECT_EQ(end, 3);
        f.host.waves.clear();
        doc.reset();
        EXPECT_EQ(sounds.alive, 0) << channels;
    }
}

TEST_F(Runs, CreateRunRefusesAndClampsPositions)
{
    struct Case
    {
        const char* resultName;
        T resultType;
        bool connected;
        T positionType;
        const char* message;
    };
    const Case cases[] = {
        {"Res", T::Wave, true, T::PlaceInWindow, "Cannot find Output \"Result\"."},
        {"Result", T::Factor, true, T::PlaceInWindow,
         "Output \"Result\" is not a valuetype domain of \"Wave\"."},
        {"Result", T::Wave, false, T::PlaceInWindow, "Output \"Result\" is mandatory."},
        {"Result", T::Wave, true, T::Factor,
         "Output \"Position Begin\" is not a valuetype domain of \"wave position\"."},
    };
    for (const Case& c : cases) {
        FactoryFixture f;
        TTestNode* a = f.Node("A");
        NodeOut(a, "r", T::Wave);
        TSountoryOutput* result = f.Out(c.resultName, c.resultType);
        if (c.connected && c.resultType == T::Wave)
            result->SetSource(a->Outputs()[0].get());
        else if (c.connected)
            result->SetConstantValue({1, ValueType::Factor}, EHNone);
        f.Out("Position Begin", c.positionType);
        SoundPtr sound;
        int32_t begin = 0, end = 0;
        EXPECT_FALSE(f.factory.RunCreateWaveWindow(message, sound, begin, end, asker));
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(a->computeCalls, 0);
    }

    TTestNode* a = WaveNode("A", {});
    Result(a);
    SoundPtr sound;
    int32_t begin = 0, end = 0;
    MakesSound(a, live); // four values
    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    struct Place
    {
        double begin, end;
        int32_t callerBegin, callerEnd, wantBegin, wantEnd;
    };
    const Place places[] = {{1.9, 2.9, 0, 0, 1, 2},    {-1.5, 9, 0, 0, 0, 4},
                            {3, 1, 0, 0, 1, 1},        {nan, inf, 2, 3, 2, 3},
                            {-inf, 1e300, 0, 0, 0, 4}, {5e9, -5e9, 0, 0, 0, 0}};
    TSountoryInput* pb = In("B", T::PlaceInWindow);
    TSountoryInput* pe = In("E", T::PlaceInWindow);
    Out("Position Begin", T::PlaceInWindow)->SetSource(pb);
    Out("Position End", T::PlaceInWindow)->SetSource(pe);
    for (const Place& p : places) {
        pb->SetGivenValue({p.begin, ValueType::PlaceInWindow}, EHNone);
        pe->SetGivenValue({p.end, ValueType::PlaceInWindow}, EHNone);
        begin = p.callerBegin;
        end = p.callerEnd;
        ASSERT_TRUE(factory.RunCreateWaveWindow(message, sound, begin, end, asker)) << message;
        EXPECT_EQ(std::pair(begin, end), std::pair(p.wantBegin, p.wantEnd))
            << p.begin << " " << p.end;
    }
    EXPECT_EQ(std::pair(asker.typesAsked, asker.valuesAsked), std::pair(0, 2 * 6));
}

TEST_F(Runs, AskingMakesValuesFitAndCancelStops)
{
    TSountoryInput* any = In("Any", T::AllValue);
    TSountoryInput* given = In("Given", T::Time);
    TSountoryInput* wrong = In("Wrong", T::Boolean);
    In("Wave", T::Wave); // filled by the window, never asked
    given->SetGivenValue({2, ValueType::Time}, EHS);
    wrong->SetGivenValue({2, ValueType::Time}, EHS);
    any->SetValue({7, ValueType::Time});
    EXPECT_TRUE(factory.AskInputTypesAndValues(message, asker));
    EXPECT_EQ(std::pair(asker.typesAsked, asker.valuesAsked), std::pair(1, 3));
    auto value = [](TSountoryInput* i) {
        return std::pair(i->GetValue().value, i->GetValue().valueType);
    };
    EXPECT_EQ(value(any), std::pair(0.0, ValueType::Factor));
    EXPECT_EQ(given->GetValue().value, 2);
    EXPECT_EQ(value(wrong), std::pair(0.0, ValueType::Boolean));
    for (bool types : {false, true}) {
        asker.typesOk = types;
        asker.valuesOk = false;
        message.clear();
        EXPECT_FALSE(factory.AskInputTypesAndValues(message, asker));
        EXPECT_EQ(message, "Stopped by user.");
    }
}

TEST_F(Runs, ValidationFindsLoopsAndKeepsItsStamp)
{
    struct Case
    {
        const char* name;
        std::vector<std::pair<int, int>> links; // node input i <- node output j (indices)
        const char* message;
    };
    // Nodes N0, N1, N2 with two inputs each; the factory walks them front-most first (N2).
    const Case cases[] = {
        {"self", {{0, 0}}, "Loop found at Input \"i0\" at Node \"N0."},
        {"two", {{0, 1}, {1, 0}}, "Loop found at Input \"i0\" at Node \"N1."},
        {"diamond", {{1, 0}, {1, 0}, {2, 1}, {2, 1}}, ""},
    };
    uint32_t stamp = 1;
    for (const Case& c : cases) {
        FactoryFixture f;
        std::vector<TTestNode*> n;
        for (int i = 0; i < 3; ++i)
            n.push_back(f.Node("N" + std::to_string(i)));
        std::vector<int> used(3, 0);
        for (auto [to, from] : c.links) {
            TSountoryNodeOutput* out = n[from]->Outputs().empty() ? NodeOut(n[from], "r", T::Wave)
                                                                  : n[from]->Outputs()[0].get();
            NodeIn(n[to], "i" + std::to_string(used[to]++), T::Wave)->SetSource(out);
        }
        message.clear();
        EXPECT_EQ(f.factory.ValidateFactory(++stamp, message), !*c.message) << c.name;
        EXPECT_EQ(message, c.message) << c.name;
        EXPECT_EQ(f.factory.ValidationStamp, *c.message ? 0u : stamp) << c.name;
    }

    // A diamond chain: every node's two inputs take the previous node's output. Without the
    // marks of finished nodes this would take 2^40 steps.
    TTestNode* last = WaveNode("D0", {});
    for (int i = 1; i <= 40; ++i)
        last = WaveNode("D" + std::to_string(i), {R(last), R(last)});
    EXPECT_TRUE(factory.ValidateFactory(5, message)) << message;
    EXPECT_EQ(factory.GetChainDepth(), 41);
    NodeIn(factory.FindNode("D0"), "back", T::Wave)->SetSource(R(last));
    EXPECT_TRUE(factory.ValidateFactory(5, message)); // the same command: not again
    EXPECT_FALSE(factory.ValidateFactory(6, message));
    EXPECT_EQ(message, "Loop found at Input \"i0\" at Node \"D40.");
    EXPECT_EQ(factory.ValidationStamp, 5u);
}

TEST_F(Runs, LongChainsAreRefusedAndTheLongestAllowedRuns)
{
    TTestNode* last = WaveNode("C1", {});
    MakesSound(last, live);
    for (int i = 2; i <= TUnitSountory::MaxChainDepth; ++i) {
        last = WaveNode("C" + std::to_string(i), {R(last)});
        PassesSound(last);
    }
    Result(last);
    ASSERT_TRUE(factory.ValidateFactory(1, message)) << message;
    EXPECT_TRUE(factory.RunFactory(message, nullptr)) << message;
    factory.ReleaseRunSounds();
    EXPECT_EQ(live.alive, 0);
    WaveNode("Over", {R(last)});
    EXPECT_FALSE(factory.ValidateFactory(2, message));
    EXPECT_EQ(message, "Factory \"Fact\" has a chain of more than 2000 nodes.");
}

TEST_F(Runs, BoundWaveThatIsNotOpenFailsTheRun)
{
    TSountoryInput* w = In("W", T::Wave);
    w->SetGivenSound("Gone");
    Out("Result", T::Wave)->SetSource(w);
    EXPECT_FALSE(factory.RunFactory(message, nullptr));
    EXPECT_EQ(message, "Cannot find Sound \"Gone\" at Input \"W\".");
    EXPECT_EQ(factory.GetRunState(), sntRunFailed);
}

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
        int asked; // inputs the values dialog asks for: not those the wave window fills
    };
    const Case cases[] = {
        {0, -1, {}, {}, FactoryFree, 0},
        {1, -1, changeInputs, windowOutputs, FactoryChangeWW, 0},
        {2, -1, {}, windowOutputs, FactoryCreateWW, 0},
        {3, sntNodeUser, {"Wave 0.25 14/11", "Gain 0.5 0/3"}, {"Out 0.6 14/0"}, FactoryFree, 1},
        {4, -1, {"Wave 0.2 14/0 fixed", "Count 0.7 3/3 fixed"}, {}, FactoryLoopMix, 1},
        {5,
         sntNodeLoop,
         {"Wave 0.25 14/11", "Gain 0.5 0/3", "Counter 0.9 3/5 fixed"},
         loopOutputs,
         FactoryLoopMix,
         2},
        {6, -1, {}, {}, FactoryFree, 0},
    };
    for (const Case& c : cases) {
        TUnitSountory f("T", "t.kvf", host);
        f.SetModified();
        f.InitFromTemplate(c.number, c.nodeKind < 0 ? nullptr : NodeToFit(c.nodeKind));
        EXPECT_EQ(Describe(f.Inputs()), c.inputs) << c.number;
        EXPECT_EQ(Describe(f.Outputs()), c.outputs) << c.number;
        EXPECT_EQ(f.GetFactoryKind(), c.kind) << c.number;
        EXPECT_EQ(f.CountAskedInputs(), c.asked) << c.number;
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

TEST_F(Factory, AKindChangeLeavesThePinsOfTheNewKind)
{
    struct Case
    {
        int templateNumber;
        uint8_t kind;
        Texts inputs, outputs;
    };
    const Texts userPins = {"Gain 0.5 0/3"}; // fitted from the node, kept by every kind
    const Case cases[] = {
        {4, FactoryChangeWW, changeInputs, windowOutputs},
        {5,
         FactoryChangeWW,
         {"Gain 0.5 0/3", "Wave 0.1 14/0 fixed subtype", "Select Begin 0.4 9/8 fixed",
          "Select End 0.5 9/8 fixed", "Replace Begin 0.8 9/8 fixed", "Replace End 0.9 9/8 fixed"},
         windowOutputs},
        {5, FactoryCreateWW, userPins, windowOutputs},
        {2, FactoryChangeWW, changeInputs, windowOutputs},
    };
    for (const Case& c : cases) {
        TUnitSountory f("T", "t.kvf", host);
        f.InitFromTemplate(c.templateNumber,
                           c.templateNumber == 5 ? NodeToFit(sntNodeLoop) : nullptr);
        f.SetFactoryKind(c.kind);
        EXPECT_EQ(Describe(f.Inputs()), c.inputs) << c.templateNumber << " to " << int(c.kind);
        EXPECT_EQ(Describe(f.Outputs()), c.outputs) << c.templateNumber << " to " << int(c.kind);
    }
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

TEST_F(Factory, FileFailuresAreReported)
{
    RecordingMessages boxes;
    factory.SetFileName("/nonexistent-folder/fact.kvf");
    EXPECT_FALSE(factory.Save());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Cannot save Factory: Operating System cannot open file for "
                                   "writing, maybe the file is readonly.");
    EXPECT_EQ(boxes.boxes[0].caption, "FileError");
    std::string failed;
    EXPECT_FALSE(factory.Revert(message, failed));
    EXPECT_EQ(message, "cannot open file.");
    EXPECT_EQ(failed, "/nonexistent-folder/fact.kvf");
}

} // namespace
} // namespace kelvorn::test
