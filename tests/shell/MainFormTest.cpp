// The main window: its start, the command line, the action update of every kind, the action
// catalogue and its keys, text-input mode, modal dialogs and the tool windows.
#include "ShellSupport.h"

#include "general/random/RuntimeRandom.h"
#include "shell/base/AboutBox.h"
#include "shell/base/OKDialogs.h"
#include "shell/base/ToolWindow.h"
#include "sound/SineTable.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <cstring>
#include <map>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using MainFormTest = ShellTest;

// ---- Start ---------------------------------------------------------------------------------

TEST_F(MainFormTest, StartsWithCaptionSineTableStatusPanelsAndTheNameWindow)
{
    form = std::make_unique<TMainForm>();
    EXPECT_FALSE(form->UpdatedOnce());
    form->show();
    // The first update runs with the window and sees no document.
    EXPECT_TRUE(form->UpdatedOnce());
    EXPECT_EQ(form->LastUpdateKind(), DocumentKind::None);
    EXPECT_EQ(form->ArrangeCount(), 1);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Kelvorn 9.0"));
    EXPECT_EQ(KelvornTitle(), "Kelvorn 9.0");
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_TRUE(form->PlayRecordAvailable());
    ASSERT_NE(Sinus(), nullptr);
    EXPECT_EQ(Sinus()->Values(), TMainForm::SineTableValues);
    ASSERT_NE(form->EditNameWindow(), nullptr);
    EXPECT_TRUE(form->EditNameWindow()->isVisible());
    EXPECT_TRUE(A("EditNameAction")->isChecked());
    EXPECT_EQ(tempDir.CreateCalls(), 1);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(form->GetStatusPanel(i)->frameShadow(), i == 1 ? QFrame::Raised : QFrame::Sunken);
    EXPECT_EQ(form->GetStatusPanel(8), nullptr);
    EXPECT_EQ(form->GetStatusPanel(-1), nullptr);

    form->SetProjectFile("/songs/live.kvp");
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Kelvorn 9.0 - /songs/live.kvp"));
    // No argument opens nothing and leaves no project.
    form->OpenCommandLine({}, "/home/user");
    EXPECT_TRUE(form->GetProjectFile().empty());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Kelvorn 9.0"));
    // The sine table goes with the main window.
    form.reset();
    EXPECT_EQ(Sinus(), nullptr);
}

TEST_F(MainFormTest, WithoutTheTemporaryDirectoryPlayAndRecordStayOffForEveryWave)
{
    tempDir.FailCreation("/no/such/kelvorn-tmp");
    messages.Expect();
    Start();
    EXPECT_EQ(
        LastBox(),
        "Error: Could not create directory \"/no/such/kelvorn-tmp\". Play and Record disabled");
    EXPECT_EQ(messages.Shown().at(0).icon, MsgIcon::Warning);
    EXPECT_FALSE(form->PlayRecordAvailable());
    for (int32_t values : {100, 0}) {
        OpenWave("Wave", 1, values);
        for (const char* name : {"FilePlay", "FilePlayMax", "FileRecord", "FileStop", "FilePause"})
            EXPECT_FALSE(A(name)->isEnabled()) << name << values;
    }
}

// ---- Command line --------------------------------------------------------------------------

// Records what the command line asked to open; a project sets the main window's project file.
class RecordingOpener final : public DocumentOpener
{
public:
    explicit RecordingOpener(TMainForm& main) : main(main) {}
    void OpenProject(const std::string& path) override
    {
        opened = "project " + path;
        main.SetProjectFile(path);
    }
    void OpenFactory(const std::string& path) override { opened = "factory " + path; }
    void OpenMusic(const std::string& path) override { opened = "music " + path; }
    void OpenWave(const std::string& path) override { opened = "wave " + path; }

    std::string opened;

private:
    TMainForm& main;
};

TEST_F(MainFormTest, TheCommandLineOpensByTheExtensionOfTheFileNamePart)
{
    struct Row
    {
        const char* parameter;
        const char* opened; // "<kind> <absolute path>", or the box "icon|text"
    };
    const Row rows[] = {
        {"song.wav", "wave /home/user/work/song.wav"},
        {"SONG.KVM", "music /home/user/work/SONG.KVM"},
        {"/data/graph.KvF", "factory /data/graph.KvF"},
        {"gig.kvp", "project /home/user/work/gig.kvp"},
        {"./x.wav", "wave /home/user/work/x.wav"},
        {"../up/x.wav", "wave /home/user/up/x.wav"},
        {"/home/me/.cache/a.wav", "wave /home/me/.cache/a.wav"},
        {"~/.cache/a.wav", "wave /home/user/work/~/.cache/a.wav"},
        {"a.b.wav", "stop|Invalid extension \"b.wav\" used."},
        {"notes.txt", "stop|Invalid extension \"txt\" used."},
        {"trail.", "stop|Invalid extension \"\" used."},
        {"noext", "info|Cannot read the file: \"noext\" File has no extension"},
        {"/tmp/dir.d/file", "info|Cannot read the file: \"/tmp/dir.d/file\" File has no extension"},
        {"./", "info|Cannot read the file: \"./\" File has no extension"},
    };
    Start();
    RecordingOpener opener(*form);
    form->SetDocumentOpener(&opener);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.parameter);
        const std::string expected = row.opened;
        const bool refused = expected.find('|') != std::string::npos;
        opener.opened.clear();
        messages.Clear();
        form->SetProjectFile("/before/old.kvp");
        if (refused)
            messages.Expect();
        form->OpenCommandLine({row.parameter, "/ignored/second.wav"}, "/home/user/work");
        EXPECT_EQ(opener.opened, refused ? "" : expected);
        EXPECT_EQ(form->GetProjectFile(),
                  expected.rfind("project ", 0) == 0 ? expected.substr(8) : "");
        if (refused) {
            ASSERT_EQ(messages.Shown().size(), 1u);
            const ShownMessage& box = messages.Shown()[0];
            EXPECT_EQ(box.text, expected.substr(expected.find('|') + 1));
            EXPECT_EQ(box.caption, "File Error");
            EXPECT_EQ(box.icon, expected[0] == 's' ? MsgIcon::Stop : MsgIcon::Information);
            EXPECT_EQ(box.buttons, MsgButtons::Ok);
        }
    }
    StartupFile file = ClassifyStartupFile("dir.v2/take.one.WAV", "/x");
    EXPECT_EQ(file.kind, StartupFileKind::InvalidExtension);
    EXPECT_EQ(file.extension, "one.wav");
    EXPECT_EQ(file.path, "/x/dir.v2/take.one.WAV");
    EXPECT_EQ(ClassifyStartupFile("dir.v2/take", "/x").kind, StartupFileKind::NoExtension);
}

