// Music pieces in the main window: new, open (from dialogs and the command line), save, save
// as, revert, duplicate, the file properties, play, Generate, and the name and tool windows
// following music windows.
#include "ShellSupport.h"

#include "platform/test/SimulatedAudio.h"
#include "shell/PlayRecord.h"
#include "support/MusicWindows.h"
#include "waveui/dialogs/WaveFilePropDialog.h"
#include "window_base/ToolWindow.h"

#include <QListWidget>
#include <QRadioButton>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

/// The music tool window as the main window sees it: what it was shown and told.
class MusicFollower final : public QWidget, public MusicToolFollower
{
public:
    void SetChildMuz(TMDIChildKelvorn* window) override { shown.push_back(window); }
    void StaveChanged(const TNoteStave& stave) override { staves.push_back(&stave); }
    std::vector<TMDIChildKelvorn*> shown;
    std::vector<const TNoteStave*> staves;
};

class MusicCommandsTest : public CommandsTest
{
protected:
    MusicFollower* ShowMusicTool()
    {
        form->SetToolWindowMaker(TMainForm::Tool::Music,
                                 [](QWidget*) { return new MusicFollower; });
        form->ToggleToolWindow(TMainForm::Tool::Music);
        return dynamic_cast<MusicFollower*>(form->ToolSlot(TMainForm::Tool::Music).Existing());
    }
    TMDIChildMuz* ActiveMusic() const
    {
        return dynamic_cast<TMDIChildMuz*>(form->Documents().GetActiveChildMuz());
    }
    TUnitMuz& Active() const { return ActiveMusic()->GetUnitMuz(); }
    /// A new piece, active; with notes, a scale sampling the wave called caption.
    TUnitMuz& NewPiece(int notes = 0, const std::string& caption = "Wave 1")
    {
        Trigger("FileNewMuz");
        AddScale(Active(), notes, caption);
        return Active();
    }
    /// File Properties answered with 44 kHz stereo.
    void Properties44Stereo()
    {
        dialogs.When(
            "TDlgWaveFileProp",
            [](ModalDialog& modal) {
                auto* dialog = DialogAs<TDlgWaveFileProp>(modal);
                dialog->lbSampleFreq->setCurrentRow(3);
                dialog->rbStereo->setChecked(true);
            },
            DialogResult::Accepted);
        Trigger("FileProperties");
    }
    static std::string Format(const TUnitMuz& unit)
    {
        return std::to_string(unit.GetSampleFreq()) + "/" + std::to_string(unit.GetMonoStereo()) +
               "/" + std::to_string(unit.GetBytesPSample());
    }
};

