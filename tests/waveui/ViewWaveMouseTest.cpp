#include "WaveUiTestSupport.h"

#include "general/Services.h"
#include "shell/base/CursorTable.h"

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

// The first move a pane sees only records where the mouse is; real mice have always moved
// before they press.
void Prime(QWidget& pane)
{
    Mouse(pane, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {1, 1});
}

class PaneMouseTest : public WaveWindowTest
{
protected:
    // A wave of 1000 samples over the second pane's 1000 columns: column x is sample x.
    void SetUp() override
    {
        window = Open(Flat(1, 1000));
        pane = &Pane(*window, 2);
        unit = &window->GetUnitWave();
    }
    std::pair<int32_t, int32_t> Part() const { return {unit->GetPartBegin(), unit->GetPartEnd()}; }

    TMDIChildWave* window = nullptr;
    TViewWave* pane = nullptr;
    TUnitWave* unit = nullptr;
};

// ---- Selecting --------------------------------------------------------------------------------

struct ClickCase
{
    Qt::KeyboardModifiers modifiers;
    int x;
    int32_t begin;
    int32_t end;
};

class ClickTest : public PaneMouseTest, public ::testing::WithParamInterface<ClickCase>
{
};

TEST_P(ClickTest, ChangesThePartOf100To200)
{
    unit->SetPart(100, 200);
    Click(*pane, QPoint(GetParam().x, 50), GetParam().modifiers);
    EXPECT_EQ(Part(), std::make_pair(GetParam().begin, GetParam().end));
}

INSTANTIATE_TEST_SUITE_P(
    Modifiers, ClickTest,
    ::testing::Values(
        // Ctrl extends toward the click from the nearer end.
        ClickCase{Qt::ControlModifier, 190, 190, 200},
        ClickCase{Qt::ControlModifier, 250, 200, 250}, ClickCase{Qt::ControlModifier, 40, 40, 100},
        ClickCase{Qt::ControlModifier, 120, 100, 120},
        // A tie keeps the larger position as the anchor.
        ClickCase{Qt::ControlModifier, 150, 150, 200},
        // Shift moves the first position, which a part from SetPart(100, 200) has at 200.
        ClickCase{Qt::ShiftModifier, 50, 50, 100}, ClickCase{Qt::NoModifier, 333, 333, 333}));

TEST_F(PaneMouseTest, DraggingWithTheLeftButtonMovesTheFirstPosition)
{
    Prime(*pane);
    Mouse(*pane, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {300, 50});
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {420, 60});
    Mouse(*pane, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {420, 60});
    EXPECT_EQ(unit->GetPos1(), 420);
    EXPECT_EQ(unit->GetPos2(), 300);
    EXPECT_TRUE(unit->IsStateModified());
}

TEST_F(PaneMouseTest, AWaveOfOneValueCannotBeSelected)
{
    TMDIChildWave* small = Open(Flat(1, 1), 1, 1000, 200, "Wave 2");
    TViewWave& one = Pane(*small, 2);
    Click(one, {700, 10}, Qt::ControlModifier);
    EXPECT_EQ(small->GetUnitWave().GetPos1(), 0);
    EXPECT_EQ(small->GetUnitWave().GetPos2(), 0);
}

// ---- The zoom tool
// -------------------------------------------------------------------------------

TEST_F(PaneMouseTest, AZoomClickZoomsToThePartSelectedBeforeIt)
{
    unit->SetPart(100, 200);
    window->SetZoomMode(1);
    Click(*pane, {500, 50});
    EXPECT_EQ(window->GetZoomMode(), 0);
    // The click itself set a cursor, yet the earlier part is what the pane shows.
    EXPECT_TRUE(unit->IsCursor());
    ASSERT_TRUE(pane->IsZoomed());
    EXPECT_NEAR(pane->GetZoomBegin(), 100.0, 0.1 + 1e-9);
    EXPECT_NEAR(pane->GetZoomEnd(), 200.0, 0.1 + 1e-9);
}

