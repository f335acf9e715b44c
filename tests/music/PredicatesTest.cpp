// Every music action's predicates on prepared pieces, through the command table the main window
// uses: which actions may run and which show checked.

#include "music/core/MuzCommands.h"
#include "support/MusicKit.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace kelvorn::test {
namespace {

constexpr int insert = -1, bar = -2;

struct PredicateCase
{
    const char* chain; // the stave's symbols ("" keeps the new piece's)
    int select;        // select mode with this symbol of the chain selected; or insert, bar
    /// "+A" may run, "-A" may not, "*A" checked, "~A" not checked.
    const char* expected;
    std::function<void(MusicDoc&, TStaveSymbol*)> prepare = {};
};

void Signature(TStaveSymbol* symbol, int32_t sharps)
{
    TKey* key = symbol->AsKey();
    const NoteShiftKind kind = sharps > 0 ? noteShiftKruis : noteShiftMol;
    for (int32_t n = 0; n < std::abs(sharps); ++n)
        key->SetKeyNoteShift(key->GetKeyShiftHeight(kind, n), kind);
}

TEST(PredicatesTest, EveryActionIsEnabledAndCheckedByItsPredicate)
{
    using M = MusicDoc&;
    using S = TStaveSymbol*;
    const char* triplet = "G0 n6@0:4t3.0 n6@0:4t3.1 n6@0:4t3.2";
    const PredicateCase cases[] = {
        {"", insert,
         "+MusicNote1 +MusicNote64 +MusicSilence32 +MusicStaccato +MusicKeyF +MusicNSDCross "
         "+MusicPointAdd -MusicPointDelete -MusicDelete -MusicTwin -MusicSelectNext -MusicMovePrev "
         "-MusicPlayNote +NoteStickUp +MusicModeEdit *MusicModeAdd ~MusicModeEdit *MusicNote4 "
         "~MusicNote8 ~MusicSilence4 *MusicArtNormal ~MusicKeyG ~MusicNSNormal ~NoteStickUp "
         "*MusicAutoPlay"},
        {"", insert,
         "-MusicNote16 +MusicNote8 -MusicSilence32 +MusicSilence4 -MusicPointAdd +MusicPointDelete",
         [](M m, S) { m.doc.insertTool.Points = 3; }},
        {"", insert, "-MusicPointAdd +MusicPointDelete +MusicNote32 -MusicNote64",
         [](M m, S) {
             m.doc.insertTool = {32, {}, 1};
         }},
        {"", insert, "*MusicKeyG ~MusicKeyC ~MusicNote4 -NoteStickUp ~MusicArtNormal",
         [](M m, S) { m.doc.insertTool.Kind = insertModeKey; }},
        {"", insert, "*MusicNSMol ~MusicNSCross -NoteStickUp",
         [](M m, S) {
             m.doc.insertTool = {4, {}, 0, insertModeNoteShift, noteShiftMol};
         }},
        {"", insert, "*NoteStickUp ~NoteStickDown",
         [](M m, S) { m.doc.insertTool.Stick = drawStickUp; }},
        {"G0 n6@0:4", 1,
         "+MusicNote8 +MusicNote1 +MusicSilence2 +MusicStaccato *MusicNote4 ~MusicSilence4 "
         "*MusicArtNormal *MusicNSNormal -MusicKeyG +MusicNSDCross +MusicNSDMol +MusicPointAdd "
         "-MusicPointDelete +MusicDelete -MusicTwin +MusicTriplet -MusicQuadruplet "
         "+MusicQuintuplet +MusicMoveUp +MusicMoveDown +MusicMoveOctUp +MusicPlayNote +NoteStickUp "
         "-MusicNoteGroupNext -MusicNoteGroupPrev -MusicSelectUp -MusicSelectDown "
         "+MusicSelectPrev -MusicMovePrev *MusicModeEdit"},
        {"G0 n6@0:4.", 1, "+MusicTwin +MusicQuadruplet +MusicTriplet +MusicPointDelete"},
        // A member is written a value shorter than the whole: no triplet of a whole note, no
        // quintuplet of a half note.
        {"G0 n6@0:1", 1, "-MusicTriplet -MusicTwin -MusicQuintuplet +MusicNote2"},
        {"G0 n6@0:1.", 1, "-MusicTwin -MusicQuadruplet"},
        {"G0 n6@0:2", 1, "+MusicTriplet -MusicQuintuplet"},
        {"G0 n6@0:64", 1, "-MusicTriplet *MusicNote64"},
        {"G0 n6@0:16...", 1,
         "-MusicPointAdd +MusicPointDelete -MusicNote16 -MusicNote32 +MusicNote4"},
        {triplet, 1,
         "*MusicNote8 ~MusicNote4 -MusicNote1 +MusicNote2 -MusicTriplet +MusicPointAdd "
         "-MusicPointDelete +MusicDelete"},
        {"G0 n6@0:4.t2.0 n6@0:4.t2.1", 1, "-MusicPointDelete +MusicPointAdd"},
        {"G0 r@0:4", 1,
         "+MusicNote8 +MusicSilence8 -MusicStaccato -NoteStickUp -MusicPlayNote *MusicSilence4 "
         "~MusicNote4 +MusicDelete -MusicMoveUp -MusicTriplet -MusicNSCross ~MusicArtNormal"},
        {"G0 n6@0:4t3.0 n6@0:4t3.1 r@0:4t3.2", 3, "-MusicDelete +MusicSilence8 +MusicNote8"},
        {"G0 G1", 1,
         "-MusicNSMol +MusicNSCross -MusicNSNormal -MusicNSDCross +MusicKeyC *MusicKeyG "
         "~MusicKeyF -MusicNote4 -MusicStaccato +MusicMoveOctUp +MusicDelete -MusicPlayNote",
         [](M, S key) { Signature(key, -7); }},
        {"G0 G1", 1, "+MusicNSMol -MusicNSCross", [](M, S key) { Signature(key, 7); }},
        {"G0 G1", 1, "-MusicNSMol -MusicNSCross +MusicKeyF",
         [](M, S key) {
             Signature(key, 1);
             key->AsKey()->SetKeyNoteShift(key->AsKey()->GetKeyShiftHeight(noteShiftMol, 0),
                                           noteShiftMol);
         }},
        {"G0 G1", 1, "-MusicMoveOctUp +MusicMoveOctDown",
         [](M, S key) { key->AsKey()->SetOctavesUp(2); }},
        {"G0", 0, "-MusicDelete -MusicMoveNext -MusicMovePrev"},
        {"G0 F0#2", 0, "+MusicDelete +MusicMoveNext"},
        {"G0", bar,
         "-MusicPointAdd +MusicPointDelete +MusicNote8 -MusicSilence8 *MusicNote4 "
         "~MusicSilence4 -MusicDelete -MusicMoveNext -MusicPlayNote",
         [](M m, S) { m.part->GetMuzBar()->SetCount(99); }},
        {"G0", bar, "-MusicPointDelete +MusicPointAdd",
         [](M m, S) { m.part->GetMuzBar()->SetCount(1); }},
        {"G0 n43@0:4", 1, "-MusicMoveUp -MusicMoveOctUp +MusicMoveDown +MusicMoveOctDown"},
        {"G0 n-43@0:4", 1, "-MusicMoveDown -MusicMoveOctDown +MusicMoveUp"},
        {"G0 n8@0:4 n1@0:4", 2, "-MusicMoveOctUp +MusicMoveUp +MusicSelectUp"},
        {"G0 n6@0:4", 1, "+MusicNoteGroupNext -MusicNoteGroupPrev",
         [](M m, S) {
             m.stave->InsertNoteGroup(m.Group(), new TNoteGroup(m.stave, nullptr, 0, 0, 0));
         }},
        {"G0 n6@0:4 n6@0.25:4", 2, "+MusicMovePrev -MusicMoveNext"},
        {"G0 n6@0:4 C1 n6@1:4", 2, "+MusicMovePrev +MusicMoveNext"},
        {"G0 n6@0:4", 1, "*MusicNSCross ~MusicNSNormal *MusicLegato *NoteStickDown ~NoteStickUp",
         [](M, S symbol) {
             TMuzNote* note = symbol->AsNote();
             note->SetNoteShiftKind(noteShiftKruis);
             note->SetNoteArtKind(noteArtLegato);
             note->SetDrawStickKind(drawStickDown);
         }},
        // Delete mode offers the modes and playing the note, nothing else.
        {"G0 n6@0:4", 1,
         "*MusicModeDelete +MusicModeAdd +MusicModeEdit +MusicPlayNote -MusicNote4 -MusicSilence4 "
         "-MusicStaccato -MusicKeyG -MusicNSCross -MusicPointAdd -MusicDelete -NoteStickUp "
         "-MusicMoveUp -MusicTriplet -MusicSelectPrev ~MusicNote4 ~MusicNSNormal",
         [](M m, S) { m.doc.mode = unitMuzDel; }},
        {"", insert, "-MusicPlayNote -MusicPointAdd ~MusicNote4 +MusicAutoPlay ~MusicAutoPlay",
         [](M m, S) {
             m.doc.ModeDeleteExecute();
             m.doc.autoPlay = 0;
         }},
    };
    for (const PredicateCase& c : cases) {
        SCOPED_TRACE(std::string(c.chain) + " " + c.expected);
        MusicDoc m;
        const auto symbols =
            *c.chain ? SetChain(m.doc, m.part, m.stave, c.chain) : std::vector<TStaveSymbol*>{};
        TStaveSymbol* chosen = c.select >= 0 ? symbols[size_t(c.select)] : nullptr;
        if (c.select != insert) {
            m.doc.mode = unitMuzSel;
            m.doc.SetSelectedSymbol(
                c.select == bar ? static_cast<TXTouchMuzSymbol*>(m.part->GetMuzBar()) : chosen);
        }
        if (c.prepare)
            c.prepare(m, chosen);
        std::istringstream words(c.expected);
        for (std::string word; words >> word;) {
            const TMuzCommand* command = FindMuzCommand(word.substr(1));
            ASSERT_NE(command, nullptr) << word;
            const bool checks = word[0] == '*' || word[0] == '~';
            ASSERT_TRUE(!checks || command->checked) << word;
            const bool state = checks ? command->checked(m.doc) : command->can(m.doc);
            EXPECT_EQ(state, word[0] == '+' || word[0] == '*') << word;
        }
        EXPECT_TRUE(m.messages.Unexpected().empty()) << m.messages.Unexpected().front().text;
    }
}

// The table holds one row per music action of the main window, each name once.
TEST(PredicatesTest, EveryMusicActionHasOneRow)
{
    std::set<std::string> names;
    for (const TMuzCommand& command : MuzCommands()) {
        EXPECT_TRUE(names.insert(command.name).second) << command.name;
        EXPECT_EQ(FindMuzCommand(command.name), &command);
    }
    EXPECT_EQ(names.size(), 53u);
    EXPECT_EQ(FindMuzCommand("MusicDialog"), nullptr);
}

} // namespace
} // namespace kelvorn::test
