#pragma once
// What the XML fuzz targets share: a check that stops the run, and a message sink that treats
// any box as a bug, since no input may reach an assertion.

#include "general/Messages.h"
#include "general/Services.h"

#include <cstdlib>
#include <string>

namespace kelvorn::fuzz {

inline void Require(bool condition)
{
    if (!condition)
        std::abort();
}

class NoBoxes final : public MessageSink
{
public:
    MsgAnswer Show(const std::string&, const std::string&, MsgIcon, MsgButtons) override
    {
        std::abort();
    }
};

/// Installs a NoBoxes sink on the first call; later calls do nothing.
inline void InstallNoBoxes()
{
    static NoBoxes sink;
    static MessageSink* installed = InstallService<MessageSink>(&sink);
    (void)installed;
}

} // namespace kelvorn::fuzz
