// Where pins sit and are hit, the connection lists of the pin dialog and the hint texts.

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
        int x, drawnY, connectionY;
    };
    TSountoryInput* in = In("I", ValueDomType::Factor);
    TSountoryOutput* out = Out("O", ValueDomType::Factor);
    TSountoryNodeInput* nin =
        node->AddInput("a", At(0), false, ValueDomType::Factor, ValueDomain::AllValues);
    TSountoryNodeOutput* nout =
        node->AddOutput("r", At(0), false, ValueDomType::Factor, ValueDomain::AllValues);
    const Case cases[] = {{in, 0, 25, 0, 0},       {in, 1, 25, 101, 101}, {in, 0.5, 25, 51, 50},
                          {out, 0.5, 460, 51, 50}, {nin, 0, 35, 43, 43},  {nin, 1, 35, 128, 128},
                          {nout, 0.5, 135, 86, 85}};
    for (const Case& c : cases) {
        c.pin->SetHeight(At(c.height));
        EXPECT_EQ(c.pin->GetY(), c.drawnY) << c.height;
        EXPECT_EQ(c.pin->GetConnectionY(), c.connectionY) << c.height;
    }
    EXPECT_EQ(in->GetSourcePoint().x, 25);
    EXPECT_EQ(out->GetTargetPoint().x, 460);
    EXPECT_EQ(nin->GetTargetPoint().x, 35);
    EXPECT_EQ(nout->GetSourcePoint().x, 135);

    const std::pair<int, double> drags[] = {{-40, 0}, {0, 0}, {101, 1}, {500, 1}};
    for (auto [y, h] : drags) {
        in->SetHeightFromY(y);
        EXPECT_EQ(in->GetHeightValue(), h) << y;
    }
    nin->SetHeightFromY(85);
    EXPECT_NEAR(nin->GetHeightValue(), 42.0 / 85.0, 1e-12);
    nin->SetHeightFromY(0);
    EXPECT_EQ(nin->GetHeightValue(), 0);
}

TEST_F(Pins, HitLimits)
{
    TSountoryInput* in = In("I", ValueDomType::Factor);
    TSountoryNodeInput* nin =
        Node("N")->AddInput("a", At(0.5), false, ValueDomType::Factor, ValueDomain::AllValues);
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
    a->AddInput("in", At(0.5), false, ValueDomType::Wave, ValueDomain::Mono);
    a->AddOutput("out", At(0.5), false, ValueDomType::AllValue, ValueDomain::AllValues);
    TTestNode* b = Node("B");
    b->AddOutput("w", At(0.5), false, ValueDomType::Wave, ValueDomain::AllValues);
    b->AddInput("x", At(0.5), false, ValueDomType::Time, ValueDomain::AllValues);

    auto texts = [](const TSntList& list) {
        std::vector<std::string> t;
        for (const auto& e : list)
            t.push_back(e.text);
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
    TSountoryNodeInput* ni =
        n->AddInput("a", At(0.5), false, ValueDomType::Factor, ValueDomain::AllValues);
    TSountoryNodeOutput* no =
        n->AddOutput("r", At(0.5), false, ValueDomType::Frequency, ValueDomain::AllValues);
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
    const Step steps[] = {
        {0,
         0,
         false,
         {"Undefined", "Undefined", "Undefined", "Type: Factor\nValue: 0.25", "Wave: \"Beep\"",
          "Undefined", "Undefined"}},
        {1,
         1,
         false,
         {"Type: Factor\nValue: 50 %", "Wave: \"Beep\"", "Undefined", "Type: Factor\nValue: 0.25",
          "Wave: \"Beep\"", "Type: Factor\nValue: 50 %", "Undefined"}},
        {2,
         2,
         true,
         {"Type: Factor\nValue: 50 %", "Wave: \"Beep\"\n" + props, "Type: Factor\nValue: 50 %",
          "Type: Factor\nValue: 0.25", "Wave: \"Beep\"", "Type: Factor\nValue: 50 %",
          "Type: Frequency\nValue: 1.5 khz"}},
    };
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
    TSountoryNodeOutput* nw =
        n->AddOutput("w", At(0.5), false, ValueDomType::Wave, ValueDomain::AllValues);
    EXPECT_EQ(nw->GetHintText(), "Undefined");
}

TEST_F(Pins, InputDefaultsAndWavePositions)
{
    TSountoryInput* sel = In("Select End", ValueDomType::PlaceInWindow);
    TSountoryInput* any = In("Any", ValueDomType::AllValue);
    TSountoryInput* time = In("wave", ValueDomType::Time);
    TSountoryOutput* out = Out("Result", ValueDomType::Wave);
    EXPECT_TRUE(sel->IsWaveWindowInput());
    EXPECT_FALSE(time->IsWaveWindowInput());
    EXPECT_EQ(any->GetGivenValue().valueType, ValueType::Factor);
    EXPECT_EQ(time->GetGivenValue().valueType, ValueType::Time);
    time->SetGivenValue({0.3, ValueType::Frequency}, EHKHZ);
    EXPECT_EQ(time->GetGivenValue().value, 0.3);
    EXPECT_EQ(time->GivenUnitKind, EHKHZ);
    std::string message;
    EXPECT_TRUE(sel->CheckWavePosition(message));
    EXPECT_FALSE(any->CheckWavePosition(message));
    EXPECT_EQ(message, "Input \"Any\" is not a valuetype domain of \"wave position\".");
    EXPECT_FALSE(out->CheckWavePosition(message));
    EXPECT_EQ(message, "Output \"Result\" is not a valuetype domain of \"wave position\".");
    EXPECT_EQ(out->GetColor(), 0x606060u);
    EXPECT_EQ(TSountoryTouchable::GetHighlightColor(3), 0x00E0FFu);
}

} // namespace
} // namespace kelvorn::test
