#include "system/window_services_native.h"

WindowServiceFunction PostNewOneHandler = nullptr;
WindowServiceFunction PostCloseHandler = nullptr;
WindowServiceFunction RefreshMainWindowHandler = nullptr;
WindowServiceFunction RepaintDebugWindowHandler = nullptr;
CursorFunction SetMouseCursorHandler = nullptr;
WindowServiceFunction ShowMainWindowHandler = nullptr;
TimerFunction WindowTimerHandler = nullptr;
WindowServiceFunction PostQuitHandler = nullptr;

void PostNewOne() {
  if (PostNewOneHandler) PostNewOneHandler();
}

void PostClose() {
  if (PostCloseHandler) PostCloseHandler();
}

void RefreshMainWindow() {
  if (RefreshMainWindowHandler) RefreshMainWindowHandler();
}

void RepaintDebugWindow() {
  if (RepaintDebugWindowHandler) RepaintDebugWindowHandler();
}

void SetMouseCursor(int32_t cursor_id) {
  if (SetMouseCursorHandler) SetMouseCursorHandler(cursor_id);
}

void ShowMainWindow() {
  if (ShowMainWindowHandler) ShowMainWindowHandler();
}

void SetWindowTimer(uint32_t timer_id, uint32_t period_ms) {
  if (WindowTimerHandler) WindowTimerHandler(timer_id, period_ms);
}

void StopWindowTimer(uint32_t timer_id) {
  if (WindowTimerHandler) WindowTimerHandler(timer_id, 0);
}

void PostQuit() {
  if (PostQuitHandler) PostQuitHandler();
}
