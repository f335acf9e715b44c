#pragma once
// The per-process temporary directory, made private (mode 0700, unguessable name) under the
// system's temporary path, which honours TMPDIR. It and its files are removed when this
// object goes, at the end of the program.

#include "platform/TempDir.h"

#include <string>

namespace kelvorn {

class QtTempDir final : public TempDir
{
public:
    /// base: the directory to create it in; empty means the system's temporary path.
    explicit QtTempDir(std::string base = {});
    ~QtTempDir() override;
    QtTempDir(const QtTempDir&) = delete;
    QtTempDir& operator=(const QtTempDir&) = delete;

    bool Create() override;
    bool Exists() const override { return created; }
    std::string Path() const override { return path; }

private:
    std::string path;
    bool created = false;
};

} // namespace kelvorn
