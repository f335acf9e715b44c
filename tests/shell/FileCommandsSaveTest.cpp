// Save, Save As, Revert, Duplicate, File Properties and the close question's Yes.
#include "waveui/WaveWindow.h"
#include "FileCommandsTestSupport.h"

#include "document/wave/UndoUnit.h"
#include "waveui/ViewWave.h"
#include "waveui/ViewWaveGroup.h"
#include "waveui/dialogs/WaveFilePropDialog.h"

#include <QListWidget>
#include <QRadioButton>

#include <sys/stat.h>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

SoundPtr ReadBack(const std::string& path)
{
    SoundUPtr sound;
    std::string message;
    EXPECT_TRUE(ReadWaveFile(path, sound, message)) << message;
    return SoundPtr(std::move(sound));
}

/// An untitled wave of sound in a new wave window, made active.
TMDIChildWave* NewWindow(TFileCommands& commands, TMainForm& form, const std::string& name,
                         SoundPtr sound)
{
    return commands.NewChildWave(std::make_unique<TUnitWave>(name, std::string(), sound),
                                 form.DefaultWaveViewProps(), form.DefaultVoldViewProps());
}

TEST_F(FileCommandsTest, SaveWritesTheChangedSoundAndClearsTheFlags)
{
    const std::string song = WriteWav("song.wav", Pattern(100, 1));
    TUnitWave* unit = commands->OpenWaveFile(song, {}, false);
    ASSERT_NE(unit, nullptr);
    const SoundPtr changed = Pattern(160, 11);
    unit->ExchangeSound(changed);
    unit->SetModified();
    form->ActionListUpdate();
    Trigger("FileSave");
    EXPECT_FALSE(unit->IsModified());
    EXPECT_EQ(unit->GetFileName(), song);
    EXPECT_TRUE(SameSound(*ReadBack(song), *changed));
    EXPECT_TRUE(fileDialogs.ShownDialogs().empty()) << "a titled wave saves without a dialog";
}

TEST_F(FileCommandsTest, SaveOfAnUntitledWaveIsSaveAsAndCancellingKeepsItModified)
{
    TMDIChildWave* window = NewWindow(*commands, *form, "Wave 1", Pattern(80, 3));
    TUnitWave& unit = window->GetUnitWave();
    ASSERT_TRUE(unit.IsModified());
    form->ActionListUpdate();
    fileDialogs.WhenSave("Save Wave", "");
    Trigger("FileSave");
    EXPECT_TRUE(unit.IsModified());
    EXPECT_TRUE(unit.IsUntitled());
    ASSERT_EQ(fileDialogs.ShownDialogs().size(), 1u);
    EXPECT_EQ(fileDialogs.ShownDialogs()[0].kind, ScriptedFileDialogs::Kind::Save);
    EXPECT_EQ(fileDialogs.ShownDialogs()[0].request.fileName, "");
}

TEST_F(FileCommandsTest, SaveAsTakesTheNewNameWithItsExtension)
{
    const SoundPtr sound = Pattern(120, 13);
    TMDIChildWave* window = NewWindow(*commands, *form, "Wave 1", sound);
    TUnitWave& unit = window->GetUnitWave();
    unit.ChangePart(10, 20);
    form->ActionListUpdate();
    fileDialogs.WhenSave("Save Wave", Path("take"));
    Trigger("FileSaveAs");

    const std::string saved = Path("take.wav");
    EXPECT_EQ(unit.GetFileName(), saved);
    EXPECT_FALSE(unit.IsModified());
    EXPECT_TRUE(SameSound(*ReadBack(saved), *sound));
    EXPECT_TRUE(std::filesystem::exists(Path("take.kvw")));
    EXPECT_EQ(window->CaptionText(), "Wave 1 - " + saved);
    ASSERT_EQ(fileDialogs.ShownDialogs().size(), 1u);
    EXPECT_EQ(fileDialogs.ShownDialogs()[0].request.filter,
              "Wave Files (*.wav)|*.wav|All files (*.*)|*.*");

    // A second Save As starts from the file it has now.
    fileDialogs.WhenSave("Save Wave", "");
    EXPECT_FALSE(commands->FileSaveAsExecute());
    EXPECT_EQ(fileDialogs.ShownDialogs().back().request.fileName, saved);
}

