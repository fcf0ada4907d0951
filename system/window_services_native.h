// The main window's services in the native build, where no window exists: each goes to a handler
// that tools and tests set; an unset handler does nothing. Threads: set before the interpreter
// runs; PostNewOneHandler may be called from any thread, the others from the main thread.
#ifndef KELVADO_SYSTEM_WINDOW_SERVICES_NATIVE_H
#define KELVADO_SYSTEM_WINDOW_SERVICES_NATIVE_H

#include "system/window_services.h"

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

#endif
