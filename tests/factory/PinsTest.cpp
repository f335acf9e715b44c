// Where pins sit and are hit, the connection lists of the pin dialog, the hint texts, lookup of
// a node's pins by name and the merge that keeps wiring when pins are made again. User and
// repeat nodes: the links to the factory they run, the hand-in and hand-back, the recursion check
// and the turns of a repeat node.

#include "factory/FactoryKit.h"
#include "factory/core/UserNodes.h"

#include <gtest/gtest.h>

#include <functional>

namespace kelvorn::test {
namespace {

class Pins : public ::testing::Test, public FactoryFixture
{
};

TEST_F(Pins, PlaceOnTheSides)
{
    factory.FactoryRect = {25, 0, 460, 101};
    TTestNode* node = Node("N"); // drawn at 35,35 to 135,135: pins between y 43 and 128
    node->SetRect({10, 35, 110, 135});
    struct Case
    {
        TSntPinPlace* pin;
        double height;
        int drawnY, connectionY;
    };
    TSountoryInput* in = In("I", ValueDomType::Factor);
    TSountoryOutput* out = Out("O", ValueDomType::Factor);
    TSountoryNodeInput* nin = NodeIn(node, "a", ValueDomType::Factor);
    TSountoryNodeOutput* nout = NodeOut(node, "r", ValueDomType::Factor);
    const Case cases[] = {{in, 0, 0, 0},      {in, 1, 101, 101}, {in, 0.5, 51, 50},
                          {out, 0.5, 51, 50}, {nin, 0, 43, 43},  {nin, 1, 128, 128},
                          {nout, 0.5, 86, 85}};
    for (const Case& c : cases) {
        c.pin->SetHeight(At(c.height));
        EXPECT_EQ(c.pin->GetY(), c.drawnY) << c.height;
        EXPECT_EQ(c.pin->GetConnectionY(), c.connectionY) << c.height;
    }
    EXPECT_EQ(std::tuple(in->GetSourcePoint().x, out->GetTargetPoint().x, nin->GetTargetPoint().x,
                         nout->GetSourcePoint().x),
              std::tuple(25, 460, 35, 135));

    const std::pair<int, double> drags[] = {{-40, 0}, {0, 0}, {101, 1}, {500, 1}};
    for (auto [y, h] : drags) {
        in->SetHeightFromY(y);
        EXPECT_EQ(in->GetHeightValue(), h) << y;
    }
    nin->SetHeightFromY(85); // 42 px down the 85 px between the node's ends
    EXPECT_NEAR(nin->GetHeightValue(), 42.0 / 85.0, 1e-12);
}

TEST_F(Pins, HitLimits)
{
    TSountoryInput* in = In("I", ValueDomType::Factor);
    TSountoryNodeInput* nin = NodeIn(Node("N"), "a", ValueDomType::Factor);
    struct Case
    {
        TSntPinPlace* pin;
        int dx;
        bool hit;
        double distance;
    };
    const Case cases[] = {{in, 0, true, 0},   {in, 10, true, 0},  {in, 16, true, 6},
                          {in, 17, false, 7}, {nin, 13, true, 5}, {nin, 14, false, 6}};
    for (const Case& c : cases) {
        PixelPoint centre{c.pin == in ? 25 : 35, c.pin->GetY()};
        double distance = -1;
        EXPECT_EQ(c.pin->IsTouched({centre.x + c.dx, centre.y}, distance), c.hit) << c.dx;
        EXPECT_EQ(distance, c.distance) << c.dx;
    }
}

TEST_F(Pins, ConnectionListsKeepWavesApart)
{
    In("W", ValueDomType::Wave);
    In("F", ValueDomType::Factor);
    Out("R", ValueDomType::Wave);
    Out("P", ValueDomType::PlaceInWindow);
    TTestNode* a = Node("A");
    NodeIn(a, "in", ValueDomType::Wave, ValueDomain::Mono);
    NodeOut(a, "out", ValueDomType::AllValue);
    TTestNode* b = Node("B");
    NodeOut(b, "w", ValueDomType::Wave);
    NodeIn(b, "x", ValueDomType::Time);

    auto texts = [](const TSntList& list) {
        std::vector<std::string> t;
        std::transform(list.begin(), list.end(), back_inserter(t), [](auto& e) { return e.text; });
        return t;
    };
    TSntList list;
    factory.FillSourceList(list, ValueDomType::Wave, nullptr);
    EXPECT_EQ(texts(list), (std::vector<std::string>{"<none>", "W <Input>", "B.w <Node Output>"}));
    EXPECT_EQ(list[2].source, b->Outputs()[0].get());
    factory.FillSourceList(list, ValueDomType::Factor, b);
    EXPECT_EQ(texts(list),
              (std::vector<std::string>{"<none>", "F <Input>", "A.out <Node Output>"}));
    factory.FillTargetList(list, ValueDomType::Time, nullptr);
    EXPECT_EQ(texts(list), (std::vector<std::string>{"<none>", "P <Output>", "B.x <Node Input>"}));
    EXPECT_EQ(list[2].target, b->Inputs()[0].get());
    factory.FillTargetList(list, ValueDomType::Wave, b);
    EXPECT_EQ(texts(list), (std::vector<std::string>{"<none>", "R <Output>", "A.in <Node Input>"}));
    // The sources a target could take besides its own: inputs and node outputs of its kind.
    TSountoryNodeInput* wave = a->Inputs()[0].get();
    EXPECT_EQ(b->Inputs()[0]->CountSources(), 2); // F, A.out
    EXPECT_EQ(wave->CountSources(), 2);           // W, B.w
    wave->SetSource(b->Outputs()[0].get());
    EXPECT_EQ(wave->CountSources(), 1);
}

TEST_F(Pins, HintsBeforeAndAfterARun)
{
    TSountoryInput* f = In("F", ValueDomType::Factor);
    TSountoryInput* w = In("W", ValueDomType::Wave);
    TSountoryOutput* o = Out("O", ValueDomType::Time);
    TSountoryOutput* c = Out("C", ValueDomType::Factor);
    TSountoryOutput* r = Out("R", ValueDomType::Wave);
    TTestNode* n = Node("N");
    TSountoryNodeInput* ni = NodeIn(n, "a", ValueDomType::Factor);
    TSountoryNodeOutput* no = NodeOut(n, "r", ValueDomType::Frequency);
    f->SetValue({0.5, ValueType::Factor});
    o->SetSource(f);
    c->SetConstantValue({0.25, ValueType::Factor}, EHNone);
    r->SetConstantSound("Beep");
    ni->SetSource(f);
    no->SetValue({1500, ValueType::Frequency});
    w->SetGivenSound("Beep");

    const std::string props = "Mono\n1 byte per sample\nsample freq: 1024 Hz\nlength: 4 samples";
    struct Step
    {
        uint8_t factoryState, nodeState;
        bool bound;
        std::vector<std::string> hints; // f, w, o, c, r, ni, no
    };
    const std::string half = "Type: Factor\nValue: 50 %", quarter = "Type: Factor\nValue: 0.25";
    const std::string beep = "Wave: \"Beep\"", none = "Undefined";
    // clang-format off
    const Step steps[] = {
        {0, 0, false, {none, none, none, quarter, beep, none, none}},
        {1, 1, false, {half, beep, none, quarter, beep, half, none}},
        {2, 2, true, {half, beep + "\n" + props, half, quarter, beep, half,
                      "Type: Frequency\nValue: 1.5 khz"}},
    };
    // clang-format on
    for (const Step& s : steps) {
        factory.SetRunState(s.factoryState);
        n->SetRunState(s.nodeState);
        if (s.bound)
            w->SetSound(MonoOf({1, 2, 3, 4}));
        const TSountoryTouchable* pins[] = {f, w, o, c, r, ni, no};
        for (size_t i = 0; i < std::size(pins); ++i)
            EXPECT_EQ(pins[i]->GetHintText(), s.hints[i])
                << "state " << int(s.factoryState) << " pin " << i;
    }
    r->SetSource(w); // the bound sound's format replaces the constant's name
    EXPECT_EQ(r->GetHintText(), props);
    w->Given = false;
    EXPECT_EQ(w->GetHintText(), props);
    TSountoryNodeOutput* nw = NodeOut(n, "w", ValueDomType::Wave);
    EXPECT_EQ(nw->GetHintText(), "Undefined");
}

TEST_F(Pins, WavePositionChecks)
{
    EXPECT_TRUE(In("Select End", ValueDomType::PlaceInWindow)->CheckWavePosition(message));
    EXPECT_FALSE(In("Any", ValueDomType::AllValue)->CheckWavePosition(message));
    EXPECT_EQ(message, "Input \"Any\" is not a valuetype domain of \"wave position\".");
    EXPECT_FALSE(Out("Result", ValueDomType::Wave)->CheckWavePosition(message));
    EXPECT_EQ(message, "Output \"Result\" is not a valuetype domain of \"wave position\".");
}

TEST_F(Pins, NodeMergeKeepsMatchingPinsAndDropsTheRest)
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

TEST_F(Pins, NodeLookupIsExactAndTakesTheFirst)
{
    TTestNode* n = Node("N");
    TSountoryNodeInput* first = NodeIn(n, "Wave", ValueDomType::Wave);
    TSountoryNodeInput* second = NodeIn(n, "Wave", ValueDomType::AllComputable);
    EXPECT_EQ(n->FindInputByName("Wave"), first);
    EXPECT_EQ(n->FindInputByName("Wave", first), second);
    EXPECT_EQ(n->FindInputByName("wave"), nullptr);
    EXPECT_EQ(n->CountTypeChoiceInputs(), 1);
}

using T = ValueDomType;
using D = ValueDomain;

/// "Fact" runs "Sub" through the user node "N": Sub doubles its input "In" into "Out" and hands
/// its wave input "W" straight through to "WaveOut".
struct UserSetup : FactoryFixture
{
    UserSetup()
    {
        host.factories = {{"Fact", &factory}, {"Sub", &sub}};
        TSountoryInput* in = sub.CreateInput("In", At(0.3), false, T::Factor, D::AllValues);
        TSountoryInput* w = sub.CreateInput("W", At(0.6), false, T::Wave, D::AllValues);
        doubler = sub.CreateNode<TTestNode>("Double");
        NodeIn(doubler, "x", T::Factor)->SetSource(in);
        NodeOut(doubler, "r", T::Factor);
        doubler->compute = [](TTestNode& n, std::string&) {
            n.Outputs()[0]->SetValue(
                {2 * n.Inputs()[0]->GetSourceValue().value, ValueType::Factor});
            return true;
        };
        sub.CreateOutput("Out", At(0.3), false, T::Factor, D::AllValues)
            ->SetSource(doubler->Outputs()[0].get());
        sub.CreateOutput("WaveOut", At(0.6), false, T::Wave, D::AllValues)->SetSource(w);

        node = factory.CreateNode<TSountoryNodeUser>("N", "Sub", TSountoryRectangle{0, 0, 50, 50});
        node->PinsFromDefinition(sub);
        host.waves["Doc"] = live.Make(MonoOf({5, 6, 7}));
        In("A", T::Factor)->SetGivenValue({3, ValueType::Factor}, EHNone);
        In("D", T::Wave)->SetGivenSound("Doc");
        node->FindInputByName("In")->SetSource(factory.FindInput("A"));
        node->FindInputByName("W")->SetSource(factory.FindInput("D"));
        Out("Result", T::Wave)->SetSource(node->FindOutputByName("WaveOut"));
        Out("V", T::Factor)->SetSource(node->FindOutputByName("Out"));
    }

