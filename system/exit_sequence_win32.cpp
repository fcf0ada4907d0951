#include "system/exit_sequence_win32.h"

#include <windows.h>

#include "system/window_handle_win32.h"

// Timer 1 of the main window, armed at start-up.
static const UINT_PTR kTickTimer = 1;

// The watched program, the media device, the ASPI library and the drawing buffers are released
// here, before the timer stops, as those parts are built; the system is shut down after the
// timer, when the user chose so. The quit message comes last.
void RunExitSequence() {
  KillTimer(MainWindow, kTickTimer);
  PostQuitMessage(0);
}
