// New, Open, Save, Save As, Revert, Duplicate and File Properties on real wave windows, the
// side file and the project's copies on opening, and the command line.
#include "ShellSupport.h"

#include "document/wave/SideFile.h"
#include "document/wave/UndoUnit.h"
#include "waveui/ViewWave.h"
#include "waveui/ViewWaveGroup.h"
#include "waveui/dialogs/WaveFilePropDialog.h"

#include <QListWidget>
#include <QRadioButton>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using FileCommandsTest = CommandsTest;
const char* const kWaveFilter = "Wave Files (*.wav)|*.wav|All files (*.*)|*.*";

// ---- New and Open --------------------------------------------------------------------------

TEST_F(FileCommandsTest, NewWaveMakesAnEmptyWaveOfTheChosenFormatFromTheLastUsedRecords)
{
    dialogs.When(
        "TDlgWaveFileProp",
        [](ModalDialog& modal) {
            auto* dialog = DialogAs<TDlgWaveFileProp>(modal);
            // A new wave starts from 44 kHz, stereo, 16 bits.
            EXPECT_EQ(dialog->lbSampleFreq->currentItem()->text(), "44 kHz");
            EXPECT_TRUE(dialog->rbStereo->isChecked() && dialog->rbBits16->isChecked());
            dialog->lbSampleFreq->setCurrentRow(2);
            dialog->rbMono->setChecked(true);
            dialog->rbBits8->setChecked(true);
        },
        DialogResult::Accepted);
    form->Documents().LastUsedProps().volumeProps.factor.SetValue(0.3);
    // The wave curve shows checked at once, before the next update.
    form->ActionListUpdate();
    A("ViewWave")->setChecked(false);
    A("ViewVold")->setChecked(true);
    A("FileNewWave")->trigger();
    EXPECT_TRUE(A("ViewWave")->isChecked());
    EXPECT_FALSE(A("ViewVold")->isChecked());
    TUnitWave& unit = ActiveWave()->GetUnitWave();
    EXPECT_EQ(unit.GetName(), "Wave 1");
    EXPECT_TRUE(unit.IsUntitled());
    EXPECT_EQ(unit.GetValues(), 0);
    EXPECT_EQ(unit.GetSampleFreq(), 22050);
    EXPECT_EQ(unit.GetMonoStereo(), 1);
    EXPECT_EQ(unit.GetBytesPSample(), 1);
    EXPECT_EQ(unit.GetChildWave(), ActiveWave());
    EXPECT_FALSE(unit.IsModified());
    EXPECT_DOUBLE_EQ(unit.Records().volumeProps.factor.GetValue(), 0.3);

    dialogs.When("TDlgWaveFileProp", DialogResult::Accepted);
    Trigger("FileNewWave");
    const TUnitWave& second = ActiveWave()->GetUnitWave();
    EXPECT_EQ(second.GetName(), "Wave 2");
    EXPECT_EQ(second.GetSampleFreq(), 44100);
    EXPECT_EQ(second.GetMonoStereo(), 2);
    EXPECT_EQ(second.GetBytesPSample(), 2);
    dialogs.When("TDlgWaveFileProp", DialogResult::Rejected);
    Trigger("FileNewWave");
    fileDialogs.WhenOpen("Open Wave", {});
    Trigger("FileOpenWave");
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 2);
}

