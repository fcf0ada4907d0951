#include "services/debug_window_native.h"

bool (*OpenDebugWindowHandler)() = nullptr;
void (*CloseDebugWindowHandler)() = nullptr;

bool PlatformOpenDebugWindow() {
  return OpenDebugWindowHandler != nullptr && OpenDebugWindowHandler();
}

void PlatformCloseDebugWindow() {
  if (CloseDebugWindowHandler != nullptr) CloseDebugWindowHandler();
}