// ---- Commands of the main window -----------------------------------------------------------

TEST_F(MainFormTest, AboutHelpRandomizeOptionsAndClose)
{
    Start();
    dialogs.When("TAboutBox", DialogResult::Accepted);
    dialogs.When("TAboutBox", DialogResult::Accepted);
    A("HelpAbout")->trigger();
    A("HelpAbout")->trigger();
    EXPECT_EQ(form->findChildren<TAboutBox*>().size(), 1);
    for (const char* name : {"HelpContents", "HelpTopicSearch", "HelpOnHelp", "Options"})
        A(name)->trigger();
    EXPECT_EQ(help.Requests(),
              (std::vector<std::string>{"contents", "topic search", "help on help"}));

    // Randomize applies the seed on OK only.
    auto seed = [](const char* text) {
        return [text](ModalDialog& d) { DialogAs<TDlgResetDie>(d)->editSeedValue->setText(text); };
    };
    dialogs.When("TDlgResetDie", seed("0"), DialogResult::Accepted);
    A("RandomizeAction")->trigger();
    EXPECT_EQ(form->ResetDieProps().kind, TResetDieProps::SeedValue);
    EXPECT_EQ(NextRuntimeRandom(), 1.0 / 4294967296.0);
    dialogs.When("TDlgResetDie", seed("77"), DialogResult::Rejected);
    SetRuntimeRandomState(5);
    A("RandomizeAction")->trigger();
    EXPECT_EQ(RuntimeRandomState(), 5u);
    EXPECT_EQ(dialogs.Opened().size(), 4u);
    EXPECT_TRUE(dialogs.Unexpected().empty());

    // File Close closes the active window, and nothing without one.
    A("FileClose")->trigger();
    OpenWave("Wave 1");
    OpenWave("Wave 2");
    A("FileClose")->trigger();
    Flush();
    EXPECT_EQ(Names(), std::vector<std::string>{"Wave 1"});
    EXPECT_TRUE(messages.Shown().empty());
}

// ---- The action update ---------------------------------------------------------------------

// One situation and the states the update must give: "+A" enabled, "-A" disabled, "*A"
// checked, "~A" not checked, "!A" hidden, "^A" shown; "[M]" / "]M[" a menu shown / hidden,
// "{T}" / "}T{" a toolbar shown / hidden.
struct UpdateCase
{
    const char* name;
    void (*arrange)(ShellTest&, TMainForm&);
    const char* expected;
};

class MainFormUpdateTest : public ShellTest, public ::testing::WithParamInterface<UpdateCase>
{
public:
    using ShellTest::OpenFactory;
    using ShellTest::OpenWave;
};

TEST_P(MainFormUpdateTest, SetsEveryStateOfTheTable)
{
    TMainForm& main = Start();
    GetParam().arrange(*this, main);
    main.ActionListUpdate();
    std::istringstream words(GetParam().expected);
    std::string word;
    while (words >> word) {
        const char sign = word[0];
        const std::string name = word.substr(1, word.size() - (std::strchr("[]{}", sign) ? 2 : 1));
        if (sign == '[' || sign == ']') {
            EXPECT_EQ(MenuShown(name.c_str()), sign == '[') << word;
        } else if (sign == '{' || sign == '}') {
            EXPECT_EQ(main.ToolBar(name)->isHidden(), sign == '}') << word;
        } else {
            QAction* action = A(name.c_str());
            const bool state = std::strchr("+-", sign)   ? action->isEnabled()
                               : std::strchr("*~", sign) ? action->isChecked()
                                                         : action->isVisible();
            EXPECT_EQ(state, std::strchr("+*^", sign) != nullptr) << word;
        }
    }
    EXPECT_TRUE(messages.Unexpected().empty());
}

TUnitWave& Active(TMainForm& main)
{
    return *main.Documents().GetActiveUnitWave();
}

MainFormUpdateTest& U(ShellTest& t)
{
    return static_cast<MainFormUpdateTest&>(t);
}

// What every wave window shows, whatever its document.
#define WAVE_ARRANGEMENT                                                                           \
    " [MenuEdit] [MenuView] [MenuMake] [MenuEffects] [MenuWindow] [MenuFactory] ]MenuMusic["       \
    " {ToolBarWave1} {ToolBarWave2} {ToolBarWave3} }ToolBarMusic1{ }ToolBarMusic2{"                \
    " }ToolBarMusic3{ }ToolBarFact1{ ^ViewWave ^ViewVold ^ZoomIn ^NoZoom ^SelectWave"              \
    " !MusicDialog +DuplicateWave ^DuplicateWave -DuplicateMuz !DuplicateMuz -DuplicateFact"       \
    " !DuplicateFact +ViewWave +ProjectOpen +ProjectNew +WindowCascade +WindowTileHorizontal"      \
    " +WindowTileVertical +WindowMinimizeAll +WindowArrangeAll +HelpContents +HelpOnHelp"          \
    " +HelpAbout -ProjectClose -ProjectSave -ProjectExport -FileStop "

