// The main window's procedure: each message is translated into one of the portable reactions
// of app/main_window.h.
#include <windows.h>
#include <mmsystem.h>

#include "app/exit_sequence.h"
#include "app/main_window.h"
#include "app/main_window_win32.h"
#include "platform/window.h"
#include "screen/screen_image_win32.h"

static LRESULT OnCreate() {
  NewOneMessage = RegisterWindowMessageA("NEWONE");
  MainWindowCreate();
  return 0;
}

static LRESULT OnTimer(WPARAM timer) {
  if (timer == kTickTimerId) MainWindowTick();
  return 0;
}

static LRESULT OnLeftButtonDown(LPARAM position) {
  MainWindowClick(LOWORD(position), HIWORD(position));
  return 0;
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  MainWindow = hwnd;
  if (NewOneMessage != 0 && msg == NewOneMessage) {
    MainWindowNewOne();
    return 0;
  }
  switch (msg) {
    case WM_CREATE:
      return OnCreate();
    case WM_TIMER:
      return OnTimer(wparam);
    case WM_KEYDOWN:
      MainWindowKey(static_cast<uint32_t>(wparam));
      return 0;
    case WM_LBUTTONDOWN:
      return OnLeftButtonDown(lparam);
    case MM_MCINOTIFY:
      MainWindowMediaEnd(static_cast<uint32_t>(wparam), static_cast<uint32_t>(lparam));
      return 0;
    case WM_PAINT:
      PaintMainWindow(hwnd);
      return 0;
    case WM_SETCURSOR:
      MainWindowSetCursor();
      return 1;
    case WM_IME_NOTIFY:
      return 0;
    case WM_DESTROY:
      RunExitSequence();
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wparam, lparam);
}

// The keys and the media notification that app/main_window.h copies, checked against the system's
// own values.
static_assert(kKeyEscape == VK_ESCAPE, "VK_ESCAPE");
static_assert(kKeySpace == VK_SPACE, "VK_SPACE");
static_assert(kKeyF12 == VK_F12, "VK_F12");
static_assert(kMediaEndSuccessful == MCI_NOTIFY_SUCCESSFUL, "MCI_NOTIFY_SUCCESSFUL");
