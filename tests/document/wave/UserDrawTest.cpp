// The user drawing: node mappings, the node list, drawing mode and the rendering of the nodes
// against values worked out by hand.

#include "support/Documents.h"

#include "platform/test/ScriptedMessages.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace kelvorn::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::vector<int16_t> Values(const TUnitWave& unit)
{
    const Wave& wave = *unit.GetSound()->GetLeftWave();
    return std::vector<int16_t>(wave.Data(), wave.Data() + wave.Values());
}

std::vector<double> Positions(const TUnitWave& unit)
{
    std::vector<double> out;
    for (const TDrawNode* node = unit.GetDrawNodes(); node; node = node->GetNext())
        out.push_back(node->GetPosition());
    return out;
}

/// A drawing of 1 second at 10 Hz (11 values) with the given nodes, rendered.
void Draw(TUnitWave& unit, uint8_t kind, std::vector<std::pair<double, int16_t>> nodes)
{
    unit.RestoreUserDrawing(kind, 1.0);
    for (auto [position, value] : nodes)
        unit.AppendDrawNode(std::make_unique<TDrawNode>(value, position));
}

// ---- Node mappings ---------------------------------------------------------------------------

TEST(DrawNode, PixelMappings)
{
    PixelRect rect{0, 0, 100, 200};
    TDrawNode node(50, 0, rect, 0.0, 1000.0, 1000);
    EXPECT_DOUBLE_EQ(node.GetPosition(), 0.5);
    EXPECT_EQ(node.GetValue(), 32767);

    // Dragged past the pane's edges (-500, 900): the drawing's own range.
    const std::pair<int, int> rows[] = {{200, -32767}, {100, 0},      {50, 16383},
                                        {150, -16383}, {-500, 32767}, {900, -32767}};
    for (auto [y, value] : rows) {
        node.SetPixelY(y, rect);
        EXPECT_EQ(node.GetValue(), value) << y;
    }

    // A zoomed pane showing the values 200..400 of 1000.
    node.SetPixelX(25, rect, 200.0, 400.0, 1000);
    EXPECT_DOUBLE_EQ(node.GetPosition(), 0.25);
    EXPECT_DOUBLE_EQ(node.GetPixelX(rect, 200.0, 400.0, 1000), 25.0);
    node.SetValue(0);
    EXPECT_DOUBLE_EQ(node.GetPixelY(rect), 100.0);
    EXPECT_DOUBLE_EQ(node.PixelDistance(28, 104, rect, 200.0, 400.0, 1000), 5.0);
    // The distance uses the node pixels truncated.
    const PixelRect shifted{10, 0, 110, 200};
    const TDrawNode half(int16_t{16383}, 0.5);
    // Node pixel: x = 60, y = 50.0015... truncated to 50.
    EXPECT_NEAR(half.GetPixelY(shifted), 50.0015, 1e-3);
    EXPECT_DOUBLE_EQ(half.PixelDistance(60, 53, shifted, 0.0, 100.0, 100), 3.0);
}

// ---- The node list ---------------------------------------------------------------------------

TEST(DrawNodeList, InsertKeepsOrderDeleteRelinksAppendKeepsFileOrder)
{
    TUnitWave unit("W", "", RampMono(0));
    unit.RestoreUserDrawing(TUnitWave::DrawLinear, 1.0);
    EXPECT_EQ(unit.GetDrawNodeCount(), 0);
    for (double p : {0.5, 0.0, 1.0, 0.25, 0.75})
        EXPECT_NE(unit.InsertDrawNode(std::make_unique<TDrawNode>(int16_t{1}, p)), nullptr);
    EXPECT_EQ(unit.InsertDrawNode(std::make_unique<TDrawNode>(int16_t{2}, 0.25)), nullptr);
    EXPECT_THAT(Positions(unit), ElementsAre(0.0, 0.25, 0.5, 0.75, 1.0));
    EXPECT_EQ(unit.GetDrawNodeCount(), 5);

    // The links run both ways.
    const TDrawNode* last = unit.GetDrawNodes();
    while (last->GetNext())
        last = last->GetNext();
    std::vector<double> backwards;
    for (const TDrawNode* node = last; node; node = node->GetPrevious())
        backwards.push_back(node->GetPosition());
    EXPECT_THAT(backwards, ElementsAre(1.0, 0.75, 0.5, 0.25, 0.0));
    unit.RestoreUserDrawing(TUnitWave::DrawLinear, 1.0);
    std::vector<TDrawNode*> nodes;
    for (double p : {0.0, 0.3, 0.6, 1.0})
        nodes.push_back(unit.InsertDrawNode(std::make_unique<TDrawNode>(int16_t{0}, p)));
    unit.DeleteDrawNode(nodes[1]);
    EXPECT_THAT(Positions(unit), ElementsAre(0.0, 0.6, 1.0));
    EXPECT_EQ(nodes[2]->GetPrevious(), nodes[0]);
    unit.DeleteDrawNode(nodes[0]);
    EXPECT_EQ(unit.GetDrawNodes(), nodes[2]);
    EXPECT_EQ(nodes[2]->GetPrevious(), nullptr);
    unit.DeleteDrawNode(nodes[3]);
    EXPECT_EQ(nodes[2]->GetNext(), nullptr);
    EXPECT_EQ(unit.GetDrawNodeCount(), 1);
    Draw(unit, TUnitWave::DrawLinear, {{0.0, 0}, {0.7, 5}, {0.3, 9}, {1.0, 0}});
    EXPECT_THAT(Positions(unit), ElementsAre(0.0, 0.7, 0.3, 1.0));
    EXPECT_EQ(unit.GetDrawNodes()->CountFromHere(), 4);
}

