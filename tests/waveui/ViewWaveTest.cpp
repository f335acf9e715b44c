// A pane of the wave window: pixels and samples both ways, zooming and scrolling, the mouse
// (selecting, the zoom tools, the right-button drag, the user drawing), the status texts and
// what the backing image shows.
#include "support/WaveWindows.h"

#include "general/random/Random15.h"
#include "window_base/CursorTable.h"

#include <cmath>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

constexpr uint32_t White = 0xFFFFFF, Black = 0x000000, Magenta = 0xFF00FF;

class PaneTest : public WaveWindowTest
{
protected:
    /// A window on sound whose second pane is 1000 × 200 pixels; pane is that pane.
    TMDIChildWave* OpenPane(SoundPtr sound, int height = 200, const std::string& name = "Wave 1")
    {
        window = Open(std::move(sound), 1, 1000, height, name);
        pane = &Pane(*window, 2);
        unit = &window->GetUnitWave();
        return window;
    }
    std::pair<int32_t, int32_t> Part() const { return {unit->GetPartBegin(), unit->GetPartEnd()}; }
    /// The colours of row y at the given columns.
    std::vector<uint32_t> Row(int y, std::initializer_list<int> columns)
    {
        std::vector<uint32_t> colours;
        for (int x : columns)
            colours.push_back(PixelAt(*pane, x, y));
        return colours;
    }

    TMDIChildWave* window = nullptr;
    TViewWave* pane = nullptr;
    TUnitWave* unit = nullptr;
};

// ---- Pixels, samples and zoom ----------------------------------------------------------------

TEST_F(PaneTest, MapsTheFullViewBothWays)
{
    struct Case
    {
        int32_t values;
        int x;         // a column of the 1000-pixel pane
        double sample; // the sample at its centre
        double s;      // a sample
        int column;    // the column it falls on
    };
    for (const Case& c : {Case{1000, 0, 0.5, 0.0, 0}, Case{1000, 999, 999.5, 999.9, 999},
                          Case{1000, 500, 500.5, 1000.0, 1000}, Case{4000, 0, 2.0, 3.99, 0},
                          Case{4000, 999, 3998.0, 3999.0, 999}, Case{4000, 250, 1002.0, 4.0, 1},
                          // Fewer samples than columns: 2.5 columns per sample.
                          Case{400, 2, 1.0, 1.0, 2}, Case{400, 999, 399.8, 399.9, 999}}) {
        OpenPane(Flat(1, c.values));
        ASSERT_EQ(pane->ClientRect().Width(), 1000);
        EXPECT_DOUBLE_EQ(pane->PixelToSample(c.x), c.sample) << c.values << " " << c.x;
        EXPECT_EQ(pane->SampleToPixel(c.s), c.column) << c.values << " " << c.s;
    }
    OpenPane(Flat(1, 44100));
    EXPECT_DOUBLE_EQ(pane->PixelToTime(0), 0.0); // no half-pixel shift
    EXPECT_DOUBLE_EQ(pane->PixelToTime(500), 0.5);
    EXPECT_DOUBLE_EQ(pane->PixelToTime(1000), 1.0);
    OpenPane(Flat(1, 1000));
    EXPECT_EQ(pane->SampleUnderMouse(-40), 0);
    EXPECT_EQ(pane->SampleUnderMouse(1200), 999);
    EXPECT_EQ(pane->SampleUnderMouse(437), 437);
}