TEST_F(FileCommandsTest, FilesOpenInTheOrderChosenAndAnUnreadableOneShowsItsBoxAlone)
{
    // Chosen in an order that is neither alphabetical nor by length.
    const std::string b = WriteWav("b.wav", Pattern(300, 7));
    const std::string bad = Path("bad.wav");
    WriteText(bad, "RIFF, but not really");
    SoundUPtr ignored;
    std::string reason;
    ASSERT_FALSE(ReadWaveFile(bad, ignored, reason));
    const std::string c = WriteWav("c.wav", Pattern(100, 3));
    const std::string a = WriteWav("a.wav", Pattern(200, 5));
    fileDialogs.WhenOpen("Open Wave", {b, bad, c, a});
    messages.Expect();
    form->Documents().LastUsedProps().volumeProps.factor.SetValue(0.3);
    Trigger("FileOpenWave");
    EXPECT_EQ(LastBox(), "File Error: Cannot read the file: \"" + bad + "\" " + reason);
    EXPECT_EQ(messages.Shown().at(0).icon, MsgIcon::Information);
    const auto& shown = fileDialogs.ShownDialogs().at(0);
    EXPECT_TRUE(shown.multiple);
    EXPECT_EQ(shown.request.filter, kWaveFilter);
    EXPECT_EQ(shown.request.defaultExtension, "wav");
    // No half-made window for the bad one; the next takes the free name.
    const std::pair<std::string, int32_t> expected[] = {{b, 300}, {c, 100}, {a, 200}};
    for (int i = 0; i < 3; ++i) {
        auto* unit = dynamic_cast<TUnitWave*>(
            form->Documents().FindUnitByName("Wave " + std::to_string(i + 1)));
        ASSERT_NE(unit, nullptr) << i;
        EXPECT_EQ(unit->GetFileName(), expected[i].first);
        EXPECT_EQ(unit->GetValues(), expected[i].second);
        EXPECT_FALSE(unit->IsModified());
        EXPECT_TRUE(unit->GetTrackModified());
        EXPECT_DOUBLE_EQ(unit->Records().volumeProps.factor.GetValue(), 0.3);
    }
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 3);
    EXPECT_EQ(ActiveWave()->GetUnitWave().GetName(), "Wave 3");
    EXPECT_TRUE(SameSound(*ActiveWave()->GetUnitWave().GetSound(), *Pattern(200, 5)));
    EXPECT_EQ(form->EditNameWindow()->editName->text(), QStringLiteral("Wave 3"));
}

TEST_F(FileCommandsTest, TheSideFileBringsBackPositionsSplitAndZoomAndABrokenOneOnlyThose)
{
    const SoundPtr sound = Pattern(30000, 2);
    const std::string song = WriteWav("song.wav", sound);
    TUnitWave* first = commands->OpenWaveFile(song, {}, false);
    TViewWaveGroup& group = ActiveWave()->GetViewWaveGroup();
    group.SetSplitPosition(0.4);
    group.GetView(2)->ZoomTo(4000, 9000, true);
    first->ChangePart(120, 480);
    ASSERT_TRUE(first->IsStateModified());
    Trigger("FileSave");
    EXPECT_FALSE(first->IsModified());
    const std::string good = ReadText(SideFileName(song));
    ASSERT_FALSE(good.empty());

    TUnitWave* second = commands->OpenWaveFile(song, {}, false);
    EXPECT_EQ(second->GetName(), "Wave 2");
    EXPECT_EQ(second->GetPartBegin(), 120);
    EXPECT_EQ(second->GetPartEnd(), 480);
    EXPECT_FALSE(second->IsModified());
    TViewWaveGroup& again = ActiveWave()->GetViewWaveGroup();
    EXPECT_NEAR(again.GetSplitPosition(), group.GetSplitPosition(), 0.02);
    EXPECT_FALSE(again.GetView(1)->IsZoomed());
    ASSERT_TRUE(again.GetView(2)->IsZoomed());
    // The side file keeps whole samples; the pane snaps its left edge to a pixel again.
    EXPECT_DOUBLE_EQ(again.GetView(2)->GetZoomEnd() - again.GetView(2)->GetZoomBegin(),
                     double(int32_t(group.GetView(2)->GetZoomEnd()) -
                            int32_t(group.GetView(2)->GetZoomBegin())));
    EXPECT_NEAR(again.GetView(2)->GetZoomBegin(), group.GetView(2)->GetZoomBegin(), 50.0);

    // A broken side file costs its positions only; one that is no XML asserts first.
    std::string badPosition = good;
    badPosition.replace(badPosition.find(">480<") + 1, 3, "4x0");
    const std::pair<std::string, size_t> broken[] = {
        {good.substr(0, good.size() * 2 / 3), 1}, {badPosition, 1}, {"no side file", 2}};
    for (const auto& [text, boxes] : broken) {
        WriteText(SideFileName(song), text);
        messages.Clear();
        for (size_t i = 0; i < boxes; ++i)
            messages.Expect();
        TUnitWave* unit = commands->OpenWaveFile(song, {}, false);
        ASSERT_EQ(messages.Shown().size(), boxes);
        EXPECT_EQ(messages.Shown()[0].caption, boxes == 2 ? "Assertion failed" : "File Error");
        const std::string prefix = "Cannot read the file: \"" + SideFileName(song) + "\" ";
        EXPECT_EQ(messages.Shown().back().text.substr(0, prefix.size()), prefix);
        EXPECT_GT(messages.Shown().back().text.size(), prefix.size()) << "the reader's reason";
        EXPECT_EQ(&ActiveWave()->GetUnitWave(), unit);
        EXPECT_TRUE(SameSound(*unit->GetSound(), *sound));
        EXPECT_TRUE(unit->IsCursor());
        EXPECT_TRUE(unit->GetTrackModified());
        EXPECT_FALSE(unit->IsModified());
    }
}

