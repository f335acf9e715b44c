// Sound factories in the main window with real files, waves and builtin nodes: every template of
// the New Factory dialog, save, close, reopen and run into a new wave window, a change run on
// the selection of a mono and a stereo wave and its undo, a run stopped from its box and one out
// of memory, the three boxes of the factory commands, the factory rule, projects, revert, and the
// close question.
#include "ShellSupport.h"

#include "factory/core/UserNodes.h"
#include "factory/ui/FactoryWindow.h"
#include "factory/ui/RunStopBox.h"
#include "factory/ui/dialogs/RunCreateDialogs.h"
#include "shell/FactoryCommands.h"
#include "shell/FactoryHostImpl.h"
#include "shell/ProjectCommands.h"
#include "support/FactoryGraphs.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using Strings = std::vector<std::string>;

class FactoryCommandsTest : public CommandsTest
{
protected:
    FactoryCommandsTest()
    {
        factories = std::make_unique<TFactoryCommands>(*form, *commands);
        factories->Install();
        projects = std::make_unique<TProjectCommands>(*form, *commands);
        projects->Install();
        // No Stop box unless a test asks for one.
        factories->Host().SetStopBoxDelay(std::chrono::hours(1));
    }
    ~FactoryCommandsTest() override
    {
        for (QMdiSubWindow* window : form->Frame()->subWindowList())
            delete window;
        Flush();
        projects.reset();
        factories.reset();
    }

    TMDIChildFact* ActiveFact() const
    {
        return dynamic_cast<TMDIChildFact*>(form->Documents().GetActiveChildFact());
    }
    TUnitSountory& Gen(const GenSettings& settings = {})
    {
        TUnitSountory* factory = factories->NewFactory(2, nullptr);
        factory->SetName("Gen");
        BuildGen(*factory, settings);
        return *factory;
    }
    /// A change-wave factory made to halve the selection, named "Halve".
    TUnitSountory& Halve()
    {
        TUnitSountory* factory = factories->NewFactory(1, nullptr);
        factory->SetName("Halve");
        BuildHalve(*factory);
        return *factory;
    }
    /// Run Factory Change Wave on the active wave with the factory called name.
    void RunAtWave(const std::string& name)
    {
        dialogs.When(
            "TDlgSntRunAtWnd",
            [name](ModalDialog& modal) {
                QListWidget* list = DialogAs<TDlgSntRunAtWnd>(modal)->lbSountories;
                list->setCurrentItem(
                    list->findItems(QString::fromStdString(name), Qt::MatchExactly).value(0));
            },
            DialogResult::Accepted);
        Trigger("SntRunAtWnd");
    }
    void Activate(QMdiSubWindow* window)
    {
        form->Frame()->setActiveSubWindow(window);
        form->ActionListUpdate();
    }
    static Strings Pins(const TUnitSountory& f)
    {
        Strings names;
        for (const auto& in : f.Inputs())
            names.push_back(in->Name);
        names.push_back("|");
        for (const auto& out : f.Outputs())
            names.push_back(out->Name);
        return names;
    }

    ScopedService<TBuiltinNodeMaker> builtins{&GetBuiltinNodeMaker()};
    std::unique_ptr<TFactoryCommands> factories;
    std::unique_ptr<TProjectCommands> projects;
};

