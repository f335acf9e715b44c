// The wave window offscreen: its panes and bar, icons, keys, notices to the
// main window, the split position and the display part of the side file.
#include "support/WaveWindows.h"

#include "general/xml/XMLElement.h"

#include <QTest>

#include <cmath>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

using ChildWaveTest = WaveWindowTest;

TEST_F(ChildWaveTest, ANewWindowShowsOnlyItsSecondPane)
{
    auto* window =
        new TMDIChildWave(nullptr, std::make_unique<TUnitWave>("Wave 1", "", Flat(1, 100)),
                          TWaveViewProps(), TVoldViewProps());
    area.addSubWindow(window);
    area.show();
    window->show();
    window->resize(600, 300);
    QApplication::processEvents();
    const QSplitter& splitter = window->Splitter();
    EXPECT_EQ(splitter.handleWidth(), 3);
    EXPECT_EQ(Pane(*window, 1).width(), 1);
    EXPECT_EQ(Pane(*window, 2).width(), splitter.width() - 4);
    EXPECT_EQ(window->GetZoomMode(), 0);
    EXPECT_EQ(window->GetUnitWave().GetChildWave(), static_cast<WaveWindowLink*>(window));
}

TEST_F(ChildWaveTest, KeysMoveCursorAndMarks)
{
    struct Case
    {
        int32_t pos1, pos2;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int32_t expect1, expect2;
    };
    const Qt::KeyboardModifiers None = Qt::NoModifier, Shift = Qt::ShiftModifier,
                                Ctrl = Qt::ControlModifier, Alt = Qt::AltModifier,
                                CtrlShift = Ctrl | Shift;
    // 1000 samples: the second pane shows one per column, the first (500 wide) two.
    TMDIChildWave* window = Open(Flat(1, 1000), 500, 1000);
    TUnitWave& unit = window->GetUnitWave();
    for (const Case& c :
         {Case{100, 100, Qt::Key_Right, None, 101, 101}, Case{100, 100, Qt::Key_Left, None, 99, 99},
          Case{100, 100, Qt::Key_Down, None, 110, 110}, Case{100, 100, Qt::Key_Up, None, 90, 90},
          Case{100, 100, Qt::Key_Home, None, 0, 0}, Case{100, 100, Qt::Key_End, None, 1000, 1000},
          // Alt: the first pane's columns are two samples wide.
          Case{100, 100, Qt::Key_Right, Alt, 103, 103}, Case{100, 100, Qt::Key_Down, Alt, 121, 121},
          Case{200, 300, Qt::Key_Right, Shift, 201, 300},
          Case{200, 300, Qt::Key_Down, Ctrl, 200, 310},
          Case{200, 300, Qt::Key_Left, CtrlShift, 199, 299},
          Case{200, 300, Qt::Key_Home, Shift, 0, 300}, Case{200, 300, Qt::Key_End, Ctrl, 200, 1000},
          Case{200, 300, Qt::Key_End, CtrlShift, 900, 1000},
          Case{300, 200, Qt::Key_Home, CtrlShift, 100, 0},
          Case{200, 300, Qt::Key_PageDown, Ctrl, 300, 400},
          Case{200, 300, Qt::Key_PageUp, Ctrl, 100, 200},
          Case{200, 300, Qt::Key_PageDown, None, 200, 300},
          Case{200, 300, Qt::Key_PageDown, CtrlShift, 200, 300},
          // Near an end each position is kept in the wave on its own: the part shrinks.
          Case{850, 950, Qt::Key_PageDown, Ctrl, 950, 1000},
          Case{50, 150, Qt::Key_PageUp, Ctrl, 0, 50},
          Case{1000, 1000, Qt::Key_Right, None, 1000, 1000}, Case{0, 0, Qt::Key_Up, None, 0, 0},
          Case{990, 998, Qt::Key_Down, CtrlShift, 1000, 1000},
          Case{100, 100, Qt::Key_A, None, 100, 100}}) {
        unit.SetPos1(c.pos1);
        unit.SetPos2(c.pos2);
        QTest::keyClick(window, c.key, c.modifiers);
        EXPECT_EQ(std::make_pair(unit.GetPos1(), unit.GetPos2()),
                  std::make_pair(c.expect1, c.expect2))
            << c.pos1 << "," << c.pos2 << " key " << c.key << " modifiers " << int(c.modifiers);
    }
    TMDIChildWave* empty = Open(Flat(1, 0), 1, 1000, 200, "Wave 2");
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_End, Qt::Key_Down})
        QTest::keyClick(empty, key, CtrlShift);
    EXPECT_EQ(empty->GetUnitWave().GetPos2(), 0);
}

