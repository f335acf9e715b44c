// View Wave and View Volume on a real wave window, and the Select and Zoom window as the main
// window makes it and keeps it following the active wave window.
#include "waveui/WaveWindow.h"
#include "FileCommandsTestSupport.h"

#include "shell/base/ToolWindow.h"
#include "shell/ViewCommands.h"
#include "waveui/SelectZoom.h"
#include "waveui/ViewWave.h"
#include "waveui/ViewWaveGroup.h"
#include "waveui/dialogs/ViewDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

std::string Text(const QLineEdit* edit)
{
    return edit->text().toLatin1().toStdString();
}

class ViewCommandsTest : public FileCommandsTest
{
protected:
    ViewCommandsTest()
    {
        views = std::make_unique<TViewCommands>(*form);
        views->SetRecalculation([this](TMDIChildWave& window) { recalculated.push_back(&window); });
    }
    ~ViewCommandsTest() override
    {
        for (QMdiSubWindow* window : form->Frame()->subWindowList())
            delete window;
        Flush();
        views.reset();
    }

    /// A wave of values stereo values at 44100 Hz in a new active window, unmodified; its file
    /// name makes it a wave that needs no saving.
    TMDIChildWave* NewWindow(const std::string& name, int32_t values = 44100)
    {
        TMDIChildWave* window = commands->NewChildWave(
            std::make_unique<TUnitWave>(name, Path(name + ".wav"), Pattern(values, 3)),
            form->DefaultWaveViewProps(), form->DefaultVoldViewProps());
        form->Frame()->setActiveSubWindow(window);
        window->resize(800, 300);
        // The panes settle their split and zoom over a few rounds of the event loop.
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        window->GetUnitWave().ClearModified();
        form->ActionListUpdate();
        return window;
    }

    TDlgSelZoom* SelZoom() const
    {
        return dynamic_cast<TDlgSelZoom*>(form->ToolSlot(TMainForm::Tool::SelZoom).Existing());
    }

    std::unique_ptr<TViewCommands> views;
    std::vector<TMDIChildWave*> recalculated;
};

// ---- View Wave ---------------------------------------------------------------------------------

TEST_F(ViewCommandsTest, ViewWaveHandsTheEditedRecordToTheWindow)
{
    TMDIChildWave* window = NewWindow("Wave 1");
    window->SetWaveWindKind(TViewWaveGroup::waveWindVolume);
    form->ActionListUpdate();
    ASSERT_TRUE(A("ViewVold")->isChecked());
    dialogs.When(
        "TDlgWaveViewProps",
        [](ModalDialog& modal) {
            auto* dialog = DialogAs<TDlgWaveViewProps>(modal);
            ASSERT_NE(dialog, nullptr);
            // The dialog starts from the window's own record.
            EXPECT_EQ(Text(dialog->editValuesPerPixel), "15");
            dialog->editValuesPerPixel->setText("30");
            dialog->chkDrawGrid->setChecked(false);
        },
        DialogResult::Accepted);
    Trigger("ViewWave");
    EXPECT_EQ(window->GetWaveViewProps().ValuesPerPixel.GetValue(), 30);
    EXPECT_EQ(window->GetWaveViewProps().UseGrid, 0);
    EXPECT_EQ(window->GetWaveWindKind(), TViewWaveGroup::waveWindWave);
    EXPECT_TRUE(A("ViewWave")->isChecked());
    EXPECT_FALSE(A("ViewVold")->isChecked());
    EXPECT_TRUE(window->GetUnitWave().IsStateModified());
    EXPECT_FALSE(window->GetUnitWave().IsDataModified());
    // Without "Use As Default" the defaults stay.
    EXPECT_EQ(form->DefaultWaveViewProps(), TWaveViewProps());
    EXPECT_TRUE(recalculated.empty());
}

