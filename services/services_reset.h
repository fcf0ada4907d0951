// The state of the services' commands as at program start, for tests and tools.
#ifndef KELVADO_SERVICES_SERVICES_RESET_H
#define KELVADO_SERVICES_SERVICES_RESET_H

// Closes the debug window, empties HomeDir, LogDir1 and the alias map, and puts WaitTicks and
// MouseCursorId back to 0, clears ShutDownOnExit and forgets the watched program (after the exit
// sequence has ended the watchers).
void ResetServices();

#endif
