// Music pieces in the main window: new, open (from dialogs and the command line), save, save
// as, revert, duplicate, the file properties, play, Generate, and the name window following
// music windows.
#include "ShellSupport.h"

#include "music/ui/MusicWindow.h"
#include "platform/test/SimulatedAudio.h"
#include "shell/PlayRecord.h"
#include "support/MusicKit.h"
#include "waveui/dialogs/WaveFilePropDialog.h"
#include "window_base/ToolWindow.h"

#include <QListWidget>
#include <QMouseEvent>
#include <QRadioButton>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

const char* const kMusicFilter =
    "Music Files (*.kvm)|*.kvm|XML Files (*.xml)|*.xml|All files (*.*)|*.*";

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
    /// The music tool window, shown; what it was told so far is forgotten.
    MusicFollower* ShowMusicTool()
    {
        form->SetToolWindowMaker(TMainForm::Tool::Music,
                                 [](QWidget* owner) { return new MusicFollower; });
        form->ToggleToolWindow(TMainForm::Tool::Music);
        auto* follower =
            dynamic_cast<MusicFollower*>(form->ToolSlot(TMainForm::Tool::Music).Existing());
        follower->shown.clear();
        return follower;
    }
    TMDIChildMuz* ActiveMusic() const
    {
        return dynamic_cast<TMDIChildMuz*>(form->Documents().GetActiveChildMuz());
    }
    TUnitMuz& Active() const { return ActiveMusic()->GetUnitMuz(); }
    /// A new piece in a new window, made active; notes > 0 adds a scale sampling caption.
    TUnitMuz& NewPiece(int notes = 0, const std::string& caption = "Wave 1")
    {
        Trigger("FileNewMuz");
        if (notes > 0)
            AddScale(Active(), notes, caption);
        return Active();
    }
    /// The "Wave Properties" dialog answers freq and channels.
    void PropertiesAnswer(const char* freq, bool stereo)
    {
        dialogs.When(
            "TDlgWaveFileProp",
            [freq, stereo](ModalDialog& modal) {
                auto* dialog = DialogAs<TDlgWaveFileProp>(modal);
                dialog->lbSampleFreq->setCurrentItem(
                    dialog->lbSampleFreq->findItems(freq, Qt::MatchExactly).at(0));
                (stereo ? dialog->rbStereo : dialog->rbMono)->setChecked(true);
            },
            DialogResult::Accepted);
    }
    static std::string Format(const TUnitMuz& unit)
    {
        return std::to_string(unit.GetSampleFreq()) + "/" + std::to_string(unit.GetMonoStereo()) +
               "/" + std::to_string(unit.GetBytesPSample());
    }
};

// ---- New and Open --------------------------------------------------------------------------

TEST_F(MusicCommandsTest, PiecesOpenInTheOrderChosenAsMusicNAndABrokenOneShowsWhereItBroke)
{
    const std::string b = WriteMuz("b.kvm", 41);
    const std::string c = WriteMuz("c.kvm", 42);
    const std::string a = WriteMuz("a.kvm", 43);
    std::string text = ReadText(a);
    text.replace(text.find("<RoomUp>43"), 10, "<RoomUp>x43");
    const std::string broken = Path("broken.kvm");
    WriteText(broken, text);
    fileDialogs.WhenOpen("Open Music", {b, broken, c, a});
    messages.Expect();
    Trigger("FileOpenMuz");
    EXPECT_EQ(LastBox(), "File Error: Cannot read file \"" + broken +
                             "\": In Room Up: Invalid value: \"x43\". At line 15, column 13.");
    const auto& shown = fileDialogs.ShownDialogs().at(0);
    EXPECT_TRUE(shown.multiple);
    EXPECT_EQ(shown.request.filter, kMusicFilter);
    EXPECT_EQ(shown.request.defaultExtension, "kvm");
    // Named by the order they opened in, not after their files; no window for the broken one.
    EXPECT_EQ(Names(), (std::vector<std::string>{"Music 3", "Music 2", "Music 1"}));
    const std::pair<std::string, int> expected[] = {{b, 41}, {c, 42}, {a, 43}};
    for (int i = 0; i < 3; ++i) {
        auto* unit = dynamic_cast<TUnitMuz*>(
            form->Documents().FindUnitByName("Music " + std::to_string(i + 1)));
        ASSERT_NE(unit, nullptr);
        EXPECT_EQ(unit->GetFileName(), expected[i].first);
        EXPECT_EQ(unit->GetFirstStave()->RoomUp.GetValue(), expected[i].second);
        EXPECT_FALSE(unit->IsModified());
        EXPECT_EQ(unit->GetChildMuz(),
                  dynamic_cast<TMDIChildMuz*>(form->Documents().FindChildOf(unit)));
    }
    EXPECT_EQ(ActiveMusic()->windowTitle().toStdString(), "Music 3 - " + a + "[*]");

    // A new piece: the free name, one stave with its G clef, counted as changed.
    TUnitMuz& fresh = NewPiece();
    EXPECT_EQ(fresh.GetName(), "Music 4");
    EXPECT_TRUE(fresh.IsUntitled() && fresh.IsModified());
    EXPECT_EQ(fresh.CountStaves(), 1);
    TStaveSymbol* clef = fresh.GetRootPart()->FirstSinglePart()->FirstSymbol();
    ASSERT_TRUE(clef && clef->AsKey());
    EXPECT_EQ(clef->AsKey()->GetKeyKind(), keyKindG);
    EXPECT_EQ(form->EditNameWindow()->editName->text(), QStringLiteral("Music 4"));

    // The command line compares the extension in lower case.
    const std::string upper = WriteMuz("x.KVM", 44);
    form->OpenCommandLine({"x.KVM"}, dir.string());
    EXPECT_EQ(Active().GetName(), "Music 5");
    EXPECT_EQ(Active().GetFileName(), upper);
    EXPECT_EQ(Active().GetFirstStave()->RoomUp.GetValue(), 44);
}

