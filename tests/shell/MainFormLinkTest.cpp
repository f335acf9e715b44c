#include "waveui/WaveWindow.h"
#include "ShellTestSupport.h"

#include "general/Services.h"
#include "shell/MainFormLink.h"
#include "document/wave/UndoUnit.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

// The main window's own part, recording what reaches it.
class FakeMainWindow final : public MainWindowServices
{
public:
    FakeMainWindow()
    {
        for (auto& panel : panels)
            panel = std::make_unique<QLabel>();
    }

    void SetEditName(const std::string& name) override { calls.push_back("SetEditName " + name); }
    void SelZoomClosed() override { calls.push_back("SelZoomClosed"); }
    void EditNameClosed() override { calls.push_back("EditNameClosed"); }
    void MusicDialogClosed() override { calls.push_back("MusicDialogClosed"); }
    void MusTreeClosed() override { calls.push_back("MusTreeClosed"); }
    void SetTextInputMode(bool on) override
    {
        calls.push_back(on ? "TextInput on" : "TextInput off");
    }
    void PlaySound(const Sound& sound, bool maximise) override
    {
        calls.push_back("Play " + std::to_string(sound.GetValues()) + (maximise ? " max" : ""));
    }
    void SelZoomSelectionChanged(TMDIChildKelvorn* window) override
    {
        selectionWindows.push_back(window);
    }
    void SelZoomZoomChanged(TMDIChildKelvorn* window, int pane) override
    {
        zoomPanes.push_back(pane);
    }
    QLabel* GetStatusPanel(int panel) override
    {
        return panel >= 0 && panel < int(panels.size()) ? panels[size_t(panel)].get() : nullptr;
    }
    QRect GetMainFormRect() const override { return QRect(10, 20, 800, 600); }
    QIcon GetImageListIcon(int) const override { return {}; }
    QPixmap GetToolBarButtonBitmap(int) const override { return {}; }

    std::vector<std::string> calls;
    std::vector<TMDIChildKelvorn*> selectionWindows;
    std::vector<int> zoomPanes;
    std::array<std::unique_ptr<QLabel>, 8> panels;
};

class MainFormLinkTest : public FrameTest
{
protected:
    FakeMainWindow mainWindow;
    TMainFormLink link{services, mainWindow};
};

TEST_F(MainFormLinkTest, InstallsItselfForItsLifetime)
{
    EXPECT_EQ(FindService<MainFormLink>(), &link);
    EXPECT_EQ(FindService<SoundPlayer>(), &link);
    EXPECT_EQ(TMainFormLink::Instance(), &link);
    {
        TMainFormLink inner(services, mainWindow);
        EXPECT_EQ(FindService<MainFormLink>(), &inner);
        EXPECT_EQ(FindService<SoundPlayer>(), &inner);
        EXPECT_EQ(TMainFormLink::Instance(), &inner);
    }
    EXPECT_EQ(FindService<MainFormLink>(), &link);
    EXPECT_EQ(FindService<SoundPlayer>(), &link);
    EXPECT_EQ(TMainFormLink::Instance(), &link);
}

TEST_F(MainFormLinkTest, CopyFillsTheClipboardOfTheMainWindow)
{
    TMDIChildKelvorn* window = OpenWave("Wave 1", 2, "/tmp/w.wav", 20);
    EXPECT_EQ(link.GetClipBoardSound(), nullptr);
    EXPECT_TRUE(messages.Shown().empty()); // the link answers an empty clipboard without a box

    ASSERT_TRUE(UnitWaveOf(window)->CopyPart(5, 9));
    ASSERT_TRUE(services.HasClipBoardSound());
    SoundPtr copy = services.GetClipBoardSound();
    EXPECT_EQ(link.GetClipBoardSound(), copy);
    ASSERT_EQ(copy->GetValues(), 4);
    ASSERT_EQ(copy->GetMonoStereo(), 2);
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ((*copy->GetLeftWave())[i], 5 + i);
        EXPECT_EQ((*copy->GetRightWave())[i], -(5 + i));
    }

    // The clipboard outlives its source document.
    window->close();
    Flush();
    EXPECT_EQ(services.GetClipBoardSound(), copy);
    EXPECT_EQ((*copy->GetLeftWave())[3], 8);
}

