#include "system/debug_window_win32.h"

// The class is registered at start-up; nothing opens the window yet.
LRESULT CALLBACK DebugWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(hwnd, msg, wparam, lparam);
}
