#include "MainFormTestSupport.h"

#include "general/random/RuntimeRandom.h"
#include "shell/base/QtModalDialog.h"
#include "shell/base/ToolWindow.h"
#include "shell/base/AboutBox.h"
#include "sound/SineTable.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolBar>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

// ---- Construction -------------------------------------------------------------------------------

TEST_F(MainFormTest, StartsWithCaptionSineTableAndTheEditNameWindowShown)
{
    TMainForm& main = Start();
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Kelvorn 9.0"));
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_TRUE(main.PlayRecordAvailable());
    ASSERT_NE(Sinus(), nullptr);
    EXPECT_EQ(Sinus()->Values(), TMainForm::SineTableValues);
    ASSERT_NE(main.EditNameWindow(), nullptr);
    EXPECT_TRUE(main.EditNameWindow()->isVisible());
    EXPECT_TRUE(A("EditNameAction")->isChecked());
    EXPECT_EQ(tempDir.CreateCalls(), 1);
    EXPECT_TRUE(main.GetProjectFile().empty());
    EXPECT_EQ(main.Documents().GetUndo(), nullptr);
    EXPECT_FALSE(main.Documents().HasClipBoardSound());
    EXPECT_FALSE(main.TextInputMode() && !main.EditNameWindow()->isActiveWindow());
}

TEST_F(MainFormTest, TheFirstUpdateSeesNoDocumentAfterTheKindBeforeAnyUpdate)
{
    form = std::make_unique<TMainForm>();
    EXPECT_FALSE(form->UpdatedOnce());
    EXPECT_EQ(form->ArrangeCount(), 0);
    form->show();
    EXPECT_TRUE(form->UpdatedOnce());
    EXPECT_EQ(form->LastUpdateKind(), DocumentKind::None);
    EXPECT_EQ(form->ArrangeCount(), 1);
    EXPECT_FALSE(MenuShown("MenuEdit"));
}

TEST_F(MainFormTest, TheSineTableGoesWithTheMainWindow)
{
    Start();
    ASSERT_NE(Sinus(), nullptr);
    form.reset();
    EXPECT_EQ(Sinus(), nullptr);
}

TEST_F(MainFormTest, WithoutTheTemporaryDirectoryPlayAndRecordStayOffForEveryWave)
{
    tempDir.FailCreation("/no/such/kelvorn-tmp");
    messages.Expect();
    TMainForm& main = Start();
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text,
              "Could not create directory \"/no/such/kelvorn-tmp\". Play and Record disabled");
    EXPECT_EQ(messages.Shown()[0].caption, "Error");
    EXPECT_EQ(messages.Shown()[0].icon, MsgIcon::Warning);
    EXPECT_FALSE(main.PlayRecordAvailable());

    OpenWave("Wave 1", 1, 100);
    OpenWave("Wave 2");
    for (TMDIChildKelvorn* window : main.Documents().DocumentWindows()) {
        main.Frame()->setActiveSubWindow(window);
        main.ActionListUpdate();
        for (const char* name : {"FilePlay", "FilePlayMax", "FileRecord", "FileStop", "FilePause"})
            EXPECT_FALSE(A(name)->isEnabled()) << name;
    }
}

TEST_F(MainFormTest, StatusBarHasEightFixedPanelsWithTheSecondRaised)
{
    TMainForm& main = Start();
    for (int i = 0; i < 8; ++i) {
        QLabel* panel = main.GetStatusPanel(i);
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->minimumWidth(), TMainForm::StatusPanelWidths[size_t(i)]);
        EXPECT_EQ(panel->maximumWidth(), TMainForm::StatusPanelWidths[size_t(i)]);
        EXPECT_EQ(panel->frameShadow(), i == 1 ? QFrame::Raised : QFrame::Sunken) << i;
    }
    EXPECT_EQ(main.GetStatusPanel(8), nullptr);
    EXPECT_EQ(main.GetStatusPanel(-1), nullptr);
    const std::array<int, 8> widths{300, 170, 108, 82, 45, 24, 65, 60};
    EXPECT_EQ(TMainForm::StatusPanelWidths, widths);
}

