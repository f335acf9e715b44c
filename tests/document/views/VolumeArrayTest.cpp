#include "document/views/VolumeArray.h"

#include "general/values/NoBoxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

using namespace kelvorn;
using kelvorn::testing::IsAssertionBox;
using kelvorn::testing::NoBoxes;

namespace {

struct SizeCase
{
    int64_t width;
    int64_t height;
    bool made;
};

class VolumeArraySize : public ::testing::TestWithParam<SizeCase>
{
};

TEST_P(VolumeArraySize, MoreThanTwoToTheTwentyFourCellsAreRefused)
{
    const SizeCase c = GetParam();
    std::unique_ptr<TVolumeArray> grid = TVolumeArray::Create(c.width, c.height);
    ASSERT_EQ(grid != nullptr, c.made) << c.width << " x " << c.height;
    if (!grid)
        return;
    EXPECT_EQ(grid->GetWidth(), c.width);
    EXPECT_EQ(grid->GetHeight(), c.height);
    EXPECT_EQ(grid->GetFilled(), 0);
    EXPECT_EQ(grid->GetDrawn(), 0);
    // The far corner exists and starts at 0.
    EXPECT_EQ(grid->GetVolume(c.width - 1, c.height - 1), 0.0f);
}

constexpr int64_t two24 = int64_t(1) << 24;
constexpr int64_t int64Max = std::numeric_limits<int64_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Sizes, VolumeArraySize,
    ::testing::Values(SizeCase{500, 50, true}, SizeCase{1, 1, true}, SizeCase{two24, 1, true},
                      SizeCase{1, two24, true}, SizeCase{4096, 4096, true},
                      SizeCase{two24 + 1, 1, false}, SizeCase{4097, 4096, false},
                      SizeCase{0, 50, false}, SizeCase{500, 0, false}, SizeCase{-1, -1, false},
                      // Products that wrap in 32 or 64 bits must not slip through.
                      SizeCase{65536, 65537, false},
                      SizeCase{int64_t(1) << 32, int64_t(1) << 32, false},
                      SizeCase{int64Max, 2, false}, SizeCase{2, int64Max, false}));

class VolumeArrayCells : public NoBoxes<>
{
};

TEST_F(VolumeArrayCells, IndicesAreClampedIntoTheGrid)
{
    std::unique_ptr<TVolumeArray> grid = TVolumeArray::Create(5, 3);
    ASSERT_TRUE(grid);
    struct Case
    {
        int64_t x, y;
        int64_t cellX, cellY;
    };
    for (Case c : {Case{-1, -1, 0, 0}, Case{-100000000000, 1, 0, 1}, Case{4, 2, 4, 2},
                   Case{5, 3, 4, 2}, Case{6, 1, 4, 1}, Case{2, 3, 2, 2},
                   Case{int64Max, std::numeric_limits<int64_t>::min(), 4, 0}}) {
        grid->SetVolume(c.x, c.y, 0.25f + float(c.cellX * 10 + c.cellY));
        EXPECT_EQ(grid->GetVolume(c.cellX, c.cellY), 0.25f + float(c.cellX * 10 + c.cellY))
            << c.x << "," << c.y;
        EXPECT_EQ(grid->GetVolume(c.x, c.y), grid->GetVolume(c.cellX, c.cellY));
    }
    // Column by column: the neighbour of the last band of column 0 is band 0 of column 1.
    grid->SetVolume(0, 2, 3.5f);
    grid->SetVolume(1, 0, 7.0f);
    EXPECT_EQ(grid->GetVolume(0, 2), 3.5f);
    EXPECT_EQ(grid->GetVolume(1, 0), 7.0f);
}

TEST_F(VolumeArrayCells, ANegativeOrNotANumberVolumeIsAnInternalErrorAndStoresZero)
{
    std::unique_ptr<TVolumeArray> grid = TVolumeArray::Create(2, 2);
    ASSERT_TRUE(grid);
    for (float bad : {-0.5f, -std::numeric_limits<float>::infinity(), std::nanf("")}) {
        grid->SetVolume(1, 1, 0.75f);
        messages.Clear();
        messages.Expect();
        grid->SetVolume(1, 1, bad);
        EXPECT_TRUE(IsAssertionBox(OnlyBox(), "VolumeArray.cpp", "volume >= 0")) << bad;
        EXPECT_EQ(grid->GetVolume(1, 1), 0.0f);
    }
    messages.Clear();
    grid->SetVolume(0, 0, 0.0f);
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(VolumeArrayCells, NewColumnsAreHandedOutOnce)
{
    std::unique_ptr<TVolumeArray> grid = TVolumeArray::Create(10, 1);
    ASSERT_TRUE(grid);
    int32_t first = -1, end = -1;
    EXPECT_FALSE(grid->TakeNewColumns(first, end));
    grid->SetFilled(3);
    ASSERT_TRUE(grid->TakeNewColumns(first, end));
    EXPECT_EQ(first, 0);
    EXPECT_EQ(end, 3);
    EXPECT_EQ(grid->GetDrawn(), 3);
    EXPECT_FALSE(grid->TakeNewColumns(first, end));
    // The end of a channel may count one column past the width.
    grid->SetFilled(11);
    ASSERT_TRUE(grid->TakeNewColumns(first, end));
    EXPECT_EQ(first, 3);
    EXPECT_EQ(end, 11);
}

} // namespace
