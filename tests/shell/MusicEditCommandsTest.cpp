// Writing music from the main window: each music action and shared key runs the piece's
// command with its argument, the action update reads the piece, the status panels name the
// selection, and nothing of it reaches a piece while a wave window is active, where the shared
// keys run their wave meaning.
#include "ShellSupport.h"

#include "music/core/MuzCommands.h"
#include "music/ui/MusicWindow.h"
#include "platform/test/SimulatedAudio.h"
#include "support/Documents.h"

#include <QLabel>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class MusicEditCommandsTest : public CommandsTest
{
protected:
    /// A new piece, active, whose stave holds chain; select (-1: none) chosen in select mode.
    TUnitMuz& Piece(const std::string& chain, int select = -1)
    {
        Trigger("FileNewMuz");
        TUnitMuz& unit = Active();
        symbols =
            SetChain(unit, unit.GetRootPart()->FirstSinglePart(), unit.GetFirstStave(), chain);
        if (select >= 0) {
            unit.mode = unitMuzSel;
            unit.SetSelectedSymbol(symbols[size_t(select)]);
        }
        form->ActionListUpdate();
        return unit;
    }
    TUnitMuz& Active() const { return *UnitMuzOf(form->Documents().GetActiveChildMuz()); }
    std::string Chain() const
    {
        return ChainText(Active().GetRootPart()->FirstSinglePart(), Active().GetFirstStave());
    }
    /// Presses key in the main window as a user would.
    void Press(const char* key)
    {
        ASSERT_TRUE(Focus(form.get()));
        form->SetTextInputMode(false);
        QTest::keySequence(form.get(), QKeySequence(QString::fromLatin1(key)));
        QCoreApplication::processEvents();
    }
    std::string Panels() const
    {
        std::string texts;
        for (int panel = 1; panel <= 4; ++panel)
            texts += (panel > 1 ? "|" : "") + form->GetStatusPanel(panel)->text().toStdString();
        return texts;
    }

    std::vector<TStaveSymbol*> symbols;
};

std::string Tool(TUnitMuz& u)
{
    const TInsertTool& t = u.insertTool;
    return std::to_string(t.Kind) + " len " + std::to_string(t.NoteLengthKind) + " dots " +
           std::to_string(t.Points) + " art " + std::to_string(t.Art) + " shift " +
           std::to_string(t.NoteShift) + " key " + std::to_string(t.Key) + " stem " +
           std::to_string(t.Stick) + " mode " + std::to_string(u.mode);
}

// Two equal pieces, one edited through the main window's actions, the other by the rows of the
// piece's command table, stay equal action after action: every action runs its own row.
TEST_F(MusicEditCommandsTest, EveryMusicActionRunsItsRowOnTheActivePiece)
{
    const char* chain = "G0 n6@0:4 n8@0:4 r@0.25:8. n9@0.4375:16 C1 n0@1:2";
    TUnitMuz& unit = Piece(chain, 2);
    TUnitMuz twin("twin", "");
    twin.NewMusic();
    const auto twins =
        SetChain(twin, twin.GetRootPart()->FirstSinglePart(), twin.GetFirstStave(), chain);
    twin.mode = unitMuzSel;
    twin.SetSelectedSymbol(twins[2]);
    unit.autoPlay = twin.autoPlay = 0;
    auto state = [](TUnitMuz& u) {
        return MuzText(u) + Tool(u) + u.StatusText(1) + u.StatusText(2) + u.StatusText(4);
    };
    int ran = 0;
    for (int round = 0; round < 4; ++round)
        for (const TMuzCommand& command : MuzCommands()) {
            form->ActionListUpdate();
            if (!A(command.name)->isEnabled() || command.run == nullptr)
                continue;
            ASSERT_TRUE(command.can(twin)) << command.name;
            A(command.name)->trigger();
            command.run(twin);
            ++ran;
            ASSERT_EQ(state(unit), state(twin)) << command.name;
        }
    EXPECT_GT(ran, 80);
    EXPECT_TRUE(messages.Unexpected().empty()) << messages.Unexpected().front().text;
}

struct KeyCase
{
    const char* keys;  // as pressed in the main window
    const char* chain; // the piece's stave; insert mode unless a symbol is selected
    int select;
    const char* expected; // the insert tool, or the stave after
};