TEST_F(FactoryCommandsTest, EachTemplateOfTheNewFactoryDialogMakesItsFactory)
{
    // The nodes templates 3 and 5 fit to.
    TUnitSountory* nodes = factories->NewFactory(0, nullptr);
    nodes->SetName("Nodes");
    auto* user = nodes->CreateNode<TSountoryNodeUser>("U", "X", TSountoryRectangle{20, 20, 80, 60});
    user->AddInput("Level", PinHeight(0.3), false, ValueDomType::Factor, ValueDomain::AllValues);
    user->AddOutput("Out", PinHeight(0.5), false, ValueDomType::Wave, ValueDomain::Mono);
    nodes->CreateNode<TSountoryNodeLoop>("L", "X", TSountoryRectangle{20, 80, 80, 140}, true);
    struct Case
    {
        int choice;
        const char* name;
        uint8_t kind;
        Strings pins;
    };
    const Case cases[] = {
        {0, "Factory 1", FactoryFree, {"|"}},
        {1,
         "Factory 2",
         FactoryChangeWW,
         {"Wave", "Select Begin", "Select End", "Replace Begin", "Replace End", "|", "Result",
          "Position Begin", "Position End"}},
        {2, "Factory 3", FactoryCreateWW, {"|", "Result", "Position Begin", "Position End"}},
        {3, "U", FactoryFree, {"Level", "|", "Out"}},
        {4, "Factory 4", FactoryLoopMix, {"Wave", "Count", "|"}},
        {5,
         "Factory 5",
         FactoryLoopMix,
         {"Wave", "Count", "Counter", "|", "Sample", "Volume", "Position in Sample",
          "Position in Result"}},
    };
    for (const Case& c : cases) {
        dialogs.When(
            "TDlgSntCreate",
            [&c](ModalDialog& modal) {
                DialogAs<TDlgSntCreate>(modal)->choices[size_t(c.choice)]->setChecked(true);
            },
            DialogResult::Accepted);
        Trigger("FileNewFactory");
        TUnitSountory& made = ActiveFact()->GetUnitSountory();
        EXPECT_EQ(made.GetName(), c.name);
        EXPECT_EQ(int(made.GetFactoryKind()), int(c.kind)) << c.name;
        EXPECT_EQ(Pins(made), c.pins) << c.name;
        EXPECT_TRUE(made.IsUntitled() && made.IsModified());
    }
    // "Create Factory for Node" makes the fit of template 3 for any node, named after it.
    factories->Host().NewFactoryForNode(*nodes->FindNode("L"));
    EXPECT_EQ(ActiveFact()->GetUnitSountory().GetName(), "L");
    factories->Host().NewFactoryForNode(*nodes->FindNode("U"));
    EXPECT_EQ(ActiveFact()->GetUnitSountory().GetName(), "U 2");
}

TEST_F(FactoryCommandsTest, AFactorySavedClosedAndReopenedRunsIntoANewWaveWindow)
{
    Gen();
    const std::string path = Path("gen.kvf");
    fileDialogs.WhenSave("Save Factory", path);
    Trigger("FileSave");
    const FileDialogRequest& request = fileDialogs.ShownDialogs().at(0).request;
    EXPECT_EQ(request.filter + " " + request.defaultExtension,
              "Factory Files (*.kvf)|*.kvf|XML Files (*.xml)|*.xml|All files (*.*)|*.* kvf");
    ActiveFact()->close();
    Flush();
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 0);

    fileDialogs.WhenOpen("Open Factory", {path});
    Trigger("FileOpenFactory");
    TUnitSountory& reopened = ActiveFact()->GetUnitSountory();
    EXPECT_EQ(reopened.GetName(), "Factory 1");
    EXPECT_FALSE(reopened.IsModified());
    // Renamed as a user does, in the Edit Name window.
    form->EditNameWindow()->editName->setText("Gen");
    form->EditNameWindow()->btnOkClick();
    ASSERT_EQ(reopened.GetName(), "Gen");
    Trigger("SntValidate");
    EXPECT_TRUE(A("SntRunCrWnd")->isEnabled());
    Trigger("SntRunCrWnd");
    TMDIChildWave* window = ActiveWave();
    ASSERT_NE(window, nullptr);
    TUnitWave& made = window->GetUnitWave();
    EXPECT_EQ(made.GetName(), "Wave 1 of Gen");
    EXPECT_TRUE(made.IsUntitled() && made.IsModified());
    EXPECT_TRUE(SameSound(*made.GetSound(), *GenSound()));
    EXPECT_EQ(made.GetValues(), 176);
    // "Position Begin" and "Position End" select what the factory made.
    EXPECT_EQ(made.GetPartBegin(), 44);
    EXPECT_EQ(made.GetPartEnd(), 132);
}

