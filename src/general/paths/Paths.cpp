#include "general/paths/Paths.h"

#include <utility>

namespace kelvorn {

bool PathOfPathFile(const std::string& pathFile, std::string& path, std::string& file,
                    std::string& error)
{
    auto slash = pathFile.rfind('/');
    if (slash == std::string::npos) {
        // The stray quotation mark before the full stop is how the message has always read.
        error = "Function PathOfPathFile: PathFile (\"" + pathFile + "\") has no path\".";
        return false;
    }
    // Both parts before either is stored: a caller may pass pathFile as its own out-path.
    std::string before = pathFile.substr(0, slash);
    std::string after = pathFile.substr(slash + 1);
    path = std::move(before);
    file = std::move(after);
    return true;
}

bool SplitExtension(const std::string& fileName, std::string& name, std::string& extension)
{
    auto dot = fileName.rfind('.');
    if (dot == std::string::npos) {
        name = fileName;
        extension.clear();
        return true;
    }
    // Both parts before either is stored: a caller may pass fileName as its own out-name.
    std::string before = fileName.substr(0, dot);
    std::string after = fileName.substr(dot + 1);
    name = std::move(before);
    extension = std::move(after);
    return true;
}

} // namespace kelvorn