// ---- Save, close, revert and the file properties ---------------------------------------------

TEST_F(MusicCommandsTest, SaveOfAnUntitledPieceIsSaveAsAndOnlyASaveThatWorkedTakesTheName)
{
    TUnitMuz& unit = NewPiece();
    fileDialogs.WhenSave("Save Music", "");
    Trigger("FileSave");
    EXPECT_EQ(fileDialogs.ShownDialogs().at(0).request.filter, kMusicFilter);
    EXPECT_TRUE(unit.IsUntitled() && unit.IsModified());

    const std::string nowhere = Path("missing/piece.kvm");
    fileDialogs.WhenSave("Save Music", nowhere);
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
    EXPECT_EQ(unit.GetFileName(), path);
    EXPECT_FALSE(unit.IsModified());
    EXPECT_EQ(ReadText(path), MuzText(unit));
    EXPECT_FALSE(A("FileSave")->isEnabled());

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
    PropertiesAnswer("44 kHz", true);
    Trigger("FileProperties");
    EXPECT_EQ(Format(*before), "44100/2/2");
    EXPECT_EQ(form->Documents().GetUndo(), nullptr);
    EXPECT_TRUE(before->IsModified());
    before->GetFirstStave()->RoomUp.SetValue(99);
    Trigger("FileRevert");
    EXPECT_FALSE(form->Documents().IsWaiting());
    // The file's piece in the format every piece opens with.
    EXPECT_NE(&Active(), before);
    EXPECT_EQ(ActiveMusic(), window);
    EXPECT_EQ(Active().GetName(), "Music 1");
    EXPECT_EQ(Active().GetFirstStave()->RoomUp.GetValue(), 55);
    EXPECT_EQ(Format(Active()), "22050/1/2");
    EXPECT_FALSE(Active().IsModified());
    EXPECT_EQ(Active().GetChildMuz(), window);
    // The fresh piece finds its sample waves, and the music tool window shows it.
    EXPECT_EQ(Active().GetWaveFinder(), &form->Documents());
    EXPECT_EQ(follower->shown, std::vector<TMDIChildKelvorn*>{window});

    TUnitMuz* kept = &Active();
    kept->GetFirstStave()->RoomUp.SetValue(99);
    kept->SetModified();
    WriteText(path, "no music");
    messages.Expect();
    Trigger("FileRevert");
    EXPECT_EQ(LastBox(), "File Error: Cannot read file: \"" + path +
                             "\": Version \"\" is no version of a Music "
                             "file that can be read (7.0 or 7.1).");
    EXPECT_EQ(&Active(), kept);
    EXPECT_EQ(kept->GetFirstStave()->RoomUp.GetValue(), 99);
    EXPECT_TRUE(kept->IsModified());

    // The music file keeps no sound format: a saved and reopened piece has the defaults.
    PropertiesAnswer("44 kHz", true);
    Trigger("FileProperties");
    EXPECT_EQ(kept->CreateSound().sound->GetMonoStereo(), 2);
    EXPECT_EQ(kept->CreateSound().sound->GetSampleFreq(), 44100);
    Trigger("FileSave");
    ASSERT_NE(music->OpenMuzFile(path), nullptr);
    EXPECT_EQ(Format(Active()), "22050/1/2");
}

