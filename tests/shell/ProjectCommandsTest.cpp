#include "waveui/WaveWindow.h"
#include "FileCommandsTestSupport.h"

#include "shell/ProjectCommands.h"
#include "document/records/WaveFileProps.h"

#include <QMdiSubWindow>

#include <algorithm>
#include <sstream>

using namespace kelvorn;
using namespace kelvorn::test;
namespace fs = std::filesystem;

namespace {

const std::string kHeader = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                            "<!DOCTYPE Project SYSTEM \"Project.dtd\">\n\n";

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

/// The place of a window as the project file writes it.
std::string Place(int left, int top, int width, int height, const char* state)
{
    return "    <Left>" + std::to_string(left) + "</Left>\n    <Top>" + std::to_string(top) +
           "</Top>\n    <Width>" + std::to_string(width) + "</Width>\n    <Height>" +
           std::to_string(height) + "</Height>\n    <" + state + " />\n";
}

class ProjectCommandsTest : public FileCommandsTest
{
protected:
    ProjectCommandsTest()
    {
        project = std::make_unique<TProjectCommands>(*form, *commands);
        project->Install();
        form->setGeometry(10, 20, 800, 600);
    }

    std::string ProjectPath(const std::string& name = "demo.kvp") const { return Path(name); }
    fs::path Copies(const std::string& name = "demo") const
    {
        return dir / (name + "TempSaveFiles");
    }
    std::vector<std::string> CopyFiles(const std::string& name = "demo") const
    {
        std::vector<std::string> names;
        if (fs::exists(Copies(name)))
            for (const auto& entry : fs::directory_iterator(Copies(name)))
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    /// Starts a project through Project New.
    void NewProject(const std::string& path)
    {
        fileDialogs.WhenSave(TProjectCommands::NewProjectTitle, path);
        Trigger("ProjectNew");
        ASSERT_EQ(form->GetProjectFile(), path);
    }
    void OpenProject(const std::string& path)
    {
        fileDialogs.WhenOpen(TProjectCommands::OpenProjectTitle, {path});
        Trigger("ProjectOpen");
    }

    /// The wave documents in the order of the project file (the first opened first).
    std::vector<TUnitWave*> Waves() const
    {
        std::vector<TUnitWave*> waves;
        std::vector<TMDIChildKelvorn*> windows = form->Documents().DocumentWindows();
        std::reverse(windows.begin(), windows.end());
        for (TMDIChildKelvorn* window : windows)
            waves.push_back(UnitWaveOf(window));
        return waves;
    }
    TMDIChildKelvorn* WindowOf(TUnitWave* unit) const
    {
        return form->Documents().FindChildOf(unit);
    }

    /// Opens a.wav and changes its sound; adds an untitled empty mono wave.
    void OpenChangedAndEmpty(const std::string& wav)
    {
        TUnitWave* a = commands->OpenWaveFile(wav, {}, false);
        ASSERT_NE(a, nullptr);
        a->ExchangeSound(Pattern(300, 7));
        a->SetModified();
        WindowOf(a)->setGeometry(0, 0, 300, 200);
        auto empty = std::make_unique<TUnitWave>(form->Documents().MakeUniqueName("Wave"), "",
                                                 TWaveFileProps(1, 22050, 2));
        TMDIChildWave* window = commands->NewChildWave(
            std::move(empty), form->DefaultWaveViewProps(), form->DefaultVoldViewProps());
        window->setGeometry(30, 40, 320, 210);
        form->Frame()->setActiveSubWindow(window);
        Flush();
    }

    std::unique_ptr<TProjectCommands> project;
};

// ---- save, close, reopen --------------------------------------------------------------------

TEST_F(ProjectCommandsTest, SaveWritesEveryWindowAndCopiesAndReopeningRestoresThem)
{
    const std::string wav = WriteWav("a.wav", Pattern(100, 3));
    NewProject(ProjectPath());
    OpenChangedAndEmpty(wav);
    Trigger("ProjectSave");

    const std::string copies = Copies().string();
    EXPECT_EQ(ReadText(ProjectPath()),
              kHeader + "<Project>\n  <Version>9.0</Version>\n  <Frame>\n" +
                  Place(10, 20, 800, 600, "Normal").substr(0) + "  </Frame>\n" +
                  "  <Window>\n    <Wave>\n      <File>" + wav +
                  "</File>\n      <TempFile>0</TempFile>\n    </Wave>\n    <Name>Wave 1</Name>\n" +
                  Place(0, 0, 300, 200, "Normal") + "  </Window>\n" +
                  "  <Window>\n    <Wave>\n      <TempFile>1</TempFile>\n    </Wave>\n"
                  "    <Name>Wave 2</Name>\n" +
                  Place(30, 40, 320, 210, "Normal") + "  </Window>\n</Project>\n");
    // The changed wave's sound and side file; only the side file of the empty one.
    EXPECT_EQ(CopyFiles(), (std::vector<std::string>{"savedProjectWindowFile0.kvw",
                                                     "savedProjectWindowFile0.wav",
                                                     "savedProjectWindowFile1.kvw"}));
    // The file itself is untouched: the change lives in the copy.
    SoundUPtr onDisk;
    std::string message;
    ASSERT_TRUE(ReadWaveFile(wav, onDisk, message));
    EXPECT_TRUE(SameSound(*onDisk, *Pattern(100, 3)));

    // Closing asks nothing: the copies hold the work.
    Trigger("ProjectClose");
    Flush();
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 0);
    EXPECT_EQ(form->GetProjectFile(), "");
    EXPECT_EQ(form->windowTitle().toStdString(), "Kelvorn 9.0");

