// Writing music in the window: clicks by edit mode, the cursor over the score, the keys that walk
// and move the selection, and random clicks and commands on a window that paints after each.
#include "music/core/MuzCommands.h"
#include "platform/Cursors.h"
#include "support/MusicWindows.h"

#include <QTest>

#include <random>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class MusicEditWindowTest : public MusicWindowTest
{
protected:
    /// One stave holding chain, painted; the piece has a file and no changes.
    std::vector<TStaveSymbol*> OpenChain(const std::string& chain)
    {
        Open(PieceWithRooms({{80, 80}}), 700, 400);
        std::vector<TStaveSymbol*> symbols = SetChain(Doc(), Part(), Doc().GetFirstStave(), chain);
        Doc().SetFileName("piece.kvm");
        Doc().ClearModified();
        window->Redraw();
        Paint();
        return symbols;
    }
    TSinglePartMuz* Part() const { return Doc().GetRootPart()->FirstSinglePart(); }
    std::string Chain() const { return ChainText(Part(), Doc().GetFirstStave()); }
    /// The row of the head of note as the last paint placed it.
    int RowOfNote(const TMuzNote* note) const
    {
        return RowOf(note->GetNoteStave(), note->GetHeight());
    }
    int RightOf(const TXTouchMuzSymbol* symbol) const { return ColumnRightOf(*window, symbol); }
};

TEST_F(MusicEditWindowTest, ClicksInsertTheStepsPitchUnderTheClefInForceSelectAndDelete)
{
    const auto s = OpenChain("G0 n6@0:4 F0.5 n-6@0.5:4");
    TNoteStave* stave = Doc().GetFirstStave();
    // Insert mode, the note tool: two steps above the middle line sounds under the clef before
    // the click; later symbols make room.
    Click(RightOf(s[3]), RowOf(stave, 2));
    EXPECT_EQ(Chain(), "G0 n6@0:4 F0.5 n-6@0.5:4 n-4@0.75:4");
    EXPECT_TRUE(Doc().IsModified());
    Click(RightOf(s[1]), RowOf(stave, 2));
    EXPECT_EQ(Chain(), "G0 n6@0:4 n8@0.25:4 F0.75 n-6@0.75:4 n-4@1:4");
    EXPECT_EQ(Doc().StatusText(4), "d5");

    // Select mode: a click selects, a second one on the same symbol unselects.
    Doc().ClearModified();
    Doc().ModeEditExecute();
    TMuzNote* note = s[1]->AsNote();
    Click(CentreX(note), RowOfNote(note));
    EXPECT_EQ(Doc().GetSelectedSymbol(), note);
    Click(CentreX(note), RowOfNote(note));
    EXPECT_EQ(Doc().GetSelectedSymbol(), nullptr);
    EXPECT_FALSE(Doc().IsModified());

    // The accidental tool marks the note clicked.
    Doc().ModeAddExecute();
    Doc().NoteShiftExecute(noteShiftKruis);
    Click(CentreX(note), RowOfNote(note));
    EXPECT_EQ(note->GetNoteShiftKind(), noteShiftKruis);
    EXPECT_TRUE(Doc().IsModified());

    // Delete mode: a note goes, the clef the stave opens with stays.
    Doc().ModeDeleteExecute();
    Click(CentreX(note), RowOfNote(note));
    EXPECT_EQ(Chain(), "G0 n8@0:4 F0.5 n-6@0.5:4 n-4@0.75:4");
    Click(CentreX(s[0]), RowOf(stave, 0));
    EXPECT_EQ(Chain(), "G0 n8@0:4 F0.5 n-6@0.5:4 n-4@0.75:4");
    EXPECT_TRUE(messages.Unexpected().empty()) << messages.Unexpected().front().text;
}

struct HoverCase
{
    const char* what;
    UnitMuzMode mode;
    InsertModeKind tool;
    NoteShiftKind shift;
    int over;   // the place of the symbol on the stave, -1 nothing, -2 first the rest, then nothing
    int cursor; // CursorId
};