// A project's copy wins over the file; without either the wave comes back empty.
TEST_F(FileCommandsTest, AProjectCopyIsReadBeforeTheFile)
{
    // Copy, file, kept clean; then the values read, modified and tracking its changes.
    const int rows[][6] = {{1, 1, 0, 250, 1, 1},
                           {1, 0, 0, 250, 1, 1},
                           {0, 1, 0, 100, 0, 1},
                           {0, 0, 0, 0, 0, 1},
                           {1, 1, 1, 250, 1, 0}};
    for (const auto& [copy, file, keepClean, values, modified, tracking] : rows) {
        std::filesystem::remove(Path("song.wav"));
        std::filesystem::remove(Path("copy3.wav"));
        if (file)
            WriteWav("song.wav", Pattern(100, 1));
        if (copy)
            WriteWav("copy3.wav", Pattern(250, 4));
        TUnitWave* unit = commands->OpenWaveFile(Path("song.wav"), Path("copy3.wav"), keepClean);
        ASSERT_NE(unit, nullptr);
        EXPECT_EQ(unit->GetFileName(), Path("song.wav"));
        EXPECT_EQ(unit->GetValues(), values);
        EXPECT_EQ(unit->GetMonoStereo(), 2);
        EXPECT_EQ(unit->GetSampleFreq(), 44100);
        EXPECT_EQ(unit->IsDataModified(), modified == 1) << values;
        EXPECT_EQ(unit->GetTrackModified(), tracking == 1) << values;
    }
}

TEST_F(FileCommandsTest, TheCommandLineOpensAWaveAndRefusesTheOtherKinds)
{
    // Music pieces and factories as in a program that cannot edit them.
    form->Kinds().Unregister(DocumentKind::Music);
    form->Kinds().Unregister(DocumentKind::Factory);
    const std::string song = WriteWav("song.wav", Pattern(30, 1));
    form->OpenCommandLine({song}, dir.string());
    EXPECT_EQ(ActiveWave()->GetUnitWave().GetFileName(), song);
    for (const char* name : {"piece.kvm", "graph.kvf", "gig.kvp"}) {
        messages.Expect();
        form->OpenCommandLine({Path(name)}, dir.string());
        const char last = std::string(name).back();
        const std::string kind = last == 'm'   ? "Music pieces"
                                 : last == 'f' ? "Sound factories"
                                               : "Projects";
        EXPECT_EQ(LastBox(), "File Error: Cannot read file \"" + Path(name) + "\": " + kind +
                                 " cannot be opened by this version.");
    }
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 1);
}

// ---- Save, Save As, Revert -----------------------------------------------------------------

