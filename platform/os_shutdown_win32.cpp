// Alone in its object file: a test program that links its own ShutDownSystem keeps this one out.
#include <windows.h>

#include "platform/os.h"

void ShutDownSystem() { ExitWindowsEx(EWX_SHUTDOWN, 0); }