    LiveSounds live; // outlives the factories below
    TUnitSountory sub{"Sub", "/tmp/sub.kvf", host};
    TTestNode* doubler;
    TSountoryNodeUser* node;
};

TEST(UserNode, RunsItsFactoryAndHandsTheResultsBack)
{
    UserSetup s;
    EXPECT_EQ(NamesOf(s.node->Inputs()), (std::vector<std::string>{"In", "W"}));
    EXPECT_EQ(NamesOf(s.node->Outputs()), (std::vector<std::string>{"Out", "WaveOut"}));
    SoundPtr sound;
    int32_t begin = 0, end = 10;
    ASSERT_TRUE(s.factory.ValidateFactory(1, s.message)) << s.message;
    ASSERT_TRUE(s.factory.RunCreateWaveWindow(s.message, sound, begin, end, s.asker)) << s.message;
    EXPECT_EQ(s.factory.FindOutput("V")->GetSourceValue().value, 6);
    EXPECT_NE(sound, s.host.waves["Doc"]); // the document's sound handed through is copied
    EXPECT_EQ(sound->GetValues(), 3);
    EXPECT_EQ(end, 3);
    EXPECT_EQ(s.live.alive, 1); // the document's alone
    EXPECT_EQ(s.sub.GetRunState(), sntRunDone);
}

TEST(UserNode, ValidationNamesWhatDoesNotMatch)
{
    struct Case
    {
        const char* what;
        std::function<void(UserSetup&)> change;
        const char* message;
    };
    const Case cases[] = {
        {"not open", [](UserSetup& s) { s.host.factories.erase("Sub"); },
         "In Node \"N\": Factory \"Sub\" not found."},
        {"node lacks an input",
         [](UserSetup& s) { s.node->DeleteInput(s.node->FindInputByName("In")); },
         "In Node \"N\": Input \"In\" not found, needed by Factory \"Sub\"."},
        {"input type",
         [](UserSetup& s) {
             s.sub.RemoveInput(s.sub.FindInput("In"));
             s.sub.CreateInput("In", At(0.3), false, T::Time, D::AllValues);
         },
         "In Node \"N\": Input \"In\" has an other typedomain than the Input of Factory \"Sub\"."},
        {"input domain alone",
         [](UserSetup& s) {
             s.sub.FindInput("In")->SetValueDomain(D::Positive);
             s.doubler->Inputs()[0]->SetSource(s.sub.FindInput("In"));
         },
         ""},
        {"output missing", [](UserSetup& s) { s.sub.RemoveOutput(s.sub.FindOutput("Out")); },
         "In Node \"N\": Output \"Out\" not found at Factory \"Sub\"."},
        {"output type",
         [](UserSetup& s) {
             s.sub.RemoveOutput(s.sub.FindOutput("Out"));
             s.sub.CreateOutput("Out", At(0.3), false, T::Integer, D::AllValues);
         },
         "In Node \"N\": Output \"Out\" has an other typedomain than the Output of Factory "
         "\"Sub\"."},
        {"definition input deleted after a validation",
         [](UserSetup& s) {
             std::string m;
             ASSERT_TRUE(s.factory.ValidateFactory(99, m)) << m;
             s.sub.RemoveInput(s.sub.FindInput("In"));
         },
         "In Node \"N\": Input \"In\" not found at Factory \"Sub\"."},
        {"input without value", [](UserSetup& s) { s.node->FindInputByName("In")->ClearSource(); },
         "In Node \"N\": Input \"In\" is mandatory."},
        {"definition output empty", [](UserSetup& s) { s.sub.FindOutput("Out")->ClearSource(); },
         "In Node \"N\": at Factory \"Sub\": Output \"Out\" is mandatory."},
        {"loop inside",
         [](UserSetup& s) {
             NodeIn(s.doubler, "y", T::Factor)->SetSource(s.doubler->Outputs()[0].get());
         },
         "In Node \"N\": at Factory \"Sub\": Loop found at Input \"y\" at Node \"Double."},
    };
    for (const Case& c : cases) {
        UserSetup s;
        c.change(s);
        EXPECT_EQ(s.factory.ValidateFactory(1, s.message), !*c.message) << c.what;
        EXPECT_EQ(s.message, c.message) << c.what;
        for (const auto& in : s.node->Inputs()) // a failed synchronisation leaves no link
            if (!s.node->GetDefinition()) {
                EXPECT_EQ(in->DefinitionInput, nullptr) << c.what;
            }
        if (!*c.message) {
            SoundPtr sound;
            int32_t begin = 0, end = 0;
            EXPECT_TRUE(s.factory.RunCreateWaveWindow(s.message, sound, begin, end, s.asker));
        }
    }
}

// A user node stands for the longest chain of the factory it runs, which counts towards the
// limit of the factory that holds it.
TEST(UserNode, ItsFactorysChainCountsTowardsTheLimit)
{
    UserSetup s;
    TTestNode* last = nullptr;
    for (int i = 1; i < TUnitSountory::MaxChainDepth; ++i) {
        TTestNode* next = s.sub.CreateNode<TTestNode>("C" + std::to_string(i));
        if (last)
            NodeIn(next, "x", T::Factor)->SetSource(last->Outputs()[0].get());
        NodeOut(next, "r", T::Factor);
        last = next;
    }
    ASSERT_TRUE(s.factory.ValidateFactory(1, s.message)) << s.message;
    EXPECT_EQ(s.sub.GetChainDepth(), TUnitSountory::MaxChainDepth - 1);
    EXPECT_EQ(s.factory.GetChainDepth(), TUnitSountory::MaxChainDepth);
    TTestNode* after = s.factory.CreateNode<TTestNode>("After");
    NodeIn(after, "x", T::Factor)->SetSource(s.node->FindOutputByName("Out"));
    EXPECT_FALSE(s.factory.ValidateFactory(2, s.message));
    EXPECT_EQ(s.message, "Factory \"Fact\" has a chain of more than 2000 nodes.");
}

TEST(UserNode, RecursionIsFoundAndSubFactoriesValidateOncePerStamp)
{
    UserSetup s;
    auto* again = s.factory.CreateNode<TSountoryNodeUser>("M", "Sub", TSountoryRectangle{});
    again->PinsFromDefinition(s.sub);
    again->FindInputByName("In")->SetSource(s.factory.FindInput("A"));
    again->FindInputByName("W")->SetSource(s.factory.FindInput("D"));
    ASSERT_TRUE(s.factory.ValidateFactory(7, s.message)) << s.message;
    EXPECT_EQ(s.doubler->inputChecks, 1);

    // Fact runs itself; then Fact runs Sub, which runs Fact.
    auto* self = s.factory.CreateNode<TSountoryNodeUser>("Me", "Fact", TSountoryRectangle{});
    self->PinsFromDefinition(s.factory);
    EXPECT_FALSE(s.factory.ValidateFactory(8, s.message));
    EXPECT_EQ(s.message, "In Node \"Me\": at Factory \"Fact\": In Node \"Me\": Recurse found!");
    s.factory.RemoveNode(self);
    s.sub.CreateNode<TSountoryNodeUser>("Back", "Fact", TSountoryRectangle{})
        ->PinsFromDefinition(s.factory);
    EXPECT_FALSE(s.factory.ValidateFactory(9, s.message));
    EXPECT_EQ(s.message, "In Node \"M\": at Factory \"Sub\": In Node \"Back\": at Factory "
                         "\"Fact\": In Node \"M\": Recurse found!");
}

/// "Fact" mixes the turns of "Loop" into its wave with the repeat node "R": each turn's sample
/// is one value, the counter (times the volume), mixed at the start of the result.
struct LoopSetup : FactoryFixture
{
    LoopSetup()
    {
        host.factories = {{"Loop", &loop}};
        TSountoryInput* counter =
            loop.CreateInput("Counter", At(0.1), false, T::Integer, D::AllValues);
        maker = loop.CreateNode<TTestNode>("Make");
        NodeIn(maker, "c", T::Integer)->SetSource(counter);
        NodeOut(maker, "s", T::Wave);
        maker->compute = [this](TTestNode& n, std::string&) {
            counters.push_back(int(n.Inputs()[0]->GetSourceValue().value));
            n.Outputs()[0]->SetSound(samples.Make(MonoOf({counters.back()})));
            peak = std::max(peak, samples.alive);
            return true;
        };
        loop.CreateOutput("Sample", At(0.2), false, T::Wave, D::AllValues)
            ->SetSource(maker->Outputs()[0].get());
        for (const char* name : {"Position in Sample", "Position in Result"})
            loop.CreateOutput(name, At(0.5), false, T::Factor, D::AllValues)
                ->SetConstantValue({0, ValueType::Factor}, EHNone);
        node = factory.CreateNode<TSountoryNodeLoop>("R", "Loop", TSountoryRectangle{}, true);
        node->PinsFromDefinition(loop);
        host.waves["Doc"] = samples.Make(MonoOf({100, 0}));
        In("D", T::Wave)->SetGivenSound("Doc");
        node->FindInputByName("Wave")->SetSource(factory.FindInput("D"));
        Out("Result", T::Wave)->SetSource(node->FindOutputByName("Result"));
    }

