// Projects: the file and its copies written, read back and refused, the close of the main
// window with and without a project, and a fourth document kind through the registry alone.
#include "ShellSupport.h"

#include "document/records/WaveFileProps.h"
#include "factory/core/UnitSountory.h"
#include "general/files/SafeFile.h"
#include "music/ui/MusicWindow.h"
#include "platform/test/RecordingMessages.h"
#include "shell/FactoryCommands.h"
#include "shell/ProjectCommands.h"
#include "shell/WindowArrangement.h"
#include "support/Files.h"
#include "support/OtherUser.h"
#include "waveui/ViewWaveGroup.h"

using namespace kelvorn;
using namespace kelvorn::test;
namespace fs = std::filesystem;

namespace {

const std::string kHeader = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                            "<!DOCTYPE Project SYSTEM \"Project.dtd\">\n\n";

/// The place of a window as the project file writes it.
std::string Place(int left, int top, int width, int height, const std::string& state = "Normal")
{
    return "    <Left>" + std::to_string(left) + "</Left>\n    <Top>" + std::to_string(top) +
           "</Top>\n    <Width>" + std::to_string(width) + "</Width>\n    <Height>" +
           std::to_string(height) + "</Height>\n    <" + state + " />\n";
}

std::string HandWritten(const std::string& version, const std::string& windows)
{
    // Version 8 kept a counter that version 9 no longer has.
    return kHeader + "<Project>\n  <Version>" + version + "</Version>\n" +
           (version == "8.0" ? "  <NoNameCounter>7</NoNameCounter>\n" : "") + "  <Frame>\n" +
           Place(1, 2, 640, 480) + "  </Frame>\n" + windows + "</Project>\n";
}

std::string WaveWindow(const std::string& inner, const std::string& left = "5",
                       const std::string& name = "")
{
    return "  <Window>\n    <Wave>\n" + inner + "    </Wave>\n" +
           (name.empty() ? "" : "    <Name>" + name + "</Name>\n") + "    <Left>" + left +
           "</Left>\n    <Top>6</Top>\n    <Width>200</Width>\n    <Height>150</Height>\n"
           "    <Normal />\n  </Window>\n";
}

class ProjectCommandsTest : public CommandsTest
{
protected:
    ProjectCommandsTest()
    {
        project = std::make_unique<TProjectCommands>(*form, *commands);
        project->Install();
        form->setGeometry(10, 20, 800, 600);
    }

    std::string ProjectPath() const { return Path("demo.kvp"); }
    fs::path Copies(const std::string& n = "demo") const { return dir / (n + "TempSaveFiles"); }
    std::vector<std::string> CopyFiles(const std::string& name = "demo") const
    {
        std::vector<std::string> names;
        if (fs::exists(Copies(name)))
            for (const auto& entry : fs::directory_iterator(Copies(name)))
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    void NewProject()
    {
        fileDialogs.WhenSave(TProjectCommands::NewProjectTitle, ProjectPath());
        Trigger("ProjectNew");
        ASSERT_EQ(form->GetProjectFile(), ProjectPath());
    }
    void OpenProject(const std::string& text = {})
    {
        if (!text.empty())
            WriteText(ProjectPath(), text);
        fileDialogs.WhenOpen(TProjectCommands::OpenProjectTitle, {ProjectPath()});
        Trigger("ProjectOpen");
    }
    /// The wave documents in the order of the project file (the first opened first).
    std::vector<TUnitWave*> Waves() const
    {
        std::vector<TUnitWave*> waves;
        for (TMDIChildKelvorn* window : form->Documents().DocumentWindows())
            waves.insert(waves.begin(), UnitWaveOf(window));
        return waves;
    }
    TMDIChildKelvorn* WindowOf(TUnitWave* u) const { return form->Documents().FindChildOf(u); }
    /// Opens a.wav and changes its sound; adds an untitled empty mono wave.
    void OpenChangedAndEmpty(const std::string& wav)
    {
        TUnitWave* a = commands->OpenWaveFile(wav, {}, false);
        a->ExchangeSound(Pattern(300, 7));
        a->SetModified();
        WindowOf(a)->setGeometry(0, 0, 300, 200);
        TMDIChildWave* empty = NewWave("Wave 2", std::make_shared<MonoSound>(22050, int16_t{2}));
        empty->GetUnitWave().ClearModified();
        empty->setGeometry(30, 40, 320, 210);
        Flush();
    }

    std::unique_ptr<TProjectCommands> project;
};

TEST_F(ProjectCommandsTest, SaveWritesEveryWindowAndCopiesAndReopeningRestoresThem)
{
    const std::string wav = WriteWav("a.wav", Pattern(100, 3));
    NewProject();
    OpenChangedAndEmpty(wav);
    Trigger("ProjectSave");
    EXPECT_EQ(ReadText(ProjectPath()),
              kHeader + "<Project>\n  <Version>9.0</Version>\n  <Frame>\n" +
                  Place(10, 20, 800, 600) + "  </Frame>\n  <Window>\n    <Wave>\n      <File>" +
                  wav + "</File>\n      <TempFile>0</TempFile>\n    </Wave>\n    <Name>Wave 1" +
                  "</Name>\n" + Place(0, 0, 300, 200) +
                  "  </Window>\n  <Window>\n    <Wave>\n      <TempFile>1</TempFile>\n"
                  "    </Wave>\n    <Name>Wave 2</Name>\n" +
                  Place(30, 40, 320, 210) + "  </Window>\n</Project>\n");
    // The changed wave's sound and side file; only the side file of the empty one.
    EXPECT_EQ(CopyFiles(), (std::vector<std::string>{"savedProjectWindowFile0.kvw",
                                                     "savedProjectWindowFile0.wav",
                                                     "savedProjectWindowFile1.kvw"}));
    // The file itself is untouched: the change lives in the copy.
    EXPECT_TRUE(SameSound(*ReadBack(wav), *Pattern(100, 3)));
    // The split of the window comes back once the window has its place.
    dynamic_cast<TMDIChildWave*>(WindowOf(Waves()[0]))->GetViewWaveGroup().SetSplitPosition(0.3);
    Trigger("ProjectSave");

    // Closing asks nothing: the copies hold the work.
    Trigger("ProjectClose");
    Flush();
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 0);
    EXPECT_EQ(form->windowTitle().toStdString(), "Kelvorn 9.0");
    EXPECT_FALSE(A("ProjectSave")->isEnabled());
    form->setGeometry(50, 60, 700, 500);
    fileDialogs.WhenOpen(TProjectCommands::OpenProjectTitle, {ProjectPath()});
    A("ProjectOpen")->trigger();
    EXPECT_TRUE(A("ProjectSave")->isEnabled()) << "the actions follow at once";
    EXPECT_EQ(form->windowTitle().toStdString(), "Kelvorn 9.0 - " + ProjectPath());
    EXPECT_EQ(form->geometry(), QRect(10, 20, 800, 600));
    const std::vector<TUnitWave*> waves = Waves();
    ASSERT_EQ(waves.size(), 2u);
    EXPECT_EQ(waves[0]->GetName(), "Wave 1");
    EXPECT_EQ(waves[0]->GetFileName(), wav);
    EXPECT_TRUE(SameSound(*waves[0]->GetSound(), *Pattern(300, 7)));
    EXPECT_TRUE(waves[0]->IsModified() && waves[0]->GetTrackModified());
    EXPECT_TRUE(WindowOf(waves[0])->isWindowModified());
    EXPECT_EQ(WindowOf(waves[0])->geometry(), QRect(0, 0, 300, 200));
    EXPECT_NEAR(
        dynamic_cast<TMDIChildWave*>(WindowOf(waves[0]))->GetViewWaveGroup().GetSplitPosition(),
        0.3, 0.02);
    EXPECT_EQ(waves[1]->GetName(), "Wave 2");
    EXPECT_EQ(waves[1]->GetFileName(), "");
    EXPECT_EQ(waves[1]->GetValues(), 0);
    EXPECT_EQ(waves[1]->GetSound()->GetMonoStereo() * 100000 + waves[1]->GetSampleFreq(), 122050);
    EXPECT_FALSE(waves[1]->IsModified());
    EXPECT_TRUE(waves[1]->GetTrackModified());
    EXPECT_EQ(WindowOf(waves[1])->geometry(), QRect(30, 40, 320, 210));
    // The last window of the file is the active one again.
    EXPECT_EQ(form->Documents().GetActiveUnitWave(), waves[1]);