TEST_F(FileCommandsTest, SaveWritesTheChangedSoundAndTheCloseQuestionsYesSavesToo)
{
    const std::string song = WriteWav("song.wav", Pattern(100, 1));
    TUnitWave* unit = commands->OpenWaveFile(song, {}, false);
    unit->ExchangeSound(Pattern(160, 11));
    unit->SetModified();
    Trigger("FileSave");
    EXPECT_FALSE(unit->IsModified());
    EXPECT_EQ(unit->GetFileName(), song);
    EXPECT_TRUE(SameSound(*ReadBack(song), *Pattern(160, 11)));
    EXPECT_TRUE(fileDialogs.ShownDialogs().empty()) << "a titled wave saves without a dialog";

    unit->ExchangeSound(Pattern(70, 19));
    unit->SetModified();
    messages.Expect(MsgAnswer::Yes);
    EXPECT_TRUE(ActiveWave()->QueryClose());
    EXPECT_EQ(messages.Shown().at(0).caption, "You have unsaved changes");
    EXPECT_TRUE(SameSound(*ReadBack(song), *Pattern(70, 19)));
}

TEST_F(FileCommandsTest, SaveAsTakesTheNewNameWithItsExtensionAndACancelKeepsTheChanges)
{
    TMDIChildWave* window = NewWave("Wave 1", Pattern(120, 13));
    TUnitWave& unit = window->GetUnitWave();
    ASSERT_TRUE(unit.IsModified());
    // Save of an untitled wave is Save As.
    fileDialogs.WhenSave("Save Wave", "");
    Trigger("FileSave");
    EXPECT_TRUE(unit.IsModified());
    EXPECT_TRUE(unit.IsUntitled());
    EXPECT_EQ(fileDialogs.ShownDialogs().at(0).kind, ScriptedFileDialogs::Kind::Save);
    EXPECT_EQ(fileDialogs.ShownDialogs().at(0).request.fileName, "");
    fileDialogs.WhenSave("Save Wave", "");
    EXPECT_FALSE(commands->FileSaveAsExecute());

    unit.ChangePart(10, 20);
    fileDialogs.WhenSave("Save Wave", Path("take"));
    Trigger("FileSaveAs");
    const std::string saved = Path("take.wav");
    EXPECT_EQ(unit.GetFileName(), saved);
    EXPECT_FALSE(unit.IsModified());
    EXPECT_TRUE(SameSound(*ReadBack(saved), *Pattern(120, 13)));
    EXPECT_TRUE(std::filesystem::exists(Path("take.kvw")));
    EXPECT_EQ(window->CaptionText(), "Wave 1 - " + saved);

    // A failed Save As keeps name and flags and answers false; the file is untouched.
    unit.ExchangeSound(Pattern(90, 17));
    unit.SetModified();
    const std::string target = Path("missing/take.wav");
    fileDialogs.WhenSave("Save Wave", target);
    messages.Expect();
    EXPECT_FALSE(commands->FileSaveAsExecute());
    EXPECT_EQ(fileDialogs.ShownDialogs().back().request.fileName, saved);
    EXPECT_EQ(messages.Shown().at(0).caption, "FileError");
    EXPECT_EQ(unit.GetFileName(), saved);
    EXPECT_TRUE(unit.IsDataModified() && unit.IsStateModified());
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_TRUE(SameSound(*ReadBack(saved), *Pattern(120, 13)));
}