TEST_F(PaneTest, ZoomToShowsTheRangeOnAWholePixelFromThePanesOwnGenerator)
{
    OpenPane(Flat(1, 10000));
    host.zooms.clear();
    SeedRandom15(7);
    const int expected = NextRandom15();
    SeedRandom15(7);
    pane->ZoomTo(2000, 3000, true);
    ASSERT_TRUE(pane->IsZoomed());
    // One pixel is one sample here; the left edge may move one pixel at random.
    EXPECT_GE(pane->GetZoomBegin(), 2000.0);
    EXPECT_LE(pane->GetZoomBegin(), 2001.0);
    EXPECT_DOUBLE_EQ(pane->GetZoomEnd() - pane->GetZoomBegin(), 1000.0);
    EXPECT_EQ(host.zooms, std::vector<int>{2});
    EXPECT_TRUE(unit->IsStateModified());
    ASSERT_TRUE(pane->ScrollBar()->isVisible());
    EXPECT_EQ(pane->ScrollBar()->maximum(), 9000);
    EXPECT_EQ(pane->ScrollBar()->value(), int(pane->GetZoomBegin()));
    EXPECT_EQ(pane->ScrollBar()->pageStep(), 1000);
    EXPECT_EQ(pane->ScrollBar()->singleStep(), 100);
    for (int i = 0; i < 20; ++i)
        pane->ZoomTo(1000 + i, 2000 + i, false);
    // The program-wide generator, which seeded noise draws from, did not move.
    EXPECT_EQ(NextRandom15(), expected);

    pane->ZoomTo(100, 105, false);
    EXPECT_EQ(pane->ScrollBar()->singleStep(), 1);
    // Scrolling moves the view and keeps its length.
    pane->ZoomTo(0, 500, false);
    host.zooms.clear();
    const_cast<QScrollBar*>(pane->ScrollBar())->setValue(7000);
    EXPECT_EQ(pane->GetZoomBegin(), 7000.0);
    EXPECT_EQ(pane->GetZoomEnd(), 7500.0);
    EXPECT_EQ(host.zooms, std::vector<int>{2});

    pane->ZoomFull();
    EXPECT_FALSE(pane->IsZoomed());
    EXPECT_FALSE(pane->ScrollBar()->isVisible());
    EXPECT_EQ(pane->GetZoomEnd(), 10000.0);
}

TEST_F(PaneTest, AnyRangeOutsideTheWaveShowsTheWholeWave)
{
    OpenPane(Flat(1, 1000));
    for (auto [begin, end] :
         {std::pair{300, 200}, {200, 200}, {-5, 100}, {900, 1001}, {INT32_MIN, INT32_MAX}}) {
        pane->ZoomTo(100, 200, false);
        ASSERT_TRUE(pane->IsZoomed());
        pane->ZoomTo(begin, end, true);
        EXPECT_FALSE(pane->IsZoomed()) << begin << ".." << end;
        EXPECT_EQ(pane->GetZoomBegin(), 0.0);
        EXPECT_EQ(pane->GetZoomEnd(), 1000.0);
        EXPECT_TRUE(pane->IsFullRepaintPending());
    }
    OpenPane(Flat(1, 0), 200, "Wave 2");
    pane->ZoomTo(0, 1, false);
    EXPECT_FALSE(pane->IsZoomed());
    EXPECT_EQ(pane->SampleToPixel(5.0), 0);
    EXPECT_EQ(pane->PixelToSample(300), 0.0);
}

// ---- The mouse: column x is sample x --------------------------------------------------------

TEST_F(PaneTest, ClicksAndDragsSelect)
{
    struct Case
    {
        Qt::KeyboardModifiers modifiers;
        int x;
        int32_t begin, end;
    };
    OpenPane(Flat(1, 1000));
    for (const Case& c :
         {// Ctrl extends toward the click from the nearer end.
          Case{Qt::ControlModifier, 190, 190, 200}, Case{Qt::ControlModifier, 250, 200, 250},
          Case{Qt::ControlModifier, 40, 40, 100}, Case{Qt::ControlModifier, 120, 100, 120},
          // A tie keeps the larger position as the anchor.
          Case{Qt::ControlModifier, 150, 150, 200},
          // Shift moves the first position, which SetPart(100, 200) puts at 200.
          Case{Qt::ShiftModifier, 50, 50, 100}, Case{Qt::NoModifier, 333, 333, 333}}) {
        unit->SetCursor(0);
        unit->SetPart(100, 200);
        Click(*pane, QPoint(c.x, 50), c.modifiers);
        EXPECT_EQ(Part(), std::make_pair(c.begin, c.end)) << int(c.modifiers) << " " << c.x;
    }
    unit->ClearModified();
    Drag(*pane, {300, 50}, {420, 60});
    EXPECT_EQ(unit->GetPos1(), 420);
    EXPECT_EQ(unit->GetPos2(), 300);
    EXPECT_TRUE(unit->IsStateModified());

    OpenPane(Flat(1, 1), 200, "Wave 2"); // a wave of one value cannot be selected
    Click(*pane, {700, 10}, Qt::ControlModifier);
    EXPECT_EQ(Part(), std::make_pair(0, 0));
}

