#include <windows.h>

#include "system/window_handle_win32.h"
#include "system/window_services.h"

void PostNewOne() { PostMessageA(MainWindow, NewOneMessage, 0, 0); }

void PostClose() { PostMessageA(MainWindow, WM_CLOSE, 0, 0); }

void RefreshMainWindow() {
  InvalidateRect(MainWindow, NULL, FALSE);
  UpdateWindow(MainWindow);
}

void RepaintDebugWindow() {
  if (DebugWindowHandle == NULL) return;
  InvalidateRect(DebugWindowHandle, NULL, FALSE);
  UpdateWindow(DebugWindowHandle);
}

void SetMouseCursor(int32_t cursor_id) {
  SetCursor(LoadCursorA(NULL, MAKEINTRESOURCEA(cursor_id)));
}
