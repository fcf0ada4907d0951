// The interpreter's state as at program start, for tests and tools that run several scripts in
// one process.
#ifndef KELVADO_INTERP_INTERP_RESET_H
#define KELVADO_INTERP_INTERP_RESET_H

// Empties the SectionTable, the CommandTable, the VarTable, ScriptError and TraceLine, forgets
// the section hand-over and unsets LineExecutedHook. Main thread only, with no watcher running.
void ResetInterpreter();

#endif