TEST_F(FactoryCommandsTest, TheDemoFactoryOpensFromTheCommandLineAndMakesASecondOfSine)
{
    form->OpenCommandLine({KELVORN_DEMO_FACTORY}, dir.string());
    ASSERT_NE(ActiveFact(), nullptr);
    EXPECT_EQ(ActiveFact()->GetUnitSountory().GetFileName(), KELVORN_DEMO_FACTORY);
    Trigger("SntRunCrWnd");
    GenSettings demo;
    demo.sampleFrequency = 44100;
    demo.count = 500;
    ASSERT_NE(ActiveWave(), nullptr);
    EXPECT_EQ(ActiveWave()->GetUnitWave().GetName(), "Wave 1 of Factory 1");
    EXPECT_TRUE(SameSound(*ActiveWave()->GetUnitWave().GetSound(), *GenSound(demo)));
}

// Each run window steps down from the one before, and after the project is opened again the
// next one goes on from the windows on show, whole in the frame that its toolbars leave.
TEST_F(FactoryCommandsTest, RunWindowsAfterAProjectIsOpenedAgainComeUpWholeInSight)
{
    fileDialogs.WhenSave(TProjectCommands::NewProjectTitle, Path("runs.kvp"));
    Trigger("ProjectNew");
    Gen();
    for (int run = 0; run < 3; ++run) {
        Activate(form->Documents().FindChildOf(form->Documents().FindUnitSountory("Gen")));
        Trigger("SntRunCrWnd");
    }
    Trigger("ProjectSave");
    Trigger("ProjectClose");
    Flush();
    fileDialogs.WhenOpen(TProjectCommands::OpenProjectTitle, {Path("runs.kvp")});
    Trigger("ProjectOpen");
    for (int run = 3; run < 5; ++run) {
        Activate(form->Documents().FindChildOf(form->Documents().FindUnitSountory("Gen")));
        Trigger("SntRunCrWnd");
        Flush();
        TMDIChildWave* made = ActiveWave();
        ASSERT_NE(made, nullptr);
        const int step = (run + 1) * TDocumentServices::NewWindowStep;
        EXPECT_EQ(made->pos(), QPoint(step, step));
        EXPECT_TRUE(form->Frame()->viewport()->rect().contains(made->geometry()))
            << made->geometry().bottom() << " below " << form->Frame()->viewport()->height();
    }
}

TEST_F(FactoryCommandsTest, AChangeRunWorksOnTheSelectionOfMonoAndStereoWavesAndIsUndone)
{
    Halve();
    for (int16_t channels : {1, 2}) {
        SCOPED_TRACE(channels);
        SoundPtr sound = Values(Steps(100, 300, 20000), channels);
        TMDIChildWave* wave = NewWave(channels == 1 ? "Mono" : "Stereo", sound);
        TUnitWave& unit = wave->GetUnitWave();
        unit.ClearModified();
        unit.SetPart(20, 60);
        EXPECT_TRUE(A("SntRunAtWnd")->isEnabled());
        RunAtWave("Halve");
        AbortFlag stop = 0;
        EXPECT_TRUE(SameSound(*unit.GetSound(), *Volume(*sound, &stop, 0.5, 20, 60)));
        EXPECT_EQ(unit.GetPartBegin(), 20);
        EXPECT_EQ(unit.GetPartEnd(), 60);
        EXPECT_TRUE(unit.IsModified());
        Trigger("Undo");
        EXPECT_TRUE(SameSound(*unit.GetSound(), *sound));
    }
}

TEST_F(FactoryCommandsTest, ARunStoppedFromItsBoxMakesNoWave)
{
    Gen();
    factories->Host().SetStopBoxDelay(std::chrono::milliseconds(0));
    // The box takes input at the run's next progress call.
    QTimer::singleShot(0, [] {
        if (auto* box = dynamic_cast<TDlgSntRunStop*>(QApplication::activeModalWidget()))
            box->btnStop->click();
    });
    messages.Expect();
    Trigger("SntRunCrWnd");
    EXPECT_EQ(LastBox(), "Runtime error: Running of Soundfactor \"Gen\" failed: At Node \"Sinus\" "
                         "of Factory \"Gen\": Stopped by user.");
    EXPECT_EQ(messages.Shown().back().icon, MsgIcon::Error);
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 1);
    EXPECT_EQ(factories->Host().RunWatch(), nullptr);
    // The stop was this run's only.
    factories->Host().SetStopBoxDelay(std::chrono::hours(1));
    Trigger("SntRunCrWnd");
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 2);
}