TEST_F(MusicCommandsTest, DuplicateCopiesThePieceInTheDefaultFormatAndKeyDDuplicatesTheActiveKind)
{
    TUnitMuz& source = NewPiece(6);
    source.GetFirstStave()->RoomDown.SetValue(66);
    PropertiesAnswer("44 kHz", true);
    Trigger("FileProperties");
    Trigger("keyD");
    EXPECT_FALSE(form->Documents().IsWaiting());
    TUnitMuz& copy = Active();
    EXPECT_NE(&copy, &source);
    EXPECT_EQ(copy.GetName(), "Copy 1 of Music 1");
    EXPECT_TRUE(copy.IsUntitled());
    EXPECT_EQ(Format(copy), "22050/1/2");
    EXPECT_EQ(MuzText(copy), MuzText(source));

    // A piece its own reader would refuse cannot be copied; nothing opens.
    source.GetFirstStave()->RoomUp.SetValue(20000);
    form->Frame()->setActiveSubWindow(form->Documents().FindChildOf(&source));
    messages.Expect();
    Trigger("DuplicateMuz");
    EXPECT_EQ(LastBox(),
              "File Error: Cannot read file: \"Music 1\": In Room Up: Value must be less or equal "
              "of 10000. At line 0, column 1.");
    EXPECT_EQ(Names().size(), 2u);

    NewWave("Wave 1", Pattern(50, 3));
    Trigger("keyD");
    EXPECT_EQ(ActiveWave()->GetUnitWave().GetName(), "Copy 1 of Wave 1");
    EXPECT_EQ(Names().size(), 4u);
    // Without the music commands the actions run nothing.
    music.reset();
    A("FileNewMuz")->trigger();
    EXPECT_EQ(Names().size(), 4u);
}

// ---- Play and Generate ---------------------------------------------------------------------

TEST_F(MusicCommandsTest, PlayAndGenerateUseTheRenderAndARenderThatFailsSaysWhy)
{
    SimulatedAudio audio;
    TPlayRecord player(*form, audio);
    NewWave("Wave 1", Values(Steps(2000, 13, 4000), 1, 22050));
    TUnitMuz& piece = NewPiece(8);
    const SoundPtr render(piece.CreateSound().sound.release());
    ASSERT_GT(render->GetValues(), 0);
    const V left = LeftOf(*render);
    EXPECT_GT(*std::max_element(left.begin(), left.end()), 1000) << "the notes sound";
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
    EXPECT_FALSE(A("FilePlay")->isChecked());
    EXPECT_TRUE(audio.TakeLog().empty());
    Trigger("MusicGenerate");
    EXPECT_EQ(ActiveWave()->GetUnitWave().GetName(), "Wave 1 of Music 2");
    EXPECT_EQ(ActiveWave()->GetUnitWave().GetValues(), 0);

    // Notes whose sample wave is not open.
    NewPiece(2, "Nowhere");
    const int windows = form->Documents().DocumentWindowCount();
    for (const char* command : {"FilePlay", "MusicGenerate"}) {
        messages.Expect();
        Trigger(command);
        EXPECT_EQ(LastBox(), "Error: Cannot create music: Cannot find window \"Nowhere\".")
            << command;
        EXPECT_EQ(messages.Shown().back().icon, MsgIcon::Information);
    }
    EXPECT_TRUE(audio.TakeLog().empty());
    EXPECT_EQ(form->Documents().DocumentWindowCount(), windows);
}

// ---- The name window -----------------------------------------------------------------------

TEST_F(MusicCommandsTest, TheNameAndToolWindowsFollowActivationClicksAndDragsUntilTheLastCloses)
{
    MusicFollower* follower = ShowMusicTool();
    TMDIChildMuz* first = (NewPiece(), ActiveMusic());
    TMDIChildMuz* second = (NewPiece(), ActiveMusic());
    QLineEdit* name = form->EditNameWindow()->editName;
    EXPECT_EQ(name->text(), QStringLiteral("Music 2"));
    form->Frame()->setActiveSubWindow(first);
    EXPECT_EQ(name->text(), QStringLiteral("Music 1"));
    EXPECT_EQ(follower->shown.back(), first);
    form->SetEditName("elsewhere");
    follower->shown.clear();
    // A click into the active window brings both back; a drag of a border is told on.
    QCoreApplication::processEvents();
    first->ScoreViewport()->repaint();
    QWidget* viewport = first->ScoreViewport();
    const int border = TMDIChildMuz::ScoreTop + 80 + 80;
    auto mouse = [&](QEvent::Type type, Qt::MouseButtons held, int y) {
        QMouseEvent event(type, QPointF(300, y), viewport->mapToGlobal(QPointF(300, y)),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &event);
    };
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, border);
    mouse(QEvent::MouseMove, Qt::LeftButton, border + 7);
    mouse(QEvent::MouseButtonRelease, Qt::NoButton, border + 7);
    EXPECT_EQ(name->text(), QStringLiteral("Music 1"));
    EXPECT_EQ(follower->shown, std::vector<TMDIChildKelvorn*>{first});
    TNoteStave* stave = first->GetUnitMuz().GetFirstStave();
    EXPECT_EQ(follower->staves, std::vector<const TNoteStave*>{stave});
    EXPECT_EQ(stave->RoomDown.GetValue(), 87);
    for (TMDIChildMuz* window : {first, second}) {
        messages.Expect(MsgAnswer::No);
        window->close();
    }
    Flush();
    EXPECT_EQ(name->text(), QString());
    EXPECT_EQ(follower->shown.back(), nullptr);
}

} // namespace
