// The part tree as the "Music Parts" window edits it, and the three lists the "Music" window
// walks: every edit keeps the parent links, the play order and the caps of the music file.
#include "music/core/MuzTree.h"
#include "music/core/MuzLists.h"
#include "support/MusicKit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

namespace kelvorn::test {
namespace {

/// The tree view as lines: depth dots, the text, the image, "*" for the selected node and "+"
/// for an expanded one.
class RecordingTree final : public TPartTreeView
{
public:
    void BeginFill() override
    {
        lines.clear();
        depth.clear();
        selected = nullptr;
        ++fills;
    }
    void EndFill() override {}
    Node AddNode(Node parent, TMusTreeItem& item, const std::string& text, int32_t image) override
    {
        const int level = parent ? depth[parent] + 1 : 0;
        lines.push_back(std::string(size_t(level), '.') + text + "#" + std::to_string(image));
        items.push_back(&item);
        Node node = reinterpret_cast<Node>(lines.size());
        depth[node] = level;
        return node;
    }
    void SetExpanded(Node node, bool expanded) override
    {
        if (expanded)
            lines[reinterpret_cast<size_t>(node) - 1] += "+";
    }
    void SelectNode(Node node) override
    {
        selected = node;
        lines[reinterpret_cast<size_t>(node) - 1] += "*";
    }
    TMusTreeItem* ItemOf(Node node) const override
    {
        return items.at(reinterpret_cast<size_t>(node) - 1);
    }

