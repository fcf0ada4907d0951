// Shutting the computer down when the tool ends.
//
// ShutDownOnExit is set when the user chooses to shut down in the end dialog; the exit sequence
// reads it, after everything of the tool has been released, and then calls ShutDownSystem.
#ifndef KELVADO_SYSTEM_SHUTDOWN_H
#define KELVADO_SYSTEM_SHUTDOWN_H

// 0 at start; only ever goes from 0 to 1. Main thread only.
extern bool ShutDownOnExit;

// Shuts the system down (ExitWindowsEx with EWX_SHUTDOWN); failures are not reported.
// kelvado.exe defines it alone in shut_down_system_win32.cpp, so that test programs can link a
// recording stand-in in its place. Natively it calls its handler (system/shutdown_native.h).
void ShutDownSystem();

#endif