TEST_F(MusicCommandsTest, PiecesOpenInTheOrderChosenAsMusicNAndABrokenOneShowsWhereItBroke)
{
    const std::string b = WriteMuz("b.kvm", 41), c = WriteMuz("c.kvm", 42),
                      a = WriteMuz("a.kvm", 43), broken = Path("broken.kvm");
    std::string text = ReadText(a);
    WriteText(broken, text.replace(text.find("<RoomUp>43"), 10, "<RoomUp>x43"));
    fileDialogs.WhenOpen("Open Music", {b, broken, c, a});
    messages.Expect();
    Trigger("FileOpenMuz");
    EXPECT_EQ(LastBox(), "File Error: Cannot read file \"" + broken +
                             "\": In Room Up: Invalid value: \"x43\". At line 15, column 13.");
    const FileDialogRequest& request = fileDialogs.ShownDialogs().at(0).request;
    EXPECT_EQ(request.filter + " " + request.defaultExtension,
              "Music Files (*.kvm)|*.kvm|XML Files (*.xml)|*.xml|All files (*.*)|*.* kvm");
    // Named by the order they opened in, not after their files; no window for the broken one.
    EXPECT_EQ(Names(), (std::vector<std::string>{"Music 3", "Music 2", "Music 1"}));
    const std::pair<std::string, int> expected[] = {{b, 41}, {c, 42}, {a, 43}};
    for (int i = 0; i < 3; ++i) {
        auto* unit = UnitMuzOf(form->Documents().DocumentWindows()[size_t(2 - i)]);
        EXPECT_EQ(unit->GetFileName(), expected[i].first);
        EXPECT_EQ(unit->GetFirstStave()->RoomUp.GetValue(), expected[i].second);
        EXPECT_FALSE(unit->IsModified());
    }
    EXPECT_EQ(ActiveMusic()->windowTitle().toStdString(), "Music 3 - " + a + "[*]");

    // A new piece: the free name, one stave with its G clef, counted as changed.
    TUnitMuz& fresh = NewPiece();
    EXPECT_TRUE(fresh.GetName() == "Music 4" && fresh.IsUntitled() && fresh.IsModified());
    EXPECT_EQ(fresh.CountStaves(), 1);
    TStaveSymbol* clef = fresh.GetRootPart()->FirstSinglePart()->FirstSymbol();
    EXPECT_EQ(clef && clef->AsKey() ? clef->AsKey()->GetKeyKind() : keyKindC, keyKindG);
    EXPECT_EQ(form->EditNameWindow()->editName->text(), QStringLiteral("Music 4"));
    // The command line compares the extension in lower case.
    const std::string upper = WriteMuz("x.KVM", 44);
    form->OpenCommandLine({"x.KVM"}, dir.string());
    EXPECT_TRUE(Active().GetName() == "Music 5" && Active().GetFileName() == upper);
}

TEST_F(MusicCommandsTest, SaveOfAnUntitledPieceIsSaveAsAndOnlyASaveThatWorkedTakesTheName)
{
    TUnitMuz& unit = NewPiece();
    fileDialogs.WhenSave("Save Music", "");
    Trigger("FileSave");
    fileDialogs.WhenSave("Save Music", Path("missing/piece.kvm"));
    messages.Expect();
    Trigger("FileSaveAs");
    EXPECT_EQ(LastBox().rfind("FileError: Cannot save Music: ", 0), 0u) << LastBox();
    EXPECT_TRUE(unit.IsUntitled() && unit.IsModified());
    // The close question still protects the piece; Cancel keeps the window.
    messages.Expect(MsgAnswer::Cancel);
    ActiveMusic()->close();
    EXPECT_EQ(LastBox(), "You have unsaved changes: Do you want to save the Music with name "
                         "\"Music 1\" to a new file?");
    EXPECT_EQ(messages.Shown().back().buttons, MsgButtons::YesNoCancel);
    ASSERT_NE(ActiveMusic(), nullptr);

    const std::string path = Path("piece.kvm");
    fileDialogs.WhenSave("Save Music", path);
    Trigger("FileSave");
    EXPECT_TRUE(unit.GetFileName() == path && !unit.IsModified());
    EXPECT_EQ(ReadText(path), MuzText(unit));
    // Yes to the close question of a piece with a file saves it there.
    unit.GetFirstStave()->RoomDown.SetValue(77);
    unit.SetModified();
    messages.Expect(MsgAnswer::Yes);
    ActiveMusic()->close();
    Flush();
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 0);
    EXPECT_NE(ReadText(path).find("<RoomDown>77</RoomDown>"), std::string::npos);
}