    form->setGeometry(50, 60, 700, 500);
    OpenProject(ProjectPath());
    EXPECT_EQ(form->GetProjectFile(), ProjectPath());
    EXPECT_EQ(form->windowTitle().toStdString(), "Kelvorn 9.0 - " + ProjectPath());
    EXPECT_EQ(form->geometry(), QRect(10, 20, 800, 600));
    const std::vector<TUnitWave*> waves = Waves();
    ASSERT_EQ(waves.size(), 2u);
    EXPECT_EQ(waves[0]->GetName(), "Wave 1");
    EXPECT_EQ(waves[0]->GetFileName(), wav);
    EXPECT_TRUE(SameSound(*waves[0]->GetSound(), *Pattern(300, 7)));
    EXPECT_TRUE(waves[0]->IsModified());
    EXPECT_TRUE(waves[0]->GetTrackModified());
    EXPECT_EQ(WindowOf(waves[0])->geometry(), QRect(0, 0, 300, 200));
    EXPECT_EQ(waves[1]->GetName(), "Wave 2");
    EXPECT_EQ(waves[1]->GetFileName(), "");
    EXPECT_EQ(waves[1]->GetValues(), 0);
    EXPECT_EQ(waves[1]->GetSound()->GetMonoStereo(), 1);
    EXPECT_EQ(waves[1]->GetSound()->GetSampleFreq(), 22050);
    EXPECT_FALSE(waves[1]->IsModified());
    EXPECT_TRUE(waves[1]->GetTrackModified());
    EXPECT_EQ(WindowOf(waves[1])->geometry(), QRect(30, 40, 320, 210));
    // The last window of the file is the active one again.
    EXPECT_EQ(form->Documents().GetActiveUnitWave(), waves[1]);
}

TEST_F(ProjectCommandsTest, WindowStatesComeBack)
{
    const std::string wav = WriteWav("a.wav", Pattern(100, 3));
    NewProject(ProjectPath());
    TUnitWave* a = commands->OpenWaveFile(wav, {}, false);
    TUnitWave* b = commands->OpenWaveFile(wav, {}, false);
    WindowOf(a)->showMinimized();
    WindowOf(b)->showMaximized();
    Trigger("ProjectClose");
    Flush();
    OpenProject(ProjectPath());
    const std::vector<TUnitWave*> waves = Waves();
    ASSERT_EQ(waves.size(), 2u);
    EXPECT_TRUE(WindowOf(waves[0])->isMinimized());
    EXPECT_TRUE(WindowOf(waves[1])->isMaximized());
    EXPECT_FALSE(waves[0]->IsModified());
    EXPECT_TRUE(CopyFiles().empty());
}

TEST_F(ProjectCommandsTest, SavingTwiceDropsTheCopyOfAWaveSavedMeanwhile)
{
    const std::string wav = WriteWav("a.wav", Pattern(100, 3));
    NewProject(ProjectPath());
    OpenChangedAndEmpty(wav);
    Trigger("ProjectSave");
    ASSERT_EQ(CopyFiles().size(), 3u);

    // Saved on its own, the first wave needs no copy any more; the empty wave becomes copy 0.
    form->Frame()->setActiveSubWindow(WindowOf(Waves()[0]));
    Trigger("FileSave");
    Trigger("ProjectSave");
    EXPECT_EQ(CopyFiles(), (std::vector<std::string>{"savedProjectWindowFile0.kvw"}));
    const std::string text = ReadText(ProjectPath());
    EXPECT_NE(text.find("<File>" + wav + "</File>\n    </Wave>"), std::string::npos);
    EXPECT_NE(text.find("<TempFile>0</TempFile>\n    </Wave>\n    <Name>Wave 2</Name>"),
              std::string::npos);
    EXPECT_EQ(text.find("<TempFile>1</TempFile>"), std::string::npos);
}

TEST_F(ProjectCommandsTest, ExportWritesNoFileAndCopiesEveryDocument)
{
    const std::string wav = WriteWav("a.wav", Pattern(100, 3));
    NewProject(ProjectPath());
    commands->OpenWaveFile(wav, {}, false);
    fileDialogs.WhenSave(TProjectCommands::ExportProjectTitle, Path("out.kvp"));
    Trigger("ProjectExport");
    EXPECT_EQ(form->GetProjectFile(), ProjectPath());
    const std::string text = ReadText(Path("out.kvp"));
    EXPECT_EQ(text.find("<File>"), std::string::npos);
    EXPECT_NE(text.find("<Wave>\n      <TempFile>0</TempFile>\n    </Wave>"), std::string::npos);
    EXPECT_EQ(CopyFiles("out"), (std::vector<std::string>{"savedProjectWindowFile0.kvw",
                                                          "savedProjectWindowFile0.wav"}));
    SoundUPtr copy;
    std::string message;
    ASSERT_TRUE(
        ReadWaveFile((Copies("out") / "savedProjectWindowFile0.wav").string(), copy, message));
    EXPECT_TRUE(SameSound(*copy, *Pattern(100, 3)));
}

// ---- reading ------------------------------------------------------------------------------

std::string HandWritten(const std::string& version, const std::string& windows,
                        const std::string& extra = "")
{
    return kHeader + "<Project>\n  <Version>" + version + "</Version>\n" + extra + "  <Frame>\n" +
           Place(1, 2, 640, 480, "Normal") + "  </Frame>\n" + windows + "</Project>\n";
}

std::string WaveWindow(const std::string& document, const std::string& left = "5",
                       const std::string& name = "")
{
    return "  <Window>\n    <Wave>\n" + document + "    </Wave>\n" +
           (name.empty() ? "" : "    <Name>" + name + "</Name>\n") + "    <Left>" + left +
           "</Left>\n    <Top>6</Top>\n    <Width>200</Width>\n    <Height>150</Height>\n"
           "    <Normal />\n  </Window>\n";
}

TEST_F(ProjectCommandsTest, Version8OpensAndTheNextSaveWritesVersion9)
{
    const std::string wav = WriteWav("a.wav", Pattern(50, 3));
    WriteText(ProjectPath(), HandWritten("8.0", WaveWindow("      <File>" + wav + "</File>\n"),
                                         "  <NoNameCounter>7</NoNameCounter>\n"));
    OpenProject(ProjectPath());
    ASSERT_EQ(Waves().size(), 1u);
    EXPECT_TRUE(SameSound(*Waves()[0]->GetSound(), *Pattern(50, 3)));
    EXPECT_EQ(WindowOf(Waves()[0])->geometry(), QRect(5, 6, 200, 150));
    Trigger("ProjectSave");
    const std::string text = ReadText(ProjectPath());
    EXPECT_NE(text.find("<Version>9.0</Version>"), std::string::npos);
    EXPECT_EQ(text.find("NoNameCounter"), std::string::npos);
}

TEST_F(ProjectCommandsTest, Version7IsRefusedWithItsMessageAndLeavesNoProject)
{
    WriteText(ProjectPath(), HandWritten("7.0", ""));
    messages.Expect();
    OpenProject(ProjectPath());
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text, "Cannot read the file: \"" + ProjectPath() +
                                            "\": Unknown version \"7.0\" found in project file.");
    EXPECT_EQ(messages.Shown()[0].caption, "File Error");
    EXPECT_EQ(form->GetProjectFile(), "");
    EXPECT_EQ(form->windowTitle().toStdString(), "Kelvorn 9.0");
}

