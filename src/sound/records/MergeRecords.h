#pragma once
// The records of the commands that work on whole wave windows: split one wave into parts, and
// merge two into a new window. The main window holds them, not the wave documents.

#include "sound/records/RecordValues.h"

#include <cstdint>
#include <tuple>

namespace kelvorn {

class TSplitHorProps
{
public:
    enum : uint8_t { threeParts = 0, twoPartsInclusive = 1, twoPartsExclusive = 2 };

    uint8_t result = threeParts;

    auto Fields() const { return std::tie(result); }
    bool operator==(const TSplitHorProps& other) const
    {
        return SameFields(Fields(), other.Fields());
    }
};

} // namespace kelvorn
