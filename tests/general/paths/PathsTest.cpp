#include "general/paths/Paths.h"

#include <gtest/gtest.h>

using namespace kelvorn;

TEST(Paths, PathOfPathFileSplitsAtTheLastSlash)
{
    // clang-format off
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"/home/user/dir/file.wav", "/home/user/dir", "file.wav"},
        {"dir/file.wav", "dir", "file.wav"}, {"/file.wav", "", "file.wav"},
        {"/home/user/dir/", "/home/user/dir", ""}, {"a.b/c.d/e", "a.b/c.d", "e"},
        {"//double", "/", "double"}};
    // clang-format on
    for (const auto& [pathFile, expectPath, expectFile] : cases) {
        std::string path = pathFile; // the output may be the input
        std::string file = "old";
        std::string error;
        EXPECT_TRUE(PathOfPathFile(path, path, file, error)) << pathFile;
        EXPECT_EQ(path + "|" + file + "|" + error, expectPath + "|" + expectFile + "|");
    }
    // A backslash is part of a Linux file name, not a separator.
    for (std::string pathFile : {"file.wav", "", "c:\\dir\\file.wav"}) {
        std::string path = "kept";
        std::string file = "kept";
        std::string error;
        EXPECT_FALSE(PathOfPathFile(pathFile, path, file, error));
        EXPECT_EQ(path + file, "keptkept");
        EXPECT_EQ(error, "Function PathOfPathFile: PathFile (\"" + pathFile + "\") has no path\".");
    }
}

TEST(Paths, SplitExtensionSplitsAtTheLastDot)
{
    // clang-format off
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"file.tar.gz", "file.tar", "gz"}, {"file", "file", ""}, {"song.WAV", "song", "WAV"},
        {"file.", "file", ""}, {".hidden", "", "hidden"}, {"", "", ""},
        {"dir.d/file", "dir", "d/file"}  /* a dot in a folder counts as well */};
    // clang-format on
    for (const auto& [fileName, expectName, expectExtension] : cases) {
        std::string name = fileName; // the output may be the input
        std::string extension = "old";
        EXPECT_TRUE(SplitExtension(name, name, extension));
        EXPECT_EQ(name + "|" + extension, expectName + "|" + expectExtension) << fileName;
    }
}