TEST_F(ViewCommandsTest, CancelledViewWaveChangesNothing)
{
    TMDIChildWave* window = NewWindow("Wave 1");
    window->SetWaveWindKind(TViewWaveGroup::waveWindVolume);
    form->ActionListUpdate();
    dialogs.When(
        "TDlgWaveViewProps",
        [](ModalDialog& modal) {
            DialogAs<TDlgWaveViewProps>(modal)->chkDrawGrid->setChecked(false);
        },
        DialogResult::Rejected);
    Trigger("ViewWave");
    EXPECT_EQ(window->GetWaveViewProps(), TWaveViewProps());
    EXPECT_EQ(window->GetWaveWindKind(), TViewWaveGroup::waveWindVolume);
    EXPECT_FALSE(A("ViewWave")->isChecked());
    EXPECT_TRUE(A("ViewVold")->isChecked());
    EXPECT_FALSE(window->GetUnitWave().IsModified());
}

TEST_F(ViewCommandsTest, UseAsDefaultReplacesTheMainWindowsRecords)
{
    NewWindow("Wave 1");
    dialogs.When(
        "TDlgWaveViewProps",
        [](ModalDialog& modal) {
            auto* dialog = DialogAs<TDlgWaveViewProps>(modal);
            dialog->editValuesPerPixel->setText("9");
            dialog->chkDefault->setChecked(true);
        },
        DialogResult::Accepted);
    Trigger("ViewWave");
    EXPECT_EQ(form->DefaultWaveViewProps().ValuesPerPixel.GetValue(), 9);

    dialogs.When(
        "TDlgVoldViewProps",
        [](ModalDialog& modal) {
            auto* dialog = DialogAs<TDlgVoldViewProps>(modal);
            dialog->editVertical->setText("64");
            dialog->chkDefault->setChecked(true);
        },
        DialogResult::Accepted);
    Trigger("ViewVold");
    EXPECT_EQ(form->DefaultVoldViewProps().YResolution.GetValue(), 64);
    // A window made afterwards starts from the new defaults.
    TMDIChildWave* next = NewWindow("Wave 2");
    EXPECT_EQ(next->GetWaveViewProps().ValuesPerPixel.GetValue(), 9);
    EXPECT_EQ(next->GetVoldViewProps().YResolution.GetValue(), 64);
}

// ---- View Volume -------------------------------------------------------------------------------

struct VoldCase
{
    const char* name;
    bool showedVolume;
    const char* field; // "" leaves every field as it is
    const char* text;
    bool recalculates;
};

class ViewVoldCommand : public ViewCommandsTest, public ::testing::WithParamInterface<VoldCase>
{
};