    // Saved on its own, the first wave needs no copy any more; the empty wave becomes copy 0.
    form->Frame()->setActiveSubWindow(WindowOf(waves[0]));
    Trigger("FileSave");
    Trigger("ProjectSave");
    EXPECT_EQ(CopyFiles(), (std::vector<std::string>{"savedProjectWindowFile0.kvw"}));
    const std::string text = ReadText(ProjectPath());
    EXPECT_NE(text.find("<File>" + wav + "</File>\n    </Wave>"), std::string::npos);
    EXPECT_NE(text.find("<TempFile>0</TempFile>\n    </Wave>\n    <Name>Wave 2</Name>"),
              std::string::npos);
    EXPECT_EQ(text.find("<TempFile>1</TempFile>"), std::string::npos);
}

TEST_F(ProjectCommandsTest, ExportCopiesEveryDocumentAndWritesNoFileName)
{
    const std::string wav = WriteWav("a.wav", Pattern(100, 3));
    NewProject();
    commands->OpenWaveFile(wav, {}, false);
    WindowOf(Waves()[0])->showMinimized();
    commands->OpenWaveFile(wav, {}, false);
    fileDialogs.WhenSave(TProjectCommands::ExportProjectTitle, Path("out.kvp"));
    Trigger("ProjectExport");
    EXPECT_EQ(form->GetProjectFile(), ProjectPath());
    const std::string text = ReadText(Path("out.kvp"));
    EXPECT_EQ(text.find("<File>"), std::string::npos);
    EXPECT_NE(text.find("<Wave>\n      <TempFile>1</TempFile>\n    </Wave>"), std::string::npos);
    EXPECT_NE(text.find("<Minimized />"), std::string::npos);
    EXPECT_EQ(CopyFiles("out").size(), 4u);
    EXPECT_TRUE(SameSound(*ReadBack((Copies("out") / "savedProjectWindowFile0.wav").string()),
                          *Pattern(100, 3)));
    // The window states come back.
    WindowOf(Waves()[1])->showMaximized();
    Trigger("ProjectClose");
    OpenProject();
    EXPECT_TRUE(WindowOf(Waves()[0])->isMinimized() && WindowOf(Waves()[1])->isMaximized());
}

// A minimised window is stored at the place it comes back to, not its icon's: brought up from
// the Window menu after the project was opened again, it is the window it was, not a title bar.
TEST_F(ProjectCommandsTest, AWindowMinimisedInTheProjectComesBackAtItsOwnPlace)
{
    const std::string wav = WriteWav("a.wav", Pattern(100, 3));
    NewProject();
    TMDIChildKelvorn* window = WindowOf(commands->OpenWaveFile(wav, {}, false));
    window->setGeometry(30, 40, 400, 300);
    window->showMinimized();
    Trigger("ProjectSave");
    EXPECT_NE(ReadText(ProjectPath()).find(Place(30, 40, 400, 300, "Minimized")),
              std::string::npos);

    Trigger("ProjectClose");
    OpenProject();
    window = WindowOf(Waves().at(0));
    ASSERT_TRUE(window->isMinimized());
    BringUpWindow(*form->Frame(), *window);
    EXPECT_EQ(window->geometry(), QRect(30, 40, 400, 300));
}

// ---- Reading -------------------------------------------------------------------------------

TEST_F(ProjectCommandsTest, HandWrittenFilesOpenWhatTheyCanAndRefuseTheRestWithTheReason)
{
    const std::string wav = WriteWav("a.wav", Pattern(50, 3));
    const std::string file = "      <File>" + wav + "</File>\n";
    fs::create_directories(dir / "x");
    WriteWav("x/evil.wav", Pattern(10, 1));
    // The version, the windows, the box after "Cannot read the file: \"<project>\": " ("" none)
    // and the waves opened.
    const std::tuple<std::string, std::string, std::string, size_t> rows[] = {
        // Version 8 opens; the next save writes version 9 and drops the name counter.
        {"8.0", WaveWindow(file), "", 1},
        {"7.0", "", "Unknown version \"7.0\" found in project file.", 0},
        {"9.0", WaveWindow("      <TempFile>../x/evil</TempFile>\n"),
         "At line 15, column 17: In TempFile: Invalid value: \"../x/evil\".", 0},
        // A missing copy falls back to the file, or to an empty wave, without a box.
        {"9.0",
         WaveWindow(file + "      <TempFile>4</TempFile>\n") +
             WaveWindow("      <TempFile>5</TempFile>\n"),
         "", 2},
        // Windows paths find the documents beside the project.
        {"9.0",
         WaveWindow("      <File>C:\\songs\\a.wav</File>\n") +
             WaveWindow("      <File>sub\\..\\a.wav</File>\n"),
         "", 2},
        // A bad place still leaves every opened wave tracking its changes.
        {"9.0", WaveWindow(file) + WaveWindow(file, "x", "Second"),
         "At line 28, column 11: In Left: ", 2},
        // A kind that nobody opens stops the load there; the window before stays.
        {"9.0",
         WaveWindow(file) + "  <Window>\n    <Music>\n      <File>/m/song.kvm</File>\n" +
             "    </Music>\n" + Place(0, 0, 10, 10) + "  </Window>\n" + WaveWindow(file),
         "At line 24, column 12: Music pieces cannot be opened by this version.", 1}};
    form->Kinds().Unregister(DocumentKind::Music);
    for (const auto& [version, windows, box, opened] : rows) {
        SCOPED_TRACE(version + box);
        messages.Clear();
        if (!box.empty())
            messages.Expect();
        OpenProject(HandWritten(version, windows));
        const std::string prefix = "Cannot read the file: \"" + ProjectPath() + "\": " + box;
        EXPECT_EQ(messages.Shown().size(), box.empty() ? 0u : 1u);
        if (!box.empty()) {
            EXPECT_EQ(messages.Shown()[0].text.substr(0, prefix.size()), prefix);
        }
        EXPECT_EQ(form->GetProjectFile(), box.empty() ? ProjectPath() : "");
        EXPECT_EQ(form->windowTitle().toStdString() == "Kelvorn 9.0", !box.empty());
        const std::vector<TUnitWave*> waves = Waves();
        ASSERT_EQ(waves.size(), opened);
        for (TUnitWave* wave : waves) {
            EXPECT_TRUE(wave->GetTrackModified());
            EXPECT_TRUE(wave->GetFileName().empty() || wave->GetFileName() == wav);
            EXPECT_EQ(wave->GetValues(), wave->GetFileName().empty() ? 0 : 50);
        }
        if (version == "8.0") {
            EXPECT_EQ(WindowOf(waves[0])->geometry(), QRect(5, 6, 200, 150));
            Trigger("ProjectSave");
            EXPECT_NE(ReadText(ProjectPath()).find("<Version>9.0</Version>"), std::string::npos);
            EXPECT_EQ(ReadText(ProjectPath()).find("NoNameCounter"), std::string::npos);
        }
        if (box.find("Left") != std::string::npos) {
            EXPECT_EQ(waves[1]->GetName(), "Second");
        }
        for (TMDIChildKelvorn* window : form->Documents().DocumentWindows())
            window->Release();
        Flush();
        form->SetProjectFile("");
    }
}

// ---- Failures while saving -----------------------------------------------------------------

TEST_F(ProjectCommandsTest, AFailedSaveShowsWhyWritesNothingAndKeepsTheProgramAndItsWindows)
{
    const std::string wav = WriteWav("a.wav", Pattern(100, 3));
    NewProject();
    OpenChangedAndEmpty(wav);
    // A name set by other means than Edit Name reaches the save.
    Waves()[1]->SetName("a<b");
    messages.Expect();
    Trigger("ProjectSave");
    EXPECT_EQ(LastBox(), "FileError: Cannot save Project File: the window name \"a<b\" holds \"<\" "
                         "or \">\", which a project file cannot store.");
    EXPECT_FALSE(fs::exists(ProjectPath()) || fs::exists(Copies()));
    // A new project then asks the changed window, whose Cancel keeps the project and both
    // windows.
    messages.Expect();
    messages.Expect(MsgAnswer::Cancel);
    fileDialogs.WhenSave(TProjectCommands::NewProjectTitle, Path("other.kvp"));
    Trigger("ProjectNew");
    EXPECT_EQ(LastBox().rfind("You have unsaved changes: ", 0), 0u) << LastBox();
    EXPECT_EQ(form->GetProjectFile(), ProjectPath());
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 2);
    Waves()[1]->SetName("Wave 2");