// A bad place used to leave the wave's change tracking off: its later changes were never
// marked, asked about or saved.
TEST_F(ProjectCommandsTest, ABadPlaceStillLeavesEveryOpenedWaveTrackingItsChanges)
{
    const std::string wav = WriteWav("a.wav", Pattern(50, 3));
    const std::string windows = WaveWindow("      <File>" + wav + "</File>\n") +
                                WaveWindow("      <File>" + wav + "</File>\n", "x", "Second");
    WriteText(ProjectPath(), HandWritten("9.0", windows));
    messages.Expect();
    OpenProject(ProjectPath());
    ASSERT_EQ(messages.Shown().size(), 1u);
    const std::string prefix =
        "Cannot read the file: \"" + ProjectPath() + "\": At line 28, column 11: In Left: ";
    EXPECT_EQ(messages.Shown()[0].text.substr(0, prefix.size()), prefix);
    const std::vector<TUnitWave*> waves = Waves();
    ASSERT_EQ(waves.size(), 2u);
    EXPECT_EQ(waves[1]->GetName(), "Second");
    for (TUnitWave* wave : waves) {
        EXPECT_TRUE(wave->GetTrackModified());
        wave->SetModified();
        EXPECT_TRUE(wave->IsModified());
    }
    EXPECT_EQ(form->GetProjectFile(), "");
}

