// The engine hooks' control messages in the native build, where no control exists: tools and
// tests set ControlMessageHandler to draw or record what the engine sends.
#ifndef KELVADO_ENGINE_ENGINE_HOOKS_NATIVE_H
#define KELVADO_ENGINE_ENGINE_HOOKS_NATIVE_H

#include "engine/engine_hooks.h"

// Where SendControlMessage delivers; without a handler the messages are dropped and answered 0.
// For WM_SETTEXT, lparam is the text's address. Threads: set by the main thread while no engine
// worker runs; called on the thread that sends.
typedef intptr_t (*ControlMessageFunction)(void* control, uint32_t message, uintptr_t wparam,
                                           intptr_t lparam);
extern ControlMessageFunction ControlMessageHandler;

#endif