    // A file in the copies' directory's place.
    WriteText(Copies().string(), "a file in the directory's place");
    messages.Clear();
    messages.Expect();
    messages.Expect(MsgAnswer::Cancel);
    EXPECT_FALSE(form->close());
    EXPECT_EQ(messages.Shown().at(0).text.substr(0, 30 + Copies().string().size()),
              "Cannot create the directory \"" + Copies().string() + "\"");
    EXPECT_FALSE(fs::exists(ProjectPath()));
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 2);
    fs::remove(Copies());

    // A folder at the name the changed wave's copy needs: not the save's to delete.
    fs::create_directories(Copies() / "savedProjectWindowFile0.wav" / "keep");
    messages.Clear();
    messages.Expect();
    EXPECT_FALSE(project->SaveProject(ProjectPath(), false));
    const std::string blocked = (Copies() / "savedProjectWindowFile0.wav").string();
    EXPECT_EQ(LastBox(), "File Error: Cannot delete the file \"" + blocked + "\": Is a directory.");
    EXPECT_TRUE(fs::is_directory(Copies() / "savedProjectWindowFile0.wav" / "keep"));
    EXPECT_TRUE(form->isVisible());

    // The project file itself cannot be written.
    fs::create_directories(Path("dir.kvp"));
    messages.Expect();
    EXPECT_FALSE(project->SaveProject(Path("dir.kvp"), true));
    EXPECT_EQ(LastBox().substr(0, 37), "FileError: Cannot save Project File: ");
    EXPECT_FALSE(fs::exists(Path("dirTempSaveFiles"))) << "the export's copies go with it";

    // A read-only project file stays as it is, and the windows keep their changes.
    WriteText(ProjectPath(), "old");
    fs::permissions(ProjectPath(), fs::perms(0444));
    const std::string before = FileState(ProjectPath());
    messages.Expect();
    Trigger("ProjectSave");
    EXPECT_EQ(LastBox(),
              "FileError: Cannot save Project File: "
              "Operating System cannot open file for writing, maybe the file is readonly.");
    EXPECT_EQ(FileState(ProjectPath()), before);
    EXPECT_TRUE(Waves()[0]->IsModified());

    // What a failed save or export leaves while its boxes are open and after them: the project
    // file, the copy folder of the last good save and all else beside them, byte for byte.
    fs::remove_all(Copies());
    fs::permissions(ProjectPath(), fs::perms(0644));
    Trigger("ProjectSave");
    ASSERT_EQ(CopyFiles(), (std::vector<std::string>{"savedProjectWindowFile0.kvw",
                                                     "savedProjectWindowFile0.wav",
                                                     "savedProjectWindowFile1.kvw"}));
    // A disk that fills after copy 0 (the changed wave and its side file) fails copy 1.
    const int64_t copy0 =
        static_cast<int64_t>(fs::file_size(Copies() / "savedProjectWindowFile0.wav") +
                             fs::file_size(Copies() / "savedProjectWindowFile0.kvw"));
    const std::string out = Path("out.kvp");
    const fs::path taken = Copies() / "newProjectWindowFile1.kvw";
    const std::string readOnly = "FileError: Cannot save Project File: Operating System cannot "
                                 "open file for writing, maybe the file is readonly.";
    const auto sideFile = [](const std::string& why) {
        return "FileError: Cannot save Wave Shadow File: Operating System cannot write file, maybe "
               "the disk is full (" +
               why + "). The Wave is saved correctly.";
    };
    const std::string sideFileFull = sideFile("No space left on device");
    const std::tuple<const char*, const char*, std::function<void()>, std::vector<std::string>>
        rows[] = {
            {"a read-only project file",
             "ProjectSave",
             [&] { fs::permissions(ProjectPath(), fs::perms(0444)); },
             {readOnly}},
            {"a disk that fills at copy 1",
             "ProjectSave",
             [&] { SafeFileWriter::FailAfterBytes(copy0); },
             {sideFileFull}},
            {"copy 1's name taken by a folder",
             "ProjectSave",
             [&] { fs::create_directories(taken / "keep"); },
             {sideFile("Is a directory")}},
            {"an export onto a read-only file",
             "ProjectExport",
             [&] {
                 WriteText(out, "old");
                 fs::permissions(out, fs::perms(0444));
             },
             {readOnly}},
            {"an export onto a full disk",
             "ProjectExport",
             [&] { SafeFileWriter::FailAfterBytes(0); },
             {"FileError: Cannot save Wave: No space left on device."}},
            {"an export onto a disk that fills at copy 1",
             "ProjectExport",
             [&] { SafeFileWriter::FailAfterBytes(copy0); },
             {sideFileFull}},
        };
    for (const auto& [what, action, fail, expected] : rows) {
        SCOPED_TRACE(what);
        Trigger("ProjectSave");
        fail();
        const std::map<std::string, std::string> state = FolderState(dir);
        std::vector<std::map<std::string, std::string>> during;
        {
            RecordingMessages boxes;
            boxes.passOn = true;
            boxes.whileShown = [&] { during.push_back(FolderState(dir)); };
            for (size_t box = 0; box < expected.size(); ++box)
                messages.Expect();
            if (std::string(action) == "ProjectExport")
                fileDialogs.WhenSave(TProjectCommands::ExportProjectTitle, out);
            Trigger(action);
            SafeFileWriter::FailAfterBytes(-1);
            EXPECT_EQ(boxes.texts, expected);
        }
        EXPECT_EQ(during, std::vector(expected.size(), state));
        EXPECT_EQ(FolderState(dir), state);
        // Each failure on its own, after a good save.
        fs::permissions(ProjectPath(), fs::perms(0644));
        fs::remove_all(taken);
        fs::remove(out);
    }
}