TEST_F(FileCommandsTest, AFailedSaveAsKeepsNameAndFlagsAndAnswersFalse)
{
    const std::string song = WriteWav("song.wav", Pattern(100, 1));
    TUnitWave* unit = commands->OpenWaveFile(song, {}, false);
    ASSERT_NE(unit, nullptr);
    unit->ExchangeSound(Pattern(90, 17));
    unit->SetModified();

    // A directory that does not exist cannot take the file.
    const std::string target = Path("missing/take.wav");
    fileDialogs.WhenSave("Save Wave", target);
    messages.Expect();
    EXPECT_FALSE(commands->FileSaveAsExecute());

    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].caption, "FileError");
    EXPECT_EQ(unit->GetFileName(), song);
    EXPECT_TRUE(unit->IsDataModified());
    EXPECT_TRUE(unit->IsStateModified());
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_TRUE(SameSound(*ReadBack(song), *Pattern(100, 1))) << "the old file is untouched";
}

TEST_F(FileCommandsTest, TheCloseQuestionsYesSavesThroughTheFileCommands)
{
    const std::string song = WriteWav("song.wav", Pattern(100, 1));
    TUnitWave* unit = commands->OpenWaveFile(song, {}, false);
    ASSERT_NE(unit, nullptr);
    const SoundPtr changed = Pattern(70, 19);
    unit->ExchangeSound(changed);
    unit->SetModified();
    TMDIChildWave* window = ActiveWave();
    ASSERT_NE(window, nullptr);
    messages.Expect(MsgAnswer::Yes);
    EXPECT_TRUE(window->QueryClose());
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].caption, "You have unsaved changes");
    EXPECT_TRUE(SameSound(*ReadBack(song), *changed));
}

TEST_F(FileCommandsTest, ExitAsksEveryWindowAndStopsAtCancel)
{
    TMDIChildWave* first = NewWindow(*commands, *form, "Wave 1", Pattern(10, 1));
    TMDIChildWave* second = NewWindow(*commands, *form, "Wave 2", Pattern(10, 2));
    ASSERT_TRUE(first->GetUnitWave().IsModified());
    ASSERT_TRUE(second->GetUnitWave().IsModified());
    // The active window asks first; its Cancel ends the command before the other is asked.
    messages.Expect(MsgAnswer::Cancel);
    Trigger("FileExit");
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text,
              "Do you want to save the Wave with name \"Wave 2\" to a new file?");
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 2);
    EXPECT_TRUE(form->isVisible());

    messages.Expect(MsgAnswer::No);
    messages.Expect(MsgAnswer::No);
    Trigger("FileExit");
    EXPECT_EQ(messages.Shown().size(), 3u);
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 0);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(FileCommandsTest, RevertReadsTheFileAndTheSideFileAgain)
{
    const SoundPtr original = Pattern(500, 3);
    const std::string song = WriteWav("song.wav", original);
    TUnitWave* unit = commands->OpenWaveFile(song, {}, false);
    ASSERT_NE(unit, nullptr);
    unit->ChangePart(50, 60);
    Trigger("FileSave"); // the side file now holds the part 50..60
    unit->ExchangeSound(Pattern(40, 1));
    unit->SetCursor(30);
    unit->SetModified();
    form->ActionListUpdate();
    ASSERT_TRUE(A("FileRevert")->isEnabled());

    Trigger("FileRevert");
    EXPECT_TRUE(SameSound(*unit->GetSound(), *original));
    EXPECT_EQ(unit->GetPartBegin(), 50);
    EXPECT_EQ(unit->GetPartEnd(), 60);
    EXPECT_FALSE(unit->IsModified());
}

