#include "system/window_services_native.h"

WindowServiceFunction PostNewOneHandler = nullptr;
WindowServiceFunction PostCloseHandler = nullptr;
WindowServiceFunction RefreshMainWindowHandler = nullptr;
WindowServiceFunction RepaintDebugWindowHandler = nullptr;
CursorFunction SetMouseCursorHandler = nullptr;

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