// A failed save takes its new copies back; a save cut short (the program ended during it) leaves
// them. They belong to no save: the next one writes its own, and a copy without a sound file of
// its own does not come back with the sound another wave left.
TEST_F(ProjectCommandsTest, NewCopiesAFailedSaveLeftAreNotTakenForTheNextSavesCopies)
{
    const std::string wav = WriteWav("a.wav", Pattern(100, 3));
    NewProject();
    OpenChangedAndEmpty(wav);
    WriteText(ProjectPath(), "old");
    fs::permissions(ProjectPath(), fs::perms(0444));
    messages.Expect();
    Trigger("ProjectSave");
    EXPECT_FALSE(fs::exists(Copies())) << "the folder the failed save made goes with its copies";
    // What a save cut short before its renames leaves: its new copies beside the last save's.
    fs::permissions(ProjectPath(), fs::perms(0644));
    Trigger("ProjectSave");
    for (const std::string& saved : CopyFiles())
        fs::copy_file(Copies() / saved, Copies() / ("new" + saved.substr(5)));
    ASSERT_EQ(CopyFiles(), (std::vector<std::string>{
                               "newProjectWindowFile0.kvw", "newProjectWindowFile0.wav",
                               "newProjectWindowFile1.kvw", "savedProjectWindowFile0.kvw",
                               "savedProjectWindowFile0.wav", "savedProjectWindowFile1.kvw"}));
    // Those windows go without their changes. A wave whose view alone changed becomes copy 0:
    // a side file, its sound being its file's.
    for (TUnitWave* wave : Waves())
        WindowOf(wave)->Release();
    Flush();
    const std::string other = WriteWav("b.wav", Pattern(50, 5));
    commands->OpenWaveFile(other, {}, false)->SetViewModified();
    Trigger("ProjectSave");
    EXPECT_EQ(CopyFiles(), (std::vector<std::string>{"savedProjectWindowFile0.kvw"}));
    // Opened again as it was left, as after the program ended (a close's save would write it
    // once more).
    form->SetProjectFile(std::string());
    WindowOf(Waves()[0])->Release();
    Flush();
    OpenProject();
    ASSERT_EQ(Waves().size(), 1u);
    EXPECT_TRUE(SameSound(*Waves()[0]->GetSound(), *Pattern(50, 5)));
}

