// The debug window: a one-line window at the top of the screen that shows TraceLine, the line
// being executed, while every executed line is recorded in the dated ".deb" file. DebugStart and
// DebugEnd, or the Space key, open and close it.
#ifndef KELVADO_SERVICES_DEBUG_WINDOW_H
#define KELVADO_SERVICES_DEBUG_WINDOW_H

#include <cstdint>

bool DebugWindowIsOpen();
// Creates the window when it does not exist; open when it exists now. A window that cannot be
// created leaves it closed.
void DebugWindowOpen();
// Destroys the window, if any; closed afterwards.
void DebugWindowClose();
// Space: closes the debug window when it is open, else opens it.
void DebugWindowToggle();
// After each executed line: while the window is open, repaints it and appends TraceLine to the
// dated debug file.
void DebugWindowShowLine();

int32_t FuncDebugStart(char* args);
int32_t FuncDebugEnd(char* args);

// The window itself (debug_window_win32.cpp; natively the handlers of debug_window_native.h). Opening creates the
// window unless it exists, shows and updates it, and says whether it exists.
bool PlatformOpenDebugWindow();
void PlatformCloseDebugWindow();

#endif
