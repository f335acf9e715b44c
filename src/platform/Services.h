#pragma once
// The platform services the model and the shell reach the system through. Each is a small
// interface; src/platform/qt implements it on Qt, src/platform/test scripts it for tests.

#include "general/Messages.h"
