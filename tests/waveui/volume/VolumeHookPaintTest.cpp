// The volume diagram of a wave window as the writer computes it: the cells reach the pane,
// in order and on the GUI thread, and the status reads the cell under the mouse.

#include "support/WaveWindows.h"

#include "waveui/drawing/VolumeDiagram.h"

#include <cmath>
#include <set>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class VolumePaintTest : public WaveWindowTest
{
protected:
    /// A 1 kHz tone of 16000 with some noise over it, so that bands and columns differ.
    static WavePtr Voiced(uint32_t seed = 7)
    {
        WavePtr noise = NoiseWave(44100, seed);
        return WaveOf(44100, [&](int32_t i) {
            return int16_t(16000.0 * std::sin(2.0 * 3.141592653589793 * 1000.0 * i / 44100) +
                           (*noise)[i] / 8);
        });
    }

    /// The colour a single diagram gives cell (x, y) of grid.
    static uint32_t CellColour(const TVolumeArray& grid, int x, int y, const TVoldViewProps& props,
                               bool inverted)
    {
        return VolumeSingleColor(
            VolumeIntensity(grid.GetVolume(x, y), props.SensKind, props.Strength.GetValue()), props,
            inverted);
    }

    /// The status text of a cell's volume.
    static std::string Level(const TVolumeArray* grid, int x, int y)
    {
        const float volume = grid->GetVolume(x, y);
        if (volume == 0.0f)
            return "0";
        unitFactorPos level(0.0, EHDB);
        level.SetValue(volume);
        return level.ToText();
    }
};

// A grid of 100 × 10 on a pane of 1000 × 200: cell (c, b) covers pixels 10c .. 10c + 9 and rows
// 20b .. 20b + 19.
TEST_F(VolumePaintTest, ThePaneShowsTheComputedCellsAndInvertsTheSelectedOnes)
{
    TMDIChildWave* window = OpenDiagram(Mono(Voiced()));
    const TVoldViewProps props = window->GetVoldViewProps();
    ASSERT_TRUE(Compute(*window));
    const TVolumeArray* grid = window->GetViewWaveGroup().GetVolumeArraySingle();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetFilled(), 101);
    TViewWave& pane = Pane(*window, 2);
    EXPECT_EQ(PixelAt(pane, 0, 100), props.CursorColor);
    std::set<uint32_t> colours;
    for (int c = 1; c < 100; ++c)
        for (int b = 0; b < 10; ++b) {
            ASSERT_EQ(PixelAt(pane, 10 * c + 5, 20 * b + 10), CellColour(*grid, c, b, props, false))
                << c << "," << b;
            colours.insert(PixelAt(pane, 10 * c + 5, 20 * b + 10));
        }
    EXPECT_GT(colours.size(), 10u); // the tone's band stands out

    // Pixels 250 .. 499; the cursor line stands at the part's end, pixel 500.
    window->GetUnitWave().ChangePart(11025, 22050);
    int differing = 0;
    for (int c = 1; c < 100; ++c) {
        if (c == 25 || c == 49 || c == 50)
            continue; // cells cut by the part's edges or the cursor
        const bool inside = c > 25 && c < 49;
        for (int b = 0; b < 10; ++b) {
            const uint32_t expected = CellColour(*grid, c, b, props, inside);
            ASSERT_EQ(PixelAt(pane, 10 * c + 5, 20 * b + 10), expected) << c << "," << b;
            differing += inside && expected != CellColour(*grid, c, b, props, false);
        }
    }
    EXPECT_GT(differing, 100);
}

TEST_F(VolumePaintTest, TheColumnsReachTheGuiThreadInOrder)
{
    TMDIChildWave* window = OpenDiagram(Mono(NoiseWave(200000, 5)), 500, 50);
    ASSERT_TRUE(Compute(*window));
    ASSERT_FALSE(host.columns.empty());
    EXPECT_TRUE(host.columnsOnGuiThread);
    // Without gaps and in order; the writer's last column, which lands in the grid's last one,
    // comes again with it.
    int32_t next = 0;
    for (const RecordingHost::Columns& columns : host.columns) {
        EXPECT_EQ(columns.window, window);
        EXPECT_TRUE(columns.first == next || (columns.first == 499 && next == 500))
            << columns.first << " after " << next;
        EXPECT_LT(columns.first, columns.end);
        EXPECT_LE(columns.end, 500);
        next = columns.end;
    }
    EXPECT_EQ(next, 500);
    EXPECT_EQ(window->GetViewWaveGroup().GetVolumeArraySingle()->GetFilled(), 501);
}

// The cell under (505, y) of a stereo pane 200 rows high (b1 = 199): joined (both
// grids' cells at the row of the whole height) or as two diagrams (the upper half reads the left
// grid over rows 0 .. 99, the lower half the right grid over rows 98 .. 199).
TEST_F(VolumePaintTest, TheStatusReadsTheCellUnderTheMouse)
{
    struct Case
    {
        const char* name;
        bool drawSingle;
        int y;
        int leftRow, rightRow; // -1: that grid is not read
    };
    for (const Case& c :
         {Case{"JoinedTop", false, 10, 0, 0}, Case{"JoinedLow", false, 150, 7, 7},
          Case{"UpperHalf", true, 10, 1, -1}, Case{"LowerHalf", true, 150, -1, 5}}) {
        TMDIChildWave* window =
            OpenDiagram(Stereo(Voiced(), NoiseWave(44100, 9)), 100, 10, c.drawSingle, c.name);
        ASSERT_TRUE(Compute(*window));
        const TVolumeArray* left = window->GetViewWaveGroup().GetVolumeArrayLeft();
        const TVolumeArray* right = window->GetViewWaveGroup().GetVolumeArrayRight();
        std::string expected =
            ": " + (c.leftRow >= 0 ? Level(left, 50, c.leftRow) : Level(right, 50, c.rightRow));
        if (c.leftRow >= 0 && c.rightRow >= 0)
            expected =
                ": (" + Level(left, 50, c.leftRow) + " ," + Level(right, 50, c.rightRow) + ")";
        const std::string shown = Pane(*window, 2).VolumeStatusText(505, c.y);
        EXPECT_EQ(shown.substr(shown.find(": ")), expected) << c.name;
        // The two grids differ there, so reading the wrong one shows.
        const int row = c.leftRow >= 0 ? c.leftRow : c.rightRow;
        EXPECT_NE(Level(left, 50, row), Level(right, 50, row)) << c.name;
    }
}

} // namespace