// Memory that cannot be had ends a run through the flag the Stop box sets: the run's box names
// the memory, and the next run of the same command works.
TEST_F(FactoryCommandsTest, ARunOutOfMemorySaysSoAndTheNextRunWorks)
{
    Gen();
    TMDIChildFact* gen = ActiveFact();
    Halve();
    SoundPtr sound = Values(Steps(3000, 7, 20000));
    TMDIChildWave* wave = NewWave("Wave", sound);
    const std::string noMemory = "There is not enough memmory for this operation.";
    for (bool create : {true, false}) {
        auto run = [&] { create ? Trigger("SntRunCrWnd") : RunAtWave("Halve"); };
        Activate(create ? static_cast<QMdiSubWindow*>(gen) : wave);
        messages.Clear();
        messages.Expect();
        messages.Expect();
        const size_t windows = form->Documents().DocumentWindowCount();
        FailAllocationsAfter(0);
        run();
        ResetAllocationFailure();
        ASSERT_EQ(messages.Shown().size(), 2u);
        EXPECT_EQ(messages.Shown()[0].caption + ": " + messages.Shown()[0].text,
                  "System Error: " + noMemory);
        EXPECT_EQ(LastBox(), "Runtime error: Running of Soundfactor " +
                                 std::string(create ? "\"Gen\" failed: At Node \"Sinus\" of "
                                                      "Factory \"Gen\": "
                                                    : "\"Halve\" failed: At Node \"Volume\" of "
                                                      "Factory \"Halve\": ") +
                                 noMemory);
        EXPECT_EQ(form->Documents().DocumentWindowCount(), windows);
        EXPECT_EQ(wave->GetUnitWave().GetSound(), sound);

        run();
        AbortFlag stop = 0;
        EXPECT_TRUE(SameSound(*ActiveWave()->GetUnitWave().GetSound(),
                              create ? *GenSound() : *Volume(*sound, &stop, 0.5, 0, 3000)));
    }
}

TEST_F(FactoryCommandsTest, ValidationAndRunsReportInTheirThreeBoxes)
{
    GenSettings failing;
    failing.count = 0.001;
    TUnitSountory& gen = Gen(failing);
    // A valid factory validates without a word.
    Trigger("SntValidate");
    messages.Expect();
    Trigger("SntRunCrWnd");
    EXPECT_EQ(LastBox(), "Runtime error: Running of Soundfactor \"Gen\" failed: At Node "
                         "\"Sinus\" of Factory \"Gen\": Input \"Count\" must give at least one "
                         "value.");
    gen.FindNode("Volume")->FindInputByName("Wave")->SetSource(nullptr);
    messages.Expect();
    Trigger("SntValidate");
    const std::string reason = "In Node \"Volume\": Input \"Wave\" is mandatory.";
    EXPECT_EQ(LastBox(), "Validation failed: " + reason);
    EXPECT_EQ(messages.Shown().back().icon, MsgIcon::Information);
    messages.Expect();
    Trigger("SntRunCrWnd");
    EXPECT_EQ(LastBox(), "Unable to run Soundfactory: Cannot run Soundfactor \"Gen\" : "
                         "Validation failed: " +
                             reason);
    EXPECT_EQ(messages.Shown().back().icon, MsgIcon::Error);

    // A change run whose factory fails validation takes no undo snapshot; one that fails while
    // it runs has taken it.
    TUnitSountory& halve = Halve();
    halve.FindNode("Volume")->FindInputByName("Wave")->SetSource(nullptr);
    SoundPtr sound = Values(Steps(10));
    NewWave("Wave", sound);
    messages.Expect();
    RunAtWave("Halve");
    EXPECT_EQ(LastBox(), "Unable to run Soundfactory: Cannot run Soundfactor \"Halve\" : "
                         "Validation failed: " +
                             reason);
    EXPECT_EQ(form->Documents().GetUndo(), nullptr);
    halve.FindNode("Volume")->FindInputByName("Wave")->SetSource(halve.FindInput("Wave"));
    halve.FindOutput("Result")->SetSource(nullptr);
    messages.Expect();
    RunAtWave("Halve");
    EXPECT_EQ(LastBox(),
              "Runtime error: Running of Soundfactor \"Halve\" failed: Output \"Result\" is "
              "mandatory.");
    EXPECT_NE(form->Documents().GetUndo(), nullptr);
    EXPECT_EQ(ActiveWave()->GetUnitWave().GetSound(), sound);
}

