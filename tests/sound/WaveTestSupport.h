#pragma once
// The signal makers moved to the shared kit.
#include "support/Signals.h"
