// Connecting, the value a target hands on, the check of every arriving value and the use counts
// that free intermediate sounds.

#include "factory/FactoryKit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kelvorn::test {
namespace {

class Connections : public ::testing::Test, public FactoryFixture
{
};

TEST_F(Connections, TargetCheckOfArrivingValues)
{
    const double inf = std::numeric_limits<double>::infinity();
    struct Case
    {
        ValueDomType type;
        ValueDomain domain;
        TSntValue value;
        int channels;        // a wave source: 0 none bound, 1 mono, 2 stereo
        const char* message; // empty: passes
    };
    const Case cases[] = {
        {ValueDomType::Wave, ValueDomain::AllValues, {}, 0, "Output \"Out\" got no Sound."},
        {ValueDomType::Wave,
         ValueDomain::Mono,
         {},
         2,
         "Output \"Out\" must be Mono, but is Stereo."},
        {ValueDomType::Wave,
         ValueDomain::Stereo,
         {},
         1,
         "Output \"Out\" must be Stereo, but is Mono."},
        {ValueDomType::Wave, ValueDomain::AllValues, {}, 2, ""},
        {ValueDomType::Frequency,
         ValueDomain::AllValues,
         {0, ValueType::Time},
         0,
         "Cannot convert Output \"Out\" from type Time to type Frequency, because time is 0 s."},
        {ValueDomType::Time,
         ValueDomain::AllValues,
         {0, ValueType::Frequency},
         0,
         "Cannot convert Output \"Out\" from type Frequency to type Time, because frequency is 0 "
         "hertz."},
        {ValueDomType::Time, ValueDomain::AllValues, {0, ValueType::Time}, 0, ""},
        {ValueDomType::Factor,
         ValueDomain::AllValues,
         {1, ValueType::Time},
         0,
         "Output \"Out\" with Valuetype \"Time\" does not fit in Valuetype Domain \"Factor\"."},
        {ValueDomType::NoUnit,
         ValueDomain::AllValues,
         {1, ValueType::BalanceAngle},
         0,
         "Output \"Out\" with Valuetype \"Balance Angle\" does not fit in Valuetype Domain "
         "\"Value without Unit\"."},
        {ValueDomType::Factor,
         ValueDomain::Positive,
         {-0.5, ValueType::Factor},
         0,
         "Output \"Out\" with Value \"-0.5\" does not fit in Domain \"Positive\"."},
        {ValueDomType::Factor,
         ValueDomain::AllValues,
         {inf, ValueType::Factor},
         0,
         "Output \"Out\" with Value \"***\" does not fit in Domain \"All Values\"."},
        {ValueDomType::PlaceInWindow,
         ValueDomain::ZeroInclOneExcl,
         {5000, ValueType::PlaceInWindow},
         0,
         ""},
        {ValueDomType::Frequency, ValueDomain::PositiveNotZero, {4, ValueType::Frequency}, 0, ""},
    };
    for (const Case& c : cases) {
        RecordingHost host;
        TUnitSountory f("F", "f.kvf", host);
        bool wave = c.type == ValueDomType::Wave;
        TSountoryInput* in =
            f.CreateInput("In", At(0.5), false, wave ? ValueDomType::Wave : ValueDomType::AllValue,
                          ValueDomain::AllValues);
        TSountoryOutput* out = f.CreateOutput("Out", At(0.5), false, c.type, c.domain);
        out->SetSource(in);
        in->SetValue(c.value);
        if (c.channels == 1)
            in->SetSound(MonoOf({1, 2}));
        if (c.channels == 2)
            in->SetSound(StereoOf({1, 2}, {3, 4}));
        std::string message;
        bool reported = false;
        bool ok = out->CheckValue(nullptr, message, reported);
        EXPECT_EQ(ok, *c.message == 0) << c.message;
        EXPECT_EQ(reported, !ok) << c.message;
        EXPECT_EQ(message, c.message);
    }
}

TEST_F(Connections, NodeInputChecksNameThePinAndUpstreamMessagesPassUnchanged)
{
    TTestNode* a = Node("A");
    TSountoryNodeOutput* ra =
        a->AddOutput("r", At(0.5), false, ValueDomType::Factor, ValueDomain::AllValues);
    TTestNode* b = Node("B");
    TSountoryNodeInput* x =
        b->AddInput("x", At(0.5), false, ValueDomType::Factor, ValueDomain::NotZero);
    TSountoryOutput* out = Out("Out", ValueDomType::Factor);
    TSountoryNodeOutput* rb =
        b->AddOutput("r", At(0.5), false, ValueDomType::Factor, ValueDomain::AllValues);
    x->SetSource(ra);
    out->SetSource(rb);

    std::string message;
    bool reported = true;
    EXPECT_FALSE(out->CheckValue(nullptr, message, reported)); // A computes 0
    EXPECT_EQ(message, "At Node \"B\": Node Input \"x\" with Value \"0\" does not fit in Domain "
                       "\"Not Zero\".");
    EXPECT_FALSE(reported);
    EXPECT_EQ(a->computeCalls, 1);
    EXPECT_EQ(b->computeCalls, 0);

    a->ClearCalculated();
    a->compute = [&](TTestNode&, std::string&) {
        ra->SetValue({2, ValueType::Factor});
        return true;
    };
    EXPECT_TRUE(out->CheckValue(nullptr, message, reported));
    EXPECT_TRUE(out->CheckValue(nullptr, message, reported)); // computed once per run
    EXPECT_EQ(b->computeCalls, 1);
}

TEST_F(Connections, ReadingConvertsTimeAndFrequencyAndPlacesConstants)
{
    TSountoryInput* t = In("T", ValueDomType::Time);
    TSountoryOutput* freq = Out("F", ValueDomType::Frequency);
    TSountoryOutput* time = Out("T", ValueDomType::Time);
    freq->SetSource(t);
    time->SetSource(t);
    t->SetValue({0.5, ValueType::Time});
    EXPECT_EQ(freq->GetSourceValue().valueType, ValueType::Frequency);
    EXPECT_EQ(freq->GetSourceValue().value, 2.0);
    EXPECT_EQ(time->GetSourceValue().value, 0.5);
    t->SetValue({4, ValueType::Frequency});
    EXPECT_EQ(time->GetSourceValue().valueType, ValueType::Time);
    EXPECT_EQ(time->GetSourceValue().value, 0.25);
    EXPECT_EQ(freq->GetSourceValue().value, 4.0);

    TSountoryInput* w = In("W", ValueDomType::Wave);
    w->SetSound(MonoOf(std::vector<int>(1000, 7)));
    TTestNode* n = Node("N");
    TSountoryNodeInput* pos = n->AddInput("Pos", At(0.5), false, ValueDomType::PlaceInWindow,
                                          ValueDomain::ZeroInclOneExcl);
    pos->SetConstantValue({0.25, ValueType::PlaceInWindow}, EHPerc);
    std::string message;
    bool reported = false;
    EXPECT_FALSE(pos->CheckValue(nullptr, message, reported)); // no "Wave" input yet
    EXPECT_TRUE(reported);
    EXPECT_EQ(message, "Node Input \"Pos\" cannot place its constant in a Wave, because Node "
                       "Input \"Wave\" got no Sound.");
    n->AddInput("Wave", At(0.1), false, ValueDomType::Wave, ValueDomain::AllValues)->SetSource(w);
    EXPECT_TRUE(pos->CheckValue(nullptr, message, reported));
    EXPECT_EQ(pos->GetValue().value, 250.0);
    EXPECT_EQ(pos->GetValue().valueType, ValueType::PlaceInWindow);
    TSntValue raw;
    EXPECT_TRUE(pos->TryGetValue(raw));
    EXPECT_EQ(raw.value, 0.25);

    TSountoryOutput* begin = Out("Position Begin", ValueDomType::PlaceInWindow);
    begin->SetConstantValue({0.5, ValueType::PlaceInWindow}, EHPerc);
    EXPECT_FALSE(begin->CheckValue(nullptr, message, reported));
    EXPECT_EQ(message, "Output \"Position Begin\" cannot place its constant in a Wave, because "
                       "Output \"Result\" got no Sound.");
    Out("Result", ValueDomType::Wave)->SetSource(w);
    EXPECT_TRUE(begin->CheckValue(nullptr, message, reported));
    EXPECT_EQ(begin->GetValue().value, 500.0);
}

TEST_F(Connections, ConstantsSkipTypesButNotBrokenValues)
{
    host.waves["Stereo"] = StereoOf({1}, {2});
    struct Case
    {
        ValueDomType type;
        ValueDomain domain;
        TSntValue constant;
        const char* sound; // a wave constant's window name
        const char* message;
    };
    const Case cases[] = {
        {ValueDomType::Factor, ValueDomain::Positive, {-3, ValueType::Time}, nullptr, ""},
        {ValueDomType::Wave, ValueDomain::AllValues, {}, "Closed", "Output \"K\" got no Sound."},
        {ValueDomType::Wave,
         ValueDomain::Mono,
         {},
         "Stereo",
         "Output \"K\" must be Mono, but is Stereo."},
        {ValueDomType::Wave, ValueDomain::Stereo, {}, "Stereo", ""},
        {ValueDomType::Frequency,
         ValueDomain::AllValues,
         {0, ValueType::Time},
         nullptr,
         "Cannot convert Output \"K\" from type Time to type Frequency, because time is 0 s."},
        {ValueDomType::Time,
         ValueDomain::AllValues,
         {0, ValueType::Frequency},
         nullptr,
         "Cannot convert Output \"K\" from type Frequency to type Time, because frequency is 0 "
         "hertz."},
    };
    for (const Case& c : cases) {
        TSountoryOutput* k = Out("K", c.type, c.domain);
        if (c.sound)
            k->SetConstantSound(c.sound);
        else
            k->SetConstantValue(c.constant, EHNone);
        std::string message;
        bool reported = false;
        EXPECT_EQ(k->CheckValue(nullptr, message, reported), *c.message == 0) << c.message;
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(reported, *c.message != 0);
        factory.RemoveOutput(k);
    }
}

TEST_F(Connections, ConnectingAsksOnlyWhenValuesNeverMatch)
{
    TSountoryInput* in = In("Gain", ValueDomType::Factor, ValueDomain::NegativeNotZero);
    TSountoryNodeInput* x =
        Node("N")->AddInput("x", At(0.5), false, ValueDomType::Factor, ValueDomain::Positive);
    x->SetConstantValue({1, ValueType::Factor}, EHNone);
    host.answerOk = false;
    EXPECT_FALSE(x->ConnectTo(in));
    EXPECT_EQ(x->GetSource(), nullptr);
    EXPECT_TRUE(x->GetHasConstant());
    EXPECT_EQ(host.warnings,
              std::vector<std::string>{"Make Connection between \"Gain\" and \"N.x | Values out "
                                       "from the Source of this connection will never match the "
                                       "Target."});
    host.answerOk = true;
    EXPECT_TRUE(x->ConnectTo(in));
    EXPECT_EQ(x->GetSource(), in);
    EXPECT_FALSE(x->GetHasConstant());
    TSountoryInput* any = In("Any", ValueDomType::Factor, ValueDomain::AllValues);
    EXPECT_TRUE(x->ConnectTo(any)); // sometimes: no question
    EXPECT_EQ(host.warnings.size(), 2u);
}

TEST_F(Connections, WhichEndsTheEditorMayJoin)
{
    TTestNode* n = Node("N");
    TSountoryNodeOutput* own =
        n->AddOutput("r", At(0.5), false, ValueDomType::Factor, ValueDomain::AllValues);
    TSountoryNodeInput* x =
        n->AddInput("x", At(0.5), false, ValueDomType::Factor, ValueDomain::AllValues);
    TSountoryInput* f = In("F", ValueDomType::Time);
    TSountoryInput* w = In("W", ValueDomType::Wave);
    TSountoryOutput* r = Out("R", ValueDomType::Wave);
    EXPECT_FALSE(x->CanConnect(own));
    EXPECT_TRUE(x->CanConnect(f));
    EXPECT_FALSE(x->CanConnect(w));
    EXPECT_TRUE(r->CanConnect(w));
    EXPECT_FALSE(r->CanConnect(own));
}

TEST_F(Connections, DeletingASourceDisconnectsAllItsTargets)
{
    TSountoryInput* in = In("In", ValueDomType::Factor);
    TTestNode* a = Node("A");
    TTestNode* b = Node("B");
    TSountoryNodeInput* ax =
        a->AddInput("x", At(0.5), false, ValueDomType::Factor, ValueDomain::AllValues);
    TSountoryNodeInput* bx =
        b->AddInput("x", At(0.5), false, ValueDomType::Factor, ValueDomain::AllValues);
    TSountoryOutput* out = Out("Out", ValueDomType::Factor);
    TSountoryOutput* fed = Out("Fed", ValueDomType::Factor);
    ax->SetSource(in);
    bx->SetSource(in);
    out->SetSource(in);
    TSountoryNodeOutput* ar =
        a->AddOutput("r", At(0.5), false, ValueDomType::Factor, ValueDomain::AllValues);
    fed->SetSource(ar);
    int32_t connected = 0, others = 0;
    in->CountTargets(connected, others);
    EXPECT_EQ(connected, 3);
    EXPECT_EQ(others, 1);
    EXPECT_EQ(a->CountConnections(), 2);
    factory.RemoveInput(in);
    EXPECT_EQ(ax->GetSource(), nullptr);
    EXPECT_EQ(bx->GetSource(), nullptr);
    EXPECT_EQ(out->GetSource(), nullptr);
    factory.RemoveNode(a);
    EXPECT_EQ(fed->GetSource(), nullptr);
}

TEST_F(Connections, UseCountsFreeSoundsAfterTheLastConsumer)
{
    TTestNode* a = Node("A");
    TSountoryNodeOutput* ra =
        a->AddOutput("r", At(0.5), false, ValueDomType::Wave, ValueDomain::AllValues);
    TTestNode* b = Node("B");
    TSountoryNodeInput* x =
        b->AddInput("x", At(0.5), false, ValueDomType::Wave, ValueDomain::AllValues);
    TSountoryNodeInput* y =
        b->AddInput("y", At(0.5), false, ValueDomType::Wave, ValueDomain::AllValues);
    TSountoryOutput* out = Out("Out", ValueDomType::Wave);
    out->SetSource(b->AddOutput("r", At(0.5), false, ValueDomType::Wave, ValueDomain::AllValues));
    x->SetSource(ra);
    y->SetSource(ra);

    out->AddUseToSource();
    EXPECT_EQ(ra->GetUseCount(), 2);
    EXPECT_EQ(b->Outputs()[0]->GetUseCount(), 1);
    out->AddUseToSource(); // B is prepared once per pass
    EXPECT_EQ(ra->GetUseCount(), 2);

    SoundPtr sound = MonoOf({1, 2, 3});
    std::weak_ptr<Sound> alive = sound;
    ra->SetSound(std::move(sound));
    x->ReleaseSource();
    EXPECT_FALSE(alive.expired());
    y->ReleaseSource();
    EXPECT_TRUE(alive.expired());
    EXPECT_EQ(ra->GetSound(), nullptr);

    sound = MonoOf({1});
    alive = sound;
    ra->SetSound(std::move(sound));
    x->KeepSourceSound();
    for (int i = 0; i < 3; ++i)
        y->ReleaseSource();
    EXPECT_EQ(ra->GetUseCount(), -4);
    EXPECT_FALSE(alive.expired());

    ra->ClearUseCount();
    ra->AddUse();
    b->Outputs()[0]->ClearUseCount();
    b->Outputs()[0]->AddUse();
    out->ReleaseUnusedSource(); // the release goes on through B's inputs
    EXPECT_EQ(b->Outputs()[0]->GetUseCount(), 0);
    EXPECT_EQ(ra->GetUseCount(), -1);
}

} // namespace
} // namespace kelvorn::test
