#pragma once
// The size of the screen, behind an interface so that tests can set it.

#include "general/view/PixelRect.h"

namespace kelvorn {

class Screen
{
public:
    static constexpr const char* ServiceName = "Screen";
    virtual ~Screen() = default;

    /// The whole primary screen in desktop coordinates; empty when no screen is known.
    virtual PixelRect Geometry() const = 0;
    /// The part of it that windows may use (without panels and task bars).
    virtual PixelRect AvailableGeometry() const = 0;
};

} // namespace kelvorn
