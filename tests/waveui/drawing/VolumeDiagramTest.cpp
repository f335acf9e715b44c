#include "waveui/drawing/VolumeDiagram.h"

#include "general/values/NoBoxes.h"
#include "window_base/QtCanvas.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace kelvorn;
using kelvorn::testing::IsAssertionBox;
using kelvorn::testing::NoBoxes;

namespace {

constexpr uint32_t Untouched = 0x123456;

std::unique_ptr<TVolumeArray> Grid(int32_t width, int32_t height, int32_t filled,
                                   const std::function<float(int32_t x, int32_t y)>& volume)
{
    std::unique_ptr<TVolumeArray> grid = TVolumeArray::Create(width, height);
    for (int32_t x = 0; x < width; ++x)
        for (int32_t y = 0; y < height; ++y)
            grid->SetVolume(x, y, volume(x, y));
    grid->SetFilled(filled);
    return grid;
}

TVoldViewProps Linear()
{
    TVoldViewProps props;
    props.Strength.SetValue(1.0);
    return props;
}

// The first pixel that differs from expected(x, y), as "x,y: actual != expected", or "".
std::string FirstWrongPixel(const QtCanvas& canvas,
                            const std::function<uint32_t(int x, int y)>& expected)
{
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (canvas.Pixel(x, y) != expected(x, y)) {
                char text[96];
                std::snprintf(text, sizeof text, "%d,%d: %06X != %06X", x, y, canvas.Pixel(x, y),
                              expected(x, y));
                return text;
            }
    return "";
}

TEST(VolumeDiagramColours, IntensityFollowsTheSensitivityCurveAndStrength)
{
    struct Case
    {
        uint8_t sens;
        double volume, strength, intensity;
    };
    for (Case c : {Case{sensLow, 0.5, 1.3, 0.325}, Case{sensVeryHigh, 0.0625, 1.3, 0.65},
                   Case{sensHigh, 0.25, 1.3, 0.65}, Case{sensNormal, 0.5, 1.0, 0.5},
                   Case{sensNormal, 1.0, 1.3, 1.0}, Case{sensLow, 1.0, 0.5, 0.5},
                   Case{sensVeryHigh, 1.0, 2.0, 1.0}, Case{sensHigh, 0.0, 1.3, 0.0},
                   Case{sensNormal, 3.0, 1.0, 1.0}}) {
        EXPECT_NEAR(VolumeIntensity(c.volume, c.sens, c.strength), c.intensity, 1e-12)
            << int(c.sens) << " " << c.volume << " " << c.strength;
    }
}

TEST(VolumeDiagramColours, SingleCellsBlendOrUseThePalette)
{
    TVoldViewProps blend;
    blend.BackgroundColor = 0x102030;
    blend.SingleColor = 0x0000FF;
    TVoldViewProps palette;
    palette.UseColorPalette1D = 1;
    palette.ColorPalette1D = TColorPalette1DItem(0x0000FF, 0xFF0000);
    struct Case
    {
        const TVoldViewProps* props;
        double s;
        bool inverted;
        uint32_t colour;
    };
    const TVoldViewProps standard;
    for (Case c : {Case{&standard, 0.0, false, 0x000000}, Case{&standard, 1.0, false, 0xFFFFFF},
                   Case{&standard, 0.5, false, 0x7F7F7F}, Case{&standard, 0.0, true, 0xFFFFFF},
                   Case{&standard, 1.0, true, 0x000000},
                   // Red 0x30 * 0.75 + 255 * 0.25 = 99.75, green 24, blue 12.
                   Case{&blend, 0.25, false, 0x0C1863}, Case{&blend, 1.0, false, 0x0000FF},
                   Case{&palette, 1.0, false, 0xFF0000}, Case{&palette, 0.0, false, 0x0000FF},
                   Case{&palette, 1.0, true, 0x0000FF}, Case{&palette, 0.0, true, 0xFF0000}})
        EXPECT_EQ(VolumeSingleColor(c.s, *c.props, c.inverted), c.colour)
            << c.s << (c.inverted ? " inverted" : "");
    // Full volume at the default strength of 1.3 is clamped: exactly the single colour.
    EXPECT_EQ(VolumeSingleColor(VolumeIntensity(1.0, sensNormal, 1.3), blend, false), 0x0000FFu);
}

TEST(VolumeDiagramColours, JoinedCellsShowTheDominantChannel)
{
    // Background black, single white, left red, right 0x808000.
    const TVoldViewProps props;
    struct Case
    {
        double sLeft, sRight;
        bool inverted;
        uint32_t colour;
    };
    for (Case c : {Case{0.5, 0.5, false, 0x7F7F7F}, Case{1.0, 1.0, false, 0xFFFFFF},
                   Case{1.0, 0.0, false, 0x0000FF}, Case{0.0, 1.0, false, 0x808000},
                   Case{0.0, 0.0, false, 0x000000}, Case{0.5, 0.0, false, 0x00007F},
                   // r = 0.5: red (255 + 255) / 2, green and blue 255 / 2.
                   Case{1.0, 0.5, false, 0x7F7FFF},
                   // Inverted: zero and equal colours swap, and so do the channel colours.
                   Case{0.0, 0.0, true, 0xFFFFFF}, Case{1.0, 0.0, true, 0x808000},
                   Case{0.0, 1.0, true, 0x0000FF}, Case{1.0, 1.0, true, 0x000000}})
        EXPECT_EQ(VolumeJoinedColor(c.sLeft, c.sRight, props, c.inverted), c.colour)
            << c.sLeft << " " << c.sRight << (c.inverted ? " inverted" : "");
}

// Each case draws grids of known volumes and states every pixel of the canvas.
struct DrawCase
{
    const char* name;
    QSize canvas;
    PixelRect pane, update;
    double zoomBegin, zoomEnd;
    int64_t count;
    int channels;
    bool drawSingle, inverted;
    std::function<uint32_t(int x, int y)> expected;
};

TEST(VolumeDiagramDrawing, PaintsEveryPixelOfItsCells)
{
    // 4 columns over 400 samples, 2 bands: on 40 × 20 pixels cells of 10 × 10. Column x of
    // band y holds (1 + x + 4y) / 10; columns 0 and 1 are filled on the half grid.
    auto ramp = [](int32_t x, int32_t y) { return float(1 + x + 4 * y) / 10; };
    auto grid = Grid(4, 2, 4, ramp);
    auto half = Grid(4, 2, 2, [](int32_t, int32_t) { return 1.0f; });
    auto binary = Grid(2, 1, 2, [](int32_t x, int32_t) { return x == 0 ? 0.0f : 1.0f; });
    const TVoldViewProps props = Linear();
    auto cell = [&](int column, int band) {
        return VolumeSingleColor(grid->GetVolume(column, band), props, false);
    };
    // clang-format off
    const std::vector<std::pair<DrawCase, const TVolumeArray*>> cases = {
        {{"cells", {40, 20}, {0, 0, 40, 20}, {0, 0, 40, 20}, 0, 400, 400, 1, true, false,
          [&](int x, int y) { return cell(x / 10, y / 10); }}, grid.get()},
        {{"not filled", {40, 20}, {0, 0, 40, 20}, {0, 0, 40, 20}, 0, 400, 400, 1, true, false,
          [](int x, int) { return x < 20 ? 0xFFFFFFu : Untouched; }}, half.get()},
        // Samples [100, 200) of 400 are column 1 exactly; the pane is offset by 5 pixels.
        {{"zoomed", {50, 30}, {5, 10, 45, 30}, {5, 10, 45, 30}, 100, 200, 400, 1, true, false,
          [&](int x, int y) { return x < 5 || x >= 45 || y < 10 ? Untouched : cell(1, (y - 10) / 10); }}, grid.get()},
        // Selected: background and single colour swap.
        {{"inverted", {20, 10}, {0, 0, 20, 10}, {0, 0, 20, 10}, 0, 100, 100, 1, true, true,
          [](int x, int) { return x < 10 ? 0xFFFFFFu : 0x000000u; }}, binary.get()},
    };
    // clang-format on
    for (const auto& [c, single] : cases) {
        QtCanvas canvas(c.canvas.width(), c.canvas.height(), Untouched);
        DrawVolume(canvas, c.pane, c.update, c.zoomBegin, c.zoomEnd, c.count, c.channels, {single},
                   props, c.inverted);
        EXPECT_EQ(FirstWrongPixel(canvas, c.expected), "") << c.name;
    }
}

TEST(VolumeDiagramDrawing, StereoTakesTheHalvesOrTheDominantChannel)
{
    auto loud = Grid(3, 2, 3, [](int32_t, int32_t) { return 1.0f; });
    auto soft = Grid(3, 2, 3, [](int32_t, int32_t) { return 0.5f; });
    // 21 rows: the middle is row 10, the right grid starts there.
    QtCanvas halves(30, 21, Untouched);
    VolumeGrids grids;
    grids.left = loud.get();
    grids.right = soft.get();
    DrawVolume(halves, {0, 0, 30, 21}, {0, 0, 30, 21}, 0, 300, 300, 2, grids, Linear(), false);
    EXPECT_EQ(FirstWrongPixel(halves, [](int, int y) { return y < 10 ? 0xFFFFFFu : 0x7F7F7Fu; }),
              "");
    // Joined: left loud in column 0, right in column 1, both in column 2; the right grid has
    // filled one column more, which shows as the right channel alone.
    auto left = Grid(4, 1, 3, [](int32_t x, int32_t) { return x == 1 ? 0.0f : 1.0f; });
    auto right = Grid(4, 1, 4, [](int32_t x, int32_t) { return x == 0 ? 0.0f : 1.0f; });
    TVoldViewProps props = Linear();
    props.DrawSingle = 0;
    QtCanvas joined(40, 10, Untouched);
    grids.left = left.get();
    grids.right = right.get();
    DrawVolume(joined, {0, 0, 40, 10}, {0, 0, 40, 10}, 0, 400, 400, 2, grids, props, false);
    const uint32_t expected[4] = {0x0000FF, 0x808000, 0xFFFFFF, 0x808000};
    EXPECT_EQ(FirstWrongPixel(joined, [&](int x, int) { return expected[x / 10]; }), "");
}

class VolumeDiagramGuards : public NoBoxes<>
{
};

TEST_F(VolumeDiagramGuards, MissingOrMismatchedGridsDrawNothing)
{
    auto grid = Grid(4, 2, 4, [](int32_t, int32_t) { return 1.0f; });
    auto narrow = Grid(3, 2, 3, [](int32_t, int32_t) { return 1.0f; });
    TVoldViewProps joined = Linear();
    joined.DrawSingle = 0;
    QtCanvas canvas(40, 20, Untouched);
    VolumeGrids leftOnly;
    leftOnly.left = grid.get();
    DrawVolume(canvas, {0, 0, 40, 20}, {0, 0, 40, 20}, 0, 400, 400, 2, leftOnly, joined, false);
    DrawVolume(canvas, {0, 0, 40, 20}, {0, 0, 40, 20}, 0, 400, 400, 1, VolumeGrids{}, joined,
               false);
    EXPECT_EQ(FirstWrongPixel(canvas, [](int, int) { return Untouched; }), "");
    messages.Expect();
    VolumeGrids mismatched;
    mismatched.left = grid.get();
    mismatched.right = narrow.get();
    DrawVolume(canvas, {0, 0, 40, 20}, {0, 0, 40, 20}, 0, 400, 400, 2, mismatched, joined, false);
    EXPECT_TRUE(IsAssertionBox(OnlyBox(), "VolumeDiagram.cpp",
                               "volumeArrayRight->GetWidth() == arrayWidth"));
    EXPECT_EQ(FirstWrongPixel(canvas, [](int, int) { return Untouched; }), "");
    // A stereo single diagram without its right grid still draws the left half.
    TVoldViewProps single = Linear();
    DrawVolume(canvas, {0, 0, 40, 20}, {0, 0, 40, 20}, 0, 400, 400, 2, leftOnly, single, false);
    EXPECT_EQ(FirstWrongPixel(canvas, [](int, int y) { return y < 10 ? 0xFFFFFFu : Untouched; }),
              "");
}

struct RefreshCase
{
    const char* name;
    int32_t first, end;
    double zoomBegin, zoomEnd;
    int channels;
    int side;
    bool drawSingle;
    bool covered;
    PixelRect rect;
};

class VolumeRefresh : public NoBoxes<::testing::TestWithParam<RefreshCase>>
{
};

TEST_P(VolumeRefresh, CoversThePixelsOfTheNewColumns)
{
    const RefreshCase c = GetParam();
    // A grid of 4 columns over 400 samples; the pane is 100 x 41 pixels.
    PixelRect rect;
    const bool covered =
        VolumeRefreshRect(c.first, c.end, 4, 0.0, 400, 400, 400, c.zoomBegin, c.zoomEnd,
                          {0, 0, 100, 41}, c.channels, c.side, c.drawSingle, rect);
    ASSERT_EQ(covered, c.covered);
    if (!covered)
        return;
    EXPECT_EQ(rect.left, c.rect.left);
    EXPECT_EQ(rect.top, c.rect.top);
    EXPECT_EQ(rect.right, c.rect.right);
    EXPECT_EQ(rect.bottom, c.rect.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VolumeRefresh,
    ::testing::Values(
        RefreshCase{"Mono", 0, 1, 0, 400, 1, sideWhole, true, true, {0, 0, 25, 41}},
        RefreshCase{"MonoMiddle", 1, 3, 0, 400, 1, sideWhole, true, true, {25, 0, 75, 41}},
        RefreshCase{"UpperHalf", 0, 2, 0, 400, 2, sideLeft, true, true, {0, 0, 50, 20}},
        RefreshCase{"LowerHalf", 2, 4, 0, 400, 2, sideRight, true, true, {50, 20, 100, 41}},
        RefreshCase{"Joined", 2, 4, 0, 400, 2, sideRight, false, true, {50, 0, 100, 41}},
        // Zoomed on samples [100, 200): column 1 fills the pane, columns 2 and 3 lie beyond.
        RefreshCase{"ZoomedIn", 1, 2, 100, 200, 1, sideWhole, true, true, {0, 0, 100, 41}},
        RefreshCase{"ZoomedPast", 2, 4, 100, 200, 1, sideWhole, true, false, {}},
        RefreshCase{"ZoomedPartly", 0, 3, 150, 250, 1, sideWhole, true, true, {0, 0, 100, 41}},
        // The write past the last column ends beyond the pane; nothing new is covered.
        RefreshCase{"PastTheEnd", 4, 5, 0, 400, 1, sideWhole, true, false, {}},
        RefreshCase{"NoColumns", 2, 2, 0, 400, 1, sideWhole, true, false, {}},
        RefreshCase{"EmptyZoom", 0, 4, 100, 100, 1, sideWhole, true, false, {}}),
    [](const ::testing::TestParamInfo<RefreshCase>& info) { return info.param.name; });

} // namespace
