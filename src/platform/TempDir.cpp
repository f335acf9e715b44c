#include "platform/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace kelvorn {

PrivateDirectory::~PrivateDirectory()
{
    if (created) {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
}

bool PrivateDirectory::Create()
{
    if (created)
        return true;
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    if (!mkdtemp(name.data()))
        return false;
    path = name.data();
    created = true;
    return true;
}

} // namespace kelvorn