TEST_F(MusicCommandsTest, RevertReadsAFreshPieceAndAFileThatFailsKeepsTheOldOne)
{
    const std::string path = WriteMuz("a.kvm", 55);
    ASSERT_NE(music->OpenMuzFile(path), nullptr);
    TMDIChildMuz* window = ActiveMusic();
    TUnitMuz* before = &Active();
    EXPECT_FALSE(A("FileRevert")->isEnabled());
    MusicFollower* follower = ShowMusicTool();
    // The sound format of a piece: no undo record, a change to save.
    Properties44Stereo();
    EXPECT_EQ(Format(*before), "44100/2/2");
    EXPECT_TRUE(form->Documents().GetUndo() == nullptr && before->IsModified());
    before->GetFirstStave()->RoomUp.SetValue(99);
    follower->shown.clear();
    Trigger("FileRevert");
    EXPECT_FALSE(form->Documents().IsWaiting());
    // The file's piece in the format every piece opens with, shown and sampling as before.
    TUnitMuz& fresh = Active();
    EXPECT_TRUE(&fresh != before && ActiveMusic() == window && fresh.GetChildMuz() == window);
    EXPECT_TRUE(fresh.GetName() == "Music 1" && !fresh.IsModified());
    EXPECT_EQ(fresh.GetFirstStave()->RoomUp.GetValue(), 55);
    EXPECT_EQ(Format(fresh), "22050/1/2");
    EXPECT_EQ(fresh.GetWaveFinder(), &form->Documents());
    // The tool windows let go of the old piece before it went, then show the fresh one.
    EXPECT_EQ(follower->shown, (std::vector<TMDIChildKelvorn*>{nullptr, window}));

    fresh.GetFirstStave()->RoomUp.SetValue(99);
    fresh.SetModified();
    WriteText(path, "no music");
    messages.Expect();
    Trigger("FileRevert");
    EXPECT_EQ(LastBox(), "File Error: Cannot read file: \"" + path +
                             "\": Version \"\" is no version of a Music file that can be read "
                             "(7.0 or 7.1).");
    EXPECT_TRUE(&Active() == &fresh && fresh.IsModified());
    EXPECT_EQ(fresh.GetFirstStave()->RoomUp.GetValue(), 99);

    // The music file keeps no sound format: a saved and reopened piece has the defaults.
    Properties44Stereo();
    const std::unique_ptr<Sound> empty = fresh.CreateSound().sound;
    EXPECT_EQ(empty->GetMonoStereo() * 100000 + empty->GetSampleFreq(), 244100);
    Trigger("FileSave");
    ASSERT_NE(music->OpenMuzFile(path), nullptr);
    EXPECT_EQ(Format(Active()), "22050/1/2");
}

TEST_F(MusicCommandsTest, DuplicateCopiesThePieceInTheDefaultFormatAndKeyDDuplicatesTheActiveKind)
{
    TUnitMuz& source = NewPiece(6);
    Properties44Stereo();
    Trigger("keyD");
    EXPECT_FALSE(form->Documents().IsWaiting());
    TUnitMuz& copy = Active();
    EXPECT_TRUE(&copy != &source && copy.GetName() == "Copy 1 of Music 1" && copy.IsUntitled());
    EXPECT_EQ(Format(copy), "22050/1/2");
    EXPECT_EQ(MuzText(copy), MuzText(source));
    // A piece its own reader would refuse cannot be copied; nothing opens.
    source.GetFirstStave()->RoomUp.SetValue(20000);
    form->Frame()->setActiveSubWindow(form->Documents().FindChildOf(&source));
    messages.Expect();
    Trigger("DuplicateMuz");
    EXPECT_EQ(LastBox(), "File Error: Cannot read file: \"Music 1\": In Room Up: Value must be "
                         "less or equal of 10000. At line 0, column 1.");
    NewWave("Wave 1", Pattern(50, 3));
    Trigger("keyD");
    EXPECT_EQ(ActiveWave()->GetUnitWave().GetName(), "Copy 1 of Wave 1");
    EXPECT_EQ(Names().size(), 4u);
    // Without the music commands the actions run nothing.
    music.reset();
    A("FileNewMuz")->trigger();
    EXPECT_EQ(Names().size(), 4u);
}

