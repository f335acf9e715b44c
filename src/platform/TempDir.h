#pragma once
// The program's directory for temporary files (the play and record files): one private
// directory per process under the system's temporary path, removed at exit.

#include <string>
#include <utility>

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

/// A private directory (mode 0700, unguessable name) made from a name template ending in
/// "XXXXXX", and removed with its files when this object goes.
class PrivateDirectory
{
public:
    explicit PrivateDirectory(std::string nameTemplate) : path(std::move(nameTemplate)) {}
    ~PrivateDirectory();
    PrivateDirectory(const PrivateDirectory&) = delete;
    PrivateDirectory& operator=(const PrivateDirectory&) = delete;

    /// Creates the directory unless it exists already; false when it cannot be created.
    bool Create();
    bool Exists() const { return created; }
    /// The directory once created; until then the template.
    const std::string& Path() const { return path; }

private:
    std::string path;
    bool created = false;
};

} // namespace kelvorn
