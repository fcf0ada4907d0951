// The hooks' control messages in the native build: handed to ControlMessageHandler, if any.
#include "engine/engine_hooks_native.h"

ControlMessageFunction ControlMessageHandler = nullptr;

intptr_t SendControlMessage(void* control, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  if (ControlMessageHandler == nullptr) return 0;
  return ControlMessageHandler(control, message, wparam, lparam);
}
