#pragma once
// The primary screen as Qt sees it. Needs a QGuiApplication.

#include "platform/Screen.h"

namespace kelvorn {

class QtScreen final : public Screen
{
public:
    PixelRect Geometry() const override;
    PixelRect AvailableGeometry() const override;
};

} // namespace kelvorn