INSTANTIATE_TEST_SUITE_P(
    Table, MainFormUpdateTest,
    ::testing::Values(
        UpdateCase{"NoWindow", [](ShellTest&, TMainForm&) {},
                   "[MenuFile] [MenuProject] [MenuHelp] ]MenuEdit[ ]MenuView[ ]MenuMake["
                   " ]MenuEffects[ ]MenuMusic[ ]MenuFactory[ ]MenuWindow[ {ToolBarBasic}"
                   " }ToolBarWave1{ }ToolBarMusic1{ }ToolBarFact1{ -FileProperties -FileSave"
                   " -FileSaveAs -FileRevert -FilePlay -FilePlayMax -FileRecord -DuplicateWave"
                   " !DuplicateWave !DuplicateMuz !DuplicateFact -EditDelete -EditTrim"
                   " -EditClearClipboard -EditSwap -EditExtract -EditMix -EditCut -EditCopy"
                   " -EditPaste -ViewWave -ViewVold -MergeH -MergeV -SplitV -SplitH -Volume"
                   " -SntRunCrWnd -Undo -DeleteUndo -ProjectSave -FileStop +FilePause"
                   " +FileNewWave +FileOpenWave +FileNewMuz +FileOpenFactory +FileExit +FileClose"
                   " +RandomizeAction +keyH +keyAltD +ProjectOpen +HelpAbout +WindowCascade"
                   " *EditNameAction -MusicGenerate -MusicKeyF -SntValidate -SntModeDrag"},
        UpdateCase{"EmptyMonoWave", [](ShellTest& t, TMainForm&) { U(t).OpenWave("Wave 1"); },
                   WAVE_ARRANGEMENT "+FileProperties -FileSave -FileSaveAs -FileRevert -FilePlay"
                                    " -FilePlayMax +FileRecord +FilePause -EditDelete -EditCut"
                                    " -EditCopy -EditExtract -EditTrim -EditPaste -EditMix"
                                    " -EditSwap -EditClearClipboard *ViewWave +ViewVold ~ViewVold"
                                    " -MergeH -MergeV -SplitV -SplitH -Undo -DeleteUndo"
                                    " ~SelectWave"},
        UpdateCase{"MonoWaveWithCursor",
                   [](ShellTest& t, TMainForm& m) {
                       U(t).OpenWave("Wave 1", 1, 100);
                       Active(m).SetCursor(40);
                   },
                   WAVE_ARRANGEMENT "+FileProperties +FileSave +FileSaveAs -FileRevert +FilePlay"
                                    " +FilePlayMax -FileRecord +FilePause +EditDelete +EditCut"
                                    " +EditCopy +EditExtract -EditTrim -EditPaste -EditMix"
                                    " -EditSwap -EditClearClipboard +ViewVold -SplitV -MergeH"
                                    " +SplitH"},
        UpdateCase{"SelectionInside",
                   [](ShellTest& t, TMainForm& m) {
                       U(t).OpenWave("Wave 1", 1, 100);
                       Active(m).SetPart(1, 98);
                   },
                   WAVE_ARRANGEMENT "+EditTrim +SplitH +EditCut"},
        UpdateCase{"SelectionFromTheFirstSample",
                   [](ShellTest& t, TMainForm& m) {
                       U(t).OpenWave("Wave 1", 1, 100);
                       Active(m).SetPart(0, 50);
                   },
                   WAVE_ARRANGEMENT "+EditTrim -SplitH"},
        UpdateCase{"SelectionToTheLastSample",
                   [](ShellTest& t, TMainForm& m) {
                       U(t).OpenWave("Wave 1", 1, 100);
                       Active(m).SetPart(10, 99);
                   },
                   WAVE_ARRANGEMENT "+EditTrim -SplitH"},
        UpdateCase{"StereoWave", [](ShellTest& t, TMainForm&) { U(t).OpenWave("Wave 1", 2, 100); },
                   WAVE_ARRANGEMENT "+SplitV +FilePlay"},
        UpdateCase{"EmptyStereoWave", [](ShellTest& t, TMainForm&) { U(t).OpenWave("Wave 1", 2); },
                   WAVE_ARRANGEMENT "+SplitV +FileRecord"},
        UpdateCase{"ClipboardAndWave",
                   [](ShellTest& t, TMainForm& m) {
                       U(t).OpenWave("Wave 1", 1, 100);
                       m.Documents().SetClipBoardSound(Values(Steps(10)));
                   },
                   WAVE_ARRANGEMENT "+EditPaste +EditMix +EditSwap +EditClearClipboard"},
        UpdateCase{"ClipboardAndEmptyWave",
                   [](ShellTest& t, TMainForm& m) {
                       U(t).OpenWave("Wave 1");
                       m.Documents().SetClipBoardSound(Values(Steps(10)));
                   },
                   WAVE_ARRANGEMENT "+EditPaste +EditMix -EditSwap +EditClearClipboard"},
        UpdateCase{"Drawing",
                   [](ShellTest& t, TMainForm& m) {
                       U(t).OpenWave("Wave 1");
                       m.Documents().SetClipBoardSound(Values(Steps(10)));
                       Active(m).StartUserDrawing(TUnitWave::DrawLinear);
                   },
                   WAVE_ARRANGEMENT "-FileProperties +FileSaveAs -EditCut -EditDelete -EditPaste"
                                    " -EditMix -EditSwap +EditClearClipboard -ViewVold *DrawWaveLin"
                                    " ~DrawWave3G"},
        UpdateCase{"SmoothDrawing",
                   [](ShellTest& t, TMainForm& m) {
                       U(t).OpenWave("Wave 1");
                       Active(m).StartUserDrawing(TUnitWave::DrawParabola);
                   },
                   WAVE_ARRANGEMENT "~DrawWaveLin *DrawWave3G"},
        UpdateCase{"SavedWaveChanged",
                   [](ShellTest& t, TMainForm& m) {
                       U(t).OpenWave("Wave 1", 1, 100, "/w/a.wav");
                       Active(m).SetModified();
                   },
                   WAVE_ARRANGEMENT "+FileSave +FileRevert"},
        UpdateCase{"SavedWaveUnchanged",
                   [](ShellTest& t, TMainForm&) { U(t).OpenWave("Wave 1", 1, 100, "/w/a.wav"); },
                   WAVE_ARRANGEMENT "-FileSave -FileRevert +FileSaveAs"},
        UpdateCase{"TwoWindowsAndAFactory",
                   [](ShellTest& t, TMainForm&) {
                       U(t).OpenFactory("Factory 1", 1);
                       U(t).OpenWave("Wave 1", 1, 10);
                   },
                   WAVE_ARRANGEMENT "+MergeH +MergeV +SntRunAtWnd"},
        UpdateCase{"UndoRecordAndProject",
                   [](ShellTest& t, TMainForm& m) {
                       U(t).OpenWave("Wave 1", 1, 10);
                       m.Documents().MakeUndo(Active(m));
                       m.SetProjectFile("/p/x.kvp");
                   },
                   " +Undo +DeleteUndo +ProjectClose +ProjectSave +ProjectExport"},
        UpdateCase{"UndoRecordOfADrawing",
                   [](ShellTest& t, TMainForm& m) {
                       U(t).OpenWave("Wave 1");
                       Active(m).StartUserDrawing(TUnitWave::DrawLinear);
                       m.Documents().MakeUndo(Active(m));
                   },
                   "-Undo -DeleteUndo"}),
    [](const ::testing::TestParamInfo<UpdateCase>& info) { return std::string(info.param.name); });

