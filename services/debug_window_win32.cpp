#include <cstring>

#include "interp/exec.h"
#include "platform/window_win32.h"
#include "services/debug_window.h"
#include "services/debug_window_win32.h"

// At the top left of the screen, 640 x 21 pixels, above every other window.
const int kDebugWidth = 640;
const int kDebugHeight = 21;

bool PlatformOpenDebugWindow() {
  if (DebugWindowHandle == NULL)
    DebugWindowHandle = CreateWindowExA(
        WS_EX_TOPMOST, kDebugWindowClass, "", WS_POPUP | WS_VISIBLE | WS_THICKFRAME, 0, 0, kDebugWidth,
        kDebugHeight, MainWindow, NULL, GetModuleHandleA(NULL), NULL);
  if (DebugWindowHandle == NULL) return false;
  ShowWindow(DebugWindowHandle, SW_SHOW);
  UpdateWindow(DebugWindowHandle);
  return true;
}

void PlatformCloseDebugWindow() {
  if (DebugWindowHandle != NULL) DestroyWindow(DebugWindowHandle);
  DebugWindowHandle = NULL;
}

// Black, with TraceLine in white, centred in the window's height, in a small Gothic font.
static void OnPaint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  HGDIOBJ previous_brush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
  Rectangle(dc, 0, 0, kDebugWidth, kDebugHeight);
  HFONT font = CreateFontA(10, 0, 0, 0, 100, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0,
                           "標準ゴシック");
  HGDIOBJ previous_font = font != NULL ? SelectObject(dc, font) : NULL;
  int length = static_cast<int>(std::strlen(TraceLine));
  SIZE size = {0, 0};
  GetTextExtentPoint32A(dc, TraceLine, length, &size);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  TextOutA(dc, 0, (kDebugHeight - 1 - size.cy) / 2, TraceLine, length);
  if (font != NULL) {
    SelectObject(dc, previous_font);
    DeleteObject(font);
  }
  SelectObject(dc, previous_brush);
  EndPaint(hwnd, &ps);
}

// The input method's notices that it opens or closes its status window.
const WPARAM kImnCloseStatusWindow = 1;
const WPARAM kImnOpenStatusWindow = 2;

LRESULT CALLBACK DebugWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_PAINT:
      OnPaint(hwnd);
      return 0;
    case WM_KEYDOWN:
      // Escape, F12 and Space work while the debug window has the focus.
      PostMessageA(MainWindow, WM_KEYDOWN, wparam, lparam);
      return 0;
    case WM_IME_NOTIFY:
      if (wparam == kImnCloseStatusWindow || wparam == kImnOpenStatusWindow) return 0;
      break;
    case WM_DESTROY:
      // Destroyed with its owner at exit: forget the handle.
      if (hwnd == DebugWindowHandle) DebugWindowHandle = NULL;
      break;
  }
  return DefWindowProcA(hwnd, msg, wparam, lparam);
}
