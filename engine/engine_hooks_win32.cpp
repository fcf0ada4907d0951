// The hooks' control messages in kelvado.exe: synchronous messages to the registered controls, so
// a worker thread waits while the dialog's thread updates them.
#include <windows.h>

#include "engine/engine_hooks.h"

intptr_t SendControlMessage(void* control, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  return SendMessageA(static_cast<HWND>(control), message, wparam, lparam);
}
