#pragma once
// A temporary directory for tests: a real private directory under the system's temporary
// path, removed with its files when the object goes; or, when told to, a creation that fails
// and names the path given. Installs itself for its lifetime and puts the previous one back.

#include "general/Services.h"
#include "platform/TempDir.h"

#include <string>

namespace kelvorn {

class FakeTempDir final : public TempDir
{
public:
    FakeTempDir();
    FakeTempDir(const FakeTempDir&) = delete;
    FakeTempDir& operator=(const FakeTempDir&) = delete;

    /// Every later Create fails and Path() answers failedPath (nothing is created).
    void FailCreation(const std::string& failedPath);

    bool Create() override;
    bool Exists() const override { return dir.Exists(); }
    std::string Path() const override;

    /// How often Create was called.
    int CreateCalls() const { return createCalls; }

private:
    PrivateDirectory dir;
    bool fail = false;
    std::string failPath;
    int createCalls = 0;
    ScopedService<TempDir> install;
};

} // namespace kelvorn