TEST_F(ProjectCommandsTest, ATempFileThatIsNoNumberOpensNothingForItsWindow)
{
    const std::string wav = WriteWav("a.wav", Pattern(50, 3));
    fs::create_directories(dir / "x");
    WriteWav("x/evil.wav", Pattern(10, 1));
    const std::string windows = WaveWindow("      <TempFile>../x/evil</TempFile>\n");
    WriteText(ProjectPath(), HandWritten("9.0", windows));
    messages.Expect();
    OpenProject(ProjectPath());
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text,
              "Cannot read the file: \"" + ProjectPath() +
                  "\": At line 15, column 17: In TempFile: Invalid value: \"../x/evil\".");
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 0);
}

TEST_F(ProjectCommandsTest, AMissingCopyFallsBackToTheFileOrAnEmptyWaveWithoutABox)
{
    const std::string wav = WriteWav("a.wav", Pattern(50, 3));
    const std::string windows =
        WaveWindow("      <File>" + wav + "</File>\n      <TempFile>4</TempFile>\n") +
        WaveWindow("      <TempFile>5</TempFile>\n");
    WriteText(ProjectPath(), HandWritten("9.0", windows));
    OpenProject(ProjectPath());
    const std::vector<TUnitWave*> waves = Waves();
    ASSERT_EQ(waves.size(), 2u);
    EXPECT_TRUE(SameSound(*waves[0]->GetSound(), *Pattern(50, 3)));
    EXPECT_EQ(waves[1]->GetValues(), 0);
    EXPECT_EQ(form->GetProjectFile(), ProjectPath());
}

