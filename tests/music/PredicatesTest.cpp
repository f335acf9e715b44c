// Every music action's predicates on prepared pieces, through the command table the main window
// uses: which actions may run and which show checked.

#include "music/core/MuzCommands.h"
#include "support/MusicKit.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace kelvorn::test {
namespace {

/// After the piece of a row is prepared: select mode with symbol selected.
void Select(MusicDoc& m, TXTouchMuzSymbol* symbol)
{
    m.doc.mode = unitMuzSel;
    m.doc.SetSelectedSymbol(symbol);
}

TMuzNote* Dotted(TMuzNote* note, int32_t points)
{
    note->SetPoints(points);
    return note;
}

/// A clef at 1 with the signature given as sharps (positive) or flats (negative) in order.
TKey* SignedKey(MusicDoc& m, int32_t signature)
{
    auto* key = new TKey(&m.doc, keyKindG, 0, 1.0, m.stave, 1, m.part);
    const NoteShiftKind kind = signature > 0 ? noteShiftKruis : noteShiftMol;
    for (int32_t n = 0; n < std::abs(signature); ++n)
        key->SetKeyNoteShift(key->GetKeyShiftHeight(kind, n), kind);
    m.part->InsertSymbol(key);
    return key;
}

TMuzNote* Triplet(MusicDoc& m, uint8_t length)
{
    TMuzNote* first = m.Note(0, 6, length, nullptr, nullptr, triool, 0);
    m.Note(0, 6, length, nullptr, nullptr, triool, 1);
    m.Note(0, 6, length, nullptr, nullptr, triool, 2);
    return first;
}

struct PredicateCase
{
    const char* piece;
    std::function<void(MusicDoc&)> prepare;
    /// "+A" may run, "-A" may not, "*A" checked, "~A" not checked.
    const char* expected;
};

TEST(PredicatesTest, EveryActionIsEnabledAndCheckedByItsPredicate)
{
    const PredicateCase cases[] = {
        {"insert, the default tool", [](MusicDoc&) {},
         "+MusicNote1 +MusicNote64 +MusicSilence32 +MusicStaccato +MusicKeyF +MusicNSDCross "
         "+MusicPointAdd -MusicPointDelete -MusicDelete -MusicTwin -MusicSelectNext -MusicMovePrev "
         "-MusicPlayNote +NoteStickUp +MusicModeEdit *MusicModeAdd ~MusicModeEdit *MusicNote4 "
         "~MusicNote8 ~MusicSilence4 *MusicArtNormal ~MusicKeyG ~MusicNSNormal ~NoteStickUp "
         "*MusicAutoPlay"},
        {"insert, three dots", [](MusicDoc& m) { m.doc.insertTool.Points = 3; },
         "-MusicNote16 +MusicNote8 -MusicNote64 -MusicSilence32 +MusicSilence4 -MusicPointAdd "
         "+MusicPointDelete"},
        {"insert, a 32nd with a dot",
         [](MusicDoc& m) {
             m.doc.insertTool = {32, {}, 1};
         },
         "-MusicPointAdd +MusicNote32 -MusicNote64"},
        {"insert, the clef tool", [](MusicDoc& m) { m.doc.insertTool.Kind = insertModeKey; },
         "*MusicKeyG ~MusicKeyC ~MusicNote4 -NoteStickUp ~MusicArtNormal +MusicNote4"},
        {"insert, the flat tool, stem up",
         [](MusicDoc& m) {
             m.doc.insertTool.Kind = insertModeNoteShift;
             m.doc.insertTool.NoteShift = noteShiftMol;
         },
         "*MusicNSMol ~MusicNSCross -NoteStickUp ~NoteStickUp"},
        {"insert, the note tool, stem up",
         [](MusicDoc& m) { m.doc.insertTool.Stick = drawStickUp; }, "*NoteStickUp ~NoteStickDown"},
        {"a quarter", [](MusicDoc& m) { Select(m, m.Note(0, 6)); },
         "+MusicNote8 +MusicNote1 +MusicSilence2 +MusicStaccato *MusicNote4 ~MusicSilence4 "
         "*MusicArtNormal *MusicNSNormal -MusicKeyG +MusicNSDCross +MusicNSDMol +MusicPointAdd "
         "-MusicPointDelete +MusicDelete -MusicTwin +MusicTriplet -MusicQuadruplet "
         "+MusicQuintuplet +MusicMoveUp +MusicMoveDown +MusicMoveOctUp +MusicPlayNote +NoteStickUp "
         "-MusicNoteGroupNext -MusicNoteGroupPrev -MusicSelectUp -MusicSelectDown "
         "+MusicSelectPrev -MusicMovePrev *MusicModeEdit"},
        {"a dotted quarter", [](MusicDoc& m) { Select(m, Dotted(m.Note(0, 6), 1)); },
         "+MusicTwin +MusicQuadruplet +MusicTriplet +MusicPointDelete"},
        {"a whole note", [](MusicDoc& m) { Select(m, m.Note(0, 6, 1)); },
         "-MusicTriplet -MusicTwin -MusicQuintuplet +MusicNote2"},
        {"a dotted whole note", [](MusicDoc& m) { Select(m, Dotted(m.Note(0, 6, 1), 1)); },
         "-MusicTwin -MusicQuadruplet -MusicTriplet"},
        {"a half note", [](MusicDoc& m) { Select(m, m.Note(0, 6, 2)); },
         "+MusicTriplet -MusicQuintuplet"},
        {"a 32nd", [](MusicDoc& m) { Select(m, m.Note(0, 6, 32)); },
         "+MusicTriplet -MusicQuintuplet"},
        {"a 64th", [](MusicDoc& m) { Select(m, m.Note(0, 6, 64)); },
         "-MusicTriplet -MusicTwin *MusicNote64 +MusicNote64"},
        {"a 16th with two dots", [](MusicDoc& m) { Select(m, Dotted(m.Note(0, 6, 16), 2)); },
         "-MusicNote32 -MusicSilence32 +MusicNote8 +MusicPointAdd"},
        {"a 16th with three dots", [](MusicDoc& m) { Select(m, Dotted(m.Note(0, 6, 16), 3)); },
         "-MusicPointAdd +MusicPointDelete -MusicNote16 +MusicNote4"},
        {"a member of a quarter triplet", [](MusicDoc& m) { Select(m, Triplet(m, 4)); },
         "*MusicNote8 ~MusicNote4 -MusicNote1 +MusicNote2 -MusicTriplet +MusicPointAdd "
         "-MusicPointDelete +MusicDelete"},
        {"a member of a twin",
         [](MusicDoc& m) {
             Select(m, Dotted(m.Note(0, 6, 4, nullptr, nullptr, duool, 0), 1));
             Dotted(m.Note(0, 6, 4, nullptr, nullptr, duool, 1), 1);
         },
         "-MusicPointDelete +MusicPointAdd"},
        {"a quarter rest", [](MusicDoc& m) { Select(m, AddRest(m.part, m.stave, 0)); },
         "+MusicNote8 +MusicSilence8 -MusicStaccato -NoteStickUp -MusicPlayNote *MusicSilence4 "
         "~MusicNote4 +MusicDelete -MusicMoveUp -MusicTriplet -MusicNSCross ~MusicArtNormal"},
        {"a rest in a triplet",
         [](MusicDoc& m) {
             m.Note(0, 6, 4, nullptr, nullptr, triool, 0);
             m.Note(0, 6, 4, nullptr, nullptr, triool, 1);
             Select(m, AddRest(m.part, m.stave, 0, 4, 0, triool, 2));
         },
         "-MusicDelete +MusicSilence8 +MusicNote8"},
        {"a clef of seven flats", [](MusicDoc& m) { Select(m, SignedKey(m, -7)); },
         "-MusicNSMol +MusicNSCross -MusicNSNormal -MusicNSDCross +MusicKeyC *MusicKeyG ~MusicKeyF "
         "-MusicNote4 -MusicStaccato +MusicMoveOctUp +MusicMoveOctDown +MusicDelete ~MusicNSMol "
         "-MusicPlayNote"},
        {"a clef of seven sharps", [](MusicDoc& m) { Select(m, SignedKey(m, 7)); },
         "+MusicNSMol -MusicNSCross"},
        {"a clef of F sharp and B flat",
         [](MusicDoc& m) {
             TKey* key = SignedKey(m, 1);
             key->SetKeyNoteShift(key->GetKeyShiftHeight(noteShiftMol, 0), noteShiftMol);
             Select(m, key);
         },
         "-MusicNSMol -MusicNSCross +MusicKeyF"},
        {"a clef two octaves up",
         [](MusicDoc& m) {
             TKey* key = SignedKey(m, 0);
             key->SetOctavesUp(2);
             Select(m, key);
         },
         "-MusicMoveOctUp +MusicMoveOctDown"},
        {"the only opening clef", [](MusicDoc& m) { Select(m, m.part->GetOpeningKey(m.stave)); },
         "-MusicDelete -MusicMoveNext -MusicMovePrev"},
        {"the first of two opening clefs",
         [](MusicDoc& m) {
             m.part->InsertSymbol(new TKey(&m.doc, keyKindF, 0, 0.0, m.stave, 2, m.part));
             Select(m, m.part->GetOpeningKey(m.stave));
         },
         "+MusicDelete +MusicMoveNext"},
        {"a bar of 99",
         [](MusicDoc& m) {
             m.part->GetMuzBar()->SetCount(99);
             Select(m, m.part->GetMuzBar());
         },
         "-MusicPointAdd +MusicPointDelete +MusicNote8 -MusicSilence8 *MusicNote4 ~MusicSilence4 "
         "-MusicDelete -MusicMoveNext -MusicPlayNote"},
        {"a bar of 1",
         [](MusicDoc& m) {
             m.part->GetMuzBar()->SetCount(1);
             Select(m, m.part->GetMuzBar());
         },
         "-MusicPointDelete +MusicPointAdd"},
        {"the top of a chord",
         [](MusicDoc& m) {
             Select(m, m.Note(0, 10));
             m.Note(0, 8);
             m.Note(0, 6);
         },
         "-MusicSelectUp +MusicSelectDown"},
        {"the middle of a chord",
         [](MusicDoc& m) {
             m.Note(0, 10);
             Select(m, m.Note(0, 8));
             m.Note(0, 6);
         },
         "+MusicSelectUp +MusicSelectDown"},
        {"the bottom of a chord",
         [](MusicDoc& m) {
             m.Note(0, 10);
             Select(m, m.Note(0, 6));
             m.Note(0.25, 5);
         },
         "+MusicSelectUp -MusicSelectDown"},
        {"the highest note", [](MusicDoc& m) { Select(m, m.Note(0, 43)); },
         "-MusicMoveUp -MusicMoveOctUp +MusicMoveDown +MusicMoveOctDown"},
        {"the lowest note", [](MusicDoc& m) { Select(m, m.Note(0, -43)); },
         "-MusicMoveDown -MusicMoveOctDown +MusicMoveUp"},
        {"a note under a chord note an octave up",
         [](MusicDoc& m) {
             m.Note(0, 8);
             Select(m, m.Note(0, 1));
         },
         "-MusicMoveOctUp +MusicMoveUp"},
        {"a note of the first of two groups",
         [](MusicDoc& m) {
             m.stave->InsertNoteGroup(m.Group(), new TNoteGroup(m.stave, nullptr, 0, 0, 0));
             Select(m, m.Note(0, 6));
         },
         "+MusicNoteGroupNext -MusicNoteGroupPrev"},
        {"the second of two notes",
         [](MusicDoc& m) {
             m.Note(0, 6);
             Select(m, m.Note(0.25, 6));
         },
         "+MusicMovePrev -MusicMoveNext"},
        {"a second clef",
         [](MusicDoc& m) {
             m.Note(0, 6);
             Select(m, SignedKey(m, 0));
             m.Note(1.0, 6);
         },
         "+MusicMovePrev +MusicMoveNext"},
        {"a sharp legato note with its stem down",
         [](MusicDoc& m) {
             TMuzNote* note = m.Note(0, 6);
             note->SetNoteShiftKind(noteShiftKruis);
             note->SetNoteArtKind(noteArtLegato);
             note->SetDrawStickKind(drawStickDown);
             Select(m, note);
         },
         "*MusicNSCross ~MusicNSNormal *MusicLegato ~MusicArtNormal *NoteStickDown ~NoteStickUp"},
        {"delete mode", [](MusicDoc& m) { m.doc.ModeDeleteExecute(); },
         "*MusicModeDelete +MusicModeAdd +MusicModeEdit -MusicNote4 -MusicSilence4 -MusicStaccato "
         "-MusicKeyG -MusicNSCross -MusicPointAdd -MusicPointDelete -MusicDelete -NoteStickUp "
         "-MusicPlayNote ~MusicNote4 ~MusicKeyG ~NoteStickUp +MusicAutoPlay"},
        {"delete mode with a note selected",
         [](MusicDoc& m) {
             m.doc.mode = unitMuzDel;
             m.doc.SetSelectedSymbol(m.Note(0, 6));
         },
         "+MusicPlayNote -MusicMoveUp -MusicMoveOctUp -MusicDelete -MusicNote8 -MusicTriplet "
         "-MusicSelectPrev -MusicNSCross ~MusicNote4 ~MusicNSNormal"},
        {"auto play off", [](MusicDoc& m) { m.doc.autoPlay = 0; }, "~MusicAutoPlay +MusicAutoPlay"},
    };
    for (const PredicateCase& c : cases) {
        SCOPED_TRACE(c.piece);
        MusicDoc m;
        c.prepare(m);
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
