#include <windows.h>

#include "system/input_drain.h"
#include "system/window_handle_win32.h"
#include "system/window_services.h"

void PostNewOne() { PostMessageA(MainWindow, NewOneMessage, 0, 0); }

void PostClose() { PostMessageA(MainWindow, WM_CLOSE, 0, 0); }

// One key or mouse message of the main window taken off the queue; false when none waits.
static bool RemoveInput(MSG* msg) {
  return PeekMessageA(msg, MainWindow, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE) ||
         PeekMessageA(msg, MainWindow, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE);
}

// Paints at once, then throws away the clicks and keys that came in meanwhile.
void RefreshMainWindow() {
  uint32_t t0 = GetTickCount();
  InvalidateRect(MainWindow, NULL, FALSE);
  UpdateWindow(MainWindow);
  MSG msg;
  while (RemoveInput(&msg))
    if (InputDrainEndsWith(t0, msg.time)) break;
}

void RepaintDebugWindow() {
  if (DebugWindowHandle == NULL) return;
  InvalidateRect(DebugWindowHandle, NULL, FALSE);
  UpdateWindow(DebugWindowHandle);
}

void SetMouseCursor(int32_t cursor_id) {
  SetCursor(LoadCursorA(NULL, MAKEINTRESOURCEA(cursor_id)));
}
