#pragma once
// The program's icon, painted by the program: a green tile with a sound wave that swells and
// fades under its envelope.

#include <QPixmap>

namespace kelvorn {

/// The icon, size × size pixels.
QPixmap ProgramIcon(int size = 32);

} // namespace kelvorn