TEST_F(ProjectCommandsTest, AProjectMovedWithItsFolderReopens)
{
    fs::create_directories(dir / "first");
    fs::create_directories(dir / "outside");
    const std::string outside = WriteWav("outside/b.wav", Pattern(40, 5));
    const std::string first = Path("first/demo.kvp");
    NewProject(first);
    auto untitled = std::make_unique<TUnitWave>("Sketch", "", Pattern(60, 9));
    TMDIChildWave* window = commands->NewChildWave(
        std::move(untitled), form->DefaultWaveViewProps(), form->DefaultVoldViewProps());
    window->GetUnitWave().SetModified();
    commands->OpenWaveFile(outside, {}, false);
    Trigger("ProjectClose");
    Flush();

    fs::rename(dir / "first", dir / "moved");
    OpenProject(Path("moved/demo.kvp"));
    const std::vector<TUnitWave*> waves = Waves();
    ASSERT_EQ(waves.size(), 2u);
    EXPECT_EQ(waves[0]->GetName(), "Sketch");
    EXPECT_TRUE(SameSound(*waves[0]->GetSound(), *Pattern(60, 9)));
    EXPECT_TRUE(waves[0]->IsModified());
    EXPECT_EQ(waves[1]->GetFileName(), outside);
}

TEST_F(ProjectCommandsTest, WindowsPathsFindTheDocumentsBesideTheProject)
{
    const std::string wav = WriteWav("a.wav", Pattern(50, 3));
    const std::string windows = WaveWindow("      <File>C:\\songs\\a.wav</File>\n") +
                                WaveWindow("      <File>sub\\..\\a.wav</File>\n");
    WriteText(ProjectPath(), HandWritten("9.0", windows));
    OpenProject(ProjectPath());
    const std::vector<TUnitWave*> waves = Waves();
    ASSERT_EQ(waves.size(), 2u);
    EXPECT_EQ(waves[0]->GetFileName(), wav);
    EXPECT_TRUE(SameSound(*waves[0]->GetSound(), *Pattern(50, 3)));
    EXPECT_EQ(waves[1]->GetFileName(), wav);
}

TEST_F(ProjectCommandsTest, AMusicWindowWithoutItsOpenerStopsTheLoadThereWithTheReason)
{
    form->Kinds().Unregister(DocumentKind::Music);
    const std::string wav = WriteWav("a.wav", Pattern(50, 3));
    const std::string windows = WaveWindow("      <File>" + wav + "</File>\n") +
                                "  <Window>\n    <Music>\n      <File>/m/song.kvm</File>\n"
                                "    </Music>\n" +
                                Place(0, 0, 10, 10, "Normal") + "  </Window>\n" +
                                WaveWindow("      <File>" + wav + "</File>\n");
    WriteText(ProjectPath(), HandWritten("9.0", windows));
    messages.Expect();
    OpenProject(ProjectPath());
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text,
              "Cannot read the file: \"" + ProjectPath() +
                  "\": At line 24, column 12: Music pieces cannot be opened by this version.");
    // The window before it stays open.
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 1);
}

// ---- failures while saving -------------------------------------------------------------------