TEST_F(ChildWaveTest, NoticesToTheMainWindow)
{
    TMDIChildWave* window = Open(Flat(1, 100));
    // A rename repaints the envelopes of both names.
    window->GetUnitWave().SetName("Drum");
    EXPECT_EQ(host.names, std::vector<std::string>{"Wave 1"});
    EXPECT_EQ(host.changed, std::vector<TMDIChildWave*>{window});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Drum[*]"));
    // A refresh repaints the curve; with the diagram shown it recomputes instead.
    host.changed.clear();
    (void)Pane(*window, 1).BackingImage();
    (void)Pane(*window, 2).BackingImage();
    window->RefreshWave();
    EXPECT_TRUE(Pane(*window, 1).IsFullRepaintPending());
    EXPECT_TRUE(Pane(*window, 2).IsFullRepaintPending());
    EXPECT_EQ(host.changed.size(), 1u);
    window->SetVoldViewProps(TVoldViewProps());
    host.changed.clear();
    window->RefreshWave();
    EXPECT_TRUE(host.changed.empty());
}

TEST_F(ChildWaveTest, TheHeightOfThePanesIsTheAreaBothDrawIn)
{
    TMDIChildWave* window = Open(Flat(1, 4000), 300, 300, 200);
    TViewWaveGroup& group = window->GetViewWaveGroup();
    const int full = Pane(*window, 1).height();
    ASSERT_EQ(group.GetHeight(), full);
    // One pane zoomed shows its scroll bar below the curve; none, one or both: no box.
    for (int zoomed : {1, 2}) {
        Pane(*window, zoomed).ZoomTo(1000, 2000, false);
        EXPECT_EQ(group.GetHeight(), Pane(*window, zoomed).ClientRect().Height()) << zoomed;
        EXPECT_LT(group.GetHeight(), full) << zoomed;
    }
    Pane(*window, 1).ZoomFull();
    Pane(*window, 2).ZoomFull();
    EXPECT_EQ(group.GetHeight(), full);
    delete window;
}

TEST_F(ChildWaveTest, TheSplitGivesTheFirstPaneItsRoundedShare)
{
    struct Case
    {
        int first, second;
        double ratio;
        int expectFirst;
    };
    for (const Case& c :
         {Case{300, 301, 0.5, 301}, Case{300, 301, 0.0, 1}, Case{300, 301, 1.0, 600},
          Case{300, 301, 0.25, 150}, Case{1, 600, 1e-9, 1}, Case{1, 600, 5.0, 600},
          Case{1, 600, -3.0, 1}, Case{1, 600, std::nan(""), 1}}) {
        TMDIChildWave* window = Open(Flat(1, 100), c.first, c.second);
        TViewWaveGroup& group = window->GetViewWaveGroup();
        ASSERT_EQ(group.GetWidth(), c.first + c.second);
        group.SetSplitPosition(c.ratio);
        EXPECT_EQ(Pane(*window, 1).width(), c.expectFirst) << c.ratio;
        EXPECT_EQ(Pane(*window, 2).width(), c.first + c.second - c.expectFirst) << c.ratio;
        EXPECT_DOUBLE_EQ(group.GetSplitPosition(), double(c.expectFirst) / (c.first + c.second));
        delete window;
    }
}

// ---- The side file's display part -------------------------------------------------------------

std::vector<const TXMLItem*> Children(const TXMLItem& parent)
{
    std::vector<const TXMLItem*> children;
    for (const TXMLItem* item = parent.GetFirstChild(); item; item = item->GetNext())
        children.push_back(item);
    return children;
}

class DisplayPartTest : public WaveWindowTest
{
protected:
    void SetUp() override
    {
        source = Open(Flat(1, 10000), 400, 600, 200, "Source");
        Pane(*source, 2).ZoomTo(2000, 4000, false);
        source->WriteViewXml(root);
        target = Open(Flat(1, 10000), 500, 500, 200, "Target");
    }
    bool Read(TMDIChildWave& window, const TXMLComplexElement& from, bool deferred = false)
    {
        int32_t line = -1, column = -1;
        message.clear();
        return window.ReadViewXml(from.GetFirstChild(), message, line, column, deferred);
    }

