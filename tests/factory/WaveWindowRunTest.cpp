// A factory run on a wave document's selection: every check that refuses before anything runs,
// the positions handed in and back, a result the run made taken as it is, one it only passed on
// copied, and a stop that keeps the wave.
#include "factory/core/WaveWindowRun.h"

#include "factory/FactoryKit.h"
#include "support/Documents.h"

#include <gtest/gtest.h>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using T = ValueDomType;
using D = ValueDomain;

/// A change-wave-window factory: "Wave" and the four positions in, "Result" and the two
/// positions out, and a node between that the test programs.
struct WaveRunFactory : FactoryFixture
{
    WaveRunFactory()
    {
        wave = In("Wave", T::Wave);
        for (const char* name : {"Select Begin", "Select End", "Replace Begin", "Replace End"})
            In(name, T::PlaceInWindow, D::ZeroInclOneExcl);
        result = Out("Result", T::Wave);
        Out("Position Begin", T::PlaceInWindow, D::ZeroInclOneExcl);
        Out("Position End", T::PlaceInWindow, D::ZeroInclOneExcl);
        node = Node("Cut");
        NodeIn(node, "Wave", T::Wave)->SetSource(wave);
        NodeIn(node, "Begin", T::PlaceInWindow)->SetSource(factory.FindInput("Select Begin"));
        NodeIn(node, "End", T::PlaceInWindow)->SetSource(factory.FindInput("Replace End"));
        result->SetSource(NodeOut(node, "Result", T::Wave));
        factory.FindOutput("Position Begin")->SetSource(NodeOut(node, "B", T::PlaceInWindow));
        factory.FindOutput("Position End")->SetSource(NodeOut(node, "E", T::PlaceInWindow));
        // The node makes the values [Begin, End) of its wave and gives back where it put them:
        // 1 .. the count, shifted by 100 to show it was clamped.
        node->compute = [](TTestNode& n, std::string&) {
            const int32_t b = int32_t(n.Inputs()[1]->GetSourceValue().value);
            const int32_t e = int32_t(n.Inputs()[2]->GetSourceValue().value);
            std::vector<int> values;
            for (int32_t i = b; i < e; ++i)
                values.push_back((*n.Inputs()[0]->GetSound()->GetLeftWave())[i]);
            SoundPtr made = MonoOf(values);
            made->SetRunResult(true);
            n.Outputs()[0]->SetSound(made);
            n.Outputs()[1]->SetValue(TSntValue(1, ValueType::PlaceInWindow));
            n.Outputs()[2]->SetValue(TSntValue(values.size() + 100.0, ValueType::PlaceInWindow));
            return true;
        };
    }

    bool RunOn(WaveDoc& doc)
    {
        message.clear();
        return RunFactoryAtWave(factory, doc.wave, asker, message);
    }

    TSountoryInput* wave;
    TSountoryOutput* result;
    TTestNode* node;
};

struct WaveRunFixture : ::testing::Test, WaveRunFactory
{
};

TEST_F(WaveRunFixture, EachCheckRefusesBeforeAnythingRunsAndTheWaveStays)
{
    struct Case
    {
        const char* message;
        std::function<void(WaveRunFactory&)> spoil;
        bool stereo = false;
    };
    const Case cases[] = {
        {"Cannot find Input \"Wave\".", [](WaveRunFactory& f) { f.wave->Name = "Sound"; }},
        {"Cannot find Output \"Result\".", [](WaveRunFactory& f) { f.result->Name = "Out"; }},
        {"Input \"Wave\" is not a valuetype domain of \"Wave\".",
         [](WaveRunFactory& f) { f.wave->SetValueDomType(T::Factor); }},
        {"Input \"Wave\" is type of \"Mono\", but the Wave is Stereo.",
         [](WaveRunFactory& f) { f.wave->SetValueDomain(D::Mono); }, true},
        {"Input \"Wave\" is type of \"Stereo\", but the Wave is Mono.",
         [](WaveRunFactory& f) { f.wave->SetValueDomain(D::Stereo); }},
        {"Output \"Result\" is not a valuetype domain of \"Wave\".",
         [](WaveRunFactory& f) { f.result->SetValueDomType(T::Factor); }},
        {"Output \"Result\" is mandatory.",
         [](WaveRunFactory& f) { f.result->SetSource(nullptr); }},
        {"Input \"Replace Begin\" is not a valuetype domain of \"wave position\".",
         [](WaveRunFactory& f) {
             f.factory.FindInput("Replace Begin")->SetValueDomType(T::Integer);
         }},
        {"Output \"Position End\" is not a valuetype domain of \"wave position\".",
         [](WaveRunFactory& f) { f.factory.FindOutput("Position End")->SetValueDomType(T::Time); }},
        {"Stopped by user.",
         [](WaveRunFactory& f) {
             f.In("Level", T::Factor);
             f.asker.valuesOk = false;
         }},
    };
    for (const Case& c : cases) {
        WaveRunFactory f;
        c.spoil(f);
        SoundPtr sound = c.stereo ? RampStereo(20) : RampMono(20);
        WaveDoc doc(sound);
        doc.wave.SetPart(4, 9);
        f.factory.SetRunState(sntRunFailed);
        EXPECT_FALSE(f.RunOn(doc));
        EXPECT_EQ(f.factory.GetRunState(), sntRunIdle);
        EXPECT_EQ(f.message, c.message);
        EXPECT_EQ(doc.wave.GetSound(), sound);
        EXPECT_EQ(doc.window.calls, std::vector<std::string>{}) << c.message;
        EXPECT_EQ(f.node->computeCalls, 0);
    }
}