// A save or export of windows of every kind, stopped at each change it makes on disk as a program
// that ends there (nothing after it runs), or failing there: what is on disk opens with every
// window, each holding its content from before the save or from it. Between the two saves every
// document changes and the order of the windows too, so that the copy numbers pass from one
// window to another of its kind.
TEST_F(ProjectCommandsTest, ASaveStoppedOrFailedAtAnyStepLeavesAProjectThatOpensWithEveryWindow)
{
    TFactoryCommands factories(*form, *commands);
    factories.Install();
    const std::string wav = WriteWav("a.wav", Pattern(100, 3));
    const std::string piece = WriteMuz("b.kvm", 41);
    const std::string out = Path("out.kvp");
    // What tells a document's generations apart: a wave's length, the room above a piece's first
    // stave, a factory's width.
    const auto contents = [&] {
        std::map<std::string, int> values;
        for (TMDIChildKelvorn* window : form->Documents().DocumentWindows()) {
            TFileUnit* unit = window->GetUnit();
            if (auto* wave = dynamic_cast<TUnitWave*>(unit))
                values[unit->GetName()] = wave->GetValues();
            else if (auto* muz = dynamic_cast<TUnitMuz*>(unit))
                values[unit->GetName()] = muz->GetFirstStave()->RoomUp.GetValue();
            else
                values[unit->GetName()] = dynamic_cast<TUnitSountory&>(*unit).GetWidth();
        }
        return values;
    };
    const auto change = [&](int generation) {
        for (TMDIChildKelvorn* window : form->Documents().DocumentWindows()) {
            TFileUnit* unit = window->GetUnit();
            if (auto* wave = dynamic_cast<TUnitWave*>(unit)) {
                wave->ExchangeSound(Pattern(200 * generation, 7));
                wave->SetModified();
            } else if (auto* muz = dynamic_cast<TUnitMuz*>(unit)) {
                muz->GetFirstStave()->RoomUp.SetValue(muz->GetFileName().empty() ? 50 + generation
                                                                                 : 60 + generation);
                muz->SetModified();
            } else {
                auto& factory = dynamic_cast<TUnitSountory&>(*unit);
                factory.SetWidth(400 + 10 * generation);
                factory.SetModified();
            }
        }
    };
    const auto closeAll = [&] {
        for (TMDIChildKelvorn* window : form->Documents().DocumentWindows())
            window->Release();
        Flush();
        form->SetProjectFile(std::string());
    };
    const auto newCopies = [&](const std::string& name) {
        size_t count = 0;
        for (const std::string& file : CopyFiles(name))
            count += file.rfind(projectNewCopy, 0) == 0;
        return count;
    };
    struct Stopped
    {
    };
    for (const bool exporting : {false, true}) {
        const std::string file = exporting ? out : ProjectPath();
        const std::string name = exporting ? "out" : "demo";
        for (const bool crash : {true, false}) {
            bool reached = true;
            for (int stopAt = 0; reached; ++stopAt) {
                SCOPED_TRACE(std::string(exporting ? "export" : "save") +
                             (crash ? " stopped" : " failing") + " at step " +
                             std::to_string(stopAt));
                NewProject();
                commands->OpenWaveFile(wav, {}, false);
                Trigger("FileNewMuz");
                music->OpenMuzFile(piece);
                factories.NewFactory(0, nullptr);
                change(1);
                ASSERT_TRUE(project->SaveProject(file, exporting));
                const std::map<std::string, int> before = contents();
                change(2);
                const std::map<std::string, int> after = contents();
                for (const char* raised : {"Music 1", "Wave 1"})
                    for (TMDIChildKelvorn* window : form->Documents().DocumentWindows())
                        if (window->GetUnit()->GetName() == raised)
                            form->Frame()->setActiveSubWindow(window);
                const std::map<std::string, std::string> folderBefore = FolderState(dir);

                int step = 0;
                bool projectFileWritten = false;
                reached = false;
                SetProjectSaveStepHook([&](ProjectSaveStep kind, const std::string&) {
                    if (step++ != stopAt) {
                        projectFileWritten |= kind == ProjectSaveStep::WriteProjectFile;
                        return 0;
                    }
                    reached = true;
                    if (crash)
                        throw Stopped();
                    if (kind == ProjectSaveStep::WriteCopy ||
                        kind == ProjectSaveStep::WriteProjectFile)
                        SafeFileWriter::FailAfterBytes(0);
                    return EIO;
                });
                std::vector<std::string> boxes;
                {
                    RecordingMessages recorded;
                    try {
                        const bool saved = project->SaveProject(file, exporting);
                        EXPECT_EQ(saved, !reached);
                    } catch (const Stopped&) {
                    }
                    SetProjectSaveStepHook({});
                    SafeFileWriter::FailAfterBytes(-1);
                    boxes = recorded.texts;
                }
                if (reached && !crash) {
                    EXPECT_FALSE(boxes.empty());
                    EXPECT_EQ(newCopies(name), 0u);
                    if (!projectFileWritten) {
                        EXPECT_EQ(FolderState(dir), folderBefore);
                    }
                } else {
                    EXPECT_EQ(boxes, std::vector<std::string>());
                }

                closeAll();
                {
                    RecordingMessages recorded;
                    fileDialogs.WhenOpen(TProjectCommands::OpenProjectTitle, {file});
                    Trigger("ProjectOpen");
                    EXPECT_EQ(recorded.texts, std::vector<std::string>());
                }
                const std::map<std::string, int> opened = contents();
                EXPECT_EQ(opened.size(), before.size());
                for (const auto& [window, value] : opened)
                    EXPECT_TRUE(value == before.at(window) || value == after.at(window))
                        << window << " holds " << value;
                if (!reached) {
                    EXPECT_EQ(opened, after);
                    EXPECT_EQ(CopyFiles(name),
                              (std::vector<std::string>{
                                  "savedProjectWindowFile0.kvm", "savedProjectWindowFile1.kvf",
                                  "savedProjectWindowFile2.kvm", "savedProjectWindowFile3.kvw",
                                  "savedProjectWindowFile3.wav"}));
                }
                closeAll();
                fs::remove(ProjectPath());
                fs::remove(out);
                fs::remove_all(Copies());
                fs::remove_all(Copies("out"));
            }
        }
    }
}