// ---- Drawing mode ------------------------------------------------------------------------------

TEST(UserDrawing, StartRendersOneSecondOfSilenceAndARampEndsJustBelowFullScale)
{
    TUnitWave unit("W", "", TWaveFileProps(1, 44100, 1));
    unit.StartUserDrawing(TUnitWave::DrawLinear);
    EXPECT_TRUE(unit.IsUserDrawing());
    EXPECT_EQ(unit.GetDrawKind(), TUnitWave::DrawLinear);
    EXPECT_EQ(unit.GetDrawLength(), 1.0);
    EXPECT_THAT(Positions(unit), ElementsAre(0.0, 1.0));
    EXPECT_EQ(Values(unit), std::vector<int16_t>(44101, 0));
    EXPECT_EQ(unit.GetBytesPSample(), 2);
    // Rendering marks nothing; its callers do.
    EXPECT_FALSE(unit.IsDataModified());

    unit.StopUserDrawing();
    EXPECT_FALSE(unit.IsUserDrawing());
    EXPECT_EQ(unit.GetDrawNodes(), nullptr);
    EXPECT_EQ(unit.GetValues(), 44101);
    unit.StartUserDrawing(TUnitWave::DrawLinear);
    TDrawNode* last = unit.GetDrawNodes()->GetNext();
    last->SetValue(32767);
    ASSERT_TRUE(unit.RenderUserDraw());
    std::vector<int16_t> v = Values(unit);
    ASSERT_EQ(v.size(), 44101u);
    EXPECT_EQ(v[1], 0);
    EXPECT_EQ(v[2], 1);
    EXPECT_EQ(v[22050], 16383);
    EXPECT_EQ(v[44100], 32766);
}

// Worked out by hand with exact fractions: t = i / 11; linear y = ya + (t - pa) / (pb - pa) ×
// (yb - ya); smooth y = ya + (yb - ya) × (3u² - 2u³) with u = (t - pa) / (pb - pa); truncated
// toward zero.
TEST(UserDrawing, RendersTheHandWorkedValues)
{
    using Nodes = std::vector<std::pair<double, int16_t>>;
    const Nodes ramp{{0.0, 0}, {1.0, 32767}}, peak{{0.0, 0}, {0.5, 10000}, {1.0, -10000}};
    // Nodes of one place: linear takes their mean, smooth the zero cubic.
    const Nodes samePlace{{0.0, 100}, {0.0, 300}, {1.0, 300}};
    struct Case
    {
        uint8_t kind;
        Nodes nodes;
        std::vector<int16_t> want;
    };
    const uint8_t L = TUnitWave::DrawLinear, P = TUnitWave::DrawParabola;
    for (const Case& c :
         {Case{L, ramp, {0, 2978, 5957, 8936, 11915, 14894, 17872, 20851, 23830, 26809, 29788}},
          Case{L, peak, {0, 1818, 3636, 5454, 7272, 9090, 8181, 4545, 909, -2727, -6363}},
          Case{P, ramp, {0, 763, 2855, 5982, 9847, 14155, 18611, 22919, 26784, 29911, 32003}},
          Case{P, peak, {0, 871, 3005, 5679, 8174, 9767, 9534, 6348, 1359, -3989, -8256}},
          Case{L, samePlace, {200, 300, 300, 300, 300, 300, 300, 300, 300, 300, 300}},
          Case{P, samePlace, {0, 300, 300, 300, 300, 300, 300, 300, 300, 300, 300}}}) {
        TUnitWave unit("W", "", TWaveFileProps(1, 10, 2));
        Draw(unit, c.kind, c.nodes);
        ASSERT_TRUE(unit.RenderUserDraw());
        EXPECT_EQ(Values(unit), c.want) << int(c.kind) << " " << c.nodes.size();
        EXPECT_EQ(unit.GetSampleFreq(), 10);
    }
}