    std::vector<std::string> lines;
    std::vector<TMusTreeItem*> items;
    std::map<Node, int> depth;
    Node selected = nullptr;
    int fills = 0;
};

std::string PlayOrder(TUnitMuz& doc)
{
    std::string order;
    for (TSinglePartMuz* s = doc.GetRootPart()->FirstSinglePart(); s;
         s = s->GetParent()->NextSinglePart(s))
        order += (order.empty() ? "" : " ") + s->GetShowLabel();
    return order;
}

enum class Cmd { Insert, Append, Loop, Turns, Turn, F, B, FI, BI, FO, BO, Delete };

struct Step
{
    const char* part; // the label of the part the command works on
    Cmd cmd;
    const char* shape;    // the tree afterwards
    const char* selected; // the label of what the command selects
};

TTreeEdit RunCommand(TUnitMuz& doc, TPartMuz& part, Cmd cmd)
{
    switch (cmd) {
    case Cmd::Insert:
        return InsertSinglePart(doc, part, false);
    case Cmd::Append:
        return InsertSinglePart(doc, part, true);
    case Cmd::Loop:
        return WrapInLoop(doc, part);
    case Cmd::Turns:
        return WrapInSelect(doc, part);
    case Cmd::Turn:
        return AddTurnItem(static_cast<TSelectPartMuz&>(part));
    case Cmd::F:
        return MovePart(doc, part, TPartMove::Forward);
    case Cmd::B:
        return MovePart(doc, part, TPartMove::Backward);
    case Cmd::FI:
        return MovePart(doc, part, TPartMove::ForwardIn);
    case Cmd::BI:
        return MovePart(doc, part, TPartMove::BackwardIn);
    case Cmd::FO:
        return MovePart(doc, part, TPartMove::ForwardOut);
    case Cmd::BO:
        return MovePart(doc, part, TPartMove::BackwardOut);
    case Cmd::Delete:
        return DeleteTreeItem(doc, part);
    }
    return {};
}

TEST(MuzTreeTest, EveryStructureCommandKeepsTheLinksAndGivesTheExpectedOrder)
{
    MusicDoc m;
    LabelParts(m.doc, {"A", "B", "C"});
    // Parts are found by the label they show: a new single part shows "part".
    const Step steps[] = {
        {"B", Cmd::Insert, "A part B C", "part"},
        {"part", Cmd::Delete, "A B C", "B"},
        {"C", Cmd::Append, "A B C part", "part"},
        {"part", Cmd::Delete, "A B C", "C"},
        {"B", Cmd::F, "A C B", "B"},
        {"B", Cmd::B, "A B C", "B"},
        {"A", Cmd::F, "B A C", "A"},
        {"A", Cmd::F, "B C A", "A"},
        {"A", Cmd::B, "B A C", "A"},
        {"B", Cmd::F, "A B C", "B"},
        {"B", Cmd::Loop, "A {B}2 C", "repeat 2"},
        {"A", Cmd::FI, "{A B}2 C", "A"},
        {"C", Cmd::BI, "{A B C}2", "C"},
        {"A", Cmd::FO, "{B C}2 A", "A"},
        {"C", Cmd::BO, "C {B}2 A", "C"},
        {"A", Cmd::Turns, "C {B}2 <A|1>", "turns"},
        {"turns", Cmd::Turn, "C {B}2 <A|1,2>", "turn 2"},
        {"C", Cmd::FI, "{C B}2 <A|1,2>", "C"},
        {"B", Cmd::FO, "{C}2 B <A|1,2>", "B"},
        {"B", Cmd::FI, "{C}2 <B A|1,2>", "B"},
        {"A", Cmd::BO, "{C}2 A <B|1,2>", "A"},
        {"repeat 2", Cmd::Delete, "C A <B|1,2>", "C"},
        {"turns", Cmd::Delete, "C A B", "B"},
        {"B", Cmd::Delete, "C A", "A"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.part) + " -> " + step.shape);
        TPartMuz* part = PartLabelled(m.doc.GetRootPart(), step.part);
        ASSERT_NE(part, nullptr);
        const TTreeEdit edit = RunCommand(m.doc, *part, step.cmd);
        ASSERT_NE(edit.select, nullptr) << edit.refusal;
        m.doc.SetSelMusTreeItem(edit.select);
        EXPECT_TRUE(m.doc.CheckPartTree());
        EXPECT_EQ(TreeShape(m.doc), step.shape);
        EXPECT_EQ(edit.select->GetShowLabel(), step.selected);
        if (step.cmd == Cmd::Insert || step.cmd == Cmd::Append) {
            const TMuzBar* bar = static_cast<TSinglePartMuz*>(edit.select)->GetMuzBar();
            EXPECT_EQ(bar->GetCount() * 100 + bar->GetLength() * 10 + bar->GetCountFirstBar(), 440);
        }
        EXPECT_TRUE(HoldsTreeItem(m.doc, edit.select));
        // Every single part keeps its bar and a clef for the stave.
        for (TSinglePartMuz* s = m.doc.GetRootPart()->FirstSinglePart(); s;
             s = s->GetParent()->NextSinglePart(s)) {
            EXPECT_NE(s->GetMuzBar(), nullptr);
            EXPECT_NE(s->GetOpeningKey(m.stave), nullptr);
        }
    }
    EXPECT_TRUE(m.messages.Unexpected().empty());
    EXPECT_EQ(PlayOrder(m.doc), "C A");
    // What was written reads back as the same tree.
    MuzLoad back(MuzText(m.doc));
    ASSERT_TRUE(back.ok) << back.message;
    EXPECT_EQ(TreeShape(*back.doc), "C A");
    // Another piece's part, and no item at all, are not in the tree.
    EXPECT_FALSE(HoldsTreeItem(m.doc, back.doc->GetRootPart()->GetChild()));
    EXPECT_FALSE(HoldsTreeItem(m.doc, nullptr));
}

TEST(MuzTreeTest, ANodeOffersTheMovesItsSiblingsAllow)
{
    MusicDoc m;
    LabelParts(m.doc, {"A", "B", "C", "D"});
    auto at = [&m](const char* label) { return PartLabelled(m.doc.GetRootPart(), label); };
    WrapInLoop(m.doc, *at("B"));
    MovePart(m.doc, *at("C"), TPartMove::BackwardIn);
    WrapInSelect(m.doc, *at("D"));
    ASSERT_EQ(TreeShape(m.doc), "A {B C}2 <D|1>");
    // Moves: F B FI BI FO BO, then whether Delete is offered.
    auto offered = [&](TPartMuz* part) {
        std::string flags;
        for (TPartMove move :
             {TPartMove::Forward, TPartMove::Backward, TPartMove::ForwardIn, TPartMove::BackwardIn,
              TPartMove::ForwardOut, TPartMove::BackwardOut})
            flags += CanMovePart(*part, move) ? "1" : "0";
        return flags + (CanDeleteTreeItem(*part) ? "d" : "-");
    };
    struct Case
    {
        const char* label;
        const char* flags;
    };
    for (const Case& c :
         {Case{"A", "101000d"}, Case{"B", "100011d"}, Case{"C", "010011d"}, Case{"D", "000000-"}}) {
        EXPECT_EQ(offered(at(c.label)), c.flags) << c.label;
    }
    TPartMuz* loop = at("B")->GetParent()->GetParent();
    TPartMuz* select = at("D")->GetParent();
    EXPECT_EQ(offered(loop), "111000d");
    EXPECT_EQ(offered(select), "010100d");
    // The root's only part has nothing beside it.
    MusicDoc alone;
    EXPECT_EQ(offered(alone.part), "000000-");
}

TEST(MuzTreeTest, TheFilledTreeListsTurnItemsByCountAndEqualCountsInListOrder)
{
    // A file may hold two turns of one count; the first decides when rendering.
    MusicDoc m;
    WrapInSelect(m.doc, *m.part);
    auto* select = static_cast<TSelectPartMuz*>(m.part->GetParent());
    select->GetSelectPartItems()->GetNext()->SetLabel("first one");
    select->AddCountSelectPartItem(3, 0)->SetLabel("three");
    select->AddCountSelectPartItem(1, 5)->SetLabel("second one");
    select->AddCountSelectPartItem(2, 0);
    MuzLoad back(MuzText(m.doc));
    ASSERT_TRUE(back.ok) << back.message;
    RecordingTree tree;
    back.doc->FillPartTree(tree);
    // None is selected; the new turns part was written unfolded.
    EXPECT_EQ(tree.lines, (std::vector<std::string>{"turns#3+", ".first one#2", ".second one#2",
                                                    ".turn 2#2", ".three#2", ".part#1"}));
    EXPECT_EQ(tree.selected, nullptr);
    int32_t pitch = -1;
    auto* read = static_cast<TSelectPartMuz*>(back.doc->GetRootPart()->GetChild());
    EXPECT_TRUE(read->FindTurn(1, pitch));
    EXPECT_EQ(pitch, 0);
    // The item shown is the one deleted, not the first of its count.
    TMusTreeItem* second = tree.items[2];
    back.doc->SetSelMusTreeItemFromNode(tree, reinterpret_cast<void*>(3));
    EXPECT_EQ(back.doc->GetSelectedTreeItem(), second);
    const TTreeEdit gone = DeleteTreeItem(*back.doc, *second);
    EXPECT_EQ(gone.select, read);
    EXPECT_EQ(back.doc->GetSelectedTreeItem(), nullptr) << "no reference to the deleted item";
    EXPECT_EQ(TreeShape(*back.doc), "<part|1,3,2>");
    // A new turn counts on from the highest count, not from the last item's.
    EXPECT_EQ(HighestTurnCount(*read), 3);
    // The select part's own first item has no node and cannot go.
    EXPECT_FALSE(CanDeleteTreeItem(*read->GetSelectPartItems()));
    back.doc->SetSelMusTreeItem(AddTurnItem(*read).select);
    EXPECT_EQ(TreeShape(*back.doc), "<part|1,3,2,4>");
    back.doc->FillPartTree(tree);
    EXPECT_EQ(tree.lines, (std::vector<std::string>{"turns#3+", ".first one#2", ".turn 2#2",
                                                    ".three#2", ".turn 4#2*", ".part#1"}));
}

TEST(MuzTreeTest, ConcatenationsHaveNoNodeAndLoopsShowTheirCount)
{
    MusicDoc m;
    LabelParts(m.doc, {"A", "B", "C"});
    WrapInLoop(m.doc, *PartLabelled(m.doc.GetRootPart(), "B"));
    RecordingTree tree;
    m.doc.SetSelMusTreeItem(PartLabelled(m.doc.GetRootPart(), "C"));
    m.doc.FillPartTree(tree);
    EXPECT_EQ(tree.lines, (std::vector<std::string>{"A#1", "repeat 2#0+", ".B#1", "C#1*"}));
    EXPECT_TRUE(PartSiblings(*PartLabelled(m.doc.GetRootPart(), "B")).previous == nullptr);
}

TEST(MuzTreeTest, NoEditMakesATreeDeeperOrATurnHigherThanAFileHolds)
{
    // A under the concatenations on level 2, B and C on level 3; A wrapped up to the last level.
    MusicDoc m;
    LabelParts(m.doc, {"A", "B", "C"});
    TPartMuz* top = m.part;
    for (int level = 2; level < muzPartDepthMax; ++level) {
        const TTreeEdit wrap = WrapInLoop(m.doc, *top);
        ASSERT_NE(wrap.select, nullptr) << level << ": " << wrap.refusal;
        top = AsTreePart(wrap.select);
    }
    TPartMuz* b = PartLabelled(m.doc.GetRootPart(), "B");
    const std::string deep = "Music Parts cannot be nested deeper than 4096 levels.";
    const std::pair<const char*, std::function<TTreeEdit()>> edits[] = {
        {"wrap the top", [&] { return WrapInLoop(m.doc, *top); }},
        {"turns inside", [&] { return WrapInSelect(m.doc, *m.part); }},
        {"insert inside", [&] { return InsertSinglePart(m.doc, *m.part, true); }},
        {"top down a level", [&] { return MovePart(m.doc, *top, TPartMove::Forward); }},
        {"B up a level", [&] { return MovePart(m.doc, *b, TPartMove::Backward); }},
        {"top into C's", [&] {
             WrapInLoop(m.doc, *PartLabelled(m.doc.GetRootPart(), "C"));
             return MovePart(m.doc, *b, TPartMove::ForwardIn);
         }}};
    for (const auto& [name, edit] : edits)
        EXPECT_EQ(edit().refusal, name == std::string("top into C's") ? "" : deep) << name;
    EXPECT_TRUE(m.doc.CheckPartTree());
    // The deepest tree allowed is still written and read.
    MuzLoad back(MuzText(m.doc));
    EXPECT_TRUE(back.ok) << back.message;

    MusicDoc turns;
    WrapInSelect(turns.doc, *turns.part);
    auto* select = static_cast<TSelectPartMuz*>(turns.part->GetParent());
    static_cast<TCountSelectPartItem*>(select->GetSelectPartItems()->GetNext())
        ->Count.SetValue(muzCountMax);
    EXPECT_EQ(AddTurnItem(*select).refusal, "In Count: Value must be less or equal of 9999.");
    EXPECT_EQ(TreeShape(turns.doc), "<part|9999>");
}

TEST(MuzTreeTest, DeletingAPartTakesItsSymbolsAndEveryReferenceToThem)
{
    MusicDoc m;
    LabelParts(m.doc, {"A", "B"});
    auto* b = static_cast<TSinglePartMuz*>(PartLabelled(m.doc.GetRootPart(), "B"));
    TMuzNote* note = m.Note(0.0, 3, 4, b);
    m.doc.SetSelectedSymbol(note);
    WrapInLoop(m.doc, *b);
    auto* loop = static_cast<TLoopPartMuz*>(b->GetParent());
    m.doc.SetSelMusTreeItem(loop);
    // The loop goes with its marks; its content stays where the loop stood.
    m.doc.SetSelectedSymbol(loop->GetLeftLoopSymbol());
    EXPECT_EQ(DeleteTreeItem(m.doc, *loop).select, b);
    EXPECT_EQ(m.doc.GetSelectedSymbol(), nullptr);
    EXPECT_EQ(m.doc.GetSelectedTreeItem(), nullptr);
    m.doc.SetSelectedSymbol(note);
    m.doc.SetSelMusTreeItem(b);
    EXPECT_EQ(DeleteTreeItem(m.doc, *b).select, PartLabelled(m.doc.GetRootPart(), "A"));
    EXPECT_EQ(m.doc.GetSelectedSymbol(), nullptr);
    EXPECT_EQ(m.doc.GetSelectedTreeItem(), nullptr);
    EXPECT_EQ(TreeShape(m.doc), "A");
    EXPECT_TRUE(m.doc.CheckPartTree());
}

TEST(MuzTreeTest, APartGoesToTheFirstAndLastSymbolOfAStave)
{
    MusicDoc m;
    LabelParts(m.doc, {"A", "B"});
    auto* b = static_cast<TSinglePartMuz*>(PartLabelled(m.doc.GetRootPart(), "B"));
    m.Note(0.0, 1, 4, b);
    TMuzNote* last = m.Note(0.5, 2, 4, b);
    EXPECT_EQ(PartStaveSymbol(*b, *m.stave, false), b->GetOpeningKey(m.stave));
    EXPECT_EQ(PartStaveSymbol(*b, *m.stave, true), last);
    // An empty part ends at its bar; a loop at its marks.
    TPartMuz* a = PartLabelled(m.doc.GetRootPart(), "A");
    EXPECT_EQ(PartStaveSymbol(*a, *m.stave, true), m.part->GetMuzBar());
    WrapInLoop(m.doc, *b);
    auto* loop = static_cast<TLoopPartMuz*>(b->GetParent());
    EXPECT_EQ(PartStaveSymbol(*loop, *m.stave, false), loop->GetLeftLoopSymbol());
    EXPECT_EQ(PartStaveSymbol(*loop, *m.stave, true), loop->GetRightLoopSymbol());
    // The stave of the selection: a stave symbol's, the last one while a bar is selected.
    m.doc.SetSelectedSymbol(nullptr);
    EXPECT_EQ(SelectionStave(m.doc), nullptr);
    m.doc.SetSelectedSymbol(last);
    m.doc.SetSelectedSymbol(m.part->GetMuzBar());
    EXPECT_EQ(SelectionStave(m.doc), m.stave);
}

TEST(MuzTreeTest, OctavesShowWholeAndFractionalOctaves)
{
    struct Case
    {
        int32_t semitones;
        const char* text;
    };
    for (const Case& c :
         {Case{18, "1 1/2"}, Case{12, "1"}, Case{7, "7/12"}, Case{0, "0"}, Case{-6, "-1/2"},
          Case{-18, "-1 1/2"}, Case{-12, "-1"}, Case{13, "1 1/12"}, Case{-1, "-1/12"},
          Case{16, "1 1/3"}, Case{9, "3/4"}, Case{-26, "-2 1/6"}, Case{INT32_MIN, "-178956970 2/3"},
          Case{INT32_MAX, "178956970 7/12"}})
        EXPECT_EQ(OctaveText(c.semitones), c.text) << c.semitones;
}

TEST(MuzTreeTest, NamesAFileCannotHoldAreRefused)
{
    struct Case
    {
        const char* text;
        bool latin1;
        const char* problem;
    };
    const std::string angle = "A name cannot hold \"<\" or \">\".";
    for (const Case& c : {Case{"Wave 1", true, ""}, Case{"caf\xe9", true, ""},
                          Case{"a<b", true, angle.c_str()}, Case{">", true, angle.c_str()},
                          Case{"a\tb", true, "A name cannot hold control characters."},
                          Case{"x", false, "A name can only hold characters of Latin-1."}})
        EXPECT_EQ(StoredNameProblem(c.text, c.latin1), c.problem) << c.text;
    EXPECT_EQ(TrimmedName("  \t a b \n"), "a b");
    EXPECT_EQ(TrimmedName("   "), "");
}

// ---- The three lists -------------------------------------------------------------------------

/// One list of three elements told apart by a number, as the "Music" window walks it.
struct ListKit
{
    const char* name;
    std::function<std::unique_ptr<TMuzList>(MusicDoc&)> make; // with elements 1, 2, 3
    std::function<std::string(MusicDoc&)> order;              // the numbers, the current in []
};

std::string Numbers(std::vector<int> numbers, int current)
{
    std::string text;
    for (size_t i = 0; i < numbers.size(); ++i) {
        const std::string n = std::to_string(numbers[i]);
        text += (text.empty() ? "" : " ") + (int(i) == current ? "[" + n + "]" : n);
    }
    return text;
}

const ListKit lists[] = {
    {"staves",
     [](MusicDoc& m) {
         m.stave->RoomUp.SetValue(1);
         m.doc.AddStave(m.doc.AddStave(m.stave))->RoomUp.SetValue(3);
         m.stave->GetNext()->RoomUp.SetValue(2);
         return StaveList(m.doc);
     },
     [](MusicDoc& m) {
         std::vector<int> n;
         int current = -1;
         for (TNoteStave* s = m.doc.GetFirstStave(); s; s = s->GetNext()) {
             if (s == m.doc.GetCurrentStave())
                 current = int(n.size());
             // A new stave has the default room of 80: shown as 0 like the other lists' new ones.
             n.push_back(s->RoomUp.GetValue() == 80 ? 0 : s->RoomUp.GetValue());
         }
         return Numbers(n, current);
     }},
    {"note groups",
     [](MusicDoc& m) {
         auto list = NoteGroupList(*m.stave);
         list->Insert(true);
         list->Insert(true);
         int c = 1;
         for (TNoteGroup* g = m.stave->GetFirstNoteGroup(); g; g = g->GetNext())
             g->NoteColor = uint32_t(c++);
         return list;
     },
     [](MusicDoc& m) {
         std::vector<int> n;
         int current = -1;
         for (TNoteGroup* g = m.stave->GetFirstNoteGroup(); g; g = g->GetNext()) {
             if (g == m.stave->GetSelectedNoteGroup())
                 current = int(n.size());
             n.push_back(int(g->NoteColor));
         }
         return Numbers(n, current);
     }},
    {"players",
     [](MusicDoc& m) {
         auto list = OnePlayerList(*m.Group()->GetPlayer());
         list->Insert(true);
         list->Insert(true);
         int c = 1;
         for (TOnePlayer* p = m.Group()->GetPlayer()->GetFirstOnePlayer(); p; p = p->GetNext())
             p->OnePlayerProps.VolumeFactor.SetValue(c++);
         return list;
     },
     [](MusicDoc& m) {
         std::vector<int> n;
         int current = -1;
         TCompoundPlayer& compound = *m.Group()->GetPlayer();
         for (TOnePlayer* p = compound.GetFirstOnePlayer(); p; p = p->GetNext()) {
             if (p == compound.GetCurrentOnePlayer())
                 current = int(n.size());
             n.push_back(int(p->OnePlayerProps.VolumeFactor.GetValue()));
         }
         return Numbers(n, current);
     }},
};

TEST(MuzListsTest, EveryListInsertsDeletesAndMovesAroundItsCurrentElement)
{
    struct Op
    {
        int select; // the current place before the change
        std::function<bool(TMuzList&)> change;
        bool changed;
        const char* after; // the numbers afterwards, a new element as 0
    };
    auto insert = [](bool after) {
        return [after](TMuzList& l) {
            l.Insert(after);
            return true;
        };
    };
    auto remove = [](TMuzList& l) { return l.DeleteCurrent(); };
    auto move = [](bool forward) {
        return [forward](TMuzList& l) { return l.MoveCurrent(forward); };
    };
    const Op ops[] = {
        {0, insert(false), true, "[0] 1 2 3"},
        {1, insert(true), true, "1 2 [0] 3"},
        {1, insert(false), true, "1 [0] 2 3"},
        {2, remove, true, "1 [2]"},
        {1, remove, true, "1 [3]"},
        {0, remove, true, "[2] 3"},
        {0, move(false), false, "[1] 2 3"},
        {2, move(true), false, "1 2 [3]"},
        {0, move(true), true, "2 [1] 3"},
        {2, move(false), true, "1 [3] 2"},
    };
    for (const ListKit& kit : lists) {
        for (const Op& op : ops) {
            MusicDoc m;
            std::unique_ptr<TMuzList> list = kit.make(m);
            list->SetCurrentIndex(op.select);
            const bool changed = op.change(*list);
            const std::string after = kit.order(m);
            EXPECT_EQ(changed, op.changed) << kit.name << " " << op.after;
            EXPECT_EQ(after, op.after) << kit.name;
            EXPECT_EQ(list->Count(), std::count(after.begin(), after.end(), ' ') + 1);
            EXPECT_TRUE(m.messages.Unexpected().empty()) << kit.name << " " << op.after;
        }
        // The only element stays.
        MusicDoc m;
        std::unique_ptr<TMuzList> one = kit.make(m);
        one->DeleteCurrent();
        one->DeleteCurrent();
        EXPECT_EQ(one->Count(), 1) << kit.name;
        EXPECT_FALSE(one->DeleteCurrent()) << kit.name;
        EXPECT_EQ(one->CurrentIndex(), 0) << kit.name;
    }
}

TEST(MuzListsTest, ANewStaveGroupOrPlayerHasItsDefaults)
{
    MusicDoc m;
    m.Note(0.0, 1);
    StaveList(m.doc)->Insert(true);
    TNoteStave* added = m.doc.GetCurrentStave();
    EXPECT_EQ(added, m.stave->GetNext());
    // A clef for the new stave in every single part; its one group with one player.
    EXPECT_NE(m.part->GetOpeningKey(added), nullptr);
    TNoteGroup* group = added->GetFirstNoteGroup();
    EXPECT_EQ(group->GetNext(), nullptr);
    NoteGroupList(*added)->Insert(false);
    TNoteGroup* fresh = added->GetSelectedNoteGroup();
    EXPECT_EQ(fresh->GetNext(), group);
    EXPECT_EQ(fresh->NoteColor, 0u);
    EXPECT_EQ(fresh->NoteShape, 0);
    EXPECT_EQ(fresh->GetDefaultStem(), drawStickUp);
    const TOnePlayer* player = fresh->GetPlayer()->GetFirstOnePlayer();
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->GetNext(), nullptr);
    const TOnePlayerProps& props = player->OnePlayerProps;
    EXPECT_EQ(props.GetKind(), notePlayerSimpleSampler);
    EXPECT_EQ(props.VolumeFactor.ToText() + " " + props.FreqUp.ToText() + " " +
                  props.GetSimpleSamplerProps().BasicFreq.ToText() + " " +
                  props.GetSimpleSamplerProps().SampleWave.GetCaption(),
              unitFactor(0.5, EHPerc).ToText() + " " + unitFreq(0, EHKHZ).ToText() + " " +
                  unitTimePosMore(0.001, EHKHZ).ToText() + " sample");
}