TEST_F(PaneTest, TheZoomTools)
{
    OpenPane(Flat(1, 1000));
    // A click zooms to the part selected before it, though the click itself set a cursor.
    unit->SetPart(100, 200);
    window->SetZoomMode(1);
    Click(*pane, {500, 50});
    EXPECT_EQ(window->GetZoomMode(), 0);
    EXPECT_TRUE(unit->IsCursor());
    ASSERT_TRUE(pane->IsZoomed());
    EXPECT_NEAR(pane->GetZoomBegin(), 100.0, 0.1 + 1e-9);
    EXPECT_NEAR(pane->GetZoomEnd(), 200.0, 0.1 + 1e-9);
    // The zoom-out tool shows the whole wave; without a tool a click zooms nothing.
    window->SetZoomMode(2);
    Click(*pane, {10, 10});
    EXPECT_EQ(window->GetZoomMode(), 0);
    EXPECT_FALSE(pane->IsZoomed());
    unit->SetPart(100, 200);
    Click(*pane, {10, 10});
    EXPECT_FALSE(pane->IsZoomed());
    // A drag zooms to the dragged part, normalised.
    window->SetZoomMode(1);
    Drag(*pane, {600, 50}, {400, 50});
    EXPECT_EQ(Part(), std::make_pair(400, 600));
    EXPECT_EQ(unit->GetPos1(), 400);
    ASSERT_TRUE(pane->IsZoomed());
    EXPECT_NEAR(pane->GetZoomBegin(), 400.0, 0.2 + 1e-9);
    // A drag back to its start only leaves the zoom mode.
    pane->ZoomFull();
    window->SetZoomMode(1);
    Mouse(*pane, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {600, 50});
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {650, 50});
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {600, 50});
    Mouse(*pane, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {600, 50});
    EXPECT_EQ(window->GetZoomMode(), 0);
    EXPECT_FALSE(pane->IsZoomed());
}

TEST_F(PaneTest, TheRightButtonDragZooms)
{
    OpenPane(Flat(1, 1000));
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {1, 1});
    Mouse(*pane, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {500, 50});
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::RightButton, {500, 60});
    ASSERT_TRUE(pane->IsZoomed());
    // d = -10: 1.02^(-10·sqrt 10) ≈ 0.5346 of the width around sample 500: [232, 767).
    EXPECT_NEAR(pane->GetZoomEnd() - pane->GetZoomBegin(), 535.0, 1e-9);
    EXPECT_LT(pane->GetZoomBegin(), 500.0);
    EXPECT_GT(pane->GetZoomEnd(), 500.0);
    // Up to both ends: the full view.
    OpenPane(Flat(1, 1000), 200, "Wave 2");
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {1, 1});
    pane->ZoomTo(400, 500, false);
    Mouse(*pane, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {500, 100});
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::RightButton, {500, 0});
    EXPECT_FALSE(pane->IsZoomed());
    EXPECT_FALSE(pane->ScrollBar()->isVisible());
    // Unclamped, 1.02^(d·sqrt|d|) is infinite here, and infinity times the zero distance of
    // the mouse sample to the view's edge is not a number.
    OpenPane(Flat(1, 1000), 200, "Wave 3");
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {1, 1});
    pane->ZoomTo(400, 500, false);
    Mouse(*pane, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, {0, 100});
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::RightButton, {0, -200000});
    EXPECT_FALSE(pane->IsZoomed());
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::RightButton, {0, 200000});
    ASSERT_TRUE(pane->IsZoomed());
    EXPECT_GE(pane->GetZoomBegin(), 0.0);
    EXPECT_LE(pane->GetZoomEnd(), 1000.0);
    EXPECT_GE(pane->GetZoomEnd() - pane->GetZoomBegin(), 2.0);
}

// ---- Status texts --------------------------------------------------------------------------

