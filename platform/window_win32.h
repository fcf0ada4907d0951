// The program's window handles, for the Win32 code that needs an owner or a target for its
// messages.
#ifndef KELVADO_PLATFORM_WINDOW_WIN32_H
#define KELVADO_PLATFORM_WINDOW_WIN32_H

#include <windows.h>

// Recorded by every message the main window receives, so that commands running during its
// creation already have it; NULL before the window exists.
extern HWND MainWindow;

// The number of the registered message "NEWONE", registered when the main window is created.
extern UINT NewOneMessage;

// The debug window while it exists, else NULL.
extern HWND DebugWindowHandle;

#endif
