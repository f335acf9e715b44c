#pragma once
// A screen of a size the test chooses, 1024 × 768 unless told otherwise. Installs itself for
// its lifetime and puts the previous screen back afterwards.

#include "general/Services.h"
#include "platform/Screen.h"

namespace kelvorn {

class FakeScreen final : public Screen
{
public:
    /// A screen of width × height whose whole area is available.
    explicit FakeScreen(int width = 1024, int height = 768)
        : geometry{0, 0, width, height}, available{0, 0, width, height}, install(this)
    {
    }

    PixelRect Geometry() const override { return geometry; }
    PixelRect AvailableGeometry() const override { return available; }

    /// Sets the whole screen; the available part becomes the whole screen too.
    void SetGeometry(const PixelRect& rect) { geometry = available = rect; }
    void SetAvailableGeometry(const PixelRect& rect) { available = rect; }

private:
    PixelRect geometry;
    PixelRect available;
    ScopedService<Screen> install;
};

} // namespace kelvorn