TEST_F(FileCommandsTest, RevertOfAVanishedFileShowsItsBoxAndChangesNothing)
{
    const std::string song = WriteWav("song.wav", Pattern(100, 1));
    TUnitWave* unit = commands->OpenWaveFile(song, {}, false);
    ASSERT_NE(unit, nullptr);
    const SoundPtr changed = Pattern(60, 5);
    unit->ExchangeSound(changed);
    unit->SetModified();
    std::filesystem::remove(song);
    SoundUPtr ignored;
    std::string reason;
    ASSERT_FALSE(ReadWaveFile(song, ignored, reason));

    messages.Expect();
    commands->FileRevertExecute();
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text, "Cannot revert the file: \"" + song + "\" " + reason);
    EXPECT_EQ(messages.Shown()[0].caption, "File Error");
    EXPECT_EQ(unit->GetSound(), changed);
    EXPECT_TRUE(unit->IsModified());
}

struct DuplicateCase
{
    const char* name;
    int32_t pos1;
    int32_t pos2;
    int32_t begin; // of the copied values
    int32_t end;
};

class FileCommandsDuplicateTest : public FileCommandsTest,
                                  public ::testing::WithParamInterface<DuplicateCase>
{
};

TEST_P(FileCommandsDuplicateTest, CopiesThePartOrTheWholeWave)
{
    const DuplicateCase& c = GetParam();
    const SoundPtr sound = Pattern(1000, 7);
    TMDIChildWave* source = NewWindow(*commands, *form, "Wave 1", sound);
    source->GetUnitWave().SetPos1(c.pos1);
    source->GetUnitWave().SetPos2(c.pos2);
    form->ActionListUpdate();
    Trigger("DuplicateWave");

    TMDIChildWave* copy = ActiveWave();
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(copy, source);
    TUnitWave& unit = copy->GetUnitWave();
    EXPECT_EQ(unit.GetName(), "Copy 1 of Wave 1");
    EXPECT_TRUE(unit.IsUntitled());
    ASSERT_EQ(unit.GetValues(), c.end - c.begin);
    for (int32_t i = 0; i < unit.GetValues(); ++i) {
        ASSERT_EQ((*unit.GetSound()->GetLeftWave())[i], (*sound->GetLeftWave())[c.begin + i]);
        ASSERT_EQ((*unit.GetSound()->GetRightWave())[i], (*sound->GetRightWave())[c.begin + i]);
    }
    EXPECT_EQ(unit.GetChildWave(), copy);
}