TEST_P(ViewVoldCommand, ComputesTheDiagramAgainOnlyWhenItMust)
{
    const VoldCase& c = GetParam();
    TMDIChildWave* window = NewWindow("Wave 1");
    if (c.showedVolume)
        window->SetWaveWindKind(TViewWaveGroup::waveWindVolume);
    form->ActionListUpdate();
    const TVoldViewProps old = window->GetVoldViewProps();
    dialogs.When(
        "TDlgVoldViewProps",
        [&](ModalDialog& modal) {
            auto* dialog = DialogAs<TDlgVoldViewProps>(modal);
            ASSERT_NE(dialog, nullptr);
            if (*c.field) {
                auto* edit = dialog->findChild<QLineEdit*>(QString::fromLatin1(c.field));
                ASSERT_NE(edit, nullptr);
                edit->setText(QString::fromLatin1(c.text));
            }
        },
        DialogResult::Accepted);
    Trigger("ViewVold");
    EXPECT_EQ(window->GetWaveWindKind(), TViewWaveGroup::waveWindVolume);
    EXPECT_FALSE(A("ViewWave")->isChecked());
    EXPECT_TRUE(A("ViewVold")->isChecked());
    EXPECT_TRUE(window->GetUnitWave().IsStateModified());
    EXPECT_EQ(window->GetVoldViewProps().NeedsRecalculation(old),
              *c.field && std::string(c.field) != "editStrength");
    EXPECT_EQ(recalculated.size(), c.recalculates ? 1u : 0u);
    if (!recalculated.empty()) {
        EXPECT_EQ(recalculated.front(), window);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ViewVoldCommand,
    ::testing::Values(VoldCase{"FromTheCurveUnchanged", false, "", "", true},
                      VoldCase{"FromTheCurveStrengthOnly", false, "editStrength", "2", true},
                      VoldCase{"UnchangedDiagram", true, "", "", false},
                      VoldCase{"StrengthOnly", true, "editStrength", "2", false},
                      VoldCase{"Columns", true, "editHorizontal", "640", true},
                      VoldCase{"Bands", true, "editVertical", "20", true},
                      VoldCase{"Top", true, "editTop", "10 kHz", true},
                      VoldCase{"Bottom", true, "editBottom", "40 Hz", true},
                      VoldCase{"Width", true, "editWidth", "2", true}),
    [](const ::testing::TestParamInfo<VoldCase>& info) { return info.param.name; });

TEST_F(ViewCommandsTest, ViewVoldGivesTheDialogThePanesAndTheWave)
{
    TMDIChildWave* window = NewWindow("Wave 1");
    const TViewWaveGroup& group = window->GetViewWaveGroup();
    ASSERT_GT(group.GetHeight(), 10);

    std::string horizontal;
    std::string vertical;
    dialogs.When(
        "TDlgVoldViewProps",
        [&](ModalDialog& modal) {
            auto* dialog = DialogAs<TDlgVoldViewProps>(modal);
            dialog->btnXResWindow->click();
            dialog->btnYResWindow->click();
            horizontal = Text(dialog->editHorizontal);
            vertical = Text(dialog->editVertical);
        },
        DialogResult::Rejected);
    Trigger("ViewVold");
    // Both panes' widths together; a stereo wave with two diagrams halves the height.
    EXPECT_EQ(horizontal, std::to_string(group.GetWidth()));
    EXPECT_EQ(vertical, std::to_string((group.GetHeight() + 1) / 2));
    EXPECT_EQ(window->GetWaveWindKind(), TViewWaveGroup::waveWindWave);
    EXPECT_TRUE(A("ViewWave")->isChecked());
    EXPECT_FALSE(window->GetUnitWave().IsModified());
    EXPECT_TRUE(recalculated.empty());
}

// ---- Select and Zoom ---------------------------------------------------------------------------

TEST_F(ViewCommandsTest, SelectAndZoomFollowsTheActiveWaveWindow)
{
    TMDIChildWave* first = NewWindow("Wave 1");
    first->GetUnitWave().SetCursor(4410);
    Trigger("SelectWave");
    TDlgSelZoom* selZoom = SelZoom();
    ASSERT_NE(selZoom, nullptr);
    EXPECT_TRUE(selZoom->isVisible());
    EXPECT_TRUE(A("SelectWave")->isChecked());
    EXPECT_EQ(selZoom->ShownWindow(), first);
    EXPECT_EQ(Text(selZoom->editCursorAt), unitTimePos(0.1, EHS).ToText());

    TMDIChildWave* second = NewWindow("Wave 2", 88200);
    EXPECT_EQ(selZoom->ShownWindow(), second);
    EXPECT_EQ(Text(selZoom->editCursorAt), unitTimePos(0.0, EHS).ToText());

    // A selection made in the window shows at once; one in a window behind does not.
    second->GetUnitWave().ChangePart(44100, 66150);
    EXPECT_TRUE(selZoom->optPart->isChecked());
    EXPECT_EQ(Text(selZoom->editPartBegin), unitTimePos(1.0, EHS).ToText());
    EXPECT_EQ(Text(selZoom->editPartEnd), unitTimePos(1.5, EHS).ToText());
    first->GetUnitWave().ChangeCursor(22050);
    EXPECT_EQ(selZoom->ShownWindow(), second);
    EXPECT_TRUE(selZoom->optPart->isChecked());

    // A pane's zoom shows in its group.
    TViewWave& pane = *second->GetViewWaveGroup().GetView(2);
    pane.ZoomTo(4410, 8820, true);
    EXPECT_TRUE(selZoom->chkZoomed2->isChecked());
    EXPECT_EQ(Text(selZoom->editZoom2End), unitTimePos(pane.GetZoomEndTime(), EHS).ToText());
    EXPECT_FALSE(selZoom->chkZoomed1->isChecked());

    // A music window is no wave window: the window clears.
    OpenMusic("Music 1");
    EXPECT_EQ(selZoom->ShownWindow(), nullptr);
    EXPECT_FALSE(selZoom->OKBtn->isEnabled());
    form->Frame()->setActiveSubWindow(first);
    EXPECT_EQ(selZoom->ShownWindow(), first);

    // After the last window the window shows nothing (the selections made above need no
    // saving here).
    first->GetUnitWave().ClearModified();
    second->GetUnitWave().ClearModified();
    for (QMdiSubWindow* window : form->Frame()->subWindowList())
        window->close();
    Flush();
    EXPECT_EQ(selZoom->ShownWindow(), nullptr);
    EXPECT_FALSE(selZoom->OKBtn->isEnabled());
    EXPECT_TRUE(selZoom->editCursorAt->text().isEmpty());

    // "Close" hides it and unchecks its action; the same window serves the next use.
    selZoom->CancelBtn->click();
    EXPECT_FALSE(selZoom->isVisible());
    EXPECT_FALSE(A("SelectWave")->isChecked());
    form->ToggleToolWindow(TMainForm::Tool::SelZoom);
    EXPECT_EQ(SelZoom(), selZoom);
    EXPECT_TRUE(selZoom->isVisible());
    EXPECT_EQ(form->ToolSlot(TMainForm::Tool::SelZoom).Creations(), 1);
}

TEST_F(ViewCommandsTest, SelectAndZoomAppliesToTheActiveWindowAndRereadsIt)
{
    TMDIChildWave* window = NewWindow("Wave 1");
    Trigger("SelectWave");
    TDlgSelZoom* selZoom = SelZoom();
    ASSERT_NE(selZoom, nullptr);
    selZoom->editPartBegin->setText("0.25 s");
    selZoom->editPartEnd->setText("0.5 s");
    selZoom->editZoom1Begin->setText("0.1 s");
    selZoom->editZoom1End->setText("0.3 s");
    selZoom->editZoom2Begin->setText("0.2 s");
    selZoom->editZoom2End->setText("0.6 s");
    selZoom->OKBtn->click();
    TUnitWave& unit = window->GetUnitWave();
    EXPECT_EQ(unit.GetPartBegin(), 11025);
    EXPECT_EQ(unit.GetPartEnd(), 22050);
    for (int n : {1, 2}) {
        const TViewWave& pane = *window->GetViewWaveGroup().GetView(n);
        ASSERT_TRUE(pane.IsZoomed()) << n;
        // The window shows the zoom the pane took.
        const QLineEdit* begin = n == 1 ? selZoom->editZoom1Begin : selZoom->editZoom2Begin;
        EXPECT_EQ(Text(begin), unitTimePos(pane.GetZoomBeginTime(), EHS).ToText()) << n;
    }
    EXPECT_DOUBLE_EQ(window->GetViewWaveGroup().GetView(1)->GetZoomEnd() -
                         window->GetViewWaveGroup().GetView(1)->GetZoomBegin(),
                     8820);
    EXPECT_TRUE(unit.IsStateModified());
    EXPECT_TRUE(selZoom->isVisible());
}

TEST_F(ViewCommandsTest, TheCommandsLeaveWithTheirObject)
{
    NewWindow("Wave 1");
    Trigger("SelectWave");
    ASSERT_NE(SelZoom(), nullptr);
    views.reset();
    EXPECT_EQ(SelZoom(), nullptr);
    // Without the commands the actions run nothing and make no window.
    Trigger("ViewWave");
    form->ToggleToolWindow(TMainForm::Tool::SelZoom);
    EXPECT_EQ(SelZoom(), nullptr);
    EXPECT_TRUE(dialogs.Opened().empty());
}

} // namespace
