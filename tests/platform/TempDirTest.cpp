#include "platform/TempDir.h"
#include "general/GuiMessages.h"
#include "general/Services.h"
#include "platform/test/FakeTempDir.h"
#include "platform/test/ScriptedMessages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace kelvorn;
namespace fs = std::filesystem;

TEST(FakeTempDir, CreatesAPrivateDirectoryAndRemovesItWithItsFiles)
{
    std::string path;
    {
        FakeTempDir dir;
        EXPECT_FALSE(dir.Exists());
        ASSERT_TRUE(GetService<TempDir>().Create());
        path = dir.Path();
        EXPECT_TRUE(dir.Exists());
        ASSERT_TRUE(fs::is_directory(path));
        EXPECT_EQ(fs::path(path).parent_path(), fs::temp_directory_path());
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_all);
        EXPECT_EQ(dir.FilePath("play.wav"), path + "/play.wav");
        std::ofstream(dir.FilePath("play.wav")) << "data";
        ASSERT_TRUE(fs::exists(dir.FilePath("play.wav")));

        // A second Create keeps the same directory.
        ASSERT_TRUE(dir.Create());
        EXPECT_EQ(dir.Path(), path);
        EXPECT_EQ(dir.CreateCalls(), 2);
    }
    EXPECT_FALSE(fs::exists(path));
}

TEST(FakeTempDir, TwoDirectoriesNeverShareAPath)
{
    FakeTempDir first;
    FakeTempDir second;
    ASSERT_TRUE(first.Create());
    ASSERT_TRUE(second.Create());
    EXPECT_NE(first.Path(), second.Path());
}

TEST(FakeTempDir, FailedCreationNamesThePathForTheWarning)
{
    FakeTempDir dir;
    dir.FailCreation("/no/such/place/kelvorn-XXXXXX");
    ScriptedMessages messages;
    messages.Expect();
    // What the main window does at start-up.
    TempDir& temp = GetService<TempDir>();
    if (!temp.Create())
        TGuiMessages::ShowCreateDirError(temp.Path());
    EXPECT_FALSE(temp.Exists());
    EXPECT_FALSE(fs::exists("/no/such/place"));
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text, "Could not create directory "
                                        "\"/no/such/place/kelvorn-XXXXXX\". Play and Record "
                                        "disabled");
    EXPECT_EQ(messages.Shown()[0].icon, MsgIcon::Warning);
}
