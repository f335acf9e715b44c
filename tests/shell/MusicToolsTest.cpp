// The "Music" and "Music Parts" tool windows in the main window: their toggles, keys and closed
// notices, where they open, whom they follow and when they let go of a piece, playing through
// the audio device, and a piece made from the first note to the generated wave.
#include "ShellSupport.h"
#include "support/MusicWindows.h"

#include "music/core/MuzTree.h"
#include "music/ui/MusicDialog.h"
#include "music/ui/MusicPartsDialog.h"
#include "music/ui/MusicWindow.h"
#include "platform/test/SimulatedAudio.h"
#include "shell/PlayRecord.h"
#include "window_base/ToolWindow.h"

#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using Tool = TMainForm::Tool;

class MusicToolsTest : public CommandsTest
{
protected:
    TDlgMusic* Music() const
    {
        return dynamic_cast<TDlgMusic*>(form->ToolSlot(Tool::Music).Existing());
    }
    TDlgMusTree* Parts() const
    {
        return dynamic_cast<TDlgMusTree*>(form->ToolSlot(Tool::MusicParts).Existing());
    }
    TMDIChildMuz* ActiveMusic() const
    {
        return dynamic_cast<TMDIChildMuz*>(form->Documents().GetActiveChildMuz());
    }
    TMDIChildMuz* NewPiece()
    {
        Trigger("FileNewMuz");
        return ActiveMusic();
    }
    /// Both tool windows shown.
    void ShowBoth()
    {
        for (const char* toggle : {"MusicDialog", "MusicParts"})
            if (!A(toggle)->isChecked())
                Trigger(toggle);
    }
    /// Types text into field and leaves it through "Apply".
    static void Enter(TMusicToolWindow& tool, QWidget* field, const char* text)
    {
        if (auto* edit = qobject_cast<QLineEdit*>(field))
            edit->setText(QString::fromLatin1(text));
        else
            static_cast<QComboBox*>(field)->setEditText(QString::fromLatin1(text));
        tool.btnApply->click();
    }
    void Choose(const char* node) { ChooseNode(*Parts()->tvMusParts, node); }
};

TEST_F(MusicToolsTest, TogglesAndKeysShowAndHideOneWindowEachAtTheLowerRight)
{
    NewWave("Wave 1", Pattern(100, 3));
    Trigger("keyCtrlD");
    EXPECT_EQ(Music(), nullptr) << "the key means nothing for a wave window";
    NewPiece();
    form->move(200, 100);
    Trigger("keyCtrlD");
    ASSERT_NE(Music(), nullptr);
    EXPECT_TRUE(Music()->isVisible() && A("MusicDialog")->isChecked());
    EXPECT_EQ(Music()->ShownWindow(), ActiveMusic());
    // At the main window's lower right corner, kept within the screen.
    const QRect main = form->frameGeometry();
    EXPECT_EQ(Music()->pos(),
              QPoint(std::min(main.right() + 1, 1024 - Music()->frameSize().width()),
                     std::min(main.bottom() + 1, 768 - Music()->frameSize().height())));
    Trigger("keyShiftCtrlD");
    EXPECT_FALSE(Music()->isVisible() || A("MusicDialog")->isChecked());
    Trigger("MusicParts");
    Trigger("MusicParts");
    Trigger("MusicParts");
    EXPECT_EQ(form->ToolSlot(Tool::MusicParts).Creations(), 1);
    // Its own Close button unchecks the action; the text-input mode follows activation.
    Parts()->btnClose->click();
    EXPECT_FALSE(A("MusicParts")->isChecked());
    Trigger("MusicDialog");
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(Music(), &activate);
    EXPECT_TRUE(form->TextInputMode());
    form->ChildActivated(form->Frame()->activeSubWindow());
    EXPECT_FALSE(form->TextInputMode());
}