TEST(MuzListsTest, DeletingAGroupOrStaveLeavesRestsAndNoReferenceBehind)
{
    MusicDoc m;
    auto groups = NoteGroupList(*m.stave);
    groups->Insert(true);
    TNoteGroup* second = m.stave->GetSelectedNoteGroup();
    auto* early = new TMuzNote(&m.doc, second, 4, 0, 0.0, 2, m.stave, noteShiftNormal, sool, 0,
                               noteArtNormal, m.part, drawStickAuto);
    m.part->InsertSymbol(early);
    m.Note(0.5, 4);
    m.doc.SetSelectedSymbol(early);
    EXPECT_TRUE(groups->DeleteCurrent());
    EXPECT_EQ(m.doc.GetSelectedSymbol(), nullptr);
    EXPECT_EQ(m.stave->GetSelectedNoteGroup(), m.stave->GetFirstNoteGroup());
    // The half before the remaining note is a rest now.
    std::string chain;
    for (TStaveSymbol* s = m.part->FirstSymbol(); s; s = s->GetNext())
        chain += std::to_string(s->GetStaveSymbolKind()) + "@" +
                 std::to_string(int(s->GetPosition() * 8)) + " ";
    EXPECT_EQ(chain, "0@0 2@0 1@4 ");

    TNoteStave* lower = m.doc.AddStave(m.stave);
    TMuzNote* low = m.Note(0.0, 1, 4, nullptr, lower);
    m.doc.SetSelectedSymbol(low);
    m.doc.SetSelectedSymbol(m.part->GetMuzBar());
    ASSERT_EQ(m.doc.GetSelectedInStave(), lower);
    ASSERT_EQ(m.doc.GetCurrentStave(), lower);
    EXPECT_TRUE(StaveList(m.doc)->DeleteCurrent());
    // The last stave went: its predecessor is current, and nothing points at it.
    EXPECT_EQ(m.doc.GetCurrentStave(), m.stave);
    EXPECT_EQ(m.doc.GetSelectedInStave(), nullptr);
    EXPECT_EQ(m.part->GetOpeningKey(m.stave)->GetNext()->GetNoteStave(), m.stave);
    EXPECT_EQ(m.doc.CountStaves(), 1);
}

