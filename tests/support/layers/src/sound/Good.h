#pragma once
// An include the engine may have, so that only the wrong one is named.
#include "general/Numbers.h"
