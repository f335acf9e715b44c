// The part tree as the "Music Parts" window edits it, and the three lists the "Music" window
// walks: every edit keeps the parent links, the play order and the caps of the music file, and
// leaves no reference to what it removed.
#include "music/core/MuzTree.h"
#include "music/core/MuzLists.h"
#include "support/MusicKit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace kelvorn::test {
namespace {

/// The tree view as lines: a dot per level, the text, "#" and the image, "*" for the selected
/// node and "+" for an expanded one. Node n is line n - 1.
class RecordingTree final : public TPartTreeView
{
public:
    void BeginFill() override { lines.clear(), items.clear(), levels.clear(); }
    void EndFill() override {}
    Node AddNode(Node parent, TMusTreeItem& item, const std::string& text, int32_t image) override
    {
        levels.push_back(parent ? levels[At(parent)] + 1 : 0);
        lines.push_back(std::string(size_t(levels.back()), '.') + text + "#" +
                        std::to_string(image));
        items.push_back(&item);
        return reinterpret_cast<Node>(lines.size());
    }
    void SetExpanded(Node node, bool expanded) override { lines[At(node)] += expanded ? "+" : ""; }
    void SelectNode(Node node) override { lines[At(node)] += "*"; }
    TMusTreeItem* ItemOf(Node node) const override { return items.at(At(node)); }

    std::vector<std::string> lines;
    std::vector<TMusTreeItem*> items;

private:
    static size_t At(Node node) { return reinterpret_cast<size_t>(node) - 1; }
    std::vector<int> levels;
};

using Edit = std::function<TTreeEdit(TUnitMuz&, TPartMuz&)>;

Edit Move(TPartMove move)
{
    return [move](TUnitMuz& doc, TPartMuz& part) { return MovePart(doc, part, move); };
}

TEST(MuzTreeTest, EveryStructureCommandKeepsTheLinksAndGivesTheExpectedOrder)
{
    MusicDoc m;
    LabelParts(m.doc, {"A", "B", "C"});
    const Edit insert = [](TUnitMuz& d, TPartMuz& p) { return InsertSinglePart(d, p, false); };
    const Edit append = [](TUnitMuz& d, TPartMuz& p) { return InsertSinglePart(d, p, true); };
    const Edit turn = [](TUnitMuz&, TPartMuz& p) {
        return AddTurnItem(static_cast<TSelectPartMuz&>(p));
    };
    const Edit remove = [](TUnitMuz& d, TPartMuz& p) { return DeleteTreeItem(d, p); };
    const Edit f = Move(TPartMove::Forward), b = Move(TPartMove::Backward),
               fi = Move(TPartMove::ForwardIn), bi = Move(TPartMove::BackwardIn),
               fo = Move(TPartMove::ForwardOut), bo = Move(TPartMove::BackwardOut);
    struct Step
    {
        const char* part; // by the label it shows: a new single part shows "part"
        Edit edit;
        const char* shape;
        const char* selected;
    };
    const Step steps[] = {
        {"B", insert, "A part B C", "part"},
        {"part", remove, "A B C", "B"},
        {"C", append, "A B C part", "part"},
        {"part", remove, "A B C", "C"},
        {"B", f, "A C B", "B"},
        {"B", b, "A B C", "B"},
        {"A", f, "B A C", "A"},
        {"A", f, "B C A", "A"},
        {"A", b, "B A C", "A"},
        {"B", f, "A B C", "B"},
        {"B", WrapInLoop, "A {B}2 C", "repeat 2"},
        {"A", fi, "{A B}2 C", "A"},
        {"C", bi, "{A B C}2", "C"},
        {"A", fo, "{B C}2 A", "A"},
        {"C", bo, "C {B}2 A", "C"},
        {"A", WrapInSelect, "C {B}2 <A|1>", "turns"},
        {"turns", turn, "C {B}2 <A|1,2>", "turn 2"},
        {"C", fi, "{C B}2 <A|1,2>", "C"},
        {"B", fo, "{C}2 B <A|1,2>", "B"},
        {"B", fi, "{C}2 <B A|1,2>", "B"},
        {"A", bo, "{C}2 A <B|1,2>", "A"},
        {"repeat 2", remove, "C A <B|1,2>", "C"},
        {"turns", remove, "C A B", "B"},
        {"B", remove, "C A", "A"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.part) + " -> " + step.shape);
        TPartMuz* part = PartLabelled(m.doc.GetRootPart(), step.part);
        ASSERT_NE(part, nullptr);
        const TTreeEdit edit = step.edit(m.doc, *part);
        ASSERT_NE(edit.select, nullptr) << edit.refusal;
        EXPECT_TRUE(m.doc.CheckPartTree());
        EXPECT_EQ(TreeShape(m.doc), step.shape);
        EXPECT_EQ(edit.select->GetShowLabel(), step.selected);
        EXPECT_TRUE(HoldsTreeItem(m.doc, edit.select));
        // Every single part keeps its bar (a new one 4/4) and a clef for the stave.
        for (TSinglePartMuz* s = m.doc.GetRootPart()->FirstSinglePart(); s;
             s = s->GetParent()->NextSinglePart(s)) {
            const TMuzBar* bar = s->GetMuzBar();
            EXPECT_EQ(bar->GetCount() * 100 + bar->GetLength() * 10 + bar->GetCountFirstBar(), 440);
            EXPECT_NE(s->GetOpeningKey(m.stave), nullptr);
        }
    }
    std::string order;
    for (TSinglePartMuz* s = m.doc.GetRootPart()->FirstSinglePart(); s;
         s = s->GetParent()->NextSinglePart(s))
        order += s->GetShowLabel();
    EXPECT_EQ(order, "CA");
    MuzLoad back(MuzText(m.doc));
    ASSERT_TRUE(back.ok) << back.message;
    EXPECT_EQ(TreeShape(*back.doc), "C A");
    // Another piece's part, and no item at all, are not in the tree.
    EXPECT_FALSE(HoldsTreeItem(m.doc, back.doc->GetRootPart()->GetChild()) ||
                 HoldsTreeItem(m.doc, nullptr));
    EXPECT_TRUE(m.messages.Unexpected().empty());
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
    // Forward, Backward, the two In and the two Out moves, then Delete.
    auto offered = [](TPartMuz* part) {
        std::string flags;
        for (TPartMove move :
             {TPartMove::Forward, TPartMove::Backward, TPartMove::ForwardIn, TPartMove::BackwardIn,
              TPartMove::ForwardOut, TPartMove::BackwardOut})
            flags += CanMovePart(*part, move) ? "1" : "0";
        return flags + (CanDeleteTreeItem(*part) ? "d" : "-");
    };
    MusicDoc alone;
    const std::pair<TPartMuz*, const char*> cases[] = {
        {at("A"), "101000d"},    {at("B"), "100011d"},        {at("C"), "010011d"},
        {at("D"), "000000-"},    {at("repeat 2"), "111000d"}, {at("turns"), "010100d"},
        {alone.part, "000000-"}, // the root's only part
    };
    for (const auto& [part, flags] : cases)
        EXPECT_EQ(offered(part), flags) << part->GetShowLabel();
}