TEST(MuzListsTest, TheCurrentPlayerIsTheFirstUntilChosenAndMovesOffADeletedOne)
{
    MusicDoc m;
    TCompoundPlayer& compound = *m.Group()->GetPlayer();
    TOnePlayer* first = compound.GetFirstOnePlayer();
    EXPECT_EQ(compound.GetCurrentOnePlayer(), first);
    auto list = OnePlayerList(compound);
    list->Insert(true);
    TOnePlayer* second = compound.GetCurrentOnePlayer();
    EXPECT_EQ(first->GetNext(), second);
    // Unlinked by another road, the current player is no longer shown.
    compound.DeleteOnePlayer(second);
    delete second;
    EXPECT_EQ(compound.GetCurrentOnePlayer(), first);
    // Read back, the first player is current.
    list->Insert(true);
    MuzLoad back(MuzText(m.doc));
    ASSERT_TRUE(back.ok) << back.message;
    TCompoundPlayer& read = *back.doc->GetFirstStave()->GetFirstNoteGroup()->GetPlayer();
    EXPECT_EQ(read.GetCurrentOnePlayer(), read.GetFirstOnePlayer());
}

TEST(MuzListsTest, ARenderThatFailsShowsWhy)
{
    MusicDoc m;
    m.Note(0.0, 5);
    m.Player().OnePlayerProps = SimpleProps("missing", 1.0 / 440.0);
    m.messages.Expect();
    EXPECT_EQ(RenderedSound(m.doc.CreateSound()), nullptr);
    ASSERT_EQ(m.messages.Shown().size(), 1u);
    EXPECT_EQ(m.messages.Shown()[0].caption + ": " + m.messages.Shown()[0].text,
              "Error: Cannot create music: Cannot find window \"missing\".");
    m.waves.Add("missing", SineSound(440, 1000));
    std::unique_ptr<Sound> sound = RenderedSound(m.doc.CreateSound());
    ASSERT_NE(sound, nullptr);
    EXPECT_GT(sound->GetValues(), 0);
}

} // namespace
} // namespace kelvorn::test
