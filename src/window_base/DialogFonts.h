#pragma once
// Fonts of the forms, with fallbacks: "Arial" and "Times New Roman" resolve to the
// metric-compatible Liberation fonts. Sizes are in pixels, since the forms place their
// controls in pixels.

#include <QFont>

namespace kelvorn {

/// The forms' own font: 11 pixels (8 points on a 96-dpi screen).
QFont DialogFont(int pixelSize = 11, bool bold = false);
/// Arial or its stand-ins.
QFont ArialFont(int pixelSize, bool bold = false);
/// A fixed-pitch terminal face or its stand-ins.
QFont TerminalFont(int pixelSize);
/// Times New Roman or its stand-ins.
QFont SerifFont(int pixelSize, bool bold = false);

} // namespace kelvorn
