#include "system/window_handle_win32.h"

HWND MainWindow = NULL;
UINT NewOneMessage = 0;
HWND DebugWindowHandle = NULL;
