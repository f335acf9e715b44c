// Where the Window menu puts the document windows: Cascade's places leave each window as large
// as the steps allow and never below the usable size, starting again at the top left when the
// steps would leave less; Arrange All lines the minimised windows up along the bottom, in rows
// that stay inside the frame.
#include "ShellSupport.h"

#include "shell/WindowArrangement.h"

using namespace kelvorn;

namespace {

struct CascadeCase
{
    const char* name;
    QSize area;
    int count;
    std::vector<QRect> places;
};

TEST(WindowArrangement, CascadePlacesAreAsLargeAsTheStepsAllow)
{
    // Steps of 30 pixels, no window below 320 x 200.
    const CascadeCase cases[] = {
        {"one fills the area", {600, 400}, 1, {{0, 0, 600, 400}}},
        {"three step down and right",
         {600, 400},
         3,
         {{0, 0, 540, 340}, {30, 30, 540, 340}, {60, 60, 540, 340}}},
        {"the steps that fit, then again from the top left",
         {400, 300},
         5,
         {{0, 0, 340, 240},
          {30, 30, 340, 240},
          {60, 60, 340, 240},
          {0, 0, 340, 240},
          {30, 30, 340, 240}}},
        {"an area below the usable size is filled by each",
         {200, 100},
         2,
         {{0, 0, 200, 100}, {0, 0, 200, 100}}},
        {"an empty area has no places", {0, 0}, 2, {}},
    };
    for (const CascadeCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CascadePlaces(c.area, c.count, 30, {320, 200}), c.places);
    }
    // A step of nothing still steps.
    EXPECT_EQ(CascadePlaces({600, 400}, 2, 0, {320, 200}).back(), QRect(1, 1, 599, 399));
}

TEST(WindowArrangement, MinimisedWindowsLineUpInRowsInsideTheFrame)
{
    const QSize icon(200, 24);
    EXPECT_EQ(IconPlaces({500, 300}, {icon, icon, icon}),
              (std::vector<QRect>{{0, 276, 200, 24}, {200, 276, 200, 24}, {0, 252, 200, 24}}));
    // Wider than the frame: one to a row.
    EXPECT_EQ(IconPlaces({150, 300}, {icon, icon}),
              (std::vector<QRect>{{0, 276, 200, 24}, {0, 252, 200, 24}}));
    EXPECT_TRUE(IconPlaces({500, 300}, {}).empty());
}

} // namespace
