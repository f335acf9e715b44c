// The editing commands on small chains written as text (ChainText): what each click and command
// leaves on the stave, what it selects, and what it refuses.

#include "music/core/MuzCommands.h"
#include "support/MusicKit.h"

#include <gtest/gtest.h>

#include <functional>

namespace kelvorn::test {
namespace {

/// A piece whose first stave holds chain, in select mode with symbol select (-1: none) chosen.
struct Edit : MusicDoc
{
    std::vector<TStaveSymbol*> symbols;

    Edit(const std::string& chain, int select = -1)
    {
        symbols = SetChain(doc, part, stave, chain);
        doc.mode = unitMuzSel;
        doc.SetSelectedSymbol(select >= 0 ? symbols[size_t(select)] : nullptr);
    }
    std::string Chain() { return ChainText(part, stave); }
    /// The selection as its place on the stave, or -1.
    int Selected()
    {
        int i = 0;
        for (TStaveSymbol* s = part->FirstSymbol(); s; s = s->GetNext())
            if (s->GetNoteStave() == stave) {
                if (s == doc.GetSelectedSymbol())
                    return i;
                ++i;
            }
        return -1;
    }
    void Run(const char* action)
    {
        const TMuzCommand* command = FindMuzCommand(action);
        ASSERT_TRUE(command && command->can(doc)) << action;
        command->run(doc);
    }
};

constexpr int bar = -2;

struct ClickCase
{
    const char* what;
    InsertModeKind tool;
    const char* chain;
    int note, rest, left, right; // places on the stave; -1 none, bar the part's bar
    int32_t step;
    const char* expected; // the chain after, "" when nothing may change
};

TEST(EditCommandsTest, AClickInsertsTheToolsSymbolWhereItFits)
{
    const char* piece = "G0 n6@0:4 n8@0.25:8 r@0.375:8";
    const ClickCase cases[] = {
        {"a note after a note", insertModeNote, piece, -1, -1, 1, 2, 1,
         "G0 n6@0:4 n7@0.25:4 n8@0.5:8 r@0.625:8"},
        {"a rest after a note", insertModeSilence, piece, -1, -1, 1, 2, 1,
         "G0 n6@0:4 r@0.25:4 n8@0.5:8 r@0.625:8"},
        {"a note after the bar, behind the clef", insertModeNote, piece, -1, -1, bar, 1, 3,
         "G0 n9@0:4 n6@0.25:4 n8@0.5:8 r@0.625:8"},
        {"a note into a chord", insertModeNote, piece, 1, -1, 0, 2, 2,
         "G0 n8@0:4 n6@0:4 n8@0.25:8 r@0.375:8"},
        {"a pitch the chord has", insertModeNote, piece, 1, -1, 0, 2, 0, ""},
        {"a note in place of a rest", insertModeNote, piece, -1, 3, 2, -1, -1,
         "G0 n6@0:4 n8@0.25:8 n5@0.375:8"},
        {"a step without a pitch", insertModeNote, piece, -1, -1, 1, 2, 38, ""},
        {"a rest with nothing left of it", insertModeSilence, piece, -1, -1, -1, 0, 0, ""},
        {"a clef after a note", insertModeKey, piece, -1, -1, 1, 2, 0,
         "G0 n6@0:4 G0.25 n8@0.25:8 r@0.375:8"},
        {"a clef after a clef", insertModeKey, "G0 n6@0:4 C0.25 n8@0.25:8", -1, -1, 2, 3, 0,
         "G0 n6@0:4 C0.25 G0.25#2 n8@0.25:8"},
        {"no clef at 0", insertModeKey, piece, -1, -1, bar, 1, 0, ""},
        {"the accidental tool inserts nothing", insertModeNoteShift, piece, -1, -1, 1, 2, 0, ""},
        {"nothing inside a tuplet", insertModeNote, "G0 n6@0:4t3.0 n6@0:4t3.1 n6@0:4t3.2", -1, -1,
         1, 2, 0, ""},
        {"after a tuplet's last member", insertModeSilence,
         "G0 n6@0:4t3.0 n6@0:4t3.1 n6@0:4t3.2 n9@0.25:8", -1, -1, 3, 4, 0,
         "G0 n6@0:4t3.0 n6@0:4t3.1 n6@0:4t3.2 r@0.25:4 n9@0.5:8"},
    };
    for (const ClickCase& c : cases) {
        SCOPED_TRACE(c.what);
        Edit e(c.chain);
        e.doc.mode = unitMuzNew;
        e.doc.insertTool.Kind = c.tool;
        auto at = [&e](int place) -> TXTouchMuzSymbol* {
            if (place == bar)
                return e.part->GetMuzBar();
            return place >= 0 ? e.symbols[size_t(place)] : nullptr;
        };
        const std::string before = e.Chain();
        const bool inserted =
            e.doc.InsertAt(e.stave, c.note >= 0 ? e.symbols[c.note]->AsNote() : nullptr,
                           c.rest >= 0 ? static_cast<TSilence*>(e.symbols[c.rest]) : nullptr,
                           at(c.left), at(c.right), c.step);
        EXPECT_EQ(inserted, *c.expected != 0);
        EXPECT_EQ(e.Chain(), *c.expected ? c.expected : before);
        EXPECT_EQ(PieceFaults(e.doc), std::vector<std::string>{});
        EXPECT_EQ(e.Selected() >= 0, inserted) << "the new symbol is selected";
        EXPECT_TRUE(e.messages.Unexpected().empty());
    }
}

TEST(EditCommandsTest, ALoopMarkIsNoNeighbourAndTheAccidentalToolMarksNotesAndSignatures)
{
    Edit e("G0 n6@0:4");
    auto* loop = new TLoopPartMuz(&e.doc, e.doc.GetRootPart()->SetChild(nullptr), 2);
    e.doc.GetRootPart()->SetChild(loop);
    e.doc.mode = unitMuzNew;
    EXPECT_FALSE(
        e.doc.InsertAt(e.stave, nullptr, nullptr, loop->GetLeftLoopSymbol(), e.symbols[1], 0));
    EXPECT_EQ(e.Chain(), "G0 n6@0:4");

    e.doc.insertTool.Kind = insertModeNoteShift;
    TKey* clef = e.symbols[0]->AsKey();
    const std::pair<NoteShiftKind, bool> shifts[] = {{noteShiftKruis, true},
                                                     {noteShiftDoubleKruis, false},
                                                     {noteShiftDoubleMol, false},
                                                     {noteShiftNormal, true},
                                                     {noteShiftMol, true}};
    for (const auto& [shift, marks] : shifts) {
        e.doc.insertTool.NoteShift = shift;
        EXPECT_TRUE(e.doc.ApplyNoteShift(e.symbols[1], 3));
        EXPECT_EQ(e.symbols[1]->AsNote()->GetNoteShiftKind(), shift);
        EXPECT_EQ(e.doc.ApplyNoteShift(clef, 3), marks) << int(shift);
        EXPECT_EQ(clef->GetKeyNoteShift(3) == shift, marks);
    }
    // The signature's step is taken modulo seven: the line above holds the same one.
    EXPECT_EQ(clef->GetKeyNoteShift(-4), noteShiftMol);
    EXPECT_FALSE(e.doc.ApplyNoteShift(e.part->GetMuzBar(), 0));
}

struct CommandCase
{
    const char* chain;
    int select;
    std::function<void(Edit&)> run;
    const char* expected; // the chain after
    int selected;         // the selection's place after, -1 none
};

/// Each case on its own piece: the chain and the selection after, nothing broken, no internal
/// error.
template <size_t N> void RunCases(const CommandCase (&cases)[N])
{
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.chain);
        Edit e(c.chain, c.select);
        c.run(e);
        EXPECT_EQ(e.Chain(), c.expected);
        EXPECT_EQ(e.Selected(), c.selected);
        EXPECT_EQ(PieceFaults(e.doc), std::vector<std::string>{});
        EXPECT_TRUE(e.messages.Unexpected().empty()) << e.messages.Unexpected().front().text;
    }
}