TEST_F(MainFormTest, MenusAndToolbarsAreReArrangedOnlyWhenTheKindChanges)
{
    TMainForm& main = Start();
    const int start = main.ArrangeCount();
    main.ActionListUpdate();
    EXPECT_EQ(main.ArrangeCount(), start);
    TMDIChildKelvorn* wave1 = OpenWave("Wave 1", 1, 10);
    TMDIChildKelvorn* wave2 = OpenWave("Wave 2");
    main.Frame()->setActiveSubWindow(wave1);
    main.ActionListUpdate();
    EXPECT_EQ(main.ArrangeCount(), start + 1);
    EXPECT_EQ(main.LastUpdateKind(), DocumentKind::Wave);
    // A re-arrangement shows what the kind shows, even when someone changed it in between.
    main.ToolBar("ToolBarWave2")->hide();
    main.ActionListUpdate();
    EXPECT_TRUE(main.ToolBar("ToolBarWave2")->isHidden());

    MusicWindow* music = OpenMusic("Music 1");
    EXPECT_EQ(main.ArrangeCount(), start + 2);
    EXPECT_EQ(main.LastUpdateKind(), DocumentKind::Music);
    EXPECT_TRUE(MenuShown("MenuMusic"));
    EXPECT_FALSE(MenuShown("MenuEdit"));
    EXPECT_FALSE(MenuShown("MenuFactory"));
    EXPECT_FALSE(main.ToolBar("ToolBarMusic2")->isHidden());
    EXPECT_TRUE(main.ToolBar("ToolBarWave1")->isHidden());
    EXPECT_TRUE(A("MusicDialog")->isVisible());
    EXPECT_FALSE(A("ViewWave")->isVisible());

    main.Frame()->setActiveSubWindow(wave2);
    main.ActionListUpdate();
    EXPECT_EQ(main.ArrangeCount(), start + 3);
    EXPECT_FALSE(main.ToolBar("ToolBarWave2")->isHidden());
    delete music;
    delete wave1;
    delete wave2;
    Flush();
    main.ActionListUpdate();
    main.ActionListUpdate();
    EXPECT_EQ(main.ArrangeCount(), start + 4);
    EXPECT_EQ(main.LastUpdateKind(), DocumentKind::None);
}

TEST_F(MainFormTest, AMusicWindowAnswersItsActionsAndOnlyItsDuplicate)
{
    Start();
    MusicWindow* music = OpenMusic("Music 1");
    EXPECT_TRUE(A("DuplicateMuz")->isEnabled());
    EXPECT_TRUE(A("DuplicateMuz")->isVisible());
    EXPECT_FALSE(A("DuplicateWave")->isVisible());
    EXPECT_FALSE(A("SntRunCrWnd")->isEnabled());
    EXPECT_TRUE(A("FilePlay")->isEnabled());
    EXPECT_TRUE(A("FileSaveAs")->isEnabled());
    EXPECT_FALSE(A("FileSave")->isEnabled());
    EXPECT_FALSE(A("MusicNote8")->isEnabled());

    music->enabled = {"MusicNote8", "MusicKeyF", "MusicModeAdd"};
    music->checked = {"MusicNote8", "MusicModeAdd", "MusicModeEdit"};
    static_cast<PlainDocument*>(music->GetUnit())->modified = true;
    form->ActionListUpdate();
    EXPECT_TRUE(A("MusicNote8")->isEnabled() && A("MusicNote8")->isChecked());
    EXPECT_FALSE(A("MusicNote4")->isEnabled());
    EXPECT_TRUE(A("MusicModeEdit")->isChecked());
    EXPECT_FALSE(A("MusicModeEdit")->isEnabled());
    EXPECT_TRUE(A("MusicKeyF")->isEnabled());
    EXPECT_FALSE(A("MusicKeyF")->isChecked());
    EXPECT_TRUE(A("FileSave")->isEnabled());
    EXPECT_FALSE(A("FileRevert")->isEnabled());
    EXPECT_GE(music->statusUpdates, 1);
}

TEST_F(MainFormTest, FactoryWindowsCheckTheirModeAndLeaveTheRunCreateStateToWaves)
{
    Start();
    for (uint8_t kind : {uint8_t(1), uint8_t(2), uint8_t(3), uint8_t(0)}) {
        TMDIChildKelvorn* wave = OpenWave("Wave");
        FactoryWindow* factory = OpenFactory("Factory", kind);
        const bool runs = kind == 0 || kind == 2;
        EXPECT_EQ(A("SntRunCrWnd")->isEnabled(), runs) << int(kind);
        EXPECT_TRUE(A("SntValidate")->isEnabled());
        EXPECT_FALSE(A("SntRunAtWnd")->isEnabled());
        EXPECT_FALSE(A("FilePlay")->isEnabled());
        form->Frame()->setActiveSubWindow(wave);
        form->ActionListUpdate();
        EXPECT_EQ(A("SntRunCrWnd")->isEnabled(), runs) << int(kind);
        delete factory;
        delete wave;
        Flush();
    }
    FactoryWindow* factory = OpenFactory("Factory 1", 0);
    EXPECT_TRUE(A("SntModeDrag")->isChecked());
    EXPECT_FALSE(A("SntModeConn")->isChecked() || A("SntShowHints")->isChecked());
    factory->mode = SountoryWindowState::ModeConnect;
    factory->hints = true;
    form->ActionListUpdate();
    EXPECT_FALSE(A("SntModeDrag")->isChecked());
    EXPECT_TRUE(A("SntModeConn")->isChecked() && A("SntShowHints")->isChecked());
    EXPECT_TRUE(A("DuplicateFact")->isVisible());
    EXPECT_FALSE(A("DuplicateMuz")->isVisible() || A("MusicDialog")->isVisible());
    EXPECT_TRUE(MenuShown("MenuFactory"));
    EXPECT_FALSE(MenuShown("MenuMusic"));
    EXPECT_FALSE(form->ToolBar("ToolBarFact1")->isHidden());
}

