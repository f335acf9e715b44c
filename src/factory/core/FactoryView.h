#pragma once
// What the editor window keeps in the factory file: its mouse mode, whether it shows hints, and
// where it is scrolled. The window fills the record before a save and takes it after a load.

#include <cstdint>

namespace kelvorn {

enum SntEditMode : uint8_t { ModeDrag = 0, ModeConnect = 1 };

struct TFactoryView
{
    uint8_t Mode = ModeDrag;
    bool ShowHints = true;
    int32_t HorScrollPos = 0;
    int32_t VertScrollPos = 0;
};

} // namespace kelvorn