// A folder someone put at a saved copy's name that no copy of the save needs stays, and the save
// goes on.
TEST_F(ProjectCommandsTest, AFolderAtASavedCopysNameIsLeftAlone)
{
    NewProject();
    Trigger("FileNewMuz");
    Trigger("FileNewMuz");
    Trigger("ProjectSave");
    ASSERT_EQ(CopyFiles(), (std::vector<std::string>{"savedProjectWindowFile0.kvm",
                                                     "savedProjectWindowFile1.kvm"}));
    fs::create_directory(Copies() / "savedProjectWindowFile1.wav");
    WriteText((Copies() / "savedProjectWindowFile1.wav" / "keep").string(), "kept");
    Trigger("ProjectSave");
    EXPECT_EQ(ReadText((Copies() / "savedProjectWindowFile1.wav" / "keep").string()), "kept");
    EXPECT_EQ(CopyFiles(), (std::vector<std::string>{"savedProjectWindowFile0.kvm",
                                                     "savedProjectWindowFile1.kvm",
                                                     "savedProjectWindowFile1.wav"}));
    Trigger("ProjectClose");
    Flush();
    OpenProject();
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 2);
}

// ---- Closing the main window ---------------------------------------------------------------

// A project that cannot be saved (here a read-only file) closes as no project does: after the
// failure box each changed window asks its question, and only a Cancel keeps the project open.
TEST_F(ProjectCommandsTest, AProjectThatCannotBeSavedClosesAfterItsBoxWhenTheWindowsAgree)
{
    const std::string wav = WriteWav("a.wav", Pattern(100, 3));
    const std::string failure = "FileError: Cannot save Project File: Operating System cannot "
                                "open file for writing, maybe the file is readonly.";
    // How the project is closed; whether its wave has changes, and the answer to its question.
    const std::tuple<const char*, bool, MsgAnswer> rows[] = {
        {"ProjectClose", true, MsgAnswer::No},    {"ProjectClose", true, MsgAnswer::Cancel},
        {"ProjectClose", false, MsgAnswer::Ok},   {"main window", true, MsgAnswer::No},
        {"main window", true, MsgAnswer::Cancel}, {"main window", false, MsgAnswer::Ok},
    };
    for (const auto& [how, changed, answer] : rows) {
        SCOPED_TRACE(std::string(how) + (changed ? " changed" : " unchanged"));
        if (fs::exists(ProjectPath()))
            fs::permissions(ProjectPath(), fs::perms(0644));
        form->SetProjectFile(ProjectPath());
        TUnitWave* unit = commands->OpenWaveFile(wav, {}, false);
        if (changed) {
            unit->ExchangeSound(Pattern(300, 7));
            unit->SetModified();
        }
        Trigger("ProjectSave");
        fs::permissions(ProjectPath(), fs::perms(0444));
        // The project file and the copies of the last good save, while each box is open and
        // after them: the failed save took its new copies back before its box.
        const std::map<std::string, std::string> saved = FolderState(dir);
        std::vector<std::string> boxes = {failure};
        if (changed)
            boxes.push_back("You have unsaved changes: Do you want to save the Wave with name \"" +
                            unit->GetName() + "\" to current file \"" + wav + "\"?");
        messages.Clear();
        messages.Expect();
        if (changed)
            messages.Expect(answer);
        const bool closes = answer != MsgAnswer::Cancel;
        std::vector<std::map<std::string, std::string>> during;
        {
            RecordingMessages recorded;
            recorded.passOn = true;
            recorded.whileShown = [&] { during.push_back(FolderState(dir)); };
            if (std::string(how) == "main window")
                EXPECT_EQ(form->close(), closes);
            else
                Trigger(how);
            Flush();
        }
        EXPECT_EQ(during, std::vector(boxes.size(), saved));
        std::vector<std::string> shown;
        for (const ShownMessage& box : messages.Shown())
            shown.push_back(box.caption + ": " + box.text);
        EXPECT_EQ(shown, boxes);
        EXPECT_EQ(form->Documents().DocumentWindowCount(), closes ? 0 : 1);
        EXPECT_EQ(form->isVisible(), !closes || std::string(how) != "main window");
        EXPECT_EQ(form->GetProjectFile().empty(), closes && std::string(how) == "ProjectClose");
        EXPECT_EQ(FolderState(dir), saved);
        for (TMDIChildKelvorn* window : form->Documents().DocumentWindows())
            window->Release();
        Flush();
        form->show();
    }
}

TEST_F(ProjectCommandsTest, ClosingAsksEachWindowOrWithAProjectSavesItAndAsksNothing)
{
    // Without one, closing asks each window, and a Cancel keeps them.
    NewWave("Wave 1", Pattern(10, 1));
    messages.Expect(MsgAnswer::Cancel);
    EXPECT_FALSE(form->close());
    EXPECT_EQ(LastBox(), "You have unsaved changes: Do you want to save the Wave with name "
                         "\"Wave 1\" to a new file?");
    messages.Expect(MsgAnswer::No);
    // With a project, Exit saves it with its windows and asks nothing.
    const std::string wav = WriteWav("a.wav", Pattern(100, 3));
    NewProject();
    OpenChangedAndEmpty(wav);
    Trigger("FileExit");
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(messages.Shown().size(), 2u);
    const std::string text = ReadText(ProjectPath());
    size_t windows = 0;
    for (size_t at = text.find("<Window>"); at != std::string::npos;
         at = text.find("<Window>", at + 1))
        ++windows;
    EXPECT_EQ(windows, 2u);
    EXPECT_EQ(CopyFiles().size(), 3u);
}

