// The editing state of a piece: the status texts of the selection, the modes with the insert
// tool, and the walks of the selection over chords, staves and parts.

#include "support/Documents.h"
#include "support/MusicKit.h"

#include <gtest/gtest.h>

namespace kelvorn::test {
namespace {

struct StatusCase
{
    double position;
    uint8_t length; // 0: a clef
    int32_t points;
    int32_t pitch; // below -50: a rest
    NoteShiftKind shift;
    const char* texts; // panels 1 to 4, joined by "|"
};

TEST(EditStateTest, TheStatusTextsNameKindTimeLengthAndNote)
{
    constexpr int32_t rest = -99;
    const StatusCase cases[] = {
        {2.5, 4, 0, 0, noteShiftNormal, "Note|pos: 2 1/2|len: 1/4|c4"},
        {0.375, 4, 1, 6, noteShiftKruis, "Note|pos: 3/8|len: 3/8|bis4"},
        {3.0, 1, 0, 7, noteShiftNormal, "Note|pos: 3|len: 1|c5"},
        {0.0, 1, 1, -1, noteShiftMol, "Note|pos: 0|len: 1 1/2|bes3"},
        {1.25, 2, 3, 9, noteShiftMol, "Note|pos: 1 1/4|len: 15/16|es5"},
        {0.5, 8, 0, -2, noteShiftDoubleMol, "Note|pos: 1/2|len: 1/8|ases3"},
        {0.5, 8, 0, 2, noteShiftMol, "Note|pos: 1/2|len: 1/8|es4"},
        {0.5, 8, 0, 5, noteShiftNone, "Note|pos: 1/2|len: 1/8|a4"},
        {0.5, 64, 0, 4, noteShiftDoubleKruis, "Note|pos: 1/2|len: 1/64|gisis4"},
        {0.5, 64, 0, 3, noteShiftDoubleMol, "Note|pos: 1/2|len: 1/64|feses4"},
        {0.5, 4, 0, 43, noteShiftKruis, "Note|pos: 1/2|len: 1/4|dis10"},
        {0.5, 4, 0, -43, noteShiftNormal, "Note|pos: 1/2|len: 1/4|b-3"},
        // A time that is no multiple of a 64th shows 128ths, truncated.
        {0.1, 4, 0, 0, noteShiftNormal, "Note|pos: 12/128|len: 1/4|c4"},
        {1234.0, 4, 0, 0, noteShiftNormal, "Note|pos: 1234|len: 1/4|c4"},
        {0.75, 2, 1, rest, noteShiftNormal, "Silence|pos: 3/4|len: 3/4|"},
        {1.5, 0, 0, 0, noteShiftNormal, "Key|pos: 1 1/2||"},
    };
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(c.texts);
        MusicDoc m;
        TStaveSymbol* symbol = nullptr;
        if (c.length == 0)
            m.part->InsertSymbol(symbol =
                                     new TKey(&m.doc, keyKindC, 0, c.position, m.stave, 1, m.part));
        else if (c.pitch == rest)
            symbol = AddRest(m.part, m.stave, c.position, c.length, c.points);
        else
            symbol = m.Note(c.position, c.pitch, c.length);
        if (TMuzNote* note = symbol->AsNote()) {
            note->SetPoints(c.points);
            note->SetNoteShiftKind(c.shift);
        }
        m.doc.SetSelectedSymbol(symbol);
        std::string texts;
        for (int panel = 1; panel <= 4; ++panel)
            texts += (panel > 1 ? "|" : "") + m.doc.StatusText(panel);
        EXPECT_EQ(texts, c.texts);
    }
}

TEST(EditStateTest, ABarOrLoopMarkWritesOnlyTheFirstPanelAndNothingSelectedEmptiesAll)
{
    MusicDoc m;
    RecordingMainForm main;
    auto* loop = new TLoopPartMuz(&m.doc, m.doc.GetRootPart()->SetChild(nullptr), 2);
    m.doc.GetRootPart()->SetChild(loop);
    m.doc.SetSelectedSymbol(m.Note(0.5, 5));
    m.doc.UpdateStatusBar();
    const std::map<int, std::string> note = {
        {1, "Note"}, {2, "pos: 1/2"}, {3, "len: 1/4"}, {4, "a4"}};
    EXPECT_EQ(main.panels, note);
    TXTouchMuzSymbol* others[] = {m.part->GetMuzBar(), loop->GetLeftLoopSymbol()};
    for (TXTouchMuzSymbol* other : others) {
        m.doc.SetSelectedSymbol(other);
        m.doc.Refresh();
        std::map<int, std::string> expected = note;
        expected[1] = other == m.part->GetMuzBar() ? "Bar" : "Loop";
        EXPECT_EQ(main.panels, expected);
    }
    m.doc.SetSelectedSymbol(nullptr);
    m.doc.Refresh();
    EXPECT_EQ(main.panels, (std::map<int, std::string>{{1, ""}, {2, ""}, {3, ""}, {4, ""}}));
}

TEST(EditStateTest, AddModeTakesTheSelectionIntoTheToolAndNoToolChangeTouchesThePiece)
{
    MusicDoc m;
    m.doc.SetFileName("/m/piece.kvm");
    TMuzNote* note = m.Note(0, 6, 8);
    note->SetPoints(1);
    note->SetNoteArtKind(noteArtStaccato);
    note->SetDrawStickKind(drawStickDown);
    TSilence* rest = AddRest(m.part, m.stave, 0.25, 16, 2);
    auto* key = new TKey(&m.doc, keyKindF, 0, 1.0, m.stave, 1, m.part);
    m.part->InsertSymbol(key);
    m.doc.ClearModified();
    const uint64_t generation = m.doc.GetGeneration();

    m.doc.mode = unitMuzSel;
    m.doc.SetSelectedSymbol(note);
    m.doc.ModeAddExecute();
    const TInsertTool& tool = m.doc.insertTool;
    EXPECT_TRUE(tool.Kind == insertModeNote && tool.NoteLengthKind == 8 && tool.Points == 1 &&
                tool.Art == noteArtStaccato && tool.Stick == drawStickDown);
    EXPECT_EQ(m.doc.GetSelectedSymbol(), note);
    m.doc.SetSelectedSymbol(rest);
    m.doc.ModeAddExecute();
    EXPECT_TRUE(tool.Kind == insertModeSilence && tool.NoteLengthKind == 16 && tool.Points == 2);
    m.doc.SetSelectedSymbol(key);
    m.doc.ModeAddExecute();
    EXPECT_TRUE(tool.Kind == insertModeKey && tool.Key == keyKindF);

    // Every command of the tool in insert mode: the piece and its mark stay as they were.
    m.doc.NoteExecute(2);
    m.doc.NoteStickUpExecute();
    EXPECT_EQ(tool.Stick, drawStickUp);
    m.doc.NoteStickUpExecute();
    m.doc.SilenceExecute(32);
    m.doc.ArtExecute(noteArtLegato);
    m.doc.KeyExecute(keyKindC);
    m.doc.NoteShiftExecute(noteShiftMol);
    m.doc.PointAddExecute();
    EXPECT_TRUE(tool.Stick == drawStickAuto && tool.Kind == insertModeNoteShift &&
                tool.NoteShift == noteShiftMol && tool.NoteLengthKind == 32 && tool.Points == 1 &&
                tool.Art == noteArtLegato && tool.Key == keyKindC);
    EXPECT_FALSE(m.doc.IsModified());
    EXPECT_EQ(m.doc.GetGeneration(), generation);

    m.doc.ModeEditExecute();
    EXPECT_EQ(m.doc.GetSelectedSymbol(), key);
    m.doc.ModeDeleteExecute();
    EXPECT_EQ(m.doc.GetSelectedSymbol(), nullptr);
    EXPECT_TRUE(m.doc.IsModeDeleteChecked() && !m.doc.IsModified());
    EXPECT_TRUE(m.messages.Unexpected().empty()) << m.messages.Unexpected().front().text;
}

// A piece of two single parts in a row and two staves, walked by the selection's keys: a chord
// by its notes, a stave in the cursor order across the parts, the staves at one time.
TEST(EditStateTest, TheSelectionWalksChordsStavesAndParts)
{
    MusicDoc m;
    TNoteStave* lower = m.doc.AddStave(m.stave);
    auto* second = new TSinglePartMuz(&m.doc);
    new TMuzBar(second, 4, 4, 0);
    second->CreateKeys();
    m.doc.GetRootPart()->SetChild(
        new TConcatPartMuz(&m.doc, m.doc.GetRootPart()->SetChild(nullptr), second));
    TMuzNote* chord[] = {m.Note(0, 10), m.Note(0, 8), m.Note(0, 6)};
    TMuzNote* after = m.Note(0.25, 3);
    TMuzNote* belowAfter = m.Note(0.25, -6, 4, nullptr, lower);
    TMuzNote* secondPart = m.Note(0, 1, 4, second);
    m.doc.mode = unitMuzSel;
    m.doc.SetSelectedSymbol(chord[0]);
    EXPECT_FALSE(m.doc.CanSelectUpExecute());
    m.doc.SelectDownExecute();
    m.doc.SelectDownExecute();
    EXPECT_EQ(m.doc.GetSelectedSymbol(), chord[2]);
    EXPECT_FALSE(m.doc.CanSelectDownExecute());
    m.doc.SelectUpExecute();
    EXPECT_EQ(m.doc.GetSelectedSymbol(), chord[1]);

    // Right from the chord: the next note, the next part's opening clef, its bar, its note.
    std::vector<TXTouchMuzSymbol*> walk;
    while (m.doc.CanSelectNextExecute()) {
        m.doc.SelectNextExecute();
        walk.push_back(m.doc.GetSelectedSymbol());
    }
    const std::vector<TXTouchMuzSymbol*> right = {after, second->GetOpeningKey(m.stave),
                                                  second->GetMuzBar(), secondPart};
    EXPECT_EQ(walk, right);
    // Left from the bar: the last stave walked stays the bar's stave.
    m.doc.SetSelectedSymbol(second->GetMuzBar());
    m.doc.SelectPrevExecute();
    EXPECT_EQ(m.doc.GetSelectedSymbol(), second->GetOpeningKey(m.stave));

    m.doc.SetSelectedSymbol(after);
    m.doc.SelectStaveDown();
    EXPECT_EQ(m.doc.GetSelectedSymbol(), belowAfter);
    m.doc.SelectStaveDown();
    EXPECT_EQ(m.doc.GetSelectedSymbol(), belowAfter) << "no stave below the last";
    m.doc.SelectFirstStave();
    EXPECT_EQ(m.doc.GetSelectedSymbol(), after);
    m.doc.SelectLastStave();
    m.doc.SelectStaveUp();
    EXPECT_EQ(m.doc.GetSelectedSymbol(), after);
    m.doc.SelectStaveEnd();
    EXPECT_EQ(m.doc.GetSelectedSymbol(), secondPart);
    m.doc.SelectStaveStart();
    EXPECT_EQ(m.doc.GetSelectedSymbol(), m.part->GetOpeningKey(m.stave));
    // Home and End only walk in select mode.
    m.doc.mode = unitMuzNew;
    m.doc.SelectStaveEnd();
    EXPECT_EQ(m.doc.GetSelectedSymbol(), m.part->GetOpeningKey(m.stave));
    EXPECT_FALSE(m.doc.CanSelectNextExecute());
    EXPECT_TRUE(m.messages.Unexpected().empty());
}

} // namespace
} // namespace kelvorn::test
