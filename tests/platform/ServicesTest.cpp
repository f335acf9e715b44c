#include "platform/Services.h"
#include "platform/Clock.h"
#include "platform/Screen.h"
#include "platform/TempDir.h"
#include "platform/test/FakeClock.h"
#include "platform/test/FakeScreen.h"
#include "platform/test/FakeTempDir.h"

#include <gtest/gtest.h>

using namespace kelvorn;

TEST(Services, InstallFindAndPutBack)
{
    ScopedService<Screen> none(nullptr);
    EXPECT_EQ(FindService<Screen>(), nullptr);
    FakeScreen outer(800, 600);
    EXPECT_EQ(FindService<Screen>(), &outer);
    {
        FakeScreen inner(1920, 1080);
        EXPECT_EQ(&GetService<Screen>(), &inner);
        EXPECT_EQ(GetService<Screen>().Geometry().Width(), 1920);
    }
    EXPECT_EQ(&GetService<Screen>(), &outer);
    Screen* previous = InstallService<Screen>(nullptr);
    EXPECT_EQ(previous, &outer);
    EXPECT_EQ(FindService<Screen>(), nullptr);
    InstallService<Screen>(previous);
}

TEST(Services, EachInterfaceHasItsOwnSlot)
{
    FakeClock clock;
    ScopedService<Screen> noScreen(nullptr);
    EXPECT_EQ(FindService<Clock>(), &clock);
    EXPECT_EQ(FindService<Screen>(), nullptr);
    EXPECT_EQ(FindService<TempDir>(), nullptr);
}

TEST(ServicesDeathTest, MissingServiceStopsWithItsName)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            ScopedService<TempDir> none(nullptr);
            GetService<TempDir>().Create();
        },
        "no TempDir service is installed");
}
