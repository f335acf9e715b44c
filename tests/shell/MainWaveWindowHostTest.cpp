#include "MainFormTestSupport.h"

#include "shell/MainWaveWindowHost.h"
#include "waveui/WaveWindow.h"

#include <QLabel>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class MainWaveWindowHostTest : public MainFormTest
{
};

// A document window that draws the wave called envelope behind its own.
class EnvelopeUser final : public TMDIChildKelvorn
{
public:
    std::string envelope;
    std::vector<std::pair<int32_t, int32_t>> columns;

    bool DrawsEnvelopeOf(const std::string& name) const override { return name == envelope; }
    void EnvelopeColumnsDrawn(int32_t first, int32_t last) override
    {
        columns.emplace_back(first, last);
    }
};

TEST_F(MainWaveWindowHostTest, InstallsItselfAndForwardsToTheMainWindow)
{
    Start();
    WaveWindowHost* before = FindService<WaveWindowHost>();
    {
        TMainWaveWindowHost host(*form);
        EXPECT_EQ(FindService<WaveWindowHost>(), &host);

        host.SetMouseStatus("1.25000 s", 140);
        QLabel* panel = form->GetStatusPanel(1);
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->text(), "1.25000 s");
        EXPECT_EQ(panel->width(), 140);
        // A width of 0 leaves the panel as wide as it was.
        host.SetMouseStatus("", 0);
        EXPECT_EQ(panel->text(), "");
        EXPECT_EQ(panel->width(), 140);

        TMDIChildKelvorn* wave = OpenWave("Envelope", 1, 10);
        OpenMusic("Envelope music");
        EXPECT_EQ(host.FindUnitWave("Envelope"), UnitWaveOf(wave));
        EXPECT_EQ(host.FindUnitWave("Envelope music"), nullptr);
        EXPECT_EQ(host.FindUnitWave(""), nullptr);
    }
    EXPECT_EQ(FindService<WaveWindowHost>(), before);
}

TEST_F(MainWaveWindowHostTest, NewVolumeColumnsReachTheWindowsDrawingThatWave)
{
    Start();
    TMainWaveWindowHost host(*form);
    auto* envelope =
        Add(new TMDIChildWave(nullptr, std::make_unique<TUnitWave>("Env", "", MainFormRamp(1, 100)),
                              TWaveViewProps(), TVoldViewProps()));
    auto* user = new EnvelopeUser;
    user->envelope = "Env";
    user->SetUnit(std::make_unique<TUnitWave>("User", "", MainFormRamp(1, 10)));
    Add(user);
    auto* stranger = new EnvelopeUser;
    stranger->envelope = "Other";
    stranger->SetUnit(std::make_unique<TUnitWave>("Stranger", "", MainFormRamp(1, 10)));
    Add(stranger);

    host.VolumeColumnsDrawn(*envelope, 40, 60);
    EXPECT_EQ(user->columns, (std::vector<std::pair<int32_t, int32_t>>{{40, 60}}));
    EXPECT_TRUE(stranger->columns.empty());
}

} // namespace
