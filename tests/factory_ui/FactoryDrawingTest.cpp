// The factory on a recording canvas: what is drawn, in which order and colours, at which places;
// and once into the backing image offscreen. Text widths come from the recording canvas (8 px a
// character, 16 a line), never from fonts.
#include "factory/ui/FactoryImage.h"
#include "factory/ui/NodePictures.h"

#include "factory/FactoryKit.h"
#include "platform/test/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

std::string Hex(uint32_t color)
{
    return RecordingCanvas::ColorText(color);
}

/// The numbers of a recorded call after its name ("Polygon 1 2 3 4 pen ..." gives 1 2 3 4).
std::vector<int> Numbers(const std::string& call)
{
    std::istringstream in(call.substr(call.find(' ') + 1));
    std::vector<int> numbers;
    for (int n; in >> n;)
        numbers.push_back(n);
    return numbers;
}

struct Drawing : ::testing::Test, FactoryFixture
{
    RecordingCanvas canvas;

    /// Each call was drawn, after the one before it.
    void ExpectInOrder(const std::vector<std::string>& expected) const
    {
        auto at = canvas.Calls().begin();
        for (const std::string& call : expected) {
            at = std::find(at, canvas.Calls().end(), call);
            ASSERT_NE(at, canvas.Calls().end()) << call;
        }
    }
    size_t IndexOf(const std::string& call) const
    {
        auto it = std::find(canvas.Calls().begin(), canvas.Calls().end(), call);
        EXPECT_NE(it, canvas.Calls().end()) << call;
        return size_t(it - canvas.Calls().begin());
    }
    // A node at factory 100,50 .. 200,150: window 125,65 .. 225,165.
    TTestNode* Box(const std::string& name = "Gen", TSountoryRectangle rect = {100, 50, 200, 150})
    {
        TTestNode* node = NodeAt(name, rect);
        node->displayName = name;
        return node;
    }
};

} // namespace

TEST(DrawArrow, LineToTheEndAndAHeadBackedOffAlongTheLine)
{
    struct Case
    {
        PixelPoint from, to;
        int backOff, width;
        const char* polygon;
    };
    for (const Case& c : {Case{{0, 0}, {100, 0}, 10, 1, "Polygon 90 0 76 3 76 -3"},
                          Case{{50, 50}, {50, 50}, 6, 1, "Polygon 44 50 30 53 30 47"},
                          Case{{10, 100}, {10, 20}, 10, 2, "Polygon 10 30 13 44 7 44"},
                          Case{{10, 20}, {10, 100}, 0, 1, "Polygon 10 100 7 86 13 86"},
                          Case{{100, 50}, {0, 50}, 6, 1, "Polygon 6 50 20 47 20 53"},
                          Case{{0, 0}, {30, 40}, 5, 1, "Polygon 27 36 16 27 22 23"}}) {
        RecordingCanvas canvas;
        DrawArrow(canvas, c.from, c.to, c.backOff, c.width, 0x123456);
        const std::string pen = " pen 0x00123456 " + std::to_string(c.width);
        ASSERT_EQ(canvas.Calls().size(), 2u) << c.polygon;
        EXPECT_EQ(canvas.Calls()[0], "Line " + std::to_string(c.from.x) + " " +
                                         std::to_string(c.from.y) + " " + std::to_string(c.to.x) +
                                         " " + std::to_string(c.to.y) + pen);
        EXPECT_EQ(canvas.Calls()[1], c.polygon + pen + " brush 0x00123456");
    }
}

TEST_F(Drawing, AreaInputsOutputsNodesTailToHeadThenThePendingConnection)
{
    TTestNode* tail = Box("Tail", {20, 20, 80, 80});
    TSountoryNodeOutput* wave = NodeOut(tail, "W", ValueDomType::Wave);
    TTestNode* head = Box("Head", {200, 20, 260, 80});
    TSountoryNodeOutput* value = NodeOut(head, "V", ValueDomType::Factor);
    In("FI", ValueDomType::Factor);
    Out("FO", ValueDomType::Wave)->SetSource(wave);
    DrawFactory(canvas, factory, {value, {400, 200}});
    const auto& calls = canvas.Calls();
    EXPECT_EQ(calls.front(), "FillRect 25 15 460 255 brush 0x00BFBFBF");
    ExpectInOrder({"TextOut 37 127 FI brush 0x00BFBFBF",
                   "Polygon 18 135 32 128 32 142 pen 0x00606060 1 brush 0x00808080",
                   "TextOut 432 127 FO brush 0x00BFBFBF", "Line 105 65 460 135 pen 0x00606060 2",
                   "Ellipse 451 126 469 144 pen 0x00484848 1 brush 0x00606060",
                   "FillRect 45 35 105 95 brush 0x00B4A890",
                   "FillRect 225 35 285 95 brush 0x00B4A890"});
    EXPECT_EQ(calls[calls.size() - 2], "Line 285 65 400 200 pen 0x00808080 1");
}

