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
    QtTempDir(const QtTempDir&) = delete;
    QtTempDir& operator=(const QtTempDir&) = delete;

    bool Create() override { return dir.Create(); }
    bool Exists() const override { return dir.Exists(); }
    std::string Path() const override { return dir.Path(); }

private:
    PrivateDirectory dir;
};

} // namespace kelvorn
