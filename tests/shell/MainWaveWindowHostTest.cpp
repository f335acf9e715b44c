#include "MainFormTestSupport.h"

#include "shell/MainWaveWindowHost.h"

#include <QLabel>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class MainWaveWindowHostTest : public MainFormTest
{
};

TEST_F(MainWaveWindowHostTest, InstallsItselfAndForwardsToTheMainWindow)
{
    Start();
    WaveWindowHost* before = GetWaveWindowHost();
    {
        TMainWaveWindowHost host(*form);
        EXPECT_EQ(GetWaveWindowHost(), &host);

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
        EXPECT_EQ(host.FindUnitWave("Envelope"), wave->GetUnitWave());
        EXPECT_EQ(host.FindUnitWave("Envelope music"), nullptr);
        EXPECT_EQ(host.FindUnitWave(""), nullptr);
    }
    EXPECT_EQ(GetWaveWindowHost(), before);
}

} // namespace
