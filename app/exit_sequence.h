// The exit sequence, run when the main window is destroyed, whichever way the tool ends
// (ProgramExit, the end dialogs, Esc or F12, a script error). In this order:
//   1. the watched program is terminated and the watcher threads end;
//   2. the open video or sound device is stopped and closed;
//   3. the ASPI library is released;
//   4. the drawing buffers and the screen image are released;
//   5. timer 1 stops;
//   6. when ShutDownOnExit is set, timer 2 stops and the system is shut down, after everything of
//      the tool has been released;
//   7. the quit message is posted.
#ifndef KELVADO_APP_EXIT_SEQUENCE_H
#define KELVADO_APP_EXIT_SEQUENCE_H

// Runs the sequence the first time it is called; later calls do nothing.
void RunExitSequence();
// Whether it has run (and the tool is ending).
bool ExitSequenceHasRun();
// Lets it run again (a fresh start, in tests).
void ResetExitSequence();

#endif
