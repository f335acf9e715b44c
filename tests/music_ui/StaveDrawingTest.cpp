// A stave's lines, bar line and end bar, read back as pixels of a backing image.

#include "music/ui/StaveDrawing.h"
#include "shell/base/QtCanvas.h"
#include "support/MusicKit.h"

#include <gtest/gtest.h>

namespace kelvorn {
namespace {

struct StaveDrawing : ::testing::Test
{
    test::MusicDoc m;
    QtCanvas canvas{100, 200, 0x808080};
    const PixelRect clip{0, 0, 100, 200};

    TNoteStave& Stave(int32_t up, int32_t down, bool extra)
    {
        TNoteStave& s = *m.stave;
        s.RoomUp.SetValue(up);
        s.RoomDown.SetValue(down);
        s.ExtraLines = extra ? 1 : 0;
        s.ForegroundColor = 0x000000;
        s.BackgroundColor = 0xFFFFFF;
        s.StartLayout(100, 5);
        return s;
    }
    /// The rows of column x that differ from the background.
    std::vector<std::pair<int, uint32_t>> Marks(int x, uint32_t background)
    {
        std::vector<std::pair<int, uint32_t>> rows;
        for (int y = 0; y < 200; ++y)
            if (canvas.Pixel(x, y) != background)
                rows.emplace_back(y, canvas.Pixel(x, y));
        return rows;
    }
};

TEST_F(StaveDrawing, ExtraLinesOverBothRooms)
{
    for (int up : {30, 35}) {
        TNoteStave& s = Stave(up, 30, true);
        canvas.SetBrushColor(0xFFFFFF);
        canvas.FillRect(clip);
        DrawStaveLines(canvas, s, clip);
        const uint32_t faint = 0xBFBFBF; // 75 % white, 25 % black
        EXPECT_EQ(FaintLineColor(s), faint);
        const std::vector<std::pair<int, uint32_t>> want{
            {70, faint}, {80, 0}, {90, 0}, {100, 0}, {110, 0}, {120, 0}, {130, faint}};
        EXPECT_EQ(Marks(40, 0xFFFFFF), want) << up;
    }
}

TEST_F(StaveDrawing, BarLineAndEndBar)
{
    TNoteStave& s = Stave(30, 30, false);
    DrawStaveBarLine(canvas, s, 10);
    DrawStaveEndBar(canvas, s, 30);
    EXPECT_EQ(std::tuple(canvas.Pixel(10, 80), canvas.Pixel(10, 119), canvas.Pixel(10, 79)),
              std::tuple(0u, 0u, 0x808080u));
    std::string row;
    for (int x = 29; x < 39; ++x)
        row += canvas.Pixel(x, 100) == 0 ? '#' : '.';
    EXPECT_EQ(row, ".#..####..");
    EXPECT_EQ(std::pair(canvas.Pixel(33, 119), canvas.Pixel(33, 120)), std::pair(0u, 0x808080u));
}

} // namespace
} // namespace kelvorn