TEST(MuzTreeTest, TheTreeListsTurnItemsByCountAndEqualCountsInListOrder)
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
    EXPECT_EQ(tree.lines, (std::vector<std::string>{"turns#3+", ".first one#2", ".second one#2",
                                                    ".turn 2#2", ".three#2", ".part#1"}));
    auto* read = static_cast<TSelectPartMuz*>(back.doc->GetRootPart()->GetChild());
    int32_t pitch = -1;
    EXPECT_TRUE(read->FindTurn(1, pitch) && pitch == 0);
    // The item shown is the one deleted, not the first of its count, and nothing points at it.
    back.doc->SetSelMusTreeItemFromNode(tree, reinterpret_cast<void*>(3));
    EXPECT_EQ(DeleteTreeItem(*back.doc, *tree.items[2]).select, read);
    EXPECT_EQ(back.doc->GetSelectedTreeItem(), nullptr);
    EXPECT_EQ(TreeShape(*back.doc), "<part|1,3,2>");
    // A new turn counts on from the highest count, not from the last item's.
    EXPECT_EQ(HighestTurnCount(*read), 3);
    back.doc->SetSelMusTreeItem(AddTurnItem(*read).select);
    EXPECT_FALSE(CanDeleteTreeItem(*read->GetSelectPartItems())) << "the turns part's own item";
    back.doc->FillPartTree(tree);
    EXPECT_EQ(tree.lines, (std::vector<std::string>{"turns#3+", ".first one#2", ".turn 2#2",
                                                    ".three#2", ".turn 4#2*", ".part#1"}));
    // Concatenations have no node; a loop shows its count.
    MusicDoc chain;
    LabelParts(chain.doc, {"A", "B", "C"});
    WrapInLoop(chain.doc, *PartLabelled(chain.doc.GetRootPart(), "B"));
    chain.doc.SetSelMusTreeItem(PartLabelled(chain.doc.GetRootPart(), "C"));
    chain.doc.FillPartTree(tree);
    EXPECT_EQ(tree.lines, (std::vector<std::string>{"A#1", "repeat 2#0+", ".B#1", "C#1*"}));
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
        {"B up a level", [&] { return MovePart(m.doc, *b, TPartMove::Backward); }}};
    for (const auto& [name, edit] : edits)
        EXPECT_EQ(edit().refusal, deep) << name;
    WrapInLoop(m.doc, *PartLabelled(m.doc.GetRootPart(), "C"));
    EXPECT_NE(MovePart(m.doc, *b, TPartMove::ForwardIn).select, nullptr) << "shallow moves go on";
    EXPECT_TRUE(m.doc.CheckPartTree());
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
    WrapInLoop(m.doc, *b);
    auto* loop = static_cast<TLoopPartMuz*>(b->GetParent());
    // A loop and a single part each go with what the piece pointed at in them.
    m.doc.SetSelMusTreeItem(loop);
    m.doc.SetSelectedSymbol(loop->GetLeftLoopSymbol());
    EXPECT_EQ(DeleteTreeItem(m.doc, *loop).select, b);
    EXPECT_EQ(m.doc.GetSelectedSymbol(), nullptr);
    EXPECT_EQ(m.doc.GetSelectedTreeItem(), nullptr);
    m.doc.SetSelectedSymbol(note);
    m.doc.SetSelMusTreeItem(b);
    EXPECT_EQ(DeleteTreeItem(m.doc, *b).select, m.part);
    EXPECT_EQ(m.doc.GetSelectedSymbol(), nullptr);
    EXPECT_EQ(m.doc.GetSelectedTreeItem(), nullptr);
    EXPECT_EQ(TreeShape(m.doc), "A");
}