INSTANTIATE_TEST_SUITE_P(Parts, FileCommandsDuplicateTest,
                         ::testing::Values(DuplicateCase{"Cursor", 300, 300, 0, 1000},
                                           DuplicateCase{"Selection", 200, 450, 200, 450},
                                           DuplicateCase{"Backwards", 700, 100, 100, 700},
                                           DuplicateCase{"ToTheEnd", 999, 1000, 999, 1000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileCommandsTest, DuplicateTakesOverViewPropertiesSplitAndZoom)
{
    TMDIChildWave* source = NewWindow(*commands, *form, "Wave 1", Pattern(20000, 7));
    source->resize(600, 400);
    TWaveViewProps props = source->GetWaveViewProps();
    props.UseGrid = props.UseGrid ? 0 : 1;
    props.BackgroundColor = 0x00123456;
    source->SetWaveViewProps(props);
    TViewWaveGroup& group = source->GetViewWaveGroup();
    group.SetSplitPosition(0.3);
    ASSERT_NE(group.GetView(1), nullptr);
    group.GetView(1)->ZoomTo(1000, 3000, true);
    ASSERT_TRUE(group.GetView(1)->IsZoomed());

    commands->DuplicateWaveExecute();
    TMDIChildWave* copy = ActiveWave();
    ASSERT_NE(copy, source);
    copy->resize(600, 400);
    TViewWaveGroup& copyGroup = copy->GetViewWaveGroup();
    copyGroup.ApplyPendingSplitPosition();
    copyGroup.ApplyPendingZoom();
    EXPECT_NEAR(copyGroup.GetSplitPosition(), group.GetSplitPosition(), 0.02);
    EXPECT_TRUE(copy->GetWaveViewProps() == props);
    EXPECT_FALSE(copy->GetWaveViewProps() == form->DefaultWaveViewProps());
    ASSERT_NE(copyGroup.GetView(1), nullptr);
    EXPECT_TRUE(copyGroup.GetView(1)->IsZoomed());
    // A pane puts its left edge on a whole pixel, and one further at random: the copy shows the
    // same length from within two pixels of the source's start.
    const TViewWave& from = *group.GetView(1);
    const TViewWave& to = *copyGroup.GetView(1);
    EXPECT_DOUBLE_EQ(to.GetZoomEnd() - to.GetZoomBegin(), from.GetZoomEnd() - from.GetZoomBegin());
    const double pixel = 2000.0 / std::max(1, to.width() - 20);
    EXPECT_NEAR(to.GetZoomBegin(), from.GetZoomBegin(), 2.0 * pixel + 1.0);
    ASSERT_NE(copyGroup.GetView(2), nullptr);
    EXPECT_FALSE(copyGroup.GetView(2)->IsZoomed());

    // A second copy of the same wave takes the next number.
    form->Frame()->setActiveSubWindow(source);
    commands->DuplicateWaveExecute();
    ASSERT_NE(ActiveWave(), nullptr);
    EXPECT_EQ(ActiveWave()->GetUnitWave().GetName(), "Copy 2 of Wave 1");
}

TEST_F(FileCommandsTest, FilePropertiesConvertsAfterTheUndoSnapshot)
{
    const SoundPtr sound = Pattern(44100, 1);
    TMDIChildWave* window = NewWindow(*commands, *form, "Wave 1", sound);
    TUnitWave& unit = window->GetUnitWave();
    unit.ClearModified();
    form->ActionListUpdate();
    dialogs.When(
        "TDlgWaveFileProp",
        [](ModalDialog& modal) {
            auto* dialog = DialogAs<TDlgWaveFileProp>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->lbSampleFreq->currentItem()->text(), "44 kHz");
            EXPECT_TRUE(dialog->rbStereo->isChecked());
            dialog->lbSampleFreq->setCurrentRow(2); // 22 kHz
            dialog->rbMono->setChecked(true);
        },
        DialogResult::Accepted);
    Trigger("FileProperties");

    EXPECT_EQ(unit.GetSampleFreq(), 22050);
    EXPECT_EQ(unit.GetMonoStereo(), 1);
    EXPECT_EQ(unit.GetValues(), 22050);
    EXPECT_TRUE(unit.IsDataModified());
    // The snapshot holds the sound as it was before the conversion.
    TUndoUnit* undo = form->Documents().GetUndo();
    ASSERT_NE(undo, nullptr);
    EXPECT_EQ(undo->GetUnitWave(), &unit);
    EXPECT_EQ(undo->GetSound(), sound);
    undo->Undo();
    EXPECT_EQ(unit.GetSound(), sound);
}

TEST_F(FileCommandsTest, FilePropertiesKeepsAFrequencyTheListLacks)
{
    TMDIChildWave* window = NewWindow(*commands, *form, "Wave 1", Pattern(4800, 1, 48000));
    TUnitWave& unit = window->GetUnitWave();
    form->ActionListUpdate();
    dialogs.When("TDlgWaveFileProp", DialogResult::Accepted);
    Trigger("FileProperties");
    EXPECT_EQ(unit.GetSampleFreq(), 48000);
    EXPECT_EQ(unit.GetValues(), 4800);
}

TEST_F(FileCommandsTest, CancelledFilePropertiesTakesNoSnapshot)
{
    const SoundPtr sound = Pattern(100, 1);
    TMDIChildWave* window = NewWindow(*commands, *form, "Wave 1", sound);
    form->ActionListUpdate();
    dialogs.When("TDlgWaveFileProp", DialogResult::Rejected);
    Trigger("FileProperties");
    EXPECT_EQ(form->Documents().GetUndo(), nullptr);
    EXPECT_EQ(window->GetUnitWave().GetSound(), sound);
}

} // namespace
