#include "VolumeHookTestSupport.h"

#include <set>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

class VolumePaintTest : public VolumeWindowTest
{
protected:
    // A tone with some noise over it, so that neighbouring bands and columns differ.
    static SoundPtr Voiced(int32_t count = 44100)
    {
        WavePtr wave = ToneWave(1000.0, count, 16000.0);
        WavePtr noise = NoiseWave(count, 7);
        for (int32_t i = 0; i < count; ++i)
            (*wave)[i] = int16_t((*wave)[i] + (*noise)[i] / 8);
        return Mono(std::move(wave));
    }
};

// A grid of 100 × 10 on a pane of 1000 × 200: cell (c, b) covers pixels 10c .. 10c + 9 and rows
// 20b .. 20b + 19.
TEST_F(VolumePaintTest, ThePaneShowsTheCellsTheWriterComputed)
{
    const TVoldViewProps props = Props();
    TMDIChildWave* window = OpenDiagram(Voiced(), props);
    ASSERT_TRUE(Compute(*window));
    const TVolumeArray* grid = window->GetViewWaveGroup().GetVolumeArraySingle();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetFilled(), 101);
    TViewWave& pane = Pane(*window, 2);
    std::set<uint32_t> colours;
    for (int c = 1; c < 100; ++c)
        for (int b = 0; b < 10; ++b) {
            const uint32_t expected = CellColour(*grid, c, b, props, false);
            ASSERT_EQ(PixelAt(pane, 10 * c + 5, 20 * b + 10), expected) << c << "," << b;
            colours.insert(expected);
        }
    // Not one flat colour: the tone's band stands out.
    EXPECT_GT(colours.size(), 10u);
    EXPECT_EQ(PixelAt(pane, 0, 100), props.CursorColor);
}