TEST_F(Drawing, NodeColoursFollowTheRunStateAndPinColoursTheHighlight)
{
    TTestNode* node = Box();
    TSountoryNodeInput* pin = NodeIn(node, "In", ValueDomType::Factor); // at 125,116
    for (auto [state, color] : std::vector<std::pair<uint8_t, uint32_t>>{
             {0, 0xF0E0C0}, {1, 0x90F0FF}, {2, 0xC0FFC0}, {3, 0x9090FF}, {7, 0xB0B0B0}}) {
        node->SetRunState(state);
        canvas.Clear();
        DrawNode(canvas, *node);
        EXPECT_EQ(canvas.Calls()[1], "Line 125 165 125 65 pen " + Hex(color) + " 1") << int(state);
    }
    struct Case
    {
        uint8_t state;
        uint32_t color;
        int size;
    };
    for (const Case& c : {Case{0, 0x808080, 5}, Case{1, 0xC0E0F0, 8}, Case{2, 0x00FFC0, 8},
                          Case{3, 0x00E0FF, 8}, Case{4, 0x0080FF, 8}, Case{5, 0x000000, 5}}) {
        pin->HighlightState = c.state;
        canvas.Clear();
        DrawNode(canvas, *node);
        const auto symbol = Numbers(canvas.CallsOf("Polygon").back());
        EXPECT_EQ(symbol, (std::vector<int>{125 - c.size, 116, 125 + c.size, 116 - c.size,
                                            125 + c.size, 116 + c.size}))
            << int(c.state);
        EXPECT_NE(canvas.CallsOf("Polygon").back().find("brush " + Hex(c.color)), std::string::npos)
            << int(c.state);
    }
}

TEST_F(Drawing, SymbolsByTypeAndTargetsWithAConstantMarked)
{
    struct Case
    {
        ValueDomType type;
        // 'i' input, 'c' input with a constant, 'o' output of a node (at 125,116 and 225,116);
        // 'f' factory input (at 25,135), 'h' factory output pointed at (at 460,135)
        char pin;
        const char* firstCall; // of the symbol
        size_t calls;
    };
    for (const Case& c : {Case{ValueDomType::Integer, 'i', "FillRect 121 112 129 120", 2},
                          Case{ValueDomType::Integer, 'c', "FillRect 119 110 131 122", 3},
                          Case{ValueDomType::Wave, 'i', "Ellipse 119 110 131 122", 1},
                          Case{ValueDomType::Wave, 'c', "Ellipse 117 108 133 124", 2},
                          Case{ValueDomType::AllComputable, 'i', "Chord 121 110 133 122", 1},
                          Case{ValueDomType::Time, 'c', "Polygon 116 116 132 108 132 124", 2},
                          Case{ValueDomType::Time, 'o', "Polygon 230 116 220 111 220 121", 1},
                          Case{ValueDomType::Integer, 'f', "FillRect 19 129 31 141", 2},
                          Case{ValueDomType::NoUnit, 'h', "Chord 449 124 471 146", 1}}) {
        FactoryFixture f;
        RecordingCanvas canvas;
        if (c.pin == 'f' || c.pin == 'h') {
            if (c.pin == 'f')
                f.In("In", c.type);
            else
                f.Out("Out", c.type)->HighlightState = 1;
            DrawFactory(canvas, f.factory);
        }
        TTestNode* node = f.NodeAt("N", {100, 50, 200, 150});
        if (c.pin == 'o')
            NodeOut(node, "Out", c.type);
        else if (TSountoryNodeInput* pin = NodeIn(node, "In", c.type); c.pin == 'c')
            pin->SetConstantValue(TSntValue(1, ValueType::Factor), EHNone);
        if (c.pin != 'f' && c.pin != 'h')
            DrawNode(canvas, *node);
        const auto& calls = canvas.Calls();
        auto first = std::find_if(calls.begin(), calls.end(), [&](const std::string& call) {
            return call.rfind(c.firstCall, 0) == 0;
        });
        ASSERT_NE(first, calls.end()) << c.firstCall;
        EXPECT_EQ(size_t(calls.end() - first), c.calls) << c.firstCall;
    }
}