    TXMLComplexElement root{"UnitWave"};
    TMDIChildWave* source = nullptr;
    TMDIChildWave* target = nullptr;
    std::string message;
};

TEST_F(DisplayPartTest, WritesTheSixElementsAndReadsThemBackIntoTheSecondPane)
{
    const std::vector<const TXMLItem*> children = Children(root);
    ASSERT_EQ(children.size(), 6u);
    const char* names[] = {"SplitPosition", "View", "View", "ShowWave", "ViewWave", "ViewVolume"};
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(children[i]->GetElement(), names[i]);
    EXPECT_EQ(children[1]->GetFirstChild(), nullptr);
    const TXMLItem* zoom = children[2]->GetFirstChild();
    ASSERT_NE(zoom, nullptr);
    EXPECT_EQ(zoom->GetElement(), "Zoom");
    const std::vector<const TXMLItem*> positions = Children(*zoom);
    ASSERT_EQ(positions.size(), 2u);
    EXPECT_EQ(positions[0]->GetText(), std::to_string(int(Pane(*source, 2).GetZoomBegin())));
    EXPECT_EQ(positions[1]->GetText(), std::to_string(int(Pane(*source, 2).GetZoomEnd())));

    ASSERT_TRUE(Read(*target, root)) << message;
    EXPECT_FALSE(Pane(*target, 1).IsZoomed());
    ASSERT_TRUE(Pane(*target, 2).IsZoomed());
    // 2000 samples over 500 columns: the left edge may sit one column (4 samples) further.
    EXPECT_NEAR(Pane(*target, 2).GetZoomBegin(), 2000.0, 4.0 + 1e-9);
    EXPECT_NEAR(Pane(*target, 2).GetZoomEnd(), 4000.0, 4.0 + 1e-9);
    EXPECT_EQ(Pane(*target, 1).width(), 400);
    EXPECT_EQ(target->GetWaveWindKind(), 0);
}

TEST_F(DisplayPartTest, TheDiagramKindAndRecordsComeBackThroughTheSideFile)
{
    TVoldViewProps vold;
    vold.XResolution.SetValue(321);
    source->SetVoldViewProps(vold);
    TWaveViewProps wave;
    wave.ValuesPerPixel.SetValue(7);
    wave.UseGrid = 0;
    source->GetViewWaveGroup().SetWaveViewProps(wave);
    source->GetViewWaveGroup().SetWaveWindKind(1);
    std::unique_ptr<TXMLComplexElement> side = source->GetUnitWave().WriteXml();
    int32_t line = -1, column = -1;
    SoundPtr sound;
    ASSERT_TRUE(target->GetUnitWave().ReadXml(side.get(), message, line, column, false, &sound))
        << message;
    EXPECT_EQ(target->GetWaveWindKind(), 1);
    EXPECT_EQ(target->GetIconIndex(), TMDIChildWave::IconVolume);
    EXPECT_TRUE(target->GetVoldViewProps() == vold);
    EXPECT_TRUE(target->GetWaveViewProps() == wave);
    EXPECT_TRUE(Pane(*target, 2).IsZoomed());
    EXPECT_EQ(Pane(*target, 1).width(), 400);
}

TEST_F(DisplayPartTest, ABadValueIsRefusedAndChangesNothing)
{
    // The first pane's zoom of no samples, after a split the reader would otherwise apply.
    auto* view = static_cast<TXMLComplexElement*>(const_cast<TXMLItem*>(Children(root)[1]));
    TXMLComplexElement* zoom = view->AddComplex("Zoom");
    zoom->AddText("WavePos", "300");
    zoom->AddText("WavePos", "300");
    EXPECT_FALSE(Read(*target, root));
    EXPECT_EQ(message, "In Zoom WavePos 2: Value must be more than Zoom WavePos 1.");
    EXPECT_EQ(Pane(*target, 1).width(), 500);
    EXPECT_FALSE(Pane(*target, 2).IsZoomed());

    static_cast<TXMLStringElement*>(const_cast<TXMLItem*>(Children(root)[0]))->SetText("2");
    EXPECT_FALSE(Read(*target, root));
    EXPECT_EQ(message.rfind("In SplitPosition: ", 0), 0u) << message;
    EXPECT_EQ(Pane(*target, 1).width(), 500);
}

} // namespace