TEST_F(MainFormTest, AWaveFillsPanelsTwoToSevenAndTheIdleTimerUpdates)
{
    Start();
    TMDIChildKelvorn* wave = OpenWave("Wave 1", 2, 44100);
    for (int panel = 2; panel <= 7; ++panel)
        EXPECT_EQ(form->GetStatusPanel(panel)->text().toStdString(),
                  UnitWaveOf(wave)->StatusText(panel))
            << panel;
    EXPECT_FALSE(form->GetStatusPanel(7)->text().isEmpty());
    delete wave;
    Flush();
    form->ActionListUpdate();
    for (int panel = 2; panel <= 7; ++panel)
        EXPECT_TRUE(form->GetStatusPanel(panel)->text().isEmpty()) << panel;

    OpenWave("Wave 2", 1, 10);
    form->Documents().SetClipBoardSound(Values(Steps(3)));
    EXPECT_FALSE(A("EditPaste")->isEnabled());
    // Nothing but the timer runs the update while the test waits.
    EXPECT_TRUE(QTest::qWaitFor([this] { return A("EditPaste")->isEnabled(); }, 10000));
}

// ---- The catalogue and its keys ------------------------------------------------------------

TEST_F(MainFormTest, ActionsHaveTheirCaptionsShortcutsAndHints)
{
    const char* const rows[][3] = {
        {"FileNewWave", "&New wave...", "Ctrl+N"},
        {"FileOpenMuz", "&Open music...", "Ctrl+Shift+O"},
        {"FileSaveAs", "Save &As...", "Ctrl+A"},
        {"FileRecord", "&Record", "Alt+R"},
        {"FilePlayMax", "Play &Maximal", "Shift+P"},
        {"ProjectOpen", "&Open Project...", "Shift+Alt+O"},
        {"ProjectSave", "&Save Project", "Shift+S"},
        {"EditTrim", "&Trim", "Ctrl+Shift+Del"},
        {"EditClearClipboard", "Clear Clipboard", "Shift+Alt+Del"},
        {"EditNameAction", "Dialogbox Edit &Name", "N"},
        {"Options", "Options...", ""},
        {"SelectWave", "&Dialogbox Select Wave...", "Q"},
        {"DrawWave3G", "Draw Wave Smooth", "Shift+Alt+D"},
        {"MoveH", "Move &Horizontally...", "H"},
        {"FilterBlock", "FilterBlock", "Ctrl+Alt+B"},
        {"MusicNote64", "Not&e 64", ""},
        {"MusicModeAdd", "&Add", "Alt+Ins"},
        {"MusicModeEdit", "&Edit", "Alt+Home"},
        {"MusicPointAdd", "&Add", "."},
        {"MusicPointDelete", "&Delete", "Shift+."},
        {"MusicQuintuplet", "Q&uintuplet", "Ctrl+5"},
        {"SntRunCrWnd", "Run &Factory Create Wave", "Alt+M"},
        {"keyShiftCtrlD", "keyShiftCtrlD", "Ctrl+Shift+D"},
        {"keyShiftAltG", "keyShiftAltG", "Shift+Alt+G"},
        {"WindowTileHorizontal", "Tile &Horizontally", "F4"},
        {"HelpOnHelp", "&Help on Help", "Ctrl+F1"},
        {"HelpAbout", "&About...", "Alt+F1"},
    };
    Start();
    for (const auto& row : rows) {
        EXPECT_EQ(A(row[0])->text().toStdString(), row[1]);
        EXPECT_EQ(A(row[0])->shortcut(), QKeySequence(QString::fromLatin1(row[2]))) << row[0];
    }
    EXPECT_EQ(A("FilePlay")->toolTip(), QStringLiteral("Play"));
    EXPECT_EQ(A("FilePlay")->statusTip(), QStringLiteral("Play the Window"));
    EXPECT_EQ(A("Undo")->statusTip(), QStringLiteral("Undo last wave action"));
    EXPECT_EQ(A("FileExit")->statusTip(), QStringLiteral("Exit the Kelvorn"));

    std::map<std::string, int> names;
    int keys = 0;
    for (const ActionSpec& spec : ActionCatalogue()) {
        ++names[spec.name];
        if (spec.category == ActionCategory::Key) {
            ++keys;
            EXPECT_STREQ(spec.caption, spec.name);
        } else {
            EXPECT_EQ(QString::fromLatin1(spec.hint).count(QLatin1Char('|')), 1) << spec.name;
            EXPECT_FALSE(ShortHint(spec.hint).isEmpty() || LongHint(spec.hint).isEmpty());
        }
    }
    for (const auto& [name, count] : names)
        EXPECT_EQ(count, 1) << name;
    EXPECT_EQ(keys, 23);
    EXPECT_EQ(ActionCatalogue().size(), 173u);

    // Apart from the five routed keys, no key belongs to two actions at once.
    std::map<QString, std::vector<std::string>> byKey;
    for (QAction* action : form->Actions().All())
        if (!action->shortcut().isEmpty())
            byKey[action->shortcut().toString()].push_back(action->objectName().toStdString());
    std::vector<QString> shared;
    for (const auto& [key, owners] : byKey)
        if (owners.size() > 1)
            shared.push_back(key);
    std::vector<QString> routed;
    for (const QKeySequence& key : form->Router().Keys())
        routed.push_back(key.toString());
    std::sort(routed.begin(), routed.end());
    EXPECT_EQ(shared, routed);
    EXPECT_EQ(routed.size(), 5u);
    for (const auto& [key, owners] : byKey)
        for (const std::string& owner : owners)
            EXPECT_EQ(A(owner.c_str())->shortcutContext(),
                      std::count(routed.begin(), routed.end(), key) ? Qt::WidgetShortcut
                                                                    : Qt::ApplicationShortcut)
                << owner;
}

