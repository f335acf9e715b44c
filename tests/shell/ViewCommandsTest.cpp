// View Wave and View Volume on a real wave window, and the Select and Zoom window as the main
// window makes it and keeps it following the active wave window.
#include "ShellSupport.h"

#include "shell/ViewCommands.h"
#include "shell/base/ToolWindow.h"
#include "waveui/SelectZoom.h"
#include "waveui/ViewWave.h"
#include "waveui/ViewWaveGroup.h"
#include "waveui/dialogs/ViewDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

std::string Text(const QLineEdit* edit)
{
    return edit->text().toLatin1().toStdString();
}

std::string Time(double seconds)
{
    return unitTimePos(seconds, EHS).ToText();
}

class ViewCommandsTest : public CommandsTest
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

    /// A stereo wave at 44100 Hz in a new active window with a file, unmodified.
    TMDIChildWave* Open(const std::string& name, int32_t values = 44100)
    {
        TMDIChildWave* window = NewWave(name, Pattern(values, 3));
        window->GetUnitWave().SetFileName(Path(name + ".wav"));
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

TEST_F(ViewCommandsTest, ViewWaveHandsTheEditedRecordToTheWindowAndUseAsDefaultToAll)
{
    TMDIChildWave* window = Open("Wave 1");
    window->SetWaveWindKind(TViewWaveGroup::waveWindVolume);
    CancelAfter("TDlgWaveViewProps", [](QDialog& d) { SetControl(d, "chkDrawGrid", "off"); });
    Trigger("ViewWave");
    EXPECT_EQ(window->GetWaveViewProps(), TWaveViewProps());
    EXPECT_EQ(window->GetWaveWindKind(), TViewWaveGroup::waveWindVolume);
    EXPECT_TRUE(A("ViewVold")->isChecked());
    EXPECT_FALSE(window->GetUnitWave().IsModified());

    std::string shown;
    dialogs.When(
        "TDlgWaveViewProps",
        [&shown](ModalDialog& modal) {
            QDialog& dialog = *DialogAs<QDialog>(modal);
            shown = EditText(dialog, "editValuesPerPixel");
            SetControl(dialog, "editValuesPerPixel", "30");
            SetControl(dialog, "chkDrawGrid", "off");
        },
        DialogResult::Accepted);
    Trigger("ViewWave");
    EXPECT_EQ(shown, "15"); // the window's own record
    EXPECT_EQ(window->GetWaveViewProps().ValuesPerPixel.GetValue(), 30);
    EXPECT_EQ(window->GetWaveViewProps().UseGrid, 0);
    EXPECT_EQ(window->GetWaveWindKind(), TViewWaveGroup::waveWindWave);
    EXPECT_TRUE(A("ViewWave")->isChecked());
    EXPECT_FALSE(A("ViewVold")->isChecked());
    EXPECT_TRUE(window->GetUnitWave().IsStateModified());
    EXPECT_FALSE(window->GetUnitWave().IsDataModified());
    EXPECT_EQ(form->DefaultWaveViewProps(), TWaveViewProps());
    EXPECT_TRUE(recalculated.empty());

    OkWith("TDlgWaveViewProps", {{"editValuesPerPixel", "9"}, {"chkDefault", "on"}});
    Trigger("ViewWave");
    OkWith("TDlgVoldViewProps", {{"editVertical", "64"}, {"chkDefault", "on"}});
    Trigger("ViewVold");
    TMDIChildWave* next = Open("Wave 2");
    EXPECT_EQ(next->GetWaveViewProps().ValuesPerPixel.GetValue(), 9);
    EXPECT_EQ(next->GetVoldViewProps().YResolution.GetValue(), 64);
}

TEST_F(ViewCommandsTest, ViewVoldComputesTheDiagramAgainOnlyWhenItMust)
{
    struct Row
    {
        bool showedVolume;
        const char* field; // "" leaves every field as it is
        const char* text;
        bool recalculates;
    };
    const Row rows[] = {{false, "", "", true},
                        {false, "editStrength", "2", true},
                        {true, "", "", false},
                        {true, "editStrength", "2", false},
                        {true, "editHorizontal", "640", true},
                        {true, "editVertical", "20", true},
                        {true, "editTop", "10 kHz", true},
                        {true, "editBottom", "40 Hz", true},
                        {true, "editWidth", "2", true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.field);
        recalculated.clear();
        TMDIChildWave* window = Open("Wave 1");
        if (row.showedVolume)
            window->SetWaveWindKind(TViewWaveGroup::waveWindVolume);
        const TVoldViewProps old = window->GetVoldViewProps();
        OkWith("TDlgVoldViewProps", *row.field ? Edits{{row.field, row.text}} : Edits{});
        Trigger("ViewVold");
        EXPECT_EQ(window->GetWaveWindKind(), TViewWaveGroup::waveWindVolume);
        EXPECT_TRUE(A("ViewVold")->isChecked() && !A("ViewWave")->isChecked());
        EXPECT_TRUE(window->GetUnitWave().IsStateModified());
        EXPECT_EQ(window->GetVoldViewProps().NeedsRecalculation(old),
                  *row.field && std::string(row.field) != "editStrength");
        EXPECT_EQ(recalculated, row.recalculates ? std::vector<TMDIChildWave*>{window}
                                                 : std::vector<TMDIChildWave*>{});
        delete window;
    }
    // The dialog knows the panes: both widths together, half the height for two diagrams.
    TMDIChildWave* window = Open("Wave 1");
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
    EXPECT_EQ(horizontal, std::to_string(group.GetWidth()));
    EXPECT_EQ(vertical, std::to_string((group.GetHeight() + 1) / 2));
    EXPECT_EQ(window->GetWaveWindKind(), TViewWaveGroup::waveWindWave);
    EXPECT_FALSE(window->GetUnitWave().IsModified());
}

TEST_F(ViewCommandsTest, SelectAndZoomFollowsTheActiveWaveWindowAndAppliesToIt)
{
    TMDIChildWave* first = Open("Wave 1");
    first->GetUnitWave().SetCursor(4410);
    Trigger("SelectWave");
    TDlgSelZoom* selZoom = SelZoom();
    ASSERT_NE(selZoom, nullptr);
    EXPECT_TRUE(selZoom->isVisible() && A("SelectWave")->isChecked());
    EXPECT_EQ(selZoom->ShownWindow(), first);
    EXPECT_EQ(Text(selZoom->editCursorAt), Time(0.1));
    TMDIChildWave* second = Open("Wave 2", 88200);
    EXPECT_EQ(selZoom->ShownWindow(), second);
    EXPECT_EQ(Text(selZoom->editCursorAt), Time(0.0));
    // A selection made in the window shows at once; one in a window behind does not.
    second->GetUnitWave().ChangePart(44100, 66150);
    EXPECT_TRUE(selZoom->optPart->isChecked());
    EXPECT_EQ(Text(selZoom->editPartBegin), Time(1.0));
    EXPECT_EQ(Text(selZoom->editPartEnd), Time(1.5));
    first->GetUnitWave().ChangeCursor(22050);
    EXPECT_EQ(selZoom->ShownWindow(), second);
    // A pane's zoom shows in its group.
    TViewWave& pane = *second->GetViewWaveGroup().GetView(2);
    pane.ZoomTo(4410, 8820, true);
    EXPECT_TRUE(selZoom->chkZoomed2->isChecked());
    EXPECT_FALSE(selZoom->chkZoomed1->isChecked());
    EXPECT_EQ(Text(selZoom->editZoom2End), Time(pane.GetZoomEndTime()));

    // OK applies to the active window and reads it back.
    selZoom->editPartBegin->setText("0.25 s");
    selZoom->editPartEnd->setText("0.5 s");
    selZoom->editZoom1Begin->setText("0.1 s");
    selZoom->editZoom1End->setText("0.3 s");
    selZoom->OKBtn->click();
    EXPECT_EQ(second->GetUnitWave().GetPartBegin(), 11025);
    EXPECT_EQ(second->GetUnitWave().GetPartEnd(), 22050);
    const TViewWave& zoomed = *second->GetViewWaveGroup().GetView(1);
    ASSERT_TRUE(zoomed.IsZoomed());
    EXPECT_DOUBLE_EQ(zoomed.GetZoomEnd() - zoomed.GetZoomBegin(), 8820);
    EXPECT_EQ(Text(selZoom->editZoom1Begin), Time(zoomed.GetZoomBeginTime()));
    EXPECT_TRUE(selZoom->isVisible());

    // A music window is no wave window, and after the last window nothing shows.
    OpenMusic("Music 1");
    EXPECT_EQ(selZoom->ShownWindow(), nullptr);
    EXPECT_FALSE(selZoom->OKBtn->isEnabled());
    form->Frame()->setActiveSubWindow(first);
    EXPECT_EQ(selZoom->ShownWindow(), first);
    first->GetUnitWave().ClearModified();
    second->GetUnitWave().ClearModified();
    for (QMdiSubWindow* window : form->Frame()->subWindowList())
        window->close();
    Flush();
    EXPECT_EQ(selZoom->ShownWindow(), nullptr);
    EXPECT_TRUE(selZoom->editCursorAt->text().isEmpty());
    // "Close" hides it and unchecks its action; the same window serves the next use.
    selZoom->CancelBtn->click();
    EXPECT_FALSE(selZoom->isVisible() || A("SelectWave")->isChecked());
    form->ToggleToolWindow(TMainForm::Tool::SelZoom);
    EXPECT_EQ(SelZoom(), selZoom);
    EXPECT_EQ(form->ToolSlot(TMainForm::Tool::SelZoom).Creations(), 1);
    // The commands leave with their object, and then make no window.
    views.reset();
    EXPECT_EQ(SelZoom(), nullptr);
    form->ToggleToolWindow(TMainForm::Tool::SelZoom);
    EXPECT_EQ(SelZoom(), nullptr);
}

} // namespace