TEST_F(MusicEditCommandsTest, TheSharedKeysRunTheirMusicMeaning)
{
    const char* notes = "G0 n6@0:4 n8@0.25:4.";
    // The insert tool's kind, value, dots, articulation, accidental, clef, stem and the mode.
    const KeyCase cases[] = {
        {"F", "G0", -1, "0 len 4 dots 0 art 0 shift 2 key -6 stem 2 mode 0"},
        {"C", "G0", -1, "0 len 4 dots 0 art 0 shift 2 key 0 stem 2 mode 0"},
        {"Shift+H", "G0", -1, "2 len 4 dots 0 art 0 shift 0 key 6 stem 2 mode 0"},
        {"H", "G0", -1, "2 len 4 dots 0 art 0 shift 1 key 6 stem 2 mode 0"},
        {"E", "G0", -1, "2 len 4 dots 0 art 0 shift 2 key 6 stem 2 mode 0"},
        {"B", "G0", -1, "2 len 4 dots 0 art 0 shift 3 key 6 stem 2 mode 0"},
        {"Shift+B", "G0", -1, "2 len 4 dots 0 art 0 shift 4 key 6 stem 2 mode 0"},
        {"Alt+L", "G0", -1, "1 len 4 dots 0 art 3 shift 2 key 6 stem 2 mode 0"},
        {"Shift+Alt+L", "G0", -1, "1 len 4 dots 0 art 1 shift 2 key 6 stem 2 mode 0"},
        {"L", "G0", -1, "1 len 2 dots 0 art 0 shift 2 key 6 stem 2 mode 0"},
        {"Shift+L", "G0", -1, "1 len 8 dots 0 art 0 shift 2 key 6 stem 2 mode 0"},
        {".", "G0", -1, "1 len 4 dots 1 art 0 shift 2 key 6 stem 2 mode 0"},
        {"Alt+S", "G0", -1, "3 len 4 dots 0 art 0 shift 2 key 6 stem 2 mode 0"},
        {"Alt+U", "G0", -1, "1 len 4 dots 0 art 0 shift 2 key 6 stem 0 mode 0"},
        {"Alt+D", "G0", -1, "1 len 4 dots 0 art 0 shift 2 key 6 stem 1 mode 0"},
        {"Alt+Del", "G0", -1, "1 len 4 dots 0 art 0 shift 2 key 6 stem 2 mode 2"},
        {"Alt+Home", "G0", -1, "1 len 4 dots 0 art 0 shift 2 key 6 stem 2 mode 1"},
        {"Ctrl+3", notes, 1, "G0 n6@0:2t3.0 n6@0:2t3.1 n6@0:2t3.2 n8@0.5:4."},
        {"Ctrl+2", notes, 2, "G0 n6@0:4 n8@0.25:2.t2.0 n8@0.25:2.t2.1"},
        // Shift+full stop takes a dot away also where the keyboard delivers ">".
        {"Shift+.", notes, 2, "G0 n6@0:4 n8@0.25:4"},
        {"Shift+>", notes, 2, "G0 n6@0:4 n8@0.25:4"},
        {">", notes, 2, "G0 n6@0:4 n8@0.25:4"},
        {"Alt+N", "G0 r@0:4", 1, "G0 n6@0:4"},
        {"Ctrl+Del", notes, 1, "G0 n8@0:4."},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.keys);
        TUnitMuz& unit = Piece(c.chain, c.select);
        Press(c.keys);
        EXPECT_EQ(c.select < 0 ? Tool(unit) : Chain(), c.expected);
        EXPECT_TRUE(messages.Unexpected().empty()) << messages.Unexpected().front().text;
        delete form->Frame()->activeSubWindow();
        Flush();
    }
}

// B in a music window is a flat only where the piece takes one: a clef of seven flats takes no
// more, one of none its first.
TEST_F(MusicEditCommandsTest, BNeedsTheNoteShiftPredicate)
{
    for (int flats : {7, 0}) {
        SCOPED_TRACE(flats);
        TUnitMuz& unit = Piece("G0 C1", 1);
        TKey* key = symbols[1]->AsKey();
        for (int n = 0; n < flats; ++n)
            key->SetKeyNoteShift(key->GetKeyShiftHeight(noteShiftMol, n), noteShiftMol);
        form->ActionListUpdate();
        EXPECT_EQ(A("MusicNSMol")->isEnabled(), flats < 7);
        Press("B");
        int32_t toonladder = 0;
        ASSERT_TRUE(key->ToonLadder(toonladder));
        EXPECT_EQ(toonladder, flats < 7 ? -flats - 1 : -7);
        EXPECT_EQ(unit.GetSelectedSymbol(), key);
        delete form->Frame()->activeSubWindow();
        Flush();
    }
}