// Saved by root, a user's project keeps its copies the user's: a new copy folder and every new
// copy take the project file's owner and group. The first save has no file to take them from,
// and a folder that exists keeps its own.
TEST_F(ProjectCommandsTest, CopiesThatRootMakesForAUsersProjectAreTheUsers)
{
    if (!CanActAsOtherUsers())
        GTEST_SKIP() << "only root can give a file to another user";
    const std::string wav = WriteWav("a.wav", Pattern(100, 3));
    NewProject();
    OpenChangedAndEmpty(wav);
    // The owner of the copy folder, and those of the copies in it.
    const auto owners = [&] {
        const auto owner = [](const std::string& state) {
            const size_t at = state.find(" owner ") + 7;
            return state.substr(at, state.find(' ', at) - at);
        };
        std::set<std::string> copies;
        for (const auto& [name, state] : FolderState(Copies()))
            copies.insert(owner(state));
        return std::pair(owner(FileState(Copies())), copies);
    };
    using Owners = std::pair<std::string, std::set<std::string>>;
    Trigger("ProjectSave");
    EXPECT_EQ(owners(), Owners("0:0", {"0:0"}));
    ASSERT_EQ(::chown(ProjectPath().c_str(), nobodyUser, nobodyGroup), 0);
    fs::remove_all(Copies());
    Trigger("ProjectSave");
    EXPECT_EQ(owners(), Owners("65534:65534", {"65534:65534"}));
    EXPECT_EQ(CopyFiles().size(), 3u);
    ASSERT_EQ(::chown(Copies().c_str(), 65533, 65532), 0);
    Trigger("ProjectSave");
    EXPECT_EQ(owners(), Owners("65533:65532", {"65534:65534"}));
}

// ---- Music pieces --------------------------------------------------------------------------

TEST_F(ProjectCommandsTest, PiecesComeBackFromTheirFilesAndCopiesWithNamesPlacesAndChanges)
{
    const std::string a = WriteMuz("a.kvm", 41), b = WriteMuz("b.kvm", 42);
    NewProject();
    // A saved piece, a saved piece changed since, an untitled one.
    music->OpenMuzFile(a);
    music->OpenMuzFile(b)->GetFirstStave()->RoomUp.SetValue(99);
    UnitMuzOf(form->Documents().GetActiveChild())->SetModified();
    Trigger("FileNewMuz");
    const QRect places[] = {{0, 0, 300, 200}, {30, 40, 320, 210}, {60, 70, 340, 220}};
    auto windows = [&] {
        std::vector<TMDIChildKelvorn*> inFileOrder = form->Documents().DocumentWindows();
        std::reverse(inFileOrder.begin(), inFileOrder.end());
        return inFileOrder;
    };
    for (int i = 0; i < 3; ++i)
        windows()[size_t(i)]->setGeometry(places[i]);
    Trigger("ProjectSave");
    std::string expected;
    const std::string inner[] = {"<File>" + a + "</File>",
                                 "<File>" + b + "</File>\n      <TempFile>0</TempFile>",
                                 "<TempFile>1</TempFile>"};
    for (int i = 0; i < 3; ++i) {
        const QRect& p = places[i];
        expected += "  <Window>\n    <Music>\n      " + inner[i] +
                    "\n    </Music>\n    <Name>Music " + std::to_string(i + 1) + "</Name>\n" +
                    Place(p.left(), p.top(), p.width(), p.height()) + "  </Window>\n";
    }
    EXPECT_EQ(ReadText(ProjectPath()),
              kHeader + "<Project>\n  <Version>9.0</Version>\n  <Frame>\n" +
                  Place(10, 20, 800, 600) + "  </Frame>\n" + expected + "</Project>\n");
    EXPECT_EQ(CopyFiles(), (std::vector<std::string>{"savedProjectWindowFile0.kvm",
                                                     "savedProjectWindowFile1.kvm"}));

    // Closing asks nothing; reopening restores what was there.
    Trigger("ProjectClose");
    Flush();
    OpenProject();
    ASSERT_EQ(windows().size(), 3u);
    const std::tuple<std::string, int, bool> pieces[] = {
        {a, 41, false}, {b, 99, true}, {"", 80, true}};
    for (int i = 0; i < 3; ++i) {
        TUnitMuz* unit = UnitMuzOf(windows()[size_t(i)]);
        EXPECT_EQ(unit->GetName(), "Music " + std::to_string(i + 1));
        EXPECT_EQ(std::tuple(unit->GetFileName(), unit->GetFirstStave()->RoomUp.GetValue(),
                             unit->IsModified()),
                  pieces[i]);
        EXPECT_EQ(windows()[size_t(i)]->isWindowModified(), std::get<2>(pieces[i]));
        EXPECT_EQ(windows()[size_t(i)]->geometry(), places[i]);
    }
    // With its copy gone, the changed piece does not come back from its own file without the
    // changes: the load stops there, the window before it stays.
    Trigger("ProjectClose");
    Flush();
    fs::remove(Copies() / "savedProjectWindowFile0.kvm");
    messages.Expect();
    messages.Expect();
    OpenProject();
    EXPECT_EQ(messages.Shown().size(), 2u);
    EXPECT_EQ(form->GetProjectFile(), "");
    ASSERT_EQ(windows().size(), 1u);
    EXPECT_EQ(UnitMuzOf(windows()[0])->GetFileName(), a);
}

