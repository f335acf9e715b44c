// The editing state of a piece: the status texts of the selection, the modes with the insert
// tool, and the walks of the selection over chords, staves and parts.

#include "music/core/MuzTree.h"
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

// A bar or loop mark writes the first panel only and leaves the others as the note had them;
// nothing selected empties all four.
TEST(EditStateTest, ABarOrLoopMarkWritesOnlyTheFirstPanel)
{
    MusicDoc m;
    RecordingMainForm main;
    auto* loop = new TLoopPartMuz(&m.doc, m.doc.GetRootPart()->SetChild(nullptr), 2);
    m.doc.GetRootPart()->SetChild(loop);
    const std::pair<TXTouchMuzSymbol*, const char*> steps[] = {
        {m.Note(0.5, 5), "Note|pos: 1/2|len: 1/4|a4"},
        {m.part->GetMuzBar(), "Bar|pos: 1/2|len: 1/4|a4"},
        {loop->GetLeftLoopSymbol(), "Loop|pos: 1/2|len: 1/4|a4"},
        {nullptr, "|||"}};
    for (const auto& [symbol, panels] : steps) {
        m.doc.SetSelectedSymbol(symbol);
        m.doc.Refresh();
        EXPECT_EQ(main.panels[1] + "|" + main.panels[2] + "|" + main.panels[3] + "|" +
                      main.panels[4],
                  panels);
    }
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

// The walks across parts (the window's key test walks chords and staves): right from a chord
// the next note, the next part's opening clef, its bar and its note; End and Home reach the
// ends of the whole piece, and only in select mode.
TEST(EditStateTest, TheSelectionWalksAcrossParts)
{
    MusicDoc m;
    auto* second = new TSinglePartMuz(&m.doc);
    new TMuzBar(second, 4, 4, 0);
    second->CreateKeys();
    m.doc.GetRootPart()->SetChild(
        new TConcatPartMuz(&m.doc, m.doc.GetRootPart()->SetChild(nullptr), second));
    const auto first = SetChain(m.doc, m.part, m.stave, "G0 n10@0:4 n8@0:4 n6@0:4 n3@0.25:4");
    TMuzNote* last = m.Note(0, 1, 4, second);
    m.doc.mode = unitMuzSel;
    m.doc.SetSelectedSymbol(first[2]);
    std::vector<TXTouchMuzSymbol*> walk;
    while (m.doc.CanSelectNextExecute()) {
        m.doc.SelectNextExecute();
        walk.push_back(m.doc.GetSelectedSymbol());
    }
    EXPECT_EQ(walk, (std::vector<TXTouchMuzSymbol*>{first[4], second->GetOpeningKey(m.stave),
                                                    second->GetMuzBar(), last}));
    // Left from the bar: the stave walked before stays the bar's.
    m.doc.SetSelectedSymbol(second->GetMuzBar());
    m.doc.SelectPrevExecute();
    EXPECT_EQ(m.doc.GetSelectedSymbol(), second->GetOpeningKey(m.stave));
    m.doc.SelectStaveEnd();
    EXPECT_EQ(m.doc.GetSelectedSymbol(), last);
    m.doc.SelectStaveStart();
    EXPECT_EQ(m.doc.GetSelectedSymbol(), first[0]);
    m.doc.mode = unitMuzNew;
    m.doc.SelectStaveEnd();
    EXPECT_EQ(m.doc.GetSelectedSymbol(), first[0]);
    EXPECT_FALSE(m.doc.CanSelectNextExecute());
    EXPECT_TRUE(m.messages.Unexpected().empty());
}

/// A loop mark by its side and loop, a clef by its part, a note by its part and pitch.
std::string SymbolName(const TXTouchMuzSymbol* symbol)
{
    if (symbol && symbol->GetMuzSymbolKind() == muzSymbolLoop) {
        auto* mark = static_cast<const TLoopPartSymbol*>(symbol);
        return (mark->GetIsLeft() ? "[ " : "] ") + TreeShape(mark->GetLoopPart());
    }
    if (!symbol || symbol->GetMuzSymbolKind() != muzSymbolStave)
        return "other";
    auto* s = static_cast<const TStaveSymbol*>(symbol);
    const TMuzNote* note = s->AsNote();
    return s->GetOwner()->GetLabel() + (note ? std::to_string(note->GetPitch()) : " clef");
}

// Home and End reach the first and last cursor symbol of the stave in the whole tree: the
// outermost loop mark when the piece starts or ends with a loop, nested or in a concatenation,
// else the opening clef or the last chord, standing for itself by its middle note.
TEST(EditStateTest, HomeAndEndReachTheLoopMarksAtTheEndsOfThePiece)
{
    struct Case
    {
        std::vector<std::string> parts;
        std::vector<std::pair<std::string, bool>> loops; // around the part, or its parent
        const char *shape, *home, *end;
    };
    const Case cases[] = {
        {{"A"}, {}, "A", "A clef", "A6"},
        {{"A"}, {{"A", false}}, "{A}2", "[ {A}2", "] {A}2"},
        {{"A", "B"}, {{"B", false}}, "A {B}2", "A clef", "] {B}2"},
        {{"A", "B"}, {{"A", false}}, "{A}2 B", "[ {A}2", "B6"},
        {{"A"}, {{"A", false}, {"A", true}}, "{{A}2}2", "[ {{A}2}2", "] {{A}2}2"},
        {{"A", "B"}, {{"B", false}, {"A", true}}, "{A {B}2}2", "[ {A {B}2}2", "] {A {B}2}2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shape);
        MusicDoc m;
        LabelParts(m.doc, c.parts);
        for (const std::string& label : c.parts)
            for (int32_t pitch : {8, 6, 4})
                m.Note(0.5, pitch, 4,
                       static_cast<TSinglePartMuz*>(PartLabelled(m.doc.GetRootPart(), label)));
        for (const auto& [label, parent] : c.loops) {
            TPartMuz* part = PartLabelled(m.doc.GetRootPart(), label);
            ASSERT_TRUE(WrapInLoop(m.doc, parent ? *part->GetParent() : *part).refusal.empty());
        }
        ASSERT_EQ(TreeShape(m.doc), c.shape);
        m.doc.mode = unitMuzSel;
        m.doc.SetSelectedSymbol(m.part->GetOpeningKey(m.stave));
        m.doc.SelectStaveEnd();
        EXPECT_EQ(SymbolName(m.doc.GetSelectedSymbol()), c.end);
        m.doc.SelectStaveStart(); // from a loop mark: the stave walked last
        EXPECT_EQ(SymbolName(m.doc.GetSelectedSymbol()), c.home);
    }
}

} // namespace
} // namespace kelvorn::test
