#include "WaveUiTestSupport.h"

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

constexpr uint32_t White = 0xFFFFFF;
constexpr uint32_t Black = 0x000000;
constexpr uint32_t Magenta = 0xFF00FF;

class PanePaintTest : public WaveWindowTest
{
protected:
    // A silent mono wave of 1000 samples over 1000 columns and 200 rows, without the grid, so
    // that away from the middle row only background, selection and cursor show.
    TMDIChildWave* OpenPlain(SoundPtr sound, const std::string& name = "Wave 1")
    {
        TMDIChildWave* window = Open(std::move(sound), 1, 1000, 200, name);
        TWaveViewProps props;
        props.UseGrid = 0;
        window->SetWaveViewProps(props);
        return window;
    }
    // The colours of row y at the given columns.
    static std::vector<uint32_t> Row(TViewWave& pane, int y, std::initializer_list<int> columns)
    {
        std::vector<uint32_t> colours;
        for (int x : columns)
            colours.push_back(PixelAt(pane, x, y));
        return colours;
    }
};

TEST_F(PanePaintTest, TheSelectedPartIsInvertedAndTheCursorDrawnOnTop)
{
    TMDIChildWave* window = OpenPlain(Flat(1, 1000));
    // From a cursor the first position takes the end: the cursor line stands at 300.
    window->GetUnitWave().SetPart(200, 300);
    TViewWave& pane = Pane(*window, 2);
    pane.InvalidateAll();
    for (int y : {0, 10, 190, 199})
        EXPECT_EQ(Row(pane, y, {0, 199, 200, 250, 299, 300, 301, 999}),
                  (std::vector<uint32_t>{White, White, Black, Black, Black, Magenta, White, White}))
            << "row " << y;
    // The silent curve runs along the middle row: black outside the part, white inside.
    EXPECT_EQ(PixelAt(pane, 100, 100), Black);
    EXPECT_EQ(PixelAt(pane, 250, 100), White);
}

TEST_F(PanePaintTest, ACursorBehindTheLastValueStandsOnTheLastColumn)
{
    TMDIChildWave* window = OpenPlain(Flat(1, 1000));
    window->GetUnitWave().SetCursor(1000);
    TViewWave& pane = Pane(*window, 2);
    pane.InvalidateAll();
    EXPECT_EQ(Row(pane, 20, {997, 998, 999}), (std::vector<uint32_t>{White, White, Magenta}));
}

TEST_F(PanePaintTest, AWaveOfOneValueDrawsNoCurve)
{
    TMDIChildWave* window = OpenPlain(Flat(1, 1, 12000));
    TViewWave& pane = Pane(*window, 2);
    pane.InvalidateAll();
    const QImage& image = pane.BackingImage();
    int coloured = 0;
    for (int x = 1; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            coloured += PixelAt(pane, x, y) != White;
    EXPECT_EQ(coloured, 0);
    EXPECT_EQ(PixelAt(pane, 0, 50), Magenta);
}

TEST_F(PanePaintTest, AnEmptyWaveIsBackgroundOnly)
{
    TMDIChildWave* window = OpenPlain(Flat(1, 0));
    TWaveViewProps props;
    props.BackgroundColor = 0x123456;
    window->SetWaveViewProps(props);
    TViewWave& pane = Pane(*window, 2);
    EXPECT_EQ(Row(pane, 0, {0, 500, 999}), (std::vector<uint32_t>(3, 0x123456)));
    EXPECT_EQ(PixelAt(pane, 500, 100), 0x123456u);
}

TEST_F(PanePaintTest, ASelectionChangeRepaintsItsColumnsAtOnce)
{
    TMDIChildWave* window = OpenPlain(Flat(1, 1000));
    TViewWave& pane = Pane(*window, 2);
    pane.InvalidateAll();
    ASSERT_EQ(PixelAt(pane, 450, 20), White);
    window->GetUnitWave().ChangePart(400, 500);
    // Drawn into the image by the document's own repaint requests, not by a full repaint.
    EXPECT_FALSE(pane.IsFullRepaintPending());
    EXPECT_EQ(PixelAt(pane, 450, 20), Black);
    EXPECT_EQ(PixelAt(pane, 399, 20), White);
    window->GetUnitWave().ChangeCursor(700);
    EXPECT_EQ(Row(pane, 20, {450, 500, 699, 700, 701}),
              (std::vector<uint32_t>{White, White, White, Magenta, White}));
}

TEST_F(PanePaintTest, TheVolumeDiagramShowsItsBackgroundAndCursor)
{
    TMDIChildWave* window = OpenPlain(Flat(1, 1000, 20000));
    TVoldViewProps vold;
    vold.BackgroundColor = 0x00FF00;
    vold.CursorColor = 0x0000FF;
    window->SetVoldViewProps(vold);
    window->GetUnitWave().SetCursor(10);
    TViewWave& pane = Pane(*window, 2);
    pane.InvalidateAll();
    EXPECT_EQ(Row(pane, 30, {9, 10, 500}), (std::vector<uint32_t>{0x00FF00, 0x0000FF, 0x00FF00}));
}

TEST_F(PanePaintTest, TheEnvelopeIsDrawnFaintlyBehindTheCurve)
{
    TMDIChildWave* envelope = OpenPlain(Flat(1, 1000, 16000), "Env");
    host.waves["Env"] = &envelope->GetUnitWave();
    TMDIChildWave* window = OpenPlain(Flat(1, 1000), "Wave 2");
    TWaveViewProps props;
    props.UseGrid = 0;
    props.DrawEnvelope = 1;
    props.EnvelopeName = unitUnitWave("Env");
    props.EnvelopeStrength.SetValue(0.5);
    window->SetWaveViewProps(props);
    TViewWave& pane = Pane(*window, 2);
    pane.InvalidateAll();
    // 16000 lies on row trunc(16000 · -200 / 65536 + 100) = 51; black halfway to white.
    const uint32_t faint = PixelAt(pane, 500, 51);
    EXPECT_NE(faint, White);
    EXPECT_NE(faint, Black);
    EXPECT_EQ(faint & 0xFF, (faint >> 8) & 0xFF);
    EXPECT_NEAR(double(faint & 0xFF), 127.5, 1.0);
    EXPECT_EQ(PixelAt(pane, 500, 30), White);
    // Its own silent curve on top, opaque.
    EXPECT_EQ(PixelAt(pane, 500, 100), Black);
    EXPECT_TRUE(window->DrawsEnvelopeOf("Env"));
}

} // namespace
