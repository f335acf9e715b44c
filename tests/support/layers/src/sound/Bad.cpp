// The engine reaching up into the main window: the include check must refuse both lines
// below, the second written beside the including file and with Windows line ends.
#include "shell/MainForm.h"
#include "../shell/MainForm.h"
#include "sound/Good.h"