TEST(MuzTreeTest, APartBeginsAndEndsOnAStaveAtItsLoopMarksOrItsChain)
{
    MusicDoc m;
    EXPECT_EQ(PartStaveSymbol(*m.part, *m.stave, true), m.part->GetMuzBar()) << "no notes";
    TMuzNote* last = m.Note(0.5, 2);
    EXPECT_EQ(PartStaveSymbol(*m.part, *m.stave, true), last);
    WrapInLoop(m.doc, *m.part);
    auto* loop = static_cast<TLoopPartMuz*>(m.part->GetParent());
    EXPECT_EQ(PartStaveSymbol(*loop, *m.stave, false), loop->GetLeftLoopSymbol());
    EXPECT_EQ(PartStaveSymbol(*loop, *m.stave, true), loop->GetRightLoopSymbol());
    // The stave of the selection: a stave symbol's, the last one while a bar is selected.
    m.doc.SetSelectedSymbol(nullptr);
    EXPECT_EQ(m.doc.GetSelectionStave(), nullptr);
    m.doc.SetSelectedSymbol(last);
    m.doc.SetSelectedSymbol(m.part->GetMuzBar());
    EXPECT_EQ(m.doc.GetSelectionStave(), m.stave);
}

TEST(MuzTreeTest, OctavesAndNamesShowAndStoreAsAFileHoldsThem)
{
    const std::pair<int32_t, const char*> octaves[] = {{18, "1 1/2"},
                                                       {12, "1"},
                                                       {7, "7/12"},
                                                       {0, "0"},
                                                       {-6, "-1/2"},
                                                       {-18, "-1 1/2"},
                                                       {-12, "-1"},
                                                       {13, "1 1/12"},
                                                       {-1, "-1/12"},
                                                       {16, "1 1/3"},
                                                       {9, "3/4"},
                                                       {-26, "-2 1/6"},
                                                       {INT32_MIN, "-178956970 2/3"},
                                                       {INT32_MAX, "178956970 7/12"}};
    for (const auto& [semitones, text] : octaves)
        EXPECT_EQ(OctaveText(semitones), text) << semitones;
    const std::string angle = "A name cannot hold \"<\" or \">\".";
    const std::tuple<const char*, bool, std::string> names[] = {
        {"Wave 1", true, ""},
        {"caf\xe9", true, ""},
        {"a<b", true, angle},
        {">", true, angle},
        {"a\tb", true, "A name cannot hold control characters."},
        {"x", false, "A name can only hold characters of Latin-1."}};
    for (const auto& [text, latin1, problem] : names)
        EXPECT_EQ(StoredNameProblem(text, latin1), problem) << text;
    EXPECT_EQ(TrimmedName("  \t a b \n") + "|" + TrimmedName("   "), "a b|");
}

