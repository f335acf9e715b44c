// The factory editor without a window: drags of the area, nodes and pin places in the three
// placement modes with the mouse caught at a limit, connections with their highlights and the
// never-match question, the pop-up's table for each kind of element, new pins, nodes and their
// dialogs, the delete rules, and a factory replaced under a highlighted pin.
#include "factory/core/FactoryEditor.h"

#include "factory/FactoryKit.h"
#include "factory/core/BuiltinNodeMaker.h"
#include "factory/core/UserNodes.h"
#include "general/Services.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using R = TSountoryRectangle;
using I = FactoryMenuItem;

std::string Text(const R& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

/// The window as a script: every dialog answers `answer` after `act` ran on what it shows.
struct RecordingView : TFactoryEditorView
{
    void Invalidate() override { ++invalidations; }
    void SetCursor(EditorCursor c) override { cursor = c; }
    void SetDragCursor(EditorCursor c) override
    {
        dragCursor = c;
        ++dragCursorDepth;
    }
    void EndDragCursor() override
    {
        dragCursor.reset();
        --dragCursorDepth;
    }
    void ShowHint(const std::string& text, PixelPoint at) override
    {
        hint = text;
        hintAt = at;
    }
    void HideHint() override { hint.reset(); }
    bool EditFactoryProperties(TUnitSountory&) override { return Log("factory"); }
    bool EditPinProperties(TSountoryTouchable&) override { return Log("pin"); }
    bool EditNodeProperties(TSountoryNode& node, bool& fit) override
    {
        if (act)
            act(node);
        fit = fitAnswer;
        return Log("node " + node.Name);
    }
    bool EditNodeValues(TSountoryNode& node, bool types) override
    {
        return Log(std::string(types ? "types " : "values ") + node.Name);
    }
    bool EditOutputValues(TUnitSountory&, bool types) override
    {
        return Log(types ? "output types" : "output values");
    }
    void NewFactoryForNode(const TSountoryNode& node) override { Log("new for " + node.Name); }
    void ShowHelp(int32_t context) override { Log("help " + std::to_string(context)); }

    bool Log(const std::string& what)
    {
        dialogs.push_back(what);
        return answer;
    }
    int invalidations = 0;
    EditorCursor cursor = EditorCursor::Default;
    std::optional<EditorCursor> dragCursor;
    /// The program's cursor is set and put back in pairs.
    int dragCursorDepth = 0;
    std::optional<std::string> hint;
    PixelPoint hintAt;
    std::vector<std::string> dialogs;
    bool answer = true;
    bool fitAnswer = false;
    std::function<void(TSountoryNode&)> act;
};

/// Builtin nodes of the editor's "Add Builtin Node" as test nodes that note their pins' making.
struct TestNodeMaker : TBuiltinNodeMaker
{
    int32_t FindKind(std::string_view) const override { return 0; }
    std::unique_ptr<TSountoryNode> Make(TUnitSountory* factory, std::string name, int32_t,
                                        const TSountoryRectangle& rect) const override
    {
        return std::make_unique<TTestNode>(factory, name, sntNodeBuiltin, rect);
    }
};

class FactoryEditorTest : public ::testing::Test, public FactoryFixture
{
protected:
    FactoryEditorTest()
    {
        factory.FactoryRect = {23, 3, 423, 303};
        factory.ClearModified();
    }

    /// A factory point in window coordinates.
    PixelPoint W(int x, int y) const
    {
        return {x + factory.FactoryRect.left, y + factory.FactoryRect.top};
    }
    static PixelPoint Pt(const TSntPinPlace* pin) { return {pin->GetX(), pin->GetY()}; }
    void Press(PixelPoint p)
    {
        editor.MouseMove(0, p);
        editor.MouseDown(ButtonLeft, p);
    }
    void Move(PixelPoint p, uint8_t held = ButtonLeft) { editor.MouseMove(held, p); }
    void Release() { editor.MouseUp(0); }
    void Drag(PixelPoint from, PixelPoint to)
    {
        Press(from);
        Move(to);
        Release();
    }
    /// The pop-up opened at p: its visible items, "-" before the disabled ones, then its two
    /// captions.
    std::string Popup(PixelPoint p)
    {
        std::istringstream names("Properties ConnMake ConnDel SetInputTypes SetInputValues "
                                 "SetOutputTypes SetOutputValues AddBuiltinNode AddUserNode "
                                 "AddLoopNode AddInput AddOutput AddInputOperand "
                                 "CreateFactoryForNode Delete HelpBuiltin");
        editor.MouseDown(ButtonRight, p);
        const TFactoryMenuState menu = editor.PreparePopup();
        std::string text;
        for (const auto& item : menu.items) {
            std::string name;
            names >> name;
            if (item.visible)
                text += std::string(item.enabled ? "" : "-") + name + " ";
        }
        return text + "| " + menu.connMakeCaption + " | " + menu.connDelCaption;
    }
    void RunAt(PixelPoint p, FactoryMenuItem item)
    {
        editor.MouseDown(ButtonRight, p);
        editor.PreparePopup();
        editor.Run(item);
    }

    RecordingView view;
    TFactoryEditor editor{factory, view};
};

// ---- the area ----

TEST_F(FactoryEditorTest, TheAreaIsDraggedOnlyByItsRightAndBottomEdges)
{
    struct Case
    {
        const char* where;
        PixelPoint press;
        const char* area; // after a drag by (40, 10); "" when nothing drags
        EditorCursor cursor;
    };
    const Case cases[] = {
        {"inside", {200, 150}, "", EditorCursor::Default},
        {"left edge", {25, 150}, "", EditorCursor::Default},
        {"top edge", {200, 5}, "", EditorCursor::Default},
        {"top-left corner", {25, 5}, "", EditorCursor::Default},
        {"right edge", {421, 150}, "23,3,463,303", EditorCursor::SizeHor},
        {"bottom edge", {200, 301}, "23,3,423,313", EditorCursor::SizeVer},
        {"bottom-right corner", {421, 301}, "23,3,463,313", EditorCursor::SizeFDiag},
        {"top-right corner as the right edge", {421, 5}, "23,3,463,303", EditorCursor::SizeHor},
        {"bottom-left corner as the bottom edge", {25, 301}, "23,3,423,313", EditorCursor::SizeVer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        factory.FactoryRect = {23, 3, 423, 303};
        factory.ClearModified();
        Press(c.press);
        EXPECT_EQ(editor.IsDragging(), *c.area != 0);
        EXPECT_EQ(view.dragCursor.value_or(EditorCursor::Default), c.cursor);
        Move({c.press.x + 40, c.press.y + 10});
        Release();
        EXPECT_FALSE(view.dragCursor.has_value());
        EXPECT_EQ(Text(factory.FactoryRect), *c.area ? c.area : "23,3,423,303");
        EXPECT_EQ(factory.IsModified(), *c.area != 0);
    }
}

TEST_F(FactoryEditorTest, AnAreaShrunkOntoItsNodesHoldsTheMouseAtTheLimit)
{
    NodeAt("N", {100, 50, 200, 150});
    Press({421, 150});
    Move({121, 150});
    // The right edge stops at the node's right plus the border; the mouse is held there.
    EXPECT_EQ(Text(factory.FactoryRect), "23,3,238,303");
    EXPECT_EQ(editor.GetDragPoint().x, 236);
    Move({131, 150});
    EXPECT_EQ(Text(factory.FactoryRect), "23,3,238,303");
    Move({246, 150});
    EXPECT_EQ(Text(factory.FactoryRect), "23,3,248,303");
}

// ---- nodes ----

TEST_F(FactoryEditorTest, ANodeMovesInEachPlacementModeAndIsCaughtAtANeighbour)
{
    struct Case
    {
        uint8_t mode;
        const char* moved;
        const char* neighbour;
        const char* movedBack; // after the mouse comes back by 10
    };
    const Case cases[] = {
        {NodesOverlap, "90,50,160,100", "150,50,220,100", "80,50,150,100"},
        {NodesFixed, "70,50,140,100", "150,50,220,100", "70,50,140,100"},
        {NodesShift, "90,50,160,100", "170,50,240,100", "80,50,150,100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.mode));
        while (!factory.Nodes().empty())
            factory.RemoveNode(factory.Nodes().front().get());
        factory.SetNodesCombination(c.mode);
        TTestNode* a = NodeAt("A", {50, 50, 120, 100});
        TTestNode* b = NodeAt("B", {150, 50, 220, 100});
        Press(W(85, 75));
        // A press on a node brings it to the front.
        EXPECT_EQ(factory.Nodes().front().get(), a);
        Move(W(125, 75));
        EXPECT_EQ(Text(a->GetRect()), c.moved);
        EXPECT_EQ(Text(b->GetRect()), c.neighbour);
        Move(W(115, 75));
        EXPECT_EQ(Text(a->GetRect()), c.movedBack);
        Release();
    }
}

TEST_F(FactoryEditorTest, ANodeResizedAtItsCornerKeepsTheLeastSize)
{
    TTestNode* node = NodeAt("N", {50, 50, 120, 100});
    Press(W(119, 99));
    EXPECT_EQ(view.dragCursor, EditorCursor::SizeFDiag);
    Move(W(149, 119));
    EXPECT_EQ(Text(node->GetRect()), "50,50,150,120");
    Move(W(-51, -81));
    EXPECT_EQ(Text(node->GetRect()), "50,50,85,73");
    Release();
    EXPECT_TRUE(factory.IsModified());
    // The left edge alone, then the top edge caught at the border and held there.
    factory.ClearModified();
    Drag(W(51, 60), W(41, 60));
    EXPECT_EQ(Text(node->GetRect()), "40,50,85,73");
    EXPECT_TRUE(factory.IsModified());
    Press(W(60, 51));
    Move(W(60, 1));
    EXPECT_EQ(Text(node->GetRect()), "40,5,85,73");
    EXPECT_EQ(editor.GetDragPoint().y, W(0, 6).y);
    Release();
    EXPECT_EQ(view.dragCursorDepth, 0);
}

TEST_F(FactoryEditorTest, APinPlaceIsDraggedAlongItsSideAndStopsAtItsEnd)
{
    TSountoryInput* in = In("In", ValueDomType::Factor);
    ASSERT_EQ(Pt(in).y, 153);
    Press(Pt(in));
    Move({23, 183});
    EXPECT_EQ(in->GetY(), 183);
    EXPECT_DOUBLE_EQ(in->GetHeightValue(), 0.6);
    Move({23, 583});
    EXPECT_DOUBLE_EQ(in->GetHeightValue(), 1.0);
    EXPECT_EQ(editor.GetDragPoint().y, 303);
    Release();
    EXPECT_TRUE(factory.IsModified());
}

// ---- connections ----

TEST_F(FactoryEditorTest, InConnectModeAPressOnAPinConnectsAndOneOnANodeMovesIt)
{
    TSountoryInput* in = In("In", ValueDomType::Factor);
    TTestNode* node = NodeAt("N", {150, 100, 250, 200});
    TSountoryNodeInput* x = NodeIn(node, "X", ValueDomType::Factor);
    editor.SetMode(ModeConnect);
    factory.ClearModified();
    Press(Pt(in));
    EXPECT_TRUE(editor.IsConnecting());
    EXPECT_EQ(editor.GetConnectingPin(), static_cast<TSountoryTouchable*>(in));
    // The partner is looked for where the mouse was at the move before.
    Move(Pt(x));
    EXPECT_EQ(x->HighlightState, 0);
    Move(Pt(x));
    EXPECT_EQ(x->HighlightState, 2);
    EXPECT_EQ(view.cursor, EditorCursor::Drag);
    Release();
    EXPECT_EQ(x->GetSource(), in);
    EXPECT_EQ(x->HighlightState, 0);
    EXPECT_TRUE(factory.IsModified() && !editor.IsConnecting());

    Drag(W(200, 180), W(210, 190));
    EXPECT_EQ(Text(node->GetRect()), "160,110,260,210");
}

TEST_F(FactoryEditorTest, APartnerUnderTheMouseShowsHowItsValuesMatch)
{
    struct Case
    {
        ValueDomType source;
        ValueDomain sourceDomain;
        ValueDomType target;
        ValueDomain targetDomain;
        uint8_t state;
    };
    const Case cases[] = {
        {ValueDomType::Factor, ValueDomain::AllValues, ValueDomType::Factor, ValueDomain::AllValues,
         2},
        {ValueDomType::Time, ValueDomain::AllValues, ValueDomType::Frequency,
         ValueDomain::AllValues, 3},
        {ValueDomType::Factor, ValueDomain::AllValues, ValueDomType::Factor,
         ValueDomain::ZeroInclOneIncl, 3},
        {ValueDomType::Factor, ValueDomain::AllValues, ValueDomType::Integer,
         ValueDomain::AllValues, 4},
        {ValueDomType::Wave, ValueDomain::AllValues, ValueDomType::Factor, ValueDomain::AllValues,
         5},
    };
    editor.SetMode(ModeConnect);
    for (const Case& c : cases) {
        TTestNode* node = NodeAt("N", {150, 100, 250, 200});
        TSountoryNodeInput* target = NodeIn(node, "X", c.target, c.targetDomain);
        TSountoryInput* source = In("In", c.source, c.sourceDomain);
        // Dragged from the target to the source: the pair counts in either order.
        Press(Pt(target));
        Move(Pt(source));
        Move(Pt(source));
        EXPECT_EQ(source->HighlightState, c.state);
        Move(W(300, 280));
        Move(W(300, 280));
        EXPECT_EQ(source->HighlightState, 0);
        editor.MouseUp(0);
        factory.RemoveNode(node);
        factory.RemoveInput(source);
    }
}

TEST_F(FactoryEditorTest, AConnectionThatNeverMatchesIsMadeOnlyAfterOk)
{
    TSountoryInput* in = In("In", ValueDomType::Factor);
    TSountoryOutput* out = Out("Out", ValueDomType::Integer);
    for (bool ok : {false, true}) {
        host.answerOk = ok;
        editor.SetMode(ModeConnect);
        Press(Pt(out));
        Move(Pt(in));
        Move(Pt(in));
        Release();
        EXPECT_EQ(out->GetSource(), ok ? in : nullptr);
    }
    EXPECT_EQ(host.warnings,
              std::vector<std::string>(2, "Make Connection | Values out from the Source of this "
                                          "connection will never match the Target."));
    // A source released on a source only ends the drag.
    TSountoryInput* other = In("Other", ValueDomType::Factor, ValueDomain::AllValues, 0.2);
    Press(Pt(other));
    Move(Pt(in));
    Move(Pt(in));
    EXPECT_EQ(in->HighlightState, 0);
    Release();
    EXPECT_EQ(host.warnings.size(), 2u);
}

// ---- hints ----

TEST_F(FactoryEditorTest, APinUnderTheMouseIsHighlightedAndHintedWhileHintsAreOn)
{
    TSountoryInput* in = In("In", ValueDomType::Factor);
    NodeAt("N", {150, 100, 250, 200});
    Move(Pt(in), 0);
    EXPECT_EQ(in->HighlightState, 1);
    EXPECT_EQ(view.hint, "Undefined");
    // Off everything: no highlight, no hint, the arrow.
    Move({2, 2}, 0);
    EXPECT_EQ(in->HighlightState, 0);
    EXPECT_FALSE(view.hint.has_value());
    Move(Pt(in), 0);
    const int painted = view.invalidations;
    EXPECT_EQ(view.hintAt.x, Pt(in).x);
    EXPECT_EQ(editor.GetHintObject(), static_cast<TSountoryTouchable*>(in));
    // Over a node's edge: its sizing cursor, no highlight, no hint.
    Move(W(249, 150), 0);
    EXPECT_EQ(view.cursor, EditorCursor::SizeHor);
    EXPECT_EQ(in->HighlightState, 0);
    EXPECT_GT(view.invalidations, painted);
    EXPECT_FALSE(view.hint.has_value());
    Move(Pt(in), 0);
    EXPECT_EQ(view.cursor, EditorCursor::Default);
    ASSERT_TRUE(view.hint.has_value());
    factory.ClearModified();
    editor.ToggleShowHints();
    EXPECT_FALSE(view.hint.has_value());
    EXPECT_TRUE(factory.IsModified() && !editor.GetShowHints() && !factory.View.ShowHints);
    Move(Pt(in), 0);
    EXPECT_EQ(in->HighlightState, 1);
    EXPECT_FALSE(view.hint.has_value());
}

TEST_F(FactoryEditorTest, AFactoryReplacedUnderAHighlightedPinIsNeverTouchedAgain)
{
    auto old = std::make_unique<TUnitSountory>("Old", "", host);
    old->FactoryRect = factory.FactoryRect;
    TSountoryInput* pin =
        old->CreateInput("In", At(0.5), false, ValueDomType::Factor, ValueDomain::AllValues);
    RecordingView own;
    TFactoryEditor reverted(*old, own);
    reverted.MouseMove(0, Pt(pin));
    reverted.MouseDown(ButtonLeft, Pt(pin));
    ASSERT_EQ(reverted.GetHighlighted(), static_cast<TSountoryTouchable*>(pin));
    ASSERT_TRUE(reverted.IsDragging() && own.hint && own.dragCursor);
    // The old factory goes first, as a revert leaves it: the editor must not write into it.
    old.reset();
    reverted.SetFactory(factory);
    EXPECT_TRUE(!reverted.GetHighlighted() && !reverted.GetHintObject() && !reverted.IsDragging());
    EXPECT_FALSE(own.dragCursor || own.hint);
    reverted.MouseMove(ButtonLeft, {30, 40});
    reverted.MouseUp(0);
    EXPECT_EQ(own.dragCursorDepth, 0);
    EXPECT_EQ(&reverted.Factory(), &factory);
}

// ---- the pop-up ----

TEST_F(FactoryEditorTest, ThePopupShowsTheItemsOfTheElementUnderTheMouse)
{
    TSountoryInput* in = In("In", ValueDomType::Factor);
    TSountoryOutput* out = Out("Out", ValueDomType::Factor);
    out->Fixed = true;
    TTestNode* builtin = NodeAt("B", {60, 40, 160, 140});
    builtin->operands = true;
    TSountoryNodeInput* operand = NodeIn(builtin, "Operand 1", ValueDomType::AllComputable);
    operand->Fixed = true;
    TSountoryNodeOutput* result = NodeOut(builtin, "Result", ValueDomType::Factor);
    operand->SetSource(in);
    out->SetSource(result);
    factory.CreateNode<TSountoryNodeUser>("U", "Other", R{200, 40, 300, 140});
    factory.CreateNode<TSountoryNodeLoop>("L", "Other", R{200, 160, 300, 260}, true);
    struct Case
    {
        const char* what;
        PixelPoint at;
        const char* menu;
    };
    const Case cases[] = {
        {"nothing", {2, 2}, "|  | Delete Connections"},
        {"area", W(30, 270),
         "Properties -SetOutputTypes SetOutputValues AddBuiltinNode AddUserNode AddLoopNode "
         "AddInput AddOutput -Delete |  | Delete Connections"},
        {"factory input", Pt(in),
         "Properties ConnMake ConnDel Delete | Add &Connection | Delete Connection"},
        {"fixed factory output", Pt(out),
         "Properties ConnMake ConnDel -Delete | Replace &Connection | Delete Connection"},
        {"builtin node", W(110, 120),
         "Properties ConnDel SetInputTypes SetInputValues AddInputOperand CreateFactoryForNode "
         "Delete HelpBuiltin |  | Delete Connections"},
        {"user node", W(250, 120),
         "Properties -ConnDel -SetInputTypes -SetInputValues AddInput AddOutput "
         "CreateFactoryForNode Delete |  | Delete Connections"},
        {"repeat node", W(250, 240),
         "Properties -ConnDel -SetInputTypes SetInputValues AddInput -AddOutput "
         "CreateFactoryForNode Delete |  | Delete Connections"},
        {"fixed operand of one", Pt(operand),
         "Properties ConnMake ConnDel -Delete | Replace &Connection | Delete Connection"},
        {"node output", Pt(result),
         "Properties ConnMake ConnDel Delete | Add &Connection | Delete Connection"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Popup(c.at), c.menu) << c.what;

    // The area's node items need a free place; a second operand lets one go.
    factory.SetFactoryKind(FactoryCreateWW);
    EXPECT_NE(Popup(W(397, 40)).find("-AddBuiltinNode -AddUserNode AddLoopNode"),
              std::string::npos);
    EXPECT_NE(Popup(W(30, 270)).find("-AddOutput"), std::string::npos);
    // A third operand makes the fixed ones deletable.
    builtin->AddOperand();
    builtin->AddOperand();
    EXPECT_NE(Popup(Pt(operand)).find(" Delete |"), std::string::npos);
}

TEST_F(FactoryEditorTest, NewPinsAreNamedFreelyPlacedInsideTheirSideAndGoOnCancel)
{
    for (const char* name : {"Input", "Input 2", "Input 3"}) {
        RunAt(W(40, 150), I::AddInput);
        EXPECT_EQ(factory.Inputs().back()->Name, name);
    }
    EXPECT_DOUBLE_EQ(factory.Inputs().back()->GetHeightValue(), 0.5);
    EXPECT_EQ(factory.Inputs().back()->GetValueDomType(), ValueDomType::Wave);
    EXPECT_FALSE(factory.Inputs().back()->Fixed);
    RunAt(W(30, 290), I::AddOutput);
    EXPECT_EQ(factory.Outputs().back()->Name, "Output");
    EXPECT_FALSE(factory.Outputs().back()->Fixed);
    view.answer = false;
    RunAt(W(40, 150), I::AddInput);
    EXPECT_EQ(factory.Inputs().size(), 3u);
    view.answer = true;

    // Just above a node, inside its touch zone: the place is held at the side's top, and the
    // file that keeps it reads back.
    TTestNode* node = NodeAt("N", {150, 100, 250, 200});
    const R draw = node->GetDrawRect();
    RunAt({draw.left + 50, draw.top - 4}, I::AddOutput);
    RunAt({draw.left + 50, draw.bottom + 4}, I::AddInput);
    ASSERT_EQ(node->CountOutputs(), 1);
    EXPECT_EQ(node->Outputs()[0]->Name, "Output");
    EXPECT_DOUBLE_EQ(node->Outputs()[0]->GetHeightValue(), 0.0);
    EXPECT_DOUBLE_EQ(node->Inputs()[0]->GetHeightValue(), 1.0);
    EXPECT_FALSE(node->Inputs()[0]->Fixed || node->Outputs()[0]->Fixed);
    const std::string path =
        (std::filesystem::temp_directory_path() / "kv-editor-pins.kvf").string();
    ASSERT_TRUE(factory.SaveAs(path));
    TUnitSountory back("Back", path, host);
    EXPECT_TRUE(back.LoadFromFile(path, message)) << message;
    ASSERT_EQ(back.Nodes().size(), 1u);
    EXPECT_DOUBLE_EQ(back.Nodes()[0]->Outputs()[0]->GetHeightValue(), 0.0);
    EXPECT_DOUBLE_EQ(back.Nodes()[0]->Inputs()[0]->GetHeightValue(), 1.0);
    std::filesystem::remove(path);
}

TEST_F(FactoryEditorTest, DeleteSparesFixedPinsButNotOperandsWhichAreNumberedAgain)
{
    TSountoryInput* fixed = In("Fixed", ValueDomType::Factor);
    fixed->Fixed = true;
    TTestNode* node = NodeAt("N", {150, 60, 250, 260});
    node->operands = true;
    for (double h : {0.2, 0.5, 0.8})
        node->AddInput("Operand " + std::to_string(node->CountInputs() + 1), At(h), true,
                       ValueDomType::Factor, ValueDomain::AllValues);
    TSountoryNodeOutput* out = NodeOut(node, "Result", ValueDomType::Factor);
    out->Fixed = true;
    RunAt(Pt(fixed), I::Delete);
    RunAt(Pt(out), I::Delete);
    EXPECT_EQ(factory.Inputs().size(), 1u);
    EXPECT_EQ(node->CountOutputs(), 1);
    EXPECT_FALSE(factory.IsModified());
    RunAt(Pt(node->Inputs()[0].get()), I::Delete);
    EXPECT_EQ(NamesOf(node->Inputs()), (std::vector<std::string>{"Operand 1", "Operand 2"}));
    // Two operands are the least: the next one stays.
    RunAt(Pt(node->Inputs()[0].get()), I::Delete);
    EXPECT_EQ(node->CountInputs(), 2);
    // A pin deleted while it is highlighted and hinted (the command run without the pop-up's
    // own preparation) is forgotten before it goes.
    TSountoryInput* loose = In("Loose", ValueDomType::Factor, ValueDomain::AllValues, 0.9);
    Move(Pt(loose), 0);
    ASSERT_EQ(editor.GetHighlighted(), static_cast<TSountoryTouchable*>(loose));
    editor.MouseDown(ButtonRight, Pt(loose));
    editor.Run(I::Delete);
    EXPECT_EQ(editor.GetHighlighted(), nullptr);
    EXPECT_EQ(editor.GetHintObject(), nullptr);
    Move(W(300, 20), 0);
    RunAt(W(200, 100), I::Delete);
    EXPECT_TRUE(factory.Nodes().empty());
    EXPECT_TRUE(factory.IsModified());
}

TEST_F(FactoryEditorTest, NewNodesAreNamedUntilTheirDialogNamesThemAndGrowAfterIt)
{
    TestNodeMaker maker;
    ScopedService<TBuiltinNodeMaker> installed(&maker);
    TUnitSountory other("Other", "", host);
    other.CreateInput("A", At(0.2), false, ValueDomType::Factor, ValueDomain::AllValues);
    other.CreateInput("B", At(0.4), false, ValueDomType::Factor, ValueDomain::AllValues);
    other.CreateInput("C", At(0.6), false, ValueDomType::Factor, ValueDomain::AllValues);
    host.factories["Factory"] = &other;
    std::vector<std::string> named;
    view.act = [&named](TSountoryNode& node) {
        const R r = node.GetRect();
        named.push_back(node.Name + " " + std::to_string(r.right - r.left) + "x" +
                        std::to_string(r.bottom - r.top));
    };
    view.fitAnswer = true;
    RunAt(W(100, 100), I::AddBuiltinNode);
    RunAt(W(300, 100), I::AddUserNode);
    RunAt(W(100, 250), I::AddLoopNode);
    EXPECT_EQ(named, (std::vector<std::string>{"Builtin 120x105", "User Node  120x105",
                                               "Mix Loop Node  120x105"}));
    ASSERT_EQ(factory.Nodes().size(), 3u);
    // The user node took the three inputs of the factory it runs, and its height from them.
    TSountoryNode* user = factory.Nodes()[1].get();
    EXPECT_EQ(NamesOf(user->Inputs()), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(user->GetRect().right - user->GetRect().left, 170);
    EXPECT_EQ(user->GetRect().bottom - user->GetRect().top, 75);
    EXPECT_FALSE(AnyNodesOverlap(factory));
    // Cancelled, a new node goes again.
    view.answer = false;
    RunAt(W(300, 250), I::AddUserNode);
    EXPECT_EQ(factory.Nodes().size(), 3u);
    // No free place near the click: nothing is made and no dialog opens.
    const size_t dialogs = view.dialogs.size();
    RunAt(W(2, 150), I::AddLoopNode);
    EXPECT_EQ(view.dialogs.size(), dialogs);
}

TEST_F(FactoryEditorTest, NodeCommandsReachTheirDialogsAndTheConnectionsGo)
{
    TSountoryInput* in = In("In", ValueDomType::Factor);
    TTestNode* node = NodeAt("N", {150, 100, 250, 200});
    node->helpContext = 1030;
    NodeIn(node, "X", ValueDomType::Factor)->SetSource(in);
    NodeIn(node, "Y", ValueDomType::Factor)->SetSource(in);
    for (I item : {I::Properties, I::SetInputTypes, I::SetInputValues, I::CreateFactoryForNode,
                   I::HelpBuiltin})
        RunAt(W(200, 150), item);
    RunAt(W(30, 270), I::SetOutputValues);
    RunAt(W(30, 270), I::Properties);
    EXPECT_EQ(view.dialogs, (std::vector<std::string>{"node N", "types N", "values N", "new for N",
                                                      "help 1030", "output values", "factory"}));
    RunAt(Pt(in), I::ConnDel);
    EXPECT_EQ(node->CountConnections(), 0);
    // A user node's properties with the fit box left on take the pins of its factory.
    TUnitSountory other("Other", "", host);
    other.CreateInput("A", At(0.5), false, ValueDomType::Time, ValueDomain::AllValues);
    host.factories["Other"] = &other;
    factory.CreateNode<TSountoryNodeUser>("U", "Other", R{280, 20, 380, 120});
    view.fitAnswer = true;
    factory.ClearModified();
    RunAt(W(330, 70), I::Properties);
    EXPECT_EQ(NamesOf(factory.FindNode("U")->Inputs()), std::vector<std::string>{"A"});
    EXPECT_TRUE(factory.IsModified());
    // Make Connection starts a connection from the pin under the menu.
    RunAt(Pt(in), I::ConnMake);
    EXPECT_EQ(editor.GetConnectingPin(), static_cast<TSountoryTouchable*>(in));
}

TEST_F(FactoryEditorTest, ScrollPositionsPlaceTheAreaAndItsBars)
{
    editor.PlaceArea(30, 7);
    EXPECT_EQ(Text(factory.FactoryRect), "-7,-4,393,296");
    const TEditorScrollBar h = editor.HorScroll(505);
    const TEditorScrollBar v = editor.VertScroll(299);
    EXPECT_EQ(
        std::vector<int32_t>({h.increment, h.position, h.range, v.increment, v.position, v.range}),
        (std::vector<int32_t>{50, 30, 446, 29, 7, 306}));
    factory.ClearModified();
    editor.SetMode(ModeConnect);
    EXPECT_TRUE(factory.IsModified());
    EXPECT_EQ(factory.View.Mode, ModeConnect);
}

TEST(FactoryEditorCaptions, AConnectionCaptionForNoneOfTheKnownCases)
{
    EXPECT_EQ(MakeConnectionCaption(2), "Oops &Connection");
    EXPECT_EQ(CursorForPart(sntTouchTopRight, false), EditorCursor::SizeBDiag);
}

} // namespace
