// Where pins sit and are hit, the connection lists of the pin dialog, the hint texts, lookup of
// a node's pins by name and the merge that keeps wiring when pins are made again.

#include "factory/FactoryKit.h"

#include <gtest/gtest.h>

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
        TSntPoint centre{c.pin == in ? 25 : 35, c.pin->GetY()};
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

} // namespace
} // namespace kelvorn::test
