#include "general/files/SafeFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace kelvorn;
namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class SafeFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("kv-safefile-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override
    {
        SafeFileWriter::FailAfterBytes(-1);
        fs::remove_all(dir);
    }
    fs::path dir;
};

} // namespace

TEST_F(SafeFileTest, WritesAndReplaces)
{
    std::string reason;
    fs::path target = dir / "a.txt";
    ASSERT_TRUE(WriteFileSafely(target, "first", reason));
    ASSERT_TRUE(WriteFileSafely(target, "second", reason));
    EXPECT_EQ(ReadAll(target), "second");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(SafeFileTest, FailureMidwayKeepsTheOldFileAndLeavesNoTemporary)
{
    std::string reason;
    fs::path target = dir / "a.txt";
    ASSERT_TRUE(WriteFileSafely(target, "old contents", reason));
    for (int64_t failAt : {0, 3, 11}) {
        SafeFileWriter::FailAfterBytes(failAt);
        EXPECT_FALSE(WriteFileSafely(target, "new contents that are longer", reason));
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(ReadAll(target), "old contents");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    }
}

TEST_F(SafeFileTest, MissingDirectoryFails)
{
    std::string reason;
    EXPECT_FALSE(WriteFileSafely(dir / "no" / "such" / "x.txt", "x", reason));
    EXPECT_FALSE(reason.empty());
}
