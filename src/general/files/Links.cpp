#include "general/files/Links.h"

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>

namespace kelvorn {

namespace {

// As many links as the system itself follows before it gives up with ELOOP.
constexpr int maxLinkHops = 40;

// A link's relative text counts from the folder that holds the link. The folder's own text is
// kept as it was: the system resolves a ".." after a linked folder where that folder really is.
std::string NextInChain(const std::string& link, const std::filesystem::path& text)
{
    if (text.is_absolute())
        return text.string();
    const auto slash = link.find_last_of('/');
    if (slash == std::string::npos)
        return text.string();
    return link.substr(0, slash + 1) + text.string();
}

} // namespace

bool FollowLinks(const std::string& path, std::string& file)
{
    file = path;
    for (int hop = 0; hop < maxLinkHops; ++hop) {
        struct stat info
        {
        };
        if (::lstat(file.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return true;
        std::error_code code;
        const std::filesystem::path next = std::filesystem::read_symlink(file, code);
        if (code) {
            errno = code.value();
            return false;
        }
        file = NextInChain(file, next);
    }
    errno = ELOOP;
    return false;
}

std::string ResolveLinks(const std::string& path)
{
    std::string file;
    return FollowLinks(path, file) ? file : path;
}

} // namespace kelvorn
