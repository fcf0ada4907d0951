// kelvado.exe: its entry point, and the full-screen main window "Zam" with its window procedure.
#include <windows.h>
#include <mmsystem.h>

#include "app/builtin_script.h"
#include "app/exit_sequence.h"
#include "app/main_window.h"
#include "platform/threads.h"
#include "platform/window.h"
#include "platform/window_win32.h"
#include "screen/paint.h"
#include "screen/screen_image_win32.h"
#include "services/cursor_wait.h"
#include "services/debug_window_win32.h"

// The main window's procedure: each message is translated into one of the portable reactions
// of app/main_window.h.
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

static LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
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

// The keys that app/main_window.h copies, checked against the system's own values.
static_assert(kKeyEscape == VK_ESCAPE, "VK_ESCAPE");
static_assert(kKeySpace == VK_SPACE, "VK_SPACE");
static_assert(kKeyF12 == VK_F12, "VK_F12");

// Program entry: fills the command table and loads the script, registers the window classes,
// creates the full-screen main window (whose creation runs section START), creates the screen
// image, starts the tick timer and runs the message loop until the quit message.
// RegisterClassExA exists on the Windows 95 family from version 4 on; anything else gets
// RegisterClassA.
static bool HasRegisterClassEx() {
  OSVERSIONINFOA info;
  ZeroMemory(&info, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return false;
  return info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && info.dwMajorVersion >= 4;
}

static bool RegisterWindowClass(HINSTANCE instance, const char* name, WNDPROC proc,
                                int window_extra) {
  HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  HCURSOR cursor = LoadCursorA(NULL, MAKEINTRESOURCEA(MouseCursorId));
  if (HasRegisterClassEx()) {
    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = window_extra;
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.hbrBackground = black;
    wc.lpszClassName = name;
    return RegisterClassExA(&wc) != 0;
  }
  WNDCLASSA wc;
  ZeroMemory(&wc, sizeof wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = proc;
  wc.cbWndExtra = window_extra;
  wc.hInstance = instance;
  wc.hCursor = cursor;
  wc.hbrBackground = black;
  wc.lpszClassName = name;
  return RegisterClassA(&wc) != 0;
}

static HWND CreateMainWindow(HINSTANCE instance) {
  return CreateWindowExA(0, "ZamMain", "Zam", WS_POPUP | WS_VISIBLE, 0, 0, ScreenWidth,
                         ScreenHeight, NULL, NULL, instance, NULL);
}

static int RunMessageLoop() {
  MSG msg;
  ZeroMemory(&msg, sizeof msg);
  while (GetMessageA(&msg, NULL, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  UseDoublePrecision();
  if (StartInterpreter(ProgramScript) < 0) return 0;
  if (!RegisterWindowClass(instance, "ZamMain", MainWindowProc, 4)) return 0;
  if (!RegisterWindowClass(instance, kDebugWindowClass, DebugWindowProc, 0)) return 0;

  ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
  ScreenHeight = GetSystemMetrics(SM_CYSCREEN);

  HWND window = CreateMainWindow(instance);
  if (window == NULL) return 0;
  if (CreateScreenImage(window) < 0) return 0;
  if (SetTimer(window, kTickTimerId, kTickMilliseconds, NULL) == 0) return 0;
  ShowWindow(window, show);
  UpdateWindow(window);
  return RunMessageLoop();
}
