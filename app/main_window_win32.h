// The full-screen main window "Zam" and its window procedure.
#ifndef KELVADO_APP_MAIN_WINDOW_WIN32_H
#define KELVADO_APP_MAIN_WINDOW_WIN32_H

#include <windows.h>

#include "platform/window_win32.h"

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

#endif
