// The main window's procedure: each message is handed to one small handler.
#include "app/main_window_win32.h"

// Esc and F12 end the program from any state.
static LRESULT OnKeyDown(HWND hwnd, WPARAM key) {
  if (key == VK_ESCAPE || key == VK_F12) PostMessageA(hwnd, WM_CLOSE, 0, 0);
  return 0;
}

static LRESULT OnTimer(HWND, WPARAM) { return 0; }

static LRESULT OnDestroy(HWND hwnd) {
  KillTimer(hwnd, kTickTimer);
  PostQuitMessage(0);
  return 0;
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  MainWindow = hwnd;
  switch (msg) {
    case WM_KEYDOWN:
      return OnKeyDown(hwnd, wparam);
    case WM_TIMER:
      return OnTimer(hwnd, wparam);
    case WM_IME_NOTIFY:
      return 0;
    case WM_DESTROY:
      return OnDestroy(hwnd);
  }
  return DefWindowProcA(hwnd, msg, wparam, lparam);
}