    LiveSounds samples;
    TUnitSountory loop{"Loop", "/tmp/loop.kvf", host};
    TTestNode* maker;
    TSountoryNodeLoop* node;
    std::vector<int> counters;
    int peak = 0;
};

TEST(RepeatNode, MixesEachTurnWithTheCounter)
{
    struct Case
    {
        double count, volume; // volume 0: no "Volume" output
        int first, turns;
        bool extra = false; // an output of the loop factory's own, without a value
    };
    const Case cases[] = {{3, 0, 106, 3},      {3, 2, 112, 3},
                          {0, 0, 100, 0},      {-5, 0, 100, 0},
                          {2.9, 0, 103, 2},    {1000, 0, 100 + 500500 % 65536, 1000},
                          {3, 0, 106, 3, true}};
    for (const Case& c : cases) {
        LoopSetup s;
        EXPECT_EQ(NamesOf(s.node->Inputs()), (std::vector<std::string>{"Wave", "Count"}));
        s.node->FindInputByName("Count")->SetConstantValue({c.count, ValueType::Integer}, EHNone);
        if (c.volume != 0)
            s.loop.CreateOutput("Volume", At(0.9), false, T::Factor, D::AllValues)
                ->SetConstantValue({c.volume, ValueType::Factor}, EHNone);
        if (c.extra)
            s.loop.CreateOutput("Extra", At(0.95), false, T::Factor, D::AllValues);
        SoundPtr sound;
        int32_t begin = 0, end = 0;
        ASSERT_TRUE(s.factory.ValidateFactory(1, s.message)) << s.message;
        ASSERT_TRUE(s.factory.RunCreateWaveWindow(s.message, sound, begin, end, s.asker))
            << s.message;
        EXPECT_EQ(ChannelsOf(*sound)[0], (std::vector<int>{int16_t(c.first), 0})) << c.count;
        EXPECT_EQ(int(s.counters.size()), c.turns);
        if (c.turns == 3) {
            EXPECT_EQ(s.counters, (std::vector<int>{1, 2, 3}));
        }
        EXPECT_LE(s.peak, 3); // the document's wave, the mix's copy source, one sample
        sound.reset();
        EXPECT_EQ(s.samples.alive, 1) << c.count; // only the document's
    }
}

TEST(RepeatNode, ValidationAndRunFailures)
{
    struct Case
    {
        const char* what;
        std::function<void(LoopSetup&)> change;
        const char* message;
    };
    const Case cases[] = {
        {"no Count", [](LoopSetup& s) { s.node->DeleteInput(s.node->FindInputByName("Count")); },
         "In Node \"R\": Input \"Count\" does not exists."},
        {"no Sample", [](LoopSetup& s) { s.loop.RemoveOutput(s.loop.FindOutput("Sample")); },
         "In Node \"R\": Output \"Sample\" not found at Factory \"Loop\"."},
        {"position type",
         [](LoopSetup& s) {
             s.loop.RemoveOutput(s.loop.FindOutput("Position in Sample"));
             s.loop.CreateOutput("Position in Sample", At(0.5), false, T::Time, D::AllValues);
         },
         "In Node \"R\": Output \"Position in Sample\" is not typedomain \"Factor\"."},
        {"position empty",
         [](LoopSetup& s) { s.loop.FindOutput("Position in Result")->ClearConstant(); },
         "In Node \"R\": at Factory \"Loop\": Output \"Position in Result\" is mandatory."},
        {"sample empty", [](LoopSetup& s) { s.loop.FindOutput("Sample")->ClearSource(); },
         "In Node \"R\": at Factory \"Loop\": Output \"Sample\" is mandatory."},
        {"empty wave", [](LoopSetup& s) { s.host.waves["Doc"] = s.samples.Make(MonoOf({})); },
         "At Node \"R\" of Factory \"Fact\": Input Wave must not be empty."},
        {"stopped in a turn", [](LoopSetup& s) { s.host.stopAt = 5; },
         "At Node \"R\" of Factory \"Fact\": Stopped by user."},
        {"failed in a turn",
         [](LoopSetup& s) {
             s.host.stopAt = 5;
             s.host.stopMark = 1;
         },
         "At Node \"R\" of Factory \"Fact\": There is not enough memmory for this operation."},
    };
    for (const Case& c : cases) {
        LoopSetup s;
        s.node->FindInputByName("Count")->SetConstantValue({3, ValueType::Integer}, EHNone);
        c.change(s);
        SoundPtr sound;
        int32_t begin = 0, end = 0;
        bool ok = s.factory.ValidateFactory(1, s.message) &&
                  s.factory.RunCreateWaveWindow(s.message, sound, begin, end, s.asker);
        EXPECT_FALSE(ok) << c.what;
        EXPECT_EQ(s.message, c.message) << c.what;
        EXPECT_EQ(s.samples.alive, 1) << c.what;
    }
}

} // namespace
} // namespace kelvorn::test
