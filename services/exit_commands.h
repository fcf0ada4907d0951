// The commands that end the tool: SetShutDown arms timer 2 of the main window (its ticks are
// ignored), ProgramExit closes the main window, whose destruction runs the exit sequence.
#ifndef KELVADO_SERVICES_EXIT_COMMANDS_H
#define KELVADO_SERVICES_EXIT_COMMANDS_H

#include <cstdint>

// Set when the user chooses to shut down in the end dialog; the exit sequence reads it, after
// everything of the tool has been released, and then calls ShutDownSystem. 0 at start; only ever
// goes from 0 to 1. Main thread only.
extern bool ShutDownOnExit;

// SetShutDown,a,b,period,d,e: arms timer 2 with the third value in milliseconds; the other four
// are read and not used. 0 whether or not the timer could be set.
int32_t FuncSetShutDown(char* args);
// ProgramExit: posts WM_CLOSE; the rest of the section still runs before it is handled.
int32_t FuncProgramExit(char* args);

#endif