TEST_F(WaveRunFixture, TheSelectionGoesInAndTheResultWithItsPartComesBack)
{
    WaveDoc doc(RampMono(20));
    doc.wave.SetPart(4, 9);
    ASSERT_TRUE(RunOn(doc)) << message;
    // Select Begin 4 and Replace End 9: values 4 .. 8; the part 1 .. 105 held to the length.
    EXPECT_EQ(ChannelsOf(*doc.wave.GetSound()), (std::vector<std::vector<int>>{{4, 5, 6, 7, 8}}));
    EXPECT_FALSE(doc.wave.GetSound()->GetRunResult());
    EXPECT_EQ(doc.wave.GetPartBegin(), 1);
    EXPECT_EQ(doc.wave.GetPartEnd(), 5);
    EXPECT_EQ(doc.window.calls,
              (std::vector<std::string>{"SaveZoom 4 9", "RestoreZoom 1 5", "RefreshWave"}));
    // The run let go of every sound: the document holds the only reference to its new one.
    EXPECT_EQ(doc.wave.GetSound().use_count(), 1);

    // A cursor: the whole wave is the selection, the cursor's place the part to replace.
    WaveDoc cursor(RampMono(20));
    cursor.wave.SetCursor(6);
    ASSERT_TRUE(RunOn(cursor)) << message;
    EXPECT_EQ(ChannelsOf(*cursor.wave.GetSound()),
              (std::vector<std::vector<int>>{{0, 1, 2, 3, 4, 5}}));
    // Positions before the wave's start hold at 0.
    for (const char* name : {"Position Begin", "Position End"})
        factory.FindOutput(name)->SetConstantValue(TSntValue(-0.5, ValueType::PlaceInWindow),
                                                   EHPerc);
    ASSERT_TRUE(RunOn(cursor)) << message;
    EXPECT_EQ(cursor.wave.GetPartBegin(), 0);
    EXPECT_EQ(cursor.wave.GetPartEnd(), 0);
}

TEST_F(WaveRunFixture, AWaveOnlyPassedThroughIsCopiedAndAStopKeepsTheOldOne)
{
    result->SetSource(wave);
    factory.FindOutput("Position Begin")->SetSource(nullptr);
    factory.FindOutput("Position End")->SetSource(nullptr);
    SoundPtr sound = RampStereo(8);
    WaveDoc doc(sound);
    doc.wave.SetPart(2, 5);
    ASSERT_TRUE(RunOn(doc)) << message;
    EXPECT_NE(doc.wave.GetSound(), sound);
    EXPECT_EQ(ChannelsOf(*doc.wave.GetSound()), ChannelsOf(*sound));
    EXPECT_EQ(doc.wave.GetSound()->GetMonoStereo(), 2);
    // Without position outputs the selection stays.
    EXPECT_EQ(doc.wave.GetPartBegin(), 2);
    EXPECT_EQ(doc.wave.GetPartEnd(), 5);

    // A stop as the node starts (after its preparation): the result goes, the wave and its
    // selection stay.
    result->SetSource(node->Outputs()[0].get());
    host.stopAt = int32_t(host.progress.size()) + 2;
    SoundPtr kept = doc.wave.GetSound();
    EXPECT_FALSE(RunOn(doc));
    EXPECT_EQ(message, "Stopped by user.");
    EXPECT_EQ(doc.wave.GetSound(), kept);
    EXPECT_EQ(doc.wave.GetPartBegin(), 2);
    EXPECT_EQ(doc.wave.GetPartEnd(), 5);
    EXPECT_EQ(doc.window.Calls("RefreshWave").size(), 3u);

    // The document's failure flag, which memory that cannot be had sets, is no user's stop.
    host.stopAt = int32_t(host.progress.size()) + 2;
    host.stopMark = 1;
    EXPECT_FALSE(RunOn(doc));
    EXPECT_EQ(message, "There is not enough memmory for this operation.");
    EXPECT_EQ(doc.wave.GetSound(), kept);
}

TEST_F(WaveRunFixture, ARunThatGivesNoWaveFailsAndKeepsTheOldOne)
{
    node->compute = [](TTestNode&, std::string&) { return true; };
    WaveDoc doc(RampMono(6));
    SoundPtr sound = doc.wave.GetSound();
    EXPECT_FALSE(RunOn(doc));
    EXPECT_EQ(message, "Output \"Result\" got no Sound.");
    EXPECT_EQ(doc.wave.GetSound(), sound);
}

} // namespace
