#include "WaveUiTestSupport.h"

#include "general/xml/XMLElement.h"

#include <QPointer>
#include <QTest>

#include <cmath>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class ChildWaveTest : public WaveWindowTest
{
};

// ---- A new window ------------------------------------------------------------------------------

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
    EXPECT_EQ(&window->GetUnitWave(), window->GetUnit());
    EXPECT_EQ(window->GetUnitWave().GetChildWave(), static_cast<WaveWindowLink*>(window));
}

TEST_F(ChildWaveTest, TheBarFollowsActivation)
{
    TMDIChildWave* first = Open(Flat(1, 100));
    TMDIChildWave* second = Open(Flat(1, 100), 1, 1000, 200, "Wave 2");
    area.setActiveSubWindow(first);
    QApplication::processEvents();
    const QColor active = first->SplitterColour();
    EXPECT_EQ(active, first->palette().color(QPalette::Active, QPalette::Highlight));
    area.setActiveSubWindow(second);
    QApplication::processEvents();
    EXPECT_EQ(first->SplitterColour(), first->palette().color(QPalette::Inactive, QPalette::Mid));
    EXPECT_EQ(second->SplitterColour(), active);
    EXPECT_NE(first->SplitterColour(), active);
}

// ---- Icons ------------------------------------------------------------------------------------

TEST_F(ChildWaveTest, TheIconFollowsChannelsAndDiagram)
{
    TMDIChildWave* mono = Open(Flat(1, 100));
    TMDIChildWave* stereo = Open(Flat(2, 100), 1, 1000, 200, "Wave 2");
    EXPECT_EQ(mono->GetIconIndex(), TMDIChildWave::IconMono);
    EXPECT_EQ(stereo->GetIconIndex(), TMDIChildWave::IconStereo);
    EXPECT_EQ(mono->GetIconIndex(), 1);
    EXPECT_EQ(stereo->GetIconIndex(), 0);

    stereo->SetVoldViewProps(TVoldViewProps());
    EXPECT_EQ(stereo->GetIconIndex(), 3);
    EXPECT_EQ(stereo->GetWaveWindKind(), 1);
    stereo->SetWaveViewProps(TWaveViewProps());
    EXPECT_EQ(stereo->GetIconIndex(), 0);
    EXPECT_EQ(stereo->GetWaveWindKind(), 0);

    mono->SetIconByChannels(2);
    EXPECT_EQ(mono->GetIconIndex(), 0);
    mono->SetIconByChannels(1);
    EXPECT_EQ(mono->GetIconIndex(), 1);
    EXPECT_FALSE(mono->windowIcon().isNull());
}

TEST_F(ChildWaveTest, ZoomModeNumbersAreStored)
{
    TMDIChildWave* window = Open(Flat(1, 100));
    for (uint8_t mode : {1, 2, 0, 7}) {
        window->SetZoomMode(mode);
        EXPECT_EQ(window->GetZoomMode(), mode);
        EXPECT_EQ(window->GetViewWaveGroup().GetZoomMode(), mode);
    }
}

// ---- Keys ---------------------------------------------------------------------------------------

struct KeyCase
{
    int32_t pos1;
    int32_t pos2;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int32_t expect1;
    int32_t expect2;
};

class KeyTest : public WaveWindowTest, public ::testing::WithParamInterface<KeyCase>
{
};

TEST_P(KeyTest, MovesCursorAndMarks)
{
    // 1000 samples: the second pane shows one per column, the first (500 wide) two.
    TMDIChildWave* window = Open(Flat(1, 1000), 500, 1000);
    TUnitWave& unit = window->GetUnitWave();
    const KeyCase& c = GetParam();
    unit.SetPos1(c.pos1);
    unit.SetPos2(c.pos2);
    QTest::keyClick(window, c.key, c.modifiers);
    EXPECT_EQ(unit.GetPos1(), c.expect1);
    EXPECT_EQ(unit.GetPos2(), c.expect2);
}

const Qt::KeyboardModifiers None = Qt::NoModifier;
const Qt::KeyboardModifiers Shift = Qt::ShiftModifier;
const Qt::KeyboardModifiers Ctrl = Qt::ControlModifier;
const Qt::KeyboardModifiers CtrlShift = Qt::ControlModifier | Qt::ShiftModifier;
const Qt::KeyboardModifiers Alt = Qt::AltModifier;