TEST_F(MusicEditCommandsTest, AMusicCommandWithAWaveWindowActiveDoesNothing)
{
    TUnitMuz& unit = Piece("G0 n6@0:4 n8@0.25:4.", 1);
    const std::string before = MuzText(unit) + Tool(unit);
    std::vector<QAction*> enabled;
    for (const TMuzCommand& command : MuzCommands())
        if (A(command.name)->isEnabled())
            enabled.push_back(A(command.name));
    ASSERT_GT(enabled.size(), 20u);
    TMDIChildWave* wave = NewWave("Wave 1", Values(Steps(100)));
    const std::string waveBefore = ReadText(WriteWav("before.wav", UnitWaveOf(wave)->GetSound()));
    // The actions of the piece left enabled reach the command, which finds no piece.
    int triggered = 0;
    for (QAction* action : enabled)
        if (action->isEnabled()) {
            action->trigger();
            ++triggered;
        }
    EXPECT_GT(triggered, 20);
    // The shared keys run their wave meaning instead (the wave action, when it is enabled):
    // the piece stays as it was.
    const std::pair<const char*, const char*> waveKeys[] = {
        {"keyL", "TDlgLengthProps"},   {"keyB", "TDlgBalanceProps"},
        {"keyAltN", "TDlgNoiseProps"}, {"keyAltS", "TDlgSilenceProps"},
        {"keyAltL", "TDlgLineProps"},  {"keyShiftB", "TDlgBlockProps"},
    };
    for (const auto& [key, dialog] : waveKeys) {
        dialogs.When(dialog, DialogResult::Rejected);
        A(key)->trigger();
    }
    for (const char* key : {"keyH", "keyShiftH", "keyE", "keyAltU", "keyAltP", "keyAltG"})
        A(key)->trigger();
    EXPECT_EQ(MuzText(unit) + Tool(unit), before);
    EXPECT_EQ(ReadText(WriteWav("after.wav", UnitWaveOf(wave)->GetSound())), waveBefore);
    // Ctrl+Del deletes the wave's part as Delete does; Alt+Del forgets the undo record.
    UnitWaveOf(wave)->SetPos1(10);
    UnitWaveOf(wave)->SetPos2(30);
    form->ActionListUpdate();
    A("keyCtrlDel")->trigger();
    EXPECT_EQ(UnitWaveOf(wave)->GetValues(), 80);
    EXPECT_TRUE(A("Undo")->isEnabled());
    A("keyAltDel")->trigger();
    EXPECT_FALSE(A("Undo")->isEnabled());
}

TEST_F(MusicEditCommandsTest, TheUpdateAsksThePieceAndThePanelsNameTheSelection)
{
    TUnitMuz& unit = Piece("G0 n6@0:4 n9@0.25:4.");
    EXPECT_TRUE(A("MusicModeAdd")->isChecked() && A("MusicNote4")->isChecked());
    EXPECT_FALSE(A("MusicPlayNote")->isEnabled() || A("MusicDelete")->isEnabled() ||
                 A("MusicTriplet")->isEnabled());
    EXPECT_EQ(Panels(), "|||") << "the clef selected first is gone";
    Trigger("MusicModeEdit");
    unit.SetSelectedSymbol(symbols[2]);
    form->ActionListUpdate();
    EXPECT_TRUE(A("MusicPlayNote")->isEnabled() && A("MusicDelete")->isEnabled() &&
                A("MusicTwin")->isEnabled() && A("MusicModeEdit")->isChecked() &&
                A("MusicNote4")->isChecked() && A("MusicArtNormal")->isChecked());
    EXPECT_FALSE(A("MusicNote8")->isChecked() || A("MusicKeyG")->isEnabled());
    EXPECT_EQ(Panels(), "Note|pos: 1/4|len: 3/8|e5");
    Trigger("MusicSelectPrev");
    EXPECT_EQ(Panels(), "Note|pos: 0|len: 1/4|b4");
    unit.SetSelectedSymbol(unit.GetRootPart()->FirstSinglePart()->GetMuzBar());
    form->ActionListUpdate();
    EXPECT_EQ(Panels(), "Bar|pos: 0|len: 1/4|b4");
    EXPECT_TRUE(A("MusicPointAdd")->isEnabled() && A("MusicNote4")->isChecked());

    // Another window's panels start empty: the piece's texts go with it.
    NewWave("Wave 1", Values(Steps(100)));
    EXPECT_EQ(form->GetStatusPanel(1)->text(), QString());
    EXPECT_NE(Panels(), "Bar|pos: 0|len: 1/4|b4");
    for (QMdiSubWindow* window : form->Frame()->subWindowList())
        delete window;
    Flush();
    form->ActionListUpdate();
    EXPECT_EQ(Panels(), "|||");
}

} // namespace
