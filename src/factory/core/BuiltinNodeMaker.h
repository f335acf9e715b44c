#pragma once
// How the factory file makes the builtin nodes it names. The builtin functions live in a layer
// above the factory model, so the reader cannot make their nodes itself: that layer implements
// this interface and the program installs it as a service (InstallService), before any factory
// is read.

#include "factory/core/Node.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kelvorn {

class TBuiltinNodeMaker
{
public:
    static constexpr const char* ServiceName = "TBuiltinNodeMaker";

    virtual ~TBuiltinNodeMaker() = default;
    /// The kind whose file identifier is exactly the text, or -1.
    virtual int32_t FindKind(std::string_view identifier) const = 0;
    /// A builtin node of that kind (one FindKind gave) without pins, not yet in the factory's
    /// node list: the reader puts it there.
    virtual std::unique_ptr<TSountoryNode> Make(TUnitSountory* factory, std::string name,
                                                int32_t kind,
                                                const TSountoryRectangle& rect) const = 0;
};

} // namespace kelvorn