TEST_F(PaneMouseTest, AZoomDragZoomsToTheDraggedPart)
{
    Prime(*pane);
    window->SetZoomMode(1);
    Mouse(*pane, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {600, 50});
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {400, 50});
    Mouse(*pane, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {400, 50});
    EXPECT_EQ(Part(), std::make_pair(400, 600));
    // Normalised: the first position is the smaller.
    EXPECT_EQ(unit->GetPos1(), 400);
    ASSERT_TRUE(pane->IsZoomed());
    EXPECT_NEAR(pane->GetZoomBegin(), 400.0, 0.2 + 1e-9);
}

TEST_F(PaneMouseTest, AZoomDragBackToItsStartOnlyLeavesTheZoomMode)
{
    Prime(*pane);
    window->SetZoomMode(1);
    Mouse(*pane, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {600, 50});
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {650, 50});
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {600, 50});
    Mouse(*pane, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {600, 50});
    EXPECT_EQ(window->GetZoomMode(), 0);
    EXPECT_FALSE(pane->IsZoomed());
}

TEST_F(PaneMouseTest, TheZoomOutToolShowsTheWholeWave)
{
    pane->ZoomTo(100, 300, false);
    window->SetZoomMode(2);
    Click(*pane, {10, 10});
    EXPECT_EQ(window->GetZoomMode(), 0);
    EXPECT_FALSE(pane->IsZoomed());
    // Without the zoom mode a click zooms nothing.
    unit->SetPart(100, 200);
    Click(*pane, {10, 10});
    EXPECT_FALSE(pane->IsZoomed());
}

// ---- The right-button drag
// -----------------------------------------------------------------------

TEST_F(PaneMouseTest, DraggingDownZoomsInAroundTheMouseColumn)
{
    Prime(*pane);
    Mouse(*pane, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {500, 50});
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::RightButton, {500, 60});
    ASSERT_TRUE(pane->IsZoomed());
    // d = -10: 1.02^(-10·sqrt 10) ≈ 0.5346 of the width around sample 500: [232, 767).
    EXPECT_NEAR(pane->GetZoomEnd() - pane->GetZoomBegin(), 535.0, 1e-9);
    EXPECT_LT(pane->GetZoomBegin(), 500.0);
    EXPECT_GT(pane->GetZoomEnd(), 500.0);
}

TEST_F(PaneMouseTest, DraggingUpToBothEndsGivesTheFullView)
{
    Prime(*pane);
    pane->ZoomTo(400, 500, false);
    Mouse(*pane, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {500, 100});
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::RightButton, {500, 0});
    EXPECT_FALSE(pane->IsZoomed());
    EXPECT_FALSE(pane->ScrollBar()->isVisible());
}

TEST_F(PaneMouseTest, AnEndlessDragStaysFinite)
{
    // Unclamped, 1.02^(d·sqrt|d|) is infinite here, and infinity times the zero distance of
    // the mouse sample to the view's edge is not a number.
    pane->ZoomTo(400, 500, false);
    const int left = 0;
    Prime(*pane);
    Mouse(*pane, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {left, 100});
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::RightButton, {left, -200000});
    EXPECT_FALSE(pane->IsZoomed());
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::RightButton, {left, 200000});
    ASSERT_TRUE(pane->IsZoomed());
    EXPECT_GE(pane->GetZoomBegin(), 0.0);
    EXPECT_LE(pane->GetZoomEnd(), 1000.0);
    EXPECT_GE(pane->GetZoomEnd() - pane->GetZoomBegin(), 2.0);
}

// ---- The status text
// -----------------------------------------------------------------------------

TEST_F(PaneMouseTest, ARepeatedMoveWritesNoStatus)
{
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {10, 10});
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {20, 10});
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {20, 10});
    EXPECT_EQ(host.status.size(), 1u);
    EXPECT_EQ(host.statusWidth, TViewWave::WaveStatusWidth);
}

