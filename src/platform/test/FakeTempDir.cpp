#include "platform/test/FakeTempDir.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace kelvorn {

FakeTempDir::FakeTempDir()
    : path((std::filesystem::temp_directory_path() / "kelvorn-test-XXXXXX").string()), install(this)
{
}

FakeTempDir::~FakeTempDir()
{
    if (created) {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
}

void FakeTempDir::FailCreation(const std::string& failedPath)
{
    fail = true;
    if (!created)
        path = failedPath;
}

bool FakeTempDir::Create()
{
    ++createCalls;
    if (created)
        return true;
    if (fail)
        return false;
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    if (!mkdtemp(name.data()))
        return false;
    path = name.data();
    created = true;
    return true;
}

} // namespace kelvorn