TEST_F(VolumePaintTest, TheSelectedSpanShowsItsCellsInverted)
{
    const TVoldViewProps props = Props();
    TMDIChildWave* window = OpenDiagram(Voiced(), props);
    ASSERT_TRUE(Compute(*window));
    // Pixels 250 .. 499; the cursor line stands at the part's end, pixel 500.
    window->GetUnitWave().ChangePart(11025, 22050);
    const TVolumeArray* grid = window->GetViewWaveGroup().GetVolumeArraySingle();
    TViewWave& pane = Pane(*window, 2);
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

struct RefreshCase
{
    const char* name;
    bool drawSingle;
    int side;
    bool upper, lower; // which halves columns 10 .. 19 are repainted in
};

class VolumeRefreshTest : public VolumePaintTest, public ::testing::WithParamInterface<RefreshCase>
{
};

// After the colours change without a repaint, only the refreshed columns (and half) take them.
TEST_P(VolumeRefreshTest, RepaintsOnlyItsColumnsAndHalf)
{
    const RefreshCase& c = GetParam();
    const TVoldViewProps before = Props(100, 10, c.drawSingle);
    TMDIChildWave* window =
        OpenDiagram(Stereo(ToneWave(1000.0, 44100, 16000.0), NoiseWave(44100, 3)), before);
    ASSERT_TRUE(Compute(*window));
    TViewWave& pane = Pane(*window, 2);
    (void)pane.BackingImage();
    TVoldViewProps after = before;
    after.BackgroundColor = 0x0000FF;
    after.SingleColor = 0x00FFFF;
    after.LeftColor = 0x00FF00;
    TViewWaveGroup& group = window->GetViewWaveGroup();
    group.SetVoldViewProps(after);
    ASSERT_FALSE(pane.IsFullRepaintPending());
    group.RefreshVolumeColumns(10, 20, 100, 0.0, 44100.0, 44100.0, 2, c.side, c.drawSingle);

    const TVolumeArray& left = *group.GetVolumeArrayLeft();
    const TVolumeArray& right = *group.GetVolumeArrayRight();
    auto expected = [&](int column, int row, const TVoldViewProps& props) {
        if (!c.drawSingle) {
            const double s = props.Strength.GetValue();
            const int band = row / 20;
            return VolumeJoinedColor(
                VolumeIntensity(left.GetVolume(column, band), props.SensKind, s),
                VolumeIntensity(right.GetVolume(column, band), props.SensKind, s), props, false);
        }
        return row < 100 ? CellColour(left, column, row / 10, props, false)
                         : CellColour(right, column, (row - 100) / 10, props, false);
    };
    int changed = 0;
    for (int column = 1; column < 100; ++column)
        for (int row = 5; row < 200; row += 10) {
            const bool inColumns = column >= 10 && column < 20;
            const bool repainted = inColumns && (row < 100 ? c.upper : c.lower);
            const uint32_t want = expected(column, row, repainted ? after : before);
            ASSERT_EQ(PixelAt(pane, 10 * column + 5, row), want) << column << "," << row;
            changed += repainted && want != expected(column, row, before);
        }
    EXPECT_GT(changed, 0);
}

INSTANTIATE_TEST_SUITE_P(Sides, VolumeRefreshTest,
                         ::testing::Values(RefreshCase{"LeftHalf", true, sideLeft, true, false},
                                           RefreshCase{"RightHalf", true, sideRight, false, true},
                                           RefreshCase{"Joined", false, sideWhole, true, true}),
                         [](const ::testing::TestParamInfo<RefreshCase>& info) {
                             return info.param.name;
                         });

TEST_F(VolumePaintTest, TheColumnsReachTheGuiThreadInOrder)
{
    TMDIChildWave* window = OpenDiagram(Mono(NoiseWave(200000, 5)), Props(500, 50));
    ASSERT_TRUE(Compute(*window));
    const TVolumeArray* grid = window->GetViewWaveGroup().GetVolumeArraySingle();
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
    EXPECT_EQ(grid->GetFilled(), 501);
}

// The curve of "Wave 2" over the diagram of "Env", stretched over its selected part: the columns
// the writer computes reach its image without a full repaint, and leave it as a full repaint
// would.
TEST_F(VolumePaintTest, AnEnvelopeUserPaintsTheNewColumns)
{
    TMDIChildWave* envelope = OpenDiagram(Voiced(), Props(), "Env");
    host.waves["Env"] = &envelope->GetUnitWave();
    TMDIChildWave* user = Open(Flat(1, 1000), 1, 1000, 200, "Wave 2");
    host.envelopeUsers.push_back(user);
    TWaveViewProps props;
    props.UseGrid = 0;
    props.DrawEnvelope = 1;
    props.EnvelopeName = unitUnitWave("Env");
    props.EnvelopeStrength.SetValue(0.75);
    user->SetWaveViewProps(props);
    user->GetUnitWave().SetPart(200, 600);
    TViewWave& pane = Pane(*user, 2);
    const QImage silent = pane.BackingImage().copy();

    ASSERT_TRUE(Compute(*envelope));
    ASSERT_FALSE(pane.IsFullRepaintPending());
    const QImage followed = pane.BackingImage().copy();
    pane.InvalidateAll();
    const QImage repainted = pane.BackingImage().copy();
    EXPECT_NE(followed, silent);
    EXPECT_EQ(followed, repainted);
}

TEST_F(VolumePaintTest, TheStatusReadsTheCellUnderTheMouse)
{
    TMDIChildWave* window = OpenDiagram(Voiced(), Props());
    TViewWave& pane = Pane(*window, 2);
    // No grid yet: every cell reads 0.
    EXPECT_EQ(pane.VolumeStatusText(505, 10).substr(pane.VolumeStatusText(505, 10).size() - 3),
              ": 0");
    ASSERT_TRUE(Compute(*window));
    const TVolumeArray* grid = window->GetViewWaveGroup().GetVolumeArraySingle();
    // Column 50 and band 0 under (505, 10): trunc(10 · 10 / 199).
    const float volume = grid->GetVolume(50, 0);
    ASSERT_GT(volume, 0.0f);
    unitFactorPos level(0.0, EHDB);
    level.SetValue(volume);
    const std::string text = pane.VolumeStatusText(505, 10);
    EXPECT_EQ(text.substr(text.find(": ")), ": " + level.ToText());
    EXPECT_NE(level.ToText(), "0");
}

// A stereo pane 200 rows high (b1 = 199): joined, both grids' cells at the row of the whole
// height; as two diagrams, the upper half reads the left grid over rows 0 .. 99, the lower half
// the right grid over rows 98 .. 199.
struct StereoStatusCase
{
    const char* name;
    bool drawSingle;
    int y;
    int leftRow, rightRow; // -1: that grid is not read
};

class StereoStatusTest : public VolumePaintTest,
                         public ::testing::WithParamInterface<StereoStatusCase>
{
};

TEST_P(StereoStatusTest, ReadsTheCellsOfItsHalf)
{
    const StereoStatusCase& c = GetParam();
    TMDIChildWave* window =
        OpenDiagram(Stereo(ToneWave(1000.0, 44100, 16000.0), NoiseWave(44100, 9)),
                    Props(100, 10, c.drawSingle));
    ASSERT_TRUE(Compute(*window));
    const TViewWaveGroup& group = window->GetViewWaveGroup();
    auto cell = [](const TVolumeArray* grid, int row) {
        const float volume = grid->GetVolume(50, row);
        if (volume == 0.0f)
            return std::string("0");
        unitFactorPos level(0.0, EHDB);
        level.SetValue(volume);
        return level.ToText();
    };
    std::string expected;
    if (c.leftRow >= 0 && c.rightRow >= 0)
        expected = ": (" + cell(group.GetVolumeArrayLeft(), c.leftRow) + " ," +
                   cell(group.GetVolumeArrayRight(), c.rightRow) + ")";
    else if (c.leftRow >= 0)
        expected = ": " + cell(group.GetVolumeArrayLeft(), c.leftRow);
    else
        expected = ": " + cell(group.GetVolumeArrayRight(), c.rightRow);
    const std::string text = Pane(*window, 2).VolumeStatusText(505, c.y);
    EXPECT_EQ(text.substr(text.find(": ")), expected);
    // The two grids differ there, so reading the wrong one shows.
    const int row = c.leftRow >= 0 ? c.leftRow : c.rightRow;
    EXPECT_NE(cell(group.GetVolumeArrayLeft(), row), cell(group.GetVolumeArrayRight(), row));
}

INSTANTIATE_TEST_SUITE_P(Layouts, StereoStatusTest,
                         ::testing::Values(StereoStatusCase{"JoinedTop", false, 10, 0, 0},
                                           StereoStatusCase{"JoinedLow", false, 150, 7, 7},
                                           StereoStatusCase{"UpperHalf", true, 10, 1, -1},
                                           StereoStatusCase{"LowerHalf", true, 150, -1, 5}),
                         [](const ::testing::TestParamInfo<StereoStatusCase>& info) {
                             return info.param.name;
                         });

} // namespace