TEST_F(MusicToolsTest, TheToolWindowsFollowTheActivePieceAndLetGoOfOneThatGoes)
{
    TMDIChildMuz* first = NewPiece();
    TMDIChildMuz* second = NewPiece();
    ShowBoth();
    auto shown = [this] {
        EXPECT_EQ(Music()->ShownWindow(), Parts()->ShownWindow());
        return Music()->ShownWindow();
    };
    EXPECT_EQ(shown(), second);
    form->Frame()->setActiveSubWindow(first);
    EXPECT_EQ(shown(), first);
    // Showing another piece marks neither.
    for (TMDIChildMuz* w : {first, second}) {
        w->GetUnitMuz().SetFileName(Path("x.kvm"));
        w->GetUnitMuz().ClearModified();
    }
    form->Frame()->setActiveSubWindow(second);
    EXPECT_FALSE(first->GetUnitMuz().IsModified() || second->GetUnitMuz().IsModified());
    NewWave("Wave 1", Pattern(100, 3));
    EXPECT_EQ(shown(), nullptr);
    // A click into a window that is not the frame's active one shows its piece; the piece
    // shown closes while other windows stay: at once, nothing of it is kept.
    form->ChildActivated(first);
    EXPECT_EQ(shown(), first);
    first->GetUnitMuz().SetModified();
    messages.Expect(MsgAnswer::No);
    first->close();
    EXPECT_EQ(shown(), nullptr);
    EXPECT_FALSE(Music()->editTempo->isEnabled());
    EXPECT_EQ(Parts()->tvMusParts->topLevelItemCount(), 0);
    Flush();
    form->Frame()->setActiveSubWindow(second);
    EXPECT_EQ(shown(), second);
    // A revert lets go of the old piece before it goes and shows the fresh one.
    const std::string path = WriteMuz("a.kvm", 55);
    ASSERT_NE(music->OpenMuzFile(path), nullptr);
    TMDIChildMuz* reverted = ActiveMusic();
    TUnitMuz& old = reverted->GetUnitMuz();
    old.SetModified();
    Trigger("FileRevert");
    EXPECT_EQ(shown(), reverted);
    EXPECT_NE(&reverted->GetUnitMuz(), &old);
    EXPECT_EQ(Music()->editStaveRoomUp->text(), "55");
    // Closing all windows (as a project does) leaves both with nothing.
    second->GetUnitMuz().ClearModified();
    messages.Expect(MsgAnswer::No); // the wave's close question
    ASSERT_TRUE(form->Documents().CloseAllWindows());
    EXPECT_EQ(shown(), nullptr);
    Flush();
}

TEST_F(MusicToolsTest, PlayButtonsSendTheStaveAndTheGroupToTheDevice)
{
    SimulatedAudio audio;
    TPlayRecord player(*form, audio);
    NewWave("Wave 1", Values(Steps(2000, 13, 4000), 1, 22050));
    NewPiece();
    TUnitMuz& piece = ActiveMusic()->GetUnitMuz();
    AddScale(piece, 4, "Wave 1");
    piece.GetFirstStave()->Mute = 1;
    ShowBoth();
    const SoundPtr stave(piece.CreateStaveSound(piece.GetFirstStave()).sound.release());
    ASSERT_GT(stave->GetValues(), 0);
    // Muted, the stave is silent in the piece and sounds alone.
    Music()->btnStavePlay->click();
    EXPECT_TRUE(SameSound(*ReadBack(player.PlayFile()), *stave));
    EXPECT_EQ(audio.TakeLog(), (std::vector<std::string>{"load " + player.PlayFile(), "play"}));
    Trigger("FileStop");
    audio.TakeLog();
    Music()->btnGroupPlay->click();
    EXPECT_TRUE(SameSound(*ReadBack(player.PlayFile()), *stave)) << "its only group";
    Trigger("FileStop");
    audio.TakeLog();
    Choose("part");
    Parts()->btnPlay->click();
    EXPECT_TRUE(audio.TakeLog().empty()) << "the whole piece, muted, is silent";
    piece.GetFirstStave()->Mute = 0;
    Parts()->btnPlay->click();
    EXPECT_TRUE(SameSound(*ReadBack(player.PlayFile()), *stave)) << "a part sounds it all";
    Trigger("FileStop");
    audio.TakeLog();
    // A player whose wave is not open: the render's box, nothing played.
    piece.GetFirstStave()->GetFirstNoteGroup()->GetPlayer()->GetFirstOnePlayer()->OnePlayerProps =
        SimpleProps("Nowhere", 1.0 / 440.0);
    messages.Expect();
    Music()->btnGroupPlay->click();
    EXPECT_EQ(LastBox(), "Error: Cannot create music: Cannot find window \"Nowhere\".");
    EXPECT_TRUE(audio.TakeLog().empty());
}

