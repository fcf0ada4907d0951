// The hooks' control messages in kelvado.exe: synchronous messages to the registered controls, so
// a worker thread waits while the dialog's thread updates them.
#include <windows.h>
#include <commctrl.h>

#include "engine/engine_hooks.h"

// The portable copies of the control messages are the system's own values.
static_assert(kWmSetText == WM_SETTEXT, "WM_SETTEXT");
static_assert(kPbmSetRange == PBM_SETRANGE, "PBM_SETRANGE");
static_assert(kPbmSetPos == PBM_SETPOS, "PBM_SETPOS");
static_assert(kPbmSetStep == PBM_SETSTEP, "PBM_SETSTEP");
static_assert(kPbmStepIt == PBM_STEPIT, "PBM_STEPIT");

intptr_t SendControlMessage(void* control, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  return SendMessageA(static_cast<HWND>(control), message, wparam, lparam);
}
