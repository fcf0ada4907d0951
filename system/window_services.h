// Services of the main window that the portable core asks for.
//
// In kelvado.exe they act on the main window (system/window_handle_win32.h). Natively each one
// goes to its handler (system/window_services_native.h), which tools and tests set; an unset
// handler does nothing.
#ifndef KELVADO_SYSTEM_WINDOW_SERVICES_H
#define KELVADO_SYSTEM_WINDOW_SERVICES_H

#include <cstdint>

#include "system/tick.h"

// Posts the registered message "NEWONE" to the main window (safe from any thread).
void PostNewOne();
// Posts WM_CLOSE to the main window: the program ends once it is handled.
void PostClose();
// Repaints the main window at once.
void RefreshMainWindow();
// Repaints the debug window at once, when it exists.
void RepaintDebugWindow();
// Sets the mouse cursor to the system cursor with this identifier (0: no cursor).
void SetMouseCursor(int32_t cursor_id);
// Shows the main window (SW_SHOW).
void ShowMainWindow();

// Timer 2 of the main window, armed by SetShutDown; its ticks are ignored (timer 1 is the tick,
// system/tick.h).
const uint32_t kShutDownTimerId = 2;
// Arms a timer of the main window; failures are not reported.
void SetWindowTimer(uint32_t timer_id, uint32_t period_ms);
void StopWindowTimer(uint32_t timer_id);
// Posts the quit message with code 0: the message loop ends.
void PostQuit();

#endif