TEST(EditCommandsTest, DeletingClosesGapsOnceAndSelectsALivingNeighbour)
{
    auto del = [](Edit& e) { e.Run("MusicDelete"); };
    const CommandCase cases[] = {
        {"G0 n6@0:4 n7@0.25:4 n8@0.5:4", 2, del, "G0 n6@0:4 n8@0.25:4", 2},
        {"G0 n6@0:4 n7@0.25:4", 2, del, "G0 n6@0:4", 1},
        // One note of a chord of three: nothing moves.
        {"G0 n10@0:4 n8@0:2 n6@0:4 n5@0.5:4", 2, del, "G0 n10@0:4 n6@0:4 n5@0.5:4", 2},
        // A clef that closes a gap where a clef stays comes after it.
        {"G0 n6@0:4 C0.25 n8@0.25:4", 1, del, "G0 C0#2 n8@0:4", 1},
        {"G0 r@0:2 n6@0.5:4", 1, del, "G0 n6@0:4", 1},
        // The last note of a triplet of rests: the triplet goes and its gap closes once.
        {"G0 r@0:4t3.0 r@0:4t3.1 n6@0:4t3.2 n9@0.25:4", 3, del, "G0 n9@0:4", 1},
        {"G0 n9@0:4 r@0.25:4t3.0 r@0.25:4t3.1 n6@0.25:4t3.2", 4, del, "G0 n9@0:4", 1},
        {"G0 n5@0:4t3.0 n6@0:4t3.1 n7@0:4t3.2", 2, del, "G0 n5@0:4t3.0 r@0:4t3.1 n7@0:4t3.2", 2},
        {"G0 n6@0:4 G1 C1#2 F1#3", 3, del, "G0 n6@0:4 G1 F1#2", 3},
        {"G0 C0#2 n6@0:4", 0, del, "C0 n6@0:4", 0},
    };
    RunCases(cases);
    // A delete-mode click refuses the clef a stave opens with and a rest inside a tuplet.
    Edit e("G0 r@0:4t3.0 n6@0:4t3.1 n6@0:4t3.2");
    EXPECT_FALSE(e.doc.DeleteStaveSymbol(e.symbols[0]));
    EXPECT_FALSE(e.doc.DeleteStaveSymbol(e.symbols[1]));
    EXPECT_EQ(e.Chain(), "G0 r@0:4t3.0 n6@0:4t3.1 n6@0:4t3.2");
}