TEST_F(FactoryCommandsTest, TheFactoryRuleFollowsTheWindowAndItsModes)
{
    TUnitSountory& gen = Gen();
    TMDIChildFact* window = ActiveFact();
    form->ActionListUpdate();
    EXPECT_TRUE(A("FileSave")->isEnabled() && !A("FileRevert")->isEnabled());
    EXPECT_TRUE(A("SntRunCrWnd")->isEnabled() && !A("SntRunAtWnd")->isEnabled());
    EXPECT_TRUE(A("SntModeDrag")->isChecked() && A("SntShowHints")->isChecked());
    EXPECT_TRUE(A("DuplicateFact")->isVisible() && !A("DuplicateWave")->isVisible());
    EXPECT_EQ(form->GetStatusPanel(1)->text().toStdString(), "Create Wave Window Factory");
    gen.ClearModified();
    Trigger("SntModeConn");
    EXPECT_TRUE(A("SntModeConn")->isChecked() && !A("SntModeDrag")->isChecked());
    EXPECT_EQ(window->GetEditMode(), ModeConnect);
    EXPECT_TRUE(gen.IsModified());
    Trigger("SntShowHints");
    EXPECT_FALSE(A("SntShowHints")->isChecked() || gen.View.ShowHints);

    // A change-wave factory cannot make a wave window; a wave window keeps what the factory
    // left and offers the change run.
    Halve();
    EXPECT_FALSE(A("SntRunCrWnd")->isEnabled());
    Activate(window);
    EXPECT_TRUE(A("SntRunCrWnd")->isEnabled());
    NewWave("Wave", Values(Steps(10)));
    EXPECT_TRUE(A("SntRunCrWnd")->isEnabled() && A("SntRunAtWnd")->isEnabled());
    Trigger("DuplicateWave");
    Activate(window);
    Trigger("DuplicateFact");
    EXPECT_EQ(ActiveFact()->GetUnitSountory().GetName(), "Copy 1 of Gen");
    EXPECT_EQ(ActiveFact()->GetEditMode(), ModeConnect);
}

TEST_F(FactoryCommandsTest, AProjectKeepsAModifiedFactoryInItsCopy)
{
    const std::string path = Path("gen.kvf");
    fileDialogs.WhenSave(TProjectCommands::NewProjectTitle, Path("demo.kvp"));
    Trigger("ProjectNew");
    TUnitSountory& gen = Gen();
    fileDialogs.WhenSave("Save Factory", path);
    Trigger("FileSaveAs");
    gen.FindNode("Volume")->SetRect({350, 60, 510, 280});
    gen.SetModified();
    Trigger("ProjectSave");
    EXPECT_TRUE(std::filesystem::exists(dir / "demoTempSaveFiles" / "savedProjectWindowFile0.kvf"));
    Trigger("ProjectClose");
    Flush();
    fileDialogs.WhenOpen(TProjectCommands::OpenProjectTitle, {Path("demo.kvp")});
    Trigger("ProjectOpen");
    TUnitSountory& back = ActiveFact()->GetUnitSountory();
    EXPECT_EQ(back.GetName(), "Gen");
    EXPECT_EQ(back.GetFileName(), path);
    EXPECT_TRUE(back.IsModified());
    EXPECT_EQ(back.FindNode("Volume")->GetRect().top, 60);
    // The factory's own file still holds what was saved in it.
    TUnitSountory saved("Saved", path, factories->Host());
    std::string message;
    ASSERT_TRUE(saved.LoadFromFile(path, message)) << message;
    EXPECT_EQ(saved.FindNode("Volume")->GetRect().top, 30);
}