struct RouteCase
{
    const char* kind;
    QKeySequence key;
    const char* runs; // "" for none
};

class ShortcutRouterTest : public ShellTest, public ::testing::WithParamInterface<RouteCase>
{
};

TEST_P(ShortcutRouterTest, RunsTheActionOfTheActiveKind)
{
    TMainForm& main = Start();
    const std::string kind = GetParam().kind;
    if (kind == "wave" || kind == "drawing") {
        OpenFactory("Factory 1", 0);
        OpenWave("Wave 1", 1, 100);
        if (kind == "drawing") {
            OpenWave("Wave 2");
            main.Documents().GetActiveUnitWave()->StartUserDrawing(TUnitWave::DrawLinear);
        }
    } else if (kind == "music") {
        OpenMusic("Music 1")->enabled = {"MusicKeyF", "MusicGenerate"};
    } else if (kind == "factory") {
        OpenFactory("Factory 1", 2);
    }
    main.ActionListUpdate();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    main.SetTextInputMode(false);

    std::vector<std::pair<QAction*, std::unique_ptr<QSignalSpy>>> contenders;
    for (QAction* action : main.Actions().All())
        if (action->shortcut() == GetParam().key)
            contenders.emplace_back(action,
                                    std::make_unique<QSignalSpy>(action, &QAction::triggered));
    ASSERT_EQ(contenders.size(), 2u);
    QAction* target = main.Router().Target(GetParam().key);
    EXPECT_EQ(target ? target->objectName().toStdString() : std::string(), GetParam().runs);
    // The key itself, as the user presses it.
    QTest::keySequence(&main, GetParam().key);
    QCoreApplication::processEvents();
    for (const auto& [action, spy] : contenders)
        EXPECT_EQ(spy->count(), action->objectName() == GetParam().runs ? 1 : 0)
            << action->objectName().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ShortcutRouterTest,
    ::testing::Values(RouteCase{"none", QKeySequence(Qt::Key_V), ""},
                      RouteCase{"wave", QKeySequence(Qt::Key_V), "Volume"},
                      RouteCase{"factory", QKeySequence(Qt::Key_V), "SntValidate"},
                      RouteCase{"music", QKeySequence(Qt::Key_V), ""},
                      RouteCase{"wave", QKeySequence(Qt::Key_F), "SntRunAtWnd"},
                      RouteCase{"music", QKeySequence(Qt::Key_F), "MusicKeyF"},
                      RouteCase{"factory", QKeySequence(Qt::Key_F), ""},
                      RouteCase{"wave", QKeySequence(Qt::Key_H), "MoveH"},
                      RouteCase{"drawing", QKeySequence(Qt::Key_H), ""},
                      RouteCase{"music", QKeySequence(Qt::Key_H), "keyH"},
                      RouteCase{"none", QKeySequence(Qt::Key_H), ""},
                      RouteCase{"wave", QKeySequence(Qt::ALT | Qt::Key_D), "keyAltD"},
                      RouteCase{"music", QKeySequence(Qt::ALT | Qt::Key_D), "keyAltD"},
                      RouteCase{"factory", QKeySequence(Qt::ALT | Qt::Key_D), "SntModeDrag"},
                      RouteCase{"music", QKeySequence(Qt::ALT | Qt::Key_M), "MusicGenerate"},
                      RouteCase{"factory", QKeySequence(Qt::ALT | Qt::Key_M), "SntRunCrWnd"},
                      RouteCase{"wave", QKeySequence(Qt::ALT | Qt::Key_M), "SntRunCrWnd"},
                      RouteCase{"none", QKeySequence(Qt::ALT | Qt::Key_M), ""}),
    [](const ::testing::TestParamInfo<RouteCase>& info) {
        std::string name =
            std::string(info.param.kind) + "_" + info.param.key.toString().toStdString();
        std::replace_if(
            name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
        return name;
    });

// An action's key beats the menu bar's mnemonic while the action is enabled.
TEST_F(MainFormTest, AnEnabledActionTakesItsKeyFromTheMenuBar)
{
    TMainForm& main = Start();
    QSignalSpy freq(A("MakeMFreq"), &QAction::triggered);
    QSignalSpy echo(A("RndEcho"), &QAction::triggered);
    EXPECT_EQ(main.Router().MenuKeyOwner(QKeySequence(Qt::ALT | Qt::Key_F)), nullptr);
    EXPECT_EQ(main.Router().MenuKeyOwner(QKeySequence(Qt::ALT | Qt::Key_P)), A("keyAltP"));
    EXPECT_EQ(main.Router().MenuKeyOwner(QKeySequence(Qt::CTRL | Qt::Key_F)), nullptr);
    OpenWave("Wave 1", 1, 100);
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    main.SetTextInputMode(false);
    EXPECT_EQ(main.Router().MenuKeyOwner(QKeySequence(Qt::ALT | Qt::Key_F)), A("MakeMFreq"));
    QTest::keyClick(&main, Qt::Key_F, Qt::AltModifier);
    QTest::keyClick(&main, Qt::Key_E, Qt::AltModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(freq.count(), 1);
    EXPECT_EQ(echo.count(), 1);
}

// ---- Text-input mode -----------------------------------------------------------------------

bool Focus(QWidget* window)
{
    window->activateWindow();
    const bool focused = QTest::qWaitFor(
        [window] { return QGuiApplication::focusWindow() == window->windowHandle(); });
    QCoreApplication::processEvents();
    return focused;
}

TEST_F(MainFormTest, TheNameWindowTypesLettersWhereTheMainWindowsKeysWouldRunActions)
{
    Start();
    OpenWave("Wave 1", 1, 100);
    TDlgEditName* editName = form->EditNameWindow();
    ASSERT_TRUE(Focus(editName));
    EXPECT_TRUE(form->TextInputMode());
    ASSERT_TRUE(Focus(form.get()));
    EXPECT_FALSE(form->TextInputMode());
    ASSERT_TRUE(Focus(editName));
    EXPECT_TRUE(form->TextInputMode());
    QLineEdit* field = editName->editName;
    field->setFocus();
    field->clear();

    QSignalSpy play(A("FilePlay"), &QAction::triggered);
    QSignalSpy newWave(A("FileNewWave"), &QAction::triggered);
    QTest::keyClicks(field, "pabc");
    QTest::keyClick(field, Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_F1);
    EXPECT_EQ(play.count() + newWave.count(), 0);
    EXPECT_TRUE(help.Requests().empty());
    // The editing keys keep their effect.
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClick(field, Qt::Key_End);
    QTest::keyClick(field, Qt::Key_Left);
    QTest::keyClicks(field, "x");
    EXPECT_EQ(field->text(), QStringLiteral("abxc"));
    // Enter renames the active document, Tab moves on to the OK button.
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(form->Documents().GetActiveUnit()->GetName(), "abxc");
    QTest::keyClick(field, Qt::Key_Tab);
    EXPECT_TRUE(editName->btnOk->hasFocus());
    for (int key :
         {Qt::Key_Tab, Qt::Key_Return, Qt::Key_Enter, Qt::Key_End, Qt::Key_Home, Qt::Key_Left,
          Qt::Key_Up, Qt::Key_Right, Qt::Key_Down, Qt::Key_Insert, Qt::Key_Delete})
        EXPECT_TRUE(TKeyboardHook::KeepsEffect(key)) << key;
    for (int key : {Qt::Key_P, Qt::Key_F1, Qt::Key_Space, Qt::Key_Escape, Qt::Key_PageUp,
                    Qt::Key_Backspace, Qt::Key_Period})
        EXPECT_FALSE(TKeyboardHook::KeepsEffect(key)) << key;

    // The same keys fire with the mode off: the shortcuts work application-wide.
    form->SetTextInputMode(false);
    QTest::keyClick(field, Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_F1);
    EXPECT_EQ(newWave.count(), 1);
    EXPECT_EQ(help.Requests(), std::vector<std::string>{"contents"});
    // A document window becoming active leaves the mode too.
    form->SetTextInputMode(true);
    OpenWave("Wave 2");
    EXPECT_FALSE(form->TextInputMode());
}

// ---- Modal dialogs -------------------------------------------------------------------------

struct ModalCase
{
    const char* name;
    const char* kind; // the document active beneath the dialog
    bool textInput;   // the mode as the dialog opens (a box of a tool window)
};

class ModalDialogKeysTest : public ShellTest, public ::testing::WithParamInterface<ModalCase>
{
};

// The keys go to the focused widget of a dialog in its own modal loop, as the user types them.
TEST_P(ModalDialogKeysTest, TheMainWindowsKeysRunNothingBeneathItAndTheDialogKeepsItsOwn)
{
    TMainForm& main = Start();
    if (std::string(GetParam().kind) == "wave")
        OpenWave("Wave 1", 1, 100);
    else
        OpenFactory("Factory 1", 2);
    // The actions run no command here: only whether they are triggered counts.
    QObject listener;
    std::vector<std::string> ran;
    for (QAction* action : main.Actions().All()) {
        const std::string name = action->objectName().toStdString();
        main.SetCommand(name, {});
        QObject::connect(action, &QAction::triggered, &listener,
                         [&ran, name] { ran.push_back(name); });
    }
    main.ActionListUpdate();
    // Every key the main window answers: the shortcuts and the menu bar's mnemonics; and the
    // action each runs without a dialog (the router's choice for a routed key).
    std::vector<QKeySequence> keys;
    auto add = [&keys](const QKeySequence& key) {
        if (!key.isEmpty() && std::find(keys.begin(), keys.end(), key) == keys.end())
            keys.push_back(key);
    };
    for (QAction* action : main.Actions().All())
        add(action->shortcut());
    for (QMenu* menu : main.Menus())
        add(QKeySequence::mnemonic(menu->title()));
    const std::vector<QKeySequence> routed = main.Router().Keys();
    std::vector<std::pair<QKeySequence, QAction*>> owned;
    for (const QKeySequence& key : keys) {
        QAction* owner = nullptr;
        if (std::find(routed.begin(), routed.end(), key) != routed.end())
            owner = main.Router().Target(key);
        else
            for (QAction* action : main.Actions().All())
                if (!owner && action->shortcut() == key && action->isEnabled())
                    owner = action;
        if (owner)
            owned.emplace_back(key, owner);
    }
    ASSERT_GT(keys.size(), 100u);
    ASSERT_GT(owned.size(), 10u);
    if (GetParam().textInput) {
        ASSERT_TRUE(Focus(main.EditNameWindow()));
        ASSERT_TRUE(main.TextInputMode());
    } else {
        ASSERT_TRUE(Focus(&main));
    }

    TOKHelpRightDlg dialog(&main);
    dialog.SetHelpContext(77);
    std::string stoppedAt;
    bool done = false;
    bool modeInDialog = false;
    QTimer::singleShot(0, &dialog, [&] {
        if (!QTest::qWaitForWindowActive(&dialog)) {
            stoppedAt = "the dialog never became active";
            dialog.reject();
            return;
        }
        modeInDialog = form->TextInputMode();
        for (const QKeySequence& key : keys) {
            QWidget* focus = QApplication::focusWidget();
            QTest::keySequence(focus ? focus : &dialog, key);
            QCoreApplication::processEvents(); // a trigger the key may have queued
            if (!dialog.isVisible()) {
                stoppedAt = key.toString().toStdString() + " closed the dialog";
                return;
            }
        }
        // A mnemonic clicks its button after a short press: Alt+H is Help.
        if (!QTest::qWaitFor([this] { return !help.Requests().empty(); }, 2000))
            stoppedAt = "no help was asked for";
        done = true;
        dialog.reject();
    });
    // Should the keys never finish, this ends the loop and the checks below fail.
    QTimer::singleShot(60000, &dialog, [&dialog] { dialog.done(2); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_TRUE(done) << stoppedAt;
    EXPECT_EQ(modeInDialog, GetParam().textInput);
    EXPECT_EQ(ran, std::vector<std::string>{});
    EXPECT_EQ(help.Requests(), std::vector<std::string>{"context 77"});

    // Without the dialog each key with an enabled action runs exactly that action.
    ASSERT_TRUE(Focus(&main));
    main.SetTextInputMode(false);
    for (const auto& [key, owner] : owned) {
        ran.clear();
        QTest::keySequence(&main, key);
        QCoreApplication::processEvents();
        EXPECT_EQ(ran, std::vector<std::string>{owner->objectName().toStdString()})
            << key.toString().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, ModalDialogKeysTest,
                         ::testing::Values(ModalCase{"OverAWave", "wave", false},
                                           ModalCase{"OverAFactory", "factory", false},
                                           ModalCase{"FromATextInputWindow", "wave", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A command asked for directly runs nothing either, and leaves its check mark.
TEST_F(MainFormTest, ATriggerInsideAModalDialogRunsNoCommand)
{
    TMainForm& main = Start();
    OpenFactory("Factory 1", 2);
    int runs = 0;
    main.SetCommand("SntShowHints", [&runs] { ++runs; });
    const bool checked = A("SntShowHints")->isChecked();
    QDialog dialog(&main);
    bool routed = true;
    QTimer::singleShot(0, &dialog, [&] {
        A("SntShowHints")->trigger();
        routed = main.Router().Press(QKeySequence(Qt::ALT | Qt::Key_D));
        dialog.accept();
    });
    QTimer::singleShot(10000, &dialog, [&dialog] { dialog.done(2); });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(runs, 0);
    EXPECT_FALSE(routed);
    EXPECT_EQ(A("SntShowHints")->isChecked(), checked);
    A("SntShowHints")->trigger();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(main.Router().Press(QKeySequence(Qt::ALT | Qt::Key_D)));
}

// ---- Tool windows --------------------------------------------------------------------------

TEST_F(MainFormTest, TheNameWindowIsMadeOnceAndShowsTheActiveDocumentOrNone)
{
    TMainForm& main = Start();
    TDlgEditName* editName = main.EditNameWindow();
    A("EditNameAction")->trigger();
    EXPECT_FALSE(editName->isVisible() || A("EditNameAction")->isChecked());
    A("EditNameAction")->trigger();
    EXPECT_TRUE(editName->isVisible() && A("EditNameAction")->isChecked());
    // Its own close box hides it and unchecks the action.
    editName->close();
    EXPECT_FALSE(A("EditNameAction")->isChecked());
    A("EditNameAction")->trigger();
    EXPECT_EQ(main.EditNameWindow(), editName);
    EXPECT_EQ(main.ToolSlot(TMainForm::Tool::EditName).Creations(), 1);

    TMDIChildKelvorn* music = OpenMusic("Music 1");
    EXPECT_EQ(editName->editName->text(), QStringLiteral("Music 1"));
    TMDIChildKelvorn* wave = OpenWave("Wave 1");
    EXPECT_EQ(editName->editName->text(), QStringLiteral("Wave 1"));
    // A refused name stays in the field.
    editName->editName->setText(QStringLiteral("a<b"));
    messages.Expect();
    editName->btnOk->click();
    EXPECT_EQ(LastBox(), "Input Error: A name may not contain \"<\" or \">\".");
    EXPECT_EQ(editName->editName->text(), QStringLiteral("a<b"));
    EXPECT_EQ(main.Documents().GetActiveUnit()->GetName(), "Wave 1");
    wave->close();
    music->close();
    EXPECT_TRUE(editName->editName->text().isEmpty());
    EXPECT_FALSE(editName->editName->isEnabled() || editName->btnOk->isEnabled());
    Flush();
}

// A Select and Zoom window that records whom it follows.
class FakeSelZoom final : public QWidget, public SelZoomFollower
{
public:
    explicit FakeSelZoom(QWidget* owner) : QWidget(owner) {}
    void SetChildWave(TMDIChildKelvorn* window) override { followed.push_back(window); }
    void SelectionChanged(TMDIChildKelvorn*) override { ++selections; }
    void ZoomChanged(TMDIChildKelvorn*, int pane) override { zooms.push_back(pane); }

    std::vector<TMDIChildKelvorn*> followed;
    int selections = 0;
    std::vector<int> zooms;
};

TEST_F(MainFormTest, SelectAndZoomIsMadeOnceKeptAndFollowsTheWaveWindows)
{
    TMainForm& main = Start();
    // Nothing shows while nobody can make the window.
    A("SelectWave")->trigger();
    EXPECT_FALSE(main.ToolSlot(TMainForm::Tool::SelZoom).Exists());
    EXPECT_FALSE(A("SelectWave")->isChecked());
    int made = 0;
    main.SetToolWindowMaker(TMainForm::Tool::SelZoom, [&made](QWidget* owner) {
        ++made;
        return new FakeSelZoom(owner);
    });
    for (int i = 0; i < 3; ++i) {
        A("SelectWave")->trigger();
        EXPECT_TRUE(A("SelectWave")->isChecked());
        A("SelectWave")->trigger();
        EXPECT_FALSE(A("SelectWave")->isChecked());
    }
    EXPECT_EQ(made, 1);
    auto* selZoom = static_cast<FakeSelZoom*>(main.ToolSlot(TMainForm::Tool::SelZoom).Existing());
    TMDIChildKelvorn* behind = OpenWave("Wave 0", 1, 10);
    TMDIChildKelvorn* wave = OpenWave("Wave 1", 1, 10);
    // Only the active wave window's zoom reaches it.
    main.Link().WaveZoomChanged(behind, 1);
    main.Link().WaveZoomChanged(wave, 2);
    EXPECT_EQ(selZoom->zooms, std::vector<int>{2});
    OpenMusic("Music 1");
    main.Link().WaveZoomChanged(wave, 1);
    EXPECT_EQ(selZoom->zooms, std::vector<int>{2});
    ASSERT_GE(selZoom->followed.size(), 2u);
    EXPECT_EQ(selZoom->followed[selZoom->followed.size() - 2], wave);
    EXPECT_EQ(selZoom->followed.back(), nullptr);
    main.Link().WaveSelectionChanged(*UnitWaveOf(wave));
    EXPECT_EQ(selZoom->selections, 1);
}

} // namespace