TEST(EditCommandsTest, LengthsDotsAndTupletsChangeWholeTupletsAndMoveWhatFollows)
{
    auto run = [](const char* action) { return [action](Edit& e) { e.Run(action); }; };
    auto keys = [](void (TUnitMuz::*key)()) { return [key](Edit& e) { (e.doc.*key)(); }; };
    const char* triplet = "G0 n6@0:4t3.0 n6@0:4t3.1 n6@0:4t3.2 n9@0.25:4";
    const CommandCase cases[] = {
        // A rest turned note sounds the middle line of its clef.
        {"G0 r@0:4 n9@0.25:4", 1, run("MusicNote8"), "G0 n6@0:8 n9@0.125:4", 1},
        {"C0 r@0:4", 1, run("MusicNote4"), "C0 n0@0:4", 1},
        {"G0 n6@0:4 n9@0.25:4", 1, run("MusicSilence2"), "G0 r@0:2 n9@0.5:4", 1},
        // A member's value is the whole tuplet's: the others keep its time.
        {triplet, 2, run("MusicNote4"), "G0 n6@0:2t3.0 n6@0:2t3.1 n6@0:2t3.2 n9@0.5:4", 2},
        {"G0 r@0:4t3.0 r@0:4t3.1 n6@0:4t3.2 n9@0.25:4", 3, run("MusicSilence8"), "G0 n9@0:4", -1},
        {"G0 n6@0:4 n9@0.25:4", 1, run("MusicPointAdd"), "G0 n6@0:4. n9@0.375:4", 1},
        {"G0 n6@0:4.t2.0 n6@0:4.t2.1 n9@0.375:4", 1, run("MusicPointAdd"),
         "G0 n6@0:4..t2.0 n6@0:4..t2.1 n9@0.4375:4", 1},
        {"G0 n6@0:4 n9@0.25:4", 1, run("MusicTriplet"),
         "G0 n6@0:2t3.0 n6@0:2t3.1 n6@0:2t3.2 n9@0.5:4", 1},
        {"G0 n8@0:8 n6@0:8 n9@0.125:4", 1, run("MusicQuintuplet"),
         "G0 n8@0:2t5.0 n6@0:2t5.0 n8@0:2t5.1 n6@0:2t5.1 n8@0:2t5.2 n6@0:2t5.2 n8@0:2t5.3 "
         "n6@0:2t5.3 n8@0:2t5.4 n6@0:2t5.4 n9@0.5:4",
         1},
        {"G0 n6@0:4. n9@0.375:4", 1, run("MusicTwin"), "G0 n6@0:2.t2.0 n6@0:2.t2.1 n9@0.75:4", 1},
        // The length keys: twice as long, half as long, nothing past a whole or a 64th.
        {"G0 n6@0:4 n9@0.25:4", 1, keys(&TUnitMuz::LongerExecute), "G0 n6@0:2 n9@0.5:4", 1},
        {"G0 r@0:4 n9@0.25:4", 1, keys(&TUnitMuz::ShorterExecute), "G0 r@0:8 n9@0.125:4", 1},
        {"G0 n6@0:1", 1, keys(&TUnitMuz::LongerExecute), "G0 n6@0:1", 1},
        {"G0 n6@0:64", 1, keys(&TUnitMuz::ShorterExecute), "G0 n6@0:64", 1},
        {"G0 n6@0:4t3.0 r@0:4t3.1 n6@0:4t3.2", 2, keys(&TUnitMuz::ToNoteExecute),
         "G0 n6@0:4t3.0 n6@0:4t3.1 n6@0:4t3.2", 2},
        // Chord pitches are skipped going up; the note goes to its place in the chord.
        {"G0 n8@0:4 n7@0:4 n6@0:4", 3, run("MusicMoveUp"), "G0 n9@0:4 n8@0:4 n7@0:4", 1},
        {"G0 n8@0:4 n6@0:4", 1, run("MusicMoveOctDown"), "G0 n6@0:4 n1@0:4", 2},
    };
    RunCases(cases);
}

