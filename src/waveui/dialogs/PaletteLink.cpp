#include "waveui/dialogs/PaletteDialog.h"
#include "waveui/dialogs/ViewDialogs.h"
#include "window_base/QtModalDialog.h"

namespace kelvorn {

bool EditColorPalette(QWidget* owner, TColorPalette1DItem& palette)
{
    TDlgColorPalette1D dialog(owner, palette);
    if (RunDialog(dialog) != DialogResult::Accepted)
        return false;
    palette = dialog.GetColorPalette();
    return true;
}

} // namespace kelvorn
