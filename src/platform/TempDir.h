#pragma once
// The program's directory for temporary files (the play and record files): one private
// directory per process under the system's temporary path, removed at exit.

#include <string>

namespace kelvorn {

class TempDir
{
public:
    static constexpr const char* ServiceName = "TempDir";
    virtual ~TempDir() = default;

    /// Creates the directory unless it exists already. False when it cannot be created; Path()
    /// then names the directory that was tried, for the "Could not create directory" box, and
    /// play and record stay off.
    virtual bool Create() = 0;

    /// Whether Create has succeeded.
    virtual bool Exists() const = 0;

    /// The directory, without a trailing '/': the one created, or the one tried.
    virtual std::string Path() const = 0;

    /// The path of a file named name in the directory.
    std::string FilePath(const std::string& name) const { return Path() + "/" + name; }
};

} // namespace kelvorn