// ---- The three lists -------------------------------------------------------------------------

/// The numbers 1, 2, 3 on a list's elements (a stave's room above, a group's colour, a player's
/// volume); a new element shows 0.
struct ListKit
{
    const char* name;
    std::function<std::unique_ptr<TMuzList>(MusicDoc&)> make;
    std::function<std::vector<int>(MusicDoc&)> numbers;
    std::function<int(MusicDoc&)> current; // its place
    bool tellsThePiece;                    // the score shows staves and groups, not players
};

template <class T, class N> std::vector<int> Numbers(T* first, N number)
{
    std::vector<int> n;
    for (T* e = first; e; e = e->GetNext())
        n.push_back(number(*e));
    return n;
}

template <class T> int PlaceOf(T* first, const T* element)
{
    int i = 0;
    for (T* e = first; e && e != element; e = e->GetNext())
        ++i;
    return i;
}

const ListKit lists[] = {
    {"staves",
     [](MusicDoc& m) {
         m.doc.AddStave(m.doc.AddStave(m.stave));
         int n = 1;
         for (TNoteStave* s = m.stave; s; s = s->GetNext())
             s->RoomUp.SetValue(n++);
         return StaveList(m.doc);
     },
     [](MusicDoc& m) {
         return Numbers(m.doc.GetFirstStave(),
                        [](TNoteStave& s) { return s.RoomUp.GetValue() % 80; });
     },
     [](MusicDoc& m) { return PlaceOf(m.doc.GetFirstStave(), m.doc.GetCurrentStave()); }, true},
    {"note groups",
     [](MusicDoc& m) {
         auto list = NoteGroupList(*m.stave);
         list->Insert(true);
         list->Insert(true);
         int n = 1;
         for (TNoteGroup* g = m.Group(); g; g = g->GetNext())
             g->NoteColor = uint32_t(n++);
         return list;
     },
     [](MusicDoc& m) {
         return Numbers(m.stave->GetFirstNoteGroup(),
                        [](TNoteGroup& g) { return int(g.NoteColor); });
     },
     [](MusicDoc& m) { return PlaceOf(m.Group(), m.stave->GetSelectedNoteGroup()); }, true},
    {"players",
     [](MusicDoc& m) {
         auto list = OnePlayerList(*m.Group()->GetPlayer());
         list->Insert(true);
         list->Insert(true);
         int n = 1;
         for (TOnePlayer* p = &m.Player(); p; p = p->GetNext())
             p->OnePlayerProps.VolumeFactor.SetValue(n++);
         return list;
     },
     [](MusicDoc& m) {
         return Numbers(&m.Player(), [](TOnePlayer& p) {
             return int(p.OnePlayerProps.VolumeFactor.GetValue());
         });
     },
     [](MusicDoc& m) {
         return PlaceOf(&m.Player(), m.Group()->GetPlayer()->GetCurrentOnePlayer());
     },
     false},
};

TEST(MuzListsTest, EveryListInsertsDeletesAndMovesAroundItsCurrentElement)
{
    auto insert = [](bool after) { return [after](TMuzList& l) { return l.Insert(after), true; }; };
    auto remove = [](TMuzList& l) { return l.DeleteCurrent(); };
    auto move = [](bool forward) {
        return [forward](TMuzList& l) { return l.MoveCurrent(forward); };
    };
    struct Op
    {
        int select; // the current place before the change
        std::function<bool(TMuzList&)> change;
        bool changed;
        std::vector<int> after;
        int current;
    };
    const Op ops[] = {
        {0, insert(false), true, {0, 1, 2, 3}, 0},
        {1, insert(true), true, {1, 2, 0, 3}, 2},
        {1, insert(false), true, {1, 0, 2, 3}, 1},
        {2, remove, true, {1, 2}, 1},
        {1, remove, true, {1, 3}, 1},
        {0, remove, true, {2, 3}, 0},
        {0, move(false), false, {1, 2, 3}, 0},
        {2, move(true), false, {1, 2, 3}, 2},
        {0, move(true), true, {2, 1, 3}, 1},
        {2, move(false), true, {1, 3, 2}, 1},
    };
    for (const ListKit& kit : lists) {
        for (const Op& op : ops) {
            MusicDoc m;
            std::unique_ptr<TMuzList> list = kit.make(m);
            list->SetCurrentIndex(op.select);
            const uint64_t generation = m.doc.GetGeneration();
            EXPECT_EQ(op.change(*list), op.changed) << kit.name;
            EXPECT_EQ(m.doc.GetGeneration() > generation, op.changed && kit.tellsThePiece);
            EXPECT_EQ(kit.numbers(m), op.after) << kit.name;
            EXPECT_EQ(kit.current(m), op.current) << kit.name;
            EXPECT_EQ(list->CurrentIndex(), op.current) << kit.name;
            EXPECT_EQ(list->Count(), int32_t(op.after.size())) << kit.name;
            EXPECT_TRUE(m.messages.Unexpected().empty()) << kit.name;
        }
        // The only element stays.
        MusicDoc m;
        std::unique_ptr<TMuzList> one = kit.make(m);
        one->DeleteCurrent();
        one->DeleteCurrent();
        EXPECT_FALSE(one->DeleteCurrent()) << kit.name;
        EXPECT_EQ(one->Count() * 10 + one->CurrentIndex(), 10) << kit.name;
    }
}

