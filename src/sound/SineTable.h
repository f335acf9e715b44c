#pragma once
// The program's sine table: one period of a sine in SinusValues values, made once when the
// main window is built and read by every generator of sines.

#include "sound/Wave.h"

namespace kelvorn {

constexpr int32_t SinusValues = 9000;

/// Builds the table (replacing one that exists). When its memory cannot be had, shows "Could
/// not create sinus." under "System Error" with the stop icon, leaves no table and answers
/// false; the program goes on without sines.
bool CreateSinus(AbortFlag* flag);

/// Deletes the table; nothing when there is none.
void FreeSinus();

/// The table, or nullptr when there is none.
const Wave* Sinus();

} // namespace kelvorn