INSTANTIATE_TEST_SUITE_P(
    Table, KeyTest,
    ::testing::Values(KeyCase{100, 100, Qt::Key_Right, None, 101, 101},
                      KeyCase{100, 100, Qt::Key_Left, None, 99, 99},
                      KeyCase{100, 100, Qt::Key_Down, None, 110, 110},
                      KeyCase{100, 100, Qt::Key_Up, None, 90, 90},
                      KeyCase{100, 100, Qt::Key_Home, None, 0, 0},
                      KeyCase{100, 100, Qt::Key_End, None, 1000, 1000},
                      // Alt: the first pane's columns are two samples wide.
                      KeyCase{100, 100, Qt::Key_Right, Alt, 103, 103},
                      KeyCase{100, 100, Qt::Key_Down, Alt, 121, 121},
                      KeyCase{200, 300, Qt::Key_Right, Shift, 201, 300},
                      KeyCase{200, 300, Qt::Key_Down, Ctrl, 200, 310},
                      KeyCase{200, 300, Qt::Key_Left, CtrlShift, 199, 299},
                      KeyCase{200, 300, Qt::Key_Home, Shift, 0, 300},
                      KeyCase{200, 300, Qt::Key_End, Ctrl, 200, 1000},
                      KeyCase{200, 300, Qt::Key_End, CtrlShift, 900, 1000},
                      KeyCase{300, 200, Qt::Key_Home, CtrlShift, 100, 0},
                      KeyCase{200, 300, Qt::Key_PageDown, Ctrl, 300, 400},
                      KeyCase{200, 300, Qt::Key_PageUp, Ctrl, 100, 200},
                      KeyCase{200, 300, Qt::Key_PageDown, None, 200, 300},
                      KeyCase{200, 300, Qt::Key_PageDown, CtrlShift, 200, 300},
                      // Near an end each position is kept in the wave on its own: the part shrinks.
                      KeyCase{850, 950, Qt::Key_PageDown, Ctrl, 950, 1000},
                      KeyCase{50, 150, Qt::Key_PageUp, Ctrl, 0, 50},
                      KeyCase{1000, 1000, Qt::Key_Right, None, 1000, 1000},
                      KeyCase{0, 0, Qt::Key_Up, None, 0, 0},
                      KeyCase{990, 998, Qt::Key_Down, CtrlShift, 1000, 1000},
                      KeyCase{100, 100, Qt::Key_A, None, 100, 100}));

TEST_F(ChildWaveTest, KeysOnAnEmptyWaveStayAtZero)
{
    TMDIChildWave* window = Open(Flat(1, 0));
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_End, Qt::Key_Down})
        QTest::keyClick(window, key, CtrlShift);
    EXPECT_EQ(window->GetUnitWave().GetPos1(), 0);
    EXPECT_EQ(window->GetUnitWave().GetPos2(), 0);
}

// ---- The close question ---------------------------------------------------------------------

struct CloseCase
{
    MsgAnswer answer;
    bool saved; // what the save handler answers
    bool closes;
    int saves; // how often the handler ran
};

class CloseTest : public WaveWindowTest, public ::testing::WithParamInterface<CloseCase>
{
};