TEST_F(MainFormTest, WithoutAnArgumentNothingOpensAndOnlyFileProjectAndHelpShow)
{
    TMainForm& main = Start();
    main.SetProjectFile("/old/project.kvp");
    main.OpenCommandLine({}, "/home/user");
    main.ActionListUpdate();
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_TRUE(main.GetProjectFile().empty());
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Kelvorn 9.0"));
    EXPECT_TRUE(main.Documents().DocumentWindows().empty());
    std::vector<std::string> shown;
    for (QMenu* menu : main.Menus())
        if (menu->menuAction()->isVisible())
            shown.push_back(menu->objectName().toStdString());
    EXPECT_EQ(shown, (std::vector<std::string>{"MenuFile", "MenuProject", "MenuHelp"}));
    for (QToolBar* toolBar : main.findChildren<QToolBar*>())
        EXPECT_EQ(toolBar->isHidden(), toolBar->objectName() != "ToolBarBasic")
            << toolBar->objectName().toStdString();
}

TEST_F(MainFormTest, TheProjectFileSetsTheCaption)
{
    TMainForm& main = Start();
    main.SetProjectFile("/songs/live.kvp");
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Kelvorn 9.0 - /songs/live.kvp"));
    main.SetProjectFile("");
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Kelvorn 9.0"));
}

TEST(MainFormTitle, TheApplicationTitleIsKelvornAndTheVersion)
{
    SetApplicationTitle();
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("Kelvorn 9.0"));
    EXPECT_EQ(KelvornTitle(), "Kelvorn 9.0");
}

// ---- Command line -------------------------------------------------------------------------------

// Records what the command line asked to open; a project sets the main window's project file.
class RecordingOpener final : public DocumentOpener
{
public:
    explicit RecordingOpener(TMainForm& main) : main(main) {}
    void OpenProject(const std::string& path) override
    {
        opened.push_back("project " + path);
        main.SetProjectFile(path);
    }
    void OpenFactory(const std::string& path) override { opened.push_back("factory " + path); }
    void OpenMusic(const std::string& path) override { opened.push_back("music " + path); }
    void OpenWave(const std::string& path) override { opened.push_back("wave " + path); }

    std::vector<std::string> opened;

private:
    TMainForm& main;
};

struct CommandLineCase
{
    std::string parameter;
    /// What opens: "<kind> <absolute path>", or "" for nothing.
    std::string opened;
    /// The box shown, or "" for none.
    std::string box;
    MsgIcon icon = MsgIcon::Information;
    /// The project file afterwards.
    std::string project;
};

CommandLineCase Opens(std::string parameter, std::string opened)
{
    return {std::move(parameter), std::move(opened), "", MsgIcon::Information, ""};
}

CommandLineCase Refused(std::string parameter, std::string box, MsgIcon icon)
{
    return {std::move(parameter), "", std::move(box), icon, ""};
}

class MainFormCommandLineTest : public MainFormTest,
                                public ::testing::WithParamInterface<CommandLineCase>
{
};

TEST_P(MainFormCommandLineTest, OpensByTheExtensionOfTheFileNamePart)
{
    const CommandLineCase& c = GetParam();
    TMainForm& main = Start();
    RecordingOpener opener(main);
    main.SetDocumentOpener(&opener);
    main.SetProjectFile("/before/old.kvp");
    if (!c.box.empty())
        messages.Expect();
    main.OpenCommandLine({c.parameter, "/ignored/second.wav"}, "/home/user/work");

    EXPECT_EQ(opener.opened,
              c.opened.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.opened});
    if (c.box.empty()) {
        EXPECT_TRUE(messages.Shown().empty());
    } else {
        ASSERT_EQ(messages.Shown().size(), 1u);
        EXPECT_EQ(messages.Shown()[0].text, c.box);
        EXPECT_EQ(messages.Shown()[0].caption, "File Error");
        EXPECT_EQ(messages.Shown()[0].icon, c.icon);
        EXPECT_EQ(messages.Shown()[0].buttons, MsgButtons::Ok);
    }
    EXPECT_TRUE(messages.Unexpected().empty());
    EXPECT_EQ(main.GetProjectFile(), c.project);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, MainFormCommandLineTest,
    ::testing::Values(Opens("song.wav", "wave /home/user/work/song.wav"),
                      Opens("SONG.KVM", "music /home/user/work/SONG.KVM"),
                      Opens("/data/graph.KvF", "factory /data/graph.KvF"),
                      CommandLineCase{"gig.kvp", "project /home/user/work/gig.kvp", "",
                                      MsgIcon::Information, "/home/user/work/gig.kvp"},
                      Opens("./x.wav", "wave /home/user/work/x.wav"),
                      Opens("../up/x.wav", "wave /home/user/up/x.wav"),
                      Opens("/home/me/.cache/a.wav", "wave /home/me/.cache/a.wav"),
                      Opens("~/.cache/a.wav", "wave /home/user/work/~/.cache/a.wav"),
                      Refused("a.b.wav", "Invalid extension \"b.wav\" used.", MsgIcon::Stop),
                      Refused("notes.txt", "Invalid extension \"txt\" used.", MsgIcon::Stop),
                      Refused("trail.", "Invalid extension \"\" used.", MsgIcon::Stop),
                      Refused("noext", "Cannot read the file: \"noext\" File has no extension",
                              MsgIcon::Information),
                      Refused("/tmp/dir.d/file",
                              "Cannot read the file: \"/tmp/dir.d/file\" File has no extension",
                              MsgIcon::Information),
                      Refused("./", "Cannot read the file: \"./\" File has no extension",
                              MsgIcon::Information)));