TEST_F(MainFormLinkTest, UndoRecordGoesWithItsDocument)
{
    TMDIChildKelvorn* first = OpenWave("Wave 1");
    TMDIChildKelvorn* second = OpenWave("Wave 2");
    TUnitWave* unit = UnitWaveOf(first);
    services.MakeUndo(*unit);
    SoundPtr before = unit->GetSound();

    // A command swaps a new sound in; Undo swaps it back.
    unit->ExchangeSound(Ramp(1, 3));
    ASSERT_NE(services.GetUndo(), nullptr);
    services.GetUndo()->Undo();
    EXPECT_EQ(unit->GetSound(), before);

    // Deleting another document keeps the record; deleting its own drops it.
    delete second;
    EXPECT_NE(services.GetUndo(), nullptr);
    delete first;
    EXPECT_EQ(services.GetUndo(), nullptr);
}

TEST_F(MainFormLinkTest, SelectionChangeReachesSelectAndZoomAndEnvelopeUsers)
{
    TMDIChildKelvorn* window = OpenWave("Env", 1, "", 100);
    EnvelopeWindow* user = OpenEnvelopeUser("User", "Env");
    Activate(window);
    UnitWaveOf(window)->ChangePart(10, 40);
    EXPECT_EQ(mainWindow.selectionWindows, std::vector<TMDIChildKelvorn*>{window});
    EXPECT_EQ(user->repaints, 1);
}

TEST_F(MainFormLinkTest, StatusPanelsShowTheActiveWave)
{
    TMDIChildKelvorn* window = OpenWave("Wave 1", 2, "", 44100);
    UnitWaveOf(window)->UpdateActions();
    for (int panel = 2; panel <= 7; ++panel)
        EXPECT_EQ(mainWindow.panels[size_t(panel)]->text().toStdString(),
                  UnitWaveOf(window)->StatusText(panel))
            << panel;
    EXPECT_FALSE(mainWindow.panels[2]->text().isEmpty());
    // A panel the main window lacks is skipped.
    link.SetStatusText(8, "x");
    link.SetStatusText(1, "Caf\xe9");
    EXPECT_EQ(mainWindow.panels[1]->text(), QString::fromUtf8("Café"));
}

TEST_F(MainFormLinkTest, ZoomNoticeOnlyForTheActiveWaveWindow)
{
    TMDIChildKelvorn* first = OpenWave("Wave 1");
    TMDIChildKelvorn* second = OpenWave("Wave 2");
    link.WaveZoomChanged(first, 1);
    EXPECT_TRUE(mainWindow.zoomPanes.empty());
    link.WaveZoomChanged(second, 2);
    EXPECT_EQ(mainWindow.zoomPanes, std::vector<int>{2});
    OpenMusic("Music 1");
    link.WaveZoomChanged(second, 1);
    EXPECT_EQ(mainWindow.zoomPanes, std::vector<int>{2});
}

TEST_F(MainFormLinkTest, SoundsPlayThroughTheMainWindow)
{
    SoundPtr sound = Ramp(1, 12);
    sound->Play(true);
    link.PlaySound(*sound, false);
    EXPECT_EQ(mainWindow.calls, (std::vector<std::string>{"Play 12 max", "Play 12"}));
}

TEST_F(MainFormLinkTest, DocumentQueriesAnswerWhatTheServicesAnswer)
{
    TMDIChildKelvorn* wave = OpenWave("Wave 1");
    OpenFactory("Factory 1", 2, {{"Out", 15}});
    TMDIChildKelvorn* music = OpenMusic("Music 1");

    EXPECT_EQ(link.GetActiveUnit(), music->GetUnit());
    EXPECT_EQ(link.GetActiveChildMuz(), music);
    EXPECT_EQ(link.GetActiveChildWave(), nullptr);
    EXPECT_EQ(link.FindUnitWave("Wave 1"), UnitWaveOf(wave));
    EXPECT_NE(link.FindUnitSountory("Factory 1"), nullptr);

    std::vector<WaveChoice> waves;
    EXPECT_EQ(link.FillWaveList(waves, 1), 1);
    std::vector<SountoryNodeChoice> nodes;
    EXPECT_EQ(link.FillSountoryNodeList(nodes, 15), 1);
    EXPECT_EQ(nodes.at(0).caption, "Factory 1.Out");

    messages.Expect();
    EXPECT_FALSE(link.CheckUniqueName("Wave 1", music->GetUnit()));
    EXPECT_EQ(messages.Shown().at(0).text, "A window with name \"Wave 1\" already exists.");
    EXPECT_EQ(link.GetMainFormRect(), QRect(10, 20, 800, 600));
}

} // namespace
