#include "platform/test/FakeTempDir.h"

#include <filesystem>

namespace kelvorn {

FakeTempDir::FakeTempDir()
    : dir((std::filesystem::temp_directory_path() / "kelvorn-test-XXXXXX").string()), install(this)
{
}

void FakeTempDir::FailCreation(const std::string& failedPath)
{
    fail = true;
    if (!dir.Exists())
        failPath = failedPath;
}

bool FakeTempDir::Create()
{
    ++createCalls;
    if (fail && !dir.Exists())
        return false;
    return dir.Create();
}

std::string FakeTempDir::Path() const
{
    return fail && !dir.Exists() ? failPath : dir.Path();
}

} // namespace kelvorn