TEST_F(ProjectCommandsTest, ACopyThatCannotBeDeletedFailsTheSaveWithABoxAndKeepsTheProgramOpen)
{
    const std::string wav = WriteWav("a.wav", Pattern(100, 3));
    NewProject(ProjectPath());
    OpenChangedAndEmpty(wav);
    // A non-empty directory where the old copy 0 should be cannot be removed.
    fs::create_directories(Copies() / "savedProjectWindowFile0.wav");
    WriteText((Copies() / "savedProjectWindowFile0.wav" / "keep").string(), "x");

    messages.Expect();
    EXPECT_FALSE(project->SaveProject(ProjectPath(), false));
    ASSERT_EQ(messages.Shown().size(), 1u);
    const std::string blocked = (Copies() / "savedProjectWindowFile0.wav").string();
    EXPECT_EQ(messages.Shown()[0].text.substr(0, 25 + blocked.size()),
              "Cannot delete the file \"" + blocked + "\"");
    EXPECT_EQ(messages.Shown()[0].caption, "File Error");

    messages.Expect();
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 2);
    EXPECT_EQ(messages.Shown().size(), 2u);
}

TEST_F(ProjectCommandsTest, ACopyDirectoryThatCannotBeMadeFailsTheSaveWithABox)
{
    NewProject(ProjectPath());
    auto unit = std::make_unique<TUnitWave>("Wave 1", "", Pattern(10, 1));
    commands->NewChildWave(std::move(unit), form->DefaultWaveViewProps(),
                           form->DefaultVoldViewProps());
    WriteText(Copies().string(), "a file in the directory's place");
    messages.Expect();
    Trigger("ProjectSave");
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text.substr(0, 30 + Copies().string().size()),
              "Cannot create the directory \"" + Copies().string() + "\"");
    EXPECT_FALSE(fs::exists(ProjectPath()));
}

TEST_F(ProjectCommandsTest, ANameWithAnAngleBracketFailsTheSaveBeforeAnythingIsWritten)
{
    NewProject(ProjectPath());
    auto unit = std::make_unique<TUnitWave>("Wave 1", "", Pattern(10, 1));
    TMDIChildWave* window = commands->NewChildWave(std::move(unit), form->DefaultWaveViewProps(),
                                                   form->DefaultVoldViewProps());
    // Names typed into Edit Name are refused there; one set by other means reaches the save.
    window->GetUnitWave().SetName("a<b");
    messages.Expect();
    Trigger("ProjectSave");
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text,
              "Cannot save Project File: the window name \"a<b\" holds \"<\" or \">\", which a "
              "project file cannot store.");
    EXPECT_EQ(messages.Shown()[0].caption, "FileError");
    EXPECT_FALSE(fs::exists(ProjectPath()));
    EXPECT_FALSE(fs::exists(Copies()));
}

// ---- closing the main window ----------------------------------------------------------------

TEST_F(ProjectCommandsTest, WithoutAProjectClosingAsksEachWindowMostRecentFirstAndACancelKeepsAll)
{
    const std::string wav = WriteWav("a.wav", Pattern(100, 3));
    TUnitWave* a = commands->OpenWaveFile(wav, {}, false);
    TUnitWave* b = commands->OpenWaveFile(wav, {}, false);
    TUnitWave* c = commands->OpenWaveFile(wav, {}, false);
    for (TUnitWave* unit : {a, b, c})
        unit->SetModified();
    form->Frame()->setActiveSubWindow(WindowOf(b));
    Flush();
    const std::string nameB = b->GetName();
    const std::string nameC = c->GetName();
    messages.Expect(MsgAnswer::No);
    messages.Expect(MsgAnswer::Cancel);
    EXPECT_FALSE(form->close());
    Flush();
    ASSERT_EQ(messages.Shown().size(), 2u);
    EXPECT_NE(messages.Shown()[0].text.find("\"" + nameB + "\""), std::string::npos);
    EXPECT_NE(messages.Shown()[1].text.find("\"" + nameC + "\""), std::string::npos);
    EXPECT_TRUE(form->isVisible());
    // A window that answered No before the Cancel stays too.
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 3);

    for (int i = 0; i < 3; ++i)
        messages.Expect(MsgAnswer::No);
    Trigger("FileExit");
    EXPECT_FALSE(form->isVisible());
}

