#pragma once
// A temporary directory for tests: a real private directory under the system's temporary
// path, removed with its files when the object goes; or, when told to, a creation that fails
// and names the path given. Installs itself for its lifetime and puts the previous one back.

#include "platform/Services.h"
#include "platform/TempDir.h"

#include <string>

namespace kelvorn {

class FakeTempDir final : public TempDir
{
public:
    FakeTempDir();
    ~FakeTempDir() override;
    FakeTempDir(const FakeTempDir&) = delete;
    FakeTempDir& operator=(const FakeTempDir&) = delete;

    /// Every later Create fails and Path() answers failedPath (nothing is created).
    void FailCreation(const std::string& failedPath);

    bool Create() override;
    bool Exists() const override { return created; }
    std::string Path() const override { return path; }

    /// How often Create was called.
    int CreateCalls() const { return createCalls; }

private:
    std::string path;
    bool created = false;
    bool fail = false;
    int createCalls = 0;
    ScopedService<TempDir> install;
};

} // namespace kelvorn
