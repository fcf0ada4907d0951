// The main window's reactions to its messages, free of the platform. The Win32 window
// procedure (main_win32.cpp) and the script tool only translate messages into these.
#ifndef KELVADO_APP_MAIN_WINDOW_H
#define KELVADO_APP_MAIN_WINDOW_H

#include <cstdint>

#include "interp/loader.h"

// Keys the main window reacts to.
const uint32_t kKeyEscape = 27;
const uint32_t kKeySpace = 32;
const uint32_t kKeyF12 = 123;

// Start-up before any window exists: fills the CommandTable and loads the script from `source`.
// On a load failure shows ScriptError in a box without owner and returns -1.
int32_t StartInterpreter(ScriptSource source);

// WM_CREATE: runs section START.
void MainWindowCreate();
// The registered message NEWONE: runs NextSection from ResumeLine.
void MainWindowNewOne();
// Timer 1, every 100 ms.
void MainWindowTick();
// WM_LBUTTONDOWN at (x, y).
void MainWindowClick(int32_t x, int32_t y);
// MM_MCINOTIFY with its notification code (kMediaEndSuccessful, screen/media.h) and the device
// that sends it.
void MainWindowMediaEnd(uint32_t notification, uint32_t device);
// WM_KEYDOWN with its virtual key code.
void MainWindowKey(uint32_t key);
// WM_SETCURSOR.
void MainWindowSetCursor();

#endif
