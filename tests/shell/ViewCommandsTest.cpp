// View Volume on a real wave window: the diagram is computed again only when it must.
#include "ShellSupport.h"

#include "shell/ViewCommands.h"
#include "waveui/ViewWaveGroup.h"

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

TEST_F(CommandsTest, ViewVoldComputesTheDiagramAgainOnlyWhenItMust)
{
    // Volume shown before, the field edited ("" none) and its text, recalculated.
    const std::tuple<bool, const char*, const char*, bool> rows[] = {
        {false, "", "", true},
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
    for (const auto& [showedVolume, field, text, recalculates] : rows) {
        SCOPED_TRACE(field);
        recalculated.clear();
        TMDIChildWave* window = NewWave("Wave 1", Pattern(44100, 3));
        window->GetUnitWave().ClearModified();
        if (showedVolume)
            window->SetWaveWindKind(TViewWaveGroup::waveWindVolume);
        const TVoldViewProps old = window->GetVoldViewProps();
        OkWith("TDlgVoldViewProps", *field ? Edits{{field, text}} : Edits{});
        Trigger("ViewVold");
        EXPECT_EQ(window->GetWaveWindKind(), TViewWaveGroup::waveWindVolume);
        EXPECT_TRUE(A("ViewVold")->isChecked() && !A("ViewWave")->isChecked());
        EXPECT_TRUE(window->GetUnitWave().IsStateModified());
        EXPECT_EQ(window->GetVoldViewProps().NeedsRecalculation(old),
                  *field && std::string(field) != "editStrength");
        EXPECT_EQ(recalculated, recalculates ? std::vector<TMDIChildWave*>{window}
                                             : std::vector<TMDIChildWave*>{});
        delete window;
    }
}

} // namespace
