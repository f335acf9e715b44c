#pragma once
// A private folder for a benchmark's files, removed with all it holds when the object goes. It
// lies in memory-backed storage (/dev/shm) where there is some, so that reads and writes time
// the program and not the disk, or in KELVORN_BENCH_DIR when that is set.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace kelvorn::bench {

class BenchDir
{
public:
    explicit BenchDir(const std::string& tag)
    {
        namespace fs = std::filesystem;
        const char* chosen = std::getenv("KELVORN_BENCH_DIR");
        fs::path base = chosen                   ? fs::path(chosen)
                        : fs::exists("/dev/shm") ? fs::path("/dev/shm")
                                                 : fs::temp_directory_path();
        path = base / ("kv-bench-" + tag + "-" + std::to_string(::getpid()));
        fs::create_directories(path);
    }
    ~BenchDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    BenchDir(const BenchDir&) = delete;
    BenchDir& operator=(const BenchDir&) = delete;

    /// The full name of a file in the folder.
    std::string operator/(const std::string& name) const { return (path / name).string(); }

    std::filesystem::path path;
};

} // namespace kelvorn::bench