TEST_F(Drawing, ArrowsStopShortOfOutputsAndNodeInputsAndWavesAreThicker)
{
    TTestNode* source = Box("S", {20, 20, 80, 80});
    TSountoryNodeOutput* wave = NodeOut(source, "W", ValueDomType::Wave);
    TSountoryNodeOutput* value = NodeOut(source, "V", ValueDomType::Time);
    TTestNode* target = Box("T", {200, 20, 260, 80});
    TSountoryNodeInput* waveIn = NodeIn(target, "WI", ValueDomType::Wave);
    TSountoryNodeInput* valueIn = NodeIn(target, "VI", ValueDomType::Time);
    TSountoryOutput* out = Out("O", ValueDomType::Time);
    auto arrow = [&](PixelPoint from, PixelPoint to, int gap, char width) {
        ASSERT_EQ(canvas.Calls().size(), 2u);
        EXPECT_EQ(Numbers(canvas.Calls()[0]), (std::vector<int>{from.x, from.y, to.x, to.y}));
        EXPECT_EQ(canvas.Calls()[0].back(), width);
        const auto tip = Numbers(canvas.Calls()[1]);
        EXPECT_NEAR(std::hypot(tip[0] - to.x, tip[1] - to.y), gap, 0.75) << gap;
    };
    struct Case
    {
        TSountoryOutputTarget* target;
        TSountoryInputSource* source;
        int gap;
        char width;
    };
    for (const Case& c :
         {Case{out, value, 10, '1'}, Case{waveIn, wave, 6, '2'}, Case{valueIn, value, 6, '1'}}) {
        c.target->SetSource(c.source);
        canvas.Clear();
        DrawConnection(canvas, *c.target, c.gap);
        arrow(c.source->GetSourcePoint(), c.target->GetTargetPoint(), c.gap, c.width);
    }
    // The connection being drawn: from a source to the mouse, from the mouse to a target.
    const PixelPoint mouse{300, 200};
    canvas.Clear();
    DrawPendingConnection(canvas, {wave, mouse});
    arrow(wave->GetSourcePoint(), mouse, 0, '2');
    canvas.Clear();
    DrawPendingConnection(canvas, {out, mouse});
    arrow(mouse, out->GetTargetPoint(), 10, '1');
    canvas.Clear();
    DrawPendingConnection(canvas, {waveIn, mouse});
    arrow(mouse, waveIn->GetTargetPoint(), 6, '2');
    canvas.Clear();
    DrawPendingConnection(canvas, {});
    DrawPendingConnection(canvas, {source, mouse});
    EXPECT_TRUE(canvas.Calls().empty());
}