TEST_F(FileCommandsTest, RevertReadsTheFileAndTheSideFileAgainOrShowsWhyNot)
{
    const std::string song = WriteWav("song.wav", Pattern(500, 3));
    TUnitWave* unit = commands->OpenWaveFile(song, {}, false);
    unit->ChangePart(50, 60);
    Trigger("FileSave"); // the side file now holds the part 50..60
    unit->ExchangeSound(Pattern(40, 1));
    unit->SetCursor(30);
    unit->SetModified();
    Trigger("FileRevert");
    EXPECT_TRUE(SameSound(*unit->GetSound(), *Pattern(500, 3)));
    EXPECT_EQ(unit->GetPartBegin(), 50);
    EXPECT_EQ(unit->GetPartEnd(), 60);
    EXPECT_FALSE(unit->IsModified());
    EXPECT_FALSE(ActiveWave()->isWindowModified());

    const SoundPtr changed = Pattern(60, 5);
    unit->ExchangeSound(changed);
    unit->SetModified();
    std::filesystem::remove(song);
    SoundUPtr ignored;
    std::string reason;
    ASSERT_FALSE(ReadWaveFile(song, ignored, reason));
    messages.Expect();
    Trigger("FileRevert");
    EXPECT_EQ(LastBox(), "File Error: Cannot revert the file: \"" + song + "\" " + reason);
    EXPECT_EQ(unit->GetSound(), changed);
    EXPECT_TRUE(unit->IsModified());
}

// ---- Duplicate and File Properties ---------------------------------------------------------

TEST_F(FileCommandsTest, DuplicateCopiesThePartOrTheWholeWave)
{
    const int32_t rows[][4] = {// pos1, pos2, begin, end of the copy
                               {300, 300, 0, 1000},
                               {200, 450, 200, 450},
                               {700, 100, 100, 700},
                               {999, 1000, 999, 1000}};
    const SoundPtr sound = Pattern(1000, 7);
    TMDIChildWave* source = NewWave("Wave 1", sound);
    // The copy takes over the view: properties, split and the zoom of both panes.
    TWaveViewProps props = source->GetWaveViewProps();
    props.BackgroundColor = 0x00123456;
    source->SetWaveViewProps(props);
    source->GetViewWaveGroup().GetView(2)->ZoomTo(0, 1, true);
    source->GetViewWaveGroup().SetSplitPosition(0.3);
    int copies = 0;
    for (const auto& row : rows) {
        form->Frame()->setActiveSubWindow(source);
        source->GetUnitWave().SetPos1(row[0]);
        source->GetUnitWave().SetPos2(row[1]);
        // A command before may have left the abort flag: every command starts afresh.
        *source->GetUnitWave().GetAbortFlag() = 1;
        Trigger("DuplicateWave");
        TUnitWave& unit = ActiveWave()->GetUnitWave();
        ASSERT_NE(&unit, &source->GetUnitWave());
        EXPECT_EQ(unit.GetName(), "Copy " + std::to_string(++copies) + " of Wave 1");
        EXPECT_TRUE(unit.IsUntitled());
        const V left = LeftOf(*sound);
        EXPECT_EQ(LeftOf(*unit.GetSound()), V(left.begin() + row[2], left.begin() + row[3]));
        EXPECT_EQ(RightOf(*unit.GetSound()).at(0), -left[size_t(row[2])]);
        EXPECT_EQ(unit.GetChildWave(), ActiveWave());
        EXPECT_TRUE(ActiveWave()->GetWaveViewProps() == props);
        EXPECT_TRUE(ActiveWave()->GetViewWaveGroup().GetView(2)->IsZoomed());
        // Kept pending for a window that has no size yet.
        ActiveWave()->resize(600, 400);
        ActiveWave()->GetViewWaveGroup().ApplyPendingSplitPosition();
        EXPECT_NEAR(ActiveWave()->GetViewWaveGroup().GetSplitPosition(), 0.3, 0.02);
    }
}

TEST_F(FileCommandsTest, FilePropertiesConvertsAfterTheUndoSnapshot)
{
    const SoundPtr sound = Pattern(44100, 1);
    TUnitWave& unit = NewWave("Wave 1", sound)->GetUnitWave();
    unit.ClearModified();
    dialogs.When("TDlgWaveFileProp", DialogResult::Rejected);
    Trigger("FileProperties");
    EXPECT_EQ(form->Documents().GetUndo(), nullptr);
    dialogs.When(
        "TDlgWaveFileProp",
        [](ModalDialog& modal) {
            auto* dialog = DialogAs<TDlgWaveFileProp>(modal);
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

} // namespace