TEST_F(ProjectCommandsTest, WithAProjectExitSavesItWithItsWindowsAndAsksNothing)
{
    const std::string wav = WriteWav("a.wav", Pattern(100, 3));
    NewProject(ProjectPath());
    OpenChangedAndEmpty(wav);
    Trigger("FileExit");
    EXPECT_FALSE(form->isVisible());
    const std::string text = ReadText(ProjectPath());
    size_t windows = 0;
    for (size_t at = text.find("<Window>"); at != std::string::npos;
         at = text.find("<Window>", at + 1))
        ++windows;
    EXPECT_EQ(windows, 2u);
    EXPECT_EQ(CopyFiles().size(), 3u);
}

TEST_F(ProjectCommandsTest, TheCommandLineOpensAProject)
{
    const std::string wav = WriteWav("a.wav", Pattern(50, 3));
    WriteText(ProjectPath(),
              HandWritten("9.0", WaveWindow("      <File>" + wav + "</File>\n", "5", "Named")));
    form->OpenCommandLine({ProjectPath()}, dir.string());
    EXPECT_EQ(form->GetProjectFile(), ProjectPath());
    ASSERT_EQ(Waves().size(), 1u);
    EXPECT_EQ(Waves()[0]->GetName(), "Named");
}

} // namespace

namespace {

// A fourth kind, unknown to every shell file: the generic commands, the action update and the
// project reach it through the registry alone.
constexpr DocumentKind SketchKind = DocumentKind(4);

class SketchKindUI final : public TDocumentKindUI
{
public:
    explicit SketchKindUI(TMainForm& form) : form(form) {}
    DocumentKind GetKind() const override { return SketchKind; }
    void InstallCommands() override {}
    TFileUnit* OpenFile(const std::string& path, const std::string&, bool, std::string&) override
    {
        opened.push_back(path);
        auto* window = new TMDIChildKelvorn;
        auto unit = std::make_unique<PlainDocument>(SketchKind);
        unit->SetFileName(path);
        window->SetUnit(std::move(unit));
        form.Documents().AddDocumentWindow(window);
        return window->GetUnit();
    }
    bool Save(TMDIChildKelvorn& window) override { return window.GetUnit()->Save(); }
    bool SaveAs(TMDIChildKelvorn&) override { return false; }
    void Revert(TMDIChildKelvorn&) override {}
    void EditProperties(TMDIChildKelvorn&) override {}
    void ArrangeActions() override { ++arranged; }
    void UpdateActions(TMDIChildKelvorn&) override
    {
        ++updated;
        form.Action("FileSave")->setEnabled(true);
    }
    void UpdateStatusPanels(TMDIChildKelvorn&) override {}

    TMainForm& form;
    std::vector<std::string> opened;
    int arranged = 0;
    int updated = 0;
};

TEST_F(ProjectCommandsTest, AFourthKindPlugsInThroughTheRegistryAlone)
{
    const DocumentKindFacts facts{SketchKind, "Sketch", ".kvx", "Sketch", "Sketches"};
    auto owned = std::make_unique<SketchKindUI>(*form);
    SketchKindUI& kind = *owned;
    form->Kinds().Register(std::move(owned), &facts);

    NewProject(ProjectPath());
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
    // The project opens it again through the kind.
    Trigger("ProjectClose");
    OpenProject(ProjectPath());
    EXPECT_EQ(kind.opened.size(), 2u);
    EXPECT_EQ(kind.opened.back(), Path("a.kvx"));
    form->Kinds().Unregister(SketchKind);
    RemoveDocumentKind(SketchKind);
}

} // namespace
