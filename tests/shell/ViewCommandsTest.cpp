// View Volume on a real wave window: the diagram is computed again only when it must, and the
// dialog learns the panes' size.
#include "ShellSupport.h"

#include "shell/ViewCommands.h"
#include "waveui/ViewWaveGroup.h"
#include "waveui/dialogs/ViewDialogs.h"

#include <QApplication>
#include <QPushButton>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

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
    }

    /// A stereo wave at 44100 Hz in a new active window with a file, unmodified.
    TMDIChildWave* Open(const std::string& name)
    {
        TMDIChildWave* window = NewWave(name, Pattern(44100, 3));
        window->GetUnitWave().SetFileName(Path(name + ".wav"));
        window->resize(800, 300);
        // The panes settle their split and zoom over a few rounds of the event loop.
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        window->GetUnitWave().ClearModified();
        form->ActionListUpdate();
        return window;
    }

    std::unique_ptr<TViewCommands> views;
    std::vector<TMDIChildWave*> recalculated;
};

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
            horizontal = EditText(*dialog, "editHorizontal");
            vertical = EditText(*dialog, "editVertical");
        },
        DialogResult::Rejected);
    Trigger("ViewVold");
    EXPECT_EQ(horizontal, std::to_string(group.GetWidth()));
    EXPECT_EQ(vertical, std::to_string((group.GetHeight() + 1) / 2));
    EXPECT_EQ(window->GetWaveWindKind(), TViewWaveGroup::waveWindWave);
    EXPECT_FALSE(window->GetUnitWave().IsModified());
}

} // namespace