TEST_F(MusicCommandsTest, PlayAndGenerateUseTheRenderAndARenderThatFailsSaysWhy)
{
    SimulatedAudio audio;
    TPlayRecord player(*form, audio);
    NewWave("Wave 1", Values(Steps(2000, 13, 4000), 1, 22050));
    const SoundPtr render(NewPiece(8).CreateSound().sound.release());
    const V left = LeftOf(*render);
    ASSERT_GT(*std::max_element(left.begin(), left.end()), 1000) << "the notes sound";
    Trigger("FilePlay");
    EXPECT_TRUE(A("FilePlay")->isChecked());
    EXPECT_TRUE(SameSound(*ReadBack(player.PlayFile()), *render));
    EXPECT_EQ(audio.TakeLog(), (std::vector<std::string>{"load " + player.PlayFile(), "play"}));
    Trigger("MusicGenerate");
    TUnitWave& wave = ActiveWave()->GetUnitWave();
    EXPECT_EQ(wave.GetName(), "Wave 1 of Music 1");
    EXPECT_TRUE(SameSound(*wave.GetSound(), *render));
    EXPECT_TRUE(wave.IsUntitled() && wave.IsDataModified());

    // A piece without notes plays nothing and generates an empty wave.
    Trigger("FileStop");
    audio.TakeLog();
    NewPiece();
    Trigger("FilePlay");
    EXPECT_TRUE(!A("FilePlay")->isChecked() && audio.TakeLog().empty());
    Trigger("MusicGenerate");
    EXPECT_EQ(ActiveWave()->GetUnitWave().GetName(), "Wave 1 of Music 2");
    EXPECT_EQ(ActiveWave()->GetUnitWave().GetValues(), 0);

    // Notes whose sample wave is not open: the reason, nothing played or opened.
    NewPiece(2, "Nowhere");
    const int windows = form->Documents().DocumentWindowCount();
    for (const char* command : {"FilePlay", "MusicGenerate"}) {
        messages.Expect();
        Trigger(command);
        EXPECT_EQ(LastBox(), "Error: Cannot create music: Cannot find window \"Nowhere\".");
        EXPECT_EQ(messages.Shown().back().icon, MsgIcon::Information);
    }
    EXPECT_TRUE(audio.TakeLog().empty());
    EXPECT_EQ(form->Documents().DocumentWindowCount(), windows);
}

TEST_F(MusicCommandsTest, TheNameAndToolWindowsFollowActivationClicksAndDragsUntilTheLastCloses)
{
    MusicFollower* follower = ShowMusicTool();
    TMDIChildMuz* first = (NewPiece(), ActiveMusic());
    TMDIChildMuz* second = (NewPiece(), ActiveMusic());
    QLineEdit* name = form->EditNameWindow()->editName;
    EXPECT_EQ(name->text(), QStringLiteral("Music 2"));
    form->Frame()->setActiveSubWindow(first);
    EXPECT_TRUE(name->text() == QStringLiteral("Music 1") && follower->shown.back() == first);
    form->SetEditName("elsewhere");
    follower->shown.clear();
    // A click into the active window brings both back; a drag of a border is told on.
    QCoreApplication::processEvents();
    first->ScoreViewport()->repaint();
    const int border = TMDIChildMuz::ScoreTop + 80 + 80;
    SendMouse(*first, QEvent::MouseButtonPress, Qt::LeftButton, 300, border);
    SendMouse(*first, QEvent::MouseMove, Qt::LeftButton, 300, border + 7);
    SendMouse(*first, QEvent::MouseButtonRelease, Qt::NoButton, 300, border + 7);
    EXPECT_TRUE(name->text() == QStringLiteral("Music 1") && follower->shown.back() == first);
    TNoteStave* stave = first->GetUnitMuz().GetFirstStave();
    EXPECT_EQ(follower->staves, std::vector<const TNoteStave*>{stave});
    EXPECT_EQ(stave->RoomDown.GetValue(), 87);
    for (TMDIChildMuz* window : {first, second}) {
        messages.Expect(MsgAnswer::No);
        window->close();
    }
    Flush();
    EXPECT_TRUE(name->text().isEmpty() && follower->shown.back() == nullptr);
}

} // namespace
