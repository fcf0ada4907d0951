// The main window's services in the native build, where no window exists: each goes to a handler
// that tools and tests set; an unset handler does nothing. Threads: set before the interpreter
// runs; PostNewOneHandler may be called from any thread, the others from the main thread.
#ifndef KELVADO_PLATFORM_WINDOW_NATIVE_H
#define KELVADO_PLATFORM_WINDOW_NATIVE_H

#include "engine/engine_hooks.h"
#include "platform/window.h"

typedef void (*WindowServiceFunction)();
typedef void (*CursorFunction)(int32_t cursor_id);
extern WindowServiceFunction PostNewOneHandler;
extern WindowServiceFunction PostCloseHandler;
extern WindowServiceFunction RefreshMainWindowHandler;
extern WindowServiceFunction RepaintDebugWindowHandler;
extern CursorFunction SetMouseCursorHandler;
typedef void (*TimerFunction)(uint32_t timer_id, uint32_t period_ms);  // period 0: stop
extern WindowServiceFunction ShowMainWindowHandler;
extern TimerFunction WindowTimerHandler;
extern WindowServiceFunction PostQuitHandler;

// Message boxes in the native build, where no window exists.
// Where ShowMessageBox sends the box. Without a handler the box is written to standard error and
// answered with kIdOk (or kIdYes for a yes/no question). Threads: set before the interpreter runs;
// called on the thread that shows the box.
typedef int32_t (*MessageBoxFunction)(bool owned, const char* text, const char* caption,
                                      uint32_t style);
extern MessageBoxFunction MessageBoxHandler;

// Dialog texts in the native build, where no dialog exists.
// Where SetDialogText sends the text; without a handler it is dropped. Threads: set before the
// code under test runs; called on the thread that writes the text (the copy worker's included).
typedef void (*DialogTextFunction)(void* dialog, int32_t id, const char* text);
extern DialogTextFunction DialogTextHandler;

// The engine hooks' control messages in the native build, where no control exists: tools and
// tests set ControlMessageHandler to draw or record what the engine sends.
// Where SendControlMessage delivers; without a handler the messages are dropped and answered 0.
// For WM_SETTEXT, lparam is the text's address. Threads: set by the main thread while no engine
// worker runs; called on the thread that sends.
typedef intptr_t (*ControlMessageFunction)(void* control, uint32_t message, uintptr_t wparam,
                                           intptr_t lparam);
extern ControlMessageFunction ControlMessageHandler;

#endif