TEST(EditCommandsTest, GroupsExchangeTheirTimesAndClefsKeepTheirOrder)
{
    auto prev = [](Edit& e) { e.Run("MusicMovePrev"); };
    auto next = [](Edit& e) { e.Run("MusicMoveNext"); };
    const CommandCase cases[] = {
        {"G0 n6@0:4 n8@0.25:8", 2, prev, "G0 n8@0:8 n6@0.125:4", 1},
        {"G0 n6@0:4 n8@0.25:8", 1, next, "G0 n8@0:8 n6@0.125:4", 2},
        {"G0 n6@0:4 n5@0:4 n8@0.25:8", 3, prev, "G0 n8@0:8 n6@0.125:4 n5@0.125:4", 1},
        // A tuplet that begins with a rest moves as any other group.
        {"G0 r@0:4t3.0 n6@0:4t3.1 n7@0:4t3.2 n9@0.25:4", 4, prev,
         "G0 n9@0:4 r@0.25:4t3.0 n6@0.25:4t3.1 n7@0.25:4t3.2", 1},
        // A note passes the clefs at its own time; a clef passes notes and clefs.
        {"G0 n6@0:4 C0.25 n8@0.25:4", 3, prev, "G0 n8@0:4 C0.25 n6@0.25:4", 1},
        {"G0 n6@0:4 C0.25 n8@0.25:4", 2, prev, "G0 C0#2 n6@0:4 n8@0.25:4", 1},
        {"G0 C0#2 n6@0:4 n8@0.25:4", 1, next, "G0 n6@0:4 C0.25 n8@0.25:4", 2},
        {"G0 C0.5 F0.5#2", 2, prev, "G0 F0.5 C0.5#2", 1},
        {"G0 n6@0:2 C0.5 F0.75 n8@0.75:4", 3, prev, "G0 n6@0:2 F0.5 C0.5#2 n8@0.75:4", 2},
    };
    RunCases(cases);
}

struct BarCase
{
    int32_t count, length, firstBar;
    const char* action;
    int32_t wantCount, wantLength, wantFirstBar;
};

TEST(EditCommandsTest, ABarKeepsItsDurationWhereItCanAndItsPickUpShorterThanABar)
{
    const BarCase cases[] = {
        {3, 4, 0, "MusicNote8", 6, 8, 0},     {3, 4, 0, "MusicNote1", 1, 1, 0},
        {60, 4, 0, "MusicNote64", 99, 64, 0}, {4, 4, 2, "MusicNote8", 8, 8, 2},
        {4, 4, 3, "MusicNote1", 1, 1, 0},     {2, 4, 1, "MusicPointDelete", 1, 4, 0},
        {98, 4, 0, "MusicPointAdd", 99, 4, 0}};
    for (const BarCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + "/" + std::to_string(c.length) + " " + c.action);
        MusicDoc m;
        TMuzBar* muzBar = m.part->GetMuzBar();
        muzBar->SetCount(c.count);
        muzBar->SetLength(uint8_t(c.length));
        muzBar->SetCountFirstBar(c.firstBar);
        m.doc.mode = unitMuzSel;
        m.doc.SetSelectedSymbol(muzBar);
        FindMuzCommand(c.action)->run(m.doc);
        EXPECT_EQ(muzBar->GetCount(), c.wantCount);
        EXPECT_EQ(muzBar->GetLength(), c.wantLength);
        EXPECT_EQ(muzBar->GetCountFirstBar(), c.wantFirstBar);
        // The first bar line after the pick-up stands where the bar says.
        const double first = double(c.wantFirstBar ? c.wantFirstBar : c.wantCount) / c.wantLength;
        EXPECT_DOUBLE_EQ(muzBar->GetNextBarLine(first / 2), first);
        MuzLoad back(MuzText(m.doc));
        EXPECT_TRUE(back.ok) << back.message;
        EXPECT_TRUE(m.messages.Unexpected().empty());
    }
}

