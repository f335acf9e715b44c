#pragma once
// The operation dialog helpers moved to the shared kit; this name stays for the command tests.
#include "support/WaveWindows.h"
