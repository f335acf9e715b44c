// User and repeat nodes: the links to the factory they run, the hand-in and hand-back, the
// recursion check and the turns of a repeat node.

#include "factory/core/UserNodes.h"
#include "factory/FactoryKit.h"

#include <gtest/gtest.h>

#include <functional>

namespace kelvorn::test {
namespace {

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
    };
    const Case cases[] = {{3, 0, 106, 3},  {3, 2, 112, 3},   {0, 0, 100, 0},
                          {-5, 0, 100, 0}, {2.9, 0, 103, 2}, {1000, 0, 100 + 500500 % 65536, 1000}};
    for (const Case& c : cases) {
        LoopSetup s;
        EXPECT_EQ(NamesOf(s.node->Inputs()), (std::vector<std::string>{"Wave", "Count"}));
        s.node->FindInputByName("Count")->SetConstantValue({c.count, ValueType::Integer}, EHNone);
        if (c.volume != 0)
            s.loop.CreateOutput("Volume", At(0.9), false, T::Factor, D::AllValues)
                ->SetConstantValue({c.volume, ValueType::Factor}, EHNone);
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
        {"empty wave", [](LoopSetup& s) { s.host.waves["Doc"] = s.samples.Make(MonoOf({})); },
         "At Node \"R\" of Factory \"Fact\": Input Wave must not be empty."},
        {"stopped in a turn", [](LoopSetup& s) { s.host.stopAt = 5; },
         "At Node \"R\" of Factory \"Fact\": Stopped by user."},
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