TEST_P(CloseTest, AsksBeforeUnsavedChangesGo)
{
    TMDIChildWave* window = Open(Flat(1, 100));
    int saves = 0;
    window->SetSaveHandler([&](TMDIChildKelvorn& asked) {
        EXPECT_EQ(&asked, window);
        ++saves;
        return GetParam().saved;
    });
    window->GetUnitWave().SetModified();
    QPointer<TMDIChildWave> alive(window);
    messages.Expect(GetParam().answer);
    EXPECT_EQ(window->close(), GetParam().closes);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text,
              "Do you want to save the Wave with name \"Wave 1\" to a new file?");
    EXPECT_EQ(messages.Shown()[0].caption, "You have unsaved changes");
    EXPECT_EQ(messages.Shown()[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(saves, GetParam().saves);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(alive.isNull(), GetParam().closes);
}

INSTANTIATE_TEST_SUITE_P(Answers, CloseTest,
                         ::testing::Values(CloseCase{MsgAnswer::Yes, true, true, 1},
                                           CloseCase{MsgAnswer::Yes, false, false, 1},
                                           CloseCase{MsgAnswer::No, true, true, 0},
                                           CloseCase{MsgAnswer::Cancel, true, false, 0}));

TEST_F(ChildWaveTest, AnUnchangedWaveClosesWithoutAQuestion)
{
    TMDIChildWave* window = Open(Flat(1, 100));
    window->GetUnitWave().SetFileName("/tmp/unchanged.wav");
    window->GetUnitWave().ClearModified();
    QPointer<TMDIChildWave> alive(window);
    EXPECT_TRUE(window->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(ChildWaveTest, ADestroyedWindowLetsItsDocumentGo)
{
    TMDIChildWave* window = Open(Flat(2, 100));
    window->GetViewWaveGroup().StartVolumeWriter();
    delete window;
    EXPECT_TRUE(area.subWindowList().empty());
}

// ---- Notices to the main window ---------------------------------------------------------------

TEST_F(ChildWaveTest, ARenamedWaveRepaintsTheEnvelopesOfBothNames)
{
    TMDIChildWave* window = Open(Flat(1, 100));
    window->GetUnitWave().SetName("Drum");
    EXPECT_EQ(host.names, std::vector<std::string>{"Wave 1"});
    EXPECT_EQ(host.changed, std::vector<TMDIChildWave*>{window});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Drum[*]"));
}

TEST_F(ChildWaveTest, RefreshWaveRepaintsTheCurveOrRecomputesTheDiagram)
{
    TMDIChildWave* window = Open(Flat(1, 100));
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

TEST_F(ChildWaveTest, AnEmptyWavesDiagramOnlyRepaints)
{
    TMDIChildWave* window = Open(Flat(1, 0));
    window->SetVoldViewProps(TVoldViewProps());
    window->RefreshWave();
    EXPECT_EQ(host.changed.size(), 1u);
    EXPECT_FALSE(window->GetViewWaveGroup().IsVolumeWriterRunning());
}

TEST_F(ChildWaveTest, DrawsTheEnvelopeItsRecordNames)
{
    TMDIChildWave* window = Open(Flat(1, 100));
    TWaveViewProps props;
    props.DrawEnvelope = 1;
    props.EnvelopeName = unitUnitWave("Env");
    window->SetWaveViewProps(props);
    EXPECT_TRUE(window->DrawsEnvelopeOf("Env"));
    EXPECT_FALSE(window->DrawsEnvelopeOf("Wave 1"));
    EXPECT_FALSE(window->DrawsEnvelopeOf(""));
    props.DrawEnvelope = 0;
    window->SetWaveViewProps(props);
    EXPECT_FALSE(window->DrawsEnvelopeOf("Env"));
}

// ---- Split position ----------------------------------------------------------------------------

struct SplitCase
{
    int first;
    int second;
    double ratio;
    int expectFirst;
};

class SplitTest : public WaveWindowTest, public ::testing::WithParamInterface<SplitCase>
{
};

TEST_P(SplitTest, GivesTheFirstPaneItsRoundedShare)
{
    const SplitCase& c = GetParam();
    TMDIChildWave* window = Open(Flat(1, 100), c.first, c.second);
    TViewWaveGroup& group = window->GetViewWaveGroup();
    ASSERT_EQ(group.GetWidth(), c.first + c.second);
    group.SetSplitPosition(c.ratio);
    EXPECT_EQ(Pane(*window, 1).width(), c.expectFirst);
    EXPECT_EQ(Pane(*window, 2).width(), c.first + c.second - c.expectFirst);
    EXPECT_DOUBLE_EQ(group.GetSplitPosition(), double(c.expectFirst) / (c.first + c.second));
}

INSTANTIATE_TEST_SUITE_P(
    Ratios, SplitTest,
    ::testing::Values(SplitCase{300, 301, 0.5, 301}, SplitCase{300, 301, 0.0, 1},
                      SplitCase{300, 301, 1.0, 600}, SplitCase{300, 301, 0.25, 150},
                      SplitCase{1, 600, 1e-9, 1}, SplitCase{1, 600, 5.0, 600},
                      SplitCase{1, 600, -3.0, 1}, SplitCase{1, 600, std::nan(""), 1}));

TEST_F(ChildWaveTest, APendingSplitWaitsUntilItIsApplied)
{
    TMDIChildWave* window = Open(Flat(1, 100), 100, 300);
    TViewWaveGroup& group = window->GetViewWaveGroup();
    group.ApplyPendingSplitPosition();
    EXPECT_EQ(Pane(*window, 1).width(), 100);
    group.SetPendingSplitPosition(0.5);
    EXPECT_TRUE(group.HasPendingSplitPosition());
    EXPECT_EQ(Pane(*window, 1).width(), 100);
    group.ApplyPendingSplitPosition();
    EXPECT_EQ(Pane(*window, 1).width(), 200);
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

    TXMLComplexElement root{"UnitWave"};
    TMDIChildWave* source = nullptr;
    TMDIChildWave* target = nullptr;
};

TEST_F(DisplayPartTest, WritesTheSixElementsInOrder)
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
}

TEST_F(DisplayPartTest, ReadingItBackZoomsOnlyTheSecondPane)
{
    std::string message;
    int32_t line = -1, column = -1;
    ASSERT_TRUE(target->ReadViewXml(root.GetFirstChild(), message, line, column, false)) << message;
    EXPECT_FALSE(Pane(*target, 1).IsZoomed());
    ASSERT_TRUE(Pane(*target, 2).IsZoomed());
    // 2000 samples over 500 columns: the left edge may sit one column (4 samples) further.
    EXPECT_NEAR(Pane(*target, 2).GetZoomBegin(), 2000.0, 4.0 + 1e-9);
    EXPECT_NEAR(Pane(*target, 2).GetZoomEnd(), 4000.0, 4.0 + 1e-9);
    EXPECT_EQ(Pane(*target, 1).width(), 400);
    EXPECT_EQ(target->GetWaveWindKind(), 0);
}

TEST_F(DisplayPartTest, DeferredReadingWaitsForTheWindowsPlace)
{
    std::string message;
    int32_t line = -1, column = -1;
    ASSERT_TRUE(target->ReadViewXml(root.GetFirstChild(), message, line, column, true));
    EXPECT_FALSE(Pane(*target, 2).IsZoomed());
    EXPECT_EQ(Pane(*target, 1).width(), 500);
    target->GetViewWaveGroup().ApplyPendingSplitPosition();
    target->GetViewWaveGroup().ApplyPendingZoom();
    EXPECT_EQ(Pane(*target, 1).width(), 400);
    EXPECT_FALSE(Pane(*target, 1).IsZoomed());
    EXPECT_TRUE(Pane(*target, 2).IsZoomed());
}

TEST_F(DisplayPartTest, TheDiagramKindAndRecordsComeBack)
{
    TVoldViewProps vold;
    vold.XResolution.SetValue(321);
    source->SetVoldViewProps(vold);
    TWaveViewProps wave;
    wave.ValuesPerPixel.SetValue(7);
    wave.UseGrid = 0;
    source->GetViewWaveGroup().SetWaveViewProps(wave);
    source->GetViewWaveGroup().SetWaveWindKind(1);
    TXMLComplexElement again("UnitWave");
    source->WriteViewXml(again);
    std::string message;
    int32_t line = -1, column = -1;
    ASSERT_TRUE(target->ReadViewXml(again.GetFirstChild(), message, line, column, false));
    EXPECT_EQ(target->GetWaveWindKind(), 1);
    EXPECT_EQ(target->GetIconIndex(), TMDIChildWave::IconVolume);
    EXPECT_TRUE(target->GetVoldViewProps() == vold);
    EXPECT_TRUE(target->GetWaveViewProps() == wave);
}

TEST_F(DisplayPartTest, ABadValueIsRefusedAndChangesNothing)
{
    // The first pane's zoom of no samples, after a split the reader would otherwise apply.
    auto* firstView = const_cast<TXMLItem*>(Children(root)[1]);
    auto* view = static_cast<TXMLComplexElement*>(firstView);
    TXMLComplexElement* zoom = view->AddComplex("Zoom");
    zoom->AddText("WavePos", "300");
    zoom->AddText("WavePos", "300");
    std::string message;
    int32_t line = -1, column = -1;
    EXPECT_FALSE(target->ReadViewXml(root.GetFirstChild(), message, line, column, false));
    EXPECT_EQ(message, "In Zoom WavePos 2: Value must be more than Zoom WavePos 1.");
    EXPECT_EQ(Pane(*target, 1).width(), 500);
    EXPECT_FALSE(Pane(*target, 2).IsZoomed());

    static_cast<TXMLStringElement*>(const_cast<TXMLItem*>(Children(root)[0]))->SetText("2");
    message.clear();
    EXPECT_FALSE(target->ReadViewXml(root.GetFirstChild(), message, line, column, false));
    EXPECT_EQ(message.rfind("In SplitPosition: ", 0), 0u) << message;
    EXPECT_EQ(Pane(*target, 1).width(), 500);
}

TEST_F(DisplayPartTest, TheDocumentsSideFileCarriesTheDisplayPart)
{
    std::unique_ptr<TXMLComplexElement> side = source->GetUnitWave().WriteXml();
    std::string message;
    int32_t line = -1, column = -1;
    SoundPtr sound;
    ASSERT_TRUE(target->GetUnitWave().ReadXml(side.get(), message, line, column, false, &sound))
        << message;
    EXPECT_TRUE(Pane(*target, 2).IsZoomed());
    EXPECT_FALSE(Pane(*target, 1).IsZoomed());
    EXPECT_EQ(Pane(*target, 1).width(), 400);
}

} // namespace

namespace {

TEST_F(DisplayPartTest, AWindowReadBeforeItIsShownTakesTheSplitOnceLaidOut)
{
    auto* hidden =
        new TMDIChildWave(nullptr, std::make_unique<TUnitWave>("Hidden", "", Flat(1, 10000)),
                          TWaveViewProps(), TVoldViewProps());
    std::string message;
    int32_t line = -1, column = -1;
    ASSERT_TRUE(hidden->ReadViewXml(root.GetFirstChild(), message, line, column, false));
    // Nothing to measure yet: what was read is what the window reports.
    EXPECT_DOUBLE_EQ(hidden->GetViewWaveGroup().GetSplitPosition(), 0.4);
    // The zoom is kept exactly, not snapped to the pixels of a pane without a size.
    EXPECT_EQ(Pane(*hidden, 2).GetZoomBegin(), std::trunc(Pane(*source, 2).GetZoomBegin()));
    area.addSubWindow(hidden);
    hidden->show();
    hidden->resize(700, 300);
    QApplication::processEvents();
    const int total = hidden->GetViewWaveGroup().GetWidth();
    ASSERT_GT(total, 100);
    EXPECT_EQ(Pane(*hidden, 1).width(), int(total * 0.4 + 0.5));
}

} // namespace

namespace {

TEST_F(DisplayPartTest, EachPaneWritesTheViewTheGroupWrites)
{
    TXMLComplexElement views("UnitWave");
    Pane(*source, 1).WriteXml(views);
    Pane(*source, 2).WriteXml(views);
    const std::vector<const TXMLItem*> own = Children(views);
    const std::vector<const TXMLItem*> group = Children(root);
    ASSERT_EQ(own.size(), 2u);
    EXPECT_EQ(own[0]->GetElement(), "View");
    EXPECT_EQ(own[0]->GetFirstChild(), nullptr);
    const TXMLItem* zoom = own[1]->GetFirstChild();
    ASSERT_NE(zoom, nullptr);
    const std::vector<const TXMLItem*> positions = Children(*zoom);
    const std::vector<const TXMLItem*> expected = Children(*group[2]->GetFirstChild());
    ASSERT_EQ(positions.size(), 2u);
    EXPECT_EQ(positions[0]->GetText(), expected[0]->GetText());
    EXPECT_EQ(positions[1]->GetText(), expected[1]->GetText());
}

} // namespace
