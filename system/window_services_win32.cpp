#include <windows.h>

#include "system/input_drain.h"
#include "system/window_handle_win32.h"
#include "system/window_services.h"

void PostNewOne() { PostMessageA(MainWindow, NewOneMessage, 0, 0); }

void PostClose() { PostMessageA(MainWindow, WM_CLOSE, 0, 0); }

// The oldest key or mouse message of the main window, taken off the queue; false when none waits.
// Keys and clicks are looked at together, so that one kind arriving late cannot end the drain
// before the other kind's older messages are gone.
static bool RemoveInput(MSG* msg) {
  MSG key, mouse;
  bool has_key = PeekMessageA(&key, MainWindow, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE) != 0;
  bool has_mouse = PeekMessageA(&mouse, MainWindow, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE) != 0;
  if (!has_key && !has_mouse) return false;
  bool key_first = has_key && (!has_mouse || static_cast<int32_t>(key.time - mouse.time) <= 0);
  UINT message = key_first ? key.message : mouse.message;
  return PeekMessageA(msg, MainWindow, message, message, PM_REMOVE) != 0;
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

void ShowMainWindow() { ShowWindow(MainWindow, SW_SHOW); }

void SetWindowTimer(uint32_t timer_id, uint32_t period_ms) {
  SetTimer(MainWindow, timer_id, period_ms, NULL);
}

void StopWindowTimer(uint32_t timer_id) { KillTimer(MainWindow, timer_id); }

void PostQuit() { PostQuitMessage(0); }
