#include "general/paths/Paths.h"

#include <gtest/gtest.h>

using namespace kelvorn;

namespace {

struct PathCase
{
    const char* pathFile;
    bool ok;
    const char* path;
    const char* file;
};

class PathOfPathFileCases : public ::testing::TestWithParam<PathCase>
{
};

struct ExtensionCase
{
    const char* fileName;
    const char* name;
    const char* extension;
};

class SplitExtensionCases : public ::testing::TestWithParam<ExtensionCase>
{
};

} // namespace

TEST_P(PathOfPathFileCases, SplitsAtTheLastSlash)
{
    const PathCase& c = GetParam();
    std::string path = "untouched path";
    std::string file = "untouched file";
    std::string error;
    EXPECT_EQ(PathOfPathFile(c.pathFile, path, file, error), c.ok);
    if (c.ok) {
        EXPECT_EQ(path, c.path);
        EXPECT_EQ(file, c.file);
        EXPECT_EQ(error, "");
    } else {
        EXPECT_EQ(path, "untouched path");
        EXPECT_EQ(file, "untouched file");
        EXPECT_EQ(error, std::string("Function PathOfPathFile: PathFile (\"") + c.pathFile +
                             "\") has no path\".");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PathOfPathFileCases,
    ::testing::Values(PathCase{"/home/user/dir/file.wav", true, "/home/user/dir", "file.wav"},
                      PathCase{"dir/file.wav", true, "dir", "file.wav"},
                      PathCase{"/file.wav", true, "", "file.wav"},
                      PathCase{"/home/user/dir/", true, "/home/user/dir", ""},
                      PathCase{"a.b/c.d/e", true, "a.b/c.d", "e"},
                      PathCase{"//double", true, "/", "double"},
                      PathCase{"file.wav", false, "", ""}, PathCase{"", false, "", ""},
                      // A backslash is part of a Linux file name, not a separator.
                      PathCase{"c:\\dir\\file.wav", false, "", ""}));

TEST(PathOfPathFile, OutputMayBeTheInput)
{
    std::string text = "/music/take.wav";
    std::string file;
    std::string error;
    ASSERT_TRUE(PathOfPathFile(text, text, file, error));
    EXPECT_EQ(text, "/music");
    EXPECT_EQ(file, "take.wav");
}

TEST_P(SplitExtensionCases, SplitsAtTheLastDot)
{
    const ExtensionCase& c = GetParam();
    std::string name = "old";
    std::string extension = "old";
    EXPECT_TRUE(SplitExtension(c.fileName, name, extension));
    EXPECT_EQ(name, c.name);
    EXPECT_EQ(extension, c.extension);
}

INSTANTIATE_TEST_SUITE_P(Extensions, SplitExtensionCases,
                         ::testing::Values(ExtensionCase{"file.tar.gz", "file.tar", "gz"},
                                           ExtensionCase{"file", "file", ""},
                                           ExtensionCase{"song.WAV", "song", "WAV"},
                                           ExtensionCase{"file.", "file", ""},
                                           ExtensionCase{".hidden", "", "hidden"},
                                           ExtensionCase{"", "", ""},
                                           // A dot in a directory counts as well.
                                           ExtensionCase{"dir.d/file", "dir", "d/file"}));

TEST(SplitExtension, OutputMayBeTheInput)
{
    std::string text = "take.kvw";
    std::string extension;
    ASSERT_TRUE(SplitExtension(text, text, extension));
    EXPECT_EQ(text, "take");
    EXPECT_EQ(extension, "kvw");
}