TEST(StartupFile, ClassifiesByTheFirstFullStopOfTheNameOnly)
{
    StartupFile file = ClassifyStartupFile("dir.v2/take.one.WAV", "/x");
    EXPECT_EQ(file.kind, StartupFileKind::InvalidExtension);
    EXPECT_EQ(file.extension, "one.wav");
    EXPECT_EQ(file.path, "/x/dir.v2/take.one.WAV");
    file = ClassifyStartupFile("dir.v2/take", "/x");
    EXPECT_EQ(file.kind, StartupFileKind::NoExtension);
    EXPECT_EQ(file.extension, "");
}

// ---- Commands of the main window ---------------------------------------------------------------

TEST_F(MainFormTest, HelpAboutShowsTheOneAboutBoxModally)
{
    Start();
    dialogs.When("TAboutBox", DialogResult::Accepted);
    dialogs.When("TAboutBox", DialogResult::Accepted);
    A("HelpAbout")->trigger();
    A("HelpAbout")->trigger();
    EXPECT_EQ(dialogs.Opened(), (std::vector<std::string>{"TAboutBox", "TAboutBox"}));
    EXPECT_TRUE(dialogs.Unexpected().empty());
    EXPECT_EQ(form->findChildren<TAboutBox*>().size(), 1);
}

TEST_F(MainFormTest, RandomizeKeepsAndAppliesTheSeedOnOkOnly)
{
    Start();
    dialogs.When(
        "TDlgResetDie",
        [](ModalDialog& d) { DialogAs<TDlgResetDie>(d)->editSeedValue->setText("0"); },
        DialogResult::Accepted);
    A("RandomizeAction")->trigger();
    EXPECT_EQ(form->ResetDieProps().kind, TResetDieProps::SeedValue);
    EXPECT_EQ(NextRuntimeRandom(), 1.0 / 4294967296.0);

    dialogs.When(
        "TDlgResetDie",
        [](ModalDialog& d) { DialogAs<TDlgResetDie>(d)->editSeedValue->setText("77"); },
        DialogResult::Rejected);
    SetRuntimeRandomState(5);
    A("RandomizeAction")->trigger();
    EXPECT_EQ(RuntimeRandomState(), 5u);
    EXPECT_EQ(form->ResetDieProps().kind, TResetDieProps::SeedValue);
    EXPECT_TRUE(dialogs.Unexpected().empty());
}

TEST_F(MainFormTest, HelpCommandsAskTheHelpServiceAndOptionsDoesNothing)
{
    Start();
    A("HelpContents")->trigger();
    A("HelpTopicSearch")->trigger();
    A("HelpOnHelp")->trigger();
    A("Options")->trigger();
    EXPECT_EQ(help.Requests(),
              (std::vector<std::string>{"contents", "topic search", "help on help"}));
    EXPECT_TRUE(dialogs.Opened().empty());
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(MainFormTest, FileCloseClosesTheActiveWindowAndNothingWithout)
{
    Start();
    A("FileClose")->trigger();
    OpenWave("Wave 1");
    OpenWave("Wave 2");
    A("FileClose")->trigger();
    Flush();
    ASSERT_EQ(form->Documents().DocumentWindowCount(), 1);
    EXPECT_EQ(form->Documents().DocumentWindows()[0]->GetUnit()->GetName(), "Wave 1");
}

} // namespace
