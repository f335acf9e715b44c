#include "platform/Screen.h"
#include "general/Services.h"
#include "platform/test/FakeScreen.h"

#include <gtest/gtest.h>

using namespace kelvorn;

TEST(FakeScreen, DefaultsToTheClassicSizeAndCanBeSet)
{
    FakeScreen screen;
    PixelRect whole = GetService<Screen>().Geometry();
    EXPECT_EQ(whole.Width(), 1024);
    EXPECT_EQ(whole.Height(), 768);
    EXPECT_EQ(GetService<Screen>().AvailableGeometry().Height(), 768);

    screen.SetAvailableGeometry({0, 0, 1024, 728});
    EXPECT_EQ(GetService<Screen>().AvailableGeometry().bottom, 728);
    EXPECT_EQ(GetService<Screen>().Geometry().bottom, 768);

    // A wide second screen: setting the whole screen resets the available part.
    screen.SetGeometry({1024, 0, 1024 + 2560, 1080});
    EXPECT_EQ(GetService<Screen>().AvailableGeometry().left, 1024);
    EXPECT_EQ(GetService<Screen>().AvailableGeometry().Width(), 2560);
}
