#pragma once
// Splitting file names. Paths are the local file-name bytes, directories separated by '/'.

#include <string>

namespace kelvorn {

/// Splits pathFile at its last '/': true with path (before it, without the '/'; empty for a
/// file in the root directory) and file (after it). Without a '/', false and error names the
/// text; path and file are left as they were.
bool PathOfPathFile(const std::string& pathFile, std::string& path, std::string& file,
                    std::string& error);

/// Splits at the last '.' of the whole text: name before it, extension after it (without the
/// '.'); without a '.', name is the whole text and the extension empty. A '.' in a directory
/// counts as well, so pass a file name. Always true.
bool SplitExtension(const std::string& fileName, std::string& name, std::string& extension);

} // namespace kelvorn