// From a new piece to the generated wave, through actions, clicks into the music window and the
// tool windows' controls only.
TEST_F(MusicToolsTest, APieceMadeInTheToolWindowsSurvivesItsFileAndPlaysAsItGenerates)
{
    SimulatedAudio audio;
    TPlayRecord player(*form, audio);
    NewWave("Wave 1", Values(Steps(3000, 37, 6000), 1, 22050));
    TMDIChildMuz* window = NewPiece();
    TUnitMuz& piece = window->GetUnitMuz();
    Trigger("keyCtrlD");
    TDlgMusic& tool = *Music();
    Enter(tool, tool.cboPlaySOSSampleWave, "Wave 1");
    Enter(tool, tool.editTempo, "2 s");
    tool.staves.append->click();
    tool.pcPlay->setCurrentIndex(notePlayerRollOutSampler);
    Enter(tool, tool.cboPlayROSSampleWave, "Wave 1");
    Enter(tool, tool.editPlayROSBasicFreq, "220 Hz");
    ASSERT_EQ(piece.CountStaves(), 2);

    // Insert mode: each click right of a stave's last symbol (the time signature while it has
    // no notes) adds the tool there, a note at the pitch of the step clicked under the treble
    // clef (the middle line is b4, pitch 6).
    TSinglePartMuz* part = piece.GetRootPart()->FirstSinglePart();
    TNoteStave* upper = piece.GetFirstStave();
    TNoteStave* lower = upper->GetNext();
    Repaint(*window);
    auto append = [&](TNoteStave* stave, int pitch) {
        const TXTouchMuzSymbol* last = PartStaveSymbol(*part, *stave, true);
        ClickScore(*window, ColumnRightOf(*window, last), StepRow(stave, pitch - 6));
    };
    Trigger("MusicNote4");
    for (int pitch : {2, 3, 4})
        append(upper, pitch);
    Trigger("MusicSilence4");
    append(upper, 6);
    Trigger("MusicNote2");
    append(lower, -4);
    Trigger("MusicSilence2");
    append(lower, 6);
    EXPECT_EQ(ChainText(part, upper), "G0 n2@0:4 n3@0.25:4 n4@0.5:4 r@0.75:4");
    EXPECT_EQ(ChainText(part, lower), "G0 n-4@0:2 r@0.5:2");
    // Auto play sounded every note as it went in.
    Trigger("FileStop");
    std::vector<std::string> heard = audio.TakeLog();
    EXPECT_EQ(std::count(heard.begin(), heard.end(), "play"), 4);

    Trigger("MusicParts");
    Choose("part");
    Parts()->cmdAddLoop->trigger();
    Choose("part");
    Parts()->cmdAddTurns->trigger();
    Parts()->cmdAddTurn->trigger();
    Enter(*Parts(), Parts()->editPitch, "5");
    ASSERT_EQ(TreeShape(piece), "{<part|1,2:5>}2");

    const std::string path = Path("piece.kvm");
    fileDialogs.WhenSave("Save Music", path);
    Trigger("FileSaveAs");
    Trigger("FileClose");
    Flush();
    EXPECT_EQ(ActiveMusic(), nullptr);
    fileDialogs.WhenOpen("Open Music", {path});
    Trigger("FileOpenMuz");
    TMDIChildMuz* reopened = ActiveMusic();
    ASSERT_NE(reopened, nullptr);
    TUnitMuz& back = reopened->GetUnitMuz();
    EXPECT_EQ(TreeShape(back), "{<part|1,2:5>}2");
    EXPECT_EQ(back.tempo.GetValue(), 2.0);
    EXPECT_EQ(back.GetFirstStave()
                  ->GetNext()
                  ->GetFirstNoteGroup()
                  ->GetPlayer()
                  ->GetFirstOnePlayer()
                  ->OnePlayerProps.GetKind(),
              notePlayerRollOutSampler);
    const SoundPtr render(back.CreateSound().sound.release());
    ASSERT_GT(render->GetValues(), 2 * 22050) << "two turns of a bar at 2 s a whole note";

    Trigger("MusicGenerate");
    EXPECT_TRUE(SameSound(*ActiveWave()->GetUnitWave().GetSound(), *render));
    form->Frame()->setActiveSubWindow(reopened);
    form->ActionListUpdate();
    Trigger("FilePlay");
    EXPECT_TRUE(SameSound(*ReadBack(player.PlayFile()), *render));
    EXPECT_EQ(audio.TakeLog(), (std::vector<std::string>{"load " + player.PlayFile(), "play"}));
    Trigger("FileStop");
}

} // namespace