TEST_F(MusicEditWindowTest, TheCursorSaysWhatAClickWouldDo)
{
    constexpr int note = 1, rest = 2, clef = 0, nothing = -1, afterRest = -2;
    const int Note = int(CursorId::Note), Sil = int(CursorId::Sil), Reject = int(CursorId::Reject),
              Delete = int(CursorId::Delete), Arrow = int(CursorId::Arrow);
    const HoverCase cases[] = {
        {"the note tool", unitMuzNew, insertModeNote, noteShiftNormal, nothing, Note},
        {"the clef tool", unitMuzNew, insertModeKey, noteShiftNormal, note, Sil},
        {"the rest tool", unitMuzNew, insertModeSilence, noteShiftNormal, rest, Sil},
        {"a sharp over a note", unitMuzNew, insertModeNoteShift, noteShiftKruis, note, Note},
        {"a flat over a clef", unitMuzNew, insertModeNoteShift, noteShiftMol, clef, Note},
        {"a natural over a clef", unitMuzNew, insertModeNoteShift, noteShiftNormal, clef, Note},
        {"a double sharp over a clef", unitMuzNew, insertModeNoteShift, noteShiftDoubleKruis, clef,
         Reject},
        {"a double flat over a rest", unitMuzNew, insertModeNoteShift, noteShiftDoubleMol, rest,
         Reject},
        {"an accidental over nothing keeps the cursor", unitMuzNew, insertModeNoteShift,
         noteShiftKruis, afterRest, Reject},
        {"select mode", unitMuzSel, insertModeNote, noteShiftNormal, note, Arrow},
        {"delete mode over a note", unitMuzDel, insertModeNote, noteShiftNormal, note, Delete},
        {"delete mode over the opening clef", unitMuzDel, insertModeNote, noteShiftNormal, clef,
         Reject},
        {"delete mode over nothing", unitMuzDel, insertModeNote, noteShiftNormal, nothing, Reject},
    };
    const auto s = OpenChain("G0 n6@0:4 r@0.25:4");
    TNoteStave* stave = Doc().GetFirstStave();
    auto move = [&](int place) {
        const int x = place >= 0 ? CentreX(s[size_t(place)]) : RightOf(s[2]) + 60;
        const int y = place == note ? RowOfNote(s[1]->AsNote()) : RowOf(stave, 0);
        Mouse(QEvent::MouseMove, Qt::NoButton, y, x);
    };
    for (const HoverCase& c : cases) {
        SCOPED_TRACE(c.what);
        Doc().mode = c.mode;
        Doc().insertTool.Kind = c.tool;
        Doc().insertTool.NoteShift = c.shift;
        window->SetMouseCursor(int(CursorId::Draw));
        move(c.over == afterRest ? rest : c.over);
        if (c.over == afterRest)
            move(nothing);
        EXPECT_EQ(window->ShownCursor(), c.cursor);
    }
}

struct KeyCase
{
    int from; // the place of the selection on the upper stave, 10 + place on the lower
    Qt::KeyboardModifiers held;
    int key;
    int to;               // the symbol selected after, by its place before
    const char* expected; // the upper stave after ("" unchanged)
};