TEST_F(PaneTest, TheWaveStatusReadsTimeAndLevel)
{
    // One second over 1000 columns and 201 rows: h = 200, the middle row is 100.
    OpenPane(Flat(1, 44100), 201);
    EXPECT_EQ(pane->WaveStatusText(500, 50), "(0.50000 s, 50.00 %)");
    EXPECT_EQ(pane->WaveStatusText(0, 200), "(0.00000 s, -100.00 %)");
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {10, 10});
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {250, 100});
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {250, 100}); // repeated: nothing
    EXPECT_EQ(host.status, std::vector<std::string>{"(0.25000 s, 0.00 %)"});
    EXPECT_EQ(host.statusWidth, TViewWave::WaveStatusWidth);
    // Stereo: each half reads +100 at its top and -100 at its bottom.
    OpenPane(Flat(2, 44100), 201, "Wave 2");
    for (auto [y, level] :
         {std::pair{0, "100.00"}, {50, "0.00"}, {100, "-100.00"}, {101, "98.00"}, {200, "-100.00"}})
        EXPECT_EQ(pane->WaveStatusText(0, y), std::string("(0.00000 s, ") + level + " %)") << y;

    // From 20 Hz at the bottom row to 20 kHz at the top of each half, the middle row being the
    // top of the lower half; halfway up a half by the axis kind (632.46 Hz cut to four digits).
    TVoldViewProps vold;
    for (auto [kind, middle] : {std::pair{freqAxisLog, "632.4 Hz"},
                                {freqAxisLinFreq, "10.01 kHz"},
                                {freqAxisLinTime, "39.96 Hz"}}) {
        vold.FreqAxisKind = kind;
        window->SetVoldViewProps(vold);
        EXPECT_EQ(pane->VolumeStatusText(500, 50), std::string("(0.50000 s, ") + middle + " ): 0");
    }
    window->SetVoldViewProps(TVoldViewProps());
    EXPECT_EQ(pane->VolumeStatusText(500, 0), "(0.50000 s, 20.00 kHz ): 0");
    EXPECT_EQ(pane->VolumeStatusText(500, 100), "(0.50000 s, 20.00 kHz ): 0");
    EXPECT_EQ(pane->VolumeStatusText(500, 200), "(0.50000 s, 20.00 Hz ): 0");
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {1, 1});
    Mouse(*pane, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {500, 100});
    EXPECT_EQ(host.statusWidth, TViewWave::VolumeStatusWidth);
}

// ---- The user drawing ----------------------------------------------------------------------

class DrawingTest : public PaneTest
{
protected:
    void SetUp() override
    {
        OpenPane(Flat(1, 0));
        unit->StartUserDrawing(TUnitWave::DrawLinear);
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
};

TEST_F(DrawingTest, AClickAddsANodeThatIsDraggedAndStaysInside)
{
    Click(*pane, {500, 50});
    ASSERT_EQ(Nodes().size(), 3u);
    EXPECT_NEAR(Nodes()[1]->GetPosition(), 0.5, 0.001);
    EXPECT_GT(Nodes()[1]->GetValue(), 0);
    EXPECT_TRUE(unit->IsDataModified());
    // Rendered again: the middle sample now rises toward the new node.
    EXPECT_GT((*unit->GetSound()->GetLeftWave())[22050], 0);
    // Picked within 5 pixels: no new node.
    Drag(*pane, {503, 52}, {603, 152});
    ASSERT_EQ(Nodes().size(), 3u);
    EXPECT_NEAR(Nodes()[1]->GetPosition(), 0.6, 0.001);
    EXPECT_LT(Nodes()[1]->GetValue(), 0);
}

// ---- The backing image: a silent wave of 1000 samples without the grid ----------------------

class PanePaintTest : public PaneTest
{
protected:
    void OpenPlain(SoundPtr sound, const std::string& name = "Wave 1")
    {
        OpenPane(std::move(sound), 200, name);
        TWaveViewProps props;
        props.UseGrid = 0;
        window->SetWaveViewProps(props);
        pane->InvalidateAll();
    }
};

TEST_F(PanePaintTest, TheSelectedPartIsInvertedAndTheCursorDrawnOnTop)
{
    OpenPlain(Flat(1, 1000));
    // From a cursor the first position takes the end: the cursor line stands at 300.
    unit->SetPart(200, 300);
    pane->InvalidateAll();
    for (int y : {0, 10, 190, 199})
        EXPECT_EQ(Row(y, {0, 199, 200, 250, 299, 300, 301, 999}),
                  (std::vector<uint32_t>{White, White, Black, Black, Black, Magenta, White, White}))
            << "row " << y;
    // The silent curve runs along the middle row: black outside the part, white inside.
    EXPECT_EQ(PixelAt(*pane, 100, 100), Black);
    EXPECT_EQ(PixelAt(*pane, 250, 100), White);
    // A change of the selection is drawn at once by the document's own repaint requests.
    unit->ChangePart(400, 500);
    EXPECT_FALSE(pane->IsFullRepaintPending());
    EXPECT_EQ(Row(20, {250, 399, 450}), (std::vector<uint32_t>{White, White, Black}));
    unit->ChangeCursor(700);
    EXPECT_EQ(Row(20, {450, 500, 699, 700, 701}),
              (std::vector<uint32_t>{White, White, White, Magenta, White}));
    // A cursor behind the last value stands on the last column.
    unit->SetCursor(1000);
    pane->InvalidateAll();
    EXPECT_EQ(Row(20, {997, 998, 999}), (std::vector<uint32_t>{White, White, Magenta}));
}

} // namespace