TEST_F(FactoryCommandsTest, RevertUnderAHighlightedPinReadsAFreshFactory)
{
    const std::string path = Path("gen.kvf");
    {
        TUnitSountory& gen = Gen();
        ASSERT_TRUE(gen.SaveAs(path));
        gen.SetFileName(path);
    }
    TMDIChildFact* window = ActiveFact();
    TUnitSountory* before = &window->GetUnitSountory();
    before->FindNode("Volume")->SetRect({350, 60, 510, 280});
    before->SetModified();
    window->PaintFactory();
    QWidget* client = window->FactoryViewport();
    const TSountoryNodeOutput* pin = before->FindNode("Sinus")->FindOutputByName("Result");
    const QPoint at(pin->GetNode()->GetDrawRect().right, pin->GetY());
    QMouseEvent move(QEvent::MouseMove, QPointF(at), client->mapToGlobal(QPointF(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(client, &move);
    ASSERT_NE(window->Editor().GetHighlighted(), nullptr);
    Trigger("FileRevert");
    TUnitSountory& after = window->GetUnitSountory();
    EXPECT_NE(&after, before);
    EXPECT_EQ(window->Editor().GetHighlighted(), nullptr);
    EXPECT_EQ(after.FindNode("Volume")->GetRect().top, 30);
    EXPECT_FALSE(after.IsModified() || window->isWindowModified());
    QCoreApplication::sendEvent(client, &move);
    EXPECT_NE(window->Editor().GetHighlighted(), nullptr);

    // A file that fails keeps the factory as it was.
    WriteText(path, "broken");
    after.SetModified();
    messages.Expect();
    Trigger("FileRevert");
    EXPECT_EQ(LastBox().rfind("File Error: Cannot read file: \"" + path + "\": ", 0), 0u)
        << LastBox();
    EXPECT_EQ(&window->GetUnitSountory(), &after);
}

TEST_F(FactoryCommandsTest, TheCloseQuestionsThreeAnswersAndAFailedSave)
{
    const std::string path = Path("gen.kvf");
    TUnitSountory& gen = Gen();
    ASSERT_TRUE(gen.SaveAs(path));
    gen.SetFileName(path);
    gen.FindNode("Volume")->SetRect({350, 60, 510, 280});
    gen.SetModified();
    messages.Expect(MsgAnswer::Cancel);
    ActiveFact()->close();
    EXPECT_EQ(LastBox(), "You have unsaved changes: Do you want to save the Factory with name "
                         "\"Gen\" to current file \"" +
                             path + "\"?");
    ASSERT_NE(ActiveFact(), nullptr);
    messages.Expect(MsgAnswer::Yes);
    ActiveFact()->close();
    Flush();
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 0);
    EXPECT_NE(ReadText(path).find("<Top>60</Top>"), std::string::npos);

    // No: the file keeps what it had.
    TUnitSountory* reopened = factories->OpenFactoryFile(path);
    reopened->FindNode("Volume")->SetRect({350, 30, 510, 250});
    reopened->SetModified();
    messages.Expect(MsgAnswer::No);
    ActiveFact()->close();
    Flush();
    EXPECT_NE(ReadText(path).find("<Top>60</Top>"), std::string::npos);

    // Yes with a save that fails keeps the window, untitled and changed, and asks again.
    TUnitSountory& untitled = Gen();
    fileDialogs.WhenSave("Save Factory", Path("missing/gen.kvf"));
    messages.Expect(MsgAnswer::Yes);
    messages.Expect();
    ActiveFact()->close();
    EXPECT_EQ(LastBox().rfind("FileError: Cannot save Factory: ", 0), 0u) << LastBox();
    ASSERT_NE(ActiveFact(), nullptr);
    EXPECT_TRUE(untitled.IsUntitled() && untitled.IsModified());
    messages.Expect(MsgAnswer::No);
    ActiveFact()->close();
    Flush();
    EXPECT_EQ(form->Documents().DocumentWindowCount(), 0);
}

} // namespace