TEST_F(MusicEditWindowTest, TheKeysWalkAndMoveTheSelection)
{
    const char* upper = "G0 n10@0:4 n8@0:4 n6@0:4 n3@0.25:4";
    const Qt::KeyboardModifiers none{}, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier,
                                        alt = Qt::AltModifier;
    const KeyCase cases[] = {
        {4, none, Qt::Key_Left, 2, ""},
        {2, none, Qt::Key_Right, 4, ""},
        {2, none, Qt::Key_Up, 1, ""},
        {2, none, Qt::Key_Down, 3, ""},
        {1, none, Qt::Key_Up, 1, ""},
        {4, none, Qt::Key_Home, 0, ""},
        {1, none, Qt::Key_End, 4, ""},
        {4, none, Qt::Key_PageDown, 11, ""},
        {11, none, Qt::Key_PageUp, 4, ""},
        {11, none, Qt::Key_PageDown, 11, ""},
        {4, shift, Qt::Key_PageDown, 11, ""},
        {11, shift, Qt::Key_PageUp, 4, ""},
        {4, ctrl, Qt::Key_Left, 4, "G0 n3@0:4 n10@0.25:4 n8@0.25:4 n6@0.25:4"},
        {4, ctrl, Qt::Key_Right, 4, ""},
        {4, ctrl, Qt::Key_Up, 4, "G0 n10@0:4 n8@0:4 n6@0:4 n4@0.25:4"},
        {2, ctrl, Qt::Key_Up, 2, "G0 n10@0:4 n9@0:4 n6@0:4 n3@0.25:4"},
        {4, ctrl | shift, Qt::Key_Down, 4, "G0 n10@0:4 n8@0:4 n6@0:4 n-4@0.25:4"},
        {4, alt, Qt::Key_Left, 4, ""},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " " << c.key << " " << int(c.held));
        const auto s = OpenChain(upper);
        TNoteStave* lower = Doc().AddStave(Doc().GetFirstStave());
        const auto below = SetChain(Doc(), Part(), lower, "F0 n-6@0.25:2");
        Doc().mode = unitMuzSel;
        Doc().SetSelectedSymbol(c.from >= 10 ? below[size_t(c.from - 10)] : s[size_t(c.from)]);
        const bool taken = window->FormKeyDown(c.key, c.held);
        EXPECT_EQ(taken, c.held != alt);
        TXTouchMuzSymbol* want = c.to >= 10 ? below[size_t(c.to - 10)] : s[size_t(c.to)];
        EXPECT_EQ(Doc().GetSelectedSymbol(), want);
        EXPECT_EQ(Chain(), *c.expected ? c.expected : upper);
    }
    // Ctrl+Up moves the note and then steps the clef tool; the keys reach the window's view.
    const auto s = OpenChain(upper);
    Doc().SetSelectedSymbol(s[4]);
    Doc().KeyExecute(keyKindF);
    QTest::keyClick(window->widget(), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(Chain(), "G0 n10@0:4 n8@0:4 n6@0:4 n4@0.25:4");
    EXPECT_EQ(Doc().insertTool.Key, keyKindC);
    EXPECT_TRUE(messages.Unexpected().empty()) << messages.Unexpected().front().text;
}

// Random clicks anywhere on the score and random enabled commands, the window painting after
// each: the piece stays sound, every paint lays it out, and no internal error is reported.
TEST_F(MusicEditWindowTest, RandomClicksAndCommandsOnAPaintedScore)
{
    for (uint32_t seed : {3u, 11u}) {
        SCOPED_TRACE(seed);
        OpenChain("G0 n6@0:4 n8@0:4 r@0.25:8 n3@0.375:8. C0.5 n0@0.5:2");
        SetChain(Doc(), Part(), Doc().AddStave(Doc().GetFirstStave()), "F0 n-6@0:2 n-8@0.5:2");
        Doc().autoPlay = 0;
        std::mt19937 dice(seed);
        int edits = 0;
        for (int step = 0; step < 250; ++step) {
            const uint64_t generation = Doc().GetGeneration();
            if (dice() % 2) {
                std::vector<const TMuzCommand*> enabled;
                for (const TMuzCommand& command : MuzCommands())
                    if (command.can(Doc()))
                        enabled.push_back(&command);
                enabled[dice() % enabled.size()]->run(Doc());
            } else {
                Click(int(dice() % 700), int(dice() % 400));
            }
            Paint();
            edits += Doc().GetGeneration() != generation;
            ASSERT_EQ(PieceFaults(Doc()), std::vector<std::string>{}) << "step " << step;
            ASSERT_TRUE(messages.Unexpected().empty())
                << "step " << step << ": " << messages.Unexpected().front().text;
        }
        EXPECT_GT(edits, 60);
        EXPECT_GT(window->GetHorzRange(), 0);
    }
}

} // namespace