TEST(UserDrawing, FewerThanTwoNodesChangeNothingAndShortNodesAssertAndGoOn)
{
    ScriptedMessages messages;
    messages.Expect();
    messages.Expect();
    SoundPtr before = RampMono(5, 10);
    TUnitWave unit("W", "", before);
    unit.RestoreUserDrawing(TUnitWave::DrawLinear, 1.0);
    EXPECT_FALSE(unit.RenderUserDraw());
    unit.AppendDrawNode(std::make_unique<TDrawNode>(int16_t{0}, 0.0));
    EXPECT_FALSE(unit.RenderUserDraw());
    ASSERT_EQ(messages.Shown().size(), 2u);
    EXPECT_THAT(messages.Shown()[0].text, HasSubstr("\"DrawNodes\""));
    EXPECT_THAT(messages.Shown()[1].text, HasSubstr("\"DrawNodes->GetNext()\""));
    EXPECT_EQ(unit.GetSound(), before);
    // Nodes stopping short of the end assert once and go on.
    messages.Expect();
    Draw(unit, TUnitWave::DrawLinear, {{0.0, 0}, {0.5, 1000}});
    ASSERT_TRUE(unit.RenderUserDraw());
    ASSERT_EQ(messages.Shown().size(), 3u);
    EXPECT_THAT(messages.Shown()[2].text, HasSubstr("\"nextNode != nullptr\""));
    EXPECT_THAT(Values(unit),
                ElementsAre(0, 181, 363, 545, 727, 909, 1090, 1272, 1454, 1636, 1818));
}

TEST(UserDrawing, ALengthTooLargeToCountFailsLikeMemoryAndKeepsTheSound)
{
    ScriptedMessages messages;
    messages.Expect();
    SoundPtr before = RampMono(5, 44100);
    TUnitWave unit("W", "", before);
    Draw(unit, TUnitWave::DrawLinear, {{0.0, 0}, {1.0, 0}});
    unit.SetDrawLength(1e9);
    EXPECT_FALSE(unit.RenderUserDraw());
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text, "There is not enough memmory for this operation.");
    EXPECT_EQ(unit.GetSound(), before);
    // The next rendering is a new command: the failure of the last one does not stop it.
    unit.SetDrawLength(0.5);
    EXPECT_TRUE(unit.RenderUserDraw());
    EXPECT_EQ(unit.GetValues(), 22051);

    messages.Expect();
    const SoundPtr rendered = unit.GetSound();
    FailAllocationsAfter(0);
    EXPECT_FALSE(unit.RenderUserDraw());
    ResetAllocationFailure();
    EXPECT_EQ(unit.GetSound(), rendered);
    EXPECT_EQ(messages.Shown().size(), 2u);
}

TEST(UserDrawing, OnlyAnEmptyMonoWaveShowingItsCurveCanBeDrawn)
{
    struct Case
    {
        int32_t values;
        int channels;
        uint8_t windKind;
        bool withWindow, drawing, want;
    };
    for (Case c : {Case{0, 1, 0, true, false, true}, Case{1, 1, 0, true, false, false},
                   Case{0, 2, 0, true, false, false}, Case{0, 1, 1, true, false, false},
                   Case{0, 1, 0, false, false, false}, Case{500, 2, 1, true, true, true}}) {
        RecordingWaveWindow window;
        window.display.WaveWindKind = c.windKind;
        TUnitWave unit("W", "", c.channels == 1 ? RampMono(c.values) : RampStereo(c.values));
        if (c.withWindow)
            unit.SetChildWave(&window);
        if (c.drawing)
            unit.RestoreUserDrawing(TUnitWave::DrawLinear, 1.0);
        EXPECT_EQ(unit.CanDrawWaveLin(), c.want) << c.values << " " << c.channels;
    }
}

} // namespace
} // namespace kelvorn::test