struct SignatureCase
{
    int32_t from;
    NoteShiftKind shift;
    int32_t to;
};

TEST(EditCommandsTest, AClefsSignatureStepsOneSharpOrFlatAtATime)
{
    const SignatureCase cases[] = {{0, noteShiftKruis, 1},
                                   {6, noteShiftKruis, 7},
                                   {-1, noteShiftKruis, 0},
                                   {0, noteShiftMol, -1},
                                   {2, noteShiftMol, 1}};
    for (const SignatureCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " " + std::to_string(c.shift));
        Edit e("G0 F1");
        TKey* key = e.symbols[1]->AsKey();
        const NoteShiftKind kind = c.from > 0 ? noteShiftKruis : noteShiftMol;
        for (int32_t n = 0; n < std::abs(c.from); ++n)
            key->SetKeyNoteShift(key->GetKeyShiftHeight(kind, n), kind);
        e.doc.SetSelectedSymbol(key);
        e.doc.NoteShiftExecute(c.shift);
        int32_t toonladder = 99;
        EXPECT_TRUE(key->ToonLadder(toonladder));
        EXPECT_EQ(toonladder, c.to);
        EXPECT_TRUE(e.messages.Unexpected().empty());
    }
}

TEST(EditCommandsTest, ClefStepsStemsGroupsAndAuditions)
{
    Edit e("G0 F1 n6@1:4", 1);
    // Ctrl+Up steps the clef: F to C to G, then no further; down the other way.
    std::string kinds;
    for (void (TUnitMuz::*step)() :
         {&TUnitMuz::ClefUpExecute, &TUnitMuz::ClefUpExecute, &TUnitMuz::ClefUpExecute,
          &TUnitMuz::ClefDownExecute, &TUnitMuz::ClefDownExecute, &TUnitMuz::ClefDownExecute}) {
        (e.doc.*step)();
        kinds += std::to_string(e.symbols[1]->AsKey()->GetKeyKind()) + " ";
    }
    EXPECT_EQ(kinds, "0 6 6 0 -6 -6 ");
    e.doc.mode = unitMuzNew;
    e.doc.KeyExecute(keyKindF);
    e.doc.ClefUpExecute();
    EXPECT_TRUE(e.doc.insertTool.Kind == insertModeKey && e.doc.insertTool.Key == keyKindC);

    TMuzNote* note = e.symbols[2]->AsNote();
    e.doc.mode = unitMuzSel;
    e.doc.SetSelectedSymbol(note);
    e.doc.NoteStickDownExecute();
    EXPECT_EQ(note->GetDrawStickKind(), drawStickDown);
    e.doc.NoteStickDownExecute();
    EXPECT_EQ(note->GetDrawStickKind(), drawStickAuto);
    auto* second = new TNoteGroup(e.stave, std::make_unique<TCompoundPlayer>(&e.doc), 0, 0, 0);
    e.stave->InsertNoteGroup(e.Group(), second);
    e.doc.NoteGroupNextExecute();
    EXPECT_TRUE(note->GetNoteGroup() == second && e.stave->GetSelectedNoteGroup() == second);
    e.doc.NoteGroupPrevExecute();
    EXPECT_TRUE(note->GetNoteGroup() == e.Group() && e.stave->GetSelectedNoteGroup() == e.Group());

    // With auto play on every edited note sounds; a deleted one once more before it goes.
    e.waves.Add("sample", SineSound(440, 2205));
    CountingPlayer player;
    e.doc.ArtExecute(noteArtStaccato);
    e.doc.MoveUpExecute();
    e.doc.NoteShiftExecute(noteShiftKruis);
    EXPECT_EQ(player.plays, 3);
    e.doc.autoPlay = 0;
    e.doc.MoveUpExecute();
    e.doc.PlayNoteExecute();
    EXPECT_EQ(player.plays, 4);
    e.doc.autoPlay = 1;
    e.doc.DeleteExecute();
    EXPECT_EQ(player.plays, 5);
    // Auto play turns off from any value but 0, and on from 0.
    for (const auto& [from, to] : {std::pair{7, 0}, std::pair{0, 1}, std::pair{1, 0}}) {
        e.doc.autoPlay = uint8_t(from);
        FindMuzCommand("MusicAutoPlay")->run(e.doc);
        EXPECT_EQ(e.doc.autoPlay, to);
    }
    EXPECT_TRUE(e.messages.Unexpected().empty()) << e.messages.Unexpected().front().text;
}

} // namespace
} // namespace kelvorn::test
