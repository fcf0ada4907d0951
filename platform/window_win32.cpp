#include <windows.h>
#include <commctrl.h>

#include "platform/window.h"
#include "platform/window_win32.h"

HWND MainWindow = NULL;
UINT NewOneMessage = 0;
HWND DebugWindowHandle = NULL;

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

// The portable copies of the styles and answers are the system's own values.
static_assert(kMbOk == MB_OK, "MB_OK");
static_assert(kMbOkCancel == MB_OKCANCEL, "MB_OKCANCEL");
static_assert(kMbYesNo == MB_YESNO, "MB_YESNO");
static_assert(kMbIconError == MB_ICONERROR, "MB_ICONERROR");
static_assert(kMbIconQuestion == MB_ICONQUESTION, "MB_ICONQUESTION");
static_assert(kMbIconWarning == MB_ICONWARNING, "MB_ICONWARNING");
static_assert(kMbIconInformation == MB_ICONINFORMATION, "MB_ICONINFORMATION");
static_assert(kMbSystemModal == MB_SYSTEMMODAL, "MB_SYSTEMMODAL");
static_assert(kIdOk == IDOK && kIdCancel == IDCANCEL, "IDOK, IDCANCEL");
static_assert(kIdYes == IDYES && kIdNo == IDNO, "IDYES, IDNO");

int32_t ShowMessageBox(bool owned, const char* text, const char* caption, uint32_t style) {
  return MessageBoxA(owned ? MainWindow : NULL, text, caption, style);
}

void SetDialogText(void* dialog, int32_t id, const char* text) {
  SetDlgItemTextA(static_cast<HWND>(dialog), id, text);
}

// The hooks' control messages in kelvado.exe: synchronous messages to the registered controls, so
// a worker thread waits while the dialog's thread updates them.
// The portable copies of the control messages are the system's own values.
static_assert(kWmSetText == WM_SETTEXT, "WM_SETTEXT");
static_assert(kPbmSetRange == PBM_SETRANGE, "PBM_SETRANGE");
static_assert(kPbmSetPos == PBM_SETPOS, "PBM_SETPOS");
static_assert(kPbmSetStep == PBM_SETSTEP, "PBM_SETSTEP");
static_assert(kPbmStepIt == PBM_STEPIT, "PBM_STEPIT");

intptr_t SendControlMessage(void* control, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  return SendMessageA(static_cast<HWND>(control), message, wparam, lparam);
}

void* DialogItem(void* dialog, int32_t id) { return GetDlgItem(static_cast<HWND>(dialog), id); }

void EnableDialogItem(void* dialog, int32_t id, bool enabled) {
  EnableWindow(GetDlgItem(static_cast<HWND>(dialog), id), enabled ? TRUE : FALSE);
}

void EndDialogWith(void* dialog, int32_t result) { EndDialog(static_cast<HWND>(dialog), result); }

int32_t DialogMessageBox(void* dialog, const char* text, const char* caption, uint32_t style) {
  return MessageBoxA(static_cast<HWND>(dialog), text, caption, style);
}