// A project reached through a link is the file the link names, copies and all: saved through
// one name and opened through the other, it shows the latest work without a box.
TEST_F(ProjectCommandsTest, AProjectThroughALinkKeepsItsCopiesBesideTheFileItNames)
{
    const std::string piece = WriteMuz("a.kvm", 41);
    const std::string file = Path("proj.kvp"), link = Path("plink.kvp");
    fs::create_symlink("proj.kvp", link); // names no file yet: the first save makes it
    auto onlyPiece = [&] {
        EXPECT_EQ(form->Documents().DocumentWindowCount(), 1);
        return UnitMuzOf(form->Documents().GetActiveChild());
    };
    auto saveAndClose = [&](int roomUp) {
        TUnitMuz* unit = onlyPiece();
        unit->GetFirstStave()->RoomUp.SetValue(roomUp);
        unit->SetModified();
        Trigger("ProjectSave");
        EXPECT_EQ(fs::read_symlink(link), "proj.kvp");
        EXPECT_EQ(CopyFiles("proj"), (std::vector<std::string>{"savedProjectWindowFile0.kvm"}));
        EXPECT_FALSE(fs::exists(Copies("plink")));
        Trigger("ProjectClose");
        Flush();
    };
    auto openShows = [&](const std::string& project, int roomUp) {
        fileDialogs.WhenOpen(TProjectCommands::OpenProjectTitle, {project});
        Trigger("ProjectOpen");
        EXPECT_EQ(form->GetProjectFile(), project);
        TUnitMuz* unit = onlyPiece();
        ASSERT_TRUE(unit);
        EXPECT_EQ(std::tuple(unit->GetFileName(), unit->GetFirstStave()->RoomUp.GetValue(),
                             unit->IsModified()),
                  std::tuple(piece, roomUp, true));
    };

    fileDialogs.WhenSave(TProjectCommands::NewProjectTitle, link);
    Trigger("ProjectNew");
    music->OpenMuzFile(piece);
    saveAndClose(99);
    openShows(file, 99);
    saveAndClose(77);
    openShows(link, 77);
}

// A piece or factory, titled or not, with changes that only the project's copy holds: with the
// copy gone, its open says so and the project does not load.
TEST_F(ProjectCommandsTest, ADocumentWhoseCopyIsGoneFailsTheLoadWithTheOpensBoxFirst)
{
    TFactoryCommands factories(*form, *commands);
    factories.Install();
    const auto piece = [&](bool titled) -> TFileUnit* {
        if (titled)
            music->OpenMuzFile(WriteMuz("a.kvm"));
        else
            Trigger("FileNewMuz");
        TUnitMuz* unit = UnitMuzOf(form->Documents().GetActiveChild());
        unit->SetModified();
        return unit;
    };
    const auto factory = [&](bool titled) -> TFileUnit* {
        TUnitSountory* unit = factories.NewFactory(0, nullptr);
        if (titled) {
            EXPECT_TRUE(unit->SaveAs(Path("a.kvf")));
            unit->SetFileName(Path("a.kvf"));
        }
        unit->SetModified();
        return unit;
    };
    // The document element, the copy's extension, whether the document has a file, how it is
    // made and changed.
    const std::tuple<std::string, std::string, bool, std::function<TFileUnit*(bool)>> rows[] = {
        {"Music", ".kvm", true, piece},
        {"Music", ".kvm", false, piece},
        {"Factory", ".kvf", true, factory},
        {"Factory", ".kvf", false, factory},
    };
    for (const auto& [element, extension, hasFile, make] : rows) {
        SCOPED_TRACE(extension + (hasFile ? " with a file" : " untitled"));
        NewProject();
        ASSERT_EQ(make(hasFile)->GetFileName().empty(), !hasFile);
        Trigger("ProjectSave");
        Trigger("ProjectClose");
        Flush();
        const fs::path copy = Copies() / ("savedProjectWindowFile0" + extension);
        ASSERT_TRUE(fs::remove(copy));
        messages.Clear();
        messages.Expect();
        messages.Expect();
        OpenProject();
        ASSERT_EQ(messages.Shown().size(), 2u);
        EXPECT_EQ(messages.Shown()[0].caption + ": " + messages.Shown()[0].text,
                  "File Error: Cannot read file \"" + copy.string() + "\": cannot open file.");
        // The rebuild stands after the document element's start tag, four blanks in.
        EXPECT_EQ(LastBox(), "File Error: Cannot read the file: \"" + ProjectPath() +
                                 "\": At line 14, column " + std::to_string(7 + element.size()) +
                                 ": The document could not be opened.");
        EXPECT_EQ(form->GetProjectFile(), "");
        EXPECT_EQ(form->windowTitle().toStdString(), "Kelvorn 9.0");
        EXPECT_EQ(form->Documents().DocumentWindowCount(), 0);
        fs::remove_all(Copies());
    }
}

// ---- A fourth kind -------------------------------------------------------------------------

// A kind unknown to every shell file: the generic commands, the action update and the project
// reach it through the registry alone.
constexpr DocumentKind SketchKind = DocumentKind(4);

TEST_F(ProjectCommandsTest, AFourthKindPlugsInThroughTheRegistryAlone)
{
    const DocumentKindFacts facts{SketchKind, "Sketch", ".kvx", "Sketch", "Sketches"};
    auto owned = std::make_unique<PlainKindUI>(*form, SketchKind);
    PlainKindUI& kind = *owned;
    form->Kinds().Register(std::move(owned), &facts);
    NewProject();
    std::string message;
    ASSERT_NE(kind.OpenFile(Path("a.kvx"), {}, false, message), nullptr);
    form->Frame()->setActiveSubWindow(form->Documents().DocumentWindows().back());
    form->ActionListUpdate();
    EXPECT_EQ(kind.arranged, 1);
    EXPECT_GE(kind.updated, 1);
    EXPECT_EQ(form->LastUpdateKind(), SketchKind);
    auto* document = static_cast<PlainDocument*>(form->Documents().GetActiveUnit());
    Trigger("FileSave");
    EXPECT_EQ(document->written, std::vector<std::string>{Path("a.kvx")});
    Trigger("ProjectSave");
    EXPECT_NE(ReadText(ProjectPath()).find("<Sketch>"), std::string::npos);
    // A copy the document cannot write fails the save.
    document->modified = true;
    document->saveWorks = false;
    EXPECT_FALSE(project->SaveProject(ProjectPath(), false));
    document->saveWorks = true;
    // The project opens it again through the kind.
    Trigger("ProjectClose");
    OpenProject();
    EXPECT_EQ(kind.opened.size(), 2u);
    EXPECT_EQ(kind.opened.back(), Path("a.kvx"));
    // So does the command line, by the kind's extension in any case.
    form->OpenCommandLine({"b.KVX"}, dir.string());
    EXPECT_EQ(kind.opened.back(), Path("b.KVX"));
    form->Kinds().Unregister(SketchKind);
    RemoveDocumentKind(SketchKind);
}

} // namespace
