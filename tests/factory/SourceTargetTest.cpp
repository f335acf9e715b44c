// The matching score, the domain classes and the texts and colours of values and pins;
// connecting, the value a target hands on, the check of every arriving value and the use counts
// that free intermediate sounds.

#include "factory/FactoryKit.h"
#include "factory/core/SntValue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kelvorn::test {
namespace {

class Connections : public ::testing::Test, public FactoryFixture
{
protected:
    bool reported = false;
};

TEST_F(Connections, TargetCheckOfArrivingValuesAndConstants)
{
    host.waves["Stereo"] = StereoOf({1}, {2});
    const double inf = std::numeric_limits<double>::infinity();
    const std::string pin = "Output \"Out\"", cannot = "Cannot convert " + pin + " from type ";
    const std::string time0 = cannot + "Time to type Frequency, because time is 0 s.";
    const std::string freq0 = cannot + "Frequency to type Time, because frequency is 0 hertz.";
    struct Case
    {
        ValueDomType type;
        ValueDomain domain;
        TSntValue value;
        int from;            // 0 a source, 1 a constant value, 2 a constant naming the wave below
        int channels;        // of the wave a source binds: 0 none, 1 mono, 2 stereo
        std::string message; // empty: passes
    };
    using T = ValueDomType;
    using D = ValueDomain;
    using V = ValueType;
    // clang-format off
    const Case cases[] = {
        {T::Wave, D::AllValues, {}, 0, 0, pin + " got no Sound."},
        {T::Wave, D::Mono, {}, 0, 2, pin + " must be Mono, but is Stereo."},
        {T::Wave, D::Stereo, {}, 0, 1, pin + " must be Stereo, but is Mono."},
        {T::Wave, D::AllValues, {}, 0, 2, ""},
        {T::Frequency, D::AllValues, {0, V::Time}, 0, 0, time0},
        {T::Time, D::AllValues, {0, V::Frequency}, 0, 0, freq0},
        {T::Time, D::AllValues, {0, V::Time}, 0, 0, ""},
        {T::Factor, D::AllValues, {1, V::Time}, 0, 0,
         pin + " with Valuetype \"Time\" does not fit in Valuetype Domain \"Factor\"."},
        {T::NoUnit, D::AllValues, {1, V::BalanceAngle}, 0, 0, pin + " with Valuetype \"Balance "
         "Angle\" does not fit in Valuetype Domain \"Value without Unit\"."},
        {T::Factor, D::Positive, {-0.5, V::Factor}, 0, 0,
         pin + " with Value \"-0.5\" does not fit in Domain \"Positive\"."},
        {T::Factor, D::AllValues, {inf, V::Factor}, 0, 0,
         pin + " with Value \"***\" does not fit in Domain \"All Values\"."},
        {T::PlaceInWindow, D::ZeroInclOneExcl, {5000, V::PlaceInWindow}, 0, 0, ""},
        {T::Frequency, D::PositiveNotZero, {4, V::Frequency}, 0, 0, ""},
        {T::Factor, D::Positive, {-3, V::Time}, 1, 0, ""}, // a constant skips type and domain
        {T::Frequency, D::AllValues, {0, V::Time}, 1, 0, time0},
        {T::Time, D::AllValues, {0, V::Frequency}, 1, 0, freq0},
        {T::Wave, D::AllValues, {}, 2, 0, pin + " got no Sound."}, // its window is closed
        {T::Wave, D::Mono, {}, 2, 2, pin + " must be Mono, but is Stereo."},
        {T::Wave, D::Stereo, {}, 2, 2, ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        TSountoryInput* in = In("In", c.type == T::Wave ? T::Wave : T::AllValue);
        TSountoryOutput* out = Out("Out", c.type, c.domain);
        in->SetValue(c.value);
        if (c.from == 0)
            out->SetSource(in);
        else if (c.from == 1)
            out->SetConstantValue(c.value, EHNone);
        else
            out->SetConstantSound(c.channels == 2 ? "Stereo" : "Closed");
        if (c.channels == 1)
            in->SetSound(MonoOf({1, 2}));
        if (c.channels == 2)
            in->SetSound(StereoOf({1, 2}, {3, 4}));
        std::string message;
        bool reported = false;
        bool ok = out->CheckValue(nullptr, message, reported);
        EXPECT_EQ(ok, c.message.empty()) << c.message;
        EXPECT_EQ(reported, !ok) << c.message;
        EXPECT_EQ(message, c.message);
        factory.RemoveInput(in);
        factory.RemoveOutput(out);
    }
}

TEST_F(Connections, NodeInputsNameThemselvesAndUpstreamFailuresPassUnchanged)
{
    TTestNode* a = Node("A");
    TSountoryNodeOutput* ra = NodeOut(a, "r", ValueDomType::Factor);
    TSountoryNodeInput* x = NodeIn(Node("B"), "x", ValueDomType::Factor, ValueDomain::NotZero);
    x->SetSource(ra);
    EXPECT_FALSE(x->CheckValue(nullptr, message, reported)); // A computes 0
    EXPECT_EQ(message, "Node Input \"x\" with Value \"0\" does not fit in Domain \"Not Zero\".");
    EXPECT_TRUE(reported);
    x->CheckValue(nullptr, message, reported);
    EXPECT_EQ(a->computeCalls, 1); // once per run

    a->ClearCalculated();
    a->compute = [](TTestNode&, std::string& m) { return (m = "failed.", false); };
    EXPECT_FALSE(x->CheckValue(nullptr, message, reported));
    EXPECT_EQ(message, "At Node \"A\" of Factory \"Fact\": failed.");
    EXPECT_FALSE(reported);
}

TEST_F(Connections, ReadingConvertsTimeAndFrequencyAndPlacesConstants)
{
    TSountoryInput* t = In("T", ValueDomType::Time);
    TSountoryOutput* freq = Out("F", ValueDomType::Frequency);
    TSountoryOutput* time = Out("T", ValueDomType::Time);
    freq->SetSource(t);
    time->SetSource(t);
    t->SetValue({0.5, ValueType::Time});
    auto read = [](TSountoryOutput* o) {
        return std::pair(o->GetSourceValue().value, o->GetSourceValue().valueType);
    };
    EXPECT_EQ(read(freq), std::pair(2.0, ValueType::Frequency));
    EXPECT_EQ(read(time), std::pair(0.5, ValueType::Time));
    t->SetValue({4, ValueType::Frequency});
    EXPECT_EQ(read(time), std::pair(0.25, ValueType::Time));
    EXPECT_EQ(read(freq), std::pair(4.0, ValueType::Frequency));

    TSountoryInput* w = In("W", ValueDomType::Wave);
    w->SetSound(MonoOf(std::vector<int>(1000, 7)));
    TTestNode* n = Node("N");
    TSountoryNodeInput* pos =
        NodeIn(n, "Pos", ValueDomType::PlaceInWindow, ValueDomain::ZeroInclOneExcl);
    pos->SetConstantValue({0.25, ValueType::PlaceInWindow}, EHPerc);
    EXPECT_FALSE(pos->CheckValue(nullptr, message, reported)); // no "Wave" input yet
    EXPECT_TRUE(reported);
    EXPECT_EQ(message, "Node Input \"Pos\" cannot place its constant in a Wave, because Node "
                       "Input \"Wave\" got no Sound.");
    n->AddInput("Wave", At(0.1), false, ValueDomType::Wave, ValueDomain::AllValues)->SetSource(w);
    EXPECT_TRUE(pos->CheckValue(nullptr, message, reported));
    EXPECT_EQ(std::pair(pos->GetValue().value, pos->GetValue().valueType),
              std::pair(250.0, ValueType::PlaceInWindow));
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

TEST_F(Connections, ConnectingAsksOnlyWhenValuesNeverMatch)
{
    TSountoryInput* in = In("Gain", ValueDomType::Factor, ValueDomain::NegativeNotZero);
    TSountoryNodeInput* x = NodeIn(Node("N"), "x", ValueDomType::Factor, ValueDomain::Positive);
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
    TSountoryNodeOutput* own = NodeOut(n, "r", ValueDomType::Factor);
    TSountoryNodeInput* x = NodeIn(n, "x", ValueDomType::Factor);
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
    TSountoryNodeInput* ax = NodeIn(a, "x", ValueDomType::Factor);
    TSountoryNodeInput* bx = NodeIn(b, "x", ValueDomType::Factor);
    TSountoryOutput* out = Out("Out", ValueDomType::Factor);
    TSountoryOutput* fed = Out("Fed", ValueDomType::Factor);
    ax->SetSource(in);
    bx->SetSource(in);
    out->SetSource(in);
    TSountoryNodeOutput* ar = NodeOut(a, "r", ValueDomType::Factor);
    fed->SetSource(ar);
    int32_t connected = 0, others = 0;
    in->CountTargets(connected, others);
    EXPECT_EQ(std::pair(connected, others), std::pair(3, 1));
    EXPECT_EQ(a->CountConnections(), 2);
    // Another source let go of its targets by the pin dialog: only its own lose it.
    TSountoryInput* other = In("Other", ValueDomType::Factor);
    TSountoryOutput* otherOut = Out("OtherOut", ValueDomType::Factor);
    TSountoryNodeInput* bz = NodeIn(b, "z", ValueDomType::Factor);
    otherOut->SetSource(other);
    bz->SetSource(other);
    other->DisconnectAll();
    EXPECT_EQ(otherOut->GetSource(), nullptr);
    EXPECT_EQ(bz->GetSource(), nullptr);
    for (TSountoryOutputTarget* t : std::initializer_list<TSountoryOutputTarget*>{ax, bx, out})
        EXPECT_EQ(t->GetSource(), in);
    factory.RemoveInput(in);
    for (TSountoryOutputTarget* t : std::initializer_list<TSountoryOutputTarget*>{ax, bx, out})
        EXPECT_EQ(t->GetSource(), nullptr);
    factory.RemoveNode(a);
    EXPECT_EQ(fed->GetSource(), nullptr);
}

TEST_F(Connections, UseCountsFreeSoundsAfterTheLastConsumer)
{
    TTestNode* a = Node("A");
    TSountoryNodeOutput* ra = NodeOut(a, "r", ValueDomType::Wave);
    TTestNode* b = Node("B");
    TSountoryNodeInput* x = NodeIn(b, "x", ValueDomType::Wave);
    TSountoryNodeInput* y = NodeIn(b, "y", ValueDomType::Wave);
    TSountoryOutput* out = Out("Out", ValueDomType::Wave);
    out->SetSource(NodeOut(b, "r", ValueDomType::Wave));
    x->SetSource(ra);
    y->SetSource(ra);

    out->AddUseToSource();
    EXPECT_EQ(ra->GetUseCount(), 2);
    EXPECT_EQ(b->Outputs()[0]->GetUseCount(), 1);
    out->AddUseToSource(); // B is prepared once per pass
    EXPECT_EQ(ra->GetUseCount(), 2);

    LiveSounds sounds;
    ra->SetSound(sounds.Make(MonoOf({1, 2, 3})));
    x->ReleaseSource();
    EXPECT_EQ(sounds.alive, 1);
    y->ReleaseSource();
    EXPECT_EQ(sounds.alive, 0);
    EXPECT_EQ(ra->GetSound(), nullptr);

    ra->SetSound(sounds.Make(MonoOf({1})));
    x->KeepSourceSound();
    for (int i = 0; i < 3; ++i)
        y->ReleaseSource();
    EXPECT_EQ(ra->GetUseCount(), -4);
    EXPECT_EQ(sounds.alive, 1);
    ra->SetSound(nullptr);
    EXPECT_EQ(sounds.alive, 0);

    b->Outputs()[0]->ClearUseCount();
    b->Outputs()[0]->AddUse();
    b->Outputs()[0]->AddUse();
    b->ClearCalculated();
    ra->ClearUseCount();
    ra->AddUse();
    ra->AddUse();
    out->ReleaseUnusedSource(); // B still has a consumer: its inputs keep their uses
    EXPECT_EQ(ra->GetUseCount(), 2);
    out->ReleaseUnusedSource(); // the last use goes: the release goes on through B's inputs
    EXPECT_EQ(b->Outputs()[0]->GetUseCount(), 0);
    EXPECT_EQ(ra->GetUseCount(), 0);
}

TEST_F(Connections, PinDialogListsChooseSourcesAndTargets)
{
    TSountoryInput* in = In("In", ValueDomType::Factor);
    TSountoryInput* neg = In("Neg", ValueDomType::Factor, ValueDomain::NegativeNotZero);
    TSountoryOutput* a = Out("A", ValueDomType::Factor);
    TSountoryOutput* b = Out("B", ValueDomType::Factor, ValueDomain::Positive);
    TSountoryNodeInput* x = NodeIn(Node("N"), "x", ValueDomType::Factor);
    TSntList sources, targets; // "<none>", In, Neg; "<none>", A, B, N.x
    factory.FillSourceList(sources, ValueDomType::Factor, nullptr);
    factory.FillTargetList(targets, ValueDomType::Factor, nullptr);
    EXPECT_EQ(x->ShowSourceInList(sources), 0);
    x->SetSourceFromList(sources, 2);
    EXPECT_EQ(x->GetSource(), neg);
    EXPECT_EQ(x->ShowSourceInList(sources), 2);
    x->SetSourceFromList(sources, -1);
    EXPECT_EQ(x->GetSource(), nullptr);

    std::vector<bool> selected;
    in->ShowTargetsInList(targets, selected);
    EXPECT_EQ(selected, (std::vector<bool>{true, false, false, false}));
    neg->SetTargetsFromList(targets, {false, true, true, false}); // B never matches: asked
    EXPECT_EQ(a->GetSource(), neg);
    EXPECT_EQ(b->GetSource(), neg);
    EXPECT_EQ(host.warnings.size(), 1u);
    neg->SetTargetsFromList(targets, {false, false, true, true});
    EXPECT_EQ(a->GetSource(), nullptr);
    EXPECT_EQ(x->GetSource(), neg);
    neg->ShowTargetsInList(targets, selected);
    EXPECT_EQ(selected, (std::vector<bool>{false, false, true, true}));
    neg->SetTargetsFromList({targets[0], targets[1]}, {true, true}); // B and N.x have no line
    EXPECT_EQ(b->GetSource(), nullptr);
    EXPECT_EQ(x->GetSource(), nullptr);
    EXPECT_EQ(a->GetSource(), neg);
    neg->SetTargetsFromList(targets, {false, false, true}); // the lines past it: not chosen
    EXPECT_EQ(a->GetSource(), nullptr);
    EXPECT_EQ(b->GetSource(), neg);
    EXPECT_EQ(x->GetSource(), nullptr);
}

ValueDomType DT(int code)
{
    return static_cast<ValueDomType>(code);
}
ValueDomain DM(int code)
{
    return static_cast<ValueDomain>(code);
}

// Row: source domain type, column: target domain type, both with the domain All Values, so
// the result is the type score alone.
const char* const typeScores[ValueDomTypeCount] = {
    "2000000000000002222", "0200000000000002200", "0020000000000002202", "0002000000000002222",
    "0000200000000002200", "0000020000000002200", "0000002100000002200", "0000001200000002200",
    "0000000020000002200", "0000000002000002200", "0000000000200000200", "0000000000020000200",
    "0000000000002000200", "0000000000000200200", "0000000000000020000", "1111111111000002211",
    "1111111111111101211", "1001000000000002222", "1011000000000002212"};

TEST(SntValue, CanMatchOverAllDomainTypes)
{
    for (int s = 0; s < ValueDomTypeCount; ++s)
        for (int t = 0; t < ValueDomTypeCount; ++t)
            EXPECT_EQ(CanMatch(ValueDomain::AllValues, DT(s), ValueDomain::AllValues, DT(t)),
                      typeScores[s][t] - '0')
                << "source " << s << " target " << t;
}

TEST(SntValue, CanMatchWithDomains)
{
    struct Case
    {
        int sourceDomain, sourceType, targetDomain, targetType, expected;
    };
    // clang-format off
    const Case cases[] = {
        {3, 6, 3, 7, 1}, {0, 0, 0, 15, 2}, {0, 15, 0, 0, 1}, {0, 16, 0, 15, 1}, {0, 15, 0, 16, 2},
        {0, 14, 11, 14, 1}, {11, 14, 12, 14, 0}, {11, 14, 0, 14, 2}, // a wave of either kind
        {3, 0, 5, 0, 1}, {8, 0, 3, 0, 2}, {2, 0, 3, 0, 1}, {4, 0, 3, 0, 0}, // 0 may arrive
        {5, 2, 0, 10, 0}, {9, 16, 7, 15, 0}, // the smaller of type and domain score
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(
            CanMatch(DM(c.sourceDomain), DT(c.sourceType), DM(c.targetDomain), DT(c.targetType)),
            c.expected)
            << c.sourceDomain << "/" << c.sourceType << " -> " << c.targetDomain << "/"
            << c.targetType;
    for (int score : {2, 1, 0, -1})
        EXPECT_EQ(GetMatchHighlight(score), 4 - score) << score;
}

TEST(SntValue, DomainClassesAndNonFiniteValues)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double xs[] = {-2, -1, -0.5, 0, 0.5, 1, 2, inf, -inf, std::nan("")};
    // One row per domain, one column per value above.
    const char* const inDomain[ValueDomainCount] = {
        "1111111000", "1110111000", "1111000000", "0001111000", "1110000000",
        "0000111000", "0001110000", "0000100000", "0001100000", "0000001000",
        "0111110000", "0000100000", "0000010000"};
    for (int d = 0; d < ValueDomainCount; ++d)
        for (size_t i = 0; i < std::size(xs); ++i)
            EXPECT_EQ(IsValueInDomain(xs[i], DM(d)), inDomain[d][i] == '1')
                << "domain " << d << " value " << xs[i];
}

TEST(SntValue, TypeDomainTextsAndColours)
{
    struct Case
    {
        int type, domain;
        const char* text;
        uint32_t color;
    };
    // clang-format off
    const Case cases[] = {
        {6, 3, "Time, Positive", 0x0000B0}, {10, 3, "Boolean", 0xA000A0},
        {11, 0, "Mono/Stereo", 0x809000}, {12, 0, "Bytes per Sample", 0x00A000},
        {13, 0, "Sample Frequency", 0x009080}, {1, 10, "Balance Angle, [-1,1]", 0x408878},
        {2, 8, "Place in Wave, [0,1>", 0x307090}, {9, 8, "Place in Window, [0,1>", 0x888800},
        {14, 0, "Wave, All Values", 0x606060}, {14, 11, "Wave, Mono", 0x0000C0},
        {14, 12, "Wave, Stereo", 0xC00000}, {14, 3, "Wave, Positive", 0xC0C0C0},
        {15, 5, "All Computable Values, Positive Not Zero", 0x406090},
        {18, 9, "Value without Unit, Positive More Than 1", 0x906040},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(GetTypeDomainText(DT(c.type), DM(c.domain)), c.text);
        EXPECT_EQ(GetTypeDomainColor(DT(c.type), DM(c.domain)), c.color) << c.text;
    }
    EXPECT_EQ(GetWaveListMode(ValueDomain::Stereo), 3);
    EXPECT_EQ(GetWaveListMode(ValueDomain::Positive), 0);
}

TEST(SntValue, LabelsAndWaveTexts)
{
    struct Case
    {
        TSntValue value;
        const char* label;
    };
    using V = ValueType;
    // clang-format off
    const Case cases[] = {
        {{88200, V::WaveSampleFrequency}, "Sample Frequency\nValue: 88kHz"},
        {{176128, V::WaveSampleFrequency}, "Sample Frequency\nValue: 176 kHz"},
        {{176400, V::WaveSampleFrequency}, "Sample Frequency\nValue: "},
        {{1, V::Boolean}, "Boolean\nValue: True"}, {{2, V::Boolean}, "Boolean\nValue: "},
        {{2, V::WaveMonoStereo}, "Mono/Stereo\nValue: Stereo"},
        {{1.7, V::WaveBytesPerSample}, "Bytes per Sample\nValue: 1 Byte per Sample"},
        {{0.5, V::Time}, "Time\nValue: 500 ms"}, {{2, V::Time}, "Time\nValue: 2 s"},
        {{1500, V::Frequency}, "Frequency\nValue: 1.5 khz"},
        {{999, V::Frequency}, "Frequency\nValue: 999 hz"},
        {{0.005, V::FysicalLength}, "Fysical Length\nValue: 5 mm"},
        {{0.05, V::FysicalLength}, "Fysical Length\nValue: 5 cm"},
        {{0.5, V::FysicalLength}, "Fysical Length\nValue: 5 dm"},
        {{1000, V::FysicalLength}, "Fysical Length\nValue: 1 km"},
        {{0.25, V::Factor}, "Factor\nValue: 25 %"}, {{-3, V::Angle}, "Angle\nValue: -3"},
        {{0.5, V::BalanceAngle}, "Balance Angle\nValue: 45 '"},
        {{-7.9, V::Integer}, "Integer\nValue: -7"},
        {{0.5, V::WaveValue}, "Wave Value\nValue: 0 %"},
        {{250.6, V::PlaceInWindow}, "Place in Window\nValue: 250.6 samples"},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(ValueToAutoLabel(c.value), "Type: " + std::string(c.label));
    EXPECT_EQ(ValueToText({1, ValueType::Boolean}, EHNone), "Oops! Unknown value!");
    EXPECT_EQ(WavePropsToText(TWaveFileProps(1, 22050, 1), 100),
              "Mono\n1 byte per sample\nsample freq: 22050 Hz\nlength: 100 samples");
    EXPECT_EQ(WavePropsToText(TWaveFileProps(2, 176128, 2), 0),
              "Stereo\n2 bytes per sample\nsample freq: 176128 Hz\nlength: 0 samples");
}

} // namespace
} // namespace kelvorn::test
