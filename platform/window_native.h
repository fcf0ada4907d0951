// The windows in the native build, where none exists: each service goes to a handler that tools
// and tests set; an unset handler does nothing. Threads: handlers are set before the code under
// test runs. PostNewOneHandler may be called from any thread; DialogTextHandler and
// ControlMessageHandler on the thread that writes (a worker's included); the others from the main
// thread.
#ifndef KELVADO_PLATFORM_WINDOW_NATIVE_H
#define KELVADO_PLATFORM_WINDOW_NATIVE_H

#include <cstdint>

#include "platform/window.h"

// The main window's services and timers.
typedef void (*WindowServiceFunction)();
typedef void (*CursorFunction)(int32_t cursor_id);
typedef void (*TimerFunction)(uint32_t timer_id, uint32_t period_ms);  // period 0: stop
extern WindowServiceFunction PostNewOneHandler;
extern WindowServiceFunction PostCloseHandler;
extern WindowServiceFunction RefreshMainWindowHandler;
extern WindowServiceFunction RepaintDebugWindowHandler;
extern CursorFunction SetMouseCursorHandler;
extern WindowServiceFunction ShowMainWindowHandler;
extern TimerFunction WindowTimerHandler;
extern WindowServiceFunction PostQuitHandler;

// Where ShowMessageBox sends the box. Without a handler the box is written to standard error and
// answered with kIdOk (or kIdYes for a yes/no question).
typedef int32_t (*MessageBoxFunction)(bool owned, const char* text, const char* caption,
                                      uint32_t style);
extern MessageBoxFunction MessageBoxHandler;

// Where SetDialogText sends the text (after a NativeDialog has recorded it); without a handler it
// is dropped.
typedef void (*DialogTextFunction)(void* dialog, int32_t id, const char* text);
extern DialogTextFunction DialogTextHandler;

// Where SendControlMessage delivers; without a handler the messages are dropped and answered 0.
// For WM_SETTEXT, lparam is the text's address.
typedef intptr_t (*ControlMessageFunction)(void* control, uint32_t message, uintptr_t wparam,
                                           intptr_t lparam);
extern ControlMessageFunction ControlMessageHandler;

// The stand-in dialog, numbered by the dialog's index.
struct NativeDialog;
NativeDialog* NativeDialogCreate(int32_t index);
void NativeDialogDestroy(NativeDialog* dialog);
int32_t NativeDialogIndex(NativeDialog* dialog);
bool NativeDialogEnabled(NativeDialog* dialog, int32_t id);
// The control's text as the reactions or the engine last set it ("" before).
const char* NativeDialogText(NativeDialog* dialog, int32_t id);
void NativeDialogSetText(NativeDialog* dialog, int32_t id, const char* text);
// True once ended, with the result.
bool NativeDialogEnded(NativeDialog* dialog, int32_t* result);
// True while a message box owned by the dialog is open: a real dialog is disabled meanwhile, so no
// button of it can be pressed.
bool NativeDialogOwnsOpenBox(NativeDialog* dialog);
// The dialog a control returned by DialogItem belongs to, and the control's id.
NativeDialog* NativeControlDialog(void* control, int32_t* id);

#endif