struct LevelCase
{
    int16_t channels;
    int y;
    std::string level;
};

class LevelTest : public WaveWindowTest, public ::testing::WithParamInterface<LevelCase>
{
};

TEST_P(LevelTest, ReadsTheLevelUnderTheMouse)
{
    // 201 rows: h = 200, the middle row is 100.
    TMDIChildWave* window = Open(Flat(GetParam().channels, 1000), 1, 1000, 201);
    const std::string text = Pane(*window, 2).WaveStatusText(0, GetParam().y);
    const std::string ending = ", " + GetParam().level + " %)";
    ASSERT_GE(text.size(), ending.size());
    EXPECT_EQ(text.substr(text.size() - ending.size()), ending) << text;
    EXPECT_EQ(text.front(), '(');
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LevelTest,
    ::testing::Values(LevelCase{1, 0, "100.00"}, LevelCase{1, 100, "0.00"},
                      LevelCase{1, 200, "-100.00"}, LevelCase{1, 150, "-50.00"},
                      // Stereo: each half reads +100 at its top and -100 at its bottom.
                      LevelCase{2, 0, "100.00"}, LevelCase{2, 50, "0.00"},
                      LevelCase{2, 100, "-100.00"}, LevelCase{2, 101, "98.00"},
                      LevelCase{2, 200, "-100.00"}));

// ---- The user drawing
// ------------------------------------------------------------------------------

class DrawingTest : public WaveWindowTest
{
protected:
    void SetUp() override
    {
        window = Open(Flat(1, 0));
        unit = &window->GetUnitWave();
        unit->StartUserDrawing(TUnitWave::DrawLinear);
        pane = &Pane(*window, 2);
        // One second of drawing renders both end nodes: 44100 + 1 values.
        ASSERT_EQ(unit->GetValues(), 44101);
    }
    std::vector<TDrawNode*> Nodes() const
    {
        std::vector<TDrawNode*> nodes;
        for (TDrawNode* node = unit->GetDrawNodes(); node; node = node->GetNext())
            nodes.push_back(node);
        return nodes;
    }
    void Drag(QPoint from, QPoint to)
    {
        Prime(*pane);
        Mouse(*pane, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, from);
        Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, to);
        Mouse(*pane, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, to);
    }

    TMDIChildWave* window = nullptr;
    TUnitWave* unit = nullptr;
    TViewWave* pane = nullptr;
};

TEST_F(DrawingTest, AClickAwayFromEveryNodeAddsOne)
{
    Click(*pane, {500, 50});
    ASSERT_EQ(Nodes().size(), 3u);
    EXPECT_NEAR(Nodes()[1]->GetPosition(), 0.5, 0.001);
    EXPECT_GT(Nodes()[1]->GetValue(), 0);
    EXPECT_TRUE(unit->IsDataModified());
    // The drawing was rendered again: the middle sample now rises toward the new node.
    EXPECT_GT(unit->GetSound()->GetLeftWave()->Values(), 0);
    EXPECT_GT((*unit->GetSound()->GetLeftWave())[22050], 0);
}

TEST_F(DrawingTest, ANodeIsDraggedAndStaysInside)
{
    Click(*pane, {500, 50});
    // Picked within 5 pixels: no new node.
    Drag({503, 52}, {603, 152});
    ASSERT_EQ(Nodes().size(), 3u);
    EXPECT_NEAR(Nodes()[1]->GetPosition(), 0.6, 0.001);
    EXPECT_LT(Nodes()[1]->GetValue(), 0);
    EXPECT_TRUE(Nodes()[1]->IsVisible());
}

TEST_F(DrawingTest, AnInnerNodeDraggedOutIsDeleted)
{
    Prime(*pane);
    Click(*pane, {500, 50});
    Mouse(*pane, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {500, 50});
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {500, 400});
    ASSERT_EQ(Nodes().size(), 3u);
    EXPECT_FALSE(Nodes()[1]->IsVisible());
    Mouse(*pane, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {500, 400});
    EXPECT_EQ(Nodes().size(), 2u);
}

