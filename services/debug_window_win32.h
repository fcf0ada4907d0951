// The debug window: a second top-level window of class kDebugWindowClass that shows the line
// being executed.
#ifndef KELVADO_SERVICES_DEBUG_WINDOW_WIN32_H
#define KELVADO_SERVICES_DEBUG_WINDOW_WIN32_H

#include <windows.h>

const char kDebugWindowClass[] = "DebugClass";

LRESULT CALLBACK DebugWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

#endif
