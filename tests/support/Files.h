#pragma once
// Files for tests: a private folder that is removed afterwards, whole-file reads and writes, the
// line ends another platform's editor would save, and the state a refused save must not change.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdlib.h>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace kelvorn::test {

/// The whole file; empty when it cannot be read.
inline std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path)
{
    std::string bytes = ReadAll(path);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

/// Creates or replaces the file with exactly these bytes.
inline void WriteAll(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteAll(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    WriteAll(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

/// The text with every line feed preceded by a carriage return.
inline std::string WithCrLf(std::string_view text)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? std::string_view("\r\n") : std::string_view(&c, 1);
    return out;
}

/// What a save must leave as it was: whether the entry is a file, a link or a folder, its mode
/// and owner, and a file's bytes or the path a link names.
inline std::string FileState(const std::filesystem::path& path)
{
    struct stat info
    {
    };
    if (::lstat(path.c_str(), &info) != 0)
        return "missing";
    if (S_ISLNK(info.st_mode))
        return "link to " + std::filesystem::read_symlink(path).string();
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
    const std::string owned = " mode " + std::string(mode) + " owner " +
                              std::to_string(info.st_uid) + ":" + std::to_string(info.st_gid);
    if (S_ISDIR(info.st_mode))
        return "folder" + owned;
    return "file" + owned + " holding " + ReadAll(path);
}

/// FileState of every entry below folder (links not followed), by its path relative to folder.
inline std::map<std::string, std::string> FolderState(const std::filesystem::path& folder,
                                                      const std::string& prefix = "")
{
    std::map<std::string, std::string> states;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = prefix + entry.path().filename().string();
        states[name] = FileState(entry.path());
        if (!entry.is_symlink() && entry.is_directory())
            states.merge(FolderState(entry.path(), name + "/"));
    }
    return states;
}

/// A new, empty folder of its own (unique also within one process), removed with all it holds
/// when the object goes.
class TempDir
{
public:
    explicit TempDir(const std::string& tag = "test")
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / ("kv-" + tag + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data()) == nullptr)
            ADD_FAILURE() << "cannot create a folder like " << pattern;
        else
            path = pattern;
    }
    ~TempDir()
    {
        std::error_code ignored;
        if (!path.empty())
            std::filesystem::remove_all(path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::filesystem::path operator/(const std::string& name) const { return path / name; }

    /// How many entries the folder holds: a failed save must leave no temporary file behind.
    size_t Count() const
    {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(path),
                                                 std::filesystem::directory_iterator()));
    }

    std::filesystem::path path;
};

} // namespace kelvorn::test