TEST_F(Drawing, LabelsShowNameAndTypeAsTheFourSwitchesSay)
{
    In("FI", ValueDomType::Boolean); // at 25,135
    TTestNode* node = Box();
    NodeIn(node, "In", ValueDomType::Factor); // at 125,116
    canvas.recordFonts = true;
    struct Case
    {
        bool name, type;
        std::vector<std::string> factoryLines, nodeLines;
    };
    const std::string back = " brush 0x00BFBFBF", nodeBack = " brush 0x00B4A890";
    for (const Case& c :
         {Case{true,
               true,
               {"TextOut 37 119 FI" + back, "TextOut 37 135 Boolean" + back},
               {"TextOut 134 100 In" + nodeBack, "TextOut 134 116 Factor, All Values" + nodeBack}},
          Case{true, false, {"TextOut 37 127 FI" + back}, {"TextOut 134 108 In" + nodeBack}},
          Case{false,
               true,
               {"TextOut 37 127 Boolean" + back},
               {"TextOut 134 108 Factor, All Values" + nodeBack}},
          Case{false, false, {}, {}}}) {
        factory.ShowNameIO = factory.ShowNameNIO = c.name;
        factory.ShowTypeIO = factory.ShowTypeNIO = c.type;
        canvas.Clear();
        DrawFactory(canvas, factory);
        std::vector<std::string> lines = c.factoryLines;
        lines.insert(lines.end(), c.nodeLines.begin(), c.nodeLines.end());
        EXPECT_EQ(canvas.CallsOf("TextOut"), lines);
        if (c.name) {
            EXPECT_EQ(canvas.Calls()[IndexOf(lines.front()) - 1], "Font Arial 13 0x00A000A0");
            EXPECT_EQ(canvas.Calls()[IndexOf(c.nodeLines.front()) - 1], "Font Arial 11 0x00808080");
        }
    }
    // Outputs end their lines 12 (node pins 9) pixels inside the right side.
    Out("Result", ValueDomType::Factor);
    NodeOut(node, "Out", ValueDomType::Factor);
    factory.ShowNameIO = factory.ShowNameNIO = true;
    canvas.Clear();
    DrawFactory(canvas, factory);
    EXPECT_EQ(Numbers(canvas.CallsOf("TextOut 400")[0]).front(), 460 - 12 - 6 * 8);
    EXPECT_EQ(Numbers(canvas.CallsOf("TextOut 192")[0]).front(), 225 - 9 - 3 * 8);
}

TEST_F(Drawing, TitleLinesAndPictureUnderThem)
{
    struct Case
    {
        const char* what;
        TSountoryRectangle rect;
        std::string name, display;
        int32_t picture;
        std::string calls; // text, frames and bitmap, in order
    };
    const std::string title = "TextRect 127 67 223 85 163 67 Gen brush clear | ";
    for (const Case& c :
         {Case{"one line",
               {100, 50, 200, 150},
               "Gen",
               "Gen",
               141,
               title + "FrameRect 166 85 184 103 brush 0x00FFFFFF | FrameRect 165 84 185 104 "
                       "brush 0x00000000 | Bitmap 167 86 16x16 | "},
          Case{"two lines",
               {100, 50, 200, 150},
               "Gen",
               "Make Sinus",
               142,
               title + "TextRect 127 84 223 103 135 84 Make Sinus brush clear | FrameRect 166 "
                       "102 184 120 brush 0x00FFFFFF | FrameRect 165 101 185 121 brush "
                       "0x00000000 | Bitmap 167 103 16x16 | "},
          Case{"narrow and low",
               {100, 50, 135, 73},
               "LongName",
               "Other",
               141,
               "TextRect 127 67 158 85 127 67 LongName brush clear | TextRect 127 84 158 86 "
               "127 84 Other brush clear | FrameRect 133 102 151 120 brush 0x00FFFFFF | "
               "FrameRect 132 101 152 121 brush 0x00000000 | Bitmap 134 103 16x16 | "},
          Case{"lower than a title",
               {100, 50, 135, 70},
               "LongName",
               "Other",
               141,
               "TextRect 127 67 158 83 127 67 LongName brush clear | TextRect 127 83 158 83 "
               "127 84 Other brush clear | FrameRect 133 102 151 120 brush 0x00FFFFFF | "
               "FrameRect 132 101 152 121 brush 0x00000000 | Bitmap 134 103 16x16 | "},
          Case{"no picture", {100, 50, 200, 150}, "Gen", "Gen", -1, title},
          Case{"index without image", {100, 50, 200, 150}, "Gen", "Gen", 140, title}}) {
        FactoryFixture f;
        TTestNode* node = f.NodeAt(c.name, c.rect);
        node->displayName = c.display;
        node->pictureIndex = c.picture;
        canvas.Clear();
        canvas.recordFonts = true;
        DrawNode(canvas, *node);
        std::string drawn;
        for (const std::string& call : canvas.Calls())
            if (call.rfind("Text", 0) == 0 || call.rfind("Frame", 0) == 0 ||
                call.rfind("Bitmap", 0) == 0)
                drawn += call + " | ";
        EXPECT_EQ(drawn, c.calls) << c.what;
        EXPECT_EQ(canvas.Calls()[IndexOf(canvas.CallsOf("TextRect")[0]) - 1],
                  "Font Arial 13 0x00000000")
            << c.what;
        EXPECT_EQ(canvas.CallsOf("Font Arial 13 italic").size(), c.name == c.display ? 0u : 1u)
            << c.what;
    }
}