TEST(MuzListsTest, ANewGroupSoundsThroughTheDefaultPlayerAndTheCurrentPlayerIsNotStored)
{
    MusicDoc m;
    NoteGroupList(*m.stave)->Insert(false);
    TNoteGroup* fresh = m.stave->GetSelectedNoteGroup();
    EXPECT_EQ(fresh, m.stave->GetFirstNoteGroup());
    EXPECT_EQ(fresh->NoteColor * 100 + fresh->NoteShape * 10 + fresh->GetDefaultStem(), 0u);
    // Its player is the default one of a new stave.
    TCompoundPlayer& compound = *fresh->GetPlayer();
    EXPECT_EQ(compound.GetFirstOnePlayer()->GetNext(), nullptr);
    EXPECT_EQ(compound.GetFirstOnePlayer()->OnePlayerProps.GetKind(), notePlayerSimpleSampler);
    // The first player is current until another is chosen, and again once that one goes by
    // another road; a file read back starts at the first.
    OnePlayerList(compound)->Insert(true);
    TOnePlayer* second = compound.GetCurrentOnePlayer();
    EXPECT_EQ(compound.GetFirstOnePlayer()->GetNext(), second);
    compound.DeleteOnePlayer(second);
    delete second;
    EXPECT_EQ(compound.GetCurrentOnePlayer(), compound.GetFirstOnePlayer());
    OnePlayerList(compound)->Insert(true);
    MuzLoad back(MuzText(m.doc));
    ASSERT_TRUE(back.ok) << back.message;
    TCompoundPlayer& read = *back.doc->GetFirstStave()->GetFirstNoteGroup()->GetPlayer();
    EXPECT_EQ(read.GetCurrentOnePlayer(), read.GetFirstOnePlayer());
}

TEST(MuzListsTest, DeletingAGroupOrStaveLeavesRestsAndNoReferenceBehind)
{
    MusicDoc m;
    auto groups = NoteGroupList(*m.stave);
    groups->Insert(true);
    auto* early = new TMuzNote(&m.doc, m.stave->GetSelectedNoteGroup(), 4, 0, 0.0, 2, m.stave,
                               noteShiftNormal, sool, 0, noteArtNormal, m.part, drawStickAuto);
    m.part->InsertSymbol(early);
    m.Note(0.5, 4);
    m.doc.SetSelectedSymbol(early);
    EXPECT_TRUE(groups->DeleteCurrent());
    EXPECT_EQ(m.doc.GetSelectedSymbol(), nullptr);
    // The half before the remaining note is a rest now: key, rest, note.
    std::string chain;
    for (TStaveSymbol* s = m.part->FirstSymbol(); s; s = s->GetNext())
        chain += std::to_string(s->GetStaveSymbolKind()) + "@" +
                 std::to_string(int(s->GetPosition() * 8)) + " ";
    EXPECT_EQ(chain, "0@0 2@0 1@4 ");

    TNoteStave* lower = m.doc.AddStave(m.stave);
    m.doc.SetSelectedSymbol(m.Note(0.0, 1, 4, nullptr, lower));
    m.doc.SetSelectedSymbol(m.part->GetMuzBar());
    ASSERT_EQ(m.doc.GetSelectedInStave(), lower);
    EXPECT_TRUE(StaveList(m.doc)->DeleteCurrent());
    // The last stave went with its clef: its predecessor is current, and nothing points at it.
    EXPECT_EQ(m.doc.GetCurrentStave(), m.stave);
    EXPECT_EQ(m.doc.GetSelectedInStave(), nullptr);
    EXPECT_EQ(m.part->GetOpeningKey(m.stave)->GetNext()->GetNoteStave(), m.stave);
}

} // namespace
} // namespace kelvorn::test
