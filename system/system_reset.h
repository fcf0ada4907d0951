// The state of the system services' commands as at program start, for tests and tools.
#ifndef KELVADO_SYSTEM_SYSTEM_RESET_H
#define KELVADO_SYSTEM_SYSTEM_RESET_H

// Closes the debug window, empties HomeDir, LogDir1 and the alias map, and puts WaitTicks and
// MouseCursorId back to 0, clears ShutDownOnExit, forgets the watched program (after the exit
// sequence has ended the watchers) and lets the exit sequence run again.
void ResetSystemServices();

#endif
