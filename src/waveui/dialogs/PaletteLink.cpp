#include "waveui/dialogs/ViewDialogs.h"

namespace kelvorn {

// TEMPORARY until the palette dialog arrives
bool EditColorPalette(QWidget*, TColorPalette1DItem&)
{
    return false;
}

} // namespace kelvorn