TEST_F(Drawing, RedrawBoundsHoldThePictureBelowALowNodeAndALongLabel)
{
    TTestNode* low = Box("Low", {100, 50, 135, 73}); // window 125,65 .. 160,88, pin row 77
    low->pictureIndex = 141;
    NodeOut(low, "A long output name", ValueDomType::Factor);
    NodeIn(low, "A long input name!", ValueDomType::Factor);
    const PixelRect r = NodeDrawBounds(canvas, *low);
    // The labels run from 160 - 9 - 18 * 8 and to 125 + 9 + 18 * 8; the picture frame ends at
    // 65 + 19 + 16 + 4.
    EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}),
              (std::vector<int>{7, 65 - 14, 278, 104}));
}

TEST(NodePictures, UserAndRepeatNodesAndEveryPictureItsOwn)
{
    for (int32_t index : {-1, 0, 140, 179, 100000})
        EXPECT_TRUE(GetNodePicture(index).Empty()) << index;
    const std::vector<int32_t>& indices = NodePictureIndices();
    EXPECT_TRUE(std::is_sorted(indices.begin(), indices.end()));
    EXPECT_EQ(std::count(indices.begin(), indices.end(), 141), 1);
    EXPECT_EQ(std::count(indices.begin(), indices.end(), 142), 1);
    std::set<std::vector<uint32_t>> distinct;
    for (int32_t index : indices) {
        const CanvasBitmap& picture = GetNodePicture(index);
        ASSERT_EQ(picture.width, NodePictureSize) << index;
        ASSERT_EQ(picture.height, NodePictureSize) << index;
        EXPECT_GE(std::count_if(picture.pixels.begin(), picture.pixels.end(),
                                [](uint32_t p) { return p != 0xFFFFFF; }),
                  8)
            << index;
        EXPECT_TRUE(distinct.insert(picture.pixels).second) << index;
    }
}

TEST_F(Drawing, PaintsIntoTheBackingImageAndRedrawsOneNodeInPlace)
{
    constexpr uint32_t background = 0xF0F0F0;
    TFactoryImage image(500, 300, background);
    TTestNode* back = Box("Back", {20, 20, 140, 120});
    NodeOut(back, "W", ValueDomType::Wave);
    TTestNode* front = Box("Front", {200, 100, 320, 200});
    front->pictureIndex = 141;
    NodeIn(front, "In", ValueDomType::Wave)->SetSource(back->Outputs()[0].get());
    Out("Result", ValueDomType::Wave)->SetSource(back->Outputs()[0].get());
    std::vector<PixelRect> repainted;
    image.repaint = [&](const PixelRect& r) { repainted.push_back(r); };
    image.Paint(factory);
    QtCanvas& c = image.Canvas();
    EXPECT_EQ(c.Pixel(5, 5), background);
    EXPECT_EQ(c.Pixel(300, 240), 0xBFBFBFu);
    EXPECT_EQ(c.Pixel(60, 130), 0xB4A890u); // inside the back node, below its title
    EXPECT_EQ(c.Pixel(25, 15), 0xFFFFFFu);  // the area's raised edge
    // The picture of the front node stands centred at Top + 21.
    const CanvasBitmap& picture = GetNodePicture(141);
    const auto ink = std::find_if(picture.pixels.begin(), picture.pixels.end(),
                                  [](uint32_t p) { return p != 0xFFFFFF; });
    const int at = int(ink - picture.pixels.begin());
    EXPECT_EQ(c.Pixel(225 + (120 - 16) / 2 + at % 16, 115 + 21 + at / 16), *ink);
    EXPECT_TRUE(repainted.empty());

    const QImage before = image.Image().copy();
    back->SetRunState(sntRunFailed);
    image.Redraw(*back);
    ASSERT_EQ(repainted.size(), 1u);
    const PixelRect r = repainted[0];
    EXPECT_LE(r.left, 45);
    EXPECT_LE(r.top, 35);
    EXPECT_GE(r.right, 165);
    EXPECT_GE(r.bottom, 135);
    EXPECT_EQ(c.Pixel(60, 130), 0x6C6CBFu);
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) {
                ASSERT_EQ(image.Image().pixel(x, y), before.pixel(x, y)) << x << "," << y;
            }
        }
}
