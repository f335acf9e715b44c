// View Volume on a real wave window: the diagram is computed again only when it must.
#include "ShellSupport.h"

#include "shell/ViewCommands.h"
#include "waveui/ViewWaveGroup.h"

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

TEST_F(CommandsTest, ViewVoldComputesTheDiagramAgainOnlyWhenItMust)
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
    TViewCommands views(*form);
    std::vector<TMDIChildWave*> recalculated;
    views.SetRecalculation([&](TMDIChildWave& window) { recalculated.push_back(&window); });
    for (const Row& row : rows) {
        SCOPED_TRACE(row.field);
        recalculated.clear();
        TMDIChildWave* window = NewWave("Wave 1", Pattern(44100, 3));
        window->GetUnitWave().ClearModified();
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
}

} // namespace