TEST_F(DrawingTest, TheEndNodesAreNeverDeleted)
{
    const int bottom = pane->ClientRect().bottom;
    Drag({0, 100}, {0, 900});
    Drag({999, 100}, {999, -900});
    ASSERT_EQ(Nodes().size(), 2u);
    EXPECT_EQ(Nodes()[0]->GetPosition(), 0.0);
    EXPECT_EQ(Nodes()[1]->GetPosition(), 1.0);
    // Held at the pane's edges instead: the bottom row and the top row.
    EXPECT_NEAR(Nodes()[0]->GetPixelY(pane->ClientRect()), bottom - 1, 1.0);
    EXPECT_EQ(int(Nodes()[1]->GetPixelY(pane->ClientRect())), 0);
}

TEST_F(DrawingTest, AnInnerNodeCannotPassItsNeighbours)
{
    Click(*pane, {300, 50});
    Click(*pane, {600, 50});
    ASSERT_EQ(Nodes().size(), 4u);
    const double before = Nodes()[1]->GetPosition();
    Drag({300, 50}, {800, 50});
    EXPECT_EQ(Nodes()[1]->GetPosition(), before);
    Drag({300, 50}, {400, 50});
    EXPECT_NEAR(Nodes()[1]->GetPosition(), 0.4, 0.001);
}

} // namespace

namespace {

class StatusTest : public WaveWindowTest
{
};

TEST_F(StatusTest, TheWaveStatusReadsTimeAndLevel)
{
    // One second over 1000 columns and 201 rows.
    TMDIChildWave* window = Open(Flat(1, 44100), 1, 1000, 201);
    TViewWave& pane = Pane(*window, 2);
    EXPECT_EQ(pane.WaveStatusText(500, 50), "(0.50000 s, 50.00 %)");
    EXPECT_EQ(pane.WaveStatusText(0, 200), "(0.00000 s, -100.00 %)");
    Prime(pane);
    Mouse(pane, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {250, 100});
    ASSERT_EQ(host.status.size(), 1u);
    EXPECT_EQ(host.status[0], "(0.25000 s, 0.00 %)");
    EXPECT_EQ(host.statusWidth, TViewWave::WaveStatusWidth);
}

TEST_F(StatusTest, TheVolumeStatusReadsTimeAndFrequency)
{
    TMDIChildWave* window = Open(Flat(1, 44100), 1, 1000, 201);
    window->SetVoldViewProps(TVoldViewProps());
    TViewWave& pane = Pane(*window, 2);
    // Logarithmic from 20 Hz at the bottom row to 20 kHz at the top.
    EXPECT_EQ(pane.VolumeStatusText(500, 0), "(0.50000 s, 20.00 kHz ): 0");
    EXPECT_EQ(pane.VolumeStatusText(500, 200), "(0.50000 s, 20.00 Hz ): 0");
    Prime(pane);
    Mouse(pane, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {500, 100});
    ASSERT_EQ(host.status.size(), 1u);
    EXPECT_EQ(host.statusWidth, TViewWave::VolumeStatusWidth);
}

TEST_F(StatusTest, TheZoomToolsShowTheirCursorsOverBothPanes)
{
    const CursorTable* table = ProgramCursors();
    ASSERT_NE(table, nullptr);
    TMDIChildWave* window = Open(Flat(1, 100), 100, 300);
    window->SetZoomMode(1);
    for (int n : {1, 2})
        EXPECT_EQ(Pane(*window, n).cursor().pixmap().cacheKey(), table->At(6).pixmap().cacheKey());
    window->SetZoomMode(2);
    EXPECT_EQ(Pane(*window, 2).cursor().pixmap().cacheKey(), table->At(7).pixmap().cacheKey());
    window->SetZoomMode(0);
    EXPECT_EQ(Pane(*window, 1).cursor().shape(), Qt::ArrowCursor);
}

} // namespace
